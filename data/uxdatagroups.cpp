// The group tree, focusing info, expansion memory, row selection and the
// grouping interface of the data controller.
//
// The group list holds every group followed by its descendants (depth
// first). A deepest-level group's Begin and End are the first and last
// positions of its records in the record list; any other group's Begin is the
// position of its first child group and its End the position of the last
// group of its subtree, at every depth, so a group's rows and records are
// always the range Begin .. End of the list.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"

// ---------------------------------------------------------------------------
// TuxDataGroups

TuxDataGroupInfo* TuxDataGroups::AddGroup() {
  auto* group = new TuxDataGroupInfo;
  FGroups.push_back(group);
  FMapsValid = false;
  return group;
}

void TuxDataGroups::SetGroup(int Index, TuxDataGroupInfo* Group) {
  FGroups[static_cast<std::size_t>(Index)] = Group;
  FMapsValid = false;
}

void TuxDataGroups::ClearGroups() {
  for (TuxDataGroupInfo* g : FGroups) delete g;
  FGroups.clear();
  FMapsValid = false;
}

void TuxDataGroups::Clear() {
  ClearGroups();
  FFields.clear();
}

void TuxDataGroups::StructureChanged() { FMapsValid = false; }

void TuxDataGroups::BuildMaps() const {
  if (FMapsValid) return;
  const int n = GetGroupCount();
  FParents.assign(static_cast<std::size_t>(n), -1);
  FSubtreeEnds.assign(static_cast<std::size_t>(n), 0);
  std::vector<int> stack;  // open ancestors
  for (int i = 0; i < n; ++i) {
    const int level = FGroups[static_cast<std::size_t>(i)]->Level;
    while (!stack.empty() && FGroups[static_cast<std::size_t>(stack.back())]->Level >= level) {
      FSubtreeEnds[static_cast<std::size_t>(stack.back())] = i - 1;
      stack.pop_back();
    }
    FParents[static_cast<std::size_t>(i)] = stack.empty() ? -1 : stack.back();
    stack.push_back(i);
  }
  for (int i : stack) FSubtreeEnds[static_cast<std::size_t>(i)] = n - 1;
  const int listCount = FInfo ? FInfo->GetRecordListCount() : 0;
  FGroupOfListIndex.assign(static_cast<std::size_t>(std::max(listCount, 0)), -1);
  const int deepest = GetFieldCount() - 1;
  for (int i = 0; i < n; ++i) {
    const TuxDataGroupInfo* g = FGroups[static_cast<std::size_t>(i)];
    if (g->Level != deepest) continue;
    for (int p = std::max(g->Begin, 0); p <= g->End && p < listCount; ++p) FGroupOfListIndex[static_cast<std::size_t>(p)] = i;
  }
  FMapsValid = true;
}

int TuxDataGroups::GetParent(int GroupIndex) const {
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount()) return -1;
  BuildMaps();
  return FParents[static_cast<std::size_t>(GroupIndex)];
}

int TuxDataGroups::GetSubtreeEnd(int GroupIndex) const {
  BuildMaps();
  return FSubtreeEnds[static_cast<std::size_t>(GroupIndex)];
}

int TuxDataGroups::GetDeepestGroupByListIndex(int ListIndex) const {
  BuildMaps();
  if (ListIndex < 0 || ListIndex >= static_cast<int>(FGroupOfListIndex.size())) return -1;
  return FGroupOfListIndex[static_cast<std::size_t>(ListIndex)];
}

void TuxDataGroups::GetRecordRange(int GroupIndex, int& First, int& Last) const {
  First = 0;
  Last = -1;
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount()) return;
  const int deepest = GetFieldCount() - 1;
  bool any = false;
  for (int i = GroupIndex; i <= GetSubtreeEnd(GroupIndex); ++i) {
    const TuxDataGroupInfo* g = GetGroup(i);
    if (g->Level != deepest) continue;
    if (!any || g->Begin < First) First = g->Begin;
    if (!any || g->End > Last) Last = g->End;
    any = true;
  }
}

int TuxDataGroups::GetLevel(int GroupIndex) const {
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount()) return -1;
  return GetGroup(GroupIndex)->Level;
}

