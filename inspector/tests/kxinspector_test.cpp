// The inspector's node tree, layout, divider, bands and scrolling.
#include "inspector/tests/insptest.h"

namespace kxinspector_test {

class KxInspectorTreeTest : public InspectorTest {
 protected:
  // Roots A (children B, C) and D, all text rows.
  TkxInspectorNode *A = nullptr, *B = nullptr, *C = nullptr, *D = nullptr;
  TInspEvents Events;
  void SetUp() override {
    InspectorTest::SetUp();
    NewInspector();
    A = TextRow("A")->Node();
    B = TextRow("B")->Node();
    C = TextRow("C")->Node();
    D = TextRow("D")->Node();
    B->MoveTo(A, iamAddChild);
    C->MoveTo(A, iamAddChild);
    A->SetExpanded(true);
    Insp->OnClick = TNotifyEvent(&Events, &TInspEvents::OnClick);
    Insp->OnChangeNode = TkxInspectorChangeNodeEvent(&Events, &TInspEvents::OnChangeNode);
  }
};

TEST_F(KxInspectorTreeTest, VisibleOrderAndIndexes) {
  EXPECT_EQ(2, Insp->Count());
  EXPECT_EQ(4, Insp->GetAbsoluteCount());
  std::vector<TkxInspectorNode*> order;
  for (TkxInspectorNode* n = Insp->FirstNode(); n; n = n->GetNext()) order.push_back(n);
  EXPECT_EQ((std::vector<TkxInspectorNode*>{A, B, C, D}), order);
  EXPECT_EQ(C, D->GetPrev());
  EXPECT_EQ(A, B->GetPrev());
  EXPECT_EQ(A, D->GetPriorSiblingOrParent());
  EXPECT_EQ(1, C->Level());
  EXPECT_TRUE(C->IsLast());
  EXPECT_TRUE(C->HasAsParent(A));
  EXPECT_EQ(D, Insp->LastNode());
  EXPECT_EQ(nullptr, Insp->Items(5));
  EXPECT_EQ(nullptr, A->Items(-1));
  EXPECT_EQ(-1, D->IndexOf(A));
  A->SetExpanded(false);
  EXPECT_EQ(-1, Insp->GetAbsoluteIndex(C));
  EXPECT_EQ(nullptr, Insp->GetNodeByAbsoluteIndex(2));
  // Making a hidden child visible expands its parent.
  Insp->MakeNodeVisible(C);
  EXPECT_TRUE(A->Expanded());
  EXPECT_EQ(2, C->AbsoluteIndex());
}

TEST_F(KxInspectorTreeTest, ExpandWithoutChildrenAndCollapseMovesFocus) {
  D->SetExpanded(true);
  EXPECT_FALSE(D->Expanded());
  Insp->SetFocusedNode(C);
  A->Collapse(false);
  EXPECT_EQ(A, Insp->FocusedNode());
}

TEST_F(KxInspectorTreeTest, MoveToEdgeCases) {
  D->MoveTo(D, iamInsert);  // nothing
  EXPECT_EQ(1, D->Index());
  A->MoveTo(B, iamAddChild);  // onto its own descendant: nothing
  EXPECT_EQ(nullptr, A->Parent());
  A->MoveTo(A, iamAdd);  // to the end of its own list
  EXPECT_EQ(1, A->Index());
  EXPECT_EQ(A, Insp->FocusedNode());
  // Moving the last children out collapses the parent and frees its list.
  B->MoveTo(D, iamInsert);
  C->MoveTo(D, iamAdd);
  EXPECT_FALSE(A->Expanded());
  EXPECT_EQ(0, A->Count());
  EXPECT_FALSE(A->HasChildren());
  EXPECT_EQ(4, Insp->Count());
}

TEST_F(KxInspectorTreeTest, DeletingNodesMovesTheFocus) {
  struct Case {
    TkxInspectorNode* KxInspectorTreeTest::*Focus;
    TkxInspectorNode* KxInspectorTreeTest::*Expected;
  };
  // Focused C: the previous sibling B; then the parent A for a first child.
  Insp->SetFocusedNode(C);
  static_cast<TkxInspectorRowNode*>(C)->Row->Free();
  EXPECT_EQ(B, Insp->FocusedNode());
  static_cast<TkxInspectorRowNode*>(B)->Row->Free();
  EXPECT_EQ(A, Insp->FocusedNode());
  // The first root goes: the next node.
  static_cast<TkxInspectorRowNode*>(A)->Row->Free();
  EXPECT_EQ(D, Insp->FocusedNode());
  static_cast<TkxInspectorRowNode*>(D)->Row->Free();
  EXPECT_EQ(nullptr, Insp->FocusedNode());
  EXPECT_EQ(nullptr, Insp->TopNode());
  EXPECT_EQ(0, Insp->RowCount());
}

TEST_F(KxInspectorTreeTest, SetFocusedNumberClampsAndClicks) {
  Show();
  Insp->SetFocusedNode(C);
  Events.Clicks = 0;
  Events.Changes.clear();
  Insp->SetFocusedNumber(-5);
  EXPECT_EQ(A, Insp->FocusedNode());
  EXPECT_EQ(1, Events.Clicks);
  ASSERT_EQ(1u, Events.Changes.size());
  EXPECT_EQ(C, Events.Changes[0].first);
  Insp->SetFocusedNumber(0);
  EXPECT_EQ(1, Events.Clicks);
}

class KxInspectorLayoutTest : public InspectorTest {};

TEST_F(KxInspectorLayoutTest, SettersClampTheirValues) {
  NewInspector(150, 200);
  Insp->SetMinColumnWidth(5);
  EXPECT_EQ(20, Insp->MinColumnWidth());
  Insp->SetMinBandWidth(10);
  EXPECT_EQ(43, Insp->MinBandWidth());
  Insp->SetMaxRowTextLineCount(-1);
  EXPECT_EQ(0, Insp->MaxRowTextLineCount());
  Insp->SetBandWidth(20);
  EXPECT_EQ(43, Insp->BandWidth());
  Insp->SetShowRowHint(true);
  EXPECT_FALSE(Insp->ShowHint());
  Insp->SetShowHint(true);
  EXPECT_FALSE(Insp->ShowRowHint());
}

TEST_F(KxInspectorLayoutTest, DividerIsClampedOnlyWithAWindow) {
  NewInspector(150, 200);
  Insp->SetMinColumnWidth(30);
  Insp->SetDividerPos(1000);
  EXPECT_EQ(1000, Insp->DividerPos());
  Show();
  Insp->SetInternalOptions(Insp->InternalOptions() >> ioAutoWidth);
  Insp->SetDividerPos(1000);
  EXPECT_EQ(120, Insp->DividerPos());
  Insp->SetDividerPos(0);
  EXPECT_EQ(30, Insp->DividerPos());
}

TEST_F(KxInspectorLayoutTest, AutoWidthKeepsTheDividerProportion) {
  for (bool autoWidth : {true, false}) {
    NewInspector(150, 200);
    Show();
    TkxInspectorOptions o = Insp->InternalOptions();
    Insp->SetInternalOptions(autoWidth ? o << ioAutoWidth : o >> ioAutoWidth);
    Insp->SetDividerPos(75);
    Insp->SetWidth(300);
    Pump();
    EXPECT_EQ(autoWidth ? 150 : 75, Insp->DividerPos()) << autoWidth;
    Insp->Free();
  }
}

TEST_F(KxInspectorLayoutTest, RowHeightBelowTheMinimumIsNotStored) {
  NewInspector();
  TextRow("A");
  Show();
  const int minimal = Insp->MinRowHeight();
  EXPECT_EQ(minimal, Insp->RowHeight());
  Insp->SetRowHeight(3);
  EXPECT_EQ(minimal, Insp->RowHeight());
  EXPECT_FALSE(Insp->IsRowHeightStored());
  Insp->SetRowHeight(minimal + 5);
  EXPECT_TRUE(Insp->IsRowHeightStored());
}

TEST_F(KxInspectorLayoutTest, BandsOfAControl300Wide) {
  NewInspector(300, 120);
  for (int i = 0; i < 20; ++i) TextRow("R");
  Insp->SetBorderStyle(bsNone);
  Insp->SetInternalOptions(Insp->InternalOptions() << ioAutoBandCount);
  Show();
  Insp->UpdateScrollBars();
  EXPECT_EQ(1, Insp->FullVisibleBandCount());
  EXPECT_EQ(2, Insp->VisibleBandCount());
  TkxInspectorViewInfo vi;
  Insp->CalcViewInfo(vi);
  ASSERT_EQ(2, vi.BandCount());
  EXPECT_EQ(200, vi.Bands[1].BandRect.left);
  EXPECT_EQ(197, vi.Bands[0].RowsRect.right);
  // Every row of a band fits; the next band starts with the row that did not.
  int sum = 0;
  for (auto& r : vi.Bands[0].Rows) sum += r.Height;
  EXPECT_LE(sum, vi.Bands[0].RowsRect.Height());
  EXPECT_EQ(vi.Bands[0].Rows.back().Node->GetNext(), vi.Bands[1].Rows.front().Node);
}

TEST_F(KxInspectorLayoutTest, TallRowMovesToTheNextBandOrStaysAloneClipped) {
  NewInspector(400, 100);
  Insp->SetBorderStyle(bsNone);
  auto* a = TextRow("A");
  auto* b = TextRow("B");
  auto* c = TextRow("C");
  Insp->SetInternalOptions(Insp->InternalOptions() << ioAutoBandCount);
  Show();
  b->SetRowHeight(90);
  c->SetRowHeight(300);
  TkxInspectorViewInfo vi;
  Insp->CalcViewInfo(vi);
  ASSERT_GE(vi.BandCount(), 2);
  ASSERT_EQ(1u, vi.Bands[0].Rows.size());  // A; B (90) does not fit below it
  EXPECT_EQ(a->Node(), vi.Bands[0].Rows[0].Node);
  EXPECT_EQ(b->Node(), vi.Bands[1].Rows[0].Node);
  // The first band never passes total - fully visible: C's band shows last.
  Insp->SetFirstBand(2);
  EXPECT_EQ(Insp->TotalBandCount() - Insp->FullVisibleBandCount(), Insp->FirstVisibleBand());
  Insp->CalcViewInfo(vi);
  const auto& last = vi.Bands.back();
  ASSERT_EQ(1u, last.Rows.size());
  EXPECT_EQ(c->Node(), last.Rows[0].Node);
  EXPECT_TRUE(last.LastRowClipped);
}

// A 500-row inspector scrolled by the wheel, the keys and the scroll bar.
TEST_F(KxInspectorLayoutTest, ScrollingFiveHundredRows) {
  NewInspector(200, 240);
  Insp->BeginUpdate();
  for (int i = 0; i < 500; ++i) TextRow(("R" + std::to_string(i)).c_str(), "v");
  Insp->EndUpdate();
  Show();
  const int page = Insp->RowsPerPage();
  ASSERT_GT(page, 5);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  Insp->GetScrollInfo(SB_VERT, si);
  EXPECT_EQ(499, si.nMax);
  EXPECT_EQ(UINT(page), si.nPage);
  // The wheel scrolls by lines.
  TPoint p = Screen(50, 50);
  hb->Wheel(p.x, p.y, -120);
  Pump();
  const int afterWheel = Insp->TopIndex();
  EXPECT_GT(afterWheel, 0);
  // The scroll bar: line, page, thumb.
  Insp->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(afterWheel + 1, Insp->TopIndex());
  Insp->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(afterWheel + 1 + page, Insp->TopIndex());
  si.fMask = SIF_TRACKPOS;
  si.nTrackPos = 250;
  Insp->SetScrollInfo(SB_VERT, si, false);
  Insp->Perform(WM_VSCROLL, SB_THUMBTRACK, 0);
  Insp->GetScrollInfo(SB_VERT, si);
  // Past the end: the last row stays at the bottom edge.
  Insp->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  for (int i = 0; i < 100; ++i) Insp->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(500 - page, Insp->TopIndex());
  // Keys move the focus and the page follows it.
  Insp->MakeNodeVisible(Insp->FocusedNode());
  Pump();
  EXPECT_EQ(0, Insp->FocusedNumber());
  EXPECT_EQ(0, Insp->TopIndex());
  Press(VK_NEXT);
  EXPECT_EQ(page, Insp->FocusedNumber());
  Press(VK_NEXT, HeadlessBackend::Ctrl);
  EXPECT_EQ(499, Insp->FocusedNumber());
  EXPECT_EQ(500 - page, Insp->TopIndex());
  TRect r = RowRect(Insp->FocusedNode());
  EXPECT_LE(r.bottom, Insp->ClientHeight());
  Press(VK_PRIOR, HeadlessBackend::Ctrl);
  EXPECT_EQ(0, Insp->TopIndex());
}

TEST_F(KxInspectorLayoutTest, ThumbTrackingScrollsToTheTrackPosition) {
  NewInspector(200, 240);
  Insp->BeginUpdate();
  for (int i = 0; i < 500; ++i) TextRow("R");
  Insp->EndUpdate();
  Show();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  si.nTrackPos = 250;
  Insp->SetScrollInfo(SB_VERT, si, false);
  Insp->GetScrollInfo(SB_VERT, si);
  const int track = si.nTrackPos;
  Insp->Perform(WM_VSCROLL, SB_THUMBTRACK, 0);
  EXPECT_EQ(track < 1 ? 0 : track, Insp->TopIndex());
}

}  // namespace kxinspector_test
