// Dock zones and resize zones: their rectangles, hit tests, selection frames
// and what docking into them or dragging them does.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"
#include "docking/kxdockpanel.h"

namespace {

TRect OwnerScreenRect(TkxCustomDockControl* C) { return kxControlScreenRect(C); }

// The caption offset of a left (vertical caption) or top (horizontal caption) zone.
int CaptionOffset(TkxCustomDockControl* Owner, bool LeftZone) {
  if (!Owner->Options().Contains(doUseCaptionAreaToClientDocking) || !Owner->HasCaption()) return 0;
  if (Owner->IsCaptionVertical() != LeftZone) return 0;
  TkxDockControlPainter* P = Owner->Painter();
  return P->CaptionHeight() + (Owner->HasBorder() ? P->BorderWidth() : 0);
}

bool EdgeZoneValid(TkxCustomDockControl* AOwner, TkxCustomDockControl* AControl, TkxDockingType T) {
  if (!AOwner->AllowDockClients().Contains(T)) return false;
  const bool Vertical = T == dtLeft || T == dtRight;
  for (TkxZone* Z : AControl->DockZones()) {
    if (Z->DockType() != T) continue;
    if (Vertical ? Z->Owner()->Height() == AOwner->Height() : Z->Owner()->Width() == AOwner->Width()) return false;
  }
  return true;
}

bool WidthAllowed(TControl* C, int W) {
  TSizeConstraints* K = C->Constraints();
  return (K->MinWidth() == 0 || W > K->MinWidth()) && (K->MaxWidth() == 0 || W < K->MaxWidth());
}

bool HeightAllowed(TControl* C, int H) {
  TSizeConstraints* K = C->Constraints();
  return (K->MinHeight() == 0 || H > K->MinHeight()) && (K->MaxHeight() == 0 || H < K->MaxHeight());
}

int ParentClientWidth(TControl* C) { return C->Parent() ? C->Parent()->ClientWidth() : 0; }
int ParentClientHeight(TControl* C) { return C->Parent() ? C->Parent()->ClientHeight() : 0; }

// Limits of an auto-hidden control's size across its bar.
int AutoHideLimit(TkxCustomDockControl* Owner, bool Horizontal) {
  TkxDockSite* S = Owner->AutoHideHostSite();
  if (!S) return 0;
  if (S->AutoSize()) {
    TWinControl* P = Owner->AutoHideContainer() ? Owner->AutoHideContainer()->Parent() : nullptr;
    if (!P) return 0;
    return Horizontal ? P->ClientWidth() - S->Width() : P->ClientHeight() - S->Height();
  }
  return Horizontal ? S->ClientWidth() : S->ClientHeight();
}

TkxAutoHidePosition AutoHidePositionOf(TkxCustomDockControl* C) {
  TkxDockSite* S = C->AutoHideHostSite();
  return S ? S->GetAutoHidePositionOf(C) : ahpUndefined;
}

bool AutoHideResizeValid(TkxCustomDockControl* C, TkxAutoHidePosition Opposite) {
  return C->AutoHide() && dynamic_cast<TkxDockSite*>(C->TopMostDockControl()) && AutoHidePositionOf(C) == Opposite;
}

}  // namespace

// ---- base ----

TkxZone::TkxZone(TkxCustomDockControl* AOwner, int AWidth) : FOwner(AOwner), FWidth(AWidth) {
  if (!AOwner) kxDockingAssert(kxsZoneWithoutOwner, AnsiString());
}

int TkxZone::SelectionFrameWidth() { return FOwner->SelectionFrameWidth(); }

bool TkxZone::CanConstrainedResize(int NewWidth, int NewHeight) {
  return WidthAllowed(FOwner, NewWidth) && HeightAllowed(FOwner, NewHeight);
}

bool TkxZone::CanDock(TkxCustomDockControl* AControl) { return FOwner->CanDockHost(AControl, DockType()); }

TRect TkxZone::GetDockingSelection(TkxCustomDockControl*) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxOffsetRect(GetRectangle(), O.left, O.top);
}

bool TkxZone::IsZonePoint(const TPoint& P) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxPtInRect(GetRectangle(), TPoint(P.x - O.left, P.y - O.top));
}

void TkxZone::DoDock(TkxCustomDockControl* AControl) { AControl->DockTo(FOwner, DockType(), DockIndex()); }

