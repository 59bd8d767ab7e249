#include "editor/txteditmisc.h"

#include <gtest/gtest.h>

#include "editor/txtrules.h"

namespace {

TEST(TxtEditMisc, TabExpansion) {
  bool tabs = false;
  EXPECT_EQ(ExpandTabsAny("a\tb", 4, tabs), "a\t\t\tb");
  EXPECT_TRUE(tabs);
  EXPECT_EQ(ExpandTabsPow2("a\tb", 4, tabs), "a\t\t\tb");
  EXPECT_EQ(ExpandTabsAny("ab\tc\t", 3, tabs), "ab\tc\t\t");
  EXPECT_EQ(ExpandTabsAny("abc", 3, tabs), "abc");
  EXPECT_FALSE(tabs);
  EXPECT_EQ(TabsToSpacesWidth1("\ta\t", 1, tabs), " a ");
  for (int w : {2, 3, 4, 5, 8, 16})
    for (const char* s : {"\t", "x\ty", "\xD6\xD0\t\t!", "abcdefgh\t"}) {
      bool t1, t2;
      EXPECT_EQ(ExpandTabsAny(s, w, t1).size(), std::size_t(ExpandedLength(s, w)));
      if (IsTabWidthPow2(w)) {
        EXPECT_EQ(ExpandTabsPow2(s, w, t1), ExpandTabsAny(s, w, t2));
      }
    }
  EXPECT_TRUE(IsTabWidthPow2(65536));
  EXPECT_FALSE(IsTabWidthPow2(1));
  EXPECT_FALSE(IsTabWidthPow2(131072));
  EXPECT_EQ(ChooseTabExpander(0), &TabsToSpacesWidth1);
  EXPECT_EQ(ChooseTabExpander(8), &ExpandTabsPow2);
  EXPECT_EQ(ChooseTabExpander(6), &ExpandTabsAny);
  int before = 0;
  EXPECT_FALSE(FindFirstTab("abc", before));
  EXPECT_EQ(before, 3);
}

TEST(TxtEditMisc, Columns) {
  const struct {
    int index, width;
    const char* line;
    int col;
  } cases[] = {
      {3, 4, "a\tb", 5}, {1, 4, "a\tb", 1}, {0, 4, "a\tb", 1}, {2, 4, "a\tb", 2},
      {3, 1, "a\tb", 3}, {3, 4, "abc", 3}, {6, 4, "a\tb", 8},  // past the end: one cell each
  };
  for (const auto& c : cases) EXPECT_EQ(CharIndexToColumn(c.index, c.width, c.line), c.col) << c.index;
}

TEST(TxtEditMisc, ScansStepOverDoubleByteCharacters) {
  // "\x81\x5C" is one character whose second byte is "\"
  const std::string line = "a\x81\x5C\\b\xD6\xD0";
  EXPECT_EQ(ScanForwardInSet(line, 1, "\\"), 4);
  EXPECT_EQ(ScanForwardInSet(line, 3, "\\"), 4);  // started on a second byte
  EXPECT_EQ(ScanForwardInSet(line, 9, "\\"), 0);
  EXPECT_EQ(ScanForwardInSet(line, 0, "\\"), 0);
  EXPECT_EQ(ScanBackwardInSet(line, 7, "\\"), 4);
  EXPECT_EQ(ScanBackwardInSet(line, 3, "\\"), 0);
  EXPECT_EQ(ScanForwardLeadByte(line, 3), 6);
  EXPECT_EQ(ScanForwardLeadByte(line, 1), 2);
  EXPECT_EQ(ScanBackwardLeadByte(line, 5), 2);
  EXPECT_EQ(ScanBackwardLeadByte(line, 7), 6);
  const char* text = "ab\r\ncd";
  EXPECT_EQ(FindLineEnd(text), text + 2);
  EXPECT_EQ(FindLineEnd(nullptr), nullptr);
}

TEST(TxtEditMisc, SmallHelpers) {
  EXPECT_EQ(ClampInt(5, 1, 3), 3);
  EXPECT_EQ(ClampInt(-5, 1, 3), 1);
  int a = 1, b = 2;
  SwapIntegers(a, b);
  EXPECT_EQ(a, 2);
  TBufferCoord p1{5, 2}, p2{1, 3};
  EXPECT_EQ(EarlierPosition(p1, p2), p1);
  EXPECT_EQ(EarlierPosition(p2, p1), p1);
  EXPECT_EQ(ShortHighlighterName("TTxtRules"), "Rules");
  EXPECT_EQ(ShortHighlighterName("tTXTfoosyn"), "foo");
  EXPECT_EQ(ShortHighlighterName("TMySYN"), "My");
  EXPECT_EQ(ShortHighlighterName("Plain"), "Plain");
}

TEST(TxtEditMisc, GradientBands) {
  auto bands = GradientBands(RGB(0, 0, 0), RGB(255, 100, 10), true, RECT{0, 0, 10, 5}, 1);
  ASSERT_EQ(bands.size(), 2u);  // at least two steps
  EXPECT_EQ(bands[0].Rect.right, 5);
  EXPECT_EQ(bands[1].Rect.left, 5);
  EXPECT_EQ(bands[0].Color, RGB(0, 0, 0));
  EXPECT_EQ(bands[1].Color, RGB(255, 100, 10));
  EXPECT_EQ(GradientBands(0, 0, false, RECT{0, 0, 10, 1000}, 1000).size(), 256u);
}

TEST(TxtEditMisc, WalkAttributesOfAHighlighterWithoutAttributes) {
  TTxtRules h(nullptr);
  int calls = 0;
  auto cb = [&](TTxtCustomHighlighter*, TTxtHighlighterAttributes*, const AnsiString&, void*) {
    ++calls;
    return true;
  };
  EXPECT_TRUE(WalkHighlighterAttributes(&h, true, cb, nullptr));
  EXPECT_TRUE(WalkHighlighterAttributes(nullptr, true, cb, nullptr));
  EXPECT_EQ(calls, 0);
}

}  // namespace
