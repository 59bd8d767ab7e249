// The data controller's editing, posting and deleting, the new item row, the
// sorting and selection interface, and the master and detail links.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"
#include "framework/uxclasses.h"

// ---------------------------------------------------------------------------
// Edit states and operations

int TuxCustomDataController::GetEditState() {
  int state = 0;
  if (FProvider->IsInserting())
    state = dceInsert;
  else if (FProvider->IsEditing())
    state = dceEdit;
  if (state != 0) {
    if (FProvider->IsChanging()) state |= dceChanging;
    if (FProvider->IsModified()) state |= dceModified;
  }
  return state;
}

bool TuxCustomDataController::IsEditing() {
  return (GetEditState() & (dceInsert | dceEdit)) != 0 && FProvider->EditingRecordIndex() != uxNullEditingRecordIndex;
}

int TuxCustomDataController::GetEditOperations() {
  int ops = 0;
  if (FProvider->CanAppend()) ops |= dceopAppend;
  if (FProvider->CanDelete()) ops |= dceopDelete;
  if (FProvider->CanModify()) ops |= dceopEdit;
  if (FProvider->CanInsert()) ops |= dceopInsert;
  if (!FProvider->IsActive() || FProvider->IsSyncMode()) ops |= dceopShowEditor;
  return ops;
}

bool TuxCustomDataController::IsImmediatePost() {
  return FOptions.Contains(dcoImmediatePost) || FProvider->IsUnboundEditing();
}

void TuxCustomDataController::Append() {
  if (FProvider->CanAppend()) FProvider->Append();
}

void TuxCustomDataController::Insert() {
  if (FProvider->CanInsert()) FProvider->Insert();
}

void TuxCustomDataController::Edit() {
  if (FProvider->CanModify()) FProvider->Edit();
}

void TuxCustomDataController::PostEditingData() { FProvider->PostEditingData(); }

int TuxCustomDataController::GetEditingRecordIndex() {
  if (FProvider->IsEditing()) return FProvider->EditingRecordIndex();
  return GetFocusedDataRecordIndex();
}

bool TuxCustomDataController::CanInitEditing(int ItemIndex) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  if (!field->CanEditValue()) return false;
  if (!GetItemEditable(ItemIndex)) return false;
  return FProvider->CanInitEditing(ItemIndex);
}

void TuxCustomDataController::GetEditValue(int ItemIndex, int EditValueSource, Variant& Value) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  if (FNewItemRowEnabled && GetNewItemRowFocused() && !FProvider->IsEditing()) {
    Value = Null();
    return;
  }
  FProvider->GetEditValue(GetEditingRecordIndex(), field, Value, EditValueSource);
}

bool TuxCustomDataController::SetEditValue(int ItemIndex, const Variant& Value, int EditValueSource) {
  if (!CanInitEditing(ItemIndex)) return false;
  const bool stored = FProvider->SetEditValue(GetEditingRecordIndex(), GetItemField(ItemIndex), Value, EditValueSource);
  if (stored && IsImmediatePost()) Post();
  return stored;
}

void TuxCustomDataController::CopyRecord(int FromRecordIndex, int ToRecordIndex) {
  if (IsProviderMode() && ToRecordIndex >= 0) {
    CopyFieldToProvider(FromRecordIndex, ToRecordIndex);
  } else {
    TuxValueDefRecordReader reader(this, FromRecordIndex);
    FDataStorage->FillRecord(ToRecordIndex, &reader);
  }
  if (ToRecordIndex >= 0) DataChanged(dcRecordChanged, -1, ToRecordIndex);
}

bool TuxCustomDataController::PostIfEditing() {
  if (!FProvider->IsEditing()) return false;
  if (FProvider->IsChanging()) FProvider->PostEditingData();
  Post();
  return true;
}

void TuxCustomDataController::Post() {
  TuxObjectLink* link = uxAddObjectLink(this);
  TuxFinally remove([link] { uxRemoveObjectLink(link); });
  FFocusCheckRequested = true;
  {
    TuxFinally reset([this, link] {
      if (link->Ref) FProvider->SetInsertedRecordIndex(-1);
    });
    if (FProvider->IsEditing()) FProvider->Post();
  }
}

void TuxCustomDataController::Cancel() {
  if (FInCancel) return;
  FInCancel = true;
  TuxFinally clear([this] { FInCancel = false; });
  const int row = GetFocusedRowIndex();
  if (FProvider->IsEditing()) FProvider->Cancel();
  if (FDataControllerInfo->InCanFocusedRecordQuery() || row == -1) return;
  ChangeFocusedRowIndex(std::min(row, GetRowCount() - 1));
}

