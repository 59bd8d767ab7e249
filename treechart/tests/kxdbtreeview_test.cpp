// The data-aware tree over the shipped library's node tables: full and smart
// loading, root values, display fields and separators, orphans, the cursor and
// the selection following each other, reloads, and the window description.
#include "platform/classes/filer.h"
#include "platform/db/init.h"
#include "treechart/tests/kxdbtreefixture.h"

namespace {

class KxDBTreeViewTest : public KxDBTreeFixture {
 protected:
  void SetUp() override {
    KxDBTreeFixture::SetUp();
    // The shipped region1 is 1 人物 (2 主角：林远, 3 配角：苏晴), 4 地点 (5 青石镇).
    // Added: a child of 1 that stands apart from its siblings in key order, a
    // node (7) whose parent (8) comes after it, and a record that is its own parent.
    Sql("INSERT INTO region1 (tid, tparent, tname, tsortid) VALUES "
        "(6, 1, '反派', '02'), (7, 8, '钟楼', '00'), (8, 4, '老街', '01'), (9, 9, '孤岛', '09')");
  }
};

TEST_F(KxDBTreeViewTest, LoadingFullAndSmartWithRootValuesAndDisplayFields) {
  const TkxDBTreeViewOptions full = kxDBTreeViewDefaultOptions;
  const TkxDBTreeViewOptions smart{trDBCanDelete, trDBConfirmDelete, trSmartRecordLoad, trSmartRecordCopy,
                                   trCheckHasChildren};
  struct Case {
    const char* name;
    const char* table;
    TkxDBTreeViewOptions options;
    Variant root;
    const char* display;
    const char* separator;
    bool expand;
    const char* tree;
  } cases[] = {
      {"full", "region1", full, Null(), "", nullptr, false,
       "人物(主角：林远,配角：苏晴,反派),地点(青石镇,老街(钟楼)),孤岛"},
      {"display fields with a dot", "region1", full, Null(), "tsortid;tname", ".", false,
       "00.人物(00.主角：林远,01.配角：苏晴,02.反派),01.地点(00.青石镇,01.老街(00.钟楼)),09.孤岛"},
      {"display fields with the default separator", "mem1", full, Null(), "tsortid;tname", nullptr, false,
       "00 - 开端(00 - 初到小镇,01 - 意外相遇)"},
      {"smart, top level only", "region1", smart, 0, "", nullptr, false, "人物,地点"},
      {"smart, expanded: children wherever they stand", "region1", smart, 0, "", nullptr, true,
       "人物(主角：林远,配角：苏晴,反派),地点(青石镇,老街(钟楼))"},
      {"smart under a node", "region1", smart, 1, "", nullptr, false, "主角：林远,配角：苏晴,反派"},
      {"smart under a value no record has", "region1", smart, 99, "", nullptr, false, ""},
      {"empty table", "CopyTreeTemp", full, Null(), "", nullptr, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TADOTable* table = OpenTable(c.table);
    TkxDBTreeView* t = NewDBTree(table, c.options, c.root);
    if (c.separator) t->SetSeparatedSt(c.separator);
    t->SetDisplayField(c.display);
    if (c.expand) t->FullExpand();
    EXPECT_EQ(Tree(t), c.tree);
    EXPECT_EQ(t->NodeIndex()->Count(), t->Items()->Count()) << "every node is in the index once";
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeViewTest, UnboundFieldsGiveAnEmptyTreeAndUnknownNamesRaise) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  ASSERT_GT(t->Items()->Count(), 0);
  t->SetListField("");
  EXPECT_EQ(t->Items()->Count(), 0);
  t->SetListField("tname");
  EXPECT_GT(t->Items()->Count(), 0);
  EXPECT_THROW(t->SetKeyField("nosuchfield"), EDatabaseError);
  EXPECT_THROW(t->Items()->Add(nullptr, "x"), EInvalidOperation) << "no node without key and parent fields";
  EXPECT_EQ(RowCount("region1"), 9) << "no record was touched";
}

TEST_F(KxDBTreeViewTest, SmartNodesGetButtonsOnlyWithChildRecordsAndCollapsingUnloads) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, {trSmartRecordLoad, trCheckHasChildren}, 4);
  EXPECT_EQ(Tree(t), "青石镇,老街");
  EXPECT_FALSE(Node(t, "青石镇")->HasChildren());
  EXPECT_TRUE(Node(t, "老街")->HasChildren());
  Node(t, "老街")->Expand(false);
  EXPECT_EQ(Tree(t), "青石镇,老街(钟楼)");
  Node(t, "老街")->Collapse(false);
  EXPECT_EQ(Tree(t), "青石镇,老街");
  EXPECT_TRUE(Node(t, "老街")->HasChildren()) << "the button stays";
  EXPECT_EQ(RowCount("region1"), 9) << "collapsing deletes no record";
  // without trCheckHasChildren every loaded node gets a button
  t->SetOptions({trSmartRecordLoad});
  t->SetRootValue(4);
  EXPECT_TRUE(Node(t, "青石镇")->HasChildren());
}

