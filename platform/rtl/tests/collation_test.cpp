#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/rtl/collation.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/tests/rtltest.h"

namespace {

// The test sources are UTF-8; the library works in CP936.
AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }
Items A(std::initializer_list<const char*> utf8) {
  Items r;
  for (const char* s : utf8) r.push_back(A(s));
  return r;
}

int Sign(int v) { return (v > 0) - (v < 0); }

void Fill(TStrings& list, const Items& items) {
  list.Clear();
  for (const auto& s : items) list.Add(s);
}

// 阿 ā, 澳 ào, 亍 chù (GB2312 level 2), 丂 kǎo (GBK extension), 张 zhāng, 中 zhōng.
const Items kPrcOrder = A({"_x", "a", "abc", "B", "Zeta", "阿", "澳", "亍", "丂", "张三", "中文"});

TEST(Collation, ListSortsInTheChineseOrder) {
  TStringList list;
  Fill(list, A({"a", "abc", "B", "Zeta", "_x", "丂", "阿", "澳", "张三", "中文", "亍"}));
  list.Sort();
  EXPECT_EQ(ItemsOf(list), kPrcOrder);

  // From the reverse of the order too, and as a sorted list that inserts.
  Items reversed(kPrcOrder.rbegin(), kPrcOrder.rend());
  Fill(list, reversed);
  list.Sort();
  EXPECT_EQ(ItemsOf(list), kPrcOrder);
  TStringList sorted;
  sorted.SetSorted(true);
  Fill(sorted, reversed);
  EXPECT_EQ(ItemsOf(sorted), kPrcOrder);
}

TEST(Collation, PairsInBothVariants) {
  struct Case {
    const char* a;
    const char* b;
    int text, str;
  } cases[] = {
      {"a", "A", 0, -1},          // lower case first, case ignored by Text
      {"A", "b", -1, -1},         // letters before case
      {"B", "a", 1, 1},
      {"Ab", "ac", -1, -1},
      {"ab", "AB", 0, -1},
      {"aB", "Ab", 0, -1},        // the first difference in case decides
      {"_", "a", -1, -1},         // punctuation before letters
      {"-", "0", -1, -1},
      {"9", "a", -1, -1},         // digits before letters
      {"", "a", -1, -1},
      {"Zeta", "阿", -1, -1},     // Latin before hanzi
      {"阿", "澳", -1, -1},
      {"澳", "亍", -1, -1},
      {"亍", "丂", -1, -1},       // level 2 and extension placed by pinyin, not by code
      {"丂", "张三", -1, -1},
      {"张三", "中文", -1, -1},
      {"中", "中文", -1, -1},
      {"ａ", "Ａ", 0, -1},        // full-width letters have case too
      {"a", "ａ", -1, -1},        // but differ from half-width ones
      {"α", "Α", 0, -1},          // and so do Greek ones
  };
  for (const Case& c : cases) {
    AnsiString a = A(c.a), b = A(c.b);
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    EXPECT_EQ(Sign(AnsiCompareText(a, b)), c.text);
    EXPECT_EQ(Sign(AnsiCompareText(b, a)), -c.text);
    EXPECT_EQ(Sign(AnsiCompareStr(a, b)), c.str);
    EXPECT_EQ(Sign(AnsiCompareStr(b, a)), -c.str);
    EXPECT_EQ(AnsiSameText(a, b), c.text == 0);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1), c.text + CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), int(a.size()), b.c_str(), int(b.size())),
              c.str + CSTR_EQUAL);
  }
}

TEST(Collation, MixedCaseListsInBothVariants) {
  TStringList list;
  Fill(list, {"B", "b", "A", "a", "b", "A"});
  list.Sort();  // ignoring case: equal items keep their order
  EXPECT_EQ(ItemsOf(list), (Items{"A", "a", "A", "B", "b", "b"}));
  list.SetCaseSensitive(true);
  list.Sort();
  EXPECT_EQ(ItemsOf(list), (Items{"a", "A", "A", "b", "b", "B"}));

  // A sorted list finds by the same comparison it sorts by.
  TStringList sorted;
  sorted.SetSorted(true);
  Fill(sorted, A({"Zeta", "中文", "b", "阿", "A", "_x", "丂"}));
  EXPECT_EQ(ItemsOf(sorted), A({"_x", "A", "b", "Zeta", "阿", "丂", "中文"}));
  EXPECT_EQ(sorted.Add("a"), 1) << "equal to \"A\" without case: ignored";
  EXPECT_EQ(sorted.Count(), 7);
  EXPECT_EQ(sorted.IndexOf("ZETA"), 3);
  EXPECT_EQ(sorted.IndexOf(A("丂")), 5);
  int at = -1;
  EXPECT_FALSE(sorted.Find(A("亍"), at));
  EXPECT_EQ(at, 5);
  EXPECT_FALSE(sorted.Find("a_", at));
  EXPECT_EQ(at, 2);

  // An unsorted list looks up by the same equality.
  TStringList plain;
  Fill(plain, A({"中文", "ａｂ", "ab"}));
  EXPECT_EQ(plain.IndexOf(A("ＡＢ")), 1);
  EXPECT_EQ(plain.IndexOf("AB"), 2);
  plain.SetCaseSensitive(true);
  EXPECT_EQ(plain.IndexOf(A("ＡＢ")), -1);
  EXPECT_EQ(plain.IndexOf(A("ａｂ")), 1);

  sorted.SetCaseSensitive(true);
  EXPECT_EQ(sorted.Add("a"), 1);
  EXPECT_EQ(sorted.IndexOf("A"), 2);
  EXPECT_EQ(sorted.IndexOf("ZETA"), -1);
}

