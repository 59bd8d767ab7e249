// Record edits of the data-aware tree on the shipped library's node tables:
// adding, renaming, moving and deleting nodes write the table; drags copy
// and move subtrees within a tree and between trees of two tables, with the
// other fields of the records under trSmartRecordCopy; the application can
// cancel each operation.
#include "platform/controls/stdwnd.h"
#include "treechart/tests/kxdbtreefixture.h"

namespace {

const TkxDBTreeViewOptions kSmart{trDBCanDelete, trDBConfirmDelete, trSmartRecordLoad, trSmartRecordCopy,
                                  trCheckHasChildren};

// Records what the tree asks the application and answers as told.
struct Actions {
  std::vector<std::string> log;
  std::map<TkxDBTreeViewAction, bool> refuse;
  int added = 0;
  void DBAction(TObject*, TTreeNode* N1, TTreeNode* N2, TkxDBTreeViewAction A, bool& Automatic) {
    static const char* const kNames[] = {"insert", "delete", "text", "parent", "move"};
    log.push_back(std::string(kNames[A]) + " " + AnsiToUtf8(N1 ? N1->Text() : AnsiString("nil")) + " " +
                  AnsiToUtf8(N2 ? N2->Text() : AnsiString("nil")));
    if (refuse[A]) Automatic = false;
  }
  void Added(TObject* Sender, TkxDBTreeNode*& N) {
    EXPECT_EQ(Sender, nullptr);
    ++added;
  }
  void Attach(TkxDBTreeView* T) {
    T->OnDBAction = TkxDBTreeViewActionEvent(this, &Actions::DBAction);
    T->OnAddNewItem = TAddNewDBTreeNodeEvent(this, &Actions::Added);
  }
};

class KxDBTreeEditsTest : public KxDBTreeFixture {
 protected:
  void SetUp() override {
    KxDBTreeFixture::SetUp();
    // region1: 1 人物 (2 主角：林远, 3 配角：苏晴, 6 反派), 4 地点 (5 青石镇, 8 老街 (7 钟楼))
    Sql("INSERT INTO region1 (tid, tparent, tname, tsortid) VALUES "
        "(6, 1, '反派', '02'), (7, 8, '钟楼', '00'), (8, 4, '老街', '01')");
  }
  static const char* const kRegion;
  // A point of the tree's client area below every node.
  TPoint Below(TCustomTreeView* T) { return T->ClientToScreen(TPoint(100, T->ClientHeight() - 10)); }
};
const char* const KxDBTreeEditsTest::kRegion =
    "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;4:0:地点;5:4:青石镇;6:1:反派;7:8:钟楼;8:4:老街";

TEST_F(KxDBTreeEditsTest, AddingANodeInsertsItsRecord) {
  struct Case {
    const char* name;
    TkxDBTreeViewOptions options;
    Variant root;
    const char* parent;  // nullptr: root level
    const char* text;
    int sequence;  // the last key the database gave
    const char* row;  // the new record
  } cases[] = {
      {"under a node", kxDBTreeViewDefaultOptions, Null(), "人物", "新节点", 8, "9:1:新节点"},
      {"at root level: its own key", kxDBTreeViewDefaultOptions, Null(), nullptr, "新节点", 8, "9:9:新节点"},
      {"its own key, numbered by the database", kxDBTreeViewDefaultOptions, Null(), nullptr, "新节点", 20,
       "21:21:新节点"},
      {"empty text becomes a blank", kxDBTreeViewDefaultOptions, Null(), "地点", "", 8, "9:4: "},
      {"smart, at root level: the root value", kSmart, 4, nullptr, "新节点", 8, "9:4:新节点"},
      {"smart, under an unexpanded node", kSmart, 0, "地点", "新节点", 8, "9:4:新节点"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("DELETE FROM region1 WHERE tid > 8");
    Sql("UPDATE sqlite_sequence SET seq = " + std::to_string(c.sequence) + " WHERE name = 'region1'");
    TADOTable* table = OpenTable("region1");
    TkxDBTreeView* t = NewDBTree(table, c.options, c.root);
    Actions a;
    a.Attach(t);
    TTreeNode* parent = c.parent ? Node(t, c.parent) : nullptr;
    auto* n = static_cast<TkxDBTreeNode*>(t->Items()->AddChild(parent, A(c.text)));
    EXPECT_EQ(Rows("region1"), std::string(kRegion) + ";" + c.row);
    const int key = c.sequence + 1;
    EXPECT_EQ(n->RecordKey(), Variant(key)) << "the key the database gave";
    EXPECT_EQ(t->FindNodeByKey(key), n);
    EXPECT_FALSE(n->PendingInsert);
    EXPECT_EQ(table->FieldByName("tid")->AsInteger(), key) << "the dataset stands on the new record";
    EXPECT_EQ(t->Selected(), n);
    ASSERT_EQ(a.log.size(), 1u);
    EXPECT_EQ(a.log[0], "insert " + std::string(c.text) + " " + (c.parent ? c.parent : "nil"));
    EXPECT_EQ(a.added, 1);
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeEditsTest, ARefusedInsertLeavesTheNodeWithoutARecord) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  Actions a;
  a.Attach(t);
  a.refuse[trDBInsert] = true;
  TTreeNode* n = t->Items()->AddChild(Node(t, "地点"), A("草稿"));
  EXPECT_EQ(Rows("region1"), kRegion);
  EXPECT_EQ(a.added, 0);
  // its key (one past the greatest) is nobody's: deleting the node deletes no record
  Sql("INSERT INTO region1 (tid, tparent, tname) VALUES (9, 1, '后来')");
  a.refuse[trDBInsert] = false;
  n->Delete();
  EXPECT_EQ(RowCount("region1"), 9);
}

TEST_F(KxDBTreeEditsTest, InsertErrorsGoWhereTheTreeIsToldToSendThem) {
  struct Case {
    const char* name;
    bool raise, handler;
  } cases[] = {{"raised", true, false}, {"swallowed", false, false}, {"to the handler", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TADOTable* table = OpenTable("region1");
    TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
    table->SetReadOnly(true);
    t->SetRaiseOnError(c.raise);
    int errors = 0;
    struct Handler {
      int* n;
      void Error(TObject* S) { ++*n; }
    } h{&errors};
    if (c.handler) t->OnInsertNodeError = TNotifyEvent(&h, &Handler::Error);
    if (c.raise && !c.handler)
      EXPECT_THROW(t->Items()->AddChild(Node(t, "地点"), A("新")), Exception);
    else
      EXPECT_NO_THROW(t->Items()->AddChild(Node(t, "地点"), A("新")));
    EXPECT_EQ(errors, c.handler ? 1 : 0);
    EXPECT_NE(Node(t, "新"), nullptr) << "the node stays";
    EXPECT_EQ(Rows("region1"), kRegion);
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeEditsTest, RenamingANodeWritesTheListField) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  Actions a;
  a.Attach(t);
  t->SetSelected(Node(t, "人物"));
  Node(t, "青石镇")->SetText(A("白石镇"));
  EXPECT_EQ(Rows("region1"), "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;4:0:地点;5:4:白石镇;6:1:反派;7:8:钟楼;8:4:老街");
  EXPECT_EQ(a.log, std::vector<std::string>{"text 白石镇 nil"});
  EXPECT_EQ(U8(t->Selected()->Text()), "人物") << "the selection comes back";
  a.refuse[trDBChangeText] = true;
  Node(t, "白石镇")->SetText(A("黑石镇"));
  EXPECT_NE(Rows("region1").find("5:4:白石镇"), std::string::npos);
  // a label edit without display fields writes the typed text
  a.refuse[trDBChangeText] = false;
  t->SetFocus();
  TTreeNode* n = Node(t, "反派");
  n->SetSelected(true);
  ASSERT_TRUE(n->EditText());
  SetWindowTextA(TreeView_GetEditControl(t->Handle()), A("大反派").c_str());
  n->EndEdit(false);
  Pump();
  EXPECT_NE(Rows("region1").find("6:1:大反派"), std::string::npos);
}

TEST_F(KxDBTreeEditsTest, ALabelEditWithDisplayFieldsChangesTheListFieldOnly) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  t->SetDisplayField("tsortid;tname");
  t->SetSeparatedSt(".");
  t->SetFocus();
  TTreeNode* n = Node(t, "01.地点");
  n->SetSelected(true);
  ASSERT_TRUE(n->EditText());
  HWND editor = TreeView_GetEditControl(t->Handle());
  char buf[64] = {};
  GetWindowTextA(editor, buf, sizeof buf);
  EXPECT_EQ(U8(buf), "地点") << "the editor shows the list field";
  EXPECT_EQ(table->State(), dsEdit);
  SetWindowTextA(editor, A("场所").c_str());
  n->EndEdit(false);
  Pump();
  EXPECT_EQ(U8(n->Text()), "01.场所");
  EXPECT_EQ(U8(table->FieldByName("tname")->AsString()), "场所");
  EXPECT_EQ(U8(table->FieldByName("tsortid")->AsString()), "01");
  // written when the dataset moves on
  t->SetSelected(Node(t, "00.人物"));
  EXPECT_NE(Rows("region1", "tsortid").find("4:0:场所:01"), std::string::npos);
  EXPECT_NE(Node(t, "01.场所"), nullptr);
}

TEST_F(KxDBTreeEditsTest, TheLabelEditorRefusesWhatTheListFieldRefuses) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  t->SetListField("timage");
  t->SetFocus();
  TTreeNode* n = t->Items()->GetFirstNode();
  n->SetSelected(true);
  ASSERT_TRUE(n->EditText());
  HWND editor = TreeView_GetEditControl(t->Handle());
  SendMessageA(editor, EM_SETSEL, 0, -1);
  const int beeps = hb->BeepCount();
  SendMessageA(editor, WM_CHAR, 'x', 0);
  EXPECT_EQ(hb->BeepCount(), beeps + 1);
  SendMessageA(editor, WM_CHAR, '7', 0);
  char buf[16] = {};
  GetWindowTextA(editor, buf, sizeof buf);
  EXPECT_STREQ(buf, "7");
  n->EndEdit(true);
}

TEST_F(KxDBTreeEditsTest, MovingANodeWritesItsParent) {
  struct Case {
    const char* name;
    TkxDBTreeViewOptions options;
    Variant root;
    const char* node;
    const char* target;  // nullptr: empty space
    bool refuse;
    const char* row;
  } cases[] = {
      {"under another node", kxDBTreeViewDefaultOptions, Null(), "反派", "地点", false, "6:4:反派"},
      {"to root level: its own key", kxDBTreeViewDefaultOptions, Null(), "反派", nullptr, false, "6:6:反派"},
      {"smart, to root level: the root value", kSmart, 0, "反派", nullptr, false, "6:0:反派"},
      {"refused", kxDBTreeViewDefaultOptions, Null(), "反派", "地点", true, "6:1:反派"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("UPDATE region1 SET tparent = 1 WHERE tid = 6");
    TADOTable* table = OpenTable("region1");
    TkxDBTreeView* t = NewDBTree(table, c.options, c.root);
    if (c.options.Contains(trSmartRecordLoad) && c.target) Node(t, c.target)->Expand(false);
    t->FullExpand();
    Actions a;
    a.Attach(t);
    a.refuse[trDBChangeParent] = c.refuse;
    struct AcceptAll {
      void Accept(TTreeNode*, TTreeNode*, bool& A) { A = true; }
    } accept;
    t->OnDragDropTreeNode = TDragDropTreeNode(&accept, &AcceptAll::Accept);
    DragTo(LabelPoint(t, Node(t, c.node)), c.target ? LabelPoint(t, Node(t, c.target)) : Below(t));
    EXPECT_NE(Rows("region1").find(c.row), std::string::npos) << Rows("region1");
    ASSERT_FALSE(a.log.empty());
    EXPECT_EQ(a.log[0].substr(0, 6), "parent");
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeEditsTest, AParentChangedInTheRecordMovesTheNode) {
  for (bool smart : {false, true}) {
    SCOPED_TRACE(smart);
    Sql("UPDATE region1 SET tparent = 1 WHERE tid = 6");
    TADOTable* table = OpenTable("region1");
    TkxDBTreeView* t = NewDBTree(table, smart ? kSmart : kxDBTreeViewDefaultOptions, smart ? Variant(0) : Null());
    t->FullExpand();
    t->SetSelected(Node(t, "反派"));
    table->Edit();
    table->FieldByName("tparent")->SetAsInteger(4);
    EXPECT_EQ(Node(t, "反派")->Parent(), Node(t, "地点"));
    EXPECT_EQ(table->State(), smart ? dsBrowse : dsEdit) << "smart trees post at once";
    if (!smart) table->Post();
    EXPECT_NE(Rows("region1").find("6:4:反派"), std::string::npos);
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeEditsTest, DeletingANodeDeletesTheRecordsOfItsSubtree) {
  struct Case {
    const char* name;
    TkxDBTreeViewOptions options;
    Variant root;
    bool refuse;
    const char* rows;
    const char* tree;
  } cases[] = {
      {"full", kxDBTreeViewDefaultOptions, Null(), false, "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;6:1:反派",
       "人物(主角：林远,配角：苏晴,反派)"},
      {"smart, never expanded: unloaded records go too", kSmart, 0, false,
       "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;6:1:反派", "人物"},
      {"refused: the records stay", kxDBTreeViewDefaultOptions, Null(), true, kRegion,
       "人物(主角：林远,配角：苏晴,反派)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("DELETE FROM region1");
    Sql("INSERT INTO region1 (tid, tparent, tname, tsortid) VALUES (1, 0, '人物', '00'), (2, 1, '主角：林远', '00'), "
        "(3, 1, '配角：苏晴', '01'), (4, 0, '地点', '01'), (5, 4, '青石镇', '00'), (6, 1, '反派', '02'), "
        "(7, 8, '钟楼', '00'), (8, 4, '老街', '01')");
    TADOTable* table = OpenTable("region1");
    TkxDBTreeView* t = NewDBTree(table, c.options, c.root);
    Actions a;
    a.Attach(t);
    a.refuse[trDBDelete] = c.refuse;
    t->SetFocus();
    t->SetSelected(Node(t, "地点"));
    AnswerButton(mrOk);
    t->Perform(WM_KEYDOWN, VK_DELETE, 0);
    Pump();
    ASSERT_FALSE(DialogLog().empty());
    EXPECT_EQ(U8(DialogLog().back().Text), "Do you want to delete the item \"地点\" and all the items below it");
    EXPECT_EQ(Rows("region1"), c.rows);
    EXPECT_EQ(Tree(t), c.tree);
    if (c.refuse) {
      table->Refresh();
      t->FullExpand();
      EXPECT_EQ(Tree(t), "人物(主角：林远,配角：苏晴,反派),地点(青石镇,老街(钟楼))") << "back at the next load";
    }
    delete t;
    delete table;
  }
}

TEST_F(KxDBTreeEditsTest, ANodeWhoseRecordIsGoneDeletesNothing) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  // the record goes while the tree is not told
  table->DisableControls();
  ASSERT_TRUE(table->Locate("tid", 5, {}));
  table->Delete();
  EXPECT_NE(Node(t, "青石镇"), nullptr);
  Node(t, "青石镇")->Delete();
  table->EnableControls();
  EXPECT_EQ(Rows("region1"), "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;4:0:地点;6:1:反派;7:8:钟楼;8:4:老街");
}

TEST_F(KxDBTreeEditsTest, CopyingBySubtreeDragWritesOneRecordPerNode) {
  // the source subtree carries texts and a flow chart
  Sql("UPDATE region1 SET ttext1 = '设计' || tid, ttext7 = x'00FF10', timage = 3 WHERE tid IN (4, 5, 7, 8)");
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  t->SetFocus();
  Actions a;
  a.Attach(t);
  DragTo(LabelPoint(t, Node(t, "地点")), LabelPoint(t, Node(t, "人物")), true);
  t->FullExpand();
  EXPECT_EQ(Tree(t), "人物(主角：林远,配角：苏晴,反派,地点(青石镇,老街(钟楼))),地点(青石镇,老街(钟楼))");
  EXPECT_EQ(Rows("region1", "ttext1"),
            std::string("1:0:人物:;2:1:主角：林远:;3:1:配角：苏晴:;4:0:地点:设计4;5:4:青石镇:设计5;6:1:反派:;"
                        "7:8:钟楼:设计7;8:4:老街:设计8;") +
                "9:1:地点:设计4;10:9:青石镇:设计5;11:9:老街:设计8;12:11:钟楼:设计7");
  TADOTable check(nullptr);
  check.SetConnectionString(ConnectionString());
  check.SetTableName("region1");
  check.Open();
  ASSERT_TRUE(check.Locate("tid", 12, {}));
  EXPECT_EQ(static_cast<TBlobField*>(check.FieldByName("ttext7"))->BlobValue(), std::string("\x00\xFF\x10", 3));
  EXPECT_EQ(check.FieldByName("timage")->AsInteger(), 3);
  ASSERT_FALSE(a.log.empty());
  EXPECT_EQ(a.log[0], "move 地点 地点");
  EXPECT_EQ(a.added, 4);
}

TEST_F(KxDBTreeEditsTest, DraggingBetweenTablesMovesOrCopiesTheRecords) {
  const char* const kCopied =
      "1:0:开端:;2:1:初到小镇:;3:1:意外相遇:;4:1:地点:设计4;5:4:青石镇:设计5;6:4:老街:设计8;7:6:钟楼:设计7";
  struct Case {
    const char* name;
    bool ctrl, readOnly, smartCopy;
    const char* region;
    const char* mem;
  } cases[] = {
      {"move", false, false, true, "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;6:1:反派", kCopied},
      {"copy with Ctrl", true, false, true, kRegion, kCopied},
      {"read-only source: a copy", false, true, true, kRegion, kCopied},
      {"copy without the other fields", true, false, false, kRegion,
       "1:0:开端:;2:1:初到小镇:;3:1:意外相遇:;4:1:地点:;5:4:青石镇:;6:4:老街:;7:6:钟楼:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("DELETE FROM region1 WHERE tid > 8");
    Sql("DELETE FROM mem1 WHERE tid > 3");
    Sql("DELETE FROM sqlite_sequence WHERE name = 'mem1'");
    Sql("DELETE FROM region1 WHERE tid IN (4, 5, 7, 8)");
    Sql("INSERT INTO region1 (tid, tparent, tname, tsortid, ttext1) VALUES (4, 0, '地点', '01', '设计4'), "
        "(5, 4, '青石镇', '00', '设计5'), (7, 8, '钟楼', '00', '设计7'), (8, 4, '老街', '01', '设计8')");
    TADOTable* region = OpenTable("region1");
    TADOTable* mem = OpenTable("mem1");
    TkxDBTreeView* left = NewDBTree(region, kSmart, 0, 10);
    TkxDBTreeViewOptions right = kxDBTreeViewDefaultOptions;
    if (!c.smartCopy) right >> trSmartRecordCopy;
    TkxDBTreeView* tree2 = NewDBTree(mem, right, Null(), 320);
    left->SetReadOnly(c.readOnly);
    left->SetFocus();
    DragTo(LabelPoint(left, Node(left, "地点")), LabelPoint(tree2, Node(tree2, "开端")), c.ctrl);
    EXPECT_EQ(Rows("region1"), c.region);
    EXPECT_EQ(Rows("mem1", "ttext1"), c.mem);
    delete left;
    delete tree2;
    delete region;
    delete mem;
  }
}

TEST_F(KxDBTreeEditsTest, ARecordInsertedElsewhereGetsItsNode) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  Actions a;
  a.Attach(t);
  table->Append();
  table->FieldByName("tparent")->SetAsInteger(4);
  table->FieldByName("tname")->SetAsString(A("码头"));
  table->Post();
  t->FullExpand();
  EXPECT_EQ(Tree(t), "人物(主角：林远,配角：苏晴,反派),地点(青石镇,老街(钟楼),码头)");
  EXPECT_EQ(U8(t->Selected()->Text()), "码头");
}

// A story whose parents form one chain deeper than the stack could follow by
// recursion: loaded, the cursor moved to the deepest record, expanded in
// full, the window re-created, the top node deleted with every node below it
// (the application keeps the records), loaded again and freed.
TEST_F(KxDBTreeEditsTest, AChainOfFiftyThousandRecords) {
  constexpr int kDepth = 50000;
  Sql("DELETE FROM region1");
  Sql("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " + std::to_string(kDepth) +
      ") INSERT INTO region1 (tid, tparent, tname) SELECT i, i - 1, 'n' || i FROM k");
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  Actions a;
  a.Attach(t);
  a.refuse[trDBDelete] = true;
  ASSERT_EQ(t->Items()->Count(), kDepth);
  table->Last();
  TTreeNode* deepest = t->Selected();
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(U8(deepest->Text()), "n" + std::to_string(kDepth));
  EXPECT_TRUE(deepest->IsVisible());
  t->FullExpand();
  t->SetBorderStyle(bsNone);  // re-creates the window and loads the tree again
  ASSERT_EQ(t->Items()->Count(), kDepth);
  t->SetFocus();
  t->SetSelected(t->Items()->GetFirstNode());
  AnswerButton(mrOk);
  t->Perform(WM_KEYDOWN, VK_DELETE, 0);
  Pump();
  EXPECT_EQ(t->Items()->Count(), 0);
  ASSERT_EQ(a.log.size(), std::size_t(kDepth)) << "one announcement for each node";
  EXPECT_EQ(a.log.front(), "delete n1 nil") << "parents first";
  EXPECT_EQ(RowCount("region1"), kDepth);
  table->Refresh();
  EXPECT_EQ(t->Items()->Count(), kDepth);
  delete t;
  delete table;
}

TEST_F(KxDBTreeEditsTest, ClosingTheWindowDeletesNoRecord) {
  TADOTable* table = OpenTable("region1");
  TkxDBTreeView* t = NewDBTree(table, kxDBTreeViewDefaultOptions);
  ASSERT_EQ(t->Items()->Count(), 8);
  // the tree's window recreated, then destroyed with the form's window, then the form freed
  t->SetBorderStyle(bsNone);
  EXPECT_EQ(t->Items()->Count(), 8);
  DestroyWindow(Form->Handle());
  Pump();
  EXPECT_EQ(Rows("region1"), kRegion);
  delete Form;
  Form = nullptr;
  EXPECT_EQ(Rows("region1"), kRegion);
}

}  // namespace