void TkxZone::DrawFrameBars(HDC DC, const TRect& R, int W) {
  PatBlt(DC, R.left + W, R.top, R.right - R.left - W, W, PATINVERT);
  PatBlt(DC, R.right - W, R.top + W, W, R.bottom - R.top - W, PATINVERT);
  PatBlt(DC, R.left, R.bottom - W, R.right - R.left - W, W, PATINVERT);
  PatBlt(DC, R.left, R.top, W, R.bottom - R.top - W, PATINVERT);
}

void TkxZone::DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint&) {
  DrawFrameBars(DC, GetDockingSelection(AControl), SelectionFrameWidth());
}

void TkxZone::DrawResizingSelection(HDC DC, const TPoint& P) {
  const TRect R = GetResizingSelection(P);
  PatBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, PATINVERT);
}

// ---- edge zones ----

TRect TkxLeftZone::GetRectangle() {
  const int C = CaptionOffset(FOwner, true);
  return kxRect(C, 0, C + Width(), FOwner->Height());
}
TRect TkxRightZone::GetRectangle() {
  return kxRect(FOwner->Width() - Width(), 0, FOwner->Width(), FOwner->Height());
}
TRect TkxTopZone::GetRectangle() {
  const int C = CaptionOffset(FOwner, false);
  return kxRect(0, C, FOwner->Width(), C + Width());
}
TRect TkxBottomZone::GetRectangle() {
  return kxRect(0, FOwner->Height() - Width(), FOwner->Width(), FOwner->Height());
}

TRect TkxLeftZone::GetDockingSelection(TkxCustomDockControl* AControl) {
  const TRect O = OwnerScreenRect(FOwner);
  const int OW = FOwner->Width(), OH = FOwner->Height(), S = SelectionFrameWidth();
  return kxOffsetRect(kxRect(0, 0, std::min(AControl->OriginalWidth(), OW - 2 * S), OH), O.left, O.top);
}
TRect TkxRightZone::GetDockingSelection(TkxCustomDockControl* AControl) {
  const TRect O = OwnerScreenRect(FOwner);
  const int OW = FOwner->Width(), OH = FOwner->Height(), S = SelectionFrameWidth();
  return kxOffsetRect(kxRect(std::max(OW - AControl->OriginalWidth(), 2 * S), 0, OW, OH), O.left, O.top);
}
TRect TkxTopZone::GetDockingSelection(TkxCustomDockControl* AControl) {
  const TRect O = OwnerScreenRect(FOwner);
  const int OW = FOwner->Width(), OH = FOwner->Height(), S = SelectionFrameWidth();
  return kxOffsetRect(kxRect(0, 0, OW, std::min(AControl->OriginalHeight(), OH - 2 * S)), O.left, O.top);
}
TRect TkxBottomZone::GetDockingSelection(TkxCustomDockControl* AControl) {
  const TRect O = OwnerScreenRect(FOwner);
  const int OW = FOwner->Width(), OH = FOwner->Height(), S = SelectionFrameWidth();
  return kxOffsetRect(kxRect(0, std::max(OH - AControl->OriginalHeight(), 2 * S), OW, OH), O.left, O.top);
}

bool TkxLeftZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) { return EdgeZoneValid(O, C, dtLeft); }
bool TkxRightZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) { return EdgeZoneValid(O, C, dtRight); }
bool TkxTopZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) { return EdgeZoneValid(O, C, dtTop); }
bool TkxBottomZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) { return EdgeZoneValid(O, C, dtBottom); }

bool TkxLeftZone::ValidateResizeZone(TkxCustomDockControl* C) { return C->ParentDockControl() && C->DockType() == dtRight; }
bool TkxRightZone::ValidateResizeZone(TkxCustomDockControl* C) { return C->ParentDockControl() && C->DockType() == dtLeft; }
bool TkxTopZone::ValidateResizeZone(TkxCustomDockControl* C) { return C->ParentDockControl() && C->DockType() == dtBottom; }
bool TkxBottomZone::ValidateResizeZone(TkxCustomDockControl* C) { return C->ParentDockControl() && C->DockType() == dtTop; }

