// Categories renumber their items when they are inserted, deleted, exchanged
// or moved, switch the visibility of their items and store their settings in
// descriptions; groups switch their members together, refuse to contain
// themselves and name their members in descriptions.
#include "bars/kxbarpopup.h"
#include "bars/tests/kxbartest.h"

namespace {

// Category numbers of the items, by item name.
std::map<std::string, int> CategoriesOf(TBarsTestForm* F, std::initializer_list<TkxBarItem*> Items) {
  std::map<std::string, int> m;
  for (TkxBarItem* i : Items) m[std::string(i->Name())] = i->Category();
  return m;
}

}  // namespace

class BarsCategoriesTest : public BarsFormTest {
 protected:
  TkxBarManagerCategories* C = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    // three categories: File (Open, New), Style (the style buttons), Edit (Cut, Copy)
    C = F->BarManager1->Categories();
    C->Add("Edit");
    F->CutButton->SetCategory(2);
    F->CopyButton->SetCategory(2);
  }
};

TEST_F(BarsCategoriesTest, ItemsFollowTheirCategoryWhenTheListChanges) {
  // moving category 0 to 2: its items report 2, those of 1 and 2 report 0 and 1
  C->Move(0, 2);
  EXPECT_EQ(CategoriesOf(F, {F->OpenItem, F->StandardStyle, F->CutButton}),
            (std::map<std::string, int>{{"OpenItem", 2}, {"StandardStyle", 0}, {"CutButton", 1}}));
  EXPECT_EQ(C->Strings(2), "File");
  C->Move(2, 0);
  C->Exchange(1, 2);
  EXPECT_EQ(F->StandardStyle->Category(), 2);
  EXPECT_EQ(F->CutButton->Category(), 1);
  C->Exchange(1, 2);
  // inserting before Style shifts Style and Edit
  C->Insert(1, "New");
  EXPECT_EQ(CategoriesOf(F, {F->OpenItem, F->StandardStyle, F->CutButton}),
            (std::map<std::string, int>{{"OpenItem", 0}, {"StandardStyle", 2}, {"CutButton", 3}}));
  C->Delete(1);
  // deleting Style (1 of three) frees its items; Edit's items then report 1
  int items = F->BarManager1->ItemCount();
  C->Delete(1);
  EXPECT_EQ(F->BarManager1->ItemCount(), items - 3);
  EXPECT_EQ(F->StandardStyle, nullptr);  // the form's field was cleared as the item went
  EXPECT_EQ(F->CutButton->Category(), 1);
  EXPECT_EQ(F->OpenItem->Category(), 0);
  // bad indexes are refused by the list and renumber nothing
  EXPECT_THROW(C->Move(0, 7), EStringListError);
  EXPECT_THROW(C->Exchange(-1, 0), EStringListError);
  EXPECT_EQ(F->OpenItem->Category(), 0);
  EXPECT_EQ(F->CutButton->Category(), 1);
  // deleting the last category brings the default back
  C->Delete(1);
  C->Delete(0);
  ASSERT_EQ(C->Count(), 1);
  EXPECT_EQ(C->Strings(0), A("默认"));
}

TEST_F(BarsCategoriesTest, ItemsVisibleSwitchesOnlyTheItemsThatFollowedIt) {
  TkxBarManager* m = F->BarManager1;
  F->CopyButton->SetVisible(ivInCustomizing);
  m->SetCategoryItemsVisible(2, ivNever);
  EXPECT_EQ(F->CutButton->Visible(), ivNever);
  EXPECT_EQ(F->CopyButton->Visible(), ivInCustomizing);  // it was not equal to the old value
  EXPECT_EQ(F->OpenItem->Visible(), ivAlways);
  EXPECT_EQ(m->GetCategoryItemsVisible(2), ivNever);
  m->SetCategoryItemsVisible(2, ivAlways);
  EXPECT_EQ(F->CutButton->Visible(), ivAlways);
  // neutral answers for bad indexes, which setters ignore
  EXPECT_EQ(m->GetCategoryItemsVisible(9), ivNever);
  EXPECT_FALSE(m->GetCategoryVisible(-1));
  m->SetCategoryVisible(9, false);
  m->SetCategoryItemsVisible(-1, ivNever);
  // hidden categories are skipped by the visible index
  m->SetCategoryVisible(1, false);
  EXPECT_EQ(m->GetCategoryIndexByVisibleIndex(1), 2);
  EXPECT_EQ(m->GetCategoryIndexByVisibleIndex(2), -1);
  std::vector<TkxBarItem*> list;
  EXPECT_EQ(m->GetItemsByCategory(2, list), 2);
  EXPECT_EQ(m->GetItemsByCategory(5, list), 0);
}

