// Floating-point and currency text: FloatToStr, FloatToStrF, FormatFloat,
// FormatCurr, CurrToStr(F), and the parsers StrToFloat, TextToFloat, StrToCurr.
//
// A double is first turned into 18 significant decimal digits (correctly
// rounded from its binary value), and that decimal is then rounded half away
// from zero to the digits asked for. So 0.125 shows as 0.13 with two decimals,
// while 2.675 (really 2.67499999...) shows as 2.67.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/floatfmt_internal.h"
#include "platform/rtl/strings.h"

namespace pv_float {

Decimal FromDouble(double v) {
  Decimal d;
  if (std::isnan(v)) {
    d.special = Decimal::NaN;
    return d;
  }
  d.negative = std::signbit(v);
  if (std::isinf(v)) {
    d.special = Decimal::Inf;
    return d;
  }
  if (v == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", std::fabs(v));
  // "d.ddddddddddddddddde±XX"
  d.digits += buf[0];
  const char* p = buf + 2;
  while (*p >= '0' && *p <= '9') d.digits += *p++;
  int e = std::atoi(p + 1);
  d.exponent = e + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

Decimal FromCurrency(Currency c) {
  Decimal d;
  Int64 v = c.Value;
  if (v == 0) return d;
  d.negative = v < 0;
  UInt64 u = v < 0 ? 0ull - static_cast<UInt64>(v) : static_cast<UInt64>(v);
  d.digits = std::to_string(u);
  d.exponent = static_cast<int>(d.digits.size()) - 4;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

void Round(Decimal& d, int precision, int decimals) {
  if (d.special != Decimal::Finite || d.digits.empty()) return;
  long keep = precision;
  if (decimals < kNoDecimalsLimit) keep = std::min<long>(keep, static_cast<long>(d.exponent) + decimals);
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  if (static_cast<std::size_t>(keep) >= d.digits.size()) return;
  bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = static_cast<int>(d.digits.size()) - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    } else {
      ++d.digits[static_cast<std::size_t>(i)];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

namespace {

std::string SpecialText(const Decimal& d) {
  if (d.special == Decimal::NaN) return "NAN";
  return d.negative ? "-INF" : "INF";
}

// Digit i (0-based from the first significant digit), '0' past the end.
char DigitAt(const Decimal& d, long i) {
  if (i < 0 || static_cast<std::size_t>(i) >= d.digits.size()) return '0';
  return d.digits[static_cast<std::size_t>(i)];
}

std::string ExponentText(int exp, int minDigits, bool alwaysSign) {
  std::string r;
  if (exp < 0) r += '-';
  else if (alwaysSign) r += '+';
  std::string n = std::to_string(exp < 0 ? -exp : exp);
  if (static_cast<int>(n.size()) < minDigits) r.append(static_cast<std::size_t>(minDigits) - n.size(), '0');
  return r + n;
}

// Integer digits of d (at least "0") with optional thousand grouping.
std::string IntegerPart(const Decimal& d, char thousands) {
  std::string s;
  for (long i = 0; i < d.exponent; ++i) s += DigitAt(d, i);
  if (s.empty()) s.push_back('0');
  if (thousands == '\0') return s;
  std::string g;
  int n = static_cast<int>(s.size());
  for (int i = 0; i < n; ++i) {
    g += s[static_cast<std::size_t>(i)];
    int left = n - 1 - i;
    if (left > 0 && left % 3 == 0) g += thousands;
  }
  return g;
}

std::string FractionPart(const Decimal& d, int decimals) {
  std::string s;
  for (int i = 0; i < decimals; ++i) s += DigitAt(d, d.exponent + i);
  return s;
}

// "-ddd.ddd" (ffFixed) or grouped (ffNumber), without the sign.
std::string FixedBody(const Decimal& d, int decimals, bool grouped, const TFormatSettings& fs) {
  std::string r = IntegerPart(d, grouped ? fs.ThousandSeparator : '\0');
  if (decimals > 0) {
    r += fs.DecimalSeparator;
    r += FractionPart(d, decimals);
  }
  return r;
}

std::string GeneralText(Decimal d, int precision, int expDigits, const TFormatSettings& fs) {
  Round(d, precision, kNoDecimalsLimit);
  if (d.digits.empty()) return "0";
  std::string r = d.negative ? "-" : "";
  if (d.exponent > precision || d.exponent < -3) {
    r += d.digits[0];
    if (d.digits.size() > 1) {
      r += fs.DecimalSeparator;
      r.append(d.digits, 1, std::string::npos);
    }
    r += 'E';
    r += ExponentText(d.exponent - 1, expDigits, false);
    return r;
  }
  if (d.exponent <= 0) {
    r += '0';
    r += fs.DecimalSeparator;
    r.append(static_cast<std::size_t>(-d.exponent), '0');
    r += d.digits;
    return r;
  }
  r += IntegerPart(d, '\0');
  if (static_cast<long>(d.digits.size()) > d.exponent) {
    r += fs.DecimalSeparator;
    r.append(d.digits, static_cast<std::size_t>(d.exponent), std::string::npos);
  }
  return r;
}

std::string ExponentTextFull(Decimal d, int precision, int expDigits, const TFormatSettings& fs) {
  Round(d, precision, kNoDecimalsLimit);
  std::string r = (d.negative && !d.digits.empty()) ? "-" : "";
  r += DigitAt(d, 0);
  if (precision > 1) {
    r += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) r += DigitAt(d, i);
  }
  r += 'E';
  r += ExponentText(d.digits.empty() ? 0 : d.exponent - 1, expDigits, true);
  return r;
}

std::string ApplyCurrencyFormat(const std::string& number, bool negative, const TFormatSettings& fs) {
  const std::string& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return number + c;
      case 2: return c + " " + number;
      case 3: return number + " " + c;
      default: return c + number;
    }
  }
  switch (fs.NegCurrFormat) {
    case 0: return "(" + c + number + ")";
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 8: return "-" + number + " " + c;
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    case 15: return "(" + number + " " + c + ")";
    default: return c + "-" + number;
  }
}

}  // namespace

std::string FormatDecimal(const Decimal& value, TFloatFormat format, int precision, int digits,
                          const TFormatSettings& fs) {
  if (value.special != Decimal::Finite) return SpecialText(value);
  precision = std::clamp(precision, 1, kMaxPrecision + 1);  // 19 for currency
  switch (format) {
    case ffGeneral:
      return GeneralText(value, precision, std::clamp(digits, 0, 4), fs);
    case ffExponent:
      return ExponentTextFull(value, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = std::clamp(digits, 0, 18);
      Decimal d = value;
      Round(d, kMaxPrecision + 1, digits);
      // More integer digits than the precision holds: scientific notation.
      if (d.exponent > precision && format != ffCurrency) return GeneralText(value, precision, 0, fs);
      bool negative = d.negative && !d.digits.empty();
      std::string body = FixedBody(d, digits, format != ffFixed, fs);
      if (format == ffCurrency) return ApplyCurrencyFormat(body, negative, fs);
      return negative ? "-" + body : body;
    }
  }
  return GeneralText(value, precision, 0, fs);
}

// ---------------------------------------------------------------------------
// FormatFloat patterns

namespace {

// Splits at ';' outside quotes; at most three sections.
std::vector<std::string_view> SplitSections(std::string_view fmt) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (IsDBCSLeadByte(c) && i + 1 < fmt.size()) {
      ++i;
    } else if (c == ';') {
      out.push_back(fmt.substr(start, i - start));
      start = i + 1;
      if (out.size() == 2) break;
    }
  }
  out.push_back(fmt.substr(start));
  if (out.size() == 3) {
    // Anything after a third ';' is ignored.
    std::string_view third = out[2];
    char q = 0;
    for (std::size_t i = 0; i < third.size(); ++i) {
      char c = third[i];
      if (q) {
        if (c == q) q = 0;
      } else if (c == '"' || c == '\'') {
        q = c;
      } else if (c == ';') {
        out[2] = third.substr(0, i);
        break;
      }
    }
  }
  return out;
}

struct Layout {
  int intPlaceholders = 0;   // '0' and '#' before the decimal point
  int intZeros = 0;          // placeholders from the first '0' to the point
  int fracPlaceholders = 0;  // '0' and '#' after the point
  int fracZeros = 0;         // up to and including the last '0' after the point
  bool hasPoint = false;
  bool thousands = false;
  bool scientific = false;
  int expZeros = 0;
};

// Walks a section and reports each element to `visit`.
enum class Tok { Literal, Digit0, DigitHash, Point, Comma, Exponent };

template <typename F>
void Scan(std::string_view s, F visit) {
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"' || c == '\'') {
      std::size_t end = s.find(c, i + 1);
      if (end == std::string_view::npos) end = s.size();
      visit(Tok::Literal, s.substr(i + 1, end - i - 1), 0);
      i = end + 1;
    } else if (IsDBCSLeadByte(c) && i + 1 < s.size()) {
      visit(Tok::Literal, s.substr(i, 2), 0);
      i += 2;
    } else if (c == '0') {
      visit(Tok::Digit0, s.substr(i, 1), 0);
      ++i;
    } else if (c == '#') {
      visit(Tok::DigitHash, s.substr(i, 1), 0);
      ++i;
    } else if (c == '.') {
      visit(Tok::Point, s.substr(i, 1), 0);
      ++i;
    } else if (c == ',') {
      visit(Tok::Comma, s.substr(i, 1), 0);
      ++i;
    } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      std::size_t j = i + 2;
      int zeros = 0;
      while (j < s.size() && s[j] == '0' && zeros < 4) {
        ++zeros;
        ++j;
      }
      visit(Tok::Exponent, s.substr(i, 2), zeros);
      i = j;
    } else {
      visit(Tok::Literal, s.substr(i, 1), 0);
      ++i;
    }
  }
}

