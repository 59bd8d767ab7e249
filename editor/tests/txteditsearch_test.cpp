#include "editor/txteditsearch.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

std::vector<std::pair<int, int>> FindAll(TTxtEditSearchCustom& e, const std::string& line) {
  std::vector<std::pair<int, int>> r;
  int n = e.FindInText(line);
  EXPECT_EQ(n, e.FoundCount());
  for (int i = 0; i < n; ++i) r.emplace_back(e.FoundPosition(i), e.FoundLength(i));
  return r;
}

using Hits = std::vector<std::pair<int, int>>;

struct Case {
  const char* pattern;
  std::string line;
  TTxtSearchFlags flags;
  Hits hits;
};

TEST(TxtEditSearch, PlainEngine) {
  const std::string p300(300, 'q');
  const Case cases[] = {
      {"aa", "aaaa", {}, {{1, 2}, {3, 2}}},
      {"Abc", "xaBC", {}, {{2, 3}}},
      {"Abc", "xaBC", {sfMatchCase}, {}},
      {"cat", "concat_x", {sfWholeWord}, {}},
      {"cat", "cat food", {sfWholeWord}, {{1, 3}}},
      {"cat", "food cat", {sfWholeWord}, {{6, 3}}},
      {"abcdef", "abc", {}, {}},
      {"x", "", {}, {}},
      {"ab", "abxab", {}, {{1, 2}, {4, 2}}},
      // Chinese text: a match never starts or ends inside a character
      {"a", "\x81\x61" "a", {}, {{3, 1}}},
      {"A", "\x81\x61", {}, {}},                     // folding leaves second bytes alone
      {"\x81\x41", "\x81\x61\x81\x41", {}, {{3, 2}}},  // and so do pattern bytes
      {"\xD6\xD0", "\xCE\xC4\xD6\xD0\xCE\xC4\xD6\xD0", {}, {{3, 2}, {7, 2}}},
      {"\xC4\xD6", "\xCE\xC4\xD6\xD0", {}, {}},       // spans two characters' halves
      {"\\", "\x81\x5C\\", {}, {{3, 1}}},
      // whole words next to Chinese characters: those separate words
      {"cat", "\xD6\xD0" "cat\xCE\xC4", {sfWholeWord}, {{3, 3}}},
      {"cat", "\x81\x61" "cat", {sfWholeWord}, {{3, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern + std::string(" in ") + c.line);
    TTxtEditSearch e(nullptr);
    e.SetSearchOptions(c.flags);
    e.SetFindText(c.pattern);
    EXPECT_EQ(FindAll(e, c.line), c.hits);
  }
  TTxtEditSearch e(nullptr);
  e.SetFindText(p300);
  std::string line = "xy" + p300 + "z";
  EXPECT_EQ(FindAll(e, line), (Hits{{3, 300}}));
  EXPECT_EQ(e.FoundPosition(5), 0);
  EXPECT_EQ(e.ReplacementFor("x", "$1"), "$1");
}

// The rules of the plain search written out one byte at a time: a match starts
// and ends on character boundaries, letters fold unless they are second bytes,
// and a whole word has a delimiter, a double-byte character or the line's end
// on either side. Matches do not overlap.
Hits ReferenceSearch(const std::string& pattern, const std::string& line, bool matchCase, bool whole) {
  auto trails = [](const std::string& s) {
    std::vector<bool> t(s.size() + 1, false);
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
      unsigned char a = s[i], b = s[i + 1];
      if (a >= 0x81 && a <= 0xFE && b >= 0x40 && b <= 0xFE && b != 0x7F) t[++i] = true;
    }
    return t;
  };
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  auto delimiter = [](unsigned char c) { return !(std::isalnum(c) && c < 0x80) && c != '_'; };
  const std::vector<bool> tt = trails(line), pt = trails(pattern);
  const std::size_t n = pattern.size();
  Hits hits;
  for (std::size_t s = 0; s + n <= line.size();) {
    bool ok = !tt[s] && !tt[s + n];
    for (std::size_t k = 0; ok && k < n; ++k) {
      unsigned char p = pattern[k], t = line[s + k];
      if (pt[k] || tt[s + k]) ok = p == t && pt[k] == tt[s + k];
      else ok = matchCase ? p == t : lower(p) == lower(t);
    }
    if (ok && whole) {
      bool before = s == 0 || tt[s - 1] || delimiter(line[s - 1]);
      bool after = s + n == line.size() || tt[s + n + 1] || delimiter(line[s + n]);
      ok = before && after;
    }
    if (ok) {
      hits.emplace_back(int(s) + 1, int(n));
      s += n;
    } else {
      ++s;
    }
  }
  return hits;
}

TEST(TxtEditSearch, PlainEngineAgreesWithTheRulesOnRandomText) {
  // Lead bytes, second bytes that are letters, "\\", "_" or other lead bytes,
  // bytes that are never second bytes, and ASCII words and delimiters.
  const unsigned char bytes[] = {'a', 'A', 'b', 'B', 'z', '_', ' ', '\\', '1', ',', 0x81, 0xD6, 0xCE,
                                 0xA3, 0xD0, 0xC4, 0x61, 0x41, 0x5C, 0x7F, 0xFF, 0x40, 0xFE};
  unsigned seed = 936;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int round = 0; round < 400; ++round) {
    std::string line;
    for (int k = int(next() % 300); k > 0; --k) line += char(bytes[next() % sizeof bytes]);
    std::string pattern;
    if (!line.empty() && next() % 4) {
      std::size_t at = next() % line.size();
      pattern = line.substr(at, 1 + next() % 6);
    } else {
      for (int k = 1 + int(next() % 3); k > 0; --k) pattern += char(bytes[next() % sizeof bytes]);
    }
    for (int option = 0; option < 4; ++option) {
      const bool matchCase = option & 1, whole = option & 2;
      TTxtSearchFlags flags;
      if (matchCase) flags << sfMatchCase;
      if (whole) flags << sfWholeWord;
      TTxtEditSearch e(nullptr);
      e.SetSearchOptions(flags);
      e.SetFindText(pattern);
      SCOPED_TRACE(::testing::Message() << "round " << round << " option " << option);
      ASSERT_EQ(FindAll(e, line), ReferenceSearch(pattern, line, matchCase, whole));
    }
  }
}

