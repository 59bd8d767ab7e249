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
  kxbardate::TAMonthListBox* list = n->MonthList();
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


// A date combo on the fixture's toolbar.
class BarsDateComboTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    SetClockForTests([] { return EncodeDate(2024, 1, 31) + 0.5; });
    Combo = new TkxBarDateCombo(F);
    Combo->SetName("DateCombo1");
    Combo->SetCaption(A("日期"));
    Combo->SetWidth(110);
    Combo->SetCategory(0);
    static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(Combo);
    // the bar window makes the controls of its links when it is shown
    ToolsBar->SetVisible(false);
    ToolsBar->SetVisible(true);
    Pump();
  }
  void TearDown() override {
    SetClockForTests(nullptr);
    BarsFormTest::TearDown();
  }
  TkxBarDateComboControl* Control() { return dynamic_cast<TkxBarDateComboControl*>(ToolLink(Combo)->Control()); }
  TkxBarDateCombo* Combo = nullptr;
};

// The text: the short day name, a blank and the locale's short date; any
// text is read back into that form, dots included; no date is empty.
TEST_F(BarsDateComboTest, TextIsNormalised) {
  EXPECT_EQ(Combo->Text(), A("三 2024-1-31"));  // a new item shows today
  EXPECT_EQ(Combo->DateOnStart(), bdsToday);
  struct Case {
    const char* Typed;
    const char* Shown;
  };
  const Case cases[] = {{"2024.3.5", "二 2024-3-5"}, {"2024-12-1", "日 2024-12-1"}, {"五 2024-2-2", "五 2024-2-2"},
                        {"nonsense", ""}, {"", ""}};
  for (const Case& c : cases) {
    Combo->SetText(A(c.Typed));
    EXPECT_EQ(Combo->Text(), A(c.Shown)) << c.Typed;
  }
  EXPECT_EQ(Combo->DateOnStart(), bdsCustom);  // typed text
  Combo->SetText("2024-3-5");
  Combo->SetShowDayText(false);
  EXPECT_EQ(Combo->Text(), "2024-3-5");
  EXPECT_EQ(Combo->GetDate(), EncodeDate(2024, 3, 5));
  Combo->SetDateOnStart(bdsNullDate);
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(Combo->GetDate(), kxBarNullDate);
  Combo->SetText("2024-3-6");
  EXPECT_EQ(Combo->DateOnStart(), bdsCustom);
}

// Limits clamp dates, never the null date; a lower limit alone cannot be
// set before an upper one.
TEST_F(BarsDateComboTest, LimitsClampDates) {
  Combo->SetMinDate(EncodeDate(2024, 1, 1));
  EXPECT_EQ(Combo->MinDate(), 0);
  Combo->SetMaxDate(EncodeDate(2024, 12, 31));
  Combo->SetMinDate(EncodeDate(2024, 1, 1));
  Combo->SetDate(EncodeDate(2025, 3, 1));
  EXPECT_EQ(Combo->GetDate(), EncodeDate(2024, 12, 31));
  Combo->SetDate(EncodeDate(2023, 3, 1));
  EXPECT_EQ(Combo->GetDate(), EncodeDate(2024, 1, 1));
  Combo->SetDate(kxBarNullDate);
  EXPECT_EQ(Combo->Text(), "");
  // a new upper limit re-examines the current date
  Combo->SetDate(EncodeDate(2024, 6, 1));
  Combo->SetMaxDate(EncodeDate(2024, 5, 1));
  EXPECT_EQ(Combo->GetDate(), EncodeDate(2024, 5, 1));
}

// "+" and "-" in the edit step a day when it holds a date; the character
// never reaches the edit.
TEST_F(BarsDateComboTest, PlusAndMinusStepADay) {
  ClickLink(ToolLink(Combo));
  TkxBarDateComboControl* c = Control();
  ASSERT_NE(c, nullptr);
  ASSERT_NE(c->Window(), nullptr);
  SendMessageA(c->Window(), WM_CHAR, '+', 0);
  EXPECT_EQ(c->GetWindowText(), A("四 2024-2-1"));
  SendMessageA(c->Window(), WM_CHAR, '-', 0);
  SendMessageA(c->Window(), WM_CHAR, '-', 0);
  EXPECT_EQ(c->GetWindowText(), A("二 2024-1-30"));
  c->SetWindowText("abc");
  SendMessageA(c->Window(), WM_CHAR, '+', 0);
  EXPECT_EQ(c->GetWindowText(), "abc");
}

