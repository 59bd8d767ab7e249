// Items: the commands of the bar library, their shared state, click path and
// action support; and the link of an item to a platform action.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarpopup.h"
#include "platform/rtl/strings.h"

TkxBarItem::TkxBarItem(TComponent* AOwner) : TComponent(AOwner) {
  TkxBarManager* m = nullptr;
  if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) m = kxBarGetManagerByForm(form);
  if (!m) m = kxBarGetManager(0);
  FBarManager = m;
  if (m) m->AddItem(this);
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = TNotifyEvent(this, &TkxBarItem::DoGlyphChanged);
}

TkxBarItem::~TkxBarItem() {
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  kxBarRemoveTempItem(this);
  LinksClear();
  if (FBarManager) {
    FBarManager->RemoveItem(this);
    // The customizing window's lists drop the item.
    kxBarCustomizingFormItemDestroyed();
  }
  FBarManager = nullptr;
  if (FActionLink) FActionLink->SetAction(nullptr);
  FActionLink.reset();
  FGlyph.reset();
  uxClearObjectLinks(this);
}

// ---------------------------------------------------------------------------
// settings

void TkxBarItem::SetBarManager(TkxBarManager* Manager) {
  if (Manager == FBarManager) return;
  if (FBarManager) FBarManager->RemoveItem(this);
  FBarManager = Manager;
  if (FBarManager) FBarManager->AddItem(this);
  BarManagerChanged();
}

bool TkxBarItem::IsCustomizing() const { return FBarManager && FBarManager->IsCustomizingOrDesigning(); }

void TkxBarItem::SetAlign(TkxBarItemAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  AlignChanged();
}

void TkxBarItem::AlignChanged() {
  for (TkxBarItemLink* l : FLinks)
    if (l->Control()) l->Control()->AlignChanged();
}

void TkxBarItem::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  bool follows = !FActionCopying && !SubItemLinks() && (FHint.empty() || HintFollowsCaption());
  FCaption = Value;
  if (IsLoading()) return;
  if (follows) {
    AnsiString shortHint = GetHintText();
    bool hasLong = AnsiPos("|", FHint) != 0;
    FHint = hasLong ? shortHint + "|" + GetLongHint(FHint) : shortHint;
  }
  CaptionChanged();
}

void TkxBarItem::SetCategory(int Value) {
  if (IsLoading()) {
    FCategory = Value;
    return;
  }
  if (!FBarManager || Value < 0 || Value >= FBarManager->Categories()->Count()) return;
  FCategory = Value;
  if (FBarManager) FBarManager->DesignerModified();
  if (!kxBarDesignCommandRunning()) kxBarCustomizingFormSelectItem(this, false);
}

bool TkxBarItem::Enabled() const {
  if (FBarManager && FBarManager->IsCustomizing() && FCategory >= 0) return true;
  return FEnabled;
}

void TkxBarItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (!IsLoading()) EnabledChanged();
}

void TkxBarItem::SetVisible(TkxBarItemVisible Value) {
  if (IsLoading()) {
    FDeferredVisible = Value;
    return;
  }
  if (Value == FVisible) return;
  FVisible = Value;
  FDeferredVisible = Value;
  VisibleChanged();
}

void TkxBarItem::ApplyLoadedVisible() {
  TkxBarItemVisible v = FDeferredVisible;
  if (v == FVisible) return;
  FVisible = v;
  VisibleChanged();
}

void TkxBarItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  if (!IsLoading()) ShortCutChanged();
}

void TkxBarItem::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  GlyphChanged();
}

TCustomImageList* TkxBarItem::GetImages() const { return FBarManager ? FBarManager->Images() : nullptr; }

// ---------------------------------------------------------------------------
// state

TkxBarItemLink* TkxBarItem::CurItemLink() const {
  for (TkxBarItemLink* l : FLinks) {
    TkxBarItemControl* c = l->Control();
    if (c && c->Parent() && c->Parent()->SelectedControl() == c) return l;
  }
  return nullptr;
}

