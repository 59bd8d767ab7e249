// Pixel rules of lines, pens, shapes, raster operations and brushes.
#include <gtest/gtest.h>

#include <set>

#include "canvas.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

std::set<std::pair<int, int>> InkSet(const Canvas& c, COLORREF ink) {
  std::set<std::pair<int, int>> s;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (c.At(x, y) == ink) s.insert({x, y});
  return s;
}

TEST(Lines, EndPointIsExcluded) {
  struct Case {
    POINT a, b;
    std::set<std::pair<int, int>> pixels;
  } cases[] = {
      {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {{5, 1}, {1, 1}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
      {{1, 0}, {1, 4}, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
      {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {{4, 4}, {0, 0}, {{4, 4}, {3, 3}, {2, 2}, {1, 1}}},
      {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {{2, 2}, {2, 2}, {}},
  };
  for (const Case& k : cases) {
    Canvas c(8, 6);
    MoveToEx(c.dc, k.a.x, k.a.y, nullptr);
    LineTo(c.dc, k.b.x, k.b.y);
    EXPECT_EQ(InkSet(c, kBlack), k.pixels) << k.a.x << "," << k.a.y << " -> " << k.b.x << "," << k.b.y;
    POINT cur;
    GetCurrentPositionEx(c.dc, &cur);
    EXPECT_TRUE(cur == k.b);
  }
}

TEST(Lines, PolylineJoinsWithoutGaps) {
  Canvas c(6, 6);
  POINT pts[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}};
  Polyline(c.dc, pts, 5);
  EXPECT_EQ(c.Ascii(kBlack),
            "......\n"
            ".####.\n"
            ".#..#.\n"
            ".#..#.\n"
            ".####.\n"
            "......\n");
}

TEST(Pens, StylesOnAHorizontalLine) {
  struct Case {
    int style;
    bool ext;
    const char* first24;
  } cases[] = {
      {PS_SOLID, false, "########################"},
      {PS_DASH, false, "##################......"},
      {PS_DOT, false, "###...###...###...###..."},
      {PS_DASHDOT, false, "#########......###......"},
      {PS_DASHDOTDOT, false, "#########...###...###..."},
      {PS_ALTERNATE, true, "#.#.#.#.#.#.#.#.#.#.#.#."},
      {PS_NULL, false, "........................"},
  };
  for (const Case& k : cases) {
    Canvas c(30, 1, kGrey);
    HPEN pen;
    if (k.ext) {
      LOGBRUSH lb{BS_SOLID, kBlack, 0};
      pen = ExtCreatePen(PS_COSMETIC | UINT(k.style), 1, &lb, 0, nullptr);
    } else {
      pen = CreatePen(k.style, 1, kBlack);
    }
    ASSERT_NE(pen, nullptr);
    Selected s(c.dc, pen);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 24, 0);
    EXPECT_EQ(c.Ascii(kBlack, 1, 24), std::string(k.first24) + "\n") << "style " << k.style;
    // Gaps keep the background in transparent mode...
    if (k.style != PS_SOLID && k.style != PS_NULL) {
      EXPECT_EQ(c.At(23, 0), kGrey);
    }
  }
  // ...and take the background colour in opaque mode.
  Canvas c(30, 1, kGrey);
  Selected s(c.dc, CreatePen(PS_DOT, 1, kBlack));
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, kRed);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 12, 0);
  EXPECT_EQ(c.Ascii(kRed, 1, 12), "...###...###\n");
}

TEST(Lines, PartOfALongLineMatchesTheSameLineDrawnWhole) {
  // Each line is drawn once on a small canvas that shows a part of it, and once on a
  // canvas holding all of it; the shown part must be the same pixels in both.
  struct Case {
    POINT a, b;
    int style, width;
  } cases[] = {
      {{-1500, -500}, {1560, 540}, PS_SOLID, 1},   {{1560, 540}, {-1500, -500}, PS_DOT, 1},
      {{-270, 1200}, {280, -1100}, PS_DASHDOT, 1}, {{900, -40}, {-1400, 90}, PS_DASH, 1},
      {{-700, -900}, {800, 1000}, PS_SOLID, 3},
  };
  const int bigW = 3200, bigH = 2500, dx = 1550, dy = 1200;
  Canvas big(bigW, bigH);
  for (const Case& k : cases) {
    Canvas small(60, 40);
    big.Clear(kWhite);
    for (Canvas* c : {&small, &big}) {
      Selected s(c->dc, CreatePen(k.style, k.width, kBlack));
      if (c == &big) SetViewportOrgEx(c->dc, dx, dy, nullptr);
      MoveToEx(c->dc, k.a.x, k.a.y, nullptr);
      LineTo(c->dc, k.b.x, k.b.y);
    }
    std::string part;
    for (int y = 0; y < small.h; ++y) {
      for (int x = 0; x < small.w; ++x) part += big.At(x + dx, y + dy) == kBlack ? '#' : '.';
      part += '\n';
    }
    EXPECT_EQ(small.Ascii(kBlack), part) << k.a.x << "," << k.a.y << " -> " << k.b.x << "," << k.b.y;
    EXPECT_GT(small.Ink(0, 0, small.w, small.h), 0);
  }
  // a line between points two thousand million pixels apart draws its visible part at once
  Canvas c(40, 40);
  POINT far[] = {{-2000000000, -2000000000}, {2000000000, 2000000000}};
  Polyline(c.dc, far, 2);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(c.At(i, i), kBlack) << i;
}

TEST(Pens, WideLineAndInsideFrame) {
  Canvas c(20, 20);
  {
    Selected s(c.dc, CreatePen(PS_SOLID, 3, kBlack));
    MoveToEx(c.dc, 4, 4, nullptr);
    LineTo(c.dc, 14, 4);
  }
  for (int y : {3, 4, 5}) EXPECT_EQ(c.At(9, y), kBlack) << y;
  EXPECT_EQ(c.At(9, 2), kWhite);
  EXPECT_EQ(c.At(9, 6), kWhite);

  Canvas r(12, 12);
  Selected pen(r.dc, CreatePen(PS_INSIDEFRAME, 3, kBlack));
  Selected brush(r.dc, CreateSolidBrush(kRed));
  Rectangle(r.dc, 1, 1, 11, 11);
  EXPECT_EQ(r.Ascii(kBlack),
            "............\n"
            ".##########.\n"
            ".##########.\n"
            ".##########.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".##########.\n"
            ".##########.\n"
            ".##########.\n"
            "............\n");
  EXPECT_EQ(r.At(5, 5), kRed);
}

TEST(Shapes, RectangleExcludesRightAndBottom) {
  Canvas c(8, 6);
  {
    Selected b(c.dc, CreateSolidBrush(kRed));
    Rectangle(c.dc, 1, 1, 6, 5);
  }
  EXPECT_EQ(c.Ascii(kBlack),
            "........\n"
            ".#####..\n"
            ".#...#..\n"
            ".#...#..\n"
            ".#####..\n"
            "........\n");
  EXPECT_EQ(c.Ascii(kRed),
            "........\n"
            "........\n"
            "..###...\n"
            "..###...\n"
            "........\n"
            "........\n");
  // Without a pen the filled area is one pixel smaller.
  Canvas n(8, 6);
  SelectObject(n.dc, GetStockObject(NULL_PEN));
  Selected b(n.dc, CreateSolidBrush(kRed));
  Rectangle(n.dc, 1, 1, 6, 5);
  EXPECT_EQ(n.Ascii(kRed),
            "........\n"
            ".####...\n"
            ".####...\n"
            ".####...\n"
            "........\n"
            "........\n");
}

TEST(Shapes, EllipseIsSymmetricAndInsideItsBox) {
  Canvas c(14, 12);
  Selected b(c.dc, CreateSolidBrush(kRed));
  Ellipse(c.dc, 1, 1, 13, 11);
  EXPECT_EQ(c.Ink(0, 0, 14, 1), 0);
  EXPECT_EQ(c.Ink(0, 11, 14, 12), 0);
  EXPECT_EQ(c.Ink(0, 0, 1, 12), 0);
  EXPECT_EQ(c.Ink(13, 0, 14, 12), 0);
  EXPECT_GT(c.Ink(1, 1, 13, 2), 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 14; ++x) {
      EXPECT_EQ(c.At(x, y), c.At(13 - x, y)) << x << "," << y;
      EXPECT_EQ(c.At(x, y), c.At(x, 11 - y)) << x << "," << y;
    }
  EXPECT_EQ(c.At(7, 6), kRed);
  EXPECT_EQ(c.At(1, 6), kBlack);
}

TEST(Shapes, PolygonFillModes) {
  // Two overlapping squares in one polygon outline: the overlap is a hole in
  // alternate mode and filled in winding mode.
  POINT pts[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {3, 3}, {9, 3}, {9, 9}, {3, 9}, {3, 3}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas c(12, 12);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Selected b(c.dc, CreateSolidBrush(kRed));
    SetPolyFillMode(c.dc, mode);
    Polygon(c.dc, pts, 10);
    EXPECT_EQ(c.At(1, 1), kRed);
    EXPECT_EQ(c.At(7, 7), kRed);
    EXPECT_EQ(c.At(4, 4), mode == WINDING ? kRed : kWhite) << mode;
    EXPECT_EQ(c.At(10, 10), kWhite);
  }
}

TEST(Shapes, ArcsPiesAndChords) {
  // Counter-clockwise from east to north: the upper-right quarter.
  Canvas p(20, 20);
  {
    Selected b(p.dc, CreateSolidBrush(kRed));
    Pie(p.dc, 0, 0, 20, 20, 20, 10, 10, 0);
  }
  EXPECT_EQ(p.At(15, 5), kRed);
  EXPECT_EQ(p.At(5, 5), kWhite);
  EXPECT_EQ(p.At(15, 15), kWhite);
  // Clockwise arc direction takes the other three quarters.
  Canvas q(20, 20);
  {
    Selected b(q.dc, CreateSolidBrush(kRed));
    SetArcDirection(q.dc, AD_CLOCKWISE);
    Pie(q.dc, 0, 0, 20, 20, 20, 10, 10, 0);
  }
  EXPECT_EQ(q.At(15, 5), kWhite);
  EXPECT_EQ(q.At(5, 5), kRed);
  EXPECT_EQ(q.At(15, 15), kRed);
  // An arc draws only the rim within its sweep.
  Canvas a(20, 20);
  Arc(a.dc, 0, 0, 20, 20, 20, 10, 10, 0);
  EXPECT_GT(a.Ink(10, 0, 20, 10), 0);
  EXPECT_EQ(a.Ink(0, 0, 9, 20), 0);
  EXPECT_EQ(a.Ink(0, 11, 20, 20), 0);
  EXPECT_EQ(a.At(15, 5), kWhite);
  // A chord from east to west over the top keeps the upper half.
  Canvas c(20, 20);
  {
    Selected b(c.dc, CreateSolidBrush(kRed));
    Chord(c.dc, 0, 0, 20, 20, 20, 10, 0, 10);
  }
  EXPECT_EQ(c.At(10, 5), kRed);
  EXPECT_EQ(c.At(10, 15), kWhite);
}

TEST(Shapes, FrameInvertAndRoundRect) {
  Canvas c(8, 6);
  RECT rc{1, 1, 6, 5};
  FrameRect(c.dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.Ascii(kBlack),
            "........\n"
            ".#####..\n"
            ".#...#..\n"
            ".#...#..\n"
            ".#####..\n"
            "........\n");
  InvertRect(c.dc, &rc);
  EXPECT_EQ(c.At(1, 1), kWhite);
  EXPECT_EQ(c.At(2, 2), kBlack);
  Canvas r(12, 12);
  Selected b(r.dc, CreateSolidBrush(kRed));
  RoundRect(r.dc, 0, 0, 12, 12, 6, 6);
  EXPECT_EQ(r.At(0, 0), kWhite);  // corners are cut
  EXPECT_EQ(r.At(6, 0), kBlack);
  EXPECT_EQ(r.At(0, 6), kBlack);
  EXPECT_EQ(r.At(6, 6), kRed);
}

TEST(Shapes, FocusRectangleDrawnTwiceLeavesNothing) {
  Canvas c(16, 12);
  for (int i = 0; i < c.w * c.h; ++i) c.bits[i] = 0xFF000000u | (i * 2654435761u & 0xFFFFFF);
  std::vector<std::uint32_t> before(c.bits, c.bits + c.w * c.h);
  RECT rc{2, 3, 13, 10};
  DrawFocusRect(c.dc, &rc);
  int changed = 0;
  for (int i = 0; i < c.w * c.h; ++i) changed += c.bits[i] != before[i];
  // A dotted frame: every other pixel of the 11x7 frame's 32 pixels.
  EXPECT_EQ(changed, 16);
  EXPECT_NE(c.bits[3 * 16 + 3], before[3 * 16 + 3]);   // (3,3): x+y even
  EXPECT_EQ(c.bits[3 * 16 + 2], before[3 * 16 + 2]);   // (2,3): odd
  EXPECT_EQ(c.bits[5 * 16 + 5], before[5 * 16 + 5]);   // inside
  DrawFocusRect(c.dc, &rc);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), c.bits));
}

