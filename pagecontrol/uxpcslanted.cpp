// The Slanted and OneNote styles: tabs are polygons (slanted or cut corners,
// or notebook dividers), shaded with gradients; slanted neighbours overlap.
// Outlines are written for a tab standing on the page at the top, relative to
// its left edge L and bottom B, and turned to the tab's side.
#include <algorithm>

#include "framework/uxoffice11.h"
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

namespace {

int CountSides(TuxTabSlantPositions S) { return (S.Contains(spLeft) ? 1 : 0) + (S.Contains(spRight) ? 1 : 0); }

// Along and across extents of a tab rectangle for its side.
void Extents(const TRect& R, TuxTabPosition Side, int& W, int& H) {
  const bool Horizontal = Side == tpTop || Side == tpBottom;
  W = Horizontal ? R.Width() : R.Height();
  H = Horizontal ? R.Height() : R.Width();
}

}  // namespace

PV_PC_PAINTER_CLASS_OBJECT(TuxPCSlantedPainter)
PV_PC_PAINTER_CLASS_OBJECT(TuxPCOneNotePainter)

// ---------------------------------------------------------------------------
// metrics

TuxTabPosition TuxPCSlantedPainter::TabSide(int VisibleIndex) {
  if (VisibleIndex >= 0 && VisibleIndex < FOwnerControl->VisibleTabs()->Count()) return VisibleTab(VisibleIndex)->Side();
  return FOwnerControl->TabPosition();
}

int TuxPCSlantedPainter::GetSlantSize() {
  return FOwnerControl->TabSlants()->Kind() == skSlant ? CalculateTabHeight() - 1 : 6;
}

int TuxPCSlantedPainter::GetSlantedMinTabWidth() {
  if (FOwnerControl->Rotate()) return 0;
  const TuxTabSlants* T = FOwnerControl->TabSlants();
  const int N = CountSides(T->Positions());
  if (N == 0) return 8;
  const int S = GetSlantSize();
  if (T->Kind() == skSlant) return S * N - 2 * N + 8;
  return S * N + GetFrameWidth() * (2 - N) + 4;
}

TuxTabSlantPositions TuxPCSlantedPainter::GetSlantedSides() {
  const TuxTabSlants* T = FOwnerControl->TabSlants();
  return T->Kind() == skSlant && !FOwnerControl->Rotate() ? T->Positions() : TuxTabSlantPositions();
}

void TuxPCSlantedPainter::GetBorderedImageSize(TSize& Size) {
  Size = GetImageSize();
  const int B = 2 * FOwnerControl->ImageBorder();
  if (Size.cx > 0) Size.cx += B;
  if (Size.cy > 0) Size.cy += B;
}

int TuxPCSlantedPainter::GetTabNonTextWidth(int VisibleIndex) {
  TuxPCPair P;
  GetTextIndents(VisibleIndex, P);
  int W = P.First + P.Second;
  if (HasImages() && (VisibleIndex == -1 || TabHasImage(VisibleIndex) || FOwnerControl->Rotate())) {
    TSize S;
    GetBorderedImageSize(S);
    W += S.cx;
  }
  return std::max(W, GetSlantedMinTabWidth());
}

int TuxPCSlantedPainter::CalculateTabWidth(TuxTab* Tab) {
  if (!Tab->Visible()) return 0;
  if (FOwnerControl->TabWidth() > 0) return FOwnerControl->TabWidth();
  const int V = Tab->VisibleIndex();
  int W = GetTabNonTextWidth(V);
  if (!Tab->Caption().empty()) {
    W += FOwnerControl->MeasureCaption(Tab);
    if (TabHasImage(V) || (HasImages() && FOwnerControl->Rotate())) W += GetImageTextDistance(V);
  }
  return std::max(W, GetMinTabWidth(V));
}

int TuxPCSlantedPainter::GetTabContentHeight() {
  TRect F, C;
  GetTabFrameIndents(-1, F);
  GetTabContentIndents(-1, C);
  TSize S;
  GetBorderedImageSize(S);
  return std::max(GetMaxTextHeight() + F.top + F.bottom, S.cy + C.top + C.bottom);
}

