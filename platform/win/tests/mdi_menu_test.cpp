// The multiple-document interface and the platform's menus.
#include "platform/win/tests/wintest.h"

using V = std::vector<std::string>;

namespace {

HWND g_client = nullptr;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Recorder::Get().log.push_back({h, m, w, l});
  return DefFrameProcA(h, g_client, m, w, l);
}

LRESULT ChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Recorder::Get().log.push_back({h, m, w, l});
  return DefMDIChildProcA(h, m, w, l);
}

class MdiTest : public WinTest {
 protected:
  HWND frame = nullptr, client = nullptr;
  void SetUp() override {
    WinTest::SetUp();
    static bool registered = false;
    if (!registered) {
      registered = true;
      WNDCLASSEXA f;
      f.lpfnWndProc = FrameProc;
      f.lpszClassName = "MdiFrame";
      RegisterClassExA(&f);
      WNDCLASSEXA c;
      c.lpfnWndProc = ChildProc;
      c.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
      c.lpszClassName = "MdiDoc";
      RegisterClassExA(&c);
    }
    g_client = nullptr;
    frame = CreateWindowExA(0, "MdiFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 808, 627, nullptr,
                            nullptr, nullptr, nullptr);
    CLIENTCREATESTRUCT ccs;
    ccs.idFirstChild = 100;
    // a client area of 800 x 600 inside the frame's 4-pixel borders and caption
    client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 804,
                             604, frame, nullptr, nullptr, &ccs);
    g_client = client;
  }
  HWND Doc(const char* title) {
    MDICREATESTRUCTA mcs;
    mcs.szClass = "MdiDoc";
    mcs.szTitle = title;
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  }
  HWND Active(BOOL* max = nullptr) {
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(max)));
  }
  RECT In(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

}  // namespace

TEST_F(MdiTest, ChildrenActivateInOrderWithTheirMessages) {
  RECT cr;
  GetClientRect(client, &cr);
  ASSERT_EQ(cr, (RECT{0, 0, 800, 600}));
  HWND a = Doc("A");
  ASSERT_TRUE(a);
  EXPECT_EQ(Active(), a);
  EXPECT_EQ(GetDlgCtrlID(a), 100);
  Clear();
  HWND b = Doc("B");
  EXPECT_EQ(Active(), b);
  EXPECT_EQ(GetDlgCtrlID(b), 101);
  EXPECT_EQ(Names(R().Of(a, {WM_NCACTIVATE, WM_MDIACTIVATE})), (V{"WM_NCACTIVATE", "WM_MDIACTIVATE"}));
  const Rec* deact = R().Last(a, WM_MDIACTIVATE);
  EXPECT_EQ(reinterpret_cast<HWND>(deact->wp), a);
  EXPECT_EQ(reinterpret_cast<HWND>(deact->lp), b);
  EXPECT_EQ(Names(R().Of(b, {WM_NCACTIVATE, WM_MDIACTIVATE, WM_SETFOCUS})),
            (V{"WM_NCACTIVATE", "WM_MDIACTIVATE", "WM_SETFOCUS"}));
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(GetActiveWindow(), frame);  // the frame keeps the activation
  SendMessageA(client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(Active(), a);
  SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_EQ(Active(), b);
  // closing the active child activates the next one
  SendMessageA(b, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(Active(), a);
}

TEST_F(MdiTest, CascadeAndTileGeometry) {
  HWND d[4] = {Doc("1"), Doc("2"), Doc("3"), Doc("4")};
  SendMessageA(client, WM_MDICASCADE, 0, 0);
  // steps of 22 pixels (caption and frame); 600 / (3 * 22) = 9 steps fit
  const int step = 22, stagger = 600 / (3 * step);
  for (int k = 0; k < 4; ++k) {
    // the bottom window is placed first, the active one on top and furthest in
    RECT r = In(d[k]);
    EXPECT_EQ(r, (RECT{step * k, step * k, step * k + 800 - stagger * step, step * k + 600 - stagger * step}))
        << "child " << k;
  }
  EXPECT_EQ(Active(), d[3]);
  SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
  // four windows: two rows of two, in z-order (the active first)
  std::vector<RECT> got;
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) got.push_back(In(c));
  EXPECT_EQ(got, (std::vector<RECT>{{0, 0, 400, 300}, {400, 0, 800, 300}, {0, 300, 400, 600}, {400, 300, 800, 600}}));
  DestroyWindow(d[0]);
  SendMessageA(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
  got.clear();
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) got.push_back(In(c));
  // three windows: one column, stacked
  EXPECT_EQ(got, (std::vector<RECT>{{0, 0, 800, 200}, {0, 200, 800, 400}, {0, 400, 800, 600}}));
  SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
  got.clear();
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) got.push_back(In(c));
  EXPECT_EQ(got, (std::vector<RECT>{{0, 0, 266, 600}, {266, 0, 533, 600}, {533, 0, 800, 600}}));
}

