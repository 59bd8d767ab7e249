// The dataset-bound controller on real SQLite files of the node-table shape,
// opened through TADOTable: loading, sorting, grouping, filtering, summaries,
// searching, editing with the file read back by sqlite3, grid mode, and the
// cases where a record must be reached exactly.
#include <algorithm>
#include <map>
#include <set>

#include "data/tests/dbdatatest.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"

using namespace dbtest;

namespace {

// Chinese names, in UTF-8: 第一章 序章 张三 阿福 第二章
const char* const kNames[] = {"\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0", "\xE5\xBA\x8F\xE7\xAB\xA0",
                              "\xE5\xBC\xA0\xE4\xB8\x89", "\xE9\x98\xBF\xE7\xA6\x8F",
                              "\xE7\xAC\xAC\xE4\xBA\x8C\xE7\xAB\xA0"};

// Row i (1-based) of the test table.
struct NodeRow {
  int tid, tparent, ttype, tflag;
  std::string tname;  // UTF-8
  double tprice;
};

NodeRow MakeRow(int i) {
  return {i, i % 4, i % 3 == 0 ? 110 : (i % 3 == 1 ? 50 : 120), i % 2,
          std::string(kNames[i % 5]) + std::to_string(i % 7), (i % 6) * 1.5};
}

std::string InsertSql(const std::string& Table, int Rows) {
  std::string sql;
  for (int i = 1; i <= Rows; ++i) {
    const NodeRow r = MakeRow(i);
    sql += "INSERT INTO " + Table + " (tparent, tname, ttype, tflag, tprice, tratio) VALUES (" +
           std::to_string(r.tparent) + ", '" + r.tname + "', " + std::to_string(r.ttype) + ", " +
           std::to_string(r.tflag) + ", " + std::to_string(r.tprice) + ", 0.5);";
  }
  return sql;
}

enum ItemIndexes { kTid, kParent, kName, kType, kFlag, kPrice };

class DBControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(40); }
  void Build(int Rows) {
    path = dir.File("n.l");
    Exec(path, NodeTableSql("t") + InsertSql("t", Rows));
    src.Open(path, "t");
    c = NewController();
    c->BeginUpdate();
    for (const char* name : {"tid", "tparent", "tname", "ttype", "tflag", "tprice"}) c->AddColumn(name);
    c->SetKeyFieldNames("tid");
    c->SetDataSource(&src.Source);
    c->EndUpdate();
  }
  // The file's rows, as sqlite3 reads them.
  std::vector<std::vector<std::string>> FileRows(const std::string& Columns = "tid, tparent, tname, ttype") {
    return Query(path, "SELECT " + Columns + " FROM t ORDER BY tid");
  }
  std::vector<std::string> Texts(int ItemIndex) {
    std::vector<std::string> r;
    for (const AnsiString& s : c->ColumnInRowOrder(ItemIndex)) r.push_back(AnsiToUtf8(s));
    return r;
  }
  int FocusedTid() {
    const int record = c->GetFocusedRecordIndex();
    return record < 0 ? -1 : c->GetValue(record, kTid).AsInteger();
  }
  int RecordOfTid(int Tid) {
    for (int r = 0; r < c->GetRecordCount(); ++r)
      if (c->GetValue(r, kTid).AsInteger() == Tid) return r;
    return -1;
  }
  void FocusTid(int Tid) { ASSERT_TRUE(c->ChangeFocusedRecordIndex(RecordOfTid(Tid))); }

  TempDir dir;
  std::string path;
  TableSource src;
  ControllerPtr c;
};

TEST_F(DBControllerTest, LoadsEveryRecordOfTheTable) {
  ASSERT_EQ(c->GetRecordCount(), 40);
  ASSERT_EQ(c->GetRowCount(), 40);
  const auto rows = FileRows();
  for (int r = 0; r < 40; ++r) {
    EXPECT_EQ(std::to_string(c->GetValue(r, kTid).AsInteger()), rows[r][0]);
    EXPECT_EQ(std::to_string(c->GetValue(r, kParent).AsInteger()), rows[r][1]);
    EXPECT_EQ(AnsiToUtf8(c->GetValue(r, kName).AsString()), rows[r][2]);
  }
  // The controller's focus follows the data set's current record.
  EXPECT_EQ(FocusedTid(), 1);
  src.Table.MoveBy(5);
  EXPECT_EQ(FocusedTid(), 6);
  // And the data set follows the controller's focus.
  c->ChangeFocusedRowIndex(10);
  EXPECT_EQ(src.Table.FieldByName("tid")->AsInteger(), 11);
}

