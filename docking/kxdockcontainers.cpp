// Container sites: the common container (active child, valid items,
// dissolving into the last item), the tab container with its tab strip and
// scroll buttons, and the horizontal and vertical side containers.
#include <algorithm>
#include <cstdlib>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpainters.h"


// ===================================================================== container

TkxContainerDockSite::TkxContainerDockSite(TComponent* AOwner) : TkxCustomDockSite(AOwner) {
  FUseDoubleBufferNC = true;
}

void TkxContainerDockSite::Notification(TComponent* AComponent, TOperation Operation) {
  TkxCustomDockSite::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveChild) FActiveChild = nullptr;
}

void TkxContainerDockSite::SetParent(TWinControl* AParent) {
  const bool InOperation =
      LayoutLocked() || IsDestroying() || (AParent && AParent->ComponentState().Contains(csLoading));
  const bool DockParent = !AParent || dynamic_cast<TkxCustomDockControl*>(AParent) ||
                          (AutoHide() && dynamic_cast<TkxDockSiteAutoHideContainer*>(AParent));
  if (!InOperation || !DockParent) kxDockingError(kxsCannotSetParent);
  TkxCustomDockSite::SetParent(AParent);
}

void TkxContainerDockSite::Loaded() {
  TkxCustomDockSite::Loaded();
  if (!FActiveChildIndexPending) {
    FActiveChildIndexPending = true;
    if (HandleAllocated()) SetActiveChildByIndex(FActiveChildIndex);
  }
}

void TkxContainerDockSite::CreateWnd() {
  TkxCustomDockSite::CreateWnd();
  if (FActiveChildIndexPending) {
    FActiveChildIndexPending = false;
    SetActiveChildByIndex(FActiveChildIndex);
  }
}

int TkxContainerDockSite::ActiveChildIndex() {
  if (IsLoading()) return FActiveChildIndex;
  return FActiveChild ? FActiveChild->DockIndex() : -1;
}

void TkxContainerDockSite::SetActiveChildIndex(int Value) {
  FActiveChildIndex = Value;
  if (!IsLoading() && HandleAllocated()) SetActiveChildByIndex(Value);
}

void TkxContainerDockSite::SetActiveChildByIndex(int AIndex) { SetActiveChild(Children(AIndex)); }

void TkxContainerDockSite::SetActiveChild(TkxCustomDockControl* AChild) {
  if (AChild == FActiveChild || (AChild && !CanActivateChild(AChild))) return;
  TkxNCLock Lock;
  if (!IsDesigning() && AChild && FActiveChild && FActiveChild->CanFocusEx()) {
    // Focus the page being left first: a control inside it that will not give
    // up the focus keeps the page.
    TkxDockingController* C = Controller();
    TkxCustomDockControl* Remembered = C->ActiveDockControl();
    C->BeginActivation();
    try {
      FActiveChild->SetFocus();
    } catch (...) {
      C->EndActivation();
      throw;
    }
    C->EndActivation();
    C->RestoreActiveDockControl(Remembered);
    TCustomForm* F = GetParentForm(this);
    if (F && F->ActiveControl() != FActiveChild) return;
  }
  FActiveChild = AChild;
  ActiveChildChanged();
  if (OnActiveChildChanged) OnActiveChildChanged(this, FActiveChild);
}

void TkxContainerDockSite::ActiveChildChanged() {
  ValidateActiveChild(-1);
  UpdateCaption();
}

bool TkxContainerDockSite::CanContainerDockHost(TkxDockingType ADockType) {
  return ADockType == GetHeadDockType() || ADockType == GetTailDockType();
}

void TkxContainerDockSite::BeginAdjustBounds() { DisableAlign(); }
void TkxContainerDockSite::EndAdjustBounds() { EnableAlign(); }

TkxCustomDockControl* TkxContainerDockSite::GetFirstValidChild() { return GetNextValidChild(-1); }

TkxCustomDockControl* TkxContainerDockSite::GetLastValidChild() { return Children(GetLastValidChildIndex()); }

int TkxContainerDockSite::GetLastValidChildIndex() { return GetPrevValidChildIndex(ChildCount()); }

int TkxContainerDockSite::GetNextValidChildIndex(int AIndex) {
  for (int i = std::max(AIndex + 1, 0); i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) return i;
  return -1;
}

TkxCustomDockControl* TkxContainerDockSite::GetNextValidChild(int AIndex) {
  return Children(GetNextValidChildIndex(AIndex));
}

int TkxContainerDockSite::GetPrevValidChildIndex(int AIndex) {
  for (int i = std::min(AIndex, ChildCount()) - 1; i >= 0; --i)
    if (IsValidChild(Children(i))) return i;
  return -1;
}

TkxCustomDockControl* TkxContainerDockSite::GetPrevValidChild(int AIndex) {
  return Children(GetPrevValidChildIndex(AIndex));
}

void TkxContainerDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  if (!CanContainerDockHost(ADockType)) kxDockingAssert(kxsCreateLayoutError, "TkxContainerDockSite");
  AControl->IncludeToDock(this, ADockType, AIndex);
}

void TkxContainerDockSite::DestroyLayout(TkxCustomDockControl* AControl) {
  TkxCustomDockControl* P = ParentDockControl();
  TkxLayoutLock ParentLock(P);
  const int Index = DockIndex();
  AControl->ExcludeFromDock();
  if (ChildCount() == 1) {
    const bool WasAutoHide = AutoHide();
    if (WasAutoHide) SetAutoHide(false);
    TkxContainerDockSite* Outer = Container();
    const bool WasActive = Outer && Outer->ActiveChild() == this;
    TkxCustomDockControl* R = Children(0);
    const TkxDockingType MyType = DockType();
    R->ExcludeFromDock();
    ExcludeFromDock();
    R->SetDockType(dtClient);
    R->AssignOriginalSize(this);
    if (P) R->IncludeToDock(P, MyType, Index);
    if (WasActive && Outer) Outer->SetActiveChild(R);
    if (WasAutoHide) R->SetAutoHide(true);
    DoDestroy();
  } else if (ChildCount() == 0) {
    kxDockingAssert(kxsDestroyLayoutError, ClassName());
  }
}