void TuxPCSlantedPainter::GetTabContentIndents(int, TRect& R) {
  const TuxTabSlants* T = FOwnerControl->TabSlants();
  if (!FOwnerControl->Rotate())
    R = pcRect(0, 4, 0, 1);
  else if (T->Kind() == skCutCorner && !T->Positions().Empty())
    R = pcRect(0, 3, 0, 3);
  else
    R = pcRect(0, 2, 0, 2);
}

void TuxPCSlantedPainter::GetTabFrameIndents(int, TRect& R) {
  R = FOwnerControl->Rotate() ? pcRect(0, 4, 0, 2) : pcRect(0, 5, 0, 1);
}

void TuxPCSlantedPainter::GetTextIndents(int VisibleIndex, TuxPCPair& Pair) {
  const TuxTabSlants* T = FOwnerControl->TabSlants();
  const int Direction = FOwnerControl->TextDirection();
  if (!FOwnerControl->Rotate()) {
    const int S = GetSlantSize();
    Pair = {T->Positions().Contains(spLeft) ? S : 3, T->Positions().Contains(spRight) ? S : 3};
    if (Direction == 2) std::swap(Pair.First, Pair.Second);
    return;
  }
  Pair = {2, T->Kind() == skCutCorner && !T->Positions().Empty() ? 7 : 6};
  const TuxTabPosition Side = TabSide(VisibleIndex);
  if ((Side == tpTop && Direction == 2) || (Side == tpBottom && Direction == 1) || Side == tpLeft)
    std::swap(Pair.First, Pair.Second);
}

void TuxPCOneNotePainter::GetTextIndents(int, TuxPCPair& Pair) {
  Pair = {GetSlantSize(), 4};
  if (FOwnerControl->TextDirection() == 2) std::swap(Pair.First, Pair.Second);
}

// Unturned: the layout exchanges the two for rotated tabs.
void TuxPCSlantedPainter::GetTabsInterval(TPoint& Interval) {
  const int N = CountSides(GetSlantedSides());
  Interval = pcPoint(N == 0 ? 1 : -(GetSlantSize() / 2) * N, -3);
}

void TuxPCSlantedPainter::GetTabsAreaIndents(TRect& R) {
  R = TRect{};
  const TuxTabSlantPositions S = GetSlantedSides();
  const int Start = S.Contains(spLeft) ? 1 : 0, End = S.Contains(spRight) ? 1 : 0;
  if (FOwnerControl->IsHorizontalRow()) {
    R.left = Start;
    R.right = End;
  } else {
    R.bottom = Start;
    R.top = End;
  }
}

void TuxPCOneNotePainter::GetTabsAreaIndents(TRect& R) {
  R = TurnIndents(pcRect(4, 0, 4, 0), FOwnerControl->TabPosition());
}

TColor TuxPCSlantedPainter::GetTabColor(int VisibleIndex) {
  if (VisibleTab(VisibleIndex)->Highlighted()) return HighlightColor();
  const TColor C = GetTabBaseColor(VisibleIndex);
  return C == clDefault ? FOwnerControl->Color() : C;
}

void TuxPCSlantedPainter::GetDisplayIndents(TRect& R) {
  TuxPCStandardPainter::GetDisplayIndents(R);
  if (HasFrame() || FOwnerControl->HideTabs() || FOwnerControl->RowCount() == 0) return;
  R.top += 1;
  if (FControlInfo->HasOppositeRows()) R.bottom += 1;
}

void TuxPCSlantedPainter::GetTabGradientColors(int VisibleIndex, TColor& C1, TColor& C2) {
  const TColor C = GetTabColor(VisibleIndex);
  if (VisibleTab(VisibleIndex)->IsHot()) {
    C1 = LightenColor(C, 20);
    C2 = C;
  } else {
    C1 = LightenColor(C, 13);
    C2 = ScaleColor(C, 90);
  }
}

// ---------------------------------------------------------------------------
// outlines and regions

