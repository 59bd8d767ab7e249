// Regions, clipping, paths and DCs over window-manager surfaces.
#include <gtest/gtest.h>

#include <functional>

#include "canvas.h"
#include "platform/gdi/surface.h"

namespace {

int Area(HRGN r, int span = 20) {
  int n = 0;
  for (int y = -span; y < span; ++y)
    for (int x = -span; x < span; ++x) n += PtInRegion(r, x, y) ? 1 : 0;
  return n;
}

TEST(Regions, Combinations) {
  struct Case {
    int mode;
    int type;
    int area;
    RECT box;
  } cases[] = {
      {RGN_AND, SIMPLEREGION, 4, {2, 2, 4, 4}},
      {RGN_OR, COMPLEXREGION, 28, {0, 0, 6, 6}},
      {RGN_XOR, COMPLEXREGION, 24, {0, 0, 6, 6}},
      {RGN_DIFF, COMPLEXREGION, 12, {0, 0, 4, 4}},
      {RGN_COPY, SIMPLEREGION, 16, {0, 0, 4, 4}},
  };
  HRGN a = CreateRectRgn(0, 0, 4, 4);
  HRGN b = CreateRectRgn(2, 2, 6, 6);
  for (const Case& k : cases) {
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, k.mode), k.type) << k.mode;
    EXPECT_EQ(Area(d), k.area) << k.mode;
    RECT box;
    GetRgnBox(d, &box);
    EXPECT_TRUE(box == k.box) << k.mode;
    DeleteObject(d);
  }
  // Disjoint AND is empty; touching rectangles merge into one.
  HRGN c = CreateRectRgn(10, 10, 12, 12);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(d, a, c, RGN_AND), NULLREGION);
  HRGN e = CreateRectRgn(4, 0, 8, 4);
  EXPECT_EQ(CombineRgn(d, a, e, RGN_OR), SIMPLEREGION);
  HRGN f = CreateRectRgn(0, 0, 8, 4);
  EXPECT_TRUE(EqualRgn(d, f));
  EXPECT_EQ(OffsetRgn(d, 1, 1), SIMPLEREGION);
  EXPECT_FALSE(EqualRgn(d, f));
  EXPECT_TRUE(PtInRegion(d, 8, 4));
  EXPECT_FALSE(PtInRegion(d, 9, 4));
  RECT in{8, 4, 20, 20}, out{9, 0, 20, 20};
  EXPECT_TRUE(RectInRegion(d, &in));
  EXPECT_FALSE(RectInRegion(d, &out));
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);
  for (HRGN r : {a, b, c, d, e, f}) DeleteObject(r);
}

TEST(Regions, ShapesExcludeRightAndBottom) {
  HRGN r = CreateEllipticRgn(0, 0, 10, 10);
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_TRUE(box == (RECT{0, 0, 10, 10}));
  EXPECT_TRUE(PtInRegion(r, 5, 5));
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(PtInRegion(r, x, y), PtInRegion(r, 9 - x, 9 - y)) << x << "," << y;
  POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
  HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 0, 0));
  EXPECT_TRUE(PtInRegion(t, 6, 0));
  EXPECT_FALSE(PtInRegion(t, 7, 1));
  EXPECT_FALSE(PtInRegion(t, 8, 0));
  HRGN rr = CreateRoundRectRgn(0, 0, 10, 10, 4, 4);
  EXPECT_FALSE(PtInRegion(rr, 0, 0));
  EXPECT_TRUE(PtInRegion(rr, 5, 0));
  EXPECT_TRUE(PtInRegion(rr, 0, 5));
  for (HRGN x : {r, t, rr}) DeleteObject(x);
}