void TuxCustomDataController::CheckEditingRecordDeleted(int RecordIndex) {
  if (!FProvider->IsEditing()) return;
  const int editing = FProvider->EditingRecordIndex();
  if (editing < 0) return;
  if (RecordIndex == -1 ? editing >= GetRecordCount() : editing == RecordIndex) FProvider->ResetEditing();
}

// ---------------------------------------------------------------------------
// Deleting

void TuxCustomDataController::DeleteFocused() {
  const int row = GetFocusedRowIndex();
  if (row == -1 || !FProvider->CanDelete()) return;
  FProvider->BeginDeleting();
  {
    TuxFinally end([this] { FProvider->EndDeleting(); });
    const TuxRowInfo info = GetRowInfo(row);
    if (info.Level < FDataControllerInfo->GroupingFieldCount()) {
      std::vector<int> list;
      FGroups->CollectRowRecords(list, row);
      DeleteRecords(list);
    } else {
      DeleteFocusedRecord();
    }
  }
  ClearSelection();
}

void TuxCustomDataController::DeleteFocusedRecord() {
  const int focused = GetFocusedRecordIndex();
  if (FRecordToFocusAfterDelete != -1 && focused != -1 && FRecordToFocusAfterDelete >= focused)
    --FRecordToFocusAfterDelete;
  try {
    FProvider->Delete();
  } catch (...) {
    FRecordToFocusAfterDelete = GetFocusedRecordIndex();
    throw;
  }
}

void TuxCustomDataController::DeleteSelection() {
  if (GetSelectedCount() == 0 || !FProvider->CanDelete()) return;
  if (IsSingleSelection()) {
    DeleteFocused();
    return;
  }
  FProvider->BeginDeleting();
  TuxFinally end([this] { FProvider->EndDeleting(); });
  FProvider->DeleteSelection();
}

void TuxCustomDataController::DeleteRecords(std::vector<int>& List) {
  std::sort(List.begin(), List.end());
  List.erase(std::unique(List.begin(), List.end()), List.end());
  if (FRecordToFocusAfterDelete != -1) {
    const int before = static_cast<int>(std::upper_bound(List.begin(), List.end(), FRecordToFocusAfterDelete) - List.begin());
    FRecordToFocusAfterDelete -= before;
    if (FRecordToFocusAfterDelete < 0) FRecordToFocusAfterDelete = -1;
  }
  try {
    FProvider->DeleteRecords(List);
  } catch (...) {
    FRecordToFocusAfterDelete = GetFocusedRecordIndex();
    throw;
  }
}

void TuxCustomDataController::FocusAfterDelete() {
  if (FRecordToFocusAfterDelete != -1) {
    if (FRecordToFocusAfterDelete < GetRecordCount()) ChangeFocusedRecordIndex(FRecordToFocusAfterDelete);
  } else if (FDataControllerInfo->LockCount() == 0 && GetFocusedRecordIndex() == -1 && GetRowCount() > 0) {
    ChangeFocusedRecordIndex(GetRowInfo(GetRowCount() - 1).RecordIndex);
  }
}

// ---------------------------------------------------------------------------
// The new item row

bool TuxCustomDataController::GetNewItemRowFocused() {
  return FNewItemRowEnabled && FNewItemRowFocused && GetFocusedRowIndex() == -1;
}

int TuxCustomDataController::GetNewItemRecordIndex() {
  if (FNewItemRecordIndex == 0) FNewItemRecordIndex = FDataStorage->NewInternalRecord();
  return FNewItemRecordIndex;
}

void TuxCustomDataController::SetNewItemRowEnabled(bool Value) {
  if (FNewItemRowEnabled == Value) return;
  Cancel();
  ClearSelection();
  FNewItemRowEnabled = Value;
  if (!Value) FNewItemRowFocused = false;
  Change(dccData);
}

void TuxCustomDataController::SetNewItemRowFocused(bool Value) {
  if (FNewItemRowFocused == Value) return;
  {
    TuxInfoUpdateLock lock(this);
    if (Value) {
      FDataControllerInfo->ChangeFocusedRow(-1, true);
    } else if (!IsDestroying()) {
      PostIfEditing();
    }
    FDataControllerInfo->FocusedRecordChanged(true);
    FDataControllerInfo->AddChanges(dcicFocusedRow);
    FDataControllerInfo->SetNewItemRowFocusingChanged(true);
    FNewItemRowFocused = Value;
  }
  if (FOptions.Contains(dcoInsertOnNewItemRowFocusing) && GetNewItemRowFocused() && !FProvider->IsInserting())
    Insert();
}

