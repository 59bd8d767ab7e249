// Scroll bars: information rules and the codes sent by clicks and drags.
#include "platform/win/tests/wintest.h"

namespace {
std::vector<std::pair<UINT, int>> Codes(HWND h, UINT msg) {
  std::vector<std::pair<UINT, int>> r;
  for (const Rec& x : Recorder::Get().log)
    if (x.hwnd == h && x.msg == msg) r.push_back({LOWORD(x.wp), SHORT(HIWORD(x.wp))});
  return r;
}
using Codes_t = std::vector<std::pair<UINT, int>>;

// Range, page and position in one call, as most cases set them up.
int SetRangePagePos(HWND h, int Max, UINT Page, int Pos) {
  SCROLLINFO si{};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = Max;
  si.nPage = Page;
  si.nPos = Pos;
  return SetScrollInfo(h, SB_VERT, &si, TRUE);
}
}  // namespace

TEST_F(WinTest, ScrollInfoClampsPositionAndShowsTheBarWhenNeeded) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(SetRangePagePos(h, 99, 10, 500), 90);  // the last page starts at 90
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
  RECT cr;
  GetClientRect(h, &cr);
  EXPECT_EQ(cr.right, 200 - 16);
  SCROLLINFO got;
  got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &got));
  EXPECT_EQ(got.nMin, 0);
  EXPECT_EQ(got.nMax, 99);
  EXPECT_EQ(got.nPage, 10u);
  EXPECT_EQ(got.nPos, 90);
  EXPECT_EQ(got.nTrackPos, 90);
  // a page larger than the range hides the bar, unless asked to disable it instead
  SCROLLINFO si{};
  si.fMask = SIF_PAGE;
  si.nPage = 200;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
  si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
  // a bar with a range reports the arrows EnableScrollBar disabled
  si.fMask = SIF_PAGE;
  si.nPage = 10;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  EnableScrollBar(h, SB_VERT, ESB_DISABLE_UP);
  GetScrollBarInfo(h, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[0], 0u);
  EXPECT_EQ(sbi.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[5], 0u);
  EnableScrollBar(h, SB_VERT, ESB_DISABLE_DOWN);
  GetScrollBarInfo(h, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[1], 0u);
  EXPECT_EQ(sbi.rgstate[5], STATE_SYSTEM_UNAVAILABLE);
  EnableScrollBar(h, SB_VERT, ESB_ENABLE_BOTH);
  EXPECT_EQ(SetScrollPos(h, SB_HORZ, 5, FALSE), 0);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 5);
  int mn = -1, mx = -1;
  SetScrollRange(h, SB_HORZ, 10, 20, FALSE);
  GetScrollRange(h, SB_HORZ, &mn, &mx);
  EXPECT_EQ(mn, 10);
  EXPECT_EQ(mx, 20);
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 10);
}

TEST_F(WinTest, ClicksAndDragsOnAWindowScrollBarSendTheCodes) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 0;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  Pump();
  // bar at x 184..200: arrows 0..16 and 184..200; thumb 16 long in the 168-pixel track
  struct Case {
    int y;
    int pos;
    UINT code;
  } cases[] = {{8, 0, SB_LINEUP}, {192, 0, SB_LINEDOWN}, {100, 0, SB_PAGEDOWN}, {50, 50, SB_PAGEUP}, {150, 50, SB_PAGEDOWN}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    SetScrollPos(h, SB_VERT, c.pos, TRUE);
    Clear();
    hb->Click(190, c.y);
    Pump();
    EXPECT_EQ(Codes(h, WM_VSCROLL), (Codes_t{{c.code, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    hb->AdvanceClock(1000);  // no double click next time
  }
  // dragging the thumb tracks and then sets the position
  SetScrollPos(h, SB_VERT, 0, TRUE);
  static int trackSeen;
  trackSeen = -1;
  R().handler = [](HWND w, UINT m, WPARAM wp, LPARAM, LRESULT*) {
    if (m == WM_VSCROLL && LOWORD(wp) == SB_THUMBTRACK) {
      SCROLLINFO q;
      q.fMask = SIF_TRACKPOS;
      GetScrollInfo(w, SB_VERT, &q);
      trackSeen = q.nTrackPos;
    }
    return false;
  };
  Clear();
  hb->Drag(190, 24, 190, 24 + 76, 4);
  Pump();
  Codes_t codes = Codes(h, WM_VSCROLL);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[0].first, UINT(SB_THUMBTRACK));
  EXPECT_EQ(codes[codes.size() - 3], (std::pair<UINT, int>{SB_THUMBTRACK, 45}));
  EXPECT_EQ(codes[codes.size() - 2], (std::pair<UINT, int>{SB_THUMBPOSITION, 45}));
  EXPECT_EQ(codes.back(), (std::pair<UINT, int>{SB_ENDSCROLL, 0}));
  EXPECT_EQ(trackSeen, 45);
  // the application sets the position itself; the bar did not move it
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
}

TEST_F(WinTest, ScrollBarControlNotifiesItsParent) {
  HWND p = Top(0, 0, 300, 200, WS_POPUP | WS_VISIBLE);
  HWND sb = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 200, 16, p, nullptr, nullptr,
                            nullptr);
  ASSERT_TRUE(sb);
  SendMessageA(sb, SBM_SETRANGE, 0, 10);
  SCROLLINFO si;
  si.fMask = SIF_PAGE;
  si.nPage = 2;
  SetScrollInfo(sb, SB_CTL, &si, TRUE);
  Pump();
  Clear();
  hb->Click(195, 8);  // the right arrow
  Pump();
  ASSERT_EQ(R().Count(p, WM_HSCROLL), 2);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(p, WM_HSCROLL)->lp), sb);
  std::vector<UINT> codes;
  for (const Rec& r : R().log)
    if (r.hwnd == p && r.msg == WM_HSCROLL) codes.push_back(LOWORD(r.wp));
  EXPECT_EQ(codes, (std::vector<UINT>{SB_LINERIGHT, SB_ENDSCROLL}));
  // disabled arrows send nothing
  EnableScrollBar(sb, SB_CTL, ESB_DISABLE_BOTH);
  Clear();
  hb->AdvanceClock(1000);
  hb->Click(195, 8);
  Pump();
  EXPECT_EQ(R().Count(p, WM_HSCROLL), 0);
}

