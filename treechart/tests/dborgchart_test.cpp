// The data-aware organisation chart on a real table: loading records as
// nodes, following the cursor, and writing added, moved, deleted, renamed and
// restyled nodes back.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/classes/filer.h"
#include "platform/db/init.h"
#include "platform/db/tests/dbtest.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/strings.h"
#include "treechart/dborgchart.h"
#include "treechart/kxdbtreeview.h"
#include "treechart/tests/orgchart_fixture.h"

namespace {

const char* const kOcTableSql =
    "CREATE TABLE t (tid INTEGER, tparent INTEGER, tname TEXT(50), tsortid INTEGER, timage INTEGER, "
    "tchartwidth INTEGER, tchartheight INTEGER, tchartcolor INTEGER, tchartshape INTEGER, tchartchalign INTEGER, "
    "tchartimalign INTEGER, tnote TEXT(20));";

class DbOrgChartTest : public CtlTest {
 protected:
  TempDir Dir;
  TADOConnection* Conn = nullptr;
  TADOTable* Table = nullptr;
  TDataSource* Source = nullptr;
  TForm* Form = nullptr;
  TkxDbOrgChart* Chart = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    InitDataAccess();
    kxInitOrgChartClasses();
    Form = new TForm(Application, 0);
    Form->SetBounds(40, 40, 700, 520);
    Form->Show();
  }
  void TearDown() override {
    delete Form;
    CtlTest::TearDown();
  }
  // Makes the table from Rows ("tid,tparent,tname,tsortid" each) and a chart on it.
  void Open(const std::vector<std::string>& Rows, bool OrderField = true) {
    std::string sql = kOcTableSql;
    for (const std::string& r : Rows) {
      std::vector<std::string> v;
      std::size_t a = 0;
      for (;;) {
        const std::size_t b = r.find(',', a);
        v.push_back(r.substr(a, b - a));
        if (b == std::string::npos) break;
        a = b + 1;
      }
      sql += "INSERT INTO t (tid, tparent, tname, tsortid) VALUES (" + v[0] + "," + v[1] + ",'" + v[2] + "'," +
             v[3] + ");";
    }
    OpenSql(sql, OrderField);
  }
  // Makes the table by Sql and a chart on it.
  void OpenSql(const std::string& Sql, bool OrderField = true) {
    MakeDatabase(Dir.File("oc.l"), Sql);
    Conn = new TADOConnection(Form);
    Conn->SetConnectionString(JetConnection(Dir.File("oc.l")));
    Table = new TADOTable(Form);
    Table->SetConnection(Conn);
    Table->SetTableName("t");
    Source = new TDataSource(Form);
    Source->SetDataSet(Table);
    Chart = NewObject<TkxDbOrgChart>(Form);
    Chart->SetParent(Form);
    Chart->SetBounds(10, 10, 660, 460);
    Chart->SetDataSource(Source);
    Chart->SetKeyFieldName("tid");
    Chart->SetParentFieldName("tparent");
    Chart->SetTextFieldName("tname");
    if (OrderField) Chart->SetOrderFieldName("tsortid");
    Chart->SetImageFieldName("timage");
    Table->Open();
    Chart->ExpandAll();
    Pump();
  }
  std::string Layout(TkxOcNode* First = nullptr, bool Top = true) {
    if (Top) First = Chart->FirstNode();
    std::string s;
    for (TkxOcNode* n = First; n; n = n->NextSibling()) {
      if (!s.empty()) s += ",";
      s += n->Text();
      if (n->Count()) s += "(" + Layout(n->FirstChild(), false) + ")";
    }
    return s;
  }
  // Name in UTF-8.
  TkxDbOcNode* Find(const std::string& Name) {
    const AnsiString name = Utf8ToAnsi(Name);
    for (TkxOcNode* n = Chart->FirstNode(); n; n = n->GetNext())
      if (n->Text() == name) return static_cast<TkxDbOcNode*>(n);
    return nullptr;
  }
  // The stored rows as "tid:tparent:tname:tsortid" in key order, read from the file.
  std::string Stored() {
    pvsql::Db db(Dir.File("oc.l"));
    pvsql::Stmt st(db, "SELECT tid, tparent, tname, tsortid FROM t ORDER BY tid");
    std::string s;
    while (st.Step()) {
      if (!s.empty()) s += " ";
      for (int c = 0; c < 4; ++c)
        s += (c ? ":" : "") + (st.Type(c) == pvsql::ColType::Null ? std::string("-") : std::string(st.Text(c)));
    }
    return s;
  }
  std::string Current() { return std::string(Table->FieldByName("tname")->AsString()); }
  void Save() {
    if (Table->State() != dsBrowse) Table->Post();
    Table->UpdateBatch();
  }
};

