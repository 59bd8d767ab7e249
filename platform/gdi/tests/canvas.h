// A small drawing fixture for the tests: a memory DC over a top-down 32-bit
// DIB section, with pixel readers.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

struct Canvas {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ old = nullptr;
  std::uint32_t* bits = nullptr;
  int w = 0, h = 0;

  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : w(width), h(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<std::uint32_t*>(p);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
    Clear(fill);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Clear(COLORREF c) {
    std::uint32_t px = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < w * h; ++i) bits[i] = px;
  }
  COLORREF At(int x, int y) const {
    std::uint32_t p = bits[y * w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // One character per pixel: '#' where the pixel equals ink, '.' otherwise.
  std::string Ascii(COLORREF ink, int rows = -1, int cols = -1) const {
    std::string s;
    for (int y = 0; y < (rows < 0 ? h : rows); ++y) {
      for (int x = 0; x < (cols < 0 ? w : cols); ++x) s += At(x, y) == ink ? '#' : '.';
      s += '\n';
    }
    return s;
  }
  // Pixels in [l,r)x[t,b) that differ from bg.
  int Ink(int l, int t, int r, int b, COLORREF bg = RGB(255, 255, 255)) const {
    int n = 0;
    for (int y = std::max(t, 0); y < std::min(b, h); ++y)
      for (int x = std::max(l, 0); x < std::min(r, w); ++x) n += At(x, y) != bg;
    return n;
  }
  int Ink() const { return Ink(0, 0, w, h); }
};

// Selects an object for the scope and deletes it afterwards.
struct Selected {
  HDC dc;
  HGDIOBJ obj, old;
  Selected(HDC d, HGDIOBJ o) : dc(d), obj(o), old(SelectObject(d, o)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteObject(obj);
  }
};

// A w x w icon in `colour` whose left half is transparent.
inline HICON MakeIcon(int w, COLORREF colour) {
  HBITMAP col = CreateBitmap(w, w, 1, 32, nullptr);
  HBITMAP msk = CreateBitmap(w, w, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, col);
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, x < w / 2 ? RGB(0, 0, 0) : colour);
  SelectObject(dc, msk);
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, x < w / 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii;
  ii.hbmColor = col;
  ii.hbmMask = msk;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(col);
  DeleteObject(msk);
  return icon;
}

// A w x h bitmap filled with `colour`.
inline HBITMAP MakeBitmap(int w, int h, COLORREF colour) {
  HBITMAP b = CreateBitmap(w, h, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  RECT r{0, 0, w, h};
  HBRUSH br = CreateSolidBrush(colour);
  FillRect(dc, &r, br);
  DeleteObject(br);
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}
