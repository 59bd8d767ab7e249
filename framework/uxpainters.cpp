#include "framework/uxpainters.h"

#include "framework/uxoffice11.h"
#include "platform/controls/imglist.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
int half(int N) { return MulDiv(N, 1, 2); }
int oddup(int N) { return (N % 2 == 0) ? N + 1 : N; }
TRect Shrunk(const TRect& R, int D) { return uxInflated(R, -D, -D); }

void FillPolygon(TuxCanvas* Canvas, const std::vector<TPoint>& P, TColor Color) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->SetBrushColor(Color);
  Canvas->Pen()->SetColor(Color);
  Canvas->Polygon(P);
}

void Line(TuxCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}
}  // namespace

TuxLookAndFeelKind uxPainterStyleToLookAndFeelKind(TuxPainterStyle Style) {
  switch (Style) {
    case psFlat: return lfFlat;
    case psStandard: return lfStandard;
    case psUltraFlat: return lfUltraFlat;
    case psOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TuxLookAndFeelPainterClass uxLookAndFeelPainterOfKind(TuxLookAndFeelKind Kind) {
  switch (Kind) {
    case lfFlat: return TuxFlatLookAndFeelPainter::Instance();
    case lfStandard: return TuxStandardLookAndFeelPainter::Instance();
    case lfOffice11: return TuxOffice11LookAndFeelPainter::Instance();
    default: return TuxUltraFlatLookAndFeelPainter::Instance();
  }
}

TuxLookAndFeelPainterClass uxGetEditPainterClass(bool NativeStyle, TuxLookAndFeelKind Kind) {
  if (NativeStyle && AreVisualStylesAvailable()) return TuxWinXPLookAndFeelPainter::Instance();
  return uxLookAndFeelPainterOfKind(Kind);
}

TuxLookAndFeelPainterClass uxGetButtonPainterClass(const TuxLookAndFeel* LookAndFeel) {
  TuxLookAndFeelPainterClass P =
      LookAndFeel ? LookAndFeel->GetPainter() : TuxUltraFlatLookAndFeelPainter::Instance();
  if (P->GetPainterStyle() == psOffice11)
    return IsVisualStyleAvailable(tckButton) ? TuxWinXPLookAndFeelPainter::Instance()
                                             : TuxStandardLookAndFeelPainter::Instance();
  return P;
}

TuxLookAndFeelPainterClass TuxStandardLookAndFeelPainter::Instance() { static const TuxStandardLookAndFeelPainter P; return &P; }
TuxLookAndFeelPainterClass TuxFlatLookAndFeelPainter::Instance() { static const TuxFlatLookAndFeelPainter P; return &P; }
TuxLookAndFeelPainterClass TuxUltraFlatLookAndFeelPainter::Instance() { static const TuxUltraFlatLookAndFeelPainter P; return &P; }
TuxLookAndFeelPainterClass TuxOffice11LookAndFeelPainter::Instance() {
  static const TuxOffice11LookAndFeelPainter P;
  static bool Acquired = (AcquireOffice11Colors(), true);  // the colour table lives with the painter
  (void)Acquired;
  return &P;
}
TuxLookAndFeelPainterClass TuxWinXPLookAndFeelPainter::Instance() { static const TuxWinXPLookAndFeelPainter P; return &P; }

TuxArrowPoints CalculateArrowPoints(TRect R, bool Squared, TuxArrowDir Direction) {
  if (Squared) {
    const int W = uxRectWidth(R), H = uxRectHeight(R);
    if (W > H) {
      R.left += (W - H) / 2;
      R.right -= (W - H) / 2;
    } else {
      R.top += (H - W) / 2;
      R.bottom -= (H - W) / 2;
    }
  }
  int W, H;
  if (Direction == adrUp || Direction == adrDown) {
    W = oddup((R.right - R.left - 1) / 2);
    H = W / 2 + 1;
  } else {
    H = oddup((R.bottom - R.top - 1) / 2);
    W = H / 2 + 1;
  }
  const int Xc = (R.left + R.right - 1) / 2, Yc = (R.top + R.bottom) / 2;
  const int X0 = (R.left + R.right - W) / 2, Y0 = half(R.top + R.bottom - H);
  TuxArrowPoints A;
  switch (Direction) {
    case adrUp: A.P[0] = {Xc, Y0}; A.P[1] = {X0, Y0 + H - 1}; A.P[2] = {X0 + W - 1, Y0 + H - 1}; break;
    case adrDown: A.P[0] = {X0, Y0}; A.P[1] = {X0 + W - 1, Y0}; A.P[2] = {Xc, Y0 + H - 1}; break;
    case adrLeft: A.P[0] = {X0, Yc}; A.P[1] = {X0 + W - 1, Y0}; A.P[2] = {X0 + W - 1, Y0 + H - 1}; break;
    case adrRight: A.P[0] = {X0, Y0}; A.P[1] = {X0 + W - 1, Yc}; A.P[2] = {X0, Y0 + H - 1}; break;
  }
  return A;
}

// ---- base painter ----

unsigned TuxCustomLookAndFeelPainter::PlacementFlags(TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine,
                                                     bool ShowEndEllipsis) {
  static const unsigned H[] = {ctfLeft, ctfRight, ctfHCenter};
  static const unsigned V[] = {ctfTop, ctfBottom, ctfVCenter};
  unsigned F = H[AlignHorz] | V[AlignVert] | (MultiLine ? ctfWordBreak : ctfSingleLine);
  if (ShowEndEllipsis) F |= ctfEndEllipsis;
  return F;
}

void TuxCustomLookAndFeelPainter::PaintDropDownArrow(TuxCanvas* Canvas, const TRect& R, TColor Color) const {
  const int W = oddup((R.right - R.left) / 2), H = W / 2 + 1;
  const int Y = half(R.top + R.bottom - H), X = (R.left + R.right - W) / 2;
  FillPolygon(Canvas, {{X, Y}, {X + W - 1, Y}, {X + W / 2, Y + H - 1}}, Color);
}

void TuxCustomLookAndFeelPainter::PaintContent(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                               TuxButtonState, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                               bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text,
                                               TFont* Font, TColor TextColor, TColor BkColor,
                                               const TuxDrawBackgroundEvent& OnDrawBackground, bool) const {
  if (!(OnDrawBackground && OnDrawBackground(Canvas, Bounds))) Canvas->FillRect(Bounds, BkColor);
  if (!Text.empty()) {
    Canvas->Brush()->SetStyle(bsClear);
    if (Font) Canvas->SetFont(Font);
    Canvas->Font()->SetColor(TextColor);
    Canvas->DrawText(Text, TextAreaBounds, PlacementFlags(AlignHorz, AlignVert, MultiLine, ShowEndEllipsis));
    Canvas->Brush()->SetStyle(bsSolid);
  }
}

TRect TuxCustomLookAndFeelPainter::GetFooterCellContentBounds(const TRect& Bounds) const {
  return Shrunk(Bounds, GetFooterCellBorderWidth());
}
TRect TuxCustomLookAndFeelPainter::GetFooterCellTextAreaBounds(const TRect& Bounds) const {
  return Shrunk(GetFooterCellContentBounds(Bounds), 2);
}

TColor TuxCustomLookAndFeelPainter::DefaultColor(int N) const {
  switch (N) {
    case 5: case 29: return clWindow;
    case 6: case 30: case 34: return clWindowText;
    case 7: case 12: case 15: case 19: case 51: case 54: case 55: return clBtnShadow;
    case 8: return clBtnHighlight;
    case 9: case 11: case 14: case 18: case 23: case 39: case 44: return clBtnText;
    case 10: case 13: case 16: case 17: case 20: case 22: case 26: case 32: case 37: case 38: case 40: case 43:
      return clBtnFace;
    case 21: case 24: return 0xFF0000;  // RGB(0,0,255)
    case 25: return DefaultColor(12);
    case 27: case 35: return clHighlight;
    case 28: case 36: return clHighlightText;
    case 31: return 0x0000FF;
    case 33: return 0xD5FFFF;  // RGB(255,255,213)
    case 41: case 45: case 50: return clWhite;
    case 42: case 46: case 47: case 48: return clBlack;
    case 49: return 0xCFCFCF;
    case 52: return 0xF0CAA6;  // RGB(166,202,240)
    case 53: return 0x800000;  // RGB(0,0,128)
    default: return clDefault;
  }
}

void TuxCustomLookAndFeelPainter::DrawArrow(TuxCanvas* Canvas, const TRect& R, TuxArrowDir Direction,
                                            TColor Color) const {
  const TuxArrowPoints A = CalculateArrowPoints(R, true, Direction);
  FillPolygon(Canvas, {A.P[0], A.P[1], A.P[2]}, Color);
}

void TuxCustomLookAndFeelPainter::PaintArrowButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                   TuxArrowDir Direction, bool WithButtonFace) const {
  const TuxArrowPoints A = CalculateArrowPoints(R, false, Direction);
  if (WithButtonFace)
    PaintButtonBackground(Canvas, R, State);
  else
    Canvas->FillRect(R, GetButtonFaceColor(State));
  FillPolygon(Canvas, {A.P[0], A.P[1], A.P[2]}, GetButtonSymbolColor(State));
}

void TuxCustomLookAndFeelPainter::PaintButtonBackground(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  Canvas->FillRect(R, GetButtonFaceColor(State));
  PaintButtonBorder(Canvas, R, State);
}

void TuxCustomLookAndFeelPainter::PaintStateArrow(TuxCanvas* Canvas, const TRect& R0, TuxButtonState State,
                                                  TuxArrowDir Direction) const {
  TRect R = R0;
  if (State == uxbsPressed) {
    const int S = GetButtonPressedShift();
    R = uxRect(R.left + S, R.top + S, R.right + S, R.bottom + S);
  }
  const TuxArrowPoints A = CalculateArrowPoints(R, true, Direction);
  if (State == uxbsDisabled) {
    std::vector<TPoint> P = {A.P[0], A.P[1], A.P[2]};
    for (TPoint& Pt : P) { ++Pt.x; ++Pt.y; }
    FillPolygon(Canvas, P, clBtnHighlight);
    FillPolygon(Canvas, {A.P[0], A.P[1], A.P[2]}, clBtnShadow);
  } else {
    FillPolygon(Canvas, {A.P[0], A.P[1], A.P[2]}, GetButtonSymbolColor(State));
  }
}

TRect TuxCustomLookAndFeelPainter::GetButtonFocusRect(TuxCanvas*, const TRect& R) const {
  const TRect F = Shrunk(R, 4);
  return uxIsRectEmpty(F) ? R : F;
}

TRect TuxCustomLookAndFeelPainter::GetButtonGroupBorderWidths(int, int) const {
  const int W = GetButtonBorderWidth(uxbsNormal);
  return uxRect(W, W, W, W);
}

TColor TuxCustomLookAndFeelPainter::GetButtonSymbolColor(TuxButtonState State, TColor DefaultColor) const {
  if (State == uxbsDisabled) return clBtnShadow;
  return DefaultColor == clDefault ? clBtnText : DefaultColor;
}

void TuxCustomLookAndFeelPainter::PaintButton(TuxCanvas* Canvas, TRect R, const AnsiString& Caption,
                                              TuxButtonState State, bool WithBorder, TColor ButtonColor,
                                              TColor TextColor) const {
  if (WithBorder) {
    PaintButtonBorder(Canvas, R, State);
    R = Shrunk(R, GetButtonBorderWidth(State));
  }
  Canvas->FillRect(R, ButtonColor == clDefault ? GetButtonFaceColor(State) : ButtonColor);
  const TColor Text = TextColor == clDefault ? GetButtonSymbolColor(State) : TextColor;
  if (uxRectHeight(R) % 2 != 0) --R.bottom;
  if (uxRectHeight(R) < 18) --R.top;
  if (State == uxbsPressed) {
    const int S = GetButtonPressedShift();
    R = uxRect(R.left + S, R.top + S, R.right + S, R.bottom + S);
  }
  if (!Caption.empty()) {
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(Text);
    Canvas->DrawText(Caption, R, ctfHCenter | ctfVCenter | ctfSingleLine | ctfShowPrefix, State != uxbsDisabled);
    Canvas->Brush()->SetStyle(bsSolid);
  }
}

void TuxCustomLookAndFeelPainter::PaintGroupButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, int, int,
                                                   TColor) const {
  PaintButton(Canvas, R, "", State, true, clDefault, clDefault);
}

