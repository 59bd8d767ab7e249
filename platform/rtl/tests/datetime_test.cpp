#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/locale.h"

namespace {

// CP936 words used below.
const char* const kAM = "\xC9\xCF\xCE\xE7";    // 上午
const char* const kPM = "\xCF\xC2\xCE\xE7";    // 下午
const char* const kYear = "\xC4\xEA";          // 年
const char* const kMonth = "\xD4\xC2";         // 月
const char* const kDay = "\xC8\xD5";           // 日
const char* const kThursday = "\xD0\xC7\xC6\xDA\xCB\xC4";  // 星期四
const char* const kFour = "\xCB\xC4";          // 四
const char* const kDecember = "\xCA\xAE\xB6\xFE\xD4\xC2";  // 十二月

// Every test runs on the Chinese profile with the clock at
// 2026-12-10 13:05:09.025 (a Thursday).
class DateTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    SetClock(2026, 12, 10, 13, 5, 9, 25);
  }
  void TearDown() override {
    ResetClock();
    ResetFormatSettings();
  }
  static void SetClock(Word y, Word m, Word d, Word h, Word n, Word s, Word z) {
    const TDateTime t = EncodeDateTime(y, m, d, h, n, s, z);
    SetClockForTests([t] { return t; });
  }
  static TDateTime Sample() { return EncodeDateTime(2026, 12, 10, 13, 5, 9, 25); }
};

TEST_F(DateTimeTest, EncodeAndDecodeDatesAcrossTheRange) {
  struct Case {
    Word y, m, d;
    double serial;
  } cases[] = {
      {1899, 12, 30, 0},    {1899, 12, 29, -1},     {1900, 3, 1, 61},     {1970, 1, 1, 25569},
      {2000, 1, 1, 36526},  {2024, 2, 29, 45351},   {2026, 12, 10, 46366}, {1, 1, 1, -693593},
      {9999, 12, 31, 2958465},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    Word y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
}

TEST_F(DateTimeTest, EncodeRejectsInvalidArguments) {
  struct DateCase {
    Word y, m, d;
  } dates[] = {{0, 1, 1},    {10000, 1, 1}, {2026, 0, 1},  {2026, 13, 1},
               {2026, 1, 0}, {2026, 4, 31}, {2026, 2, 29}, {2100, 2, 29}};
  for (const DateCase& c : dates) {
    TDateTime out = 123;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, out));
    EXPECT_EQ(out, 123);
    try {
      EncodeDate(c.y, c.m, c.d);
      ADD_FAILURE() << c.y << "-" << c.m << "-" << c.d << " was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "Invalid argument to date encode");
    }
  }
  struct TimeCase {
    Word h, n, s, z;
  } times[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const TimeCase& c : times) {
    TDateTime out;
    EXPECT_FALSE(TryEncodeTime(c.h, c.n, c.s, c.z, out));
    try {
      EncodeTime(c.h, c.n, c.s, c.z);
      ADD_FAILURE() << c.h << ":" << c.n << ":" << c.s << "." << c.z << " was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "Invalid argument to time encode");
    }
  }
  EXPECT_THROW(EncodeDateTime(2026, 2, 30, 0, 0, 0, 0), EConvertError);
}

TEST_F(DateTimeTest, NegativeValuesTakeTheAbsoluteFractionAsTimeOfDay) {
  struct Case {
    double value;
    Word y, m, d, h, n;
  } cases[] = {
      {-1.25, 1899, 12, 29, 6, 0},
      {-0.5, 1899, 12, 30, 12, 0},  // day 0 from either side
      {0.5, 1899, 12, 30, 12, 0},
      {-2.75, 1899, 12, 28, 18, 0},
  };
  for (const Case& c : cases) {
    Word y, m, d, h, n, s, z;
    DecodeDateTime(c.value, y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<Word>{y, m, d, h, n}), (std::vector<Word>{c.y, c.m, c.d, c.h, c.n})) << c.value;
  }
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
}

