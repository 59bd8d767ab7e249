// The screen, region and brush helpers the grid calls: the one solid-brush
// cache, fills, united regions, the invalidated band between two rectangles,
// and the drag-detect area.
#include "framework/uxgraphics.h"
#include "framework/uxwinutils.h"

#include "platform/backend/headless/headless.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <memory>

namespace gridhelpers_test {

struct HelperFixture : ::testing::Test {
  void SetUp() override { HeadlessBackend::Install(); }
  void TearDown() override { uxDoneSolidBrushes(); }
};

std::unique_ptr<TBitmap> WhiteBitmap(int W, int H) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  B->Canvas()->Brush()->SetColor(clWhite);
  B->Canvas()->FillRect(uxRect(0, 0, W, H));
  return B;
}

COLORREF PixelOf(TBitmap* B, int X, int Y) { return ColorToRGB(B->Canvas()->Pixels(X, Y)) & 0xFFFFFF; }

TEST_F(HelperFixture, SolidBrushesAreSharedByTheColourShown) {
  uxDoneSolidBrushes();
  struct Case {
    TColor A, B;
    bool Same;
  } Cases[] = {
      {clRed, TColor(0x0000FF), true},
      {clBtnFace, TColor(ColorToRGB(clBtnFace)), true},
      {clRed, clBlue, false},
      {TColor(0x010203), TColor(0x010204), false},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(uxGetSolidBrush(C.A) == uxGetSolidBrush(C.B), C.Same) << std::hex << C.A << " " << C.B;
  EXPECT_EQ(uxGetSolidBrush(clRed), uxGetSolidBrush(clRed));
  const int Count = uxSolidBrushCount();
  EXPECT_EQ(Count, 5);  // red, face, blue and the two near-black colours
  uxDoneSolidBrushes();
  EXPECT_EQ(uxSolidBrushCount(), 0);
}

// A brush handed out for a system colour before the scheme changed keeps its
// colour; asking again after the change gives one of the new colour.
TEST_F(HelperFixture, SystemColourChangeGivesBrushOfTheNewColour) {
  const int Index = COLOR_BTNFACE;
  const COLORREF Old = GetSysColor(Index), New = RGB(10, 200, 30);
  ASSERT_NE(Old, New);
  auto B = WhiteBitmap(10, 4);
  uxFillRectWithColor(B->Canvas()->Handle(), uxRect(0, 0, 5, 4), clBtnFace);
  SetSysColors(1, &Index, &New);
  uxFillRectWithColor(B->Canvas()->Handle(), uxRect(5, 0, 10, 4), clBtnFace);
  SetSysColors(1, &Index, &Old);
  EXPECT_EQ(PixelOf(B.get(), 2, 2), Old & 0xFFFFFF);
  EXPECT_EQ(PixelOf(B.get(), 7, 2), New);
}

TEST_F(HelperFixture, FillsCoverExactlyTheRectangle) {
  struct Case {
    TRect R;
    TPoint Inside, Outside;
  } Cases[] = {
      {uxRect(2, 2, 6, 5), {2, 2}, {6, 2}},
      {uxRect(2, 2, 6, 5), {5, 4}, {5, 5}},
      {uxRect(0, 0, 1, 1), {0, 0}, {1, 0}},
      {uxRect(4, 4, 4, 8), {-1, -1}, {4, 4}},  // empty: nothing
      {uxRect(6, 6, 3, 3), {-1, -1}, {4, 4}},  // inverted: nothing
  };
  for (const Case& C : Cases) {
    auto B = WhiteBitmap(10, 10);
    uxFillRectWithColor(B->Canvas()->Handle(), C.R, clRed);
    if (C.Inside.x >= 0) {
      EXPECT_EQ(PixelOf(B.get(), C.Inside.x, C.Inside.y), 0x0000FFu);
    }
    EXPECT_EQ(PixelOf(B.get(), C.Outside.x, C.Outside.y), 0xFFFFFFu);
    auto D = WhiteBitmap(10, 10);
    uxFillDCRect(D->Canvas()->Handle(), C.R, uxGetSolidBrush(clBlue));
    if (C.Inside.x >= 0) {
      EXPECT_EQ(PixelOf(D.get(), C.Inside.x, C.Inside.y), 0xFF0000u);
    }
    EXPECT_EQ(PixelOf(D.get(), C.Outside.x, C.Outside.y), 0xFFFFFFu);
  }
  // No brush fills nothing and does not fail.
  auto B = WhiteBitmap(4, 4);
  uxFillDCRect(B->Canvas()->Handle(), uxRect(0, 0, 4, 4), nullptr);
  EXPECT_EQ(PixelOf(B.get(), 1, 1), 0xFFFFFFu);
}

TEST_F(HelperFixture, UniteRegionsKeepsTheSource) {
  struct Case {
    TRect Dest, Source;
    TPoint In[2], Out;
  } Cases[] = {
      {uxRect(0, 0, 10, 10), uxRect(20, 0, 30, 10), {{5, 5}, {25, 5}}, {15, 5}},   // apart
      {uxRect(0, 0, 10, 10), uxRect(5, 5, 15, 15), {{1, 1}, {14, 14}}, {14, 1}},   // overlapping
      {uxRect(0, 0, 0, 0), uxRect(3, 3, 6, 6), {{3, 3}, {5, 5}}, {0, 0}},          // empty destination
      {uxRect(0, 0, 10, 10), uxRect(0, 0, 0, 0), {{0, 0}, {9, 9}}, {10, 10}},      // empty source
  };
  for (const Case& C : Cases) {
    TuxRegion Dest(C.Dest);
    auto Source = std::make_unique<TuxRegion>(C.Source);
    TuxRegion SourceCopy(C.Source);
    uxUniteRegions(&Dest, Source.get());
    for (const TPoint& P : C.In) EXPECT_TRUE(Dest.PtInRegion(P)) << P.x << "," << P.y;
    EXPECT_FALSE(Dest.PtInRegion(C.Out)) << C.Out.x << "," << C.Out.y;
    EXPECT_TRUE(Source->IsEqual(&SourceCopy));
  }
  TuxRegion R(uxRect(0, 0, 4, 4));
  uxUniteRegions(&R, nullptr);
  uxUniteRegions(nullptr, &R);
  EXPECT_TRUE(R.PtInRegion(3, 3));
}

TEST_F(HelperFixture, InvalidateRectFrameMarksOnlyTheBand) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "UxRectFrameTest";
  static bool Registered = (RegisterClassExA(&wc), true);
  (void)Registered;
  HWND H = CreateWindowExA(0, "UxRectFrameTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_TRUE(H);
  struct Case {
    TRect Outer, Inner;
    TPoint Invalid[2], Valid[2];
  } Cases[] = {
      {uxRect(10, 10, 50, 50), uxRect(20, 20, 40, 40), {{10, 10}, {45, 30}}, {{30, 30}, {60, 60}}},
      {uxRect(10, 10, 50, 50), uxRect(0, 0, 0, 0), {{10, 10}, {30, 30}}, {{50, 50}, {5, 5}}},       // no hole
      {uxRect(10, 10, 50, 50), uxRect(10, 10, 50, 50), {{-1, -1}, {-1, -1}}, {{10, 10}, {30, 30}}},  // no band
      {uxRect(10, 10, 50, 50), uxRect(40, 0, 90, 90), {{10, 10}, {39, 49}}, {{40, 30}, {70, 70}}},  // hole past the edge
  };
  for (const Case& C : Cases) {
    ValidateRect(H, nullptr);
    uxInvalidateRectFrame(H, C.Outer, C.Inner, false);
    HRGN Update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(H, Update, FALSE);
    for (const TPoint& P : C.Invalid) {
      if (P.x >= 0) {
        EXPECT_TRUE(PtInRegion(Update, P.x, P.y)) << P.x << "," << P.y;
      }
    }
    for (const TPoint& P : C.Valid) EXPECT_FALSE(PtInRegion(Update, P.x, P.y)) << P.x << "," << P.y;
    DeleteObject(Update);
  }
  uxInvalidateRectFrame(nullptr, uxRect(0, 0, 5, 5), uxRect(1, 1, 2, 2), true);  // no window: nothing
  DestroyWindow(H);
}

TEST_F(HelperFixture, DragDetectAreaAndScreenHelpers) {
  const int CX = std::max(1, GetSystemMetrics(SM_CXDRAG)), CY = std::max(1, GetSystemMetrics(SM_CYDRAG));
  const TPoint Down{100, 100};
  struct Case {
    int X, Y;
    bool Inside;
  } Cases[] = {{100, 100, true},         {100 + CX - 1, 100, true}, {100 + CX, 100, false},
               {100, 100 - CY + 1, true}, {100, 100 - CY, false},   {100 - CX, 100 + CY, false}};
  for (const Case& C : Cases) EXPECT_EQ(IsPointInDragDetectArea(Down, C.X, C.Y), C.Inside) << C.X << "," << C.Y;
  EXPECT_EQ(GetScrollBarSize(), GetSystemMetrics(SM_CXVSCROLL));
  SetCursorPos(37, 41);
  const TPoint P = uxGetCursorPos();
  EXPECT_EQ(P.x, 37);
  EXPECT_EQ(P.y, 41);
  // A rectangle hanging over the right and bottom of the work area moves in.
  const TRect Work = uxGetDesktopWorkArea(TPoint{0, 0});
  TRect B = uxRect(Work.right - 10, Work.bottom - 10, Work.right + 30, Work.bottom + 20);
  MakeVisibleOnDesktop(B, TPoint{Work.left, Work.top});
  EXPECT_EQ(B.right, Work.right);
  EXPECT_EQ(B.bottom, Work.bottom);
  EXPECT_EQ(B.right - B.left, 40);
  uxRedrawWindowNow(HWND(nullptr));  // no window: nothing
}

}  // namespace gridhelpers_test
