// The date editor and its date text: keywords with offsets, text to date
// with the locale's separators, the masked format and the edit mask, values
// in and out, validation (messages, the date left alone, a host closing the
// editor) and the calendar dropped down by key and mouse.
#include "inplace/tests/kxtest.h"

#include <cmath>

#include "inplace/kxdate.h"
#include "inplace/kxresources.h"
#include "platform/rtl/locale.h"

namespace {

TDateTime YmdDate(int Y, int M, int D) { return EncodeDate(Word(Y), Word(M), Word(D)); }

struct DateHits {
  int N = 0;
  void Hit(TObject*) { ++N; }
};

class KxDateTest : public InplaceTest {
 protected:
  // Monday 8 July 2024, 10:30.
  TDateTime Clock = YmdDate(2024, 7, 8) + EncodeTime(10, 30, 0, 0);
  TkxInplaceDateEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    SetClockForTests([this] { return Clock; });
    E = NewEditor<TkxInplaceDateEdit>();
  }
  void TearDown() override {
    ResetClock();
    InplaceTest::TearDown();
  }
  void TypeText(const char* Text) {
    E->SelectAll();
    for (const char* p = Text; *p; ++p) {
      hb->KeyDown(0, false, std::string(1, *p));
      hb->KeyUp(0);
    }
    Pump();
  }
  TkxGridDatePopup* Calendar() { return E->DatePopup(); }
  bool CalendarShown() { return Calendar() && Calendar()->HandleAllocated() && IsWindowVisible(Calendar()->Handle()); }
};

TEST_F(KxDateTest, KeywordsWithOffsets) {
  struct Case {
    const char* Text;
    TDateTime Want;
  } cases[] = {
      {"TODAY", YmdDate(2024, 7, 8)},
      {"today", YmdDate(2024, 7, 8)},
      {"Yesterday", YmdDate(2024, 7, 7)},
      {"tomorrow +2", YmdDate(2024, 7, 11)},
      {"today - 3", YmdDate(2024, 7, 5)},
      {"eom-1", YmdDate(2024, 7, 30)},
      {"BOM", YmdDate(2024, 7, 1)},
      {"today+x", YmdDate(2024, 7, 8)},        // no number: no offset
      {"today +5 days", YmdDate(2024, 7, 8)},  // not a number either
      {"today+", YmdDate(2024, 7, 8)},         // a sign alone
      {"TODAYX", YmdDate(2024, 7, 8)},         // the keyword at the start is enough
      {"sunday", YmdDate(2024, 7, 14)},        // the next Sunday
      {"monday", YmdDate(2024, 7, 8)},         // today is one
      {"saturday", YmdDate(2024, 7, 13)},
      {"first", YmdDate(2024, 7, 7)},  // days of the Sunday-based week
      {"seventh", YmdDate(2024, 7, 13)},
  };
  for (const Case& c : cases) {
    TDateTime d = -1;
    ASSERT_TRUE(kxParseDateKeyword(c.Text, d)) << c.Text;
    EXPECT_EQ(c.Want, d) << c.Text;
  }
  TDateTime d = 5;
  EXPECT_TRUE(kxParseDateKeyword("now", d));
  EXPECT_EQ(Clock, d);
  d = 5;
  EXPECT_FALSE(kxParseDateKeyword("next week", d));
  EXPECT_FALSE(kxParseDateKeyword("", d));
  EXPECT_EQ(5, d);
  // On a Sunday, SUNDAY is that day; EOM knows leap years.
  Clock = YmdDate(2024, 2, 11);
  EXPECT_TRUE(kxParseDateKeyword("sunday", d));
  EXPECT_EQ(YmdDate(2024, 2, 11), d);
  EXPECT_TRUE(kxParseDateKeyword("EOM", d));
  EXPECT_EQ(YmdDate(2024, 2, 29), d);
}

