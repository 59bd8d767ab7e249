// The format controller under the Chinese profile and under replaced
// profiles: parsed items, standard and regular-expression masks, display
// formats, the currency format, item positions, and the notifications that
// reach listeners through the hidden window.
#include "editors/uxformats.h"

#include "editors/uxdateutils.h"
#include "editors/uxregexpr.h"
#include "platform/rtl/streams.h"
#include "platform/backend/headless/headless.h"
#include "platform/rtl/locale.h"
#include "platform/win/messages.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FormatsFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    ResetFormatSettings();
    uxDoneFormatController();
  }
  void TearDown() override {
    uxDoneFormatController();
    ResetFormatSettings();
  }
};

std::string Items(const TuxDateTimeFormatInfo& Info) {
  std::string S;
  for (const auto& It : Info.Items) {
    if (!S.empty()) S += " ";
    S += std::to_string(It.Kind) + ":" + It.Data;
  }
  return S;
}

TEST_F(FormatsFixture, ParsesFormatStringsIntoItems) {
  struct Case {
    const char* Format;
    bool Ok;
    const char* Items;
  } Cases[] = {
      {"yyyy-M-d", true, "1:YYYY 0:- 2:M 0:- 3:D"},
      {"h:mm AMPM", true, "4:12H 10:: 5:NN 0:  8:AMPM"},
      {"HH:mm", true, "4:24HH 10:: 5:NN"},
      {"h:mm am/pm", true, "4:12H 10:: 5:NN 0:  8:am/pm"},
      {"hh a/p", true, "4:12HH 0:  8:a/p"},
      {"d/M/yy dd", true, "3:D 9:/ 2:M 9:/ 1:YY 0: "},  // the second day item is dropped
      {"yyyy'\xC4\xEA'M\"\xD4\xC2\"d'\xC8\xD5'", true, "1:YYYY 0:\xC4\xEA 2:M 0:\xD4\xC2 3:D 0:\xC8\xD5"},
      {"yyyy\xC4\xEAMMMM", true, "1:YYYY 0:\xC4\xEA 2:MMMM"},  // an unquoted hanzi is literal text
      {"gg yyyy", false, ""},
      {"", true, "1:YYYY 0:- 2:M 0:- 3:D 0:  4:24H 10:: 5:NN 10:: 6:SS"},  // "C"
      {"ddddd", true, "1:YYYY 0:- 2:M 0:- 3:D"},
      {"tt", true, "4:24H 10:: 5:NN 10:: 6:SS"},
      {"t", true, "4:24H 10:: 5:NN"},
      {"aaaa, yy", true, "3:DDDD 0:,  1:YY"},
      {"AMPM", true, ""},  // a designator without an hour is dropped
      {"hh:nn:ss.zzz", true, "4:24HH 10:: 5:NN 10:: 6:SS 0:. 7:ZZZ"},
      {"yy:mm", true, "1:YY 10:: 2:MM"},  // "m" counts as minutes only after an hour
  };
  for (const Case& C : Cases) {
    TuxDateTimeFormatInfo Info;
    EXPECT_EQ(uxParseDateTimeFormat(C.Format, Info), C.Ok) << C.Format;
    EXPECT_EQ(Items(Info), C.Items) << C.Format;
  }
}

