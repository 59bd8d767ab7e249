// The LIKE matcher that the data layer's criteria and the datasets' filters share.
#include "platform/rtl/like.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kDi = "\xB5\xDA";     // 第
const std::string kZhang = "\xD5\xC2";  // 章
const std::string kTrailA = "\x81\x41";  // a hanzi whose trail byte is 'A'
const std::string kTrailLowA = "\x81\x61";  // and one whose trail byte is 'a'

TEST(LikeMatch, WildcardsTakeWholeCharacters) {
  const struct {
    std::string text, pattern;
    bool match;
  } cases[] = {
      {"", "%", true},
      {"", "", true},
      {"a", "", false},
      {"a", "a%%", true},
      {"axxb", "a%b", true},
      {"abx", "a%b", false},
      {"", "_", false},
      {kDi + kZhang, "__", true},
      {kDi + kZhang, "___", false},
      {kDi + kZhang, kDi + "_", true},
      {kTrailA, "%A", false},  // the trail byte is no letter of its own
      {kTrailA + "A", "%A", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LikeMatch(c.text, c.pattern, '%', '_'), c.match) << c.pattern << " / " << c.text;
}

TEST(LikeMatch, ManyWildcardsAgainstALongTextFinish) {
  // Backtracking that retried every split would not come back from this.
  std::string pattern;
  for (int i = 0; i < 30; ++i) pattern += "%a";
  pattern += "%b";
  const std::string text(5000, 'a');
  EXPECT_FALSE(LikeMatch(text, pattern, '%', '_'));
  EXPECT_TRUE(LikeMatch(text + "b", pattern, '%', '_'));
}

TEST(LikeMatch, IgnoreCaseFoldsSingleByteLettersOnly) {
  EXPECT_FALSE(LikeMatch("Apple", "a%", '%', '_'));
  EXPECT_TRUE(LikeMatch("Apple", "a%", '%', '_', true));
  EXPECT_TRUE(LikeMatch("apple", "APP_E", '%', '_', true));
  // The trail bytes 'a' and 'A' belong to two different hanzi.
  EXPECT_FALSE(LikeMatch(kTrailLowA, kTrailA, '%', '_', true));
  EXPECT_TRUE(LikeMatch(kTrailA, kTrailA, '%', '_', true));
}

TEST(LikeMatch, WithoutASingleWildcardEveryOtherCharacterIsLiteral) {
  EXPECT_TRUE(LikeMatch("n1*", "n1*", '*', kNoWildcard));
  EXPECT_TRUE(LikeMatch("a_c", "a_*", '*', kNoWildcard));
  EXPECT_FALSE(LikeMatch("abc", "a_*", '*', kNoWildcard));
  EXPECT_TRUE(LikeMatch("a%c", "a%c", kNoWildcard, kNoWildcard));
  EXPECT_FALSE(LikeMatch("abc", "a%", kNoWildcard, kNoWildcard));
}

}  // namespace
