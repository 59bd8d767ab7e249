#include "data/uxdatastorage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

template <class T>
T* LoadPtr(const void* Cell) {
  T* p;
  std::memcpy(&p, Cell, sizeof p);
  return p;
}

void StorePtr(void* Cell, const void* P) { std::memcpy(Cell, &P, sizeof P); }

template <class T>
T LoadVal(const void* Cell) {
  T v;
  std::memcpy(&v, Cell, sizeof v);
  return v;
}

template <class T>
void StoreVal(void* Cell, T V) {
  std::memcpy(Cell, &V, sizeof V);
}

template <class T>
int Compare3(T a, T b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

// NaN after every number, so that the order stays total.
int CompareDoubles(double a, double b) {
  const bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return na == nb ? 0 : na ? 1 : -1;
  return Compare3(a, b);
}

[[noreturn]] void ListIndexError(int Index) { throw EListError(Format(SListIndexError, {Index})); }
[[noreturn]] void CastError(const char* To) {
  throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)", {"String", To}));
}

TuxValueTypeClassList* valueTypeClassList = nullptr;

// ---- BCD digits ----

struct BcdDigits {
  bool negative = false;
  std::string intPart;   // without leading zeros
  std::string fracPart;  // as stored
};

BcdDigits Unpack(const TuxBcd& B) {
  BcdDigits d;
  const int precision = std::min<int>(B.Precision, 64);
  const int places = std::min<int>(B.SignSpecialPlaces & 0x3F, precision);
  std::string digits;
  for (int i = 0; i < precision; ++i) {
    const Byte b = B.Fraction[i / 2];
    const int digit = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
    digits += static_cast<char>('0' + std::min(digit, 9));
  }
  d.intPart = digits.substr(0, static_cast<std::size_t>(precision - places));
  d.fracPart = digits.substr(static_cast<std::size_t>(precision - places));
  const std::size_t nz = d.intPart.find_first_not_of('0');
  d.intPart = nz == std::string::npos ? std::string() : d.intPart.substr(nz);
  d.negative = (B.SignSpecialPlaces & 0x80) != 0;
  return d;
}

bool IsZero(const BcdDigits& d) {
  return d.intPart.empty() && d.fracPart.find_first_not_of('0') == std::string::npos;
}

AnsiString NumberText(const Variant& V) {
  const Word vt = V.Type();
  if (vt == varCurrency) {
    const Int64 scaled = V.AsCurrency().Value;
    const UInt64 mag = scaled < 0 ? 0 - static_cast<UInt64>(scaled) : static_cast<UInt64>(scaled);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu.%04llu", scaled < 0 ? "-" : "", static_cast<unsigned long long>(mag / 10000),
                  static_cast<unsigned long long>(mag % 10000));
    return buf;
  }
  if (vt == varBoolean || vt == varShortInt || vt == varByte || vt == varSmallint || vt == varWord ||
      vt == varInteger || vt == varLongWord || vt == varInt64)
    return IntToStr(V.AsInt64());
  const double d = V.AsDouble();
  if (!std::isfinite(d)) CastError("FMTBcd");
  int decimals = 0;
  if (d != 0) decimals = std::clamp(14 - static_cast<int>(std::floor(std::log10(std::fabs(d)))), 0, 63);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, d);
  return buf;
}

}  // namespace

// ---------------------------------------------------------------------------
// TuxValueType

int TuxValueType::CompareCells(const void* Cell1, const void* Cell2) const { return CompareContents(Cell1, Cell2); }

void TuxValueType::FreeTextCell(void* TextCell) const {
  delete LoadPtr<AnsiString>(TextCell);
  StorePtr(TextCell, nullptr);
}

void TuxValueType::CellToDisplayText(const void* Cell, AnsiString& S) const {
  try {
    Variant V;
    CellToVariant(Cell, V);
    S = VarToStr(V);
  } catch (const EVariantError&) {
    S.clear();
  } catch (const EConvertError&) {
    S.clear();
  }
}

void TuxValueType::ReadCell(void* Cell, TStream* Stream) const {
  Variant V;
  uxReadVariant(Stream, V);
  VariantToCell(Cell, V);
}

void TuxValueType::ReadTextCell(void* TextCell, TStream* Stream) const {
  AnsiString S;
  uxReadAnsiString(Stream, S);
  TextToTextCell(TextCell, S);
}

void TuxValueType::TextToTextCell(void* TextCell, const AnsiString& S) const {
  AnsiString* holder = LoadPtr<AnsiString>(TextCell);
  if (!holder) {
    holder = new AnsiString;
    StorePtr(TextCell, holder);
  }
  *holder = S;
}

void TuxValueType::WriteCell(const void* Cell, TStream* Stream) const {
  Variant V;
  CellToVariant(Cell, V);
  uxWriteVariant(Stream, V);
}

void TuxValueType::WriteTextCell(const void* TextCell, TStream* Stream) const {
  const AnsiString* holder = LoadPtr<AnsiString>(TextCell);
  uxWriteAnsiString(Stream, holder ? *holder : AnsiString());
}

AnsiString TuxValueType::Caption() const {
  for (const auto& e : uxValueTypeTable())
    if (e.Class == this) return e.Caption;
  return AnsiString();
}

AnsiString TuxValueType::ClassName() const {
  const AnsiString caption = Caption();
  return caption.empty() ? AnsiString("TuxValueType") : "Tux" + caption + "ValueType";
}

int TuxValueType::CompareContents(const void* Content1, const void* Content2) const {
  Variant V1, V2;
  CellToVariant(Content1, V1);
  CellToVariant(Content2, V2);
  return uxCompareVariants(V1, V2);
}

bool TuxValueType::ConvertVariant(Variant& V) const {
  if (V.IsNull() || VarTypeCode() == varVariant) return true;
  try {
    V = VarAsType(V, VarTypeCode());
    return true;
  } catch (const EVariantTypeCastError&) {
    return false;
  } catch (const EVariantOverflowError&) {
    return false;
  }
}

// ---- strings ----

TuxValueTypeClass TuxStringValueType::Instance() {
  static const TuxStringValueType instance;
  return &instance;
}

int TuxStringValueType::CompareCells(const void* Cell1, const void* Cell2) const {
  return CompareContents(CellToContent(Cell1), CellToContent(Cell2));
}

void TuxStringValueType::FreeCellData(void* Cell) const {
  delete LoadPtr<AnsiString>(Cell);
  StorePtr(Cell, nullptr);
}

void TuxStringValueType::CellToVariant(const void* Cell, Variant& V) const { ContentToVariant(CellToContent(Cell), V); }

void TuxStringValueType::ReadCell(void* Cell, TStream* Stream) const {
  AnsiString S;
  uxReadAnsiString(Stream, S);
  TextToTextCell(Cell, S);
}

void TuxStringValueType::VariantToCell(void* Cell, const Variant& V) const { TextToTextCell(Cell, VarToStr(V)); }

