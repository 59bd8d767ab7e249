// Auto-hide: the bars at the edges of a form-edge dock site, the windows that
// carry a control slid out of a bar, and the site's timers and slide animation.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"

// ---- the container of a slid-out control ----

TkxDockSiteAutoHideContainer::TkxDockSiteAutoHideContainer(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FControlStyle = {csNoDesignVisible};
}

void TkxDockSiteAutoHideContainer::CMControlListChange(TMessage& Message) {
  if (Message.LParam && ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
    auto* C = reinterpret_cast<TControl*>(Message.WParam);
    if (C && kxDockingContainsDockSite(C)) kxDockingError(kxsDockSiteParent);
  }
  TWinControl::Dispatch(Message);
}

// ---- hide bars ----

bool TkxDockSiteHideBar::Contains(TkxCustomDockControl* AControl) const {
  return std::find(FDockControls.begin(), FDockControls.end(), AControl) != FDockControls.end();
}

void TkxDockSiteHideBar::AddDockControl(TkxCustomDockControl* AControl) {
  FDockControls.push_back(AControl);
  CreateAutoHideContainer(AControl);
  if (FDockControls.size() == 1) FOwner->NCChanged(true);
}

void TkxDockSiteHideBar::RemoveDockControl(TkxCustomDockControl* AControl) {
  DestroyAutoHideContainer(AControl);
  FDockControls.erase(std::remove(FDockControls.begin(), FDockControls.end(), AControl), FDockControls.end());
  if (FDockControls.empty()) FOwner->NCChanged(true);
}

void TkxDockSiteHideBar::CreateAutoHideContainer(TkxCustomDockControl* AControl) {
  auto* C = NewObject<TkxDockSiteAutoHideContainer>(FOwner);
  C->SetAnchors(GetContainerAnchors());
  C->SetParent(FOwner->Parent());
  C->BringToFront();
  TkxLayoutLock Lock(AControl);
  AControl->SetAlign(GetControlAlign());
  AControl->SetParent(C);
  AControl->SetVisibleSilently(false);
  AControl->AssignOriginalSize(AControl);
}

void TkxDockSiteHideBar::DestroyAutoHideContainer(TkxCustomDockControl* AControl) {
  TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer();
  if (!C) return;
  {
    TkxLayoutLock Lock(AControl);
    if (C->HandleAllocated()) SendMessageA(C->Handle(), WM_SETREDRAW, 0, 0);
    AControl->SetVisibleSilently(true);
    AControl->SetParentDockControl(AControl->ParentDockControl());
    // The container frees its child windows: the control must have left it.
    if (AControl->Parent() == C) AControl->SetParent(AControl->ParentDockControl());
    AControl->SetDockType(AControl->DockType());
    AControl->AssignOriginalSize(AControl);
  }
  delete C;
}

TRect TkxDockSiteHideBar::AutoHideArea() {
  TPoint O = FOwner->ClientOrigin();
  TPoint PO = FOwner->Parent() ? FOwner->Parent()->ClientOrigin() : TPoint(0, 0);
  return kxRect(O.x - PO.x, O.y - PO.y, O.x - PO.x + FOwner->ClientWidth(), O.y - PO.y + FOwner->ClientHeight());
}

TkxDockSiteAutoHideContainer* TkxDockSiteHideBar::MovingContainer() {
  TkxCustomDockControl* M = FOwner->MovingControl();
  return M ? M->AutoHideContainer() : nullptr;
}

int TkxDockSiteHideBar::ButtonLength(TkxCustomDockControl* AControl, int ImageExtent, int DefaultImageExtent) {
  TkxDockControlPainter* P = FOwner->Painter();
  const int S = P->HideBarButtonSpacing();
  TCanvas* Cv = FOwner->Canvas();
  Cv->SetFont(FOwner->Font());
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(AControl)) {
    int Widest = 0, Count = 0;
    for (int i = 0; i < T->ChildCount(); ++i)
      if (T->IsValidChild(T->Children(i))) {
        Widest = std::max(Widest, kxTextWidth(Cv, T->Children(i)->Caption()));
        ++Count;
      }
    return 2 * S + Widest + (2 * S + DefaultImageExtent) * Count;
  }
  int L = S + kxTextWidth(Cv, AControl->Caption()) + S;
  return ImageExtent == 0 ? L + S : L + 2 * S + ImageExtent;
}

