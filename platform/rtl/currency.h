// Fixed-point currency: a 64-bit integer holding the amount times 10000, so
// four decimals are exact. Conversions from floating point and the rounding
// of products and quotients round to the nearest 1/10000 with ties to even,
// as the platform's floating-point unit does. A result that does not fit
// raises EIntOverflow; division by zero raises EDivByZero.
#pragma once
#include <compare>
#include <type_traits>
#include "platform/rtl/types.h"

struct Currency {
  Int64 Value = 0;  // amount × 10000

  static constexpr Int64 Scale = 10000;

  constexpr Currency() = default;
  template <typename T>
    requires std::is_integral_v<T>
  explicit Currency(T whole) : Currency(FromInt64(static_cast<Int64>(whole))) {}
  explicit Currency(double d) : Value(DoubleToScaled(d)) {}

  static constexpr Currency FromScaled(Int64 scaled) {
    Currency c;
    c.Value = scaled;
    return c;
  }
  static Currency FromDouble(double d) { return FromScaled(DoubleToScaled(d)); }
  static Currency FromInt64(Int64 whole);

  double ToDouble() const { return static_cast<double>(Value) / Scale; }
  explicit operator double() const { return ToDouble(); }
  // Whole units, rounded half to even (the platform's Round of a currency).
  Int64 Round() const;
  // Whole units, the fraction dropped.
  Int64 Trunc() const { return Value / Scale; }

  // Scaled value of d × 10000 rounded half to even; raises EIntOverflow when
  // d is not finite or out of range.
  static Int64 DoubleToScaled(double d);

  Currency operator-() const;
  Currency& operator+=(Currency o);
  Currency& operator-=(Currency o);
  Currency& operator*=(Currency o);
  Currency& operator/=(Currency o);

  friend Currency operator+(Currency a, Currency b) { return a += b; }
  friend Currency operator-(Currency a, Currency b) { return a -= b; }
  friend Currency operator*(Currency a, Currency b) { return a *= b; }
  friend Currency operator/(Currency a, Currency b) { return a /= b; }
  friend Currency operator*(Currency a, Int64 n);
  friend Currency operator*(Int64 n, Currency a) { return a * n; }
  friend Currency operator/(Currency a, Int64 n);

  friend constexpr bool operator==(Currency a, Currency b) { return a.Value == b.Value; }
  friend constexpr std::strong_ordering operator<=>(Currency a, Currency b) { return a.Value <=> b.Value; }
};

// double → currency and back, for code written with the platform's casts.
inline Currency DoubleToCurr(double d) { return Currency::FromDouble(d); }
inline double CurrToDouble(Currency c) { return c.ToDouble(); }
