// The tab control's model: tabs, the visible-tab list, the slant settings, the
// current tab and the change protocol, the style and its painter, and the
// published settings. Layout and interaction live in uxpclayout.cpp.
#include "pagecontrol/uxpc.h"

#include <algorithm>

#include "framework/uxclasses.h"
#include "pagecontrol/uxpcpainter.h"
#include "pagecontrol/uxpcutils.h"
#include "platform/classes/filer.h"
#include "platform/rtl/strings.h"

namespace {

[[noreturn]] void RaiseTabsError(const char* Operation, int Index) {
  throw EListError(AnsiString("TuxTabs.") + Operation + ": " + Format("Tab's index (%d) out of bounds", {Index}));
}

bool IsLive(const TuxCustomTabControl* C) {
  return C && !C->ComponentState().Contains(csLoading) && !C->ComponentState().Contains(csDestroying);
}

}  // namespace

// ---------------------------------------------------------------------------
// TuxTab

TuxTab::TuxTab(TuxTabs* ATabs, int AIndex) : FImageIndex(AIndex), FIndex(AIndex), FTabs(ATabs) {}

TuxTab::~TuxTab() {
  if (FTabs && !FRemovingItself) FTabs->RemoveTab(this, false);
}

TuxCustomTabControl* TuxTab::Control() const { return FTabs ? FTabs->Control() : nullptr; }

void TuxTab::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TuxTab*>(Source)) {
    SetCaption(S->FCaption);
    SetEnabled(S->FEnabled);
    SetHighlighted(S->FHighlighted);
    SetImageIndex(S->FImageIndex);
    FObject = S->FObject;
    SetVisible(S->FVisible);
    SetSelected(S->FSelected);
    return;
  }
  TPersistent::Assign(Source);
}

void TuxTab::Changed(TabChangeKind Kind) {
  if (TuxCustomTabControl* C = Control()) C->TabChanged(VisibleIndex(), Kind);
}

void TuxTab::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  TuxCustomTabControl* C = Control();
  if (!FVisible || !IsLive(C) || !C->Painter()) return;
  const int OldWidth = MeasuredWidth;
  const int NewWidth = C->Painter()->CalculateTabWidth(this);
  bool LayoutNeeded;
  if (C->Rotate()) {
    const int OldRotated = C->RowThickness();
    MeasuredWidth = NewWidth;
    LayoutNeeded = C->CalculateRotatedTabWidth() != OldRotated;
  } else {
    LayoutNeeded = NewWidth != OldWidth;
  }
  if (LayoutNeeded)
    Changed(tckLayout);
  else if (IsVisibleOnScreen())
    Changed(tckContent);
}

void TuxTab::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (IsVisibleOnScreen()) Changed(tckColor);
}

void TuxTab::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  const bool WasShown = IsVisibleOnScreen();
  FEnabled = Value;
  if (WasShown || IsVisibleOnScreen()) Changed(tckEnabled);
}

void TuxTab::SetHighlighted(bool Value) {
  if (FHighlighted == Value) return;
  const bool WasShown = IsVisibleOnScreen();
  FHighlighted = Value;
  if (WasShown || IsVisibleOnScreen()) Changed(tckHighlighted);
}

void TuxTab::SetImageIndex(int Value) {
  if (Value < 0) Value = -1;
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (IsVisibleOnScreen()) Changed(tckLayout);
}

void TuxTab::SetSelected(bool Value) {
  if (FSelected == Value) return;
  TuxCustomTabControl* C = Control();
  if (!C || C->ComponentState().Contains(csLoading)) {
    FSelected = Value;
    return;
  }
  if (C->Painter() && C->Painter()->AllowsMultiSelection()) {
    if (Value)
      for (int i = 0; i < FTabs->Count(); ++i)
        if (i != FIndex && FTabs->Tabs(i)->FSelected) {
          C->FMultiSelect = true;
          break;
        }
  } else if (Value && !IsMain()) {
    return;
  }
  FSelected = Value;
  if (IsVisibleOnScreen()) Changed(tckSelected);
}

void TuxTab::SetVisible(bool Value) {
  if (FVisible == Value) return;
  TuxCustomTabControl* C = Control();
  if (!C) {
    FVisible = Value;
    return;
  }
  if (Value) {
    FVisible = true;
    C->VisibleTabs()->Rebuild();
    Changed(tckLayout);
    return;
  }
  const bool WasShown = IsVisibleOnScreen();
  FVisible = false;
  MeasuredWidth = 0;
  C->VisibleTabs()->Rebuild();
  if (!IsLive(C)) return;
  if (WasShown || C->MultiLine())
    C->TabChanged(-1, tckLayout);
  else
    C->CalculateLayout();
  if (C->HiddenTabCannotBeCurrent() && C->TabIndex() == FIndex) {
    C->UpdateMainTab();
    const int Main = C->MainTab();
    C->SetTabIndex(Main >= 0 && Main < C->VisibleTabs()->Count() ? C->VisibleTab(Main)->Index() : -1);
  }
}

int TuxTab::VisibleIndex() const {
  TuxCustomTabControl* C = Control();
  return C && FVisible ? C->VisibleTabs()->IndexOf(FIndex) : -1;
}

bool TuxTab::IsMain() const {
  TuxCustomTabControl* C = Control();
  return C && C->TabIndex() == FIndex;
}

bool TuxTab::IsHot() const {
  TuxCustomTabControl* C = Control();
  return C && C->HotTab() != -1 && C->HotTab() == VisibleIndex();
}