TEST_F(KxDateTest, TextToDate) {
  struct Case {
    const char* Text;
    bool Ok;
    TDateTime Want;
  } cases[] = {
      {"2024-7-10", true, YmdDate(2024, 7, 10)},
      {"  2024-07-10  ", true, YmdDate(2024, 7, 10)},
      {"2024/7/10", true, YmdDate(2024, 7, 10)},
      {"2024-7-10 13:05", true, YmdDate(2024, 7, 10) + EncodeTime(13, 5, 0, 0)},
      {"tomorrow", true, YmdDate(2024, 7, 9)},
      {"", false, 0},
      {"   ", false, 0},
      {"2024-13-45", false, 0},
      {"hello", false, 0},
      {"2024-2-30", false, 0},
  };
  for (const Case& c : cases) {
    TDateTime d = -99;
    EXPECT_EQ(c.Ok, kxStrToDate(c.Text, d)) << c.Text;
    EXPECT_EQ(c.Ok ? c.Want : -99, d) << c.Text;
  }
  // With "." between the parts, the first two dots are read as blanks.
  TFormatSettings fs = LocaleFormatSettings();
  fs.DateSeparator = '.';
  fs.ShortDateFormat = "d.M.yyyy";
  SetFormatSettings(fs);
  TDateTime d = 0;
  EXPECT_TRUE(kxStrToDate("31.12.2005", d));
  EXPECT_EQ(YmdDate(2005, 12, 31), d);
}

TEST_F(KxDateTest, MaskedFormatAndEditMaskFollowTheShortDateFormat) {
  struct Case {
    const char* Short;
    const char* Masked;
    const char* Mask;
    const char* Shown;  // 2024-07-08 with the mask
  } cases[] = {
      {"yyyy-M-d", "yyyy-MM-dd", "!9999-99-99;1; ", "2024-07-08"},
      {"d/M/yy", "dd/MM/yy", "!99/99/99;1; ", "08/07/24"},
      {"dd-MM-yyyy", "dd-MM-yyyy", "!99-99-9999;1; ", "08-07-2024"},
      {"dd-MMMM-yyyy", "dd-MMM-yyyy", "!99-lll-9999;1; ", nullptr},
      {"M.d.yyyy", "MM.dd.yyyy", "!99.99.9999;1; ", "07.08.2024"},
  };
  for (const Case& c : cases) {
    TFormatSettings fs = LocaleFormatSettings();
    fs.ShortDateFormat = c.Short;
    fs.DateSeparator = c.Short[std::strcspn(c.Short, "-/.")];
    SetFormatSettings(fs);
    EXPECT_EQ(AnsiString(c.Masked), kxMaskedDateFormat()) << c.Short;
    EXPECT_EQ(AnsiString(c.Mask), kxDateEditMask()) << c.Short;
    if (c.Shown) {
      EXPECT_EQ(AnsiString(c.Shown), kxDateToText(true, YmdDate(2024, 7, 8))) << c.Short;
    }
  }
  ResetFormatSettings();
  EXPECT_EQ("", kxDateToText(false, NullDate));
  EXPECT_EQ("", kxDateToText(true, NullDate));
  EXPECT_EQ("2024-7-8", kxDateToLocaleText(YmdDate(2024, 7, 8)));
  EXPECT_EQ("2024-7-8 13:05:09", kxDateToLocaleText(YmdDate(2024, 7, 8) + EncodeTime(13, 5, 9, 0)));
}

TEST_F(KxDateTest, ValuesInAndOutAndTheMaskSwitch) {
  DateHits changed;
  E->OnDateChanged = TNotifyEvent(&changed, &DateHits::Hit);
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
  EXPECT_EQ("2024-7-10", E->Text());
  EXPECT_EQ(varDate, E->EditValue().Type());
  EXPECT_EQ(YmdDate(2024, 7, 10), E->EditValue().AsDateTime());
  E->SetUseEditMask(true);
  EXPECT_EQ("2024-07-10", E->Text());
  EXPECT_EQ(YmdDate(2024, 7, 10), E->GetDate());
  EXPECT_TRUE(E->StoredValues().Contains(svEditMask));
  E->SetUseEditMask(false);
  EXPECT_EQ("2024-7-10", E->Text());
  EXPECT_FALSE(E->StoredValues().Contains(svEditMask));
  EXPECT_EQ(0, changed.N);  // values set by the host are no change of the user

  E->SetEditValue(Variant::Null());
  EXPECT_EQ("", E->Text());
  EXPECT_TRUE(E->EditValue().IsNull());
  E->SetEditValue(Variant(AnsiString()));
  EXPECT_EQ(NullDate, E->GetDate());
  E->SetEditValue(Variant(45483.5));  // a number is a date and a time
  EXPECT_EQ("2024-7-10 12:00:00", E->Text());
  // A value that is no date: a clear error, the date stays.
  EXPECT_THROW(E->SetEditValue(Variant(AnsiString("someday"))), Exception);
  EXPECT_THROW(E->SetEditValue(Variant(1e300)), EConvertError);
  EXPECT_THROW(E->SetEditValue(Variant(std::nan(""))), EConvertError);
  EXPECT_EQ(45483.5, E->GetDate());
  EXPECT_EQ("2024-7-10 12:00:00", E->Text());
  EXPECT_FALSE(E->InternalChanging);

  // Masked, an empty date shows the empty mask and no display text.
  E->SetUseEditMask(true);
  E->SetEditValue(Variant::Null());
  EXPECT_EQ("    -  -  ", E->Text());
  AnsiString shown = "x";
  E->GetDisplayText(shown);
  EXPECT_EQ("", shown);
}

