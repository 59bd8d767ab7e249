#include "data/uxdatasort.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "data/tests/datatest.h"
#include "data/uxvariants.h"

namespace {

using namespace datatest;

int CompareVariantItems(void*, void* A, void* B) {
  return uxCompareVariants(*static_cast<Variant*>(A), *static_cast<Variant*>(B));
}

int Capricious(void* Context, void*, void*) {
  auto* rng = static_cast<std::mt19937*>(Context);
  return static_cast<int>((*rng)() % 3) - 1;
}

TEST(QuickSort, SortsMixedValuesAndStaysInRangeWhateverTheComparisonSays) {
  std::mt19937 rng(99);
  std::vector<Variant> values;
  for (int i = 0; i < 10000; ++i) {
    const int n = static_cast<int>(rng() % 100);
    switch (rng() % 4) {
      case 0: values.push_back(Variant(n)); break;
      case 1: values.push_back(Variant(kChapter + IntToStr(n))); break;
      case 2: values.push_back(n % 10 == 0 ? Null() : Variant(n / 3.0)); break;
      default: values.push_back(VarArrayOf({Variant(n % 2)})); break;
    }
  }
  std::vector<void*> items;
  for (Variant& v : values) items.push_back(&v);
  uxQuickSortList(items.data(), 0, static_cast<int>(items.size()) - 1, CompareVariantItems, nullptr);
  for (std::size_t i = 1; i < items.size(); ++i)
    ASSERT_LE(uxCompareVariants(*static_cast<Variant*>(items[i - 1]), *static_cast<Variant*>(items[i])), 0);
  // a comparison that answers at random: the sort ends and only permutes
  std::vector<void*> shuffled = items;
  uxQuickSortList(shuffled.data(), 0, static_cast<int>(shuffled.size()) - 1, Capricious, &rng);
  std::sort(shuffled.begin(), shuffled.end());
  std::vector<void*> sorted = items;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(shuffled, sorted);
}

TEST(CompareHelpers, EntriesAndPointers) {
  TuxDataSelectionEntry a{0, 5, 2}, b{0, 1, 7};
  EXPECT_LT(uxCompareSelectionEntries(&a, &b), 0);
  EXPECT_GT(uxComparePointers(reinterpret_cast<void*>(9), reinterpret_cast<void*>(3)), 0);
  EXPECT_LT(uxCompareKeyInfos(Null(), Variant(1)), 0);
}

// Two grouping levels over a flat group list.
class Groups : public TuxSortBySummarySite {
 public:
  int GetGroupCount() override { return static_cast<int>(list.size()); }
  TuxDataGroupInfo* GetGroup(int I) override { return list[static_cast<std::size_t>(I)]; }
  void SetGroup(int I, TuxDataGroupInfo* G) override { list[static_cast<std::size_t>(I)] = G; }
  int GetGroupingFieldCount() override { return 2; }
  int GetSortingItemIndex(int Level) override { return Level == 1 ? 0 : -1; }
  TuxDataSortOrder GetGroupingFieldSortOrder(int) override { return soAscending; }
  int GetSortingBySummaryItemIndex() override { return summaryItem; }
  TuxDataSortOrder GetSortingBySummaryOrder() override { return soDescending; }
  void RecalcRowIndexes() override { ++recalcs; }

  TuxDataGroupInfo* Add(int Level, const Variant& Total, const char* Name) {
    owned.push_back(std::make_unique<TuxDataGroupInfo>());
    TuxDataGroupInfo* g = owned.back().get();
    g->Level = Level;
    g->SummaryValues = VarArrayOf({Total});
    names[g] = Name;
    list.push_back(g);
    return g;
  }
  AnsiString Order() {
    AnsiString r;
    for (TuxDataGroupInfo* g : list) r += names[g];
    return r;
  }

  std::vector<std::unique_ptr<TuxDataGroupInfo>> owned;
  std::vector<TuxDataGroupInfo*> list;
  std::map<TuxDataGroupInfo*, AnsiString> names;
  int summaryItem = -1;
  int recalcs = 0;
};

TEST(SortBySummary, OnlyTheSortedLevelIsReordered) {
  Groups g;
  TuxDataGroupInfo* a = g.Add(0, Variant(100), "A");
  g.Add(1, Variant(5), "a1");
  g.Add(1, Null(), "a2");
  g.Add(1, Variant(9), "a3");
  TuxDataGroupInfo* b = g.Add(0, Variant(1), "B");
  g.Add(1, Variant(2), "b1");
  g.Add(1, Variant(1), "b2");
  TuxSortBySummaryHelper helper(&g);
  helper.SortGroups();
  // ascending: Null totals first; the first level keeps its order
  EXPECT_EQ(g.Order(), "Aa2a1a3Bb2b1");
  EXPECT_EQ(a->Begin, 1);
  EXPECT_EQ(a->End, 3);
  EXPECT_EQ(b->Begin, 5);
  EXPECT_EQ(b->End, 6);
  EXPECT_EQ(g.recalcs, 1);
  // the controller's summary sort order: descending, Null totals last
  g.summaryItem = 0;
  helper.SortGroups();
  EXPECT_EQ(g.Order(), "Aa3a1a2Bb1b2");
  Groups empty;
  TuxSortBySummaryHelper none(&empty);
  none.SortGroups();
  EXPECT_EQ(empty.recalcs, 0);
}

}  // namespace
