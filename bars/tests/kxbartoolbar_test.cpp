// The toolbar window's layout: a bar too long for its row hides the rest
// behind its mark, whose quick-customizing window shows the hidden items; a multi-line bar
// wraps instead; the multi-line main menu on the left wraps into columns.
#include "bars/tests/kxbartest.h"

class BarsToolbarTest : public BarsFormTest {
 protected:
  // Links of a single-line bar past its end get no rectangle: they are
  // reached through the mark.
  int HiddenCount(TkxBarItemLinks* Links) {
    int n = 0;
    for (int i = 0; i < Links->ShownItemCount(); ++i)
      if (Links->ShownItems(i)->ItemRect().Width() <= 0) ++n;
    return n;
  }
};

TEST_F(BarsToolbarTest, TooLongABarHidesTheRestBehindItsMark) {
  F->BarManager1->SetStyle(bmsEnhanced);
  TkxBarControl* bar = ToolsBar->Control();
  int fullWidth = bar->Width();
  EXPECT_EQ(HiddenCount(ToolsBar->ItemLinks()), 0);
  F->SetWidth(240);
  Pump();
  bar = ToolsBar->Control();
  ASSERT_NE(bar, nullptr);
  EXPECT_LE(bar->BoundsRect().right, F->ClientWidth());
  EXPECT_LT(bar->Width(), fullWidth);
  int hidden = HiddenCount(ToolsBar->ItemLinks());
  EXPECT_GT(hidden, 0);
  EXPECT_TRUE(bar->IsMarkVisible());
  // the ones that fit are the first ones, in order
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(ToolsBar->ItemLinks()->Items(i)->ItemRect().Width() > 0, i < 8 - hidden) << i;

  // the mark's drop-down lists exactly the hidden items
  TRect mark;
  bar->GetMarkScreenRect(mark);
  hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
  Pump();
  TkxBarSubMenuControl* menu = bar->QuickControl();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(IsWindowVisible(menu->Handle()));
  // it hangs under the mark and ends at its right edge
  EXPECT_EQ(menu->GetWindowRect().top, mark.bottom);
  EXPECT_EQ(menu->GetWindowRect().right, mark.right);
  // and, last, the sub item that shows or hides the toolbar's links
  ASSERT_EQ(menu->ItemLinks()->Count(), hidden + 1);
  EXPECT_EQ(menu->ItemLinks()->Items(hidden)->Item()->Caption(), A("添加或删除按钮(&A)"));
  EXPECT_EQ(menu->ItemLinks()->Items(hidden - 1)->Item(), F->SizeCombo);
  EXPECT_EQ(menu->ItemLinks()->Items(0)->Item(), F->EnhancedStyle);
  // a hidden command runs from there
  ClickLink(menu->ItemLinks()->Items(0));
  EXPECT_EQ(F->Log, std::vector<std::string>{"style EnhancedStyle"});
  EXPECT_EQ(bar->QuickControl(), nullptr);
  EXPECT_TRUE(F->EnhancedStyle->Down());
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
  // a second press on the mark closes the drop-down again, Escape too
  hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
  Pump();
  ASSERT_NE(bar->QuickControl(), nullptr);
  hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
  Pump();
  EXPECT_EQ(bar->QuickControl(), nullptr);
  hb->Click((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
  Pump();
  ASSERT_NE(bar->QuickControl(), nullptr);
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(bar->QuickControl(), nullptr);

  // wide again: everything shows and the mark has nothing to hide
  F->SetWidth(520);
  Pump();
  EXPECT_EQ(HiddenCount(ToolsBar->ItemLinks()), 0);
}

TEST_F(BarsToolbarTest, AMultiLineBarWrapsInsteadOfHiding) {
  TkxBarControl* bar = ToolsBar->Control();
  int oneRow = bar->Height();
  ToolsBar->SetMultiLine(true);
  F->SetWidth(240);
  Pump();
  bar = ToolsBar->Control();
  EXPECT_EQ(HiddenCount(ToolsBar->ItemLinks()), 0);
  EXPECT_GT(bar->Height(), oneRow);
  EXPECT_LE(bar->BoundsRect().right, F->ClientWidth());
  // the top site grows with it and the main menu moves down
  TkxDockControl* top = F->BarManager1->Bars()->DockControls(dsTop);
  EXPECT_GE(top->Height(), bar->Height());
  TkxBarControl* menu = ControlOf(F, 0);
  EXPECT_GE(menu->ClientToScreen({0, 0}).y, top->ClientToScreen({0, top->Height()}).y);
  // the second row starts at the left edge under the first
  TRect first = LinkScreenRect(ToolsBar->ItemLinks()->Items(0));
  TRect last = LinkScreenRect(ToolsBar->ItemLinks()->Items(7));
  EXPECT_GT(last.top, first.top);
}

// The left main menu is multi-line: a form too short for its four menus
// puts them into a second column; its first column is the rightmost one, as
// the bar is turned clockwise.
TEST_F(BarsToolbarTest, TheLeftMainMenuWrapsIntoColumns) {
  TkxBarControl* menu = ControlOf(F, 0);
  int oneColumn = menu->Width();
  F->SetHeight(150);
  Pump();
  menu = ControlOf(F, 0);
  TkxBarItemLinks* links = menu->ItemLinks();
  EXPECT_EQ(HiddenCount(links), 0);
  EXPECT_GT(menu->Width(), oneColumn);
  TRect first = LinkScreenRect(links->Items(0));
  TRect last = LinkScreenRect(links->Items(3));
  EXPECT_LT(last.left, first.left);
  EXPECT_LE(menu->ClientToScreen({0, menu->ClientHeight()}).y, F->ClientToScreen({0, F->ClientHeight()}).y);
  // the menus still open beside their items
  ClickLink(links->Items(3));
  TkxBarSubMenuControl* help = OpenMenu(menu);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->GetWindowRect().left, LinkScreenRect(links->Items(3)).right);
}
