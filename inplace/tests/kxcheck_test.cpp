// The check editor: the toggle cycle, space and mouse, read-only editors,
// glyph strips, loading a value without a click, the null look and the
// default style of check cells.
#include "inplace/tests/kxtest.h"

#include "inplace/kxcheck.h"
#include "inplace/kxresources.h"

namespace {

class ClickCount : public TObject {
 public:
  int Clicks = 0;
  void Click(TObject*) { ++Clicks; }
};

class KxCheckEditTest : public InplaceTest {
 protected:
  TkxInplaceCheckEdit* E = nullptr;
  ClickCount Count;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceCheckEdit>();
    E->OnClick = TNotifyEvent(&Count, &ClickCount::Click);
  }
  // A check cell (18 high) drawn by the class with the given state and look.
  TRawImage Cell(int State, TkxShowNullFieldStyle Look, TkxEditButtonViewStyle Style, bool Pushed = false,
                 TBitmap* Glyph = nullptr, int GlyphCount = 6) {
    std::unique_ptr<TkxCheckEditViewData> vd(static_cast<TkxCheckEditViewData*>(E->CreateViewData(false)));
    vd->Value = Variant(State);
    vd->NullLook = Look;
    vd->ButtonStyle = Style;
    vd->Pushed = Pushed;
    vd->Glyph = Glyph;
    vd->GlyphCount = GlyphCount;
    vd->Alignment = taCenter;
    vd->Focused = false;
    return ClassShot(E, vd.get());
  }
};

TEST_F(KxCheckEditTest, ToggleCycles) {
  Activate(E, kxRect(20, 30, 120, 48), Variant(2));
  struct Case {
    bool AllowGrayed;
    int Start;
    std::vector<int> Then;
  } cases[] = {{false, 2, {1, 0, 1, 0}}, {true, 0, {2, 1, 0, 2}}};
  for (const Case& c : cases) {
    E->AllowGrayed = c.AllowGrayed;
    E->SetEditValue(Variant(c.Start));
    std::vector<int> seen;
    for (size_t i = 0; i < c.Then.size(); ++i) {
      E->Toggle();
      seen.push_back(int(E->State()));
    }
    EXPECT_EQ(c.Then, seen) << c.AllowGrayed;
  }
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(2, int(E->EditValue().AsInteger()));
}

TEST_F(KxCheckEditTest, SpaceAndMouse) {
  Activate(E, kxRect(20, 30, 120, 48), Variant(0));
  Count.Clicks = 0;
  Press(VK_SPACE);
  EXPECT_EQ(cbsChecked, E->State());
  EXPECT_EQ(1, Count.Clicks);
  // Pressed on the box, moved off it, released: nothing.
  TPoint p = At(E, 10, 5);
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_TRUE(E->Pushed());
  hb->MouseMove(p.x + 300, p.y);
  Pump();
  EXPECT_FALSE(E->Pushed());
  hb->MouseUp(p.x + 300, p.y);
  Pump();
  EXPECT_EQ(cbsChecked, E->State());
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(cbsUnchecked, E->State());
  // A click that activates the cell toggles it.
  E->ClickActivate();
  EXPECT_EQ(cbsChecked, E->State());
}

TEST_F(KxCheckEditTest, ReadOnlyShowsPushedButKeepsTheState) {
  Activate(E, kxRect(20, 30, 120, 48), Variant(0));
  E->SetReadOnly(true);
  hb->KeyDown(VK_SPACE);
  Pump();
  EXPECT_TRUE(E->Pushed());
  hb->KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(cbsUnchecked, E->State());
  TPoint p = At(E, 10, 5);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(cbsUnchecked, E->State());
}

TEST_F(KxCheckEditTest, LoadingAValueFiresNoClick) {
  E->SetModified(false);
  Count.Clicks = 0;
  E->SetEditValue(Variant(1));
  E->SetEditValue(Variant(2));
  E->SetEditValue(Variant("nonsense"));
  EXPECT_EQ(0, Count.Clicks);
  EXPECT_FALSE(E->Modified());
  EXPECT_EQ(cbsUnchecked, E->State());
}

TEST_F(KxCheckEditTest, LooksOfTheBox) {
  Activate(E, kxRect(20, 30, 120, 48), Variant(0));
  // A grayed value with nsUnchecked looks like an unchecked box.
  EXPECT_EQ(0, PixelDiffs(Cell(0, nsGrayedChecked, bts3D), Cell(2, nsUnchecked, bts3D)));
  EXPECT_NE(0, PixelDiffs(Cell(0, nsGrayedChecked, bts3D), Cell(2, nsGrayedChecked, bts3D)));
  // A strip of three cells draws pushed boxes with the unpushed cells.
  TBitmap strip;
  strip.SetSize(30, 10);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    strip.Canvas()->Brush()->SetColor(colours[i]);
    strip.Canvas()->FillRect(kxRect(i * 10, 0, i * 10 + 10, 10));
  }
  EXPECT_EQ(0, PixelDiffs(Cell(1, nsGrayedChecked, bts3D, true, &strip, 3),
                          Cell(1, nsGrayedChecked, bts3D, false, &strip, 3)));
  int gw = 0, gh = 0;
  EXPECT_TRUE(TkxInplaceCheckEdit::GetGlyphSize(&strip, 3, gw, gh));
  EXPECT_EQ(10, gw);
  EXPECT_FALSE(TkxInplaceCheckEdit::GetGlyphSize(nullptr, 3, gw, gh));
  EXPECT_EQ(kxDefaultCheckWidth, gw);
  // A sheet: the three states in the four looks and a pushed box, on small cells.
  E->ShowInRect(kxRect(20, 30, 40, 48));
  TRawImage sheet;
  for (auto style : {bts3D, btsFlat, btsSimple, btsHotFlat}) {
    TRawImage row = Cell(0, nsGrayedChecked, style);
    for (int s = 1; s < 3; ++s) row = SideBySide(row, Cell(s, nsGrayedChecked, style));
    row = SideBySide(row, Cell(1, nsGrayedChecked, style, true));
    sheet = sheet.Width ? SideBySide(sheet, row) : row;
  }
  EXPECT_TRUE(MatchesReference(sheet, "inplace/tests/ref", "check_cells"));
}

TEST_F(KxCheckEditTest, DefaultStyleHasNoBorder) {
  EXPECT_EQ(xbsNone, E->Style()->BorderStyle());
  EXPECT_EQ(bts3D, E->Style()->ButtonStyle());
  kxDefaultCheckStyleController()->SetBorderStyle(xbsSingle);
  EXPECT_EQ(xbsSingle, E->Style()->BorderStyle());
  kxDefaultCheckStyleController()->RestoreDefaults();
  EXPECT_EQ(xbsNone, E->Style()->BorderStyle());
  // A caption beside the box: the live editor paints as the class does.
  E->SetCaption("Caption");
  E->SetAlignment(taLeftJustify);
  Activate(E, kxRect(20, 30, 140, 48), Variant(1));
  Host->SetFocus();
  Pump();
  EXPECT_EQ(0, PixelDiffs(Shot(E), ClassShot(E)));
}

}  // namespace