TRect TkxLeftZone::GetResizingSelection(const TPoint& P) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxRect(P.x, O.top, P.x + SelectionFrameWidth(), O.bottom);
}
TRect TkxRightZone::GetResizingSelection(const TPoint& P) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxRect(P.x - SelectionFrameWidth(), O.top, P.x, O.bottom);
}
TRect TkxTopZone::GetResizingSelection(const TPoint& P) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxRect(O.left, P.y, O.right, P.y + SelectionFrameWidth());
}
TRect TkxBottomZone::GetResizingSelection(const TPoint& P) {
  const TRect O = OwnerScreenRect(FOwner);
  return kxRect(O.left, P.y - SelectionFrameWidth(), O.right, P.y);
}

bool TkxLeftZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NW = FOwner->Width() + S.x - E.x;
  return NW > 0 && NW < ParentClientWidth(FOwner) && WidthAllowed(FOwner, NW) &&
         FOwner->DoCanResize(NW, FOwner->Height());
}
bool TkxRightZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NW = FOwner->Width() + E.x - S.x;
  return NW > 0 && NW + FOwner->Left() < ParentClientWidth(FOwner) && WidthAllowed(FOwner, NW) &&
         FOwner->DoCanResize(NW, FOwner->Height());
}
bool TkxTopZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NH = FOwner->Height() + S.y - E.y;
  return NH > 0 && NH < ParentClientHeight(FOwner) && HeightAllowed(FOwner, NH) &&
         FOwner->DoCanResize(FOwner->Width(), NH);
}
bool TkxBottomZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NH = FOwner->Height() + E.y - S.y;
  return NH > 0 && NH + FOwner->Top() < ParentClientHeight(FOwner) && HeightAllowed(FOwner, NH) &&
         FOwner->DoCanResize(FOwner->Width(), NH);
}

void TkxLeftZone::DoResize(const TPoint& S, const TPoint& E) { FOwner->SetWidth(FOwner->Width() + S.x - E.x); }
void TkxRightZone::DoResize(const TPoint& S, const TPoint& E) { FOwner->SetWidth(FOwner->Width() + E.x - S.x); }
void TkxTopZone::DoResize(const TPoint& S, const TPoint& E) { FOwner->SetHeight(FOwner->Height() + S.y - E.y); }
void TkxBottomZone::DoResize(const TPoint& S, const TPoint& E) { FOwner->SetHeight(FOwner->Height() + E.y - S.y); }

bool TkxCustomDockControl::DoCanResize(int NewWidth, int NewHeight) {
  bool Resize = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, Resize);
  return Resize;
}

bool TkxCustomDockControl::CanResizeAtPos(const TPoint& ClientPoint) {
  if (IsDesigning()) return false;
  return !IsCaptionPoint(ClientPoint) && !IsCloseButtonPoint(ClientPoint) && !IsHideButtonPoint(ClientPoint) &&
         !IsMaximizeButtonPoint(ClientPoint);
}

// ---- auto-hide resize zones ----

bool TkxAutoHideLeftZone::ValidateResizeZone(TkxCustomDockControl* C) { return AutoHideResizeValid(C, ahpRight); }
bool TkxAutoHideRightZone::ValidateResizeZone(TkxCustomDockControl* C) { return AutoHideResizeValid(C, ahpLeft); }
bool TkxAutoHideTopZone::ValidateResizeZone(TkxCustomDockControl* C) { return AutoHideResizeValid(C, ahpBottom); }
bool TkxAutoHideBottomZone::ValidateResizeZone(TkxCustomDockControl* C) { return AutoHideResizeValid(C, ahpTop); }

bool TkxAutoHideLeftZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NW = FOwner->Width() + S.x - E.x;
  return NW > 0 && NW < AutoHideLimit(FOwner, true) && WidthAllowed(FOwner, NW) &&
         FOwner->DoCanResize(NW, FOwner->Height());
}
bool TkxAutoHideRightZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NW = FOwner->Width() + E.x - S.x;
  return NW > 0 && NW < AutoHideLimit(FOwner, true) && WidthAllowed(FOwner, NW) &&
         FOwner->DoCanResize(NW, FOwner->Height());
}
bool TkxAutoHideTopZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NH = FOwner->Height() + S.y - E.y;
  return NH > 0 && NH < AutoHideLimit(FOwner, false) && HeightAllowed(FOwner, NH) &&
         FOwner->DoCanResize(FOwner->Width(), NH);
}
bool TkxAutoHideBottomZone::CanResize(const TPoint& S, const TPoint& E) {
  const int NH = FOwner->Height() + E.y - S.y;
  return NH > 0 && NH < AutoHideLimit(FOwner, false) && HeightAllowed(FOwner, NH) &&
         FOwner->DoCanResize(FOwner->Width(), NH);
}

