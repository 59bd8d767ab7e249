// The flat tab styles: ExtraFlat (flat cards in shaded rows, a band joining
// the main tab to the page), UltraFlat (darker single-pixel lines), Office11
// (UltraFlat coloured from the Office 2003 table, with gradients) and Flat
// (the classic Tabs style with single-pixel frames).
#include <algorithm>

#include "framework/uxoffice11.h"
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

namespace {

// The Office 2003 colours the tab styles read, by their place in the table.
TColor DockBack1() { return Office11BarColor1; }
TColor DockBack2() { return Office11BarColor2; }
TColor TabFrame() { return Office11SelectedBorderColor; }
TColor SeparatorDark() { return Office11SeparatorDarkColor; }
TColor SeparatorLight() { return Office11SeparatorLightColor; }
TColor HotButton1() { return Office11HotGradientColor1; }
TColor HotButton2() { return Office11HotGradientColor2; }
TColor PressedButton1() { return Office11DownGradientColor1; }
TColor PressedButton2() { return Office11DownGradientColor2; }
TColor ButtonText() { return Office11TextColor; }
TColor GrayText() { return Office11DisabledTextColor; }

// R grown by indents written for tabs at the top, turned to a position.
TRect GrowTurned(const TRect& R, const TRect& N, TuxTabPosition Position) {
  const TRect I = TuxPCCustomPainter::TurnIndents(N, Position);
  return pcExtend(R, I.left, I.top, I.right, I.bottom);
}

TRect ShrinkTurned(const TRect& R, const TRect& N, TuxTabPosition Position) {
  const TRect I = TuxPCCustomPainter::TurnIndents(N, Position);
  return pcExtend(R, -I.left, -I.top, -I.right, -I.bottom);
}

// The side of a rectangle that faces the page for a tab side.
TuxBorder PageBorder(TuxTabPosition Side) {
  switch (Side) {
    case tpTop: return bBottom;
    case tpBottom: return bTop;
    case tpLeft: return bRight;
    default: return bLeft;
  }
}

void FillSolid(TuxCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(R, Color);
}

}  // namespace

PV_PC_PAINTER_CLASS_OBJECT(TuxPCExtraFlatPainter)
PV_PC_PAINTER_CLASS_OBJECT(TuxPCUltraFlatPainter)
PV_PC_PAINTER_CLASS_OBJECT(TuxPCOffice11Painter)
PV_PC_PAINTER_CLASS_OBJECT(TuxPCFlatPainter)

bool TuxPCUltraFlatPainter::Meta::IsDefaultForLookAndFeel(TuxLookAndFeel* L) const {
  return L && uxPCLookAndFeelStyle(L) == psUltraFlat;
}
bool TuxPCOffice11Painter::Meta::IsDefaultForLookAndFeel(TuxLookAndFeel* L) const {
  return L && uxPCLookAndFeelStyle(L) == psOffice11;
}
bool TuxPCFlatPainter::Meta::IsDefaultForLookAndFeel(TuxLookAndFeel* L) const {
  return L && uxPCLookAndFeelStyle(L) == psFlat;
}

// ---------------------------------------------------------------------------
// ExtraFlat: sizes

int TuxPCExtraFlatPainter::GetTabNonTextWidth(int VisibleIndex) {
  if (!HasImages() || (VisibleIndex != -1 && !TabHasImage(VisibleIndex) && !FOwnerControl->Rotate())) return 0;
  return GetImageSize().cx + 2 * FOwnerControl->ImageBorder() + 4;
}

int TuxPCExtraFlatPainter::CalculateTabWidth(TuxTab* Tab) {
  if (FOwnerControl->TabWidth() > 0) return FOwnerControl->TabWidth();
  const int V = Tab->VisibleIndex();
  const int W =
      GetTabNonTextWidth(V) + (Tab->Caption().empty() ? 12 : FOwnerControl->MeasureCaption(Tab) + 9);
  return std::max(W, GetMinTabWidth(V));
}

int TuxPCExtraFlatPainter::CalculateTabHeight() {
  int H = AdjustTabHeightParity(std::max(GetTabContentHeight(), GetMinTabHeight()));
  const int Wanted = FOwnerControl->TabHeight() - 4;
  if (Wanted >= GetMinTabHeight() && Wanted > H) H = Wanted;
  return H;
}

void TuxPCExtraFlatPainter::GetTabRectCorrection(int VisibleIndex, int (&D)[4]) {
  const int V = VisibleTab(VisibleIndex)->IsMain() ? 1 : 0;
  D[0] = D[1] = -V;
  D[2] = D[3] = V;
}