TEST(TxtEditSearch, OptionChangesRebuildTheTables) {
  TTxtEditSearch e(nullptr);
  e.SetFindText("Ab");
  EXPECT_EQ(e.FindInText("ab AB"), 2);
  e.SetSearchOptions({sfMatchCase});
  EXPECT_EQ(e.FindInText("ab AB Ab"), 1);
  e.SetSearchOptions({});
  EXPECT_EQ(e.FindInText("ab AB Ab"), 3);
}

TEST(TxtEditSearch, EmptyPatternIsAnError) {
  TTxtEditSearch e(nullptr);
  try {
    e.FindInText("abc");
    FAIL();
  } catch (const Exception& ex) {
    EXPECT_EQ(ex.Message, "Pattern is empty");
  }
}

TEST(TxtEditRegexSearch, FindAndReplace) {
  TTxtEditRegexSearch e(nullptr);
  e.SetSearchOptions({});
  e.SetFindText("a+");
  EXPECT_EQ(FindAll(e, "xAAy"), (Hits{{2, 2}}));
  e.SetSearchOptions({sfMatchCase});
  EXPECT_EQ(FindAll(e, "xAAy"), Hits{});
  EXPECT_EQ(e.FindInText("bcd"), 0);
  EXPECT_EQ(e.FoundCount(), 0);

  e.SetFindText("(\\w+)=(\\d+)");
  EXPECT_EQ(FindAll(e, "a=1, bb=22"), (Hits{{1, 3}, {6, 5}}));
  EXPECT_EQ(e.ReplacementFor("bb=22", "$2:$1"), "22:bb");
  EXPECT_EQ(e.GetFindText(), "(\\w+)=(\\d+)");
}

TEST(TxtEditRegexSearch, ChineseTextIsNeverSplit) {
  TTxtEditRegexSearch e(nullptr);
  e.SetSearchOptions({});
  e.SetFindText("a");
  // "\x81\x61" is one character whose second byte is "a"
  EXPECT_EQ(FindAll(e, "\x81\x61" "a\x81\x61"), (Hits{{3, 1}}));
  e.SetFindText("\xCE\xC4.");
  EXPECT_EQ(FindAll(e, "\xD6\xD0\xCE\xC4\xD6\xD0"), (Hits{{3, 4}}));
  // a replacement over a matched occurrence keeps the characters around it
  e.SetFindText("\xD6\xD0(\\d)");
  EXPECT_EQ(e.ReplacementFor("\xD6\xD0" "7", "[$1]"), "[7]");
}

TEST(TxtEditRegexSearch, SyntaxErrorsComeFromTheEngine) {
  TTxtEditRegexSearch e(nullptr);
  e.SetFindText("(a");
  EXPECT_THROW(e.FindInText("a"), ERegExpr);
}

}  // namespace
