// "Hex:" text and Boolean text of stored settings.
#include "framework/uxstorage.h"

#include <gtest/gtest.h>

namespace {

std::string StreamBytes(TMemoryStream& S) {
  return std::string(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

TEST(HexText, RoundTrip) {
  TMemoryStream S;
  const unsigned char Bytes[] = {0x00, 0x1F, 0xAB};
  S.WriteBuffer(Bytes, 3);
  EXPECT_EQ(uxStreamToHexString(&S), "Hex:001FAB");
  EXPECT_EQ(S.Position(), 3);
  for (const char* Text : {"Hex:001FAB", "Hex:001fab"}) {
    TMemoryStream Out;
    uxHexStringToStream(Text, &Out);
    EXPECT_EQ(StreamBytes(Out), std::string("\x00\x1F\xAB", 3)) << Text;
  }
  TMemoryStream Empty;
  EXPECT_EQ(uxStreamToHexString(&Empty), "");
  EXPECT_EQ(uxStreamToHexString(nullptr), "");
}

TEST(HexText, ShortTextsAndOddDigits) {
  struct Case {
    const char* Text;
    std::string Bytes;
  } Cases[] = {{"", ""}, {"Hex:", ""}, {"Hex:0", ""}, {"Hex:001", std::string(1, '\0')}, {"XXXX41", "A"}};
  for (const Case& C : Cases) {
    TMemoryStream S;
    uxHexStringToStream(C.Text, &S);
    EXPECT_EQ(StreamBytes(S), C.Bytes) << C.Text;
  }
}

TEST(HexText, BadDigitRaisesAndWritesNothing) {
  for (const char* Text : {"Hex:0G", "Hex:41G0", "Hex:41 0", "Hex:4142zz"}) {
    TMemoryStream S;
    S.WriteBuffer("keep", 4);
    EXPECT_THROW(uxHexStringToStream(Text, &S), EuxHexStringConvertError) << Text;
    EXPECT_EQ(StreamBytes(S), "keep") << Text;
  }
}

TEST(BooleanText, ConvertsAnyCaseAndRejectsOthers) {
  EXPECT_TRUE(uxStrToBoolean("true"));
  EXPECT_TRUE(uxStrToBoolean("TRUE"));
  EXPECT_FALSE(uxStrToBoolean("False"));
  for (const char* Text : {"yes", "", "TRUE ", "1"}) EXPECT_THROW(uxStrToBoolean(Text), EPropertyConvertError) << Text;
}

}  // namespace
