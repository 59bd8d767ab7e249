// Painters: the geometry rules, the answers that differ between the looks,
// and a rendered sheet of every element per look compared with references.
#include "framework/uxpainters.h"

#include "framework/uxoffice11.h"
#include "framework/tests/uxtestresources.h"
#include "platform/backend/headless/headless.h"
#include "platform/controls/imglist.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct PainterFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    RegisterSourceBitmaps();
    uxInitLookAndFeel();
  }
  void TearDown() override { uxDoneLookAndFeel(); }
};

std::unique_ptr<TBitmap> MakeSheet(int W, int H) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  B->Canvas()->Brush()->SetColor(clWhite);
  B->Canvas()->FillRect(uxRect(0, 0, W, H));
  return B;
}

// A pixel as a colour value, read from the bits (the DC's clip would hide it).
COLORREF Px(TBitmap* B, int X, int Y) {
  const std::uint32_t P = B->ScanLine(Y)[X];
  return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
}

TuxLookAndFeelPainterClass Painters[] = {
    TuxStandardLookAndFeelPainter::Instance(), TuxFlatLookAndFeelPainter::Instance(),
    TuxUltraFlatLookAndFeelPainter::Instance(), TuxOffice11LookAndFeelPainter::Instance()};
const char* PainterNames[] = {"standard", "flat", "ultraflat", "office11"};

TEST(ArrowPoints, MatchTheWorkedExamples) {
  struct Case {
    TuxArrowDir Dir;
    TPoint P[3];
  } Cases[] = {
      {adrDown, {{4, 6}, {10, 6}, {7, 9}}},
      {adrRight, {{6, 5}, {9, 8}, {6, 11}}},
  };
  for (const Case& C : Cases) {
    const TuxArrowPoints A = CalculateArrowPoints(uxRect(0, 0, 16, 16), false, C.Dir);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(A.P[i].x, C.P[i].x) << "direction " << C.Dir << " point " << i;
      EXPECT_EQ(A.P[i].y, C.P[i].y) << "direction " << C.Dir << " point " << i;
    }
  }
}

TEST_F(PainterFixture, HeaderHeightAndBounds) {
  struct Case {
    TuxLookAndFeelPainterClass P;
    int Expected;
  } Cases[] = {{TuxWinXPLookAndFeelPainter::Instance(), 19},
               {TuxStandardLookAndFeelPainter::Instance(), 19},
               {TuxUltraFlatLookAndFeelPainter::Instance(), 19}};
  for (const Case& C : Cases) EXPECT_EQ(C.P->GetHeaderHeight(13), C.Expected);
  struct BasePainter : TuxCustomLookAndFeelPainter {} Base;
  EXPECT_EQ(Base.GetHeaderHeight(13), 17);
  const TRect B = uxRect(10, 10, 50, 30);
  const TRect G = Base.GetHeaderBounds(B, 0, uxAllBorders);
  EXPECT_TRUE(G.left == B.left && G.top == B.top && G.right == B.right && G.bottom == B.bottom);
  // Ultra-flat headers share a line with the left neighbour.
  EXPECT_EQ(TuxUltraFlatLookAndFeelPainter::Instance()->GetHeaderBorders(uxbLeft), uxbTop | uxbRight | uxbBottom);
  EXPECT_EQ(TuxOffice11LookAndFeelPainter::Instance()->GetHeaderBorders(uxbLeft), uxAllBorders);
}

TEST_F(PainterFixture, SymbolColoursPerLook) {
  struct BasePainter : TuxCustomLookAndFeelPainter {} Base;
  EXPECT_EQ(Base.GetButtonSymbolColor(uxbsDisabled, 0x0000FF), clBtnShadow);
  EXPECT_EQ(Base.GetButtonSymbolColor(uxbsNormal, 0x0000FF), 0x0000FF);
  EXPECT_EQ(Base.GetButtonSymbolColor(uxbsNormal), clBtnText);
  EXPECT_EQ(TuxUltraFlatLookAndFeelPainter::Instance()->GetButtonSymbolColor(uxbsPressed), clHighlightText);
  // Classic colours (no Office 2003 scheme active): pressed is highlight text.
  EXPECT_EQ(TuxOffice11LookAndFeelPainter::Instance()->GetButtonSymbolColor(uxbsPressed, 0xFF), clHighlightText);
  EXPECT_EQ(TuxOffice11LookAndFeelPainter::Instance()->GetButtonSymbolColor(uxbsDisabled),
            Office11DisabledTextColor);
}

