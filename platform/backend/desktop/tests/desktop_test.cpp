// The desktop backend on a real X display (a virtual one when the environment
// names none): key translation, the input method's text reaching the focused
// window as code page 936, the clipboard shared with other programs, and the
// pictures the window manager presents.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QInputMethodEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <xcb/xcb.h>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include "platform/backend/desktop/desktop.h"
#include "platform/backend/desktop/keymap.h"
#include "platform/backend/desktop/tests/testsupport.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace {

using namespace pvtest;

// The display lives as long as the test program; the toolkit goes before it.
class DisplayEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ok = display.Open(&why); }
  void TearDown() override {
    PvResetWindowManager();
    delete QCoreApplication::instance();
    display.Close();
  }
  static inline TestDisplay display;
  static inline bool ok = false;
  static inline std::string why;
};
[[maybe_unused]] auto* const kEnv = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

struct Seen {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};
std::vector<Seen>& Log() {
  static std::vector<Seen> v;
  return v;
}
std::string& DroppedFile() {
  static std::string s;
  return s;
}
LRESULT RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_IME_STARTCOMPOSITION || m == WM_IME_COMPOSITION || m == WM_IME_ENDCOMPOSITION || m == WM_CHAR ||
      m == WM_SYSCOMMAND || m == WM_DROPFILES || m == WM_CLIPBOARDUPDATE || m == WM_ACTIVATEAPP ||
      m == WM_LBUTTONDOWN || m == WM_LBUTTONUP)
    Log().push_back({m, w, l});
  if (m == WM_DROPFILES) {  // the receiver frees the drop handle
    char path[512];
    UINT n = DragQueryFileA(reinterpret_cast<HDROP>(w), 0, path, sizeof path);
    DroppedFile() = std::string(path, n);
    DragFinish(reinterpret_cast<HDROP>(w));
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

class Desktop : public ::testing::Test {
 protected:
  DesktopBackend* db = nullptr;
  HWND frame = nullptr;

  void SetUp() override {
    if (!DisplayEnvironment::ok) GTEST_SKIP() << DisplayEnvironment::why;
    db = &DesktopBackend::Install();
    PvResetWindowManager();
    RegisterStandardWindowClasses();
    WNDCLASSEXA wc;
    if (!GetClassInfoExA(nullptr, "DesktopTestFrame", &wc)) {
      wc.lpfnWndProc = RecordingProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
      wc.lpszClassName = "DesktopTestFrame";
      RegisterClassExA(&wc);
    }
    Log().clear();
    frame = CreateWindowExA(0, "DesktopTestFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200,
                            nullptr, nullptr, nullptr, nullptr);
    Pump();
  }
  void TearDown() override {
    if (db) PvResetWindowManager();
  }

  QWidget* Native(HWND h) { return static_cast<QWidget*>(db->NativeWindow(reinterpret_cast<BackendWindowId>(h))); }
  // Runs the message loop until nothing is left to do.
  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  static std::string Text(HWND h) {
    std::string buf(256, '\0');
    buf.resize(std::size_t(GetWindowTextA(h, buf.data(), int(buf.size()))));
    return buf;
  }
  // Runs the message loop until `done` holds, waiting for the display's events
  // in between; gives up after a bounded number of rounds.
  template <class Pred>
  static bool PumpUntil(Pred done) {
    for (int i = 0; i < 200; ++i) {
      Pump();
      if (done()) return true;
      QTimer wake;  // the wait ends with the display's next event or this
      wake.setSingleShot(true);
      wake.start(10);
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    Pump();
    return done();
  }
  static int Count(UINT msg) {
    int n = 0;
    for (const Seen& s : Log()) n += s.msg == msg;
    return n;
  }
  static void Commit(QWidget* w, const QString& preedit, const QString& commit) {
    QInputMethodEvent ev(preedit, {});
    if (!commit.isEmpty()) ev.setCommitString(commit);
    QCoreApplication::sendEvent(w, &ev);
  }
};

TEST(KeyMap, ToolkitKeysBecomeVirtualKeys) {
  struct Case {
    int key;
    bool keypad;
    std::uint32_t scan;
    unsigned vk;
    bool extended;
  } cases[] = {
      {Qt::Key_A, false, 0, 'A', false},          {Qt::Key_7, false, 0, '7', false},
      {Qt::Key_7, true, 0, 0x67, false},           {Qt::Key_Ampersand, false, 0, '7', false},  // Shift+7
      {Qt::Key_F12, false, 0, 0x7B, false},        {Qt::Key_Return, false, 0, 0x0D, false},
      {Qt::Key_Enter, true, 0, 0x0D, true},        {Qt::Key_Home, false, 0, 0x24, true},
      {Qt::Key_Home, true, 0, 0x24, false},        {Qt::Key_Delete, false, 0, 0x2E, true},
      {Qt::Key_Plus, true, 0, 0x6B, false},        {Qt::Key_Plus, false, 0, 0xBB, false},
      {Qt::Key_Slash, true, 0, 0x6F, true},        {Qt::Key_Question, false, 0, 0xBF, false},
      {Qt::Key_BraceLeft, false, 0, 0xDB, false},  {Qt::Key_QuoteDbl, false, 0, 0xDE, false},
      {Qt::Key_Control, false, 37, 0x11, false},   {Qt::Key_Control, false, 105, 0x11, true},
      {Qt::Key_Alt, false, 108, 0x12, true},       {Qt::Key_Backtab, false, 0, 0x09, false},
      {Qt::Key_Menu, false, 0, 0x5D, true},        {Qt::Key_unknown, false, 0, 0, false},
  };
  for (const Case& c : cases) {
    VirtualKey v = KeyToVirtualKey(c.key, c.keypad, c.scan);
    EXPECT_EQ(v.vk, c.vk) << std::hex << c.key;
    EXPECT_EQ(v.extended, c.extended) << std::hex << c.key;
  }
}

TEST_F(Desktop, InputMethodTextReachesTheFocusedWindowAsCp936) {
  SetFocus(frame);
  Pump();
  Log().clear();
  QWidget* w = Native(frame);
  ASSERT_NE(w, nullptr);
  Commit(w, "jie'dian", "");  // still composing
  Commit(w, "", "节点");
  Pump();
  std::vector<UINT> msgs;
  for (const Seen& s : Log()) msgs.push_back(s.msg);
  EXPECT_EQ(msgs, (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_COMPOSITION,
                                     WM_IME_ENDCOMPOSITION, WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR}));
  ASSERT_EQ(Log().size(), 8u);
  EXPECT_TRUE(Log()[2].lp & GCS_RESULTSTR);
  std::vector<WPARAM> chars;
  for (std::size_t i = 4; i < 8; ++i) chars.push_back(Log()[i].wp);
  EXPECT_EQ(chars, (std::vector<WPARAM>{0xBD, 0xDA, 0xB5, 0xE3}));  // 节点 in code page 936
}

TEST_F(Desktop, InputMethodTextLandsInTheFocusedEditBox) {
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 24, frame,
                              nullptr, nullptr, nullptr);
  SetFocus(edit);
  Pump();
  Commit(Native(frame), "", "节点");
  Pump();
  EXPECT_EQ(Text(edit), Utf8ToAnsi("节点"));
}