TEST_F(DBControllerTest, SortsByOneAndTwoColumns) {
  struct Case {
    std::vector<std::pair<int, TuxDataSortOrder>> Sorting;
    std::string OrderBy;
  };
  const Case cases[] = {
      {{{kType, soAscending}}, "ttype, tid"},
      {{{kParent, soDescending}}, "tparent DESC, tid"},
      {{{kType, soAscending}, {kParent, soDescending}}, "ttype, tparent DESC, tid"},
      {{{kFlag, soDescending}, {kPrice, soAscending}}, "tflag DESC, tprice, tid"},
  };
  for (const Case& k : cases) {
    c->ClearSorting(false);
    for (const auto& s : k.Sorting) c->ChangeSorting(s.first, s.second);
    std::vector<std::string> expected;
    for (const auto& row : Query(path, "SELECT tid FROM t ORDER BY " + k.OrderBy)) expected.push_back(row[0]);
    EXPECT_EQ(Texts(kTid), expected) << k.OrderBy;
  }
}

// Group rows in row order as "level:value:records", all groups expanded,
// against the same grouping made from the file's rows.
TEST_F(DBControllerTest, GroupsByOneToFourLevelsAsTheReferenceDoes) {
  const int order[] = {kType, kParent, kFlag, kPrice};
  const char* const columns[] = {"ttype", "tparent", "tflag", "tprice"};
  for (int levels = 1; levels <= 4; ++levels) {
    c->DataControllerInfo()->ClearGrouping();
    for (int l = 0; l < levels; ++l) c->Groups()->ChangeGroupIndex(order[l], l);
    c->Groups()->FullExpand();
    std::vector<std::string> actual;
    for (int row = 0; row < c->GetRowCount(); ++row) {
      const TuxRowInfo info = c->GetRowInfo(row);
      if (info.Level >= levels) continue;
      std::vector<int> list;
      c->Groups()->CollectRowRecords(list, row);
      Variant v = c->GetRowValue(info, order[info.Level]);
      if (v.Type() == varBoolean) v = Variant(v.AsBoolean() ? 1 : 0);
      actual.push_back(std::to_string(info.Level) + ":" + VarToStr(v) + ":" +
                       std::to_string(list.size()));
    }
    // The reference: every prefix of the sorted grouping values, in order.
    std::string cols;
    for (int l = 0; l < levels; ++l) cols += std::string(l ? ", " : "") + columns[l];
    const auto rows = Query(path, "SELECT " + cols + " FROM t ORDER BY " + cols);
    std::vector<std::string> expected;
    std::vector<std::string> previous;
    std::map<std::string, int> counts;
    std::vector<std::pair<int, std::string>> keys;
    for (const auto& r : rows) {
      std::string prefix;
      for (int l = 0; l < levels; ++l) {
        prefix += "|" + r[static_cast<std::size_t>(l)];
        if (counts[prefix]++ == 0) keys.emplace_back(l, prefix);
      }
    }
    for (const auto& [level, prefix] : keys) {
      const std::string value = prefix.substr(prefix.rfind('|') + 1);
      expected.push_back(std::to_string(level) + ":" + VarToStr(Variant(std::stod(value))) + ":" +
                         std::to_string(counts[prefix]));
    }
    EXPECT_EQ(actual, expected) << levels << " levels";
  }
}

TEST_F(DBControllerTest, ExpandsAndCollapsesGroups) {
  c->Groups()->ChangeGroupIndex(kType, 0);
  c->Groups()->FullCollapse();
  ASSERT_EQ(c->GetRowCount(), 3);  // 50, 110, 120
  c->Groups()->ChangeExpanding(1, true, false);
  const int in110 = static_cast<int>(Query(path, "SELECT tid FROM t WHERE ttype = 110").size());
  EXPECT_EQ(c->GetRowCount(), 3 + in110);
  c->Groups()->ChangeExpanding(1, false, false);
  EXPECT_EQ(c->GetRowCount(), 3);
  c->Groups()->FullExpand();
  EXPECT_EQ(c->GetRowCount(), 43);
}

