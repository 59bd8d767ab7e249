// Shared fixture of the window manager's tests: a clean window manager on the
// headless backend and a window class whose procedure records its messages.
#pragma once
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include <cstring>
#include "platform/backend/headless/headless.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

struct Rec {
  HWND hwnd;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

// Messages seen by windows of the "Rec" class, and optional per-message behaviour.
struct Recorder {
  std::vector<Rec> log;
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;  // true: handled
  static Recorder& Get() {
    static Recorder r;
    return r;
  }
  // The messages of `h` (any window when null), limited to `only` when given.
  std::vector<UINT> Of(HWND h = nullptr, std::vector<UINT> only = {}) const {
    std::vector<UINT> r;
    for (const Rec& x : log) {
      if (h && x.hwnd != h) continue;
      if (!only.empty() && std::find(only.begin(), only.end(), x.msg) == only.end()) continue;
      r.push_back(x.msg);
    }
    return r;
  }
  std::vector<UINT> Without(HWND h, std::vector<UINT> skip) const {
    std::vector<UINT> r;
    for (const Rec& x : log) {
      if (h && x.hwnd != h) continue;
      if (std::find(skip.begin(), skip.end(), x.msg) != skip.end()) continue;
      r.push_back(x.msg);
    }
    return r;
  }
  int Count(HWND h, UINT msg) const {
    int n = 0;
    for (const Rec& x : log)
      if ((!h || x.hwnd == h) && x.msg == msg) ++n;
    return n;
  }
  const Rec* Last(HWND h, UINT msg) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->hwnd == h && it->msg == msg) return &*it;
    return nullptr;
  }
};

inline LRESULT RecProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Recorder& r = Recorder::Get();
  r.log.push_back({h, m, w, l});
  LRESULT res = 0;
  if (r.handler && r.handler(h, m, w, l, &res)) return res;
  return DefWindowProcA(h, m, w, l);
}

// Noise that the sequences below do not compare.
inline const std::vector<UINT> kNoise = {WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH, WM_GETICON,
                                         WM_PAINT, WM_NCPAINT, WM_ERASEBKGND, WM_CTLCOLORSCROLLBAR};

class WinTest : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    Recorder::Get().log.clear();
    Recorder::Get().handler = nullptr;
    static bool registered = false;
    if (!registered) {
      registered = true;
      WNDCLASSEXA wc;
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = RecProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
      wc.lpszClassName = "Rec";
      RegisterClassExA(&wc);
      WNDCLASSEXA plain;
      plain.lpfnWndProc = RecProc;
      plain.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
      plain.lpszClassName = "RecNoDbl";
      RegisterClassExA(&plain);
    }
  }
  void TearDown() override {
    Recorder::Get().handler = nullptr;
    PvResetWindowManager();
    hb->Reset();
  }
  HWND Top(int x = 100, int y = 100, int w = 400, int h = 300, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
           DWORD ex = 0, HWND owner = nullptr) {
    return CreateWindowExA(ex, "Rec", "top", style, x, y, w, h, owner, nullptr, nullptr, nullptr);
  }
  HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE, int id = 0, DWORD ex = 0) {
    return CreateWindowExA(ex, "Rec", "child", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  void Pump() { PvProcessMessages(); }
  void Clear() { Recorder::Get().log.clear(); }
  Recorder& R() { return Recorder::Get(); }
};

inline std::string MsgName(UINT m) {
  switch (m) {
#define N(x) case x: return #x;
    N(WM_CREATE) N(WM_DESTROY) N(WM_MOVE) N(WM_SIZE) N(WM_ACTIVATE) N(WM_SETFOCUS) N(WM_KILLFOCUS) N(WM_ENABLE)
    N(WM_PAINT) N(WM_CLOSE) N(WM_ERASEBKGND) N(WM_SHOWWINDOW) N(WM_ACTIVATEAPP) N(WM_CANCELMODE) N(WM_SETCURSOR)
    N(WM_MOUSEACTIVATE) N(WM_GETMINMAXINFO) N(WM_WINDOWPOSCHANGING) N(WM_WINDOWPOSCHANGED) N(WM_NCCREATE)
    N(WM_NCDESTROY) N(WM_NCCALCSIZE) N(WM_NCHITTEST) N(WM_NCPAINT) N(WM_NCACTIVATE) N(WM_KEYDOWN) N(WM_KEYUP)
    N(WM_CHAR) N(WM_SYSKEYDOWN) N(WM_SYSKEYUP) N(WM_SYSCHAR) N(WM_TIMER) N(WM_HSCROLL) N(WM_VSCROLL)
    N(WM_MOUSEMOVE) N(WM_LBUTTONDOWN) N(WM_LBUTTONUP) N(WM_LBUTTONDBLCLK) N(WM_RBUTTONDOWN) N(WM_RBUTTONUP)
    N(WM_MOUSEWHEEL) N(WM_PARENTNOTIFY) N(WM_CAPTURECHANGED) N(WM_NCLBUTTONDOWN) N(WM_NCMOUSEMOVE)
    N(WM_IME_STARTCOMPOSITION) N(WM_IME_COMPOSITION) N(WM_IME_ENDCOMPOSITION) N(WM_IME_CHAR) N(WM_MOUSELEAVE)
    N(WM_MDIACTIVATE) N(WM_CHILDACTIVATE) N(WM_SYSCOMMAND) N(WM_STYLECHANGING) N(WM_STYLECHANGED) N(WM_USER)
    N(WM_CONTEXTMENU) N(WM_ENTERSIZEMOVE) N(WM_EXITSIZEMOVE) N(WM_MOVING) N(WM_SIZING) N(WM_DROPFILES)
#undef N
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

inline std::vector<std::string> Names(const std::vector<UINT>& v) {
  std::vector<std::string> r;
  for (UINT m : v) r.push_back(MsgName(m));
  return r;
}
