// The story window drawn on the headless backend, inside the frame, with its
// left panels pinned open so that trees, inspector and editors show together:
// in the Office 2003 and the standard styles, on the text, model and chart
// pages.
#include "app/tests/storytest.h"
#include "docking/kxdockcontrol.h"
#include "docking/kxdockmanager.h"
#include "platform/gdi/tests/refimage.h"

namespace {

class StoryScreensTest : public StoryTest {
 protected:
  TRawImage Shot() {
    Pump();
    RECT r;
    GetWindowRect(MainForm->Handle(), &r);
    TRawImage img;
    img.Pixels = hb->ComposeScreen(r);
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    return img;
  }
  void Prepare() {
    AddNodes({{1, 0, "第一章 青石镇"}, {2, 1, "雨夜"}, {3, 1, "来客"}, {4, 0, "第二章 山路"}, {5, 4, "启程"}});
    Sql("UPDATE Story1 SET ttext2 = '    雨下了一夜。' || char(13, 10) || '    镇口的石桥上，有人提着灯笼走过。', "
        "tchartwidth = 70, tchartheight = 30, tchartshape = 1, tchartcolor = 12632256, tchartimage = 1");
    ASSERT_NE(Open(), nullptr);
    W->SetCaption(A("青石镇"));
    MainForm->SetBounds(0, 0, 1120, 680);
    Pump();
    // A maximised child keeps the size of the client it was maximised in.
    W->SetWindowState(wsNormal);
    W->SetWindowState(wsMaximized);
    Pump();
    auto* left = dynamic_cast<TkxTabContainerDockSite*>(W->FindComponent("leftTabContainerDockSite"));
    ASSERT_NE(left, nullptr);
    left->SetAutoHide(false);
    Pump();
    W->FolderTree->FullExpand();
    NodeOf(W->FolderTree, 2)->SetSelected(true);
    Pump();
  }
  void Page(const char* Name) {
    auto* p = dynamic_cast<TkxDockPanel*>(W->FindComponent(Name));
    ASSERT_NE(p, nullptr);
    p->Activate();
    Pump();
  }
  void Style(TkxDockingViewStyle View, TkxBarManagerStyle Bars) {
    LibDataModule->DockingManager->SetViewStyle(View);
    MainForm->BarManager->SetStyle(Bars);
    W->kxBarManager1->SetStyle(Bars);
    Pump();
  }
};

TEST_F(StoryScreensTest, TheWindowInTheOffice2003AndStandardStyles) {
  Prepare();
  Style(vsOffice11, bmsOffice11);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "story_office11_text"));
  Style(vsStandard, bmsStandard);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "story_standard_text"));
  W->showGrapgh->SetChecked(true);
  W->kxFlowChart1->CreateObject(20, 20, 100, 50, fskRectangle);
  W->kxFlowChart1->CreateObject(180, 90, 100, 50, fskEllipse);
  Page("ChartPanel");
  Page("TemplatePanel");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "story_standard_chart"));
  Style(vsOffice11, bmsOffice11);
  Page("InspectorPanel");
  Page("ModelPanel");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "story_office11_model"));
}

}  // namespace
