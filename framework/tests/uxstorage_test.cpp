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
  // Every byte value survives the way there and back.
  TMemoryStream All, Back;
  for (int B = 0; B < 256; ++B) {
    const unsigned char C = static_cast<unsigned char>(B);
    All.WriteBuffer(&C, 1);
  }
  const AnsiString Text = uxStreamToHexString(&All);
  EXPECT_EQ(Text.size(), 4u + 512u);
  EXPECT_EQ(Text.substr(0, 10), "Hex:000102");
  EXPECT_EQ(Text.substr(Text.size() - 4), "FEFF");
  uxHexStringToStream(Text, &Back);
  EXPECT_TRUE(StreamBytes(Back) == StreamBytes(All));
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

TEST(HexText, DecodedBytesGoAtTheStreamsPosition) {
  TMemoryStream S;
  S.WriteBuffer("abcd", 4);
  S.SetPosition(1);
  uxHexStringToStream("Hex:4142", &S);
  EXPECT_EQ(StreamBytes(S), "aABd");
  EXPECT_EQ(S.Position(), 3);
}

TEST(HexText, BadDigitRaisesAClearErrorAndWritesNothing) {
  struct Case {
    const char* Text;
    const char* Where;  // the part of the message that locates the bad digit
  } Cases[] = {{"Hex:0G", "$47 at position 6"},
               {"Hex:41G0", "$47 at position 7"},
               {"Hex:41 0", "$20 at position 7"},
               {"Hex:4142zz", "$7A at position 9"},
               {"Hex:41\xB0\xA1", "$B0 at position 7"}};
  for (const Case& C : Cases) {
    TMemoryStream S;
    S.WriteBuffer("keep", 4);
    try {
      uxHexStringToStream(C.Text, &S);
      ADD_FAILURE() << "no error for " << C.Text;
    } catch (const EuxHexStringConvertError& E) {
      EXPECT_NE(E.Message.find(C.Where), AnsiString::npos) << E.Message;
    }
    EXPECT_EQ(StreamBytes(S), "keep") << C.Text;
    EXPECT_EQ(S.Position(), 4) << C.Text;
  }
}

TEST(BooleanText, ConvertsAnyCaseAndRejectsOthers) {
  EXPECT_TRUE(uxStrToBoolean("true"));
  EXPECT_TRUE(uxStrToBoolean("TRUE"));
  EXPECT_FALSE(uxStrToBoolean("False"));
  for (const char* Text : {"yes", "", "TRUE ", "1"}) EXPECT_THROW(uxStrToBoolean(Text), EPropertyConvertError) << Text;
  try {
    uxStrToBoolean("yes");
  } catch (const EPropertyConvertError& E) {
    EXPECT_NE(E.Message.find("'yes'"), AnsiString::npos) << E.Message;
  }
}

}  // namespace
