// The library windows drawn on the headless backend inside the frame, on the
// shipped library with a linked node selected, its flow chart shown: the
// design-element window's tree and text, its chart and model pages; the
// narrative-element window; the template window.
#include "app/designwindow.h"
#include "app/narrativewindow.h"
#include "app/templatewindow.h"
#include "app/tests/libwindowtest.h"
#include "docking/kxdockcontrol.h"
#include "platform/gdi/tests/refimage.h"

namespace {

class LibScreensTest : public LibWindowTest {
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
    Sql("UPDATE region1 SET tlinktable = '1', tlinkpath = '1', ttext1 = '    林远，十七岁，青石镇铁匠之子。' || char(13, 10) || "
        "'    沉默寡言，心细如发。' WHERE tid = 2");
    Sql("UPDATE region1 SET tchartwidth = 70, tchartheight = 30, tchartshape = 1, tchartcolor = 12632256");
    Sql("UPDATE mem1 SET ttext2 = '    清晨的雾还没散，林远推开了铁匠铺的门。' WHERE tid = 2");
    Start();
    MainForm->SetBounds(0, 0, 1000, 680);
    Pump();
  }
  // A maximised child keeps the size of the client it was maximised in.
  void Fit(TForm* W) {
    W->SetWindowState(wsNormal);
    W->SetWindowState(wsMaximized);
    Pump();
  }
  void Page(TForm* W, const char* Name) {
    auto* p = dynamic_cast<TkxDockPanel*>(W->FindComponent(Name));
    ASSERT_NE(p, nullptr) << Name;
    p->Activate();
    Pump();
  }
};

TEST_F(LibScreensTest, TheDesignElementWindow) {
  Prepare();
  auto* W = OpenFromMenu<TSystemModuleForm>(MainForm->SystemModule);
  ASSERT_NE(W, nullptr);
  Fit(W);
  ChooseRow(W->kxLookupTreeView1, 1);
  W->LibraryTree->FullExpand();
  Select(W->LibraryTree, 2);
  W->showGrapgh->SetChecked(true);
  W->LibraryTreeClick(nullptr);
  W->kxFlowChart1->CreateObject(20, 20, 100, 50, fskRectangle);
  W->kxFlowChart1->CreateObject(180, 90, 100, 50, fskEllipse);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "design_text"));
  Page(W, "leftPanel2");
  Page(W, "kxDockPanel1");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "design_chart"));
  Page(W, "kxDockPanel2");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "design_model"));
  Page(W, "kxDockPanel3");
  Select(W->memTree, 2);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "design_narrative"));
}

TEST_F(LibScreensTest, TheNarrativeElementWindow) {
  Sql("UPDATE memAlias SET trootvalue = 0");
  Sql("UPDATE mem1 SET tchartwidth = 70, tchartheight = 30, tchartcolor = 12632256");
  Prepare();
  auto* W = OpenFromMenu<TMetaDataForm>(MainForm->N4);
  ASSERT_NE(W, nullptr);
  Fit(W);
  ChooseRow(W->TableAlisTree, 1);
  W->LibraryTree->FullExpand();
  Select(W->LibraryTree, 2);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "narrative_text"));
  Page(W, "leftPanel2");
  Page(W, "kxDockPanel3");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "narrative_model"));
}

TEST_F(LibScreensTest, TheTemplateWindow) {
  Sql("UPDATE story1 SET ttext1 = '    主角在小镇醒来，一切如常。' WHERE tid = 4");
  Sql("UPDATE story1 SET tchartwidth = 70, tchartheight = 30, tchartcolor = 12632256");
  Prepare();
  auto* W = OpenFromMenu<TStoryDesigner>(MainForm->StoryDesignMenu);
  ASSERT_NE(W, nullptr);
  Fit(W);
  ChooseRow(W->LibRegionTree, 1);
  ChooseRow(W->kxLookupTreeView1, 1);
  W->LeftTree->FullExpand();
  W->RightTree->FullExpand();
  Select(W->LeftTree, 2);
  W->LeftTreeClick(nullptr);
  Select(W->RightTree, 4);
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "template_text"));
  Page(W, "kxDockPanel25");
  Page(W, "kxDockPanel3");
  Page(W, "kxDockPanel8");
  EXPECT_TRUE(MatchesReference(Shot(), "app/tests/ref", "template_model"));
}

}  // namespace
