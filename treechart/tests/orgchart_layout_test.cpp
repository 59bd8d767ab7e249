// Organisation-chart geometry: slots and depths, the total size, rotation,
// the zoom to fit, scrolling and the hit zones.
#include "treechart/tests/orgchart_fixture.h"

namespace {

class OrgChartLayoutTest : public OrgChartTest {
 protected:
  // With the defaults a leaf's slot is 64 + 1 + 16 = 81 wide and its row
  // 40 + 16 + 1 = 57 deep.
  static constexpr int kSlot = 81, kRow = 57;
};

TEST_F(OrgChartLayoutTest, EmptyChartHasOnlyTheButtonAllowance) {
  EXPECT_EQ(Chart->TotalWidth(), 0);
  EXPECT_EQ(Chart->TotalHeight(), 6);
  Chart->SetRotated(true);
  EXPECT_EQ(Chart->TotalWidth(), 6);
  EXPECT_EQ(Chart->TotalHeight(), 0);
}

TEST_F(OrgChartLayoutTest, SlotsTakeTheWiderOfTheBoxAndTheChildRow) {
  Build("A(A1,A2),B");
  TkxOcNode* a = Find("A");
  EXPECT_EQ(Chart->SlotWidth(Find("B")), kSlot);
  EXPECT_EQ(Chart->SlotWidth(a), 2 * kSlot);
  EXPECT_EQ(Chart->SubtreeDepth(a), 2 * kRow);
  EXPECT_EQ(Chart->TotalWidth(), 3 * kSlot);
  EXPECT_EQ(Chart->TotalHeight(), 2 * kRow + 6);
  // A's box is centred over its row; its children start at the row's left
  EXPECT_EQ(a->DisplayRect(), (TRect{(2 * kSlot - 65) / 2, 0, (2 * kSlot - 65) / 2 + 65, kRow}));
  EXPECT_EQ(Find("A1")->DisplayRect(), (TRect{8, kRow, 73, 2 * kRow}));
  a->SetChildAlign(oaLeft);
  EXPECT_EQ(a->DisplayRect().left, 0);
  a->SetChildAlign(oaRight);
  EXPECT_EQ(a->DisplayRect().right, 2 * kSlot);

  // a row narrower than the node: the node's own slot, the row placed in it
  Chart->Clear();
  Build("W(W1)");
  TkxOcNode* w = Find("W");
  w->SetWidth(200);
  EXPECT_EQ(Chart->SlotWidth(w), 200 + 1 + 16);
  EXPECT_EQ(Find("W1")->DisplayRect().left, (217 - kSlot) / 2 + 8);
  w->SetChildAlign(oaRight);
  EXPECT_EQ(Find("W1")->DisplayRect().right, 217 - 8);

  // collapsing shrinks the slot and depth back to the node's own
  w->SetWidth(0);
  Chart->Clear();
  Build("C(C1,C2,C3)");
  TkxOcNode* c = Find("C");
  EXPECT_EQ(Chart->SlotWidth(c), 3 * kSlot);
  c->Collapse(false);
  EXPECT_EQ(Chart->SlotWidth(c), kSlot);
  EXPECT_EQ(Chart->SubtreeDepth(c), kRow);
  EXPECT_EQ(Chart->TotalWidth(), kSlot);
}

TEST_F(OrgChartLayoutTest, ThreeDEdgeAndLineWidthWidenTheBoxes) {
  Build("A");
  Chart->SetLineWidth(3);
  Chart->SetOptions(Chart->Options() + TkxOcOptions{ocRect3D});
  TkxOcNode* a = Find("A");
  EXPECT_EQ(Chart->ExtentA(a), 64 + 3);
  EXPECT_EQ(Chart->SlotWidth(a), 67 + 3 + 16);
  a->SetShape(nsEllipse);
  EXPECT_EQ(Chart->ExtentA(a), 64);
  EXPECT_EQ(Chart->SlotWidth(a), 64 + 3 + 16) << "the shape change relayouts the row";
}

TEST_F(OrgChartLayoutTest, RotatedChartsRunTheRowsDownward) {
  Build("A(A1,A2)");
  Chart->SetIndentX(10);
  Chart->SetIndentY(20);
  Chart->SetRotated(true);
  EXPECT_EQ(Chart->IndentX(), 20) << "the gap across is the stored IndentY";
  EXPECT_EQ(Chart->IndentY(), 10);
  const TRect a = Find("A")->DisplayRect(), a1 = Find("A1")->DisplayRect(), a2 = Find("A2")->DisplayRect();
  EXPECT_LT(a1.top, a2.top) << "the first child is above its next sibling";
  EXPECT_GE(a1.left, a.right) << "children are right of their parent";
  EXPECT_EQ(a1.Width(), 64 + 10 + 1);  // the node's width plus the gap down and the line
  EXPECT_EQ(Chart->TotalHeight(), 2 * (40 + 1 + 20));
}

TEST_F(OrgChartLayoutTest, ZoomOnlyEverShrinks) {
  Chart->SetBounds(10, 10, 200, 300);
  Build("A");
  Chart->SetZoom(true);
  EXPECT_FALSE(Chart->IsZoomed()) << "a chart smaller than the window is not scaled";
  EXPECT_EQ(Chart->ScaleValue(100), 100);
  Chart->Clear();
  Build("A,B,C,D,E");
  const int cw = Chart->ClientWidth();
  ASSERT_GT(5 * kSlot, cw);
  EXPECT_TRUE(Chart->IsZoomed());
  EXPECT_EQ(Chart->ScaleValue(100), 100 * cw / (5 * kSlot + 1));
  EXPECT_LE(Chart->TotalWidth(), cw);
  // expanded nodes show no button while scaled; editing is refused
  Chart->Clear();
  Build("P(P1,P2,P3,P4,P5)");
  EXPECT_FALSE(Chart->ShowsButton(Find("P")));
  Chart->SetSelected(Find("P"));
  Chart->BeginEdit();
  EXPECT_FALSE(Chart->IsEditing());
  Chart->SetZoom(false);
  EXPECT_FALSE(Chart->IsZoomed());
  EXPECT_TRUE(Chart->ShowsButton(Find("P")));
}

TEST_F(OrgChartLayoutTest, ScrollToClampsToTheChart) {
  Build("N1,N2,N3,N4,N5,N6,N7,N8,N9,N10,N11,N12");
  Chart->UpdateLayout();
  Pump();
  const int cw = Chart->ClientWidth();
  Chart->ScrollTo(-5, -5);
  EXPECT_EQ(Chart->LeftEdge(), 0);
  EXPECT_EQ(Chart->TopEdge(), 0);
  Chart->ScrollTo(99999, 99999);
  EXPECT_EQ(Chart->LeftEdge(), Chart->TotalWidth() - cw);
  EXPECT_EQ(Chart->TopEdge(), 0) << "the chart is lower than the window";
  // the scroll offset moves every node
  EXPECT_EQ(Find("N1")->DisplayRect().left, 8 - Chart->LeftEdge());
  Chart->Perform(WM_HSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Chart->LeftEdge(), Chart->TotalWidth() - cw - 16);
  Chart->Perform(WM_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(Chart->LeftEdge(), 0);
}

TEST_F(OrgChartLayoutTest, HitZonesDescribeWhatLiesUnderAPoint) {
  Build("A(A1,A2),B");
  Find("A2")->SetShape(nsRoundedRectangle);
  struct Case {
    int X, Y;
    const char* Node;
    TkxOcHitZones Zones;
  } cases[] = {
      {80, 5, "A", hzAbove},
      {80, 30, "A", hzOnBox | hzOnShape},
      {80, 52, "A", hzOnBox | hzOnShape | hzOnButton},  // the button's upper half
      {80, 60, "A", hzOnButton},                         // the button's lower half
      {74, 30, "A", hzOnBox | hzOnShape},                // left of the button's columns
      {165, 30, "B", hzLeft},
      {240, 30, "B", hzRight},
      {200, 70, "B", hzBelowCollapsed},
      {200, 97, "B", hzBelowCollapsed},
      {200, 98, "nil", hzNowhere},
      {40, 64, "A1", hzAbove},
      {kSlot + 9, kRow + 17, "A2", hzOnBox},  // the corner outside the rounding
      {kSlot + 30, kRow + 30, "A2", hzOnBox | hzOnShape},
      {500, 300, "nil", hzNowhere},  // nothing there: the hidden root is never hit
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TOcRecorder::Name(Chart->NodeAt(c.X, c.Y)), c.Node) << c.X << "," << c.Y;
    EXPECT_EQ(int(Chart->HitZonesAt(c.X, c.Y)), int(c.Zones)) << c.X << "," << c.Y;
  }
}

TEST_F(OrgChartLayoutTest, EllipseAndDiamondShapesAnswerOnlyInside) {
  Build("E,D");
  Find("E")->SetShape(nsEllipse);
  Find("D")->SetShape(nsDiamond);
  // E's box spans x 8..73 and y 16..57; D's the same one slot further right
  EXPECT_EQ(int(Chart->HitZonesAt(40, 36)), hzOnBox | hzOnShape);
  EXPECT_EQ(int(Chart->HitZonesAt(10, 18)), hzOnBox);
  EXPECT_EQ(int(Chart->HitZonesAt(kSlot + 40, 36)), hzOnBox | hzOnShape);
  EXPECT_EQ(int(Chart->HitZonesAt(kSlot + 12, 20)), hzOnBox);
}

}  // namespace