void TuxPCExtraFlatPainter::GetTabContentIndents(int VisibleIndex, TRect& R) {
  R = pcRect(VisibleTab(VisibleIndex)->IsMain() ? 3 : 2, 0, 0, 0);
}

void TuxPCExtraFlatPainter::GetTabFrameIndents(int VisibleIndex, TRect& R) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const bool Main = T->IsMain();
  R = pcRect(Main ? 6 : 5, 2, 3, 0);
  const int Kind = T->DrawKind();
  if (Kind == 5 || Kind == 7 || Kind == 10) R.top = R.bottom = 0;
  if (GetRotatedImageSize().cx > 0) R.left += Main ? 1 : 2;
}

void TuxPCExtraFlatPainter::GetTextIndents(int VisibleIndex, TuxPCPair& Pair) {
  Pair = VisibleTab(VisibleIndex)->IsMain() ? TuxPCPair{3, 3} : TuxPCPair{2, 2};
}

// Unturned: the layout exchanges the two for rotated tabs.
void TuxPCExtraFlatPainter::GetTabsInterval(TPoint& Interval) {
  Interval = pcPoint(GetTabSpacing(), GetRowEdgeWidth() + 3);
}

// ---------------------------------------------------------------------------
// ExtraFlat: colours and the page

TColor TuxPCExtraFlatPainter::GetClientColor() {
  const int Main = FOwnerControl->MainTab();
  if (Main < 0 || Main >= FOwnerControl->VisibleTabs()->Count()) return clBtnFace;
  return FControlInfo->PageColor(Main);
}

TColor TuxPCExtraFlatPainter::GetTabColor(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (T->Highlighted()) return HighlightColor();
  const TColor C = GetTabBaseColor(VisibleIndex);
  if (C != clDefault) return C;
  return T->IsMain() ? clBtnFace : GetInactiveTabColor();
}

TColor TuxPCExtraFlatPainter::GetPageBandColor() {
  const int Main = FOwnerControl->MainTab();
  if (Main < 0 || Main >= FOwnerControl->VisibleTabs()->Count()) return clBtnFace;
  const TColor C = GetTabBaseColor(Main);
  return C == clDefault ? clBtnFace : C;
}

void TuxPCExtraFlatPainter::GetPageBandRect(TRect& R) {
  R = TRect{};
  if (FOwnerControl->HideTabs() || FOwnerControl->RowCount() == 0) return;
  const TRect D = GetDisplayRect();
  switch (FOwnerControl->TabPosition()) {
    case tpTop: R = pcRect(D.left, D.top - 2, D.right, D.top); break;
    case tpBottom: R = pcRect(D.left, D.bottom, D.right, D.bottom + 2); break;
    case tpLeft: R = pcRect(D.left - 2, D.top, D.left, D.bottom); break;
    case tpRight: R = pcRect(D.right, D.top, D.right + 2, D.bottom); break;
  }
}

void TuxPCExtraFlatPainter::AdjustDisplayIndents(TRect& R) {
  if (HasFrame() && !FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0) R.top -= 1;
}

void TuxPCExtraFlatPainter::GetDisplayIndents(TRect& R) {
  TuxPCStandardPainter::GetDisplayIndents(R);
  if (!FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0) R.top += 2;
  AdjustDisplayIndents(R);
}

void TuxPCExtraFlatPainter::GetClientIndents(TRect& R) {
  TuxPCStandardPainter::GetClientIndents(R);
  if (!FOwnerControl->HideTabs() && FControlInfo->HasOppositeRows()) R.bottom += 3;
}

void TuxPCExtraFlatPainter::GetTabRowRect(int VisibleIndex, bool WholeRow, TRect& R) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (WholeRow || !T->IsMain())
    R = GrowTurned(T->NormalRect(), pcRect(0, 3, 0, GetRowEdgeWidth()), FOwnerControl->TabPosition());
  else
    R = ShrinkTurned(T->FullRect(), pcRect(1, 1, 1, 0), T->Side());
}

TRect TuxPCExtraFlatPainter::GetWholeRowRect(int FirstVisibleIndex) {
  TRect R;
  GetTabRowRect(FirstVisibleIndex, true, R);
  const int Inset = HasPageBorder() ? 1 : 0;
  if (FOwnerControl->IsHorizontalRow()) {
    R.left = Inset;
    R.right = FOwnerControl->Width() - Inset;
  } else {
    R.top = Inset;
    R.bottom = FOwnerControl->Height() - Inset;
  }
  return R;
}

void TuxPCExtraFlatPainter::GetMainTabFocusRect(TRect& R) {
  const int Main = FOwnerControl->MainTab();
  R = Main >= 0 ? VisibleTab(Main)->FullRect() : TRect{};
  static const int Moves[4][4] = {{0, 0, -1, 1}, {1, -1, -1, -1}, {0, 0, 1, -1}, {-1, 1, -1, -1}};
  const int* M = Moves[FOwnerControl->TabPosition()];
  R = pcRect(R.left + M[0], R.top + M[1], R.right + M[2], R.bottom + M[3]);
}

