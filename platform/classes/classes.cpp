#include "platform/classes/classes.h"

#include <algorithm>
#include <map>

#include "platform/classes/filer.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

AnsiString Replace1(const char* pattern, const AnsiString& arg) {
  AnsiString s = pattern;
  auto p = s.find("%s");
  if (p != AnsiString::npos) s.replace(p, 2, arg);
  return s;
}

AnsiString ReplaceD(const char* pattern, long long n) {
  AnsiString s = pattern;
  auto p = s.find("%d");
  if (p != AnsiString::npos) s.replace(p, 2, std::to_string(n));
  return s;
}

std::map<AnsiString, TClass>& ClassMap() {
  static std::map<AnsiString, TClass> m;
  return m;
}

std::vector<TComponent*>& Roots() {
  static std::vector<TComponent*> r;
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------
// class registry

void RegisterClass(TClass AClass) {
  for (TClass c = AClass; c; c = c->Parent) {
    auto& m = ClassMap();
    AnsiString key = UpperCase(c->Name);
    auto it = m.find(key);
    if (it != m.end()) {
      if (it->second != c)
        throw EFilerError(Replace1("A class named %s already exists", c->Name));
      return;  // this class and so its ancestors are known
    }
    m.emplace(key, c);
    if (c == TPersistent::StaticClass()) return;
  }
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass c : Classes) RegisterClass(c);
}

void UnRegisterClass(TClass AClass) {
  if (!AClass) return;
  auto& m = ClassMap();
  auto it = m.find(UpperCase(AClass->Name));
  if (it != m.end() && it->second == AClass) m.erase(it);
}

TClass GetClass(const AnsiString& ClassName) {
  auto& m = ClassMap();
  auto it = m.find(UpperCase(ClassName));
  return it == m.end() ? nullptr : it->second;
}

TClass FindClass(const AnsiString& ClassName) {
  TClass c = GetClass(ClassName);
  if (!c) throw EClassNotFound(Replace1(SClassNotFound, ClassName));
  return c;
}

TObject* CreateObject(TClass AClass, TObject* Owner) {
  if (!AClass || !AClass->Create)
    throw EClassNotFound(Replace1("Class %s cannot be created", AClass ? AClass->Name : "nil"));
  TObject* obj = AClass->Create(Owner);
  if (!obj) throw EClassNotFound(Replace1("Class %s cannot be created", AClass->Name));
  return obj;
}

void ClearClassRegistry() { ClassMap().clear(); }

bool IsValidIdent(const AnsiString& Ident, bool AllowDots) {
  if (Ident.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  bool start = true;
  for (char c : Ident) {
    if (start) {
      if (!alpha(c)) return false;
      start = false;
    } else if (c == '.' && AllowDots) {
      start = true;
    } else if (!alpha(c) && !digit(c)) {
      return false;
    }
  }
  return !start;
}

// ---------------------------------------------------------------------------
// TInterfacedPersistent

int TInterfacedPersistent::_AddRef() {
  IInterface* owner = dynamic_cast<IInterface*>(GetOwner());
  return owner ? owner->_AddRef() : -1;
}

int TInterfacedPersistent::_Release() {
  IInterface* owner = dynamic_cast<IInterface*>(GetOwner());
  return owner ? owner->_Release() : -1;
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // A root being destroyed can no longer be found by name.
  if (FIsGlobalRoot) RemoveGlobalRoot(this);
  Destroying();
  // Tell everyone who asked; each removes itself from our list in return.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(ReplaceD(SListIndexError, Index));
  return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& v = FOwner->FComponents;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!FOwner) return;
  int cur = ComponentIndex();
  if (cur < 0) return;
  auto& v = FOwner->FComponents;
  int last = static_cast<int>(v.size()) - 1;
  if (Value < 0) Value = 0;
  if (Value > last) Value = last;
  if (Value == cur) return;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
}