void TuxPCSlantedPainter::GetOutline(const TRect& R, TuxTabPosition Side, TPoints& Points, TLinePositions& Tags) {
  const TuxTabSlants* T = FOwnerControl->TabSlants();
  const bool Slant = T->Kind() == skSlant;
  const bool Rotated = FOwnerControl->Rotate();
  const bool WithPositions = !T->Positions().Empty();
  int W, H;
  Extents(R, Side, W, H);
  const int L = R.left, B = R.bottom;
  Points.clear();
  Tags.clear();
  if (T->Positions().Contains(spLeft) && !(Rotated && Slant)) {
    if (Slant)
      AppendFigurePoints(Points, Tags, {pcPoint(L, B - 1), pcPoint(L + H - 1, B - H)}, {lpLT});
    else
      AppendFigurePoints(Points, Tags, {pcPoint(L, B - 1), pcPoint(L, B + 6 - H), pcPoint(L + 6, B - H)}, {lpL, lpLT});
  } else if (!Slant && WithPositions) {
    AppendFigurePoints(Points, Tags, {pcPoint(L, B - 1), pcPoint(L, B - H)}, {lpL});
  } else {
    AppendFigurePoints(Points, Tags, {pcPoint(L, B - 1), pcPoint(L, B + 2 - H), pcPoint(L + 2, B - H)}, {lpL, lpLT});
  }
  if (T->Positions().Contains(spRight) && !(Rotated && Slant)) {
    if (Slant)
      AppendFigurePoints(Points, Tags, {pcPoint(L + W - H, B - H), pcPoint(L + W - 1, B - 1)}, {lpT, lpRT});
    else
      AppendFigurePoints(Points, Tags,
                         {pcPoint(L + W - 7, B - H), pcPoint(L + W - 1, B + 6 - H), pcPoint(L + W - 1, B - 1)},
                         {lpT, lpRT, lpR});
  } else if (!Slant && WithPositions) {
    AppendFigurePoints(Points, Tags, {pcPoint(L + W - 1, B - H), pcPoint(L + W - 1, B - 1)}, {lpT, lpR});
  } else {
    AppendFigurePoints(Points, Tags,
                       {pcPoint(L + W - 3, B - H), pcPoint(L + W - 1, B + 2 - H), pcPoint(L + W - 1, B - 1)},
                       {lpT, lpRT, lpR});
  }
}

TuxRegion* TuxPCSlantedPainter::GetTabRegion(int VisibleIndex, bool Inner) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->FullRect();
  TPoints Points;
  TLinePositions Tags;
  GetOutline(R, T->Side(), Points, Tags);
  return CreateTabFigureRegion(R, Points, Tags, Inner, T->Side());
}

void TuxPCSlantedPainter::DrawTabOutline(int VisibleIndex, const TRect& R) {
  TuxTab* T = VisibleTab(VisibleIndex);
  TPoints Points;
  TLinePositions Tags;
  GetOutline(R, T->Side(), Points, Tags);
  DrawRotatedPolyline(R, Points, GetSlantedBorderColor(), uxPCRotationKind(T->Side()));
}

TuxRegion* TuxPCSlantedPainter::GetTabClipRegion(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect V = T->VisibleRect();
  TuxRegion* R = GetTabRegion(VisibleIndex, false);
  R->Combine(new TuxRegion(V), rcoIntersect, true);
  if (T->IsMain() && !pcIsEmpty(V)) {
    auto* Strip = new TuxRegion(uxPCTowardsPage(V, T->Side(), 1));
    Strip->Combine(new TuxRegion(V), rcoDifference, true);
    R->Combine(Strip, rcoUnion, true);
  }
  return R;
}