TEST_F(Desktop, ClipboardCarriesChineseBothWays) {
  if (!OnPath("xclip")) GTEST_SKIP() << "xclip is not installed";
  HWND edit = CreateWindowExA(0, "EDIT", Utf8ToAnsi("第一章 节点").c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10,
                              10, 200, 24, frame, nullptr, nullptr, nullptr);
  ASSERT_TRUE(AddClipboardFormatListener(frame));
  // ours to the desktop: another program reads UTF-8 while we keep serving
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_COPY, 0, 0);
  Pump();
  std::string out;
  ASSERT_EQ(RunProcess({"xclip", "-o", "-selection", "clipboard"}, &out, 5000, [] { Pump(); }), 0);
  EXPECT_EQ(out, "第一章 节点");

  // the desktop's to ours: another program owns the clipboard, the edit box pastes
  std::string text = "人物：李雷";
  Pump();
  Log().clear();
  Child server = Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, &text);
  ASSERT_GT(server.pid, 0);
  std::string got;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (got != text && std::chrono::steady_clock::now() < until) {
    Pump();
    std::string data;
    if (db->GetClipboard("text/plain;charset=utf-8", data)) got = data;
  }
  // the window manager heard of the change and told its listener
  EXPECT_TRUE(PumpUntil([] { return Count(WM_CLIPBOARDUPDATE) > 0; }));
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_PASTE, 0, 0);
  kill(server.pid, SIGTERM);
  Reap(server.pid, 2000);
  close(server.out);
  EXPECT_EQ(Text(edit), Utf8ToAnsi(text));
}

