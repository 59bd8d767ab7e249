// The dock control base: its tree operations, visibility, activation and
// auto-hide state, containers, original sizes and stored dock position.
#include "docking/kxdockcontrol.h"

#include <algorithm>

#include "docking/kxdockinternal.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpainters.h"
#include "platform/classes/filer.h"

// ---- helpers ----

TRect kxControlScreenRect(TControl* AControl) {
  if (auto* W = dynamic_cast<TWinControl*>(AControl); W && W->HandleAllocated()) {
    RECT R;
    GetWindowRect(W->Handle(), &R);
    return R;
  }
  TRect R = AControl->BoundsRect();
  if (AControl->Parent()) {
    TPoint O = AControl->Parent()->ClientOrigin();
    R = kxOffsetRect(R, O.x, O.y);
  }
  return R;
}

void kxSetVisibleSilently(TkxCustomDockControl* AControl, bool Value) { AControl->SetVisibleSilently(Value); }

AnsiString kxCaptionOf(TkxCustomDockControl* AControl) { return AControl ? AControl->Caption() : AnsiString(); }

int kxTextWidth(TCanvas* ACanvas, const AnsiString& Text) { return Text.empty() ? 0 : ACanvas->TextWidth(Text); }

TCustomForm* kxDockingGetParentForm(TControl* AControl) {
  TCustomForm* F = GetParentForm(AControl);
  if (auto* FF = dynamic_cast<TkxFloatForm*>(F)) {
    TkxFloatDockSite* Site = FF->DockSite();
    return Site && !Site->IsDestroying() ? Site->ParentForm() : nullptr;
  }
  return F;
}

bool kxDockingIsInsideDockControl(TControl* AControl) {
  for (TControl* C = AControl; C; C = C->Parent())
    if (dynamic_cast<TkxCustomDockControl*>(C)) return true;
  return false;
}

bool kxDockingContainsDockSite(TControl* AControl) {
  if (dynamic_cast<TkxDockSite*>(AControl)) return true;
  if (auto* W = dynamic_cast<TWinControl*>(AControl))
    for (int i = 0; i < W->ControlCount(); ++i)
      if (kxDockingContainsDockSite(W->Controls(i))) return true;
  return false;
}

// ---- construction and destruction ----

TkxCustomDockControl::TkxCustomDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCreating = true;
  if (!dynamic_cast<TCustomForm*>(AOwner)) kxDockingError(kxsOwnerNotForm);
  FCreating = false;
  Controller()->RegisterDockControl(this);
  FControlStyle = {csAcceptsControls, csClickEvents, csSetCaption, csDoubleClicks};
  FParentColor = false;
  FParentFont = false;
  FColor = clWindow;
  FManagerColor = false;
  SetManagerColor(true);
  FManagerFont = false;
  SetManagerFont(true);
  SetBounds(FLeft, FTop, 300, 200);
}

TkxCustomDockControl::~TkxCustomDockControl() {
  if (FCreating) return;
  // Derived parts are gone: only unlink, without virtual work.
  if (FParentDockControl) {
    auto& V = FParentDockControl->FChildren;
    V.erase(std::remove(V.begin(), V.end(), this), V.end());
    FParentDockControl = nullptr;
  }
  for (TkxCustomDockControl* C : FChildren) C->FParentDockControl = nullptr;
  FChildren.clear();
  kxFreeZones(FResizeZones);
  kxFreeZones(FDockZones);
  FPainter.reset();
  Controller()->UnregisterDockControl(this);
}

void TkxCustomDockControl::BeforeDestruction() {
  if (!CanDestroy()) kxDockingError(kxsDeleteInFloating);
  TCustomControl::BeforeDestruction();
  DetachFromLayout();
}

bool TkxCustomDockControl::IsDestroying() const {
  return ComponentState().Contains(csDestroying) || FReleased ||
         (Application && Application->ComponentState().Contains(csDestroying));
}

TkxDockingController* TkxCustomDockControl::Controller() const { return GetDockingController(); }

TkxDockControlPainter* TkxCustomDockControl::Painter() {
  if (!FPainter) FPainter.reset(Controller()->GetPainterClass(ParentForm())->Create(this));
  return FPainter.get();
}

void TkxCustomDockControl::ReleasePainter() { FPainter.reset(); }

// ---- settings through the controller ----

int TkxCustomDockControl::AutoHideInterval() { return Controller()->GetAutoHideInterval(ParentForm()); }
int TkxCustomDockControl::AutoHideMovingInterval() { return Controller()->GetAutoHideMovingInterval(ParentForm()); }
int TkxCustomDockControl::AutoHideMovingSize() { return Controller()->GetAutoHideMovingSize(ParentForm()); }
int TkxCustomDockControl::AutoShowInterval() { return Controller()->GetAutoShowInterval(ParentForm()); }
TColor TkxCustomDockControl::ManagersColor() { return Controller()->GetColor(ParentForm()); }
int TkxCustomDockControl::DockZonesWidth() { return Controller()->GetDockZonesWidth(ParentForm()); }
TFont* TkxCustomDockControl::ManagersFont() { return Controller()->GetFont(ParentForm()); }
TCustomImageList* TkxCustomDockControl::Images() { return Controller()->GetImages(ParentForm()); }
TkxDockingOptions TkxCustomDockControl::Options() { return Controller()->GetOptions(ParentForm()); }
int TkxCustomDockControl::ResizeZonesWidth() { return Controller()->GetResizeZonesWidth(ParentForm()); }
int TkxCustomDockControl::SelectionFrameWidth() { return Controller()->GetSelectionFrameWidth(ParentForm()); }
int TkxCustomDockControl::TabsScrollInterval() { return Controller()->GetTabsScrollInterval(ParentForm()); }

// ---- tree queries ----

TkxCustomDockControl* TkxCustomDockControl::Children(int Index) const {
  if (Index < 0 || Index >= ChildCount()) return nullptr;
  return FChildren[std::size_t(Index)];
}

int TkxCustomDockControl::DockIndex() const {
  TkxCustomDockControl* P = FParentDockControl;
  if (!P) return -1;
  auto It = std::find(P->FChildren.begin(), P->FChildren.end(), this);
  return It == P->FChildren.end() ? -1 : int(It - P->FChildren.begin());
}

int TkxCustomDockControl::DockLevel() const {
  int L = 0;
  for (const TkxCustomDockControl* C = this; C; C = C->FParentDockControl) ++L;
  return L;
}

