// Items and their links: check buttons and their groups, links freed by
// clearing their item, the recursion guard of sub items, user widths,
// accelerators, and items leaving their bars when they are destroyed.
#include "bars/tests/kxbartest.h"

using BarsLinkTest = BarsFormTest;

// One button of a group is down at a time; pressing the down one again
// keeps it down; the group shows the same state in the toolbar and the menu.
TEST_F(BarsLinkTest, CheckButtonGroupIsExclusive) {
  ClickLink(ToolLink(F->StandardStyle));
  EXPECT_TRUE(F->StandardStyle->Down());
  EXPECT_FALSE(F->OfficeStyle->Down());
  EXPECT_FALSE(F->EnhancedStyle->Down());
  ClickLink(ToolLink(F->StandardStyle));
  EXPECT_TRUE(F->StandardStyle->Down());
  EXPECT_EQ(F->Log, (std::vector<std::string>{"style StandardStyle", "style StandardStyle"}));
  F->EnhancedStyle->SetDown(true);
  EXPECT_FALSE(F->StandardStyle->Down());
  // with AllowAllUp the last one may go up
  F->EnhancedStyle->SetAllowAllUp(true);
  F->EnhancedStyle->SetDown(false);
  EXPECT_FALSE(F->EnhancedStyle->Down());
  // a plain button cannot be down
  F->CutButton->SetDown(true);
  EXPECT_FALSE(F->CutButton->Down());
}

// A check button of no group turns over once per click, by mouse and by
// its shortcut.
TEST_F(BarsLinkTest, CheckButtonTogglesOncePerClick) {
  F->CutButton->SetButtonStyle(bsChecked);
  F->Edit1->SetFocus();
  Pump();
  ClickLink(ToolLink(F->CutButton));
  EXPECT_TRUE(F->CutButton->Down());
  // the click leaves the focus where it was and no menu mode behind
  EXPECT_EQ(GetFocus(), F->Edit1->Handle());
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  ClickLink(ToolLink(F->CutButton));
  EXPECT_FALSE(F->CutButton->Down());
  hb->Key('X', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_TRUE(F->CutButton->Down());
  EXPECT_EQ(F->Log.size(), 3u);
}

// Clearing a link's item frees the link at once and the bar goes on.
TEST_F(BarsLinkTest, ClearingTheItemFreesTheLink) {
  TkxBarItemLink* paste = ToolLink(F->PasteButton);
  ASSERT_NE(paste, nullptr);
  paste->SetItem(nullptr);
  EXPECT_EQ(Tools->Count(), 7);
  EXPECT_EQ(ToolLink(F->PasteButton), nullptr);
  EXPECT_EQ(F->PasteButton->LinkCount(), 0);
  Pump();
  EXPECT_EQ(Tools->ShownItemCount(), 7);
  // a destroyed item takes its links along, in the toolbar and the menu
  EXPECT_EQ(F->StandardStyle->LinkCount(), 2);
  delete F->StandardStyle;
  EXPECT_EQ(Tools->Count(), 6);
  EXPECT_EQ(F->HelpMenu->ItemLinks()->Count(), 2);
  EXPECT_EQ(F->BarManager1->ItemByName("StandardStyle"), nullptr);
  Pump();
  ClickLink(ToolLink(F->EnhancedStyle));
  EXPECT_TRUE(F->EnhancedStyle->Down());
}

TEST_F(BarsLinkTest, SubItemsRefuseToContainThemselves) {
  TkxBarItemLinks* own = F->RecentMenu->ItemLinks();
  TkxBarItemLink* l = own->Add();
  EXPECT_THROW(l->SetItem(F->RecentMenu), EkxBarError);
  EXPECT_EQ(l->Item(), nullptr);
  // File holds Recent: Recent may not hold File either
  EXPECT_THROW(l->SetItem(F->FileMenu), EkxBarError);
  EXPECT_EQ(l->Item(), nullptr);
  l->SetItem(F->CutButton);
  EXPECT_EQ(l->Item(), F->CutButton);
  EXPECT_EQ(own->Count(), 2);
}

TEST_F(BarsLinkTest, UserWidthAndUserCaption) {
  TkxBarItemLink* edit = ToolLink(F->SearchEdit);
  EXPECT_EQ(edit->Width(), 80);
  edit->SetUserWidth(5);
  EXPECT_EQ(edit->UserWidth(), 20);
  EXPECT_TRUE(edit->UserDefine().Contains(udWidth));
  EXPECT_EQ(edit->Width(), 20);
  edit->SetUserDefine(TkxBarUserDefines{});
  EXPECT_EQ(edit->UserWidth(), 0);
  EXPECT_EQ(edit->Width(), 80);
  TkxBarItemLink* cut = ToolLink(F->CutButton);
  cut->SetUserCaption(A("剪"));
  EXPECT_EQ(cut->Caption(), A("剪"));
  EXPECT_EQ(F->CutButton->Caption(), A("剪切"));
  cut->SetUserDefine(TkxBarUserDefines{});
  EXPECT_EQ(cut->Caption(), A("剪切"));
}

// The character after the last single "&" is the accelerator; an upper-case
// one matches with or without Shift; "&&" is no accelerator.
TEST_F(BarsLinkTest, Accelerators) {
  TkxBarItemLink* open = F->FileMenu->ItemLinks()->Items(0);
  struct Case {
    const char* Caption;
    Word Key;
    int Shift;
    bool Match;
  } cases[] = {
      {"打开(&O)", 'O', 0, true},    {"打开(&O)", 'O', 1, true},  {"打开(&O)", 'O', 4, false},
      {"打开(&O)", 'P', 0, false},   {"&1 文件", '1', 0, true},    {"&1 文件", '1', 1, false},
      {"A&&B", 'B', 0, false},      {"&A&&B", 'A', 0, true},     {"无", 'O', 0, false},
  };
  for (const Case& c : cases) {
    F->OpenItem->SetCaption(A(c.Caption));
    EXPECT_EQ(open->IsAccel(c.Key, c.Shift), c.Match) << c.Caption << " " << c.Key << " " << c.Shift;
  }
}

// In a menu the search for an access key starts after the selected link and
// comes round to the first link too.
TEST_F(BarsLinkTest, AccessKeySearchWrapsRound) {
  TkxBarItemLinks* links = F->FileMenu->ItemLinks();
  F->OpenItem->SetCaption(A("甲(&A)"));
  F->NewItem->SetCaption(A("乙(&A)"));
  ClickLink(ControlOf(F, 0)->ItemLinks()->Items(0));
  ASSERT_NE(OpenMenu(ControlOf(F, 0)), nullptr);
  EXPECT_EQ(links->FindAccelLink('A', 0, nullptr), links->Items(0));
  EXPECT_EQ(links->FindAccelLink('A', 0, links->Items(0)), links->Items(1));
  EXPECT_EQ(links->FindAccelLink('A', 0, links->Items(1)), links->Items(0));
  EXPECT_EQ(links->FindAccelLink('A', 0, links->Items(3)), links->Items(0));
  EXPECT_EQ(links->FindAccelLink('Q', 0, nullptr), nullptr);
  // two links share the key: it selects without running
  hb->Key('A');
  Pump();
  EXPECT_TRUE(F->Log.empty());
  ASSERT_NE(OpenMenu(ControlOf(F, 0)), nullptr);
  EXPECT_EQ(OpenMenu(ControlOf(F, 0))->SelectedControl()->Item(), F->OpenItem);
  hb->Key('A');
  Pump();
  EXPECT_EQ(OpenMenu(ControlOf(F, 0))->SelectedControl()->Item(), F->NewItem);
}
