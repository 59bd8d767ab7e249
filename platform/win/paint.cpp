// Painting: update regions, WM_PAINT on demand, BeginPaint/EndPaint, window and
// desktop DCs over the images of top-level windows, non-client drawing,
// scrolling, window shapes, layered windows and capture of finished images.
//
// Every top-level window owns one 32-bit image; its children draw into it
// through DCs whose origin is their client (or window) corner and whose
// visible region clips away what covers them. The backend is shown the
// damaged part of each image once painting has settled.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <fstream>
#include "platform/gdi/pictures.h"
#include "platform/gdi/surface.h"
#include "platform/win/system.h"
#include "platform/win/wndinternal.h"

struct TopSurface {
  Surface s;
  std::vector<std::uint32_t> buf;
  RECT damage{0, 0, 0, 0};
  bool dirty = false;
};

namespace pvwin {

void HideCaretForPaint(HWND h);  // caret.cpp
void ShowCaretAfterPaint(HWND h);

namespace {

struct DcView {
  Surface surf;
  HDC dc = nullptr;
  HWND hwnd = nullptr;
  HWND top = nullptr;
  bool own = false;
  bool desktop = false;
};

struct FreeOverlay {
  void operator()(std::uint32_t* p) const { std::free(p); }
};

struct PaintState {
  std::vector<DcView*> views;
  std::vector<DcView*> spare;
  TopSurface overlay;
  RECT overlayDamage{0, 0, 0, 0};
  bool overlayDirty = false;
  // The overlay's pixels, zeroed by the allocator: pages nobody draws on stay untouched.
  std::unique_ptr<std::uint32_t, FreeOverlay> overlayPixels;
  HRGN tmp = nullptr;
  HFONT captionFont = nullptr;
};

PaintState& P() {
  static auto* p = new PaintState();  // lives as long as the process
  return *p;
}

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (Empty(r)) r = {0, 0, 0, 0};
  return r;
}

RECT Union(const RECT& a, const RECT& b) {
  if (Empty(a)) return b;
  if (Empty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RECT Offset(RECT r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

HRGN NewRgn(const RECT& r) { return CreateRectRgn(r.left, r.top, r.right, r.bottom); }

// Top-left of the top-level window in screen coordinates: surface coordinates are relative to it.
POINT TopOrigin(Wnd* top) {
  RECT r = ScreenRect(top);
  return {r.left, r.top};
}

// Whether a window's drawing reaches the screen (visible, redraw on, not locked).
bool Paintable(Wnd* w) {
  for (Wnd* p = w; p && p != S().desktop; p = p->parent)
    if (!(p->style & WS_VISIBLE) || p->redrawOff) return false;
  return w != nullptr;
}

TopSurface* EnsureSurface(Wnd* top) {
  int wdt = std::max<int>(1, top->rect.Width()), hgt = std::max<int>(1, top->rect.Height());
  TopSurface* t = top->surface;
  if (!t) {
    t = new TopSurface();
    top->surface = t;
  }
  if (t->s.width != wdt || t->s.height != hgt) {
    std::vector<std::uint32_t> nb(std::size_t(wdt) * std::size_t(hgt), 0xFFFFFFFFu);
    // keep what overlaps, so an area that is not repainted keeps its pixels
    int cw = std::min(wdt, t->s.width), ch = std::min(hgt, t->s.height);
    for (int y = 0; y < ch; ++y)
      std::memcpy(&nb[std::size_t(y) * wdt], &t->buf[std::size_t(y) * t->s.width], std::size_t(cw) * 4);
    t->buf.swap(nb);
    t->s.pixels = t->buf.data();
    t->s.width = wdt;
    t->s.height = hgt;
    t->s.stride = wdt * 4;
    for (DcView* v : P().views)
      if (v->top == top->h && !v->desktop) {
        v->surf.pixels = t->s.pixels;
        v->surf.width = wdt;
        v->surf.height = hgt;
        v->surf.stride = t->s.stride;
      }
    t->damage = {0, 0, wdt, hgt};
    t->dirty = true;
  }
  return t;
}

TopSurface& Overlay() {
  PaintState& p = P();
  RECT scr = S().desktop ? S().desktop->rect : RECT{0, 0, 1920, 1080};
  int wdt = std::max<int>(1, scr.Width()), hgt = std::max<int>(1, scr.Height());
  if (p.overlay.s.width != wdt || p.overlay.s.height != hgt) {
    p.overlayPixels.reset(static_cast<std::uint32_t*>(std::calloc(std::size_t(wdt) * hgt, 4)));
    if (!p.overlayPixels) throw std::bad_alloc();
    p.overlay.s.pixels = p.overlayPixels.get();
    p.overlay.s.width = wdt;
    p.overlay.s.height = hgt;
    p.overlay.s.stride = wdt * 4;
  }
  return p.overlay;
}

void MarkDamage(Wnd* top, const RECT& r) {
  if (!top || !top->surface || Empty(r)) return;
  top->surface->damage = Union(top->surface->damage, r);
  top->surface->dirty = true;
}

// The part of w (client area or whole window) that its drawing may touch, in
// its top-level image's coordinates.
HRGN VisibleRegion(Wnd* w, bool client, bool clipChildren, bool clipSiblings, bool ignoreLock = false) {
  State& s = S();
  Wnd* top = TopLevelOf(w);
  if (!top || !Paintable(w)) return NewRgn({0, 0, 0, 0});
  if (!ignoreLock && s.lockedWindow) {
    Wnd* locked = W(s.lockedWindow);
    if (locked && IsDescendant(locked, w)) return NewRgn({0, 0, 0, 0});
  }
  POINT to = TopOrigin(top);
  RECT area = client ? ScreenClient(w) : ScreenRect(w);
  area = Offset(area, -to.x, -to.y);
  HRGN rgn = NewRgn(area);
  HRGN t = CreateRectRgn(0, 0, 0, 0);
  RECT bounds = area;  // what is left can only shrink: windows outside it cost nothing
  auto subtractWindow = [&](Wnd* c, POINT parentOrigin) {
    RECT r = Offset(c->rect, parentOrigin.x, parentOrigin.y);
    if (Empty(Intersect(r, bounds))) return;
    if (c->windowRgn) {
      CombineRgn(t, c->windowRgn, nullptr, RGN_COPY);
      OffsetRgn(t, r.left, r.top);
    } else {
      SetRectRgn(t, r.left, r.top, r.right, r.bottom);
    }
    CombineRgn(rgn, rgn, t, RGN_DIFF);
  };
  if (w->windowRgn) {
    RECT wr = Offset(ScreenRect(w), -to.x, -to.y);
    CombineRgn(t, w->windowRgn, nullptr, RGN_COPY);
    OffsetRgn(t, wr.left, wr.top);
    CombineRgn(rgn, rgn, t, RGN_AND);
  }
  if (clipChildren && w->firstChild) {
    POINT co = ClientOrigin(w);
    co.x -= to.x;
    co.y -= to.y;
    // the children's rectangles are collected into one region first: one subtraction
    HRGN kids = CreateRectRgn(0, 0, 0, 0);
    for (Wnd* c = w->firstChild; c; c = c->next) {
      if (!(c->style & WS_VISIBLE)) continue;
      RECT r = Offset(c->rect, co.x, co.y);
      if (Empty(Intersect(r, bounds))) continue;
      if (c->windowRgn) {
        CombineRgn(t, c->windowRgn, nullptr, RGN_COPY);
        OffsetRgn(t, r.left, r.top);
      } else {
        SetRectRgn(t, r.left, r.top, r.right, r.bottom);
      }
      CombineRgn(kids, kids, t, RGN_OR);
    }
    CombineRgn(rgn, rgn, kids, RGN_DIFF);
    DeleteObject(kids);
  }
  for (Wnd* cur = w; cur != top; cur = cur->parent) {
    Wnd* parent = cur->parent;
    POINT po = ClientOrigin(parent);
    po.x -= to.x;
    po.y -= to.y;
    if ((cur->style & WS_CLIPSIBLINGS) || (cur == w && clipSiblings))
      for (Wnd* sib = cur->prev; sib; sib = sib->prev)
        if (sib->style & WS_VISIBLE) subtractWindow(sib, po);
    RECT pc = Offset(ScreenClient(parent), -to.x, -to.y);
    SetRectRgn(t, pc.left, pc.top, pc.right, pc.bottom);
    CombineRgn(rgn, rgn, t, RGN_AND);
    if (parent->windowRgn) {
      RECT pr = Offset(ScreenRect(parent), -to.x, -to.y);
      CombineRgn(t, parent->windowRgn, nullptr, RGN_COPY);
      OffsetRgn(t, pr.left, pr.top);
      CombineRgn(rgn, rgn, t, RGN_AND);
    }
  }
  SetRectRgn(t, 0, 0, top->rect.Width(), top->rect.Height());
  CombineRgn(rgn, rgn, t, RGN_AND);
  DeleteObject(t);
  return rgn;
}

// Origin of w's client area (or window) in its top-level image.
POINT SurfacePos(Wnd* w, bool client) {
  Wnd* top = TopLevelOf(w);
  POINT to = TopOrigin(top);
  RECT r = client ? ScreenClient(w) : ScreenRect(w);
  return {r.left - to.x, r.top - to.y};
}

DcView* NewView() {
  PaintState& p = P();
  DcView* v;
  if (!p.spare.empty()) {
    v = p.spare.back();
    p.spare.pop_back();
    *v = DcView();
  } else {
    v = new DcView();
  }
  p.views.push_back(v);
  return v;
}

DcView* FindView(HDC dc) {
  for (DcView* v : P().views)
    if (v->dc == dc) return v;
  return nullptr;
}

void FreeView(DcView* v) {
  PaintState& p = P();
  auto it = std::find(p.views.begin(), p.views.end(), v);
  if (it != p.views.end()) p.views.erase(it);
  p.spare.push_back(v);
}

// A window shown through UpdateLayeredWindow keeps the picture it was given:
// what is painted into it afterwards goes nowhere, so its DCs clip everything.
static bool ShowsGivenPicture(Wnd* w) {
  Wnd* top = TopLevelOf(w);
  return top && top->layeredPicture && (top->exStyle & WS_EX_LAYERED);
}

// A DC drawing into w's top-level image, clipped to `clip` (adopted; surface coordinates).
HDC MakeDC(Wnd* w, bool client, HRGN clip) {
  if (clip && ShowsGivenPicture(w)) SetRectRgn(clip, 0, 0, 0, 0);
  Wnd* top = TopLevelOf(w);
  TopSurface* ts = EnsureSurface(top);
  DcView* v = NewView();
  v->surf = ts->s;
  v->surf.origin = SurfacePos(w, client);
  v->surf.visible = clip;
  v->hwnd = w->h;
  v->top = top->h;
  v->dc = CreateSurfaceDC(&v->surf);
  return v->dc;
}

void ReleaseView(DcView* v) {
  if (v->desktop) {
    PaintState& p = P();
    // The screen DC mostly serves for measuring text: the overlay goes to the
    // backend, which rebuilds its whole-screen window from it, only when drawn on.
    if (S().backend && SurfaceDCDrawn(v->dc)) {
      BackendImage img;
      img.pixels = p.overlay.s.pixels;
      img.width = p.overlay.s.width;
      img.height = p.overlay.s.height;
      img.stride = p.overlay.s.width;
      S().backend->PresentOverlay(img, {0, 0, img.width, img.height});
    }
  } else if (Wnd* top = W(v->top)) {
    RECT box{0, 0, 0, 0};
    if (v->surf.visible) GetRgnBox(v->surf.visible, &box);
    else box = {0, 0, v->surf.width, v->surf.height};
    MarkDamage(top, box);
  }
  DeleteDC(v->dc);
  if (v->surf.visible) DeleteObject(v->surf.visible);
  FreeView(v);
}

void AddToPaintList(Wnd* w) {
  bool want = w->update || w->internalPaint;
  if (want && !w->inPaintList) {
    w->inPaintList = true;
    ++S().paintCount;
  } else if (!want && w->inPaintList) {
    w->inPaintList = false;
    --S().paintCount;
  }
}

void ClearUpdate(Wnd* w) {
  if (w->update) {
    DeleteObject(w->update);
    w->update = nullptr;
  }
}

bool HasNonClient(Wnd* w) { return !(w->client == w->rect); }

// Adds (or removes) `rgn` (w's client coordinates; null: the whole client area) and
// walks into children as the flags say.
void UpdateRegionOf(Wnd* w, HRGN rgn, UINT flags, bool frameHit) {
  if (!Paintable(w)) return;
  RECT cr{0, 0, w->client.Width(), w->client.Height()};
  HRGN area = NewRgn(cr);
  if (rgn) CombineRgn(area, area, rgn, RGN_AND);
  bool nonEmpty = CombineRgn(area, area, nullptr, RGN_COPY) != NULLREGION;
  if (flags & RDW_INVALIDATE) {
    if (nonEmpty) {
      if (!w->update) w->update = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(w->update, w->update, area, RGN_OR);
      if (flags & RDW_ERASE) w->needErase = true;
    }
    if ((flags & RDW_FRAME) && frameHit && HasNonClient(w)) w->needNcPaint = true;
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  } else if (flags & RDW_VALIDATE) {
    if (w->update) {
      if (!rgn) {
        ClearUpdate(w);
      } else {
        CombineRgn(w->update, w->update, area, RGN_DIFF);
        RECT box;
        if (GetRgnBox(w->update, &box) == NULLREGION) ClearUpdate(w);
      }
    }
    if (!w->update && (flags & RDW_NOERASE)) w->needErase = false;
    if (flags & RDW_NOFRAME) w->needNcPaint = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  AddToPaintList(w);
  bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (children && w->firstChild && (nonEmpty || (flags & RDW_VALIDATE))) {
    HRGN kid = CreateRectRgn(0, 0, 0, 0);
    for (Wnd* c = w->firstChild; c; c = c->next) {
      if (!(c->style & WS_VISIBLE)) continue;
      // the part of the area over the child, in the child's client coordinates
      SetRectRgn(kid, c->rect.left, c->rect.top, c->rect.right, c->rect.bottom);
      if (CombineRgn(kid, kid, area, RGN_AND) == NULLREGION && !(flags & RDW_VALIDATE && !rgn)) continue;
      bool hitsFrame = true;
      OffsetRgn(kid, -(c->client.left), -(c->client.top));
      UpdateRegionOf(c, rgn ? kid : nullptr, flags & ~RDW_NOCHILDREN, hitsFrame);
    }
    DeleteObject(kid);
  }
  DeleteObject(area);
}

void SendNcPaint(HWND h) {
  Wnd* w = W(h);
  if (!w) return;
  w->needNcPaint = false;
  if (!HasNonClient(w) || !Paintable(w)) return;
  Send(h, WM_NCPAINT, 1, 0);
}

// Sends WM_ERASEBKGND now for a window that waits for it.
void EraseNow(HWND h) {
  Wnd* w = W(h);
  if (!w || !w->needErase) return;
  w->needErase = false;
  if (!w->update || !Paintable(w)) return;
  HRGN clip = VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, false);
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(upd, w->update, nullptr, RGN_COPY);
  POINT sp = SurfacePos(w, true);
  OffsetRgn(upd, sp.x, sp.y);
  CombineRgn(clip, clip, upd, RGN_AND);
  DeleteObject(upd);
  HDC dc = MakeDC(w, true, clip);
  Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (DcView* v = FindView(dc)) ReleaseView(v);
}

void FlushPresents() {
  State& s = S();
  if (!s.desktop) return;
  for (Wnd* c = s.desktop->firstChild; c; c = c->next) {
    TopSurface* t = c->surface;
    if (!t || !t->dirty) continue;
    t->dirty = false;
    RECT d = Intersect(t->damage, {0, 0, t->s.width, t->s.height});
    t->damage = {0, 0, 0, 0};
    if (!s.backend || Empty(d)) continue;
    BackendImage img;
    img.pixels = t->s.pixels;
    img.width = t->s.width;
    img.height = t->s.height;
    img.stride = t->s.width;
    s.backend->Present(reinterpret_cast<BackendWindowId>(c->h), img, d);
  }
}

Wnd* FindPaintWindow(Wnd* w, HWND filter, bool inFilter) {
  for (Wnd* c = w->firstChild; c; c = c->next) {
    if (!(c->style & WS_VISIBLE)) continue;
    bool in = inFilter || !filter || c->h == filter;
    if (in && c->needNcPaint && !c->update && !c->internalPaint) SendNcPaint(c->h);
    if (in && (c->update || c->internalPaint)) return c;
    if (Wnd* r = FindPaintWindow(c, filter, in)) return r;
  }
  return nullptr;
}

void UpdateTree(HWND h, bool children) {
  Wnd* w = W(h);
  if (!w || !Paintable(w)) return;
  if (w->needNcPaint && !w->update) SendNcPaint(h);
  if ((w = W(h)) && (w->update || w->internalPaint)) Send(h, WM_PAINT);
  if (!children || !(w = W(h))) return;
  std::vector<HWND> kids;
  for (Wnd* c = w->firstChild; c; c = c->next) kids.push_back(c->h);
  for (HWND k : kids) UpdateTree(k, true);
}

// Draws the classic frame, caption and scroll bars into a DC whose origin is the window's corner.
void DrawNonClient(Wnd* w, HDC dc) {
  RECT wr{0, 0, w->rect.Width(), w->rect.Height()};
  bool active = w->ncActive;
  RECT r = wr;
  if (w->style & WS_THICKFRAME) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    HBRUSH b = GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    for (int i = 0; i < 2; ++i) {
      FrameRect(dc, &r, b);
      r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
  } else if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  } else if (w->style & WS_BORDER) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  CaptionLayout cap = GetCaptionLayout(w);
  if (cap.present) {
    RECT bar = cap.bar;
    FillRect(dc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    RECT line{bar.left, bar.bottom, bar.right, bar.bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DFACE));
    PaintState& p = P();
    if (!p.captionFont) {
      NONCLIENTMETRICSA m;
      SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
      p.captionFont = CreateFontIndirectA(&m.lfCaptionFont);
    }
    HGDIOBJ oldFont = SelectObject(dc, p.captionFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT tr{(Empty(cap.icon) ? bar.left + 2 : cap.icon.right + 2), bar.top,
            (Empty(cap.min) ? (Empty(cap.close) ? bar.right : cap.close.left) : cap.min.left) - 2, bar.bottom};
    if (!w->text.empty())
      DrawTextA(dc, w->text.c_str(), int(w->text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (!Empty(cap.close)) {
      RECT b = cap.close;
      DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | ((w->cls && (w->cls->style & CS_NOCLOSE)) ? DFCS_INACTIVE : 0));
    }
    if (!Empty(cap.max)) {
      RECT b = cap.max;
      DrawFrameControl(dc, &b, DFC_CAPTION, ((w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                                                (!(w->style & WS_MAXIMIZEBOX) ? DFCS_INACTIVE : 0));
    }
    if (!Empty(cap.min)) {
      RECT b = cap.min;
      DrawFrameControl(dc, &b, DFC_CAPTION, ((w->style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                                                (!(w->style & WS_MINIMIZEBOX) ? DFCS_INACTIVE : 0));
    }
    r.top = line.bottom;
  }
  if (w->menu && IsTopLevel(w) && !(w->style & WS_CHILD)) {
    RECT mb{r.left, r.top, r.right, r.top + 19};
    DrawMenuBar(w, dc, mb);
    r.top = mb.bottom;
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (w->exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  ScrollNcPaint(w, dc);
}

}  // namespace

// Whether a WM_PAINT can be retrieved: a window waits for painting and it and
// its ancestors are visible. A hidden window keeps its update region without
// making the queue report work, so a program whose windows are all hidden
// sleeps instead of looking for a paint that never comes.
static bool PaintableWaiting(const Wnd* w) {
  for (const Wnd* c = w->firstChild; c; c = c->next) {
    if (!(c->style & WS_VISIBLE)) continue;
    if (c->update || c->internalPaint || PaintableWaiting(c)) return true;
  }
  return false;
}
bool AnyPaintPending() { return S().paintCount > 0 && PaintableWaiting(S().desktop); }

bool NextPaintMessage(MSG* out, HWND filter) {
  State& s = S();
  if (s.paintCount <= 0) {
    FlushPresents();
    return false;
  }
  Wnd* w = FindPaintWindow(s.desktop, filter, false);
  if (!w) {
    FlushPresents();
    return false;
  }
  *out = MSG();
  out->hwnd = w->h;
  out->message = WM_PAINT;
  out->time = Now();
  out->pt = s.cursor;
  return true;
}

void InvalidateForGeometry(Wnd* w, const RECT& oldRect, const RECT& oldClient, UINT flags, bool wasVisible) {
  HWND h = w->h;
  bool top = IsTopLevel(w);
  bool visible = (w->style & WS_VISIBLE) != 0;
  bool sized = oldRect.Width() != w->rect.Width() || oldRect.Height() != w->rect.Height();
  bool moved = oldRect.left != w->rect.left || oldRect.top != w->rect.top;
  bool clientChanged = !(oldClient == w->client) || sized;
  Wnd* parent = w->parent;
  const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
  if (!top && parent && wasVisible && ((flags & SWP_HIDEWINDOW) || moved || sized || !(flags & SWP_NOZORDER))) {
    // what the window covered shows the parent and the siblings below
    HRGN r = NewRgn(Offset(oldRect, -parent->client.left + parent->client.left, 0));
    SetRectRgn(r, oldRect.left, oldRect.top, oldRect.right, oldRect.bottom);
    UpdateRegionOf(parent, r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, true);
    DeleteObject(r);
  }
  if (!visible) return;
  if (top && (sized || !w->surface)) EnsureSurface(w);
  if ((flags & SWP_SHOWWINDOW) || (!top && (moved || sized))) {
    UpdateRegionOf(w, nullptr, all, true);
    return;
  }
  if (sized || (flags & SWP_FRAMECHANGED) || clientChanged) {
    bool whole = (flags & SWP_FRAMECHANGED) ||
                 (w->cls && (((w->cls->style & CS_HREDRAW) && oldRect.Width() != w->rect.Width()) ||
                             ((w->cls->style & CS_VREDRAW) && oldRect.Height() != w->rect.Height()))) ||
                 !(oldClient.left - oldRect.left == w->client.left - w->rect.left &&
                   oldClient.top - oldRect.top == w->client.top - w->rect.top);
    if (whole) {
      UpdateRegionOf(w, nullptr, all, true);
    } else {
      // only the newly uncovered part of the client area
      HRGN r = NewRgn({0, 0, w->client.Width(), w->client.Height()});
      HRGN old = NewRgn({0, 0, oldClient.Width(), oldClient.Height()});
      CombineRgn(r, r, old, RGN_DIFF);
      UpdateRegionOf(w, r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, true);
      DeleteObject(r);
      DeleteObject(old);
      if (HasNonClient(w)) w->needNcPaint = true;
    }
  }
  (void)h;
}

void PaintWindowNow(HWND h) {
  Wnd* w = W(h);
  if (!w) return;
  if (w->needNcPaint) SendNcPaint(h);
  EraseNow(h);
}

void PaintFreeWindow(Wnd* w) {
  State& s = S();
  if (w->inPaintList) {
    w->inPaintList = false;
    --s.paintCount;
  }
  ClearUpdate(w);
  if (w->windowRgn) {
    DeleteObject(w->windowRgn);
    w->windowRgn = nullptr;
  }
  if (w->ownDC) {
    if (DcView* v = FindView(w->ownDC)) {
      DeleteDC(v->dc);
      if (v->surf.visible) DeleteObject(v->surf.visible);
      FreeView(v);
    }
    w->ownDC = nullptr;
  }
  // DCs still held for the window stop drawing anywhere
  for (DcView* v : P().views)
    if (v->hwnd == w->h || v->top == w->h) {
      if (!v->surf.visible) v->surf.visible = CreateRectRgn(0, 0, 0, 0);
      else SetRectRgn(v->surf.visible, 0, 0, 0, 0);
      if (v->top == w->h) {
        static std::uint32_t dummy;
        v->surf.pixels = &dummy;
        v->surf.width = v->surf.height = 1;
        v->surf.stride = 4;
      }
    }
  if (w->surface) {
    delete w->surface;
    w->surface = nullptr;
  }
  if (s.lockedWindow == w->h) s.lockedWindow = nullptr;
}

void PaintTopLevelChanged(Wnd* w) {
  if (!IsTopLevel(w) && w->surface) {
    delete w->surface;
    w->surface = nullptr;
  }
}

void PaintZOrderChanged() {}

void DefNcPaint(HWND h, HRGN rgn) {
  Wnd* w = W(h);
  if (!w || !HasNonClient(w) || !Paintable(w)) return;
  HRGN clip = VisibleRegion(w, false, false, false);
  Wnd* top = TopLevelOf(w);
  POINT to = TopOrigin(top);
  // never over the client area
  RECT cr = Offset(ScreenClient(w), -to.x, -to.y);
  HRGN c = NewRgn(cr);
  CombineRgn(clip, clip, c, RGN_DIFF);
  if (rgn && reinterpret_cast<std::uintptr_t>(rgn) != 1) {
    CombineRgn(c, rgn, nullptr, RGN_COPY);  // screen coordinates
    OffsetRgn(c, -to.x, -to.y);
    CombineRgn(clip, clip, c, RGN_AND);
  }
  DeleteObject(c);
  HDC dc = MakeDC(w, false, clip);
  DrawNonClient(w, dc);
  if (DcView* v = FindView(dc)) ReleaseView(v);
}

void DefNcActivateRedraw(HWND h) {
  Wnd* w = W(h);
  if (w && Paintable(w) && HasNonClient(w)) DefNcPaint(h, reinterpret_cast<HRGN>(1));
}

LRESULT DefEraseBackground(HWND h, HDC dc) {
  Wnd* w = W(h);
  if (!w || !dc || !w->cls || !w->cls->brush) return 0;
  RECT r{0, 0, w->client.Width(), w->client.Height()};
  FillRect(dc, &r, w->cls->brush);
  return 1;
}

void DefPaint(HWND h) {
  PAINTSTRUCT ps;
  if (BeginPaint(h, &ps)) EndPaint(h, &ps);
}

void DefPrint(HWND h, HDC dc, UINT flags) {
  Wnd* w = W(h);
  if (!w || !dc) return;
  if ((flags & PRF_CHECKVISIBLE) && !IsReallyVisible(w)) return;
  int saved = SaveDC(dc);
  if ((flags & PRF_NONCLIENT) && HasNonClient(w)) DrawNonClient(w, dc);
  POINT off{w->client.left - w->rect.left, w->client.top - w->rect.top};
  OffsetViewportOrgEx(dc, off.x, off.y, nullptr);
  IntersectClipRect(dc, 0, 0, w->client.Width(), w->client.Height());
  if (flags & PRF_ERASEBKGND) Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if ((flags & PRF_CLIENT) && W(h)) Send(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), LPARAM(flags));
  if ((flags & PRF_CHILDREN) && (w = W(h))) {
    std::vector<HWND> kids;
    for (Wnd* c = w->lastChild; c; c = c->prev) kids.push_back(c->h);  // bottom first
    for (HWND k : kids) {
      Wnd* c = W(k);
      if (!c || !(c->style & WS_VISIBLE)) continue;
      int s2 = SaveDC(dc);
      OffsetViewportOrgEx(dc, c->rect.left, c->rect.top, nullptr);
      IntersectClipRect(dc, 0, 0, c->rect.Width(), c->rect.Height());
      Send(k, WM_PRINT, reinterpret_cast<WPARAM>(dc), LPARAM(flags | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT));
      RestoreDC(dc, s2);
    }
  }
  RestoreDC(dc, saved);
}

void RegisterLayeredEntries(std::map<std::string, void*>& e) {
  e["SetLayeredWindowAttributes"] = reinterpret_cast<void*>(&SetLayeredWindowAttributes);
  e["UpdateLayeredWindow"] = reinterpret_cast<void*>(&UpdateLayeredWindow);
}

// Draws the overlay's XOR content over a screen image (used by screenshots).
const TopSurface* OverlaySurface() { return P().overlay.s.pixels ? &P().overlay : nullptr; }

}  // namespace pvwin

using namespace pvwin;

HDC BeginPaint(HWND h, PAINTSTRUCT* ps) {
  Wnd* w = W(h);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT();
  HideCaretForPaint(h);
  if (w->needNcPaint) {
    SendNcPaint(h);
    if (!(w = W(h))) return nullptr;
  }
  HRGN clip = VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, false);
  RECT paint{0, 0, 0, 0};
  if (w->update) {
    HRGN upd = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(upd, w->update, nullptr, RGN_COPY);
    GetRgnBox(upd, &paint);
    POINT sp = SurfacePos(w, true);
    OffsetRgn(upd, sp.x, sp.y);
    CombineRgn(clip, clip, upd, RGN_AND);
    DeleteObject(upd);
  } else {
    SetRectRgn(clip, 0, 0, 0, 0);
  }
  ps->rcPaint = Intersect(paint, {0, 0, w->client.Width(), w->client.Height()});
  ClearUpdate(w);
  w->internalPaint = false;
  AddToPaintList(w);
  bool erase = w->needErase;
  w->needErase = false;
  HDC dc;
  if (w->ownDC) {
    DcView* v = FindView(w->ownDC);
    if (v->surf.visible) DeleteObject(v->surf.visible);
    TopSurface* ts = EnsureSurface(TopLevelOf(w));
    v->surf.pixels = ts->s.pixels;
    v->surf.width = ts->s.width;
    v->surf.height = ts->s.height;
    v->surf.stride = ts->s.stride;
    v->surf.origin = SurfacePos(w, true);
    if (ShowsGivenPicture(w)) SetRectRgn(clip, 0, 0, 0, 0);
    v->surf.visible = clip;
    dc = w->ownDC;
  } else {
    dc = MakeDC(w, true, clip);
  }
  ps->hdc = dc;
  if (erase) ps->fErase = Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND h, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(h, ps->hdc);
  ShowCaretAfterPaint(h);
  return TRUE;
}

BOOL RedrawWindow(HWND h, const RECT* rect, HRGN rgn, UINT flags) {
  State& s = S();
  Wnd* w = h ? W(h) : nullptr;
  if (h && !w) return FALSE;
  if (!w) {
    // the desktop: every top-level window
    std::vector<HWND> tops;
    if (s.desktop)
      for (Wnd* c = s.desktop->firstChild; c; c = c->next) tops.push_back(c->h);
    for (HWND t : tops) RedrawWindow(t, nullptr, nullptr, flags | RDW_ALLCHILDREN);
    return TRUE;
  }
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE)) {
    HRGN area = nullptr;
    if (rgn) {
      area = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(area, rgn, nullptr, RGN_COPY);
    } else if (rect) {
      area = NewRgn(*rect);
    }
    UpdateRegionOf(w, area, flags, true);
    if (area) DeleteObject(area);
    if ((flags & RDW_INVALIDATE) && (flags & RDW_FRAME) && !rect && !rgn && HasNonClient(w) && Paintable(w))
      w->needNcPaint = true;
  }
  if (flags & (RDW_ERASENOW | RDW_UPDATENOW)) {
    std::vector<HWND> list{h};
    bool children = (flags & RDW_ALLCHILDREN) || !(flags & RDW_NOCHILDREN);
    if (children)
      for (std::size_t i = 0; i < list.size(); ++i)
        if (Wnd* x = W(list[i]))
          for (Wnd* c = x->firstChild; c; c = c->next) list.push_back(c->h);
    for (HWND x : list) {
      if (flags & RDW_UPDATENOW) {
        UpdateTree(x, false);
      } else {
        Wnd* xw = W(x);
        if (!xw) continue;
        if (xw->needNcPaint) SendNcPaint(x);
        EraseNow(x);
      }
    }
    FlushPresents();
  }
  return TRUE;
}

BOOL InvalidateRect(HWND h, const RECT* r, BOOL erase) {
  if (!h) return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return RedrawWindow(h, r, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND h, HRGN rgn, BOOL erase) {
  if (!rgn) return InvalidateRect(h, nullptr, erase);
  return RedrawWindow(h, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND h, const RECT* r) { return RedrawWindow(h, r, nullptr, RDW_VALIDATE | RDW_NOCHILDREN); }
BOOL ValidateRgn(HWND h, HRGN rgn) { return RedrawWindow(h, nullptr, rgn, RDW_VALIDATE | RDW_NOCHILDREN); }

BOOL GetUpdateRect(HWND h, RECT* r, BOOL erase) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  RECT box{0, 0, 0, 0};
  if (w->update) GetRgnBox(w->update, &box);
  if (r) *r = box;
  if (erase && w->update) {
    if (w->needNcPaint) SendNcPaint(h);
    EraseNow(h);
  }
  return !Empty(box);
}

int GetUpdateRgn(HWND h, HRGN rgn, BOOL erase) {
  Wnd* w = W(h);
  if (!w || !rgn) return ERROR;
  int type;
  if (w->update) type = CombineRgn(rgn, w->update, nullptr, RGN_COPY);
  else type = SetRectRgn(rgn, 0, 0, 0, 0) ? NULLREGION : ERROR;
  if (erase && w->update) {
    if (w->needNcPaint) SendNcPaint(h);
    EraseNow(h);
  }
  return type;
}

BOOL UpdateWindow(HWND h) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  UpdateTree(h, false);
  FlushPresents();
  return TRUE;
}

HDC GetDCEx(HWND h, HRGN clipRgn, DWORD flags) {
  State& s = S();
  PaintState& p = P();
  Wnd* w = h ? W(h) : nullptr;
  if (h && !w) return nullptr;
  if (!w || w == s.desktop) {
    // the desktop: an overlay above every window, where XOR drawing shows and undoes itself
    TopSurface& ov = Overlay();
    DcView* v = NewView();
    v->surf = ov.s;
    v->surf.origin = {0, 0};
    v->surf.visible = nullptr;
    v->desktop = true;
    v->hwnd = nullptr;
    v->dc = CreateSurfaceDC(&v->surf);
    (void)p;
    return v->dc;
  }
  if (w->ownDC && !(flags & (DCX_WINDOW | DCX_CACHE))) {
    DcView* v = FindView(w->ownDC);
    if (v->surf.visible) DeleteObject(v->surf.visible);
    TopSurface* ts = EnsureSurface(TopLevelOf(w));
    v->surf.pixels = ts->s.pixels;
    v->surf.width = ts->s.width;
    v->surf.height = ts->s.height;
    v->surf.stride = ts->s.stride;
    v->surf.origin = SurfacePos(w, true);
    v->surf.visible = VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, false);
    if (ShowsGivenPicture(w)) SetRectRgn(v->surf.visible, 0, 0, 0, 0);
    return w->ownDC;
  }
  bool window = (flags & DCX_WINDOW) != 0;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN);
  HRGN vis = VisibleRegion(w, !window, clipChildren, (flags & DCX_CLIPSIBLINGS) != 0,
                           (flags & DCX_LOCKWINDOWUPDATE) != 0);
  Wnd* top = TopLevelOf(w);
  POINT to = TopOrigin(top);
  if (clipRgn && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) && reinterpret_cast<std::uintptr_t>(clipRgn) != 1) {
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(c, clipRgn, nullptr, RGN_COPY);  // screen coordinates
    OffsetRgn(c, -to.x, -to.y);
    CombineRgn(vis, vis, c, (flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
    DeleteObject(c);
  }
  if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    if (w->update) {
      CombineRgn(c, w->update, nullptr, RGN_COPY);
      POINT sp = SurfacePos(w, true);
      OffsetRgn(c, sp.x, sp.y);
    }
    CombineRgn(vis, vis, c, (flags & DCX_INTERSECTUPDATE) ? RGN_AND : RGN_DIFF);
    DeleteObject(c);
    if (flags & DCX_VALIDATE) ValidateRect(h, nullptr);
  }
  return MakeDC(w, !window, vis);
}

HDC GetDC(HWND h) {
  Wnd* w = h ? W(h) : nullptr;
  if (h && !w) return nullptr;
  if (w && w->cls && (w->cls->style & CS_OWNDC) && !w->ownDC) {
    HDC dc = GetDCEx(h, nullptr, DCX_CACHE);
    if (DcView* v = FindView(dc)) v->own = true;
    w->ownDC = dc;
  }
  return GetDCEx(h, nullptr, 0);
}

HDC GetWindowDC(HWND h) { return GetDCEx(h, nullptr, DCX_WINDOW | DCX_CACHE); }

int ReleaseDC(HWND, HDC dc) {
  DcView* v = FindView(dc);
  if (!v) return 0;
  if (v->own) {
    if (Wnd* top = W(v->top)) {
      RECT box{0, 0, 0, 0};
      if (v->surf.visible) GetRgnBox(v->surf.visible, &box);
      MarkDamage(top, box);
    }
    return 1;
  }
  ReleaseView(v);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  DcView* v = FindView(dc);
  return v ? v->hwnd : nullptr;
}

BOOL LockWindowUpdate(HWND h) {
  State& s = S();
  if (h) {
    if (s.lockedWindow && W(s.lockedWindow)) return FALSE;
    if (!W(h)) return FALSE;
    s.lockedWindow = h;
    return TRUE;
  }
  HWND old = s.lockedWindow;
  s.lockedWindow = nullptr;
  if (W(old)) RedrawWindow(old, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

int ScrollWindowEx(HWND h, int dx, int dy, const RECT* scroll, const RECT* clipRect, HRGN update, RECT* updateRect,
                   UINT flags) {
  Wnd* w = W(h);
  if (!w) return ERROR;
  RECT cr{0, 0, w->client.Width(), w->client.Height()};
  RECT area = scroll ? Intersect(*scroll, cr) : cr;
  RECT clip = clipRect ? Intersect(*clipRect, cr) : cr;
  // what can be copied: the visible part of the area, moved, within the clip
  HRGN uncovered = NewRgn(Intersect(area, clip));
  if (Paintable(w) && (dx || dy)) {
    HRGN vis = VisibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, false);
    POINT sp = SurfacePos(w, true);
    OffsetRgn(vis, -sp.x, -sp.y);  // client coordinates
    HRGN src = NewRgn(area);
    CombineRgn(src, src, vis, RGN_AND);
    OffsetRgn(src, dx, dy);
    HRGN dst = NewRgn(Intersect(area, clip));
    CombineRgn(dst, dst, src, RGN_AND);
    CombineRgn(dst, dst, vis, RGN_AND);
    // the pixels: copy the whole moved rectangle through the destination region
    Wnd* top = TopLevelOf(w);
    TopSurface* ts = EnsureSurface(top);
    RECT srcRect = Offset(area, sp.x, sp.y);
    HRGN dstSurf = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(dstSurf, dst, nullptr, RGN_COPY);
    OffsetRgn(dstSurf, sp.x, sp.y);
    // the source rectangle is copied aside first, since it overlaps the destination
    srcRect = Intersect(srcRect, {0, 0, ts->s.width, ts->s.height});
    int sw = std::max<int>(0, srcRect.Width()), sh = std::max<int>(0, srcRect.Height());
    std::vector<std::uint32_t> copy(std::size_t(sw) * sh);
    for (int y = 0; y < sh; ++y)
      std::memcpy(&copy[std::size_t(y) * sw], &ts->buf[std::size_t(srcRect.top + y) * ts->s.width + srcRect.left],
                  std::size_t(sw) * 4);
    Surface from;
    from.pixels = copy.data();
    from.width = sw;
    from.height = sh;
    from.stride = sw * 4;
    if (sw > 0 && sh > 0)
      SurfaceCopyClipped(&ts->s, srcRect.left + dx, srcRect.top + dy, &from, {0, 0, sw, sh}, dstSurf);
    RECT box;
    GetRgnBox(dstSurf, &box);
    MarkDamage(top, box);
    DeleteObject(dstSurf);
    CombineRgn(uncovered, uncovered, dst, RGN_DIFF);
    DeleteObject(src);
    DeleteObject(dst);
    DeleteObject(vis);
    // a pending update moves with the content
    if (w->update) {
      HRGN inArea = NewRgn(area);
      CombineRgn(inArea, inArea, w->update, RGN_AND);
      CombineRgn(w->update, w->update, inArea, RGN_DIFF);
      OffsetRgn(inArea, dx, dy);
      HRGN a2 = NewRgn(Intersect(area, clip));
      CombineRgn(inArea, inArea, a2, RGN_AND);
      CombineRgn(w->update, w->update, inArea, RGN_OR);
      DeleteObject(inArea);
      DeleteObject(a2);
    }
  } else if (!dx && !dy) {
    SetRectRgn(uncovered, 0, 0, 0, 0);
  }
  if ((flags & SW_SCROLLCHILDREN) && (dx || dy)) {
    std::vector<HWND> kids;
    for (Wnd* c = w->firstChild; c; c = c->next) {
      RECT r = {c->rect.left - w->client.left + w->client.left, c->rect.top, c->rect.right, c->rect.bottom};
      if (!scroll || !Empty(Intersect(r, area))) kids.push_back(c->h);
    }
    for (HWND k : kids) {
      Wnd* c = W(k);
      if (!c) continue;
      SetWindowPosImpl(k, nullptr, c->rect.left + dx, c->rect.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      if ((c = W(k))) UpdateRegionOf(c, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN, true);
    }
  }
  if (!(w = W(h))) {
    DeleteObject(uncovered);
    return ERROR;
  }
  int type = CombineRgn(uncovered, uncovered, nullptr, RGN_COPY);
  if (update) CombineRgn(update, uncovered, nullptr, RGN_COPY);
  if (updateRect) GetRgnBox(uncovered, updateRect);
  if (flags & (SW_INVALIDATE | SW_ERASE)) {
    UpdateRegionOf(w, uncovered, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                                     ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0), true);
  } else if (w->update) {
    AddToPaintList(w);
  }
  DeleteObject(uncovered);
  return type;
}

BOOL ScrollWindow(HWND h, int dx, int dy, const RECT* scroll, const RECT* clip) {
  return ScrollWindowEx(h, dx, dy, scroll, clip, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect) {
  RECT r;
  if (scroll) r = *scroll;
  else GetClipBox(dc, &r);
  RECT c = clip ? Intersect(*clip, r) : r;
  BitBlt(dc, r.left + dx, r.top + dy, r.Width(), r.Height(), dc, r.left, r.top, SRCCOPY);
  HRGN unc = NewRgn(c);
  HRGN moved = NewRgn(Intersect(Offset(r, dx, dy), c));
  CombineRgn(unc, unc, moved, RGN_DIFF);
  if (update) CombineRgn(update, unc, nullptr, RGN_COPY);
  if (updateRect) GetRgnBox(unc, updateRect);
  DeleteObject(unc);
  DeleteObject(moved);
  return TRUE;
}

int SetWindowRgn(HWND h, HRGN rgn, BOOL redraw) {
  Wnd* w = W(h);
  if (!w) return 0;
  RECT old = w->rect;
  if (w->windowRgn) DeleteObject(w->windowRgn);
  w->windowRgn = rgn;
  if (IsTopLevel(w) && S().backend) S().backend->WindowMove(reinterpret_cast<BackendWindowId>(h), w->rect);
  if (redraw) {
    if (!IsTopLevel(w) && w->parent) {
      HRGN r = NewRgn(old);
      UpdateRegionOf(w->parent, r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, true);
      DeleteObject(r);
    }
    if ((w = W(h))) UpdateRegionOf(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN, true);
  }
  return 1;
}

int GetWindowRgn(HWND h, HRGN rgn) {
  Wnd* w = W(h);
  if (!w || !w->windowRgn || !rgn) return ERROR;
  return CombineRgn(rgn, w->windowRgn, nullptr, RGN_COPY);
}

BOOL SetLayeredWindowAttributes(HWND h, COLORREF key, BYTE alpha, DWORD flags) {
  Wnd* w = W(h);
  if (!w || !(w->exStyle & WS_EX_LAYERED) || !IsTopLevel(w)) return FALSE;
  w->layeredKey = key;
  w->layeredAlpha = (flags & LWA_ALPHA) ? alpha : 255;
  w->layeredFlags = flags;
  w->perPixelAlpha = false;
  w->layeredPicture = false;
  if (S().backend) S().backend->WindowOpacity(reinterpret_cast<BackendWindowId>(h), w->layeredAlpha, false);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND h, COLORREF* key, BYTE* alpha, DWORD* flags) {
  Wnd* w = W(h);
  if (!w || !(w->exStyle & WS_EX_LAYERED) || w->perPixelAlpha) return FALSE;
  if (key) *key = w->layeredKey;
  if (alpha) *alpha = w->layeredAlpha;
  if (flags) *flags = w->layeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND h, HDC, POINT* pos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                         BLENDFUNCTION* blend, DWORD flags) {
  Wnd* w = W(h);
  if (!w || !(w->exStyle & WS_EX_LAYERED) || !IsTopLevel(w)) return FALSE;
  if (pos || size) {
    UINT f = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | (pos ? 0 : SWP_NOMOVE) | (size ? 0 : SWP_NOSIZE);
    SetWindowPosImpl(h, nullptr, pos ? pos->x : 0, pos ? pos->y : 0, size ? size->cx : 0, size ? size->cy : 0, f);
    if (!(w = W(h))) return FALSE;
  }
  TopSurface* ts = EnsureSurface(w);
  if (src) {
    Surface from;
    if (!GetDCPixels(src, &from)) return FALSE;
    POINT sp = srcPos ? *srcPos : POINT{0, 0};
    SurfaceCopy(&ts->s, 0, 0, &from, {sp.x, sp.y, sp.x + ts->s.width, sp.y + ts->s.height});
  }
  w->perPixelAlpha = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
  w->layeredAlpha = blend ? blend->SourceConstantAlpha : 255;
  w->layeredKey = key;
  w->layeredFlags = flags;
  w->layeredPicture = true;
  MarkDamage(w, {0, 0, ts->s.width, ts->s.height});
  if (S().backend) S().backend->WindowOpacity(reinterpret_cast<BackendWindowId>(h), w->layeredAlpha, w->perPixelAlpha);
  FlushPresents();
  return TRUE;
}

BOOL PrintWindow(HWND h, HDC dc, UINT flags) {
  if (!W(h) || !dc) return FALSE;
  PvWindowImage img = PvCaptureWindow(h);
  Wnd* w = W(h);
  int x = 0, y = 0, wd = img.width, ht = img.height;
  if (flags & PW_CLIENTONLY) {
    x = w->client.left - w->rect.left;
    y = w->client.top - w->rect.top;
    wd = w->client.Width();
    ht = w->client.Height();
  }
  Surface from;
  from.pixels = img.pixels.data();
  from.width = img.width;
  from.height = img.height;
  from.stride = img.width * 4;
  Surface to;
  if (!GetDCPixels(dc, &to)) return FALSE;
  SurfaceCopy(&to, 0, 0, &from, {x, y, x + wd, y + ht});
  return TRUE;
}

BOOL FlashWindow(HWND h, BOOL) { return W(h) != nullptr; }

PvWindowImage PvCaptureWindow(HWND h) {
  PvWindowImage img;
  Wnd* w = W(h);
  if (!w) return img;
  Wnd* top = TopLevelOf(w);
  if (!top) return img;
  UpdateTree(top->h, true);
  if (!(w = W(h)) || !(top = TopLevelOf(w))) return img;
  TopSurface* ts = EnsureSurface(top);
  RECT r = ScreenRect(w);
  POINT to = TopOrigin(top);
  r = Offset(r, -to.x, -to.y);
  img.width = std::max<int>(0, r.Width());
  img.height = std::max<int>(0, r.Height());
  img.pixels.assign(std::size_t(img.width) * img.height, 0xFF000000u);
  for (int y = 0; y < img.height; ++y) {
    int sy = r.top + y;
    if (sy < 0 || sy >= ts->s.height) continue;
    for (int x = 0; x < img.width; ++x) {
      int sx = r.left + x;
      if (sx < 0 || sx >= ts->s.width) continue;
      std::uint32_t p = ts->buf[std::size_t(sy) * ts->s.width + sx];
      img.pixels[std::size_t(y) * img.width + x] = top->perPixelAlpha ? p : (p | 0xFF000000u);
    }
  }
  return img;
}

void PvSaveWindowPng(HWND h, const std::string& path) {
  if (!W(h)) throw EInvalidOperation("PvSaveWindowPng: not a window");
  PvWindowImage img = PvCaptureWindow(h);
  TRawImage raw;
  raw.Width = img.width;
  raw.Height = img.height;
  raw.Pixels = std::move(img.pixels);
  TBytes png = EncodePng(raw);
  std::ofstream f(path, std::ios::binary);
  if (!f) throw EFCreateError("Cannot create " + path);
  f.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  if (!f) throw EWriteError("Cannot write " + path);
}
