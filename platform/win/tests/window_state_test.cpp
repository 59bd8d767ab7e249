// Hidden and minimised windows: a hidden window's pending paint does not keep
// the queue busy, a window minimised from maximised comes back maximised, and
// the desktop's own minimise and restore reach the window as its buttons would.
#include "platform/win/tests/wintest.h"

namespace {

using WindowStateTest = WinTest;

// A program whose windows are all hidden has nothing to do: the queue reports
// no work, so its loop sleeps instead of spinning on a paint it never gets.
TEST_F(WindowStateTest, AHiddenWindowsPendingPaintIsNoWork) {
  HWND top = Top();
  HWND child = Child(top, 10, 10, 50, 50);
  Pump();
  ASSERT_EQ(GetQueueStatus(QS_PAINT), 0u);
  // hidden before its paint came: the update regions stay
  InvalidateRect(top, nullptr, TRUE);
  InvalidateRect(child, nullptr, TRUE);
  ShowWindow(top, SW_HIDE);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), DWORD(WAIT_TIMEOUT));
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  // shown again, the paint is there
  ShowWindow(top, SW_SHOW);
  EXPECT_NE(GetQueueStatus(QS_PAINT) & QS_PAINT, 0u);
  Pump();
  EXPECT_EQ(GetQueueStatus(QS_PAINT), 0u);
}

TEST_F(WindowStateTest, RestoringAWindowMinimisedFromMaximisedMaximisesIt) {
  HWND h = Top(10, 20, 300, 200);
  ShowWindow(h, SW_MAXIMIZE);
  RECT maxed;
  GetWindowRect(h, &maxed);
  ShowWindow(h, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(h));
  ShowWindow(h, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_FALSE(IsIconic(h));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, maxed);
  EXPECT_EQ(R().Last(h, WM_SIZE)->wp, WPARAM(SIZE_MAXIMIZED));
  // restored from maximised, then minimised and restored: normal again
  ShowWindow(h, SW_RESTORE);
  ShowWindow(h, SW_MINIMIZE);
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(h));
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{10, 20, 310, 220}));
  // the normal position survives the round trip through maximised and minimised
  ShowWindow(h, SW_MAXIMIZE);
  ShowWindow(h, SW_MINIMIZE);
  ShowWindow(h, SW_RESTORE);
  ShowWindow(h, SW_RESTORE);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{10, 20, 310, 220}));
}

TEST_F(WindowStateTest, TheDesktopsMinimiseAndRestoreArriveAsSystemCommands) {
  HWND h = Top(10, 20, 300, 200);
  ShowWindow(h, SW_MAXIMIZE);
  Pump();
  const auto id = reinterpret_cast<BackendWindowId>(h);
  hb->MinimizeFromDesktop(id, true);
  Pump();
  EXPECT_TRUE(IsIconic(h));
  ASSERT_TRUE(R().Last(h, WM_SYSCOMMAND));
  EXPECT_EQ(R().Last(h, WM_SYSCOMMAND)->wp & 0xFFF0, WPARAM(SC_MINIMIZE));
  // a second report of the same state changes nothing
  Clear();
  hb->MinimizeFromDesktop(id, true);
  Pump();
  EXPECT_EQ(R().Count(h, WM_SYSCOMMAND), 0);
  hb->MinimizeFromDesktop(id, false);
  Pump();
  EXPECT_EQ(R().Last(h, WM_SYSCOMMAND)->wp & 0xFFF0, WPARAM(SC_RESTORE));
  EXPECT_FALSE(IsIconic(h));
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_TRUE(IsWindowVisible(h));
}

}  // namespace