TEST_F(DBControllerTest, FiltersByCriteriaByTextAndByEvent) {
  const auto count = [&](const std::string& where) {
    return static_cast<int>(Query(path, "SELECT tid FROM t WHERE " + where).size());
  };
  // Criteria filtered by the controller.
  TuxDBDataFilterCriteria* filter = c->GetFilter();
  filter->AddItem(nullptr, c->Columns[kType], fckEqual, Variant(110), "110");
  filter->SetActive(true);
  EXPECT_EQ(c->GetFilteredRecordCount(), count("ttype = 110"));
  EXPECT_EQ(src.Table.Filter(), "");
  // The same criteria handed to the data set as its filter text.
  filter->SetAutoDataSetFilter(true);
  EXPECT_EQ(src.Table.Filter(), "(ttype = 110)");
  EXPECT_TRUE(src.Table.Filtered());
  EXPECT_EQ(c->GetRecordCount(), count("ttype = 110"));
  EXPECT_EQ(c->GetFilteredRecordCount(), count("ttype = 110"));
  filter->Clear();
  EXPECT_FALSE(src.Table.Filtered());
  EXPECT_EQ(c->GetRecordCount(), 40);
  filter->SetAutoDataSetFilter(false);
  // By an event.
  struct Even : TObject {
    void Filter(TuxCustomDataController* C, int Record, bool& Accept) {
      Accept = C->GetValue(Record, kTid).AsInteger() % 2 == 0;
    }
  } even;
  c->SetOnFilterRecord(TuxDataFilterRecordEvent(&even, &Even::Filter));
  EXPECT_EQ(c->GetFilteredRecordCount(), 20);
  c->SetOnFilterRecord(TuxDataFilterRecordEvent());
  EXPECT_EQ(c->GetFilteredRecordCount(), 40);
}

TEST_F(DBControllerTest, SumsInTheFooterAndInGroups) {
  TuxDataSummary* summary = c->Summary();
  auto* sum = static_cast<TuxDataSummaryItem*>(summary->FooterSummaryItems()->Add());
  sum->SetItemLink(c->Columns[kType]);
  sum->SetKind(skSum);
  auto* cnt = static_cast<TuxDataSummaryItem*>(summary->DefaultGroupSummaryItems()->Add());
  cnt->SetItemLink(c->Columns[kTid]);
  cnt->SetKind(skCount);
  EXPECT_EQ(VarToStr(summary->GetFooterSummaryValue(0)), Query(path, "SELECT SUM(ttype) FROM t")[0][0]);
  c->Groups()->ChangeGroupIndex(kParent, 0);
  c->Groups()->FullCollapse();
  const auto groups = Query(path, "SELECT tparent, COUNT(*) FROM t GROUP BY tparent ORDER BY tparent");
  ASSERT_EQ(c->GetRowCount(), static_cast<int>(groups.size()));
  for (int row = 0; row < c->GetRowCount(); ++row)
    EXPECT_EQ(AnsiToUtf8(summary->GetGroupSummaryText(row)), "(COUNT=" + groups[row][1] + ")") << row;
}

TEST_F(DBControllerTest, LocatesByKeyAndSearchesChineseIncrementally) {
  EXPECT_TRUE(c->LocateByKey(Variant(17)));
  EXPECT_EQ(FocusedTid(), 17);
  EXPECT_EQ(src.Table.FieldByName("tid")->AsInteger(), 17);
  EXPECT_FALSE(c->LocateByKey(Variant(999)));
  EXPECT_EQ(FocusedTid(), 17);
  // 张 finds the first name after the focused row that begins with it.
  c->ChangeFocusedRowIndex(0);
  c->Search()->SetItemIndex(kName);
  ASSERT_TRUE(c->Search()->Locate(kName, A("\xE5\xBC\xA0")));
  const std::string name = AnsiToUtf8(c->GetValue(c->GetFocusedRecordIndex(), kName).AsString());
  EXPECT_EQ(name.rfind("\xE5\xBC\xA0", 0), 0u) << name;
  EXPECT_EQ(AnsiToUtf8(src.Table.FieldByName("tname")->AsString()), name);
  // A search text that ends inside a double-byte character matches nothing.
  const AnsiString half = A("\xE5\xBC\xA0").substr(0, 1);
  EXPECT_FALSE(c->Search()->Locate(kName, half));
}