bool TkxCustomDockControl::IsDescendantOf(const TkxCustomDockControl* AControl) const {
  for (const TkxCustomDockControl* C = this; C; C = C->FParentDockControl)
    if (C == AControl) return true;
  return false;
}

int TkxCustomDockControl::ValidChildCount() {
  int N = 0;
  for (TkxCustomDockControl* C : FChildren)
    if (IsValidChild(C)) ++N;
  return N;
}

TkxCustomDockControl* TkxCustomDockControl::ValidChildren(int Index) {
  for (TkxCustomDockControl* C : FChildren)
    if (IsValidChild(C) && Index-- == 0) return C;
  return nullptr;
}

bool TkxCustomDockControl::IsValidChild(TkxCustomDockControl* AControl) {
  return AControl && AControl->FParentDockControl == this && AControl->DockIndex() >= 0 && AControl->Visible() &&
         !AControl->AutoHide();
}

TkxDockingState TkxCustomDockControl::GetDockingState() {
  if (FReleased) return dcsDestroying;
  if (!ParentDockControl() && !Parent()) return dcsUnattached;
  if (!Visible()) return dcsHidden;
  if (dynamic_cast<TkxFloatDockSite*>(TopMostDockControl())) return dcsFloating;
  return dcsDocked;
}

bool TkxCustomDockControl::IsActive() const { return Controller()->ActiveDockControl() == this; }

TCustomForm* TkxCustomDockControl::ParentForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

bool TkxCustomDockControl::IsParentFormActive() {
  TCustomForm* F = ParentForm();
  if (!F) return false;
  if (F->FormStyle() == fsMDIForm) return Application && Application->Active();
  TCustomForm* Top = GetParentForm(this, true);
  return Top && Top->Active();
}

bool TkxCustomDockControl::IsParentFormVisible() {
  TCustomForm* F = ParentForm();
  return F && (F->Visible() || F->FormState().Contains(fsVisible));
}

TkxCustomDockControl* TkxCustomDockControl::TopMostDockControl() {
  TkxCustomDockControl* C = this;
  while (C->ParentDockControl()) C = C->ParentDockControl();
  return C;
}

TkxLayoutDockSite* TkxCustomDockControl::LayoutDockSite() {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P || P->ChildCount() != 2) return nullptr;
  int I = DockIndex();
  if (I < 0) return nullptr;
  return dynamic_cast<TkxLayoutDockSite*>(P->Children(1 - I));
}

TkxContainerDockSite* TkxCustomDockControl::Container() {
  return dynamic_cast<TkxContainerDockSite*>(ParentDockControl());
}

TkxSideContainerDockSite* TkxCustomDockControl::SideContainer() {
  if (auto* S = dynamic_cast<TkxSideContainerDockSite*>(Container())) return S;
  if (TkxTabContainerDockSite* T = TabContainer()) return dynamic_cast<TkxSideContainerDockSite*>(T->Container());
  return nullptr;
}

TkxCustomDockControl* TkxCustomDockControl::SideContainerItem() {
  if (dynamic_cast<TkxSideContainerDockSite*>(Container())) return this;
  if (TkxTabContainerDockSite* T = TabContainer())
    if (dynamic_cast<TkxSideContainerDockSite*>(T->Container())) return T;
  return nullptr;
}

int TkxCustomDockControl::SideContainerIndex() {
  TkxCustomDockControl* I = SideContainerItem();
  return I ? I->DockIndex() : -1;
}

TkxTabContainerDockSite* TkxCustomDockControl::TabContainer() {
  return dynamic_cast<TkxTabContainerDockSite*>(Container());
}

TkxDockSite* TkxCustomDockControl::AutoHideHostSite() { return dynamic_cast<TkxDockSite*>(TopMostDockControl()); }

TkxDockSiteAutoHideContainer* TkxCustomDockControl::AutoHideContainer() {
  return dynamic_cast<TkxDockSiteAutoHideContainer*>(Parent());
}

TkxCustomDockControl* TkxCustomDockControl::AutoHideControl() {
  for (TkxCustomDockControl* C = this; C; C = C->ParentDockControl())
    if (C->AutoHide()) return C;
  return nullptr;
}

TkxDockSite* TkxCustomDockControl::AutoSizeHostSite() {
  auto* S = dynamic_cast<TkxDockSite*>(ParentDockControl());
  return S && S->AutoSize() ? S : nullptr;
}

TkxFloatDockSite* TkxCustomDockControl::FloatDockSite() { return dynamic_cast<TkxFloatDockSite*>(ParentDockControl()); }

TkxFloatForm* TkxCustomDockControl::FloatForm() {
  auto* S = dynamic_cast<TkxFloatDockSite*>(TopMostDockControl());
  return S ? S->FloatForm() : nullptr;
}

bool TkxCustomDockControl::IsFloatFormActive() {
  TkxFloatForm* F = FloatForm();
  return F && F->Active();
}

bool TkxCustomDockControl::IsFloatFormVisible() {
  TkxFloatForm* F = FloatForm();
  return F && F->HandleAllocated() && IsWindowVisible(F->Handle());
}

// ---- site properties of created sites ----

void TkxCustomDockControl::UpdateLayoutSiteProperties(TkxLayoutDockSite* ASite) {
  if (TPersistent* P = Controller()->DefaultLayoutSiteProperties(ParentForm())) ASite->Assign(P);
}

void TkxCustomDockControl::UpdateSideContainerSiteProperties(TkxSideContainerDockSite* ASite) {
  TPersistent* P = nullptr;
  if (dynamic_cast<TkxVertContainerDockSite*>(ASite)) P = Controller()->DefaultVertContainerSiteProperties(ParentForm());
  else if (dynamic_cast<TkxHorizContainerDockSite*>(ASite))
    P = Controller()->DefaultHorizContainerSiteProperties(ParentForm());
  if (P) ASite->Assign(P);
}

void TkxCustomDockControl::UpdateTabContainerSiteProperties(TkxTabContainerDockSite* ASite) {
  if (TPersistent* P = Controller()->DefaultTabContainerSiteProperties(ParentForm())) ASite->Assign(P);
}

void TkxCustomDockControl::UpdateFloatSiteProperties(TkxFloatDockSite* ASite) {
  if (TPersistent* P = Controller()->DefaultFloatSiteProperties(ParentForm())) ASite->Assign(P);
}