void TuxCustomLookAndFeelPainter::PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  PaintButton(Canvas, R, "", State, true, clDefault, clDefault);
}

void TuxCustomLookAndFeelPainter::DrawExpandCross(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color) const {
  auto floordiv2 = [](int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
  const int Cx = floordiv2(R.left + R.right), Cy = floordiv2(R.top + R.bottom);
  const int A = (R.right - R.left - 4) / 2;
  Canvas->FillRect(uxRect(Cx - A, Cy, Cx + A + 1, Cy + 1), Color);
  if (!Expanded) Canvas->FillRect(uxRect(Cx, Cy - A, Cx + 1, Cy + A + 1), Color);
}

void TuxCustomLookAndFeelPainter::PaintGroupExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded,
                                                         TuxButtonState State) const {
  PaintButton(Canvas, R, "", State, true, clDefault, clDefault);
  // Two chevrons 7 wide and 3 high (the arms drawn as lines from the ends to the
  // apex), each with a second stroke one row lower, 2 empty rows apart.
  static constexpr int ArmRow[7] = {2, 1, 1, 0, 1, 1, 2};  // apex up; row per column
  const TColor C = GetButtonSymbolColor(State);
  const int ChevronH = 3 + 1, Gap = 2;
  const int TotalH = ChevronH + Gap + ChevronH;
  const int X0 = (R.left + R.right - 7) / 2, Y0 = (R.top + R.bottom - TotalH) / 2;
  Canvas->Pen()->SetColor(C);
  for (int k = 0; k < 2; ++k) {
    const int Y = Y0 + k * (ChevronH + Gap);
    for (int t = 0; t < 2; ++t)
      for (int x = 0; x < 7; ++x) {
        const int Row = Y + t + (Expanded ? ArmRow[x] : 2 - ArmRow[x]);
        Canvas->FillRect(uxRect(X0 + x, Row, X0 + x + 1, Row + 1), C);
      }
  }
}

void TuxCustomLookAndFeelPainter::PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded,
                                                         TColor BorderColor, TColor Color) const {
  Canvas->FrameRect(R, BorderColor);
  if (Color != clDefault) Canvas->FillRect(Shrunk(R, 1), Color);
  DrawExpandCross(Canvas, R, Expanded, clBtnText);
}

