#include "editors/uxdateutils.h"

#include "data/uxvariants.h"
#include "editors/uxformats.h"
#include "framework/uxclasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cmath>
#include <vector>

int uxFirstAllowedYear = 100;

namespace {

const char* const SmartDateWords[uxSmartDateWordCount] = {
    "today",  "yesterday", "tomorrow", "Sunday", "Monday", "Tuesday", "Wednesday",
    "Thursday", "Friday",  "Saturday", "first",  "second", "third",   "fourth",
    "fifth",  "sixth",     "seventh",  "bom",    "eom",    "now"};

constexpr int kwToday = 0, kwYesterday = 1, kwTomorrow = 2, kwSunday = 3, kwSaturday = 9, kwFirst = 10,
              kwSeventh = 16, kwBom = 17, kwEom = 18, kwNow = 19;

// Whole days of a date value (the time of day dropped, toward zero).
int DayNumber(TDateTime D) { return int(std::trunc(D)); }

bool InPreviousYear(int Day, int Year) {
  Word Y, M, Dd;
  DecodeDate(TDateTime(Day), Y, M, Dd);
  return int(Y) < Year;
}

bool InJanuary(int Day) {
  Word Y, M, Dd;
  DecodeDate(TDateTime(Day), Y, M, Dd);
  return M == 1;
}

int WeekStart(int Day, int StartOfWeek) {
  const int WeekDay = DayOfWeek(TDateTime(Day));  // 1 = Sunday
  return Day - (((WeekDay - 1 - StartOfWeek) % 7) + 7) % 7;
}

// The first day of week 1 of Year under the rule.
int FirstWeekStart(int Year, int StartOfWeek, int Rule) {
  int S = WeekStart(DayNumber(EncodeDate(Word(Year), 1, 1)), StartOfWeek);
  if (Rule == 2 && InPreviousYear(S, Year)) S += 7;
  if (Rule == 3 && InPreviousYear(S + 3, Year)) S += 7;
  return S;
}

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

// Replaces every occurrence of Upper (already upper-cased) in Text, ignoring
// case and only at character starts, by one space per character.
void BlankOut(AnsiString& Text, const AnsiString& Upper) {
  if (Upper.empty()) return;
  int Chars = 0;
  for (std::size_t I = 0; I < Upper.size(); I = CharNext(Upper, I)) ++Chars;
  AnsiString Result;
  const AnsiString TextUpper = AnsiUpperCase(Text);
  std::size_t I = 0;
  while (I < Text.size()) {
    if (TextUpper.size() == Text.size() && TextUpper.compare(I, Upper.size(), Upper) == 0) {
      Result.append(std::size_t(Chars), ' ');
      I += Upper.size();
      continue;
    }
    const std::size_t Next = CharNext(Text, I);
    Result.append(Text, I, Next - I);
    I = Next;
  }
  Text = Result;
}

// Trims and reduces each run of blanks to its first character.
AnsiString SqueezeBlanks(const AnsiString& Text) {
  const AnsiString T = Trim(Text);
  AnsiString R;
  for (std::size_t I = 0; I < T.size(); ++I)
    if (!(IsBlank(T[I]) && I > 0 && IsBlank(T[I - 1]))) R += T[I];
  return R;
}

bool IsValidDateValue(TDateTime V) {
  if (!(V > -2147483648.0 && V < 2147483647.0)) return false;
  Word Y, M, D;
  DecodeDate(V, Y, M, D);
  return Y >= 1 && Y <= uxMaxYear;
}

}  // namespace

AnsiString uxSmartDateWord(int Index) {
  if (Index < 0 || Index >= uxSmartDateWordCount) return "";
  return uxTranslateString(SmartDateWords[Index]);
}

bool uxIsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int uxGetDaysPerMonth(int Year, int Month) {
  static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return Days[Month - 1] + (Month == 2 && uxIsLeapYear(Year) ? 1 : 0);
}

int uxCorrectDay(int Year, int Month, int Day) {
  if (Day < 1) return 1;
  return std::min(Day, uxGetDaysPerMonth(Year, Month));
}

void uxDecMonth(int& Year, int& Month) {
  if (--Month < 1) {
    Month = 12;
    --Year;
  }
}

void uxIncMonth(int& Year, int& Month) {
  if (++Month > 12) {
    Month = 1;
    ++Year;
  }
}

int uxAddMonths(int& Year, int& Month, int Delta) {
  Year += Delta / 12;
  Month += Delta % 12;
  if (Month > 12) {
    Month -= 12;
    ++Year;
  } else if (Month < 1) {
    Month += 12;
    --Year;
  }
  return Delta / 12;
}

