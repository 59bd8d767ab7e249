// The data controller: construction, items, records, rows, focus, the update
// cycle with its change dispatch, structure updates, comparison of field
// values, filtering by text, and the "DataController1" stream.
#include "data/uxcustomdata.h"

#include <algorithm>

#include "data/uxdataconsts.h"
#include "data/uxvariants.h"
#include "framework/uxclasses.h"
#include "platform/rtl/collation.h"
#include "platform/rtl/strings.h"

void uxDataControllerError(const AnsiString& Message) {
  throw EuxInvalidDataControllerOperation(uxTranslateString(Message));
}

namespace {

constexpr const char* kDataControllerSignature = "DataController1";

template <class T>
T* CreatePart(TClass Class, TuxCustomDataController* Owner, TClass Fallback) {
  TObject* obj = CreateObject(Class ? Class : Fallback, Owner);
  if (auto* part = dynamic_cast<T*>(obj)) return part;
  delete obj;
  throw EInvalidCast(Format("%s is not a %s", {AnsiString(Class ? Class->Name : "?"), AnsiString(Fallback->Name)}));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

TuxCustomDataController::TuxCustomDataController(TComponent* AOwner) : FOwner(AOwner) {}

void TuxCustomDataController::AfterConstruction() {
  TPersistent::AfterConstruction();
  FDataStorage = new TuxDataStorage;
  FDataStorage->OnInternalRecordsCleared = TNotifyEvent(this, &TuxCustomDataController::ResetInternalRecords);
  FGroups = new TuxDataControllerGroups(this);
  FFields = new TuxCustomDataFieldList(this);
  FFilters = new TuxDataFilterList;
  FFilter = CreatePart<TuxDataFilterCriteria>(GetFilterCriteriaClass(), this, TuxDataFilterCriteria::StaticClass());
  FSearch = CreatePart<TuxDataControllerSearch>(GetSearchClass(), this, TuxDataControllerSearch::StaticClass());
  FSummary = CreatePart<TuxDataSummary>(GetSummaryClass(), this, TuxDataSummary::StaticClass());
  FProvider = CreatePart<TuxCustomDataProvider>(GetDataProviderClass(), this, TuxCustomDataProvider::StaticClass());
  FDataControllerInfo = new TuxCustomDataControllerInfo(this);
  FMasterRecordIndex = -1;
  FStoredFocusedRecordIndex = -1;
  FRecordToFocusAfterDelete = -1;
  ResetDataChange();
  FNotifier = new TuxDataControllerNotifier(this);
  FDataStorage->SetKeepRecordIds(IsUseRecordIDAllowed() && FProvider->HasRecordIds());
}

void TuxCustomDataController::BeforeDestruction() {
  FDestroying = true;
  TPersistent::BeforeDestruction();
}

TuxCustomDataController::~TuxCustomDataController() {
  FDestroying = true;
  if (FMasterRelation && FMasterRelation->FDetailDataController == this) FMasterRelation->FDetailDataController = nullptr;
  if (FMasterRelation)
    if (TuxCustomDataController* master = FMasterRelation->GetMasterDataController())
      if (master->FCreatingDetailController == this) master->FCreatingDetailController = nullptr;
  delete FNotifier;
  FNotifier = nullptr;
  // The records go first: their detail objects free the detail controllers,
  // which still see their relation.
  if (FDataStorage) FDataStorage->ClearAll(false);
  delete FRelations;
  FRelations = nullptr;
  delete FDataControllerInfo;
  FDataControllerInfo = nullptr;
  delete FSummary;
  FSummary = nullptr;
  delete FFilter;
  FFilter = nullptr;
  delete FFilters;
  FFilters = nullptr;
  if (FDataStorage) FDataStorage->ClearAll(false);
  delete FGroups;
  FGroups = nullptr;
  delete FFields;
  FFields = nullptr;
  delete FProvider;
  FProvider = nullptr;
  delete FDataStorage;
  FDataStorage = nullptr;
  delete FSearch;
  FSearch = nullptr;
  FDataChangedListeners.clear();
  uxClearObjectLinks(this);
}

void TuxCustomDataController::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxCustomDataController*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  TuxUpdateLock lock(this);
  SetOptions(source->FOptions);
  FFilter->Assign(source->FFilter);
  FSummary->Assign(source->FSummary);
  OnAfterCancel = source->OnAfterCancel;
  OnAfterDelete = source->OnAfterDelete;
  OnAfterInsert = source->OnAfterInsert;
  OnAfterPost = source->OnAfterPost;
  OnBeforeCancel = source->OnBeforeCancel;
  OnBeforeDelete = source->OnBeforeDelete;
  OnBeforeInsert = source->OnBeforeInsert;
  OnBeforePost = source->OnBeforePost;
  SetOnFilterRecord(source->OnFilterRecord);
  OnNewRecord = source->OnNewRecord;
  OnCompare = source->OnCompare;
  OnDataChanged = source->OnDataChanged;
  OnDetailCollapsing = source->OnDetailCollapsing;
  OnDetailCollapsed = source->OnDetailCollapsed;
  OnDetailExpanding = source->OnDetailExpanding;
  OnDetailExpanded = source->OnDetailExpanded;
  OnGroupingChanged = source->OnGroupingChanged;
  OnRecordChanged = source->OnRecordChanged;
  OnSortingChanged = source->OnSortingChanged;
}

bool TuxCustomDataController::IsDestroying() const {
  return FDestroying || (FOwner && FOwner->ComponentState().Contains(csDestroying));
}

bool TuxCustomDataController::IsLoading() const {
  return FOwner && FOwner->ComponentState().Contains(csLoading);
}

bool TuxCustomDataController::IsReading() const {
  return FOwner && FOwner->ComponentState().Contains(csReading);
}

// ---------------------------------------------------------------------------
// Items

TuxCustomDataField* TuxCustomDataController::CreateField() {
  TObject* obj = CreateObject(GetFieldClass(), FFields);
  auto* field = dynamic_cast<TuxCustomDataField*>(obj);
  if (!field) {
    delete obj;
    throw EInvalidCast("Invalid data field class");
  }
  if (FFields->IndexOf(field) < 0) FFields->AddField(field);
  return field;
}

TuxCustomDataField* TuxCustomDataController::CreateInternalField() {
  TuxCustomDataField* field = CreateField();
  field->SetInternal(true);
  FFields->MoveField(field, FFields->Count() - 1);
  return field;
}

TuxCustomDataField* TuxCustomDataController::AddItem(TObject* AItem) {
  if (FFields->FieldByItem(AItem)) uxDataControllerError(uxSItemExists);
  TuxCustomDataField* field = CreateField();
  field->SetItem(AItem);
  return field;
}

void TuxCustomDataController::RemoveItem(TObject* AItem) {
  TuxCustomDataField* field = FFields->FieldByItem(AItem);
  if (!field) return;
  TuxInfoUpdateLock lock(this);
  FDataControllerInfo->RemoveField(field);
  delete field;
}

void TuxCustomDataController::UpdateItemIndexes() {
  for (int i = 0; i < GetItemCount(); ++i)
    if (TuxCustomDataField* field = FFields->FieldByItem(GetItem(i))) field->SetFieldIndex(i);
  Change(dccLayout);
}

bool TuxCustomDataController::ChangeItemIndexes(int ItemIndex) {
  if (ItemIndex != -1 && GetItemSortOrder(ItemIndex) == soNone) return false;
  Refresh();
  return true;
}

int TuxCustomDataController::GetItemCount() const { return FFields ? FFields->NonInternalCount() : 0; }

void TuxCustomDataController::CheckItemRange(int ItemIndex) const {
  if (ItemIndex < 0 || ItemIndex >= GetItemCount()) uxDataControllerError(uxSItemIndexError);
}

TuxCustomDataField* TuxCustomDataController::GetItemField(int ItemIndex) const {
  CheckItemRange(ItemIndex);
  return FFields->Items(ItemIndex);
}

int TuxCustomDataController::GetItemIndex(TuxCustomDataField* Field) const {
  return Field && FFields ? FFields->IndexOf(Field) : -1;
}

int TuxCustomDataController::GetItemIndexByItem(TObject* AItem) const {
  return GetItemIndex(FFields->FieldByItem(AItem));
}

TObject* TuxCustomDataController::GetItemByID(int ID) {
  for (int i = 0; i < GetItemCount(); ++i)
    if (GetItemID(GetItem(i)) == ID) return GetItem(i);
  return nullptr;
}

TObject* TuxCustomDataController::FindItemByItem(TObject* AItem) {
  if (!AItem) return nullptr;
  if (FFields->FieldByItem(AItem)) return AItem;
  const int id = GetItemID(AItem);
  return id == -1 ? nullptr : GetItemByID(id);
}

TuxValueTypeClass TuxCustomDataController::GetItemValueTypeClass(int ItemIndex) const {
  return GetItemField(ItemIndex)->ValueType();
}

void TuxCustomDataController::ChangeValueTypeClass(int ItemIndex, TuxValueTypeClass ValueTypeClass) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  if (field->ValueType() == ValueTypeClass) return;
  field->SetValueType(ValueTypeClass);
  if (IsProviderMode()) RestructData();
  FDataControllerInfo->CheckField(field);
  DoValueTypeClassChanged(ItemIndex);
  CheckChanges();
}

