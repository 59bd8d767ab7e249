// Pop-up menus: shown at the cursor from a right click over a tree they run
// the chosen command before Popup returns; their window is single, their
// manager never none, their recent-items rule their own; commands posted
// while they are open arrive afterwards, a quit message stays queued.
#include "bars/kxbarpopup.h"
#include "bars/tests/kxbartest.h"
#include "platform/controls/comctrls.h"

namespace {

// The tree's context handler (a right click on the tree) opens the menu at the cursor.
struct TPopupTreeHost {
  TkxBarPopupMenu* Menu = nullptr;
  std::vector<std::string>* Log = nullptr;
  void TreeContextPopup(TObject*, TPoint, bool& Handled) {
    Handled = true;
    Log->push_back("popup");
    Menu->PopupAtCursor();
    Log->push_back("returned");
  }
  void AgainOnPopup(TObject*) {
    Log->push_back("shown");
    Menu->PopupAtCursor();  // already shown: nothing
  }
};

}  // namespace

class BarsPopupTest : public BarsFormTest {
 protected:
  TkxBarPopupMenu* Menu = nullptr;
  TTreeView* Tree = nullptr;
  TPopupTreeHost Host;
  void SetUp() override {
    BarsFormTest::SetUp();
    Menu = new TkxBarPopupMenu(F);
    for (TkxBarItem* i : {static_cast<TkxBarItem*>(F->OpenItem), static_cast<TkxBarItem*>(F->NewItem)})
      Menu->ItemLinks()->Add()->SetItem(i);
    Tree = new TTreeView(F);
    Tree->SetParent(F);
    Tree->SetBounds(240, 60, 150, 120);
    Tree->Items()->Add(nullptr, A("第一章"));
    Host.Menu = Menu;
    Host.Log = &F->Log;
    Tree->OnContextPopup = TContextPopupEvent(&Host, &TPopupTreeHost::TreeContextPopup);
    Pump();
  }
  TPoint TreePoint() { return Tree->ClientToScreen(TPoint{20, 8}); }
};

TEST_F(BarsPopupTest, RightClickOverATreeRunsTheChosenCommandBeforePopupReturns) {
  TPoint p = TreePoint();
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  hb->Key(VK_DOWN);
  hb->Key(VK_DOWN);
  hb->Key(VK_RETURN);
  Pump();
  ASSERT_EQ(F->Log.size(), 3u);
  EXPECT_EQ(F->Log[0], "popup");
  EXPECT_EQ(F->Log[1], "new");  // the second link, run inside the modal loop
  EXPECT_EQ(F->Log[2], "returned");
  EXPECT_FALSE(Menu->Shown());
  EXPECT_EQ(Menu->SubMenuControl(), nullptr);
}

TEST_F(BarsPopupTest, TheMenuOpensAtTheCursorAndAClickOnAnItemRunsIt) {
  // as the menu opens, a click is queued on its first item, just inside its top left corner
  struct TClicker {
    HeadlessBackend* Hb;
    TRect Window{};
    void Shown(TObject* Sender) {
      Window = static_cast<TkxBarPopupMenu*>(Sender)->SubMenuControl()->GetWindowRect();
      Hb->Click(Window.left + 30, Window.top + 10);
    }
  } clicker{hb};
  Menu->OnPopup = TNotifyEvent(&clicker, &TClicker::Shown);
  TPoint p = TreePoint();
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  Pump();
  EXPECT_EQ(clicker.Window.left, p.x);
  EXPECT_EQ(clicker.Window.top, p.y);
  ASSERT_EQ(F->Log.size(), 3u);
  EXPECT_EQ(F->Log[1], "open");
  EXPECT_EQ(F->Log[2], "returned");
}

TEST_F(BarsPopupTest, ASecondPopupWhileShownLeavesOneWindow) {
  Menu->OnPopup = TNotifyEvent(&Host, &TPopupTreeHost::AgainOnPopup);
  TPoint p = TreePoint();
  int before = kxBarBarControlCount();
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "shown"), 1);
  EXPECT_EQ(F->Log.back(), "returned");
  EXPECT_EQ(kxBarBarControlCount(), before);
}

TEST_F(BarsPopupTest, SettingsAndTheirRules) {
  // no manager: refused at run time
  TkxBarManager* m = F->BarManager1;
  Menu->SetBarManager(nullptr);
  EXPECT_EQ(Menu->BarManager(), m);
  // negative side band becomes 0
  Menu->SetBarSize(-5);
  EXPECT_EQ(Menu->BarSize(), 0);
  // a menu without the recent-items rule shows all its items in the enhanced style
  m->SetStyle(bmsEnhanced);
  Menu->ItemLinks()->Items(1)->SetMostRecentlyUsed(false);
  EXPECT_FALSE(Menu->UseRecentItems());
  EXPECT_FALSE(Menu->ItemLinks()->UseRecentItems());
  Menu->SetUseRecentItems(true);
  EXPECT_TRUE(Menu->ItemLinks()->UseRecentItems());
  Menu->SetUseRecentItems(false);
  // the own font: taking a font switches it on, switching off takes the manager's back
  TFont f;
  f.SetSize(14);
  Menu->SetFont(&f);
  EXPECT_TRUE(Menu->UseOwnFont());
  EXPECT_NE(Menu->FontHandle(), nullptr);
  Menu->SetUseOwnFont(false);
  EXPECT_EQ(Menu->Font()->Size(), m->Font()->Size());
  EXPECT_EQ(Menu->FontHandle(), nullptr);
  // shortcuts reach the links: Ctrl+O is the open item's
  EXPECT_TRUE(Menu->ProcessShortCut(TShortCut(16463)));
  EXPECT_EQ(F->Log.back(), "open");
}

