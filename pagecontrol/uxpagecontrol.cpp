// The page control and its tab sheets.
#include "pagecontrol/uxpagecontrol.h"

#include <algorithm>

#include "framework/uxthemes.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcutils.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"

// ---------------------------------------------------------------------------
// TuxTabSheet

TuxTabSheet::TuxTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetAlign(alClient);
  FControlStyle << csAcceptsControls << csNoDesignVisible;
  FVisible = false;
  FTabStop = false;
}

TuxTabSheet::~TuxTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TuxTabSheet::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuxTabSheet::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (!AParent) {
    if (FPageControl)
      SetPageControl(nullptr);
    else
      TCustomControl::SetParent(nullptr);
    return;
  }
  auto* PC = dynamic_cast<TuxPageControl*>(AParent);
  if (!PC) return;
  SetPageControl(PC);
}

void TuxTabSheet::SetPageControl(TuxPageControl* Value) {
  if (Value == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  if (Value) Value->InsertPage(this);
}

int TuxTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& P = FPageControl->FPages;
  return int(std::find(P.begin(), P.end(), this) - P.begin());
}

void TuxTabSheet::SetPageIndex(int Value) {
  if (!FPageControl) return;
  TuxPageControl* PC = FPageControl;
  const int Count = PC->PageCount();
  if (Value > Count - 1)
    throw EListError(
        Format("%d is an invalid PageIndex value.  PageIndex must be between 0 and %d", {Value, Count - 1}));
  if (Value < 0) throw EListError(Format("List index out of bounds (%d)", {Value}));
  const int Old = PageIndex();
  if (Old == Value) return;
  PC->FPages.erase(PC->FPages.begin() + Old);
  PC->FPages.insert(PC->FPages.begin() + Value, this);
  PC->Tabs()->Move(Old, Value);
  FOwnTab = PC->Tabs()->Tabs(Value);
  SyncTab();
  PC->LockChanges();
  TuxTabSheet* Active = PC->FActivePage;
  PC->SetTabIndex(Active && Active->FTabVisible && Active->FOwnTab ? Active->FOwnTab->Index() : -1);
  PC->UnlockChanges();
}

void TuxTabSheet::SyncTab() {
  if (!FPageControl || !FOwnTab || FPageControl->IsLoading()) return;
  TuxPageControl* PC = FPageControl;
  FOwnTab->SetCaption(Caption());
  FOwnTab->SetEnabled(Enabled());
  FOwnTab->SetImageIndex(FImageIndex);
  FOwnTab->SetHighlighted(FHighlighted);
  FOwnTab->SetVisible(FTabVisible);
  if (FPageControl == PC && PC->FActivePage == this && FOwnTab) {
    PC->LockChanges();
    PC->SetTabIndex(FTabVisible ? FOwnTab->Index() : -1);
    PC->UnlockChanges();
  }
}

void TuxTabSheet::SetHighlighted(bool Value) {
  if (FHighlighted == Value) return;
  FHighlighted = Value;
  SyncTab();
}

void TuxTabSheet::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  SyncTab();
}

void TuxTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  SyncTab();
  if (Value && FPageControl && FPageControl->PageCount() == 1 && !FPageControl->FActivePage)
    FPageControl->SetActivePage(this);
}

void TuxTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TuxTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TuxTabSheet::CMShowingChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  const bool Now = Showing();
  if (Now == FWasShowing) return;
  FWasShowing = Now;
  // A handler's error goes to the application and is not passed on.
  try {
    if (Now)
      DoShow();
    else
      DoHide();
  } catch (const Exception&) {
    if (Application)
      Application->HandleException(this);
    else
      throw;
  }
}

void TuxTabSheet::CMEnabledChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  SyncTab();
}

void TuxTabSheet::CMTextChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  SyncTab();
}

void TuxTabSheet::CMColorChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (FPageControl) FPageControl->LayoutChanged();
  if (BorderWidth() > 0 && HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  Invalidate();
}

void TuxTabSheet::CMParentColorChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  if (FPageControl) FPageControl->LayoutChanged();
  Invalidate();
}

