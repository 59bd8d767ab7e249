// Menus and commands: drop-down menus open by click, by Alt with an access
// key and by F10 with the arrows; nested menus open and close; a command
// reaches its handler; shortcuts fire from the focused control; a caption
// changed at run time carries its hint along.
#include "bars/tests/kxbartest.h"

class BarsMenuTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    F->Edit1->SetFocus();
    Pump();
  }
  TkxBarSubMenuControl* FileMenuWindow() { return OpenMenu(MainMenu); }
  void Key(unsigned Vk, unsigned Modifiers = 0) {
    hb->Key(Vk, Modifiers);
    Pump();
  }
};

TEST_F(BarsMenuTest, ClickOpensTheMenuAndACommandReachesItsHandler) {
  ClickLink(MainMenu->ItemLinks()->Items(0));
  TkxBarSubMenuControl* menu = FileMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(IsWindowVisible(menu->Handle()));
  // the menu opens beside the vertical main menu, level with its item
  TRect item = LinkScreenRect(MainMenu->ItemLinks()->Items(0));
  TRect shown = menu->GetWindowRect();
  EXPECT_EQ(shown.left, item.right);
  EXPECT_EQ(shown.top, item.top);
  ClickLink(LinkIn(menu, F->OpenItem));
  EXPECT_EQ(F->Log, std::vector<std::string>{"open"});
  EXPECT_EQ(FileMenuWindow(), nullptr);
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  // a click on the open menu's item closes it again
  ClickLink(MainMenu->ItemLinks()->Items(0));
  ASSERT_NE(FileMenuWindow(), nullptr);
  ClickLink(MainMenu->ItemLinks()->Items(0));
  EXPECT_EQ(FileMenuWindow(), nullptr);
  EXPECT_EQ(F->Log.size(), 1u);
}

TEST_F(BarsMenuTest, AltAndAnAccessKeyOnAChineseCaptionOpenTheMenu) {
  Key('F', HeadlessBackend::Alt);
  TkxBarSubMenuControl* menu = FileMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(F->BarManager1->HasBarInMenuMode());
  // inside the menu the access key alone runs the command
  Key('N');
  EXPECT_EQ(F->Log, std::vector<std::string>{"new"});
  EXPECT_EQ(FileMenuWindow(), nullptr);
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  // the focus goes back to the control that had it
  EXPECT_EQ(GetFocus(), F->Edit1->Handle());
  // Alt alone selects the first menu; the access key then opens its menu
  Key(VK_MENU);
  EXPECT_TRUE(F->BarManager1->HasBarInMenuMode());
  EXPECT_EQ(SelectedItemOf(MainMenu), F->FileMenu);
  EXPECT_EQ(FileMenuWindow(), nullptr);
  Key('F');
  ASSERT_NE(FileMenuWindow(), nullptr);
  Key('X');
  EXPECT_EQ(F->Log, (std::vector<std::string>{"new", "exit"}));
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
}

TEST_F(BarsMenuTest, F10AndTheArrowsWalkTheMenus) {
  Key(VK_F10);
  ASSERT_TRUE(F->BarManager1->HasBarInMenuMode());
  EXPECT_EQ(SelectedItemOf(MainMenu), F->FileMenu);
  EXPECT_EQ(FileMenuWindow(), nullptr);
  // the main menu stands on the left: its items follow each other downwards
  Key(VK_DOWN);
  EXPECT_EQ(SelectedItemOf(MainMenu), F->ViewMenu);
  Key(VK_UP);
  EXPECT_EQ(SelectedItemOf(MainMenu), F->FileMenu);
  // and the menu opens to the right
  Key(VK_RIGHT);
  TkxBarSubMenuControl* menu = FileMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(SelectedItemOf(menu), F->OpenItem);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SelectedItemOf(menu), F->RecentMenu);
  Key(VK_RIGHT);
  TkxBarSubMenuControl* nested = OpenMenu(menu);
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(SelectedItemOf(nested), F->FirstRecent);
  Key(VK_LEFT);
  EXPECT_EQ(OpenMenu(menu), nullptr);
  EXPECT_EQ(SelectedItemOf(menu), F->RecentMenu);
  Key(VK_DOWN);
  EXPECT_EQ(SelectedItemOf(menu), F->ExitItem);
  Key(VK_DOWN);  // wraps round to the first
  EXPECT_EQ(SelectedItemOf(menu), F->OpenItem);
  Key(VK_ESCAPE);
  EXPECT_EQ(FileMenuWindow(), nullptr);
  EXPECT_TRUE(F->BarManager1->HasBarInMenuMode());
  Key(VK_ESCAPE);
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  EXPECT_EQ(GetFocus(), F->Edit1->Handle());
  // Enter on a command runs it
  Key(VK_F10);
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(F->Log, std::vector<std::string>{"open"});
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  // without the F10 setting the key does nothing
  F->BarManager1->SetUseF10ForMenu(false);
  Key(VK_F10);
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
}