void TuxPCUltraFlatPainter::GetMainTabFocusRect(TRect& R) {
  const int Main = FOwnerControl->MainTab();
  R = Main >= 0 ? VisibleTab(Main)->FullRect() : TRect{};
  R = ShrinkTurned(R, pcRect(1, 1, 1, 0), FOwnerControl->TabPosition());
}

// ---------------------------------------------------------------------------
// ExtraFlat: the layout

void TuxPCExtraFlatPainter::CalculateTabsLayout(TuxPCNavigatorButtons Buttons, TabLayoutParams& Params) {
  const TuxTabPosition P = FOwnerControl->TabPosition();
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  const int A = GetNavigatorAreaLength(Buttons);
  const int F = HasPageBorder() ? GetFrameWidth() : 0;
  TRect Rows = ShrinkTurned(ControlBounds(), pcRect(6, 3 + F, 6, F), P);
  Params.RowLength = (Horizontal ? FOwnerControl->Width() : FOwnerControl->Height()) - A - 12;
  if (A > 0) CutNavigatorArea(Rows, A);
  Params.RowsRect = Rows;
  Params.TabsArea = GrowTurned(Rows, pcRect(1, 1, 1, 0), P);
  const bool Near = P == tpTop || P == tpLeft;
  Params.NearAreaExtension = Near ? 1 : 0;
  Params.FarAreaExtension = Near ? 0 : -1;
  TPoint Interval;
  GetTabsInterval(Interval);
  Params.AreaGap = Interval.y - 1;
  CalculateNavigatorButtons(Buttons);
}

// ---------------------------------------------------------------------------
// ExtraFlat: painting

void TuxPCExtraFlatPainter::PaintContent() {
  DrawFrameAndPageArea();
  if (FOwnerControl->HideTabs()) return;
  DrawNavigatorButtons();
  DrawTabs();
}

void TuxPCExtraFlatPainter::DrawFrameAndPageArea() {
  if (!FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0) {
    TRect Band;
    GetPageBandRect(Band);
    FillSolid(Canvas(), Band, GetPageBandColor());
  }
  TuxPCStandardPainter::DrawFrameAndPageArea();
}

void TuxPCExtraFlatPainter::DrawFlatPageFrame(TColor C1, TColor C2) {
  TRect R = GetClientRect();
  if (FOwnerControl->HideTabs() || FOwnerControl->RowCount() == 0) {
    DrawBorderLines(Canvas(), R, {bLeft, bTop, bRight, bBottom}, {C1, C1, C2, C2}, false);
    return;
  }
  switch (FOwnerControl->TabPosition()) {
    case tpTop: DrawBorderLines(Canvas(), R, {bRight, bBottom, bLeft}, {C2, C2, C1}, false); break;
    case tpBottom: DrawBorderLines(Canvas(), R, {bRight, bTop, bLeft}, {C2, C1, C1}, false); break;
    case tpLeft: DrawBorderLines(Canvas(), R, {bBottom, bRight, bTop}, {C2, C2, C1}, false); break;
    case tpRight: DrawBorderLines(Canvas(), R, {bBottom, bLeft, bTop}, {C2, C1, C1}, false); break;
  }
}

TRect TuxPCExtraFlatPainter::GetSeparatorRect(int VisibleIndex) {
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  TuxTab* T = VisibleTab(VisibleIndex);
  if (T->IsMain() || VisibleIndex >= Last) return TRect{};
  TuxTab* N = VisibleTab(VisibleIndex + 1);
  if (N->IsMain() || N->DrawnRow != T->DrawnRow) return TRect{};
  const TRect R = T->FullRect();
  const int W = GetTabSpacing();
  TuxPCPair I;
  GetSeparatorIndents(I);
  const bool Rotate = FOwnerControl->Rotate();
  if (FOwnerControl->IsHorizontalRow()) {
    if (Rotate && FOwnerControl->TextDirection() == 2)
      return pcRect(R.left - W, R.top + I.First, R.left, R.bottom - I.Second);
    return pcRect(R.right, R.top + I.First, R.right + W, R.bottom - I.Second);
  }
  if (!Rotate && FOwnerControl->TextDirection() == 1)
    return pcRect(R.left + I.First, R.top - W, R.right - I.Second, R.top);
  return pcRect(R.left + I.First, R.bottom, R.right - I.Second, R.bottom + W);
}