int TuxDataGroups::GetChildCount(int GroupIndex) const {
  if (GroupIndex == -1) {
    int n = 0;
    for (const TuxDataGroupInfo* g : FGroups) n += g->Level == 0;
    return n;
  }
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount()) return 0;
  const TuxDataGroupInfo* group = GetGroup(GroupIndex);
  if (IsDeepest(GroupIndex)) return group->End - group->Begin + 1;
  int n = 0;
  for (int i = group->Begin; i <= group->End && i < GetGroupCount(); ++i) n += GetGroup(i)->Level == group->Level + 1;
  return n;
}

int TuxDataGroups::GetChildIndex(int GroupIndex, int Index) const {
  if (Index < 0) return -1;
  int level = 0, first = 0, last = GetGroupCount() - 1;
  if (GroupIndex != -1) {
    if (GroupIndex < 0 || GroupIndex >= GetGroupCount() || IsDeepest(GroupIndex)) return -1;
    const TuxDataGroupInfo* group = GetGroup(GroupIndex);
    if (Index > group->End - group->Begin) return -1;
    level = group->Level + 1;
    first = group->Begin;
    last = std::min(group->End, GetGroupCount() - 1);
  }
  for (int i = first; i <= last; ++i)
    if (GetGroup(i)->Level == level && Index-- == 0) return i;
  return -1;
}

int TuxDataGroups::GetChildRecordListIndex(int GroupIndex, int Index) const {
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount() || !IsDeepest(GroupIndex)) return -1;
  const TuxDataGroupInfo* group = GetGroup(GroupIndex);
  if (Index < 0 || Index > group->End - group->Begin) return -1;
  return group->Begin + Index;
}

