// Controls of the form hosted in a toolbar through a control container item:
// a lookup tree picker placed on the bar that drops down and takes the focus,
// one control per item of a manager, the placeholder of an item without a
// control, re-layout on outside resizes only, links that do not fit, the
// bar's window going and coming back, a freed control and the description.
#include "bars/kxbaritemsext.h"
#include "bars/tests/kxbartest.h"
#include "platform/db/tests/dbtest.h"
#include "treechart/kxlookuptreeview.h"
#include "treechart/kxtreeview.h"

namespace kxbaritemsctl_test {

class BarsContainerTest : public BarsFormTest {
 protected:
  TkxBarControlContainerItem* Item = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    Item = new TkxBarControlContainerItem(F);
    Item->SetName("Holder");
    Item->SetCaption(A("节点"));
    Item->SetCategory(0);
    static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(Item);
    Reshow();
  }
  // The bar window makes the controls of its links when it is shown.
  void Reshow() {
    ToolsBar->SetVisible(false);
    ToolsBar->SetVisible(true);
    Pump();
  }
  TkxBarItemLink* Link() { return ToolLink(Item); }
  TkxBarControlContainerControl* Control() {
    return dynamic_cast<TkxBarControlContainerControl*>(Link()->Control());
  }
  TkxBarControl* Bar() { return ToolsBar->Control(); }
  TRect ItemRect() {
    TRect r{};
    Bar()->GetItemRect(Control(), r);
    return r;
  }
  TRect WindowRectIn(HWND Wnd, HWND Parent) {
    RECT r;
    GetWindowRect(Wnd, &r);
    POINT o{0, 0};
    ClientToScreen(Parent, &o);
    return TRect{r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
  }
};

// The story window's use: a lookup tree picker on a toolbar. It lies on the
// place form where its link is drawn, opens its tree from its button, moves
// the focus into the tree, and takes the chosen node back into its box.
TEST_F(BarsContainerTest, AHostedLookupTreePickerDropsDownAndTakesTheFocus) {
  kxInitTreeViews();
  TempDir dir;
  MakeDatabase(dir.File("list.l"),
               "CREATE TABLE kinds (tid INTEGER PRIMARY KEY, tparent INTEGER, tname TEXT(50));"
               "INSERT INTO kinds VALUES (1, 0, 'kinds');INSERT INTO kinds VALUES (2, 1, 'people');"
               "INSERT INTO kinds VALUES (3, 1, 'places');INSERT INTO kinds VALUES (4, 2, 'heroes');");
  auto* conn = new TADOConnection(F);
  conn->SetConnectionString(JetConnection(dir.File("list.l")));
  conn->LoginPrompt = false;
  conn->Open();
  auto* table = new TADOTable(F);
  table->SetConnection(conn);
  table->SetTableName("kinds");
  table->Open();
  auto* source = new TDataSource(F);
  source->SetDataSet(table);
  auto* picker = new TkxLookupTreeView(F);
  picker->SetName("Picker");
  picker->SetKeyField("tid");
  picker->SetParentField("tparent");
  picker->SetListField("tname");
  picker->SetListSource(source);
  picker->SetBounds(0, 0, 140, 20);
  Item->SetControl(picker);
  Pump();

  // placed on the place form, a child window of the bar, over the link
  TPlaceForm* place = Item->PlaceForm();
  ASSERT_TRUE(place->HandleAllocated());
  EXPECT_EQ(picker->Parent(), place);
  EXPECT_EQ(GetParent(place->Handle()), Bar()->Handle());
  EXPECT_TRUE(GetWindowLongA(place->Handle(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(picker->Handle()));
  EXPECT_EQ(WindowRectIn(place->Handle(), Bar()->Handle()), ItemRect());
  EXPECT_EQ(ItemRect().Width(), 140) << "the link is as wide as the control";
  EXPECT_EQ(picker->Left(), 0);
  EXPECT_EQ(picker->Top(), 0);
  EXPECT_EQ(picker->Width(), place->ClientWidth());
  EXPECT_TRUE(Control()->Placed());

  // its button opens the tree, and the focus goes into it
  TPoint p = picker->ClientToScreen(TPoint(picker->ClientWidth() - 5, picker->ClientHeight() / 2));
  hb->MouseDown(p.x, p.y);
  Pump();
  hb->MouseUp(p.x, p.y);
  Pump();
  ASSERT_TRUE(picker->DroppedDown());
  TPopupDBTreeView* popup = picker->GetPopupTree();
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  EXPECT_EQ(GetFocus(), popup->Handle());
  RECT pr;
  GetWindowRect(popup->Handle(), &pr);
  RECT er;
  GetWindowRect(picker->Handle(), &er);
  EXPECT_EQ(pr.left, er.left);
  EXPECT_EQ(pr.top, er.bottom) << "the tree opens under the picker on the bar";
  EXPECT_EQ(F->BarManager1->SelectedItem(), nullptr) << "the bar did not go into menu mode";

  // a node chosen with Enter comes back into the box, which keeps the focus
  popup->FullExpand();
  TTreeNode* node = nullptr;
  for (TTreeNode* n = popup->Items()->GetFirstNode(); n; n = n->GetNext())
    if (n->Text() == "places") node = n;
  ASSERT_NE(node, nullptr);
  popup->SetSelected(node);
  popup->Perform(WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_FALSE(picker->DroppedDown());
  EXPECT_EQ(picker->Text(), "places");
  EXPECT_EQ(picker->KeyValue(), Variant(3));
  picker->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), picker->Handle());
  EXPECT_TRUE(picker->Focused());

  // the keyboard opens it again while the picker has the focus
  picker->Perform(WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
  Pump();
  EXPECT_TRUE(picker->DroppedDown());
  EXPECT_EQ(GetFocus(), popup->Handle());
  picker->CloseUp(false);
  Pump();
}

// One control belongs to one container item of a manager; items of another
// manager may host it too. A refused assignment keeps the old control.
TEST_F(BarsContainerTest, AControlIsHostedByOneItemOfAManager) {
  auto* box = new TCheckBox(F);
  auto* other = new TCheckBox(F);
  Item->SetControl(other);
  auto* second = new TkxBarControlContainerItem(F);
  second->SetControl(box);
  try {
    Item->SetControl(box);
    FAIL() << "the same control in two items";
  } catch (const EkxBarError& e) {
    EXPECT_EQ(AnsiString(e.Message), A("不能为相同控件指定多个TkxBarControlContainerItem值."));
  }
  EXPECT_EQ(Item->Control(), other);
  auto* form2 = new TForm(Application, 0);
  new TkxBarManager(form2);
  auto* elsewhere = new TkxBarControlContainerItem(form2);
  ASSERT_NE(elsewhere->BarManager(), F->BarManager1);
  EXPECT_NO_THROW(elsewhere->SetControl(box));
  EXPECT_EQ(elsewhere->Control(), box);
  elsewhere->SetControl(nullptr);
  // the item gave the control its own window procedure back
  second->SetControl(nullptr);
  box->SetBounds(0, 0, 77, 20);
  EXPECT_EQ(box->Width(), 77);
}

// Without a control the link shows a hatched placeholder with the item's
// name and is as wide as that name; renaming lays the bar out again.
TEST_F(BarsContainerTest, AnItemWithoutAControlShowsAPlaceholderWithItsName) {
  auto nameWidth = [this](const char* S) {
    SIZE s{};
    GetTextExtentPoint32A(Bar()->FontDC(), S, int(strlen(S)), &s);
    return int(s.cx);
  };
  int fontSize = Bar()->Font()->Size();
  EXPECT_EQ(ItemRect().Width(), nameWidth("Holder") + fontSize);
  EXPECT_GE(ItemRect().Height(), F->BarManager1->ButtonHeight());
  Bar()->Repaint();
  Pump();
  TRect r = ItemRect();
  TPoint tl = Bar()->ClientToScreen(TPoint(r.left, r.top));
  TRawImage img = Screen(TRect{tl.x, tl.y, tl.x + r.Width(), tl.y + r.Height()});
  auto px = [&](int X, int Y) { return img.Pixels[std::size_t(Y * img.Width + X)] & 0xFFFFFF; };
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  TColor shadowPx = TColor(GetRValue(shadow) << 16 | GetGValue(shadow) << 8 | GetBValue(shadow));
  EXPECT_EQ(px(0, 0), unsigned(shadowPx)) << "the frame";
  EXPECT_EQ(px(r.Width() - 1, r.Height() - 1), unsigned(shadowPx));
  int hatched = 0;
  for (int x = 1; x < 12; ++x) hatched += px(x, 1) == unsigned(shadowPx);
  EXPECT_GT(hatched, 0) << "the diagonal hatch";
  EXPECT_LT(hatched, 11);
  Item->SetName("AMuchLongerHolderName");
  Pump();
  EXPECT_EQ(ItemRect().Width(), nameWidth("AMuchLongerHolderName") + fontSize);
  // the customizing lists leave the item out
  std::vector<TkxBarItem*> listed;
  F->BarManager1->GetVisibleItemsByCategory(0, listed);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), static_cast<TkxBarItem*>(Item)), 0);
  EXPECT_FALSE(Item->CanClicked());
  EXPECT_FALSE(Item->CanUseAccel(Link()));
}

