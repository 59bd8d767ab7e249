// The month calendar: date arithmetic, the 42-day grid and its first column,
// keys that scroll the month, the Today and Clear buttons, the arrows, the
// month list and its scrolling speed, and how it looks.
#include "inplace/tests/kxtest.h"

#include "inplace/kxcalendar.h"
#include "platform/gdi/tests/refimage.h"

namespace {

struct CalendarHits {
  int N = 0;
  void Hit(TObject*) { ++N; }
};

TDateTime Ymd(int Y, int M, int D) { return EncodeDate(Word(Y), Word(M), Word(D)); }

class KxCalendarTest : public InplaceTest {
 protected:
  TkxGridDatePopup* C = nullptr;
  CalendarHits Selected;
  void SetUp() override {
    InplaceTest::SetUp();
    C = NewObject<TkxGridDatePopup>(Form);
    C->Font()->Assign(Host->GetEditFont());
    C->OnDateSelected = TNotifyEvent(&Selected, &CalendarHits::Hit);
  }
  void TearDown() override {
    kxReadFirstDayOfWeek();
    InplaceTest::TearDown();
  }
  // Shows the calendar at D, focused, as the date editor drops it down.
  void Open(TDateTime D) {
    C->SetMonthStart(D);
    C->SetSelection(D);
    C->HandleNeeded();
    C->SetBounds(120, 150, C->Width(), C->Height());
    C->ShowPopup();
    ::SetFocus(C->Handle());
    Pump();
  }
  bool Shown() { return C->HandleAllocated() && IsWindowVisible(C->Handle()); }
  // The screen point in the middle of the day cell at Row, Col.
  TPoint Cell(int Row, int Col) {
    return At(C, C->SideMargin + Col * C->DayColumnWidth + C->DayColumnWidth / 2,
              C->DayAreaTop() + Row * C->WeekRowHeight + C->WeekRowHeight / 2);
  }
  TPoint Middle(const TRect& R) { return At(C, (R.left + R.right) / 2, (R.top + R.bottom) / 2); }
};

TEST(KxDateArithmeticTest, LeapYearsMonthLengthsClampingAndCarries) {
  EXPECT_TRUE(kxIsLeapYear(2024));
  EXPECT_FALSE(kxIsLeapYear(1900));
  EXPECT_TRUE(kxIsLeapYear(2000));
  EXPECT_FALSE(kxIsLeapYear(2023));
  EXPECT_EQ(29, kxDaysInMonth(2024, 2));
  EXPECT_EQ(28, kxDaysInMonth(1900, 2));
  EXPECT_EQ(30, kxDaysInMonth(2023, 11));
  EXPECT_EQ(31, kxDaysInMonth(2023, 12));
  EXPECT_EQ(1, kxClampDay(2023, 2, 0));
  EXPECT_EQ(1, kxClampDay(2023, 2, -5));
  EXPECT_EQ(28, kxClampDay(2023, 2, 31));
  EXPECT_EQ(15, kxClampDay(2023, 2, 15));
  struct Case {
    int Y, M, N, WantY, WantM;
  } cases[] = {{2023, 11, 2, 2024, 1}, {2023, 1, -1, 2022, 12}, {2023, 1, -13, 2021, 12},
               {2023, 12, 0, 2023, 12}, {2023, 6, 30, 2025, 12}, {2023, 1, -12, 2022, 1}};
  for (const Case& c : cases) {
    int y = c.Y, m = c.M;
    kxAddMonths(y, m, c.N);
    EXPECT_EQ(c.WantY, y) << c.Y << "-" << c.M << " + " << c.N;
    EXPECT_EQ(c.WantM, m) << c.Y << "-" << c.M << " + " << c.N;
  }
  const TDateTime d = Ymd(2024, 2, 29);
  EXPECT_EQ(2024, kxDatePart(1, d));
  EXPECT_EQ(2, kxDatePart(2, d));
  EXPECT_EQ(29, kxDatePart(3, d));
  EXPECT_EQ(-1, kxDatePart(4, d));
  // A value a hair below a whole day counts as that day; a negative one
  // goes towards zero.
  EXPECT_EQ(d, kxTruncDateTime(d - 1e-12));
  EXPECT_EQ(d, kxTruncDateTime(d + 0.75));
  EXPECT_EQ(-2, kxTruncDateTime(-2.5));
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), kxTimeOfDateTime(d + 0.75));
  EXPECT_DOUBLE_EQ(EncodeTime(10, 30, 15, 250), kxTimeOfDateTime(d + EncodeTime(10, 30, 15, 250)));
}