// ---- auto-size resize zones ----

bool TkxAutoSizeLeftZone::ValidateResizeZone(TkxCustomDockControl* S) { return S->Parent() && S->Align() == alRight; }
bool TkxAutoSizeRightZone::ValidateResizeZone(TkxCustomDockControl* S) {
  return S->Parent() && (S->Align() == alNone || S->Align() == alLeft);
}
bool TkxAutoSizeTopZone::ValidateResizeZone(TkxCustomDockControl* S) { return S->Parent() && S->Align() == alBottom; }
bool TkxAutoSizeBottomZone::ValidateResizeZone(TkxCustomDockControl* S) {
  return S->Parent() && (S->Align() == alNone || S->Align() == alTop);
}

// ---- side-container splitters ----

bool TkxHorizContainerZone::CanResize(const TPoint& S, const TPoint& E) {
  if (!TkxRightZone::CanResize(S, E)) return false;
  TkxSideContainerDockSite* C = dynamic_cast<TkxSideContainerDockSite*>(FOwner->Container());
  return !C || C->CanResizeChild(FOwner, E.x - S.x);
}
void TkxHorizContainerZone::DoResize(const TPoint& S, const TPoint& E) {
  if (auto* C = dynamic_cast<TkxSideContainerDockSite*>(FOwner->Container())) C->ResizeChild(FOwner, E.x - S.x);
}
bool TkxVertContainerZone::CanResize(const TPoint& S, const TPoint& E) {
  if (!TkxBottomZone::CanResize(S, E)) return false;
  TkxSideContainerDockSite* C = dynamic_cast<TkxSideContainerDockSite*>(FOwner->Container());
  return !C || C->CanResizeChild(FOwner, E.y - S.y);
}
void TkxVertContainerZone::DoResize(const TPoint& S, const TPoint& E) {
  if (auto* C = dynamic_cast<TkxSideContainerDockSite*>(FOwner->Container())) C->ResizeChild(FOwner, E.y - S.y);
}

// ---- client zones ----

TRect TkxClientZone::GetRectangle() { return kxRect(0, 0, FOwner->Width(), FOwner->Height()); }

bool TkxClientZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) {
  return O->AllowDockClients().Contains(dtClient) && O == C && O->ChildCount() == 0;
}

bool TkxInvisibleClientZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) {
  return O->AllowDockClients().Contains(dtClient) && O == C && O->ChildCount() == 2 &&
         !O->IsValidChild(O->Children(0)) && !O->IsValidChild(O->Children(1));
}

TkxCustomDockControl* TkxInvisibleClientZone::FindDockHost(TkxCustomDockControl* AControl) {
  // A depth limit guards against a damaged tree; a real one is far shallower.
  for (int Depth = 0; AControl && Depth < 256; ++Depth) {
    if (AControl->ChildCount() == 0) return AControl;
    TkxCustomDockControl* Candidate = nullptr;
    for (int i = 0; i < AControl->ChildCount(); ++i) {
      TkxCustomDockControl* C = AControl->Children(i);
      if (C->DockType() != dtClient) continue;
      if (C->CanDock()) Candidate = C;
      else if (!Candidate && C->ChildCount() == 0) Candidate = C;
    }
    if (!Candidate || Candidate->CanDock()) return Candidate;
    AControl = Candidate;
  }
  return nullptr;
}

bool TkxInvisibleClientZone::CanDock(TkxCustomDockControl* AControl) {
  TkxCustomDockControl* H = FindDockHost(FOwner);
  if (!H) return false;
  for (TkxDockingType T : {dtClient, dtRight, dtBottom})
    if (H->CanDockHost(AControl, T)) return true;
  return false;
}

void TkxInvisibleClientZone::DoDock(TkxCustomDockControl* AControl) {
  TkxCustomDockControl* H = FindDockHost(FOwner);
  if (!H) return;
  for (TkxDockingType T : {dtClient, dtRight, dtBottom})
    if (H->CanDockHost(AControl, T)) {
      AControl->DockTo(H, T, -1);
      return;
    }
}

