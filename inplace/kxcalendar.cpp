#include "inplace/kxcalendar.h"

#include <cmath>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

int kxFirstDayOfWeek = 1;

namespace {
AnsiString gTodayCaption, gClearCaption;
int gLocaleListener = -1;

int TextWidth(HDC DC, const AnsiString& S) { return kxTextExtent(DC, S).cx; }
int TextHeight(HDC DC, const AnsiString& S) { return kxTextExtent(DC, S).cy; }

void FillColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  RECT r = R;
  FillRect(DC, &r, b);
  DeleteObject(b);
}

void HLine(HDC DC, int X1, int X2, int Y, TColor Color) { FillColor(DC, kxRect(X1, Y, X2, Y + 1), Color); }
void VLine(HDC DC, int X, int Y1, int Y2, TColor Color) { FillColor(DC, kxRect(X, Y1, X + 1, Y2), Color); }

// The first character of a name, a double-byte one whole.
AnsiString FirstChar(const AnsiString& S) {
  if (S.empty()) return S;
  return S.substr(0, IsDBCSLeadByte(static_cast<unsigned char>(S[0])) && S.size() > 1 ? 2 : 1);
}

TDateTime FirstOfMonth(int Y, int M) { return EncodeDate(Word(Y), Word(M), 1); }
}  // namespace

// ---- date arithmetic ----

bool kxIsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int kxDaysInMonth(int Year, int Month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return Month == 2 && kxIsLeapYear(Year) ? 29 : days[Month - 1];
}

int kxClampDay(int Year, int Month, int Day) {
  if (Day <= 0) return 1;
  return std::min(Day, kxDaysInMonth(Year, Month));
}

void kxAddMonths(int& Year, int& Month, int N) {
  int m = Month - 1 + N;
  Year += m >= 0 ? m / 12 : -((11 - m) / 12);
  Month = ((m % 12) + 12) % 12 + 1;
}

int kxDatePart(int Kind, TDateTime D) {
  Word y, m, d;
  DecodeDate(D, y, m, d);
  switch (Kind) {
    case 1: return y;
    case 2: return m;
    case 3: return d;
    default: return -1;
  }
}

TDateTime kxTruncDateTime(TDateTime X) {
  const double s = X >= 0 ? 1 : -1;
  return std::trunc(X + s * 1e-11);
}

TDateTime kxTimeOfDateTime(TDateTime X) {
  Word h, m, s, ms;
  DecodeTime(X, h, m, s, ms);
  return EncodeTime(h, m, s, ms);
}

void kxReadFirstDayOfWeek() {
  int d = LocaleFormatSettings().FirstDayOfWeek + 1;
  kxFirstDayOfWeek = d >= 7 ? 0 : d;
}

// ---- TCustomkxCalendar ----

TCustomkxCalendar::TCustomkxCalendar(TComponent* AOwner) : TkxInplacePopupControl(AOwner) {
  FControlStyle << csDoubleClicks;
  FMonthStart = FSelectionStart = FSelectionEnd = Date();
}

void TCustomkxCalendar::CreateParams(TCreateParams& Params) {
  TkxInplacePopupControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TCustomkxCalendar::CreateWnd() {
  TkxInplacePopupControl::CreateWnd();
  Perform(CM_FONTCHANGED, 0, 0);
}

TDateTime TCustomkxCalendar::GetSelectionStart() {
  if (FSelectionStart >= FSelectionEnd && FSelectionEnd != NullDate) return FSelectionEnd;
  return FSelectionStart;
}

TDateTime TCustomkxCalendar::GetSelectionEnd() { return std::max(FSelectionStart, FSelectionEnd); }

void TCustomkxCalendar::SetMonthStart(TDateTime D) {
  if (FMonthStart == D) return;
  FMonthStart = D;
  Invalidate();
}

void TCustomkxCalendar::SetSelection(TDateTime D) {
  FSelectionStart = D;
  FSelectionEnd = NullDate;
  SetSelectionEnd(D);
}

void TCustomkxCalendar::SetSelectionEnd(TDateTime D) {
  if (FSelectionEnd == D) return;
  MakeSelectionVisible();
  FSelectionEnd = D;
  MakeSelectionVisible();
  Invalidate();
}

void TCustomkxCalendar::DoDateSelected() {
  if (OnDateSelected) OnDateSelected(this);
}

void TCustomkxCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Shift.Contains(ssDouble)) return;
  TkxInplacePopupControl::MouseDown(Button, Shift, X, Y);
  TDateTime d = DateAtPos(kxPoint(X, Y));
  if (Button == mbLeft) {
    DragStartDate = GetSelectionStart();
    if (d != NullDate) SetSelection(d);
  }
}

