// The data provider of unbound data: the editing state of the one edited
// record and the edit, insert, post, cancel and delete protocol on the
// controller's record store.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"


TuxCustomDataProvider::TuxCustomDataProvider(TuxCustomDataController* AController) : FController(AController) {}

TuxCustomDataProvider::~TuxCustomDataProvider() {
  FreeSavedRecord();
  FCustomDataSource = nullptr;
}

bool TuxCustomDataProvider::CanDelete() { return FController->GetRecordCount() > 0; }

bool TuxCustomDataProvider::CanInitEditing(int ItemIndex) {
  FController->CheckRecordRange(FController->GetEditingRecordIndex());
  if (!IsEditing()) DoEdit();
  if (IsEditing()) SetChanging();
  return true;
}

void TuxCustomDataProvider::BeginEditing() {
  if (FController->GetNewItemRowFocused() && !FInserting) {
    Insert();
    return;
  }
  FEditingRecordIndex = FController->GetFocusedDataRecordIndex();
  if (FEditingRecordIndex >= 0) {
    FEditingRecordIndex1 = uxNullEditingRecordIndex;
    FEditingRecordIndex2 = uxNullEditingRecordIndex;
    const int row = FController->GetFocusedRowIndex();
    if (row != -1) {
      const int count = FController->GetRowCount();
      if (row < count - 1) {
        FEditingRecordIndex2 = FController->GetRowInfo(row + 1).RecordIndex;
      } else {
        FEditingRecordIndex1 = FController->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
      }
    }
  }
  if (FEditingRecordIndex == uxNullEditingRecordIndex) return;
  if ((!IsActive() || FController->IsSmartRefresh()) && !FInserting) SaveEditedRecord(FEditingRecordIndex);
  FController->Change(dccUpdateRecord);
}

void TuxCustomDataProvider::InsertingRecord(bool AAppend) {
  if (!IsActive() && IsInserting() && !IsChanging() && !IsModified()) return;
  if (IsEditing() && (IsChanging() || IsModified()) && !IsActive()) {
    if (IsChanging()) PostEditingData();
    Post();
  }
  FController->DoBeforeInsert();
  {
    TuxInfoUpdateLock lock(FController);
    FInInserting = true;
    try {
      TuxDataSummaryValues groupValues;
      if (FController->NewItemRowEnabled()) {
        FEditingRecordIndex = FController->GetNewItemRecordIndex();
        FController->SetNewItemRowFocused(true);
        int from = FController->GetFocusedRecordIndex();
        if (from < 0 && FController->GetRowCount() > 0) from = FController->GetRowInfo(0).RecordIndex;
        FController->GetGroupRowValues(from, groupValues);
      } else {
        if (!AAppend) FController->ClearSelection();
        if (IsGridMode()) {
          FEditingRecordIndex = FController->GetDataSetFocusedRecordIndex();
          FController->GetGroupRowValues(FEditingRecordIndex, groupValues);
        } else if (AAppend) {
          const int rows = FController->GetRowCount();
          const int last = rows > 0 ? FController->GetRowInfo(rows - 1).RecordIndex : -1;
          FController->GetGroupRowValues(last, groupValues);
          FController->FAppending = true;
          try {
            FEditingRecordIndex = FController->AppendRecord();
          } catch (...) {
            FController->FAppending = false;
            throw;
          }
          FController->FAppending = false;
          FEditingRecordIndex1 = last >= 0 ? last : uxNullEditingRecordIndex;
          FEditingRecordIndex2 = uxNullEditingRecordIndex;
        } else {
          int next = FController->GetFocusedRecordIndex();
          if (next < 0) next = FController->GetRecordCount() > 0 ? 0 : -1;
          FController->GetGroupRowValues(next, groupValues);
          const int at = next < 0 ? FController->GetRecordCount() : next;
          FEditingRecordIndex = FController->InsertRecord(at);
          FEditingRecordIndex1 = uxNullEditingRecordIndex;
          FEditingRecordIndex2 = next < 0 ? uxNullEditingRecordIndex : (next >= FEditingRecordIndex ? next + 1 : next);
        }
      }
      DoInitInsertingRecord(FEditingRecordIndex, groupValues);
      ResetChanging();
      FInserting = true;
    } catch (...) {
      FInInserting = false;
      throw;
    }
    FInInserting = false;
  }
  FController->ChangeFocusedRecordIndex(FEditingRecordIndex);
  FController->DoAfterInsert();
}

