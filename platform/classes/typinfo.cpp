#include "platform/classes/typinfo.h"

#include <charconv>
#include <cstdlib>
#include <unordered_map>

#include "platform/classes/classes.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

struct ClassEntry {
  std::vector<std::unique_ptr<TPropInfo>> Own;
  std::vector<THandlerInfo> Handlers;
  std::vector<TFieldInfo> Fields;
};

struct Registry {
  std::unordered_map<TClass, ClassEntry> Entries;
  std::unordered_map<TClass, std::vector<const TPropInfo*>> Merged;
  // Entries replaced by a later registration stay alive: lists handed out may point at them.
  std::vector<std::unique_ptr<TPropInfo>> Retired;
};

Registry& Reg() {
  static Registry r;
  return r;
}

const std::vector<const TPropInfo*>& MergedList(TClass cls) {
  auto& reg = Reg();
  auto it = reg.Merged.find(cls);
  if (it != reg.Merged.end()) return it->second;
  std::vector<const TPropInfo*> list;
  if (cls->Parent) list = MergedList(cls->Parent);
  auto e = reg.Entries.find(cls);
  if (e != reg.Entries.end()) {
    for (auto& p : e->second.Own) {
      bool replaced = false;
      for (auto& q : list)
        if (SameText(q->Name, p->Name)) {
          q = p.get();
          replaced = true;
          break;
        }
      if (!replaced) list.push_back(p.get());
    }
  }
  return reg.Merged.emplace(cls, std::move(list)).first->second;
}

[[noreturn]] void UnknownProperty(const AnsiString& name) {
  AnsiString msg = SUnknownProperty;
  msg.replace(msg.find("%s"), 2, name);
  throw EPropertyError(msg);
}

const TPropInfo* NeedProp(TObject*& obj, const AnsiString& path) {
  const TPropInfo* p = ResolvePropPath(obj, path);
  return p;
}

void CheckKind(const TPropInfo* p, std::initializer_list<TTypeKind> kinds) {
  for (TTypeKind k : kinds)
    if (p->Kind == k) return;
  throw EPropertyError(AnsiString("Invalid property type: ") + p->Name);
}

AnsiString FloatText(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return AnsiString(buf, r.ptr);
}

// The root in which a reference held by Obj is named.
TComponent* LookupRootOf(TObject* obj) {
  TPersistent* p = dynamic_cast<TPersistent*>(obj);
  while (p && !dynamic_cast<TComponent*>(p)) p = p->GetOwner();
  auto* c = dynamic_cast<TComponent*>(p);
  if (!c) return nullptr;
  return c->Owner() ? c->Owner() : c;
}

}  // namespace

// ---------------------------------------------------------------------------
// enumerations and sets

TEnumInfo::TEnumInfo(const char* Type, const char* NamesText) : TypeName(Type) {
  AnsiString cur;
  for (const char* p = NamesText; ; ++p) {
    char c = *p;
    if (c == 0 || c == ' ' || c == ',' || c == '\t' || c == '\n') {
      if (!cur.empty()) Names.push_back(cur);
      cur.clear();
      if (c == 0) break;
    } else {
      cur += c;
    }
  }
}

int TEnumInfo::ValueOf(const AnsiString& Name) const {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], Name)) return static_cast<int>(i);
  return -1;
}

AnsiString TEnumInfo::NameOf(Int64 Value) const {
  if (Value >= 0 && Value < static_cast<Int64>(Names.size())) return Names[static_cast<std::size_t>(Value)];
  return std::to_string(Value);
}

AnsiString GetEnumName(const TEnumInfo* Info, Int64 Value) {
  return Info ? Info->NameOf(Value) : std::to_string(Value);
}

int GetEnumValue(const TEnumInfo* Info, const AnsiString& Name) { return Info ? Info->ValueOf(Name) : -1; }

