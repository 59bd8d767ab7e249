// Message orders of creation, showing, activation, sizing and destruction; the
// queue, hooks, nested loops, timers, focus, capture and keyboard input.
#include "platform/win/tests/wintest.h"

using V = std::vector<std::string>;

TEST_F(WinTest, CreatingAVisibleTopLevelWindowSendsThePlatformSequence) {
  HWND h = Top();
  ASSERT_TRUE(h);
  EXPECT_EQ(Names(R().Without(h, kNoise)),
            (V{"WM_GETMINMAXINFO", "WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SHOWWINDOW",
               "WM_WINDOWPOSCHANGING", "WM_ACTIVATEAPP", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS",
               "WM_WINDOWPOSCHANGED", "WM_SIZE", "WM_MOVE"}));
  // the frame and background are painted before WM_WINDOWPOSCHANGED; the client waits for WM_PAINT
  EXPECT_EQ(Names(R().Of(h, {WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED})),
            (V{"WM_SETFOCUS", "WM_NCPAINT", "WM_ERASEBKGND", "WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  RECT cr;
  GetClientRect(h, &cr);
  EXPECT_EQ(cr.right, 400 - 8);
  EXPECT_EQ(cr.bottom, 300 - 8 - 19);
  const Rec* size = R().Last(h, WM_SIZE);
  EXPECT_EQ(size->lp, MAKELPARAM(392, 273));
  EXPECT_EQ(R().Last(h, WM_MOVE)->lp, MAKELPARAM(104, 123));
}

TEST_F(WinTest, CreatingAnInvisibleTopLevelWindowDefersSizeAndMoveUntilShown) {
  HWND h = Top(0, 0, 200, 100, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(Names(R().Without(h, kNoise)), (V{"WM_GETMINMAXINFO", "WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE"}));
  Clear();
  ShowWindow(h, SW_SHOWNOACTIVATE);
  EXPECT_EQ(Names(R().Without(h, kNoise)),
            (V{"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_SIZE", "WM_MOVE"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

// Pop-ups (drop-downs, hints) are laid out before anyone shows them, as children are;
// showing them later sends no second WM_SIZE.
TEST_F(WinTest, CreatingAHiddenPopUpSendsSizeAndMoveAtOnce) {
  HWND h = Top(30, 40, 200, 100, WS_POPUP);
  ASSERT_EQ(Names(R().Without(h, kNoise)), (V{"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE", "WM_MOVE"}));
  EXPECT_EQ(R().Last(h, WM_SIZE)->lp, MAKELPARAM(200, 100));
  EXPECT_EQ(R().Last(h, WM_MOVE)->lp, MAKELPARAM(30, 40));
  Clear();
  ShowWindow(h, SW_SHOWNOACTIVATE);
  EXPECT_EQ(R().Count(h, WM_SIZE), 0);
  EXPECT_EQ(R().Count(h, WM_MOVE), 0);
}

TEST_F(WinTest, CreatingAChildSendsSizeMoveAndNotifiesTheParent) {
  HWND p = Top();
  Clear();
  HWND c = Child(p, 10, 20, 50, 40, WS_CHILD | WS_VISIBLE, 7);
  EXPECT_EQ(Names(R().Without(nullptr, kNoise)),
            (V{"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE", "WM_MOVE", "WM_PARENTNOTIFY", "WM_SHOWWINDOW",
               "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}));
  const Rec* pn = R().Last(p, WM_PARENTNOTIFY);
  ASSERT_TRUE(pn);
  EXPECT_EQ(pn->wp, MAKEWPARAM(WM_CREATE, 7));
  EXPECT_EQ(reinterpret_cast<HWND>(pn->lp), c);
  EXPECT_EQ(GetDlgItem(p, 7), c);
  EXPECT_EQ(GetParent(c), p);
}

TEST_F(WinTest, CreationFailsCleanlyWhenCreateReturnsMinusOne) {
  R().handler = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
    if (m != WM_CREATE) return false;
    *r = -1;
    return true;
  };
  HWND h = Top();
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(Names(R().Without(nullptr, kNoise)),
            (V{"WM_GETMINMAXINFO", "WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_DESTROY", "WM_NCDESTROY"}));
  EXPECT_THROW(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), EOSError);
}

TEST_F(WinTest, DestroyingSendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND p = Top();
  HWND c = Child(p, 0, 0, 10, 10);
  HWND g = Child(c, 0, 0, 5, 5);
  Clear();
  ASSERT_TRUE(DestroyWindow(p));
  EXPECT_EQ(Names(R().Without(p, kNoise)),
            (V{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_ACTIVATEAPP",
               "WM_KILLFOCUS", "WM_DESTROY", "WM_NCDESTROY"}));
  std::vector<HWND> destroyOrder, ncOrder;
  for (const Rec& r : R().log) {
    if (r.msg == WM_DESTROY) destroyOrder.push_back(r.hwnd);
    if (r.msg == WM_NCDESTROY) ncOrder.push_back(r.hwnd);
  }
  EXPECT_EQ(destroyOrder, (std::vector<HWND>{p, c, g}));
  EXPECT_EQ(ncOrder, (std::vector<HWND>{g, c, p}));
  EXPECT_FALSE(IsWindow(p));
  EXPECT_FALSE(IsWindow(g));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WinTest, DestroyingAFocusedChildMovesTheFocusToItsParentAndNotifiesIt) {
  HWND p = Top();
  HWND c = Child(p, 0, 0, 10, 10, WS_CHILD | WS_VISIBLE, 3);
  SetFocus(c);
  Clear();
  DestroyWindow(c);
  EXPECT_EQ(Names(R().Of(nullptr, {WM_PARENTNOTIFY, WM_KILLFOCUS, WM_SETFOCUS, WM_DESTROY, WM_NCDESTROY})),
            (V{"WM_PARENTNOTIFY", "WM_KILLFOCUS", "WM_SETFOCUS", "WM_DESTROY", "WM_NCDESTROY"}));
  EXPECT_EQ(R().Last(p, WM_PARENTNOTIFY)->wp, MAKEWPARAM(WM_DESTROY, 3));
  EXPECT_EQ(GetFocus(), p);
}

TEST_F(WinTest, OwnedWindowsAreDestroyedBeforeTheirOwner) {
  HWND owner = Top();
  HWND owned = Top(10, 10, 100, 100, WS_POPUP | WS_VISIBLE, 0, owner);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  Clear();
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
  std::vector<HWND> order;
  for (const Rec& r : R().log)
    if (r.msg == WM_NCDESTROY) order.push_back(r.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{owned, owner}));
}

TEST_F(WinTest, HandlesAreNeverReused) {
  HWND a = Top();
  DestroyWindow(a);
  HWND b = Top();
  EXPECT_NE(a, b);
  EXPECT_FALSE(IsWindow(a));
  Clear();
  EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
  EXPECT_TRUE(R().log.empty());
  EXPECT_FALSE(GetWindowRect(a, nullptr));
}

TEST_F(WinTest, ActivationMovesBetweenTopLevelWindowsInThePlatformOrder) {
  HWND b = Top(0, 0, 200, 200);
  HWND a = Top(300, 0, 200, 200);
  ASSERT_EQ(GetActiveWindow(), a);
  Clear();
  SetActiveWindow(b);
  std::vector<std::pair<HWND, std::string>> seq;
  for (const Rec& r : R().log)
    if (std::find(kNoise.begin(), kNoise.end(), r.msg) == kNoise.end()) seq.push_back({r.hwnd, MsgName(r.msg)});
  std::vector<std::pair<HWND, std::string>> want = {
      {a, "WM_NCACTIVATE"},         {a, "WM_ACTIVATE"},  {b, "WM_WINDOWPOSCHANGING"},
      {b, "WM_WINDOWPOSCHANGED"},   {b, "WM_NCACTIVATE"}, {b, "WM_ACTIVATE"},
      {a, "WM_KILLFOCUS"},          {b, "WM_SETFOCUS"}};
  EXPECT_EQ(seq, want);
  EXPECT_EQ(R().Last(a, WM_ACTIVATE)->wp, WPARAM(WA_INACTIVE));
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(a, WM_ACTIVATE)->lp), b);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(b, WM_ACTIVATE)->lp), a);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(a, WM_KILLFOCUS)->wp), b);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(b, WM_SETFOCUS)->wp), a);
  EXPECT_EQ(GetTopWindow(nullptr), b);
  EXPECT_EQ(R().Count(nullptr, WM_ACTIVATEAPP), 0);  // the application stayed active
}

