#include "platform/rtl/datetime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

// Days from 0001-01-01 (day 0) in the proleptic Gregorian calendar.
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  // 0001-01-01 lies 306 days after 0000-03-01, where this count starts.
  return era * 146097 + static_cast<Int64>(doe) - 306;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d) {
  z += 306;
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<Int64>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

// Serial day numbers of 0001-01-01 and 9999-12-31.
constexpr Int64 kMinDay = -DateDelta + 1;
constexpr Int64 kMaxDay = 2958465;

// The value split into a day (truncated towards zero) and the milliseconds of
// the time of day, after rounding the whole value to milliseconds.
struct Split {
  bool valid = false;
  Int64 day = 0;
  Int64 msec = 0;
};

Split SplitValue(TDateTime v) {
  Split s;
  if (!std::isfinite(v) || std::fabs(v) > 3.0e6) return s;
  const Int64 total = static_cast<Int64>(std::nearbyint(v * MSecsPerDay));
  s.day = total / MSecsPerDay;
  s.msec = (total < 0 ? -total : total) % MSecsPerDay;
  s.valid = s.day >= kMinDay && s.day <= kMaxDay;
  return s;
}

// Day and time joined with the sign rule: a negative day takes the time away.
TDateTime Join(TDateTime day, TDateTime time) { return day >= 0 ? day + time : day - time; }

TDateTime TimeOfMSec(Int64 msec) { return static_cast<double>(msec) / MSecsPerDay; }

std::function<TDateTime()>& TestClock() {
  static std::function<TDateTime()> clock;
  return clock;
}

TDateTime SystemNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  TDateTime d = EncodeDate(static_cast<Word>(tm.tm_year + 1900), static_cast<Word>(tm.tm_mon + 1),
                           static_cast<Word>(tm.tm_mday));
  // A leap second shows as the 59th.
  const Word sec = static_cast<Word>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  return d + EncodeTime(static_cast<Word>(tm.tm_hour), static_cast<Word>(tm.tm_min), sec,
                        static_cast<Word>(ms < 0 ? 0 : ms));
}

Word CurrentYear() {
  Word y, m, d;
  DecodeDate(Now(), y, m, d);
  return y;
}

// ---------------------------------------------------------------------------
// Formatting

void AppendNumber(AnsiString& out, long value, int digits) {
  AnsiString s = std::to_string(value < 0 ? -value : value);
  if (value < 0) out += '-';
  if (static_cast<int>(s.size()) < digits) out.append(digits - s.size(), '0');
  out += s;
}

struct Parts {
  Word year, month, day, hour, min, sec, msec, dow;
};

Parts DecodeAll(TDateTime v) {
  Parts p{};
  DecodeDateTime(v, p.year, p.month, p.day, p.hour, p.min, p.sec, p.msec);
  p.dow = p.year == 0 ? 1 : DayOfWeek(v);
  return p;
}

bool IsLead(const AnsiString& s, std::size_t i) { return IsDBCSLeadByte(s[i]) && i + 1 < s.size(); }

bool StartsNoCase(const AnsiString& s, std::size_t i, const char* word) {
  for (std::size_t k = 0; word[k]; ++k) {
    if (i + k >= s.size()) return false;
    char a = s[i + k], b = word[k];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (a != b) return false;
  }
  return true;
}

// Whether an hour at i (just past its letters) is shown on a 12-hour clock:
// an am/pm item comes before the next hour item or any other 'a'.
bool Uses12HourClock(const AnsiString& f, std::size_t i) {
  bool quoted = false;
  while (i < f.size()) {
    if (IsLead(f, i)) {
      i += 2;
      continue;
    }
    const char c = f[i];
    if (!quoted && (c == 'a' || c == 'A'))
      return StartsNoCase(f, i, "AM/PM") || StartsNoCase(f, i, "A/P") || StartsNoCase(f, i, "AMPM");
    if (!quoted && (c == 'h' || c == 'H')) return false;
    if (c == '\'' || c == '"') quoted = !quoted;
    ++i;
  }
  return false;
}

