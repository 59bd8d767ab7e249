// The story window on a copy of the shipped template: opening from the
// command line, the nine views and their labels, the focus root, what a click
// shows, body text typed and read back from the file, saving around the caret.
#include <fstream>

#include "app/codedatamodule.h"
#include "app/tests/storytest.h"

namespace {

TEST_F(StoryTest, TypedBodyTextReachesTheFileWhenTheAuthorMovesToAnotherNode) {
  AddNodes({{1, 0, "第一章"}, {2, 1, "开头"}, {3, 0, "第二章"}});
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(W->ClientUserTable->TableName(), "Story1");
  EXPECT_EQ(W->CurrentView, 0);
  EXPECT_EQ(W->RootValue, -1);
  EXPECT_EQ(U8(W->ViewLabel->Caption()), "场景");
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "01.第一章|  02.开头|03.第二章");
  // Selecting a node shows its texts.
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  Pump();
  EXPECT_EQ(U8(W->Text1TxtEdit->Text()), "开头的正文");
  // Typing through the input method, then another node.
  W->Text1TxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(W->CurrentEditor(), W->Text1TxtEdit);
  EXPECT_EQ(LibDataModule->CurrentEditor, W->Text1TxtEdit);
  hb->Key(VK_END, HeadlessBackend::Ctrl);
  hb->CommitText("，天亮了。");
  Pump();
  NodeOf(W->FolderTree, 3)->SetSelected(true);
  Pump();
  EXPECT_EQ(Query("SELECT ttext2 FROM Story1 WHERE tid = 2"), "开头的正文，天亮了。");
  EXPECT_EQ(U8(W->Text1TxtEdit->Text()), "第二章的正文");
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
}