void TCustomkxCalendar::MouseMove(TShiftState Shift, int X, int Y) {
  TkxInplacePopupControl::MouseMove(Shift, X, Y);
  if (!Shift.Contains(ssLeft)) return;
  TRect cr = ClientRect();
  if (!PtInRect(&cr, kxPoint(X, Y))) {
    if (DragStartDate != NullDate) SetSelection(DragStartDate);
  } else {
    TDateTime d = DateAtPos(kxPoint(X, Y));
    if (d != NullDate) SetSelection(d);
  }
  Update();
}

void TCustomkxCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxInplacePopupControl::MouseUp(Button, Shift, X, Y);
  TRect cr = ClientRect();
  if (PtInRect(&cr, kxPoint(X, Y))) DoDateSelected();
}

// ---- TkxGridDatePopup ----

TkxGridDatePopup::TkxGridDatePopup(TComponent* AOwner) : TCustomkxCalendar(AOwner) {
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  FMonthStart = FirstOfMonth(y, m);
  SetBounds(0, 0, 20, 20);
  FIsPopup = true;
  FVisible = false;
}

TkxGridDatePopup::~TkxGridDatePopup() { FreeMonthList(); }

void TkxGridDatePopup::CreateParams(TCreateParams& Params) {
  TCustomkxCalendar::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.WindowClass.style |= CS_SAVEBITS;
}

int TkxGridDatePopup::WeekColumn(TDateTime D) {
  int c = DayOfWeek(D) - kxFirstDayOfWeek;
  return c > 0 ? c - 1 : c + 6;
}

void TkxGridDatePopup::SetMonthStart(TDateTime D) {
  Word y, m, d;
  DecodeDate(kxTruncDateTime(D), y, m, d);
  TCustomkxCalendar::SetMonthStart(FirstOfMonth(y, m));
}

TDateTime TkxGridDatePopup::GetMonthEnd() {
  Word y, m, d;
  DecodeDate(FMonthStart, y, m, d);
  return FMonthStart + kxDaysInMonth(y, m) - 1;
}

TDateTime TkxGridDatePopup::GetFirstVisibleDate() {
  int c = WeekColumn(FMonthStart);
  return c == 0 ? FMonthStart - 7 : FMonthStart - c;
}

TDateTime TkxGridDatePopup::GetLastVisibleDate() { return GetFirstVisibleDate() + 41; }

void TkxGridDatePopup::SetSelectionEnd(TDateTime D) {
  if (FSelectionEnd != D) FSelectionStart = D;
  TCustomkxCalendar::SetSelectionEnd(D);
}

void TkxGridDatePopup::MakeSelectionVisible() {
  TDateTime s = GetSelectionStart();
  if (s == NullDate) return;
  Word y, m, d;
  DecodeDate(s, y, m, d);
  if (GetFirstVisibleDate() > s) {
    int py = y, pm = m;
    kxAddMonths(py, pm, -1);
    SetMonthStart(FirstOfMonth(py, pm));
  }
  if (GetLastVisibleDate() < s) SetMonthStart(FirstOfMonth(y, m));
}

