// Tear-off menus: the detach strip of a menu whose sub item has a detaching
// bar turns hot under the mouse, and dragging it away makes the bar float
// under the cursor; dragging back or Esc opens the menu again.
#include <functional>

#include "bars/tests/kxbartest.h"

namespace kxbardetach_test {

struct TDetachLog {
  int Count = 0;
  void Detaching(TObject*) { ++Count; }
};

class BarsDetachTest : public BarsFormTest {
 protected:
  TDetachLog Log;
  void SetUp() override {
    BarsFormTest::SetUp();
    F->FileMenu->SetDetachable(true);
    F->FileMenu->SetDetachingBar(ToolsBar->Index());
    F->FileMenu->OnDetaching = TNotifyEvent(&Log, &TDetachLog::Detaching);
    Pump();
  }
  void Run(std::vector<std::function<void()>> Steps) { RunSteps(std::move(Steps)); }
  TkxBarSubMenuControl* OpenFileMenu() {
    ClickLink(MainMenu->ItemLinks()->Items(0));
    return OpenMenu(MainMenu);
  }
  // Opens the File menu and rests the mouse on its strip; the strip's centre.
  TPoint HoverStrip(TkxBarSubMenuControl*& Menu, TRect& StripRect) {
    Menu = OpenFileMenu();
    if (!Menu) return TPoint{};
    StripRect = Strip(Menu);
    TPoint c = Centre(StripRect);
    hb->MouseMove(c.x, c.y);
    Pump();
    return c;
  }
  // The detach strip of an open menu in screen coordinates.
  static TRect Strip(TkxBarSubMenuControl* Menu) {
    TRect d = Menu->GetDetachBarRect();
    TRect w = Menu->GetWindowRect();
    OffsetRect(&d, w.left, w.top);
    return d;
  }
  static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
};

// Only a menu whose sub item has a detaching bar shows the strip, and the
// strip turns hot under the mouse with the size-all cursor and its hint.
TEST_F(BarsDetachTest, TheStripTurnsHotUnderTheMouse) {
  TkxBarSubMenuControl* menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->IsDetachable());
  EXPECT_TRUE(menu->CanDetach());
  TRect strip = Strip(menu);
  ASSERT_GT(strip.Height(), 2);
  // the strip lies above the first item
  TRect first = LinkScreenRect(menu->ItemLinks()->Items(0));
  EXPECT_LE(strip.bottom, first.top);
  std::uint32_t idle = hb->ScreenPixel(strip.left + 1, strip.top + 1);
  TPoint c = Centre(strip);
  hb->MouseMove(c.x, c.y);
  Pump();
  EXPECT_TRUE(menu->DetachBarHot());
  EXPECT_EQ(menu->Cursor(), crSizeAll);
  EXPECT_NE(hb->ScreenPixel(strip.left + 1, strip.top + 1), idle) << "the hot strip is drawn";
  EXPECT_EQ(menu->SelectedControl(), nullptr);
  // on an item the strip is no longer hot and the item is selected
  TPoint item = Centre(first);
  hb->MouseMove(item.x, item.y);
  Pump();
  EXPECT_FALSE(menu->DetachBarHot());
  EXPECT_EQ(hb->ScreenPixel(strip.left + 1, strip.top + 1), idle);
  EXPECT_EQ(menu->Cursor(), crDefault);
  // a menu opened from the detaching bar itself cannot be torn off into it
  F->FileMenu->SetDetachingBar(MainMenu->Bar()->Index());
  hb->Key(VK_ESCAPE);
  Pump();
  menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->IsDetachable());
  EXPECT_FALSE(menu->CanDetach());
}

