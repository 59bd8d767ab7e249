// Image lists and the drag image.
#include "platform/gdi/imagelist.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

namespace {

struct Image {
  std::vector<std::uint32_t> px;    // cx*cy, top-down
  std::vector<std::uint8_t> mask;   // 1: transparent
  bool alpha = false;               // straight per-pixel alpha
};

struct ImageListObj {
  int cx = 16, cy = 16;
  UINT flags = 0;
  int grow = 4;
  std::vector<Image> images;
  COLORREF bk = CLR_NONE;
  int overlay[16];
  HBITMAP stripImage = nullptr, stripMask = nullptr;
  ImageListObj() { std::fill(std::begin(overlay), std::end(overlay), -1); }
  ~ImageListObj() {
    if (stripImage) DeleteObject(stripImage);
    if (stripMask) DeleteObject(stripMask);
  }
  bool Masked() const { return flags & ILC_MASK; }
};

std::unordered_map<std::uintptr_t, std::unique_ptr<ImageListObj>>& Lists() {
  static auto* m = new std::unordered_map<std::uintptr_t, std::unique_ptr<ImageListObj>>;
  return *m;
}
std::uintptr_t g_nextList = 0x70000000;

ImageListObj* Get(HIMAGELIST h) {
  auto it = Lists().find(reinterpret_cast<std::uintptr_t>(h));
  return it == Lists().end() ? nullptr : it->second.get();
}

HIMAGELIST New(std::unique_ptr<ImageListObj> o) {
  std::uintptr_t id = g_nextList;
  g_nextList += 4;
  Lists()[id] = std::move(o);
  return reinterpret_cast<HIMAGELIST>(id);
}

// A bitmap carries per-pixel alpha only when its alpha bytes vary or are partial:
// all zero (never written) or all opaque (drawn with the usual calls) means plain colour,
// so that a mask made from a colour still applies.
bool HasAlpha(const BitmapObj* b) {
  if (b->mono || !b->dib) return false;
  for (int y = 0; y < b->h; ++y)
    for (int x = 0; x < b->w; ++x) {
      unsigned a = b->Row(y)[x] >> 24;
      if (a != 0 && a != 0xFF) return true;
    }
  bool any = false, clear = false;
  for (int y = 0; y < b->h; ++y)
    for (int x = 0; x < b->w; ++x) ((b->Row(y)[x] >> 24) ? any : clear) = true;
  return any && clear;
}

// Cuts image k (of width cx) out of the bitmaps.
Image Cut(const ImageListObj& l, BitmapObj* img, BitmapObj* mask, int k, bool alpha) {
  Image im;
  im.px.assign(std::size_t(l.cx) * l.cy, 0xFF000000u);
  im.mask.assign(std::size_t(l.cx) * l.cy, 0);
  im.alpha = alpha;
  for (int y = 0; y < l.cy && y < img->h; ++y)
    for (int x = 0; x < l.cx; ++x) {
      int sx = k * l.cx + x;
      if (sx >= img->w) break;
      std::uint32_t p = img->Row(y)[sx];
      if (!alpha) p |= 0xFF000000u;
      im.px[std::size_t(y) * l.cx + x] = p;
      if (mask && sx < mask->w && y < mask->h) im.mask[std::size_t(y) * l.cx + x] = (mask->Row(y)[sx] & 0xFFFFFF) ? 1 : 0;
      else if (alpha) im.mask[std::size_t(y) * l.cx + x] = (p >> 24) == 0;
    }
  return im;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, unsigned t) {  // t/255 of b over a
  auto ch = [&](int sh) { return ((((a >> sh) & 0xFF) * (255 - t) + ((b >> sh) & 0xFF) * t + 127) / 255) << sh; };
  return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

// The drag image
struct DragState {
  HIMAGELIST list = nullptr;
  DragImageState st;
  DragImageHook hook = nullptr;
} g_drag;

void NotifyDrag() {
  g_drag.st.image = g_drag.list;
  if (g_drag.hook) g_drag.hook(g_drag.st);
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096 || initial < 0) return nullptr;
  auto o = std::make_unique<ImageListObj>();
  o->cx = cx;
  o->cy = cy;
  o->flags = flags;
  o->grow = std::max(grow, 1);
  o->images.reserve(std::size_t(std::min(initial, 4096)));
  return New(std::move(o));
}

BOOL ImageList_Destroy(HIMAGELIST h) {
  if (!Get(h)) return FALSE;
  if (g_drag.list == h) ImageList_EndDrag();
  Lists().erase(reinterpret_cast<std::uintptr_t>(h));
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST h) {
  ImageListObj* l = Get(h);
  if (!l) return nullptr;
  auto o = std::make_unique<ImageListObj>();
  o->cx = l->cx;
  o->cy = l->cy;
  o->flags = l->flags;
  o->grow = l->grow;
  o->images = l->images;
  o->bk = l->bk;
  std::copy(std::begin(l->overlay), std::end(l->overlay), std::begin(o->overlay));
  return New(std::move(o));
}

int ImageList_GetImageCount(HIMAGELIST h) {
  ImageListObj* l = Get(h);
  return l ? int(l->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST h, UINT count) {
  ImageListObj* l = Get(h);
  if (!l || count > 100000) return FALSE;
  Image blank;
  blank.px.assign(std::size_t(l->cx) * l->cy, 0xFF000000u);
  blank.mask.assign(std::size_t(l->cx) * l->cy, 0);
  l->images.resize(count, blank);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
  ImageListObj* l = Get(h);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST h, int cx, int cy) {
  ImageListObj* l = Get(h);
  if (!l || cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return FALSE;
  l->cx = cx;
  l->cy = cy;
  l->images.clear();
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF c) {
  ImageListObj* l = Get(h);
  if (!l) return CLR_NONE;
  COLORREF o = l->bk;
  l->bk = c;
  return o;
}

COLORREF ImageList_GetBkColor(HIMAGELIST h) {
  ImageListObj* l = Get(h);
  return l ? l->bk : CLR_NONE;
}

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
  ImageListObj* l = Get(h);
  BitmapObj* b = GetBitmap(image);
  if (!l || !b) return -1;
  BitmapObj* m = mask ? GetBitmap(mask) : nullptr;
  int n = std::max(1, b->w / l->cx);
  int first = int(l->images.size());
  bool alpha = HasAlpha(b);
  for (int k = 0; k < n; ++k) l->images.push_back(Cut(*l, b, m, k, alpha));
  return first;
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF maskColor) {
  ImageListObj* l = Get(h);
  BitmapObj* b = GetBitmap(image);
  if (!l || !b) return -1;
  int first = ImageList_Add(h, image, nullptr);
  if (first < 0) return -1;
  std::uint32_t key = ToPixel(ResolveColor(maskColor)) & 0xFFFFFF;
  for (std::size_t i = std::size_t(first); i < l->images.size(); ++i) {
    Image& im = l->images[i];
    for (std::size_t p = 0; p < im.px.size(); ++p)
      if ((im.px[p] & 0xFFFFFF) == key) {
        im.mask[p] = 1;
        im.px[p] = 0xFF000000u;  // masked pixels become black, as the platform leaves them
      }
  }
  return first;
}

BOOL ImageList_Replace(HIMAGELIST h, int i, HBITMAP image, HBITMAP mask) {
  ImageListObj* l = Get(h);
  BitmapObj* b = GetBitmap(image);
  if (!l || !b || i < 0 || i >= int(l->images.size())) return FALSE;
  l->images[std::size_t(i)] = Cut(*l, b, mask ? GetBitmap(mask) : nullptr, 0, HasAlpha(b));
  return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST h, int i, HICON icon) {
  ImageListObj* l = Get(h);
  ICONINFO ii;
  if (!l || !GetIconInfo(icon, &ii)) return -1;
  // Draw the icon at the list's size into a colour image and a mask.
  HDC scr = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(scr);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = l->cx;
  bi.bmiHeader.biHeight = -l->cy;
  bi.bmiHeader.biBitCount = 32;
  HBITMAP col = CreateDIBSection(scr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HBITMAP msk = CreateBitmap(l->cx, l->cy, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mem, col);
  RECT r{0, 0, l->cx, l->cy};
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawIconEx(mem, 0, 0, icon, l->cx, l->cy, 0, nullptr, DI_IMAGE);
  SelectObject(mem, msk);
  DrawIconEx(mem, 0, 0, icon, l->cx, l->cy, 0, nullptr, DI_MASK);
  SelectObject(mem, old);
  int res;
  if (i < 0) res = ImageList_Add(h, col, msk);
  else res = ImageList_Replace(h, i, col, msk) ? i : -1;
  DeleteObject(col);
  DeleteObject(msk);
  DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  DeleteDC(mem);
  DeleteDC(scr);
  return res;
}

BOOL ImageList_Remove(HIMAGELIST h, int i) {
  ImageListObj* l = Get(h);
  if (!l) return FALSE;
  if (i == -1) {
    l->images.clear();
    return TRUE;
  }
  if (i < 0 || i >= int(l->images.size())) return FALSE;
  l->images.erase(l->images.begin() + i);
  return TRUE;
}

BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags) {
  ImageListObj* d = Get(dst);
  ImageListObj* s = Get(src);
  if (!d || !s || d != s || iDst < 0 || iSrc < 0 || iDst >= int(d->images.size()) || iSrc >= int(s->images.size()))
    return FALSE;
  if (flags & ILCF_SWAP) std::swap(d->images[std::size_t(iDst)], d->images[std::size_t(iSrc)]);
  else d->images[std::size_t(iDst)] = s->images[std::size_t(iSrc)];
  return TRUE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST h, int image, int overlay) {
  ImageListObj* l = Get(h);
  if (!l || overlay < 1 || overlay > 15) return FALSE;
  l->overlay[overlay] = image;
  return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST h, int i, IMAGEINFO* info) {
  ImageListObj* l = Get(h);
  if (!l || !info || i < 0 || i >= int(l->images.size())) return FALSE;
  // Rebuild the strip bitmaps the caller may read.
  if (l->stripImage) DeleteObject(l->stripImage);
  if (l->stripMask) DeleteObject(l->stripMask);
  int n = int(l->images.size());
  l->stripImage = CreateBitmap(l->cx * n, l->cy, 1, 32, nullptr);
  l->stripMask = CreateBitmap(l->cx * n, l->cy, 1, 1, nullptr);
  BitmapObj* bi = GetBitmap(l->stripImage);
  BitmapObj* bm = GetBitmap(l->stripMask);
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < l->cy; ++y)
      for (int x = 0; x < l->cx; ++x) {
        std::size_t p = std::size_t(y) * l->cx + x;
        bi->Row(y)[k * l->cx + x] = l->images[std::size_t(k)].px[p];
        bm->Row(y)[k * l->cx + x] = l->images[std::size_t(k)].mask[p] ? 0xFFFFFFFFu : 0xFF000000u;
      }
  info->hbmImage = l->stripImage;
  info->hbmMask = l->Masked() ? l->stripMask : nullptr;
  info->rcImage = RECT{i * l->cx, 0, (i + 1) * l->cx, l->cy};
  return TRUE;
}

static void DrawImage(ImageListObj* l, int i, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style, bool disabled) {
  DCObj* dc = LookupDC(hdc);
  Target t;
  if (!dc || !dc->GetTarget(t)) return;
  dc->drawn = true;
  const Region& clip = dc->Clip(t);
  POINT off = dc->Offset();
  const Image& im = l->images[std::size_t(i)];
  int w = dx > 0 ? std::min(dx, l->cx) : l->cx, h = dy > 0 ? std::min(dy, l->cy) : l->cy;
  if (bk == CLR_DEFAULT) bk = l->bk;
  bool transparent = (style & ILD_TRANSPARENT) || bk == CLR_NONE;
  bool masked = l->Masked() || im.alpha;
  std::uint32_t bkPx = bk == CLR_NONE ? 0 : ToPixel(ResolveColor(bk));
  unsigned blend = (style & ILD_BLEND50) ? 128 : (style & ILD_BLEND25) ? 64 : 0;
  std::uint32_t fgPx = ToPixel(fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : ResolveColor(fg));
  std::uint32_t shadow = SysPixel(COLOR_BTNSHADOW), hilite = SysPixel(COLOR_BTNHIGHLIGHT);
  auto put = [&](int X, int Y, std::uint32_t p) {
    if (clip.Contains(X, Y)) t.Row(Y)[X] = t.mono ? MonoOf(p) : p;
  };
  auto get = [&](int X, int Y) { return t.Row(Y)[X]; };
  for (int pass = disabled ? 0 : 1; pass < 2; ++pass)
    for (int yy = 0; yy < h; ++yy)
      for (int xx = 0; xx < w; ++xx) {
        std::size_t p = std::size_t(yy) * l->cx + xx;
        int X = x + off.x + xx, Y = y + off.y + yy;
        bool hole = masked && im.mask[p];
        if (style & ILD_MASK) {
          if (pass == 1) put(X, Y, hole ? 0xFFFFFFFFu : 0xFF000000u);
          continue;
        }
        std::uint32_t c = im.px[p];
        if (disabled) {
          // Embossed: dark pixels as shadow with a highlight one pixel down-right.
          if (hole) continue;
          unsigned lum = (((c >> 16) & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + (c & 0xFF) * 11) / 100;
          if (lum < 192) {
            if (pass == 0) put(X + 1, Y + 1, hilite);
            else put(X, Y, shadow);
          }
          continue;
        }
        // The mask wins over the colour (and over alpha): masked pixels keep what is
        // under them, or take the background colour when one is given.
        if (hole) {
          if (!transparent) put(X, Y, bkPx);
          continue;
        }
        if (im.alpha) {
          unsigned a = c >> 24;
          if (a == 0) {
            if (!transparent) put(X, Y, bkPx);
            continue;
          }
          if (!clip.Contains(X, Y)) continue;
          std::uint32_t under = transparent ? get(X, Y) : bkPx;
          c = Mix(under, c, a);
        }
        if (blend) c = Mix(c, fgPx, blend);
        put(X, Y, c | 0xFF000000u);
      }
  int ov = int((style & ILD_OVERLAYMASK) >> 8);
  if (ov >= 1 && ov <= 15 && l->overlay[ov] >= 0 && l->overlay[ov] < int(l->images.size()) && !disabled)
    DrawImage(l, l->overlay[ov], hdc, x, y, dx, dy, CLR_NONE, fg, (style & ~ILD_OVERLAYMASK) | ILD_TRANSPARENT, false);
}

BOOL ImageList_DrawEx(HIMAGELIST h, int i, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style) {
  ImageListObj* l = Get(h);
  if (!l || i < 0 || i >= int(l->images.size()) || !LookupDC(hdc)) return FALSE;
  DrawImage(l, i, hdc, x, y, dx, dy, bk, fg, style, false);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST h, int i, HDC hdc, int x, int y, UINT style) {
  return ImageList_DrawEx(h, i, hdc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawDisabled(HIMAGELIST h, int i, HDC hdc, int x, int y) {
  ImageListObj* l = Get(h);
  if (!l || i < 0 || i >= int(l->images.size()) || !LookupDC(hdc)) return FALSE;
  DrawImage(l, i, hdc, x, y, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT, true);
  return TRUE;
}

HBITMAP ImageList_GetBitmap(HIMAGELIST h, int i) {
  ImageListObj* l = Get(h);
  if (!l || i < 0 || i >= int(l->images.size())) return nullptr;
  HBITMAP b = CreateBitmap(l->cx, l->cy, 1, 32, nullptr);
  BitmapObj* o = GetBitmap(b);
  for (int y = 0; y < l->cy; ++y)
    std::memcpy(o->Row(y), l->images[std::size_t(i)].px.data() + std::size_t(y) * l->cx, std::size_t(l->cx) * 4);
  return b;
}

HICON ImageList_GetIcon(HIMAGELIST h, int i, UINT) {
  ImageListObj* l = Get(h);
  if (!l || i < 0 || i >= int(l->images.size())) return nullptr;
  const Image& im = l->images[std::size_t(i)];
  HBITMAP col = ImageList_GetBitmap(h, i);
  HBITMAP msk = CreateBitmap(l->cx, l->cy, 1, 1, nullptr);
  BitmapObj* m = GetBitmap(msk);
  BitmapObj* c = GetBitmap(col);
  for (int y = 0; y < l->cy; ++y)
    for (int x = 0; x < l->cx; ++x) {
      bool hole = (l->Masked() || im.alpha) && im.mask[std::size_t(y) * l->cx + x];
      m->Row(y)[x] = hole ? 0xFFFFFFFFu : 0xFF000000u;
      if (hole) c->Row(y)[x] = im.alpha ? c->Row(y)[x] & 0x00FFFFFFu : 0xFF000000u;
    }
  ICONINFO ii;
  ii.hbmColor = col;
  ii.hbmMask = msk;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(col);
  DeleteObject(msk);
  return icon;
}

// ---------------------------------------------------------------------------
// Drag images

BOOL ImageList_BeginDrag(HIMAGELIST h, int i, int dxHotspot, int dyHotspot) {
  ImageListObj* l = Get(h);
  if (!l || i < 0 || i >= int(l->images.size())) return FALSE;
  if (g_drag.list) ImageList_EndDrag();
  auto o = std::make_unique<ImageListObj>();
  o->cx = l->cx;
  o->cy = l->cy;
  o->flags = l->flags | ILC_MASK;
  o->images.push_back(l->images[std::size_t(i)]);
  g_drag.list = New(std::move(o));
  g_drag.st = DragImageState{};
  g_drag.st.hotspot = POINT{dxHotspot, dyHotspot};
  return TRUE;
}

void ImageList_EndDrag() {
  if (!g_drag.list) return;
  HIMAGELIST l = g_drag.list;
  g_drag.list = nullptr;
  g_drag.st.visible = false;
  NotifyDrag();
  Lists().erase(reinterpret_cast<std::uintptr_t>(l));
  g_drag.st = DragImageState{};
}

BOOL ImageList_DragEnter(HANDLE hwnd, int x, int y) {
  if (!g_drag.list) return FALSE;
  g_drag.st.hwndLock = hwnd;
  g_drag.st.pos = POINT{x, y};
  g_drag.st.visible = true;
  NotifyDrag();
  return TRUE;
}

BOOL ImageList_DragLeave(HANDLE) {
  if (!g_drag.list) return FALSE;
  g_drag.st.visible = false;
  NotifyDrag();
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
  if (!g_drag.list) return FALSE;
  g_drag.st.pos = POINT{x, y};
  if (g_drag.st.visible) NotifyDrag();
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show) {
  if (!g_drag.list) return FALSE;
  g_drag.st.visible = show != 0;
  NotifyDrag();
  return TRUE;
}

BOOL ImageList_SetDragCursorImage(HIMAGELIST h, int i, int dx, int dy) {
  ImageListObj* cur = Get(h);
  ImageListObj* drag = Get(g_drag.list);
  if (!cur || !drag || i < 0 || i >= int(cur->images.size()) || dx < 0 || dy < 0) return FALSE;
  // The drag image grows to hold the cursor image at (dx, dy) over it.
  const Image& ci = cur->images[std::size_t(i)];
  Image old = drag->images[0];
  int ow = drag->cx, oh = drag->cy;
  int nw = std::max(ow, dx + cur->cx), nh = std::max(oh, dy + cur->cy);
  Image ni;
  ni.px.assign(std::size_t(nw) * nh, 0xFF000000u);
  ni.mask.assign(std::size_t(nw) * nh, 1);
  for (int y = 0; y < oh; ++y)
    for (int x = 0; x < ow; ++x) {
      ni.px[std::size_t(y) * nw + x] = old.px[std::size_t(y) * ow + x];
      ni.mask[std::size_t(y) * nw + x] = old.mask[std::size_t(y) * ow + x];
    }
  for (int y = 0; y < cur->cy; ++y)
    for (int x = 0; x < cur->cx; ++x) {
      std::size_t s = std::size_t(y) * cur->cx + x;
      if (cur->Masked() && ci.mask[s]) continue;
      std::size_t d = std::size_t(y + dy) * nw + (x + dx);
      ni.px[d] = ci.px[s] | 0xFF000000u;
      ni.mask[d] = 0;
    }
  drag->cx = nw;
  drag->cy = nh;
  drag->images[0] = std::move(ni);
  if (g_drag.st.visible) NotifyDrag();
  return TRUE;
}

HIMAGELIST ImageList_GetDragImage(POINT* pt, POINT* hotspot) {
  if (!g_drag.list) return nullptr;
  if (pt) *pt = g_drag.st.pos;
  if (hotspot) *hotspot = g_drag.st.hotspot;
  return g_drag.list;
}

void SetDragImageHook(DragImageHook hook) { g_drag.hook = hook; }
