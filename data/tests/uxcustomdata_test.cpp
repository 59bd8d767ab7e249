// The unbound data controller: records, rows, sorting, grouping against a
// reference grouping, expanding, focus and selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "ctltest.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"

namespace ctltest {
namespace {

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c = NewController();
    name = c->AddColumn("Name", TuxStringValueType::Instance());
    age = c->AddColumn("Age", TuxIntegerValueType::Instance());
  }
  void LoadPeople(const std::vector<std::pair<const char*, int>>& People) {
    std::vector<std::vector<Variant>> rows;
    for (const auto& p : People) rows.push_back({Variant(A(p.first)), Variant(p.second)});
    c->Load(rows);
  }
  std::vector<AnsiString> Names() { return c->ColumnInRowOrder(name); }
  std::vector<AnsiString> U(std::initializer_list<const char*> Utf8) {
    std::vector<AnsiString> r;
    for (const char* s : Utf8) r.push_back(A(s));
    return r;
  }
  ControllerPtr c;
  int name = 0, age = 0;
};

TEST_F(ControllerTest, RecordsHoldTheirValuesAndIndexesAreChecked) {
  LoadPeople({{"张三", 30}, {"李四", 25}});
  EXPECT_EQ(c->GetRecordCount(), 2);
  EXPECT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(c->GetValue(1, age).AsInteger(), 25);
  EXPECT_EQ(c->GetDisplayText(0, name), A("张三"));
  // A record inserted at the end position is accepted.
  EXPECT_EQ(c->InsertRecord(2), 2);
  EXPECT_TRUE(c->GetValue(2, name).IsNull());
  try {
    c->GetValue(3, name);
    FAIL();
  } catch (const EuxInvalidDataControllerOperation& e) {
    EXPECT_STREQ(e.what(), "RecordIndex out of range");
  }
  try {
    c->GetValue(0, 5);
    FAIL();
  } catch (const EuxInvalidDataControllerOperation& e) {
    EXPECT_STREQ(e.what(), "ItemIndex out of range");
  }
  try {
    c->GetRowInfo(c->GetRowCount());
    FAIL();
  } catch (const EuxInvalidDataControllerOperation& e) {
    EXPECT_STREQ(e.what(), "RowIndex out of range");
  }
  EXPECT_THROW(c->InsertRecord(5), EuxInvalidDataControllerOperation);
  EXPECT_THROW(c->AddItem(c->Columns[0]), EuxInvalidDataControllerOperation);
}

TEST_F(ControllerTest, NavigationStaysInsideTheRows) {
  LoadPeople({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}});
  c->GotoFirst();
  c->GotoPrev();
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_TRUE(c->IsBOF());
  c->ChangeFocusedRowIndex(2);
  c->MoveBy(-5);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  c->GotoLast();
  EXPECT_TRUE(c->IsEOF());
  c->GotoNext();
  EXPECT_EQ(c->GetFocusedRowIndex(), 3);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
}

TEST_F(ControllerTest, FocusStaysOnItsRecordWhenRecordsAreInsertedOrDeletedBeforeIt) {
  LoadPeople({{"a", 1}, {"b", 2}, {"c", 3}});
  c->ChangeFocusedRecordIndex(2);
  c->InsertRecord(0);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), name).AsString(), "c");
  c->DeleteRecord(0);
  c->DeleteRecord(0);
  EXPECT_EQ(c->GetValue(c->GetFocusedRecordIndex(), name).AsString(), "c");
}