// ---------------------------------------------------------------------------
// Sorting

void TuxCustomDataController::ChangeSorting(int ItemIndex, TuxDataSortOrder SortOrder) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  if (GetItemSortOrder(ItemIndex) == SortOrder && (SortOrder == soNone || GetItemSortingIndex(ItemIndex) != -1 ||
                                                   FGroups->GetGroupIndexOfField(field) != -1))
    return;
  TuxInfoUpdateLock lock(this);
  PostIfEditing();
  FSortingChanged = true;
  FDataControllerInfo->ChangeSorting(field, SortOrder);
}

void TuxCustomDataController::ChangeItemSortingIndex(int ItemIndex, int SortingIndex) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  if (GetItemSortingIndex(ItemIndex) == SortingIndex) return;
  TuxInfoUpdateLock lock(this);
  TuxCustomDataControllerInfo* info = FDataControllerInfo;
  const bool grouped = FGroups->GetGroupIndexOfField(field) != -1;
  if (grouped && GetItemSortOrder(ItemIndex) == soAscending && SortingIndex == -1) {
    ChangeSorting(ItemIndex, soNone);
    return;
  }
  PostIfEditing();
  FSortingChanged = true;
  if (GetItemSortingIndex(ItemIndex) == -1) {
    TuxDataSortOrder order = info->GroupingFieldList()->SortOrderOf(field);
    if (order == soNone) order = soAscending;
    info->SortingFieldList()->AddField(field, order);
  }
  info->ChangeSortingIndex(field, SortingIndex);
}

void TuxCustomDataController::ClearSorting(bool KeepGroupedItems) {
  TuxInfoUpdateLock lock(this);
  TuxCustomDataControllerInfo* info = FDataControllerInfo;
  const int before = info->SortingFieldList()->EntryCount();
  int after = 0;
  if (KeepGroupedItems) {
    for (int i = 0; i < before; ++i)
      after += info->GroupingFieldList()->IndexOfField(info->SortingFieldList()->Entries(i).Field) >= 0;
  } else {
    after = info->GroupingFieldCount();
  }
  if (after != before) {
    PostIfEditing();
    FSortingChanged = true;
  }
  info->ClearSorting(KeepGroupedItems);
}

TuxDataSortOrder TuxCustomDataController::GetItemSortOrder(int ItemIndex) const {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  TuxDataSortOrder order = FDataControllerInfo->SortingFieldList()->SortOrderOf(field);
  if (order == soNone) order = FDataControllerInfo->GroupingFieldList()->SortOrderOf(field);
  return order;
}

int TuxCustomDataController::GetItemSortingIndex(int ItemIndex) const {
  return FDataControllerInfo->SortingFieldList()->IndexOfField(GetItemField(ItemIndex));
}

int TuxCustomDataController::GetSortingItemCount() const { return FDataControllerInfo->SortingFieldList()->EntryCount(); }

int TuxCustomDataController::GetSortingItemIndex(int Index) const {
  return GetItemIndex(FDataControllerInfo->SortingFieldList()->Entries(Index).Field);
}

void TuxCustomDataController::SetSortingBySummaryItem(int ItemIndex) {
  TuxCustomDataField* field = ItemIndex == -1 ? nullptr : GetItemField(ItemIndex);
  if (field == FSummarySortField) return;
  TuxInfoUpdateLock lock(this);
  FSummarySortField = field;
  FSummarySortChanged = true;
  FDataControllerInfo->AddChanges(dcicGrouping | dcicSorting | dcicSummary);
  FChanges |= dccGrouping;
}

int TuxCustomDataController::GetSortingBySummaryItemIndex() const {
  return FSummarySortField ? GetItemIndex(FSummarySortField) : -1;
}

TuxDataSortOrder TuxCustomDataController::GetSortingBySummaryOrder() const {
  const int item = GetSortingBySummaryItemIndex();
  return item == -1 ? soNone : GetItemSortOrder(item);
}

// ---------------------------------------------------------------------------
// Selection

