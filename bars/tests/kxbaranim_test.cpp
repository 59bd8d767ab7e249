// Menu animation: the kinds of a random draw, the number of steps, a slide
// that uncovers the menu's own image strip by strip on the GUI thread's
// timer, a key that ends the animation at once, an unfold that grows from
// the bottom-right corner, and menus that are never animated.
#include "bars/kxbaranim.h"
#include "bars/tests/kxbartest.h"

TEST(BarsAnimationRules, RandomDrawAndStepCounts) {
  struct Draw {
    int Number;
    TkxBarMenuAnimations Kind;
  } draws[] = {{0, maUnfold}, {32, maUnfold}, {33, maSlide}, {65, maSlide}, {66, maFade}, {99, maFade}};
  for (const Draw& d : draws) EXPECT_EQ(kxBarResolveAnimation(maRandom, d.Number), d.Kind) << d.Number;
  EXPECT_EQ(kxBarResolveAnimation(maSlide, 0), maSlide);
  EXPECT_EQ(kxBarResolveAnimation(maNone, 50), maNone);
  for (int i = 0; i < 200; ++i) {
    int n = kxBarAnimationDraw();
    ASSERT_GE(n, 0);
    ASSERT_LT(n, 100);
  }
  // a slide of 100 pixels takes 5 steps of 17, the rest is the final jump;
  // an unfold of 60 x 200 takes 7 steps of 8 along the width
  EXPECT_EQ(kxBarAnimationStepCount(maSlide, 80, 100), 5);
  EXPECT_EQ(kxBarAnimationStepCount(maSlide, 80, 340), 20);
  EXPECT_EQ(kxBarAnimationStepCount(maUnfold, 60, 200), 7);
  EXPECT_EQ(kxBarAnimationStepCount(maUnfold, 200, 60), 7);
  EXPECT_EQ(kxBarAnimationStepCount(maFade, 200, 60), 0);
}

class BarsAnimationTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    F->Edit1->SetFocus();
    Pump();
  }
  TRawImage Grab(const TRect& R) { return Screen(R); }
  static TRect ClientScreenRect(TCustomkxBarControl* C) {
    TPoint o = C->ClientToScreen(TPoint{0, 0});
    return TRect{o.x, o.y, o.x + C->ClientWidth(), o.y + C->ClientHeight()};
  }
  // The File menu opened by a click, closed again by Escape.
  TkxBarSubMenuControl* OpenFileMenu() {
    ClickLink(MainMenu->ItemLinks()->Items(0));
    return OpenMenu(MainMenu);
  }
  void CloseMenus() {
    hb->Key(VK_ESCAPE);
    hb->Key(VK_ESCAPE);
    Pump();
  }
};

TEST_F(BarsAnimationTest, SlideUncoversTheFinalImageFromItsBottomRows) {
  // the menu as it looks without an animation
  TkxBarSubMenuControl* still = OpenFileMenu();
  ASSERT_NE(still, nullptr);
  EXPECT_FALSE(kxBarAnimationRunning());
  TRect finalClient = ClientScreenRect(still);
  TRect finalWindow = still->GetWindowRect();
  TRawImage full = Grab(finalClient);
  CloseMenus();
  ASSERT_EQ(OpenMenu(MainMenu), nullptr);

  F->BarManager1->SetMenuAnimations(maSlide);
  TkxBarSubMenuControl* menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(kxBarAnimatedMenu(), menu);
  EXPECT_TRUE(menu->Animate());
  EXPECT_FALSE(IsWindowVisible(menu->Handle()));  // the first step shows it
  int cw = finalClient.Width(), ch = finalClient.Height();
  int steps = kxBarAnimationStepCount(maSlide, cw, ch);
  ASSERT_GE(steps, 2);
  for (int i = 1; i <= steps; ++i) {
    Wait(10);
    if (i == steps) break;  // the last step ends in the final placement
    ASSERT_EQ(kxBarAnimatedMenu(), menu) << i;
    TRect c = ClientScreenRect(menu);
    // the top edge stays, the height grows 17 pixels a step
    EXPECT_EQ(c.top, finalClient.top) << i;
    EXPECT_EQ(c.left, finalClient.left) << i;
    EXPECT_EQ(c.Height(), 17 * i) << i;
    EXPECT_EQ(c.Width(), cw) << i;
    // what shows is the bottom of the final image, row for row
    TRawImage part = Grab(c);
    for (int y = 0; y < c.Height(); y += 3)
      for (int x = 0; x < cw; x += 5)
        ASSERT_EQ(part.Pixels[std::size_t(y) * cw + x], full.Pixels[std::size_t(ch - c.Height() + y) * cw + x])
            << "step " << i << " at " << x << "," << y;
  }
  EXPECT_FALSE(kxBarAnimationRunning());
  EXPECT_FALSE(menu->Animate());
  EXPECT_EQ(menu->GetWindowRect(), finalWindow);
  Pump();
  TRawImage after = Grab(finalClient);
  EXPECT_EQ(after.Pixels, full.Pixels);
  // the menu works as usual afterwards
  ClickLink(LinkIn(menu, F->OpenItem));
  EXPECT_EQ(F->Log, std::vector<std::string>{"open"});
}

