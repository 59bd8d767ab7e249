// The root of the class tree. Every class that declares PV_CLASS has a class
// object (name, parent, factory), so ClassName, InheritsFrom, metaclass values
// (TClass) and creation by class name work without the compiler's RTTI.
#pragma once
#include <type_traits>
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
TObject* CreateInstance(TObject* owner) {
  if constexpr (std::is_abstract_v<T>) {
    return nullptr;
  } else if constexpr (requires { typename T::OwnerType; }) {
    if constexpr (std::is_constructible_v<T, typename T::OwnerType*>)
      return new T(dynamic_cast<typename T::OwnerType*>(owner));
    else
      return nullptr;
  } else if constexpr (std::is_default_constructible_v<T>) {
    return new T();
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
