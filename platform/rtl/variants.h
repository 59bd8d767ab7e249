// Variant: a value of one of the platform's variant kinds, with its VarType
// codes, conversions, comparison and arithmetic.
//
// Conversions: to text, Booleans are "True"/"False", dates go through
// DateTimeToStr, floating point through FloatToStr, currency through
// CurrToStr. Text becomes a number by the StrToFloat rules (integers round
// half to even) and a Boolean from "True"/"False" (any case) or a number.
// True is -1 as a number. Null converts to nothing but itself (VarToStr gives
// ""); Empty is 0, "" or False. A conversion that cannot be made raises
// EVariantTypeCastError "Could not convert variant of type (A) into type (B)";
// a value that does not fit the target raises EVariantOverflowError.
//
// Comparison operators: Null equals only Null and is below every other
// value; Empty counts as 0, "" or False next to the other side. Two strings
// compare by their CP936 bytes; a string next to a number, date or Boolean is
// converted to that kind first. Numbers compare by value across kinds, exactly
// (a large Int64 is not rounded to a double), except that currency next to a
// floating-point value compares as a double.
//
// Arithmetic: Null in, Null out; Empty counts as 0 (or "" for +). Integer
// kinds give Integer, or Int64 when a side is Int64 or LongWord or the
// result needs it, or Double when even that overflows. Currency stays
// Currency with currency and integer operands (+ - *); a date plus or minus a
// number stays a date, a date minus a date is a Double; / always gives a
// Double. String + string concatenates; a string next to a number takes part
// as a number.
#pragma once
#include <initializer_list>
#include <vector>
#include "platform/rtl/currency.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"


enum : Word {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varSingle = 0x0004,
  varDouble = 0x0005,
  varCurrency = 0x0006,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varBoolean = 0x000B,
  varVariant = 0x000C,
  varShortInt = 0x0010,
  varByte = 0x0011,
  varWord = 0x0012,
  varLongWord = 0x0013,
  varInt64 = 0x0014,
  varString = 0x0100,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
};

class Variant;

// A date wrapped so that it builds a varDate variant rather than a varDouble.
struct TVarDate {
  TDateTime Value;
};

class Variant {
 public:
  Variant() = default;
  Variant(const AnsiString& v) : vt_(varString), str_(v) {}
  Variant(AnsiString&& v) : vt_(varString), str_(std::move(v)) {}
  Variant(const char* v) : vt_(varString), str_(v ? v : "") {}
  Variant(const WideString& v) : vt_(varOleStr), wstr_(v) {}
  Variant(const char16_t* v) : vt_(varOleStr), wstr_(v ? v : u"") {}
  Variant(char* v) : Variant(static_cast<const char*>(v)) {}
  Variant(char16_t* v) : Variant(static_cast<const char16_t*>(v)) {}
  // Any other pointer would silently become a Boolean.
  template <typename T>
  Variant(T*) = delete;
  Variant(bool v) : vt_(varBoolean) { u_.b = v; }
  Variant(signed char v) : vt_(varShortInt) { u_.i = v; }
  Variant(unsigned char v) : vt_(varByte) { u_.i = v; }
  Variant(short v) : vt_(varSmallint) { u_.i = v; }
  Variant(unsigned short v) : vt_(varWord) { u_.i = v; }
  Variant(int v) : vt_(varInteger) { u_.i = v; }
  Variant(unsigned int v) : vt_(varLongWord) { u_.i = v; }
  Variant(long v) : vt_(varInt64) { u_.i = v; }
  Variant(long long v) : vt_(varInt64) { u_.i = v; }
  // Int64 when it fits, else Double.
  Variant(unsigned long v);
  Variant(unsigned long long v);
  Variant(float v) : vt_(varSingle) { u_.d = v; }
  Variant(double v) : vt_(varDouble) { u_.d = v; }
  Variant(Currency v) : vt_(varCurrency) { u_.i = v.Value; }
  Variant(TVarDate v) : vt_(varDate) { u_.d = v.Value; }

  static Variant Null() { Variant v; v.vt_ = varNull; return v; }
  static Variant Unassigned() { return Variant(); }
  static Variant FromDate(TDateTime d) { return Variant(TVarDate{d}); }
  static Variant FromCurrency(Currency c) { return Variant(c); }

