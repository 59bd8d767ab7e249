#include "data/uxvariants.h"

#include <gtest/gtest.h>

#include "data/tests/datatest.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace {

using namespace datatest;


AnsiString Bytes(const Variant& V) {
  TStringStream s;
  uxWriteVariant(&s, V);
  return s.DataString();
}


Variant ReadBack(const AnsiString& Bytes) {
  TStringStream s(Bytes);
  Variant V;
  uxReadVariant(&s, V);
  EXPECT_EQ(s.Remaining(), 0);
  return V;
}

int Sign(int r) { return r < 0 ? -1 : r > 0 ? 1 : 0; }

// One value of every kind the comparison meets, in the order it must give.
std::vector<Variant> OrderedValues() {
  return {
      Null(),
      Unassigned(),
      Variant(-1e300),
      Variant(Currency::FromScaled(-5000000)),  // -500
      Variant(static_cast<short>(-300)),
      Variant(true),  // -1
      Variant(static_cast<signed char>(-1)) /* equal to True */,
      Variant(false),  // 0
      Variant(static_cast<unsigned char>(0)),
      Variant(0.5f),
      Variant(static_cast<unsigned short>(7)),
      Variant(7.25),
      Variant(Currency::FromScaled(72600)),  // 7.26
      Variant(100),
      VarFromDateTime(46000.5),
      Variant(4000000000u),
      Variant(static_cast<long long>(1) << 40),
      Variant(std::nan("")),
      Variant(""),
      Variant("10"),
      Variant("9"),
      Variant("ABC"),
      Variant("abc"),
      Variant(u"abd"),
      Variant(AnsiString(kA)),
      Variant(AnsiString(kChapter)),
      Variant(AnsiString(kZhang)),
      VarArrayOf({}),
      VarArrayOf({Variant(1)}),
      VarArrayOf({Variant(2)}),
      VarArrayOf({Variant(1), Variant("a")}),
      VarArrayOf({Variant(1), Variant("b")}),
  };
}

TEST(CompareVariants, MixedKindsFollowTheOrderOfTheTable) {
  const std::vector<Variant> values = OrderedValues();
  for (std::size_t i = 0; i < values.size(); ++i)
    for (std::size_t j = 0; j < values.size(); ++j) {
      const int r = Sign(uxCompareVariants(values[i], values[j]));
      const int back = Sign(uxCompareVariants(values[j], values[i]));
      SCOPED_TRACE(testing::Message() << "values " << i << " and " << j);
      EXPECT_EQ(r, -back);  // antisymmetric
      // -1 (signed 8-bit) and True are the same number
      const bool same = i == j || (i == 5 && j == 6) || (i == 6 && j == 5) || (i == 7 && j == 8) ||
                        (i == 8 && j == 7);
      EXPECT_EQ(r, same ? 0 : i < j ? -1 : 1);
    }
}

TEST(CompareVariants, IsTransitiveOverMixedKinds) {
  const std::vector<Variant> values = OrderedValues();
  for (const Variant& a : values)
    for (const Variant& b : values)
      for (const Variant& c : values) {
        const int ab = Sign(uxCompareVariants(a, b)), bc = Sign(uxCompareVariants(b, c));
        const int ac = Sign(uxCompareVariants(a, c));
        if (ab <= 0 && bc <= 0) {
          ASSERT_LE(ac, 0);
        }
        if (ab == 0 && bc == 0) {
          ASSERT_EQ(ac, 0);
        }
      }
}

TEST(CompareVariants, EdgeCases) {
  EXPECT_EQ(uxCompareVariants(VarArrayOf({1, 2, 3}), VarArrayOf({1, 2, 3, 4, 5})), -2);
  EXPECT_EQ(uxCompareVariants(Null(), Null()), 0);
  EXPECT_EQ(uxCompareVariants(Null(), Variant(5)), -1);
  EXPECT_EQ(uxCompareVariants(Variant(5), Null()), 1);
  // a text and a number never raise, and order the same both ways
  EXPECT_EQ(uxCompareVariants(Variant("abc"), Variant(5)), 1);
  EXPECT_EQ(uxCompareVariants(Variant(5), Variant("abc")), -1);
  // texts by their bytes (GBK order), not by the locale
  EXPECT_LT(uxCompareVariants(Variant("Z"), Variant("a")), 0);
  EXPECT_LT(uxCompareVariants(Variant(AnsiString(kA)), Variant(AnsiString(kChapter))), 0);
  // an 8-bit and a UTF-16 text with the same characters are equal
  EXPECT_EQ(uxCompareVariants(Variant(AnsiString(kChapter)), Variant(AnsiToWide(kChapter))), 0);
  EXPECT_EQ(uxCompareVariants(Variant(Currency::FromScaled(1000)), Variant(0.1)), 0);
  EXPECT_TRUE(uxVarEquals(Variant(static_cast<long long>(5)), Variant(5.0)));
}

