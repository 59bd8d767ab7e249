// The shared drawing helpers (cell text, hatching, transparent blits, pop-up
// placement, pop-up frames) and the registry and ini wrapper.
#include "inplace/tests/kxtest.h"

#include <cstring>

#include "platform/rtl/stringlist.h"

namespace {

// A small white memory surface with a fixed font.
struct TSurface {
  HDC DC = nullptr;
  HBITMAP Bmp = nullptr;
  HGDIOBJ Old = nullptr;
  HFONT Font = nullptr;
  int W, H;
  TSurface(int AW, int AH) : W(AW), H(AH) {
    HDC screen = GetDC(nullptr);
    DC = CreateCompatibleDC(screen);
    Bmp = CreateCompatibleBitmap(screen, W, H);
    ReleaseDC(nullptr, screen);
    Old = SelectObject(DC, Bmp);
    RECT r{0, 0, W, H};
    FillRect(DC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  }
  ~TSurface() {
    SelectObject(DC, Old);
    DeleteObject(Bmp);
    DeleteObject(Font);
    DeleteDC(DC);
  }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> p;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) p.push_back(GetPixel(DC, x, y));
    return p;
  }
  // The leftmost column with a non-white pixel, -1 when none.
  int FirstInk() const {
    for (int x = 0; x < W; ++x)
      for (int y = 0; y < H; ++y)
        if (GetPixel(DC, x, y) != 0xFFFFFF) return x;
    return -1;
  }
  int LastInk() const {
    for (int x = W - 1; x >= 0; --x)
      for (int y = 0; y < H; ++y)
        if (GetPixel(DC, x, y) != 0xFFFFFF) return x;
    return -1;
  }
};

class KxCommonTest : public InplaceTest {};

HBRUSH White() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

TEST_F(KxCommonTest, OverlongSingleLineTextEllipsisOrClip) {
  const AnsiString text = "WWWWWWWWWWWWWWWWWWWW";
  const TRect textRect = kxRect(2, 2, 60, 18), cell = kxRect(0, 0, 100, 20);
  int lh = 0;
  // With an end ellipsis: what DrawText draws with DT_END_ELLIPSIS.
  TSurface a(100, 20), b(100, 20);
  kxPaintCellText(a.DC, text, -1, lh, 0, 0xFFFFFF, a.Font, White(), kxctEndEllipsis | kxctVCenter, textRect, cell);
  SelectObject(b.DC, b.Font);
  SetBkMode(b.DC, TRANSPARENT);
  RECT r = textRect;
  DrawTextA(b.DC, text.c_str(), int(text.size()), &r,
            DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(b.Pixels(), a.Pixels());
  EXPECT_LE(a.LastInk(), 59);

  // Without: ExtTextOut clipped at the text rectangle's right edge.
  TSurface c(100, 20), d(100, 20);
  kxPaintCellText(c.DC, text, -1, lh, 0, 0xFFFFFF, c.Font, White(), kxctTop, textRect, cell);
  SelectObject(d.DC, d.Font);
  RECT clip{0, 0, 60, 20};
  ExtTextOutA(d.DC, 2, 2, ETO_CLIPPED | ETO_OPAQUE, &clip, text.c_str(), UINT(text.size()), nullptr);
  EXPECT_EQ(d.Pixels(), c.Pixels());
  EXPECT_EQ(59, c.LastInk());
}

TEST_F(KxCommonTest, NarrowTextAlignment) {
  const AnsiString text = "Ab";
  const TRect textRect = kxRect(10, 0, 90, 20), cell = kxRect(0, 0, 100, 20);
  int lh = 0;
  TSurface probe(100, 20);
  SelectObject(probe.DC, probe.Font);
  SIZE ext;
  GetTextExtentPoint32A(probe.DC, text.c_str(), 2, &ext);
  struct Case {
    Word Flags;
    int X;
  } cases[] = {{kxctLeft, 10}, {kxctRight, 90 - ext.cx}, {kxctCenter, (10 + 90 - ext.cx) / 2}};
  for (const Case& k : cases) {
    TSurface got(100, 20), want(100, 20);
    kxPaintCellText(got.DC, text, -1, lh, 0, 0xFFFFFF, got.Font, White(), k.Flags | kxctTransparent, textRect, cell);
    SelectObject(want.DC, want.Font);
    SetBkMode(want.DC, TRANSPARENT);
    ExtTextOutA(want.DC, k.X, 0, ETO_CLIPPED, &cell, text.c_str(), 2, nullptr);
    EXPECT_EQ(want.Pixels(), got.Pixels()) << "flags " << k.Flags;
  }
}

TEST_F(KxCommonTest, MeasuringAddsTheMarginsAndDrawsNothing) {
  TSurface s(100, 60);
  int lh = 0;
  int h = kxPaintCellText(s.DC, "one line", -1, lh, 0, 0xFFFFFF, s.Font, White(), kxctMeasure,
                          kxRect(0, 3, 100, 50), kxRect(0, 0, 100, 55));
  EXPECT_GT(lh, 0);
  EXPECT_EQ(lh + 3 + 5, h);
  EXPECT_EQ(-1, s.FirstInk());
  // Word-wrapped text measures every line.
  int two = kxPaintCellText(s.DC, "one line and another line", -1, lh, 0, 0xFFFFFF, s.Font, White(),
                            kxctMeasure | kxctMultiLine, kxRect(0, 0, 60, 50), kxRect(0, 0, 60, 50));
  EXPECT_GE(two, 2 * lh);
}

TEST_F(KxCommonTest, HatchKeepsEveryOtherPixel) {
  TSurface s(20, 20);
  RECT blue{0, 0, 20, 20};
  HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(s.DC, &blue, b);
  DeleteObject(b);
  kxHatchRect(s.DC, kxRect(3, 5, 13, 15), clRed);
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(s.DC, 2, 5));   // outside
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(s.DC, 4, 6));   // same parity: the hatch colour
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(s.DC, 3, 6));   // the other pixels keep theirs
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(s.DC, 3, 5));
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(s.DC, 13, 15));
}