TEST_F(KxCalendarTest, TheGridAlwaysSpansSixWeeksAndAMonthOnTheFirstColumnShowsTheWeekBefore) {
  ASSERT_EQ(1, kxFirstDayOfWeek);  // the Chinese locale starts its weeks on Monday
  Open(Ymd(2024, 7, 10));          // 1 July 2024 is a Monday
  EXPECT_EQ(Ymd(2024, 6, 24), C->GetFirstVisibleDate());
  EXPECT_EQ(Ymd(2024, 8, 4), C->GetLastVisibleDate());
  EXPECT_EQ(Ymd(2024, 6, 24), C->DateAtPos(C->ScreenToClient(Cell(0, 0))));
  EXPECT_EQ(Ymd(2024, 7, 1), C->DateAtPos(C->ScreenToClient(Cell(1, 0))));
  EXPECT_EQ(Ymd(2024, 8, 4), C->DateAtPos(C->ScreenToClient(Cell(5, 6))));
  EXPECT_EQ(NullDate, C->DateAtPos(kxPoint(1, C->DayAreaTop() + 2)));  // the side margin
  EXPECT_EQ(NullDate, C->DateAtPos(kxPoint(-1, -1)));
  C->SetMonthStart(Ymd(2024, 9, 20));  // 1 September 2024 is a Sunday: the last column
  EXPECT_EQ(Ymd(2024, 9, 1), C->MonthStart());
  EXPECT_EQ(Ymd(2024, 8, 26), C->GetFirstVisibleDate());
  EXPECT_EQ(C->GetFirstVisibleDate() + 41, C->GetLastVisibleDate());

  // With Sunday first, the Sunday 1st moves to the first column and the
  // week before it is shown.
  kxFirstDayOfWeek = 0;
  EXPECT_EQ(0, TkxGridDatePopup::WeekColumn(Ymd(2024, 9, 1)));
  EXPECT_EQ(Ymd(2024, 8, 25), C->GetFirstVisibleDate());
  EXPECT_EQ(Ymd(2024, 10, 5), C->GetLastVisibleDate());
}

TEST_F(KxCalendarTest, TheFirstDayOfTheWeekFollowsTheLocale) {
  TFormatSettings fs = LocaleFormatSettings();
  fs.FirstDayOfWeek = 6;  // Sunday, as the locale counts from Monday
  SetFormatSettings(fs);
  EXPECT_EQ(0, kxFirstDayOfWeek);
  fs.FirstDayOfWeek = 0;
  SetFormatSettings(fs);
  EXPECT_EQ(1, kxFirstDayOfWeek);
}

TEST_F(KxCalendarTest, SizeFollowsTheFontAndTheButtons) {
  Open(Ymd(2024, 7, 10));
  const int frame = C->Width() - C->ClientWidth();
  EXPECT_EQ(frame + 2 * C->SideMargin + 7 * C->DayColumnWidth, C->Width());
  const int noButtons = C->CaptionHeight + C->DayNamesHeight + 6 * C->WeekRowHeight + 1;
  EXPECT_EQ(noButtons + C->ButtonAreaHeight, C->ClientHeight());
  C->HasTodayButton = false;
  C->AdjustPopupSize();
  EXPECT_EQ(noButtons, C->ClientHeight());
  // Both buttons split the free width into three equal gaps.
  C->HasTodayButton = C->HasClearButton = true;
  C->AdjustPopupSize();
  const TRect t = C->TodayButtonRect(), c = C->ClearButtonRect();
  const int gap1 = t.left, gap2 = c.left - t.right, gap3 = C->ClientWidth() - c.right;
  EXPECT_LE(std::abs(gap1 - gap2), 1);
  EXPECT_LE(std::abs(gap2 - gap3), 1);
  EXPECT_EQ(C->ButtonHeight, t.bottom - t.top);
}

