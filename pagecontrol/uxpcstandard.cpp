// The standard painter: the geometry shared by every tab style.
#include <algorithm>

#include "framework/uxgraphics.h"
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

namespace {

// Metrics by tabs kind (tabs, buttons, flat buttons); "main" is the tab drawn as main.
const TRect kContentIndents[3][2] = {{{6, 1, 0, 0}, {8, 1, 0, 3}},
                                     {{6, -1, 0, 1}, {7, -1, 0, 1}},
                                     {{6, -1, 0, 1}, {7, -1, 0, 1}}};
const TRect kFrameIndents[3][2] = {{{5, 1, 5, -1}, {5, 1, 5, 2}},
                                   {{6, 0, 4, 1}, {6, 0, 4, 1}},
                                   {{6, 0, 4, 1}, {6, 0, 4, 1}}};
const TPoint kTabsInterval[3] = {{0, 0}, {3, 3}, {10, 3}};
const int kMinTabHeight[3] = {18, 20, 20};

int KindIndex(int Kind) { return std::clamp(Kind, 0, 2); }

}  // namespace

TuxPCStandardPainter::~TuxPCStandardPainter() { FNavigatorButtonPositions.clear(); }

// ---------------------------------------------------------------------------
// sizes

int TuxPCStandardPainter::GetMinTabHeight() { return kMinTabHeight[KindIndex(GetTabsKind())]; }

TColor TuxPCStandardPainter::GetBackgroundColor() { return FOwnerControl->Color(); }

int TuxPCStandardPainter::GetTabNonTextWidth(int VisibleIndex) {
  if (!HasImages() || (VisibleIndex != -1 && !TabHasImage(VisibleIndex) && !FOwnerControl->Rotate())) return 12;
  return GetImageSize().cx + 2 * FOwnerControl->ImageBorder() + 18;
}

int TuxPCStandardPainter::GetTabContentHeight() {
  int H = GetMaxTextHeight() + 8;
  if (HasImages()) H = std::max(H, GetImageSize().cy + 2 * FOwnerControl->ImageBorder() + 6);
  return H;
}

int TuxPCStandardPainter::CalculateTabWidth(TuxTab* Tab) {
  if (FOwnerControl->TabWidth() > 0) return FOwnerControl->TabWidth();
  const int V = Tab->VisibleIndex();
  int W = GetTabNonTextWidth(V);
  if (!Tab->Caption().empty()) W += FOwnerControl->MeasureCaption(Tab);
  return std::max(W, GetMinTabWidth(V));
}

int TuxPCStandardPainter::GetMinTabWidth(int VisibleIndex) {
  return std::max(GetTabNonTextWidth(VisibleIndex), GetStandardMinTabWidth());
}

int TuxPCStandardPainter::AdjustTabHeightParity(int Height) {
  const int ImageHeight = GetImageSize().cy;
  if (FOwnerControl->Rotate() && ImageHeight > 0 && (Height - ImageHeight) % 2 != 0) ++Height;
  return Height;
}

int TuxPCStandardPainter::CalculateTabHeight() {
  const int H = AdjustTabHeightParity(std::max(GetTabContentHeight(), GetMinTabHeight()));
  return std::max(H, int(FOwnerControl->TabHeight()));
}

void TuxPCStandardPainter::GetTabContentIndents(int VisibleIndex, TRect& R) {
  R = kContentIndents[KindIndex(GetTabsKind())][IsTabDrawnAsMain(VisibleIndex) ? 1 : 0];
}

void TuxPCStandardPainter::GetTabFrameIndents(int VisibleIndex, TRect& R) {
  R = kFrameIndents[KindIndex(GetTabsKind())][IsTabDrawnAsMain(VisibleIndex) ? 1 : 0];
}

void TuxPCStandardPainter::GetTabsInterval(TPoint& Interval) { Interval = kTabsInterval[KindIndex(GetTabsKind())]; }

bool TuxPCStandardPainter::IsTabDrawnAsMain(int VisibleIndex) { return VisibleTab(VisibleIndex)->IsMain(); }

void TuxPCStandardPainter::SetTabContentRects(int, const TRect& ImageRect, const TRect& TextRect) {
  FTabContentData.ImageBounds = ImageRect;
  FTabContentData.CaptionBounds = TextRect;
}

// ---------------------------------------------------------------------------
// the navigator area

