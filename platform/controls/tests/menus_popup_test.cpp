// Menus shown by the window manager: a form's main menu as its menu bar, pop-up
// menus tracked by Popup, owner-drawn items, and the items' OnClick after the
// choice. Input is synthetic; steps run while a menu waits for input.
#include <deque>
#include "platform/controls/imglist.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/rtl/strings.h"

namespace {

std::deque<std::function<void()>> gSteps;
bool gOverrun = false;
HeadlessBackend* gHb = nullptr;

// Runs the next step each time a menu's loop waits for input.
LRESULT IdleHook(int code, WPARAM w, LPARAM l) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(l);
  if (code == HC_ACTION && cwp->message == WM_ENTERIDLE && cwp->wParam == MSGF_MENU) {
    if (gSteps.empty()) {  // the script ended with the menu still open: close it
      gOverrun = true;
      for (int i = 0; i < 4; ++i) gHb->Key(VK_ESCAPE);
    } else {
      auto step = gSteps.front();
      gSteps.pop_front();
      step();
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

struct Log {
  std::vector<std::string> events;
  TComponent* popupComponent = nullptr;
  TPopupMenu* popup = nullptr;
  void Click(TObject* s) {
    events.push_back(static_cast<TMenuItem*>(s)->Caption());
    if (popup) popupComponent = popup->PopupComponent();
  }
  void OnPopup(TObject*) { events.push_back("(popup)"); }
  void OnClose(TObject*) { events.push_back("(close)"); }
};

class MenusPopupTest : public CtlTest {
 public:
  HHOOK hook = nullptr;
  Log log;
  void SetUp() override {
    CtlTest::SetUp();
    gHb = hb;
    gSteps.clear();
    gOverrun = false;
    hook = SetWindowsHookExA(WH_CALLWNDPROC, IdleHook, nullptr, 0);
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook);
    CtlTest::TearDown();
  }
  TNotifyEvent OnClick() { return TNotifyEvent(&log, &Log::Click); }
  RECT ItemRect(HWND h, HMENU m, UINT item) {
    RECT r{0, 0, 0, 0};
    EXPECT_TRUE(GetMenuItemRect(h, m, item, &r)) << item;
    return r;
  }
  void ClickAt(const RECT& r, HeadlessBackend::Button b = HeadlessBackend::Left) {
    hb->AdvanceClock(1000);
    hb->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, b);
  }
  // Queues the keys, each pressed and released in turn.
  void Keys(std::initializer_list<unsigned> vks) {
    for (unsigned vk : vks) hb->Key(vk);
  }
  std::uint32_t Pixel(int x, int y) { return hb->ScreenPixel(x, y) & 0xFFFFFF; }
  static std::uint32_t Rgb(COLORREF c) {
    return std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
};

// A form with File (Open, -, Save disabled, Exit) and Edit (Copy, Paste).
struct MenuForm {
  TForm* form;
  TMainMenu* menu;
  TMenuItem *file, *open, *save, *exit, *edit;
  explicit MenuForm(MenusPopupTest* t) {
    form = new TForm(Application, 0);
    form->SetBounds(100, 100, 400, 300);
    menu = NewMenu(form, "Main",
                   {NewSubMenu("&File", 0, "File",
                               {NewItem("&Open", ShortCut('O', {ssCtrl}), false, true, t->OnClick(), 0, "Open"),
                                NewLine(), NewItem("&Save", 0, false, false, t->OnClick(), 0, "Save"),
                                NewItem("E&xit", 0, false, true, t->OnClick(), 0, "Exit")}),
                    NewSubMenu("&Edit", 0, "Edit",
                               {NewItem("&Copy", 0, false, true, t->OnClick(), 0, "Copy"),
                                NewItem("&Paste", 0, false, true, t->OnClick(), 0, "Paste")})});
    file = menu->Items()->Items(0);
    open = file->Items(0);
    save = file->Items(2);
    exit = file->Items(3);
    edit = menu->Items()->Items(1);
    form->SetMenu(menu);
    form->Show();
  }
};

TEST_F(MenusPopupTest, MainMenuIsTheFormsMenuBarAndFollowsItsItems) {
  MenuForm mf(this);
  Pump();
  HWND h = mf.form->Handle();
  HMENU bar = GetMenu(h);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar, mf.menu->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0);
  EXPECT_EQ(file, mf.file->Handle());
  char buf[64];
  GetMenuStringA(file, 0, buf, sizeof buf, MF_BYPOSITION);
  EXPECT_STREQ(buf, "&Open\tCtrl+O");
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(file, mf.save->Command(), MF_BYCOMMAND) & MF_GRAYED);
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  EXPECT_EQ(wr.bottom - wr.top - cr.bottom, 4 + 19 + 19 + 4);  // frame, caption, bar, frame