int TuxCustomDataController::GetSelectedCount() {
  if (FMultiSelect) return FDataControllerInfo->GetSelectedCount();
  return GetFocusedRowIndex() != -1 && FFocusedSelected ? 1 : 0;
}

int TuxCustomDataController::GetSelectedRowIndex(int Index) {
  if (FMultiSelect) return FDataControllerInfo->GetSelectedRowIndex(Index);
  return Index == 0 && GetSelectedCount() == 1 ? GetFocusedRowIndex() : -1;
}

bool TuxCustomDataController::IsRowSelected(int RowIndex) {
  if (FMultiSelect) return FDataControllerInfo->IsRowSelected(RowIndex);
  return RowIndex != -1 && RowIndex == GetFocusedRowIndex() && FFocusedSelected;
}

void TuxCustomDataController::ChangeRowSelection(int RowIndex, bool Select) {
  if (!FMultiSelect) return;
  FDataControllerInfo->ChangeRowSelection(RowIndex, Select);
  CheckChanges();
}

void TuxCustomDataController::ClearSelection() {
  FDataControllerInfo->ClearSelection();
  CheckChanges();
}

void TuxCustomDataController::SelectRows(int FromRowIndex, int ToRowIndex) {
  if (!FMultiSelect) return;
  if (FromRowIndex > ToRowIndex) std::swap(FromRowIndex, ToRowIndex);
  TuxInfoUpdateLock lock(this);
  for (int row = FromRowIndex; row <= ToRowIndex; ++row) ChangeRowSelection(row, true);
}

void TuxCustomDataController::SelectAll() {
  if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TuxCustomDataController::SelectFromAnchor(int RowIndex, bool KeepSelection) {
  const int anchor = GetSelectionAnchorRowIndex();
  if (anchor == -1) return;
  TuxInfoUpdateLock lock(this);
  if (!KeepSelection) ClearSelection();
  SelectRows(anchor, RowIndex);
}

void TuxCustomDataController::SetSelectionAnchor(int RowIndex) {
  CheckRowIndex(RowIndex);
  FDataControllerInfo->Selection()->SetAnchorRowIndex(RowIndex);
}

int TuxCustomDataController::GetSelectionAnchorRowIndex() { return FDataControllerInfo->Selection()->AnchorRowIndex(); }

bool TuxCustomDataController::IsSelectionAnchorExist() { return GetSelectionAnchorRowIndex() != -1; }

void TuxCustomDataController::ClearSelectionAnchor() { FDataControllerInfo->ClearSelectionAnchor(); }

void TuxCustomDataController::SyncSelected() {
  if (!FMultiSelect) return;
  TuxInfoUpdateLock lock(this);
  ClearSelection();
  if (GetFocusedRowIndex() != -1) ChangeRowSelection(GetFocusedRowIndex(), true);
}

void TuxCustomDataController::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  FFocusedSelected = true;
  {
    TuxInfoUpdateLock lock(this);
    if (!Value) {
      FDataControllerInfo->ClearSelection();
    } else if (GetFocusedRowIndex() != -1) {
      ChangeRowSelection(GetFocusedRowIndex(), true);
    }
  }
  const TuxSummaryOptions options = FSummary->Options();
  if (options.Contains(soSelectedRecords) || options.Contains(soMultipleSelectedRecords)) FSummary->Changed(false);
}

void TuxCustomDataController::SetFocusedSelected(bool Value) {
  if (FMultiSelect || FFocusedSelected == Value) return;
  FFocusedSelected = Value;
  const int row = GetFocusedRowIndex();
  if (row != -1) {
    FLastSelectedCount = 1;
    FLastSelectedRow = row;
    Change(dccSelection);
  }
}

void TuxCustomDataController::GetRecordId(int RowIndex, Variant& Id) {
  GetRecordIdValue(GetRowInfo(RowIndex).RecordIndex, Id);
}

// ---------------------------------------------------------------------------
// Master and detail

int TuxCustomDataController::GetDetailMode() const {
  if (FMasterRelation) return FMasterRecordIndex == -1 ? 1 : 2;
  return FIsPattern ? 1 : 0;
}

bool TuxCustomDataController::IsPattern() const { return GetDetailMode() == 1; }

TuxCustomDataController* TuxCustomDataController::GetMasterDataController() const {
  return FMasterRelation ? FMasterRelation->GetMasterDataController() : nullptr;
}