bool TuxPCStandardPainter::NavigatorAtRowStart() {
  const TuxPCNavigatorPosition P = FOwnerControl->NavigatorPosition();
  if (FOwnerControl->IsHorizontalRow()) return P == npLeftTop || P == npLeftBottom;
  return P == npLeftTop || P == npRightTop;
}

void TuxPCStandardPainter::CutNavigatorArea(TRect& Area, int Length) {
  const bool Start = NavigatorAtRowStart();
  if (FOwnerControl->IsHorizontalRow())
    (Start ? Area.left : Area.right) += Start ? Length : -Length;
  else
    (Start ? Area.top : Area.bottom) += Start ? Length : -Length;
}

int TuxPCStandardPainter::GetNavigatorButtonLength(TuxPCNavigatorButton Button) {
  if (Button == nbGoDialog) return FOwnerControl->IsHorizontalRow() ? 12 : 13;
  return 20;
}

void TuxPCStandardPainter::GetNavigatorButtonOrder(TuxPCNavigatorButtons Buttons, TuxPCNavigatorButtonA& Order) {
  static const TuxPCNavigatorButton AtStart[] = {nbClose, nbTopLeft, nbBottomRight, nbGoDialog};
  static const TuxPCNavigatorButton AtEnd[] = {nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  Order.clear();
  for (TuxPCNavigatorButton B : NavigatorAtRowStart() ? AtStart : AtEnd)
    if (Buttons.Contains(B)) Order.push_back(B);
}

int TuxPCStandardPainter::GetNavigatorAreaLength(TuxPCNavigatorButtons Buttons) {
  TuxPCNavigatorButtonA Order;
  GetNavigatorButtonOrder(Buttons, Order);
  int L = 0;
  for (std::size_t i = 0; i < Order.size(); ++i) {
    L += GetNavigatorButtonLength(Order[i]);
    if (i > 0) L += GetNavigatorButtonGap(Order[i - 1], Order[i]);
  }
  if (L > 0) L += GetNavigatorEndIndent() + GetNavigatorAreaPadding();
  return L;
}

void TuxPCStandardPainter::CalculateNavigatorArea(TuxPCNavigatorButtons Buttons) {
  TuxPCNavigatorButtonA Order;
  GetNavigatorButtonOrder(Buttons, Order);
  int L = 0;
  for (std::size_t i = 0; i < Order.size(); ++i) {
    L += GetNavigatorButtonLength(Order[i]);
    if (i > 0) L += GetNavigatorButtonGap(Order[i - 1], Order[i]);
  }
  const int T = GetNavigatorButtonThickness();
  const int W = FOwnerControl->Width(), H = FOwnerControl->Height();
  const bool Start = NavigatorAtRowStart();
  const TuxTabPosition P = FOwnerControl->TabPosition();
  if (FOwnerControl->IsHorizontalRow()) {
    const int Left = Start ? GetNavigatorEndIndent() : W - L - GetNavigatorEndIndent();
    const int Top = P == tpTop ? GetNavigatorSideIndent() : H - T - GetNavigatorSideIndent();
    FNavigatorArea = pcRect(Left, Top, Left + L, Top + T);
  } else {
    const int Left = P == tpLeft ? GetNavigatorSideIndent() : W - T - GetNavigatorSideIndent();
    const int Top = Start ? GetNavigatorEndIndent() : H - L - GetNavigatorEndIndent();
    FNavigatorArea = pcRect(Left, Top, Left + T, Top + L);
  }
}

void TuxPCStandardPainter::CalculateNavigatorButtons(TuxPCNavigatorButtons Buttons) {
  FNavigatorButtonPositions.clear();
  if (Buttons.Empty()) return;
  CalculateNavigatorArea(Buttons);
  TuxPCNavigatorButtonA Order;
  GetNavigatorButtonOrder(Buttons, Order);
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  const int T = GetNavigatorButtonThickness();
  int Pos = Horizontal ? FNavigatorArea.left : FNavigatorArea.top;
  for (std::size_t i = 0; i < Order.size(); ++i) {
    if (i > 0) Pos += GetNavigatorButtonGap(Order[i - 1], Order[i]);
    const int L = GetNavigatorButtonLength(Order[i]);
    TuxPCNavigatorButtonPosition E;
    E.Button = Order[i];
    E.Bounds = Horizontal ? pcRect(Pos, FNavigatorArea.top, Pos + L, FNavigatorArea.top + T)
                          : pcRect(FNavigatorArea.left, Pos, FNavigatorArea.left + T, Pos + L);
    FNavigatorButtonPositions.push_back(E);
    Pos += L;
  }
}

void TuxPCStandardPainter::CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) {
  TRect I;
  GetTabsAreaIndents(I);
  TRect Area = pcRect(I.left, I.top, FOwnerControl->Width() - I.right, FOwnerControl->Height() - I.bottom);
  if (!Buttons.Empty()) CutNavigatorArea(Area, GetNavigatorAreaLength(Buttons));
  Params.TabsArea = Area;
  Params.RowLength = FOwnerControl->IsHorizontalRow() ? Area.Width() : Area.Height();
  Params.RowsRect = Area;
  Params.NearAreaExtension = Params.FarAreaExtension = 0;
  TPoint Interval;
  GetTabsInterval(Interval);
  Params.AreaGap = Interval.y;
  CalculateNavigatorButtons(Buttons);
}