TEST_F(PainterFixture, ButtonBorderWidthsAndGroups) {
  EXPECT_EQ(TuxStandardLookAndFeelPainter::Instance()->GetButtonBorderWidth(uxbsDefault), 3);
  EXPECT_EQ(TuxStandardLookAndFeelPainter::Instance()->GetButtonBorderWidth(uxbsNormal), 2);
  EXPECT_EQ(TuxUltraFlatLookAndFeelPainter::Instance()->GetButtonBorderWidth(uxbsDefault), 2);
  struct Case {
    int Index;
    int L, T, R, B;
  } Cases[] = {{0, 2, 2, 1, 2}, {1, 1, 2, 1, 2}, {2, 1, 2, 2, 2}};
  for (const Case& C : Cases) {
    const TRect W = TuxUltraFlatLookAndFeelPainter::Instance()->GetButtonGroupBorderWidths(3, C.Index);
    EXPECT_EQ(W.left, C.L) << C.Index;
    EXPECT_EQ(W.top, C.T) << C.Index;
    EXPECT_EQ(W.right, C.R) << C.Index;
    EXPECT_EQ(W.bottom, C.B) << C.Index;
  }
}

TEST_F(PainterFixture, PressedAndDefaultButtonPixels) {
  auto Sheet = MakeSheet(40, 40);
  TuxCanvas C(Sheet->Canvas());
  const TRect R = uxRect(0, 0, 20, 20);
  // Standard pressed: black frame, then a btn-shadow ring.
  TuxStandardLookAndFeelPainter::Instance()->PaintButton(&C, R, "", uxbsPressed);
  EXPECT_EQ(Px(Sheet.get(), 0, 5), 0);
  EXPECT_EQ(Px(Sheet.get(), 1, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(Sheet.get(), 18, 5), ColorToRGB(clBtnShadow));
  // Ultra-flat pressed: highlight frame and the pressed colour inside.
  TuxUltraFlatLookAndFeelPainter::Instance()->PaintButton(&C, R, "", uxbsPressed);
  EXPECT_EQ(Px(Sheet.get(), 0, 5), ColorToRGB(clHighlight));
  EXPECT_EQ(Px(Sheet.get(), 5, 5), ColorToRGB(uxPressedColor()));
  // Ultra-flat default: two nested window-frame rings.
  TuxUltraFlatLookAndFeelPainter::Instance()->PaintButton(&C, R, "", uxbsDefault);
  EXPECT_EQ(Px(Sheet.get(), 1, 5), ColorToRGB(clWindowFrame));
  EXPECT_EQ(Px(Sheet.get(), 2, 5), ColorToRGB(clBtnFace));
}

TEST_F(PainterFixture, ScrollThumbStates) {
  auto Sheet = MakeSheet(20, 20);
  TuxCanvas C(Sheet->Canvas());
  TuxStandardLookAndFeelPainter::Instance()->PaintScrollBarPart(&C, false, uxRect(0, 0, 16, 16), shpThumb,
                                                                uxbsDisabled);
  EXPECT_EQ(Px(Sheet.get(), 8, 8), 0xFFFFFFu) << "a disabled thumb is not drawn";
  TuxStandardLookAndFeelPainter::Instance()->PaintScrollBarPart(&C, false, uxRect(0, 0, 16, 16), shpThumb, uxbsPressed);
  const TRawImage Pressed = Sheet->ToRawImage();
  TuxStandardLookAndFeelPainter::Instance()->PaintScrollBarPart(&C, false, uxRect(0, 0, 16, 16), shpThumb, uxbsNormal);
  const TRawImage Normal = Sheet->ToRawImage();
  EXPECT_EQ(Pressed.Pixels, Normal.Pixels) << "a pressed thumb looks like a normal one";
}

TEST_F(PainterFixture, ExpandButtonFaceAndOffice11Corners) {
  auto Sheet = MakeSheet(40, 20);
  TuxCanvas C(Sheet->Canvas());
  // Standard: a 12x12 button leaves a 9x9 face.
  TuxStandardLookAndFeelPainter::Instance()->PaintExpandButton(&C, uxRect(0, 0, 12, 12), true, clRed);
  EXPECT_EQ(Px(Sheet.get(), 1, 1), 0x0000FFu);
  EXPECT_EQ(Px(Sheet.get(), 9, 9), 0x0000FFu);
  EXPECT_NE(Px(Sheet.get(), 10, 10), 0x0000FFu);
  // Office 2003: corners blend with the canvas under each button.
  Sheet->Canvas()->Brush()->SetColor(clBlack);
  Sheet->Canvas()->FillRect(uxRect(20, 0, 40, 20));
  auto* P = TuxOffice11LookAndFeelPainter::Instance();
  P->PaintExpandButton(&C, uxRect(3, 3, 14, 14), false);
  P->PaintExpandButton(&C, uxRect(23, 3, 34, 14), false);
  EXPECT_NE(Px(Sheet.get(), 3, 3), Px(Sheet.get(), 23, 3));
}

// The group mark: two chevrons 7 wide, each 3 rows high and two strokes thick,
// with exactly 2 empty rows between them, apexes up when expanded.
TEST_F(PainterFixture, GroupExpandChevronsKeepTwoEmptyRowsBetweenThem) {
  for (int k = 0; k < 4; ++k)
    for (bool Expanded : {true, false})
      for (TuxButtonState State : {uxbsNormal, uxbsHot}) {
        SCOPED_TRACE(testing::Message() << PainterNames[k] << (Expanded ? " expanded" : " collapsed") << " state "
                                        << int(State));
        auto Sheet = MakeSheet(20, 20);
        TuxCanvas C(Sheet->Canvas());
        const TRect R = uxRect(0, 0, 15, 15);
        Painters[k]->PaintGroupExpandButton(&C, R, Expanded, State);
        const COLORREF Mark = ColorToRGB(Painters[k]->GetButtonSymbolColor(State));
        const int B = Painters[k]->GetButtonBorderWidth(State);
        // Per row of the face: the columns in the mark's colour.
        std::vector<std::vector<int>> Rows;
        int FirstRow = -1;
        for (int y = B; y < 15 - B; ++y) {
          std::vector<int> Cols;
          for (int x = B; x < 15 - B; ++x)
            if (Px(Sheet.get(), x, y) == Mark) Cols.push_back(x);
          if (!Cols.empty() && FirstRow < 0) FirstRow = y;
          if (FirstRow >= 0) Rows.push_back(Cols);
        }
        while (!Rows.empty() && Rows.back().empty()) Rows.pop_back();
        ASSERT_EQ(Rows.size(), 10u);  // 4 + 2 + 4
        for (int y : {0, 1, 2, 3, 6, 7, 8, 9}) EXPECT_FALSE(Rows[y].empty()) << "row " << y;
        EXPECT_TRUE(Rows[4].empty());
        EXPECT_TRUE(Rows[5].empty());
        for (int Top : {0, 6}) {
          std::vector<int> All;
          for (int y = Top; y < Top + 4; ++y) All.insert(All.end(), Rows[y].begin(), Rows[y].end());
          EXPECT_EQ(*std::max_element(All.begin(), All.end()) - *std::min_element(All.begin(), All.end()), 6);
          // The apex: a single pixel in the middle column, on top when expanded.
          const std::vector<int>& Apex = Rows[Expanded ? Top : Top + 3];
          EXPECT_EQ(Apex, std::vector<int>{7});
        }
        EXPECT_EQ(FirstRow, (15 - 10) / 2);
      }
}

TEST_F(PainterFixture, RadioGlyphColours) {
  auto Sheet = MakeSheet(20, 20);
  TuxCanvas C(Sheet->Canvas());
  auto* P = TuxUltraFlatLookAndFeelPainter::Instance();
  const TSize S = P->RadioButtonSize();
  P->PaintRadioButton(&C, 0, 0, uxbsHot, false, false, clDefault);
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, 0), ColorToRGB(clHighlight));
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, S.cy / 2), ColorToRGB(uxHotTrackColor()));
  P->PaintRadioButton(&C, 0, 0, uxbsDisabled, false, false, clDefault);
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, S.cy / 2), ColorToRGB(clBtnFace));
  // An opaque brush fills the square around the circle.
  P->PaintRadioButton(&C, 0, 0, uxbsNormal, true, false, clRed);
  EXPECT_EQ(Px(Sheet.get(), 0, 0), 0x0000FFu);
  TuxOffice11LookAndFeelPainter::Instance()->PaintRadioButton(&C, 0, 0, uxbsDisabled, true, false, clDefault);
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, S.cy / 2), ColorToRGB(Office11DisabledTextColor));
}

