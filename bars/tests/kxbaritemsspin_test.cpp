// Spin edits: values, ranges and the prefix, the keys that may be typed,
// stepping by keys and the wheel, and the buttons repeating while held.
#include "bars/kxbaritemsext.h"
#include "bars/tests/kxbartest.h"

namespace kxbaritemsspin_test {

class BarsSpinTest : public BarsFormTest {
 protected:
  TkxBarSpinEdit* Spin = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    Spin = new TkxBarSpinEdit(F);
    Spin->SetName("Pages");
    Spin->SetWidth(80);
    static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(Spin);
    ToolsBar->SetVisible(false);
    ToolsBar->SetVisible(true);
    Pump();
  }
  TkxBarSpinEditControl* Control() { return dynamic_cast<TkxBarSpinEditControl*>(ToolLink(Spin)->Control()); }
  // Starts editing on the bar.
  HWND Edit() {
    ClickLink(ToolLink(Spin));
    return Control() ? Control()->Window() : nullptr;
  }
  TPoint ButtonPoint(bool Up) {
    TRect r = Control()->ButtonsRect();
    TPoint p{(r.left + r.right) / 2, Up ? r.top + 2 : r.bottom - 3};
    return ToolsBar->Control()->ClientToScreen(p);
  }
};

TEST_F(BarsSpinTest, ValuesKeepTheirRangeAndType) {
  EXPECT_EQ(Spin->Text(), "0");
  struct Case {
    double Min, Max, Set, Want;
  };
  const Case cases[] = {{0, 0, 25, 25}, {0, 0, -7, -7}, {-10, 10, 25, 10}, {-10, 10, -30, -10}, {0, 0, 2.7, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Set);
    Spin->SetMaxValue(c.Max);
    Spin->SetMinValue(c.Min);
    Spin->SetValue(c.Set);
    EXPECT_EQ(Spin->Value(), c.Want);
    EXPECT_EQ(Spin->Text(), IntToStr(int(c.Want)));
    Spin->SetMinValue(0);
    Spin->SetMaxValue(0);
  }
  Spin->SetIncrement(0.5);
  EXPECT_EQ(Spin->Increment(), 1);
  Spin->SetValueType(svtFloat);
  Spin->SetIncrement(0);
  EXPECT_EQ(Spin->Increment(), 1);
  Spin->SetIncrement(0.25);
  EXPECT_EQ(Spin->Increment(), 0.25);
  Spin->SetValue(1.5);
  EXPECT_EQ(Spin->Text(), "1.5");
  // a lower end above the upper one moves it along
  Spin->SetMaxValue(5);
  Spin->SetMinValue(8);
  EXPECT_EQ(Spin->MaxValue(), 8);
  EXPECT_EQ(Spin->Value(), 8);
  // back to whole numbers: the settings are truncated
  Spin->SetValueType(svtInteger);
  EXPECT_EQ(Spin->Increment(), 1);
}

// A unit after the number: shown with the value, read back, and text that is
// no number is refused.
TEST_F(BarsSpinTest, APrefixOrSuffixFramesTheNumber) {
  AnsiString unit = A("厘米");
  Spin->SetPrefix(unit);
  Spin->SetValue(5);
  EXPECT_EQ(Spin->Text(), "5" + unit);
  Spin->SetText("7" + unit);
  EXPECT_EQ(Spin->Value(), 7);
  Spin->SetText(A("厘米厘米"));
  EXPECT_EQ(Spin->Text(), "7" + unit) << "letters only leave the text alone";
  Spin->SetPrefixPlace(ppStart);
  EXPECT_EQ(Spin->Text(), unit + "7");
  EXPECT_EQ(Spin->TextToValue("oops"), Spin->MinValue());
}

// While editing: digits pass, a minus only with a negative lower end; Up,
// Down and the wheel step; a read-only item does not move.
TEST_F(BarsSpinTest, KeysAndTheWheelStep) {
  HWND w = Edit();
  ASSERT_NE(w, nullptr);
  SetWindowTextA(w, "");
  for (char c : std::string("-4x2")) SendMessageA(w, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
  EXPECT_EQ(Control()->GetWindowText(), "42");
  Spin->SetMaxValue(100);
  Spin->SetMinValue(-5);
  SetWindowTextA(w, "");
  SendMessageA(w, WM_CHAR, '-', 0);
  EXPECT_EQ(Control()->GetWindowText(), "-");
  SetWindowTextA(w, "3");
  SendMessageA(w, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Control()->GetWindowText(), "4");
  EXPECT_EQ(Control()->PressedButton(), sbUp);
  SendMessageA(w, WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(Control()->PressedButton(), sbNone);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0);
  EXPECT_EQ(Control()->GetWindowText(), "3");
  std::vector<int> clicks;
  struct Log {
    std::vector<int>* V;
    void Click(TObject*, TkxBarSpinEditButton B) { V->push_back(int(B)); }
  } log{&clicks};
  Spin->OnButtonClick = TkxBarSpinEditButtonClickEvent(&log, &Log::Click);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(Control()->GetWindowText(), "4");
  EXPECT_EQ(clicks, std::vector<int>{int(sbUp)});
  Spin->SetReadOnly(true);
  SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(Control()->GetWindowText(), "4");
}

// Holding the up button steps at once, again after the double-click time
// less 100 ms, then every 100 ms; off the button the stepping pauses.
TEST_F(BarsSpinTest, AHeldButtonRepeats) {
  ASSERT_NE(Edit(), nullptr);
  ASSERT_FALSE(kxBarRectEmpty(Control()->ButtonsRect()));
  TPoint up = ButtonPoint(true);
  hb->MouseDown(up.x, up.y);
  Pump();
  EXPECT_EQ(Control()->PressedButton(), sbUp);
  EXPECT_EQ(Spin->GetCurText(), "1");
  int first = int(GetDoubleClickTime()) - 100;
  Wait(first - 10);
  EXPECT_EQ(Spin->GetCurText(), "1");
  Wait(10);
  EXPECT_EQ(Spin->GetCurText(), "2");
  Wait(100);
  EXPECT_EQ(Spin->GetCurText(), "3");
  // off the button: drawn up, no steps
  TPoint down = ButtonPoint(false);
  hb->MouseMove(down.x, down.y);
  Pump();
  EXPECT_FALSE(Control()->DrawnPressed());
  Wait(300);
  EXPECT_EQ(Spin->GetCurText(), "3");
  hb->MouseMove(up.x, up.y);
  Pump();
  Wait(100);
  EXPECT_EQ(Spin->GetCurText(), "4");
  hb->MouseUp(up.x, up.y);
  Pump();
  EXPECT_EQ(Control()->PressedButton(), sbNone);
  EXPECT_EQ(Control()->RepeatTimer(), 0u);
  Wait(300);
  EXPECT_EQ(Spin->GetCurText(), "4");
}

}  // namespace kxbaritemsspin_test
