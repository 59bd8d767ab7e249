// The Tabs style: raised 3-D tabs standing on a 3-D page frame, the main tab
// larger and joined to the page; with the native look and feel and visual
// styles, tabs composed off-screen from the theme and turned to their side.
#include <algorithm>

#include "framework/uxgraphics.h"
#include "framework/uxpainters.h"
#include "framework/uxthemes.h"
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

namespace {

bool IsKind(int Kind, std::initializer_list<int> Kinds) {
  return std::find(Kinds.begin(), Kinds.end(), Kind) != Kinds.end();
}

constexpr int TABP_PANE = 9, WP_SMALLCLOSEBUTTON = 19, SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3,
              SPNP_DOWNHORZ = 4;

}  // namespace

TuxPainterStyle uxPCLookAndFeelStyle(TuxLookAndFeel* LookAndFeel) {
  if (!LookAndFeel) return psStandard;
  return LookAndFeel->GetAvailablePainter(kxThemeKind(tckTab))->GetPainterStyle();
}

PV_PC_PAINTER_CLASS_OBJECT(TuxPCTabsPainter)

bool TuxPCTabsPainter::Meta::IsDefaultForLookAndFeel(TuxLookAndFeel* LookAndFeel) const {
  const TuxPainterStyle S = uxPCLookAndFeelStyle(LookAndFeel);
  return S == psStandard || S == psNative;
}

bool TuxPCTabsPainter::Meta::IsFallbackForLookAndFeel(TuxLookAndFeel* LookAndFeel) const {
  return LookAndFeel && LookAndFeel->NativeStyle();
}

// ---------------------------------------------------------------------------
// metrics

void TuxPCTabsPainter::GetTabRectCorrection(int VisibleIndex, int (&D)[4]) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (!T->IsMain()) {
    for (int& X : D) X = 0;
    return;
  }
  static const int Corrections[4][4] = {{-2, -2, 2, 1}, {-2, -1, 2, 2}, {-2, -2, 1, 2}, {-1, -2, 2, 2}};
  for (int i = 0; i < 4; ++i) D[i] = Corrections[T->Side()][i];
}

void TuxPCTabsPainter::GetDisplayIndents(TRect& R) {
  TuxPCStandardPainter::GetDisplayIndents(R);
  if (!IsNativePainting()) return;
  TRect M;
  GetThemedPaneIndents(M);
  switch (FOwnerControl->TabPosition()) {
    case tpBottom: M = pcRect(M.right, M.bottom, M.left, M.top); break;
    case tpLeft: M = pcRect(M.bottom, M.left, M.top, M.right); break;
    case tpRight: M = pcRect(M.top, M.right, M.bottom, M.left); break;
    default: break;
  }
  R = pcRect(R.left - 2 + M.left, R.top - 2 + M.top, R.right - 2 + M.right, R.bottom - 2 + M.bottom);
}

void TuxPCTabsPainter::GetClientIndents(TRect& R) {
  TuxPCStandardPainter::GetClientIndents(R);
  if (!FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0) R.top -= 1;
}

void TuxPCTabsPainter::GetTabContentIndents(int VisibleIndex, TRect& R) {
  TuxPCStandardPainter::GetTabContentIndents(VisibleIndex, R);
  if (IsKind(VisibleTab(VisibleIndex)->DrawKind(), {5, 7, 10})) R.bottom += 1;
}

void TuxPCTabsPainter::GetTabSizeExtra(int VisibleIndex, TuxPCPair& Pair) {
  Pair = {};
  TuxTab* T = VisibleTab(VisibleIndex);
  if (!FOwnerControl->Rotate() || !T->IsMain()) return;
  Pair = IsKind(T->DrawKind(), {3, 6, 11}) ? TuxPCPair{2, 1} : TuxPCPair{1, 2};
}

void TuxPCTabsPainter::GetTabFrameIndents(int VisibleIndex, TRect& R) {
  TuxPCStandardPainter::GetTabFrameIndents(VisibleIndex, R);
  TuxTab* T = VisibleTab(VisibleIndex);
  if (IsKind(T->DrawKind(), {5, 7, 10})) R.bottom += 1;
  if (T->IsMain() && GetRotatedImageSize().cx == 0) R.left += 2;
}

TColor TuxPCTabsPainter::GetTabColor(int VisibleIndex) {
  if (VisibleTab(VisibleIndex)->Highlighted()) return HighlightColor();
  const TColor C = GetTabBaseColor(VisibleIndex);
  return C == clDefault ? clBtnFace : C;
}