TEST_F(WinTest, ActivationRestoresTheFocusedChild) {
  HWND a = Top(0, 0, 200, 200);
  HWND c = Child(a, 0, 0, 20, 20);
  HWND b = Top(300, 0, 200, 200);
  SetFocus(c);  // activates a again
  EXPECT_EQ(GetActiveWindow(), a);
  SetActiveWindow(b);
  EXPECT_EQ(GetFocus(), b);
  SetActiveWindow(a);
  EXPECT_EQ(GetFocus(), c);
}

TEST_F(WinTest, HidingTheActiveWindowActivatesTheNextOne) {
  HWND a = Top(0, 0, 200, 200);
  HWND b = Top(300, 0, 200, 200);
  Clear();
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(Names(R().Without(b, kNoise)),
            (V{"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_ACTIVATE",
               "WM_KILLFOCUS"}));
  EXPECT_EQ(R().Last(b, WM_SHOWWINDOW)->wp, WPARAM(FALSE));
  EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(WinTest, ResizingAndMovingSendTheirMessages) {
  HWND h = Top(0, 0, 300, 200);
  Clear();
  SetWindowPos(h, nullptr, 0, 0, 350, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Names(R().Without(h, kNoise)),
            (V{"WM_WINDOWPOSCHANGING", "WM_GETMINMAXINFO", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_SIZE"}));
  EXPECT_EQ(R().Last(h, WM_SIZE)->lp, MAKELPARAM(342, 223));
  Clear();
  MoveWindow(h, 40, 50, 350, 250, TRUE);
  EXPECT_EQ(Names(R().Without(h, kNoise)), (V{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE"}));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{40, 50, 390, 300}));
  // the minimum tracking size holds
  SetWindowPos(h, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(h, &r);
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.Height(), GetSystemMetrics(SM_CYMINTRACK));
}

TEST_F(WinTest, WindowPosChangingCanAlterTheRequest) {
  HWND h = Top(0, 0, 300, 200, WS_POPUP | WS_VISIBLE);
  R().handler = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->cx = 123;
    return false;
  };
  SetWindowPos(h, nullptr, 5, 5, 400, 400, SWP_NOZORDER);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{5, 5, 128, 405}));
}

TEST_F(WinTest, MaximiseAndRestoreKeepTheNormalPosition) {
  HWND h = Top(10, 20, 300, 200);
  ShowWindow(h, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_EQ(R().Last(h, WM_SIZE)->wp, WPARAM(SIZE_MAXIMIZED));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{-4, -4, 1924, 1084}));
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(h));
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{10, 20, 310, 220}));
  EXPECT_EQ(R().Last(h, WM_SIZE)->wp, WPARAM(SIZE_RESTORED));
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(R().Last(h, WM_SIZE)->wp, WPARAM(SIZE_MINIMIZED));
  EXPECT_NE(GetActiveWindow(), h);
}