// A resize from outside lays the bar out again; resizes the container makes
// while it places the control do not count as such.
TEST_F(BarsContainerTest, OutsideResizesLayTheBarOutAgain) {
  auto* edit = new TEdit(F);
  edit->SetBounds(0, 0, 90, 20);
  Item->SetControl(edit);
  Pump();
  EXPECT_EQ(ItemRect().Width(), 90);
  EXPECT_EQ(edit->Parent(), Item->PlaceForm());
  edit->SetBounds(0, 0, 120, 20);
  Pump();
  EXPECT_EQ(ItemRect().Width(), 120);
  EXPECT_EQ(WindowRectIn(Item->PlaceForm()->Handle(), Bar()->Handle()), ItemRect());
  EXPECT_EQ(edit->Width(), 120);
  // the bar window goes: the control's window and the place form go with it,
  // and everything is placed again when the bar shows again
  ToolsBar->SetVisible(false);
  Pump();
  EXPECT_FALSE(Item->PlaceForm()->Visible());
  EXPECT_EQ(Item->PlaceForm()->ParentWindow(), nullptr);
  EXPECT_FALSE(edit->HandleAllocated());
  ToolsBar->SetVisible(true);
  Pump();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_EQ(GetParent(Item->PlaceForm()->Handle()), Bar()->Handle());
}

