// The drop-down list of string combos is drawn and measured by its combo: a
// font combo's list shows the font-type marks before the names, a plain
// combo's list its strings on the selection colours, and a combo's own
// measuring and drawing events reach the list.
#include "bars/kxbardate.h"
#include "bars/tests/kxbartest.h"

namespace {

std::uint32_t ListPixel(TColor C) {
  COLORREF c = ColorToRGB(C);
  return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// Records what a combo's drawing and measuring events are asked.
struct TComboListLog {
  std::vector<std::pair<int, unsigned>> Drawn;
  void Draw(TObject*, int Index, const TRect&, unsigned State) { Drawn.emplace_back(Index, State); }
  void Measure(TObject*, int Index, int& Height) {
    if (Index == 2) Height = 30;
  }
};

}  // namespace

class BarsComboListTest : public BarsFormTest {
 protected:
  // Drops the list of a combo on the toolbar down; nil when it did not open.
  TkxBarDropDownListBox* DropDown(TkxBarCustomCombo* Combo) {
    ClickLink(ToolLink(Combo));
    auto* c = dynamic_cast<TCustomkxBarComboControl*>(ToolLink(Combo)->Control());
    if (!c) return nullptr;
    c->SetDroppedDown(true);
    Pump();
    TkxBarDropDownListBox* list = Combo->ListBox();
    return list && list->HandleAllocated() && IsWindowVisible(list->Handle()) ? list : nullptr;
  }
  TRect RowOnScreen(TkxBarDropDownListBox* List, int Index) {
    TRect r = List->ItemRect(Index);
    TPoint p = List->ClientToScreen(TPoint{r.left, r.top});
    return TRect{p.x, p.y, p.x + r.Width(), p.y + r.Height()};
  }
  std::uint32_t At(int X, int Y) { return hb->ScreenPixel(X, Y) & 0xFFFFFF; }
};

TEST_F(BarsComboListTest, TheFontListShowsTheFontTypeMarks) {
  auto* fonts = new TkxBarFontNameCombo(F);
  fonts->SetCategory(0);
  static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(fonts);
  ToolsBar->SetVisible(false);
  ToolsBar->SetVisible(true);
  Pump();
  TkxBarDropDownListBox* list = DropDown(fonts);
  ASSERT_NE(list, nullptr);
  TBitmap* trueType = kxBarFontTypeMark(true);
  TBitmap* other = kxBarFontTypeMark(false);
  // the mark's own pixels: a stroke of the TrueType mark and the transparent corner
  ASSERT_NE(trueType->Canvas()->Pixels(5, 2), clFuchsia);
  ASSERT_EQ(trueType->Canvas()->Pixels(0, 0), clFuchsia);
  int rows = std::min(list->Items()->Count(), fonts->DropDownCount());
  int checked = 0;
  for (int i = list->TopIndex(); i < list->TopIndex() + rows; ++i) {
    TRect r = RowOnScreen(list, i);
    bool isTrueType = fonts->Items()->Objects(i) != nullptr;
    TBitmap* mark = isTrueType ? trueType : other;
    int top = r.top + (r.Height() - mark->Height()) / 2;
    std::uint32_t bk = At(r.right - 2, r.top + 1);
    // the stroke of the mark where the mark has one, the row's background elsewhere
    TColor stroke = mark->Canvas()->Pixels(5, 2);
    EXPECT_EQ(At(r.left + 5, top + 2), stroke == clFuchsia ? bk : ListPixel(stroke)) << i;
    EXPECT_EQ(At(r.left, top), bk) << i;
    // the name starts 2 pixels after the mark
    for (int y = r.top; y < r.bottom; ++y) EXPECT_EQ(At(r.left + mark->Width() + 1, y), bk) << i;
    ++checked;
  }
  EXPECT_GT(checked, 3);
}

TEST_F(BarsComboListTest, APlainListShowsItsSelectionAndTakesTheCombosEvents) {
  TkxBarCombo* combo = F->SizeCombo;
  TComboListLog log;
  combo->OnMeasureItem = TkxBarMeasureItemEvent(&log, &TComboListLog::Measure);
  TkxBarDropDownListBox* list = DropDown(combo);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Style(), lbOwnerDrawVariable);
  // each string is as high as the combo measures it
  int plain = 0;
  combo->MeasureItem(0, plain);
  EXPECT_EQ(list->ItemRect(0).Height(), plain);
  EXPECT_EQ(list->ItemRect(2).Height(), 30);
  // the chosen string is selected, on the selection colours
  ASSERT_EQ(list->ItemIndex(), 1);
  TRect sel = RowOnScreen(list, 1), other = RowOnScreen(list, 0);
  EXPECT_EQ(At(sel.right - 2, sel.top + 2), ListPixel(clHighlight));
  EXPECT_NE(At(other.right - 2, other.top + 2), ListPixel(clHighlight));
  bool highlightText = false;
  for (int y = sel.top; y < sel.bottom; ++y)
    for (int x = sel.left; x < sel.left + 30; ++x) highlightText = highlightText || At(x, y) == ListPixel(clHighlightText);
  EXPECT_TRUE(highlightText);
  // the combo's drawing event is asked for the list's strings with their state
  combo->OnDrawItem = TkxBarDrawItemEvent(&log, &TComboListLog::Draw);
  list->Invalidate();
  list->Update();
  Pump();
  bool selectedSeen = false, plainSeen = false;
  for (auto& d : log.Drawn) {
    if (d.first == 1) selectedSeen = selectedSeen || (d.second & ODS_SELECTED);
    if (d.first == 0) plainSeen = plainSeen || !(d.second & ODS_SELECTED);
  }
  EXPECT_TRUE(selectedSeen);
  EXPECT_TRUE(plainSeen);
}
