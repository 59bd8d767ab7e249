// The memo editor: its lines through the window (long lines whole, the empty
// last line, insert, append, delete, replace), setting the same text again,
// Enter with and without WantReturns, Tab with WantTabs, and the vertical
// keys that leave the memo only while the whole text is selected.
#include "inplace/tests/kxtest.h"

#include "inplace/kxmemo.h"

namespace {

struct MemoChanges {
  int N = 0;
  void Hit(TObject*) { ++N; }
};

class KxMemoEditTest : public InplaceTest {
 protected:
  TkxInplaceMemoEdit* E = nullptr;
  MemoChanges Changes;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceMemoEdit>();
    E->OnChange = TNotifyEvent(&Changes, &MemoChanges::Hit);
  }
  void ShowMemo(const AnsiString& Text) { Activate(E, kxRect(20, 30, 220, 120), Variant(Text)); }
  std::vector<AnsiString> Lines() {
    std::vector<AnsiString> v;
    for (int i = 0; i < E->TextLines()->Count(); ++i) v.push_back(E->TextLines()->Strings(i));
    return v;
  }
};

using MemoLines = std::vector<AnsiString>;

TEST_F(KxMemoEditTest, TheWindowIsAMultiLineTextWithItsSettings) {
  ShowMemo("a");
  const LONG style = GetWindowLongA(E->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & ES_AUTOHSCROLL);  // word wrap
  EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
  EXPECT_TRUE(E->SelectionBar());
  E->SetScrollBars(ssVertical);
  E->SetWordWrap(false);
  E->SetHideScrollBars(false);
  const LONG changed = GetWindowLongA(E->Handle(), GWL_STYLE);
  EXPECT_TRUE(changed & WS_VSCROLL);
  EXPECT_TRUE(changed & ES_AUTOHSCROLL);
  EXPECT_TRUE(changed & ES_DISABLENOSCROLL);
  EXPECT_EQ("a", E->Text());
  std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(false));
  EXPECT_EQ(kxdaMultiLine, vd->DrawAlignment);
}

TEST_F(KxMemoEditTest, LinesAreReadAndWrittenThroughTheWindow) {
  ShowMemo("one\r\ntwo\r\n");
  EXPECT_EQ((MemoLines{"one", "two"}), Lines());  // the empty last line does not count
  TStrings* l = E->TextLines();
  l->Insert(0, "zero");
  EXPECT_EQ((MemoLines{"zero", "one", "two"}), Lines());
  l->Add("three");
  EXPECT_EQ((MemoLines{"zero", "one", "two", "three"}), Lines());
  l->Delete(1);
  EXPECT_EQ((MemoLines{"zero", "two", "three"}), Lines());
  l->Put(1, Gbk("二"));
  EXPECT_EQ((MemoLines{"zero", Gbk("二"), "three"}), Lines());
  l->Delete(2);  // the last line, and its break before it stays
  EXPECT_EQ((MemoLines{"zero", Gbk("二")}), Lines());
  EXPECT_EQ(Gbk("zero\r\n二\r\n"), E->Text());

  // After an empty last line nothing can be appended.
  ShowMemo("a\r\n\r\n");
  EXPECT_EQ((MemoLines{"a", ""}), Lines());
  l->Insert(3, "x");
  EXPECT_EQ("a\r\n\r\n", E->Text());
  l->Insert(-1, "x");
  l->Delete(9);
  l->Put(9, "x");
  EXPECT_EQ("a\r\n\r\n", E->Text());
  l->Clear();
  EXPECT_EQ(0, l->Count());
}

TEST_F(KxMemoEditTest, LongLinesAreReadWhole) {
  E->SetWordWrap(false);
  for (std::size_t n : {std::size_t(4095), std::size_t(4096), std::size_t(5000), std::size_t(70000)}) {
    AnsiString line;
    for (std::size_t i = 0; line.size() + 2 <= n; ++i) line += i % 7 == 0 ? Gbk("中") : AnsiString("ab");
    ShowMemo("first\r\n" + line + "\r\nlast");
    ASSERT_EQ(3, E->TextLines()->Count());
    EXPECT_EQ(line, E->TextLines()->Strings(1)) << n;
    EXPECT_EQ("last", E->TextLines()->Strings(2));
  }
}

