#include "platform/rtl/currency.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlconsts.h"

namespace {

using Int128 = __int128;

constexpr Int128 kMaxInt64 = INT64_MAX;
constexpr Int128 kMinInt64 = INT64_MIN;

Int64 Checked(Int128 v) {
  if (v > kMaxInt64 || v < kMinInt64) throw EIntOverflow(SIntOverflow);
  return static_cast<Int64>(v);
}

// num / den rounded to the nearest integer, ties to even.
Int128 DivRoundEven(Int128 num, Int128 den) {
  if (den == 0) throw EDivByZero(SDivByZero);
  if (den < 0) {
    num = -num;
    den = -den;
  }
  Int128 q = num / den;
  Int128 r = num % den;
  if (r < 0) r = -r;
  Int128 twice = r * 2;
  if (twice > den || (twice == den && (q & 1) != 0)) q += num < 0 ? -1 : 1;
  return q;
}

}  // namespace

Currency Currency::FromInt64(Int64 whole) { return FromScaled(Checked(static_cast<Int128>(whole) * Scale)); }

Int64 Currency::DoubleToScaled(double d) {
  // The product is formed in extended precision, so values such as 1.0005 that
  // are not exact in binary still land on the intended 1/10000.
  long double x = static_cast<long double>(d) * 10000.0L;
  if (!std::isfinite(x) || x >= 9223372036854775808.0L || x < -9223372036854775808.0L)
    throw EIntOverflow(SIntOverflow);
  long double r = std::nearbyintl(x);  // default rounding: to nearest, ties to even
  if (r >= 9223372036854775808.0L) throw EIntOverflow(SIntOverflow);
  return static_cast<Int64>(r);
}

Int64 Currency::Round() const { return static_cast<Int64>(DivRoundEven(Value, Scale)); }

Currency Currency::operator-() const {
  if (Value == INT64_MIN) throw EIntOverflow(SIntOverflow);
  return FromScaled(-Value);
}

Currency& Currency::operator+=(Currency o) {
  Value = Checked(static_cast<Int128>(Value) + o.Value);
  return *this;
}

Currency& Currency::operator-=(Currency o) {
  Value = Checked(static_cast<Int128>(Value) - o.Value);
  return *this;
}

Currency& Currency::operator*=(Currency o) {
  Value = Checked(DivRoundEven(static_cast<Int128>(Value) * o.Value, Scale));
  return *this;
}

Currency& Currency::operator/=(Currency o) {
  Value = Checked(DivRoundEven(static_cast<Int128>(Value) * Scale, o.Value));
  return *this;
}

Currency operator*(Currency a, Int64 n) { return Currency::FromScaled(Checked(static_cast<Int128>(a.Value) * n)); }

Currency operator/(Currency a, Int64 n) { return Currency::FromScaled(Checked(DivRoundEven(a.Value, n))); }
