#include "platform/rtl/variants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <type_traits>
#include <cmath>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"

namespace {

const char* const kPM = "\xCF\xC2\xCE\xE7";  // 下午

Variant Curr(double v) { return Variant(Currency::FromDouble(v)); }

class VariantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    const TDateTime now = EncodeDateTime(2026, 12, 10, 13, 5, 9, 0);
    SetClockForTests([now] { return now; });
  }
  void TearDown() override {
    ResetClock();
    ResetFormatSettings();
  }
  static Variant Date(Word y, Word m, Word d, Word h = 0, Word n = 0) {
    return VarFromDateTime(EncodeDateTime(y, m, d, h, n, 0, 0));
  }
};

// The message of the conversion exception raised by f, or "" when none is.
template <typename F>
AnsiString CastMessage(F f) {
  try {
    f();
  } catch (const EVariantTypeCastError& e) {
    return e.Message;
  }
  return "";
}

TEST_F(VariantTest, ConstructorsGiveThePlatformTypeCodes) {
  struct Case {
    Variant v;
    Word type;
  } cases[] = {
      {Variant(), 0},
      {Null(), 1},
      {Variant(static_cast<short>(1)), 2},
      {Variant(1), 3},
      {Variant(1.5f), 4},
      {Variant(1.5), 5},
      {Curr(1.5), 6},
      {VarFromDateTime(1), 7},
      {Variant(u"w"), 8},
      {Variant(WideString(u"w")), 8},
      {Variant(true), 11},
      {Variant(static_cast<signed char>(1)), 16},
      {Variant(static_cast<unsigned char>(1)), 17},
      {Variant(static_cast<unsigned short>(1)), 18},
      {Variant(1u), 19},
      {Variant(Int64(1)), 20},
      {Variant(1LL), 20},
      {Variant("s"), 0x100},
      {Variant(AnsiString("s")), 0x100},
      {VarArrayOf({1, 2}), 0x200C},
      {VarArrayCreate({0, 1}, varInteger), 0x2003},
  };
  for (const Case& c : cases) EXPECT_EQ(VarType(c.v), c.type) << VarTypeAsText(c.type);
  EXPECT_EQ(VarType(Variant(~0ULL)), varDouble);  // beyond Int64
  char text[] = "t";
  EXPECT_EQ(VarType(Variant(text)), varString);
  static_assert(!std::is_constructible_v<Variant, int*>, "a pointer must not become a Boolean");
}

TEST_F(VariantTest, KindQueries) {
  const Variant values[] = {Variant(), Null(), Variant(1), Variant(true), Variant(1.5), Curr(1),
                            VarFromDateTime(1), Variant("s"), Variant(u"w"), VarArrayOf({1})};
  // Empty, Null, ordinal, float, numeric, string, array
  const char* expected[] = {"E......", ".N.....", "..O.N..", "..O.N..", "...FN..",
                            "...FN..", ".......", ".....S.", ".....S.", "......A"};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const Variant& v = values[i];
    AnsiString got = "";
    got += VarIsEmpty(v) && VarIsClear(v) ? 'E' : '.';
    got += VarIsNull(v) ? 'N' : '.';
    got += VarIsOrdinal(v) ? 'O' : '.';
    got += VarIsFloat(v) ? 'F' : '.';
    got += VarIsNumeric(v) ? 'N' : '.';
    got += VarIsStr(v) ? 'S' : '.';
    got += VarIsArray(v) ? 'A' : '.';
    EXPECT_EQ(got, expected[i]) << i;
  }
}

