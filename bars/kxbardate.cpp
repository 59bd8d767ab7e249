// The date navigator: one month as six weeks under a header with the month's
// name and two scroll arrows, the "今天" and "清除" buttons of the drop-down,
// and the month list that opens over the title.
#include "bars/kxbardate.h"

#include <algorithm>
#include <cmath>

#include "framework/uxgraphics.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

using kxbardate::TAMonthListBox;

namespace kxbardate {

constexpr UINT_PTR kPrevTimer = 1, kNextTimer = 2;
constexpr int kScrollPeriod = 170;
constexpr TColor kTodayFrameColor = TColor(0x000080);
const char* const kToday = "\xBD\xF1\xCC\xEC";  // 今天
const char* const kClear = "\xC7\xE5\xB3\xFD";  // 清除

bool IsNull(TDateTime D) { return D == kxBarNullDate; }

TDateTime FirstOfMonth(Word Year, Word Month) { return EncodeDate(Year, Month, 1); }

void YearMonth(TDateTime D, Word& Year, Word& Month) {
  Word day = 0;
  DecodeDate(D, Year, Month, day);
}

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

void Subtract(HRGN Region, const TRect& R) {
  HRGN part = CreateRectRgn(R.left, R.top, R.right, R.bottom);
  CombineRgn(Region, Region, part, RGN_DIFF);
  DeleteObject(part);
}

// Text drawn over its whole rectangle in one go (opaque, clipped).
void OpaqueText(HDC DC, const TRect& R, int X, int Y, const AnsiString& Text, TColor Fore, TColor Back) {
  SetTextColor(DC, ColorToRGB(Fore));
  SetBkColor(DC, ColorToRGB(Back));
  RECT r{R.left, R.top, R.right, R.bottom};
  ExtTextOutA(DC, X, Y, ETO_OPAQUE | ETO_CLIPPED, &r, Text.c_str(), UINT(Text.size()), nullptr);
}

void HLine(HDC DC, int X1, int X2, int Y, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  RECT r{X1, Y, X2, Y + 1};
  FillRect(DC, &r, b);
  DeleteObject(b);
}

void Fill(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
  RECT r{R.left, R.top, R.right, R.bottom};
  FillRect(DC, &r, b);
  DeleteObject(b);
}

// The month's long name, a blank and the year.
AnsiString MonthTitle(Word Year, Word Month) {
  return FormatSettings().LongMonthNames[Month - 1] + " " + IntToStr(Year);
}

// The character of a short day name that tells the days apart: the last of a
// Chinese name ("周一" -> "一"), the first of any other.
AnsiString DayLetter(const AnsiString& Name, bool MultiByte) {
  if (Name.empty()) return Name;
  if (!MultiByte) return Name.substr(0, 1);
  std::size_t i = 0, last = 0;
  while (i < Name.size()) {
    last = i;
    i += Byte(Name[i]) >= 0x81 && i + 1 < Name.size() ? 2 : 1;
  }
  return Name.substr(last);
}

}  // namespace kxbardate

using namespace kxbardate;

// ===========================================================================
// date arithmetic

void kxBarDecMonth(Word& Year, Word& Month) {
  if (Month == 1) {
    --Year;
    Month = 12;
  } else {
    --Month;
  }
}

void kxBarIncMonth(Word& Year, Word& Month) {
  if (Month == 12) {
    ++Year;
    Month = 1;
  } else {
    ++Month;
  }
}

int kxBarAddMonths(Word& Year, Word& Month, int N) {
  int y = Year + N / 12, m = Month + N % 12;
  if (m <= 0) {
    m += 12;
    --y;
  } else if (m > 12) {
    m -= 12;
    ++y;
  }
  Year = Word(y);
  Month = Word(m);
  return N / 12;
}

int kxBarGetDatePart(int Part, TDateTime Date) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(Date, y, m, d);
  switch (Part) {
    case 1: return y;
    case 2: return m;
    case 3: return d;
    default: return -1;
  }
}

bool kxBarIsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int kxBarDaysPerMonth(int Year, int Month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return days[Month - 1] + (Month == 2 && kxBarIsLeapYear(Year) ? 1 : 0);
}

int kxBarCheckDay(int Year, int Month, int Day) {
  if (Day <= 0) return 1;
  return std::min(Day, kxBarDaysPerMonth(Year, Month));
}

TDateTime kxBarDateOf(TDateTime Date) { return std::trunc(Date + 0.00000000001); }

int kxBarFirstDayOfWeek() {
  // the locale counts from Monday, the calendar from Sunday
  return (LocaleFormatSettings().FirstDayOfWeek + 1) % 7;
}

// ===========================================================================
// TkxBarCustomCalendar

