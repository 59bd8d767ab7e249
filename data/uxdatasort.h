// Ordering the groups of a level by one of that level's group summaries, the
// quick sort of record and group lists, and the small comparison functions
// handed to list sorts.
#pragma once
#include <utility>
#include <vector>

#include "data/uxdatastorage.h"
#include "platform/rtl/object.h"
#include "platform/rtl/variants.h"

enum TuxDataSortOrder : Byte { soNone, soAscending, soDescending };

// One group of the grouped rows: its level, the range of its children (for
// the deepest level the positions of its records in the record list, for
// the others the positions of its child groups in the flat group list) and
// its summary values (an array, one per group summary item of its level).
class TuxDataGroupInfo : public TObject {
  PV_CLASS(TuxDataGroupInfo, TObject)
 public:
  int RowIndex = 0;
  bool Expanded = false;
  int Level = 0;
  int Begin = 0;
  int End = 0;
  Variant SummaryValues;
};

// What the summary helper needs of the controller's row information: the flat
// group list (every group followed by its subgroups) and how each level is
// to be ordered.
class TuxSortBySummarySite {
 public:
  virtual ~TuxSortBySummarySite() = default;
  virtual int GetGroupCount() = 0;
  virtual TuxDataGroupInfo* GetGroup(int Index) = 0;
  virtual void SetGroup(int Index, TuxDataGroupInfo* Group) = 0;
  virtual int GetGroupingFieldCount() = 0;
  // The index of the level's group summary item that orders it, -1 when none.
  virtual int GetSortingItemIndex(int Level) = 0;
  // The sort order of the level's grouping field.
  virtual TuxDataSortOrder GetGroupingFieldSortOrder(int Level) = 0;
  // The controller's summary sort item (-1 when none) and its order.
  virtual int GetSortingBySummaryItemIndex() = 0;
  virtual TuxDataSortOrder GetSortingBySummaryOrder() = 0;
  virtual void RecalcRowIndexes() = 0;
};

class TuxDataGroupNode : public TObject {
  PV_CLASS(TuxDataGroupNode, TObject)
 public:
  TuxDataGroupNode(TuxDataGroupNode* AParent, TuxDataGroupInfo* AGroupInfo) : FParent(AParent), FGroupInfo(AGroupInfo) {}
  ~TuxDataGroupNode() override;
  TuxDataGroupNode* AddChild(TuxDataGroupInfo* GroupInfo);
  TuxDataGroupNode* Child(int Index) const { return FChildren[static_cast<std::size_t>(Index)]; }
  int ChildCount() const { return static_cast<int>(FChildren.size()); }
  TuxDataGroupInfo* GroupInfo() const { return FGroupInfo; }
  TuxDataGroupNode* Parent() const { return FParent; }
  std::vector<TuxDataGroupNode*>& Children() { return FChildren; }

 private:
  TuxDataGroupNode* FParent;
  TuxDataGroupInfo* FGroupInfo;  // not owned; none for the root
  std::vector<TuxDataGroupNode*> FChildren;  // owned
};

class TuxSortBySummaryInfo : public TObject {
  PV_CLASS(TuxSortBySummaryInfo, TObject)
 public:
  TuxDataSortOrder SortOrder = soAscending;
  int SummaryItemIndex = -1;
};

class TuxSortBySummaryHelper : public TObject {
  PV_CLASS(TuxSortBySummaryHelper, TObject)
 public:
  explicit TuxSortBySummaryHelper(TuxSortBySummarySite* AInfo) : FInfo(AInfo) {}
  ~TuxSortBySummaryHelper() override;
  // Reorders the groups; nothing when there are none.
  void SortGroups();

 private:
  int BuildTree(TuxDataGroupNode* Node, int Index, int Depth);
  void SortLevel(TuxDataGroupNode* Node, int Depth);
  void WriteBack(TuxDataGroupNode* Node, int& Position);
  void Clear();

  TuxSortBySummarySite* FInfo;  // not owned
  TuxDataGroupNode* FRoot = nullptr;
  std::vector<TuxSortBySummaryInfo*> FSortInfos;  // owned
};

// Sorts Items[L..R] in place with Compare(A, B) giving a three-way result:
// the middle entry is the pivot, both cursors move inward, the left part is
// sorted recursively and the right part by looping. Not stable. Whatever
// Compare answers, the scans stay inside L..R.
template <class T, class Compare>
void uxQuickSort(T* Items, int L, int R, const Compare& Cmp) {
  while (L < R) {
    int i = L, j = R;
    const T pivot = Items[L + (R - L) / 2];
    do {
      while (i < R && Cmp(Items[i], pivot) < 0) ++i;
      while (j > L && Cmp(Items[j], pivot) > 0) --j;
      if (i <= j) {
        std::swap(Items[i], Items[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (L < j) uxQuickSort(Items, L, j, Cmp);
    L = i;
  }
}

// Three-way comparison of two list entries with a context.
using TuxListCompareFunc = int (*)(void* Context, void* A, void* B);
// uxQuickSort of a pointer list.
void uxQuickSortList(void** Items, int L, int R, TuxListCompareFunc Compare, void* Context);

// Two value definitions by the item index of their fields (the link objects
// answer the index through this hook, set by the data controller).
using TuxFieldIndexOf = int (*)(TObject* LinkObject);
extern TuxFieldIndexOf uxFieldIndexOfLinkObject;
int uxCompareValueDefsByField(TuxValueDef* A, TuxValueDef* B);
// Two selection entries by their row index (entries begin with Level,
// RecordIndex, RowIndex as 32-bit integers).
struct TuxDataSelectionEntry {
  int Level;
  int RecordIndex;
  int RowIndex;
};
int uxCompareSelectionEntries(const void* A, const void* B);
// Two list entries by their value as integers.
int uxComparePointers(const void* A, const void* B);
// Two key values (uxCompareVariants).
int uxCompareKeyInfos(const Variant& A, const Variant& B);
