// Bitmaps, DIBs and the block transfers: BitBlt/StretchBlt with any ternary
// raster operation, PatBlt, MaskBlt, AlphaBlend and TransparentBlt.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

// ---------------------------------------------------------------------------
// Bitmaps

static HBITMAP MakeBitmap(int w, int h, bool mono) {
  std::uintptr_t id = 0;
  if (!NewBitmap(w, h, mono, &id)) return nullptr;
  return ToHandle<HBITMAP>(id);
}

// Monochrome rows are padded to 16 bits; a set bit is white.
static void LoadMonoBits(BitmapObj* b, const std::uint8_t* src, int rowBytes, bool bottomUp) {
  for (int y = 0; y < b->h; ++y) {
    const std::uint8_t* r = src + std::size_t(bottomUp ? b->h - 1 - y : y) * rowBytes;
    std::uint32_t* d = b->Row(y);
    for (int x = 0; x < b->w; ++x) d[x] = (r[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFFFu : 0xFF000000u;
  }
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
  if (width < 0 || height < 0 || planes > 32) return nullptr;
  if (width == 0 || height == 0) return MakeBitmap(1, 1, true);
  bool mono = bpp * std::max(planes, 1u) == 1;
  HBITMAP h = MakeBitmap(width, height, mono);
  BitmapObj* b = GetBitmap(h);
  if (!b || !bits) return h;
  if (mono) {
    LoadMonoBits(b, static_cast<const std::uint8_t*>(bits), ((width + 15) / 16) * 2, false);
  } else if (bpp == 32) {
    const auto* s = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) b->Row(y)[x] = s[std::size_t(y) * width + x];
  } else if (bpp == 24) {
    const auto* s = static_cast<const std::uint8_t*>(bits);
    int rb = ((width * 3 + 1) / 2) * 2;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = s + std::size_t(y) * rb + x * 3;
        b->Row(y)[x] = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
      }
  }
  return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) return nullptr;
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return MakeBitmap(1, 1, true);
  Target t;
  bool mono = dc->GetTarget(t) && t.mono;
  HBITMAP h = MakeBitmap(width, height, mono);
  if (BitmapObj* b = GetBitmap(h)) std::fill(b->store.begin(), b->store.end(), 0xFF000000u);
  return h;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* bmi, UINT, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!bmi) return nullptr;
  const BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biBitCount != 32 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) return nullptr;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return nullptr;
  int w = h.biWidth, hh = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  std::uintptr_t id = 0;
  BitmapObj* b = NewBitmap(w, hh, false, &id);
  if (!b) return nullptr;
  std::fill(b->store.begin(), b->store.end(), 0u);
  b->dib = true;
  b->bottomUp = h.biHeight > 0;
  if (bits) *bits = b->bits;
  return ToHandle<HBITMAP>(id);
}

LONG GetBitmapBits(HBITMAP bmp, LONG size, void* bits) {
  BitmapObj* b = GetBitmap(bmp);
  if (!b || !bits || size <= 0) return 0;
  if (b->mono) {
    int rb = ((b->w + 15) / 16) * 2;
    LONG total = std::min<LONG>(size, LONG(rb) * b->h);
    auto* d = static_cast<std::uint8_t*>(bits);
    std::memset(d, 0, std::size_t(total));
    for (int y = 0; y < b->h; ++y)
      for (int x = 0; x < b->w; ++x) {
        std::size_t off = std::size_t(y) * rb + (x >> 3);
        if (LONG(off) >= total) return total;
        if (b->Row(y)[x] & 0xFFFFFF) d[off] |= std::uint8_t(0x80 >> (x & 7));
      }
    return total;
  }
  LONG total = std::min<LONG>(size, LONG(b->w) * b->h * 4);
  auto* d = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < b->h; ++y) {
    LONG off = LONG(y) * b->w * 4;
    if (off >= total) break;
    std::memcpy(d + off, b->Row(y), std::size_t(std::min<LONG>(total - off, b->w * 4)));
  }
  return total;
}

LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* bits) {
  BitmapObj* b = GetBitmap(bmp);
  if (!b || !bits) return 0;
  if (b->mono) {
    int rb = ((b->w + 15) / 16) * 2;
    if (size < DWORD(rb) * DWORD(b->h)) return 0;
    LoadMonoBits(b, static_cast<const std::uint8_t*>(bits), rb, false);
    return LONG(rb * b->h);
  }
  DWORD need = DWORD(b->w) * DWORD(b->h) * 4;
  if (size < need) return 0;
  for (int y = 0; y < b->h; ++y)
    std::memcpy(b->Row(y), static_cast<const std::uint8_t*>(bits) + std::size_t(y) * b->w * 4, std::size_t(b->w) * 4);
  return LONG(need);
}

BOOL GetBitmapDimensionEx(HBITMAP bmp, SIZE* size) {
  if (!GetBitmap(bmp) || !size) return FALSE;
  *size = SIZE{};
  return TRUE;
}

static int DibStride(int w, int bpp) { return ((w * bpp + 31) / 32) * 4; }

int GetDIBits(HDC, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT) {
  BitmapObj* b = GetBitmap(bmp);
  if (!b || !bmi) return 0;
  BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (!bits) {
    if (h.biBitCount == 0) {
      h.biWidth = b->w;
      h.biHeight = b->h;
      h.biPlanes = 1;
      h.biBitCount = b->mono ? 1 : 32;
      h.biCompression = BI_RGB;
      h.biSizeImage = DWORD(DibStride(b->w, h.biBitCount)) * DWORD(b->h);
    }
    return int(b->h);
  }
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 24 && bpp != 32) return 0;
  if (h.biWidth != b->w) h.biWidth = b->w;
  bool topDown = h.biHeight < 0;
  h.biHeight = topDown ? -b->h : b->h;
  int stride = DibStride(b->w, bpp);
  if (start >= UINT(b->h)) return 0;
  UINT n = std::min<UINT>(lines, UINT(b->h) - start);
  auto* out = static_cast<std::uint8_t*>(bits);
  if (bpp == 1) {
    bmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    // A second colour-table entry follows the first in the caller's buffer.
    RGBQUAD white{255, 255, 255, 0};
    std::memcpy(reinterpret_cast<std::uint8_t*>(bmi->bmiColors) + sizeof(RGBQUAD), &white, sizeof white);
  }
  for (UINT i = 0; i < n; ++i) {
    UINT scan = start + i;  // scan line in DIB order
    int y = topDown ? int(scan) : b->h - 1 - int(scan);
    const std::uint32_t* s = b->Row(y);
    std::uint8_t* d = out + std::size_t(i) * stride;
    if (bpp == 32) {
      std::memcpy(d, s, std::size_t(b->w) * 4);
    } else if (bpp == 24) {
      for (int x = 0; x < b->w; ++x) {
        d[x * 3] = std::uint8_t(s[x]);
        d[x * 3 + 1] = std::uint8_t(s[x] >> 8);
        d[x * 3 + 2] = std::uint8_t(s[x] >> 16);
      }
    } else {
      std::memset(d, 0, std::size_t(stride));
      for (int x = 0; x < b->w; ++x)
        if (MonoOf(s[x]) & 0xFFFFFF) d[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
    }
  }
  return int(n);
}

// Reads DIB pixels of depth 1, 4, 8, 24 or 32 into top-down 32-bit rows.
static bool DecodeDibRows(const BITMAPINFO* bmi, const void* bits, UINT start, UINT lines,
                          std::vector<std::uint32_t>& out, int& w, int& h, bool& topDown) {
  const BITMAPINFOHEADER& hd = bmi->bmiHeader;
  int bpp = hd.biBitCount;
  if (hd.biWidth <= 0 || hd.biHeight == 0 || hd.biHeight == INT32_MIN) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (hd.biCompression != BI_RGB && !(bpp == 32 && hd.biCompression == BI_BITFIELDS)) return false;
  w = hd.biWidth;
  h = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  if (std::int64_t(w) * h > PV_MAX_BITMAP_PIXELS) return false;
  topDown = hd.biHeight < 0;
  int stride = DibStride(w, bpp);
  out.assign(std::size_t(w) * h, 0xFF000000u);
  const auto* src = static_cast<const std::uint8_t*>(bits);
  for (UINT i = 0; i < lines && start + i < UINT(h); ++i) {
    UINT scan = start + i;
    int y = topDown ? int(scan) : h - 1 - int(scan);
    const std::uint8_t* r = src + std::size_t(i) * stride;
    std::uint32_t* d = out.data() + std::size_t(y) * w;
    for (int x = 0; x < w; ++x) {
      std::uint32_t px;
      if (bpp == 32) {
        std::memcpy(&px, r + x * 4, 4);
      } else if (bpp == 24) {
        px = 0xFF000000u | (r[x * 3 + 2] << 16) | (r[x * 3 + 1] << 8) | r[x * 3];
      } else {
        int idx = bpp == 8 ? r[x] : bpp == 4 ? ((r[x >> 1] >> ((x & 1) ? 0 : 4)) & 15)
                                              : ((r[x >> 3] >> (7 - (x & 7))) & 1);
        const RGBQUAD& q = bmi->bmiColors[idx];
        px = 0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
      }
      d[x] = px;
    }
  }
  return true;
}