TEST_F(DbOrgChartTest, RecordsLoadAsNodesInOrderUnderTheirParents) {
  Open({"6,4,F,0", "1,1,A,0", "2,99,B,1", "3,1,C,1", "4,1,D,0", "5,1,E,1"});
  // 1 is its own parent: top level; 2 names no record: top level; 6 was read
  // before its parent 4 and moves under it; C and E share an order value and
  // keep their loading order
  EXPECT_EQ(Layout(), "A(D(F),C,E),B");
  EXPECT_EQ(Chart->Count(), 6);
  EXPECT_EQ(kxOcCompareValues(Chart->MaxKey(), Variant(6)), 0);
  EXPECT_EQ(Find("F")->RecordPos, 0);
  EXPECT_EQ(Find("E")->RecordPos, 5);
  // reloading keeps the nodes and drops the ones whose records went
  Table->Locate("tid", Variant(2), TLocateOptions{});
  Table->Delete();
  EXPECT_EQ(Layout(), "A(D(F),C,E)");
}

// A tree and the chart on one table: each walks the records with the
// controls off, and the data set change that ends a walk reloads the other
// only when the records changed meanwhile.
TEST_F(DbOrgChartTest, ATreeBesideTheChartReloadsOnlyForChanges) {
  Open({"1,0,A,0", "2,1,A1,0", "3,1,A2,1", "4,0,B,1"});
  auto* tree = NewObject<TkxDBTreeView>(Form);
  tree->SetParent(Form);
  tree->SetBounds(10, 10, 200, 200);
  tree->SetKeyField("tid");
  tree->SetParentField("tparent");
  tree->SetListField("tname");
  tree->SetDataSource(Source);
  Pump();
  const std::function<std::string(TTreeNode*)> shown = [&](TTreeNode* n) {
    std::string s;
    for (; n; n = n->GetNextSibling()) {
      s += (s.empty() ? "" : ",") + std::string(n->Text());
      if (n->GetFirstChild()) s += "(" + shown(n->GetFirstChild()) + ")";
    }
    return s;
  };
  ASSERT_EQ(shown(tree->Items()->GetFirstNode()), "A(A1,A2),B");
  // a walk changes nothing; the tree follows the cursor it left
  Table->DisableControls();
  for (Table->First(); !Table->Eof(); Table->Next()) Table->FieldByName("tname")->AsString();
  Table->Locate("tid", Variant(3), TLocateOptions{});
  Table->EnableControls();
  EXPECT_EQ(shown(tree->Items()->GetFirstNode()), "A(A1,A2),B");
  EXPECT_EQ(tree->Selected(), tree->Items()->GetFirstNode()->GetLastChild());
  EXPECT_EQ(Layout(), "A(A1,A2),B");
  // what was posted and deleted with the controls off reaches both
  Table->DisableControls();
  Table->Locate("tid", Variant(4), TLocateOptions{});
  Table->Edit();
  Table->FieldByName("tname")->SetAsString("B2");
  Table->Post();
  Table->Locate("tid", Variant(3), TLocateOptions{});
  Table->Delete();
  Table->EnableControls();
  EXPECT_EQ(shown(tree->Items()->GetFirstNode()), "A(A1),B2");
  EXPECT_EQ(Layout(), "A(A1),B2");
  // a record another program changed shows after a refresh
  Conn->Database().Exec("UPDATE t SET tname = 'C' WHERE tid = 2");
  Table->Refresh();
  EXPECT_EQ(shown(tree->Items()->GetFirstNode()), "A(C),B2");
  EXPECT_EQ(Layout(), "A(C),B2");
}

