// String routines over code page 936 text (AnsiString holds CP936 bytes).
//
// Double-byte characters: a lead byte (0x81..0xFE) takes the byte after it as
// its trail byte (0x40..0xFE in valid text, which includes ASCII letters and
// '\\'). Every routine here that searches, folds case or cuts text walks the
// string from its start so that it never treats a trail byte as a character
// of its own.
//
// Comparison: CompareStr, CompareText and SameText compare ordinally by CP936
// byte value; the "Text" ones fold the ASCII letters 'a'..'z' to upper case
// first (single-byte characters only), double-byte characters are compared by
// their bytes, unchanged. The Ansi* routines compare in the locale's order,
// Chinese (PRC) (see collation.h): AnsiCompareStr as AnsiCollate, the Ansi*Text
// ones without case (AnsiSameText, AnsiStartsText and AnsiEndsText test
// AnsiCompareText = 0).
//
// Positions: Copy, Pos, Delete, Insert, ByteType, LastDelimiter and
// IsDelimiter use 1-based byte positions, as the platform does.
#pragma once
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <vector>
#include "platform/rtl/currency.h"
#include "platform/rtl/types.h"

// ---------------------------------------------------------------------------
// Double-byte structure

// Takes any integer type (char, Byte, a WPARAM ...); only the low byte counts.
template <typename T>
  requires std::is_integral_v<T>
constexpr bool IsDBCSLeadByte(T c) {
  const Byte b = static_cast<Byte>(c);
  return b >= 0x81 && b <= 0xFE;
}

enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };

// Kind of the byte at 1-based Index of S (mbSingleByte when out of range).
TMbcsByteType ByteType(const AnsiString& S, int Index);
// Kind of the byte at 0-based Index of the zero-terminated Str.
TMbcsByteType StrByteType(const char* Str, std::size_t Index);

// Next character after P (P itself at the terminating zero). A lead byte
// followed by the terminator counts as one character.
const char* CharNext(const char* P);
char* CharNext(char* P);
// Start of the character before P, scanning from Start (Start when P <= Start).
const char* CharPrev(const char* Start, const char* P);
char* CharPrev(char* Start, char* P);
// The same over 0-based byte offsets into S: the offset of the next character
// (S.size() at the end) and of the character before Pos (0 at the start).
std::size_t CharNext(const AnsiString& S, std::size_t Pos);
std::size_t CharPrev(const AnsiString& S, std::size_t Pos);
// Length of the character starting at 0-based Pos: 2 for a complete
// double-byte character, otherwise 1 (0 at or past the end).
int CharLength(const AnsiString& S, std::size_t Pos);
// Moves a 0-based byte offset back to the start of the character that holds it.
std::size_t AdjustToCharStart(const AnsiString& S, std::size_t Pos);

// ---------------------------------------------------------------------------
// Conversions (iconv, "CP936" or else "GBK"). Bytes that are not valid in the
// source encoding, and characters that the target cannot hold, each become
// one '?', and the conversion goes on with the rest.

std::string AnsiToUtf8(std::string_view s);
AnsiString Utf8ToAnsi(std::string_view s);
WideString AnsiToWide(std::string_view s);
AnsiString WideToAnsi(std::u16string_view s);
std::string WideToUtf8(std::u16string_view s);   // the platform's UTF8Encode
WideString Utf8ToWide(std::string_view s);       // the platform's UTF8Decode
inline std::string UTF8Encode(std::u16string_view s) { return WideToUtf8(s); }
inline WideString UTF8Decode(std::string_view s) { return Utf8ToWide(s); }

// ---------------------------------------------------------------------------
// Case and comparison

AnsiString UpperCase(const AnsiString& S);
AnsiString LowerCase(const AnsiString& S);
AnsiString AnsiUpperCase(const AnsiString& S);
AnsiString AnsiLowerCase(const AnsiString& S);
// The character tests of the window manager for one byte of code page 936:
// the ASCII letters (and digits). A byte of 0x80 and above is no character by
// itself in this code page (a lead byte, or the euro sign), so it is neither.
bool IsCharAlphaA(char C);
bool IsCharAlphaNumericA(char C);

