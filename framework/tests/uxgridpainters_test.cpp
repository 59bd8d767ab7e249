// The painter operations of the grid: the sizes and answers every painter kind
// gives, the default colours, text that ends in an ellipsis, and a sheet of the
// grid's elements per look compared with references.
#include "framework/uxpainters.h"

#include "framework/uxoffice11.h"
#include "framework/tests/uxtestresources.h"
#include "platform/backend/headless/headless.h"
#include "platform/gdi/tests/refimage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace gridpainters_test {

struct GridPainterFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    RegisterSourceBitmaps();
    uxInitLookAndFeel();
  }
  void TearDown() override { uxDoneLookAndFeel(); }
};

struct BasePainter : TuxCustomLookAndFeelPainter {};
const BasePainter Base;

std::unique_ptr<TBitmap> MakeSheet(int W, int H, TColor Color = clWhite) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(uxRect(0, 0, W, H));
  return B;
}

bool SameSize(const TSize& A, int CX, int CY) { return A.cx == CX && A.cy == CY; }

TEST_F(GridPainterFixture, SizesAndAnswersOfEachKind) {
  struct Case {
    const char* Name;
    TuxLookAndFeelPainterClass P;
    int HeaderHeight13, HeaderBorder, SortMarkH;
    TuxBorders FooterBorders;
    int FooterBorder, CellOffset;
    bool CellsFirst, HotHeaders, FooterCellsFirst;
    int CloseH;
    bool TracksHot;
    int PressedOffset, ButtonBorder, TextIndent, TabBorder;
  } Cases[] = {
      {"base", &Base, 17, 0, 0, uxAllBorders, 0, 0, true, false, true, 14, false, 0, 0, 0, 0},
      {"standard", TuxStandardLookAndFeelPainter::Instance(), 19, 1, 7, uxAllBorders, 1, 1, true, false, true, 14,
       false, 1, 2, 1, 1},
      {"flat", TuxFlatLookAndFeelPainter::Instance(), 19, 1, 7, uxAllBorders, 1, 1, true, false, true, 14, false, 1,
       1, 1, 1},
      {"ultraflat", TuxUltraFlatLookAndFeelPainter::Instance(), 19, 1, 8, uxbRight | uxbBottom, 1, 1, true, false,
       true, 15, true, 0, 1, 2, 1},
      {"office11", TuxOffice11LookAndFeelPainter::Instance(), 19, 1, 8, uxbRight | uxbBottom, 1, 1, true, true, true,
       15, true, 0, 1, 2, 1},
      {"native", TuxWinXPLookAndFeelPainter::Instance(), 19, 1, 8, uxAllBorders, 1, 1, false, true, false, 14, true,
       0, 2, 2, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TuxCustomLookAndFeelPainter* P = C.P;
    EXPECT_EQ(P->CalcHeaderHeight(13), C.HeaderHeight13);
    EXPECT_EQ(P->HeaderBorderSize(), C.HeaderBorder);
    EXPECT_TRUE(SameSize(P->GetSortMarkAreaSize(), 16, C.SortMarkH));
    EXPECT_EQ(P->GetFooterBorderSet(), C.FooterBorders);
    EXPECT_EQ(P->FooterBorderSize(), C.FooterBorder);
    EXPECT_EQ(P->FooterCellOffset(), C.CellOffset);
    EXPECT_EQ(P->FooterSeparatorSize(), 1);
    EXPECT_EQ(P->HeaderDrawCellsFirst(), C.CellsFirst);
    EXPECT_EQ(P->IsHeaderHotTrack(), C.HotHeaders);
    EXPECT_EQ(P->FooterDrawCellsFirst(), C.FooterCellsFirst);
    EXPECT_TRUE(P->IndicatorDrawItemsFirst());
    EXPECT_TRUE(SameSize(P->SizeOfFilterCheck(), 13, 13));
    EXPECT_TRUE(SameSize(P->SizeOfFilterClose(), 16, C.CloseH));
    EXPECT_TRUE(SameSize(P->SizeOfFilterDropDown(), 15, 0));
    EXPECT_EQ(P->TracksHotButtons(), C.TracksHot);
    EXPECT_EQ(P->PressedButtonTextOffset(), C.PressedOffset);
    EXPECT_EQ(P->GetButtonBorderExtent(), C.ButtonBorder);
    EXPECT_EQ(P->GetPushButtonTextIndent(), C.TextIndent);
    EXPECT_EQ(P->TabBorderSize(false), C.TabBorder);
    EXPECT_EQ(P->TabBorderSize(true), C.TabBorder);
    // Without visual styles no painter draws tabs itself.
    EXPECT_FALSE(P->IsDrawTabImplemented(false));
    EXPECT_FALSE(P->IsTabHotTrack(true));
    EXPECT_TRUE(P->PopupBorderStyle());
    EXPECT_FALSE(P->NavigatorBorderFollowsSelection());
  }
}

TEST_F(GridPainterFixture, HeaderBordersShareLinesWithNeighbours) {
  struct Case {
    TuxLookAndFeelPainterClass P;
    TuxBorders Neighbours, Expected;
  } Cases[] = {
      {&Base, uxbLeft | uxbTop, uxAllBorders},
      {TuxStandardLookAndFeelPainter::Instance(), uxbLeft, uxAllBorders},
      {TuxUltraFlatLookAndFeelPainter::Instance(), uxbLeft, uxbTop | uxbRight | uxbBottom},
      {TuxUltraFlatLookAndFeelPainter::Instance(), uxbTop | uxbBottom, uxbLeft | uxbRight | uxbBottom},
      {TuxUltraFlatLookAndFeelPainter::Instance(), uxbRight, uxAllBorders},
      {TuxOffice11LookAndFeelPainter::Instance(), uxbLeft | uxbTop, uxAllBorders},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(C.P->GetHeaderBorderSet(C.Neighbours), C.Expected) << C.P->GetPainterStyle() << " " << C.Neighbours;
}

TEST_F(GridPainterFixture, GroupButtonMetrics) {
  struct Case {
    TuxLookAndFeelPainterClass P;
    int Index;
    TRect Offsets;  // left, top, right, bottom widths
  } Cases[] = {
      {TuxStandardLookAndFeelPainter::Instance(), 0, uxRect(2, 2, 2, 2)},
      {TuxFlatLookAndFeelPainter::Instance(), 1, uxRect(1, 1, 1, 1)},
      {TuxUltraFlatLookAndFeelPainter::Instance(), 0, uxRect(2, 2, 1, 2)},
      {TuxUltraFlatLookAndFeelPainter::Instance(), 1, uxRect(1, 2, 1, 2)},
      {TuxUltraFlatLookAndFeelPainter::Instance(), 2, uxRect(1, 2, 2, 2)},
      {TuxOffice11LookAndFeelPainter::Instance(), 2, uxRect(1, 2, 2, 2)},
  };
  const TRect R = uxRect(10, 20, 50, 40);
  for (const Case& C : Cases) {
    SCOPED_TRACE(::testing::Message() << C.P->GetPainterStyle() << " button " << C.Index);
    const TRect O = C.P->GetGroupButtonContentOffsets(3, C.Index);
    EXPECT_EQ(O.left, C.Offsets.left);
    EXPECT_EQ(O.top, C.Offsets.top);
    EXPECT_EQ(O.right, C.Offsets.right);
    EXPECT_EQ(O.bottom, C.Offsets.bottom);
    const TRect D = C.P->GetGroupButtonDisplayRect(R, 3, C.Index);
    EXPECT_TRUE(D.left == R.left && D.top == R.top && D.right == R.right && D.bottom == R.bottom);
  }
}

TEST_F(GridPainterFixture, DefaultColours) {
  using Getter = TColor (TuxCustomLookAndFeelPainter::*)() const;
  struct Case {
    const char* Name;
    Getter Get;
    TColor BaseValue;
  } Cases[] = {
      {"Content", &TuxCustomLookAndFeelPainter::DefaultContentColor, clWindow},
      {"ContentText", &TuxCustomLookAndFeelPainter::DefaultContentTextColor, clWindowText},
      {"FilterBox", &TuxCustomLookAndFeelPainter::DefaultFilterBoxColor, clBtnShadow},
      {"FilterBoxText", &TuxCustomLookAndFeelPainter::DefaultFilterBoxTextColor, clBtnHighlight},
      {"DetailFrame", &TuxCustomLookAndFeelPainter::DefaultDetailFrameColor, clBtnText},
      {"Footer", &TuxCustomLookAndFeelPainter::DefaultFooterColor, clBtnFace},
      {"FooterText", &TuxCustomLookAndFeelPainter::DefaultFooterTextColor, clBtnText},
      {"GridLine", &TuxCustomLookAndFeelPainter::DefaultGridLineColor, clBtnShadow},
      {"Group", &TuxCustomLookAndFeelPainter::DefaultGroupColor, clBtnFace},
      {"GroupText", &TuxCustomLookAndFeelPainter::DefaultGroupTextColor, clBtnText},
      {"GroupByBox", &TuxCustomLookAndFeelPainter::DefaultGroupByBoxColor, clBtnShadow},
      {"GroupByBoxText", &TuxCustomLookAndFeelPainter::DefaultGroupByBoxTextColor, clBtnFace},
      {"Header", &TuxCustomLookAndFeelPainter::DefaultHeaderColor, clBtnFace},
      {"HeaderText", &TuxCustomLookAndFeelPainter::DefaultHeaderTextColor, clBtnText},
      {"Inactive", &TuxCustomLookAndFeelPainter::DefaultInactiveColor, clBtnFace},
      {"InactiveText", &TuxCustomLookAndFeelPainter::DefaultInactiveTextColor, clBtnText},
      {"PreviewText", &TuxCustomLookAndFeelPainter::DefaultPreviewTextColor, clBlue},
      {"RowSeparator", &TuxCustomLookAndFeelPainter::DefaultRowSeparatorColor, clBtnShadow},
      {"CalendarHeader", &TuxCustomLookAndFeelPainter::DefaultCalendarHeaderColor, clBtnFace},
      {"CalendarSelection", &TuxCustomLookAndFeelPainter::DefaultCalendarSelectionColor, clHighlight},
      {"CalendarSelectionText", &TuxCustomLookAndFeelPainter::DefaultCalendarSelectionTextColor, clHighlightText},
      {"Selection", &TuxCustomLookAndFeelPainter::DefaultSelectionColor, clHighlight},
      {"SelectionText", &TuxCustomLookAndFeelPainter::DefaultSelectionTextColor, clHighlightText},
      {"Tab", &TuxCustomLookAndFeelPainter::DefaultTabColor, clBtnFace},
      {"TabText", &TuxCustomLookAndFeelPainter::DefaultTabTextColor, clBtnText},
      {"TabsBackground", &TuxCustomLookAndFeelPainter::DefaultTabsBackgroundColor, clBtnFace},
  };
  // The classic kinds keep the base colours of the grid.
  for (TuxLookAndFeelPainterClass P : {static_cast<TuxLookAndFeelPainterClass>(&Base),
                                       TuxStandardLookAndFeelPainter::Instance(),
                                       TuxFlatLookAndFeelPainter::Instance(),
                                       TuxUltraFlatLookAndFeelPainter::Instance()})
    for (const Case& C : Cases) EXPECT_EQ((P->*C.Get)(), C.BaseValue) << C.Name << " of kind " << P->GetPainterStyle();
  // Office 2003 takes its colours from its table; the row separator stays the grid line.
  const TuxOffice11LookAndFeelPainter* O = static_cast<const TuxOffice11LookAndFeelPainter*>(
      TuxOffice11LookAndFeelPainter::Instance());
  EXPECT_EQ(O->DefaultHeaderColor(), O->GetHeaderBackgroundColor());
  EXPECT_EQ(O->DefaultCalendarHeaderColor(), Office11DockColor1);
  EXPECT_EQ(O->DefaultFooterColor(), Office11DockColor1);
  EXPECT_EQ(O->DefaultFooterTextColor(), O->DefaultHeaderTextColor());
  EXPECT_EQ(O->DefaultGroupByBoxTextColor(), Office11BarColor1);
  EXPECT_EQ(O->DefaultRowSeparatorColor(), O->DefaultGridLineColor());
  EXPECT_EQ(O->DefaultTabsBackgroundColor(), O->DefaultTabColor());
}

// Header text measured and cut in code page 936: a double-byte character is
// measured whole and an ellipsis never cuts one in two.
TEST_F(GridPainterFixture, HeaderTextInCodePage936) {
  TFont Font;
  Font.SetName(PV_FIXED_FONT_NAME);
  const TuxLookAndFeelPainterClass P = TuxStandardLookAndFeelPainter::Instance();
  struct WidthCase {
    const char* Text;
    int Width;
  } Widths[] = {{"Ab", 18}, {"\xD6\xD0\xCE\xC4", 32}, {"a\xD6\xD0" "b", 32}, {"", 4}};
  auto Sheet = MakeSheet(8, 8);
  TuxCanvas C(Sheet->Canvas());
  for (const WidthCase& W : Widths) EXPECT_EQ(P->CalcHeaderWidth(&C, uxAllBorders, &Font, W.Text), W.Width) << W.Text;

  // Each text drawn with an end ellipsis into a text area of Width pixels
  // must look exactly like the expected shortened text drawn plainly.
  struct CutCase {
    const char* Text;
    int Width;
    const char* Shown;
  } Cuts[] = {
      {"\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4", 40, "\xD6\xD0..."},
      {"\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4", 49, "\xD6\xD0\xCE\xC4..."},
      {"a\xD6\xD0\xCE\xC4" "b", 35, "a..."},   // "a" and half of the next character would fit
      {"ab\xD6\xD0\xCE\xC4", 41, "ab..."},
      {"ab\xD6\xD0\xCE\xC4", 42, "ab\xD6\xD0\xCE\xC4"},  // exactly fits
      {"\xD6\xD0\xCE\xC4", 28, "\xD6\xD0\xCE\xC4"},  // fits: no ellipsis
  };
  for (const CutCase& K : Cuts) {
    SCOPED_TRACE(::testing::Message() << "cut to " << K.Width);
    auto Cut = MakeSheet(80, 20), Plain = MakeSheet(80, 20);
    TuxCanvas CC(Cut->Canvas()), PC(Plain->Canvas());
    const TRect Bounds = uxRect(0, 0, K.Width + 8, 20), Text = uxRect(4, 2, 4 + K.Width, 18);
    P->DrawColumnHeader(&CC, Bounds, Text, 0, uxAllBorders, uxbsNormal, taLeftJustify, vaCenter, false, true, K.Text,
                        &Font, clBtnText, clBtnFace);
    P->DrawColumnHeader(&PC, Bounds, Text, 0, uxAllBorders, uxbsNormal, taLeftJustify, vaCenter, false, false, K.Shown,
                        &Font, clBtnText, clBtnFace);
    const TRawImage A = Cut->ToRawImage(), B = Plain->ToRawImage();
    int Diffs = 0;
    for (int y = 0; y < A.Height; ++y)
      for (int x = 0; x < A.Width; ++x) Diffs += (A.At(x, y) & 0xFFFFFF) != (B.At(x, y) & 0xFFFFFF);
    EXPECT_EQ(Diffs, 0);
  }
}

// A background bitmap replaces the painter's fill of a header, a footer cell
// and an indicator item; the borders stay the painter's.
TEST_F(GridPainterFixture, BackgroundBitmapTilesTheContent) {
  TBitmap Tile;
  Tile.SetSize(2, 2);
  Tile.Canvas()->Brush()->SetColor(clRed);
  Tile.Canvas()->FillRect(uxRect(0, 0, 2, 2));
  const TuxLookAndFeelPainterClass P = TuxStandardLookAndFeelPainter::Instance();
  auto Sheet = MakeSheet(120, 30);
  TuxCanvas C(Sheet->Canvas());
  P->DrawColumnHeader(&C, uxRect(0, 0, 40, 20), uxRect(3, 2, 37, 18), 0, uxAllBorders, uxbsNormal, taLeftJustify,
                      vaCenter, false, false, "", nullptr, clBtnText, clBtnFace, &Tile);
  P->DrawFooterCell(&C, uxRect(40, 0, 80, 20), &Tile, clBtnText, clBtnFace, nullptr, "", false, vaCenter,
                    taLeftJustify);
  P->DrawIndicatorItem(&C, uxRect(80, 0, 92, 20), &Tile, clBtnFace, ikNone);
  P->DrawIndicatorItem(&C, uxRect(92, 0, 104, 20), nullptr, clBtnFace, ikNone);
  const TRawImage I = Sheet->ToRawImage();
  auto Rgb = [&](int X, int Y) { return I.At(X, Y) & 0xFFFFFF; };
  const std::uint32_t Red = Rgb(5, 10), Face = Rgb(97, 10);
  EXPECT_NE(Red, Face);
  EXPECT_EQ(Rgb(20, 10), Red);   // header content
  EXPECT_EQ(Rgb(60, 10), Red);   // footer cell content
  EXPECT_EQ(Rgb(86, 10), Red);   // indicator item content
  EXPECT_NE(Rgb(0, 10), Red);    // the header's left border
  EXPECT_NE(Rgb(40, 10), Red);   // the footer cell's left border
  EXPECT_EQ(Rgb(98, 10), Face);  // no bitmap: the painter's fill
}

// ---- the sheet of the grid's elements ----

void PaintGridSheet(TuxLookAndFeelPainterClass P, TuxCanvas* C) {
  TFont Font;
  Font.SetName(PV_FIXED_FONT_NAME);
  C->SetFont(&Font);
  const int HeaderH = P->CalcHeaderHeight(C->FontHeight(&Font));
  const TSize Sort = P->GetSortMarkAreaSize();

  // Column headers in a row, each with a sort mark: normal, hot and pressed,
  // ascending in the first row and descending in the second; a header of
  // double-byte text cut by an ellipsis ends the second row.
  const TuxButtonState States[] = {uxbsNormal, uxbsHot, uxbsPressed};
  for (int Row = 0; Row < 2; ++Row) {
    const int Y = 4 + Row * (HeaderH + 4);
    for (int i = 0; i < 3; ++i) {
      const TRect B = uxRect(4 + i * 60, Y, 64 + i * 60, Y + HeaderH);
      TuxBorders Neighbours = 0;
      if (i > 0) Neighbours |= uxbLeft;
      if (i < 2) Neighbours |= uxbRight;
      const TuxBorders Borders = P->GetHeaderBorderSet(Neighbours);
      const TRect Content = P->GetHeaderContentBounds(B, Borders);
      const TRect Text = uxRect(Content.left + 2, Content.top, Content.right - 2 - Sort.cx, Content.bottom);
      P->DrawColumnHeader(C, B, Text, Neighbours, Borders, States[i], taLeftJustify, vaCenter, false, true, "Ab",
                          &Font, P->DefaultHeaderTextColor(), P->DefaultHeaderColor());
      P->DrawSortMark(C, uxRect(Content.right - Sort.cx, Content.top, Content.right, Content.bottom), Row == 0);
      if (States[i] == uxbsPressed) P->DrawColumnHeaderPressed(C, B);
    }
  }
  {
    const int Y = 8 + HeaderH;
    const TRect B = uxRect(192, Y, 236, Y + HeaderH);
    const TRect Content = P->GetHeaderContentBounds(B, uxAllBorders);
    P->DrawColumnHeader(C, B, uxRect(Content.left + 2, Content.top, Content.right - 2, Content.bottom), 0,
                        uxAllBorders, uxbsNormal, taLeftJustify, vaCenter, false, true, "\xD6\xD0\xCE\xC4\xB1\xEA",
                        &Font, P->DefaultHeaderTextColor(), P->DefaultHeaderColor());
  }

  // The footer: its separator, its border and two cells in it, laid out as the
  // grid does (cell height = text height + twice the cell offset).
  {
    const int Y = 12 + 2 * HeaderH;
    const TRect Area = uxRect(4, Y, 184, Y + 30);
    C->FillRect(Area, P->DefaultFooterColor());
    P->DrawFooterSeparator(C, uxRect(Area.left, Area.top, Area.right, Area.top + P->FooterSeparatorSize()));
    const TRect Body = uxRect(Area.left, Area.top + P->FooterSeparatorSize(), Area.right, Area.bottom);
    P->DrawFooterBorder(C, Body);
    const TuxBorders Set = P->GetFooterBorderSet();
    const int BW = P->FooterBorderSize();
    const TRect In = uxRect(Body.left + ((Set & uxbLeft) ? BW : 0), Body.top + ((Set & uxbTop) ? BW : 0),
                            Body.right - ((Set & uxbRight) ? BW : 0), Body.bottom - ((Set & uxbBottom) ? BW : 0));
    const int CellH = C->FontHeight(&Font) + 2 * P->FooterCellOffset() + 4;
    P->DrawFooterCell(C, uxRect(In.left + 2, In.top + 2, In.left + 88, In.top + 2 + CellH), nullptr,
                      P->DefaultFooterTextColor(), P->DefaultFooterColor(), &Font, "\xBA\xCF 12", false, vaCenter,
                      taLeftJustify);
    P->DrawFooterCell(C, uxRect(In.left + 92, In.top + 2, In.right - 2, In.top + 2 + CellH), nullptr,
                      P->DefaultFooterTextColor(), P->DefaultFooterColor(), &Font, "3.5", false, vaCenter,
                      taRightJustify);
  }

  // The indicator column: its header item, then one item of each kind
  // (none, focused, editing, inserting, selected, focused and selected).
  {
    const int X = 240, W = 12, H = 18;
    P->DrawIndicatorItem(C, uxRect(X, 4, X + W, 4 + HeaderH), nullptr, P->DefaultHeaderColor(), ikNone);
    for (int k = ikNone; k <= ikMultiArrow; ++k) {
      const int Y = 4 + HeaderH + k * H;
      P->DrawIndicatorItem(C, uxRect(X, Y, X + W, Y + H), nullptr, P->DefaultHeaderColor(), TuxIndicatorKind(k));
    }
  }

  // Filter buttons: activate (unchecked, checked, hot checked), close in each
  // state, drop-down normal, active, hot and pressed.
  {
    const int Y = 50 + 2 * HeaderH;
    const TSize Check = P->SizeOfFilterCheck(), Close = P->SizeOfFilterClose(), Drop = P->SizeOfFilterDropDown();
    P->DrawFilterActivateButton(C, uxRect(4, Y, 4 + Check.cx, Y + Check.cy), uxbsNormal, false);
    P->DrawFilterActivateButton(C, uxRect(22, Y, 22 + Check.cx, Y + Check.cy), uxbsNormal, true);
    P->DrawFilterActivateButton(C, uxRect(40, Y, 40 + Check.cx, Y + Check.cy), uxbsHot, true);
    const TuxButtonState CloseStates[] = {uxbsNormal, uxbsHot, uxbsPressed};
    for (int i = 0; i < 3; ++i)
      P->DrawFilterCloseButton(C, uxRect(60 + i * 20, Y, 60 + i * 20 + Close.cx, Y + Close.cy), CloseStates[i]);
    const int DropH = Drop.cy ? Drop.cy : HeaderH;  // height 0: the full height
    const struct {
      TuxButtonState State;
      bool Active;
    } Drops[] = {{uxbsNormal, false}, {uxbsNormal, true}, {uxbsHot, false}, {uxbsPressed, false}};
    for (int i = 0; i < 4; ++i)
      P->DrawFilterDropDownButton(C, uxRect(124 + i * 20, Y, 124 + i * 20 + Drop.cx, Y + DropH), Drops[i].State,
                                  Drops[i].Active);
  }

  // Tabs: a row of two horizontal tabs on their root, and a vertical tab on a
  // vertical root; the tab bodies are the tab control's (no classic painter
  // draws them), the borders and roots the painter's.
  {
    const int Y = 76 + 2 * HeaderH;
    C->FillRect(uxRect(4, Y, 184, Y + 40), P->DefaultTabsBackgroundColor());
    for (int i = 0; i < 2; ++i) {
      const TRect T = uxRect(8 + i * 48, Y + 2, 52 + i * 48, Y + 20);
      C->FillRect(T, P->DefaultTabColor());
      P->DrawTab(C, T, i == 0, P->DefaultTabColor(), P->DefaultTabTextColor(), &Font, false,
                 i == 0 ? uxbsPressed : uxbsNormal, "Ab", uxbLeft | uxbTop | uxbRight);
      const int TB = P->TabBorderSize(false);
      P->DrawTabBorder(C, uxRect(T.left, T.top, T.left + TB, T.bottom), bLeft, uxbLeft | uxbTop | uxbRight, false);
      P->DrawTabBorder(C, uxRect(T.left, T.top, T.right, T.top + TB), bTop, uxbLeft | uxbTop | uxbRight, false);
      P->DrawTabBorder(C, uxRect(T.right - TB, T.top, T.right, T.bottom), bRight, uxbLeft | uxbTop | uxbRight, false);
    }
    P->DrawTabsRoot(C, uxRect(4, Y + 20, 120, Y + 40), uxAllBorders, false);
    const TRect V = uxRect(130, Y + 4, 146, Y + 36);
    C->FillRect(V, P->DefaultTabColor());
    const int TB = P->TabBorderSize(true);
    P->DrawTabBorder(C, uxRect(V.left, V.top, V.left + TB, V.bottom), bLeft, uxbLeft | uxbTop | uxbBottom, true);
    P->DrawTabBorder(C, uxRect(V.left, V.top, V.right, V.top + TB), bTop, uxbLeft | uxbTop | uxbBottom, true);
    P->DrawTabBorder(C, uxRect(V.left, V.bottom - TB, V.right, V.bottom), bBottom, uxbLeft | uxbTop | uxbBottom, true);
    P->DrawTabsRoot(C, uxRect(146, Y, 180, Y + 40), uxAllBorders, true);
  }

  // Push buttons in each state, radio buttons unchecked and checked in each
  // state, and a row of three joined group buttons.
  {
    const int Y = 122 + 2 * HeaderH;
    const TuxButtonState All[] = {uxbsDefault, uxbsNormal, uxbsHot, uxbsPressed, uxbsDisabled};
    for (int i = 0; i < 5; ++i) {
      P->DrawPushButton(C, uxRect(4 + i * 46, Y, 46 + i * 46, Y + 22), clDefault, clDefault, true, All[i],
                        "\xC8\xB7\xB6\xA8");
      if (All[i] == uxbsDefault) continue;
      P->DrawRadioButton(C, 4 + i * 46, Y + 26, All[i], false, false, clDefault, false);
      P->DrawRadioButton(C, 22 + i * 46, Y + 26, All[i], true, false, clDefault, false);
    }
    const TuxButtonState Group[] = {uxbsNormal, uxbsHot, uxbsPressed};
    for (int i = 0; i < 3; ++i) {
      const TRect R = P->GetGroupButtonDisplayRect(uxRect(4 + i * 24, Y + 46, 28 + i * 24, Y + 64), 3, i);
      P->PaintGroupButton(C, R, Group[i], 3, i, P->DefaultGridLineColor());
    }
  }
}

const struct {
  const char* Name;
  TuxLookAndFeelPainterClass (*Painter)();
} SheetKinds[] = {{"standard", TuxStandardLookAndFeelPainter::Instance},
                  {"flat", TuxFlatLookAndFeelPainter::Instance},
                  {"ultraflat", TuxUltraFlatLookAndFeelPainter::Instance},
                  {"office11", TuxOffice11LookAndFeelPainter::Instance}};


TEST_F(GridPainterFixture, GridSheetsMatchReferences) {
  for (const auto& K : SheetKinds) {
    auto Sheet = MakeSheet(260, 250);
    TuxCanvas C(Sheet->Canvas());
    PaintGridSheet(K.Painter(), &C);
    EXPECT_TRUE(MatchesReference(Sheet->ToRawImage(), "framework/tests/ref", std::string("gridpainter_") + K.Name));
  }
}

}  // namespace gridpainters_test