void TuxPCStandardPainter::GetGoDialogButtonBounds(TRect& R) {
  R = TRect{};
  for (const TuxPCNavigatorButtonPosition& E : FNavigatorButtonPositions)
    if (E.Button == nbGoDialog) R = E.Bounds;
}

bool TuxPCStandardPainter::GetNavigatorButtonAt(int X, int Y, TuxPCNavigatorButton& Button) {
  for (const TuxPCNavigatorButtonPosition& E : FNavigatorButtonPositions)
    if (pcContains(E.Bounds, X, Y)) {
      Button = E.Button;
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
// navigator glyphs

TColor TuxPCStandardPainter::HotTrackColor() { return uxPCHotTrackColor(); }

TColor TuxPCStandardPainter::GetNavigatorGlyphColor(Byte State) {
  return State == nbsHotTrack ? HotTrackColor() : clBtnText;
}

void TuxPCStandardPainter::GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) {
  const Byte State = FOwnerControl->NavigatorButtonState(Button);
  Colors.BrushColor = Colors.PenColor = GetNavigatorGlyphColor(State);
  Colors.Enabled = FOwnerControl->Enabled() && State != nbsDisabled;
  Colors.SmallGlyph = false;
}

TuxPCArrow TuxPCStandardPainter::GetArrowDirection(TuxPCNavigatorButton Button) {
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  switch (Button) {
    case nbTopLeft: return Horizontal ? pcaLeft : pcaUp;
    case nbBottomRight: return Horizontal ? pcaRight : pcaDown;
    default: return pcaDown;
  }
}

void TuxPCStandardPainter::GetCenteredGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  TSize Glyph;
  if (Button == nbClose)
    Glyph = {8, 7};
  else if (Button == nbGoDialog)
    Glyph = {7, 4};
  else
    Glyph = {5, 9};
  if (!Horizontal && Button != nbGoDialog) std::swap(Glyph.cx, Glyph.cy);
  TSize Size{GetNavigatorButtonLength(Button), GetNavigatorButtonThickness()};
  if (!Horizontal) std::swap(Size.cx, Size.cy);
  Offset = pcPoint((Size.cx - Glyph.cx) / 2, (Size.cy - Glyph.cy) / 2);
  if (Button == nbGoDialog) ++Offset.y;
  if (FOwnerControl->NavigatorButtonState(Button) == nbsPressed) {
    if (Button != nbGoDialog) ++Offset.x;
    ++Offset.y;
  }
}

void TuxPCStandardPainter::GetFixedGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  if (Button == nbGoDialog)
    Offset = Horizontal ? pcPoint(2, 8) : pcPoint(6, 4);
  else if (Button == nbClose)
    Offset = pcPoint(5, 5);
  else
    switch (GetArrowDirection(Button)) {
      case pcaUp:
      case pcaDown: Offset = pcPoint(5, 7); break;
      case pcaLeft: Offset = pcPoint(6, 5); break;
      case pcaRight: Offset = pcPoint(8, 5); break;
    }
  if (FOwnerControl->NavigatorButtonState(Button) == nbsPressed) {
    ++Offset.x;
    ++Offset.y;
  }
}

void TuxPCStandardPainter::GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  GetCenteredGlyphOffset(Button, Offset);
}