void TuxStringValueType::WriteCell(const void* Cell, TStream* Stream) const {
  const AnsiString* holder = LoadPtr<AnsiString>(Cell);
  uxWriteAnsiString(Stream, holder ? *holder : AnsiString());
}

int TuxStringValueType::CompareContents(const void* Content1, const void* Content2) const {
  const auto* s1 = static_cast<const AnsiString*>(Content1);
  const auto* s2 = static_cast<const AnsiString*>(Content2);
  if (!s1 || !s2) return s1 == s2 ? 0 : s1 ? 1 : -1;
  const int r = s1->compare(*s2);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

void TuxStringValueType::ContentToVariant(const void* Content, Variant& V) const {
  const auto* s = static_cast<const AnsiString*>(Content);
  V = s ? Variant(*s) : Null();
}

const void* TuxStringValueType::CellToContent(const void* Cell) const { return LoadPtr<const void>(Cell); }

TuxValueTypeClass TuxWideStringValueType::Instance() {
  static const TuxWideStringValueType instance;
  return &instance;
}

void TuxWideStringValueType::FreeCellData(void* Cell) const {
  delete LoadPtr<WideString>(Cell);
  StorePtr(Cell, nullptr);
}

void TuxWideStringValueType::CellToVariant(const void* Cell, Variant& V) const {
  ContentToVariant(CellToContent(Cell), V);
}

void TuxWideStringValueType::ReadCell(void* Cell, TStream* Stream) const {
  WideString W;
  uxReadWideString(Stream, W);
  VariantToCell(Cell, Variant(W));
}

void TuxWideStringValueType::VariantToCell(void* Cell, const Variant& V) const {
  WideString W = VarToWideStr(V);
  WideString* holder = LoadPtr<WideString>(Cell);
  if (!holder) {
    holder = new WideString;
    StorePtr(Cell, holder);
  }
  *holder = std::move(W);
}

void TuxWideStringValueType::WriteCell(const void* Cell, TStream* Stream) const {
  const WideString* holder = LoadPtr<WideString>(Cell);
  uxWriteWideString(Stream, holder ? *holder : WideString());
}

int TuxWideStringValueType::CompareContents(const void* Content1, const void* Content2) const {
  const auto* s1 = static_cast<const WideString*>(Content1);
  const auto* s2 = static_cast<const WideString*>(Content2);
  if (!s1 || !s2) return s1 == s2 ? 0 : s1 ? 1 : -1;
  const int r = s1->compare(*s2);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

void TuxWideStringValueType::ContentToVariant(const void* Content, Variant& V) const {
  const auto* s = static_cast<const WideString*>(Content);
  V = s ? Variant(*s) : Null();
}

// ---- fixed-width numbers ----

TuxValueTypeClass TuxSmallintValueType::Instance() {
  static const TuxSmallintValueType instance;
  return &instance;
}
void TuxSmallintValueType::CellToVariant(const void* Cell, Variant& V) const { V = Variant(LoadVal<short>(Cell)); }
void TuxSmallintValueType::ReadCell(void* Cell, TStream* Stream) const { StoreVal<short>(Cell, uxReadInt16(Stream)); }
void TuxSmallintValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<short>(Cell, static_cast<short>(VarAsType(V, varSmallint).AsInteger()));
}
void TuxSmallintValueType::WriteCell(const void* Cell, TStream* Stream) const { uxWriteInt16(Stream, LoadVal<short>(Cell)); }
int TuxSmallintValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<short>(C1), LoadVal<short>(C2));
}

TuxValueTypeClass TuxIntegerValueType::Instance() {
  static const TuxIntegerValueType instance;
  return &instance;
}
void TuxIntegerValueType::CellToVariant(const void* Cell, Variant& V) const { V = Variant(LoadVal<int>(Cell)); }
void TuxIntegerValueType::ReadCell(void* Cell, TStream* Stream) const { StoreVal<int>(Cell, uxReadInt32(Stream)); }
void TuxIntegerValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<int>(Cell, VarAsType(V, varInteger).AsInteger());
}
void TuxIntegerValueType::WriteCell(const void* Cell, TStream* Stream) const { uxWriteInt32(Stream, LoadVal<int>(Cell)); }
int TuxIntegerValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<int>(C1), LoadVal<int>(C2));
}

TuxValueTypeClass TuxWordValueType::Instance() {
  static const TuxWordValueType instance;
  return &instance;
}
void TuxWordValueType::CellToVariant(const void* Cell, Variant& V) const {
  V = Variant(static_cast<unsigned short>(LoadVal<Word>(Cell)));
}
void TuxWordValueType::ReadCell(void* Cell, TStream* Stream) const { StoreVal<Word>(Cell, uxReadUInt16(Stream)); }
// The low 16 bits of the integer conversion.
void TuxWordValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<Word>(Cell, static_cast<Word>(V.AsInt64() & 0xFFFF));
}
void TuxWordValueType::WriteCell(const void* Cell, TStream* Stream) const { uxWriteUInt16(Stream, LoadVal<Word>(Cell)); }
int TuxWordValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<Word>(C1), LoadVal<Word>(C2));
}

TuxValueTypeClass TuxBooleanValueType::Instance() {
  static const TuxBooleanValueType instance;
  return &instance;
}
void TuxBooleanValueType::CellToVariant(const void* Cell, Variant& V) const { V = Variant(LoadVal<Byte>(Cell) != 0); }
void TuxBooleanValueType::ReadCell(void* Cell, TStream* Stream) const {
  StoreVal<Byte>(Cell, uxReadBoolean(Stream) ? 1 : 0);
}
void TuxBooleanValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<Byte>(Cell, V.AsBoolean() ? 1 : 0);
}
void TuxBooleanValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteBoolean(Stream, LoadVal<Byte>(Cell) != 0);
}
int TuxBooleanValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<Byte>(C1), LoadVal<Byte>(C2));
}

TuxValueTypeClass TuxFloatValueType::Instance() {
  static const TuxFloatValueType instance;
  return &instance;
}
void TuxFloatValueType::CellToVariant(const void* Cell, Variant& V) const { V = Variant(LoadVal<double>(Cell)); }
void TuxFloatValueType::ReadCell(void* Cell, TStream* Stream) const { StoreVal<double>(Cell, uxReadExtended(Stream)); }
void TuxFloatValueType::VariantToCell(void* Cell, const Variant& V) const { StoreVal<double>(Cell, V.AsDouble()); }
void TuxFloatValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteExtended(Stream, LoadVal<double>(Cell));
}
int TuxFloatValueType::CompareContents(const void* C1, const void* C2) const {
  return CompareDoubles(LoadVal<double>(C1), LoadVal<double>(C2));
}

