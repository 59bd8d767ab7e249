// The format controller: the one keeper of the locale's date, time and
// currency formats in the forms the editors need (parsed format items, edit
// masks in the standard and the regular-expression notation, display formats
// that match them, the first day of the week). It re-reads the locale when
// the system announces a change of the international settings and tells its
// listeners.
#pragma once

#include "platform/controls/controls.h"
#include "platform/rtl/types.h"

#include <vector>

// Kinds of format items.
constexpr Byte dtikText = 0, dtikYear = 1, dtikMonth = 2, dtikDay = 3, dtikHour = 4, dtikMin = 5, dtikSec = 6,
               dtikMSec = 7, dtikTimeSuffix = 8, dtikDateSeparator = 9, dtikTimeSeparator = 10;
constexpr int dtikCount = 11;

struct TuxDateTimeFormatItem {
  Byte Kind = dtikText;
  AnsiString Data;  // the text, "YYYY", "MMM", "24HH", "AM/PM", ...
};

struct TuxDateTimeFormatInfo {
  bool DefinedItems[dtikCount] = {};
  std::vector<TuxDateTimeFormatItem> Items;
};

// An item found at a position of the formatted text.
struct TuxDateTimeFormatItemInfo {
  Byte Kind = dtikText;
  int ItemStart = 0;   // 1-based
  int ItemWidth = 0;
  int TimeSuffixKind = 0;  // AM/PM items: 0 "A/P", 1 "AM/PM", 2 the locale's words
};

// Listeners. The second interface is optional; a listener that also
// implements it hears of changes of the system time.
class IuxFormatControllerListener {
 public:
  virtual ~IuxFormatControllerListener() = default;
  virtual void FormatChanged() = 0;
};
class IuxFormatControllerListener2 {
 public:
  virtual ~IuxFormatControllerListener2() = default;
  virtual void TimeChanged() = 0;
};

class TuxFormatController : public TObject {
 public:
  TuxFormatController();
  ~TuxFormatController() override;

  virtual void WndProc(TMessage& Message);
  virtual void AddListener(IuxFormatControllerListener* Listener);
  virtual void RemoveListener(IuxFormatControllerListener* Listener);

  // Reads the locale again (keeping the assigned values) and recomputes the masks.
  void GetFormats();
  int GetFormatTextLength(const TuxDateTimeFormatInfo& Info) const;
  // The hidden window that hears the system's notifications (none without listeners).
  HWND Window() const { return FWindow; }
  int ListenerCount() const { return int(FListeners.size()); }

  // Values that, once assigned, survive a re-read of the locale.
  void SetCurrencyFormat(const AnsiString& Value);
  void SetRegExprDateEditMask(const AnsiString& Value);
  void SetRegExprDateTimeEditMask(const AnsiString& Value);
  void SetStandardDateEditMask(const AnsiString& Value);
  void SetStandardDateTimeEditMask(const AnsiString& Value);
  void SetStartOfWeek(Byte Value);

  // Read directly by their users.
  AnsiString CurrencyFormat;
  AnsiString DateEditFormat;
  AnsiString DateEditMask;
  TuxDateTimeFormatInfo DateFormatInfo;
  TuxDateTimeFormatInfo DateTimeFormatInfo;
  Byte FirstWeekOfYear = 0;  // 0 the locale's rule, 1 week of 1 January, 2 first full week, 3 first four-day week
  AnsiString MaskedDateEditFormat;
  AnsiString MaskedDateTimeEditFormat;
  AnsiString RegExprDateEditMask;
  AnsiString RegExprDateTimeEditMask;
  AnsiString StandardDateEditMask;
  AnsiString StandardDateTimeEditMask;
  Byte StartOfWeek = 0;  // 0 Sunday .. 6 Saturday
  TuxDateTimeFormatInfo TimeFormatInfo;
  bool UseRuntimeDateFormats = false;

 private:
  void CalculateMasks(bool WithSmartDateWords);
  void NotifyFormatChanged();
  void NotifyTimeChanged();
  bool FAssignedCurrencyFormat = false, FAssignedRegExprDateEditMask = false,
       FAssignedRegExprDateTimeEditMask = false, FAssignedStandardDateEditMask = false,
       FAssignedStandardDateTimeEditMask = false, FAssignedStartOfWeek = false;
  std::vector<IuxFormatControllerListener*> FListeners;
  HWND FWindow = nullptr;
};

// The controller, made on first request.
TuxFormatController* uxGetFormatController();
// Start-up (makes the controller) and shut-down (frees it with its window).
void uxInitFormatController();
void uxDoneFormatController();
// Whether the controller exists now (without making it).
bool uxFormatControllerExists();

// Parses a format string of the run-time library's picture language.
// False (and an empty info) for a format that cannot be used.
bool uxParseDateTimeFormat(const AnsiString& Format, TuxDateTimeFormatInfo& Info);
int uxGetFormatItemWidth(const TuxDateTimeFormatItem& Item);
bool uxFindFormatItemAtPos(const TuxDateTimeFormatInfo& Info, int Pos, TuxDateTimeFormatItemInfo& Item);

enum TuxMaskKind { mkDate, mkTime, mkDateTime };
AnsiString uxGetStandardMask(const TuxDateTimeFormatInfo& Info, TuxMaskKind Kind);
AnsiString uxGetDateRegExprMask(const TuxDateTimeFormatInfo& Info);
AnsiString uxGetTimeRegExprMask(const TuxDateTimeFormatInfo& Info);
AnsiString uxGetDisplayFormat(const TuxDateTimeFormatInfo& Info);
AnsiString uxGetCurrencyFormat();
// Text written as regular-expression literals: in single quotes, each
// apostrophe as \' outside them.
AnsiString uxQuoteRegExprText(const AnsiString& Text);