void TkxContainerDockSite::UpdateLayout() {
  TkxCustomDockSite::UpdateLayout();
  ValidateActiveChild(-1);
}

TkxAutoHidePosition TkxContainerDockSite::GetControlAutoHidePosition(TkxCustomDockControl*) {
  return TkxCustomDockSite::GetControlAutoHidePosition(this);
}

void TkxContainerDockSite::ChildVisibilityChanged(TkxCustomDockControl*) {
  if (Controller()->ApplyingManagerSettings()) return;
  const bool Show = ValidChildCount() > 0 && !(AutoHide() && !Visible());
  SetVisible(Show);
}

// ===================================================================== tab container

TkxTabContainerDockSite::TkxTabContainerDockSite(TComponent* AOwner) : TkxContainerDockSite(AOwner) {}

TkxTabContainerDockSite::~TkxTabContainerDockSite() {
  if (HandleAllocated() && FScrollTimerID) KillTimer(Handle(), kxScrollTimerID);
}

void TkxTabContainerDockSite::Assign(TPersistent* Source) {
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(Source)) {
    SetTabsPosition(T->TabsPosition());
    SetTabsScroll(T->TabsScroll());
  }
  TkxContainerDockSite::Assign(Source);
}

void TkxTabContainerDockSite::SetTabsPosition(TkxTabContainerTabsPosition Value) {
  if (Value == FTabsPosition) return;
  FTabsPosition = Value;
  NCChanged(false);
}

void TkxTabContainerDockSite::SetTabsScroll(bool Value) {
  if (Value == FTabsScroll) return;
  FTabsScroll = Value;
  if (!Value) FFirstVisibleTabIndex = 0;
  RedrawNC(true);
}

TRect TkxTabContainerDockSite::TabRect(int Index) const {
  if (Index < 0 || Index >= int(FTabRects.size())) return TRect();
  return FTabRects[std::size_t(Index)];
}

bool TkxTabContainerDockSite::CanResizeAtPos(const TPoint& ClientPoint) {
  return TkxContainerDockSite::CanResizeAtPos(ClientPoint) && GetTabIndexAtPos(ClientPoint) == -1;
}

void TkxTabContainerDockSite::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  auto Add = [&](TkxZone* Z) { AControl->DockZoneList().insert(AControl->DockZoneList().begin(), Z); };
  const bool CaptionArea = Options().Contains(doUseCaptionAreaToClientDocking);
  if (!CaptionArea && TkxTabContainerZone::ValidateDockZone(this, AControl)) Add(new TkxTabContainerZone(this, 0));
  TkxContainerDockSite::CreateDockZones(AControl, AWidth);
  if (TkxTabContainerTabZone::ValidateDockZone(this, AControl))
    for (int i = 0; i < ChildCount(); ++i)
      if (IsValidChild(Children(i))) Add(new TkxTabContainerTabZone(this, 0, i));
  if (CaptionArea && TkxTabContainerZone::ValidateDockZone(this, AControl))
    Add(new TkxTabContainerCaptionZone(this, 0));
}

void TkxTabContainerDockSite::IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex) {
  if (AParent->CanAcceptTabContainerItems(this) && ChildCount() > 0) {
    TkxLayoutLock Lock(this);
    const int At = AIndex < 0 || AIndex > AParent->ChildCount() ? AParent->ChildCount() : AIndex;
    while (ChildCount() > 0) {
      TkxCustomDockControl* C = Children(ChildCount() - 1);
      C->ExcludeFromDock();
      C->IncludeToDock(AParent, ADockType, At);
    }
    DoDestroy();
    return;
  }
  TkxContainerDockSite::IncludeToDock(AParent, ADockType, AIndex);
}

void TkxTabContainerDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  if (ADockType == dtClient) TkxContainerDockSite::CreateLayout(AControl, ADockType, AIndex);
  else if (Container() && Container()->CanContainerDockHost(ADockType))
    CreateContainerLayout(Container(), AControl, ADockType, DockIndex());
  else if (kxIsSideType(ADockType)) CreateSideContainerLayout(AControl, ADockType, AIndex);
  else kxDockingAssert(kxsCreateLayoutError, "TkxTabContainerDockSite");
}

void TkxTabContainerDockSite::DestroyLayout(TkxCustomDockControl* AControl) {
  const int ActiveIndex = FActiveChild ? FActiveChild->DockIndex() : -1;
  const bool WasActive = AControl == FActiveChild;
  TkxContainerDockSite::DestroyLayout(AControl);
  if (WasActive && ChildCount() > 1) ValidateActiveChild(ActiveIndex);
}

void TkxTabContainerDockSite::UpdateLayout() {
  TkxContainerDockSite::UpdateLayout();
  if (FActiveChild) FActiveChild->BringToFront();
  NCChanged(false);
}

bool TkxTabContainerDockSite::CanAcceptSideContainerItems(TkxSideContainerDockSite*) {
  return !Options().Contains(doSideContainerCanInTabContainer) && !IsLoading();
}

void TkxTabContainerDockSite::ChangeAutoHide() {
  if (AutoHide() || Options().Contains(doTabContainerCanAutoHide)) TkxContainerDockSite::ChangeAutoHide();
  else if (FActiveChild) FActiveChild->ChangeAutoHide();
}