TuxValueTypeClass TuxCurrencyValueType::Instance() {
  static const TuxCurrencyValueType instance;
  return &instance;
}
void TuxCurrencyValueType::CellToVariant(const void* Cell, Variant& V) const {
  V = Variant(Currency::FromScaled(LoadVal<Int64>(Cell)));
}
void TuxCurrencyValueType::ReadCell(void* Cell, TStream* Stream) const {
  StoreVal<Int64>(Cell, uxReadCurrency(Stream).Value);
}
void TuxCurrencyValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<Int64>(Cell, V.AsCurrency().Value);
}
void TuxCurrencyValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteCurrency(Stream, Currency::FromScaled(LoadVal<Int64>(Cell)));
}
int TuxCurrencyValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<Int64>(C1), LoadVal<Int64>(C2));
}

TuxValueTypeClass TuxDateTimeValueType::Instance() {
  static const TuxDateTimeValueType instance;
  return &instance;
}
TDateTime TuxDateTimeValueType::CellToDateTime(const void* Cell) { return LoadVal<double>(Cell); }
void TuxDateTimeValueType::CellToVariant(const void* Cell, Variant& V) const {
  V = VarFromDateTime(LoadVal<double>(Cell));
}
void TuxDateTimeValueType::CellToDisplayText(const void* Cell, AnsiString& S) const {
  try {
    Variant V;
    CellToVariant(Cell, V);
    S = VarToStr(V);
  } catch (const EVariantError&) {
    S = DateTimeToStr(LoadVal<double>(Cell));
  }
}
void TuxDateTimeValueType::ReadCell(void* Cell, TStream* Stream) const {
  StoreVal<double>(Cell, uxReadDateTime(Stream));
}
void TuxDateTimeValueType::VariantToCell(void* Cell, const Variant& V) const {
  StoreVal<double>(Cell, V.AsDateTime());
}
void TuxDateTimeValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteDateTime(Stream, LoadVal<double>(Cell));
}
int TuxDateTimeValueType::CompareContents(const void* C1, const void* C2) const {
  return CompareDoubles(LoadVal<double>(C1), LoadVal<double>(C2));
}

TuxValueTypeClass TuxLargeIntValueType::Instance() {
  static const TuxLargeIntValueType instance;
  return &instance;
}
void TuxLargeIntValueType::CellToVariant(const void* Cell, Variant& V) const {
  V = Variant(static_cast<long long>(LoadVal<Int64>(Cell)));
}
void TuxLargeIntValueType::ReadCell(void* Cell, TStream* Stream) const { StoreVal<Int64>(Cell, uxReadInt64(Stream)); }
void TuxLargeIntValueType::VariantToCell(void* Cell, const Variant& V) const { StoreVal<Int64>(Cell, V.AsInt64()); }
void TuxLargeIntValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteInt64(Stream, LoadVal<Int64>(Cell));
}
int TuxLargeIntValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(LoadVal<Int64>(C1), LoadVal<Int64>(C2));
}

// ---- decimals ----

bool uxTryStrToBcd(const AnsiString& S, TuxBcd& Bcd) {
  const AnsiString t = Trim(S);
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  std::string intPart, fracPart;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') intPart += t[i++];
  if (i < t.size() && (t[i] == FormatSettings().DecimalSeparator || t[i] == '.')) {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') fracPart += t[i++];
  }
  if (i != t.size() || (intPart.empty() && fracPart.empty())) return false;
  const std::size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
  if (intPart.empty() && fracPart.empty()) intPart = "0";
  const std::string digits = intPart + fracPart;
  if (digits.size() > 64 || fracPart.size() > 63) return false;
  TuxBcd b;
  b.Precision = static_cast<Byte>(digits.size());
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  b.SignSpecialPlaces = static_cast<Byte>(fracPart.size() | (negative && !zero ? 0x80 : 0));
  for (std::size_t k = 0; k < digits.size(); ++k) {
    const Byte digit = static_cast<Byte>(digits[k] - '0');
    b.Fraction[k / 2] |= static_cast<Byte>(k % 2 == 0 ? digit << 4 : digit);
  }
  Bcd = b;
  return true;
}

AnsiString uxBcdToStr(const TuxBcd& Bcd) {
  BcdDigits d = Unpack(Bcd);
  const std::size_t last = d.fracPart.find_last_not_of('0');
  d.fracPart = last == std::string::npos ? std::string() : d.fracPart.substr(0, last + 1);
  AnsiString r = IsZero(d) || !d.negative ? "" : "-";
  r += d.intPart.empty() ? "0" : d.intPart;
  if (!d.fracPart.empty()) r += FormatSettings().DecimalSeparator + d.fracPart;
  return r;
}

int uxBcdCompare(const TuxBcd& A, const TuxBcd& B) {
  const BcdDigits a = Unpack(A), b = Unpack(B);
  const bool za = IsZero(a), zb = IsZero(b);
  const int sa = za ? 0 : a.negative ? -1 : 1;
  const int sb = zb ? 0 : b.negative ? -1 : 1;
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  int r = Compare3(a.intPart.size(), b.intPart.size());
  if (r == 0) r = a.intPart.compare(b.intPart) < 0 ? -1 : a.intPart.compare(b.intPart) > 0 ? 1 : 0;
  if (r == 0) {
    std::string fa = a.fracPart, fb = b.fracPart;
    const std::size_t n = std::max(fa.size(), fb.size());
    fa.resize(n, '0');
    fb.resize(n, '0');
    r = fa < fb ? -1 : fa > fb ? 1 : 0;
  }
  return sa < 0 ? -r : r;
}

TuxValueTypeClass TuxFMTBcdValueType::Instance() {
  static const TuxFMTBcdValueType instance;
  return &instance;
}

void TuxFMTBcdValueType::CellToVariant(const void* Cell, Variant& V) const {
  double d = 0;
  TryStrToFloat(uxBcdToStr(LoadVal<TuxBcd>(Cell)), d);
  V = Variant(d);
}

void TuxFMTBcdValueType::CellToDisplayText(const void* Cell, AnsiString& S) const {
  S = uxBcdToStr(LoadVal<TuxBcd>(Cell));
}

void TuxFMTBcdValueType::VariantToCell(void* Cell, const Variant& V) const {
  const AnsiString text = VarIsStr(V) ? VarToStr(V) : NumberText(V);
  TuxBcd b;
  if (!uxTryStrToBcd(text, b)) CastError("FMTBcd");
  StoreVal(Cell, b);
}

void TuxFMTBcdValueType::WriteCell(const void* Cell, TStream* Stream) const {
  uxWriteVariant(Stream, Variant(uxBcdToStr(LoadVal<TuxBcd>(Cell))));
}

int TuxFMTBcdValueType::CompareContents(const void* C1, const void* C2) const {
  return uxBcdCompare(LoadVal<TuxBcd>(C1), LoadVal<TuxBcd>(C2));
}

// ---- time stamps ----

TuxValueTypeClass TuxSQLTimeStampValueType::Instance() {
  static const TuxSQLTimeStampValueType instance;
  return &instance;
}