TkxCustomDockControl* TkxDockSiteHideBar::GetControlAtPos(const TPoint& P, TkxCustomDockControl*& ASubControl) {
  ASubControl = nullptr;
  for (std::size_t i = 0; i < FDockControls.size() && i < FButtonRects.size(); ++i)
    if (kxPtInRect(FButtonRects[i], P)) {
      if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(FDockControls[i]))
        ASubControl = GetTabContainerChildAtPos(P, T);
      return FDockControls[i];
    }
  return nullptr;
}

TkxCustomDockControl* TkxDockSiteHideBar::TabChildAtPos(int Pos, int Start, int End,
                                                        TkxTabContainerDockSite* T, int Cell) {
  TkxCustomDockControl* Active = T->ActiveChild();
  const int A = Active ? Active->DockIndex() : -1;
  int From = Start;
  for (int i = 0; i < A; ++i)
    if (T->IsValidChild(T->Children(i))) {
      if (Pos >= From && Pos < From + Cell) return T->Children(i);
      From += Cell;
    }
  int To = End;
  for (int i = T->ChildCount() - 1; i > A; --i)
    if (T->IsValidChild(T->Children(i))) {
      if (Pos >= To - Cell && Pos < To) return T->Children(i);
      To -= Cell;
    }
  return Active;
}

// ---- left and right bars ----

void TkxDockSiteLeftHideBar::Calculate(TRect& R) {
  const bool Has = !FDockControls.empty();
  FBounds = kxRect(R.left, R.top, R.left + (Has ? FOwner->Painter()->HideBarWidth() : 0), R.bottom);
  FButtonRects.assign(FDockControls.size(), TRect());
  if (Has) CalculateButtons(R);
}

void TkxDockSiteRightHideBar::Calculate(TRect& R) {
  const bool Has = !FDockControls.empty();
  FBounds = kxRect(R.right - (Has ? FOwner->Painter()->HideBarWidth() : 0), R.top, R.right, R.bottom);
  FButtonRects.assign(FDockControls.size(), TRect());
  if (Has) CalculateButtons(R);
}

void TkxDockSiteLeftHideBar::CalculateButtons(const TRect&) {
  TkxDockControlPainter* P = FOwner->Painter();
  const int S = P->HideBarButtonSpacing(), I = P->HideBarButtonIndent();
  int Pos = FBounds.top + S;
  if (TkxDockSiteHideBar* Top = FOwner->GetHideBarByPosition(ahpTop); Top && Top->Visible()) Pos += P->HideBarHeight();
  for (std::size_t i = 0; i < FDockControls.size(); ++i) {
    const int L = GetButtonLength(FDockControls[i]);
    FButtonRects[i] = kxRect(FBounds.left + I, Pos, FBounds.right - I, Pos + L);
    Pos += L + S;
  }
}

int TkxDockSiteLeftHideBar::GetButtonLength(TkxCustomDockControl* AControl) {
  TkxDockControlPainter* P = FOwner->Painter();
  return ButtonLength(AControl, P->GetImageHeight(), P->GetDefaultImageHeight());
}

bool TkxDockSiteLeftHideBar::IsContainerCollapsed() {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  return !C || C->Width() < 1;
}

bool TkxDockSiteLeftHideBar::IsContainerExpanded() {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  return !C || C->Width() >= FOwner->MovingControl()->OriginalWidth();
}

void TkxDockSiteLeftHideBar::ExpandContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.top, AControl->OriginalWidth(), A.bottom - A.top);
  }
}

void TkxDockSiteLeftHideBar::CollapseContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.top, 0, A.bottom - A.top);
  }
}

void TkxDockSiteLeftHideBar::ResizeContainer(int ADelta) {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  TkxCustomDockControl* M = FOwner->MovingControl();
  if (!C || !M) return;
  if (ADelta > 0 && C->Width() + ADelta > M->OriginalWidth()) ExpandContainer(M);
  else if (ADelta < 0 && C->Width() + ADelta < 0) CollapseContainer(M);
  else C->SetBounds(C->Left(), C->Top(), C->Width() + ADelta, C->Height());
}