TuxCustomDataController* TuxCustomDataController::GetTopMasterDataController() {
  TuxCustomDataController* c = this;
  for (int guard = 0; c->GetMasterDataController() && guard < 1000; ++guard) c = c->GetMasterDataController();
  return c;
}

namespace {

TuxCustomDataRelation* FindPatternRelation(TuxCustomDataController* Controller, TObject* Item, int Depth) {
  if (!Controller || Depth > 64) return nullptr;
  TuxCustomDataRelationList* relations = Controller->Relations();
  if (!relations) return nullptr;
  if (TuxCustomDataRelation* r = relations->RelationByItem(Item)) return r;
  for (int i = 0; i < relations->GetCount(); ++i) {
    TuxCustomDataController* pattern = relations->RelationItems(i)->DetailDataController();
    if (pattern && pattern != Controller)
      if (TuxCustomDataRelation* r = FindPatternRelation(pattern, Item, Depth + 1)) return r;
  }
  return nullptr;
}

}  // namespace

TuxCustomDataController* TuxCustomDataController::GetPatternDataController() {
  if (!FMasterRelation) return this;
  TuxCustomDataRelation* relation = FindPatternRelation(GetTopMasterDataController(), FMasterRelation->Item(), 0);
  return relation ? relation->DetailDataController() : nullptr;
}

void TuxCustomDataController::SetMasterRelation(TuxCustomDataRelation* Relation, int MasterRecordIndex) {
  if (!FMasterRelation && !Relation && FMasterRecordIndex == -1 && MasterRecordIndex == -1) return;
  TuxInfoUpdateLock lock(this);
  if (FMasterRelation) {
    if (FMasterRecordIndex == -1 && MasterRecordIndex == -1) {
      if (FMasterRelation->FDetailDataController == this) FMasterRelation->FDetailDataController = nullptr;
    } else {
      FProvider->SetCustomDataSource(nullptr);
    }
    if (TuxCustomDataController* master = FMasterRelation->GetMasterDataController())
      if (master->FCreatingDetailController == this) master->FCreatingDetailController = nullptr;
    if (FRelations && !FRelations->IsLocked()) FRelations->NotifyChanged(nullptr);
  }
  FMasterRelation = Relation;
  FMasterRecordIndex = Relation ? MasterRecordIndex : -1;
  if (Relation) {
    if (MasterRecordIndex == -1) {
      Relation->FDetailDataController = this;
      Relation->NotifyChanged();
    } else {
      TuxCustomDataController* pattern = GetPatternDataController();
      if (pattern && pattern != this) FProvider->SetCustomDataSource(pattern->Provider()->CustomDataSource());
      if (TuxCustomDataController* master = Relation->GetMasterDataController())
        master->FCreatingDetailController = this;
    }
  }
  UpdateStructure(2);
}

void TuxCustomDataController::SetPatternMasterRelation(TuxCustomDataRelation* Relation, bool AIsPattern) {
  TuxUpdateLock lock(this);
  SetMasterRelation(Relation, -1);
  SetIsPattern(AIsPattern);
}

void TuxCustomDataController::SetIsPattern(bool Value) {
  const int mode = GetDetailMode();
  FPatternRequested = Value;
  FIsPattern = Value;
  if (GetDetailMode() != mode && !IsDestroying()) RestructData();
}

void TuxCustomDataController::AfterLocate() {
  if (GetDetailMode() == 2) Change(dccSyncMasterFocus);
  NotifyAfterLocate();
}

void TuxCustomDataController::ReloadData(TuxCustomDataRelation* Relation) {
  if (IsPattern()) {
    if (FMasterRelation) GetTopMasterDataController()->ReloadDetails(FMasterRelation->Item());
  } else {
    Change(dccData);
  }
}

TObject* TuxCustomDataController::GetDetailDataController(int RecordIndex, int RelationIndex) {
  TuxCustomDataRelationList* relations = GetRelations();
  TuxDetailObject* detail = relations->GetDetailObject(RecordIndex);
  if (!detail) return nullptr;
  TObject* link = detail->LinkObject(RelationIndex);
  if (link || FInCreateDetail) return link;
  TuxCustomDataRelation* relation = relations->RelationItems(RelationIndex);
  if (!relation) return nullptr;
  TuxCustomDataController* pattern = GetPatternDataController();
  FInCreateDetail = true;
  if (pattern && pattern != this) pattern->FInCreateDetail = true;
  {
    TuxFinally clear([this, pattern] {
      FInCreateDetail = false;
      if (pattern && pattern != this) pattern->FInCreateDetail = false;
      FCreatingDetailController = nullptr;
    });
    link = CreateDetailDataController(relation, RecordIndex);
  }
  if (link) {
    if (RecordIndex >= GetRecordCount() || relations->FindDetailObject(RecordIndex) != detail) {
      link->Free();
      link = nullptr;
    } else {
      detail->SetLinkObject(RelationIndex, link);
    }
  }
  if (!link && !FInCreateDetailSecondTry) {
    FInCreateDetailSecondTry = true;
    TuxFinally clear([this] { FInCreateDetailSecondTry = false; });
    link = GetDetailDataController(RecordIndex, RelationIndex);
  }
  return link;
}

