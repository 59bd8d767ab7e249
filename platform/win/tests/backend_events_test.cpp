// What the desktop reports to the window manager and what the window manager
// asks of the desktop, on the headless backend: activation of native windows,
// clipboard changes and listeners, notification-icon clicks, the input
// method's font, layered windows' alpha and the program's own cursors.
#include <cstring>
#include <map>
#include "platform/gdi/pictures.h"
#include "platform/rtl/resources.h"
#include "platform/win/tests/wintest.h"

namespace {

class BackendEvents : public WinTest {
 protected:
  std::vector<UINT> ActivationOf(HWND h) {
    return R().Of(h, {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
  }
};

TEST_F(BackendEvents, TheDesktopActivatingANativeWindowActivatesItHere) {
  HWND a = Top(0, 0, 200, 200);
  HWND b = Top(300, 0, 200, 200);
  SetFocus(a);
  Pump();
  Clear();
  hb->ActivateFromDesktop(reinterpret_cast<BackendWindowId>(b));
  Pump();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(ActivationOf(a), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS}));
  EXPECT_EQ(ActivationOf(b), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
  EXPECT_EQ(LOWORD(R().Last(b, WM_ACTIVATE)->wp), UINT(WA_ACTIVE));
  // b comes to the top of our z-order as well
  EXPECT_EQ(GetWindow(a, GW_HWNDPREV), b);

  // another program takes the activation: every frame hears the application lose it
  Clear();
  hb->ActivateFromDesktop(0);
  Pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(ActivationOf(b), (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
  EXPECT_EQ(R().Last(a, WM_ACTIVATEAPP)->wp, WPARAM(FALSE));
  hb->ActivateFromDesktop(0);  // said twice: nothing more
  Clear();
  Pump();
  EXPECT_TRUE(ActivationOf(b).empty());

  // and gives it back
  hb->ActivateFromDesktop(reinterpret_cast<BackendWindowId>(a));
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(R().Last(b, WM_ACTIVATEAPP)->wp, WPARAM(TRUE));
}

TEST_F(BackendEvents, DesktopActivationRespectsModalAndInactiveWindows) {
  HWND frame = Top(0, 0, 300, 300);
  HWND dialog = Top(50, 50, 100, 100, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, frame);
  HWND noActivate = Top(400, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_NOACTIVATE);
  EnableWindow(frame, FALSE);  // the dialog is modal
  SetActiveWindow(dialog);
  hb->ActivateFromDesktop(0);
  Pump();
  ASSERT_EQ(GetActiveWindow(), nullptr);
  // the desktop activates the disabled frame: its modal dialog takes it
  hb->ActivateFromDesktop(reinterpret_cast<BackendWindowId>(frame));
  Pump();
  EXPECT_EQ(GetActiveWindow(), dialog);
  // windows that never take the activation, and windows already gone, are ignored
  hb->ActivateFromDesktop(reinterpret_cast<BackendWindowId>(noActivate));
  HWND gone = Top(0, 0, 10, 10);
  DestroyWindow(gone);
  SetActiveWindow(dialog);
  hb->ActivateFromDesktop(reinterpret_cast<BackendWindowId>(gone));
  Pump();
  EXPECT_EQ(GetActiveWindow(), dialog);
}

// Every format with a desktop counterpart crosses in both directions: RTF,
// HTML, pictures as PNG and our own registered formats under a private type.
TEST_F(BackendEvents, ClipboardFormatsCrossToTheDesktopAndBack) {
  HWND owner = Top(0, 0, 100, 100);
  UINT rtf = RegisterClipboardFormatA("Rich Text Format");
  UINT html = RegisterClipboardFormatA("HTML Format");
  UINT nodes = RegisterClipboardFormatA("Penvarro Nodes");
  auto block = [](const std::string& bytes) {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(g), bytes.data(), bytes.size());
    GlobalUnlock(g);
    return g;
  };
  auto text = [](HANDLE h) {
    std::string r(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    return r;
  };
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 3, 2);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  SetPixel(dc, 2, 1, RGB(10, 200, 30));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(rtf, block("{\\rtf1 x}"));
  SetClipboardData(html, block("<b>x</b>"));
  std::string binary("\x01\x00\xFF\x00", 4);  // private formats keep every byte
  SetClipboardData(nodes, block(binary));
  SetClipboardData(CF_BITMAP, bmp);
  CloseClipboard();
  std::string got;
  ASSERT_TRUE(hb->GetClipboard("text/rtf", got));
  EXPECT_EQ(got, "{\\rtf1 x}");
  ASSERT_TRUE(hb->GetClipboard("text/html", got));
  EXPECT_EQ(got, "<b>x</b>");
  ASSERT_TRUE(hb->GetClipboard("application/x-penvarro-Penvarro Nodes", got));
  EXPECT_EQ(got, binary);
  ASSERT_TRUE(hb->GetClipboard("image/png", got));
  TRawImage png = DecodePng(reinterpret_cast<const std::uint8_t*>(got.data()), got.size());
  EXPECT_EQ(png.Width, 3);
  EXPECT_EQ(png.Height, 2);
  EXPECT_EQ(png.At(2, 1) & 0xFFFFFFu, 0x0AC81Eu);
  Pump();

  // a copy made by another program brings its formats in; text from before is gone
  std::map<std::string, std::string> desktop = {{"text/rtf", "{\\rtf1 y}"},
                                                {"text/html", "<i>y</i>"},
                                                {"application/x-penvarro-Penvarro Nodes", binary},
                                                {"image/png", got}};
  hb->SetDesktopClipboard(desktop);
  Pump();
  ASSERT_TRUE(OpenClipboard(owner));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  HANDLE h = GetClipboardData(rtf);
  ASSERT_TRUE(h);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(h))), "{\\rtf1 y}");
  GlobalUnlock(h);
  h = GetClipboardData(html);
  ASSERT_TRUE(h);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(h))), "<i>y</i>");
  GlobalUnlock(h);
  h = GetClipboardData(nodes);
  ASSERT_TRUE(h);
  EXPECT_EQ(text(h).substr(0, 4), binary);
  auto* picture = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_TRUE(picture);
  BITMAP bm;
  ASSERT_TRUE(GetObjectA(picture, sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  CloseClipboard();

  // a broken picture from the desktop gives no bitmap and is left out; the rest still arrives
  hb->SetDesktopClipboard({{"image/png", "\x89PNG broken"}, {"text/html", "<p>z</p>"}});
  Pump();
  ASSERT_TRUE(OpenClipboard(owner));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(GetClipboardData(html));
  CloseClipboard();
}

TEST_F(BackendEvents, ClipboardChangesReachListenersFromHereAndFromTheDesktop) {
  HWND owner = Top(0, 0, 100, 100);
  HWND listener = Top(200, 0, 100, 100);
  HWND removed = Top(400, 0, 100, 100);
  ASSERT_TRUE(AddClipboardFormatListener(listener));
  ASSERT_TRUE(AddClipboardFormatListener(removed));
  EXPECT_TRUE(AddClipboardFormatListener(listener));  // once is enough: still one message a change
  EXPECT_TRUE(RemoveClipboardFormatListener(removed));
  EXPECT_FALSE(RemoveClipboardFormatListener(removed));
  EXPECT_FALSE(AddClipboardFormatListener(nullptr));
  Pump();
  Clear();

  // our own copy
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  std::string ours = "\xBD\xDA\xB5\xE3";  // 节点
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, ours.size() + 1);
  std::memcpy(GlobalLock(g), ours.c_str(), ours.size() + 1);
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
  Pump();
  EXPECT_EQ(R().Count(listener, WM_CLIPBOARDUPDATE), 1);
  EXPECT_EQ(R().Count(removed, WM_CLIPBOARDUPDATE), 0);

  // another program copies text: the owner loses the clipboard, its text arrives in the code page
  DWORD seq = GetClipboardSequenceNumber();
  Clear();
  hb->SetDesktopClipboardText("\xE4\xBA\xBA\xE7\x89\xA9");  // 人物
  Pump();
  EXPECT_EQ(R().Count(listener, WM_CLIPBOARDUPDATE), 1);
  EXPECT_EQ(R().Count(owner, WM_DESTROYCLIPBOARD), 1);
  EXPECT_GT(GetClipboardSequenceNumber(), seq);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(t);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(t))), "\xC8\xCB\xCE\xEF");
  GlobalUnlock(t);
  CloseClipboard();

  // another program copies only a picture: our old text must not be pasted any more
  Clear();
  hb->SetDesktopClipboard({{"image/png", "\x89PNG"}});
  Pump();
  EXPECT_EQ(R().Count(listener, WM_CLIPBOARDUPDATE), 1);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));

  // a destroyed listener is forgotten
  DestroyWindow(listener);
  hb->SetDesktopClipboardText("x");
  Pump();
  EXPECT_FALSE(RemoveClipboardFormatListener(listener));
}