void TkxDockSiteRightHideBar::ExpandContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.right - AControl->OriginalWidth(), A.top, AControl->OriginalWidth(), A.bottom - A.top);
  }
}

void TkxDockSiteRightHideBar::CollapseContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.right, A.top, 0, A.bottom - A.top);
  }
}

void TkxDockSiteRightHideBar::ResizeContainer(int ADelta) {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  TkxCustomDockControl* M = FOwner->MovingControl();
  if (!C || !M) return;
  if (ADelta > 0 && C->Width() + ADelta > M->OriginalWidth()) ExpandContainer(M);
  else if (ADelta < 0 && C->Width() + ADelta < 0) CollapseContainer(M);
  else C->SetBounds(C->Left() - ADelta, C->Top(), C->Width() + ADelta, C->Height());
}

void TkxDockSiteLeftHideBar::UpdateOwnerAutoSize(TkxCustomDockControl* AControl) {
  int Extent = 0;
  if (FOwner->HasAutoHideControls()) Extent = FOwner->Painter()->HideBarWidth();
  if (AControl->Visible() && !AControl->AutoHide()) Extent = AControl->OriginalWidth();
  FOwner->SetAutoSizeBounds(Extent, AControl->OriginalHeight());
}

TkxCustomDockControl* TkxDockSiteLeftHideBar::GetTabContainerChildAtPos(const TPoint& P,
                                                                         TkxTabContainerDockSite* T) {
  for (std::size_t i = 0; i < FDockControls.size() && i < FButtonRects.size(); ++i)
    if (FDockControls[i] == T) {
      TkxDockControlPainter* Pn = FOwner->Painter();
      const int Cell = 2 * Pn->HideBarButtonSpacing() + Pn->GetDefaultImageHeight();
      return TabChildAtPos(P.y, FButtonRects[i].top, FButtonRects[i].bottom, T, Cell);
    }
  return nullptr;
}

// ---- top and bottom bars ----

void TkxDockSiteTopHideBar::Calculate(TRect& R) {
  const bool Has = !FDockControls.empty();
  FBounds = kxRect(R.left, R.top, R.right, R.top + (Has ? FOwner->Painter()->HideBarHeight() : 0));
  FButtonRects.assign(FDockControls.size(), TRect());
  if (Has) CalculateButtons(R);
}

void TkxDockSiteBottomHideBar::Calculate(TRect& R) {
  const bool Has = !FDockControls.empty();
  FBounds = kxRect(R.left, R.bottom - (Has ? FOwner->Painter()->HideBarHeight() : 0), R.right, R.bottom);
  FButtonRects.assign(FDockControls.size(), TRect());
  if (Has) CalculateButtons(R);
}

void TkxDockSiteTopHideBar::CalculateButtons(const TRect&) {
  TkxDockControlPainter* P = FOwner->Painter();
  const int S = P->HideBarButtonSpacing(), I = P->HideBarButtonIndent();
  int Pos = FBounds.left + S;
  if (TkxDockSiteHideBar* L = FOwner->GetHideBarByPosition(ahpLeft); L && L->Visible()) Pos += P->HideBarWidth();
  for (std::size_t i = 0; i < FDockControls.size(); ++i) {
    const int Len = GetButtonLength(FDockControls[i]);
    FButtonRects[i] = kxRect(Pos, FBounds.top + I, Pos + Len, FBounds.bottom - I);
    Pos += Len + S;
  }
}

int TkxDockSiteTopHideBar::GetButtonLength(TkxCustomDockControl* AControl) {
  TkxDockControlPainter* P = FOwner->Painter();
  return ButtonLength(AControl, P->GetImageWidth(), P->GetDefaultImageWidth());
}

bool TkxDockSiteTopHideBar::IsContainerCollapsed() {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  return !C || C->Height() < 1;
}

bool TkxDockSiteTopHideBar::IsContainerExpanded() {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  return !C || C->Height() >= FOwner->MovingControl()->OriginalHeight();
}

