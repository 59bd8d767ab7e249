// Opening a novel's node tree: a 10,000-node table with Chinese names and
// body texts, shown by the data-aware tree with full loading (the table
// opened, every record read into a node of the tree window), next to reading
// the same rows raw through SQLite (every column of every row), in one run.
// Argument 1: the table with body texts; 0: the same nodes without them.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "bench/node_table_fixture.h"
#include "platform/db/ado.h"
#include "platform/db/init.h"
#include "treechart/kxdbtreeview.h"

namespace {

constexpr int kNodes = 10000;

RemoveBenchFileAtExit gBenchFileCleanup;

// The novel: ten volumes of chapters of scenes, four levels with ten children
// each, every node with a Chinese name, an order label and some body text
// (table Story1); the same tree without body texts (table Outline1).
const std::string& BenchFile() {
  static std::string path = [] {
    const char* dir = std::getenv("PV_BENCH_DIR");
    std::string p = (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                    ("pv_tree_bench_" + std::to_string(getpid()) + ".t");
    std::filesystem::remove(p);
    sqlite3* db = nullptr;
    CheckSqlite(sqlite3_open(p.c_str(), &db), db);
    CheckSqlite(sqlite3_exec(db, ("CREATE TABLE Story1 (" + NodeTableColumns() + ")").c_str(), nullptr, nullptr, nullptr), db);
    CheckSqlite(sqlite3_exec(db, ("CREATE TABLE Outline1 (" + NodeTableColumns() + ")").c_str(), nullptr, nullptr, nullptr), db);
    CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    std::string body;
    for (int k = 0; k < 60; ++k) body += "夜色渐深，城中灯火";
    InsertNovelNodes(db, "Story1", kNodes, body);
    // The same tree without body texts: an outline.
    CheckSqlite(sqlite3_exec(db,
                       "INSERT INTO Outline1 (tid, tparent, tname, tsortid, timage, tchartwidth, tchartheight, "
                       "tchartcolor, ttype) SELECT tid, tparent, tname, tsortid, timage, tchartwidth, tchartheight, "
                       "tchartcolor, ttype FROM Story1",
                       nullptr, nullptr, nullptr),
          db);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    gBenchFileCleanup.path = p;
    return p;
  }();
  return path;
}

const char* TableOf(benchmark::State& state) { return state.range(0) ? "Story1" : "Outline1"; }

// Every column of every row, as a reader of the table must take them.
void BM_RawSqliteRead(benchmark::State& state) {
  long long sum = 0;
  const std::string sql = std::string("SELECT * FROM ") + TableOf(state) + " ORDER BY rowid";
  for (auto _ : state)
    if (ReadEveryColumn(BenchFile(), sql, sum) != kNodes) state.SkipWithError("row count");
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kNodes);
}
BENCHMARK(BM_RawSqliteRead)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void InitOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  InitClasses();
  InitDataAccess();
  InitControls();
  InitForms();
  kxInitTreeViews();
}

// The story window's tree: the table opened and every node loaded, with the
// order label and the name as its text.
void BM_TreeOpenFullLoad(benchmark::State& state) {
  InitOnce();
  const AnsiString conn = "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + BenchFile();
  int nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* form = new TForm(Application, 0);
    form->SetBounds(0, 0, 400, 600);
    auto* table = new TADOTable(form);
    table->SetConnectionString(conn);
    table->SetTableName(TableOf(state));
    auto* source = new TDataSource(form);
    source->SetDataSet(table);
    auto* tree = new TkxDBTreeView(form);
    tree->SetParent(form);
    tree->SetAlign(alClient);
    tree->SetKeyField("tid");
    tree->SetParentField("tparent");
    tree->SetListField("tname");
    tree->SetDisplayField("tsortid;tname");
    tree->SetSeparatedSt(".");
    tree->SetImageIndexField("timage");
    tree->SetDataSource(source);
    tree->HandleNeeded();
    state.ResumeTiming();
    table->Open();
    nodes = tree->Items()->Count();
    state.PauseTiming();
    delete form;
    state.ResumeTiming();
  }
  if (nodes != kNodes) state.SkipWithError("node count");
  state.SetItemsProcessed(state.iterations() * kNodes);
}
BENCHMARK(BM_TreeOpenFullLoad)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