void TuxTabSheet::WMEraseBkgnd(TMessage& M) {
  TuxPageControl* PC = FPageControl;
  if (!PC || !PC->Painter()) {
    TCustomControl::Dispatch(M);
    return;
  }
  HDC DC = reinterpret_cast<HDC>(M.WParam);
  TuxPCCustomPainter* P = PC->Painter();
  if (P->IsNativePainting()) {
    TRect R = pcOffset(pcInflate(P->GetClientRect(), 2, 2), -Left(), -Top());
    DrawThemeBackground(kxOpenThemeOfKind(tckTab), DC, 9, 1, R);
    M.Result = 1;
    return;
  }
  // The page control's painter fills the page in the page control's coordinates.
  POINT Old;
  SetWindowOrgEx(DC, Left(), Top(), &Old);
  auto* C = static_cast<TControlCanvas*>(PC->TCustomControl::Canvas());
  C->FreeHandle();
  C->Lock();
  C->SetHandle(DC);
  auto Restore = [&] {
    C->SetHandle(nullptr);
    C->Unlock();
    SetWindowOrgEx(DC, Old.x, Old.y, nullptr);
  };
  try {
    P->FillPageArea();
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
  M.Result = 1;
}

void TuxTabSheet::WMNCPaint(TMessage& M) {
  if (FPageControl && FPageControl->Painter() && FPageControl->Painter()->IsNativePainting() && BorderWidth() > 0 &&
      HandleAllocated()) {
    HDC DC = GetWindowDC(Handle());
    const TRect Outer = pcRect(0, 0, Width(), Height());
    const TRect Inner = pcInflate(Outer, -BorderWidth(), -BorderWidth());
    ExcludeClipRect(DC, Inner.left, Inner.top, Inner.right, Inner.bottom);
    DrawThemeBackground(kxOpenThemeOfKind(tckTab), DC, 9, 1, Outer);
    ReleaseDC(Handle(), DC);
    M.Result = 0;
    return;
  }
  TCustomControl::Dispatch(M);
}

void TuxTabSheet::WMWindowPosChanged(TMessage& M) {
  TCustomControl::Dispatch(M);
  Invalidate();
}

// ---------------------------------------------------------------------------
// TuxPageControl

TuxPageControl::TuxPageControl(TComponent* AOwner) : TuxCustomTabControl(AOwner) {}

TuxPageControl::~TuxPageControl() {
  // Sheets freed later must not call back.
  for (TuxTabSheet* P : FPages) {
    P->FPageControl = nullptr;
    P->FOwnTab = nullptr;
  }
  FPages.clear();
  FActivePage = nullptr;
}

void TuxPageControl::SetParentBackground(bool Value) {
  if (Value)
    FControlStyle << csParentBackground;
  else
    FControlStyle >> csParentBackground;
  Invalidate();
}

TuxTabSheet* TuxPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FPages[std::size_t(Index)];
}

TControl* TuxPageControl::GetPage(int TabIndex) {
  return TabIndex >= 0 && TabIndex < PageCount() ? FPages[std::size_t(TabIndex)] : nullptr;
}

TuxTabSheet* TuxPageControl::FindNextPage(TuxTabSheet* Current, bool GoForward, bool CheckTabVisible) const {
  const int Count = PageCount();
  if (Count == 0) return nullptr;
  int Start = int(std::find(FPages.begin(), FPages.end(), Current) - FPages.begin());
  if (Start >= Count) Start = GoForward ? Count - 1 : 0;
  int I = Start;
  do {
    I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
    TuxTabSheet* P = FPages[std::size_t(I)];
    if (!CheckTabVisible || (P->TabVisible() && P->Enabled())) return P;
  } while (I != Start);
  return FPages[std::size_t(Start)];
}

void TuxPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TuxTabSheet* P = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (P && P != FActivePage) SetActivePage(P);
}

void TuxPageControl::InsertPage(TuxTabSheet* Page) {
  if (!HandleAllocated() && (Parent() || ParentWindow()) && !IsLoading()) HandleNeeded();
  FInsertingPage = true;
  try {
    FPages.push_back(Page);
    Page->FPageControl = this;
    Page->TCustomControl::SetParent(this);
    Tabs()->Add(Page->Caption());
    Page->FOwnTab = Tabs()->Tabs(Tabs()->Count() - 1);
  } catch (...) {
    FInsertingPage = false;
    throw;
  }
  FInsertingPage = false;
  Page->SyncTab();
  if (!IsLoading() && !FActivePage) SetActivePage(Page);
}