void AppendFormat(AnsiString& out, const AnsiString& f, TDateTime v, const Parts& p, const TFormatSettings& fs,
                  int level) {
  char lastToken = ' ';
  std::size_t i = 0;
  auto nested = [&](const AnsiString& inner) {
    // One level of nesting, so that a format naming itself cannot loop.
    if (level < 1) AppendFormat(out, inner, v, p, fs, level + 1);
  };
  while (i < f.size()) {
    const char starter = f[i];
    if (IsLead(f, i)) {
      out.append(f, i, 2);
      i += 2;
      continue;
    }
    char token = starter;
    if (token >= 'a' && token <= 'z') token = static_cast<char>(token - 32);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    std::size_t count = 1;
    while (i + count < f.size() && f[i + count] == starter) ++count;
    switch (token) {
      case 'Y':
        if (count <= 2) AppendNumber(out, p.year % 100, 2);
        else AppendNumber(out, p.year, 4);
        break;
      case 'M':
        if (count <= 2) AppendNumber(out, p.month, static_cast<int>(count));
        else if (p.month >= 1 && p.month <= 12)
          out += count == 3 ? fs.ShortMonthNames[p.month - 1] : fs.LongMonthNames[p.month - 1];
        break;
      case 'D':
        if (count <= 2) AppendNumber(out, p.day, static_cast<int>(count));
        else if (count == 3) out += fs.ShortDayNames[p.dow - 1];
        else if (count == 4) out += fs.LongDayNames[p.dow - 1];
        else if (count == 5) nested(fs.ShortDateFormat);
        else nested(fs.LongDateFormat);
        break;
      case 'H': {
        int h = p.hour;
        if (Uses12HourClock(f, i + count)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        AppendNumber(out, h, count == 1 ? 1 : 2);
        break;
      }
      case 'N':
        AppendNumber(out, p.min, count == 1 ? 1 : 2);
        break;
      case 'S':
        AppendNumber(out, p.sec, count == 1 ? 1 : 2);
        break;
      case 'Z':
        AppendNumber(out, p.msec, count == 1 ? 1 : 3);
        break;
      case 'T':
        nested(count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
        break;
      case 'C':
        nested(fs.ShortDateFormat);
        if (p.hour != 0 || p.min != 0 || p.sec != 0 || p.msec != 0) {
          out += ' ';
          nested(fs.LongTimeFormat);
        }
        count = 1;
        break;
      case 'A':
        count = 1;
        if (StartsNoCase(f, i, "AM/PM")) {
          out.append(f, p.hour >= 12 ? i + 3 : i, 2);
          count = 5;
        } else if (StartsNoCase(f, i, "A/P")) {
          out += f[p.hour >= 12 ? i + 2 : i];
          count = 3;
        } else if (StartsNoCase(f, i, "AMPM")) {
          out += p.hour >= 12 ? fs.TimePMString : fs.TimeAMString;
          count = 4;
        } else {
          out += starter;
        }
        break;
      case '/':
        count = 1;
        if (fs.DateSeparator) out += fs.DateSeparator;
        break;
      case ':':
        count = 1;
        if (fs.TimeSeparator) out += fs.TimeSeparator;
        break;
      case '\'':
      case '"': {
        std::size_t j = i + 1;
        while (j < f.size() && f[j] != starter) j += IsLead(f, j) ? 2 : 1;
        out.append(f, i + 1, std::min(j, f.size()) - (i + 1));
        count = (j < f.size() ? j + 1 : f.size()) - i;
        break;
      }
      default:
        out += starter;
        count = 1;
        break;
    }
    i += count;
  }
}

// ---------------------------------------------------------------------------
// Reading

struct Scanner {
  const AnsiString& s;
  std::size_t pos = 0;

  void Blanks() {
    while (pos < s.size() && s[pos] == ' ') ++pos;
  }
  bool AtEnd() const { return pos >= s.size(); }
  bool Number(Word& n, int& digits) {
    Blanks();
    std::size_t i = pos;
    unsigned v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && v < 1000) v = v * 10 + (s[i++] - '0');
    if (i == pos) return false;
    digits = static_cast<int>(i - pos);
    pos = i;
    n = static_cast<Word>(v);
    return true;
  }
  bool Char(char c) {
    Blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool String(const AnsiString& word) {
    if (word.empty()) return false;
    Blanks();
    if (pos + word.size() <= s.size() && AnsiCompareText(word, s.substr(pos, word.size())) == 0) {
      pos += word.size();
      return true;
    }
    return false;
  }
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder GetDateOrder(const AnsiString& f) {
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (IsLead(f, i)) {
      ++i;
      continue;
    }
    switch (f[i] & 0xDF) {
      case 'E':
      case 'Y': return DateOrder::YMD;
      case 'M': return DateOrder::MDY;
      case 'D': return DateOrder::DMY;
      default: break;
    }
  }
  return DateOrder::MDY;
}

bool ScanDate(Scanner& sc, const TFormatSettings& fs, TDateTime& date) {
  Word n1, n2, n3 = 0, y, m, d;
  int l1, l2, l3 = 0;
  const DateOrder order = GetDateOrder(fs.ShortDateFormat);
  if (!(sc.Number(n1, l1) && sc.Char(fs.DateSeparator) && sc.Number(n2, l2))) return false;
  if (sc.Char(fs.DateSeparator)) {
    if (!sc.Number(n3, l3)) return false;
    int yearLen;
    switch (order) {
      case DateOrder::MDY: y = n3; yearLen = l3; m = n1; d = n2; break;
      case DateOrder::DMY: y = n3; yearLen = l3; m = n2; d = n1; break;
      default: y = n1; yearLen = l1; m = n2; d = n3; break;
    }
    if (yearLen <= 2) {
      const int base = CurrentYear() - fs.TwoDigitYearCenturyWindow;
      int full = y + base / 100 * 100;
      if (fs.TwoDigitYearCenturyWindow > 0 && full < base) full += 100;
      y = static_cast<Word>(full);
    }
  } else {
    y = CurrentYear();
    if (order == DateOrder::DMY) {
      d = n1;
      m = n2;
    } else {
      m = n1;
      d = n2;
    }
  }
  sc.Char(fs.DateSeparator);
  sc.Blanks();
  return TryEncodeDate(y, m, d, date);
}

bool ScanTime(Scanner& sc, const TFormatSettings& fs, TDateTime& time) {
  int baseHour = -1;
  if (sc.String(fs.TimeAMString) || sc.String("AM")) baseHour = 0;
  else if (sc.String(fs.TimePMString) || sc.String("PM")) baseHour = 12;
  if (baseHour >= 0) sc.Blanks();
  Word hour, min = 0, sec = 0, msec = 0;
  int digits;
  if (!sc.Number(hour, digits)) return false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(min, digits)) return false;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(sec, digits)) return false;
      if (sc.Char(fs.DecimalSeparator) && !sc.Number(msec, digits)) return false;
    }
  }
  if (baseHour < 0) {
    if (sc.String(fs.TimeAMString) || sc.String("AM")) baseHour = 0;
    else if (sc.String(fs.TimePMString) || sc.String("PM")) baseHour = 12;
  }
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour = static_cast<Word>(hour + baseHour);
  }
  sc.Blanks();
  return TryEncodeTime(hour, min, sec, msec, time);
}