TEST_F(FormatsFixture, ChineseProfileMasksAndFormats) {
  TuxFormatController* FC = uxGetFormatController();
  EXPECT_EQ(FC->DateEditFormat, "yyyy-MM-dd");
  EXPECT_EQ(FC->StandardDateEditMask, "!9999\\-99\\-99;1; ");
  EXPECT_EQ(FC->DateEditMask, FC->StandardDateEditMask);
  EXPECT_EQ(FC->StandardDateTimeEditMask, "!9999\\-99\\-99\\ 99:99:99;1; ");
  EXPECT_EQ(FC->MaskedDateEditFormat, "yyyy'-'mm'-'dd");
  EXPECT_EQ(FC->MaskedDateTimeEditFormat, "yyyy'-'mm'-'dd' 'hh:nn:ss");
  EXPECT_EQ(FC->CurrencyFormat, "\xA3\xA4,0.00;\xA3\xA4-,0.00");  // ￥ before the number, "-" after it
  EXPECT_EQ(FC->StartOfWeek, 1);  // Monday
  EXPECT_EQ(FC->FirstWeekOfYear, 0);
  EXPECT_FALSE(FC->UseRuntimeDateFormats);
  // The month by number or by the locale's names (一月 ...), then the keywords.
  const std::string Date = FC->RegExprDateEditMask;
  EXPECT_EQ(Date.rfind("(\\d\\d\\d\\d'-'((0?[1-9]|1[012])|('\xD2\xBB\xD4\xC2'|", 0), 0u) << Date;
  EXPECT_NE(Date.find("|'\xCA\xAE\xB6\xFE\xD4\xC2'))'-'([012]?[1-9]|[123]0|31))|('today'|'yesterday'|"), std::string::npos)
      << Date;
  EXPECT_NE(Date.find("|'bom'|'eom')((\\+|-)\\d(\\d(\\d\\d?)?)?)?"), std::string::npos) << Date;
  EXPECT_EQ(Date.find("'now'"), std::string::npos);
  const std::string DateTime = FC->RegExprDateTimeEditMask;
  EXPECT_NE(DateTime.find(" ' '(([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d)?)|("), std::string::npos) << DateTime;
  EXPECT_NE(DateTime.find("|'eom'|'now')"), std::string::npos) << DateTime;
  EXPECT_EQ(FC->GetFormatTextLength(FC->DateFormatInfo), 10);
}

TEST_F(FormatsFixture, ReplacedProfileWithChineseLiteralsAndTwelveHourClock) {
  TFormatSettings FS = DefaultFormatSettings();
  FS.ShortDateFormat = "yyyy'\xC4\xEA'M'\xD4\xC2'd'\xC8\xD5'";
  FS.LongTimeFormat = "h:mm:ss AMPM";
  FS.DateSeparator = '/';
  SetFormatSettings(FS);
  TuxFormatController* FC = uxGetFormatController();
  EXPECT_EQ(FC->StandardDateEditMask, "!9999\\\xC4\xEA" "99\\\xD4\xC2" "99\\\xC8\xD5;1; ");
  EXPECT_EQ(FC->MaskedDateEditFormat, "yyyy'\xC4\xEA'mm'\xD4\xC2'dd'\xC8\xD5'");
  EXPECT_EQ(FC->RegExprDateEditMask.rfind("(\\d\\d\\d\\d'\xC4\xEA'((0?[1-9]|1[012])|(", 0), 0u);
  EXPECT_NE(FC->RegExprDateEditMask.find("'\xD4\xC2'([012]?[1-9]|[123]0|31)'\xC8\xD5')|("), std::string::npos);
  // 上午/下午 are four bytes each: four mask characters.
  EXPECT_EQ(Items(FC->TimeFormatInfo), "4:12H 10:: 5:NN 10:: 6:SS 0:  8:AMPM");
  EXPECT_NE(FC->RegExprDateTimeEditMask.find("(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('\xC9\xCF\xCE\xE7'|'"
                                             "\xCF\xC2\xCE\xE7')?"),
            std::string::npos)
      << FC->RegExprDateTimeEditMask;
  EXPECT_EQ(FC->StandardDateTimeEditMask.substr(FC->StandardDateTimeEditMask.size() - 20),
            "\\ 99:99:99\\ cccc;1; ");
  EXPECT_EQ(FC->DateEditFormat, "yyyy'\xC4\xEA'MM'\xD4\xC2'dd'\xC8\xD5'");
}

