// The dock panel: what may dock onto it and which structure that builds, its
// zones, its border and caption that give way to an enclosing tab container,
// and its optional single tab.
#include "docking/kxdockpanel.h"

#include <cstdlib>

#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"


TkxDockPanel::TkxDockPanel(TComponent* AOwner) : TkxCustomDockControl(AOwner) {
  FUseDoubleBufferNC = true;
  SetBounds(0, 0, 185, 140);
}

void TkxDockPanel::SetShowSingleTab(bool Value) {
  if (Value == FShowSingleTab) return;
  FShowSingleTab = Value;
  NCChanged(false);
}

void TkxDockPanel::SetTabPosition(TkxTabContainerTabsPosition Value) {
  if (Value == FTabPosition) return;
  FTabPosition = Value;
  NCChanged(false);
}

void TkxDockPanel::ValidateInsert(TComponent* AComponent) {
  if (dynamic_cast<TkxCustomDockControl*>(AComponent))
    kxDockingError(kxsCannotInsertIntoPanel, AComponent->ClassName());
}

void TkxDockPanel::SetParent(TWinControl* AParent) {
  if (AParent == Parent()) return;
  if (LayoutLocked() || IsDestroying() || (AParent && AParent->ComponentState().Contains(csLoading))) {
    const bool Allowed = !AParent || dynamic_cast<TkxCustomDockControl*>(AParent) ||
                         (AutoHide() && dynamic_cast<TkxDockSiteAutoHideContainer*>(AParent));
    if (!Allowed) kxDockingError(kxsCannotSetParent);
    TkxCustomDockControl::SetParent(AParent);
    return;
  }
  // Code that sets Parent docks the panel, or floats it where it is.
  if (auto* Site = dynamic_cast<TkxCustomDockControl*>(AParent)) {
    for (TkxDockingType T : {dtClient, dtLeft, dtTop, dtRight, dtBottom})
      if (Site->CanDockHost(this, T)) {
        DockTo(Site, T, -1);
        return;
      }
  }
  TPoint P(Left(), Top());
  if (TWinControl* Base = AParent ? AParent : Parent()) {
    const TPoint O = Base->ClientOrigin();
    P = TPoint(P.x + O.x, P.y + O.y);
  }
  MakeFloating(P.x, P.y);
}

bool TkxDockPanel::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  if (!TkxCustomDockControl::CanDockHost(AControl, ADockType)) return false;
  if (TkxContainerDockSite* C = Container()) {
    if (C->CanContainerDockHost(ADockType)) return true;
    const TkxDockingOptions O = Options();
    if (dynamic_cast<TkxTabContainerDockSite*>(C))
      return O.Contains(doSideContainerCanInTabContainer) && kxIsSideType(ADockType);
    if (dynamic_cast<TkxSideContainerDockSite*>(C))
      return (O.Contains(doTabContainerCanInSideContainer) && ADockType == dtClient) ||
             (O.Contains(doSideContainerCanInSideContainer) && kxIsSideType(ADockType));
    return false;
  }
  return ADockType != dtNone;
}

void TkxDockPanel::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  if (TkxContainerDockSite* C = Container(); C && C->CanContainerDockHost(ADockType))
    CreateContainerLayout(C, AControl, ADockType, DockIndex());
  else if (ADockType == dtClient) CreateTabContainerLayout(AControl, AIndex);
  else if (kxIsSideType(ADockType)) CreateSideContainerLayout(AControl, ADockType, AIndex);
  else kxDockingAssert(kxsCreateLayoutError, "TkxContainerDockSite", "kxDockPanel");
}

void TkxDockPanel::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  auto Add = [&](TkxZone* Z) { AControl->DockZoneList().insert(AControl->DockZoneList().begin(), Z); };
  const bool CaptionArea = Options().Contains(doUseCaptionAreaToClientDocking);
  TkxTabContainerDockSite* T = TabContainer();
  if (!CaptionArea) {
    if (T && TkxTabContainerZone::ValidateDockZone(this, AControl)) Add(new TkxTabContainerZone(T, 0));
    else if (TkxClientZone::ValidateDockZone(this, AControl)) Add(new TkxDockPanelClientZone(this, 0));
  }
  TkxCustomDockControl::CreateDockZones(AControl, AWidth);
  if (CaptionArea) {
    if (T && TkxTabContainerZone::ValidateDockZone(this, AControl)) Add(new TkxTabContainerCaptionZone(T, 0));
    else if (TkxClientZone::ValidateDockZone(this, AControl)) Add(new TkxDockPanelCaptionClientZone(this, 0));
  }
}

void TkxDockPanel::UpdateTabContainerSiteProperties(TkxTabContainerDockSite* ASite) {
  TkxCustomDockControl::UpdateTabContainerSiteProperties(ASite);
  if (FShowSingleTab) ASite->SetTabsPosition(FTabPosition);
}

bool TkxDockPanel::HasBorder() {
  if (FloatDockSite()) return false;
  if (TkxTabContainerDockSite* T = TabContainer(); T && !AutoHide() && (T->ValidChildCount() > 1 || T->AutoHide()))
    return false;
  return true;
}

