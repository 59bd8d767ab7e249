// Edit and combo items: a real edit window opens on the item, takes Chinese
// text from the input method, reports each key, commits its whole text on
// Enter and throws it away on Escape; a combo picks from its list.
#include "bars/tests/kxbartest.h"

class BarsEditTest : public BarsFormTest {
 protected:
  void SetUp() override {
    BarsFormTest::SetUp();
    F->Edit1->SetFocus();
    Pump();
  }
  TkxBarWinControl* WinControl(TkxBarItem* Item) {
    TkxBarItemLink* l = ToolLink(Item);
    return l ? dynamic_cast<TkxBarWinControl*>(l->Control()) : nullptr;
  }
  AnsiString WindowText(HWND Wnd) {
    int n = GetWindowTextLengthA(Wnd);
    AnsiString s(std::size_t(n) + 1, '\0');
    GetWindowTextA(Wnd, s.data(), n + 1);
    s.resize(std::size_t(n));
    return s;
  }
};

TEST_F(BarsEditTest, ChineseTextFromTheInputMethodIsCommittedOnEnter) {
  ClickLink(ToolLink(F->SearchEdit));
  TkxBarWinControl* edit = WinControl(F->SearchEdit);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(edit->Shown());
  ASSERT_NE(edit->Window(), nullptr);
  EXPECT_EQ(GetFocus(), edit->Window());
  hb->CommitText("查找文字");
  Pump();
  EXPECT_EQ(WindowText(edit->Window()), A("查找文字"));
  EXPECT_EQ(F->SearchEdit->GetCurText(), A("查找文字"));
  // keys pressed in the editor reach the item's OnKeyDown
  hb->Key(VK_HOME);
  Pump();
  EXPECT_EQ(F->Log, std::vector<std::string>{"key 36"});
  EXPECT_EQ(F->SearchEdit->Text(), "");  // not committed yet
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(F->SearchEdit->Text(), A("查找文字"));
  // the text is committed before the key's own handler sees Enter
  EXPECT_EQ(F->Log, (std::vector<std::string>{"key 36", "change", "key 13"}));
  EXPECT_FALSE(edit->Shown());
  EXPECT_EQ(GetFocus(), F->Edit1->Handle());
  EXPECT_FALSE(F->BarManager1->HasBarInMenuMode());
}

TEST_F(BarsEditTest, EscapeThrowsTheTypedTextAway) {
  F->SearchEdit->SetText(A("原文"));
  ClickLink(ToolLink(F->SearchEdit));
  TkxBarWinControl* edit = WinControl(F->SearchEdit);
  ASSERT_TRUE(edit && edit->Shown());
  EXPECT_EQ(WindowText(edit->Window()), A("原文"));
  hb->CommitText("新文");
  Pump();
  hb->Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(F->SearchEdit->Text(), A("原文"));
  EXPECT_FALSE(edit->Shown());
}

// The whole text of the editor is committed, however long, and a double-byte
// character at the end stays whole.
TEST_F(BarsEditTest, LongTextIsReadWhole) {
  ClickLink(ToolLink(F->SearchEdit));
  TkxBarWinControl* edit = WinControl(F->SearchEdit);
  ASSERT_TRUE(edit && edit->Shown());
  AnsiString text(255, 'a');
  text += A("字尾");
  SetWindowTextA(edit->Window(), text.c_str());
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(F->SearchEdit->Text(), text);
}

TEST_F(BarsEditTest, ComboPicksFromItsList) {
  EXPECT_EQ(F->SizeCombo->ItemIndex(), 1);
  ClickLink(ToolLink(F->SizeCombo));
  auto* combo = dynamic_cast<TCustomkxBarComboControl*>(ToolLink(F->SizeCombo)->Control());
  ASSERT_NE(combo, nullptr);
  ASSERT_TRUE(combo->Shown());
  // the list drops down with F4 and the arrows walk it
  hb->Key(VK_F4);
  Pump();
  TkxBarDropDownListBox* list = F->SizeCombo->ListBox();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(list->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  hb->Key(VK_DOWN);
  Pump();
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_FALSE(IsWindowVisible(list->Handle()));
  EXPECT_EQ(WindowText(combo->Window()), A("小五"));
  hb->Key(VK_RETURN);
  Pump();
  EXPECT_EQ(F->SizeCombo->Text(), A("小五"));
  EXPECT_EQ(F->SizeCombo->ItemIndex(), 2);
  // Text set from code picks the matching entry
  F->SizeCombo->SetText(A("四号"));
  EXPECT_EQ(F->SizeCombo->ItemIndex(), 0);
  F->SizeCombo->SetText(A("初号"));
  EXPECT_EQ(F->SizeCombo->ItemIndex(), -1);
}
