// The story window's commands on a real story file, one after another on the
// nodes 甲 (乙, 丙 (丁)) and 戊, each checked in the file as another program
// would read it.
#include <vector>

#include "app/searchdialogs.h"
#include "app/tests/storytest.h"
#include "treechart/kxdbtreeview.h"

namespace {

class StoryCommandsTest : public StoryTest {
 protected:
  void OpenFive() {
    AddNodes({{1, 0, "甲"}, {2, 1, "乙"}, {3, 1, "丙"}, {4, 3, "丁"}, {5, 0, "戊"}});
    Sql("UPDATE Story1 SET ttext2 = '' WHERE tid = 5");
    ASSERT_NE(Open(), nullptr);
    W->FolderTree->FullExpand();
  }
  int Selected() {
    auto* n = dynamic_cast<TkxDBTreeNode*>(W->FolderTree->Selected());
    return n ? n->RecordKey().AsInteger() : 0;
  }
  void Select(int Key) {
    NodeOf(W->FolderTree, Key)->SetSelected(true);
    Pump();
  }
  std::string Rows(const std::string& Columns, const std::string& Where = "1") {
    pvsql::Db db(StoryFile);
    pvsql::Stmt st(db, "SELECT " + Columns + " FROM Story1 WHERE " + Where + " ORDER BY tid");
    std::string s;
    while (st.Step()) {
      if (!s.empty()) s += ";";
      for (int i = 0; i < st.ColumnCount(); ++i) s += (i ? ":" : "") + std::string(st.Type(i) == pvsql::ColType::Null ? "-" : st.Text(i));
    }
    return s;
  }
};

TEST_F(StoryCommandsTest, PreviousAndNextWalkTheWholeTreeDepthFirst) {
  OpenFive();
  W->FolderTree->FullCollapse();
  const struct {
    int From;
    bool Next;
    int To;
  } cases[] = {
      {1, true, 2},   // a collapsed node with children: its first child
      {2, true, 3},  {3, true, 4}, {4, true, 5},
      {5, true, 5},   // the last node: nothing
      {5, false, 4},  // the last node of the previous subtree, collapsed or not
      {2, false, 1},  // the parent
      {1, false, 1},  // the first node: nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.From) + (c.Next ? " next" : " previous"));
    Select(c.From);
    c.Next ? W->kxBarButton4Click(nullptr) : W->kxBarButton3Click(nullptr);
    EXPECT_EQ(Selected(), c.To);
    EXPECT_EQ(W->ClientUserTable->FieldByName("tid")->AsInteger(), c.To);
  }
}

TEST_F(StoryCommandsTest, AddDeleteAndCopyNodesWriteTheFile) {
  OpenFive();
  // Delete refuses a node with children and deletes a leaf after asking.
  Select(3);
  W->Delete1Click(nullptr);
  EXPECT_EQ(Rows("tid", "tid = 3"), "3");
  Select(4);
  AnswerButton(mrOk);
  W->Delete1Click(nullptr);
  Pump();
  EXPECT_EQ(Rows("tid", "tid = 4"), "");
  // Add under 甲 in view 0: a child 节点 with the view-0 defaults.
  Select(1);
  W->Add1Click(nullptr);
  Pump();
  EXPECT_EQ(Rows("tparent, tname, tchartwidth, tchartheight", "tid > 5"), "1:节点:60:30");
  EXPECT_EQ(U8(W->ClientUserTable->FieldByName("tname")->AsString()), "节点");
  // From the chart menu in view 2 the order label goes to tsortid, not tviewname2.
  W->N11Click(nullptr);
  W->FolderTree->FullExpand();
  Select(5);
  const std::string before = Rows("max(tid)");
  W->ChartAddClick(nullptr);
  Pump();
  const std::string added = "tid > " + before;
  EXPECT_EQ(Rows("tview2, tviewname2, tsortid IS NOT NULL", added), "5:-:1");
  // Copy 甲's subtree and paste it under 戊: three more rows, the copy of 甲 under 戊.
  W->N10Click(nullptr);
  W->FolderTree->FullExpand();
  Select(1);
  const std::string last = Rows("max(tid)");
  W->N15Click(nullptr);
  Select(5);
  W->N17Click(nullptr);
  Pump();
  EXPECT_EQ(Rows("tname", "tid > " + last + " AND tparent = 5"), "甲");
  EXPECT_EQ(Rows("count(*)", "tid > " + last), "4");  // 甲, 乙, 丙 and the added 节点
}

TEST_F(StoryCommandsTest, ColourSynchroniseAndMaterialWalkTheWholeTable) {
  OpenFive();
  // "彩色视图" in view 5: tviewcolor5 of 甲 and everything below it.
  W->N25Click(nullptr);
  Sql("UPDATE Story1 SET tview5 = tparent");
  W->ClientUserTable->Refresh();
  W->N10Click(nullptr);
  W->N25Click(nullptr);
  W->FolderTree->FullExpand();
  Select(1);
  LibDataModule->ColorDialog->SetColor(0x00123456);
  AnswerButton(mrOk);
  W->N32Click(nullptr);
  EXPECT_EQ(Rows("tid, tviewcolor5", "tviewcolor5 IS NOT NULL"), "1:1193046;2:1193046;3:1193046;4:1193046");
  // "同步" in view 0 copies tparent into all eight view parents, overwriting them.
  W->N10Click(nullptr);
  W->N41Click(nullptr);
  EXPECT_EQ(Rows("tid", "tview1 IS NOT tparent OR tview8 IS NOT tparent OR tview5 IS NOT tparent"), "");
  EXPECT_EQ(Rows("tview3", "tid = 4"), "3");
  EXPECT_EQ(W->Text1TxtEdit->DataField(), "ttext2");  // bound again
  // "资料同步" overwrites the material of every node, the empty body of 戊 too.
  Sql("UPDATE Story1 SET ttext6 = 'old'");
  W->ClientUserTable->Refresh();
  W->kxBarButton20Click(nullptr);
  EXPECT_EQ(Rows("tid", "ttext6 IS NOT ttext2"), "");
  EXPECT_EQ(Rows("ttext6", "tid = 5"), "");
  EXPECT_EQ(W->Text6TxtEdit->DataField(), "ttext6");
}

TEST_F(StoryCommandsTest, FormattingTheNodeOrTheWholeNovelWritesTheTidiedTexts) {
  AddNodes({{1, 0, "甲"}, {2, 0, "乙"}});
  Sql("UPDATE Story1 SET ttext2 = ' 他 說 ' || char(13, 10) || '  ' || char(13, 10) || '走了', ttext1 = '設計'");
  ASSERT_NE(Open(), nullptr);
  W->FolderTree->FullExpand();
  NodeOf(W->FolderTree, 2)->SetSelected(true);
  Pump();
  W->Format1Click(nullptr);
  EXPECT_EQ(Rows("ttext2, ttext1", "tid = 2"), "    他说\r\n    \r\n    走了:    设计");
  EXPECT_EQ(Rows("ttext2", "tid = 1"), " 他 說 \r\n  \r\n走了");
  W->kxBarButton19Click(nullptr);
  EXPECT_EQ(Rows("ttext2", "tid = 1"), "    他说\r\n    走了");
  EXPECT_EQ(Rows("ttext2", "tid = 2"), "    他说\r\n    走了");
  EXPECT_EQ(Selected(), 2);  // the walk keeps the selection
}

TEST_F(StoryCommandsTest, NewNovelTableChartsAndTheOtherWindowsEntries) {
  OpenFive();
  // "新建": a novel table made from systable and listed under the answer.
  AnswerText(A("第二部"));
  W->N26Click(nullptr);
  EXPECT_EQ(Query("SELECT tsortid || ':' || tname FROM ClientUserTable WHERE tid = 2"), "第二部:Story2");
  EXPECT_EQ(Query("SELECT count(*) FROM Story2"), "0");
  // The new novel is shown and chosen in the picker; the window writes its
  // view into the new table's own alias row.
  EXPECT_EQ(W->ClientUserTable->TableName(), "Story2");
  EXPECT_EQ(U8(W->kxLookupTreeView4->Text()), "第二部");
  EXPECT_EQ(TreeText(W->FolderTree), "");
  W->N12Click(nullptr);
  EXPECT_EQ(Query("SELECT tcurrentView FROM ClientUserTable WHERE tid = 1"), "0");
  EXPECT_EQ(Query("SELECT tcurrentView FROM ClientUserTable WHERE tid = 2"), "3");
  // Back to the first novel through the picker (its panel is not slid out here).
  W->kxLookupTreeView4->SetKeyValue(Variant(1));
  W->kxLookupTreeView4CloseUp(W->kxLookupTreeView4, true);
  ASSERT_EQ(W->ClientUserTable->TableName(), "Story1");
  W->FolderTree->FullExpand();
  W->N10Click(nullptr);
  // The chart's "保存" stores the flow chart in ttext7; a click shows it back.
  Select(2);
  W->kxFlowChart1->CreateObject(10, 10, 80, 40, fskRectangle);
  W->ToolButton5Click(nullptr);
  EXPECT_NE(Query("SELECT length(ttext7) FROM Story1 WHERE tid = 2"), "");
  W->kxFlowChart1->Clear();
  W->showGrapgh->SetChecked(true);
  Select(2);
  W->FolderTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 1);
  // A damaged chart is ignored without a message; the pane shows no other
  // node's chart in its place.
  Sql("UPDATE Story1 SET ttext7 = x'0102' WHERE tid = 3");
  W->ClientUserTable->Refresh();
  Select(3);
  W->FolderTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 0);
  EXPECT_TRUE(DialogLog().empty() || U8(DialogLog().back().Kind) != "Message");
  // The org chart's rotate and zoom toggle.
  W->N5Click(nullptr);
  W->N7Click(nullptr);
  EXPECT_TRUE(W->MduleOrgChart->Rotated());
  EXPECT_TRUE(W->MduleOrgChart->Zoom());
  // Entries to other windows go through their hooks, and do nothing without.
  StoryWindowHooks().ExportToFile = nullptr;
  W->N38Click(nullptr);
  static std::string exported;
  StoryWindowHooks().ExportToFile = [](TkxDBTreeView*, const AnsiString& Name) { exported = AnsiToUtf8(Name); };
  W->N38Click(nullptr);
  EXPECT_EQ(exported, "我的小说");
}

