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
};

// The Chinese (PRC) profile.
const TFormatSettings& DefaultFormatSettings();
// The settings in force; FormatSettings() is what the formatting routines read.
TFormatSettings& FormatSettings();
// Replaces the settings in force (tests; a locale change) and tells the listeners.
void SetFormatSettings(const TFormatSettings& fs);
// Restores the Chinese profile.
void ResetFormatSettings();
// Called after every change of the settings in force; returns an id for removal.
int AddFormatSettingsListener(std::function<void()> listener);
void RemoveFormatSettingsListener(int id);
