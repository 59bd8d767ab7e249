// Incremental search and locating, and the update cycle with its batched
// change notifications.
#include <gtest/gtest.h>

#include "ctltest.h"
#include "data/uxvariants.h"

namespace ctltest {
namespace {

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    name = c->AddColumn("Name", TuxStringValueType::Instance());
    c->Load({{Variant(A("张三"))}, {Variant(A("李四"))}, {Variant(A("张飞"))}, {Variant("Zoe")}, {Variant(A("王五"))}});
  }
  ControllerPtr c;
  int name = 0;
};

TEST_F(SearchTest, LocateStartsAtTheFocusAndWrapsToTheTop) {
  TuxDataControllerSearch* search = c->Search();
  c->ChangeFocusedRowIndex(1);
  EXPECT_TRUE(search->Locate(name, A("张")));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 2);  // 张飞, after the focus
  EXPECT_TRUE(search->GetSearching());
  EXPECT_EQ(search->GetSearchText(), A("张"));
  EXPECT_FALSE(search->LocateNext(true));  // no wrap-around
  EXPECT_EQ(c->GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(search->LocateNext(false));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 0);
  // From the last record, a match above the focus is found.
  c->ChangeFocusedRowIndex(4);  // moving the focus ends the search
  EXPECT_FALSE(search->GetSearching());
  EXPECT_TRUE(search->Locate(name, A("李")));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
  // The focused record itself matches: it stays.
  EXPECT_TRUE(search->Locate(name, A("李四")));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
  EXPECT_FALSE(search->Locate(name, ""));
  EXPECT_FALSE(search->Locate(name, A("赵")));
  EXPECT_THROW(search->Locate(3, "x"), EuxInvalidDataControllerOperation);
}

TEST_F(SearchTest, LocateFoldsLatinCaseOnly) {
  EXPECT_TRUE(c->Search()->Locate(name, "zO"));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
}

TEST_F(SearchTest, FindRecordIndexByTextSearchesTheFilteredRecords) {
  EXPECT_EQ(c->FindRecordIndexByText(1, name, A("张"), true, false, true), 2);
  EXPECT_EQ(c->FindRecordIndexByText(3, name, A("张"), true, false, true), -1);
  EXPECT_EQ(c->FindRecordIndexByText(3, name, A("张"), true, true, true), 0);
  EXPECT_EQ(c->FindRecordIndexByText(3, name, A("张"), true, false, false), 2);
  EXPECT_EQ(c->FindRecordIndexByText(0, name, A("张"), false, false, true), -1);
  EXPECT_EQ(c->FindRecordIndexByText(0, name, A("张飞"), false, false, true), 2);
  EXPECT_EQ(c->FindRecordIndexByText(9, name, A("张"), true, true, true), -1);
  // The argument order of the lookup editors.
  EXPECT_EQ(c->FindRecordIndexByText(3, name, true, true, true, A("张")), 0);
}

TEST_F(SearchTest, FindRecordIndexByFieldsComparesThroughOnCompare) {
  TuxDataControllerKeyLocateObject locate(c.get());
  locate.KeyFields.push_back(c->GetItemField(name));
  TuxValueDefUnboundReader reader;
  reader.SetValue(c->GetItemField(name)->ValueDefinition(), Variant(A("张飞")));
  locate.ReadLocateRecord(&reader);
  EXPECT_EQ(locate.FindRecordIndex(), 2);
  struct FirstChar : TObject {
    void Compare(TuxCustomDataController*, int, int, int, const Variant& V1, const Variant& V2, int& R) {
      R = V1.AsString().substr(0, 2) == V2.AsString().substr(0, 2) ? 0 : 1;
    }
  } first;
  c->OnCompare = TuxDataControllerCompareEvent(&first, &FirstChar::Compare);
  EXPECT_EQ(locate.FindRecordIndex(), 0);  // 张三 is as good as 张飞
}

// ---------------------------------------------------------------------------

class UpdateCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    c->AddColumn("A", TuxIntegerValueType::Instance());
    c->AddColumn("B", TuxIntegerValueType::Instance());
    c->Load({{Variant(1), Variant(2)}, {Variant(3), Variant(4)}});
    rec = std::make_unique<Recorder>(c.get());
  }
  ControllerPtr c;
  std::unique_ptr<Recorder> rec;
};