bool TuxPCSlantedPainter::IsPointInTab(int VisibleIndex, int X, int Y) {
  std::unique_ptr<TuxRegion> Own(GetTabClipRegion(VisibleIndex));
  if (!Own->PtInRegion(X, Y)) return false;
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  const int Next = VisibleIndex + 1;
  if (Next <= Last && VisibleTab(Next)->IsMain()) {
    // The main tab covers its neighbour.
    std::unique_ptr<TuxRegion> Main(GetTabClipRegion(Next));
    if (Main->PtInRegion(X, Y)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// drawing

void TuxPCSlantedPainter::DrawFrame() {
  Canvas()->FrameRect(pcInflate(GetDisplayRect(), 1, 1), GetSlantedBorderColor());
}

void TuxPCSlantedPainter::DrawHotBand(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (!T->IsHot() && !T->IsMain()) return;
  const TRect R = T->FullRect();
  const int D = GetFrameWidth() + 3;
  TRect Band;
  switch (T->Side()) {
    case tpTop: Band = pcRect(R.left, R.top, R.right, R.top + D); break;
    case tpBottom: Band = pcRect(R.left, R.bottom - D, R.right, R.bottom); break;
    case tpLeft: Band = pcRect(R.left, R.top, R.left + D, R.bottom); break;
    default: Band = pcRect(R.right - D, R.top, R.right, R.bottom); break;
  }
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(Band, clHighlight);
  Canvas()->ExcludeClipRect(Band);
}

void TuxPCSlantedPainter::FillTabGradient(TuxCanvas* ACanvas, const TRect& R, bool Swap, bool Horizontal,
                                          int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const bool Hot = T->IsHot() && HighlightsHotTab();
  if (!Hot && T->IsMain()) {
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, GetTabColor(VisibleIndex));
    return;
  }
  TColor C1, C2;
  if (FOwnerControl->Options().Contains(pcoGradient))
    GetTabGradientColors(VisibleIndex, C1, C2);
  else
    C1 = C2 = GetTabColor(VisibleIndex);
  if (Hot && T->IsMain() && (T->Side() == tpBottom || T->Side() == tpRight)) std::swap(C1, C2);
  if (Swap) std::swap(C1, C2);
  FillGradientRect(ACanvas->Handle(), R, C1, C2, Horizontal);
}

void TuxPCSlantedPainter::DrawMainTabBase(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect V = T->VisibleRect();
  const TuxTabPosition Side = T->Side();
  // The strip between the tab and the page.
  Canvas()->Brush()->SetStyle(bsSolid);
  TRect Line;
  switch (Side) {
    case tpTop: Line = pcRect(V.left, V.bottom, V.right, V.bottom + 1); break;
    case tpBottom: Line = pcRect(V.left, V.top - 1, V.right, V.top); break;
    case tpLeft: Line = pcRect(V.right, V.top, V.right + 1, V.bottom); break;
    default: Line = pcRect(V.left - 1, V.top, V.left, V.bottom); break;
  }
  Canvas()->FillRect(Line, GetTabColor(VisibleIndex));
  const TRect R = T->FullRect();
  int W, H;
  Extents(R, Side, W, H);
  const TuxTabSlantPositions S = GetSlantedSides();
  const int Kind = uxPCRotationKind(Side);
  auto Pixel = [&](int X, TColor C) {
    TPoint P = pcPoint(X, R.bottom);
    RotatePoint(R, P, Kind);
    Canvas()->SetPixel(P.x, P.y, C);
  };
  if (!S.Contains(spLeft)) Pixel(R.left, GetSlantedBorderColor());
  if (!S.Contains(spRight)) Pixel(R.left + W - 1, GetSlantedBorderColor());
}

void TuxPCOneNotePainter::DrawMainTabBase(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->FullRect();
  int W, H;
  Extents(R, T->Side(), W, H);
  const TColor C = GetTabColor(VisibleIndex);
  const int Kind = uxPCRotationKind(T->Side());
  TPoint P = pcPoint(R.left, R.bottom);
  RotatePoint(R, P, Kind);
  Canvas()->SetPixel(P.x, P.y, MixColorsByPercent(GetSlantedBorderColor(), C, 50));
  DrawRotatedPolyline(R, {pcPoint(R.left + 1, R.bottom), pcPoint(R.left + W - 1, R.bottom)}, C, Kind);
}

void TuxPCSlantedPainter::DrawTabBody(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect R = T->FullRect();
  SaveClipRegion();
  try {
    DrawTabOutline(VisibleIndex, R);
    Canvas()->SetClipRegion(GetTabRegion(VisibleIndex, true), rcoIntersect);
    DrawHotBand(VisibleIndex);
    FillTabGradient(Canvas(), R, false, T->Side() == tpLeft || T->Side() == tpRight, VisibleIndex);
  } catch (...) {
    RestoreClipRegion();
    throw;
  }
  RestoreClipRegion();
  if (T->IsMain()) DrawMainTabBase(VisibleIndex);
  const TRect Caption = FTabContentData.CaptionBounds;
  if (pcIsEmpty(Caption)) return;
  const bool Vertical = FOwnerControl->IsVerticalText();
  Canvas()->Brush()->SetColor(GetTabColor(VisibleIndex));
  DrawTabFocusRect(VisibleIndex, Vertical ? pcInflate(Caption, 2, 3) : pcInflate(Caption, 3, 2));
}

void TuxPCSlantedPainter::PrepareTabBitmapBackground(TBitmap* Bitmap, const TPoint& P, int VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= FOwnerControl->VisibleTabs()->Count()) return;
  bool Mirrored = false;
  const TRect R = uxPCCaptionBitmapRect(FOwnerControl, VisibleTab(VisibleIndex)->FullRect(), P, Bitmap, Mirrored);
  TuxCanvas C(Bitmap->Canvas());
  FillTabGradient(&C, R, Mirrored, FOwnerControl->Rotate(), VisibleIndex);
}

void TuxPCSlantedPainter::DrawRowEdgeLines(const TuxPCLineIndexBounds& Row, int DrawnRow) {
  TuxCustomTabControl* C = FOwnerControl;
  const bool Horizontal = C->IsHorizontalRow();
  const int Rows = C->RowCount(), Near = C->NearRowCount();
  const TuxTabPosition Side = VisibleTab(Row.First)->Side();
  TRect E = VisibleTab(Row.First)->VisibleRect();
  for (int i = Row.First; i <= Row.Last; ++i) {
    const TRect V = VisibleTab(i)->VisibleRect();
    if (pcIsEmpty(V)) continue;
    if (Horizontal) {
      E.left = std::min(E.left, V.left);
      E.right = std::max(E.right, V.right);
    } else {
      E.top = std::min(E.top, V.top);
      E.bottom = std::max(E.bottom, V.bottom);
    }
  }
  const TuxTabSlantPositions S = GetSlantedSides();
  const bool NextToPage = DrawnRow == Near - 1 || DrawnRow == Near;
  if (Horizontal) {
    if (NextToPage || S.Contains(spLeft)) E.left = 0;
    if (NextToPage || S.Contains(spRight)) E.right = C->Width();
  } else {
    if (NextToPage || S.Contains(spRight)) E.top = 0;
    if (NextToPage || S.Contains(spLeft)) E.bottom = C->Height();
  }
  // Less 3 on the outer side, 1 more on the page side.
  switch (Side) {
    case tpTop: E = pcExtend(E, 0, -3, 0, 1); break;
    case tpBottom: E = pcExtend(E, 0, 1, 0, -3); break;
    case tpLeft: E = pcExtend(E, -3, 0, 1, 0); break;
    case tpRight: E = pcExtend(E, 1, 0, -3, 0); break;
  }
  TuxBorder StartSide, EndSide, PageSide;
  switch (Side) {
    case tpTop: StartSide = bLeft, EndSide = bRight, PageSide = bBottom; break;
    case tpBottom: StartSide = bLeft, EndSide = bRight, PageSide = bTop; break;
    case tpLeft: StartSide = bBottom, EndSide = bTop, PageSide = bRight; break;
    default: StartSide = bBottom, EndSide = bTop, PageSide = bLeft; break;
  }
  const bool Outermost = (DrawnRow == 0 && Near > 0) || (DrawnRow == Rows - 1 && Near < Rows);
  const TColor Color = GetSlantedBorderColor();
  if (S.Contains(spLeft) && !Outermost) DrawBorderLines(Canvas(), E, {StartSide}, {Color}, true);
  if (S.Contains(spRight) && !Outermost) DrawBorderLines(Canvas(), E, {EndSide}, {Color}, true);
  DrawBorderLines(Canvas(), E, {PageSide}, {Color}, true);
}

void TuxPCSlantedPainter::DrawTabs() {
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  const int Main = FOwnerControl->MainTab();
  if (Main >= std::max(First, 0) && Main <= Last) DrawTab(Main);
  TuxPCLineIndexBoundsArray Rows;
  GetRowBounds(Rows);
  const int Near = FOwnerControl->NearRowCount();
  std::vector<int> Order;
  for (int r = Near - 1; r >= 0; --r) Order.push_back(r);
  for (int r = Near; r < int(Rows.size()); ++r) Order.push_back(r);
  for (int r : Order) {
    if (r < 0 || r >= int(Rows.size()) || Rows[std::size_t(r)].First == -1) continue;
    const TuxPCLineIndexBounds& B = Rows[std::size_t(r)];
    for (int i = B.First; i <= B.Last; ++i)
      if (i != Main) DrawTab(i);
    DrawRowEdgeLines(B, r);
  }
}

// ---------------------------------------------------------------------------
// OneNote shapes

TuxRegion* TuxPCOneNotePainter::GetTabRegion(int VisibleIndex, bool Inner) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TuxTabPosition Side = T->Side();
  TRect R = T->FullRect();
  TPoints P;
  if (Inner) {
    switch (Side) {
      case tpTop: R = pcOffset(R, 0, 1); break;
      case tpBottom: R.left += 1; break;
      case tpLeft: R = pcRect(R.left + 1, R.top + 1, R.right + 1, R.bottom); break;
      default: R.top += 1; break;
    }
  } else {
    R = pcInflate(R, 1, 1);
  }
  int W, H;
  Extents(R, Side, W, H);
  const int L = R.left, B = R.bottom, Rt = R.right;
  if (Inner) {
    switch (Side) {
      case tpBottom:
        P = {pcPoint(L + 2, B - 1), pcPoint(L + H - 3, B - H + 4), pcPoint(L + H + 2, B - H + 1),
             pcPoint(Rt - 2, B - H + 1), pcPoint(Rt - 2, B - 1)};
        break;
      case tpRight:
        P = {pcPoint(L + 2, B - 1), pcPoint(L + H - 1, B - H + 3), pcPoint(L + H + 3, B - H + 1),
             pcPoint(L + W - 2, B - H + 1), pcPoint(L + W - 2, B - 1)};
        break;
      default:
        P = {pcPoint(L + 2, B - 1), pcPoint(L + H - 2, B - H + 3), pcPoint(L + H + 2, B - H + 1),
             pcPoint(L + W - 2, B - H + 1), pcPoint(L + W - 2, B - 1)};
        break;
    }
  } else if (Side == tpRight) {
    P = {pcPoint(L - 1, B - 1),     pcPoint(L - 1, B - 3),     pcPoint(L + 2, B - 3),     pcPoint(L + H - 2, B - H + 2),
         pcPoint(L + H + 2, B - H), pcPoint(L + W - 4, B - H), pcPoint(L + W - 1, B - H + 3), pcPoint(L + W - 1, B - 1)};
  } else if (Side == tpLeft) {
    P = {pcPoint(L, B - 2),         pcPoint(L + 1, B - 2),     pcPoint(L + H - 3, B - H + 3), pcPoint(L + H + 2, B - H),
         pcPoint(L + W - 5, B - H), pcPoint(L + W - 1, B - H + 4), pcPoint(L + W - 1, B - 1)};
  } else {
    P = {pcPoint(L, B - 2),         pcPoint(L + 1, B - 2),     pcPoint(L + H - 3, B - H + 3), pcPoint(L + H + 2, B - H),
         pcPoint(L + W - 4, B - H), pcPoint(L + W - 1, B - H + 3), pcPoint(L + W - 1, B - 1)};
  }
  const int Kind = uxPCRotationKind(Side);
  for (TPoint& Q : P) RotatePoint(R, Q, Kind);
  HDC DC = Canvas()->Handle();
  Canvas()->BeginPath();
  Canvas()->Polyline(P);
  Canvas()->EndPath();
  HRGN Region = PathToRegion(DC);
  if (!Region) {
    std::vector<POINT> Q(P.begin(), P.end());
    return TuxRegion::CreateFromHandle(CreatePolygonRgn(Q.data(), int(Q.size()), WINDING));
  }
  // The path's region is in device coordinates; regions here are logical.
  TuxRegion* Result = TuxRegion::CreateFromHandle(Region);
  const TPoint O = Canvas()->GetDCOrigin();
  Result->Offset(-O.x, -O.y);
  return Result;
}