TEST(CompareVariants, TenThousandShuffledMixedValuesSort) {
  std::mt19937 rng(12345);
  const std::vector<Variant> kinds = OrderedValues();
  std::vector<Variant> values;
  for (int i = 0; i < 10000; ++i) {
    const int k = static_cast<int>(rng() % 8);
    const int n = static_cast<int>(rng() % 200) - 100;
    switch (k) {
      case 0: values.push_back(kinds[rng() % kinds.size()]); break;
      case 1: values.push_back(Variant(n)); break;
      case 2: values.push_back(Variant(n / 7.0)); break;
      case 3: values.push_back(Variant(IntToStr(n))); break;
      case 4: values.push_back(Variant(Currency::FromScaled(n * 123))); break;
      case 5: values.push_back(VarFromDateTime(46000 + n)); break;
      case 6: values.push_back(Variant(AnsiString(kChapter) + IntToStr(n))); break;
      default: values.push_back(VarArrayOf({Variant(n % 3), Variant(IntToStr(n))})); break;
    }
  }
  std::shuffle(values.begin(), values.end(), rng);
  std::sort(values.begin(), values.end(),
            [](const Variant& a, const Variant& b) { return uxCompareVariants(a, b) < 0; });
  for (std::size_t i = 1; i < values.size(); ++i) ASSERT_LE(uxCompareVariants(values[i - 1], values[i]), 0);
}

TEST(VariantTests, LooseEqualityAndTypeTests) {
  EXPECT_TRUE(uxVarEqualsLoose(Variant(true), Variant("True")));
  EXPECT_FALSE(uxVarEqualsLoose(Variant(true), Variant(-1)));
  EXPECT_FALSE(uxVarEqualsLoose(Variant(true), VarArrayOf({1})));
  EXPECT_TRUE(uxVarEqualsLoose(Variant(3), Variant(3.0)));
  EXPECT_FALSE(uxVarIsNullOrEmpty(Unassigned()));
  EXPECT_TRUE(uxVarIsNullOrEmpty(Variant("")));
  EXPECT_TRUE(uxVarIsNullOrEmpty(Variant(u"")));
  EXPECT_TRUE(uxVarIsNullOrEmpty(Null()));
  EXPECT_FALSE(uxVarIsNullOrEmpty(Variant(" ")));
  EXPECT_TRUE(uxVarIsNumber(Variant(Currency())));
  EXPECT_TRUE(uxVarIsNumber(Variant(1.5f)));
  EXPECT_FALSE(uxVarIsNumber(Variant(true)));
  EXPECT_FALSE(uxVarIsNumber(VarFromDateTime(1)));
  EXPECT_TRUE(uxVarIsDateTime(VarFromDateTime(1)));
  EXPECT_TRUE(uxVarTypeIsCurrency(varCurrency));
}

TEST(VariantTests, ArraysOfOneTwoAndMore) {
  const Variant a = uxMakeVarArray2(Variant(1), Variant("x"));
  EXPECT_EQ(a.LowBound(), 0);
  EXPECT_EQ(a.HighBound(), 1);
  Variant b = uxMakeVarArray1(Variant(7));
  uxVarArrayAppend(b, Variant(8));
  ASSERT_EQ(b.ElementCount(), 2);
  EXPECT_EQ(b[0].AsInteger(), 7);
  EXPECT_EQ(b[1].AsInteger(), 8);
  Variant c = Null();
  uxVarArrayAppend(c, Variant(1));
  EXPECT_EQ(c.ElementCount(), 1);
}

