// Editing, posting, cancelling, inserting, appending and deleting through the
// data controller, with the new item row.
#include <gtest/gtest.h>

#include "ctltest.h"
#include "data/uxvariants.h"

namespace ctltest {
namespace {

class EditingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    name = c->AddColumn("Name", TuxStringValueType::Instance());
    n = c->AddColumn("N", TuxIntegerValueType::Instance());
    c->Load({{Variant("a"), Variant(1)}, {Variant("b"), Variant(2)}, {Variant("c"), Variant(3)}});
  }
  std::vector<AnsiString> Names() { return c->ColumnInRowOrder(name); }
  ControllerPtr c;
  int name = 0, n = 0;
};

TEST_F(EditingTest, EditAndPostAnExistingRecord) {
  c->ChangeFocusedRowIndex(1);
  EXPECT_EQ(c->GetEditState(), 0);
  EXPECT_TRUE(c->SetEditValue(name, Variant("B"), evsValue));  // starts the edit
  EXPECT_EQ(c->GetEditState() & (dceEdit | dceModified | dceChanging), dceEdit | dceModified | dceChanging);
  EXPECT_EQ(c->GetEditValue(name, evsValue).AsString(), "B");
  c->Post();
  EXPECT_EQ(c->GetEditState(), 0);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a", "B", "c"}));
  EXPECT_EQ(c->GetEditOperations(), dceopAppend | dceopDelete | dceopEdit | dceopInsert | dceopShowEditor);
}

TEST_F(EditingTest, AReadOnlyItemStoresNothing) {
  c->ReadOnlyItem = n;
  c->ChangeFocusedRowIndex(0);
  EXPECT_FALSE(c->SetEditValue(n, Variant(9), evsValue));
  EXPECT_EQ(c->GetValue(0, n).AsInteger(), 1);
}

TEST_F(EditingTest, ImmediatePostPostsEachValue) {
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoImmediatePost});
  c->ChangeFocusedRowIndex(0);
  EXPECT_TRUE(c->SetEditValue(n, Variant(9), evsValue));
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(c->GetValue(0, n).AsInteger(), 9);
}

TEST_F(EditingTest, TheEditedRecordKeepsItsRowUntilPosted) {
  c->ChangeSorting(name, soAscending);
  c->ChangeFocusedRowIndex(0);
  c->SetEditValue(name, Variant("z"), evsValue);
  c->Refresh();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"z", "b", "c"}));
  c->Post();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"b", "c", "z"}));
  EXPECT_EQ(c->GetFocusedRowIndex(), 2);  // the focus follows the record
}

TEST_F(EditingTest, MovingTheFocusPostsTheEdit) {
  c->ChangeFocusedRowIndex(0);
  c->SetEditValue(name, Variant("x"), evsValue);
  c->ChangeFocusedRowIndex(2);
  EXPECT_FALSE(c->IsEditing());
  EXPECT_EQ(c->GetValue(0, name).AsString(), "x");
}

TEST_F(EditingTest, InsertAndAppendThenPostOrCancel) {
  c->ChangeFocusedRowIndex(1);
  c->Insert();
  EXPECT_EQ(c->GetRecordCount(), 4);
  c->SetEditValue(name, Variant("i"), evsValue);
  c->Post();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a", "i", "b", "c"}));
  c->Append();
  EXPECT_EQ(c->GetFocusedRowIndex(), 4);
  c->SetEditValue(name, Variant("e"), evsValue);
  c->Cancel();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a", "i", "b", "c"}));
  // Cancelling on the last row of a shrinking list focuses the new last row.
  EXPECT_EQ(c->GetFocusedRowIndex(), 3);
  struct Events : TObject {
    std::vector<std::string> log;
    void Before(TuxCustomDataController*) { log.push_back("before"); }
    void After(TuxCustomDataController*) { log.push_back("after"); }
  } e;
  c->OnBeforePost = TuxDataControllerNotifyEvent(&e, &Events::Before);
  c->OnAfterPost = TuxDataControllerNotifyEvent(&e, &Events::After);
  c->Append();
  c->SetEditValue(n, Variant(7), evsValue);
  c->Post();
  EXPECT_EQ(e.log, (std::vector<std::string>{"before", "after"}));
  EXPECT_EQ(c->GetValue(4, n).AsInteger(), 7);
}

TEST_F(EditingTest, DeleteFocusedSelectedAndGroupRows) {
  c->Load({{Variant("a"), Variant(1)}, {Variant("b"), Variant(1)}, {Variant("c"), Variant(2)},
           {Variant("d"), Variant(2)}, {Variant("e"), Variant(3)}});
  c->ChangeFocusedRowIndex(1);
  c->DeleteFocused();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a", "c", "d", "e"}));
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), name).AsString(), "c");  // the next row
  c->SetMultiSelect(true);
  c->ClearSelection();
  c->SelectRows(2, 3);
  c->DeleteSelection();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a", "c"}));
  EXPECT_EQ(c->GetSelectedCount(), 0);
  // A group row deletes every record of its group once.
  c->Load({{Variant("a"), Variant(1)}, {Variant("b"), Variant(1)}, {Variant("c"), Variant(2)}});
  c->Groups()->ChangeGroupIndex(n, 0);
  c->ChangeFocusedRowIndex(0);
  ASSERT_EQ(c->GetRowInfo(0).Level, 0);
  c->DeleteFocused();
  EXPECT_EQ(c->GetRecordCount(), 1);
  EXPECT_EQ(c->GetValue(0, name).AsString(), "c");
  std::vector<int> twice{0, 0};
  c->DeleteRecords(twice);
  EXPECT_EQ(c->GetRecordCount(), 0);
}

TEST_F(EditingTest, TheNewItemRowInsertsThroughAnInternalRecord) {
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoInsertOnNewItemRowFocusing});
  c->SetNewItemRowEnabled(true);
  c->ChangeFocusedRowIndex(1);
  c->SetNewItemRowFocused(true);
  EXPECT_TRUE(c->GetNewItemRowFocused());
  EXPECT_EQ(c->GetFocusedRowIndex(), -1);
  EXPECT_TRUE(c->GetEditState() & dceInsert);
  const int record = c->GetEditingRecordIndex();
  EXPECT_LT(record, 0);
  EXPECT_EQ(record, c->GetNewItemRecordIndex());
  EXPECT_EQ(c->GetRecordCount(), 3);  // nothing appended yet
  c->SetEditValue(name, Variant("new"), evsValue);
  c->SetNewItemRowFocused(false);  // leaving it posts
  EXPECT_EQ(c->GetRecordCount(), 4);
  EXPECT_EQ(c->GetValue(3, name).AsString(), "new");
  EXPECT_FALSE(c->IsEditing());
  // Without editing, the new item row shows no values.
  c->SetOptions(c->GetOptions() - TuxDataControllerOptions{dcoInsertOnNewItemRowFocusing});
  c->SetNewItemRowFocused(true);
  EXPECT_TRUE(c->GetEditValue(name, evsValue).IsNull());
  c->SetNewItemRowFocused(false);
  EXPECT_EQ(c->GetRecordCount(), 4);
}

TEST_F(EditingTest, CopyRecordCopiesEveryValue) {
  c->CopyRecord(0, 2);
  EXPECT_EQ(c->GetValue(2, name).AsString(), "a");
  EXPECT_EQ(c->GetValue(2, n).AsInteger(), 1);
}

}  // namespace
}  // namespace ctltest