AnsiString SetToString(const TEnumInfo* ElemInfo, UInt64 Mask, bool Brackets) {
  AnsiString s;
  for (int i = 0; i < 64; ++i) {
    if (!(Mask & (UInt64{1} << i))) continue;
    if (!s.empty()) s += ',';
    s += GetEnumName(ElemInfo, i);
  }
  return Brackets ? "[" + s + "]" : s;
}

UInt64 StringToSet(const TEnumInfo* ElemInfo, const AnsiString& Value) {
  AnsiString v = Trim(Value);
  if (!v.empty() && v.front() == '[') {
    if (v.back() != ']') throw EPropertyConvertError("Invalid set value: " + Value);
    v = v.substr(1, v.size() - 2);
  }
  UInt64 mask = 0;
  std::size_t start = 0;
  while (start <= v.size()) {
    std::size_t comma = v.find(',', start);
    if (comma == AnsiString::npos) comma = v.size();
    AnsiString name = Trim(v.substr(start, comma - start));
    if (!name.empty()) {
      int ord = GetEnumValue(ElemInfo, name);
      if (ord < 0 || ord >= 64) throw EPropertyConvertError("Invalid set element: " + name);
      mask |= UInt64{1} << ord;
    }
    start = comma + 1;
  }
  return mask;
}

bool TIdentMap::IdentToInt(const AnsiString& Ident, Int64& Value) const {
  for (const auto& e : Entries)
    if (SameText(e.Name, Ident)) {
      Value = e.Value;
      return true;
    }
  return false;
}

bool TIdentMap::IntToIdent(Int64 Value, AnsiString& Ident) const {
  for (const auto& e : Entries)
    if (e.Value == Value) {
      Ident = e.Name;
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
// registration and queries

void RegisterPropTable(TClass Cls, std::vector<std::unique_ptr<TPropInfo>> Props) {
  auto& reg = Reg();
  auto& own = reg.Entries[Cls].Own;
  for (auto& p : Props) {
    p->DeclaringClass = Cls;
    bool replaced = false;
    for (auto& q : own)
      if (SameText(q->Name, p->Name)) {
        reg.Retired.push_back(std::move(q));
        q = std::move(p);
        replaced = true;
        break;
      }
    if (!replaced) own.push_back(std::move(p));
  }
  reg.Merged.clear();
}

std::vector<const TPropInfo*> GetPropList(TClass Cls) {
  if (!Cls) return {};
  return MergedList(Cls);
}

const TPropInfo* GetPropInfo(TClass Cls, const AnsiString& Name) {
  if (!Cls) return nullptr;
  for (const TPropInfo* p : MergedList(Cls))
    if (SameText(p->Name, Name)) return p;
  return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Obj, const AnsiString& Name) {
  return Obj ? GetPropInfo(Obj->ClassType(), Name) : nullptr;
}

bool IsPublishedProp(TClass Cls, const AnsiString& Name) { return GetPropInfo(Cls, Name) != nullptr; }

bool IsPublishedProp(const TObject* Obj, const AnsiString& Name) { return GetPropInfo(Obj, Name) != nullptr; }

bool IsStoredProp(TObject* Obj, const TPropInfo* Info) {
  if (!Info) return false;
  return Info->StoredFn ? Info->StoredFn(Obj) : Info->StoredConst;
}

bool IsStoredProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = ResolvePropPath(Obj, Name);
  return IsStoredProp(Obj, p);
}

bool IsDefaultPropValue(TObject* Obj, const TPropInfo* Info) {
  TPropValue v = GetPropValueRaw(Obj, Info);
  switch (Info->Kind) {
    case tkInteger: case tkChar: case tkEnumeration: case tkSet: case tkInt64:
      return Info->IsDefaultOrd(v.Ord);
    case tkFloat: return v.Float == Info->DefaultFloat;
    case tkString: return v.Str == Info->DefaultStr;
    case tkWString: return v.WStr == Info->DefaultWStr;
    case tkClass: return v.Obj == nullptr;
    case tkMethod: return !v.Method.Assigned();
    case tkVariant: return VarIsEmpty(v.Var);
    default: return false;
  }
}

TPropValue GetPropValueRaw(TObject* Obj, const TPropInfo* Info) {
  TPropValue v;
  if (Info->Get) Info->Get(Obj, v);
  return v;
}

void SetPropValueRaw(TObject* Obj, const TPropInfo* Info, const TPropValue& V) {
  if (!Info->Set) throw EPropertyError(SReadOnlyProperty);
  Info->Set(Obj, V);
}

const TPropInfo* ResolvePropPath(TObject*& Obj, const AnsiString& Path) {
  if (!Obj) throw EPropertyError(SInvalidPropertyPath);
  std::size_t start = 0;
  for (;;) {
    std::size_t dot = Path.find('.', start);
    AnsiString part = Path.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start);
    const TPropInfo* p = GetPropInfo(Obj, part);
    if (!p) UnknownProperty(part);
    if (dot == AnsiString::npos) return p;
    if (p->Kind != tkClass) throw EPropertyError(SInvalidPropertyPath);
    TObject* next = GetPropValueRaw(Obj, p).Obj;
    if (!next) throw EPropertyError(SInvalidPropertyPath);
    Obj = next;
    start = dot + 1;
  }
}

