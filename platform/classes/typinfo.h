// Published properties and name tables.
//
// Each class registers its published properties once, from the ordered start-up
// list, with RegisterProps<TClass>(fn); a class's table is its parent's table
// followed by its own entries (an entry with a parent's name replaces it in
// place, e.g. to change the default). Enumeration and set types name their
// values with PV_ENUM_NAMES. Root classes (forms, data modules) register the
// handlers and component fields that descriptions bind by name with
// RegisterHandlers<TClass>(fn).
//
//   RegisterProps<TMyControl>([](TPropBuilder<TMyControl>& p) {
//     p.Prop("Caption", &TMyControl::GetCaption, &TMyControl::SetCaption);
//     p.Prop("Align", &TMyControl::GetAlign, &TMyControl::SetAlign).Default(alNone);
//     p.Field("Tag2", &TMyControl::FTag2).Default(0);
//     p.Prop("Font", &TMyControl::GetFont, &TMyControl::SetFont);  // nested object
//     p.Field("OnClick", &TMyControl::FOnClick);                   // event
//     p.Prop("Hint", &TMyControl::GetHint, &TMyControl::SetHint).Stored(&TMyControl::IsHintStored);
//   });
#pragma once
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>
#include "platform/classes/events.h"
#include "platform/classes/sets.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variants.h"

PV_DECLARE_EXCEPTION(EPropertyError, Exception)

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet,
  tkClass, tkMethod, tkWString, tkVariant, tkInt64
};

// The value names of an enumeration type, in ordinal order from 0.
struct TEnumInfo {
  // Names is one string of names separated by spaces or commas.
  TEnumInfo(const char* TypeName, const char* Names);
  AnsiString TypeName;
  std::vector<AnsiString> Names;
  int Count() const { return static_cast<int>(Names.size()); }
  // The ordinal of a name (ignoring case), or -1.
  int ValueOf(const AnsiString& Name) const;
  // The name of an ordinal; the number itself when out of range.
  AnsiString NameOf(Int64 Value) const;
};

// Specialised by PV_ENUM_NAMES for every enumeration used as a property or set.
template <class E>
struct TEnumNames;