// A link that does not fit on its bar keeps the place form hidden and off
// the bar.
TEST_F(BarsContainerTest, ALinkThatDoesNotFitKeepsThePlaceFormAway) {
  auto* edit = new TEdit(F);
  edit->SetBounds(0, 0, 90, 20);
  Item->SetControl(edit);
  Pump();
  ASSERT_TRUE(Item->PlaceForm()->Visible());
  // to the end of the bar, then the form narrower than the bar's content
  Link()->SetIndex(Tools->Count() - 1);
  F->SetWidth(160);
  Pump();
  ASSERT_LE(Link()->ItemRect().Width(), 0) << "behind the mark";
  EXPECT_FALSE(Item->PlaceForm()->Visible());
  EXPECT_EQ(Item->PlaceForm()->ParentWindow(), nullptr);
}

// A freed control leaves the item with its placeholder; an item freed with
// its control on the bar leaves the control to its owner.
TEST_F(BarsContainerTest, FreedControlsAndItemsLeaveNothingBehind) {
  auto* edit = new TEdit(F);
  edit->SetBounds(0, 0, 90, 20);
  Item->SetControl(edit);
  Pump();
  edit->Free();
  EXPECT_EQ(Item->Control(), nullptr);
  Pump();
  EXPECT_EQ(ItemRect().Width(), Control()->GetWidth());
  auto* box = new TCheckBox(F);
  box->SetBounds(0, 0, 60, 18);
  Item->SetControl(box);
  Pump();
  ASSERT_EQ(box->Parent(), Item->PlaceForm());
  Item->Free();
  Item = nullptr;
  Pump();
  EXPECT_EQ(box->Parent(), nullptr);
  EXPECT_EQ(box->Owner(), F) << "still the form's";
}

// The control reference reads and writes through the form's description.
TEST_F(BarsContainerTest, TheControlIsStoredInTheDescription) {
  F->Edit1->SetWidth(110);
  Item->SetControl(F->Edit1);
  Pump();
  EXPECT_EQ(ItemRect().Width(), 110);
  AnsiString text = WriteComponentToText(F);
  EXPECT_NE(text.find("object Holder: TkxBarControlContainerItem"), AnsiString::npos);
  EXPECT_NE(text.find("Control = Edit1"), AnsiString::npos);
}

}  // namespace kxbaritemsctl_test