void TuxSQLTimeStampValueType::CellToVariant(const void* Cell, Variant& V) const {
  const auto ts = LoadVal<TuxSQLTimeStamp>(Cell);
  TDateTime date, time;
  if (ts.Year < 1 || !TryEncodeDate(static_cast<Word>(ts.Year), ts.Month, ts.Day, date) ||
      ts.Fractions > 999 || !TryEncodeTime(ts.Hour, ts.Minute, ts.Second, static_cast<Word>(ts.Fractions), time))
    throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)", {"SQLTimeStamp", "Date"}));
  V = VarFromDateTime(date >= 0 ? date + time : date - time);
}

void TuxSQLTimeStampValueType::VariantToCell(void* Cell, const Variant& V) const {
  const TDateTime d = V.AsDateTime();
  TuxSQLTimeStamp ts;
  Word y, mo, da, h, mi, s, ms;
  DecodeDateTime(d, y, mo, da, h, mi, s, ms);
  if (y == 0)  // outside the years 1 .. 9999
    throw EVariantOverflowError("Variant overflow");
  ts.Year = static_cast<SmallInt>(y);
  ts.Month = mo;
  ts.Day = da;
  ts.Hour = h;
  ts.Minute = mi;
  ts.Second = s;
  ts.Fractions = ms;
  StoreVal(Cell, ts);
}

int TuxSQLTimeStampValueType::CompareContents(const void* C1, const void* C2) const {
  const auto a = LoadVal<TuxSQLTimeStamp>(C1), b = LoadVal<TuxSQLTimeStamp>(C2);
  if (int r = Compare3(a.Year, b.Year)) return r;
  if (int r = Compare3(a.Month, b.Month)) return r;
  if (int r = Compare3(a.Day, b.Day)) return r;
  if (int r = Compare3(a.Hour, b.Hour)) return r;
  if (int r = Compare3(a.Minute, b.Minute)) return r;
  if (int r = Compare3(a.Second, b.Second)) return r;
  return Compare3(a.Fractions, b.Fractions);
}

// ---- variants and objects ----

TuxValueTypeClass TuxVariantValueType::Instance() {
  static const TuxVariantValueType instance;
  return &instance;
}

int TuxVariantValueType::CompareCells(const void* Cell1, const void* Cell2) const {
  return CompareContents(CellToContent(Cell1), CellToContent(Cell2));
}

void TuxVariantValueType::FreeCellData(void* Cell) const {
  delete LoadPtr<Variant>(Cell);
  StorePtr(Cell, nullptr);
}

void TuxVariantValueType::CellToVariant(const void* Cell, Variant& V) const { ContentToVariant(CellToContent(Cell), V); }

void TuxVariantValueType::VariantToCell(void* Cell, const Variant& V) const {
  Variant* holder = LoadPtr<Variant>(Cell);
  if (!holder) {
    holder = new Variant(V);
    StorePtr(Cell, holder);
  } else {
    *holder = V;
  }
}

int TuxVariantValueType::CompareContents(const void* Content1, const void* Content2) const {
  const auto* v1 = static_cast<const Variant*>(Content1);
  const auto* v2 = static_cast<const Variant*>(Content2);
  if (!v1 || !v2) return v1 == v2 ? 0 : v1 ? 1 : -1;
  return uxCompareVariants(*v1, *v2);
}

void TuxVariantValueType::ContentToVariant(const void* Content, Variant& V) const {
  const auto* v = static_cast<const Variant*>(Content);
  V = v ? *v : Null();
}

const void* TuxVariantValueType::CellToContent(const void* Cell) const { return LoadPtr<const void>(Cell); }

TuxValueTypeClass TuxObjectValueType::Instance() {
  static const TuxObjectValueType instance;
  return &instance;
}

TObject* TuxObjectValueType::CellToObject(const void* Cell) { return LoadPtr<TObject>(Cell); }

void TuxObjectValueType::FreeCellData(void* Cell) const {
  TObject* obj = LoadPtr<TObject>(Cell);
  StorePtr(Cell, nullptr);
  if (obj) obj->Free();
}

void TuxObjectValueType::CellToVariant(const void* Cell, Variant& V) const {
  V = Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(LoadPtr<TObject>(Cell))));
}

void TuxObjectValueType::VariantToCell(void* Cell, const Variant& V) const {
  StorePtr(Cell, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(V.AsInt64())));
}

int TuxObjectValueType::CompareContents(const void* C1, const void* C2) const {
  return Compare3(reinterpret_cast<std::uintptr_t>(LoadPtr<TObject>(C1)),
                  reinterpret_cast<std::uintptr_t>(LoadPtr<TObject>(C2)));
}

// ---- registry ----

const std::vector<TuxValueTypeTableEntry>& uxValueTypeTable() {
  static const std::vector<TuxValueTypeTableEntry> table = {
      {TuxStringValueType::Instance(), "String"},
      {TuxWideStringValueType::Instance(), "WideString"},
      {TuxSmallintValueType::Instance(), "Smallint"},
      {TuxIntegerValueType::Instance(), "Integer"},
      {TuxWordValueType::Instance(), "Word"},
      {TuxBooleanValueType::Instance(), "Boolean"},
      {TuxFloatValueType::Instance(), "Float"},
      {TuxCurrencyValueType::Instance(), "Currency"},
      {TuxDateTimeValueType::Instance(), "DateTime"},
      {TuxLargeIntValueType::Instance(), "LargeInt"},
      {TuxFMTBcdValueType::Instance(), "FMTBcd"},
      {TuxSQLTimeStampValueType::Instance(), "SQLTimeStamp"},
      {TuxVariantValueType::Instance(), "Variant"},
      {TuxObjectValueType::Instance(), "Object"},
  };
  return table;
}

void TuxValueTypeClassList::Register(TuxValueTypeClass AClass) {
  if (AClass && std::find(FItems.begin(), FItems.end(), AClass) == FItems.end()) FItems.push_back(AClass);
}

void TuxValueTypeClassList::Unregister(TuxValueTypeClass AClass) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), AClass), FItems.end());
}

TuxValueTypeClass TuxValueTypeClassList::ItemByCaption(const AnsiString& Caption) const {
  for (TuxValueTypeClass c : FItems)
    if (c->Caption() == Caption) return c;
  return nullptr;
}

TuxValueTypeClass TuxValueTypeClassList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return FItems[static_cast<std::size_t>(Index)];
}

TuxValueTypeClassList* uxGetValueTypeClassList() {
  if (!valueTypeClassList) valueTypeClassList = new TuxValueTypeClassList;
  return valueTypeClassList;
}

void uxFreeValueTypeClassList() { FreeAndNil(valueTypeClassList); }

// ---------------------------------------------------------------------------
// TuxValueDef