TEST_F(KxCommonTest, TransparentBlitShowsTheBrush) {
  TSurface s(20, 20);
  TBitmap bmp;
  bmp.SetSize(4, 4);
  bmp.Canvas()->Brush()->SetColor(clLime);
  bmp.Canvas()->FillRect(kxRect(0, 0, 4, 4));
  SetPixel(bmp.Canvas()->Handle(), 1, 1, RGB(0, 0, 0));  // any colour other than the transparent one stays
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  kxBlitTransparent(s.DC, brush, kxRect(2, 2, 12, 12), &bmp, kxRect(4, 4, 8, 8));
  DeleteObject(brush);
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(s.DC, 2, 2));
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(s.DC, 4, 4));  // lime is the transparent colour
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(s.DC, 5, 5));
  EXPECT_EQ(0xFFFFFFu, GetPixel(s.DC, 12, 12));
}

TEST_F(KxCommonTest, PopupFlipsAboveOnlyWithMoreRoomThere) {
  TRect work;
  kxGetMonitorWorkArea(kxPoint(10, 10), work);
  struct Case {
    TPoint In;
    int W, H, Owner;
    TPoint Out;
  } cases[] = {
      {kxPoint(100, work.bottom - 80), 100, 200, 20, kxPoint(100, work.bottom - 80 - 220)},
      {kxPoint(100, 50), 100, work.bottom, 20, kxPoint(100, 50)},  // more room below: stays
      {kxPoint(-5, 10), 100, 50, 20, kxPoint(work.left, 10)},
      {kxPoint(work.right - 10, 10), 100, 50, 20, kxPoint(work.right - 100, 10)},
  };
  for (const Case& c : cases) {
    TPoint p = c.In;
    kxPlacePopupInWorkArea(p, c.W, c.H, c.Owner);
    EXPECT_EQ(c.Out, p) << c.In.x << "," << c.In.y;
  }
}

TEST_F(KxCommonTest, PopupFrameAndShadowRegion) {
  TSurface s(40, 30);
  kxPaintPopupFrame(s.DC, kxRect(0, 0, 40, 30), pbSingle, 2, true, false);
  // The shadow strips right and below the frame; the frame itself one pixel.
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(s.DC, 39, 15));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), GetPixel(s.DC, 20, 29));
  EXPECT_NE(0xFFFFFFu, GetPixel(s.DC, 0, 10));
  EXPECT_EQ(0xFFFFFFu, GetPixel(s.DC, 1, 10));
  RECT r{0, 0, 40, 30};
  kxPopupNCCalcSize(r, pbFrame3D, 2, true);
  EXPECT_EQ(kxRect(4, 4, 34, 24), r);
}

class KxRegIniTest : public KxCommonTest {
 protected:
  TKxTempRegistry Registry;
  TKxTempDir& Dir = Registry.Dir;
};

TEST_F(KxRegIniTest, RegistryBinaryDataAndSections) {
  TRegIniFile reg("Software\\PenvarroTest");
  TkxRegIniWrapper w(&reg);
  const char data[] = "0123456789";
  w.WriteBinaryData("Layout", "Bands", data, 10);
  EXPECT_EQ("Software\\PenvarroTest", reg.CurrentPath());
  EXPECT_EQ(10, w.ReadBinaryData("Layout", "Bands", nullptr, 0));
  char buf[4] = {};
  EXPECT_EQ(4, w.ReadBinaryData("Layout", "Bands", buf, 4));
  EXPECT_EQ(0, std::memcmp(buf, "0123", 4));
  EXPECT_EQ(0, w.ReadBinaryData("Layout", "Missing", nullptr, 0));
  EXPECT_EQ(0, w.ReadBinaryData("NoSuchKey", "Bands", nullptr, 0));
  EXPECT_EQ("Software\\PenvarroTest", reg.CurrentPath());

  w.WriteInteger("Row_1", "Height", 20);
  w.WriteString("Row_2", "Caption", "\xC3\xFB\xB3\xC6");  // 名称
  w.WriteBool("Other", "Flag", true);
  w.EraseSectionsWithPrefix("Row_");  // the registry is left alone
  EXPECT_EQ(20, w.ReadInteger("Row_1", "Height", 0));
  EXPECT_EQ("\xC3\xFB\xB3\xC6", w.ReadString("Row_2", "Caption", ""));
  EXPECT_TRUE(w.ReadBool("Other", "Flag", false));
}

TEST_F(KxRegIniTest, IniSectionsWithPrefix) {
  TMemIniFile ini(Dir.Path + "/layout.ini");
  TkxRegIniWrapper w(&ini);
  w.WriteInteger("Row_1", "Height", 20);
  w.WriteInteger("Row_2", "Height", 21);
  w.WriteInteger("row_3", "Height", 22);
  w.WriteInteger("Bands", "Count", 2);
  w.EraseSectionsWithPrefix("Row_");
  TStringList sections;
  w.ReadSections(&sections);
  EXPECT_EQ(2, sections.Count());
  EXPECT_EQ(22, w.ReadInteger("row_3", "Height", 0));  // the prefix compares with case
  EXPECT_EQ(0, w.ReadBinaryData("Bands", "Count", nullptr, 0));  // not a registry object
  TStringList idents;
  w.ReadSection("Bands", &idents);
  EXPECT_EQ(1, idents.Count());
  w.EraseSection("Bands");
  EXPECT_EQ(0, w.ReadInteger("Bands", "Count", 0));
}

}  // namespace