bool TuxCustomLookAndFeelPainter::IsOverGroupExpandButton(const TRect& R, const TPoint& P) const {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

TColor TuxCustomLookAndFeelPainter::GetCheckBoxFaceColor(TuxButtonState State) const {
  return (State == uxbsPressed || State == uxbsDisabled) ? clBtnFace : clWindow;
}

TSize TuxCustomLookAndFeelPainter::CheckButtonSize() const { return uxCheckBoxGlyphSize(); }

void TuxCustomLookAndFeelPainter::PaintCheckMark(TuxCanvas* Canvas, const TRect& R, TuxButtonState State, bool Checked,
                                                 TColor Color) const {
  Canvas->FillRect(R, GetCheckBoxFaceColor(State));
  if (!Checked) return;
  const int W = R.right - R.left - 2, H = R.bottom - R.top - 4, Cx = (R.left + R.right) / 2 - 1;
  Canvas->Pen()->SetColor(Color);
  for (int D = 0; D <= 2; ++D) {
    const int Y = (R.top + R.bottom + H) / 2 - 2 + D;
    Canvas->MoveTo(Cx + 1 - W / 2, Y - H / 2);
    Canvas->LineTo(Cx, Y);
    Canvas->LineTo(Cx + W / 2 + 2, Y - H);
  }
}

void TuxCustomLookAndFeelPainter::PaintCheckBox(TuxCanvas* Canvas, TRect R, TuxButtonState State, bool Checked) const {
  PaintCheckBorder(Canvas, R, State);
  R = Shrunk(R, GetCheckBorderWidth());
  PaintCheckMark(Canvas, R, State, Checked, State == uxbsDisabled ? clGrayText : clBtnText);
}

void TuxCustomLookAndFeelPainter::PaintRadioButton(TuxCanvas* Canvas, int X, int Y, TuxButtonState State, bool Checked,
                                                   bool Focused, TColor BrushColor, bool Highlighted) const {
  TuxRadioButtonImageList::Instance()->Draw(Canvas, X, Y, BrushColor,
                                            uxPainterStyleToLookAndFeelKind(GetPainterStyle()), State, Checked,
                                            Focused, Highlighted);
}

TSize TuxCustomLookAndFeelPainter::RadioButtonSize() const {
  return TuxRadioButtonImageList::Instance()->GlyphSize();
}

// ---- headers ----

void TuxCustomLookAndFeelPainter::PaintHeader(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                              TuxBorders Neighbors, TuxBorders Borders, TuxButtonState State,
                                              TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine,
                                              bool ShowEndEllipsis, const AnsiString& Text, TFont* Font,
                                              TColor TextColor, TColor BkColor,
                                              const TuxDrawBackgroundEvent& OnDrawBackground, bool) const {
  PaintHeaderBorder(Canvas, Bounds, Neighbors, Borders);
  const TRect R = GetHeaderContentBounds(Bounds, Borders);
  PaintContent(Canvas, R, TextAreaBounds, State, AlignHorz, AlignVert, MultiLine, ShowEndEllipsis, Text, Font,
               TextColor, BkColor, OnDrawBackground, false);
}

void TuxCustomLookAndFeelPainter::PaintHeaderItem(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                                  TuxBorders Neighbors, TuxBorders Borders, TuxButtonState State,
                                                  TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine,
                                                  bool ShowEndEllipsis, const AnsiString& Text, TFont* Font,
                                                  TColor TextColor, TColor BkColor,
                                                  const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintHeader(Canvas, Bounds, TextAreaBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              ShowEndEllipsis, Text, Font, TextColor, BkColor, OnDrawBackground, false);
}

void TuxCustomLookAndFeelPainter::PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds,
                                                     const TRect& TextAreaBounds, TuxBorders, TuxBorders Borders,
                                                     TuxButtonState State, TAlignment AlignHorz,
                                                     TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                                     const AnsiString& Text, TFont* Font, TColor TextColor,
                                                     TColor BkColor) const {
  PaintHeaderSectionBorder(Canvas, Bounds, Borders, State);
  const TRect R = GetHeaderSectionContentBounds(Bounds, State);
  PaintHeaderSectionContent(Canvas, R, TextAreaBounds, State, AlignHorz, AlignVert, MultiLine, ShowEndEllipsis, Text,
                            Font, TextColor, BkColor);
}

void TuxCustomLookAndFeelPainter::PaintHeaderSectionContent(TuxCanvas* Canvas, const TRect& R,
                                                            const TRect& TextAreaBounds, TuxButtonState State,
                                                            TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                                            bool MultiLine, bool ShowEndEllipsis,
                                                            const AnsiString& Text, TFont* Font, TColor TextColor,
                                                            TColor BkColor) const {
  Canvas->FillRect(R, BkColor);
  const TRect T = GetHeaderSectionTextAreaBounds(TextAreaBounds, State);
  PaintHeaderSectionText(Canvas, T, State, AlignHorz, AlignVert, MultiLine, ShowEndEllipsis, Text, Font, TextColor);
}

void TuxCustomLookAndFeelPainter::PaintHeaderSectionText(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                         TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                                         bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text,
                                                         TFont* Font, TColor TextColor) const {
  if (Text.empty()) return;
  Canvas->Brush()->SetStyle(bsClear);
  if (Font) Canvas->SetFont(Font);
  const unsigned F = PlacementFlags(AlignHorz, AlignVert, MultiLine, ShowEndEllipsis);
  if (State == uxbsDisabled) {
    Canvas->Font()->SetColor(clBtnHighlight);
    Canvas->DrawText(Text, uxRect(R.left + 1, R.top + 1, R.right + 1, R.bottom + 1), F);
    Canvas->Font()->SetColor(clBtnShadow);
  } else {
    Canvas->Font()->SetColor(TextColor);
  }
  Canvas->DrawText(Text, R, F);
  Canvas->Brush()->SetStyle(bsSolid);
}

TRect TuxCustomLookAndFeelPainter::GetHeaderBounds(const TRect& Bounds, TuxBorders Neighbors, TuxBorders Borders) const {
  const TuxBorders Grow = Borders & ~GetHeaderBorders(Neighbors);
  const int W = GetHeaderBorderWidth();
  TRect R = Bounds;
  if (Grow & uxbLeft) R.left -= W;
  if (Grow & uxbTop) R.top -= W;
  if (Grow & uxbRight) R.right += W;
  if (Grow & uxbBottom) R.bottom += W;
  return R;
}

TRect TuxCustomLookAndFeelPainter::GetHeaderContentBounds(const TRect& Bounds, TuxBorders Borders) const {
  const int W = GetHeaderBorderWidth();
  TRect R = Bounds;
  if (Borders & uxbLeft) R.left += W;
  if (Borders & uxbTop) R.top += W;
  if (Borders & uxbRight) R.right -= W;
  if (Borders & uxbBottom) R.bottom -= W;
  return R;
}

TRect TuxCustomLookAndFeelPainter::GetHeaderSectionTextAreaBounds(const TRect& Bounds, TuxButtonState State) const {
  if (State != uxbsPressed) return Bounds;
  return uxRect(Bounds.left + 1, Bounds.top + 1, Bounds.right + 1, Bounds.bottom + 1);
}

TRect TuxCustomLookAndFeelPainter::GetHeaderSectionContentBounds(const TRect& Bounds, TuxButtonState State) const {
  return Shrunk(Bounds, GetHeaderSectionBorderWidth(State));
}

int TuxCustomLookAndFeelPainter::GetHeaderWidth(TuxCanvas* Canvas, TuxBorders Borders, const AnsiString& Text,
                                                TFont* Font) const {
  if (Font) Canvas->SetFont(Font);
  int W = Canvas->TextWidth(Text) + 4;
  if (Borders & uxbLeft) W += GetHeaderBorderWidth();
  if (Borders & uxbRight) W -= GetHeaderBorderWidth();
  return W;
}

TSize TuxCustomLookAndFeelPainter::GetSortingMarkAreaSize() const { return TSize{16, GetSortingMarkSize().cy}; }

void TuxCustomLookAndFeelPainter::DrawSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending, TColor Light,
                                                  TColor Dark) const {
  const TSize S = GetSortingMarkSize();
  const int W = S.cx, H = S.cy, s = Ascending ? 1 : -1;
  const int Xc = (R.left + R.right) / 2 - (W % 2 == 0 ? 1 : 0);
  const int A = W / 2, B = A - (W % 2 == 0 ? 1 : 0);
  const int Y = Ascending ? (R.top + R.bottom - H) / 2 : (R.top + R.bottom + H) / 2 - 1;
  Canvas->Pen()->SetColor(Light);
  Canvas->MoveTo(Xc + A, Y + (H - 2) * s);
  Canvas->LineTo(Xc + A - B, Y);
  Canvas->LineTo(Xc + A, Y + (H - 1) * s);
  if (!Ascending) Canvas->Pen()->SetColor(Dark);
  Canvas->LineTo(Xc - B, Y + (H - 1) * s);
  if (Ascending) Canvas->Pen()->SetColor(Dark);
  Canvas->LineTo(Xc, Y);
  Canvas->LineTo(Xc - B, Y + (H - (W % 2)) * s);
}

// ---- footers, filters, indicators, calendar ----

void TuxCustomLookAndFeelPainter::PaintFooterCell(TuxCanvas* Canvas, const TRect& Bounds, TAlignment AlignHorz,
                                                  TuxAlignmentVert AlignVert, bool MultiLine, const AnsiString& Text,
                                                  TFont* Font, TColor TextColor, TColor BkColor,
                                                  const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintFooterCellBorder(Canvas, Bounds);
  PaintContent(Canvas, GetFooterCellContentBounds(Bounds), GetFooterCellTextAreaBounds(Bounds), uxbsDefault, AlignHorz,
               AlignVert, MultiLine, false, Text, Font, TextColor, BkColor, OnDrawBackground, true);
}

void TuxCustomLookAndFeelPainter::PaintFooterSeparator(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FillRect(R, GetFooterSeparatorColor());
}