TEST_F(KxDateTest, ValidationTurnsTextIntoADate) {
  DateHits changed;
  E->OnDateChanged = TNotifyEvent(&changed, &DateHits::Hit);
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
  TypeText("tomorrow +2");
  EXPECT_TRUE(E->TextEdited());
  E->ValidateEdit();
  EXPECT_EQ(YmdDate(2024, 7, 11), E->GetDate());
  EXPECT_EQ("2024-7-11", E->Text());
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(1, changed.N);
  EXPECT_FALSE(E->TextEdited());

  // Text that is no date, without validation: the date of DateOnError.
  struct Case {
    const char* Text;
    TDateOnError OnError;
    TDateTime Want;
  } cases[] = {
      {"hello", deNull, NullDate}, {"hello", deToday, YmdDate(2024, 7, 8)},
      {"", deNull, NullDate},      {"", deToday, NullDate},  // empty text always clears
  };
  for (const Case& c : cases) {
    Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
    E->DateOnError = c.OnError;
    if (*c.Text) TypeText(c.Text);
    else {
      E->SelectAll();
      Press(VK_DELETE);
    }
    E->ValidateEdit();
    EXPECT_EQ(c.Want, E->GetDate()) << c.Text << " " << int(c.OnError);
  }
}

TEST_F(KxDateTest, ANonDateIsRefusedWithAMessageAndTheDateStays) {
  E->DateValidation = true;
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
  TypeText("hello");
  const int beeps = hb->BeepCount();
  try {
    E->ValidateEdit();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ("Invalid Date", e.Message);
  }
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  EXPECT_EQ("hello", E->Text());
  EXPECT_EQ(YmdDate(2024, 7, 10), E->GetDate());
  EXPECT_EQ(E->Handle(), GetFocus());

  // The host's handler may refuse a good date with its own message, or
  // accept a bad one with a date of its choice.
  struct Handler {
    bool Refuse = false;
    void Check(TObject*, const AnsiString& Text, TDateTime& Date, AnsiString& Message, bool& Error) {
      if (Refuse) {
        Error = true;
        Message = "No weekends";
      } else if (Text == "hello") {
        Error = false;
        Date = YmdDate(2000, 1, 1);
      }
    }
  } handler;
  E->OnDateValidateInput = TkxDateValidateInput(&handler, &Handler::Check);
  E->ValidateEdit();
  EXPECT_EQ(YmdDate(2000, 1, 1), E->GetDate());
  handler.Refuse = true;
  TypeText("2024-7-13");
  EXPECT_THROW(
      {
        try {
          E->ValidateEdit();
        } catch (const Exception& e) {
          EXPECT_EQ("No weekends", e.Message);
          throw;
        }
      },
      Exception);
  EXPECT_EQ(YmdDate(2000, 1, 1), E->GetDate());
}

TEST_F(KxDateTest, AHostClosingTheEditorCancelsOnlyTextThatIsNoDate) {
  E->DateValidation = true;
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
  TypeText("hello");
  E->CloseFlag = true;
  EXPECT_NO_THROW(E->ValidateEdit());
  EXPECT_EQ(YmdDate(2024, 7, 10), E->GetDate());
  EXPECT_FALSE(E->Modified());

  // A good date typed before the host closes is kept, not cancelled.
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10)));
  TypeText("2024-8-1");
  E->CloseFlag = true;
  EXPECT_NO_THROW(E->ValidateEdit());
  EXPECT_EQ(YmdDate(2024, 8, 1), E->GetDate());
  EXPECT_TRUE(E->Modified());
}

