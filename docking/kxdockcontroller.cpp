// The docking controller: registry of dock controls and managers, settings
// lookup, the active dock control and the focus hook, deferred non-client
// work, deferred release, lookups under the pointer and float-form visibility.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpainters.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxwinutils.h"

namespace {
TkxDockingController* gController = nullptr;

template <class T>
void AddOnce(std::vector<T*>& V, T* X) {
  if (std::find(V.begin(), V.end(), X) == V.end()) V.push_back(X);
}
template <class T>
void RemoveAll(std::vector<T*>& V, const T* X) {
  V.erase(std::remove(V.begin(), V.end(), X), V.end());
}
}  // namespace

TkxDockingController* GetDockingController() {
  if (!gController) gController = new TkxDockingController();
  return gController;
}

// Frees the controller (the docking library's shutdown).
void kxFreeDockingController() {
  TkxDockingController* C = gController;
  gController = nullptr;
  delete C;
}

// The palette notifier of the controller: a system colour change drops every
// painter, as the controller's window does on WM_SYSCOLORCHANGE.
namespace {
std::unique_ptr<TuxSystemPaletteChangedNotifier> gPaletteNotifier;
}

TkxDockingController::TkxDockingController() {
  FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  FDefaultFont = std::make_unique<TFont>();
  FSelectionBrush = std::make_unique<TBrush>();
  FSelectionBrush->SetBitmap(AllocPatternBitmap(clBlack, clWhite));
  FHook = SetWindowsHookExA(WH_CALLWNDPROC, &TkxDockingController::HookProc, nullptr, GetCurrentThreadId());
  TkxDockControlPainter::Class()->CreateColors();
  gPaletteNotifier = std::make_unique<TuxSystemPaletteChangedNotifier>(false);
  gPaletteNotifier->OnPaletteChanged = [] {
    if (gController) gController->ViewChanged(nullptr, true);
  };
}

TkxDockingController::~TkxDockingController() {
  gPaletteNotifier.reset();
  TkxDockControlPainter::Class()->ReleaseColors();
  if (FHook) UnhookWindowsHookEx(FHook);
  FHook = nullptr;
  FSelectionBrush.reset();
  if (FHandle) DeallocateHWnd(FHandle);
  FHandle = nullptr;
  ReleaseTempBitmap();
}

// ---- registry ----

void TkxDockingController::RegisterDockControl(TkxCustomDockControl* AControl) { FDockControls.push_back(AControl); }

void TkxDockingController::UnregisterDockControl(TkxCustomDockControl* AControl) {
  RemoveAll(FDockControls, AControl);
  RemoveAll(FReleasedControls, AControl);
  RemoveAll(FRedrawSuspendedControls, AControl);
  RemoveAll(FInvalidNCControls, AControl);
  RemoveAll(FInvalidLayoutControls, AControl);
  if (FActivatingDockControl == AControl) FActivatingDockControl = nullptr;
  if (FDraggingControl == AControl) FDraggingControl = nullptr;
  if (FResizingControl == AControl) FResizingControl = nullptr;
  if (FActiveDockControl == AControl) FActiveDockControl = nullptr;
  if (FCalculatingControl == AControl) FCalculatingControl = nullptr;
  // No other control keeps a reference to the one that goes.
  for (TkxCustomDockControl* C : FDockControls) {
    auto& Kids = C->FChildren;
    Kids.erase(std::remove(Kids.begin(), Kids.end(), AControl), Kids.end());
    if (C->FParentDockControl == AControl) C->FParentDockControl = nullptr;
    if (auto* Box = dynamic_cast<TkxContainerDockSite*>(C); Box && Box->FActiveChild == AControl)
      Box->FActiveChild = nullptr;
    if (auto* Site = dynamic_cast<TkxDockSite*>(C)) {
      for (int i = 0; i < Site->HideBarCount(); ++i) {
        auto& L = Site->HideBars(i)->FDockControls;
        L.erase(std::remove(L.begin(), L.end(), AControl), L.end());
      }
      if (Site->FShowingControl == AControl) Site->FShowingControl = nullptr;
      if (Site->FMovingControl == AControl) {
        Site->FMovingControl = nullptr;
        Site->FMovingHideBar = nullptr;
      }
      if (Site->FHotControl == AControl) Site->FHotControl = nullptr;
    }
    TkxDockPosition& S = C->FStoredPosition;
    if (S.DockParent == AControl) S.DockParent = nullptr;
    if (S.SiblingAfter == AControl) S.SiblingAfter = nullptr;
    if (S.SiblingBefore == AControl) S.SiblingBefore = nullptr;
  }
}