#define PV_ENUM_NAMES(E, NamesText)                          \
  template <>                                                 \
  struct TEnumNames<E> {                                      \
    static const TEnumInfo* Info() {                          \
      static const TEnumInfo info(#E, NamesText);             \
      return &info;                                           \
    }                                                         \
  };

PV_ENUM_NAMES(bool, "False True")
PV_ENUM_NAMES(TShiftStateItem, "ssShift ssAlt ssCtrl ssLeft ssRight ssMiddle ssDouble")
PV_ENUM_NAMES(TMouseButton, "mbLeft mbRight mbMiddle")
PV_ENUM_NAMES(TCloseAction, "caNone caHide caFree caMinimize")

AnsiString GetEnumName(const TEnumInfo* Info, Int64 Value);
// -1 when Name is not a value of the type.
int GetEnumValue(const TEnumInfo* Info, const AnsiString& Name);
// "[a,b]" (without spaces) or "a,b" when Brackets is false.
AnsiString SetToString(const TEnumInfo* ElemInfo, UInt64 Mask, bool Brackets = true);
// Accepts "[a, b]", "a,b" or ""; raises EPropertyConvertError naming an unknown element.
UInt64 StringToSet(const TEnumInfo* ElemInfo, const AnsiString& Value);

// Names for some values of an integer type (colours, cursors): the writer stores
// a value that has a name as that identifier, the reader accepts either.
struct TIdentMapEntry {
  Int64 Value;
  const char* Name;
};
struct TIdentMap {
  std::vector<TIdentMapEntry> Entries;
  bool IdentToInt(const AnsiString& Ident, Int64& Value) const;  // ignores case
  bool IntToIdent(Int64 Value, AnsiString& Ident) const;
};

// One value of a property, in the field that its kind uses.
struct TPropValue {
  Int64 Ord = 0;           // integer, int64, char, enumeration, set (mask)
  double Float = 0;        // float (currency as its amount)
  AnsiString Str;          // string
  WideString WStr;         // wide string
  TObject* Obj = nullptr;  // class
  TMethod Method;          // method
  Variant Var;             // variant
};

struct TPropInfo {
  AnsiString Name;
  TTypeKind Kind = tkUnknown;
  TClass DeclaringClass = nullptr;
  const TEnumInfo* (*EnumType)() = nullptr;  // enumeration, or the element type of a set
  TClass PropClass = nullptr;                  // class properties: the declared class
  const void* Signature = nullptr;             // method properties: the handler signature
  const TIdentMap* Idents = nullptr;           // integer properties with named values
  std::function<void(TObject*, TPropValue&)> Get;
  std::function<void(TObject*, const TPropValue&)> Set;  // empty: read-only
  std::function<bool(TObject*)> StoredFn;                 // empty: StoredConst decides
  bool StoredConst = true;
  // Ordinal properties are written unless they have a default and equal it;
  // floats and strings unless they equal their default (0 and '' unless given).
  bool HasDefault = false;
  Int64 DefaultOrd = 0;
  double DefaultFloat = 0;
  AnsiString DefaultStr;
  WideString DefaultWStr;

  const TEnumInfo* Enum() const { return EnumType ? EnumType() : nullptr; }
  // An ordinal value equals the default (32-bit integers compare their 32 bits,
  // so a default given as an unsigned constant matches a signed property).
  bool IsDefaultOrd(Int64 Value) const {
    if (!HasDefault) return false;
    if (Kind == tkInteger) return static_cast<std::uint32_t>(Value) == static_cast<std::uint32_t>(DefaultOrd);
    return Value == DefaultOrd;
  }
  bool ReadOnly() const { return !Set; }
  bool IsOrdinal() const {
    return Kind == tkInteger || Kind == tkChar || Kind == tkEnumeration || Kind == tkSet || Kind == tkInt64;
  }
};

// Chained setters for one registered entry.
class TPropRef {
 public:
  explicit TPropRef(TPropInfo* p) : FInfo(p) {}
  template <class V>
  TPropRef& Default(V v) {
    FInfo->HasDefault = true;
    if constexpr (std::is_same_v<std::decay_t<V>, WideString> || std::is_same_v<std::decay_t<V>, const char16_t*>)
      FInfo->DefaultWStr = v;
    else if constexpr (std::is_convertible_v<V, AnsiString>)
      FInfo->DefaultStr = v;
    else if constexpr (std::is_floating_point_v<V>) {
      FInfo->DefaultFloat = v;
      FInfo->DefaultOrd = static_cast<Int64>(v);
    } else if constexpr (requires { v.Mask(); })
      FInfo->DefaultOrd = static_cast<Int64>(v.Mask());
    else {
      FInfo->DefaultOrd = static_cast<Int64>(v);
      FInfo->DefaultFloat = static_cast<double>(FInfo->DefaultOrd);
    }
    return *this;
  }
  TPropRef& Idents(const TIdentMap* Map) { FInfo->Idents = Map; return *this; }
  TPropRef& NoDefault() { FInfo->HasDefault = false; return *this; }
  TPropRef& Stored(bool s) { FInfo->StoredConst = s; FInfo->StoredFn = nullptr; return *this; }
  // A member function "bool IsXStored() const" or any callable taking the object.
  template <class F>
  TPropRef& Stored(F f);
  TPropInfo* Info() const { return FInfo; }

 private:
  TPropInfo* FInfo;
};

namespace pv_detail {
template <class F> struct MemberClass;
template <class R, class C> struct MemberClass<R (C::*)() const> { using type = C; };
template <class R, class C> struct MemberClass<R (C::*)()> { using type = C; };
template <class T> struct IsTSet : std::false_type {};
template <class E> struct IsTSet<TSet<E>> : std::true_type { using Elem = E; };
template <class T> struct IsTEvent : std::false_type {};
template <class Sig> struct IsTEvent<TEvent<Sig>> : std::true_type {};

// Fills kind, type and the conversions between a C++ value of type T and TPropValue.
template <class T>
struct PropTraits {
  static void Describe(TPropInfo& p) {
    if constexpr (std::is_same_v<T, bool>) {
      p.Kind = tkEnumeration;
      p.EnumType = &TEnumNames<bool>::Info;
    } else if constexpr (std::is_same_v<T, char>) {
      p.Kind = tkChar;
    } else if constexpr (std::is_enum_v<T>) {
      p.Kind = tkEnumeration;
      p.EnumType = &TEnumNames<T>::Info;
    } else if constexpr (std::is_integral_v<T>) {
      p.Kind = sizeof(T) >= 8 || (std::is_unsigned_v<T> && sizeof(T) >= 4) ? tkInt64 : tkInteger;
    } else if constexpr (std::is_floating_point_v<T> || std::is_same_v<T, Currency>) {
      p.Kind = tkFloat;
    } else if constexpr (std::is_same_v<T, Variant>) {
      p.Kind = tkVariant;
    } else if constexpr (std::is_same_v<T, AnsiString>) {
      p.Kind = tkString;
    } else if constexpr (std::is_same_v<T, WideString>) {
      p.Kind = tkWString;
    } else if constexpr (IsTSet<T>::value) {
      p.Kind = tkSet;
      p.EnumType = &TEnumNames<typename IsTSet<T>::Elem>::Info;
    } else if constexpr (IsTEvent<T>::value) {
      p.Kind = tkMethod;
      p.Signature = SignatureId<typename T::Signature>();
    } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>) {
      p.Kind = tkClass;
      p.PropClass = std::remove_pointer_t<T>::StaticClass();
    } else {
      static_assert(sizeof(T) == 0, "type cannot be a published property");
    }
  }
  static void ToValue(const T& v, TPropValue& out) {
    if constexpr (std::is_enum_v<T> || std::is_integral_v<T>) out.Ord = static_cast<Int64>(v);
    else if constexpr (std::is_floating_point_v<T>) out.Float = static_cast<double>(v);
    else if constexpr (std::is_same_v<T, Currency>) out.Float = v.ToDouble();
    else if constexpr (std::is_same_v<T, Variant>) out.Var = v;
    else if constexpr (std::is_same_v<T, AnsiString>) out.Str = v;
    else if constexpr (std::is_same_v<T, WideString>) out.WStr = v;
    else if constexpr (IsTSet<T>::value) out.Ord = static_cast<Int64>(v.Mask());
    else if constexpr (IsTEvent<T>::value) out.Method = v.ToMethod();
    else out.Obj = const_cast<std::remove_const_t<std::remove_pointer_t<T>>*>(v);
  }
  static T FromValue(const TPropValue& in) {
    if constexpr (std::is_same_v<T, bool>) return in.Ord != 0;
    else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>) return static_cast<T>(in.Ord);
    else if constexpr (std::is_floating_point_v<T>) return static_cast<T>(in.Float);
    else if constexpr (std::is_same_v<T, Currency>) return Currency::FromDouble(in.Float);
    else if constexpr (std::is_same_v<T, Variant>) return in.Var;
    else if constexpr (std::is_same_v<T, AnsiString>) return in.Str;
    else if constexpr (std::is_same_v<T, WideString>) return in.WStr;
    else if constexpr (IsTSet<T>::value) return T::FromMask(static_cast<UInt64>(in.Ord));
    else if constexpr (IsTEvent<T>::value) return T::FromMethod(in.Method);
    else {
      using U = std::remove_pointer_t<T>;
      if (!in.Obj) return nullptr;
      U* p = dynamic_cast<U*>(in.Obj);
      if (!p) throw EPropertyError("Invalid property value: a " + in.Obj->ClassName() + " is not a " + U::StaticClass()->Name);
      return p;
    }
  }
};
}  // namespace pv_detail