  // VarType code (element type | varArray for arrays).
  Word Type() const { return vt_; }
  bool IsNull() const { return vt_ == varNull; }
  bool IsEmpty() const { return vt_ == varEmpty; }
  bool IsArray() const { return (vt_ & varArray) != 0; }

  // Conversions by the rules above.
  AnsiString AsString() const;
  WideString AsWideString() const;
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;

  // Arrays (one dimension).
  int LowBound() const;
  int HighBound() const;
  int ElementCount() const;
  // Raise EVariantError when not an array or the index is out of bounds.
  const Variant& operator[](int Index) const;
  Variant GetElement(int Index) const { return (*this)[Index]; }
  // Stores Value converted to the array's element type.
  void PutElement(int Index, const Variant& Value);

  Variant& operator+=(const Variant& b);
  Variant& operator-=(const Variant& b);
  Variant& operator*=(const Variant& b);
  Variant& operator/=(const Variant& b);

 private:
  friend Variant VarArrayCreate(std::initializer_list<int> Bounds, Word VarType);
  friend Variant VarArrayOf(std::initializer_list<Variant> Values);
  friend Variant VarAsType(const Variant& V, Word VarType);
  friend struct VariantAccess;

  Word vt_ = varEmpty;
  union {
    Int64 i;   // every integer kind, Currency (scaled)
    double d;  // Single, Double, Date
    bool b;
  } u_{};
  AnsiString str_;
  WideString wstr_;
  int low_ = 0;                // arrays
  std::vector<Variant> items_;  // arrays
};

// ---------------------------------------------------------------------------
// Makers and queries

inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant::Unassigned(); }
inline Variant VarFromDateTime(TDateTime d) { return Variant::FromDate(d); }

inline Word VarType(const Variant& V) { return V.Type(); }
inline bool VarIsNull(const Variant& V) { return V.IsNull(); }
inline bool VarIsEmpty(const Variant& V) { return V.IsEmpty(); }
inline bool VarIsClear(const Variant& V) { return V.IsEmpty(); }
inline bool VarIsArray(const Variant& V) { return V.IsArray(); }
// Integer kinds and Boolean.
bool VarIsOrdinal(const Variant& V);
// Single, Double, Currency.
bool VarIsFloat(const Variant& V);
// Ordinal or float (not dates).
bool VarIsNumeric(const Variant& V);
bool VarIsStr(const Variant& V);
// Name of a VarType code as used in messages: "Integer", "String", "Array Variant".
AnsiString VarTypeAsText(Word VarType);

// ---------------------------------------------------------------------------
// Conversions

// Null gives "".
AnsiString VarToStr(const Variant& V);
// Null gives Default.
AnsiString VarToStrDef(const Variant& V, const AnsiString& Default);
WideString VarToWideStr(const Variant& V);
TDateTime VarToDateTime(const Variant& V);
// V converted to the kind VarType (not an array kind).
Variant VarAsType(const Variant& V, Word VarType);

// ---------------------------------------------------------------------------
// Arrays

// A one-dimensional array of varVariant elements, low bound 0.
Variant VarArrayOf(std::initializer_list<Variant> Values);
Variant VarArrayOf(const std::vector<Variant>& Values);
// Bounds {low, high}; elements are the empty value of VarType (Empty for
// varVariant, 0, "" ...). Other shapes raise EVariantError.
Variant VarArrayCreate(std::initializer_list<int> Bounds, Word VarType);
int VarArrayDimCount(const Variant& V);
// Dim must be 1; EVariantError when V is not an array.
int VarArrayLowBound(const Variant& V, int Dim = 1);
int VarArrayHighBound(const Variant& V, int Dim = 1);

// ---------------------------------------------------------------------------
// Comparison and arithmetic

bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };
// Empty and Null are equal to themselves only (vrNotEqual otherwise); other
// values compare as the operators do.
TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);
// A total order for sorting, never raising: Empty < Null < numbers, dates
// and Booleans by value (NaN last) < strings by CP936 bytes < arrays by
// their elements. Returns -1, 0 or 1.
int VarCompareTotal(const Variant& A, const Variant& B);

Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);