TEST_F(MdiTest, MaximisedChildFillsTheClientAndMergesItsCaption) {
  HWND a = Doc("A");
  SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a), 0);
  BOOL max = FALSE;
  EXPECT_EQ(Active(&max), a);
  EXPECT_TRUE(max);
  EXPECT_TRUE(IsZoomed(a));
  POINT o{0, 0};
  ClientToScreen(a, &o);
  ScreenToClient(client, &o);
  EXPECT_EQ(o, (POINT{0, 0}));  // the child's client area is the MDI client area
  RECT cr;
  GetClientRect(a, &cr);
  EXPECT_EQ(cr, (RECT{0, 0, 800, 600}));
  char title[64];
  GetWindowTextA(frame, title, sizeof title);
  EXPECT_STREQ(title, "Frame - [A]");
  // a new child takes over the maximised state
  HWND b = Doc("B");
  EXPECT_TRUE(IsZoomed(b));
  EXPECT_FALSE(IsZoomed(a));
  GetWindowTextA(frame, title, sizeof title);
  EXPECT_STREQ(title, "Frame - [B]");
  SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_FALSE(IsZoomed(b));
  GetWindowTextA(frame, title, sizeof title);
  EXPECT_STREQ(title, "Frame");
  // minimise all, then arrange the icons along the bottom
  ShowWindow(a, SW_MINIMIZE);
  ShowWindow(b, SW_MINIMIZE);
  SendMessageA(client, WM_MDIICONARRANGE, 0, 0);
  EXPECT_TRUE(IsIconic(a) && IsIconic(b));
  EXPECT_EQ(In(a).bottom, 600);
  EXPECT_EQ(In(b).bottom, 600);
  EXPECT_NE(In(a).left, In(b).left);
}

TEST_F(WinTest, MenusHoldItemsAndTheSystemMenuHasItsBitmaps) {
  HMENU m = CreatePopupMenu();
  AppendMenuA(m, MF_STRING, 10, "&Open\tCtrl+O");
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(m, MF_STRING | MF_GRAYED, 11, "&Save");
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, 20, "Deep");
  AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
  MENUITEMINFOA mi;
  mi.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
  mi.wID = 12;
  mi.dwTypeData = const_cast<char*>("\xBD\xDA\xB5\xE3");
  mi.fState = MFS_DEFAULT;
  InsertMenuItemA(m, 1, TRUE, &mi);
  EXPECT_EQ(GetMenuItemCount(m), 5);
  EXPECT_EQ(GetMenuItemID(m, 1), 12u);
  EXPECT_EQ(GetMenuItemID(m, 4), 0xFFFFFFFFu);
  EXPECT_EQ(GetSubMenu(m, 4), sub);
  char buf[32];
  EXPECT_EQ(GetMenuStringA(m, 20, buf, sizeof buf, MF_BYCOMMAND), 4);  // found in the submenu
  EXPECT_STREQ(buf, "Deep");
  EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 12u);
  EXPECT_TRUE(GetMenuState(m, 11, MF_BYCOMMAND) & MF_GRAYED);
  CheckMenuItem(m, 10, MF_CHECKED);
  EXPECT_TRUE(GetMenuState(m, 10, MF_BYCOMMAND) & MF_CHECKED);
  DestroyMenu(m);
  EXPECT_FALSE(IsMenu(m));
  EXPECT_FALSE(IsMenu(sub));

  HWND h = Top();
  HMENU sys = GetSystemMenu(h, FALSE);
  ASSERT_TRUE(sys);
  EXPECT_EQ(GetMenuItemCount(sys), 7);
  EXPECT_EQ(GetMenuDefaultItem(sys, FALSE, 0), UINT(SC_CLOSE));
  struct {
    UINT id;
    HBITMAP bmp;
    bool gray;
  } items[] = {{SC_RESTORE, HBMMENU_POPUP_RESTORE, true}, {SC_MINIMIZE, HBMMENU_POPUP_MINIMIZE, false},
               {SC_MAXIMIZE, HBMMENU_POPUP_MAXIMIZE, false}, {SC_CLOSE, HBMMENU_POPUP_CLOSE, false}};
  for (auto it : items) {
    MENUITEMINFOA info;
    info.fMask = MIIM_BITMAP | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(sys, it.id, FALSE, &info));
    EXPECT_EQ(info.hbmpItem, it.bmp);
    EXPECT_EQ((info.fState & MFS_GRAYED) != 0, it.gray) << it.id;
  }
  GetMenuStringA(sys, SC_CLOSE, buf, sizeof buf, MF_BYCOMMAND);
  EXPECT_STREQ(buf, "\xB9\xD8\xB1\xD5(&C)\tAlt+F4");
  ShowWindow(h, SW_MAXIMIZE);
  sys = GetSystemMenu(h, FALSE);
  EXPECT_FALSE(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_EQ(GetSystemMenu(h, TRUE), nullptr);
}

