// The story design window opened from a story window on copies of the
// shipped library and template: the hand-over, the views of the novel tree,
// drops between the three trees, the choosers and path lists, the set-up run
// on showing only, and edits that reach the file.
#include "app/storydesign.h"
#include "app/tests/toolwindowtest.h"

namespace {

class StoryDesignTest : public ToolWindowTest {
 protected:
  TStoryModuleDesigner* D = nullptr;
  // The novel 甲 (乙, 丙 (丁)) and 戊, opened in the story window, then the
  // design window from the story window's command.
  void OpenDesign(int View = 0, int Root = -1) {
    AddNodes({{1, 0, "甲"}, {2, 1, "乙"}, {3, 1, "丙"}, {4, 3, "丁"}, {5, 0, "戊"}});
    Sql("UPDATE ClientUserTable SET tcurrentView = " + std::to_string(View) + ", trootvalue = " + std::to_string(Root));
    ASSERT_NE(Open(), nullptr);
    ASSERT_NE(StoryWindowHooks().StoryDesign, nullptr);
    W->N27Click(nullptr);
    Pump();
    D = Child<TStoryModuleDesigner>();
    ASSERT_NE(D, nullptr);
    ASSERT_EQ(D->Owner(), Application);
    D->RightTree->FullExpand();
  }
  void ChooseLibraryTable(int AliasKey) {
    D->libTree->SetKeyValue(Variant(AliasKey));
    D->libTreeCloseUp(D->libTree, true);
    D->LeftTree->FullExpand();
  }
  std::string Novel(const std::string& Columns, const std::string& Where = "1") {
    pvsql::Db db(StoryFile);
    pvsql::Stmt st(db, "SELECT " + Columns + " FROM Story1 WHERE " + Where + " ORDER BY tid");
    std::string s;
    while (st.Step()) {
      if (!s.empty()) s += ";";
      for (int i = 0; i < st.ColumnCount(); ++i)
        s += (i ? ":" : "") + std::string(st.Type(i) == pvsql::ColType::Null ? "-" : st.Text(i));
    }
    return s;
  }
};

TEST_F(StoryDesignTest, TheStoryWindowHandsOverItsNovelAndAnEditReachesTheFile) {
  OpenDesign();
  EXPECT_EQ(U8(D->Caption()), "故事设计");
  EXPECT_EQ(D->WindowState(), wsMaximized);
  ASSERT_TRUE(D->StoryTable->Active());
  EXPECT_EQ(D->StoryTable->TableName(), "Story1");
  EXPECT_NE(D->StoryTable->Connection(), W->StoryConnection);  // a dataset of its own
  EXPECT_TRUE(LibDataModule->StoryTable->Active());
  EXPECT_EQ(LibDataModule->StoryTable->TableName(), "story1");
  EXPECT_EQ(TreeText(D->RightTree), "01.甲|  02.乙|  03.丙|    04.丁|05.戊");
  // Typing into the body text of 丙 and saving writes the file.
  NodeOf(D->RightTree, 3)->SetSelected(true);
  D->RightTreeClick(nullptr);
  D->DBTxtEdit5->SetFocus();
  Pump();
  EXPECT_EQ(D->CurrentEditor(), D->DBTxtEdit5);
  hb->Key(VK_END, hb->Ctrl);
  hb->CommitText("，夜深了");
  Pump();
  D->Timer1Timer(nullptr);
  EXPECT_EQ(Novel("ttext2", "tid = 3"), "丙的正文，夜深了");
  // Typed and closed at once: the text is in the file too.
  hb->CommitText("。");
  Pump();
  D->Close();
  Pump();
  EXPECT_EQ(Child<TStoryModuleDesigner>(), nullptr);
  EXPECT_EQ(Novel("ttext2", "tid = 3"), "丙的正文，夜深了。");
}

TEST_F(StoryDesignTest, EachViewArrangesTheNovelTreeAndIsNotWrittenBack) {
  OpenDesign();
  FileSql(StoryFile, "UPDATE Story1 SET tview4 = CASE tid WHEN 2 THEN 1 WHEN 5 THEN 3 ELSE 0 END, tviewname4 = 'a' || tid");
  D->StoryTable->Refresh();
  const struct {
    void (*Command)(TStoryModuleDesigner*);
    bool Scene;  // 场景 ticked
    const char* Parent;
    const char* Order;
    const char* Label;
    const char* Tree;
  } cases[] = {
      {[](TStoryModuleDesigner* d) { d->N35Click(nullptr); }, true, "tview4", "tviewname4", "人物", "a1.甲|  a2.乙|a3.丙|  a5.戊|a4.丁"},
      {[](TStoryModuleDesigner* d) { d->N35Click(nullptr); }, false, "tview4", "tviewname4", "人物", "a1|  a2|a3|  a5|a4"},
      {[](TStoryModuleDesigner* d) { d->N40Click(nullptr); }, true, "tview8", "tviewname8", "角度", ""},
      {[](TStoryModuleDesigner* d) { d->N31Click(nullptr); }, false, "tparent", "tsortid", "场景", "01.甲|  02.乙|  03.丙|    04.丁|05.戊"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Label);
    D->CheckBox1->SetChecked(c.Scene);
    c.Command(D);
    D->RightTree->FullExpand();
    EXPECT_EQ(D->RightTree->ParentField(), c.Parent);
    EXPECT_EQ(D->storyChart->ParentFieldName(), c.Parent);
    EXPECT_EQ(D->DBEdit1->DataField(), c.Order);
    EXPECT_EQ(U8(D->ViewLabel->Caption()), c.Label);
    if (*c.Tree) {
      EXPECT_EQ(TreeText(D->RightTree), c.Tree);
    }
  }
  EXPECT_EQ(Query("SELECT tcurrentView FROM ClientUserTable WHERE tid = 1"), "0");
  // "添加" from the tree in view 3 labels the node in tviewname3; from the
  // chart it takes the scene view's defaults.
  D->N34Click(nullptr);
  D->RightTree->FullExpand();
  NodeOf(D->RightTree, 1)->SetSelected(true);
  D->MenuItem1Click(nullptr);
  Pump();
  EXPECT_EQ(Novel("tname, tview3, tviewname3 IS NOT NULL, tsortid IS NULL", "tid > 5"), "节点:1:1:1");
  NodeOf(D->RightTree, 1)->SetSelected(true);
  D->MenuItem11Click(nullptr);
  Pump();
  EXPECT_EQ(Novel("tviewname3 IS NULL, tsortid IS NOT NULL", "tid > 6"), "1:1");
}

// Drops: the tree that receives the drop decides. Out of the library or the
// template a node is copied, and neither loses it; within the novel a node
// moves; onto the library everything copies.
TEST_F(StoryDesignTest, DropsCopyOutOfTheLibraryAndTheTemplateAndMoveWithinTheNovel) {
  OpenDesign();
  ChooseLibraryTable(1);
  D->kxDBTreeView1->FullExpand();
  TLibDataModule* m = LibDataModule;
  const std::string libBefore = FileQuery(Lib(), "SELECT group_concat(tid || tparent || tname) FROM region1");
  const std::string tplBefore = FileQuery(Lib(), "SELECT group_concat(tid || tparent || tname) FROM story1");
  enum Side { Library, Template, Story };
  auto tree = [&](Side s) { return s == Library ? D->LeftTree : s == Template ? D->kxDBTreeView1 : D->RightTree; };
  const struct {
    Side From;
    int FromKey;
    Side To;
    int ToKey;
    bool Ctrl;
    const char* Rows;  // afterwards: tparent:tname of the novel's rows, by key
  } cases[] = {
      {Library, 2, Story, 5, false, "0:甲;1:乙;1:丙;3:丁;0:戊;5:主角：林远"},
      {Library, 1, Story, 2, false, "0:甲;1:乙;1:丙;3:丁;0:戊;5:主角：林远;2:人物;7:主角：林远;7:配角：苏晴"},
      {Template, 1, Story, 5, false,
       "0:甲;1:乙;1:丙;3:丁;0:戊;5:主角：林远;2:人物;7:主角：林远;7:配角：苏晴;5:第一幕：铺垫;10:引子"},
      {Story, 4, Story, 5, false,
       "0:甲;1:乙;1:丙;5:丁;0:戊;5:主角：林远;2:人物;7:主角：林远;7:配角：苏晴;5:第一幕：铺垫;10:引子"},
      {Story, 4, Story, 1, true,  // Ctrl changes nothing
       "0:甲;1:乙;1:丙;1:丁;0:戊;5:主角：林远;2:人物;7:主角：林远;7:配角：苏晴;5:第一幕：铺垫;10:引子"},
      {Story, 3, Library, 4, false,
       "0:甲;1:乙;1:丙;1:丁;0:戊;5:主角：林远;2:人物;7:主角：林远;7:配角：苏晴;5:第一幕：铺垫;10:引子"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.FromKey) + " -> " + std::to_string(c.ToKey));
    // The library and the template share the left pages.
    const bool left = c.From == Template || c.To == Template;
    D->uxPageControl1->SetActivePage(left ? D->uxTabSheet2 : D->uxTabSheet1);
    Pump();
    tree(c.From)->FullExpand();
    tree(c.To)->FullExpand();
    DragNode(tree(c.From), c.FromKey, tree(c.To), c.ToKey, c.Ctrl);
    D->Timer1Timer(nullptr);
    EXPECT_EQ(Novel("tparent || ':' || tname"), c.Rows);
  }
  // The template lost nothing; the library gained the novel's 丙 under 地点 and lost nothing.
  EXPECT_EQ(FileQuery(Lib(), "SELECT group_concat(tid || tparent || tname) FROM story1"), tplBefore);
  EXPECT_EQ(FileQuery(Lib(), "SELECT group_concat(tid || tparent || tname) FROM region1 WHERE tid <= 5"), libBefore);
  EXPECT_EQ(FileQuery(Lib(), "SELECT tname || ':' || ttext2 FROM region1 WHERE tparent = 4 AND tid > 5"), "丙:丙的正文");
  EXPECT_TRUE(m->libTable->Active());
}

