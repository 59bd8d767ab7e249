// The row-information engine: filters, sorts and groups the records of a data
// controller into rows, and keeps the focused row, the expanded groups and the
// selection across recalculations.
#include <algorithm>
#include <cstring>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"
#include "platform/rtl/collation.h"
#include "platform/rtl/strings.h"

// The values of the sort fields, prepared once per sort: text fields compared
// by the locale's collation or in upper case get their key made once per
// record instead of at every comparison.
// Numbers are read once into a contiguous list as well, so that the sort
// does not chase a record buffer at every comparison.
struct TuxSortKeyCache {
  enum Kind { kStore, kKey, kInt, kDouble, kController };
  struct FieldKeys {
    Kind kind = kController;
    bool descending = false;
    TuxValueDef* def = nullptr;
    std::vector<std::string> keys;  // by record index
    std::vector<Int64> ints;        // by record index
    std::vector<double> doubles;    // by record index
    std::vector<char> cached;       // 0 not cached, 1 null, 2 key
  };
  TuxDataStorage* store = nullptr;
  std::vector<FieldKeys> fields;

  // -2 when the field cannot be compared from the cache for these records.
  int Compare(std::size_t Field, int A, int B) const {
    const FieldKeys& f = fields[Field];
    if (f.kind == kController || A < 0 || B < 0) return -2;
    int r = 0;
    if (f.kind == kStore) {
      if (!f.def) return 0;
      r = f.def->CompareSlots(store->RecordBuffer(A), store->RecordBuffer(B));
    } else {
      const std::size_t a = static_cast<std::size_t>(A), b = static_cast<std::size_t>(B);
      if (a >= f.cached.size() || b >= f.cached.size() || !f.cached[a] || !f.cached[b]) return -2;
      const bool na = f.cached[a] == 1, nb = f.cached[b] == 1;
      if (na || nb) {
        r = na == nb ? 0 : (na ? -1 : 1);
      } else if (f.kind == kInt) {
        r = f.ints[a] < f.ints[b] ? -1 : (f.ints[a] > f.ints[b] ? 1 : 0);
      } else if (f.kind == kDouble) {
        r = f.doubles[a] < f.doubles[b] ? -1 : (f.doubles[a] > f.doubles[b] ? 1 : 0);
      } else {
        const int c = f.keys[a].compare(f.keys[b]);
        r = c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
    }
    return f.descending ? -r : r;
  }
};

// ---------------------------------------------------------------------------

TuxCustomDataControllerInfo::TuxCustomDataControllerInfo(TuxCustomDataController* ADataController)
    : FDataController(ADataController) {
  FDataGroups = new TuxDataGroups(this);
  FExpandingInfos = new TuxDataExpandingInfos;
  FFocusingInfo = new TuxDataFocusingInfo(this);
  FPrevFocusingInfo = new TuxDataFocusingInfo(this);
  FGroupingFieldList = new TuxGroupingFieldList;
  FGroupingFieldList->OnChanged = [this] { GroupingListChanged(); };
  FSortingFieldList = new TuxSortingFieldList;
  FSortingFieldList->OnChanged = [this] { SortingListChanged(); };
  FTotalSortingFieldList = new TuxSortingFieldList;
  TObject* obj = CreateObject(FDataController->GetDataSelectionClass(), FDataController);
  FSelection = dynamic_cast<TuxDataSelection*>(obj);
  if (!FSelection) {
    delete obj;
    FSelection = new TuxDataSelection(FDataController);
  }
  FSelection->OnChanged = [this] { SelectionChanged(); };
}

TuxCustomDataControllerInfo::~TuxCustomDataControllerInfo() {
  FSelection->OnChanged = nullptr;
  delete FSelection;
  delete FTotalSortingFieldList;
  FSortingFieldList->OnChanged = nullptr;
  delete FSortingFieldList;
  FGroupingFieldList->OnChanged = nullptr;
  delete FGroupingFieldList;
  delete FPrevFocusingInfo;
  delete FFocusingInfo;
  delete FExpandingInfos;
  delete FDataGroups;
}

// ---------------------------------------------------------------------------
// Change entry points

void TuxCustomDataControllerInfo::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckChanges();
}

void TuxCustomDataControllerInfo::CheckChanges() {
  if (FLockCount == 0 && FChanges != 0 && !FInfoCalculation) Update();
}

void TuxCustomDataControllerInfo::GroupingListChanged() { FChanges |= dcicGrouping | dcicSorting | dcicSummary; }

void TuxCustomDataControllerInfo::SortingListChanged() { FChanges |= dcicSorting; }

void TuxCustomDataControllerInfo::SelectionChanged() {
  FChanges |= dcicSelection;
  if (FDataController->Summary() && FDataController->Summary()->IsSelectionDependent()) FChanges |= dcicSummary;
}