void TuxPCOneNotePainter::DrawTabOutline(int VisibleIndex, const TRect& R) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TuxTabPosition Side = T->Side();
  const int Kind = uxPCRotationKind(Side);
  const TColor C = GetTabColor(VisibleIndex);
  TColor C1, C2, C3;
  if (T->IsHot()) {
    C1 = C2 = C3 = uxPCOneNoteColor(3);
  } else if (T->IsMain()) {
    C1 = uxPCOneNoteColor(0);
    C2 = MixColorsByPercent(clWhite, C, 60);
    C3 = MixColorsByPercent(C2, C, 70);
  } else {
    C1 = uxPCOneNoteColor(1);
    C2 = MixColorsByPercent(MixColorsByPercent(clWhite, uxPCOneNoteColor(5), 50), C, 50);
    C3 = MixColorsByPercent(uxPCOneNoteColor(5), C, 50);
  }
  int W, H;
  Extents(R, Side, W, H);
  const int L = R.left, B = R.bottom;
  // The colour beside a point of the outline: the tab there, or the control.
  auto Behind = [&](int X, int Y) {
    TPoint P = pcPoint(X, Y);
    RotatePoint(R, P, Kind);
    const int Tab = FOwnerControl->TabAt(P.x, P.y);
    return Tab >= 0 ? GetTabColor(Tab) : FOwnerControl->Color();
  };
  auto Pixel = [&](int X, int Y, TColor Color) {
    TPoint P = pcPoint(X, Y);
    RotatePoint(R, P, Kind);
    Canvas()->SetPixel(P.x, P.y, Color);
  };
  Pixel(L, B - 1, MixColorsByPercent(C1, Behind(L - 1, B - 1), 25));
  DrawRotatedPolyline(R,
                      {pcPoint(L + 1, B - 1), pcPoint(L + H - 3, B - H + 3), pcPoint(L + H + 2, B - H),
                       pcPoint(L + W - 3, B - H), pcPoint(L + W - 1, B - H + 2), pcPoint(L + W - 1, B - 1)},
                      C1, Kind);
  Pixel(L + H + 2, B - H, MixColorsByPercent(C1, Behind(L + H + 1, B - H), 60));
  DrawRotatedPolyline(R,
                      {pcPoint(L + 2, B - 1), pcPoint(L + H - 3, B - H + 4), pcPoint(L + H + 2, B - H + 1),
                       pcPoint(L + W - 4, B - H + 1)},
                      C2, Kind);
  DrawRotatedPolyline(R, {pcPoint(L + W - 3, B - H + 1), pcPoint(L + W - 2, B - H + 2), pcPoint(L + W - 2, B - 1)},
                      C3, Kind);
}