TEST_F(KxCalendarTest, KeysMoveTheSelectionAndScrollTheMonth) {
  struct Case {
    TDateTime From;
    unsigned Vk, Mods;
    TDateTime Want, WantMonth;
  } cases[] = {
      {Ymd(2024, 7, 2), VK_UP, 0, Ymd(2024, 6, 25), Ymd(2024, 7, 1)},   // still in the grid's first week
      {Ymd(2024, 7, 1), VK_UP, 0, Ymd(2024, 6, 24), Ymd(2024, 7, 1)},   // the first visible cell
      {Ymd(2024, 7, 3), VK_LEFT, 0, Ymd(2024, 7, 2), Ymd(2024, 7, 1)},  //
      {Ymd(2024, 7, 1), VK_LEFT, 0, Ymd(2024, 6, 30), Ymd(2024, 7, 1)},
      {Ymd(2024, 8, 1), VK_UP, 0, Ymd(2024, 7, 25), Ymd(2024, 7, 1)},   // before the first visible date
      {Ymd(2024, 7, 31), VK_DOWN, 0, Ymd(2024, 8, 7), Ymd(2024, 8, 1)},  // past the last visible week
      {Ymd(2024, 7, 31), VK_RIGHT, 0, Ymd(2024, 8, 1), Ymd(2024, 7, 1)},
      {Ymd(2024, 3, 31), VK_PRIOR, 0, Ymd(2024, 2, 29), Ymd(2024, 3, 1)},  // in March's first row
      {Ymd(2024, 1, 31), VK_NEXT, 0, Ymd(2024, 2, 29), Ymd(2024, 2, 1)},
      {Ymd(2024, 7, 10), VK_HOME, 0, Ymd(2024, 7, 8), Ymd(2024, 7, 1)},
      {Ymd(2024, 7, 10), VK_END, 0, Ymd(2024, 7, 14), Ymd(2024, 7, 1)},
      {Ymd(2024, 7, 10), VK_HOME, HeadlessBackend::Ctrl, Ymd(2024, 7, 1), Ymd(2024, 7, 1)},
      {Ymd(2024, 7, 10), VK_END, HeadlessBackend::Ctrl, Ymd(2024, 7, 31), Ymd(2024, 7, 1)},
  };
  for (const Case& c : cases) {
    Open(c.From);
    Press(c.Vk, c.Mods);
    EXPECT_EQ(c.Want, C->GetSelectionStart()) << DateToStr(c.From) << " key " << c.Vk;
    EXPECT_EQ(c.Want, C->GetSelectionEnd());
    EXPECT_EQ(c.WantMonth, C->MonthStart()) << DateToStr(c.From) << " key " << c.Vk;
    EXPECT_TRUE(Shown());
  }
  EXPECT_EQ(0, Selected.N);
}

TEST_F(KxCalendarTest, EnterReportsTheDateEscapeF4AndAltArrowsCloseWithout) {
  Open(Ymd(2024, 7, 10));
  Press(VK_RETURN);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(1, Selected.N);
  const std::pair<unsigned, unsigned> closers[] = {{VK_ESCAPE, 0}, {VK_F4, 0}, {VK_UP, HeadlessBackend::Alt}, {VK_DOWN, HeadlessBackend::Alt}};
  for (auto [vk, mods] : closers) {
    Open(Ymd(2024, 7, 10));
    Press(vk, mods);
    EXPECT_FALSE(Shown()) << vk;
    EXPECT_EQ(Ymd(2024, 7, 10), C->GetSelectionStart());
  }
  EXPECT_EQ(1, Selected.N);
}

