// The dataset controller's grid mode with its bookmark selection, master and
// detail on two real tables, and its locks when a handler fails.
#include <gtest/gtest.h>

#include "data/tests/dbdatatest.h"
#include "data/uxdataconsts.h"

using namespace dbtest;

namespace {

std::string Rows(const std::string& Table, int Count) {
  std::string sql;
  for (int i = 1; i <= Count; ++i)
    sql += "INSERT INTO " + Table + " (tparent, tname, ttype) VALUES (" + std::to_string(i % 4) + ", 'n" +
           std::to_string(i) + "', " + std::to_string(i % 3) + ");";
  return sql;
}

class DBModesTest : public ::testing::Test {
 protected:
  void Open(int Count) {
    path = dir.File("g.l");
    Exec(path, NodeTableSql("t") + Rows("t", Count));
    src.Open(path, "t");
    c = NewController();
    c->BeginUpdate();
    c->AddColumn("tid");
    c->AddColumn("tname");
    c->SetKeyFieldNames("tid");
    c->SetDataSource(&src.Source);
    c->EndUpdate();
  }
  std::vector<int> BufferTids() {
    std::vector<int> r;
    for (int row = 0; row < c->GetRowCount(); ++row) r.push_back(c->GetValue(c->GetRowInfo(row).RecordIndex, 0).AsInteger());
    return r;
  }
  int CurrentTid() { return src.Table.FieldByName("tid")->AsInteger(); }
  TempDir dir;
  std::string path;
  TableSource src;
  ControllerPtr c;
};

TEST_F(DBModesTest, GridModeHoldsAMovingBufferOfTheDataSet) {
  Open(120);
  ASSERT_EQ(c->GetRecordCount(), 120);
  // A negative buffer count is none, and the buffer then holds the default 100.
  c->DataModeController()->SetGridModeBufferCount(-5);
  EXPECT_EQ(c->DataModeController()->GridModeBufferCount(), 0);
  c->DataModeController()->SetGridMode(true);
  EXPECT_EQ(c->GetRecordCount(), 100);
  c->DataModeController()->SetGridMode(false);
  c->DataModeController()->SetGridModeBufferCount(10);
  c->DataModeController()->SetGridMode(true);
  ASSERT_TRUE(c->IsGridMode());
  EXPECT_EQ(c->GetRecordCount(), 10);
  EXPECT_EQ(BufferTids(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // The data set scrolls past the buffer: the buffer follows and the focus
  // stays on the current record.
  src.Table.MoveBy(24);
  EXPECT_EQ(CurrentTid(), 25);
  const std::vector<int> tids = BufferTids();
  ASSERT_EQ(tids.size(), 10u);
  EXPECT_EQ(tids.back() - tids.front(), 9);
  EXPECT_NE(std::find(tids.begin(), tids.end(), 25), tids.end());
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), 0).AsInteger(), 25);
  // Focusing a row moves the data set.
  c->ChangeFocusedRowIndex(0);
  EXPECT_EQ(CurrentTid(), tids.front());
  // Scrolling a page from the buffer's end.
  c->Scroll(1);
  EXPECT_EQ(CurrentTid(), tids.back() + 1);
  // Incremental search goes through the data set: forward from the current
  // record, the next match, and a find-next that stops at the end.
  src.Table.SetRecNo(25);
  ASSERT_TRUE(c->Search()->Locate(1, "n7"));
  EXPECT_EQ(CurrentTid(), 70);
  ASSERT_TRUE(c->Search()->LocateNext(true));
  EXPECT_EQ(CurrentTid(), 71);
  src.Table.SetRecNo(79);
  EXPECT_FALSE(c->Search()->LocateNext(true));
  EXPECT_EQ(CurrentTid(), 79);
  // A new search wraps to the start.
  src.Table.SetRecNo(80);
  ASSERT_TRUE(c->Search()->Locate(1, "n7"));
  EXPECT_EQ(CurrentTid(), 7);
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), 0).AsInteger(), 7);
  c->DataModeController()->SetGridMode(false);
  EXPECT_EQ(c->GetRecordCount(), 120);
}