TEST_F(WinTest, ZOrderFollowsTopmostAndOwnership) {
  HWND a = Top(0, 0, 100, 100);
  HWND t = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND b = Top(0, 0, 100, 100);
  EXPECT_EQ(GetTopWindow(nullptr), t);  // a topmost window stays above the others
  EXPECT_EQ(GetWindow(t, GW_HWNDNEXT), b);
  HWND owned = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, 0, a);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // the owner comes up with its owned window above it
  EXPECT_EQ(GetWindow(t, GW_HWNDNEXT), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), a);
  SetWindowPos(t, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(GetWindowLongA(t, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  EXPECT_EQ(GetWindow(GetTopWindow(nullptr), GW_HWNDLAST), a);
}

TEST_F(WinTest, GeometryAndHierarchyQueries) {
  HWND p = Top(100, 100, 400, 300);
  HWND c = Child(p, 10, 20, 100, 50, WS_CHILD | WS_VISIBLE | WS_BORDER);
  HWND g = Child(c, 5, 5, 10, 10);
  POINT pt{0, 0};
  ClientToScreen(c, &pt);
  EXPECT_EQ(pt, (POINT{100 + 4 + 10 + 1, 100 + 23 + 20 + 1}));
  ScreenToClient(c, &pt);
  EXPECT_EQ(pt, (POINT{0, 0}));
  POINT pts[2] = {{0, 0}, {1, 1}};
  MapWindowPoints(g, p, pts, 2);
  EXPECT_EQ(pts[0], (POINT{10 + 1 + 5, 20 + 1 + 5}));
  EXPECT_TRUE(IsChild(p, g));
  EXPECT_FALSE(IsChild(g, p));
  EXPECT_EQ(GetAncestor(g, GA_ROOT), p);
  EXPECT_EQ(GetAncestor(g, GA_PARENT), c);
  EXPECT_EQ(ChildWindowFromPoint(p, {20, 30}), c);
  EXPECT_EQ(ChildWindowFromPoint(p, {300, 200}), p);
  EXPECT_EQ(WindowFromPoint({100 + 4 + 10 + 1 + 6, 100 + 23 + 20 + 1 + 6}), g);
  ShowWindow(g, SW_HIDE);
  EXPECT_EQ(WindowFromPoint({100 + 4 + 10 + 1 + 6, 100 + 23 + 20 + 1 + 6}), c);
  EXPECT_EQ(ChildWindowFromPointEx(c, {6, 6}, CWP_SKIPINVISIBLE), c);
  EXPECT_EQ(ChildWindowFromPointEx(c, {6, 6}, CWP_ALL), g);
  int n = 0;
  EnumChildWindows(p, [](HWND, LPARAM l) -> BOOL { ++*reinterpret_cast<int*>(l); return TRUE; },
                   reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(n, 2);
  // re-parenting moves the window between the lists
  HWND other = Top(0, 0, 100, 100);
  EXPECT_EQ(SetParent(g, other), c);
  EXPECT_EQ(GetParent(g), other);
  EXPECT_FALSE(IsChild(p, g));
  EXPECT_EQ(SetParent(other, g), nullptr);  // a window never goes below its own descendant
}

TEST_F(WinTest, WindowDataAndSubclassing) {
  HWND h = Top();
  SetWindowLongA(h, GWL_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongA(h, GWL_USERDATA), 1234);
  static WNDPROC old;
  static int seen;
  seen = 0;
  old = reinterpret_cast<WNDPROC>(SetWindowLongA(
      h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER + 1) ++seen;
        return CallWindowProcA(old, w, m, wp, lp);
      })));
  EXPECT_EQ(old, &RecProc);
  Clear();
  SendMessageA(h, WM_USER + 1, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(R().Count(h, WM_USER + 1), 1);  // passed on to the original procedure
  Clear();
  SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_VSCROLL);
  EXPECT_EQ(Names(R().Of(h, {WM_STYLECHANGING, WM_STYLECHANGED})), (V{"WM_STYLECHANGING", "WM_STYLECHANGED"}));
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
  SetWindowTextA(h, "\xBD\xDA\xB5\xE3");
  char buf[4];
  // a double-byte character is never cut in half
  EXPECT_EQ(GetWindowTextA(h, buf, 4), 2);
  EXPECT_STREQ(buf, "\xBD\xDA");
  EXPECT_EQ(GetWindowTextLengthA(h), 4);
  SetPropA(h, "Obj", reinterpret_cast<HANDLE>(42));
  EXPECT_EQ(GetPropA(h, "obj"), reinterpret_cast<HANDLE>(42));
  for (const char* other : {"Ob", "Objs", "", "0bj"}) EXPECT_EQ(GetPropA(h, other), nullptr) << other;
  EXPECT_EQ(RemovePropA(h, "OBJ"), reinterpret_cast<HANDLE>(42));
  EXPECT_EQ(GetPropA(h, "Obj"), nullptr);
}

// ---------------------------------------------------------------------------
// the queue

TEST_F(WinTest, PostedMessagesArriveInOrderAndDestroyedWindowsLoseTheirs) {
  HWND a = Top();
  HWND b = Top();
  PostMessageA(a, WM_USER, 1, 0);
  PostMessageA(b, WM_USER, 2, 0);
  PostMessageA(a, WM_USER, 3, 0);
  DestroyWindow(b);
  Clear();
  Pump();
  std::vector<WPARAM> got;
  for (const Rec& r : R().log)
    if (r.msg == WM_USER) got.push_back(r.wp);
  EXPECT_EQ(got, (std::vector<WPARAM>{1, 3}));
}

TEST_F(WinTest, PeekMessageFiltersAndLeavesMessagesWhenAsked) {
  HWND h = Top();
  Pump();
  PostMessageA(h, WM_USER + 5, 0, 0);
  PostMessageA(h, WM_USER + 1, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 9, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&m, HwndFromValue(-1), 0, 0, PM_REMOVE));  // thread messages only
  EXPECT_EQ(m.message, WM_APP);
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_TRUE(PeekMessageA(&m, h, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 5);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinTest, NestedLoopsPassTheQuitMessageOutwards) {
  HWND h = Top();
  Pump();
  static int innerCount;
  innerCount = 0;
  R().handler = [](HWND w, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m == WM_USER) {
      PostMessageA(w, WM_USER + 1, 0, 0);
      PostQuitMessage(7);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0)) {
        ++innerCount;
        DispatchMessageA(&msg);
      }
      PostQuitMessage(int(msg.wParam));  // a modal loop hands WM_QUIT on
      return true;
    }
    return false;
  };
  PostMessageA(h, WM_USER, 0, 0);
  MSG msg;
  int outer = 0;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    DispatchMessageA(&msg);
    ++outer;
  }
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(innerCount, 1);  // the message posted before the quit
  EXPECT_EQ(R().Count(h, WM_USER + 1), 1);
  EXPECT_EQ(outer, 1);
}

TEST_F(WinTest, GetMessageWithNothingToWaitForFailsInsteadOfHanging) {
  Top();
  Pump();
  MSG m;
  EXPECT_THROW(GetMessageA(&m, nullptr, 0, 0), EInvalidOperation);
}

TEST_F(WinTest, RegisteredMessagesAreStableAndCaseBlind) {
  UINT a = RegisterWindowMessageA("PvTestMessage");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("pvtestmessage"), a);
  EXPECT_NE(RegisterWindowMessageA("Other"), a);
  EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

// ---------------------------------------------------------------------------
// hooks

namespace {
std::vector<std::string> g_hookLog;
HHOOK g_h1, g_h2;
}  // namespace

TEST_F(WinTest, CallWindowProcHooksSeeSentMessagesNewestFirst) {
  g_hookLog.clear();
  g_h1 = SetWindowsHookExA(WH_CALLWNDPROC, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    auto* c = reinterpret_cast<CWPSTRUCT*>(l);
    if (c->message == WM_CREATE || c->message == WM_USER) g_hookLog.push_back("old:" + MsgName(c->message));
    return CallNextHookEx(g_h1, code, w, l);
  }, nullptr, GetCurrentThreadId());
  g_h2 = SetWindowsHookExA(WH_CALLWNDPROC, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    auto* c = reinterpret_cast<CWPSTRUCT*>(l);
    if (c->message == WM_CREATE || c->message == WM_USER) g_hookLog.push_back("new:" + MsgName(c->message));
    return CallNextHookEx(g_h2, code, w, l);
  }, nullptr, GetCurrentThreadId());
  HWND h = Top();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(g_hookLog, (V{"new:WM_CREATE", "old:WM_CREATE", "new:WM_USER", "old:WM_USER"}));
  EXPECT_EQ(PvHookCount(WH_CALLWNDPROC), 2);
  EXPECT_TRUE(UnhookWindowsHookEx(g_h2));
  EXPECT_FALSE(UnhookWindowsHookEx(g_h2));
  EXPECT_EQ(PvHookCount(WH_CALLWNDPROC), 1);
  EXPECT_EQ(PvHookCount(WH_MOUSE), 0);
  g_hookLog.clear();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(g_hookLog, (V{"old:WM_USER"}));
  UnhookWindowsHookEx(g_h1);
  EXPECT_EQ(PvHookCount(WH_CALLWNDPROC), 0);
}