// The drop-down is the navigator with both buttons; a click on a date puts
// it into the item and closes the drop-down.
TEST_F(BarsDateComboTest, DropDownChoosesADate) {
  Combo->SetDate(EncodeDate(2024, 1, 10));
  ClickLink(ToolLink(Combo));
  TkxBarDateComboControl* c = Control();
  ASSERT_NE(c, nullptr);
  c->SetDroppedDown(true);
  Pump();
  TkxBarDateNavigator* n = Combo->Navigator();
  ASSERT_TRUE(n->HandleAllocated());
  ASSERT_TRUE(IsWindowVisible(n->Handle()));
  EXPECT_TRUE(n->HasButtons());
  EXPECT_EQ(n->GetSelStart(), EncodeDate(2024, 1, 10));
  RECT wr;
  GetWindowRect(n->Handle(), &wr);
  EXPECT_TRUE(MatchesReference(Screen(TRect{wr.left, wr.top, wr.right, wr.bottom}), "bars/tests/ref",
                               "date_combo_dropdown"));
  TRect g = n->GetGridRect();
  int k = int(EncodeDate(2024, 1, 18) - n->GetFirstVisibleDate());
  TPoint p = n->ClientToScreen(TPoint{g.left + n->SideWidth() + (k % 7) * n->ColWidth() + 5,
                                      g.top + n->DaysOfWeekHeight() + (k / 7) * n->RowHeight() + 5});
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(Combo->GetDate(), EncodeDate(2024, 1, 18));
  EXPECT_FALSE(n->HandleAllocated() && IsWindowVisible(n->Handle()));
}

// The select-date dialog: its clear button empties its edit, and OK then
// empties the item; cancel keeps the item's date.
TEST_F(BarsDateComboTest, SelectDateDialog) {
  auto press = [](TCustomForm* Form, const char* Caption) {
    for (int i = 0; i < Form->ComponentCount(); ++i)
      if (auto* b = dynamic_cast<TButton*>(Form->Components(i)))
        if (b->Caption() == A(Caption)) b->Click();
  };
  std::string caption, shown;
  PushModalScript([&](TCustomForm* f) {
    caption = f->Caption();
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* e = dynamic_cast<TEdit*>(f->Components(i))) shown = e->Text();
    press(f, "清除");
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* e = dynamic_cast<TEdit*>(f->Components(i))) {
        EXPECT_EQ(e->Text(), "");
      }
    press(f, "取消");
  });
  Combo->DoClick();
  EXPECT_EQ(caption, A("选择日期"));
  EXPECT_EQ(shown, A("三 2024-1-31"));
  EXPECT_EQ(Combo->Text(), A("三 2024-1-31"));
  PushModalScript([&](TCustomForm* f) {
    press(f, "清除");
    press(f, "确定");
  });
  Combo->DoClick();
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(PendingModalScriptSteps(), 0);
}

// The item is written to and read from descriptions with its own settings.
TEST_F(BarsDateComboTest, Streams) {
  Combo->SetMaxDate(EncodeDate(2024, 12, 31));
  Combo->SetShowDayText(false);
  Combo->SetDateOnStart(bdsNullDate);
  AnsiString text = WriteComponentToText(F);
  EXPECT_NE(text.find("DateOnStart = bdsNullDate"), AnsiString::npos);
  EXPECT_NE(text.find("ShowDayText = False"), AnsiString::npos);
  EXPECT_NE(text.find("MaxDate = "), AnsiString::npos);
  EXPECT_EQ(text.find("MinDate = "), AnsiString::npos);
}


// The font combo lists the installed families with their TrueType mark; on
// a bar it takes only names of the list, completing a prefix.
TEST_F(BarsDateComboTest, FontNames) {
  auto* fonts = new TkxBarFontNameCombo(F);
  EXPECT_FALSE(fonts->ShowEditor());
  EXPECT_EQ(fonts->Width(), 160);
  TStringList* items = fonts->Items();
  int dejavu = items->IndexOf("DejaVu Sans");
  ASSERT_GE(dejavu, 0);
  EXPECT_NE(items->Objects(dejavu), nullptr);
  for (int i = 1; i < items->Count(); ++i) EXPECT_LE(AnsiCompareText(items->Get(i - 1), items->Get(i)), 0);
  // not being edited on a bar: any text
  fonts->SetText("Foo");
  EXPECT_EQ(fonts->Text(), "Foo");
  fonts->SetCategory(0);
  static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(fonts);
  ToolsBar->SetVisible(false);
  ToolsBar->SetVisible(true);
  Pump();
  ClickLink(ToolLink(fonts));  // being edited on the bar
  ASSERT_NE(fonts->CurItemLink(), nullptr);
  fonts->SetText("dejavu sans m");
  EXPECT_EQ(fonts->Text().substr(0, 16), "DejaVu Sans Mono");
  fonts->SetText("Zzqx no such face");
  EXPECT_EQ(fonts->Text().substr(0, 16), "DejaVu Sans Mono");
  fonts->SetText("");
  EXPECT_EQ(fonts->Text(), "");
  // the list drops down
  auto* c = dynamic_cast<TCustomkxBarComboControl*>(ToolLink(fonts)->Control());
  ASSERT_NE(c, nullptr);
  c->SetDroppedDown(true);
  Pump();
  ASSERT_NE(fonts->ListBox(), nullptr);
  EXPECT_TRUE(IsWindowVisible(fonts->ListBox()->Handle()));
  EXPECT_GE(fonts->ListBox()->Items()->Count(), 4);
  c->SetDroppedDown(false);
  Pump();
  // its glyph button asks the font dialog
  bool asked = false;
  PushModalScript([&](TCustomForm* f) {
    asked = true;
    f->SetModalResult(mrCancel);
  });
  fonts->DoClick();
  EXPECT_TRUE(asked);
}

}  // namespace kxbardate_test
