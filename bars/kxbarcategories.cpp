// The manager's category list (items follow their category by number), the
// groups that switch items together, and the background bitmaps.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "platform/classes/filer.h"
#include "platform/rtl/strings.h"

namespace {

// "默认"
const char* const kCategoriesDefault = "\xC4\xAC\xC8\xCF";
// "不能创建递归的分组"
const char* const kGroupsRecursive = "\xB2\xBB\xC4\xDC\xB4\xB4\xBD\xA8\xB5\xDD\xB9\xE9\xB5\xC4\xB7\xD6\xD7\xE9";

}  // namespace

// ===========================================================================
// TkxBarManagerCategories
// ===========================================================================

TkxBarManagerCategories::TkxBarManagerCategories(TkxBarManager* Manager) : FBarManager(Manager) {
  OnChange = [this](TObject*) {
    if (FBarManager) FBarManager->DesignerModified();
  };
  if (!FBarManager->IsLoading()) AddDefault();
}

TkxBarManagerCategories::~TkxBarManagerCategories() {
  OnChange = nullptr;
  for (int i = 0; i < Count(); ++i) delete Data(i);
}

void TkxBarManagerCategories::AddDefault() { Add(uxTranslateString(kCategoriesDefault)); }

TkxBarCategoryData* TkxBarManagerCategories::NeedData(int Index) {
  TkxBarCategoryData* d = Data(Index);
  if (!d) {
    d = new TkxBarCategoryData;
    PutObject(Index, d);
  }
  return d;
}

std::vector<TkxBarItem*> TkxBarManagerCategories::ItemsOf(int Index) const {
  std::vector<TkxBarItem*> items;
  FBarManager->GetItemsByCategory(Index, items);
  return items;
}

void TkxBarManagerCategories::SetItemsCategory(int A, int B) {
  if (A < 0 || A >= Count() || B < 0) return;
  for (TkxBarItem* item : ItemsOf(A)) item->SetCategoryDirect(B);
}

void TkxBarManagerCategories::Insert(int Index, const AnsiString& S) {
  if (!FMoving && Index >= 0 && Index <= Count())
    for (int i = Count() - 1; i >= Index; --i) SetItemsCategory(i, i + 1);
  TStringList::Insert(Index, S);
}

void TkxBarManagerCategories::Delete(int Index) {
  if (FMoving) {
    TStringList::Delete(Index);
    return;
  }
  if (Index >= 0 && Index < Count()) {
    for (TkxBarItem* item : ItemsOf(Index)) item->Free();
    for (int i = Index + 1; i < Count(); ++i) SetItemsCategory(i, i - 1);
    delete Data(Index);
    PutObject(Index, nullptr);
  }
  TStringList::Delete(Index);
  if (Count() == 0) AddDefault();
}

void TkxBarManagerCategories::Clear() {
  for (int i = 0; i < Count(); ++i) {
    delete Data(i);
    PutObject(i, nullptr);
  }
  TStringList::Clear();
}

void TkxBarManagerCategories::Exchange(int Index1, int Index2) {
  if (Index1 >= 0 && Index1 < Count() && Index2 >= 0 && Index2 < Count()) {
    std::vector<TkxBarItem*> a = ItemsOf(Index1), b = ItemsOf(Index2);
    for (TkxBarItem* item : a) item->SetCategoryDirect(Index2);
    for (TkxBarItem* item : b) item->SetCategoryDirect(Index1);
  }
  TStringList::Exchange(Index1, Index2);
}

void TkxBarManagerCategories::Move(int CurIndex, int NewIndex) {
  if (CurIndex >= 0 && CurIndex < Count() && NewIndex >= 0 && NewIndex < Count() && CurIndex != NewIndex) {
    std::vector<TkxBarItem*> moved = ItemsOf(CurIndex);
    for (TkxBarItem* item : moved) item->SetCategoryDirect(-1000);
    if (CurIndex < NewIndex)
      for (int i = CurIndex + 1; i <= NewIndex; ++i) SetItemsCategory(i, i - 1);
    else
      for (int i = CurIndex - 1; i >= NewIndex; --i) SetItemsCategory(i, i + 1);
    for (TkxBarItem* item : moved) item->SetCategoryDirect(NewIndex);
  }
  FMoving = true;
  try {
    TStringList::Move(CurIndex, NewIndex);
  } catch (...) {
    FMoving = false;
    throw;
  }
  FMoving = false;
}

