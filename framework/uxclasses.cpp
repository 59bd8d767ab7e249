#include "framework/uxclasses.h"
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace {
[[noreturn]] void IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}
}  // namespace

// ---- TuxComponent ----

TuxComponent::~TuxComponent() { uxClearObjectLinks(this); }

void TuxComponent::Loaded() {
  TComponent::Loaded();
  UpdateFakeLinks();
}

void TuxComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
}

void TuxComponent::UpdateFakeLinks() {
  if (!GetIsDesigning() || IsDestroying() || Owner() == nullptr) return;
  std::vector<TComponent*> list;
  GetFakeComponentLinks(list);
  for (size_t i = 0; i < 3; ++i) {
    FFakeLinks[i] = i < list.size() ? list[i] : nullptr;
    // The linked components may live on other forms: hear when they go, so
    // that a link never outlives its component.
    if (FFakeLinks[i] && FFakeLinks[i] != this) FFakeLinks[i]->FreeNotification(this);
  }
}

void TuxComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove)
    for (auto& link : FFakeLinks)
      if (link == AComponent) link = nullptr;
}

void uxInitClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterProps<TuxComponent>([](TPropBuilder<TuxComponent>& p) {
    p.Prop("FakeComponentLink1", &TuxComponent::FakeComponentLink1, &TuxComponent::SetFakeComponentLink1);
    p.Prop("FakeComponentLink2", &TuxComponent::FakeComponentLink2, &TuxComponent::SetFakeComponentLink2);
    p.Prop("FakeComponentLink3", &TuxComponent::FakeComponentLink3, &TuxComponent::SetFakeComponentLink3);
  });
}

// ---- lists ----

int TuxObjectList::Add(TObject* Item) {
  FItems.push_back(Item);
  return Count() - 1;
}

void TuxObjectList::Insert(int Index, TObject* Item) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  FItems.insert(FItems.begin() + Index, Item);
}

void TuxObjectList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  TObject* item = FItems[Index];
  FItems.erase(FItems.begin() + Index);
  delete item;
}

TObject* TuxObjectList::Extract(TObject* Item) {
  int index = IndexOf(Item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  return Item;
}

int TuxObjectList::IndexOf(TObject* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TuxObjectList::Clear() {
  // The list is emptied before the items go, so that an item's destructor
  // never sees a list that still holds freed items.
  std::vector<TObject*> items;
  items.swap(FItems);
  for (TObject* item : items) delete item;
}

TObject* TuxObjectList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[Index];
}

int TuxOpenList::Add(void* Item) {
  FItems.push_back(Item);
  return Count() - 1;
}

void TuxOpenList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems.erase(FItems.begin() + Index);
}

int TuxOpenList::IndexOf(void* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void* TuxOpenList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[Index];
}

void TuxOpenList::SetItems(int Index, void* Item) {
  if (Index < 0) IndexError(Index);
  if (Index >= Count()) FItems.resize(static_cast<size_t>(Index) + 1, nullptr);
  FItems[Index] = Item;
}

// ---- weak object links ----

namespace {
TuxObjectLinkController* gLinkController = nullptr;
int gLinkCount = 0;
}  // namespace

TuxObjectLink* uxAddObjectLink(TObject* AObject) {
  ++gLinkCount;
  if (!gLinkController) gLinkController = new TuxObjectLinkController;
  auto* link = new TuxObjectLink;
  link->Ref = AObject;
  gLinkController->FLinks.push_back(link);
  return link;
}

void uxRemoveObjectLink(TuxObjectLink* ALink) {
  if (!ALink) return;
  // A link still listed goes from the list before it is freed. That includes a
  // link made for no object, which no clearing ever takes out: the list must
  // never keep a freed link.
  if (gLinkController) {
    auto& v = gLinkController->FLinks;
    v.erase(std::remove(v.begin(), v.end(), ALink), v.end());
  }
  delete ALink;
  if (gLinkCount > 0 && --gLinkCount == 0) {
    delete gLinkController;
    gLinkController = nullptr;
  }
}

void uxClearObjectLinks(TObject* AObject) {
  if (!gLinkController || !AObject) return;
  auto& v = gLinkController->FLinks;
  for (auto it = v.begin(); it != v.end();) {
    if ((*it)->Ref == AObject) {
      (*it)->Ref = nullptr;
      it = v.erase(it);
    } else {
      ++it;
    }
  }
}

int uxObjectLinkCount() { return gLinkCount; }

TuxObjectLinkController* uxGetObjectLinkController() { return gLinkController; }

// ---- free routines ----

AnsiString uxTranslateString(const AnsiString& Text) { return Text; }

int uxRangeMiddle(int Bound1, int Bound2) {
  long long sum = static_cast<long long>(Bound1) + Bound2;
  long long q = sum / 2;
  if (sum < 0 && sum % 2 != 0) --q;
  return static_cast<int>(q);
}

TPersistent* uxGetOwner(TPersistent* APersistent) {
  return APersistent ? APersistent->GetOwner() : nullptr;
}

int uxFirstCharByteLength(const AnsiString& Text) { return CharLength(Text, 0); }

SIZE uxSize(int Width, int Height) {
  SIZE s;
  s.cx = Width;
  s.cy = Height;
  return s;
}

// ---- TuxAutoWidthObject ----

TuxAutoWidthItem* TuxAutoWidthObject::AddItem() {
  auto* item = new TuxAutoWidthItem;
  FItems.push_back(item);
  return item;
}

TuxAutoWidthItem* TuxAutoWidthObject::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[Index];
}

int TuxAutoWidthObject::Width() const {
  int w = 0;
  for (auto* item : FItems) w += item->Width;
  return w;
}

void TuxAutoWidthObject::Clear() {
  for (auto* item : FItems) delete item;
  FItems.clear();
}

void TuxAutoWidthObject::Calculate() {
  int available = AvailableWidth;
  int width = Width();
  for (auto* item : FItems)
    if (item->Fixed) {
      item->AutoWidth = item->Width;
      available -= item->AutoWidth;
      width -= item->Width;
    }
  bool finalPass = false;
  while (true) {
    const int passAvailable = available, passWidth = width;
    int prior = 0;
    bool hitMinimum = false;
    for (auto* item : FItems) {
      if (item->AutoWidth != -1) continue;
      int share = MulDiv(prior + item->Width, passAvailable, passWidth) - MulDiv(prior, passAvailable, passWidth);
      if (finalPass) {
        item->AutoWidth = share;
      } else if (item->MinWidth >= share) {
        item->AutoWidth = item->MinWidth;
        available -= item->MinWidth;
        width -= item->Width;
        hitMinimum = true;
      }
      prior += item->Width;
    }
    if (!hitMinimum) finalPass = !finalPass;
    if (width == 0 || (!hitMinimum && !finalPass)) break;
  }
}

// ---- TuxRegisteredClassList ----

bool TuxRegisteredClassList::Find(TClass ItemClass, int& Index) const {
  for (int i = Count() - 1; i >= 0; --i) {
    TClass c = FItems[i]->ItemClass;
    if (ItemClass && ItemClass->InheritsFrom(c)) {
      Index = i;
      return true;
    }
    if (c && c->InheritsFrom(ItemClass)) Index = i;
  }
  return false;
}

void TuxRegisteredClassList::Register(TClass ItemClass, TClass RegisteredClass) {
  auto* pair = new TuxRegisteredClassListItemData{ItemClass, RegisteredClass};
  int index = -1;
  if (Find(ItemClass, index))
    FItems.insert(FItems.begin() + index + 1, pair);
  else if (index != -1)
    FItems.insert(FItems.begin() + index, pair);
  else
    FItems.push_back(pair);
}

void TuxRegisteredClassList::Unregister(TClass ItemClass, TClass RegisteredClass) {
  for (int i = Count() - 1; i >= 0; --i)
    if (FItems[i]->ItemClass == ItemClass && FItems[i]->RegisteredClass == RegisteredClass) {
      delete FItems[i];
      FItems.erase(FItems.begin() + i);
    }
}

TClass TuxRegisteredClassList::FindClass(TClass ItemClass) const {
  int index = -1;
  return Find(ItemClass, index) ? FItems[index]->RegisteredClass : nullptr;
}

void TuxRegisteredClassList::Clear() {
  for (auto* pair : FItems) delete pair;
  FItems.clear();
}

const TuxRegisteredClassListItemData& TuxRegisteredClassList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return *FItems[Index];
}

// ---- TuxMRUItems ----

void TuxMRUItems::Add(TuxMRUItem* Item) {
  if (!Item) return;
  int index = IndexOf(Item);
  if (index >= 0) {
    TuxMRUItem* present = FItems[index];
    FItems.erase(FItems.begin() + index);
    FItems.insert(FItems.begin(), present);
    if (present != Item) delete Item;
  } else {
    FItems.insert(FItems.begin(), Item);
    Trim();
  }
}

void TuxMRUItems::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  TuxMRUItem* item = FItems[Index];
  FItems.erase(FItems.begin() + Index);
  delete item;
}

void TuxMRUItems::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

TuxMRUItem* TuxMRUItems::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[Index];
}

int TuxMRUItems::IndexOf(TuxMRUItem* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i]->Equals(Item)) return i;
  return -1;
}

void TuxMRUItems::SetMaxCount(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxCount) return;
  FMaxCount = Value;
  Trim();
}

