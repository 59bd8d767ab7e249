// Chart speed: laying out and painting an organisation chart of 2,000 nodes,
// and loading and painting a flow chart of 500 objects. The anchor is the
// repaint of an empty chart of the same size (the background fill and the
// window manager's work alone).
#include <benchmark/benchmark.h>

#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/controls/forms.h"
#include "platform/rtl/streams.h"
#include "treechart/flowchart.h"
#include "treechart/orgchart.h"

namespace {

// A shown form of its own for each chart, so that none covers another.
TForm* BenchForm(int Index) {
  static bool init = [] {
    InitClasses();
    InitControls();
    InitForms();
    return true;
  }();
  (void)init;
  static TForm* forms[3] = {};
  if (!forms[Index]) {
    forms[Index] = new TForm(Application, 0);
    forms[Index]->SetBounds(0, 0, 1640, 1060);
    forms[Index]->Show();
  }
  forms[Index]->BringToFront();
  return forms[Index];
}

// 20 top-level nodes, each with 9 children of 10 leaves: 2,000 nodes.
TkxCustomOrgChart* BenchOrgChart() {
  static TkxCustomOrgChart* chart = [] {
    auto* c = NewObject<TkxCustomOrgChart>(BenchForm(0));
    c->SetParent(BenchForm(0));
    c->SetBounds(0, 0, 1600, 1000);
    c->BeginUpdate();
    for (int t = 0; t < 20; ++t) {
      TkxOcNode* top = c->Add(nullptr, 0);
      top->SetText("Volume " + std::to_string(t));
      for (int m = 0; m < 9; ++m) {
        TkxOcNode* mid = c->Add(top, 0);
        mid->SetText("Chapter");
        for (int l = 0; l < 10; ++l) c->Add(mid, 0)->SetText("Scene");
      }
    }
    c->EndUpdate();
    c->ExpandAll();
    c->SetZoom(true);  // the whole chart in the window
    return c;
  }();
  return chart;
}

void BM_OrgChartLayout2000(benchmark::State& state) {
  TkxCustomOrgChart* c = BenchOrgChart();
  Word gap = 16;
  for (auto _ : state) {
    c->SetIndentX(gap = gap == 16 ? 17 : 16);  // drops every cached extent
    c->UpdateLayout();
    benchmark::DoNotOptimize(c->TotalWidth());
  }
  state.counters["nodes"] = c->Count();
}
BENCHMARK(BM_OrgChartLayout2000)->Unit(benchmark::kMillisecond);

// The whole chart shrunk into the window.
void BM_OrgChartPaint2000Zoomed(benchmark::State& state) {
  TkxCustomOrgChart* c = BenchOrgChart();
  BenchForm(0);
  c->SetZoom(true);
  for (auto _ : state) c->Repaint();
}
BENCHMARK(BM_OrgChartPaint2000Zoomed)->Unit(benchmark::kMillisecond);

// At full size, a window's worth from the middle of the chart.
void BM_OrgChartPaint2000Window(benchmark::State& state) {
  TkxCustomOrgChart* c = BenchOrgChart();
  BenchForm(0);
  c->SetZoom(false);
  c->UpdateLayout();
  c->ScrollTo(c->TotalWidth() / 2, 0);
  c->Repaint();
  {
    HDC dc = GetDC(c->Handle());
    int ink = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 1600; x += 3) ink += (GetPixel(dc, x, y) & 0xFFFFFF) != 0xFFFFFF;
    ReleaseDC(c->Handle(), dc);
    state.counters["ink"] = ink;
  }
  for (auto _ : state) c->Repaint();
  c->SetZoom(true);
}
BENCHMARK(BM_OrgChartPaint2000Window)->Unit(benchmark::kMillisecond);

std::string BenchFlowStream() {
  auto* c = NewObject<TkxFlowChart>(BenchForm(1));
  TkxFcObject* prev = nullptr;
  const TkxFcShapeKind kinds[] = {fskRectangle, fskEllipse, fskRoundRect, fskDiamond, fskHexagon};
  for (int i = 0; i < 500; ++i) {
    TkxFcObject* o = c->CreateObject((i % 25) * 120, (i / 25) * 90, 100, 60, kinds[i % 5]);
    o->SetText("Step " + std::to_string(i));
    o->SetHorzTextPos(fhpCenter);
    o->SetVertTextPos(fvpCenter);
    if (prev) {
      TkxFcConnection* k = c->CreateConnection(prev, o, 14, 6);
      k->DestArrow()->SetArrowKind(fakArrow);
      k->DestArrow()->SetWidth(10);
      k->DestArrow()->SetHeight(8);
      if (i % 7 == 0) k->SetStyle(flsRectHorizontal);
    }
    prev = o;
  }
  TMemoryStream s;
  c->SaveToStream(&s);
  delete c;
  return std::string(static_cast<const char*>(s.Memory()), std::size_t(s.Size()));
}

TkxFlowChart* BenchFlowChart() {
  static TkxFlowChart* chart = [] {
    auto* c = NewObject<TkxFlowChart>(BenchForm(1));
    c->SetParent(BenchForm(1));
    c->SetBounds(0, 0, 1600, 1000);
    c->SetZoom(0);  // the whole chart in the window
    return c;
  }();
  return chart;
}

void BM_FlowChartLoad500(benchmark::State& state) {
  static const std::string bytes = BenchFlowStream();
  TkxFlowChart* c = BenchFlowChart();
  for (auto _ : state) {
    TReadOnlyMemoryStream s(bytes.data(), Int64(bytes.size()));
    c->LoadFromStream(&s);
  }
  state.counters["objects"] = c->ObjectCount();
}
BENCHMARK(BM_FlowChartLoad500)->Unit(benchmark::kMillisecond);

void BM_FlowChartPaint500(benchmark::State& state) {
  static const std::string bytes = BenchFlowStream();
  TkxFlowChart* c = BenchFlowChart();
  TReadOnlyMemoryStream s(bytes.data(), Int64(bytes.size()));
  c->LoadFromStream(&s);
  BenchForm(1);
  for (auto _ : state) c->Repaint();
}
BENCHMARK(BM_FlowChartPaint500)->Unit(benchmark::kMillisecond);

// The anchor: an empty chart of the same size repainted.
void BM_EmptyChartRepaintAnchor(benchmark::State& state) {
  static TkxFlowChart* empty = [] {
    auto* c = NewObject<TkxFlowChart>(BenchForm(2));
    c->SetParent(BenchForm(2));
    c->SetBounds(0, 0, 1600, 1000);
    return c;
  }();
  BenchForm(2);
  for (auto _ : state) empty->Repaint();
}
BENCHMARK(BM_EmptyChartRepaintAnchor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
