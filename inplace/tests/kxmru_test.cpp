// The most-recently-used editor: confirmed texts to the top, the limit,
// texts that are not recorded, the second button (ellipsis or glyph) and
// Ctrl+Enter, and the cell's look.
#include "inplace/tests/kxtest.h"

#include "inplace/kxmru.h"

namespace {

class KxMRUEditTest : public InplaceTest {
 protected:
  TkxInplaceMRUEdit* E = nullptr;
  int Clicks = 0;
  void Clicked(TObject*) { ++Clicks; }
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceMRUEdit>();
    E->OnButtonClick = TNotifyEvent(this, &KxMRUEditTest::Clicked);
  }
  void ShowMRU(const char* Text) { Activate(E, kxRect(20, 30, 200, 50), Variant(AnsiString(Text))); }
  // Confirms Text as the user's edit.
  void Confirm(const char* Text) {
    ShowMRU("");
    E->SetMaskText(Text);
    E->SetModified(true);
    E->ValidateEdit();
  }
  std::vector<std::string> ItemList() {
    std::vector<std::string> v;
    for (int i = 0; i < E->Items()->Count(); ++i) v.push_back(E->Items()->Strings(i));
    return v;
  }
  std::unique_ptr<TkxDropDownEditViewData> Buttons() {
    auto* vd = static_cast<TkxDropDownEditViewData*>(E->CreateViewData(false));
    static_cast<const TkxInplaceDropDownEdit::TClassRef*>(E->EditClass())->CalcButtons(vd);
    return std::unique_ptr<TkxDropDownEditViewData>(vd);
  }
  // The centre of button Index of two (1, the second, at the right; 0 the arrow left of it).
  TPoint ButtonCentre(int Index) {
    RECT r;
    GetWindowRect(E->Handle(), &r);
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    return kxPoint(r.right - 2 - (1 - Index) * w - w / 2, (r.top + r.bottom) / 2);
  }
};

using Strings = std::vector<std::string>;

TEST_F(KxMRUEditTest, ConfirmedTextsGoToTheTop) {
  for (const char* t : {"b", "a", "b"}) Confirm(t);
  EXPECT_EQ(Strings({"b", "a"}), ItemList());
  // An entry equal but for case moves up with its own spelling.
  Confirm("abc");
  Confirm("x");
  Confirm("ABC");
  EXPECT_EQ(Strings({"abc", "x", "b", "a"}), ItemList());
  // Seven entries at most by default: the oldest goes.
  for (const char* t : {"c", "d", "e", "f"}) Confirm(t);
  EXPECT_EQ(Strings({"f", "e", "d", "c", "abc", "x", "b"}), ItemList());
  // Not modified, or empty: nothing recorded.
  ShowMRU("new");
  E->ValidateEdit();
  Confirm("");
  EXPECT_EQ(7, E->Items()->Count());
  EXPECT_EQ("f", E->Items()->Strings(0));
  // Typed and confirmed with Enter, as the user does.
  ShowMRU("");
  E->SetFocus();
  Type("zz");
  Press(VK_RETURN);
  EXPECT_EQ("zz", E->Items()->Strings(0));
}

TEST_F(KxMRUEditTest, TheLimit) {
  for (const char* t : {"1", "2", "3", "4", "5", "6", "7"}) Confirm(t);
  E->SetMaxItemCount(3);
  EXPECT_EQ(Strings({"7", "6", "5"}), ItemList());
  E->SetMaxItemCount(0);
  for (const char* t : {"a", "b", "c", "d", "e", "f", "g", "h"}) Confirm(t);
  EXPECT_EQ(11, E->Items()->Count());
  E->SetMaxItemCount(-4);
  EXPECT_EQ(0, E->MaxItemCount());
}

TEST_F(KxMRUEditTest, TheSecondButton) {
  ShowMRU("text");
  auto vd = Buttons();
  ASSERT_EQ(2, vd->ButtonCount);
  EXPECT_EQ(bkDown, vd->ButtonEntries[0].Kind);
  EXPECT_EQ(bkEllipsis, vd->ButtonEntries[1].Kind);
  EXPECT_EQ(1, vd->ButtonEntries[1].Ordinal);
  // Pressing it never drops the list; releasing it over the button clicks once.
  const TPoint p = ButtonCentre(1);
  hb->MouseMove(p.x, p.y);
  hb->MouseDown(p.x, p.y);
  Pump();
  EXPECT_FALSE(E->PopupShown());
  EXPECT_EQ(1, E->PushedButton());
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(1, Clicks);
  EXPECT_FALSE(E->PopupShown());
  // The arrow still drops the list.
  E->Items()->Add("one");
  const TPoint a = ButtonCentre(0);
  hb->MouseMove(a.x, a.y);
  hb->Click(a.x, a.y);
  Pump();
  EXPECT_TRUE(E->PopupShown());
  EXPECT_EQ(1, Clicks);
  Press(VK_ESCAPE);
  // Ctrl+Enter clicks it too, typing nothing and telling the host nothing.
  E->SetFocus();
  Host->KeysDown.clear();
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_EQ(2, Clicks);
  EXPECT_EQ("text", E->Text());
  EXPECT_TRUE(Host->KeysDown.empty());
  // A row glyph goes on the second button; the first keeps the arrow.
  TBitmap glyph;
  glyph.SetSize(8, 8);
  E->SetButtonGlyph(&glyph);
  vd = Buttons();
  ASSERT_EQ(2, vd->ButtonCount);
  EXPECT_EQ(bkDown, vd->ButtonEntries[0].Kind);
  EXPECT_EQ(bkGlyph, vd->ButtonEntries[1].Kind);
  EXPECT_EQ(vd->ButtonGlyph, vd->ButtonEntries[1].Glyph);
  E->SetButtonGlyph(nullptr);
  // Hidden buttons: no second one either.
  vd = Buttons();
  vd->ButtonsHidden = true;
  static_cast<const TkxInplaceDropDownEdit::TClassRef*>(E->EditClass())->CalcButtons(vd.get());
  EXPECT_EQ(0, vd->ButtonCount);
  // Without the ellipsis: one button, and Ctrl+Enter is no click.
  E->SetShowEllipsis(false);
  EXPECT_EQ(1, Buttons()->ButtonCount);
  E->SetFocus();
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_EQ(2, Clicks);
}

TEST_F(KxMRUEditTest, TheCellMatchesTheLiveEditor) {
  EXPECT_FALSE(E->ImmediateDropDown);
  ShowMRU("recent");
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  EXPECT_TRUE(MatchesReference(SideBySide(live, cls), "inplace/tests/ref", "mru_cell"));
}

}  // namespace