Int64 GetOrdProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkInteger, tkChar, tkEnumeration, tkSet, tkInt64});
  return GetPropValueRaw(Obj, p).Ord;
}

void SetOrdProp(TObject* Obj, const AnsiString& Name, Int64 Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkInteger, tkChar, tkEnumeration, tkSet, tkInt64});
  TPropValue v;
  v.Ord = Value;
  SetPropValueRaw(Obj, p, v);
}

Int64 GetInt64Prop(TObject* Obj, const AnsiString& Name) { return GetOrdProp(Obj, Name); }

void SetInt64Prop(TObject* Obj, const AnsiString& Name, Int64 Value) { SetOrdProp(Obj, Name, Value); }

AnsiString GetEnumProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkEnumeration});
  return GetEnumName(p->Enum(), GetPropValueRaw(Obj, p).Ord);
}

void SetEnumProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkEnumeration});
  int ord = GetEnumValue(p->Enum(), Value);
  if (ord < 0) throw EPropertyConvertError("Invalid enumeration name: " + Value);
  TPropValue v;
  v.Ord = ord;
  SetPropValueRaw(Obj, p, v);
}

AnsiString GetSetProp(TObject* Obj, const AnsiString& Name, bool Brackets) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkSet});
  return SetToString(p->Enum(), static_cast<UInt64>(GetPropValueRaw(Obj, p).Ord), Brackets);
}

void SetSetProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkSet});
  TPropValue v;
  v.Ord = static_cast<Int64>(StringToSet(p->Enum(), Value));
  SetPropValueRaw(Obj, p, v);
}

AnsiString GetStrProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkString});
  return GetPropValueRaw(Obj, p).Str;
}

void SetStrProp(TObject* Obj, const AnsiString& Name, const AnsiString& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkString});
  TPropValue v;
  v.Str = Value;
  SetPropValueRaw(Obj, p, v);
}

WideString GetWideStrProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkWString});
  return GetPropValueRaw(Obj, p).WStr;
}

void SetWideStrProp(TObject* Obj, const AnsiString& Name, const WideString& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkWString});
  TPropValue v;
  v.WStr = Value;
  SetPropValueRaw(Obj, p, v);
}

double GetFloatProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkFloat});
  return GetPropValueRaw(Obj, p).Float;
}

void SetFloatProp(TObject* Obj, const AnsiString& Name, double Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkFloat});
  TPropValue v;
  v.Float = Value;
  SetPropValueRaw(Obj, p, v);
}

TObject* GetObjectProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkClass});
  return GetPropValueRaw(Obj, p).Obj;
}

void SetObjectProp(TObject* Obj, const AnsiString& Name, TObject* Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkClass});
  if (Value && p->PropClass && !Value->InheritsFrom(p->PropClass)) throw EPropertyError(SInvalidPropertyValue);
  TPropValue v;
  v.Obj = Value;
  SetPropValueRaw(Obj, p, v);
}

