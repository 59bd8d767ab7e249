// A window's menu bar driven by synthetic mouse and keys: drop-downs, the
// keyboard interface (Alt, F10, Alt+letter, arrows, Enter, Escape), clicks
// outside, disabled items, and the notifications of the menu loop.
#include <deque>
#include "platform/win/tests/wintest.h"

using V = std::vector<std::string>;

namespace {

enum : UINT { kOpen = 101, kSave = 102, kExit = 103, kCopy = 111, kPaste = 112, kBoth = 113, kGo = 130, kOne = 201, kTwo = 202 };

// Steps run one by one each time the menu loop waits for input (WM_ENTERIDLE).
std::deque<std::function<void()>> g_steps;
bool g_overrun = false;
HeadlessBackend* g_hb = nullptr;

class MenuBarTest : public WinTest {
 public:
  HWND h = nullptr;
  HMENU bar = nullptr, file = nullptr, recent = nullptr, edit = nullptr;
  void SetUp() override {
    WinTest::SetUp();
    g_hb = hb;
    g_steps.clear();
    g_overrun = false;
    recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, kOne, "&One");
    AppendMenuA(recent, MF_STRING, kTwo, "&Two");
    file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING | MF_GRAYED, kSave, "&Save");
    AppendMenuA(file, MF_STRING, kExit, "E&xit");
    edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, kCopy, "&Copy");
    AppendMenuA(edit, MF_STRING, kPaste, "&Paste");
    AppendMenuA(edit, MF_STRING, kBoth, "Copy && &Quit");
    bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    AppendMenuA(bar, MF_STRING, kGo, "&Go");
    h = Top(100, 100, 400, 300);
    ASSERT_TRUE(SetMenu(h, bar));
    SetFocus(h);
    Pump();
    R().handler = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
      if (msg != WM_ENTERIDLE) return false;
      if (g_steps.empty()) {  // the script ended with the menu still open: close it
        g_overrun = true;
        for (int i = 0; i < 4; ++i) g_hb->Key(VK_ESCAPE);
        return false;
      }
      auto step = g_steps.front();
      g_steps.pop_front();
      step();
      return false;
    };
    Clear();
  }
  RECT ItemRect(HMENU m, UINT item) {
    RECT r{0, 0, 0, 0};
    EXPECT_TRUE(GetMenuItemRect(h, m, item, &r)) << item;
    return r;
  }
  void ClickItem(HMENU m, UINT item) {
    RECT r = ItemRect(m, item);
    hb->AdvanceClock(1000);
    hb->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void MoveTo(HMENU m, UINT item) {
    RECT r = ItemRect(m, item);
    hb->MouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  std::vector<WPARAM> Commands() {
    std::vector<WPARAM> v;
    for (const Rec& r : R().log)
      if (r.hwnd == h && r.msg == WM_COMMAND) v.push_back(r.wp);
    return v;
  }
  // The loop ended cleanly: no pop-up left, no capture, as many exits as entries.
  void ExpectClosed() {
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(R().Count(h, WM_ENTERMENULOOP), R().Count(h, WM_EXITMENULOOP));
    EXPECT_FALSE(g_overrun);
  }
  std::uint32_t Pixel(int x, int y) { return hb->ScreenPixel(x, y) & 0xFFFFFF; }
  static std::uint32_t Rgb(int index) {
    COLORREF c = GetSysColor(index);
    return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
};

TEST_F(MenuBarTest, ClickingATitleOpensItsDropDownAndAnItemSendsItsCommand) {
  ClickItem(bar, 0);
  g_steps.push_back([this] {
    RECT title = ItemRect(bar, 0), open = ItemRect(file, 0);
    EXPECT_EQ(open.top, title.bottom + 2);  // the drop-down hangs below its title
    EXPECT_EQ(Pixel(title.left, title.top), Rgb(COLOR_3DSHADOW));  // drawn pressed
    EXPECT_EQ(Pixel(title.right - 1, title.bottom - 1), Rgb(COLOR_3DHILIGHT));
    ClickItem(file, 0);
  });
  Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{kOpen});
  // the notifications of the loop, as the platform sends them
  EXPECT_EQ(Names(R().Of(h, {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND})),
            (V{"0x0211", "0x0116", "0x0117", "0x0212", "0x0111"}));
  EXPECT_EQ(R().Last(h, WM_ENTERMENULOOP)->wp, WPARAM(FALSE));
  EXPECT_EQ(reinterpret_cast<HMENU>(R().Last(h, WM_INITMENU)->wp), bar);
  EXPECT_EQ(reinterpret_cast<HMENU>(R().Last(h, WM_INITMENUPOPUP)->wp), file);
  std::vector<std::pair<UINT, UINT>> selects;  // (item or index, flags) of WM_MENUSELECT
  for (const Rec& r : R().log)
    if (r.hwnd == h && r.msg == WM_MENUSELECT) selects.push_back({LOWORD(r.wp), HIWORD(r.wp)});
  ASSERT_EQ(selects.size(), 3u);
  EXPECT_EQ(selects[0].first, 0u);  // the File title, by position, as a pop-up
  EXPECT_TRUE(selects[0].second & MF_POPUP);
  EXPECT_EQ(selects[1], (std::pair<UINT, UINT>{kOpen, MF_HILITE}));  // the item under the mouse, by command
  EXPECT_EQ(selects[2], (std::pair<UINT, UINT>{0, 0xFFFF}));          // the menu closed
  ExpectClosed();
  // the title is drawn flat again
  RECT title = ItemRect(bar, 0);
  EXPECT_EQ(Pixel(title.left, title.top), Rgb(COLOR_MENU));
}

TEST_F(MenuBarTest, MouseMovesAcrossTheBarAndIntoSubmenus) {
  // moving along the bar while a drop-down is open switches drop-downs
  ClickItem(bar, 0);
  g_steps.push_back([this] { MoveTo(bar, 1); });
  g_steps.push_back([this] {
    std::vector<HMENU> inits;
    for (const Rec& r : R().log)
      if (r.msg == WM_INITMENUPOPUP) inits.push_back(reinterpret_cast<HMENU>(r.wp));
    EXPECT_EQ(inits, (std::vector<HMENU>{file, edit}));
    RECT dummy;
    EXPECT_FALSE(GetMenuItemRect(h, file, 0, &dummy));  // File's drop-down closed
    ClickItem(edit, 1);
  });
  Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{kPaste});
  ExpectClosed();
  // hovering a submenu's item opens it beside the drop-down
  Clear();
  ClickItem(bar, 0);
  g_steps.push_back([this] { MoveTo(file, 1); });
  g_steps.push_back([this] {
    RECT parent = ItemRect(file, 1), two = ItemRect(recent, 1);
    EXPECT_GE(two.left, parent.right);
    ClickItem(recent, 1);
  });
  Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{kTwo});
  ExpectClosed();
}

