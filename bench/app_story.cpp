// Opening a story: a story file whose novel table has 10,000 nodes with about
// 200 Chinese characters of body text each, opened in the story window as the
// frame opens it (the alias list and the novel table opened, the tree loaded
// in its stored view, the first node's text in the body-text editor, one
// paint), next to reading the same rows raw through SQLite (every column of
// every row) in the same run. The process's peak memory is reported.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_init.h"
#include "app/mainform.h"
#include "app/program.h"
#include "app/storywrite.h"
#include "bars/bars_init.h"
#include "bench/node_table_fixture.h"
#include "docking/kxdockmanager.h"
#include "editor/txteditinit.h"
#include "framework/framework_init.h"
#include "inplace/inplace_init.h"
#include "inspector/inspector_init.h"
#include "platform/backend/headless/headless.h"
#include "platform/classes/init.h"
#include "platform/classes/resources_init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/dlgscript.h"
#include "platform/controls/forms.h"
#include "platform/db/init.h"
#include "treechart/chartsinit.h"
#include "treechart/kxtreeview.h"

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
    sqlite3_stmt* ins = nullptr;
    CheckSqlite(sqlite3_prepare_v2(db,
                                   "INSERT INTO Story1 (tid, tparent, tname, tsortid, timage, tchartwidth, "
                                   "tchartheight, tchartcolor, ttext2) VALUES (?1, ?2, ?3, ?4, 0, 60, 30, 4278190104, ?5)",
                                   -1, &ins, nullptr),
                db);
    static const char* const kWords[] = {"春", "夏", "秋", "冬", "山", "水", "风", "雨", "城", "夜"};
    std::string body;
    for (int k = 0; k < 22; ++k) body += "夜色渐深，城中灯火";  // 198 characters
    for (int i = 1; i <= kNodes; ++i) {
      sqlite3_bind_int(ins, 1, i);
      sqlite3_bind_int(ins, 2, i <= 10 ? 0 : i / 10);
      const std::string name = std::string("第") + std::to_string(i) + "节 " + kWords[i % 10] + kWords[(i / 10) % 10];
      sqlite3_bind_text(ins, 3, name.c_str(), -1, SQLITE_TRANSIENT);
      char sort[8];
      std::snprintf(sort, sizeof sort, "%02d", i % 10);
      sqlite3_bind_text(ins, 4, sort, -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(ins, 5, body.c_str(), -1, SQLITE_STATIC);
      CheckSqlite(sqlite3_step(ins), db);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    return r;
  }();
  return root;
}

std::string StoryFile() { return (Root() / "story" / "big.t").string(); }

void BM_RawSqliteRead(benchmark::State& state) {
  long long sum = 0;
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open(StoryFile().c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM Story1 ORDER BY rowid", -1, &st, nullptr);
    const int cols = sqlite3_column_count(st);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int c = 0; c < cols; ++c) {
        switch (sqlite3_column_type(st, c)) {
          case SQLITE_INTEGER: sum += sqlite3_column_int64(st, c); break;
          case SQLITE_TEXT: sum += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0); break;
          case SQLITE_BLOB: sum += sqlite3_column_bytes(st, c); break;
          default: break;
        }
      }
      ++n;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (n != kNodes) state.SkipWithError("row count");
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_RawSqliteRead)->Unit(benchmark::kMillisecond);

// The workbench as the program builds it, without a story.
void StartWorkbench() {
  static bool done = false;
  if (done) return;
  done = true;
  HeadlessBackend::Install();
  InitClasses();
  InitResources();
  InitDataAccess();
  InitControls();
  kxInitTreeViews();
  InitEditorClasses();
  InitChartClasses();
  InitFramework();
  kxInitDocking();
  InitBars();
  InitInplace();
  InitInspector();
  InitApp();
  SetDialogAnswersRequired(false);
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

}  // namespace

BENCHMARK_MAIN();
