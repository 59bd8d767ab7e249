// Scroll bars: the window's own bars in its non-client area and the SCROLLBAR
// control, with the classic geometry, drawing and the modal tracking loop that
// sends WM_HSCROLL/WM_VSCROLL.
#include <algorithm>
#include <climits>
#include <cstdint>
#include "platform/win/wndinternal.h"

namespace pvwin {

void SetSystemTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc, bool cosmetic = false);
void KillSystemTimer(HWND h, UINT_PTR id);

namespace {

constexpr int kArrow = 16, kMinThumb = 8;

struct Bar {
  Wnd* w = nullptr;
  int which = SB_VERT;  // SB_HORZ, SB_VERT or SB_CTL
  bool vertical = true;
  RECT rect{0, 0, 0, 0};  // window coordinates
  ScrollBarState* st = nullptr;
};

// A SCROLLBAR control, also one that a control class made from it under its own
// class name (its messages reach the SCROLLBAR procedure, which marks it).
bool IsControl(Wnd* w) { return w && (w->scrollControl || (w->cls && Lower(w->cls->name) == "scrollbar")); }

bool GetBar(Wnd* w, int which, Bar* b) {
  if (!w) return false;
  b->w = w;
  b->which = which;
  int cl = w->client.left - w->rect.left, ct = w->client.top - w->rect.top;
  int cw = w->client.Width(), ch = w->client.Height();
  if (which == SB_CTL) {
    if (!IsControl(w)) return false;
    b->vertical = (w->style & SBS_VERT) != 0;
    b->rect = {cl, ct, cl + cw, ct + ch};
    b->st = &w->vs;
    return true;
  }
  if (which == SB_VERT) {
    if (!(w->style & WS_VSCROLL)) return false;
    b->vertical = true;
    b->rect = {cl + cw, ct, cl + cw + kArrow, ct + ch};
    b->st = &w->vs;
  } else {
    if (!(w->style & WS_HSCROLL)) return false;
    b->vertical = false;
    b->rect = {cl, ct + ch, cl + cw, ct + ch + kArrow};
    b->st = &w->hs;
  }
  return true;
}

// Positions along the bar: arrows, track and thumb (offsets from the bar's start).
struct Layout {
  int length = 0, arrow = 0, trackStart = 0, trackEnd = 0, thumbStart = 0, thumbEnd = 0;
  bool thumb = false;
};

int MaxPos(const ScrollBarState& s) { return s.max - std::max(int(s.page) - 1, 0); }

Layout Measure(const Bar& b, int pos) {
  Layout l;
  l.length = b.vertical ? b.rect.Height() : b.rect.Width();
  l.arrow = std::min(kArrow, l.length / 2);
  l.trackStart = l.arrow;
  l.trackEnd = l.length - l.arrow;
  const ScrollBarState& s = *b.st;
  int track = l.trackEnd - l.trackStart;
  int range = s.max - s.min + 1;
  bool enabled = !(b.w->style & WS_DISABLED) && s.arrows != ESB_DISABLE_BOTH && range > 0 &&
                 (s.page == 0 || int(s.page) <= s.max - s.min);
  if (!enabled || track < kMinThumb) return l;
  int thumbLen = s.page ? std::max(kMinThumb, int(std::int64_t(track) * s.page / range)) : kArrow;
  if (thumbLen > track) return l;
  int span = MaxPos(s) - s.min;
  int offset = span > 0 ? int(std::int64_t(track - thumbLen) * (pos - s.min) / span) : 0;
  l.thumb = true;
  l.thumbStart = l.trackStart + offset;
  l.thumbEnd = l.thumbStart + thumbLen;
  return l;
}

// The bar's part under a window-relative point: 0 up/left arrow, 1 page up, 2 thumb,
// 3 page down, 4 down/right arrow; -1 outside.
int PartAt(const Bar& b, POINT p, const Layout& l) {
  if (p.x < b.rect.left || p.x >= b.rect.right || p.y < b.rect.top || p.y >= b.rect.bottom) return -1;
  int at = b.vertical ? p.y - b.rect.top : p.x - b.rect.left;
  if (at < l.arrow) return 0;
  if (at >= l.length - l.arrow) return 4;
  if (!l.thumb) return -1;
  if (at < l.thumbStart) return 1;
  if (at >= l.thumbEnd) return 3;
  return 2;
}

void DrawBar(const Bar& b, HDC dc, int pressedPart) {
  if (b.rect.right <= b.rect.left || b.rect.bottom <= b.rect.top) return;
  const ScrollBarState& s = *b.st;
  Layout l = Measure(b, s.tracking ? s.trackPos : s.pos);
  bool disabled = (b.w->style & WS_DISABLED) != 0 || s.arrows == ESB_DISABLE_BOTH || !l.thumb;
  auto part = [&](int from, int to) {
    return b.vertical ? RECT{b.rect.left, b.rect.top + from, b.rect.right, b.rect.top + to}
                      : RECT{b.rect.left + from, b.rect.top, b.rect.left + to, b.rect.bottom};
  };
  RECT a1 = part(0, l.arrow), a2 = part(l.length - l.arrow, l.length);
  UINT dis1 = (disabled || (s.arrows & ESB_DISABLE_LTUP)) ? DFCS_INACTIVE : 0;
  UINT dis2 = (disabled || (s.arrows & ESB_DISABLE_RTDN)) ? DFCS_INACTIVE : 0;
  DrawFrameControl(dc, &a1, DFC_SCROLL, (b.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | dis1 |
                                            (pressedPart == 0 ? DFCS_PUSHED | DFCS_FLAT : 0));
  DrawFrameControl(dc, &a2, DFC_SCROLL, (b.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | dis2 |
                                            (pressedPart == 4 ? DFCS_PUSHED | DFCS_FLAT : 0));
  RECT track = part(l.trackStart, l.trackEnd);
  FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  if (l.thumb) {
    if (pressedPart == 1) {
      RECT r = part(l.trackStart, l.thumbStart);
      FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    } else if (pressedPart == 3) {
      RECT r = part(l.thumbEnd, l.trackEnd);
      FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    RECT t = part(l.thumbStart, l.thumbEnd);
    FillRect(dc, &t, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &t, EDGE_RAISED, BF_RECT);
  }
}

void RedrawBar(const Bar& b, int pressed = -1) {
  if (!IsReallyVisible(b.w)) return;
  HDC dc = GetWindowDC(b.w->h);
  if (!dc) return;
  DrawBar(b, dc, pressed);
  ReleaseDC(b.w->h, dc);
}

// Shows or hides a window's own bar by its style bit, recomputing the frame.
void SetBarVisible(Wnd* w, int which, bool show) {
  DWORD bit = which == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  bool has = (w->style & bit) != 0;
  if (has == show) return;
  if (show) w->style |= bit;
  else w->style &= ~bit;
  SetWindowPosImpl(w->h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Notify(const Bar& b, UINT code, int pos) {
  HWND target;
  LPARAM ctl = 0;
  if (b.which == SB_CTL) {
    target = b.w->parent && b.w->parent != S().desktop ? b.w->parent->h : (b.w->owner ? b.w->owner->h : nullptr);
    ctl = reinterpret_cast<LPARAM>(b.w->h);
  } else {
    target = b.w->h;
  }
  if (!target) return;
  Send(target, b.vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(int(code), pos & 0xFFFF), ctl);
}

int PosFromOffset(const Bar& b, const Layout& l, int thumbStart) {
  const ScrollBarState& s = *b.st;
  int track = l.trackEnd - l.trackStart - (l.thumbEnd - l.thumbStart);
  if (track <= 0) return s.min;
  int off = std::clamp(thumbStart - l.trackStart, 0, track);
  int span = MaxPos(s) - s.min;
  return s.min + int((std::int64_t(off) * span + track / 2) / track);
}

struct Tracking {
  Bar bar;
  int part = -1;
  bool over = true;
  HWND h = nullptr;
};
Tracking* g_track = nullptr;

void RepeatProc(HWND, UINT, UINT_PTR, DWORD) {
  Tracking* t = g_track;
  if (!t || !W(t->h) || !t->over) return;
  static const UINT codes[5] = {SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
  // a page step stops once the thumb reaches the cursor
  Layout l = Measure(t->bar, t->bar.st->pos);
  POINT p;
  GetCursorPos(&p);
  RECT wr = ScreenRect(t->bar.w);
  POINT wp{p.x - wr.left, p.y - wr.top};
  if ((t->part == 1 || t->part == 3) && PartAt(t->bar, wp, l) != t->part) return;
  Notify(t->bar, codes[t->part], 0);
  if (W(t->h)) SetSystemTimer(t->h, 0x5C01, 50, RepeatProc);
}

// The modal loop after a button press on a bar.
void Track(Bar bar, POINT windowPt) {
  HWND h = bar.w->h;
  Layout l = Measure(bar, bar.st->pos);
  int part = PartAt(bar, windowPt, l);
  if (part < 0) return;
  bool disabled = (bar.w->style & WS_DISABLED) || bar.st->arrows == ESB_DISABLE_BOTH;
  if (disabled || (part == 0 && (bar.st->arrows & ESB_DISABLE_LTUP)) || (part == 4 && (bar.st->arrows & ESB_DISABLE_RTDN)))
    return;
  State& s = S();
  Tracking t;
  t.bar = bar;
  t.part = part;
  t.h = h;
  Tracking* saved = g_track;
  g_track = &t;
  SetCapture(h);
  int grab = (bar.vertical ? windowPt.y - bar.rect.top : windowPt.x - bar.rect.left) - l.thumbStart;
  static const UINT codes[5] = {SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
  int trackPos = bar.st->pos;
  if (part == 2) {
    bar.st->tracking = true;
    bar.st->trackPos = trackPos;
  } else {
    RedrawBar(bar, part);
    Notify(bar, codes[part], 0);
    if (W(h)) SetSystemTimer(h, 0x5C01, 400, RepeatProc);
  }
  MSG msg;
  struct Cleanup {  // an exception from a message handler still ends the tracking
    HWND h;
    Tracking* saved;
    bool armed = true;
    ~Cleanup() {
      if (!armed) return;
      if (W(h)) KillSystemTimer(h, 0x5C01);
      if (S().capture == h) ReleaseCapture();
      g_track = saved;
    }
  } cleanup{h, saved};
  while (W(h)) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (s.capture != h) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
    if (!mouse) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (s.capture != h) break;
      continue;
    }
    Wnd* w = W(h);
    if (!w) break;
    RECT wr = ScreenRect(w);
    POINT wp{msg.pt.x - wr.left, msg.pt.y - wr.top};
    if (!GetBar(w, bar.which, &t.bar)) break;
    bar = t.bar;
    if (part == 2) {
      Layout cur = Measure(bar, bar.st->trackPos);
      int along = bar.vertical ? wp.y - bar.rect.top : wp.x - bar.rect.left;
      // far off the bar the thumb snaps back, as on the platform
      bool near = bar.vertical ? (wp.x > bar.rect.left - 64 && wp.x < bar.rect.right + 64)
                               : (wp.y > bar.rect.top - 64 && wp.y < bar.rect.bottom + 64);
      int pos = near ? PosFromOffset(bar, cur, along - grab) : bar.st->pos;
      if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
        if (pos != bar.st->trackPos || msg.message == WM_LBUTTONUP) {
          bar.st->trackPos = pos;
          RedrawBar(bar, 2);
          if (msg.message == WM_MOUSEMOVE) Notify(bar, SB_THUMBTRACK, pos);
        }
        if (msg.message == WM_LBUTTONUP) {
          Notify(bar, SB_THUMBPOSITION, bar.st->trackPos);
          break;
        }
      }
    } else {
      Layout cur = Measure(bar, bar.st->pos);
      t.over = PartAt(bar, wp, cur) == part || (part != 1 && part != 3 && PartAt(bar, wp, cur) == part);
      if (msg.message == WM_LBUTTONUP) break;
    }
  }
  cleanup.armed = false;
  if (W(h)) KillSystemTimer(h, 0x5C01);
  Wnd* w = W(h);
  if (w && GetBar(w, bar.which, &bar)) {
    bar.st->tracking = false;
    Notify(bar, SB_ENDSCROLL, 0);
    if ((w = W(h)) && GetBar(w, bar.which, &bar)) RedrawBar(bar);
  }
  if (s.capture == h) ReleaseCapture();
  g_track = saved;
}

}  // namespace

void ScrollNcPaint(Wnd* w, HDC dc) {
  Bar b;
  if (GetBar(w, SB_VERT, &b)) DrawBar(b, dc, -1);
  if (GetBar(w, SB_HORZ, &b)) DrawBar(b, dc, -1);
  if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL)) {
    int cl = w->client.left - w->rect.left, ct = w->client.top - w->rect.top;
    RECT corner{cl + w->client.Width(), ct + w->client.Height(), cl + w->client.Width() + kArrow,
                ct + w->client.Height() + kArrow};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_3DFACE));
  }
}