// ---- float zone ----

TkxZone* TkxFloatZone::InnerZone() {
  auto* S = dynamic_cast<TkxFloatDockSite*>(FOwner);
  TkxCustomDockControl* Child = S ? S->GetChild() : nullptr;
  if (!Child) return nullptr;
  for (TkxZone* Z : Child->DockZones())
    if (Z->Owner() == Child && Z->DockType() == dtClient) return Z;
  return nullptr;
}

bool TkxFloatZone::CanDock(TkxCustomDockControl* AControl) {
  TkxZone* Z = InnerZone();
  return Z && Z->CanDock(AControl);
}

void TkxFloatZone::DoDock(TkxCustomDockControl* AControl) {
  if (TkxZone* Z = InnerZone()) Z->DoDock(AControl);
}

void TkxFloatZone::DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint& P) {
  if (TkxZone* Z = InnerZone()) Z->DrawDockingSelection(DC, AControl, P);
}

bool TkxFloatZone::IsZonePoint(const TPoint& P) { return GetDockingController()->GetFloatDockSiteAtPos(P) == FOwner; }

bool TkxFloatZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) {
  return O == C && dynamic_cast<TkxFloatDockSite*>(O);
}

// ---- auto-size client zones ----

TRect TkxAutoSizeClientZone::AutoSizeSelection(TkxCustomDockControl* Site, TkxCustomDockControl* AControl) {
  const TRect O = OwnerScreenRect(Site);
  const int W = Site->Width(), H = Site->Height();
  const int WW = std::max(W, AControl->OriginalWidth()), HH = std::max(H, AControl->OriginalHeight());
  switch (Site->Align()) {
    case alTop: return kxRect(O.left, O.top, O.left + W, O.top + HH);
    case alBottom: return kxRect(O.left, O.bottom - HH, O.left + W, O.bottom);
    case alLeft: return kxRect(O.left, O.top, O.left + WW, O.top + H);
    case alRight: return kxRect(O.right - WW, O.top, O.right, O.top + H);
    case alClient: return kxRect(O.left, O.top, O.left + W, O.top + H);
    default: return kxRect(O.left, O.top, O.left + WW, O.top + HH);
  }
}

TRect TkxAutoSizeClientZone::GetDockingSelection(TkxCustomDockControl* C) { return AutoSizeSelection(FOwner, C); }

bool TkxAutoSizeClientZone::IsZonePoint(const TPoint& P) {
  return TkxZone::IsZonePoint(P) || GetDockingController()->GetNearestDockSiteAtPos(P) == FOwner;
}

TRect TkxInvisibleAutoSizeClientZone::GetDockingSelection(TkxCustomDockControl* C) {
  return TkxAutoSizeClientZone::AutoSizeSelection(FOwner, C);
}

bool TkxInvisibleAutoSizeClientZone::IsZonePoint(const TPoint& P) {
  return GetDockingController()->GetNearestDockSiteAtPos(P) == FOwner;
}

// ---- tab-outline zones ----