TEST_F(DbOrgChartTest, ChartAndCursorFollowEachOther) {
  Open({"1,0,A,0", "2,1,A1,0", "3,1,A2,1", "4,0,B,1"});
  Table->First();
  EXPECT_EQ(Chart->Selected(), Find("A"));
  Table->Next();
  Table->Next();
  EXPECT_EQ(Chart->Selected(), Find("A2")) << "scrolling the dataset selects the node";
  Table->Locate("tid", Variant(4), TLocateOptions{});
  EXPECT_EQ(Chart->Selected(), Find("B"));

  Chart->SetSelected(Find("A1"));
  EXPECT_EQ(Current(), "A1") << "selecting a node moves the dataset";
  // a stale cached position is corrected by the locate
  Find("A2")->RecordPos = 0;
  Chart->SetSelected(Find("A2"));
  EXPECT_EQ(Current(), "A2");
  EXPECT_EQ(Find("A2")->RecordPos, 2);
  // a refused selection leaves the cursor where it was
  TOcRecorder rec;
  rec.Allow = false;
  Chart->OnChanging = TkxOcAllowEvent(&rec, &TOcRecorder::Changing);
  Chart->SetFocus();
  const TPoint p = At(Chart, Find("B")->DisplayRect().left + 20, Find("B")->DisplayRect().top + 30);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(Chart->Selected(), Find("A2"));
  EXPECT_EQ(Current(), "A2");
}

TEST_F(DbOrgChartTest, AddedNodesGetKeysOrdersAndRecords) {
  Open({"1,0,A,0", "2,1,A1,0", "3,1,A2,1"});
  TkxDbOcNode* a = Find("A");
  auto* n = static_cast<TkxDbOcNode*>(Chart->Add(a, 0));
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(kxOcCompareValues(n->RecordKey, Variant(4)), 0);
  EXPECT_EQ(kxOcCompareValues(n->OrderValue, Variant(2)), 0) << "after orders 0 and 1";
  n->ApplyEditedText("A3");
  // a node at the front renumbers the siblings after it
  auto* f = static_cast<TkxDbOcNode*>(Chart->InsertNodeAt(a, 0, 0));
  f->ApplyEditedText("A0");
  Save();
  EXPECT_EQ(Stored(), "1:0:A:0 2:1:A1:1 3:1:A2:2 4:1:A3:3 5:1:A0:0");
  EXPECT_EQ(Layout(), "A(A0,A1,A2,A3)");

  // with a text key and no answer from OnNewKey no key can be made
  delete Chart;
  Table->Close();
  Chart = NewObject<TkxDbOrgChart>(Form);
  Chart->SetParent(Form);
  Chart->SetDataSource(Source);
  Chart->SetKeyFieldName("tnote");
  Chart->SetParentFieldName("tparent");
  Table->Open();
  Table->First();
  Table->Edit();
  Table->FieldByName("tnote")->SetAsString("k1");
  Table->Post();
  EXPECT_THROW(Chart->Add(nullptr, 0), EVariantError);
  EXPECT_EQ(Table->RecordCount(), 5) << "no record and no node were left behind";
}

TEST_F(DbOrgChartTest, FirstNodeOfAnEmptyTableGetsKeyZero) {
  Open({});
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocInsDel});
  Chart->SetFocus();
  hb->Key(VK_INSERT);
  Pump();
  ASSERT_EQ(Chart->Count(), 1);
  auto* n = static_cast<TkxDbOcNode*>(Chart->FirstNode());
  EXPECT_EQ(kxOcCompareValues(n->RecordKey, Variant(0)), 0);
  Save();
  EXPECT_EQ(Stored(), "0:-:-:0");
}

