// Actions, action links, action lists and the standard MDI window actions.
#include "platform/controls/actnlist.h"
#include <algorithm>
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"

namespace {
std::vector<TCustomActionList*>& ActionListRegistry() {
  static std::vector<TCustomActionList*> v;
  return v;
}
}  // namespace

std::vector<TCustomActionList*> AllActionLists() { return ActionListRegistry(); }

// ---------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  // Clients forget the action before it goes.
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients)) l->FAction = nullptr;
  FClients.clear();
}

bool TBasicAction::Execute() {
  if (OnExecute) {
    OnExecute(this);
    return true;
  }
  return false;
}

bool TBasicAction::Update() {
  if (OnUpdate) {
    OnUpdate(this);
    return true;
  }
  return false;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (FActionComponent == Value) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
  if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end()) FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients)) l->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---------------------------------------------------------------------------
// links

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  struct Reset {
    TBasicAction* a;
    ~Reset() {
      if (a) a->SetActionComponent(nullptr);
    }
  } reset{FAction};
  return FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TActionLink::SetAction(TBasicAction* Value) { TBasicActionLink::SetAction(Value); }

namespace {
bool IsCustom(TBasicAction* a) { return dynamic_cast<TCustomAction*>(a) != nullptr; }
}  // namespace

bool TActionLink::IsCaptionLinked() { return IsCustom(FAction); }
bool TActionLink::IsCheckedLinked() { return IsCustom(FAction); }
bool TActionLink::IsEnabledLinked() { return IsCustom(FAction); }
bool TActionLink::IsHintLinked() { return IsCustom(FAction); }
bool TActionLink::IsImageIndexLinked() { return IsCustom(FAction); }
bool TActionLink::IsShortCutLinked() { return IsCustom(FAction); }
bool TActionLink::IsVisibleLinked() { return IsCustom(FAction); }
bool TActionLink::IsHelpContextLinked() { return IsCustom(FAction); }
bool TActionLink::IsGroupIndexLinked() { return IsCustom(FAction); }

void TActionLink::ActionChanged() {
  auto* a = dynamic_cast<TCustomAction*>(FAction);
  if (!a) return;
  SetCaption(a->Caption());
  SetChecked(a->Checked());
  SetEnabled(a->Enabled());
  SetHint(a->Hint());
  SetImageIndex(a->ImageIndex());
  SetShortCut(a->ShortCut());
  SetVisible(a->Visible());
  SetHelpContext(a->HelpContext());
}

// ---------------------------------------------------------------------------
// TContainedAction

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

void TContainedAction::SetCategory(const AnsiString& Value) {
  if (Value == FCategory) return;
  FCategory = Value;
  if (FActionList && FActionList->OnChange) FActionList->OnChange(FActionList);
}

int TContainedAction::Index() const {
  if (!FActionList) return -1;
  auto& v = FActionList->FActions;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : int(it - v.begin());
}