TkxBarCustomCalendar::TkxBarCustomCalendar(TComponent* AOwner) : TCustomControl(AOwner) {
  FFirstDate = FSelStart = FSelFinish = Date();
  SetControlStyle(ControlStyle() << csDoubleClicks);
}

void TkxBarCustomCalendar::SetStyle(TkxBarCalendarStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxBarCustomCalendar::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TkxBarCustomCalendar::CreateWnd() {
  TCustomControl::CreateWnd();
  SendMessageA(Handle(), CM_FONTCHANGED, 0, 0);
}

TDateTime TkxBarCustomCalendar::GetSelStart() const {
  return FSelStart >= FSelFinish && !IsNull(FSelFinish) ? FSelFinish : FSelStart;
}

TDateTime TkxBarCustomCalendar::GetSelFinish() const { return FSelStart >= FSelFinish ? FSelStart : FSelFinish; }

void TkxBarCustomCalendar::SetFirstDate(TDateTime Value) {
  if (Value != FFirstDate) FFirstDate = Value;
}

void TkxBarCustomCalendar::SetSelStart(TDateTime Value) {
  FSelStart = Value;
  FSelFinish = kxBarNullDate;
  SetSelFinish(Value);
}

void TkxBarCustomCalendar::SetSelFinish(TDateTime Value) {
  if (Value == FSelFinish) return;
  MakeSelectionVisible();
  FSelFinish = Value;
  MakeSelectionVisible();
  Invalidate();
}

void TkxBarCustomCalendar::SelectDateIfValid(TDateTime Date) {
  if (IsNull(Date) || Date == GetSelFinish()) return;
  TDateTime old = FSelFinish;
  SetSelFinish(Date);
  if (FSelFinish == old) Invalidate();
}

void TkxBarCustomCalendar::CancelTracking() {
  if (HandleAllocated()) SendMessageA(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
}

void TkxBarCustomCalendar::DateChosen() {
  if (OnDateChosen) OnDateChosen(this);
}

void TkxBarCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Shift.Contains(ssDouble)) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  TDateTime d = GetDateAtPos(TPoint{X, Y});
  if (Button == mbLeft) {
    FDragDate = GetSelStart();
    if (!IsNull(d)) SetSelStart(d);
  }
}

void TkxBarCustomCalendar::MouseMove(TShiftState Shift, int X, int Y) {
  bool tracking = Shift.Contains(ssLeft) && HandleAllocated() && GetCapture() == Handle();
  TDateTime d = tracking ? GetDateAtPos(TPoint{X, Y}) : kxBarNullDate;
  TCustomControl::MouseMove(Shift, X, Y);
  if (tracking) {
    if (!IsNull(d)) SetSelFinish(d);
    else if (!Inside(ClientRect(), X, Y)) SelectDateIfValid(FDragDate);
  }
  if (HandleAllocated()) UpdateWindow(Handle());
}

// ===========================================================================
// TkxBarDateNavigator

TkxBarDateNavigator::TkxBarDateNavigator(TComponent* AOwner, TkxBarDateCombo* Combo, bool Popup)
    : TkxBarCustomCalendar(AOwner), FCombo(Combo), FPopup(Popup) {
  SetVisible(false);
  SetFirstDate(FFirstDate);
  SetBounds(Left(), Top(), 20, 20);
}

TkxBarDateNavigator::~TkxBarDateNavigator() {
  StopTimer();
  TAMonthListBox* list = FMonthList;
  FMonthList = nullptr;
  if (list) list->Free();
}

TkxBarItemControlPainterClass TkxBarDateNavigator::Painter() const {
  TkxBarManager* m = FCombo ? FCombo->BarManager() : nullptr;
  return m ? m->PainterClass() : nullptr;
}

int TkxBarDateNavigator::GetDayColumn(TDateTime Date) const {
  int d = int(DayOfWeek(Date)) - kxBarFirstDayOfWeek();
  return d > 0 ? d - 1 : d + 6;
}

TkxBarCalendarStyle TkxBarDateNavigator::GetStyle() const {
  TkxBarCalendarStyle s = TkxBarCustomCalendar::GetStyle();
  if (s == bcsFlat)
    if (TkxBarItemControlPainterClass p = Painter())
      if (p->HasFlatCalendar()) s = bcsPainted;
  return s;
}

TDateTime TkxBarDateNavigator::GetFirstVisibleDate() const {
  int c = GetDayColumn(FFirstDate);
  return c > 0 ? FFirstDate - c : FFirstDate - 7;
}

TDateTime TkxBarDateNavigator::GetLastDate() const {
  Word y = 0, m = 0;
  YearMonth(FFirstDate, y, m);
  return FirstOfMonth(y, m) + kxBarDaysPerMonth(y, m) - 1;
}