void TuxCustomLookAndFeelPainter::PaintFilterCloseButton(TuxCanvas* Canvas, const TRect& R0,
                                                         TuxButtonState State) const {
  PaintButtonBorder(Canvas, R0, State);
  const TRect R = Shrunk(R0, GetButtonBorderWidth(uxbsNormal));
  Canvas->FillRect(R, GetButtonFaceColor(State));
  int S = GetFilterCloseButtonSize().cx / 2;
  if (S % 2 == 0) --S;
  const TuxButtonState SymbolState = GetButtonSymbolState(State);
  int X = (R.left + R.right - S) / 2, Y = (R.top + R.bottom - S) / 2;
  if (SymbolState == uxbsPressed) { ++X; ++Y; }
  Canvas->Pen()->SetColor(GetButtonSymbolColor(State));
  for (int d = 0; d < 2; ++d) {
    Line(Canvas, X + d, Y, X + S + d, Y + S);
    Line(Canvas, X + d, Y + S - 1, X + S + d, Y - 1);
  }
}

void TuxCustomLookAndFeelPainter::PaintIndicatorItem(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind,
                                                     TColor BkColor, const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintHeader(Canvas, R, R, uxbTop | uxbBottom, GetHeaderBorders(uxbTop | uxbBottom), uxbsNormal, taLeftJustify, vaTop,
              false, false, "", nullptr, clBtnText, BkColor, OnDrawBackground);
  uxDrawIndicatorImage(Canvas, R, Kind);
}

void TuxCustomLookAndFeelPainter::PaintIndicatorItemBox(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind,
                                                        TColor BkColor,
                                                        const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintHeaderItem(Canvas, R, R, 0, uxAllBorders, uxbsNormal, taLeftJustify, vaTop, false, false, "", nullptr,
                  clBtnText, BkColor, OnDrawBackground);
  uxDrawIndicatorImage(Canvas, R, Kind);
}

void TuxCustomLookAndFeelPainter::DrawMonthArrows(TuxCanvas* Canvas, TRect R, int Arrows, int SideWidth,
                                                  TColor Color) const {
  R.top += GetBorderWidth();
  R = uxRect(R.left, R.top + 1, R.right, R.bottom - 1);
  const int C = oddup((R.bottom - R.top) / 2);
  const int Yc = (R.top + R.bottom) / 2, Top = Yc - C / 2, Bottom = Top + C - 1;
  if (Arrows & 1) {
    const int Base = R.left + SideWidth - 1;
    FillPolygon(Canvas, {{Base, Top}, {Base, Bottom}, {Base - (C / 2 + 1), Yc}}, Color);
  }
  if (Arrows & 2) {
    const int Base = R.right - SideWidth;
    FillPolygon(Canvas, {{Base, Top}, {Base, Bottom}, {Base + (C / 2 + 1), Yc}}, Color);
  }
}

void TuxCustomLookAndFeelPainter::PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                                      TuxBorders Neighbors, const TuxPaintParams& ViewParams,
                                                      int Arrows, int SideWidth,
                                                      const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintHeader(Canvas, R, R, Neighbors, GetHeaderBorders(Neighbors), uxbsNormal, taCenter, vaCenter, false, false, Text,
              ViewParams.Font, ViewParams.TextColor, ViewParams.Color, OnDrawBackground);
  DrawMonthArrows(Canvas, R, Arrows, SideWidth, clWindowText);
}

// ---- standard painter ----

TColor TuxStandardLookAndFeelPainter::DefaultColor(int N) const {
  return N == 33 ? clWindow : TuxCustomLookAndFeelPainter::DefaultColor(N);
}

void TuxStandardLookAndFeelPainter::PaintBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  Canvas->DrawComplexFrame(Shrunk(R, 1), cl3DDkShadow, cl3DLight);
}

void TuxStandardLookAndFeelPainter::PaintButtonBorder(TuxCanvas* Canvas, const TRect& R0, TuxButtonState State) const {
  TRect R = R0;
  if (State == uxbsPressed) {
    Canvas->FrameRect(R, clBlack);
    Canvas->DrawComplexFrame(Shrunk(R, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (State == uxbsDefault) {
    Canvas->FrameRect(R, clBlack);
    R = Shrunk(R, 1);
  }
  Canvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  Canvas->DrawComplexFrame(Shrunk(R, 1), cl3DLight, clBtnShadow);
}

void TuxStandardLookAndFeelPainter::PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded,
                                                      TColor Color) const {
  Canvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  Canvas->DrawComplexFrame(Shrunk(R, 1), clBtnHighlight, clBtnShadow, uxbRight | uxbBottom);
  const TRect Face = uxRect(R.left + 1, R.top + 1, R.right - 2, R.bottom - 2);
  Canvas->FillRect(Face, Color == clDefault ? clBtnFace : Color);
  DrawExpandCross(Canvas, Face, Expanded, clBtnText);
  Canvas->ExcludeClipRect(R);
}

void TuxStandardLookAndFeelPainter::PaintGroupExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded,
                                                           TuxButtonState State) const {
  TuxFlatLookAndFeelPainter::Instance()->PaintGroupExpandButton(Canvas, R, Expanded, State);
}

void TuxStandardLookAndFeelPainter::PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState) const {
  Canvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight);
  Canvas->DrawComplexFrame(Shrunk(R, 1), clBtnShadow, clBtnHighlight);
}

void TuxStandardLookAndFeelPainter::PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors,
                                                      TuxBorders) const {
  Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  if (Neighbors & uxbLeft) {
    Canvas->SetPixel(R.left, R.top + 1, ColorToRGB(clBtnFace));
    Canvas->SetPixel(R.left, R.bottom - 2, ColorToRGB(clBtnFace));
  }
  if (Neighbors & uxbRight) {
    Canvas->SetPixel(R.right - 1, R.top, ColorToRGB(clBtnHighlight));
    Canvas->SetPixel(R.right - 1, R.top + 1, ColorToRGB(clBtnFace));
    Canvas->SetPixel(R.right - 1, R.bottom - 2, ColorToRGB(clBtnFace));
  }
}

void TuxStandardLookAndFeelPainter::PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders,
                                                             TuxButtonState State) const {
  if (State == uxbsPressed) {
    Canvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow, Borders);
  } else {
    Canvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow, Borders);
    Canvas->DrawComplexFrame(Shrunk(R, 1), cl3DLight, clBtnShadow, Borders);
  }
}

void TuxStandardLookAndFeelPainter::PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const {
  DrawSortingMark(Canvas, R, Ascending, clBtnHighlight, clBtnShadow);
}

void TuxStandardLookAndFeelPainter::PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TuxStandardLookAndFeelPainter::PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}

void TuxStandardLookAndFeelPainter::PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                              bool IsActive) const {
  if (State == uxbsPressed)
    Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  else
    Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  const TRect In = Shrunk(R, 1);
  Canvas->FillRect(In, clBtnFace);
  PaintDropDownArrow(Canvas, In, IsActive ? TColor(0xFF0000) : clBtnText);
}

void TuxStandardLookAndFeelPainter::PaintTabBorder(TuxCanvas* Canvas, const TRect& R0, TuxBorder Border,
                                                   TuxBorders Borders, bool Vertical) const {
  TRect R = R0;
  const TColor Hi = clBtnHighlight;
  if (Vertical) {
    if (Border == bLeft) {
      R.top += (Borders & uxbTop) ? 2 : 1;
      R.bottom -= (Borders & uxbBottom) ? 2 : 1;
      Canvas->SetPixel(R.left + 1, R.top - 1, ColorToRGB(Hi));
      Canvas->SetPixel(R.left + 1, R.bottom, ColorToRGB(Hi));
    } else if ((Border == bTop || Border == bBottom) && (Borders & uxbLeft)) {
      R.left += 1;
    }
    Canvas->FillRect(R, Border == bBottom ? clBtnShadow : Hi);
  } else {
    if (Border == bLeft || Border == bRight) {
      if (Borders & uxbTop) R.top += 2;
      if (Borders & uxbBottom) R.bottom -= 1;
    } else if (Border == bTop) {
      R.left += 1;
      R.right -= 1;
      Canvas->SetPixel(R.left - 1, R.top + 1, ColorToRGB(Hi));
      Canvas->SetPixel(R.right, R.top + 1, ColorToRGB(Hi));
    }
    Canvas->FillRect(R, Border == bRight ? clBtnShadow : Hi);
  }
}