void TuxCustomDataProvider::DoInitInsertingRecord(int RecordIndex, const TuxDataSummaryValues& GroupValues) {
  TuxCustomDataControllerInfo* info = FController->DataControllerInfo();
  if (info->IsGrouped() && FController->GetOptions().Contains(dcoAssignGroupingValues)) {
    for (int i = 0; i < info->GroupingFieldCount() && i < static_cast<int>(GroupValues.size()); ++i)
      AssignItemValue(RecordIndex, info->GroupingFieldList()->Entries(i).Field, GroupValues[static_cast<std::size_t>(i)]);
  }
  FController->DoNewRecord(RecordIndex);
}

void TuxCustomDataProvider::AssignItemValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value) {
  FController->SetValue(RecordIndex, FController->GetItemIndex(Field), Value);
}

void TuxCustomDataProvider::Post() {
  bool done = false;
  int posted = FEditingRecordIndex;
  {
    TuxUpdateLock lock(FController);
    UpdateData();
    if (!IsInserting() || IsModified()) {
      FController->DoBeforePost();
      if (IsInserting() && FController->NewItemRowEnabled() && FEditingRecordIndex != uxNullEditingRecordIndex &&
          FEditingRecordIndex == FController->FNewItemRecordIndex) {
        FDataChangedLocked = true;
        try {
          FInsertedRecordIndex = FController->AppendRecord();
          FController->CopyRecord(FEditingRecordIndex, FInsertedRecordIndex);
        } catch (...) {
          FDataChangedLocked = false;
          throw;
        }
        FDataChangedLocked = false;
        posted = FInsertedRecordIndex;
      }
      ResetEditing();
      done = true;
    } else {
      Cancel();
      posted = -1;
    }
    if (posted == uxNullEditingRecordIndex) posted = -1;
    FController->DataChanged(dcRecordChanged, -1, posted);
  }
  if (done) FController->DoAfterPost();
}

void TuxCustomDataProvider::Cancel() {
  FController->DoBeforeCancel();
  {
    TuxInfoUpdateLock lock(FController);
    if (IsEditing() && ((FEditingRecordIndex >= 0 && FEditingRecordIndex < FController->GetRecordCount()) ||
                        (FEditingRecordIndex < 0 && FEditingRecordIndex == FController->FNewItemRecordIndex))) {
      if (FInserting) {
        const int focused = FController->GetFocusedRecordIndex();
        if (FEditingRecordIndex >= 0) {
          FController->DeleteRecord(FEditingRecordIndex);
          if (!FController->InCancel() && focused >= FController->GetRecordCount() && focused > 0)
            FController->ChangeFocusedRecordIndex(focused - 1);
        }
      } else if (FSavedRecordIndex != 0) {
        FController->CopyRecord(FSavedRecordIndex, FEditingRecordIndex);
      }
    }
    ResetEditing();
  }
  FController->DoAfterCancel();
}

void TuxCustomDataProvider::ResetEditing() {
  if (FEditingRecordIndex != uxNullEditingRecordIndex && FEditingRecordIndex < 0 &&
      FEditingRecordIndex == FController->FNewItemRecordIndex) {
    FController->FNewItemRecordIndex = 0;
    FController->DataStorage()->RemoveRecord(FEditingRecordIndex);
  }
  FEditingRecordIndex = uxNullEditingRecordIndex;
  FEditingRecordIndex1 = uxNullEditingRecordIndex;
  FEditingRecordIndex2 = uxNullEditingRecordIndex;
  FInserting = false;
  ResetChanging();
  ResetModified();
  FreeSavedRecord();
}

void TuxCustomDataProvider::UpdateData() {
  if (FInUpdateData) return;
  FInUpdateData = true;
  try {
    if (IsChanging()) FController->UpdateData();
  } catch (...) {
    FInUpdateData = false;
    throw;
  }
  FInUpdateData = false;
}

void TuxCustomDataProvider::PostEditingData() {
  UpdateData();
  ResetChanging();
}

void TuxCustomDataProvider::GetEditValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value,
                                         int ValueSource) {
  if (RecordIndex == uxNullEditingRecordIndex) {
    Value = Null();
    uxDataControllerError(uxSRecordIndexError);
  }
  Value = FController->GetInternalValue(RecordIndex, Field);
}

bool TuxCustomDataProvider::SetEditValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value,
                                         int ValueSource) {
  if (ValueSource == evsText && VarToStrDef(Value, "").empty())
    FController->SetValue(RecordIndex, FController->GetItemIndex(Field), Null());
  else
    FController->SetValue(RecordIndex, FController->GetItemIndex(Field), Value);
  SetModified();
  return true;
}

