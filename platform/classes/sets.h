// Sets of enumeration values (the platform's "set of TEnum"), held as a bit mask
// of up to 64 elements indexed by the ordinal value.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <class E>
class TSet {
  static_assert(std::is_enum_v<E> || std::is_integral_v<E>, "TSet holds enumeration or small integer values");

 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) FBits |= Bit(e);
  }
  static constexpr TSet FromMask(std::uint64_t mask) {
    TSet s;
    s.FBits = mask;
    return s;
  }
  constexpr std::uint64_t Mask() const { return FBits; }

  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& operator<<(E e) { FBits |= Bit(e); return *this; }  // include
  constexpr TSet& operator>>(E e) { FBits &= ~Bit(e); return *this; }  // exclude
  constexpr void Clear() { FBits = 0; }

  constexpr TSet operator+(TSet o) const { return FromMask(FBits | o.FBits); }  // union
  constexpr TSet operator*(TSet o) const { return FromMask(FBits & o.FBits); }  // intersection
  constexpr TSet operator-(TSet o) const { return FromMask(FBits & ~o.FBits); }  // difference
  constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
  constexpr TSet& operator*=(TSet o) { FBits &= o.FBits; return *this; }
  constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
  constexpr bool operator==(const TSet& o) const = default;
  // a <= b: every element of a is in b.
  constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; }
  constexpr bool operator>=(TSet o) const { return o <= *this; }

 private:
  static constexpr std::uint64_t Bit(E e) {
    auto v = static_cast<std::uint64_t>(e);
    return v < 64 ? (std::uint64_t{1} << v) : 0;
  }
  std::uint64_t FBits = 0;
};