Layout Analyse(std::string_view s) {
  Layout l;
  bool afterPoint = false, inExponent = false;
  int firstZero = -1;
  Scan(s, [&](Tok t, std::string_view, int zeros) {
    if (inExponent) return;
    switch (t) {
      case Tok::Digit0:
      case Tok::DigitHash:
        if (afterPoint) {
          ++l.fracPlaceholders;
          if (t == Tok::Digit0) l.fracZeros = l.fracPlaceholders;
        } else {
          if (t == Tok::Digit0 && firstZero < 0) firstZero = l.intPlaceholders;
          ++l.intPlaceholders;
        }
        break;
      case Tok::Point:
        if (!afterPoint) {
          afterPoint = true;
          l.hasPoint = true;
        }
        break;
      case Tok::Comma:
        l.thousands = true;
        break;
      case Tok::Exponent:
        l.scientific = true;
        l.expZeros = zeros;
        inExponent = true;  // later placeholders are literal text
        break;
      case Tok::Literal:
        break;
    }
  });
  if (firstZero >= 0) l.intZeros = l.intPlaceholders - firstZero;
  return l;
}

bool IsZeroAfterRounding(Decimal d, const Layout& l) {
  if (l.scientific) Round(d, std::max(1, l.intPlaceholders + l.fracPlaceholders), kNoDecimalsLimit);
  else Round(d, kMaxPrecision, l.fracPlaceholders);
  return d.digits.empty();
}

