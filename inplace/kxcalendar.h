// The month calendar that the date editor drops down (a caption with arrows,
// weekday initials, six weeks of days and Today and Clear buttons), the
// scrolling month list that holding the caption opens, and the date
// arithmetic the calendar and the date editors share. NullDate (-700000)
// stands for no date and is always tested by equality.
#pragma once

#include "inplace/kxcntner.h"
#include "platform/rtl/datetime.h"

constexpr TDateTime NullDate = -700000;

bool kxIsLeapYear(int Year);
int kxDaysInMonth(int Year, int Month);
int kxClampDay(int Year, int Month, int Day);
void kxAddMonths(int& Year, int& Month, int N);
// 1 year, 2 month, 3 day of D; -1 for another kind.
int kxDatePart(int Kind, TDateTime D);
// The day part of X, robust against values a hair below a whole day.
TDateTime kxTruncDateTime(TDateTime X);
// The time of day of X in whole milliseconds.
TDateTime kxTimeOfDateTime(TDateTime X);
// The first day of the week, 0 Sunday .. 6 Saturday (from the locale).
extern int kxFirstDayOfWeek;
void kxReadFirstDayOfWeek();

class TAMonthListBox;

class TCustomkxCalendar : public TkxInplacePopupControl {
  PV_CLASS(TCustomkxCalendar, TkxInplacePopupControl)
 public:
  explicit TCustomkxCalendar(TComponent* AOwner);
  bool FlatLook = true;
  TDateTime DragStartDate = NullDate;
  TNotifyEvent OnDateSelected;
  TDateTime MonthStart() const { return FMonthStart; }

  virtual TDateTime GetFirstVisibleDate() { return FMonthStart; }
  virtual TDateTime GetLastVisibleDate() { return GetMonthEnd(); }
  virtual TDateTime GetMonthEnd() = 0;
  virtual TDateTime GetSelectionStart();
  virtual TDateTime GetSelectionEnd();
  virtual void SetMonthStart(TDateTime D);
  virtual void SetSelection(TDateTime D);
  virtual void SetSelectionEnd(TDateTime D);
  virtual void MakeSelectionVisible() = 0;
  virtual TDateTime DateAtPos(const TPoint& P) = 0;
  virtual void DoDateSelected();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  TDateTime FMonthStart = 0;
  TDateTime FSelectionStart = 0;
  TDateTime FSelectionEnd = 0;

  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
  END_MESSAGE_MAP(TkxInplacePopupControl)
};

class TkxGridDatePopup : public TCustomkxCalendar {
  PV_CLASS(TkxGridDatePopup, TCustomkxCalendar)
 public:
  explicit TkxGridDatePopup(TComponent* AOwner);
  ~TkxGridDatePopup() override;

  bool HasTodayButton = true;
  bool HasClearButton = false;
  int DayColumnWidth = 0, SideMargin = 0, WeekRowHeight = 0, CaptionHeight = 0, DayNamesHeight = 0;
  int TodayWidth = 0, ClearWidth = 0, ButtonGap = 0, ButtonHeight = 0, ButtonAreaHeight = 0;
  TAMonthListBox* MonthList() const { return FMonthList; }
  bool ArrowTimerRunning() const { return FArrowTimer != 0; }

  TDateTime GetFirstVisibleDate() override;
  TDateTime GetLastVisibleDate() override;
  TDateTime GetMonthEnd() override;
  void SetMonthStart(TDateTime D) override;
  void SetSelectionEnd(TDateTime D) override;
  void MakeSelectionVisible() override;
  TDateTime DateAtPos(const TPoint& P) override;
  void ClosePopup() override;
  void AdjustPopupSize();
  // The column (0..6) of D in a week starting on kxFirstDayOfWeek.
  static int WeekColumn(TDateTime D);
  TRect CaptionTextRect();
  TRect LeftArrowRect();
  TRect RightArrowRect();
  TRect TodayButtonRect();
  TRect ClearButtonRect();
  int DayAreaTop() const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void StepMonth(int Delta);
  void OpenMonthList();
  void FreeMonthList();
  void StopArrowTimer();
  bool AnyButton() const { return HasTodayButton || HasClearButton; }
  void DrawButton(HDC DC, const TRect& R, const AnsiString& Caption, bool Down);

  TAMonthListBox* FMonthList = nullptr;
  int FMonthListPanel = 0;
  UINT_PTR FArrowTimer = 0;
  bool FTodayTracking = false, FTodayDown = false, FClearTracking = false, FClearDown = false;

  void CMFontChanged(TMessage& Message);
  void WMSize(TWMSize& Message);
  void WMTimer(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_TIMER, TMessage, WMTimer)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomkxCalendar)
};

// The list of months that holding the calendar's caption opens.
class TAMonthListBox : public TCustomControl {
  PV_CLASS(TAMonthListBox, TCustomControl)
 public:
  explicit TAMonthListBox(TComponent* AOwner);
  ~TAMonthListBox() override;
  TDateTime FirstMonth = NullDate;
  int LineHeight = 0;
  int HotRow = 0;
  int ScrollTimerId() const { return FScrollTimerId; }
  // NullDate without a hot row, else the 1st of the hot row's month.
  TDateTime SelectedMonth();
  // The mouse at P (the list's client coordinates), forwarded by the calendar.
  void TrackMouse(const TPoint& P);
  void StopScrollTimer();
  HWND OwnerWnd = nullptr;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  int FScrollTimerId = 0;
  void WMTimer(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_TIMER, TMessage, WMTimer)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
  END_MESSAGE_MAP(TCustomControl)
};

void kxInitCalendar();
void kxDoneCalendar();