TEST_F(KxDateTest, TheCalendarDropsDownByKeyAndByMouse) {
  DateHits clicks;
  E->OnEditButtonClick = TNotifyEvent(&clicks, &DateHits::Hit);
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2024, 7, 10) + EncodeTime(13, 5, 9, 0)));
  E->SetFocus();
  Pump();
  Press(VK_DOWN, HeadlessBackend::Alt);
  ASSERT_TRUE(CalendarShown());
  EXPECT_EQ(1, clicks.N);
  EXPECT_TRUE(E->PopupShown());
  EXPECT_EQ(Calendar()->Handle(), GetFocus());  // the calendar takes the keys
  EXPECT_EQ(YmdDate(2024, 7, 10), Calendar()->GetSelectionStart());
  EXPECT_TRUE(Calendar()->HasTodayButton && Calendar()->HasClearButton);
  RECT er, cr;
  GetWindowRect(E->Handle(), &er);
  GetWindowRect(Calendar()->Handle(), &cr);
  EXPECT_EQ(er.bottom, cr.top);
  // Keys move in the calendar; Enter picks, keeping the text's time of day.
  Press(VK_RIGHT);
  Press(VK_RETURN);
  EXPECT_FALSE(CalendarShown());
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ(E->Handle(), GetFocus());
  EXPECT_EQ(YmdDate(2024, 7, 11) + EncodeTime(13, 5, 9, 0), E->GetDate());
  EXPECT_TRUE(E->Modified());
  // Escape closes it without a change.
  Press(VK_F4);
  ASSERT_TRUE(CalendarShown());
  Press(VK_LEFT);
  Press(VK_ESCAPE);
  EXPECT_FALSE(CalendarShown());
  EXPECT_EQ(YmdDate(2024, 7, 11) + EncodeTime(13, 5, 9, 0), E->GetDate());

  // The button opens it; a click on a day picks it; Clear empties the date.
  RECT wr;
  GetWindowRect(E->Handle(), &wr);
  const TPoint button = kxPoint(wr.right - 4, (wr.top + wr.bottom) / 2);
  hb->Click(button.x, button.y);
  Pump();
  ASSERT_TRUE(CalendarShown());
  TkxGridDatePopup* c = Calendar();
  // 1 July 2024 is a Monday: the second row's first cell.
  TPoint day = c->ClientToScreen(
      kxPoint(c->SideMargin + c->DayColumnWidth / 2, c->DayAreaTop() + c->WeekRowHeight + c->WeekRowHeight / 2));
  hb->Click(day.x, day.y);
  Pump();
  EXPECT_FALSE(CalendarShown());
  EXPECT_EQ(YmdDate(2024, 7, 1) + EncodeTime(13, 5, 9, 0), E->GetDate());
  hb->AdvanceClock(1000);
  hb->Click(button.x, button.y);
  Pump();
  ASSERT_TRUE(CalendarShown());
  TRect clear = c->ClearButtonRect();
  TPoint cp = c->ClientToScreen(kxPoint((clear.left + clear.right) / 2, (clear.top + clear.bottom) / 2));
  hb->Click(cp.x, cp.y);
  Pump();
  EXPECT_EQ(NullDate, E->GetDate());
  EXPECT_EQ("", E->Text());
}

TEST_F(KxDateTest, TheCalendarOpensOnTheLastDateThatParsed) {
  Activate(E, kxRect(20, 30, 180, 50), Variant::FromDate(YmdDate(2023, 3, 5)));
  E->SetFocus();
  Pump();
  Press(VK_F4);
  ASSERT_TRUE(CalendarShown());
  EXPECT_EQ(YmdDate(2023, 3, 1), Calendar()->MonthStart());
  Press(VK_ESCAPE);
  TypeText("not a date");
  Press(VK_F4);
  ASSERT_TRUE(CalendarShown());
  EXPECT_EQ(YmdDate(2023, 3, 5), Calendar()->GetSelectionStart());
  Press(VK_ESCAPE);
  // A read-only editor drops nothing down.
  E->SetReadOnly(true);
  Press(VK_F4);
  EXPECT_FALSE(CalendarShown());
}

}  // namespace