int TkxGridDatePopup::DayAreaTop() const { return (FlatLook ? 0 : 1) + CaptionHeight + DayNamesHeight; }

TDateTime TkxGridDatePopup::DateAtPos(const TPoint& P) {
  TRect cr = ClientRect();
  if (!PtInRect(&cr, P) || DayColumnWidth <= 0 || WeekRowHeight <= 0) return NullDate;
  TRect area = kxRect(SideMargin, DayAreaTop(), cr.right - SideMargin, DayAreaTop() + 6 * WeekRowHeight);
  if (!PtInRect(&area, P)) return NullDate;
  int col = (P.x - area.left) / DayColumnWidth, row = (P.y - area.top) / WeekRowHeight;
  if (col > 6) return NullDate;
  return GetFirstVisibleDate() + row * 7 + col;
}

void TkxGridDatePopup::CMFontChanged(TMessage& Message) {
  TCustomkxCalendar::Dispatch(Message);
  if (!HandleAllocated()) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  const int zero = TextWidth(dc, "0"), h = TextHeight(dc, "0");
  DayColumnWidth = 3 * zero;
  SideMargin = 2 * zero;
  WeekRowHeight = h + 2;
  CaptionHeight = h + 4 + (FlatLook ? 1 : 0);
  DayNamesHeight = h + 3;
  TodayWidth = TextWidth(dc, gTodayCaption) + DayColumnWidth;
  ClearWidth = TextWidth(dc, gClearCaption) + DayColumnWidth;
  ButtonGap = Font()->Size() / 2;
  ButtonHeight = MulDiv(TextHeight(dc, "Wg"), 20, 13);
  ButtonAreaHeight = Font()->Size() * 3 / 4 + ButtonHeight + ButtonGap;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SendMessageA(Handle(), WM_SIZE, 0, 0);
}

void TkxGridDatePopup::AdjustPopupSize() {
  const int frame = 2 * kxPopupBorderWidth(FPopupBorderStyle) + (FShadow ? FShadowSize : 0);
  int w = frame + 2 * SideMargin + 7 * DayColumnWidth;
  int h = frame + (FlatLook ? 0 : 1) + CaptionHeight + DayNamesHeight + 6 * WeekRowHeight + 1 +
          (AnyButton() ? ButtonAreaHeight : 0);
  if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
}

void TkxGridDatePopup::WMSize(TWMSize& Message) {
  TCustomkxCalendar::Dispatch(Message);
  AdjustPopupSize();
}

TRect TkxGridDatePopup::LeftArrowRect() { return kxRect(1, 1, DayColumnWidth - 1, CaptionHeight - 1); }

TRect TkxGridDatePopup::RightArrowRect() {
  const int cw = ClientWidth();
  return kxRect(cw - DayColumnWidth, 1, cw - (FlatLook ? 0 : 1) - 1, CaptionHeight - 1);
}

TRect TkxGridDatePopup::CaptionTextRect() {
  const int nf = FlatLook ? 0 : 1;
  const int top = DayAreaTop();
  return kxRect(DayColumnWidth, top - nf - 1 - CaptionHeight + 2, ClientWidth() - nf - DayColumnWidth,
                top - nf - 1);
}

TRect TkxGridDatePopup::TodayButtonRect() {
  const int cw = ClientWidth(), top = ClientHeight() + ButtonGap - ButtonAreaHeight;
  int x = (cw - TodayWidth - (HasClearButton ? ClearWidth : 0)) / (HasClearButton ? 3 : 2);
  return kxRect(x, top, x + TodayWidth, top + ButtonHeight);
}

TRect TkxGridDatePopup::ClearButtonRect() {
  const int cw = ClientWidth(), top = ClientHeight() + ButtonGap - ButtonAreaHeight;
  int x = cw - ClearWidth - (cw - (HasTodayButton ? TodayWidth : 0) - ClearWidth) / (HasTodayButton ? 3 : 2);
  return kxRect(x, top, x + ClearWidth, top + ButtonHeight);
}