TuxRegion* TuxPCTabsPainter::GetTabClipRegion(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  TRect R = T->VisibleRect();
  if (T->IsMain() && !pcIsEmpty(R)) R = uxPCTowardsPage(R, T->Side(), 1);
  return new TuxRegion(R);
}

TuxRegionCombineOperation TuxPCTabsPainter::GetTabClipRegionOperation(int VisibleIndex) {
  return VisibleTab(VisibleIndex)->IsMain() ? rcoCopy : rcoIntersect;
}

void TuxPCTabsPainter::GetTextIndents(int VisibleIndex, TuxPCPair& Pair) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (!T->IsMain())
    Pair = {3, 3};
  else
    Pair = FOwnerControl->Rotate() ? TuxPCPair{4, 5} : TuxPCPair{5, 5};
  if (IsKind(T->DrawKind(), {3, 6, 11})) std::swap(Pair.First, Pair.Second);
}

void TuxPCTabsPainter::GetThemeTabPartAndState(int VisibleIndex, int& Part, int& State) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const bool OneLine = !FOwnerControl->MultiLine() || FOwnerControl->RowCount() < 2;
  const bool ByControl = OneLine || FOwnerControl->RaggedRight();
  TuxPCLineIndexBoundsArray Rows;
  GetRowBounds(Rows);
  int First = VisibleIndex, Last = VisibleIndex;
  if (T->DrawnRow >= 0 && T->DrawnRow < int(Rows.size())) {
    First = Rows[std::size_t(T->DrawnRow)].First;
    Last = Rows[std::size_t(T->DrawnRow)].Last;
  }
  if (ByControl) Last = FOwnerControl->VisibleTabs()->Count() - 1;
  int Place = 1;
  if (VisibleIndex == First)
    Place = 0;
  else if (VisibleIndex == Last && !(ByControl && T->IsMain()))
    Place = 2;
  static const int Parts[2][3] = {{2, 1, 3}, {6, 5, 7}};
  Part = Parts[T->IsMain() ? 1 : 0][Place];
  State = T->IsMain() ? 3 : T->IsHot() ? 2 : 1;
}

void TuxPCTabsPainter::CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) {
  TRect Area = ControlBounds();
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  if (!FOwnerControl->MultiLine() && !Buttons.Empty()) CutNavigatorArea(Area, GetNavigatorAreaLength(Buttons));
  Params.TabsArea = Area;
  TRect Rows = Area;
  switch (FOwnerControl->TabPosition()) {
    case tpTop: Rows.top += 2; break;
    case tpBottom: Rows.bottom -= 2; break;
    case tpLeft: Rows.left += 2; break;
    case tpRight: Rows.right -= 2; break;
  }
  if (Horizontal) {
    Rows.left += 2;
    Rows.right -= 2;
  } else {
    Rows.top += 2;
    Rows.bottom -= 2;
  }
  Params.RowsRect = Rows;
  Params.RowLength = (Horizontal ? Area.Width() : Area.Height()) - 4;
  const bool Near = FOwnerControl->TabPosition() == tpTop || FOwnerControl->TabPosition() == tpLeft;
  Params.NearAreaExtension = Near ? 1 : 0;
  Params.FarAreaExtension = Near ? 0 : -1;
  Params.AreaGap = 0;
  CalculateNavigatorButtons(Buttons);
}

int TuxPCTabsPainter::GetTabContentHeight() {
  return TuxPCStandardPainter::GetTabContentHeight() - (FOwnerControl->Rotate() ? 2 : 3);
}

void TuxPCTabsPainter::SetTabContentRects(int VisibleIndex, const TRect& ImageRect, const TRect& TextRect) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (IsNativePainting() && T->IsMain() && IsKind(T->DrawKind(), {5, 7, 10}))
    TuxPCStandardPainter::SetTabContentRects(VisibleIndex, pcOffset(ImageRect, 0, 1), pcOffset(TextRect, 0, 1));
  else
    TuxPCStandardPainter::SetTabContentRects(VisibleIndex, ImageRect, TextRect);
}

void TuxPCTabsPainter::InvalidateTab(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->VisibleRect();
  if (!pcIsEmpty(R)) InvalidateBounds(uxPCTowardsPage(R, T->Side(), 1));
}

bool TuxPCTabsPainter::IsNativePainting() {
  return !FOwnerControl->IsDestroying() && FOwnerControl->LookAndFeel() && FOwnerControl->LookAndFeel()->NativeStyle() &&
         AreVisualStylesAvailable() && kxOpenThemeOfKind(tckTab) != 0;
}

