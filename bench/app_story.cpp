// Opening a story: a story file whose novel table has 10,000 nodes with about
// 200 Chinese characters of body text each, opened in the story window as the
// frame opens it (the alias list and the novel table opened, the tree loaded
// in its stored view, the first node's text in the body-text editor, one
// paint), next to reading the same rows raw through SQLite (every column of
// every row) in the same run. The process's peak memory is reported.
//
// A story whose parents form one chain (4,000 or 100,000 levels) in the story
// window: moving the dataset to the deepest record (the tree expands the chain
// down to it and shows it) and expanding the whole tree, each with the paint
// that follows.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/mainform.h"
#include "app/program.h"
#include "app/storywrite.h"
#include "bench/node_table_fixture.h"
#include "main/startup.h"
#include "platform/backend/headless/headless.h"
#include "platform/controls/forms.h"

namespace {

namespace fs = std::filesystem;
constexpr int kNodes = 10000;

struct RemoveBenchFolderAtExit {
  fs::path path;
  ~RemoveBenchFolderAtExit() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
  }
} gBenchFolder;

// An installation with the shipped library and template, and the story: ten
// volumes of chapters of scenes, ten children each, in table Story1.
const fs::path& Root() {
  static fs::path root = [] {
    const char* base = std::getenv("PV_BENCH_DIR");
    fs::path r = (base ? fs::path(base) : fs::temp_directory_path()) / ("pv_story_bench_" + std::to_string(getpid()));
    fs::remove_all(r);
    for (const char* d : {"bin", "data", "story", "out"}) fs::create_directories(r / d);
    const fs::path shipped = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "penvarro" / "data";
    fs::copy_file(shipped / "lib.l", r / "data" / "lib.l");
    fs::copy_file(shipped / "template.te", r / "data" / "template.te");
    fs::copy_file(shipped / "template.te", r / "story" / "big.t");
    gBenchFolder.path = r;
    sqlite3* db = nullptr;
    CheckSqlite(sqlite3_open((r / "story" / "big.t").c_str(), &db), db);
    CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    std::string body;
    for (int k = 0; k < 22; ++k) body += "夜色渐深，城中灯火";  // 198 characters
    InsertNovelNodes(db, "Story1", kNodes, body);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    return r;
  }();
  return root;
}

std::string StoryFile() { return (Root() / "story" / "big.t").string(); }

// The story of a chain Depth deep, one file for each depth.
std::string ChainStoryFile(int Depth) {
  const fs::path f = Root() / "story" / ("chain" + std::to_string(Depth) + ".t");
  if (!fs::exists(f)) {
    fs::copy_file(Root() / "data" / "template.te", f);
    sqlite3* db = nullptr;
    CheckSqlite(sqlite3_open(f.c_str(), &db), db);
    CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    InsertChainNodes(db, "Story1", Depth);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
  }
  return f.string();
}

void BM_RawSqliteRead(benchmark::State& state) {
  long long sum = 0;
  for (auto _ : state)
    if (ReadEveryColumn(StoryFile(), "SELECT * FROM Story1 ORDER BY rowid", sum) != kNodes)
      state.SkipWithError("row count");
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_RawSqliteRead)->Unit(benchmark::kMillisecond);

// The workbench as the program builds it, without a story.
void StartWorkbench() {
  static bool done = false;
  if (done) return;
  done = true;
  HeadlessBackend::Install();
  InitProgram();
  const std::string exe = (Root() / "bin" / "penvro").string();
  const char* argv[] = {exe.c_str()};
  CreateWorkbench(1, argv);
  MainForm->Show();
  Application->ProcessMessages();
}

double PeakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0;
}

void BM_OpenStory(benchmark::State& state) {
  StartWorkbench();
  const AnsiString file = StoryFile();
  int nodes = 0;
  std::size_t text = 0;
  for (auto _ : state) {
    TStoryWrite* w = OpenStoryWindow(MainForm, file, "big", false);
    Application->ProcessMessages();  // shown and painted
    nodes = w->FolderTree->Items()->Count();
    text = w->Text1TxtEdit->Text().size();
    state.PauseTiming();
    w->Close();
    Application->ProcessMessages();
    state.ResumeTiming();
  }
  if (nodes != kNodes) state.SkipWithError("node count");
  if (text < 390) state.SkipWithError("first node's text");
  state.counters["peak_MiB"] = PeakMiB();
}
BENCHMARK(BM_OpenStory)->Unit(benchmark::kMillisecond);

// The deepest node reached from the dataset (Deepest) or every node expanded.
void DeepStory(benchmark::State& state, bool Deepest) {
  StartWorkbench();
  const int depth = int(state.range(0));
  const AnsiString file = ChainStoryFile(depth);
  for (auto _ : state) {
    state.PauseTiming();
    TStoryWrite* w = OpenStoryWindow(MainForm, file, "chain", false);
    Application->ProcessMessages();
    TkxDBTreeView* tree = w->FolderTree;
    if (tree->Items()->Count() != depth) state.SkipWithError("node count");
    state.ResumeTiming();
    if (Deepest) tree->DataSource()->DataSet()->Last();
    else tree->FullExpand();
    Application->ProcessMessages();  // painted
    state.PauseTiming();
    TTreeNode* last = tree->Items()->GetFirstNode();
    while (last && last->GetFirstChild()) last = last->GetFirstChild();
    if (!last || !last->IsVisible()) state.SkipWithError("the deepest node is not shown");
    w->Close();
    Application->ProcessMessages();
    state.ResumeTiming();
  }
}
void BM_DeepStoryGoToDeepest(benchmark::State& state) { DeepStory(state, true); }
void BM_DeepStoryFullExpand(benchmark::State& state) { DeepStory(state, false); }
BENCHMARK(BM_DeepStoryGoToDeepest)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeepStoryFullExpand)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