bool TuxTab::IsPressed() const {
  TuxCustomTabControl* C = Control();
  return C && C->PressedTab() != -1 && C->PressedTab() == VisibleIndex();
}

bool TuxTab::IsTracked() const {
  TuxCustomTabControl* C = Control();
  return C && C->TrackedTab() != -1 && C->TrackedTab() == VisibleIndex();
}

bool TuxTab::IsEnabled() const {
  TuxCustomTabControl* C = Control();
  return C && C->Enabled() && FEnabled;
}

int TuxTab::Length() const {
  TuxCustomTabControl* C = Control();
  return C && C->Rotate() ? FTabs->MeasuredTabHeight : MeasuredWidth;
}

TRect TuxTab::NormalRect() const {
  TuxCustomTabControl* C = Control();
  if (!C) return TRect{};
  const int H = FTabs->MeasuredTabHeight;
  const int Along = C->Rotate() ? C->RowThickness() : MeasuredWidth;
  if (C->IsVerticalText())
    return pcRect(BasePosition.x, BasePosition.y, BasePosition.x + H, BasePosition.y + Along);
  return pcRect(BasePosition.x, BasePosition.y, BasePosition.x + Along, BasePosition.y + H);
}

TRect TuxTab::FullRect() const {
  TuxCustomTabControl* C = Control();
  TRect R = NormalRect();
  const int V = VisibleIndex();
  if (!C || !C->Painter() || V == -1) return R;
  int D[4] = {0, 0, 0, 0};
  C->Painter()->GetTabRectCorrection(V, D);
  auto* Self = const_cast<TuxTab*>(this);
  for (int i = 0; i < 4; ++i) Self->EdgeCorrection[i] = D[i];
  return pcRect(R.left + D[0], R.top + D[1], R.right + D[2], R.bottom + D[3]);
}

TRect TuxTab::VisibleRect() const {
  TuxCustomTabControl* C = Control();
  if (!C || !FVisible) return TRect{};
  const int V = VisibleIndex();
  if (V == -1) return TRect{};
  if (C->RowCount() == 0) return TRect{};
  int First, Last;
  C->GetShownRange(First, Last);
  if (V < First || V > Last) return TRect{};
  return pcIntersect(FullRect(), DrawnRow < C->NearRowCount() ? C->NearTabArea() : C->FarTabArea());
}

bool TuxTab::IsVisibleOnScreen() const { return !pcIsEmpty(VisibleRect()); }

TuxTabPosition TuxTab::Side() const {
  TuxCustomTabControl* C = Control();
  if (!C) return tpTop;
  const bool Near = DrawnRow < C->NearRowCount();
  if (C->IsHorizontalRow()) return Near ? tpTop : tpBottom;
  return Near ? tpLeft : tpRight;
}

int TuxTab::DrawKind() const {
  TuxCustomTabControl* C = Control();
  static const int Kinds[4][3] = {{1, 2, 3}, {10, 11, 12}, {6, 4, 5}, {9, 7, 8}};
  return Kinds[Side()][C ? C->TextDirection() : 0];
}

// ---------------------------------------------------------------------------
// TuxTabs

TuxTabs::TuxTabs(TuxCustomTabControl* AControl) : FControl(AControl) {}

TuxTabs::~TuxTabs() {
  for (TuxTab* T : FItems) {
    T->FTabs = nullptr;
    delete T;
  }
  FItems.clear();
}

void TuxTabs::CheckIndex(int Index, const char* Operation) const {
  if (Index < 0 || Index >= int(FItems.size())) RaiseTabsError(Operation, Index);
}

TuxTab* TuxTabs::Tabs(int Index) const {
  CheckIndex(Index, "GetTab");
  return FItems[std::size_t(Index)];
}

TuxTab* TuxTabs::VisibleTabs(int VisibleIndex) const {
  const AnsiString Error = FControl->VisibleTabs()->RangeError(VisibleIndex);
  if (!Error.empty()) throw EListError("TuxTabs.GetVisibleTab: " + Error);
  return FItems[std::size_t(FControl->VisibleTabs()->ListIndex(VisibleIndex))];
}

AnsiString TuxTabs::Get(int Index) const {
  CheckIndex(Index, "Get");
  return FItems[std::size_t(Index)]->Caption();
}

TObject* TuxTabs::GetObject(int Index) const { return Tabs(Index)->Object(); }

void TuxTabs::Put(int Index, const AnsiString& S) { Tabs(Index)->SetCaption(S); }

void TuxTabs::PutObject(int Index, TObject* AObject) { Tabs(Index)->SetObject(AObject); }

void TuxTabs::Renumber(int From, int To) {
  for (int i = std::max(From, 0); i <= To && i < int(FItems.size()); ++i) FItems[std::size_t(i)]->FIndex = i;
}

void TuxTabs::Insert(int Index, const AnsiString& S) {
  if (Index < 0 || Index > int(FItems.size())) RaiseTabsError("Insert", Index);
  auto* T = new TuxTab(this, Index);
  T->FCaption = S;
  FItems.insert(FItems.begin() + Index, T);
  Renumber(Index, int(FItems.size()) - 1);
  const bool Loading = FControl->ComponentState().Contains(csLoading);
  if (!Loading && FControl->FTabIndex == -1 && FItems.size() == 1) FControl->FTabIndex = 0;
  FControl->VisibleTabs()->Rebuild();
  FControl->LayoutChanged();
}