// The set-up runs when the window is shown: painting it keeps what "全局"
// and "聚焦" did; the next view change brings the handed-over focus back.
TEST_F(StoryDesignTest, FocusAndWholeTreeLastUntilTheNextViewChange) {
  OpenDesign(0, 1);
  EXPECT_EQ(D->FocusRoot, 1);
  EXPECT_EQ(TreeText(D->RightTree), "02.乙|03.丙|  04.丁");
  D->N43Click(nullptr);
  D->RightTree->FullExpand();
  EXPECT_EQ(TreeText(D->RightTree), "01.甲|  02.乙|  03.丙|    04.丁|05.戊");
  D->Invalidate();
  D->Repaint();
  Pump();
  EXPECT_EQ(TreeText(D->RightTree), "01.甲|  02.乙|  03.丙|    04.丁|05.戊");
  // 聚焦 on 丙 shows 丙's children.
  NodeOf(D->RightTree, 3)->SetSelected(true);
  D->N42Click(nullptr);
  D->RightTree->FullExpand();
  EXPECT_EQ(TreeText(D->RightTree), "04.丁");
  EXPECT_EQ(D->FocusRoot, 1);
  D->N31Click(nullptr);
  D->RightTree->FullExpand();
  EXPECT_EQ(TreeText(D->RightTree), "02.乙|03.丙|  04.丁");
}

