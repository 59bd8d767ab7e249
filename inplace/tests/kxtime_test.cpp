// The time editor: the part under the caret and its steps, typed digits kept
// within a day, values with a date part, Null, times past the last second,
// formats; the currency editor: accepted characters, decimals, separators,
// bounds, Null, the display format and pasting.
#include "inplace/tests/kxtest.h"

#include "inplace/kxcurrency.h"
#include "inplace/kxresources.h"
#include "inplace/kxtime.h"
#include "platform/rtl/datetime.h"

namespace {

class KxTimeEditTest : public InplaceTest {
 protected:
  TkxInplaceTimeEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceTimeEdit>();
  }
  void ShowTime(const Variant& V) { Activate(E, kxRect(20, 30, 150, 50), V); }
  void Caret(int P) { SendMessageA(E->Handle(), EM_SETSEL, WPARAM(P), LPARAM(P)); }
};

TEST_F(KxTimeEditTest, TheCaretChoosesThePartThatSteps) {
  struct Case {
    int Caret;
    bool Up;
    const char* Want;
  } cases[] = {
      {0, true, "09:15:30"}, {1, true, "09:15:30"}, {2, true, "09:15:30"},  // a separator steps the part before
      {3, true, "08:16:30"}, {5, false, "08:14:30"}, {6, true, "08:15:31"},
      {7, false, "08:15:29"}, {8, true, "08:15:31"},
  };
  for (const Case& c : cases) {
    ShowTime(Variant(EncodeTime(8, 15, 30, 0)));
    E->SetFocus();
    Caret(c.Caret);
    Press(c.Up ? VK_UP : VK_DOWN);
    EXPECT_EQ(AnsiString(c.Want), E->Text()) << "caret " << c.Caret;
  }
  // Steps that would leave the day are ignored: no wrapping, no clamping.
  struct Edge {
    TDateTime Start;
    int Caret;
    bool Up;
    const char* Want;
  } edges[] = {
      {EncodeTime(23, 30, 0, 0), 0, true, "23:30:00"},
      {EncodeTime(0, 10, 0, 0), 0, false, "00:10:00"},
      {EncodeTime(23, 59, 30, 0), 3, true, "23:59:30"},
      {EncodeTime(0, 0, 0, 0), 6, false, "00:00:00"},
      {EncodeTime(23, 59, 58, 0), 6, true, "23:59:59"},
  };
  for (const Edge& c : edges) {
    ShowTime(Variant(c.Start));
    E->SetFocus();
    Caret(c.Caret);
    E->Spin(c.Up);
    EXPECT_EQ(AnsiString(c.Want), E->Text()) << c.Want;
  }
}

TEST_F(KxTimeEditTest, TypedDigitsStayWithinTheDay) {
  ShowTime(Variant(EncodeTime(8, 15, 0, 0)));
  E->SetFocus();
  struct Case {
    int Caret;
    const char* Text;  // the edit text before the key
    char Key;
    bool Beeps;
  } cases[] = {
      {0, "08:15:00", '3', true},  {0, "08:15:00", '2', false}, {1, "23:15:00", '4', true},
      {1, "23:15:00", '3', false}, {1, "13:15:00", '9', false}, {3, "08:15:00", '6', true},
      {3, "08:15:00", '5', false}, {6, "08:15:00", '6', true},  {4, "08:15:00", '9', false},
  };
  for (const Case& c : cases) {
    E->SetEditText(c.Text);
    Caret(c.Caret);
    const int beeps = hb->BeepCount();
    TypeChar(c.Key);
    EXPECT_EQ(c.Beeps, hb->BeepCount() > beeps) << c.Text << " at " << c.Caret << " " << c.Key;
  }
  // Typing "2" then "4" as the hours beeps on the "4".
  E->SetEditText("08:15:00");
  Caret(0);
  int beeps = hb->BeepCount();
  TypeChar('2');
  EXPECT_EQ(beeps, hb->BeepCount());
  TypeChar('4');
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  EXPECT_EQ("28:15:00", E->GetEditText());
}

TEST_F(KxTimeEditTest, ValuesKeepTheirDatePart) {
  ShowTime(Variant::Null());
  EXPECT_EQ("00:00:00", E->Text());
  Variant v;
  E->GetEditValue(v);
  EXPECT_EQ(varCurrency, v.Type());
  EXPECT_EQ(0, v.AsDouble());
  ShowTime(Variant(""));
  E->GetEditValue(v);
  EXPECT_EQ(varCurrency, v.Type());
  // Two days and 08:15: the time shows, the date comes back with the new time.
  ShowTime(Variant(2 + EncodeTime(8, 15, 0, 0)));
  EXPECT_EQ("08:15:00", E->Text());
  EXPECT_EQ(2, E->DatePart());
  E->SetFocus();
  Caret(0);
  Press(VK_UP);
  E->GetEditValue(v);
  EXPECT_EQ(varDouble, v.Type());
  EXPECT_NEAR(2 + EncodeTime(9, 15, 0, 0), v.AsDouble(), 1e-9);
  EXPECT_TRUE(E->Modified());
  // A value that is no time raises and leaves the editor as it was.
  EXPECT_THROW(E->SetEditValue(Variant("no time")), EVariantTypeCastError);
  EXPECT_EQ("09:15:00", E->Text());
  EXPECT_EQ(2, E->DatePart());
}