// Ctrl+S in a body text with the pop-up menu "EditorMenu" is the shortcut of
// its "保存": the text typed reaches the file.
TEST_F(StoryTest, CtrlSInABodyTextSaves) {
  AddNodes({{1, 0, "第一章"}});
  ASSERT_NE(Open(), nullptr);
  NodeOf(W->FolderTree, 1)->SetSelected(true);
  Pump();
  TDBTxtEdit* e = W->Text4TxtEdit;
  W->DesignPanel->Activate();
  Pump();
  e->SetFocus();
  Pump();
  ASSERT_EQ(GetFocus(), e->Handle());
  hb->Key(VK_END, HeadlessBackend::Ctrl);
  hb->CommitText("雨停了。");
  Pump();
  hb->Key('S', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(Query("SELECT ttext1 FROM Story1 WHERE tid = 1"), U8(e->Text()));
  EXPECT_NE(U8(e->Text()).find("雨停了。"), std::string::npos);
}

TEST_F(StoryTest, EachViewHasItsParentFieldOrderLabelsAndNameAndIsStoredInTheAliasRow) {
  AddNodes({{1, 0, "甲"}});
  ASSERT_NE(Open(), nullptr);
  // Plain functions, not member pointers: UBSan of this compiler reports calls
  // through member pointers in a loop as member access on a null pointer.
  using Item = void (*)(TStoryWrite*);
  const Item items[] = {[](TStoryWrite* w) { w->N10Click(nullptr); }, [](TStoryWrite* w) { w->N28Click(nullptr); },
                        [](TStoryWrite* w) { w->N11Click(nullptr); }, [](TStoryWrite* w) { w->N12Click(nullptr); },
                        [](TStoryWrite* w) { w->N13Click(nullptr); }, [](TStoryWrite* w) { w->N25Click(nullptr); },
                        [](TStoryWrite* w) { w->N29Click(nullptr); }, [](TStoryWrite* w) { w->N30Click(nullptr); },
                        [](TStoryWrite* w) { w->N31Click(nullptr); }};
  const char* labels[] = {"场景", "章节", "故事", "线程", "人物", "矛盾", "时间", "空间", "角度"};
  for (int view = 8; view >= 0; --view) {
    SCOPED_TRACE(view);
    items[view](W);
    const std::string n = std::to_string(view);
    EXPECT_EQ(U8(W->ViewLabel->Caption()), labels[view]);
    EXPECT_EQ(W->FolderTree->ParentField(), view ? "tview" + n : "tparent");
    EXPECT_EQ(W->MduleOrgChart->ParentFieldName(), W->FolderTree->ParentField());
    EXPECT_EQ(W->DBEdit1->DataField(), view ? "tviewname" + n : "tsortid");
    EXPECT_EQ(W->FolderTree->DisplayField(), view ? "tviewname" + n + ";tname" : "tsortid;tname");
    EXPECT_EQ(Query("SELECT tcurrentView FROM ClientUserTable"), n);
  }
  // Without the scene box a view shows its order labels only; view 0 keeps both.
  W->CheckBox1->SetChecked(false);
  W->N11Click(nullptr);
  EXPECT_EQ(W->FolderTree->DisplayField(), "tviewname2");
  W->N10Click(nullptr);
  EXPECT_EQ(W->FolderTree->DisplayField(), "tsortid;tname");
}

TEST_F(StoryTest, AStoredFocusRootOpensWithTheFocusedNodesChildrenAsTheTopLevel) {
  AddNodes({{17, 0, "线索"}, {20, 0, "甲"}, {21, 0, "乙"}, {22, 0, "丙"}, {23, 0, "丁"}});
  Sql("UPDATE Story1 SET tview3 = 17 WHERE tid IN (20, 21)");
  Sql("UPDATE Story1 SET tview3 = 20 WHERE tid = 22");
  Sql("UPDATE Story1 SET tviewname3 = tsortid");
  Sql("UPDATE ClientUserTable SET tcurrentView = 3, trootvalue = 17");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(W->CurrentView, 3);
  EXPECT_EQ(W->RootValue, 17);
  EXPECT_EQ(U8(W->ViewLabel->Caption()), "线程");
  EXPECT_TRUE(W->FolderTree->Options().Contains(trSmartRecordLoad));
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "20.甲|  22.丙|21.乙");
  // "全局" shows every node again and stores -1; "聚焦" on 甲 stores its key.
  W->N35Click(nullptr);
  EXPECT_EQ(Query("SELECT trootvalue FROM ClientUserTable"), "-1");
  EXPECT_FALSE(W->FolderTree->Options().Contains(trSmartRecordLoad));
  NodeOf(W->FolderTree, 20)->SetSelected(true);
  W->N34Click(nullptr);
  EXPECT_EQ(Query("SELECT trootvalue FROM ClientUserTable"), "20");
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "22.丙");
}

TEST_F(StoryTest, ARootOfZeroShowsTheWholeTreeLikeMinusOne) {
  AddNodes({{1, 0, "甲"}, {2, 1, "乙"}});
  Sql("UPDATE ClientUserTable SET trootvalue = 0");
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(W->FolderTree->Options().Contains(trSmartRecordLoad));
  W->FolderTree->FullExpand();
  EXPECT_EQ(TreeText(W->FolderTree), "01.甲|  02.乙");
}

TEST_F(StoryTest, AFileThatIsNoStoryIsReportedAndTheWindowHoldsNoNovel) {
  const std::string bad = Root + "story/bad.t";
  {
    std::ofstream f(bad, std::ios::binary);
    f << std::string(4096, 'x');
  }
  QueueDialogAnswer(TDialogAnswer().Press(mrOk));
  ASSERT_NE(Open(bad), nullptr);
  ASSERT_EQ(DialogLog().size(), 1u);
  EXPECT_EQ(DialogLog()[0].Text, "   " + A("错误的文件格式") + ".            ");
  EXPECT_FALSE(W->ClientUserTable->Active());
  EXPECT_FALSE(W->StoryConnection->Connected());
  // Its commands find nothing to work on; closing saves nothing and goes ahead.
  W->Add1Click(nullptr);
  W->kxBarButton19Click(nullptr);
  W->Close();
  Pump();
}