void TContainedAction::SetIndex(int Value) {
  if (!FActionList) return;
  auto& v = FActionList->FActions;
  int cur = Index();
  if (cur < 0) return;
  Value = std::clamp(Value, 0, int(v.size()) - 1);
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  if (Application && Application->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  if (Application && Application->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* Value) {
  if (auto* l = dynamic_cast<TCustomActionList*>(Value)) SetActionList(l);
}

void TContainedAction::ReadState(TReader* Reader) {
  TBasicAction::ReadState(Reader);
  if (auto* l = dynamic_cast<TCustomActionList*>(Reader->Parent())) SetActionList(l);
}

// ---------------------------------------------------------------------------
// TCustomAction

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

void TCustomAction::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetCaption(Value);
  FCaption = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (FChecking || Value == FChecked) return;
  FChecking = true;
  struct Done {
    bool& f;
    ~Done() { f = false; }
  } done{FChecking};
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetChecked(Value);
  FChecked = Value;
  if (Value && FGroupIndex > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (a && a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetEnabled(Value);
  FEnabled = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetVisible(Value);
  FVisible = Value;
  Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
  if (Value == FHint) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetHint(Value);
  FHint = Value;
  Change();
}

void TCustomAction::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetImageIndex(Value);
  FImageIndex = Value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetShortCut(Value);
  FShortCut = Value;
  Change();
}

void TCustomAction::SetHelpContext(int Value) {
  if (Value == FHelpContext) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetHelpContext(Value);
  FHelpContext = Value;
  Change();
}

void TCustomAction::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  for (auto* l : std::vector<TBasicActionLink*>(FClients))
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetGroupIndex(Value);
  FGroupIndex = Value;
  if (FChecked && Value > 0) {
    FChecked = false;
    SetChecked(true);
  }
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

bool TCustomAction::Update() {
  bool handled = TContainedAction::Update();
  if (!handled && FDisableIfNoHandler && !OnExecute) {
    // Nobody updates it and nothing would run: show it disabled.
    SetEnabled(false);
  }
  return handled;
}

bool TCustomAction::DoHint(AnsiString& HintStr) {
  HintStr = FHint;
  return true;
}

// ---------------------------------------------------------------------------
// TCustomActionList

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
  ActionListRegistry().push_back(this);
}

TCustomActionList::~TCustomActionList() {
  auto& r = ActionListRegistry();
  r.erase(std::remove(r.begin(), r.end(), this), r.end());
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->FActionList = nullptr;
  FActions.clear();
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FActions[std::size_t(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomActionList::SetState(TActionListState Value) {
  if (Value == FState) return;
  FState = Value;
  if (Value == asSuspendedEnabled)
    for (TContainedAction* a : FActions)
      if (auto* ca = dynamic_cast<TCustomAction*>(a)) ca->SetEnabled(true);
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  if (OnChange) OnChange(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  if (OnChange) OnChange(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (auto* a = dynamic_cast<TContainedAction*>(AComponent)) RemoveAction(a);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  if (FState != asNormal) return FState == asSuspended;
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  if (FState != asNormal) return true;
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut ShortCut) {
  if (ShortCut == 0 || FState != asNormal) return false;
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca || ca->ShortCut() != ShortCut) continue;
    ca->Update();
    if (!ca->Enabled() || !ca->Visible()) return false;
    ca->Execute();
    return true;
  }
  return false;
}

void TCustomActionList::UpdateActions() {
  if (FState != asNormal) return;
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->Update();
}

void TCustomActionList::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TContainedAction* a : FActions)
    if (a->Owner() == Root) Proc(a);
}

void TCustomActionList::SetChildOrder(TComponent* Child, int Order) {
  if (auto* a = dynamic_cast<TContainedAction*>(Child)) a->SetIndex(Order);
}

// ---------------------------------------------------------------------------
// standard MDI window actions

TWindowAction::TWindowAction(TComponent* AOwner) : TAction(AOwner) { SetDisableIfNoHandler(false); }

void TWindowAction::SetForm(TCustomForm* Value) {
  if (Value == FForm) return;
  if (FForm) FForm->RemoveFreeNotification(this);
  FForm = Value;
  if (Value) Value->FreeNotification(this);
}

void TWindowAction::Notification(TComponent* AComponent, TOperation Operation) {
  TAction::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FForm) FForm = nullptr;
}

TCustomForm* TWindowAction::TargetForm() const {
  TCustomForm* f = FForm;
  if (!f && Application) f = Application->MainForm();
  if (f && f->FormStyle() == fsMDIForm) return f;
  return nullptr;
}

bool TWindowAction::HandlesTarget(TObject* Target) {
  auto* f = dynamic_cast<TCustomForm*>(Target);
  return f && f->FormStyle() == fsMDIForm;
}

void TWindowAction::UpdateTarget(TObject* Target) {
  auto* f = dynamic_cast<TCustomForm*>(Target);
  SetEnabled(f && f->MDIChildCount() > 0);
}

bool TWindowAction::Update() {
  if (TContainedAction::Update()) return true;
  TCustomForm* f = TargetForm();
  SetEnabled(f && f->MDIChildCount() > 0);
  return true;
}

bool TWindowAction::Execute() {
  if (TContainedAction::Execute()) return true;
  TCustomForm* f = TargetForm();
  if (!f || f->MDIChildCount() == 0) return false;
  Act(f);
  return true;
}

TWindowClose::TWindowClose(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("C&lose"); }
void TWindowClose::Act(TCustomForm* Form) {
  if (TCustomForm* c = Form->ActiveMDIChild()) c->Close();
}
TWindowCascade::TWindowCascade(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Cascade"); }
void TWindowCascade::Act(TCustomForm* Form) { Form->Cascade(); }
TWindowTileHorizontal::TWindowTileHorizontal(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("Tile &Horizontally"); }
void TWindowTileHorizontal::Act(TCustomForm* Form) {
  Form->SetTileMode(tbHorizontal);
  Form->Tile();
}
TWindowTileVertical::TWindowTileVertical(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Tile Vertically"); }
void TWindowTileVertical::Act(TCustomForm* Form) {
  Form->SetTileMode(tbVertical);
  Form->Tile();
}
TWindowMinimizeAll::TWindowMinimizeAll(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Minimize All"); }
void TWindowMinimizeAll::Act(TCustomForm* Form) {
  for (int i = Form->MDIChildCount() - 1; i >= 0; --i) Form->MDIChildren(i)->SetWindowState(wsMinimized);
}
TWindowArrange::TWindowArrange(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Arrange"); }
void TWindowArrange::Act(TCustomForm* Form) { Form->ArrangeIcons(); }

// ---------------------------------------------------------------------------
// registration

void InitActnListProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TBasicAction::StaticClass(), TContainedAction::StaticClass(), TCustomAction::StaticClass(),
                   TAction::StaticClass(), TCustomActionList::StaticClass(), TActionList::StaticClass(),
                   TWindowAction::StaticClass(), TWindowClose::StaticClass(), TWindowCascade::StaticClass(),
                   TWindowTileHorizontal::StaticClass(), TWindowTileVertical::StaticClass(),
                   TWindowMinimizeAll::StaticClass(), TWindowArrange::StaticClass()});
  RegisterProps<TBasicAction>([](TPropBuilder<TBasicAction>& p) {
    p.Prop("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute);
    p.Prop("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate);
  });
  RegisterProps<TContainedAction>([](TPropBuilder<TContainedAction>& p) {
    p.Prop("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
  });
  RegisterProps<TCustomAction>([](TPropBuilder<TCustomAction>& p) {
    p.Prop("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(false);
    p.Prop("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
    p.Prop("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(false);
    p.Prop("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(true);
    p.Prop("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
    p.Prop("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
    p.Prop("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
    p.Prop("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
    p.Prop("ShortCut", [](TCustomAction* a) { return int(a->ShortCut()); },
           [](TCustomAction* a, int v) { a->SetShortCut(TShortCut(v)); })
        .Default(0);
    p.Prop("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(true);
  });
  RegisterProps<TWindowAction>([](TPropBuilder<TWindowAction>& p) {
    p.Prop("Form", &TWindowAction::Form, &TWindowAction::SetForm);
  });
  RegisterProps<TCustomActionList>([](TPropBuilder<TCustomActionList>& p) {
    p.Prop("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
    p.Prop("State", &TCustomActionList::State, &TCustomActionList::SetState).Default(asNormal);
    p.Prop("OnChange", &TCustomActionList::OnChange, &TCustomActionList::OnChange);
    p.Prop("OnExecute", &TCustomActionList::OnExecute, &TCustomActionList::OnExecute);
    p.Prop("OnUpdate", &TCustomActionList::OnUpdate, &TCustomActionList::OnUpdate);
  });
}
