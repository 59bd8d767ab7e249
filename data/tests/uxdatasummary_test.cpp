// Footer and group summaries of the data controller and their texts.
#include <gtest/gtest.h>

#include "ctltest.h"
#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"

namespace ctltest {
namespace {

class SummaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    group = c->AddColumn("Group", TuxStringValueType::Instance());
    amount = c->AddColumn("Amount", TuxIntegerValueType::Instance());
    price = c->AddColumn("Price", TuxCurrencyValueType::Instance());
    when = c->AddColumn("When", TuxDateTimeValueType::Instance());
    c->Load({{Variant("x"), Variant(10), Variant(Currency::FromDouble(1.5)), VarFromDateTime(EncodeDate(2024, 1, 1))},
             {Variant("x"), Null(), Variant(Currency::FromDouble(2.5)), VarFromDateTime(EncodeDate(2024, 1, 3))},
             {Variant("y"), Variant(5), Null(), Null()},
             {Variant("y"), Variant(7), Variant(Currency::FromDouble(4)), VarFromDateTime(EncodeDate(2024, 1, 5))}});
  }
  TuxDataSummaryItem* Footer(int Item, TuxSummaryKind Kind) {
    TuxDataSummaryItem* s = c->Summary()->FooterSummaryItems()->Add();
    s->SetItemLink(c->Columns[static_cast<std::size_t>(Item)]);
    s->SetKind(Kind);
    return s;
  }
  Variant FooterValue(int Index) { return c->Summary()->GetFooterSummaryValue(Index); }
  ControllerPtr c;
  int group = 0, amount = 0, price = 0, when = 0;
};

TEST_F(SummaryTest, FooterSummariesOfEachKind) {
  Footer(amount, skSum);
  Footer(amount, skMin);
  Footer(amount, skMax);
  Footer(amount, skCount);
  Footer(amount, skAverage);
  EXPECT_EQ(FooterValue(0).AsInteger(), 22);
  EXPECT_EQ(FooterValue(1).AsInteger(), 5);
  EXPECT_EQ(FooterValue(2).AsInteger(), 10);
  // Null values count unless they are ignored.
  EXPECT_EQ(FooterValue(3).AsInteger(), 4);
  EXPECT_DOUBLE_EQ(FooterValue(4).AsDouble(), 22.0 / 4);
  c->Summary()->SetOptions({soNullIgnore});
  EXPECT_EQ(FooterValue(3).AsInteger(), 3);
  EXPECT_DOUBLE_EQ(FooterValue(4).AsDouble(), 22.0 / 3);
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(0), "22.00");
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(1), "MIN=5.00");
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(3), "3");
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(9), "");
  // The footer follows the filter.
  c->Filter()->AddItem(nullptr, c->Columns[static_cast<std::size_t>(group)], fckEqual, Variant("y"), "y");
  c->Filter()->SetActive(true);
  EXPECT_EQ(FooterValue(0).AsInteger(), 12);
}

TEST_F(SummaryTest, MinimumOfNullsStaysNullAndAverageOfDatesIsADate) {
  c->Load({{Variant("x"), Null(), Null(), VarFromDateTime(EncodeDate(2024, 1, 1))},
           {Variant("x"), Null(), Null(), VarFromDateTime(EncodeDate(2024, 1, 3))}});
  Footer(amount, skMin);
  Footer(when, skAverage);
  Footer(price, skSum);
  EXPECT_TRUE(FooterValue(0).IsNull());
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(0), "");
  EXPECT_TRUE(uxVarIsDateTime(FooterValue(1)));
  EXPECT_DOUBLE_EQ(FooterValue(1).AsDouble(), EncodeDate(2024, 1, 2));
  EXPECT_EQ(FooterValue(2).AsDouble(), 0);  // a sum over Nulls starts at 0
}

TEST_F(SummaryTest, CurrencySumsUseTheLocaleCurrencyFormat) {
  Footer(price, skSum);
  EXPECT_DOUBLE_EQ(FooterValue(0).AsDouble(), 8.0);
  EXPECT_EQ(c->Summary()->GetFooterSummaryText(0), Utf8ToAnsi("￥8.00"));
}