// Polygons sample each pixel at its top-left point: a triangle on ten pixels
// covers rows of 10, 9 ... 1 pixels, and a region bounded by a diagonal
// starts exactly at the pixels a line along that edge draws.
TEST(Regions, PolygonsSampleAtThePixelPoint) {
  POINT tri[] = {{0, 0}, {10, 0}, {0, 10}};
  HRGN t = CreatePolygonRgn(tri, 3, WINDING);
  for (int y = 0; y < 10; ++y) {
    int n = 0;
    for (int x = 0; x < 12; ++x) n += PtInRegion(t, x, y) ? 1 : 0;
    EXPECT_EQ(n, 10 - y) << "row " << y;
  }
  POINT slant[] = {{1, 17}, {18, 0}, {30, 0}, {30, 17}};
  HRGN r = CreatePolygonRgn(slant, 4, WINDING);
  Canvas c(32, 20);
  MoveToEx(c.dc, 1, 17, nullptr);
  LineTo(c.dc, 18, 0);
  for (int y = 1; y < 17; ++y) {
    const int x = 18 - y;  // the line's pixel in this row
    EXPECT_NE(c.At(x, y), RGB(255, 255, 255)) << y;
    EXPECT_TRUE(PtInRegion(r, x, y)) << y;
    EXPECT_FALSE(PtInRegion(r, x - 1, y)) << y;
  }
  DeleteObject(t);
  DeleteObject(r);
}

TEST(Clipping, IntersectExcludeAndSelect) {
  Canvas c(10, 10);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, 10, 10};
  IntersectClipRect(c.dc, 2, 2, 8, 8);
  EXPECT_EQ(ExcludeClipRect(c.dc, 4, 4, 6, 6), COMPLEXREGION);
  FillRect(c.dc, &all, red);
  EXPECT_EQ(c.Ink(), 36 - 4);
  EXPECT_EQ(c.At(4, 4), RGB(255, 255, 255));
  RECT box;
  GetClipBox(c.dc, &box);
  EXPECT_TRUE(box == (RECT{2, 2, 8, 8}));
  RECT vis{0, 0, 2, 2}, hid{4, 4, 6, 6}, part{5, 5, 7, 7};
  EXPECT_FALSE(RectVisible(c.dc, &vis));
  EXPECT_FALSE(RectVisible(c.dc, &hid));
  EXPECT_TRUE(RectVisible(c.dc, &part));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, got), 1);
  EXPECT_FALSE(PtInRegion(got, 4, 4));
  // Removing the clip opens the whole bitmap again.
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.dc, got), 0);
  c.Clear(RGB(255, 255, 255));
  FillRect(c.dc, &all, red);
  EXPECT_EQ(c.Ink(), 100);
  // The clip region is in device units: moving the window origin does not move it.
  c.Clear(RGB(255, 255, 255));
  HRGN r = CreateRectRgn(0, 0, 3, 3);
  SelectClipRgn(c.dc, r);
  DeleteObject(r);  // the DC keeps its own copy
  SetWindowOrgEx(c.dc, -5, -5, nullptr);
  RECT logical{-5, -5, 5, 5};
  FillRect(c.dc, &logical, red);
  EXPECT_EQ(c.Ink(), 9);
  GetClipBox(c.dc, &box);
  EXPECT_TRUE(box == (RECT{-5, -5, -2, -2}));
  DeleteObject(got);
  DeleteObject(red);
}

TEST(Clipping, RegionFillsAndFrames) {
  Canvas c(10, 10);
  HRGN r = CreateRectRgn(1, 1, 9, 9);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  FrameRgn(c.dc, r, black, 2, 1);
  EXPECT_EQ(c.Ascii(RGB(0, 0, 0)),
            "..........\n"
            ".########.\n"
            ".##....##.\n"
            ".##....##.\n"
            ".##....##.\n"
            ".##....##.\n"
            ".##....##.\n"
            ".##....##.\n"
            ".########.\n"
            "..........\n");
  InvertRgn(c.dc, r);
  EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(c.At(4, 4), RGB(0, 0, 0));
  DeleteObject(r);
}