int TkxDockingController::IndexOfDockControl(const TkxCustomDockControl* AControl) const {
  auto It = std::find(FDockControls.begin(), FDockControls.end(), AControl);
  return It == FDockControls.end() ? -1 : int(It - FDockControls.begin());
}

void TkxDockingController::ReleaseDockControl(TkxCustomDockControl* AControl) {
  AddOnce(FReleasedControls, AControl);
  if (FHandle) PostMessageA(FHandle, DM_RELEASECONTROLS, 0, 0);
}

bool TkxDockingController::IsReleased(const TkxCustomDockControl* AControl) const {
  return std::find(FReleasedControls.begin(), FReleasedControls.end(), AControl) != FReleasedControls.end();
}

void TkxDockingController::DestroyControls() {
  while (!FReleasedControls.empty()) {
    TkxCustomDockControl* C = FReleasedControls.back();
    FReleasedControls.pop_back();
    if (!C->ComponentState().Contains(csDestroying)) C->Free();
  }
}

void TkxDockingController::AddPendingLayoutForm(TkxCustomDockControl* AControl) {
  if (TCustomForm* F = AControl->ParentForm()) AddOnce(FPendingLayoutForms, F);
}

void TkxDockingController::RemovePendingLayoutForm(TCustomForm* AForm) { RemoveAll(FPendingLayoutForms, AForm); }

void TkxDockingController::CheckPendingLayoutForm(TCustomForm* AForm) {
  if (std::find(FPendingLayoutForms.begin(), FPendingLayoutForms.end(), AForm) == FPendingLayoutForms.end()) return;
  RemovePendingLayoutForm(AForm);
  UpdateLayouts(AForm);
}

// ---- managers and settings ----

TkxDockingManager* TkxDockingController::FindManager(TCustomForm* AForm) {
  for (TkxDockingManager* M : FDockManagers)
    if (M->ParentForm() == AForm) return M;
  return nullptr;
}

TkxDockingManager* TkxDockingController::GetManager(TCustomForm* AForm) {
  if (TkxDockingManager* M = FindManager(AForm)) return M;
  return FDockManagers.empty() ? nullptr : FDockManagers.front();
}

void TkxDockingController::RegisterManager(TkxDockingManager* AManager) {
  TkxDockingManager* M = FindManager(AManager->ParentForm());
  if (M == AManager) return;
  if (M) kxDockingError(kxsSecondManager);
  FDockManagers.push_back(AManager);
  UpdateManagerSettings(AManager->ParentForm());
}

void TkxDockingController::UnregisterManager(TkxDockingManager* AManager) {
  if (std::find(FDockManagers.begin(), FDockManagers.end(), AManager) == FDockManagers.end()) return;
  RemoveAll(FDockManagers, AManager);
  UpdateManagerSettings(nullptr);
}

int TkxDockingController::GetAutoHideInterval(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->AutoHideInterval() : 500;
}
int TkxDockingController::GetAutoHideMovingInterval(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->AutoHideMovingInterval() : 1;
}
int TkxDockingController::GetAutoHideMovingSize(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->AutoHideMovingSize() : 20;
}
int TkxDockingController::GetAutoShowInterval(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->AutoShowInterval() : 300;
}
TColor TkxDockingController::GetColor(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->Color() : clBtnFace;
}
int TkxDockingController::GetDockZonesWidth(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->DockZonesWidth() : 20;
}
TFont* TkxDockingController::GetFont(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->Font() : FDefaultFont.get();
}
TCustomImageList* TkxDockingController::GetImages(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->Images() : nullptr;
}
TkxDockingOptions TkxDockingController::GetOptions(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->Options() : kxDefaultDockingOptions;
}
int TkxDockingController::GetResizeZonesWidth(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->ResizeZonesWidth() : 3;
}
int TkxDockingController::GetSelectionFrameWidth(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->SelectionFrameWidth() : 4;
}
int TkxDockingController::GetTabsScrollInterval(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->TabsScrollInterval() : 300;
}