TEST_F(PainterFixture, RadioGlyphCacheKeysAndPattern) {
  TuxRadioButtonImageList* L = TuxRadioButtonImageList::Instance();
  EXPECT_EQ(L->GlyphCount(), 128);
  EXPECT_EQ(TuxRadioButtonImageList::GlyphKey(lfStandard, uxbsPressed, true, false, false), 14);
  EXPECT_EQ(TuxRadioButtonImageList::GlyphKey(lfOffice11, uxbsDisabled, true, true, true), 3 + 4 + 24 + 32 + 64);
  // The pattern: ring cells on the edge, body and dot inside, every cell kind present.
  const TSize S = L->GlyphSize();
  ASSERT_GE(S.cx, 8);
  int Seen[7] = {};
  for (int y = 0; y < S.cy; ++y)
    for (int x = 0; x < S.cx; ++x) ++Seen[L->PatternCell(x, y)];
  for (int c = 1; c <= 6; ++c) EXPECT_GT(Seen[c], 0) << "cell kind " << c;
  EXPECT_EQ(L->PatternCell(S.cx / 2, 0), 1) << "top of the ring is upper-left";
  EXPECT_EQ(L->PatternCell(S.cx / 2, S.cy - 1), 2) << "bottom of the ring is lower-right";
  const TRect D = L->DotRect();
  EXPECT_EQ(L->PatternCell((D.left + D.right) / 2, (D.top + D.bottom) / 2), 6);
  // Checked disabled Office 2003: the dot in the disabled text colour.
  EXPECT_EQ(TuxRadioButtonImageList::CellColor(6, lfOffice11, uxbsDisabled, true, false, false),
            Office11DisabledTextColor);
  EXPECT_EQ(TuxRadioButtonImageList::CellColor(6, lfStandard, uxbsDisabled, true, false, false), clBtnShadow);
}

