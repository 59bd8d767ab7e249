#include "data/uxdatautils.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"

namespace {

class DataUtilsTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetFormatSettings(); }
};

TEST_F(DataUtilsTest, CurrencyFormatFromTheLocale) {
  AnsiString f;
  uxGetCurrencyFormat(f);
  EXPECT_EQ(f, "\xA3\xA4,0.00");  // ￥ before the number, two decimals
  TFormatSettings fs = DefaultFormatSettings();
  struct Case {
    const char* symbol;
    Byte format, decimals;
    const char* mask;
  } cases[] = {
      {"$", 2, 2, "$ ,0.00"}, {"$", 0, 0, "$,0."},       {"kr", 1, 1, ",0.0kr"},
      {"Fr.", 3, 2, ",0.00 Fr'.'"}, {"a,b", 0, 2, "a','b,0.00"}, {"$", 4, 2, ",0.00"},
  };
  for (const Case& c : cases) {
    fs.CurrencyString = c.symbol;
    fs.CurrencyFormat = c.format;
    fs.CurrencyDecimals = c.decimals;
    SetFormatSettings(fs);
    uxGetCurrencyFormat(f);
    EXPECT_EQ(f, c.mask);
  }
}

TEST_F(DataUtilsTest, PartsOfDatesAndWeeks) {
  EXPECT_EQ(uxIntPart(-2.75), -2);
  EXPECT_EQ(uxFracPart(-2.75), -0.75);
  EXPECT_EQ(uxLocaleFirstWeekDay(), 1);  // Monday
  const TDateTime sunday = EncodeDate(2026, 12, 13) + 0.5;
  EXPECT_EQ(uxWeekStart(sunday), EncodeDate(2026, 12, 7));
  TFormatSettings fs = DefaultFormatSettings();
  fs.FirstDayOfWeek = 6;
  SetFormatSettings(fs);
  EXPECT_EQ(uxLocaleFirstWeekDay(), 0);
  EXPECT_EQ(uxWeekStart(sunday), EncodeDate(2026, 12, 13));
  EXPECT_EQ(uxWeekStart(EncodeDate(2026, 12, 12)), EncodeDate(2026, 12, 6));
}

TEST_F(DataUtilsTest, TextMatches) {
  EXPECT_TRUE(uxTextMatches("abcd", "AB", true));
  EXPECT_FALSE(uxTextMatches("abcd", "AB", false));
  EXPECT_TRUE(uxTextMatches("abcd", "ABCD", false));
  EXPECT_TRUE(uxTextMatches("", "", true));
  EXPECT_FALSE(uxTextMatches("abc", "", true));
  EXPECT_FALSE(uxTextMatches("ab", "abc", true));
}

TEST_F(DataUtilsTest, TextMatchingNeverSplitsADoubleByteCharacter) {
  // 章 is D5 C2, 张 is D5 C5; 'a' (0x61) can be a trail byte ("\x81a").
  EXPECT_TRUE(uxTextMatches("\xD5\xC2x", "\xD5\xC2", true));
  EXPECT_FALSE(uxTextMatches("\xD5\xC2", "\xD5", true));
  EXPECT_FALSE(uxTextMatches("\xD5\xC5", "\xD5", true));
  // Folding leaves trail bytes alone: "\x81a" is one character, not "\x81" and 'a'.
  EXPECT_FALSE(uxTextMatches("\x81" "a", "\x81" "A", false));
  EXPECT_TRUE(uxTextMatches("ab\xD5\xC2", "AB\xD5\xC2", false));
}

class Item : public TCollectionItem {
  PV_CLASS(Item, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  void Assign(TPersistent* Source) override { Value = static_cast<Item*>(Source)->Value; }
  int Value = 0;
};

TEST_F(DataUtilsTest, CollectionAssignmentKeepsItems) {
  TuxCollection five(Item::StaticClass()), three(Item::StaticClass());
  for (int i = 0; i < 5; ++i) static_cast<Item*>(five.Add())->Value = i;
  for (int i = 0; i < 3; ++i) static_cast<Item*>(three.Add())->Value = 10 + i;
  TCollectionItem* first = five.Items(0);
  five.Assign(&three);
  ASSERT_EQ(five.Count(), 3);
  EXPECT_EQ(five.Items(0), first);
  EXPECT_EQ(static_cast<Item*>(five.Items(2))->Value, 12);
  three.Assign(&five);
  EXPECT_EQ(three.Count(), 3);
}

TEST_F(DataUtilsTest, DataBindingBase) {
  TuxCustomDataBinding binding(nullptr, nullptr);
  EXPECT_TRUE(binding.CanModify());
  binding.SetReadOnly(true);
  EXPECT_FALSE(binding.Modify());
  Variant v = 1;
  binding.GetBoundValue(v);
  EXPECT_TRUE(v.IsNull());
  struct Owner : TObject {
    int calls = 0;
    void Changed(TObject*, TObject*) { ++calls; }
  } owner;
  binding.NotifyDataChange(nullptr, nullptr);
  binding.OnDataChange = TuxCustomDataBinding::TNotifyHandler(&owner, &Owner::Changed);
  binding.NotifyDataChange(nullptr, nullptr);
  EXPECT_EQ(owner.calls, 1);
}

}  // namespace
