// DrawEdge, DrawFrameControl and the predefined bitmaps against committed
// reference images. Run with PV_UPDATE_REFS=1 to write the references
// again (then look at them before committing).
#include <gtest/gtest.h>

#include <functional>

#include "canvas.h"
#include "platform/gdi/pictures.h"
#include "refimage.h"

namespace {

TRawImage Snapshot(const Canvas& c) {
  TRawImage img;
  img.Width = c.w;
  img.Height = c.h;
  img.Pixels.assign(c.bits, c.bits + c.w * c.h);
  for (auto& p : img.Pixels) p |= 0xFF000000u;
  return img;
}

constexpr COLORREF kTeal = RGB(0, 128, 128);

TEST(Classic, DrawEdgeReference) {
  const UINT edges[] = {BDR_RAISEDOUTER, BDR_SUNKENOUTER, BDR_RAISEDINNER, BDR_SUNKENINNER,
                        EDGE_RAISED,     EDGE_SUNKEN,     EDGE_ETCHED,     EDGE_BUMP};
  const UINT flags[] = {BF_RECT,
                        BF_RECT | BF_MIDDLE,
                        BF_RECT | BF_SOFT,
                        BF_RECT | BF_FLAT | BF_MIDDLE,
                        BF_RECT | BF_MONO | BF_MIDDLE,
                        BF_TOPLEFT,
                        BF_BOTTOMRIGHT,
                        BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE,
                        BF_DIAGONAL_ENDBOTTOMRIGHT};
  const int cell = 24;
  Canvas c(cell * 9, cell * 8, kTeal);
  for (int r = 0; r < 8; ++r)
    for (int k = 0; k < 9; ++k) {
      RECT rc{k * cell + 2, r * cell + 2, k * cell + cell - 2, r * cell + cell - 2};
      EXPECT_TRUE(DrawEdge(c.dc, &rc, edges[r], flags[k]));
    }
  EXPECT_TRUE(MatchesReference(Snapshot(c), "platform/gdi/tests/ref", "drawedge", cell, cell));
}

TEST(Classic, DrawEdgeAdjustsTheRectangle) {
  Canvas c(30, 30);
  struct Case {
    UINT edge, flags;
    RECT after;
  } cases[] = {
      {EDGE_RAISED, BF_RECT | BF_ADJUST, {7, 7, 23, 23}},
      {BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, {6, 6, 24, 24}},
      {EDGE_ETCHED, BF_TOP | BF_ADJUST, {5, 7, 25, 25}},
      {EDGE_RAISED, BF_RECT, {5, 5, 25, 25}},
  };
  for (const Case& k : cases) {
    RECT rc{5, 5, 25, 25};
    DrawEdge(c.dc, &rc, k.edge, k.flags);
    EXPECT_TRUE(rc == k.after) << k.edge << " " << k.flags;
  }
  // Raised: the light colour on the top-left, the dark shadow owning the corners.
  Canvas e(10, 10, kTeal);
  RECT rc{0, 0, 10, 10};
  DrawEdge(e.dc, &rc, EDGE_RAISED, BF_RECT);
  EXPECT_EQ(e.At(0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(e.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(e.At(9, 0), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(e.At(0, 9), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(e.At(8, 8), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(e.At(5, 5), kTeal);
}

TEST(Classic, DrawFrameControlReference) {
  struct Item {
    UINT type, state;
    int size;
  };
  const Item items[] = {
      {DFC_BUTTON, DFCS_BUTTONPUSH, 18},
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED, 18},
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT, 18},
      {DFC_BUTTON, DFCS_BUTTONCHECK, 13},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, 13},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, 13},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_PUSHED, 13},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_FLAT, 13},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_MONO, 13},
      {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIO, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_FLAT, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED, 13},
      {DFC_BUTTON, DFCS_BUTTONRADIOMASK, 13},
      {DFC_SCROLL, DFCS_SCROLLUP, 16},
      {DFC_SCROLL, DFCS_SCROLLDOWN, 16},
      {DFC_SCROLL, DFCS_SCROLLLEFT, 16},
      {DFC_SCROLL, DFCS_SCROLLRIGHT, 16},
      {DFC_SCROLL, DFCS_SCROLLCOMBOBOX, 16},
      {DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE, 16},
      {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED | DFCS_FLAT, 16},
      {DFC_SCROLL, DFCS_SCROLLSIZEGRIP, 16},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE, 16},
      {DFC_CAPTION, DFCS_CAPTIONMIN, 16},
      {DFC_CAPTION, DFCS_CAPTIONMAX, 16},
      {DFC_CAPTION, DFCS_CAPTIONRESTORE, 16},
      {DFC_CAPTION, DFCS_CAPTIONHELP, 16},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE, 16},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED, 16},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT, 16},
      {DFC_MENU, DFCS_MENUCHECK, 13},
      {DFC_MENU, DFCS_MENUBULLET, 13},
      {DFC_MENU, DFCS_MENUARROW, 13},
      {DFC_MENU, DFCS_MENUARROWRIGHT, 13},
  };
  const int cell = 22, cols = 8;
  const int n = int(std::size(items));
  Canvas c(cell * cols, cell * ((n + cols - 1) / cols), kTeal);
  for (int i = 0; i < n; ++i) {
    int x = (i % cols) * cell + 2, y = (i / cols) * cell + 2;
    RECT rc{x, y, x + items[i].size, y + items[i].size};
    EXPECT_TRUE(DrawFrameControl(c.dc, &rc, items[i].type, items[i].state)) << i;
  }
  EXPECT_TRUE(MatchesReference(Snapshot(c), "platform/gdi/tests/ref", "drawframecontrol", cell, cell));
}