TEST_F(ControllerTest, SortsByOneAndTwoColumnsWithEqualKeysInRecordOrder) {
  LoadPeople({{"b", 2}, {"a", 2}, {"c", 1}, {"a", 1}, {"b", 2}});
  c->ChangeSorting(age, soAscending);
  // Equal ages keep record order: 2 (c), 3 (a); then 0 (b), 1 (a), 4 (b).
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "a", "b", "a", "b"}));
  c->ChangeSorting(name, soDescending);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "a", "b", "b", "a"}));
  EXPECT_EQ(c->GetSortingItemCount(), 2);
  EXPECT_EQ(c->GetItemSortingIndex(name), 1);
  c->ChangeItemSortingIndex(name, 0);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "b", "b", "a", "a"}));
  EXPECT_EQ(c->GetFilteredRecordIndex(1), 0);  // b, age 2, record 0 before record 4
  c->ClearSorting(false);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"b", "a", "c", "a", "b"}));
}

TEST_F(ControllerTest, TextSortsOrdinallyOrByTheChineseCollationWithAnsiSort) {
  // Byte order of GBK: 丂 阿 澳 张 中 亍; pinyin: 阿 澳 亍 丂 张 中.
  LoadPeople({{"张", 1}, {"亍", 2}, {"阿", 3}, {"中", 4}, {"丂", 5}, {"澳", 6}});
  c->ChangeSorting(name, soAscending);
  EXPECT_EQ(Names(), U({"丂", "阿", "澳", "张", "中", "亍"}));
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoAnsiSort});
  EXPECT_EQ(Names(), U({"阿", "澳", "亍", "丂", "张", "中"}));
  c->ChangeSorting(name, soDescending);
  EXPECT_EQ(Names(), U({"中", "张", "丂", "亍", "澳", "阿"}));
}

TEST_F(ControllerTest, CaseInsensitiveSortFoldsLatinLettersOnly) {
  LoadPeople({{"b", 1}, {"A", 2}, {"a", 3}, {"B", 4}});
  c->ChangeSorting(name, soAscending);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"A", "B", "a", "b"}));
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoCaseInsensitive});
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"A", "a", "b", "B"}));
}

TEST_F(ControllerTest, OnCompareDecidesTheOrder) {
  LoadPeople({{"aaa", 1}, {"b", 2}, {"cc", 3}});
  struct ByLength : TObject {
    void Compare(TuxCustomDataController*, int, int, int, const Variant& V1, const Variant& V2, int& R) {
      R = static_cast<int>(V1.AsString().size()) - static_cast<int>(V2.AsString().size());
    }
  } byLength;
  c->OnCompare = TuxDataControllerCompareEvent(&byLength, &ByLength::Compare);
  c->ChangeSorting(name, soAscending);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"b", "cc", "aaa"}));
}

TEST_F(ControllerTest, CollapsingTheFocusedGroupFocusesItsGroupRow) {
  LoadPeople({{"a", 1}, {"b", 1}, {"c", 2}});
  c->Groups()->ChangeGroupIndex(age, 0);
  c->Groups()->FullExpand();
  // rows: [1] a b [2] c
  ASSERT_EQ(c->GetRowCount(), 5);
  c->ChangeFocusedRowIndex(2);
  EXPECT_EQ(c->GetFocusedRecordIndex(), 1);
  c->Groups()->ChangeExpanding(0, false, false);
  EXPECT_EQ(c->GetRowCount(), 3);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_EQ(c->GetRowInfo(0).Level, 0);
  c->Groups()->ChangeExpanding(0, true, false);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_EQ(c->GetRowInfo(c->GetFocusedRowIndex()).Level, 0);
  // A data row hidden in a collapsed group has no row until it is made visible.
  c->Groups()->ChangeExpanding(3, false, false);
  EXPECT_EQ(c->GetRowIndexByRecordIndex(2, false), -1);
  EXPECT_EQ(c->GetRowIndexByRecordIndex(2, true), 4);
}

TEST_F(ControllerTest, GroupsAlwaysExpandedShowEveryDataRow) {
  LoadPeople({{"a", 1}, {"b", 1}, {"c", 2}});
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoGroupsAlwaysExpanded});
  c->Groups()->ChangeGroupIndex(age, 0);
  EXPECT_EQ(c->GetRowCount(), 5);
  c->Groups()->ChangeExpanding(0, false, false);
  c->Groups()->FullCollapse();
  EXPECT_EQ(c->GetRowCount(), 5);
  EXPECT_TRUE(c->GetRowInfo(3).Expanded);
}