TEST_F(DateTimeTest, DecodingRoundsToWholeMillisecondsWithoutReachingMidnight) {
  Word y, m, d, h, n, s, z;
  DecodeDateTime(1.0 - 1e-10, y, m, d, h, n, s, z);
  EXPECT_EQ((std::vector<Word>{y, m, d, h, n, s, z}), (std::vector<Word>{1899, 12, 31, 0, 0, 0, 0}));
  DecodeDateTime(EncodeTime(23, 59, 59, 999), y, m, d, h, n, s, z);
  EXPECT_EQ((std::vector<Word>{h, n, s, z}), (std::vector<Word>{23, 59, 59, 999}));
  // Values outside the calendar decode to zeros rather than garbage.
  for (double bad : {-700000.0, 3000000.0, std::nan(""), HUGE_VAL}) {
    DecodeDate(bad, y, m, d);
    EXPECT_EQ((std::vector<Word>{y, m, d}), (std::vector<Word>{0, 0, 0})) << bad;
    EXPECT_NO_THROW(FormatDateTime("c ddd dddd mmm mmmm", bad));
  }
}

TEST_F(DateTimeTest, CalendarHelpers) {
  EXPECT_EQ(DayOfWeek(Sample()), 5);  // Thursday, Sunday = 1
  EXPECT_EQ(DayOfTheWeek(Sample()), 4);
  EXPECT_EQ(DayOfWeek(0), 7);         // 1899-12-30 was a Saturday
  EXPECT_EQ(DayOfWeek(-1.25), 6);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2026, 12, 13)), 7);  // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);          // Monday

  for (auto [year, leap] : std::vector<std::pair<Word, bool>>{{2024, true}, {2026, false}, {1900, false},
                                                              {2000, true}, {2100, false}}) {
    EXPECT_EQ(IsLeapYear(year), leap) << year;
    EXPECT_EQ(DaysInMonth(year, 2), leap ? 29 : 28) << year;
  }
  EXPECT_EQ(DateOf(-1.25), -1);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  EXPECT_EQ(DateOf(Sample()), EncodeDate(2026, 12, 10));
  EXPECT_EQ(DaysInMonth(2026, 4), 30);
  EXPECT_EQ(DaysInMonth(2026, 13), 0);
}

TEST_F(DateTimeTest, IncMonthClampsTheDayAndKeepsTheTime) {
  struct Case {
    Word y, m, d;
    int months;
    Word ey, em, ed;
  } cases[] = {
      {2026, 1, 31, 1, 2026, 2, 28},   {2024, 1, 31, 1, 2024, 2, 29},  {2026, 3, 31, -1, 2026, 2, 28},
      {2026, 12, 10, 1, 2027, 1, 10},  {2026, 1, 10, -13, 2024, 12, 10}, {2026, 5, 31, 12, 2027, 5, 31},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IncMonth(EncodeDateTime(c.y, c.m, c.d, 6, 30, 0, 0), c.months),
              EncodeDateTime(c.ey, c.em, c.ed, 6, 30, 0, 0))
        << c.y << "-" << c.m << "-" << c.d << " + " << c.months;
  // From a negative day to a positive one the time of day stays 06:00.
  EXPECT_EQ(IncMonth(-1.25, 1), EncodeDateTime(1900, 1, 29, 6, 0, 0, 0));
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_EQ(IncDay(-1.25, 2), 1.25);
}

TEST_F(DateTimeTest, CompareDateTimeFollowsTheClockAcrossNegativeDays) {
  // -1.25 is 06:00 and -1.5 is 12:00 of the same day.
  EXPECT_EQ(CompareDateTime(-1.25, -1.5), -1);
  EXPECT_EQ(CompareDateTime(-0.5, 0.5), 0);
  EXPECT_EQ(CompareDateTime(Sample(), Sample() + 0.2 / MSecsPerDay), 0);
  EXPECT_EQ(CompareDateTime(1, 0.5), 1);
  EXPECT_TRUE(SameDate(Sample(), EncodeDate(2026, 12, 10)));
  EXPECT_FALSE(SameDate(Sample(), EncodeDate(2026, 12, 11)));
}