bool TuxCustomDataController::GetItemTextStored(int ItemIndex) { return GetItemField(ItemIndex)->KeepsText(); }

void TuxCustomDataController::ChangeItemTextStored(int ItemIndex, bool Value) {
  if (GetItemTextStored(ItemIndex) == Value) return;
  TuxCustomDataField* field = GetItemField(ItemIndex);
  field->SetKeepText(Value);
  FDataControllerInfo->CheckField(field);
  CheckChanges();
}

void TuxCustomDataController::ChangeItemNeedConversion(int ItemIndex, bool Value) {
  CheckItemRange(ItemIndex);
  if (Value == GetItemNeedConversion(ItemIndex)) return;
  TuxCustomDataField* field = GetItemField(ItemIndex);
  field->SetNeedConversion(Value);
  FDataControllerInfo->CheckField(field);
  CheckChanges();
}

void TuxCustomDataController::FieldRemoved(TuxCustomDataField* Field) {
  if (FRecordIDField == Field) FRecordIDField = nullptr;
  if (FDestroying || !FDataControllerInfo) return;
  if (FRelations) FRelations->DataFieldRemovedFromList(Field);
  if (Field->Item()) {
    FFilters->RemoveItemLink(Field);
    FFilter->RemoveItemLink(Field);
  }
  FSummary->RemoveItemsOfField(Field);
  if (FFilterField == Field) ClearFilterByText();
  if (FSummarySortField == Field) FSummarySortField = nullptr;
  if (FSearchField == Field) {
    FSearch->Cancel();
    FSearchField = nullptr;
  }
  FDataControllerInfo->RemoveField(Field);
}

void TuxCustomDataController::RemoveNotification(TComponent* AComponent) {
  if (FFields) FFields->ComponentRemoved(AComponent);
}