void TkxDockSiteTopHideBar::ExpandContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.top, A.right - A.left, AControl->OriginalHeight());
  }
}

void TkxDockSiteTopHideBar::CollapseContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.top, A.right - A.left, 0);
  }
}

void TkxDockSiteTopHideBar::ResizeContainer(int ADelta) {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  TkxCustomDockControl* M = FOwner->MovingControl();
  if (!C || !M) return;
  if (ADelta > 0 && C->Height() + ADelta > M->OriginalHeight()) ExpandContainer(M);
  else if (ADelta < 0 && C->Height() + ADelta < 0) CollapseContainer(M);
  else C->SetBounds(C->Left(), C->Top(), C->Width(), C->Height() + ADelta);
}

void TkxDockSiteBottomHideBar::ExpandContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.bottom - AControl->OriginalHeight(), A.right - A.left, AControl->OriginalHeight());
  }
}

void TkxDockSiteBottomHideBar::CollapseContainer(TkxCustomDockControl* AControl) {
  if (TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer()) {
    const TRect A = AutoHideArea();
    C->SetBounds(A.left, A.bottom, A.right - A.left, 0);
  }
}

void TkxDockSiteBottomHideBar::ResizeContainer(int ADelta) {
  TkxDockSiteAutoHideContainer* C = MovingContainer();
  TkxCustomDockControl* M = FOwner->MovingControl();
  if (!C || !M) return;
  if (ADelta > 0 && C->Height() + ADelta > M->OriginalHeight()) ExpandContainer(M);
  else if (ADelta < 0 && C->Height() + ADelta < 0) CollapseContainer(M);
  else C->SetBounds(C->Left(), C->Top() - ADelta, C->Width(), C->Height() + ADelta);
}

void TkxDockSiteTopHideBar::UpdateOwnerAutoSize(TkxCustomDockControl* AControl) {
  int Extent = 0;
  if (FOwner->HasAutoHideControls()) Extent = FOwner->Painter()->HideBarHeight();
  if (AControl->Visible() && !AControl->AutoHide()) Extent = AControl->OriginalHeight();
  FOwner->SetAutoSizeBounds(AControl->OriginalWidth(), Extent);
}

TkxCustomDockControl* TkxDockSiteTopHideBar::GetTabContainerChildAtPos(const TPoint& P, TkxTabContainerDockSite* T) {
  for (std::size_t i = 0; i < FDockControls.size() && i < FButtonRects.size(); ++i)
    if (FDockControls[i] == T) {
      TkxDockControlPainter* Pn = FOwner->Painter();
      const int Cell = 2 * Pn->HideBarButtonSpacing() + Pn->GetDefaultImageWidth();
      return TabChildAtPos(P.x, FButtonRects[i].left, FButtonRects[i].right, T, Cell);
    }
  return nullptr;
}

// ---- the site's side ----

TkxDockSiteHideBar* TkxDockSite::GetHideBarByControl(TkxCustomDockControl* AControl) {
  for (auto& B : FHideBars)
    if (B->Contains(AControl)) return B.get();
  return nullptr;
}

TkxDockSiteHideBar* TkxDockSite::GetHideBarByPosition(TkxAutoHidePosition APosition) {
  for (auto& B : FHideBars)
    if (B->GetPosition() == APosition) return B.get();
  return nullptr;
}

TkxAutoHidePosition TkxDockSite::GetAutoHidePositionOf(TkxCustomDockControl* AControl) {
  TkxDockSiteHideBar* B = GetHideBarByControl(AControl);
  return B ? B->GetPosition() : ahpLeft;
}

bool TkxDockSite::HasAutoHideControls() {
  for (auto& B : FHideBars)
    if (B->Visible()) return true;
  return false;
}

TkxDockSiteHideBar* TkxDockSite::GetHideBarAtPos(const TPoint& ClientPoint) {
  const TPoint W = ClientToWindow(ClientPoint);
  for (auto& B : FHideBars)
    if (B->Visible() && kxPtInRect(B->Bounds(), W)) return B.get();
  return nullptr;
}

