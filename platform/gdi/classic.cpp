// The classic 3-D look: DrawEdge, DrawFrameControl, the predefined bitmaps
// drawn from them, and icons.
#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

namespace {

void Fill(HDC hdc, int l, int t, int r, int b, COLORREF c) {
  if (r <= l || b <= t) return;
  HBRUSH br = CreateSolidBrush(c);
  RECT rc{l, t, r, b};
  FillRect(hdc, &rc, br);
  DeleteObject(br);
}
void Pixel(HDC hdc, int x, int y, COLORREF c) { Fill(hdc, x, y, x + 1, y + 1, c); }
COLORREF Sys(int i) { return GetSysColor(i); }

// Fills a region given in logical coordinates.
void FillRegionColor(HDC hdc, const Region& r, COLORREF c) {
  for (const RECT& rc : r.Rects()) Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, c);
}

Region EllipseRegion(int l, int t, int r, int b) {
  std::vector<Span> s;
  EllipseSpans(l, t, r, b, s);
  return Region::FromSpans(std::move(s));
}

Region Shrink(const Region& r) {
  Region a = r, b = r, d = r, e = r;
  a.Offset(1, 0);
  b.Offset(-1, 0);
  d.Offset(0, 1);
  e.Offset(0, -1);
  Region x = Region::Combine(r, a, RGN_AND);
  x = Region::Combine(x, b, RGN_AND);
  x = Region::Combine(x, d, RGN_AND);
  return Region::Combine(x, e, RGN_AND);
}

// Splits a ring into its upper-left and lower-right halves along the anti-diagonal.
void PaintRing(HDC hdc, const Region& ring, int cx2, int cy2, COLORREF tl, COLORREF br) {
  for (const RECT& rc : ring.Rects())
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x)
        Pixel(hdc, x, y, (2 * x + 2 * y) < cx2 + cy2 - 2 ? tl : br);
}

// The 7 x 7 check mark: column c has a 3-pixel run starting at row kCheckTop[c].
constexpr int kCheckTop[7] = {2, 3, 4, 3, 2, 1, 0};
void CheckMark(HDC hdc, int x, int y, COLORREF c) {
  for (int i = 0; i < 7; ++i) Fill(hdc, x + i, y + kCheckTop[i], x + i + 1, y + kCheckTop[i] + 3, c);
}

// Check mark scaled to a square of side s.
void CheckMarkScaled(HDC hdc, int x, int y, int s, COLORREF c) {
  if (s < 7) s = 7;
  int k = s / 7;
  int off = (s - 7 * k) / 2;
  for (int i = 0; i < 7; ++i)
    Fill(hdc, x + off + i * k, y + off + kCheckTop[i] * k, x + off + (i + 1) * k, y + off + (kCheckTop[i] + 3) * k, c);
}

enum class Dir { Up, Down, Left, Right };

// A filled triangle pointing in dir with the given height, centred at (cx, cy).
void Arrow(HDC hdc, int cx, int cy, int h, Dir d, COLORREF c) {
  for (int i = 0; i < h; ++i) {
    int half = i;  // row i from the tip has 2i+1 pixels
    switch (d) {
      case Dir::Down: Fill(hdc, cx - half, cy - h / 2 + (h - 1 - i), cx + half + 1, cy - h / 2 + (h - i), c); break;
      case Dir::Up: Fill(hdc, cx - half, cy - h / 2 + i, cx + half + 1, cy - h / 2 + i + 1, c); break;
      case Dir::Right: Fill(hdc, cx - h / 2 + (h - 1 - i), cy - half, cx - h / 2 + (h - i), cy + half + 1, c); break;
      case Dir::Left: Fill(hdc, cx - h / 2 + i, cy - half, cx - h / 2 + i + 1, cy + half + 1, c); break;
    }
  }
}

// A glyph drawn twice for the inactive look: highlight offset by one, then shadow.
template <class F>
void Glyph(HDC hdc, bool inactive, COLORREF normal, F draw) {
  if (inactive) {
    draw(1, Sys(COLOR_BTNHIGHLIGHT));
    draw(0, Sys(COLOR_BTNSHADOW));
  } else {
    draw(0, normal);
  }
}