TDateTime TkxBarDateNavigator::GetLastVisibleDate() const {
  TDateTime last = GetLastDate();
  Word y = 0, m = 0;
  YearMonth(last, y, m);
  int c = GetDayColumn(FirstOfMonth(y, m));
  TDateTime r = last + 42 - kxBarDaysPerMonth(y, m) - c;
  return c == 0 ? r - 7 : r;
}

void TkxBarDateNavigator::SetFirstDate(TDateTime Value) {
  TDateTime d = kxBarDateOf(Value);
  TkxBarCustomCalendar::SetFirstDate(d - kxBarGetDatePart(3, d) + 1);
}

void TkxBarDateNavigator::SetSelFinish(TDateTime Value) {
  if (Value != FSelFinish) FSelStart = Value;
  TkxBarCustomCalendar::SetSelFinish(Value);
}

void TkxBarDateNavigator::MakeSelectionVisible() {
  TDateTime sel = GetSelStart();
  if (IsNull(sel)) return;
  Word y = 0, m = 0;
  if (GetFirstVisibleDate() > sel) {
    YearMonth(sel, y, m);
    kxBarDecMonth(y, m);
    SetFirstDate(FirstOfMonth(y, m));
  }
  if (GetLastVisibleDate() < sel) {
    YearMonth(sel, y, m);
    SetFirstDate(FirstOfMonth(y, m));
  }
}

// ---- layout ----

TRect TkxBarDateNavigator::GetHeaderRect() { return TRect{0, 0, ClientWidth(), FHeaderHeight}; }

TRect TkxBarDateNavigator::GetGridRect() {
  int e3 = GetStyle() == bcs3D ? 1 : 0;
  int top = FHeaderHeight + e3;
  return TRect{0, top, ClientWidth(), top + FDaysOfWeekHeight + 6 * FRowHeight + 1};
}

TRect TkxBarDateNavigator::GetTitleRect() {
  int e3 = GetStyle() == bcs3D ? 1 : 0;
  TRect g = GetGridRect();
  int bottom = g.top - e3 - 1;
  return TRect{g.left + FColWidth, bottom - FHeaderHeight + 2, g.right - FColWidth - e3, bottom};
}

TRect TkxBarDateNavigator::GetPrevArrowRect() { return TRect{1, 1, FColWidth - 1, FHeaderHeight - 1}; }

TRect TkxBarDateNavigator::GetNextArrowRect() {
  int e3 = GetStyle() == bcs3D ? 1 : 0, w = ClientWidth();
  return TRect{w - FColWidth, 1, w - e3 - 1, FHeaderHeight - 1};
}

TRect TkxBarDateNavigator::GetTodayButtonRect() {
  int w = ClientWidth(), h = ClientHeight();
  int c = FShowClear ? FClearButtonWidth : 0, k = FShowClear ? 3 : 2;
  int left = (w - FTodayButtonWidth - c) / k, top = h + FButtonsOffset - FButtonsRegionHeight;
  return TRect{left, top, left + FTodayButtonWidth, top + FButtonsHeight};
}

TRect TkxBarDateNavigator::GetClearButtonRect() {
  int w = ClientWidth(), h = ClientHeight();
  int t = FShowToday ? FTodayButtonWidth : 0, k = FShowToday ? 3 : 2;
  int g = (w - t - FClearButtonWidth) / k;
  int left = w - FClearButtonWidth - g, top = h + FButtonsOffset - FButtonsRegionHeight;
  return TRect{left, top, left + FClearButtonWidth, top + FButtonsHeight};
}

int TkxBarDateNavigator::CalcWidth() { return (Width() - ClientWidth()) + 2 * FSideWidth + 7 * FColWidth; }

int TkxBarDateNavigator::CalcHeight() {
  int e3 = GetStyle() == bcs3D ? 1 : 0;
  return (Height() - ClientHeight()) + FHeaderHeight + FDaysOfWeekHeight + 6 * FRowHeight + 1 + e3 +
         (HasButtons() ? FButtonsRegionHeight : 0);
}

void TkxBarDateNavigator::UpdateSize() {
  if (FSizing) return;
  FSizing = true;
  try {
    SetBounds(Left(), Top(), CalcWidth(), CalcHeight());
  } catch (...) {
    FSizing = false;
    throw;
  }
  FSizing = false;
}

void TkxBarDateNavigator::FontChanged() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  int w = c->TextWidth("0"), h = c->TextHeight("0");
  FColWidth = 3 * w;
  FSideWidth = 2 * w;
  FRowHeight = h + 2;
  FHeaderHeight = h + 4 + (GetStyle() != bcs3D ? 1 : 0);
  FDaysOfWeekHeight = FRowHeight + 1;
  FTodayButtonWidth = c->TextWidth(kToday) + FColWidth;
  FClearButtonWidth = c->TextWidth(kClear) + FColWidth;
  int s = Font()->Size();
  FButtonsOffset = s / 2;
  FButtonsHeight = MulDiv(s, 5, 2);
  FButtonsRegionHeight = s * 3 / 4 + FButtonsHeight + FButtonsOffset;
  if (HandleAllocated()) SendMessageA(Handle(), WM_SIZE, 0, 0);
  else UpdateSize();
}