TPersistent* TkxDockingController::DefaultLayoutSiteProperties(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M && M->UseDefaultSitesProperties() ? M->DefaultLayoutSiteProperties() : nullptr;
}
TPersistent* TkxDockingController::DefaultFloatSiteProperties(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M && M->UseDefaultSitesProperties() ? M->DefaultFloatSiteProperties() : nullptr;
}
TPersistent* TkxDockingController::DefaultHorizContainerSiteProperties(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M && M->UseDefaultSitesProperties() ? M->DefaultHorizContainerSiteProperties() : nullptr;
}
TPersistent* TkxDockingController::DefaultVertContainerSiteProperties(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M && M->UseDefaultSitesProperties() ? M->DefaultVertContainerSiteProperties() : nullptr;
}
TPersistent* TkxDockingController::DefaultTabContainerSiteProperties(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M && M->UseDefaultSitesProperties() ? M->DefaultTabContainerSiteProperties() : nullptr;
}

TkxDockControlPainterClass TkxDockingController::GetPainterClass(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  return M ? M->GetPainterClass() : TkxDockControlPainter::Class();
}

// ---- relays ----

void TkxDockingController::DoActiveDockControlChanged(TkxCustomDockControl* AControl, bool CallEvent) {
  if (!CallEvent || !AControl) return;
  TkxDockingManager* M = GetManager(AControl->ParentForm());
  if (M && M->OnActiveDockControlChanged) M->OnActiveDockControlChanged(M);
}

void TkxDockingController::DoCreateFloatSite(TkxCustomDockControl* C, TkxFloatDockSite* S) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnCreateFloatSite) M->OnCreateFloatSite(C, S);
}
void TkxDockingController::DoCreateLayoutSite(TkxCustomDockControl* C, TkxLayoutDockSite* S) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnCreateLayoutSite) M->OnCreateLayoutSite(C, S);
}
void TkxDockingController::DoCreateSideContainerSite(TkxCustomDockControl* C, TkxSideContainerDockSite* S) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnCreateSideContainer) M->OnCreateSideContainer(C, S);
}
void TkxDockingController::DoCreateTabContainerSite(TkxCustomDockControl* C, TkxTabContainerDockSite* S) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnCreateTabContainer) M->OnCreateTabContainer(C, S);
}
void TkxDockingController::DoSetFloatFormCaption(TkxCustomDockControl* S, TkxFloatForm* F) {
  TkxDockingManager* M = GetManager(S->ParentForm());
  if (M && M->OnSetFloatFormCaption) M->OnSetFloatFormCaption(S, F);
}
void TkxDockingController::DoUpdateDockZones(TkxCustomDockControl* C) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnUpdateDockZones) M->OnUpdateDockZones(C, C->DockZoneList());
}
void TkxDockingController::DoUpdateResizeZones(TkxCustomDockControl* C) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnUpdateResizeZones) M->OnUpdateResizeZones(C, C->ResizeZoneList());
}
void TkxDockingController::DoControlLayoutChanged(TkxCustomDockControl* C) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  if (M && M->OnLayoutChanged) M->OnLayoutChanged(C);
}
void TkxDockingController::DoLayoutChanged(TCustomForm* F) {
  TkxDockingManager* M = GetManager(F);
  if (M && M->OnLayoutChanged) M->OnLayoutChanged(nullptr);
}

bool TkxDockingController::DoCustomDrawDockingSelection(TkxCustomDockControl* C, HDC DC, TkxZone* Zone,
                                                        const TRect& R, bool Erasing) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  bool Handled = false;
  if (M && M->OnCustomDrawDockingSelection) M->OnCustomDrawDockingSelection(C, DC, Zone, R, Erasing, Handled);
  return Handled;
}

bool TkxDockingController::DoCustomDrawResizingSelection(TkxCustomDockControl* C, HDC DC, TkxZone* Zone,
                                                         const TPoint& P, bool Erasing) {
  TkxDockingManager* M = GetManager(C->ParentForm());
  bool Handled = false;
  if (M && M->OnCustomDrawResizingSelection)
    M->OnCustomDrawResizingSelection(C, DC, Zone, Zone->GetResizingSelection(P), Erasing, Handled);
  return Handled;
}