void TuxStandardLookAndFeelPainter::PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, bool) const {
  Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, Borders);
}

static void PaintScrollTrack(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) {
  TBitmap* Pattern = State == uxbsPressed ? uxScrollBarDarkPattern() : uxScrollBarLightPattern();
  Canvas->Brush()->SetBitmap(Pattern);
  Canvas->FillRect(R);
  Canvas->Brush()->SetBitmap(nullptr);
  Canvas->Brush()->SetStyle(bsSolid);
}

void TuxStandardLookAndFeelPainter::PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R0,
                                                       TuxScrollBarHitPart Part, TuxButtonState State) const {
  if (uxIsRectEmpty(R0) || (Part == shpThumb && State == uxbsDisabled)) return;
  if (State == uxbsHot) State = uxbsNormal;
  auto Border = [&](const TRect& R, bool PressedLine) {
    if (PressedLine) {
      Canvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow);
      Canvas->DrawComplexFrame(Shrunk(R, 1), clBtnFace, clBtnFace);
    } else {
      Canvas->DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
      Canvas->DrawComplexFrame(Shrunk(R, 1), clBtnHighlight, clBtnShadow);
    }
  };
  switch (Part) {
    case shpPageUp: case shpPageDown:
      PaintScrollTrack(Canvas, R0, State);
      break;
    case shpThumb:
      Border(R0, false);
      Canvas->FillRect(Shrunk(R0, GetButtonBorderWidth(uxbsNormal)), clBtnFace);
      break;
    case shpLineUp: case shpLineDown: {
      TRect R = R0;
      if (State == uxbsPressed) R = uxRect(R.left + 1, R.top + 1, R.right + 1, R.bottom + 1);
      UINT S;
      if (Horizontal) S = Part == shpLineUp ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
      else S = Part == shpLineUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
      if (State == uxbsDisabled) S |= DFCS_INACTIVE;
      if (State == uxbsPressed) S |= DFCS_FLAT;
      DrawFrameControl(Canvas->Handle(), &R, DFC_SCROLL, S);
      Border(R0, State == uxbsPressed);
      break;
    }
    default: break;
  }
}

void TuxStandardLookAndFeelPainter::PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                                        TuxBorders Neighbors, const TuxPaintParams& ViewParams,
                                                        int Arrows, int SideWidth,
                                                        const TuxDrawBackgroundEvent& OnDrawBackground) const {
  TuxBorders Outer = uxAllBorders;
  if (Neighbors & uxbRight) Outer &= ~uxbRight;
  if (Neighbors & uxbLeft) Outer &= ~uxbLeft;
  Canvas->FrameRect(R, clBlack, 1, Outer);
  const TRect R2 = GetHeaderContentBounds(R, Outer);
  PaintHeader(Canvas, R2, R2, Neighbors, uxAllBorders, uxbsNormal, taCenter, vaCenter, false, false, Text,
              ViewParams.Font, ViewParams.TextColor, ViewParams.Color, OnDrawBackground, false);
  DrawMonthArrows(Canvas, R, Arrows, SideWidth, clWindowText);
}

void TuxStandardLookAndFeelPainter::PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R0,
                                                        const TuxPaintParams& ViewParams, bool Horizontal) const {
  TRect R = R0;
  auto step = [&] {
    if (Horizontal) R = uxRect(R.left - 1, R.top + 1, R.right + 1, R.bottom - 1);
    else R = uxRect(R.left + 1, R.top - 1, R.right - 1, R.bottom + 1);
  };
  auto edges = [&](TColor A, TColor B) {
    if (Horizontal) {
      Canvas->FillRect(uxRect(R.left, R.top, R.right, R.top + 1), A);
      Canvas->FillRect(uxRect(R.left, R.bottom - 1, R.right, R.bottom), B);
    } else {
      Canvas->FillRect(uxRect(R.left, R.top, R.left + 1, R.bottom), A);
      Canvas->FillRect(uxRect(R.right - 1, R.top, R.right, R.bottom), B);
    }
  };
  edges(clBtnFace, cl3DDkShadow);
  step();
  edges(clBtnHighlight, clBtnShadow);
  step();
  Canvas->FrameAndFillRect(R, ViewParams, 0, clDefault);
}

// ---- flat painter ----

void TuxFlatLookAndFeelPainter::PaintBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}

void TuxFlatLookAndFeelPainter::PaintButtonBorder(TuxCanvas* Canvas, const TRect& R0, TuxButtonState State) const {
  TRect R = R0;
  if (State == uxbsPressed) {
    Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    return;
  }
  if (State == uxbsDefault) {
    Canvas->FrameRect(R, clBlack);
    R = Shrunk(R, 1);
  }
  Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TuxFlatLookAndFeelPainter::PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor Color) const {
  PaintButton(Canvas, R, "", uxbsNormal, true, Color, clDefault);
  DrawExpandCross(Canvas, Shrunk(R, 1), Expanded, clBtnText);
  Canvas->ExcludeClipRect(R);
}

void TuxFlatLookAndFeelPainter::PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  Canvas->FrameRect(Shrunk(R, 1), GetCheckBoxFaceColor(State));
}

void TuxFlatLookAndFeelPainter::PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors,
                                                  TuxBorders Borders) const {
  TuxStandardLookAndFeelPainter::Instance()->PaintHeaderBorder(Canvas, R, Neighbors, Borders);
}

void TuxFlatLookAndFeelPainter::PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders,
                                                         TuxButtonState State) const {
  if (State == uxbsPressed)
    Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight, Borders);
  else
    Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, Borders);
}

void TuxFlatLookAndFeelPainter::PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const {
  DrawSortingMark(Canvas, R, Ascending, clBtnHighlight, clBtnShadow);
}
void TuxFlatLookAndFeelPainter::PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}
void TuxFlatLookAndFeelPainter::PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}
void TuxFlatLookAndFeelPainter::PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                          bool IsActive) const {
  TuxStandardLookAndFeelPainter::Instance()->PaintFilterDropDownButton(Canvas, R, State, IsActive);
}
void TuxFlatLookAndFeelPainter::PaintTabBorder(TuxCanvas* Canvas, const TRect& R, TuxBorder Border, TuxBorders Borders,
                                               bool Vertical) const {
  TuxStandardLookAndFeelPainter::Instance()->PaintTabBorder(Canvas, R, Border, Borders, Vertical);
}
void TuxFlatLookAndFeelPainter::PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders, bool Vertical) const {
  TuxStandardLookAndFeelPainter::Instance()->PaintTabArea(Canvas, R, Borders, Vertical);
}

// Flat and ultra-flat scroll-bar parts; Shrink tells whether the arrow is
// drawn inside the button border.
static void FlatScrollBarPart(const TuxCustomLookAndFeelPainter* P, TuxCanvas* Canvas, bool Horizontal,
                              const TRect& R0, TuxScrollBarHitPart Part, TuxButtonState State, bool HotAsNormal,
                              bool Shrink) {
  if (uxIsRectEmpty(R0) || (Part == shpThumb && State == uxbsDisabled)) return;
  if (HotAsNormal && State == uxbsHot) State = uxbsNormal;
  switch (Part) {
    case shpLineUp: case shpLineDown: case shpThumb: {
      P->PaintButton(Canvas, R0, "", State, true, clDefault, clDefault);
      if (Part == shpThumb) break;
      const TRect R = Shrink ? Shrunk(R0, P->GetButtonBorderWidth(uxbsNormal)) : R0;
      TuxArrowDir D = Horizontal ? (Part == shpLineUp ? adrLeft : adrRight) : (Part == shpLineUp ? adrUp : adrDown);
      P->PaintStateArrow(Canvas, R, State, D);
      break;
    }
    case shpPageUp: case shpPageDown:
      PaintScrollTrack(Canvas, R0, State);
      break;
    default: break;
  }
}

void TuxFlatLookAndFeelPainter::PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R,
                                                   TuxScrollBarHitPart Part, TuxButtonState State) const {
  FlatScrollBarPart(this, Canvas, Horizontal, R, Part, State, true, true);
}