TEST_F(ControllerTest, SaveExpandingKeepsExpandedGroupsAcrossARefresh) {
  LoadPeople({{"a", 1}, {"b", 2}, {"c", 3}});
  c->Groups()->ChangeGroupIndex(age, 0);
  ASSERT_EQ(c->GetRowCount(), 3);
  c->Groups()->ChangeExpanding(1, true, false);
  EXPECT_EQ(c->GetRowCount(), 4);
  c->SetValue(0, name, Variant("z"));  // a refresh of the rows
  EXPECT_EQ(c->GetRowCount(), 4);
  EXPECT_TRUE(c->GetRowInfo(1).Expanded);
  c->SetOptions(c->GetOptions() - TuxDataControllerOptions{dcoSaveExpanding});
  EXPECT_EQ(c->GetRowCount(), 3);
}

TEST_F(ControllerTest, FocusTopRowAfterSortingClearsTheSelection) {
  LoadPeople({{"b", 1}, {"a", 2}, {"c", 3}});
  c->SetOptions(c->GetOptions() + TuxDataControllerOptions{dcoFocusTopRowAfterSorting});
  c->SetMultiSelect(true);
  c->ChangeFocusedRowIndex(2);
  c->SelectRows(1, 2);
  c->ChangeSorting(name, soAscending);
  EXPECT_EQ(c->GetFocusedRowIndex(), 0);
  EXPECT_EQ(c->GetSelectedCount(), 0);
}

TEST_F(ControllerTest, SelectionInSingleAndMultipleModes) {
  LoadPeople({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}, {"f", 6}});
  EXPECT_EQ(c->GetSelectedCount(), 0);
  c->ChangeFocusedRowIndex(1);
  EXPECT_EQ(c->GetSelectedCount(), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(0), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(1), -1);
  c->SetFocusedSelected(false);
  EXPECT_EQ(c->GetSelectedCount(), 0);
  c->ChangeRowSelection(3, true);  // nothing without multiple selection
  EXPECT_FALSE(c->IsRowSelected(3));

  c->SetMultiSelect(true);  // selects the focused row
  EXPECT_EQ(c->GetSelectedCount(), 1);
  EXPECT_TRUE(c->IsRowSelected(1));
  c->SelectRows(5, 2);
  EXPECT_EQ(c->GetSelectedCount(), 5);
  for (int row = 1; row <= 5; ++row) EXPECT_TRUE(c->IsRowSelected(row));
  c->SetSelectionAnchor(2);
  c->SelectFromAnchor(0, false);
  EXPECT_EQ(c->GetSelectedCount(), 3);
  EXPECT_EQ(c->GetSelectionAnchorRowIndex(), 2);
  // Deleting the entry of the anchor row leaves no anchor.
  c->ChangeRowSelection(2, false);
  EXPECT_FALSE(c->IsSelectionAnchorExist());
  EXPECT_THROW(c->SetSelectionAnchor(6), EuxInvalidDataControllerOperation);
  c->SetMultiSelect(false);
  EXPECT_EQ(c->DataControllerInfo()->GetSelectedCount(), 0);
}

TEST_F(ControllerTest, SelectedRecordsFollowTheirRowsWhenResorted) {
  LoadPeople({{"c", 1}, {"a", 2}, {"b", 3}});
  c->SetMultiSelect(true);
  c->ChangeRowSelection(0, true);  // record 0, "c"
  c->ChangeSorting(name, soAscending);
  ASSERT_EQ(c->GetSelectedCount(), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(0), 2);
  EXPECT_EQ(c->GetRowInfo(2).RecordIndex, 0);
}

