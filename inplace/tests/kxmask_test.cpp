// The edit-mask engine (a table of masks and values) and the mask editor:
// typing over literals, case directives, deletion, paste, cut and clear,
// validation and the text length that never changes.
#include "inplace/tests/kxtest.h"

#include "inplace/kxmask.h"
#include "platform/rtl/strings.h"

namespace {

class KxMaskEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    TFormatSettings fs = DefaultFormatSettings();
    fs.DateSeparator = '-';
    fs.TimeSeparator = ':';
    SetFormatSettings(fs);
  }
  void TearDown() override { ResetFormatSettings(); }
};

TEST_F(KxMaskEngine, KindsOfMaskCharacters) {
  const AnsiString mask = "!\\(>Ll<>0:/#;0;*";
  const TkxMaskCharKind want[] = {mckDirective, mckDirective,      mckLiteral,        mckDirective, mckRequired,
                                  mckOptional,  mckDirective,      mckDirective,      mckRequired,  mckLocaleLiteral,
                                  mckLocaleLiteral, mckOptional,   mckFieldSeparator, mckField,     mckFieldSeparator,
                                  mckField};
  ASSERT_EQ(sizeof(want) / sizeof(want[0]), mask.size());
  for (int i = 0; i < int(mask.size()); ++i) EXPECT_EQ(want[i], kxMaskCharKind(mask, i)) << "index " << i;
  EXPECT_EQ(mckNone, kxMaskCharKind(mask, 99));
  EXPECT_EQ(7, kxMaskPositionCount(mask));
  EXPECT_FALSE(kxMaskSavesLiterals(mask));
  EXPECT_EQ('*', kxMaskBlankChar(mask));
  // Directives: reverse anywhere, case from the last one before the index.
  EXPECT_TRUE(kxMaskDirectivesAt(mask, 4).Reverse);
  EXPECT_TRUE(kxMaskDirectivesAt(mask, 4).Upper);
  EXPECT_FALSE(kxMaskDirectivesAt(mask, 8).Upper);
  EXPECT_FALSE(kxMaskDirectivesAt(mask, 8).Lower);
  // A double-byte character of the pattern is a literal, both bytes.
  const AnsiString cn = Gbk("LL年;1;_");
  EXPECT_EQ(mckLiteral, kxMaskCharKind(cn, 2));
  EXPECT_EQ(mckLiteral, kxMaskCharKind(cn, 3));
  EXPECT_EQ(4, kxMaskPositionCount(cn));
  EXPECT_TRUE(kxMaskSavesLiterals("000"));
  EXPECT_EQ('_', kxMaskBlankChar("000"));
}

TEST_F(KxMaskEngine, ValuesInAndOutOfMasks) {
  struct Case {
    AnsiString Mask;
    AnsiString Value;      // given to SetText
    AnsiString EditText;   // what the window shows
    AnsiString ValueText;  // what GetText gives back
  } cases[] = {
      {"!999;0;_", "12", "_12", "12"},
      {"00/00/00;1;_", "", "__-__-__", "  -  -  "},
      {"00/00/00;1;_", "12-34-56", "12-34-56", "12-34-56"},
      {"00/00/00;0;_", "123456", "12-34-56", "123456"},
      {"!9999-99-99;1; ", "2024-1-5", "2024- 1- 5", "2024- 1- 5"},
      {"!9999-99-99;1; ", "", "    -  -  ", "    -  -  "},
      {"(000)000-0000;1;_", "(010)555-1234", "(010)555-1234", "(010)555-1234"},
      {"(000)000-0000;1;_", "(10)5-12", "(10_)5__-12__", "(10 )5  -12  "},
      {"000;0;_", "12345", "12345", "12345"},
      {"00:00:00;1;0", "8:5:3", "80:50:30", "8 :5 :3 "},
      {"\\(99;0;_", "7", "(7_", "7"},
      {Gbk("LL年;1;_"), Gbk("ab年"), Gbk("ab年"), Gbk("ab年")},
  };
  for (const Case& c : cases) {
    const AnsiString mask = c.Mask;
    const char blank = kxMaskBlankChar(mask);
    AnsiString edit = kxMaskSavesLiterals(mask) ? kxMaskAlign(mask, c.Value, blank) : kxMaskApply(mask, c.Value, blank);
    EXPECT_EQ(c.EditText, edit) << mask << " / " << c.Value;
    AnsiString stripped = kxMaskStrip(mask, edit, blank);
    AnsiString value = kxMaskSavesLiterals(mask) ? kxMaskApply(mask, stripped, ' ') : stripped;
    EXPECT_EQ(c.ValueText, value) << mask << " / " << c.Value;
  }
  EXPECT_EQ("__-__-__", kxMaskEmptyText("00/00/00;1;_"));
  EXPECT_EQ(8, kxMaskPositionCount("00/00/00;1;_"));
}