TEST_F(WinTest, PopupMenuIsDrivenByKeysAndClicks) {
  HWND h = Top(100, 100, 400, 300);
  Pump();
  HMENU m = CreatePopupMenu();
  AppendMenuA(m, MF_STRING, 10, "&Open");
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(m, MF_STRING | MF_GRAYED, 11, "&Save");
  AppendMenuA(m, MF_STRING, 12, "&Close");
  // keys: down, down (over the separator), down (the grayed item cannot be chosen), enter
  Clear();
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 12);
  EXPECT_EQ(Names(R().Of(h, {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_EXITMENULOOP})),
            (V{"0x0211", "0x0117", "0x0212"}));
  std::vector<UINT> selected;
  for (const Rec& r : R().log)
    if (r.hwnd == h && r.msg == WM_MENUSELECT) selected.push_back(LOWORD(r.wp));
  EXPECT_EQ(selected, (std::vector<UINT>{10, 11, 12, 0}));
  // a mnemonic chooses at once and the command is posted
  Clear();
  hb->Key('O');
  EXPECT_TRUE(TrackPopupMenu(m, 0, 150, 150, 0, h, nullptr));
  Pump();
  ASSERT_EQ(R().Count(h, WM_COMMAND), 1);
  EXPECT_EQ(R().Last(h, WM_COMMAND)->wp, 10u);
  // escape and clicks outside cancel
  hb->Key(VK_ESCAPE);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 0);
  hb->AdvanceClock(1000);
  hb->Click(10, 10);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 0);
  // a click on an item chooses it: items are 19 pixels high below a 2-pixel edge
  hb->AdvanceClock(1000);
  hb->Click(160, 150 + 2 + 19 + 9 + 19 + 5);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 12);
  DestroyMenu(m);
}

TEST_F(WinTest, SubmenusOpenByKeyAndHover) {
  HWND h = Top(100, 100, 400, 300);
  Pump();
  HMENU m = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, 30, "&Inner");
  AppendMenuA(sub, MF_STRING, 31, "&Second");
  AppendMenuA(m, MF_STRING, 10, "&Open");
  AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
  Clear();
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_RIGHT);  // opens the submenu on its first item
  hb->Key(VK_DOWN);
  hb->Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 31);
  std::vector<HMENU> inits;
  for (const Rec& r : R().log)
    if (r.msg == WM_INITMENUPOPUP) inits.push_back(reinterpret_cast<HMENU>(r.wp));
  EXPECT_EQ(inits, (std::vector<HMENU>{m, sub}));
  // escape closes only the submenu; a mnemonic then opens it again
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_RIGHT);
  hb->Key(VK_ESCAPE);
  hb->Key('O');
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 10);
  // the mouse: hovering the submenu item opens it beside the menu; a click inside chooses
  static HeadlessBackend* backend;
  static HMENU subMenu;
  backend = hb;
  subMenu = sub;
  R().handler = [](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
    if (msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(w) == subMenu) {
      RECT root;
      GetWindowRect(FindWindowA("#32768", nullptr), &root);
      // the submenu's top is level with its item (19 down), its second item 21 further
      backend->Click(root.right + 10, root.top + 19 + 21 + 5);
    }
    return false;
  };
  hb->AdvanceClock(1000);
  hb->MouseMove(160, 150 + 2 + 19 + 5);
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, h, nullptr), 31);
  R().handler = nullptr;
  DestroyMenu(m);
}