// A text of 5 MB (1.75 million hanzi) goes both ways whole: another program
// reads ours while we keep serving, and ours reads another program's, which
// comes in pieces.
TEST_F(Desktop, LargeClipboardTextsTravelWholeBothWays) {
  if (!OnPath("xclip")) GTEST_SKIP() << "xclip is not installed";
  std::string utf8;
  utf8.reserve(5300000);
  for (std::uint32_t i = 0; utf8.size() < 5250000; ++i) {
    const std::uint32_t c = 0x4E00 + (i * 7919u) % 0x51A6;  // hanzi, all in the code page
    utf8 += char(0xE0 | (c >> 12));
    utf8 += char(0x80 | ((c >> 6) & 0x3F));
    utf8 += char(0x80 | (c & 0x3F));
  }
  const std::string cp936 = Utf8ToAnsi(utf8);
  ASSERT_EQ(cp936.size(), utf8.size() / 3 * 2);
  // ours to another program
  ASSERT_TRUE(OpenClipboard(frame));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, cp936.size() + 1);
  std::memcpy(GlobalLock(g), cp936.c_str(), cp936.size() + 1);
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
  Pump();
  std::string out;
  ASSERT_EQ(RunProcess({"xclip", "-o", "-selection", "clipboard"}, &out, 30000, [] { Pump(); }), 0);
  EXPECT_EQ(out.size(), utf8.size());
  EXPECT_TRUE(out == utf8) << "the text arrived changed";
  // another program's to ours
  Child server = Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, &utf8);
  ASSERT_GT(server.pid, 0);
  std::vector<std::string> formats;
  for (int i = 0; i < 500 && formats.empty(); ++i) {
    Pump();
    if (!db->GetClipboard("text/plain;charset=utf-8", out) || out.size() != utf8.size()) continue;
    formats = db->ClipboardFormats();
  }
  EXPECT_TRUE(out == utf8) << "read " << out.size() << " of " << utf8.size() << " bytes";
  EXPECT_EQ(db->ClipboardError(), "");
  EXPECT_NE(std::find(formats.begin(), formats.end(), "text/plain;charset=utf-8"), formats.end());
  ASSERT_TRUE(PumpUntil([] { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }));
  ASSERT_TRUE(OpenClipboard(frame));
  HANDLE t = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(t);
  EXPECT_TRUE(std::string(static_cast<const char*>(GlobalLock(t))) == cp936);
  GlobalUnlock(t);
  CloseClipboard();
  kill(server.pid, SIGTERM);
  Reap(server.pid, 2000);
  close(server.out);
}