TEST_F(StoryTest, ClosingSavesWhatIsPendingAndTheWindowGoes) {
  AddNodes({{1, 0, "甲"}});
  ASSERT_NE(Open(), nullptr);
  W->ClientUserTable->Edit();
  W->ClientUserTable->FieldByName("tname")->SetAsString(A("改名"));
  W->Close();
  Pump();
  EXPECT_EQ(Query("SELECT tname FROM Story1 WHERE tid = 1"), "改名");
}

TEST_F(StoryTest, TheCaretKeeperPutsTheCaretBackAfterAReloadAndClampsIt) {
  std::string text;
  for (int i = 1; i <= 100; ++i) text += "第" + std::to_string(i) + "行文字\\r\\n";
  Sql("INSERT INTO Story1 (tid, tparent, tname, ttext2) VALUES (1, 0, 'a', replace('" + text + "', '\\r\\n', char(13, 10)))");
  ASSERT_NE(Open(), nullptr);
  W->Text1TxtEdit->SetFocus();
  Pump();
  W->Text1TxtEdit->SetCaretXY({7, 40});
  W->save();  // reloads the editors
  EXPECT_EQ(W->Text1TxtEdit->CaretY(), 40);
  EXPECT_EQ(W->Text1TxtEdit->CaretX(), 7);
  EXPECT_LE(W->Text1TxtEdit->TopLine(), 40);
  EXPECT_GT(W->Text1TxtEdit->TopLine() + W->Text1TxtEdit->RowsInWindow(), 40);
  // The text shrinks to ten lines meanwhile: the caret ends on the last one.
  TCodeDataModule keeper(nullptr);
  keeper.Remember(W->Text1TxtEdit);
  std::string ten;
  for (int i = 1; i <= 10; ++i) ten += "line\r\n";
  W->Text1TxtEdit->SetText(ten);
  keeper.Restore();
  EXPECT_EQ(W->Text1TxtEdit->CaretY(), W->Text1TxtEdit->Lines()->Count());
  // An editor freed meanwhile is forgotten.
  TCodeDataModule late(nullptr);
  {
    auto* gone = new TTxtEdit(W);
    late.Remember(gone);
    delete gone;
  }
  EXPECT_EQ(late.Editor(), nullptr);
  late.Restore();
}

TEST_F(StoryTest, FormattingTidiesEachLineIntoAnIndentedSimplifiedParagraph) {
  AddNodes({{1, 0, "甲"}});
  ASSERT_NE(Open(), nullptr);
  const struct {
    const char* Lines;
    const char* Format;
    const char* Advance;
  } cases[] = {
      {" 他 说 \n", "    他说", "    他说"},
      {"這個國家\n", "    这个国家", "    这个国家"},
      {"甲\n  \n乙\n", "    甲|    |    乙", "    甲|    乙"},
      {"", "", ""},
      {"\n", "    ", ""},
      {"\t　全角 空格　\n", "    　全角空格　", "    　全角空格　"},
  };
  auto lines = [](TCustomTxtEdit* e) {
    std::string s;
    for (int i = 0; i < e->Lines()->Count(); ++i) s += (i ? "|" : "") + U8(e->Lines()->Strings(i));
    return s;
  };
  TCustomTxtEdit* e = W->Text6TxtEdit;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Lines);
    e->Lines()->Clear();
    std::string src = c.Lines;
    for (std::size_t at; (at = src.find('\n')) != std::string::npos;) {
      e->Lines()->Add(A(src.substr(0, at)));
      src.erase(0, at + 1);
    }
    LibDataModule->format(e);
    EXPECT_EQ(lines(e), c.Format);
    e->Lines()->Clear();
    src = c.Lines;
    for (std::size_t at; (at = src.find('\n')) != std::string::npos;) {
      e->Lines()->Add(A(src.substr(0, at)));
      src.erase(0, at + 1);
    }
    LibDataModule->formatAdvance(e);
    EXPECT_EQ(lines(e), c.Advance);
  }
}