TEST_F(VariantTest, ConversionToText) {
  struct Case {
    Variant v;
    AnsiString text;
  } cases[] = {
      {Variant(), ""},
      {Null(), ""},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(-42), "-42"},
      {Variant(Int64(1) << 40), "1099511627776"},
      {Variant(4294967295u), "4294967295"},
      {Variant(1.5), "1.5"},
      {Variant(0.1f), "0.1"},
      {Curr(-1234.5), "-1234.5"},
      {Date(2026, 12, 10, 13, 5), "2026-12-10 13:05:00"},
      {Date(2026, 12, 10), "2026-12-10"},
      {Variant(u"abc"), "abc"},
      {Variant("\xBD\xDA\xB5\xE3"), "\xBD\xDA\xB5\xE3"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(c.v), c.text) << VarTypeAsText(VarType(c.v));
  EXPECT_EQ(VarToStrDef(Null(), "-"), "-");
  EXPECT_EQ(VarToStrDef(Variant(), "-"), "");
  EXPECT_EQ(VarToStrDef(Variant(3), "-"), "3");
  // Text through the CP936 decoder keeps the characters.
  EXPECT_EQ(VarToWideStr(Variant("\xBD\xDA\xB5\xE3")), u"节点");
  EXPECT_EQ(VarToStr(Variant(u"节点")), "\xBD\xDA\xB5\xE3");
  EXPECT_EQ(CastMessage([] { Null().AsString(); }), "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(CastMessage([] { VarToStr(VarArrayOf({1})); }),
            "Could not convert variant of type (Array Variant) into type (String)");
}

TEST_F(VariantTest, ConversionToNumbers) {
  EXPECT_EQ(Variant("12").AsInteger(), 12);
  EXPECT_EQ(Variant(" 1.5 ").AsDouble(), 1.5);
  EXPECT_EQ(Variant("2.5").AsInteger(), 2);  // half to even
  EXPECT_EQ(Variant("3.5").AsInteger(), 4);
  EXPECT_EQ(Variant(-2.5).AsInt64(), -2);
  EXPECT_EQ(Variant("9007199254740993").AsInt64(), 9007199254740993LL);  // exact, not through a double
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Curr(2.5).AsInteger(), 2);
  EXPECT_EQ(Variant("1.23456").AsCurrency().Value, 12346);
  EXPECT_EQ(Variant(3).AsCurrency().Value, 30000);
  EXPECT_EQ(Curr(1.25).AsDouble(), 1.25);

  EXPECT_EQ(CastMessage([] { Variant("abc").AsInteger(); }),
            "Could not convert variant of type (String) into type (Integer)");
  EXPECT_EQ(CastMessage([] { Variant(u"1x").AsDouble(); }),
            "Could not convert variant of type (OleStr) into type (Double)");
  EXPECT_EQ(CastMessage([] { Null().AsInteger(); }), "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(CastMessage([] { Null().AsDouble(); }), "Could not convert variant of type (Null) into type (Double)");
  EXPECT_EQ(CastMessage([] { Variant("x").AsCurrency(); }),
            "Could not convert variant of type (String) into type (Currency)");
  // Callers may catch the general variant error too.
  EXPECT_THROW(Variant("abc").AsInt64(), EVariantError);

  EXPECT_THROW(Variant(3e9).AsInteger(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e300).AsInt64(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::nan("")).AsInt64(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e300).AsCurrency(), EVariantOverflowError);
}

TEST_F(VariantTest, ConversionToBoolean) {
  struct Case {
    Variant v;
    bool expected;
  } cases[] = {
      {Variant("True"), true}, {Variant("true"), true}, {Variant("FALSE"), false}, {Variant("0"), false},
      {Variant("2"), true},    {Variant(0), false},     {Variant(-1), true},       {Variant(0.5), true},
      {Variant(), false},      {Curr(0), false},        {Variant(u"tRuE"), true},
  };
  for (const Case& c : cases) EXPECT_EQ(c.v.AsBoolean(), c.expected) << VarToStr(c.v);
  EXPECT_EQ(CastMessage([] { Variant("yes").AsBoolean(); }),
            "Could not convert variant of type (String) into type (Boolean)");
  EXPECT_EQ(CastMessage([] { Null().AsBoolean(); }), "Could not convert variant of type (Null) into type (Boolean)");
}