std::string Render(std::string_view s, Decimal d, bool withMinus, const TFormatSettings& fs) {
  Layout l = Analyse(s);
  int exponent = 0;
  if (l.scientific) {
    int digits = std::max(1, l.intPlaceholders + l.fracPlaceholders);
    Round(d, std::min(digits, kMaxPrecision), kNoDecimalsLimit);
    if (!d.digits.empty()) {
      exponent = d.exponent - l.intPlaceholders;
      d.exponent = l.intPlaceholders;
    }
  } else {
    Round(d, kMaxPrecision, l.fracPlaceholders);
  }

  // Integer digits to show, left-padded with zeros to the '0' placeholders.
  std::string intDigits;
  for (long i = 0; i < d.exponent; ++i) intDigits += DigitAt(d, i);
  if (static_cast<int>(intDigits.size()) < l.intZeros)
    intDigits.insert(0, static_cast<std::size_t>(l.intZeros) - intDigits.size(), '0');
  // Fraction digits: the significant ones, then zeros to the last '0'.
  std::string fracDigits;
  {
    long sig = static_cast<long>(d.digits.size()) - d.exponent;
    long n = std::max<long>(std::min<long>(sig, l.fracPlaceholders), l.fracZeros);
    for (long i = 0; i < n; ++i) fracDigits += DigitAt(d, d.exponent + i);
  }

  std::string out;
  if (withMinus) out += '-';
  const int nInt = static_cast<int>(intDigits.size());
  int intSeen = 0, fracSeen = 0;
  bool afterPoint = false, inExponent = false;
  auto emitInt = [&](int fromRight) {
    out += intDigits[static_cast<std::size_t>(nInt - 1 - fromRight)];
    if (l.thousands && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
  };
  Scan(s, [&](Tok t, std::string_view text, int zeros) {
    if (inExponent && (t == Tok::Digit0 || t == Tok::DigitHash || t == Tok::Point || t == Tok::Comma)) {
      out.append(text);
      return;
    }
    switch (t) {
      case Tok::Literal:
        out.append(text);
        break;
      case Tok::Comma:
        break;
      case Tok::Point:
        if (!afterPoint) {
          afterPoint = true;
          if (!fracDigits.empty()) out += fs.DecimalSeparator;
        } else {
          out.append(text);
        }
        break;
      case Tok::Digit0:
      case Tok::DigitHash:
        if (!afterPoint) {
          int fromRight = l.intPlaceholders - 1 - intSeen;
          if (intSeen == 0)
            for (int r = nInt - 1; r > fromRight; --r) emitInt(r);  // digits beyond the placeholders
          if (fromRight < nInt) emitInt(fromRight);
          ++intSeen;
        } else {
          if (fracSeen < static_cast<int>(fracDigits.size())) out += fracDigits[static_cast<std::size_t>(fracSeen)];
          ++fracSeen;
        }
        break;
      case Tok::Exponent:
        if (!afterPoint && intSeen == 0)
          for (int r = nInt - 1; r >= 0; --r) emitInt(r);
        inExponent = true;
        out += text[0];
        out += ExponentText(exponent, zeros, text[1] == '+');
        break;
    }
  });
  return out;
}

std::string FormatWithPattern(const std::string& fmt, const Decimal& value, const TFormatSettings& fs,
                              const std::function<std::string()>& general) {
  if (value.special != Decimal::Finite) return SpecialText(value);
  std::vector<std::string_view> sections = SplitSections(fmt);
  if (fmt.empty()) return general();
  std::string_view pos = sections[0];
  std::string_view neg = sections.size() > 1 ? sections[1] : std::string_view();
  std::string_view zero = sections.size() > 2 ? sections[2] : std::string_view();
  bool negative = value.negative && !value.digits.empty();
  std::string_view chosen = pos;
  bool minus = false;
  if (negative && !neg.empty()) chosen = neg;
  else if (negative) minus = true;
  if (IsZeroAfterRounding(value, Analyse(chosen))) {
    if (!zero.empty()) chosen = zero;
    minus = false;
    Decimal z;
    return Render(chosen, z, false, fs);
  }
  Decimal d = value;
  d.negative = false;
  return Render(chosen, d, minus, fs);
}

}  // namespace

}  // namespace pv_float

