// Undoing a replace-all over a 5 MB Chinese text: the replace-all (every
// "李四" replaced by "王五", tens of thousands of records in one step) is
// made outside the timing, then one Undo that gives back the whole text is
// timed; a Redo outside the timing makes the next replace-all unnecessary.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/editor_text_fixture.h"
#include "editor/txtedit.h"
#include "editor/txteditinit.h"
#include "editor/txteditsearch.h"
#include "platform/backend/headless/headless.h"
#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"

namespace {

// A form with one editor with the program's options for its body texts.
struct EditorWindow {
  TForm* Form;
  TTxtEdit* Editor;
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
    Editor = NewObject<TTxtEdit>(Form);
    Editor->SetParent(Form);
    Editor->SetAlign(alClient);
    Editor->Gutter()->SetShowLineNumbers(true);
    Editor->SetWordWrap(true);
    Editor->SetOptions(Editor->Options() + TTxtEditorOptions{eoHideShowScrollbars, eoRightMouseMovesCursor,
                                                              eoTrimTrailingSpaces});
    Editor->SetSearchEngine(NewObject<TTxtEditSearch>(Form));
    Form->Show();
    UpdateWindow(Editor->Handle());
  }
  ~EditorWindow() { delete Form; }
};

void BM_UndoReplaceAll(benchmark::State& state) {
  EditorWindow w;
  w.Editor->Lines()->SetText(MakeChineseText(5u << 20));
  const AnsiString before = w.Editor->Lines()->GetText();
  const int matches = w.Editor->FindReplace("\xC0\xEE\xCB\xC4", "\xCD\xF5\xCE\xE5", {sfReplaceAll, sfEntireScope});
  const int records = w.Editor->UndoList()->Count();
  for (auto _ : state) {
    w.Editor->Undo();
    state.PauseTiming();
    if (w.Editor->Lines()->GetText() != before || w.Editor->CanUndo()) {
      state.SkipWithError("one Undo did not give back the whole text");
      break;
    }
    w.Editor->Redo();
    state.ResumeTiming();
  }
  state.counters["matches"] = double(matches);
  state.counters["records"] = double(records);
}
BENCHMARK(BM_UndoReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
