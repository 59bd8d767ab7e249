#include "data/uxlike.h"

#include <gtest/gtest.h>

#include "data/tests/datatest.h"

#include <random>
#include <vector>

#include "platform/rtl/strings.h"

namespace {

using namespace datatest;

const AnsiString kDi = "\xB5\xDA";       // 第
const AnsiString kYi = "\xD2\xBB";       // 一
const AnsiString kShi = "\xCA\xAE";      // 十
// A hanzi whose trail byte is '_' (0x5F) and one whose trail byte is 'A'.
const AnsiString kTrailUnderscore = "\x81\x5F";
const AnsiString kTrailA = "\x81\x41";

TEST(Like, EdgeCases) {
  struct Case {
    const char* pattern;
    AnsiString text;
    bool match;
  } cases[] = {
      {"%", "", true},
      {"%", "anything", true},
      {"", "", true},
      {"", "a", false},
      {"a%b", "ab", true},
      {"a%b", "axxb", true},
      {"a%b", "abx", false},
      {"_", "", false},
      {"_", "x", true},
      {"__", "xy", true},
      {"__", "x", false},
      {"__", "xyz", false},
      // a run of '%' also matches an empty rest, as the dataset's filter and SQL do
      {"a%%", "a", true},
      {"a%%", "ab", true},
      {"%%", "", true},
      {"%%", "x", true},
      {"ABC", "abc", false},
      {"%a%a%a%a%b", AnsiString(40, 'a'), false},
      {"%a%a%a%a%b", AnsiString(40, 'a') + "b", true},
  };
  for (const Case& c : cases) EXPECT_EQ(uxLike(c.text, c.pattern), c.match) << c.pattern << " / " << c.text;
}

TEST(Like, ChineseCharactersCountOnce) {
  const AnsiString title = kDi + kYi + kShi + kChapter + " start";
  EXPECT_TRUE(uxLike(title, "%" + kChapter + "%"));
  EXPECT_TRUE(uxLike(title, kDi + "__" + kChapter + "%"));   // two hanzi for two '_'
  EXPECT_FALSE(uxLike(title, kDi + "_" + kChapter + "%"));   // one '_' takes one hanzi only
  EXPECT_FALSE(uxLike(title, kDi + "___" + kChapter + "%"));
  EXPECT_TRUE(uxLike(kChapter, "_"));
  EXPECT_FALSE(uxLike(kChapter, "__"));
  // '%' never resumes inside a character: the trail byte 'A' of this hanzi is
  // not the letter A
  EXPECT_FALSE(uxLike(kTrailA, "%A"));
  EXPECT_TRUE(uxLike(kTrailA + "A", "%A"));
  // a trail byte equal to '_' in the pattern is part of its character
  EXPECT_TRUE(uxLike(kTrailUnderscore, kTrailUnderscore));
  EXPECT_FALSE(uxLike("\x81x", kTrailUnderscore));
  // other wildcard characters
  EXPECT_TRUE(uxLike("abc", "a*", '*', '?'));
  EXPECT_TRUE(uxLike("abc", "a?c", '*', '?'));
  EXPECT_FALSE(uxLike("a%c", "a*d", '*', '?'));
}

// The plain definition over characters, recursion and all.
bool Reference(const std::vector<AnsiString>& t, std::size_t i, const std::vector<AnsiString>& p, std::size_t j) {
  if (j == p.size()) return i == t.size();
  if (p[j] == "%") {
    for (std::size_t k = i; k <= t.size(); ++k)
      if (Reference(t, k, p, j + 1)) return true;
    return false;
  }
  if (i == t.size()) return false;
  if (p[j] != "_" && p[j] != t[i]) return false;
  return Reference(t, i + 1, p, j + 1);
}

std::vector<AnsiString> Chars(const AnsiString& s) {
  std::vector<AnsiString> r;
  for (std::size_t i = 0; i < s.size();) {
    const int n = CharLength(s, i);
    r.push_back(s.substr(i, static_cast<std::size_t>(n)));
    i += static_cast<std::size_t>(n);
  }
  return r;
}

TEST(Like, AgreesWithTheReferenceOnRandomShortTexts) {
  std::mt19937 rng(7);
  const std::vector<AnsiString> textChars = {"a", "b", "A", kChapter, kTrailA, kTrailUnderscore};
  const std::vector<AnsiString> patternChars = {"a", "b", "A", kChapter, kTrailA, kTrailUnderscore, "%", "_"};
  for (int round = 0; round < 20000; ++round) {
    AnsiString text, pattern;
    for (int n = static_cast<int>(rng() % 7); n > 0; --n) text += textChars[rng() % textChars.size()];
    for (int n = static_cast<int>(rng() % 6); n > 0; --n) pattern += patternChars[rng() % patternChars.size()];
    ASSERT_EQ(uxLike(text, pattern), Reference(Chars(text), 0, Chars(pattern), 0))
        << "pattern " << BinToHex(pattern.data(), pattern.size()) << " text " << BinToHex(text.data(), text.size());
  }
}

TEST(Like, WildcardRunsAndTrimming) {
  AnsiString p = "a%%%b%%";
  uxCollapseWildcardRuns(p, '%');
  EXPECT_EQ(p, "a%b%");
  struct Case {
    const char* in;
    int result;
    const char* out;
  } cases[] = {
      {"abc%", 1, "abc"}, {"%abc", 2, "abc"}, {"%abc%", 3, "abc"}, {"%%abc", 2, "abc"},
      {"%", 0, "%"},      {"a%c", 0, "a%c"},  {"%%", 0, "%"},
  };
  for (const Case& c : cases) {
    AnsiString s = c.in;
    EXPECT_EQ(uxTrimLikeWildcards(s, '%'), c.result) << c.in;
    EXPECT_EQ(s, c.out) << c.in;
  }
  // a trailing trail byte equal to the wildcard is not a wildcard
  AnsiString hanzi = "a" + kTrailUnderscore;
  EXPECT_EQ(uxTrimLikeWildcards(hanzi, '_'), 0);
  EXPECT_EQ(hanzi, "a" + kTrailUnderscore);
}

}  // namespace