TEST_F(KxTimeEditTest, ATimePastTheLastSecondIsNotAnotherCellsTime) {
  ShowTime(Variant(1 + EncodeTime(8, 0, 0, 0)));
  // The next cell holds 23:59:59.5 on day 5: it shows its own last second,
  // and its value comes back whole.
  const TDateTime late = 5 + EncodeTime(23, 59, 59, 500);
  ShowTime(Variant(late));
  EXPECT_EQ("23:59:59", E->Text());
  EXPECT_EQ(5, E->DatePart());
  Variant v;
  E->GetEditValue(v);
  EXPECT_NEAR(late, v.AsDouble(), 1e-9);
  // SetValue itself takes nothing past the last second.
  E->SetValue(EncodeTime(23, 59, 59, 500));
  E->SetValue(-0.1);
  EXPECT_EQ("23:59:59", E->Text());
  E->SetValue(kxLastTimeOfDay);
  EXPECT_EQ(kxLastTimeOfDay, E->GetTime());
}

TEST_F(KxTimeEditTest, FormatsShowFewerParts) {
  ShowTime(Variant(EncodeTime(8, 15, 30, 0)));
  E->SetTimeEditFormat(tfHourMin);
  EXPECT_EQ("08:15", E->GetEditText());
  E->SetTimeEditFormat(tfHour);
  EXPECT_EQ("08", E->GetEditText());
  EXPECT_EQ("00;1;0", E->EditMask());
  E->SetValue(EncodeTime(10, 45, 0, 0));
  EXPECT_EQ("10", E->GetEditText());
  EXPECT_EQ(EncodeTime(10, 45, 0, 0), E->GetTime());
  E->SetFocus();
  Caret(1);
  EXPECT_EQ('H', E->GetCaretTimePart());
  // The setter refuses while the host does not allow changes, but not while it fills the editor.
  Host->ModifyOk = false;
  E->SetTime(EncodeTime(3, 0, 0, 0));
  EXPECT_EQ(EncodeTime(10, 45, 0, 0), E->GetTime());
  Host->BeginInitEdit();
  E->SetTime(EncodeTime(3, 0, 0, 0));
  Host->EndInitEdit();
  EXPECT_EQ("03", E->GetEditText());
}

class KxCurrencyEditTest : public InplaceTest {
 protected:
  TkxInplaceCurrencyEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceCurrencyEdit>();
  }
  void ShowAmount(const Variant& V) { Activate(E, kxRect(20, 30, 150, 50), V); }
};

TEST_F(KxCurrencyEditTest, CharactersThatKeepTheTextANumber) {
  ShowAmount(Variant(""));
  E->SetFocus();
  struct Case {
    const char* Text;
    int SelStart, SelLength;
    char Key;
    bool Accepted;
  } cases[] = {
      {"", 0, 0, '-', true},      {"", 0, 0, '5', true},      {"", 0, 0, 'a', false},
      {"1.23", 4, 0, '4', false},  // a third decimal
      {"1.2", 3, 0, '4', true},    {"1.53", 3, 0, 'E', true},  // decimals counted up to the E
      {"1.5", 3, 0, 'E', true},    // "1.5E" reads as 1.5, so the exponent can follow
      {"12", 2, 0, '+', false},    {"12", 0, 0, '-', true},    {"1.23", 2, 2, '9', true},  // replaces the selection
      {"5", 1, 0, '.', true},      {"5.1", 3, 0, '.', false},  {"12", 1, 0, ',', false},  // no thousand separator
  };
  for (const Case& c : cases) {
    E->SetMaskText(c.Text);
    SendMessageA(E->Handle(), EM_SETSEL, WPARAM(c.SelStart), LPARAM(c.SelStart + c.SelLength));
    EXPECT_EQ(c.Accepted, E->IsValidChar(c.Key)) << c.Text << " + " << c.Key;
  }
  // Typed: a refused character beeps and changes nothing.
  E->SetMaskText("1.2");
  SendMessageA(E->Handle(), EM_SETSEL, 3, 3);
  int beeps = hb->BeepCount();
  TypeChar('5');
  TypeChar('7');
  EXPECT_EQ("1.25", E->Text());
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  // An amount with an exponent is typed key by key; left with a bare "E" it
  // validates to the number before it.
  E->SetMaskText("");
  beeps = hb->BeepCount();
  for (char c : std::string("1.5E3")) TypeChar(c);
  EXPECT_EQ("1.5E3", E->Text());
  EXPECT_EQ(1500, E->GetValue());
  EXPECT_EQ(beeps, hb->BeepCount());
  E->SetMaskText("");
  for (char c : std::string("2.5e")) TypeChar(c);
  E->SetModified(true);
  E->ValidateEdit();
  EXPECT_EQ("2.5", E->Text());
  // Both "," and "." type the decimal separator without the thousand separator.
  E->SetMaskText("");
  for (char c : {'3', ',', '5'}) TypeChar(c);
  EXPECT_EQ("3.5", E->Text());
}

