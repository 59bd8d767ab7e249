// The STATIC window class on the headless backend: text alignment and colours
// chosen by the parent, rectangles and etched lines, notifications, images.
// Text uses the built-in fixed font: single-byte characters are 7 pixels wide.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/backend/headless/headless.h"
#include "platform/controls/stdwnd.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/tests/canvas.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace static_test {

constexpr COLORREF kInk = RGB(200, 0, 0), kPaper = RGB(0, 0, 160), kCanvas = RGB(0, 255, 0);

struct Note {
  HWND from;
  int code;
};
std::vector<Note> g_notes;
std::vector<UINT> g_parentMouse;
int g_ctlColor = 0;
HBRUSH g_paper = nullptr;

LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND && l) g_notes.push_back({reinterpret_cast<HWND>(l), int(SHORT(HIWORD(w)))});
  if (m == WM_LBUTTONDOWN) g_parentMouse.push_back(m);
  if (m == WM_CTLCOLORSTATIC) {
    ++g_ctlColor;
    SetTextColor(reinterpret_cast<HDC>(w), kInk);
    return reinterpret_cast<LRESULT>(g_paper);
  }
  return DefWindowProcA(h, m, w, l);
}

// First and last column of the canvas holding `ink` (-1, -1 when none).
std::pair<int, int> InkColumns(const Canvas& c, COLORREF ink) {
  int first = -1, last = -1;
  for (int x = 0; x < c.w; ++x)
    for (int y = 0; y < c.h; ++y)
      if (c.At(x, y) == ink) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

class StaticWnd : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  HWND top = nullptr;
  HFONT font = nullptr;
  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    WNDCLASSEXA wc;
    if (!GetClassInfoExA(nullptr, "StaticTestParent", &wc)) {
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = ParentProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
      wc.lpszClassName = "StaticTestParent";
      RegisterClassExA(&wc);
    }
    g_notes.clear();
    g_parentMouse.clear();
    g_ctlColor = 0;
    g_paper = CreateSolidBrush(kPaper);
    top = CreateWindowExA(0, "StaticTestParent", "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                          nullptr, nullptr, nullptr);
    font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
  }
  void TearDown() override {
    PvResetWindowManager();
    hb->Reset();
    DeleteObject(font);
    DeleteObject(g_paper);
  }
  HWND Make(DWORD style, const char* text = "", int w = 200, int h = 20) {
    HWND c = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, top,
                             reinterpret_cast<HMENU>(std::intptr_t(5)), nullptr, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    return c;
  }
  int Count(HWND h, int code) const {
    int n = 0;
    for (const Note& x : g_notes) n += x.from == h && x.code == code;
    return n;
  }
};

TEST_F(StaticWnd, TextAlignmentAndParentColours) {
  struct Case {
    DWORD style;
    const char* text;
    int first, last;  // ink columns expected (within +-2)
  } cases[] = {
      {SS_LEFT, "abc", 0, 20},
      {SS_CENTER, "abc", 89, 110},
      {SS_RIGHT, "abc", 179, 199},
      {SS_SIMPLE, "abc", 0, 20},
      {SS_LEFTNOWORDWRAP, "abc", 0, 20},
      {SS_LEFT, "&abc", 0, 20},                // the prefix is not drawn
      {SS_LEFT | SS_NOPREFIX, "&abc", 0, 27},  // ... unless told so
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "style " << k.style << " text " << k.text);
    HWND s = Make(k.style, k.text);
    int before = g_ctlColor;
    Canvas c(200, 20, kCanvas);
    SendMessageA(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.dc), PRF_CLIENT);
    EXPECT_EQ(g_ctlColor, before + 1);  // the parent chose the colours
    EXPECT_EQ(c.At(199, 19), kPaper);   // its brush fills the background
    auto cols = InkColumns(c, kInk);
    EXPECT_NEAR(cols.first, k.first, 2);
    EXPECT_NEAR(cols.second, k.last, 2);
    DestroyWindow(s);
  }
}

TEST_F(StaticWnd, RectanglesFramesAndEtchedLines) {
  struct Case {
    DWORD style;
    POINT at;
    COLORREF colour;
  } cases[] = {
      {SS_BLACKRECT, {10, 10}, GetSysColor(COLOR_3DDKSHADOW)},
      {SS_GRAYRECT, {10, 10}, GetSysColor(COLOR_3DSHADOW)},
      {SS_WHITERECT, {10, 10}, GetSysColor(COLOR_3DHILIGHT)},
      {SS_BLACKFRAME, {0, 10}, GetSysColor(COLOR_3DDKSHADOW)},
      {SS_BLACKFRAME, {10, 10}, kCanvas},  // a frame leaves its inside alone
      {SS_ETCHEDHORZ, {10, 0}, GetSysColor(COLOR_3DSHADOW)},
      {SS_ETCHEDHORZ, {10, 1}, GetSysColor(COLOR_3DHILIGHT)},
      {SS_ETCHEDHORZ, {10, 10}, kPaper},
      {SS_ETCHEDVERT, {0, 10}, GetSysColor(COLOR_3DSHADOW)},
      {SS_ETCHEDVERT, {10, 0}, kPaper},
      {SS_ETCHEDFRAME, {19, 10}, GetSysColor(COLOR_3DHILIGHT)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "style " << k.style << " at " << k.at.x << "," << k.at.y);
    HWND s = Make(k.style, "", 20, 20);
    Canvas c(20, 20, kCanvas);
    SendMessageA(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.dc), PRF_CLIENT);
    EXPECT_EQ(c.At(k.at.x, k.at.y), k.colour);
    DestroyWindow(s);
  }
}

