// Shared fixture of the page-control tests: a clean window manager on the
// headless backend with the framework and the page control started, a form to
// hold controls, and a painter with plain, known metrics for testing the
// layout rules apart from any style.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "framework/framework_init.h"
#include "pagecontrol/pagecontrol_init.h"
#include "pagecontrol/uxpc.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcutils.h"
#include "platform/controls/tests/ctltest.h"

// A painter whose tabs are as wide as the number their caption starts with
// (40 without one) and 20 high; navigator buttons are 20 x 20 at the end of
// the row; the gap between tabs and rows is settable. It draws plain boxes.
class TPcTestPainter : public TuxPCCustomPainter {
 public:
  struct Meta : TuxPCPainterMeta {
    const char* ClassName() const override { return "TPcTestPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override { return new TPcTestPainter(C); }
    int GetStyleID() const override { return 101; }
    AnsiString GetStyleName() const override { return "Test"; }
  };
  // The same metrics, tabs acting as buttons and no rotation.
  struct ButtonMeta : Meta {
    const char* ClassName() const override { return "TPcTestButtonPainter"; }
    TuxPCCustomPainter* NewInstance(TuxCustomTabControl* C) const override {
      auto* P = new TPcTestPainter(C);
      P->FClass = Class2();
      return P;
    }
    int GetStyleID() const override { return 102; }
    AnsiString GetStyleName() const override { return "TestButtons"; }
    bool SupportsRotation() const override { return false; }
    int GetTabsKind() const override { return 1; }
    bool MovesMainRowToPage() const override { return false; }
    bool AllowsMultiSelection() const override { return true; }
    bool TabsActAsButtons() const override { return true; }
  };
  static TuxPCPainterClass Class() {
    static const Meta M;
    return &M;
  }
  static TuxPCPainterClass Class2() {
    static const ButtonMeta M;
    return &M;
  }
  explicit TPcTestPainter(TuxCustomTabControl* C) : TuxPCCustomPainter(C) {}
  TuxPCPainterClass PainterClass() const override { return FClass; }

  static inline int Gap = 0;
  static inline int RowGap = 0;
  static inline int Layouts = 0;  // calls of CalculateTabsLayout
  static inline int MinWidth = 10;

  int CalculateTabWidth(TuxTab* Tab) override {
    if (FOwnerControl->TabWidth() > 0) return FOwnerControl->TabWidth();
    const int N = std::atoi(Tab->Caption().c_str());
    return N > 0 ? N : 40;
  }
  int CalculateTabHeight() override { return 20; }
  int GetMinTabWidth(int) override { return MinWidth; }
  void GetTabsInterval(TPoint& I) override { I = pcPoint(Gap, RowGap); }
  void CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& P) override {
    ++Layouts;
    const bool Horizontal = FOwnerControl->IsHorizontalRow();
    const int Nav = 20 * NavigatorButtonCount(Buttons);
    P.TabsArea = ControlBounds();
    if (Horizontal)
      P.TabsArea.right -= Nav;
    else
      P.TabsArea.bottom -= Nav;
    P.RowsRect = P.TabsArea;
    P.RowLength = Horizontal ? P.TabsArea.Width() : P.TabsArea.Height();
    P.AreaGap = 0;
    FButtons.clear();
    int Pos = Horizontal ? P.TabsArea.right : P.TabsArea.bottom;
    for (TuxPCNavigatorButton B : {nbGoDialog, nbTopLeft, nbBottomRight, nbClose})
      if (Buttons.Contains(B)) {
        FButtons.push_back({B, Horizontal ? pcRect(Pos, 0, Pos + 20, 20) : pcRect(0, Pos, 20, Pos + 20)});
        Pos += 20;
      }
  }
  bool GetNavigatorButtonAt(int X, int Y, TuxPCNavigatorButton& B) override {
    for (auto& E : FButtons)
      if (pcContains(E.second, X, Y)) {
        B = E.first;
        return true;
      }
    return false;
  }
  void GetGoDialogButtonBounds(TRect& R) override {
    R = TRect{};
    for (auto& E : FButtons)
      if (E.first == nbGoDialog) R = E.second;
  }
  void GetTabContentIndents(int, TRect& R) override { R = TRect{}; }
  void GetTabSizeExtra(int, TuxPCPair& P) override { P = {}; }
  void GetTabFrameIndents(int, TRect& R) override { R = TRect{}; }
  int GetImageTextDistance(int) override { return 2; }
  void GetTabSizeCorrection(TuxPCPair& P) override { P = {}; }
  TColor GetTabColor(int) override { return clBtnFace; }
  void GetTextIndents(int, TuxPCPair& P) override { P = {2, 2}; }
  void GetTruncatedTextIndents(int, TuxPCPair& P) override { P = {2, 2}; }
  void SetTabContentRects(int, const TRect& I, const TRect& T) override {
    FTabContentData.ImageBounds = I;
    FTabContentData.CaptionBounds = T;
  }
  bool IsTabDrawnAsMain(int V) override { return VisibleTab(V)->IsMain(); }
  void DrawNavigatorButtons() override {}
  void DrawFrame() override {}
  void DrawTabs() override {
    int First, Last;
    FOwnerControl->GetShownRange(First, Last);
    for (int i = std::max(First, 0); i <= Last; ++i) {
      const TRect R = VisibleTab(i)->VisibleRect();
      Canvas()->FillRect(R, VisibleTab(i)->IsMain() ? clWhite : clBtnFace);
      Canvas()->ExcludeClipRect(R);
    }
  }
  void RepaintTab(int V, TabChangeKind K) override { Repaints.push_back({V, K}); }
  std::vector<std::pair<int, TabChangeKind>> Repaints;
  std::vector<std::pair<TuxPCNavigatorButton, TRect>> FButtons;
  TuxPCPainterClass FClass = Class();
};

class PcTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    InitFramework();
    InitPageControl();
    RegisterPainterClass(TPcTestPainter::Class());
    RegisterPainterClass(TPcTestPainter::Class2());
    TPcTestPainter::Gap = TPcTestPainter::RowGap = 0;
    TPcTestPainter::MinWidth = 10;
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 500, 400);
  }
  void TearDown() override {
    delete Form;
    Form = nullptr;
    UnregisterPainterClass(TPcTestPainter::Class());
    UnregisterPainterClass(TPcTestPainter::Class2());
    FinalizePageControl();
    FinalizeFramework();
    CtlTest::TearDown();
  }
  // A control with the test painter, Width x Height, holding tabs with these captions.
  TuxCustomTabControl* MakeControl(int Width, int Height, std::vector<std::string> Captions, int Style = 101) {
    auto* C = NewObject<TuxCustomTabControl>(Form);
    C->SetStyle(Style);
    C->SetBounds(0, 0, Width, Height);
    C->SetParent(Form);
    for (const std::string& S : Captions) C->Tabs()->Add(S);
    return C;
  }
  static TPcTestPainter* Painter(TuxCustomTabControl* C) { return static_cast<TPcTestPainter*>(C->Painter()); }
  // Widths of the visible tabs row by row (RowNumber order).
  static std::vector<std::vector<int>> Rows(TuxCustomTabControl* C) {
    std::vector<std::vector<int>> R;
    for (int i = 0; i < C->VisibleTabs()->Count(); ++i) {
      TuxTab* T = C->VisibleTab(i);
      if (T->RowNumber >= int(R.size())) R.resize(std::size_t(T->RowNumber) + 1);
      R[std::size_t(T->RowNumber)].push_back(T->MeasuredWidth);
    }
    return R;
  }
};
