// The caret, hovering, layered windows, printing, context menus and the
// default handling of the caption and its buttons.
#include "platform/win/tests/wintest.h"

using V = std::vector<std::string>;

namespace {
std::uint32_t Px(HWND h, int x, int y) {
  RECT wr;
  GetWindowRect(h, &wr);
  POINT p{x, y};
  ClientToScreen(h, &p);
  PvWindowImage img = PvCaptureWindow(h);
  return img.pixels[std::size_t(p.y - wr.top) * img.width + (p.x - wr.left)] & 0xFFFFFF;
}
}  // namespace

TEST_F(WinTest, CaretBlinksByTheClockAndHidesWhilePainting) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  Pump();
  ASSERT_TRUE(CreateCaret(h, nullptr, 2, 16));
  SetCaretPos(10, 10);
  EXPECT_FALSE(PvCaretIsDrawn());  // created hidden
  ShowCaret(h);
  EXPECT_TRUE(PvCaretIsDrawn());
  EXPECT_EQ(Px(h, 10, 10), 0u);  // inverted white
  EXPECT_EQ(Px(h, 12, 10), 0xFFFFFFu);
  hb->AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_FALSE(PvCaretIsDrawn());
  EXPECT_EQ(Px(h, 10, 10), 0xFFFFFFu);
  hb->AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_TRUE(PvCaretIsDrawn());
  static bool drawnDuringPaint;
  drawnDuringPaint = true;
  R().handler = [](HWND w, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    drawnDuringPaint = PvCaretIsDrawn();
    EndPaint(w, &ps);
    return true;
  };
  InvalidateRect(h, nullptr, TRUE);
  Pump();
  EXPECT_FALSE(drawnDuringPaint);
  EXPECT_TRUE(PvCaretIsDrawn());
  EXPECT_EQ(Px(h, 10, 10), 0u);  // drawn again over the fresh background
  POINT p;
  GetCaretPos(&p);
  EXPECT_EQ(p, (POINT{10, 10}));
  HideCaret(h);
  HideCaret(h);
  ShowCaret(h);
  EXPECT_FALSE(PvCaretIsDrawn());  // hiding counts
  ShowCaret(h);
  EXPECT_TRUE(PvCaretIsDrawn());
  DestroyCaret();
  EXPECT_FALSE(PvCaretIsDrawn());
  EXPECT_EQ(Px(h, 10, 10), 0xFFFFFFu);
  EXPECT_FALSE(GetCaretPos(&p));
}

TEST_F(WinTest, HoverIsReportedAfterTheHoverTime) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  hb->MouseMove(50, 50);
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER;
  tme.hwndTrack = h;
  tme.dwHoverTime = HOVER_DEFAULT;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  Clear();
  hb->AdvanceClock(399);
  Pump();
  EXPECT_EQ(R().Count(h, 0x02A1), 0);
  hb->AdvanceClock(1);
  Pump();
  ASSERT_EQ(R().Count(h, 0x02A1), 1);  // WM_MOUSEHOVER, once
  EXPECT_EQ(R().Last(h, 0x02A1)->lp, MAKELPARAM(50, 50));
  hb->AdvanceClock(1000);
  Pump();
  EXPECT_EQ(R().Count(h, 0x02A1), 1);
}