TEST_F(StoryDesignTest, ChoosersAndClicksOnEmptySidesOpenNothingAndRaiseNothing) {
  OpenDesign();
  TLibDataModule* m = LibDataModule;
  // Clicks before any table is chosen, and a close-up that picked nothing.
  m->libTable->Close();
  D->libTree->SetKeyValue(Variant());
  D->libTreeCloseUp(D->libTree, false);
  EXPECT_FALSE(m->libTable->Active());
  EXPECT_NO_THROW(D->LeftTreeClick(nullptr));
  EXPECT_NO_THROW(D->libChartClick(nullptr));
  EXPECT_NO_THROW(D->linkpathMouseDown(nullptr, mbLeft, {}, 0, 0));
  EXPECT_NO_THROW(D->libflowchartSaveBtnClick(nullptr));
  // A table whose alias row names no table leaves the library side empty.
  FileSql(Lib(), "INSERT INTO TableAlias (tid, tparent, tname, tsortid) VALUES (2, 1, '', '空')");
  m->libAliasTable->Close();
  m->libAliasTable->Open();
  ChooseLibraryTable(1);
  EXPECT_TRUE(m->libTable->Active());
  ChooseLibraryTable(2);
  EXPECT_FALSE(m->libTable->Active());
  EXPECT_EQ(TreeText(D->LeftTree), "");
  EXPECT_NO_THROW(D->LeftTreeClick(nullptr));
  // The novel's linked node shows its narrative subtree in memTree3 and its
  // text below the body text; the novel's path list loads that table and
  // leaves the template's narrative dataset alone.
  FileSql(StoryFile, "UPDATE Story1 SET tlinktable = '1', tlinkpath = '1' WHERE tid = 2");
  D->StoryTable->Refresh();
  m->MemTable2->Close();
  NodeOf(D->RightTree, 2)->SetSelected(true);
  D->RightTreeClick(nullptr);
  ASSERT_TRUE(m->MemTable3->Active());
  EXPECT_EQ(m->MemTable3->TableName(), "mem1");
  EXPECT_EQ(TreeText(D->memTree3), "初到小镇|意外相遇");
  m->MemTable3->Close();
  D->linkpath3MouseDown(nullptr, mbLeft, {}, 0, 0);
  EXPECT_TRUE(m->MemTable3->Active());
  EXPECT_FALSE(m->MemTable2->Active());
  // A node linked to no listed table closes the subtree instead of failing.
  FileSql(StoryFile, "UPDATE Story1 SET tlinktable = '9', tlinkpath = '1' WHERE tid = 3");
  D->StoryTable->Refresh();
  NodeOf(D->RightTree, 3)->SetSelected(true);
  EXPECT_NO_THROW(D->RightTreeClick(nullptr));
  EXPECT_FALSE(m->MemTable3->Active());
}

