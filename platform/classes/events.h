// Event delegates: an object and one of its member functions, the platform's
// "procedure of object". Two delegates are equal when both the object and the
// function are equal, so components can compare handlers and swap them; a
// delegate can be nil. TMethod is the untyped form the property registry and
// the description reader use.
#pragma once
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>
#include "platform/classes/sets.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// The code half of a method: a typed thunk and the member-function pointer it calls.
struct TMethodCode {
  using AnyThunk = void (*)();
  static constexpr std::size_t PmfSize = 2 * sizeof(void*);
  AnyThunk Thunk = nullptr;
  unsigned char Pmf[PmfSize] = {};
  bool operator==(const TMethodCode& o) const {
    return Thunk == o.Thunk && std::memcmp(Pmf, o.Pmf, PmfSize) == 0;
  }
};

// Identifies a handler signature; one address per distinct function type.
template <class Sig>
const void* SignatureId() {
  static const char id = 0;
  return &id;
}

// An untyped delegate. Data points at the object (as the class that declares the
// member function); Signature tells which TEvent type it came from.
struct TMethod {
  void* Data = nullptr;
  TObject* Object = nullptr;  // the same object as a TObject, when it is one
  TMethodCode Code;
  const void* Signature = nullptr;
  bool Assigned() const { return Code.Thunk != nullptr; }
  bool operator==(const TMethod& o) const { return Data == o.Data && Code == o.Code; }
};

namespace pv_detail {
template <class C, class Pmf, class R, class... A>
R MemberThunk(void* obj, const unsigned char* pmf, A... args) {
  Pmf m;
  std::memcpy(&m, pmf, sizeof m);
  return (static_cast<C*>(obj)->*m)(std::forward<A>(args)...);
}

template <class Pmf>
void StorePmf(unsigned char* dst, Pmf m) {
  static_assert(sizeof(Pmf) <= TMethodCode::PmfSize, "member-function pointer too large");
  std::memcpy(dst, &m, sizeof m);
}
}  // namespace pv_detail

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  using Signature = R(A...);
  using Thunk = R (*)(void*, const unsigned char*, A...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  // Binds obj->m. The object may be of a class derived from the one declaring m.
  template <class C, class D>
    requires std::is_base_of_v<C, D>
  TEvent(D* obj, R (C::*m)(A...)) {
    Bind<C>(static_cast<C*>(obj), m);
    if constexpr (std::is_convertible_v<D*, TObject*>)
      if (Assigned()) FObject = obj;
  }
  template <class C, class D>
    requires std::is_base_of_v<C, D>
  TEvent(const D* obj, R (C::*m)(A...) const) {
    Bind<const C>(static_cast<const C*>(obj), m);
    if constexpr (std::is_convertible_v<const D*, const TObject*>)
      if (Assigned()) FObject = const_cast<D*>(obj);
  }

  bool Assigned() const { return FCode.Thunk != nullptr; }
  explicit operator bool() const { return Assigned(); }
  bool operator==(const TEvent& o) const { return FData == o.FData && FCode == o.FCode; }
  bool operator==(std::nullptr_t) const { return !Assigned(); }

  // Calls the handler. Calling a nil delegate raises EInvalidOperation.
  R operator()(A... args) const {
    if (!FCode.Thunk) throw EInvalidOperation("Event handler not assigned");
    return reinterpret_cast<Thunk>(FCode.Thunk)(FData, FCode.Pmf, std::forward<A>(args)...);
  }

  void* Data() const { return FData; }
  TObject* Object() const { return FObject; }
  TMethod ToMethod() const {
    TMethod m;
    if (Assigned()) {
      m.Data = FData;
      m.Object = FObject;
      m.Code = FCode;
      m.Signature = SignatureId<Signature>();
    }
    return m;
  }
  // Nil when M is nil; EInvalidCast when M was made for another signature.
  static TEvent FromMethod(const TMethod& M) {
    TEvent e;
    if (!M.Assigned()) return e;
    if (M.Signature != SignatureId<Signature>()) throw EInvalidCast("Incompatible event handler type");
    e.FData = M.Data;
    e.FObject = M.Object;
    e.FCode = M.Code;
    return e;
  }

 // The code of member function m of class C, without an object (handler tables).
  template <class C, class Pmf>
  static TMethodCode CodeOf(Pmf m) {
    TMethodCode code;
    if (!m) return code;
    pv_detail::StorePmf(code.Pmf, m);
    Thunk t = &pv_detail::MemberThunk<C, Pmf, R, A...>;
    code.Thunk = reinterpret_cast<TMethodCode::AnyThunk>(t);
    return code;
  }

 private:
  template <class C, class Pmf>
  void Bind(C* obj, Pmf m) {
    if (!obj || !m) return;
    FData = const_cast<std::remove_const_t<C>*>(obj);
    FCode = CodeOf<C>(m);
  }

  void* FData = nullptr;
  TObject* FObject = nullptr;
  TMethodCode FCode;
};

// ---- the usual event types ----

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = TEvent<void(TObject* Sender)>;
using TKeyEvent = TEvent<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TGetStrProc = TEvent<void(const AnsiString& S)>;