TEST_F(DBModesTest, GridModeSelectsByBookmarkAndDeletesTheSelection) {
  Open(60);
  c->SetMultiSelect(true);
  c->DataModeController()->SetGridModeBufferCount(8);
  c->DataModeController()->SetGridMode(true);
  EXPECT_THROW(
      {
        c->DataModeController()->SetGridMode(false);
        c->GetSelectionAnchorBookmark();
      },
      EuxInvalidDataControllerOperation);
  c->DataModeController()->SetGridMode(true);
  // Rows 2 and 5 of the first buffer: tids 3 and 6.
  c->ChangeRowSelection(2, true);
  c->ChangeRowSelection(5, true);
  ASSERT_EQ(c->GetSelectedCount(), 2);
  EXPECT_TRUE(c->IsRowSelected(5));
  // The selection outlives the buffer.
  src.Table.MoveBy(40);
  EXPECT_EQ(c->GetSelectedCount(), 2);
  EXPECT_EQ(c->GetSelectedRowIndex(0), -1);
  c->FocusSelectedRow(1);
  EXPECT_EQ(CurrentTid(), 6);
  // A range from an anchor: extended and shrunk by one record.
  c->ClearSelection();
  const int anchorRow = c->GetFocusedRowIndex();
  c->SetSelectionAnchor(anchorRow);
  c->SelectFromAnchor(anchorRow + 3, false);
  EXPECT_EQ(c->GetSelectedCount(), 4);
  c->SelectFromAnchor(anchorRow + 4, false);
  EXPECT_EQ(c->GetSelectedCount(), 5);
  c->SelectFromAnchor(anchorRow + 3, false);
  EXPECT_EQ(c->GetSelectedCount(), 4);
  c->SelectFromAnchor(anchorRow, false);
  EXPECT_EQ(c->GetSelectedCount(), 1);
  // Keeping the selection merges without duplicates.
  c->SelectFromAnchor(anchorRow + 2, false);
  c->SelectFromAnchor(anchorRow + 4, true);
  EXPECT_EQ(c->GetSelectedCount(), 5);
  std::vector<int> selected;
  for (int i = 0; i < c->GetSelectedCount(); ++i) {
    src.Table.SetBookmark(c->GetSelectedBookmark(i));
    selected.push_back(CurrentTid());
  }
  EXPECT_EQ(selected, (std::vector<int>{6, 7, 8, 9, 10}));
  // Deleting the selection removes exactly those rows from the file.
  c->DeleteSelection();
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t WHERE tid BETWEEN 6 AND 10")[0][0], "0");
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t")[0][0], "55");
  EXPECT_EQ(c->GetSelectedCount(), 0);
  // Select all walks the whole data set.
  c->SelectAll();
  EXPECT_EQ(c->GetSelectedCount(), 55);
}

TEST_F(DBModesTest, AFailingHandlerLeavesTheControlsEnabledAndTheLocksBalanced) {
  Open(10);
  struct Failing : TObject {
    bool Fail = false;
    void Scroll(TDataSet*) {
      if (Fail) throw Exception("handler failed");
    }
  } handler;
  src.Table.AfterScroll = TDataSetNotifyEvent(&handler, &Failing::Scroll);
  handler.Fail = true;
  EXPECT_THROW(src.Table.Refresh(), Exception);
  EXPECT_FALSE(src.Table.ControlsDisabled());
  EXPECT_EQ(c->Provider()->LockCount(), 0);
  EXPECT_EQ(c->GetInfoLockCount(), 0);
  handler.Fail = false;
  Exec(path, "INSERT INTO t (tname) VALUES ('late');");
  src.Table.Refresh();
  EXPECT_EQ(c->GetRecordCount(), 11);
}

// ---------------------------------------------------------------------------
// Master and detail

class DBMasterDetailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("md.l");
    std::string sql =
        "CREATE TABLE m (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(20));"
        "CREATE TABLE d (tid INTEGER PRIMARY KEY AUTOINCREMENT, mid INTEGER, tname TEXT(20));"
        "INSERT INTO m (tname) VALUES ('a'); INSERT INTO m (tname) VALUES ('b');"
        "INSERT INTO m (tname) VALUES ('c'); INSERT INTO m (tname) VALUES ('it''s');";
    // Detail rows in master-key order: 1 has 2, 2 has none, 3 has 3, 4 has 1.
    for (auto [mid, name] : std::vector<std::pair<int, const char*>>{
             {1, "a1"}, {1, "a2"}, {3, "c1"}, {3, "c2"}, {3, "c3"}, {4, "q1"}})
      sql += "INSERT INTO d (mid, tname) VALUES (" + std::to_string(mid) + ", '" + name + "');";
    Exec(path, sql);
    master.Open(path, "m");
    detailTable.Open(path, "d");
    query.SetConnection(&master.Conn);
    query.SQL()->SetText("SELECT * FROM d WHERE mid = :mid");
    query.Parameters()->ParamByName("mid")->Value = 0;
    querySource.SetDataSet(&query);
    query.Open();
    m = NewController();
    m->BeginUpdate();
    m->AddColumn("tid");
    m->AddColumn("tname");
    m->SetKeyFieldNames("tid");
    m->SetDataSource(&master.Source);
    m->EndUpdate();
  }
  void MakePattern(bool SQLMode) {
    pattern = NewController();
    pattern->BeginUpdate();
    pattern->AddColumn("tid");
    pattern->AddColumn("mid");
    pattern->AddColumn("tname");
    pattern->SetKeyFieldNames("tid");
    pattern->SetDetailKeyFieldNames("mid");
    pattern->SetMasterKeyFieldNames("tid");
    pattern->DataModeController()->SetDetailInSQLMode(SQLMode);
    pattern->SetDataSource(SQLMode ? &querySource : &detailTable.Source);
    pattern->EndUpdate();
    relation = m->GetRelations()->Add(&level);
    pattern->SetPatternMasterRelation(relation, true);
  }
  void TearDown() override {
    m.reset();
    pattern.reset();
  }
  std::vector<std::string> Names(TuxCustomDataController* d) {
    std::vector<std::string> r;
    for (int i = 0; i < d->GetRecordCount(); ++i) r.push_back(VarToStr(d->GetValue(i, 2)));
    return r;
  }
  TempDir dir;
  std::string path;
  TableSource master, detailTable;
  TADOQuery query{nullptr};
  TDataSource querySource{nullptr};
  ControllerPtr m, pattern;
  Column level;
  TuxCustomDataRelation* relation = nullptr;
};

TEST_F(DBMasterDetailTest, DetailsLocateTheirMastersRecords) {
  MakePattern(false);
  ASSERT_EQ(m->GetRecordCount(), 4);
  const std::vector<std::vector<std::string>> expected = {{"a1", "a2"}, {}, {"c1", "c2", "c3"}, {"q1"}};
  for (int r = 0; r < 4; ++r) {
    TuxCustomDataController* d = m->GetDetailController(r, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Names(d), expected[static_cast<std::size_t>(r)]) << r;
    EXPECT_EQ(m->GetDetailHasChildren(r, 0), !expected[static_cast<std::size_t>(r)].empty()) << r;
  }
  // A record inserted in a detail takes its master's key.
  auto* d3 = dynamic_cast<TuxDBDataController*>(m->GetDetailController(2, 0));
  ASSERT_TRUE(d3->ChangeFocusedRowIndex(0));
  d3->Append();
  d3->SetEditValue(2, Variant(AnsiString("c4")), evsValue);
  d3->Post();
  EXPECT_EQ(Query(path, "SELECT mid FROM d WHERE tname = 'c4'"), (std::vector<std::vector<std::string>>{{"3"}}));
}

TEST_F(DBMasterDetailTest, DetailsReopenAParameterisedQuery) {
  MakePattern(true);
  const std::vector<std::vector<std::string>> expected = {{"a1", "a2"}, {}, {"c1", "c2", "c3"}, {"q1"}};
  for (int r : {2, 0, 3, 1}) {
    TuxCustomDataController* d = m->GetDetailController(r, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Names(d), expected[static_cast<std::size_t>(r)]) << r;
    // The master's value went in as the parameter, the statement stayed as written.
    EXPECT_EQ(VarToStr(query.Parameters()->ParamByName("mid")->Value), std::to_string(r + 1));
    EXPECT_EQ(Trim(query.SQL()->Text()), "SELECT * FROM d WHERE mid = :mid");
  }
  // Focusing a row of the first clone again brings its rows back into the query.
  TuxCustomDataController* d1 = m->GetDetailController(0, 0);
  d1->ChangeFocusedRowIndex(1);
  EXPECT_EQ(VarToStr(query.Parameters()->ParamByName("mid")->Value), "1");
  EXPECT_EQ(query.FieldByName("tname")->AsString(), "a2");
}

}  // namespace