TEST_F(UpdateCycleTest, ChangesInOneUpdateReachTheOwnerOnce) {
  struct Counter : TObject {
    std::vector<std::string> events;
    void Record(TuxCustomDataController*, int R, int I) {
      events.push_back("record " + std::to_string(R) + " " + std::to_string(I));
    }
    void Data(TObject*) { events.push_back("data"); }
  } counter;
  c->OnRecordChanged = TuxDataRecordChangedEvent(&counter, &Counter::Record);
  c->OnDataChanged = TNotifyEvent(&counter, &Counter::Data);
  c->BeginUpdate();
  c->SetValue(0, 0, Variant(5));
  c->SetValue(0, 1, Variant(6));
  EXPECT_TRUE(rec->Log.empty());
  c->EndUpdate();
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxDataChangedInfo(1,-1,0)"}));
  EXPECT_EQ(counter.events, (std::vector<std::string>{"record 0 -1", "data"}));

  rec->Log.clear();
  c->BeginUpdate();
  c->SetValue(0, 0, Variant(7));
  c->SetValue(1, 0, Variant(8));
  c->SetValue(1, 0, Variant(9));
  c->EndUpdate();
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxDataChangedInfo(4,-1,1)"}));

  rec->Log.clear();
  c->SetValue(1, 1, Variant(0));
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxDataChangedInfo(0,1,1)"}));
  // A value change of a record after its change as a whole stays a record change.
  rec->Log.clear();
  c->BeginUpdate();
  c->SetValue(1, 0, Variant(1));
  c->SetValue(1, 1, Variant(1));
  c->SetValue(1, 0, Variant(2));
  c->EndUpdate();
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxDataChangedInfo(1,-1,1)"}));
}

TEST_F(UpdateCycleTest, FocusAndSelectionNotifications) {
  c->ChangeFocusedRowIndex(1);
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxFocusedRowChangedInfo(-1->1)", "TuxFocusedRecordChangedInfo"}));
  // With multiple selection the notification names the rows that changed.
  c->SetMultiSelect(true);
  ASSERT_TRUE(c->IsRowSelected(1));
  rec->Log.clear();
  c->ChangeRowSelection(1, false);
  c->ChangeRowSelection(0, true);
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxSelectionChangedInfo(1)", "TuxSelectionChangedInfo(0)"}));
  rec->Log.clear();
  c->SelectAll();
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxSelectionChangedInfo()"}));
  // Single selection: the focused row shown as not selected is a selection change of that row.
  c->SetMultiSelect(false);
  rec->Log.clear();
  c->SetFocusedSelected(false);
  EXPECT_EQ(rec->Log, (std::vector<std::string>{"TuxSelectionChangedInfo(1)"}));
}

TEST_F(UpdateCycleTest, AFailingHandlerLeavesTheLocksBalanced) {
  rec->Fail = true;
  EXPECT_THROW(c->SetValue(0, 0, Variant(9)), Exception);
  EXPECT_EQ(c->GetInfoLockCount(), 0);
  EXPECT_FALSE(c->IsDispatching());
  EXPECT_THROW(c->ChangeFocusedRowIndex(1), Exception);
  EXPECT_EQ(c->GetInfoLockCount(), 0);
  struct Thrower : TObject {
    void Filter(TuxCustomDataController*, int, bool&) { throw Exception("filter failed"); }
  } thrower;
  rec->Fail = false;
  EXPECT_THROW(c->SetOnFilterRecord(TuxDataFilterRecordEvent(&thrower, &Thrower::Filter)), Exception);
  EXPECT_EQ(c->GetInfoLockCount(), 0);
  EXPECT_TRUE(c->IsRowInfoReady());
  c->OnFilterRecord = nullptr;
  // The controller works on afterwards.
  c->Refresh();
  EXPECT_EQ(c->GetRowCount(), 2);
  c->SetValue(0, 0, Variant(10));
  EXPECT_EQ(c->GetValue(0, 0).AsInteger(), 10);
}

TEST_F(UpdateCycleTest, SortingAndGroupingEventsAndListeners) {
  struct Events : TObject {
    int sorting = 0, grouping = 0, listened = 0;
    void Sorting(TObject*) { ++sorting; }
    void Grouping(TObject*) { ++grouping; }
    void Listen(TObject*) { ++listened; }
  } e;
  c->OnSortingChanged = TNotifyEvent(&e, &Events::Sorting);
  c->OnGroupingChanged = TNotifyEvent(&e, &Events::Grouping);
  c->AddDataChangedListener(&e, TNotifyEvent(&e, &Events::Listen));
  c->ChangeSorting(0, soDescending);
  c->Groups()->ChangeGroupIndex(1, 0);
  EXPECT_EQ(e.sorting, 1);
  EXPECT_EQ(e.grouping, 1);
  e.listened = 0;
  c->SetValue(0, 0, Variant(1));
  EXPECT_EQ(e.listened, 1);
  c->RemoveDataChangedListener(&e, TNotifyEvent(&e, &Events::Listen));
  c->SetValue(0, 0, Variant(2));
  EXPECT_EQ(e.listened, 1);
}

TEST_F(UpdateCycleTest, StoredFocusIsForgottenWhenItsRecordGoes) {
  c->ChangeFocusedRowIndex(1);
  c->StoreFocus();
  EXPECT_TRUE(c->IsFocusStored());
  c->ChangeFocusedRowIndex(0);
  c->RestoreStoredFocus();
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
  rec->Log.clear();
  c->DeleteRecord(1);
  EXPECT_FALSE(c->IsFocusStored());
  EXPECT_TRUE(rec->Has("TuxBookmarkChangedInfo"));
}

}  // namespace
}  // namespace ctltest