TEST_F(VariantTest, ConversionToDates) {
  const AnsiString pm = kPM;
  struct Case {
    Variant v;
    TDateTime expected;
  } cases[] = {
      {Variant("2026-12-10 13:05"), EncodeDateTime(2026, 12, 10, 13, 5, 0, 0)},
      {Variant("2026 12 10"), EncodeDate(2026, 12, 10)},
      {Variant("2026/12/10 1:05 " + pm), EncodeDateTime(2026, 12, 10, 13, 5, 0, 0)},
      {Variant("2026.12.10 13:05:09"), EncodeDateTime(2026, 12, 10, 13, 5, 9, 0)},
      {Variant("26 1 2"), EncodeDate(2026, 1, 2)},
      {Variant("13:05"), EncodeTime(13, 5, 0, 0)},
      {Variant(u"2026-12-10"), EncodeDate(2026, 12, 10)},
      {Variant(46366), 46366},
      {Variant(1.5), 1.5},
      {Variant(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToDateTime(c.v), c.expected) << VarToStr(c.v);
  for (const char* bad : {"abc", "2026 12 10 9", "2026-13-10", "2026x12x10", ""})
    EXPECT_EQ(CastMessage([bad] { VarToDateTime(Variant(bad)); }),
              "Could not convert variant of type (String) into type (Date)")
        << bad;
  EXPECT_THROW(VarToDateTime(Null()), EVariantTypeCastError);
}

TEST_F(VariantTest, VarAsTypeChecksRanges) {
  EXPECT_EQ(VarType(VarAsType(Variant("200"), varByte)), varByte);
  EXPECT_EQ(VarAsType(Variant("200"), varByte).AsInteger(), 200);
  EXPECT_THROW(VarAsType(Variant(300), varByte), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(-1), varWord), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(40000), varSmallint), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(1e300), varSingle), EVariantOverflowError);
  EXPECT_EQ(VarAsType(Variant("1.25"), varCurrency).AsCurrency().Value, 12500);
  EXPECT_EQ(VarType(VarAsType(Variant("2026-12-10"), varDate)), varDate);
  EXPECT_EQ(VarType(VarAsType(Variant(5), varString)), varString);
  EXPECT_EQ(VarType(VarAsType(Variant(5), varOleStr)), varOleStr);
  EXPECT_TRUE(VarIsNull(VarAsType(Variant(5), varNull)));
  EXPECT_TRUE(VarIsEmpty(VarAsType(Variant(5), varEmpty)));
  EXPECT_EQ(CastMessage([] { VarAsType(Null(), varInteger); }),
            "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_THROW(VarAsType(VarArrayOf({1}), varInteger), EVariantTypeCastError);
}

TEST_F(VariantTest, ArraysOfOneDimension) {
  Variant a = VarArrayOf({1, "two", Null()});
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a), 0);
  EXPECT_EQ(VarArrayHighBound(a), 2);
  EXPECT_EQ(VarType(a[0]), varInteger);
  EXPECT_EQ(VarToStr(a[1]), "two");
  EXPECT_TRUE(VarIsNull(a.GetElement(2)));
  EXPECT_THROW(a[3], EVariantError);
  EXPECT_THROW(a[-1], EVariantError);

  Variant copy = a;  // arrays are values
  copy.PutElement(0, "changed");
  EXPECT_EQ(VarType(a[0]), varInteger);

  Variant typed = VarArrayCreate({1, 3}, varInteger);
  EXPECT_EQ(VarArrayLowBound(typed), 1);
  EXPECT_EQ(VarArrayHighBound(typed), 3);
  EXPECT_EQ(VarType(typed[1]), varInteger);
  EXPECT_EQ(typed[3].AsInteger(), 0);
  typed.PutElement(2, "5");  // converted to the element type
  EXPECT_EQ(VarType(typed[2]), varInteger);
  EXPECT_EQ(typed[2].AsInteger(), 5);
  EXPECT_THROW(typed.PutElement(2, "x"), EVariantTypeCastError);
  EXPECT_EQ(typed[2].AsInteger(), 5);  // unchanged after the failure
  EXPECT_THROW(typed.PutElement(0, 1), EVariantError);
  EXPECT_EQ(VarType(VarArrayCreate({0, 0}, varOleStr)[0]), varOleStr);

  Variant empty = VarArrayOf({});
  EXPECT_EQ(VarArrayHighBound(empty), -1);

  // Bad shapes and sizes are refused before anything is allocated.
  EXPECT_THROW(VarArrayCreate({5, 3}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1, 2, 3}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, INT_MAX}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({INT_MIN, INT_MAX}, varByte), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantError);
  EXPECT_THROW(VarArrayLowBound(Variant(1)), EVariantError);
  EXPECT_THROW(VarArrayHighBound(a, 2), EVariantError);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_THROW(Variant(1)[0], EVariantError);
}