int uxGetDatePart(int Part, TDateTime Date) {
  Word Y, M, D;
  DecodeDate(Date, Y, M, D);
  return Part == 0 ? Y : Part == 1 ? M : D;
}

TDateTime uxGetFirstAllowedDate() { return EncodeDate(Word(uxFirstAllowedYear), 1, 1); }

int uxGetDayOfWeekIndex(TDateTime Date) {
  return ((DayOfWeek(Date) - 1 - uxGetFormatController()->StartOfWeek) % 7 + 7) % 7;
}

int uxWeekOfYear(int StartOfWeek, int Rule, TDateTime Date) {
  if (Rule == 0) Rule = LocaleFormatSettings().FirstWeekOfYear + 1;
  const int Day = DayNumber(Date);
  Word Y, M, D;
  DecodeDate(TDateTime(Day), Y, M, D);
  if (M == 12) {
    const int W = WeekStart(Day, StartOfWeek);
    if (Rule == 1 && InJanuary(W + 6)) return 1;
    if (Rule == 3 && InJanuary(W + 3)) return 1;
  }
  int S = FirstWeekStart(Y, StartOfWeek, Rule);
  // Days of January before the first week belong to the last week of the
  // year before.
  if (Day < S && Y > 1) S = FirstWeekStart(Y - 1, StartOfWeek, Rule);
  return (Day - S) / 7 + 1;
}