void TkxGridDatePopup::DrawButton(HDC DC, const TRect& R, const AnsiString& Caption, bool Down) {
  RECT r = R;
  if (Down) {
    DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    FillColor(DC, R, clBtnFace);
    HLine(DC, R.left, R.right, R.bottom - 1, clBtnText);
    VLine(DC, R.right - 1, R.top, R.bottom, clBtnText);
    HLine(DC, R.left, R.right - 1, R.top, clBtnFace);
    VLine(DC, R.left, R.top, R.bottom - 1, clBtnFace);
    HLine(DC, R.left + 1, R.right - 1, R.bottom - 2, clBtnShadow);
    VLine(DC, R.right - 2, R.top + 1, R.bottom - 1, clBtnShadow);
    HLine(DC, R.left + 1, R.right - 2, R.top + 1, clBtnHighlight);
    VLine(DC, R.left + 1, R.top + 1, R.bottom - 2, clBtnHighlight);
    FillColor(DC, kxRect(R.right - 2, R.top + 1, R.right - 1, R.top + 2), clBtnFace);
  }
  RECT t = R;
  InflateRect(&t, -2, -2);
  if (Down) OffsetRect(&t, 1, 1);
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(DC, Caption.c_str(), int(Caption.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TkxGridDatePopup::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  SelectObject(dc, Font()->Handle());
  const int cw = ClientWidth(), ch = ClientHeight();
  TRect all = kxRect(0, 0, cw, ch);
  HRGN rest = CreateRectRgnIndirect(&all);
  auto cut = [&](const TRect& r) {
    HRGN x = CreateRectRgnIndirect(&r);
    CombineRgn(rest, rest, x, RGN_DIFF);
    DeleteObject(x);
  };
  // Caption bar with the month's name and the arrows.
  TRect bar = kxRect(0, 0, cw, CaptionHeight);
  cut(bar);
  if (!FlatLook) {
    HLine(dc, bar.left, bar.right, bar.bottom - 1, clBtnText);
    VLine(dc, bar.right - 1, bar.top, bar.bottom, clBtnText);
    bar.right -= 1;
    bar.bottom -= 1;
  }
  RECT b = bar;
  DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT);
  InflateRect(&bar, -1, -1);
  int s = (bar.bottom - bar.top) / 2;
  if (s % 2 == 0) ++s;
  const int y0 = (bar.top + bar.bottom - s) / 2;
  int saved = SaveDC(dc);
  // Each arrow is a solid triangle drawn column by column, then kept out of
  // the caption's opaque fill.
  const int lx = bar.left + DayColumnWidth - 2, rx = bar.right - (DayColumnWidth - 1);
  for (int i = 0; i <= s / 2; ++i) {
    const TRect l = kxRect(lx - i, y0 + i, lx - i + 1, y0 + s - i), r = kxRect(rx + i, y0 + i, rx + i + 1, y0 + s - i);
    FillColor(dc, l, clBtnText);
    FillColor(dc, r, clBtnText);
    ExcludeClipRect(dc, l.left, l.top, l.right, l.bottom);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  Word year, month, day;
  DecodeDate(FMonthStart, year, month, day);
  AnsiString caption = FormatSettings().LongMonthNames[month - 1] + " " + IntToStr(year);
  SetBkColor(dc, ColorToRGB(clBtnFace));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SIZE sz{0, 0};
  GetTextExtentPoint32A(dc, caption.c_str(), int(caption.size()), &sz);
  ExtTextOutA(dc, (bar.left + bar.right - sz.cx) / 2, (bar.top + bar.bottom - sz.cy) / 2, ETO_CLIPPED | ETO_OPAQUE,
              &bar, caption.c_str(), UINT(caption.size()), nullptr);
  RestoreDC(dc, saved);

  // Weekday initials.
  const int namesTop = CaptionHeight + (FlatLook ? 0 : 1);
  TRect names = kxRect(0, namesTop, cw, namesTop + DayNamesHeight);
  FillColor(dc, names, clWindow);
  cut(names);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (int col = 0; col < 7; ++col) {
    AnsiString n = FirstChar(FormatSettings().ShortDayNames[(kxFirstDayOfWeek + col) % 7]);
    GetTextExtentPoint32A(dc, n.c_str(), int(n.size()), &sz);
    int right = SideMargin + (col + 1) * DayColumnWidth - 3;
    TextOutA(dc, right - sz.cx, names.top + (DayNamesHeight - 2 - sz.cy) / 2, n.c_str(), int(n.size()));
  }
  HLine(dc, SideMargin, cw - SideMargin, names.bottom - 2, clBtnShadow);

  // Days.
  const TDateTime first = GetFirstVisibleDate(), selStart = GetSelectionStart(), selEnd = GetSelectionEnd();
  const TDateTime today = Date(), monthEnd = GetMonthEnd();
  const int top = DayAreaTop();
  FillColor(dc, kxRect(0, top, cw, top + 6 * WeekRowHeight), clWindow);
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 7; ++col) {
      const TDateTime d = first + row * 7 + col;
      TRect cell = kxRect(SideMargin + col * DayColumnWidth, top + row * WeekRowHeight,
                          SideMargin + (col + 1) * DayColumnWidth, top + (row + 1) * WeekRowHeight);
      cut(cell);
      const bool selected = selStart != NullDate && d >= selStart && d <= selEnd;
      TColor bg = selected ? (FlatLook ? clBtnFace : clHighlight) : clWindow;
      if (d == today) {
        HBRUSH frame = CreateSolidBrush(ColorToRGB(clMaroon));
        RECT fr = cell;
        FrameRect(dc, &fr, frame);
        DeleteObject(frame);
        InflateRect(&cell, -1, -1);
      }
      COLORREF text = selected                             ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                      : (d < FMonthStart || d > monthEnd) ? GetSysColor(COLOR_GRAYTEXT)
                                                          : GetSysColor(COLOR_WINDOWTEXT);
      AnsiString num = IntToStr(kxDatePart(3, d));
      SetBkColor(dc, ColorToRGB(bg));
      SetTextColor(dc, text);
      GetTextExtentPoint32A(dc, num.c_str(), int(num.size()), &sz);
      ExtTextOutA(dc, cell.right - 3 - sz.cx, (cell.top + cell.bottom - sz.cy) / 2, ETO_OPAQUE, &cell, num.c_str(),
                  UINT(num.size()), nullptr);
    }

  // Buttons.
  if (AnyButton()) {
    HLine(dc, SideMargin, cw - SideMargin, ch - ButtonAreaHeight - 1, clBtnShadow);
    cut(kxRect(SideMargin, ch - ButtonAreaHeight - 1, cw - SideMargin, ch - ButtonAreaHeight));
    if (HasTodayButton) {
      TRect r = TodayButtonRect();
      DrawButton(dc, r, gTodayCaption, FTodayTracking && FTodayDown);
      cut(r);
    }
    if (HasClearButton) {
      TRect r = ClearButtonRect();
      DrawButton(dc, r, gClearCaption, FClearTracking && FClearDown);
      cut(r);
    }
  }
  HBRUSH window = CreateSolidBrush(ColorToRGB(clWindow));
  FillRgn(dc, rest, window);
  DeleteObject(window);
  DeleteObject(rest);
}

void TkxGridDatePopup::StepMonth(int Delta) {
  Word y, m, d;
  DecodeDate(FMonthStart, y, m, d);
  int yy = y, mm = m;
  kxAddMonths(yy, mm, Delta);
  SetMonthStart(FirstOfMonth(yy, mm));
}

void TkxGridDatePopup::StopArrowTimer() {
  if (FArrowTimer && HandleAllocated()) KillTimer(Handle(), FArrowTimer);
  FArrowTimer = 0;
}

void TkxGridDatePopup::FreeMonthList() {
  delete FMonthList;
  FMonthList = nullptr;
}

void TkxGridDatePopup::OpenMonthList() {
  FreeMonthList();
  FMonthList = new TAMonthListBox(this);
  FMonthList->OwnerWnd = Handle();
  FMonthList->Font()->Assign(Font());
  FMonthList->LineHeight = CaptionHeight - 2;
  const int w = 2 * GetSystemMetrics(SM_CXBORDER) + 6 * DayColumnWidth;
  const int h = 2 * GetSystemMetrics(SM_CYBORDER) + 7 * FMonthList->LineHeight;
  Word y, m, d;
  DecodeDate(FMonthStart, y, m, d);
  int yy = y, mm = m;
  kxAddMonths(yy, mm, -3);
  FMonthList->FirstMonth = FirstOfMonth(yy, mm);
  TRect cap = CaptionTextRect();
  TPoint p = ClientToScreen(kxPoint((cap.left + cap.right - w) / 2, (cap.top + cap.bottom) / 2 - h / 2));
  FMonthList->SetBounds(p.x, p.y, w, h);
  ShowWindow(FMonthList->Handle(), SW_SHOWNOACTIVATE);
  FMonthList->Update();
}

void TkxGridDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && AnyButton()) {
    TPoint p = kxPoint(X, Y);
    TRect today = TodayButtonRect(), clear = ClearButtonRect();
    if (HasTodayButton && PtInRect(&today, p)) {
      FTodayTracking = FTodayDown = true;
      SetMouseCapture(true);
      InvalidateRect(Handle(), &today, FALSE);
      return;
    }
    if (HasClearButton && PtInRect(&clear, p)) {
      FClearTracking = FClearDown = true;
      SetMouseCapture(true);
      InvalidateRect(Handle(), &clear, FALSE);
      return;
    }
    if (Y >= ClientHeight() - ButtonAreaHeight) return;
  }
  TCustomkxCalendar::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || Shift.Contains(ssDouble)) return;
  TPoint p = kxPoint(X, Y);
  TRect cap = CaptionTextRect(), la = LeftArrowRect(), ra = RightArrowRect();
  if (PtInRect(&cap, p)) {
    SetMouseCapture(true);
    OpenMonthList();
  } else if (PtInRect(&la, p) || PtInRect(&ra, p)) {
    bool back = PtInRect(&la, p) != 0;
    StepMonth(back ? -1 : 1);
    SetMouseCapture(true);
    FArrowTimer = back ? 1 : 2;
    SetTimer(Handle(), FArrowTimer, 170, nullptr);
  }
}