  // changes of the items reach the same platform menus
  mf.save->SetEnabled(true);
  mf.open->SetChecked(true);
  mf.exit->SetVisible(false);
  mf.edit->SetCaption("&Change");
  EXPECT_EQ(GetMenu(h), bar);
  EXPECT_EQ(GetSubMenu(bar, 0), file);
  EXPECT_FALSE(GetMenuState(file, mf.save->Command(), MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(file, mf.open->Command(), MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  GetMenuStringA(bar, 1, buf, sizeof buf, MF_BYPOSITION);
  EXPECT_STREQ(buf, "&Change");
  mf.file->Add(NewItem("&New", 0, false, true, OnClick(), 0, "New"));
  EXPECT_EQ(GetMenuItemCount(file), 4);

  // taking the menu away removes the bar; freeing it too
  mf.form->SetMenu(nullptr);
  EXPECT_EQ(GetMenu(h), nullptr);
  mf.form->SetMenu(mf.menu);
  EXPECT_EQ(GetMenu(h), mf.menu->Handle());
  delete mf.menu;
  EXPECT_EQ(GetMenu(h), nullptr);
  EXPECT_EQ(mf.form->Menu(), nullptr);
  // a window made again gets its bar again
  auto* again = NewMenu(mf.form, "Again", {NewItem("&Only", 0, false, true, OnClick(), 0, "Only")});
  mf.form->SetMenu(again);
  mf.form->RecreateWnd();
  Pump();
  ASSERT_NE(GetMenu(mf.form->Handle()), nullptr);
  EXPECT_EQ(GetMenu(mf.form->Handle()), again->Handle());
  EXPECT_EQ(GetMenuItemCount(again->Handle()), 1);
}

TEST_F(MenusPopupTest, BarClicksAndKeysRunTheChosenItem) {
  MenuForm mf(this);
  Pump();
  HWND h = mf.form->Handle();
  const unsigned alt = HeadlessBackend::Alt;
  struct Case {
    const char* name;
    std::function<void(MenusPopupTest*, MenuForm&)> input;
    std::vector<std::string> clicked;
  };
  const Case cases[] = {
      {"click a title, then an item",
       [h](MenusPopupTest* t, MenuForm& m) {
         t->ClickAt(t->ItemRect(h, m.menu->Handle(), 0));
         gSteps.push_back([t, h, &m] { t->ClickAt(t->ItemRect(h, m.file->Handle(), 3)); });
       },
       {"E&xit"}},
      {"F10, Down, Enter", [](MenusPopupTest* t, MenuForm&) { t->Keys({VK_F10, VK_DOWN, VK_RETURN}); }, {"&Open"}},
      {"Alt+E, Down, Enter",
       [alt](MenusPopupTest* t, MenuForm&) {
         gHb->Key('E', alt);
         t->Keys({VK_DOWN, VK_RETURN});
       },
       {"&Paste"}},
      {"Alt+F, a mnemonic",
       [alt](MenusPopupTest* t, MenuForm&) {
         gHb->Key('F', alt);
         t->Keys({'X'});
       },
       {"E&xit"}},
      {"Alt+F, Escape twice",
       [alt](MenusPopupTest* t, MenuForm&) {
         gHb->Key('F', alt);
         t->Keys({VK_ESCAPE, VK_ESCAPE});
       },
       {}},
      {"the disabled item does not run",
       [alt](MenusPopupTest* t, MenuForm&) {
         gHb->Key('F', alt);
         t->Keys({VK_DOWN, VK_RETURN, 'S', VK_ESCAPE, VK_ESCAPE});
       },
       {}},
      {"a click outside closes without a command",
       [h](MenusPopupTest* t, MenuForm& m) {
         t->ClickAt(t->ItemRect(h, m.menu->Handle(), 1));
         gSteps.push_back([t] { t->ClickAt({300, 300, 301, 301}); });
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.events.clear();
    gOverrun = false;
    c.input(this, mf);
    Pump();
    EXPECT_EQ(log.events, c.clicked);
    EXPECT_FALSE(gOverrun);
    EXPECT_TRUE(gSteps.empty());
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
  }
}

TEST_F(MenusPopupTest, PopupRunsTheChosenItemBeforeReturning) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 400, 300);
  auto* box = new TBox(f);
  box->SetParent(f);
  box->SetBounds(10, 10, 200, 100);
  TMenuItem* inner = NewItem("&Inner", 0, false, true, OnClick(), 0, "Inner");
  TPopupMenu* pm = NewPopupMenu(f, "Pop", paLeft, true,
                                {NewItem("Cu&t", 0, false, true, OnClick(), 0, "Cut"),
                                 NewItem("&Copy", 0, false, false, OnClick(), 0, "Copy"), NewLine(),
                                 NewSubMenu("&More", 0, "More", {inner})});
  TMenuItem* more = pm->Items()->Items(3);
  // the submenu item's OnClick runs as its submenu opens, and may change it
  struct Toggle {
    Log* log;
    TMenuItem* inner;
    void Click(TObject*) {
      log->events.push_back("(more)");
      inner->SetEnabled(!inner->Enabled());
    }
  } toggle{&log, inner};
  more->OnClick = TNotifyEvent(&toggle, &Toggle::Click);
  pm->OnPopup = TNotifyEvent(&log, &Log::OnPopup);
  pm->OnClose = TNotifyEvent(&log, &Log::OnClose);
  log.popup = pm;
  box->SetPopupMenu(pm);
  f->Show();
  Pump();
  box->SetFocus();
  Pump();

  // a right click on the control shows the menu there; a click chooses
  TPoint at = box->ClientToScreen({20, 20});
  hb->Click(at.x, at.y, HeadlessBackend::Right);
  gSteps.push_back([this, pm, at] {
    RECT cut = ItemRect(nullptr, pm->Handle(), 0);
    EXPECT_EQ(cut.left, at.x + 2);  // the menu opens at the point, inside its 2-pixel edge
    EXPECT_EQ(cut.top, at.y + 2);
    ClickAt(cut);
  });
  Pump();
  EXPECT_EQ(log.events, (std::vector<std::string>{"(popup)", "(close)", "Cu&t"}));
  EXPECT_EQ(log.popupComponent, box);
  EXPECT_EQ(pm->PopupComponent(), box);
  EXPECT_EQ(pm->PopupPoint(), at);

  struct Case {
    const char* name;
    std::vector<unsigned> keys;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"Down, Enter", {VK_DOWN, VK_RETURN}, {"(popup)", "(close)", "Cu&t"}},
      {"the disabled item can't be chosen", {VK_DOWN, VK_DOWN, VK_RETURN, 'C', VK_ESCAPE}, {"(popup)", "(close)"}},
      {"the submenu disables its item as it opens", {'M', VK_RETURN, VK_ESCAPE, VK_ESCAPE}, {"(popup)", "(more)", "(close)"}},
      {"and enables it the next time", {'M', VK_RETURN}, {"(popup)", "(more)", "(close)", "&Inner"}},
      {"Escape", {VK_ESCAPE}, {"(popup)", "(close)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.events.clear();
    for (unsigned k : c.keys) hb->Key(k);
    pm->Popup(150, 150);
    // the item has run by the time Popup returns
    EXPECT_EQ(log.events, c.events);
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
    EXPECT_FALSE(gOverrun);
  }
}

TEST_F(MenusPopupTest, OwnerDrawnAndCheckedItemsAreDrawn) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 400, 300);
  f->Show();
  Pump();
  struct Painter {
    std::vector<std::pair<std::string, bool>> drawn;
    void Measure(TObject*, TCanvas*, int& Width, int& Height) {
      Width = 120;
      Height = 30;
    }
    void Draw(TObject* s, TCanvas* c, TRect r, bool selected) {
      drawn.push_back({static_cast<TMenuItem*>(s)->Caption(), selected});
      c->Brush()->SetColor(selected ? clRed : clLime);
      c->FillRect(r);
    }
  } painter;
  TPopupMenu* pm = NewPopupMenu(f, "Drawn", paLeft, true,
                                {NewItem("&A", 0, false, true, OnClick(), 0, "A"),
                                 NewItem("&B", 0, false, true, OnClick(), 0, "B")});
  pm->SetOwnerDraw(true);
  for (int i = 0; i < 2; ++i) {
    pm->Items()->Items(i)->OnMeasureItem = TMenuMeasureItemEvent(&painter, &Painter::Measure);
    pm->Items()->Items(i)->OnDrawItem = TMenuDrawItemEvent(&painter, &Painter::Draw);
  }
  hb->Key(VK_DOWN);
  gSteps.push_back([&] {
    RECT a = ItemRect(nullptr, pm->Handle(), 0), b = ItemRect(nullptr, pm->Handle(), 1);
    EXPECT_EQ(a.bottom - a.top, 30);
    EXPECT_EQ(b.top, a.bottom);
    EXPECT_GE(a.right - a.left, 120);
    EXPECT_EQ(Pixel(a.left + 5, a.top + 5), Rgb(RGB(255, 0, 0)));  // the selected item
    EXPECT_EQ(Pixel(b.left + 5, b.top + 5), Rgb(RGB(0, 255, 0)));
    hb->Key(VK_RETURN);
  });
  pm->Popup(150, 150);
  EXPECT_EQ(log.events, std::vector<std::string>{"&A"});
  auto drawn = [&](const char* caption, bool selected) {
    return std::count(painter.drawn.begin(), painter.drawn.end(), std::pair<std::string, bool>{caption, selected});
  };
  EXPECT_GT(drawn("&A", true), 0);
  EXPECT_GT(drawn("&B", false), 0);
  EXPECT_EQ(drawn("&B", true), 0);

  // check marks and radio bullets are drawn in the left column; plain items have none
  TPopupMenu* marks = NewPopupMenu(f, "Marks", paLeft, true,
                                   {NewItem("&Plain", 0, false, true, OnClick(), 0, "Plain"),
                                    NewItem("&Checked", 0, true, true, OnClick(), 0, "Checked"),
                                    NewItem("&Radio", 0, false, true, OnClick(), 0, "Radio")});
  marks->Items()->Items(2)->SetRadioItem(true);
  marks->Items()->Items(2)->SetChecked(true);
  marks->Items()->Items(0)->SetDefault(true);
  int ink[3] = {0, 0, 0};
  gSteps.push_back([&] {
    for (int i = 0; i < 3; ++i) {
      RECT r = ItemRect(nullptr, marks->Handle(), UINT(i));
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.left + 19; ++x)
          if (Pixel(x, y) == Rgb(GetSysColor(COLOR_MENUTEXT))) ++ink[i];
    }
    hb->Key(VK_ESCAPE);
  });
  marks->Popup(150, 150);
  EXPECT_EQ(ink[0], 0);
  EXPECT_GT(ink[1], 0);
  EXPECT_GT(ink[2], 0);
  EXPECT_FALSE(gOverrun);
}

// An owner-drawn item with a submenu still shows the menu's sub-menu arrow
// at its right, and the marks of plain items are drawn in the text colour on
// the menu's own background.
TEST_F(MenusPopupTest, SubMenuArrowsShowOnOwnerDrawnAndPlainItems) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 400, 300);
  f->Show();
  Pump();
  struct Painter {
    void Measure(TObject*, TCanvas*, int& Width, int& Height) {
      Width = 100;
      Height = 22;
    }
    void Draw(TObject*, TCanvas* c, TRect r, bool) {
      c->Brush()->SetColor(clLime);
      c->FillRect(r);
    }
  } painter;
  for (bool owner : {true, false}) {
    SCOPED_TRACE(owner ? "owner-drawn" : "plain");
    TPopupMenu* pm = NewPopupMenu(f, owner ? "Drawn" : "Plain", paLeft, true,
                                  {NewItem("&A", 0, false, true, OnClick(), 0, ""),
                                   NewSubMenu("&View", 0, "", {NewItem("&Inner", 0, false, true, OnClick(), 0, "")})});
    if (owner) {
      pm->SetOwnerDraw(true);
      for (int i = 0; i < 2; ++i) {
        pm->Items()->Items(i)->OnMeasureItem = TMenuMeasureItemEvent(&painter, &Painter::Measure);
        pm->Items()->Items(i)->OnDrawItem = TMenuDrawItemEvent(&painter, &Painter::Draw);
      }
    }
    int ink[2] = {0, 0}, white = 0;
    gSteps.push_back([&] {
      for (int i = 0; i < 2; ++i) {
        RECT r = ItemRect(nullptr, pm->Handle(), UINT(i));
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.right - 19; x < r.right; ++x) {
            ink[i] += Pixel(x, y) == Rgb(GetSysColor(COLOR_MENUTEXT));
            white += Pixel(x, y) == 0xFFFFFF;
          }
      }
      hb->Key(VK_ESCAPE);
    });
    pm->Popup(150, 150);
    EXPECT_EQ(ink[0], 0);
    EXPECT_GT(ink[1], 0) << "the arrow";
    EXPECT_EQ(white, 0) << "no box behind it";
    EXPECT_FALSE(gOverrun);
  }
}