TkxCustomDockControl* TkxDockSite::GetHideBarControlAtPos(const TPoint& ClientPoint,
                                                          TkxCustomDockControl*& ASubControl) {
  ASubControl = nullptr;
  const TPoint W = ClientToWindow(ClientPoint);
  for (auto& B : FHideBars)
    if (TkxCustomDockControl* C = B->GetControlAtPos(W, ASubControl)) return C;
  return nullptr;
}

void TkxDockSite::CalculateNC(TRect& Rect) {
  TkxCustomDockSite::CalculateNC(Rect);
  for (auto& B : FHideBars) B->Calculate(Rect);
  TkxDockSiteHideBar* L = GetHideBarByPosition(ahpLeft);
  TkxDockSiteHideBar* R = GetHideBarByPosition(ahpRight);
  TkxDockSiteHideBar* T = GetHideBarByPosition(ahpTop);
  TkxDockSiteHideBar* Bt = GetHideBarByPosition(ahpBottom);
  Rect.left += L->Bounds().right - L->Bounds().left;
  Rect.right -= R->Bounds().right - R->Bounds().left;
  Rect.top += T->Bounds().bottom - T->Bounds().top;
  Rect.bottom -= Bt->Bounds().bottom - Bt->Bounds().top;
}

void TkxDockSite::NCPaint(TCanvas* ACanvas) {
  TkxCustomDockSite::NCPaint(ACanvas);
  TkxDockControlPainter* P = Painter();
  for (auto& B : FHideBars) {
    if (!B->Visible()) continue;
    P->DrawHideBar(ACanvas, B->Bounds(), B->GetPosition());
    for (std::size_t i = 0; i < B->DockControls().size() && i < B->ButtonRects().size(); ++i)
      P->DrawHideBarButton(ACanvas, B->DockControls()[i], B->ButtonRects()[i], B->GetPosition());
  }
}

void TkxDockSite::RegisterAutoHideControl(TkxCustomDockControl* AControl, TkxAutoHidePosition APosition) {
  NCChanged(false);
  HideImmediately(false);
  if (APosition < ahpLeft || APosition > ahpBottom) APosition = ahpLeft;
  TkxDockSiteHideBar* Bar = GetHideBarByPosition(APosition);
  AControl->SetAutoHidePosition(APosition);
  FMovingControl = AControl;
  FMovingHideBar = Bar;
  try {
    Bar->AddDockControl(AControl);
  } catch (...) {
    FMovingControl = nullptr;
    FMovingHideBar = nullptr;
    throw;
  }
  FMovingControl = nullptr;
  FMovingHideBar = nullptr;
  if (Controller()->ActiveDockControl() == AControl) Controller()->SetActiveDockControl(nullptr);
}

void TkxDockSite::UnregisterAutoHideControl(TkxCustomDockControl* AControl) {
  NCChanged(false);
  HideImmediately(true);
  TkxDockSiteHideBar* Bar = GetHideBarByControl(AControl);
  if (Bar) {
    FMovingControl = AControl;
    FMovingHideBar = Bar;
    try {
      if (!AControl->AutoHideContainer()) kxDockingAssert(kxsAutoHideError, AnsiString());
      Bar->RemoveDockControl(AControl);
    } catch (...) {
      FMovingControl = nullptr;
      FMovingHideBar = nullptr;
      throw;
    }
    FMovingControl = nullptr;
    FMovingHideBar = nullptr;
  }
  AControl->SetAutoHidePosition(ahpUndefined);
}

void TkxDockSite::KillTimerId(UINT_PTR Id) {
  bool* Flag = Id == kxMovingTimerID ? &FMovingTimer : Id == kxAutoHideTimerID ? &FAutoHideTimer : &FAutoShowTimer;
  if (*Flag && HandleAllocated()) KillTimer(Handle(), Id);
  *Flag = false;
}

void TkxDockSite::TimerProc(HWND Wnd, UINT, UINT_PTR Id, DWORD) {
  auto* S = dynamic_cast<TkxDockSite*>(FindControl(Wnd));
  if (!S) {
    if (Id != kxMovingTimerID) KillTimer(Wnd, Id);
    return;
  }
  switch (Id) {
    case kxMovingTimerID:
      if (!S->FMovingControl) S->KillTimerId(kxMovingTimerID);
      else if (S->FMovingControl == S->FShowingControl) S->AnimateHideStep();
      else S->AnimateShowStep();
      break;
    case kxAutoHideTimerID:
      if (S->FShowingControl) S->CheckAutoHide();
      else S->KillTimerId(kxAutoHideTimerID);
      break;
    case kxAutoShowTimerID: S->AutoShowTimerElapsed(); break;
    default: break;
  }
}

