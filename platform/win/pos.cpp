// Window positions and z-order, showing and hiding, coordinate mapping, and the
// movement of activation, focus and capture.
#include <algorithm>
#include "platform/win/wndinternal.h"

namespace pvwin {

static bool IsTopmost(Wnd* w) { return (w->exStyle & WS_EX_TOPMOST) != 0; }

// Places w in its parent's z-order according to `after` (a window handle or HWND_*).
// Returns true when the order changed.
static bool Restack(Wnd* w, HWND after) {
  Wnd* parent = w->parent;
  if (!parent) return false;
  Wnd* oldPrev = w->prev;
  bool top = IsTopLevel(w);
  Wnd* place = nullptr;  // link after this (nullptr: first)
  bool last = false;
  if (after == HWND_TOPMOST) {
    if (top) w->exStyle |= WS_EX_TOPMOST;
    place = nullptr;
  } else if (after == HWND_NOTOPMOST) {
    if (top) w->exStyle &= ~WS_EX_TOPMOST;
    place = nullptr;
    if (top)
      for (Wnd* c = parent->firstChild; c && IsTopmost(c); c = c->next)
        if (c != w) place = c;
  } else if (after == HWND_TOP || after == nullptr) {
    place = nullptr;
    if (top && !IsTopmost(w))
      for (Wnd* c = parent->firstChild; c && IsTopmost(c); c = c->next)
        if (c != w) place = c;
  } else if (after == HWND_BOTTOM) {
    last = true;
    if (top) w->exStyle &= ~WS_EX_TOPMOST;
  } else {
    Wnd* a = W(after);
    if (!a || a->parent != parent || a == w) return false;
    place = a;
    if (top) {
      // a window never goes above the topmost band unless topmost itself
      if (IsTopmost(w) && !IsTopmost(a)) w->exStyle &= ~WS_EX_TOPMOST;
      if (!IsTopmost(w) && IsTopmost(a)) {
        place = nullptr;
        for (Wnd* c = parent->firstChild; c && IsTopmost(c); c = c->next)
          if (c != w) place = c;
      }
    }
  }
  Unlink(w);
  if (last) LinkLast(parent, w);
  else LinkAfter(parent, w, place);
  return w->prev != oldPrev;
}

// Owned windows stay above their owner.
static void RaiseOwned(Wnd* owner) {
  State& s = S();
  std::vector<Wnd*> owned;
  for (Wnd* c = s.desktop->lastChild; c; c = c->prev)
    if (c->owner == owner) owned.push_back(c);
  for (Wnd* o : owned) {
    // move o just above its owner unless already above
    bool above = false;
    for (Wnd* c = owner->prev; c; c = c->prev)
      if (c == o) above = true;
    if (above) continue;
    Unlink(o);
    LinkAfter(s.desktop, o, owner->prev);
  }
}

static void SendMinMax(Wnd* w, MINMAXINFO* mmi) {
  State& s = S();
  RECT work = s.backend ? s.backend->WorkArea() : RECT{0, 0, 1920, 1080};
  RECT parentArea = IsTopLevel(w) ? work : RECT{0, 0, w->parent->client.Width(), w->parent->client.Height()};
  RECT b = NcBorders(w->style, w->exStyle, false, IsTopLevel(w));
  if (IsTopLevel(w)) {
    // the frame goes off the screen; the caption stays
    int f = (w->style & WS_THICKFRAME) ? 4 : (w->style & WS_DLGFRAME) ? 3 : (w->style & WS_BORDER) ? 1 : 0;
    b = {f, f, f, f};
  }
  mmi->ptMaxSize = {parentArea.Width() + b.left + b.right, parentArea.Height() + b.top + b.bottom};
  mmi->ptMaxPosition = {parentArea.left - b.left, parentArea.top - b.top};
  mmi->ptMinTrackSize = {112, 27};
  mmi->ptMaxTrackSize = {work.Width() + 8, work.Height() + 8};
  Send(w->h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(mmi));
}

}  // namespace pvwin

using namespace pvwin;