TEST_F(DBControllerTest, EditsPostsCancelsAndTheFileHoldsThePostedValues) {
  FocusTid(5);
  c->Edit();
  ASSERT_TRUE(c->SetEditValue(kName, Variant(A("\xE6\x96\xB0")), evsValue));  // 新
  c->Post();
  EXPECT_EQ(Query(path, "SELECT tname FROM t WHERE tid = 5")[0][0], "\xE6\x96\xB0");
  EXPECT_EQ(AnsiToUtf8(c->GetValue(c->GetFocusedRecordIndex(), kName).AsString()), "\xE6\x96\xB0");
  EXPECT_EQ(FocusedTid(), 5);
  // Cancel leaves the file and the record as they were.
  c->Edit();
  c->SetEditValue(kType, Variant(7), evsValue);
  c->Cancel();
  EXPECT_EQ(Query(path, "SELECT ttype FROM t WHERE tid = 5")[0][0], "120");
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), kType).AsInteger(), 120);
  EXPECT_FALSE(c->IsEditing());
}

TEST_F(DBControllerTest, InsertsAppendsAndDeletesThroughTheNewItemRow) {
  // Append.
  c->Append();
  ASSERT_TRUE(c->IsEditing());
  c->SetEditValue(kName, Variant(A("\xE5\xB0\xBE")), evsValue);  // 尾
  c->SetEditValue(kType, Variant(50), evsValue);
  c->Post();
  auto last = Query(path, "SELECT tid, tname, ttype FROM t ORDER BY tid DESC LIMIT 1")[0];
  EXPECT_EQ(last[1], "\xE5\xB0\xBE");
  EXPECT_EQ(c->GetRecordCount(), 41);
  EXPECT_EQ(std::to_string(FocusedTid()), last[0]);
  // Insert through the new item row.
  c->SetNewItemRowEnabled(true);
  c->SetNewItemRowFocused(true);
  ASSERT_TRUE(c->SetEditValue(kName, Variant(A("\xE9\xA6\x96")), evsValue));  // 首
  EXPECT_TRUE(c->Provider()->IsInserting());
  c->Post();
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t WHERE tname = '\xE9\xA6\x96'")[0][0], "1");
  EXPECT_EQ(c->GetRecordCount(), 42);
  // A new item row left without a value adds nothing.
  c->SetNewItemRowFocused(true);
  c->Insert();
  c->Post();
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t")[0][0], "42");
  c->SetNewItemRowEnabled(false);
  // Delete the focused record.
  FocusTid(9);
  c->DeleteFocused();
  EXPECT_TRUE(Query(path, "SELECT tid FROM t WHERE tid = 9").empty());
  EXPECT_EQ(c->GetRecordCount(), 41);
  EXPECT_EQ(FocusedTid(), 10);
}

// A new record into which the controller alone wrote (the group's value) is
// discarded when the data set is brought to browse mode; typing into any other
// field makes it a record to post.
TEST_F(DBControllerTest, ANewRecordWithOnlyTheControllersValuesIsNotPosted) {
  c->Groups()->ChangeGroupIndex(kType, 0);
  c->Groups()->FullExpand();
  FocusTid(3);  // ttype 110
  c->Insert();
  ASSERT_TRUE(c->Provider()->IsInserting());
  EXPECT_EQ(src.Table.FieldByName("ttype")->AsInteger(), 110);
  EXPECT_FALSE(c->Provider()->IsModified());
  c->CheckBrowseMode();
  EXPECT_FALSE(c->Provider()->IsInserting());
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t")[0][0], "40");
  FocusTid(3);
  c->Insert();
  c->SetEditValue(kName, Variant(AnsiString("x")), evsValue);
  EXPECT_TRUE(c->Provider()->IsModified());
  c->CheckBrowseMode();
  EXPECT_EQ(Query(path, "SELECT ttype FROM t WHERE tname = 'x'"), (std::vector<std::vector<std::string>>{{"110"}}));
}