TuxValueDef::TuxValueDef(TuxValueDefs* AOwner, TuxValueTypeClass AValueTypeClass)
    : FValueDefs(AOwner), FValueTypeClass(AValueTypeClass) {}

TuxValueDef::~TuxValueDef() {
  if (FValueDefs && FValueDefs->IndexOf(this) >= 0) FValueDefs->Remove(this);
}

TuxDataStorage* TuxValueDef::Storage() const { return FValueDefs ? FValueDefs->Storage() : nullptr; }

bool TuxValueDef::HasValueSlot() const {
  const TuxDataStorage* storage = Storage();
  return FKeepValue || !storage || !storage->KeptValuesOnly();
}

void TuxValueDef::Assign(TuxValueDef* Source) {
  if (!Source) return;
  FKeepValue = Source->FKeepValue;
  FKeepText = Source->FKeepText;
}

void TuxValueDef::Layout(int& Offset) {
  FCellSize = FValueTypeClass->GetCellSize();
  FOffset = Offset;
  int advance = 0;
  if (HasValueSlot()) {
    advance = 1 + FCellSize;
    if (HasTextSlot()) advance += static_cast<int>(sizeof(void*));
  }
  FSlotSize = advance;
  Offset += advance;
}

void TuxValueDef::GetSlotValue(const Byte* Buffer, Variant& V) const {
  if (Buffer[FOffset] == 0)
    V = Null();
  else
    FValueTypeClass->CellToVariant(CellOf(Buffer), V);
}

void TuxValueDef::GetSlotText(const Byte* Buffer, AnsiString& S) const {
  if (HasTextSlot()) {
    const AnsiString* holder = LoadPtr<AnsiString>(TextCellOf(Buffer));
    S = holder ? *holder : AnsiString();
  } else if (Buffer[FOffset] == 0) {
    S.clear();
  } else {
    FValueTypeClass->CellToDisplayText(CellOf(Buffer), S);
  }
}

void TuxValueDef::PutSlotValue(Byte* Buffer, const Variant& V) const {
  if (V.IsNull()) {
    SetSlotNull(Buffer + FOffset, true);
    return;
  }
  FValueTypeClass->VariantToCell(CellOf(Buffer), V);
  Buffer[FOffset] = 1;
}

void TuxValueDef::PutSlotText(Byte* Buffer, const AnsiString& S) const {
  if (HasTextSlot()) FValueTypeClass->TextToTextCell(TextCellOf(Buffer), S);
}

void TuxValueDef::SetSlotNull(Byte* Slot, bool IsNull) const {
  if (IsNull) {
    FValueTypeClass->FreeCellData(Slot + 1);
    std::memset(Slot + 1, 0, static_cast<std::size_t>(FCellSize));
    Slot[0] = 0;
  } else {
    Slot[0] = 1;
  }
}

void TuxValueDef::ReleaseSlot(Byte* Buffer) const {
  if (FSlotSize == 0) return;
  // A null cell holds nothing (it is zeroed when it becomes null).
  FValueTypeClass->FreeCellData(CellOf(Buffer));
  if (HasTextSlot()) FValueTypeClass->FreeTextCell(TextCellOf(Buffer));
}

void TuxValueDef::ReleaseTextSlot(Byte* Buffer) const {
  if (HasTextSlot()) FValueTypeClass->FreeTextCell(TextCellOf(Buffer));
}

int TuxValueDef::CompareSlots(const Byte* Buffer1, const Byte* Buffer2) const {
  const bool null1 = RecordSlotIsNull(Buffer1, FOffset), null2 = RecordSlotIsNull(Buffer2, FOffset);
  if (null1 || null2) return null1 == null2 ? 0 : null1 ? -1 : 1;
  return FValueTypeClass->CompareCells(CellOf(Buffer1), CellOf(Buffer2));
}

int TuxValueDef::CompareDataPointers(bool IsNull1, bool IsNull2, const void* Content1, const void* Content2) const {
  if (IsNull1 || IsNull2) return IsNull1 == IsNull2 ? 0 : IsNull1 ? -1 : 1;
  return FValueTypeClass->CompareContents(Content1, Content2);
}

void TuxValueDef::LoadSlot(Byte* Buffer, TStream* Stream) const {
  const Byte isNull = uxReadByte(Stream);
  if (isNull == 1) {
    SetSlotNull(Buffer + FOffset, true);
  } else if (isNull == 0) {
    try {
      FValueTypeClass->ReadCell(CellOf(Buffer), Stream);
    } catch (const EVariantError&) {
      uxStreamReadError();  // a value of a kind the cell cannot hold
    } catch (const EConvertError&) {
      uxStreamReadError();
    }
    Buffer[FOffset] = 1;
  } else {
    uxStreamReadError();
  }
}

void TuxValueDef::SaveSlot(const Byte* Buffer, TStream* Stream) const {
  if (Buffer[FOffset] == 0) {
    uxWriteByte(Stream, 1);
  } else {
    uxWriteByte(Stream, 0);
    FValueTypeClass->WriteCell(CellOf(Buffer), Stream);
  }
}

void TuxValueDef::LoadSlotText(Byte* Buffer, TStream* Stream) const {
  if (HasTextSlot()) FValueTypeClass->ReadTextCell(TextCellOf(Buffer), Stream);
}

void TuxValueDef::SaveSlotText(const Byte* Buffer, TStream* Stream) const {
  if (HasTextSlot()) FValueTypeClass->WriteTextCell(TextCellOf(Buffer), Stream);
}

void TuxValueDef::SetKeepValue(bool Value) {
  if (FKeepValue == Value) return;
  FKeepValue = Value;
  if (FValueDefs) FValueDefs->NotifyChanged(this, false);
}

void TuxValueDef::SetKeepText(bool Value) {
  if (FKeepText == Value) return;
  FKeepText = Value;
  if (FValueDefs) FValueDefs->NotifyChanged(this, true);
}

TObject* TuxInternalValueDef::GetLinkObject() const {
  const TuxValueDef* source = SourceDef();
  return source ? source->GetLinkObject() : nullptr;
}

// ---------------------------------------------------------------------------
// TuxValueDefs

TuxValueDefs::TuxValueDefs(TuxDataStorage* AStorage) : FStorage(AStorage) {
  if (FStorage) FStorage->LayoutDefs(this);
}

TuxValueDefs::~TuxValueDefs() { Clear(); }

void TuxValueDefs::NotifyChanged(TuxValueDef* Def, bool ResyncNeeded) {
  if (FStorage) FStorage->DefsChanged(Def, ResyncNeeded);
}

void TuxValueDefs::Layout(int StartOffset) {
  FStartOffset = StartOffset;
  int offset = StartOffset;
  for (TuxValueDef* def : FItems) def->Layout(offset);
  FRecordSize = offset;
}

TuxValueDef* TuxValueDefs::CreateDef(TuxValueTypeClass AValueTypeClass) {
  return new TuxValueDef(this, AValueTypeClass);
}

