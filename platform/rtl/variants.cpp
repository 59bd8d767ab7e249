#include "platform/rtl/variants.h"

#include <cmath>
#include <limits>

#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

constexpr const char* kCastError = "Could not convert variant of type (%s) into type (%s)";
constexpr const char* kOverflow = "Variant overflow";
// Far more elements than any caller needs; a larger request is a bad bound.
constexpr Int64 kMaxArrayElements = Int64(1) << 26;

[[noreturn]] void CastError(Word from, Word to) {
  throw EVariantTypeCastError(kCastError, {VarTypeAsText(from), VarTypeAsText(to)});
}

[[noreturn]] void InvalidOp() { throw EVariantError(SInvalidVarOp); }

bool IsIntType(Word vt) {
  switch (vt) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsStrType(Word vt) { return vt == varString || vt == varOleStr; }

bool IsValueType(Word vt) {
  return IsIntType(vt) || vt == varBoolean || vt == varSingle || vt == varDouble || vt == varCurrency ||
         vt == varDate;
}

bool IsElementType(Word vt) {
  return vt == varVariant || IsValueType(vt) || vt == varOleStr;
}

// Round to the nearest integer, ties to even, into Int64; NaN and values out
// of range give false.
bool RoundToInt64(double d, Int64& out) {
  if (!std::isfinite(d)) return false;
  const double r = std::nearbyint(d);
  if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return false;
  out = static_cast<Int64>(r);
  return true;
}

}  // namespace

// Access to the stored fields for the free functions of this file.
struct VariantAccess {
  static Word Vt(const Variant& v) { return v.vt_; }
  static Int64 I(const Variant& v) { return v.u_.i; }
  static double D(const Variant& v) { return v.u_.d; }
  static bool B(const Variant& v) { return v.u_.b; }
  static const AnsiString& S(const Variant& v) { return v.str_; }
  static const WideString& W(const Variant& v) { return v.wstr_; }
  static const std::vector<Variant>& Items(const Variant& v) { return v.items_; }
  static int Low(const Variant& v) { return v.low_; }

  static Variant MakeInt(Word vt, Int64 i) {
    Variant v;
    v.vt_ = vt;
    v.u_.i = i;
    return v;
  }
  static Variant MakeFloat(Word vt, double d) {
    Variant v;
    v.vt_ = vt;
    v.u_.d = d;
    return v;
  }
};