void TuxTabs::RemoveTab(TuxTab* Tab, bool FreeIt) {
  auto It = std::find(FItems.begin(), FItems.end(), Tab);
  if (It == FItems.end()) return;
  const int Index = int(It - FItems.begin());
  FItems.erase(It);
  Renumber(Index, int(FItems.size()) - 1);
  Tab->FTabs = nullptr;
  if (FreeIt) delete Tab;
  FControl->VisibleTabs()->Rebuild();
  if (!FDeleteGuard) FControl->LayoutChanged();
}

void TuxTabs::Delete(int Index) {
  CheckIndex(Index, "Delete");
  RemoveTab(FItems[std::size_t(Index)], true);
}

void TuxTabs::Clear() {
  if (FItems.empty()) return;
  FDeleteGuard = true;
  try {
    while (!FItems.empty()) RemoveTab(FItems.back(), true);
  } catch (...) {
    FDeleteGuard = false;
    throw;
  }
  FDeleteGuard = false;
  FControl->LayoutChanged();
}

void TuxTabs::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, "Move");
  CheckIndex(NewIndex, "Move");
  TuxTab* T = FItems[std::size_t(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, T);
  Renumber(std::min(CurIndex, NewIndex), std::max(CurIndex, NewIndex));
  FControl->VisibleTabs()->Rebuild();
  FControl->LayoutChanged();
}

// ---------------------------------------------------------------------------
// TuxVisibleTabList

AnsiString TuxVisibleTabList::RangeError(int VisibleIndex) const {
  if (FItems.empty()) return "There are no visible tabs";
  if (VisibleIndex < 0 || VisibleIndex >= Count())
    return Format("TabVisibleIndex (%d) must be between 0 and %d", {VisibleIndex, Count() - 1});
  return "";
}

TuxTab* TuxVisibleTabList::Tabs(int VisibleIndex) const {
  const AnsiString Error = RangeError(VisibleIndex);
  if (!Error.empty()) throw EListError("TuxVisibleTabList.GetTab: " + Error);
  return FTabs->Tabs(FItems[std::size_t(VisibleIndex)]);
}

int TuxVisibleTabList::IndexOf(int ListIndex) const {
  int Lo = 0, Hi = Count() - 1;
  while (Lo <= Hi) {
    const int Mid = (Lo + Hi) / 2;
    const int V = FItems[std::size_t(Mid)];
    if (V == ListIndex) return Mid;
    if (V < ListIndex)
      Lo = Mid + 1;
    else
      Hi = Mid - 1;
  }
  return -1;
}

int TuxVisibleTabList::InsertionIndex(int ListIndex) const {
  return int(std::lower_bound(FItems.begin(), FItems.end(), ListIndex) - FItems.begin());
}

void TuxVisibleTabList::Rebuild() {
  FItems.clear();
  for (int i = 0; i < FTabs->Count(); ++i)
    if (FTabs->Tabs(i)->Visible()) FItems.push_back(i);
}

// ---------------------------------------------------------------------------
// TuxTabSlants

void TuxTabSlants::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TuxTabSlants*>(Source)) {
    SetKind(S->FKind);
    SetPositions(S->FPositions);
    return;
  }
  TPersistent::Assign(Source);
}

void TuxTabSlants::SetKind(TuxTabSlantKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed();
}

void TuxTabSlants::SetPositions(TuxTabSlantPositions Value) {
  if (FPositions == Value) return;
  FPositions = Value;
  Changed();
}

void TuxTabSlants::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// the control: construction and settings

TuxCustomTabControl::TuxCustomTabControl(TComponent* AOwner) : TuxControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks, csParentBackground};
  SetBounds(Left(), Top(), 289, 193);
  FTabStop = true;
  FTabSlants = std::make_unique<TuxTabSlants>(this);
  FTabSlants->OnChange = [this](TObject*) { LayoutChanged(); };
  FImageList = std::make_unique<TuxPCImageList>(this);
  FImageList->OnChange = [this]() { ImageListChanged(); };
  FImageList->OnPrepareBitmap = [this](TBitmap* Bitmap) {
    if (!FPainter) return;
    const TuxPCTabContentData& D = FPainter->TabContentData();
    FPainter->PrepareTabBitmapBackground(Bitmap, pcPoint(D.ImageBounds.left, D.ImageBounds.top), D.VisibleIndex);
  };
  FTabs = std::make_unique<TuxTabs>(this);
  FVisibleTabs = std::make_unique<TuxVisibleTabList>(FTabs.get());
  SetStyle(0);
  if (!IsDesigning()) {
    FGoDialog = new TuxPCGoDialog(this);
    FGoDialog->OnTabClick = [this](int Index) { GoDialogTabClick(Index); };
  }
}

TuxCustomTabControl::~TuxCustomTabControl() {
  Destroying();
  FTabSlants.reset();
  delete FArrowTimer;
  FArrowTimer = nullptr;
  delete FGoDialog;
  FGoDialog = nullptr;
  FImageList.reset();
  FTabs.reset();
  ReleasePainter();
  FVisibleTabs.reset();
}

void TuxCustomTabControl::ReleasePainter() {
  TuxPCCustomPainter* P = FPainter;
  FPainter = nullptr;
  if (!P) return;
  if (PaintersFactory())
    PaintersFactory()->ReleasePainter(P);
  else
    delete P;
}

void TuxCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TuxControl::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FGoDialog) FGoDialog = nullptr;
    if (AComponent == FArrowTimer) FArrowTimer = nullptr;
  }
}

void TuxCustomTabControl::SetFocusable(bool Value) {
  if (FFocusable == Value) return;
  FFocusable = Value;
  SetTabStop(Value);
}

bool TuxCustomTabControl::CanFocus() { return TuxControl::CanFocus() && FFocusable; }

