// Painting in the five styles (reference images with an editor open and a
// category collapsed), the colour swaps of the style setter, and the mouse:
// dragging the divider, clicking buttons and captions, row sizing.
#include "inspector/tests/insptest.h"

namespace kxinsppaint_test {

class KxInspectorPaintTest : public InspectorTest {
 protected:
  TkxInspectorTextRow *Cat1 = nullptr, *Cat2 = nullptr, *Name = nullptr, *Parent = nullptr, *Child = nullptr;
  // Two categories: the first with a name row and a row with a child, the second collapsed.
  void Build(int Width = 200, int Height = 150) {
    NewInspector(Width, Height);
    Cat1 = TextRow("Common");
    Cat1->SetIsCategory(true);
    Name = TextRow("Name", "Chapter one");
    Parent = TextRow("Size", "60 x 30");
    Child = TextRow("Width", "60");
    Cat2 = TextRow("Node");
    Cat2->SetIsCategory(true);
    auto* hidden = TextRow("Colour", "red");
    Name->Node()->MoveTo(Cat1->Node(), iamAddChild);
    Parent->Node()->MoveTo(Cat1->Node(), iamAddChild);
    Child->Node()->MoveTo(Parent->Node(), iamAddChild);
    hidden->Node()->MoveTo(Cat2->Node(), iamAddChild);
    Cat1->Node()->Expand(true);
    Cat2->Node()->Collapse(false);
    Insp->SetFocusedNode(Name->Node());
  }
};

TEST_F(KxInspectorPaintTest, FiveStylesWithAnEditorOpenAndACategoryCollapsed) {
  const struct {
    TkxInspectorPaintStyle Style;
    const char* Name;
  } styles[] = {{ipsStandard, "style_standard"},
                {ipsSimple, "style_simple"},
                {ipsExtended, "style_extended"},
                {ipsNET, "style_net"},
                {ipsCategorized, "style_categorized"}};
  for (const auto& s : styles) {
    SCOPED_TRACE(s.Name);
    Build();
    Insp->SetPaintStyle(s.Style);
    Show();
    ASSERT_TRUE(Insp->CurrentEditor());
    EXPECT_TRUE(Insp->CurrentEditor()->IsShown());
    EXPECT_FALSE(Cat2->Node()->Expanded());
    EXPECT_TRUE(MatchesReference(Shot(Insp), "inspector/tests/ref", s.Name));
    Insp->Free();
    Insp = nullptr;
  }
}

TEST_F(KxInspectorPaintTest, StyleGroupsSwapDefaultColoursOnly) {
  Build();
  Insp->SetPaintStyle(ipsSimple);
  EXPECT_EQ(clWindow, Insp->Color());
  EXPECT_EQ(clBtnFace, Insp->GridColor());
  EXPECT_EQ(Insp->Font()->Color(), Insp->ValueColor());
  Insp->SetPaintStyle(ipsNET);  // same group: nothing swaps
  EXPECT_EQ(clWindow, Insp->Color());
  Insp->SetPaintStyle(ipsStandard);
  EXPECT_EQ(clBtnFace, Insp->Color());
  EXPECT_EQ(clBtnShadow, Insp->GridColor());
  EXPECT_EQ(clNavy, Insp->ValueColor());
  // A colour the user chose stays.
  Insp->SetColor(clYellow);
  Insp->SetPaintStyle(ipsSimple);
  EXPECT_EQ(clYellow, Insp->Color());
}

TEST_F(KxInspectorPaintTest, CellLayoutOfADeepRowAndOfACategory) {
  Build();
  Show();
  TkxInspectorCellLayout l;
  const TRect r{0, 0, 200, 18};
  Insp->GetCellLayout(Child->Node(), r, l);
  EXPECT_EQ(Insp->DividerPos() + 2, l.ValueRect.left);
  EXPECT_EQ(Insp->DividerPos(), l.CaptionRect.right);
  EXPECT_EQ(0, l.ButtonKind);
  Insp->GetCellLayout(Cat1->Node(), r, l);
  EXPECT_EQ(2, l.ButtonKind);
  EXPECT_EQ(l.ValueRect.right, l.CaptionRect.right);
}

TEST_F(KxInspectorPaintTest, DraggingTheDivider) {
  for (bool dynamic : {true, false}) {
    SCOPED_TRACE(dynamic);
    Build(200, 150);
    TkxInspectorOptions o = Insp->InternalOptions();
    Insp->SetInternalOptions(dynamic ? o << ioDynamicColumnSizing : o >> ioDynamicColumnSizing);
    Show();
    Insp->SetDividerPos(80);
    Pump();
    const TRect row = RowRect(Name->Node());
    const int y = (row.top + row.bottom) / 2;
    EXPECT_EQ(ihcDivider, Insp->GetHitTestCode(81, y));
    TPoint a = Screen(81, y), b = Screen(120, y);
    hb->MouseDown(a.x, a.y);
    Pump();
    EXPECT_EQ(isDividerSizing, Insp->State());
    hb->MouseMove(b.x, b.y);
    Pump();
    EXPECT_EQ(dynamic ? 120 : 80, Insp->DividerPos());  // dynamic sizing follows at once
    hb->MouseUp(b.x, b.y);
    Pump();
    EXPECT_EQ(isNormal, Insp->State());
    EXPECT_EQ(120, Insp->DividerPos());
    // Esc during a dynamic drag puts the divider back.
    if (dynamic) {
      hb->MouseDown(b.x - 1, b.y);
      Pump();
      TPoint c = Screen(60, y);
      hb->MouseMove(c.x, c.y);
      Pump();
      EXPECT_EQ(60, Insp->DividerPos());
      Press(VK_ESCAPE);
      EXPECT_EQ(isNormal, Insp->State());
      EXPECT_EQ(120, Insp->DividerPos());
      hb->MouseUp(c.x, c.y);
      Pump();
    }
    Insp->Free();
    Insp = nullptr;
  }
}

TEST_F(KxInspectorPaintTest, DividerNeedsColumnSizingAndIsCaptionOnACategory) {
  Build();
  Insp->SetInternalOptions(Insp->InternalOptions() >> ioColumnSizing);
  Show();
  const TRect row = RowRect(Name->Node());
  TPoint a = Screen(Insp->DividerPos(), (row.top + row.bottom) / 2);
  hb->MouseDown(a.x, a.y);
  Pump();
  EXPECT_NE(isDividerSizing, Insp->State());
  hb->MouseUp(a.x, a.y);
  Pump();
  const TRect cat = RowRect(Cat1->Node());
  EXPECT_EQ(ihcCaption, Insp->GetHitTestCode(Insp->DividerPos(), (cat.top + cat.bottom) / 2));
}

TEST_F(KxInspectorPaintTest, ButtonClickAndCaptionDoubleClickToggle) {
  Build();
  Show();
  TRect r = RowRect(Parent->Node());
  TkxInspectorCellLayout l;
  Insp->GetCellLayout(Parent->Node(), r, l);
  const int y = (r.top + r.bottom) / 2;
  ClickAt((l.ButtonRect.left + l.ButtonRect.right) / 2, y);
  EXPECT_FALSE(Parent->Node()->Expanded());
  TPoint p = Screen(l.CaptionRect.left + 5, y);
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_TRUE(Parent->Node()->Expanded());
}

TEST_F(KxInspectorPaintTest, RowSizingKeepsTheMinimalHeight) {
  Build();
  Insp->SetInternalOptions(Insp->InternalOptions() << ioRowSizing);
  Show();
  const TRect r = RowRect(Name->Node());
  EXPECT_EQ(ihcRowBottom, Insp->GetHitTestCode(30, r.bottom - 1));
  TPoint a = Screen(30, r.bottom - 1), b = Screen(30, r.bottom + 20), c = Screen(30, r.top + 2);
  hb->MouseDown(a.x, a.y);
  Pump();
  EXPECT_EQ(isRowSizing, Insp->State());
  hb->MouseMove(b.x, b.y);
  hb->MouseUp(b.x, b.y);
  Pump();
  EXPECT_EQ(r.Height() + 21, Name->RowHeight()) << r.top << " " << r.bottom;
  EXPECT_TRUE(Name->IsRowHeightAssigned());
  const TRect r2 = RowRect(Name->Node());
  a = Screen(30, r2.bottom - 1);
  hb->MouseDown(a.x, a.y);
  hb->MouseMove(c.x, c.y);
  hb->MouseUp(c.x, c.y);
  Pump();
  EXPECT_EQ(Insp->RowHeight(), Name->RowHeight());
  EXPECT_FALSE(Name->IsRowHeightAssigned());
}

TEST_F(KxInspectorPaintTest, HoldingTheButtonBelowTheRowsScrollsByTimer) {
  NewInspector(200, 100);
  for (int i = 0; i < 30; ++i) TextRow("R", "v");
  Show();
  const int shown = Insp->RowsPerPage();
  TRect last = RowRect(Insp->GetNodeByAbsoluteIndex(shown - 1));
  TPoint p = Screen(150, (last.top + last.bottom) / 2);
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_TRUE(Insp->AutoScrollTimerRunning());
  TPoint below = Screen(150, Insp->ClientHeight() + 10);
  hb->MouseMove(below.x, below.y);
  Pump();
  const int before = Insp->FocusedNumber();
  Insp->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(before + 1, Insp->FocusedNumber());
  hb->MouseUp(below.x, below.y);
  Pump();
  EXPECT_FALSE(Insp->AutoScrollTimerRunning());
}

}  // namespace kxinsppaint_test

