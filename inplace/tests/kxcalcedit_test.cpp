// The calculator editor: the calculator dropped down by key and button, its
// display written into the cell as it changes, quick close on "=", the keys
// and the click elsewhere that close it, and an error that closes as 0.
#include "inplace/tests/kxtest.h"

#include "inplace/kxcalcedit.h"

namespace {

class KxCalcEditTest : public InplaceTest {
 protected:
  TkxInplaceCalcEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceCalcEdit>();
  }
  void Open(const char* Value) {
    Activate(E, kxRect(20, 30, 180, 50), Variant(AnsiString(Value)));
    E->SetFocus();
    Pump();
    Press(VK_F4);
  }
  bool Shown() { return E->Calculator() && E->Calculator()->HandleAllocated() && IsWindowVisible(E->Calculator()->Handle()); }
  void Keys(const char* S) {
    for (const char* p = S; *p; ++p) {
      hb->KeyDown(0, false, std::string(1, *p));
      hb->KeyUp(0);
    }
    Pump();
  }
};

TEST_F(KxCalcEditTest, TheDisplayIsTheCellAndQuickCloseEndsOnEquals) {
  E->QuickClose = true;
  Open("0");
  ASSERT_TRUE(Shown());
  EXPECT_EQ(E->Calculator()->Handle(), GetFocus());
  EXPECT_TRUE(E->PopupShown());
  RECT er, cr;
  GetWindowRect(E->Handle(), &er);
  GetWindowRect(E->Calculator()->Handle(), &cr);
  EXPECT_EQ(er.bottom, cr.top);
  Keys("2+3");
  EXPECT_EQ("3", E->Text());  // every key shows in the cell at once
  EXPECT_TRUE(E->Modified());
  Keys("=");
  EXPECT_EQ("5", E->Text());
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ(E->Handle(), GetFocus());
}

TEST_F(KxCalcEditTest, WithoutQuickCloseItStaysUntilAKeyOrAClickElsewhere) {
  struct Case {
    unsigned Vk, Mods;
    const char* Want;
  } cases[] = {
      {VK_RETURN, 0, "16"},  // Enter presses "=" first
      {VK_ESCAPE, 0, "4"},   // what was written stays
      {VK_F4, 0, "4"},
      {VK_UP, HeadlessBackend::Alt, "4"},
      {VK_DOWN, HeadlessBackend::Alt, "4"},
  };
  for (const Case& c : cases) {
    Open("");
    ASSERT_TRUE(Shown()) << c.Vk;
    Keys("8+4");
    Keys("=");
    EXPECT_TRUE(Shown());
    EXPECT_EQ("12", E->Text());
    Keys("+4");
    Press(c.Vk, c.Mods);
    EXPECT_FALSE(Shown()) << c.Vk;
    EXPECT_EQ(AnsiString(c.Want), E->Text()) << c.Vk;
  }
  Open("7");
  ASSERT_TRUE(Shown());
  TPoint away = At(Host, 250, 180);
  hb->Click(away.x, away.y);
  Pump();
  EXPECT_FALSE(Shown());
  EXPECT_EQ("7", E->Text());
}

TEST_F(KxCalcEditTest, AnErrorClosesAsZero) {
  Open("5");
  Keys("/0=");
  EXPECT_EQ("Error", E->Text());
  Press(VK_ESCAPE);
  EXPECT_FALSE(Shown());
  EXPECT_EQ("0", E->Text());
  EXPECT_TRUE(E->Modified());
  // A read-only cell drops nothing down.
  E->SetReadOnly(true);
  Press(VK_F4);
  EXPECT_FALSE(Shown());
}

TEST_F(KxCalcEditTest, TheButtonOpensItAgainRebuiltWithTheEditorsSettings) {
  E->ButtonStyle = bsFlat;
  E->Precision = 5;
  Open("1");
  ASSERT_TRUE(Shown());
  TkxPopupCalculator* c = E->Calculator();
  EXPECT_EQ(bsFlat, c->ButtonStyle());
  EXPECT_EQ(5, c->Precision());
  EXPECT_FALSE(c->ShowFocusRect());
  EXPECT_EQ(E, c->Editor);
  Press(VK_ESCAPE);
  E->ButtonStyle = bsExtraFlat;
  RECT wr;
  GetWindowRect(E->Handle(), &wr);
  hb->Click(wr.right - 4, (wr.top + wr.bottom) / 2);
  Pump();
  ASSERT_TRUE(Shown());
  EXPECT_EQ(c, E->Calculator());  // the same calculator, its window built again
  EXPECT_EQ(bsExtraFlat, c->ButtonStyle());
  // A click on a button of the calculator.
  TRect seven = c->ButtonRect(cbNum7);
  TPoint p = At(c, (seven.left + seven.right) / 2, (seven.top + seven.bottom) / 2);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ("7", E->Text());
}

}  // namespace
