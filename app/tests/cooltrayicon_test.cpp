// The notification-area icon on the headless backend's notification area:
// its tip, its mouse events and menu, hiding and restoring the main window,
// minimising to the tray (or staying minimised where there is no tray) and
// cycling through an image list.
#include "app/cooltrayicon.h"

#include <deque>
#include <functional>

#include "app/tests/apptest.h"
#include "platform/classes/filer.h"

namespace {

// Closes every menu as soon as its loop waits for input, noting that it opened.
int gMenusOpened = 0;
HeadlessBackend* gTrayHb = nullptr;
LRESULT CloseMenuHook(int Code, WPARAM W, LPARAM L) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(L);
  if (Code == HC_ACTION && cwp->message == WM_ENTERIDLE && cwp->wParam == MSGF_MENU) {
    ++gMenusOpened;
    gTrayHb->Key(VK_ESCAPE);
  }
  return CallNextHookEx(nullptr, Code, W, L);
}

struct Events {
  std::vector<std::string> log;
  void Click(TObject*) { log.push_back("click"); }
  void DblClick(TObject*) { log.push_back("dblclick"); }
  void Down(TObject*, TMouseButton B, TShiftState S, int, int) {
    log.push_back("down " + std::to_string(int(B)) + (S.Contains(ssLeft) ? " L" : "") + (S.Contains(ssRight) ? " R" : ""));
  }
  void Up(TObject*, TMouseButton B, TShiftState, int, int) { log.push_back("up " + std::to_string(int(B))); }
  void Move(TObject*, TShiftState, int, int) { log.push_back("move"); }
  void Cycle(TObject*, int Index) { log.push_back("cycle " + std::to_string(Index)); }
  void MenuPopup(TObject*) { log.push_back("menu"); }
  void Attach(TCoolTrayIcon* T) {
    T->OnClick = TNotifyEvent(this, &Events::Click);
    T->OnDblClick = TNotifyEvent(this, &Events::DblClick);
    T->OnMouseDown = TMouseEvent(this, &Events::Down);
    T->OnMouseUp = TMouseEvent(this, &Events::Up);
    T->OnMouseMove = TMouseMoveEvent(this, &Events::Move);
    T->OnCycle = TCycleEvent(this, &Events::Cycle);
  }
};

class CoolTrayIconTest : public AppTest {
 protected:
  HHOOK hook = nullptr;
  TForm* mainForm = nullptr;
  void SetUp() override {
    AppTest::SetUp();
    gTrayHb = hb;
    gMenusOpened = 0;
    hook = SetWindowsHookExA(WH_CALLWNDPROC, CloseMenuHook, nullptr, 0);
    mainForm = new TForm(Application, 0);
    mainForm->SetBounds(100, 100, 300, 200);
    Application->SetMainForm(mainForm);
    mainForm->Show();
    Pump();
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook);
    AppTest::TearDown();
  }
  std::string Tip() {
    auto icons = hb->TrayIcons();
    return icons.count(1) ? icons[1] : "<none>";
  }
  void Mouse(TCoolTrayIcon* T, UINT Message) {
    hb->TrayMouse(1, Message);
    Pump();
  }
};

TEST_F(CoolTrayIconTest, TheTipIsTheHintCutTo63BytesAndOnlyWithShowHint) {
  auto* t = new TCoolTrayIcon(mainForm);
  EXPECT_TRUE(t->IconVisible());
  EXPECT_EQ(t->IconData().uCallbackMessage, 0x800u);
  EXPECT_EQ(t->IconData().uID, 1u);
  EXPECT_EQ(t->IconData().uFlags, 7u);
  const std::string seventy(70, 'x');
  struct Case {
    const char* name;
    std::string hint;
    bool show;
    std::string tip;
  } cases[] = {
      {"70 bytes", seventy, true, std::string(63, 'x')},
      {"shown whole", "Penvarro", true, "Penvarro"},
      {"ShowHint off", "Penvarro", false, ""},
      {"a double-byte character across the cut stays out", std::string(62, 'a') + "\xD6\xD0", true, std::string(62, 'a')},
  };
  ASSERT_TRUE(t->AddTrayIcon());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    t->SetShowHint(c.show);
    t->SetHint(c.hint);
    EXPECT_EQ(Tip(), c.tip);
  }
  t->SetIconVisible(false);
  EXPECT_EQ(Tip(), "<none>");
  t->SetIconVisible(true);
  EXPECT_EQ(Tip(), std::string(62, 'a'));
  delete t;
  EXPECT_EQ(Tip(), "<none>") << "no stale icon after the component goes";
}

