// Floating: the float site and its tool window, kept on the work area, closed
// through the panel, hidden and shown with the main form, sized once its
// window exists, moved by a caption drag that finds no zone, and freed when
// its content leaves.
#include "docking/tests/docktest.h"
#include "framework/uxwinutils.h"

namespace {

class FloatTest : public DockFormTest {
 protected:
  FloatTest() {
    FormW = 700, FormH = 520, ClientW = 0;
    ShowForm = false;
  }
  void ShowTheForm() {
    F->Show();
    Pump();
  }
  TRect FloatBounds(TkxCustomDockControl* C) {
    TkxFloatForm* W = C->FloatForm();
    return TRect{W->Left(), W->Top(), W->Left() + W->Width(), W->Top() + W->Height()};
  }
};

TEST_F(FloatTest, AFloatingWindowIsKeptWhollyOnTheWorkArea) {
  ShowTheForm();
  const TRect Work = uxGetDesktopWorkArea(TPoint(0, 0));
  TkxDockPanel* X = NewPanel(F, "X", 200, 150);
  struct TCase {
    const char* Name;
    TPoint At;
  };
  const TCase Cases[] = {
      {"inside", TPoint(300, 200)},
      {"below the bottom", TPoint(300, Work.bottom + 50)},
      {"above the top", TPoint(300, Work.top - 500)},
      {"beyond the right edge", TPoint(Work.right + 10, 300)},
      {"left of the left edge", TPoint(Work.left - 150, 300)},
      {"far off every edge", TPoint(-100000, 100000)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    X->MakeFloating(C.At.x, C.At.y);
    Pump();
    ASSERT_NE(X->FloatForm(), nullptr);
    const TRect R = FloatBounds(X);
    EXPECT_GE(R.left, Work.left);
    EXPECT_GE(R.top, Work.top);
    EXPECT_LE(R.right, Work.right);
    EXPECT_LE(R.bottom, Work.bottom);
    // A point that fits is used as it stands.
    // Off one edge only, the other coordinate is kept.
    if (C.At.y == 300 || C.At.y == 200) {
      EXPECT_EQ(R.top, C.At.y);
    }
    if (C.At.x == 300) {
      EXPECT_EQ(R.left, 300);
    }
    if (C.At.y > Work.bottom) {
      EXPECT_EQ(R.bottom, Work.bottom);
    }
  }
}

TEST_F(FloatTest, TheCloseButtonClosesThePanelAsTheOptionsSay) {
  ShowTheForm();
  TkxDockPanel* X = NewPanel(F, "X");
  X->MakeFloating(300, 300);
  Pump();
  TkxFloatForm* W = X->FloatForm();
  ASSERT_NE(W, nullptr);
  ASSERT_TRUE(W->Visible());
  // Default options: the panel hides and its window with it; showing it brings both back.
  SendMessageA(W->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(X->Visible());
  EXPECT_EQ(X->FloatForm(), W);
  EXPECT_FALSE(W->Visible());
  X->SetVisible(true);
  Pump();
  EXPECT_TRUE(W->Visible());
  // doFreeOnClose: the panel, its float site and the window go.
  M->SetOptions(M->Options() + TkxDockingOptions{doFreeOnClose});
  TkxFloatDockSite* S = X->FloatDockSite();
  SendMessageA(W->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(F->FindComponent("X"), nullptr);
  EXPECT_EQ(GetDockingController()->IndexOfDockControl(S), -1);
}

TEST_F(FloatTest, HidingTheMainFormHidesTheFloatingWindowsAndShowingItBringsThemBack) {
  ShowTheForm();
  TkxDockPanel* X = NewPanel(F, "X");
  TkxDockPanel* Y = NewPanel(F, "Y");
  X->MakeFloating(100, 100);
  Y->MakeFloating(500, 100);
  Pump();
  TkxFloatForm* WX = X->FloatForm();
  TkxFloatForm* WY = Y->FloatForm();
  ASSERT_TRUE(WX->Visible() && WY->Visible());
  F->Hide();
  Pump();
  EXPECT_FALSE(WX->Visible());
  EXPECT_FALSE(WY->Visible());
  F->Show();
  Pump();
  EXPECT_TRUE(WX->Visible());
  EXPECT_TRUE(WY->Visible());
  // A panel hidden while its form was away stays hidden.
  F->Hide();
  Pump();
  Y->SetVisible(false);
  F->Show();
  Pump();
  EXPECT_TRUE(WX->Visible());
  EXPECT_FALSE(WY->Visible());
}

TEST_F(FloatTest, AWindowMadeBeforeItsHandleGetsTheOriginalSizeAsClientSize) {
  // The main form is not shown yet: the float form has no window until it is.
  TkxDockPanel* X = NewPanel(F, "X", 230, 170);
  X->MakeFloating(200, 200);
  TkxFloatForm* W = X->FloatForm();
  ASSERT_NE(W, nullptr);
  EXPECT_FALSE(W->Visible());
  ShowTheForm();
  ASSERT_TRUE(W->HandleAllocated());
  EXPECT_TRUE(W->Visible());
  EXPECT_EQ(W->ClientWidth(), 230);
  EXPECT_EQ(W->ClientHeight(), 170);
  EXPECT_EQ(X->Width(), 230);
  EXPECT_EQ(X->Height(), 170);
}

TEST_F(FloatTest, TheLastControlLeavingFreesTheSiteAndItsWindow) {
  ShowTheForm();
  TkxDockPanel* X = NewPanel(F, "X");
  X->MakeFloating(200, 200);
  Pump();
  TkxFloatDockSite* S = X->FloatDockSite();
  ASSERT_NE(S, nullptr);
  HWND WH = X->FloatForm()->Handle();
  ASSERT_TRUE(IsWindow(WH));
  X->DockTo(Site, dtLeft, -1);
  Pump();
  EXPECT_EQ(X->FloatDockSite(), nullptr);
  EXPECT_EQ(GetDockingController()->IndexOfDockControl(S), -1);
  EXPECT_FALSE(IsWindow(WH));
  // Undocking from a float site ends the same way.
  X->MakeFloating(200, 200);
  Pump();
  S = X->FloatDockSite();
  WH = X->FloatForm()->Handle();
  X->UnDock();
  Pump();
  EXPECT_EQ(GetDockingController()->IndexOfDockControl(S), -1);
  EXPECT_FALSE(IsWindow(WH));
  EXPECT_EQ(X->GetDockingState(), dcsUnattached);
}

TEST_F(FloatTest, DraggingTheFloatCaptionWhereNoZoneTakesItMovesTheWindow) {
  ShowTheForm();
  TkxDockPanel* X = NewPanel(F, "X", 200, 150);
  X->MakeFloating(1000, 300);
  Pump();
  TkxFloatForm* W = X->FloatForm();
  RECT WR;
  GetWindowRect(W->Handle(), &WR);
  POINT CO{0, 0};
  ClientToScreen(W->Handle(), &CO);
  const TPoint Cap(WR.left + 40, (WR.top + CO.y) / 2);
  ASSERT_EQ(SendMessageA(W->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Cap.x, Cap.y)), LRESULT(HTCAPTION));
  hb->MouseMove(Cap.x, Cap.y);
  Pump();
  hb->MouseDown(Cap.x, Cap.y);
  Pump();
  // The first move stays on the caption, as a real drag's first pixels do.
  hb->MouseMove(Cap.x + 2, Cap.y);
  Pump();
  EXPECT_TRUE(GetDockingController()->IsDocking());
  for (int i = 1; i <= 5; ++i) {
    hb->MouseMove(Cap.x + 40 * i, Cap.y + 30 * i);
    Pump();
  }
  hb->MouseUp(Cap.x + 200, Cap.y + 150);
  Pump();
  EXPECT_EQ(X->FloatForm(), W);  // the same window, moved
  EXPECT_EQ(X->GetDockingState(), dcsFloating);
  RECT WR2;
  GetWindowRect(W->Handle(), &WR2);
  EXPECT_EQ(WR2.left - WR.left, 200 - 2);  // the drag starts where the pointer first moved
  EXPECT_EQ(WR2.top - WR.top, 150);
}

}  // namespace