TEST_F(BarsMenuTest, NestedMenuOpensOnHoverAndClosesWhenTheMouseMovesOn) {
  ClickLink(MainMenu->ItemLinks()->Items(0));
  TkxBarSubMenuControl* menu = FileMenuWindow();
  ASSERT_NE(menu, nullptr);
  TRect recent = LinkScreenRect(LinkIn(menu, F->RecentMenu));
  hb->MouseMove(recent.left + 10, (recent.top + recent.bottom) / 2);
  Pump();
  EXPECT_EQ(OpenMenu(menu), nullptr);  // not at once
  Wait(500);
  TkxBarSubMenuControl* nested = OpenMenu(menu);
  ASSERT_NE(nested, nullptr);
  // beside its item, level with it
  EXPECT_GE(nested->GetWindowRect().left, recent.right - 4);
  EXPECT_LE(std::abs(nested->GetWindowRect().top - recent.top), 4);
  // a command in the nested menu
  ClickLink(LinkIn(nested, F->FirstRecent));
  EXPECT_EQ(F->Log, std::vector<std::string>{"recent"});
  EXPECT_EQ(FileMenuWindow(), nullptr);
  // open again, then move to another item: the nested menu closes
  ClickLink(MainMenu->ItemLinks()->Items(0));
  menu = FileMenuWindow();
  ASSERT_NE(menu, nullptr);
  recent = LinkScreenRect(LinkIn(menu, F->RecentMenu));
  hb->MouseMove(recent.left + 10, (recent.top + recent.bottom) / 2);
  Pump();
  Wait(500);
  ASSERT_NE(OpenMenu(menu), nullptr);
  TRect open = LinkScreenRect(LinkIn(menu, F->OpenItem));
  hb->MouseMove(open.left + 10, (open.top + open.bottom) / 2);
  Pump();
  EXPECT_NE(OpenMenu(menu), nullptr);  // it waits a moment
  Wait(500);
  EXPECT_EQ(OpenMenu(menu), nullptr);
  EXPECT_EQ(SelectedItemOf(menu), F->OpenItem);
  // a click outside every bar closes everything
  TPoint outside = F->ClientToScreen({300, 200});
  hb->Click(outside.x, outside.y);
  Pump();
  EXPECT_EQ(FileMenuWindow(), nullptr);
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
}

TEST_F(BarsMenuTest, ShortcutsFireFromTheFocusedControl) {
  ASSERT_EQ(GetFocus(), F->Edit1->Handle());
  Key('O', HeadlessBackend::Ctrl);
  Key('X', HeadlessBackend::Ctrl);
  EXPECT_EQ(F->Log, (std::vector<std::string>{"open", "cut"}));
  // the edit did not get the keys as text
  EXPECT_EQ(F->Edit1->Text(), "");
  // a disabled item's shortcut does nothing
  F->OpenItem->SetEnabled(false);
  Key('O', HeadlessBackend::Ctrl);
  EXPECT_EQ(F->Log.size(), 2u);
}

// Part of the application's contract: a caption set at run time rewrites
// the short hint when the hint follows the caption, keeps the long part, and
// leaves an independent hint alone; the bar shows the new caption.
TEST_F(BarsMenuTest, CaptionChangedAtRunTimeCarriesTheHint) {
  TkxBarItemLink* cut = ControlOf(F, 1)->ItemLinks()->Items(0);
  int before = cut->ItemRect().Width();
  F->CutButton->SetCaption(A("剪切下来"));
  EXPECT_EQ(F->CutButton->Hint(), A("剪切下来|把选中的文字移到剪贴板"));
  Pump();
  EXPECT_GT(cut->ItemRect().Width(), before);
  // an empty hint starts following: the caption without its first "&" and "..."
  F->NewItem->SetCaption(A("新的(&N)..."));
  EXPECT_EQ(F->NewItem->Hint(), A("新的(N)"));
  F->NewItem->SetCaption(A("新建(&N)"));
  EXPECT_EQ(F->NewItem->Hint(), A("新建(N)"));
  // a hand-written hint that differs from the caption stays
  EXPECT_EQ(F->OpenItem->Hint(), A("打开"));
  F->OpenItem->SetCaption(A("开启(&O)"));
  EXPECT_EQ(F->OpenItem->Hint(), A("打开"));
  // sub items keep their hints
  F->FileMenu->SetCaption(A("文档(&F)"));
  EXPECT_EQ(F->FileMenu->Hint(), "");
  EXPECT_EQ(MainMenu->ItemLinks()->Items(0)->Caption(), A("文档(&F)"));
}

// A menu taller than the screen shows scroll arrows; walking past the last
// shown command scrolls it into view.
TEST_F(BarsMenuTest, TallMenusScroll) {
  for (int i = 0; i < 80; ++i) {
    auto* b = new TkxBarButton(F);
    b->SetCaption(A("命令") + IntToStr(i + 1));
    F->ViewMenu->ItemLinks()->Add()->SetItem(b);
  }
  ClickLink(MainMenu->ItemLinks()->Items(1));
  TkxBarSubMenuControl* menu = OpenMenu(MainMenu);
  ASSERT_NE(menu, nullptr);
  TRect shown = menu->GetWindowRect();
  EXPECT_LE(shown.bottom, 1080);
  EXPECT_TRUE(menu->CanScrollDown());
  EXPECT_FALSE(menu->CanScrollUp());
  TkxBarItemLinks* links = F->ViewMenu->ItemLinks();
  EXPECT_LE(links->Items(79)->ItemRect().Height(), 0);
  // Up from the first command wraps to the last, which scrolls into view
  hb->Key(VK_DOWN);
  Pump();
  EXPECT_EQ(SelectedItemOf(menu), links->Items(0)->Item());
  hb->Key(VK_UP);
  Pump();
  EXPECT_EQ(SelectedItemOf(menu), links->Items(79)->Item());
  EXPECT_GT(links->Items(79)->ItemRect().Height(), 0);
  EXPECT_TRUE(menu->CanScrollUp());
  EXPECT_FALSE(menu->CanScrollDown());
  EXPECT_LE(links->Items(0)->ItemRect().Height(), 0);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(OpenMenu(MainMenu), nullptr);
}
