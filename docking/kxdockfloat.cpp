// Floating: the site that holds one floating control and the tool window it
// fills. Dragging the window by its caption drags the content with docking
// feedback; a double click on the caption docks the content back.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpanel.h"
#include "framework/uxwinutils.h"

// ---- the floating site ----

TkxFloatDockSite::TkxFloatDockSite(TComponent* AOwner) : TkxCustomDockSite(AOwner) { CreateFloatForm(); }

TkxFloatDockSite::~TkxFloatDockSite() {
  if (!FCreating) DestroyFloatForm();
}

void TkxFloatDockSite::BeforeDestruction() {
  if (!CanDestroy()) kxDockingError(kxsCannotDeleteFloatSite);
  TkxCustomDockSite::BeforeDestruction();
}

bool TkxFloatDockSite::CanDestroy() {
  TkxCustomDockControl* C = GetChild();
  return ChildCount() == 0 || (C && C->IsDestroying());
}

void TkxFloatDockSite::CreateFloatForm() {
  TkxLayoutLock Lock(this);
  const int W = OriginalWidth(), H = OriginalHeight();
  if (!FFloatForm) FFloatForm = new TkxFloatForm(Application);
  FFloatForm->AttachDockSite(this);
  SetFloatFormPosition(FloatLeft(), FloatTop());
  SetFloatFormSize(W, H);
  if (Options().Contains(doFloatingOnTop) || IsDesigning()) FFloatForm->EnableOnTop();
}

void TkxFloatDockSite::DestroyFloatForm() {
  TkxFloatForm* F = FFloatForm;
  if (!F) return;
  TkxLayoutLock Lock(this);
  FFloatForm = nullptr;
  if (!F->ComponentState().Contains(csDestroying)) {
    F->DetachDockSite();
    F->Free();
  }
}

void TkxFloatDockSite::Loaded() {
  TkxCustomDockSite::Loaded();
  CreateFloatForm();
  UpdateCaption();
  ShowFloatForm();
  if (IsDesigning() && Owner() && Owner()->ComponentState().Contains(csLoading)) SetDockType(dtClient);
  SetFloatFormSize(OriginalWidth(), OriginalHeight());
}

void TkxFloatDockSite::SetParent(TWinControl* AParent) {
  const bool InOperation =
      LayoutLocked() || IsDestroying() || (AParent && AParent->ComponentState().Contains(csLoading));
  if (!InOperation) kxDockingError(kxsCannotSetParent);
  if (AParent && !dynamic_cast<TCustomForm*>(AParent)) kxDockingError(kxsFloatSiteParent);
  TkxCustomDockSite::SetParent(AParent);
}

TkxCustomDockControl* TkxFloatDockSite::GetChild() { return ChildCount() == 1 ? Children(0) : nullptr; }

TkxCustomDockControl* TkxFloatDockSite::GetActivateTarget() {
  TkxCustomDockControl* C = GetChild();
  if (!C) return nullptr;
  if (auto* S = dynamic_cast<TkxSideContainerDockSite*>(C))
    return S->ActiveChild() ? S->ActiveChild() : S->GetFirstValidChild();
  if (auto* T = dynamic_cast<TkxContainerDockSite*>(C)) return T->ActiveChild();
  return dynamic_cast<TkxDockPanel*>(C) ? C : nullptr;
}

void TkxFloatDockSite::StartDocking(const TPoint& P) {
  if (TkxCustomDockControl* C = GetChild()) C->StartDocking(P);
}

void TkxFloatDockSite::DoClose() {
  if (TkxCustomDockControl* C = GetChild()) C->DoClose();
}

void TkxFloatDockSite::RestoreDockPosition(const TPoint& P) {
  if (TkxCustomDockControl* C = GetChild(); C && C->Dockable()) C->RestoreDockPosition(P);
}

void TkxFloatDockSite::Activate() {
  TkxCustomDockControl* T = GetActivateTarget();
  if (!T) T = GetChild();
  if (T) T->Activate();
}

void TkxFloatDockSite::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  if (Options().Contains(doUseCaptionAreaToClientDocking) && TkxFloatZone::ValidateDockZone(this, AControl))
    AControl->DockZoneList().insert(AControl->DockZoneList().begin(), new TkxFloatZone(this, 0));
}

void TkxFloatDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int) {
  if (ChildCount() != 0) kxDockingAssert(kxsCreateLayoutError, ClassName());
  AControl->IncludeToDock(this, ADockType, 0);
}

