// The spin editor: clamping, steps from keys, wheel and buttons with
// auto-repeat, integers with a fractional increment, unreadable text,
// Ctrl-only stepping, a disabled text, value types and out-of-range values.
#include "inplace/tests/kxtest.h"

#include "inplace/kxspin.h"

namespace {

class KxSpinEditTest : public InplaceTest {
 protected:
  TkxInplaceSpinEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceSpinEdit>();
  }
  void TypeKey(unsigned Vk, const char* Text) {
    hb->KeyDown(Vk, false, Text);
    hb->KeyUp(Vk);
    Pump();
  }
  TPoint Half(bool Up) {
    RECT r;
    GetWindowRect(E->Handle(), &r);
    int w = GetSystemMetrics(SM_CXVSCROLL);
    if (w % 2 == 0) --w;
    int mid = (r.top + 2 + r.bottom - 2) / 2;
    return kxPoint(r.right - 2 - w / 2, Up ? mid - 3 : mid + 3);
  }
};

TEST_F(KxSpinEditTest, StepsAndClamping) {
  struct Case {
    double Min, Max, Increment;
    TkxValueType Type;
    const char* Start;
    int Steps;  // positive: up, negative: down
    const char* Expect;
  } cases[] = {
      {0, 0, 1, vtInt, "5", 3, "8"},            // equal bounds: no clamping
      {0, 0, 1, vtInt, "-2", -3, "-5"},
      {0, 10, 1, vtInt, "10", 1, "10"},         // at the top
      {0, 10, 1, vtInt, "0", -1, "0"},
      {0, 0, 0.5, vtInt, "2", 1, "3"},          // a fractional increment still advances
      {0, 0, 0.5, vtInt, "2", 4, "6"},
      {0, 0, 0.5, vtInt, "2", -2, "0"},
      {0, 0, 0.25, vtFloat, "1", 3, "1.75"},
      {3, 9, 1, vtInt, "abc", 1, "4"},          // unreadable text spins from the minimum
      {3, 9, 1, vtInt, "", 1, "4"},
  };
  for (const Case& c : cases) {
    E->SetValueType(c.Type);
    E->SetValueRange(c.Max, c.Min);
    E->Increment = c.Increment;
    Activate(E, kxRect(20, 30, 150, 50), Variant(AnsiString(c.Start)));
    for (int i = 0; i < std::abs(c.Steps); ++i) E->Spin(c.Steps > 0);
    EXPECT_EQ(AnsiString(c.Expect), E->Text()) << c.Start << " " << c.Steps << " by " << c.Increment;
  }
  EXPECT_TRUE(E->StoredValues().Contains(svMaxValue));
  EXPECT_TRUE(E->StoredValues().Contains(svValueType));
}

TEST_F(KxSpinEditTest, OutOfRangeTextIsClampedOnLeaving) {
  E->SetValueRange(10, 0);
  Activate(E, kxRect(20, 30, 150, 50), Variant("3"));
  E->SelectAll();
  TypeKey('1', "1");
  TypeKey('5', "5");
  EXPECT_EQ("15", E->Text());
  E->ValidateEdit();
  EXPECT_EQ("10", E->Text());
  // Letters are refused with a beep; the decimal point only for floats.
  int beeps = hb->BeepCount();
  TypeKey('X', "x");
  TypeKey(VK_OEM_PERIOD, ".");
  EXPECT_EQ(beeps + 2, hb->BeepCount());
  E->SetValueType(vtFloat);
  TypeKey(VK_OEM_COMMA, ",");
  EXPECT_NE(AnsiString::npos, E->Text().find('.'));
}

TEST_F(KxSpinEditTest, KeysWheelAndCtrlIncrement) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("5"));
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ("6", E->Text());
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_EQ(0, E->PushedSpinButton());
  TPoint p = At(E, 5, 5);
  hb->Wheel(p.x, p.y, 240);
  Pump();
  EXPECT_EQ("7", E->Text());
  hb->Wheel(p.x, p.y, -120);
  Pump();
  EXPECT_EQ("6", E->Text());
  // With UseCtrlIncrement, Up alone goes to the host and Ctrl+Up steps.
  E->UseCtrlIncrement = true;
  Press(VK_UP);
  EXPECT_EQ("6", E->Text());
  EXPECT_EQ((std::vector<Word>{VK_UP}), Host->KeysDown);
  Press(VK_UP, HeadlessBackend::Ctrl);
  EXPECT_EQ("7", E->Text());
}

TEST_F(KxSpinEditTest, DisabledTextStillSpins) {
  E->EditorEnabled = false;
  Activate(E, kxRect(20, 30, 150, 50), Variant("1"));
  int beeps = hb->BeepCount();
  TypeKey('2', "2");
  Press(VK_BACK);
  EXPECT_EQ("1", E->Text());
  EXPECT_GE(hb->BeepCount(), beeps + 1);
  Press(VK_UP);
  EXPECT_EQ("2", E->Text());
  // A read-only editor beeps and keeps its value.
  E->SetReadOnly(true);
  beeps = hb->BeepCount();
  Press(VK_UP);
  EXPECT_EQ("2", E->Text());
  EXPECT_EQ(beeps + 1, hb->BeepCount());
}

TEST_F(KxSpinEditTest, HeldButtonRepeats) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("0"));
  TPoint up = Half(true);
  hb->MouseMove(up.x, up.y);
  Pump();
  EXPECT_EQ(1, E->HotSpinButton());
  hb->MouseDown(up.x, up.y);
  Pump();
  EXPECT_EQ("1", E->Text());
  EXPECT_EQ(1, E->PushedSpinButton());
  hb->AdvanceClock(399);
  Pump();
  EXPECT_EQ("1", E->Text());
  hb->AdvanceClock(2);
  Pump();
  EXPECT_EQ("2", E->Text());
  for (int i = 0; i < 3; ++i) {
    hb->AdvanceClock(101);
    Pump();
  }
  EXPECT_EQ("5", E->Text());
  hb->MouseUp(up.x, up.y);
  Pump();
  EXPECT_EQ(0, E->PushedSpinButton());
  hb->AdvanceClock(500);
  Pump();
  EXPECT_EQ("5", E->Text());
  // The down half.
  TPoint down = Half(false);
  hb->MouseMove(down.x, down.y);
  hb->Click(down.x, down.y);
  Pump();
  EXPECT_EQ("4", E->Text());
}

TEST_F(KxSpinEditTest, ValueTypeChangeKeepsTheNumber) {
  E->SetValueType(vtFloat);
  Activate(E, kxRect(20, 30, 150, 50), Variant("2.123456789012345678"));
  E->SetModified(true);
  E->ValidateEdit();
  EXPECT_EQ("2.12345678901235", E->Text());
  E->SetValueType(vtInt);
  EXPECT_EQ("2", E->Text());
  E->SetValueType(vtFloat);
  EXPECT_EQ("2", E->Text());
  // A cell painted by the class matches the live editor with its buttons.
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  EXPECT_TRUE(MatchesReference(SideBySide(live, cls), "inplace/tests/ref", "spin_cell"));
}

}  // namespace