TEST_F(StoryTest, ANodesLinkedNarrativeSubtreeStaysUntilAnotherLinkedNodeIsClicked) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  Sql("UPDATE Story1 SET tlinktable = '1', tlinkpath = '1' WHERE tid = 1");
  {
    pvsql::Db lib(Root + "data/lib.l");
    lib.Exec("UPDATE region1 SET tlinktable = '1', tlinkpath = '1' WHERE tid = 2");
  }
  ASSERT_NE(Open(), nullptr);
  W->FolderTree->FullExpand();
  // The linked node shows the children of narrative node 1 of table mem1.
  NodeOf(W->FolderTree, 1)->SetSelected(true);
  W->FolderTreeClick(nullptr);
  ASSERT_TRUE(LibDataModule->MemTable->Active());
  EXPECT_EQ(LibDataModule->MemTable->TableName(), "mem1");
  EXPECT_EQ(TreeText(W->StoryMemTree), "00.初到小镇|01.意外相遇");
  // A novel node without links leaves it shown.
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  W->FolderTreeClick(nullptr);
  EXPECT_TRUE(LibDataModule->MemTable->Active());
  EXPECT_EQ(TreeText(W->StoryMemTree), "00.初到小镇|01.意外相遇");
  // A design element with links shows its subtree; one without empties it.
  W->LibraryTree->FullExpand();
  NodeOf(W->LibraryTree, 2)->SetSelected(true);
  W->LibraryTreeClick(nullptr);
  ASSERT_TRUE(LibDataModule->MemTable3->Active());
  EXPECT_EQ(TreeText(W->MemModuleTree), "2.初到小镇|3.意外相遇");
  NodeOf(W->LibraryTree, 3)->SetSelected(true);
  W->LibraryTreeClick(nullptr);
  EXPECT_FALSE(LibDataModule->MemTable3->Active());
  EXPECT_EQ(TreeText(W->MemModuleTree), "");
}

}  // namespace

// The order and name edits sit on the text toolbar, where a click takes the
// focus; the toolbar's "保存" posts what was typed into the body text.
TEST_F(StoryTest, TheTextToolbarHostsTheNameEditAndItsSaveButtonPostsTheBodyText) {
  AddNodes({{1, 0, "第一章"}});
  ASSERT_NE(Open(), nullptr);
  NodeOf(W->FolderTree, 1)->SetSelected(true);
  Pump();
  W->Text1TxtEdit->SetFocus();
  Pump();
  hb->Key(VK_END, HeadlessBackend::Ctrl);
  hb->CommitText("雨停了。");
  Pump();
  auto click = [this](TPoint P) {
    hb->MouseDown(P.x, P.y);
    Pump();
    hb->MouseUp(P.x, P.y);
    Pump();
  };
  ASSERT_TRUE(IsWindowVisible(W->DBEdit2->Handle())) << "the name edit is placed on its toolbar";
  click(W->DBEdit2->ClientToScreen(TPoint(10, W->DBEdit2->ClientHeight() / 2)));
  EXPECT_EQ(GetFocus(), W->DBEdit2->Handle());
  TkxBarItem* save = W->kxBarManager1->ItemByName("kxBarButtonSave");
  ASSERT_NE(save, nullptr);
  ASSERT_EQ(save->LinkCount(), 1);
  TkxBarItemLink* link = save->Links(0);
  ASSERT_NE(link->BarControl(), nullptr);
  const TRect r = link->ItemRect();
  click(link->BarControl()->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)));
  EXPECT_EQ(Query("SELECT ttext2 FROM Story1 WHERE tid = 1"), "第一章的正文雨停了。");
}