void TkxCustomDockControl::DoCreateLayoutSiteNotifications(TkxLayoutDockSite* ASite) {
  UpdateLayoutSiteProperties(ASite);
  if (OnCreateLayoutSite) OnCreateLayoutSite(this, ASite);
  Controller()->DoCreateLayoutSite(this, ASite);
}

void TkxCustomDockControl::DoCreateTabContainerNotifications(TkxTabContainerDockSite* ASite) {
  UpdateTabContainerSiteProperties(ASite);
  if (OnCreateTabContainer) OnCreateTabContainer(this, ASite);
  Controller()->DoCreateTabContainerSite(this, ASite);
}

void TkxCustomDockControl::DoCreateSideContainerNotifications(TkxSideContainerDockSite* ASite) {
  UpdateSideContainerSiteProperties(ASite);
  if (OnCreateSideContainer) OnCreateSideContainer(this, ASite);
  Controller()->DoCreateSideContainerSite(this, ASite);
}

void TkxCustomDockControl::DoCreateFloatSiteNotifications(TkxFloatDockSite* ASite) {
  UpdateFloatSiteProperties(ASite);
  if (OnCreateFloatSite) OnCreateFloatSite(this, ASite);
  Controller()->DoCreateFloatSite(this, ASite);
}

// ---- tree operations ----

void TkxCustomDockControl::DockTo(TkxCustomDockControl* ASite, TkxDockingType ADockType, int AIndex) {
  if (!ASite || !CanDock() || !ASite->CanDockHost(this, ADockType)) return;
  {
    TkxNCLock Lock;
    TkxCustomDockControl* Target = ASite;
    TkxContainerDockSite* C = Container();
    if (ASite == LayoutDockSite()) Target = ParentDockControl();
    else if (C && ASite == C && C->ChildCount() == 2 && !C->CanContainerDockHost(ADockType))
      Target = C->Children(DockIndex() == 0 ? 1 : 0);
    {
      TkxLayoutLock TargetLock(Target);
      if (ParentDockControl()) {
        if (C && Target == C && C->CanContainerDockHost(ADockType)) ExcludeFromDock();
        else UnDock();
      }
      Target->CreateLayout(this, ADockType, AIndex);
    }
    if (OnDock) OnDock(this, Target, ADockType, AIndex);
    Controller()->DoControlLayoutChanged(this);
  }
  if (Options().Contains(doActivateAfterDocking)) Activate();
}

void TkxCustomDockControl::UnDock() {
  if (!CanDock()) return;
  TkxNCLock Lock;
  if (AutoHide()) SetAutoHide(false);
  TkxCustomDockControl* P = ParentDockControl();
  if (!P) return;
  {
    TkxLayoutLock ParentLock(P);
    if (OnUnDock) OnUnDock(this, P);
    if (TkxFloatDockSite* F = FloatDockSite()) F->HideFloatForm();
    P->DestroyLayout(this);
  }
  Controller()->DoControlLayoutChanged(this);
}

void TkxCustomDockControl::MakeFloating(int X, int Y) {
  if (!CanDock() || !AllowFloating()) return;
  {
    TkxNCLock Lock;
    if (TkxFloatDockSite* F = FloatDockSite()) {
      F->SetFloatFormPosition(X, Y);
      return;
    }
    StoreDockPosition(TPoint(X, Y));
    const int W = OriginalWidth(), H = OriginalHeight();
    UnDock();
    auto* Site = NewObject<TkxFloatDockSite>(Owner());
    Site->CreateLayout(this, dtClient, 0);
    Site->SetFloatFormPosition(X, Y);
    Site->SetFloatFormSize(W, H);
    Site->ShowFloatForm();
    DoCreateFloatSiteNotifications(Site);
    if (OnMakeFloating) OnMakeFloating(this, X, Y);
    Controller()->DoControlLayoutChanged(this);
  }
  if (Options().Contains(doActivateAfterDocking)) Activate();
}

void TkxCustomDockControl::MakeFloating() {
  TRect R = ScreenWindowRect();
  MakeFloating(R.left, R.top);
}

TRect TkxCustomDockControl::ScreenWindowRect() { return kxControlScreenRect(this); }

void TkxCustomDockControl::SetDockType(TkxDockingType ADockType) {
  if (dynamic_cast<TkxFloatDockSite*>(this) && IsDesigning() && IsLoading()) return;
  FDockType = ADockType;
  static const TAlign Aligns[] = {alNone, alClient, alLeft, alTop, alRight, alBottom};
  if (ADockType != dtNone && (!AutoHide() || IsLoading())) SetAlign(Aligns[ADockType]);
}

void TkxCustomDockControl::SetParentDockControl(TkxCustomDockControl* AControl) {
  FParentDockControl = AControl;
  if (!AutoHide()) SetParent(AControl);
}

void TkxCustomDockControl::IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex) {
  TkxLayoutLock Lock(this);
  AParent->NCChanged(false);
  SetDockType(ADockType);
  auto Place = [&] {
    auto& V = AParent->FChildren;
    auto It = std::find(V.begin(), V.end(), this);
    if (It != V.end()) V.erase(It);
    if (AIndex < 0 || AIndex >= int(V.size())) V.push_back(this);
    else V.insert(V.begin() + AIndex, this);
  };
  try {
    SetParentDockControl(AParent);
  } catch (...) {
    // A handler of the parent change raised: the control is in the tree all
    // the same, so that the tree stays whole and can be taken apart.
    if (FParentDockControl == AParent) Place();
    throw;
  }
  Place();
  UpdateOriginalSize();
  UpdateCaption();
  AParent->LayoutChanged();
}

void TkxCustomDockControl::ExcludeFromDock() {
  TkxLayoutLock Lock(this);
  TkxCustomDockControl* P = ParentDockControl();
  auto Remove = [&] {
    if (P) P->FChildren.erase(std::remove(P->FChildren.begin(), P->FChildren.end(), this), P->FChildren.end());
  };
  try {
    SetParentDockControl(nullptr);
  } catch (...) {
    if (!FParentDockControl) Remove();
    throw;
  }
  if (!AutoHide()) SetAlign(alNone);
  if (P) {
    Remove();
    if (P->NeedsNCRecalc()) P->NCChanged(false);
  }
  AssignOriginalSize(this);
  kxFreeZones(FDockZones);
  kxFreeZones(FResizeZones);
  if (P) P->LayoutChanged();
}