bool TuxDataGroups::FindByRowIndex(int RowIndex, int& GroupIndex) const {
  int lo = 0, hi = GetGroupCount() - 1, found = -1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    if (GetGroup(mid)->RowIndex <= RowIndex) {
      found = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  GroupIndex = found;
  if (found == -1 || GetGroup(found)->RowIndex != RowIndex) return false;
  // Groups inside a collapsed one share its row: the first of the run shows it.
  while (GroupIndex > 0 && GetGroup(GroupIndex - 1)->RowIndex == RowIndex) --GroupIndex;
  return true;
}

int TuxDataGroups::GetGroupIndexByRowIndex(int RowIndex, int Level) const {
  int g = -1;
  FindByRowIndex(RowIndex, g);
  if (g == -1 || Level == -1) return g;
  const int level = GetGroup(g)->Level;
  if (level < Level) {
    for (int i = g + 1; i < GetGroupCount() && GetGroup(i)->Level > level; ++i)
      if (GetGroup(i)->Level == Level) return i;
    return -1;
  }
  while (g != -1 && GetGroup(g)->Level > Level) g = GetParent(g);
  return g;
}

int TuxDataGroups::GetGroupIndexByRecordListIndex(int ListIndex, int Level) const {
  int g = GetDeepestGroupByListIndex(ListIndex);
  while (g != -1 && GetGroup(g)->Level > Level) g = GetParent(g);
  return g;
}

bool TuxDataGroups::IsVisible(int GroupIndex) const {
  for (int p = GetParent(GroupIndex); p != -1; p = GetParent(p))
    if (!GetGroup(p)->Expanded) return false;
  return true;
}

int TuxDataGroups::GetVisibleGroup(int GroupIndex) const {
  int visible = GroupIndex;
  for (int p = GetParent(GroupIndex); p != -1; p = GetParent(p))
    if (!GetGroup(p)->Expanded) visible = p;
  return visible;
}

bool TuxDataGroups::MakeVisible(int GroupIndex, bool ExpandSelf) {
  if (GroupIndex < 0 || GroupIndex >= GetGroupCount()) return false;
  bool changed = false;
  if (ExpandSelf && !GetGroup(GroupIndex)->Expanded) {
    GetGroup(GroupIndex)->Expanded = true;
    changed = true;
  }
  for (int p = GetParent(GroupIndex); p != -1; p = GetParent(p))
    if (!GetGroup(p)->Expanded) {
      GetGroup(p)->Expanded = true;
      changed = true;
    }
  if (changed) RecalcRowIndexes();
  return changed;
}

int TuxDataGroups::GetRowCount() const {
  if (GetGroupCount() == 0) return 0;
  const int visible = GetVisibleGroup(GetGroupCount() - 1);
  const TuxDataGroupInfo* g = GetGroup(visible);
  int rows = g->RowIndex + 1;
  if (IsDeepest(visible) && g->Expanded) rows += g->End - g->Begin + 1;
  return rows;
}

void TuxDataGroups::RecalcRowIndexes() {
  BuildMaps();
  int counter = 0, hiddenEnd = -1, hiddenRow = 0;
  for (int i = 0; i < GetGroupCount(); ++i) {
    TuxDataGroupInfo* g = GetGroup(i);
    if (i <= hiddenEnd) {
      g->RowIndex = hiddenRow;
      continue;
    }
    g->RowIndex = counter;
    if (!g->Expanded) {
      ++counter;
      if (!IsDeepest(i)) {
        hiddenEnd = GetSubtreeEnd(i);
        hiddenRow = g->RowIndex;
      }
    } else if (IsDeepest(i)) {
      counter += g->End - g->Begin + 2;
    } else {
      ++counter;
    }
  }
}

void TuxDataGroups::ChangeExpanding(int RowIndex, bool Expanded, bool Recursive) {
  int g = -1;
  if (!FindByRowIndex(RowIndex, g)) return;
  GetGroup(g)->Expanded = Expanded;
  if (Recursive)
    for (int i = g + 1; i <= GetSubtreeEnd(g); ++i) GetGroup(i)->Expanded = Expanded;
  RecalcRowIndexes();
}

void TuxDataGroups::SetExpandedAll(bool Expanded) {
  for (TuxDataGroupInfo* g : FGroups) g->Expanded = Expanded;
  RecalcRowIndexes();
}

// ---------------------------------------------------------------------------
// TuxDataFocusingInfo

void TuxDataFocusingInfo::Assign(TuxDataFocusingInfo* Source) {
  Level = Source->Level;
  PrevRecordIndex = Source->PrevRecordIndex;
  RecordIndex = Source->RecordIndex;
  RowIndex = Source->RowIndex;
  Changed = false;
  PrevNewItemRowFocused = false;
}

void TuxDataFocusingInfo::Clear() {
  Level = -1;
  RecordIndex = -1;
  RowIndex = -1;
}

bool TuxDataFocusingInfo::IsEqual(TuxDataFocusingInfo* Other) const {
  if (RecordIndex != Other->RecordIndex || Level != Other->Level) return false;
  if (FInfo && (FInfo->Changes() & dcicSorting)) return RowIndex == Other->RowIndex;
  return true;
}

void TuxDataFocusingInfo::ResetFocusedRecord() {
  Level = -1;
  RecordIndex = FInfo->DataController()->GetFocusingRecordIndex();
}

void TuxDataFocusingInfo::UpdateFromRow() {
  if (RowIndex >= 0 && RowIndex < FInfo->GetRowCount()) {
    TuxRowInfo info;
    FInfo->GetRowInfo(RowIndex, info);
    Level = info.Level;
    RecordIndex = info.RecordIndex;
  } else {
    Level = -1;
    RecordIndex = -1;
  }
  PrevRecordIndex = RecordIndex;
}

// ---------------------------------------------------------------------------
// TuxDataExpandingInfos

void TuxDataExpandingInfos::AddField(TuxCustomDataField* Field) {
  if (std::find(FFields.begin(), FFields.end(), Field) != FFields.end()) uxDataControllerError(uxSItemExists);
  FFields.push_back(Field);
  FEntries.clear();
}

void TuxDataExpandingInfos::AddEntry(int Level, const Variant& Value, TuxDataExpandingInfoState State) {
  TuxDataExpandingInfo e;
  e.Level = Level;
  e.Value = Value;
  e.State = State;
  FEntries.push_back(std::move(e));
}

void TuxDataExpandingInfos::CheckField(TuxCustomDataField* Field) {
  if (std::find(FFields.begin(), FFields.end(), Field) != FFields.end()) ClearMemory();
}

void TuxDataExpandingInfos::ClearMemory() {
  FFields.clear();
  FEntries.clear();
  SaveStates.Clear();
}

// ---------------------------------------------------------------------------
// TuxDataSelection

void TuxDataSelection::InternalAdd(int Index, int RowIndex, int RecordIndex, int Level) {
  const TuxDataSelectionEntry e{Level, RecordIndex, RowIndex};
  if (Index < 0 || Index >= GetEntryCount())
    FEntries.push_back(e);
  else
    FEntries.insert(FEntries.begin() + Index, e);
}

void TuxDataSelection::InternalClear() {
  FEntries.clear();
  FBookmarks.clear();
}

void TuxDataSelection::InternalDelete(int Index) {
  if (Index < 0 || Index >= GetEntryCount()) return;
  if (FEntries[static_cast<std::size_t>(Index)].RowIndex == FAnchorRowIndex) ClearAnchor();
  FEntries.erase(FEntries.begin() + Index);
}

void TuxDataSelection::SetCount(int Count) {
  if (Count < 0) Count = 0;
  while (GetEntryCount() > Count) InternalDelete(GetEntryCount() - 1);
  for (int i = GetEntryCount(); i < Count; ++i) InternalAdd(-1, i, i, 0);
  Changed();
}

void TuxDataSelection::AddEntry(int Index, int RowIndex, int RecordIndex, int Level) {
  InternalAdd(Index, RowIndex, RecordIndex, Level);
  Changed();
}

bool TuxDataSelection::FindByRowIndex(int RowIndex, int& Index) const {
  int lo = 0, hi = GetEntryCount() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int r = FEntries[static_cast<std::size_t>(mid)].RowIndex;
    if (r < RowIndex) {
      lo = mid + 1;
    } else if (r > RowIndex) {
      hi = mid - 1;
    } else {
      Index = mid;
      return true;
    }
  }
  Index = lo;
  return false;
}