// Strings with bytes that are not CP936 text, next to the text they might be
// mistaken for.
// "\xA1" "a" and "\xA1" "A" are pairs of the user-defined area whose trail
// bytes are letters: two different characters, not one letter in two cases.
const Items kOdd = {"", "?", "a", "A", "\xFF", "\x80", "\x81", "a\x81", "a\xFF", "\xA1\xA0", "\xAA\xA1",
                    "\x81\x30", "\x81\x7F", "\xD6\xD0", "\xD6\xD0\xFF", "\xD6", "\x81\x40", "\xFE\xFE", "\x7F",
                    "\xA1" "a", "\xA1" "A", "\x81" "a", "\x81" "A"};

TEST(Collation, InvalidBytesCompareWithoutMerging) {
  for (bool ignoreCase : {false, true}) {
    SCOPED_TRACE(ignoreCase);
    for (const AnsiString& a : kOdd)
      for (const AnsiString& b : kOdd) {
        int r = AnsiCollate(a, b, ignoreCase);
        EXPECT_EQ(r, -AnsiCollate(b, a, ignoreCase));
        bool same = ignoreCase ? SameText(a, b) : a == b;  // ASCII folding is all the case here
        EXPECT_EQ(r == 0, same) << "\"" << a << "\" vs \"" << b << "\"";
      }
  }
  // A sorted list keeps every one of them and finds each.
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetCaseSensitive(true);
  Fill(sorted, kOdd);
  EXPECT_EQ(sorted.Count(), int(kOdd.size()));
  for (const AnsiString& s : kOdd) EXPECT_EQ(sorted.Get(sorted.IndexOf(s)), s);
}

TEST(Collation, KeysAndEqualityAgreeWithTheComparison) {
  Items all = kOdd;
  for (const AnsiString& s : kPrcOrder) all.push_back(s);
  for (const char* s : {"ab", "AB", "aB", "a b", "a-b", "ａ", "Ａ", "α", "Α", "ss", "1", "10", "2", "aα", "AΑ", "Aα", "ab中", "AB中"})
    all.push_back(A(s));
  for (bool ignoreCase : {false, true}) {
    SCOPED_TRACE(ignoreCase);
    for (const AnsiString& a : all)
      for (const AnsiString& b : all) {
        std::string ka = AnsiCollationKey(a, ignoreCase), kb = AnsiCollationKey(b, ignoreCase);
        int r = AnsiCollate(a, b, ignoreCase);
        EXPECT_EQ(Sign(ka.compare(kb)), r) << "\"" << a << "\" vs \"" << b << "\"";
        EXPECT_EQ(AnsiCollateSame(a, b, ignoreCase), r == 0) << "\"" << a << "\" vs \"" << b << "\"";
      }
  }
}

TEST(Collation, CompareStringArguments) {
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, "abc", 2, "abd", 2), CSTR_EQUAL);  // counts limit
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "abc", -1, "ab", -1), CSTR_GREATER_THAN);
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "", 0, "a", 1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, nullptr, -1, "a", -1), 0);
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "a", -2, "a", -1), 0);
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0x1000, "a", -1, "a", -1), 0);
}

TEST(Collation, OtherThreadsCompareAlike) {
  std::vector<Items> results(4);
  std::vector<std::thread> threads;
  for (Items& r : results)
    threads.emplace_back([&r] {
      for (int round = 0; round < 50; ++round) {
        TStringList list;
        Fill(list, Items(kPrcOrder.rbegin(), kPrcOrder.rend()));
        list.Sort();
        r = ItemsOf(list);
      }
    });
  for (std::thread& t : threads) t.join();
  for (const Items& r : results) EXPECT_EQ(r, kPrcOrder);
}

TEST(Collation, LocaleRoutinesThatTestEquality) {
  EXPECT_TRUE(AnsiStartsText(A("ａＢ"), A("Ａｂｃ")));
  EXPECT_TRUE(AnsiEndsText(A("Ｃ"), A("ａｂｃ")));
  EXPECT_FALSE(AnsiStartsText(A("ａ"), "abc"));
  EXPECT_EQ(AnsiStrLIComp("abX", "ABy", 2), 0);
  EXPECT_LT(AnsiStrLIComp("_", "a", 1), 0);
}

}  // namespace
