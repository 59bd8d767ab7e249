// The shared pattern bitmaps: a two-colour checkerboard per colour pair, and a
// brush made from one inverts a rectangle so that a second pass restores it.
#include <gtest/gtest.h>

#include "platform/backend/headless/headless.h"
#include "platform/controls/graphics.h"

namespace {

TEST(PatternBitmap, CheckerboardSharedPerPairAndInvertsTwiceToNothing) {
  HeadlessBackend::Install();
  TBitmap* P = AllocPatternBitmap(clBlack, clWhite);
  ASSERT_EQ(P->Width(), 8);
  ASSERT_EQ(P->Height(), 8);
  EXPECT_EQ(P, AllocPatternBitmap(clBlack, clWhite));
  EXPECT_NE(P, AllocPatternBitmap(clWhite, clBlack));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(ColorToRGB(P->Canvas()->Pixels(x, y)) & 0xFFFFFF, ((x + y) & 1) ? 0xFFFFFFu : 0u) << x << "," << y;

  TBitmap Target;
  Target.SetSize(16, 4);
  Target.Canvas()->Brush()->SetColor(TColor(RGB(10, 20, 30)));
  Target.Canvas()->FillRect(TRect(0, 0, 16, 4));
  TBrush Brush;
  Brush.SetBitmap(P);
  HDC DC = Target.Canvas()->Handle();
  HGDIOBJ Old = SelectObject(DC, Brush.Handle());
  PatBlt(DC, 0, 0, 16, 4, PATINVERT);
  // the white squares invert the colour, the black ones leave it
  EXPECT_EQ(ColorToRGB(Target.Canvas()->Pixels(0, 0)) & 0xFFFFFF, RGB(10, 20, 30));
  EXPECT_EQ(ColorToRGB(Target.Canvas()->Pixels(1, 0)) & 0xFFFFFF, RGB(245, 235, 225));
  PatBlt(DC, 0, 0, 16, 4, PATINVERT);
  SelectObject(DC, Old);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(ColorToRGB(Target.Canvas()->Pixels(x, 1)) & 0xFFFFFF, RGB(10, 20, 30)) << x;
}

}  // namespace