void TuxPCExtraFlatPainter::DrawTabSeparator(const TRect& R) {
  FillSolid(Canvas(), R, clBtnShadow);
  Canvas()->ExcludeClipRect(R);
}

TuxTabPosition TuxPCExtraFlatPainter::RowSide(int Row) {
  const bool Near = Row < FOwnerControl->NearRowCount();
  return FOwnerControl->IsHorizontalRow() ? (Near ? tpTop : tpBottom) : (Near ? tpLeft : tpRight);
}

void TuxPCExtraFlatPainter::DrawRowEdge(TRect R, int Row) {
  const TuxTabPosition Side = RowSide(Row);
  const TuxBorder B = PageBorder(Side);
  const TColor Outer = Side == tpTop || Side == tpLeft ? clWhite : clBlack;
  for (TColor C : {TColor(clBtnFace), TColor(clBtnFace), Outer}) DrawBorderLines(Canvas(), R, {B}, {C}, true);
}

void TuxPCUltraFlatPainter::DrawRowEdge(TRect R, int Row) {
  const TuxBorder B = PageBorder(RowSide(Row));
  const int Main = FOwnerControl->MainTab();
  int MainRow;
  if (Main >= 0 && Main < FOwnerControl->VisibleTabs()->Count())
    MainRow = VisibleTab(Main)->DrawnRow;
  else
    MainRow = FOwnerControl->TabPosition() == tpTop || FOwnerControl->TabPosition() == tpLeft
                  ? FOwnerControl->RowCount() - 1
                  : 0;
  const TColor Face = clBtnFace, Dark = clBlack;
  if (Row == MainRow)
    for (TColor C : {Face, Face, Dark}) DrawBorderLines(Canvas(), R, {B}, {C}, true);
  else
    for (TColor C : {Face, Dark, Face}) DrawBorderLines(Canvas(), R, {B}, {C}, true);
}

void TuxPCExtraFlatPainter::DrawTabBackground(TuxCanvas* ACanvas, TRect R, int VisibleIndex) {
  if (VisibleIndex == -1) {
    FillSolid(ACanvas, R, GetInactiveTabColor());
    return;
  }
  if (!VisibleTab(VisibleIndex)->IsMain()) {
    ACanvas->FrameRect(R, GetInactiveTabColor());
    R = pcInflate(R, -1, -1);
  }
  FillSolid(ACanvas, R, GetTabColor(VisibleIndex));
}

void TuxPCExtraFlatPainter::DrawOutlineLines(TRect& R, TColor C1, TColor C2) {
  const TRect Original = R;
  const TuxTabPosition Side = VisibleTab(FOwnerControl->MainTab())->Side();
  switch (Side) {
    case tpTop: DrawBorderLines(Canvas(), R, {bLeft, bTop, bRight}, {C1, C1, C2}, false); break;
    case tpBottom: DrawBorderLines(Canvas(), R, {bLeft, bBottom, bRight}, {C1, C2, C2}, false); break;
    case tpLeft: DrawBorderLines(Canvas(), R, {bTop, bLeft, bBottom}, {C1, C1, C2}, false); break;
    case tpRight: DrawBorderLines(Canvas(), R, {bTop, bRight, bBottom}, {C1, C2, C2}, false); break;
  }
  if (Side == tpBottom || Side == tpRight) Canvas()->SetPixel(Original.left, Original.top, C2);
}

void TuxPCExtraFlatPainter::DrawMainTabOutline(TRect& R) { DrawOutlineLines(R, clWhite, clBlack); }

void TuxPCUltraFlatPainter::DrawMainTabOutline(TRect& R) { DrawOutlineLines(R, clBlack, clBlack); }

void TuxPCExtraFlatPainter::DrawTabBody(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  TRect R = T->FullRect();
  if (T->IsMain()) DrawMainTabOutline(R);
  if (!IsTabTransparent(VisibleIndex)) DrawTabBackground(Canvas(), R, VisibleIndex);
  if (T->IsMain()) {
    TRect F;
    GetMainTabFocusRect(F);
    DrawTabFocusRect(VisibleIndex, F);
  }
}

void TuxPCExtraFlatPainter::DrawTabs() {
  TuxPCLineIndexBoundsArray Rows;
  GetRowBounds(Rows);
  for (int Row = 0; Row < int(Rows.size()); ++Row) {
    const TuxPCLineIndexBounds B = Rows[std::size_t(Row)];
    if (B.First == -1) continue;
    std::vector<TuxPCTabContentData> Content;
    SaveClipRegion();
    TRect RowRect;
    try {
      for (int i = B.First; i <= B.Last; ++i) {
        DrawTab(i);
        Content.push_back(FTabContentData);
        const TRect S = GetSeparatorRect(i);
        if (!pcIsEmpty(S)) DrawTabSeparator(S);
      }
      RowRect = GetWholeRowRect(B.First);
      DrawRowEdge(RowRect, Row);
      DrawTabBackground(Canvas(), RowRect, -1);
    } catch (...) {
      RestoreClipRegion();
      throw;
    }
    RestoreClipRegion();
    for (int i = B.First; i <= B.Last; ++i)
      if (IsTabTransparent(i)) {
        FTabContentData = Content[std::size_t(i - B.First)];
        DrawTabByEvent(i);
      }
    Canvas()->ExcludeClipRect(RowRect);
  }
}