TEST_F(VariantTest, ComparisonOperatorsPromoteNumbersAndConvertText) {
  struct Case {
    Variant a, b;
    int expected;  // -1, 0 or 1: a below, equal to, above b
  } cases[] = {
      {Variant(1), Variant(1.0), 0},
      {Variant(2), Variant("10"), -1},     // a number: the text is read as a number
      {Variant("2"), Variant("10"), 1},    // two texts: by their bytes
      {Variant("a"), Variant(u"a"), 0},
      {Variant("B"), Variant("a"), -1},
      {Variant("\xBD\xDA"), Variant("z"), 1},
      {Curr(1.5), Variant(1.5), 0},
      {Curr(0.1), Variant(0.1), 0},  // as doubles, not exactly
      {Curr(1.5), Variant(2), -1},
      {Variant(true), Variant(-1), 0},
      {Variant(true), Variant("True"), 0},
      {Variant(false), Variant(true), 1},  // False is 0, True is -1
      {Date(2026, 12, 10), Variant(46366), 0},
      {Date(2026, 12, 10), Variant("2026-12-11"), -1},
      {Variant(), Variant(0), 0},
      {Variant(), Variant(""), 0},
      {Variant(), Variant("a"), -1},
      {Variant(Int64(9007199254740993)), Variant(9007199254740992.0), 1},  // exact, not through a double
      {Variant(Int64(9007199254740993)), Variant(Int64(9007199254740992)), 1},
      {Variant(Int64(INT64_MAX)), Variant(9223372036854775808.0), -1},
      {Variant(4294967295u), Variant(-1), 1},
      {Variant(static_cast<unsigned char>(200)), Variant(static_cast<signed char>(-100)), 1},
  };
  for (const Case& c : cases) {
    const AnsiString what = VarTypeAsText(VarType(c.a)) + " " + VarToStr(c.a) + " vs " +
                            VarTypeAsText(VarType(c.b)) + " " + VarToStr(c.b);
    EXPECT_EQ(c.a == c.b, c.expected == 0) << what;
    EXPECT_EQ(c.a != c.b, c.expected != 0) << what;
    EXPECT_EQ(c.a < c.b, c.expected < 0) << what;
    EXPECT_EQ(c.a <= c.b, c.expected <= 0) << what;
    EXPECT_EQ(c.a > c.b, c.expected > 0) << what;
    EXPECT_EQ(c.a >= c.b, c.expected >= 0) << what;
    if (!VarIsEmpty(c.a) && !VarIsEmpty(c.b)) {  // Empty is only equal to itself there
      EXPECT_EQ(VarCompareValue(c.a, c.b),
                c.expected < 0 ? vrLessThan : c.expected > 0 ? vrGreaterThan : vrEqual)
          << what;
    }
  }
}

