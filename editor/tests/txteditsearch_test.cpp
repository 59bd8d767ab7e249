#include "editor/txteditsearch.h"

#include <gtest/gtest.h>

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