TEST_F(PainterFixture, PaletteChangeRebuildsRadioGlyphs) {
  auto Sheet = MakeSheet(20, 20);
  TuxCanvas C(Sheet->Canvas());
  auto* P = TuxStandardLookAndFeelPainter::Instance();
  const TSize S = P->RadioButtonSize();
  const COLORREF Saved = GetSysColor(COLOR_WINDOW);
  const int Index = COLOR_WINDOW;
  const COLORREF Yellow = RGB(255, 255, 0);
  SetSysColors(1, &Index, &Yellow);
  PvSysColorsChanged();  // the window manager announces the change to every window
  MSG M;
  while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&M);
  P->PaintRadioButton(&C, 0, 0, uxbsNormal, false, false, clDefault);
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, S.cy / 2), Yellow);
  SetSysColors(1, &Index, &Saved);
  uxSystemPaletteChanged();
  P->PaintRadioButton(&C, 0, 0, uxbsNormal, false, false, clDefault);
  EXPECT_EQ(Px(Sheet.get(), S.cx / 2, S.cy / 2), Saved);
}

TEST_F(PainterFixture, IndicatorImagesComeFromTheResources) {
  ASSERT_NE(uxIndicatorImages(), nullptr);
  EXPECT_EQ(uxIndicatorImages()->Count(), 6);
  auto Sheet = MakeSheet(20, 20);
  TuxCanvas C(Sheet->Canvas());
  TuxStandardLookAndFeelPainter::Instance()->PaintIndicatorItem(&C, uxRect(0, 0, 12, 18), ikArrow, clBtnFace, nullptr);
  // The arrow glyph's first column (x = 1 of 8) centred in the 12-pixel cell.
  EXPECT_EQ(Px(Sheet.get(), 3, 5), 0u);
  EXPECT_EQ(Px(Sheet.get(), 7, 5), ColorToRGB(clBtnFace)) << "white parts stay transparent";
  ASSERT_NE(uxAutoHideOnBitmap(), nullptr);
  EXPECT_EQ(uxAutoHideOnBitmap()->Width(), 12);
}