bool TkxDockPanel::HasCaption() { return ShowCaption() && HasBorder(); }

bool TkxDockPanel::HasTabs() { return FShowSingleTab && !TabContainer(); }

bool TkxDockPanel::CanAutoHide() {
  if (IsLoading()) return true;
  TkxCustomDockControl* A = AutoHideControl();
  return AutoHideHostSite() && (!A || A == this);
}

bool TkxDockPanel::CanMaximize() {
  TkxSideContainerDockSite* S = SideContainer();
  return !AutoHide() && S && S->ValidChildCount() > 1;
}

TkxTabContainerTabsPosition TkxDockPanel::GetTabsPosition() {
  if (FShowSingleTab) return FTabPosition;
  auto* P = dynamic_cast<TkxTabContainerDockSiteProperties*>(
      Controller()->DefaultTabContainerSiteProperties(ParentForm()));
  return P ? P->TabsPosition() : tctpBottom;
}

int TkxDockPanel::GetTabWidth() {
  TkxDockControlPainter* P = Painter();
  Canvas()->SetFont(Font());
  int W = kxTextWidth(Canvas(), Caption()) + 2 * P->TabHorizOffset();
  if (P->GetImageWidth() > 0) W += 2 * P->TabHorizOffset() + P->GetImageWidth();
  return W;
}

bool TkxDockPanel::IsTabPoint(const TPoint& ClientPoint) {
  return HasTabs() && kxPtInRect(FTabRect, ClientToWindow(ClientPoint));
}

void TkxDockPanel::CalculateNC(TRect& Rect) {
  TkxCustomDockControl::CalculateNC(Rect);
  TkxDockControlPainter* P = Painter();
  const int H = P->TabsHeight(), VO = P->TabVertOffset(), HO = P->TabHorizOffset();
  const TkxTabContainerTabsPosition Pos = GetTabsPosition();
  if (Pos == tctpBottom) {
    FTabsRect = kxRect(Rect.left, Rect.bottom - H, Rect.right, Rect.bottom);
    if (FTabsRect.top < Rect.top) {
      FTabsRect.top = Rect.top;
      FTabsRect.bottom = Rect.top + H;
    }
    if (HasTabs()) Rect.bottom = FTabsRect.top;
  } else {
    FTabsRect = kxRect(Rect.left, Rect.top, Rect.right, Rect.top + H);
    if (HasTabs()) Rect.top = FTabsRect.bottom;
  }
  FTabRect.left = FTabsRect.left + HO;
  FTabRect.top = FTabsRect.top + VO * (Pos == tctpBottom ? 2 : 1);
  FTabRect.bottom = FTabsRect.bottom - VO * (Pos == tctpTop ? 2 : 1);
  FTabRect.right = std::min<int>(FTabRect.left + GetTabWidth(), FTabsRect.right - HO);
}

void TkxDockPanel::NCPaint(TCanvas* ACanvas) {
  TkxCustomDockControl::NCPaint(ACanvas);
  if (!HasTabs()) return;
  TkxDockControlPainter* P = Painter();
  const TkxTabContainerTabsPosition Pos = GetTabsPosition();
  P->DrawTabs(ACanvas, FTabsRect, FTabRect, Pos);
  P->DrawTab(ACanvas, this, FTabRect, true, Pos);
}

void TkxDockPanel::WMLButtonDown2(TWMMouse& Message) {
  TkxCustomDockControl::Dispatch(Message);
  if (Message.Result) return;
  FTabPressed = IsTabPoint(FSourcePoint);
  if (FTabPressed) TakeCapture();
  Message.Result = 1;
}

void TkxDockPanel::WMMouseMove2(TWMMouse& Message) {
  TkxCustomDockControl::Dispatch(Message);
  if (Message.Result) return;
  if (!IsFloatFormActive() && !IsParentFormActive() && !IsDesigning()) return;
  if (!FTabPressed) return;
  const TPoint P = FCursorPoint;
  const bool Far = std::abs(P.x - FSourcePoint.x) > 3 || std::abs(P.y - FSourcePoint.y) > 3;
  if (!IsTabPoint(P) || (IsDesigning() && Far)) {
    ReleaseTakenCapture();
    FTabPressed = false;
    StartDocking(ClientToScreen(FSourcePoint));
    Message.Result = 1;
  }
}

void TkxDockPanel::WMLButtonUp2(TWMMouse& Message) {
  TkxCustomDockControl::Dispatch(Message);
  if (Message.Result) return;
  if (FTabPressed) {
    ReleaseTakenCapture();
    FTabPressed = false;
    Message.Result = 1;
  }
}

void TkxDockPanel::WMLButtonDblClk2(TWMMouse& Message) {
  TkxCustomDockControl::Dispatch(Message);
  if (Message.Result) return;
  const TPoint P = Message.Pos();
  if (IsDesigning() || !Options().Contains(doDblClickDocking) || AutoHide() || !IsTabPoint(P)) return;
  const TPoint S = ClientToScreen(P);
  FireStartDocking(S);
  if (FloatDockSite()) RestoreDockPosition(S);
  else MakeFloating();
  FireEndDocking(nullptr, S);
  Message.Result = 1;
}