TEST_F(ControllerTest, ForEachRowVisitsRowsOrSelectedRows) {
  LoadPeople({{"a", 1}, {"b", 2}, {"c", 3}});
  struct Visitor : TObject {
    std::vector<int> rows;
    void Visit(int Row, const TuxRowInfo&) { rows.push_back(Row); }
  } v;
  c->ForEachRow(false, TuxDataControllerEachRowProc(&v, &Visitor::Visit));
  EXPECT_EQ(v.rows, (std::vector<int>{0, 1, 2}));
  c->SetMultiSelect(true);
  c->SelectRows(1, 2);
  v.rows.clear();
  c->ForEachRow(true, TuxDataControllerEachRowProc(&v, &Visitor::Visit));
  EXPECT_EQ(v.rows, (std::vector<int>{1, 2}));
}

// ---------------------------------------------------------------------------
// Grouping against a reference grouping

struct RowShape {
  int Level;
  int Record;
  bool operator==(const RowShape&) const = default;
};

class GroupingReferenceTest : public ::testing::TestWithParam<int> {};

TEST_P(GroupingReferenceTest, EveryGroupRowCoversTheRecordsOfItsGroup) {
  const int levels = GetParam();
  auto c = NewController();
  std::vector<int> keys;
  for (int k = 0; k < 4; ++k) keys.push_back(c->AddColumn(AnsiString("K") + std::to_string(k).c_str(), TuxIntegerValueType::Instance()));
  const int value = c->AddColumn("V", TuxIntegerValueType::Instance());
  std::mt19937 rng(20240611u + static_cast<unsigned>(levels));
  const int n = 120;
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < n; ++i) {
    std::vector<Variant> row;
    for (int k = 0; k < 4; ++k) row.push_back(rng() % 7 == 0 ? Null() : Variant(static_cast<int>(rng() % (2 + k))));
    row.push_back(Variant(static_cast<int>(rng() % 50)));
    rows.push_back(row);
  }
  c->Load(rows);
  for (int l = 0; l < levels; ++l) c->Groups()->ChangeGroupIndex(keys[static_cast<std::size_t>(l)], l);
  c->ChangeSorting(value, soDescending);
  c->Groups()->FullExpand();

  // Reference: records sorted by the grouping keys (Null first), then V
  // descending, then record index; a group row wherever a key prefix changes.
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  auto cmp = [&](int a, int b) {
    for (int l = 0; l < levels; ++l) {
      const int r = uxCompareVariants(rows[a][l], rows[b][l]);
      if (r != 0) return r < 0;
    }
    const int r = uxCompareVariants(rows[a][4], rows[b][4]);
    if (r != 0) return r > 0;
    return a < b;
  };
  std::sort(order.begin(), order.end(), cmp);
  std::vector<RowShape> expected;
  std::vector<std::vector<int>> groupRecords;  // per expected group row
  std::vector<std::size_t> groupRowAt;         // expected row of each group
  for (std::size_t p = 0; p < order.size(); ++p) {
    int first = levels;
    if (p == 0) {
      first = 0;
    } else {
      for (int l = 0; l < levels; ++l)
        if (uxCompareVariants(rows[order[p - 1]][l], rows[order[p]][l]) != 0) {
          first = l;
          break;
        }
    }
    for (int l = first; l < levels; ++l) {
      expected.push_back({l, order[p]});
      groupRowAt.push_back(expected.size() - 1);
      std::vector<int> members;
      for (std::size_t q = p; q < order.size(); ++q) {
        bool same = true;
        for (int m = 0; m <= l; ++m) same = same && uxCompareVariants(rows[order[q]][m], rows[order[p]][m]) == 0;
        if (!same) break;
        members.push_back(order[q]);
      }
      groupRecords.push_back(members);
    }
    expected.push_back({levels, order[p]});
  }

  ASSERT_EQ(c->GetRowCount(), static_cast<int>(expected.size()));
  for (int row = 0; row < c->GetRowCount(); ++row) {
    const TuxRowInfo info = c->GetRowInfo(row);
    ASSERT_EQ((RowShape{info.Level, info.RecordIndex}), expected[static_cast<std::size_t>(row)]) << "row " << row;
  }
  for (std::size_t g = 0; g < groupRowAt.size(); ++g) {
    const int row = static_cast<int>(groupRowAt[g]);
    std::vector<int> records;
    c->Groups()->CollectRowRecords(records, row);
    EXPECT_EQ(records, groupRecords[g]) << "group row " << row;
    // Every data row of the group, at any depth, lies inside it.
    for (int r = row + 1; r < c->GetRowCount() && c->GetRowInfo(r).Level > c->GetRowInfo(row).Level; ++r)
      EXPECT_TRUE(c->Groups()->IsFocusedRowInGroup(r, row)) << r << " in " << row;
  }
  // A group above the deepest level spans its whole subtree in the group list.
  TuxDataGroups* tree = c->Groups()->DataGroups();
  for (int g = 0; g < tree->GetGroupCount(); ++g)
    if (!tree->IsDeepest(g)) EXPECT_EQ(tree->GetGroup(g)->End, tree->GetSubtreeEnd(g)) << "group " << g;
  // The last data row lies in the last top-level group and in no other.
  const int last = c->GetRowCount() - 1;
  int lastTop = -1;
  for (std::size_t g = 0; g < groupRowAt.size(); ++g)
    if (expected[groupRowAt[g]].Level == 0) lastTop = static_cast<int>(groupRowAt[g]);
  EXPECT_TRUE(c->Groups()->IsFocusedRowInGroup(last, lastTop));
  if (lastTop > 0) EXPECT_FALSE(c->Groups()->IsFocusedRowInGroup(last, 0));

  // Collapsing all leaves one row per top-level group.
  c->Groups()->FullCollapse();
  EXPECT_EQ(c->GetRowCount(), c->Groups()->DataGroups()->GetTopLevelGroupCount());
  EXPECT_EQ(c->Groups()->GetChildCount(-1), c->GetRowCount());
}