TEST_F(WinTest, GetMessageHookCanRewriteAMessage) {
  HWND h = Top();
  Pump();
  g_h1 = SetWindowsHookExA(WH_GETMESSAGE, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    auto* m = reinterpret_cast<MSG*>(l);
    if (m->message == WM_USER && w == PM_REMOVE) m->wParam = 99;
    return CallNextHookEx(g_h1, code, w, l);
  }, nullptr, 0);
  PostMessageA(h, WM_USER, 1, 0);
  Clear();
  Pump();
  UnhookWindowsHookEx(g_h1);
  ASSERT_TRUE(R().Last(h, WM_USER));
  EXPECT_EQ(R().Last(h, WM_USER)->wp, 99u);
}

TEST_F(WinTest, KeyboardAndMouseHooksCanSwallowInput) {
  HWND h = Top(0, 0, 200, 200);
  Pump();
  static int keyCalls;
  keyCalls = 0;
  g_h1 = SetWindowsHookExA(WH_KEYBOARD, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    ++keyCalls;
    if (code == HC_ACTION && w == 'X') return 1;  // swallowed
    return CallNextHookEx(g_h1, code, w, l);
  }, nullptr, 0);
  g_h2 = SetWindowsHookExA(WH_MOUSE, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    if (code == HC_ACTION && w == WM_RBUTTONDOWN) return 1;
    return CallNextHookEx(g_h2, code, w, l);
  }, nullptr, 0);
  Clear();
  hb->Key('X');
  hb->Key('Y');
  hb->Click(50, 50, HeadlessBackend::Right);
  Pump();
  UnhookWindowsHookEx(g_h1);
  UnhookWindowsHookEx(g_h2);
  EXPECT_EQ(Names(R().Of(h, {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_RBUTTONDOWN, WM_RBUTTONUP})),
            (V{"WM_KEYDOWN", "WM_CHAR", "WM_KEYUP", "WM_RBUTTONUP"}));
  EXPECT_EQ(R().Last(h, WM_CHAR)->wp, WPARAM('y'));
  EXPECT_EQ(keyCalls, 4);
}

// ---------------------------------------------------------------------------
// timers

TEST_F(WinTest, TimersFireByTheInjectedClockAndCoalesce) {
  HWND h = Top();
  Pump();
  ASSERT_TRUE(SetTimer(h, 5, 100, nullptr));
  Clear();
  hb->AdvanceClock(99);
  Pump();
  EXPECT_EQ(R().Count(h, WM_TIMER), 0);
  hb->AdvanceClock(1);
  Pump();
  EXPECT_EQ(R().Count(h, WM_TIMER), 1);
  EXPECT_EQ(R().Last(h, WM_TIMER)->wp, 5u);
  hb->AdvanceClock(1000);  // many periods pass: one WM_TIMER
  Pump();
  EXPECT_EQ(R().Count(h, WM_TIMER), 2);
  EXPECT_TRUE(KillTimer(h, 5));
  EXPECT_FALSE(KillTimer(h, 5));
  hb->AdvanceClock(1000);
  Pump();
  EXPECT_EQ(R().Count(h, WM_TIMER), 2);
}

TEST_F(WinTest, ThreadTimersCallTheirProcedureAndGetMessageWaitsOnTheVirtualClock) {
  static int calls;
  static UINT_PTR seenId;
  calls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 250, [](HWND, UINT m, UINT_PTR i, DWORD) {
    EXPECT_EQ(m, WM_TIMER);
    seenId = i;
    ++calls;
  });
  ASSERT_NE(id, 0u);
  DWORD start = GetTickCount();
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));  // waits: the clock moves to the timer
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(GetTickCount() - start, 250u);
  DispatchMessageA(&m);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seenId, id);
  // a forged WM_TIMER with a procedure that is not a registered timer is not called
  MSG forged = m;
  forged.wParam = id + 1;
  DispatchMessageA(&forged);
  EXPECT_EQ(calls, 1);
  KillTimer(nullptr, id);
}

