// Dates under the Chinese profile: keywords with offsets, typed dates and the
// bounds of years 100 and 9999, the null date, dates to text, calendar
// arithmetic, week numbers across year ends for every rule and first day of
// the week, and a fuzz run of the parser on random CP936 text.
#include "editors/uxdateutils.h"

#include "editors/uxformats.h"
#include "platform/backend/headless/headless.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Wednesday 9 December 2026, 10:30.
const TDateTime Clock = EncodeDate(2026, 12, 9) + EncodeTime(10, 30, 0, 0);

struct DatesFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    ResetFormatSettings();
    uxDoneFormatController();
    SetClockForTests([] { return Clock; });
  }
  void TearDown() override {
    ResetClock();
    uxDoneFormatController();
    ResetFormatSettings();
  }
};

std::string Ymd(TDateTime D) {
  if (D == uxNullDate) return "null";
  Word Y, M, Dd;
  DecodeDate(D, Y, M, Dd);
  return std::to_string(Y) + "-" + std::to_string(M) + "-" + std::to_string(Dd);
}

TEST_F(DatesFixture, KeywordsAndOffsets) {
  struct Case {
    const char* Text;
    int StartOfWeek;  // -1: the locale's (Monday)
    const char* Expected;
  } Cases[] = {
      {"today", -1, "2026-12-9"},
      {"TODAY+3", -1, "2026-12-12"},
      {"  Today + 3 ", -1, "2026-12-12"},
      {"today+", -1, "2026-12-9"},       // a lone sign
      {"today-abc", -1, "2026-12-9"},    // a sign followed by letters
      {"today 5", -1, "2026-12-9"},      // any other rest is ignored
      {"today-30", -1, "2026-11-9"},
      {"yesterday", -1, "2026-12-8"},
      {"tomorrow - 2", -1, "2026-12-8"},
      {"Wednesday", -1, "2026-12-9"},    // today itself
      {"thursday", -1, "2026-12-10"},
      {"Tuesday", -1, "2026-12-15"},
      {"sunday", -1, "2026-12-13"},
      {"first", 0, "2026-12-6"},         // weeks from Sunday: the past Sunday
      {"seventh", 0, "2026-12-12"},      // the coming Saturday
      {"first", -1, "2026-12-7"},        // weeks from Monday
      {"seventh", -1, "2026-12-13"},
      {"fourth+1", 1, "2026-12-11"},
      {"bom", -1, "2026-12-1"},
      {"eom", -1, "2026-12-31"},
      {"eom+1", -1, "2027-1-1"},
  };
  for (const Case& C : Cases) {
    uxDoneFormatController();
    if (C.StartOfWeek >= 0) uxGetFormatController()->SetStartOfWeek(Byte(C.StartOfWeek));
    TDateTime D = 0;
    ASSERT_TRUE(uxSmartTextToDate(C.Text, D)) << C.Text;
    EXPECT_EQ(Ymd(D), C.Expected) << C.Text;
    EXPECT_EQ(D, std::trunc(D)) << C.Text << " has no time";
  }
  TDateTime D;
  ASSERT_TRUE(uxSmartTextToDate("now", D));
  EXPECT_EQ(D, Clock);
  EXPECT_FALSE(uxSmartTextToDate("2026-12-9", D));
  EXPECT_FALSE(uxSmartTextToDate("tod", D));
  EXPECT_FALSE(uxSmartTextToDate("", D));
}

TEST_F(DatesFixture, EndOfMonthInALeapFebruary) {
  SetClockForTests([] { return EncodeDate(2028, 2, 10); });
  TDateTime D;
  ASSERT_TRUE(uxSmartTextToDate("eom", D));
  EXPECT_EQ(Ymd(D), "2028-2-29");
  SetClockForTests([] { return EncodeDate(2100, 2, 10); });
  ASSERT_TRUE(uxSmartTextToDate("EOM", D));
  EXPECT_EQ(Ymd(D), "2100-2-28");
}

