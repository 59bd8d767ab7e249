// Messages: the send path, the posted queue, hooks, timers, and the conversion of
// raw input into keyboard and mouse messages when they are retrieved.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include "platform/win/wndinternal.h"

namespace pvwin {

DWORD Now() {
  State& s = S();
  if (s.backend) return s.backend->Now();
  static const auto start = std::chrono::steady_clock::now();
  return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// ---------------------------------------------------------------------------
// hooks

bool HooksInstalled(int type) {
  int i = type + 1;
  return i >= 0 && i < 16 && !S().hooks[i].empty();
}

static LRESULT CallHookFrom(int type, std::size_t from, int code, WPARAM w, LPARAM l, bool* called) {
  State& s = S();
  auto& chain = s.hooks[type + 1];
  for (std::size_t i = from; i < chain.size(); ++i) {
    Hook* hk = chain[i];
    if (hk->removed) continue;
    if (called) *called = true;
    ++s.hookCallDepth;
    LRESULT r;
    try {
      r = hk->proc(code, w, l);
    } catch (...) {
      --s.hookCallDepth;
      throw;
    }
    --s.hookCallDepth;
    return r;
  }
  return 0;
}

static void PurgeRemovedHooks() {
  State& s = S();
  if (s.hookCallDepth || !s.hooksRemoved) return;
  s.hooksRemoved = false;
  for (auto& chain : s.hooks) {
    for (auto it = chain.begin(); it != chain.end();) {
      if ((*it)->removed) {
        delete *it;
        it = chain.erase(it);
      } else {
        ++it;
      }
    }
  }
}

LRESULT CallHooks(int type, int code, WPARAM w, LPARAM l) {
  LRESULT r = CallHookFrom(type, 0, code, w, l, nullptr);
  PurgeRemovedHooks();
  return r;
}

// ---------------------------------------------------------------------------
// queue helpers

void PostMsg(HWND h, UINT m, WPARAM w, LPARAM l) {
  State& s = S();
  MSG msg;
  msg.hwnd = h;
  msg.message = m;
  msg.wParam = w;
  msg.lParam = l;
  msg.time = Now();
  msg.pt = s.cursor;
  s.posted.push_back(msg);
}

void PurgeQueueOf(HWND h) {
  State& s = S();
  auto gone = [h](const MSG& m) { return m.hwnd == h; };
  s.posted.erase(std::remove_if(s.posted.begin(), s.posted.end(), gone), s.posted.end());
  s.cooked.erase(std::remove_if(s.cooked.begin(), s.cooked.end(), gone), s.cooked.end());
}

static bool MatchesFilter(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (filter == HwndFromValue(-1)) {
    if (m.hwnd) return false;
  } else if (filter && m.hwnd != filter) {
    if (!IsChild(filter, m.hwnd)) return false;
  }
  if (lo == 0 && hi == 0) return true;
  if (m.message == WM_QUIT) return true;
  return m.message >= lo && m.message <= hi;
}

// ---------------------------------------------------------------------------
// timers

void RemoveTimersOf(HWND h) {
  auto& t = S().timers;
  t.erase(std::remove_if(t.begin(), t.end(), [h](const Timer& x) { return x.hwnd == h; }), t.end());
}

static Timer* DueTimer(HWND filter, DWORD now) {
  Timer* best = nullptr;
  for (Timer& t : S().timers) {
    if (t.system) continue;
    if (DWORD(now - t.due) >= 0x80000000u) continue;  // not yet due
    if (filter && t.hwnd != filter && !IsChild(filter, t.hwnd)) continue;
    if (!best || LONG(t.due - best->due) < 0) best = &t;
  }
  return best;
}

static void RunSystemTimers(DWORD now);

// Milliseconds until the next timer is due (0xFFFFFFFF: none); the window
// manager's own timers count only when `system` is set.
static DWORD NextTimerDelay(DWORD now, bool system = true) {
  DWORD best = INFINITE;
  for (const Timer& t : S().timers) {
    if (t.cosmetic && !system) continue;
    LONG d = LONG(t.due - now);
    DWORD dd = d < 0 ? 0 : DWORD(d);
    if (dd < best) best = dd;
  }
  State& s = S();
  if (s.track.hoverArmed) {
    LONG d = LONG(s.track.hoverStart + s.track.hoverTime - now);
    DWORD dd = d < 0 ? 0 : DWORD(d);
    if (dd < best) best = dd;
  }
  return best;
}

// ---------------------------------------------------------------------------
// raw input into messages

void Sink::Input(const BackendInput& in) {
  State& s = S();
  DWORD now = Now();
  switch (in.kind) {
    case BackendInput::MouseMove:
      s.cursor = {in.x, in.y};
      // consecutive moves collapse into the latest
      if (!s.input.empty() && s.input.back().in.kind == BackendInput::MouseMove) {
        s.input.back().in = in;
        s.input.back().time = now;
        return;
      }
      break;
    case BackendInput::TrayMouse:
      // the pointer is over the icon: a menu the icon opens opens there
      s.cursor = {in.x, in.y};
      break;
    case BackendInput::ButtonDown:
    case BackendInput::ButtonUp: {
      static const int vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
      int b = std::clamp(in.button, 0, 2);
      s.cursor = {in.x, in.y};
      s.asyncKeys[vks[b]] = in.kind == BackendInput::ButtonDown ? 0x80 : 0;
      break;
    }
    case BackendInput::KeyDown:
      s.asyncKeys[in.vk & 0xFF] = 0x80;
      break;
    case BackendInput::KeyUp:
      s.asyncKeys[in.vk & 0xFF] = 0;
      break;
    default:
      break;
  }
  s.input.push_back({in, now});
}

static WPARAM MouseKeyFlags() {
  State& s = S();
  WPARAM f = 0;
  if (s.keys[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (s.keys[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (s.keys[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (s.keys[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (s.keys[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

static void SetKey(int vk, bool down) {
  State& s = S();
  BYTE& k = s.keys[vk & 0xFF];
  if (down) {
    if (!(k & 0x80)) k ^= 0x01;  // toggle on each press
    k |= 0x80;
  } else {
    k &= BYTE(~0x80);
  }
}

// Deepest visible, enabled window under a screen point that does not answer
// HTTRANSPARENT; sets *hit to its hit-test code.
static HWND HitWindow(POINT pt, int* hit) {
  State& s = S();
  Wnd* top = nullptr;
  for (Wnd* c = s.desktop->firstChild; c; c = c->next) {
    if (!(c->style & WS_VISIBLE)) continue;
    RECT r = c->rect;
    if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom) continue;
    if (c->exStyle & WS_EX_TRANSPARENT && c->exStyle & WS_EX_LAYERED) continue;
    if (c->windowRgn) {
      if (!PtInRegion(c->windowRgn, pt.x - r.left, pt.y - r.top)) continue;
    }
    top = c;
    break;
  }
  if (!top) {
    *hit = HTNOWHERE;
    return nullptr;
  }
  Wnd* w = top;
  if (w->style & WS_DISABLED) {
    // a disabled window (behind a modal one) takes no mouse input
    *hit = HTERROR;
    return w->h;
  }
  {
    for (;;) {
      POINT o = ClientOrigin(w);
      RECT cr = ScreenClient(w);
      if (pt.x < cr.left || pt.x >= cr.right || pt.y < cr.top || pt.y >= cr.bottom) break;
      Wnd* found = nullptr;
      for (Wnd* c = w->firstChild; c; c = c->next) {
        if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED)) continue;
        RECT r = c->rect;
        int x = pt.x - o.x, y = pt.y - o.y;
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        if (c->windowRgn && !PtInRegion(c->windowRgn, x - r.left, y - r.top)) continue;
        found = c;
        break;
      }
      if (!found) break;
      w = found;
    }
  }
  // ask the window; HTTRANSPARENT passes the point to the parent
  HWND h = w->h;
  for (;;) {
    int code = int(Send(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)));
    Wnd* cw = W(h);
    if (!cw) {
      *hit = HTNOWHERE;
      return nullptr;
    }
    if (code == HTTRANSPARENT && (cw->style & WS_CHILD) && cw->parent) {
      h = cw->parent->h;
      continue;
    }
    *hit = code;
    return h;
  }
}

static void CheckMouseLeave(HWND now, int hit) {
  State& s = S();
  if (!s.track.hwnd || !(s.track.flags & TME_LEAVE)) return;
  bool nc = (s.track.flags & TME_NONCLIENT) != 0;
  bool inside = now == s.track.hwnd && (nc ? hit != HTCLIENT : hit == HTCLIENT);
  if (!inside) {
    HWND h = s.track.hwnd;
    s.track = MouseTrack();
    PostMsg(h, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
  }
}

enum class Cook { None, Msg, Skip };

// Turns the oldest raw input into a message (without side effects other than hit testing).
struct CookedInput {
  MSG msg;
  int hit = HTCLIENT;
  HWND target = nullptr;
  bool mouse = false, key = false, buttonDown = false;
  bool ime = false;
};

static bool CookHead(CookedInput& out) {
  State& s = S();
  if (s.input.empty()) return false;
  const PendingInput& pi = s.input.front();
  const BackendInput& in = pi.in;
  MSG& m = out.msg;
  m = MSG();
  m.time = pi.time;
  m.pt = {in.x, in.y};
  switch (in.kind) {
    case BackendInput::MouseMove:
    case BackendInput::ButtonDown:
    case BackendInput::ButtonUp: {
      out.mouse = true;
      POINT pt{in.x, in.y};
      int button = std::clamp(in.button, 0, 2);
      if (s.swapButtons && button < 2) button ^= 1;
      HWND target;
      int hit;
      if (s.capture) {
        target = s.capture;
        hit = HTCLIENT;
      } else {
        target = HitWindow(pt, &hit);
      }
      out.target = target;
      out.hit = hit;
      if (!target) return true;  // over no window: dropped
      UINT base;
      if (in.kind == BackendInput::MouseMove) base = 0;
      else base = in.kind == BackendInput::ButtonDown ? 1 : 2;
      static const UINT clientMsgs[3][3] = {{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP},
                                            {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP},
                                            {WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONUP}};
      UINT msg = clientMsgs[button][base];
      bool client = hit == HTCLIENT;
      if (!client) msg += WM_NCMOUSEMOVE - WM_MOUSEMOVE;
      out.buttonDown = base == 1;
      if (base == 1) {
        // double click: same window and button, within the time and the small rectangle
        Wnd* tw = W(target);
        bool dblOk = !client || (tw && tw->cls && (tw->cls->style & CS_DBLCLKS));
        auto& lc = s.lastClick;
        if (dblOk && lc.valid && lc.hwnd == target && lc.msg == msg && m.time - lc.time <= s.dblClickTime &&
            std::abs(pt.x - lc.pt.x) <= 2 && std::abs(pt.y - lc.pt.y) <= 2) {
          msg += 2;  // xBUTTONDOWN -> xBUTTONDBLCLK
        }
      }
      m.hwnd = target;
      m.message = msg;
      if (client) {
        POINT o = ClientOrigin(W(target));
        m.lParam = MAKELPARAM(pt.x - o.x, pt.y - o.y);
      } else {
        m.wParam = WPARAM(hit);
        m.lParam = MAKELPARAM(pt.x, pt.y);
      }
      return true;
    }
    case BackendInput::Wheel: {
      out.mouse = true;
      HWND target = s.focus ? s.focus : s.active;
      out.target = target;
      if (!target) return true;
      m.hwnd = target;
      m.message = WM_MOUSEWHEEL;
      m.lParam = MAKELPARAM(in.x, in.y);
      return true;
    }
    case BackendInput::KeyDown:
    case BackendInput::KeyUp: {
      out.key = true;
      bool down = in.kind == BackendInput::KeyDown;
      bool alt = (s.keys[VK_MENU] & 0x80) != 0 || (in.vk == VK_MENU && down);
      bool ctrl = (s.keys[VK_CONTROL] & 0x80) != 0;
      HWND target = s.focus;
      bool sys = (alt && !ctrl) || in.vk == VK_F10;
      if (!target) {
        target = s.active;
        sys = true;
      }
      out.target = target;
      if (!target) return true;
      // Alt released after it served another key (Alt+letter, Alt+F4) is a plain key-up
      bool menuKey = in.vk == VK_MENU || in.vk == VK_LMENU || in.vk == VK_RMENU;
      bool altServed = !down && menuKey && sys && s.lastKeyDown != in.vk && s.focus;
      if (altServed) sys = false;
      m.hwnd = target;
      m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
      m.wParam = in.vk & 0xFF;
      UINT scan = MapVirtualKeyA(in.vk & 0xFF, MAPVK_VK_TO_VSC);
      bool wasDown = (s.keys[in.vk & 0xFF] & 0x80) != 0;
      LPARAM l = 1 | LPARAM(scan & 0xFF) << 16;
      if (in.extended) l |= LPARAM(1) << 24;
      if (alt && sys) l |= LPARAM(1) << 29;  // the context code: only system keys carry it
      if (down ? (wasDown || in.repeat) : true) l |= LPARAM(1) << 30;
      if (!down) l |= LPARAM(1) << 31;
      m.lParam = LPARAM(DWORD(l));
      return true;
    }
    default:
      return true;  // handled in RemoveHead
  }
}

static void Activate(HWND target, int hit, UINT msg, bool* eat) {
  State& s = S();
  Wnd* tw = W(target);
  if (!tw) return;
  Wnd* top = TopLevelOf(tw);
  if (!top || top->h == s.active) return;
  LRESULT r = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->h), MAKELPARAM(hit, msg));
  if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) *eat = true;
  if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT || r == 0) && W(top->h) && !(top->style & WS_DISABLED))
    ActivateWindow(top->h, WA_CLICKACTIVE, true);
}

// Side effects of removing a cooked input message. Returns false when it is swallowed.
static bool CommitInput(CookedInput& c) {
  State& s = S();
  MSG& m = c.msg;
  if (c.mouse) {
    if (m.message == WM_MOUSEWHEEL) {
      m.wParam = MAKEWPARAM(int(MouseKeyFlags()), s.input.front().in.delta);
    }
    if (HooksInstalled(WH_MOUSE)) {
      MOUSEHOOKSTRUCTEX mh;
      mh.pt = s.input.front().in.kind == BackendInput::Wheel ? m.pt : m.pt;
      mh.hwnd = m.hwnd;
      mh.wHitTestCode = UINT(c.hit);
      mh.mouseData = m.message == WM_MOUSEWHEEL ? DWORD(m.wParam & 0xFFFF0000u) : 0;
      if (CallHooks(WH_MOUSE, HC_ACTION, m.message, reinterpret_cast<LPARAM>(&mh))) return false;
      if (!W(m.hwnd)) return false;
    }
    const BackendInput& in = s.input.front().in;
    if (in.kind == BackendInput::ButtonDown || in.kind == BackendInput::ButtonUp) {
      static const int vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
      int b = std::clamp(in.button, 0, 2);
      if (s.swapButtons && b < 2) b ^= 1;
      SetKey(vks[b], in.kind == BackendInput::ButtonDown);
    }
    if (m.message == WM_MOUSEWHEEL) return true;
    if (c.hit == HTERROR) {
      // over a disabled window: the cursor says no, and a click brings its enabled pop-up forward
      UINT clientMsg = m.message - (WM_NCMOUSEMOVE - WM_MOUSEMOVE);
      Send(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(HTERROR, clientMsg));
      if (c.buttonDown && W(m.hwnd)) {
        HWND popup = GetWindow(m.hwnd, GW_ENABLEDPOPUP);
        if (popup) ActivateWindow(popup, WA_ACTIVE, true);
      }
      return false;
    }
    if (c.buttonDown) {
      // a press (not the second of a double click) on a child tells its ancestors
      UINT clientMsg = m.message;
      if (clientMsg >= WM_NCMOUSEMOVE && clientMsg <= WM_NCMBUTTONDBLCLK) clientMsg += WM_MOUSEMOVE - WM_NCMOUSEMOVE;
      if (clientMsg == WM_LBUTTONDOWN || clientMsg == WM_RBUTTONDOWN || clientMsg == WM_MBUTTONDOWN) {
        SendParentNotify(m.hwnd, clientMsg, m.pt);
        if (!W(m.hwnd)) return false;
      }
    }
    bool eat = false;
    bool down = c.buttonDown;
    UINT baseMsg = m.message;
    if (down && !s.capture) {
      Activate(m.hwnd, c.hit, baseMsg, &eat);
      if (!W(m.hwnd)) return false;
    }
    if (!s.capture) {
      Send(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(c.hit, baseMsg));
      if (!W(m.hwnd)) return false;
    }
    CheckMouseLeave(m.hwnd, c.hit);
    s.mouseWindow = m.hwnd;
    if (s.track.hwnd == m.hwnd && (s.track.flags & TME_HOVER)) {
      if (!s.track.hoverArmed || std::abs(m.pt.x - s.track.hoverPt.x) > 2 || std::abs(m.pt.y - s.track.hoverPt.y) > 2) {
        s.track.hoverArmed = true;
        s.track.hoverStart = m.time;
        s.track.hoverPt = m.pt;
      }
    }
    if (down) {
      auto& lc = s.lastClick;
      bool dbl = (m.message >= WM_LBUTTONDBLCLK && (m.message - WM_LBUTTONDOWN) % 3 == 2) ||
                 (m.message >= WM_NCLBUTTONDBLCLK && m.message <= WM_NCMBUTTONDBLCLK &&
                  (m.message - WM_NCLBUTTONDOWN) % 3 == 2);
      if (dbl) {
        lc.valid = false;
      } else {
        lc.valid = true;
        lc.hwnd = m.hwnd;
        lc.msg = m.message;
        lc.time = m.time;
        lc.pt = m.pt;
      }
    }
    if (m.message != WM_MOUSEMOVE && m.message != WM_NCMOUSEMOVE) m.wParam = c.hit == HTCLIENT ? MouseKeyFlags() : m.wParam;
    else if (c.hit == HTCLIENT) m.wParam = MouseKeyFlags();
    return !eat;
  }
  if (c.key) {
    const BackendInput& in = s.input.front().in;
    if (HooksInstalled(WH_KEYBOARD)) {
      if (CallHooks(WH_KEYBOARD, HC_ACTION, m.wParam, m.lParam)) return false;
    }
    bool down = in.kind == BackendInput::KeyDown;
    if (down) s.lastKeyDown = in.vk;
    SetKey(int(in.vk), down);
    if (in.vk == VK_LSHIFT || in.vk == VK_RSHIFT) SetKey(VK_SHIFT, down);
    if (in.vk == VK_SHIFT) SetKey(VK_LSHIFT, down);
    if (in.vk == VK_LCONTROL || in.vk == VK_RCONTROL) SetKey(VK_CONTROL, down);
    if (in.vk == VK_CONTROL) SetKey(VK_LCONTROL, down);
    if (in.vk == VK_LMENU || in.vk == VK_RMENU) SetKey(VK_MENU, down);
    if (in.vk == VK_MENU) SetKey(VK_LMENU, down);
    s.lastKeyText = down && !in.text.empty() ? Utf8ToCp936(in.text) : std::string();
    return W(m.hwnd) != nullptr;
  }
  return false;
}

void ClipboardChangedOnDesktop();  // system.cpp

// The desktop activated one of our native windows (0: another program took the
// activation). A window behind a modal one hands it to its enabled pop-up.
static void DesktopActivated(HWND h) {
  State& s = S();
  if (!h) {
    if (!s.active && !s.appActive) return;
    if (W(s.capture)) Send(s.capture, WM_CANCELMODE, 0, 0);
    ActivateWindow(nullptr, WA_INACTIVE, false);
    return;
  }
  Wnd* w = W(h);
  if (!w || !IsTopLevel(w) || !(w->style & WS_VISIBLE) || (w->exStyle & WS_EX_NOACTIVATE)) return;
  if (w->style & WS_DISABLED) {
    h = GetWindow(h, GW_ENABLEDPOPUP);
    if (!h) return;
  }
  if (s.active != h) ActivateWindow(h, WA_ACTIVE, true);
}

// Input events that are not keyboard or mouse become a series of queued messages.
static void ExpandSpecial(const PendingInput& pi) {
  State& s = S();
  const BackendInput& in = pi.in;
  auto add = [&](HWND h, UINT m, WPARAM w, LPARAM l) {
    MSG msg;
    msg.hwnd = h;
    msg.message = m;
    msg.wParam = w;
    msg.lParam = l;
    msg.time = pi.time;
    msg.pt = s.cursor;
    s.cooked.push_back(msg);
  };
  switch (in.kind) {
    case BackendInput::ImeCommit:
    case BackendInput::ImeCompose: {
      HWND target = s.focus ? s.focus : s.active;
      bool commit = in.kind == BackendInput::ImeCommit;
      if (!target) {
        s.imeComposing = false;
        return;
      }
      std::string text = Utf8ToCp936(in.text);
      if (text.empty() && commit) return;
      if (!s.imeComposing) {
        if (text.empty()) return;  // nothing to cancel
        add(target, WM_IME_STARTCOMPOSITION, 0, 0);
      }
      s.imeComposing = !commit && !text.empty();
      if (text.empty()) {  // the composition was cancelled
        auto* none = new std::string();
        add(target, kImeCompMarker, 0, reinterpret_cast<LPARAM>(none));
        add(target, WM_IME_ENDCOMPOSITION, 0, 0);
        break;
      }
      WPARAM first = IsLeadByte(BYTE(text[0])) && text.size() > 1
                         ? WPARAM((BYTE(text[0]) << 8) | BYTE(text[1]))
                         : WPARAM(BYTE(text[0]));
      // the string travels with the message; it becomes current when retrieved
      auto* payload = new std::string(text);
      add(target, commit ? kImeResultMarker : kImeCompMarker, first, reinterpret_cast<LPARAM>(payload));
      if (commit) add(target, WM_IME_ENDCOMPOSITION, 0, 0);
      break;
    }
    case BackendInput::TrayMouse: {
      HWND h;
      UINT msg;
      if (TrayCallback(in.trayId, &h, &msg) && W(h)) add(h, msg, in.trayId, LPARAM(in.mouseMessage));
      break;
    }
    case BackendInput::CloseRequest: {
      HWND h = reinterpret_cast<HWND>(in.window);
      if (W(h)) add(h, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(in.x, in.y));
      break;
    }
    case BackendInput::Minimize:
    case BackendInput::Restore: {
      // the desktop's taskbar or window manager: as the window's own buttons would
      HWND h = reinterpret_cast<HWND>(in.window);
      const bool iconic = W(h) && IsIconic(h);
      if (W(h) && iconic == (in.kind == BackendInput::Restore))
        add(h, WM_SYSCOMMAND, in.kind == BackendInput::Restore ? SC_RESTORE : SC_MINIMIZE, 0);
      break;
    }
    case BackendInput::DropFiles: {
      int hit;
      HWND target = HitWindow({in.x, in.y}, &hit);
      Wnd* w = W(target);
      while (w && !w->acceptFiles) w = (w->style & WS_CHILD) ? w->parent : nullptr;
      if (w) add(w->h, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle(in.text, {in.x, in.y}, w->h)), 0);
      break;
    }
    case BackendInput::Activate:
      DesktopActivated(reinterpret_cast<HWND>(in.window));
      break;
    case BackendInput::ClipboardChanged:
      ClipboardChangedOnDesktop();
      break;
    default:
      break;
  }
}

static void ReleaseCookedPayload(MSG& m) {
  if (m.message == kImeResultMarker || m.message == kImeCompMarker) {
    delete reinterpret_cast<std::string*>(m.lParam);
    m.lParam = 0;
  }
}

// Fills `out` from the cooked list (the front entry) and removes it when asked.
static bool TakeCooked(MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
  State& s = S();
  for (auto it = s.cooked.begin(); it != s.cooked.end(); ++it) {
    MSG m = *it;
    bool result = m.message == kImeResultMarker, comp = m.message == kImeCompMarker;
    if (result || comp) m.message = WM_IME_COMPOSITION;
    if (!W(m.hwnd)) {
      ReleaseCookedPayload(*it);
      s.cooked.erase(it);
      return TakeCooked(out, filter, lo, hi, remove);
    }
    if (!MatchesFilter(m, filter, lo, hi)) continue;
    if (result) {
      ImeSetResult(*reinterpret_cast<std::string*>(it->lParam));
      ImeSetComposition(std::string());
      m.lParam = GCS_RESULTSTR | GCS_RESULTREADSTR | GCS_RESULTCLAUSE;
    } else if (comp) {
      const std::string& str = *reinterpret_cast<std::string*>(it->lParam);
      ImeSetComposition(str);
      m.lParam = str.empty() ? 0 : LPARAM(GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS);
    }
    *out = m;
    if (remove) {
      ReleaseCookedPayload(*it);
      s.cooked.erase(it);
    }
    return true;
  }
  return false;
}

static void RunSystemTimers(DWORD now) {
  State& s = S();
  for (std::size_t i = 0; i < s.timers.size(); ++i) {
    Timer& t = s.timers[i];
    if (!t.system || LONG(now - t.due) < 0) continue;
    t.due = now + t.elapse;
    TIMERPROC p = t.proc;
    HWND h = t.hwnd;
    UINT_PTR id = t.id;
    if (p) p(h, WM_TIMER, id, now);
  }
  if (s.track.hoverArmed && LONG(now - (s.track.hoverStart + s.track.hoverTime)) >= 0) {
    HWND h = s.track.hwnd;
    bool nc = (s.track.flags & TME_NONCLIENT) != 0;
    s.track.hoverArmed = false;
    s.track.flags &= ~TME_HOVER;
    if (!(s.track.flags & TME_LEAVE)) s.track = MouseTrack();
    if (Wnd* w = W(h)) {
      POINT p = s.cursor;
      if (nc) {
        PostMsg(h, WM_NCMOUSEHOVER, HTCLIENT, MAKELPARAM(p.x, p.y));
      } else {
        POINT o = ClientOrigin(w);
        PostMsg(h, WM_MOUSEHOVER, MouseKeyFlags(), MAKELPARAM(p.x - o.x, p.y - o.y));
      }
    }
  }
}

bool NextPaintMessage(MSG* out, HWND filter);  // paint.cpp

static void CollectGraveyard() {
  State& s = S();
  if (s.sendDepth || s.dispatchDepth) return;
  for (Wnd* w : s.graveyard) delete w;
  s.graveyard.clear();
}

// One attempt to retrieve a message; false when none is waiting.
static bool Fetch(MSG* out, HWND filter, UINT lo, UINT hi, UINT flags) {
  State& s = S();
  bool remove = (flags & PM_REMOVE) != 0;
  CollectGraveyard();
  if (s.backend) s.backend->Poll(s.sink);
  DWORD now = Now();
  RunSystemTimers(now);
  for (;;) {
    bool got = false;
    // messages made from input (the input method's, drops) go first, as sent messages would
    if (TakeCooked(out, filter, lo, hi, remove)) break;
    // posted messages
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
      if (it->hwnd && !W(it->hwnd)) {  // the window is gone: drop the message
        it = s.posted.erase(it);
        if (it == s.posted.end()) break;
        --it;
        continue;
      }
      if (!MatchesFilter(*it, filter, lo, hi)) continue;
      *out = *it;
      if (remove) s.posted.erase(it);
      got = true;
      break;
    }
    if (got) break;
    if (s.quitPosted) {
      *out = MSG();
      out->message = WM_QUIT;
      out->wParam = WPARAM(s.quitCode);
      out->time = now;
      out->pt = s.cursor;
      if (remove) s.quitPosted = false;
      got = true;
      break;
    }
    // input
    bool inputDone = false;
    while (!s.input.empty()) {
      const BackendInput::Kind k = s.input.front().in.kind;
      if (k == BackendInput::ImeCommit || k == BackendInput::CloseRequest || k == BackendInput::DropFiles ||
          k == BackendInput::ImeCompose || k == BackendInput::TrayMouse || k == BackendInput::Activate ||
          k == BackendInput::ClipboardChanged || k == BackendInput::Minimize || k == BackendInput::Restore) {
        PendingInput pi = s.input.front();
        s.input.pop_front();
        std::size_t postedBefore = s.posted.size();
        ExpandSpecial(pi);
        if (TakeCooked(out, filter, lo, hi, remove)) {
          got = true;
          inputDone = true;
          break;
        }
        if (s.posted.size() != postedBefore) break;  // what it posted goes before later input
        continue;
      }
      CookedInput c;
      CookHead(c);
      if (!c.target || !W(c.msg.hwnd)) {
        s.input.pop_front();
        continue;
      }
      if (!MatchesFilter(c.msg, filter, lo, hi)) break;  // stays queued
      if (!remove) {
        if (c.key && HooksInstalled(WH_KEYBOARD) && CallHooks(WH_KEYBOARD, HC_NOREMOVE, c.msg.wParam, c.msg.lParam)) {
          s.input.pop_front();
          continue;
        }
        if (c.mouse && HooksInstalled(WH_MOUSE)) {
          MOUSEHOOKSTRUCTEX mh;
          mh.pt = c.msg.pt;
          mh.hwnd = c.msg.hwnd;
          mh.wHitTestCode = UINT(c.hit);
          if (CallHooks(WH_MOUSE, HC_NOREMOVE, c.msg.message, reinterpret_cast<LPARAM>(&mh))) {
            s.input.pop_front();
            continue;
          }
        }
        if (c.mouse && c.msg.message != WM_MOUSEWHEEL && c.hit == HTCLIENT) c.msg.wParam = MouseKeyFlags();
        *out = c.msg;
        got = true;
        inputDone = true;
        break;
      }
      bool keep = CommitInput(c);
      if (!s.input.empty()) s.input.pop_front();
      if (keep && W(c.msg.hwnd)) {
        *out = c.msg;
        got = true;
        inputDone = true;
        break;
      }
      // swallowed or eaten: messages it caused may now be posted
      if (!s.posted.empty() || !s.cooked.empty()) break;
    }
    if (got) break;
    (void)inputDone;
    if (!s.posted.empty() || !s.cooked.empty()) {
      // input processing posted something (e.g. WM_MOUSELEAVE): look again
      bool any = false;
      for (const MSG& m : s.posted)
        if (MatchesFilter(m, filter, lo, hi)) any = true;
      for (const MSG& m : s.cooked)
        if (MatchesFilter(m, filter, lo, hi)) any = true;
      if (any) continue;
    }
    // paint
    if ((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi)) {
      if (NextPaintMessage(out, filter)) {
        got = true;
        break;
      }
    }
    // timers
    if ((lo == 0 && hi == 0) || (WM_TIMER >= lo && WM_TIMER <= hi)) {
      if (Timer* t = DueTimer(filter, now)) {
        *out = MSG();
        out->hwnd = t->hwnd;
        out->message = WM_TIMER;
        out->wParam = t->id;
        out->lParam = reinterpret_cast<LPARAM>(t->proc);
        out->time = now;
        out->pt = s.cursor;
        if (remove) t->due = now + t->elapse;
        got = true;
        break;
      }
    }
    return false;
  }
  s.msgTime = out->time;
  s.msgPos = out->pt;
  if (HooksInstalled(WH_GETMESSAGE)) CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(out));
  return true;
}

// Blocks until something may be retrieved. Throws when nothing can ever arrive.
static void WaitForWork(DWORD ms) {
  State& s = S();
  DWORD now = Now();
  DWORD delay = std::min(NextTimerDelay(now), ms);
  bool cosmetic = ms == INFINITE && NextTimerDelay(now, false) == INFINITE;
  if (s.backend) {
    if (!s.backend->Wait(s.sink, delay, cosmetic))
      throw EInvalidOperation("The message loop waits for ever: no input, timer or posted message can arrive");
    return;
  }
  if (delay == INFINITE)
    throw EInvalidOperation("The message loop waits for ever: no input, timer or posted message can arrive");
  std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}

static bool HasWork(DWORD mask);

}  // namespace pvwin

using namespace pvwin;

// ---------------------------------------------------------------------------
// the send path

LRESULT SendMessageA(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Wnd* wnd = W(h);
  if (!wnd) return 0;
  State& s = S();
  if (!s.hooks[WH_CALLWNDPROC + 1].empty()) {
    CWPSTRUCT cwp{l, w, msg, h};
    CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
    if (!(wnd = W(h))) return 0;
  }
  ++s.sendDepth;
  LRESULT r;
  try {
    r = wnd->proc(h, msg, w, l);
  } catch (...) {
    --s.sendDepth;
    throw;
  }
  --s.sendDepth;
  if (!s.hooks[WH_CALLWNDPROCRET + 1].empty()) {
    CWPRETSTRUCT ret{r, l, w, msg, h};
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 0, reinterpret_cast<LPARAM>(&ret));
  }
  return r;
}