TuxValueDef* TuxValueDefs::Add(TuxValueTypeClass AValueTypeClass, bool AKeepValue, TObject* ALinkObject,
                               bool AKeepText) {
  TuxValueDef* def = CreateDef(AValueTypeClass);
  def->SetLinkObject(ALinkObject);
  def->FKeepValue = AKeepValue;
  def->FKeepText = AKeepText;
  int offset = 0;
  def->Layout(offset);  // provisional: its slot size
  FStorage->AddDefSlot(Count(), def);
  FItems.push_back(def);
  FStorage->LayoutDefs(this);
  return def;
}

void TuxValueDefs::Remove(TuxValueDef* Def) {
  const int index = IndexOf(Def);
  if (index < 0) return;
  FStorage->RemoveDefSlot(Def);
  FItems.erase(FItems.begin() + index);
  FStorage->LayoutDefs(this);
}

void TuxValueDefs::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

TuxValueDef* TuxValueDefs::Items(int Index) const {
  const std::vector<TuxValueDef*>* order = FStorage && !IsInternal() ? FStorage->StreamOrder() : nullptr;
  const std::vector<TuxValueDef*>& items = order ? *order : FItems;
  if (Index < 0 || Index >= static_cast<int>(items.size())) ListIndexError(Index);
  return items[static_cast<std::size_t>(Index)];
}

int TuxValueDefs::IndexOf(const TuxValueDef* Def) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i] == Def) return static_cast<int>(i);
  return -1;
}

int TuxValueDefs::SlotCount() const {
  int n = 0;
  for (const TuxValueDef* def : FItems)
    if (def->HasValueSlot()) ++n;
  return n;
}

TuxInternalValueDef* TuxInternalValueDefs::FindTwin(const TuxValueDef* Def) const {
  for (int i = Count() - 1; i >= 0; --i) {
    auto* twin = static_cast<TuxInternalValueDef*>(FItemsAt(i));
    if (twin->SourceDef() == Def) return twin;
  }
  return nullptr;
}

void TuxInternalValueDefs::RemoveTwin(const TuxValueDef* Def) { delete FindTwin(Def); }

TuxValueDef* TuxInternalValueDefs::CreateDef(TuxValueTypeClass AValueTypeClass) {
  return new TuxInternalValueDef(this, AValueTypeClass);
}

// ---------------------------------------------------------------------------
// TuxDataStorage

TuxDataStorage::TuxDataStorage() {
  FInternalValueDefs = new TuxInternalValueDefs(this);
  FValueDefs = new TuxValueDefs(this);
}

TuxDataStorage::~TuxDataStorage() {
  FDestroying = true;
  ClearAll(false);
  delete FValueDefs;
  FValueDefs = nullptr;
  delete FInternalValueDefs;
  FInternalValueDefs = nullptr;
}

// Internal records never carry ids: their layout stays put when the normal
// records start or stop keeping ids.
void TuxDataStorage::LayoutDefs(TuxValueDefs* Defs) { Defs->Layout(Defs->IsInternal() ? 1 : ValuesOffset()); }

TuxValueDefs* TuxDataStorage::DefsOfRecord(int RecordIndex) const {
  return RecordIndex < 0 ? static_cast<TuxValueDefs*>(FInternalValueDefs) : FValueDefs;
}

std::vector<Byte*>& TuxDataStorage::ListOf(int RecordIndex) {
  return RecordIndex < 0 ? FInternalRecords : FRecords;
}

const std::vector<Byte*>& TuxDataStorage::ListOf(int RecordIndex) const {
  return RecordIndex < 0 ? FInternalRecords : FRecords;
}

std::size_t TuxDataStorage::EntryOf(int RecordIndex) const {
  const Int64 entry = RecordIndex < 0 ? -static_cast<Int64>(RecordIndex) - 1 : RecordIndex;
  if (entry >= static_cast<Int64>(ListOf(RecordIndex).size())) ListIndexError(RecordIndex);
  return static_cast<std::size_t>(entry);
}

Byte* TuxDataStorage::RecordBuffer(int RecordIndex) const { return ListOf(RecordIndex)[EntryOf(RecordIndex)]; }

Byte* TuxDataStorage::EnsureRecordBuffer(int RecordIndex) {
  Byte*& buffer = ListOf(RecordIndex)[EntryOf(RecordIndex)];
  if (!buffer) buffer = static_cast<Byte*>(std::calloc(static_cast<std::size_t>(DefsOfRecord(RecordIndex)->RecordSize()), 1));
  if (!buffer) throw EOutOfResources(SOutOfMemory);
  return buffer;
}

void TuxDataStorage::SetRecordBufferPtr(int RecordIndex, Byte* Buffer) {
  ListOf(RecordIndex)[EntryOf(RecordIndex)] = Buffer;
}

void TuxDataStorage::ReleaseBuffer(Byte* Buffer, TuxValueDefs* Defs) {
  if (!Buffer) return;
  for (int i = 0; i < Defs->Count(); ++i) Defs->FItems[static_cast<std::size_t>(i)]->ReleaseSlot(Buffer);
  std::free(Buffer);
}

void TuxDataStorage::ReleaseRecordBuffer(int RecordIndex) {
  Byte*& entry = ListOf(RecordIndex)[EntryOf(RecordIndex)];
  Byte* buffer = entry;
  entry = nullptr;
  ReleaseBuffer(buffer, DefsOfRecord(RecordIndex));
}

void TuxDataStorage::ReleaseNormalBuffers() {
  for (std::size_t i = 0; i < FRecords.size(); ++i) ReleaseRecordBuffer(static_cast<int>(i));
}

void TuxDataStorage::SetRecordCount(int Value) {
  if (Value < 0) Value = 0;
  while (RecordCount() < Value) AddRecord();
  while (RecordCount() > Value) RemoveRecord(RecordCount() - 1);
}

int TuxDataStorage::AddRecord() {
  FRecords.push_back(nullptr);
  const int index = RecordCount() - 1;
  AssignMissingIds(index);
  return index;
}

int TuxDataStorage::InsertRecordAt(int RecordIndex) {
  if (RecordIndex < 0 || RecordIndex > RecordCount()) ListIndexError(RecordIndex);
  FRecords.insert(FRecords.begin() + RecordIndex, nullptr);
  AssignMissingIds(RecordIndex);
  return RecordIndex;
}

void TuxDataStorage::RemoveRecord(int RecordIndex) {
  if (RecordIndex < 0) {
    FreeInternalRecord(RecordIndex);
    return;
  }
  ReleaseRecordBuffer(RecordIndex);
  FRecords.erase(FRecords.begin() + RecordIndex);
  if (FRecords.empty()) FNextId = 1;
}

void TuxDataStorage::FreeInternalRecord(int RecordIndex) { ReleaseRecordBuffer(RecordIndex); }