// Another program that holds the clipboard and then does not answer, or
// stops halfway through sending a large text: the read ends after the stall
// limit with a message that says so, and the program goes on.
class SilentOwner {
 public:
  enum Mode { NeverAnswers, StopsAfterFirstPiece };
  explicit SilentOwner(Mode mode) : mode_(mode) {}
  ~SilentOwner() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (c_) xcb_disconnect(c_);
  }
  bool Start() {
    int screen = 0;
    c_ = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c_)) return false;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; i < screen; ++i) xcb_screen_next(&it);
    window_ = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    clipboard_ = Atom("CLIPBOARD");
    targets_ = Atom("TARGETS");
    utf8_ = Atom("UTF8_STRING");
    incr_ = Atom("INCR");
    xcb_set_selection_owner(c_, window_, clipboard_, XCB_CURRENT_TIME);
    auto* o = xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr);
    const bool mine = o && o->owner == window_;
    free(o);
    if (mine) thread_ = std::thread([this] { Serve(); });
    return mine;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
  }
  void Reply(const xcb_selection_request_event_t* r, xcb_atom_t type, int format, const void* data, uint32_t n) {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, r->requestor, r->property, type, uint8_t(format), n, data);
    xcb_selection_notify_event_t ev{};
    ev.response_type = XCB_SELECTION_NOTIFY;
    ev.requestor = r->requestor;
    ev.selection = r->selection;
    ev.target = r->target;
    ev.property = r->property;
    ev.time = r->time;
    xcb_send_event(c_, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_flush(c_);
  }
  void Serve() {
    while (!stop_) {
      xcb_generic_event_t* e = xcb_poll_for_event(c_);
      if (!e) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      if ((e->response_type & 0x7F) == XCB_SELECTION_REQUEST && mode_ == StopsAfterFirstPiece) {
        auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
        if (r->target == targets_) {
          const xcb_atom_t offered[] = {targets_, utf8_};
          Reply(r, XCB_ATOM_ATOM, 32, offered, 2);
        } else if (r->target == utf8_) {
          // announces 5 MB in pieces and sends none of them
          const uint32_t size = 5000000;
          Reply(r, incr_, 32, &size, 1);
        }
      }
      free(e);
    }
  }
  Mode mode_;
  xcb_connection_t* c_ = nullptr;
  xcb_window_t window_ = 0;
  xcb_atom_t clipboard_ = 0, targets_ = 0, utf8_ = 0, incr_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(Desktop, AClipboardHolderThatStopsAnsweringEndsTheReadWithAMessage) {
  struct Case {
    SilentOwner::Mode mode;
    const char* says;
  } cases[] = {{SilentOwner::NeverAnswers, "did not answer within 0.3 s"},
               {SilentOwner::StopsAfterFirstPiece, "stopped answering after 0 of 5000000 bytes"}};
  db->SetClipboardStallLimit(300);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    SilentOwner owner(c.mode);
    ASSERT_TRUE(owner.Start());
    Pump();
    std::string data;
    EXPECT_FALSE(db->GetClipboard("text/plain;charset=utf-8", data));
    EXPECT_NE(db->ClipboardError().find(c.says), std::string::npos) << db->ClipboardError();
    // the window manager gives nothing for the paste, says why, and goes on
    ASSERT_TRUE(OpenClipboard(frame));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    CloseClipboard();
    EXPECT_NE(PvClipboardError().find(c.says), std::string::npos) << PvClipboardError();
    SetWindowTextA(frame, "still here");
    Pump();
    EXPECT_EQ(Text(frame), "still here");
  }
  db->SetClipboardStallLimit(5000);
}

TEST_F(Desktop, ClipboardPicturesReachOtherProgramsAsPng) {
  if (!OnPath("xclip")) GTEST_SKIP() << "xclip is not installed";
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 4, 3);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 4, 3};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  DeleteObject(red);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(OpenClipboard(frame));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bmp);
  CloseClipboard();
  Pump();
  std::string png;
  ASSERT_EQ(RunProcess({"xclip", "-o", "-selection", "clipboard", "-t", "image/png"}, &png, 5000, [] { Pump(); }), 0);
  QImage img = QImage::fromData(QByteArray(png.data(), qsizetype(png.size())), "PNG");
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(4, 3));
  EXPECT_EQ(img.pixelColor(1, 1), QColor(255, 0, 0));
}