TEST(RasterOps, AllSixteenBinaryCodes) {
  // Pen 0xCC and destination 0xAA in every channel cover the four bit pairs.
  const unsigned P = 0xCC, D = 0xAA;
  const struct { int rop; unsigned expect; } cases[] = {
      {R2_BLACK, 0x00},           {R2_NOTMERGEPEN, ~(P | D)}, {R2_MASKNOTPEN, ~P & D},
      {R2_NOTCOPYPEN, ~P},        {R2_MASKPENNOT, P & ~D},    {R2_NOT, ~D},
      {R2_XORPEN, P ^ D},         {R2_NOTMASKPEN, ~(P & D)},  {R2_MASKPEN, P & D},
      {R2_NOTXORPEN, ~(P ^ D)},   {R2_NOP, D},                {R2_MERGENOTPEN, ~P | D},
      {R2_COPYPEN, P},            {R2_MERGEPENNOT, P | ~D},   {R2_MERGEPEN, P | D},
      {R2_WHITE, 0xFF},
  };
  for (const auto& k : cases) {
    const unsigned e = k.expect & 0xFF;
    // Lines
    Canvas c(2, 1, RGB(D, D, D));
    Selected pen(c.dc, CreatePen(PS_SOLID, 1, RGB(P, P, P)));
    SetROP2(c.dc, k.rop);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 1, 0);
    EXPECT_EQ(c.At(0, 0), RGB(e, e, e)) << "line, R2 code " << k.rop;
    EXPECT_EQ(c.At(1, 0), RGB(D, D, D));
    // Fills
    Canvas f(2, 2, RGB(D, D, D));
    SelectObject(f.dc, GetStockObject(NULL_PEN));
    Selected brush(f.dc, CreateSolidBrush(RGB(P, P, P)));
    SetROP2(f.dc, k.rop);
    Rectangle(f.dc, 0, 0, 2, 2);
    EXPECT_EQ(f.At(0, 0), RGB(e, e, e)) << "fill, R2 code " << k.rop;
  }
}