TEST_F(StaticWnd, SunkenGetsTheStaticEdge) {
  HWND s = Make(SS_SUNKEN, "x", 50, 20);
  EXPECT_TRUE(GetWindowLongPtrA(s, GWL_EXSTYLE) & WS_EX_STATICEDGE);
  RECT r;
  GetClientRect(s, &r);
  EXPECT_EQ(r.right, 48);
  HWND plain = Make(SS_LEFT, "x", 50, 20);
  GetClientRect(plain, &r);
  EXPECT_EQ(r.right, 50);
}

TEST_F(StaticWnd, NotifyStyleSendsClicksAndEnabling) {
  HWND quiet = Make(SS_LEFT, "q", 50, 20);
  HWND loud = CreateWindowExA(0, "STATIC", "n", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 100, 10, 50, 20, top,
                              reinterpret_cast<HMENU>(std::intptr_t(6)), nullptr, nullptr);
  auto click = [&](HWND h, bool dbl) {
    POINT p{5, 5};
    ClientToScreen(h, &p);
    if (dbl) hb->DoubleClick(p.x, p.y);
    else hb->Click(p.x, p.y);
    PvProcessMessages();
  };
  click(loud, false);
  EXPECT_EQ(Count(loud, STN_CLICKED), 1);
  EXPECT_TRUE(g_parentMouse.empty());
  hb->AdvanceClock(2000);
  click(loud, true);
  EXPECT_EQ(Count(loud, STN_DBLCLK), 1);
  // Without SS_NOTIFY the click goes through to the parent and nothing is sent.
  hb->AdvanceClock(2000);
  click(quiet, false);
  EXPECT_EQ(Count(quiet, STN_CLICKED), 0);
  EXPECT_EQ(g_parentMouse.size(), 1u);
  EnableWindow(loud, FALSE);
  EnableWindow(loud, TRUE);
  EnableWindow(quiet, FALSE);
  EXPECT_EQ(Count(loud, STN_DISABLE), 1);
  EXPECT_EQ(Count(loud, STN_ENABLE), 1);
  EXPECT_EQ(Count(quiet, STN_DISABLE), 0);
}

TEST_F(StaticWnd, IconImagesSetGetAndDraw) {
  HICON a = MakeIcon(8, RGB(255, 255, 0)), b = MakeIcon(8, RGB(0, 255, 255));
  HBITMAP bm = MakeBitmap(6, 4, RGB(255, 0, 255));
  HWND s = Make(SS_ICON, "", 40, 40);
  EXPECT_EQ(SendMessageA(s, STM_SETICON, reinterpret_cast<WPARAM>(a), 0), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(s, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(b))), a);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(s, STM_GETICON, 0, 0)), b);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(s, STM_GETIMAGE, IMAGE_ICON, 0)), b);
  // A bitmap does not fit an icon control: refused, the icon stays.
  EXPECT_EQ(SendMessageA(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bm)), 0);
  EXPECT_EQ(SendMessageA(s, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(s, STM_GETICON, 0, 0)), b);
  // The control took the icon's size; the icon's transparent half shows the parent's brush.
  RECT r;
  GetClientRect(s, &r);
  EXPECT_EQ(r.right, 8);
  EXPECT_EQ(r.bottom, 8);
  Canvas c(8, 8, kCanvas);
  SendMessageA(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.dc), PRF_CLIENT);
  EXPECT_EQ(c.At(6, 3), RGB(0, 255, 255));
  EXPECT_EQ(c.At(1, 3), kPaper);
  DestroyWindow(s);
  DestroyIcon(a);
  DestroyIcon(b);
  DeleteObject(bm);
}

TEST_F(StaticWnd, BitmapImagesAndTheirStyles) {
  HBITMAP one = MakeBitmap(6, 4, RGB(255, 0, 255)), two = MakeBitmap(6, 4, RGB(255, 128, 0));
  HICON icon = MakeIcon(8, RGB(255, 255, 0));
  HWND s = Make(SS_BITMAP, "", 40, 40);
  EXPECT_EQ(SendMessageA(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(one)), 0);
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(two))), one);
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(s, STM_GETIMAGE, IMAGE_BITMAP, 0)), two);
  EXPECT_EQ(SendMessageA(s, STM_GETIMAGE, IMAGE_ICON, 0), 0);
  EXPECT_EQ(SendMessageA(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0), 0);  // icons only
  Canvas c(6, 4, kCanvas);
  SendMessageA(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(c.dc), PRF_CLIENT);
  EXPECT_EQ(c.At(3, 2), RGB(255, 128, 0));
  // SS_CENTERIMAGE keeps the control's size and centres the picture.
  HWND centred = Make(SS_BITMAP | SS_CENTERIMAGE, "", 20, 20);
  SendMessageA(centred, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(one));
  RECT r;
  GetClientRect(centred, &r);
  EXPECT_EQ(r.right, 20);
  Canvas cc(20, 20, kCanvas);
  SendMessageA(centred, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(cc.dc), PRF_CLIENT);
  EXPECT_EQ(cc.At(10, 10), RGB(255, 0, 255));
  EXPECT_EQ(cc.At(2, 2), kPaper);
  // Text controls take no image.
  HWND text = Make(SS_LEFT, "t");
  EXPECT_EQ(SendMessageA(text, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(one)), 0);
  EXPECT_EQ(SendMessageA(text, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  DestroyWindow(s);
  DestroyWindow(centred);
  DeleteObject(one);
  DeleteObject(two);
  DestroyIcon(icon);
}

}  // namespace static_test