// ---- window ----

void TkxBarDateNavigator::CreateParams(TCreateParams& Params) {
  TkxBarCustomCalendar::CreateParams(Params);
  if (FPopup) {
    // A pop-up of its own that never takes the activation from the form.
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    if (GetStyle() != bcsPainted) Params.Style |= WS_DLGFRAME;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    Params.WndParent = ParentWindow();
  }
  if (GetStyle() == bcs3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TkxBarDateNavigator::PaintNonClient() {
  TkxBarCalendarStyle s = GetStyle();
  if (s == bcs3D || !HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  if (s == bcsFlat) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  }
  ReleaseDC(Handle(), dc);
}

void TkxBarDateNavigator::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_MOUSEACTIVATE:
      if (FPopup) {
        Message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    case WM_NCCALCSIZE:
      if (GetStyle() != bcs3D) {
        TkxBarCustomCalendar::WndProc(Message);
        RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
        InflateRect(&r, -1, -1);
        return;
      }
      break;
    case WM_NCPAINT:
      TkxBarCustomCalendar::WndProc(Message);
      PaintNonClient();
      return;
    case CM_FONTCHANGED:
      TkxBarCustomCalendar::WndProc(Message);
      FontChanged();
      return;
    case WM_SIZE:
      TkxBarCustomCalendar::WndProc(Message);
      UpdateSize();
      return;
    case WM_CANCELMODE:
      TkxBarCustomCalendar::WndProc(Message);
      CancelTracking();
      return;
    case WM_CAPTURECHANGED:
      TkxBarCustomCalendar::WndProc(Message);
      // the release itself gives the capture up before it is handled
      if (!FReleasing && reinterpret_cast<HWND>(Message.LParam) != Handle()) CancelTracking();
      return;
    case WM_LBUTTONUP: {
      bool old = FReleasing;
      FReleasing = true;
      try {
        TkxBarCustomCalendar::WndProc(Message);
      } catch (...) {
        FReleasing = old;
        throw;
      }
      FReleasing = old;
      return;
    }
    case WM_DESTROY:
      StopTimer();
      break;
    case WM_TIMER:
      if (Message.WParam == kPrevTimer || Message.WParam == kNextTimer) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        TRect r = Message.WParam == kPrevTimer ? GetPrevArrowRect() : GetNextArrowRect();
        if (Inside(r, p.x, p.y)) StepMonth(Message.WParam == kPrevTimer ? -1 : 1);
        return;
      }
      break;
    default:
      break;
  }
  TkxBarCustomCalendar::WndProc(Message);
}

void TkxBarDateNavigator::StopTimer() {
  if (FTimer && HandleAllocated()) KillTimer(Handle(), UINT_PTR(FTimer));
  FTimer = 0;
}

void TkxBarDateNavigator::ResetTracking() {
  StopTimer();
  TAMonthListBox* list = FMonthList;
  FMonthList = nullptr;
  if (list) list->Free();
  FTodayActive = FClearActive = false;
}

void TkxBarDateNavigator::CancelTracking() {
  TkxBarCustomCalendar::CancelTracking();
  ResetTracking();
}

void TkxBarDateNavigator::StepMonth(int Delta) {
  Word y = 0, m = 0;
  YearMonth(FFirstDate, y, m);
  if (Delta < 0) kxBarDecMonth(y, m);
  else kxBarIncMonth(y, m);
  SetFirstDate(FirstOfMonth(y, m));
  Invalidate();
}

// ---- painting ----

void TkxBarDateNavigator::Paint() {
  HDC dc = Canvas()->Handle();
  TRect client = ClientRect();
  HRGN region = CreateRectRgn(client.left, client.top, client.right, client.bottom);
  SelectObject(dc, Font()->Handle());
  for (int row = 0; row < FRowCount; ++row)
    for (int col = 0; col < FColCount; ++col) DrawMonth(region, col, row);
  if (HasButtons()) {
    int y = client.bottom - FButtonsRegionHeight - 1;
    HLine(dc, FSideWidth, client.right - FSideWidth, y, clBtnShadow);
    Subtract(region, TRect{FSideWidth, y, client.right - FSideWidth, y + 1});
    TkxBarItemControlPainterClass p = Painter();
    auto button = [&](bool Shown, const TRect& R, const char* Caption, bool Pressed) {
      if (!Shown) return;
      Subtract(region, R);
      if (p) p->DrawCalendarButton(dc, Pressed, Caption, R);
    };
    button(FShowToday, GetTodayButtonRect(), kToday, FTodayActive && FTodayPressed);
    button(FShowClear, GetClearButtonRect(), kClear, FClearActive && FClearPressed);
  }
  HBRUSH window = CreateSolidBrush(ColorToRGB(clWindow));
  FillRgn(dc, region, window);
  DeleteObject(window);
  DeleteObject(region);
}

