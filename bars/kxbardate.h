// The month calendar of the bar library's date item, with its pop-up month
// list, and the date and font-name combo items.
#pragma once
#include "bars/kxbaritems.h"

class TkxBarDateCombo;
// The in-place date editors have a month list of the same name: this one is
// kept apart in its own namespace.
namespace kxbardate {
class TAMonthListBox;
}

// The date every missing date is.
constexpr double kxBarNullDate = -700000;

// ---- date arithmetic ----
void kxBarDecMonth(Word& Year, Word& Month);
void kxBarIncMonth(Word& Year, Word& Month);
// Moves Year and Month by N months; returns the whole years of N.
int kxBarAddMonths(Word& Year, Word& Month, int N);
// 1 year, 2 month, 3 day of a date; -1 for any other part.
int kxBarGetDatePart(int Part, TDateTime Date);
bool kxBarIsLeapYear(int Year);
int kxBarDaysPerMonth(int Year, int Month);
int kxBarCheckDay(int Year, int Month, int Day);
// The whole day of a date-time; a hair below a day counts as that day.
TDateTime kxBarDateOf(TDateTime Date);
// The first day of the week from the locale (0 Sunday .. 6 Saturday).
int kxBarFirstDayOfWeek();

enum TkxBarCalendarStyle : Byte { bcs3D, bcsFlat, bcsPainted };

// An owner-drawn calendar: a first date, a selection and the mouse rules.
class TkxBarCustomCalendar : public TCustomControl {
  PV_CLASS(TkxBarCustomCalendar, TCustomControl)
 public:
  explicit TkxBarCustomCalendar(TComponent* AOwner);
  TkxBarCalendarStyle Style() const { return FStyle; }
  void SetStyle(TkxBarCalendarStyle Value);
  TDateTime FirstDate() const { return FFirstDate; }

  virtual TkxBarCalendarStyle GetStyle() const { return FStyle; }
  virtual TDateTime GetFirstVisibleDate() const { return FFirstDate; }
  virtual TDateTime GetLastVisibleDate() const { return GetLastDate(); }
  virtual TDateTime GetLastDate() const = 0;
  virtual TDateTime GetSelStart() const;
  virtual TDateTime GetSelFinish() const;
  virtual void SetFirstDate(TDateTime Value);
  virtual void SetSelStart(TDateTime Value);
  virtual void SetSelFinish(TDateTime Value);
  virtual void MakeSelectionVisible() = 0;
  virtual TDateTime GetDateAtPos(const TPoint& P) = 0;
  void SelectDateIfValid(TDateTime Date);
  virtual void CancelTracking();
  virtual void DateChosen();

  TNotifyEvent OnDateChosen;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

  TDateTime FFirstDate, FSelStart, FSelFinish, FDragDate = kxBarNullDate;
  TkxBarCalendarStyle FStyle = bcsFlat;
};

// The one-month calendar of the date item: as its drop-down (popup) and
// inside its select-date dialog.
class TkxBarDateNavigator : public TkxBarCustomCalendar {
  PV_CLASS(TkxBarDateNavigator, TkxBarCustomCalendar)
 public:
  TkxBarDateNavigator(TComponent* AOwner, TkxBarDateCombo* Combo, bool Popup);
  ~TkxBarDateNavigator() override;
  TkxBarDateCombo* Combo() const { return FCombo; }
  bool IsPopup() const { return FPopup; }
  bool ShowTodayButton() const { return FShowToday; }
  void SetShowTodayButton(bool V) { FShowToday = V; }
  bool ShowClearButton() const { return FShowClear; }
  void SetShowClearButton(bool V) { FShowClear = V; }
  kxbardate::TAMonthListBox* MonthList() const { return FMonthList; }
  int ScrollTimer() const { return FTimer; }

  int GetDayColumn(TDateTime Date) const;
  TRect GetHeaderRect();
  TRect GetGridRect();
  TRect GetTitleRect();
  TRect GetPrevArrowRect();
  TRect GetNextArrowRect();
  TRect GetTodayButtonRect();
  TRect GetClearButtonRect();
  bool HasButtons() const { return FPopup && (FShowToday || FShowClear); }
  void ResetTracking();
  void UpdateSize();
  int CalcWidth();
  int CalcHeight();
  // Grid metrics, from the font.
  int ColWidth() const { return FColWidth; }
  int SideWidth() const { return FSideWidth; }
  int RowHeight() const { return FRowHeight; }
  int HeaderHeight() const { return FHeaderHeight; }
  int DaysOfWeekHeight() const { return FDaysOfWeekHeight; }
  int TodayButtonWidth() const { return FTodayButtonWidth; }
  int ClearButtonWidth() const { return FClearButtonWidth; }
  int ButtonsOffset() const { return FButtonsOffset; }
  int ButtonsHeight() const { return FButtonsHeight; }
  int ButtonsRegionHeight() const { return FButtonsRegionHeight; }

  TkxBarCalendarStyle GetStyle() const override;
  TDateTime GetFirstVisibleDate() const override;
  TDateTime GetLastVisibleDate() const override;
  TDateTime GetLastDate() const override;
  void SetFirstDate(TDateTime Value) override;
  void SetSelFinish(TDateTime Value) override;
  void MakeSelectionVisible() override;
  TDateTime GetDateAtPos(const TPoint& P) override;
  void CancelTracking() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;

 private:
  void FontChanged();
  void DrawMonth(HRGN Region, int Col, int Row);
  void StepMonth(int Delta);
  void StopTimer();
  void PaintNonClient();
  TkxBarItemControlPainterClass Painter() const;