template <class C>
class TPropBuilder {
 public:
  // A property read by Getter and written by Setter. Each may be a member
  // function, a data member or a callable taking C*; Setter nullptr makes the
  // property read-only (class properties are then changed in place).
  template <class G, class S = std::nullptr_t>
  TPropRef Prop(const char* Name, G Getter, S Setter = nullptr) {
    using T = std::decay_t<std::invoke_result_t<G, C*>>;
    auto p = std::make_unique<TPropInfo>();
    p->Name = Name;
    p->DeclaringClass = C::StaticClass();
    pv_detail::PropTraits<T>::Describe(*p);
    p->Get = [Getter](TObject* obj, TPropValue& out) {
      pv_detail::PropTraits<T>::ToValue(std::invoke(Getter, Cast(obj)), out);
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      p->Set = [Setter](TObject* obj, const TPropValue& in) {
        if constexpr (std::is_member_object_pointer_v<S>)
          std::invoke(Setter, Cast(obj)) = pv_detail::PropTraits<T>::FromValue(in);
        else
          std::invoke(Setter, Cast(obj), pv_detail::PropTraits<T>::FromValue(in));
      };
    }
    return Add(std::move(p));
  }
  // A property read and written directly through a data member.
  template <class T>
  TPropRef Field(const char* Name, T C::*Member) {
    return Prop(Name, Member, Member);
  }
  std::vector<std::unique_ptr<TPropInfo>> Take() { return std::move(FProps); }