TEST_F(VariantTest, NullEmptyAndUnorderedComparisons) {
  EXPECT_TRUE(Null() == Null());
  EXPECT_FALSE(Null() == Variant(0));
  EXPECT_FALSE(Null() == Variant());
  EXPECT_TRUE(Null() < Variant(-5));
  EXPECT_FALSE(Variant(-5) < Null());
  EXPECT_TRUE(Null() <= Null());
  EXPECT_FALSE(Variant(1) <= Null());

  struct Case {
    Variant a, b;
    TVariantRelationship expected;
  } cases[] = {
      {Variant(), Variant(), vrEqual},     {Variant(), Variant(0), vrNotEqual}, {Variant(0), Variant(), vrNotEqual},
      {Null(), Null(), vrEqual},           {Null(), Variant(1), vrNotEqual},    {Variant(1), Null(), vrNotEqual},
      {Null(), Variant(), vrNotEqual},     {Variant(std::nan("")), Variant(1), vrNotEqual},
  };
  for (const Case& c : cases) EXPECT_EQ(VarCompareValue(c.a, c.b), c.expected);

  const Variant nan(std::nan(""));
  EXPECT_FALSE(nan == nan);
  EXPECT_FALSE(nan < Variant(1));
  EXPECT_FALSE(nan >= Variant(1));

  EXPECT_EQ(CastMessage([] { (void)(Variant("abc") < Variant(1)); }),
            "Could not convert variant of type (String) into type (Integer)");
  EXPECT_THROW((void)(VarArrayOf({1}) == VarArrayOf({1})), EVariantError);
}

// A value of every kind, with ties across kinds, edge values and a NaN.
std::vector<Variant> EveryKind() {
  return {
      Variant(),
      Null(),
      Variant(static_cast<short>(-3)),
      Variant(static_cast<short>(2)),
      Variant(2),
      Variant(INT_MIN),
      Variant(1.5f),
      Variant(1.5),
      Variant(-0.0),
      Variant(0.0),
      Variant(std::nan("")),
      Variant(-HUGE_VAL),
      Variant(9007199254740992.0),
      Curr(1.5),
      Curr(-0.0001),
      Variant(Currency::FromScaled(INT64_MAX)),
      VarFromDateTime(2),
      VarFromDateTime(-1.25),
      Variant(u""),
      Variant(u"b"),
      Variant(true),
      Variant(false),
      Variant(static_cast<signed char>(-1)),
      Variant(static_cast<unsigned char>(255)),
      Variant(static_cast<unsigned short>(2)),
      Variant(4294967295u),
      Variant(Int64(9007199254740993)),
      Variant(Int64(9007199254740992)),  // ties with the double 2^53, below 2^53 + 1
      Variant(Int64(INT64_MIN)),
      Variant(Int64(INT64_MAX)),
      Variant(""),
      Variant("b"),
      Variant("a"),
      Variant("\xBD\xDA\xB5\xE3"),
      Variant("10"),
      VarArrayOf({}),
      VarArrayOf({1, "a"}),
      VarArrayOf({1.0, "a"}),
      VarArrayOf({1, "b"}),
      VarArrayOf({Null()}),
      VarArrayCreate({1, 2}, varInteger),
  };
}

TEST_F(VariantTest, TotalOrderIsAStrictWeakOrderOverEveryPairOfKinds) {
  const std::vector<Variant> v = EveryKind();
  const std::size_t n = v.size();
  std::vector<std::vector<int>> cmp(n, std::vector<int>(n));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) cmp[i][j] = VarCompareTotal(v[i], v[j]);
  for (std::size_t i = 0; i < n; ++i) {
    EXPECT_EQ(cmp[i][i], 0) << i;
    for (std::size_t j = 0; j < n; ++j) {
      EXPECT_TRUE(cmp[i][j] >= -1 && cmp[i][j] <= 1);
      EXPECT_EQ(cmp[i][j], -cmp[j][i]) << i << " " << j;
      for (std::size_t k = 0; k < n; ++k) {
        // Transitivity of "not greater" covers both the order and the ties.
        if (cmp[i][j] <= 0 && cmp[j][k] <= 0) {
          EXPECT_LE(cmp[i][k], 0) << i << " " << j << " " << k;
        }
        if (cmp[i][j] < 0 && cmp[j][k] <= 0) {
          EXPECT_LT(cmp[i][k], 0) << i << " " << j << " " << k;
        }
      }
    }
  }
}