TuxCustomDataController* TuxCustomDataController::GetDetailController(int RecordIndex, int RelationIndex) {
  TObject* link = GetDetailDataController(RecordIndex, RelationIndex);
  return link ? GetDetailDataControllerByLinkObject(link) : nullptr;
}

bool TuxCustomDataController::IsDetailDataControllerExist(int RecordIndex, int RelationIndex) {
  if (!FRelations) return false;
  TuxDetailObject* detail = FRelations->FindDetailObject(RecordIndex);
  return detail && detail->LinkObject(RelationIndex);
}

bool TuxCustomDataController::CanAskProviderForDetails() { return IsProviderMode() || FProvider->IsActive(); }

bool TuxCustomDataController::GetDetailHasChildren(int RecordIndex, int RelationIndex) {
  if (IsDetailDataControllerExist(RecordIndex, RelationIndex)) {
    TuxCustomDataController* detail =
        GetDetailDataControllerByLinkObject(FRelations->FindDetailObject(RecordIndex)->LinkObject(RelationIndex));
    return detail && detail->GetRecordCount() > 0;
  }
  if (!CanAskProviderForDetails()) return false;
  TuxDetailObject* detail = GetRelations()->GetDetailObject(RecordIndex);
  if (!detail) return true;
  TuxDetailInfoObject* info = detail->InfoObject(RelationIndex);
  if (!info) {
    info = new TuxDetailInfoObject;
    detail->SetInfoObject(RelationIndex, info);
  }
  if (!info->HasChildrenAssigned) {
    info->HasChildren = FProvider->GetDetailHasChildren(RecordIndex, RelationIndex);
    info->HasChildrenAssigned = true;
  }
  return info->HasChildren;
}

void TuxCustomDataController::ResetDetailHasChildren() {
  if (!FRelations) return;
  bool any = false;
  for (int r = 0; r < GetRecordCount(); ++r)
    if (TuxDetailObject* detail = FRelations->FindDetailObject(r)) any |= detail->ResetHasChildrenFlags();
  if (any) Change(dccLayout);
}

void TuxCustomDataController::ResetDetailHasChildrenOfMaster() {
  if (TuxCustomDataController* master = GetMasterDataController()) master->ResetDetailHasChildren();
}

void TuxCustomDataController::NotifyMasterDetailsChanged() {
  if (IsDetailMode() && !FProvider->IsInserting() && !FProvider->IsEditing() && CanAskProviderForDetails())
    ResetDetailHasChildrenOfMaster();
}

bool TuxCustomDataController::GetDetailExpanded(int RecordIndex) {
  CheckRecordRange(RecordIndex);
  TuxDetailObject* detail = FRelations ? FRelations->FindDetailObject(RecordIndex) : nullptr;
  return detail && detail->Expanded;
}

int TuxCustomDataController::GetDetailActiveRelationIndex(int RecordIndex) {
  if (!FRelations) return -1;
  TuxDetailObject* detail = FRelations->GetDetailObject(RecordIndex);
  return detail ? detail->ActiveRelationIndex : -1;
}

void TuxCustomDataController::ChangeDetailActiveRelationIndex(int RecordIndex, int RelationIndex) {
  TuxDetailObject* detail = GetRelations()->GetDetailObject(RecordIndex);
  if (!detail || detail->ActiveRelationIndex == RelationIndex) return;
  CheckBrowseMode();
  detail->ActiveRelationIndex = RelationIndex;
  Change(dccDetail);
}

bool TuxCustomDataController::DoDetailExpandingQuery(int RecordIndex, bool Expanded) {
  bool allow = true;
  if (Expanded)
    DoDetailExpanding(RecordIndex, allow);
  else
    DoDetailCollapsing(RecordIndex, allow);
  return allow;
}

