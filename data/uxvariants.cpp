#include "data/uxvariants.h"

#include <cmath>
#include <cstring>

#include "data/uxdataconsts.h"
#include "framework/uxclasses.h"
#include "platform/rtl/strings.h"

namespace {


bool IsIntKind(Word vt) {
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

bool IsStrKind(Word vt) { return vt == varString || vt == varOleStr; }

// The fixed rank of kinds: values of different ranks never convert.
enum TKindRank { krNull, krEmpty, krNumber, krString, krArray };

TKindRank RankOf(const Variant& V) {
  const Word vt = V.Type();
  if (vt & varArray) return krArray;
  if (vt == varNull) return krNull;
  if (vt == varEmpty) return krEmpty;
  if (IsStrKind(vt)) return krString;
  return krNumber;
}

bool IsNaN(const Variant& V) {
  const Word vt = V.Type();
  return (vt == varDouble || vt == varSingle || vt == varDate) && std::isnan(V.AsDouble());
}

int Sign(int r) { return r < 0 ? -1 : r > 0 ? 1 : 0; }

int CompareNumbers(const Variant& V1, const Variant& V2) {
  if (V1.Type() == varInteger && V2.Type() == varInteger) {
    const Integer a = V1.AsInteger(), b = V2.AsInteger();
    return a < b ? -1 : a > b ? 1 : 0;
  }
  const bool n1 = IsNaN(V1), n2 = IsNaN(V2);
  if (n1 || n2) return n1 == n2 ? 0 : n1 ? 1 : -1;
  switch (VarCompareValue(V1, V2)) {
    case vrEqual: return 0;
    case vrLessThan: return -1;
    case vrGreaterThan: return 1;
    default: return VarCompareTotal(V1, V2);
  }
}

int CompareStrings(const Variant& V1, const Variant& V2) {
  if (V1.Type() == varString && V2.Type() == varString) return Sign(CompareStr(V1.AsString(), V2.AsString()));
  return Sign(CompareStr(VarToStr(V1), VarToStr(V2)));
}

// ---- fixed-width primitives ----

template <typename T>
T ReadLE(TStream* Stream) {
  Byte b[sizeof(T)];
  Stream->ReadBuffer(b, sizeof(T));
  std::make_unsigned_t<T> u = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) u = static_cast<decltype(u)>((u << 8) | b[i]);
  return static_cast<T>(u);
}

template <typename T>
void WriteLE(TStream* Stream, T Value) {
  Byte b[sizeof(T)];
  auto u = static_cast<std::make_unsigned_t<T>>(Value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    b[i] = static_cast<Byte>(u & 0xFF);
    u = static_cast<decltype(u)>(u >> 8);
  }
  Stream->WriteBuffer(b, sizeof(T));
}

double ReadDouble(TStream* Stream) {
  const UInt64 u = ReadLE<UInt64>(Stream);
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}

void WriteDouble(TStream* Stream, double d) {
  UInt64 u;
  std::memcpy(&u, &d, sizeof u);
  WriteLE<UInt64>(Stream, u);
}

void WriteTag(TStream* Stream, Byte Tag) { Stream->WriteBuffer(&Tag, 1); }

// The integer in the smallest of tags 2, 3, 4, 19 that holds it.
void WriteCompactInt(TStream* Stream, Int64 Value) {
  if (Value >= -128 && Value <= 127) {
    WriteTag(Stream, uxvtInt8);
    WriteLE<std::int8_t>(Stream, static_cast<std::int8_t>(Value));
  } else if (Value >= -32768 && Value <= 32767) {
    WriteTag(Stream, uxvtInt16);
    WriteLE<std::int16_t>(Stream, static_cast<std::int16_t>(Value));
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    WriteTag(Stream, uxvtInt32);
    WriteLE<std::int32_t>(Stream, static_cast<std::int32_t>(Value));
  } else {
    WriteTag(Stream, uxvtInt64);
    WriteLE<Int64>(Stream, Value);
  }
}

void WriteShortOrLongString(TStream* Stream, const AnsiString& S) {
  if (S.size() > 255) {
    if (S.size() > static_cast<std::size_t>(INT32_MAX)) uxStreamWriteError();
    WriteTag(Stream, uxvtLString);
    WriteLE<Integer>(Stream, static_cast<Integer>(S.size()));
  } else {
    WriteTag(Stream, uxvtString);
    const Byte n = static_cast<Byte>(S.size());
    Stream->WriteBuffer(&n, 1);
  }
  if (!S.empty()) Stream->WriteBuffer(S.data(), static_cast<LongInt>(S.size()));
}

void ReadVariantAt(TStream* Stream, Variant& V, int Depth) {
  const Byte tag = uxReadByte(Stream);
  switch (tag) {
    case uxvtNull: V = Null(); break;
    case uxvtList: {
      if (Depth >= uxMaxVariantNesting) uxStreamReadError();
      const Byte countTag = uxReadByte(Stream);
      Int64 count;
      switch (countTag) {
        case uxvtInt8: count = ReadLE<std::int8_t>(Stream); break;
        case uxvtInt16: count = ReadLE<std::int16_t>(Stream); break;
        case uxvtInt32: count = ReadLE<std::int32_t>(Stream); break;
        default: count = ReadLE<Int64>(Stream); break;
      }
      // Every element takes at least its tag byte.
      if (count < 0 || count > Stream->Remaining()) uxStreamReadError();
      std::vector<Variant> items(static_cast<std::size_t>(count));
      for (auto& item : items) ReadVariantAt(Stream, item, Depth + 1);
      V = VarArrayOf(items);
      break;
    }
    case uxvtInt8: V = Variant(static_cast<signed char>(ReadLE<std::int8_t>(Stream))); break;
    case uxvtInt16: V = Variant(static_cast<short>(ReadLE<std::int16_t>(Stream))); break;
    case uxvtInt32: V = Variant(static_cast<int>(ReadLE<std::int32_t>(Stream))); break;
    case uxvtExtended: V = Variant(uxReadExtended(Stream)); break;
    case uxvtString: {
      const Byte n = uxReadByte(Stream);
      V = Variant(ReadStreamBytes(Stream, n));
      break;
    }
    case uxvtFalse: V = Variant(false); break;
    case uxvtTrue: V = Variant(true); break;
    case uxvtLString: {
      AnsiString S;
      uxReadAnsiString(Stream, S);
      V = Variant(std::move(S));
      break;
    }
    case uxvtNil: V = Unassigned(); break;
    case uxvtSingle: {
      const std::uint32_t u = ReadLE<std::uint32_t>(Stream);
      float f;
      std::memcpy(&f, &u, sizeof f);
      V = Variant(f);
      break;
    }
    case uxvtCurrency: V = Variant(Currency::FromScaled(ReadLE<Int64>(Stream))); break;
    case uxvtDate: V = VarFromDateTime(ReadDouble(Stream)); break;
    case uxvtWString: {
      WideString W;
      uxReadWideString(Stream, W);
      V = Variant(W);
      break;
    }
    case uxvtInt64: V = Variant(static_cast<long long>(ReadLE<Int64>(Stream))); break;
    default: uxStreamReadError();
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Comparison and tests

int uxCompareVariants(const Variant& V1, const Variant& V2) {
  if (V1.IsArray() || V2.IsArray()) return uxCompareVariantArrays(V1, V2);
  return uxCompareScalarVariants(V1, V2);
}

int uxCompareVariantArrays(const Variant& V1, const Variant& V2) {
  const bool a1 = V1.IsArray(), a2 = V2.IsArray();
  if (a1 && !a2) return 1;
  if (a2 && !a1) return -1;
  if (!a1) return uxCompareScalarVariants(V1, V2);
  const int n1 = V1.ElementCount(), n2 = V2.ElementCount();
  if (n1 != n2) return n1 - n2;
  const int low1 = V1.LowBound(), low2 = V2.LowBound();
  for (int i = 0; i < n1; ++i)
    if (const int r = uxCompareVariants(V1[low1 + i], V2[low2 + i])) return r;
  return 0;
}

int uxCompareScalarVariants(const Variant& V1, const Variant& V2) {
  const TKindRank r1 = RankOf(V1), r2 = RankOf(V2);
  if (r1 != r2) return r1 < r2 ? -1 : 1;
  switch (r1) {
    case krNumber: return CompareNumbers(V1, V2);
    case krString: return CompareStrings(V1, V2);
    case krArray: return Sign(uxCompareVariantArrays(V1, V2));
    default: return 0;  // Null and Null, Empty and Empty
  }
}

bool uxVarEquals(const Variant& V1, const Variant& V2) { return uxCompareVariants(V1, V2) == 0; }

bool uxVarEqualsLoose(const Variant& V1, const Variant& V2) {
  if (V1.IsNull() || V2.IsNull() || (V1.Type() != varBoolean && V2.Type() != varBoolean))
    return uxVarEquals(V1, V2);
  try {
    return VarToStr(V1) == VarToStr(V2);
  } catch (const EVariantError&) {
    return false;
  }
}

bool uxVarIsDateTime(const Variant& V) { return uxVarTypeIsDateTime(V.Type()); }

bool uxVarTypeIsDateTime(Word T) { return T == varDate; }

bool uxVarIsNumber(const Variant& V) {
  const Word vt = V.Type();
  return IsIntKind(vt) || vt == varSingle || vt == varDouble || vt == varCurrency;
}

bool uxVarTypeIsCurrency(Word T) { return T == varCurrency; }

bool uxVarIsNullOrEmpty(const Variant& V) {
  const Word vt = V.Type();
  if (vt == varNull) return true;
  if (vt == varString) return V.AsString().empty();
  if (vt == varOleStr) return V.AsWideString().empty();
  return false;
}

Variant uxMakeVarArray1(const Variant& V) { return VarArrayOf({V}); }

Variant uxMakeVarArray2(const Variant& V1, const Variant& V2) { return VarArrayOf({V1, V2}); }

void uxVarArrayAppend(Variant& A, const Variant& V) {
  std::vector<Variant> items;
  if (A.IsArray()) {
    const int low = A.LowBound(), n = A.ElementCount();
    items.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i < n; ++i) items.push_back(A[low + i]);
  }
  items.push_back(V);
  A = VarArrayOf(items);
}

// ---------------------------------------------------------------------------
// Streaming

void uxStreamReadError() { throw EReadError(uxTranslateString(uxSStreamReadError)); }
void uxStreamWriteError() { throw EWriteError(uxTranslateString(uxSStreamWriteError)); }

void uxReadVariant(TStream* Stream, Variant& V) { ReadVariantAt(Stream, V, 0); }

void uxWriteVariant(TStream* Stream, const Variant& V) {
  const Word vt = V.Type();
  if (V.IsArray()) {
    if (VarArrayDimCount(V) != 1) uxStreamWriteError();
    const int low = V.LowBound(), n = V.ElementCount();
    WriteTag(Stream, uxvtList);
    WriteCompactInt(Stream, n);
    for (int i = 0; i < n; ++i) uxWriteVariant(Stream, V[low + i]);
    return;
  }
  switch (vt) {
    case varEmpty: WriteTag(Stream, uxvtNil); return;
    case varNull: WriteTag(Stream, uxvtNull); return;
    case varSingle: {
      WriteTag(Stream, uxvtSingle);
      const float f = static_cast<float>(V.AsDouble());
      std::uint32_t u;
      std::memcpy(&u, &f, sizeof u);
      WriteLE<std::uint32_t>(Stream, u);
      return;
    }
    case varDouble:
      WriteTag(Stream, uxvtExtended);
      uxWriteExtended(Stream, V.AsDouble());
      return;
    case varCurrency:
      WriteTag(Stream, uxvtCurrency);
      WriteLE<Int64>(Stream, V.AsCurrency().Value);
      return;
    case varDate:
      WriteTag(Stream, uxvtDate);
      WriteDouble(Stream, V.AsDouble());
      return;
    case varOleStr:
      WriteTag(Stream, uxvtWString);
      uxWriteWideString(Stream, V.AsWideString());
      return;
    case varBoolean: WriteTag(Stream, V.AsBoolean() ? uxvtTrue : uxvtFalse); return;
    case varString: WriteShortOrLongString(Stream, V.AsString()); return;
    default:
      break;
  }
  if (IsIntKind(vt)) {
    WriteCompactInt(Stream, V.AsInt64());
    return;
  }
  AnsiString S;
  try {
    S = VarToStr(V);
  } catch (const EVariantError&) {
    uxStreamWriteError();
  }
  WriteShortOrLongString(Stream, S);
}

void uxReadAnsiString(TStream* Stream, AnsiString& S) {
  const Integer n = uxReadInt32(Stream);
  S = ReadStreamBytes(Stream, n);  // checks n against what remains
}

void uxWriteAnsiString(TStream* Stream, const AnsiString& S) {
  if (S.size() > static_cast<std::size_t>(INT32_MAX)) uxStreamWriteError();
  WriteLE<Integer>(Stream, static_cast<Integer>(S.size()));
  if (!S.empty()) Stream->WriteBuffer(S.data(), static_cast<LongInt>(S.size()));
}

void uxReadWideString(TStream* Stream, WideString& W) {
  const Integer n = uxReadInt32(Stream);
  if (n < 0 || static_cast<Int64>(n) * 2 > Stream->Remaining()) uxStreamReadError();
  const AnsiString bytes = ReadStreamBytes(Stream, static_cast<Int64>(n) * 2);
  W.resize(static_cast<std::size_t>(n));
  for (Integer i = 0; i < n; ++i)
    W[static_cast<std::size_t>(i)] = static_cast<char16_t>(static_cast<Byte>(bytes[2 * i]) |
                                                           (static_cast<Byte>(bytes[2 * i + 1]) << 8));
}

void uxWriteWideString(TStream* Stream, const WideString& W) {
  if (W.size() > static_cast<std::size_t>(INT32_MAX / 2)) uxStreamWriteError();
  WriteLE<Integer>(Stream, static_cast<Integer>(W.size()));
  AnsiString bytes(W.size() * 2, '\0');
  for (std::size_t i = 0; i < W.size(); ++i) {
    bytes[2 * i] = static_cast<char>(W[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(W[i] >> 8);
  }
  if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<LongInt>(bytes.size()));
}

Byte uxReadByte(TStream* Stream) { return ReadLE<Byte>(Stream); }
void uxWriteByte(TStream* Stream, Byte Value) { WriteLE<Byte>(Stream, Value); }
bool uxReadBoolean(TStream* Stream) { return uxReadByte(Stream) != 0; }
void uxWriteBoolean(TStream* Stream, bool Value) { uxWriteByte(Stream, Value ? 1 : 0); }
SmallInt uxReadInt16(TStream* Stream) { return ReadLE<SmallInt>(Stream); }
void uxWriteInt16(TStream* Stream, SmallInt Value) { WriteLE<SmallInt>(Stream, Value); }
Word uxReadUInt16(TStream* Stream) { return ReadLE<Word>(Stream); }
void uxWriteUInt16(TStream* Stream, Word Value) { WriteLE<Word>(Stream, Value); }
Integer uxReadInt32(TStream* Stream) { return ReadLE<Integer>(Stream); }
void uxWriteInt32(TStream* Stream, Integer Value) { WriteLE<Integer>(Stream, Value); }
Int64 uxReadInt64(TStream* Stream) { return ReadLE<Int64>(Stream); }
void uxWriteInt64(TStream* Stream, Int64 Value) { WriteLE<Int64>(Stream, Value); }
Currency uxReadCurrency(TStream* Stream) { return Currency::FromScaled(ReadLE<Int64>(Stream)); }
void uxWriteCurrency(TStream* Stream, Currency Value) { WriteLE<Int64>(Stream, Value.Value); }
TDateTime uxReadDateTime(TStream* Stream) { return ReadDouble(Stream); }
void uxWriteDateTime(TStream* Stream, TDateTime Value) { WriteDouble(Stream, Value); }

double uxReadExtended(TStream* Stream) {
  Byte b[10];
  Stream->ReadBuffer(b, 10);
  return uxExtendedToDouble(b);
}

void uxWriteExtended(TStream* Stream, double Value) {
  Byte b[10];
  uxDoubleToExtended(Value, b);
  Stream->WriteBuffer(b, 10);
}

// Extended: 64-bit significand with an explicit integer bit, then a 15-bit
// exponent biased by 16383 and the sign in the top bit of the last two bytes.
void uxDoubleToExtended(double Value, Byte Bytes[10]) {
  UInt64 mantissa = 0;
  unsigned exponent = 0;
  const bool negative = std::signbit(Value);
  if (std::isnan(Value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ULL;
  } else if (std::isinf(Value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ULL;
  } else if (Value != 0) {
    int e;
    const double f = std::frexp(std::fabs(Value), &e);  // f in [0.5, 1)
    mantissa = static_cast<UInt64>(std::ldexp(f, 64));
    exponent = static_cast<unsigned>(e - 1 + 16383);
  }
  for (int i = 0; i < 8; ++i) Bytes[i] = static_cast<Byte>(mantissa >> (8 * i));
  const unsigned se = exponent | (negative ? 0x8000u : 0u);
  Bytes[8] = static_cast<Byte>(se & 0xFF);
  Bytes[9] = static_cast<Byte>(se >> 8);
}

double uxExtendedToDouble(const Byte Bytes[10]) {
  UInt64 mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | Bytes[i];
  const unsigned se = Bytes[8] | (static_cast<unsigned>(Bytes[9]) << 8);
  const bool negative = (se & 0x8000) != 0;
  const int exponent = static_cast<int>(se & 0x7FFF);
  double d;
  if (exponent == 0x7FFF)
    d = (mantissa << 1) == 0 ? INFINITY : NAN;
  else if (mantissa == 0)
    d = 0;
  else  // the significand rounds to 53 bits once, then scales exactly
    d = std::ldexp(static_cast<double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
  return negative ? -d : d;
}