void TkxTabContainerZone::DrawTabOutline(HDC DC, TRect B, TRect T, const TRect& S, int W,
                                         TkxTabContainerTabsPosition Position) {
  // The tab is kept inside the strip and at least three frame widths wide.
  if (T.left < S.left) {
    T.left = S.left;
    if (T.right < S.left + 3 * W) T.right = S.left + 3 * W;
  }
  if (T.right > S.right) {
    T.right = S.right;
    if (T.left > S.right - 3 * W) T.left = S.right - 3 * W;
  }
  T = kxOffsetRect(T, B.left, B.top);
  TRect Body = B;
  if (Position == tctpBottom) {
    Body.bottom = std::max<int>(B.top + S.top, B.top + W);
    T.top = Body.bottom - W;
  } else {
    Body.top = std::min<int>(B.top + S.bottom, B.bottom - W);
    T.bottom = Body.top + W;
  }
  // Outline of body and tab as one figure: inverting its region once draws
  // every pixel of the eight bars exactly once.
  HRGN Outer = CreateRectRgn(Body.left, Body.top, Body.right, Body.bottom);
  HRGN Tab = CreateRectRgn(T.left, T.top, T.right, T.bottom);
  CombineRgn(Outer, Outer, Tab, RGN_OR);
  HRGN Inner = CreateRectRgn(Body.left + W, Body.top + W, Body.right - W, Body.bottom - W);
  HRGN TabInner = Position == tctpBottom ? CreateRectRgn(T.left + W, T.top - W, T.right - W, T.bottom - W)
                                         : CreateRectRgn(T.left + W, T.top + W, T.right - W, T.bottom + W);
  CombineRgn(Inner, Inner, TabInner, RGN_OR);
  CombineRgn(Outer, Outer, Inner, RGN_DIFF);
  const int Saved = SaveDC(DC);
  ExtSelectClipRgn(DC, Outer, RGN_AND);
  const int L = std::min<int>(Body.left, T.left), Tp = std::min<int>(Body.top, T.top);
  const int R = std::max<int>(Body.right, T.right), Bt = std::max<int>(Body.bottom, T.bottom);
  PatBlt(DC, L, Tp, R - L, Bt - Tp, PATINVERT);
  RestoreDC(DC, Saved);
  DeleteObject(Outer);
  DeleteObject(Tab);
  DeleteObject(Inner);
  DeleteObject(TabInner);
}

bool TkxTabContainerZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) {
  if (O != C) return false;
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(O); T && T->ActiveChild()) return true;
  TkxTabContainerDockSite* T = O->TabContainer();
  return T && T->ActiveChild();
}

TkxTabContainerTabsPosition TkxTabContainerZone::TabsPosition() {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(FOwner);
  return T ? T->TabsPosition() : tctpBottom;
}

void TkxTabContainerZone::GetTabsRect(TRect& R) {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(FOwner);
  R = T ? T->TabsRect() : GetRectangle();
}

void TkxTabContainerZone::GetTabRect(TkxCustomDockControl* AControl, TRect& R) {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(FOwner);
  if (!T) {
    R = GetRectangle();
    return;
  }
  const int I = DockIndex();
  if (I >= 0 && I < T->ChildCount() && T->IsValidChild(T->Children(I))) {
    R = T->TabRect(I);
    return;
  }
  const int Last = T->GetLastValidChildIndex();
  if (Last == -1) {
    R = GetRectangle();
    return;
  }
  const TRect LastTab = T->TabRect(Last);
  T->Canvas()->SetFont(T->Font());
  int W = kxTextWidth(T->Canvas(), AControl->Caption());
  const int IW = T->Painter()->GetImageWidth();
  if (IW > 0) W += IW;
  R = kxRect(LastTab.right, LastTab.top, LastTab.right + W, LastTab.bottom);
}

void TkxTabContainerZone::DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint&) {
  TRect T, S;
  GetTabRect(AControl, T);
  GetTabsRect(S);
  DrawTabOutline(DC, GetDockingSelection(AControl), T, S, SelectionFrameWidth(), TabsPosition());
}

bool TkxTabContainerCaptionZone::IsZonePoint(const TPoint& P) { return FOwner->IsCaptionPoint(FOwner->ScreenToClient(P)); }

bool TkxTabContainerTabZone::ValidateDockZone(TkxCustomDockControl* O, TkxCustomDockControl* C) {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(O);
  return T && T->HasTabs() && TkxTabContainerZone::ValidateDockZone(O, C);
}

bool TkxTabContainerTabZone::IsZonePoint(const TPoint& P) {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(FOwner);
  return T && T->GetTabIndexAtPos(T->ScreenToClient(P)) == FTabIndex;
}

void TkxDockPanelClientZone::DrawDockingSelection(HDC DC, TkxCustomDockControl* AControl, const TPoint&) {
  auto* P = dynamic_cast<TkxDockPanel*>(FOwner);
  if (!P) {
    TkxZone::DrawDockingSelection(DC, AControl, TPoint());
    return;
  }
  TkxTabContainerZone::DrawTabOutline(DC, GetDockingSelection(AControl), P->TabRect(), P->TabsRect(),
                                      SelectionFrameWidth(), P->GetTabsPosition());
}

bool TkxDockPanelCaptionClientZone::IsZonePoint(const TPoint& P) {
  return FOwner->IsCaptionPoint(FOwner->ScreenToClient(P));
}