// <0, 0 or >0. See the top of this file for the order.
int CompareStr(const AnsiString& S1, const AnsiString& S2);
int CompareText(const AnsiString& S1, const AnsiString& S2);
int AnsiCompareStr(const AnsiString& S1, const AnsiString& S2);
int AnsiCompareText(const AnsiString& S1, const AnsiString& S2);
bool SameText(const AnsiString& S1, const AnsiString& S2);
bool AnsiSameText(const AnsiString& S1, const AnsiString& S2);
bool AnsiSameStr(const AnsiString& S1, const AnsiString& S2);
// Compares the first MaxLen bytes of each, as AnsiCompareText does.
int AnsiStrLIComp(const char* S1, const char* S2, std::size_t MaxLen);
bool AnsiStartsText(const AnsiString& SubText, const AnsiString& Text);
bool AnsiStartsStr(const AnsiString& SubText, const AnsiString& Text);
bool AnsiEndsText(const AnsiString& SubText, const AnsiString& Text);
bool AnsiEndsStr(const AnsiString& SubText, const AnsiString& Text);
bool AnsiContainsText(const AnsiString& Text, const AnsiString& SubText);
bool AnsiContainsStr(const AnsiString& Text, const AnsiString& SubText);

// ---------------------------------------------------------------------------
// 1-based helpers

inline int Length(const AnsiString& S) { return static_cast<int>(S.size()); }
inline int Length(const WideString& S) { return static_cast<int>(S.size()); }
// Count bytes from Index (1-based); out-of-range parts are clipped.
AnsiString Copy(const AnsiString& S, int Index, int Count);
WideString Copy(const WideString& S, int Index, int Count);
// Byte-wise search: 1-based position of Substr in S, 0 when absent.
int Pos(const AnsiString& Substr, const AnsiString& S);
int Pos(char C, const AnsiString& S);
// Position of Substr in S starting at 1-based Offset (0 when absent).
int PosEx(const AnsiString& Substr, const AnsiString& S, int Offset = 1);
// Double-byte aware search: never matches starting at a trail byte.
int AnsiPos(const AnsiString& Substr, const AnsiString& S);
// Removes Count bytes from 1-based Index; nothing when Index is out of range.
void Delete(AnsiString& S, int Index, int Count);
void Delete(WideString& S, int Index, int Count);
// Inserts Source before 1-based Index (appends when Index > Length(S)).
void Insert(const AnsiString& Source, AnsiString& S, int Index);
void Insert(const WideString& Source, WideString& S, int Index);
void SetLength(AnsiString& S, int NewLength);
AnsiString StringOfChar(char Ch, int Count);
AnsiString DupeString(const AnsiString& S, int Count);
// 1-based position of the last character of S found in Delimiters (0 when
// none); trail bytes are never taken as delimiters.
int LastDelimiter(const AnsiString& Delimiters, const AnsiString& S);
// Whether the single-byte character at 1-based Index is one of Delimiters.
bool IsDelimiter(const AnsiString& Delimiters, const AnsiString& S, int Index);

// ---------------------------------------------------------------------------
// Trimming, replacing, quoting

// Remove characters <= ' ' (control characters and blanks) at either end.
AnsiString Trim(const AnsiString& S);
AnsiString TrimLeft(const AnsiString& S);
AnsiString TrimRight(const AnsiString& S);

// Every line break (CR, LF, CR LF or LF CR) becomes CR LF.
AnsiString AdjustLineBreaks(const AnsiString& S);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;  // rfReplaceAll | rfIgnoreCase
AnsiString StringReplace(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern,
                         TReplaceFlags Flags = 0);

// 'it''s' from it's.
AnsiString QuotedStr(const AnsiString& S);
AnsiString AnsiQuotedStr(const AnsiString& S, char Quote);
// Reads a quoted string at Src (which must start with Quote, else "" and Src
// is unchanged); doubled quotes give one quote. Src is left after the closing
// quote, or at the terminator when there is none.
AnsiString AnsiExtractQuotedStr(const char*& Src, char Quote);
// S without its quotes when it is quoted; S itself otherwise.
AnsiString AnsiDequotedStr(const AnsiString& S, char Quote);

// ---------------------------------------------------------------------------
// Integers

AnsiString IntToStr(Int64 Value);
AnsiString UIntToStr(UInt64 Value);
AnsiString IntToHex32(std::uint32_t Value, int Digits);
AnsiString IntToHex64(UInt64 Value, int Digits);
// Upper-case hex, at least Digits digits. Values of 32 bits or less are shown
// as 32-bit (a negative int as 8 digits), wider ones as 64-bit.
template <typename T>
  requires std::is_integral_v<T>