TEST_F(KxCalendarTest, ClickingADayPicksItClosesAndReportsOnce) {
  Open(Ymd(2024, 7, 10));
  TPoint p = Cell(2, 3);  // Thursday of the third row: 11 July
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Ymd(2024, 7, 11), C->GetSelectionStart());
  EXPECT_EQ(1, Selected.N);

  // Dragging over the days follows the mouse; leaving the window goes back.
  Open(Ymd(2024, 7, 10));
  TPoint a = Cell(1, 0), b = Cell(3, 6);
  hb->MouseDown(a.x, a.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 7, 1), C->GetSelectionStart());
  hb->MouseMove(b.x, b.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 7, 21), C->GetSelectionStart());
  TPoint out = At(C, C->ClientWidth() + 40, 5);
  hb->MouseMove(out.x, out.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 7, 10), C->GetSelectionStart());
  hb->MouseUp(out.x, out.y);
  Pump();
  EXPECT_EQ(1, Selected.N);  // released outside: nothing reported
}

TEST_F(KxCalendarTest, TodayAndClearButtonsActOnlyWhenReleasedOnThem) {
  C->HasClearButton = true;
  Open(Ymd(2020, 1, 15));
  TPoint today = Middle(C->TodayButtonRect());
  // Pressed, dragged off and released: nothing.
  hb->MouseDown(today.x, today.y);
  Pump();
  TPoint off = At(C, 2, 2);
  hb->MouseMove(off.x, off.y);
  Pump();
  hb->MouseUp(off.x, off.y);
  Pump();
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Ymd(2020, 1, 15), C->GetSelectionStart());
  EXPECT_EQ(0, Selected.N);
  // Released on it: today, closed, reported.
  hb->Click(today.x, today.y);
  Pump();
  EXPECT_FALSE(Shown());
  EXPECT_EQ(Date(), C->GetSelectionStart());
  EXPECT_EQ(1, Selected.N);

  Open(Ymd(2020, 1, 15));
  TPoint clear = Middle(C->ClearButtonRect());
  hb->Click(clear.x, clear.y);
  Pump();
  EXPECT_FALSE(Shown());
  EXPECT_EQ(NullDate, C->GetSelectionStart());
  EXPECT_EQ(2, Selected.N);
}

TEST_F(KxCalendarTest, ArrowsStepTheMonthAndRepeatWhileHeld) {
  Open(Ymd(2024, 7, 10));
  TPoint left = Middle(C->LeftArrowRect()), right = Middle(C->RightArrowRect());
  hb->MouseDown(left.x, left.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 6, 1), C->MonthStart());
  EXPECT_TRUE(C->ArrowTimerRunning());
  hb->AdvanceClock(171);
  Pump();
  EXPECT_EQ(Ymd(2024, 5, 1), C->MonthStart());
  hb->MouseMove(right.x, right.y);  // off the left arrow: the ticks do nothing
  hb->AdvanceClock(171);
  Pump();
  EXPECT_EQ(Ymd(2024, 5, 1), C->MonthStart());
  hb->MouseUp(right.x, right.y);
  Pump();
  EXPECT_FALSE(C->ArrowTimerRunning());
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Ymd(2024, 7, 10), C->GetSelectionStart());  // the selection stays
  EXPECT_EQ(0, Selected.N);
  hb->Click(right.x, right.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 6, 1), C->MonthStart());
}