TEST_F(Desktop, FramesShowWhatTheWindowManagerDrewAndCloseThroughIt) {
  QWidget* w = Native(frame);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->geometry(), QRect(50, 60, 300, 200));
  EXPECT_EQ(w->windowTitle(), "frame");
  SetWindowTextA(frame, Utf8ToAnsi("章节").c_str());
  EXPECT_EQ(w->windowTitle(), "章节");

  MoveWindow(frame, 70, 80, 320, 210, TRUE);
  Pump();
  EXPECT_EQ(w->geometry(), QRect(70, 80, 320, 210));
  // the client area shows the button face the class paints, not what the toolkit would
  QWidget* probe = w;
  QImage img = probe->grab(QRect(160, 120, 1, 1)).toImage();
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(img.pixelColor(0, 0), QColor(GetRValue(face), GetGValue(face), GetBValue(face)));

  // the desktop's close request goes to the window manager, which decides
  Log().clear();
  QCloseEvent close;
  QCoreApplication::sendEvent(w, &close);
  EXPECT_FALSE(close.isAccepted());
  Pump();
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().front().msg, UINT(WM_SYSCOMMAND));
  EXPECT_EQ(Log().front().wp & 0xFFF0, WPARAM(SC_CLOSE));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(db->NativeWindow(reinterpret_cast<BackendWindowId>(frame)), nullptr);
}

}  // namespace

namespace {

// Exclusive-or drawing on the desktop shows above our windows, inverted against
// what they show, and goes away when cleared.
TEST_F(Desktop, OverlayInvertsWhatIsBelowAndClears) {
  QScreen* screen = QGuiApplication::primaryScreen();
  int sw = screen->geometry().width(), sh = screen->geometry().height();
  std::vector<std::uint32_t> pixels(std::size_t(sw) * sh, 0);
  for (int x = 100; x < 200; ++x) pixels[std::size_t(120) * sw + x] = 0xFFFFFF;  // a line across the frame
  BackendImage img{pixels.data(), sw, sh, sw};
  RECT all{0, 0, sw, sh};
  auto pixelAt = [&](int x, int y) {
    QImage g = screen->grabWindow(0, x, y, 1, 1).toImage().convertToFormat(QImage::Format_RGB32);
    return g.pixel(0, 0) & 0xFFFFFFu;
  };
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::uint32_t below = (std::uint32_t(GetRValue(face)) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  // the display shows what it was given once the toolkit has had its events
  // (the exposures of the windows shown and hidden), waited for in between
  auto settle = [&](int x, int y, std::uint32_t want) {
    PumpUntil([&] { return pixelAt(x, y) == want; });
    return pixelAt(x, y);
  };
  ASSERT_EQ(settle(150, 120, below), below);
  db->PresentOverlay(img, all);
  EXPECT_EQ(settle(150, 120, below ^ 0xFFFFFFu), below ^ 0xFFFFFFu);
  EXPECT_EQ(pixelAt(150, 121), below);  // only the drawn pixels are covered
  std::fill(pixels.begin(), pixels.end(), 0u);
  db->PresentOverlay(img, all);
  EXPECT_EQ(settle(150, 120, below), below);
}

}  // namespace

namespace {

TEST_F(Desktop, FilesDroppedFromTheDesktopReachTheAcceptingWindow) {
  DragAcceptFiles(frame, TRUE);
  QMimeData md;
  md.setUrls({QUrl::fromLocalFile("/tmp/第一章.t")});
  // as the desktop delivers it: the drag enters, then drops
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &md, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Native(frame), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &md, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Native(frame), &drop);
  Pump();
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().back().msg, UINT(WM_DROPFILES));
  EXPECT_EQ(DroppedFile(), Utf8ToAnsi("/tmp/第一章.t"));
}

}  // namespace