TEST_F(BackendEvents, NotificationIconClicksArriveAsTheCallbackMessage) {
  HWND h = Top();
  NOTIFYICONDATAA d;
  d.hWnd = h;
  d.uID = 7;
  d.uFlags = NIF_MESSAGE;
  d.uCallbackMessage = WM_APP + 150;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &d));
  // a left click, a right click and a double click, as the desktop backend reports them
  const std::vector<UINT> clicks = {WM_LBUTTONDOWN, WM_LBUTTONUP,  WM_RBUTTONDOWN,
                                    WM_RBUTTONUP,   WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  Clear();
  for (UINT m : clicks) hb->TrayMouse(7, m);
  hb->TrayMouse(8, WM_LBUTTONUP);  // no such icon
  Pump();
  std::vector<LPARAM> got;
  for (const Rec& r : R().log)
    if (r.msg == WM_APP + 150) {
      EXPECT_EQ(r.hwnd, h);
      EXPECT_EQ(r.wp, WPARAM(7));
      got.push_back(r.lp);
    }
  EXPECT_EQ(got, std::vector<LPARAM>(clicks.begin(), clicks.end()));
  // the pointer is where the icon was clicked, for a menu that opens there
  hb->TrayMouse(7, WM_RBUTTONDOWN, 1900, 1070);
  Pump();
  POINT at;
  GetCursorPos(&at);
  EXPECT_EQ(at.x, 1900);
  EXPECT_EQ(at.y, 1070);
  // a removed icon, or one whose window is gone, reports nothing
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &d));
  Clear();
  hb->TrayMouse(7, WM_LBUTTONUP);
  Pump();
  EXPECT_EQ(R().Count(h, WM_APP + 150), 0);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &d));
  DestroyWindow(h);
  hb->TrayMouse(7, WM_LBUTTONUP);
  Pump();
  EXPECT_EQ(R().Count(nullptr, WM_APP + 150), 0);
  Shell_NotifyIconA(NIM_DELETE, &d);
}