void TuxFlatLookAndFeelPainter::PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R0,
                                                    const TuxPaintParams& ViewParams, bool Horizontal) const {
  TRect R = R0;
  if (Horizontal) {
    Canvas->FillRect(uxRect(R.left, R.top, R.right, R.top + 1), clBtnHighlight);
    Canvas->FillRect(uxRect(R.left, R.bottom - 1, R.right, R.bottom), clBtnShadow);
    R = uxRect(R.left - 1, R.top + 1, R.right + 1, R.bottom - 1);
  } else {
    Canvas->FillRect(uxRect(R.left, R.top, R.left + 1, R.bottom), clBtnHighlight);
    Canvas->FillRect(uxRect(R.right - 1, R.top, R.right, R.bottom), clBtnShadow);
    R = uxRect(R.left + 1, R.top - 1, R.right - 1, R.bottom + 1);
  }
  Canvas->FrameAndFillRect(R, ViewParams, 0, clDefault);
}

// ---- ultra-flat painter ----

TColor TuxUltraFlatLookAndFeelPainter::DefaultColor(int N) const {
  return N == 31 ? clBtnShadow : TuxCustomLookAndFeelPainter::DefaultColor(N);
}

TColor TuxUltraFlatLookAndFeelPainter::GetButtonFaceColor(TuxButtonState State) const {
  if (State == uxbsHot) return uxHotTrackColor();
  if (State == uxbsPressed) return uxPressedColor();
  return clBtnFace;
}

TRect TuxUltraFlatLookAndFeelPainter::GetButtonFocusRect(TuxCanvas*, const TRect& R) const {
  const TRect F = Shrunk(R, 3);
  return uxIsRectEmpty(F) ? R : F;
}

TRect TuxUltraFlatLookAndFeelPainter::GetButtonGroupBorderWidths(int ButtonCount, int ButtonIndex) const {
  TRect W = uxRect(1, 2, 1, 2);
  if (ButtonIndex == 0) W.left = 2;
  else if (ButtonIndex == ButtonCount - 1) W.right = 2;
  return W;
}

TColor TuxUltraFlatLookAndFeelPainter::GetButtonSymbolColor(TuxButtonState State, TColor DefaultColor) const {
  if (State == uxbsPressed) return clHighlightText;
  return TuxCustomLookAndFeelPainter::GetButtonSymbolColor(State, DefaultColor);
}

TuxBorders TuxUltraFlatLookAndFeelPainter::GetHeaderBorders(TuxBorders Neighbors) const {
  TuxBorders B = uxAllBorders;
  if (Neighbors & uxbLeft) B &= ~uxbLeft;
  if (Neighbors & uxbTop) B &= ~uxbTop;
  return B;
}

void TuxUltraFlatLookAndFeelPainter::PaintBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FrameRect(R, clBtnShadow);
}

void TuxUltraFlatLookAndFeelPainter::PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  if (State == uxbsDefault) {
    Canvas->FrameRect(R, clWindowFrame);
    Canvas->FrameRect(Shrunk(R, 1), clWindowFrame);
    return;
  }
  TColor C = clHighlight;
  if (State == uxbsNormal) C = clBtnText;
  else if (State == uxbsDisabled) C = clBtnShadow;
  Canvas->FrameRect(R, C);
}

void TuxUltraFlatLookAndFeelPainter::PaintGroupButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                      int ButtonCount, int ButtonIndex, TColor BorderColor) const {
  const bool First = ButtonIndex == 0, Last = ButtonIndex == ButtonCount - 1;
  TRect Rp = uxRect(R.left + (First ? 1 : 0), R.top + 1, R.right - (Last ? 1 : 0), R.bottom - 1);
  if (State == uxbsNormal || State == uxbsDisabled) {
    Canvas->FrameRect(Rp, BorderColor);
    Rp = Shrunk(Rp, 1);
  } else {
    if (!First) {
      Canvas->FillRect(uxRect(Rp.left, Rp.top, Rp.left + 1, Rp.bottom), GetHighlightBorderColor());
      ++Rp.left;
    }
    if (!Last) {
      Canvas->FillRect(uxRect(Rp.right - 1, Rp.top, Rp.right, Rp.bottom), GetHighlightBorderColor());
      --Rp.right;
    }
  }
  Canvas->FillRect(Rp, GetButtonFaceColor(State));
}

void TuxUltraFlatLookAndFeelPainter::PaintButtonGroupBorder(TuxCanvas* Canvas, const TRect& R, bool Emphasized,
                                                            bool Highlighted) const {
  Canvas->FrameRect(R, Emphasized ? clBtnText : Highlighted ? GetHighlightBorderColor() : clBtnShadow);
}

void TuxUltraFlatLookAndFeelPainter::PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded,
                                                       TColor Color) const {
  Canvas->FrameRect(R, clBtnShadow);
  const TRect In = Shrunk(R, 1);
  Canvas->FillRect(In, Color == clDefault ? clBtnFace : Color);
  DrawExpandCross(Canvas, In, Expanded, clBtnText);
  Canvas->ExcludeClipRect(R);
}

void TuxUltraFlatLookAndFeelPainter::PaintCheckBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  Canvas->FrameRect(R, clBtnText);
  Canvas->FrameRect(Shrunk(R, 1), GetCheckBoxFaceColor(State));
}

void TuxUltraFlatLookAndFeelPainter::PaintHeaderItem(TuxCanvas* Canvas, const TRect& Bounds,
                                                     const TRect& TextAreaBounds, TuxBorders Neighbors,
                                                     TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz,
                                                     TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                                     const AnsiString& Text, TFont* Font, TColor TextColor,
                                                     TColor BkColor,
                                                     const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintContent(Canvas, Bounds, Shrunk(TextAreaBounds, 1), State, AlignHorz, AlignVert, MultiLine, ShowEndEllipsis, Text,
               Font, TextColor, BkColor, OnDrawBackground, false);
  PaintHeaderBorder(Canvas, Shrunk(Bounds, 1), Neighbors, Borders);
}

void TuxUltraFlatLookAndFeelPainter::PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders,
                                                       TuxBorders Borders) const {
  Canvas->FrameRect(R, clBtnText, 1, (Borders & (uxbLeft | uxbTop)) | uxbRight | uxbBottom);
}

void TuxUltraFlatLookAndFeelPainter::PaintHeaderSectionBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders,
                                                              TuxButtonState State) const {
  Canvas->FrameRect(R, State == uxbsDisabled ? clBtnShadow : clBlack, 1, Borders);
}

void TuxUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TuxCanvas* Canvas, const TRect& R,
                                                               const TRect& TextAreaBounds, TuxButtonState State,
                                                               TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                                               bool MultiLine, bool ShowEndEllipsis,
                                                               const AnsiString& Text, TFont* Font, TColor TextColor,
                                                               TColor BkColor) const {
  if (State != uxbsDefault && State != uxbsNormal) BkColor = GetButtonFaceColor(State);
  Canvas->FillRect(R, BkColor);
  PaintHeaderSectionText(Canvas, TextAreaBounds, State, AlignHorz, AlignVert, MultiLine, ShowEndEllipsis, Text, Font,
                         TextColor);
}

void TuxUltraFlatLookAndFeelPainter::PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const {
  DrawSortingMark(Canvas, R, Ascending, clBtnShadow, clBtnShadow);
}

void TuxUltraFlatLookAndFeelPainter::PaintFooterBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FrameRect(R, GetFooterSeparatorColor(), 1, uxbRight | uxbBottom);
}

void TuxUltraFlatLookAndFeelPainter::PaintFooterCellBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FrameRect(R, GetFooterSeparatorColor());
}

void TuxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                               bool IsActive) const {
  Canvas->FrameRect(R, GetButtonFrameColor(State));
  const TRect In = Shrunk(R, 1);
  Canvas->FillRect(In, GetButtonFaceColor(State));
  PaintDropDownArrow(Canvas, In, IsActive ? TColor(0xFF0000) : GetButtonSymbolColor(State));
}

void TuxUltraFlatLookAndFeelPainter::PaintTabBorder(TuxCanvas* Canvas, const TRect& R0, TuxBorder Border, TuxBorders,
                                                    bool Vertical) const {
  TRect R = R0;
  const bool Dark = (Vertical && Border == bBottom) || (!Vertical && Border == bRight);
  if (!Vertical && Border == bRight) R.bottom -= GetTabBorderWidth(Vertical);
  Canvas->FillRect(R, Dark ? GetTabDarkBorderColor() : GetTabBorderColor());
}