TEST_F(StoryCommandsTest, TheSearchAddressCarriesTheWordEncodedAndSaysWhenNothingAnswers) {
  OpenFive();
  W->kxBarEdit1->SetText(A(" 青石 镇 "));
  W->kxBarButton17Click(nullptr);
  EXPECT_EQ(W->WebBrowser1->LocationURL(), "http://127.0.0.1:7887/search?word=%E9%9D%92%E7%9F%B3%20%E9%95%87");
  EXPECT_NE(W->WebBrowser1->LastError(), "");
  EXPECT_NE(W->WebBrowser1->PageText(), "");
  // A key press searches only once typing pauses, with the text the edit holds then.
  Word key = 'A';
  W->kxBarEdit1KeyDown(nullptr, key, {});
  W->kxBarEdit1->SetText(A("山"));
  EXPECT_NE(W->WebBrowser1->LocationURL(), "http://127.0.0.1:7887/search?word=%E5%B1%B1");
  Wait(600);
  EXPECT_EQ(W->WebBrowser1->LocationURL(), "http://127.0.0.1:7887/search?word=%E5%B1%B1");
}

TEST_F(StoryCommandsTest, AClosedWindowsEditorIsNoLongerTheCurrentEditor) {
  OpenFive();
  W->Text1TxtEdit->SetFocus();
  Pump();
  ASSERT_EQ(LibDataModule->CurrentEditor, W->Text1TxtEdit);
  W->Close();
  Pump();
  EXPECT_EQ(LibDataModule->CurrentEditor, nullptr);
}