void TuxPCExtraFlatPainter::RepaintTab(int VisibleIndex, TabChangeKind ChangeKind) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (IsVerticalCaption()) FreeRotatedCaptionBitmap(T);
  if (ChangeKind == tckMain && !T->IsMain()) {
    TRect R;
    GetTabRowRect(VisibleIndex, true, R);
    InvalidateBounds(pcInflate(R, 1, 1));
  } else {
    InvalidateTab(VisibleIndex);
  }
  if (T->IsMain()) {
    TRect Band;
    GetPageBandRect(Band);
    InvalidateBounds(Band);
  }
}

// ---------------------------------------------------------------------------
// ExtraFlat and UltraFlat: navigator buttons

bool TuxPCExtraFlatPainter::IsNavigatorButtonDisabled(TuxPCNavigatorButton Button) {
  return !FOwnerControl->Enabled() || FOwnerControl->NavigatorButtonState(Button) == nbsDisabled;
}

int TuxPCExtraFlatPainter::GetNavigatorButtonGap(TuxPCNavigatorButton B1, TuxPCNavigatorButton B2) {
  return MatchesEitherButton(B1, B2, nbGoDialog) && B1 != nbClose && B2 != nbClose ? 0 : 3;
}

TColor TuxPCExtraFlatPainter::GetNavigatorButtonColor(Byte State) {
  return State == nbsPressed || State == nbsHotTrack ? TColor(clBtnFace) : GetInactiveTabColor();
}

TColor TuxPCExtraFlatPainter::GetNavigatorGlyphColor(Byte State) {
  if (!FOwnerControl->Enabled() || State == nbsDisabled) return clBtnShadow;
  return State == nbsPressed ? clBtnHighlight : clBtnText;
}

void TuxPCExtraFlatPainter::GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) {
  TuxPCStandardPainter::GetNavigatorGlyphColors(Button, Colors);
  Colors.Enabled = true;
  const bool Disabled = IsNavigatorButtonDisabled(Button);
  Colors.SmallGlyph = Button == nbClose || Disabled;
  if (Disabled) Colors.BrushColor = uxPCLightButtonFace();  // a hollow outline
}

void TuxPCExtraFlatPainter::GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  const bool Horizontal = FOwnerControl->IsHorizontalRow();
  if (Button == nbGoDialog) {
    Offset = pcPoint(3, 4);
    if (FOwnerControl->NavigatorButtonState(Button) == nbsPressed) ++Offset.y;
    return;
  }
  if (Button == nbClose) {
    Offset = Horizontal ? pcPoint(3, 2) : pcPoint(2, 3);
    return;
  }
  switch (GetArrowDirection(Button)) {
    case pcaUp: Offset = pcPoint(2, 5); break;
    case pcaDown: Offset = pcPoint(2, 3); break;
    case pcaLeft: Offset = pcPoint(5, 2); break;
    case pcaRight: Offset = pcPoint(3, 2); break;
  }
}

void TuxPCExtraFlatPainter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  if (State != nbsPressed && State != nbsHotTrack) return;
  Draw3DButtonBorder(R, State == nbsPressed, true);
  R = pcInflate(R, -1, -1);
}

int TuxPCUltraFlatPainter::GetNavigatorButtonLength(TuxPCNavigatorButton Button) {
  switch (Button) {
    case nbGoDialog: return 11;
    case nbClose: return 14;
    default: return 15;
  }
}

int TuxPCUltraFlatPainter::GetNavigatorButtonGap(TuxPCNavigatorButton B1, TuxPCNavigatorButton B2) {
  return MatchesEitherButton(B1, B2, nbClose) ? 3 : 1;
}

TColor TuxPCUltraFlatPainter::GetNavigatorButtonColor(Byte State) {
  if (State == nbsHotTrack) return clBtnFace;
  if (State == nbsPressed) return clBtnShadow;
  return GetInactiveTabColor();
}

