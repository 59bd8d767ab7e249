// Pop-up windows: placement beside the anchor with flipping and clamping, the
// frame widths around the children, and closing on an outside click.
#include "framework/uxpopup.h"

#include "framework/uxlookandfeel.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/tests/ctltest.h"

namespace {

TRect WorkArea(const TPoint&) { return TRect{0, 0, 1000, 800}; }

TEST(PopupPosition, FlipsAndClamps) {
  struct Case {
    const char* name;
    TRect anchor;
    TSize size;
    TuxPopupDirection dir;
    TuxPopupAlignment h, v;
    TPoint want;
  } cases[] = {
      {"below the anchor", {100, 100, 200, 120}, {150, 200}, pdrVertical, palNear, palFar, {100, 120}},
      {"no room below, more above: opens above", {100, 680, 200, 700}, {150, 200}, pdrVertical, palNear, palFar,
       {100, 480}},
      // Only 50 pixels above: stays below, sticking out, not clamped vertically.
      {"more room below: stays below", {100, 50, 200, 700}, {150, 200}, pdrVertical, palNear, palFar, {100, 700}},
      {"right edge shifted in", {900, 100, 980, 120}, {150, 200}, pdrVertical, palNear, palFar, {850, 120}},
      {"right-aligned", {100, 100, 200, 120}, {150, 200}, pdrVertical, palFar, palFar, {50, 120}},
      {"centred", {100, 100, 200, 120}, {50, 20}, pdrVertical, palCenter, palCenter, {125, 100}},
      {"above", {100, 300, 200, 320}, {150, 200}, pdrVertical, palNear, palNear, {100, 100}},
      {"horizontal, right of it", {100, 100, 200, 120}, {150, 200}, pdrHorizontal, palFar, palNear, {200, 100}},
      {"horizontal, flips left", {800, 100, 900, 120}, {150, 200}, pdrHorizontal, palFar, palNear, {650, 100}},
      {"horizontal, clamped up", {100, 700, 200, 720}, {150, 200}, pdrHorizontal, palFar, palNear, {200, 600}},
      {"larger than the work area", {100, 100, 200, 120}, {1200, 100}, pdrVertical, palNear, palFar, {0, 120}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPoint p = uxCalculatePopupPosition(c.anchor, c.size, c.dir, c.h, c.v, WorkArea);
    EXPECT_EQ(p.x, c.want.x);
    EXPECT_EQ(p.y, c.want.y);
  }
}

class PopupTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    uxInitLookAndFeel();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 400, 300);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    delete Form;
    uxDoneLookAndFeel();
    CtlTest::TearDown();
  }
};

TEST_F(PopupTest, BorderStyleKeepsChildrenInPlace) {
  TuxPopupWindow p(nullptr);
  auto* child = new TBox(&p);
  child->SetBounds(0, 0, 50, 20);
  child->SetParent(&p);
  struct Case {
    TuxPopupBorderStyle style;
    int spacing, width;
  } cases[] = {{pwbNone, 0, 0}, {pwbSingle, 0, 1}, {pwb3D, 3, 5}, {pwbFlat, 0, 1}};
  for (const Case& c : cases) {
    p.SetPopupBorderStyle(c.style);
    p.SetBorderSpacing(c.spacing);
    p.CalculateSize();
    EXPECT_EQ(child->Left(), c.width);
    EXPECT_EQ(child->Top(), c.width);
    EXPECT_EQ(p.Width(), 50 + 2 * c.width);
    EXPECT_EQ(p.Height(), 20 + 2 * c.width);
  }
}

TEST_F(PopupTest, ClosesOnAnOutsideClick) {
  TuxPopupWindow p(nullptr);
  struct Counter {
    int N = 0;
  };
  p.SetAnchorControl(Form);
  p.SetAnchorBounds(TRect{10, 10, 60, 30});
  p.SetBounds(0, 0, 80, 60);
  p.SetAdjustable(false);
  p.Popup();
  Pump();
  ASSERT_TRUE(p.Visible());
  TPoint a = Form->ClientToScreen({10, 30});
  EXPECT_EQ(p.Left(), a.x);
  EXPECT_EQ(p.Top(), a.y);
  TPoint outside = Form->ClientToScreen({300, 200});
  hb->Click(outside.x, outside.y);
  Pump();
  EXPECT_FALSE(p.Visible());
}

// Counts the changes of visibility it is told of.
class TCountingPopup : public TuxPopupWindow {
 public:
  using TuxPopupWindow::TuxPopupWindow;
  std::vector<bool> Seen;
  void VisibilityChanged() override { Seen.push_back(Visible()); }
};

TEST_F(PopupTest, ClosesWhenTheApplicationIsDeactivated) {
  TCountingPopup p(nullptr);
  p.SetAnchorControl(Form);
  p.SetAnchorBounds(TRect{10, 10, 60, 30});
  p.SetBounds(0, 0, 80, 60);
  p.SetAdjustable(false);
  p.Popup();
  Pump();
  ASSERT_TRUE(p.Visible());
  hb->ActivateFromDesktop(0);  // another program takes the activation
  Pump();
  EXPECT_FALSE(p.Visible());
  EXPECT_EQ(p.Seen, (std::vector<bool>{true, false}));
}

}  // namespace