TEST_F(DBControllerTest, DeletingByAKeyThatIsNotUniqueRemovesTheRecordMeant) {
  // Keyed by tparent, which ten records share.
  c->SetKeyFieldNames("tparent");
  FocusTid(14);  // tparent 2, like tid 2, 6, 10, 18 ...
  ASSERT_EQ(src.Table.FieldByName("tid")->AsInteger(), 14);
  c->DeleteFocused();
  EXPECT_TRUE(Query(path, "SELECT tid FROM t WHERE tid = 14").empty());
  EXPECT_EQ(Query(path, "SELECT COUNT(*) FROM t WHERE tparent = 2")[0][0], "9");
  // Several records of one key: each is reached by its own bookmark.
  std::vector<int> records = {RecordOfTid(7), RecordOfTid(11)};
  c->DeleteRecords(records);
  EXPECT_EQ(Query(path, "SELECT tid FROM t WHERE tparent = 3 AND tid < 16"),
            (std::vector<std::vector<std::string>>{{"3"}, {"15"}}));
  // Without key fields the bookmark still names the record.
  c->SetKeyFieldNames("");
  c->ChangeFocusedRecordIndex(c->GetRecordCount() - 1);
  const std::string lastTid = std::to_string(FocusedTid());
  c->DeleteFocused();
  EXPECT_TRUE(Query(path, "SELECT tid FROM t WHERE tid = " + lastTid).empty());
}

// Under smart refresh a post re-reads the record posted and a delete drops
// the record deleted; every other record stays as it was loaded, which an
// unbound item's value (kept only in the controller) shows.
TEST_F(DBControllerTest, SmartRefreshTouchesOnlyTheRecordPostedOrDeleted) {
  const int mark = c->AddColumn("");
  c->ChangeValueTypeClass(mark, TuxStringValueType::Instance());
  const auto marked = [&] {
    int n = 0;
    for (int r = 0; r < c->GetRecordCount(); ++r) n += VarToStrDef(c->GetValue(r, mark), "") == "m" ? 1 : 0;
    return n;
  };
  const auto markAll = [&] {
    c->BeginUpdate();
    for (int r = 0; r < c->GetRecordCount(); ++r) c->SetValue(r, mark, Variant(AnsiString("m")));
    c->EndUpdate();
  };
  // Without smart refresh a post reloads everything.
  markAll();
  FocusTid(5);
  c->Edit();
  c->SetEditValue(kType, Variant(7), evsValue);
  c->Post();
  EXPECT_EQ(marked(), 0);

  c->DataModeController()->SetSmartRefresh(true);
  markAll();
  FocusTid(6);
  c->Edit();
  c->SetEditValue(kName, Variant(AnsiString("six")), evsValue);
  c->Post();
  EXPECT_EQ(Query(path, "SELECT tname FROM t WHERE tid = 6")[0][0], "six");
  EXPECT_EQ(c->GetValue(RecordOfTid(6), kName).AsString(), "six");
  EXPECT_EQ(marked(), 40);
  // An appended record takes the number the file gave it.
  c->Append();
  c->SetEditValue(kName, Variant(AnsiString("new")), evsValue);
  c->Post();
  const std::string tid = Query(path, "SELECT tid FROM t WHERE tname = 'new'")[0][0];
  EXPECT_EQ(c->GetRecordCount(), 41);
  EXPECT_NE(RecordOfTid(std::stoi(tid)), -1);
  EXPECT_EQ(marked(), 40);
  // A delete removes that record only.
  FocusTid(9);
  c->DeleteFocused();
  EXPECT_TRUE(Query(path, "SELECT tid FROM t WHERE tid = 9").empty());
  EXPECT_EQ(c->GetRecordCount(), 40);
  EXPECT_EQ(RecordOfTid(9), -1);
  EXPECT_EQ(marked(), 39);
  // Cancelling an edit puts the loaded values back.
  FocusTid(12);
  c->Edit();
  c->SetEditValue(kName, Variant(AnsiString("gone")), evsValue);
  c->Cancel();
  EXPECT_EQ(AnsiToUtf8(c->GetValue(RecordOfTid(12), kName).AsString()), Query(path, "SELECT tname FROM t WHERE tid = 12")[0][0]);
}