TEST(Classic, RadioMaskShowsTheCircle) {
  // The flat radio mask on black: black inside the circle, white outside.
  Canvas c(13, 13, RGB(0, 0, 0));
  RECT rc{0, 0, 13, 13};
  DrawFrameControl(c.dc, &rc, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  EXPECT_EQ(c.At(6, 6), RGB(0, 0, 0));
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255));
  int firstCol = -1;
  for (int x = 0; x < 13 && firstCol < 0; ++x)
    for (int y = 0; y < 13; ++y)
      if (c.At(x, y) == RGB(0, 0, 0)) { firstCol = x; break; }
  EXPECT_EQ(firstCol, 0);
}

TEST(Classic, PredefinedCheckBoxBitmap) {
  HBITMAP b = LoadBitmapA(nullptr, reinterpret_cast<LPCSTR>(std::uintptr_t(OBM_CHECKBOXES)));
  ASSERT_NE(b, nullptr);
  BITMAP bm;
  GetObject(b, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth / 4, 13);
  EXPECT_EQ(bm.bmHeight / 3, 13);
  Canvas c(bm.bmWidth, bm.bmHeight);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, b);
  BitBlt(c.dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(b);
  EXPECT_TRUE(MatchesReference(Snapshot(c), "platform/gdi/tests/ref", "obm_checkboxes", 13, 13));
  EXPECT_EQ(GetObjectType(HBMMENU_POPUP_CLOSE), 0u);  // a marker, not a bitmap
}

TEST(Classic, MenuItemBitmapsAreDrawn) {
  // Close, restore, maximise and minimise: different glyphs on the menu colour.
  std::vector<std::vector<std::uint32_t>> seen;
  for (int id = 8; id <= 11; ++id) {
    HBITMAP b = LoadOEMBitmap(id);
    ASSERT_NE(b, nullptr) << id;
    Canvas c(16, 16);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, b);
    BitBlt(c.dc, 0, 0, 16, 16, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(b);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_MENU));
    EXPECT_GT(c.Ink(0, 0, 16, 16, GetSysColor(COLOR_MENU)), 4) << id;
    seen.emplace_back(c.bits, c.bits + 256);
  }
  for (std::size_t i = 0; i < seen.size(); ++i)
    for (std::size_t k = i + 1; k < seen.size(); ++k) EXPECT_NE(seen[i], seen[k]);
}

}  // namespace
