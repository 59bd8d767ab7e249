// Reading and writing a window description of a few hundred components, as a
// large form does at start-up.
#include <benchmark/benchmark.h>

#include "platform/classes/classes.h"
#include "platform/classes/filer.h"
#include "platform/classes/init.h"
#include "platform/classes/typinfo.h"

namespace {

enum TBenchAlign { baNone, baTop, baClient };
}  // namespace
PV_ENUM_NAMES(TBenchAlign, "baNone baTop baClient")

namespace {

class TBenchControl : public TComponent {
  PV_CLASS(TBenchControl, TComponent)
 public:
  explicit TBenchControl(TComponent* AOwner) : TComponent(AOwner) {}
  AnsiString Caption;
  int Left = 0, Top = 0, Width = 0;
  TBenchAlign Align = baNone;
  TComponent* Link = nullptr;
  TNotifyEvent OnClick;
};

class TBenchForm : public TComponent {
  PV_CLASS(TBenchForm, TComponent)
 public:
  explicit TBenchForm(TComponent* AOwner) : TComponent(AOwner) {}
  void Click(TObject*) {}
  void GetChildren(TGetChildProc Proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
  }
};

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  InitClasses();
  RegisterProps<TBenchControl>([](TPropBuilder<TBenchControl>& p) {
    p.Field("Caption", &TBenchControl::Caption);
    p.Field("Left", &TBenchControl::Left).Default(0);
    p.Field("Top", &TBenchControl::Top).Default(0);
    p.Field("Width", &TBenchControl::Width).Default(0);
    p.Field("Align", &TBenchControl::Align).Default(baNone);
    p.Field("Link", &TBenchControl::Link);
    p.Field("OnClick", &TBenchControl::OnClick);
  });
  RegisterHandlers<TBenchForm>([](THandlerBuilder<TBenchForm>& h) { h.Handler("Click", &TBenchForm::Click); });
  RegisterClasses({TBenchControl::StaticClass(), TBenchForm::StaticClass()});
}

AnsiString Description(int count) {
  AnsiString s = "object BenchForm: TBenchForm\n";
  for (int i = 0; i < count; ++i) {
    AnsiString n = std::to_string(i);
    s += "  object C" + n + ": TBenchControl\n    Caption = '\xD6\xD0\xCE\xC4 " + n + "'\n    Left = " + n +
         "\n    Top = 8\n    Width = 75\n    Align = baTop\n    Link = C" + std::to_string((i + 1) % count) +
         "\n    OnClick = Click\n  end\n";
  }
  return s + "end\n";
}

void BM_ReadDescription(benchmark::State& state) {
  Setup();
  AnsiString text = Description(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TBenchForm form(nullptr);
    ReadComponentFromText(text, &form);
    benchmark::DoNotOptimize(form.ComponentCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadDescription)->Arg(300);

void BM_WriteDescription(benchmark::State& state) {
  Setup();
  TBenchForm form(nullptr);
  ReadComponentFromText(Description(static_cast<int>(state.range(0))), &form);
  for (auto _ : state) benchmark::DoNotOptimize(WriteComponentToText(&form));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteDescription)->Arg(300);

}  // namespace

BENCHMARK_MAIN();
