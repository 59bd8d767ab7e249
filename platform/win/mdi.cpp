// The multiple-document interface: the MDICLIENT class, child activation,
// maximised children whose caption merges into the frame, tiling, cascading
// and the default frame and child procedures.
#include <algorithm>
#include <cmath>
#include <map>
#include "platform/win/wndinternal.h"

namespace pvwin {

namespace {

struct MdiClient {
  HWND frame = nullptr;
  HWND active = nullptr;
  HMENU windowMenu = nullptr;
  UINT idFirst = 0;
  bool maximized = false;  // the active child is maximised
  std::string frameTitle;  // the frame's own title while a child is maximised
  bool titleMerged = false;
  UINT nextId = 0;
};

std::map<HWND, MdiClient>& Clients() {
  static std::map<HWND, MdiClient> m;
  return m;
}

MdiClient* ClientInfo(HWND client) {
  auto it = Clients().find(client);
  return it == Clients().end() ? nullptr : &it->second;
}

HWND ClientOf(HWND child) {
  Wnd* w = W(child);
  if (!w || !(w->exStyle & WS_EX_MDICHILD) || !w->parent) return nullptr;
  return ClientInfo(w->parent->h) ? w->parent->h : nullptr;
}

constexpr int Spacing() { return 19 + 4 - 1; }  // caption plus frame, less the shared line

std::vector<HWND> Children(HWND client, bool skipMinimized, bool skipDisabled) {
  std::vector<HWND> r;
  Wnd* c = W(client);
  if (!c) return r;
  for (Wnd* k = c->firstChild; k; k = k->next) {
    if (!(k->style & WS_VISIBLE)) continue;
    if (skipMinimized && (k->style & WS_MINIMIZE)) continue;
    if (skipDisabled && (k->style & WS_DISABLED)) continue;
    r.push_back(k->h);
  }
  return r;
}

void UpdateFrameTitle(MdiClient& mc) {
  Wnd* frame = W(mc.frame);
  if (!frame) return;
  Wnd* child = W(mc.active);
  std::string title;
  if (mc.maximized && child) {
    if (!mc.titleMerged) mc.frameTitle = frame->text;
    mc.titleMerged = true;
    title = mc.frameTitle + " - [" + child->text + "]";
  } else if (mc.titleMerged) {
    mc.titleMerged = false;
    title = mc.frameTitle;
  } else {
    return;
  }
  DefWindowProcA(mc.frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

RECT MaximizedRect(HWND client, Wnd* child) {
  Wnd* c = W(client);
  RECT b = NcBorders(child->style, child->exStyle, false, false);
  return {-b.left, -b.top, c->client.Width() + b.right, c->client.Height() + b.bottom};
}

void Maximize(HWND client, HWND child) {
  MdiClient* mc = ClientInfo(client);
  Wnd* w = W(child);
  if (!mc || !w) return;
  ShowWindow(child, SW_SHOWMAXIMIZED);
  if (!(mc = ClientInfo(client))) return;
  mc->maximized = true;
  UpdateFrameTitle(*mc);
}

void Restore(HWND client, HWND child) {
  MdiClient* mc = ClientInfo(client);
  if (!mc || !W(child)) return;
  ShowWindow(child, SW_RESTORE);
  if (!(mc = ClientInfo(client))) return;
  if (child == mc->active) {
    mc->maximized = false;
    UpdateFrameTitle(*mc);
  }
}

void Activate(HWND client, HWND child) {
  MdiClient* mc = ClientInfo(client);
  if (!mc) return;
  HWND old = mc->active;
  if (old == child) return;
  if (child && (!W(child) || (W(child)->style & WS_DISABLED))) return;
  bool wasMax = mc->maximized && W(old);
  if (W(old)) {
    Send(old, WM_NCACTIVATE, FALSE, 0);
    if (!(mc = ClientInfo(client))) return;
    Send(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    if (!(mc = ClientInfo(client))) return;
  }
  mc->active = child;
  if (!child) {
    mc->maximized = false;
    UpdateFrameTitle(*mc);
    return;
  }
  SetWindowPosImpl(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (wasMax && W(child)) {
    // the maximised state passes to the new active child
    Maximize(client, child);
    if (W(old) && (W(old)->style & WS_MAXIMIZE)) ShowWindow(old, SW_SHOWNOACTIVATE);
    if (!(mc = ClientInfo(client))) return;
    mc->maximized = true;
    UpdateFrameTitle(*mc);
  }
  if (!W(child)) return;
  Send(child, WM_NCACTIVATE, TRUE, 0);
  if (!W(child)) return;
  Send(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  if (!W(child) || !(mc = ClientInfo(client))) return;
  Wnd* frame = W(mc->frame);
  if (frame && GetActiveWindow() == mc->frame) {
    Wnd* f = W(GetFocus());
    if (!f || !IsDescendant(W(child), f)) SetFocus(child);
  }
}

HWND NextChild(HWND client, HWND from, bool prev) {
  std::vector<HWND> kids = Children(client, false, true);
  if (kids.size() < 2) return nullptr;
  if (prev) return kids.back() == from ? kids[kids.size() - 2] : kids.back();
  auto it = std::find(kids.begin(), kids.end(), from);
  if (it == kids.end() || it + 1 == kids.end()) return kids.front() == from ? nullptr : kids.front();
  return *(it + 1);
}

void Cascade(HWND client, UINT how) {
  Wnd* c = W(client);
  if (!c) return;
  MdiClient* mc = ClientInfo(client);
  if (mc && mc->maximized && W(mc->active)) Restore(client, mc->active);
  std::vector<HWND> kids = Children(client, true, (how & MDITILE_SKIPDISABLED) != 0);
  std::reverse(kids.begin(), kids.end());  // the bottom one first: the active one ends on top, last
  int width = c->client.Width(), height = c->client.Height();
  int spacing = Spacing();
  int stagger = std::max(1, height / (3 * spacing));
  int cx = std::max(1, width - stagger * spacing), cy = std::max(1, height - stagger * spacing);
  int n = 0;
  for (HWND k : kids) {
    int off = spacing * (n % (stagger + 1));
    SetWindowPosImpl(k, nullptr, off, off, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ++n;
  }
}

void Tile(HWND client, UINT how) {
  Wnd* c = W(client);
  if (!c) return;
  MdiClient* mc = ClientInfo(client);
  if (mc && mc->maximized && W(mc->active)) Restore(client, mc->active);
  std::vector<HWND> kids = Children(client, true, (how & MDITILE_SKIPDISABLED) != 0);
  int n = int(kids.size());
  if (!n) return;
  int width = c->client.Width(), height = c->client.Height();
  // a grid: `lines` lines of windows across the tiling direction; the later lines
  // take the windows left over, so the grid covers the area completely
  bool horizontal = (how & MDITILE_HORIZONTAL) != 0;
  int lines = int(std::sqrt(double(n)));
  if (lines < 1) lines = 1;
  int per = n / lines, extra = n % lines;
  int index = 0;
  for (int line = 0; line < lines; ++line) {
    int count = per + (line >= lines - extra ? 1 : 0);
    for (int j = 0; j < count; ++j, ++index) {
      RECT r;
      if (!horizontal) {
        // vertical tiling: windows side by side, `lines` rows
        int rowTop = height * line / lines, rowBottom = height * (line + 1) / lines;
        (void)rowTop;
        r = {width * j / count, height * line / lines, width * (j + 1) / count, rowBottom};
      } else {
        int colLeft = width * line / lines, colRight = width * (line + 1) / lines;
        r = {colLeft, height * j / count, colRight, height * (j + 1) / count};
      }
      SetWindowPosImpl(kids[std::size_t(index)], nullptr, r.left, r.top, r.Width(), r.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void ArrangeIcons(HWND client) {
  Wnd* c = W(client);
  if (!c) return;
  int x = 0, y = c->client.Height() - 24;
  for (Wnd* k = c->lastChild; k; k = k->prev) {
    if (!(k->style & WS_MINIMIZE) || !(k->style & WS_VISIBLE)) continue;
    if (x + 160 > c->client.Width() && x > 0) {
      x = 0;
      y -= 24;
    }
    SetWindowPosImpl(k->h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    x += 160;
  }
}

}  // namespace

bool MdiChildIsActive(Wnd* w) {
  HWND client = ClientOf(w->h);
  MdiClient* mc = ClientInfo(client);
  return mc && mc->active == w->h;
}

// Default place of a new child: the next cascade step.
void MdiDefaultPosition(HWND client, int* x, int* y, int* cx, int* cy) {
  Wnd* c = W(client);
  MdiClient* mc = ClientInfo(client);
  if (!c || !mc) return;
  int spacing = Spacing();
  int height = c->client.Height(), width = c->client.Width();
  int stagger = std::max(1, height / (3 * spacing));
  int n = int(Children(client, false, false).size());
  if (*x == CW_USEDEFAULT) *x = *y = spacing * (n % (stagger + 1));
  if (*cx == CW_USEDEFAULT) {
    *cx = std::max(1, width - stagger * spacing);
    *cy = std::max(1, height - stagger * spacing);
  }
}

bool IsMdiClient(HWND h) { return ClientInfo(h) != nullptr; }

// After CreateWindowEx made an MDI child: give it its id, activate it and carry
// the maximised state over.
void MdiChildCreated(HWND child) {
  HWND client = ClientOf(child);
  MdiClient* mc = ClientInfo(client);
  if (!mc) return;
  Wnd* w = W(child);
  w->id = LONG_PTR(mc->idFirst + mc->nextId++);
  bool max = mc->maximized && W(mc->active);
  if (!(w->style & WS_VISIBLE)) return;
  Activate(client, child);
  if (max && W(child) && !(W(child)->style & WS_MAXIMIZE)) Maximize(client, child);
}

LRESULT MdiClientProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      MdiClient mc;
      Wnd* w = W(h);
      mc.frame = w && w->parent ? w->parent->h : nullptr;
      if (cs && cs->lpCreateParams) {
        auto* ccs = static_cast<CLIENTCREATESTRUCT*>(cs->lpCreateParams);
        mc.windowMenu = ccs->hWindowMenu;
        mc.idFirst = ccs->idFirstChild;
      }
      Clients()[h] = mc;
      return 0;
    }
    case WM_NCDESTROY:
      Clients().erase(h);
      return DefWindowProcA(h, m, wp, lp);
    case WM_MDICREATE: {
      auto* mcs = reinterpret_cast<MDICREATESTRUCTA*>(lp);
      if (!mcs) return 0;
      return reinterpret_cast<LRESULT>(CreateWindowExA(WS_EX_MDICHILD, mcs->szClass, mcs->szTitle,
                                                       mcs->style | WS_VISIBLE, mcs->x, mcs->y, mcs->cx, mcs->cy, h,
                                                       nullptr, mcs->hOwner, reinterpret_cast<void*>(mcs->lParam)));
    }
    case WM_MDIDESTROY: {
      HWND child = reinterpret_cast<HWND>(wp);
      MdiClient* mc = ClientInfo(h);
      if (!mc || ClientOf(child) != h) return 0;
      if (mc->active == child) {
        bool max = mc->maximized;
        HWND next = NextChild(h, child, false);
        if (next) {
          Activate(h, next);
        } else {
          Activate(h, nullptr);
        }
        if ((mc = ClientInfo(h)) && max && W(next)) Maximize(h, next);
      }
      DestroyWindow(child);
      return 0;
    }
    case WM_MDIACTIVATE:
      if (ClientOf(reinterpret_cast<HWND>(wp)) == h) Activate(h, reinterpret_cast<HWND>(wp));
      return 0;
    case WM_MDIGETACTIVE: {
      MdiClient* mc = ClientInfo(h);
      if (lp) *reinterpret_cast<BOOL*>(lp) = mc && mc->maximized;
      return mc ? reinterpret_cast<LRESULT>(mc->active) : 0;
    }
    case WM_MDINEXT: {
      MdiClient* mc = ClientInfo(h);
      if (!mc) return 0;
      HWND from = wp ? reinterpret_cast<HWND>(wp) : mc->active;
      HWND next = NextChild(h, from, lp != 0);
      if (!next) return 0;
      Activate(h, next);
      if (!lp && W(from)) SetWindowPosImpl(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return 0;
    }
    case WM_MDIMAXIMIZE:
      if (ClientOf(reinterpret_cast<HWND>(wp)) == h) {
        Activate(h, reinterpret_cast<HWND>(wp));
        Maximize(h, reinterpret_cast<HWND>(wp));
      }
      return 0;
    case WM_MDIRESTORE:
      if (ClientOf(reinterpret_cast<HWND>(wp)) == h) Restore(h, reinterpret_cast<HWND>(wp));
      return 0;
    case WM_MDITILE:
      Tile(h, UINT(wp));
      return TRUE;
    case WM_MDICASCADE:
      Cascade(h, UINT(wp));
      return TRUE;
    case WM_MDIICONARRANGE:
      ArrangeIcons(h);
      return 0;
    case WM_MDISETMENU: {
      MdiClient* mc = ClientInfo(h);
      if (!mc) return 0;
      HMENU old = GetMenu(mc->frame);
      if (wp) SetMenu(mc->frame, reinterpret_cast<HMENU>(wp));
      if (lp) mc->windowMenu = reinterpret_cast<HMENU>(lp);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_MDIREFRESHMENU:
      return 0;
    case WM_SETFOCUS: {
      MdiClient* mc = ClientInfo(h);
      if (mc && W(mc->active)) SetFocus(mc->active);
      return 0;
    }
    case WM_SIZE: {
      MdiClient* mc = ClientInfo(h);
      if (mc && mc->maximized && W(mc->active)) {
        RECT r = MaximizedRect(h, W(mc->active));
        SetWindowPosImpl(mc->active, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
  }
  return DefWindowProcA(h, m, wp, lp);
}

}  // namespace pvwin

using namespace pvwin;

LRESULT DefFrameProcA(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp) {
  MdiClient* mc = ClientInfo(client);
  switch (msg) {
    case WM_COMMAND:
      if (mc && LOWORD(wp) >= mc->idFirst && LOWORD(wp) < mc->idFirst + mc->nextId) {
        if (Wnd* c = W(client))
          for (Wnd* k = c->firstChild; k; k = k->next)
            if (k->id == LONG_PTR(LOWORD(wp))) {
              Activate(client, k->h);
              break;
            }
        return 0;
      }
      break;
    case WM_SIZE:
      if (W(client)) MoveWindow(client, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (W(client)) SetFocus(client);
      return 0;
    case WM_SETTEXT:
      if (mc && mc->titleMerged) {
        mc->frameTitle = lp ? reinterpret_cast<const char*>(lp) : "";
        mc->titleMerged = false;
        UpdateFrameTitle(*mc);
        return TRUE;
      }
      break;
  }
  return DefWindowProcA(frame, msg, wp, lp);
}

LRESULT DefMDIChildProcA(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  HWND client = ClientOf(h);
  MdiClient* mc = ClientInfo(client);
  if (!mc) return DefWindowProcA(h, msg, wp, lp);
  switch (msg) {
    case WM_SETFOCUS:
      if (mc->active != h) Activate(client, h);
      break;
    case WM_CHILDACTIVATE:
      Activate(client, h);
      return 0;
    case WM_MOUSEACTIVATE: {
      LRESULT r = DefWindowProcA(h, msg, wp, lp);
      if ((mc = ClientInfo(client)) && mc->active != h) Activate(client, h);
      return r;
    }
    case WM_CLOSE:
      SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
      return 0;
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_MAXIMIZE: SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(h), 0); return 0;
        case SC_RESTORE:
          if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
          else SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
          return 0;
        case SC_NEXTWINDOW: SendMessageA(client, WM_MDINEXT, 0, 0); return 0;
        case SC_PREVWINDOW: SendMessageA(client, WM_MDINEXT, 0, 1); return 0;
      }
      break;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      Wnd* w = W(h);
      RECT r = MaximizedRect(client, w);
      mmi->ptMaxPosition = {r.left, r.top};
      mmi->ptMaxSize = {r.Width(), r.Height()};
      mmi->ptMaxTrackSize = {std::max<LONG>(mmi->ptMaxTrackSize.x, r.Width()), std::max<LONG>(mmi->ptMaxTrackSize.y, r.Height())};
      return 0;
    }
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(h, msg, wp, lp);
      if ((mc = ClientInfo(client)) && mc->maximized && mc->active == h) UpdateFrameTitle(*mc);
      return r;
    }
    case WM_SIZE:
      if ((wp == SIZE_RESTORED || wp == SIZE_MINIMIZED) && mc->active == h && mc->maximized) {
        mc->maximized = false;
        UpdateFrameTitle(*mc);
      } else if (wp == SIZE_MAXIMIZED && mc->active == h && !mc->maximized) {
        // maximized by ShowWindow rather than through the client: the client keeps it sized all the same
        mc->maximized = true;
        UpdateFrameTitle(*mc);
      }
      break;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

HWND CreateMDIWindowA(LPCSTR cls, LPCSTR title, DWORD style, int x, int y, int w, int h, HWND client,
                      HINSTANCE inst, LPARAM l) {
  return CreateWindowExA(WS_EX_MDICHILD, cls, title, style, x, y, w, h, client, nullptr, inst,
                         reinterpret_cast<void*>(l));
}

BOOL TranslateMDISysAccel(HWND client, MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  MdiClient* mc = ClientInfo(client);
  if (!mc || !W(mc->active) || !(GetKeyState(VK_CONTROL) & 0x8000)) return FALSE;
  if (msg->wParam == VK_F4) {
    SendMessageA(mc->active, WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
  }
  if (msg->wParam == VK_F6 || msg->wParam == VK_TAB) {
    SendMessageA(mc->active, WM_SYSCOMMAND, (GetKeyState(VK_SHIFT) & 0x8000) ? SC_PREVWINDOW : SC_NEXTWINDOW, 0);
    return TRUE;
  }
  return FALSE;
}

WORD TileWindows(HWND parent, UINT how, const RECT*, UINT, const HWND*) {
  Tile(parent ? parent : GetDesktopWindow(), how);
  return 1;
}

WORD CascadeWindows(HWND parent, UINT how, const RECT*, UINT, const HWND*) {
  Cascade(parent ? parent : GetDesktopWindow(), how);
  return 1;
}

UINT ArrangeIconicWindows(HWND parent) {
  ArrangeIcons(parent);
  return 24;
}
