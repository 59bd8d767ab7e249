// Shared fixture of the organisation-chart tests: a shown form on the
// headless backend holding one chart, a recorder of the chart's events, and a
// helper that builds a tree from a short text ("A(A1,A2),B").
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/tests/ctltest.h"
#include "treechart/orgchart.h"

// Records the chart's events as "Change:A", "Expanded:B" ...
class TOcRecorder : public TObject {
  PV_CLASS(TOcRecorder, TObject)
 public:
  std::vector<std::string> Log;
  bool Allow = true;
  static std::string Name(TkxOcNode* N) { return N ? std::string(N->Text()) : std::string("nil"); }
  void Change(TObject*, TkxOcNode* N) { Log.push_back("Change:" + Name(N)); }
  void Expanded(TObject*, TkxOcNode* N) { Log.push_back("Expanded:" + Name(N)); }
  void Collapsed(TObject*, TkxOcNode* N) { Log.push_back("Collapsed:" + Name(N)); }
  void Deletion(TObject*, TkxOcNode* N) { Log.push_back("Deletion:" + Name(N)); }
  void Expansion(TObject*, TkxOcNode* N, bool& A) {
    Log.push_back("Expansion:" + Name(N));
    A = Allow;
  }
  void Changing(TObject*, TkxOcNode* N, bool& A) {
    Log.push_back("Changing:" + Name(N));
    A = Allow;
  }
  void Attach(TkxCustomOrgChart* C) {
    C->OnChange = TkxOcEvent(this, &TOcRecorder::Change);
    C->OnExpanded = TkxOcEvent(this, &TOcRecorder::Expanded);
    C->OnCollapsed = TkxOcEvent(this, &TOcRecorder::Collapsed);
    C->OnDeletion = TkxOcEvent(this, &TOcRecorder::Deletion);
    C->OnExpansion = TkxOcAllowEvent(this, &TOcRecorder::Expansion);
    C->OnChanging = TkxOcAllowEvent(this, &TOcRecorder::Changing);
  }
};

class OrgChartTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TkxCustomOrgChart* Chart = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    Form = new TForm(Application, 0);
    Form->SetBounds(40, 40, 700, 520);
    Form->Show();
    Chart = NewObject<TkxCustomOrgChart>(Form);
    Chart->SetParent(Form);
    Chart->SetBounds(10, 10, 640, 440);
    Chart->HandleNeeded();
    Pump();
  }
  void TearDown() override {
    delete Form;
    CtlTest::TearDown();
  }

  // Adds the nodes of Tree under Parent: names separated by commas, children
  // in brackets. Every node is expanded.
  void Build(const std::string& Tree, TkxOcNode* Parent = nullptr) {
    std::size_t pos = 0;
    BuildAt(Tree, pos, Parent);
    Chart->ExpandAll();
  }
  // The tree as the same text.
  std::string Layout(TkxOcNode* First = nullptr, bool Top = true) {
    if (Top) First = Chart->FirstNode();
    std::string s;
    for (TkxOcNode* n = First; n; n = n->NextSibling()) {
      if (!s.empty()) s += ",";
      s += n->Text();
      if (n->Count()) s += "(" + Layout(n->FirstChild(), false) + ")";
    }
    return s;
  }
  // The chart's client area as shown on the screen, after a repaint.
  TRawImage Shot(TWinControl* C = nullptr) {
    if (!C) C = Chart;
    C->Repaint();
    Pump();
    const TPoint o = C->ClientToScreen(TPoint{0, 0});
    const RECT r{o.x, o.y, o.x + C->ClientWidth(), o.y + C->ClientHeight()};
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
  TkxOcNode* Find(const std::string& Name) {
    for (TkxOcNode* n = Chart->FirstNode(); n; n = n->GetNext())
      if (std::string(n->Text()) == Name) return n;
    return nullptr;
  }

 private:
  void BuildAt(const std::string& Tree, std::size_t& Pos, TkxOcNode* Parent) {
    while (Pos < Tree.size() && Tree[Pos] != ')') {
      std::size_t end = Tree.find_first_of(",()", Pos);
      if (end == std::string::npos) end = Tree.size();
      TkxOcNode* n = Chart->Add(Parent, 0);
      n->SetText(Tree.substr(Pos, end - Pos));
      Pos = end;
      if (Pos < Tree.size() && Tree[Pos] == '(') {
        ++Pos;
        BuildAt(Tree, Pos, n);
        ++Pos;  // ')'
      }
      if (Pos < Tree.size() && Tree[Pos] == ',') ++Pos;
    }
  }
};