void TkxBarManagerCategories::DefineProperties(TFiler* Filer) {
  TStringList::DefineProperties(Filer);
  Filer->DefineProperty(
      "ItemsVisibles",
      [this](TReader* r) {
        FReadItemsVisibles.clear();
        r->ReadListBegin();
        while (!r->EndOfList()) FReadItemsVisibles.push_back(r->ReadInteger());
        r->ReadListEnd();
        FHasReadLists = true;
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < Count(); ++i) w->WriteInteger(FBarManager->GetCategoryItemsVisible(i));
        w->WriteListEnd();
      },
      true);
  Filer->DefineProperty(
      "Visibles",
      [this](TReader* r) {
        FReadVisibles.clear();
        r->ReadListBegin();
        while (!r->EndOfList()) FReadVisibles.push_back(r->ReadBoolean());
        r->ReadListEnd();
        FHasReadLists = true;
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < Count(); ++i) w->WriteBoolean(FBarManager->GetCategoryVisible(i));
        w->WriteListEnd();
      },
      true);
}

void TkxBarManagerCategories::ApplyReadLists() {
  if (!FHasReadLists) return;
  FHasReadLists = false;
  BeginUpdate();
  try {
    for (std::size_t i = 0; i < FReadItemsVisibles.size() && i < FReadVisibles.size(); ++i) {
      int v = FReadItemsVisibles[i];
      if (v < ivNever || v > ivAlways || int(i) >= Count()) continue;  // out of range: ignored
      TkxBarCategoryData* d = NeedData(int(i));
      d->ReadItemsVisible = TkxBarItemVisible(v);
      d->HasReadItemsVisible = true;
      FBarManager->SetCategoryVisible(int(i), FReadVisibles[i]);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  FReadItemsVisibles.clear();
  FReadVisibles.clear();
}

// ===========================================================================
// manager operations on categories
// ===========================================================================

void TkxBarManager::SetCategories(TStringList* Value) { FCategories->Assign(Value); }

TkxBarItemVisible TkxBarManager::GetCategoryItemsVisible(int Index) const {
  if (Index < 0 || Index >= FCategories->Count()) return ivNever;
  TkxBarCategoryData* d = FCategories->Data(Index);
  return d ? d->ItemsVisible : ivAlways;
}

bool TkxBarManager::GetCategoryVisible(int Index) const {
  if (Index < 0 || Index >= FCategories->Count()) return false;
  TkxBarCategoryData* d = FCategories->Data(Index);
  return d ? d->Visible : true;
}

void TkxBarManager::SetCategoryVisible(int Index, bool Value) {
  if (Index < 0 || Index >= FCategories->Count() || GetCategoryVisible(Index) == Value) return;
  FCategories->NeedData(Index)->Visible = Value;
  DesignerModified();
}

void TkxBarManager::SetCategoryItemsVisible(int Index, TkxBarItemVisible Value) {
  if (Index < 0 || Index >= FCategories->Count()) return;
  TkxBarItemVisible old = GetCategoryItemsVisible(Index);
  TkxBarCategoryData* d = FCategories->NeedData(Index);
  if (IsLoading()) {
    d->ReadItemsVisible = Value;
    d->HasReadItemsVisible = true;
    return;
  }
  d->ItemsVisible = Value;
  if (!FDesigning) {
    std::vector<bool> wasEmpty;
    if (FAutoHideEmptyBars)
      for (int i = 0; i < FBars->Count(); ++i) wasEmpty.push_back(FBars->Items(i)->ItemLinks()->VisibleItemCount() == 0);
    bool saved = FLockUpdate;
    LockUpdate(true);
    try {
      std::vector<TkxBarItem*> items;
      GetItemsByCategory(Index, items);
      if (Value == ivAlways) std::reverse(items.begin(), items.end());
      for (TkxBarItem* item : items)
        if (item->Visible() == old) item->SetVisible(Value);
      if (FAutoHideEmptyBars)
        for (int i = 0; i < FBars->Count() && i < int(wasEmpty.size()); ++i) {
          TkxBar* bar = FBars->Items(i);
          bool empty = bar->ItemLinks()->VisibleItemCount() == 0;
          if (Value == ivNever && empty && !wasEmpty[std::size_t(i)] && bar->Visible()) {
            bar->SetVisible(false);
            bar->SetAutoHidden(true);
          } else if (Value == ivAlways && bar->AutoHidden() && !empty) {
            bar->SetAutoHidden(false);
            bar->SetVisible(true);
          }
        }
    } catch (...) {
      LockUpdate(saved);
      throw;
    }
    LockUpdate(saved);
  }
  if (Value != old) DesignerModified();
}

int TkxBarManager::GetCategoryIndexByVisibleIndex(int N) const {
  if (FDesigning) return N;
  for (int i = 0, k = 0; i < FCategories->Count(); ++i)
    if (GetCategoryVisible(i)) {
      if (k == N) return i;
      ++k;
    }
  return -1;
}

int TkxBarManager::GetItemsByCategory(int Index, std::vector<TkxBarItem*>& List) const {
  List.clear();
  if (Index < 0 || Index >= FCategories->Count()) return 0;
  for (TkxBarItem* item : FItems)
    if (item->Category() == Index) List.push_back(item);
  return int(List.size());
}

int TkxBarManager::GetVisibleItemsByCategory(int Index, std::vector<TkxBarItem*>& List) const {
  GetItemsByCategory(Index, List);
  if (!FDesigning)
    std::erase_if(List, [](TkxBarItem* item) { return !item->IsAvailable() || item->IsHiddenInCustomizing(); });
  return int(List.size());
}

// ===========================================================================
// TkxBarGroup
// ===========================================================================

TkxBarGroup::TkxBarGroup(TComponent* AOwner) : TComponent(AOwner) {}

TkxBarGroup::~TkxBarGroup() {
  for (TComponent* c : FMembers) c->RemoveFreeNotification(this);
  FMembers.clear();
  if (FBarManager) FBarManager->RemoveGroup(this);
}

TComponent* TkxBarGroup::GetMember(int Index) const {
  return Index >= 0 && Index < Count() ? FMembers[std::size_t(Index)] : nullptr;
}

int TkxBarGroup::IndexOf(TComponent* Component) const {
  auto it = std::find(FMembers.begin(), FMembers.end(), Component);
  return it == FMembers.end() ? -1 : int(it - FMembers.begin());
}

bool TkxBarGroup::Contains(const TkxBarGroup* Group) const {
  for (TComponent* c : FMembers) {
    if (c == Group) return true;
    if (auto* g = dynamic_cast<TkxBarGroup*>(c); g && g->Contains(Group)) return true;
  }
  return false;
}

void TkxBarGroup::Add(TComponent* Component) {
  if (!Component || IndexOf(Component) >= 0) return;
  auto* group = dynamic_cast<TkxBarGroup*>(Component);
  if (!group && !dynamic_cast<TkxBarItem*>(Component)) return;
  if (group && (group == this || group->Contains(this))) throw EkxBarError(uxTranslateString(kGroupsRecursive));
  FMembers.push_back(Component);
  Component->FreeNotification(this);
}

void TkxBarGroup::Remove(TComponent* Component) {
  int i = IndexOf(Component);
  if (i < 0) return;
  FMembers.erase(FMembers.begin() + i);
  Component->RemoveFreeNotification(this);
}

void TkxBarGroup::MoveMember(int From, int To) {
  if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To) return;
  TComponent* c = FMembers[std::size_t(From)];
  FMembers.erase(FMembers.begin() + From);
  FMembers.insert(FMembers.begin() + To, c);
}

int TkxBarGroup::GetIndex() const {
  if (!FBarManager) return -1;
  for (int i = 0; i < FBarManager->GroupCount(); ++i)
    if (FBarManager->GetGroup(i) == this) return i;
  return -1;
}

void TkxBarGroup::SetIndex(int Value) {
  if (FBarManager) FBarManager->MoveGroup(this, Value);
}

// Runs Apply on every member under the manager's update lock (not while
// loading or destroyed), giving the lock its previous value back afterwards.
template <class F>
void TkxBarGroup::SwitchMembers(F Apply) {
  bool busy = ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying);
  bool lock = FBarManager && !busy;
  bool saved = FBarManager ? FBarManager->LockedUpdate() : false;
  if (lock) FBarManager->LockUpdate(true);
  try {
    for (TComponent* c : std::vector<TComponent*>(FMembers)) Apply(c);
  } catch (...) {
    if (lock) FBarManager->LockUpdate(saved);
    throw;
  }
  if (lock) FBarManager->LockUpdate(saved);
}