void TuxDataSelection::DeleteEntry(int Index) {
  InternalDelete(Index);
  Changed();
}

void TuxDataSelection::ClearEntries() {
  InternalClear();
  Changed();
}

void TuxDataSelection::ClearEntriesAndAnchor() {
  ClearAnchor();
  InternalClear();
  Changed();
}

int TuxDataSelection::FindGroupIndex(int GroupIndex) const {
  for (int i = 0; i < GetEntryCount(); ++i)
    if (FEntries[static_cast<std::size_t>(i)].Level == -1 && FEntries[static_cast<std::size_t>(i)].RecordIndex == GroupIndex)
      return i;
  return -1;
}

int TuxDataSelection::FindRecordIndex(int RecordIndex) const {
  for (int i = 0; i < GetEntryCount(); ++i)
    if (FEntries[static_cast<std::size_t>(i)].Level != -1 && FEntries[static_cast<std::size_t>(i)].RecordIndex == RecordIndex)
      return i;
  return -1;
}

bool TuxDataSelection::IsRowSelected(int RowIndex) const {
  int index = 0;
  return FindByRowIndex(RowIndex, index);
}

void TuxDataSelection::SortEntries() {
  std::stable_sort(FEntries.begin(), FEntries.end(),
                   [](const TuxDataSelectionEntry& a, const TuxDataSelectionEntry& b) {
                     return uxCompareSelectionEntries(&a, &b) < 0;
                   });
}

void TuxDataSelection::RemoveMissingRecords() {
  TuxCustomDataControllerInfo* info = FDataController->DataControllerInfo();
  bool removed = false;
  for (int i = GetEntryCount() - 1; i >= 0; --i) {
    const TuxDataSelectionEntry& e = FEntries[static_cast<std::size_t>(i)];
    if (e.Level != -1 && info->GetRecordListIndex(e.RecordIndex) == -1) {
      InternalDelete(i);
      removed = true;
    }
  }
  if (removed) Changed();
}

// ---------------------------------------------------------------------------
// TuxDataControllerGroups

TuxDataGroups* TuxDataControllerGroups::DataGroups() const { return FDataController->DataControllerInfo()->DataGroups(); }

TuxCustomDataControllerInfo* TuxDataControllerGroups::DataControllerInfo() const {
  return FDataController->DataControllerInfo();
}

void TuxDataControllerGroups::ChangeExpanding(int RowIndex, bool Expanded, bool Recursive) {
  DataControllerInfo()->ChangeExpanding(RowIndex, Expanded, Recursive);
  FDataController->CheckChanges();
}

void TuxDataControllerGroups::FullCollapse() {
  DataControllerInfo()->FullCollapse();
  FDataController->CheckChanges();
}

void TuxDataControllerGroups::FullExpand() {
  DataControllerInfo()->FullExpand();
  FDataController->CheckChanges();
}

