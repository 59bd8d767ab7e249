#include "platform/rtl/locale.h"

#include <map>

namespace {

// CP936 bytes of the profile's words.
const char* const kMonthNames[12] = {
    "\xD2\xBB\xD4\xC2",          // 一月
    "\xB6\xFE\xD4\xC2",          // 二月
    "\xC8\xFD\xD4\xC2",          // 三月
    "\xCB\xC4\xD4\xC2",          // 四月
    "\xCE\xE5\xD4\xC2",          // 五月
    "\xC1\xF9\xD4\xC2",          // 六月
    "\xC6\xDF\xD4\xC2",          // 七月
    "\xB0\xCB\xD4\xC2",          // 八月
    "\xBE\xC5\xD4\xC2",          // 九月
    "\xCA\xAE\xD4\xC2",          // 十月
    "\xCA\xAE\xD2\xBB\xD4\xC2",  // 十一月
    "\xCA\xAE\xB6\xFE\xD4\xC2",  // 十二月
};
const char* const kShortDayNames[7] = {
    "\xC8\xD5",  // 日
    "\xD2\xBB",  // 一
    "\xB6\xFE",  // 二
    "\xC8\xFD",  // 三
    "\xCB\xC4",  // 四
    "\xCE\xE5",  // 五
    "\xC1\xF9",  // 六
};
const char* const kWeek = "\xD0\xC7\xC6\xDA";  // 星期

TFormatSettings MakeChineseProfile() {
  TFormatSettings fs;
  fs.LongDateFormat = "yyyy'\xC4\xEA'M'\xD4\xC2'd'\xC8\xD5'";  // yyyy'年'M'月'd'日'
  fs.TimeAMString = "\xC9\xCF\xCE\xE7";                       // 上午
  fs.TimePMString = "\xCF\xC2\xCE\xE7";                       // 下午
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = kMonthNames[i];
    fs.LongMonthNames[i] = kMonthNames[i];
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = kShortDayNames[i];
    fs.LongDayNames[i] = AnsiString(kWeek) + kShortDayNames[i];
  }
  return fs;
}

TFormatSettings& Current() {
  static TFormatSettings fs = DefaultFormatSettings();
  return fs;
}

TFormatSettings& Locale() {
  static TFormatSettings fs = DefaultFormatSettings();
  return fs;
}

struct Listeners {
  std::map<int, std::function<void()>> byId;
  int nextId = 1;
};

Listeners& TheListeners() {
  static Listeners l;
  return l;
}

void Notify() {
  // Copy first: a listener may add or remove listeners while it runs.
  auto snapshot = TheListeners().byId;
  for (auto& [id, fn] : snapshot)
    if (fn) fn();
}

}  // namespace

const TFormatSettings& DefaultFormatSettings() {
  static const TFormatSettings fs = MakeChineseProfile();
  return fs;
}

const TFormatSettings& LocaleFormatSettings() { return Locale(); }

TFormatSettings& FormatSettings() { return Current(); }

void SetFormatSettings(const TFormatSettings& fs) {
  Locale() = fs;
  Current() = fs;
  Notify();
}

void GetFormatSettings() {
  Current() = Locale();
  Notify();
}

void ResetFormatSettings() { SetFormatSettings(DefaultFormatSettings()); }

int AddFormatSettingsListener(std::function<void()> listener) {
  Listeners& l = TheListeners();
  int id = l.nextId++;
  l.byId.emplace(id, std::move(listener));
  return id;
}

void RemoveFormatSettingsListener(int id) { TheListeners().byId.erase(id); }

AnsiString GetLocaleDateFormat(bool LongFormat) {
  const TFormatSettings& fs = LocaleFormatSettings();
  return LongFormat ? fs.LongDateFormat : fs.ShortDateFormat;
}

AnsiString GetLocaleTimeFormat() { return LocaleFormatSettings().LongTimeFormat; }