TEST_F(WinTest, HoldingAnArrowRepeatsAfterADelay) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 99;
  si.nPage = 10;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
  Pump();
  static std::vector<DWORD> times;
  static HeadlessBackend* backend;
  times.clear();
  backend = hb;
  R().handler = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_VSCROLL && LOWORD(w) == SB_LINEDOWN) {
      times.push_back(GetTickCount());
      if (times.size() == 4) backend->MouseUp(190, 192);  // released after the fourth step
    }
    return false;
  };
  hb->MouseDown(190, 192);
  Pump();
  ASSERT_EQ(times.size(), 4u);
  // the first repeat waits 400 ms, the next ones come every 50 ms
  EXPECT_EQ(times[1] - times[0], 400u);
  EXPECT_EQ(times[2] - times[1], 50u);
  EXPECT_EQ(times[3] - times[2], 50u);
  EXPECT_EQ(LOWORD(R().Last(h, WM_VSCROLL)->wp), SB_ENDSCROLL);
}

// A bar disabled for having nothing to scroll works again as soon as a later
// call gives it something, whether or not that call asks for SIF_DISABLENOSCROLL;
// a bar the program disabled itself stays disabled.
TEST_F(WinTest, ABarDisabledForNothingToScrollIsEnabledWhenItHasSomething) {
  struct Case {
    const char* what;
    UINT disableMask;  // with a page covering the whole range 0..99
    UINT enableMask;   // with the range 0..99 and a page of 10
    bool byProgram;    // disabled through EnableScrollBar instead
    bool enabled;
  } cases[] = {
      {"page, then page", SIF_PAGE | SIF_DISABLENOSCROLL, SIF_PAGE, false, true},
      {"page, then range", SIF_PAGE | SIF_DISABLENOSCROLL, SIF_RANGE | SIF_PAGE, false, true},
      {"all, then all", SIF_ALL | SIF_DISABLENOSCROLL, SIF_ALL, false, true},
      {"again with the flag", SIF_PAGE | SIF_DISABLENOSCROLL, SIF_PAGE | SIF_DISABLENOSCROLL, false, true},
      {"the program's choice", SIF_PAGE, SIF_PAGE, true, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    SetRangePagePos(h, 99, 10, 0);
    if (k.byProgram) EnableScrollBar(h, SB_VERT, ESB_DISABLE_BOTH);
    SCROLLINFO si{};
    si.nMax = 99;
    si.fMask = k.disableMask;
    si.nPage = 100;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    si.fMask = k.enableMask;
    si.nPage = 10;
    SetScrollInfo(h, SB_VERT, &si, TRUE);
    ASSERT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL);
    Pump();
    hb->AdvanceClock(1000);
    Clear();
    hb->Click(190, 192);  // the down arrow
    Pump();
    EXPECT_EQ(Codes(h, WM_VSCROLL).size(), k.enabled ? 2u : 0u);
    DestroyWindow(h);
  }
}

TEST_F(WinTest, ARangeWiderThanTheLargestIntIsCutShort) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = INT_MIN + 10;
  si.nMax = 300;
  si.nPage = 0xFFFFFFF0u;
  si.nPos = 200;
  SetScrollInfo(h, SB_HORZ, &si, TRUE);
  SCROLLINFO got;
  got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_HORZ, &got));
  EXPECT_EQ(got.nMin, INT_MIN + 10);
  EXPECT_EQ(std::int64_t(got.nMax) - got.nMin, INT_MAX - 1);
  EXPECT_LE(std::int64_t(got.nPage), std::int64_t(got.nMax) - got.nMin + 1);
  EXPECT_GE(got.nPos, got.nMin);
  EXPECT_LE(got.nPos, got.nMax);
  // the bar still lays out and paints
  UpdateWindow(h);
  SetScrollPos(h, SB_HORZ, 0, TRUE);
  UpdateWindow(h);
}