TEST_F(WinTest, LayeredWindowsAreBlendedOverWhatIsBelow) {
  HWND below = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  Pump();
  ASSERT_TRUE(SetLayeredWindowAttributes(h, 0, 128, LWA_ALPHA));
  EXPECT_FALSE(SetLayeredWindowAttributes(below, 0, 128, LWA_ALPHA));  // not layered
  HDC dc = GetDC(below);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT r{0, 0, 100, 100};
  FillRect(dc, &r, red);
  DeleteObject(red);
  ReleaseDC(below, dc);
  Pump();
  // white at 128/255 over red
  std::uint32_t p = hb->ScreenPixel(50, 50) & 0xFFFFFF;
  EXPECT_EQ(p >> 16, 0xFFu);
  EXPECT_EQ(p & 0xFF, (255u * 128 + 127) / 255);
  // per-pixel alpha from a 32-bit image
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 100;
  bi.bmiHeader.biHeight = -100;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bmp && bits);
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < 100 * 100; ++i) px[i] = (i % 100) < 50 ? 0x00000000u : 0xFF0000FFu;  // left clear, right blue
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  POINT at{0, 0}, src{0, 0};
  SIZE size{100, 100};
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  ASSERT_TRUE(UpdateLayeredWindow(h, nullptr, &at, &size, mem, &src, 0, &blend, ULW_ALPHA));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  EXPECT_EQ(hb->ScreenPixel(10, 50) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(hb->ScreenPixel(90, 50) & 0xFFFFFF, 0x0000FFu);
  // painting the window afterwards, by WM_PAINT or a DC of its own, leaves the given picture
  R().handler = [h](HWND w, UINT m, WPARAM, LPARAM, LRESULT* res) {
    if (w != h || m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC pdc = BeginPaint(w, &ps);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT all{0, 0, 100, 100};
    FillRect(pdc, &all, green);
    DeleteObject(green);
    EndPaint(w, &ps);
    *res = 0;
    return true;
  };
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
  HDC own = GetDC(h);
  RECT part{80, 40, 100, 60};
  FillRect(own, &part, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(h, own);
  Pump();
  EXPECT_EQ(hb->ScreenPixel(90, 50) & 0xFFFFFF, 0x0000FFu);
  // attributes in place of a picture make painting show again
  ASSERT_TRUE(SetLayeredWindowAttributes(h, 0, 255, LWA_ALPHA));
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
  Pump();
  EXPECT_EQ(hb->ScreenPixel(90, 50) & 0xFFFFFF, 0x00FF00u);
  R().handler = nullptr;
}

TEST_F(WinTest, PrintDrawsAWindowTreeIntoAnyDC) {
  HWND p = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND c = Child(p, 20, 20, 30, 30);
  Pump();
  R().handler = [c](HWND w, UINT m, WPARAM wp, LPARAM, LRESULT*) {
    if (w != c || m != WM_PRINTCLIENT) return false;
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT r{0, 0, 30, 30};
    FillRect(reinterpret_cast<HDC>(wp), &r, blue);
    DeleteObject(blue);
    return true;
  };
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 100);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  Clear();
  SendMessageA(p, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  EXPECT_EQ(Names(R().Of(nullptr, {WM_ERASEBKGND, 0x0318})), (V{"WM_ERASEBKGND", "0x0318", "WM_ERASEBKGND", "0x0318"}));
  EXPECT_EQ(GetPixel(mem, 25, 25), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 5, 5), RGB(255, 255, 255));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST_F(WinTest, RightClickAsksForAContextMenuUpTheParentChain) {
  HWND p = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND c = Child(p, 10, 10, 50, 50);
  Pump();
  Clear();
  hb->Click(30, 30, HeadlessBackend::Right);
  Pump();
  ASSERT_EQ(R().Count(c, WM_CONTEXTMENU), 1);
  ASSERT_EQ(R().Count(p, WM_CONTEXTMENU), 1);
  EXPECT_EQ(reinterpret_cast<HWND>(R().Last(p, WM_CONTEXTMENU)->wp), c);
  EXPECT_EQ(R().Last(p, WM_CONTEXTMENU)->lp, MAKELPARAM(30, 30));
}

TEST_F(WinTest, DraggingTheCaptionMovesTheWindowInAModalLoop) {
  HWND h = Top(100, 100, 300, 200);
  hb->MouseMove(200, 110);
  Pump();
  ASSERT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(200, 110)), HTCAPTION);
  Clear();
  hb->Drag(200, 110, 300, 160, 5);
  Pump();
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{200, 150, 500, 350}));
  EXPECT_EQ(Names(R().Of(h, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE})), (V{"WM_ENTERSIZEMOVE", "WM_EXITSIZEMOVE"}));
  EXPECT_GE(R().Count(h, WM_MOVING), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // the bottom-right corner resizes
  hb->AdvanceClock(1000);
  hb->Drag(498, 348, 518, 358, 2);
  Pump();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, (RECT{200, 150, 520, 360}));
}