void TuxPCStandardPainter::DrawNavigatorGlyph(TuxPCNavigatorButton Button, const TPoint& Origin,
                                              const TuxPCNavigatorGlyphColors& Colors) {
  TuxCanvas* C = Canvas();
  auto DrawAt = [&](int X, int Y, TColor Brush, TColor Pen) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Brush);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(Pen);
    if (Button == nbClose) {
      struct Line {
        int X1, Y1, X2, Y2;
      };
      static const Line Normal[] = {{1, 0, 8, 7}, {0, 0, 8, 8}, {0, 1, 7, 8}, {0, 7, 7, 0}, {0, 8, 8, 0}, {1, 8, 8, 1}};
      static const Line SmallVertical[] = {{0, 0, 6, 6}, {0, 1, 6, 7}, {0, 6, 6, 0}, {0, 7, 6, 1}};
      static const Line SmallHorizontal[] = {{1, 0, 7, 6}, {0, 0, 6, 6}, {0, 6, 6, 0}, {1, 6, 7, 0}};
      const Line* Lines = Normal;
      int N = 6;
      if (Colors.SmallGlyph) {
        Lines = FOwnerControl->IsHorizontalRow() ? SmallHorizontal : SmallVertical;
        N = 4;
      }
      for (int i = 0; i < N; ++i)
        DrawPolyline({pcPoint(X + Lines[i].X1, Y + Lines[i].Y1), pcPoint(X + Lines[i].X2, Y + Lines[i].Y2)}, C, Pen);
      return;
    }
    const int S = (Button == nbGoDialog ? 4 : 5) - 1;
    std::vector<TPoint> P;
    switch (GetArrowDirection(Button)) {
      case pcaUp: P = {pcPoint(0, S), pcPoint(S, 0), pcPoint(2 * S, S)}; break;
      case pcaDown: P = {pcPoint(0, 0), pcPoint(2 * S, 0), pcPoint(S, S)}; break;
      case pcaLeft: P = {pcPoint(S, 0), pcPoint(S, 2 * S), pcPoint(0, S)}; break;
      case pcaRight: P = {pcPoint(0, 0), pcPoint(0, 2 * S), pcPoint(S, S)}; break;
    }
    for (TPoint& Q : P) Q = pcPoint(Q.x + X, Q.y + Y);
    C->Polygon(P);
  };
  if (Colors.Enabled) {
    DrawAt(Origin.x, Origin.y, Colors.BrushColor, Colors.PenColor);
  } else {
    DrawAt(Origin.x + 1, Origin.y + 1, clBtnHighlight, clBtnHighlight);
    DrawAt(Origin.x, Origin.y, clBtnShadow, clBtnShadow);
  }
  C->Brush()->SetStyle(bsSolid);
}

void TuxPCStandardPainter::Draw3DButtonBorder(const TRect& R, bool Pressed, bool OneLine) {
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  TColor OuterTL, InnerTL, OuterBR, InnerBR;
  if (OneLine) {
    OuterTL = Pressed ? cl3DDkShadow : cl3DLight;
    OuterBR = Pressed ? cl3DLight : cl3DDkShadow;
    InnerTL = InnerBR = clNone;
  } else if (Pressed) {
    OuterTL = clBtnShadow;
    InnerTL = cl3DDkShadow;
    OuterBR = clBtnHighlight;
    InnerBR = cl3DLight;
  } else {
    OuterTL = cl3DLight;
    InnerTL = clBtnHighlight;
    OuterBR = cl3DDkShadow;
    InnerBR = clBtnShadow;
  }
  DrawPolyline({pcPoint(L, B - 2), pcPoint(L, T), pcPoint(Rt - 2, T)}, nullptr, OuterTL);
  DrawPolyline({pcPoint(L, B - 1), pcPoint(Rt - 1, B - 1), pcPoint(Rt - 1, T)}, nullptr, OuterBR);
  if (OneLine) return;
  DrawPolyline({pcPoint(L + 1, B - 3), pcPoint(L + 1, T + 1), pcPoint(Rt - 3, T + 1)}, nullptr, InnerTL);
  DrawPolyline({pcPoint(L + 1, B - 2), pcPoint(Rt - 2, B - 2), pcPoint(Rt - 2, T + 1)}, nullptr, InnerBR);
}

void TuxPCStandardPainter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  Draw3DButtonBorder(R, State == nbsPressed, false);
  R = pcInflate(R, -2, -2);
}

void TuxPCStandardPainter::FillNavigatorButton(const TRect& R, Byte State) {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(R, GetNavigatorButtonColor(State));
}

