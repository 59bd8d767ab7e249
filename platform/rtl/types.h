// Basic types shared by every layer: CP936 strings, integer aliases, the
// argument record of Format, and the date-time value.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

using AnsiString = std::string;     // bytes in code page 936
using WideString = std::u16string;  // UTF-16
using Byte = std::uint8_t;
using Word = std::uint16_t;
using LongWord = std::uint32_t;
using Cardinal = std::uint32_t;
using Integer = std::int32_t;
using LongInt = std::int32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using TDateTime = double;  // days since 1899-12-30; the fraction is the time of day

// One argument of Format's argument list (the platform's "array of const").
// String arguments are views: they must outlive the call, which a temporary does.
struct TVarRec {
  enum Kind { vtInteger, vtInt64, vtExtended, vtString, vtPointer, vtChar, vtBoolean, vtWideString, vtCurrency };
  Kind kind = vtInteger;
  Int64 i = 0;
  long double e = 0;
  std::string_view s;
  const void* p = nullptr;
  const char16_t* w = nullptr;

  TVarRec(int v) : kind(vtInteger), i(v) {}
  TVarRec(unsigned v) : kind(vtInt64), i(v) {}
  TVarRec(long v) : kind(vtInt64), i(v) {}
  TVarRec(unsigned long v) : kind(vtInt64), i(static_cast<Int64>(v)) {}
  TVarRec(long long v) : kind(vtInt64), i(v) {}
  TVarRec(unsigned long long v) : kind(vtInt64), i(static_cast<Int64>(v)) {}
  TVarRec(short v) : kind(vtInteger), i(v) {}
  TVarRec(unsigned short v) : kind(vtInteger), i(v) {}
  TVarRec(double v) : kind(vtExtended), e(v) {}
  TVarRec(float v) : kind(vtExtended), e(v) {}
  TVarRec(long double v) : kind(vtExtended), e(v) {}
  TVarRec(bool v) : kind(vtBoolean), i(v) {}
  TVarRec(char v) : kind(vtChar), i(static_cast<unsigned char>(v)) {}
  TVarRec(const char* v) : kind(vtString), s(v ? v : "") {}
  TVarRec(const AnsiString& v) : kind(vtString), s(v) {}
  TVarRec(std::string_view v) : kind(vtString), s(v) {}
  TVarRec(const WideString& v) : kind(vtWideString), w(v.c_str()) {}
  TVarRec(const void* v) : kind(vtPointer), p(v) {}
  TVarRec(std::nullptr_t) : kind(vtPointer), p(nullptr) {}
  // Currency given as its scaled integer (value × 10000).
  static TVarRec FromCurrency(Int64 scaled) { TVarRec r(0); r.kind = vtCurrency; r.i = scaled; return r; }
};

using TVarRecList = std::initializer_list<TVarRec>;