void TkxBarDateNavigator::DrawMonth(HRGN Region, int Col, int Row) {
  HDC dc = Canvas()->Handle();
  TkxBarCalendarStyle style = GetStyle();
  bool lastCol = Col == FColCount - 1, block0 = Col == 0 && Row == 0;
  bool lastBlock = lastCol && Row == FRowCount - 1;
  Word year = 0, month = 0;
  YearMonth(FFirstDate, year, month);
  kxBarAddMonths(year, month, Row * FColCount + Col);
  TRect grid = GetGridRect();
  Subtract(Region, TRect{grid.left + FSideWidth, grid.top, grid.right - FSideWidth, grid.bottom - 1});
  int s = FHeaderHeight / 2;
  if (s % 2 == 0) ++s;
  TRect header = GetHeaderRect();
  Subtract(Region, style == bcs3D ? TRect{header.left, header.top, header.right, header.bottom + 1} : header);

  // header frame
  if (style == bcs3D) {
    HLine(dc, header.left, header.right, header.bottom, clBtnText);
    if (lastCol) {
      Fill(dc, TRect{header.right - 1, header.top, header.right, header.bottom}, clBtnText);
      --header.right;
    }
  }
  if (style == bcsPainted) {
    HLine(dc, header.left, header.right, header.bottom - 1, clBtnShadow);
    --header.bottom;
  } else {
    RECT r{header.left, header.top, header.right, header.bottom};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM | (Col == 0 ? BF_LEFT : 0) | (lastCol ? BF_RIGHT : 0));
    header = TRect{header.left + 1, header.top + 1, header.right - 1, header.bottom - 1};
  }

  // scroll arrows, kept out of the title's fill (their cells take its colour first)
  TColor headerColor = clBtnFace;
  if (TkxBarItemControlPainterClass p = Painter()) headerColor = p->GetCalendarHeaderColor();
  auto arrow = [&](int X0, int Sigma) {
    TPoint p1{X0 + (FSideWidth - 1) * Sigma, (header.top + header.bottom - s) / 2};
    TPoint p2{p1.x, p1.y + s - 1};
    TPoint p3{p1.x - (s * Sigma) / 2, p1.y + s / 2};
    TPoint pts[3] = {p1, p2, p3};
    int l = std::min(p1.x, p3.x), r = std::max(p1.x, p3.x) + 1;
    if (Sigma > 0) ++r;  // the flat side of the previous arrow is its right side
    else --l;
    Fill(dc, TRect{l, p1.y - 1, r, p2.y + 2}, headerColor);
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBtnText);
    c->Brush()->SetColor(clBtnText);
    c->Polygon(pts, 3);
    ExcludeClipRect(dc, l, p1.y - 1, r, p2.y + 2);
  };
  if (Row == 0) {
    if (Col == 0) arrow(header.left - 1, 1);
    if (lastCol) arrow(header.right, -1);
  }
  AnsiString title = MonthTitle(year, month);
  TSize ts = uxTextSize(dc, title);
  OpaqueText(dc, header, (header.left + header.right - ts.cx) / 2, (header.top + header.bottom - ts.cy) / 2, title,
             clBtnText, headerColor);
  SelectClipRgn(dc, nullptr);

  // day names
  int L = grid.left + FSideWidth, R = grid.right - FSideWidth, T = grid.top, B = T + FDaysOfWeekHeight - 2;
  Fill(dc, TRect{L - 8, T, L, B + 2}, clWindow);
  Fill(dc, TRect{R, T, R + 8, B + 2}, clWindow);
  HLine(dc, L, R, B, clBtnShadow);
  HLine(dc, L, R, B + 1, clWindow);
  const TFormatSettings& fs = FormatSettings();
  bool multiByte = uxIsMultiByteTextStart(Font()->Charset(), fs.ShortDayNames[0]);
  int first = kxBarFirstDayOfWeek();
  for (int i = 0; i < 7; ++i) {
    TRect cell{L + i * FColWidth, T, L + (i + 1) * FColWidth, B};
    AnsiString letter = DayLetter(fs.ShortDayNames[(first + i) % 7], multiByte);
    TSize sz = uxTextSize(dc, letter);
    OpaqueText(dc, cell, cell.right - sz.cx - 3, (cell.top + cell.bottom - sz.cy) / 2, letter, clWindowText, clWindow);
  }

  // days
  TDateTime firstDay = FirstOfMonth(year, month);
  int firstCol = GetDayColumn(firstDay);
  int off = firstCol == 0 && block0 ? -6 : 1 - firstCol;
  int days = kxBarDaysPerMonth(year, month);
  TDateTime today = kxBarDateOf(Date()), lastDate = GetLastDate();
  TDateTime selStart = GetSelStart(), selFinish = GetSelFinish();
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 7; ++c) {
      int k = 7 * r + off + c;
      TRect cell{L + c * FColWidth, T + FDaysOfWeekHeight + r * FRowHeight, 0, 0};
      cell.right = cell.left + FColWidth;
      cell.bottom = cell.top + FRowHeight;
      if ((k <= 0 && !block0) || (k > days && !lastBlock)) {
        Fill(dc, cell, clWindow);
        continue;
      }
      TDateTime date = firstDay - 1 + k;
      bool selected = !IsNull(selStart) && selStart <= date && date <= selFinish;
      TRect inner = cell;
      if (date == today) {
        HBRUSH b = CreateSolidBrush(ColorToRGB(kTodayFrameColor));
        RECT fr{cell.left, cell.top, cell.right, cell.bottom};
        FrameRect(dc, &fr, b);
        DeleteObject(b);
        inner = TRect{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
      }
      TColor back = clWindow, fore = clWindowText;
      if (selected) {
        if (style == bcsPainted) back = FCombo && FCombo->BarManager() ? FCombo->BarManager()->XPSelectedColor() : clBtnFace;
        else back = style == bcs3D ? clHighlight : clBtnFace;
        fore = style == bcsPainted ? clWindowText : clHighlightText;
      } else if (!((date >= FFirstDate || !block0) && (date <= lastDate || !lastBlock))) {
        fore = clGrayText;
      }
      AnsiString text = IntToStr(kxBarGetDatePart(3, date));
      TSize sz = uxTextSize(dc, text);
      OpaqueText(dc, inner, cell.right - sz.cx - 3, (cell.top + cell.bottom - sz.cy) / 2, text, fore, back);
    }
}