TEST_F(BackendEvents, NotificationIconShowsItsPictureAndAModifyChangesOnlyWhatItNames) {
  TIconImage im;
  im.Image.Width = 2;
  im.Image.Height = 1;
  im.Image.HasAlpha = true;
  im.Image.Pixels = {0xFF0000FFu, 0x00000000u};  // blue, then a hole
  im.Mask = {0, 1};
  HICON icon = CreateIconFromImage(im, false);
  ASSERT_TRUE(icon);
  HWND h = Top();
  NOTIFYICONDATAA d;
  d.hWnd = h;
  d.uID = 3;
  d.uFlags = NIF_ICON | NIF_TIP;
  d.hIcon = icon;
  std::strcpy(d.szTip, "\xBD\xDA");  // 节
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &d));
  HeadlessBackend::TrayPicture p = hb->TrayImage(3);
  ASSERT_EQ(p.width, 2);
  ASSERT_EQ(p.height, 1);
  EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0xFF0000FFu, 0x00000000u}));
  // a new tip alone keeps the picture; a new picture alone keeps the tip
  d.uFlags = NIF_TIP;
  std::strcpy(d.szTip, "\xB5\xE3");  // 点
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &d));
  EXPECT_EQ(hb->TrayIcons().at(3), "\xE7\x82\xB9");
  EXPECT_EQ(hb->TrayImage(3).width, 2);
  d.uFlags = NIF_ICON;
  std::strcpy(d.szTip, "");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &d));
  EXPECT_EQ(hb->TrayIcons().at(3), "\xE7\x82\xB9");
  Shell_NotifyIconA(NIM_DELETE, &d);
  DestroyIcon(icon);
}

TEST_F(BackendEvents, CompositionFontAndCaretReachTheFocusedFramesNativeWindow) {
  HWND frame = Top(100, 100, 300, 200);
  HWND edit = Child(frame, 10, 10, 200, 30);
  SetFocus(edit);
  HIMC imc = ImmGetContext(edit);
  LOGFONTA lf;
  lf.lfHeight = -14;
  std::strcpy(lf.lfFaceName, "\xCB\xCE\xCC\xE5");  // 宋体
  ASSERT_TRUE(ImmSetCompositionFontA(imc, &lf));
  EXPECT_EQ(hb->ImeFont().window, reinterpret_cast<BackendWindowId>(frame));
  EXPECT_EQ(hb->ImeFont().face, "\xE5\xAE\x8B\xE4\xBD\x93");
  EXPECT_EQ(hb->ImeFont().height, 14);
  COMPOSITIONFORM cf;
  cf.dwStyle = CFS_POINT;
  cf.ptCurrentPos = {5, 3};
  ASSERT_TRUE(ImmSetCompositionWindow(imc, &cf));
  POINT o{0, 0};
  ClientToScreen(edit, &o);
  EXPECT_EQ(hb->ImeCaret(), (RECT{o.x + 5, o.y + 3, o.x + 6, o.y + 3 + 14}));  // as tall as the font
  EXPECT_FALSE(ImmSetCompositionFontA(imc, nullptr));
  ImmReleaseContext(edit, imc);
}