TEST_F(VariantTest, TotalOrderRanksKindsThenValues) {
  std::vector<Variant> v = EveryKind();
  std::sort(v.begin(), v.end(), [](const Variant& a, const Variant& b) { return VarCompareTotal(a, b) < 0; });
  AnsiString kinds;
  for (const Variant& x : v) {
    const Word t = VarType(x);
    kinds += VarIsEmpty(x) ? 'E' : VarIsNull(x) ? 'N' : VarIsArray(x) ? 'A' : VarIsStr(x) ? 'S' : '#';
    (void)t;
  }
  EXPECT_EQ(kinds, "EN" + AnsiString(26, '#') + AnsiString(7, 'S') + AnsiString(6, 'A'));

  struct Case {
    Variant a, b;
    int expected;
  } cases[] = {
      {Variant(1), Curr(1.5), -1},
      {Curr(1.5), Variant(1.5), 0},
      {Variant(true), Variant(-1), 0},
      {Variant(true), Variant(false), -1},
      {VarFromDateTime(2), Variant(1.5), 1},
      {Variant(HUGE_VAL), Variant(std::nan("")), -1},  // NaN after every number
      {Variant(std::nan("")), Variant(-std::nan("")), 0},
      {Variant(-0.0), Variant(0), 0},
      {Variant(Int64(9007199254740993)), Variant(9007199254740992.0), 1},
      {Curr(-0.5), Variant(-0.5), 0},
      // Exact values: the double nearest 1/10 lies just above it, the one
      // nearest -1/10000 just below.
      {Curr(0.1), Variant(0.1), -1},
      {Curr(-0.0001), Variant(-1e-4), 1},
      {Variant(Currency::FromScaled(INT64_MAX)), Variant(922337203685477.5807), -1},
      {Variant("10"), Variant(2), 1},  // a string ranks after every number
      {Variant("a"), Variant(u"a"), 0},
      {Variant("z"), Variant("\xBD\xDA"), -1},
      {Variant("\xFE\xFE"), VarArrayOf({}), -1},
      {VarArrayOf({1, "a"}), VarArrayOf({1.0, "a"}), 0},
      {VarArrayOf({1}), VarArrayOf({1, 0}), -1},
      {VarArrayOf({2}), VarArrayOf({1, 0}), 1},
      {Variant(), Null(), -1},
      {Null(), Variant(-HUGE_VAL), -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VarCompareTotal(c.a, c.b), c.expected) << VarToStr(c.a) << " vs " << VarToStr(c.b);
    EXPECT_EQ(VarCompareTotal(c.b, c.a), -c.expected);
  }
}

