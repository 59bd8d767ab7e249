// The date navigator and its month list.
#include "bars/kxbardate.h"
#include "bars/tests/kxbartest.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/datetime.h"

namespace kxbardate_test {

struct TChosenLog {
  int Count = 0;
  void Chosen(TObject*) { ++Count; }
};

class BarsDateTest : public BarsTest {
 protected:
  void SetUp() override {
    BarsTest::SetUp();
    SetClockForTests([] { return EncodeDate(2024, 1, 31) + 0.5; });
    Form = new TForm(Application, 0);
    Form->SetBounds(50, 40, 400, 300);
    Form->Font()->SetName(A("宋体"));
    Form->Font()->SetHeight(-12);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    SetClockForTests(nullptr);
    BarsTest::TearDown();
  }
  // A navigator on the form, or a pop-up one beside it.
  TkxBarDateNavigator* Make(bool Popup, TkxBarCalendarStyle Style = bcsFlat) {
    auto* n = new TkxBarDateNavigator(Form, nullptr, Popup);
    n->SetStyle(Style);
    if (Popup) {
      n->SetShowClearButton(true);
      n->SetParentWindow(Form->Handle());
      n->HandleNeeded();
      SetWindowPos(n->Handle(), HWND_TOPMOST, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      n->SetVisible(true);
    } else {
      n->SetParent(Form);
      n->SetBounds(10, 10, 20, 20);
      n->SetVisible(true);
    }
    n->OnDateChosen = TNotifyEvent(&Log, &TChosenLog::Chosen);
    Pump();
    return n;
  }
  // The screen point of a date's cell.
  TPoint CellOf(TkxBarDateNavigator* N, TDateTime D) {
    TRect g = N->GetGridRect();
    int k = int(D - N->GetFirstVisibleDate());
    int x = g.left + N->SideWidth() + (k % 7) * N->ColWidth() + N->ColWidth() / 2;
    int y = g.top + N->DaysOfWeekHeight() + (k / 7) * N->RowHeight() + N->RowHeight() / 2;
    return N->ClientToScreen(TPoint{x, y});
  }
  TPoint Middle(TkxBarDateNavigator* N, const TRect& R) {
    return N->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
  }
  TForm* Form = nullptr;
  TChosenLog Log;
};

TEST(BarsDateArithmetic, MonthsDaysAndWholeDays) {
  struct Case {
    int Year, Month, N, WantYear, WantMonth;
  };
  const Case adds[] = {{2024, 1, -1, 2023, 12}, {2024, 12, 1, 2025, 1}, {2024, 3, 25, 2026, 4},
                       {2024, 3, -15, 2022, 12}, {2024, 5, 0, 2024, 5}};
  for (const Case& c : adds) {
    Word y = Word(c.Year), m = Word(c.Month);
    kxBarAddMonths(y, m, c.N);
    EXPECT_EQ(y * 100 + m, c.WantYear * 100 + c.WantMonth) << c.Year << "-" << c.Month << " + " << c.N;
  }
  EXPECT_EQ(kxBarDaysPerMonth(2024, 2), 29);
  EXPECT_EQ(kxBarDaysPerMonth(2023, 2), 28);
  EXPECT_EQ(kxBarDaysPerMonth(1900, 2), 28);
  EXPECT_EQ(kxBarDaysPerMonth(2000, 2), 29);
  EXPECT_EQ(kxBarCheckDay(2023, 2, 31), 28);
  EXPECT_EQ(kxBarCheckDay(2023, 2, 0), 1);
  EXPECT_EQ(kxBarDateOf(45000 - 1e-12), 45000);
  EXPECT_EQ(kxBarDateOf(45000.99), 45000);
  EXPECT_EQ(kxBarGetDatePart(2, EncodeDate(2024, 7, 9)), 7);
  EXPECT_EQ(kxBarGetDatePart(4, EncodeDate(2024, 7, 9)), -1);
}

// The grid: Monday first (the locale's answer 0), six weeks, and a month that
// starts on a Monday shows the whole week before it.
TEST_F(BarsDateTest, GridCoversSixWeeks) {
  TkxBarDateNavigator* n = Make(false);
  EXPECT_EQ(n->GetDayColumn(EncodeDate(2024, 1, 1)), 0);  // a Monday
  EXPECT_EQ(n->GetDayColumn(EncodeDate(2024, 1, 7)), 6);  // a Sunday
  n->SetFirstDate(EncodeDate(2024, 1, 20));
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 1, 1));
  EXPECT_EQ(n->GetFirstVisibleDate(), EncodeDate(2023, 12, 25));
  for (int m = 1; m <= 12; ++m) {
    n->SetFirstDate(EncodeDate(2025, Word(m), 1));
    EXPECT_EQ(n->GetLastVisibleDate(), n->GetFirstVisibleDate() + 41) << m;
    EXPECT_LT(n->GetFirstVisibleDate(), n->FirstDate());
  }
  // the size follows the font
  EXPECT_EQ(n->Width() - n->ClientWidth() + 2 * n->SideWidth() + 7 * n->ColWidth(), n->Width());
  EXPECT_GT(n->ColWidth(), 0);
}