TEST_F(BarsPopupTest, CreationWithoutAnyManagerFails) {
  F->BarManager1->Free();
  F->BarManager1 = nullptr;
  Menu = nullptr;  // freed with the manager
  Pump();
  EXPECT_THROW(new TkxBarPopupMenu(F), EkxBarError);
}

TEST_F(BarsPopupTest, CommandsPostedWhileOpenArriveAfterItClosesAndAQuitStaysQueued) {
  struct TCommandCounter : public TForm {
    using TForm::TForm;
    int Commands = 0;
    void WndProc(TMessage& M) override {
      if (M.Msg == WM_COMMAND && M.WParam == 4711) ++Commands;
      TForm::WndProc(M);
    }
  };
  auto* target = new TCommandCounter(F);
  target->HandleNeeded();
  struct TPoster {
    HWND Target;
    void Post(TObject*) { PostMessageA(Target, WM_COMMAND, 4711, 0); }
  } poster{target->Handle()};
  Menu->OnPopup = TNotifyEvent(&poster, &TPoster::Post);
  TPoint p = TreePoint();
  hb->Click(p.x, p.y, HeadlessBackend::Right);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(Menu->Shown());
  EXPECT_EQ(target->Commands, 1);  // delivered once the menu had closed, not lost
  // a quit message ends the loop and stays for the application
  struct TQuitter {
    void Quit(TObject*) { PostQuitMessage(3); }
  } quitter;
  Menu->OnPopup = TNotifyEvent(&quitter, &TQuitter::Quit);
  Menu->Popup(p.x, p.y);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  if (Menu->SubMenuControl()) Menu->SubMenuControl()->CloseMenu();
}

TEST_F(BarsPopupTest, AsADropDownItOpensUnderTheArrowAndLaterPopupsHaveNoOwnerRectangle) {
  F->CutButton->SetButtonStyle(bsDropDown);
  F->CutButton->SetDropDownMenu(Menu);
  Pump();
  TkxBarItemLink* link = ControlOf(F, 1)->ItemLinks()->Items(0);
  TRect r = LinkScreenRect(link);
  hb->Click(r.right - 3, (r.top + r.bottom) / 2);  // the arrow part
  Pump();
  TkxBarSubMenuControl* window = Menu->SubMenuControl();
  ASSERT_NE(window, nullptr);  // the drop-down call returned; its window runs the menu
  EXPECT_TRUE(Menu->Shown());
  TRect owner = window->OwnerItemRect();
  EXPECT_FALSE(IsRectEmpty(&owner));
  EXPECT_GE(window->GetWindowRect().top, r.bottom - 1);
  hb->Key(VK_DOWN);
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(Menu->SubMenuControl(), nullptr);
  EXPECT_EQ(F->Log.back(), "open");
  // the drop-down values held for that call only
  struct TOwnerCheck {
    bool Empty = false;
    void Shown(TObject* Sender) {
      TRect o = static_cast<TkxBarPopupMenu*>(Sender)->SubMenuControl()->OwnerItemRect();
      Empty = IsRectEmpty(&o);
      PostMessageA(static_cast<TkxBarPopupMenu*>(Sender)->SubMenuControl()->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
  } check;
  Menu->OnPopup = TNotifyEvent(&check, &TOwnerCheck::Shown);
  hb->MouseMove(300, 200);
  Pump();
  Menu->PopupAtCursor();
  EXPECT_TRUE(check.Empty);
  EXPECT_FALSE(Menu->Shown());
}

TEST_F(BarsPopupTest, AMenuInADescriptionReadsBackWithItsLinksAndTheFormsManager) {
  Menu->SetName("TreePopup");
  Menu->SetBarSize(12);
  AnsiString text = WriteComponentToText(F);
  EXPECT_NE(text.find("object TreePopup: TkxBarPopupMenu"), AnsiString::npos);
  auto* g = new TBarsTestForm(Application);
  ReadComponentFromText(text, g);
  auto* read = dynamic_cast<TkxBarPopupMenu*>(g->FindComponent("TreePopup"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->BarManager(), g->BarManager1);
  EXPECT_EQ(read->BarSize(), 12);
  EXPECT_FALSE(read->UseOwnFont());
  ASSERT_EQ(read->ItemLinks()->Count(), 2);
  EXPECT_EQ(read->ItemLinks()->Items(0)->Item(), g->OpenItem);
  EXPECT_EQ(read->ItemLinks()->Items(1)->Item(), g->NewItem);
  g->Free();
}