TEST_F(KxCalendarTest, HoldingTheCaptionOpensTheMonthList) {
  Open(Ymd(2024, 7, 10));
  TPoint cap = Middle(C->CaptionTextRect());
  hb->MouseDown(cap.x, cap.y);
  Pump();
  TAMonthListBox* list = C->MonthList();
  ASSERT_NE(nullptr, list);
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_EQ(Ymd(2024, 4, 1), list->FirstMonth);
  EXPECT_EQ(7 * list->LineHeight, list->ClientHeight());
  // Released without a move: the top row.
  hb->MouseUp(cap.x, cap.y);
  Pump();
  EXPECT_EQ(nullptr, C->MonthList());
  EXPECT_EQ(Ymd(2024, 4, 1), C->MonthStart());
  EXPECT_TRUE(Shown());
  EXPECT_EQ(0, Selected.N);

  // Moving onto the sixth row picks its month (a press later than a double
  // click's time: the second press of a double click is ignored).
  hb->AdvanceClock(1000);
  hb->MouseDown(cap.x, cap.y);
  Pump();
  list = C->MonthList();
  ASSERT_NE(nullptr, list);
  TPoint row5 = At(list, list->ClientWidth() / 2, 5 * list->LineHeight + list->LineHeight / 2);
  hb->MouseMove(row5.x, row5.y);
  Pump();
  EXPECT_EQ(5, list->HotRow);
  hb->MouseUp(row5.x, row5.y);
  Pump();
  EXPECT_EQ(Ymd(2024, 6, 1), C->MonthStart());
}

TEST_F(KxCalendarTest, DraggingBeyondTheMonthListScrollsFasterFurtherOut) {
  Open(Ymd(2024, 7, 10));
  TPoint cap = Middle(C->CaptionTextRect());
  hb->MouseDown(cap.x, cap.y);
  Pump();
  TAMonthListBox* list = C->MonthList();
  ASSERT_NE(nullptr, list);
  const int h = list->ClientHeight(), x = list->ClientWidth() / 2;
  struct Case {
    int Y, TimerId;
  } cases[] = {
      {h, 6},        // one below the edge: level 1
      {h + 11, 7},   // 12 beyond: level 2
      {h + 35, 9},   // 36 beyond: the fastest
      {h + 200, 9},  // limited to level 4
      {-1, 4},       // above: earlier months
      {-60, 1},
      {h / 2, 0},    // back inside: no scrolling
  };
  for (const Case& c : cases) {
    list->TrackMouse(kxPoint(x, c.Y));
    EXPECT_EQ(c.TimerId, list->ScrollTimerId()) << c.Y;
  }
  // The ticks move the list by a month, at the speed of the level.
  list->TrackMouse(kxPoint(x, h));
  const TDateTime first = list->FirstMonth;
  hb->AdvanceClock(499);
  Pump();
  EXPECT_EQ(first, list->FirstMonth);
  hb->AdvanceClock(2);
  Pump();
  EXPECT_EQ(IncMonth(first, 1), list->FirstMonth);
  list->TrackMouse(kxPoint(x, h + 40));
  hb->AdvanceClock(51);
  Pump();
  EXPECT_EQ(IncMonth(first, 2), list->FirstMonth);
  list->TrackMouse(kxPoint(x, -1));
  hb->AdvanceClock(501);
  Pump();
  EXPECT_EQ(IncMonth(first, 1), list->FirstMonth);
  // Released outside the list: no hot row, the month stays.
  EXPECT_EQ(-1, list->HotRow);
  hb->MouseUp(cap.x, cap.y - 200);
  Pump();
  EXPECT_EQ(nullptr, C->MonthList());
  EXPECT_EQ(Ymd(2024, 7, 1), C->MonthStart());
}

TEST_F(KxCalendarTest, LooksLikeAMonthCalendar) {
  C->HasClearButton = true;
  C->SetPopupBorderStyle(pbFlat);
  Open(Ymd(2024, 7, 10));
  // Today's frame would move the picture from day to day: keep today out
  // of the shown month.
  ASSERT_TRUE(Date() < Ymd(2024, 6, 24) || Date() > Ymd(2024, 8, 4));
  EXPECT_TRUE(MatchesReference(Shot(C), "inplace/tests/ref", "calendar"));
}

}  // namespace
