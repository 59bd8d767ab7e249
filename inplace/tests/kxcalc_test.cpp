// The calculator: a table of button sequences and their displays, errors,
// memory, digit limits, held keys, clipboard, and its layout at other sizes.
#include "inplace/tests/kxtest.h"

#include "inplace/kxcalc.h"

namespace {

// A calculator that keeps its display itself.
class TTestCalculator : public TCustomkxCalculator {
  PV_CLASS(TTestCalculator, TCustomkxCalculator)
 public:
  explicit TTestCalculator(TComponent* AOwner) : TCustomkxCalculator(AOwner) {}
  AnsiString Display = "0";
  void GetDisplayText(AnsiString& Text) override { Text = Display; }
  void SetDisplayText(const AnsiString& Text) override { Display = Text; }
};

class KxCalcTest : public InplaceTest {
 protected:
  TTestCalculator* C = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    C = NewObject<TTestCalculator>(Form);
    C->SetParent(Form);
    C->SetBounds(10, 10, 207, 137);
  }
  // Buttons by their captions, separated by spaces.
  AnsiString Run(const std::string& Keys) {
    C->Clear();
    std::size_t i = 0;
    while (i < Keys.size()) {
      std::size_t j = Keys.find(' ', i);
      if (j == std::string::npos) j = Keys.size();
      std::string k = Keys.substr(i, j - i);
      i = j + 1;
      TkxCalcButton b = cbNone;
      for (int n = 0; n < cbNone; ++n)
        if (C->ButtonCaption(TkxCalcButton(n)) == k) b = TkxCalcButton(n);
      if (b == cbNone)  // a number: its digits
        for (char ch : k) C->ButtonClick(ch == '.' ? cbDecimal : TkxCalcButton(cbNum0 + (ch - '0')));
      else
        C->ButtonClick(b);
    }
    return C->Display;
  }
};

TEST_F(KxCalcTest, ButtonSequences) {
  struct Case {
    const char* Keys;
    const char* Display;
    int Beeps;
  } cases[] = {
      {"7 + 8 =", "15", 0},
      {"7 + 8 = =", "15", 0},
      {"200 + 10 %", "220", 0},
      {"50 * 10 %", "5", 0},
      {"5 / 0 =", "Error", 1},
      {"5 / 0 = 3", "Error", 2},
      {"5 / 0 = C", "0", 1},
      {"5 / 0 = CE 4", "4", 1},
      {"5 +/- Back", "0", 0},
      {"12 Back", "1", 0},
      {"9 sqrt", "3", 0},
      {"4 +/- sqrt", "Error", 1},
      {"0 1/x", "Error", 1},
      {"4 1/x", "0.25", 0},
      {"1.5 * 2 =", "3", 0},
      {"1.2.5", "1.25", 0},
      {"2 + 3 * 4 =", "20", 0},
      {"10 - 4 - 1 =", "5", 0},
      {"8 + 2 sqrt =", "9.414213562373", 0},
      {"1234567890123", "1234567890123", 0},
      {"12345678901234", "1234567890123", 1},
      {"5 +/- 1234567890123", "-5123456789012", 1},
  };
  for (const Case& c : cases) {
    int beeps = hb->BeepCount();
    EXPECT_EQ(AnsiString(c.Display), Run(c.Keys)) << c.Keys;
    EXPECT_EQ(c.Beeps, hb->BeepCount() - beeps) << c.Keys;
  }
}

TEST_F(KxCalcTest, MemoryButtons) {
  Run("0 MS");
  EXPECT_TRUE(C->ButtonGreyed(cbMemClear));
  EXPECT_TRUE(C->ButtonGreyed(cbMemRead));
  Run("6 MS");
  EXPECT_FALSE(C->ButtonGreyed(cbMemRead));
  Run("4 M+");
  EXPECT_EQ(10, double(C->Memory()));
  EXPECT_EQ("10", Run("MR"));
  EXPECT_EQ("12", Run("MR + 2 ="));
  Run("MC");
  EXPECT_TRUE(C->ButtonGreyed(cbMemRead));
  EXPECT_EQ(0, double(C->Memory()));
}