void TkxDockSite::SetShowingControl(TkxCustomDockControl* AControl) {
  if (AControl) {
    if (AControl == FShowingControl || FMovingControl) return;
    HideImmediately(false);
    TkxDockSiteHideBar* Bar = GetHideBarByControl(AControl);
    if (!Bar) return;
    FMovingHideBar = Bar;
    FMovingControl = AControl;
    TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer();
    if (!C) kxDockingAssert(kxsAutoHideError, AnsiString());
    Bar->CollapseContainer(AControl);
    C->SetVisible(true);
    AControl->SetVisibleSilently(true);
    C->BringToFront();
    DoShowControl(AControl);
    AnimateShowStep();
  } else {
    if (FMovingControl || !FShowingControl) return;
    TkxDockSiteHideBar* Bar = GetHideBarByControl(FShowingControl);
    if (!Bar) return;
    FMovingHideBar = Bar;
    FMovingControl = FShowingControl;
    if (!FShowingControl->AutoHideContainer()) kxDockingAssert(kxsAutoHideError, AnsiString());
    AnimateHideStep();
  }
}

void TkxDockSite::AnimateShowStep() {
  if (!FMovingHideBar || !FMovingControl) return;
  FMovingHideBar->ResizeContainer(AutoHideMovingSize());
  if (FMovingHideBar->IsContainerExpanded()) {
    KillTimerId(kxMovingTimerID);
    FMovingHideBar = nullptr;
    FShowingControl = FMovingControl;
    FMovingControl = nullptr;
    StartAutoHideTimer();
  } else if (!FMovingTimer && HandleAllocated()) {
    SetTimer(Handle(), kxMovingTimerID, UINT(std::max(1, AutoHideMovingInterval())), &TkxDockSite::TimerProc);
    FMovingTimer = true;
  }
}

void TkxDockSite::AnimateHideStep() {
  if (!FMovingHideBar || !FMovingControl) return;
  FMovingHideBar->ResizeContainer(-AutoHideMovingSize());
  if (FMovingHideBar->IsContainerCollapsed()) {
    TkxCustomDockControl* M = FMovingControl;
    DoHideControl(M);
    KillTimerId(kxMovingTimerID);
    TkxDockSiteAutoHideContainer* C = M->AutoHideContainer();
    if (!C) kxDockingAssert(kxsAutoHideError, AnsiString());
    C->SetVisible(false);
    M->SetVisibleSilently(false);
    FMovingHideBar = nullptr;
    FMovingControl = nullptr;
    FShowingControl = nullptr;
    CheckAutoHide();
  } else if (!FMovingTimer && HandleAllocated()) {
    SetTimer(Handle(), kxMovingTimerID, UINT(std::max(1, AutoHideMovingInterval())), &TkxDockSite::TimerProc);
    FMovingTimer = true;
  }
}

void TkxDockSite::ShowImmediately(TkxCustomDockControl* AControl) {
  if (FMovingControl || AControl == FShowingControl) return;
  HideImmediately(false);
  TkxDockSiteHideBar* Bar = GetHideBarByControl(AControl);
  TkxDockSiteAutoHideContainer* C = AControl->AutoHideContainer();
  if (!Bar || !C) return;
  FShowingControl = AControl;
  Bar->ExpandContainer(AControl);
  C->SetVisible(true);
  AControl->SetVisibleSilently(true);
  C->BringToFront();
  DoShowControl(AControl);
  StartAutoHideTimer();
}