void TComponent::SetName(const AnsiString& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Replace1(SInvalidName, NewName));
  if (FOwner) FOwner->ValidateRename(this, FName, NewName);
  else ValidateRename(nullptr, FName, NewName);
  SetReference(false);
  ChangeName(NewName);
  SetReference(true);
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName) {
  if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
    throw EComponentError(Replace1(SDuplicateName, NewName));
  if (FComponentState.Contains(csDesigning) && FOwner) FOwner->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  AComponent->FOwner = nullptr;
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent) return;
  if (AComponent->FOwner == this) return;
  AComponent->ValidateContainer(this);
  ValidateRename(AComponent, "", AComponent->FName);
  // Two components of one owner never share a name, however the second arrives.
  if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
    throw EComponentError(Replace1(SDuplicateName, AComponent->FName));
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  AComponent->SetReference(true);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  AComponent->SetReference(false);
  Remove(AComponent);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    if (instance->FComponentState.Contains(csFreeNotification)) RemoveComponent(instance);
    else Remove(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState << csDestroying;
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::RemoveNotification(TComponent* AComponent) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Walk backwards and re-check the bound: a notified component may remove others.
  int i = ComponentCount() - 1;
  while (i >= 0) {
    FComponents[static_cast<std::size_t>(i)]->Notification(AComponent, Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::SetSubComponent(bool Value) {
  if (Value) FComponentStyle << csSubComponent;
  else FComponentStyle >> csSubComponent;
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value) FComponentState << csDesigning;
  else FComponentState >> csDesigning;
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::SetInline(bool Value) {
  if (Value) FComponentState << csInline;
  else FComponentState >> csInline;
}

void TComponent::SetAncestor(bool Value) {
  if (Value) FComponentState << csAncestor;
  else FComponentState >> csAncestor;
  for (TComponent* c : FComponents) c->SetAncestor(Value);
}

void TComponent::SetTransient(bool Value) {
  if (Value) FComponentState << csTransient;
  else FComponentState >> csTransient;
}

void TComponent::Loaded() { FComponentState >> csLoading; }

void TComponent::Updating() { FComponentState << csUpdating; }

void TComponent::Updated() { FComponentState >> csUpdating; }

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

void TComponent::SetReference(bool Enable) {
  if (!FOwner || FName.empty()) return;
  const TFieldInfo* f = FindField(FOwner->ClassType(), FName);
  if (!f) return;
  if (Enable) {
    if (InheritsFrom(f->FieldClass)) f->Set(FOwner, this);
  } else if (f->Get(FOwner) == this) {
    f->Set(FOwner, nullptr);
  }
}

void TComponent::DefineProperties(TFiler* Filer) {
  // Components that are not controls keep their designer position in DesignInfo.
  auto lo = [this] { return static_cast<SmallInt>(FDesignInfo & 0xFFFF); };
  auto hi = [this] { return static_cast<SmallInt>((static_cast<LongWord>(FDesignInfo) >> 16) & 0xFFFF); };
  auto set = [this](int left, int top) {
    FDesignInfo = static_cast<LongInt>((static_cast<LongWord>(top & 0xFFFF) << 16) | static_cast<LongWord>(left & 0xFFFF));
  };
  Filer->DefineProperty(
      "Left", [this, hi, set](TReader* r) { set(r->ReadInteger(), hi()); },
      [lo](TWriter* w) { w->WriteInteger(lo()); }, lo() != 0);
  Filer->DefineProperty(
      "Top", [this, lo, set](TReader* r) { set(lo(), r->ReadInteger()); },
      [hi](TWriter* w) { w->WriteInteger(hi()); }, hi() != 0);
}

// ---------------------------------------------------------------------------
// global roots

void AddGlobalRoot(TComponent* Root) {
  if (!Root || Root->FIsGlobalRoot) return;
  Roots().push_back(Root);
  Root->FIsGlobalRoot = true;
}

void RemoveGlobalRoot(TComponent* Root) {
  if (!Root || !Root->FIsGlobalRoot) return;
  auto& r = Roots();
  r.erase(std::remove(r.begin(), r.end(), Root), r.end());
  Root->FIsGlobalRoot = false;
}

int GlobalRootCount() { return static_cast<int>(Roots().size()); }

TComponent* GlobalRoot(int Index) {
  if (Index < 0 || Index >= GlobalRootCount()) throw EListError(ReplaceD(SListIndexError, Index));
  return Roots()[static_cast<std::size_t>(Index)];
}

TComponent* FindGlobalComponent(const AnsiString& Name) {
  if (Name.empty()) return nullptr;
  for (TComponent* c : Roots())
    if (SameText(c->Name(), Name)) return c;
  return nullptr;
}

TComponent* FindNestedComponent(TComponent* Root, const AnsiString& Path) {
  if (Path.empty()) return nullptr;
  auto dot = Path.find('.');
  if (dot == AnsiString::npos) {
    if (Root) {
      if (TComponent* c = Root->FindComponent(Path)) return c;
      if (SameText(Root->Name(), Path)) return Root;
    }
    return FindGlobalComponent(Path);
  }
  AnsiString head = Path.substr(0, dot);
  TComponent* base = nullptr;
  if (Root && SameText(Root->Name(), head)) base = Root;
  else if (Root && (base = Root->FindComponent(head)) != nullptr) {
  } else base = FindGlobalComponent(head);
  std::size_t start = dot + 1;
  while (base) {
    std::size_t next = Path.find('.', start);
    AnsiString part = Path.substr(start, next == AnsiString::npos ? AnsiString::npos : next - start);
    base = base->FindComponent(part);
    if (next == AnsiString::npos) return base;
    start = next + 1;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// collections

TCollectionItem::TCollectionItem(TCollection* Collection) {
  try {
    SetCollection(Collection);
  } catch (...) {
    // A listener failed: the half-made item must not stay in the list.
    if (FCollection) {
      auto& items = FCollection->FItems;
      items.erase(std::remove(items.begin(), items.end(), this), items.end());
      FCollection = nullptr;
    }
    throw;
  }
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& v = FCollection->FItems;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& v = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<int>(v.size())) throw EListError(ReplaceD(SListIndexError, Value));
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

AnsiString TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no change reports while dying
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(ReplaceD(SListIndexError, Index));
  return FItems[static_cast<std::size_t>(Index)];
}

TCollectionItem* TCollection::Add() {
  // The item joins from its base constructor, before its own members exist;
  // listeners hear of the change once it is whole.
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    TObject* obj = CreateObject(FItemClass, this);
    item = dynamic_cast<TCollectionItem*>(obj);
    if (!item) {
      delete obj;
      throw EComponentError(Replace1("%s is not a collection item class", FItemClass->Name));
    }
    if (item->FCollection != this) item->SetCollection(this);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Added(item);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* item = Add();
  if (Index >= 0 && Index < Count()) item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* i : FItems)
    if (i->FID == ID) return i;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TCollection*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* i : src->FItems) Add()->Assign(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TCollection::PropName() const {
  if (!FPropName.empty()) return FPropName;
  TPersistent* owner = GetOwner();
  if (!owner) return "";
  for (const TPropInfo* p : GetPropList(owner->ClassType())) {
    if (p->Kind != tkClass || !p->Get) continue;
    TPropValue v;
    p->Get(owner, v);
    if (v.Obj == this) {
      FPropName = p->Name;
      break;
    }
  }
  return FPropName;
}

AnsiString TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  AnsiString s = owner->GetNamePath();
  if (s.empty()) return ClassName();
  AnsiString p = PropName();
  if (p.empty()) return ClassName();
  return s + "." + p;
}