// ---- hit testing and input ----

TDateTime TkxBarDateNavigator::GetDateAtPos(const TPoint& P) {
  TRect client = ClientRect();
  if (!Inside(client, P.x, P.y)) return kxBarNullDate;
  int col = P.x / std::max(client.right / FColCount, 1), row = P.y / std::max(client.bottom / FRowCount, 1);
  TRect grid = GetGridRect();
  TRect area{grid.left + FSideWidth, grid.top + FDaysOfWeekHeight, grid.right - FSideWidth, 0};
  area.bottom = area.top + 6 * FRowHeight;
  if (!Inside(area, P.x, P.y) || FColWidth <= 0 || FRowHeight <= 0) return kxBarNullDate;
  int c = (P.x - area.left) / FColWidth, r = (P.y - area.top) / FRowHeight;
  Word y = 0, m = 0;
  YearMonth(FFirstDate, y, m);
  kxBarAddMonths(y, m, col + row * FColCount);
  TDateTime first = FirstOfMonth(y, m);
  bool block0 = col == 0 && row == 0, lastBlock = col == FColCount - 1 && row == FRowCount - 1;
  TDateTime date = first - GetDayColumn(first) + 7 * r + c;
  if (block0 && GetDayColumn(FFirstDate) == 0) date -= 7;
  if ((date >= first || block0) && (date < first + kxBarDaysPerMonth(y, m) || lastBlock)) return date;
  return kxBarNullDate;
}