BOOL SendNotifyMessageA(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (h == HWND_BROADCAST) {
    std::vector<HWND> tops;
    for (Wnd* c = S().desktop ? S().desktop->firstChild : nullptr; c; c = c->next) tops.push_back(c->h);
    for (HWND t : tops) SendMessageA(t, msg, w, l);
    return TRUE;
  }
  if (!W(h)) return FALSE;
  SendMessageA(h, msg, w, l);
  return TRUE;
}

LRESULT SendMessageTimeoutA(HWND h, UINT msg, WPARAM w, LPARAM l, UINT, UINT, ULONG_PTR* result) {
  if (!W(h)) return 0;
  LRESULT r = SendMessageA(h, msg, w, l);
  if (result) *result = ULONG_PTR(r);
  return 1;
}

BOOL PostMessageA(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (h == HWND_BROADCAST) {
    for (Wnd* c = S().desktop ? S().desktop->firstChild : nullptr; c; c = c->next) PostMsg(c->h, msg, w, l);
    return TRUE;
  }
  if (h && !W(h)) return FALSE;
  PostMsg(h, msg, w, l);
  return TRUE;
}

BOOL PostThreadMessageA(DWORD, UINT msg, WPARAM w, LPARAM l) {
  PostMsg(nullptr, msg, w, l);
  return TRUE;
}

