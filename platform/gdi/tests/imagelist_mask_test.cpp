// Masked image-list drawing: pixels masked by a colour keep the background,
// whatever kind of bitmap the image came from.
#include <gtest/gtest.h>

#include "canvas.h"
#include "platform/gdi/imagelist.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A 4x4 two-colour image: white with a red 2x2 square at (1,1). `dib` makes it a
// 32-bit DIB section whose pixels all carry opaque alpha (as drawing calls leave them).
HBITMAP TwoColour(bool dib) {
  HBITMAP b;
  if (dib) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = 4;
    bi.bmiHeader.biHeight = -4;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) px[y * 4 + x] = (x >= 1 && x < 3 && y >= 1 && y < 3) ? 0xFFFF0000u : 0xFFFFFFFFu;
  } else {
    b = CreateBitmap(4, 4, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) SetPixel(dc, x, y, (x >= 1 && x < 3 && y >= 1 && y < 3) ? kRed : kWhite);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  return b;
}

TEST(ImageListMask, ColourMaskKeepsBackground) {
  struct Case {
    bool dib;
    UINT flags;      // list flags
    UINT style;
    COLORREF bk;     // passed to ImageList_DrawEx
    COLORREF corner; // pixel (0,0): masked white
  } cases[] = {
      {false, ILC_COLOR32 | ILC_MASK, ILD_NORMAL, CLR_NONE, kGreen},
      {true, ILC_COLOR32 | ILC_MASK, ILD_NORMAL, CLR_NONE, kGreen},
      {true, ILC_COLOR32 | ILC_MASK, ILD_TRANSPARENT, kBlue, kGreen},
      {true, ILC_COLOR32 | ILC_MASK, ILD_NORMAL, kBlue, kBlue},
      {true, ILC_COLOR32 | ILC_MASK, ILD_NORMAL, CLR_DEFAULT, kGreen},  // list background: none
      // Without a mask the masked pixels were turned black and are drawn as such.
      {true, ILC_COLOR32, ILD_TRANSPARENT, CLR_NONE, RGB(0, 0, 0)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "dib " << k.dib << " flags " << k.flags << " style " << k.style);
    HIMAGELIST h = ImageList_Create(4, 4, k.flags, 1, 1);
    HBITMAP b = TwoColour(k.dib);
    ASSERT_EQ(ImageList_AddMasked(h, b, kWhite), 0);
    DeleteObject(b);
    Canvas c(6, 6, kGreen);
    ASSERT_TRUE(ImageList_DrawEx(h, 0, c.dc, 1, 1, 0, 0, k.bk, CLR_NONE, k.style));
    EXPECT_EQ(c.At(1, 1), k.corner);
    EXPECT_EQ(c.At(4, 4), k.corner);
    EXPECT_EQ(c.At(2, 2), kRed);  // the unmasked colour stays
    EXPECT_EQ(c.At(3, 3), kRed);
    EXPECT_EQ(c.At(0, 0), kGreen);  // outside the image
    // The mask itself: white where transparent.
    Canvas m(4, 4, kGreen);
    ImageList_Draw(h, 0, m.dc, 0, 0, ILD_MASK);
    if (k.flags & ILC_MASK) {
      EXPECT_EQ(m.At(0, 0), kWhite);
    }
    EXPECT_EQ(m.At(1, 1), RGB(0, 0, 0));
    ImageList_Destroy(h);
  }
}

// An image with real per-pixel alpha still blends, and an added colour mask
// still cuts holes in it.
TEST(ImageListMask, AlphaImageWithColourMask) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = -1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<std::uint32_t*>(bits);
  px[0] = 0xFFFFFFFFu;  // opaque white: the mask colour
  px[1] = 0x80FF0000u;  // half-transparent red
  HIMAGELIST h = ImageList_Create(2, 1, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_EQ(ImageList_AddMasked(h, b, kWhite), 0);
  DeleteObject(b);
  Canvas c(2, 1, RGB(0, 0, 0));
  ImageList_Draw(h, 0, c.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  COLORREF mid = c.At(1, 0);
  EXPECT_NEAR(GetRValue(mid), 128, 2);
  EXPECT_EQ(GetGValue(mid), 0);
  ImageList_Destroy(h);
}

}  // namespace
