// Painters: the geometry rules, the answers that differ between the looks,
// and a rendered sheet of every element per look compared with references.
#include "framework/uxpainters.h"

#include "framework/uxoffice11.h"
#include "framework/tests/refimage.h"
#include "platform/backend/headless/headless.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PainterFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
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

// One sheet per look: buttons in every state, check boxes and radio buttons,
// scroll-bar parts, headers, borders, expand buttons, drop-down buttons.
void PaintSheet(TuxLookAndFeelPainterClass P, TuxCanvas* C) {
  const TuxButtonState States[] = {uxbsDefault, uxbsNormal, uxbsHot, uxbsPressed, uxbsDisabled};
  for (int i = 0; i < 5; ++i) {
    const int X = 4 + i * 44;
    P->PaintButton(C, uxRect(X, 4, X + 40, 26), "", States[i]);
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
    // drop-down frame buttons
    P->PaintFilterDropDownButton(C, uxRect(X + 20, 104, X + 35, 120), States[i], i == 4);
  }
  // headers: three neighbours in a row, then hot and pressed sections
  const TuxButtonState HeaderStates[] = {uxbsNormal, uxbsHot, uxbsNormal};
  for (int i = 0; i < 3; ++i) {
    TuxBorders N = 0;
    if (i > 0) N |= uxbLeft;
    if (i < 2) N |= uxbRight;
    const TRect R = uxRect(4 + i * 50, 140, 54 + i * 50, 160);
    P->PaintHeader(C, R, R, N, P->GetHeaderBorders(N), HeaderStates[i], taLeftJustify, vaCenter, false, false, "",
                   nullptr, clBtnText, clBtnFace);
  }
  P->PaintHeaderSection(C, uxRect(160, 140, 200, 160), uxRect(160, 140, 200, 160), 0, uxAllBorders, uxbsPressed,
                        taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clBtnFace);
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
}

}  // namespace

TEST_F(PainterFixture, ElementSheetsMatchReferences) {
  for (int k = 0; k < 4; ++k) {
    auto Sheet = MakeSheet(224, 200);
    TuxCanvas C(Sheet->Canvas());
    PaintSheet(Painters[k], &C);
    EXPECT_TRUE(MatchesReference(Sheet.get(), std::string("painter_") + PainterNames[k]));
  }
}
