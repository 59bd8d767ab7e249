// Code page 936 text handling, integer conversion, MulDiv, hex and currency.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "platform/rtl/sysutils.h"

namespace {

// CP936 characters used below. The first three come from the extension area,
// whose trail bytes include ASCII letters and the backslash.
const AnsiString kShang = "\x81\x41";  // U+4E04, trail byte 'A'
const AnsiString kCheng = "\x81\x5C";  // U+4E57, trail byte '\\'
const AnsiString kLower = "\x81\x61";  // U+4E64, trail byte 'a'
const AnsiString kJiedian = "\xBD\xDA\xB5\xE3";  // two characters, "node"

// ---------------------------------------------------------------------------
// Double-byte structure

TEST(Cp936Structure, ByteTypeOfEachIndex) {
  // a | lead trail('A') | b | lead trail | lone lead at the end
  const AnsiString s = "a" + kShang + "b\xBD\xDA\x81";
  const TMbcsByteType expected[] = {mbSingleByte, mbLeadByte, mbTrailByte, mbSingleByte,
                                    mbLeadByte,   mbTrailByte, mbLeadByte};
  ASSERT_EQ(s.size(), std::size(expected));
  for (int i = 1; i <= Length(s); ++i) {
    EXPECT_EQ(ByteType(s, i), expected[i - 1]) << "index " << i;
    EXPECT_EQ(StrByteType(s.c_str(), static_cast<std::size_t>(i - 1)), expected[i - 1]) << "offset " << i - 1;
  }
  EXPECT_EQ(ByteType(s, 0), mbSingleByte);
  EXPECT_EQ(ByteType(s, 99), mbSingleByte);
}

TEST(Cp936Structure, TrailBytesThatLookLikeLeadBytes) {
  // "\xB0\xA1\xB0\xA1": each 0xA1 is a lead-range byte used as a trail.
  const AnsiString s = "\xB0\xA1\xB0\xA1";
  EXPECT_EQ(ByteType(s, 2), mbTrailByte);
  EXPECT_EQ(ByteType(s, 3), mbLeadByte);
  EXPECT_EQ(ByteType(s, 4), mbTrailByte);
  EXPECT_EQ(CharPrev(s, 4u), 2u);
}

TEST(Cp936Structure, CharNextAndCharPrevOverOffsets) {
  const AnsiString s = kCheng + "x" + kJiedian.substr(0, 2);  // 乗 x 节
  struct Case { std::size_t pos, next, prev; };
  const Case cases[] = {{0, 2, 0}, {1, 2, 0}, {2, 3, 0}, {3, 5, 2}, {4, 5, 3}, {5, 5, 3}};
  for (const Case& c : cases) {
    EXPECT_EQ(CharNext(s, c.pos), c.next) << "next from " << c.pos;
    EXPECT_EQ(CharPrev(s, c.pos), c.prev) << "prev from " << c.pos;
  }
  EXPECT_EQ(AdjustToCharStart(s, 1), 0u);
  EXPECT_EQ(AdjustToCharStart(s, 4), 3u);
  EXPECT_EQ(CharLength(s, 0), 2);
  EXPECT_EQ(CharLength(s, 2), 1);
}

TEST(Cp936Structure, PointerCharNextStopsAtTerminator) {
  const char* s = "\x81\x41z\x81";
  EXPECT_EQ(CharNext(s), s + 2);
  EXPECT_EQ(CharNext(s + 2), s + 3);
  EXPECT_EQ(CharNext(s + 3), s + 4);  // lone lead byte before the terminator
  EXPECT_EQ(CharNext(s + 4), s + 4);
  EXPECT_EQ(CharPrev(s, s + 3), s + 2);
  EXPECT_EQ(CharPrev(s, s + 2), s);
  EXPECT_EQ(CharPrev(s, s), s);
}

// ---------------------------------------------------------------------------
// Conversions

TEST(Cp936Conversion, RoundTripsThroughUtf8AndUtf16) {
  struct Case { AnsiString ansi; std::string utf8; WideString wide; };
  const Case cases[] = {
      {"abc", "abc", u"abc"},
      {kJiedian, "\xE8\x8A\x82\xE7\x82\xB9", u"\u8282\u70B9"},
      {kShang, "\xE4\xB8\x84", u"\u4E04"},
      {"A" + kCheng + "\\", "A\xE4\xB9\x97\\", u"A\u4E57\\"},
      {"\xA3\xA4" "5", "\xEF\xBF\xA5" "5", u"\uFFE5" "5"},
      {"", "", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
    EXPECT_EQ(AnsiToWide(c.ansi), c.wide);
    EXPECT_EQ(WideToAnsi(c.wide), c.ansi);
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
  }
}

TEST(Cp936Conversion, InvalidInputBecomesQuestionMarksAndConversionGoesOn) {
  EXPECT_EQ(AnsiToUtf8("a\xFF" "b"), "a?b");
  EXPECT_EQ(AnsiToUtf8("a\x81"), "a?");             // lead byte cut off at the end
  EXPECT_EQ(AnsiToUtf8("\x81\x20z"), "? z");         // lead byte followed by a blank
  EXPECT_EQ(AnsiToWide("x\xFF" + kJiedian), u"x?\u8282\u70B9");
  EXPECT_EQ(Utf8ToAnsi("\xC3\x28" "a"), "?(a");       // broken UTF-8 sequence
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8"), "a?");          // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80" "!"), "?!");  // a character CP936 cannot hold
  EXPECT_EQ(WideToAnsi(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");  // lone surrogate
  EXPECT_EQ(Utf8ToWide("\xFF" "z"), u"?z");
}

// Text converted a character at a time once each character is known gives
// what the converter gives for the whole text, also the second time round.
TEST(Cp936Conversion, Utf8ToAnsiGivesTheSameTheFirstAndTheSecondTime) {
  struct Case {
    const char* what;
    std::string utf8;
    AnsiString ansi;
  } cases[] = {
      {"Chinese and Latin", "a\xE8\x8A\x82\xE7\x82\xB9" "b", "a" + kJiedian + "b"},
      {"the euro sign, one byte", "\xE2\x82\xAC" "1", "\x80" "1"},
      {"a character of the basic plane CP936 lacks", "\xE8\x8A\x82\xED\x95\x9C\xE8\x8A\x82",
       "\xBD\xDA?\xBD\xDA"},
      {"an overlong sequence", "x\xE0\x80\xAF" "y", "x?y"},
      {"an encoded surrogate", "x\xED\xA0\x80" "y", "x?y"},
      {"a two-byte character", "\xC2\xA4", "\xA1\xE8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
  }
}

// ---------------------------------------------------------------------------
// Case and comparison

TEST(Cp936Case, FoldsAsciiOnlyAndLeavesTrailBytesAlone) {
  struct Case { AnsiString in, upper, lower; };
  const Case cases[] = {
      {"abcXYZ", "ABCXYZ", "abcxyz"},
      {kJiedian, kJiedian, kJiedian},
      {kLower, kLower, kLower},                          // trail 'a' stays
      {kShang, kShang, kShang},                          // trail 'A' stays
      {"x" + kLower + "y" + kShang + "Q", "X" + kLower + "Y" + kShang + "Q", "x" + kLower + "y" + kShang + "q"},
      {"\xD6\xD0" "a1", "\xD6\xD0" "A1", "\xD6\xD0" "a1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperCase(c.in), c.upper);
    EXPECT_EQ(AnsiUpperCase(c.in), c.upper);
    EXPECT_EQ(LowerCase(c.in), c.lower);
    EXPECT_EQ(AnsiLowerCase(c.in), c.lower);
  }
}

TEST(Cp936Case, CharacterTestsKnowOnlyAsciiLettersAndDigits) {
  int alpha = 0, alnum = 0;
  for (int c = 0; c < 256; ++c) {
    alpha += IsCharAlphaA(char(c));
    alnum += IsCharAlphaNumericA(char(c));
  }
  EXPECT_EQ(alpha, 52);
  EXPECT_EQ(alnum, 62);
  EXPECT_TRUE(IsCharAlphaA('q') && IsCharAlphaNumericA('7') && !IsCharAlphaA('7'));
  EXPECT_FALSE(IsCharAlphaNumericA('_') || IsCharAlphaNumericA('\xD6') || IsCharAlphaNumericA('\x80'));
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(Cp936Compare, OrdinalOrderWithAsciiFolding) {
  struct Case { AnsiString a, b; int text, str; };
  const Case cases[] = {
      {"abc", "ABC", 0, 1},
      {"a", "b", -1, -1},
      {"B", "a", 1, -1},
      {"_", "a", 1, -1},              // folding is to upper case: 'A' < '_'
      {"ab", "abc", -1, -1},
      {kShang, kLower, -1, -1},       // different characters even though 'A' ~ 'a'
      {kJiedian, "z", 1, 1},
      {"x" + kLower, "X" + kLower, 0, 1},
      {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareText(c.a, c.b)), c.text) << c.a << " vs " << c.b;
    EXPECT_EQ(Sign(CompareText(c.b, c.a)), -c.text);
    EXPECT_EQ(Sign(CompareStr(c.a, c.b)), c.str);
    EXPECT_EQ(SameText(c.a, c.b), c.text == 0);
  }
}

TEST(Cp936Compare, StartsAndEndsNeverCutACharacter) {
  EXPECT_TRUE(AnsiStartsText("AB", "abc"));
  EXPECT_FALSE(AnsiStartsStr("\xBD", kJiedian));    // half a character
  EXPECT_FALSE(AnsiEndsStr("\xE3", kJiedian));
  EXPECT_FALSE(AnsiEndsText("a", kLower));          // the 'a' is a trail byte
  EXPECT_TRUE(AnsiEndsStr("\xB5\xE3", kJiedian));
  EXPECT_TRUE(AnsiContainsText("xAbx", "aB"));
  EXPECT_FALSE(AnsiContainsText(kLower, "A"));
}

// ---------------------------------------------------------------------------
// Searching, replacing, 1-based helpers

TEST(Cp936Search, AnsiPosNeverMatchesAtATrailByte) {
  struct Case { AnsiString sub, s; int ansiPos, pos; };
  const Case cases[] = {
      {"A", kShang + "A", 3, 2},
      {"\\", kCheng + "\\", 3, 2},
      {"\xDA\xB5", kJiedian, 0, 2},      // straddles two characters
      {"\xB5\xE3", kJiedian, 3, 3},
      {"\xBD", kJiedian, 0, 1},          // would end inside a character
      {"", "abc", 0, 0},
      {"abcd", "abc", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiPos(c.sub, c.s), c.ansiPos) << c.sub;
    EXPECT_EQ(Pos(c.sub, c.s), c.pos) << c.sub;
  }
}

TEST(Cp936Search, StringReplaceFlags) {
  struct Case { AnsiString s, from, to; TReplaceFlags flags; AnsiString expected; };
  const Case cases[] = {
      {"a-a-A", "a", "x", 0, "x-a-A"},
      {"a-a-A", "a", "x", rfReplaceAll, "x-x-A"},
      {"a-a-A", "a", "x", rfReplaceAll | rfIgnoreCase, "x-x-x"},
      {"a" + kLower + kShang + "A", "A", "_", rfReplaceAll | rfIgnoreCase, "_" + kLower + kShang + "_"},
      {kCheng + "\\", "\\", "/", rfReplaceAll, kCheng + "/"},
      {kJiedian + kJiedian, "\xB5\xE3", "!", rfReplaceAll, "\xBD\xDA!\xBD\xDA!"},
      {"aaa", "aa", "b", rfReplaceAll, "ba"},
      {"abc", "", "x", rfReplaceAll, "abc"},
      {"", "a", "x", rfReplaceAll, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StringReplace(c.s, c.from, c.to, c.flags), c.expected) << c.s;
}

TEST(OneBasedHelpers, CopyPosDeleteInsertClipOutOfRange) {
  EXPECT_EQ(Copy("hello", 2, 3), "ell");
  EXPECT_EQ(Copy("hello", 0, 2), "he");
  EXPECT_EQ(Copy("hello", 5, 10), "o");
  EXPECT_EQ(Copy("hello", 6, 1), "");
  EXPECT_EQ(Copy("hello", 2, -1), "");
  EXPECT_EQ(PosEx("l", "hello", 4), 4);
  EXPECT_EQ(PosEx("l", "hello", 5), 0);

  struct DeleteCase { int index, count; AnsiString expected; };
  for (const DeleteCase& c : {DeleteCase{2, 2, "hlo"}, DeleteCase{4, 99, "hel"}, DeleteCase{0, 2, "hello"},
                              DeleteCase{6, 1, "hello"}, DeleteCase{1, 0, "hello"}}) {
    AnsiString s = "hello";
    Delete(s, c.index, c.count);
    EXPECT_EQ(s, c.expected) << c.index << "," << c.count;
  }
  struct InsertCase { int index; AnsiString expected; };
  for (const InsertCase& c : {InsertCase{1, "XYab"}, InsertCase{2, "aXYb"}, InsertCase{3, "abXY"},
                              InsertCase{9, "abXY"}, InsertCase{-3, "XYab"}}) {
    AnsiString s = "ab";
    Insert("XY", s, c.index);
    EXPECT_EQ(s, c.expected) << c.index;
  }
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -1), "");
}

TEST(OneBasedHelpers, DelimitersSkipTrailBytes) {
  const AnsiString s = "a\\b" + kCheng;  // the last byte is a trail '\\'
  EXPECT_EQ(LastDelimiter("\\", s), 2);
  EXPECT_EQ(LastDelimiter("\\.", "a.b\\c"), 4);
  EXPECT_EQ(LastDelimiter("/", "abc"), 0);
  EXPECT_TRUE(IsDelimiter("\\", s, 2));
  EXPECT_FALSE(IsDelimiter("\\", s, 5));
  EXPECT_FALSE(IsDelimiter("\\", s, 0));
}

TEST(Trimming, RemovesControlsAndBlanksOnly) {
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
  EXPECT_EQ(Trim(" " + kJiedian + " "), kJiedian);
  EXPECT_EQ(Trim(" \x01 "), "");
}

TEST(Trimming, AdjustLineBreaksMakesEveryBreakCrLf) {
  EXPECT_EQ(AdjustLineBreaks("a\nb\rc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\ne");
  EXPECT_EQ(AdjustLineBreaks("\n\n\r\r"), "\r\n\r\n\r\n");  // LF, LF CR, CR
  EXPECT_EQ(AdjustLineBreaks("\r"), "\r\n");
  EXPECT_EQ(AdjustLineBreaks(kJiedian), kJiedian);
}

TEST(Quoting, QuotesAreDoubledAndTrailBytesLeftAlone) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  // 0x81 0x7C is one character whose trail byte equals the quote '|'.
  const AnsiString bar = "\x81\x7C";
  EXPECT_EQ(AnsiQuotedStr(bar + "|", '|'), "|" + bar + "|||");
  EXPECT_EQ(AnsiDequotedStr("|" + bar + "|||", '|'), bar + "|");

  const AnsiString text = "'a''b' rest";
  const char* p = text.c_str();
  EXPECT_EQ(AnsiExtractQuotedStr(p, '\''), "a'b");
  EXPECT_STREQ(p, " rest");
  const char* q = "no quote";
  EXPECT_EQ(AnsiExtractQuotedStr(q, '\''), "");
  EXPECT_STREQ(q, "no quote");

  struct Case { AnsiString in, out; };
  for (const Case& c : {Case{"'x'", "x"}, Case{"x", "x"}, Case{"''", ""}, Case{"'unclosed", "'unclosed"},
                        Case{"'a''", "'a''"}, Case{"'a'b", "'a'b"}})
    EXPECT_EQ(AnsiDequotedStr(c.in, '\''), c.out) << c.in;
}

// ---------------------------------------------------------------------------
// Integers

TEST(IntegerText, StrToIntAcceptsDecimalAndHex) {
  struct Case { AnsiString s; Integer v; };
  const Case cases[] = {
      {"123", 123},         {"  -45", -45},       {"+7", 7},
      {"$FF", 255},         {"0x1f", 31},         {"X10", 16},
      {"-$10", -16},        {"$FFFFFFFF", -1},    {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN}, {"007", 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrToInt(c.s), c.v) << c.s;
    Integer v = 0;
    EXPECT_TRUE(TryStrToInt(c.s, v));
    EXPECT_EQ(v, c.v);
  }
}

TEST(IntegerText, GarbageRaisesConvertErrorWithTheText) {
  const char* bad[] = {"", " ", "12a", "12 ", "2147483648", "-2147483649", "$", "0x", "1e3", "--1",
                       "$100000000", "1.0", "\xBD\xDA"};
  for (const char* s : bad) {
    Integer v = 77;
    EXPECT_FALSE(TryStrToInt(s, v)) << s;
    EXPECT_EQ(v, 77) << "value untouched on failure";
    EXPECT_EQ(StrToIntDef(s, -9), -9);
    try {
      StrToInt(s);
      ADD_FAILURE() << "no exception for '" << s << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, AnsiString("'") + s + "' is not a valid integer value");
    }
  }
}

TEST(IntegerText, Int64Range) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  Int64 v = 0;
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", v));
  EXPECT_FALSE(TryStrToInt64("$10000000000000000", v));
  EXPECT_EQ(StrToInt64Def("x", 5), 5);
  EXPECT_THROW(StrToInt64("x"), EConvertError);
}

TEST(IntegerText, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST(IntegerText, Booleans) {
  bool b = false;
  EXPECT_TRUE(TryStrToBool("TRUE", b) && b);
  EXPECT_TRUE(TryStrToBool("false", b) && !b);
  EXPECT_TRUE(TryStrToBool("-1", b) && b);
  EXPECT_TRUE(TryStrToBool("0", b) && !b);
  EXPECT_FALSE(TryStrToBool("yes", b));
  EXPECT_THROW(StrToBool("yes"), EConvertError);
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(true, true), "True");
}

TEST(MulDivTest, RoundsHalfAwayFromZeroAndFlagsZeroDivisor) {
  struct Case { int a, b, c, expected; };
  const Case cases[] = {
      {10, 3, 2, 15},       {5, 1, 2, 3},          {-5, 1, 2, -3},       {5, -1, 2, -3},
      {7, 1, -2, -4},       {-7, 1, -2, 4},        {1, 1, 3, 0},         {2, 1, 3, 1},
      {-2, 1, 3, -1},       {100000, 100000, 1000, 10000000},           // product beyond 32 bits
      {INT_MAX, 2, 2, INT_MAX}, {INT_MAX, 2, 1, -1},                    // result beyond 32 bits
      {12, 34, 0, -1},      {0, 0, 0, -1},         {0, 5, 7, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(HexText, BinToHexAndBack) {
  const unsigned char bytes[] = {0x00, 0xAB, 0xFF, 0x10};
  EXPECT_EQ(BinToHex(bytes, sizeof bytes), "00ABFF10");
  char out[8] = {};
  EXPECT_EQ(HexToBin("00abFF10", out, 4), 4u);
  EXPECT_EQ(std::memcmp(out, bytes, 4), 0);
  char partial[8] = {};
  EXPECT_EQ(HexToBin("0A0Bz0", partial, 8), 2u);      // stops at the first non-hex digit
  EXPECT_EQ(HexToBin("0A0", partial, 8), 1u);         // a lone last digit is not a byte
  EXPECT_EQ(HexToBin(AnsiString("FFFF"), partial, 1), 1u);  // never writes past the buffer
}

// ---------------------------------------------------------------------------
// Currency

TEST(CurrencyValue, ConversionFromDoubleRoundsToFourDecimals) {
  EXPECT_EQ(Currency(1.0005).Value, 10005);   // 1.0005 is a hair below in binary
  EXPECT_EQ(Currency(-2.5).Value, -25000);
  EXPECT_EQ(Currency(0.00004).Value, 0);
  EXPECT_EQ(Currency(7).Value, 70000);
  EXPECT_DOUBLE_EQ(Currency::FromScaled(12345).ToDouble(), 1.2345);
  EXPECT_THROW(Currency(1e300), EIntOverflow);
  EXPECT_THROW(Currency(std::nan("")), EIntOverflow);
}

TEST(CurrencyValue, ArithmeticRoundsHalfToEven) {
  const Currency half = Currency::FromScaled(5000);  // 0.5
  EXPECT_EQ((Currency::FromScaled(1) * half).Value, 0);   // 0.00005 -> 0
  EXPECT_EQ((Currency::FromScaled(3) * half).Value, 2);   // 0.00015 -> 0.0002
  EXPECT_EQ((Currency::FromScaled(-3) * half).Value, -2);
  EXPECT_EQ((Currency(1) / Currency(3)).Value, 3333);
  EXPECT_EQ((Currency(2) / Currency(3)).Value, 6667);
  EXPECT_EQ((Currency(10) + Currency(0.5) - Currency(3)).Value, 75000);
  EXPECT_EQ((Currency(2) * 3).Value, 60000);
  EXPECT_EQ(Currency::FromScaled(25000).Round(), 2);
  EXPECT_EQ(Currency::FromScaled(35000).Round(), 4);
  EXPECT_EQ(Currency::FromScaled(-15000).Trunc(), -1);
  EXPECT_LT(Currency(1), Currency(2));
  EXPECT_EQ(Currency(1), Currency(1.0));
  EXPECT_THROW(Currency(1) / Currency(), EDivByZero);
  EXPECT_THROW(Currency::FromScaled(INT64_MAX) + Currency::FromScaled(1), EIntOverflow);
  EXPECT_THROW(Currency(1e14) * Currency(1e6), EIntOverflow);
}

}  // namespace