// Selecting a date before the grid shows the month before the date's month,
// the date among the trailing days.
TEST_F(BarsDateTest, SelectionScrollsIntoView) {
  TkxBarDateNavigator* n = Make(false);
  n->SetFirstDate(EncodeDate(2024, 3, 1));
  n->SetSelStart(EncodeDate(2024, 2, 2));
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 1, 1));
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 2, 2));
  n->SetSelStart(EncodeDate(2024, 6, 20));
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 6, 1));
}

TEST_F(BarsDateTest, KeysMoveTheDate) {
  TkxBarDateNavigator* n = Make(true);
  struct Case {
    TDateTime From;
    Word Key;
    bool Ctrl;
    TDateTime Want;
  };
  const Case cases[] = {
      {EncodeDate(2024, 1, 31), VK_NEXT, false, EncodeDate(2024, 2, 29)},
      {EncodeDate(2023, 1, 31), VK_NEXT, false, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 3, 31), VK_PRIOR, false, EncodeDate(2024, 2, 29)},
      {EncodeDate(2024, 1, 17), VK_HOME, false, EncodeDate(2024, 1, 15)},
      {EncodeDate(2024, 1, 17), VK_HOME, true, EncodeDate(2024, 1, 1)},
      {EncodeDate(2024, 1, 17), VK_END, false, EncodeDate(2024, 1, 21)},
      {EncodeDate(2024, 1, 17), VK_END, true, EncodeDate(2024, 1, 31)},
      {EncodeDate(2024, 1, 17), VK_UP, false, EncodeDate(2024, 1, 10)},
      {EncodeDate(2024, 1, 31), VK_RIGHT, false, EncodeDate(2024, 2, 1)},
  };
  for (const Case& c : cases) {
    n->SetSelStart(c.From);
    if (c.Ctrl) hb->KeyDown(VK_CONTROL);
    Pump();
    SendMessageA(n->Handle(), WM_KEYDOWN, c.Key, 0);
    if (c.Ctrl) hb->KeyUp(VK_CONTROL);
    EXPECT_EQ(n->GetSelStart(), c.Want) << c.Key;
  }
  SendMessageA(n->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Log.Count, 1);
}

// A drag that ends off the dates puts the selection back to the date
// selected before the press; a click on a date chooses it.
TEST_F(BarsDateTest, MouseSelection) {
  TkxBarDateNavigator* n = Make(false);
  n->SetSelStart(EncodeDate(2024, 1, 10));
  TPoint a = CellOf(n, EncodeDate(2024, 1, 16)), b = CellOf(n, EncodeDate(2024, 1, 18));
  hb->MouseDown(a.x, a.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 16));
  hb->MouseMove(b.x, b.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 18));
  hb->MouseMove(a.x + 500, a.y);
  hb->MouseUp(a.x + 500, a.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 10));
  EXPECT_EQ(Log.Count, 0);
  hb->Click(b.x, b.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 18));
  EXPECT_EQ(Log.Count, 1);
  // the arrows scroll a month, again while held
  TPoint next = Middle(n, n->GetNextArrowRect());
  hb->MouseDown(next.x, next.y);
  Pump();
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 2, 1));
  Wait(170);
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 3, 1));
  hb->MouseUp(next.x, next.y);
  Wait(400);
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 3, 1));
  EXPECT_EQ(n->ScrollTimer(), 0);
}

