// The shared pattern bitmaps: a two-colour checkerboard per colour pair, and a
// brush made from one inverts a rectangle so that a second pass restores it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

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

namespace {
// A bitmap sized one side at a time keeps the side given first and can be
// drawn on once both are set; zero on either side empties it.
TEST(BitmapSize, SetOneSideAtATime) {
  HeadlessBackend::Install();
  TBitmap b;
  b.SetWidth(16);
  EXPECT_EQ(b.Width(), 16);
  EXPECT_TRUE(b.Empty());
  b.SetHeight(12);
  EXPECT_EQ(b.Width(), 16);
  EXPECT_EQ(b.Height(), 12);
  EXPECT_FALSE(b.Empty());
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(TRect(0, 0, 16, 12));
  EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(15, 11)) & 0xFFFFFF, RGB(255, 0, 0));
  b.SetHeight(0);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 16);
  b.SetHeight(4);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_FALSE(b.Empty());
}
}  // namespace

namespace {
// A bitmap sized before anything drew on it (measuring text on its canvas while
// it was empty draws nothing) makes its pixels when first used;
// every way of reading it sees the size given and white pixels, and a second
// size before any drawing still gives white.
TEST(BitmapSize, SizedBitmapReadsWhiteAtItsSizeHoweverItIsFirstUsed) {
  HeadlessBackend::Install();
  struct Case {
    const char* name;
    std::function<void(TBitmap&)> check;
  };
  const std::uint32_t White = 0xFFFFFF;
  auto HandleSize = [](HBITMAP h, int* w, int* hgt) {
    BITMAP bm{};
    ASSERT_NE(GetObjectA(h, sizeof bm, &bm), 0);
    *w = bm.bmWidth;
    *hgt = bm.bmHeight;
  };
  const Case cases[] = {
      {"scan line", [&](TBitmap& b) { EXPECT_EQ(b.ScanLine(4)[6] & 0xFFFFFF, White); }},
      {"canvas pixel", [&](TBitmap& b) { EXPECT_EQ(ColorToRGB(b.Canvas()->Pixels(6, 4)) & 0xFFFFFF, White); }},
      {"raw image",
       [&](TBitmap& b) {
         TRawImage img = b.ToRawImage();
         ASSERT_EQ(img.Width, 7);
         ASSERT_EQ(img.Height, 5);
         ASSERT_EQ(img.Pixels.size(), 35u);
         EXPECT_EQ(img.At(6, 4) & 0xFFFFFF, White);
       }},
      {"handle",
       [&](TBitmap& b) {
         int w = 0, h = 0;
         HandleSize(b.Handle(), &w, &h);
         EXPECT_EQ(w, 7);
         EXPECT_EQ(abs(h), 5);
       }},
      {"released handle",
       [&](TBitmap& b) {
         HBITMAP h = b.ReleaseHandle();
         ASSERT_NE(h, nullptr);
         int w = 0, hh = 0;
         HandleSize(h, &w, &hh);
         EXPECT_EQ(w, 7);
         EXPECT_EQ(abs(hh), 5);
         DeleteObject(h);
         EXPECT_TRUE(b.Empty());
       }},
      {"transparent colour", [&](TBitmap& b) { EXPECT_EQ(ColorToRGB(b.TransparentColor()) & 0xFFFFFF, White); }},
      {"copy",
       [&](TBitmap& b) {
         TBitmap c;
         c.Assign(&b);
         ASSERT_EQ(c.Width(), 7);
         ASSERT_EQ(c.Height(), 5);
         EXPECT_EQ(c.ScanLine(4)[6] & 0xFFFFFF, White);
       }},
      {"drawn on a canvas",
       [&](TBitmap& b) {
         TBitmap target;
         target.SetSize(10, 10);
         target.Canvas()->Brush()->SetColor(clBlack);
         target.Canvas()->FillRect(TRect(0, 0, 10, 10));
         target.Canvas()->Draw(1, 1, &b);
         EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(7, 5)) & 0xFFFFFF, White);
         EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(8, 5)) & 0xFFFFFF, 0u);
         EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(7, 6)) & 0xFFFFFF, 0u);
       }},
  };
  for (bool measuredFirst : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (measuredFirst ? ", measured on while empty" : ""));
      TBitmap b;
      if (measuredFirst) EXPECT_GT(b.Canvas()->TextHeight("Wg"), 0);
      b.SetSize(3, 2);  // sized twice before anything drew on it
      b.SetSize(7, 5);
      EXPECT_EQ(b.Width(), 7);
      EXPECT_EQ(b.Height(), 5);
      c.check(b);
    }
}
}  // namespace
