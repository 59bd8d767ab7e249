// The component model: the class registry (creation by class name), components
// with ownership, names and free notification, the list of top-level roots,
// and collections.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>
#include "platform/classes/events.h"
#include "platform/classes/sets.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TComponent;
class TReader;
class TWriter;
class TFiler;
class TCollection;

using NativeInt = std::intptr_t;

// ---- class registry ----
// Registers a class (and its ancestors up to TPersistent) for creation by name.
// Registering a different class under a name already taken raises EFilerError
// "A class named %s already exists"; registering the same class again does nothing.
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass AClass);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const AnsiString& ClassName);
// nullptr when no class of that name is registered.
TClass GetClass(const AnsiString& ClassName);
// Creates an instance through the class's factory; Owner is passed to components.
// Raises EClassNotFound when the class cannot be created by name.
TObject* CreateObject(TClass AClass, TObject* Owner);

// A letter or '_' followed by letters, digits or '_' (dots allowed between
// identifiers when AllowDots).
bool IsValidIdent(const AnsiString& Ident, bool AllowDots = false);

// A persistent object that answers interface requests without reference
// counting, unless its owner counts references (then the owner's count is used).
class TInterfacedPersistent : public TPersistent, public virtual IInterface {
  PV_CLASS(TInterfacedPersistent, TPersistent)
 public:
  int _AddRef() override;
  int _Release() override;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
  csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance, csTransient
};
using TComponentState = TSet<TComponentStateItem>;
enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent };
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = std::function<void(TComponent* Child)>;

// A component belongs to its owner, which frees it. Names are unique (ignoring
// case) among the components of one owner. Components that refer to one
// another outside one owner ask for free notification, so that each hears
// (Notification with opRemove) when the other goes.
//
// Destruction: notifications to the free-notification list, then the owned
// components, last inserted first, then removal from the owner (which tells
// the owner and, through it, the siblings). Destructors of derived classes run
// before this; a class whose own members must outlive its components calls
// DestroyComponents() at the start of its destructor.
class TComponent : public TPersistent, public virtual IInterface {
  PV_CLASS(TComponent, TPersistent)
 public:
  using OwnerType = TComponent;
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises EListError "List index out of bounds (%d)".
  TComponent* Components(int Index) const;
  // Position in the owner's list; -1 without an owner.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);

  const AnsiString& Name() const { return FName; }
  // Raises EComponentError "'%s' is not a valid component name" or
  // "A component named %s already exists".
  virtual void SetName(const AnsiString& NewName);
  // An owned component by name, ignoring case; nullptr when none.
  TComponent* FindComponent(const AnsiString& AName) const;

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  // Marks this component and its components as being destroyed.
  void Destroying();
  void BeforeDestruction() override;

  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  // Told of components inserted into or removed from this owner, and of the
  // destruction of components on the free-notification list. Passes every
  // notification on to the owned components.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  // A subcomponent is written with its owner's properties rather than as a reference.
  void SetSubComponent(bool Value);
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetInline(bool Value);
  void SetAncestor(bool Value);
  // Components created at run time that descriptions never hold.
  void SetTransient(bool Value);

  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  // Designer position of a component that is not a control (low word left,
  // high word top), streamed as "Left" and "Top".
  LongInt DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(LongInt Value) { FDesignInfo = Value; }

  // Called once after the component and its whole tree have been read.
  virtual void Loaded();
  virtual void Updating();
  virtual void Updated();

  // The components a writer stores as children of this one (none by default;
  // forms, data modules and containers list theirs).
  virtual void GetChildren(TGetChildProc Proc, TComponent* Root) {}
  virtual void SetChildOrder(TComponent* Child, int Order) {}
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) {}
  virtual bool HasParent() const { return false; }
  // Owner and parent of the components read inside this one's description block.
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }

  virtual void ReadState(TReader* Reader);
  virtual void WriteState(TWriter* Writer);

  TPersistent* GetOwner() const override { return FOwner; }
  AnsiString GetNamePath() const override { return FName; }

  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

 protected:
  virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
  virtual void ValidateInsert(TComponent* AComponent) {}
  virtual void ValidateContainer(TComponent* AComponent);
  virtual void ChangeName(const AnsiString& NewName) { FName = NewName; }
  // Points the owner's registered field of the same name at this component (or clears it).
  virtual void SetReference(bool Enable);
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TReader;
  friend class TWriter;
  friend void AddGlobalRoot(TComponent*);
  friend void RemoveGlobalRoot(TComponent*);
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  AnsiString FName;
  NativeInt FTag = 0;
  LongInt FDesignInfo = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle = {csInheritable};
  bool FIsGlobalRoot = false;
};

// ---- top-level roots (forms, data modules) ----
// A root joins the list when created and leaves it when destroyed.
void AddGlobalRoot(TComponent* Root);
void RemoveGlobalRoot(TComponent* Root);
int GlobalRootCount();
TComponent* GlobalRoot(int Index);
// The root with that name (ignoring case); nullptr when none.
TComponent* FindGlobalComponent(const AnsiString& Name);
// Finds a component by a reference as descriptions write it: "Comp" (owned by
// Root), Root's own name, "Module.Comp" (Module being Root, a component of Root
// or a global root), or a global root's name. nullptr when nothing matches.
TComponent* FindNestedComponent(TComponent* Root, const AnsiString& Path);

// ---- collections ----

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  PV_CLASS(TCollectionItem, TPersistent)
 public:
  using OwnerType = TCollection;
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  // Unique within the collection for its lifetime; never reused.
  int ID() const { return FID; }
  int Index() const;
  virtual void SetIndex(int Value);
  virtual AnsiString DisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const AnsiString& Value) { Changed(false); }
  AnsiString GetNamePath() const override;
  TPersistent* GetOwner() const override;

 protected:
  // Tells the collection that this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

using TCollectionItemClass = TClass;

class TCollection : public TPersistent {
  PV_CLASS(TCollection, TPersistent)
 public:
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;

  TCollectionItemClass ItemClass() const { return FItemClass; }
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (%d)".
  TCollectionItem* Items(int Index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  TCollectionItem* FindItemID(int ID) const;
  // Nested; one Update(nil) when the outermost update ends.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // Replaces the items with copies of another collection's items.
  void Assign(TPersistent* Source) override;
  AnsiString GetNamePath() const override;
  // The name of the owner's property that holds this collection, found on demand.
  AnsiString PropName() const;
  void SetPropName(const AnsiString& Value) { FPropName = Value; }

 protected:
  friend class TCollectionItem;
  // Item nil: everything changed.
  virtual void Update(TCollectionItem* Item) {}
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
  virtual void Added(TCollectionItem* Item) {}
  void Changed();

 private:
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  mutable AnsiString FPropName;
};

// A collection with an owner, which gives it a name path (e.g. "Grid1.Columns").
class TOwnedCollection : public TCollection {
  PV_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