int TuxDataStorage::NewInternalRecord() {
  std::size_t entry = 0;
  while (entry < FInternalRecords.size() && FInternalRecords[entry] && RecordFlagIsSet(FInternalRecords[entry], 1))
    ++entry;
  if (entry == FInternalRecords.size()) FInternalRecords.push_back(nullptr);
  const int index = -static_cast<int>(entry) - 1;
  SetRecordFlag(EnsureRecordBuffer(index), 1, true);
  return index;
}

void TuxDataStorage::ClearAll(bool KeepInternal) {
  if (!KeepInternal) ClearInternal();
  ClearBuffers(true);
}

void TuxDataStorage::ClearInternal() {
  for (std::size_t i = 0; i < FInternalRecords.size(); ++i) ReleaseRecordBuffer(-static_cast<int>(i) - 1);
  FInternalRecords.clear();
  if (!FDestroying && OnInternalRecordsCleared) OnInternalRecordsCleared(this);
}

void TuxDataStorage::ClearBuffers(bool DeleteEntries) {
  ReleaseNormalBuffers();
  if (DeleteEntries) FRecords.clear();
  if (FRecords.empty()) FNextId = 1;
  AssignMissingIds(-1);
}

void TuxDataStorage::AssignMissingIds(int RecordIndex) {
  if (!FKeepRecordIds) return;
  const int first = RecordIndex < 0 ? 0 : RecordIndex;
  const int last = RecordIndex < 0 ? RecordCount() - 1 : RecordIndex;
  for (int i = first; i <= last; ++i)
    if (RecordId(i) == 0) SetRecordId(i, FNextId++);
}

int TuxDataStorage::RecordId(int RecordIndex) {
  if (!FKeepRecordIds || RecordIndex < 0) return 0;
  return LoadVal<Integer>(EnsureRecordBuffer(RecordIndex) + 1);
}

void TuxDataStorage::SetRecordId(int RecordIndex, int Id) {
  if (!FKeepRecordIds || RecordIndex < 0) return;
  StoreVal<Integer>(EnsureRecordBuffer(RecordIndex) + 1, Id);
}

bool TuxDataStorage::MapToInternalDef(int RecordIndex, TuxValueDef*& Def) const {
  if (Def && RecordIndex < 0 && !Def->ValueDefs()->IsInternal()) Def = FInternalValueDefs->FindTwin(Def);
  return Def != nullptr;
}

void TuxDataStorage::RecordValue(int RecordIndex, TuxValueDef* Def, Variant& V) {
  const Byte* buffer = RecordBuffer(RecordIndex);
  if (!buffer || !MapToInternalDef(RecordIndex, Def) || !Def->HasValueSlot()) {
    V = Null();
    return;
  }
  Def->GetSlotValue(buffer, V);
}

void TuxDataStorage::RecordText(int RecordIndex, TuxValueDef* Def, AnsiString& S) {
  const Byte* buffer = RecordBuffer(RecordIndex);
  if (!buffer || !MapToInternalDef(RecordIndex, Def) || !Def->HasValueSlot()) {
    S.clear();
    return;
  }
  Def->GetSlotText(buffer, S);
}

void TuxDataStorage::SetRecordValue(int RecordIndex, TuxValueDef* Def, const Variant& V) {
  Byte* buffer = EnsureRecordBuffer(RecordIndex);
  if (MapToInternalDef(RecordIndex, Def) && Def->HasValueSlot()) Def->PutSlotValue(buffer, V);
}

void TuxDataStorage::SetRecordText(int RecordIndex, TuxValueDef* Def, const AnsiString& S) {
  Byte* buffer = EnsureRecordBuffer(RecordIndex);
  if (MapToInternalDef(RecordIndex, Def) && Def->HasTextSlot()) Def->PutSlotText(buffer, S);
}

int TuxDataStorage::CompareRecordValues(int RecordIndex1, int RecordIndex2, TuxValueDef* Def) const {
  if (!Def->HasValueSlot()) return 0;
  return Def->CompareSlots(RecordBuffer(RecordIndex1), RecordBuffer(RecordIndex2));
}

bool TuxDataStorage::ValueDataPointer(int RecordIndex, TuxValueDef* Def, const void*& Content) {
  const Byte* buffer = RecordBuffer(RecordIndex);
  if (!buffer || !MapToInternalDef(RecordIndex, Def) || !Def->HasValueSlot() ||
      Def->RecordSlotIsNull(buffer, Def->Offset()))
    return true;
  Content = Def->ValueTypeClass()->CellToContent(Def->CellOf(buffer));
  return false;
}

void TuxDataStorage::FillRecord(int RecordIndex, TuxValueDefReader* Reader) {
  Byte* buffer = EnsureRecordBuffer(RecordIndex);
  TuxValueDefs* defs = DefsOfRecord(RecordIndex);
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->FItems[static_cast<std::size_t>(i)];
    if (Reader->Skips(def) || !def->HasValueSlot()) continue;
    Variant V;
    Reader->ValueOf(def, V);
    def->PutSlotValue(buffer, V);
    if (def->KeepText()) {
      AnsiString S;
      Reader->TextOf(def, S);
      def->PutSlotText(buffer, S);
    }
  }
}

void TuxDataStorage::CopyRecordValues(int FromIndex, int ToIndex, TuxCopyRecordValueProc Proc, TObject* Owner,
                                      TuxValueDefReader* Reader) {
  TuxValueDefs* defs = DefsOfRecord(FromIndex);
  for (int i = 0; i < defs->Count(); ++i) Proc(Owner, defs->FItems[static_cast<std::size_t>(i)], FromIndex, Reader, ToIndex);
}

// One record's stream form after its leading byte 0, into a new buffer.
Byte* TuxDataStorage::ReadBuffer(TuxValueDefs* Defs, bool WithId, TStream* Stream, int& Id) {
  Byte* buffer = static_cast<Byte*>(std::calloc(static_cast<std::size_t>(Defs->RecordSize()), 1));
  if (!buffer) throw EOutOfResources(SOutOfMemory);
  Id = 0;
  try {
    if (WithId) {
      Id = uxReadInt32(Stream);
      StoreVal<Integer>(buffer + 1, Id);
    }
    for (int i = 0; i < Defs->Count(); ++i) {
      TuxValueDef* def = Defs->Items(i);
      if (!def->Streamed() || !def->HasValueSlot()) continue;
      def->LoadSlot(buffer, Stream);
      def->LoadSlotText(buffer, Stream);
    }
  } catch (...) {
    ReleaseBuffer(buffer, Defs);
    throw;
  }
  return buffer;
}