void TkxGridDatePopup::WMTimer(TMessage& Message) {
  if (Message.WParam != 1 && Message.WParam != 2) {
    TCustomkxCalendar::Dispatch(Message);
    return;
  }
  POINT p;
  GetCursorPos(&p);
  TPoint local = ScreenToClient(kxPoint(p.x, p.y));
  TRect r = Message.WParam == 1 ? LeftArrowRect() : RightArrowRect();
  if (PtInRect(&r, local)) StepMonth(Message.WParam == 1 ? -1 : 1);
}

void TkxGridDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
  if (FArrowTimer) return;
  if (FMonthList) {
    TPoint screen = ClientToScreen(kxPoint(X, Y));
    FMonthList->TrackMouse(FMonthList->ScreenToClient(screen));
    return;
  }
  if (FTodayTracking || FClearTracking) {
    TRect r = FTodayTracking ? TodayButtonRect() : ClearButtonRect();
    bool down = PtInRect(&r, kxPoint(X, Y)) != 0;
    bool& flag = FTodayTracking ? FTodayDown : FClearDown;
    if (flag != down) {
      flag = down;
      InvalidateRect(Handle(), &r, FALSE);
    }
    return;
  }
  TCustomkxCalendar::MouseMove(Shift, X, Y);
}

void TkxGridDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FArrowTimer) {
    StopArrowTimer();
    SetMouseCapture(false);
    return;
  }
  if (FMonthList) {
    TDateTime month = FMonthList->HotRow >= 0 ? FMonthList->SelectedMonth() : NullDate;
    FreeMonthList();
    SetMouseCapture(false);
    if (month != NullDate) {
      Word y, m, d;
      DecodeDate(month, y, m, d);
      int yy = y, mm = m;
      kxAddMonths(yy, mm, -FMonthListPanel);
      SetMonthStart(FirstOfMonth(yy, mm));
    }
    Invalidate();
    return;
  }
  TPoint p = kxPoint(X, Y);
  if (FTodayTracking || FClearTracking) {
    bool today = FTodayTracking;
    TRect r = today ? TodayButtonRect() : ClearButtonRect();
    FTodayTracking = FTodayDown = FClearTracking = FClearDown = false;
    SetMouseCapture(false);
    InvalidateRect(Handle(), &r, FALSE);
    if (!PtInRect(&r, p)) return;
    SetSelection(today ? Date() : NullDate);
  }
  TRect cr = ClientRect();
  if (PtInRect(&cr, p)) ClosePopup();
  TCustomkxCalendar::MouseUp(Button, Shift, X, Y);
}