TEST_F(WinTest, CaptionButtonsSendSystemCommands) {
  HWND h = Top(100, 100, 300, 200);
  Pump();
  RECT wr;
  GetWindowRect(h, &wr);
  POINT close{wr.right - 4 - 2 - 8, wr.top + 4 + 8};
  ASSERT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
  POINT max{close.x - 18, close.y};
  ASSERT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(max.x, max.y)), HTMAXBUTTON);
  hb->Click(max.x, max.y);
  Pump();
  EXPECT_TRUE(IsZoomed(h));
  Clear();
  GetWindowRect(h, &wr);
  hb->AdvanceClock(1000);
  hb->Click(wr.right - 4 - 2 - 8, wr.top + 4 + 8);
  Pump();
  EXPECT_EQ(Names(R().Of(h, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY})), (V{"WM_SYSCOMMAND", "WM_CLOSE", "WM_DESTROY"}));
  EXPECT_EQ(R().Last(h, WM_SYSCOMMAND)->wp, WPARAM(SC_CLOSE));
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(WinTest, QueueStatusReportsEachKindOfWork) {
  HWND h = Top();
  Pump();
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT) & 0xFFFF, 0u);
  PostMessageA(h, WM_USER, 0, 0);
  EXPECT_TRUE(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_KEY), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_POSTMESSAGE), WAIT_OBJECT_0);
  Pump();
  hb->Key('A');
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_KEY), WAIT_OBJECT_0);
  Pump();
  SetTimer(h, 1, 50, nullptr);
  DWORD before = GetTickCount();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_TIMER), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount() - before, 50u);
  InvalidateRect(h, nullptr, FALSE);
  EXPECT_TRUE(GetQueueStatus(QS_PAINT) & QS_PAINT);
  EXPECT_FALSE(InSendMessage());
}

TEST_F(WinTest, DisabledWindowsBehindAModalOneTakeNoMouseInput) {
  HWND owner = Top(0, 0, 300, 300);
  HWND modal = Top(400, 0, 200, 200, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, owner);
  EnableWindow(owner, FALSE);
  HWND other = Top(700, 0, 100, 100);  // something else is active meanwhile
  Pump();
  ASSERT_EQ(GetActiveWindow(), other);
  int beeps = PvBeepCount();
  Clear();
  hb->Click(100, 100);
  Pump();
  EXPECT_EQ(R().Count(owner, WM_LBUTTONDOWN) + R().Count(owner, WM_NCLBUTTONDOWN), 0);
  EXPECT_EQ(R().Last(owner, WM_SETCURSOR)->lp, MAKELPARAM(HTERROR, WM_LBUTTONUP));
  EXPECT_EQ(PvBeepCount(), beeps + 1);
  EXPECT_EQ(GetActiveWindow(), modal);  // the click brings the modal window forward
}

TEST_F(WinTest, TheCursorFollowsTheHitTestAndTheClassCursor) {
  WNDCLASSEXA wc;
  wc.lpfnWndProc = RecProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  wc.lpszClassName = "RecIBeam";
  static bool once = (RegisterClassExA(&wc), true);
  (void)once;
  HWND h = CreateWindowExA(0, "RecIBeam", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_TRUE(h);
  struct Case {
    int x, y, shape;
  } cases[] = {{200, 200, 32513}, {101, 200, 32644}, {200, 298, 32645}, {200, 110, 32512}, {398, 298, 32642}};
  for (const Case& c : cases) {
    hb->MouseMove(c.x, c.y);
    Pump();
    EXPECT_EQ(hb->CursorShape(), c.shape) << c.x << "," << c.y;
  }
  EXPECT_EQ(CursorShapeId(GetCursor()), 32642);
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  HCURSOR custom = reinterpret_cast<HCURSOR>(std::uintptr_t(0x5151));
  RegisterCursorResource("DRAGHAND", custom);
  EXPECT_EQ(LoadCursorA(nullptr, "draghand"), custom);
}

TEST_F(WinTest, ChangingSystemColoursTellsEveryTopLevelWindow) {
  HWND a = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE);
  HWND b = Top(60, 0, 50, 50, WS_POPUP | WS_VISIBLE);
  Pump();
  static int seen;
  seen = 0;
  R().handler = [](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m == WM_SYSCOLORCHANGE) ++seen;
    return false;
  };
  int index = COLOR_BTNFACE;
  COLORREF old = GetSysColor(index), color = RGB(1, 2, 3);
  ASSERT_TRUE(SetSysColors(1, &index, &color));
  Pump();
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(GetSysColor(index), color);
  SetSysColors(1, &index, &old);
  Pump();
  seen = 0;
  SetSysColors(0, &index, &color);  // nothing changed: nobody is told
  Pump();
  EXPECT_EQ(seen, 0);
  (void)a;
  (void)b;
}

