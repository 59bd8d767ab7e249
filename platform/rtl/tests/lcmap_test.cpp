#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/lcmap.h"
#include "platform/rtl/strings.h"

namespace {

std::string MapToSimplified(const std::string& Utf8, DWORD Flags = LCMAP_SIMPLIFIED_CHINESE) {
  const AnsiString src = Utf8ToAnsi(Utf8);
  const int need = LCMapStringA(0x0804, Flags, src.c_str(), -1, nullptr, 0);
  if (need == 0) return "<failed>";
  std::string dest(static_cast<std::size_t>(need), 'x');
  EXPECT_EQ(LCMapStringA(0x0804, Flags, src.c_str(), -1, dest.data(), need), need);
  EXPECT_EQ(dest.back(), '\0');  // the terminator is mapped and counted
  dest.pop_back();
  return AnsiToUtf8(dest);
}

TEST(LCMapTest, TraditionalCharactersBecomeSimplifiedOneByOne) {
  const struct {
    const char* Source;
    const char* Expected;
  } cases[] = {
      {"", ""},
      {"abc 12", "abc 12"},
      {"他說話", "他说话"},
      {"這個國家的歷史", "这个国家的历史"},
      {"简体不变", "简体不变"},
      {"「書」　與　“書”", "「书」　与　“书”"},  // punctuation and the ideographic space stay
  };
  for (const auto& c : cases) EXPECT_EQ(MapToSimplified(c.Source), c.Expected) << c.Source;
  EXPECT_EQ(MapToSimplified("国", LCMAP_TRADITIONAL_CHINESE), "國");
}

TEST(LCMapTest, BadArgumentsAndShortBuffersGiveZero) {
  const AnsiString src = Utf8ToAnsi("說");
  char small[2];
  EXPECT_EQ(LCMapStringA(0x0804, LCMAP_SIMPLIFIED_CHINESE, src.c_str(), -1, small, 2), 0);
  EXPECT_EQ(LCMapStringA(0x0804, 0x00000100, src.c_str(), -1, nullptr, 0), 0);  // an unsupported flag
  EXPECT_EQ(LCMapStringA(0x0804, LCMAP_SIMPLIFIED_CHINESE, nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(LCMapStringA(0x0804, LCMAP_SIMPLIFIED_CHINESE, src.c_str(), -2, nullptr, 0), 0);
  // A counted source maps only what it counts; a lead byte cut off stays a byte.
  char out[4] = {};
  EXPECT_EQ(LCMapStringA(0x0804, LCMAP_SIMPLIFIED_CHINESE, src.c_str(), 1, out, 4), 1);
  EXPECT_EQ(out[0], src[0]);
}

TEST(LCMapTest, MultiByteToWideCharCountsTheTerminator) {
  const AnsiString src = Utf8ToAnsi("他a說");
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, src.c_str(), -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(936, 0, src.c_str(), static_cast<int>(src.size()), nullptr, 0), 3);
  WCHAR buf[4] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, src.c_str(), -1, buf, 4), 4);
  EXPECT_EQ(buf[0], u'他');
  EXPECT_EQ(buf[1], u'a');
  EXPECT_EQ(buf[3], 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, src.c_str(), -1, buf, 3), 0);
  EXPECT_EQ(MultiByteToWideChar(65001, 0, src.c_str(), -1, nullptr, 0), 0);
}

}  // namespace