void TuxPCTabsPainter::RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (ChangeKind == tckMain && !T->IsMain()) {
    if (IsVerticalCaption()) FreeRotatedCaptionBitmap(T);
    // The tab was larger while it was the main tab.
    InvalidateBounds(pcInflate(T->FullRect(), 2, 2));
    return;
  }
  TuxPCStandardPainter::RepaintTab(VisibleIndex, ChangeKind);
}

void TuxPCTabsPainter::GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  GetFixedGlyphOffset(Button, Offset);
}

int TuxPCTabsPainter::GetNavigatorButtonThickness() { return IsNativePainting() ? 17 : 20; }

int TuxPCTabsPainter::GetNavigatorButtonLength(TuxPCNavigatorButton Button) {
  if (!IsNativePainting()) return TuxPCStandardPainter::GetNavigatorButtonLength(Button);
  if (Button != nbGoDialog) return 17;
  SIZE S{};
  if (GetThemePartSize(kxOpenThemeOfKind(tckSpin), Canvas()->Handle(), SPNP_DOWN, 1, 1, S) == 0 && S.cx > 0)
    return S.cx;
  return 17;
}

// ---------------------------------------------------------------------------
// the classic drawing

TPoint TuxPCTabsPainter::TurnTabPoint(const TRect& R, TuxTabPosition Side, int Along, int Across) {
  switch (Side) {
    case tpLeft: return pcPoint(R.left + Across, R.top + Along);
    case tpRight: return pcPoint(R.right - 1 - Across, R.top + Along);
    case tpBottom: return pcPoint(R.left + Along, R.bottom - 1 - Across);
    default: return pcPoint(R.left + Along, R.top + Across);
  }
}

void TuxPCTabsPainter::DrawTurnedLine(const TRect& R, TuxTabPosition Side, std::initializer_list<TPoint> Points,
                                      TColor Color) {
  std::vector<TPoint> P;
  for (const TPoint& Q : Points) P.push_back(TurnTabPoint(R, Side, Q.x, Q.y));
  DrawPolyline(P, nullptr, Color);
}

void TuxPCTabsPainter::SetTurnedPixel(const TRect& R, TuxTabPosition Side, int Along, int Across, TColor Color) {
  const TPoint P = TurnTabPoint(R, Side, Along, Across);
  Canvas()->SetPixel(P.x, P.y, Color);
}

void TuxPCTabsPainter::GetTabCornerColors(int VisibleIndex, TColor& LeftColor, TColor& RightColor) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const int Rows = FOwnerControl->RowCount(), Near = FOwnerControl->NearRowCount();
  const bool Outer = (T->DrawnRow == 0 && Near > 0) || (T->DrawnRow == Rows - 1 && Near < Rows);
  if (Outer) {
    LeftColor = RightColor = FOwnerControl->Color();
    return;
  }
  LeftColor = RightColor = clBtnFace;
  if (T->IsMain() && !FOwnerControl->Rotate()) {
    TuxPCLineIndexBoundsArray B;
    GetRowBounds(B);
    if (T->DrawnRow >= 0 && T->DrawnRow < int(B.size())) {
      if (B[std::size_t(T->DrawnRow)].First == VisibleIndex) LeftColor = FOwnerControl->Color();
      if (B[std::size_t(T->DrawnRow)].Last == VisibleIndex) RightColor = FOwnerControl->Color();
    }
  }
}

void TuxPCTabsPainter::DrawTabCorners(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->FullRect();
  const TuxTabPosition Side = T->Side();
  const int W = Side == tpTop || Side == tpBottom ? R.Width() : R.Height();
  TColor LeftColor, RightColor;
  GetTabCornerColors(VisibleIndex, LeftColor, RightColor);
  // The corners of a top tab's upper edge, turned: (along, across).
  SetTurnedPixel(R, Side, 0, 1, LeftColor);
  SetTurnedPixel(R, Side, 0, 0, LeftColor);
  SetTurnedPixel(R, Side, 1, 0, LeftColor);
  SetTurnedPixel(R, Side, W - 2, 0, RightColor);
  SetTurnedPixel(R, Side, W - 1, 0, RightColor);
  SetTurnedPixel(R, Side, W - 1, 1, RightColor);
}