void TkxTabContainerDockSite::UpdateCaption() {
  const AnsiString C = FActiveChild ? FActiveChild->Caption() : AnsiString();
  if (Caption() != C) SetCaption(C);
  TkxContainerDockSite::UpdateCaption();
}

void TkxTabContainerDockSite::ActivateActiveChild() {
  if (FActiveChild) Controller()->SetActiveDockControl(FActiveChild);
}

void TkxTabContainerDockSite::DoClose() {
  if (Options().Contains(doTabContainerCanClose)) {
    TkxLayoutLock Lock(this);
    for (int i = ChildCount() - 1; i >= 0; --i)
      if (TkxCustomDockControl* C = Children(i); C && C->Visible()) C->DoClose();
  } else if (FActiveChild) {
    FActiveChild->DoClose();
    ActivateActiveChild();
  }
  if (AutoHide())
    if (TkxDockSite* S = AutoHideHostSite()) S->InvalidateNC();
}

void TkxTabContainerDockSite::ChildVisibilityChanged(TkxCustomDockControl* AChild) {
  TkxContainerDockSite::ChildVisibilityChanged(AChild);
  if (IsValidChild(AChild)) return;
  const int I = AChild->DockIndex();
  if (AChild == FActiveChild) ValidateActiveChild(I);
  if (I >= FFirstVisibleTabIndex && I <= GetLastVisibleTabIndex()) ScrollTabsBack();
}

bool TkxTabContainerDockSite::HasBorder() {
  if (FloatDockSite()) return false;
  return ValidChildCount() > 1 || AutoHide();
}

bool TkxTabContainerDockSite::HasCaption() {
  return Options().Contains(doTabContainerHasCaption) && ShowCaption() && !FloatDockSite() &&
         (ValidChildCount() > 1 || AutoHide());
}

bool TkxTabContainerDockSite::HasTabs() { return !AutoHide() && ValidChildCount() > 1; }

bool TkxTabContainerDockSite::IsCaptionActive() {
  if (TkxContainerDockSite::IsCaptionActive()) return true;
  TkxCustomDockControl* A = Controller()->ActiveDockControl();
  return Application && Application->Active() && A && A->Container() == this;
}

bool TkxTabContainerDockSite::CanAutoHide() {
  if (IsLoading()) return true;
  TkxCustomDockControl* A = AutoHideControl();
  return AutoHideHostSite() && (!A || A == this);
}

bool TkxTabContainerDockSite::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  if (!TkxContainerDockSite::CanDockHost(AControl, ADockType)) return false;
  if (CanContainerDockHost(ADockType)) return true;
  const TkxDockingOptions O = Options();
  if (auto* S = dynamic_cast<TkxSideContainerDockSite*>(Container()))
    return S->CanContainerDockHost(ADockType) ||
           (O.Contains(doSideContainerCanInSideContainer) && kxIsSideType(ADockType));
  return O.Contains(doTabContainerCanInSideContainer) && kxIsSideType(ADockType);
}

bool TkxTabContainerDockSite::CanMaximize() {
  TkxSideContainerDockSite* S = SideContainer();
  return !AutoHide() && S && S->ValidChildCount() > 1;
}

void TkxTabContainerDockSite::UpdateChildrenEnabled() {
  for (TkxCustomDockControl* C : std::vector<TkxCustomDockControl*>(FChildren)) C->UpdateEnabled();
}

void TkxTabContainerDockSite::ActiveChildChanged() {
  TkxContainerDockSite::ActiveChildChanged();
  if (FActiveChild) FActiveChild->BringToFront();
  if (AutoHideControl() == this)
    if (TkxDockSite* S = AutoHideHostSite()) S->RedrawNC(false);
  RedrawNC(false);
  UpdateChildrenEnabled();
}

void TkxTabContainerDockSite::ValidateActiveChild(int AIndex) {
  TkxCustomDockControl* Result = FActiveChild;
  if (!FActiveChild || !IsValidChild(FActiveChild)) {
    Result = nullptr;
    TkxContainerDockSite* Own = FActiveChild ? FActiveChild->Container() : nullptr;
    if (Own && Own != this && IsValidChild(Own)) {
      Result = Own;
    } else if (AIndex == -1) {
      Result = GetFirstValidChild();
    } else {
      TkxCustomDockControl* C = Children(AIndex);
      if (C && IsValidChild(C)) Result = C;
      else if (TkxCustomDockControl* N = GetNextValidChild(AIndex)) Result = N;
      else Result = GetPrevValidChild(AIndex);
    }
    SetActiveChild(Result);
  }
  MakeActiveTabVisible();
}

// ---- the tab strip ----

int TkxTabContainerDockSite::GetTabWidth(TkxCustomDockControl* AControl) {
  TkxDockControlPainter* P = Painter();
  Canvas()->SetFont(Font());
  int W = kxTextWidth(Canvas(), AControl->Caption()) + 2 * P->TabHorizOffset();
  if (P->GetImageWidth() > 0) W += 2 * P->TabHorizOffset() + P->GetImageWidth();
  return W;
}