  TkxBarDateCombo* FCombo;
  bool FPopup;
  bool FShowToday = true, FShowClear = false;
  int FColCount = 1, FRowCount = 1;
  kxbardate::TAMonthListBox* FMonthList = nullptr;
  int FMonthListBlock = 0;
  int FTimer = 0;
  int FColWidth = 0, FSideWidth = 0, FRowHeight = 0, FHeaderHeight = 0, FDaysOfWeekHeight = 0;
  int FTodayButtonWidth = 0, FClearButtonWidth = 0, FButtonsOffset = 0, FButtonsHeight = 0,
      FButtonsRegionHeight = 0;
  bool FTodayActive = false, FTodayPressed = false, FClearActive = false, FClearPressed = false;
  bool FSizing = false;
  bool FReleasing = false;
};

namespace kxbardate {
// The pop-up list of seven months over a navigator's title.
class TAMonthListBox : public TCustomControl {
  PV_CLASS(TAMonthListBox, TCustomControl)
 public:
  TAMonthListBox(TComponent* AOwner, TkxBarDateNavigator* Navigator);
  ~TAMonthListBox() override;
  TDateTime TopDate() const { return FTopDate; }
  void SetTopDate(TDateTime Value);
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int ItemHeight() const { return FItemHeight; }
  int TimerId() const { return FTimerId; }
  TDateTime GetChosenMonth() const;
  void FontChanged();
  // The navigator hands on its mouse moves in list coordinates.
  void TrackMouse(int X, int Y);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;

 private:
  void StopTimer();
  TkxBarDateNavigator* FNavigator;
  TDateTime FTopDate = kxBarNullDate;
  int FItemIndex = 0;
  int FItemHeight = 0;
  int FTimerId = 0;
};
}  // namespace kxbardate

enum TkxBarDateOnStart { bdsToday, bdsNullDate, bdsCustom };
PV_ENUM_NAMES(TkxBarDateOnStart, "bdsToday bdsNullDate bdsCustom")

// ---- date text ----
// A text read as a date by the locale's rules ("." counts as a blank); the
// null date when it is none.
TDateTime kxBarTextToDate(const AnsiString& Text);
// The locale's short date; empty for the null date.
AnsiString kxBarDateToText(TDateTime Date);
// A date item's text (a day-name prefix up to the first blank is skipped).
TDateTime kxBarDateComboTextToDate(const AnsiString& Text);

// A combo item holding one date, with the navigator as its drop-down.
class TkxBarDateCombo : public TCustomkxBarCombo {
  PV_CLASS(TkxBarDateCombo, TCustomkxBarCombo)
 public:
  explicit TkxBarDateCombo(TComponent* AOwner);
  ~TkxBarDateCombo() override;
  TDateTime GetDate() const;
  void SetDate(TDateTime Value);
  AnsiString FormatDate(TDateTime Date) const;
  TDateTime CheckDate(TDateTime Date) const;
  TkxBarDateOnStart DateOnStart() const { return FDateOnStart; }
  void SetDateOnStart(TkxBarDateOnStart Value);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime Value);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime Value);
  bool ShowClearButton() const { return FShowClearButton; }
  void SetShowClearButton(bool V) { FShowClearButton = V; }
  bool ShowDayText() const { return FShowDayText; }
  void SetShowDayText(bool Value);
  bool ShowTodayButton() const { return FShowTodayButton; }
  void SetShowTodayButton(bool V) { FShowTodayButton = V; }
  TkxBarDateNavigator* Navigator() const { return FNavigator; }

  void SetText(const AnsiString& Value) override;
  void Loaded() override;
  bool CheckKeyForDropDownWindow(Word Key, TShiftState Shift) override;
  HWND GetDropDownWindow() override;
  void DropDown(int X, int Y) override;
  void CloseUp() override;
  // Without an OnClick handler, a click on the item's glyph opens the
  // select-date dialog.
  void DoClick() override;

 private:
  void ApplyDateOnStart();
  void CheckCurrentDate();
  void NavigatorDateChosen(TObject* Sender);
  TkxBarDateNavigator* FNavigator = nullptr;
  TkxBarDateOnStart FDateOnStart = bdsToday;
  TDateTime FMinDate = 0, FMaxDate = 0;
  bool FShowClearButton = true, FShowDayText = true, FShowTodayButton = true;
  bool FSettingText = false;
};

// The date item's control: "+" and "-" typed into its edit step one day.
class TkxBarDateComboControl : public TCustomkxBarComboControl {
  PV_CLASS(TkxBarDateComboControl, TCustomkxBarComboControl)
 public:
  explicit TkxBarDateComboControl(TkxBarItemLink* ALink) : TCustomkxBarComboControl(ALink) {}
  void WndProc(TMessage& Message) override;
};

// Registers the date item with the item-class registry and its settings.
void kxBarRegisterDateItems();
void kxBarUnregisterDateItems();

// A combo item listing the installed font families, each with a mark that
// tells TrueType fonts from the others; its glyph button opens the font dialog.
class TkxBarFontNameCombo : public TkxBarCustomCombo {
  PV_CLASS(TkxBarFontNameCombo, TkxBarCustomCombo)
 public:
  explicit TkxBarFontNameCombo(TComponent* AOwner);
  // On a bar, a name that matches no family is refused; a prefix takes the
  // family it starts.
  void SetText(const AnsiString& Value) override;
  void DrawItem(int Index, const TRect& R, unsigned State) override;
  void MeasureItemWidth(int Index, int& Width) override;
  void DoClick() override;
};

// The marks of TrueType and other fonts in the font list.
TBitmap* kxBarFontTypeMark(bool TrueType);