void TuxCustomDataController::UpdateFields() {
  // Prepares every field once, starting over when one is destroyed meanwhile.
  std::vector<TuxCustomDataField*> prepared;
  bool restart = true;
  while (restart) {
    restart = false;
    FFields->SetFieldDestroyed(false);
    for (int i = 0; i < FFields->Count(); ++i) {
      TuxCustomDataField* field = FFields->Items(i);
      if (std::find(prepared.begin(), prepared.end(), field) != prepared.end()) continue;
      prepared.push_back(field);
      PrepareField(field);
      if (FFields->FieldDestroyed()) {
        restart = true;
        break;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Records

void TuxCustomDataController::CheckRecordRange(int RecordIndex) const {
  if (RecordIndex >= 0 && RecordIndex < GetRecordCount()) return;
  if (RecordIndex < 0 && RecordIndex != uxNullEditingRecordIndex &&
      (RecordIndex == FNewItemRecordIndex || (FProvider && RecordIndex == FProvider->SavedRecordIndex())))
    return;
  uxDataControllerError(uxSRecordIndexError);
}

void TuxCustomDataController::CheckEditingRecordRange(int RecordIndex) const { CheckRecordRange(RecordIndex); }

int TuxCustomDataController::GetRecordCount() const { return FDataStorage ? FDataStorage->RecordCount() : 0; }

void TuxCustomDataController::SetRecordCount(int Value) {
  if (IsGridMode()) return;
  if (Value < 0) Value = 0;
  if (FProvider->CustomDataSource()) {
    FProvider->SetSourceRecordCount(Value);
    return;
  }
  const int old = GetRecordCount();
  if (old == Value) return;
  TuxInfoUpdateLock lock(this);
  FDataStorage->SetRecordCount(Value);
  FDataControllerInfo->CheckSelectionAfterRecordsChange();
  CheckStoredFocus(-1);
  CheckEditingRecordDeleted(-1);
  DataChanged(Value > old ? dcRecordInserted : dcRecordDeleted, -1, -1);
}

int TuxCustomDataController::AppendRecordFromProvider() { return FProvider->AppendSourceRecord(); }

int TuxCustomDataController::AppendRecord() {
  if (IsProviderMode()) return AppendRecordFromProvider();
  const int index = FDataStorage->AddRecord();
  DataChanged(dcRecordInserted, -1, index);
  return index;
}

int TuxCustomDataController::InsertRecord(int RecordIndex) {
  if (RecordIndex < 0 || RecordIndex > GetRecordCount()) uxDataControllerError(uxSRecordIndexError);
  if (IsProviderMode()) return FProvider->InsertSourceRecord(RecordIndex);
  FDataStorage->InsertRecordAt(RecordIndex);
  ShiftRecordIndexes(RecordIndex, 1);
  InsertDetailIndexes(RecordIndex);
  DataChanged(dcRecordInserted, -1, RecordIndex);
  return RecordIndex;
}

void TuxCustomDataController::DeleteRecordInternal(int RecordIndex) { FDataStorage->RemoveRecord(RecordIndex); }

void TuxCustomDataController::DeleteRecord(int RecordIndex) {
  if (RecordIndex >= 0)
    CheckRecordRange(RecordIndex);
  else if (RecordIndex == uxNullEditingRecordIndex || -RecordIndex > FDataStorage->InternalRecordCount())
    uxDataControllerError(uxSRecordIndexError);
  if (FProvider->FEditingRecordIndex == RecordIndex) FProvider->FEditingRecordIndex = uxNullEditingRecordIndex;
  if (IsProviderMode() && RecordIndex >= 0) {
    FProvider->DeleteSourceRecord(RecordIndex);
    return;
  }
  TuxInfoUpdateLock lock(this);
  DeleteRecordInternal(RecordIndex);
  if (RecordIndex >= 0) {
    CheckStoredFocus(RecordIndex);
    ShiftRecordIndexes(RecordIndex, -1);
    DeleteDetailIndexes(RecordIndex);
    FDataControllerInfo->CheckSelectionAfterRecordsChange();
  }
  if (RecordIndex == FNewItemRecordIndex) FNewItemRecordIndex = 0;
  DataChanged(dcRecordDeleted, -1, RecordIndex);
}

void TuxCustomDataController::ShiftRecordIndexes(int From, int Delta) {
  auto shift = [From, Delta](int& R) {
    if (R < 0) return;
    if (Delta > 0 ? R >= From : R > From) R += Delta;
  };
  shift(FDataControllerInfo->FocusingInfo()->RecordIndex);
  shift(FDataControllerInfo->PrevFocusingInfo()->RecordIndex);
  shift(FStoredFocusedRecordIndex);
  shift(FProvider->FEditingRecordIndex);
  shift(FProvider->FEditingRecordIndex1);
  shift(FProvider->FEditingRecordIndex2);
  TuxDataSelection* selection = FDataControllerInfo->Selection();
  for (int i = selection->GetEntryCount() - 1; i >= 0; --i) {
    TuxDataSelectionEntry& e = selection->GetEntry(i);
    if (e.Level == -1) continue;
    if (Delta < 0 && e.RecordIndex == From) {
      selection->InternalDelete(i);
      continue;
    }
    shift(e.RecordIndex);
  }
}

AnsiString TuxCustomDataController::GetInternalDisplayText(int RecordIndex, TuxCustomDataField* Field) {
  if (IsProviderMode() && RecordIndex >= 0 && IsFieldValueFromProvider(Field)) {
    AnsiString text;
    FProvider->GetDisplayText(RecordIndex, Field, text);
    return text;
  }
  TuxValueDef* def = Field ? Field->ValueDefinition() : nullptr;
  if (!def) return AnsiString();
  AnsiString text;
  FDataStorage->RecordText(RecordIndex, def, text);
  return text;
}

Variant TuxCustomDataController::GetInternalValue(int RecordIndex, TuxCustomDataField* Field) {
  Variant v;
  if (IsProviderMode() && RecordIndex >= 0 && IsFieldValueFromProvider(Field)) {
    FProvider->GetValue(RecordIndex, Field, v);
    return v;
  }
  TuxValueDef* def = Field ? Field->ValueDefinition() : nullptr;
  if (!def) return Null();
  FDataStorage->RecordValue(RecordIndex, def, v);
  return v;
}

bool TuxCustomDataController::IsFieldValueFromProvider(TuxCustomDataField* Field) {
  return Field && !Field->IsInternal();
}

Variant TuxCustomDataController::GetValue(int RecordIndex, int ItemIndex) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  CheckRecordRange(RecordIndex);
  return GetInternalValue(RecordIndex, field);
}

AnsiString TuxCustomDataController::GetDisplayText(int RecordIndex, int ItemIndex) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  CheckRecordRange(RecordIndex);
  return GetInternalDisplayText(RecordIndex, field);
}

void TuxCustomDataController::SetValue(int RecordIndex, int ItemIndex, const Variant& Value) {
  if (IsGridMode()) return;
  TuxCustomDataField* field = GetItemField(ItemIndex);
  CheckRecordRange(RecordIndex);
  if (IsProviderMode() && RecordIndex >= 0) {
    FProvider->SetSourceValue(RecordIndex, field, Value);
  } else if (TuxValueDef* def = field->ValueDefinition()) {
    FDataStorage->SetRecordValue(RecordIndex, def, Value);
  }
  DataChanged(dcValueChanged, ItemIndex, RecordIndex);
}

void TuxCustomDataController::SetDisplayText(int RecordIndex, int ItemIndex, const AnsiString& Text) {
  if (IsGridMode()) return;
  TuxCustomDataField* field = GetItemField(ItemIndex);
  CheckRecordRange(RecordIndex);
  if (IsProviderMode() && RecordIndex >= 0) {
    FProvider->SetSourceDisplayText(RecordIndex, field, Text);
  } else if (TuxValueDef* def = field->ValueDefinition()) {
    FDataStorage->SetRecordText(RecordIndex, def, Text);
  }
  DataChanged(dcValueChanged, ItemIndex, RecordIndex);
}

void TuxCustomDataController::GetRecordKeyValue(int RecordIndex, Variant& Value) {
  if (RecordIndex < 0 || RecordIndex >= GetRecordCount()) uxDataControllerError(uxSRecordIndexError);
  if (FDataStorage->KeepRecordIds())
    Value = Variant(FDataStorage->RecordId(RecordIndex));
  else if (IsProviderMode() && FProvider->HasRecordIds())
    FProvider->GetSourceRecordId(RecordIndex, Value);
  else
    Value = Null();
}

Variant TuxCustomDataController::GetKeyValue(int RecordIndex, const std::vector<TuxCustomDataField*>& KeyFields) {
  if (KeyFields.empty()) {
    Variant v = Null();
    if (IsProviderMode()) FProvider->GetSourceRecordId(RecordIndex, v);
    return v;
  }
  if (KeyFields.size() == 1) return GetInternalValue(RecordIndex, KeyFields[0]);
  std::vector<Variant> values;
  for (TuxCustomDataField* f : KeyFields) values.push_back(GetInternalValue(RecordIndex, f));
  return VarArrayOf(values);
}

Variant TuxCustomDataController::GetGroupRowValue(int RecordIndex, int Level) {
  return GetInternalValue(RecordIndex, FDataControllerInfo->GroupingFieldList()->Entries(Level).Field);
}

void TuxCustomDataController::GetGroupRowValues(int RecordIndex, TuxDataSummaryValues& Values) {
  const int levels = FDataControllerInfo->GroupingFieldCount();
  Values.assign(static_cast<std::size_t>(levels), Null());
  if (RecordIndex < 0 || RecordIndex >= GetRecordCount()) return;
  for (int l = 0; l < levels; ++l) Values[static_cast<std::size_t>(l)] = GetGroupRowValue(RecordIndex, l);
}

int TuxCustomDataController::FindRecordIndexByFields(int RecordIndex, const std::vector<TuxCustomDataField*>& Fields) {
  if (Fields.empty()) return -1;
  FDataControllerInfo->UpdateTotalSortingFieldList();
  for (TuxCustomDataField* f : Fields) {
    f->SetConversionMark(-1);
    f->SetConversionMark(IsFieldNeedsConversion(f));
  }
  TuxFinally clear([&Fields] {
    for (TuxCustomDataField* f : Fields) f->SetConversionMark(-1);
  });
  for (int r = 0; r < GetRecordCount(); ++r) {
    bool equal = true;
    for (TuxCustomDataField* f : Fields)
      if (CompareFieldValues(r, RecordIndex, f, dccmLocating) != 0) {
        equal = false;
        break;
      }
    if (equal) return r;
  }
  return -1;
}

int TuxCustomDataController::FindGroupRecordIndex(int RecordIndex, int LevelCount) {
  TuxCustomDataControllerInfo* info = FDataControllerInfo;
  info->UpdateTotalSortingFieldList();
  LevelCount = std::min(LevelCount, info->TotalSortingFieldList()->EntryCount());
  info->SetConversionMarks();
  TuxFinally clear([info] { info->ClearConversionMarks(); });
  int lo = 0, hi = info->GetRecordListCount() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int record = info->GetRecordListItem(mid);
    int r = 0;
    for (int l = 0; l < LevelCount && r == 0; ++l) r = info->CompareGroupRecords(record, RecordIndex, l);
    if (r < 0)
      lo = mid + 1;
    else if (r > 0)
      hi = mid - 1;
    else
      return record;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Comparison

int TuxCustomDataController::IsFieldNeedsConversion(TuxCustomDataField* Field) {
  if (Field->ConversionMark() != -1) return Field->ConversionMark();
  if (IsFieldSortByDisplayText(Field)) return fcDisplayText;
  if (Field->NeedConversion() || IsFieldAnsiConversion(Field) || IsProviderMode()) return fcValue;
  return fcNone;
}

bool TuxCustomDataController::IsFieldAnsiConversion(TuxCustomDataField* Field) {
  if (!FOptions.Contains(dcoAnsiSort) && !FOptions.Contains(dcoCaseInsensitive)) return false;
  TuxValueTypeClass type = Field->ValueType();
  return type && type->IsTextType();
}

bool TuxCustomDataController::IsFieldSortByDisplayText(TuxCustomDataField* Field) {
  if (Field->IsInternal() || FGroupLocateByValue) return false;
  const int item = GetItemIndex(Field);
  if (item < 0 || item >= GetItemCount()) return false;
  return GetItemSortByDisplayText(item, FOptions.Contains(dcoSortByDisplayText));
}

bool TuxCustomDataController::IsItemSortByDisplayText(int ItemIndex) {
  if (GetItemSortByDisplayText(ItemIndex, true)) return true;
  if (!FOptions.Contains(dcoAnsiSort)) return false;
  TuxValueTypeClass type = GetItemField(ItemIndex)->ValueType();
  return type && type->IsTextType();
}

Variant TuxCustomDataController::GetGroupValue(int RecordIndex, TuxCustomDataField* Field) {
  if (IsFieldSortByDisplayText(Field)) return Variant(GetInternalDisplayText(RecordIndex, Field));
  return GetInternalValue(RecordIndex, Field);
}

int TuxCustomDataController::CompareFieldValues(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field,
                                                int Mode) {
  const bool byEvent = OnCompare.Assigned() && !Field->IsInternal();
  const int conversion = IsFieldNeedsConversion(Field);
  if (byEvent || conversion != fcNone) {
    if (IsProviderMode() && !byEvent && RecordIndex1 >= 0 && RecordIndex2 >= 0)
      return FProvider->CompareRecords(RecordIndex1, RecordIndex2, Field);
    const Variant v1 = conversion == fcDisplayText ? Variant(GetInternalDisplayText(RecordIndex1, Field))
                                                   : GetInternalValue(RecordIndex1, Field);
    const Variant v2 = conversion == fcDisplayText ? Variant(GetInternalDisplayText(RecordIndex2, Field))
                                                   : GetInternalValue(RecordIndex2, Field);
    if (byEvent) {
      int compare = 0;
      OnCompare(this, RecordIndex1, RecordIndex2, GetItemIndex(Field), v1, v2, compare);
      return compare;
    }
    const bool text1 = v1.Type() == varString || v1.Type() == varOleStr;
    const bool text2 = v2.Type() == varString || v2.Type() == varOleStr;
    if (text1 && text2) {
      const bool caseInsensitive = FOptions.Contains(dcoCaseInsensitive);
      if (FOptions.Contains(dcoAnsiSort)) return AnsiCollate(v1.AsString(), v2.AsString(), caseInsensitive);
      if (caseInsensitive) {
        const int c = AnsiUpperCase(v1.AsString()).compare(AnsiUpperCase(v2.AsString()));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
    }
    return uxCompareVariants(v1, v2);
  }
  if (IsProviderMode()) return FProvider->CompareRecords(RecordIndex1, RecordIndex2, Field);
  TuxValueDef* def = Field->ValueDefinition();
  if (!def || !def->HasValueSlot()) return 0;
  if (RecordIndex1 >= 0 && RecordIndex2 >= 0) return FDataStorage->CompareRecordValues(RecordIndex1, RecordIndex2, def);
  const void* c1 = nullptr;
  const void* c2 = nullptr;
  const bool null1 = FDataStorage->ValueDataPointer(RecordIndex1, def, c1);
  const bool null2 = FDataStorage->ValueDataPointer(RecordIndex2, def, c2);
  return def->CompareDataPointers(null1, null2, c1, c2);
}

int TuxCustomDataController::CompareRecordsBySortingField(int RecordIndex1, int RecordIndex2, int SortingIndex,
                                                          int Mode) {
  const TuxDataSortingFieldEntry entry = FDataControllerInfo->TotalSortingFieldList()->Entries(SortingIndex);
  const int r = CompareFieldValues(RecordIndex1, RecordIndex2, entry.Field, Mode);
  return entry.SortOrder == soDescending ? -r : r;
}

// ---------------------------------------------------------------------------
// Rows

int TuxCustomDataController::GetRowCount() const { return FDataControllerInfo->GetRowCount(); }

TuxRowInfo TuxCustomDataController::GetRowInfo(int RowIndex) const {
  TuxRowInfo info;
  FDataControllerInfo->GetRowInfo(RowIndex, info);
  return info;
}

void TuxCustomDataController::CheckRowIndex(int RowIndex) const { FDataControllerInfo->CheckRowIndex(RowIndex); }

int TuxCustomDataController::GetRowIndexByRecordIndex(int RecordIndex, bool MakeVisible) {
  return FDataControllerInfo->GetRowIndexByRecordIndex(RecordIndex, MakeVisible);
}

Variant TuxCustomDataController::GetRowValue(const TuxRowInfo& RowInfo, int ItemIndex) {
  const int levels = FDataControllerInfo->GroupingFieldCount();
  if (RowInfo.RecordIndex != FNewItemRecordIndex && RowInfo.Level < levels)
    ItemIndex = GetItemIndex(FDataControllerInfo->GroupingFieldList()->Entries(RowInfo.Level).Field);
  return GetValue(RowInfo.RecordIndex, ItemIndex);
}

AnsiString TuxCustomDataController::GetRowDisplayText(const TuxRowInfo& RowInfo, int& ItemIndex) {
  const int levels = FDataControllerInfo->GroupingFieldCount();
  if (RowInfo.RecordIndex != FNewItemRecordIndex && RowInfo.Level < levels)
    ItemIndex = GetItemIndex(FDataControllerInfo->GroupingFieldList()->Entries(RowInfo.Level).Field);
  return GetDisplayText(RowInfo.RecordIndex, ItemIndex);
}

int TuxCustomDataController::GetFilteredRecordCount() const { return FDataControllerInfo->GetRecordListCount(); }

int TuxCustomDataController::GetFilteredRecordIndex(int Index) const {
  if (Index < 0 || Index >= GetFilteredRecordCount()) return -1;
  return FDataControllerInfo->GetRecordListItem(Index);
}

int TuxCustomDataController::GetFilteredIndexByRecordIndex(int RecordIndex) const {
  return FDataControllerInfo->GetRecordListIndex(RecordIndex);
}

bool TuxCustomDataController::IsRowInfoReady() const { return !FDataControllerInfo->IsCalculating(); }

int TuxCustomDataController::GetInfoLockCount() const { return FDataControllerInfo->LockCount(); }

void TuxCustomDataController::ForEachRow(bool SelectedOnly, TuxDataControllerEachRowProc Proc) {
  if (!Proc) return;
  if (SelectedOnly) {
    const int count = GetSelectedCount();
    for (int i = 0; i < count; ++i) {
      const int row = GetSelectedRowIndex(i);
      if (row >= 0 && row < GetRowCount()) Proc(row, GetRowInfo(row));
    }
  } else {
    for (int row = 0; row < GetRowCount(); ++row) Proc(row, GetRowInfo(row));
  }
}

// ---------------------------------------------------------------------------
// Focus and navigation

int TuxCustomDataController::GetFocusedRowIndex() const { return FDataControllerInfo->GetFocusedRowIndex(); }

int TuxCustomDataController::GetFocusedRecordIndex() const {
  const int row = GetFocusedRowIndex();
  return row == -1 ? -1 : FDataControllerInfo->GetFocusedRecordIndex();
}

int TuxCustomDataController::GetFocusingRecordIndex() { return GetFocusedRecordIndex(); }

int TuxCustomDataController::GetFocusedDataRecordIndex() {
  if (GetNewItemRowFocused()) return GetNewItemRecordIndex();
  const int row = GetFocusedRowIndex();
  if (row == -1) return uxNullEditingRecordIndex;
  const TuxRowInfo info = GetRowInfo(row);
  if (info.Level < FDataControllerInfo->GroupingFieldCount()) return uxNullEditingRecordIndex;
  return info.RecordIndex;
}

bool TuxCustomDataController::ChangeFocusedRowIndex(int RowIndex) {
  const int focused = GetFocusedRowIndex();
  if (FProvider->IsSyncMode() && !FProvider->IsInserting() && RowIndex != focused && !CheckBrowseModeForFocusChange())
    return false;
  if (RowIndex != focused) BrowseDetails();
  {
    TuxUpdateLock lock(this);
    FDataControllerInfo->ChangeFocusedRow(RowIndex, false);
  }
  if (FProvider->IsSyncMode() && IsDetailsFocusSyncNeeded() && GetFocusedRecordIndex() != -1) {
    FSyncingDetails = true;
    TuxFinally clear([this] { FSyncingDetails = false; });
    SyncDetailsFocus(GetFocusedRecordIndex());
  }
  return true;
}

bool TuxCustomDataController::ChangeFocusedRecordIndex(int RecordIndex) {
  return ChangeFocusedRowIndex(GetRowIndexByRecordIndex(RecordIndex, true));
}

void TuxCustomDataController::GotoFirst() {
  if (IsGridMode())
    FProvider->First();
  else
    ChangeFocusedRowIndex(0);
}

void TuxCustomDataController::GotoLast() {
  if (IsGridMode())
    FProvider->Last();
  else
    ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TuxCustomDataController::GotoNext() {
  if (IsGridMode())
    FProvider->Next();
  else
    ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TuxCustomDataController::GotoPrev() {
  if (IsGridMode())
    FProvider->Prior();
  else
    ChangeFocusedRowIndex(std::max(GetFocusedRowIndex() - 1, 0));
}

void TuxCustomDataController::MoveBy(int Distance) {
  if (IsGridMode())
    FProvider->MoveBy(Distance);
  else
    ChangeFocusedRowIndex(std::max(GetFocusedRowIndex() + Distance, 0));
}

void TuxCustomDataController::Scroll(int Distance) {
  if (IsGridMode()) FProvider->Scroll(Distance);
}

bool TuxCustomDataController::IsBOF() const {
  if (IsGridMode()) return FProvider->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TuxCustomDataController::IsEOF() const {
  if (IsGridMode()) return FProvider->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

bool TuxCustomDataController::IsGridMode() const { return FProvider && FProvider->IsGridMode(); }

bool TuxCustomDataController::IsProviderMode() { return FProvider && FProvider->CustomDataSource() != nullptr; }

void TuxCustomDataController::StoreFocus() {
  const int old = FStoredFocusedRecordIndex;
  StoreFocusInternal();
  if (old != FStoredFocusedRecordIndex) Change(dccBookmark);
}

void TuxCustomDataController::RestoreStoredFocusInternal() {
  if (FStoredFocusedRecordIndex != -1) ChangeFocusedRecordIndex(FStoredFocusedRecordIndex);
}

void TuxCustomDataController::RestoreStoredFocus() {
  if (IsFocusStored()) RestoreStoredFocusInternal();
}

void TuxCustomDataController::ClearStoredFocus() {
  if (!IsFocusStored()) return;
  ClearStoredFocusInternal();
  Change(dccBookmark);
}

bool TuxCustomDataController::IsStoredFocusLost(int RecordIndex) {
  if (RecordIndex != -1 && RecordIndex == FStoredFocusedRecordIndex) return true;
  return FDataControllerInfo->GetRecordListIndex(FStoredFocusedRecordIndex) == -1;
}

void TuxCustomDataController::CheckStoredFocus(int RecordIndex) {
  if (!IsFocusStored() || !IsStoredFocusLost(RecordIndex)) return;
  ClearStoredFocusInternal();
  Change(dccBookmark);
}

bool TuxCustomDataController::IsRowFocusStored(int RowIndex) {
  return IsFocusStored() && RowIndex >= 0 && RowIndex < GetRowCount() &&
         GetRowInfo(RowIndex).RecordIndex == FStoredFocusedRecordIndex;
}

bool TuxCustomDataController::FocusSelectedRow(int Index) {
  const int row = GetSelectedRowIndex(Index);
  if (row == -1) return false;
  ChangeFocusedRowIndex(row);
  return GetFocusedRowIndex() == row;
}

void TuxCustomDataController::ResetFocusing() { FDataControllerInfo->ResetFocusing(); }

bool TuxCustomDataController::CanFocusRecord(int RecordIndex) {
  // Leaving an edited record posts it.
  if (!FProvider->IsEditing() || RecordIndex == FProvider->EditingRecordIndex()) return true;
  if (FProvider->IsChanging()) FProvider->PostEditingData();
  Post();
  return true;
}

// ---------------------------------------------------------------------------
// Locks, changes and dispatch

void TuxCustomDataController::BeginUpdate() { BeginInfoUpdate(); }

void TuxCustomDataController::EndUpdate() { EndInfoUpdate(); }

void TuxCustomDataController::BeginInfoUpdate() { FDataControllerInfo->BeginUpdate(); }

void TuxCustomDataController::EndInfoUpdate() {
  FDataControllerInfo->EndUpdate();
  CheckChanges();
}

void TuxCustomDataController::BeginFullUpdate() {
  if (FFullUpdateCount++ > 0) return;
  BeginUpdate();
  FFullUpdateSaveObject = new TuxSaveObject;
  try {
    FFullUpdateSaveObject->SaveState(this);
  } catch (...) {
    delete FFullUpdateSaveObject;
    FFullUpdateSaveObject = nullptr;
    --FFullUpdateCount;
    EndUpdate();
    throw;
  }
}

void TuxCustomDataController::EndFullUpdate() {
  if (FFullUpdateCount == 0 || --FFullUpdateCount > 0) return;
  TuxSaveObject* save = FFullUpdateSaveObject;
  FFullUpdateSaveObject = nullptr;
  TuxFinally end([this, save] {
    delete save;
    EndUpdate();
  });
  if (save) save->RestoreState(this);
}

void TuxCustomDataController::BeginUpdateFields() { ++FUpdateFieldsLockCount; }

void TuxCustomDataController::EndUpdateFields() {
  if (FUpdateFieldsLockCount > 0) --FUpdateFieldsLockCount;
  if (FUpdateFieldsLockCount == 0 && FStructureUpdatePending) {
    FStructureUpdatePending = false;
    UpdateStructure(1);
  }
}

void TuxCustomDataController::BeginLocate() {
  ++FLocateCount;
  FProvider->BeginLocate();
}

void TuxCustomDataController::EndLocate() {
  --FLocateCount;
  FProvider->EndLocate();
}

bool TuxCustomDataController::IsProviderLocked() const { return FProvider->LockCount() > 0; }

void TuxCustomDataController::Change(Word Flags) {
  FChanges |= Flags;
  CheckChanges();
}

void TuxCustomDataController::CheckChanges() {
  if (!FDataControllerInfo || FDataControllerInfo->LockCount() > 0 || FDataControllerInfo->IsCalculating()) return;
  BeforeCheckChanges();
  // A structure update put off by a lock runs even when nothing else changed.
  if (FStructureUpdateNeeded) {
    FStructureUpdateNeeded = false;
    UpdateStructure(1);
  }
  if (FChanges == 0) return;
  DispatchChanges();
}

bool TuxCustomDataController::HandToOwner(TuxUpdateControlInfo* Info) {
  std::unique_ptr<TuxUpdateControlInfo> owned(Info);
  const bool was = FInDispatchChanges;
  FInDispatchChanges = true;
  TuxFinally restore([this, was] { FInDispatchChanges = was; });
  UpdateControl(Info);
  return true;
}

void TuxCustomDataController::UpdateControl(TuxUpdateControlInfo* Info) {
  if (OnUpdateControl) OnUpdateControl(Info);
}

void TuxCustomDataController::ResetDataChange() {
  FDataChangeSet = false;
  FDataChangeKind = dcDataChanged;
  FDataChangeItemIndex = -1;
  FDataChangeRecordIndex = -1;
}

void TuxCustomDataController::DispatchChanges() {
  const Word changes = FChanges;
  FChanges = 0;
  TuxCustomDataControllerInfo* info = FDataControllerInfo;
  if (changes & dccData) {
    TuxFinally reset([this] { ResetDataChange(); });
    TuxDataChangeKind kind = FDataChangeKind;
    int item = FDataChangeItemIndex;
    const int record = FDataChangeRecordIndex;
    if (kind == dcValueChanged && item == -1) kind = dcRecordChanged;
    if ((kind == dcValueChanged || kind == dcRecordChanged) && record == -1) kind = dcDataChanged;
    if (kind == dcDataChanged) item = -1;
    HandToOwner(new TuxDataChangedInfo(kind, item, record));
    FDataChangeKind = kind;
    DoDataChanged();
  } else if (changes & (dccLayout | dccDetail | dccSummary)) {
    HandToOwner(new TuxLayoutChangedInfo);
  } else if (changes & dccUpdateRecord) {
    HandToOwner(new TuxUpdateRecordInfo(GetFocusedRecordIndex()));
    FSearch->Cancel();
  }
  if (changes & dccFocus) {
    TuxFinally save([info] { info->SavePrevFocusingInfo(); });
    const int row = info->GetFocusedRowIndex(), prevRow = info->GetPrevFocusedRowIndex();
    const int record = GetFocusedRecordIndex(), prevRecord = info->GetPrevFocusedRecordIndex();
    const bool newItemChanged = info->GetNewItemRowFocusingChanged();
    if (prevRow != row) HandToOwner(new TuxFocusedRowChangedInfo(row, prevRow));
    if (prevRecord != -1 || record != -1 || newItemChanged) {
      HandToOwner(new TuxFocusedRecordChangedInfo(prevRecord, record, row, prevRow, newItemChanged));
      FSearch->Cancel();
    }
  }
  if (changes & dccSelection) {
    const int count = GetSelectedCount();
    const int first = count > 0 ? GetSelectedRowIndex(0) : -1;
    const int lastCount = FLastSelectedCount, lastRow = FLastSelectedRow;
    FLastSelectedCount = count;
    FLastSelectedRow = first;
    if (count <= 1 && lastCount <= 1)
      HandToOwner(new TuxSelectionChangedInfo(lastRow, first));
    else
      HandToOwner(new TuxSelectionChangedInfo);
  }
  if (changes & dccSearch) HandToOwner(new TuxSearchChangedInfo);
  if (changes & dccBookmark) HandToOwner(new TuxBookmarkChangedInfo);
  if ((changes & dccGrouping) && !IsReading() && OnGroupingChanged) OnGroupingChanged(this);
  if ((changes & dccSorting) && !IsReading() && !FInSortingChangedEvent && OnSortingChanged) {
    FInSortingChangedEvent = true;
    TuxFinally clear([this] { FInSortingChangedEvent = false; });
    OnSortingChanged(this);
  }
  if ((changes & dccSyncMasterFocus) && GetDetailMode() == 2)
    if (TuxCustomDataController* pattern = GetPatternDataController())
      if (pattern != this) pattern->ResetFocusing();
}

void TuxCustomDataController::RefreshSelectionState() {
  FLastSelectedCount = GetSelectedCount();
  FLastSelectedRow = FLastSelectedCount > 0 ? GetSelectedRowIndex(0) : -1;
}

void TuxCustomDataController::ClearPassFlags() {
  FGroupingChanged = false;
  FSortingChanged = false;
  FDataReopened = false;
  FFocusCheckPending = false;
  FFocusCheckRequested = false;
  FSummarySortChanged = false;
}

void TuxCustomDataController::DoGroupingChanging() { HandToOwner(new TuxGroupingChangingInfo); }

void TuxCustomDataController::DataChanged(TuxDataChangeKind Kind, int ItemIndex, int RecordIndex) {
  if (!FDataChangeSet) {
    FDataChangeKind = Kind;
    FDataChangeItemIndex = Kind == dcValueChanged ? ItemIndex : -1;
  } else if (FDataChangeKind == dcDataChanged || RecordIndex != FDataChangeRecordIndex) {
    // Changes of several records are one change of the data.
    FDataChangeKind = dcDataChanged;
    FDataChangeItemIndex = -1;
  } else if (Kind == dcValueChanged && FDataChangeKind == dcValueChanged) {
    // Two different items of one record are a change of the record.
    if (ItemIndex != FDataChangeItemIndex) {
      FDataChangeKind = dcRecordChanged;
      FDataChangeItemIndex = -1;
    }
  } else {
    // One record: the wider of the two changes stands.
    auto scope = [](TuxDataChangeKind k) {
      return k == dcValueChanged ? 0 : k == dcRecordChanged ? 1 : k == dcDataChanged ? 3 : 2;
    };
    if (scope(Kind) == 2 && scope(FDataChangeKind) == 2 && Kind != FDataChangeKind)
      FDataChangeKind = dcDataChanged;
    else if (scope(Kind) > scope(FDataChangeKind))
      FDataChangeKind = Kind;
    FDataChangeItemIndex = -1;
  }
  FDataChangeSet = true;
  FDataChangeRecordIndex = RecordIndex;
  if (Kind == dcDataChanged) {
    DoUpdateStructure(false);
  } else {
    if (Kind == dcRecordInserted || Kind == dcRecordDeleted) FDataControllerInfo->FocusedRecordChanged(false);
    FDataControllerInfo->Refresh();
  }
  NotifyMasterDetailsChanged();
  CheckChanges();
}

void TuxCustomDataController::DoDataChanged() {
  if (IsDestroying()) return;
  if (!OnDataChanged && !OnRecordChanged && FDataChangedListeners.empty()) return;
  if (IsLoading()) {
    FDataChangedPending = true;
    return;
  }
  FDataChangedPending = false;
  NotifyDataChanged();
}

void TuxCustomDataController::NotifyDataChanged() {
  if (!IsPattern()) {
    if ((FDataChangeKind == dcValueChanged || FDataChangeKind == dcRecordChanged) && FDataChangeRecordIndex != -1 &&
        OnRecordChanged)
      OnRecordChanged(this, FDataChangeRecordIndex, FDataChangeItemIndex);
    if (OnDataChanged) OnDataChanged(this);
  }
  if (FLocateCount > 0 && IsGridMode()) return;
  const auto listeners = FDataChangedListeners;
  TuxObjectLink* link = uxAddObjectLink(this);
  TuxFinally remove([link] { uxRemoveObjectLink(link); });
  for (const auto& l : listeners) {
    if (!link->Ref) return;
    l.second(this);
  }
}

void TuxCustomDataController::AddDataChangedListener(TObject* Sender, TNotifyEvent Event) {
  FDataChangedListeners.emplace_back(Sender, Event);
}

void TuxCustomDataController::RemoveDataChangedListener(TObject* Sender, TNotifyEvent Event) {
  for (auto it = FDataChangedListeners.begin(); it != FDataChangedListeners.end(); ++it) {
    const TMethod a = it->second.ToMethod(), b = Event.ToMethod();
    if (it->first == Sender && a.Code == b.Code) {
      FDataChangedListeners.erase(it);
      return;
    }
  }
}

void TuxCustomDataController::Loaded() {
  if (FDataChangedPending) DoDataChanged();
  if (FAfterSummaryPending) FSummary->DoAfterSummary();
}

void TuxCustomDataController::ActiveChanged(bool Active) {
  FActive = Active;
  CheckDataStructure(FProvider->IsActiveDataSet());
  NotifyMasterDetailsChanged();
}

void TuxCustomDataController::LayoutChanged(int Distance) {
  FDataControllerInfo->Refresh();
  Change(dccData);
}

void TuxCustomDataController::UpdateStructure(int Kind) { CheckDataStructure(FProvider->IsActiveDataSet()); }

bool TuxCustomDataController::IsStructureChangeable() { return IsProviderMode() || FStructureChanged; }

void TuxCustomDataController::CheckDataStructure(bool Force) {
  if (FInCheckDataStructure) return;
  FInCheckDataStructure = true;
  TuxFinally clear([this] { FInCheckDataStructure = false; });
  if (FDataControllerInfo->LockCount() > 0) {
    FStructureUpdateNeeded = true;
    return;
  }
  if (IsStructureChangeable()) DoUpdateStructure(Force);
}

void TuxCustomDataController::DoUpdateStructure(bool Force) {
  TuxUpdateLock lock(this);
  FInStructureUpdate = true;
  TuxFinally clear([this] {
    FInStructureUpdate = false;
    FStructureChanged = false;
  });
  if (IsStructureChangeable() && (Force || FProvider->IsDataSetFieldsReady())) {
    if (FUpdateFieldsLockCount > 0) {
      FStructureUpdatePending = true;
    } else {
      if (!FProvider->IsGridModeUpdating() || (!FProvider->IsInserting() && !FFields->FieldDestroyed()))
        UpdateFields();
      if (!FStructureUpdateNeeded) LoadStorage();
    }
  }
  FDataControllerInfo->Refresh();
}

void TuxCustomDataController::RestructData() {
  TuxUpdateLock lock(this);
  FProvider->ResetEditing();
  if (!IsUseRecordIDAllowed() || (FClearStorageOnRestructure && !FProvider->CustomDataSource()))
    FDataStorage->ClearAll(true);
  ClearStoredFocusInternal();
  FDataControllerInfo->CheckSelectionAfterRecordsChange();
  FDataStorage->SetKeptValuesOnly(IsProviderMode() || IsGridMode());
  FDataStorage->SetKeepRecordIds(IsUseRecordIDAllowed() && FProvider->HasRecordIds());
  if (FProvider->CustomDataSource()) {
    if (!FRecordIDField) {
      FRecordIDField = CreateInternalField();
      FRecordIDField->SetValueType(TuxIntegerValueType::Instance());
    }
  } else if (FRecordIDField) {
    TuxCustomDataField* field = FRecordIDField;
    FRecordIDField = nullptr;
    delete field;
  }
  FStructureChanged = true;
  UpdateStructure(2);
}

void TuxCustomDataController::LoadStorage() {
  TuxFinally after([this] { AfterLocate(); });
  FProvider->FDataChangedLocked = true;
  {
    TuxFinally unlock([this] { FProvider->FDataChangedLocked = false; });
    FDataStorage->ClearBuffers(true);
  }
  if (FProvider->IsActiveDataSet()) {
    if (!IsPattern()) {
      if (IsGridMode()) {
        FDataStorage->BeginLoading();
        TuxFinally end([this] { FDataStorage->EndLoading(); });
        FProvider->LoadRecords();
      } else {
        FProvider->Freeze();
        TuxFinally unfreeze([this] { FProvider->Unfreeze(); });
        FProvider->SavePos();
        FProvider->First();
        if (FProvider->FieldsRecreated()) UpdateFields();
        {
          FDataStorage->BeginLoading();
          TuxFinally end([this] { FDataStorage->EndLoading(); });
          if (IsProviderMode()) {
            FProvider->LoadRecords();
          } else {
            TObject* obj = CreateObject(FProvider->GetValueDefReaderClass(), nullptr);
            std::unique_ptr<TuxValueDefReader> reader(dynamic_cast<TuxValueDefReader*>(obj));
            if (!reader) {
              delete obj;
              reader = std::make_unique<TuxValueDefReader>();
            }
            BeginReadRecord();
            TuxFinally endRead([this] { EndReadRecord(); });
            while (!FProvider->IsEOF()) {
              const int record = AppendRecordFromReader(reader.get());
              RecordLoaded(record);
              FProvider->RecordLoaded();
              FProvider->Next();
            }
          }
        }
        FDataReopened = FProvider->ActiveChanging();
        FProvider->RestorePos();
      }
    }
    FResettingSelection = true;
    TuxFinally clear([this] { FResettingSelection = false; });
    FDataControllerInfo->CheckSelectionAfterRecordsChange();
    CheckStoredFocus(-1);
    ResetFocusing();
  }
  FChanges |= dccData;
}

int TuxCustomDataController::AppendRecordFromReader(TuxValueDefReader* Reader) {
  const int index = FDataStorage->AddRecord();
  FDataStorage->FillRecord(index, Reader);
  return index;
}

void TuxCustomDataController::ResetInternalRecords(TObject* Sender) {
  FNewItemRecordIndex = 0;
  if (FProvider) FProvider->FSavedRecordIndex = 0;
}

void TuxCustomDataController::CopyFieldToProvider(int FromRecordIndex, int ToRecordIndex) {
  for (int i = 0; i < FFields->Count(); ++i) {
    TuxCustomDataField* field = FFields->Items(i);
    if (field->IsInternal()) continue;
    FProvider->SetSourceValue(ToRecordIndex, field, GetInternalValue(FromRecordIndex, field));
    if (field->KeepsText())
      FProvider->SetSourceDisplayText(ToRecordIndex, field, GetInternalDisplayText(FromRecordIndex, field));
  }
}

void TuxCustomDataController::SetOptions(TuxDataControllerOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  Refresh();
}

void TuxCustomDataController::SetOnFilterRecord(TuxDataFilterRecordEvent Event) {
  if (OnFilterRecord == Event) return;
  OnFilterRecord = Event;
  FFilter->Changed();
}

void TuxCustomDataController::SetFilter(TuxDataFilterCriteria* Value) { FFilter->Assign(Value); }

void TuxCustomDataController::SetSummary(TuxDataSummary* Value) { FSummary->Assign(Value); }

TuxCustomDataRelationList* TuxCustomDataController::GetRelations() {
  if (!FRelations) FRelations = new TuxCustomDataRelationList(this);
  return FRelations;
}

TuxDataFilterCriteria* TuxCustomDataController::CreateFilter() {
  auto* criteria = CreatePart<TuxDataFilterCriteria>(GetFilterCriteriaClass(), this, TuxDataFilterCriteria::StaticClass());
  FFilters->Add(criteria);
  return criteria;
}

void TuxCustomDataController::Refresh() {
  TuxInfoUpdateLock lock(this);
  FDataControllerInfo->Refresh();
}

void TuxCustomDataController::SummaryChanged(bool RedrawOnly) {
  if (FDataControllerInfo) FDataControllerInfo->SummaryChanged(RedrawOnly);
  CheckChanges();
}

// ---------------------------------------------------------------------------
// Filtering

bool TuxCustomDataController::DoFilterRecord(int RecordIndex) {
  bool accept = true;
  if (OnFilterRecord) OnFilterRecord(this, RecordIndex, accept);
  return accept;
}

void TuxCustomDataController::FilterChanged() {
  FFocusCheckRequested = true;
  Cancel();
  Refresh();
  CheckStoredFocus(-1);
  RefreshSelectionState();
}

AnsiString TuxCustomDataController::GetFilterDisplayText(int RecordIndex, int ItemIndex) {
  return GetDisplayText(RecordIndex, ItemIndex);
}

AnsiString TuxCustomDataController::GetFilterValueText(int RecordIndex, int ItemIndex) {
  return GetDisplayText(RecordIndex, ItemIndex);
}

Variant TuxCustomDataController::GetFilterDataValue(int RecordIndex, TuxCustomDataField* Field) {
  return GetInternalValue(RecordIndex, Field);
}

bool TuxCustomDataController::MatchesFilterText(int RecordIndex) {
  if (!FFilterField) return true;
  return uxTextMatches(GetInternalDisplayText(RecordIndex, FFilterField), FFilterText, true);
}

int TuxCustomDataController::SetFilterByText(int ItemIndex, const AnsiString& Text) {
  TuxCustomDataField* field = GetItemField(ItemIndex);
  FFilterField = field;
  FFilterText = Text;
  Refresh();
  return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

void TuxCustomDataController::ClearFilterByText() {
  const bool was = IsFilterByText();
  FFilterField = nullptr;
  FFilterText.clear();
  if (was && !IsDestroying()) Refresh();
}

bool TuxCustomDataController::ChangeIncrementalSearchText(const AnsiString& Text) {
  if (!FFilterField || Text == FFilterText) return false;
  SetFilterByText(GetItemIndex(FFilterField), Text);
  return true;
}

int TuxCustomDataController::FindRecordIndexByText(int AStartIndex, int AItemIndex, const AnsiString& AText,
                                                   bool APartialCompare, bool AWrapAround, bool AForward) {
  CheckItemRange(AItemIndex);
  const int count = GetFilteredRecordCount();
  if (AStartIndex < 0 || AStartIndex >= count) return -1;
  auto matches = [&](int i) {
    return uxTextMatches(GetDisplayText(GetFilteredRecordIndex(i), AItemIndex), AText, APartialCompare);
  };
  if (AForward) {
    for (int i = AStartIndex; i < count; ++i)
      if (matches(i)) return GetFilteredRecordIndex(i);
    if (AStartIndex != 0 && AWrapAround)
      for (int i = 0; i < AStartIndex; ++i)
        if (matches(i)) return GetFilteredRecordIndex(i);
  } else {
    for (int i = AStartIndex; i >= 0; --i)
      if (matches(i)) return GetFilteredRecordIndex(i);
    if (AStartIndex != 0 && AWrapAround)
      for (int i = count - 1; i > AStartIndex; --i)
        if (matches(i)) return GetFilteredRecordIndex(i);
  }
  return -1;
}

// ---------------------------------------------------------------------------
// The "DataController1" stream

namespace {

bool IsStoredDefinition(TuxValueDef* Def) {
  auto* field = dynamic_cast<TuxCustomDataField*>(Def->GetLinkObject());
  return !field || !field->IsInternal();
}

}  // namespace

void TuxCustomDataController::SaveToStream(TStream* Stream) {
  TuxValueDefs* defs = FDataStorage->ValueDefs();
  const bool provider = IsProviderMode();
  FDataStorage->BeginStreamOrder(uxCompareValueDefsByField);
  TuxFinally end([this] { FDataStorage->EndStreamOrder(); });
  TuxWriter writer(Stream);
  writer.WriteText(kDataControllerSignature);
  int stored = 0;
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->Items(i);
    def->SetStreamed(!provider && IsStoredDefinition(def));
    if (def->Streamed() && def->HasValueSlot()) ++stored;
  }
  writer.WriteInt32(stored);
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->Items(i);
    if (def->Streamed() && def->HasValueSlot()) writer.WriteText(def->ValueTypeClass()->ClassName());
  }
  writer.WriteInt32(GetRecordCount());
  for (int i = 0; i < GetRecordCount(); ++i) FDataStorage->SaveRecord(i, Stream);
}

void TuxCustomDataController::LoadFromStream(TStream* Stream) {
  if (IsProviderMode()) uxDataControllerError("This operation is not supported in provider mode");
  TuxValueDefs* defs = FDataStorage->ValueDefs();
  FDataStorage->BeginStreamOrder(uxCompareValueDefsByField);
  TuxFinally end([this] { FDataStorage->EndStreamOrder(); });
  TuxReader reader(Stream);
  auto invalid = [] { uxDataControllerError("Invalid stream format"); };
  if (Stream->Remaining() < 4 || reader.ReadText() != kDataControllerSignature) invalid();
  const int count = reader.ReadInt32();
  int stored = 0;
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->Items(i);
    def->SetStreamed(IsStoredDefinition(def));
    if (def->Streamed() && def->HasValueSlot()) ++stored;
  }
  if (count != stored) invalid();
  for (int i = 0; i < defs->Count(); ++i) {
    TuxValueDef* def = defs->Items(i);
    if (!def->Streamed() || !def->HasValueSlot()) continue;
    if (reader.ReadText() != def->ValueTypeClass()->ClassName()) invalid();
  }
  const int records = reader.ReadInt32();
  // Every record takes at least one byte.
  if (records < 0 || records > Stream->Remaining()) uxStreamReadError();
  // The records are read whole before anything is replaced.
  std::vector<Byte*> buffers;
  buffers.reserve(static_cast<std::size_t>(records));
  try {
    for (int i = 0; i < records; ++i) {
      int id = 0;
      buffers.push_back(FDataStorage->ReadRecordBuffer(Stream, id));
    }
  } catch (...) {
    for (Byte* b : buffers) FDataStorage->FreeRecordBuffer(b);
    throw;
  }
  TuxInfoUpdateLock lock(this);
  try {
    FDataControllerInfo->ClearSelection();
    FProvider->ResetEditing();
    SetRecordCount(records);
    FDataStorage->ReplaceRecordBuffers(buffers);
  } catch (...) {
    for (Byte* b : buffers) FDataStorage->FreeRecordBuffer(b);
    throw;
  }
  DataChanged(dcDataChanged, -1, -1);
  FDataControllerInfo->Refresh();
}
