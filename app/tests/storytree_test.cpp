// The story window's novel tree used as an author uses it: the pop-up menu
// with the mouse and the keyboard, dragging nodes with real mouse messages,
// focusing and showing the whole tree again, new novel tables, and the "图形"
// pane next to the tree. Every result is read back from the story file.
#include <string>

#include "app/libwindow.h"
#include "app/tests/libwindowtest.h"
#include "app/tests/storytest.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/kxlookuptreeview.h"

namespace {

// Runs the next step each time a pop-up menu's loop waits for input.
std::vector<std::function<void()>> gMenuSteps;
HeadlessBackend* gMenuHb = nullptr;
LRESULT MenuIdleHook(int Code, WPARAM W, LPARAM L) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(L);
  if (Code == HC_ACTION && cwp->message == WM_ENTERIDLE && cwp->wParam == MSGF_MENU) {
    if (gMenuSteps.empty()) {
      for (int i = 0; i < 3; ++i) gMenuHb->Key(VK_ESCAPE);
    } else {
      auto step = gMenuSteps.front();
      gMenuSteps.erase(gMenuSteps.begin());
      step();
    }
  }
  return CallNextHookEx(nullptr, Code, W, L);
}

class StoryTreeTest : public StoryTest {
 protected:
  HHOOK hook = nullptr;
  void SetUp() override {
    StoryTest::SetUp();
    gMenuHb = hb;
    gMenuSteps.clear();
    hook = SetWindowsHookExA(WH_CALLWNDPROC, MenuIdleHook, nullptr, 0);
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook);
    gMenuSteps.clear();
    StoryTest::TearDown();
  }
  // Opens the story in a frame of a writer's screen size and slides the
  // novel tree's panel out by a click on its tab, as the author does.
  void OpenExpanded() {
    ASSERT_NE(Open(), nullptr);
    MainForm->SetBounds(0, 0, 1100, 750);
    Pump();
    ShowNovelPanel();
    W->FolderTree->FullExpand();
    Pump();
  }
  void ShowNovelPanel() {
    Click(TPoint(MainForm->Left() + 44, MainForm->Top() + 45));  // the tab "小说" on the left edge
    for (int i = 0; i < 20; ++i) Wait(50);                        // its slide
    ASSERT_TRUE(IsWindowVisible(W->FolderTree->Handle()));
  }
  void Click(TPoint P, HeadlessBackend::Button B = HeadlessBackend::Left) {
    hb->AdvanceClock(2000);  // never a double click
    hb->MouseMove(P.x, P.y);
    hb->MouseDown(P.x, P.y, B);
    Pump();
    hb->MouseUp(P.x, P.y, B);
    Pump();
  }
  // Clicks the node, then right-clicks it and picks the pop-up menu's item
  // Steps rows down with the keyboard.
  void MenuOnNode(int Key, int Steps) {
    const TPoint p = LabelPoint(W->FolderTree, NodeOf(W->FolderTree, Key));
    Click(p);
    gMenuSteps.push_back([this, Steps] {
      for (int i = 0; i < Steps; ++i) hb->Key(VK_DOWN);
      hb->Key(VK_RETURN);
    });
    Click(p, HeadlessBackend::Right);
  }
  // Clicks the link of the bar item Name that is on show.
  void ClickBarItem(const char* Name) {
    TkxBarItem* item = W->kxBarManager1->ItemByName(Name);
    ASSERT_NE(item, nullptr) << Name;
    TkxBarItemLink* link = nullptr;
    for (int i = 0; i < item->LinkCount(); ++i)
      if (TCustomkxBarControl* c = item->Links(i)->BarControl(); c && IsWindowVisible(c->Handle())) link = item->Links(i);
    ASSERT_NE(link, nullptr) << Name << " is not on show";
    const TRect r = link->ItemRect();
    Click(link->BarControl()->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)));
  }
  int SelectedKey() {
    auto* n = dynamic_cast<TkxDBTreeNode*>(W->FolderTree->Selected());
    return n ? n->RecordKey().AsInteger() : 0;
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> q;
    for (const TDialogRecord& r : DialogLog())
      if (r.Kind == "Message") q.push_back(U8(r.Text));
    return q;
  }
};

