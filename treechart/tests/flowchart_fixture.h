// Shared fixture of the flow-chart tests: a shown form on the headless
// backend holding one chart, and a recorder of the chart's events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>

#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "treechart/flowchart.h"

// Registers the chart editor's window descriptions from the source tree's
// resources/forms, as the program's start-up does with the embedded copies.
inline void RegisterChartForms() {
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  static bool Done = false;
  if (Done) return;
  Done = true;
  const std::filesystem::path Dir = std::filesystem::path(PV_SOURCE_DIR) / "resources" / "forms";
  for (const char* Name : {"TFChartEditor", "TFEditObject", "TFEditConnection", "TFSelectUnion"}) {
    std::ifstream In(Dir / (std::string(Name) + ".txt"), std::ios::binary);
    if (!In) continue;
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    RegisterResource(RT_RCDATA, Name, Store.back().data(), Store.back().size());
  }
}

// The chart's stream as bytes.
inline std::string FcBytes(TkxCustomFlowChart* C) {
  TMemoryStream s;
  C->SaveToStream(&s);
  return std::string(static_cast<const char*>(s.Memory()), std::size_t(s.Size()));
}

// Counts the chart's events.
class TFcRecorder : public TObject {
  PV_CLASS(TFcRecorder, TObject)
 public:
  int Changes = 0, Creates = 0, Deletions = 0, Selections = 0;
  bool Allow = true;
  void Change(TObject*, TkxFcItem*) { ++Changes; }
  void Create(TObject*, TkxFcItem*) { ++Creates; }
  void Deletion(TObject*, TkxFcItem*) { ++Deletions; }
  void Selected(TObject*, TkxFcItem*) { ++Selections; }
  void Selection(TObject*, TkxFcItem*, bool& A) { A = Allow; }
  void Attach(TkxCustomFlowChart* C) {
    C->OnChange = TkxFcEvent(this, &TFcRecorder::Change);
    C->OnCreateItem = TkxFcEvent(this, &TFcRecorder::Create);
    C->OnDeletion = TkxFcEvent(this, &TFcRecorder::Deletion);
    C->OnSelected = TkxFcEvent(this, &TFcRecorder::Selected);
    C->OnSelection = TkxFcAllowEvent(this, &TFcRecorder::Selection);
  }
};

class FlowChartTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TkxFlowChart* Chart = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    kxInitFlowChartClasses();
    Form = new TForm(Application, 0);
    Form->SetBounds(40, 40, 700, 520);
    Form->Show();
    Chart = ::NewObject<TkxFlowChart>(Form);
    Chart->SetParent(Form);
    Chart->SetBounds(10, 10, 640, 440);
    Chart->Font()->SetName("Tahoma");
    Chart->Font()->SetHeight(-11);
    Chart->HandleNeeded();
    Pump();
  }
  void TearDown() override {
    delete Form;
    CtlTest::TearDown();
  }
  TRawImage Shot() {
    Chart->Repaint();
    Pump();
    const TPoint o = Chart->ClientToScreen(TPoint{0, 0});
    const RECT r{o.x, o.y, o.x + Chart->ClientWidth(), o.y + Chart->ClientHeight()};
    TRawImage img;
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    img.Pixels = hb->ComposeScreen(r);
    return img;
  }
  static COLORREF Rgb(std::uint32_t P) { return RGB(Byte(P >> 16), Byte(P >> 8), Byte(P)); }
  // A pixel of the chart's client area as shown (0x00BBGGRR).
  COLORREF Px(int X, int Y) {
    Pump();
    const TPoint s = Chart->ClientToScreen(TPoint{X, Y});
    return Rgb(hb->ScreenPixel(s.x, s.y));
  }
};
