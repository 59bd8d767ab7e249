// The Buttons and FlatButtons styles: which tabs are drawn down, their
// colours and indents, the separators, and selecting several tabs with Ctrl.
#include "pagecontrol/tests/pcsheet.h"
#include "pagecontrol/uxpcpainters.h"

namespace {

class PcButtonsTest : public PcSheetTest {
 protected:
};

TEST_F(PcButtonsTest, WhichTabsAreDrawnDown) {
  for (int Style : {2, 3}) {
    SCOPED_TRACE(Style);
    auto* C = MakeControl(400, 100, {"a", "b", "c", "d"}, Style);
    C->SetTabWidth(60);
    C->Tabs()->Tabs(1)->SetSelected(true);
    C->Tabs()->Tabs(2)->SetSelected(true);
    EXPECT_TRUE(C->MultiSelect());
    Word Key = VK_RIGHT;  // tracks tab 1
    C->ProcessKey(Key, TShiftState());
    ASSERT_EQ(C->TrackedTab(), 1);
    TuxPCCustomPainter* P = C->Painter();
    EXPECT_TRUE(P->IsTabDrawnAsMain(0));   // main
    EXPECT_TRUE(P->IsTabDrawnAsMain(2));   // selected
    EXPECT_FALSE(P->IsTabDrawnAsMain(3));
    // The tracked tab is down in Buttons, only raised in FlatButtons.
    EXPECT_EQ(P->IsTabDrawnAsMain(1), Style == 2);
    EXPECT_EQ(P->GetTabColor(0), clBtnHighlight);  // the main tab's default colour
    EXPECT_EQ(P->GetTabColor(3), clBtnFace);
    Form->Show();
    Pump();
    auto B = Render(C);
    const TRect Main = C->VisibleTab(0)->FullRect(), Sel = C->VisibleTab(2)->FullRect(),
                Up = C->VisibleTab(3)->FullRect(), Tracked = C->VisibleTab(1)->FullRect();
    if (Style == 2) {
      EXPECT_EQ(Px(B.get(), Sel.left, Sel.top + 5), Rgb(cl3DDkShadow));  // down: dark outside left
      EXPECT_EQ(Px(B.get(), Up.left, Up.top + 5), Rgb(clBtnHighlight));  // up: light outside left
      EXPECT_EQ(Px(B.get(), Tracked.left, Tracked.top + 5), Rgb(cl3DDkShadow));
    } else {
      EXPECT_EQ(Px(B.get(), Sel.left, Sel.top + 5), Rgb(clBtnShadow));  // sunken
      EXPECT_EQ(Px(B.get(), Main.left, Main.top + 5), Rgb(clBtnShadow));
      EXPECT_EQ(Px(B.get(), Tracked.left, Tracked.top + 5), Rgb(clBtnHighlight));  // raised
      EXPECT_EQ(Px(B.get(), Up.left, Up.top + 5), Rgb(clBtnFace));  // no border
    }
    Form->Hide();
    C->Free();
  }
}

TEST_F(PcButtonsTest, TextIndentsFollowTheImageList) {
  auto* C = MakeControl(400, 100, {"a"}, 2);
  TuxPCPair P;
  C->Painter()->GetTextIndents(0, P);
  EXPECT_EQ(P.First, 4);
  EXPECT_EQ(P.Second, 4);
  C->SetImages(MakeImages());
  C->Painter()->GetTextIndents(0, P);
  EXPECT_EQ(P.First, 3);
  EXPECT_EQ(P.Second, 4);
  // The page lies two pixels below the buttons.
  EXPECT_EQ(C->DisplayRect().top, C->NearTabArea().bottom + 2);
}

TEST_F(PcButtonsTest, SeparatorsBetweenNeighboursOfARow) {
  auto* C = MakeControl(160, 200, {"a", "b", "c", "d"}, 3);
  C->SetTabWidth(60);
  C->SetMultiLine(true);  // rows {a, b}, {c, d}: 60 + 10 + 60 fits 160
  auto* P = static_cast<TuxPCFlatButtonsPainter*>(C->Painter());
  ASSERT_EQ(C->RowCount(), 2);
  const TRect A = C->VisibleTab(0)->FullRect();
  EXPECT_EQ(P->GetSeparatorBand(0), pcRect(A.right, A.top, A.right + 10, A.bottom));
  EXPECT_TRUE(pcIsEmpty(P->GetSeparatorBand(1)));  // the last of its row
  // Rotated tabs: separators only between rows, none with a single row.
  C->SetRotate(true);
  ASSERT_EQ(C->RowCount(), 1);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(pcIsEmpty(P->GetSeparatorBand(i))) << i;
}

TEST_F(PcButtonsTest, CtrlClickTogglesSelection) {
  auto* C = MakeControl(400, 100, {"a", "b", "c"}, 2);
  C->Tabs()->Tabs(1)->SetSelected(true);
  C->Tabs()->Tabs(2)->SetSelected(true);  // multi-selection on
  C->SelectTab(1, true);
  EXPECT_FALSE(C->Tabs()->Tabs(1)->Selected());
  EXPECT_EQ(C->TabIndex(), 0);
  C->SelectTab(0, true);  // Ctrl on the current tab: no current tab
  EXPECT_EQ(C->TabIndex(), -1);
  C->SelectTab(1, false);
  EXPECT_EQ(C->TabIndex(), 1);
}

}  // namespace