TEST_F(KxDBTreeViewTest, RootValueReloadsOnlyInSmartMode) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  const std::string whole = Tree(t);
  t->SetRootValue(1);
  EXPECT_EQ(Tree(t), whole);
  // switching to smart loading keeps the nodes loaded; the root value then reloads
  t->SetOptions({trSmartRecordLoad, trCheckHasChildren});
  EXPECT_EQ(Tree(t), whole);
  t->SetRootValue(1);
  EXPECT_EQ(Tree(t), "主角：林远,配角：苏晴,反派");
  t->SetRootValue("4");  // converted to the key field's type
  EXPECT_EQ(Tree(t), "青石镇,老街");
  EXPECT_EQ(t->RootValue().Type(), varInteger);
}

TEST_F(KxDBTreeViewTest, TheCursorAndTheSelectionFollowEachOther) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  // selection to cursor
  t->SetSelected(Node(t, "反派"));
  EXPECT_EQ(table->FieldByName("tid")->AsInteger(), 6);
  t->SetSelected(Node(t, "钟楼"));
  EXPECT_EQ(table->FieldByName("tid")->AsInteger(), 7);
  // cursor to selection
  table->Locate("tid", 5, {});
  EXPECT_EQ(U8(t->Selected()->Text()), "青石镇");
  table->First();
  EXPECT_EQ(U8(t->Selected()->Text()), "人物");
  table->Next();
  EXPECT_EQ(U8(t->Selected()->Text()), "主角：林远");
  // without trCanDBNavigate the selection stays
  t->SetOptions({trDBCanDelete});
  table->Locate("tid", 9, {});
  EXPECT_EQ(U8(t->Selected()->Text()), "主角：林远");
  EXPECT_EQ(t->CurrentRecordNode(), Node(t, "孤岛"));
}

TEST_F(KxDBTreeViewTest, SmartTreesLoadTheWayToARecordTheCursorReaches) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, {trSmartRecordLoad, trCanDBNavigate, trCheckHasChildren}, 0);
  EXPECT_EQ(Tree(t), "人物,地点");
  table->Locate("tid", 7, {});
  ASSERT_NE(t->Selected(), nullptr);
  EXPECT_EQ(U8(t->Selected()->Text()), "钟楼");
  EXPECT_EQ(Tree(t), "人物,地点(青石镇,老街(钟楼))");
  EXPECT_EQ(table->FieldByName("tid")->AsInteger(), 7);
}

TEST_F(KxDBTreeViewTest, ParentsThatFormACircleEndTheClimb) {
  Sql("UPDATE region1 SET tparent = 11 WHERE tid = 7");
  Sql("INSERT INTO region1 (tid, tparent, tname) VALUES (10, 11, '甲'), (11, 10, '乙')");
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, {trSmartRecordLoad, trCanDBNavigate, trCheckHasChildren}, 0);
  table->Locate("tid", 7, {});
  EXPECT_EQ(table->FieldByName("tid")->AsInteger(), 7);
  // a full load shows the circle's members somewhere, once each
  t->SetOptions(kxDBTreeViewDefaultOptions);
  EXPECT_EQ(t->Items()->Count(), 11);
  EXPECT_EQ(t->NodeIndex()->Count(), 11);
}

TEST_F(KxDBTreeViewTest, RecordsChangedElsewhereShowAtTheNextLoad) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  // another program deletes 地点: its node goes, the nodes of its children
  // stand at root level
  Sql("DELETE FROM region1 WHERE tid = 4");
  Sql("UPDATE region1 SET tname = '英雄' WHERE tid = 2");
  table->Refresh();
  EXPECT_EQ(Tree(t), "人物(英雄,配角：苏晴,反派),孤岛,青石镇,老街(钟楼)");
  EXPECT_EQ(RowCount("region1"), 8);
  // a filter change rebinds and reloads
  table->SetFilter("tparent = 1");
  table->SetFiltered(true);
  EXPECT_EQ(Tree(t), "英雄,配角：苏晴,反派");
}