void TuxPCTabsPainter::DrawMainTabOpening(int VisibleIndex, const TRect& R, TuxTabPosition Side) {
  const TColor Fill = GetTabColor(VisibleIndex);
  const bool Horizontal = Side == tpTop || Side == tpBottom;
  const int W = Horizontal ? R.Width() : R.Height();
  const int H = Horizontal ? R.Height() : R.Width();
  const bool AtStart = Horizontal ? R.left == 0 : R.top == 0;
  const bool AtEnd = Horizontal ? R.right == FOwnerControl->Width() : R.bottom == FOwnerControl->Height();
  if (Side == tpBottom) {
    // The frame's lower lines are opened on the row above the tab.
    const int Y = R.top - 1, L = R.left, Rt = R.right;
    auto Pixel = [&](int X, TColor C) { Canvas()->SetPixel(X, Y, C); };
    if (AtStart) {
      Pixel(L, clBtnHighlight);
      Pixel(L + 1, cl3DLight);
    } else {
      Pixel(L, cl3DLight);
      Pixel(L + 1, cl3DLight);
    }
    for (int X = L + 2; X <= Rt - 3; ++X) Pixel(X, Fill);
    Pixel(Rt - 2, clBtnShadow);
    Pixel(Rt - 1, AtEnd ? cl3DDkShadow : clBtnShadow);
    return;
  }
  // Top, left and right tabs: the row (or column) just beyond the page edge.
  if (AtStart) {
    SetTurnedPixel(R, Side, 0, H, clBtnHighlight);
    SetTurnedPixel(R, Side, 1, H, cl3DLight);
  } else {
    SetTurnedPixel(R, Side, 0, H, cl3DLight);
    SetTurnedPixel(R, Side, 1, H, cl3DLight);
  }
  if (AtEnd) {
    for (int U = 2; U <= W - 3; ++U) SetTurnedPixel(R, Side, U, H, Fill);
    SetTurnedPixel(R, Side, W - 2, H, clBtnShadow);
    SetTurnedPixel(R, Side, W - 1, H, cl3DDkShadow);
  } else {
    for (int U = 2; U <= W - 1; ++U) SetTurnedPixel(R, Side, U, H, Fill);
  }
}

void TuxPCTabsPainter::DrawTabBorder(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->FullRect();
  const TuxTabPosition Side = T->Side();
  if (Side == tpBottom) {
    const int L = R.left, Tp = R.top, Rt = R.right, B = R.bottom;
    DrawPolyline({pcPoint(L, Tp), pcPoint(L, B - 3), pcPoint(L + 1, B - 2)}, nullptr, clBtnHighlight);
    DrawPolyline({pcPoint(L + 1, Tp), pcPoint(L + 1, B - 3)}, nullptr, cl3DLight);
    DrawPolyline({pcPoint(L + 2, B - 1), pcPoint(Rt - 3, B - 1), pcPoint(Rt - 1, B - 3), pcPoint(Rt - 1, Tp)},
                 nullptr, cl3DDkShadow);
    DrawPolyline({pcPoint(L + 2, B - 2), pcPoint(Rt - 3, B - 2), pcPoint(Rt - 2, B - 3), pcPoint(Rt - 2, Tp)},
                 nullptr, clBtnShadow);
  } else {
    // Written for a top tab: along, across from the outer edge.
    const bool Horizontal = Side == tpTop;
    const int W = Horizontal ? R.Width() : R.Height();
    const int H = Horizontal ? R.Height() : R.Width();
    DrawTurnedLine(R, Side, {pcPoint(0, H - 1), pcPoint(0, 2), pcPoint(2, 0), pcPoint(W - 3, 0)}, clBtnHighlight);
    DrawTurnedLine(R, Side, {pcPoint(1, H - 1), pcPoint(1, 2), pcPoint(2, 1), pcPoint(W - 3, 1)}, cl3DLight);
    DrawTurnedLine(R, Side, {pcPoint(W - 1, H - 1), pcPoint(W - 1, 2), pcPoint(W - 2, 1)}, cl3DDkShadow);
    DrawTurnedLine(R, Side, {pcPoint(W - 2, H - 1), pcPoint(W - 2, 2)}, clBtnShadow);
  }
  if (T->IsMain()) DrawMainTabOpening(VisibleIndex, R, Side);
  DrawTabCorners(VisibleIndex);
}

