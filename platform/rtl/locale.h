// The locale's format settings: one fixed Chinese (PRC) profile for code page 936.
// Tests may replace the active settings; listeners hear of each change.
#pragma once
#include <functional>
#include "platform/rtl/types.h"

struct TFormatSettings {
  Byte CurrencyFormat = 0;     // 0: "￥1"
  Byte NegCurrFormat = 2;      // 2: "￥-1"
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  Byte CurrencyDecimals = 2;
  char DateSeparator = '-';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  AnsiString CurrencyString = "\xA3\xA4";  // ￥ (full-width yen, CP936)
  AnsiString ShortDateFormat = "yyyy-M-d";
  AnsiString LongDateFormat;   // "yyyy'年'M'月'd'日'", filled by DefaultFormatSettings
  AnsiString TimeAMString;     // "上午"
  AnsiString TimePMString;     // "下午"
  AnsiString ShortTimeFormat = "H:mm";
  AnsiString LongTimeFormat = "H:mm:ss";
  AnsiString ShortMonthNames[12];
  AnsiString LongMonthNames[12];
  AnsiString ShortDayNames[7];  // Sunday first, as the platform keeps them
  AnsiString LongDayNames[7];
  Word TwoDigitYearCenturyWindow = 50;
  Byte FirstDayOfWeek = 0;      // 0 = Monday, as the locale reports it
  Byte FirstWeekOfYear = 0;     // 0: the week that holds 1 January, as the locale reports it
};

// There are two sets of values: the locale's (what the system reports, and
// what its own date and time pictures use) and the run-time library's
// variables in force, which start as a copy of the locale's and which a
// program may change on its own.

// The Chinese (PRC) profile.
const TFormatSettings& DefaultFormatSettings();
// The locale's current values (the Chinese profile unless a test replaced it).
const TFormatSettings& LocaleFormatSettings();
// The variables in force; what the formatting routines read.
TFormatSettings& FormatSettings();
// Replaces the locale (tests; a locale change): both the locale's values and
// the variables in force become fs, and the listeners hear of it.
void SetFormatSettings(const TFormatSettings& fs);
// Restores the Chinese profile as the locale and in the variables in force.
void ResetFormatSettings();
// Reloads the variables in force from the locale (the platform's
// GetFormatSettings) and tells the listeners.
void GetFormatSettings();
// Called after every change above; returns an id for removal.
int AddFormatSettingsListener(std::function<void()> listener);
void RemoveFormatSettingsListener(int id);

// The locale's own date and time pictures, in the picture language of
// GetDateFormatStr/GetTimeFormatStr (datetime.h), from the locale's values:
// "yyyy'年'M'月'd'日'" (long) or "yyyy-M-d" (short), and "H:mm:ss".
AnsiString GetLocaleDateFormat(bool LongFormat);
AnsiString GetLocaleTimeFormat();