void TkxTabContainerDockSite::CalculateNC(TRect& Rect) {
  TkxContainerDockSite::CalculateNC(Rect);
  TkxDockControlPainter* P = Painter();
  const int H = P->TabsHeight(), VO = P->TabVertOffset(), HO = P->TabHorizOffset(), BS = P->TabsScrollButtonSize();
  if (FTabsPosition == tctpBottom) {
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
  FPrevButtonEnabled = FNextButtonEnabled = false;
  if (FTabsScroll) {
    const int Top = FTabsRect.top + VO + (FTabsRect.bottom - (FTabsRect.top + VO + BS)) / 2;
    FNextButtonRect = kxRect(FTabsRect.right - HO - BS, Top, FTabsRect.right - HO, Top + BS);
    FPrevButtonRect = kxRect(FNextButtonRect.left - 1 - BS, Top, FNextButtonRect.left - 1, Top + BS);
  }
  const int Avail = (FTabsRect.right - FTabsRect.left) - 2 * HO;
  int Sum = 0, Valid = 0;
  for (int i = 0; i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) {
      Sum += GetTabWidth(Children(i));
      ++Valid;
    }
  const bool Natural = FTabsScroll || Sum < Avail;
  auto WidthOf = [&](int i) { return Natural ? GetTabWidth(Children(i)) : (Valid ? Avail / Valid : 0); };
  FTabRects.resize(std::size_t(ChildCount()));
  const int Top = FTabsRect.top + VO * (FTabsPosition == tctpBottom ? 2 : 1);
  const int Bottom = FTabsRect.bottom - VO * (FTabsPosition == tctpTop ? 2 : 1);
  const int Start = FTabsRect.left + HO;
  int Pos = Start;
  for (int i = std::min(FFirstVisibleTabIndex, ChildCount()) - 1; i >= 0; --i)
    if (IsValidChild(Children(i))) {
      const int W = WidthOf(i);
      FTabRects[std::size_t(i)] = kxRect(Pos - W, Top, Pos, Bottom);
      Pos -= W;
    }
  Pos = Start;
  for (int i = std::max(FFirstVisibleTabIndex, 0); i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) {
      const int W = WidthOf(i);
      FTabRects[std::size_t(i)] = kxRect(Pos, Top, Pos + W, Bottom);
      Pos += W;
    }
  UpdateScrollButtons();
}

void TkxTabContainerDockSite::UpdateScrollButtons() {
  FPrevButtonEnabled = GetPrevValidChildIndex(FFirstVisibleTabIndex) != -1;
  FNextButtonEnabled = GetNextValidChildIndex(GetLastVisibleTabIndex()) != -1;
}

int TkxTabContainerDockSite::GetLastVisibleTabIndex() {
  if (!HandleAllocated() && FTabRects.empty()) return ValidChildCount();
  if (int(FTabRects.size()) != ChildCount()) RedrawNC(true);
  if (ValidChildCount() <= 1 || FFirstVisibleTabIndex >= int(FTabRects.size())) return FFirstVisibleTabIndex;
  const int HO = Painter()->TabHorizOffset();
  const int Limit = HasScrollButtons() ? FPrevButtonRect.left - HO : FTabsRect.right;
  int i = std::max(FFirstVisibleTabIndex, 0);
  for (; i < int(FTabRects.size()); ++i)
    if (IsValidChild(Children(i)) && FTabRects[std::size_t(i)].right > Limit) break;
  if (i >= int(FTabRects.size())) return int(FTabRects.size()) - 1;
  return i > FFirstVisibleTabIndex ? i - 1 : FFirstVisibleTabIndex;
}

bool TkxTabContainerDockSite::ScrollTabsForward() {
  if (Width() == 0) return false;
  const int N = GetNextValidChildIndex(FFirstVisibleTabIndex);
  if (N == -1) return false;
  FFirstVisibleTabIndex = N;
  RedrawNC(true);
  return true;
}

void TkxTabContainerDockSite::ScrollTabsBack() {
  const int N = GetPrevValidChildIndex(FFirstVisibleTabIndex);
  if (N == -1) return;
  FFirstVisibleTabIndex = N;
  RedrawNC(true);
}

void TkxTabContainerDockSite::MakeActiveTabVisible() {
  if (IsLoading() || !FActiveChild || ValidChildCount() < 2) return;
  const int A = FActiveChild->DockIndex();
  if (A >= FFirstVisibleTabIndex && A <= GetLastVisibleTabIndex()) return;
  NCChanged(true);
  if (A < FFirstVisibleTabIndex) {
    while (A < FFirstVisibleTabIndex) {
      const int Before = FFirstVisibleTabIndex;
      ScrollTabsBack();
      if (FFirstVisibleTabIndex == Before) break;
    }
  } else {
    while (A > GetLastVisibleTabIndex() && ScrollTabsForward()) {
    }
  }
}

int TkxTabContainerDockSite::GetTabIndexAtPos(const TPoint& ClientPoint) {
  if (!HasTabs()) return -1;
  const TPoint W = ClientToWindow(ClientPoint);
  if (HasScrollButtons() && W.x >= FPrevButtonRect.left - Painter()->TabHorizOffset() && kxPtInRect(FTabsRect, W))
    return -1;
  for (int i = 0; i < ChildCount() && i < int(FTabRects.size()); ++i)
    if (IsValidChild(Children(i)) && kxPtInRect(FTabRects[std::size_t(i)], W)) return i;
  return -1;
}

bool TkxTabContainerDockSite::IsTabsPoint(const TPoint& ClientPoint) {
  return HasTabs() && kxPtInRect(FTabsRect, ClientToWindow(ClientPoint));
}

bool TkxTabContainerDockSite::IsNextButtonPoint(const TPoint& ClientPoint) {
  return HasTabs() && HasScrollButtons() && kxPtInRect(FNextButtonRect, ClientToWindow(ClientPoint));
}

bool TkxTabContainerDockSite::IsPrevButtonPoint(const TPoint& ClientPoint) {
  return HasTabs() && HasScrollButtons() && kxPtInRect(FPrevButtonRect, ClientToWindow(ClientPoint));
}

void TkxTabContainerDockSite::NCPaint(TCanvas* ACanvas) {
  TkxContainerDockSite::NCPaint(ACanvas);
  if (!HasTabs() || FTabRects.empty()) return;
  TkxDockControlPainter* P = Painter();
  const TRect ActiveRect = FActiveChild ? TabRect(FActiveChild->DockIndex()) : TRect();
  P->DrawTabs(ACanvas, FTabsRect, ActiveRect, FTabsPosition);
  if (HasScrollButtons()) {
    P->DrawTabsNextButton(ACanvas, FNextButtonRect, FNextButtonPressed, FNextButtonHot, FNextButtonEnabled,
                          FTabsPosition);
    P->DrawTabsPrevButton(ACanvas, FPrevButtonRect, FPrevButtonPressed, FPrevButtonHot, FPrevButtonEnabled,
                          FTabsPosition);
    ExcludeClipRect(ACanvas->Handle(), FPrevButtonRect.left - P->TabHorizOffset(), FTabsRect.top, FTabsRect.right,
                    FTabsRect.bottom);
  }
  for (int i = 0; i < ChildCount() && i < int(FTabRects.size()); ++i) {
    TkxCustomDockControl* C = Children(i);
    const TRect& R = FTabRects[std::size_t(i)];
    if (IsValidChild(C) && kxPtInRect(FTabsRect, TPoint(R.left, R.top)))
      P->DrawTab(ACanvas, C, R, C == FActiveChild, FTabsPosition);
  }
}

// ---- mouse ----

void TkxTabContainerDockSite::WMLButtonDown2(TWMMouse& Message) {
  TkxContainerDockSite::Dispatch(Message);
  if (Message.Result) return;
  const TPoint P = FSourcePoint;
  if (IsNextButtonPoint(P) && FNextButtonEnabled) {
    FNextButtonPressed = true;
    RedrawNC(false);
    StartScrollTimer(true);
    TakeCapture();
    Message.Result = 1;
  } else if (IsPrevButtonPoint(P) && FPrevButtonEnabled) {
    FPrevButtonPressed = true;
    RedrawNC(false);
    StartScrollTimer(false);
    TakeCapture();
    Message.Result = 1;
  } else if (const int A = GetTabIndexAtPos(P); A >= 0) {
    TakeCapture();
    TkxCustomDockControl* C = Children(A);
    SetActiveChild(C);
    if (C == FActiveChild) {
      Controller()->SetActiveDockControl(C);
      FPressedTabIndex = A;
    } else {
      // The page was refused: nothing is pressed, so the capture goes back at once.
      ReleaseTakenCapture();
    }
    Message.Result = 1;
  }
}

void TkxTabContainerDockSite::WMMouseMove2(TWMMouse& Message) {
  TkxContainerDockSite::Dispatch(Message);
  if (Message.Result) return;
  if (!IsFloatFormActive() && !IsParentFormActive() && !IsDesigning()) return;
  const TPoint P = FCursorPoint;
  const bool OverNext = IsNextButtonPoint(P), OverPrev = IsPrevButtonPoint(P);
  if (OverNext != FNextButtonHot) {
    FNextButtonHot = OverNext;
    if (OverNext) FPrevButtonHot = false;
    RedrawNC(false);
    Message.Result = 1;
  }
  if (OverPrev != FPrevButtonHot) {
    FPrevButtonHot = OverPrev;
    if (OverPrev) FNextButtonHot = false;
    RedrawNC(false);
    Message.Result = 1;
  }
  if (FPressedTabIndex >= 0) {
    const bool Moved = P.x != FSourcePoint.x || P.y != FSourcePoint.y;
    const bool Far = std::abs(P.x - FSourcePoint.x) > 3 || std::abs(P.y - FSourcePoint.y) > 3;
    if ((Moved && GetTabIndexAtPos(P) != FPressedTabIndex) || (IsDesigning() && Far)) {
      ReleaseTakenCapture();
      FPressedTabIndex = -1;
      if (FActiveChild) FActiveChild->StartDocking(ClientToScreen(FSourcePoint));
      Message.Result = 1;
    }
  }
}

void TkxTabContainerDockSite::WMLButtonUp2(TWMMouse& Message) {
  TkxContainerDockSite::Dispatch(Message);
  if (Message.Result) return;
  if (FNextButtonPressed) {
    ReleaseTakenCapture();
    NextButtonTimerTick();
    FNextButtonPressed = false;
    StopScrollTimer();
    RedrawNC(false);
    Message.Result = 1;
  } else if (FPrevButtonPressed) {
    ReleaseTakenCapture();
    PrevButtonTimerTick();
    FPrevButtonPressed = false;
    StopScrollTimer();
    RedrawNC(false);
    Message.Result = 1;
  } else if (FPressedTabIndex >= 0) {
    ReleaseTakenCapture();
    FPressedTabIndex = -1;
    Message.Result = 1;
  }
}

void TkxTabContainerDockSite::WMLButtonDblClk2(TWMMouse& Message) {
  TkxContainerDockSite::Dispatch(Message);
  if (Message.Result) return;
  const TPoint P = Message.Pos();
  if (IsDesigning() || !Options().Contains(doDblClickDocking) || AutoHide()) return;
  if (IsNextButtonPoint(P) || IsPrevButtonPoint(P)) return;
  const int A = GetTabIndexAtPos(P);
  TkxCustomDockControl* C = Children(A);
  if (A < 0 || !C || !C->Dockable()) return;
  const TPoint S = ClientToScreen(P);
  FireStartDocking(S);
  C->MakeFloating();
  FireEndDocking(nullptr, S);
  Message.Result = 1;
}

void TkxTabContainerDockSite::CMMouseLeave2(TMessage& Message) {
  TkxContainerDockSite::Dispatch(Message);
  if (FNextButtonHot || FPrevButtonHot) {
    FNextButtonHot = FPrevButtonHot = false;
    RedrawNC(false);
  }
}

void TkxTabContainerDockSite::StartScrollTimer(bool Next) {
  StopScrollTimer();
  if (!HandleAllocated()) return;
  FScrollTimerNext = Next;
  FScrollTimerID = SetTimer(Handle(), kxScrollTimerID, UINT(std::max(1, TabsScrollInterval())),
                            &TkxTabContainerDockSite::ScrollTimerProc);
}

void TkxTabContainerDockSite::StopScrollTimer() {
  if (FScrollTimerID && HandleAllocated()) KillTimer(Handle(), kxScrollTimerID);
  FScrollTimerID = 0;
}

void TkxTabContainerDockSite::ScrollTimerProc(HWND Wnd, UINT, UINT_PTR, DWORD) {
  auto* T = dynamic_cast<TkxTabContainerDockSite*>(FindControl(Wnd));
  if (!T) return;
  if (T->FScrollTimerNext) T->NextButtonTimerTick();
  else T->PrevButtonTimerTick();
}

void TkxTabContainerDockSite::NextButtonTimerTick() {
  if (!FNextButtonPressed) {
    StopScrollTimer();
    return;
  }
  if (IsNextButtonPoint(FCursorPoint)) ScrollTabsForward();
}

void TkxTabContainerDockSite::PrevButtonTimerTick() {
  if (!FPrevButtonPressed) {
    StopScrollTimer();
    return;
  }
  if (IsPrevButtonPoint(FCursorPoint)) ScrollTabsBack();
}

// ===================================================================== side containers

void TkxSideContainerDockSite::BeginAdjustBounds() {
  ++FAdjustLock;
  TkxContainerDockSite::BeginAdjustBounds();
}

void TkxSideContainerDockSite::EndAdjustBounds() {
  try {
    TkxContainerDockSite::EndAdjustBounds();
  } catch (...) {
    --FAdjustLock;
    throw;
  }
  --FAdjustLock;
}

bool TkxSideContainerDockSite::CanActivateChild(TkxCustomDockControl* AChild) {
  return !AChild || IsValidChild(AChild);
}

void TkxSideContainerDockSite::ValidateActiveChild(int) {
  if (!FActiveChild || IsValidChild(FActiveChild)) return;
  TkxContainerDockSite* Own = FActiveChild->Container();
  if (Own && Own != this && IsValidChild(Own)) SetActiveChild(Own);
  else SetActiveChild(nullptr);
}

void TkxSideContainerDockSite::ActiveChildChanged() {
  TkxContainerDockSite::ActiveChildChanged();
  NCChanged(false);
  AdjustChildrenBounds(nullptr);
}

void TkxSideContainerDockSite::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TkxContainerDockSite::SetBounds(ALeft, ATop, AWidth, AHeight);
  AdjustChildrenBounds(nullptr);
}