void TuxPCStandardPainter::DrawNavigatorButton(TuxPCNavigatorButton Button, const TRect& Bounds) {
  const Byte State = FOwnerControl->NavigatorButtonState(Button);
  TRect R = Bounds;
  DrawNavigatorButtonFrame(R, State);
  FillNavigatorButton(R, State);
  TuxPCNavigatorGlyphColors Colors;
  GetNavigatorGlyphColors(Button, Colors);
  TPoint Offset{};
  GetNavigatorGlyphOffset(Button, Offset);
  DrawNavigatorGlyph(Button, pcPoint(R.left + Offset.x, R.top + Offset.y), Colors);
}

void TuxPCStandardPainter::DrawNavigatorButtons() {
  for (const TuxPCNavigatorButtonPosition& E : FNavigatorButtonPositions) {
    if (!Canvas()->RectVisible(E.Bounds)) continue;
    SaveClipRegion();
    Canvas()->IntersectClipRect(E.Bounds);
    try {
      DrawNavigatorButton(E.Button, E.Bounds);
    } catch (...) {
      RestoreClipRegion();
      throw;
    }
    RestoreClipRegion();
    Canvas()->ExcludeClipRect(E.Bounds);
  }
}

void TuxPCStandardPainter::RepaintNavigatorButton(TuxPCNavigatorButton Button, Byte) {
  for (const TuxPCNavigatorButtonPosition& E : FNavigatorButtonPositions)
    if (E.Button == Button) InvalidateBounds(E.Bounds);
}

void TuxPCStandardPainter::RepaintNavigatorArea() {
  if (!FNavigatorButtonPositions.empty()) InvalidateBounds(FNavigatorArea);
}

// ---------------------------------------------------------------------------
// painting

void TuxPCStandardPainter::Paint() {
  PaintContent();
  const TRect Bounds = ControlBounds();
  if (IsNativePainting() && FOwnerControl->ControlStyle().Contains(csParentBackground)) {
    uxDrawThemeParentBackground(FOwnerControl, Canvas(), Bounds);
  } else {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(Bounds, GetBackgroundColor());
  }
}

void TuxPCStandardPainter::DrawPageFrame(const TRect& R) {
  Canvas()->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  Canvas()->DrawComplexFrame(pcInflate(R, -1, -1), cl3DLight, clBtnShadow);
}

void TuxPCStandardPainter::DrawFrame() {
  TRect R = GetClientRect();
  const int Min = GetMinFrameSize();
  R.right = std::max<int>(R.right, R.left + Min);
  R.bottom = std::max<int>(R.bottom, R.top + Min);
  DrawPageFrame(R);
}

void TuxPCStandardPainter::DrawTab(int VisibleIndex) {
  TuxRegion* Region = GetTabClipRegion(VisibleIndex);
  const TuxRegionCombineOperation Operation = GetTabClipRegionOperation(VisibleIndex);
  SaveClipRegion();
  try {
    Canvas()->SetClipRegion(Region, Operation);
    if (!(IsOwnerDrawing() && DoCustomDraw(VisibleIndex))) {
      if (IsNativePainting()) PrepareNativeTab(VisibleIndex);
      DrawTabContent(VisibleIndex);
      DrawTabBody(VisibleIndex);
    }
  } catch (...) {
    RestoreClipRegion();
    throw;
  }
  RestoreClipRegion();
  if (IsTabTransparent(VisibleIndex)) {
    // Only the content, as far as it lies on the tab.
    auto* Content = new TuxRegion(FTabContentData.ImageBounds);
    Content->Combine(new TuxRegion(FTabContentData.CaptionBounds), rcoUnion, true);
    Content->Combine(GetTabClipRegion(VisibleIndex), rcoIntersect, true);
    Canvas()->SetClipRegion(Content, rcoDifference);
  } else {
    DrawTabByEvent(VisibleIndex);
    Canvas()->SetClipRegion(GetTabClipRegion(VisibleIndex), rcoDifference);
  }
}

void TuxPCStandardPainter::DrawTabs() {
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  for (int i = std::max(First, 0); i <= Last; ++i) DrawTab(i);
}

void TuxPCStandardPainter::DrawTabFocusRect(int VisibleIndex, const TRect& R) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (!ClipToRect(T->VisibleRect(), false)) return;
  if (T->IsEnabled() && T->IsMain() && FOwnerControl->Focused()) Canvas()->DrawFocusRect(pcInflate(R, -1, -1));
  RestoreClipRegion();
}

void TuxPCStandardPainter::RepaintTab(int VisibleIndex, TabChangeKind) {
  if (IsVerticalCaption()) FreeRotatedCaptionBitmap(VisibleTab(VisibleIndex));
  InvalidateTab(VisibleIndex);
}