struct Pixel1 {
  Canvas c;
  explicit Pixel1(unsigned v) : c(1, 1, RGB(v, v, v)) {}
};

TEST(RasterOps, EveryTernaryCodeFollowsItsTruthTable) {
  // With P = 0xF0, S = 0xCC and D = 0xAA the result byte is the operation's index.
  for (unsigned code = 0; code < 256; ++code) {
    Pixel1 dst(0xAA), src(0xCC);
    Selected brush(dst.c.dc, CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
    ASSERT_TRUE(BitBlt(dst.c.dc, 0, 0, 1, 1, src.c.dc, 0, 0, code << 16));
    ASSERT_EQ(dst.c.At(0, 0), RGB(code, code, code)) << std::hex << code;
  }
  const struct { DWORD rop; unsigned code; } named[] = {
      {SRCCOPY, 0xCC},    {SRCPAINT, 0xEE},  {SRCAND, 0x88},     {SRCINVERT, 0x66},
      {SRCERASE, 0x44},   {NOTSRCCOPY, 0x33}, {NOTSRCERASE, 0x11}, {MERGECOPY, 0xC0},
      {MERGEPAINT, 0xBB}, {PATCOPY, 0xF0},   {PATPAINT, 0xFB},   {PATINVERT, 0x5A},
      {DSTINVERT, 0x55},  {BLACKNESS, 0x00}, {WHITENESS, 0xFF},  {DSPDxax, 0xE2},
      {PSDPxax, 0xB8},
  };
  for (const auto& k : named) {
    Pixel1 dst(0xAA), src(0xCC);
    Selected brush(dst.c.dc, CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
    BitBlt(dst.c.dc, 0, 0, 1, 1, src.c.dc, 0, 0, k.rop);
    EXPECT_EQ(dst.c.At(0, 0), RGB(k.code, k.code, k.code)) << std::hex << k.rop;
  }
}

TEST(RasterOps, PatBltRefusesSourceOperations) {
  Pixel1 dst(0xAA);
  Selected brush(dst.c.dc, CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
  EXPECT_FALSE(PatBlt(dst.c.dc, 0, 0, 1, 1, SRCCOPY));
  EXPECT_TRUE(PatBlt(dst.c.dc, 0, 0, 1, 1, PATINVERT));
  EXPECT_EQ(dst.c.At(0, 0), RGB(0x5A, 0x5A, 0x5A));
}

TEST(Bitmaps, MonochromeAndColourConversions) {
  // Mono source: 0 takes the destination's text colour, 1 its background colour.
  const std::uint8_t bits[2] = {0x40, 0x00};  // pixel 0 black, pixel 1 white
  HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  Canvas c(2, 1);
  SetTextColor(c.dc, kRed);
  SetBkColor(c.dc, kBlue);
  BitBlt(c.dc, 0, 0, 2, 1, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 0), kBlue);

  // Colour source onto mono: the source's background colour becomes white.
  Canvas src(2, 1);
  SetPixel(src.dc, 0, 0, RGB(0, 255, 0));
  SetPixel(src.dc, 1, 0, kRed);
  SetBkColor(src.dc, RGB(0, 255, 0));
  BitBlt(mdc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mdc, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(mdc, 1, 0), kBlack);
  BITMAP bm;
  ASSERT_EQ(GetObject(mono, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 2);
  // Drawing colours on a mono bitmap maps them to the nearer of black and white.
  SetPixel(mdc, 0, 0, RGB(192, 192, 192));
  SetPixel(mdc, 1, 0, RGB(100, 100, 100));
  EXPECT_EQ(GetPixel(mdc, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(mdc, 1, 0), kBlack);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(Bitmaps, MirroredAndStretchedStretchBlt) {
  Canvas src(4, 2);
  const COLORREF row[4] = {kRed, RGB(0, 255, 0), kBlue, kBlack};
  for (int x = 0; x < 4; ++x) {
    SetPixel(src.dc, x, 0, row[x]);
    SetPixel(src.dc, x, 1, kGrey);
  }
  {
    Canvas d(4, 2);
    StretchBlt(d.dc, 3, 0, -4, 2, src.dc, 0, 0, 4, 2, SRCCOPY);  // horizontal mirror
    for (int x = 0; x < 4; ++x) EXPECT_EQ(d.At(x, 0), row[3 - x]) << x;
  }
  {
    Canvas d(4, 2);
    StretchBlt(d.dc, 0, 1, 4, -2, src.dc, 0, 0, 4, 2, SRCCOPY);  // vertical mirror
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(d.At(x, 1), row[x]);
      EXPECT_EQ(d.At(x, 0), kGrey);
    }
  }
  {
    Canvas d(8, 1);
    StretchBlt(d.dc, 0, 0, 8, 1, src.dc, 0, 0, 4, 1, SRCCOPY);  // doubled
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.At(x, 0), row[x / 2]) << x;
  }
  {
    Canvas d(2, 1);
    StretchBlt(d.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY);  // halved
    EXPECT_EQ(d.At(0, 0), row[1]);
    EXPECT_EQ(d.At(1, 0), row[3]);
  }
}

TEST(Bitmaps, BlitIsClippedToTheSourceAndHandlesOverlap) {
  Canvas c(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(c.dc, x, 0, RGB(x * 10, 0, 0));
  BitBlt(c.dc, 1, 0, 5, 1, c.dc, 0, 0, SRCCOPY);  // overlapping shift right
  for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), RGB((x - 1) * 10, 0, 0)) << x;
  // Any operation reads the source as it was before the transfer.
  Canvas x(4, 1);
  for (int i = 0; i < 4; ++i) SetPixel(x.dc, i, 0, RGB(1 << i, 0, 0));
  BitBlt(x.dc, 1, 0, 3, 1, x.dc, 0, 0, SRCINVERT);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(x.At(i, 0), RGB((1 << i) ^ (1 << (i - 1)), 0, 0)) << i;
  Canvas d(4, 1, kGrey);
  BitBlt(d.dc, 0, 0, 4, 1, c.dc, 4, 0, SRCCOPY);  // only two source columns exist
  EXPECT_EQ(d.At(0, 0), RGB(30, 0, 0));
  EXPECT_EQ(d.At(1, 0), RGB(40, 0, 0));
  EXPECT_EQ(d.At(2, 0), kGrey);
}

TEST(Bitmaps, MaskBltPicksForegroundAndBackgroundOperations) {
  const std::uint8_t bits[2] = {0x80, 0x00};  // pixel 0 set (foreground), pixel 1 clear
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, bits);
  Canvas src(2, 1, kRed), dst(2, 1, kGrey);
  Selected brush(dst.dc, CreateSolidBrush(kBlue));
  const DWORD rop = ((PATCOPY << 8) & 0xFF000000u) | SRCCOPY;
  ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, mask, 0, 0, rop));
  EXPECT_EQ(dst.At(0, 0), kRed);
  EXPECT_EQ(dst.At(1, 0), kBlue);
  DeleteObject(mask);
}