TEST_F(DbOrgChartTest, DeletingANodeDeletesItsSubtreesRecords) {
  Open({"1,0,A,0", "2,1,A1,0", "3,2,A11,0", "4,1,A2,1", "5,0,B,1"});
  Chart->SetSelected(Find("B"));
  Chart->DeleteNode(Find("A"));
  EXPECT_EQ(Layout(), "B");
  Save();
  EXPECT_EQ(Stored(), "5:0:B:1");
  EXPECT_EQ(Current(), "B");
}

// Freeing the chart, or closing its window, while a node's name is being
// edited in place: the editor closes without applying the typed text, and no
// node is selected (or edited) again while the nodes go.
TEST_F(DbOrgChartTest, FreeingTheChartWhileANameIsEditedAppliesNothing) {
  for (bool wholeWindow : {false, true}) {
    SCOPED_TRACE(wholeWindow ? "the window closed" : "the chart freed");
    Open({"1,0,A,0", "2,1,A1,0", "3,1,A2,1", "4,0,B,1"});
    Chart->SetFocus();
    Chart->SetSelected(Find("A1"));
    Chart->BeginEdit();
    Pump();
    ASSERT_TRUE(Chart->IsEditing());
    hb->CommitText("x");
    Pump();
    if (wholeWindow) {
      Form->Free();  // as a closed window is freed
      Form = new TForm(Application, 0);
      Form->Show();
    } else {
      Chart->Free();
    }
    Chart = nullptr;
    Pump();
    EXPECT_EQ(Stored(), "1:0:A:0 2:1:A1:0 3:1:A2:1 4:0:B:1");
    std::filesystem::remove(Dir.File("oc.l"));
  }
}

// A table whose parents form one chain deeper than the stack could follow by
// recursion: loaded, the cursor moved to the deepest record (the chart
// expands the chain down to it and shows it), painted, and freed.
TEST_F(DbOrgChartTest, AChainOfFiftyThousandRecords) {
  constexpr int kDepth = 50000;
  OpenSql(std::string(kOcTableSql) + "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " +
          std::to_string(kDepth) + ") INSERT INTO t (tid, tparent, tname, tsortid) SELECT i, i - 1, 'n' || i, 0 FROM k;");
  ASSERT_EQ(Chart->Count(), kDepth);
  Chart->FirstNode()->Collapse(true);
  Table->Last();
  TkxOcNode* deepest = Chart->Selected();
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(std::string(deepest->Text()), "n" + std::to_string(kDepth));
  EXPECT_TRUE(deepest->IsVisible());
  const TRect r = deepest->DisplayRect();
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, Chart->ClientHeight());
  Chart->Repaint();
  Pump();
  Form->Free();
  Form = nullptr;
}

TEST_F(DbOrgChartTest, EditedNamesAndDraggedNodesAreWrittenBack) {
  Open({"1,0,A,0", "2,1,A1,0", "3,1,A2,1", "4,0,B,1"});
  Chart->SetFocus();
  Chart->SetSelected(Find("A1"));
  hb->Key(VK_F2);
  Pump();
  ASSERT_TRUE(Chart->IsEditing());
  hb->CommitText("x");
  Pump();
  hb->Key(VK_F2);
  Pump();
  EXPECT_EQ(Find("xA1"), Chart->Selected());
  // drag A2 below the collapsed B: it becomes B's child, its record follows
  Find("B")->Collapse(false);
  Chart->SetSelected(Find("A2"));
  const TRect a2 = Find("A2")->DisplayRect(), b = Find("B")->DisplayRect();
  const TPoint from = At(Chart, (a2.left + a2.right) / 2, a2.top + 30), to = At(Chart, b.left + 10, b.bottom + 10);
  hb->AdvanceClock(1000);
  hb->MouseMove(from.x, from.y);
  hb->MouseDown(from.x, from.y);
  Pump();
  for (int i = 1; i <= 6; ++i) {
    hb->MouseMove(from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6);
    Pump();
  }
  hb->MouseUp(to.x, to.y);
  Pump();
  EXPECT_EQ(Layout(), "A(xA1),B(A2)");
  // a record edited by another control renames its node
  Table->Locate("tid", Variant(1), TLocateOptions{});
  Table->Edit();
  Table->FieldByName("tname")->SetAsString("Top");
  EXPECT_EQ(Chart->Selected(), Find("Top"));
  Save();
  EXPECT_EQ(Stored(), "1:0:Top:0 2:1:xA1:0 3:4:A2:1 4:0:B:1");
}