void PostQuitMessage(int code) {
  State& s = S();
  s.quitPosted = true;
  s.quitCode = code;
}

BOOL PeekMessageA(MSG* msg, HWND h, UINT lo, UINT hi, UINT remove) {
  MSG tmp;
  if (!Fetch(msg ? msg : &tmp, h, lo, hi, remove)) return FALSE;
  return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND h, UINT lo, UINT hi) {
  MSG tmp;
  MSG* m = msg ? msg : &tmp;
  while (!Fetch(m, h, lo, hi, PM_REMOVE)) WaitForWork(INFINITE);
  return m->message != WM_QUIT;
}

BOOL DragDetect(HWND h, POINT pt) {
  const int dx = GetSystemMetrics(SM_CXDRAG) / 2, dy = GetSystemMetrics(SM_CYDRAG) / 2;
  const RECT r{pt.x - dx, pt.y - dy, pt.x + dx + 1, pt.y + dy + 1};
  SetCapture(h);
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
      if (m.message == WM_LBUTTONUP || m.message == WM_RBUTTONDOWN || m.message == WM_MBUTTONDOWN) {
        ReleaseCapture();
        return FALSE;
      }
      if (m.message == WM_MOUSEMOVE && !PtInRect(&r, m.pt)) {
        ReleaseCapture();
        return TRUE;
      }
    }
    if (GetCapture() != h) return FALSE;
    WaitMessage();
  }
}