// ---------------------------------------------------------------------------
// The locale's picture language

void AppendPicture(AnsiString& out, const AnsiString& pic, TDateTime v, bool dateItems, bool timeItems) {
  const TFormatSettings& fs = LocaleFormatSettings();
  const Parts p = DecodeAll(v);
  std::size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (IsLead(pic, i)) {
      out.append(pic, i, 2);
      i += 2;
      continue;
    }
    if (c == '\'') {
      // Quoted text; '' is a quote, inside or outside.
      if (i + 1 < pic.size() && pic[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      ++i;
      while (i < pic.size()) {
        if (IsLead(pic, i)) {
          out.append(pic, i, 2);
          i += 2;
        } else if (pic[i] == '\'') {
          if (i + 1 < pic.size() && pic[i + 1] == '\'') {
            out += '\'';
            i += 2;
          } else {
            ++i;
            break;
          }
        } else {
          out += pic[i++];
        }
      }
      continue;
    }
    std::size_t count = 1;
    while (i + count < pic.size() && pic[i + count] == c) ++count;
    const int pad = count >= 2 ? 2 : 1;
    bool item = true;
    if (dateItems && c == 'd') {
      if (count <= 2) AppendNumber(out, p.day, pad);
      else out += count == 3 ? fs.ShortDayNames[p.dow - 1] : fs.LongDayNames[p.dow - 1];
    } else if (dateItems && c == 'M') {
      if (count <= 2) AppendNumber(out, p.month, pad);
      else if (p.month >= 1) out += count == 3 ? fs.ShortMonthNames[p.month - 1] : fs.LongMonthNames[p.month - 1];
    } else if (dateItems && c == 'y') {
      if (count <= 2) AppendNumber(out, p.year % 100, pad);
      else AppendNumber(out, p.year, 4);
    } else if (timeItems && (c == 'h' || c == 'H')) {
      int h = p.hour;
      if (c == 'h') {
        h %= 12;
        if (h == 0) h = 12;
      }
      AppendNumber(out, h, pad);
    } else if (timeItems && c == 'm') {
      AppendNumber(out, p.min, pad);
    } else if (timeItems && c == 's') {
      AppendNumber(out, p.sec, pad);
    } else if (timeItems && c == 't') {
      const AnsiString& word = p.hour >= 12 ? fs.TimePMString : fs.TimeAMString;
      if (count >= 2) out += word;
      else if (!word.empty()) out.append(word, 0, IsLead(word, 0) ? 2 : 1);
    } else {
      item = false;
    }
    if (item) {
      i += count;
    } else {
      out += c;
      ++i;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Calendar

bool IsLeapYear(Word Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

Word DaysInAMonth(Word Year, Word Month) {
  static const Word kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return Month == 2 && IsLeapYear(Year) ? 29 : kDays[Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
    return false;
  Date = static_cast<double>(DaysFromCivil(Year, Month, Day) - (DateDelta - 1));
  return true;
}

TDateTime EncodeDate(Word Year, Word Month, Word Day) {
  TDateTime d;
  if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError(SDateEncodeError);
  return d;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time) {
  if (Hour > 23 || Min > 59 || Sec > 59 || MSec > 999) return false;
  Time = TimeOfMSec(((Hour * 60 + Min) * 60 + Sec) * 1000LL + MSec);
  return true;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec) {
  TDateTime t;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError(STimeEncodeError);
  return t;
}

bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec,
                       TDateTime& Value) {
  TDateTime d, t;
  if (!TryEncodeDate(Year, Month, Day, d) || !TryEncodeTime(Hour, Min, Sec, MSec, t)) return false;
  Value = Join(d, t);
  return true;
}

TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec) {
  const TDateTime d = EncodeDate(Year, Month, Day);
  return Join(d, EncodeTime(Hour, Min, Sec, MSec));
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
  const Split s = SplitValue(Date);
  if (!s.valid) {
    Year = Month = Day = 0;
    return;
  }
  Int64 y;
  unsigned m, d;
  CivilFromDays(s.day + (DateDelta - 1), y, m, d);
  Year = static_cast<Word>(y);
  Month = static_cast<Word>(m);
  Day = static_cast<Word>(d);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
  const Split s = SplitValue(Time);
  Int64 ms = s.valid ? s.msec : 0;
  MSec = static_cast<Word>(ms % 1000);
  ms /= 1000;
  Sec = static_cast<Word>(ms % 60);
  ms /= 60;
  Min = static_cast<Word>(ms % 60);
  Hour = static_cast<Word>(ms / 60);
}

void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec,
                    Word& MSec) {
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Min, Sec, MSec);
}

Word DayOfWeek(TDateTime Date) {
  const Split s = SplitValue(Date);
  // 0001-01-01 (day 1 of the count that starts at DateDelta) was a Monday.
  const Int64 n = ((s.day + DateDelta) % 7 + 7) % 7;
  return static_cast<Word>(n + 1);
}

Word DayOfTheWeek(TDateTime Date) {
  const Word d = DayOfWeek(Date);
  return d == 1 ? 7 : static_cast<Word>(d - 1);
}

TDateTime DateOf(TDateTime Value) {
  const Split s = SplitValue(Value);
  return s.valid ? static_cast<double>(s.day) : std::trunc(Value);
}

TDateTime TimeOf(TDateTime Value) {
  const Split s = SplitValue(Value);
  return s.valid ? TimeOfMSec(s.msec) : std::fabs(Value - std::trunc(Value));
}

TDateTime IncMonth(TDateTime Value, int NumberOfMonths) {
  const Split s = SplitValue(Value);
  if (!s.valid) throw EConvertError(SDateEncodeError);
  Word y, m, d;
  DecodeDate(Value, y, m, d);
  const Int64 months = static_cast<Int64>(y) * 12 + (m - 1) + NumberOfMonths;
  const Int64 ny = months >= 0 ? months / 12 : -1;
  if (ny < 1 || ny > 9999) throw EConvertError(SDateEncodeError);
  const Word nm = static_cast<Word>(months % 12 + 1);
  const Word nd = std::min<Word>(d, DaysInAMonth(static_cast<Word>(ny), nm));
  return Join(EncodeDate(static_cast<Word>(ny), nm, nd), TimeOfMSec(s.msec));
}

TDateTime IncDay(TDateTime Value, int NumberOfDays) {
  const Split s = SplitValue(Value);
  if (!s.valid) throw EConvertError(SDateEncodeError);
  const Int64 day = s.day + NumberOfDays;
  if (day < kMinDay || day > kMaxDay) throw EConvertError(SDateEncodeError);
  // Day 0 runs forwards from midnight whichever side it came from.
  return Join(static_cast<double>(day), TimeOfMSec(s.msec));
}

int CompareDateTime(TDateTime A, TDateTime B) {
  // Compare the points in time, not the raw numbers: across day 0 the
  // numbers run backwards within each negative day.
  auto key = [](TDateTime v) {
    const Split s = SplitValue(v);
    return s.day * static_cast<Int64>(MSecsPerDay) + s.msec;
  };
  const Int64 a = key(A), b = key(B);
  return a < b ? -1 : a > b ? 1 : 0;
}

bool SameDate(TDateTime A, TDateTime B) { return SplitValue(A).day == SplitValue(B).day; }

// ---------------------------------------------------------------------------
// Clock

TDateTime Now() {
  if (TestClock()) return TestClock()();
  return SystemNow();
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

void SetClockForTests(std::function<TDateTime()> clock) { TestClock() = std::move(clock); }

void ResetClock() { TestClock() = nullptr; }

// ---------------------------------------------------------------------------
// Text

void DateTimeToString(AnsiString& Result, const AnsiString& Format, TDateTime Value) {
  Result.clear();
  const Parts p = DecodeAll(Value);
  AppendFormat(Result, Format.empty() ? AnsiString("C") : Format, Value, p, FormatSettings(), 0);
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value) {
  AnsiString r;
  DateTimeToString(r, Format, Value);
  return r;
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value, const TFormatSettings& Settings) {
  AnsiString r;
  AppendFormat(r, Format.empty() ? AnsiString("C") : Format, Value, DecodeAll(Value), Settings, 0);
  return r;
}

AnsiString DateTimeToStr(TDateTime Value, const TFormatSettings& Settings) { return FormatDateTime("", Value, Settings); }

AnsiString DateToStr(TDateTime Value) { return FormatDateTime("ddddd", Value); }

AnsiString TimeToStr(TDateTime Value) { return FormatDateTime("tt", Value); }

AnsiString DateTimeToStr(TDateTime Value) { return FormatDateTime("", Value); }

bool TryStrToDate(const AnsiString& S, TDateTime& Value) {
  Scanner sc{S};
  TDateTime d;
  if (!ScanDate(sc, FormatSettings(), d) || !sc.AtEnd()) return false;
  Value = d;
  return true;
}

bool TryStrToTime(const AnsiString& S, TDateTime& Value) {
  Scanner sc{S};
  TDateTime t;
  if (!ScanTime(sc, FormatSettings(), t) || !sc.AtEnd()) return false;
  Value = t;
  return true;
}

bool TryStrToDateTime(const AnsiString& S, TDateTime& Value) {
  const TFormatSettings& fs = FormatSettings();
  Scanner sc{S};
  TDateTime d, t = 0;
  if (ScanDate(sc, fs, d) && (sc.AtEnd() || (ScanTime(sc, fs, t) && sc.AtEnd()))) {
    Value = Join(d, t);
    return true;
  }
  return TryStrToTime(S, Value);
}

TDateTime StrToDate(const AnsiString& S) {
  TDateTime v;
  if (!TryStrToDate(S, v)) throw EConvertError(SInvalidDate, {S});
  return v;
}

TDateTime StrToTime(const AnsiString& S) {
  TDateTime v;
  if (!TryStrToTime(S, v)) throw EConvertError(SInvalidTime, {S});
  return v;
}

TDateTime StrToDateTime(const AnsiString& S) {
  TDateTime v;
  if (!TryStrToDateTime(S, v)) throw EConvertError(SInvalidDateTime, {S});
  return v;
}

TDateTime StrToDateDef(const AnsiString& S, TDateTime Default) {
  TDateTime v;
  return TryStrToDate(S, v) ? v : Default;
}

TDateTime StrToTimeDef(const AnsiString& S, TDateTime Default) {
  TDateTime v;
  return TryStrToTime(S, v) ? v : Default;
}

TDateTime StrToDateTimeDef(const AnsiString& S, TDateTime Default) {
  TDateTime v;
  return TryStrToDateTime(S, v) ? v : Default;
}

// ---------------------------------------------------------------------------
// The locale's pictures

AnsiString GetDateFormatStr(TDateTime Value, bool LongFormat) {
  return GetDateFormatStr(Value, GetLocaleDateFormat(LongFormat));
}

AnsiString GetDateFormatStr(TDateTime Value, const AnsiString& Picture) {
  AnsiString out;
  AppendPicture(out, Picture.empty() ? GetLocaleDateFormat(false) : Picture, Value, true, false);
  return out;
}

AnsiString GetTimeFormatStr(TDateTime Value, const AnsiString& Picture) {
  AnsiString out;
  AppendPicture(out, Picture.empty() ? GetLocaleTimeFormat() : Picture, Value, false, true);
  return out;
}