// ---- propagation of manager changes ----

bool TkxDockingController::IsParentForm(TkxCustomDockControl* AControl, TCustomForm* AForm) {
  if (!AForm) return true;
  TkxDockingManager* M = GetManager(AForm);
  if (!M || !M->ParentForm()) return true;
  return AControl->ParentForm() == M->ParentForm();
}

void TkxDockingController::UpdateManagerSettings(TCustomForm* AForm) {
  TkxNCLock Lock;
  const bool Saved = FApplyingManagerSettings;
  FApplyingManagerSettings = true;
  try {
    UpdateManagerColors(AForm);
    UpdateManagerImages(AForm);
    UpdateManagerFonts(AForm);
    UpdateManagerOptions(AForm);
    ViewChanged(AForm, false);
  } catch (...) {
    FApplyingManagerSettings = Saved;
    throw;
  }
  FApplyingManagerSettings = Saved;
}

void TkxDockingController::UpdateManagerColors(TCustomForm* AForm) {
  {
    TkxNCLock Lock;
    for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls))
      if (IsParentForm(C, AForm) && C->ManagerColor()) C->SetManagerColor(true);
  }
  InvalidateControls(AForm, false);
}

void TkxDockingController::UpdateManagerFonts(TCustomForm* AForm) {
  {
    TkxNCLock Lock;
    for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls))
      if (IsParentForm(C, AForm) && !C->IsDestroying() && C->ManagerFont()) C->SetManagerFont(true);
  }
  CalculateControls(AForm);
}

void TkxDockingController::UpdateManagerImages(TCustomForm* AForm) { CalculateControls(AForm); }

void TkxDockingController::UpdateManagerOptions(TCustomForm* AForm) {
  SetFloatFormsOnTop(nullptr, GetOptions(AForm).Contains(doFloatingOnTop));
  UpdateLayouts(AForm);
  CalculateControls(AForm);
}

void TkxDockingController::UpdateZonesWidth(TCustomForm* AForm) { UpdateLayouts(AForm); }

void TkxDockingController::ViewChanged(TCustomForm* AForm, bool ResetManagerDefaults) {
  TkxNCLock Lock;
  std::vector<TkxDockingManager*> Managers;
  if (AForm) {
    if (TkxDockingManager* M = GetManager(AForm)) Managers.push_back(M);
  } else {
    Managers = FDockManagers;
  }
  for (TkxDockingManager* M : Managers) M->ReleasePainterClass();
  for (TkxCustomDockControl* C : FDockControls)
    if (IsParentForm(C, AForm)) C->ReleasePainter();
  for (TkxDockingManager* M : Managers) M->InitializePainterClass(ResetManagerDefaults);
  CalculateControls(AForm);
}

void TkxDockingController::UpdateLayouts(TCustomForm* AForm) {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls))
    if (IndexOfDockControl(C) >= 0 && IsParentForm(C, AForm) && !C->IsDestroying() && !C->LayoutLocked())
      C->UpdateLayout();
}

void TkxDockingController::CalculateControls(TCustomForm* AForm) {
  TkxNCLock Lock;
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls))
    if (IsParentForm(C, AForm)) C->InvalidateNC();
}

void TkxDockingController::InvalidateControls(TCustomForm* AForm, bool Recalculate) {
  TkxNCLock Lock;
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls))
    if (IsParentForm(C, AForm)) C->RedrawNC(Recalculate);
}

// ---- locking ----

void TkxDockingController::BeginUpdateNC() {
  if (FCalculatingControl) return;
  ++FLockCount;
}

void TkxDockingController::EndUpdateNC() {
  if (FCalculatingControl || FLockCount == 0) return;
  if (--FLockCount == 0) ApplyDeferredUpdates();
}

bool TkxDockingController::CanUpdateNC(TkxCustomDockControl* AControl) {
  if (FLockCount == 0 && !FCalculatingControl) return true;
  AddOnce(FInvalidNCControls, AControl);
  return false;
}

