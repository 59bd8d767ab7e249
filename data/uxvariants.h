// Variant helpers of the data layer: the one three-way comparison of values,
// loose equality, type tests, small arrays, and the byte encodings of values
// in streams (fixed-width little-endian primitives, length-prefixed texts and
// the tagged encoding of one variant).
//
// Comparison. uxCompareVariants is a total order, so that sorting, grouping
// and binary searches never see two values answer both ways:
//   Null < Empty < numbers < strings < arrays.
// "Numbers" are every integer kind, single, double, currency, date and
// Boolean (True is -1, as the platform converts it); they compare by value,
// as the platform's variant operators do (exactly across integer kinds, a
// currency next to a floating-point value as a double); NaN orders after
// every other number. Strings (8-bit and UTF-16) compare ordinally by their
// CP936 bytes (GBK order). A string and a number are never converted to each
// other here: "10" < "9" as text while 9 < 10, so no order could keep both;
// filter values are converted to their column's kind before they are
// compared (the value types' ConvertVariant). Arrays order after every
// scalar; two arrays by their length (the difference of lengths is returned
// as it is), then element by element.
//
// Tagged encoding: a tag byte of the component-stream value kinds followed by
// the payload (see uxWriteVariant). Every reader checks each count and length
// against what remains in the stream before it allocates: a damaged stream
// raises EReadError "Stream read error", never a huge allocation.
#pragma once
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/variants.h"

// ---- comparison and tests ----

// 0 when equal, negative when V1 orders first, positive when V2 does.
int uxCompareVariants(const Variant& V1, const Variant& V2);
// An array orders after a scalar (1 / -1); two arrays by the difference of
// their lengths, then element by element; two scalars by uxCompareScalarVariants.
int uxCompareVariantArrays(const Variant& V1, const Variant& V2);
// -1, 0 or 1 by the order above.
int uxCompareScalarVariants(const Variant& V1, const Variant& V2);
bool uxVarEquals(const Variant& V1, const Variant& V2);
// uxVarEquals, except that when neither value is Null and one is a Boolean,
// both are compared as their texts ("True" equals True; -1 does not).
bool uxVarEqualsLoose(const Variant& V1, const Variant& V2);
bool uxVarIsDateTime(const Variant& V);
bool uxVarTypeIsDateTime(Word T);
// Any integer kind, single, double or currency.
bool uxVarIsNumber(const Variant& V);
bool uxVarTypeIsCurrency(Word T);
// Null, or an 8-bit or UTF-16 string equal to ''. Empty gives false.
bool uxVarIsNullOrEmpty(const Variant& V);

// Arrays of variants with a low bound of 0.
Variant uxMakeVarArray1(const Variant& V);
Variant uxMakeVarArray2(const Variant& V1, const Variant& V2);
// A becomes an array one element longer whose last element is V.
void uxVarArrayAppend(Variant& A, const Variant& V);

// ---- tags of the tagged encoding ----

enum : Byte {
  uxvtNull = 0,
  uxvtList = 1,
  uxvtInt8 = 2,
  uxvtInt16 = 3,
  uxvtInt32 = 4,
  uxvtExtended = 5,
  uxvtString = 6,
  uxvtFalse = 8,
  uxvtTrue = 9,
  uxvtLString = 12,
  uxvtNil = 13,
  uxvtSingle = 15,
  uxvtCurrency = 16,
  uxvtDate = 17,
  uxvtWString = 18,
  uxvtInt64 = 19,
};

// ---- streaming (all little-endian) ----

// Raise EReadError "Stream read error" / EWriteError "Stream write error".
[[noreturn]] void uxStreamReadError();
[[noreturn]] void uxStreamWriteError();

// The tagged encoding of one variant. Writing: arrays as tag 1, a compact
// count and the tagged elements; Empty 13; Null 0; integers in the smallest
// of tags 2, 3, 4, 19 that holds them; single 15; double 5 (10-byte
// extended); currency 16; date 17; UTF-16 string 18; Boolean 8 / 9; 8-bit
// string 6 (up to 255 bytes) or 12. Reading gives the smallest signed integer
// kind, double for extended, and raises EReadError for a tag outside the
// table, a negative or oversized count or length, or lists nested deeper
// than uxMaxVariantNesting.
void uxReadVariant(TStream* Stream, Variant& V);
void uxWriteVariant(TStream* Stream, const Variant& V);
inline constexpr int uxMaxVariantNesting = 64;

// 32-bit signed byte count, then the bytes.
void uxReadAnsiString(TStream* Stream, AnsiString& S);
void uxWriteAnsiString(TStream* Stream, const AnsiString& S);
// 32-bit signed count of UTF-16 units, then the units.
void uxReadWideString(TStream* Stream, WideString& W);
void uxWriteWideString(TStream* Stream, const WideString& W);

Byte uxReadByte(TStream* Stream);
void uxWriteByte(TStream* Stream, Byte Value);
// One byte: 0 false, anything else true.
bool uxReadBoolean(TStream* Stream);
void uxWriteBoolean(TStream* Stream, bool Value);
SmallInt uxReadInt16(TStream* Stream);
void uxWriteInt16(TStream* Stream, SmallInt Value);
Word uxReadUInt16(TStream* Stream);
void uxWriteUInt16(TStream* Stream, Word Value);
Integer uxReadInt32(TStream* Stream);
void uxWriteInt32(TStream* Stream, Integer Value);
Int64 uxReadInt64(TStream* Stream);
void uxWriteInt64(TStream* Stream, Int64 Value);
Currency uxReadCurrency(TStream* Stream);
void uxWriteCurrency(TStream* Stream, Currency Value);
TDateTime uxReadDateTime(TStream* Stream);
void uxWriteDateTime(TStream* Stream, TDateTime Value);
// The 10-byte x87 extended form, read as the nearest double; written exactly.
double uxReadExtended(TStream* Stream);
void uxWriteExtended(TStream* Stream, double Value);

// The 10-byte extended form of a double, and back (nearest double; values
// beyond the double range become infinities).
void uxDoubleToExtended(double Value, Byte Bytes[10]);
double uxExtendedToDouble(const Byte Bytes[10]);

// ---- reader and writer of the data-controller stream's header ----

class TuxFiler : public TObject {
  PV_CLASS(TuxFiler, TObject)
 public:
  explicit TuxFiler(TStream* AStream) : FStream(AStream) {}
  TStream* Stream() const { return FStream; }

 private:
  TStream* FStream;  // not owned
};

class TuxReader : public TuxFiler {
  PV_CLASS(TuxReader, TuxFiler)
 public:
  using TuxFiler::TuxFiler;
  Integer ReadInt32() { return uxReadInt32(Stream()); }
  AnsiString ReadText() {
    AnsiString S;
    uxReadAnsiString(Stream(), S);
    return S;
  }
};

class TuxWriter : public TuxFiler {
  PV_CLASS(TuxWriter, TuxFiler)
 public:
  using TuxFiler::TuxFiler;
  void WriteInt32(Integer Value) { uxWriteInt32(Stream(), Value); }
  void WriteText(const AnsiString& S) { uxWriteAnsiString(Stream(), S); }
};