namespace {

TEST(TrayMap, ClicksOnTheIconBecomeTheCallbacksMouseMessages) {
  struct Case {
    QSystemTrayIcon::ActivationReason reason;
    std::vector<unsigned> messages;
  } cases[] = {
      {QSystemTrayIcon::Trigger, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {QSystemTrayIcon::Context, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
      {QSystemTrayIcon::DoubleClick, {WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
      {QSystemTrayIcon::MiddleClick, {WM_MBUTTONDOWN, WM_MBUTTONUP}},
      {QSystemTrayIcon::Unknown, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(TrayMouseMessages(int(c.reason)), c.messages) << int(c.reason);
}

TEST_F(Desktop, WithoutANotificationAreaAddingTheIconFails) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this display has a notification area";
  NOTIFYICONDATAA d;
  d.hWnd = frame;
  d.uID = 1;
  d.uFlags = NIF_MESSAGE;
  d.uCallbackMessage = WM_APP + 1;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &d));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &d));
}

TEST_F(Desktop, LayeredWindowsGiveTheirAlphaToTheNativeWindow) {
  HWND h = CreateWindowExA(WS_EX_LAYERED, "DesktopTestFrame", "", WS_POPUP | WS_VISIBLE, 400, 60, 100, 100, nullptr,
                           nullptr, nullptr, nullptr);
  Pump();
  QWidget* w = Native(h);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(SetLayeredWindowAttributes(h, 0, 128, LWA_ALPHA));
  EXPECT_NEAR(w->windowOpacity(), 128 / 255.0, 0.01);
  EXPECT_FALSE(w->testAttribute(Qt::WA_TranslucentBackground));
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  ASSERT_TRUE(UpdateLayeredWindow(h, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA));
  EXPECT_NEAR(w->windowOpacity(), 1.0, 0.01);
  EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));  // the pixels carry their own alpha
  DestroyWindow(h);
}