namespace {

using VA = VariantAccess;

// Text of a string kind in CP936.
AnsiString AnsiOf(const Variant& v) {
  return VA::Vt(v) == varOleStr ? WideToAnsi(VA::W(v)) : VA::S(v);
}

// Integer value of an integer kind or a Boolean (True is -1).
Int64 IntOf(const Variant& v) {
  return VA::Vt(v) == varBoolean ? (VA::B(v) ? -1 : 0) : VA::I(v);
}

Int64 ToInt64(const Variant& v, Word target) {
  const Word vt = VA::Vt(v);
  if (vt == varEmpty) return 0;
  if (IsIntType(vt) || vt == varBoolean) return IntOf(v);
  Int64 r;
  if (vt == varSingle || vt == varDouble || vt == varDate) {
    if (!RoundToInt64(VA::D(v), r)) throw EVariantOverflowError(kOverflow);
    return r;
  }
  if (vt == varCurrency) return Currency::FromScaled(VA::I(v)).Round();
  if (IsStrType(vt)) {
    const AnsiString s = AnsiOf(v);
    if (TryStrToInt64(s, r)) return r;
    double d;
    if (TryStrToFloat(s, d)) {
      if (!RoundToInt64(d, r)) throw EVariantOverflowError(kOverflow);
      return r;
    }
  }
  CastError(vt, target);
}

double ToDouble(const Variant& v, Word target) {
  const Word vt = VA::Vt(v);
  if (vt == varEmpty) return 0;
  if (IsIntType(vt) || vt == varBoolean) return static_cast<double>(IntOf(v));
  if (vt == varSingle || vt == varDouble || vt == varDate) return VA::D(v);
  if (vt == varCurrency) return Currency::FromScaled(VA::I(v)).ToDouble();
  if (IsStrType(vt)) {
    double d;
    if (TryStrToFloat(AnsiOf(v), d)) return d;
  }
  CastError(vt, target);
}

Currency ToCurrency(const Variant& v) {
  const Word vt = VA::Vt(v);
  try {
    if (vt == varEmpty) return Currency();
    if (IsIntType(vt) || vt == varBoolean) return Currency::FromInt64(IntOf(v));
    if (vt == varSingle || vt == varDouble || vt == varDate) return Currency::FromDouble(VA::D(v));
    if (vt == varCurrency) return Currency::FromScaled(VA::I(v));
    if (IsStrType(vt)) {
      Currency c;
      if (TextToFloat(AnsiOf(v), c)) return c;
    }
  } catch (const EIntOverflow&) {
    throw EVariantOverflowError(kOverflow);
  }
  CastError(vt, varCurrency);
}

// The variant conversion of text to a date: the run-time library's reading
// first, then blanks, '/', '.', ',' and '-' also taken as date separators.
bool TextToDate(const AnsiString& s, TDateTime& out) {
  if (TryStrToDateTime(s, out)) return true;
  const TFormatSettings& fs = FormatSettings();
  // Where the time begins: the number before the first time separator, or an
  // AM/PM word, whichever comes first.
  std::size_t timeStart = s.size();
  auto isWordAt = [&](std::size_t i, const AnsiString& w) {
    return !w.empty() && i + w.size() <= s.size() && AnsiCompareText(w, s.substr(i, w.size())) == 0;
  };
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (isWordAt(i, fs.TimeAMString) || isWordAt(i, fs.TimePMString) || isWordAt(i, "AM") ||
        isWordAt(i, "PM")) {
      timeStart = i;
      break;
    }
    if (c >= '0' && c <= '9') {
      std::size_t j = i;
      while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
      std::size_t k = j;
      while (k < s.size() && s[k] == ' ') ++k;
      if (k < s.size() && s[k] == fs.TimeSeparator) {
        timeStart = i;
        break;
      }
      i = j;
      continue;
    }
    i += IsDBCSLeadByte(c) && i + 1 < s.size() ? 2 : 1;
  }
  // The date part: two or three numbers between separators, nothing else.
  std::vector<AnsiString> numbers;
  for (std::size_t i = 0; i < timeStart;) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      std::size_t j = i;
      while (j < timeStart && s[j] >= '0' && s[j] <= '9') ++j;
      numbers.push_back(s.substr(i, j - i));
      i = j;
    } else if (c == ' ' || c == '\t' || c == '/' || c == '.' || c == ',' || c == '-' || c == fs.DateSeparator) {
      ++i;
    } else {
      return false;
    }
  }
  if (numbers.empty()) return timeStart < s.size() && TryStrToTime(s.substr(timeStart), out);
  if (numbers.size() > 3) return false;
  AnsiString text = numbers[0];
  for (std::size_t n = 1; n < numbers.size(); ++n) text += fs.DateSeparator + numbers[n];
  if (timeStart < s.size()) text += ' ' + s.substr(timeStart);
  return TryStrToDateTime(text, out);
}

TDateTime ToDate(const Variant& v) {
  const Word vt = VA::Vt(v);
  if (vt == varEmpty) return 0;
  if (vt == varCurrency || IsIntType(vt) || vt == varBoolean || vt == varSingle || vt == varDouble || vt == varDate)
    return ToDouble(v, varDate);
  if (IsStrType(vt)) {
    TDateTime d;
    if (TextToDate(AnsiOf(v), d)) return d;
  }
  CastError(vt, varDate);
}

bool ToBool(const Variant& v) {
  const Word vt = VA::Vt(v);
  if (vt == varEmpty) return false;
  if (vt == varBoolean) return VA::B(v);
  if (IsIntType(vt) || vt == varCurrency) return VA::I(v) != 0;
  if (vt == varSingle || vt == varDouble || vt == varDate) return VA::D(v) != 0;
  if (IsStrType(vt)) {
    bool b;
    if (TryStrToBool(AnsiOf(v), b)) return b;
  }
  CastError(vt, varBoolean);
}

