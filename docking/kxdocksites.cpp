// Sites: the common site base, layout sites (the client node of a two-child
// layout) and the form-edge dock site with its auto-size bookkeeping.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"
#include "platform/classes/filer.h"

// ---- TkxCustomDockSite ----

void TkxCustomDockSite::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TkxCustomDockControl* C : FChildren)
    if (C->Owner() == Root) Proc(C);
}

void TkxCustomDockSite::ValidateInsert(TComponent* AComponent) {
  if (dynamic_cast<TkxCustomDockControl*>(AComponent)) return;
  if (auto* C = dynamic_cast<TControl*>(AComponent)) {
    C->SetParent(ParentForm());
    kxDockingError(kxsCannotInsertIntoSite, AComponent->ClassName());
  }
}

// ---- TkxLayoutDockSite ----

TkxLayoutDockSite::TkxLayoutDockSite(TComponent* AOwner) : TkxCustomDockSite(AOwner) {
  FControlStyle << csDesignInteractive;
}

bool TkxLayoutDockSite::CanDestroy() {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P || P->IsDestroying()) return true;
  return ChildCount() == 0 && P->ChildCount() == 1;
}

void TkxLayoutDockSite::BeforeDestruction() {
  if (!CanDestroy() && !IsDestroying()) kxDockingError(kxsCannotDeleteLayoutSite);
  TkxCustomDockSite::BeforeDestruction();
}

void TkxLayoutDockSite::SetParent(TWinControl* AParent) {
  const bool InOperation = LayoutLocked() || IsDestroying() || (AParent && AParent->ComponentState().Contains(csLoading));
  if (!InOperation || (AParent && !dynamic_cast<TkxCustomDockControl*>(AParent)))
    kxDockingError(kxsCannotSetParent);
  TkxCustomDockSite::SetParent(AParent);
}

TkxCustomDockControl* TkxLayoutDockSite::SiblingDockControl() {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P || P->ChildCount() != 2) return nullptr;
  const int I = DockIndex();
  return I < 0 ? nullptr : P->Children(1 - I);
}

bool TkxLayoutDockSite::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  if (!TkxCustomDockControl::CanDockHost(AControl, ADockType)) return false;
  return ADockType == dtLeft || ADockType == dtTop || ADockType == dtRight || ADockType == dtBottom ||
         (ADockType == dtClient && ChildCount() == 0);
}

void TkxLayoutDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  TkxCustomDockSite::CreateLayout(AControl, ADockType, AIndex);
  if (TkxCustomDockControl* S = SiblingDockControl()) S->UpdateRelatedVisibility();
}

void TkxLayoutDockSite::DestroyLayout(TkxCustomDockControl* AControl) {
  TkxCustomDockSite::DestroyLayout(AControl);
  if (TkxCustomDockControl* S = SiblingDockControl()) S->UpdateRelatedVisibility();
}

void TkxLayoutDockSite::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  TkxCustomDockControl* S = SiblingDockControl();
  if (S && S->DockType() == dtClient) return;
  auto Add = [&](TkxZone* Z) { AControl->DockZoneList().insert(AControl->DockZoneList().begin(), Z); };
  if (TkxClientZone::ValidateDockZone(this, AControl)) Add(new TkxClientZone(this, AWidth));
  else if (TkxInvisibleClientZone::ValidateDockZone(this, AControl)) Add(new TkxInvisibleClientZone(this, AWidth));
  TkxCustomDockSite::CreateDockZones(AControl, AWidth);
}

void TkxLayoutDockSite::WMNCHitTest2(TMessage& Message) {
  if (!Visible() || (IsDesigning() && !GetDockingController()->IsDocking())) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TkxCustomDockSite::Dispatch(Message);
}

// ---- TkxDockSite ----

TkxDockSite::TkxDockSite(TComponent* AOwner) : TkxCustomDockSite(AOwner) {
  CreateHideBars();
  FUseDoubleBufferNC = true;
  UpdateDockZones();
}

TkxDockSite::~TkxDockSite() {
  if (FCreating) return;
  for (UINT_PTR Id : {kxMovingTimerID, kxAutoHideTimerID, kxAutoShowTimerID})
    if (HandleAllocated()) KillTimer(Handle(), Id);
  // Auto-hidden controls keep their hide-bar windows; the bars only forget them.
  DestroyHideBars();
}

