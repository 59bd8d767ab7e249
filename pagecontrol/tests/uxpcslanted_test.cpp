// The Slanted and OneNote styles: slant sizes and overlaps, minimum widths,
// corners, hit tests of overlapping tabs, flat fills, and OneNote's fixed shape.
#include "pagecontrol/tests/pcsheet.h"
#include "pagecontrol/uxpcpainters.h"

namespace {

class PcSlantedTest : public PcSheetTest {
 protected:
  static TuxPCSlantedPainter* Sl(TuxCustomTabControl* C) { return static_cast<TuxPCSlantedPainter*>(C->Painter()); }
};

TEST_F(PcSlantedTest, SlantSizesOverlapsAndMinimumWidths) {
  auto* C = MakeControl(400, 100, {"a", "b", "c"}, 9);
  C->TabSlants()->SetPositions({spLeft, spRight});
  C->SetTabHeight(20);
  ASSERT_EQ(C->Tabs()->MeasuredTabHeight, 20);
  EXPECT_EQ(Sl(C)->GetSlantSize(), 19);
  TPoint I;
  Sl(C)->GetTabsInterval(I);
  EXPECT_EQ(I.x, -18);  // neighbours overlap by 2 x 9
  EXPECT_EQ(I.y, -3);   // rows overlap by 3
  EXPECT_EQ(Sl(C)->GetMinTabWidth(-1), 42);  // 19 x 2 - 4 + 8
  EXPECT_EQ(C->VisibleTab(1)->NormalRect().left - C->VisibleTab(0)->NormalRect().right, -18);
  // No positions: 2-pixel corners at both ends whatever the kind, tabs 1 pixel apart.
  C->TabSlants()->SetPositions({});
  Sl(C)->GetTabsInterval(I);
  EXPECT_EQ(I.x, 1);
  EXPECT_EQ(Sl(C)->GetSlantedMinTabWidth(), 8);
  C->TabSlants()->SetKind(skCutCorner);
  Sl(C)->GetTabsInterval(I);
  EXPECT_EQ(I.x, 1);
  // Rotated slanted tabs get 2-pixel corners and no minimum width.
  C->TabSlants()->SetKind(skSlant);
  C->TabSlants()->SetPositions({spLeft});
  C->SetRotate(true);
  EXPECT_EQ(Sl(C)->GetSlantedMinTabWidth(), 0);
  EXPECT_TRUE(Sl(C)->GetSlantedSides().Empty());
  std::unique_ptr<TuxRegion> R(Sl(C)->GetTabRegion(1, false));
  const TRect F = C->VisibleTab(1)->FullRect();
  EXPECT_FALSE(R->PtInRegion(F.left, F.top));      // the cut corner
  EXPECT_TRUE(R->PtInRegion(F.left + 2, F.top));
  EXPECT_TRUE(R->PtInRegion(F.left, F.top + 2));
}

TEST_F(PcSlantedTest, TheMainTabCoversItsNeighbour) {
  auto* C = MakeControl(400, 100, {"aaaa", "bbbb", "cccc"}, 9);
  C->TabSlants()->SetPositions({spLeft, spRight});
  C->SetTabIndex(1);
  Form->Show();
  Pump();
  const TRect A = C->VisibleTab(0)->FullRect(), B = C->VisibleTab(1)->FullRect();
  ASSERT_LT(B.left, A.right);  // they overlap
  const int Y = (A.top + A.bottom) / 2;
  // Right of the main tab's slant but still within the first tab's rectangle.
  int X = A.right - 1;
  while (X > B.left && !Sl(C)->IsPointInTab(1, X, Y)) --X;
  ASSERT_GT(X, B.left);
  EXPECT_FALSE(Sl(C)->IsPointInTab(0, X, Y));
  EXPECT_EQ(C->TabAt(X, Y), 1);
  EXPECT_TRUE(Sl(C)->IsPointInTab(0, A.left + 20, Y));
}

TEST_F(PcSlantedTest, WithoutGradientsTabsAreFlat) {
  auto* C = MakeControl(300, 80, {"a", "b"}, 9);
  C->SetTabWidth(80);
  C->SetTabIndex(0);
  C->SetOptions(C->Options() - TuxPCOptions{pcoGradient});
  Form->Show();
  Pump();
  TBitmap B;
  B.SetSize(300, 80);
  C->PaintTo(B.Canvas()->Handle(), 0, 0);
  const TRect R = C->VisibleTab(1)->FullRect();
  const int X = R.right - 6;
  const std::uint32_t Top = B.ScanLine(R.top + 5)[X] & 0xFFFFFF, Bottom = B.ScanLine(R.bottom - 4)[X] & 0xFFFFFF;
  EXPECT_EQ(Top, Bottom);
  C->SetOptions(C->Options() + TuxPCOptions{pcoGradient});
  C->PaintTo(B.Canvas()->Handle(), 0, 0);
  EXPECT_NE(B.ScanLine(R.top + 5)[X] & 0xFFFFFF, B.ScanLine(R.bottom - 4)[X] & 0xFFFFFF);
}

TEST_F(PcSlantedTest, OneNoteHasItsOwnShape) {
  auto* C = MakeControl(300, 80, {"a", "b"}, 10);
  EXPECT_EQ(Sl(C)->GetSlantedSides(), TuxTabSlantPositions{spLeft});
  C->TabSlants()->SetPositions({spRight});  // ignored
  EXPECT_EQ(Sl(C)->GetSlantedSides(), TuxTabSlantPositions{spLeft});
  EXPECT_EQ(Sl(C)->GetSlantedBorderColor(), uxPCOneNoteColor(0));
  EXPECT_EQ(Sl(C)->GetSlantSize(), C->Tabs()->MeasuredTabHeight + 2);
  try {
    C->SetRotate(true);
    ADD_FAILURE() << "no error";
  } catch (const EuxPCError& E) {
    EXPECT_STREQ(E.what(), "TuxCustomTabControl.SetRotate: OneNote style does not support rotation of tabs");
  }
  EXPECT_FALSE(C->Rotate());
  // A rounded top-right corner: the corner pixel is outside the tab.
  const TRect F = C->VisibleTab(1)->FullRect();
  C->Canvas()->Canvas()->SetHandle(GetDC(C->Handle()));
  std::unique_ptr<TuxRegion> R(Sl(C)->GetTabRegion(1, false));
  ReleaseDC(C->Handle(), C->Canvas()->Canvas()->Handle());
  C->Canvas()->Canvas()->SetHandle(nullptr);
  EXPECT_FALSE(R->PtInRegion(F.right - 1, F.top));
  EXPECT_TRUE(R->PtInRegion(F.right - 6, F.top + 1));
}

}  // namespace