void TkxBarGroup::SetEnabled(bool Value) {
  FEnabled = Value;
  SwitchMembers([Value](TComponent* c) {
    if (auto* item = dynamic_cast<TkxBarItem*>(c)) item->SetEnabled(Value);
    else if (auto* g = dynamic_cast<TkxBarGroup*>(c)) g->SetEnabled(Value);
  });
}

void TkxBarGroup::SetVisible(TkxBarItemVisible Value) {
  FVisible = Value;
  SwitchMembers([Value](TComponent* c) {
    if (auto* item = dynamic_cast<TkxBarItem*>(c)) item->SetVisible(Value);
    else if (auto* g = dynamic_cast<TkxBarGroup*>(c)) g->SetVisible(Value);
  });
}

TComponent* TkxBarGroup::GetParentComponent() const { return FBarManager; }

void TkxBarGroup::SetParentComponent(TComponent* Value) {
  auto* m = dynamic_cast<TkxBarManager*>(Value);
  if (m == FBarManager) return;
  if (FBarManager) FBarManager->RemoveGroup(this);
  FBarManager = m;
  if (m) m->InsertGroup(this);
}

void TkxBarGroup::Loaded() {
  TComponent::Loaded();
  if (!FReadNames) return;
  std::unique_ptr<std::vector<AnsiString>> names = std::move(FReadNames);
  TComponent* root = FBarManager ? static_cast<TComponent*>(FBarManager->OwnerForm()) : Owner();
  if (!root) return;
  for (const AnsiString& n : *names)
    if (TComponent* c = root->FindComponent(n)) Add(c);
}

