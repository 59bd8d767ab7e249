// The data controller on 100,000 node rows (the columns and values the node
// tables hold, see node_table_fixture.h): loading, sorting by an integer and a
// text column, grouping by a column of 100 values, and filtering by a LIKE
// condition and by an equality. Each controller benchmark has an anchor
// beside it that does the same work with plain std:: code on the same rows
// (std::sort, a hash grouping, a loop), so the ratio is read from one run.
//
// NodeRows() is the one row set; each operation is a pair BM_<Op>_Unbound /
// BM_<Op>_Std. The same rows in one SQLite file of the node-table shape are
// read by a dataset-bound controller over a TADOTable (BM_<Op>_Dataset) and
// by plain SQLite statements (BM_<Op>_SQLite: a sqlite3_step loop, ORDER BY,
// GROUP BY, WHERE), in the same run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/node_table_fixture.h"
#include "data/data_init.h"
#include "data/uxdata.h"
#include "data/uxdbdata.h"
#include "data/uxlike.h"
#include "platform/classes/init.h"
#include "platform/db/ado.h"
#include "platform/db/init.h"
#include "platform/rtl/collation.h"
#include "platform/rtl/strings.h"

namespace {

constexpr int kRows = 100000;

// One node row: the columns the benchmarks use.
struct NodeRow {
  int tid;
  int tparent;
  AnsiString tname;    // "第12节 春夏之章"
  AnsiString tsortid;  // "02"
  int tchartorder;     // 100 distinct values
  int ttype;
};

const std::vector<NodeRow>& NodeRows() {
  static const std::vector<NodeRow> rows = [] {
    static const char* const kWords[] = {"春", "夏", "秋", "冬", "山", "水", "风", "雨", "城", "夜"};
    std::vector<NodeRow> r;
    r.reserve(kRows);
    for (int i = 1; i <= kRows; ++i) {
      const std::string name =
          std::string("第") + std::to_string(i) + "节 " + kWords[i % 10] + kWords[(i / 10) % 10] + "之章";
      char sort[8];
      std::snprintf(sort, sizeof sort, "%02d", i % 10);
      // tparent as the node tables hold it, scattered so that sorting has work to do.
      const int parent = i <= 10 ? 0 : static_cast<int>((static_cast<unsigned>(i) * 2654435761u) % 10000u);
      r.push_back({i, parent, Utf8ToAnsi(name), sort, (i * 37) % 100, 1 + i % 5});
    }
    return r;
  }();
  return rows;
}

// The controller of the benchmarks: the grid's table controller in miniature.
class NodeController : public TuxDataController {
  PV_CLASS(NodeController, TuxDataController)
 public:
  using TuxDataController::TuxDataController;
  ~NodeController() override {
    for (TObject* c : FColumns) delete c;
  }
  TObject* GetItem(int Index) override { return FColumns.at(static_cast<std::size_t>(Index)); }
  int AddColumn(TuxValueTypeClass Type) {
    FColumns.push_back(new TObject);
    AddItem(FColumns.back());
    const int index = static_cast<int>(FColumns.size()) - 1;
    ChangeValueTypeClass(index, Type);
    return index;
  }