void TkxSideContainerDockSite::UpdateLayout() {
  TkxContainerDockSite::UpdateLayout();
  AdjustChildrenBounds(nullptr);
}

int TkxSideContainerDockSite::GetFreeSpace() {
  int Sum = 0;
  for (int i = 0; i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) Sum += GetOriginalSize(i);
  return GetClientDimension() - Sum;
}

void TkxSideContainerDockSite::DistributeFreeSpace(int ADelta) {
  for (int i = 0; i < ChildCount() && ADelta != 0; ++i) {
    if (!IsValidChild(Children(i))) continue;
    const int Kept = GetOriginalSize(i), Min = GetMinSize(i);
    if (Kept <= Min) continue;
    if (Kept + ADelta < Min) {
      ADelta += Kept - Min;
      SetOriginalSize(i, Min);
    } else {
      SetOriginalSize(i, Kept + ADelta);
      ADelta = 0;
    }
  }
}

void TkxSideContainerDockSite::AdjustChildrenBounds(TkxCustomDockControl* AControl) {
  if (FAdjustLock > 0 || (LayoutLocked() && !AControl)) return;
  BeginAdjustBounds();
  try {
    std::vector<int> Valid;
    for (int i = 0; i < ChildCount(); ++i)
      if (IsValidChild(Children(i))) Valid.push_back(i);
    if (FActiveChild) {
      const int A = FActiveChild->DockIndex();
      for (int i : Valid)
        if (i < A) {
          Children(i)->SetDockType(GetHeadDockType());
          SetSize(i, GetMinSize(i));
        }
      for (auto It = Valid.rbegin(); It != Valid.rend(); ++It)
        if (*It > A) {
          Children(*It)->SetDockType(GetTailDockType());
          SetSize(*It, GetMinSize(*It));
        }
      if (IsValidChild(FActiveChild)) FActiveChild->SetDockType(dtClient);
    } else if (Valid.size() >= 2) {
      const int N = int(Valid.size());
      const int Share = AControl ? GetFreeSpace() / (N - 1) : GetFreeSpace() / N;
      for (int i : Valid) {
        if (Children(i) == AControl) continue;
        SetOriginalSize(i, GetOriginalSize(i) + Share);
        if (GetOriginalSize(i) < GetMinSize(i)) SetOriginalSize(i, GetMinSize(i));
      }
      DistributeFreeSpace(GetFreeSpace());
      int Prev = -1;
      for (int i : Valid) {
        Children(i)->SetDockType(GetHeadDockType());
        if (Prev >= 0) SetPosition(i, GetPosition(Prev) + GetSize(Prev));
        SetSize(i, GetOriginalSize(i));
        Prev = i;
      }
    } else if (Valid.size() == 1) {
      Children(Valid[0])->SetDockType(dtClient);
    }
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TkxSideContainerDockSite::ChildBoundsChanged(TkxCustomDockControl* AChild, int AWidth, int AHeight) {
  if (!IsValidChild(AChild) || FActiveChild || FAdjustLock != 0) return;
  SetOriginalSize(AChild->DockIndex(), GetDimension(AWidth, AHeight));
  AdjustChildrenBounds(nullptr);
}

bool TkxSideContainerDockSite::CanResizeChild(TkxCustomDockControl* AChild, int ADelta) {
  const int I = AChild->DockIndex();
  const int N = GetNextValidChildIndex(I);
  if (I < 0 || N < 0) return false;
  return GetMinSize(I) < GetOriginalSize(I) + ADelta && GetMinSize(N) < GetOriginalSize(N) - ADelta;
}

void TkxSideContainerDockSite::ResizeChild(TkxCustomDockControl* AChild, int ADelta) {
  const int I = AChild->DockIndex();
  const int N = GetNextValidChildIndex(I);
  if (I < 0 || N < 0) return;
  BeginAdjustBounds();
  try {
    if (FActiveChild) {
      for (int i = 0; i < ChildCount(); ++i) SetOriginalSize(i, GetSize(i));
      SetActiveChild(nullptr);
    }
    SetOriginalSize(I, GetOriginalSize(I) + ADelta);
    SetOriginalSize(N, GetOriginalSize(N) - ADelta);
    if (GetOriginalSize(I) < GetMinSize(I)) {
      SetOriginalSize(N, GetOriginalSize(N) - (GetMinSize(I) - GetOriginalSize(I)));
      SetOriginalSize(I, GetMinSize(I));
    }
    if (GetOriginalSize(N) < GetMinSize(N)) {
      SetOriginalSize(I, GetOriginalSize(I) - (GetMinSize(N) - GetOriginalSize(N)));
      SetOriginalSize(N, GetMinSize(N));
    }
    SetSize(I, GetOriginalSize(I));
    SetSize(N, GetOriginalSize(N));
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TkxSideContainerDockSite::CreateDockZones(TkxCustomDockControl* AControl, int AWidth) {
  if (Options().Contains(doSideContainerCanInSideContainer))
    TkxContainerDockSite::CreateDockZones(AControl, AWidth);
}

void TkxSideContainerDockSite::IncludeToDock(TkxCustomDockControl* AParent, TkxDockingType ADockType, int AIndex) {
  if (AParent->CanAcceptSideContainerItems(this) && ChildCount() > 0) {
    TkxLayoutLock Lock(this);
    const int At = AIndex < 0 || AIndex > AParent->ChildCount() ? AParent->ChildCount() : AIndex;
    auto* Side = dynamic_cast<TkxSideContainerDockSite*>(AParent);
    while (ChildCount() > 0) {
      TkxCustomDockControl* C = Children(ChildCount() - 1);
      C->ExcludeFromDock();
      C->IncludeToDock(AParent, ADockType, At);
      if (Side) Side->AdjustChildrenBounds(C);
    }
    DoDestroy();
    return;
  }
  TkxContainerDockSite::IncludeToDock(AParent, ADockType, AIndex);
}

void TkxSideContainerDockSite::CreateLayout(TkxCustomDockControl* AControl, TkxDockingType ADockType, int AIndex) {
  if (CanContainerDockHost(ADockType)) {
    AControl->IncludeToDock(this, ADockType, AIndex);
    AdjustChildrenBounds(AControl);
  } else if (Container() && Container()->CanContainerDockHost(ADockType)) {
    CreateContainerLayout(Container(), AControl, ADockType, DockIndex());
  } else if (ADockType == dtClient) {
    CreateTabContainerLayout(AControl, AIndex);
  } else if (kxIsSideType(ADockType)) {
    CreateSideContainerLayout(AControl, ADockType, AIndex);
  } else {
    kxDockingAssert(kxsCreateLayoutError, "TkxTabContainerDockSite");
  }
}

bool TkxSideContainerDockSite::CanAcceptSideContainerItems(TkxSideContainerDockSite* ASideContainer) {
  if (Options().Contains(doSideContainerCanInSideContainer) || IsLoading())
    return ASideContainer && ASideContainer->ClassType() == ClassType();
  return true;
}

bool TkxSideContainerDockSite::CanAcceptTabContainerItems(TkxTabContainerDockSite*) {
  return !Options().Contains(doTabContainerCanInSideContainer) && !IsLoading();
}

void TkxSideContainerDockSite::ChangeAutoHide() {
  if (AutoHide() || Options().Contains(doSideContainerCanAutoHide)) {
    TkxContainerDockSite::ChangeAutoHide();
    return;
  }
  if (TkxCustomDockControl* C = FActiveChild ? FActiveChild : GetFirstValidChild()) C->ChangeAutoHide();
}

void TkxSideContainerDockSite::UpdateCaption() {
  AnsiString C;
  bool First = true;
  for (int i = 0; i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) {
      if (!First) C += ", ";
      C += Children(i)->Caption();
      First = false;
    }
  if (Caption() != C) SetCaption(C);
  TkxContainerDockSite::UpdateCaption();
}

void TkxSideContainerDockSite::DoClose() {
  if (Options().Contains(doSideContainerCanClose)) {
    TkxContainerDockSite::DoClose();
    return;
  }
  if (TkxCustomDockControl* C = FActiveChild ? FActiveChild : GetFirstValidChild()) C->DoClose();
}

void TkxSideContainerDockSite::ChildVisibilityChanged(TkxCustomDockControl* AChild) {
  TkxContainerDockSite::ChildVisibilityChanged(AChild);
  if (IsValidChild(AChild)) AdjustChildrenBounds(AChild);
  else if (AChild == FActiveChild) ValidateActiveChild(AChild->DockIndex());
  NCChanged(false);
}

bool TkxSideContainerDockSite::HasBorder() {
  return Options().Contains(doSideContainerHasCaption) && ShowCaption() && !FloatDockSite() && ValidChildCount() > 1;
}

bool TkxSideContainerDockSite::HasCaption() {
  return Options().Contains(doSideContainerHasCaption) && ShowCaption() && !FloatDockSite() &&
         (ValidChildCount() > 1 || AutoHide());
}

bool TkxSideContainerDockSite::CanAutoHide() {
  if (IsLoading()) return true;
  TkxCustomDockControl* A = AutoHideControl();
  return AutoHideHostSite() && (!A || A == this);
}

bool TkxSideContainerDockSite::CanDockHost(TkxCustomDockControl* AControl, TkxDockingType ADockType) {
  if (!TkxContainerDockSite::CanDockHost(AControl, ADockType)) return false;
  const TkxDockingOptions O = Options();
  return CanContainerDockHost(ADockType) || (O.Contains(doSideContainerCanInSideContainer) && kxIsSideType(ADockType)) ||
         (O.Contains(doSideContainerCanInTabContainer) && ADockType == dtClient);
}

bool TkxSideContainerDockSite::CanMaximize() {
  TkxSideContainerDockSite* S = SideContainer();
  return !AutoHide() && S && S->ValidChildCount() > 1;
}

// ---- horizontal and vertical ----

int TkxHorizContainerDockSite::GetClientDimension() {
  if (HandleAllocated() && ClientWidth() > 0) return ClientWidth();
  return Width();
}
int TkxHorizContainerDockSite::GetMinSize(int I) { return Children(I)->GetMinimizedWidth(); }
int TkxHorizContainerDockSite::GetOriginalSize(int I) { return Children(I)->OriginalWidth(); }
int TkxHorizContainerDockSite::GetSize(int I) { return Children(I)->Width(); }
int TkxHorizContainerDockSite::GetPosition(int I) { return Children(I)->Left(); }
void TkxHorizContainerDockSite::SetOriginalSize(int I, int Value) {
  TkxCustomDockControl* C = Children(I);
  C->SetOriginalWidth(Value);
  if (dynamic_cast<TkxTabContainerDockSite*>(C))
    for (int k = 0; k < C->ChildCount(); ++k) C->Children(k)->SetOriginalWidth(Value);
}
void TkxHorizContainerDockSite::SetSize(int I, int Value) { Children(I)->SetWidth(Value); }
void TkxHorizContainerDockSite::SetPosition(int I, int Value) { Children(I)->SetLeft(Value); }

int TkxVertContainerDockSite::GetClientDimension() {
  if (HandleAllocated() && ClientHeight() > 0) return ClientHeight();
  return Height();
}
int TkxVertContainerDockSite::GetMinSize(int I) { return Children(I)->GetMinimizedHeight(); }
int TkxVertContainerDockSite::GetOriginalSize(int I) { return Children(I)->OriginalHeight(); }
int TkxVertContainerDockSite::GetSize(int I) { return Children(I)->Height(); }
int TkxVertContainerDockSite::GetPosition(int I) { return Children(I)->Top(); }
void TkxVertContainerDockSite::SetOriginalSize(int I, int Value) {
  TkxCustomDockControl* C = Children(I);
  C->SetOriginalHeight(Value);
  if (dynamic_cast<TkxTabContainerDockSite*>(C))
    for (int k = 0; k < C->ChildCount(); ++k) C->Children(k)->SetOriginalHeight(Value);
}
void TkxVertContainerDockSite::SetSize(int I, int Value) { Children(I)->SetHeight(Value); }
void TkxVertContainerDockSite::SetPosition(int I, int Value) { Children(I)->SetTop(Value); }

namespace {
void AddSplitterZone(TkxSideContainerDockSite* Self, TkxCustomDockControl* AControl, bool Horizontal) {
  TkxCustomDockControl* Item = AControl->SideContainerItem();
  if (!Item || AControl->SideContainer() != Self) return;
  if (!Self->GetNextValidChild(AControl->SideContainerIndex())) return;
  const int W = Self->ResizeZonesWidth();
  TkxZone* Z = Horizontal ? static_cast<TkxZone*>(new TkxHorizContainerZone(Item, W))
                          : static_cast<TkxZone*>(new TkxVertContainerZone(Item, W));
  AControl->ResizeZoneList().insert(AControl->ResizeZoneList().begin(), Z);
}

void SideOriginalSize(TkxSideContainerDockSite* Self, TkxCustomDockControl* AControl, bool Horizontal) {
  const TkxDockingType T = Self->DockType();
  const bool Across = Horizontal ? (T == dtTop || T == dtBottom) : (T == dtLeft || T == dtRight);
  if (AControl == Self || Across) {
    Self->TkxContainerDockSite::UpdateControlOriginalSize(AControl);
  } else if (T == dtClient && Self->FloatDockSite()) {
    if (Horizontal) AControl->SetOriginalHeight(Self->FloatDockSite()->Height());
    else AControl->SetOriginalWidth(Self->FloatDockSite()->Width());
  }
}
}  // namespace

void TkxHorizContainerDockSite::CreateResizeZones(TkxCustomDockControl* AControl) {
  TkxSideContainerDockSite::CreateResizeZones(AControl);
  AddSplitterZone(this, AControl, true);
}

void TkxVertContainerDockSite::CreateResizeZones(TkxCustomDockControl* AControl) {
  TkxSideContainerDockSite::CreateResizeZones(AControl);
  AddSplitterZone(this, AControl, false);
}

void TkxHorizContainerDockSite::UpdateControlOriginalSize(TkxCustomDockControl* AControl) {
  SideOriginalSize(this, AControl, true);
}

void TkxVertContainerDockSite::UpdateControlOriginalSize(TkxCustomDockControl* AControl) {
  SideOriginalSize(this, AControl, false);
}