void TuxUltraFlatLookAndFeelPainter::PaintTabArea(TuxCanvas* Canvas, const TRect& R, TuxBorders Borders,
                                                  bool Vertical) const {
  Canvas->FrameRect(R, GetTabBorderColor(), GetTabBorderWidth(Vertical), Borders);
}

void TuxUltraFlatLookAndFeelPainter::PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R,
                                                        TuxScrollBarHitPart Part, TuxButtonState State) const {
  FlatScrollBarPart(this, Canvas, Horizontal, R, Part, State, false, false);
}

void TuxUltraFlatLookAndFeelPainter::PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  PaintButton(Canvas, R, "", State, State == uxbsHot || State == uxbsPressed, clDefault, clDefault);
}

void TuxUltraFlatLookAndFeelPainter::PaintSplitterBorder(TuxCanvas* Canvas, const TRect& R0,
                                                         const TuxPaintParams& ViewParams, bool Horizontal) const {
  TRect R = R0;
  const TColor C = DefaultColor(31);
  if (Horizontal) {
    Canvas->FillRect(uxRect(R.left, R.top, R.right, R.top + 1), C);
    Canvas->FillRect(uxRect(R.left, R.bottom - 1, R.right, R.bottom), C);
    R = uxRect(R.left - 1, R.top + 1, R.right + 1, R.bottom - 1);
  } else {
    Canvas->FillRect(uxRect(R.left, R.top, R.left + 1, R.bottom), C);
    Canvas->FillRect(uxRect(R.right - 1, R.top, R.right, R.bottom), C);
    R = uxRect(R.left + 1, R.top - 1, R.right - 1, R.bottom + 1);
  }
  Canvas->FrameAndFillRect(R, ViewParams, 0, clDefault);
}

// ---- Office 2003 painter ----

TColor TuxOffice11LookAndFeelPainter::DefaultColor(int N) const {
  switch (N) {
    case 7: return Office11FloatingFrameOuterColor;
    case 8: return Office11CaptionTextColor;
    case 10: case 26: case 43: return Office11DockColor1;
    case 11: return DefaultColor(18);
    case 13: return Office11DefaultColor13;
    case 15: return Office11SubItemColor;
    case 16: return Office11BarColor1;
    case 17: return GetHeaderBackgroundColor();
    case 19: return DefaultColor(15);
    case 27: return Office11DefaultColor27;
    case 28: return clWindowText;
    case 31: return Office11DefaultColor31;
    case 32: return Office11DefaultColor32;
    case 38: return Office11DockColor2;
    case 40: return DefaultColor(38);
    case 45: return DefaultColor(32);
    default: return TuxUltraFlatLookAndFeelPainter::DefaultColor(N);
  }
}

TColor TuxOffice11LookAndFeelPainter::GetButtonFrameColor(TuxButtonState State) const {
  return State == uxbsNormal ? GetHeaderDarkEdgeColor() : Office11SelectedBorderColor;
}
TColor TuxOffice11LookAndFeelPainter::GetHighlightBorderColor() const { return Office11SelectedBorderColor; }
TColor TuxOffice11LookAndFeelPainter::GetHeaderBottomColor() const { return Office11BarColor2; }
TColor TuxOffice11LookAndFeelPainter::GetHeaderDarkEdgeColor() const { return Office11SeparatorDarkColor; }
TColor TuxOffice11LookAndFeelPainter::GetHeaderLightEdgeColor() const { return Office11SeparatorLightColor; }
TColor TuxOffice11LookAndFeelPainter::GetHeaderBackgroundColor() const {
  return MixColorsByPercent(Office11BarColor1, Office11BarColor2, 50);
}

TColor TuxOffice11LookAndFeelPainter::GetButtonFaceColor(TuxButtonState State) const {
  switch (State) {
    case uxbsHot: return Office11HotGradientColor1;
    case uxbsPressed: return Office11DownGradientColor1;
    case uxbsDisabled: return clBtnFace;
    default: return Office11DockColor1;
  }
}

TColor TuxOffice11LookAndFeelPainter::GetButtonSymbolColor(TuxButtonState State, TColor) const {
  if (State == uxbsPressed && !IsOffice11SchemeActive()) return clHighlightText;
  if (State == uxbsDisabled) return Office11DisabledTextColor;
  return Office11TextColor;
}

TColor TuxOffice11LookAndFeelPainter::GetCheckBoxFaceColor(TuxButtonState State) const {
  if (State == uxbsHot || State == uxbsPressed || State == uxbsDisabled) return GetButtonFaceColor(State);
  return TuxCustomLookAndFeelPainter::GetCheckBoxFaceColor(State);
}

void TuxOffice11LookAndFeelPainter::PaintContent(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                                 TuxButtonState State, TAlignment AlignHorz, TuxAlignmentVert AlignVert,
                                                 bool MultiLine, bool ShowEndEllipsis, const AnsiString& Text,
                                                 TFont* Font, TColor TextColor, TColor,
                                                 const TuxDrawBackgroundEvent& OnDrawBackground,
                                                 bool IsFooterPart) const {
  if (!(OnDrawBackground && OnDrawBackground(Canvas, Bounds))) {
    TColor F, G;
    if (State == uxbsHot) F = G = Office11BarColor1;
    else {
      F = GetHeaderBackgroundColor();
      G = GetHeaderBottomColor();
    }
    if (IsFooterPart) {
      Canvas->FillRect(Bounds, F);
    } else {
      Canvas->FillRect(uxRect(Bounds.left, Bounds.top, Bounds.right, Bounds.bottom - 3), F);
      FillGradientRect(Canvas->Handle(), uxRect(Bounds.left, Bounds.bottom - 4, Bounds.right, Bounds.bottom), F, G, false);
    }
  }
  if (!Text.empty()) {
    Canvas->Brush()->SetStyle(bsClear);
    if (Font) Canvas->SetFont(Font);
    Canvas->Font()->SetColor(TextColor);
    Canvas->DrawText(Text, TextAreaBounds, PlacementFlags(AlignHorz, AlignVert, MultiLine, ShowEndEllipsis));
    Canvas->Brush()->SetStyle(bsSolid);
  }
  if (State == uxbsHot)
    FillGradientRect(Canvas->Handle(), uxRect(Bounds.left - 1, Bounds.bottom - 2, Bounds.right, Bounds.bottom + 1),
                     Office11HotGradientColor1, Office11HotGradientColor2, false);
}

void TuxOffice11LookAndFeelPainter::PaintBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FrameRect(R, Office11ContainerBorderColor);
}

void TuxOffice11LookAndFeelPainter::PaintContainerBorder(TuxCanvas* Canvas, const TRect& R) const {
  Canvas->FrameRect(R, DefaultColor(31));
}

void TuxOffice11LookAndFeelPainter::PaintButtonBorder(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  if (State == uxbsDefault) {
    TuxUltraFlatLookAndFeelPainter::PaintButtonBorder(Canvas, R, State);
    return;
  }
  TColor C = Office11SelectedBorderColor;
  if (State == uxbsNormal) C = clBtnText;
  else if (State == uxbsDisabled) C = Office11DisabledTextColor;
  Canvas->FrameRect(R, C);
}

void TuxOffice11LookAndFeelPainter::PaintExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor) const {
  TBitmap* B = Expanded ? Office11ExpandButtonMinusBitmap : Office11ExpandButtonPlusBitmap;
  if (!B) return;
  const TColor TL = Canvas->Pixel(R.left, R.top), BR = Canvas->Pixel(R.right - 1, R.bottom - 1);
  TCanvas* C = B->Canvas();
  C->SetPixel(0, 0, MixColorsByPercent(Office11ExpandButtonLightColor, TL, 25));
  const TColor Dark = MixColorsByPercent(Office11ExpandButtonDarkColor, BR, 25);
  C->SetPixel(10, 10, Dark);
  C->SetPixel(0, 10, Dark);
  C->SetPixel(10, 0, Dark);
  Canvas->Draw(R.left, R.top, B);
}

void TuxOffice11LookAndFeelPainter::PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor,
                                                           TColor Color) const {
  PaintExpandButton(Canvas, R, Expanded, Color);
}

void TuxOffice11LookAndFeelPainter::PaintFilterDropDownButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State,
                                                              bool IsActive) const {
  TuxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(Canvas, R, State, IsActive);
}