void TkxGridDatePopup::KeyDown(Word& Key, TShiftState Shift) {
  TCustomkxCalendar::KeyDown(Key, Shift);
  const TDateTime s = GetSelectionStart() == NullDate ? Date() : GetSelectionStart();
  const bool ctrlOnly = Shift == TShiftState{ssCtrl};
  switch (Key) {
    case VK_RETURN:
      if (FMonthList) return;
      ClosePopup();
      DoDateSelected();
      return;
    case VK_ESCAPE:
    case VK_F4: ClosePopup(); return;
    case VK_UP:
    case VK_DOWN:
      if (Shift == TShiftState{ssAlt}) {
        ClosePopup();
        return;
      }
      SetSelection(s + (Key == VK_UP ? -7 : 7));
      return;
    case VK_LEFT: SetSelection(s - 1); return;
    case VK_RIGHT: SetSelection(s + 1); return;
    case VK_PRIOR:
    case VK_NEXT: {
      Word y, m, d;
      DecodeDate(s, y, m, d);
      int yy = y, mm = m;
      kxAddMonths(yy, mm, Key == VK_PRIOR ? -1 : 1);
      SetSelection(EncodeDate(Word(yy), Word(mm), Word(kxClampDay(yy, mm, d))));
      return;
    }
    case VK_HOME:
    case VK_END: {
      if (ctrlOnly) {
        Word y, m, d;
        DecodeDate(s, y, m, d);
        SetSelection(Key == VK_HOME ? FirstOfMonth(y, m) : EncodeDate(y, m, Word(kxDaysInMonth(y, m))));
      } else {
        TDateTime weekStart = s - WeekColumn(s);
        SetSelection(Key == VK_HOME ? weekStart : weekStart + 6);
      }
      return;
    }
    default: return;
  }
}