AnsiString ToStr(const Variant& v) {
  const Word vt = VA::Vt(v);
  switch (vt) {
    case varEmpty: return AnsiString();
    case varString: return VA::S(v);
    case varOleStr: return WideToAnsi(VA::W(v));
    case varBoolean: return VA::B(v) ? "True" : "False";
    // A single holds about seven significant digits; more would show noise.
    case varSingle: return FloatToStrF(VA::D(v), ffGeneral, 7, 0);
    case varDouble: return FloatToStr(VA::D(v));
    case varCurrency: return CurrToStr(Currency::FromScaled(VA::I(v)));
    case varDate: return DateTimeToStr(VA::D(v));
    default:
      if (IsIntType(vt)) return IntToStr(VA::I(v));
      CastError(vt, varString);
  }
}

// Range of each integer kind.
bool FitsIntType(Word vt, Int64 i) {
  switch (vt) {
    case varSmallint: return i >= INT16_MIN && i <= INT16_MAX;
    case varInteger: return i >= INT32_MIN && i <= INT32_MAX;
    case varShortInt: return i >= INT8_MIN && i <= INT8_MAX;
    case varByte: return i >= 0 && i <= UINT8_MAX;
    case varWord: return i >= 0 && i <= UINT16_MAX;
    case varLongWord: return i >= 0 && i <= UINT32_MAX;
    default: return true;
  }
}

// ---------------------------------------------------------------------------
// Numbers compared exactly across kinds: an integer, a currency (scaled by
// 10000) or a double.

struct Num {
  enum Kind { Int, Curr, Dbl } kind;
  Int64 i;
  double d;
};

Num NumOf(const Variant& v) {
  const Word vt = VA::Vt(v);
  if (vt == varEmpty) return {Num::Int, 0, 0};
  if (IsIntType(vt) || vt == varBoolean) return {Num::Int, IntOf(v), 0};
  if (vt == varCurrency) return {Num::Curr, VA::I(v), 0};
  return {Num::Dbl, 0, VA::D(v)};
}