TEST_F(SummaryTest, GroupSummariesAndTheGroupRowText) {
  c->Groups()->ChangeGroupIndex(group, 0);
  TuxDataGroupSummaryItems* items = c->Summary()->DefaultGroupSummaryItems();
  TuxDataSummaryItem* sum = items->Add();
  sum->SetItemLink(c->Columns[static_cast<std::size_t>(amount)]);
  sum->SetKind(skSum);
  TuxDataSummaryItem* count = items->Add();
  count->SetKind(skCount);  // a group count needs no column
  TuxDataSummaryItem* footer = items->Add();
  footer->SetItemLink(c->Columns[static_cast<std::size_t>(amount)]);
  footer->SetKind(skMax);
  footer->SetPosition(spFooter);
  // rows: [x] [y]
  ASSERT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(c->Summary()->GetGroupSummaryText(0), "(SUM=10.00, COUNT=2)");
  EXPECT_EQ(c->Summary()->GetGroupSummaryText(1), "(SUM=12.00, COUNT=2)");
  EXPECT_EQ(c->Summary()->GetGroupFooterSummaryItemIndex(0, c->Columns[static_cast<std::size_t>(amount)]), 2);
  EXPECT_EQ(c->Summary()->GetGroupFooterSummaryText(1, 0, 2), "MAX=7.00");
  EXPECT_EQ(c->Summary()->GetGroupFooterSummaryText(1, 0, 7), "");
  items->SetSeparator(";");
  items->SetBeginText("[");
  EXPECT_EQ(c->Summary()->GetGroupSummaryText(1), "[SUM=12.00; COUNT=2)");
}

TEST_F(SummaryTest, GroupsOrderedByTheirSummary) {
  c->Groups()->ChangeGroupIndex(group, 0);
  TuxDataSummaryItem* sum = c->Summary()->DefaultGroupSummaryItems()->Add();
  sum->SetItemLink(c->Columns[static_cast<std::size_t>(amount)]);
  sum->SetKind(skSum);
  c->ChangeSorting(amount, soDescending);
  c->SetSortingBySummaryItem(amount);
  // y (12) before x (10).
  EXPECT_EQ(c->GetValue(c->GetRowInfo(0).RecordIndex, group).AsString(), "y");
  c->SetSortingBySummaryItem(-1);
  EXPECT_EQ(c->GetValue(c->GetRowInfo(0).RecordIndex, group).AsString(), "x");
}

TEST_F(SummaryTest, SelectedRecordsOnlyAndTheOptionsExcludeEachOther) {
  Footer(amount, skSum);
  c->Summary()->SetOptions({soSelectedRecords});
  c->ChangeFocusedRowIndex(2);
  EXPECT_EQ(FooterValue(0).AsInteger(), 5);
  c->SetMultiSelect(true);
  c->SelectRows(2, 3);
  EXPECT_EQ(FooterValue(0).AsInteger(), 12);
  c->Summary()->SetOptions({soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_TRUE(c->Summary()->Options().Contains(soMultipleSelectedRecords));
  EXPECT_FALSE(c->Summary()->Options().Contains(soSelectedRecords));
  c->Summary()->SetOptions({soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_TRUE(c->Summary()->Options().Contains(soSelectedRecords));
  EXPECT_FALSE(c->Summary()->Options().Contains(soMultipleSelectedRecords));
}

TEST_F(SummaryTest, AnItemBelongsToOneSummaryGroup) {
  TuxDataSummaryGroup* g1 = c->Summary()->SummaryGroups()->Add();
  TuxDataSummaryGroup* g2 = c->Summary()->SummaryGroups()->Add();
  g1->Links()->Add()->SetItemLink(c->Columns[static_cast<std::size_t>(group)]);
  g2->Links()->Add()->SetItemLink(c->Columns[static_cast<std::size_t>(group)]);
  EXPECT_EQ(g1->Links()->Count(), 0);
  EXPECT_EQ(c->Summary()->SummaryGroups()->FindGroupOfItemLink(c->Columns[static_cast<std::size_t>(group)]), g2);
  // The grouped column's level takes the items of its summary group.
  c->Groups()->ChangeGroupIndex(group, 0);
  EXPECT_EQ(c->Summary()->GetGroupSummaryItems(0), g2->SummaryItems());
  EXPECT_EQ(c->Summary()->GetGroupSummaryItems(1), nullptr);
}

TEST_F(SummaryTest, SetItemKindByItemIndexAddsAndFreesItems) {
  TuxDataFooterSummaryItems* items = c->Summary()->FooterSummaryItems();
  items->SetItemKind(amount, spFooter, skSum);
  ASSERT_EQ(items->Count(), 1);
  EXPECT_EQ(items->GetItemKind(amount, spFooter), skSum);
  items->SetItemKind(amount, spFooter, skNone);
  EXPECT_EQ(items->Count(), 0);
  EXPECT_THROW(items->GetItemKind(99, spFooter), EuxInvalidDataControllerOperation);
}

}  // namespace
}  // namespace ctltest