bool TkxDockingController::CanCalculateNC(TkxCustomDockControl* AControl) {
  if (FLockCount == 0) return true;
  if (AControl->HandleAllocated() &&
      std::find(FRedrawSuspendedControls.begin(), FRedrawSuspendedControls.end(), AControl) ==
          FRedrawSuspendedControls.end()) {
    SendMessageA(AControl->Handle(), WM_SETREDRAW, 0, 0);
    FRedrawSuspendedControls.push_back(AControl);
  }
  AddOnce(FInvalidLayoutControls, AControl);
  AddOnce(FInvalidNCControls, AControl);
  return false;
}

void TkxDockingController::SortForUpdate(std::vector<TkxCustomDockControl*>& List) {
  std::stable_sort(List.begin(), List.end(), [](TkxCustomDockControl* A, TkxCustomDockControl* B) {
    int R = A->DockLevel() - B->DockLevel();
    if (R == 0) R = A->DockIndex() - B->DockIndex();
    if (B->AutoHide() && !A->AutoHide()) R = -1;
    else if (A->AutoHide() && !B->AutoHide()) R = 1;
    return R < 0;
  });
}

void TkxDockingController::ApplyDeferredUpdates() {
  if (FCalculatingControl) return;
  while (!FInvalidLayoutControls.empty()) {
    SortForUpdate(FInvalidLayoutControls);
    TkxCustomDockControl* C = FInvalidLayoutControls.front();
    FCalculatingControl = C;
    try {
      C->NCChanged(false);
    } catch (...) {
      FCalculatingControl = nullptr;
      RemoveAll(FInvalidLayoutControls, C);
      throw;
    }
    FCalculatingControl = nullptr;
    RemoveAll(FInvalidLayoutControls, C);
  }
  SortForUpdate(FInvalidNCControls);
  const std::vector<TkxCustomDockControl*> NC = FInvalidNCControls;
  const std::vector<TkxCustomDockControl*> Suspended = FRedrawSuspendedControls;
  FInvalidNCControls.clear();
  FRedrawSuspendedControls.clear();
  for (TkxCustomDockControl* C : NC) {
    if (IndexOfDockControl(C) < 0 || !C->Visible()) continue;
    if (std::find(Suspended.begin(), Suspended.end(), C) == Suspended.end()) {
      C->RedrawNC(false);
      continue;
    }
    if (!C->HandleAllocated()) continue;
    SendMessageA(C->Handle(), WM_SETREDRAW, 1, 0);
    RedrawWindow(C->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (dynamic_cast<TkxDockSite*>(C) && C->Parent() && C->Parent()->HandleAllocated())
      RedrawWindow(C->Parent()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  // Controls whose redraw was switched off but that are hidden get it back too.
  for (TkxCustomDockControl* C : Suspended)
    if (IndexOfDockControl(C) >= 0 && C->HandleAllocated() && !C->Visible())
      SendMessageA(C->Handle(), WM_SETREDRAW, 1, 0);
}

// ---- activation ----

void TkxDockingController::SetActiveDockControl(TkxCustomDockControl* AControl) {
  if (AControl == FActiveDockControl || FActivationSuspended > 0) return;
  ++FActivationDepth;
  try {
    TkxCustomDockControl* Old = FActiveDockControl;
    if (AControl) {
      TkxCustomDockControl* P = AControl->ParentDockControl();
      if (P && !dynamic_cast<TkxDockSite*>(P)) SetActiveDockControl(P);
    }
    if (!AControl || AControl->CanActive()) {
      FActiveDockControl = AControl;
      const bool CallEvent = FActivationDepth == 1;
      if (Old && IndexOfDockControl(Old) >= 0) Old->DoActiveChanged(false, CallEvent);
      if (AControl && FActiveDockControl == AControl) AControl->DoActiveChanged(true, CallEvent);
      if (Old != AControl) DoActiveDockControlChanged(AControl, CallEvent);
    }
    FActivatingDockControl = nullptr;
  } catch (...) {
    --FActivationDepth;
    throw;
  }
  --FActivationDepth;
}

void TkxDockingController::RedrawActiveCaption() {
  if (!FActiveDockControl) return;
  FActiveDockControl->RedrawCaption();
  if (TkxContainerDockSite* C = FActiveDockControl->Container()) C->RedrawCaption();
}

bool TkxDockingController::IsDockControlFocusedEx(TkxCustomDockControl* AControl) {
  if (!AControl->HandleAllocated()) return false;
  HWND Own = AControl->Handle();
  for (HWND H = GetFocus(); H; H = GetParent(H))
    if (H == Own) return true;
  return false;
}

// ---- the hook ----

LRESULT TkxDockingController::HookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT R = CallNextHookEx(gController ? gController->FHook : nullptr, Code, WParam, LParam);
  if (gController && Code >= 0 && LParam) gController->HookMessage(*reinterpret_cast<const CWPSTRUCT*>(LParam));
  return R;
}

void TkxDockingController::HookMessage(const CWPSTRUCT& Msg) {
  const bool AppActive = Application && Application->Active();
  switch (Msg.message) {
    case WM_SETFOCUS:
      if (FActivationDepth == 0 && AppActive) {
        TkxCustomDockControl* C = GetDockControlForWindow(Msg.hwnd);
        if (C && C->HandleAllocated() && C != FActivatingDockControl) SetActiveDockControl(C);
      }
      break;
    case WM_KILLFOCUS:
      if (FActivationDepth == 0 && AppActive) {
        TkxCustomDockControl* C = GetDockControlForWindow(Msg.hwnd);
        if (C && C == FActiveDockControl && C != FActivatingDockControl &&
            GetDockControlForWindow(reinterpret_cast<HWND>(Msg.wParam)) != C)
          SetActiveDockControl(nullptr);
      }
      break;
    case WM_ACTIVATEAPP: {
      auto* F = dynamic_cast<TCustomForm*>(FindControl(Msg.hwnd));
      if (F && !dynamic_cast<TkxFloatForm*>(F) && F->ComponentState().Contains(csDesigning)) {
        if (Msg.wParam) ShowFloatForms(nullptr);
        else HideFloatForms(nullptr);
      }
      if (!Msg.wParam) {
        FinishDocking();
        FinishResizing();
      }
      RedrawActiveCaption();
      break;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* F = dynamic_cast<TCustomForm*>(FindControl(Msg.hwnd));
      const auto* WP = reinterpret_cast<const WINDOWPOS*>(Msg.lParam);
      if (F && WP && !dynamic_cast<TkxFloatForm*>(F)) {
        if (WP->flags & SWP_HIDEWINDOW) HideFloatForms(F);
        if (WP->flags & SWP_SHOWWINDOW) {
          ShowFloatForms(F);
          CheckPendingLayoutForm(F);
        }
      }
      break;
    }
    default: break;
  }
}

// ---- lookups under the pointer ----

TkxCustomDockControl* TkxDockingController::GetDockControlAtPos(const TPoint& P) {
  for (HWND H = WindowFromPoint(P); H; H = GetParent(H))
    if (auto* C = dynamic_cast<TkxCustomDockControl*>(FindControl(H))) return C;
  return nullptr;
}

TkxFloatDockSite* TkxDockingController::GetFloatDockSiteAtPos(const TPoint& P) {
  auto* F = dynamic_cast<TkxFloatForm*>(FindVCLWindow(P));
  if (!F || !F->HandleAllocated()) {
    // The caption lies outside every control's client area: the window at the point decides.
    HWND H = WindowFromPoint(P);
    F = dynamic_cast<TkxFloatForm*>(FindControl(H));
    if (!F) return nullptr;
  }
  if (SendMessageA(F->Handle(), WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)) != HTCAPTION) return nullptr;
  return F->DockSite();
}

TkxDockSite* TkxDockingController::GetNearestDockSiteAtPos(const TPoint& P) {
  for (TkxCustomDockControl* C : FDockControls) {
    auto* S = dynamic_cast<TkxDockSite*>(C);
    if (!S || !S->AutoSize()) continue;
    const int Z = GetDockZonesWidth(S->ParentForm());
    const TRect R = kxControlScreenRect(S);
    TRect Strip;
    switch (S->Align()) {
      case alTop:
        if (S->Height() > Z) continue;
        Strip = kxRect(R.left, R.top, R.right, R.top + Z);
        break;
      case alBottom:
        if (S->Height() > Z) continue;
        Strip = kxRect(R.left, R.bottom - Z, R.right, R.bottom);
        break;
      case alLeft:
        if (S->Width() > Z) continue;
        Strip = kxRect(R.left, R.top, R.left + Z, R.bottom);
        break;
      case alRight:
        if (S->Width() > Z) continue;
        Strip = kxRect(R.right - Z, R.top, R.right, R.bottom);
        break;
      default: continue;
    }
    if (kxPtInRect(Strip, P)) return S;
  }
  return nullptr;
}

TkxCustomDockControl* TkxDockingController::GetDockControlForWindow(HWND Wnd) {
  for (HWND H = Wnd; H; H = GetParent(H)) {
    if (DockingOwnerWindowHook) H = DockingOwnerWindowHook(H);
    if (!H) return nullptr;
    TWinControl* W = FindControl(H);
    if (auto* C = dynamic_cast<TkxCustomDockControl*>(W)) return C;
    if (auto* F = dynamic_cast<TkxFloatForm*>(W)) return F->DockSite() ? F->DockSite()->GetActivateTarget() : nullptr;
  }
  return nullptr;
}

void TkxDockingController::FinishDocking() {
  if (FDraggingControl) FDraggingControl->EndDocking(TPoint(0, 0), true);
}

void TkxDockingController::FinishResizing() {
  if (FResizingControl) FResizingControl->EndResize(TPoint(0, 0), true);
}

// ---- float forms ----

bool TkxDockingController::IsFloatSiteOfForm(TCustomForm* AForm, TkxFloatDockSite* ASite) {
  if (!AForm || AForm == ASite->ParentForm()) return true;
  TCustomForm* F = ASite->ParentForm();
  return AForm->FormStyle() == fsMDIForm && F && F->FormStyle() == fsMDIChild;
}

void TkxDockingController::HideFloatForms(TCustomForm* AForm) {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls)) {
    auto* S = dynamic_cast<TkxFloatDockSite*>(C);
    if (!S || !IsFloatSiteOfForm(AForm, S) || !S->FloatForm()) continue;
    TkxFloatForm* F = S->FloatForm();
    if (S->IsDesigning()) {
      if (F->HandleAllocated()) ShowWindow(F->Handle(), SW_HIDE);
    } else if (F->HandleAllocated()) {
      PostMessageA(F->Handle(), DM_HIDEFLOATFORM, 0, 0);
    }
  }
}