// "清除" chooses the null date when released over it, nothing otherwise;
// the dialog's navigator has no buttons whatever its flags say.
TEST_F(BarsDateTest, ClearButton) {
  TkxBarDateNavigator* n = Make(true);
  n->SetSelStart(EncodeDate(2024, 1, 10));
  TPoint c = Middle(n, n->GetClearButtonRect());
  hb->MouseDown(c.x, c.y);
  hb->MouseMove(c.x, c.y + 200);
  hb->MouseUp(c.x, c.y + 200);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 10));
  EXPECT_EQ(Log.Count, 0);
  hb->Click(c.x, c.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), kxBarNullDate);
  EXPECT_EQ(Log.Count, 1);
  TPoint t = Middle(n, n->GetTodayButtonRect());
  hb->Click(t.x, t.y);
  Pump();
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 31));
  EXPECT_EQ(Log.Count, 2);

  TkxBarDateNavigator* d = Make(false);
  d->SetShowTodayButton(true);
  d->SetShowClearButton(true);
  EXPECT_FALSE(d->HasButtons());
  EXPECT_EQ(d->ClientHeight(), n->ClientHeight() - n->ButtonsRegionHeight());
}

// The month list opens over the title with the shown month fourth, scrolls
// while the mouse is held beyond it, and chooses the row released on.
TEST_F(BarsDateTest, MonthList) {
  TkxBarDateNavigator* n = Make(false);
  n->SetFirstDate(EncodeDate(2024, 5, 1));
  TPoint title = Middle(n, n->GetTitleRect());
  hb->MouseDown(title.x, title.y);
  Pump();
  TAMonthListBox* list = n->MonthList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->TopDate(), EncodeDate(2024, 2, 1));
  EXPECT_EQ(list->GetChosenMonth(), EncodeDate(2024, 2, 1));  // the first row, until the mouse moves
  int h = list->ClientHeight();
  struct Case {
    int Y, Id;
  };
  const Case speeds[] = {{h - 1 + 5, 6}, {h - 1 + 30, 8}, {h - 1 + 60, 9}, {-1, 4}, {-13, 3}};
  for (const Case& c : speeds) {
    list->TrackMouse(5, c.Y);
    EXPECT_EQ(list->TimerId(), c.Id) << c.Y;
    EXPECT_EQ(list->ItemIndex(), -1);
  }
  Wait(250);  // speed -2: one month back
  EXPECT_EQ(list->TopDate(), EncodeDate(2024, 1, 1));
  // released beside the list: nothing chosen
  TPoint away = list->ClientToScreen(TPoint{-30, 10});
  hb->MouseMove(away.x, away.y);
  hb->MouseUp(away.x, away.y);
  Pump();
  EXPECT_EQ(n->MonthList(), nullptr);
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 5, 1));
  // released on the sixth row
  Wait(1000);  // not a double click
  hb->MouseDown(title.x, title.y);
  Pump();
  list = n->MonthList();
  ASSERT_NE(list, nullptr);
  TPoint row = list->ClientToScreen(TPoint{10, list->ItemHeight() * 5 + 2});
  hb->MouseMove(row.x, row.y);
  Pump();
  EXPECT_EQ(list->ItemIndex(), 5);
  hb->MouseUp(row.x, row.y);
  Pump();
  EXPECT_EQ(n->FirstDate(), EncodeDate(2024, 7, 1));
}

// The navigator as drawn: the month and year in the header, one-character
// Chinese day names from Monday, leading and trailing days in grey, today
// framed and selected.
TEST_F(BarsDateTest, LooksLikeACalendar) {
  TkxBarDateNavigator* n = Make(false);
  n->SetSelStart(EncodeDate(2024, 1, 31));
  n->SetFirstDate(EncodeDate(2024, 1, 1));
  Pump();
  Form->Repaint();
  Pump();
  TRect r = n->ClientRect();
  TPoint tl = n->ClientToScreen(TPoint{-1, -1});
  TRawImage img = Screen(TRect{tl.x, tl.y, tl.x + r.right + 2, tl.y + r.bottom + 2});
  EXPECT_TRUE(MatchesReference(img, "bars/tests/ref", "date_navigator"));
}

}  // namespace kxbardate_test