void TkxBarItem::AddLink(TkxBarItemLink* Link) {
  if (std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end()) FLinks.push_back(Link);
}

void TkxBarItem::RemoveLink(TkxBarItemLink* Link) { std::erase(FLinks, Link); }

void TkxBarItem::LinksClear() {
  if (FLinks.empty()) return;
  bool lock = false;
  for (TkxBarItemLink* l : FLinks) {
    auto* t = dynamic_cast<TkxBarControl*>(l->BarControl());
    if (t && t->Bar() && !t->Bar()->LockUpdate()) lock = true;
  }
  bool saved = FBarManager ? FBarManager->LockedUpdate() : false;
  if (lock && FBarManager && !FBarManager->IsDestroying()) FBarManager->LockUpdate(true);
  try {
    while (!FLinks.empty()) {
      TkxBarItemLink* l = FLinks.back();
      FLinks.pop_back();
      l->Free();
    }
  } catch (...) {
    if (lock && FBarManager && !FBarManager->IsDestroying()) FBarManager->LockUpdate(saved);
    throw;
  }
  if (lock && FBarManager && !FBarManager->IsDestroying()) FBarManager->LockUpdate(saved);
}

bool TkxBarItem::IsAvailable() const {
  bool customizing = IsCustomizing();
  if (FVisible == ivAlways) return CanBeVisible() || customizing;
  return FVisible == ivInCustomizing && customizing;
}

AnsiString TkxBarItem::GetHintText() const {
  AnsiString s = FCaption;
  std::size_t amp = s.find('&');
  if (amp != AnsiString::npos) s.erase(amp, 1);
  std::size_t dots = s.find("...");
  if (dots != AnsiString::npos) s.erase(dots, 3);
  return s;
}

bool TkxBarItem::HintFollowsCaption() const {
  return GetShortHint(FHint) == GetHintText();
}

bool TkxBarItem::IsImageAssigned() const {
  TCustomImageList* images = GetImages();
  return images && FImageIndex >= 0 && FImageIndex < images->Count();
}

// ---------------------------------------------------------------------------
// notifications to the controls of the links

void TkxBarItem::CaptionChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (l->Control() && !l->UserDefine().Contains(udCaption)) l->Control()->CaptionChanged();
}

void TkxBarItem::EnabledChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (l->Control()) l->Control()->EnabledChanged();
}

void TkxBarItem::GlyphChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (l->Control() && !l->UserDefine().Contains(udGlyph)) l->Control()->GlyphChanged();
}

void TkxBarItem::ShortCutChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (l->Control()) l->Control()->ShortCutChanged();
}

void TkxBarItem::RepaintControls() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks)) {
    TkxBarItemControl* c = l->Control();
    if (!c) continue;
    TCustomkxBarControl* p = c->Parent();
    if (p && p->Active() && !p->IsMenuWindow() && p->SelectedControl() == c &&
        static_cast<TkxBarControl*>(p)->BarManager()->HasBarInMenuMode())
      continue;
    c->Repaint();
  }
}

void TkxBarItem::RebuildWindows() {
  std::vector<TCustomkxBarControl*> windows;
  for (TkxBarItemLink* l : FLinks) {
    TCustomkxBarControl* w = l->BarControl();
    if (!w || std::find(windows.begin(), windows.end(), w) != windows.end()) continue;
    if (w->Active() && l->Control() && w->SelectedControl() == l->Control()) continue;
    windows.push_back(w);
  }
  for (TCustomkxBarControl* w : windows) w->Rebuild();
}