TEST_F(DbOrgChartTest, AttributeFieldsAreReadAndWritten) {
  Open({"1,0,A,0", "2,0,B,1"});
  Chart->SetWidthFieldName("tchartwidth");
  Chart->SetHeightFieldName("tchartheight");
  Chart->SetColorFieldName("tchartcolor");
  Chart->SetShapeFieldName("tchartshape");
  Chart->SetChildAlignFieldName("tchartchalign");
  Chart->SetImageAlignFieldName("tchartimalign");
  TkxDbOcNode* a = Find("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->ChildAlign(), oaCenter) << "a Null alignment is the centre";
  EXPECT_EQ(a->Color(), clNone);
  a->SetWidth(90);
  a->SetShape(nsEllipse);
  a->SetColor(clInfoBk);
  Save();
  {
    pvsql::Db db(Dir.File("oc.l"));
    pvsql::Stmt st(db, "SELECT tchartwidth, tchartshape, tchartcolor, tchartchalign FROM t WHERE tid = 1");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Int(0), 90);
    EXPECT_EQ(st.Int(1), 2);
    EXPECT_EQ(std::uint32_t(st.Int(2)), 0xFF000018u);
    EXPECT_EQ(st.Int(3), 1);
  }
  // a read-only dataset refuses adding, moving, deleting and editing
  Table->SetReadOnly(true);
  EXPECT_EQ(Chart->Add(nullptr, 0), nullptr);
  Chart->DeleteNode(Find("B"));
  Find("B")->MoveTo(a, naAddChild);
  EXPECT_EQ(Layout(), "A,B");
  Chart->SetSelected(Find("B"));
  Chart->BeginEdit();
  EXPECT_FALSE(Chart->IsEditing());
}

TEST_F(DbOrgChartTest, PublishedSettingsReadAndWriteThroughADescription) {
  const char* const text = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  AutoScroll = False
  ParentFont = False
  ClientHeight = 273
  ClientWidth = 392
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
  object Source1: TDataSource
  end
  object Chart1: TkxDbOrgChart
    Left = 8
    Top = 8
    Width = 300
    Height = 200
    TabOrder = 0
    DefaultNodeWidth = 65
    DefaultNodeHeight = 32
    EditMode = [emCenter, emVCenter, emWrap]
    IndentX = 20
    LineColor = clMoneyGreen
    LineWidth = 2
    Options = [ocSelect, ocFocus, ocButtons, ocDblClick, ocEdit, ocCanDrag, ocShowDrag, ocRect3D, ocAnimate]
    Rotated = True
    SelectedNodeColor = clMoneyGreen
    SelectedNodeTextColor = clBlue
    DataSource = Source1
    KeyFieldName = 'tid'
    ParentFieldName = 'tparent'
    TextFieldName = 'tname'
    OrderFieldName = 'tsortid'
    ImageFieldName = 'timage'
    KeyOrder = True
  end
end
)";
  auto* form = dynamic_cast<TForm*>(ReadComponentFromText(text, nullptr));
  ASSERT_NE(form, nullptr);
  auto* chart = dynamic_cast<TkxDbOrgChart*>(form->FindComponent("Chart1"));
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->DefaultNodeWidth(), 65);
  EXPECT_EQ(chart->StoredIndentX(), 20);
  EXPECT_EQ(chart->StoredIndentY(), 16);
  EXPECT_TRUE(chart->Rotated());
  EXPECT_TRUE(chart->KeyOrder());
  EXPECT_TRUE(chart->Options().Contains(ocAnimate));
  EXPECT_EQ(chart->DataSource(), form->FindComponent("Source1"));
  EXPECT_EQ(WriteComponentToText(form), text);
  delete form;
}