Variant GetVariantProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkVariant});
  return GetPropValueRaw(Obj, p).Var;
}

void SetVariantProp(TObject* Obj, const AnsiString& Name, const Variant& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkVariant});
  TPropValue v;
  v.Var = Value;
  SetPropValueRaw(Obj, p, v);
}

TMethod GetMethodProp(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkMethod});
  return GetPropValueRaw(Obj, p).Method;
}

void SetMethodProp(TObject* Obj, const AnsiString& Name, const TMethod& Value) {
  const TPropInfo* p = NeedProp(Obj, Name);
  CheckKind(p, {tkMethod});
  if (Value.Assigned() && Value.Signature != p->Signature) throw EPropertyError(SInvalidPropertyValue);
  TPropValue v;
  v.Method = Value;
  SetPropValueRaw(Obj, p, v);
}

AnsiString GetPropText(TObject* Obj, const AnsiString& Name) {
  const TPropInfo* p = NeedProp(Obj, Name);
  TPropValue v = GetPropValueRaw(Obj, p);
  switch (p->Kind) {
    case tkInteger: case tkInt64: {
      AnsiString ident;
      if (p->Idents && p->Idents->IntToIdent(v.Ord, ident)) return ident;
      return std::to_string(v.Ord);
    }
    case tkChar: return AnsiString(1, static_cast<char>(v.Ord));
    case tkEnumeration: return GetEnumName(p->Enum(), v.Ord);
    case tkSet: return SetToString(p->Enum(), static_cast<UInt64>(v.Ord));
    case tkFloat: return FloatText(v.Float);
    case tkString: return v.Str;
    case tkWString: return WideToAnsi(v.WStr);
    case tkClass: {
      if (!v.Obj) return "";
      if (auto* c = dynamic_cast<TComponent*>(v.Obj)) {
        if (!c->ComponentStyle().Contains(csSubComponent)) {
          TComponent* root = LookupRootOf(Obj);
          if (c->Owner() && c->Owner() != root && !c->Owner()->Name().empty())
            return c->Owner()->Name() + "." + c->Name();
          return c->Name();
        }
      }
      return "(" + v.Obj->ClassName() + ")";
    }
    case tkMethod: return MethodName(v.Method);
    case tkVariant: return v.Var.IsEmpty() || v.Var.IsNull() ? AnsiString() : v.Var.AsString();
    default: throw EPropertyError(AnsiString("Invalid property type: ") + p->Name);
  }
}