void TkxCustomDockControl::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  if (ChildCount() == 0) {
    auto* Site = NewObject<TkxLayoutDockSite>(Owner());
    Site->IncludeToDock(this, dtClient, 0);
    AControl->IncludeToDock(this, ADockType, 1);
    DoCreateLayoutSiteNotifications(Site);
  } else if (ChildCount() == 2) {
    TkxCustomDockControl* C0 = Children(0);
    TkxCustomDockControl* C1 = Children(1);
    C0->ExcludeFromDock();
    C1->ExcludeFromDock();
    auto* Site = NewObject<TkxLayoutDockSite>(Owner());
    Site->IncludeToDock(this, dtClient, 0);
    C0->IncludeToDock(Site, C0->DockType(), 0);
    C1->IncludeToDock(Site, C1->DockType(), 1);
    AControl->IncludeToDock(this, ADockType, 1);
    DoCreateLayoutSiteNotifications(Site);
  } else {
    kxDockingAssert(kxsCreateLayoutError, "TkxCustomDockControl");
  }
}

void TkxCustomDockControl::DestroyLayout(TkxCustomDockControl* AControl) {
  AControl->ExcludeFromDock();
  if (ChildCount() != 1) return;
  TkxCustomDockControl* R = Children(0);
  if (R->ChildCount() == 0) {
    R->ExcludeFromDock();
  } else if (R->ChildCount() == 2) {
    TkxCustomDockControl* G0 = R->Children(0);
    TkxCustomDockControl* G1 = R->Children(1);
    G0->ExcludeFromDock();
    G1->ExcludeFromDock();
    R->ExcludeFromDock();
    G0->IncludeToDock(this, G0->DockType(), 0);
    G1->IncludeToDock(this, G1->DockType(), 1);
  } else {
    kxDockingAssert(kxsDestroyLayoutError, "TkxCustomDockControl");
  }
  R->DoDestroy();
}

void TkxCustomDockControl::DetachFromLayout() {
  if (AutoHide()) {
    TkxDockSite* S = AutoHideHostSite();
    if (S && !S->IsDestroying()) SetAutoHide(false);
  }
  if (TkxCustomDockControl* P = ParentDockControl()) {
    if (P->IsDestroying()) {
      auto& V = P->FChildren;
      V.erase(std::remove(V.begin(), V.end(), this), V.end());
      FParentDockControl = nullptr;
    } else {
      UnDock();
      // A control that cannot dock (a site) still leaves its parent.
      if (TkxCustomDockControl* Q = ParentDockControl()) {
        auto& V = Q->FChildren;
        V.erase(std::remove(V.begin(), V.end(), this), V.end());
        FParentDockControl = nullptr;
      }
    }
  }
  for (TkxCustomDockControl* C : FChildren) C->FParentDockControl = nullptr;
  FChildren.clear();
}

void TkxCustomDockControl::CheckDockRules() {
  if (CanDock() && DockType() != dtNone && !AllowDock().Contains(DockType())) {
    SetAutoHide(false);
    FAllowFloating = true;
    MakeFloating();
  }
}

void TkxCustomDockControl::CheckDockClientsRules() {
  for (;;) {
    TkxCustomDockControl* Found = nullptr;
    for (TkxCustomDockControl* C : FChildren)
      if (!AllowDockClients().Contains(C->DockType()) && C->CanDock()) {
        Found = C;
        break;
      }
    if (!Found) return;
    Found->SetAutoHide(false);
    Found->FAllowFloating = true;
    TPoint O = ClientOrigin();
    const int Before = ChildCount();
    Found->MakeFloating(O.x, O.y);
    if (ChildCount() >= Before && Found->ParentDockControl() == this) return;  // it could not leave
  }
}

void TkxCustomDockControl::EndUpdateLayout() {
  if (FUpdateLayoutLock > 0) --FUpdateLayoutLock;
  LayoutChanged();
}

void TkxCustomDockControl::LayoutChanged() {
  if (FUpdateLayoutLock > 0 || IsDestroying()) return;
  UpdateLayout();
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TkxCustomDockControl::UpdateLayout() {
  UpdateRelatedVisibility();
  UpdateDockZones();
  UpdateResizeZones();
  UpdateEnabled();
}

bool TkxCustomDockControl::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  return AControl && AControl->ParentForm() == ParentForm() && !IsDescendantOf(AControl) && AControl->CanDock() &&
         AControl->AllowDock().Contains(ADockType) && AllowDockClients().Contains(ADockType) &&
         AutoHideControl() == nullptr;
}

// ---- properties ----

void TkxCustomDockControl::SetAllowDock(TkxDockingTypes Value) {
  FAllowDock = Value;
  if (!IsLoading()) {
    CheckDockRules();
    UpdateDockZones();
  }
}

void TkxCustomDockControl::SetAllowDockClients(TkxDockingTypes Value) {
  FAllowDockClients = Value;
  if (!IsLoading()) {
    CheckDockClientsRules();
    UpdateDockZones();
  }
}

void TkxCustomDockControl::SetAllowFloating(bool Value) {
  if (GetDockingState() == dcsFloating) return;
  FAllowFloating = Value;
}

void TkxCustomDockControl::SetAutoHide(bool Value) {
  if (Value == FAutoHide) return;
  if (Value && !CanAutoHide()) return;
  FAutoHide = Value;
  AutoHideChanged();
  UpdateEnabled();
}

void TkxCustomDockControl::SetCaptionButtons(TkxCaptionButtons Value) {
  FCaptionButtons = Value;
  RedrawNC(true);
}

void TkxCustomDockControl::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (HasCaption()) NCChanged(false);
  if (AutoHide())
    if (TkxDockSite* S = AutoHideHostSite()) S->RedrawNC(true);
  if (TkxTabContainerDockSite* T = TabContainer()) T->RedrawNC(true);
}

void TkxCustomDockControl::SetManagerColor(bool Value) {
  if (Value && !IsLoading()) {
    FSettingColor = true;
    SetColor(ManagersColor());
    FSettingColor = false;
  }
  FManagerColor = Value;
  RedrawNC(false);
}

void TkxCustomDockControl::SetManagerFont(bool Value) {
  if (Value && !IsLoading()) {
    FSettingFont = true;
    Font()->Assign(ManagersFont());
    FSettingFont = false;
  }
  FManagerFont = Value;
  NCChanged(false);
}

