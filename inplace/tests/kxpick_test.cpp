// The pick editor: completion while typing (Latin and Chinese), Backspace,
// the drop-down-list style and deleting its text, the list's height, steps by
// wheel and double click, steps after typing, the list's own type-ahead, and
// a click on an item.
#include "inplace/tests/kxtest.h"

#include "inplace/kxpick.h"

namespace {

class KxPickEditTest : public InplaceTest {
 protected:
  TkxInplacePickEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplacePickEdit>();
    SetItems({"Apple", "apricot", "Banana", "Cherry"});
  }
  void SetItems(std::initializer_list<const char*> Items) {
    TStringList l;
    for (const char* i : Items) l.Add(Gbk(i));
    E->SetItems(&l);
  }
  void ShowPick(const char* Text) { Activate(E, kxRect(20, 30, 180, 50), Variant(Gbk(Text))); }
  // Text, selection start and length.
  std::tuple<AnsiString, int, int> State() { return {E->Text(), E->SelStart(), E->SelLength()}; }
  bool ListShown() { return E->DropList() && E->DropList()->HandleAllocated() && IsWindowVisible(E->DropList()->Handle()); }
};

using PickState = std::tuple<AnsiString, int, int>;

TEST_F(KxPickEditTest, TypingCompletesToTheFirstMatchingItem) {
  ShowPick("");
  E->SetFocus();
  TypeChar("a");
  EXPECT_EQ(PickState("Apple", 1, 4), State());
  EXPECT_TRUE(ListShown());  // dropped down at the first character
  EXPECT_EQ(0, E->DropList()->ItemIndex());
  EXPECT_EQ(E->Handle(), GetFocus());
  TypeChar("p");
  EXPECT_EQ(PickState("Apple", 2, 3), State());
  TypeChar("r");
  EXPECT_EQ(PickState("apricot", 3, 4), State());
  EXPECT_EQ(1, E->DropList()->ItemIndex());
  EXPECT_EQ("apr", E->TypedText());
  // Backspace deletes the completed tail, leaving what was typed.
  Press(VK_BACK);
  EXPECT_EQ(PickState("apr", 3, 0), State());
  // A character that extends no item is typed as it is.
  TypeChar("x");
  EXPECT_EQ(PickState("aprx", 4, 0), State());
  EXPECT_TRUE(E->Modified());
  // Enter closes the list and takes its selection, or keeps free text.
  Press(VK_RETURN);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ("aprx", E->Text());
}

TEST_F(KxPickEditTest, ChineseCharactersCompleteWhole) {
  SetItems({"中文", "中国人", "Other"});
  ShowPick("");
  E->SetFocus();
  TypeChar("中");
  EXPECT_EQ(PickState(Gbk("中文"), 2, 2), State());
  TypeChar("国");
  EXPECT_EQ(PickState(Gbk("中国人"), 4, 2), State());
  // A character that completes nothing is typed whole, both bytes.
  TypeChar("好");
  EXPECT_EQ(PickState(Gbk("中国好"), 6, 0), State());
  // Backspace over it completes the shorter text again.
  Press(VK_BACK);
  EXPECT_EQ(PickState(Gbk("中国人"), 4, 2), State());
}