TEST(Paths, PolygonPathToRegion) {
  Canvas c(10, 10);
  BeginPath(c.dc);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 8, 0);
  LineTo(c.dc, 0, 8);
  CloseFigure(c.dc);
  EndPath(c.dc);
  EXPECT_EQ(c.Ink(), 0);  // recording draws nothing
  HRGN r = PathToRegion(c.dc);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 6, 0));
  EXPECT_FALSE(PtInRegion(r, 7, 1));
  EXPECT_EQ(PathToRegion(c.dc), nullptr);  // the path is used up
  DeleteObject(r);
}

TEST(Surfaces, OriginAndVisibleRegion) {
  std::vector<std::uint32_t> px(20 * 10, 0xFFFFFFFFu);
  Surface s{px.data(), 20, 10, 20 * 4, {5, 2}, nullptr};
  HRGN vis = CreateRectRgn(0, 0, 20, 10);
  HRGN hole = CreateRectRgn(6, 3, 8, 5);
  CombineRgn(vis, vis, hole, RGN_DIFF);
  s.visible = vis;
  HDC dc = CreateSurfaceDC(&s);
  POINT org;
  GetDCOrgEx(dc, &org);
  EXPECT_EQ(org.x, 5);
  RECT rc{0, 0, 4, 4};
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  int black = 0;
  for (auto p : px) black += (p & 0xFFFFFF) == 0;
  EXPECT_EQ(black, 16 - 4);
  EXPECT_EQ(px[2 * 20 + 5] & 0xFFFFFF, 0u);
  EXPECT_EQ(px[3 * 20 + 6] & 0xFFFFFF, 0xFFFFFFu);  // the hole
  // The window manager moves the origin between calls.
  s.origin = POINT{0, 0};
  EXPECT_EQ(GetPixel(dc, 5, 2), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 6, 3), CLR_INVALID);
  DeleteDC(dc);

  // Composition: copy a rectangle within one surface, overlapping.
  std::vector<std::uint32_t> q(8, 0);
  for (int i = 0; i < 8; ++i) q[std::size_t(i)] = std::uint32_t(i);
  Surface t{q.data(), 8, 1, 32, {}, nullptr};
  SurfaceCopy(&t, 2, 0, &t, RECT{0, 0, 6, 1});
  EXPECT_EQ(q, (std::vector<std::uint32_t>{0, 1, 0, 1, 2, 3, 4, 5}));
  DeleteObject(vis);
  DeleteObject(hole);
}

// A surface DC tells whether anything drew through it: measuring text, colour
// and clip queries do not count; a fill, a blit, text and the raw pixels do.
TEST(Surfaces, KnowWhetherADcDrewOnThem) {
  std::vector<std::uint32_t> px(16 * 8, 0);
  Surface s{px.data(), 16, 8, 16 * 4, {0, 0}, nullptr};
  auto fresh = [&] { return CreateSurfaceDC(&s); };
  HDC dc = fresh();
  SIZE sz;
  RECT box;
  GetTextExtentPoint32A(dc, "Ab", 2, &sz);
  GetNearestColor(dc, RGB(1, 2, 3));
  GetClipBox(dc, &box);
  GetDeviceCaps(dc, BITSPIXEL);
  EXPECT_FALSE(SurfaceDCDrawn(dc));
  DeleteDC(dc);
  RECT rc{0, 0, 2, 2};
  Surface raw;
  const std::pair<const char*, std::function<void(HDC)>> draws[] = {
      {"FillRect", [&](HDC d) { FillRect(d, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); }},
      {"PatBlt", [](HDC d) { PatBlt(d, 0, 0, 2, 2, DSTINVERT); }},
      {"TextOutA", [](HDC d) { TextOutA(d, 0, 0, "A", 1); }},
      {"SetPixel", [](HDC d) { SetPixel(d, 1, 1, RGB(9, 9, 9)); }},
      {"GetDCPixels", [&](HDC d) { GetDCPixels(d, &raw); }},
  };
  for (const auto& [name, draw] : draws) {
    dc = fresh();
    draw(dc);
    EXPECT_TRUE(SurfaceDCDrawn(dc)) << name;
    DeleteDC(dc);
  }
  EXPECT_FALSE(SurfaceDCDrawn(nullptr));
}

}  // namespace