void TkxCustomDockControl::SetShowCaption(bool Value) {
  FShowCaption = Value;
  NCChanged(false);
}

void TkxCustomDockControl::CMColorChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FSettingColor && !IsLoading()) FManagerColor = false;
  RedrawNC(false);
}

void TkxCustomDockControl::CMFontChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FSettingFont && !IsLoading()) FManagerFont = false;
  NCChanged(false);
}

void TkxCustomDockControl::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TkxCustomDockControl*>(Source);
  if (!S) {
    TCustomControl::Assign(Source);
    return;
  }
  SetAllowDock(S->AllowDock());
  SetAllowDockClients(S->AllowDockClients());
  SetAllowFloating(S->AllowFloating());
  SetCaption(S->Caption());
  SetCaptionButtons(S->CaptionButtons());
  SetDockable(S->Dockable());
  SetImageIndex(S->ImageIndex());
  SetShowCaption(S->ShowCaption());
  SetColor(S->Color());
  SetCursor(S->Cursor());
  SetFont(S->Font());
  SetHint(S->Hint());
  SetManagerColor(S->ManagerColor());
  SetManagerFont(S->ManagerFont());
  SetPopupMenu(S->PopupMenu());
  SetShowHint(S->ShowHint());
  SetTag(S->Tag());
}

// ---- streaming ----

void TkxCustomDockControl::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  Filer->DefineProperty(
      "DockType", [this](TReader* R) { SetDockType(TkxDockingType(std::clamp(R->ReadInteger(), 0, 5))); },
      [this](TWriter* W) { W->WriteInteger(int(FDockType)); }, true);
  Filer->DefineProperty(
      "OriginalWidth", [this](TReader* R) { FOriginalWidth = R->ReadInteger(); },
      [this](TWriter* W) { W->WriteInteger(FOriginalWidth); }, true);
  Filer->DefineProperty(
      "OriginalHeight", [this](TReader* R) { FOriginalHeight = R->ReadInteger(); },
      [this](TWriter* W) { W->WriteInteger(FOriginalHeight); }, true);
  Filer->DefineProperty(
      "AutoHidePosition",
      [this](TReader* R) { FAutoHidePosition = TkxAutoHidePosition(std::clamp(R->ReadInteger(), 0, 4)); },
      [this](TWriter* W) { W->WriteInteger(int(FAutoHidePosition)); }, FAutoHide);
}

void TkxCustomDockControl::ReadState(TReader* Reader) {
  TCustomControl::ReadState(Reader);
  if (auto* P = dynamic_cast<TkxCustomDockControl*>(Reader->Parent()); P && FDockType != dtNone)
    IncludeToDock(P, FDockType, -1);
}

void TkxCustomDockControl::Loaded() {
  TCustomControl::Loaded();
  {
    TkxNCLock Lock;
    if (AutoHide())
      if (auto* S = dynamic_cast<TkxDockSite*>(TopMostDockControl())) {
        TkxAutoHidePosition P = AutoHidePosition() != ahpUndefined ? AutoHidePosition() : GetAutoHidePosition();
        if (!S->GetHideBarByControl(this)) S->RegisterAutoHideControl(this, P);
      }
  }
  Controller()->AddPendingLayoutForm(this);
}

void TkxCustomDockControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FStoredPosition.DockParent == AComponent) FStoredPosition.DockParent = nullptr;
  if (FStoredPosition.SiblingAfter == AComponent) FStoredPosition.SiblingAfter = nullptr;
  if (FStoredPosition.SiblingBefore == AComponent) FStoredPosition.SiblingBefore = nullptr;
  if (FSavedCaptureControl == AComponent) FSavedCaptureControl = nullptr;
}

void TkxCustomDockControl::SetParent(TWinControl* AParent) {
  if (AParent == Parent()) return;
  const bool Notify = !IsLoading();
  if (Notify && OnParentChanging) OnParentChanging(this);
  TCustomControl::SetParent(AParent);
  if (Notify && OnParentChanged) OnParentChanged(this);
}

void TkxCustomDockControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (TkxSideContainerDockSite* S = SideContainer(); S && SideContainerItem() == this)
    S->ChildBoundsChanged(this, AWidth, AHeight);
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!LayoutLocked()) UpdateOriginalSize();
}

void TkxCustomDockControl::AlignControls(TControl* AControl, TRect& Rect) {
  TkxNCLock Lock;
  TCustomControl::AlignControls(AControl, Rect);
}

void TkxCustomDockControl::WMMove(TMessage& Message) {
  TkxNCLock Lock;
  TCustomControl::Dispatch(Message);
}

void TkxCustomDockControl::WMSize(TWMSize& Message) {
  TkxNCLock Lock;
  TCustomControl::Dispatch(Message);
}

void TkxCustomDockControl::CreateHandle() {
  TCustomControl::CreateHandle();
  if (TkxCustomDockControl* P = ParentDockControl()) P->UpdateDockZones();
}

void TkxCustomDockControl::DoEnter() {
  TkxCustomDockControl* A = Controller()->ActiveDockControl();
  if (!A || !A->IsDescendantOf(this)) Activate();
  TCustomControl::DoEnter();
}

void TkxCustomDockControl::WMMouseActivate(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Activate();
}

// ---- visibility ----

void TkxCustomDockControl::VisibleChanging() {
  TCustomControl::VisibleChanging();
  if (OnVisibleChanging) OnVisibleChanging(this);
}

void TkxCustomDockControl::CMVisibleChanged(TMessage& Message) {
  if (!IsLoading() && ParentDockControl()) {
    UpdateRelatedVisibility();
    UpdateCaption();
  }
  TCustomControl::Dispatch(Message);
  UpdateAutoHideState();
  DoVisibleChanged();
  if (Visible()) DoActivate();
}

void TkxCustomDockControl::SetVisibility(bool Value) {
  ++FUpdateVisibilityLock;
  try {
    SetVisible(Value);
  } catch (...) {
    --FUpdateVisibilityLock;
    throw;
  }
  --FUpdateVisibilityLock;
}

void TkxCustomDockControl::SetVisibleSilently(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  UpdateControlState();
  RequestAlign();
}

void TkxCustomDockControl::DoVisibleChanged() {
  if (OnVisibleChanged) OnVisibleChanged(this);
}