BOOL WaitMessage() {
  if (!HasWork(QS_ALLINPUT)) WaitForWork(INFINITE);
  return TRUE;
}

namespace pvwin {
bool AnyPaintPending();  // paint.cpp
static bool HasWork(DWORD mask) {
  State& s = S();
  if (s.backend) s.backend->Poll(s.sink);
  if ((mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) && (!s.posted.empty() || s.quitPosted || !s.cooked.empty())) return true;
  if (mask & QS_INPUT) {
    for (const PendingInput& p : s.input) {
      switch (p.in.kind) {
        case BackendInput::MouseMove: if (mask & QS_MOUSEMOVE) return true; break;
        case BackendInput::ButtonDown:
        case BackendInput::ButtonUp:
        case BackendInput::Wheel: if (mask & QS_MOUSEBUTTON) return true; break;
        default: if (mask & QS_KEY) return true; break;
      }
    }
  }
  if ((mask & QS_PAINT) && AnyPaintPending()) return true;
  if ((mask & QS_TIMER) && DueTimer(nullptr, Now())) return true;
  return false;
}
}  // namespace pvwin

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD ms, DWORD mask, DWORD) {
  if (HasWork(mask)) return WAIT_OBJECT_0 + count;
  if (ms == 0) return WAIT_TIMEOUT;
  State& s = S();
  DWORD start = Now();
  for (;;) {
    DWORD elapsed = Now() - start;
    if (ms != INFINITE && elapsed >= ms) return WAIT_TIMEOUT;
    DWORD left = ms == INFINITE ? INFINITE : ms - elapsed;
    DWORD delay = std::min(NextTimerDelay(Now()), left);
    bool cosmetic = left == INFINITE && NextTimerDelay(Now(), false) == INFINITE;
    if (s.backend) {
      if (!s.backend->Wait(s.sink, delay, cosmetic)) {
        if (ms == INFINITE)
          throw EInvalidOperation("The message loop waits for ever: no input, timer or posted message can arrive");
        return WAIT_TIMEOUT;
      }
    } else {
      if (delay == INFINITE)
        throw EInvalidOperation("The message loop waits for ever: no input, timer or posted message can arrive");
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    RunSystemTimers(Now());
    if (HasWork(mask)) return WAIT_OBJECT_0 + count;
  }
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD ms, DWORD mask) {
  return MsgWaitForMultipleObjectsEx(count, handles, ms, mask, 0);
}

DWORD GetQueueStatus(UINT flags) {
  DWORD r = 0;
  for (UINT bit = 1; bit <= QS_ALLPOSTMESSAGE; bit <<= 1)
    if ((flags & bit) && HasWork(bit)) r |= bit;
  return (r << 16) | r;
}

BOOL GetInputState() { return HasWork(QS_INPUT) ? TRUE : FALSE; }
BOOL InSendMessage() { return FALSE; }  // every send is made on the GUI thread itself

UINT RegisterWindowMessageA(LPCSTR name) {
  if (!name || !*name) return 0;
  State& s = S();
  std::string key = Lower(name);
  for (std::size_t i = 0; i < s.registeredMessages.size(); ++i)
    if (s.registeredMessages[i] == key) return UINT(0xC000 + i);
  s.registeredMessages.push_back(key);
  return UINT(0xC000 + s.registeredMessages.size() - 1);
}

DWORD GetMessageTime() { return S().msgTime; }
DWORD GetMessagePos() { return DWORD(MAKELONG(WORD(S().msgPos.x), WORD(S().msgPos.y))); }
LPARAM GetMessageExtraInfo() { return 0; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  State& s = S();
  if (msg->message == WM_TIMER && msg->lParam) {
    // only a registered timer procedure is called
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    for (const Timer& t : s.timers)
      if (t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc) {
        ++s.dispatchDepth;
        try {
          proc(msg->hwnd, WM_TIMER, msg->wParam, Now());
        } catch (...) {
          --s.dispatchDepth;
          throw;
        }
        --s.dispatchDepth;
        return 0;
      }
    return 0;
  }
  Wnd* w = W(msg->hwnd);
  if (!w) return 0;
  ++s.dispatchDepth;
  LRESULT r;
  try {
    r = w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  } catch (...) {
    --s.dispatchDepth;
    throw;
  }
  --s.dispatchDepth;
  return r;
}

// ---------------------------------------------------------------------------
// keyboard translation

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_KEYUP && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
  State& s = S();
  UINT charMsg = m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  int vk = int(msg->wParam);
  if (vk == VK_PROCESSKEY) return TRUE;
  std::string text = s.lastKeyText;
  s.lastKeyText.clear();
  if (!text.empty()) {
    // a character from the keyboard layout; double-byte characters come as lead and trail
    for (unsigned char c : text) PostMsg(msg->hwnd, charMsg, c, msg->lParam);
    return TRUE;
  }
  bool shift = (s.keys[VK_SHIFT] & 0x80) != 0;
  bool ctrl = (s.keys[VK_CONTROL] & 0x80) != 0;
  bool caps = (s.keys[VK_CAPITAL] & 0x01) != 0;
  // Ctrl+Alt is the layout's third level: without a character there, nothing is typed
  if (ctrl && (s.keys[VK_MENU] & 0x80)) return TRUE;
  int ch = -1;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) ch = vk - 'A' + 1;
    else ch = (shift != caps) ? vk : vk - 'A' + 'a';
  } else if (ctrl) {
    if (vk == VK_OEM_4) ch = 27;
    else if (vk == VK_OEM_5) ch = 28;
    else if (vk == VK_OEM_6) ch = 29;
    else if (vk == VK_RETURN) ch = 10;
    else if (vk == VK_BACK) ch = 127;
    else if (vk == VK_SPACE) ch = ' ';
  } else {
    static const char digitsShift[] = ")!@#$%^&*(";
    if (vk >= '0' && vk <= '9') ch = shift ? digitsShift[vk - '0'] : vk;
    else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) ch = '0' + vk - VK_NUMPAD0;
    else switch (vk) {
      case VK_SPACE: ch = ' '; break;
      case VK_RETURN: ch = '\r'; break;
      case VK_BACK: ch = '\b'; break;
      case VK_TAB: ch = '\t'; break;
      case VK_ESCAPE: ch = 27; break;
      case VK_MULTIPLY: ch = '*'; break;
      case VK_ADD: ch = '+'; break;
      case VK_SUBTRACT: ch = '-'; break;
      case VK_DECIMAL: ch = '.'; break;
      case VK_DIVIDE: ch = '/'; break;
      case VK_OEM_1: ch = shift ? ':' : ';'; break;
      case VK_OEM_PLUS: ch = shift ? '+' : '='; break;
      case VK_OEM_COMMA: ch = shift ? '<' : ','; break;
      case VK_OEM_MINUS: ch = shift ? '_' : '-'; break;
      case VK_OEM_PERIOD: ch = shift ? '>' : '.'; break;
      case VK_OEM_2: ch = shift ? '?' : '/'; break;
      case VK_OEM_3: ch = shift ? '~' : '`'; break;
      case VK_OEM_4: ch = shift ? '{' : '['; break;
      case VK_OEM_5: ch = shift ? '|' : '\\'; break;
      case VK_OEM_6: ch = shift ? '}' : ']'; break;
      case VK_OEM_7: ch = shift ? '"' : '\''; break;
    }
  }
  if (ch >= 0) PostMsg(msg->hwnd, charMsg, WPARAM(ch), msg->lParam);
  return TRUE;
}