TEST_F(BarsCategoriesTest, AutoHideEmptyBarsHidesABarWhoseItemsAllWentAndShowsItAgain) {
  TkxBarManager* m = F->BarManager1;
  m->SetAutoHideEmptyBars(true);
  // a bar of the Edit category's items only
  TkxBar* bar = m->Bars()->Add();
  bar->ItemLinks()->Add()->SetItem(F->CutButton);
  bar->SetVisible(true);
  Pump();
  m->SetCategoryItemsVisible(2, ivNever);
  EXPECT_FALSE(bar->Visible());
  EXPECT_TRUE(ToolsBar->Visible());
  m->SetCategoryItemsVisible(2, ivAlways);
  EXPECT_TRUE(bar->Visible());
}

TEST_F(BarsCategoriesTest, CategorySettingsAndGroupsTravelThroughADescription) {
  TkxBarManager* m = F->BarManager1;
  m->SetCategoryVisible(1, false);
  m->SetCategoryItemsVisible(2, ivInCustomizing);
  TkxBarGroup* g = m->AddGroup();
  g->SetName("EditGroup");
  g->Add(F->CutButton);
  g->Add(F->CopyButton);
  AnsiString text = WriteComponentToText(F);
  EXPECT_NE(text.find("Categories.ItemsVisibles = (\n      2\n      2\n      1)"), AnsiString::npos);
  EXPECT_NE(text.find("object EditGroup: TkxBarGroup\n      Items = (\n        CutButton\n        CopyButton)"),
            AnsiString::npos);
  auto* g2 = new TBarsTestForm(Application);
  ReadComponentFromText(text, g2);
  TkxBarManager* m2 = g2->BarManager1;
  EXPECT_FALSE(m2->GetCategoryVisible(1));
  EXPECT_TRUE(m2->GetCategoryVisible(2));
  EXPECT_EQ(m2->GetCategoryItemsVisible(2), ivInCustomizing);
  EXPECT_EQ(g2->CutButton->Visible(), ivInCustomizing);
  ASSERT_EQ(m2->GroupCount(), 1);
  TkxBarGroup* read = m2->GetGroup(0);
  ASSERT_EQ(read->Count(), 2);
  EXPECT_EQ(read->GetMember(0), g2->CutButton);
  EXPECT_EQ(read->GetMember(1), g2->CopyButton);
  g2->Free();
}

TEST_F(BarsCategoriesTest, GroupsSwitchTheirMembersAndRefuseToContainThemselves) {
  TkxBarManager* m = F->BarManager1;
  TkxBarGroup* outer = m->AddGroup();
  TkxBarGroup* inner = m->AddGroup();
  inner->Add(F->CutButton);
  outer->Add(inner);
  outer->Add(F->OpenItem);
  outer->Add(F->OpenItem);  // a repeat is ignored
  outer->Add(F->Edit1);     // neither an item nor a group
  EXPECT_EQ(outer->Count(), 2);
  outer->SetEnabled(false);
  EXPECT_FALSE(F->CutButton->Enabled());
  EXPECT_FALSE(F->OpenItem->Enabled());
  outer->SetVisible(ivNever);
  EXPECT_EQ(F->CutButton->Visible(), ivNever);
  EXPECT_FALSE(m->LockedUpdate());
  // a group inside one of its own members, at any depth
  EXPECT_THROW(inner->Add(outer), EkxBarError);
  EXPECT_THROW(outer->Add(outer), EkxBarError);
  EXPECT_EQ(inner->Count(), 1);
  // a freed member leaves; a freed group leaves its manager's list
  F->CutButton->Free();
  EXPECT_EQ(inner->Count(), 0);
  inner->Free();
  EXPECT_EQ(outer->Count(), 1);
  EXPECT_EQ(m->GroupCount(), 1);
  EXPECT_EQ(outer->GetIndex(), 0);
}