TEST_F(DatesFixture, TypedDatesAndTheirBounds) {
  struct Case {
    const char* Text;
    bool Ok;
    const char* Expected;
  } Cases[] = {
      {"2024-3-5", true, "2024-3-5"},
      {" 2024-03-05 ", true, "2024-3-5"},
      {"2024/3/5", true, "2024-3-5"},
      {"2024 3 5", true, "2024-3-5"},
      {"100-1-1", true, "100-1-1"},        // the first allowed year
      {"9999-12-31", true, "9999-12-31"},  // the last year
      {"10000-1-1", false, "null"},
      {"0000-1-1", false, "null"},
      {"0-1-1", true, "2000-1-1"},  // a short year is completed by the conversion
      {"2024-2-30", false, "null"},
      {"2024-13-1", false, "null"},
      {"today+3000000", false, "null"},    // beyond the year 9999
      {"today-800000", false, "null"},     // before the year 1
      {"eom+3", true, "2027-1-3"},
      {"", false, "null"},
      {"   ", false, "null"},
      {"abc", false, "null"},
      {"\xC3\xF7\xCC\xEC", false, "null"},  // 明天 is no keyword here
      // The short date format has no 年月日, so such text is no date.
      {"2024\xC4\xEA" "3\xD4\xC2" "5\xC8\xD5", false, "null"},
  };
  for (const Case& C : Cases) {
    TDateTime D = 12345;
    EXPECT_EQ(uxTextToDate(C.Text, D), C.Ok) << C.Text;
    EXPECT_EQ(Ymd(D), C.Expected) << C.Text;
  }
  EXPECT_EQ(uxGetFirstAllowedDate(), EncodeDate(100, 1, 1));
  TDateTime D;
  ASSERT_TRUE(uxTextToDate("2024-3-5 13:45", D));
  EXPECT_EQ(D, EncodeDate(2024, 3, 5) + EncodeTime(13, 45, 0, 0));
}

TEST_F(DatesFixture, ChineseLiteralsOfAReplacedShortFormatAreRemoved) {
  TFormatSettings FS = DefaultFormatSettings();
  FS.ShortDateFormat = "yyyy'\xC4\xEA'M'\xD4\xC2'd'\xC8\xD5'";
  SetFormatSettings(FS);
  struct Case {
    const char* Text;
    bool Ok;
    const char* Expected;
  } Cases[] = {
      {"2024\xC4\xEA" "3\xD4\xC2" "5\xC8\xD5", true, "2024-3-5"},
      {"2024-3-5", true, "2024-3-5"},
  };
  for (const Case& C : Cases) {
    TDateTime D;
    EXPECT_EQ(uxTextToDate(C.Text, D), C.Ok) << C.Text;
    EXPECT_EQ(Ymd(D), C.Expected) << C.Text;
  }
  AnsiString T = "2024\xC4\xEA 3\xD4\xC2" "5\xC8\xD5";
  uxPrepareDateText(T, true);
  EXPECT_EQ(T, "2024 3 5");
}

TEST_F(DatesFixture, DatesToText) {
  const TDateTime D = EncodeDate(2024, 3, 5) + EncodeTime(13, 45, 0, 0);
  struct Case {
    bool Edit, WithTime, FourDigits;
    TDateTime Value;
    const char* Expected;
  } Cases[] = {
      {true, false, false, D, "2024-03-05"},
      {true, true, false, D, "2024-03-05 13:45:00"},
      {false, false, false, EncodeDate(2024, 3, 5), "2024-3-5"},
      {false, false, false, D, "2024-3-5 13:45:00"},
      {false, false, true, uxNullDate, ""},
      {true, true, true, uxNullDate, ""},
  };
  for (const Case& C : Cases) {
    AnsiString T = "x";
    uxDateToText(C.Edit, C.WithTime, C.FourDigits, T, C.Value);
    EXPECT_EQ(T, C.Expected) << C.Expected;
  }
  TFormatSettings FS = DefaultFormatSettings();
  FS.ShortDateFormat = "yy-M-d";
  SetFormatSettings(FS);
  AnsiString T;
  uxDateToLocaleText(false, T, EncodeDate(2024, 3, 5));
  EXPECT_EQ(T, "24-3-5");
  uxDateToLocaleText(true, T, EncodeDate(2024, 3, 5));
  EXPECT_EQ(T, "2024-3-5");
  uxGetFormatController()->UseRuntimeDateFormats = true;
  uxDateToLocaleText(true, T, EncodeDate(2024, 3, 5));
  EXPECT_EQ(T, "2024-3-5");
}

TEST_F(DatesFixture, NullDateVariants) {
  struct Case {
    Variant V;
    bool Null;
  } Cases[] = {{Variant(-700000.0), true},      {Variant::FromDate(-700000.0), true},
               {Variant(-700000), true},        {Variant(0.0), false},
               {Variant(AnsiString("-700000")), false}, {Variant::Null(), false},
               {Variant(), false}};
  for (const Case& C : Cases) EXPECT_EQ(uxIsNullDateVar(C.V), C.Null) << VarToStrDef(C.V, "null");
  AnsiString T = "x";
  uxDateToText(false, false, false, T, uxNullDate);
  EXPECT_EQ(T, "");
}