TEST_F(DateTimeTest, ClockIsInjectable) {
  EXPECT_EQ(Now(), Sample());
  EXPECT_EQ(Date(), EncodeDate(2026, 12, 10));
  EXPECT_EQ(Time(), EncodeTime(13, 5, 9, 25));
  ResetClock();
  Word y, m, d;
  DecodeDate(Now(), y, m, d);
  EXPECT_GE(y, 2020);
}

TEST_F(DateTimeTest, FormatDateTimePatterns) {
  const AnsiString pm = kPM;
  struct Case {
    const char* pattern;
    AnsiString expected;
  } cases[] = {
      {"yyyy-mm-dd", "2026-12-10"},
      {"yy/m/d", "26-12-10"},  // '/' is the date separator
      {"YYYY MM DD", "2026 12 10"},
      {"y", "26"},
      {"yyy", "2026"},
      {"h:nn:ss.zzz", "13:05:09.025"},
      {"hh:mm", "13:05"},  // m after h is minutes
      {"h:m:s z", "13:5:9 25"},
      {"h'x'm", "13x5"},
      {"h d m", "13 10 12"},  // a day item between: month again
      {"mm", "12"},
      {"ddd", kFour},
      {"dddd", kThursday},
      {"mmm", kDecember},
      {"mmmm", kDecember},
      {"ddddd", "2026-12-10"},
      {"dddddd", AnsiString("2026") + kYear + "12" + kMonth + "10" + kDay},
      {"c", "2026-12-10 13:05:09"},
      {"", "2026-12-10 13:05:09"},
      {"t", "13:05"},
      {"tt", "13:05:09"},
      {"h am/pm", "1 pm"},
      {"h AM/PM", "1 PM"},
      {"hh A/P", "01 P"},
      {"h:nn ampm", "1:05 " + pm},
      {"ampm h", pm + " 13"},  // the clock is 12-hour only when am/pm follows
      {"h 'am/pm'", "13 am/pm"},
      {"'yyyy'yyyy", "yyyy2026"},
      {"\"d\"d", "d10"},
      {"'unterminated", "unterminated"},
      {"yyyy x", "2026 x"},
      // Double-byte characters whose trail bytes are pattern letters stay whole.
      {"\xB0\x64\xB0\x6D\xB0\x79\xB0\x68 d", "\xB0\x64\xB0\x6D\xB0\x79\xB0\x68 10"},
      {"yyyy\xC4\xEA", AnsiString("2026") + kYear},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, Sample()), c.expected) << c.pattern;
}

TEST_F(DateTimeTest, TwelveHourClockAtMidnightAndNoon) {
  struct Case {
    Word hour;
    const char* expected;
  } cases[] = {{0, "12 am"}, {11, "11 am"}, {12, "12 pm"}, {23, "11 pm"}};
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(c.hour, 0, 0, 0)), c.expected) << c.hour;
  EXPECT_EQ(FormatDateTime("ampm", EncodeTime(9, 0, 0, 0)), kAM);
}

TEST_F(DateTimeTest, SelfReferringFormatsStop) {
  TFormatSettings fs = DefaultFormatSettings();
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  SetFormatSettings(fs);
  EXPECT_NO_THROW(FormatDateTime("c", Sample()));
}