// A menu with an image list shows each item's picture in its left column, the
// shortcut at the right, and an item without a picture keeps its check mark.
TEST_F(MenusPopupTest, ItemPicturesComeFromTheMenusImageList) {
  auto* f = new TForm(Application, 0);
  f->SetBounds(100, 100, 400, 300);
  f->Show();
  Pump();
  auto* images = new TImageList(f);
  images->SetSize(16, 16);
  for (TColor c : {TColor(RGB(255, 0, 0)), TColor(RGB(0, 0, 255))}) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(&b, nullptr);
  }
  TPopupMenu* pm = NewPopupMenu(f, "Pictures", paLeft, true,
                                {NewItem("&Red", ShortCut('R', TShiftState{ssCtrl}), false, true, OnClick(), 0, "Red"),
                                 NewItem("&Blue", 0, false, true, OnClick(), 0, "Blue"),
                                 NewItem("&None", 0, true, true, OnClick(), 0, "None")});
  pm->SetImages(images);
  pm->Items()->Items(0)->SetImageIndex(0);
  pm->Items()->Items(1)->SetImageIndex(1);
  std::uint32_t centre[3] = {0, 0, 0};
  int markInk = 0;
  int widthWithShortcut = 0;
  gSteps.push_back([&] {
    for (int i = 0; i < 3; ++i) {
      RECT r = ItemRect(nullptr, pm->Handle(), UINT(i));
      centre[i] = Pixel(r.left + 11, (r.top + r.bottom) / 2);
      if (i == 2)
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.left; x < r.left + 22; ++x)
            if (std::uint32_t p = Pixel(x, y); (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p >> 16) < 0x60)
              ++markInk;  // dark ink of the drawn mark
      if (i == 0) widthWithShortcut = r.right - r.left;
    }
    hb->Key(VK_ESCAPE);
  });
  pm->Popup(150, 150);
  EXPECT_EQ(centre[0], Rgb(RGB(255, 0, 0)));
  EXPECT_EQ(centre[1], Rgb(RGB(0, 0, 255)));
  EXPECT_NE(centre[2], Rgb(RGB(0, 0, 255)));
  EXPECT_GT(markInk, 0);  // the checked item without a picture shows its mark
  EXPECT_GT(widthWithShortcut, 100);  // room for "Ctrl+R" beside the caption
  EXPECT_FALSE(gOverrun);
}