TEST_F(FormatsFixture, StandardAndDisplayFormsOfKinds) {
  struct Case {
    const char* Format;
    TuxMaskKind Kind;
    const char* Mask;
    const char* Display;
  } Cases[] = {
      {"yyyy-M-d", mkDate, "!9999\\-99\\-99;1; ", "yyyy'-'mm'-'dd"},
      {"dd/mmm/yy", mkDate, "!99/lll/99;1; ", "dd/mmm/yy"},
      {"hh:nn a/p", mkTime, "00:00\\ c;1;0", "hh:nn' 'a/p"},
      {"hh:nn AM/PM", mkDateTime, "!99:99\\ cc;1; ", "hh:nn' 'am/pm"},
      {"gg", mkDate, "", ""},
  };
  for (const Case& C : Cases) {
    TuxDateTimeFormatInfo Info;
    uxParseDateTimeFormat(C.Format, Info);
    EXPECT_EQ(uxGetStandardMask(Info, C.Kind), C.Mask) << C.Format;
    EXPECT_EQ(uxGetDisplayFormat(Info), C.Display) << C.Format;
  }
}

TEST_F(FormatsFixture, CurrencyFormatByLocaleCodes) {
  struct Case {
    const char* Symbol;
    int Positive, Negative;
    const char* Expected;
  } Cases[] = {
      {"\xA3\xA4", 0, 2, "\xA3\xA4,0.00;\xA3\xA4-,0.00"},
      {"$", 1, 0, ",0.00$;($,0.00)"},
      {"$", 2, 9, "$ ,0.00;-$ ,0.00"},
      {"$", 3, 15, ",0.00 $;(,0.00 $)"},
      {"kr.", 3, 8, ",0.00 kr'.';-,0.00 kr'.'"},
      {"$", 4, 16, ";"},
      {"", 0, 1, ",0.00;-,0.00"},  // no symbol: the plain number, not an empty section
  };
  for (const Case& C : Cases) {
    TFormatSettings FS = DefaultFormatSettings();
    FS.CurrencyString = C.Symbol;
    FS.CurrencyFormat = Byte(C.Positive);
    FS.NegCurrFormat = Byte(C.Negative);
    SetFormatSettings(FS);
    EXPECT_EQ(uxGetCurrencyFormat(), C.Expected) << C.Symbol << " " << C.Positive << " " << C.Negative;
  }
}

TEST_F(FormatsFixture, ItemAtPosition) {
  TuxDateTimeFormatInfo Info;
  uxParseDateTimeFormat("yyyy-M-d h:nn AMPM", Info);
  struct Case {
    int Pos;
    bool Found;
    int Kind, Start, Width;
  } Cases[] = {{0, false, 0, 0, 0},
               {1, true, dtikYear, 1, 4},
               {4, true, dtikYear, 1, 4},
               {5, true, dtikText, 5, 1},
               {6, true, dtikMonth, 6, 2},
               {10, true, dtikDay, 9, 2},
               {15, true, dtikMin, 15, 2},
               {18, true, dtikTimeSuffix, 18, 4},  // the longer of 上午 and 下午, in bytes
               {22, false, 0, 0, 0}};
  for (const Case& C : Cases) {
    TuxDateTimeFormatItemInfo It;
    EXPECT_EQ(uxFindFormatItemAtPos(Info, C.Pos, It), C.Found) << C.Pos;
    if (!C.Found) continue;
    EXPECT_EQ(It.Kind, C.Kind) << C.Pos;
    EXPECT_EQ(It.ItemStart, C.Start) << C.Pos;
    EXPECT_EQ(It.ItemWidth, C.Width) << C.Pos;
  }
  TuxDateTimeFormatItemInfo It;
  ASSERT_TRUE(uxFindFormatItemAtPos(Info, 18, It));
  EXPECT_EQ(It.TimeSuffixKind, 2);
}

struct Listener : IuxFormatControllerListener {
  int Formats = 0;
  void FormatChanged() override { ++Formats; }
};
struct TimeListener : Listener, IuxFormatControllerListener2 {
  int Times = 0;
  void TimeChanged() override { ++Times; }
};