TEST_F(DateTimeTest, StandardTextForms) {
  EXPECT_EQ(DateToStr(Sample()), "2026-12-10");
  EXPECT_EQ(TimeToStr(Sample()), "13:05:09");
  EXPECT_EQ(DateTimeToStr(Sample()), "2026-12-10 13:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 1, 5)), "2026-1-5");  // midnight: no time
  EXPECT_EQ(DateTimeToStr(-1.25), "1899-12-29 6:00:00");
}

TEST_F(DateTimeTest, ReadsDatesInTheLocaleOrderWithTheYearWindow) {
  struct Case {
    const char* text;
    Word y, m, d;
  } cases[] = {
      {"2026-12-10", 2026, 12, 10},
      {"2026-1-5", 2026, 1, 5},
      {" 2026 - 01 - 05 ", 2026, 1, 5},
      {"2026-12-10-", 2026, 12, 10},
      {"26-12-10", 2026, 12, 10},
      {"75-1-1", 2075, 1, 1},  // window: 1976 .. 2075
      {"76-1-1", 1976, 1, 1},
      {"00-1-1", 2000, 1, 1},
      {"5-1-1", 2005, 1, 1},
      {"0099-1-1", 99, 1, 1},  // four digits are taken as written
      {"12-10", 2026, 12, 10},  // month and day of the current year
      {"1899-12-29", 1899, 12, 29},
  };
  for (const Case& c : cases) {
    TDateTime v;
    ASSERT_TRUE(TryStrToDate(c.text, v)) << c.text;
    EXPECT_EQ(v, EncodeDate(c.y, c.m, c.d)) << c.text;
    EXPECT_EQ(StrToDate(c.text), v);
  }
}

TEST_F(DateTimeTest, YearWindowFollowsTheClock) {
  SetClock(2080, 6, 1, 0, 0, 0, 0);
  EXPECT_EQ(StrToDate("30-1-1"), EncodeDate(2030, 1, 1));
  EXPECT_EQ(StrToDate("29-1-1"), EncodeDate(2129, 1, 1));
  EXPECT_EQ(StrToDate("3-4"), EncodeDate(2080, 3, 4));
}

TEST_F(DateTimeTest, OtherDateOrders) {
  TFormatSettings fs = DefaultFormatSettings();
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.DateSeparator = '/';
  SetFormatSettings(fs);
  EXPECT_EQ(StrToDate("10/12/2026"), EncodeDate(2026, 12, 10));
  EXPECT_EQ(StrToDate("10/12"), EncodeDate(2026, 12, 10));
  EXPECT_EQ(DateToStr(Sample()), "10/12/2026");
  fs.ShortDateFormat = "M/d/yy";
  SetFormatSettings(fs);
  EXPECT_EQ(StrToDate("12/10/26"), EncodeDate(2026, 12, 10));
}

TEST_F(DateTimeTest, InvalidDatesRaiseWithTheText) {
  for (const char* text : {"", " ", "2026", "2026/12/10", "2026-13-1", "2026-2-29", "abc", "2026-12-10x",
                           "12345-1-1", "2026--10", "-2026-1-1", "10000-1-1"}) {
    TDateTime v = 7;
    EXPECT_FALSE(TryStrToDate(text, v)) << text;
    EXPECT_EQ(v, 7);
    EXPECT_EQ(StrToDateDef(text, 3), 3);
    try {
      StrToDate(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "'" + AnsiString(text) + "' is not a valid date");
    }
  }
}

TEST_F(DateTimeTest, ReadsTimesWithTheLocaleWords) {
  const AnsiString am = kAM, pm = kPM;
  struct Case {
    AnsiString text;
    Word h, n, s, z;
  } cases[] = {
      {"13:05:09", 13, 5, 9, 0},
      {"13:05", 13, 5, 0, 0},
      {"13", 13, 0, 0, 0},
      {" 7 : 08 ", 7, 8, 0, 0},
      {"13:05:09.250", 13, 5, 9, 250},
      {"1:05 " + pm, 13, 5, 0, 0},
      {pm + " 1:05", 13, 5, 0, 0},
      {pm + "1:05", 13, 5, 0, 0},
      {"12:00 " + am, 0, 0, 0, 0},
      {"12:30 " + pm, 12, 30, 0, 0},
      {"9:15 " + am, 9, 15, 0, 0},
      {"1:05 pm", 13, 5, 0, 0},
      {"11:59:59 PM", 23, 59, 59, 0},
      {"am 12:01", 0, 1, 0, 0},
  };
  for (const Case& c : cases) {
    TDateTime v;
    ASSERT_TRUE(TryStrToTime(c.text, v)) << c.text;
    EXPECT_EQ(v, EncodeTime(c.h, c.n, c.s, c.z)) << c.text;
  }
}

TEST_F(DateTimeTest, InvalidTimesRaiseWithTheText) {
  const AnsiString am = kAM, pm = kPM;
  for (const AnsiString& text : {AnsiString(""), AnsiString("24:00"), AnsiString("13:60"),
                                 AnsiString("1:00:60"), pm + " 13:00", AnsiString("0:30 AM"),
                                 AnsiString("1:05 xx"), AnsiString("1:"), AnsiString(":05"),
                                 AnsiString("13:05:09."), am}) {
    TDateTime v;
    EXPECT_FALSE(TryStrToTime(text, v)) << text;
    try {
      StrToTime(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "'" + text + "' is not a valid time");
    }
  }
}

TEST_F(DateTimeTest, ReadsDateAndTime) {
  const AnsiString pm = kPM;
  struct Case {
    AnsiString text;
    double expected;
  } cases[] = {
      {"2026-12-10 13:05:09", EncodeDateTime(2026, 12, 10, 13, 5, 9, 0)},
      {"2026-12-10", EncodeDate(2026, 12, 10)},
      {"2026-12-10 1:05 " + pm, EncodeDateTime(2026, 12, 10, 13, 5, 0, 0)},
      {"13:05", EncodeTime(13, 5, 0, 0)},  // a time alone is a time on day 0
      {"1899-12-29 06:00", -1.25},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToDateTime(c.text), c.expected) << c.text;
  for (const char* text : {"2026-12-10 25:00", "2026-12-10 13:05 x", "x 2026-12-10", "2026-12-10 13:05:09 PM"}) {
    try {
      StrToDateTime(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "'" + AnsiString(text) + "' is not a valid date and time");
    }
  }
}

TEST_F(DateTimeTest, TextRoundTripsIncludingNegativeDays) {
  for (double v : {EncodeDateTime(2026, 12, 10, 13, 5, 9, 0), EncodeDate(2026, 2, 28), -1.25, -693593.5, 2958465.75}) {
    EXPECT_EQ(StrToDateTime(DateTimeToStr(v)), v) << DateTimeToStr(v);
  }
}

TEST_F(DateTimeTest, LocalePictures) {
  const AnsiString pm = kPM;
  EXPECT_EQ(GetDateFormatStr(Sample()), "2026-12-10");
  EXPECT_EQ(GetDateFormatStr(Sample(), true), AnsiString("2026") + kYear + "12" + kMonth + "10" + kDay);
  EXPECT_EQ(GetTimeFormatStr(Sample()), "13:05:09");
  struct Case {
    const char* picture;
    bool date;
    AnsiString expected;
  } cases[] = {
      {"yy/MM/dd", true, "26/12/10"},
      {"y-M-d", true, "26-12-10"},
      {"dddd MMMM", true, AnsiString(kThursday) + " " + kDecember},
      {"ddd", true, kFour},
      {"MM-mm hh", true, "12-mm hh"},  // time letters are text in a date picture
      {"yyyy''MM", true, "2026'12"},
      {"'d''M' d", true, "d'M 10"},
      {"hh:mm tt", false, "01:05 " + pm},
      {"h t", false, "1 \xCF\xC2"},  // the first character of the word
      {"HH:mm:ss", false, "13:05:09"},
      {"H 'h' m", false, "13 h 5"},
      {"dd MM H", false, "dd MM 13"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.date ? GetDateFormatStr(Sample(), c.picture) : GetTimeFormatStr(Sample(), c.picture),
              c.expected)
        << c.picture;
}

}  // namespace

namespace {

TEST_F(DateTimeTest, FormattingWithGivenSettingsIgnoresTheVariablesInForce) {
  TFormatSettings changed = DefaultFormatSettings();
  changed.DateSeparator = '/';
  changed.TimeSeparator = '.';
  changed.ShortDateFormat = "d/M/yyyy";
  SetFormatSettings(changed);
  const TDateTime v = EncodeDate(2026, 12, 10) + EncodeTime(13, 5, 9, 0);
  EXPECT_EQ(DateTimeToStr(v), "10/12/2026 13.05.09");
  EXPECT_EQ(DateTimeToStr(v, DefaultFormatSettings()), "2026-12-10 13:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 1, 2), DefaultFormatSettings()), "2026-1-2");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", v, DefaultFormatSettings()), "2026-12-10 13:05");
  ResetFormatSettings();
}

}  // namespace
