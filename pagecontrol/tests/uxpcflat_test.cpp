// The flat styles: spacing, heights, the page band, navigator glyphs, the
// Office 2003 fills, and the default style that follows the look and feel.
#include "framework/uxoffice11.h"
#include "framework/uxthemes.h"
#include "pagecontrol/tests/pcsheet.h"
#include "pagecontrol/uxpcpainters.h"

namespace {

class PcFlatTest : public PcSheetTest {
 protected:
  TRect ButtonRect(TuxCustomTabControl* C, TuxPCNavigatorButton B) {
    for (const auto& E : static_cast<TuxPCStandardPainter*>(C->Painter())->NavigatorButtonPositions())
      if (E.Button == B) return E.Bounds;
    return TRect{};
  }
};

TEST_F(PcFlatTest, TabAndRowSpacing) {
  struct Case {
    int Style;
    int Tabs, Rows;
  } Cases[] = {{5, 1, 6}, {6, 1, 6}, {8, 2, 4}};
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Style);
    auto* C = MakeControl(200, 200, {"a", "b", "c", "d"}, K.Style);
    C->SetTabWidth(80);
    C->SetTabIndex(-1);
    C->SetMultiLine(true);
    ASSERT_EQ(C->RowCount(), 2);
    const TRect A = C->VisibleTab(0)->NormalRect(), B = C->VisibleTab(1)->NormalRect(),
                D = C->VisibleTab(2)->NormalRect();
    EXPECT_EQ(B.left - A.right, K.Tabs);
    EXPECT_EQ(D.top - A.bottom, K.Rows);
    // Rotated tabs exchange the two gaps.
    C->SetRotate(true);
    C->SetMultiLine(false);
    EXPECT_EQ(C->VisibleTab(1)->NormalRect().left - C->VisibleTab(0)->NormalRect().right, K.Rows);
    delete C;
  }
}

TEST_F(PcFlatTest, TabHeightCountsFourMore) {
  auto* C = MakeControl(300, 100, {"a"}, 5);
  const int Computed = C->Tabs()->MeasuredTabHeight;
  ASSERT_LT(Computed, 21);
  C->SetTabHeight(25);
  EXPECT_EQ(C->Tabs()->MeasuredTabHeight, 21);
  C->SetTabHeight(SmallInt(Computed + 2));  // below the computed height + 4: no effect
  EXPECT_EQ(C->Tabs()->MeasuredTabHeight, Computed);
}

TEST_F(PcFlatTest, NoMainTabLeavesPageAndBandInButtonFace) {
  auto* C = MakeControl(300, 150, {"a", "b"}, 5);
  C->Tabs()->Tabs(0)->SetColor(clRed);
  auto* P = static_cast<TuxPCExtraFlatPainter*>(C->Painter());
  EXPECT_EQ(P->GetPageBandColor(), clRed);  // the main tab's colour joins it to the page
  C->SetTabIndex(-1);
  EXPECT_EQ(P->GetPageBandColor(), clBtnFace);
  EXPECT_EQ(P->GetClientColor(), clBtnFace);
  Form->Show();
  Pump();
  auto B = Render(C);
  TRect Band;
  P->GetPageBandRect(Band);
  ASSERT_FALSE(pcIsEmpty(Band));
  EXPECT_EQ(Band.bottom, C->DisplayRect().top);
  EXPECT_EQ(Px(B.get(), 100, Band.top), Rgb(clBtnFace));
  EXPECT_EQ(Px(B.get(), 100, C->DisplayRect().top + 20), Rgb(clBtnFace));
}

TEST_F(PcFlatTest, DisabledArrows) {
  // The left arrow is disabled before any scrolling.
  struct Case {
    int Style;
    bool ControlEnabled;
    TColor Inside;  // the arrow's inner pixel
  } Cases[] = {{5, true, uxPCLightButtonFace()}, {6, true, clBtnShadow}, {6, false, clBtnShadow}};
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Style);
    auto* C = MakeControl(150, 80, {"aaaa", "bbbb", "cccc", "dddd", "eeee"}, K.Style);
    C->SetEnabled(K.ControlEnabled);
    Form->Show();
    Pump();
    ASSERT_EQ(C->NavigatorButtonState(nbTopLeft), nbsDisabled);
    auto B = Render(C);
    const TRect R = ButtonRect(C, nbTopLeft);
    TPoint O;
    static_cast<TuxPCStandardPainter*>(C->Painter())->GetNavigatorGlyphOffset(nbTopLeft, O);
    const int Inset = K.Style == 6 ? 1 : 0;  // UltraFlat frames every button
    // The left-pointing triangle: its tip at (0, 4), its back edge at x = 4.
    const int X = R.left + Inset + O.x, Y = R.top + Inset + O.y;
    EXPECT_EQ(Px(B.get(), X + 4, Y + 4), Rgb(clBtnShadow));  // the outline
    EXPECT_EQ(Px(B.get(), X + 2, Y + 4), Rgb(K.Inside));
    if (!K.ControlEnabled) {
      EXPECT_EQ(Px(B.get(), X + 5, Y + 5), Rgb(clBtnHighlight));  // embossed
    }
    Form->Hide();
    C->Free();
  }
}

TEST_F(PcFlatTest, Office11WithoutGradientsUsesTheHalfwayColour) {
  auto* C = MakeControl(150, 100, {"aaaa", "bbbb", "cccc", "dddd", "eeee"}, 8);
  C->SetOptions(C->Options() - TuxPCOptions{pcoGradient});
  Form->Show();
  Pump();
  auto B = Render(C);
  const TColor Half = Rgb(MixColorsByPercent(Office11BarColor1, Office11BarColor2, 50));
  EXPECT_EQ(Px(B.get(), 75, 70), Half);  // the page (no gradient client area either)
  const TRect Button = ButtonRect(C, nbBottomRight);
  EXPECT_EQ(Px(B.get(), Button.left + 1, Button.top + 1), Half);
  // An ordinary tab of the default colour shows the row behind it.
  const TRect T = C->VisibleTab(1)->FullRect();
  EXPECT_TRUE(C->Painter()->IsTabTransparent(1));
  EXPECT_EQ(Px(B.get(), T.left + 2, T.top + 2), Half);
}

TEST_F(PcFlatTest, DefaultStyleFollowsTheLookAndFeel) {
  auto* C = MakeControl(300, 100, {"a"}, 0);
  struct Case {
    TuxLookAndFeelKind Kind;
    int Style;
  } Cases[] = {{lfOffice11, 8}, {lfFlat, 7}, {lfUltraFlat, 6}, {lfStandard, 1}};
  for (const Case& K : Cases) {
    C->LookAndFeel()->SetKind(K.Kind);
    EXPECT_EQ(C->Painter()->GetStyleID(), K.Style) << K.Kind;
    EXPECT_EQ(C->Style(), 0);
  }
  // Native style without visual styles: the kind decides; with them, Tabs.
  C->LookAndFeel()->SetKind(lfFlat);
  C->LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(C->Painter()->GetStyleID(), 7);
  EXPECT_EQ(PaintersFactory()->GetDefaultStyleID(C->LookAndFeel()), 1);  // the fallback
  // An explicit style stays whatever the look and feel does.
  C->SetStyle(5);
  C->LookAndFeel()->SetKind(lfOffice11);
  EXPECT_EQ(C->Painter()->GetStyleID(), 5);
}

}  // namespace