namespace kxinsppaint_test {

class KxInspectorHintTest : public KxInspectorPaintTest {
 protected:
  bool HintShown() {
    return Insp->HintWindow() && Insp->HintWindow()->HandleAllocated() &&
           IsWindowVisible(Insp->HintWindow()->Handle());
  }
};

TEST_F(KxInspectorHintTest, RowHintsForClippedValuesAndOwnHints) {
  NewInspector(160, 120);
  auto* longRow = TextRow("Long", "a value far wider than the value cell of this row");
  auto* hinted = TextRow("Hinted", "v");
  hinted->Hint = "own hint";
  hinted->ShowHint = true;
  Insp->SetShowRowHint(true);
  Show();
  Insp->SetFocusedNode(hinted->Node());  // the editor moves off the long row
  Pump();
  // A clipped value shows its whole text at once, and the hide timer runs.
  TRect r = RowRect(longRow->Node());
  TPoint p = Screen(Insp->DividerPos() + 20, (r.top + r.bottom) / 2);
  hb->MouseMove(p.x, p.y);
  Pump();
  ASSERT_TRUE(Insp->HintWindow());
  EXPECT_TRUE(HintShown());
  EXPECT_TRUE(Insp->HintTimerRunning(3));
  Insp->Perform(WM_TIMER, 3, 0);
  EXPECT_FALSE(HintShown());
  // A caption with its own hint waits for the delay timer.
  r = RowRect(hinted->Node());
  p = Screen(10, (r.top + r.bottom) / 2);
  hb->MouseMove(p.x, p.y);
  Pump();
  EXPECT_TRUE(Insp->HintTimerRunning(2));
  EXPECT_FALSE(HintShown());
  Insp->Perform(WM_TIMER, 2, 0);
  EXPECT_TRUE(HintShown());
  // Without ShowRowHint no hint is shown.
  Insp->Perform(WM_TIMER, 3, 0);
  Insp->SetShowRowHint(false);
  r = RowRect(longRow->Node());
  p = Screen(Insp->DividerPos() + 25, (r.top + r.bottom) / 2);
  hb->MouseMove(p.x, p.y);
  Pump();
  EXPECT_FALSE(HintShown());
}

// Value cells of rows without an editor: a time row shows its text only (no
// spin buttons: those belong to its live editor); a memo row one line high
// shows its first line and nothing of the second; the colour row, a pop-up
// row, shows its text, the stored number.
TEST_F(KxInspectorPaintTest, InactiveTimeMemoAndColourCells) {
  NewInspector(220, 104);
  auto* focus = TextRow("Text", "focus");
  auto add = [&](TClass Class, const AnsiString& Caption, const AnsiString& Text) {
    auto* r = Insp->AddRow(Class);
    r->SetCaption(Caption);
    r->SetEditText(Text);
    return r;
  };
  auto* time = add(TkxInspectorTextTimeRow::StaticClass(), "Time", "08:15:00");
  auto* memo = add(TkxInspectorTextMemoRow::StaticClass(), "Memo", "line one\r\nline two");
  auto* single = add(TkxInspectorTextMemoRow::StaticClass(), "Memo", "line one");
  add(TkxInspectorTextPopupRow::StaticClass(), Gbk("颜色"), "-16777192");
  Insp->SetFocusedNode(focus->Node());
  Show();
  const TRawImage img = Shot(Insp);
  EXPECT_TRUE(MatchesReference(img, "inspector/tests/ref", "inactive_cells"));

  // The time cell is background right of its text, where spin buttons would be.
  const TRect t = RowRect(time->Node());
  const std::uint32_t back = Pixel(t.right - 3, t.top + 2);
  for (int x = t.right - 20; x < t.right - 1; ++x)
    for (int y = t.top + 1; y < t.bottom - 1; ++y) ASSERT_EQ(back, Pixel(x, y)) << x << "," << y;
  // The two-line memo paints exactly as the one-line memo below it.
  const TRect a = RowRect(memo->Node()), b = RowRect(single->Node());
  for (int x = Insp->DividerPos() + 2; x < a.right; ++x)
    for (int y = 0; y < a.Height(); ++y) ASSERT_EQ(Pixel(x, b.top + y), Pixel(x, a.top + y)) << x << "," << y;
}

}  // namespace kxinsppaint_test