void TuxPageControl::RemovePage(TuxTabSheet* Page) {
  auto It = std::find(FPages.begin(), FPages.end(), Page);
  if (It == FPages.end()) return;
  const bool WasActive = Page == FActivePage;
  TuxTabSheet* Next = FindNextPage(Page, true, !IsDesigning());
  if (Next == Page) Next = nullptr;
  FPages.erase(It);
  TuxTab* Tab = Page->FOwnTab;
  Page->FOwnTab = nullptr;
  if (Tab && Tab->Tabs() == Tabs()) Tabs()->Delete(Tab->Index());
  if (IsDestroying()) {
    if (WasActive) FActivePage = nullptr;
  } else if (WasActive) {
    LockChanges();
    SetTabIndex(-1);
    UnlockChanges();
    SetActivePage(Next);
  } else {
    // Removing another sheet keeps the page that is shown.
    LockChanges();
    SetTabIndex(FActivePage && FActivePage->TabVisible() && FActivePage->FOwnTab ? FActivePage->FOwnTab->Index() : -1);
    UnlockChanges();
  }
  if (FActivePage == Page) FActivePage = nullptr;
  Page->FPageControl = nullptr;
  Page->TCustomControl::SetParent(nullptr);
}

bool TuxPageControl::CanChangeActivePage(TuxTabSheet* Page) {
  bool Allow = true;
  if (ChangeLockCount() > 0 || IsLoading() || IsDesigning()) return true;
  if (OnPageChanging) OnPageChanging(this, Page, Allow);
  return Allow;
}

void TuxPageControl::PageChanged() { TuxCustomTabControl::Change(); }

void TuxPageControl::ChangeActivePage(TuxTabSheet* Page) {
  if (Page == FActivePage) return;
  std::shared_ptr<bool> Alive = AliveToken();
  if (!CanChangeActivePage(Page) || !*Alive) return;
  TCustomForm* F = GetParentForm(this);
  TuxTabSheet* Old = FActivePage;
  if (F && Old && F->ActiveControl() && Old->ContainsControl(F->ActiveControl())) {
    F->SetActiveControl(Old);
    if (F->ActiveControl() != Old) {
      LockChanges();
      SetTabIndex(Old->FOwnTab && Old->TabVisible() ? Old->FOwnTab->Index() : -1);
      UnlockChanges();
      return;
    }
  }
  TWinControl* NewFocus = nullptr;
  if (F && Old && F->ActiveControl() == Old) {
    if (Page && Page->Enabled() && Visible() && Enabled() && Parent() && Parent()->CanFocus())
      NewFocus = Page;
    else
      NewFocus = this;
  }
  if (Old) Old->SetVisible(false);
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
    Page->Invalidate();
  }
  if (NewFocus && F) F->SetActiveControl(NewFocus);
  FActivePage = Page;
  PageChanged();
  if (!*Alive) return;
  if (F && Page && F->ActiveControl() == Page) Page->SelectFirst();
  if (IsDesigning()) NotifyDesignerModified();
}

void TuxPageControl::SetActivePage(TuxTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  ChangeActivePage(Page);
  if (FActivePage != Page) return;
  LockChanges();
  SetTabIndex(Page && Page->TabVisible() && Page->FOwnTab ? Page->FOwnTab->Index() : -1);
  UnlockChanges();
}

void TuxPageControl::UpdateActivePage() {
  const int I = TabIndex();
  SetActivePage(I >= 0 && I < PageCount() ? FPages[std::size_t(I)] : nullptr);
}

bool TuxPageControl::CanChange(int NewTabIndex) {
  if (!TuxCustomTabControl::CanChange(NewTabIndex)) return false;
  return CanChangeActivePage(NewTabIndex >= 0 && NewTabIndex < PageCount() ? FPages[std::size_t(NewTabIndex)]
                                                                          : nullptr);
}

void TuxPageControl::Change() {
  LockChanges();
  try {
    UpdateActivePage();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
  TuxCustomTabControl::Change();
}

void TuxPageControl::LayoutChanged() {
  TuxCustomTabControl::LayoutChanged();
  if (FActivePage) FActivePage->Invalidate();
}

void TuxPageControl::CloseTab() {
  if (FActivePage) delete FActivePage;
}

void TuxPageControl::ImageListChanged() {
  if (!FInsertingPage)
    for (TuxTabSheet* P : FPages)
      if (P->FOwnTab) P->FOwnTab->SetImageIndex(P->ImageIndex());
  TuxCustomTabControl::ImageListChanged();
}

bool TuxPageControl::CanFocusOnClickAt(int X, int Y) {
  if (!TuxCustomTabControl::CanFocusOnClickAt(X, Y)) return false;
  const int T = TabAt(X, Y);
  return T != -1 && FActivePage && FActivePage->FOwnTab && VisibleTab(T) == FActivePage->FOwnTab;
}

void TuxPageControl::ShowControl(TControl* AControl) {
  if (auto* P = dynamic_cast<TuxTabSheet*>(AControl))
    if (P->FPageControl == this) SetActivePage(P);
  TuxCustomTabControl::ShowControl(AControl);
}

void TuxPageControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TuxTabSheet* P : FPages)
    if (P->Owner() == Root) Proc(P);
}

void TuxPageControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* P = dynamic_cast<TuxTabSheet*>(Child))
    if (P->FPageControl == this) P->SetPageIndex(Order);
}

void TuxPageControl::AlignControls(TControl* AControl, TRect& Rect) {
  TuxCustomTabControl::AlignControls(AControl, Rect);
  if (FActivePage && FActivePage->HandleAllocated() && FActivePage->BorderWidth() > 0 && Painter() &&
      Painter()->IsNativePainting())
    RedrawWindow(FActivePage->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TuxPageControl::Loaded() {
  TuxCustomTabControl::Loaded();
  for (TuxTabSheet* P : std::vector<TuxTabSheet*>(FPages)) P->SyncTab();
  if (!IsDesigning() && FActivePage && !FActivePage->Enabled()) {
    // Still part of loading: no events.
    LockChanges();
    SetActivePage(nullptr);
    UnlockChanges();
  }
}

// ---------------------------------------------------------------------------
// published settings

void uxInitPageControl() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  uxInitTabControl();
  RegisterClasses({TuxPageControl::StaticClass(), TuxTabSheet::StaticClass()});
  RegisterProps<TuxTabSheet>([](TPropBuilder<TuxTabSheet>& p) {
    // The page control places, sizes and shows its sheets.
    p.Prop("Left", &TControl::Left, &TControl::SetLeft).Stored(false);
    p.Prop("Top", &TControl::Top, &TControl::SetTop).Stored(false);
    p.Prop("Width", &TControl::Width, &TControl::SetWidth).Stored(false);
    p.Prop("Height", &TControl::Height, &TControl::SetHeight).Stored(false);
    PublishControlProps(p,
                        "BorderWidth Caption Color Constraints DragMode Enabled Font ParentColor ParentFont "
                        "ParentShowHint PopupMenu ShowHint OnContextPopup OnDragDrop OnDragOver OnEndDrag OnEnter "
                        "OnExit OnMouseDown OnMouseMove OnMouseUp OnResize OnStartDrag",
                        TControlPropDefaults{clWindow, true, false, false});
    p.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Stored(false);
    p.Prop("Highlighted", &TuxTabSheet::Highlighted, &TuxTabSheet::SetHighlighted).Default(false);
    p.Prop("ImageIndex", &TuxTabSheet::ImageIndex, &TuxTabSheet::SetImageIndex).Default(-1);
    p.Prop("PageIndex", &TuxTabSheet::PageIndex, &TuxTabSheet::SetPageIndex).Stored(false);
    p.Prop("TabVisible", &TuxTabSheet::TabVisible, &TuxTabSheet::SetTabVisible).Default(true);
    p.Prop("OnHide", &TuxTabSheet::OnHide, &TuxTabSheet::OnHide);
    p.Prop("OnShow", &TuxTabSheet::OnShow, &TuxTabSheet::OnShow);
  });
  RegisterProps<TuxPageControl>([](TPropBuilder<TuxPageControl>& p) {
    const TControlPropDefaults Defaults{clWindow, true, true, true};
    PublishControlProps(p,
                        "Align Anchors BiDiMode Color Constraints DragCursor DragKind DragMode Enabled Font "
                        "ParentBiDiMode ParentColor ParentFont ParentShowHint ShowHint TabOrder Visible",
                        Defaults);
    p.Prop("ParentBackground", &TuxPageControl::ParentBackground, &TuxPageControl::SetParentBackground)
        .Default(true);
    p.Prop("ActivePage", &TuxPageControl::ActivePage, &TuxPageControl::SetActivePage);
    PublishTabControlProps(p);
    PublishControlProps(p,
                        "OnContextPopup OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnMouseDown OnMouseMove "
                        "OnMouseUp OnResize OnStartDrag",
                        Defaults);
    PublishTabControlEvents(p);
    p.Prop("OnPageChanging", &TuxPageControl::OnPageChanging, &TuxPageControl::OnPageChanging);
  });
}