void TkxGridDatePopup::ClosePopup() {
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    if (GetCapture() == Handle()) ReleaseCapture();
    StopArrowTimer();
    FreeMonthList();
    FTodayTracking = FTodayDown = FClearTracking = FClearDown = false;
  }
  TCustomkxCalendar::ClosePopup();
}

void TkxGridDatePopup::WMDestroy(TMessage& Message) {
  StopArrowTimer();
  TCustomkxCalendar::Dispatch(Message);
}

// ---- TAMonthListBox ----

TAMonthListBox::TAMonthListBox(TComponent* AOwner) : TCustomControl(AOwner) { FVisible = false; }

TAMonthListBox::~TAMonthListBox() { StopScrollTimer(); }

void TAMonthListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  // Never activated: the calendar keeps the focus and the mouse while it is open.
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = OwnerWnd;
}

TDateTime TAMonthListBox::SelectedMonth() {
  if (HotRow < 0 || FirstMonth == NullDate) return NullDate;
  Word y, m, d;
  DecodeDate(FirstMonth, y, m, d);
  int yy = y, mm = m;
  kxAddMonths(yy, mm, HotRow);
  return EncodeDate(Word(yy), Word(mm), 1);
}

void TAMonthListBox::StopScrollTimer() {
  if (FScrollTimerId && HandleAllocated()) KillTimer(Handle(), UINT_PTR(FScrollTimerId));
  FScrollTimerId = 0;
}