// A chart set up as the design-element window's: default node 65 x 32, Arial
// height -9 in green, money-green lines and selection, 3-D edges, a 16 x 16
// image list (an image list's own size) and images at the left top; its
// records at the attributes new nodes get (60 x 30, the info-tip colour,
// rounded, centred, image 1 at the left top) and two-character names. Each
// node is 60 x 32 (the height raised to twice the image height) and its name
// stands on one line beside the image.
TEST_F(DbOrgChartTest, TwoCharacterNamesAtTheNewNodeSize) {
  std::string sql = kOcTableSql;
  const char* const rows[] = {"1,0,人物,0", "2,1,主角,0", "3,1,配角,1", "4,0,地点,1", "5,4,小镇,0", "6,4,老街,1"};
  for (const char* r : rows) {
    std::string v[4];
    std::size_t a = 0;
    const std::string row = r;
    for (int i = 0; i < 4; ++i) {
      const std::size_t b = row.find(',', a);
      v[i] = row.substr(a, b - a);
      a = b + 1;
    }
    sql += "INSERT INTO t (tid, tparent, tname, tsortid, timage, tchartwidth, tchartheight, tchartcolor, tchartshape, "
           "tchartchalign, tchartimalign) VALUES (" + v[0] + "," + v[1] + ",'" + v[2] + "'," + v[3] +
           ",1,60,30,4278190104,1,1,1);";
  }
  auto* images = new TImageList(Form);
  for (TColor c : {clRed, clBlue}) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->Pen()->SetColor(clBlack);
    b.Canvas()->Rectangle(2, 1, 14, 15);
    images->AddMasked(&b, clFuchsia);
  }
  OpenSql(sql);
  Chart->SetWidthFieldName("tchartwidth");
  Chart->SetHeightFieldName("tchartheight");
  Chart->SetColorFieldName("tchartcolor");
  Chart->SetShapeFieldName("tchartshape");
  Chart->SetChildAlignFieldName("tchartchalign");
  Chart->SetImageAlignFieldName("tchartimalign");
  Chart->SetDefaultNodeWidth(65);
  Chart->SetDefaultNodeHeight(32);
  Chart->Font()->SetName("Arial");
  Chart->Font()->SetHeight(-9);
  Chart->Font()->SetColor(clGreen);
  Chart->SetDefaultImageAlign(iaLT);
  Chart->SetImages(images);
  Chart->SetLineColor(clMoneyGreen);
  Chart->SetSelectedNodeColor(clMoneyGreen);
  Chart->SetSelectedNodeTextColor(clBlue);
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocRect3D});
  Chart->SetBounds(10, 10, 360, 160);
  Chart->ExpandAll();
  Pump();
  ASSERT_EQ(Chart->Count(), 6);
  TCanvas* canvas = Chart->Canvas();
  canvas->Font()->Assign(Chart->Font());
  for (TkxOcNode* n = Chart->FirstNode(); n; n = n->GetNext()) {
    SCOPED_TRACE(AnsiToUtf8(n->Text()));
    EXPECT_EQ(n->Width(), 60);
    EXPECT_EQ(n->Height(), 32);
    TRect r = n->TextRect();
    TPoint at;
    TSize size;
    ASSERT_TRUE(Chart->PlaceImage(n, r, at, size));
    TRect one{0, 0, 100, 100}, m = r;
    Chart->NodeTextOut(canvas->Handle(), n->Text().substr(0, 2), DT_CALCRECT, one);
    Chart->NodeTextOut(canvas->Handle(), n->Text(), DT_CALCRECT, m);
    EXPECT_EQ(m.Height(), one.Height()) << "one line";
  }
  Chart->SetSelected(Find("主角"));
  Chart->SetFocus();
  Chart->Repaint();
  Pump();
  const TPoint o = Chart->ClientToScreen(TPoint{0, 0});
  const RECT area{o.x, o.y, o.x + Chart->ClientWidth(), o.y + Chart->ClientHeight()};
  TRawImage img;
  img.Width = area.right - area.left;
  img.Height = area.bottom - area.top;
  img.Pixels = hb->ComposeScreen(area);
  EXPECT_TRUE(MatchesReference(img, "treechart/tests/ref", "dborgchart_new_nodes"));
}