void TuxCustomTabControl::SetHideTabs(bool Value) {
  if (FHideTabs == Value) return;
  FHideTabs = Value;
  Invalidate();
  Realign();
}

void TuxCustomTabControl::SetHotTrack(bool Value) {
  if (FHotTrack == Value) return;
  FHotTrack = Value;
  UpdateHotTrack(GetShiftState());
}

void TuxCustomTabControl::SetImageBorder(int Value) {
  if (Value < 0 || Value == FImageBorder) return;
  FImageBorder = Value;
  if (FVisibleTabs->Count() > 0) LayoutChanged();
}

TCustomImageList* TuxCustomTabControl::Images() const { return FImageList ? FImageList->BaseImages() : nullptr; }

void TuxCustomTabControl::SetImages(TCustomImageList* Value) { FImageList->SetBaseImages(Value); }

int TuxCustomTabControl::MaxRotatedTabWidth() {
  if (FMaxRotatedTabWidth > 0 && FPainter) {
    const int Min = FPainter->GetMinTabWidth(-1);
    if (FMaxRotatedTabWidth < Min) FMaxRotatedTabWidth = Min;
  }
  return FMaxRotatedTabWidth;
}

void TuxCustomTabControl::SetMaxRotatedTabWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Value > 0 && FPainter && !IsLoading()) Value = std::max(Value, FPainter->GetMinTabWidth(-1));
  if (Value == FMaxRotatedTabWidth) return;
  FMaxRotatedTabWidth = Value;
  if (FRotate && FVisibleTabs->Count() > 0) LayoutChanged();
}