void ButtonFace(HDC hdc, RECT& rc, UINT state) {
  UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT;
  if (state & DFCS_FLAT) flags |= BF_FLAT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  if (state & (DFCS_PUSHED | DFCS_CHECKED)) {
    if (state & (DFCS_FLAT | DFCS_MONO)) DrawEdge(hdc, &rc, EDGE_SUNKEN, flags & ~BF_SOFT);
    else {
      // Pressed: a dark shadow frame outside a shadow frame.
      DrawEdge(hdc, &rc, BDR_SUNKENOUTER | BDR_SUNKENINNER, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT);
    }
  } else {
    DrawEdge(hdc, &rc, EDGE_RAISED, flags);
  }
}

void DrawCheckBox(HDC hdc, RECT* prc, UINT state) {
  RECT rc = *prc;
  int s = std::min(rc.right - rc.left, rc.bottom - rc.top);
  rc.top += (rc.bottom - rc.top - s) / 2;
  rc.bottom = rc.top + s;
  rc.right = rc.left + s;
  UINT edge = BF_RECT | BF_ADJUST;
  if (state & DFCS_FLAT) edge |= BF_FLAT;
  if (state & DFCS_MONO) edge |= BF_MONO;
  DrawEdge(hdc, &rc, EDGE_SUNKEN, edge);
  bool three = (state & 0x1F) == DFCS_BUTTON3STATE;
  bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) || (three && (state & DFCS_CHECKED));
  Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, grey ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW));
  if (state & DFCS_CHECKED) {
    COLORREF c = (state & DFCS_INACTIVE) || three ? Sys(COLOR_BTNSHADOW) : Sys(COLOR_WINDOWTEXT);
    int inner = rc.right - rc.left;
    if (inner >= 9) CheckMarkScaled(hdc, rc.left + 1, rc.top + 1, inner - 2, c);
    else CheckMark(hdc, rc.left + (inner - 7) / 2, rc.top + (inner - 7) / 2, c);
  }
}

void DrawRadio(HDC hdc, RECT* prc, UINT state) {
  RECT rc = *prc;
  int s = std::min(rc.right - rc.left, rc.bottom - rc.top);
  int l = rc.left, t = rc.top + (rc.bottom - rc.top - s) / 2;
  Region e0 = EllipseRegion(l, t, l + s, t + s);
  UINT kind = state & 0x1F;
  if (kind == DFCS_BUTTONRADIOMASK) {
    Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, RGB(255, 255, 255));
    FillRegionColor(hdc, e0, RGB(0, 0, 0));
    return;
  }
  Region e1 = Shrink(e0), e2 = Shrink(e1);
  int c2x = 2 * l + s, c2y = 2 * t + s;
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    COLORREF ring = (state & DFCS_MONO) ? Sys(COLOR_WINDOWFRAME) : Sys(COLOR_BTNSHADOW);
    FillRegionColor(hdc, Region::Combine(e0, e1, RGN_DIFF), ring);
    FillRegionColor(hdc, e1, (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW));
  } else {
    PaintRing(hdc, Region::Combine(e0, e1, RGN_DIFF), c2x, c2y, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    PaintRing(hdc, Region::Combine(e1, e2, RGN_DIFF), c2x, c2y, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
    FillRegionColor(hdc, e2, (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW));
  }
  if (state & DFCS_CHECKED) {
    int d = std::max(2, s / 3);
    int dl = l + (s - d) / 2, dt = t + (s - d) / 2;
    FillRegionColor(hdc, EllipseRegion(dl, dt, dl + d, dt + d),
                    (state & DFCS_INACTIVE) ? Sys(COLOR_BTNSHADOW) : Sys(COLOR_WINDOWTEXT));
  }
}

void DrawScroll(HDC hdc, RECT* prc, UINT state) {
  RECT rc = *prc;
  UINT kind = state & 0x1F;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, Sys(COLOR_BTNFACE));
    int s = std::min(rc.right - rc.left, rc.bottom - rc.top);
    // Diagonal ridges from the bottom-right corner: highlight, shadow, shadow, gap.
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) {
        int d = (s - 1 - x) + (s - 1 - y);  // 0 at the corner
        if (d >= s - 1 || d < 1) continue;
        int m = (d - 1) % 4;
        COLORREF c = m == 0 ? Sys(COLOR_BTNHIGHLIGHT) : m < 3 ? Sys(COLOR_BTNSHADOW) : Sys(COLOR_BTNFACE);
        if (m < 3) Pixel(hdc, rc.right - s + x, rc.bottom - s + y, c);
      }
    return;
  }
  ButtonFace(hdc, rc, state);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int side = std::min(w, h);
  int ah = std::max(1, (side + 3) / 4);
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  int cx = rc.left + (w - 1) / 2 + shift, cy = rc.top + (h - 1) / 2 + shift;
  Dir d = kind == DFCS_SCROLLUP ? Dir::Up : kind == DFCS_SCROLLLEFT ? Dir::Left
        : kind == DFCS_SCROLLRIGHT ? Dir::Right : Dir::Down;
  Glyph(hdc, state & DFCS_INACTIVE, Sys(COLOR_BTNTEXT), [&](int o, COLORREF c) { Arrow(hdc, cx + o, cy + o, ah, d, c); });
}