void TuxDataStorage::LoadRecord(int RecordIndex, TStream* Stream) {
  EntryOf(RecordIndex);  // the index must exist before anything is read
  const Byte noBuffer = uxReadByte(Stream);
  if (noBuffer == 1) {
    ReleaseRecordBuffer(RecordIndex);
    return;
  }
  if (noBuffer != 0) uxStreamReadError();
  int id = 0;
  Byte* buffer = ReadBuffer(DefsOfRecord(RecordIndex), FKeepRecordIds && RecordIndex >= 0, Stream, id);
  ReleaseRecordBuffer(RecordIndex);
  SetRecordBufferPtr(RecordIndex, buffer);
  if (FKeepRecordIds && RecordIndex >= 0 && id >= FNextId && id < INT32_MAX) FNextId = id + 1;
}

Byte* TuxDataStorage::ReadRecordBuffer(TStream* Stream, int& Id) {
  Id = 0;
  const Byte noBuffer = uxReadByte(Stream);
  if (noBuffer == 1) return nullptr;
  if (noBuffer != 0) uxStreamReadError();
  return ReadBuffer(FValueDefs, FKeepRecordIds, Stream, Id);
}

void TuxDataStorage::ReplaceRecordBuffers(std::vector<Byte*>& Buffers) {
  if (Buffers.size() != FRecords.size()) ListIndexError(static_cast<int>(Buffers.size()));
  for (std::size_t i = 0; i < Buffers.size(); ++i) {
    ReleaseRecordBuffer(static_cast<int>(i));
    FRecords[i] = Buffers[i];
    Buffers[i] = nullptr;
    if (FKeepRecordIds && FRecords[i]) {
      const Integer id = LoadVal<Integer>(FRecords[i] + 1);
      if (id >= FNextId && id < INT32_MAX) FNextId = id + 1;
    }
  }
  Buffers.clear();
  AssignMissingIds(-1);
}

void TuxDataStorage::SaveRecord(int RecordIndex, TStream* Stream) {
  const Byte* buffer = RecordBuffer(RecordIndex);
  if (!buffer) {
    uxWriteByte(Stream, 1);
    return;
  }
  uxWriteByte(Stream, 0);
  if (FKeepRecordIds && RecordIndex >= 0) uxWriteInt32(Stream, LoadVal<Integer>(buffer + 1));
  TuxValueDefs* defs = DefsOfRecord(RecordIndex);
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->Items(i);
    if (!def->Streamed() || !def->HasValueSlot()) continue;
    def->SaveSlot(buffer, Stream);
    def->SaveSlotText(buffer, Stream);
  }
}

void TuxDataStorage::BeginStreamOrder(TuxValueDefCompareProc CompareProc) {
  auto order = std::make_unique<std::vector<TuxValueDef*>>(FValueDefs->FItems);
  // Insertion sort: few definitions, and any answer of CompareProc is safe.
  for (std::size_t i = 1; i < order->size(); ++i)
    for (std::size_t j = i; j > 0 && CompareProc((*order)[j - 1], (*order)[j]) > 0; --j)
      std::swap((*order)[j - 1], (*order)[j]);
  FStreamOrder = std::move(order);
}

void TuxDataStorage::EndStreamOrder() { FStreamOrder.reset(); }

void TuxDataStorage::SetKeptValuesOnly(bool Value) {
  if (FKeptValuesOnly == Value) return;
  ReleaseNormalBuffers();
  FKeptValuesOnly = Value;
  LayoutDefs(FValueDefs);
}

void TuxDataStorage::SetKeepRecordIds(bool Value) {
  if (FKeepRecordIds == Value) return;
  ReleaseNormalBuffers();
  FKeepRecordIds = Value;
  LayoutDefs(FValueDefs);
}

void TuxDataStorage::AddDefSlot(int Position, TuxValueDef* Def) {
  if (FDestroying) return;
  const bool normal = Def->ValueDefs() == FValueDefs;
  if (normal) FInternalValueDefs->Add(Def->ValueTypeClass(), true, Def, Def->KeepText());
  TuxValueDefs* defs = Def->ValueDefs();
  const int size = Def->SlotSize();
  if (size == 0) return;
  const int oldSize = defs->RecordSize();
  const int gap = Position < defs->Count() ? defs->FItems[static_cast<std::size_t>(Position)]->Offset() : oldSize;
  for (Byte*& buffer : normal ? FRecords : FInternalRecords) {
    if (!buffer) continue;
    auto* grown = static_cast<Byte*>(std::realloc(buffer, static_cast<std::size_t>(oldSize + size)));
    if (!grown) throw EOutOfResources(SOutOfMemory);
    std::memmove(grown + gap + size, grown + gap, static_cast<std::size_t>(oldSize - gap));
    std::memset(grown + gap, 0, static_cast<std::size_t>(size));
    buffer = grown;
  }
}

void TuxDataStorage::RemoveDefSlot(TuxValueDef* Def) {
  if (FDestroying) return;
  const bool normal = Def->ValueDefs() == FValueDefs;
  if (normal) FInternalValueDefs->RemoveTwin(Def);
  TuxValueDefs* defs = Def->ValueDefs();
  const int size = Def->SlotSize();
  if (size == 0) return;
  std::vector<Byte*>& list = normal ? FRecords : FInternalRecords;
  if (defs->SlotCount() == 1) {
    for (Byte*& buffer : list) {
      ReleaseBuffer(buffer, defs);
      buffer = nullptr;
    }
    return;
  }
  const int oldSize = defs->RecordSize();
  const int offset = Def->Offset();
  for (Byte*& buffer : list) {
    if (!buffer) continue;
    Def->ReleaseSlot(buffer);
    std::memmove(buffer + offset, buffer + offset + size, static_cast<std::size_t>(oldSize - offset - size));
    auto* shrunk = static_cast<Byte*>(std::realloc(buffer, static_cast<std::size_t>(oldSize - size)));
    if (shrunk) buffer = shrunk;
  }
}

void TuxDataStorage::SetRecordFlag(Byte* Buffer, Byte Bits, bool On) {
  if (!Buffer) return;
  Buffer[0] = On ? static_cast<Byte>(Buffer[0] | Bits) : static_cast<Byte>(Buffer[0] & ~Bits);
}

bool TuxDataStorage::RecordFlagIsSet(const Byte* Buffer, Byte Bits) { return Buffer && (Buffer[0] & Bits) == Bits; }

// ---------------------------------------------------------------------------
// TuxLookupList

bool TuxLookupList::Find(const Variant& Key, int& Index) const {
  int low = 0, high = Count() - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int r = uxCompareVariants(FItems[static_cast<std::size_t>(mid)].KeyValue, Key);
    if (r < 0) {
      low = mid + 1;
    } else if (r > 0) {
      high = mid - 1;
    } else {
      Index = mid;
      return true;
    }
  }
  Index = low;
  return false;
}

void TuxLookupList::Insert(int Index, const Variant& Key, const AnsiString& Text) {
  if (Index < 0 || Index > Count()) ListIndexError(Index);
  FItems.insert(FItems.begin() + Index, TuxLookupListItem{Key, Text});
}

const TuxLookupListItem& TuxLookupList::GetItem(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return FItems[static_cast<std::size_t>(Index)];
}