void TkxBarDateNavigator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPopup) {
    if (FShowToday && Inside(GetTodayButtonRect(), X, Y)) {
      FTodayActive = FTodayPressed = true;
      TRect r = GetTodayButtonRect();
      InvalidateRect(Handle(), reinterpret_cast<RECT*>(&r), FALSE);
      return;
    }
    if (FShowClear && Inside(GetClearButtonRect(), X, Y)) {
      FClearActive = FClearPressed = true;
      TRect r = GetClearButtonRect();
      InvalidateRect(Handle(), reinterpret_cast<RECT*>(&r), FALSE);
      return;
    }
    if (HasButtons() && Y >= ClientHeight() - FButtonsRegionHeight) return;
  }
  TkxBarCustomCalendar::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || Shift.Contains(ssDouble)) return;
  TRect client = ClientRect();
  int col = X / std::max(client.right / FColCount, 1), row = Y / std::max(client.bottom / FRowCount, 1);
  if (Inside(GetTitleRect(), X, Y)) {
    FMonthListBlock = row * FColCount + col;
    ResetTracking();
    FMonthList = new TAMonthListBox(this, this);
    FMonthList->SetParentWindow(Handle());
    FMonthList->Font()->Assign(Font());
    FMonthList->HandleNeeded();
    FMonthList->FontChanged();
    Word y = 0, m = 0;
    YearMonth(FFirstDate, y, m);
    kxBarAddMonths(y, m, FMonthListBlock - 3);
    FMonthList->SetTopDate(FirstOfMonth(y, m));
    TRect t = GetTitleRect();
    TPoint tl = ClientToScreen(TPoint{t.left, t.top}), br = ClientToScreen(TPoint{t.right, t.bottom});
    int left = (tl.x + br.x - FMonthList->Width()) / 2, top = (tl.y + br.y) / 2 - FMonthList->Height() / 2;
    SetWindowPos(FMonthList->Handle(), HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FMonthList->SetVisible(true);
    return;
  }
  int id = 0;
  if (Inside(GetPrevArrowRect(), X, Y)) id = int(kPrevTimer);
  else if (Inside(GetNextArrowRect(), X, Y)) id = int(kNextTimer);
  if (!id) return;
  StepMonth(id == int(kPrevTimer) ? -1 : 1);
  if (!FTimer) {
    FTimer = id;
    SetTimer(Handle(), UINT_PTR(id), kScrollPeriod, nullptr);
  }
}

void TkxBarDateNavigator::MouseMove(TShiftState Shift, int X, int Y) {
  if (FTimer) return;
  if (FMonthList) {
    TPoint p = FMonthList->ScreenToClient(ClientToScreen(TPoint{X, Y}));
    FMonthList->TrackMouse(p.x, p.y);
    return;
  }
  if (FTodayActive || FClearActive) {
    bool today = FTodayActive;
    TRect r = today ? GetTodayButtonRect() : GetClearButtonRect();
    bool& pressed = today ? FTodayPressed : FClearPressed;
    if (pressed != Inside(r, X, Y)) {
      pressed = !pressed;
      InvalidateRect(Handle(), reinterpret_cast<RECT*>(&r), FALSE);
    }
    return;
  }
  TkxBarCustomCalendar::MouseMove(Shift, X, Y);
}

void TkxBarDateNavigator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FTimer) {
    StopTimer();
    return;
  }
  if (FMonthList) {
    TDateTime month = FMonthList->GetChosenMonth();
    TAMonthListBox* list = FMonthList;
    FMonthList = nullptr;
    list->Free();
    if (!IsNull(month)) {
      Word y = 0, m = 0;
      YearMonth(month, y, m);
      kxBarAddMonths(y, m, -FMonthListBlock);
      SetFirstDate(FirstOfMonth(y, m));
      Invalidate();
    }
    return;
  }
  auto button = [&](bool& Active, bool& Pressed, const TRect& R, TDateTime Date) {
    Active = false;
    InvalidateRect(Handle(), reinterpret_cast<const RECT*>(&R), FALSE);
    if (!Pressed) return false;
    Pressed = false;
    SetSelStart(Date);
    return true;
  };
  if (FTodayActive) {
    if (!button(FTodayActive, FTodayPressed, GetTodayButtonRect(), kxBarDateOf(Date()))) return;
  } else if (FClearActive) {
    if (!button(FClearActive, FClearPressed, GetClearButtonRect(), kxBarNullDate)) return;
  }
  TkxBarCustomCalendar::MouseUp(Button, Shift, X, Y);
  if (Shift.Contains(ssDouble)) return;
  bool chosen = Inside(ClientRect(), X, Y) &&
                (!IsNull(GetDateAtPos(TPoint{X, Y})) || (HasButtons() && FShowToday && Inside(GetTodayButtonRect(), X, Y)) ||
                 (HasButtons() && FShowClear && Inside(GetClearButtonRect(), X, Y)));
  if (chosen) DateChosen();
  else SelectDateIfValid(FDragDate);
}

void TkxBarDateNavigator::DblClick() {
  TkxBarCustomCalendar::DblClick();
  if (FPopup) return;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  if (IsNull(GetDateAtPos(TPoint{p.x, p.y}))) return;
  if (auto* form = dynamic_cast<TCustomForm*>(GetParentForm(this))) form->SetModalResult(mrOk);
}