// One sheet per look: buttons in every state (with and without caption, tool
// and grouped buttons), check boxes and radio buttons, scroll-bar parts and a
// scrolled control with its size-grip corner, headers, footers, indicators,
// calendar header, splitters, tabs, borders, expand buttons, drop-down buttons
// and a drop-down frame with its size grip. Text uses the built-in fixed font,
// whose ink does not depend on the installed fonts.
void PaintSheet(TuxLookAndFeelPainterClass P, TuxCanvas* C) {
  TFont Font;
  Font.SetName(PV_FIXED_FONT_NAME);
  C->SetFont(&Font);
  const TuxButtonState States[] = {uxbsDefault, uxbsNormal, uxbsHot, uxbsPressed, uxbsDisabled};
  for (int i = 0; i < 5; ++i) {
    const int X = 4 + i * 44;
    P->PaintButton(C, uxRect(X, 4, X + 40, 26), "Ab", States[i]);
    P->PaintCheckBox(C, uxRect(X, 32, X + 13, 45), States[i], false);
    P->PaintCheckBox(C, uxRect(X + 18, 32, X + 31, 45), States[i], true);
    if (States[i] != uxbsDefault) {
      P->PaintRadioButton(C, X, 50, States[i], false, false, clDefault);
      P->PaintRadioButton(C, X + 18, 50, States[i], true, false, clDefault);
    }
    // scroll-bar parts (vertical): line up, thumb, track, line down
    P->PaintScrollBarPart(C, false, uxRect(X, 68, X + 16, 84), shpLineUp, States[i]);
    P->PaintScrollBarPart(C, false, uxRect(X, 84, X + 16, 100), shpThumb, States[i]);
    P->PaintScrollBarPart(C, false, uxRect(X, 100, X + 16, 116), shpPageDown, States[i]);
    P->PaintScrollBarPart(C, false, uxRect(X, 116, X + 16, 132), shpLineDown, States[i]);
    // horizontal line buttons
    P->PaintScrollBarPart(C, true, uxRect(X + 20, 68, X + 36, 84), shpLineUp, States[i]);
    P->PaintScrollBarPart(C, true, uxRect(X + 20, 84, X + 36, 100), shpLineDown, States[i]);
    // drop-down buttons
    P->PaintFilterDropDownButton(C, uxRect(X + 20, 104, X + 35, 120), States[i], i == 4);
    // tool buttons and filter close buttons
    P->PaintToolButton(C, uxRect(232 + i * 17, 4, 248 + i * 17, 20), States[i]);
    P->PaintFilterCloseButton(C, uxRect(232 + i * 17, 24, 248 + i * 17, 38), States[i]);
  }
  // headers with text: three neighbours in a row, then a pressed section
  const TuxButtonState HeaderStates[] = {uxbsNormal, uxbsHot, uxbsNormal};
  for (int i = 0; i < 3; ++i) {
    TuxBorders N = 0;
    if (i > 0) N |= uxbLeft;
    if (i < 2) N |= uxbRight;
    const TRect R = uxRect(4 + i * 50, 140, 54 + i * 50, 160);
    P->PaintHeader(C, R, uxInflated(R, -3, -2), N, P->GetHeaderBorders(N), HeaderStates[i], taLeftJustify, vaCenter,
                   false, false, "Ab", &Font, clBtnText, clBtnFace);
  }
  P->PaintHeaderSection(C, uxRect(160, 140, 200, 160), uxRect(163, 142, 197, 158), 0, uxAllBorders, uxbsPressed,
                        taLeftJustify, vaCenter, false, false, "Ab", &Font, clBtnText, clBtnFace);
  C->FillRect(uxRect(200, 140, 220, 180), clBtnFace);
  P->PaintSortingMark(C, uxRect(200, 140, 220, 160), true);
  P->PaintSortingMark(C, uxRect(200, 160, 220, 180), false);
  // borders
  C->FillRect(uxRect(4, 166, 44, 196), clWindow);
  P->PaintBorder(C, uxRect(4, 166, 44, 196));
  // expand buttons
  const int W = std::max(P->GetExpandButtonWidth(), 11);
  P->PaintExpandButton(C, uxRect(50, 170, 50 + W, 170 + W), true);
  P->PaintExpandButton(C, uxRect(70, 170, 70 + W, 170 + W), false);
  P->PaintSmallExpandButton(C, uxRect(90, 170, 99, 179), false, clBtnShadow, clWindow);
  P->PaintGroupExpandButton(C, uxRect(110, 166, 125, 181), true, uxbsNormal);
  P->PaintGroupExpandButton(C, uxRect(130, 166, 145, 181), false, uxbsHot);
  P->PaintFilterCloseButton(C, uxRect(150, 166, 166, 180), uxbsNormal);
  P->PaintArrowButton(C, uxRect(170, 166, 186, 182), uxbsNormal, adrDown, true);
  // a row of three joined buttons (normal, hot, pressed) in a group border
  const TuxButtonState GroupStates[] = {uxbsNormal, uxbsHot, uxbsPressed};
  for (int i = 0; i < 3; ++i)
    P->PaintGroupButton(C, uxRect(232 + i * 20, 42, 252 + i * 20, 60), GroupStates[i], 3, i, clBtnShadow);
  P->PaintButtonGroupBorder(C, uxRect(294, 42, 316, 60), false, true);
  // radio variants: focused, highlighted, on a red square, checked disabled focused
  P->PaintRadioButton(C, 232, 64, uxbsNormal, false, true, clDefault);
  P->PaintRadioButton(C, 250, 64, uxbsNormal, true, false, clDefault, true);
  P->PaintRadioButton(C, 268, 64, uxbsNormal, true, false, clRed);
  P->PaintRadioButton(C, 286, 64, uxbsDisabled, true, true, clDefault);
  // row indicators, one of each kind, and an indicator box
  for (int k = ikArrow; k <= ikFilter; ++k)
    P->PaintIndicatorItem(C, uxRect(232 + (k - 1) * 12, 82, 244 + (k - 1) * 12, 100), TuxIndicatorKind(k), clBtnFace,
                          nullptr);
  P->PaintIndicatorItemBox(C, uxRect(304, 82, 316, 100), ikArrow, clBtnFace, nullptr);
  // footer: a cell, a separator and the footer border
  P->PaintFooterCell(C, uxRect(232, 104, 272, 122), taLeftJustify, vaCenter, false, "Ab", &Font, clBtnText, clBtnFace,
                     nullptr);
  P->PaintFooterSeparator(C, uxRect(274, 104, 276, 122));
  C->FillRect(uxRect(278, 104, 316, 122), clBtnFace);
  P->PaintFooterBorder(C, uxRect(278, 104, 316, 122));
  // calendar header with both month arrows
  TuxPaintParams Params;
  Params.Color = clBtnFace;
  Params.Font = &Font;
  Params.TextColor = clBtnText;
  P->PaintCalendarHeader(C, uxRect(232, 126, 316, 144), "Ab", 0, Params, 3, 10);
  // splitters (horizontal and vertical) and a tab with its tab area
  P->PaintSplitterBorder(C, uxRect(232, 150, 316, 156), Params, true);
  P->PaintSplitterBorder(C, uxRect(232, 160, 238, 196), Params, false);
  C->FillRect(uxRect(242, 158, 316, 196), clBtnFace);
  const TuxBorders TabSides = uxbLeft | uxbTop | uxbRight;
  for (TuxBorder Side : {bLeft, bTop, bRight}) {
    TRect R = uxRect(246, 160, 276, 176);
    if (Side == bLeft) R.right = R.left + 1;
    if (Side == bRight) R.left = R.right - 1;
    if (Side == bTop) R.bottom = R.top + 1;
    P->PaintTabBorder(C, R, Side, TabSides, false);
  }
  P->PaintTabArea(C, uxRect(242, 176, 316, 196), uxAllBorders, false);
  // the caption rule: a 17-pixel button lifts its caption one pixel
  P->PaintButton(C, uxRect(4, 204, 44, 221), "Ab", uxbsNormal);
  P->PaintButton(C, uxRect(48, 204, 88, 222), "Ab", uxbsNormal);
  // a scrolled control: border, both bars and the size-grip corner between them
  {
    const TRect B = uxRect(4, 228, 100, 296);
    C->FillRect(B, clWindow);
    P->PaintBorder(C, B);
    const TRect In = uxInflated(B, -P->GetBorderWidth(), -P->GetBorderWidth());
    const int S = 16;
    const int VX = In.right - S, HY = In.bottom - S;
    P->PaintScrollBarPart(C, false, uxRect(VX, In.top, In.right, In.top + S), shpLineUp, uxbsNormal);
    P->PaintScrollBarPart(C, false, uxRect(VX, In.top + S, In.right, In.top + S + 12), shpThumb, uxbsNormal);
    P->PaintScrollBarPart(C, false, uxRect(VX, In.top + S + 12, In.right, HY - S), shpPageDown, uxbsNormal);
    P->PaintScrollBarPart(C, false, uxRect(VX, HY - S, In.right, HY), shpLineDown, uxbsHot);
    P->PaintScrollBarPart(C, true, uxRect(In.left, HY, In.left + S, In.bottom), shpLineUp, uxbsNormal);
    P->PaintScrollBarPart(C, true, uxRect(In.left + S, HY, In.left + S + 10, In.bottom), shpPageUp, uxbsPressed);
    P->PaintScrollBarPart(C, true, uxRect(In.left + S + 10, HY, In.left + S + 30, In.bottom), shpThumb, uxbsNormal);
    P->PaintScrollBarPart(C, true, uxRect(In.left + S + 30, HY, VX - S, In.bottom), shpPageDown, uxbsNormal);
    P->PaintScrollBarPart(C, true, uxRect(VX - S, HY, VX, In.bottom), shpLineDown, uxbsPressed);
    C->FillRect(uxRect(VX, HY, In.right, In.bottom), clBtnFace);  // the size-grip corner
  }
  // a drop-down: the edit with its button, and below it the drop-down frame
  // with a bottom bar holding the size grip and the close button
  {
    const TRect Edit = uxRect(108, 228, 220, 246);
    C->FillRect(Edit, clWindow);
    P->PaintBorder(C, Edit);
    const int BW = P->GetBorderWidth();
    P->PaintFilterDropDownButton(C, uxRect(Edit.right - BW - 15, Edit.top + BW, Edit.right - BW, Edit.bottom - BW),
                                 uxbsPressed, false);
    const TRect Frame = uxRect(108, 246, 220, 296);
    C->FillRect(Frame, clWindow);
    P->PaintBorder(C, Frame);
    const TRect Bar = uxRect(Frame.left + BW, Frame.bottom - BW - 17, Frame.right - BW, Frame.bottom - BW);
    C->FillRect(Bar, clBtnFace);
    TRect Grip = uxRect(Bar.right - 16, Bar.bottom - 16, Bar.right, Bar.bottom);
    DrawFrameControl(C->Handle(), &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    P->PaintFilterCloseButton(C, uxRect(Bar.left + 1, Bar.top + 1, Bar.left + 17, Bar.top + 15), uxbsHot);
  }
}

}  // namespace

TEST_F(PainterFixture, ElementSheetsMatchReferences) {
  for (int k = 0; k < 4; ++k) {
    auto Sheet = MakeSheet(320, 300);
    TuxCanvas C(Sheet->Canvas());
    PaintSheet(Painters[k], &C);
    EXPECT_TRUE(MatchesReference(Sheet->ToRawImage(), "framework/tests/ref", std::string("painter_") + PainterNames[k]));
  }
}