// Filter values and field names go into the data set's filter text quoted,
// so that the text reads back as the same condition.
TEST(DBControllerFilterText, ValuesAndNamesCannotChangeTheExpression) {
  TempDir dir;
  const std::string path = dir.File("q.l");
  Exec(path,
       "CREATE TABLE t (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(50), \"a]b\" TEXT(20), \"and\" INTEGER);"
       "INSERT INTO t (tname, \"a]b\", \"and\") VALUES ('a'' or 1=1 or ''b', 'x', 1);"
       "INSERT INTO t (tname, \"a]b\", \"and\") VALUES ('plain', 'y', 2);"
       "INSERT INTO t (tname, \"a]b\", \"and\") VALUES ('b', 'x', 3);");
  TableSource src;
  src.Open(path, "t");
  ControllerPtr c = NewController();
  c->BeginUpdate();
  c->AddColumn("tid");
  c->AddColumn("tname");
  c->AddColumn("a]b");
  c->AddColumn("and");
  c->SetKeyFieldNames("tid");
  c->SetDataSource(&src.Source);
  c->EndUpdate();
  ASSERT_EQ(c->GetRecordCount(), 3);
  TuxDBDataFilterCriteria* filter = c->GetFilter();
  filter->SetAutoDataSetFilter(true);
  struct Case {
    int Item;
    Variant Value;
    std::vector<int> Tids;
  };
  const Case cases[] = {
      {1, Variant(AnsiString("a' or 1=1 or 'b")), {1}},
      {2, Variant(AnsiString("x")), {1, 3}},
      {3, Variant(2), {2}},
  };
  for (const Case& k : cases) {
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(nullptr, c->Columns[static_cast<std::size_t>(k.Item)], fckEqual, k.Value, VarToStr(k.Value));
    filter->SetActive(true);
    filter->EndUpdate();
    std::vector<int> tids;
    for (int r = 0; r < c->GetRecordCount(); ++r) tids.push_back(c->GetValue(r, 0).AsInteger());
    EXPECT_EQ(tids, k.Tids) << src.Table.Filter();
  }
}

}  // namespace

namespace {

TEST_F(DBControllerTest, BindsFieldsByNameAndKeysByTheirList) {
  // Two items bound to one field name in different case share a data field.
  const int upper = c->AddColumn("TNAME");
  EXPECT_EQ(c->Fields()->Items(upper)->SharedWith(), c->Fields()->Items(kName));
  EXPECT_EQ(c->GetValue(3, upper).AsString(), c->GetValue(3, kName).AsString());
  // Value types follow the fields.
  struct Case {
    const char* Field;
    TuxValueTypeClass Type;
  };
  const Case cases[] = {{"ttext1", TuxVariantValueType::Instance()}, {"tdate", TuxDateTimeValueType::Instance()},
                        {"tflag", TuxBooleanValueType::Instance()}, {"tratio", TuxFloatValueType::Instance()},
                        {"tid", TuxIntegerValueType::Instance()}};
  for (const Case& k : cases) EXPECT_EQ(c->GetItemValueTypeClass(c->AddColumn(k.Field)), k.Type) << k.Field;
  // A key of two fields: two sub-fields, and a single value finds nothing.
  c->SetKeyFieldNames("tparent;ttype");
  ASSERT_EQ(c->KeyField()->SubFieldCount(), 2);
  EXPECT_EQ(c->FindRecordIndexByKey(Variant(1)), -1);
  const int record = c->FindRecordIndexByKey(VarArrayOf({Variant(2), Variant(50)}));
  ASSERT_NE(record, -1);
  EXPECT_EQ(c->GetValue(record, kTid).AsInteger(), 10);  // the first with tparent 2 and ttype 50
  // A key field the data set lacks.
  c->SetKeyFieldNames("nosuch");
  Variant key;
  EXPECT_THROW(c->GetDataSetKeyValue(key), EuxInvalidDataControllerOperation);
  // Without an active data set.
  src.Table.Close();
  EXPECT_EQ(c->GetDataSetRecNo(), -1);
  EXPECT_EQ(c->GetDataSetRecordCount(), 0);
  EXPECT_EQ(c->GetRecordCount(), 0);
  src.Table.Open();
  EXPECT_EQ(c->GetRecordCount(), 40);
  EXPECT_EQ(c->GetValue(0, upper).AsString(), c->GetValue(0, kName).AsString());
}

}  // namespace