void TkxDockSite::CreateHideBars() {
  FHideBars.clear();
  FHideBars.push_back(std::make_unique<TkxDockSiteTopHideBar>(this));
  FHideBars.push_back(std::make_unique<TkxDockSiteBottomHideBar>(this));
  FHideBars.push_back(std::make_unique<TkxDockSiteLeftHideBar>(this));
  FHideBars.push_back(std::make_unique<TkxDockSiteRightHideBar>(this));
}

void TkxDockSite::DestroyHideBars() { FHideBars.clear(); }

void TkxDockSite::ValidateInsert(TComponent* AComponent) {
  if (dynamic_cast<TkxDockSiteAutoHideContainer*>(AComponent)) return;
  TkxCustomDockSite::ValidateInsert(AComponent);
}

void TkxDockSite::SetParent(TWinControl* AParent) {
  if (IsDesigning() && !IsLoading() && AParent && kxDockingIsInsideDockControl(AParent))
    kxDockingError(kxsDockSiteParent);
  TkxCustomDockSite::SetParent(AParent);
}

void TkxDockSite::CMControlListChange(TMessage& Message) {
  if (Message.LParam && IsDesigning() && !IsLoading()) {
    auto* C = reinterpret_cast<TControl*>(Message.WParam);
    if (C && kxDockingContainsDockSite(C)) kxDockingError(kxsDockSiteParent);
  }
  TkxCustomDockSite::Dispatch(Message);
}

void TkxDockSite::ReadState(TReader* Reader) {
  TkxCustomDockSite::ReadState(Reader);
  UpdateLayout();
}

void TkxDockSite::Loaded() {
  TkxCustomDockSite::Loaded();
  CheckAutoSizeClient();
  UpdateDockZones();
}

bool TkxDockSite::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  // As a layout site: any side, the client only while empty.
  if (!TkxCustomDockSite::CanDockHost(AControl, ADockType)) return false;
  if (!kxIsSideType(ADockType) && !(ADockType == dtClient && ChildCount() == 0)) return false;
  if (AutoSize()) return ADockType == dtClient && GetAutoSizeClient() == nullptr;
  return true;
}

void TkxDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  const int W = AControl->OriginalWidth(), H = AControl->OriginalHeight();
  TkxCustomDockSite::CreateLayout(AControl, ADockType, AIndex);
  SetAutoSizeBounds(W, H);
  UpdateAutoSizeBounds();
}

void TkxDockSite::DestroyLayout(TkxCustomDockControl* AControl) {
  TkxCustomDockSite::DestroyLayout(AControl);
  UpdateAutoSizeBounds();
}

void TkxDockSite::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  auto Add = [&](TkxZone* Z) { AControl->DockZoneList().insert(AControl->DockZoneList().begin(), Z); };
  if (AutoSize()) {
    if (TkxClientZone::ValidateDockZone(this, AControl)) Add(new TkxAutoSizeClientZone(this, AWidth));
    else if (TkxInvisibleClientZone::ValidateDockZone(this, AControl))
      Add(new TkxInvisibleAutoSizeClientZone(this, AWidth));
    return;
  }
  if (TkxClientZone::ValidateDockZone(this, AControl)) Add(new TkxClientZone(this, AWidth));
  else if (TkxInvisibleClientZone::ValidateDockZone(this, AControl)) Add(new TkxInvisibleClientZone(this, AWidth));
  TkxCustomDockSite::CreateDockZones(AControl, AWidth);
}

void TkxDockSite::CreateResizeZones(TkxCustomDockControl* AControl) {
  if (!AutoSize() || AControl == this) {
    TkxCustomDockSite::CreateResizeZones(AControl);
    return;
  }
  const int W = ResizeZonesWidth();
  auto Add = [&](TkxZone* Z) { AControl->ResizeZoneList().insert(AControl->ResizeZoneList().begin(), Z); };
  if (TkxAutoSizeRightZone::ValidateResizeZone(this)) Add(new TkxAutoSizeRightZone(this, W));
  if (TkxAutoSizeLeftZone::ValidateResizeZone(this)) Add(new TkxAutoSizeLeftZone(this, W));
  if (TkxAutoSizeBottomZone::ValidateResizeZone(this)) Add(new TkxAutoSizeBottomZone(this, W));
  if (TkxAutoSizeTopZone::ValidateResizeZone(this)) Add(new TkxAutoSizeTopZone(this, W));
}