// Dragging the strip 16 pixels away tears the menu off: OnDetaching fires,
// the menu closes and the toolbar floats centred under the cursor.
TEST_F(BarsDetachTest, DraggingTheStripAwayMakesTheToolbarFloat) {
  TkxBarSubMenuControl* menu = nullptr;
  TRect strip;
  TPoint c = HoverStrip(menu, strip);
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->DetachBarHot());
  ASSERT_EQ(ToolsBar->DockingStyle(), dsTop);
  TPoint still{c.x, strip.bottom + 14}, away{c.x + 40, strip.bottom + 16 + 60};
  TRect afterMove;
  Run({[=, this] { hb->MouseDown(c.x, c.y); },
       [=, this] { hb->MouseMove(still.x, still.y); },  // inside the zone: nothing yet
       [=, this] { EXPECT_EQ(ToolsBar->DockingStyle(), dsTop); },
       [=, this] { hb->MouseMove(away.x, away.y); },
       [&, this] {
         if (ToolsBar->Control()) afterMove = ToolsBar->Control()->GetWindowRect();
       },
       [=, this] { hb->MouseUp(away.x, away.y); }});
  EXPECT_EQ(Log.Count, 1);
  EXPECT_EQ(OpenMenu(MainMenu), nullptr) << "the menu closed";
  EXPECT_FALSE(F->BarManager1->DetachingMenu());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ToolsBar->DockingStyle(), dsNone);
  EXPECT_TRUE(ToolsBar->Visible());
  TkxBarControl* bar = ToolsBar->Control();
  ASSERT_NE(bar, nullptr);
  TRect w = bar->GetWindowRect();
  EXPECT_EQ(w, afterMove);
  EXPECT_EQ((w.left + w.right) / 2, away.x) << "centred under the cursor";
  EXPECT_LT(w.top, away.y);
  EXPECT_GT(w.bottom, away.y);
  EXPECT_EQ(ToolsBar->FloatLeft(), w.left);
}

// Moving back into the strip's zone hides the torn-off bar and opens the
// menu again; Esc does the same.
TEST_F(BarsDetachTest, BackIntoTheZoneOrEscOpensTheMenuAgain) {
  for (bool esc : {false, true}) {
    SCOPED_TRACE(esc ? "Esc" : "back");
    TkxBarSubMenuControl* menu = nullptr;
    TRect strip;
    TPoint c = HoverStrip(menu, strip);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->DetachBarHot());
    TPoint away{c.x, strip.bottom + 80};
    std::vector<std::function<void()>> steps = {[=, this] { hb->MouseDown(c.x, c.y); },
                                                [=, this] { hb->MouseMove(away.x, away.y); },
                                                [=, this] { EXPECT_TRUE(ToolsBar->Visible()); }};
    if (esc) steps.push_back([this] { hb->Key(VK_ESCAPE); });
    else steps.push_back([=, this] { hb->MouseMove(c.x, c.y + 2); });
    steps.push_back([=, this] { hb->MouseUp(c.x, c.y + 2); });
    Run(steps);
    EXPECT_FALSE(ToolsBar->Visible()) << "the torn-off bar is hidden again";
    TkxBarSubMenuControl* again = OpenMenu(MainMenu);
    ASSERT_NE(again, nullptr) << "the menu is open again";
    EXPECT_TRUE(IsWindowVisible(again->Handle()));
    EXPECT_FALSE(F->BarManager1->DetachingMenu());
    hb->Key(VK_ESCAPE);
    hb->Key(VK_ESCAPE);
    Pump();
    ToolsBar->SetDockingStyle(dsTop);
    ToolsBar->SetVisible(true);
    Pump();
  }
  EXPECT_EQ(Log.Count, 2);
}

// A manager freed before its items: its bars go first and tell the sub item
// that its detaching bar is gone, while the bars collection is being freed.
TEST_F(BarsDetachTest, AManagerFreedBeforeItsItemsLeavesTheSubItemWithoutADetachingBar) {
  ASSERT_EQ(F->FileMenu->DetachingBar(), ToolsBar->Index());
  F->BarManager1->Free();
  // the manager takes its items along, or they name no bar any more
  EXPECT_EQ(F->BarManager1, nullptr);
  if (F->FileMenu) EXPECT_EQ(F->FileMenu->DetachingBar(), -1);
}

}  // namespace kxbardetach_test