TEST(Bitmaps, BottomUpDibSectionAndDibBits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = 2;  // bottom-up
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(b, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  SetPixel(dc, 0, 0, kRed);
  // Row 0 of the image is the last row in memory.
  EXPECT_EQ(static_cast<std::uint32_t*>(bits)[3] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(static_cast<std::uint32_t*>(bits)[0] & 0xFFFFFF, 0u);
  // 24-bit round trip through GetDIBits/SetDIBits
  BITMAPINFO q{};
  q.bmiHeader.biWidth = 3;
  q.bmiHeader.biHeight = -2;
  q.bmiHeader.biBitCount = 24;
  std::uint8_t buf[2 * 12] = {};
  EXPECT_EQ(GetDIBits(dc, b, 0, 2, buf, &q, DIB_RGB_COLORS), 2);
  EXPECT_EQ(buf[2], 0xFF);  // red of pixel (0,0), top-down request
  buf[3] = 0x11;            // pixel (1,0) blue
  SelectObject(dc, old);
  EXPECT_EQ(SetDIBits(nullptr, b, 0, 2, buf, &q, DIB_RGB_COLORS), 2);
  SelectObject(dc, b);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0x11));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(b);
}

TEST(Bitmaps, AlphaBlendAndTransparentBlt) {
  Canvas dst(2, 1, RGB(0, 0, 200));
  Canvas src(2, 1, RGB(200, 0, 0));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, half));
  EXPECT_EQ(dst.At(0, 0), RGB(100, 0, 100));
  // Per-pixel: premultiplied source, alpha 0 leaves the destination.
  Canvas d2(2, 1, RGB(0, 0, 200));
  src.bits[0] = 0x80640000u;  // alpha 128, red 100 (premultiplied)
  src.bits[1] = 0x00000000u;
  BLENDFUNCTION per{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(d2.dc, 0, 0, 2, 1, src.dc, 0, 0, 2, 1, per));
  EXPECT_EQ(d2.At(0, 0), RGB(100, 0, 100));
  EXPECT_EQ(d2.At(1, 0), RGB(0, 0, 200));
  // A source rectangle outside the source fails.
  EXPECT_FALSE(AlphaBlend(d2.dc, 0, 0, 2, 1, src.dc, 1, 0, 2, 1, per));

  Canvas t(3, 1, kGrey);
  Canvas s(3, 1, kRed);
  SetPixel(s.dc, 1, 0, RGB(255, 0, 255));
  ASSERT_TRUE(TransparentBlt(t.dc, 0, 0, 3, 1, s.dc, 0, 0, 3, 1, RGB(255, 0, 255)));
  EXPECT_EQ(t.At(0, 0), kRed);
  EXPECT_EQ(t.At(1, 0), kGrey);
  EXPECT_EQ(t.At(2, 0), kRed);
}