int SetDIBits(HDC, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT) {
  BitmapObj* b = GetBitmap(bmp);
  if (!b || !bits || !bmi) return 0;
  std::vector<std::uint32_t> px;
  int w, h;
  bool topDown;
  if (!DecodeDibRows(bmi, bits, start, lines, px, w, h, topDown)) return 0;
  UINT n = 0;
  for (UINT i = 0; i < lines && start + i < UINT(h); ++i, ++n) {
    UINT scan = start + i;
    int y = topDown ? int(scan) : h - 1 - int(scan);
    if (y >= b->h) continue;
    for (int x = 0; x < std::min(w, b->w); ++x) {
      std::uint32_t p = px[std::size_t(y) * w + x];
      b->Row(y)[x] = b->mono ? MonoOf(p) : p;
    }
  }
  return int(n);
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* bmih, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage) {
  if (!bmih) return nullptr;
  int h = bmih->biHeight < 0 ? -bmih->biHeight : bmih->biHeight;
  HBITMAP bmp = CreateCompatibleBitmap(hdc, bmih->biWidth, h);
  if (bmp && (init & CBM_INIT) && bits && bmi) SetDIBits(hdc, bmp, 0, UINT(h), bits, bmi, usage);
  return bmp;
}

// ---------------------------------------------------------------------------
// Block transfers

namespace {

struct Ctx {
  DCObj* dc = nullptr;
  Target t;
  const Region* clip = nullptr;
  POINT off;
  bool Open(HDC h) {
    dc = LookupDC(h);
    if (!dc || !dc->GetTarget(t)) return false;
    dc->drawn = true;
    clip = &dc->Clip(t);
    off = dc->Offset();
    return true;
  }
};

inline bool UsesSrc(unsigned c) { return ((c >> 2) ^ c) & 0x33; }
inline bool UsesPat(unsigned c) { return ((c >> 4) ^ c) & 0x0F; }

inline std::uint32_t ApplyRop(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0xCC: return s;
    case 0x00: return 0xFF000000u;
    case 0xFF: return 0xFFFFFFFFu;
    case 0xF0: return p | 0xFF000000u;
    case 0x66: return (s ^ d) | 0xFF000000u;
    case 0x88: return (s & d) | 0xFF000000u;
    case 0xEE: return (s | d) | 0xFF000000u;
    case 0x33: return ~s | 0xFF000000u;
    case 0x55: return ~d | 0xFF000000u;
    case 0x5A: return (p ^ d) | 0xFF000000u;
    case 0xC0: return (p & s) | 0xFF000000u;
    case 0xBB: return (~s | d) | 0xFF000000u;
    case 0x44: return (s & ~d) | 0xFF000000u;
    case 0xE2: return (((p ^ d) & s) ^ d) | 0xFF000000u;  // DSPDxax
    case 0xB8: return (((d ^ p) & s) ^ p) | 0xFF000000u;  // PSDPxax
    default: return Rop3(code, p, s, d);
  }
}

// Converts source pixels to the destination's format.
struct SrcConv {
  int mode = 0;  // 0 none, 1 mono->colour, 2 colour->mono
  std::uint32_t fg = 0, bg = 0, srcBk = 0;
  std::uint32_t operator()(std::uint32_t s) const {
    if (mode == 1) return (s & 0xFFFFFF) ? bg : fg;
    if (mode == 2) return ((s ^ srcBk) & 0xFFFFFF) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
    return s;
  }
};