namespace pvwin {

BOOL SetWindowPosImpl(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
  Wnd* w = W(h);
  State& s = S();
  if (!w || w == s.desktop) return FALSE;
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible) flags &= ~SWP_SHOWWINDOW;
  else flags &= ~SWP_HIDEWINDOW;
  if (flags & SWP_NOSIZE) { cx = w->rect.Width(); cy = w->rect.Height(); }
  if (flags & SWP_NOMOVE) { x = w->rect.left; y = w->rect.top; }
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;
  // asking for the current size or place is asking for no change
  if (cx == w->rect.Width() && cy == w->rect.Height()) flags |= SWP_NOSIZE;
  if (x == w->rect.left && y == w->rect.top) flags |= SWP_NOMOVE;
  bool top = IsTopLevel(w);
  bool childActivate = !top && (w->exStyle & WS_EX_MDICHILD) && !(flags & SWP_NOACTIVATE);
  if (!top || (w->exStyle & WS_EX_NOACTIVATE)) flags |= SWP_NOACTIVATE;
  if (!(flags & SWP_NOZORDER) && after == HWND_TOPMOST && !top) flags |= SWP_NOZORDER;

  WINDOWPOS wp;
  wp.hwnd = h;
  wp.hwndInsertAfter = after;
  wp.x = x;
  wp.y = y;
  wp.cx = cx;
  wp.cy = cy;
  wp.flags = flags;
  if (!(flags & SWP_NOSENDCHANGING)) {
    Send(h, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(w = W(h))) return FALSE;
    flags = wp.flags;
    if (flags & SWP_NOSIZE) { wp.cx = w->rect.Width(); wp.cy = w->rect.Height(); }
    if (flags & SWP_NOMOVE) { wp.x = w->rect.left; wp.y = w->rect.top; }
  }
  RECT oldRect = w->rect, oldClient = w->client;
  RECT newRect{wp.x, wp.y, wp.x + std::max(0, wp.cx), wp.y + std::max(0, wp.cy)};
  bool sizeChanged = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
  RECT newClient;
  if (sizeChanged || (flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS p;
    p.rgrc[0] = newRect;
    p.rgrc[1] = oldRect;
    p.rgrc[2] = oldClient;
    WINDOWPOS copy = wp;
    p.lppos = &copy;
    Send(h, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (!(w = W(h))) return FALSE;
    newClient = p.rgrc[0];
  } else {
    int dx = newRect.left - oldRect.left, dy = newRect.top - oldRect.top;
    newClient = {oldClient.left + dx, oldClient.top + dy, oldClient.right + dx, oldClient.bottom + dy};
  }
  bool clientSized = newClient.Width() != oldClient.Width() || newClient.Height() != oldClient.Height();
  bool clientMoved = newClient.left != oldClient.left || newClient.top != oldClient.top;
  w->rect = newRect;
  w->client = newClient;
  if (!clientSized) flags |= SWP_NOCLIENTSIZE;
  if (!clientMoved) flags |= SWP_NOCLIENTMOVE;
  if (!sizeChanged && !(wp.flags & SWP_NOSIZE)) { /* the size asked for is the current size */ }
  bool restacked = false;
  if (!(flags & SWP_NOZORDER)) {
    restacked = Restack(w, wp.hwndInsertAfter);
    if (top && !(flags & SWP_NOOWNERZORDER)) RaiseOwned(w);
  }
  bool wasVisible = visible;
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) {
    w->style &= ~WS_VISIBLE;
    // a hidden window loses the capture; focus inside it leaves
    if (Wnd* c = W(s.capture); c && IsDescendant(w, c)) ReleaseCaptureImpl(true);
    if (!(w = W(h))) return FALSE;
  }
  if (top) {
    if (sizeChanged || moved) BackendGeometry(w);
    if (restacked) BackendRestack(w);
  }
  if (!(flags & SWP_NOREDRAW) || (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
    InvalidateForGeometry(w, oldRect, oldClient, restacked ? flags : (flags | SWP_NOZORDER), wasVisible);
  if (top && (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) BackendVisibility(w);

  if ((flags & SWP_SHOWWINDOW) && !(flags & SWP_NOACTIVATE)) {
    ActivateWindow(h, WA_ACTIVE, false);
    if (!(w = W(h))) return TRUE;
  }
  if ((w->style & WS_VISIBLE) && top && !(flags & SWP_NOREDRAW) &&
      ((flags & SWP_SHOWWINDOW) || sizeChanged || (flags & SWP_FRAMECHANGED))) {
    PaintWindowNow(h);
    if (!(w = W(h))) return TRUE;
  }
  wp.flags = flags;
  wp.x = w->rect.left;
  wp.y = w->rect.top;
  wp.cx = w->rect.Width();
  wp.cy = w->rect.Height();
  Send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!(w = W(h))) return TRUE;
  if ((flags & SWP_HIDEWINDOW) && top && s.active == h) {
    ActivateOtherWindow(h);
    if (!(w = W(h))) return TRUE;
  }
  if ((flags & SWP_HIDEWINDOW) && !top) {
    if (Wnd* f = W(s.focus); f && IsDescendant(w, f)) {
      if (w->parent) SetFocus(w->parent->h);
      if (!(w = W(h))) return TRUE;
    }
  }
  if (!(flags & (SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_HIDEWINDOW)) && top && s.active != h) {
    ActivateWindow(h, WA_ACTIVE, false);
    if (!(w = W(h))) return TRUE;
  }
  if (childActivate && (w->style & WS_VISIBLE)) {
    Send(h, WM_CHILDACTIVATE);
    if (!(w = W(h))) return TRUE;
  }
  if (w->needSizeMove && (w->style & WS_VISIBLE)) {
    w->needSizeMove = false;
    UINT type = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
    Send(h, WM_SIZE, type, MAKELPARAM(w->client.Width(), w->client.Height()));
    if ((w = W(h))) Send(h, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
  }
  return TRUE;
}

// Top-level windows that may take the activation when `hiding` goes: its owner
// first, then the highest visible, enabled window.
void ActivateOtherWindow(HWND hiding) {
  State& s = S();
  Wnd* w = W(hiding);
  Wnd* next = nullptr;
  if (w && w->owner && (w->owner->style & WS_VISIBLE) && !(w->owner->style & WS_DISABLED) &&
      !(w->owner->exStyle & WS_EX_NOACTIVATE))
    next = w->owner;
  if (!next)
    for (Wnd* c = s.desktop->firstChild; c; c = c->next) {
      if (c == w || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
      if (c->exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) continue;
      next = c;
      break;
    }
  ActivateWindow(next ? next->h : nullptr, WA_ACTIVE, false);
}

static void SendActivateApp(bool active, HWND other) {
  State& s = S();
  std::vector<HWND> tops;
  for (Wnd* c = s.desktop->firstChild; c; c = c->next) tops.push_back(c->h);
  for (HWND t : tops) Send(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
  (void)other;
}

bool ActivateWindow(HWND h, int how, bool moveToTop) {
  State& s = S();
  Wnd* nw = h ? W(h) : nullptr;
  if (h && !nw) return false;
  if (nw && !IsTopLevel(nw)) {
    nw = TopLevelOf(nw);
    h = nw ? nw->h : nullptr;
  }
  HWND old = s.active;
  if (old == h) return true;
  if (nw && (nw->style & WS_DISABLED)) return false;
  if (HooksInstalled(WH_CBT)) {
    CBTACTIVATESTRUCT cbt{how == WA_CLICKACTIVE, old};
    if (CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(&cbt))) return false;
  }
  if (W(old)) {
    Send(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(h));
    if (W(old)) Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(h));
    if (s.active != old) return s.active == h;  // activation moved elsewhere meanwhile
  }
  if (h && !W(h)) return false;
  s.active = h;
  if (h && moveToTop) {
    Wnd* w = W(h);
    Wnd* first = s.desktop->firstChild;
    if (!IsTopmost(w))
      while (first && IsTopmost(first) && first != w) first = first->next;
    if (first != w) SetWindowPosImpl(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (s.active != h) return false;
  }
  if (!s.appActive && h) {
    s.appActive = true;
    SendActivateApp(true, old);
  } else if (s.appActive && !h) {
    s.appActive = false;
    SendActivateApp(false, nullptr);
  }
  if (!h) {
    if (s.focus) SetFocus(nullptr);
    return true;
  }
  if (!W(h) || s.active != h) return false;
  Send(h, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
  if (!W(h) || s.active != h) return false;
  Send(h, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(h) ? 1 : 0), reinterpret_cast<LPARAM>(old));
  if (!W(h) || s.active != h) return false;
  // focus left behind in another top-level window goes
  if (Wnd* f = W(s.focus); f && TopLevelOf(f) != W(h)) SetFocus(nullptr);
  return true;
}

void ReleaseCaptureImpl(bool notify) {
  State& s = S();
  HWND old = s.capture;
  if (!old) return;
  s.capture = nullptr;
  if (s.backend) s.backend->CaptureMouse(0);
  if (notify && W(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
}

}  // namespace pvwin

BOOL SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
  return SetWindowPosImpl(h, after, x, y, cx, cy, flags);
}

BOOL MoveWindow(HWND h, int x, int y, int w, int hgt, BOOL repaint) {
  return SetWindowPosImpl(h, nullptr, x, y, w, hgt, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND h) { return SetWindowPosImpl(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

// Owned pop-ups hide while their owner is minimised and come back with it; their
// default procedure does it on WM_SHOWWINDOW, so a window may refuse.
static void TellOwnedPopups(HWND owner, bool opening) {
  std::vector<HWND> owned;
  Wnd* o = W(owner);
  if (!o) return;
  for (Wnd* c = S().desktop->firstChild; c; c = c->next)
    if (c->owner == o && (opening ? c->hiddenByOwner : (c->style & WS_VISIBLE) != 0)) owned.push_back(c->h);
  for (HWND h : owned) Send(h, WM_SHOWWINDOW, opening ? TRUE : FALSE, opening ? SW_PARENTOPENING : SW_PARENTCLOSING);
}

static void SaveNormal(Wnd* w) {
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    w->normalRect = w->rect;
    w->hasNormalRect = true;
  }
}

BOOL ShowWindow(HWND h, int cmd) {
  Wnd* w = W(h);
  State& s = S();
  if (!w || w == s.desktop) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool top = IsTopLevel(w);
  UINT swp = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      Send(h, WM_SHOWWINDOW, FALSE, 0);
      if (!W(h)) return TRUE;
      SetWindowPosImpl(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | swp | (top && s.active != h ? SWP_NOACTIVATE : 0) | (top ? 0 : SWP_NOACTIVATE));
      return TRUE;
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
      if ((cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_SHOWDEFAULT || cmd == SW_SHOWNOACTIVATE) &&
          (w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        bool wasIconic = (w->style & WS_MINIMIZE) != 0;
        if (wasIconic && w->restoreMaximized && cmd == SW_RESTORE) {
          // minimised from maximised: restoring maximises it again
          w->restoreMaximized = false;
          MINMAXINFO mmi;
          SendMinMax(w, &mmi);
          if (!(w = W(h))) return FALSE;
          w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
          if (!wasVisible) {
            Send(h, WM_SHOWWINDOW, TRUE, 0);
            if (!(w = W(h))) return FALSE;
          }
          SetWindowPosImpl(h, nullptr, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxSize.x, mmi.ptMaxSize.y,
                           SWP_NOZORDER | SWP_FRAMECHANGED | SWP_STATECHANGED | (wasVisible ? 0 : SWP_SHOWWINDOW));
          TellOwnedPopups(h, true);
          return wasVisible;
        }
        // restore the normal position
        RECT r = w->hasNormalRect ? w->normalRect : w->rect;
        w->restoreMaximized = false;
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        if (!wasVisible) {
          Send(h, WM_SHOWWINDOW, TRUE, 0);
          if (!(w = W(h))) return FALSE;
        }
        SetWindowPosImpl(h, nullptr, r.left, r.top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_FRAMECHANGED | SWP_STATECHANGED | (wasVisible ? 0 : SWP_SHOWWINDOW) |
                             (cmd == SW_SHOWNOACTIVATE ? SWP_NOACTIVATE : 0));
        if (top && wasIconic) TellOwnedPopups(h, true);
        return wasVisible;
      }
      if (wasVisible) {
        if (top && (cmd == SW_SHOW || cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_SHOWDEFAULT) && s.active != h &&
            !(w->exStyle & WS_EX_NOACTIVATE))
          ActivateWindow(h, WA_ACTIVE, true);
        return TRUE;
      }
      Send(h, WM_SHOWWINDOW, TRUE, 0);
      if (!W(h)) return FALSE;
      SetWindowPosImpl(h, nullptr, 0, 0, 0, 0,
                       SWP_SHOWWINDOW | swp | ((cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE) ? SWP_NOACTIVATE : 0));
      return FALSE;
    case SW_SHOWMAXIMIZED: {
      if (w->style & WS_MAXIMIZE) {
        if (!wasVisible) return ShowWindow(h, SW_SHOW);
        return TRUE;
      }
      SaveNormal(w);
      MINMAXINFO mmi;
      SendMinMax(w, &mmi);
      if (!(w = W(h))) return FALSE;
      w->restoreMaximized = false;
      w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
      if (!wasVisible) {
        Send(h, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = W(h))) return FALSE;
      }
      SetWindowPosImpl(h, nullptr, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxSize.x, mmi.ptMaxSize.y,
                       SWP_FRAMECHANGED | SWP_STATECHANGED | (wasVisible ? 0 : SWP_SHOWWINDOW) | (top ? 0 : SWP_NOZORDER));
      return wasVisible;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
      if (w->style & WS_MINIMIZE) {
        if (!wasVisible && cmd != SW_MINIMIZE) return ShowWindow(h, SW_SHOWNA);
        return wasVisible;
      }
      SaveNormal(w);
      w->restoreMaximized = top && (w->style & WS_MAXIMIZE);
      w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
      int mw = 160, mh = 24;  // a minimised window keeps a small caption-sized rectangle
      RECT r = w->rect;
      if (top) r = {-32000, -32000, -32000 + mw, -32000 + mh};
      else r = {0, w->parent->client.Height() - mh, mw, w->parent->client.Height()};
      if (!wasVisible) {
        Send(h, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = W(h))) return FALSE;
      }
      UINT f = SWP_NOZORDER | SWP_FRAMECHANGED | SWP_STATECHANGED | (wasVisible ? 0 : SWP_SHOWWINDOW);
      // an MDI child that is sized hears of it (WM_CHILDACTIVATE), minimized too
      if (cmd != SW_SHOWMINIMIZED && (top || !(w->exStyle & WS_EX_MDICHILD))) f |= SWP_NOACTIVATE;
      SetWindowPosImpl(h, nullptr, r.left, r.top, r.Width(), r.Height(), f);
      if (top) TellOwnedPopups(h, false);
      // a minimised active window gives up the activation
      if (top && s.active == h && cmd != SW_SHOWMINIMIZED) ActivateOtherWindow(h);
      return wasVisible;
    }
  }
  return wasVisible;
}

BOOL ShowOwnedPopups(HWND h, BOOL show) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  std::vector<HWND> owned;
  for (Wnd* c = S().desktop->firstChild; c; c = c->next)
    if (c->owner == w) owned.push_back(c->h);
  for (HWND o : owned) ShowWindow(o, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  return TRUE;
}

BOOL GetWindowRect(HWND h, RECT* r) {
  Wnd* w = W(h);
  if (!w || !r) return FALSE;
  *r = ScreenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND h, RECT* r) {
  Wnd* w = W(h);
  if (!w || !r) return FALSE;
  *r = {0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND h, POINT* p) {
  Wnd* w = W(h);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x += o.x;
  p->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND h, POINT* p) {
  Wnd* w = W(h);
  if (!w || !p) return FALSE;
  POINT o = ClientOrigin(w);
  p->x -= o.x;
  p->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count) {
  Wnd* f = from ? W(from) : nullptr;
  Wnd* t = to ? W(to) : nullptr;
  if ((from && !f) || (to && !t)) return 0;
  POINT a = f ? ClientOrigin(f) : POINT{0, 0};
  POINT b = t ? ClientOrigin(t) : POINT{0, 0};
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) {
    pts[i].x += dx;
    pts[i].y += dy;
  }
  return MAKELONG(WORD(dx), WORD(dy));
}

HWND ChildWindowFromPointEx(HWND parent, POINT p, UINT flags) {
  Wnd* w = W(parent);
  if (!w) return nullptr;
  RECT cr{0, 0, w->client.Width(), w->client.Height()};
  if (p.x < cr.left || p.x >= cr.right || p.y < cr.top || p.y >= cr.bottom) return nullptr;
  for (Wnd* c = w->firstChild; c; c = c->next) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (p.x >= c->rect.left && p.x < c->rect.right && p.y >= c->rect.top && p.y < c->rect.bottom) {
      if (c->windowRgn && !PtInRegion(c->windowRgn, p.x - c->rect.left, p.y - c->rect.top)) continue;
      return c->h;
    }
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT p) { return ChildWindowFromPointEx(parent, p, CWP_ALL); }
HWND RealChildWindowFromPoint(HWND parent, POINT p) {
  return ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE);
}

HWND WindowFromPoint(POINT p) {
  State& s = S();
  GetDesktopWindow();
  for (Wnd* c = s.desktop->firstChild; c; c = c->next) {
    if (!(c->style & WS_VISIBLE)) continue;
    if (p.x < c->rect.left || p.x >= c->rect.right || p.y < c->rect.top || p.y >= c->rect.bottom) continue;
    if (c->windowRgn && !PtInRegion(c->windowRgn, p.x - c->rect.left, p.y - c->rect.top)) continue;
    if ((c->exStyle & WS_EX_LAYERED) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    Wnd* w = c;
    for (;;) {
      POINT o = ClientOrigin(w);
      Wnd* found = nullptr;
      for (Wnd* k = w->firstChild; k; k = k->next) {
        if (!(k->style & WS_VISIBLE) || (k->style & WS_DISABLED)) continue;
        int x = p.x - o.x, y = p.y - o.y;
        if (x < k->rect.left || x >= k->rect.right || y < k->rect.top || y >= k->rect.bottom) continue;
        if (k->windowRgn && !PtInRegion(k->windowRgn, x - k->rect.left, y - k->rect.top)) continue;
        found = k;
        break;
      }
      RECT cr = ScreenClient(w);
      if (!found || p.x < cr.left || p.x >= cr.right || p.y < cr.top || p.y >= cr.bottom) break;
      w = found;
    }
    HWND h = w->h;
    while (Wnd* cw = W(h)) {
      if (Send(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) != HTTRANSPARENT || !(cw->style & WS_CHILD)) break;
      if (!(cw = W(h)) || !cw->parent) break;
      h = cw->parent->h;
    }
    return h;
  }
  return nullptr;
}

BOOL GetWindowPlacement(HWND h, WINDOWPLACEMENT* wp) {
  Wnd* w = W(h);
  if (!w || !wp) return FALSE;
  wp->flags = 0;
  wp->showCmd = (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
               : (w->style & WS_VISIBLE) ? SW_SHOWNORMAL : SW_HIDE;
  wp->rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) && w->hasNormalRect ? w->normalRect : w->rect;
  wp->ptMinPosition = {-1, -1};
  wp->ptMaxPosition = {-1, -1};
  return TRUE;
}

BOOL SetWindowPlacement(HWND h, const WINDOWPLACEMENT* wp) {
  Wnd* w = W(h);
  if (!w || !wp) return FALSE;
  RECT r = wp->rcNormalPosition;
  if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    w->normalRect = r;
    w->hasNormalRect = true;
  } else {
    SetWindowPosImpl(h, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(h, int(wp->showCmd));
  return TRUE;
}

namespace {
struct DeferList {
  std::vector<WINDOWPOS> items;
};
}  // namespace

HDWP BeginDeferWindowPos(int n) {
  auto* d = new DeferList();
  d->items.reserve(std::size_t(std::max(n, 0)));
  return d;
}

HDWP DeferWindowPos(HDWP dwp, HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
  if (!dwp) return nullptr;
  auto* d = static_cast<DeferList*>(dwp);
  WINDOWPOS wp;
  wp.hwnd = h;
  wp.hwndInsertAfter = after;
  wp.x = x;
  wp.y = y;
  wp.cx = cx;
  wp.cy = cy;
  wp.flags = flags;
  d->items.push_back(wp);
  return dwp;
}

BOOL EndDeferWindowPos(HDWP dwp) {
  if (!dwp) return FALSE;
  auto* d = static_cast<DeferList*>(dwp);
  for (const WINDOWPOS& wp : d->items)
    SetWindowPosImpl(wp.hwnd, wp.hwndInsertAfter, wp.x, wp.y, wp.cx, wp.cy, wp.flags);
  delete d;
  return TRUE;
}

// ---------------------------------------------------------------------------
// focus, activation, capture

HWND SetFocus(HWND h) {
  State& s = S();
  HWND old = s.focus;
  if (h == old) return old;
  Wnd* w = h ? W(h) : nullptr;
  if (h && !w) return nullptr;
  if (w) {
    if (w->style & WS_DISABLED) return nullptr;
    // a window inside a minimised or disabled ancestor cannot take the focus
    for (Wnd* p = w; p && p != s.desktop; p = p->parent)
      if (p != w && (p->style & (WS_DISABLED | WS_MINIMIZE)) && (p->style & WS_CHILD)) return nullptr;
    if (HooksInstalled(WH_CBT) &&
        CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(old)))
      return nullptr;
    Wnd* top = TopLevelOf(w);
    if (top && top->h != s.active) {
      if (!ActivateWindow(top->h, WA_ACTIVE, true)) return nullptr;
      if (!(w = W(h))) return nullptr;
      if (s.focus == h) return old;
      old = s.focus;
    }
  }
  if (W(old)) {
    Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
    if (s.focus != old) return W(old) ? old : nullptr;  // the focus moved during WM_KILLFOCUS
    if (h && !W(h)) {
      s.focus = nullptr;
      return old;
    }
  }
  s.focus = h;
  if (w) {
    if (Wnd* top = TopLevelOf(w)) top->lastFocus = h;
    Send(h, WM_SETFOCUS, reinterpret_cast<WPARAM>(W(old) ? old : nullptr), 0);
  }
  return W(old) ? old : nullptr;
}

HWND GetFocus() { return S().focus; }

HWND SetActiveWindow(HWND h) {
  State& s = S();
  HWND old = s.active;
  Wnd* w = W(h);
  if (h && !w) return nullptr;
  if (w && !IsTopLevel(w)) return nullptr;
  ActivateWindow(h, WA_ACTIVE, true);
  return old;
}

HWND GetActiveWindow() { return S().active; }
BOOL SetForegroundWindow(HWND h) {
  Wnd* w = W(h);
  if (!w) return FALSE;
  Wnd* top = TopLevelOf(w);
  return top && ActivateWindow(top->h, WA_ACTIVE, true) ? TRUE : FALSE;
}
HWND GetForegroundWindow() { return S().active; }

HWND SetCapture(HWND h) {
  State& s = S();
  HWND old = s.capture;
  if (!W(h)) return nullptr;
  if (old == h) return old;
  s.capture = h;
  if (Wnd* top = TopLevelOf(W(h)); s.backend && top) s.backend->CaptureMouse(reinterpret_cast<BackendWindowId>(top->h));
  if (W(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(h));
  return W(old) ? old : nullptr;
}

BOOL ReleaseCapture() {
  ReleaseCaptureImpl(true);
  return TRUE;
}

HWND GetCapture() { return S().capture; }