TEST(Brushes, HatchAndPatternFollowTheBrushOrigin) {
  Canvas c(16, 16, kGrey);
  {
    Selected b(c.dc, CreateHatchBrush(HS_HORIZONTAL, kBlack));
    SetBkMode(c.dc, TRANSPARENT);
    RECT rc{0, 0, 16, 16};
    FillRect(c.dc, &rc, static_cast<HBRUSH>(b.obj));
  }
  for (int y = 0; y < 16; ++y) EXPECT_EQ(c.At(5, y), y % 8 == 0 ? kBlack : kGrey) << y;
  {
    Selected b(c.dc, CreateHatchBrush(HS_VERTICAL, kRed));
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, kWhite);
    SetBrushOrgEx(c.dc, 3, 0, nullptr);
    RECT rc{0, 0, 16, 16};
    FillRect(c.dc, &rc, static_cast<HBRUSH>(b.obj));
  }
  for (int x = 0; x < 16; ++x) EXPECT_EQ(c.At(x, 2), (x - 3) % 8 == 0 ? kRed : kWhite) << x;
  SetBrushOrgEx(c.dc, 0, 0, nullptr);

  // Monochrome pattern: 0 bits take the text colour, 1 bits the background colour.
  std::uint8_t rows[16] = {};
  for (int y = 0; y < 8; ++y) rows[y * 2] = y == 0 ? 0x7F : 0xFF;  // one black pixel at (0,0)
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, rows);
  Canvas p(16, 16);
  SetTextColor(p.dc, kBlue);
  SetBkColor(p.dc, kWhite);
  SetBrushOrgEx(p.dc, 2, 1, nullptr);
  HBRUSH br = CreatePatternBrush(pat);
  RECT rc{0, 0, 16, 16};
  FillRect(p.dc, &rc, br);
  EXPECT_EQ(p.At(2, 1), kBlue);
  EXPECT_EQ(p.At(10, 9), kBlue);
  EXPECT_EQ(p.At(3, 1), kWhite);
  EXPECT_EQ(p.Ink(0, 0, 16, 16), 4);
  DeleteObject(br);
  DeleteObject(pat);
}