// A leaf with a long body text: the menu's "删除" asks what Del asks, and a
// refused question deletes nothing.
TEST_F(StoryTreeTest, TheMenusDeleteAsksTheDelQuestionAndARefusalKeepsTheNode) {
  AddNodes({{1, 0, "第一章"}, {2, 1, "长夜"}, {3, 0, "第二章"}, {4, 1, "黎明"}});
  Sql("UPDATE Story1 SET ttext2 = replace(hex(zeroblob(21000)), '00', '夜') WHERE tid = 2");
  ASSERT_EQ(Query("SELECT length(ttext2) FROM Story1 WHERE tid = 2"), "21000");
  OpenExpanded();
  // Del on the node, refused: the question the menu must ask too.
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  ClearDialogLog();
  AnswerCancel();
  hb->Key(VK_DELETE);
  Pump();
  ASSERT_EQ(Questions().size(), 1u);
  const std::string asked = Questions()[0];
  EXPECT_NE(asked.find("02.长夜"), std::string::npos) << asked;
  // "删除" is the second item of the menu: refused, then agreed.
  for (TModalResult answer : {mrCancel, mrOk}) {
    SCOPED_TRACE(answer);
    ClearDialogLog();
    AnswerButton(answer);
    MenuOnNode(2, 2);
    EXPECT_EQ(Questions(), std::vector<std::string>{asked});
    EXPECT_EQ(PendingDialogAnswers(), 0);
    EXPECT_EQ(Query("SELECT count(*) FROM Story1 WHERE tid = 2 AND length(ttext2) = 21000"),
              answer == mrOk ? "0" : "1");
    EXPECT_EQ(NodeOf(W->FolderTree, 2) != nullptr, answer != mrOk);
  }
  // A node with children is still refused without a question.
  ClearDialogLog();
  MenuOnNode(1, 2);
  EXPECT_TRUE(Questions().empty());
  EXPECT_EQ(Query("SELECT count(*) FROM Story1"), "3");
}

// The question is open while the window is closed: nothing is deleted and
// nothing freed is touched when the answer comes.
TEST_F(StoryTreeTest, ClosingTheWindowWhileTheDeleteQuestionIsOpenDeletesNothing) {
  AddNodes({{1, 0, "第一章"}, {2, 0, "第二章"}});
  OpenExpanded();
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  TStoryWrite* window = W;
  QueueDialogAnswer(TDialogAnswer()
                        .Do([window](TCustomForm*) {
                          window->Close();
                          Application->ProcessMessages();
                        })
                        .Press(mrOk));
  W->Delete1Click(nullptr);
  Pump();
  EXPECT_EQ(Query("SELECT count(*) FROM Story1"), "2");
  for (int i = 0; i < MainForm->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TStoryWrite*>(MainForm->Components(i)), nullptr) << "the window is gone";
}

// "聚焦" then "全局": the tree forgets the focused node, so a node added at
// the top level is a root node, not a child of the node once focused.
TEST_F(StoryTreeTest, AfterFocusAndWholeTreeANodeAddedAtTheTopLevelIsARootNode) {
  AddNodes({{1, 0, "第一章"}, {2, 1, "开头"}, {3, 0, "第二章"}});
  OpenExpanded();
  MenuOnNode(1, 12);  // "聚焦", after the view sub-menu, "彩色视图" and "标记视图"
  EXPECT_EQ(W->RootValue, 1);
  EXPECT_EQ(TreeText(W->FolderTree), "02.开头");
  MenuOnNode(2, 13);  // "全局"
  EXPECT_EQ(W->RootValue, -1);
  EXPECT_EQ(Query("SELECT trootvalue FROM ClientUserTable WHERE tid = 1"), "-1");
  EXPECT_TRUE(W->FolderTree->RootValue().IsNull());
  W->FolderTree->SetSelected(nullptr);
  W->Add1Click(nullptr);
  Pump();
  EXPECT_EQ(Query("SELECT tparent = tid FROM Story1 WHERE tid > 3"), "1");
  EXPECT_EQ(Query("SELECT count(*) FROM Story1 WHERE tparent = 1"), "1");
}