TEST(CalendarArithmetic, MonthsAndDays) {
  struct AddCase {
    int Year, Month, Delta, RYear, RMonth, Result;
  } Adds[] = {{2024, 11, 3, 2025, 2, 0},  {2024, 1, -1, 2023, 12, 0}, {2024, 5, 25, 2026, 6, 2},
              {2024, 3, -15, 2022, 12, -1}, {2024, 12, 12, 2025, 12, 1}, {2024, 6, 0, 2024, 6, 0}};
  for (const AddCase& C : Adds) {
    int Y = C.Year, M = C.Month;
    EXPECT_EQ(uxAddMonths(Y, M, C.Delta), C.Result) << C.Year << "-" << C.Month << " + " << C.Delta;
    EXPECT_EQ(Y, C.RYear) << C.Year << "-" << C.Month << " + " << C.Delta;
    EXPECT_EQ(M, C.RMonth) << C.Year << "-" << C.Month << " + " << C.Delta;
  }
  int Y = 2024, M = 1;
  uxDecMonth(Y, M);
  EXPECT_TRUE(Y == 2023 && M == 12);
  uxIncMonth(Y, M);
  EXPECT_TRUE(Y == 2024 && M == 1);
  struct DayCase {
    int Year, Month, Day, Days, Corrected;
  } Days[] = {{2024, 2, 31, 29, 29}, {2023, 2, 0, 28, 1}, {1900, 2, 29, 28, 28}, {2000, 2, 29, 29, 29},
              {2024, 4, 31, 30, 30}, {2024, 12, 15, 31, 15}};
  for (const DayCase& C : Days) {
    EXPECT_EQ(uxGetDaysPerMonth(C.Year, C.Month), C.Days) << C.Year << "-" << C.Month;
    EXPECT_EQ(uxCorrectDay(C.Year, C.Month, C.Day), C.Corrected) << C.Year << "-" << C.Month << "-" << C.Day;
  }
  const TDateTime D = EncodeDate(2024, 3, 5);
  EXPECT_EQ(uxGetDatePart(0, D), 2024);
  EXPECT_EQ(uxGetDatePart(1, D), 3);
  EXPECT_EQ(uxGetDatePart(2, D), 5);
}

TEST_F(DatesFixture, DayOfWeekIndexFollowsTheFirstDay) {
  EXPECT_EQ(uxGetDayOfWeekIndex(Clock), 2);  // Wednesday from Monday
  uxGetFormatController()->SetStartOfWeek(0);
  EXPECT_EQ(uxGetDayOfWeekIndex(Clock), 3);
  uxGetFormatController()->SetStartOfWeek(3);
  EXPECT_EQ(uxGetDayOfWeekIndex(Clock), 0);
}

TEST(WeekOfYear, KnownWeeksAcrossYearEnds) {
  struct Case {
    int Y, M, D, Start, Rule, Week;
  } Cases[] = {
      {2024, 12, 31, 1, 3, 1},   // a Tuesday, weeks from Monday, four-day rule
      {2021, 1, 1, 1, 3, 53},    // Friday: the last week of 2020
      {2021, 1, 3, 1, 3, 53},
      {2021, 1, 4, 1, 3, 1},
      {2027, 1, 1, 1, 3, 53},
      {2026, 12, 31, 1, 3, 53},  // Thursday: 2026 has 53 weeks
      {2010, 1, 3, 1, 3, 53},
      {2022, 1, 1, 0, 2, 52},    // Saturday, first full week from Sunday
      {2022, 1, 2, 0, 2, 1},
      {2023, 1, 1, 0, 2, 1},     // a Sunday starts the first full week
      {2022, 1, 1, 0, 1, 1},     // the week of 1 January
      {2021, 12, 26, 0, 1, 1},   // its Sunday already is week 1 of 2022
      {2021, 12, 25, 0, 1, 52},
      {2024, 1, 1, 1, 0, 1},     // rule 0: the locale's (week of 1 January)
  };
  for (const Case& C : Cases)
    EXPECT_EQ(uxWeekOfYear(C.Start, C.Rule, EncodeDate(Word(C.Y), Word(C.M), Word(C.D)) + 0.5), C.Week)
        << C.Y << "-" << C.M << "-" << C.D << " start " << C.Start << " rule " << C.Rule;
}