void TAMonthListBox::TrackMouse(const TPoint& P) {
  const int h = ClientHeight();
  if (P.x >= 0 && P.x < ClientWidth() && P.y >= 0 && P.y < h) {
    StopScrollTimer();
    int row = LineHeight > 0 ? P.y / LineHeight : 0;
    if (row != HotRow) {
      HotRow = row;
      Invalidate();
    }
    return;
  }
  if (HotRow != -1) {
    HotRow = -1;
    Invalidate();
  }
  if (P.y >= 0 && P.y < h) return;
  // Beyond the top or the bottom: months scroll, faster the further out.
  const int d = P.y < 0 ? P.y : P.y - h + 1;
  int level = (d > 0 ? 1 : -1) + d / 12;
  level = std::max(-4, std::min(4, level));
  const int id = level + 5;
  if (id == FScrollTimerId) return;
  StopScrollTimer();
  static const int speeds[5] = {0, 500, 250, 100, 50};
  FScrollTimerId = id;
  SetTimer(Handle(), UINT_PTR(id), UINT(speeds[std::abs(level)]), nullptr);
}

void TAMonthListBox::WMTimer(TMessage& Message) {
  if (int(Message.WParam) != FScrollTimerId) return;
  Word y, m, d;
  DecodeDate(FirstMonth, y, m, d);
  int yy = y, mm = m;
  kxAddMonths(yy, mm, FScrollTimerId < 6 ? -1 : 1);
  FirstMonth = EncodeDate(Word(yy), Word(mm), 1);
  Invalidate();
}

void TAMonthListBox::WMDestroy(TMessage& Message) {
  StopScrollTimer();
  TCustomControl::Dispatch(Message);
}

void TAMonthListBox::Paint() {
  HDC dc = Canvas()->Handle();
  SelectObject(dc, Font()->Handle());
  Word y, m, d;
  DecodeDate(FirstMonth, y, m, d);
  for (int row = 0; row < 7; ++row) {
    int yy = y, mm = m;
    kxAddMonths(yy, mm, row);
    TRect r = kxRect(0, row * LineHeight, ClientWidth(), (row + 1) * LineHeight);
    const bool hot = row == HotRow;
    FillColor(dc, r, hot ? clWindowText : clWindow);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(hot ? clWindow : clWindowText));
    AnsiString text = FormatSettings().LongMonthNames[mm - 1] + " " + IntToStr(yy);
    RECT rr = r;
    DrawTextA(dc, text.c_str(), int(text.size()), &rr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  }
}

void kxInitCalendar() {
  kxReadFirstDayOfWeek();
  if (gLocaleListener < 0) gLocaleListener = AddFormatSettingsListener(kxReadFirstDayOfWeek);
  gTodayCaption = kxEditorString(38903);
  gClearCaption = kxEditorString(38904);
  RegisterClasses({TkxGridDatePopup::StaticClass()});
}

void kxDoneCalendar() {
  if (gLocaleListener >= 0) RemoveFormatSettingsListener(gLocaleListener);
  gLocaleListener = -1;
  gTodayCaption.clear();
  gClearCaption.clear();
}