// A table of 30 nodes in three levels: volumes, chapters and scenes.
class DbOrgChartPictureTest : public DbOrgChartTest {
 protected:
  void SetUp() override {
    DbOrgChartTest::SetUp();
    std::vector<std::string> rows;
    int id = 1;
    const char* tops[] = {"第一卷", "第二卷", "第三卷"};
    for (int t = 0; t < 3; ++t) {
      const int top = id++;
      rows.push_back(std::to_string(top) + ",0," + tops[t] + "," + std::to_string(t));
      for (int c = 0; c < 3; ++c) {
        const int ch = id++;
        rows.push_back(std::to_string(ch) + "," + std::to_string(top) + ",第" + std::to_string(c + 1) + "章," +
                       std::to_string(c));
        for (int s = 0; s < 2; ++s)
          rows.push_back(std::to_string(id++) + "," + std::to_string(ch) + ",场景" + std::to_string(s + 1) + "," +
                         std::to_string(s));
      }
    }
    Open(rows);
    EXPECT_EQ(Chart->Count(), 30);
    Chart->SetDefaultNodeWidth(54);
    Chart->SetDefaultNodeHeight(28);
    Chart->SetIndentX(6);
    Chart->SetIndentY(14);
    Chart->SetLineColor(clGreen);
    Chart->SetSelectedNodeColor(clMoneyGreen);
    Chart->SetSelectedNodeTextColor(clBlue);
    Chart->Font()->SetName(DefFontName);
    Chart->Font()->SetHeight(-12);
    Chart->SetOptions(Chart->Options() + TkxOcOptions{ocRect3D});
    Chart->SetEditMode({emCenter, emVCenter, emWrap});
    Find("第二卷")->SetShape(nsRoundedRectangle);
    Find("第三卷")->SetShape(nsEllipse);
    Find("第一卷")->SetColor(0xD0E8FF);
    Chart->SetSelected(Find("第二卷"));
    Chart->SetFocus();
  }
  TRawImage Shot() {
    Chart->Repaint();
    Pump();
    const TPoint o = Chart->ClientToScreen(TPoint{0, 0});
    const RECT r{o.x, o.y, o.x + Chart->ClientWidth(), o.y + Chart->ClientHeight()};
    TRawImage img;
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    img.Pixels = hb->ComposeScreen(r);
    return img;
  }
};

TEST_F(DbOrgChartPictureTest, ThirtyNodeTableExpandedCollapsedRotatedAndZoomed) {
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "dborgchart_expanded"));
  Find("第一卷")->Collapse(false);
  Find("第2章")->Collapse(false);
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "dborgchart_collapsed"));
  Chart->ExpandAll();
  Chart->SetRotated(true);
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "dborgchart_rotated"));
  Chart->SetRotated(false);
  Chart->SetBounds(10, 10, 400, 300);
  Chart->SetZoom(true);
  EXPECT_TRUE(Chart->IsZoomed());
  EXPECT_TRUE(MatchesReference(Shot(), "treechart/tests/ref", "dborgchart_zoomed"));
}

}  // namespace