void TkxBarItem::VisibleChanged() {
  if (IsDesigning() || !FBarManager) return;
  bool saved = FBarManager->LockedUpdate();
  FBarManager->LockUpdate(true);
  try {
    for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks)) {
      if (TkxBarItemLinks* list = l->Owner()) list->RefreshLists();
      if (IsAvailable()) {
        l->MarkUsed(false);
        l->CreateControl();
        if (l->Control()) l->Control()->VisibleChanged();
      } else {
        l->MoveToEnd();
        if (TkxBarItemControl* c = l->Control()) {
          c->VisibleChanged();
          l->DestroyControl();
        }
      }
    }
  } catch (...) {
    FBarManager->LockUpdate(saved);
    throw;
  }
  FBarManager->LockUpdate(saved);
  FBarManager->ItemChangedInCustomizing(this);
}

// ---------------------------------------------------------------------------
// clicks

void TkxBarItem::DirectClick() {
  if (CanClicked()) Click();
}

void TkxBarItem::Click() {
  if (!Enabled()) return;
  TuxObjectLink* self = uxAddObjectLink(this);
  try {
    if (FBarManager) FBarManager->DoClickItem(this);
    if (self->Ref) DoClick();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  uxRemoveObjectLink(self);
}

void TkxBarItem::DoClick() {
  TBasicAction* action = Action();
  if (OnClick && (!action || !(OnClick == action->OnExecute))) {
    OnClick(this);
  } else if (!IsDesigning() && FActionLink && action) {
    FActionLink->Execute(this);
  }
}

// ---------------------------------------------------------------------------
// actions

TBasicAction* TkxBarItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TkxBarItem::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    if (FActionLink) FActionLink->SetAction(nullptr);
    FActionLink.reset();
    return;
  }
  bool loading = Value->ComponentState().Contains(csLoading);
  bool savedNotice = FBarManager ? FBarManager->DesignerNotificationEnabled() : true;
  if (loading && FBarManager) FBarManager->SetDesignerNotificationEnabled(false);
  if (!FActionLink) FActionLink = std::make_unique<TkxBarItemActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TkxBarItem::ActionLinkChanged);
  ActionChange(Value, loading);
  Value->FreeNotification(this);
  if (loading && FBarManager) FBarManager->SetDesignerNotificationEnabled(savedNotice);
}

void TkxBarItem::ActionLinkChanged(TObject* Sender) {
  if (FActionLink && Sender == FActionLink.get()) ActionChange(FActionLink->Action(), false);
}

void TkxBarItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  FActionCopying = true;
  try {
    if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
    if (!CheckDefaults || !GetDown()) SetDown(a->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(a->HelpContext());
    if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
    if (!CheckDefaults || FImageIndex == -1) SetActionImageIndex(a->ImageIndex());
    if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
    if (!CheckDefaults || FVisible == ivAlways) SetVisible(a->Visible() ? ivAlways : ivNever);
    if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
  } catch (...) {
    FActionCopying = false;
    throw;
  }
  FActionCopying = false;
}

void TkxBarItem::AssignTo(TPersistent* Dest) {
  auto* a = dynamic_cast<TCustomAction*>(Dest);
  if (!a) {
    TComponent::AssignTo(Dest);
    return;
  }
  a->SetCaption(FCaption);
  a->SetChecked(GetDown());
  a->SetEnabled(FEnabled);
  a->SetHelpContext(FHelpContext);
  a->SetHint(FHint);
  a->SetImageIndex(FImageIndex);
  a->SetShortCut(FShortCut);
  if (FVisible == ivNever) a->SetVisible(false);
  else if (FVisible == ivAlways) a->SetVisible(true);
  a->OnExecute = OnClick;
}