TEST_F(CoolTrayIconTest, MouseActionsFireEventsAndOpenTheMenu) {
  auto* t = new TCoolTrayIcon(mainForm);
  auto* menu = new TPopupMenu(mainForm);
  menu->Items()->Add(NewItem("Open", 0, false, true, TNotifyEvent(), 0, "OpenItem"));
  Events e;
  e.Attach(t);
  menu->OnPopup = TNotifyEvent(&e, &Events::MenuPopup);
  t->SetPopupMenu(menu);
  t->AddTrayIcon();

  struct Case {
    const char* name;
    bool enabled, leftPopup;
    std::vector<UINT> input;
    std::vector<std::string> log;
  } cases[] = {
      {"right button: the menu on the press", true, false, {WM_RBUTTONDOWN, WM_RBUTTONUP},
       {"down 1 R", "menu", "up 1"}},
      {"left click without LeftPopup", true, false, {WM_LBUTTONDOWN, WM_LBUTTONUP}, {"down 0 L", "click", "up 0"}},
      {"left click with LeftPopup: menu on the press, click on the release", true, true,
       {WM_LBUTTONDOWN, WM_LBUTTONUP}, {"down 0 L", "menu", "click", "up 0"}},
      {"a release without its press is no click", true, false, {WM_LBUTTONUP}, {"up 0"}},
      {"middle button and moves", true, false, {WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONUP},
       {"move", "down 2", "up 2"}},
      {"double click", true, false, {WM_LBUTTONDBLCLK}, {"dblclick"}},
      {"disabled: nothing at all", false, true,
       {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    e.log.clear();
    t->SetEnabled(c.enabled);
    t->SetLeftPopup(c.leftPopup);
    for (UINT m : c.input) Mouse(t, m);
    EXPECT_EQ(e.log, c.log);
  }
  EXPECT_EQ(menu->PopupComponent(), t);
}

TEST_F(CoolTrayIconTest, ADoubleClickRunsTheMenusDefaultItemUnlessItPopsUpOnTheLeft) {
  auto* t = new TCoolTrayIcon(mainForm);
  auto* menu = new TPopupMenu(mainForm);
  int opened = 0;
  struct Counter {
    int* n;
    void Click(TObject*) { ++*n; }
  } counter{&opened};
  menu->Items()->Add(NewItem("Hide", 0, false, true, TNotifyEvent(), 0, "HideItem"));
  TMenuItem* show = NewItem("Show", 0, false, true, TNotifyEvent(&counter, &Counter::Click), 0, "ShowItem");
  show->SetDefault(true);
  menu->Items()->Add(show);
  t->SetPopupMenu(menu);
  t->AddTrayIcon();
  Mouse(t, WM_LBUTTONDBLCLK);
  EXPECT_EQ(opened, 1);
  t->SetLeftPopup(true);
  Mouse(t, WM_LBUTTONDBLCLK);
  EXPECT_EQ(opened, 1);
}

TEST_F(CoolTrayIconTest, HidesAndRestoresTheMainWindow) {
  auto* t = new TCoolTrayIcon(mainForm);
  t->HideMainWindow();
  EXPECT_FALSE(IsWindowVisible(mainForm->Handle()));
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  t->RestoreMainWindow();
  EXPECT_TRUE(IsWindowVisible(mainForm->Handle()));
  EXPECT_FALSE(IsIconic(mainForm->Handle()));
}

// A window comes back from the tray in the state it had: hidden maximised, or
// minimised from maximised, it is maximised again; a maximised window of the
// main form's stays so on the first restore too.
TEST_F(CoolTrayIconTest, RestoringKeepsMaximisedWindowsMaximised) {
  auto* t = new TCoolTrayIcon(mainForm);
  auto* owned = new TForm(mainForm, 0);
  owned->SetBounds(20, 20, 200, 150);
  owned->Show();
  ShowWindow(owned->Handle(), SW_MAXIMIZE);
  ShowWindow(mainForm->Handle(), SW_MAXIMIZE);
  Pump();
  for (const char* how : {"hidden", "minimised"}) {
    SCOPED_TRACE(how);
    if (std::string(how) == "hidden") t->HideMainWindow();
    else ShowWindow(mainForm->Handle(), SW_MINIMIZE);
    Pump();
    t->RestoreMainWindow();
    Pump();
    EXPECT_TRUE(IsWindowVisible(mainForm->Handle()));
    EXPECT_TRUE(IsZoomed(mainForm->Handle()));
    EXPECT_FALSE(IsIconic(mainForm->Handle()));
    EXPECT_TRUE(IsZoomed(owned->Handle()));
    EXPECT_TRUE(IsWindowVisible(owned->Handle()));
  }
  // a window at its normal size stays at it
  ShowWindow(mainForm->Handle(), SW_RESTORE);
  t->HideMainWindow();
  t->RestoreMainWindow();
  EXPECT_TRUE(IsWindowVisible(mainForm->Handle()));
  EXPECT_FALSE(IsZoomed(mainForm->Handle()));
}

// Minimising the application hides it behind the icon; where the desktop has
// no notification area it stays minimised, so it can still be reached.
TEST_F(CoolTrayIconTest, MinimisingGoesToTheTrayOnlyWhereThereIsOne) {
  auto* t = new TCoolTrayIcon(mainForm);
  t->SetIconVisible(false);
  t->SetMinimizeToTray(true);
  struct Case {
    const char* name;
    bool trayAvailable;
    bool visible, iconic, icon;
  } cases[] = {
      {"with a notification area", true, false, true, true},
      {"without one", false, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    hb->SetTrayAvailable(c.trayAvailable);
    Application->Minimize();
    Pump();
    EXPECT_EQ(IsWindowVisible(mainForm->Handle()) != 0, c.visible);
    EXPECT_EQ(IsIconic(mainForm->Handle()) != 0, c.iconic);
    EXPECT_EQ(hb->TrayIcons().count(1) == 1, c.icon);
    EXPECT_EQ(t->IconVisible(), c.icon);
    t->RestoreMainWindow();
    t->SetIconVisible(false);
    EXPECT_TRUE(IsWindowVisible(mainForm->Handle()));
    EXPECT_FALSE(IsIconic(mainForm->Handle()));
  }
  // without MinimizeToTray minimising is left alone
  hb->SetTrayAvailable(true);
  t->SetMinimizeToTray(false);
  Application->Minimize();
  Pump();
  EXPECT_TRUE(IsIconic(mainForm->Handle()));
  EXPECT_EQ(hb->TrayIcons().count(1), 0u);
}

TEST_F(CoolTrayIconTest, CyclesThroughTheIconListOnlyWithAnInterval) {
  auto* t = new TCoolTrayIcon(mainForm);
  auto* list = new TImageList(mainForm);
  list->SetSize(16, 16);
  for (TColor c : {clRed, clLime, clBlue}) {
    TBitmap b;
    b.SetWidth(16);
    b.SetHeight(16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    list->Add(&b, nullptr);
  }
  Events e;
  e.Attach(t);
  t->SetIconList(list);
  t->AddTrayIcon();
  t->SetCycleIcons(true);
  Wait(5000);
  EXPECT_TRUE(e.log.empty()) << "an interval of 0 never cycles";
  t->SetCycleInterval(100);
  for (int i = 0; i < 4; ++i) Wait(100);
  EXPECT_EQ(e.log, (std::vector<std::string>{"cycle 0", "cycle 1", "cycle 2", "cycle 0"}));
  // the tray got the list's picture: the first cycled icon was red
  EXPECT_EQ(hb->TrayImage(1).width, 16);
  t->SetCycleIcons(false);
  e.log.clear();
  Wait(500);
  EXPECT_TRUE(e.log.empty());
}

TEST_F(CoolTrayIconTest, ADescriptionAppliesIconVisibleWhenLoaded) {
  RegisterClasses({TForm::StaticClass()});
  const char* text =
      "object TrayHost: TForm\n"
      "  object TrayIcon1: TCoolTrayIcon\n"
      "    Hint = 'Penvarro'\n"
      "    ShowHint = True\n"
      "    IconVisible = False\n"
      "    LeftPopup = True\n"
      "    MinimizeToTray = True\n"
      "    CycleInterval = 0\n"
      "  end\n"
      "end\n";
  auto* f = new TForm(Application, 0);
  ReadComponentFromText(text, f);
  auto* t = dynamic_cast<TCoolTrayIcon*>(f->FindComponent("TrayIcon1"));
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->IconVisible());
  EXPECT_TRUE(t->LeftPopup());
  EXPECT_TRUE(t->MinimizeToTray());
  EXPECT_EQ(t->Hint(), "Penvarro");
  EXPECT_EQ(Tip(), "<none>");
  // only what differs from the defaults is written
  AnsiString written = WriteComponentToText(f);
  EXPECT_NE(written.find("IconVisible = False"), std::string::npos) << written;
  EXPECT_EQ(written.find("CycleIcons"), std::string::npos) << written;
  t->SetIconVisible(true);
  EXPECT_EQ(Tip(), "Penvarro");
}

}  // namespace
