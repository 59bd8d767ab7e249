// The node operations on real files: the defaults and order labels of new
// nodes in each view, subtree copies between trees with every field carried,
// the node clipboard, one field over a subtree, and the chart's fields.
#include "app/tests/libtest.h"
#include "treechart/dborgchart.h"

namespace {

class NodeOpsTest : public LibTest {
 protected:
  TForm* Host = nullptr;
  void SetUp() override {
    LibTest::SetUp();
    OpenLibrary();
    Host = new TForm(Application, 0);
    Host->SetBounds(0, 0, 700, 500);
    Host->Show();
  }
  // A tree of the application's kind on a data source.
  TkxDBTreeView* NewTree(TDataSource* Source, int Left = 0, const char* Parent = "tparent") {
    auto* t = new TkxDBTreeView(Host);
    t->SetParent(Host);
    t->SetBounds(Left, 0, 300, 480);
    t->SetKeyField("tid");
    t->SetParentField(Parent);
    t->SetListField("tname");
    t->SetDataSource(Source);
    Pump();
    return t;
  }
  static TTreeNode* Find(TkxDBTreeView* T, const std::string& Utf8) {
    for (TTreeNode* n = T->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == A(Utf8)) return n;
    ADD_FAILURE() << "no node " << Utf8;
    return nullptr;
  }
  // Adds a child as the windows' add command does, then its defaults.
  TTreeNode* AddNode(TkxDBTreeView* T, TTreeNode* Parent, int View) {
    TTreeNode* n = T->Items()->AddChild(Parent, A("节点"));
    n->SetSelected(true);
    Module->addNewRecordbyView(T, View);
    return n;
  }
  // The values of every field of a record (tid and tparent left out), by key.
  std::vector<std::string> Record(TDataSet* D, int Key) {
    EXPECT_TRUE(D->Locate("tid", Key, {}));
    std::vector<std::string> v;
    for (int i = 0; i < D->FieldCount(); ++i) {
      TField* f = D->Fields()->Fields(i);
      if (f->FieldName() == "tid" || f->FieldName() == "tparent") continue;
      v.push_back(f->FieldName() + "=" + U8(f->AsString()));
    }
    return v;
  }
  // Fills every field of region1's nodes 1..5 with distinct values.
  void FillEveryField() {
    std::string set;
    TADOTable t(nullptr);
    t.SetConnectionString(LibConnectionString(LibFile()));
    t.SetTableName("region1");
    t.Open();
    int k = 0;
    for (int i = 0; i < t.FieldCount(); ++i) {
      TField* f = t.Fields()->Fields(i);
      if (f->FieldName() == "tid" || f->FieldName() == "tparent") continue;
      ++k;
      std::string value = f->DataType() == ftString || f->DataType() == ftMemo || f->DataType() == ftBlob
                              ? "'v" + std::to_string(k) + "_' || tid"
                              : std::to_string(k * 100) + " + tid";
      if (f->FieldName() == "tsortid") value = "'s' || tid";
      if (!set.empty()) set += ", ";
      set += std::string(f->FieldName()) + " = " + value;
    }
    Sql(LibFile(), "UPDATE region1 SET " + set);
    Module->libTable->Refresh();
  }
};

TEST_F(NodeOpsTest, NewNodesGetTheirDefaultsAndTheOrderLabelOfTheirView) {
  TkxDBTreeView* t = NewTree(Module->libDS);
  TTreeNode* parent = Find(t, "地点");  // has one child already
  struct Case {
    int view;
    int children;  // how many the parent has once the node is added
    const char* label;
    const char* labelField;
  } cases[] = {{0, 2, "02", "tsortid"}, {0, 3, "03", "tsortid"}, {4, 4, "04", "tviewname4"},
               {8, 5, "05", "tviewname8"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.children);
    AddNode(t, parent, c.view);
    EXPECT_EQ(parent->Count(), c.children);
    TDataSet* d = Module->libTable;
    EXPECT_EQ(d->State(), dsBrowse);
    EXPECT_EQ(d->FieldByName(c.labelField)->AsString(), c.label);
    if (c.view != 0) {
      EXPECT_EQ(d->FieldByName("tsortid")->AsString(), "") << "other views' labels stay empty";
    }
    EXPECT_EQ(d->FieldByName("tviewname1")->AsString(), "");
    EXPECT_EQ(U8(d->FieldByName("tname")->AsString()), "节点");
    const std::pair<const char*, int> defaults[] = {
        {"timage", 0},        {"tparent12", 1},     {"tparent13", 6},     {"tparent14", 0},
        {"tchartwidth", 60},  {"tchartheight", 30}, {"tchartshape", 1},   {"tchartchalign", 1},
        {"tchartorder", 0},   {"tchartimage", 1},   {"tchartimalign", 1}, {"tchartcolor", int(0xFF000018u)}};
    for (const auto& [field, value] : defaults) EXPECT_EQ(d->FieldByName(field)->AsInteger(), value) << field;
    EXPECT_TRUE(d->FieldByName("tview4")->IsNull()) << "other views' parents stay empty";
  }
  // the twelfth child and a node at the top level
  while (parent->Count() < 11) AddNode(t, parent, 0);
  AddNode(t, parent, 0);
  EXPECT_EQ(Module->libTable->FieldByName("tsortid")->AsString(), "12");
  AddNode(t, nullptr, 0);
  EXPECT_EQ(Module->libTable->FieldByName("tsortid")->AsString(), "00");
  // written through to the file
  EXPECT_NE(Rows(LibFile(), "region1", {"tsortid"}).find(":4:节点:12;"), std::string::npos);
  EXPECT_THROW(Module->addNewRecordbyView(t, 9), Exception);
}

TEST_F(NodeOpsTest, CopyingCarriesEveryFieldAndTheShapeOfTheSubtree) {
  // 人物 (1) gets grandchildren: 主角 (2) > 6, 配角 (3) > 7: five nodes
  Sql(LibFile(), "INSERT INTO region1 (tid, tparent, tname) VALUES (6, 2, '甲'), (7, 3, '乙')");
  FillEveryField();
  Module->MemTable->SetTableName("mem1");
  Module->MemTable->Open();
  TkxDBTreeView* source = NewTree(Module->libDS);
  TkxDBTreeView* target = NewTree(Module->MemTableDS, 320);
  const std::string before = Rows(LibFile(), "mem1");

  // a leaf adds one node, under the target's selection
  Find(source, "v1_5")->SetSelected(true);
  Find(target, "开端")->SetSelected(true);
  Module->copyTree(source, target);
  EXPECT_EQ(Rows(LibFile(), "mem1"), before + ";4:1:v1_5");
  EXPECT_EQ(Record(Module->MemTable, 4), Record(Module->libTable, 5));

  // a node with two children of one child each adds five nodes in its shape
  Find(source, "v1_1")->SetSelected(true);
  target->Selected()->Parent()->SetSelected(true);  // 开端 again
  Module->copyTree(source, target);
  EXPECT_EQ(Rows(LibFile(), "mem1"),
            before + ";4:1:v1_5;5:1:v1_1;6:5:v1_2;7:6:v1_6;8:5:v1_3;9:8:v1_7");
  const std::pair<int, int> pairs[] = {{5, 1}, {6, 2}, {7, 6}, {8, 3}, {9, 7}};
  for (auto [copy, original] : pairs) EXPECT_EQ(Record(Module->MemTable, copy), Record(Module->libTable, original));
  EXPECT_EQ(Record(Module->MemTable, 5).size(), 62u);

  // nothing selected in the target: the copy goes to the top level
  target->SetSelected(nullptr);
  Find(source, "v1_5")->SetSelected(true);
  Module->copyTree(source, target);
  EXPECT_NE(Rows(LibFile(), "mem1").find(";10:10:v1_5"), std::string::npos) << Rows(LibFile(), "mem1");
}

TEST_F(NodeOpsTest, ACopyIntoItsOwnSubtreeCopiesWhatWasThereAndEnds) {
  TkxDBTreeView* t = NewTree(Module->libDS);
  Find(t, "人物")->SetSelected(true);
  Module->copyTree(t, t);  // under itself
  EXPECT_EQ(Rows(LibFile(), "region1"),
            "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;4:0:地点;5:4:青石镇;6:1:人物;7:6:主角：林远;8:6:配角：苏晴");
}

TEST_F(NodeOpsTest, TheClipboardHoldsTheLastCopiedSubtreeAndPastesItWhole) {
  TkxDBTreeView* t = NewTree(Module->libDS);
  Sql(LibFile(), "INSERT INTO CopyTreeTemp (tid, tparent, tname) VALUES (1, 0, '旧')");
  Module->CopyTreeTemp->Refresh();
  Pump();
  Find(t, "人物")->SetSelected(true);
  Module->NodeCopy(t);
  EXPECT_EQ(Rows(LibFile(), "CopyTreeTemp"), "2:2:人物;3:2:主角：林远;4:2:配角：苏晴");
  Find(t, "青石镇")->SetSelected(true);
  Module->NodePost(t);
  EXPECT_EQ(Rows(LibFile(), "region1"),
            "1:0:人物;2:1:主角：林远;3:1:配角：苏晴;4:0:地点;5:4:青石镇;6:5:人物;7:6:主角：林远;8:6:配角：苏晴");
  // a second paste pastes the same subtree again
  Find(t, "地点")->SetSelected(true);
  Module->NodePost(t);
  EXPECT_NE(Rows(LibFile(), "region1").find(";9:4:人物;10:9:主角：林远;11:9:配角：苏晴"), std::string::npos);
}

TEST_F(NodeOpsTest, TreeSubSetsAFieldOnTheNodeAndEverythingBelowIt) {
  TkxDBTreeView* t = NewTree(Module->libDS);
  Find(t, "青石镇")->SetSelected(true);
  Module->TreeSub(t, "tviewcolor3", "255");
  EXPECT_EQ(Rows(LibFile(), "region1", {"tviewcolor3"}), "1:0:人物:;2:1:主角：林远:;3:1:配角：苏晴:;4:0:地点:;5:4:青石镇:255");
  Find(t, "人物")->SetSelected(true);
  Module->TreeSub(t, "tviewcolor3", "-16777192");
  EXPECT_EQ(Rows(LibFile(), "region1", {"tviewcolor3"}),
            "1:0:人物:-16777192;2:1:主角：林远:-16777192;3:1:配角：苏晴:-16777192;4:0:地点:;5:4:青石镇:255");
  EXPECT_THROW(Module->TreeSub(t, "nofield", "1"), EDatabaseError);
}

TEST_F(NodeOpsTest, ASmartTreeCopiesAndSetsBelowNodesItHasNotRead) {
  Sql(LibFile(), "INSERT INTO region1 (tid, tparent, tname) VALUES (6, 2, '甲')");
  Module->libTable->Refresh();
  TkxDBTreeView* t = NewTree(Module->libDS);
  t->SetOptions(kxDBTreeViewDefaultOptions + TkxDBTreeViewOptions{trSmartRecordLoad});
  t->SetRootValue(0);
  Pump();
  Find(t, "地点")->SetSelected(true);  // 人物 stays collapsed
  Find(t, "人物")->SetSelected(true);
  Module->TreeSub(t, "tviewico1", "7");
  EXPECT_EQ(Rows(LibFile(), "region1", {"tviewico1"}),
            "1:0:人物:7;2:1:主角：林远:7;3:1:配角：苏晴:7;4:0:地点:;5:4:青石镇:;6:2:甲:7");
}

TEST_F(NodeOpsTest, TheChartIsBoundToTheNodesChartFields) {
  auto* chart = new TkxDbOrgChart(Host);
  Module->setFieldforOrgChart(chart);
  EXPECT_EQ(chart->WidthFieldName(), "tchartwidth");
  EXPECT_EQ(chart->HeightFieldName(), "tchartheight");
  EXPECT_EQ(chart->ColorFieldName(), "tchartcolor");
  EXPECT_EQ(chart->ShapeFieldName(), "tchartshape");
  EXPECT_EQ(chart->ChildAlignFieldName(), "tchartchalign");
  EXPECT_EQ(chart->ImageAlignFieldName(), "tchartimalign");
  EXPECT_EQ(chart->OrderFieldName(), "tchartorder");
  EXPECT_EQ(chart->ImageFieldName(), "tchartimage");
}

}  // namespace