TEST_F(VariantTest, ArithmeticKeepsTheKind) {
  struct Case {
    const char* what;
    Variant result;
    Word type;
    double value;
  } cases[] = {
      {"int + int", Variant(2) + Variant(3), varInteger, 5},
      {"byte + byte", Variant(static_cast<unsigned char>(200)) + Variant(static_cast<unsigned char>(100)),
       varInteger, 300},
      {"int overflow", Variant(INT_MAX) + Variant(1), varInt64, 2147483648.0},
      {"int * int overflow", Variant(INT_MIN) * Variant(-1), varInt64, 2147483648.0},
      {"int64 + int", Variant(Int64(5)) + Variant(1), varInt64, 6},
      {"longword - longword", Variant(1u) - Variant(2u), varInt64, -1},
      {"int64 overflow", Variant(Int64(INT64_MAX)) + Variant(1), varDouble, 9223372036854775808.0},
      {"bool + int", Variant(true) + Variant(1), varInteger, 0},
      {"int / int", Variant(7) / Variant(2), varDouble, 3.5},
      {"int / int exact", Variant(6) / Variant(3), varDouble, 2},
      {"double * int", Variant(1.5) * Variant(2), varDouble, 3},
      {"currency + int", Curr(1.25) + Variant(2), varCurrency, 3.25},
      {"currency - currency", Curr(0.3) - Curr(0.1), varCurrency, 0.2},
      {"currency * int", Curr(1.25) * Variant(3), varCurrency, 3.75},
      {"int * currency", Variant(3) * Curr(1.25), varCurrency, 3.75},
      {"currency * double", Curr(1.25) * Variant(2.0), varDouble, 2.5},
      {"currency / int", Curr(1) / Variant(4), varDouble, 0.25},
      {"date + int", VarFromDateTime(46366) + Variant(1), varDate, 46367},
      {"int + date", Variant(1) + VarFromDateTime(46366), varDate, 46367},
      {"date - double", VarFromDateTime(46366.5) - Variant(0.25), varDate, 46366.25},
      {"date - date", VarFromDateTime(46366.5) - VarFromDateTime(46360), varDouble, 6.5},
      {"text + number", Variant("1") + Variant(2), varDouble, 3},
      {"text * text", Variant("1.5") * Variant("2"), varDouble, 3},
      {"empty + int", Variant() + Variant(1), varInteger, 1},
      {"-int", -Variant(5), varInteger, -5},
      {"-min int", -Variant(INT_MIN), varInt64, 2147483648.0},
      {"-currency", -Curr(1.5), varCurrency, -1.5},
      {"-date", -VarFromDateTime(2), varDate, -2},
      {"-text", -Variant("2.5"), varDouble, -2.5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VarType(c.result), c.type) << c.what;
    EXPECT_EQ(c.result.AsDouble(), c.value) << c.what;
  }
  // Currency sums stay exact where doubles would not.
  EXPECT_EQ((Curr(0.1) + Curr(0.2)).AsCurrency().Value, 3000);
  EXPECT_EQ((Curr(922337203685477.0) * Variant(1)).AsCurrency().Value, 9223372036854770000LL);
}

TEST_F(VariantTest, ArithmeticWithTextNullAndErrors) {
  Variant s = Variant("ab") + Variant("\xBD\xDA");
  EXPECT_EQ(VarType(s), varString);
  EXPECT_EQ(VarToStr(s), "ab\xBD\xDA");
  EXPECT_EQ(VarType(Variant("a") + Variant(u"b")), varOleStr);
  EXPECT_EQ(VarToStr(Variant("a") + Variant(u"b")), "ab");
  EXPECT_EQ(VarToStr(Variant() + Variant("a")), "a");
  EXPECT_TRUE(VarIsEmpty(Variant() + Variant()));

  for (const Variant& r : {Null() + Variant(1), Variant(1) - Null(), Null() * Null(), Null() / Variant(0),
                           -Null(), Null() + Variant("a")})
    EXPECT_TRUE(VarIsNull(r));

  EXPECT_THROW(Variant(1) / Variant(0), EDivByZero);
  EXPECT_THROW(Variant(1.5) / Variant(0.0), EDivByZero);
  EXPECT_EQ(CastMessage([] { (void)(Variant("abc") + Variant(1)); }),
            "Could not convert variant of type (String) into type (Double)");
  EXPECT_THROW(VarArrayOf({1}) + Variant(1), EVariantError);
  EXPECT_THROW(-VarArrayOf({1}), EVariantError);
  EXPECT_THROW(Variant(Currency::FromScaled(INT64_MAX)) + Curr(1), EVariantOverflowError);
  EXPECT_THROW(-Variant(Currency::FromScaled(INT64_MIN)), EVariantOverflowError);

  Variant acc = Variant(1);
  acc += Variant(2);
  acc *= Variant(4);
  acc -= Variant(2);
  acc /= Variant(4);
  EXPECT_EQ(VarType(acc), varDouble);
  EXPECT_EQ(acc.AsDouble(), 2.5);
}

}  // namespace