// For every rule and first day of the week, around every year end from 1990
// to 2040: weeks are never 0, change only where a week starts, go up by one
// or restart at 1, and week 1 lies where the rule puts it.
TEST(WeekOfYear, EveryRuleAndFirstDayAcrossYearEnds) {
  for (int Rule = 1; Rule <= 3; ++Rule)
    for (int Start = 0; Start < 7; ++Start)
      for (int Year = 1990; Year <= 2040; ++Year) {
        const int From = int(EncodeDate(Word(Year), 12, 18)), To = int(EncodeDate(Word(Year + 1), 1, 14));
        int Prev = uxWeekOfYear(Start, Rule, From);
        for (int Day = From + 1; Day <= To; ++Day) {
          const int W = uxWeekOfYear(Start, Rule, Day);
          const bool WeekStarts = DayOfWeek(Day) - 1 == Start;
          const std::string Where = Ymd(Day) + " rule " + std::to_string(Rule) + " start " + std::to_string(Start);
          ASSERT_GE(W, 1) << Where;
          ASSERT_LE(W, 53) << Where;
          if (!WeekStarts)
            ASSERT_EQ(W, Prev) << Where;
          else
            ASSERT_TRUE(W == Prev + 1 || W == 1) << Where << ": " << Prev << " then " << W;
          Prev = W;
        }
        // Where week 1 starts: the week of 1 January, the first full week,
        // or the week that holds 4 January.
        const int Jan1 = int(EncodeDate(Word(Year + 1), 1, 1));
        const int Jan1Start = Jan1 - ((DayOfWeek(Jan1) - 1 - Start) % 7 + 7) % 7;
        const int Week1 = Rule == 1 ? Jan1Start : Rule == 2 ? (Jan1Start == Jan1 ? Jan1 : Jan1Start + 7)
                                                            : (Jan1 + 3) - ((DayOfWeek(Jan1 + 3) - 1 - Start) % 7 + 7) % 7;
        ASSERT_EQ(uxWeekOfYear(Start, Rule, Week1), 1) << Ymd(Week1) << " rule " << Rule << " start " << Start;
        ASSERT_NE(uxWeekOfYear(Start, Rule, Week1 - 1), 1) << Ymd(Week1 - 1) << " rule " << Rule;
      }
}

TEST(SmartDateWords, AppendedToAMask) {
  AnsiString M = "X";
  uxAddSmartDateWords(M, false);
  EXPECT_EQ(M,
            "(X)|('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
            "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
            "((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
  AnsiString N = "";
  uxAddSmartDateWords(N, true);
  EXPECT_NE(N.find("|'eom'|'now')("), AnsiString::npos);
}

// Random CP936 text: single-byte printables, digits and signs, double-byte
// characters, and now and then a lead byte cut off at the end.
TEST_F(DatesFixture, FuzzRandomTextNeverCrashesAndNoDateIsNull) {
  std::mt19937 Rng(20261211);
  auto Pick = [&](int N) { return int(Rng() % unsigned(N)); };
  const char* Pieces[] = {"today", "eom", "+", "-", " ", "/", ":", "-", "\xC4\xEA", "\xD4\xC2", "\xC8\xD5"};
  int Dates = 0;
  for (int Round = 0; Round < 4000; ++Round) {
    AnsiString T;
    const int Len = Pick(14);
    for (int I = 0; I < Len; ++I) {
      switch (Pick(6)) {
        case 0: T += char('0' + Pick(10)); break;
        case 1: T += char(0x20 + Pick(0x5F)); break;
        case 2: T += Pieces[Pick(int(std::size(Pieces)))]; break;
        default: {
          const int Trail = 0x40 + Pick(0xBF);
          T += char(0x81 + Pick(0x7E));
          T += char(Trail == 0x7F ? 0x80 : Trail);
          break;
        }
      }
    }
    if (Pick(10) == 0) T += char(0x81 + Pick(0x7E));
    TDateTime D = 1;
    const bool Ok = uxTextToDate(T, D);
    if (Ok) {
      ++Dates;
      Word Y, M, Dd;
      DecodeDate(D, Y, M, Dd);
      ASSERT_TRUE(Y >= 1 && Y <= 9999) << T;
    } else {
      ASSERT_EQ(D, uxNullDate) << T;
    }
    // Without digits and keywords a text is no date.
    AnsiString NoDigits;
    for (std::size_t I = 0; I < T.size(); ++I) {
      const unsigned char C = static_cast<unsigned char>(T[I]);
      if (C >= 0x81 && I + 1 < T.size()) {
        NoDigits += T.substr(I, 2);
        ++I;
      } else if (!(C >= '0' && C <= '9') && !(C >= 'A' && C <= 'Z') && !(C >= 'a' && C <= 'z') && C < 0x80) {
        NoDigits += T[I];
      }
    }
    D = 1;
    ASSERT_FALSE(uxTextToDate(NoDigits, D)) << NoDigits;
    ASSERT_EQ(D, uxNullDate) << NoDigits;
  }
  EXPECT_GT(Dates, 0);  // the run reached the successful paths too
}

}  // namespace
