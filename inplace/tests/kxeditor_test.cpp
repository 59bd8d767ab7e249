// The text editor on the rich-edit window: typing Latin and Chinese text,
// change notification, char case, password cells, the context menu's states,
// Escape, byte positions, recreating the window, and cell painting and
// measuring without a live editor.
#include "inplace/tests/kxtest.h"

#include "inplace/kxeditor.h"
#include "platform/rtl/strings.h"

namespace {

class ChangeCounter : public TObject {
 public:
  int Changes = 0;
  void Changed(TObject*) { ++Changes; }
};

class KxTextEditTest : public InplaceTest {
 protected:
  TkxInplaceTextEdit* E = nullptr;
  ChangeCounter Counter;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceTextEdit>();
    E->OnChange = TNotifyEvent(&Counter, &ChangeCounter::Changed);
  }
  // A printable key with the character it types.
  void TypeKey(unsigned Vk, const char* Text) {
    hb->KeyDown(Vk, false, Text);
    hb->KeyUp(Vk);
    Pump();
  }
};

TEST_F(KxTextEditTest, TypingLatinAndChineseCountsBytes) {
  Activate(E, kxRect(20, 30, 150, 50), Variant(""));
  EXPECT_EQ(0, Counter.Changes);
  TypeKey('A', "a");
  Type("中文");
  TypeKey('B', "b");
  EXPECT_EQ(Gbk("a中文b"), E->Text());
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(4, Counter.Changes);  // one per typed character
  // Positions are CP936 bytes: the caret stands after six bytes.
  EXPECT_EQ(6, E->SelStart());
  EXPECT_EQ(6, E->GetTextLength());
  Press(VK_LEFT);
  Press(VK_LEFT, HeadlessBackend::Shift);
  EXPECT_EQ(3, E->SelStart());
  EXPECT_EQ(2, E->SelLength());
  EXPECT_EQ(Gbk("文"), E->SelText());
  char buf[8];
  EXPECT_EQ(2, E->GetSelTextBuf(buf, 8));
  EXPECT_EQ(Gbk("文"), AnsiString(buf));
  EXPECT_EQ(1, E->GetSelTextBuf(buf, 1));
}

TEST_F(KxTextEditTest, ProgrammaticValueFiresNothingAndClearsUndo) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("abc"));
  TypeKey('X', "x");
  EXPECT_TRUE(E->CanUndo());
  Counter.Changes = 0;
  E->SetEditValue(Variant("new"));
  EXPECT_EQ("new", E->Text());
  EXPECT_EQ(0, Counter.Changes);
  EXPECT_FALSE(E->CanUndo());
  E->SetEditValue(Variant::Null());
  EXPECT_EQ("", E->Text());
  EXPECT_EQ(0, Counter.Changes);
}

TEST_F(KxTextEditTest, EscapeRestoresTheTextAndGoesToTheHost) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("abc"));
  E->MoveCaretToEnd();
  TypeKey('X', "x");
  EXPECT_EQ("abcx", E->Text());
  Press(VK_ESCAPE);
  EXPECT_EQ("abc", E->Text());
  EXPECT_FALSE(E->Modified());
  ASSERT_FALSE(Host->KeysDown.empty());
  EXPECT_EQ(VK_ESCAPE, Host->KeysDown.back());
  // Enter and Tab (when the host wants tabs) also go to the host, with no character typed.
  Host->Tabs = true;
  Press(VK_RETURN);
  Press(VK_TAB);
  EXPECT_EQ("abc", E->Text());
  EXPECT_EQ(VK_TAB, Host->KeysDown.back());
}

TEST_F(KxTextEditTest, UpperCaseTypingAndSetting) {
  E->SetCharCase(TEditCharCase::ecUpperCase);
  Activate(E, kxRect(20, 30, 150, 50), Variant(""));
  TypeKey('Q', "q");
  EXPECT_EQ("Q", E->Text());
  E->SetModified(false);
  E->SetText("lower");
  EXPECT_EQ("LOWER", E->Text());
  EXPECT_FALSE(E->Modified());
  E->SetCharCase(TEditCharCase::ecLowerCase);
  EXPECT_EQ("lower", E->Text());
}

TEST_F(KxTextEditTest, HostThatRefusesEditingKeepsTheText) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("abc"));
  Host->ModifyOk = false;
  TypeKey('X', "x");
  Type("中");
  EXPECT_EQ("abc", E->Text());
  E->SelectAll();
  Press('X', HeadlessBackend::Ctrl);
  Press(VK_DELETE);
  EXPECT_EQ("abc", E->Text());
  EXPECT_FALSE(E->Modified());
}