// ---------------------------------------------------------------------------
// hooks

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!proc || type + 1 < 0 || type + 1 >= 16) return nullptr;
  State& s = S();
  auto* hk = new Hook();
  hk->type = type;
  hk->proc = proc;
  hk->h = reinterpret_cast<HHOOK>(std::uintptr_t(0x10000) + s.nextHookId++);
  auto& chain = s.hooks[type + 1];
  chain.insert(chain.begin(), hk);  // the newest hook is called first
  return hk->h;
}

BOOL UnhookWindowsHookEx(HHOOK h) {
  State& s = S();
  for (auto& chain : s.hooks)
    for (Hook* hk : chain)
      if (hk->h == h && !hk->removed) {
        hk->removed = true;
        s.hooksRemoved = true;
        PurgeRemovedHooks();
        return TRUE;
      }
  return FALSE;
}

int PvHookCount(int type) {
  if (type + 1 < 0 || type + 1 >= 16) return 0;
  int n = 0;
  for (Hook* hk : S().hooks[type + 1])
    if (!hk->removed) ++n;
  return n;
}

LRESULT CallNextHookEx(HHOOK h, int code, WPARAM w, LPARAM l) {
  State& s = S();
  for (auto& chain : s.hooks)
    for (std::size_t i = 0; i < chain.size(); ++i)
      if (chain[i]->h == h) return CallHookFrom(chain[i]->type, i + 1, code, w, l, nullptr);
  return 0;
}