void TkxFloatDockSite::DestroyLayout(TkxCustomDockControl* AControl) {
  if (ChildCount() != 1) kxDockingAssert(kxsDestroyLayoutError, ClassName());
  AControl->ExcludeFromDock();
  if (!IsDestroying()) DoDestroy();
}

void TkxFloatDockSite::AssignOriginalSize(TkxCustomDockControl* AControl) {
  if (FFloatForm) SetFloatFormSize(AControl->OriginalWidth(), AControl->OriginalHeight());
  else TkxCustomDockSite::AssignOriginalSize(AControl);
}

void TkxFloatDockSite::UpdateControlOriginalSize(TkxCustomDockControl* AControl) {
  if (!IsFloatFormVisible()) return;
  AControl->SetOriginalWidth(Width());
  AControl->SetOriginalHeight(Height());
}

void TkxFloatDockSite::ChildVisibilityChanged(TkxCustomDockControl* AChild) {
  if (AChild != GetChild()) return;
  SetVisible(AChild->Visible());
  if (FFloatForm) FFloatForm->SetVisible(AChild->Visible() && IsParentFormVisible());
}

void TkxFloatDockSite::UpdateCaption() {
  if (TkxCustomDockControl* C = GetChild(); C && FFloatForm) FFloatForm->SetCaption(C->Caption());
  DoSetFloatFormCaption();
}

void TkxFloatDockSite::DoSetFloatFormCaption() {
  if (OnSetFloatFormCaption) OnSetFloatFormCaption(this, FFloatForm);
  Controller()->DoSetFloatFormCaption(this, FFloatForm);
}

int TkxFloatDockSite::FloatLeft() { return FFloatForm ? FFloatForm->Left() : FFloatLeft; }
int TkxFloatDockSite::FloatTop() { return FFloatForm ? FFloatForm->Top() : FFloatTop; }

void TkxFloatDockSite::SetFloatLeft(int Value) {
  FFloatLeft = Value;
  if (FFloatForm) FFloatForm->SetLeft(Value);
}

void TkxFloatDockSite::SetFloatTop(int Value) {
  FFloatTop = Value;
  if (FFloatForm) FFloatForm->SetTop(Value);
}

int TkxFloatDockSite::FloatWidth() {
  if (!FFloatForm) return FFloatWidth;
  return FFloatForm->HandleAllocated() ? FFloatForm->ClientWidth() : FFloatForm->Width();
}

int TkxFloatDockSite::FloatHeight() {
  if (!FFloatForm) return FFloatHeight;
  return FFloatForm->HandleAllocated() ? FFloatForm->ClientHeight() : FFloatForm->Height();
}

void TkxFloatDockSite::SetFloatWidth(int Value) {
  FFloatWidth = Value;
  if (!FFloatForm) return;
  if (FFloatForm->HandleAllocated()) FFloatForm->SetClientWidth(Value);
  else FFloatForm->SetWidth(Value);
}

void TkxFloatDockSite::SetFloatHeight(int Value) {
  FFloatHeight = Value;
  if (!FFloatForm) return;
  if (FFloatForm->HandleAllocated()) FFloatForm->SetClientHeight(Value);
  else FFloatForm->SetHeight(Value);
}

void TkxFloatDockSite::SetFloatFormPosition(int X, int Y) {
  if (!FFloatForm) return;
  // The whole window stays on the work area of the monitor at the point.
  TRect R = kxRect(X, Y, X + FFloatForm->Width(), Y + FFloatForm->Height());
  uxFitRectToWorkArea(R, TPoint(X, Y));
  FFloatForm->SetBounds(R.left, R.top, FFloatForm->Width(), FFloatForm->Height());
}

void TkxFloatDockSite::SetFloatFormSize(int AClientWidth, int AClientHeight) {
  if (!FFloatForm) return;
  if (FFloatForm->HandleAllocated()) {
    FFloatForm->SetClientSize(AClientWidth, AClientHeight);
  } else {
    FFloatForm->SetPendingClientSize(AClientWidth, AClientHeight);
  }
}

void TkxFloatDockSite::ShowFloatForm() {
  if (!FFloatForm || !Visible() || (!IsParentFormVisible() && !IsDesigning())) return;
  FFloatForm->Show();
  if (IsDesigning()) FFloatForm->SetDesigning(true, false);
  FFloatLeft = FFloatForm->Left();
  FFloatTop = FFloatForm->Top();
}

void TkxFloatDockSite::HideFloatForm() {
  if (!FFloatForm) return;
  FFloatForm->Hide();
  FFloatForm->SetDesigning(false, false);
}