TEST_F(FormatsFixture, ReplacedProfileReachesListenersThroughSystemNotifications) {
  TuxFormatController* FC = uxGetFormatController();
  EXPECT_EQ(FC->Window(), nullptr);
  Listener A;
  TimeListener B;
  FC->AddListener(&A);
  FC->AddListener(&B);
  FC->AddListener(&A);  // once only
  EXPECT_EQ(FC->ListenerCount(), 2);
  const HWND W = FC->Window();
  ASSERT_TRUE(IsWindow(W));

  TFormatSettings FS = DefaultFormatSettings();
  FS.ShortDateFormat = "dd/MM/yyyy";
  FS.FirstDayOfWeek = 6;  // Sunday
  SetFormatSettings(FS);
  // Not yet: the controller hears of the change from the system.
  EXPECT_EQ(FC->DateEditFormat, "yyyy-MM-dd");
  SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("Windows"));
  EXPECT_EQ(A.Formats, 0);
  SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(A.Formats, 1);
  EXPECT_EQ(B.Formats, 1);
  EXPECT_EQ(FC->DateEditFormat, "dd/MM/yyyy");
  EXPECT_EQ(FC->StandardDateEditMask, "!99/99/9999;1; ");
  EXPECT_EQ(FC->StartOfWeek, 0);

  SendNotifyMessageA(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(B.Times, 1);
  EXPECT_EQ(A.Formats, 1);

  FC->RemoveListener(&A);
  EXPECT_TRUE(IsWindow(W));
  FC->RemoveListener(&B);
  EXPECT_FALSE(IsWindow(W));
  EXPECT_EQ(FC->Window(), nullptr);
}

TEST_F(FormatsFixture, AssignedValuesSurviveARereadOfTheLocale) {
  TuxFormatController* FC = uxGetFormatController();
  FC->SetStartOfWeek(3);
  FC->SetCurrencyFormat("0.0");
  FC->SetStandardDateEditMask("!99.99;1;_");
  TFormatSettings FS = DefaultFormatSettings();
  FS.ShortDateFormat = "M/d/yyyy";
  SetFormatSettings(FS);
  FC->GetFormats();
  EXPECT_EQ(FC->StartOfWeek, 3);
  EXPECT_EQ(FC->CurrencyFormat, "0.0");
  EXPECT_EQ(FC->StandardDateEditMask, "!99.99;1;_");
  EXPECT_EQ(FC->DateEditMask, "!99/99/9999;1; ");  // not an assigned value
  EXPECT_EQ(FC->DateEditFormat, "MM/dd/yyyy");
}

// The regular-expression masks compile in the mask notation and accept typed
// dates, the locale's month names and the keywords with an offset.
TEST_F(FormatsFixture, RegExprMasksCompileAndAcceptDatesAndKeywords) {
  TuxFormatController* FC = uxGetFormatController();
  struct Case {
    bool DateTime;
    const char* Text;
    bool Accepted;
  } Cases[] = {
      {false, "2024-3-5", true},
      {false, "2024-12-31", true},
      {false, "2024-\xCA\xAE\xB6\xFE\xD4\xC2-5", true},  // 十二月
      {false, "today", true},
      {false, "eom+12", true},
      {false, "yesterday-1234", true},
      {false, "2024-13-5", false},
      {false, "now", false},
      {true, "2024-3-5 13:45:09", true},
      {true, "2024-3-5 ", true},
      {true, "now+1", true},
      {true, "2024-3-5 24:00:00", false},
  };
  for (const Case& C : Cases) {
    TuxRegExpr Expr;
    TStringStream Stream(C.DateTime ? FC->RegExprDateTimeEditMask : FC->RegExprDateEditMask);
    ASSERT_NO_THROW(Expr.Compile(&Stream)) << (C.DateTime ? "date-time" : "date");
    AnsiString Accepted;
    Expr.FilterText(C.Text, Accepted);
    EXPECT_EQ(Accepted == C.Text && Expr.IsFinal(), C.Accepted) << C.Text << " accepted as " << Accepted;
  }
}

TEST(RegExprQuoting, ApostrophesStandOutsideTheQuotes) {
  struct Case {
    const char* Text;
    const char* Quoted;
  } Cases[] = {{"today", "'today'"}, {"it's", "'it'\\''s'"}, {"'", "\\'"}, {"\xBD\xF1\xCC\xEC", "'\xBD\xF1\xCC\xEC'"}};
  for (const Case& C : Cases) EXPECT_EQ(uxQuoteRegExprText(C.Text), C.Quoted) << C.Text;
}

}  // namespace