TEST_F(WinTest, TimersOfADestroyedWindowStop) {
  HWND h = Top();
  SetTimer(h, 1, 10, nullptr);
  DestroyWindow(h);
  hb->AdvanceClock(100);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

// ---------------------------------------------------------------------------
// focus, capture, mouse and keyboard

TEST_F(WinTest, FocusMessagesCarryTheOtherWindow) {
  HWND p = Top();
  HWND a = Child(p, 0, 0, 10, 10);
  HWND b = Child(p, 20, 0, 10, 10);
  SetFocus(a);
  Clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Names(R().Without(nullptr, kNoise)), (V{"WM_KILLFOCUS", "WM_SETFOCUS"}));
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(a, WM_KILLFOCUS)->wp), b);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(b, WM_SETFOCUS)->wp), a);
  EnableWindow(b, FALSE);  // a disabled window gives up the focus
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetFocus(b), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WinTest, CaptureMovesWithNotificationAndGetsMouseOutside) {
  HWND a = Top(0, 0, 200, 200);
  HWND b = Top(300, 0, 200, 200);
  Pump();
  SetCapture(a);
  Clear();
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(a, WM_CAPTURECHANGED)->lp), b);
  Clear();
  hb->Click(10, 10);  // over a, but b has the capture
  Pump();
  EXPECT_EQ(R().Count(a, WM_LBUTTONDOWN), 0);
  ASSERT_EQ(R().Count(b, WM_LBUTTONDOWN), 1);
  POINT origin{0, 0};
  ClientToScreen(b, &origin);
  EXPECT_EQ(R().Last(b, WM_LBUTTONDOWN)->lp, MAKELPARAM(10 - origin.x, 10 - origin.y));
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(R().Count(b, WM_CAPTURECHANGED), 1);
  SetCapture(b);
  ShowWindow(b, SW_HIDE);  // a hidden window loses the capture
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinTest, ClickingAnInactiveWindowActivatesItInThePlatformOrder) {
  HWND a = Top(0, 0, 200, 200);
  HWND b = Top(300, 0, 200, 200);
  (void)b;
  hb->MouseMove(50, 50);
  Pump();
  Clear();
  hb->Click(50, 50);
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(Names(R().Of(a, {WM_NCHITTEST, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN,
                             WM_LBUTTONUP})),
            (V{"WM_NCHITTEST", "WM_MOUSEACTIVATE", "WM_ACTIVATE", "WM_SETCURSOR", "WM_LBUTTONDOWN", "WM_NCHITTEST",
               "WM_SETCURSOR", "WM_LBUTTONUP"}));
  EXPECT_EQ(LOWORD(R().Last(a, WM_ACTIVATE)->wp), WA_CLICKACTIVE);
  EXPECT_EQ(R().Last(a, WM_SETCURSOR)->lp, MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
}

TEST_F(WinTest, MouseActivateResultsDecideActivationAndEating) {
  struct Case {
    LRESULT answer;
    bool activated;
    bool delivered;
  } cases[] = {{MA_ACTIVATE, true, true},
               {MA_ACTIVATEANDEAT, true, false},
               {MA_NOACTIVATE, false, true},
               {MA_NOACTIVATEANDEAT, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    PvResetWindowManager();
    HWND a = Top(0, 0, 200, 200);
    HWND b = Top(300, 0, 200, 200);
    Pump();
    static LRESULT answer;
    answer = c.answer;
    R().handler = [a](HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
      if (h == a && m == WM_MOUSEACTIVATE) {
        *r = answer;
        return true;
      }
      return false;
    };
    Clear();
    hb->MouseDown(50, 50);
    Pump();
    EXPECT_EQ(GetActiveWindow() == a, c.activated);
    EXPECT_EQ(GetActiveWindow() == b, !c.activated);
    EXPECT_EQ(R().Count(a, WM_LBUTTONDOWN) == 1, c.delivered);
    hb->MouseUp(50, 50);
    Pump();
    R().handler = nullptr;
  }
}

TEST_F(WinTest, DoubleClicksDependOnClassStyleTimeAndDistance) {
  struct Case {
    const char* cls;
    int secondX;
    DWORD wait;
    bool dbl;
  } cases[] = {{"Rec", 50, 0, true},      {"Rec", 50, 500, true},  {"Rec", 50, 501, false},
               {"Rec", 53, 0, false},     {"RecNoDbl", 50, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cls) + " " + std::to_string(c.secondX) + " " + std::to_string(c.wait));
    PvResetWindowManager();
    HWND h = CreateWindowExA(0, c.cls, "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    Pump();
    Clear();
    hb->Click(50, 50);
    Pump();
    hb->AdvanceClock(c.wait);
    hb->Click(c.secondX, 50);
    Pump();
    V want = c.dbl ? V{"WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK", "WM_LBUTTONUP"}
                   : V{"WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDOWN", "WM_LBUTTONUP"};
    EXPECT_EQ(Names(R().Of(h, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK})), want);
  }
}

TEST_F(WinTest, KeysTranslateToCharactersAndKeepTheKeyboardState) {
  HWND h = Top();
  Pump();
  static SHORT shiftDuringKey;
  R().handler = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_KEYDOWN && w == 'A') shiftDuringKey = GetKeyState(VK_SHIFT);
    return false;
  };
  Clear();
  hb->Key('A', HeadlessBackend::Shift);
  hb->Key('B');
  hb->Key('C', HeadlessBackend::Ctrl);
  hb->Key('1', HeadlessBackend::Shift);
  Pump();
  std::string chars;
  for (const Rec& r : R().log)
    if (r.msg == WM_CHAR) chars.push_back(char(r.wp));
  EXPECT_EQ(chars, std::string("Ab\x03!"));
  EXPECT_TRUE(shiftDuringKey & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  const Rec* down = nullptr;
  const Rec* up = nullptr;
  for (const Rec& r : R().log) {
    if (r.msg == WM_KEYDOWN && r.wp == 'B') down = &r;
    if (r.msg == WM_KEYUP && r.wp == 'B') up = &r;
  }
  ASSERT_TRUE(down && up);
  EXPECT_EQ(DWORD(down->lp) & 0xFFFF, 1u);                 // repeat count
  EXPECT_EQ((DWORD(down->lp) >> 16) & 0xFF, 0x30u);        // scan code of B
  EXPECT_EQ(DWORD(down->lp) >> 30, 0u);                    // was up, goes down
  EXPECT_EQ(DWORD(up->lp) >> 30, 3u);                      // was down, goes up
  // Alt makes system keys
  Clear();
  hb->Key('F', HeadlessBackend::Alt);
  Pump();
  EXPECT_EQ(Names(R().Of(h, {WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP})),
            (V{"WM_SYSKEYDOWN", "WM_SYSKEYDOWN", "WM_SYSCHAR", "WM_SYSKEYUP", "WM_KEYUP"}));
  // a key whose layout types a double-byte character gives its lead and trail bytes
  Clear();
  hb->KeyDown(VK_OEM_3, false, "\xC2\xB7");  // U+00B7 MIDDLE DOT, A1A4 in the code page
  Pump();
  std::vector<WPARAM> dbcs;
  for (const Rec& r : R().log)
    if (r.msg == WM_CHAR) dbcs.push_back(r.wp);
  EXPECT_EQ(dbcs, (std::vector<WPARAM>{0xA1, 0xA4}));
}

TEST_F(WinTest, KeyStateTogglesAndCanBeSet) {
  Top();
  Pump();
  hb->Key(VK_CAPITAL);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);
  EXPECT_EQ(MapVirtualKeyA('A', MAPVK_VK_TO_VSC), 0x1Eu);
  EXPECT_EQ(MapVirtualKeyA(0x1E, MAPVK_VSC_TO_VK), UINT('A'));
  EXPECT_EQ(VkKeyScanA('a'), 'A');
  EXPECT_EQ(VkKeyScanA('A'), 0x100 | 'A');
  EXPECT_EQ(VkKeyScanA('?'), 0x100 | VK_OEM_2);
}

TEST_F(WinTest, WheelGoesToTheFocusWindowAndUpTheParents) {
  HWND p = Top(0, 0, 300, 300);
  HWND c = Child(p, 0, 0, 50, 50);
  SetFocus(c);
  Pump();
  Clear();
  hb->Wheel(200, 200, -120);
  Pump();
  ASSERT_EQ(R().Count(c, WM_MOUSEWHEEL), 1);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(R().Last(c, WM_MOUSEWHEEL)->wp), -120);
  EXPECT_EQ(R().Last(c, WM_MOUSEWHEEL)->lp, MAKELPARAM(200, 200));
  EXPECT_EQ(R().Count(p, WM_MOUSEWHEEL), 1);  // passed on by the default procedure
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(lines, 3u);
}

