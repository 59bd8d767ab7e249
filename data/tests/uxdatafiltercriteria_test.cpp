// Filtering a data controller: by criteria, by event and by text, and the
// value list of a column's filter drop-down.
#include <gtest/gtest.h>

#include "ctltest.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"

namespace ctltest {
namespace {

class ControllerFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    name = c->AddColumn("Name", TuxStringValueType::Instance());
    age = c->AddColumn("Age", TuxIntegerValueType::Instance());
    c->Load({{Variant(A("第一章 春")), Variant(30)},
             {Variant(A("第二章 夏")), Variant(25)},
             {Variant(A("序 秋")), Null()},
             {Variant(A("第三章 冬")), Variant(30)},
             {Null(), Variant(40)}});
  }
  std::vector<int> Records() {
    std::vector<int> r;
    for (int i = 0; i < c->GetFilteredRecordCount(); ++i) r.push_back(c->GetFilteredRecordIndex(i));
    return r;
  }
  ControllerPtr c;
  int name = 0, age = 0;
};

TEST_F(ControllerFilterTest, CriteriaFilterTheRowsWhenActive) {
  TuxDataFilterCriteria* f = c->Filter();
  f->Active();
  f->AddItem(nullptr, c->Columns[static_cast<std::size_t>(name)], fckLike, Variant(A("第%章%")), "");
  EXPECT_EQ(Records(), (std::vector<int>{0, 1, 2, 3, 4}));  // not active yet
  f->SetActive(true);
  EXPECT_EQ(Records(), (std::vector<int>{0, 1, 3}));
  // An equality whose value is text is compared as the column's integers.
  f->BeginUpdate();
  f->Clear();
  f->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckEqual, Variant("30"), "30");
  f->EndUpdate();
  EXPECT_EQ(Records(), (std::vector<int>{0, 3}));
  f->AddItem(nullptr, c->GetItemField(age), fckEqual, Null(), "");  // a field works as the link too
  f->Root()->SetBoolOperatorKind(fgoOr);
  EXPECT_EQ(Records(), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(f->FindItemByItemLink(c->GetItemField(age)), f->FindItemByItemLink(c->Columns[static_cast<std::size_t>(age)]));
}

TEST_F(ControllerFilterTest, AnActiveEmptyCriteriaFiltersNothingAndRemovingItsItemStopsIt) {
  c->Filter()->SetActive(true);
  EXPECT_EQ(c->GetFilteredRecordCount(), 5);
  c->Filter()->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckGreater, Variant(26), "26");
  EXPECT_EQ(Records(), (std::vector<int>{0, 3, 4}));
  c->RemoveItem(c->Columns[static_cast<std::size_t>(age)]);
  EXPECT_TRUE(c->Filter()->IsEmpty());
  EXPECT_EQ(c->GetFilteredRecordCount(), 5);
}

TEST_F(ControllerFilterTest, TheRecordBeingEditedStaysWhileItFailsTheFilter) {
  c->Filter()->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckEqual, Variant(30), "30");
  c->Filter()->SetActive(true);
  c->ChangeFocusedRecordIndex(0);
  c->Edit();
  c->SetEditValue(age, Variant(31), evsValue);
  c->Refresh();
  EXPECT_EQ(Records(), (std::vector<int>{0, 3}));
  c->Post();
  EXPECT_EQ(Records(), (std::vector<int>{3}));
  // The focus left with the record and lands on the first row.
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
}

TEST_F(ControllerFilterTest, FilterRecordEventAndFilterByText) {
  struct EvenOnly : TObject {
    void Filter(TuxCustomDataController*, int R, bool& Accept) { Accept = R % 2 == 0; }
  } even;
  c->SetOnFilterRecord(TuxDataFilterRecordEvent(&even, &EvenOnly::Filter));
  EXPECT_EQ(Records(), (std::vector<int>{0, 2, 4}));
  c->SetOnFilterRecord(nullptr);
  EXPECT_EQ(c->SetFilterByText(name, A("第")), 0);
  EXPECT_EQ(Records(), (std::vector<int>{0, 1, 3}));
  EXPECT_TRUE(c->IsIncrementalSearching());
  EXPECT_TRUE(c->ChangeIncrementalSearchText(A("第二")));
  EXPECT_EQ(Records(), (std::vector<int>{1}));
  EXPECT_EQ(c->SetIncrementalSearch(name, "x"), -1);
  c->CancelIncrementalSearch();
  EXPECT_EQ(c->GetFilteredRecordCount(), 5);
  EXPECT_THROW(c->SetFilterByText(7, "a"), EuxInvalidDataControllerOperation);
}

TEST_F(ControllerFilterTest, ValueListHoldsEachValueOnceWithBlanks) {
  std::unique_ptr<TuxFilterValueList> list(c->Filter()->CreateValueList());
  auto* values = dynamic_cast<TuxDataFilterValueList*>(list.get());
  ASSERT_NE(values, nullptr);
  values->Load(age);
  std::vector<std::string> texts;
  for (int i = 0; i < values->GetCount(); ++i) texts.push_back(values->GetItem(i).DisplayText);
  EXPECT_EQ(texts, (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "25", "30", "40"}));
  // A column with no blanks has no "(Blanks)" entry.
  c->SetValue(2, age, Variant(1));
  values->Load(age);
  EXPECT_EQ(values->IndexOfKind(fveBlanks), -1);
  EXPECT_EQ(values->IndexOfKind(fveNonBlanks), -1);
  // Loaded from the filtered values while the column is filtered for non-blanks.
  c->Filter()->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckNotEqual, Null(), "");
  c->Filter()->SetActive(true);
  values->Load(age, true, true);
  EXPECT_NE(values->IndexOfKind(fveNonBlanks), -1);
}