bool TuxCustomDataController::ChangeDetailExpanding(int RecordIndex, bool Expanded) {
  if (RecordIndex < 0 || RecordIndex >= GetRecordCount()) return false;
  if (GetDetailExpanded(RecordIndex) == Expanded) return false;
  FDetailExpanding = true;
  TuxFinally clear([this] { FDetailExpanding = false; });
  CheckBrowseMode();
  if (RecordIndex >= GetRecordCount()) return false;
  TuxDetailObject* detail = GetRelations()->GetDetailObject(RecordIndex);
  if (!detail) return false;
  if (!DoDetailExpandingQuery(RecordIndex, Expanded)) return false;
  detail->Expanded = Expanded;
  TuxCustomDataController* master = GetMasterDataController();
  if (!(IsDetailMode() && master && master->GetInfoLockCount() > 0)) Change(dccDetail);
  if (Expanded)
    DoDetailExpanded(RecordIndex);
  else
    DoDetailCollapsed(RecordIndex);
  return true;
}

void TuxCustomDataController::DoDetailExpanding(int RecordIndex, bool& AAllow) {
  if (OnDetailExpanding) OnDetailExpanding(this, RecordIndex, AAllow);
}

void TuxCustomDataController::DoDetailExpanded(int RecordIndex) {
  if (OnDetailExpanded) OnDetailExpanded(this, RecordIndex);
}

void TuxCustomDataController::DoDetailCollapsing(int RecordIndex, bool& AAllow) {
  if (OnDetailCollapsing) OnDetailCollapsing(this, RecordIndex, AAllow);
}

void TuxCustomDataController::DoDetailCollapsed(int RecordIndex) {
  if (OnDetailCollapsed) OnDetailCollapsed(this, RecordIndex);
}

void TuxCustomDataController::DropDetails(int RecordIndex, int RelationIndex) {
  if (!FRelations || !FRelations->HasDetailLink(RecordIndex, RelationIndex)) return;
  FRelations->ClearDetailLinks(RecordIndex, RelationIndex);
  Change(dccDetail);
}

void TuxCustomDataController::DropAllDetails() {
  if (!FRelations) return;
  TuxInfoUpdateLock lock(this);
  for (int r = 0; r < GetRecordCount(); ++r) DropDetails(r, -1);
}

void TuxCustomDataController::CollapseDetails() {
  CheckBrowseMode();
  if (!FRelations) return;
  TuxInfoUpdateLock lock(this);
  for (int r = 0; r < GetRecordCount(); ++r) {
    DropDetails(r, -1);
    if (TuxDetailObject* detail = FRelations->FindDetailObject(r)) detail->Expanded = false;
  }
  Change(dccDetail);
}

void TuxCustomDataController::ReloadDetails(TObject* AItem) {
  if (!FRelations) return;
  if (TuxCustomDataRelation* relation = FRelations->RelationByItem(AItem)) {
    const int index = relation->GetIndex();
    for (int r = 0; r < GetRecordCount(); ++r) DropDetails(r, index);
  }
  for (int r = 0; r < GetRecordCount(); ++r) {
    TuxDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (int i = 0; i < detail->InfoCount(); ++i)
      if (TObject* link = detail->LinkObject(i))
        if (TuxCustomDataController* dc = GetDetailDataControllerByLinkObject(link))
          if (dc != this) dc->ReloadDetails(AItem);
  }
}

void TuxCustomDataController::ForEachDetailAt(TuxCustomDataController* Controller, const std::vector<int>& Chain,
                                              std::size_t Depth, const TEvent<void(TuxCustomDataController*)>& Proc) {
  const int relation = Chain[Depth];
  for (int r = 0; r < Controller->GetRecordCount(); ++r) {
    TuxCustomDataController* detail = nullptr;
    if (Controller->IsDetailDataControllerExist(r, relation)) {
      detail = Controller->GetDetailDataControllerByLinkObject(
          Controller->Relations()->FindDetailObject(r)->LinkObject(relation));
    } else if (Controller->FCreatingDetailController &&
               Controller->FCreatingDetailController->GetMasterRecordIndex() == r) {
      detail = Controller->FCreatingDetailController;
    }
    if (!detail) continue;
    if (Depth + 1 == Chain.size())
      Proc(detail);
    else
      ForEachDetailAt(detail, Chain, Depth + 1, Proc);
  }
}