void TkxDockSite::HideImmediately(bool KeepContainer) {
  if (TkxCustomDockControl* S = FShowingControl) {
    DoHideControl(S);
    if (!KeepContainer)
      if (TkxDockSiteAutoHideContainer* C = S->AutoHideContainer()) C->SetVisible(false);
    S->SetVisibleSilently(false);
    TkxCustomDockControl* A = Controller()->ActiveDockControl();
    if (A && A->AutoHideControl() == S && A != Controller()->ActivatingDockControl() &&
        S != Controller()->ActivatingDockControl())
      Controller()->SetActiveDockControl(nullptr);
    FShowingControl = nullptr;
    CheckAutoHide();
  }
  FMovingControl = nullptr;
  FMovingHideBar = nullptr;
  KillTimerId(kxMovingTimerID);
}

void TkxDockSite::UpdateAutoHideContainerBounds(TkxCustomDockControl* AControl) {
  if (TkxDockSiteHideBar* B = GetHideBarByControl(AControl)) B->ExpandContainer(AControl);
}

void TkxDockSite::StartAutoHideTimer() {
  KillTimerId(kxAutoHideTimerID);
  if (IsDestroying() || !FShowingControl || !HandleAllocated()) return;
  SetTimer(Handle(), kxAutoHideTimerID, UINT(std::max(1, AutoHideInterval())), &TkxDockSite::TimerProc);
  FAutoHideTimer = true;
}

void TkxDockSite::StartAutoShowTimer() {
  if (FAutoShowTimer || !HandleAllocated()) return;
  SetTimer(Handle(), kxAutoShowTimerID, UINT(std::max(1, AutoShowInterval())), &TkxDockSite::TimerProc);
  FAutoShowTimer = true;
}

void TkxDockSite::AutoShowTimerElapsed() {
  KillTimerId(kxAutoShowTimerID);
  TPoint P;
  GetCursorPos(&P);
  TkxCustomDockControl* Sub = nullptr;
  TkxCustomDockControl* C = GetHideBarControlAtPos(ScreenToClient(P), Sub);
  if (!FHotControl || C != FHotControl) return;
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(C); T && Sub && Sub != T->ActiveChild()) {
    HideImmediately(false);
    T->SetActiveChild(Sub);
  }
  SetShowingControl(C);
}

void TkxDockSite::CheckAutoHide() {
  TkxDockingController* Ctl = Controller();
  if (Ctl->IsDocking() || Ctl->IsResizing() || FMovingControl) return;
  if (!FShowingControl) {
    KillTimerId(kxAutoHideTimerID);
    return;
  }
  TPoint P;
  GetCursorPos(&P);
  TkxCustomDockControl* C = Ctl->GetDockControlAtPos(P);
  if (C == this && GetHideBarAtPos(ScreenToClient(P))) return;
  if (C && C->AutoHideControl() == FShowingControl) return;
  TkxCustomDockControl* A = Ctl->ActiveDockControl();
  if (!Options().Contains(doHideAutoHideIfActive) && A && A->AutoHideControl() == FShowingControl) return;
  SetShowingControl(nullptr);
}

void TkxDockSite::DoShowControl(TkxCustomDockControl* AControl) {
  if (OnShowControl) OnShowControl(this, AControl);
}

void TkxDockSite::DoHideControl(TkxCustomDockControl* AControl) {
  if (OnHideControl) OnHideControl(this, AControl);
}

void TkxDockSite::WMMouseMove3(TWMMouse& Message) {
  TkxCustomDockSite::Dispatch(Message);
  if (Message.Result) return;
  if (!IsParentFormActive() && !IsDesigning()) return;
  TkxCustomDockControl* Sub = nullptr;
  FHotControl = GetHideBarControlAtPos(Message.Pos(), Sub);
  if (FHotControl) StartAutoShowTimer();
  Message.Result = 1;
}

void TkxDockSite::WMLButtonDown3(TWMMouse& Message) {
  TkxCustomDockControl* Sub = nullptr;
  if (TkxCustomDockControl* C = GetHideBarControlAtPos(Message.Pos(), Sub)) {
    Controller()->SetActiveDockControl(C);
    Controller()->SetActivatingDockControl(C);
    Message.Result = 1;
    return;
  }
  TkxCustomDockSite::Dispatch(Message);
}

void TkxDockSite::CMMouseLeave3(TMessage& Message) {
  TkxCustomDockSite::Dispatch(Message);
  if (FShowingControl) StartAutoHideTimer();
}