int ScrollHitTest(Wnd* w, POINT screen) {
  RECT wr = ScreenRect(w);
  POINT p{screen.x - wr.left, screen.y - wr.top};
  Bar b;
  auto in = [&](const RECT& r) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; };
  if (GetBar(w, SB_VERT, &b) && in(b.rect)) return HTVSCROLL;
  if (GetBar(w, SB_HORZ, &b) && in(b.rect)) return HTHSCROLL;
  if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL)) {
    int cl = w->client.left - w->rect.left, ct = w->client.top - w->rect.top;
    RECT corner{cl + w->client.Width(), ct + w->client.Height(), cl + w->client.Width() + kArrow,
                ct + w->client.Height() + kArrow};
    if (in(corner)) return (w->style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTBORDER;
  }
  return HTNOWHERE;
}

bool ScrollTrackClick(Wnd* w, int hit, POINT screen) {
  Bar b;
  if (!GetBar(w, hit == HTVSCROLL ? SB_VERT : SB_HORZ, &b)) return false;
  RECT wr = ScreenRect(w);
  Track(b, {screen.x - wr.left, screen.y - wr.top});
  return true;
}

// The SCROLLBAR control's window procedure.
LRESULT ScrollBarControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Wnd* w = W(h);
  if (!w) return 0;
  w->scrollControl = true;
  switch (msg) {
    case WM_CREATE:
      w->vs = ScrollBarState();
      w->vs.max = 0;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      Bar b;
      if (GetBar(W(h), SB_CTL, &b)) {
        // the control paints in client coordinates
        SetWindowOrgEx(dc, w->client.left - w->rect.left, w->client.top - w->rect.top, nullptr);
        DrawBar(b, dc, -1);
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Bar b;
      if (GetBar(w, SB_CTL, &b)) {
        int cl = w->client.left - w->rect.left, ct = w->client.top - w->rect.top;
        Track(b, {GET_X_LPARAM(lp) + cl, GET_Y_LPARAM(lp) + ct});
      }
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case SBM_SETPOS: return SetScrollPos(h, SB_CTL, int(wp), BOOL(lp));
    case SBM_GETPOS: return GetScrollPos(h, SB_CTL);
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      int old = GetScrollPos(h, SB_CTL);
      SetScrollRange(h, SB_CTL, int(wp), int(lp), msg == SBM_SETRANGEREDRAW);
      return old;
    }
    case SBM_GETRANGE:
      GetScrollRange(h, SB_CTL, reinterpret_cast<int*>(wp), reinterpret_cast<int*>(lp));
      return 0;
    case SBM_ENABLE_ARROWS: return EnableScrollBar(h, SB_CTL, UINT(wp));
    case SBM_SETSCROLLINFO: return SetScrollInfo(h, SB_CTL, reinterpret_cast<SCROLLINFO*>(lp), BOOL(wp));
    case SBM_GETSCROLLINFO: return GetScrollInfo(h, SB_CTL, reinterpret_cast<SCROLLINFO*>(lp));
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pvwin

using namespace pvwin;

static ScrollBarState* StateOf(Wnd* w, int bar) {
  if (!w) return nullptr;
  if (bar == SB_CTL) return IsControl(w) ? &w->vs : nullptr;
  if (bar == SB_VERT) return &w->vs;
  if (bar == SB_HORZ) return &w->hs;
  return nullptr;
}

int SetScrollInfo(HWND h, int bar, const SCROLLINFO* si, BOOL redraw) {
  Wnd* w = W(h);
  ScrollBarState* s = StateOf(w, bar);
  if (!s || !si) return 0;
  if (si->fMask & SIF_RANGE) {
    // a range wider than the largest int is cut short, so that every span the
    // bar computes from it stays representable
    s->min = si->nMin;
    s->max = int(std::clamp<std::int64_t>(si->nMax, si->nMin, std::int64_t(si->nMin) + INT_MAX - 1));
  }
  if (si->fMask & SIF_PAGE) s->page = si->nPage;
  int range = s->max - s->min + 1;
  if (int(s->page) > range || int(s->page) < 0) s->page = UINT(range);
  if (si->fMask & SIF_POS) s->pos = si->nPos;
  s->pos = std::clamp(s->pos, s->min, std::max(s->min, MaxPos(*s)));
  if (bar != SB_CTL && (si->fMask & (SIF_RANGE | SIF_PAGE))) {
    bool needed = s->max > s->min && int(s->page) <= s->max - s->min;
    if (!needed && (si->fMask & SIF_DISABLENOSCROLL)) {
      s->arrows = ESB_DISABLE_BOTH;
      s->disabledNoScroll = true;
      SetBarVisible(w, bar, true);
    } else {
      // a bar that was disabled for having nothing to scroll comes back to life
      // once it has something, whatever this call's mask
      if (needed && (s->disabledNoScroll ||
                     (s->arrows == ESB_DISABLE_BOTH && (si->fMask & SIF_DISABLENOSCROLL)))) {
        s->arrows = ESB_ENABLE_BOTH;
        s->disabledNoScroll = false;
      }
      SetBarVisible(w, bar, needed);
    }
    if (!(w = W(h))) return 0;
    s = StateOf(w, bar);
  }
  if (redraw) {
    Bar b;
    if (GetBar(w, bar, &b)) RedrawBar(b);
  }
  return s->pos;
}

BOOL GetScrollInfo(HWND h, int bar, SCROLLINFO* si) {
  Wnd* w = W(h);
  ScrollBarState* s = StateOf(w, bar);
  if (!s || !si) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->min;
    si->nMax = s->max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->page;
  if (si->fMask & SIF_POS) si->nPos = s->pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->tracking ? s->trackPos : s->pos;
  return (si->fMask & SIF_ALL) != 0;
}

int SetScrollPos(HWND h, int bar, int pos, BOOL redraw) {
  ScrollBarState* s = StateOf(W(h), bar);
  if (!s) return 0;
  int old = s->pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(h, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND h, int bar) {
  ScrollBarState* s = StateOf(W(h), bar);
  return s ? s->pos : 0;
}

BOOL SetScrollRange(HWND h, int bar, int min, int max, BOOL redraw) {
  if (!StateOf(W(h), bar)) return FALSE;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetScrollInfo(h, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND h, int bar, int* min, int* max) {
  ScrollBarState* s = StateOf(W(h), bar);
  if (!s) return FALSE;
  if (min) *min = s->min;
  if (max) *max = s->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND h, int bar, BOOL show) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  if (bar == SB_CTL) {
    ShowWindow(h, show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  if (bar == SB_VERT || bar == SB_BOTH) SetBarVisible(w, SB_VERT, show != FALSE);
  if ((w = W(h)) && (bar == SB_HORZ || bar == SB_BOTH)) SetBarVisible(w, SB_HORZ, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND h, UINT bar, UINT arrows) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  auto one = [&](int which) {
    ScrollBarState* s = StateOf(w, which);
    if (!s) return;
    s->arrows = arrows;
    s->disabledNoScroll = false;
    Bar b;
    if (GetBar(w, which, &b)) RedrawBar(b);
  };
  if (bar == SB_BOTH) {
    one(SB_VERT);
    one(SB_HORZ);
  } else {
    one(int(bar));
  }
  return TRUE;
}

BOOL GetScrollBarInfo(HWND h, LONG object, SCROLLBARINFO* info) {
  Wnd* w = W(h);
  if (!w || !info) return FALSE;
  int which = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : SB_CTL;
  Bar b;
  RECT wr = ScreenRect(w);
  *info = SCROLLBARINFO();
  if (!GetBar(w, which, &b)) {
    info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return TRUE;
  }
  Layout l = Measure(b, b.st->pos);
  info->rcScrollBar = {b.rect.left + wr.left, b.rect.top + wr.top, b.rect.right + wr.left, b.rect.bottom + wr.top};
  info->dxyLineButton = l.arrow;
  info->xyThumbTop = l.thumbStart;
  info->xyThumbBottom = l.thumbEnd;
  if (!l.thumb) info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
  // the arrows: 1 up or left, 5 down or right
  const bool off = (b.w->style & WS_DISABLED) || b.st->arrows == ESB_DISABLE_BOTH || !l.thumb;
  if (off || (b.st->arrows & ESB_DISABLE_LTUP)) info->rgstate[1] = STATE_SYSTEM_UNAVAILABLE;
  if (off || (b.st->arrows & ESB_DISABLE_RTDN)) info->rgstate[5] = STATE_SYSTEM_UNAVAILABLE;
  return TRUE;
}