 private:
  static C* Cast(TObject* obj) {
    C* c = dynamic_cast<C*>(obj);
    if (!c) throw EPropertyError("Property of " + AnsiString(C::StaticClass()->Name) + " used on a " + obj->ClassName());
    return c;
  }
  TPropRef Add(std::unique_ptr<TPropInfo> p) {
    TPropInfo* raw = p.get();
    FProps.push_back(std::move(p));
    return TPropRef(raw);
  }
  std::vector<std::unique_ptr<TPropInfo>> FProps;
};

template <class F>
TPropRef& TPropRef::Stored(F f) {
  FInfo->StoredFn = [f](TObject* obj) -> bool {
    if constexpr (std::is_member_function_pointer_v<F>) {
      using C = typename pv_detail::MemberClass<F>::type;
      return std::invoke(f, dynamic_cast<C*>(obj));
    } else {
      return f(obj);
    }
  };
  return *this;
}

// Adds the entries of one class; called once per class from start-up.
void RegisterPropTable(TClass Cls, std::vector<std::unique_ptr<TPropInfo>> Props);
template <class C, class F>
void RegisterProps(F&& Fn) {
  TPropBuilder<C> b;
  Fn(b);
  RegisterPropTable(C::StaticClass(), b.Take());
}

// ---- queries ----
// The class's properties, its ancestors' first. Ignores case in names.
std::vector<const TPropInfo*> GetPropList(TClass Cls);
const TPropInfo* GetPropInfo(TClass Cls, const AnsiString& Name);
const TPropInfo* GetPropInfo(const TObject* Obj, const AnsiString& Name);
bool IsPublishedProp(TClass Cls, const AnsiString& Name);
bool IsPublishedProp(const TObject* Obj, const AnsiString& Name);
// The stored predicate of the property (not whether it equals its default).
bool IsStoredProp(TObject* Obj, const TPropInfo* Info);
bool IsStoredProp(TObject* Obj, const AnsiString& Name);
// True when the value equals the property's default, so a writer leaves it out:
// ordinals equal to their default (never when they have none), floats and
// strings equal to theirs, nil objects, methods and references.
bool IsDefaultPropValue(TObject* Obj, const TPropInfo* Info);

