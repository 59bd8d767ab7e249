// Drop-down drawing helpers: the grip strip, the grip corner, hit-test codes
// and the mirrored size grip.
#include "treechart/dropdownhelpers.h"

#include "platform/backend/headless/headless.h"
#include "platform/controls/graphics.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(DropDownHelpers, BarHeightFollowsTheMetrics) {
  HeadlessBackend::Install();
  const int Expected = std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetSystemMetrics(SM_CYSIZE)) + 1;
  EXPECT_EQ(kxPopupNCBarHeight(), Expected);
  if (GetSystemMetrics(SM_CYHSCROLL) == 16 && GetSystemMetrics(SM_CYSIZE) == 18) {
    EXPECT_EQ(kxPopupNCBarHeight(), 19);
  }
}

TEST(DropDownHelpers, GripCornerAndHitTest) {
  const RECT Owner{100, 100, 200, 120};
  struct Case {
    RECT Popup;
    int Corner, HitTest;
  } Cases[] = {
      {{100, 120, 300, 300}, 3, HTBOTTOMRIGHT},  // below, reaching right of the owner's left
      {{100, 0, 300, 100}, 1, HTTOPRIGHT},       // above
      {{0, 120, 90, 300}, 2, HTBOTTOMLEFT},      // left and below
      {{0, 0, 90, 100}, 0, HTTOPLEFT},           // left and above
  };
  for (const Case& C : Cases) {
    const Byte Corner = kxGetSizeGripCorner(Owner, C.Popup);
    EXPECT_EQ(Corner, C.Corner);
    EXPECT_EQ(kxCornerToHitTest(Corner), C.HitTest);
  }
}

TEST(DropDownHelpers, GripCellAndMirroring) {
  HeadlessBackend::Install();
  const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
  TBitmap Sheet;
  Sheet.SetSize(2 * CX + 20, 2 * CY + 20);
  Sheet.Canvas()->Brush()->SetColor(clWhite);
  Sheet.Canvas()->FillRect(RECT{0, 0, Sheet.Width(), Sheet.Height()});
  HDC DC = Sheet.Canvas()->Handle();
  const RECT Area{0, 0, Sheet.Width(), Sheet.Height()};
  RECT Cells[4];
  for (Byte Corner = 0; Corner < 4; ++Corner) {
    Cells[Corner] = Area;
    kxPaintSizeGrip(DC, Cells[Corner], Corner);
    EXPECT_EQ(Cells[Corner].right - Cells[Corner].left, CX);
    EXPECT_EQ(Cells[Corner].bottom - Cells[Corner].top, CY);
  }
  EXPECT_EQ(Cells[3].right, Area.right);
  EXPECT_EQ(Cells[3].bottom, Area.bottom);
  EXPECT_EQ(Cells[0].left, 0);
  EXPECT_EQ(Cells[0].top, 0);
  // A cell already of grip size at the bottom-right corner stays as it is.
  RECT Exact{10, 10, 10 + CX, 10 + CY};
  RECT Copy = Exact;
  kxPaintSizeGrip(DC, Copy, 3);
  EXPECT_TRUE(Copy.left == Exact.left && Copy.top == Exact.top && Copy.right == Exact.right &&
              Copy.bottom == Exact.bottom);
  // Corner 0 is the bottom-right grip turned by half a turn.
  for (int y = 0; y < CY; ++y)
    for (int x = 0; x < CX; ++x) {
      const TColor A = Sheet.Canvas()->Pixels(Cells[0].left + x, Cells[0].top + y);
      const TColor B = Sheet.Canvas()->Pixels(Cells[3].right - 1 - x, Cells[3].bottom - 1 - y);
      ASSERT_EQ(A, B) << x << "," << y;
    }
  EXPECT_TRUE(MatchesReference(Sheet.ToRawImage(), "treechart/tests/ref", "sizegrip_corners"));
}

TEST(DropDownHelpers, EmptyTextDrawsNothing) {
  HeadlessBackend::Install();
  TBitmap Sheet;
  Sheet.SetSize(20, 20);
  Sheet.Canvas()->Brush()->SetColor(clWhite);
  Sheet.Canvas()->FillRect(RECT{0, 0, 20, 20});
  EXPECT_TRUE(kxExtTextOutStr(Sheet.Canvas()->Handle(), 0, 0, 0, nullptr, ""));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(Sheet.Canvas()->Pixels(x, y) & 0xFFFFFF, 0xFFFFFFu);
  SIZE S{};
  kxGetTextExtentStr(Sheet.Canvas()->Handle(), "ab", 99, S);  // a count past the end is cut to the text
  EXPECT_GT(S.cx, 0);
}

}  // namespace