TEST_F(KxPickEditTest, DropDownListStyleOnlyTakesItems) {
  E->SetDropDownListStyle(true);
  ShowPick("Banana");
  E->SetFocus();
  EXPECT_FALSE(E->IsEditable());
  E->SelectAll();
  TypeChar("a");
  EXPECT_EQ(PickState("Apple", 1, 4), State());
  TypeChar("p");
  TypeChar("r");
  EXPECT_EQ(PickState("apricot", 3, 4), State());
  // Backspace goes back to the first item of the shorter prefix.
  Press(VK_BACK);
  EXPECT_EQ(PickState("Apple", 2, 3), State());
  // A character that extends no item changes nothing.
  TypeChar("z");
  EXPECT_EQ("Apple", E->Text());
  // Without CanDeleteText the whole text never empties.
  E->SelectAll();
  Press(VK_DELETE);
  Press(VK_BACK);
  EXPECT_FALSE(E->Text().empty());
  E->CanDeleteText = true;
  E->SelectAll();
  Press(VK_DELETE);
  EXPECT_EQ("", E->Text());
  ShowPick("Cherry");
  E->SelectAll();
  Press(VK_BACK);
  EXPECT_EQ("", E->Text());
  // The window stays read-only whatever the host says.
  E->SetReadOnly(false);
  EXPECT_TRUE(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(KxPickEditTest, TheListIsAsTallAsItsItemsUpToTheRows) {
  ShowPick("");
  E->SetFocus();
  E->DropDownRows = 3;
  Press(VK_F4);
  ASSERT_TRUE(ListShown());
  TkxPopupPickListBox* l = E->DropList();
  EXPECT_EQ(3 * l->ItemPixelHeight(), l->ClientHeight());
  EXPECT_TRUE(GetWindowLongA(l->Handle(), GWL_STYLE) & WS_VSCROLL);  // four items scroll
  RECT er, lr;
  GetWindowRect(E->Handle(), &er);
  GetWindowRect(l->Handle(), &lr);
  EXPECT_GE(lr.right - lr.left, er.right - er.left);  // never narrower than the cell
  Press(VK_F4);
  EXPECT_FALSE(ListShown());
  E->DropDownRows = 7;
  Press(VK_F4);
  EXPECT_EQ(4 * l->ItemPixelHeight(), l->ClientHeight());
  Press(VK_ESCAPE);
  // No items: no list, but the button event fires.
  struct Hits {
    int N = 0;
    void Hit(TObject*) { ++N; }
  } hits;
  E->OnEditButtonClick = TNotifyEvent(&hits, &Hits::Hit);
  TStringList none;
  E->SetItems(&none);
  Press(VK_F4);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(1, hits.N);
}

TEST_F(KxPickEditTest, StepsByWheelAndDoubleClick) {
  struct Case {
    const char* Start;
    int Delta;
    const char* Want;
  } cases[] = {
      {"Apple", -1, "Apple"},    // the wheel up on the first item stays
      {"Cherry", 1, "Cherry"},   // down on the last stays
      {"Banana", 1, "Cherry"},
      {"Banana", -1, "apricot"},
      {"Durian", 1, "Apple"},    // not an item: the first
      {"Durian", -1, "Apple"},
  };
  for (const Case& c : cases) {
    ShowPick(c.Start);
    E->StepItem(c.Delta, false);
    EXPECT_EQ(AnsiString(c.Want), E->Text()) << c.Start << " " << c.Delta;
    EXPECT_EQ(E->GetTextLength(), E->SelLength());
  }
  ShowPick("Banana");
  RECT r;
  GetWindowRect(E->Handle(), &r);
  hb->Wheel(r.left + 10, r.top + 5, -120);
  Pump();
  EXPECT_EQ("Cherry", E->Text());
  // A Revertable double click on the last item goes to the first.
  E->Revertable = true;
  TPoint p = At(E, 10, 5);
  hb->DoubleClick(p.x, p.y);
  Pump();
  EXPECT_EQ("Apple", E->Text());
}

TEST_F(KxPickEditTest, AStepAfterTypingStartsFromTheTypedItem) {
  ShowPick("Apple");
  E->SetFocus();
  E->StepItem(1, false);
  E->StepItem(1, false);
  EXPECT_EQ("Banana", E->Text());
  EXPECT_EQ(2, E->StepIndex());
  E->SelectAll();
  TypeChar("a");
  TypeChar("p");
  TypeChar("r");
  Press(VK_RETURN);
  EXPECT_EQ("apricot", E->Text());
  EXPECT_EQ(-1, E->StepIndex());
  E->StepItem(1, false);
  EXPECT_EQ("Banana", E->Text());
  // Chosen from the list, the same.
  E->StepItem(1, false);
  Press(VK_F4);
  ASSERT_TRUE(ListShown());
  for (int i = 0; i < 3; ++i) Press(VK_UP);
  Press(VK_RETURN);
  EXPECT_EQ("Apple", E->Text());
  E->StepItem(1, false);
  EXPECT_EQ("apricot", E->Text());
}

TEST_F(KxPickEditTest, TheListSearchesWhatIsTypedIntoIt) {
  SetItems({"Apple", "apricot", "Banana", "Bamboo", "Cherry"});
  ShowPick("");
  E->SetFocus();
  Press(VK_F4);
  TkxPopupPickListBox* l = E->DropList();
  HWND lw = l->Handle();
  auto typeInList = [&](const char* s) {
    for (const char* p = s; *p; ++p) SendMessageA(lw, WM_CHAR, WPARAM(static_cast<unsigned char>(*p)), 0);
  };
  typeInList("b");
  EXPECT_EQ(2, l->ItemIndex());
  typeInList("am");
  EXPECT_EQ(3, l->ItemIndex());
  EXPECT_EQ("bam", l->TypedPrefix);
  typeInList("x");  // extends no item: dropped from the prefix
  EXPECT_EQ("bam", l->TypedPrefix);
  EXPECT_EQ(3, l->ItemIndex());
  hb->AdvanceClock(2001);
  typeInList("c");  // after a pause a new prefix
  EXPECT_EQ(4, l->ItemIndex());
  EXPECT_EQ("c", l->TypedPrefix);
  SendMessageA(lw, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ("", l->TypedPrefix);
  // At most 32 characters.
  SetItems({"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"});
  Press(VK_ESCAPE);
  Press(VK_F4);
  typeInList("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
  EXPECT_EQ(32u, l->TypedPrefix.size());
}

TEST_F(KxPickEditTest, ClickingAnItemChoosesItAndCloses) {
  ShowPick("Apple");
  E->SetFocus();
  Press(VK_F4);
  TkxPopupPickListBox* l = E->DropList();
  ASSERT_TRUE(ListShown());
  EXPECT_EQ(0, l->ItemIndex());  // the text's item
  TPoint p = At(l, 5, 2 * l->ItemPixelHeight() + 2);
  hb->MouseMove(p.x, p.y);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(ListShown());
  EXPECT_EQ("Banana", E->Text());
  EXPECT_TRUE(E->Modified());
  EXPECT_EQ(E->Handle(), GetFocus());
}

}  // namespace