TEST_F(KxMemoEditTest, SettingTheSameTextAgainChangesNothing) {
  ShowMemo("one\r\ntwo");
  Changes.N = 0;
  E->TextLines()->SetText("one\ntwo");  // line breaks made CR LF first
  EXPECT_EQ(0, Changes.N);
  EXPECT_FALSE(E->Modified());
  E->TextLines()->SetText("one\ntwo\nthree");
  EXPECT_EQ("one\r\ntwo\r\nthree", E->Text());
  EXPECT_EQ(3, E->TextLines()->Count());
  // Change notification is back on afterwards: typing reports.
  const int before = Changes.N;
  E->MoveCaretToEnd();
  hb->KeyDown('X', false, "x");
  hb->KeyUp('X');
  Pump();
  EXPECT_EQ(before + 1, Changes.N);
}

TEST_F(KxMemoEditTest, EnterTypesABreakOrGoesToTheHost) {
  ShowMemo("ab");
  E->MoveCaretToEnd();
  Press(VK_RETURN);
  EXPECT_EQ("ab\r\n", E->Text());
  EXPECT_TRUE(Host->KeysDown.empty());
  // Ctrl+Enter always takes the base way: to the host.
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_EQ("ab\r\n", E->Text());
  ASSERT_FALSE(Host->KeysDown.empty());
  EXPECT_EQ(VK_RETURN, Host->KeysDown.back());
  // Without WantReturns, Enter is sent on to the host window.
  Host->KeysDown.clear();
  E->WantReturns = false;
  Press(VK_RETURN);
  EXPECT_EQ("ab\r\n", E->Text());
  ASSERT_EQ(1u, Host->KeysDown.size());
  EXPECT_EQ(VK_RETURN, Host->KeysDown.back());
  EXPECT_FALSE(SendMessageA(E->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  // A read-only memo types nothing.
  E->WantReturns = true;
  Host->ModifyOk = false;
  Press(VK_RETURN);
  EXPECT_EQ("ab\r\n", E->Text());
}

TEST_F(KxMemoEditTest, TabsTypedOnlyWithWantTabs) {
  ShowMemo("ab");
  E->MoveCaretToEnd();
  Host->Tabs = true;
  Press(VK_TAB);
  EXPECT_EQ("ab", E->Text());
  EXPECT_EQ(VK_TAB, Host->KeysDown.back());
  Host->KeysDown.clear();
  E->WantTabs = true;
  EXPECT_TRUE(SendMessageA(E->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  Press(VK_TAB);
  EXPECT_EQ("ab\t", E->Text());
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_EQ(VK_TAB, Host->EditKeys.back());  // the host's hook saw it
}

TEST_F(KxMemoEditTest, VerticalKeysLeaveOnlyWhileAllIsSelected) {
  ShowMemo("one\r\ntwo\r\nthree");
  E->SelectAll();
  Press(VK_DOWN);
  ASSERT_FALSE(Host->KeysDown.empty());
  EXPECT_EQ(VK_DOWN, Host->KeysDown.back());
  // After a click into the text the keys move the caret.
  Host->KeysDown.clear();
  TPoint p = At(E, 30, 4);
  hb->Click(p.x, p.y);
  Pump();
  const int before = E->SelStart();
  Press(VK_DOWN);
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_GT(E->SelStart(), before);
  EXPECT_EQ(VK_DOWN, Host->EditKeys.back());
  Press(VK_NEXT);
  Press(VK_UP, HeadlessBackend::Shift);
  EXPECT_TRUE(Host->KeysDown.empty());
  // Shift with the whole text selected stays in the text too.
  E->SelectAll();
  Press(VK_UP, HeadlessBackend::Shift);
  EXPECT_TRUE(Host->KeysDown.empty());
}

}  // namespace