void TkxBarGroup::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) std::erase(FMembers, AComponent);
}

void TkxBarGroup::SetName(const AnsiString& NewName) {
  TComponent::SetName(NewName);
  // the customizing window shows group names; it refreshes itself from the manager
  if (FBarManager) FBarManager->DesignerModified();
}

void TkxBarGroup::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      "Items",
      [this](TReader* r) {
        auto names = std::make_unique<std::vector<AnsiString>>();
        r->ReadListBegin();
        while (!r->EndOfList()) names->push_back(r->ReadIdent());
        r->ReadListEnd();
        FReadNames = std::move(names);
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (TComponent* c : FMembers) w->WriteIdent(c->Name());
        w->WriteListEnd();
      },
      !FMembers.empty());
}

void TkxBarManager::InsertGroup(TkxBarGroup* Group) {
  if (std::find(FGroups.begin(), FGroups.end(), Group) == FGroups.end()) FGroups.push_back(Group);
}

void TkxBarManager::RemoveGroup(TkxBarGroup* Group) { std::erase(FGroups, Group); }

void TkxBarManager::MoveGroup(TkxBarGroup* Group, int Index) {
  auto it = std::find(FGroups.begin(), FGroups.end(), Group);
  if (it == FGroups.end() || Index < 0 || Index >= GroupCount()) return;
  FGroups.erase(it);
  FGroups.insert(FGroups.begin() + Index, Group);
  DesignerModified();
}

// ===========================================================================
// TkxBarBackgrounds
// ===========================================================================

TkxBarBackgrounds::TkxBarBackgrounds(TkxBarManager* Manager) : FBarManager(Manager) {
  FBar = std::make_unique<TBitmap>();
  FSubMenu = std::make_unique<TBitmap>();
  FBar->OnChange = TNotifyEvent(this, &TkxBarBackgrounds::BarChanged);
}

TkxBarBackgrounds::~TkxBarBackgrounds() = default;

void TkxBarBackgrounds::BarChanged(TObject*) {
  if (FBarManager && !FBarManager->IsDestroying()) FBarManager->StyleChanged();
}

void TkxBarBackgrounds::SetBar(TBitmap* Value) {
  bool tell = (Value && !Value->Empty()) || !FBar->Empty();
  FBar->OnChange = nullptr;
  FBar->Assign(Value);
  FBar->OnChange = TNotifyEvent(this, &TkxBarBackgrounds::BarChanged);
  if (tell) BarChanged(this);
}

void TkxBarBackgrounds::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TkxBarBackgrounds*>(Source)) {
    SetBar(b->Bar());
    SetSubMenu(b->SubMenu());
    return;
  }
  TPersistent::Assign(Source);
}

void TkxBarManager::SetBackgrounds(TkxBarBackgrounds* Value) { FBackgrounds->Assign(Value); }

TBitmap* TkxBarManager::BarBackground() const {
  return FBackgrounds && !FBackgrounds->Bar()->Empty() ? FBackgrounds->Bar() : nullptr;
}

TBitmap* TkxBarManager::SubMenuBackground() const {
  return FBackgrounds && !FBackgrounds->SubMenu()->Empty() ? FBackgrounds->SubMenu() : nullptr;
}