TEST_F(StoryDesignTest, EachChartIsStoredInItsOwnTable) {
  OpenDesign();
  ChooseLibraryTable(1);
  TLibDataModule* m = LibDataModule;
  NodeOf(D->LeftTree, 2)->SetSelected(true);
  NodeOf(D->RightTree, 3)->SetSelected(true);
  D->kxDBTreeView1->FullExpand();
  NodeOf(D->kxDBTreeView1, 4)->SetSelected(true);
  const struct {
    TkxFlowChart* Chart;
    void (*Save)(TStoryModuleDesigner*);
    std::string File, Table;
    int Key;
  } cases[] = {{D->libFlowChart, [](TStoryModuleDesigner* d) { d->libflowchartSaveBtnClick(nullptr); }, Lib(), "region1", 2},
               {D->kxFlowChart1, [](TStoryModuleDesigner* d) { d->ToolButton8Click(nullptr); }, Lib(), "story1", 4},
               {D->rightFlowChart, [](TStoryModuleDesigner* d) { d->ToolButton4Click(nullptr); }, StoryFile, "Story1", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Table);
    c.Chart->CreateObject(10, 10, 80, 40, fskRectangle);
    c.Save(D);
    D->Timer1Timer(nullptr);
    EXPECT_NE(FileQuery(c.File, "SELECT length(ttext7) FROM " + c.Table + " WHERE tid = " + std::to_string(c.Key)),
              "-");
  }
  // Shown again from the record when its box is ticked.
  D->rightFlowChart->Clear();
  D->showGrapgh2->SetChecked(true);
  D->RightTreeClick(nullptr);
  EXPECT_EQ(D->rightFlowChart->ObjectCount(), 1);
  EXPECT_TRUE(m->libTable->Active());
}

}  // namespace