TEST_F(BackendEvents, LayeredWindowsTellTheNativeWindowTheirAlpha) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  ASSERT_TRUE(SetLayeredWindowAttributes(h, 0, 128, LWA_ALPHA));
  const HeadlessBackend::Window* w = hb->FindWindow(reinterpret_cast<BackendWindowId>(h));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->alpha, 128);
  EXPECT_FALSE(w->perPixel);
  ASSERT_TRUE(SetLayeredWindowAttributes(h, RGB(255, 0, 255), 0, LWA_COLORKEY));  // no alpha: opaque
  EXPECT_EQ(w->alpha, 255);
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 200;
  blend.AlphaFormat = AC_SRC_ALPHA;
  SIZE size{100, 100};
  ASSERT_TRUE(UpdateLayeredWindow(h, nullptr, nullptr, &size, nullptr, nullptr, 0, &blend, ULW_ALPHA));
  EXPECT_EQ(w->alpha, 200);
  EXPECT_TRUE(w->perPixel);
}

// Pixels of the cursor images below: straight-alpha BGRA.
constexpr std::uint32_t kClear = 0x00000000u, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

TEST_F(BackendEvents, CreatedCursorsShowAsImagesWithTheirHotSpot) {
  // 16 x 2: AND/XOR pairs per column 0..3: 1/0 clear, 0/0 black, 0/1 white, 1/1 inverted
  BYTE andPlane[4] = {0x90, 0x00, 0x90, 0x00};  // columns 0 and 3 set (1001 0000)
  BYTE xorPlane[4] = {0x30, 0x00, 0x30, 0x00};  // columns 2 and 3 set (0011 0000)
  HCURSOR c = CreateCursor(nullptr, 3, 1, 16, 2, andPlane, xorPlane);
  ASSERT_TRUE(c);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 0, 2, andPlane, xorPlane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 16, 2, nullptr, xorPlane), nullptr);
  SetCursor(c);
  EXPECT_EQ(hb->CursorShape(), -1);
  const auto& img = hb->CursorImage();
  ASSERT_EQ(img.width, 16);
  ASSERT_EQ(img.height, 2);
  EXPECT_EQ(img.hotX, 3);
  EXPECT_EQ(img.hotY, 1);
  // the desktop cannot invert the screen under a full-colour cursor: black stands in
  EXPECT_EQ(std::vector<std::uint32_t>(img.pixels.begin(), img.pixels.begin() + 5),
            (std::vector<std::uint32_t>{kClear, kBlack, kWhite, kBlack, kBlack}));
  // a standard shape again
  SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(hb->CursorShape(), 32513);
  EXPECT_TRUE(hb->CursorImage().pixels.empty());
  DestroyCursor(c);
}

TEST_F(BackendEvents, CursorsFromResourcesKeepTheirAlphaAndAreLoadedOnce) {
  TIconImage im;
  im.Image.Width = im.Image.Height = 4;
  im.Image.HasAlpha = true;
  im.Image.Pixels = {0x00000000u, 0x800000FFu, 0xFF00FF00u, 0xFFFF0000u, 0u, 0u, 0u, 0u,
                     0u,          0u,          0u,          0u,          0u, 0u, 0u, 0u};
  im.Mask.assign(16, 0);
  static TBytes cur = EncodeIco({im});
  cur[2] = 2;                       // a cursor file
  cur[6 + 4] = 2, cur[6 + 6] = 1;   // its hot spot (2, 1)
  RegisterResource(RT_CURSOR, "TestDrag", cur.data(), cur.size());
  static const char junk[] = "not a cursor";
  RegisterResource(RT_CURSOR, "TestJunk", junk, sizeof junk);

  HCURSOR c = LoadCursorA(nullptr, "testdrag");
  ASSERT_TRUE(c);
  EXPECT_EQ(LoadCursorA(nullptr, "TestDrag"), c);
  EXPECT_EQ(LoadCursorA(nullptr, "TestJunk"), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "NoSuchCursor"), nullptr);

  // a window class with the cursor shows it when the mouse is over the client area
  WNDCLASSEXA wc;
  wc.lpfnWndProc = RecProc;
  wc.hCursor = c;
  wc.lpszClassName = "RecDragCursor";
  static bool once = (RegisterClassExA(&wc), true);
  (void)once;
  HWND h = CreateWindowExA(0, "RecDragCursor", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                           nullptr);
  hb->MouseMove(50, 50);
  Pump();
  const auto& img = hb->CursorImage();
  ASSERT_EQ(img.width, 4);
  EXPECT_EQ(img.hotX, 2);
  EXPECT_EQ(img.hotY, 1);
  EXPECT_EQ(std::vector<std::uint32_t>(img.pixels.begin(), img.pixels.begin() + 4),
            (std::vector<std::uint32_t>{0x00000000u, 0x800000FFu, 0xFF00FF00u, 0xFFFF0000u}));
  DestroyWindow(h);
}

}  // namespace