void TuxCustomDataProvider::Delete() {
  const int row = FController->GetFocusedRowIndex();
  const int record = row == -1 ? -1 : FController->GetRowInfo(row).RecordIndex;
  if (record == -1) return;
  FController->DoBeforeDelete(record);
  const bool provider = FController->IsProviderMode();
  if (provider) FController->BeginFullUpdate();
  try {
    FController->DeleteRecord(record);
    FController->FocusAfterDelete();
  } catch (...) {
    if (provider) FController->EndFullUpdate();
    throw;
  }
  if (provider) FController->EndFullUpdate();
  FController->DoAfterDelete();
}

void TuxCustomDataProvider::DeleteRecords(std::vector<int>& List) {
  const bool provider = FController->IsProviderMode();
  if (provider) FController->BeginFullUpdate();
  try {
    TuxUpdateLock lock(FController);
    for (int i = static_cast<int>(List.size()) - 1; i >= 0; --i) {
      const int record = List[static_cast<std::size_t>(i)];
      FController->DoBeforeDelete(record);
      FController->DeleteRecord(record);
      FController->DoAfterDelete();
    }
    if (FController->DeletingSelection()) FController->ClearSelection();
  } catch (...) {
    if (provider) FController->EndFullUpdate();
    throw;
  }
  if (provider) FController->EndFullUpdate();
  FController->FocusAfterDelete();
}

void TuxCustomDataProvider::DeleteSelection() {
  std::vector<int> list;
  TuxDataControllerGroups* groups = FController->Groups();
  const int count = FController->GetSelectedCount();
  for (int i = 0; i < count; ++i) {
    const int row = FController->GetSelectedRowIndex(i);
    if (row < 0) continue;
    groups->CollectRowRecords(list, row);
  }
  FController->FDeletingSelection = true;
  try {
    FController->DeleteRecords(list);
  } catch (...) {
    FController->FDeletingSelection = false;
    throw;
  }
  FController->FDeletingSelection = false;
}

void TuxCustomDataProvider::BeginDeleting() {
  if (IsGridMode()) return;
  const int row = FController->GetFocusedRowIndex();
  if (row == -1) return;
  int target = row;
  if (FController->IsSingleSelection() || FController->IsRowSelected(row) || FController->GetSelectedCount() == 0)
    target = FController->DataControllerInfo()->GetNearestRowIndex(row);
  FController->SetRecordToFocusAfterDelete(target >= 0 ? FController->GetRowInfo(target).RecordIndex : -1);
}

void TuxCustomDataProvider::EndDeleting() { FController->SetRecordToFocusAfterDelete(-1); }

int TuxCustomDataProvider::CompareRecords(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field) {
  if (RecordIndex1 < 0 && RecordIndex2 < 0 && Field->ValueDefinition())
    return FController->DataStorage()->CompareRecordValues(RecordIndex1, RecordIndex2, Field->ValueDefinition());
  return CompareSourceRecords(RecordIndex1, RecordIndex2, Field);
}

void TuxCustomDataProvider::ActiveChanged(bool Active) {
  FController->ActiveChanged(Active);
  ResetEditing();
}

void TuxCustomDataProvider::DataChanged(TuxDataChangeKind Kind, int ItemIndex, int RecordIndex) {
  if (FLockCount == 0) FController->DataChanged(Kind, ItemIndex, RecordIndex);
  if (FDataChangedLocked)
    ResetChanging();
  else
    ResetEditing();
}

void TuxCustomDataProvider::DataScrolled(int Distance) {
  FController->LayoutChanged(Distance);
  ResetChanging();
}

void TuxCustomDataProvider::LayoutChanged(int Kind) { FController->UpdateStructure(Kind); }

void TuxCustomDataProvider::SaveEditedRecord(int RecordIndex) {
  if (FSavedRecordIndex == 0) FSavedRecordIndex = FController->DataStorage()->NewInternalRecord();
  FController->CopyRecord(RecordIndex, FSavedRecordIndex);
}

void TuxCustomDataProvider::FreeSavedRecord() {
  if (FSavedRecordIndex == 0) return;
  const int index = FSavedRecordIndex;
  FSavedRecordIndex = 0;
  if (index < 0 && -index <= FController->DataStorage()->InternalRecordCount())
    FController->DataStorage()->RemoveRecord(index);
}

void TuxCustomDataProvider::SetCustomDataSource(TObject* Source) {
  if (FCustomDataSource == Source) return;
  if (!IsUnboundMode() && Source) return;
  FCustomDataSource = Source;
  if (!FController->IsLoading()) FController->RestructData();
}