using namespace pv_float;

// ---------------------------------------------------------------------------
// Public routines

AnsiString FloatToStr(double Value) { return FloatToStrF(Value, ffGeneral, 15, 0); }

AnsiString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
  return FormatDecimal(FromDouble(Value), Format, Precision, Digits, FormatSettings());
}

AnsiString FormatFloat(const AnsiString& Format, double Value) {
  const TFormatSettings& fs = FormatSettings();
  Decimal d = FromDouble(Value);
  // Values beyond 18 integer digits cannot be laid out by a pattern.
  if (d.special == Decimal::Finite && d.exponent > kMaxPrecision) return FloatToStrF(Value, ffGeneral, 15, 0);
  return FormatWithPattern(Format, d, fs, [&] { return FloatToStrF(Value, ffGeneral, 15, 0); });
}

AnsiString FormatCurr(const AnsiString& Format, Currency Value) {
  const TFormatSettings& fs = FormatSettings();
  return FormatWithPattern(Format, FromCurrency(Value), fs, [&] { return CurrToStr(Value); });
}

AnsiString CurrToStr(Currency Value) { return CurrToStrF(Value, ffGeneral, 0); }

AnsiString CurrToStrF(Currency Value, TFloatFormat Format, int Digits) {
  return FormatDecimal(FromCurrency(Value), Format, kMaxPrecision + 1, Digits, FormatSettings());
}

// ---------------------------------------------------------------------------
// Parsing