TEST_F(MenuBarTest, ClicksThatChooseNothing) {
  struct Case {
    const char* name;
    std::function<void(MenuBarTest*)> inside;  // what the mouse does with File's drop-down open
  };
  const Case cases[] = {
      {"click outside the menu", [](MenuBarTest* t) { g_hb->Click(300, 300); }},
      {"click the open title again", [](MenuBarTest* t) { t->ClickItem(t->bar, 0); }},
      {"click a separator, then outside", [](MenuBarTest* t) {
         RECT sep;
         sep.top = t->ItemRect(t->file, 1).bottom;  // the separator lies between Recent and Save
         sep.bottom = t->ItemRect(t->file, 3).top;
         g_hb->Click(t->ItemRect(t->file, 0).left + 20, (sep.top + sep.bottom) / 2);
         g_steps.push_back([t] { g_hb->AdvanceClock(1000); g_hb->Click(300, 300); });
       }},
      {"click the disabled item, then outside", [](MenuBarTest* t) {
         t->ClickItem(t->file, 3);
         g_steps.push_back([t] { g_hb->AdvanceClock(1000); g_hb->Click(300, 300); });
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Clear();
    ClickItem(bar, 0);
    g_steps.push_back([this, &c] { c.inside(this); });
    Pump();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(R().Count(h, WM_ENTERMENULOOP), 1);
    EXPECT_TRUE(g_steps.empty());
    ExpectClosed();
  }
  // the click that closed the menu was not passed on to the window below
  EXPECT_EQ(R().Count(h, WM_LBUTTONDOWN), 0);
}

TEST_F(MenuBarTest, ATitleWithoutDropDownIsChosenWhenReleasedOnIt) {
  ClickItem(bar, 2);
  Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{kGo});
  ExpectClosed();
}

TEST_F(MenuBarTest, KeyboardInterface) {
  struct K {
    unsigned vk;
    unsigned mods = 0;
  };
  const unsigned kAlt = HeadlessBackend::Alt;
  struct Case {
    const char* name;
    std::vector<K> keys;
    UINT command;  // 0: nothing chosen
    int loops = 1;
  };
  const Case cases[] = {
      {"F10 selects the first title, Down opens it", {{VK_F10}, {VK_DOWN}, {VK_RETURN}}, kOpen},
      {"Alt alone, Right to the next title", {{VK_MENU}, {VK_RIGHT}, {VK_DOWN}, {VK_DOWN}, {VK_RETURN}}, kPaste},
      {"Alt+letter opens the title with that mnemonic", {{'E', kAlt}, {VK_DOWN}, {VK_RETURN}}, kPaste},
      {"a mnemonic in the drop-down chooses", {{'F', kAlt}, {'X'}}, kExit},
      {"\"&&\" is no mnemonic", {{'E', kAlt}, {'Q'}}, kBoth},
      {"Right on a plain item moves to the next drop-down", {{'F', kAlt}, {VK_RIGHT}, {VK_RETURN}}, kCopy},
      {"Left from the first drop-down wraps to the last title", {{'F', kAlt}, {VK_LEFT}, {VK_RETURN}}, kGo},
      {"a submenu opens on its mnemonic", {{'F', kAlt}, {'R'}, {VK_DOWN}, {VK_RETURN}}, kTwo},
      {"Left closes only the submenu; Down skips the separator",
       {{'F', kAlt}, {'R'}, {VK_LEFT}, {VK_DOWN}, {VK_DOWN}, {VK_RETURN}}, kExit},
      {"Up wraps from the first item to the last", {{'F', kAlt}, {VK_UP}, {VK_RETURN}}, kExit},
      {"the disabled item can't be chosen", {{'F', kAlt}, {'S'}, {VK_RETURN}, {VK_ESCAPE}, {VK_ESCAPE}}, 0},
      {"Escape returns to the title, again closes", {{'F', kAlt}, {VK_ESCAPE}, {VK_ESCAPE}}, 0},
      {"Escape, then Down opens the drop-down again", {{'F', kAlt}, {VK_ESCAPE}, {VK_DOWN}, {VK_RETURN}}, kOpen},
      {"Alt+letter of a title without drop-down chooses it", {{'G', kAlt}}, kGo},
      {"F10 twice leaves the menu", {{VK_F10}, {VK_F10}}, 0},
      {"Alt+letter that no title has does nothing", {{'Z', kAlt}}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Clear();
    g_overrun = false;
    int beeps = hb->BeepCount();
    for (const K& k : c.keys) hb->Key(k.vk, k.mods);
    Pump();
    std::vector<WPARAM> want;
    if (c.command) want.push_back(c.command);
    EXPECT_EQ(Commands(), want);
    EXPECT_EQ(R().Count(h, WM_ENTERMENULOOP), c.loops);
    EXPECT_EQ(hb->BeepCount() - beeps, c.loops ? 0 : 1);
    ExpectClosed();
  }
}

TEST_F(MenuBarTest, KeyboardSelectionIsDrawnRaisedAndTheMenuGoesWithItsWindow) {
  hb->Key(VK_F10);
  g_steps.push_back([this] {
    RECT title = ItemRect(bar, 0);
    EXPECT_EQ(Pixel(title.left, title.top), Rgb(COLOR_3DHILIGHT));
    EXPECT_EQ(Pixel(title.right - 1, title.bottom - 1), Rgb(COLOR_3DSHADOW));
    hb->Key(VK_ESCAPE);
  });
  Pump();
  ExpectClosed();
  // a window destroyed while its drop-down is open ends the loop
  Clear();
  hb->Key('F', HeadlessBackend::Alt);
  g_steps.push_back([this] { DestroyWindow(h); });
  Pump();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(IsMenu(bar));  // the bar went with the window
}

HWND g_mdiClient = nullptr;

LRESULT MdiFrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Recorder& r = Recorder::Get();
  r.log.push_back({h, m, w, l});
  LRESULT res = 0;
  if (r.handler && r.handler(h, m, w, l, &res)) return res;
  return DefFrameProcA(h, g_mdiClient, m, w, l);
}

LRESULT MdiDocProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Recorder::Get().log.push_back({h, m, w, l});
  return DefMDIChildProcA(h, m, w, l);
}