// ---------------------------------------------------------------------------
// timers

UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  State& s = S();
  if (h && !W(h)) return 0;
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  if (!h) {
    // a thread timer: a new id unless an existing one is being replaced
    bool existing = false;
    for (Timer& t : s.timers)
      if (!t.hwnd && t.id == id && !t.system) existing = true;
    if (!existing || id == 0) {
      do {
        id = ++s.nextTimerId;
        if (s.nextTimerId > 0xFFFFFF) s.nextTimerId = 0x7FF0;
      } while (std::any_of(s.timers.begin(), s.timers.end(), [id](const Timer& t) { return !t.hwnd && t.id == id; }));
    }
  }
  DWORD now = Now();
  for (Timer& t : s.timers)
    if (t.hwnd == h && t.id == id && !t.system) {
      t.elapse = elapse;
      t.proc = proc;
      t.due = now + elapse;
      return h ? 1 : id;
    }
  Timer t;
  t.hwnd = h;
  t.id = id;
  t.elapse = elapse;
  t.proc = proc;
  t.due = now + elapse;
  s.timers.push_back(t);
  return h ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND h, UINT_PTR id) {
  auto& t = S().timers;
  for (auto it = t.begin(); it != t.end(); ++it)
    if (it->hwnd == h && it->id == id && !it->system) {
      t.erase(it);
      return TRUE;
    }
  return FALSE;
}

// Timers of the window manager itself (caret blinking); never seen as WM_TIMER.
namespace pvwin {
void SetSystemTimer(HWND h, UINT_PTR id, UINT elapse, TIMERPROC proc, bool cosmetic) {
  State& s = S();
  for (Timer& t : s.timers)
    if (t.system && t.hwnd == h && t.id == id) {
      t.elapse = elapse;
      t.proc = proc;
      t.due = Now() + elapse;
      t.cosmetic = cosmetic;
      return;
    }
  Timer t;
  t.hwnd = h;
  t.id = id;
  t.elapse = elapse;
  t.proc = proc;
  t.due = Now() + elapse;
  t.system = true;
  t.cosmetic = cosmetic;
  s.timers.push_back(t);
}
void KillSystemTimer(HWND h, UINT_PTR id) {
  auto& t = S().timers;
  t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.system && x.hwnd == h && x.id == id; }),
          t.end());
}
}  // namespace pvwin

DWORD GetTickCount() { return Now(); }