// ---- auto size ----

void TkxDockSite::SetAutoSize(bool Value) {
  if (Value == AutoSize() || !CanChangeAutoSize()) return;
  FAutoSize = Value;
  if (!IsLoading()) {
    UpdateAutoSizeBounds();
    UpdateLayout();
  }
}

bool TkxDockSite::CanChangeAutoSize() { return AutoSize() || ChildCount() == 0 || IsLoading(); }

TkxCustomDockControl* TkxDockSite::GetAutoSizeClient() {
  if (!AutoSize() || ChildCount() <= 1) return nullptr;
  if (Children(0)->CanDock()) return Children(0);
  if (Children(1)->CanDock()) return Children(1);
  return nullptr;
}

void TkxDockSite::SetAutoSizeBounds(int AWidth, int AHeight) {
  if (!AutoSize()) return;
  FAutoSizeWidth = AWidth;
  FAutoSizeHeight = AHeight;
}

void TkxDockSite::UpdateAutoSizeBounds() {
  if (IsDestroying() || !AutoSize() || Align() == alClient) return;
  if (ChildCount() > 0) TkxCustomDockSite::SetBounds(Left(), Top(), FAutoSizeWidth, FAutoSizeHeight);
  else TkxCustomDockSite::SetBounds(Left(), Top(), OriginalWidth(), OriginalHeight());
  BringToFront();
}

void TkxDockSite::UpdateControlOriginalSize(TkxCustomDockControl* AControl) {
  if (!AutoSize() && AControl != this) {
    TkxCustomDockSite::UpdateControlOriginalSize(AControl);
    return;
  }
  if (AControl == this || AControl->FUpdateVisibilityLock > 0 || AControl->LayoutLocked()) {
    if (AutoSize() && ChildCount() > 0) return;
    AControl->FOriginalWidth = Width();
    AControl->FOriginalHeight = Height();
    return;
  }
  switch (Align()) {
    case alTop:
    case alBottom: AControl->FOriginalHeight = Height(); break;
    case alLeft:
    case alRight: AControl->FOriginalWidth = Width(); break;
    default: break;
  }
}

void TkxDockSite::ChildVisibilityChanged(TkxCustomDockControl* AControl) {
  if (!AutoSize() || AControl != GetAutoSizeClient()) return;
  if (!HasAutoHideControls()) {
    if (AControl->Visible()) SetAutoSizeBounds(AControl->OriginalWidth(), AControl->OriginalHeight());
    else SetAutoSizeBounds(OriginalWidth(), OriginalHeight());
  } else if (TkxDockSiteHideBar* Bar = GetHideBarByPosition(GetControlAutoHidePosition(AControl))) {
    Bar->UpdateOwnerAutoSize(AControl);
  }
  UpdateAutoSizeBounds();
}

void TkxDockSite::CheckAutoSizeClient() {
  if (!AutoSize() || ChildCount() != 2 || ValidChildCount() != 0) return;
  for (int i = 0; i < 2; ++i)
    if (dynamic_cast<TkxContainerDockSite*>(Children(i))) {
      ChildVisibilityChanged(Children(i));
      return;
    }
}

TkxAutoHidePosition TkxDockSite::GetControlAutoHidePosition(TkxCustomDockControl* AControl) {
  if (!AutoSize()) return TkxCustomDockSite::GetControlAutoHidePosition(AControl);
  switch (Align()) {
    case alTop: return ahpTop;
    case alBottom: return ahpBottom;
    case alLeft: return ahpLeft;
    case alRight: return ahpRight;
    default: return AControl->Width() > AControl->Height() ? ahpTop : ahpLeft;
  }
}

void TkxDockSite::InvalidateNC() {
  CheckAutoSizeClient();
  TkxCustomDockSite::InvalidateNC();
}