// Dragging a node onto another with the mouse, as a person does: the target
// is highlighted while the mouse rests on it, and the drop moves the node
// there, in the file too.
TEST_F(StoryTreeTest, DraggingANodeOntoAnotherShowsTheTargetAndMovesIt) {
  AddNodes({{1, 0, "第一章"}, {2, 1, "开头"}, {3, 0, "第二章"}});
  OpenExpanded();
  const TPoint from = LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2));
  const TPoint to = LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 3));
  hb->AdvanceClock(2000);
  hb->MouseMove(from.x, from.y);
  hb->MouseDown(from.x, from.y);
  Pump();
  for (int i = 1; i <= 4; ++i) {
    hb->MouseMove(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4);
    Pump();
  }
  EXPECT_EQ(kxDragSourceNode(), NodeOf(W->FolderTree, 2));
  EXPECT_EQ(kxDropTargetNode(), NodeOf(W->FolderTree, 3));
  EXPECT_TRUE(NodeOf(W->FolderTree, 3)->DropTarget());
  EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
  hb->MouseUp(to.x, to.y);
  Pump();
  EXPECT_EQ(kxDragSourceNode(), nullptr);
  EXPECT_EQ(TreeText(W->FolderTree), "01.第一章|03.第二章|  02.开头");
  EXPECT_EQ(Query("SELECT tparent FROM Story1 WHERE tid = 2"), "3");
  // Onto its own subtree nothing happens.
  W->FolderTree->FullExpand();
  DragTo(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 3)), LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  EXPECT_EQ(Query("SELECT tparent FROM Story1 WHERE tid = 3"), "0");
}

// "新建" under the novel toolbar's "新建": the new table is listed in the
// novel picker at once, where the author picks it and sees its empty tree.
TEST_F(StoryTreeTest, ANewNovelTableIsListedInThePickerAndCanBeOpened) {
  AddNodes({{1, 0, "第一章"}});
  OpenExpanded();
  AnswerText(A("第二部"));
  ClickBarItem("kxBarSubItemNew");
  ClickBarItem("kxBarButtonNew");
  Pump();
  ASSERT_EQ(Query("SELECT tname FROM ClientUserTable WHERE tsortid = '第二部'"), "Story2");
  // The new novel is shown at once, its name in the picker.
  TkxLookupTreeView* picker = W->kxLookupTreeView4;
  EXPECT_EQ(U8(picker->Text()), "第二部");
  EXPECT_EQ(W->ClientUserTable->TableName(), "Story2");
  EXPECT_EQ(TreeText(W->FolderTree), "");
  // The first one is still listed and chosen there.
  picker->DropDown();
  Pump();
  std::string listed;
  for (TTreeNode* n = picker->GetPopupTree()->Items()->GetFirstNode(); n; n = n->GetNext())
    listed += U8(n->Text()) + "|";
  picker->CloseUp(false);
  EXPECT_NE(listed.find("第二部|"), std::string::npos) << listed;
  ChooseRow(picker, 1);
  Pump();
  EXPECT_EQ(W->ClientUserTable->TableName(), "Story1");
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "01.第一章");
  // A display name longer than its field is refused before any table is made.
  const std::string tables = Query("SELECT count(*) FROM sqlite_master WHERE type = 'table'");
  AnswerText(A("一个很长很长的小说名字"));
  EXPECT_THROW(W->N26Click(nullptr), EDatabaseError);
  EXPECT_EQ(Query("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), tables);
  EXPECT_EQ(Query("SELECT count(*) FROM ClientUserTable"), "2");
}

// The "图形" pane shows the chart of the node the author is on, ticked or
// not, however the node was reached; its "保存" never stores another node's
// chart.
TEST_F(StoryTreeTest, TheChartPaneAlwaysShowsTheCurrentNodesOwnChart) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}, {3, 0, "丙"}});
  OpenExpanded();
  ASSERT_FALSE(W->showGrapgh->Checked());
  // A chart for 甲, stored through the pane.
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 1)));
  W->kxFlowChart1->CreateObject(10, 10, 80, 40, fskRectangle);
  W->ToolButton5Click(nullptr);
  Sql("UPDATE Story1 SET ttext7 = x'0102' WHERE tid = 3");  // a damaged chart
  W->Close();
  Pump();
  // Opened again, the story shows the current node's chart without the box ticked.
  W = OpenStoryWindow(MainForm, StoryFile, "novel", true);
  Pump();
  ASSERT_FALSE(W->showGrapgh->Checked());
  ShowNovelPanel();
  W->FolderTree->FullExpand();
  Pump();
  ASSERT_EQ(W->ClientUserTable->FieldByName("tid")->AsInteger(), 1);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 1);
  const struct {
    const char* how;
    int key;
    int objects;
  } steps[] = {{"mouse", 2, 0}, {"mouse", 1, 1}, {"key down", 2, 0}, {"key up", 1, 1},
               {"next node", 2, 0}, {"mouse", 1, 1}, {"mouse", 3, 0}};
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string(s.how) + " to " + std::to_string(s.key));
    const std::string how = s.how;
    if (how == "mouse") {
      Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, s.key)));
    } else if (how == "next node") {
      W->kxBarButton4Click(nullptr);
    } else {
      W->FolderTree->SetFocus();
      hb->Key(how == "key down" ? VK_DOWN : VK_UP);
      Pump();
    }
    EXPECT_EQ(SelectedKey(), s.key);
    EXPECT_EQ(W->kxFlowChart1->ObjectCount(), s.objects);
  }
  // "保存" on 乙 stores 乙's own empty chart; 甲's stays.
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  const std::string chart1 = Query("SELECT hex(ttext7) FROM Story1 WHERE tid = 1");
  W->ToolButton5Click(nullptr);
  EXPECT_EQ(Query("SELECT hex(ttext7) FROM Story1 WHERE tid = 1"), chart1);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 0);
}

