#include "data/uxdatafieldlists.h"

#include <gtest/gtest.h>

namespace {

TuxCustomDataField* F(int N) { return reinterpret_cast<TuxCustomDataField*>(static_cast<std::intptr_t>(N * 16)); }

class FieldListTest : public ::testing::Test {
 protected:
  FieldListTest() {
    sorting.OnChanged = [this] { ++changes; };
  }
  TuxSortingFieldList sorting;
  TuxGroupingFieldList grouping;
  int changes = 0;
};

TEST_F(FieldListTest, SortOrdersAddReplaceAndRemove) {
  sorting.SetFieldSortOrder(F(1), soAscending);
  sorting.SetFieldSortOrder(F(2), soDescending);
  sorting.SetFieldSortOrder(F(1), soDescending);
  EXPECT_EQ(sorting.SortOrderOf(F(1)), soDescending);
  sorting.SetFieldSortOrder(F(1), soNone);
  EXPECT_EQ(sorting.IndexOfField(F(1)), -1);
  EXPECT_EQ(changes, 4);
  sorting.SetFieldSortOrder(F(3), soNone);  // nothing listed, nothing changes
  sorting.SetEntryOrder(0, soDescending);
  sorting.MoveEntry(0, 0);
  EXPECT_EQ(changes, 4);
  // the grouping list keeps a field it is told to unsort, ascending
  grouping.SetFieldSortOrder(F(1), soDescending);
  grouping.SetFieldSortOrder(F(1), soNone);
  EXPECT_EQ(grouping.SortOrderOf(F(1)), soAscending);
  grouping.AddField(F(2), soAscending);
  grouping.TakeSortOrders(&sorting);
  EXPECT_EQ(grouping.SortOrderOf(F(2)), soDescending);
  EXPECT_EQ(grouping.SortOrderOf(F(1)), soAscending);
}

TEST_F(FieldListTest, SetFieldIndexAppendsOrMovesToTheEnd) {
  for (int i = 1; i <= 3; ++i) sorting.AddField(F(i), soAscending);
  sorting.SetFieldIndex(F(9), 10);
  EXPECT_EQ(sorting.IndexOfField(F(9)), 3);
  sorting.SetFieldIndex(F(1), 10);
  EXPECT_EQ(sorting.IndexOfField(F(1)), 3);
  EXPECT_EQ(sorting.Entries(0).Field, F(2));
  sorting.SetFieldIndex(F(2), -1);
  EXPECT_EQ(sorting.EntryCount(), 3);
  TuxSortingFieldList other;
  other.AddField(F(3), soDescending);
  other.AddField(F(7), soDescending);
  sorting.AppendMissing(&other);
  EXPECT_EQ(sorting.EntryCount(), 4);
  EXPECT_EQ(sorting.SortOrderOf(F(3)), soAscending);
  EXPECT_THROW(sorting.Entries(4), EListError);
  sorting.RemoveAll();
  EXPECT_EQ(sorting.EntryCount(), 0);
}

}  // namespace