void TkxBarDateNavigator::KeyDown(Word& Key, TShiftState Shift) {
  TkxBarCustomCalendar::KeyDown(Key, Shift);
  if (!FPopup) return;
  TDateTime s = GetSelStart();
  if (Key == VK_RETURN) {
    if (!FMonthList) DateChosen();
    return;
  }
  if (IsNull(s)) return;
  Word y = 0, m = 0, d = 0;
  DecodeDate(s, y, m, d);
  bool ctrlOnly = Shift == TShiftState{ssCtrl};
  TDateTime next = s;
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
      if (Key == VK_PRIOR) kxBarDecMonth(y, m);
      else kxBarIncMonth(y, m);
      next = EncodeDate(y, m, Word(kxBarCheckDay(y, m, d)));
      break;
    case VK_HOME: next = ctrlOnly ? s - (d - 1) : s - GetDayColumn(s); break;
    case VK_END: next = ctrlOnly ? s + (kxBarDaysPerMonth(y, m) - d) : s + 6 - GetDayColumn(s); break;
    case VK_LEFT: next = s - 1; break;
    case VK_RIGHT: next = s + 1; break;
    case VK_UP: next = s - 7; break;
    case VK_DOWN: next = s + 7; break;
    default: return;
  }
  SetSelStart(next);
}

// ===========================================================================
// TAMonthListBox

TAMonthListBox::TAMonthListBox(TComponent* AOwner, TkxBarDateNavigator* Navigator)
    : TCustomControl(AOwner), FNavigator(Navigator) {
  SetVisible(false);
}

TAMonthListBox::~TAMonthListBox() { StopTimer(); }

void TAMonthListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP | WS_BORDER;
  Params.ExStyle |= WS_EX_TOPMOST;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = ParentWindow();
}

void TAMonthListBox::FontChanged() {
  Canvas()->Font()->Assign(Font());
  FItemHeight = FNavigator->HeaderHeight() - 2;
  SetBounds(Left(), Top(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * FNavigator->ColWidth(),
            2 * GetSystemMetrics(SM_CYBORDER) + 7 * FItemHeight);
}

void TAMonthListBox::SetTopDate(TDateTime Value) {
  if (Value == FTopDate) return;
  FTopDate = Value;
  Invalidate();
}

void TAMonthListBox::SetItemIndex(int Value) {
  if (Value == FItemIndex) return;
  if (HandleAllocated()) {
    for (int i : {FItemIndex, Value}) {
      if (i < 0) continue;
      RECT r{0, i * FItemHeight, ClientWidth(), (i + 1) * FItemHeight};
      InvalidateRect(Handle(), &r, FALSE);
    }
  }
  FItemIndex = Value;
}

TDateTime TAMonthListBox::GetChosenMonth() const {
  if (FItemIndex < 0 || FTopDate == kxBarNullDate) return kxBarNullDate;
  Word y = 0, m = 0;
  YearMonth(FTopDate, y, m);
  kxBarAddMonths(y, m, FItemIndex);
  return FirstOfMonth(y, m);
}

void TAMonthListBox::Paint() {
  if (FTopDate == kxBarNullDate) return;
  HDC dc = Canvas()->Handle();
  SelectObject(dc, Font()->Handle());
  Word y = 0, m = 0;
  YearMonth(FTopDate, y, m);
  int w = ClientWidth();
  for (int i = 0; i < 7; ++i) {
    TRect r{0, i * FItemHeight, w, (i + 1) * FItemHeight};
    AnsiString text = MonthTitle(y, m);
    TSize sz = uxTextSize(dc, text);
    bool current = i == FItemIndex;
    OpaqueText(dc, r, (w - sz.cx) / 2, r.top + (FItemHeight - sz.cy) / 2, text, current ? clWindow : clWindowText,
               current ? clWindowText : clWindow);
    kxBarIncMonth(y, m);
  }
}

void TAMonthListBox::StopTimer() {
  if (FTimerId && HandleAllocated()) KillTimer(Handle(), UINT_PTR(FTimerId));
  FTimerId = 0;
}

void TAMonthListBox::TrackMouse(int X, int Y) {
  int h = ClientHeight();
  if (Inside(ClientRect(), X, Y)) {
    StopTimer();
    SetItemIndex(FItemHeight > 0 ? Y / FItemHeight : -1);
    return;
  }
  SetItemIndex(-1);
  if (Y >= 0 && Y < h) return;
  int yy = Y < 0 ? Y : Y - h + 1;
  int sigma = yy < 0 ? -1 : 1;
  int speed = std::clamp(sigma + yy / 12, -4, 4);
  int id = speed + 5;
  if (id == FTimerId) return;
  StopTimer();
  static const int periods[4] = {500, 250, 100, 50};
  FTimerId = id;
  if (HandleAllocated()) SetTimer(Handle(), UINT_PTR(id), UINT(periods[std::abs(speed) - 1]), nullptr);
}

void TAMonthListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_DESTROY:
      StopTimer();
      break;
    case WM_TIMER: {
      Word y = 0, m = 0;
      YearMonth(FTopDate, y, m);
      if (int(Message.WParam) < 6) kxBarDecMonth(y, m);
      else kxBarIncMonth(y, m);
      SetTopDate(FirstOfMonth(y, m));
      return;
    }
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}
