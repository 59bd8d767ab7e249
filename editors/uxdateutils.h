// Dates for the date editors and filters: user text to dates (locale-formatted
// text, or a keyword such as "today" or "eom" with an optional day offset like
// "+3"), dates to text, calendar arithmetic, week numbers and the null date.
#pragma once

#include "platform/rtl/types.h"
#include "platform/rtl/variants.h"

// The absence of a date in every date value of the editors.
constexpr TDateTime uxNullDate = -700000.0;
// The largest year a typed date may have.
constexpr int uxMaxYear = 9999;
// The first allowed year (a variable so that a program may lower it).
extern int uxFirstAllowedYear;

// The keywords, by index: 0 today .. 2 tomorrow, 3 Sunday .. 9 Saturday,
// 10 first .. 16 seventh, 17 bom, 18 eom, 19 now.
constexpr int uxSmartDateWordCount = 20;
// The keyword's text as shown (through the translation hook, every time).
AnsiString uxSmartDateWord(int Index);

bool uxTextToDate(const AnsiString& Text, TDateTime& Date);
bool uxSmartTextToDate(const AnsiString& Text, TDateTime& Date);
bool uxTextToDateTime(const AnsiString& Text, bool UseVariantConversion, TDateTime& Date);
void uxDateToText(bool UseEditFormat, bool WithTime, bool FourDigitYear, AnsiString& Text, TDateTime Date);
void uxDateToLocaleText(bool FourDigitYear, AnsiString& Text, TDateTime Date);
// Removes the literal parts of the date and time formats from Text so that
// the conversion sees numbers and separators only.
void uxPrepareDateText(AnsiString& Text, bool UseLocale);
bool uxIsNullDateVar(const Variant& V);
TDateTime uxGetFirstAllowedDate();
// Part 0 the year, 1 the month, any other the day.
int uxGetDatePart(int Part, TDateTime Date);
void uxDecMonth(int& Year, int& Month);
void uxIncMonth(int& Year, int& Month);
int uxAddMonths(int& Year, int& Month, int Delta);
bool uxIsLeapYear(int Year);
int uxGetDaysPerMonth(int Year, int Month);
int uxCorrectDay(int Year, int Month, int Day);
// 0..6: the date's weekday counted from the format controller's first day.
int uxGetDayOfWeekIndex(TDateTime Date);
// StartOfWeek 0 = Sunday; Rule 0 the locale's, 1 the week of 1 January,
// 2 the first full week, 3 the first week with four days in the new year.
int uxWeekOfYear(int StartOfWeek, int Rule, TDateTime Date);
// Appends the keywords (with "now" when WithNow) and an optional day offset
// to a regular-expression mask.
void uxAddSmartDateWords(AnsiString& Mask, bool WithNow);