 private:
  std::vector<TObject*> FColumns;
};

enum Column { cTid, cParent, cName, cSort, cOrder, cType };

void LoadRows(NodeController* C, const std::vector<NodeRow>& Rows) {
  C->BeginUpdate();
  C->SetRecordCount(static_cast<int>(Rows.size()));
  for (int r = 0; r < static_cast<int>(Rows.size()); ++r) {
    const NodeRow& n = Rows[static_cast<std::size_t>(r)];
    C->SetValue(r, cTid, Variant(n.tid));
    C->SetValue(r, cParent, Variant(n.tparent));
    C->SetValue(r, cName, Variant(n.tname));
    C->SetValue(r, cSort, Variant(n.tsortid));
    C->SetValue(r, cOrder, Variant(n.tchartorder));
    C->SetValue(r, cType, Variant(n.ttype));
  }
  C->EndUpdate();
}

NodeController* NewNodeController() {
  InitData();
  auto* c = NewObject<NodeController>(nullptr);
  c->AddColumn(TuxIntegerValueType::Instance());
  c->AddColumn(TuxIntegerValueType::Instance());
  c->AddColumn(TuxStringValueType::Instance());
  c->AddColumn(TuxStringValueType::Instance());
  c->AddColumn(TuxIntegerValueType::Instance());
  c->AddColumn(TuxIntegerValueType::Instance());
  return c;
}

// A loaded controller shared by the benchmarks that do not load.
NodeController* Loaded() {
  static NodeController* c = [] {
    NodeController* n = NewNodeController();
    LoadRows(n, NodeRows());
    return n;
  }();
  return c;
}

void Reset(TuxCustomDataController* C) {
  C->BeginUpdate();
  C->Filter()->Clear();
  C->Filter()->SetActive(false);
  C->Groups()->ClearGrouping();
  C->ClearSorting(false);
  C->SetOptions(uxDefaultDataControllerOptions);
  C->EndUpdate();
}

// ---- load ----

void BM_Load_Unbound(benchmark::State& state) {
  const auto& rows = NodeRows();
  for (auto _ : state) {
    NodeController* c = NewNodeController();
    LoadRows(c, rows);
    benchmark::DoNotOptimize(c->GetRowCount());
    state.PauseTiming();
    c->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Load_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  for (auto _ : state) {
    std::vector<NodeRow> copy;
    copy.reserve(rows.size());
    for (const NodeRow& r : rows) copy.push_back(r);
    std::vector<int> order(copy.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    benchmark::DoNotOptimize(order.data());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// ---- sort ----

// Each iteration sorts the whole list: the order flips between ascending
// and descending.
void SortBench(benchmark::State& state, TuxCustomDataController* c, int Item, TuxDataControllerOptions Options) {
  Reset(c);
  c->SetOptions(Options);
  bool ascending = true;
  for (auto _ : state) {
    c->ChangeSorting(Item, ascending ? soAscending : soDescending);
    ascending = !ascending;
    benchmark::DoNotOptimize(c->GetFilteredRecordIndex(0));
  }
  Reset(c);
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SortInt_Unbound(benchmark::State& state) { SortBench(state, Loaded(), cParent, uxDefaultDataControllerOptions); }

void BM_SortText_Unbound(benchmark::State& state) { SortBench(state, Loaded(), cName, uxDefaultDataControllerOptions); }

void BM_SortTextAnsi_Unbound(benchmark::State& state) {
  SortBench(state, Loaded(), cName, uxDefaultDataControllerOptions + TuxDataControllerOptions{dcoAnsiSort});
}

// The anchors sort record indexes by the key with the index as tie-break, as
// the controller does.
template <class Key>
void StdSortBench(benchmark::State& state, Key KeyOf) {
  const auto& rows = NodeRows();
  bool ascending = true;
  for (auto _ : state) {
    std::vector<int> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      const auto& ka = KeyOf(a);
      const auto& kb = KeyOf(b);
      if (ka != kb) return ascending ? ka < kb : kb < ka;
      return a < b;
    });
    ascending = !ascending;
    benchmark::DoNotOptimize(order.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SortInt_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  StdSortBench(state, [&](int i) -> const int& { return rows[static_cast<std::size_t>(i)].tparent; });
}

void BM_SortText_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  StdSortBench(state, [&](int i) -> const AnsiString& { return rows[static_cast<std::size_t>(i)].tname; });
}

void BM_SortTextAnsi_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  bool ascending = true;
  for (auto _ : state) {
    // The collation keys are made once per sort, as the controller makes them.
    std::vector<std::string> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) keys[i] = AnsiCollationKey(rows[i].tname, false);
    std::vector<int> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      const int r = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
      if (r != 0) return ascending ? r < 0 : r > 0;
      return a < b;
    });
    ascending = !ascending;
    benchmark::DoNotOptimize(order.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// ---- group ----

void GroupBench(benchmark::State& state, TuxCustomDataController* c) {
  Reset(c);
  for (auto _ : state) {
    c->Groups()->ChangeGroupIndex(cOrder, 0);
    benchmark::DoNotOptimize(c->GetRowCount());
    state.PauseTiming();
    c->Groups()->ClearGrouping();
    state.ResumeTiming();
  }
  Reset(c);
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Group_Unbound(benchmark::State& state) { GroupBench(state, Loaded()); }

void BM_Group_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  for (auto _ : state) {
    // The groups by value, then in value order with their records in record order.
    std::unordered_map<int, std::vector<int>> groups;
    for (std::size_t i = 0; i < rows.size(); ++i) groups[rows[i].tchartorder].push_back(static_cast<int>(i));
    std::vector<int> values;
    values.reserve(groups.size());
    for (const auto& g : groups) values.push_back(g.first);
    std::sort(values.begin(), values.end());
    benchmark::DoNotOptimize(values.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// ---- filter ----

void FilterBench(benchmark::State& state, TuxCustomDataController* c, int Item, Byte Kind, const Variant& Value) {
  Reset(c);
  c->Filter()->AddItem(nullptr, c->GetItem(Item), Kind, Value, "");
  for (auto _ : state) {
    c->Filter()->SetActive(true);
    benchmark::DoNotOptimize(c->GetFilteredRecordCount());
    state.PauseTiming();
    c->Filter()->SetActive(false);
    state.ResumeTiming();
  }
  Reset(c);
  state.SetItemsProcessed(state.iterations() * kRows);
}

const AnsiString& LikePattern() {
  static const AnsiString p = Utf8ToAnsi("%春夏%");
  return p;
}

void BM_FilterLike_Unbound(benchmark::State& state) { FilterBench(state, Loaded(), cName, fckLike, Variant(LikePattern())); }

void BM_FilterLike_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  for (auto _ : state) {
    std::vector<int> kept;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (uxLike(rows[i].tname, LikePattern())) kept.push_back(static_cast<int>(i));
    benchmark::DoNotOptimize(kept.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FilterEqual_Unbound(benchmark::State& state) { FilterBench(state, Loaded(), cOrder, fckEqual, Variant(42)); }

void BM_FilterEqual_Std(benchmark::State& state) {
  const auto& rows = NodeRows();
  for (auto _ : state) {
    std::vector<int> kept;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].tchartorder == 42) kept.push_back(static_cast<int>(i));
    benchmark::DoNotOptimize(kept.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// ---- the same rows through a data set, against SQLite ----

RemoveBenchFileAtExit gBenchFileCleanup;

// The benchmark file: NodeRows() in a node table, made once per run in the
// temporary folder (or $PV_BENCH_DIR).
const std::string& BenchFile() {
  static std::string path = [] {
    const char* dir = std::getenv("PV_BENCH_DIR");
    std::string p = (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                    ("pv_data_bench_" + std::to_string(getpid()) + ".l");
    std::filesystem::remove(p);
    sqlite3* db = nullptr;
    CheckSqlite(sqlite3_open(p.c_str(), &db), db);
    CheckSqlite(sqlite3_exec(db, ("CREATE TABLE nodes (" + NodeTableColumns() + ")").c_str(), nullptr, nullptr, nullptr),
                db);
    CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* ins = nullptr;
    CheckSqlite(sqlite3_prepare_v2(db,
                                   "INSERT INTO nodes (tid, tparent, tname, tsortid, tchartorder, ttype) "
                                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                                   -1, &ins, nullptr),
                db);
    for (const NodeRow& r : NodeRows()) {
      const std::string name = AnsiToUtf8(r.tname);
      sqlite3_bind_int(ins, 1, r.tid);
      sqlite3_bind_int(ins, 2, r.tparent);
      sqlite3_bind_text(ins, 3, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(ins, 4, r.tsortid.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(ins, 5, r.tchartorder);
      sqlite3_bind_int(ins, 6, r.ttype);
      CheckSqlite(sqlite3_step(ins), db);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    gBenchFileCleanup.path = p;
    return p;
  }();
  return path;
}

class DBNodeController : public TuxDBDataController {
  PV_CLASS(DBNodeController, TuxDBDataController)
 public:
  using TuxDBDataController::TuxDBDataController;
  ~DBNodeController() override {
    for (TObject* c : FColumns) delete c;
  }
  TObject* GetItem(int Index) override { return FColumns.at(static_cast<std::size_t>(Index)); }
  void AddColumn(const AnsiString& FieldName) {
    FColumns.push_back(new TObject);
    AddItem(FColumns.back());
    ChangeFieldName(static_cast<int>(FColumns.size()) - 1, FieldName);
  }

 private:
  std::vector<TObject*> FColumns;
};

// A connection, the node table and a data source on the benchmark file.
struct NodeTable {
  TADOConnection Conn{nullptr};
  TADOTable Table{nullptr};
  TDataSource Source{nullptr};
  NodeTable() {
    InitClasses();
    InitDataAccess();
    InitData();
    InitDataSetAdapters();
    Conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + BenchFile());
    Table.SetConnection(&Conn);
    Table.SetTableName("nodes");
    Source.SetDataSet(&Table);
  }
};

// Columns in the order of the Column enumeration.
DBNodeController* NewDBController(TDataSource* Source) {
  auto* c = NewObject<DBNodeController>(nullptr);
  c->BeginUpdate();
  for (const char* name : {"tid", "tparent", "tname", "tsortid", "tchartorder", "ttype"}) c->AddColumn(name);
  c->SetKeyFieldNames("tid");
  c->SetDataSource(Source);
  c->EndUpdate();
  return c;
}

NodeTable& OpenNodeTable() {
  static NodeTable* t = [] {
    auto* n = new NodeTable;
    n->Table.Open();
    return n;
  }();
  return *t;
}

// A controller loaded from the open table, shared by the benchmarks that do not load.
DBNodeController* LoadedDataset() {
  static DBNodeController* c = NewDBController(&OpenNodeTable().Source);
  return c;
}

// Steps through a statement's rows on the benchmark file, adding an integer
// of each row to a sum (so the rows are read); returns the row count.
int StepRows(sqlite3* Db, const char* Sql) {
  sqlite3_stmt* st = nullptr;
  CheckSqlite(sqlite3_prepare_v2(Db, Sql, -1, &st, nullptr), Db);
  const int cols = sqlite3_column_count(st);
  int n = 0;
  long long sum = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0; c < cols; ++c) {
      if (sqlite3_column_type(st, c) == SQLITE_TEXT)
        sum += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0);
      else
        sum += sqlite3_column_int64(st, c);
    }
    ++n;
  }
  sqlite3_finalize(st);
  benchmark::DoNotOptimize(sum);
  return n;
}

void SQLiteBench(benchmark::State& state, std::initializer_list<const char*> Statements) {
  sqlite3* db = nullptr;
  CheckSqlite(sqlite3_open_v2(BenchFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db);
  for (auto _ : state)
    for (const char* sql : Statements) benchmark::DoNotOptimize(StepRows(db, sql));
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}

constexpr const char* kSelectColumns = "SELECT tid, tparent, tname, tsortid, tchartorder, ttype FROM nodes";

// Opening the table and loading a new controller from it.
void BM_Load_Dataset(benchmark::State& state) {
  BenchFile();
  for (auto _ : state) {
    NodeTable t;
    t.Table.Open();
    DBNodeController* c = NewDBController(&t.Source);
    benchmark::DoNotOptimize(c->GetRowCount());
    state.PauseTiming();
    c->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// Reloading the controller from the open table (a full data change).
void BM_Reload_Dataset(benchmark::State& state) {
  DBNodeController* c = LoadedDataset();
  Reset(c);
  for (auto _ : state) {
    c->DataChanged(dcDataChanged, -1, -1);
    benchmark::DoNotOptimize(c->GetRowCount());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Load_SQLite(benchmark::State& state) {
  const std::string sql = std::string(kSelectColumns) + " ORDER BY rowid";
  SQLiteBench(state, {sql.c_str()});
}

void BM_SortInt_Dataset(benchmark::State& state) { SortBench(state, LoadedDataset(), cParent, uxDefaultDataControllerOptions); }

void BM_SortInt_SQLite(benchmark::State& state) { SQLiteBench(state, {"SELECT tid FROM nodes ORDER BY tparent, tid"}); }

void BM_SortText_Dataset(benchmark::State& state) { SortBench(state, LoadedDataset(), cName, uxDefaultDataControllerOptions); }

void BM_SortText_SQLite(benchmark::State& state) { SQLiteBench(state, {"SELECT tid FROM nodes ORDER BY tname, tid"}); }

void BM_SortTextAnsi_Dataset(benchmark::State& state) {
  SortBench(state, LoadedDataset(), cName, uxDefaultDataControllerOptions + TuxDataControllerOptions{dcoAnsiSort});
}

void BM_Group_Dataset(benchmark::State& state) { GroupBench(state, LoadedDataset()); }

// The groups with their counts, and the rows in group order.
void BM_Group_SQLite(benchmark::State& state) {
  SQLiteBench(state, {"SELECT tchartorder, COUNT(*) FROM nodes GROUP BY tchartorder",
                      "SELECT tid FROM nodes ORDER BY tchartorder, tid"});
}

void BM_FilterLike_Dataset(benchmark::State& state) {
  FilterBench(state, LoadedDataset(), cName, fckLike, Variant(LikePattern()));
}

void BM_FilterLike_SQLite(benchmark::State& state) {
  static const std::string sql = "SELECT tid FROM nodes WHERE tname LIKE '" + AnsiToUtf8(LikePattern()) + "'";
  SQLiteBench(state, {sql.c_str()});
}

void BM_FilterEqual_Dataset(benchmark::State& state) { FilterBench(state, LoadedDataset(), cOrder, fckEqual, Variant(42)); }

void BM_FilterEqual_SQLite(benchmark::State& state) {
  SQLiteBench(state, {"SELECT tid FROM nodes WHERE tchartorder = 42"});
}

BENCHMARK(BM_Load_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInt_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInt_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortText_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortText_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortTextAnsi_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortTextAnsi_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLike_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLike_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterEqual_Unbound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterEqual_Std)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInt_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInt_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortText_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortText_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortTextAnsi_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLike_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLike_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterEqual_Dataset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterEqual_SQLite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