void TkxFloatDockSite::StoreFloatPosition() {
  if (!IsFloatFormVisible()) return;
  FFloatLeft = FFloatForm->Left();
  FFloatTop = FFloatForm->Top();
}

// ---- the float form ----

TkxFloatForm::TkxFloatForm(TComponent* AOwner) : TCustomForm(AOwner, 0) {
  SetAutoScroll(false);
  SetBorderStyle(bsSizeToolWin);
  SetDefaultMonitor(dmDesktop);
  SetVisible(false);
}

TkxFloatForm::~TkxFloatForm() { DetachDockSite(); }

void TkxFloatForm::AttachDockSite(TkxFloatDockSite* ASite) {
  FDockSite = ASite;
  if (!(ASite->IsDesigning() && ASite->Owner() && ASite->Owner()->ComponentState().Contains(csLoading)))
    ASite->SetDockType(dtClient);
  ASite->SetParent(this);
  FSiteAttached = true;
}

void TkxFloatForm::DetachDockSite() {
  FSiteAttached = false;
  TkxFloatDockSite* S = FDockSite;
  if (!S) return;
  FDockSite = nullptr;
  {
    TkxLayoutLock Lock(S);
    S->SetParent(nullptr);
  }
  if (S->FFloatForm == this) S->FFloatForm = nullptr;
}

void TkxFloatForm::EnableOnTop() {
  FOnTopOfOwner = true;
  if (HandleAllocated()) RecreateWnd();
}

void TkxFloatForm::DisableOnTop() {
  FOnTopOfOwner = false;
  if (HandleAllocated()) RecreateWnd();
}

void TkxFloatForm::CreateParams(TCreateParams& Params) {
  TCustomForm::CreateParams(Params);
  if (!FOnTopOfOwner) return;
  Params.Style |= WS_POPUP | WS_BORDER | WS_SYSMENU;
  if (FDockSite && !FDockSite->IsDestroying())
    if (TCustomForm* F = FDockSite->ParentForm()) Params.WndParent = F->Handle();
}

void TkxFloatForm::CreateWnd() {
  TCustomForm::CreateWnd();
  if (FPendingClientWidth >= 0 && FPendingClientHeight >= 0) {
    SetClientSize(FPendingClientWidth, FPendingClientHeight);
    FPendingClientWidth = FPendingClientHeight = -1;
  }
}

bool TkxFloatForm::IsShortCut(TWMKey& Message) {
  if (TCustomForm::IsShortCut(Message)) return true;
  TCustomForm* F = FDockSite ? FDockSite->ParentForm() : nullptr;
  return F && F->IsShortCut(Message);
}

void TkxFloatForm::DMHideFloatForm(TMessage&) { Hide(); }

void TkxFloatForm::DMShowFloatForm(TMessage&) {
  if (HandleAllocated()) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  SetVisible(true);
}

void TkxFloatForm::WMClose2(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning) && FDockSite) {
    FDockSite->DoClose();
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxFloatForm::WMMove2(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FDockSite) FDockSite->StoreFloatPosition();
}

void TkxFloatForm::WMMouseActivate2(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FDockSite) FDockSite->Activate();
}

void TkxFloatForm::WMNCLButtonDown(TMessage& Message) {
  if (Message.WParam == HTCAPTION && !IsIconic(Handle()) && FDockSite) {
    if (FDockSite->HandleAllocated())
      SendMessageA(FDockSite->Handle(), WM_MOUSEACTIVATE, WPARAM(Handle()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    SetActiveWindow(Handle());
    SendMessageA(Handle(), WM_NCLBUTTONUP, Message.WParam, Message.LParam);
    FCaptionPressed = true;
    FCaptionPressPoint = TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    Message.Result = 0;
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxFloatForm::WMNCMouseMove(TMessage& Message) {
  const TPoint P(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (FCaptionPressed && (P.x != FCaptionPressPoint.x || P.y != FCaptionPressPoint.y)) {
    FCaptionPressed = false;
    if (FDockSite) FDockSite->StartDocking(P);
    Message.Result = 0;
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxFloatForm::WMNCLButtonUp(TMessage& Message) {
  FCaptionPressed = false;
  TCustomForm::Dispatch(Message);
}

void TkxFloatForm::WMNCLButtonDblClk(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning) && Message.WParam == HTCAPTION && !IsIconic(Handle()) && FDockSite) {
    FDockSite->RestoreDockPosition(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
    Message.Result = 0;
    return;
  }
  TCustomForm::Dispatch(Message);
}