void uxAddSmartDateWords(AnsiString& Mask, bool WithNow) {
  AnsiString Words;
  const int Last = WithNow ? kwNow : kwEom;
  for (int I = 0; I <= Last; ++I) {
    if (I > 0) Words += "|";
    Words += uxQuoteRegExprText(uxSmartDateWord(I));
  }
  Mask = "(" + Mask + ")|(" + Words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

bool uxSmartTextToDate(const AnsiString& Text, TDateTime& Date) {
  struct TWord {
    AnsiString Text;
    int Index;
  };
  std::vector<TWord> Words;
  for (int I = 0; I < uxSmartDateWordCount; ++I) Words.push_back({uxSmartDateWord(I), I});
  std::stable_sort(Words.begin(), Words.end(), [](const TWord& A, const TWord& B) {
    if (A.Text.size() != B.Text.size()) return A.Text.size() > B.Text.size();
    return AnsiCompareText(A.Text, B.Text) > 0;
  });
  const AnsiString S = Trim(Text);
  const TWord* Found = nullptr;
  for (const TWord& W : Words) {
    if (W.Text.empty() || W.Text.size() > S.size()) continue;
    // The keyword's length must end at a character boundary of the text.
    if (W.Text.size() < S.size() && ByteType(S, int(W.Text.size()) + 1) == mbTrailByte) continue;
    if (AnsiSameText(S.substr(0, W.Text.size()), W.Text)) {
      Found = &W;
      break;
    }
  }
  if (!Found) return false;
  const TDateTime Today = ::Date();
  const int K = Found->Index;
  TDateTime Result = Today;
  if (K == kwToday) {
    Result = Today;
  } else if (K == kwYesterday) {
    Result = Today - 1;
  } else if (K == kwTomorrow) {
    Result = Today + 1;
  } else if (K == kwNow) {
    Result = Now();
  } else if (K >= kwSunday && K <= kwSaturday) {
    const int Wanted = K - kwSunday + 1;  // 1 = Sunday
    Result = Today + ((Wanted - DayOfWeek(Today)) % 7 + 7) % 7;
  } else if (K >= kwFirst && K <= kwSeventh) {
    Result = Today - uxGetDayOfWeekIndex(Today) + (K - kwFirst);
  } else if (K == kwBom || K == kwEom) {
    Word Y, M, D;
    DecodeDate(Today, Y, M, D);
    Result = EncodeDate(Y, M, K == kwBom ? 1 : Word(uxGetDaysPerMonth(Y, M)));
  }
  const AnsiString Rest = Trim(S.substr(Found->Text.size()));
  if (Rest.size() > 1 && (Rest[0] == '+' || Rest[0] == '-')) {
    int Offset;
    if (TryStrToInt(Trim(Rest.substr(1)), Offset)) Result += Rest[0] == '-' ? -double(Offset) : double(Offset);
  }
  Date = Result;
  return true;
}

void uxPrepareDateText(AnsiString& Text, bool UseLocale) {
  const TFormatSettings& FS = UseLocale ? LocaleFormatSettings() : FormatSettings();
  std::vector<AnsiString> Known;
  auto AddKnown = [&](const AnsiString& S) { Known.push_back(AnsiUpperCase(Trim(S))); };
  AddKnown(AnsiString(1, FS.DateSeparator));
  AddKnown(AnsiString(1, FS.TimeSeparator));
  if (UseLocale) {
    AddKnown(FS.TimeAMString.empty() ? AnsiString("am") : FS.TimeAMString);
    AddKnown(FS.TimePMString.empty() ? AnsiString("pm") : FS.TimePMString);
  } else {
    AddKnown(FS.TimeAMString);
    AddKnown(FS.TimePMString);
  }
  TuxFormatController* FC = uxGetFormatController();
  for (const TuxDateTimeFormatInfo* Info : {&FC->DateFormatInfo, &FC->TimeFormatInfo})
    for (const TuxDateTimeFormatItem& It : Info->Items) {
      if (It.Kind != dtikText) continue;
      const AnsiString Literal = AnsiUpperCase(Trim(It.Data));
      if (Literal.empty() || std::find(Known.begin(), Known.end(), Literal) != Known.end()) continue;
      BlankOut(Text, Literal);
    }
  Text = SqueezeBlanks(Text);
  if (UseLocale)
    for (char& C : Text)
      if (C == LocaleFormatSettings().DateSeparator) C = ' ';
}

bool uxTextToDateTime(const AnsiString& Text, bool UseVariantConversion, TDateTime& Date) {
  Date = uxNullDate;
  AnsiString T = Text;
  try {
    uxPrepareDateText(T, UseVariantConversion);
    Date = UseVariantConversion ? VarToDateTime(Variant(T)) : StrToDateTime(T);
    return true;
  } catch (const Exception&) {
    Date = uxNullDate;
    return false;
  }
}

bool uxTextToDate(const AnsiString& Text, TDateTime& Date) {
  AnsiString T = Trim(Text);
  Date = uxNullDate;
  if (T.empty()) return false;
  try {
    TDateTime Value;
    if (!uxSmartTextToDate(T, Value)) {
      const bool Runtime = uxGetFormatController()->UseRuntimeDateFormats;
      uxPrepareDateText(T, !Runtime);
      Value = Runtime ? StrToDateTime(T) : VarToDateTime(Variant(T));
    }
    if (!IsValidDateValue(Value)) return false;
    Date = Value;
    return true;
  } catch (const Exception&) {
    Date = uxNullDate;
    return false;
  }
}

void uxDateToLocaleText(bool FourDigitYear, AnsiString& Text, TDateTime Date) {
  Text.clear();
  if (Date == uxNullDate) return;
  const bool Runtime = uxGetFormatController()->UseRuntimeDateFormats;
  const bool HasTime = Date != std::trunc(Date);
  AnsiString Format;
  if (Runtime) {
    Format = FormatSettings().ShortDateFormat;
    if (HasTime) Format += " " + FormatSettings().LongTimeFormat;
  } else {
    Format = GetLocaleDateFormat(false);
  }
  if (FourDigitYear) {
    const AnsiString Lower = LowerCase(Format);
    const std::size_t P = Lower.find("yy");
    if (P != AnsiString::npos && Lower.find("yyy") == AnsiString::npos)
      Format.insert(P + 2, AnsiString(2, Format[P]));
  }
  try {
    if (Runtime) {
      DateTimeToString(Text, Format, Date);
      return;
    }
    Text = GetDateFormatStr(Date, Format);
    if (HasTime) Text += " " + GetTimeFormatStr(Date);
  } catch (const Exception&) {
    try {
      Text = VarToStr(VarFromDateTime(Date));
    } catch (const Exception&) {
      Text.clear();
    }
  }
}

void uxDateToText(bool UseEditFormat, bool WithTime, bool FourDigitYear, AnsiString& Text, TDateTime Date) {
  Text.clear();
  if (Date == uxNullDate) return;
  if (UseEditFormat) {
    TuxFormatController* FC = uxGetFormatController();
    Text = WithTime ? FormatDateTime(FC->MaskedDateTimeEditFormat, Date)
                    : FormatDateTime(FC->MaskedDateEditFormat, std::trunc(Date));
    return;
  }
  uxDateToLocaleText(FourDigitYear, Text, Date);
}

bool uxIsNullDateVar(const Variant& V) {
  if (!(uxVarIsDateTime(V) || uxVarIsNumber(V))) return false;
  try {
    return VarToDateTime(V) == uxNullDate;
  } catch (const Exception&) {
    return false;
  }
}
