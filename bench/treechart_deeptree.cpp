// A story whose parents form one chain: every node the only child of the one
// before, 4,000 or 100,000 levels deep, shown by the data-aware tree with full
// loading. Measured one by one: loading the tree, moving the dataset to the
// deepest record (the tree expands every ancestor and scrolls to it), expanding
// the whole tree, painting it there, and freeing the window with its nodes.
// Argument: the depth.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "bench/node_table_fixture.h"
#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/db/ado.h"
#include "platform/db/init.h"
#include "treechart/kxdbtreeview.h"

namespace {

struct RemoveBenchFilesAtExit {
  std::map<int, std::string> paths;
  ~RemoveBenchFilesAtExit() {
    for (const auto& [depth, p] : paths) std::remove(p.c_str());
  }
} gBenchFiles;

// A story file of the chain Depth deep, one for each depth.
const std::string& ChainFile(int Depth) {
  auto found = gBenchFiles.paths.find(Depth);
  if (found != gBenchFiles.paths.end()) return found->second;
  const char* dir = std::getenv("PV_BENCH_DIR");
  const std::string p = (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                        ("pv_deeptree_bench_" + std::to_string(getpid()) + "_" + std::to_string(Depth) + ".t");
  std::filesystem::remove(p);
  sqlite3* db = nullptr;
  CheckSqlite(sqlite3_open(p.c_str(), &db), db);
  CheckSqlite(sqlite3_exec(db, ("CREATE TABLE Story1 (" + NodeTableColumns() + ")").c_str(), nullptr, nullptr, nullptr),
              db);
  CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
  InsertChainNodes(db, "Story1", Depth);
  CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  sqlite3_close(db);
  return gBenchFiles.paths[Depth] = p;
}

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

// A shown window with the tree over the chain's table, not yet opened.
struct ChainWindow {
  TForm* Form = nullptr;
  TADOTable* Table = nullptr;
  TkxDBTreeView* Tree = nullptr;

  explicit ChainWindow(int Depth) {
    InitOnce();
    Form = new TForm(Application, 0);
    Form->SetBounds(0, 0, 400, 600);
    Table = new TADOTable(Form);
    Table->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" +
                               ChainFile(Depth));
    Table->SetTableName("Story1");
    auto* source = new TDataSource(Form);
    source->SetDataSet(Table);
    Tree = new TkxDBTreeView(Form);
    Tree->SetParent(Form);
    Tree->SetAlign(alClient);
    Tree->SetOptions({trDBCanDelete, trDBConfirmDelete, trCanDBNavigate, trSmartRecordCopy});
    Tree->SetKeyField("tid");
    Tree->SetParentField("tparent");
    Tree->SetListField("tname");
    Tree->SetDisplayField("tsortid;tname");
    Tree->SetSeparatedSt(".");
    Tree->SetImageIndexField("timage");
    Tree->SetDataSource(source);
    Form->Show();
    Application->ProcessMessages();
  }
  ~ChainWindow() { delete Form; }
  void Open() {
    Table->Open();
    Table->First();
    Application->ProcessMessages();
  }
};

int DepthOf(benchmark::State& state) { return int(state.range(0)); }

void BM_DeepChainLoad(benchmark::State& state) {
  int nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<ChainWindow>(DepthOf(state));
    state.ResumeTiming();
    w->Table->Open();
    nodes = w->Tree->Items()->Count();
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
  if (nodes != DepthOf(state)) state.SkipWithError("node count");
}

// The dataset moves to the deepest record; the tree expands the chain down to
// it, selects it and scrolls it into view.
void BM_DeepChainGoToDeepest(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<ChainWindow>(DepthOf(state));
    w->Open();
    state.ResumeTiming();
    w->Table->Last();
    state.PauseTiming();
    TTreeNode* s = w->Tree->Selected();
    if (!s || s->Level() != DepthOf(state) - 1) state.SkipWithError("the deepest node is not selected");
    w.reset();
    state.ResumeTiming();
  }
}

void BM_DeepChainFullExpand(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<ChainWindow>(DepthOf(state));
    w->Open();
    state.ResumeTiming();
    w->Tree->FullExpand();
    state.PauseTiming();
    TTreeNode* last = w->Tree->Items()->GetFirstNode();
    while (last && last->GetFirstChild()) last = last->GetFirstChild();
    if (!last || (last->Parent() && !last->Parent()->Expanded()))
      state.SkipWithError("not expanded");
    w.reset();
    state.ResumeTiming();
  }
}

// One paint of the window scrolled to the deepest node (the indent runs far
// off to the right).
void BM_DeepChainPaintAtDeepest(benchmark::State& state) {
  auto w = std::make_unique<ChainWindow>(DepthOf(state));
  w->Open();
  w->Table->Last();
  for (auto _ : state) {
    w->Tree->Invalidate();
    w->Tree->Update();
  }
}

void BM_DeepChainFree(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<ChainWindow>(DepthOf(state));
    w->Open();
    w->Tree->FullExpand();
    state.ResumeTiming();
    w.reset();
  }
}

BENCHMARK(BM_DeepChainLoad)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeepChainGoToDeepest)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeepChainFullExpand)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeepChainPaintAtDeepest)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeepChainFree)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