void TuxPCTabsPainter::DrawTabBody(int VisibleIndex) {
  if (IsNativePainting()) {
    DrawNativeTabBody(VisibleIndex);
    return;
  }
  TuxTab* T = VisibleTab(VisibleIndex);
  const TuxTabPosition Side = T->Side();
  const TRect Full = T->FullRect();
  const TRect Body = uxPCTowardsPage(pcInflate(Full, -2, -2), Side, 2);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(Body, GetTabColor(VisibleIndex));
  if (T->IsMain()) {
    DrawTabFocusRect(VisibleIndex, uxPCTowardsPage(Body, Side, -1));
  } else {
    // The strip between the tab and the page.
    const TRect Strip = uxPCTowardsPage(Full, Side, 2);
    TRect Gap;
    switch (Side) {
      case tpTop: Gap = pcRect(Full.left, Full.bottom, Full.right, Strip.bottom); break;
      case tpBottom: Gap = pcRect(Full.left, Strip.top, Full.right, Full.top); break;
      case tpLeft: Gap = pcRect(Full.right, Full.top, Strip.right, Full.bottom); break;
      default: Gap = pcRect(Strip.left, Full.top, Full.left, Full.bottom); break;
    }
    Canvas()->FillRect(Gap, FOwnerControl->Color());
  }
  DrawTabBorder(VisibleIndex);
}

void TuxPCTabsPainter::DrawTabs() {
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  const int Main = FOwnerControl->MainTab();
  if (Main >= std::max(First, 0) && Main <= Last && VisibleTab(Main)->IsVisibleOnScreen()) DrawTab(Main);
  for (int i = std::max(First, 0); i <= Last; ++i)
    if (i != Main) DrawTab(i);
}

// ---------------------------------------------------------------------------
// the native drawing

void TuxPCTabsPainter::Paint() {
  if (!IsNativePainting()) {
    TuxPCStandardPainter::Paint();
    return;
  }
  HDC DC = Canvas()->Handle();
  const int W = FOwnerControl->Width(), H = FOwnerControl->Height();
  FBackgroundDC = CreateCompatibleDC(DC);
  HBITMAP Bitmap = CreateCompatibleBitmap(DC, W, H);
  FPreviousBitmap = SelectObject(FBackgroundDC, Bitmap);
  auto Release = [&] {
    SelectObject(FBackgroundDC, FPreviousBitmap);
    DeleteObject(Bitmap);
    DeleteDC(FBackgroundDC);
    FBackgroundDC = nullptr;
    FPreviousBitmap = nullptr;
  };
  try {
    TCanvas Background;
    Background.SetHandle(FBackgroundDC);
    if (FOwnerControl->ControlStyle().Contains(csParentBackground)) {
      uxDrawThemeParentBackgroundOnTabControl(FOwnerControl, &Background, ControlBounds());
    } else {
      Background.Brush()->SetColor(FOwnerControl->Color());
      Background.FillRect(ControlBounds());
    }
    Background.SetHandle(nullptr);
    DrawNativePagePane(false);
    TuxPCStandardPainter::Paint();
  } catch (...) {
    Release();
    throw;
  }
  Release();
}

void TuxPCTabsPainter::DrawNativePagePane(bool OwnCanvas) {
  HTHEME Theme = kxOpenThemeOfKind(tckTab);
  TRect M;
  GetThemedPaneIndents(M);
  TRect R = GetClientRect();
  R.right = std::max<int>(R.right, R.left + M.left + M.right);
  R.bottom = std::max<int>(R.bottom, R.top + M.top + M.bottom);
  HDC DC = OwnCanvas ? Canvas()->Handle() : FBackgroundDC;
  if (!DC) return;
  if (OwnCanvas && IsThemeBackgroundPartiallyTransparent(Theme, TABP_PANE, 1) &&
      FOwnerControl->ControlStyle().Contains(csParentBackground)) {
    uxDrawThemeParentBackground(FOwnerControl, Canvas(), R);
  } else {
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(FOwnerControl->Color()));
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
  }
  DrawThemeBackground(Theme, DC, TABP_PANE, 1, R);
  if (OwnCanvas) Canvas()->ExcludeClipRect(R);
}

void TuxPCTabsPainter::DrawFrameAndPageArea() {
  if (IsNativePainting())
    DrawNativePagePane(true);
  else
    TuxPCStandardPainter::DrawFrameAndPageArea();
}