// A press on a child tells every ancestor, nearest first and before the child
// hears of it, with the point in that ancestor's client coordinates; a window
// with WS_EX_NOPARENTNOTIFY passes nothing on.
TEST_F(WinTest, PressingAButtonOnAChildNotifiesItsAncestors) {
  struct Case {
    const char* what;
    DWORD panelEx, buttonEx;
    HeadlessBackend::Button button;
    UINT event;
    bool panelHears, topHears;
  } cases[] = {
      {"left", 0, 0, HeadlessBackend::Left, WM_LBUTTONDOWN, true, true},
      {"right", 0, 0, HeadlessBackend::Right, WM_RBUTTONDOWN, true, true},
      {"middle", 0, 0, HeadlessBackend::Middle, WM_MBUTTONDOWN, true, true},
      {"child says no", 0, WS_EX_NOPARENTNOTIFY, HeadlessBackend::Left, WM_LBUTTONDOWN, false, false},
      {"panel says no", WS_EX_NOPARENTNOTIFY, 0, HeadlessBackend::Left, WM_LBUTTONDOWN, true, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    HWND top = Top(100, 100, 400, 300);  // client at (104,123)
    HWND panel = Child(top, 10, 20, 200, 150, WS_CHILD | WS_VISIBLE, 1, k.panelEx);
    HWND button = Child(panel, 5, 6, 50, 40, WS_CHILD | WS_VISIBLE, 2, k.buttonEx);
    Pump();
    hb->AdvanceClock(1000);  // no double click with the case before
    Clear();
    hb->Click(104 + 10 + 5 + 7, 123 + 20 + 6 + 8, k.button);
    Pump();
    EXPECT_EQ(R().Count(button, k.event), 1);
    const Rec* toPanel = R().Last(panel, WM_PARENTNOTIFY);
    const Rec* toTop = R().Last(top, WM_PARENTNOTIFY);
    ASSERT_EQ(toPanel != nullptr, k.panelHears);
    ASSERT_EQ(toTop != nullptr, k.topHears);
    if (toPanel) {
      EXPECT_EQ(LOWORD(toPanel->wp), k.event);
      EXPECT_EQ(toPanel->lp, MAKELPARAM(12, 14));
    }
    if (toTop) {
      EXPECT_EQ(LOWORD(toTop->wp), k.event);
      EXPECT_EQ(toTop->lp, MAKELPARAM(22, 34));
      EXPECT_EQ(Names(R().Of(nullptr, {WM_PARENTNOTIFY, k.event})),
                (std::vector<std::string>{"WM_PARENTNOTIFY", "WM_PARENTNOTIFY", MsgName(k.event)}));
    }
    DestroyWindow(top);
  }
  // a press on the top-level window itself notifies nobody
  HWND top = Top(100, 100, 400, 300);
  Pump();
  Clear();
  hb->Click(300, 300);
  Pump();
  EXPECT_EQ(R().Count(top, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(R().Count(nullptr, WM_PARENTNOTIFY), 0);
}

// A press followed by small moves and a release is no drag; a move past the
// drag rectangle is, and leaves the rest of the input queued.
TEST_F(WinTest, DragDetectTellsAPressFromADrag) {
  HWND h = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  Pump();
  struct Case {
    int Dx;
    BOOL Drag;
  } cases[] = {{2, FALSE}, {3, TRUE}, {30, TRUE}};
  for (const Case& c : cases) {
    hb->MouseDown(50, 50);
    hb->MouseMove(50 + c.Dx, 50);
    hb->MouseUp(50 + c.Dx, 50);
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    while (m.message != WM_LBUTTONDOWN) ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(DragDetect(h, POINT{50, 50}), c.Drag) << c.Dx;
    EXPECT_EQ(GetCapture(), nullptr);
    // After a drag the release is still waiting; after a press it was taken.
    EXPECT_EQ(PeekMessageA(&m, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE), c.Drag) << c.Dx;
    Pump();
    hb->AdvanceClock(1000);  // no double click next time
  }
}