TEST_F(KxCalcTest, HeldKeysRepeatOnlyBackspace) {
  C->SetFocus();
  Pump();
  C->Clear();
  HWND h = C->Handle();
  // A held digit: key-down and character again and again before the key-up.
  for (int i = 0; i < 3; ++i) {
    SendMessageA(h, WM_KEYDOWN, '7', 0);
    SendMessageA(h, WM_CHAR, '7', 0);
  }
  SendMessageA(h, WM_KEYUP, '7', 0);
  EXPECT_EQ("7", C->Display);
  for (char ch : std::string("123")) {
    SendMessageA(h, WM_CHAR, WPARAM(ch), 0);
    SendMessageA(h, WM_KEYUP, WPARAM(ch), 0);
  }
  EXPECT_EQ("7123", C->Display);
  for (int i = 0; i < 3; ++i) {
    SendMessageA(h, WM_KEYDOWN, VK_BACK, 0);
    SendMessageA(h, WM_CHAR, 8, 0);
  }
  SendMessageA(h, WM_KEYUP, VK_BACK, 0);
  EXPECT_EQ("7", C->Display);
  // Keys by their buttons: Escape clears, R is the reciprocal, Ctrl+R recalls.
  Press(VK_ESCAPE);
  Press('4');
  Press('R');
  EXPECT_EQ("0.25", C->Display);
  Press(VK_ESCAPE);
  EXPECT_EQ("0", C->Display);
}

TEST_F(KxCalcTest, ClipboardValues) {
  auto putClip = [&](const AnsiString& s) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
    std::memcpy(GlobalLock(mem), s.c_str(), s.size() + 1);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
  };
  putClip(FormatSettings().CurrencyString + " 12.5 ");
  C->PasteValue();
  EXPECT_EQ("12.5", C->Display);
  EXPECT_EQ(csValid, C->Status());
  putClip("abc");
  C->PasteValue();
  EXPECT_EQ("0", C->Display);
  Run("42");
  C->CopyValue();
  OpenClipboard(nullptr);
  EXPECT_EQ("42", AnsiString(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)))));
  CloseClipboard();
}

TEST_F(KxCalcTest, SizesFollowTheClientArea) {
  struct Case {
    int W, H;
    int ButtonH, ButtonW, Offset, Large, Font, ClientW, ClientH;
  } cases[] = {
      {420, 280, 46, 59, 8, 100, 17, 422, 278},
      {100, 60, 22, 28, 4, 48, 8, 204, 134},
      {207, 137, 23, 29, 4, 49, 8, 210, 139},
  };
  for (const Case& c : cases) {
    C->CalcSize(c.W, c.H);
    EXPECT_EQ(c.ButtonH, C->ButtonHeight()) << c.W;
    EXPECT_EQ(c.ButtonW, C->ButtonWidth()) << c.W;
    EXPECT_EQ(c.Offset, C->XOffset()) << c.W;
    EXPECT_EQ(c.Large, C->LargeButtonWidth()) << c.W;
    EXPECT_EQ(c.Font, C->FontSize()) << c.W;
    EXPECT_EQ(c.ClientW, C->CalcWidth()) << c.W;
    EXPECT_EQ(c.ClientH, C->CalcHeight()) << c.W;
  }
  // The window settles at its layout's size on its first WM_SIZE.
  C->HandleNeeded();
  C->SetBounds(10, 10, 207, 137);
  Pump();
  EXPECT_EQ(210, C->ClientWidth());
  EXPECT_EQ(139, C->ClientHeight());
  // "C" ends at the right edge of the "=" column; "CE" and "Back" to its left.
  EXPECT_EQ(C->ButtonRect(cbEqual).right, C->ButtonRect(cbClear).right);
  EXPECT_EQ(C->ButtonRect(cbClear).left - C->YOffset(), C->ButtonRect(cbCancelEntry).right);
  EXPECT_EQ(C->ButtonRect(cbMemClear).top, C->ButtonRect(cbNum7).top);
}

TEST_F(KxCalcTest, MouseClicksOnButtons) {
  C->Clear();
  auto click = [&](TkxCalcButton B) {
    TRect r = C->ButtonRect(B);
    TPoint p = At(C, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    hb->Click(p.x, p.y);
    Pump();
  };
  click(cbNum2);
  click(cbAdd);
  click(cbNum3);
  click(cbEqual);
  EXPECT_EQ("5", C->Display);
  // Pressing a button and leaving it before the release does nothing.
  TRect r = C->ButtonRect(cbNum9);
  TPoint p = At(C, r.left + 3, r.top + 3);
  hb->MouseDown(p.x, p.y);
  hb->MouseMove(p.x + 200, p.y);
  hb->MouseUp(p.x + 200, p.y);
  Pump();
  EXPECT_EQ("5", C->Display);
}

}  // namespace

namespace {

TEST_F(KxCalcTest, LooksLikeAPocketCalculator) {
  C->SetBounds(10, 10, 207, 137);
  Run("12.5");
  C->ButtonClick(cbMemStore);
  Pump();
  EXPECT_TRUE(MatchesReference(Shot(C), "inplace/tests/ref", "calculator"));
}

}  // namespace