TEST_F(WinTest, MouseLeaveIsPostedOnceTheCursorLeaves) {
  HWND a = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND b = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  hb->MouseMove(50, 50);
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  TRACKMOUSEEVENT q;
  q.dwFlags = TME_QUERY;
  TrackMouseEvent(&q);
  EXPECT_EQ(q.hwndTrack, a);
  EXPECT_EQ(q.dwFlags & TME_LEAVE, TME_LEAVE);
  Clear();
  hb->MouseMove(60, 60);
  Pump();
  EXPECT_EQ(R().Count(a, WM_MOUSELEAVE), 0);
  hb->MouseMove(250, 50);
  hb->MouseMove(50, 50);
  hb->MouseMove(250, 50);
  Pump();
  EXPECT_EQ(R().Count(a, WM_MOUSELEAVE), 1);
  EXPECT_GE(R().Count(b, WM_MOUSEMOVE), 1);
}

// A window that answers HTCLIENT over a band of its frame gets client mouse
// messages there, and tracking the mouse there does not end at once.
TEST_F(WinTest, MouseTrackingFollowsTheWindowsHitTest) {
  R().handler = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT* r) {
    if (m == WM_NCCALCSIZE) {
      reinterpret_cast<RECT*>(l)->top += 10;  // a 10-pixel band above the client area
      *r = 0;
      return true;
    }
    if (m == WM_NCHITTEST) {
      *r = HTCLIENT;
      return true;
    }
    return false;
  };
  HWND a = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  hb->MouseMove(50, 5);
  Pump();
  ASSERT_GE(R().Count(a, WM_MOUSEMOVE), 1);
  Clear();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  hb->MouseMove(51, 5);
  Pump();
  EXPECT_EQ(R().Count(a, WM_MOUSELEAVE), 0);
  hb->MouseMove(250, 50);
  Pump();
  EXPECT_EQ(R().Count(a, WM_MOUSELEAVE), 1);
  R().handler = nullptr;
}

TEST_F(WinTest, InputMethodCommitArrivesAsCodePageBytesAndFourChars) {
  HWND h = Top();
  Pump();
  static std::string during;
  R().handler = [](HWND w, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_IME_COMPOSITION && (l & GCS_RESULTSTR)) {
      HIMC imc = ImmGetContext(w);
      LONG n = ImmGetCompositionStringA(imc, GCS_RESULTSTR, nullptr, 0);
      during.assign(std::size_t(n), '\0');
      ImmGetCompositionStringA(imc, GCS_RESULTSTR, during.data(), DWORD(n));
      ImmReleaseContext(w, imc);
    }
    return false;
  };
  Clear();
  hb->CommitText("\xE8\x8A\x82\xE7\x82\xB9");  // 节点 in UTF-8
  Pump();
  EXPECT_EQ(during, "\xBD\xDA\xB5\xE3");
  EXPECT_EQ(Names(R().Of(h, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_CHAR,
                             WM_CHAR})),
            (V{"WM_IME_STARTCOMPOSITION", "WM_IME_COMPOSITION", "WM_IME_CHAR", "WM_IME_CHAR",
               "WM_IME_ENDCOMPOSITION", "WM_CHAR", "WM_CHAR", "WM_CHAR", "WM_CHAR"}));
  std::vector<WPARAM> imeChars, chars;
  for (const Rec& r : R().log) {
    if (r.msg == WM_IME_CHAR) imeChars.push_back(r.wp);
    if (r.msg == WM_CHAR) chars.push_back(r.wp);
  }
  EXPECT_EQ(imeChars, (std::vector<WPARAM>{0xBDDA, 0xB5E3}));
  EXPECT_EQ(chars, (std::vector<WPARAM>{0xBD, 0xDA, 0xB5, 0xE3}));
  EXPECT_EQ(R().Last(h, WM_IME_COMPOSITION)->wp, 0xBDDAu);
}

TEST_F(WinTest, ClipboardRoundTripKeepsCodePageText) {
  HWND h = Top();
  const std::string text = "\xBD\xDA\xB5\xE3 node";
  ASSERT_TRUE(OpenClipboard(h));
  EXPECT_FALSE(OpenClipboard(h));  // already open
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(g), text.c_str(), text.size() + 1);
  GlobalUnlock(g);
  EXPECT_EQ(SetClipboardData(CF_TEXT, g), g);
  UINT custom = RegisterClipboardFormatA("Penvarro Nodes");
  HGLOBAL g2 = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(g2), "abc", 3);
  GlobalUnlock(g2);
  SetClipboardData(custom, g2);
  CloseClipboard();
  // the desktop sees UTF-8
  std::string desktop;
  ASSERT_TRUE(hb->GetClipboard("text/plain;charset=utf-8", desktop));
  EXPECT_EQ(desktop, "\xE8\x8A\x82\xE7\x82\xB9 node");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(custom));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(got);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(got))), text);
  GlobalUnlock(got);
  HANDLE wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_TRUE(wide);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(wide))), u"\u8282\u70B9 node");
  GlobalUnlock(wide);
  HANDLE c = GetClipboardData(custom);
  EXPECT_EQ(GlobalSize(c), 3u);
  EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), custom);
  CloseClipboard();
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // closed
  // text another program put there arrives in the code page
  ASSERT_TRUE(OpenClipboard(h));
  EmptyClipboard();
  CloseClipboard();
  hb->SetDesktopClipboardText("\xE6\x96\x87");  // 文
  ASSERT_TRUE(OpenClipboard(h));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(t);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(t))), "\xCE\xC4");
  CloseClipboard();
}

TEST_F(WinTest, SystemValuesAreTheClassicOnes) {
  struct {
    int index, value;
  } metrics[] = {{SM_CXVSCROLL, 16}, {SM_CYHSCROLL, 16}, {SM_CXSIZE, 18},   {SM_CYSIZE, 18},    {SM_CYCAPTION, 19},
                 {SM_CXBORDER, 1},   {SM_CXDLGFRAME, 3}, {SM_CXFRAME, 4},   {SM_CXDRAG, 4},     {SM_CXSMICON, 16},
                 {SM_CXICON, 32},    {SM_CYCURSOR, 32},  {SM_CXSCREEN, 1920}, {SM_CYSCREEN, 1080}};
  for (auto m : metrics) EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 1920, 1080}));
  OSVERSIONINFOA v;
  GetVersionExA(&v);
  EXPECT_EQ(v.dwMajorVersion, 5u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(GetProcAddress(LoadLibraryA("uxtheme.dll"), "OpenThemeData"), nullptr);
  EXPECT_NE(GetProcAddress(LoadLibraryA("USER32.DLL"), "TrackMouseEvent"), nullptr);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  int before = PvBeepCount();
  MessageBeep(MB_OK);
  EXPECT_EQ(PvBeepCount(), before + 1);
  HMONITOR m = MonitorFromPoint({5000, 5000}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfoA(m, &mi));
  EXPECT_EQ(mi.rcMonitor, (RECT{0, 0, 1920, 1080}));
  EXPECT_EQ(MonitorFromPoint({5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(WinTest, ShellOpensOnlyAddressesAndExistingFiles) {
  EXPECT_GT(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "OPEN", "https://example.org/", nullptr, nullptr, 1)), 32);
  EXPECT_LE(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "open", "ftp://x", nullptr, nullptr, 1)), 32);
  EXPECT_LE(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "open", "/no/such/file", nullptr, nullptr, 1)), 32);
  EXPECT_LE(reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "delete", "https://e.org", nullptr, nullptr, 1)), 32);
  EXPECT_EQ(hb->ShellOpened(), (std::vector<std::string>{"https://example.org/"}));
}