TEST_F(Desktop, TheProgramsOwnCursorsBecomeToolkitCursors) {
  // 16 x 2: column 0 clear, 1 black, 2 white; hot spot (2, 1)
  BYTE andPlane[4] = {0x80, 0x00, 0x80, 0x00};
  BYTE xorPlane[4] = {0x20, 0x00, 0x20, 0x00};
  HCURSOR c = CreateCursor(nullptr, 2, 1, 16, 2, andPlane, xorPlane);
  ASSERT_TRUE(c);
  SetCursor(c);
  QCursor qc = Native(frame)->cursor();
  EXPECT_EQ(qc.shape(), Qt::BitmapCursor);
  EXPECT_EQ(qc.hotSpot(), QPoint(2, 1));
  QImage img = qc.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(img.size(), QSize(16, 2));
  EXPECT_EQ(img.pixel(0, 0), 0x00000000u);
  EXPECT_EQ(img.pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(img.pixel(2, 0), 0xFFFFFFFFu);
  // windows made later show it too; a standard shape replaces it
  HWND later = CreateWindowExA(0, "DesktopTestFrame", "", WS_POPUP | WS_VISIBLE, 400, 60, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(Native(later)->cursor().shape(), Qt::BitmapCursor);
  SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(Native(frame)->cursor().shape(), Qt::IBeamCursor);
  EXPECT_EQ(Native(later)->cursor().shape(), Qt::IBeamCursor);
  DestroyWindow(later);
  DestroyCursor(c);
}

TEST_F(Desktop, TheCompositionFontAndCaretReachTheInputMethod) {
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, frame, nullptr, nullptr, nullptr);
  SetFocus(edit);
  HIMC imc = ImmGetContext(edit);
  LOGFONTA lf;
  lf.lfHeight = -14;
  std::strcpy(lf.lfFaceName, Utf8ToAnsi("宋体").c_str());
  ASSERT_TRUE(ImmSetCompositionFontA(imc, &lf));
  COMPOSITIONFORM cf;
  cf.dwStyle = CFS_POINT;
  cf.ptCurrentPos = {30, 4};
  ASSERT_TRUE(ImmSetCompositionWindow(imc, &cf));
  ImmReleaseContext(edit, imc);
  QWidget* w = Native(frame);
  QFont f = w->inputMethodQuery(Qt::ImFont).value<QFont>();
  EXPECT_EQ(f.family(), "宋体");
  EXPECT_EQ(f.pixelSize(), 14);
  // the caret rectangle, in the native window's coordinates, as tall as the font
  POINT o{0, 0};
  ClientToScreen(edit, &o);
  RECT wr;
  GetWindowRect(frame, &wr);
  EXPECT_EQ(w->inputMethodQuery(Qt::ImCursorRectangle).toRect(),
            QRect(o.x - wr.left + 30, o.y - wr.top + 4, 1, 14));
}

// A minimised window goes to the desktop (its taskbar) and keeps its place
// there for its return; the desktop's own minimise and restore reach the
// window manager as the window's buttons would.
TEST_F(Desktop, MinimisingGoesThroughTheDesktopBothWays) {
  QWidget* w = Native(frame);
  const QRect normal = w->geometry();
  ShowWindow(frame, SW_MINIMIZE);
  Pump();
  EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
  EXPECT_EQ(w->geometry(), normal) << "moved out of sight instead of minimised";
  ShowWindow(frame, SW_RESTORE);
  Pump();
  EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
  EXPECT_EQ(w->geometry(), normal);
  // the desktop minimises it and brings it back
  Log().clear();
  w->setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(frame) != FALSE; }));
  ASSERT_EQ(Count(WM_SYSCOMMAND), 1);
  w->setWindowState(Qt::WindowNoState);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(frame); }));
  EXPECT_EQ(Count(WM_SYSCOMMAND), 2);
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_EQ(w->geometry(), normal);
}

TEST_F(Desktop, TheDesktopsActivationReachesTheWindowManager) {
  HWND second = CreateWindowExA(0, "DesktopTestFrame", "second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 60, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Native(second)->isActiveWindow(); }));
  ASSERT_EQ(GetActiveWindow(), second);
  // the desktop activates the first frame (as its taskbar or a keyboard switch would)
  Native(frame)->activateWindow();
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == frame; }));
  // a window that is not ours takes the activation: the program hears it lost it
  QWidget other;
  other.setGeometry(800, 60, 100, 100);
  other.show();
  other.activateWindow();
  Log().clear();
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == nullptr; }));
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().back().msg, UINT(WM_ACTIVATEAPP));
  EXPECT_EQ(Log().back().wp, WPARAM(FALSE));
  // and gets it back when the desktop gives the frame the activation again
  Native(second)->activateWindow();
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == second; }));
  DestroyWindow(second);
}

}  // namespace

namespace {

// The toolkit gives a double click's second press as a double-click event
// (and some of its platforms as a press too): the window manager gets each
// press once and decides about double clicks itself.
TEST_F(Desktop, EveryPressOfADoubleClickReachesTheWindowManagerOnce) {
  struct Case {
    const char* what;
    std::vector<QEvent::Type> events;
  };
  const Case cases[] = {
      {"double click in place of the second press",
       {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}},
      {"double click after the second press",
       {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress, QEvent::MouseButtonDblClick,
        QEvent::MouseButtonRelease}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Log().clear();
    for (QEvent::Type t : c.events) {
      Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QMouseEvent ev(t, QPointF(60, 50), QPointF(110, 110), Qt::LeftButton, held, Qt::NoModifier);
      QCoreApplication::sendEvent(Native(frame), &ev);
    }
    Pump();
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 2);
    EXPECT_EQ(Count(WM_LBUTTONUP), 2);
  }
}

}  // namespace