INSTANTIATE_TEST_SUITE_P(Levels, GroupingReferenceTest, ::testing::Values(1, 2, 3, 4));

TEST_F(ControllerTest, GroupChildrenAndLevelsOfTheTree) {
  LoadPeople({{"a", 1}, {"b", 1}, {"c", 2}});
  c->Groups()->ChangeGroupIndex(age, 0);
  c->Groups()->ChangeGroupIndex(name, 1);
  EXPECT_EQ(c->Groups()->GetGroupedItemCount(), 2);
  EXPECT_EQ(c->Groups()->GetGroupedItemIndex(1), name);
  TuxDataGroups* groups = c->Groups()->DataGroups();
  EXPECT_EQ(groups->GetChildCount(-1), 2);
  const int first = groups->GetChildIndex(-1, 0);
  EXPECT_EQ(groups->GetLevel(first), 0);
  EXPECT_EQ(groups->GetChildCount(first), 2);
  // With the outer groups collapsed, the inner groups share their row.
  EXPECT_EQ(c->GetRowCount(), 2);
  EXPECT_EQ(groups->GetGroup(groups->GetChildIndex(first, 1))->RowIndex, 0);
  c->Groups()->ChangeGroupIndex(age, -1);
  EXPECT_EQ(c->Groups()->GetGroupedItemCount(), 1);
  c->Groups()->ClearGrouping();
  EXPECT_EQ(c->GetRowCount(), 3);
}

TEST_F(ControllerTest, ExpansionMemoryRefusesAFieldTwice) {
  TuxDataExpandingInfos infos;
  infos.AddField(c->GetItemField(0));
  EXPECT_THROW(infos.AddField(c->GetItemField(0)), EuxInvalidDataControllerOperation);
  TuxDataSelection selection(c.get());
  selection.SetCount(3);
  ASSERT_EQ(selection.GetEntryCount(), 3);
  EXPECT_EQ(selection.GetEntry(2).RowIndex, 2);
}

}  // namespace
}  // namespace ctltest