void TuxPCTabsPainter::DrawNavigatorButton(TuxPCNavigatorButton Button, const TRect& R) {
  if (!IsNativePainting()) {
    TuxPCStandardPainter::DrawNavigatorButton(Button, R);
    return;
  }
  static const int States[4] = {1, 3, 2, 4};
  const int State = States[std::min<int>(FOwnerControl->NavigatorButtonState(Button), 3)];
  HTHEME Theme;
  int Part;
  if (Button == nbClose) {
    Theme = kxOpenThemeOfKind(tckWindow);
    Part = WP_SMALLCLOSEBUTTON;
  } else {
    Theme = kxOpenThemeOfKind(tckSpin);
    switch (GetArrowDirection(Button)) {
      case pcaUp: Part = SPNP_UP; break;
      case pcaDown: Part = SPNP_DOWN; break;
      case pcaLeft: Part = SPNP_DOWNHORZ; break;
      default: Part = SPNP_UPHORZ; break;
    }
  }
  if (FOwnerControl->ControlStyle().Contains(csParentBackground) &&
      IsThemeBackgroundPartiallyTransparent(Theme, Part, State))
    uxDrawThemeParentBackground(FOwnerControl, Canvas(), R);
  else
    Canvas()->FillRect(R, FOwnerControl->Color());
  DrawThemeBackground(Theme, Canvas()->Handle(), Part, State, R);
}

void TuxPCTabsPainter::PrepareNativeTab(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TuxTabPosition Side = T->Side();
  TRect R = T->FullRect();
  if (T->IsMain()) R = uxPCTowardsPage(R, Side, 1);
  const bool Vertical = Side == tpLeft || Side == tpRight;
  PrepareOffscreenBitmap(T);
  TBitmap* B = T->OffscreenBitmap.get();
  B->SetSize(Vertical ? R.Height() : R.Width(), Vertical ? R.Width() : R.Height());
  const bool FromBackground =
      Side == tpTop && FBackgroundDC && (!FOwnerControl->MultiLine() || !FOwnerControl->ScrollOpposite());
  if (FromBackground) {
    BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), FBackgroundDC, R.left, R.top, SRCCOPY);
  } else {
    B->Canvas()->Brush()->SetColor(FOwnerControl->Parent() ? FOwnerControl->Parent()->Color() : FOwnerControl->Color());
    B->Canvas()->FillRect(pcRect(0, 0, B->Width(), B->Height()));
  }
  int Part = 0, State = 0;
  GetThemeTabPartAndState(VisibleIndex, Part, State);
  DrawThemeBackground(kxOpenThemeOfKind(tckTab), B->Canvas()->Handle(), Part, State,
                      pcRect(0, 0, B->Width(), B->Height()));
  // Turned so that, after the caption is drawn and the last quarter turn, the
  // tab's outer edge faces its side.
  struct TTurn {
    TuxTextRotation Rotation;
    bool Flip;
  };
  static const TTurn Turns[4][3] = {
      {{uxtrNone, false}, {uxtrClockwise, false}, {uxtrCounterClockwise, false}},
      {{uxtrNone, true}, {uxtrCounterClockwise, true}, {uxtrClockwise, true}},
      {{uxtrCounterClockwise, true}, {uxtrHalfTurn, true}, {uxtrNone, true}},
      {{uxtrClockwise, false}, {uxtrHalfTurn, false}, {uxtrNone, false}},
  };
  const TTurn& Turn = Turns[Side][FOwnerControl->TextDirection()];
  uxRotateBitmap(B, Turn.Rotation, Turn.Flip);
}

void TuxPCTabsPainter::DrawNativeTabBody(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  TBitmap* B = T->OffscreenBitmap.get();
  if (!B) return;
  TRect R = T->FullRect();
  if (T->IsMain()) R = uxPCTowardsPage(R, T->Side(), 1);
  TRect Caption = FTabContentData.CaptionBounds;
  const int Direction = FOwnerControl->TextDirection();
  if (Direction != 0) {
    const int BW = B->Width(), BH = B->Height();
    uxRotateBitmap(B, Direction == 1 ? uxtrCounterClockwise : uxtrClockwise);
    Caption = Direction == 1 ? pcRect(Caption.top, BW - Caption.right, Caption.bottom, BW - Caption.left)
                             : pcRect(BH - Caption.bottom, Caption.left, BH - Caption.top, Caption.right);
  }
  Canvas()->CopyRect(R, B->Canvas(), pcRect(0, 0, B->Width(), B->Height()));
  FTabContentData.CaptionBounds = pcOffset(Caption, R.left, R.top);
  DrawTabFocusRect(VisibleIndex, pcInflate(R, -2, -2));
  FreeOffscreenBitmap(T);
}