TEST_F(WinTest, NotificationIconGoesThroughTheBackend) {
  HWND h = Top();
  NOTIFYICONDATAA d;
  d.hWnd = h;
  d.uID = 1;
  std::strcpy(d.szTip, "\xBD\xDA");
  d.uFlags = NIF_MESSAGE | NIF_TIP;
  d.uCallbackMessage = WM_APP + 7;
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &d));
  EXPECT_EQ(hb->TrayIcons().at(1), "\xE8\x8A\x82");
  Clear();
  hb->TrayMouse(1, WM_RBUTTONUP);
  Pump();
  ASSERT_EQ(R().Count(h, WM_APP + 7), 1);
  EXPECT_EQ(R().Last(h, WM_APP + 7)->wp, 1u);
  EXPECT_EQ(R().Last(h, WM_APP + 7)->lp, LPARAM(WM_RBUTTONUP));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &d));
  hb->SetTrayAvailable(false);
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &d));
}

TEST_F(WinTest, DroppedFilesReachTheAcceptingWindow) {
  HWND p = Top(0, 0, 300, 300);
  HWND c = Child(p, 0, 0, 100, 100);
  DragAcceptFiles(p, TRUE);
  Pump();
  static std::vector<std::string> files;
  static POINT where;
  files.clear();
  R().handler = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m != WM_DROPFILES) return false;
    HDROP d = reinterpret_cast<HDROP>(w);
    UINT n = DragQueryFileA(d, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      char buf[260];
      DragQueryFileA(d, i, buf, sizeof buf);
      files.push_back(buf);
    }
    DragQueryPoint(d, &where);
    DragFinish(d);
    return true;
  };
  POINT o{10, 10};
  ClientToScreen(c, &o);
  hb->DropFiles(o.x, o.y, {"/tmp/\xE6\x96\x87.t", "/tmp/b.l"});
  Pump();
  EXPECT_EQ(R().Count(p, WM_DROPFILES), 1);  // the child does not accept: its parent gets them
  EXPECT_EQ(files, (std::vector<std::string>{"/tmp/\xCE\xC4.t", "/tmp/b.l"}));
  POINT pc{o.x, o.y};
  ScreenToClient(p, &pc);
  EXPECT_EQ(where, pc);
}

TEST_F(WinTest, InputMethodCompositionShowsItsStringUntilCommittedOrCancelled) {
  HWND h = Top();
  Pump();
  static std::vector<std::string> comps;
  comps.clear();
  R().handler = [](HWND w, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_IME_COMPOSITION && (l & GCS_COMPSTR)) {
      HIMC imc = ImmGetContext(w);
      char buf[32] = {};
      ImmGetCompositionStringA(imc, GCS_COMPSTR, buf, sizeof buf - 1);
      comps.push_back(buf);
    }
    return false;
  };
  Clear();
  hb->ComposeText("j");
  hb->ComposeText("jie");
  hb->CommitText("\xE8\x8A\x82");  // 节
  Pump();
  EXPECT_EQ(comps, (V{"j", "jie"}));
  EXPECT_EQ(Names(R().Of(h, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR})),
            (V{"WM_IME_STARTCOMPOSITION", "WM_IME_COMPOSITION", "WM_IME_COMPOSITION", "WM_IME_COMPOSITION",
               "WM_IME_ENDCOMPOSITION", "WM_CHAR", "WM_CHAR"}));
  Clear();
  hb->ComposeText("x");
  hb->ComposeText("");
  Pump();
  EXPECT_EQ(Names(R().Of(h, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR})),
            (V{"WM_IME_STARTCOMPOSITION", "WM_IME_COMPOSITION", "WM_IME_COMPOSITION", "WM_IME_ENDCOMPOSITION"}));
}

TEST_F(WinTest, CbtHookCanRefuseCreationDestructionAndActivation) {
  static int refuse;
  refuse = -1;
  g_h1 = SetWindowsHookExA(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    if (code == refuse) return 1;
    return CallNextHookEx(g_h1, code, w, l);
  }, nullptr, 0);
  refuse = HCBT_CREATEWND;
  EXPECT_EQ(Top(), nullptr);
  refuse = -1;
  HWND a = Top(0, 0, 100, 100);
  HWND b = Top(200, 0, 100, 100);
  refuse = HCBT_DESTROYWND;
  EXPECT_FALSE(DestroyWindow(a));
  EXPECT_TRUE(IsWindow(a));
  refuse = HCBT_ACTIVATE;
  SetActiveWindow(a);
  EXPECT_EQ(GetActiveWindow(), b);
  refuse = -1;
  UnhookWindowsHookEx(g_h1);
}

TEST_F(WinTest, AdjustWindowRectMatchesTheClientAreaOfRealWindows) {
  struct Case {
    DWORD style, ex;
  } cases[] = {{WS_OVERLAPPEDWINDOW, 0},
               {WS_POPUP | WS_BORDER, 0},
               {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
               {WS_POPUP | WS_THICKFRAME | WS_CAPTION, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE},
               {WS_POPUP, WS_EX_STATICEDGE}};
  for (const Case& c : cases) {
    RECT want{50, 60, 250, 210};
    RECT r = want;
    ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, FALSE, c.ex));
    HWND h = CreateWindowExA(c.ex, "Rec", "", c.style, r.left, r.top, r.Width(), r.Height(), nullptr, nullptr,
                             nullptr, nullptr);
    RECT cr;
    GetClientRect(h, &cr);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    EXPECT_EQ((RECT{o.x, o.y, o.x + cr.right, o.y + cr.bottom}), want) << std::hex << c.style << " " << c.ex;
    DestroyWindow(h);
  }
}

TEST_F(WinTest, AltAloneAndAltLettersAskForTheMenu) {
  HWND p = Top();
  HWND c = Child(p, 0, 0, 50, 50);
  SetFocus(c);
  Pump();
  Clear();
  hb->Key(VK_MENU);
  hb->Key('F', HeadlessBackend::Alt);
  Pump();
  std::vector<std::pair<WPARAM, LPARAM>> cmds;
  for (const Rec& r : R().log)
    if (r.msg == WM_SYSCOMMAND) {
      EXPECT_EQ(r.hwnd, p);
      cmds.push_back({r.wp, r.lp});
    }
  EXPECT_EQ(cmds, (std::vector<std::pair<WPARAM, LPARAM>>{{SC_KEYMENU, 0}, {SC_KEYMENU, 'f'}}));
}