void TuxPCUltraFlatPainter::GetNavigatorGlyphColors(TuxPCNavigatorButton Button, TuxPCNavigatorGlyphColors& Colors) {
  TuxPCExtraFlatPainter::GetNavigatorGlyphColors(Button, Colors);
  Colors.Enabled = FOwnerControl->Enabled();
  Colors.SmallGlyph = Button == nbClose;
  Colors.BrushColor = Colors.PenColor;
}

void TuxPCUltraFlatPainter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  Canvas()->FrameRect(R, State == nbsPressed || State == nbsHotTrack ? TColor(clBlack) : TColor(clBtnShadow));
  R = pcInflate(R, -1, -1);
}

// ---------------------------------------------------------------------------
// Office11

TColor TuxPCOffice11Painter::GetTabBorderColor() { return TabFrame(); }

void TuxPCOffice11Painter::GetSeparatorIndents(TuxPCPair& Pair) {
  const TuxTabPosition P = FOwnerControl->TabPosition();
  Pair = P == tpTop || P == tpLeft ? TuxPCPair{0, 2} : TuxPCPair{3, -1};
}

void TuxPCOffice11Painter::GetPageBandRect(TRect& R) {
  R = TRect{};
  if (FOwnerControl->HideTabs() || FOwnerControl->RowCount() == 0) return;
  const TRect C = GetClientRect();
  switch (FOwnerControl->TabPosition()) {
    case tpTop: R = pcRect(C.left, C.top, C.right, C.top + 2); break;
    case tpBottom: R = pcRect(C.left, C.bottom - 2, C.right, C.bottom); break;
    case tpLeft: R = pcRect(C.left, C.top, C.left + 2, C.bottom); break;
    case tpRight: R = pcRect(C.right - 2, C.top, C.right, C.bottom); break;
  }
}

TColor TuxPCOffice11Painter::GetTabColor(int VisibleIndex) {
  if (VisibleTab(VisibleIndex)->Highlighted()) return HighlightColor();
  return GetTabBaseColor(VisibleIndex);
}

bool TuxPCOffice11Painter::IsTabTransparent(int VisibleIndex) {
  return !VisibleTab(VisibleIndex)->IsMain() && GetTabColor(VisibleIndex) == clDefault;
}

bool TuxPCOffice11Painter::NeedsRedrawOnResize() {
  const TuxPCOptions O = FOwnerControl->Options();
  return O.Contains(pcoGradient) && O.Contains(pcoGradientClientArea);
}

void TuxPCOffice11Painter::GetDisplayIndents(TRect& R) {
  TuxPCExtraFlatPainter::GetDisplayIndents(R);
  if (!HasFrame() && FControlInfo->HasOppositeRows()) R.bottom += 1;
}

void TuxPCOffice11Painter::FillOffice11(TuxCanvas* ACanvas, const TRect& R, int VisibleIndex, bool Horizontal,
                                        bool Swap) {
  const bool Gradient = FOwnerControl->Options().Contains(pcoGradient);
  auto Fill = [&](TColor C1, TColor C2) {
    if (Swap) std::swap(C1, C2);
    if (Gradient)
      FillGradientRect(ACanvas->Handle(), R, C1, C2, Horizontal);
    else
      FillSolid(ACanvas, R, MixColorsByPercent(C1, C2, 50));
  };
  if (VisibleIndex == -1 || GetTabColor(VisibleIndex) == clDefault) {
    if (VisibleIndex != -1 && VisibleTab(VisibleIndex)->IsMain())
      Fill(HotButton1(), HotButton2());
    else
      Fill(DockBack1(), DockBack2());
    return;
  }
  TuxTab* T = VisibleTab(VisibleIndex);
  FillSolid(ACanvas, R, GetTabColor(VisibleIndex));
  if (T->IsMain()) return;
  // An ordinary tab of its own colour keeps the row's shading on its page side.
  const TuxTabPosition Side = T->Side();
  const bool NearSide = Side == tpTop || Side == tpLeft;
  TColor Line = NearSide ? DockBack2() : DockBack1();
  if (!Gradient) Line = MixColorsByPercent(DockBack1(), DockBack2(), 50);
  TRect L;
  switch (Side) {
    case tpTop: L = pcRect(R.left, R.bottom - 1, R.right, R.bottom); break;
    case tpBottom: L = pcRect(R.left, R.top, R.right, R.top + 1); break;
    case tpLeft: L = pcRect(R.right - 1, R.top, R.right, R.bottom); break;
    case tpRight: L = pcRect(R.left, R.top, R.left + 1, R.bottom); break;
  }
  FillSolid(ACanvas, L, Line);
}

void TuxPCOffice11Painter::DrawTabBackground(TuxCanvas* ACanvas, TRect R, int VisibleIndex) {
  FillOffice11(ACanvas, R, VisibleIndex, !FOwnerControl->IsHorizontalRow(), false);
}