int Sign(__int128 v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// v / scale against d, exactly: v is an integer (scale 1) or a currency's
// scaled value (scale 10000); d is not NaN.
int CompareScaledWithDouble(Int64 v, Int64 scale, double d) {
  const double limit = 9223372036854775808.0;  // 2^63: beyond any Int64
  if (d >= limit) return -1;
  if (d < -limit) return 1;
  const double whole = std::trunc(d);
  const double frac = d - whole;  // exact
  const __int128 diff = static_cast<__int128>(v) - static_cast<__int128>(static_cast<Int64>(whole)) * scale;
  if (diff >= scale) return 1;
  if (diff <= -scale) return -1;
  // |diff| < scale, so diff is exact as a double and the fused product is
  // rounded once: its sign is the sign of frac * scale - diff.
  const double r = std::fma(frac, static_cast<double>(scale), -static_cast<double>(diff));
  return r > 0 ? -1 : r < 0 ? 1 : 0;
}

// -1, 0, 1, or 2 when a NaN makes the values unordered.
int CompareNum(const Num& a, const Num& b) {
  if ((a.kind == Num::Dbl && std::isnan(a.d)) || (b.kind == Num::Dbl && std::isnan(b.d))) return 2;
  if (a.kind == Num::Dbl && b.kind == Num::Dbl) return a.d < b.d ? -1 : a.d > b.d ? 1 : 0;
  if (a.kind == Num::Dbl) {
    const int r = CompareNum(b, a);
    return -r;
  }
  if (b.kind == Num::Dbl) return CompareScaledWithDouble(a.i, a.kind == Num::Curr ? Currency::Scale : 1, b.d);
  if (a.kind == Num::Int && b.kind == Num::Int) return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
  // Integer and currency: both in 1/10000 units.
  const Int64 toUnitsA = a.kind == Num::Curr ? 1 : Currency::Scale;
  const Int64 toUnitsB = b.kind == Num::Curr ? 1 : Currency::Scale;
  return Sign(static_cast<__int128>(a.i) * toUnitsA - static_cast<__int128>(b.i) * toUnitsB);
}

int CompareBytes(const AnsiString& a, const AnsiString& b) {
  const int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

// The comparison behind the operators for two values that are not Null:
// -1, 0, 1, or 2 for unordered.
int CompareForOperators(const Variant& a, const Variant& b) {
  const Word ta = VA::Vt(a), tb = VA::Vt(b);
  if ((ta & varArray) || (tb & varArray)) InvalidOp();
  const bool sa = IsStrType(ta), sb = IsStrType(tb);
  if (sa && sb) return CompareBytes(AnsiOf(a), AnsiOf(b));
  if (sa || sb) {
    const Variant& str = sa ? a : b;
    const Word other = sa ? tb : ta;
    Variant conv;
    if (other == varEmpty) return sa ? CompareBytes(AnsiOf(a), "") : CompareBytes("", AnsiOf(b));
    if (other == varBoolean) conv = Variant(ToBool(str));
    else if (other == varDate) conv = Variant::FromDate(ToDate(str));
    else conv = Variant(ToDouble(str, other));
    return sa ? CompareForOperators(conv, b) : CompareForOperators(a, conv);
  }
  Num na = NumOf(a), nb = NumOf(b);
  // Currency next to a double compares as a double, so that 0.1 equals 0.1:
  // the currency is decimal, the double only the nearest binary value.
  if (na.kind == Num::Curr && nb.kind == Num::Dbl) na = {Num::Dbl, 0, ToDouble(a, varDouble)};
  if (nb.kind == Num::Curr && na.kind == Num::Dbl) nb = {Num::Dbl, 0, ToDouble(b, varDouble)};
  return CompareNum(na, nb);
}

// ---------------------------------------------------------------------------
// Arithmetic

enum class Op { Add, Sub, Mul, Div };

Variant IntResult(Int64 v, bool wide) {
  if (!wide && v >= INT32_MIN && v <= INT32_MAX) return VA::MakeInt(varInteger, v);
  return VA::MakeInt(varInt64, v);
}

Variant CurrencyResult(Currency (*f)(Currency, Currency), Currency a, Currency b) {
  try {
    return Variant(f(a, b));
  } catch (const EIntOverflow&) {
    throw EVariantOverflowError(kOverflow);
  }
}

Variant Arith(const Variant& a, const Variant& b, Op op) {
  Word ta = VA::Vt(a), tb = VA::Vt(b);
  if ((ta & varArray) || (tb & varArray)) InvalidOp();
  if (ta == varNull || tb == varNull) return Variant::Null();
  const bool sa = IsStrType(ta), sb = IsStrType(tb);
  if (op == Op::Add && (sa || ta == varEmpty) && (sb || tb == varEmpty) && (sa || sb)) {
    if (ta == varOleStr || tb == varOleStr) return Variant(VarToWideStr(a) + VarToWideStr(b));
    return Variant(AnsiOf(a) + AnsiOf(b));
  }
  if (ta == varEmpty && tb == varEmpty && op != Op::Div) return Variant();
  // Strings take part as numbers, Empty as 0, Booleans as -1 or 0.
  const Variant na = sa ? Variant(ToDouble(a, varDouble)) : a;
  const Variant nb = sb ? Variant(ToDouble(b, varDouble)) : b;
  ta = VA::Vt(na);
  tb = VA::Vt(nb);
  auto isInt = [](Word t) { return IsIntType(t) || t == varBoolean || t == varEmpty; };
  auto isFloat = [](Word t) { return t == varSingle || t == varDouble; };

  if (op == Op::Div) {
    const double y = ToDouble(nb, varDouble);
    if (y == 0) throw EDivByZero(SDivByZero);
    return Variant(ToDouble(na, varDouble) / y);
  }
  if (ta == varDate || tb == varDate) {
    const double x = ToDouble(na, varDate), y = ToDouble(nb, varDate);
    switch (op) {
      case Op::Add: return Variant::FromDate(x + y);
      case Op::Sub: return ta == varDate && tb == varDate ? Variant(x - y) : Variant::FromDate(x - y);
      default: return Variant(x * y);
    }
  }
  if (isFloat(ta) || isFloat(tb)) {
    const double x = ToDouble(na, varDouble), y = ToDouble(nb, varDouble);
    switch (op) {
      case Op::Add: return Variant(x + y);
      case Op::Sub: return Variant(x - y);
      default: return Variant(x * y);
    }
  }
  if (ta == varCurrency || tb == varCurrency) {
    const Currency x = ToCurrency(na), y = ToCurrency(nb);
    switch (op) {
      case Op::Add: return CurrencyResult([](Currency p, Currency q) { return p + q; }, x, y);
      case Op::Sub: return CurrencyResult([](Currency p, Currency q) { return p - q; }, x, y);
      default: return CurrencyResult([](Currency p, Currency q) { return p * q; }, x, y);
    }
  }
  if (isInt(ta) && isInt(tb)) {
    const Int64 x = ta == varEmpty ? 0 : IntOf(na), y = tb == varEmpty ? 0 : IntOf(nb);
    const bool wide = ta == varInt64 || tb == varInt64 || ta == varLongWord || tb == varLongWord;
    Int64 r;
    bool overflow;
    switch (op) {
      case Op::Add: overflow = __builtin_add_overflow(x, y, &r); break;
      case Op::Sub: overflow = __builtin_sub_overflow(x, y, &r); break;
      default: overflow = __builtin_mul_overflow(x, y, &r); break;
    }
    if (!overflow) return IntResult(r, wide);
    const double dx = static_cast<double>(x), dy = static_cast<double>(y);
    return Variant(op == Op::Add ? dx + dy : op == Op::Sub ? dx - dy : dx * dy);
  }
  InvalidOp();
}

}  // namespace

// ---------------------------------------------------------------------------
// Variant

Variant::Variant(unsigned long v) {
  if (v <= static_cast<unsigned long>(INT64_MAX)) {
    vt_ = varInt64;
    u_.i = static_cast<Int64>(v);
  } else {
    vt_ = varDouble;
    u_.d = static_cast<double>(v);
  }
}

Variant::Variant(unsigned long long v) : Variant(static_cast<unsigned long>(v)) {}

AnsiString Variant::AsString() const {
  if (vt_ == varNull) CastError(vt_, varString);
  return ToStr(*this);
}

WideString Variant::AsWideString() const {
  if (vt_ == varOleStr) return wstr_;
  if (vt_ == varNull) CastError(vt_, varOleStr);
  return AnsiToWide(ToStr(*this));
}

Integer Variant::AsInteger() const {
  const Int64 v = ToInt64(*this, varInteger);
  if (!FitsIntType(varInteger, v)) throw EVariantOverflowError(kOverflow);
  return static_cast<Integer>(v);
}

Int64 Variant::AsInt64() const { return ToInt64(*this, varInt64); }

double Variant::AsDouble() const { return ToDouble(*this, varDouble); }

Currency Variant::AsCurrency() const { return ToCurrency(*this); }

TDateTime Variant::AsDateTime() const { return ToDate(*this); }

bool Variant::AsBoolean() const { return ToBool(*this); }

int Variant::LowBound() const { return VarArrayLowBound(*this); }

int Variant::HighBound() const { return VarArrayHighBound(*this); }

int Variant::ElementCount() const {
  if (!IsArray()) throw EVariantError(SVarNotArray);
  return static_cast<int>(items_.size());
}

const Variant& Variant::operator[](int Index) const {
  if (!IsArray()) throw EVariantError(SVarNotArray);
  const Int64 k = static_cast<Int64>(Index) - low_;
  if (k < 0 || k >= static_cast<Int64>(items_.size())) throw EVariantError(SVarArrayBounds);
  return items_[static_cast<std::size_t>(k)];
}

void Variant::PutElement(int Index, const Variant& Value) {
  if (!IsArray()) throw EVariantError(SVarNotArray);
  const Int64 k = static_cast<Int64>(Index) - low_;
  if (k < 0 || k >= static_cast<Int64>(items_.size())) throw EVariantError(SVarArrayBounds);
  const Word elem = vt_ & varTypeMask;
  items_[static_cast<std::size_t>(k)] = elem == varVariant ? Value : VarAsType(Value, elem);
}

Variant& Variant::operator+=(const Variant& b) { return *this = *this + b; }
Variant& Variant::operator-=(const Variant& b) { return *this = *this - b; }
Variant& Variant::operator*=(const Variant& b) { return *this = *this * b; }
Variant& Variant::operator/=(const Variant& b) { return *this = *this / b; }

// ---------------------------------------------------------------------------
// Queries

bool VarIsOrdinal(const Variant& V) { return IsIntType(V.Type()) || V.Type() == varBoolean; }

bool VarIsFloat(const Variant& V) {
  const Word t = V.Type();
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& V) { return VarIsOrdinal(V) || VarIsFloat(V); }

bool VarIsStr(const Variant& V) { return IsStrType(V.Type()); }

AnsiString VarTypeAsText(Word VarType) {
  static const char* const kNames[] = {"Empty",  "Null",    "Smallint", "Integer", "Single",  "Double",
                                       "Currency", "Date",  "OleStr",   "Dispatch", "Error",  "Boolean",
                                       "Variant", "Unknown", "Decimal", "$000F",   "ShortInt", "Byte",
                                       "Word",    "LongWord", "Int64"};
  AnsiString prefix = (VarType & varArray) ? "Array " : "";
  const Word t = VarType & varTypeMask;
  if (t < sizeof(kNames) / sizeof(kNames[0])) return prefix + kNames[t];
  if (t == varString) return prefix + "String";
  return prefix + "$" + IntToHex(static_cast<int>(t), 4);
}

// ---------------------------------------------------------------------------
// Conversions

AnsiString VarToStr(const Variant& V) { return V.IsNull() ? AnsiString() : ToStr(V); }

AnsiString VarToStrDef(const Variant& V, const AnsiString& Default) {
  return V.IsNull() ? Default : ToStr(V);
}

WideString VarToWideStr(const Variant& V) {
  if (V.IsNull()) return WideString();
  return V.AsWideString();
}

TDateTime VarToDateTime(const Variant& V) {
  if (V.IsNull()) CastError(varNull, varDate);
  return ToDate(V);
}

Variant VarAsType(const Variant& V, Word VarType) {
  const Word from = V.Type();
  if (VarType == from) return V;
  if ((VarType & varArray) || V.IsArray()) CastError(from, VarType);
  if (VarType == varEmpty) return Variant();
  if (VarType == varNull) return Variant::Null();
  if (VarType == varVariant) return V;
  if (V.IsNull()) CastError(from, VarType);
  if (IsIntType(VarType)) {
    const Int64 i = ToInt64(V, VarType);
    if (!FitsIntType(VarType, i)) throw EVariantOverflowError(kOverflow);
    return VA::MakeInt(VarType, i);
  }
  switch (VarType) {
    case varSingle: {
      const double d = ToDouble(V, varSingle);
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        throw EVariantOverflowError(kOverflow);
      return VA::MakeFloat(varSingle, static_cast<float>(d));
    }
    case varDouble: return Variant(ToDouble(V, varDouble));
    case varCurrency: return Variant(ToCurrency(V));
    case varDate: return Variant::FromDate(ToDate(V));
    case varBoolean: return Variant(ToBool(V));
    case varString: return Variant(ToStr(V));
    case varOleStr: return Variant(V.AsWideString());
    default: CastError(from, VarType);
  }
}

// ---------------------------------------------------------------------------
// Arrays

Variant VarArrayOf(std::initializer_list<Variant> Values) { return VarArrayOf(std::vector<Variant>(Values)); }

Variant VarArrayOf(const std::vector<Variant>& Values) {
  Variant v = VarArrayCreate({0, static_cast<int>(Values.size()) - 1}, varVariant);
  for (std::size_t i = 0; i < Values.size(); ++i) v.PutElement(static_cast<int>(i), Values[i]);
  return v;
}

Variant VarArrayCreate(std::initializer_list<int> Bounds, Word VarType) {
  if (Bounds.size() != 2 || !IsElementType(VarType)) throw EVariantError(SVarArrayCreate);
  const Int64 low = Bounds.begin()[0], high = Bounds.begin()[1];
  const Int64 count = high - low + 1;
  if (count < 0 || count > kMaxArrayElements) throw EVariantError(SVarArrayCreate);
  Variant v;
  v.vt_ = static_cast<Word>(varArray | VarType);
  v.low_ = static_cast<int>(low);
  Variant blank;
  if (VarType == varOleStr) blank = Variant(WideString());
  else if (VarType != varVariant) blank = VA::MakeInt(VarType, 0);  // zero in every numeric kind
  if (VarType == varSingle || VarType == varDouble || VarType == varDate) blank = VA::MakeFloat(VarType, 0);
  v.items_.assign(static_cast<std::size_t>(count), blank);
  return v;
}

int VarArrayDimCount(const Variant& V) { return V.IsArray() ? 1 : 0; }

int VarArrayLowBound(const Variant& V, int Dim) {
  if (!V.IsArray()) throw EVariantError(SVarNotArray);
  if (Dim != 1) throw EVariantError(SVarArrayBounds);
  return VA::Low(V);
}

int VarArrayHighBound(const Variant& V, int Dim) {
  if (!V.IsArray()) throw EVariantError(SVarNotArray);
  if (Dim != 1) throw EVariantError(SVarArrayBounds);
  return static_cast<int>(VA::Low(V) + static_cast<Int64>(VA::Items(V).size()) - 1);
}

// ---------------------------------------------------------------------------
// Comparison

bool operator==(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
  return CompareForOperators(a, b) == 0;
}

bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

bool operator<(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && !b.IsNull();
  return CompareForOperators(a, b) == -1;
}

bool operator<=(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull();
  const int r = CompareForOperators(a, b);
  return r == -1 || r == 0;
}

bool operator>(const Variant& a, const Variant& b) { return b < a; }

bool operator>=(const Variant& a, const Variant& b) { return b <= a; }

TVariantRelationship VarCompareValue(const Variant& A, const Variant& B) {
  if (A.IsEmpty()) return B.IsEmpty() ? vrEqual : vrNotEqual;
  if (A.IsNull()) return B.IsNull() ? vrEqual : vrNotEqual;
  if (B.IsEmpty() || B.IsNull()) return vrNotEqual;
  switch (CompareForOperators(A, B)) {
    case 0: return vrEqual;
    case -1: return vrLessThan;
    case 1: return vrGreaterThan;
    default: return vrNotEqual;
  }
}

namespace {

int Rank(Word vt) {
  if (vt & varArray) return 4;
  if (vt == varEmpty) return 0;
  if (vt == varNull) return 1;
  if (IsStrType(vt)) return 3;
  return 2;
}

}  // namespace

int VarCompareTotal(const Variant& A, const Variant& B) {
  // Two 32-bit integers, the usual keys, compare without the general rules.
  if (A.Type() == varInteger && B.Type() == varInteger) {
    const Int64 a = A.AsInt64(), b = B.AsInt64();
    return a == b ? 0 : (a < b ? -1 : 1);
  }
  const int ra = Rank(A.Type()), rb = Rank(B.Type());
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (ra) {
    case 2: {
      const Num na = NumOf(A), nb = NumOf(B);
      const bool nanA = na.kind == Num::Dbl && std::isnan(na.d);
      const bool nanB = nb.kind == Num::Dbl && std::isnan(nb.d);
      if (nanA || nanB) return nanA == nanB ? 0 : nanA ? 1 : -1;
      return CompareNum(na, nb);
    }
    case 3:
      return CompareBytes(AnsiOf(A), AnsiOf(B));
    case 4: {
      const auto& ia = VA::Items(A);
      const auto& ib = VA::Items(B);
      for (std::size_t i = 0; i < ia.size() && i < ib.size(); ++i)
        if (const int r = VarCompareTotal(ia[i], ib[i])) return r;
      if (ia.size() != ib.size()) return ia.size() < ib.size() ? -1 : 1;
      const int la = VA::Low(A), lb = VA::Low(B);
      return la < lb ? -1 : la > lb ? 1 : 0;
    }
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Arithmetic

Variant operator+(const Variant& a, const Variant& b) { return Arith(a, b, Op::Add); }
Variant operator-(const Variant& a, const Variant& b) { return Arith(a, b, Op::Sub); }
Variant operator*(const Variant& a, const Variant& b) { return Arith(a, b, Op::Mul); }
Variant operator/(const Variant& a, const Variant& b) { return Arith(a, b, Op::Div); }

Variant operator-(const Variant& a) {
  const Word t = a.Type();
  if (a.IsArray()) InvalidOp();
  if (t == varNull || t == varEmpty) return a;
  if (IsIntType(t) || t == varBoolean) {
    const Int64 v = IntOf(a);
    if (v == INT64_MIN) return Variant(-static_cast<double>(v));
    return IntResult(-v, t == varInt64 || t == varLongWord);
  }
  if (t == varCurrency) {
    try {
      return Variant(-a.AsCurrency());
    } catch (const EIntOverflow&) {
      throw EVariantOverflowError(kOverflow);
    }
  }
  if (t == varSingle || t == varDouble || t == varDate) return VA::MakeFloat(t, -VA::D(a));
  return Variant(-ToDouble(a, varDouble));
}
