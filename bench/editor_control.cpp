// The editor control on a 5 MB Chinese text: opening it (loading the file with
// word wrap, line numbers and rule-driven colouring on, and painting the first
// screen) next to reading the same file into memory and splitting it into
// lines; and one keystroke in the middle of the text, repainted.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "bench/editor_text_fixture.h"
#include "editor/txtedit.h"
#include "editor/txteditinit.h"
#include "editor/txtrules.h"
#include "platform/backend/headless/headless.h"
#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"

namespace {

// The text in a file of a folder of its own, removed at exit.
struct TextFile {
  std::string Dir, Path;
  std::size_t Size = 0;
  TextFile() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvedbenchXXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    Dir = tmpl;
    Path = Dir + "/novel.txt";
    const std::string text = MakeChineseText(5u << 20);
    Size = text.size();
    std::ofstream(Path, std::ios::binary) << text;
  }
  ~TextFile() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
};

const TextFile& File() {
  static const TextFile file;
  return file;
}

AnsiString RulesText() {
  std::ifstream in(std::string(PV_SOURCE_DIR) + "/editor/tests/data/prose.h", std::ios::binary);
  return AnsiString((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A form with one editor styled as the program styles its body texts.
struct EditorWindow {
  TForm* Form;
  TTxtEdit* Editor;
  TTxtRules* Rules;
  EditorWindow() {
    static bool once = false;
    if (!once) {
      once = true;
      HeadlessBackend::Install();
      InitClasses();
      InitControls();
      InitEditorClasses();
    }
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 800, 600);
    Rules = new TTxtRules(Form);
    Rules->LoadFromText(RulesText());
    Editor = NewObject<TTxtEdit>(Form);
    Editor->SetParent(Form);
    Editor->SetAlign(alClient);
    Editor->Gutter()->SetShowLineNumbers(true);
    Editor->SetWordWrap(true);
    Editor->SetHighlighter(Rules);
    Form->Show();
    UpdateWindow(Editor->Handle());
  }
  ~EditorWindow() { delete Form; }
  void Paint() {
    UpdateWindow(Editor->Handle());
  }
};

void BM_ReadFileAndSplitLines(benchmark::State& state) {
  const TextFile& f = File();
  for (auto _ : state) {
    std::ifstream in(f.Path, std::ios::binary);
    std::string text(f.Size, '\0');
    in.read(text.data(), std::streamsize(f.Size));
    const std::vector<std::string> lines = SplitLines(text);
    benchmark::DoNotOptimize(lines.size());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Size));
}
BENCHMARK(BM_ReadFileAndSplitLines)->Unit(benchmark::kMillisecond);

void BM_OpenInEditorAndPaint(benchmark::State& state) {
  const TextFile& f = File();
  int rows = 0;
  for (auto _ : state) {
    auto w = std::make_unique<EditorWindow>();
    w->Editor->Lines()->LoadFromFile(f.Path);
    w->Paint();
    rows = w->Editor->DisplayRowCount();
    state.PauseTiming();
    w.reset();  // closing the window is not part of opening
    state.ResumeTiming();
  }
  state.counters["lines"] = double(rows);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Size));
}
BENCHMARK(BM_OpenInEditorAndPaint)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInTheMiddle(benchmark::State& state) {
  EditorWindow w;
  w.Editor->Lines()->LoadFromFile(File().Path);
  const int middle = w.Editor->Lines()->Count() / 2;
  w.Editor->SetCaretXY(TBufferCoord{5, middle});
  w.Paint();
  const char keys[] = {'x', 'y'};
  int i = 0;
  for (auto _ : state) {
    SendMessageA(w.Editor->Handle(), WM_CHAR, WPARAM(keys[i++ & 1]), 0);
    w.Paint();
  }
}
BENCHMARK(BM_KeystrokeInTheMiddle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