bool TkxBarItem::IsCaptionStored() const { return !FActionLink || !FActionLink->IsCaptionLinked(); }
bool TkxBarItem::IsEnabledStored() const { return !FActionLink || !FActionLink->IsEnabledLinked(); }
bool TkxBarItem::IsHelpContextStored() const { return !FActionLink || !FActionLink->IsHelpContextLinked(); }
bool TkxBarItem::IsHintStored() const { return !FActionLink || !FActionLink->IsHintLinked(); }
bool TkxBarItem::IsImageIndexStored() const { return !FActionLink || !FActionLink->IsImageIndexLinked(); }
bool TkxBarItem::IsShortCutStored() const { return !FActionLink || !FActionLink->IsShortCutLinked(); }
bool TkxBarItem::IsVisibleStored() const { return !FActionLink || !FActionLink->IsVisibleLinked(); }
bool TkxBarItem::IsOnClickStored() const { return !FActionLink || !FActionLink->IsOnExecuteLinked(); }

// ---------------------------------------------------------------------------
// component

void TkxBarItem::Loaded() {
  TComponent::Loaded();
  if (TBasicAction* a = Action()) ActionChange(a, true);
}

void TkxBarItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Action()) SetAction(nullptr);
}

void TkxBarItem::ReadState(TReader* Reader) { TComponent::ReadState(Reader); }

void TkxBarItem::SetName(const AnsiString& NewName) {
  TComponent::SetName(NewName);
  if (FBarManager) FBarManager->ItemChangedInCustomizing(this);
  kxBarCustomizingFormItemNameChanged();
}

TComponent* TkxBarItem::GetParentComponent() const { return FBarManager; }

void TkxBarItem::SetParentComponent(TComponent* Value) {
  if (auto* m = dynamic_cast<TkxBarManager*>(Value)) SetBarManager(m);
}

// ---------------------------------------------------------------------------
// the action link

TkxBarItemActionLink::TkxBarItemActionLink(TObject* AClient)
    : TActionLink(AClient), FClient(dynamic_cast<TkxBarItem*>(AClient)) {}

TCustomAction* TkxBarItemActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TkxBarItemActionLink::IsCaptionLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsCaptionLinked() && a && FClient->Caption() == a->Caption();
}

bool TkxBarItemActionLink::IsCheckedLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsCheckedLinked() && a && FClient->GetDown() == a->Checked();
}

bool TkxBarItemActionLink::IsEnabledLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsEnabledLinked() && a && FClient->StoredEnabled() == a->Enabled();
}

bool TkxBarItemActionLink::IsHelpContextLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsHelpContextLinked() && a && FClient->HelpContext() == a->HelpContext();
}

bool TkxBarItemActionLink::IsHintLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsHintLinked() && a && (FClient->Hint() == a->Hint() || FClient->HintFollowsCaption());
}

bool TkxBarItemActionLink::IsImageIndexLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsImageIndexLinked() && a && FClient->ImageIndex() == a->ImageIndex();
}

bool TkxBarItemActionLink::IsShortCutLinked() {
  TCustomAction* a = CustomAction();
  return TActionLink::IsShortCutLinked() && a && FClient->ShortCut() == a->ShortCut();
}

bool TkxBarItemActionLink::IsVisibleLinked() {
  TCustomAction* a = CustomAction();
  if (!TActionLink::IsVisibleLinked() || !a) return false;
  TkxBarItemVisible v = FClient->IsLoading() ? FClient->DeferredVisible() : FClient->Visible();
  return kxBarVisibleToItemVisible(a->Visible()) == v;
}

bool TkxBarItemActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute;
}

void TkxBarItemActionLink::SetCaption(const AnsiString& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TkxBarItemActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) FClient->SetDown(Value);
}
void TkxBarItemActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TkxBarItemActionLink::SetHelpContext(int Value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}
void TkxBarItemActionLink::SetHint(const AnsiString& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TkxBarItemActionLink::SetImageIndex(int Value) {
  if (IsImageIndexLinked()) FClient->SetActionImageIndex(Value);
}
void TkxBarItemActionLink::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) FClient->SetShortCut(Value);
}
void TkxBarItemActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(kxBarVisibleToItemVisible(Value));
}
void TkxBarItemActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) FClient->OnClick = Value;
}
