// The Buttons and FlatButtons styles: tabs drawn as 3-D push buttons, or as
// flat buttons that show a border only when down, hot or tracked, separated
// by etched lines.
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

PV_PC_PAINTER_CLASS_OBJECT(TuxPCButtonsPainter)
PV_PC_PAINTER_CLASS_OBJECT(TuxPCFlatButtonsPainter)

// ---------------------------------------------------------------------------
// shared by both

void TuxPCButtonedPainter::GetClientIndents(TRect& R) {
  TuxPCStandardPainter::GetClientIndents(R);
  if (!FOwnerControl->HideTabs() && FOwnerControl->RowCount() > 0) R.top += 2;
}

TColor TuxPCButtonedPainter::GetTabColor(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (T->Highlighted()) return HighlightColor();
  const TColor C = GetTabBaseColor(VisibleIndex);
  if (C != clDefault) return C;
  return T->IsMain() ? clBtnHighlight : clBtnFace;
}

void TuxPCButtonedPainter::GetTextIndents(int, TuxPCPair& Pair) { Pair = HasImages() ? TuxPCPair{3, 4} : TuxPCPair{4, 4}; }

bool TuxPCButtonedPainter::IsTabDown(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  return T->IsPressed() || T->Selected() || T->IsMain();
}

bool TuxPCButtonedPainter::IsTabDrawnAsMain(int VisibleIndex) {
  return !VisibleTab(VisibleIndex)->IsTracked() && IsTabDown(VisibleIndex);
}

// ---------------------------------------------------------------------------
// Buttons

bool TuxPCButtonsPainter::IsTabDrawnAsMain(int VisibleIndex) {
  return VisibleTab(VisibleIndex)->IsTracked() || IsTabDown(VisibleIndex);
}

void TuxPCButtonsPainter::DrawTabBody(int VisibleIndex) {
  TRect R = VisibleTab(VisibleIndex)->FullRect();
  const bool Down = IsTabDrawnAsMain(VisibleIndex);
  Canvas()->DrawComplexFrame(R, Down ? cl3DDkShadow : clBtnHighlight, Down ? clBtnHighlight : cl3DDkShadow);
  R = pcInflate(R, -1, -1);
  Canvas()->DrawComplexFrame(R, Down ? clBtnShadow : cl3DLight, Down ? cl3DLight : clBtnShadow);
  R = pcInflate(R, -1, -1);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(R, GetTabColor(VisibleIndex));
  DrawTabFocusRect(VisibleIndex, pcInflate(R, 1, 1));
}

// ---------------------------------------------------------------------------
// FlatButtons

void TuxPCFlatButtonsPainter::DrawTabBody(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  TRect R = T->FullRect();
  if (!T->IsTracked() && IsTabDown(VisibleIndex)) {
    Draw3DButtonBorder(R, true, false);
    R = pcInflate(R, -2, -2);
  } else if (T->IsHot() || T->IsTracked()) {
    const int L = R.left, Tp = R.top, Rt = R.right, B = R.bottom;
    DrawPolyline({pcPoint(L, B - 2), pcPoint(L, Tp), pcPoint(Rt - 2, Tp)}, nullptr, clBtnHighlight);
    DrawPolyline({pcPoint(L, B - 1), pcPoint(Rt - 1, B - 1), pcPoint(Rt - 1, Tp)}, nullptr, clBtnShadow);
    R = pcInflate(R, -1, -1);
  }
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(R, GetTabColor(VisibleIndex));
  DrawTabFocusRect(VisibleIndex, pcInflate(R, 1, 1));
}

TRect TuxPCFlatButtonsPainter::GetSeparatorBand(int VisibleIndex) {
  TuxCustomTabControl* C = FOwnerControl;
  TuxTab* T = VisibleTab(VisibleIndex);
  int First, Last;
  C->GetShownRange(First, Last);
  bool Follows = false;
  if (!C->Rotate()) {
    Follows = VisibleIndex < Last && VisibleTab(VisibleIndex + 1)->DrawnRow == T->DrawnRow;
  } else if (C->RowCount() > 1 && T->RowNumber < C->RowCount() - 1) {
    const bool Horizontal = C->IsHorizontalRow();
    const TRect R = T->FullRect();
    for (int i = std::max(First, 0); i <= Last && !Follows; ++i) {
      TuxTab* N = VisibleTab(i);
      const TRect NR = N->FullRect();
      Follows = N->RowNumber == T->RowNumber + 1 && (Horizontal ? NR.left == R.left : NR.top == R.top);
    }
  }
  if (!Follows) return TRect{};
  TPoint Interval;
  GetTabsInterval(Interval);
  const int A = Interval.x;
  const TRect R = T->FullRect();
  if (IsVerticalCaption()) {
    const bool Above = !C->IsHorizontalRow() && !C->Rotate() && C->TextDirection() == 1;
    return Above ? pcRect(R.left, R.top - A, R.right, R.top) : pcRect(R.left, R.bottom, R.right, R.bottom + A);
  }
  return pcRect(R.right, R.top, R.right + A, R.bottom);
}

void TuxPCFlatButtonsPainter::DrawTab(int VisibleIndex) {
  TuxPCStandardPainter::DrawTab(VisibleIndex);
  const TRect Band = GetSeparatorBand(VisibleIndex);
  if (pcIsEmpty(Band) || !Canvas()->RectVisible(Band)) return;
  const TRect R = VisibleTab(VisibleIndex)->FullRect();
  TPoint Interval;
  GetTabsInterval(Interval);
  const int Inset = (Interval.x - 2) / 2;
  SaveClipRegion();
  TRect Line;
  if (Band.Width() == R.Width()) {
    const int Y = Band.top + Inset;
    DrawPolyline({pcPoint(R.left + 1, Y), pcPoint(R.right - 2, Y)}, nullptr, clBtnShadow);
    DrawPolyline({pcPoint(R.left + 1, Y + 1), pcPoint(R.right - 2, Y + 1)}, nullptr, clBtnHighlight);
    Line = pcRect(R.left + 1, Y, R.right - 1, Y + 2);
  } else {
    const int X = Band.left + Inset;
    DrawPolyline({pcPoint(X, R.top + 1), pcPoint(X, R.bottom - 2)}, nullptr, clBtnShadow);
    DrawPolyline({pcPoint(X + 1, R.top + 1), pcPoint(X + 1, R.bottom - 2)}, nullptr, clBtnHighlight);
    Line = pcRect(X, R.top + 1, X + 2, R.bottom - 1);
  }
  Canvas()->ExcludeClipRect(Line);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(Band, FOwnerControl->Color());
  RestoreClipRegion();
  Canvas()->ExcludeClipRect(Band);
}