TEST(State, SaveRestoreAndStockObjects) {
  Canvas c(4, 4);
  int level = SaveDC(c.dc);
  EXPECT_EQ(level, 1);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(c.dc, pen);
  SetTextColor(c.dc, kBlue);
  SetWindowOrgEx(c.dc, 5, 5, nullptr);
  IntersectClipRect(c.dc, 5, 5, 6, 6);
  // Selected objects are freed only when released.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  EXPECT_TRUE(RestoreDC(c.dc, -1));
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetTextColor(c.dc), kBlack);
  POINT org;
  GetWindowOrgEx(c.dc, &org);
  EXPECT_EQ(org.x, 0);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 4);
  EXPECT_FALSE(RestoreDC(c.dc, 1));
  // A bitmap deleted while selected lives until the DC lets go of it, also
  // through a restore.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP first = CreateBitmap(2, 2, 1, 32, nullptr);
  HBITMAP second = CreateBitmap(2, 2, 1, 32, nullptr);
  HGDIOBJ orig = SelectObject(mem, first);
  SaveDC(mem);
  SelectObject(mem, second);
  EXPECT_TRUE(DeleteObject(second));
  EXPECT_EQ(SetPixel(mem, 1, 1, kRed), kRed);
  EXPECT_TRUE(RestoreDC(mem, -1));
  EXPECT_EQ(GetObjectType(second), 0u);
  EXPECT_EQ(GetCurrentObject(mem, OBJ_BITMAP), first);
  SelectObject(mem, orig);
  DeleteDC(mem);
  DeleteObject(first);
  EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetDeviceCaps(c.dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(c.dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetNearestColor(c.dc, RGB(1, 2, 3)), RGB(1, 2, 3));
}

TEST(SysColors, ClassicTableAndIndexedColours) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
  EXPECT_EQ(GetSysColor(31), 0u);
  Canvas c(2, 1);
  // 0xFF000000 + index names a system colour anywhere a colour is taken.
  HBRUSH b = CreateSolidBrush(0xFF000000u | COLOR_HIGHLIGHT);
  RECT rc{0, 0, 1, 1};
  FillRect(c.dc, &rc, b);
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_HIGHLIGHT));
  RECT r2{1, 0, 2, 1};
  FillRect(c.dc, &r2, reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_BTNSHADOW + 1)));
  EXPECT_EQ(c.At(1, 0), GetSysColor(COLOR_BTNSHADOW));
  DeleteObject(b);
}

}  // namespace