void TkxCustomDockControl::UpdateRelatedVisibility() {
  TkxNCLock Lock;
  ++FUpdateVisibilityLock;
  try {
    UpdateAutoHideHostVisibility();
    UpdateParentVisibility();
    UpdateLayoutDockSiteVisibility();
  } catch (...) {
    --FUpdateVisibilityLock;
    throw;
  }
  --FUpdateVisibilityLock;
}

void TkxCustomDockControl::UpdateAutoHideHostVisibility() {
  TkxDockSite* S = AutoHideHostSite();
  TkxCustomDockControl* A = AutoHideControl();
  if (S && A && A != this) S->InvalidateNC();
}

void TkxCustomDockControl::UpdateParentVisibility() {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P) return;
  InvalidateNC();
  if (!AutoHide()) P->InvalidateNC();
  P->ChildVisibilityChanged(this);
  if (!AutoHide()) P->UpdateLayout();
}

void TkxCustomDockControl::UpdateLayoutDockSiteVisibility() {
  TkxLayoutDockSite* L = LayoutDockSite();
  if (!L) return;
  ++L->FUpdateVisibilityLock;
  try {
    if ((Visible() && !AutoHide()) || L->ChildCount() > 0) L->SetVisible(true);
    else if (!Visible() && L->ChildCount() == 0) L->SetVisible(false);
  } catch (...) {
    --L->FUpdateVisibilityLock;
    throw;
  }
  --L->FUpdateVisibilityLock;
}

void TkxCustomDockControl::UpdateAutoHideState() {
  if (FUpdateVisibilityLock > 0) return;
  if (TkxCustomDockControl* P = ParentDockControl(); P && P->AutoHide() && P->ValidChildCount() == 0)
    P->UpdateAutoHideState();
  ++FUpdateVisibilityLock;
  try {
    TkxDockSite* S = AutoHideHostSite();
    if (!AutoHide() && S && Visible() && StoredAutoHide()) {
      FStoredAutoHide = false;
      SetAutoHide(true);
      if (AutoHide()) S->ShowImmediately(this);
    } else if (AutoHide() && S && Visible()) {
      S->SetShowingControl(this);
    } else if (AutoHide() && S && !Visible()) {
      TkxNCLock Lock;
      S->InvalidateNC();
      SetAutoHide(false);
      FStoredAutoHide = true;
      SetVisibility(false);
    }
  } catch (...) {
    --FUpdateVisibilityLock;
    throw;
  }
  --FUpdateVisibilityLock;
}

// ---- auto-hide ----

void TkxCustomDockControl::AutoHideChanged() {
  if (IsLoading()) return;
  TkxDockSite* S = AutoHideHostSite();
  if (!S) return;
  {
    TkxNCLock Lock;
    if (OnAutoHideChanging) OnAutoHideChanging(this);
    S->InvalidateNC();
    TkxLayoutLock ParentLock(ParentDockControl());
    if (AutoHide()) {
      S->RegisterAutoHideControl(this, GetAutoHidePosition());
      Controller()->SetActiveDockControl(nullptr);
    } else {
      S->UnregisterAutoHideControl(this);
      Activate();
    }
    UpdateResizeZones();
    UpdateDockZones();
  }
  {
    TkxNCLock Lock;
    if (AutoHide() && !Options().Contains(doImmediatelyHideOnAutoHide)) S->ShowImmediately(this);
    if (!Visible()) UpdateRelatedVisibility();
  }
  if (OnAutoHideChanged) OnAutoHideChanged(this);
}

TkxAutoHidePosition TkxCustomDockControl::GetAutoHidePosition() {
  TkxCustomDockControl* Host = AutoSizeHostSite();
  if (!Host) Host = SideContainer();
  if (!Host) Host = TabContainer();
  if (!Host) Host = this;
  TkxAutoHidePosition P = Host->GetControlAutoHidePosition(this);
  if (OnGetAutoHidePosition) OnGetAutoHidePosition(this, P);
  if (P < ahpLeft || P > ahpBottom) P = ahpLeft;
  return P;
}

TkxAutoHidePosition TkxCustomDockControl::GetControlAutoHidePosition(TkxCustomDockControl* AControl) {
  if (TkxDockSite* S = AutoSizeHostSite()) return S->GetControlAutoHidePosition(AControl);
  switch (AControl->DockType()) {
    case dtLeft: return ahpLeft;
    case dtTop: return ahpTop;
    case dtRight: return ahpRight;
    case dtBottom: return ahpBottom;
    default: break;
  }
  TkxDockSite* Site = AutoHideHostSite();
  if (!AControl->HandleAllocated() || !Site) return ahpLeft;
  const TRect C = kxControlScreenRect(AControl), D = kxControlScreenRect(Site);
  if (AControl->Height() >= AControl->Width()) return D.right - C.right < C.left - D.left ? ahpRight : ahpLeft;
  return D.bottom - C.bottom < C.top - D.top ? ahpBottom : ahpTop;
}

void TkxCustomDockControl::ChangeAutoHide() {
  if (ComponentState().Contains(csAncestor)) kxDockingError(kxsAncestorDocking);
  SetAutoHide(!AutoHide());
}

void TkxCustomDockControl::UpdateEnabled() {
  if (TkxTabContainerDockSite* T = TabContainer()) SetEnabled(T->ActiveChild() == this || AutoHide());
  else SetEnabled(true);
}

// ---- activation and closing ----

void TkxCustomDockControl::Activate() {
  // A control on its way out never becomes the active one.
  if (IsDestroying()) return;
  Controller()->SetActiveDockControl(this);
}

bool TkxCustomDockControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* F = GetParentForm(this);
  if (!F) return true;
  return F->CanFocus() && F->Enabled() && F->Visible();
}

void TkxCustomDockControl::DoActiveChanged(bool Active, bool CallEvent) {
  if (TkxTabContainerDockSite* T = TabContainer()) {
    if (Active) T->SetActiveChild(this);
    T->RedrawNC(false);
  }
  if (Active && AutoHide() && !Visible()) SetVisible(true);
  if (Active) DoActivate();
  RedrawCaption();
  if (CallEvent && OnActivate) OnActivate(this, Active);
}

void TkxCustomDockControl::DoActivate() {
  if (!IsActive() || IsDesigning() || !CanFocusOnActivate() || !CanFocusEx()) return;
  if (Controller()->IsDockControlFocusedEx(this)) return;
  SetFocus();
  SelectFirst();
}