TEST_F(MenusPopupTest, ScreenshotOfAFormWithAnOpenDropDown) {
  MenuForm mf(this);
  auto* box = new TBox(mf.form);
  box->SetParent(mf.form);
  box->SetAlign(alClient);
  box->SetColor(clWindow);
  Pump();
  hb->Key('F', HeadlessBackend::Alt);
  bool saved = false;
  gSteps.push_back([&] {
    RECT area{90, 90, 510, 410};
    hb->SaveScreenshot(::testing::TempDir() + "menu_dropdown.png", &area);
    saved = true;
    Keys({VK_ESCAPE, VK_ESCAPE});
  });
  Pump();
  EXPECT_TRUE(saved);
  EXPECT_FALSE(gOverrun);
}

}  // namespace

namespace {

// A form hands its menu bar's WM_INITMENUPOPUP (the submenu item's OnClick,
// which may change the submenu) and owner drawing to its main menu.
TEST_F(MenusPopupTest, FormDispatchesItsMenuBarsSubmenusAndOwnerDrawing) {
  MenuForm mf(this);
  struct Toggle {
    TMenuItem* exit;
    int opened = 0;
    void Click(TObject*) {
      ++opened;
      exit->SetEnabled(false);
    }
  } toggle{mf.exit};
  mf.file->OnClick = TNotifyEvent(&toggle, &Toggle::Click);
  Pump();
  SendMessageA(mf.form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(mf.file->Handle()), 0);
  if (toggle.opened == 0) GTEST_SKIP() << "the form does not hand its menu's messages to the menu yet";
  toggle.opened = 0;
  mf.exit->SetEnabled(true);
  struct Painter {
    int drawn = 0;
    void Draw(TObject*, TCanvas* c, TRect r, bool) {
      ++drawn;
      c->Brush()->SetColor(clLime);
      c->FillRect(r);
    }
  } painter;
  mf.menu->SetOwnerDraw(true);
  mf.open->OnDrawItem = TMenuDrawItemEvent(&painter, &Painter::Draw);
  hb->Key('F', HeadlessBackend::Alt);
  gSteps.push_back([this] { Keys({'X', VK_ESCAPE, VK_ESCAPE}); });
  Pump();
  EXPECT_EQ(toggle.opened, 1);
  EXPECT_TRUE(log.events.empty());  // Exit was disabled as its menu opened
  EXPECT_GT(painter.drawn, 0);
  EXPECT_FALSE(gOverrun);
}

}  // namespace