TEST_F(ControllerFilterTest, AdditionalCriteriaNeverRecalculateTheRows) {
  TuxDataFilterCriteria* extra = c->CreateFilter();
  extra->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckEqual, Variant(25), "25");
  extra->SetActive(true);
  EXPECT_EQ(c->GetFilteredRecordCount(), 5);
  c->RemoveItem(c->Columns[static_cast<std::size_t>(age)]);
  EXPECT_TRUE(extra->IsEmpty());
}

TEST_F(ControllerFilterTest, TheCriteriaTravelAsItemIdsThroughTheStream) {
  c->Filter()->AddItem(nullptr, c->Columns[static_cast<std::size_t>(age)], fckBetween,
                       uxMakeVarArray2(Variant(26), Variant(35)), "26;35");
  c->Filter()->SetActive(true);
  TMemoryStream s;
  c->Filter()->SaveToStream(&s);
  auto other = NewController();
  other->AddColumn("Name", TuxStringValueType::Instance());
  other->AddColumn("Age", TuxIntegerValueType::Instance());
  other->Load({{Variant("x"), Variant(27)}, {Variant("y"), Variant(50)}});
  s.SetPosition(0);
  other->Filter()->LoadFromStream(&s);
  other->Filter()->SetActive(true);
  EXPECT_EQ(other->GetFilteredRecordCount(), 1);
  EXPECT_EQ(other->Filter()->FindItemByItemLink(other->Columns[1])->ItemLink(), other->GetItemField(1));
}

// The component stream carries the published settings and, through the
// controller criteria's own data, the whole tree; a damaged description
// changes nothing and leaves no update open.
TEST_F(ControllerFilterTest, ComponentDataRoundTripAndDamagedText) {
  TuxDataFilterCriteria* f = c->Filter();
  f->SetMaxValueListCount(7);
  f->SetOptions(TuxFilterCriteriaOptions{fcoSoftNull, fcoIgnoreNull});
  f->SetPercentWildcard('*');
  f->AddItem(nullptr, c->Columns[static_cast<std::size_t>(name)], fckLike, Variant(A("第*章*")), A("第*章*"));
  f->Root()->AddItemList(fgoNotOr)->AddItem(c->Columns[static_cast<std::size_t>(age)], fckEqual, Variant(30), "30");
  TStringStream out;
  f->WriteComponentData(&out);
  const AnsiString text = out.DataString();
  EXPECT_NE(text.find("Filter.MaxValueListCount = 7"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Filter.Options = [fcoSoftNull, fcoIgnoreNull]"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Filter.PercentWildcard = '*'"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("UnderscoreWildcard"), AnsiString::npos) << text;  // default, not written

  ControllerPtr other = NewController();
  other->AddColumn("Name", TuxStringValueType::Instance());
  other->AddColumn("Age", TuxIntegerValueType::Instance());
  TuxDataFilterCriteria* g = other->Filter();
  struct Counter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
  } changes;
  g->OnChanged = TNotifyEvent(&changes, &Counter::Changed);
  TStringStream in(text);
  g->ReadComponentData(&in);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(g->LockCount(), 0);
  EXPECT_EQ(g->MaxValueListCount(), 7);
  EXPECT_EQ(g->Options(), (TuxFilterCriteriaOptions{fcoSoftNull, fcoIgnoreNull}));
  EXPECT_EQ(g->PercentWildcard(), '*');
  ASSERT_EQ(g->Root()->GetCount(), 2);
  EXPECT_EQ(g->FilterText(), f->FilterText());
  g->SetActive(true);
  other->Load({{Variant(A("第一章 春")), Variant(30)}, {Variant(A("序")), Variant(25)}});
  EXPECT_EQ(other->GetFilteredRecordCount(), 0);  // 第一章 matches the LIKE, age 30 fails NOT OR

  // Damaged texts: a value of the wrong kind, a criteria tree cut short.
  AnsiString badValue = text;
  badValue.replace(badValue.find("= 7"), 3, "= 'seven'");
  AnsiString cutTree = text.substr(0, text.find("Filter.Criteria") + 24) + "}\nend\n";
  for (const AnsiString& bad : {badValue, cutTree, AnsiString("object X: TFilterWrapper\n"), AnsiString("")}) {
    const AnsiString before = g->FilterText();
    TStringStream damaged(bad);
    EXPECT_ANY_THROW(g->ReadComponentData(&damaged)) << bad;
    EXPECT_EQ(g->LockCount(), 0);
    EXPECT_EQ(g->FilterText(), before);
    EXPECT_EQ(g->Root()->GetCount(), 2);
  }
}

}  // namespace
}  // namespace ctltest