void TkxCustomDockControl::DoClose() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  if (!CanClose) return;
  if (IsActive()) Controller()->SetActiveDockControl(nullptr);
  if (OnClose) OnClose(this);
  const TkxDockingOptions O = Options();
  if (O.Contains(doFreeOnClose)) DoDestroy();
  else if (O.Contains(doUndockOnClose)) UnDock();
  else SetVisible(false);
}

bool TkxCustomDockControl::CanDestroy() {
  if (!IsDesigning()) return true;
  for (TkxCustomDockControl* C = ParentDockControl(); C; C = C->ParentDockControl())
    if (dynamic_cast<TkxFloatDockSite*>(C)) return C->IsDestroying();
  return true;
}

void TkxCustomDockControl::DoDestroy() {
  if (FReleased) return;
  DetachFromLayout();
  FReleased = true;
  Controller()->ReleaseDockControl(this);
}

// ---- containers, original sizes and the stored position ----

void TkxCustomDockControl::CreateTabContainerLayout(TkxCustomDockControl* AControl, int AIndex) {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P) kxDockingAssert(kxsCreateLayoutError, "TkxTabContainerDockSite");
  const int I = DockIndex();
  TkxTabContainerDockSite* C = nullptr;
  {
    TkxLayoutLock ParentLock(P);
    ExcludeFromDock();
    C = NewObject<TkxTabContainerDockSite>(Owner());
    TkxLayoutLock ContainerLock(C);
    C->AssignOriginalSize(this);
    C->IncludeToDock(P, DockType(), I);
    IncludeToDock(C, dtClient, 0);
    AControl->IncludeToDock(C, dtClient, AIndex);
  }
  DoCreateTabContainerNotifications(C);
}

void TkxCustomDockControl::CreateSideContainerLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType,
                                                     int AIndex) {
  TkxCustomDockControl* P = ParentDockControl();
  if (!P || ADockType == dtClient || ADockType == dtNone)
    kxDockingAssert(kxsCreateLayoutError, "TkxSideContainerDockSite");
  const int I = DockIndex();
  TkxSideContainerDockSite* C = nullptr;
  {
    TkxLayoutLock ParentLock(P);
    ExcludeFromDock();
    if (ADockType == dtLeft || ADockType == dtRight) C = NewObject<TkxHorizContainerDockSite>(Owner());
    else C = NewObject<TkxVertContainerDockSite>(Owner());
    C->AssignOriginalSize(this);
    TkxLayoutLock ContainerLock(C);
    C->IncludeToDock(P, DockType(), I);
    IncludeToDock(C, dtTop, 0);
    if (AIndex == -1) {
      if (ADockType == C->GetHeadDockType()) AControl->IncludeToDock(C, C->GetHeadDockType(), 0);
      else AControl->IncludeToDock(C, C->GetTailDockType(), 1);
    } else {
      AControl->IncludeToDock(C, C->GetHeadDockType(), AIndex);
    }
    C->AdjustChildrenBounds(AControl);
  }
  DoCreateSideContainerNotifications(C);
}

void TkxCustomDockControl::CreateContainerLayout(TkxContainerDockSite* AContainer, TkxCustomDockControl* AControl,
                                                 TkxDockingType ADockType, int AIndex) {
  if (!AContainer) return;
  TkxLayoutLock Lock(AContainer);
  AContainer->CreateLayout(AControl, ADockType, ADockType == AContainer->GetTailDockType() ? AIndex + 1 : AIndex);
}

void TkxCustomDockControl::AssignOriginalSize(TkxCustomDockControl* AControl) {
  const int W = AControl->OriginalWidth(), H = AControl->OriginalHeight();
  SetBounds(Left(), Top(), W, H);
  FOriginalWidth = W;
  FOriginalHeight = H;
}

void TkxCustomDockControl::UpdateOriginalSize() {
  if (IsLoading() || !Visible()) return;
  TkxCustomDockControl* Host = FloatDockSite();
  if (!Host) Host = AutoHideControl();
  if (!Host) Host = AutoSizeHostSite();
  if (!Host) Host = SideContainer();
  if (!Host) Host = TabContainer();
  if (!Host) Host = this;
  Host->UpdateControlOriginalSize(this);
}

void TkxCustomDockControl::UpdateControlOriginalSize(TkxCustomDockControl* AControl) {
  if (TkxCustomDockControl* A = AControl->AutoHideControl()) {
    TkxDockSite* S = A->AutoHideHostSite();
    TkxDockSiteHideBar* Bar = S ? S->GetHideBarByControl(A) : nullptr;
    if (!Bar) return;
    switch (Bar->GetPosition()) {
      case ahpTop:
      case ahpBottom: AControl->FOriginalHeight = Height(); break;
      case ahpLeft:
      case ahpRight: AControl->FOriginalWidth = Width(); break;
      default: break;
    }
    return;
  }
  switch (DockType()) {
    case dtClient: break;
    case dtLeft:
    case dtRight: AControl->FOriginalWidth = Width(); break;
    case dtTop:
    case dtBottom: AControl->FOriginalHeight = Height(); break;
    case dtNone:
      AControl->FOriginalWidth = Width();
      AControl->FOriginalHeight = Height();
      break;
  }
}

void TkxCustomDockControl::StoreDockPosition(const TPoint& Point) {
  FStoredPosition = TkxDockPosition();
  const int I = DockIndex();
  FStoredPosition.DockIndex = I;
  FStoredPosition.DockParent = ParentDockControl();
  if (TkxContainerDockSite* C = Container()) {
    FStoredPosition.SiblingAfter = C->Children(I + 1);
    FStoredPosition.SiblingBefore = I > 0 ? C->Children(I - 1) : nullptr;
    FStoredPosition.DockType = DockType() == C->GetTailDockType() ? C->GetTailDockType() : C->GetHeadDockType();
  } else {
    FStoredPosition.DockType = DockType();
  }
  FStoredPosition.OriginalWidth = OriginalWidth();
  FStoredPosition.OriginalHeight = OriginalHeight();
  if (OnStoreDockPosition) OnStoreDockPosition(this, FStoredPosition);
}

