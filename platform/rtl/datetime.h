// Dates and times. A TDateTime counts days since 1899-12-30; its fraction is
// the time of day. Days before that date are negative, and for a negative
// value the time of day is the absolute fraction: -1.25 is 1899-12-29 06:00.
// Text is read and written with the settings in FormatSettings().
#pragma once
#include <functional>
#include "platform/rtl/types.h"

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = 24 * 60 * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days between 0001-01-01 and 1899-12-30, and between 1899-12-30 and 1970-01-01.
inline constexpr int DateDelta = 693594;
inline constexpr double UnixDateDelta = 25569;

// ---------------------------------------------------------------------------
// Calendar

bool IsLeapYear(Word Year);
// 0 for a month outside 1..12.
Word DaysInAMonth(Word Year, Word Month);
inline Word DaysInMonth(Word Year, Word Month) { return DaysInAMonth(Year, Month); }

// Year 1..9999, Month 1..12, Day within the month; otherwise EConvertError
// "Invalid argument to date encode" (or false from the Try form).
TDateTime EncodeDate(Word Year, Word Month, Word Day);
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
// Hour 0..23, Min and Sec 0..59, MSec 0..999; otherwise EConvertError
// "Invalid argument to time encode" (or false from the Try form).
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
// Date and time together (negative days take the time away from the day).
TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec,
                       TDateTime& Value);

// The value is first rounded to whole milliseconds. A value outside the
// years 1..9999 (or not finite) decodes to all zeros.
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec,
                    Word& MSec);

// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime Date);
// 1 = Monday .. 7 = Sunday.
Word DayOfTheWeek(TDateTime Date);

// The day part and the time of day, each with the sign rules above.
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);

// Moves by whole months; a day past the end of the target month becomes its
// last day. The time of day is kept.
TDateTime IncMonth(TDateTime Value, int NumberOfMonths = 1);
// Moves by whole days, keeping the time of day.
TDateTime IncDay(TDateTime Value, int NumberOfDays = 1);

// -1, 0 or 1, comparing whole milliseconds.
int CompareDateTime(TDateTime A, TDateTime B);
bool SameDate(TDateTime A, TDateTime B);

// ---------------------------------------------------------------------------
// The clock (local time). Tests install their own.

TDateTime Now();
TDateTime Date();
TDateTime Time();
void SetClockForTests(std::function<TDateTime()> clock);
void ResetClock();

// ---------------------------------------------------------------------------
// Text
//
// FormatDateTime patterns (letters in either case):
//   c        ShortDateFormat, then a blank and LongTimeFormat unless midnight
//   d dd     day; ddd dddd short and long day names; ddddd ShortDateFormat;
//            dddddd LongDateFormat
//   m mm     month; mmm mmmm short and long month names; m right after an
//            h (letters in between only) means minutes
//   yy yyyy  two- or four-digit year
//   h hh     hour (12-hour clock when an am/pm item follows); n nn minute;
//   s ss     second; z zzz millisecond
//   t tt     ShortTimeFormat, LongTimeFormat
//   am/pm a/p  the words in the pattern's own case; ampm the locale's words
//   / :      DateSeparator, TimeSeparator
//   '...' "..."  literal text; any other character is copied
// An empty pattern is "c". Double-byte characters are copied whole.

AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value);
void DateTimeToString(AnsiString& Result, const AnsiString& Format, TDateTime Value);
// The same with the given settings in place of FormatSettings(): texts that
// must not change with the user's settings (filter texts for datasets).
struct TFormatSettings;
AnsiString FormatDateTime(const AnsiString& Format, TDateTime Value, const TFormatSettings& Settings);
AnsiString DateTimeToStr(TDateTime Value, const TFormatSettings& Settings);
AnsiString DateToStr(TDateTime Value);
AnsiString TimeToStr(TDateTime Value);
AnsiString DateTimeToStr(TDateTime Value);

// Reading: the order of day, month and year comes from ShortDateFormat, the
// separators are DateSeparator and TimeSeparator. Two numbers give a month
// and day of the current year. A year of one or two digits is placed in the
// hundred years that start TwoDigitYearCenturyWindow years before the current
// year. Times take an hour, optional minutes, seconds and milliseconds (after
// DecimalSeparator), and TimeAMString/TimePMString or AM/PM before or after.
// Failures raise EConvertError "'S' is not a valid date", "... time" or
// "... date and time".
TDateTime StrToDate(const AnsiString& S);
TDateTime StrToTime(const AnsiString& S);
TDateTime StrToDateTime(const AnsiString& S);
bool TryStrToDate(const AnsiString& S, TDateTime& Value);
bool TryStrToTime(const AnsiString& S, TDateTime& Value);
bool TryStrToDateTime(const AnsiString& S, TDateTime& Value);
TDateTime StrToDateDef(const AnsiString& S, TDateTime Default);
TDateTime StrToTimeDef(const AnsiString& S, TDateTime Default);
TDateTime StrToDateTimeDef(const AnsiString& S, TDateTime Default);

// ---------------------------------------------------------------------------
// The locale's own date and time pictures (its GetDateFormat/GetTimeFormat).
// Pictures: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, h hh (12-hour), H HH,
// m mm, s ss, t tt (AM/PM word, t its first character), '...' literals ('' is
// a quote). Names and AM/PM words are the locale's (LocaleFormatSettings()),
// not the variables in force. An empty picture takes the locale's own.

// The pictures themselves are GetLocaleDateFormat/GetLocaleTimeFormat (locale.h).
// "2026年12月10日" (long) or "2026-12-10" (short).
AnsiString GetDateFormatStr(TDateTime Value, bool LongFormat = false);
AnsiString GetDateFormatStr(TDateTime Value, const AnsiString& Picture);
// (A literal picture must not turn into the Boolean above.)
inline AnsiString GetDateFormatStr(TDateTime Value, const char* Picture) {
  return GetDateFormatStr(Value, AnsiString(Picture ? Picture : ""));
}
// "13:05:09".
AnsiString GetTimeFormatStr(TDateTime Value, const AnsiString& Picture = AnsiString());