void TuxDataControllerGroups::ChangeGroupIndex(int ItemIndex, int GroupIndex) {
  FDataController->CheckItemRange(ItemIndex);
  TuxCustomDataField* field = FDataController->GetItemField(ItemIndex);
  if (GetGroupIndexOfField(field) == GroupIndex) return;
  TuxInfoUpdateLock lock(FDataController);
  FDataController->PostIfEditing();
  FDataController->MarkGroupingChanged();
  DataControllerInfo()->ChangeGroupIndex(field, GroupIndex);
}

void TuxDataControllerGroups::ClearGrouping() {
  if (GetGroupedItemCount() == 0) return;
  TuxInfoUpdateLock lock(FDataController);
  FDataController->PostIfEditing();
  FDataController->MarkGroupingChanged();
  DataControllerInfo()->ClearGrouping();
}

int TuxDataControllerGroups::GetGroupedItemCount() const { return DataControllerInfo()->GroupingFieldCount(); }

int TuxDataControllerGroups::GetGroupedItemIndex(int Index) const {
  return FDataController->GetItemIndex(DataControllerInfo()->GroupingFieldList()->Entries(Index).Field);
}

int TuxDataControllerGroups::GetItemGroupIndex(int ItemIndex) const {
  FDataController->CheckItemRange(ItemIndex);
  return GetGroupIndexOfField(FDataController->GetItemField(ItemIndex));
}

int TuxDataControllerGroups::GetGroupIndexOfField(TuxCustomDataField* Field) const {
  return DataControllerInfo()->GroupingFieldList()->GroupIndexOf(Field);
}

int TuxDataControllerGroups::GetGroupPositionByRow(int RowIndex) const {
  if (!DataControllerInfo()->IsGrouped()) return -1;
  DataControllerInfo()->CheckRowIndex(RowIndex);
  int g = -1;
  DataGroups()->FindByRowIndex(RowIndex, g);
  return g;
}

int TuxDataControllerGroups::GetLevelByDataGroupIndex(int GroupIndex) const { return DataGroups()->GetLevel(GroupIndex); }

int TuxDataControllerGroups::GetChildCount(int GroupIndex) const { return DataGroups()->GetChildCount(GroupIndex); }

int TuxDataControllerGroups::GetChildDataGroupIndex(int GroupIndex, int Index) const {
  return DataGroups()->GetChildIndex(GroupIndex, Index);
}

int TuxDataControllerGroups::GetChildRecord(int GroupIndex, int Index) const {
  const int position = DataGroups()->GetChildRecordListIndex(GroupIndex, Index);
  return position == -1 ? -1 : DataControllerInfo()->GetRecordListItem(position);
}

void TuxDataControllerGroups::CollectGroupRecords(std::vector<int>& List, int GroupIndex) const {
  TuxDataGroups* groups = DataGroups();
  if (GroupIndex < 0 || GroupIndex >= groups->GetGroupCount()) return;
  const int end = groups->GetSubtreeEnd(GroupIndex);
  for (int i = GroupIndex; i <= end; ++i) {
    if (!groups->IsDeepest(i)) continue;
    const TuxDataGroupInfo* g = groups->GetGroup(i);
    for (int p = g->Begin; p <= g->End; ++p) List.push_back(DataControllerInfo()->GetRecordListItem(p));
  }
}

void TuxDataControllerGroups::CollectRowRecords(std::vector<int>& List, int RowIndex) const {
  TuxCustomDataControllerInfo* info = DataControllerInfo();
  if (info->IsGrouped()) {
    int g = -1;
    if (DataGroups()->FindByRowIndex(RowIndex, g)) {
      CollectGroupRecords(List, g);
      return;
    }
  }
  TuxRowInfo row;
  info->GetRowInfo(RowIndex, row);
  if (row.RecordIndex >= 0) List.push_back(row.RecordIndex);
}

bool TuxDataControllerGroups::IsFocusedRowInGroup(int FocusedRowIndex, int GroupRowIndex) const {
  if (!DataControllerInfo()->IsGrouped()) return false;
  TuxDataGroups* groups = DataGroups();
  int focusedGroup = -1, group = -1;
  groups->FindByRowIndex(FocusedRowIndex, focusedGroup);
  if (!groups->FindByRowIndex(GroupRowIndex, group) || focusedGroup == -1) return false;
  if (focusedGroup == group) return true;
  return groups->GetLevel(focusedGroup) > groups->GetLevel(group) && focusedGroup > group &&
         focusedGroup <= groups->GetSubtreeEnd(group);
}