// A node's name longer than its field: the name edit stops at the field's
// size without half a character, and what the edit shows is what the file
// holds; set any other way, the value is refused with a message.
TEST_F(StoryTreeTest, ANameLongerThanItsFieldIsNeverCutUnseen) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  OpenExpanded();
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 1)));
  ASSERT_TRUE(IsWindowVisible(W->DBEdit2->Handle()));
  Click(W->DBEdit2->ClientToScreen(TPoint(10, W->DBEdit2->ClientHeight() / 2)));
  ASSERT_EQ(GetFocus(), W->DBEdit2->Handle());
  hb->Key(VK_END);
  std::string typed;
  for (int i = 0; i < 30; ++i) typed += "长";
  hb->CommitText("a");
  Pump();
  hb->CommitText(typed);
  Pump();
  const AnsiString shown = W->DBEdit2->Text();
  // 甲 and a take three of the fifty bytes: 23 more characters fit, and the
  // byte left over holds no half of a 24th.
  EXPECT_EQ(U8(shown), "甲a" + typed.substr(0, 23 * 3));
  EXPECT_EQ(shown.size(), 49u);
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  EXPECT_EQ(Query("SELECT tname FROM Story1 WHERE tid = 1"), U8(shown));
  // Fifty-one characters set directly are refused, and the name stays.
  std::string longName;
  for (int i = 0; i < 51; ++i) longName += "名";
  W->ClientUserTable->Edit();
  EXPECT_THROW(W->ClientUserTable->FieldByName("tname")->SetAsString(A(longName)), EDatabaseError);
  W->ClientUserTable->FieldByName("tname")->SetAsString(A(longName.substr(3)));
  W->ClientUserTable->Post();
  EXPECT_EQ(Query("SELECT length(tname) FROM Story1 WHERE tid = 2"), "50");
}

}  // namespace

namespace {

// Windows closed while something of these paths is open: the new table's
// question, and a node's name being typed in the tree.
TEST_F(StoryTreeTest, ClosingTheWindowWhileANameIsAskedOrTypedLosesNothingAndCutsNothing) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  OpenExpanded();
  const std::string tables = Query("SELECT count(*) FROM sqlite_master WHERE type = 'table'");
  TStoryWrite* window = W;
  QueueDialogAnswer(TDialogAnswer()
                        .Do([window](TCustomForm*) {
                          window->Close();
                          Application->ProcessMessages();
                        })
                        .TypeText(A("第二部"))
                        .Press(mrOk));
  W->N26Click(nullptr);
  Pump();
  EXPECT_EQ(Query("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), tables);
  EXPECT_EQ(Query("SELECT count(*) FROM ClientUserTable"), "1");
  // Opened again: the name of 乙 typed in the tree's label editor, far too
  // long, and the window closed with Ctrl+F4 while the editor is open.
  W = OpenStoryWindow(MainForm, StoryFile, "novel", true);
  Pump();
  ShowNovelPanel();
  W->FolderTree->FullExpand();
  Click(LabelPoint(W->FolderTree, NodeOf(W->FolderTree, 2)));
  W->Editor1Click(nullptr);  // "编辑"
  Pump();
  HWND editor = TreeView_GetEditControl(W->FolderTree->Handle());
  ASSERT_NE(editor, nullptr);
  std::string typed;
  for (int i = 0; i < 40; ++i) typed += "长";
  hb->Key(VK_END);
  hb->CommitText(typed);
  Pump();
  char buf[256] = {};
  GetWindowTextA(editor, buf, sizeof buf);
  const std::string shown = U8(buf);
  EXPECT_LE(std::string(buf).size(), 50u);
  hb->Key(VK_F4, HeadlessBackend::Ctrl);
  Pump();
  for (int i = 0; i < MainForm->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TStoryWrite*>(MainForm->Components(i)), nullptr) << "the window is gone";
  const std::string stored = Query("SELECT tname FROM Story1 WHERE tid = 2");
  EXPECT_TRUE(stored == "乙" || stored == shown) << stored;
}

}  // namespace
