// The library tool windows drawn on the headless backend inside the frame:
// the story design window with a library table, a template and the novel,
// the library-wide replace window on its two panels, and the copy window with
// a library and a story open side by side.
#include "app/copyfiles.h"
#include "app/libreplace.h"
#include "app/storydesign.h"
#include "app/tests/toolwindowtest.h"
#include "docking/kxdockpanel.h"
#include "platform/classes/filer.h"
#include "platform/gdi/tests/refimage.h"

namespace {

class ToolScreensTest : public ToolWindowTest {
 protected:
  void Start() {
    AddNodes({{1, 0, "第一章 青石镇"}, {2, 1, "雨夜"}, {3, 1, "来客"}, {4, 0, "第二章 山路"}, {5, 4, "启程"}});
    ASSERT_NE(Open(), nullptr);
    MainForm->SetBounds(0, 0, 1000, 680);
    Pump();
  }
  // A maximised child keeps the size of the client it was maximised in.
  static void Remaximise(TForm* F) {
    F->SetWindowState(wsNormal);
    F->SetWindowState(wsMaximized);
  }
  void Activate(TForm* F, const char* Panel) {
    auto* p = dynamic_cast<TkxDockPanel*>(F->FindComponent(Panel));
    ASSERT_NE(p, nullptr) << Panel;
    p->Activate();
    Pump();
  }
};

TEST_F(ToolScreensTest, TheStoryDesignWindow) {
  Start();
  FileSql(Lib(), "UPDATE region1 SET ttext1 = '    林远，二十岁，青石镇人。'");
  W->N27Click(nullptr);
  Pump();
  auto* d = Child<TStoryModuleDesigner>();
  ASSERT_NE(d, nullptr);
  Remaximise(d);
  Pump();
  d->libTree->SetKeyValue(Variant(1));
  d->libTreeCloseUp(d->libTree, true);
  d->LeftTree->FullExpand();
  d->RightTree->FullExpand();
  NodeOf(d->RightTree, 2)->SetSelected(true);
  Pump();
  EXPECT_TRUE(MatchesReference(FrameShot(), "app/tests/ref", "storydesign_tree"));
  Activate(d, "dpStartPage");
  Activate(d, "kxDockPanel20");
  Activate(d, "kxDockPanel25");
  EXPECT_TRUE(MatchesReference(FrameShot(), "app/tests/ref", "storydesign_text_model"));
}

TEST_F(ToolScreensTest, TheLibraryReplaceWindow) {
  Start();
  MainForm->kxBarButton10Click(nullptr);
  Pump();
  auto* r = Child<TSearchallForm>();
  ASSERT_NE(r, nullptr);
  Remaximise(r);
  r->kxDBTreeView1->FullExpand();
  Pump();
  EXPECT_TRUE(MatchesReference(FrameShot(), "app/tests/ref", "libreplace_find"));
  Activate(r, "kxDockPanel2");
  r->Edit1->SetText(A("青石镇"));
  r->Edit2->SetText(A("白云城"));
  EXPECT_TRUE(MatchesReference(FrameShot(), "app/tests/ref", "libreplace_replace"));
}

TEST_F(ToolScreensTest, TheCopyWindow) {
  Start();
  MainForm->kxBarButton12Click(nullptr);
  Pump();
  auto* c = Child<TDataTransform>();
  ASSERT_NE(c, nullptr);
  for (auto [side, file, list] : {std::tuple{&c->Left(), Lib(), 1}, std::tuple{&c->Right(), StoryFile, 0}}) {
    side->Edit->SetText(A(file));
    c->EvaluatePath(*side);
    side->ComboBox->SetItemIndex(list);
    side == &c->Left() ? c->LeftComboBoxCloseUp(nullptr) : c->RightComboBoxCloseUp(nullptr);
    side->LookupTree->SetKeyValue(Variant(1));
    side == &c->Left() ? c->LeftLookupTreeCloseUp(side->LookupTree, true)
                       : c->RightLookupTreeCloseUp(side->LookupTree, true);
  }
  // The test's folder changes its name with every run: the boxes show the
  // paths below it.
  c->LeftEdit->SetText("data/lib.l");
  c->RightEdit->SetText("story/novel.t");
  Pump();
  EXPECT_TRUE(MatchesReference(FrameShot(), "app/tests/ref", "copyfiles"));
}

}  // namespace

namespace {

// Each window writes its description back with its handlers bound by name;
// the story design window's set-up is bound to showing it, not to painting.
TEST_F(ToolWindowTest, TheToolWindowsWriteTheirDescriptionsBack) {
  ASSERT_NE(Open(), nullptr);
  W->N27Click(nullptr);
  MainForm->kxBarButton10Click(nullptr);
  MainForm->kxBarButton12Click(nullptr);
  Pump();
  const struct {
    TForm* Window;
    std::vector<const char*> Lines;
  } cases[] = {
      {Child<TStoryModuleDesigner>(),
       {"object StoryModuleDesigner: TStoryModuleDesigner", "OnShow = FormShow", "OnTimer = Timer1Timer",
        "OnDragDropIsCopy = RightTreeDragDropIsCopy", "OnMouseDown = linkpath3MouseDown", "ActivePage = uxTabSheet1"}},
      {Child<TSearchallForm>(),
       {"object SearchallForm: TSearchallForm", "OnActivate = kxDockPanel1Activate", "SearchEngine = TxtEditSearch",
        "OnClick = SpeedButton1Click"}},
      {Child<TDataTransform>(),
       {"object DataTransform: TDataTransform", "OnKeyPress = LeftEditKeyPress", "OnExit = RightEditExit",
        "OnDragDropTreeNode = RightTreeDragDropTreeNode", "OnClick = N4Click"}},
  };
  for (const auto& c : cases) {
    ASSERT_NE(c.Window, nullptr);
    SCOPED_TRACE(c.Window->ClassName());
    const AnsiString text = WriteComponentToText(c.Window);
    for (const char* line : c.Lines) EXPECT_NE(text.find(line), AnsiString::npos) << line;
    EXPECT_EQ(text.find("OnPaint"), AnsiString::npos);
    c.Window->Close();
    Pump();
  }
}

}  // namespace