TEST_F(KxDBTreeViewTest, KeysOfTypesThatCannotBeComparedAreDifferent) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  EXPECT_NE(t->FindNodeByKey(5), nullptr);
  EXPECT_EQ(t->FindNodeByKey(Variant("5")), nullptr);
  EXPECT_EQ(t->FindNodeByKey(Null()), nullptr);
  EXPECT_EQ(t->NodeIndex()->GreatestKey(), Variant(9));
  int at = 0;
  EXPECT_FALSE(t->NodeIndex()->FindIndex(0, at));
  EXPECT_EQ(at, -1);
  EXPECT_FALSE(t->NodeIndex()->FindIndex(100, at));
  EXPECT_EQ(at, 9);
}

TEST_F(KxDBTreeViewTest, TheSelectionShowsAFrameWithoutTheFocus) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  t->Font()->SetColor(clRed);
  auto* other = new TBox(Form);
  other->SetParent(Form);
  other->SetBounds(400, 10, 50, 20);
  other->SetTabStop(true);
  other->SetFocus();
  t->SetSelected(Node(t, "地点"));
  t->Repaint();
  Pump();
  TRect r = Node(t, "地点")->DisplayRect(true);
  TPoint corner = t->ClientToScreen(TPoint(r.left, r.top));
  TPoint inside = t->ClientToScreen(TPoint(r.left + 3, r.top + 3));
  EXPECT_EQ(hb->ScreenPixel(corner.x, corner.y) & 0xFFFFFF, 0xFF0000u) << "a red frame";
  EXPECT_NE(hb->ScreenPixel(inside.x, inside.y) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(KxDBTreeViewTest, PublishedSettingsReadAndWriteThroughDescriptions) {
  InitDataAccess();
  const std::string tree =
      "  object Tree1: TkxDBTreeView\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 200\n"
      "    Height = 300\n"
      "    TabOrder = 0\n"
      "    SortType = stText\n"
      "    ShowNodeHint = False\n"
      "    DataSource = DS1\n"
      "    KeyField = 'tid'\n"
      "    ParentField = 'tparent'\n"
      "    ListField = 'tname'\n"
      "    DisplayField = 'tsortid;tname'\n"
      "    ImageIndexField = 'timage'\n"
      "    RootValue = 1\n"
      "    SeparatedSt = '.'\n"
      "    Options = [trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy, trCheckHasChildren]\n"
      "    RaiseOnError = False\n"
      "    SelectedIndex = 2\n"
      "  end\n";
  const std::string text = "object Form2: TForm\n  Left = 0\n  Top = 0\n  Width = 300\n  Height = 400\n"
                           "  object DS1: TDataSource\n  end\n" + tree + "end\n";
  auto* form = new TForm(Application, 0);
  ReadComponentFromText(text, form);
  auto* t = dynamic_cast<TkxDBTreeView*>(form->FindComponent("Tree1"));
  auto* ds = dynamic_cast<TDataSource*>(form->FindComponent("DS1"));
  ASSERT_TRUE(t && ds);
  EXPECT_EQ(t->KeyField(), "tid");
  EXPECT_EQ(t->DataSource(), ds);
  EXPECT_EQ(t->SeparatedSt(), ".");
  EXPECT_EQ(t->Options(), (TkxDBTreeViewOptions{trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy,
                                                 trCheckHasChildren}));
  EXPECT_FALSE(t->CanDeleteByKey());
  EXPECT_TRUE(t->ConfirmDeleteByKey());
  EXPECT_FALSE(t->RaiseOnError());
  EXPECT_FALSE(t->ShowNodeHint());
  EXPECT_EQ(t->SelectedIndex(), 2);
  EXPECT_EQ(t->RootValue(), Variant(1));
  form->Show();
  ds->SetDataSet(OpenTable("region1"));
  Pump();
  EXPECT_EQ(Tree(t), "00.人物(00.主角：林远,01.配角：苏晴,02.反派),01.地点(00.青石镇,01.老街(00.钟楼)),09.孤岛");
  const std::string written = WriteComponentToText(form);
  const auto at = written.find("  object Tree1");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(written.substr(at, tree.size()), tree);
  delete ds;  // the tree lets go of a freed source
  EXPECT_EQ(t->DataSource(), nullptr);
  EXPECT_EQ(t->Items()->Count(), 0);
}

}  // namespace