struct Mapping {
  int d0, dn, dsgn;  // dest pixel i at d0 + i*dsgn, i in [0, dn)
  int s0, sn, ssgn;  // source index j at s0 + j*ssgn
  int Src(int i) const {
    long long j = dn == sn ? i : (2LL * i + 1) * sn / (2LL * dn);
    return s0 + int(j) * ssgn;
  }
};

BOOL Transfer(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop,
              HBITMAP maskBmp = nullptr, int xm = 0, int ym = 0) {
  Ctx d;
  if (!d.Open(hdst)) return LookupDC(hdst) != nullptr;
  const unsigned fore = (rop >> 16) & 0xFF;
  const unsigned back = maskBmp ? (rop >> 24) & 0xFF : fore;
  const bool needSrc = UsesSrc(fore) || UsesSrc(back);
  const bool needPat = UsesPat(fore) || UsesPat(back);
  Ctx s;
  if (needSrc && !s.Open(hsrc)) return FALSE;
  BitmapObj* mask = maskBmp ? GetBitmap(maskBmp) : nullptr;
  if (maskBmp && (!mask || !mask->mono)) return FALSE;
  if (w == 0 || h == 0) return TRUE;
  Paint pat;
  if (needPat) {
    pat = BrushPaint(d.dc, d.t, d.dc->st.brush);
    pat.opaque = ~0ull;
    if (pat.null) { pat.null = false; pat.solid = true; pat.color = 0xFF000000u; }
  }
  Mapping mx{x + d.off.x, std::abs(w), w < 0 ? -1 : 1, 0, std::abs(w), 1};
  Mapping my{y + d.off.y, std::abs(h), h < 0 ? -1 : 1, 0, std::abs(h), 1};
  SrcConv conv;
  if (needSrc) {
    mx.s0 = xs + s.off.x;
    mx.sn = std::abs(ws);
    mx.ssgn = ws < 0 ? -1 : 1;
    my.s0 = ys + s.off.y;
    my.sn = std::abs(hs);
    my.ssgn = hs < 0 ? -1 : 1;
    if (mx.sn == 0 || my.sn == 0) return TRUE;
    if (s.t.mono && !d.t.mono) {
      conv.mode = 1;
      conv.fg = MapColor(d.t, d.dc->st.text);
      conv.bg = MapColor(d.t, d.dc->st.bk);
    } else if (!s.t.mono && d.t.mono) {
      conv.mode = 2;
      conv.srcBk = ToPixel(ResolveColor(s.dc->st.bk));
    }
  }
  const Region& clip = *d.clip;
  const RECT cbox = clip.Box();
  const bool oneToOne = !needSrc || (mx.sn == mx.dn && my.sn == my.dn && mx.ssgn == mx.dsgn && my.ssgn == my.dsgn);
  const bool sameMem = needSrc && s.t.top == d.t.top;
  // Dest rows in order; bottom-up when copying downwards within one image.
  int yFirst = 0, yStep = 1;
  if (sameMem && oneToOne && my.dsgn > 0 && my.d0 > my.s0) { yFirst = my.dn - 1; yStep = -1; }
  std::vector<std::uint32_t> srow;
  int hint = -1;
  for (int k = 0, iy = yFirst; k < my.dn; ++k, iy += yStep) {
    const int Y = my.d0 + iy * my.dsgn;
    if (Y < cbox.top || Y >= cbox.bottom) continue;
    int SY = 0;
    if (needSrc) {
      SY = my.Src(iy);
      if (SY < 0 || SY >= s.t.h) continue;
    }
    int bi = clip.FindBand(Y, hint);
    if (bi < 0) continue;
    hint = bi;
    const auto& xs2 = clip.Bands()[bi].xs;
    std::uint32_t* drow = d.t.Row(Y);
    const std::uint32_t* sr = needSrc ? s.t.Row(SY) : nullptr;
    if (sameMem && !(oneToOne && !mask && fore == 0xCC && conv.mode == 0)) {
      // Reading and writing one image pixel by pixel: read from a copy of the row.
      srow.assign(sr, sr + s.t.w);
      sr = srow.data();
    }
    // Dest x range covered by the transfer
    int xa = mx.dsgn > 0 ? mx.d0 : mx.d0 - mx.dn + 1;
    int xb = xa + mx.dn;
    if (needSrc && oneToOne) {
      // Limit to source columns inside the source image.
      int sa = mx.s0 + (xa - mx.d0), sb = sa + mx.dn;
      if (sa < 0) xa -= sa;
      if (sb > s.t.w) xb -= sb - s.t.w;
    }
    for (std::size_t q = 0; q < xs2.size(); q += 2) {
      int a = std::max(xa, xs2[q]), b = std::min(xb, xs2[q + 1]);
      if (a >= b) continue;
      if (oneToOne && !mask) {
        if (fore == 0xCC && conv.mode == 0) {
          std::memmove(drow + a, sr + (mx.s0 + (a - mx.d0)), std::size_t(b - a) * 4);
          continue;
        }
        if (!needSrc && (fore == 0xF0 && pat.solid)) {
          FillPixels(drow + a, b - a, pat.color);
          continue;
        }
        if (!needSrc && (fore == 0x00 || fore == 0xFF)) {
          FillPixels(drow + a, b - a, fore ? 0xFFFFFFFFu : 0xFF000000u);
          continue;
        }
        if (fore == 0xCC) {
          const std::uint32_t* sp = sr + (mx.s0 + (a - mx.d0));
          for (int X = a; X < b; ++X) drow[X] = conv(sp[X - a]);
          continue;
        }
      }
      for (int X = a; X < b; ++X) {
        std::uint32_t S = 0;
        if (needSrc) {
          int ix = (X - mx.d0) * mx.dsgn;
          int SX = mx.Src(ix);
          if (SX < 0 || SX >= s.t.w) continue;
          S = conv(sr[SX]);
        }
        unsigned code = fore;
        if (mask) {
          int mxp = xm + (X - mx.d0) * mx.dsgn, myp = ym + iy;
          bool bit = mxp >= 0 && myp >= 0 && mxp < mask->w && myp < mask->h && (mask->Row(myp)[mxp] & 0xFFFFFF);
          code = bit ? fore : back;
        }
        std::uint32_t P = needPat ? pat.At(X, Y) : 0;
        drow[X] = ApplyRop(code, P, S, drow[X]);
      }
    }
  }
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, DWORD rop) {
  if (w < 0) { x += w; xSrc += w; w = -w; }
  if (h < 0) { y += h; ySrc += h; h = -h; }
  return Transfer(dst, x, y, w, h, src, xSrc, ySrc, w, h, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop) {
  return Transfer(dst, x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  if (UsesSrc((rop >> 16) & 0xFF)) return FALSE;
  if (w < 0) { x += w; w = -w; }
  if (h < 0) { y += h; h = -h; }
  return Transfer(hdc, x, y, w, h, nullptr, 0, 0, w, h, rop);
}

BOOL MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop) {
  if (!mask) return Transfer(dst, x, y, w, h, src, xSrc, ySrc, w, h, rop & 0x00FFFFFF);
  return Transfer(dst, x, y, w, h, src, xSrc, ySrc, w, h, rop, mask, xMask, yMask);
}

namespace {
// Runs f(destPixel&, srcPixel) over a stretched transfer without mirroring.
template <class F>
BOOL Compose(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, F f) {
  if (w < 0 || h < 0 || ws < 0 || hs < 0) return FALSE;
  Ctx d, s;
  if (!d.Open(hdst) || !s.Open(hsrc)) return FALSE;
  int sx0 = xs + s.off.x, sy0 = ys + s.off.y;
  if (sx0 < 0 || sy0 < 0 || sx0 + ws > s.t.w || sy0 + hs > s.t.h) return FALSE;
  if (w == 0 || h == 0 || ws == 0 || hs == 0) return TRUE;
  Mapping mx{x + d.off.x, w, 1, sx0, ws, 1};
  Mapping my{y + d.off.y, h, 1, sy0, hs, 1};
  const Region& clip = *d.clip;
  int hint = -1;
  for (int iy = 0; iy < h; ++iy) {
    int Y = my.d0 + iy;
    int bi = clip.FindBand(Y, hint);
    if (bi < 0) continue;
    hint = bi;
    const auto& xs2 = clip.Bands()[bi].xs;
    std::uint32_t* drow = d.t.Row(Y);
    const std::uint32_t* sr = s.t.Row(my.Src(iy));
    for (std::size_t q = 0; q < xs2.size(); q += 2) {
      int a = std::max(mx.d0, xs2[q]), b = std::min(mx.d0 + w, xs2[q + 1]);
      for (int X = a; X < b; ++X) f(drow[X], sr[mx.Src(X - mx.d0)], d.t.mono);
    }
  }
  return TRUE;
}
}  // namespace

BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                BLENDFUNCTION bf) {
  if (bf.BlendOp != AC_SRC_OVER) return FALSE;
  const unsigned sca = bf.SourceConstantAlpha;
  const bool perPixel = bf.AlphaFormat & AC_SRC_ALPHA;
  return Compose(dst, x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, [&](std::uint32_t& D, std::uint32_t S, bool mono) {
    unsigned sa = perPixel ? (S >> 24) : 255u;
    unsigned a = sa * sca / 255;  // effective source alpha
    auto ch = [&](int sh) -> std::uint32_t {
      unsigned sc = (S >> sh) & 0xFF, dc = (D >> sh) & 0xFF;
      unsigned v = perPixel ? (sc * sca + dc * (255 - a) + 127) / 255 : (sc * sca + dc * (255 - sca) + 127) / 255;
      return std::min(v, 255u) << sh;
    };
    unsigned da = D >> 24;
    unsigned oa = std::min(255u, a + (da * (255 - a) + 127) / 255);
    std::uint32_t r = ch(0) | ch(8) | ch(16) | (oa << 24);
    D = mono ? MonoOf(r) : r;
  });
}

BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                    UINT transparent) {
  DCObj* ddc = LookupDC(dst);
  DCObj* sdc = LookupDC(src);
  if (!ddc || !sdc) return FALSE;
  Target dt, st;
  if (!ddc->GetTarget(dt) || !sdc->GetTarget(st)) return FALSE;
  ddc->drawn = true;
  const std::uint32_t key = ToPixel(ResolveColor(transparent)) & 0xFFFFFF;
  SrcConv conv;
  if (st.mono && !dt.mono) {
    conv.mode = 1;
    conv.fg = MapColor(dt, ddc->st.text);
    conv.bg = MapColor(dt, ddc->st.bk);
  } else if (!st.mono && dt.mono) {
    conv.mode = 2;
    conv.srcBk = ToPixel(ResolveColor(sdc->st.bk));
  }
  return Compose(dst, x, y, w, h, src, xSrc, ySrc, wSrc, hSrc, [&](std::uint32_t& D, std::uint32_t S, bool) {
    if ((S & 0xFFFFFF) != key) D = conv(S);
  });
}

// DIB pixels straight to a device, through a temporary bitmap.
static HBITMAP DibToBitmap(const void* bits, const BITMAPINFO* bmi) {
  std::vector<std::uint32_t> px;
  int w, h;
  bool td;
  if (!bits || !bmi) return nullptr;
  int lines = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
  if (!DecodeDibRows(bmi, bits, 0, UINT(lines), px, w, h, td)) return nullptr;
  HBITMAP b = MakeBitmap(w, h, false);
  BitmapObj* o = GetBitmap(b);
  if (!o) return nullptr;
  std::memcpy(o->bits, px.data(), px.size() * 4);
  return b;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* bmi, UINT, DWORD rop) {
  HBITMAP b = DibToBitmap(bits, bmi);
  if (!b) return 0;
  HDC mem = CreateCompatibleDC(hdc);
  SelectObject(mem, b);
  // Source coordinates count from the bottom for bottom-up DIBs.
  int h = GetBitmap(b)->h;
  int sy = bmi->bmiHeader.biHeight > 0 ? h - ySrc - hSrc : ySrc;
  BOOL ok = StretchBlt(hdc, xDest, yDest, wDest, hDest, mem, xSrc, sy, wSrc, hSrc, rop);
  DeleteDC(mem);
  DeleteObject(b);
  return ok ? hDest : 0;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT, UINT lines,
                      const void* bits, const BITMAPINFO* bmi, UINT usage) {
  int r = StretchDIBits(hdc, xDest, yDest, int(w), int(h), xSrc, ySrc, int(w), int(h), bits, bmi, usage, SRCCOPY);
  return r ? int(lines) : 0;
}