void TuxCustomDataControllerInfo::Refresh() {
  FChanges |= dcicLoad;
  if (!FDataController->IsSummaryDeferred()) FChanges |= dcicSummary;
  if (FSortingFieldList->EntryCount() > 0) FChanges |= dcicSorting;
  if (IsGrouped()) FChanges |= dcicGrouping;
  InvalidateRecordMap();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ResetFocusing() {
  FChanges |= dcicResetFocusedRow;
  FFocusingInfo->ResetFocusedRecord();
  CheckChanges();
}

bool TuxCustomDataControllerInfo::IsSortingBySummary() {
  if (!FDataController->SummarySortField() || !FDataController->Summary()) return false;
  for (int level = 0; level < GroupingFieldCount(); ++level)
    if (GetSortingItemIndex(level) != -1) return true;
  return false;
}

void TuxCustomDataControllerInfo::SummaryChanged(bool RedrawOnly) {
  const bool bySummary = IsSortingBySummary();
  FChanges |= (!RedrawOnly || bySummary) ? dcicSummary : dcicView;
  if (bySummary) FChanges |= dcicGrouping;
  CheckChanges();
}

void TuxCustomDataControllerInfo::ExpandingChanged() {
  FChanges |= dcicExpanding;
  FExpandingFlag = true;
}

void TuxCustomDataControllerInfo::FocusedRecordChanged(bool MarkPrevious) {
  FChanges |= dcicFocusedRecord;
  if (MarkPrevious) FPrevFocusingInfo->Changed = true;
}

void TuxCustomDataControllerInfo::SyncSortingWithGrouping() { FGroupingFieldList->TakeSortOrders(FSortingFieldList); }

void TuxCustomDataControllerInfo::RemoveField(TuxCustomDataField* Field) {
  FSortingFieldList->RemoveFieldEntry(Field);
  if (FGroupingFieldList->IndexOfField(Field) >= 0) {
    FSelection->ClearEntriesAndAnchor();
    FGroupingFieldList->RemoveFieldEntry(Field);
  }
  for (int i = FTotalSortingFieldList->EntryCount() - 1; i >= 0; --i)
    if (FTotalSortingFieldList->Entries(i).Field == Field) FTotalSortingFieldList->DeleteAt(i);
  for (int i = 0; i < FDataGroups->GetFieldCount(); ++i)
    if (FDataGroups->GetField(i) == Field) {
      FDataGroups->Clear();
      FChanges |= dcicGrouping;
      break;
    }
  SyncSortingWithGrouping();
  FExpandingInfos->CheckField(Field);
  CheckChanges();
}

void TuxCustomDataControllerInfo::CheckField(TuxCustomDataField* Field) {
  FChanges |= dcicView;
  FSortingFieldList->NotifyIfContains(Field);
  if (FGroupingFieldList->IndexOfField(Field) >= 0) FSelection->ClearEntriesAndAnchor();
  FGroupingFieldList->NotifyIfContains(Field);
  FExpandingInfos->CheckField(Field);
  CheckChanges();
}

void TuxCustomDataControllerInfo::ChangeSorting(TuxCustomDataField* Field, TuxDataSortOrder SortOrder) {
  FSortingFieldList->SetFieldSortOrder(Field, SortOrder);
  SyncSortingWithGrouping();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ChangeSortingIndex(TuxCustomDataField* Field, int Index) {
  const int count = FSortingFieldList->EntryCount();
  Index = count == 0 ? 0 : std::clamp(Index, 0, count - 1);
  FSortingFieldList->SetFieldIndex(Field, Index);
  SyncSortingWithGrouping();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ClearSorting(bool KeepGroupedItems) {
  if (KeepGroupedItems) {
    for (int i = FSortingFieldList->EntryCount() - 1; i >= 0; --i)
      if (FGroupingFieldList->IndexOfField(FSortingFieldList->Entries(i).Field) < 0) FSortingFieldList->DeleteAt(i);
  } else {
    FSortingFieldList->RemoveAll();
    FSortingFieldList->AppendMissing(FGroupingFieldList);
  }
  SyncSortingWithGrouping();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ChangeGroupIndex(TuxCustomDataField* Field, int GroupIndex) {
  if (GroupIndex < 0)
    FGroupingFieldList->RemoveFieldEntry(Field);
  else
    FGroupingFieldList->SetFieldIndex(Field, GroupIndex);
  SyncSortingWithGrouping();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ClearGrouping() {
  FGroupingFieldList->RemoveAll();
  CheckChanges();
}

// ---------------------------------------------------------------------------
// Expanding

void TuxCustomDataControllerInfo::ChangeExpanding(int RowIndex, bool Expanded, bool Recursive) {
  CheckRowIndex(RowIndex);
  if (!IsGrouped() || FDataController->GetOptions().Contains(dcoGroupsAlwaysExpanded)) return;
  int g = -1;
  if (!FDataGroups->FindByRowIndex(RowIndex, g)) return;
  if (!Expanded) {
    const int focused = GetFocusedRowIndex();
    if (focused != -1 && FDataController->Groups()->IsFocusedRowInGroup(focused, RowIndex))
      FDataController->CheckBrowseMode();
  }
  FDataGroups->ChangeExpanding(RowIndex, Expanded, Recursive);
  ExpandingChanged();
  BeginUpdate();
  try {
    if (!Expanded) {
      FCollapsing = true;
      const int row = FindFocusedRow(false);
      FCollapsing = false;
      if (row != GetFocusedRowIndex()) ChangeFocusedRow(row, true);
    }
  } catch (...) {
    FCollapsing = false;
    --FLockCount;
    throw;
  }
  EndUpdate();
}

void TuxCustomDataControllerInfo::FullExpand() {
  if (!IsGrouped() || FDataController->GetOptions().Contains(dcoGroupsAlwaysExpanded)) return;
  FDataGroups->SetExpandedAll(true);
  ExpandingChanged();
  CheckChanges();
}

void TuxCustomDataControllerInfo::FullCollapse() {
  if (!IsGrouped() || FDataController->GetOptions().Contains(dcoGroupsAlwaysExpanded)) return;
  FDataGroups->SetExpandedAll(false);
  ExpandingChanged();
  BeginUpdate();
  try {
    FCollapsing = true;
    const int row = FindFocusedRow(false);
    FCollapsing = false;
    if (row != GetFocusedRowIndex()) ChangeFocusedRow(row, true);
  } catch (...) {
    FCollapsing = false;
    --FLockCount;
    throw;
  }
  EndUpdate();
}

// ---------------------------------------------------------------------------
// Rows

void TuxCustomDataControllerInfo::CheckRowIndex(int RowIndex) const {
  if (RowIndex < 0 || RowIndex >= GetRowCount()) uxDataControllerError(uxSRowIndexError);
}

int TuxCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() && FDataGroups->GetFieldCount() > 0 ? FDataGroups->GetRowCount()
                                                        : static_cast<int>(FRecordList.size());
}

void TuxCustomDataControllerInfo::GetRowInfo(int RowIndex, TuxRowInfo& Info) const {
  CheckRowIndex(RowIndex);
  if (!IsGrouped() || FDataGroups->GetFieldCount() == 0) {
    Info.Expanded = false;
    Info.Level = 0;
    Info.RecordIndex = FRecordList[static_cast<std::size_t>(RowIndex)];
    return;
  }
  int g = -1;
  if (FDataGroups->FindByRowIndex(RowIndex, g)) {
    const TuxDataGroupInfo* group = FDataGroups->GetGroup(g);
    int first = 0, last = 0;
    FDataGroups->GetRecordRange(g, first, last);
    Info.Expanded = group->Expanded;
    Info.Level = group->Level;
    Info.RecordIndex = FRecordList[static_cast<std::size_t>(first)];
  } else {
    const TuxDataGroupInfo* group = FDataGroups->GetGroup(g);
    Info.Expanded = false;
    Info.Level = FDataGroups->GetFieldCount();
    Info.RecordIndex = FRecordList[static_cast<std::size_t>(group->Begin + RowIndex - group->RowIndex - 1)];
  }
}

int TuxCustomDataControllerInfo::GetRecordIndexByRow(int RowIndex) const {
  if (RowIndex < 0 || RowIndex >= GetRowCount()) return -1;
  TuxRowInfo info;
  GetRowInfo(RowIndex, info);
  return info.RecordIndex;
}

int TuxCustomDataControllerInfo::GetRecordListIndex(int RecordIndex) const {
  if (RecordIndex < 0) return -1;
  if (!FRecordMapValid) {
    const int count = std::max(FDataController->GetRecordCount(), 0);
    FRecordMap.assign(static_cast<std::size_t>(count), -1);
    for (std::size_t i = 0; i < FRecordList.size(); ++i) {
      const int r = FRecordList[i];
      if (r >= 0 && r < count) FRecordMap[static_cast<std::size_t>(r)] = static_cast<int>(i);
    }
    FRecordMapValid = true;
  }
  if (RecordIndex >= static_cast<int>(FRecordMap.size())) return -1;
  return FRecordMap[static_cast<std::size_t>(RecordIndex)];
}

int TuxCustomDataControllerInfo::GetRowIndexByRecordIndex(int RecordIndex, bool MakeVisible) {
  int pos = GetRecordListIndex(RecordIndex);
  if (pos == -1) return -1;
  if (!IsGrouped() || FDataGroups->GetFieldCount() == 0) return pos;
  int g = FDataGroups->GetDeepestGroupByListIndex(pos);
  if (g == -1) return -1;
  if (!FDataGroups->IsVisible(g) || !FDataGroups->GetGroup(g)->Expanded) {
    if (!MakeVisible) return -1;
    if (FDataGroups->MakeVisible(g, true)) {
      ExpandingChanged();
      CheckChanges();
      pos = GetRecordListIndex(RecordIndex);
      if (pos == -1) return -1;
      if (!IsGrouped() || FDataGroups->GetFieldCount() == 0) return pos;
      g = FDataGroups->GetDeepestGroupByListIndex(pos);
      if (g == -1 || !FDataGroups->IsVisible(g) || !FDataGroups->GetGroup(g)->Expanded) return -1;
    }
  }
  const TuxDataGroupInfo* group = FDataGroups->GetGroup(g);
  return group->RowIndex + 1 + pos - group->Begin;
}

int TuxCustomDataControllerInfo::GetNearestRowIndex(int RowIndex) const {
  CheckRowIndex(RowIndex);
  const int count = GetRowCount();
  if (IsGrouped()) {
    TuxRowInfo info, other;
    GetRowInfo(RowIndex, info);
    if (RowIndex + 1 < count) {
      GetRowInfo(RowIndex + 1, other);
      if (other.Level == info.Level) return RowIndex + 1;
    }
    if (RowIndex > 0) {
      GetRowInfo(RowIndex - 1, other);
      if (other.Level == info.Level) return RowIndex - 1;
    }
    if (RowIndex + 1 < count) return RowIndex + 1;
    if (RowIndex > 0) return RowIndex - 1;
    return RowIndex;
  }
  if (RowIndex + 1 < count) return RowIndex + 1;
  return RowIndex - 1;
}

// ---------------------------------------------------------------------------
// Focus

void TuxCustomDataControllerInfo::ChangeFocusedRow(int RowIndex, bool Force) {
  RowIndex = std::clamp(RowIndex, -1, GetRowCount() - 1);
  if (RowIndex == FFocusingInfo->RowIndex) return;
  FFocusingFlag = true;
  TuxFinally clearFlag([this] { FFocusingFlag = false; });
  if (!(FChanges & dcicFocusedRow)) FPrevFocusingInfo->Assign(FFocusingInfo);
  bool allowed = true;
  const bool hadPrevious = FFocusingInfo->RowIndex != -1;
  {
    TuxFinally settle([&] {
      const int count = GetRowCount();
      if (FFocusingInfo->RowIndex >= count) FFocusingInfo->RowIndex = -1;
      if (FPrevFocusingInfo->RowIndex >= count) FPrevFocusingInfo->RowIndex = -1;
      if (allowed || hadPrevious) {
        const int record = FFocusingInfo->RecordIndex, level = FFocusingInfo->Level;
        FFocusingInfo->UpdateFromRow();
        if (!allowed && record != -1 && FFocusingInfo->RecordIndex != record) {
          // The row no longer shows the record: look it up again.
          FFocusingInfo->RecordIndex = record;
          FFocusingInfo->Level = level;
          FFocusingInfo->RowIndex = FindFocusedRow(false);
          FFocusingInfo->UpdateFromRow();
        }
      }
    });
    if (!Force) {
      FInCanFocusedRecordIndex = true;
      TuxFinally clearQuery([this] { FInCanFocusedRecordIndex = false; });
      allowed = FDataController->CanFocusRecord(GetRecordIndexByRow(RowIndex));
    }
    if (allowed) {
      FDataController->FocusedRowChanging(RowIndex);
      // Posting inside the hook may have moved the rows.
      RowIndex = std::clamp(RowIndex, -1, GetRowCount() - 1);
      FFocusingInfo->RowIndex = RowIndex;
    }
  }
  if (!FFocusingInfo->IsEqual(FPrevFocusingInfo)) {
    FChanges |= dcicFocusedRow | dcicFocusedRecord;
    if (FDataController->IsSingleSelection() && FDataController->Summary() &&
        FDataController->Summary()->IsSelectionDependent())
      FChanges |= dcicSummary;
    if (FDataController->FNewItemRowFocused) {
      FDataController->FNewItemRowFocused = false;
      FPrevFocusingInfo->PrevNewItemRowFocused = true;
    }
    FDataController->FocusedRecordChanged(FPrevFocusingInfo->RecordIndex, FFocusingInfo->RecordIndex);
    FDataController->FFocusedSelected = true;
  }
}

void TuxCustomDataControllerInfo::ResetFocusedRow(int RowIndex) {
  FFocusingInfo->Clear();
  ChangeFocusedRow(RowIndex, false);
  CheckChanges();
}

void TuxCustomDataControllerInfo::SetFocusedRowIndex(int RowIndex) {
  TuxUpdateLock lock(FDataController);
  ChangeFocusedRow(RowIndex, false);
}

// The row that shows the focused record at the focused level, expanding the
// groups above it when Expand; after a collapse, the visible group row that
// holds it instead.
int TuxCustomDataControllerInfo::FindFocusedRow(bool Expand) {
  const int record = FFocusingInfo->RecordIndex;
  const int level = FFocusingInfo->Level;
  if (record < 0) return -1;
  const int pos = GetRecordListIndex(record);
  if (pos == -1) return -1;
  if (!IsGrouped() || FDataGroups->GetFieldCount() == 0) return pos;
  const int deepest = FDataGroups->GetDeepestGroupByListIndex(pos);
  if (deepest == -1) return -1;
  const int levels = FDataGroups->GetFieldCount();
  int target = -1;  // a group to show as a group row, or -1 for the data row
  if (FDataGroups->GetGroup(deepest)->Begin == pos && level < levels) {
    int g = deepest;
    auto beginsWithRecord = [&](int group) {
      int first = 0, last = 0;
      FDataGroups->GetRecordRange(group, first, last);
      return first == pos;
    };
    if (level == -1) {
      for (int p = FDataGroups->GetParent(g); p != -1 && beginsWithRecord(p); p = FDataGroups->GetParent(p)) g = p;
      target = g;
    } else {
      while (FDataGroups->GetGroup(g)->Level > level) {
        const int p = FDataGroups->GetParent(g);
        if (p == -1 || !beginsWithRecord(p)) break;
        g = p;
      }
      target = g;
    }
  }
  if (Expand) {
    if (target != -1) {
      if (FDataGroups->MakeVisible(target, false)) ExpandingChanged();
      return FDataGroups->GetGroup(target)->RowIndex;
    }
    if (FDataGroups->MakeVisible(deepest, true)) ExpandingChanged();
    const TuxDataGroupInfo* group = FDataGroups->GetGroup(deepest);
    return group->RowIndex + 1 + pos - group->Begin;
  }
  if (target != -1) return FDataGroups->GetGroup(FDataGroups->GetVisibleGroup(target))->RowIndex;
  const int visible = FDataGroups->GetVisibleGroup(deepest);
  const TuxDataGroupInfo* group = FDataGroups->GetGroup(visible);
  if (visible != deepest || !group->Expanded) return group->RowIndex;
  return group->RowIndex + 1 + pos - group->Begin;
}

void TuxCustomDataControllerInfo::CheckFocusedRow() {
  const int row = FindFocusedRow(!FCollapsing);
  const int focused = FFocusingInfo->RowIndex;
  if (row != focused) {
    bool shows = false;
    if (focused >= 0 && focused < GetRowCount()) {
      TuxRowInfo info;
      GetRowInfo(focused, info);
      shows = info.RecordIndex == FFocusingInfo->RecordIndex &&
              (FFocusingInfo->Level == -1 || info.Level == FFocusingInfo->Level);
    }
    if (!shows) {
      ChangeFocusedRow(row, true);
    }
  }
  if (FDataController->FocusCheckPending() && FFocusingInfo->RowIndex == -1 &&
      !FDataController->GetNewItemRowFocused() && FDataController->LocateCount() == 0 && GetRowCount() > 0)
    ChangeFocusedRow(0, false);
}

void TuxCustomDataControllerInfo::CheckFocusTopRow() {
  if (!FDataController->GetOptions().Contains(dcoFocusTopRowAfterSorting) || FDataController->IsDispatching()) return;
  if (!FDataController->GroupingChangedFlag() && !FDataController->SortingChangedFlag() &&
      !FDataController->DataReopenedFlag())
    return;
  FDataController->SetDataReopened(false);
  FFocusingInfo->Clear();
  ChangeFocusedRow(0, false);
  FSelection->ClearEntriesAndAnchor();
}

// ---------------------------------------------------------------------------
// Selection

void TuxCustomDataControllerInfo::ChangeRowSelection(int RowIndex, bool Select) {
  CheckRowIndex(RowIndex);
  int index = 0;
  if (FSelection->FindByRowIndex(RowIndex, index)) {
    if (!Select) FSelection->DeleteEntry(index);
  } else if (Select) {
    if (!FDataController->CanSelectRow(RowIndex)) return;
    int g = -1;
    if (IsGrouped() && FDataGroups->FindByRowIndex(RowIndex, g)) {
      FSelection->AddEntry(index, RowIndex, g, -1);
    } else {
      TuxRowInfo info;
      GetRowInfo(RowIndex, info);
      FSelection->AddEntry(index, RowIndex, info.RecordIndex, info.Level);
    }
  }
  CheckChanges();
}

void TuxCustomDataControllerInfo::ClearSelection() {
  if (FSelection->GetEntryCount() == 0) return;
  FSelection->ClearEntries();
  CheckChanges();
}

void TuxCustomDataControllerInfo::ClearSelectionAnchor() { FSelection->ClearAnchor(); }

int TuxCustomDataControllerInfo::GetSelectedRowIndex(int Index) const {
  if (Index < 0 || Index >= FSelection->GetEntryCount()) return -1;
  return FSelection->GetEntry(Index).RowIndex;
}

void TuxCustomDataControllerInfo::CheckSelectionAfterRecordsChange() {
  if (FSelection->GetEntryCount() == 0) return;
  const int count = FDataController->GetRecordCount();
  if (count == 0) {
    FSelection->ClearEntriesAndAnchor();
    return;
  }
  if (FDataController->DeletingSelection() && !FDataController->FResettingSelection) return;
  if (FDataController->IsProviderDataSource() && !FDataController->IsSmartRefresh()) return;
  bool removed = false;
  for (int i = FSelection->GetEntryCount() - 1; i >= 0; --i) {
    const TuxDataSelectionEntry& e = FSelection->GetEntry(i);
    if (e.Level != -1 && e.RecordIndex >= count) {
      FSelection->InternalDelete(i);
      removed = true;
    }
  }
  if (removed) FSelection->Changed();
}

// ---------------------------------------------------------------------------
// Comparison

void TuxCustomDataControllerInfo::UpdateTotalSortingFieldList() {
  auto* total = FTotalSortingFieldList;
  auto saved = std::move(total->OnChanged);
  total->OnChanged = nullptr;
  total->RemoveAll();
  for (int i = 0; i < FGroupingFieldList->EntryCount(); ++i) {
    const TuxDataSortingFieldEntry e = FGroupingFieldList->Entries(i);
    total->AddField(e.Field, e.SortOrder);
  }
  for (int i = 0; i < FSortingFieldList->EntryCount(); ++i) {
    const TuxDataSortingFieldEntry e = FSortingFieldList->Entries(i);
    if (total->IndexOfField(e.Field) < 0) total->AddField(e.Field, e.SortOrder);
  }
  total->OnChanged = std::move(saved);
}

void TuxCustomDataControllerInfo::SetConversionMarks() {
  for (int i = 0; i < FTotalSortingFieldList->EntryCount(); ++i) {
    TuxCustomDataField* field = FTotalSortingFieldList->Entries(i).Field;
    field->SetConversionMark(-1);
    field->SetConversionMark(FDataController->IsFieldNeedsConversion(field));
  }
}

void TuxCustomDataControllerInfo::ClearConversionMarks() {
  for (int i = 0; i < FTotalSortingFieldList->EntryCount(); ++i)
    FTotalSortingFieldList->Entries(i).Field->SetConversionMark(-1);
}

int TuxCustomDataControllerInfo::CompareByField(int RecordIndex1, int RecordIndex2, int FieldIndex, int Mode) const {
  if (FKeyCache && static_cast<std::size_t>(FieldIndex) < FKeyCache->fields.size()) {
    const int r = FKeyCache->Compare(static_cast<std::size_t>(FieldIndex), RecordIndex1, RecordIndex2);
    if (r != -2) return r;
  }
  return FDataController->CompareRecordsBySortingField(RecordIndex1, RecordIndex2, FieldIndex, Mode);
}

int TuxCustomDataControllerInfo::CompareRecordsWithEditing(int A, int B) const {
  const int count = FTotalSortingFieldList->EntryCount();
  for (int i = 0; i < count; ++i) {
    const int r = CompareByField(A, B, i, dccmSorting);
    if (r != 0) return r;
  }
  return FDataController->CompareRecordsByIndex(A, B);
}

int TuxCustomDataControllerInfo::CompareRecords(int RecordIndex1, int RecordIndex2) const {
  if (RecordIndex1 == RecordIndex2) return 0;
  TuxCustomDataProvider* provider = FDataController->Provider();
  if (provider->IsEditing()) {
    const int e = provider->EditingRecordIndex();
    if (e >= 0 && (RecordIndex1 == e || RecordIndex2 == e)) {
      const int next = provider->EditingRecordIndex2(), prev = provider->EditingRecordIndex1();
      const int sign = RecordIndex1 == e ? 1 : -1;
      const int other = RecordIndex1 == e ? RecordIndex2 : RecordIndex1;
      if (next >= 0 && next != e && next < FDataController->GetRecordCount()) {
        if (other == next) return -sign;
        return sign * CompareRecordsWithEditing(next, other);
      }
      if (prev >= 0 && prev != e && prev < FDataController->GetRecordCount()) return sign;
    }
  }
  return CompareRecordsWithEditing(RecordIndex1, RecordIndex2);
}

int TuxCustomDataControllerInfo::CompareGroupRecords(int RecordIndex1, int RecordIndex2, int Level) const {
  TuxCustomDataProvider* provider = FDataController->Provider();
  if (provider->IsEditing()) {
    const int e = provider->EditingRecordIndex();
    if (e >= 0 && (RecordIndex1 == e || RecordIndex2 == e)) {
      const int saved = provider->SavedRecordIndex();
      if (saved != 0) {
        if (RecordIndex1 == e) RecordIndex1 = saved;
        if (RecordIndex2 == e) RecordIndex2 = saved;
      } else {
        const int next = provider->EditingRecordIndex2();
        if (next >= 0 && next < FDataController->GetRecordCount()) {
          if (RecordIndex1 == e) RecordIndex1 = next;
          if (RecordIndex2 == e) RecordIndex2 = next;
        } else {
          return 0;
        }
      }
    }
  }
  return CompareByField(RecordIndex1, RecordIndex2, Level, dccmGrouping);
}

// ---------------------------------------------------------------------------
// The recalculation

void TuxCustomDataControllerInfo::DoFilter() {
  TuxCustomDataController* c = FDataController;
  const bool gridMode = c->IsGridMode();
  const bool byText = c->IsFilterByText();
  const bool byCriteria = c->Filter() && c->Filter()->IsFiltering();
  const bool byEvent = c->HasFilterRecordEvent() && !gridMode;
  if (!byText && !byCriteria && !byEvent) return;
  if (byCriteria) {
    c->Filter()->PrepareOperators();
    c->Filter()->BeginMatching();
  }
  TuxFinally endMatching([c, byCriteria] {
    if (byCriteria) c->Filter()->EndMatching();
  });
  TuxCustomDataProvider* provider = c->Provider();
  const int editing = provider->IsEditing() ? provider->EditingRecordIndex() : uxNullEditingRecordIndex;
  std::vector<int> kept;
  kept.reserve(FRecordList.size());
  for (int r : FRecordList) {
    bool accept = r == editing;
    if (!accept) {
      accept = (!byEvent || c->DoFilterRecord(r)) && (!byText || c->MatchesFilterText(r)) &&
               (!byCriteria || c->Filter()->FilterRecord(r));
    }
    if (accept) kept.push_back(r);
  }
  if (kept.size() == FRecordList.size()) return;
  FRecordList.swap(kept);
  InvalidateRecordMap();
  FSelection->RemoveMissingRecords();
  if (c->FocusCheckRequested()) c->SetFocusCheckPending(true);
}

namespace {

// The cells of the plain number kinds compare as the numbers they hold: they
// are read once into a list of their own.
void CacheNumbers(TuxSortKeyCache::FieldKeys& F, std::size_t Records, const std::vector<int>& List,
                  TuxDataStorage* Store) {
  TuxValueTypeClass type = F.def->ValueTypeClass();
  const Word vt = type->VarTypeCode();
  const int size = type->GetCellSize();
  const bool isInt = (vt == varSmallint && size == 2) || (vt == varInteger && size == 4) ||
                     (vt == varWord && size == 2) || (vt == varInt64 && size == 8) ||
                     (vt == varBoolean && size == 1) || (vt == varCurrency && size == 8);
  const bool isDouble = (vt == varDouble || vt == varDate) && size == 8;
  if (type == TuxStringValueType::Instance()) {
    // 8-bit text compares by its bytes.
    F.cached.assign(Records, 0);
    F.keys.assign(Records, std::string());
    for (int r : List) {
      if (r < 0 || static_cast<std::size_t>(r) >= Records) continue;
      Variant v;
      Store->RecordValue(r, F.def, v);
      const std::size_t k = static_cast<std::size_t>(r);
      if (v.IsNull() || v.IsEmpty()) {
        F.cached[k] = 1;
      } else {
        F.keys[k] = v.AsString();
        F.cached[k] = 2;
      }
    }
    F.kind = TuxSortKeyCache::kKey;
    return;
  }
  if (!isInt && !isDouble) return;
  TuxDataStorage* store = Store;
  F.cached.assign(Records, 0);
  if (isInt)
    F.ints.assign(Records, 0);
  else
    F.doubles.assign(Records, 0);
  for (int r : List) {
    if (r < 0 || static_cast<std::size_t>(r) >= Records) continue;
    const std::size_t k = static_cast<std::size_t>(r);
    const void* content = nullptr;
    if (store->ValueDataPointer(r, F.def, content)) {
      F.cached[k] = 1;
      continue;
    }
    F.cached[k] = 2;
    if (isDouble) {
      std::memcpy(&F.doubles[k], content, 8);
    } else if (vt == varSmallint) {
      SmallInt v;
      std::memcpy(&v, content, 2);
      F.ints[k] = v;
    } else if (vt == varWord) {
      Word v;
      std::memcpy(&v, content, 2);
      F.ints[k] = v;
    } else if (vt == varInteger) {
      Integer v;
      std::memcpy(&v, content, 4);
      F.ints[k] = v;
    } else if (vt == varBoolean) {
      F.ints[k] = *static_cast<const Byte*>(content);
    } else {
      std::memcpy(&F.ints[k], content, 8);
    }
  }
  F.kind = isInt ? TuxSortKeyCache::kInt : TuxSortKeyCache::kDouble;
}

}  // namespace

void TuxCustomDataControllerInfo::DoSort() {
  UpdateTotalSortingFieldList();
  TuxCustomDataController* c = FDataController;
  if (c->IsGridMode() || FRecordList.empty()) return;
  const int count = FTotalSortingFieldList->EntryCount();
  if (count == 0) {
    // No order asked for: the records in their own order.
    std::sort(FRecordList.begin(), FRecordList.end(),
              [c](int a, int b) { return c->CompareRecordsByIndex(a, b) < 0; });
    InvalidateRecordMap();
    return;
  }
  SetConversionMarks();
  TuxFinally clearMarks([this] {
    ClearConversionMarks();
    FKeyCache.reset();
  });
  if (c->IsProviderMode() && c->Provider()->IsCustomSorting()) {
    c->Provider()->CustomSort();
    InvalidateRecordMap();
    return;
  }
  // Keys made once per record for the fields that allow it.
  if (!c->OnCompare.Assigned() && !c->IsProviderMode()) {
    auto cache = std::make_unique<TuxSortKeyCache>();
    cache->store = c->DataStorage();
    cache->fields.resize(static_cast<std::size_t>(count));
    const bool ansi = c->GetOptions().Contains(dcoAnsiSort);
    const bool caseInsensitive = c->GetOptions().Contains(dcoCaseInsensitive);
    const std::size_t records = static_cast<std::size_t>(std::max(c->GetRecordCount(), 0));
    for (int i = 0; i < count; ++i) {
      TuxSortKeyCache::FieldKeys& f = cache->fields[static_cast<std::size_t>(i)];
      const TuxDataSortingFieldEntry entry = FTotalSortingFieldList->Entries(i);
      f.descending = entry.SortOrder == soDescending;
      const int mark = entry.Field->ConversionMark();
      if (mark == fcNone) {
        f.kind = TuxSortKeyCache::kStore;
        f.def = entry.Field->ValueDefinition();
        if (f.def && !f.def->HasValueSlot()) f.def = nullptr;
        if (f.def) CacheNumbers(f, records, FRecordList, c->DataStorage());
        continue;
      }
      f.kind = TuxSortKeyCache::kKey;
      f.keys.resize(records);
      f.cached.assign(records, 0);
      for (int r : FRecordList) {
        if (r < 0 || static_cast<std::size_t>(r) >= records) continue;
        const Variant v = mark == fcDisplayText ? Variant(c->GetInternalDisplayText(r, entry.Field))
                                                : c->GetInternalValue(r, entry.Field);
        const std::size_t k = static_cast<std::size_t>(r);
        if (v.IsNull()) {
          f.cached[k] = 1;
        } else if (v.Type() == varString || v.Type() == varOleStr) {
          const AnsiString s = v.AsString();
          if (ansi)
            f.keys[k] = AnsiCollationKey(s, caseInsensitive);
          else if (caseInsensitive)
            f.keys[k] = AnsiUpperCase(s);
          else
            f.keys[k] = s;
          f.cached[k] = 2;
        } else {
          // Not text: compared by the controller.
          f.kind = TuxSortKeyCache::kController;
          f.keys.clear();
          f.cached.clear();
          break;
        }
      }
    }
    FKeyCache = std::move(cache);
  }
  // Every field read into the cache and no edited record to place: the
  // comparison needs nothing but the cache.
  bool cachedOnly = FKeyCache && !(c->Provider()->IsEditing() && c->Provider()->EditingRecordIndex() >= 0);
  if (cachedOnly)
    for (const TuxSortKeyCache::FieldKeys& f : FKeyCache->fields)
      cachedOnly = cachedOnly && (f.kind == TuxSortKeyCache::kInt || f.kind == TuxSortKeyCache::kDouble ||
                                  f.kind == TuxSortKeyCache::kKey);
  if (cachedOnly) {
    const TuxSortKeyCache* cache = FKeyCache.get();
    const std::size_t fields = cache->fields.size();
    uxQuickSort(FRecordList.data(), 0, static_cast<int>(FRecordList.size()) - 1, [cache, fields, c](int a, int b) {
      if (a == b) return 0;
      for (std::size_t i = 0; i < fields; ++i) {
        const int r = cache->Compare(i, a, b);
        if (r != 0) return r;
      }
      return c->CompareRecordsByIndex(a, b);
    });
  } else {
    uxQuickSort(FRecordList.data(), 0, static_cast<int>(FRecordList.size()) - 1,
                [this](int a, int b) { return CompareRecords(a, b); });
  }
  InvalidateRecordMap();
}

void TuxCustomDataControllerInfo::DoGrouping() {
  FDataGroups->Clear();
  for (int i = 0; i < FGroupingFieldList->EntryCount(); ++i) FDataGroups->AddField(FGroupingFieldList->Entries(i).Field);
  const int levels = FDataGroups->GetFieldCount();
  const int n = static_cast<int>(FRecordList.size());
  if (levels == 0 || n == 0) {
    FDataGroups->StructureChanged();
    return;
  }
  std::vector<int> open(static_cast<std::size_t>(levels), -1);
  int topOrdinal = -1;
  auto openFrom = [&](int level, int pos) {
    for (int l = level; l < levels; ++l) {
      if (l == 0) ++topOrdinal;
      TuxDataGroupInfo* g = FDataGroups->AddGroup();
      g->Level = l;
      g->Expanded = false;
      g->RowIndex = topOrdinal;
      g->Begin = l < levels - 1 ? FDataGroups->GetGroupCount() : pos;
      open[static_cast<std::size_t>(l)] = FDataGroups->GetGroupCount() - 1;
    }
  };
  // Every group's End is the end of its whole subtree: the last record
  // position for the deepest level, the last group created for the others.
  auto closeFrom = [&](int level, int lastPos) {
    for (int l = levels - 1; l >= level; --l) {
      TuxDataGroupInfo* g = FDataGroups->GetGroup(open[static_cast<std::size_t>(l)]);
      g->End = l == levels - 1 ? lastPos : FDataGroups->GetGroupCount() - 1;
    }
  };
  openFrom(0, 0);
  for (int pos = 1; pos < n; ++pos) {
    const int record = FRecordList[static_cast<std::size_t>(pos)];
    const int first = FRecordList[static_cast<std::size_t>(FDataGroups->GetGroup(open.back())->Begin)];
    for (int l = 0; l < levels; ++l) {
      if (CompareGroupRecords(first, record, l) != 0) {
        closeFrom(l, pos - 1);
        openFrom(l, pos);
        break;
      }
    }
  }
  closeFrom(0, n - 1);
  FDataGroups->StructureChanged();
  FDataGroups->RecalcRowIndexes();
}

int TuxCustomDataControllerInfo::GetSortingItemIndex(int Level) {
  TuxDataSummary* summary = FDataController->Summary();
  if (!summary) return -1;
  TuxDataGroupSummaryItems* items = summary->GetGroupSummaryItems(Level);
  return items ? items->GetSortingItemIndex() : -1;
}

TuxDataSortOrder TuxCustomDataControllerInfo::GetGroupingFieldSortOrder(int Level) {
  return FGroupingFieldList->Entries(Level).SortOrder;
}

int TuxCustomDataControllerInfo::GetSortingBySummaryItemIndex() { return FDataController->GetSortingBySummaryItemIndex(); }

TuxDataSortOrder TuxCustomDataControllerInfo::GetSortingBySummaryOrder() {
  return FDataController->GetSortingBySummaryOrder();
}

void TuxCustomDataControllerInfo::RecalcRowIndexes() {
  FDataGroups->StructureChanged();
  FDataGroups->RecalcRowIndexes();
}

void TuxCustomDataControllerInfo::DoSortBySummary() {
  if (!IsGrouped() || FDataGroups->GetGroupCount() == 0 || !IsSortingBySummary()) return;
  TuxSortBySummaryHelper helper(this);
  helper.SortGroups();
}

void TuxCustomDataControllerInfo::SaveExpanding() {
  FExpandingSaved = false;
  FSelectionSaved = false;
  TuxCustomDataController* c = FDataController;
  const bool saveExpanded = c->GetOptions().Contains(dcoSaveExpanding) && (FChanges & (dcicLoad | dcicGrouping));
  const bool saveSelected =
      FSelection->GetEntryCount() > 0 && (FChanges & (dcicLoad | dcicGrouping | dcicSorting | dcicExpanding));
  if (!saveExpanded && !saveSelected) return;
  // The tree must still be the one of the grouping list.
  bool matches = FDataGroups->GetFieldCount() == GroupingFieldCount() && FDataGroups->GetGroupCount() > 0;
  for (int i = 0; matches && i < GroupingFieldCount(); ++i)
    matches = FDataGroups->GetField(i) == FGroupingFieldList->Entries(i).Field;
  if (matches) {
    for (int i = 0; matches && i < FDataGroups->GetGroupCount(); ++i) {
      int first = 0, last = 0;
      FDataGroups->GetRecordRange(i, first, last);
      matches = first >= 0 && last < static_cast<int>(FRecordList.size());
    }
  }
  FExpandingInfos->ClearMemory();
  FSelectionSaved = saveSelected;
  if (!matches) return;
  for (int i = 0; i < FDataGroups->GetFieldCount(); ++i) FExpandingInfos->AddField(FDataGroups->GetField(i));
  const bool alwaysExpanded = c->GetOptions().Contains(dcoGroupsAlwaysExpanded);
  const bool rowsSelected = FSelection->GetEntryCount() > 0;
  int i = 0;
  while (i < FDataGroups->GetGroupCount()) {
    const TuxDataGroupInfo* g = FDataGroups->GetGroup(i);
    const bool selected = saveSelected && FSelection->FindGroupIndex(i) != -1;
    TuxDataExpandingInfoState state;
    if (g->Expanded) {
      if (saveExpanded && (rowsSelected || !alwaysExpanded)) state << dceExpanded;
      if (selected) state << dceSelected;
    } else if (selected) {
      state << dceSelected;
    }
    int first = 0, last = 0;
    FDataGroups->GetRecordRange(i, first, last);
    const int record = FRecordList[static_cast<std::size_t>(first)];
    // A group whose first record has gone since the last pass is not kept.
    if (!state.Empty() && record >= 0 && record < c->GetRecordCount()) {
      FExpandingInfos->AddEntry(g->Level, c->GetGroupValue(record, FDataGroups->GetField(g->Level)), state);
      TuxDataExpandingInfo& entry = FExpandingInfos->LastEntry();
      for (int l = 0; l <= g->Level; ++l)
        entry.Values.push_back(c->GetInternalValue(record, FDataGroups->GetField(l)));
    }
    i = g->Expanded ? i + 1 : FDataGroups->GetSubtreeEnd(i) + 1;
  }
  FExpandingSaved = true;
  FExpandingInfos->SaveStates = {};
  if (saveExpanded) FExpandingInfos->SaveStates << dceExpanded;
  if (saveSelected) FExpandingInfos->SaveStates << dceSelected;
}

void TuxCustomDataControllerInfo::RestoreExpanding() {
  TuxCustomDataController* c = FDataController;
  const bool alwaysExpanded = c->GetOptions().Contains(dcoGroupsAlwaysExpanded);
  if (alwaysExpanded && FDataGroups->GetGroupCount() > 0) FDataGroups->SetExpandedAll(true);
  bool fieldsEqual = FExpandingSaved && FExpandingInfos->GetFieldCount() == FDataGroups->GetFieldCount() &&
                     FDataGroups->GetFieldCount() > 0;
  for (int i = 0; fieldsEqual && i < FDataGroups->GetFieldCount(); ++i)
    fieldsEqual = FExpandingInfos->GetField(i) == FDataGroups->GetField(i);
  if (fieldsEqual) {
    for (int i = FSelection->GetEntryCount() - 1; i >= 0; --i) {
      const TuxDataSelectionEntry& e = FSelection->GetEntry(i);
      if (e.Level != FDataGroups->GetFieldCount()) FSelection->InternalDelete(i);
    }
    TuxDataControllerGroupLocateObject locate(c);
    TuxValueDefUnboundReader reader;
    for (int k = 0; k < FExpandingInfos->GetEntryCount(); ++k) {
      const TuxDataExpandingInfo& entry = FExpandingInfos->GetEntry(k);
      reader.ClearValues();
      for (int l = 0; l <= entry.Level && l < static_cast<int>(entry.Values.size()); ++l) {
        TuxValueDef* def = FDataGroups->GetField(l)->ValueDefinition();
        if (def) reader.SetValue(def, entry.Values[static_cast<std::size_t>(l)]);
      }
      locate.SetLevel(entry.Level);
      locate.ReadLocateRecord(&reader);
      const int record = locate.FindRecordIndex();
      const int group = FDataGroups->GetGroupIndexByRecordListIndex(GetRecordListIndex(record), entry.Level);
      if (group == -1) continue;
      if (entry.State.Contains(dceExpanded)) FDataGroups->GetGroup(group)->Expanded = true;
      if (entry.State.Contains(dceSelected) && FSelection->FindGroupIndex(group) == -1)
        FSelection->InternalAdd(-1, 0, group, -1);
    }
    if (!alwaysExpanded) FDataGroups->RecalcRowIndexes();
  } else if (FSelectionSaved && IsGrouped()) {
    FSelection->InternalClear();
  }
  RemapSelection();
}

void TuxCustomDataControllerInfo::RemapSelection() {
  const bool grouped = IsGrouped() && FDataGroups->GetFieldCount() > 0;
  for (int i = FSelection->GetEntryCount() - 1; i >= 0; --i) {
    TuxDataSelectionEntry& e = FSelection->GetEntry(i);
    int row = -1;
    if (e.Level == -1) {
      if (grouped && e.RecordIndex >= 0 && e.RecordIndex < FDataGroups->GetGroupCount() &&
          FDataGroups->IsVisible(e.RecordIndex))
        row = FDataGroups->GetGroup(e.RecordIndex)->RowIndex;
    } else {
      const int pos = GetRecordListIndex(e.RecordIndex);
      if (pos != -1) {
        if (!grouped) {
          row = pos;
        } else {
          const int g = FDataGroups->GetDeepestGroupByListIndex(pos);
          if (g != -1 && FDataGroups->IsVisible(g) && FDataGroups->GetGroup(g)->Expanded) {
            const TuxDataGroupInfo* group = FDataGroups->GetGroup(g);
            row = group->RowIndex + 1 + pos - group->Begin;
          }
        }
      }
    }
    if (row == -1) {
      FSelection->InternalDelete(i);
    } else {
      e.RowIndex = row;
      if (!grouped) e.Level = 0;
    }
  }
  FSelection->SortEntries();
  if (FSelection->AnchorRowIndex() != -1 && !FSelection->IsRowSelected(FSelection->AnchorRowIndex()))
    FSelection->ClearAnchor();
}

void TuxCustomDataControllerInfo::ConvertChanges() {
  Word c = 0;
  if (FChanges & (dcicView | dcicSorting)) c |= dccLayout;
  if (FChanges & (dcicLoad | dcicGrouping | dcicExpanding)) c |= dccData;
  if (FChanges & (dcicFocusedRow | dcicResetFocusedRow | dcicFocusedRecord)) c |= dccFocus;
  if (FChanges & dcicSelection) c |= dccSelection;
  if (FChanges & dcicSummary) c |= dccSummary;
  if (FDataController->GroupingChangedFlag()) c |= dccGrouping;
  if (FDataController->SortingChangedFlag()) c |= dccSorting;
  FDataController->AddChanges(c);
  FDataController->ClearPassFlags();
  FChanges = 0;
}

void TuxCustomDataControllerInfo::Update() {
  TuxCustomDataController* c = FDataController;
  FInfoCalculation = true;
  {
    TuxFinally closing([this, c] {
      FExpandingInfos->ClearMemory();
      FExpandingSaved = false;
      if (FExpandingFlag) RemapSelection();
      if (FChanges & (dcicSorting | dcicExpanding)) c->RefreshSelectionState();
      FKeyCache.reset();
      FInfoCalculation = false;
      ConvertChanges();
    });
    // Grouping needs every record.
    TuxCustomDataProvider* provider = c->Provider();
    const bool gridMode = provider->IsGridMode();
    provider->SetLoadAllNeeded(IsGrouped());
    if (provider->IsGridMode() != gridMode) c->RestructData();
    if (c->SummarySortChangedFlag()) FChanges |= dcicGrouping | dcicSorting | dcicSummary;
    const bool summaries = (FChanges & dcicSummary) && !c->IsReading() && !c->IsDestroying() && c->Summary();
    FExpandingFlag = false;
    SaveExpanding();
    if (FChanges & dcicLoad) {
      const int count = std::max(c->GetRecordCount(), 0);
      FRecordList.resize(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) FRecordList[static_cast<std::size_t>(i)] = i;
      InvalidateRecordMap();
      DoFilter();
      FDataGroups->StructureChanged();
      // The groups no longer describe the list: rebuilt below, or dropped.
      if (!IsGrouped()) FDataGroups->Clear();
    }
    const bool selectionDependent = summaries && c->Summary()->IsSelectionDependent();
    if (summaries && !selectionDependent) c->Summary()->BeginSummaryCalculation();
    if (FChanges & (dcicGrouping | dcicSorting)) DoSort();
    if (FChanges & dcicGrouping) {
      c->DoGroupingChanging();
      DoGrouping();
    } else if (IsGrouped() && FDataGroups->GetFieldCount() != GroupingFieldCount()) {
      DoGrouping();
    }
    if (FChanges & (dcicGrouping | dcicSorting)) CheckFocusTopRow();
    if (summaries) {
      if (selectionDependent)
        c->Summary()->Calculate();
      else
        c->Summary()->EndSummaryCalculation();
    }
    if (FChanges & (dcicGrouping | dcicSummary)) DoSortBySummary();
    RestoreExpanding();
    CheckFocusedRow();
    c->CheckStoredFocus(-1);
  }
  c->CheckChanges();
}