class KxMaskEditTest : public InplaceTest {
 protected:
  TkxInplaceMaskEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceMaskEdit>();
  }
  void Start(const char* Mask, const char* Value) {
    E->SetEditMask(Mask);
    Activate(E, kxRect(20, 30, 180, 50), Variant(AnsiString(Value)));
  }
  void TypeKey(unsigned Vk, const char* Text) {
    hb->KeyDown(Vk, false, Text);
    hb->KeyUp(Vk);
    Pump();
  }
  std::pair<int, int> Sel() {
    int a, b;
    E->GetSel(a, b);
    return {a, b};
  }
};

TEST_F(KxMaskEditTest, TypingFillsInputPositionsAndSkipsLiterals) {
  Start("(000)000;1;_", "");
  EXPECT_EQ("(___)___", E->GetEditText());
  EXPECT_EQ(8, E->MaxLength());
  E->PlaceCaret(1);
  TypeKey('1', "1");
  TypeKey('2', "2");
  TypeKey('3', "3");
  // The caret jumped over ")" to the next input position.
  EXPECT_EQ((std::pair<int, int>{5, 6}), Sel());
  TypeKey('4', "4");
  EXPECT_EQ("(123)4__", E->GetEditText());
  EXPECT_TRUE(E->Modified());
  // Typing on a literal rewrites the literal and moves on.
  E->PlaceCaret(0);
  TypeKey('9', "9");
  EXPECT_EQ("(123)4__", E->GetEditText());
  EXPECT_EQ(1, Sel().first);
  // A letter where a digit is needed: a beep, nothing typed.
  int beeps = hb->BeepCount();
  TypeKey('X', "x");
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  EXPECT_EQ("(123)4__", E->GetEditText());
}

TEST_F(KxMaskEditTest, ALiteralTypedEarlyMovesPastIt) {
  Start("99-99;1;_", "");
  E->PlaceCaret(0);
  TypeKey('5', "5");
  int beeps = hb->BeepCount();
  TypeKey(VK_OEM_MINUS, "-");
  EXPECT_EQ(beeps, hb->BeepCount());
  EXPECT_EQ(3, Sel().first);
  TypeKey('7', "7");
  EXPECT_EQ("5_-7_", E->GetEditText());
  // A character that is no following literal beeps.
  E->PlaceCaret(0);
  TypeKey(VK_OEM_PERIOD, ".");
  EXPECT_EQ(beeps + 1, hb->BeepCount());
}

TEST_F(KxMaskEditTest, CaseDirectives) {
  Start(">LL<>ll;0;_", "");
  E->PlaceCaret(0);
  for (const char* c : {"a", "b", "c", "D"}) TypeKey(unsigned(std::toupper(c[0])), c);
  EXPECT_EQ("ABcD", E->GetEditText());
  Start("<LL;0;_", "");
  E->PlaceCaret(0);
  TypeKey('Q', "Q");
  EXPECT_EQ("q_", E->GetEditText());
}

TEST_F(KxMaskEditTest, ChineseTakesTwoLetterPositions) {
  Start("CCCC;0;_", "");
  E->PlaceCaret(0);
  Type("中文");
  EXPECT_EQ(Gbk("中文"), E->GetEditText());
  EXPECT_EQ(Gbk("中文"), E->GetMaskText());
  // At a digit position a double-byte character is refused.
  Start("CC00;0;_", "");
  E->PlaceCaret(2);
  int beeps = hb->BeepCount();
  Type("中");
  EXPECT_GT(hb->BeepCount(), beeps);
  EXPECT_EQ("____", E->GetEditText());
}