void TuxPCOffice11Painter::DrawMainTabOutline(TRect& R) { DrawOutlineLines(R, GetTabBorderColor(), GetTabBorderColor()); }

void TuxPCOffice11Painter::DrawTabSeparator(const TRect& R) {
  const TRect Dark = pcRect(R.left, R.top, R.right - 1, R.bottom - 1);
  FillSolid(Canvas(), Dark, SeparatorDark());
  Canvas()->ExcludeClipRect(Dark);
  const TRect Light = pcOffset(Dark, 1, 1);
  FillSolid(Canvas(), Light, SeparatorLight());
  Canvas()->ExcludeClipRect(Light);
}

void TuxPCOffice11Painter::DrawRowEdge(TRect R, int Row) {
  DrawBorderLines(Canvas(), R, {PageBorder(RowSide(Row))}, {GetTabBorderColor()}, true);
}

void TuxPCOffice11Painter::FillPageArea() {
  const TRect D = GetDisplayRect();
  TControl* Page = FOwnerControl->GetActivePage();
  if (!Page || Page->ParentColor()) {
    const TuxPCOptions O = FOwnerControl->Options();
    if (O.Contains(pcoGradient) && O.Contains(pcoGradientClientArea))
      FillGradientRect(Canvas()->Handle(), D, DockBack1(), DockBack2(), false);
    else
      FillSolid(Canvas(), D, MixColorsByPercent(DockBack1(), DockBack2(), 50));
    return;
  }
  FillSolid(Canvas(), D, Page->Color());
}

void TuxPCOffice11Painter::DrawFrameAndPageArea() {
  if (!HasFrame() && !FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0 &&
      FControlInfo->HasOppositeRows()) {
    const TRect D = GetDisplayRect();
    TRect L;
    switch (FOwnerControl->TabPosition()) {
      case tpTop: L = pcRect(D.left, D.bottom, D.right, D.bottom + 1); break;
      case tpBottom: L = pcRect(D.left, D.top - 1, D.right, D.top); break;
      case tpLeft: L = pcRect(D.right, D.top, D.right + 1, D.bottom); break;
      case tpRight: L = pcRect(D.left - 1, D.top, D.left, D.bottom); break;
    }
    FillSolid(Canvas(), L, GetTabBorderColor());
    Canvas()->ExcludeClipRect(L);
  }
  TuxPCExtraFlatPainter::DrawFrameAndPageArea();
}

void TuxPCOffice11Painter::DrawFrame() { Canvas()->FrameRect(pcInflate(GetDisplayRect(), 1, 1), GetTabBorderColor()); }

void TuxPCOffice11Painter::PrepareTabBitmapBackground(TBitmap* Bitmap, const TPoint& P, int VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= FOwnerControl->VisibleTabs()->Count()) return;
  TRect R;
  GetTabRowRect(VisibleIndex, false, R);
  R = ShrinkTurned(R, pcRect(0, 0, 0, GetRowEdgeWidth()), FOwnerControl->TabPosition());
  bool Mirrored = false;
  R = uxPCCaptionBitmapRect(FOwnerControl, R, P, Bitmap, Mirrored);
  TuxCanvas C(Bitmap->Canvas());
  FillOffice11(&C, R, VisibleIndex, FOwnerControl->Rotate(), Mirrored);
}

TColor TuxPCOffice11Painter::GetNavigatorGlyphColor(Byte State) {
  return !FOwnerControl->Enabled() || State == nbsDisabled ? GrayText() : ButtonText();
}

void TuxPCOffice11Painter::FillNavigatorButton(const TRect& R, Byte State) {
  if (!ClipToRect(R)) return;
  try {
    // The shading continues that of the first tab row.
    TRect Row = R;
    if (FOwnerControl->FirstVisibleTab() >= 0 && FOwnerControl->FirstVisibleTab() < FOwnerControl->VisibleTabs()->Count())
      Row = GetWholeRowRect(FOwnerControl->FirstVisibleTab());
    const bool Horizontal = !FOwnerControl->IsHorizontalRow();
    const bool Gradient = FOwnerControl->Options().Contains(pcoGradient);
    auto Fill = [&](TColor C1, TColor C2) {
      FillSolid(Canvas(), R, MixColorsByPercent(C1, C2, 50));
      if (Gradient) FillGradientRect(Canvas()->Handle(), Row, C1, C2, Horizontal);
    };
    if (State == nbsPressed)
      Fill(PressedButton1(), PressedButton2());
    else if (State == nbsHotTrack)
      Fill(HotButton1(), HotButton2());
    else
      Fill(DockBack1(), DockBack2());
  } catch (...) {
    RestoreClipRegion();
    throw;
  }
  RestoreClipRegion();
}