TEST_F(KxTextEditTest, ContextMenuStates) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("secret"));
  TPopupMenu* menu = E->ContextMenu();
  ASSERT_EQ(9, menu->Items()->Count());
  auto item = [&](int Tag) -> TMenuItem* {
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->Tag() == Tag) return menu->Items()->Items(i);
    return nullptr;
  };
  EXPECT_EQ("Cu&t", item(kxmcCut)->Caption());
  EXPECT_EQ("Select &All", item(kxmcSelectAll)->Caption());
  // The whole text is selected after activation.
  E->UpdateContextMenu();
  EXPECT_TRUE(item(kxmcCopy)->Enabled());
  EXPECT_TRUE(item(kxmcCut)->Enabled());
  EXPECT_FALSE(item(kxmcSelectAll)->Enabled());
  EXPECT_FALSE(item(kxmcUndo)->Enabled());
  E->SetPasswordChar('*');
  E->SelectAll();
  E->UpdateContextMenu();
  EXPECT_FALSE(item(kxmcCopy)->Enabled());
  EXPECT_FALSE(item(kxmcCut)->Enabled());
  EXPECT_TRUE(item(kxmcDelete)->Enabled());
  E->MoveCaretToEnd();
  E->UpdateContextMenu();
  EXPECT_TRUE(item(kxmcSelectAll)->Enabled());
  EXPECT_FALSE(item(kxmcDelete)->Enabled());
  E->ContextMenuClick(kxmcSelectAll);
  EXPECT_EQ(6, E->SelLength());
  E->ContextMenuClick(kxmcDelete);
  EXPECT_EQ("", E->Text());
  E->ContextMenuClick(kxmcUndo);
  EXPECT_EQ("secret", E->Text());
}

TEST_F(KxTextEditTest, RecreatingTheWindowKeepsTextAndModified) {
  Activate(E, kxRect(20, 30, 150, 50), Variant("abc"));
  TypeKey('X', "x");
  ASSERT_TRUE(E->Modified());
  AnsiString text = E->Text();
  E->SetSelectionBar(true);
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(text, E->Text());
  E->SetTextMargins(kxRect(3, 0, 0, 0));
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(text, E->Text());
  // A negative maximum length means none.
  E->SetMaxLength(-5);
  EXPECT_EQ(0, E->MaxLength());
  E->SetMaxLength(int(text.size()));
  E->MoveCaretToEnd();
  TypeKey('Y', "y");
  EXPECT_EQ(text, E->Text());
  EXPECT_TRUE(E->StoredValues().Contains(svMaxLength));
  E->RestoreDefaults();
  EXPECT_EQ(0, E->MaxLength());
}

TEST_F(KxTextEditTest, MoveCaretToEndSelectsNothing) {
  Activate(E, kxRect(20, 30, 150, 50), Variant(Gbk("一二三")));
  EXPECT_EQ(6, E->SelLength());
  E->MoveCaretToEnd();
  EXPECT_EQ(6, E->SelStart());
  EXPECT_EQ(0, E->SelLength());
}

// A cell painted without an editor: text drawn by the class through view data.
TkxTextEditViewData* CellData(const AnsiString& Text, HFONT Font, HBRUSH Brush) {
  auto* vd = static_cast<TkxTextEditViewData*>(TkxInplaceTextEdit::ClassRef()->NewViewData());
  vd->Bounds = kxRect(0, 0, 120, 20);
  vd->Value = Variant(Text);
  vd->Font = Font;
  vd->Brush = Brush;
  vd->BkColor = 0xFFFFFF;
  vd->TextColor = 0;
  vd->BorderStyle = xbsNone;
  vd->TextOffsets = kxRect(1, 0, 0, 0);
  return vd;
}

TEST_F(KxTextEditTest, PasswordCellsAndMeasuring) {
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  EXPECT_EQ("****", kxCellDisplayText(Gbk("中a文b"), TEditCharCase::ecNormal, '*'));
  EXPECT_EQ("", kxCellDisplayText("", TEditCharCase::ecNormal, '*'));
  EXPECT_EQ("ABC", kxCellDisplayText("abc", TEditCharCase::ecUpperCase, 0));

  // Painting "中a文b" with a password character paints what "****" paints.
  HDC screen = GetDC(nullptr);
  auto paint = [&](const AnsiString& Text, char Pw) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 120, 20);
    HGDIOBJ old = SelectObject(dc, bmp);
    std::unique_ptr<TkxTextEditViewData> vd(CellData(Text, font, white));
    vd->PasswordChar = Pw;
    TkxInplaceTextEdit::ClassRef()->Draw(dc, nullptr, vd.get());
    std::vector<COLORREF> px;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 120; ++x) px.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return px;
  };
  EXPECT_EQ(paint("****", 0), paint(Gbk("中a文b"), '*'));
  EXPECT_EQ(paint("", 0), paint("", '*'));

  // Measuring a word-wrapped text reports its lines and draws nothing.
  std::unique_ptr<TkxTextEditViewData> vd(CellData("one two three four five six", font, white));
  vd->DrawAlignment = kxdaMultiLine;
  vd->CalcHeight = true;
  TkxInplaceTextEdit::ClassRef()->DrawClient(screen, kxRect(0, 0, 60, 200), false, vd.get());
  EXPECT_GT(vd->LineHeight, 0);
  EXPECT_GE(vd->LineCount, 2);
  EXPECT_EQ(vd->LineCount * vd->LineHeight, vd->TextHeight);
  EXPECT_EQ(27, vd->DataLength);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
}

}  // namespace

namespace {

// A cell painted by the class looks as the live editor does once it lost the focus.
TEST_F(KxTextEditTest, ClassPaintedCellMatchesTheLiveEditor) {
  Activate(E, kxRect(20, 30, 160, 48), Variant(Gbk("Cell 中文 text")));
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  EXPECT_TRUE(MatchesReference(SideBySide(live, cls), "inplace/tests/ref", "text_cell"));
}

}  // namespace
