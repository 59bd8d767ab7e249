// Image lists: adding with masks, drawing styles, overlays and the drag image.
#include <gtest/gtest.h>

#include "canvas.h"
#include "platform/gdi/imagelist.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Two 4x4 images side by side: image 0 white with a magenta top row, image 1 red
// with a magenta left column.
HBITMAP Strip() {
  HBITMAP b = CreateBitmap(8, 4, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      COLORREF c = x < 4 ? (y == 0 ? kMagenta : kWhite) : (x == 4 ? kMagenta : kRed);
      SetPixel(dc, x, y, c);
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

struct List {
  HIMAGELIST h;
  explicit List(UINT flags = ILC_COLOR32 | ILC_MASK) : h(ImageList_Create(4, 4, flags, 2, 2)) {
    HBITMAP b = Strip();
    EXPECT_EQ(ImageList_AddMasked(h, b, kMagenta), 0);
    DeleteObject(b);
  }
  ~List() { ImageList_Destroy(h); }
};

TEST(ImageList, AddMaskedAndDrawStyles) {
  List l;
  EXPECT_EQ(ImageList_GetImageCount(l.h), 2);
  int cx, cy;
  ImageList_GetIconSize(l.h, &cx, &cy);
  EXPECT_EQ(cx, 4);
  struct Case {
    UINT style;
    COLORREF bk;
    COLORREF top;    // pixel (1,0): masked in image 0
    COLORREF body;   // pixel (1,2)
  } cases[] = {
      {ILD_TRANSPARENT, CLR_DEFAULT, kGrey, kWhite},
      {ILD_NORMAL, kBlue, kBlue, kWhite},
      {ILD_NORMAL, CLR_NONE, kGrey, kWhite},
      {ILD_MASK, CLR_NONE, kWhite, RGB(0, 0, 0)},
      {ILD_BLEND50, CLR_NONE, kGrey, RGB(255, 127, 127)},
  };
  for (const Case& k : cases) {
    Canvas c(6, 6, kGrey);
    ASSERT_TRUE(ImageList_DrawEx(l.h, 0, c.dc, 1, 0, 0, 0, k.bk, kRed, k.style));
    EXPECT_EQ(c.At(2, 0), k.top) << k.style;
    EXPECT_EQ(c.At(2, 2), k.body) << k.style;
    EXPECT_EQ(c.At(0, 2), kGrey) << k.style;
  }
  // The list's own background colour with CLR_DEFAULT.
  ImageList_SetBkColor(l.h, kBlue);
  Canvas c(6, 6, kGrey);
  ImageList_Draw(l.h, 0, c.dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(c.At(1, 0), kBlue);
  // A list without a mask draws every pixel (masked ones were made black).
  List plain(ILC_COLOR32);
  Canvas p(6, 6, kGrey);
  ImageList_Draw(plain.h, 0, p.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(p.At(1, 0), RGB(0, 0, 0));
}

TEST(ImageList, RemoveReplaceOverlayAndIcon) {
  List l;
  ASSERT_TRUE(ImageList_SetOverlayImage(l.h, 1, 1));
  Canvas c(6, 6, kGrey);
  ImageList_Draw(l.h, 0, c.dc, 0, 0, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
  EXPECT_EQ(c.At(1, 1), kRed);    // overlay image 1 drawn over image 0
  EXPECT_EQ(c.At(0, 1), kWhite);  // the overlay's masked column shows image 0
  EXPECT_EQ(c.At(1, 0), kRed);

  HICON icon = ImageList_GetIcon(l.h, 0, ILD_NORMAL);
  Canvas i(4, 4, kGrey);
  DrawIconEx(i.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(i.At(0, 0), kGrey);
  EXPECT_EQ(i.At(0, 1), kWhite);
  DestroyIcon(icon);

  HBITMAP b = Strip();
  EXPECT_FALSE(ImageList_Replace(l.h, 5, b, nullptr));
  EXPECT_TRUE(ImageList_Remove(l.h, 0));
  EXPECT_EQ(ImageList_GetImageCount(l.h), 1);
  EXPECT_FALSE(ImageList_Draw(l.h, 1, c.dc, 0, 0, ILD_NORMAL));
  EXPECT_TRUE(ImageList_Remove(l.h, -1));
  EXPECT_EQ(ImageList_GetImageCount(l.h), 0);
  EXPECT_EQ(ImageList_Add(l.h, b, nullptr), 0);  // 8 pixels wide: two images
  EXPECT_EQ(ImageList_GetImageCount(l.h), 2);
  DeleteObject(b);
}

TEST(ImageList, PerPixelAlphaBlendsOverTheDestination) {
  HIMAGELIST h = ImageList_Create(1, 1, ILC_COLOR32, 1, 1);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 1;
  bi.bmiHeader.biHeight = -1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  *static_cast<std::uint32_t*>(bits) = 0x80FF0000u;  // red, half transparent
  ImageList_Add(h, b, nullptr);
  Canvas c(1, 1, kBlue);
  ImageList_Draw(h, 0, c.dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.At(0, 0), RGB(128, 0, 127));
  DeleteObject(b);
  ImageList_Destroy(h);
}

std::vector<DragImageState> g_seen;
void Record(const DragImageState& s) { g_seen.push_back(s); }

TEST(ImageList, DragImageReportsToTheWindowManager) {
  List l;
  g_seen.clear();
  SetDragImageHook(Record);
  HANDLE wnd = reinterpret_cast<HANDLE>(std::uintptr_t(0x1234));
  EXPECT_FALSE(ImageList_DragMove(1, 1));  // nothing to move yet
  ASSERT_TRUE(ImageList_BeginDrag(l.h, 1, 2, 3));
  ImageList_DragEnter(wnd, 10, 20);
  ImageList_DragMove(15, 25);
  ImageList_DragShowNolock(FALSE);
  ImageList_DragMove(16, 26);  // hidden: no report
  POINT pt, hot;
  HIMAGELIST drag = ImageList_GetDragImage(&pt, &hot);
  ASSERT_NE(drag, nullptr);
  EXPECT_EQ(pt.x, 16);
  EXPECT_EQ(hot.y, 3);
  EXPECT_EQ(ImageList_GetImageCount(drag), 1);
  ImageList_DragLeave(wnd);
  ImageList_EndDrag();
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
  ASSERT_EQ(g_seen.size(), 5u);
  EXPECT_TRUE(g_seen[0].visible);
  EXPECT_EQ(g_seen[0].hwndLock, wnd);
  EXPECT_EQ(g_seen[1].pos.x, 15);
  EXPECT_FALSE(g_seen[2].visible);
  EXPECT_EQ(g_seen[4].image, nullptr);
  SetDragImageHook(nullptr);
}

}  // namespace