void TuxCustomDataController::ForEachDetailController(TuxCustomDataRelation* Relation,
                                                      TEvent<void(TuxCustomDataController*)> Proc) {
  if (!Relation || !Proc) return;
  // The chain of relation indexes from the top master down to Relation.
  std::vector<int> chain;
  TuxCustomDataRelation* r = Relation;
  for (int guard = 0; r && guard < 64; ++guard) {
    chain.insert(chain.begin(), r->GetIndex());
    TuxCustomDataController* owner = r->GetMasterDataController();
    r = owner ? owner->GetMasterRelation() : nullptr;
  }
  ForEachDetailAt(GetTopMasterDataController(), chain, 0, Proc);
}

void TuxCustomDataController::ClearDetailMasterRelations(TuxCustomDataRelation* Relation) {
  if (!FRelations || !Relation) return;
  const int index = Relation->GetIndex();
  for (int r = 0; r < GetRecordCount(); ++r) {
    TuxDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    if (TObject* link = detail->LinkObject(index))
      if (TuxCustomDataController* dc = GetDetailDataControllerByLinkObject(link)) dc->SetMasterRelation(nullptr, -1);
  }
}

void TuxCustomDataController::SyncDetailsFocus(int RecordIndex) {
  if (!FRelations) return;
  TuxDetailObject* detail = FRelations->FindDetailObject(RecordIndex);
  if (!detail) return;
  for (int i = 0; i < FRelations->GetCount(); ++i) {
    if (i != detail->ActiveRelationIndex) continue;
    TObject* link = detail->LinkObject(i);
    TuxCustomDataController* dc = link ? GetDetailDataControllerByLinkObject(link) : nullptr;
    if (dc && dc->GetFocusedRowIndex() == -1 && !dc->GetNewItemRowFocused() && dc->GetRowCount() > 0)
      dc->ChangeFocusedRowIndex(0);
  }
}

bool TuxCustomDataController::BrowseDetails() {
  if (!FRelations) return true;
  for (int r = 0; r < GetRecordCount(); ++r) {
    TuxDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (int i = 0; i < detail->InfoCount(); ++i)
      if (TObject* link = detail->LinkObject(i))
        if (TuxCustomDataController* dc = GetDetailDataControllerByLinkObject(link)) dc->CheckBrowseMode();
  }
  return true;
}

void TuxCustomDataController::InsertDetailIndexes(int RecordIndex) {
  if (!FRelations) return;
  for (int r = RecordIndex + 1; r < GetRecordCount(); ++r) {
    TuxDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (int i = 0; i < detail->InfoCount(); ++i)
      if (TObject* link = detail->LinkObject(i))
        if (TuxCustomDataController* dc = GetDetailDataControllerByLinkObject(link)) ++dc->FMasterRecordIndex;
  }
}

void TuxCustomDataController::DeleteDetailIndexes(int RecordIndex) {
  CheckEditingRecordDeleted(RecordIndex);
  if (!FRelations) return;
  for (int r = RecordIndex; r < GetRecordCount(); ++r) {
    TuxDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (int i = 0; i < detail->InfoCount(); ++i)
      if (TObject* link = detail->LinkObject(i))
        if (TuxCustomDataController* dc = GetDetailDataControllerByLinkObject(link)) --dc->FMasterRecordIndex;
  }
}

// ---------------------------------------------------------------------------
// Events

void TuxCustomDataController::DoAfterCancel() {
  if (OnAfterCancel) OnAfterCancel(this);
}

void TuxCustomDataController::DoAfterDelete() {
  if (OnAfterDelete) OnAfterDelete(this);
}

void TuxCustomDataController::DoAfterInsert() {
  if (OnAfterInsert) OnAfterInsert(this);
}

void TuxCustomDataController::DoAfterPost() {
  if (OnAfterPost) OnAfterPost(this);
}

void TuxCustomDataController::DoBeforeCancel() {
  if (OnBeforeCancel) OnBeforeCancel(this);
}

void TuxCustomDataController::DoBeforeDelete(int RecordIndex) {
  if (OnBeforeDelete) OnBeforeDelete(this, RecordIndex);
}

void TuxCustomDataController::DoBeforeInsert() {
  if (OnBeforeInsert) OnBeforeInsert(this);
}

void TuxCustomDataController::DoBeforePost() {
  if (OnBeforePost) OnBeforePost(this);
}

void TuxCustomDataController::DoNewRecord(int RecordIndex) {
  if (OnNewRecord) OnNewRecord(this, RecordIndex);
}