TEST_F(MenuBarTest, AMaximisedMdiChildShowsItsIconAndButtonsInTheFramesBar) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    WNDCLASSEXA f;
    f.lpfnWndProc = MdiFrameProc;
    f.lpszClassName = "BarFrame";
    RegisterClassExA(&f);
    WNDCLASSEXA c;
    c.lpfnWndProc = MdiDocProc;
    c.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
    c.lpszClassName = "BarDoc";
    RegisterClassExA(&c);
  }
  HWND frame = CreateWindowExA(0, "BarFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                               nullptr, nullptr, nullptr);
  CLIENTCREATESTRUCT ccs;
  ccs.idFirstChild = 100;
  g_mdiClient = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 592, 330, frame,
                                nullptr, nullptr, &ccs);
  HMENU fileMenu = CreatePopupMenu();
  AppendMenuA(fileMenu, MF_STRING, kOpen, "&Open");
  HMENU frameBar = CreateMenu();
  AppendMenuA(frameBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), "&File");
  SetMenu(frame, frameBar);
  MDICREATESTRUCTA mcs;
  mcs.szClass = "BarDoc";
  mcs.szTitle = "Doc";
  HWND doc = reinterpret_cast<HWND>(SendMessageA(g_mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  ASSERT_TRUE(doc);
  RECT wr;
  GetWindowRect(frame, &wr);
  auto titleLeft = [&] {
    RECT r{0, 0, 0, 0};
    EXPECT_TRUE(GetMenuItemRect(frame, frameBar, 0, &r));
    return r.left - wr.left;
  };
  EXPECT_EQ(titleLeft(), 4 + 2);
  SendMessageA(g_mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(doc), 0);
  Pump();
  ASSERT_TRUE(IsZoomed(doc));
  EXPECT_EQ(titleLeft(), 4 + 18 + 2);  // after the child's icon
  // the buttons sit at the bar's right end: restore, then close
  const int y = wr.top + 23 + 8;
  const int closeX = wr.right - 4 - 10, restoreX = closeX - 18, iconX = wr.left + 4 + 10;
  auto syscommands = [&](WPARAM cmd) {
    int n = 0;
    for (const Rec& r : R().log)
      if (r.hwnd == doc && r.msg == WM_SYSCOMMAND && (r.wp & 0xFFF0) == cmd) ++n;
    return n;
  };
  // the icon opens the child's system menu
  hb->Click(iconX, y);
  bool shown = false;
  g_steps.push_back([&] {
    shown = FindWindowA("#32768", nullptr) != nullptr;
    g_hb->Key(VK_ESCAPE);
  });
  Pump();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(IsZoomed(doc));
  // a button released elsewhere does nothing
  hb->AdvanceClock(1000);
  hb->MouseDown(closeX, y);
  hb->MouseUp(closeX - 100, y + 100);
  Pump();
  EXPECT_EQ(syscommands(SC_CLOSE), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  hb->AdvanceClock(1000);
  hb->Click(restoreX, y);
  Pump();
  EXPECT_EQ(syscommands(SC_RESTORE), 1);
  EXPECT_FALSE(IsZoomed(doc));
  EXPECT_EQ(titleLeft(), 4 + 2);
  SendMessageA(g_mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(doc), 0);
  Pump();
  hb->AdvanceClock(1000);
  hb->Click(closeX, y);
  Pump();
  EXPECT_EQ(syscommands(SC_CLOSE), 1);
  EXPECT_FALSE(g_overrun);
  g_mdiClient = nullptr;
}

}  // namespace