AnsiString IntToHex(T Value, int Digits) {
  if constexpr (sizeof(T) <= 4)
    return IntToHex32(static_cast<std::uint32_t>(Value), Digits);
  else
    return IntToHex64(static_cast<UInt64>(Value), Digits);
}

// Leading blanks, a sign, then decimal digits or hex after "$", "0x" or "x";
// nothing may follow. Hex may use the whole unsigned range (it wraps).
// Failure raises EConvertError "'S' is not a valid integer value".
Integer StrToInt(const AnsiString& S);
Integer StrToIntDef(const AnsiString& S, Integer Default);
bool TryStrToInt(const AnsiString& S, Integer& Value);
Int64 StrToInt64(const AnsiString& S);
Int64 StrToInt64Def(const AnsiString& S, Int64 Default);
bool TryStrToInt64(const AnsiString& S, Int64& Value);
// "True"/"False" (any case) or a number (non-zero is true).
bool StrToBool(const AnsiString& S);
bool StrToBoolDef(const AnsiString& S, bool Default);
bool TryStrToBool(const AnsiString& S, bool& Value);
AnsiString BoolToStr(bool B, bool UseBoolStrs = false);

// a*b/c computed in 64 bits, rounded half away from zero; -1 when c is 0 or
// the result does not fit in 32 bits.
int MulDiv(int Number, int Numerator, int Denominator);

// ---------------------------------------------------------------------------
// Floating point and currency. The decimal and thousand separators, currency
// string and currency formats come from FormatSettings().

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, general format.
AnsiString FloatToStr(double Value);
AnsiString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
// Pattern of up to three sections "positive;negative;zero" built from
// '0', '#', '.', ',', "E+", "E-", "e+", "e-", and literals in '...' or "...".
AnsiString FormatFloat(const AnsiString& Format, double Value);
AnsiString FormatCurr(const AnsiString& Format, Currency Value);

// Blanks around the number are allowed; the decimal separator is the locale's.
// Failure raises EConvertError "'S' is not a valid floating point value".
double StrToFloat(const AnsiString& S);
double StrToFloatDef(const AnsiString& S, double Default);
bool TryStrToFloat(const AnsiString& S, double& Value);
bool TextToFloat(const char* Buffer, double& Value);
bool TextToFloat(const AnsiString& S, double& Value);
// Parses into currency exactly (no binary rounding), rounding past the
// fourth decimal half to even.
bool TextToFloat(const AnsiString& S, Currency& Value);

AnsiString CurrToStr(Currency Value);
AnsiString CurrToStrF(Currency Value, TFloatFormat Format, int Digits);
Currency StrToCurr(const AnsiString& S);
Currency StrToCurrDef(const AnsiString& S, Currency Default);
bool TryStrToCurr(const AnsiString& S, Currency& Value);

// ---------------------------------------------------------------------------
// Format
//
//   "%" ["index:"] ["-"] [width] ["." precision] type
//   types d u x (integers; precision = minimum digits), e f g n m (floating
//   point and currency; m is the locale's currency format), s (strings,
//   characters; precision = maximum bytes), p (pointer); "%%" is a '%'.
//   Index, width and precision may be '*', which takes the next argument.
// A bad format or an argument of the wrong kind raises EConvertError
// "Format 'fmt' invalid or incompatible with argument"; too few arguments
// raise EConvertError "No argument for format 'fmt'".

AnsiString Format(const AnsiString& Fmt, TVarRecList Args);
AnsiString Format(const AnsiString& Fmt, const TVarRec* Args, std::size_t Count);
inline AnsiString Format(const AnsiString& Fmt, const std::vector<TVarRec>& Args) {
  return Format(Fmt, Args.data(), Args.size());
}

// ---------------------------------------------------------------------------
// Binary and hex

// Value 0..15 of a hex digit of either case; -1 for any other character.
int HexDigitValue(char C);
// Two upper-case hex digits for each of the BufSize bytes of Buffer.
AnsiString BinToHex(const void* Buffer, std::size_t BufSize);
void BinToHex(const char* Buffer, char* Text, std::size_t BufSize);
// Reads up to BufSize byte values from pairs of hex digits (either case);
// stops at the first character that is not a hex digit. Returns the number
// of bytes written.
std::size_t HexToBin(const char* Text, char* Buffer, std::size_t BufSize);
std::size_t HexToBin(const AnsiString& Text, void* Buffer, std::size_t BufSize);