// ---------------------------------------------------------------------------
// navigator buttons

int TuxPCSlantedPainter::GetNavigatorButtonLength(TuxPCNavigatorButton Button) {
  switch (Button) {
    case nbGoDialog: return 13;
    case nbClose: return 16;
    default: return 17;
  }
}

TColor TuxPCSlantedPainter::GetNavigatorButtonColor(Byte State) {
  if (State == nbsHotTrack) return MixColorsByPercent(clBtnFace, clWhite, 35);
  if (State == nbsPressed) return MixColorsByPercent(clBtnFace, clBlack, 90);
  return clBtnFace;
}

TColor TuxPCSlantedPainter::GetNavigatorGlyphColor(Byte State) {
  if (!FOwnerControl->Enabled() || State == nbsDisabled) return clBtnShadow;
  if (State == nbsPressed) return MixColorsByPercent(FOwnerControl->Color(), clWhite, 10);
  return clBtnText;
}

void TuxPCSlantedPainter::GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) {
  TuxPCStandardPainter::GetNavigatorGlyphColors(Button, Colors);
  Colors.Enabled = true;
  Colors.SmallGlyph = Button == nbClose;
}

void TuxPCSlantedPainter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  Canvas()->FrameRect(R, State == nbsPressed || State == nbsHotTrack ? TColor(clBlack) : TColor(clBtnShadow));
  R = pcInflate(R, -1, -1);
}
