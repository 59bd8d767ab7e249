#include "platform/rtl/locale.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/strings.h"

namespace {

class LocaleTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetFormatSettings(); }
};

// The profile's words must be the right characters, not merely some bytes:
// each is checked through the CP936 decoder against the UTF-8 text.
TEST_F(LocaleTest, ChineseProfileWordsDecodeToTheExpectedCharacters) {
  const TFormatSettings& fs = DefaultFormatSettings();
  struct Case {
    const AnsiString* value;
    const char* utf8;
  } cases[] = {
      {&fs.TimeAMString, "上午"},
      {&fs.TimePMString, "下午"},
      {&fs.CurrencyString, "￥"},
      {&fs.LongDateFormat, "yyyy'年'M'月'd'日'"},
      {&fs.LongMonthNames[0], "一月"},
      {&fs.LongMonthNames[9], "十月"},
      {&fs.LongMonthNames[10], "十一月"},
      {&fs.LongMonthNames[11], "十二月"},
      {&fs.ShortMonthNames[11], "十二月"},
      {&fs.LongDayNames[0], "星期日"},
      {&fs.LongDayNames[1], "星期一"},
      {&fs.LongDayNames[6], "星期六"},
      {&fs.ShortDayNames[0], "日"},
      {&fs.ShortDayNames[3], "三"},
      {&fs.ShortDayNames[6], "六"},
  };
  for (const Case& c : cases) EXPECT_EQ(AnsiToUtf8(*c.value), c.utf8);
  for (int m = 0; m < 12; ++m) EXPECT_EQ(fs.ShortMonthNames[m], fs.LongMonthNames[m]) << m;
}

TEST_F(LocaleTest, ChineseProfileNumbersAndPictures) {
  const TFormatSettings& fs = FormatSettings();
  EXPECT_EQ(fs.ShortDateFormat, "yyyy-M-d");
  EXPECT_EQ(fs.DateSeparator, '-');
  EXPECT_EQ(fs.ShortTimeFormat, "H:mm");
  EXPECT_EQ(fs.LongTimeFormat, "H:mm:ss");
  EXPECT_EQ(fs.CurrencyFormat, 0);
  EXPECT_EQ(fs.NegCurrFormat, 2);
  EXPECT_EQ(fs.CurrencyDecimals, 2);
  EXPECT_EQ(fs.ThousandSeparator, ',');
  EXPECT_EQ(fs.DecimalSeparator, '.');
  EXPECT_EQ(fs.TwoDigitYearCenturyWindow, 50);
  EXPECT_EQ(fs.FirstDayOfWeek, 0);  // Monday
  EXPECT_EQ(GetLocaleDateFormat(false), "yyyy-M-d");
  EXPECT_EQ(GetLocaleDateFormat(true), fs.LongDateFormat);
  EXPECT_EQ(GetLocaleTimeFormat(), "H:mm:ss");
}

TEST_F(LocaleTest, ReplacingTheSettingsNotifiesListenersUntilRemoved) {
  int calls = 0;
  char seenSeparator = 0;
  const int id = AddFormatSettingsListener([&] {
    ++calls;
    seenSeparator = FormatSettings().DateSeparator;
  });
  TFormatSettings fs = DefaultFormatSettings();
  fs.DateSeparator = '/';
  SetFormatSettings(fs);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seenSeparator, '/');  // the listener sees the new settings
  EXPECT_EQ(GetLocaleDateFormat(false), "yyyy-M-d");

  ResetFormatSettings();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(seenSeparator, '-');
  EXPECT_EQ(FormatSettings().DateSeparator, '-');

  RemoveFormatSettingsListener(id);
  SetFormatSettings(fs);
  EXPECT_EQ(calls, 2);
}

TEST_F(LocaleTest, VariablesInForceAreReloadedFromTheLocale) {
  int calls = 0;
  const int id = AddFormatSettingsListener([&] { ++calls; });
  // A program's own change touches the variables, not the locale.
  FormatSettings().ShortDateFormat = "d/M/yyyy";
  EXPECT_EQ(GetLocaleDateFormat(false), "yyyy-M-d");
  EXPECT_EQ(LocaleFormatSettings().ShortDateFormat, "yyyy-M-d");
  GetFormatSettings();
  EXPECT_EQ(FormatSettings().ShortDateFormat, "yyyy-M-d");
  EXPECT_EQ(calls, 1);

  // A replaced locale is what reloading brings back.
  TFormatSettings fs = DefaultFormatSettings();
  fs.ShortDateFormat = "yyyy/M/d";
  SetFormatSettings(fs);
  EXPECT_EQ(GetLocaleDateFormat(false), "yyyy/M/d");
  FormatSettings().ShortDateFormat = "x";
  GetFormatSettings();
  EXPECT_EQ(FormatSettings().ShortDateFormat, "yyyy/M/d");
  RemoveFormatSettingsListener(id);
}

TEST_F(LocaleTest, ListenerMayRemoveItselfAndOthersDuringNotification) {
  std::vector<int> order;
  int second = 0;
  int first = 0;
  first = AddFormatSettingsListener([&] {
    order.push_back(1);
    RemoveFormatSettingsListener(first);
  });
  second = AddFormatSettingsListener([&] { order.push_back(2); });
  ResetFormatSettings();
  ResetFormatSettings();
  RemoveFormatSettingsListener(second);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 2}));
}

}  // namespace