void CaptionGlyph(HDC hdc, RECT rc, UINT state);

void DrawCaption(HDC hdc, RECT* prc, UINT state) {
  RECT rc = *prc;
  ButtonFace(hdc, rc, state);
  CaptionGlyph(hdc, rc, state);
}

// The caption glyph (close, minimise, maximise, restore, help) inside rc.
void CaptionGlyph(HDC hdc, RECT rc, UINT state) {
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int s = std::max(4, std::min(w, h) - 4);
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  int x0 = rc.left + (w - s) / 2 + shift, y0 = rc.top + (h - s) / 2 + shift;
  UINT kind = state & 0x1F;
  int th = std::max(1, s / 8);  // stroke thickness
  Glyph(hdc, state & DFCS_INACTIVE, Sys(COLOR_BTNTEXT), [&](int o, COLORREF c) {
    int x = x0 + o, y = y0 + o;
    switch (kind) {
      case DFCS_CAPTIONCLOSE:
        for (int i = 1; i < s - 1; ++i) {
          Fill(hdc, x + i, y + i, x + i + 2, y + i + 1, c);
          Fill(hdc, x + s - 2 - i, y + i, x + s - i, y + i + 1, c);
        }
        break;
      case DFCS_CAPTIONMIN: Fill(hdc, x + 1, y + s - 2 - th, x + s / 2 + 1, y + s - 2, c); break;
      case DFCS_CAPTIONMAX:
        Fill(hdc, x, y, x + s, y + 1 + th, c);
        Fill(hdc, x, y, x + 1, y + s, c);
        Fill(hdc, x + s - 1, y, x + s, y + s, c);
        Fill(hdc, x, y + s - 1, x + s, y + s, c);
        break;
      case DFCS_CAPTIONRESTORE: {
        int b = s * 2 / 3;
        auto box = [&](int bx, int by) {
          Fill(hdc, bx, by, bx + b, by + 1 + th, c);
          Fill(hdc, bx, by, bx + 1, by + b, c);
          Fill(hdc, bx + b - 1, by, bx + b, by + b, c);
          Fill(hdc, bx, by + b - 1, bx + b, by + b, c);
        };
        box(x + s - b, y);
        Fill(hdc, x, y + s - b, x + b, y + s, Sys(COLOR_BTNFACE));
        box(x, y + s - b);
        break;
      }
      case DFCS_CAPTIONHELP: {
        int m = x + s / 2;
        Fill(hdc, m - s / 4, y, m + s / 4, y + th, c);
        Fill(hdc, m + s / 4 - th, y, m + s / 4, y + s / 3, c);
        Fill(hdc, m - s / 4, y, m - s / 4 + th, y + s / 6 + 1, c);
        Fill(hdc, m - th / 2, y + s / 3, m + s / 4, y + s / 3 + th, c);
        Fill(hdc, m - th / 2, y + s / 3, m - th / 2 + th, y + s * 2 / 3, c);
        Fill(hdc, m - th / 2, y + s - th - 1, m - th / 2 + th, y + s - 1, c);
        break;
      }
    }
  });
}