TEST_F(BarsAnimationTest, AKeyDuringTheAnimationEndsItBeforeItIsHandled) {
  F->BarManager1->SetMenuAnimations(maUnfold);
  TkxBarSubMenuControl* menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(kxBarAnimatedMenu(), menu);
  Wait(10);
  TRect partial = menu->GetWindowRect();
  Wait(10);
  EXPECT_LT(menu->GetWindowRect().Height(), menu->Height() + 1);
  EXPECT_NE(menu->GetWindowRect(), partial);
  hb->Key(VK_DOWN);
  Pump();
  EXPECT_FALSE(kxBarAnimationRunning());
  EXPECT_FALSE(menu->Animate());
  EXPECT_EQ(SelectedItemOf(menu), F->OpenItem);
  // the window stands at its full size
  TRect w = menu->GetWindowRect();
  EXPECT_EQ(w.Width(), menu->Width());
  EXPECT_EQ(w.Height(), menu->Height());
  // closing a menu while it unfolds leaves no animation behind
  CloseMenus();
  menu = OpenFileMenu();
  ASSERT_EQ(kxBarAnimatedMenu(), menu);
  CloseMenus();
  EXPECT_FALSE(kxBarAnimationRunning());
  Wait(50);
}

TEST_F(BarsAnimationTest, AMenuOpeningUpAndLeftGrowsFromItsBottomRightCorner) {
  F->BarManager1->SetMenuAnimations(maUnfold);
  auto* menu = new TkxBarSubMenuControl(F->BarManager1);
  menu->SetItemLinks(F->HelpMenu->ItemLinks());
  menu->SetDirectionRight(false);
  menu->SetDirectionDown(false);
  menu->SetBounds(600, 400, 10, 10);
  menu->SetAnimate(true);
  kxBarShowSubMenu(menu);
  ASSERT_EQ(kxBarAnimatedMenu(), menu);
  TRect final{menu->Left(), menu->Top(), menu->Left() + menu->Width(), menu->Top() + menu->Height()};
  Wait(10);
  Wait(10);
  ASSERT_TRUE(kxBarAnimationRunning());
  TRect w = menu->GetWindowRect();
  EXPECT_EQ(w.right, final.right);
  EXPECT_EQ(w.bottom, final.bottom);
  EXPECT_GT(w.left, final.left);
  EXPECT_GT(w.top, final.top);
  TRect c = ClientScreenRect(menu);
  for (int i = 0; i < 100 && kxBarAnimationRunning(); ++i) Wait(10);
  EXPECT_EQ(menu->GetWindowRect(), final);
  // while it unfolded its width and height kept the difference of the final ones
  EXPECT_EQ(c.Width() - c.Height(), menu->ClientWidth() - menu->ClientHeight());
  EXPECT_EQ(std::min(c.Width(), c.Height()), 16);
  menu->CloseMenu();
  Pump();
}

TEST_F(BarsAnimationTest, NoAnimationWhileCustomizingOrForAKeyboardOpening) {
  F->BarManager1->SetMenuAnimations(maSlide);
  // opened by the keyboard, the menu appears at once
  hb->Key(VK_F10);
  hb->Key(VK_RIGHT);
  Pump();
  ASSERT_NE(OpenMenu(MainMenu), nullptr);
  EXPECT_FALSE(kxBarAnimationRunning());
  EXPECT_TRUE(IsWindowVisible(OpenMenu(MainMenu)->Handle()));
  CloseMenus();
  hb->Key(VK_ESCAPE);
  Pump();
  // fade is the platform's blend: the menu is shown, nothing steps
  F->BarManager1->SetMenuAnimations(maFade);
  TkxBarSubMenuControl* menu = OpenFileMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(kxBarAnimationRunning());
  EXPECT_TRUE(IsWindowVisible(menu->Handle()));
  EXPECT_EQ(menu->AnimationKind(), maFade);
}