TEST(TaggedEncoding, BytesOfTheEdgeCases) {
  struct Case {
    Variant value;
    const char* hex;
  } cases[] = {
      {Variant(127), "027F"},
      {Variant(128), "038000"},
      {Variant(-32769), "04FF7FFFFF"},
      {Variant(static_cast<long long>(1) << 31), "130000008000000000"},
      {VarArrayOf({Variant(1), Variant("a")}), "0102020201060161"},
      {Null(), "00"},
      {Unassigned(), "0D"},
      {Variant(true), "09"},
      {Variant(false), "08"},
      {Variant(1.0), "050000000000000080FF3F"},
      {Variant(Currency::FromScaled(10000)), "101027000000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(Bytes(c.value)), c.hex) << c.hex;
  EXPECT_EQ(static_cast<Byte>(Bytes(Variant(AnsiString(255, 'x')))[0]), uxvtString);
  EXPECT_EQ(static_cast<Byte>(Bytes(Variant(AnsiString(256, 'x')))[0]), uxvtLString);
}

TEST(TaggedEncoding, EveryKindRoundTrips) {
  const Variant values[] = {
      Null(), Unassigned(), Variant(static_cast<signed char>(-5)), Variant(static_cast<short>(-3000)),
      Variant(70000), Variant(static_cast<long long>(-1) << 50), Variant(1.5f), Variant(3.141592653589793),
      Variant(-0.0), Variant(1e-310), Variant(Currency::FromScaled(-123456789)), VarFromDateTime(46000.25),
      Variant(AnsiString(kChapter) + "x"), Variant(AnsiString(300, 'q')), Variant(u"\U0001F600\u00E9"),
      Variant(true), Variant(false), VarArrayOf({Variant(1), VarArrayOf({Variant("in"), Null()}), Variant(2.5)})};
  for (const Variant& v : values) {
    const Variant back = ReadBack(Bytes(v));
    EXPECT_EQ(uxCompareVariants(v, back), 0) << Hex(Bytes(v));
    if (!v.IsArray()) {
      EXPECT_EQ(VarType(back) == varOleStr, VarType(v) == varOleStr);
    }
  }
  // integers come back in the smallest signed kind that holds them
  EXPECT_EQ(VarType(ReadBack(Bytes(Variant(static_cast<unsigned char>(200))))), varSmallint);
  EXPECT_EQ(VarType(ReadBack(Bytes(Variant(static_cast<short>(5))))), varShortInt);
  // doubles pass through the 10-byte form unchanged
  EXPECT_EQ(ReadBack(Bytes(Variant(0.1))).AsDouble(), 0.1);
  EXPECT_TRUE(std::isinf(ReadBack(Bytes(Variant(INFINITY))).AsDouble()));
  EXPECT_TRUE(std::isnan(ReadBack(Bytes(Variant(NAN))).AsDouble()));
}

TEST(TaggedEncoding, BadInputIsAStreamReadError) {
  const char* bad[] = {
      "07",                      // tag 7
      "14",                      // tag 20
      "0C00000080",              // long string of 2^31 bytes
      "0CFFFFFFFF",              // negative length
      "12FFFFFF7F",              // huge wide string
      "0104FFFFFF7F",            // list of 2^31 - 1 elements
      "0102FF",                  // negative count
      "01130000000000000010",    // 64-bit count
      "0604616263",              // short string longer than the stream
      "05000000",                // extended cut short
      "",                        // nothing at all
  };
  for (const char* hex : bad) {
    AnsiString bytes(std::strlen(hex) / 2, '\0');
    HexToBin(hex, bytes.data(), bytes.size());
    TStringStream s(bytes);
    Variant V;
    EXPECT_THROW(uxReadVariant(&s, V), EReadError) << hex;
  }
  // lists nested deeper than the limit
  AnsiString deep;
  for (int i = 0; i <= uxMaxVariantNesting; ++i) deep += "\x01\x02\x01";
  deep += '\x00';
  TStringStream s(deep);
  Variant V;
  EXPECT_THROW(uxReadVariant(&s, V), EReadError);
}

TEST(FixedWidth, PrimitivesAndFilers) {
  TMemoryStream s;
  uxWriteInt16(&s, -2);
  uxWriteUInt16(&s, 65535);
  uxWriteInt64(&s, INT64_MIN);
  uxWriteCurrency(&s, Currency::FromScaled(-1));
  uxWriteDateTime(&s, 1.5);
  uxWriteExtended(&s, -2.5);
  uxWriteBoolean(&s, true);
  TuxWriter writer(&s);
  writer.WriteInt32(42);
  writer.WriteText(kChapter);
  uxWriteWideString(&s, u"\u4E2D");
  EXPECT_EQ(s.Size(), 2 + 2 + 8 + 8 + 8 + 10 + 1 + 4 + 6 + 6);
  s.SetPosition(0);
  EXPECT_EQ(uxReadInt16(&s), -2);
  EXPECT_EQ(uxReadUInt16(&s), 65535);
  EXPECT_EQ(uxReadInt64(&s), INT64_MIN);
  EXPECT_EQ(uxReadCurrency(&s).Value, -1);
  EXPECT_EQ(uxReadDateTime(&s), 1.5);
  EXPECT_EQ(uxReadExtended(&s), -2.5);
  EXPECT_TRUE(uxReadBoolean(&s));
  TuxReader reader(&s);
  EXPECT_EQ(reader.ReadInt32(), 42);
  EXPECT_EQ(reader.ReadText(), kChapter);
  WideString w;
  uxReadWideString(&s, w);
  EXPECT_EQ(w, u"\u4E2D");
  EXPECT_THROW(uxReadByte(&s), EReadError);
}

TEST(FixedWidth, ExtendedFormOfDoubles) {
  const double values[] = {0.0, -0.0, 1.0, -1.0, 0.1, 1e308, -1e-308, 5e-324, 123456789.125};
  for (double d : values) {
    Byte b[10];
    uxDoubleToExtended(d, b);
    const double back = uxExtendedToDouble(b);
    EXPECT_EQ(back, d);
    EXPECT_EQ(std::signbit(back), std::signbit(d));
  }
  // an extended beyond the double range becomes infinite; a tiny one zero
  Byte big[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};
  EXPECT_TRUE(std::isinf(uxExtendedToDouble(big)));
  Byte tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00};
  EXPECT_EQ(uxExtendedToDouble(tiny), 0.0);
}

}  // namespace