void DrawMenuGlyph(HDC hdc, RECT* prc, UINT state) {
  RECT rc = *prc;
  // Menu glyphs are masks: black on white.
  Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, RGB(255, 255, 255));
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int s = std::min(w, h);
  int x = rc.left + (w - s) / 2, y = rc.top + (h - s) / 2;
  switch (state & 0x1F) {
    case DFCS_MENUCHECK: CheckMarkScaled(hdc, x + s / 6, y + s / 6, s - 2 * (s / 6), RGB(0, 0, 0)); break;
    case DFCS_MENUBULLET: {
      int d = std::max(2, s / 3);
      int l = x + (s - d) / 2, t = y + (s - d) / 2;
      FillRegionColor(hdc, EllipseRegion(l, t, l + d, t + d), RGB(0, 0, 0));
      break;
    }
    case DFCS_MENUARROWRIGHT:
      Arrow(hdc, x + s / 2, y + s / 2, std::max(1, s / 3), Dir::Left, RGB(0, 0, 0));
      break;
    default: Arrow(hdc, x + s / 2, y + s / 2, std::max(1, s / 3), Dir::Right, RGB(0, 0, 0)); break;
  }
}

}  // namespace

BOOL DrawEdge(HDC hdc, RECT* prc, UINT edge, UINT flags) {
  if (!prc || !LookupDC(hdc)) return FALSE;
  RECT rc = *prc;
  const bool soft = flags & BF_SOFT, flat = flags & BF_FLAT, mono = flags & BF_MONO;
  struct Ring { bool on; COLORREF tl, br; };
  Ring outer{false, 0, 0}, inner{false, 0, 0};
  if (edge & BDR_RAISEDOUTER) outer = {true, Sys(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)};
  else if (edge & BDR_SUNKENOUTER) outer = {true, Sys(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
  if (edge & BDR_RAISEDINNER) inner = {true, Sys(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)};
  else if (edge & BDR_SUNKENINNER) inner = {true, Sys(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
  if (mono) {
    if (outer.on) outer.tl = outer.br = Sys(COLOR_WINDOWFRAME);
    if (inner.on) inner.tl = inner.br = Sys(COLOR_WINDOW);
  } else if (flat) {
    if (outer.on) outer.tl = outer.br = Sys(COLOR_BTNSHADOW);
    if (inner.on) inner.tl = inner.br = Sys(COLOR_BTNFACE);
  }
  COLORREF middle = mono ? Sys(COLOR_WINDOW) : Sys(COLOR_BTNFACE);

  if (flags & BF_DIAGONAL) {
    // A diagonal line between two corners; the sides name the end corner.
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int n = std::min(w, h);
    bool endTop = flags & BF_TOP, endRight = flags & BF_RIGHT;
    if (flags & BF_MIDDLE) {
      POINT tri[3];
      if (endTop == endRight) {  // top-right or bottom-left end: the line runs bottom-left/top-right
        tri[0] = POINT{rc.left, rc.bottom};
        tri[1] = POINT{rc.right, rc.top};
        tri[2] = endTop ? POINT{rc.right, rc.bottom} : POINT{rc.left, rc.top};
      } else {
        tri[0] = POINT{rc.left, rc.top};
        tri[1] = POINT{rc.right, rc.bottom};
        tri[2] = endTop ? POINT{rc.left, rc.bottom} : POINT{rc.right, rc.top};
      }
      HBRUSH br = CreateSolidBrush(middle);
      HGDIOBJ ob = SelectObject(hdc, br);
      HGDIOBJ op = SelectObject(hdc, GetStockObject(NULL_PEN));
      Polygon(hdc, tri, 3);
      SelectObject(hdc, op);
      SelectObject(hdc, ob);
      DeleteObject(br);
    }
    auto line = [&](int off, COLORREF c) {
      for (int i = 0; i < n; ++i) {
        int x = rc.left + i, y;
        if (endTop == endRight) y = rc.bottom - 1 - i - off;  // rising
        else y = rc.top + i + off;                            // falling
        Pixel(hdc, x, y, c);
      }
    };
    if (outer.on) line(0, (flags & BF_BOTTOM) ? outer.br : outer.tl);
    if (inner.on) line(outer.on ? 1 : 0, (flags & BF_BOTTOM) ? inner.br : inner.tl);
    if (flags & BF_ADJUST) *prc = rc;
    return TRUE;
  }

  auto ring = [&](const Ring& r) {
    if (!r.on) return;
    if (flags & BF_TOP) Fill(hdc, rc.left, rc.top, (flags & BF_RIGHT) ? rc.right - 1 : rc.right, rc.top + 1, r.tl);
    if (flags & BF_LEFT) Fill(hdc, rc.left, rc.top, rc.left + 1, (flags & BF_BOTTOM) ? rc.bottom - 1 : rc.bottom, r.tl);
    if (flags & BF_BOTTOM) Fill(hdc, rc.left, rc.bottom - 1, rc.right, rc.bottom, r.br);
    if (flags & BF_RIGHT) Fill(hdc, rc.right - 1, rc.top, rc.right, rc.bottom, r.br);
    if (flags & BF_LEFT) ++rc.left;
    if (flags & BF_TOP) ++rc.top;
    if (flags & BF_RIGHT) --rc.right;
    if (flags & BF_BOTTOM) --rc.bottom;
  };
  ring(outer);
  ring(inner);
  if (flags & BF_MIDDLE) Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, middle);
  if (flags & BF_ADJUST) *prc = rc;
  return TRUE;
}

BOOL DrawFrameControl(HDC hdc, RECT* rc, UINT type, UINT state) {
  if (!rc || !LookupDC(hdc)) return FALSE;
  switch (type) {
    case DFC_BUTTON: {
      UINT kind = state & 0x1F;
      if (kind & DFCS_BUTTONPUSH) {
        RECT r = *rc;
        ButtonFace(hdc, r, state);
        if (state & DFCS_ADJUSTRECT) *rc = r;
      } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
        DrawRadio(hdc, rc, (state & ~0x1Fu) | (kind & DFCS_BUTTONRADIOMASK ? DFCS_BUTTONRADIOMASK : DFCS_BUTTONRADIO));
      } else {
        DrawCheckBox(hdc, rc, state);
      }
      return TRUE;
    }
    case DFC_SCROLL: DrawScroll(hdc, rc, state); return TRUE;
    case DFC_CAPTION: DrawCaption(hdc, rc, state); return TRUE;
    case DFC_MENU:
    case DFC_POPUPMENU: DrawMenuGlyph(hdc, rc, state); return TRUE;
  }
  return FALSE;
}

// ---------------------------------------------------------------------------
// Predefined bitmaps

static HBITMAP DrawnBitmap(int w, int h, COLORREF bg, const std::function<void(HDC, int, int)>& paint) {
  HDC mem = CreateCompatibleDC(nullptr);
  HDC scr = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(scr, w, h);
  DeleteDC(scr);
  HGDIOBJ old = SelectObject(mem, bmp);
  Fill(mem, 0, 0, w, h, bg);
  paint(mem, w, h);
  SelectObject(mem, old);
  DeleteDC(mem);
  return bmp;
}

HBITMAP LoadOEMBitmap(int id) {
  switch (id) {
    case OBM_CHECKBOXES:
      // 4 x 3 glyphs of 13 x 13: check boxes, radio buttons, three-state boxes;
      // columns: normal, checked, pushed, pushed and checked.
      return DrawnBitmap(52, 39, GetSysColor(COLOR_BTNFACE), [](HDC dc, int, int) {
        static const UINT rows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
        static const UINT cols[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 4; ++c) {
            RECT rc{c * 13, r * 13, c * 13 + 13, r * 13 + 13};
            DrawFrameControl(dc, &rc, DFC_BUTTON, rows[r] | cols[c]);
          }
      });
    case OBM_CHECK:
      return DrawnBitmap(13, 13, RGB(255, 255, 255), [](HDC dc, int, int) { CheckMark(dc, 3, 3, RGB(0, 0, 0)); });
    case OBM_MNARROW:
      return DrawnBitmap(13, 13, RGB(255, 255, 255),
                         [](HDC dc, int, int) { Arrow(dc, 6, 6, 4, Dir::Right, RGB(0, 0, 0)); });
    case OBM_COMBO:
      return DrawnBitmap(13, 13, GetSysColor(COLOR_BTNFACE),
                         [](HDC dc, int, int) { Arrow(dc, 6, 6, 4, Dir::Down, RGB(0, 0, 0)); });
    case 8:   // the menu-item bitmaps: close, restore, maximise, minimise
    case 9:
    case 10:
    case 11: {
      static const UINT kinds[4] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONRESTORE, DFCS_CAPTIONMAX, DFCS_CAPTIONMIN};
      const UINT kind = kinds[id - 8];
      return DrawnBitmap(16, 16, GetSysColor(COLOR_MENU),
                         [kind](HDC dc, int w, int h) { CaptionGlyph(dc, RECT{0, 0, w, h}, kind); });
    }
    case OBM_CLOSE:
      return DrawnBitmap(16, 14, GetSysColor(COLOR_BTNFACE), [](HDC dc, int w, int h) {
        RECT rc{0, 0, w, h};
        DrawFrameControl(dc, &rc, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      });
  }
  return nullptr;
}

HBITMAP LoadBitmapA(HANDLE instance, LPCSTR name) {
  std::uintptr_t v = reinterpret_cast<std::uintptr_t>(name);
  if (!instance && v > 0 && v <= 0xFFFF) return LoadOEMBitmap(int(v));
  return nullptr;
}

// ---------------------------------------------------------------------------
// Icons: a colour bitmap and a monochrome AND mask, kept by the icon.

namespace {
struct IconObj {
  HBITMAP color = nullptr, mask = nullptr;
  bool icon = true;
  POINT hot;
};
std::unordered_map<std::uintptr_t, IconObj>& Icons() {
  static auto* m = new std::unordered_map<std::uintptr_t, IconObj>;
  return *m;
}
std::uintptr_t g_nextIcon = 0x60000000;

HBITMAP CopyBitmap(HBITMAP src) {
  BitmapObj* b = GetBitmap(src);
  if (!b) return nullptr;
  std::uintptr_t id = 0;
  BitmapObj* c = NewBitmap(b->w, b->h, b->mono, &id);
  if (!c) return nullptr;
  for (int y = 0; y < b->h; ++y) std::memcpy(c->Row(y), b->Row(y), std::size_t(b->w) * 4);
  return ToHandle<HBITMAP>(id);
}
IconObj* GetIcon(HICON h) {
  auto it = Icons().find(reinterpret_cast<std::uintptr_t>(h));
  return it == Icons().end() ? nullptr : &it->second;
}
}  // namespace

HICON CreateIconIndirect(const ICONINFO* ii) {
  if (!ii || !GetBitmap(ii->hbmMask)) return nullptr;
  IconObj o;
  o.mask = CopyBitmap(ii->hbmMask);
  o.color = ii->hbmColor ? CopyBitmap(ii->hbmColor) : nullptr;
  o.icon = ii->fIcon != 0;
  o.hot = POINT{LONG(ii->xHotspot), LONG(ii->yHotspot)};
  std::uintptr_t id = g_nextIcon;
  g_nextIcon += 4;
  Icons()[id] = o;
  return reinterpret_cast<HICON>(id);
}

HICON CopyIcon(HICON icon) {
  IconObj* o = GetIcon(icon);
  if (!o) return nullptr;
  ICONINFO ii;
  ii.fIcon = o->icon;
  ii.xHotspot = DWORD(o->hot.x);
  ii.yHotspot = DWORD(o->hot.y);
  ii.hbmMask = o->mask;
  ii.hbmColor = o->color;
  return CreateIconIndirect(&ii);
}

BOOL DestroyIcon(HICON icon) {
  IconObj* o = GetIcon(icon);
  if (!o) return FALSE;
  DeleteObject(o->mask);
  if (o->color) DeleteObject(o->color);
  Icons().erase(reinterpret_cast<std::uintptr_t>(icon));
  return TRUE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* ii) {
  IconObj* o = GetIcon(icon);
  if (!o || !ii) return FALSE;
  ii->fIcon = o->icon;
  ii->xHotspot = DWORD(o->hot.x);
  ii->yHotspot = DWORD(o->hot.y);
  ii->hbmMask = CopyBitmap(o->mask);
  ii->hbmColor = o->color ? CopyBitmap(o->color) : nullptr;
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int w, int h, UINT, HBRUSH flicker, UINT flags) {
  IconObj* o = GetIcon(icon);
  DCObj* dc = LookupDC(hdc);
  if (!o || !dc) return FALSE;
  BitmapObj* mask = GetBitmap(o->mask);
  BitmapObj* color = GetBitmap(o->color);
  int iw = mask->w, ih = color ? color->h : mask->h / 2;
  if (w == 0) w = (flags & DI_DEFAULTSIZE) ? 32 : iw;
  if (h == 0) h = (flags & DI_DEFAULTSIZE) ? 32 : ih;
  if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
  HDC target = hdc;
  HDC off = nullptr;
  HBITMAP offBmp = nullptr;
  HGDIOBJ offOld = nullptr;
  int tx = x, ty = y;
  if (flicker) {
    // Draw into an off-screen image filled with the brush, then copy it.
    off = CreateCompatibleDC(hdc);
    offBmp = CreateCompatibleBitmap(hdc, w, h);
    offOld = SelectObject(off, offBmp);
    RECT r{0, 0, w, h};
    FillRect(off, &r, flicker);
    target = off;
    tx = ty = 0;
  }
  HDC mem = CreateCompatibleDC(hdc);
  bool alpha = false;
  if (color && !color->mono) {
    for (int yy = 0; yy < color->h && !alpha; ++yy)
      for (int xx = 0; xx < color->w; ++xx)
        if ((color->Row(yy)[xx] >> 24) != 0 && (color->Row(yy)[xx] >> 24) != 0xFF) { alpha = true; break; }
  }
  COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
  COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
  if (alpha && (flags & DI_IMAGE) && (flags & DI_MASK)) {
    // 32-bit icons with an alpha channel blend; the colour is straight alpha.
    std::uintptr_t id = 0;
    BitmapObj* pm = NewBitmap(color->w, color->h, false, &id);
    for (int yy = 0; yy < color->h; ++yy)
      for (int xx = 0; xx < color->w; ++xx) {
        std::uint32_t p = color->Row(yy)[xx];
        unsigned a = p >> 24;
        auto ch = [&](int sh) { return ((((p >> sh) & 0xFF) * a + 127) / 255) << sh; };
        pm->Row(yy)[xx] = (a << 24) | ch(16) | ch(8) | ch(0);
      }
    HBITMAP pmh = ToHandle<HBITMAP>(id);
    HGDIOBJ old = SelectObject(mem, pmh);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target, tx, ty, w, h, mem, 0, 0, color->w, color->h, bf);
    SelectObject(mem, old);
    DeleteObject(pmh);
  } else {
    HGDIOBJ old = SelectObject(mem, o->mask);
    if (flags & DI_MASK) StretchBlt(target, tx, ty, w, h, mem, 0, 0, iw, ih, (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
    if (flags & DI_IMAGE) {
      if (color) {
        SelectObject(mem, o->color);
        StretchBlt(target, tx, ty, w, h, mem, 0, 0, iw, ih, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
      } else {
        StretchBlt(target, tx, ty, w, h, mem, 0, ih, iw, ih, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
      }
    }
    SelectObject(mem, old);
  }
  SetTextColor(target, oldText);
  SetBkColor(target, oldBk);
  DeleteDC(mem);
  if (off) {
    BitBlt(hdc, x, y, w, h, off, 0, 0, SRCCOPY);
    SelectObject(off, offOld);
    DeleteObject(offBmp);
    DeleteDC(off);
  }
  return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }
