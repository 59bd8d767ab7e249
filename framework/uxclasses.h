// Small base classes and free routines the control framework stands on.
#pragma once
#include <functional>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

// A reference-counted persistent object that knows the persistent object owning it.
class TuxInterfacedPersistent : public TInterfacedPersistent {
  PV_CLASS(TuxInterfacedPersistent, TInterfacedPersistent)
 public:
  using OwnerType = TPersistent;
  explicit TuxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }

 private:
  TPersistent* FOwner = nullptr;
};

// A component that shows a form designer the components it creates or uses
// through three fake links; clears the weak links to itself when freed.
class TuxComponent : public TComponent {
  PV_CLASS(TuxComponent, TComponent)
 public:
  explicit TuxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TuxComponent() override;
  void Loaded() override;
  void BeforeDestruction() override;

  TComponent* FakeComponentLink1() const { return FFakeLinks[0]; }
  TComponent* FakeComponentLink2() const { return FFakeLinks[1]; }
  TComponent* FakeComponentLink3() const { return FFakeLinks[2]; }
  // The links are computed (UpdateFakeLinks); a value read from a description is ignored.
  void SetFakeComponentLink1(TComponent*) {}
  void SetFakeComponentLink2(TComponent*) {}
  void SetFakeComponentLink3(TComponent*) {}

  bool GetIsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  // In design mode only: the first three components GetFakeComponentLinks gives.
  void UpdateFakeLinks();
  // A fake link to a component being freed is cleared.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual void GetFakeComponentLinks(std::vector<TComponent*>& List) {}

 private:
  TComponent* FFakeLinks[3] = {nullptr, nullptr, nullptr};
};

// Registers the published properties of this unit (the fake links of
// TuxComponent); called once from the start-up list.
void uxInitClasses();

// ---- lists ----

// A list that owns its objects: Delete and Clear free them, Extract does not.
class TuxObjectList {
 public:
  TuxObjectList() = default;
  virtual ~TuxObjectList() { Clear(); }
  TuxObjectList(const TuxObjectList&) = delete;
  TuxObjectList& operator=(const TuxObjectList&) = delete;

  int Add(TObject* Item);
  // Raises EListError for an index out of range (0..Count).
  void Insert(int Index, TObject* Item);
  // Frees the item and removes it; EListError for an index out of range.
  void Delete(int Index);
  // Takes Item out of the list without freeing it; nullptr when absent.
  TObject* Extract(TObject* Item);
  int IndexOf(TObject* Item) const;
  // Frees every item, first to last, then empties the list.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  TObject* Items(int Index) const;
  TObject* GetItem(int Index) const { return Items(Index); }

 private:
  std::vector<TObject*> FItems;
};

// A pointer list whose entries can be written past its end: the list first
// grows (new entries nil) so that the index exists.
class TuxOpenList {
 public:
  int Add(void* Item);
  void Delete(int Index);  // EListError for an index out of range
  void Clear() { FItems.clear(); }
  int IndexOf(void* Item) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  void* Items(int Index) const;
  // Raises EListError for a negative index.
  void SetItems(int Index, void* Item);

 private:
  std::vector<void*> FItems;
};

// ---- weak object links ----

// A weak link: Ref becomes nullptr when the linked object is destroyed.
class TuxObjectLink {
 public:
  TObject* Ref = nullptr;
};

// The process-wide list of live links; exists while at least one link exists.
class TuxObjectLinkController {
 public:
  int LinkCount() const { return static_cast<int>(FLinks.size()); }

 private:
  friend TuxObjectLink* uxAddObjectLink(TObject* AObject);
  friend void uxRemoveObjectLink(TuxObjectLink* ALink);
  friend void uxClearObjectLinks(TObject* AObject);
  std::vector<TuxObjectLink*> FLinks;  // links whose object is alive
};

TuxObjectLink* uxAddObjectLink(TObject* AObject);
void uxRemoveObjectLink(TuxObjectLink* ALink);
void uxClearObjectLinks(TObject* AObject);
// Number of links currently alive (for checks).
int uxObjectLinkCount();
// The controller, or nullptr while no link exists.
TuxObjectLinkController* uxGetObjectLinkController();

// The one hook every library text passes through; returns the text unchanged.
AnsiString uxTranslateString(const AnsiString& Text);
// Floor of (Bound1 + Bound2) / 2.
int uxRangeMiddle(int Bound1, int Bound2);
// The owner a persistent object reports.
TPersistent* uxGetOwner(TPersistent* APersistent);

// Bytes of the first character of Text (2 double-byte, 1 single-byte, 0 empty).
int uxFirstCharByteLength(const AnsiString& Text);
SIZE uxSize(int Width, int Height);


// ---- width distribution over columns with minimum widths ----

class TuxAutoWidthItem {
 public:
  int MinWidth = 0;
  int Width = 0;  // the natural width, the weight of the item's share
  bool Fixed = false;
  int AutoWidth = -1;  // the result; -1 until calculated
};

class TuxAutoWidthObject {
 public:
  explicit TuxAutoWidthObject(int Capacity = 0) { FItems.reserve(Capacity > 0 ? Capacity : 0); }
  ~TuxAutoWidthObject() { Clear(); }
  TuxAutoWidthObject(const TuxAutoWidthObject&) = delete;
  TuxAutoWidthObject& operator=(const TuxAutoWidthObject&) = delete;

  TuxAutoWidthItem* AddItem();
  // Raises EListError for an index out of range.
  TuxAutoWidthItem* Items(int Index) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  int Width() const;
  int AvailableWidth = 0;
  // Spreads AvailableWidth over the items in proportion to their widths,
  // holding items at their minimum widths; items are calculated once.
  void Calculate();
  void Clear();

 private:
  std::vector<TuxAutoWidthItem*> FItems;  // owned
};

// ---- a class found for another class through the nearest registered ancestor ----

struct TuxRegisteredClassListItemData {
  TClass ItemClass = nullptr;
  TClass RegisteredClass = nullptr;
};

class TuxRegisteredClassList {
 public:
  TuxRegisteredClassList() = default;
  virtual ~TuxRegisteredClassList() { Clear(); }
  TuxRegisteredClassList(const TuxRegisteredClassList&) = delete;
  TuxRegisteredClassList& operator=(const TuxRegisteredClassList&) = delete;

  // True and Index of the nearest entry for ItemClass or an ancestor; on the way
  // Index takes the lowest position of an entry for a descendant of ItemClass.
  virtual bool Find(TClass ItemClass, int& Index) const;
  virtual void Register(TClass ItemClass, TClass RegisteredClass);
  virtual void Unregister(TClass ItemClass, TClass RegisteredClass);
  TClass FindClass(TClass ItemClass) const;
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  const TuxRegisteredClassListItemData& Items(int Index) const;

 private:
  std::vector<TuxRegisteredClassListItemData*> FItems;  // owned
};

// ---- most-recently-used list ----

class TuxMRUItem {
 public:
  virtual ~TuxMRUItem() = default;
  virtual bool Equals(TuxMRUItem* Item) = 0;
};

class TuxMRUItems {
 public:
  TuxMRUItems() = default;
  virtual ~TuxMRUItems() { Clear(); }
  TuxMRUItems(const TuxMRUItems&) = delete;
  TuxMRUItems& operator=(const TuxMRUItems&) = delete;

  // Takes ownership of Item: an equal item present moves to the top and Item is freed.
  void Add(TuxMRUItem* Item);
  // Raises EListError for an index out of range.
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TuxMRUItem* Items(int Index) const;
  int IndexOf(TuxMRUItem* Item) const;
  int MaxCount() const { return FMaxCount; }
  // 0 is unlimited; a negative value stores 0.
  void SetMaxCount(int Value);

 private:
  void Trim();
  std::vector<TuxMRUItem*> FItems;  // owned; 0 the most recent
  int FMaxCount = 0;
};

// Makes a name for Item unique among Owner's components (ignoring case):
// the prefix component's name, the field name reduced to identifier characters
// (or the class name when that is empty or starts with a digit), then a number.
void uxGetUniqueComponentName(TComponent* Owner, TComponent* NamePrefixComponent, TComponent* Item,
                              AnsiString& Name, const AnsiString& FieldName = "",
                              const AnsiString& ClassPrefix = "");

class TMemoryStream;
// True when both streams hold the same bytes (two empty streams are equal).
bool uxStreamsAreEqual(TMemoryStream* Stream1, TMemoryStream* Stream2);

// Forwards the free notifications of the components it watches.
class TuxFreeNotificator : public TComponent {
  PV_CLASS(TuxFreeNotificator, TComponent)
 public:
  explicit TuxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}
  void AddSender(TComponent* Sender) {
    if (Sender) Sender->FreeNotification(this);
  }
  void RemoveSender(TComponent* Sender) {
    if (Sender) Sender->RemoveFreeNotification(this);
  }
  std::function<void(TComponent* Sender)> OnFreeNotification;
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// Renames the items of View owned by Owner whose names extend OldName (ignoring
// case) to begin with NewName; naming errors are skipped item by item. Nothing
// happens for a view that comes from an ancestor form.
using TuxGetComponentItemFunc = std::function<TComponent*(TComponent* View, int Index)>;
void uxRenameComponentsByPrefix(TComponent* View, TComponent* Owner, const AnsiString& NewName,
                                const TuxGetComponentItemFunc& GetItem, int ItemCount,
                                const AnsiString& OldName);

class TuxRegisteredClasses;

// The string list behind a class registry: the strings are the texts, the
// objects the class references; knows the registry that owns it.
class TuxRegisteredClassesStringList : public TStringList {
  PV_CLASS(TuxRegisteredClassesStringList, TStringList)
 public:
  explicit TuxRegisteredClassesStringList(TuxRegisteredClasses* AOwner) : FOwner(AOwner) {}
  TuxRegisteredClasses* Owner() const { return FOwner; }
  TClass ClassAt(int Index) const { return reinterpret_cast<TClass>(GetObject(Index)); }
  void AddClass(const AnsiString& Text, TClass AClass) {
    AddObject(Text, reinterpret_cast<TObject*>(const_cast<TClassInfo*>(AClass)));
  }
  int IndexOfClass(TClass AClass) const {
    return IndexOfObject(reinterpret_cast<TObject*>(const_cast<TClassInfo*>(AClass)));
  }

 private:
  TuxRegisteredClasses* FOwner;
};

// A registry of classes, each with a text "display name|hint".
class TuxRegisteredClasses {
 public:
  explicit TuxRegisteredClasses(bool ARegisterClasses = false)
      : FItems(new TuxRegisteredClassesStringList(this)), FRegisterClasses(ARegisterClasses) {}
  virtual ~TuxRegisteredClasses() {
    Clear();
    delete FItems;
  }
  TuxRegisteredClasses(const TuxRegisteredClasses&) = delete;
  TuxRegisteredClasses& operator=(const TuxRegisteredClasses&) = delete;

  // Nothing when the class is present; registers it for streaming when the
  // registry was made with RegisterClasses.
  void Register(TClass AClass, const AnsiString& Text);
  void Unregister(TClass AClass);
  void Clear() { FItems->Clear(); }
  int Count() const { return FItems->Count(); }
  TuxRegisteredClassesStringList* ItemsList() const { return FItems; }
  // Raise EListError for an index out of range.
  TClass Items(int Index) const;
  AnsiString Texts(int Index) const;
  // The text before the first "|" (the whole text without one).
  AnsiString GetDescription(int Index) const;
  // Exact, case-sensitive class name; nullptr when absent.
  TClass FindByClassName(const AnsiString& Name) const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool RegisterClasses() const { return FRegisterClasses; }

  // Locale-aware, case-insensitive order of the descriptions.
  virtual int CompareItems(int Index1, int Index2) const;
  virtual void Sort();

 private:
  TuxRegisteredClassesStringList* FItems;  // owned
  bool FSorted = false;
  bool FRegisterClasses;
};
