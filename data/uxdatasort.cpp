#include "data/uxdatasort.h"

#include "data/uxvariants.h"

TuxFieldIndexOf uxFieldIndexOfLinkObject = nullptr;

TuxDataGroupNode::~TuxDataGroupNode() {
  for (TuxDataGroupNode* child : FChildren) delete child;
}

TuxDataGroupNode* TuxDataGroupNode::AddChild(TuxDataGroupInfo* GroupInfo) {
  FChildren.push_back(new TuxDataGroupNode(this, GroupInfo));
  return FChildren.back();
}

TuxSortBySummaryHelper::~TuxSortBySummaryHelper() { Clear(); }

void TuxSortBySummaryHelper::Clear() {
  delete FRoot;
  FRoot = nullptr;
  for (TuxSortBySummaryInfo* info : FSortInfos) delete info;
  FSortInfos.clear();
}

// Adds the groups of level Depth from Index on under Node; returns the index
// of the first group not taken.
int TuxSortBySummaryHelper::BuildTree(TuxDataGroupNode* Node, int Index, int Depth) {
  const int count = FInfo->GetGroupCount();
  while (Index < count && FInfo->GetGroup(Index)->Level == Depth) {
    TuxDataGroupNode* child = Node->AddChild(FInfo->GetGroup(Index));
    ++Index;
    if (Depth + 1 < FInfo->GetGroupingFieldCount()) Index = BuildTree(child, Index, Depth + 1);
  }
  return Index;
}

namespace {

struct NodeCompareContext {
  TuxSortBySummaryInfo* Info;
};

Variant SummaryValue(TuxDataGroupNode* Node, int Index) {
  const Variant& values = Node->GroupInfo()->SummaryValues;
  if (!values.IsArray() || Index < 0 || Index >= values.ElementCount()) return Null();
  return values[values.LowBound() + Index];
}

int CompareNodes(void* Context, void* A, void* B) {
  const TuxSortBySummaryInfo* info = static_cast<NodeCompareContext*>(Context)->Info;
  const int r = uxCompareVariants(SummaryValue(static_cast<TuxDataGroupNode*>(A), info->SummaryItemIndex),
                                  SummaryValue(static_cast<TuxDataGroupNode*>(B), info->SummaryItemIndex));
  return info->SortOrder == soDescending ? -r : r;
}

}  // namespace

void TuxSortBySummaryHelper::SortLevel(TuxDataGroupNode* Node, int Depth) {
  if (Depth >= static_cast<int>(FSortInfos.size())) return;
  TuxSortBySummaryInfo* info = FSortInfos[static_cast<std::size_t>(Depth)];
  std::vector<TuxDataGroupNode*>& children = Node->Children();
  if (info->SummaryItemIndex != -1 && children.size() > 1) {
    NodeCompareContext context{info};
    uxQuickSortList(reinterpret_cast<void**>(children.data()), 0, static_cast<int>(children.size()) - 1, CompareNodes,
                    &context);
  }
  if (Depth + 1 < FInfo->GetGroupingFieldCount())
    for (TuxDataGroupNode* child : children) SortLevel(child, Depth + 1);
}

void TuxSortBySummaryHelper::WriteBack(TuxDataGroupNode* Node, int& Position) {
  for (TuxDataGroupNode* child : Node->Children()) {
    TuxDataGroupInfo* group = child->GroupInfo();
    FInfo->SetGroup(Position++, group);
    if (group->Level + 1 < FInfo->GetGroupingFieldCount()) {
      group->Begin = Position;
      WriteBack(child, Position);
      group->End = Position - 1;
    }
  }
}

void TuxSortBySummaryHelper::SortGroups() {
  if (FInfo->GetGroupCount() == 0) return;
  Clear();
  FRoot = new TuxDataGroupNode(nullptr, nullptr);
  BuildTree(FRoot, 0, 0);
  for (int level = 0; level < FInfo->GetGroupingFieldCount(); ++level) {
    auto* info = new TuxSortBySummaryInfo;
    FSortInfos.push_back(info);
    info->SummaryItemIndex = FInfo->GetSortingItemIndex(level);
    if (info->SummaryItemIndex != -1)
      info->SortOrder = FInfo->GetSortingBySummaryItemIndex() == -1 ? FInfo->GetGroupingFieldSortOrder(level)
                                                                    : FInfo->GetSortingBySummaryOrder();
  }
  SortLevel(FRoot, 0);
  int position = 0;
  WriteBack(FRoot, position);
  FInfo->RecalcRowIndexes();
  Clear();
}

// ---------------------------------------------------------------------------

void uxQuickSortList(void** Items, int L, int R, TuxListCompareFunc Compare, void* Context) {
  uxQuickSort(Items, L, R, [Compare, Context](void* A, void* B) { return Compare(Context, A, B); });
}

int uxCompareValueDefsByField(TuxValueDef* A, TuxValueDef* B) {
  const int a = uxFieldIndexOfLinkObject ? uxFieldIndexOfLinkObject(A->GetLinkObject()) : 0;
  const int b = uxFieldIndexOfLinkObject ? uxFieldIndexOfLinkObject(B->GetLinkObject()) : 0;
  return a < b ? -1 : a > b ? 1 : 0;
}

int uxCompareSelectionEntries(const void* A, const void* B) {
  const int a = static_cast<const TuxDataSelectionEntry*>(A)->RowIndex;
  const int b = static_cast<const TuxDataSelectionEntry*>(B)->RowIndex;
  return a < b ? -1 : a > b ? 1 : 0;
}

int uxComparePointers(const void* A, const void* B) {
  const auto a = reinterpret_cast<std::intptr_t>(A), b = reinterpret_cast<std::intptr_t>(B);
  return a < b ? -1 : a > b ? 1 : 0;
}

int uxCompareKeyInfos(const Variant& A, const Variant& B) { return uxCompareVariants(A, B); }