TEST_F(KxMaskEditTest, DeletingBlanksAndBackspaceStopsAtTheStart) {
  Start("(000)000;1;_", "(123)456");
  E->PlaceCaret(1);
  Press(VK_BACK);
  EXPECT_EQ("(123)456", E->GetEditText());
  EXPECT_EQ(1, Sel().first);
  E->PlaceCaret(6);
  Press(VK_BACK);
  EXPECT_EQ("(123)_56", E->GetEditText());
  EXPECT_EQ(5, Sel().first);
  Press(VK_DELETE);
  Press(VK_DELETE);
  EXPECT_EQ("(123)_56", E->GetEditText());
  SendMessageA(E->Handle(), EM_SETSEL, 2, 7);
  Press(VK_DELETE);
  EXPECT_EQ("(1__)__6", E->GetEditText());
  EXPECT_EQ(int(E->GetEditText().size()), E->MaxChars());
  // Home and End.
  Press(VK_HOME);
  EXPECT_EQ(0, Sel().first);
  Press(VK_END);
  EXPECT_EQ((std::pair<int, int>{8, 8}), Sel());
}

TEST_F(KxMaskEditTest, PasteFitsTheMaskAndValidatesAtOnce) {
  Start("0000;0;_", "");
  E->PlaceCaret(0);
  OpenClipboard(E->Handle());
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 5);
  std::memcpy(GlobalLock(mem), "12ab", 5);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  int beeps = hb->BeepCount();
  EXPECT_THROW(E->Perform(WM_PASTE, 0, 0), EkxMaskEditError);
  EXPECT_EQ("12__", E->GetEditText());
  EXPECT_TRUE(E->Modified());
  EXPECT_GT(hb->BeepCount(), beeps);
  // The caret waits on the first missing position.
  EXPECT_EQ(2, Sel().first);
  // Escape goes back to the text before the paste.
  Press(VK_ESCAPE);
  EXPECT_EQ("____", E->GetEditText());
}

TEST_F(KxMaskEditTest, CutAndClearBlankOnlyTheSelection) {
  Start("000-000;1;_", "123-456");
  SendMessageA(E->Handle(), EM_SETSEL, 1, 5);
  E->Perform(WM_CUT, 0, 0);
  EXPECT_EQ("1__-_56", E->GetEditText());
  ASSERT_TRUE(OpenClipboard(E->Handle()));
  AnsiString clip = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
  CloseClipboard();
  EXPECT_EQ("23-4", clip);
  SendMessageA(E->Handle(), EM_SETSEL, 5, 7);
  E->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ("1__-___", E->GetEditText());
  // A replacement longer than the selection never reaches the window.
  SendMessageA(E->Handle(), EM_SETSEL, 0, 1);
  SendMessageA(E->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("99"));
  EXPECT_EQ("1__-___", E->GetEditText());
  SendMessageA(E->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("9"));
  EXPECT_EQ("9__-___", E->GetEditText());
}

TEST_F(KxMaskEditTest, IncompleteValuesAndClosing) {
  Start("00-00;1;_", "");
  E->PlaceCaret(0);
  TypeKey('1', "1");
  TypeKey('2', "2");
  EXPECT_THROW(E->ValidateEdit(), EkxMaskEditError);
  EXPECT_EQ("12-__", E->GetEditText());
  EXPECT_EQ(3, Sel().first);
  // The host closing the editor resets it without a complaint.
  E->CloseFlag = true;
  E->ValidateEdit();
  EXPECT_EQ("__-__", E->GetEditText());
  EXPECT_FALSE(E->Modified());
  E->CloseFlag = false;
  // Only optional positions: nothing entered is complete.
  Start("99-99;1;_", "");
  E->PlaceCaret(0);
  TypeKey('1', "1");
  EXPECT_NO_THROW(E->ValidateEdit());
  // Escape is wanted while a masked editor is modified.
  EXPECT_EQ(1, E->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0));
  EXPECT_EQ("1_-__", E->GetEditText());
  AnsiString shown;
  E->GetDisplayText(shown);
  EXPECT_EQ("1 -  ", shown);
  Start("99-99;1;_", "");
  E->GetDisplayText(shown);
  EXPECT_EQ("", shown);
}

TEST_F(KxMaskEditTest, ChangingTheMaskKeepsTheValue) {
  Start("0000;0;_", "1234");
  E->SetEditMask("00-00;0;_");
  EXPECT_EQ("12-34", E->GetEditText());
  EXPECT_EQ("1234", E->GetMaskText());
  EXPECT_TRUE(E->StoredValues().Contains(svEditMask));
  E->SetEditMask("");
  EXPECT_FALSE(E->IsMasked());
  EXPECT_EQ("1234", E->Text());
  EXPECT_EQ(0, E->MaxLength());
}

}  // namespace