// Alt that served another key comes up as a plain WM_KEYUP (and opens no menu);
// Alt pressed and released alone stays a system key. Ctrl+Alt types only what
// the layout gives that combination.
TEST_F(WinTest, AltAfterAnotherKeyComesUpAsAPlainKey) {
  HWND p = Top();
  HWND c = Child(p, 0, 0, 50, 50);
  R().handler = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    return m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE;  // the window stays for the Alt release
  };
  struct Case {
    const char* what;
    std::function<void(HeadlessBackend*)> keys;
    UINT altUp;  // the message of the Alt release
    std::string chars;
    int keyMenus;  // SC_KEYMENU commands
  } cases[] = {
      {"Alt+F", [](HeadlessBackend* hb) { hb->Key('F', HeadlessBackend::Alt); }, WM_KEYUP, "f", 1},
      {"Alt+F4", [](HeadlessBackend* hb) { hb->Key(VK_F4, HeadlessBackend::Alt); }, WM_KEYUP, "", 0},
      {"Alt alone", [](HeadlessBackend* hb) { hb->Key(VK_MENU); }, WM_SYSKEYUP, "", 1},
      {"Ctrl+Alt+X", [](HeadlessBackend* hb) { hb->Key('X', HeadlessBackend::Ctrl | HeadlessBackend::Alt); },
       WM_KEYUP, "", 0},
      {"Ctrl+Alt+Q typing @",
       [](HeadlessBackend* hb) {
         hb->KeyDown(VK_CONTROL);
         hb->KeyDown(VK_MENU);
         hb->KeyDown('Q', false, "@");
         hb->KeyUp('Q');
         hb->KeyUp(VK_MENU);
         hb->KeyUp(VK_CONTROL);
       },
       WM_KEYUP, "@", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetFocus(c);
    Pump();
    Clear();
    k.keys(hb);
    Pump();
    if (GetCapture()) ReleaseCapture();
    const Rec* altUp = nullptr;
    std::string chars;
    int keyMenus = 0;
    for (const Rec& r : R().log) {
      if ((r.msg == WM_KEYUP || r.msg == WM_SYSKEYUP) && r.wp == VK_MENU) altUp = &r;
      if ((r.msg == WM_CHAR || r.msg == WM_SYSCHAR) && r.hwnd == c) chars.push_back(char(r.wp));
      if (r.msg == WM_SYSCOMMAND && (r.wp & 0xFFF0) == SC_KEYMENU) ++keyMenus;
    }
    ASSERT_TRUE(altUp);
    EXPECT_EQ(altUp->hwnd, c);
    EXPECT_EQ(MsgName(altUp->msg), MsgName(k.altUp));
    EXPECT_EQ((DWORD(altUp->lp) >> 29) & 1, k.altUp == WM_SYSKEYUP ? 1u : 0u);  // the context bit
    EXPECT_EQ(chars, k.chars);
    EXPECT_EQ(keyMenus, k.keyMenus);
  }
}

TEST_F(WinTest, OwnedPopupsHideWhileTheirOwnerIsMinimised) {
  HWND owner = Top();
  HWND tool = Top(10, 10, 50, 50, WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, owner);
  Clear();
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(tool));
  ASSERT_TRUE(R().Last(tool, WM_SHOWWINDOW));
  EXPECT_EQ(R().Last(tool, WM_SHOWWINDOW)->lp, LPARAM(SW_PARENTCLOSING));
  ShowWindow(owner, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(tool));
  EXPECT_EQ(R().Last(tool, WM_SHOWWINDOW)->lp, LPARAM(SW_PARENTOPENING));
  // a pop-up hidden on purpose stays hidden
  ShowWindow(tool, SW_HIDE);
  ShowWindow(owner, SW_MINIMIZE);
  ShowWindow(owner, SW_RESTORE);
  EXPECT_FALSE(IsWindowVisible(tool));
}

TEST_F(WinTest, ClipboardTurnsBitmapsIntoDibsAndBackAndRejectsBadHeaders) {
  HWND h = Top();
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 2, 2);
  ReleaseDC(nullptr, screen);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  SetPixel(mem, 0, 0, RGB(255, 0, 0));
  SetPixel(mem, 1, 1, RGB(0, 0, 255));
  SelectObject(mem, old);
  DeleteDC(mem);
  ASSERT_TRUE(OpenClipboard(h));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bmp);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  ASSERT_TRUE(OpenClipboard(h));
  HANDLE dib = GetClipboardData(CF_DIB);
  ASSERT_TRUE(dib);
  auto* p = static_cast<const unsigned char*>(GlobalLock(dib));
  BITMAPINFOHEADER hdr;
  std::memcpy(&hdr, p, sizeof hdr);
  EXPECT_EQ(hdr.biWidth, 2);
  EXPECT_EQ(hdr.biHeight, 2);
  EXPECT_EQ(hdr.biBitCount, 32);
  std::uint32_t px[4];
  std::memcpy(px, p + sizeof hdr, sizeof px);
  EXPECT_EQ(px[2] & 0xFFFFFF, 0xFF0000u);  // bottom-up: the top-left pixel is in the last row
  EXPECT_EQ(px[1] & 0xFFFFFF, 0x0000FFu);
  std::vector<unsigned char> copy(p, p + GlobalSize(dib));
  GlobalUnlock(dib);
  CloseClipboard();
  // a DIB put there by another program becomes a bitmap; a lying header does not
  for (bool lie : {false, true}) {
    SCOPED_TRACE(lie);
    std::vector<unsigned char> bytes = copy;
    if (lie) {
      BITMAPINFOHEADER bad = hdr;
      bad.biHeight = 100000;
      std::memcpy(bytes.data(), &bad, sizeof bad);
    }
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(g), bytes.data(), bytes.size());
    GlobalUnlock(g);
    ASSERT_TRUE(OpenClipboard(h));
    EmptyClipboard();
    SetClipboardData(CF_DIB, g);
    HBITMAP back = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (lie) {
      EXPECT_EQ(back, nullptr);
    } else {
      ASSERT_TRUE(back);
      HDC m2 = CreateCompatibleDC(nullptr);
      HGDIOBJ o2 = SelectObject(m2, back);
      EXPECT_EQ(GetPixel(m2, 0, 0), RGB(255, 0, 0));
      EXPECT_EQ(GetPixel(m2, 1, 1), RGB(0, 0, 255));
      SelectObject(m2, o2);
      DeleteDC(m2);
    }
    CloseClipboard();
  }
}