// Find, find next and previous, and replace run on the body text that has the
// focus; a replace asks the library module about each match.
TEST_F(StoryCommandsTest, FindAndReplaceWorkOnTheFocusedBodyText) {
  OpenFive();
  W->Text1TxtEdit->SetFocus();
  Pump();
  W->Text1TxtEdit->SetText(A("青石镇，青石路，青石桥"));
  W->Text1TxtEdit->SetCaretXY(TBufferCoord{1, 1});
  PushModalScript([](TCustomForm* Form) {
    auto* d = dynamic_cast<TTextSearchDialog*>(Form);
    ASSERT_NE(d, nullptr);
    d->SetFindText(A("青石"));
    d->SetModalResult(mrOk);
  });
  W->Find1Click(nullptr);
  EXPECT_EQ(AnsiToUtf8(W->Text1TxtEdit->GetSelText()), "青石");
  EXPECT_EQ(W->Text1TxtEdit->GetSelectionStart().Char, 1);
  W->FindNext1Click(nullptr);
  EXPECT_EQ(W->Text1TxtEdit->GetSelectionStart().Char, 9);  // bytes: 青石镇， is eight
  W->Text1TxtEdit->SetCaretXY(TBufferCoord{23, 1});  // the end of the line
  W->N1Click(nullptr);
  EXPECT_EQ(W->Text1TxtEdit->GetSelectionStart().Char, 17);
  ASSERT_EQ(W->Text1TxtEdit->OnReplaceText, TReplaceTextEvent(LibDataModule, &TLibDataModule::TxtEditReplaceText));
  ClearModalScript();
}

}  // namespace
