// Decimal digits of a floating-point or currency value, shared by the float
// formatting routines and Format. Not part of the library's interface.
#pragma once
#include <string>
#include "platform/rtl/currency.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace pv_float {

inline constexpr int kMaxPrecision = 18;
inline constexpr int kNoDecimalsLimit = 9999;

// value = 0.digits × 10^exponent; digits has no trailing zeros and is empty
// for zero.
struct Decimal {
  enum Special { Finite, Inf, NaN };
  Special special = Finite;
  bool negative = false;
  int exponent = 0;
  std::string digits;
};

Decimal FromDouble(double v);  // 18 significant digits
Decimal FromCurrency(Currency c);
// Rounds half away from zero to at most `precision` significant digits and,
// unless decimals is kNoDecimalsLimit, at most `decimals` after the point.
void Round(Decimal& d, int precision, int decimals);
// The platform's FloatToText for the five float formats.
std::string FormatDecimal(const Decimal& value, TFloatFormat format, int precision, int digits,
                          const TFormatSettings& fs);

}  // namespace pv_float