namespace {

struct ParsedNumber {
  bool negative = false;
  std::string mantissa;  // all digits, leading zeros kept
  long fracDigits = 0;   // how many of them follow the decimal separator
  long exponent = 0;
};

// [blanks] [sign] digits [sep digits] [(e|E) [sign] [digits]] [blanks]; at
// least one mantissa digit. An exponent without digits is 0 ("1.5E" is 1.5), as
// on the platform the program was written for: a number typed key by key
// stays a number when the "E" is typed.
bool ParseNumber(std::string_view s, char decimalSep, ParsedNumber& n) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::size_t end = s.size();
  while (end > i && s[end - 1] == ' ') --end;
  if (i < end && (s[i] == '+' || s[i] == '-')) {
    n.negative = s[i] == '-';
    ++i;
  }
  bool any = false;
  while (i < end && s[i] >= '0' && s[i] <= '9') {
    n.mantissa += s[i++];
    any = true;
  }
  if (i < end && s[i] == decimalSep) {
    ++i;
    while (i < end && s[i] >= '0' && s[i] <= '9') {
      n.mantissa += s[i++];
      ++n.fracDigits;
      any = true;
    }
  }
  if (!any) return false;
  if (i < end && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNeg = false;
    if (i < end && (s[i] == '+' || s[i] == '-')) {
      expNeg = s[i] == '-';
      ++i;
    }
    long e = 0;
    while (i < end && s[i] >= '0' && s[i] <= '9') {
      if (e < 100000) e = e * 10 + (s[i] - '0');
      ++i;
    }
    n.exponent = expNeg ? -e : e;
  }
  return i == end;
}

}  // namespace

bool TextToFloat(const AnsiString& S, double& Value) {
  ParsedNumber n;
  if (!ParseNumber(S, FormatSettings().DecimalSeparator, n)) return false;
  std::string c = n.negative ? "-" : "";
  c += n.mantissa.empty() ? "0" : n.mantissa;
  c += 'e';
  c += std::to_string(n.exponent - n.fracDigits);
  double v = 0;
  auto res = std::from_chars(c.data(), c.data() + c.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Underflow gives zero; overflow is not a valid value.
    bool tiny = n.exponent - n.fracDigits + static_cast<long>(n.mantissa.size()) < 0;
    if (!tiny) return false;
    v = n.negative ? -0.0 : 0.0;
  } else if (res.ec != std::errc()) {
    return false;
  }
  Value = v;
  return true;
}

bool TextToFloat(const char* Buffer, double& Value) { return TextToFloat(AnsiString(Buffer ? Buffer : ""), Value); }

bool TextToFloat(const AnsiString& S, Currency& Value) {
  ParsedNumber n;
  if (!ParseNumber(S, FormatSettings().DecimalSeparator, n)) return false;
  std::string m = n.mantissa;
  std::size_t nz = m.find_first_not_of('0');
  if (nz == std::string::npos) {
    Value = Currency();
    return true;
  }
  m.erase(0, nz);
  // value × 10000 = m × 10^shift
  long shift = n.exponent - n.fracDigits + 4;
  __int128 acc = 0;
  const __int128 limit = static_cast<__int128>(INT64_MAX) + (n.negative ? 1 : 0);
  std::string intPart = m, rest;
  if (shift < 0) {
    long cut = static_cast<long>(m.size()) + shift;
    if (cut <= 0) {
      intPart.clear();
      rest = std::string(static_cast<std::size_t>(-cut), '0') + m;
    } else {
      intPart = m.substr(0, static_cast<std::size_t>(cut));
      rest = m.substr(static_cast<std::size_t>(cut));
    }
  } else {
    if (static_cast<long>(m.size()) + shift > 20) return false;
    intPart.append(static_cast<std::size_t>(shift), '0');
  }
  if (intPart.size() > 20) return false;
  for (char c : intPart) {
    acc = acc * 10 + (c - '0');
    if (acc > limit) return false;
  }
  // Ties go to the even neighbour.
  if (!rest.empty()) {
    bool up;
    if (rest[0] > '5') up = true;
    else if (rest[0] < '5') up = false;
    else up = rest.find_first_not_of('0', 1) != std::string::npos || (acc & 1) != 0;
    if (up) ++acc;
    if (acc > limit) return false;
  }
  Value = Currency::FromScaled(n.negative ? static_cast<Int64>(-acc) : static_cast<Int64>(acc));
  return true;
}

bool TryStrToFloat(const AnsiString& S, double& Value) { return TextToFloat(S, Value); }

double StrToFloat(const AnsiString& S) {
  double v;
  if (!TextToFloat(S, v)) throw EConvertError(SInvalidFloat, {S});
  return v;
}

double StrToFloatDef(const AnsiString& S, double Default) {
  double v;
  return TextToFloat(S, v) ? v : Default;
}

bool TryStrToCurr(const AnsiString& S, Currency& Value) { return TextToFloat(S, Value); }

Currency StrToCurr(const AnsiString& S) {
  Currency v;
  if (!TextToFloat(S, v)) throw EConvertError(SInvalidCurrency, {S});
  return v;
}

Currency StrToCurrDef(const AnsiString& S, Currency Default) {
  Currency v;
  return TextToFloat(S, v) ? v : Default;
}