TEST_F(KxCurrencyEditTest, TheThousandSeparatorCanBeTypedAndIsIgnored) {
  E->UseThousandSeparator = true;
  ShowAmount(Variant(""));
  E->SetFocus();
  for (char c : std::string("1,234.5")) TypeChar(c);
  EXPECT_EQ("1,234.5", E->Text());
  EXPECT_EQ(1234.5, E->GetValue());
  double x = 7;
  EXPECT_TRUE(TkxInplaceCurrencyEdit::TryTextToFloat("1,000,000", x));
  EXPECT_EQ(1e6, x);
  for (const char* bad : {"abc", "1e999", "-", ""}) {
    EXPECT_FALSE(TkxInplaceCurrencyEdit::TryTextToFloat(bad, x)) << bad;
    EXPECT_EQ(0, x);
  }
}

TEST_F(KxCurrencyEditTest, ValidationClampsToTheBounds) {
  struct Case {
    double Min, Max;
    const char* Text;
    const char* Want;
  } cases[] = {
      {0, 100, "250", "100"}, {0, 100, "-5", "0"}, {0, 0, "250", "250"},  // equal bounds never clamp
      {10, 20, "-", "10"},                                              // "-" does not parse: the minimum
      {0, 0, "1.50", "1.5"},
  };
  for (const Case& c : cases) {
    E->SetValueRange(c.Max, c.Min);
    ShowAmount(Variant(AnsiString(c.Text)));
    E->SetModified(true);
    E->ValidateEdit();
    EXPECT_EQ(AnsiString(c.Want), E->Text()) << c.Text;
  }
  EXPECT_TRUE(E->StoredValues().Contains(svMaxValue));
  EXPECT_TRUE(E->StoredValues().Contains(svMinValue));
  // A maximum below the minimum becomes the minimum; a range given upside down is put right.
  E->SetValueRange(20, 10);
  E->SetMaxValue(5);
  EXPECT_EQ(10, E->MaxValue());
  E->SetValueRange(1, 9);
  EXPECT_EQ(1, E->MinValue());
  EXPECT_EQ(1, E->MaxValue());
}

TEST_F(KxCurrencyEditTest, NullAndTheDisplayFormat) {
  E->SetDisplayFormat("#,##0.00");
  E->SetNullable(true);
  E->SetNullString("(none)");
  ShowAmount(Variant(""));
  Variant v;
  E->GetEditValue(v);
  EXPECT_TRUE(v.IsNull());
  E->GetEditingValue(v, false);
  EXPECT_EQ("(none)", v.AsString());
  E->SetModified(true);
  E->ValidateEdit();
  EXPECT_EQ("", E->Text());
  // An amount shows through the format while the editor is not edited.
  ShowAmount(Variant("1234.5"));
  E->GetEditingValue(v, false);
  EXPECT_EQ("1,234.50", v.AsString());
  EXPECT_TRUE(E->RepaintOnActivate());
  E->GetEditValue(v);
  EXPECT_EQ("1234.5", v.AsString());
  // Without Nullable an empty text is 0.
  E->SetNullable(false);
  ShowAmount(Variant(""));
  E->GetEditingValue(v, false);
  EXPECT_EQ("0.00", v.AsString());
  // Without a format the plain text.
  E->SetDisplayFormat("");
  EXPECT_FALSE(E->RepaintOnActivate());
  // The default format follows the locale's currency unless one was set.
  E->RestoreDefaults();
  AnsiString def;
  kxGetCurrencyDisplayFormat(def);
  EXPECT_EQ(def, E->DisplayFormat());
  EXPECT_FALSE(def.empty());
}

TEST_F(KxCurrencyEditTest, PastingNoNumberPutsTheTextBack) {
  ShowAmount(Variant("12.5"));
  E->SetFocus();
  auto paste = [&](const char* Text) {
    OpenClipboard(E->Handle());
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, std::strlen(Text) + 1);
    std::memcpy(GlobalLock(mem), Text, std::strlen(Text) + 1);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    E->Perform(WM_PASTE, 0, 0);
  };
  SendMessageA(E->Handle(), EM_SETSEL, 0, -1);
  paste("abc");
  EXPECT_EQ("12.5", E->Text());
  EXPECT_EQ(E->GetTextLength(), E->SelLength());
  SendMessageA(E->Handle(), EM_SETSEL, 0, -1);
  paste("99");
  EXPECT_EQ("99", E->Text());
  // The editor never takes a mask.
  E->SetEditMask("000");
  EXPECT_FALSE(E->IsMasked());
}

}  // namespace
