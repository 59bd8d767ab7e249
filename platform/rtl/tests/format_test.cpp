// Format, float and currency text in the Chinese profile (and one with a
// decimal comma).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/rtl/locale.h"
#include "platform/rtl/sysutils.h"

namespace {

const AnsiString kYuanSign = "\xA3\xA4";  // the profile's currency string

class FormatTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

// ---------------------------------------------------------------------------
// Format

TEST_F(FormatTest, Cases) {
  struct Case { const char* fmt; std::vector<TVarRec> args; AnsiString expected; };
  static const char* kHanzi = "\xBD\xDA\xB5\xE3";
  // Arguments are views: the strings they point at must outlive the table.
  static const AnsiString y = "y";
  static const WideString wide = u"\u8282\u70B9";
  const Case cases[] = {
      {"%d", {42}, "42"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.5d", {-12}, "-00012"},
      {"%d", {Int64(-9000000000LL)}, "-9000000000"},
      {"%u", {-1}, "4294967295"},
      {"%x %X", {255, 255}, "FF FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%.4x", {10}, "000A"},
      {"%s", {"abc"}, "abc"},
      {"[%5s][%-5s]", {"ab", "ab"}, "[   ab][ab   ]"},
      {"%.2s", {"abc"}, "ab"},
      {"%.3s", {kHanzi}, "\xBD\xDA"},         // precision never splits a character
      {"%s%s", {'x', y}, "xy"},
      {"%s", {wide}, kHanzi},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%*d", {5, 42}, "   42"},
      {"%-*d|", {4, 7}, "7   |"},
      {"%*d|", {-3, 7}, "7|"},
      {"%.*f", {1, 2.25}, "2.3"},
      {"%f", {1.5}, "1.50"},
      {"%.0f", {2.5}, "3"},
      {"%.2f", {-0.001}, "0.00"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {-0.000123456}, "-1.23E-004"},
      {"%g", {1234.5}, "1234.5"},
      {"%g", {0.1 + 0.2}, "0.3"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {-1234.5}, "-1,235"},
      {"%m", {1234.5}, kYuanSign + "1,234.50"},
      {"%m", {-5.0}, kYuanSign + "-5.00"},
      {"%m", {TVarRec::FromCurrency(12345)}, kYuanSign + "1.23"},
      {"%f", {TVarRec::FromCurrency(-15000)}, "-1.50"},
      {"100%% %s", {"done"}, "100% done"},
      {"%p", {static_cast<const void*>(nullptr)}, "0000000000000000"},
      {"no args", {}, "no args"},
      {"%s=%d", {kHanzi, 3}, AnsiString(kHanzi) + "=3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(c.fmt, c.args), c.expected) << c.fmt;
  }
}

TEST_F(FormatTest, BadFormatsAndArgumentsRaiseConvertError) {
  struct Case { const char* fmt; std::vector<TVarRec> args; AnsiString message; };
  const Case cases[] = {
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
      {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
      {"%x", {"a"}, "Format '%x' invalid or incompatible with argument"},
      {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
      {"a %z", {1}, "Format 'a %z' invalid or incompatible with argument"},
      {"50%", {}, "Format '50%' invalid or incompatible with argument"},
      {"%*d", {"x", 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%d %d", {1}, "No argument for format '%d %d'"},
      {"%3:d", {1}, "No argument for format '%3:d'"},
  };
  for (const Case& c : cases) {
    try {
      Format(c.fmt, c.args);
      ADD_FAILURE() << "no exception for " << c.fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
}

TEST_F(FormatTest, ExceptionsFormatTheirMessage) {
  Exception e("List index out of bounds (%d)", {5});
  EXPECT_EQ(e.Message, "List index out of bounds (5)");
  EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  EListError l(SListIndexError, {-1});
  EXPECT_EQ(l.Message, "List index out of bounds (-1)");
  EXPECT_STREQ(l.ClassName(), "EListError");
  try {
    Abort();
    FAIL();
  } catch (const EAbort& a) {
    EXPECT_EQ(a.Message, "Operation aborted");
  }
}

// ---------------------------------------------------------------------------
// FloatToStr, FloatToStrF

TEST_F(FormatTest, FloatToStrUsesFifteenDigitsGeneral) {
  struct Case { double v; AnsiString s; };
  const Case cases[] = {
      {0, "0"},
      {1.5, "1.5"},
      {-1.5, "-1.5"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {100, "100"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-1.25e-300, "-1.25E-300"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.v), c.s) << c.v;
}

TEST_F(FormatTest, FloatToStrFFormats) {
  struct Case { double v; TFloatFormat f; int precision, digits; AnsiString s; };
  const Case cases[] = {
      {1234.5, ffFixed, 15, 2, "1234.50"},
      {0.125, ffFixed, 15, 2, "0.13"},      // exact tie rounds away from zero
      {2.675, ffFixed, 15, 2, "2.67"},      // really 2.67499999...
      {-0.001, ffFixed, 15, 2, "0.00"},
      {99.995, ffFixed, 15, 0, "100"},
      {1e20, ffFixed, 15, 2, "1E20"},       // too many integer digits for the precision
      {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
      {-123.4, ffNumber, 15, 0, "-123"},
      {999.5, ffNumber, 15, 0, "1,000"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {0.00012345, ffExponent, 3, 0, "1.23E-4"},
      {0, ffExponent, 4, 2, "0.000E+00"},
      {123.456, ffGeneral, 4, 0, "123.5"},
      {1e20, ffGeneral, 15, 3, "1E020"},
      {1234.5, ffCurrency, 15, 2, kYuanSign + "1,234.50"},
      {-1234.5, ffCurrency, 15, 2, kYuanSign + "-1,234.50"},
      {0.004, ffCurrency, 15, 2, kYuanSign + "0.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.s) << c.v;
}

TEST_F(FormatTest, CurrencyFormatsOfTheLocale) {
  TFormatSettings fs = FormatSettings();
  fs.CurrencyString = "EUR";
  struct Case { int pos, neg; AnsiString positive, negative; };
  const Case cases[] = {
      {0, 0, "EUR1.50", "(EUR1.50)"},  {1, 5, "1.50EUR", "-1.50EUR"},
      {2, 8, "EUR 1.50", "-1.50 EUR"}, {3, 15, "1.50 EUR", "(1.50 EUR)"},
      {0, 12, "EUR1.50", "EUR -1.50"},
  };
  for (const Case& c : cases) {
    fs.CurrencyFormat = static_cast<Byte>(c.pos);
    fs.NegCurrFormat = static_cast<Byte>(c.neg);
    SetFormatSettings(fs);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2), c.positive);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2), c.negative);
  }
}

// ---------------------------------------------------------------------------
// FormatFloat

TEST_F(FormatTest, FormatFloatPatterns) {
  struct Case { const char* fmt; double v; AnsiString s; };
  const Case cases[] = {
      {"0.00", 1.5, "1.50"},
      {"#.##", 0.5, ".5"},
      {"#.##", 1, "1"},
      {"0.##", 1.234, "1.23"},
      {"0.##", 1.235, "1.24"},
      {"#", 0, ""},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"00000", 42, "00042"},
      {"0", 123456, "123456"},              // digits beyond the placeholders are kept
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", -1234, "-1,234"},
      {"#,##0", 12, "12"},
      {"0.00", -0.001, "0.00"},             // rounds to zero: no minus sign
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.0e+0", 0.000123, "1.2e-4"},
      {"0.00E+00", 0, "0.00E+00"},
      {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
      {"#,##0.00;(#,##0.00)", 1234.5, "1,234.50"},
      {"0.00;-0.00;'zero'", 0, "zero"},
      {"0.00;;'zero'", -0.001, "zero"},     // zero after rounding takes the zero section
      {"0.0;;", -2, "-2.0"},                // an empty negative section falls back to the first
      {"'$'0.00", 3, "$3.00"},
      {"\"n=\"0", 7, "n=7"},
      {"0 'kg'", 5, "5 kg"},
      {"'0#;'0", 5, "0#;5"},                // placeholders and ';' inside quotes are text
      {"0\xD4\xAA", 5, "5\xD4\xAA"},        // a CP936 literal
      {"0.0\x81\x45-", 1.5, "1.5\x81\x45-"},  // its trail byte 'E' does not start an exponent
      {",0.00", 1234567.5, "1,234,567.50"},   // a leading ',' still groups
      {",0.", 1234.4, "1,234"},
      {"X,0.00;-X,0.00", -1234.5, "-X1,234.50"},
      {"\xA3\xA4,0.00", 5, "\xA3\xA4" "5.00"},
      {",0.00 '\xA3\xA4'", 0.5, "0.50 \xA3\xA4"},
      {"#000000", 42, "000042"},
      {"", 1.5, "1.5"},
      {"0.00", std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.fmt, c.v), c.s) << c.fmt << " with " << c.v;
}

TEST_F(FormatTest, FormatCurrUsesTheExactValue) {
  EXPECT_EQ(FormatCurr("0.00", StrToCurr("1.005")), "1.01");
  EXPECT_EQ(FormatCurr("#,##0.00", StrToCurr("-1234.5")), "-1,234.50");
  EXPECT_EQ(FormatCurr("", StrToCurr("2.5")), "2.5");
}

// ---------------------------------------------------------------------------
// Parsing

TEST_F(FormatTest, StrToFloatAcceptsNumbersWithBlanksAround) {
  struct Case { const char* s; double v; };
  const Case cases[] = {
      {"1.5", 1.5},   {" 1.5 ", 1.5}, {"-1e3", -1000}, {"1E+2", 100}, {".5", 0.5},
      {"5.", 5},      {"+3", 3},      {"0", 0},        {"1e-400", 0}, {"007", 7},
      {"1.5E", 1.5},  {"2e+", 2},     {"-2E- ", -2},  // an exponent without digits is 0
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(StrToFloat(c.s), c.v) << c.s;
    double v = -1;
    EXPECT_TRUE(TryStrToFloat(c.s, v));
    EXPECT_TRUE(TextToFloat(c.s, v));
  }
}

TEST_F(FormatTest, StrToFloatRejectsGarbage) {
  const char* bad[] = {"",  " ",   "abc", "1.5x",  "1,5", "1ee", "1e+-2", "e5",
                       "E", ".",   "--1", "1e400", "1 5", "NAN", "INF"};
  for (const char* s : bad) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(s, v)) << s;
    EXPECT_EQ(v, 42);
    EXPECT_EQ(StrToFloatDef(s, -2), -2);
    try {
      StrToFloat(s);
      ADD_FAILURE() << "no exception for '" << s << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, AnsiString("'") + s + "' is not a valid floating point value");
    }
  }
}

TEST_F(FormatTest, DecimalCommaLocale) {
  TFormatSettings fs = FormatSettings();
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  SetFormatSettings(fs);
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 2), "1.234,50");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
  EXPECT_EQ(Format("%.1f", {2.5}), "2,5");
  EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_THROW(StrToFloat("1.5"), EConvertError);
  EXPECT_EQ(StrToCurr("2,25").Value, 22500);
}

TEST_F(FormatTest, CurrencyTextIsExact) {
  struct Case { const char* s; Int64 scaled; };
  const Case cases[] = {
      {"1.5", 15000},       {"-1.5", -15000},     {"1.23456", 12346},   {"0.00005", 0},
      {"0.00015", 2},       {"0.000051", 1},      {"-0.00025", -2},     {"1e3", 10000000},
      {" 7 ", 70000},       {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},       {"0.1e-10", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToCurr(c.s).Value, c.scaled) << c.s;

  const char* bad[] = {"", "abc", "922337203685477.5808", "1e20", "1.2.3"};
  for (const char* s : bad) {
    Currency v = Currency(9);
    EXPECT_FALSE(TryStrToCurr(s, v)) << s;
    EXPECT_EQ(v, Currency(9));
    EXPECT_THROW(StrToCurr(s), EConvertError) << s;
  }
  EXPECT_EQ(StrToCurrDef("x", Currency(3)), Currency(3));
}

TEST_F(FormatTest, CurrToStr) {
  struct Case { Int64 scaled; AnsiString s; };
  const Case cases[] = {{15000, "1.5"}, {1000000, "100"}, {-1, "-0.0001"}, {0, "0"},
                        {INT64_MAX, "922337203685477.5807"}};
  for (const Case& c : cases) EXPECT_EQ(CurrToStr(Currency::FromScaled(c.scaled)), c.s);
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(12345000), ffCurrency, 2), kYuanSign + "1,234.50");
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(12345), ffFixed, 3), "1.235");   // 1.2345, tie away from zero
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(-12345), ffNumber, 0), "-1");
}

}  // namespace