void TuxOffice11LookAndFeelPainter::PaintHeader(TuxCanvas* Canvas, const TRect& Bounds, const TRect& TextAreaBounds,
                                                TuxBorders Neighbors, TuxBorders Borders, TuxButtonState State,
                                                TAlignment AlignHorz, TuxAlignmentVert AlignVert, bool MultiLine,
                                                bool ShowEndEllipsis, const AnsiString& Text, TFont* Font,
                                                TColor TextColor, TColor BkColor, const TuxDrawBackgroundEvent&,
                                                bool IsLast) const {
  TuxCustomLookAndFeelPainter::PaintHeader(Canvas, Bounds, TextAreaBounds, Neighbors, Borders, State, AlignHorz,
                                           AlignVert, MultiLine, ShowEndEllipsis, Text, Font, TextColor, BkColor,
                                           nullptr, IsLast);
}

void TuxOffice11LookAndFeelPainter::PaintHeaderBorder(TuxCanvas* Canvas, const TRect& R, TuxBorders Neighbors,
                                                      TuxBorders Borders) const {
  const TColor B = GetHeaderBackgroundColor(), E = GetHeaderBottomColor(), D = GetHeaderDarkEdgeColor(),
               L = GetHeaderLightEdgeColor();
  auto Column = [&](int X, int Y1, int Y2, TColor C) {  // rows Y1..Y2 inclusive
    if (Y2 >= Y1) Canvas->FillRect(uxRect(X, Y1, X + 1, Y2 + 1), C);
  };
  if (Borders & uxbTop) Canvas->FillRect(uxRect(R.left, R.top, R.right, R.top + 1), B);
  if (Borders & uxbBottom) Canvas->FillRect(uxRect(R.left, R.bottom - 1, R.right, R.bottom), D);
  if (Borders & uxbLeft) {
    const int X = R.left;
    if (Neighbors & uxbLeft) {
      Column(X, R.top + 1, R.top + 1, B);
      Column(X, R.top + 2, R.bottom - 4, L);
      Column(X, R.bottom - 3, R.bottom - 3, MixColorsByPercent(B, E, 25));
      Column(X, R.bottom - 2, R.bottom - 2, E);
    } else {
      Column(X, R.top + 1, R.bottom - 3, L);
      Column(X, R.bottom - 2, R.bottom - 2, E);
    }
  }
  if (Borders & uxbRight) {
    const int X = R.right - 1;
    if (Neighbors & uxbRight) {
      Column(X, R.top + 1, R.top + 1, B);
      Column(X, R.top + 2, R.bottom - 4, D);
      Column(X, R.bottom - 3, R.bottom - 3, MixColorsByPercent(B, E, 25));
      Column(X, R.bottom - 2, R.bottom - 2, E);
    } else {
      Column(X, R.top, R.top, MixColorsByPercent(B, D, 50));
      Column(X, R.top + 1, R.bottom - 3, D);
      Column(X, R.bottom - 2, R.bottom - 2, MixColorsByPercent(E, D, 50));
    }
  }
}

void TuxOffice11LookAndFeelPainter::PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds,
                                                       const TRect& TextAreaBounds, TuxBorders Neighbors,
                                                       TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz,
                                                       TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                                       const AnsiString& Text, TFont* Font, TColor TextColor,
                                                       TColor BkColor) const {
  PaintHeader(Canvas, Bounds, TextAreaBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              ShowEndEllipsis, Text, Font, TextColor, BkColor, nullptr, false);
  if (State == uxbsPressed) PaintHeaderPressed(Canvas, Bounds);
}

void TuxOffice11LookAndFeelPainter::PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const {
  DrawSortingMark(Canvas, R, Ascending, GetHeaderLightEdgeColor(), GetHeaderDarkEdgeColor());
}

void TuxOffice11LookAndFeelPainter::PaintScrollBarPart(TuxCanvas* Canvas, bool Horizontal, const TRect& R,
                                                       TuxScrollBarHitPart Part, TuxButtonState State) const {
  if (AreVisualStylesAvailable(kxThemeKind(tckScrollBar)))
    TuxWinXPLookAndFeelPainter::Instance()->PaintScrollBarPart(Canvas, Horizontal, R, Part, State);
  else
    TuxStandardLookAndFeelPainter::Instance()->PaintScrollBarPart(Canvas, Horizontal, R, Part, State);
}

void TuxOffice11LookAndFeelPainter::PaintToolButton(TuxCanvas* Canvas, const TRect& R, TuxButtonState State) const {
  TuxWinXPLookAndFeelPainter::Instance()->PaintToolButton(Canvas, R, State);
}

void TuxOffice11LookAndFeelPainter::PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                                        TuxBorders, const TuxPaintParams& ViewParams, int Arrows,
                                                        int SideWidth,
                                                        const TuxDrawBackgroundEvent& OnDrawBackground) const {
  const TRect R2 = Shrunk(R, 1);
  if (!(OnDrawBackground && OnDrawBackground(Canvas, R2))) Canvas->FrameAndFillRect(R2, ViewParams, 0, clDefault);
  if (!Text.empty()) {
    Canvas->Brush()->SetStyle(bsClear);
    if (ViewParams.Font) Canvas->SetFont(ViewParams.Font);
    Canvas->Font()->SetColor(ViewParams.TextColor);
    Canvas->DrawText(Text, R2, ctfHCenter | ctfVCenter | ctfSingleLine);
    Canvas->Brush()->SetStyle(bsSolid);
  }
  DrawMonthArrows(Canvas, R, Arrows, SideWidth, clWindowText);
}

// ---- native-theme painter (classic fallback) ----

void TuxWinXPLookAndFeelPainter::PaintThemedText(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                                 unsigned Flags) const {
  Canvas->DrawText(Text, R, Flags);
}

TColor TuxWinXPLookAndFeelPainter::DefaultColor(int N) const {
  return N == 33 ? TColor(0xD5FFFF) : TuxStandardLookAndFeelPainter::DefaultColor(N);  // RGB(255,255,213)
}

void TuxWinXPLookAndFeelPainter::PaintSortingMark(TuxCanvas* Canvas, const TRect& R, bool Ascending) const {
  TuxUltraFlatLookAndFeelPainter::Instance()->PaintSortingMark(Canvas, R, Ascending);
}

void TuxWinXPLookAndFeelPainter::PaintHeaderSection(TuxCanvas* Canvas, const TRect& Bounds,
                                                    const TRect& TextAreaBounds, TuxBorders Neighbors,
                                                    TuxBorders Borders, TuxButtonState State, TAlignment AlignHorz,
                                                    TuxAlignmentVert AlignVert, bool MultiLine, bool ShowEndEllipsis,
                                                    const AnsiString& Text, TFont* Font, TColor TextColor,
                                                    TColor BkColor) const {
  Canvas->FillRect(Bounds, clBtnFace);
  PaintHeader(Canvas, Bounds, TextAreaBounds, Neighbors, Borders, State, AlignHorz, AlignVert, MultiLine,
              ShowEndEllipsis, Text, Font, TextColor, BkColor, nullptr, false);
}

void TuxWinXPLookAndFeelPainter::PaintSmallExpandButton(TuxCanvas* Canvas, const TRect& R, bool Expanded, TColor,
                                                        TColor Color) const {
  // Without the tree-view theme: the base button framed in Color, not filled.
  TuxCustomLookAndFeelPainter::PaintSmallExpandButton(Canvas, R, Expanded, Color, clDefault);
}

void TuxWinXPLookAndFeelPainter::PaintIndicatorItem(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind,
                                                    TColor BkColor,
                                                    const TuxDrawBackgroundEvent& OnDrawBackground) const {
  TuxFlatLookAndFeelPainter::Instance()->PaintIndicatorItem(Canvas, R, Kind, BkColor, OnDrawBackground);
}

void TuxWinXPLookAndFeelPainter::PaintCalendarHeader(TuxCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                                     TuxBorders Neighbors, const TuxPaintParams& ViewParams,
                                                     int Arrows, int SideWidth,
                                                     const TuxDrawBackgroundEvent& OnDrawBackground) const {
  PaintHeader(Canvas, R, R, Neighbors, uxAllBorders, uxbsNormal, taCenter, vaCenter, false, false, Text,
              ViewParams.Font, ViewParams.TextColor, ViewParams.Color, OnDrawBackground, !(Neighbors & uxbRight));
  DrawMonthArrows(Canvas, R, Arrows, SideWidth, clWindowText);
}