void SetPropText(TObject* Obj, const AnsiString& Name, const AnsiString& Value) {
  TObject* holder = Obj;
  const TPropInfo* p = NeedProp(holder, Name);
  TPropValue v;
  auto parseInt = [&](const AnsiString& s) -> Int64 {
    AnsiString t = Trim(s);
    Int64 r = 0;
    if (p->Idents && p->Idents->IdentToInt(t, r)) return r;
    const char* b = t.data();
    const char* e = b + t.size();
    bool neg = false;
    if (b < e && (*b == '-' || *b == '+')) neg = *b++ == '-';
    int base = 10;
    if (b < e && *b == '$') { base = 16; ++b; }
    else if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) { base = 16; b += 2; }
    UInt64 u = 0;
    auto res = std::from_chars(b, e, u, base);
    if (b == e || res.ec != std::errc() || res.ptr != e) {
      AnsiString msg = SInvalidInteger;
      msg.replace(msg.find("%s"), 2, s);
      throw EConvertError(msg);
    }
    return neg ? -static_cast<Int64>(u) : static_cast<Int64>(u);
  };
  switch (p->Kind) {
    case tkInteger: case tkInt64: v.Ord = parseInt(Value); break;
    case tkChar:
      if (Value.size() != 1) throw EConvertError(SInvalidPropertyValue);
      v.Ord = static_cast<unsigned char>(Value[0]);
      break;
    case tkEnumeration: {
      int ord = GetEnumValue(p->Enum(), Trim(Value));
      if (ord < 0) throw EConvertError(SInvalidPropertyValue);
      v.Ord = ord;
      break;
    }
    case tkSet: v.Ord = static_cast<Int64>(StringToSet(p->Enum(), Value)); break;
    case tkFloat: {
      AnsiString t = Trim(Value);
      char* end = nullptr;
      v.Float = std::strtod(t.c_str(), &end);
      if (t.empty() || *end) {
        AnsiString msg = SInvalidFloat;
        msg.replace(msg.find("%s"), 2, Value);
        throw EConvertError(msg);
      }
      break;
    }
    case tkString: v.Str = Value; break;
    case tkWString: v.WStr = AnsiToWide(Value); break;
    case tkClass: {
      AnsiString t = Trim(Value);
      if (!t.empty() && !SameText(t, "nil")) {
        v.Obj = FindNestedComponent(LookupRootOf(holder), t);
        if (!v.Obj) throw EPropertyError("Component '" + t + "' not found");
        if (p->PropClass && !v.Obj->InheritsFrom(p->PropClass)) throw EPropertyError(SInvalidPropertyValue);
      }
      break;
    }
    case tkMethod: {
      AnsiString t = Trim(Value);
      if (!t.empty() && !SameText(t, "nil")) {
        v.Method = MethodByName(LookupRootOf(holder), t);
        if (!v.Method.Assigned()) throw EPropertyError("Method '" + t + "' not found");
        if (v.Method.Signature != p->Signature) throw EPropertyError(SInvalidPropertyValue);
      }
      break;
    }
    case tkVariant: v.Var = Variant(Value); break;
    default: throw EPropertyError(AnsiString("Invalid property type: ") + p->Name);
  }
  SetPropValueRaw(holder, p, v);
}

// ---------------------------------------------------------------------------
// handlers and fields

void RegisterHandlerTable(TClass Cls, std::vector<THandlerInfo> Handlers, std::vector<TFieldInfo> Fields) {
  auto& e = Reg().Entries[Cls];
  for (auto& h : Handlers) e.Handlers.push_back(std::move(h));
  for (auto& f : Fields) e.Fields.push_back(std::move(f));
}

const THandlerInfo* FindHandler(TClass Cls, const AnsiString& Name) {
  auto& reg = Reg();
  for (TClass c = Cls; c; c = c->Parent) {
    auto it = reg.Entries.find(c);
    if (it == reg.Entries.end()) continue;
    for (const auto& h : it->second.Handlers)
      if (SameText(h.Name, Name)) return &h;
  }
  return nullptr;
}

const TFieldInfo* FindField(TClass Cls, const AnsiString& Name) {
  if (Name.empty()) return nullptr;
  auto& reg = Reg();
  for (TClass c = Cls; c; c = c->Parent) {
    auto it = reg.Entries.find(c);
    if (it == reg.Entries.end()) continue;
    for (const auto& f : it->second.Fields)
      if (SameText(f.Name, Name)) return &f;
  }
  return nullptr;
}

TMethod MethodByName(TObject* Root, const AnsiString& Name) {
  TMethod m;
  if (!Root) return m;
  const THandlerInfo* h = FindHandler(Root->ClassType(), Name);
  if (!h) return m;
  void* data = h->Adjust(Root);
  if (!data) return m;
  m.Data = data;
  m.Object = Root;
  m.Code = h->Code;
  m.Signature = h->Signature;
  return m;
}

AnsiString MethodName(const TMethod& Method) {
  if (!Method.Assigned() || !Method.Object) return "";
  auto& reg = Reg();
  for (TClass c = Method.Object->ClassType(); c; c = c->Parent) {
    auto it = reg.Entries.find(c);
    if (it == reg.Entries.end()) continue;
    for (const auto& h : it->second.Handlers)
      if (h.Code == Method.Code && h.Signature == Method.Signature && h.Adjust(Method.Object) == Method.Data)
        return h.Name;
  }
  return "";
}

void ClearTypeInfo() {
  auto& reg = Reg();
  reg.Merged.clear();
  reg.Entries.clear();
  reg.Retired.clear();
}