void TkxDockingController::ShowFloatForms(TCustomForm* AForm) {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls)) {
    auto* S = dynamic_cast<TkxFloatDockSite*>(C);
    if (!S || !S->Visible() || !IsFloatSiteOfForm(AForm, S) || !S->FloatForm()) continue;
    TkxFloatForm* F = S->FloatForm();
    if (S->IsDesigning()) {
      if (F->HandleAllocated()) ShowWindow(F->Handle(), SW_SHOW);
    } else {
      F->Perform(DM_SHOWFLOATFORM, 0, 0);
    }
  }
}

void TkxDockingController::SetFloatFormsOnTop(TCustomForm* AForm, bool OnTop) {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FDockControls)) {
    auto* S = dynamic_cast<TkxFloatDockSite*>(C);
    if (!S || S->IsDesigning() || S->IsDestroying() || !S->FloatForm()) continue;
    if (AForm && S->ParentForm() != AForm) continue;
    if (S->FloatForm()->OnTopOfOwner() == OnTop) continue;
    if (OnTop) S->FloatForm()->EnableOnTop();
    else S->FloatForm()->DisableOnTop();
  }
}

// ---- the hidden window ----

void TkxDockingController::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) ViewChanged(nullptr, true);
  else if (Message.Msg == DM_RELEASECONTROLS) DestroyControls();
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- the shared off-screen bitmap ----

void TkxDockingController::CreateTempBitmap(const TRect& R) {
  try {
    if (!FTempBitmap) FTempBitmap = std::make_unique<TBitmap>();
    int W = FTempBitmap->Width(), H = FTempBitmap->Height();
    if (W < R.right - R.left) W = R.right - R.left + 100;
    if (H < R.bottom - R.top) H = R.bottom - R.top + 100;
    if (W != FTempBitmap->Width() || H != FTempBitmap->Height()) FTempBitmap->SetSize(W, H);
  } catch (const EOutOfResources&) {
    ReleaseTempBitmap();
  }
}

void TkxDockingController::ReleaseTempBitmap() { FTempBitmap.reset(); }