void TkxCustomDockControl::RestoreDockPosition(const TPoint& Point) {
  if (OnRestoreDockPosition) OnRestoreDockPosition(this, FStoredPosition);
  const TkxDockingType T = FStoredPosition.DockType;
  auto Accepts = [&](TkxCustomDockControl* C) {
    if (!C || C->IsDescendantOf(this)) return false;
    const TkxDockingState S = C->GetDockingState();
    return (S == dcsDocked || S == dcsFloating) && C->CanDockHost(this, T);
  };
  TkxCustomDockControl* Target = nullptr;
  if (Accepts(FStoredPosition.DockParent)) Target = FStoredPosition.DockParent;
  else if (Accepts(FStoredPosition.SiblingBefore)) Target = FStoredPosition.SiblingBefore;
  else if (Accepts(FStoredPosition.SiblingAfter)) Target = FStoredPosition.SiblingAfter;
  if (!Target) return;
  FOriginalHeight = FStoredPosition.OriginalHeight;
  FOriginalWidth = FStoredPosition.OriginalWidth;
  FireStartDocking(Point);
  DockTo(Target, T, FStoredPosition.DockIndex);
  FireEndDocking(FDockingZone, Point);
  FStoredPosition.DockParent = FStoredPosition.SiblingAfter = FStoredPosition.SiblingBefore = nullptr;
}

void TkxCustomDockControl::FireStartDocking(const TPoint& P) {
  if (OnStartDocking) OnStartDocking(this, P.x, P.y);
}

void TkxCustomDockControl::FireEndDocking(TkxZone* Zone, const TPoint& P) {
  if (OnEndDocking) OnEndDocking(this, Zone, P.x, P.y);
}

void TkxCustomDockControl::UpdateCaption() {
  if (TkxContainerDockSite* C = Container()) C->UpdateCaption();
  else if (TkxFloatDockSite* F = FloatDockSite()) F->UpdateCaption();
}

void TkxCustomDockControl::DoMaximize() {
  TkxSideContainerDockSite* S = SideContainer();
  if (!S) return;
  const int I = SideContainerIndex();
  if (S->ActiveChild() && S->ActiveChild()->DockIndex() == I) S->SetActiveChild(nullptr);
  else S->SetActiveChild(S->Children(I));
}

// ---- zones ----

void kxFreeZones(TkxZoneList& Zones) {
  if (Zones.empty()) return;
  kxForgetZones(Zones);
  TkxZoneList Old;
  Old.swap(Zones);
  for (TkxZone* Z : Old) delete Z;
}

void TkxCustomDockControl::UpdateDockZones() {
  if (IsDestroying()) return;
  kxFreeZones(FDockZones);
  const int L = DockLevel();
  const int Base = DockZonesWidth();
  int W = Base;
  for (TkxCustomDockControl* H = this; H; H = H->ParentDockControl()) {
    H->CreateDockZones(this, W);
    W -= Base / std::max(1, L);
  }
  if (OnUpdateDockZones) OnUpdateDockZones(this, FDockZones);
  Controller()->DoUpdateDockZones(this);
  const std::vector<TkxCustomDockControl*> Kids = FChildren;
  for (TkxCustomDockControl* C : Kids) C->UpdateDockZones();
}

TkxZone* TkxCustomDockControl::GetDockZoneAtPos(TkxCustomDockControl* AControl, const TPoint& P) {
  if (!AControl->Dockable()) return nullptr;
  for (TkxZone* Z : FDockZones)
    if (Z->IsZonePoint(P) && Z->CanDock(AControl)) return Z;
  return nullptr;
}

void TkxCustomDockControl::UpdateResizeZones() {
  if (IsDestroying()) return;
  kxFreeZones(FResizeZones);
  TkxCustomDockControl* Host = AutoHideControl();
  if (!Host) Host = AutoSizeHostSite();
  if (!Host) Host = SideContainer();
  if (!Host) Host = TabContainer();
  if (!Host) Host = this;
  Host->CreateResizeZones(this);
  if (OnUpdateResizeZones) OnUpdateResizeZones(this, FResizeZones);
  Controller()->DoUpdateResizeZones(this);
  const std::vector<TkxCustomDockControl*> Kids = FChildren;
  for (TkxCustomDockControl* C : Kids) C->UpdateResizeZones();
}

void TkxCustomDockControl::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  auto Add = [&](TkxZone* Z) { AControl->FDockZones.insert(AControl->FDockZones.begin(), Z); };
  if (TkxLeftZone::ValidateDockZone(this, AControl)) Add(new TkxLeftZone(this, AWidth));
  if (TkxRightZone::ValidateDockZone(this, AControl)) Add(new TkxRightZone(this, AWidth));
  if (TkxTopZone::ValidateDockZone(this, AControl)) Add(new TkxTopZone(this, AWidth));
  if (TkxBottomZone::ValidateDockZone(this, AControl)) Add(new TkxBottomZone(this, AWidth));
}

void TkxCustomDockControl::CreateResizeZones(TkxCustomDockControl* AControl) {
  const int W = ResizeZonesWidth();
  auto Add = [&](TkxZone* Z) { AControl->FResizeZones.insert(AControl->FResizeZones.begin(), Z); };
  if (AControl->AutoHide() && dynamic_cast<TkxDockSite*>(AControl->TopMostDockControl())) {
    if (TkxAutoHideRightZone::ValidateResizeZone(this)) Add(new TkxAutoHideRightZone(this, W));
    if (TkxAutoHideLeftZone::ValidateResizeZone(this)) Add(new TkxAutoHideLeftZone(this, W));
    if (TkxAutoHideBottomZone::ValidateResizeZone(this)) Add(new TkxAutoHideBottomZone(this, W));
    if (TkxAutoHideTopZone::ValidateResizeZone(this)) Add(new TkxAutoHideTopZone(this, W));
  } else {
    if (TkxRightZone::ValidateResizeZone(this)) Add(new TkxRightZone(this, W));
    if (TkxLeftZone::ValidateResizeZone(this)) Add(new TkxLeftZone(this, W));
    if (TkxBottomZone::ValidateResizeZone(this)) Add(new TkxBottomZone(this, W));
    if (TkxTopZone::ValidateResizeZone(this)) Add(new TkxTopZone(this, W));
  }
}

TkxZone* TkxCustomDockControl::GetResizeZoneAtPos(const TPoint& P) {
  if (!CanResizeAtPos(ScreenToClient(P))) return nullptr;
  for (TkxZone* Z : FResizeZones)
    if (Z->IsZonePoint(P)) return Z;
  if (TkxCustomDockControl* Parent = ParentDockControl()) return Parent->GetResizeZoneAtPos(P);
  return nullptr;
}
