// Item hints appear a second after the mouse settles on an item, 20 pixels
// below the cursor, go when it leaves, come at once for the next item within
// the grace time, leave after ten seconds and stay on the screen's work area.
#include "bars/kxbarpopup.h"
#include "bars/tests/kxbartest.h"

class BarsHintsTest : public BarsFormTest {
 protected:
  bool HintVisible() {
    TkxBarHintWindow* w = kxBarHintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }
  static TRect HintRect() {
    RECT r{};
    GetWindowRect(kxBarHintWindow()->Handle(), &r);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  TPoint Centre(TkxBarItem* Item) {
    TRect r = LinkScreenRect(ToolLink(Item));
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST_F(BarsHintsTest, AHintComesAfterTheDelayGoesOnLeavingAndTheNextComesAtOnce) {
  F->CopyButton->SetHint(A("复制"));
  TPoint cut = Centre(F->CutButton), copy = Centre(F->CopyButton);
  hb->MouseMove(cut.x, cut.y);
  Pump();
  Wait(990);
  EXPECT_FALSE(HintVisible());
  Wait(20);
  ASSERT_TRUE(HintVisible());
  EXPECT_EQ(kxBarHintWindow()->HintText(), A("剪切"));  // the short part, before "|"
  EXPECT_EQ(HintRect().top, cut.y + 20);
  EXPECT_EQ(HintRect().left, cut.x);
  // leaving the item hides it; the next item within 400 ms shows its hint at once
  hb->MouseMove(300, 200);
  Pump();
  EXPECT_FALSE(HintVisible());
  Wait(200);
  hb->MouseMove(copy.x, copy.y);
  Pump();
  ASSERT_TRUE(HintVisible());
  EXPECT_EQ(kxBarHintWindow()->HintText(), A("复制"));
  // ten seconds later it goes by itself
  Wait(10010);
  EXPECT_FALSE(HintVisible());
  // after the grace time the delay holds again
  hb->MouseMove(300, 200);
  Pump();
  Wait(500);
  hb->MouseMove(cut.x, cut.y);
  Pump();
  EXPECT_FALSE(HintVisible());
  Wait(1010);
  EXPECT_TRUE(HintVisible());
}

// A hint splits only at a "|" that begins a character: 東 is 0x96 0x7C.
TEST_F(BarsHintsTest, AHintSplitsAtItsBarNotInsideADoubleByteCharacter) {
  F->CopyButton->SetCaption(A("東京"));
  F->CopyButton->SetHint(A("東京|東方的状态"));
  // the short hint follows the caption, the long part stays
  F->CopyButton->SetCaption(A("東方"));
  EXPECT_EQ(F->CopyButton->Hint(), A("東方|東方的状态"));
  TPoint copy = Centre(F->CopyButton);
  hb->MouseMove(copy.x, copy.y);
  Pump();
  // the long part is the toolbar's own hint, for the status line
  EXPECT_EQ(ToolsBar->Control()->Hint(), A("東方的状态"));
  Wait(1010);
  ASSERT_TRUE(HintVisible());
  EXPECT_EQ(kxBarHintWindow()->HintText(), A("東方"));
}

TEST_F(BarsHintsTest, ShortCutsJoinTheHintWhenAskedAndNoHintsWhenSwitchedOff) {
  TkxBarManager* m = F->BarManager1;
  m->SetShowShortCutInHint(true);
  TPoint cut = Centre(F->CutButton);
  hb->MouseMove(cut.x, cut.y);
  Pump();
  Wait(1010);
  ASSERT_TRUE(HintVisible());
  EXPECT_EQ(kxBarHintWindow()->HintText(), A("剪切") + " (Ctrl+X)");
  hb->MouseMove(300, 200);
  Pump();
  Wait(1000);
  m->SetShowHint(false);
  hb->MouseMove(cut.x, cut.y);
  Pump();
  Wait(1010);
  EXPECT_FALSE(HintVisible());
}

TEST_F(BarsHintsTest, AHintStaysOnTheWorkAreaAndNearTheBottomGoesAboveTheCursor) {
  TkxBarHintWindow* w = kxBarHintWindow();
  ASSERT_NE(w, nullptr);
  TRect work = kxBarGetWorkArea(TPoint{100, 100});
  struct TCase {
    TPoint At;
    const char* What;
  };
  for (TCase c : {TCase{{100, 100}, "free"}, TCase{{work.right - 5, 100}, "right edge"},
                  TCase{{100, work.bottom - 5}, "bottom"}}) {
    w->ActivateHint(c.At, A("一个提示"), F->BarManager1);
    TRect r = HintRect();
    EXPECT_GT(r.Width(), 6) << c.What;
    EXPECT_LE(r.right, work.right) << c.What;
    EXPECT_LE(r.bottom, work.bottom) << c.What;
    if (c.At.y + r.Height() > work.bottom) EXPECT_EQ(r.top, c.At.y - r.Height() - 20) << c.What;
    else EXPECT_EQ(r.top, c.At.y) << c.What;
  }
  // the mouse passes through it
  TRect r = HintRect();
  EXPECT_EQ(SendMessageA(w->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.top + 2)), LRESULT(HTTRANSPARENT));
}