// Typed access. Name may be a path through class properties ("Font.Name").
// Unknown names raise EPropertyError "Property %s does not exist"; writing a
// read-only property raises EPropertyError "Property is read-only".
TPropValue GetPropValueRaw(TObject* Obj, const TPropInfo* Info);
void SetPropValueRaw(TObject* Obj, const TPropInfo* Info, const TPropValue& V);
Int64 GetOrdProp(TObject* Obj, const AnsiString& Name);
void SetOrdProp(TObject* Obj, const AnsiString& Name, Int64 Value);
Int64 GetInt64Prop(TObject* Obj, const AnsiString& Name);
void SetInt64Prop(TObject* Obj, const AnsiString& Name, Int64 Value);
AnsiString GetEnumProp(TObject* Obj, const AnsiString& Name);
void SetEnumProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value);
AnsiString GetSetProp(TObject* Obj, const AnsiString& Name, bool Brackets = false);
void SetSetProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value);
AnsiString GetStrProp(TObject* Obj, const AnsiString& Name);
void SetStrProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value);
WideString GetWideStrProp(TObject* Obj, const AnsiString& Name);
void SetWideStrProp(TObject* Obj, const AnsiString& Name, const WideString& Value);
double GetFloatProp(TObject* Obj, const AnsiString& Name);
void SetFloatProp(TObject* Obj, const AnsiString& Name, double Value);
TObject* GetObjectProp(TObject* Obj, const AnsiString& Name);
void SetObjectProp(TObject* Obj, const AnsiString& Name, TObject* Value);
Variant GetVariantProp(TObject* Obj, const AnsiString& Name);
void SetVariantProp(TObject* Obj, const AnsiString& Name, const Variant& Value);
TMethod GetMethodProp(TObject* Obj, const AnsiString& Name);
void SetMethodProp(TObject* Obj, const AnsiString& Name, const TMethod& Value);
// The value as text: numbers, enumeration names, sets as "[a,b]", strings as
// they are (wide strings in CP936), objects and references by component name,
// methods by handler name.
AnsiString GetPropText(TObject* Obj, const AnsiString& Name);
// Sets from the same text forms (references are looked up in the object's
// root, handlers in its root's handler table).
void SetPropText(TObject* Obj, const AnsiString& Name, const AnsiString& Value);
// Resolves a dotted path to the object holding the last property and its entry.
// Raises EPropertyError when a step does not exist or is not an object.
const TPropInfo* ResolvePropPath(TObject*& Obj, const AnsiString& Path);

// ---- handlers and fields of root classes ----

struct THandlerInfo {
  AnsiString Name;
  TMethodCode Code;
  const void* Signature = nullptr;
  void* (*Adjust)(TObject* Root) = nullptr;  // the root as the declaring class
};

struct TFieldInfo {
  AnsiString Name;
  TClass FieldClass = nullptr;
  std::function<void(TObject* Root, TObject* Value)> Set;
  std::function<TObject*(TObject* Root)> Get;
};

template <class C>
class THandlerBuilder {
 public:
  // A handler the descriptions name, e.g. "Button1Click".
  template <class D, class R, class... A>
    requires std::is_base_of_v<D, C>
  void Handler(const char* Name, R (D::*Member)(A...)) {
    THandlerInfo h;
    h.Name = Name;
    h.Code = TEvent<R(A...)>::template CodeOf<D>(Member);
    h.Signature = SignatureId<R(A...)>();
    h.Adjust = [](TObject* root) -> void* {
      C* c = dynamic_cast<C*>(root);
      return c ? static_cast<void*>(static_cast<D*>(c)) : nullptr;
    };
    FHandlers.push_back(std::move(h));
  }
  // A component field the reader fills with the component of the same name
  // (and clears when that component goes).
  template <class T>
  void Field(const char* Name, T* C::*Member) {
    TFieldInfo f;
    f.Name = Name;
    f.FieldClass = T::StaticClass();
    f.Set = [Member](TObject* root, TObject* value) {
      if (C* c = dynamic_cast<C*>(root)) c->*Member = value ? dynamic_cast<T*>(value) : nullptr;
    };
    f.Get = [Member](TObject* root) -> TObject* {
      C* c = dynamic_cast<C*>(root);
      return c ? c->*Member : nullptr;
    };
    FFields.push_back(std::move(f));
  }
  std::vector<THandlerInfo> FHandlers;
  std::vector<TFieldInfo> FFields;
};

void RegisterHandlerTable(TClass Cls, std::vector<THandlerInfo> Handlers, std::vector<TFieldInfo> Fields);
template <class C, class F>
void RegisterHandlers(F&& Fn) {
  THandlerBuilder<C> b;
  Fn(b);
  RegisterHandlerTable(C::StaticClass(), std::move(b.FHandlers), std::move(b.FFields));
}

// Searches Cls and its ancestors (ignoring case); nullptr when absent.
const THandlerInfo* FindHandler(TClass Cls, const AnsiString& Name);
const TFieldInfo* FindField(TClass Cls, const AnsiString& Name);
// The handler Name of Root as a method (nil when Root has none of that name).
TMethod MethodByName(TObject* Root, const AnsiString& Name);
// The name under which Method's object publishes it; "" when it has none.
AnsiString MethodName(const TMethod& Method);

// Drops every table (finalisation).
void ClearTypeInfo();