void TuxMRUItems::Trim() {
  if (FMaxCount == 0) return;
  while (Count() > FMaxCount) Delete(Count() - 1);
}

// ---- unique component names ----

void uxGetUniqueComponentName(TComponent* Owner, TComponent* NamePrefixComponent, TComponent* Item,
                              AnsiString& Name, const AnsiString& FieldName, const AnsiString& ClassPrefix) {
  AnsiString base;
  for (size_t i = 0; i < FieldName.size();) {
    int len = CharLength(FieldName, i);
    unsigned char c = static_cast<unsigned char>(FieldName[i]);
    if (len == 1 && c < 0x80 && (std::isalnum(c) || c == '_')) base += FieldName[i];
    i += len > 0 ? len : 1;
  }
  AnsiString className = Item ? Item->ClassName() : AnsiString();
  if ((base.empty() || std::isdigit(static_cast<unsigned char>(base[0]))) && !className.empty()) {
    if (!ClassPrefix.empty() && className.size() >= ClassPrefix.size() &&
        SameText(className.substr(0, ClassPrefix.size()), ClassPrefix))
      base = className.substr(ClassPrefix.size()) + base;
    else
      base = (className[0] == 'T' ? className.substr(1) : className) + base;
  }
  AnsiString prefix = NamePrefixComponent ? NamePrefixComponent->Name() : AnsiString();
  for (long long n = FieldName.empty() ? 1 : 0; n <= INT_MAX; ++n) {
    Name = prefix + base + (n > 0 ? std::to_string(n) : AnsiString());
    bool taken = false;
    if (Owner)
      for (int i = 0; i < Owner->ComponentCount() && !taken; ++i) {
        TComponent* c = Owner->Components(i);
        taken = c != Item && SameText(c->Name(), Name);
      }
    if (!taken) return;
  }
}

bool uxStreamsAreEqual(TMemoryStream* Stream1, TMemoryStream* Stream2) {
  if (!Stream1 || !Stream2) return Stream1 == Stream2;
  Int64 size = Stream1->Size();
  if (size != Stream2->Size()) return false;
  if (size == 0) return true;
  return std::memcmp(Stream1->Memory(), Stream2->Memory(), static_cast<size_t>(size)) == 0;
}

void TuxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}

void uxRenameComponentsByPrefix(TComponent* View, TComponent* Owner, const AnsiString& NewName,
                                const TuxGetComponentItemFunc& GetItem, int ItemCount,
                                const AnsiString& OldName) {
  if (!View || View->ComponentState().Contains(csAncestor) || !GetItem) return;
  for (int i = 0; i < ItemCount; ++i) {
    TComponent* item = GetItem(View, i);
    if (!item || item->Owner() != Owner) continue;
    const AnsiString& name = item->Name();
    if (name.size() > OldName.size() && SameText(name.substr(0, OldName.size()), OldName)) {
      try {
        item->SetName(NewName + name.substr(OldName.size()));
      } catch (const EComponentError&) {
        // an invalid or duplicate name leaves this item as it was
      }
    }
  }
}

// ---- TuxRegisteredClasses ----

void TuxRegisteredClasses::Register(TClass AClass, const AnsiString& Text) {
  if (!AClass || FItems->IndexOfClass(AClass) >= 0) return;
  // The streaming registry first: a name it refuses leaves this registry as it was.
  if (FRegisterClasses) ::RegisterClasses({AClass});
  FItems->AddClass(Text, AClass);
  if (FSorted) Sort();
}

void TuxRegisteredClasses::Unregister(TClass AClass) {
  int index = AClass ? FItems->IndexOfClass(AClass) : -1;
  if (index >= 0) FItems->Delete(index);
}

TClass TuxRegisteredClasses::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems->ClassAt(Index);
}

AnsiString TuxRegisteredClasses::Texts(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems->Strings(Index);
}

AnsiString TuxRegisteredClasses::GetDescription(int Index) const {
  AnsiString text = Texts(Index);
  size_t bar = text.find('|');
  return bar == AnsiString::npos ? text : text.substr(0, bar);
}

TClass TuxRegisteredClasses::FindByClassName(const AnsiString& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Name == FItems->ClassAt(i)->Name) return FItems->ClassAt(i);
  return nullptr;
}

void TuxRegisteredClasses::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (Value) Sort();
}

int TuxRegisteredClasses::CompareItems(int Index1, int Index2) const {
  return AnsiCompareText(GetDescription(Index1), GetDescription(Index2));
}

namespace {
int CompareRegisteredClasses(TStringList* List, int Index1, int Index2) {
  return static_cast<TuxRegisteredClassesStringList*>(List)->Owner()->CompareItems(Index1, Index2);
}
}  // namespace

void TuxRegisteredClasses::Sort() { FItems->CustomSort(&CompareRegisteredClasses); }
