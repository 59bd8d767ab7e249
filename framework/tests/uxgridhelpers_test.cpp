// The screen and region helpers the grid calls: united regions, the
// drag-detect area, the scroll-bar size and fitting bounds to the desktop.
#include "framework/uxgraphics.h"
#include "framework/uxwinutils.h"

#include "platform/backend/headless/headless.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gridhelpers_test {

struct HelperFixture : ::testing::Test {
  void SetUp() override { HeadlessBackend::Install(); }
};

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
