// The root of the class tree. Every class that declares PV_CLASS has a class
// object (name, parent, factory), so ClassName, InheritsFrom, metaclass values
// (TClass) and creation by class name work without the compiler's RTTI.
#pragma once
#include <cstddef>
#include <type_traits>
#include <utility>
#include "platform/rtl/types.h"

class TObject;
class TPersistent;
class TFiler;

struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;
  // Creates an instance; the argument is the owner for components, ignored otherwise.
  // Null when the class cannot be created by name (abstract, or no suitable constructor).
  TObject* (*Create)(TObject* owner);
  bool InheritsFrom(const TClassInfo* other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
      if (c == other) return true;
    return false;
  }
};
using TClass = const TClassInfo*;  // the platform's "class of TObject"

namespace pv_detail {
template <class T>
T* Constructed(T* obj);

template <class T>
TObject* CreateInstance(TObject* owner) {
  if constexpr (std::is_abstract_v<T>) {
    return nullptr;
  } else if constexpr (requires { typename T::OwnerType; }) {
    if constexpr (std::is_constructible_v<T, typename T::OwnerType*>)
      return Constructed(::new T(dynamic_cast<typename T::OwnerType*>(owner)));
    else
      return nullptr;
  } else if constexpr (std::is_default_constructible_v<T>) {
    return Constructed(::new T());
  } else {
    return nullptr;
  }
}
}  // namespace pv_detail

// Declares the class object of Name, whose parent class is Parent.
#define PV_CLASS(Name, Parent)                                                        \
 public:                                                                              \
  static TClass StaticClass() {                                                       \
    static const TClassInfo info{#Name, Parent::StaticClass(), &pv_detail::CreateInstance<Name>}; \
    return &info;                                                                     \
  }                                                                                   \
  TClass ClassType() const override { return StaticClass(); }                         \
                                                                                      \
 private:

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  static TClass StaticClass() {
    static const TClassInfo info{"TObject", nullptr, nullptr};
    return &info;
  }
  virtual TClass ClassType() const { return StaticClass(); }
  AnsiString ClassName() const { return ClassType()->Name; }
  // Called by NewObject and creation by class name once the constructor of the
  // most derived class has finished: the place for work that needs the object's
  // real class (a form reading its description). A base-class constructor
  // cannot do that, since it only sees its own class.
  virtual void AfterConstruction() {}
  // Called by Free just before the destructor, while the object is still whole.
  virtual void BeforeDestruction() {}
  // Runs BeforeDestruction, then destroys the object.
  void Free() {
    BeforeDestruction();
    delete this;
  }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Objects that can copy themselves from one another and stream their defined properties.
class TPersistent : public TObject {
  PV_CLASS(TPersistent, TObject)
 public:
  ~TPersistent() override = default;
  // Copies Source into this object; raises EConvertError "Cannot assign a %s to a %s"
  // when neither side knows how.
  virtual void Assign(TPersistent* Source);
  virtual AnsiString GetNamePath() const;
  virtual TPersistent* GetOwner() const { return nullptr; }
  // Lets a class stream values that are not published properties ("Data", "Items" ...).
  virtual void DefineProperties(TFiler* Filer) {}

 protected:
  virtual void AssignTo(TPersistent* Dest);
};

namespace pv_detail {
// Runs AfterConstruction; an object whose AfterConstruction fails is destroyed.
template <class T>
T* Constructed(T* obj) {
  try {
    obj->AfterConstruction();
  } catch (...) {
    delete obj;
    throw;
  }
  return obj;
}
}  // namespace pv_detail

// Creates an object and runs its AfterConstruction (the platform's constructor
// call): new T(args...) for classes that need it, e.g. NewObject<TFrmMain>(Application).
// A class that must not be made without AfterConstruction deletes its own
// operator new; the global one used here still makes it.
template <class T, class... Args>
T* NewObject(Args&&... args) {
  return pv_detail::Constructed(::new T(std::forward<Args>(args)...));
}

// Frees an object and clears the variable first, so the variable never points at
// an object being destroyed.
template <class T>
void FreeAndNil(T*& Obj) {
  T* tmp = Obj;
  Obj = nullptr;
  if constexpr (std::is_base_of_v<TObject, T>) {
    if (tmp) tmp->Free();
  } else {
    delete tmp;
  }
}

// The root of all interfaces. Interfaces derive from it virtually
// (class IFoo : public virtual IInterface), so that one object can implement
// several of them. Whether _AddRef/_Release count references is up to the
// implementing class: TInterfacedObject counts and frees itself at zero;
// components and TInterfacedPersistent do not (they return -1).
class IInterface {
 public:
  virtual int _AddRef() = 0;
  virtual int _Release() = 0;

 protected:
  virtual ~IInterface() = default;
};

// A reference-counted object: it frees itself when the last counted reference
// (TIntf) goes. Create it with new and hand it to a TIntf straight away.
class TInterfacedObject : public TObject, public virtual IInterface {
  PV_CLASS(TInterfacedObject, TObject)
 public:
  int _AddRef() override { return ++FRefCount; }
  int _Release() override {
    int n = --FRefCount;
    if (n == 0) delete this;
    return n;
  }
  int RefCount() const { return FRefCount; }

 private:
  int FRefCount = 0;
};

// A counted reference to an interface (the platform's interface variable).
template <class I>
class TIntf {
 public:
  TIntf() = default;
  TIntf(std::nullptr_t) {}
  TIntf(I* p) : FPtr(p) { if (FPtr) FPtr->_AddRef(); }
  TIntf(const TIntf& o) : FPtr(o.FPtr) { if (FPtr) FPtr->_AddRef(); }
  TIntf(TIntf&& o) noexcept : FPtr(o.FPtr) { o.FPtr = nullptr; }
  ~TIntf() { Reset(); }
  TIntf& operator=(const TIntf& o) {
    if (o.FPtr) o.FPtr->_AddRef();
    Reset();
    FPtr = o.FPtr;
    return *this;
  }
  TIntf& operator=(TIntf&& o) noexcept {
    if (this != &o) { Reset(); FPtr = o.FPtr; o.FPtr = nullptr; }
    return *this;
  }
  TIntf& operator=(I* p) { return *this = TIntf(p); }
  void Reset() {
    I* p = FPtr;
    FPtr = nullptr;
    if (p) p->_Release();
  }
  I* Get() const { return FPtr; }
  I* operator->() const { return FPtr; }
  I& operator*() const { return *FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  bool operator==(const TIntf& o) const { return FPtr == o.FPtr; }
  bool operator==(std::nullptr_t) const { return FPtr == nullptr; }

 private:
  I* FPtr = nullptr;
};

// Asks an object or interface for another interface (the platform's Supports).
template <class I, class From>
bool Supports(From* Obj, I*& Intf) {
  Intf = Obj ? dynamic_cast<I*>(Obj) : nullptr;
  return Intf != nullptr;
}
template <class I, class From>
bool Supports(From* Obj) {
  return Obj && dynamic_cast<I*>(Obj) != nullptr;
}