void TuxCustomTabControl::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetNavigatorPosition(TuxPCNavigatorPosition Value) {
  if (FNavigatorPosition == Value) return;
  FNavigatorPosition = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetOptions(TuxPCOptions Value) {
  if (FOptions == Value) return;
  const TuxPCOptions Changed = FOptions - Value + (Value - FOptions);
  FOptions = Value;
  const TuxPCOptions LayoutOptions = {pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient,
                                      pcoGradientClientArea, pcoNoArrows, pcoTopToBottomText};
  const TuxPCOptions PaintOptions = {pcoGradient, pcoGradientClientArea, pcoUsePageColorForTab};
  if (!(Changed * LayoutOptions).Empty())
    LayoutChanged();
  else if (!(Changed * PaintOptions).Empty())
    Invalidate();
}

void TuxCustomTabControl::SetOwnerDraw(bool Value) {
  if (FOwnerDraw == Value) return;
  FOwnerDraw = Value;
  Invalidate();
}

void TuxCustomTabControl::SetRaggedRight(bool Value) {
  if (FRaggedRight == Value) return;
  FRaggedRight = Value;
  if (FMultiLine) LayoutChanged();
}

void TuxCustomTabControl::SetRotate(bool Value) {
  if (FRotate == Value) return;
  if (Value && FPainter && !FPainter->SupportsRotation())
    throw EuxPCError("TuxCustomTabControl.SetRotate: " +
                     Format("%s style does not support rotation of tabs", {FPainter->GetStyleName()}));
  FRotate = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetScrollOpposite(bool Value) {
  if (FScrollOpposite == Value) return;
  FScrollOpposite = Value;
  if (!FMultiLine) return;
  if (FMainTab == -1) {
    Realign();
    return;
  }
  ArrangeRows();
  Realign();
  Invalidate();
}

void TuxCustomTabControl::SetShowFrame(bool Value) {
  if (FShowFrame == Value) return;
  FShowFrame = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetTabHeight(SmallInt Value) {
  if (FTabHeight == Value) return;
  FTabHeight = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetTabWidth(SmallInt Value) {
  if (FTabWidth == Value) return;
  FTabWidth = Value;
  LayoutChanged();
}

void TuxCustomTabControl::SetTabPosition(TuxTabPosition Value) {
  if (FTabPosition == Value) return;
  FTabPosition = Value;
  LayoutChanged();
}

// ---------------------------------------------------------------------------
// style and painter

void TuxCustomTabControl::SetStyle(TuxPCStyleID Value) {
  if (Value == 0) {
    FStyle = 0;
    UpdateDefaultStyle();
    return;
  }
  if (Value == FStyle) return;
  TuxPCPainterClass Class = PaintersFactory() ? PaintersFactory()->GetPainterClass(Value) : nullptr;
  if (!Class) return;
  FStyle = Value;
  if (FPainter && FPainter->PainterClass() == Class) return;
  ReleasePainter();
  FPainter = PaintersFactory()->GetPainterInstance(Class, this);
  if (FRotate && !Class->SupportsRotation()) FRotate = false;
  DropRotatedCaptions();
  LayoutChanged();
  if (HandleAllocated() && !IsLoading()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TuxCustomTabControl::UpdateDefaultStyle() {
  if (FStyle != 0) return;
  TuxPCPaintersFactory* F = PaintersFactory();
  if (!F) throw EuxPCError("TuxPCPaintersFactory.GetDefaultStyleID: There are no styles registered");
  TuxPCStyleID ID = F->GetDefaultStyleIDByLookAndFeel(LookAndFeel());
  if (ID == -1) ID = F->GetDefaultStyleID(LookAndFeel());
  SetStyle(ID);
  FStyle = 0;
}

void TuxCustomTabControl::LookAndFeelChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed) {
  TuxControl::LookAndFeelChanged(Sender, Changed);
  UpdateDefaultStyle();
  LayoutChanged();
  if ((Changed & lfvsNativeStyle) && HandleAllocated())
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TuxCustomTabControl::DropRotatedCaptions() {
  if (!FTabs) return;
  for (int i = 0; i < FTabs->Count(); ++i) FTabs->Tabs(i)->RotatedCaptionBitmap.reset();
}

// ---------------------------------------------------------------------------
// text direction

bool TuxCustomTabControl::IsVerticalText() const {
  return IsHorizontalRow() ? FRotate : !FRotate;
}

bool TuxCustomTabControl::IsTopToBottomText() const {
  return IsVerticalText() && FOptions.Contains(pcoTopToBottomText);
}

int TuxCustomTabControl::TextDirection() const {
  if (!IsVerticalText()) return 0;
  return IsTopToBottomText() ? 2 : 1;
}

bool TuxCustomTabControl::IsReversedOrder() const {
  const bool TopToBottom = FOptions.Contains(pcoTopToBottomText);
  if (IsHorizontalRow()) return FRotate && TopToBottom;
  return !FRotate && !TopToBottom;
}

// ---------------------------------------------------------------------------
// the current tab

void TuxCustomTabControl::SetTabIndex(int Value) {
  if (IsLoading()) {
    FLoadedTabIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FTabs->Count()) return;
  if (Value != -1 && HiddenTabCannotBeCurrent() && !FTabs->Tabs(Value)->Visible()) Value = -1;
  if (Value == FTabIndex) return;
  std::shared_ptr<bool> Alive = AliveToken();
  if (!CanChange(Value) || !*Alive) return;
  // The handlers may have removed tabs: the value must still name one.
  if (Value >= FTabs->Count() || Value == FTabIndex) return;
  FTabIndex = -1;
  UpdateMainTab();
  for (int i = 0; i < FTabs->Count(); ++i) FTabs->Tabs(i)->FSelected = false;
  SetTrackedTab(-1);
  FTabIndex = Value;
  UpdateMainTab();
  if (!FMultiLine) {
    if (FMainTab != -1) MakeTabVisible(FMainTab);
    LayoutChanged();
  } else {
    ArrangeRows();
    Realign();
    Invalidate();
  }
  UpdateNavigatorButtons();
  UpdateHotTrack(GetShiftState());
  Change();
}

void TuxCustomTabControl::UpdateMainTab() {
  int V = -1;
  const int Count = FVisibleTabs->Count();
  if (FTabIndex >= 0 && FTabIndex < FTabs->Count() && Count > 0) {
    TuxTab* T = FTabs->Tabs(FTabIndex);
    V = T->VisibleIndex();
    if (V == -1) V = std::min(FVisibleTabs->InsertionIndex(FTabIndex), Count - 1);
  }
  if (V == FMainTab) return;
  const int Old = FMainTab;
  FMainTab = V;
  if (Old >= 0 && Old < Count) TabChanged(Old, tckMain);
  if (V != -1) TabChanged(V, tckMain);
  UpdateNavigatorButtons();
}

bool TuxCustomTabControl::CanChange(int NewTabIndex) {
  bool Allow = true;
  if (FChangeLockCount > 0 || IsLoading() || IsDesigning()) return true;
  if (OnChanging) OnChanging(this, Allow);
  return Allow;
}

void TuxCustomTabControl::Change() {
  if (FChangeLockCount > 0 || IsLoading() || IsDesigning()) return;
  if (OnChange) OnChange(this);
}

void TuxCustomTabControl::SelectTab(int VisibleIndex, bool Ctrl) {
  if (VisibleIndex < 0 || VisibleIndex >= FVisibleTabs->Count()) return;
  TuxTab* T = VisibleTab(VisibleIndex);
  if (FMultiSelect && FPainter->AllowsMultiSelection() && Ctrl) {
    if (T->IsMain())
      SetTabIndex(-1);
    else
      T->SetSelected(!T->Selected());
    return;
  }
  std::shared_ptr<bool> Alive = AliveToken();
  SetTabIndex(T->Index());
  if (*Alive && IsDesigning() && !IsLoading()) NotifyDesignerModified();
}

void TuxCustomTabControl::TabChanged(int VisibleIndex, TabChangeKind Kind) {
  if (IsLoading() || IsDestroying() || !FPainter) return;
  if (Kind == tckLayout || VisibleIndex == -1)
    LayoutChanged();
  else if (VisibleIndex < FVisibleTabs->Count())
    FPainter->RepaintTab(VisibleIndex, Kind);
}

// ---------------------------------------------------------------------------
// virtual operations

bool TuxCustomTabControl::CanCloseTab() {
  bool CanClose = true;
  if (OnCanClose) OnCanClose(this, CanClose);
  return CanClose;
}

void TuxCustomTabControl::CloseTab() {
  if (FTabIndex >= 0 && FTabIndex < FTabs->Count()) FTabs->Delete(FTabIndex);
}

bool TuxCustomTabControl::DialogChar(Word CharCode) {
  if (!CanFocus()) return false;
  for (int i = 0; i < FTabs->Count(); ++i)
    if (IsAccel(CharCode, FTabs->Tabs(i)->Caption()) && CanSelectTab(i)) {
      SetTabIndex(i);
      return true;
    }
  return false;
}

bool TuxCustomTabControl::CanSelectTab(int TabIndex) {
  if (TabIndex < 0 || TabIndex >= FTabs->Count()) return false;
  TuxTab* T = FTabs->Tabs(TabIndex);
  return T->Visible() && T->IsEnabled();
}

int TuxCustomTabControl::GetImageIndex(int TabIndex) {
  if (TabIndex < 0 || TabIndex >= FTabs->Count()) return -1;
  int Result = FTabs->Tabs(TabIndex)->ImageIndex();
  if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, Result);
  if (Result < 0) Result = -1;
  TCustomImageList* L = Images();
  if (!L || L->Width() <= 0 || L->Height() <= 0 || Result >= L->Count()) return -1;
  return Result;
}

void TuxCustomTabControl::GoDialogTabClick(int TabIndex) {
  FGoDialogShowing = false;
  const Byte Old = FNavigatorButtonStates[nbGoDialog];
  FNavigatorButtonStates[nbGoDialog] = nbsNormal;
  FPressedNavigatorButtons.Clear();
  if (FPainter) FPainter->RepaintNavigatorButton(nbGoDialog, Old == nbsNormal ? nbsPressed : Old);
  std::shared_ptr<bool> Alive = AliveToken();
  if (TabIndex != -1) SetTabIndex(TabIndex);
  if (*Alive) UpdateHotTrack(GetShiftState());
}

void TuxCustomTabControl::ImageListChanged() { LayoutChanged(); }

void TuxCustomTabControl::PrepareTabFont(TuxTab* Tab, TuxCanvas* ACanvas) {
  ACanvas->SetFont(Font());
  const int V = Tab->VisibleIndex();
  ACanvas->Font()->SetColor(V != -1 && FPainter ? FPainter->GetTabTextColor(V) : Font()->Color());
  if (OnDrawTabEx) OnDrawTabEx(this, Tab, ACanvas->Font());
}

int TuxCustomTabControl::MeasureCaption(TuxTab* Tab) {
  if (Tab->Caption().empty()) return 0;
  TuxCanvas* C = uxScreenCanvas();
  PrepareTabFont(Tab, C);
  RECT R{0, 0, 0, 0};
  ::DrawTextA(C->Handle(), Tab->Caption().c_str(), int(Tab->Caption().size()), &R, DT_CALCRECT | DT_SINGLELINE);
  return R.right - R.left;
}

// ---------------------------------------------------------------------------
// window, painting and messages

void TuxCustomTabControl::Loaded() {
  TuxControl::Loaded();
  LayoutChanged();
  if (FLoadedTabIndex != -2) {
    const int Value = FLoadedTabIndex;
    FLoadedTabIndex = -2;
    LockChanges();
    try {
      SetTabIndex(Value);
    } catch (...) {
      UnlockChanges();
      throw;
    }
    UnlockChanges();
  }
}

TRect TuxCustomTabControl::DisplayRect() {
  if (IsLoading()) return FStoredClientRectLoaded ? FStoredClientRect : pcRect(0, 0, Width(), Height());
  if (!FPainter) return pcRect(0, 0, Width(), Height());
  return FPainter->GetDisplayRect();
}

void TuxCustomTabControl::AdjustClientRect(TRect& Rect) { Rect = DisplayRect(); }

void TuxCustomTabControl::DefineProperties(TFiler* Filer) {
  TuxControl::DefineProperties(Filer);
  struct TSide {
    const char* Name;
    LONG TRect::*Field;
    bool Always;
  };
  static const TSide Sides[] = {{"ClientRectBottom", &TRect::bottom, false},
                                {"ClientRectLeft", &TRect::left, false},
                                {"ClientRectRight", &TRect::right, true},
                                {"ClientRectTop", &TRect::top, true}};
  for (const TSide& S : Sides) {
    const TRect R = DisplayRect();
    const int Value = R.*S.Field;
    Filer->DefineProperty(
        S.Name,
        [this, S](TReader* Reader) {
          FStoredClientRect.*S.Field = Reader->ReadInteger();
          if (S.Field == &TRect::top) FStoredClientRectLoaded = true;
        },
        [this, S](TWriter* Writer) { Writer->WriteInteger(DisplayRect().*S.Field); }, S.Always || Value != 0);
  }
}

void TuxCustomTabControl::CreateHandle() {
  TuxControl::CreateHandle();
  LayoutChanged();
  Realign();
}

void TuxCustomTabControl::CreateParams(TCreateParams& Params) {
  TuxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuxCustomTabControl::Paint() {
  if (IsDestroying() || !FPainter) return;
  FPainter->SaveClipRegion();
  try {
    FPainter->Paint();
  } catch (...) {
    FPainter->RestoreClipRegion();
    throw;
  }
  FPainter->RestoreClipRegion();
}

void TuxCustomTabControl::Resize() {
  TuxControl::Resize();
  LayoutChanged();
  Realign();
  if (FOptions.Contains(pcoRedrawOnResize) && FPainter && FPainter->NeedsRedrawOnResize() && HandleAllocated())
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
}

void TuxCustomTabControl::FocusChanged() {
  TuxControl::FocusChanged();
  if (IsDestroying() || FMainTab == -1 || FMainTab >= FVisibleTabs->Count()) return;
  if (VisibleTab(FMainTab)->IsVisibleOnScreen()) TabChanged(FMainTab, tckControlFocus);
}

void TuxCustomTabControl::FontChanged() {
  TuxControl::FontChanged();
  LayoutChanged();
}

void TuxCustomTabControl::MouseLeave(TControl* Control) {
  TuxControl::MouseLeave(Control);
  if (!FGoDialogShowing) UpdateHotTrack(TShiftState());
}

void TuxCustomTabControl::WMGetDlgCode(TMessage& M) {
  TuxControl::Dispatch(M);
  M.Result |= DLGC_WANTARROWS;
}

void TuxCustomTabControl::CMDialogChar(TMessage& M) {
  if (DialogChar(Word(M.WParam))) {
    M.Result = 1;
    return;
  }
  TuxControl::Dispatch(M);
}

bool TuxCustomTabControl::FocusIsInside() {
  if (!HandleAllocated()) return false;
  HWND Focus = GetFocus();
  if (!Focus) return false;
  if (Focus == Handle()) return true;
  TWinControl* C = FindControl(Focus);
  return C && ContainsControl(C);
}

void TuxCustomTabControl::CMDialogKey(TMessage& M) {
  if (FocusIsInside()) {
    Word Key = Word(M.WParam);
    if (ProcessKey(Key, KeyDataToShiftState(M.LParam))) {
      M.Result = 1;
      return;
    }
  }
  TuxControl::Dispatch(M);
}

void TuxCustomTabControl::CMDesignHitTest(TMessage& M) {
  const int X = GET_X_LPARAM(M.LParam), Y = GET_Y_LPARAM(M.LParam);
  TuxPCNavigatorButton B;
  if (FPainter && !FHideTabs) {
    if (FPainter->GetNavigatorButtonAt(X, Y, B) && (B == nbTopLeft || B == nbBottomRight)) {
      M.Result = 1;
      return;
    }
    const int T = TabAt(X, Y);
    if (T != -1 && T != FMainTab) {
      M.Result = 1;
      return;
    }
  }
  TuxControl::Dispatch(M);
}

void TuxCustomTabControl::CMEnabledChanged(TMessage& M) {
  TuxControl::Dispatch(M);
  Invalidate();
}

void TuxCustomTabControl::CMParentColorChanged(TMessage& M) {
  TuxControl::Dispatch(M);
  Invalidate();
}

void TuxCustomTabControl::CMMouseLeave(TMessage& M) {
  std::shared_ptr<bool> Alive = AliveToken();
  TuxControl::Dispatch(M);
  if (*Alive && !FGoDialogShowing) UpdateHotTrack(GetShiftState());
}

void TuxCustomTabControl::WMPrintClient(TMessage& M) {
  if (PrintsClient())
    TuxControl::Dispatch(M);
  else
    M.Result = 1;
}

// ---------------------------------------------------------------------------
// the go-to-tab menu

AnsiString uxPCRemoveAccelerators(const AnsiString& Caption) {
  AnsiString R;
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&') {
      if (i + 1 < Caption.size()) R += Caption[++i];
      continue;
    }
    R += Caption[i];
  }
  return R;
}

TuxPCGoDialog::TuxPCGoDialog(TuxCustomTabControl* AControl) : TPopupMenu(AControl), FControl(AControl) {}

void TuxPCGoDialog::PopupSorted(bool Sorted) {
  TStringList Entries;
  TuxVisibleTabList* V = FControl->VisibleTabs();
  for (int i = 0; i < V->Count(); ++i) {
    TuxTab* T = V->Tabs(i);
    if (T->IsEnabled()) Entries.AddObject(uxPCRemoveAccelerators(T->Caption()), T);
  }
  if (Sorted) Entries.Sort();
  Items()->Clear();
  for (int i = 0; i < Entries.Count(); ++i) {
    auto* T = static_cast<TuxTab*>(Entries.Objects(i));
    auto* Item = new TMenuItem(this);
    Item->SetCaption(T->Caption());
    Item->SetTag(T->Index());
    Item->OnClick = TNotifyEvent(this, &TuxPCGoDialog::ItemClick);
    Items()->Add(Item);
  }
  TRect B{};
  if (FControl->Painter()) FControl->Painter()->GetGoDialogButtonBounds(B);
  const TPoint P = FControl->ClientToScreen(pcPoint(B.left, B.bottom));
  Popup(P.x, P.y);
}

void TuxPCGoDialog::ItemClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (Item && OnTabClick) OnTabClick(int(Item->Tag()));
}

// ---------------------------------------------------------------------------
// the image list wrapper

TuxPCImageList::TuxPCImageList(TuxCustomTabControl* AOwner) : FOwnerControl(AOwner) {
  FImagesChangeLink = std::make_unique<TChangeLink>();
  FImagesChangeLink->OnChange = TNotifyEvent(this, &TuxPCImageList::BaseImagesChanged);
  FImagesFreeWatcher = std::make_unique<TuxFreeNotificator>(nullptr);
  FImagesFreeWatcher->OnFreeNotification = [this](TComponent* Sender) { BaseImagesFreed(Sender); };
}

TuxPCImageList::~TuxPCImageList() {
  if (FBaseImages) {
    FBaseImages->UnRegisterChanges(FImagesChangeLink.get());
    FImagesFreeWatcher->RemoveSender(FBaseImages);
  }
}

void TuxPCImageList::SetBaseImages(TCustomImageList* Value) {
  if (Value == FBaseImages) return;
  if (FBaseImages) {
    FBaseImages->UnRegisterChanges(FImagesChangeLink.get());
    FImagesFreeWatcher->RemoveSender(FBaseImages);
  }
  FBaseImages = Value;
  if (FBaseImages) {
    FBaseImages->RegisterChanges(FImagesChangeLink.get());
    FImagesFreeWatcher->AddSender(FBaseImages);
  }
  BaseImagesChanged();
}

void TuxPCImageList::BaseImagesFreed(TComponent* Sender) {
  if (Sender != FBaseImages) return;
  FBaseImages = nullptr;
  BaseImagesChanged();
}

void TuxPCImageList::SetRotationKind(Byte Value) {
  FRotationKind = Value;
  BaseImagesChanged();
}

void TuxPCImageList::BaseImagesChanged(TObject*) {
  if (FRotationKind != 0 && FBaseImages && FBaseImages->Count() > 0) {
    FRotatedImageCache.clear();
    FRotatedImageCache.resize(std::size_t(FBaseImages->Count()));
    for (TRotatedImage& E : FRotatedImageCache) {
      E.Bitmap = std::make_unique<TBitmap>();
      E.Bitmap->SetPixelFormat(pf32bit);
    }
  }
  if (OnChange) OnChange();
}

TSize TuxPCImageList::GetImageSize() const {
  TSize S{0, 0};
  if (FBaseImages && FBaseImages->Width() > 0 && FBaseImages->Height() > 0) {
    S.cx = FBaseImages->Width();
    S.cy = FBaseImages->Height();
  }
  return S;
}

TSize TuxPCImageList::GetRotatedImageSize() const {
  TSize S = GetImageSize();
  if (FRotationKind != 0) std::swap(S.cx, S.cy);
  return S;
}

void TuxPCImageList::UpdateRotatedImage(int Index, TColor BackgroundColor, bool Enabled) {
  if (std::size_t(Index) >= FRotatedImageCache.size()) {
    FRotatedImageCache.resize(std::size_t(Index) + 1);
  }
  TRotatedImage& E = FRotatedImageCache[std::size_t(Index)];
  if (E.Valid && E.Color == BackgroundColor && E.Enabled == Enabled) return;
  if (!E.Bitmap) E.Bitmap = std::make_unique<TBitmap>();
  ++FCacheRedraws;
  E.Color = BackgroundColor;
  E.Enabled = Enabled;
  E.Valid = true;
  TBitmap* B = E.Bitmap.get();
  B->SetPixelFormat(pf32bit);
  B->SetSize(FBaseImages->Width(), FBaseImages->Height());
  B->Canvas()->Brush()->SetColor(BackgroundColor);
  B->Canvas()->FillRect(pcRect(0, 0, B->Width(), B->Height()));
  if (FOwnerControl->Painter() && FOwnerControl->Painter()->IsNativePainting()) B->SetTransparent(true);
  if (OnPrepareBitmap) OnPrepareBitmap(B);
  FBaseImages->Draw(B->Canvas(), 0, 0, Index, Enabled);
  uxRotateBitmap(B, TuxTextRotation(FRotationKind));
}

void TuxPCImageList::Draw(TCanvas* ACanvas, int X, int Y, int Index, TColor BackgroundColor, bool Enabled) {
  if (!FBaseImages || FBaseImages->Count() == 0)
    throw EuxPCError("TuxPCImageList.Draw: BaseImages is not assigned");
  if (Index < 0 || Index >= FBaseImages->Count())
    throw EuxPCError("TuxPCImageList.Draw: " +
                     Format("Index (%d) must be between 0 and %d", {Index, FBaseImages->Count() - 1}));
  if (FRotationKind != 0) {
    UpdateRotatedImage(Index, BackgroundColor, Enabled);
    ACanvas->Draw(X, Y, FRotatedImageCache[std::size_t(Index)].Bitmap.get());
    return;
  }
  if (FOwnerControl->Painter() && FOwnerControl->Painter()->IsNativePainting()) {
    FBaseImages->Draw(ACanvas, X, Y, Index, Enabled);
    return;
  }
  TBitmap B;
  B.SetPixelFormat(pf32bit);
  B.SetSize(FBaseImages->Width(), FBaseImages->Height());
  TCanvas* BC = B.Canvas();
  BC->SetFont(FOwnerControl->Canvas()->Font());
  BC->SetPen(FOwnerControl->Canvas()->Pen());
  BC->SetBrush(FOwnerControl->Canvas()->Brush());
  BC->Brush()->SetStyle(bsSolid);
  BC->Brush()->SetColor(BackgroundColor);
  BC->FillRect(pcRect(0, 0, B.Width(), B.Height()));
  if (OnPrepareBitmap) OnPrepareBitmap(&B);
  FBaseImages->Draw(BC, 0, 0, Index, Enabled);
  ACanvas->Draw(X, Y, &B);
}

// ---------------------------------------------------------------------------
// published settings

void uxInitTabControl() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterClasses({TuxTabSlants::StaticClass(), TuxTab::StaticClass()});
  RegisterProps<TuxTabSlants>([](TPropBuilder<TuxTabSlants>& p) {
    p.Prop("Kind", &TuxTabSlants::Kind, &TuxTabSlants::SetKind).Default(skSlant);
    p.Prop("Positions", &TuxTabSlants::Positions, &TuxTabSlants::SetPositions).Default(TuxTabSlantPositions{spLeft});
  });
  RegisterProps<TuxTab>([](TPropBuilder<TuxTab>& p) {
    p.Prop("Caption", &TuxTab::Caption, &TuxTab::SetCaption);
    p.Prop("Color", &TuxTab::Color, &TuxTab::SetColor).Default(clDefault).Idents(ColorIdentMap());
    p.Prop("Enabled", &TuxTab::Enabled, &TuxTab::SetEnabled).Default(true);
    p.Prop("Highlighted", &TuxTab::Highlighted, &TuxTab::SetHighlighted).Default(false);
    p.Prop("ImageIndex", &TuxTab::ImageIndex, &TuxTab::SetImageIndex).NoDefault().Stored([](TObject* O) {
      auto* T = static_cast<TuxTab*>(O);
      return T->ImageIndex() != T->Index();
    });
    p.Prop("Selected", &TuxTab::Selected, &TuxTab::SetSelected).Default(false);
    p.Prop("Visible", &TuxTab::Visible, &TuxTab::SetVisible).Default(true);
  });
}