void TuxPCOffice11Painter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  const bool Disabled = !FOwnerControl->Enabled() || State == nbsDisabled;
  Canvas()->FrameRect(R, Disabled ? GrayText() : GetTabBorderColor());
  R = pcInflate(R, -1, -1);
}

// ---------------------------------------------------------------------------
// Flat

void TuxPCFlatPainter::DrawPageFrame(const TRect& R) { Canvas()->DrawComplexFrame(R, clBtnHighlight, clBtnShadow); }

void TuxPCFlatPainter::GetNavigatorGlyphOffset(TuxPCNavigatorButton Button, TPoint& Offset) {
  GetFixedGlyphOffset(Button, Offset);
  Offset.x -= 1;
  Offset.y -= 1;
}

void TuxPCFlatPainter::DrawNavigatorButtonFrame(TRect& R, Byte State) {
  if (State == nbsPressed)
    Canvas()->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  else
    Canvas()->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
  R = pcInflate(R, -1, -1);
}

void TuxPCFlatPainter::DrawTabBorder(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  const TRect Rc = T->FullRect();
  const int L = Rc.left, Tp = Rc.top, R = Rc.right, B = Rc.bottom;
  const TColor Inner = LightenColor(GetTabColor(VisibleIndex), 85);
  auto Line = [&](std::initializer_list<TPoint> P, TColor C) { DrawPolyline(std::vector<TPoint>(P), nullptr, C); };
  switch (T->Side()) {
    case tpTop:
      Line({{L, B - 1}, {L, Tp + 2}, {L + 2, Tp}, {R - 3, Tp}, {R - 2, Tp + 1}}, clBtnHighlight);
      Line({{R - 1, Tp + 2}, {R - 1, B - 1}}, clBtnShadow);
      Line({{L + 1, B - 1}, {L + 1, Tp + 2}, {L + 2, Tp + 1}, {R - 3, Tp + 1}, {R - 2, Tp + 2}, {R - 2, B - 1}}, Inner);
      break;
    case tpBottom:
      Line({{L, Tp}, {L, B - 3}, {L + 1, B - 2}}, clBtnHighlight);
      Line({{L + 2, B - 1}, {R - 3, B - 1}, {R - 1, B - 3}, {R - 1, Tp}}, clBtnShadow);
      Line({{L + 1, Tp}, {L + 1, B - 3}}, Inner);
      Line({{L + 2, B - 2}, {R - 3, B - 2}, {R - 2, B - 3}, {R - 2, Tp}}, clBtnFace);
      break;
    case tpLeft:
      Line({{R - 1, B - 1}, {L + 2, B - 1}}, clBtnShadow);
      Line({{L + 1, B - 2}, {L, B - 3}, {L, Tp + 2}, {L + 2, Tp}, {R - 1, Tp}}, clBtnHighlight);
      Line({{R - 1, B - 2}, {L + 2, B - 2}, {L + 1, B - 3}, {L + 1, Tp + 2}, {L + 2, Tp + 1}, {R - 1, Tp + 1}}, Inner);
      break;
    case tpRight:
      Line({{L, Tp}, {R - 3, Tp}, {R - 2, Tp + 1}}, clBtnHighlight);
      Line({{R - 1, Tp + 2}, {R - 1, B - 3}, {R - 3, B - 1}, {L, B - 1}}, clBtnShadow);
      Line({{L, Tp + 1}, {R - 3, Tp + 1}}, Inner);
      Line({{R - 2, Tp + 2}, {R - 2, B - 3}, {R - 3, B - 2}, {L, B - 2}}, clBtnFace);
      break;
  }
  DrawTabCorners(VisibleIndex);
}

// ---------------------------------------------------------------------------
// the caption bitmap's coordinates

TRect uxPCCaptionBitmapRect(TuxCustomTabControl* C, TRect R, TPoint P, TBitmap* Bitmap, bool& Mirrored) {
  Mirrored = false;
  if (C->IsVerticalText()) {
    R = pcRect(R.top, R.left, R.bottom, R.right);
    P = pcPoint(P.y, P.x);
  }
  const int BW = Bitmap->Width(), BH = Bitmap->Height();
  if (C->Rotate() && C->TextDirection() == 1) {
    Mirrored = true;
    const int Left = BW - (R.right - P.x);
    return pcRect(Left, R.top - P.y, Left + R.Width(), R.bottom - P.y);
  }
  if (!C->Rotate() && C->TextDirection() == 2) {
    Mirrored = true;
    const int Top = BH - (R.bottom - P.y);
    return pcRect(R.left - P.x, Top, R.right - P.x, Top + R.Height());
  }
  return pcOffset(R, -P.x, -P.y);
}
