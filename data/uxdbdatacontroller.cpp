// The dataset data controller: items bound to TFields by name, records
// identified by key fields and by their bookmarks, the data set's current
// record and the controller's focused record kept in step, and the filter
// criteria that can hand their text to the data set.
#include <algorithm>
#include <cstring>

#include "data/uxdataconsts.h"
#include "data/uxdatasort.h"
#include "data/uxdbdata.h"
#include "data/uxvariants.h"
#include "framework/uxclasses.h"
#include "platform/rtl/strings.h"

namespace {

TuxDBDataField* AsDBField(TuxCustomDataField* Field) { return dynamic_cast<TuxDBDataField*>(Field); }

}  // namespace

TuxValueTypeClass uxValueTypeClassOfField(TField* Field) {
  if (!Field) return TuxStringValueType::Instance();
  switch (Field->DataType()) {
    case ftString: return TuxStringValueType::Instance();
    case ftSmallint: return TuxSmallintValueType::Instance();
    case ftInteger:
    case ftAutoInc: return TuxIntegerValueType::Instance();
    case ftWord: return TuxWordValueType::Instance();
    case ftBoolean: return TuxBooleanValueType::Instance();
    case ftFloat:
    case ftCurrency: return TuxFloatValueType::Instance();
    case ftBCD: return TuxCurrencyValueType::Instance();
    case ftDate:
    case ftTime:
    case ftDateTime: return TuxDateTimeValueType::Instance();
    case ftWideString: return TuxWideStringValueType::Instance();
    case ftLargeint: return TuxLargeIntValueType::Instance();
    case ftFMTBcd: return TuxFMTBcdValueType::Instance();
    default: return TuxVariantValueType::Instance();
  }
}

// ---------------------------------------------------------------------------
// Filter criteria

TuxFilterOperatorClass TuxDBDataFilterCriteriaItem::GetOperatorClass() {
  TuxFilterOperatorClass cls = TuxDataFilterCriteriaItem::GetOperatorClass();
  auto* criteria = dynamic_cast<TuxDBDataFilterCriteria*>(DataCriteria());
  if (criteria && criteria->DBDataController())
    uxPrepareFilterOperatorClass(this, criteria->DBDataController()->GetDataSet(), cls);
  return cls;
}

void TuxDBDataFilterCriteriaItem::GetFieldName(AnsiString& S) {
  S.clear();
  auto* field = AsDBField(Field());
  auto* criteria = dynamic_cast<TuxDBDataFilterCriteria*>(DataCriteria());
  if (!field || !criteria) return;
  TField* f = field->Field();
  if (f && f->Lookup() && field->SubFieldCount() > 0) {
    for (int i = 0; i < field->SubFieldCount(); ++i) {
      if (i > 0) S += ";";
      S += uxGetFilterFieldName(field->SubField(i)->Field(), criteria->IgnoreOrigin());
    }
  } else if (f) {
    S = uxGetFilterFieldName(f, criteria->IgnoreOrigin());
  } else {
    S = field->FieldName();
    if (!S.empty()) uxQuoteFieldName(S);
  }
}

TuxDBDataFilterCriteria::TuxDBDataFilterCriteria(TuxCustomDataController* ADataController)
    : TuxDBFilterCriteriaImpl(ADataController) {}

TuxDBDataController* TuxDBDataFilterCriteria::DBDataController() const {
  return dynamic_cast<TuxDBDataController*>(DataController());
}

bool TuxDBDataFilterCriteria::IsFiltering() {
  return TuxDataFilterCriteria::IsFiltering() && !LeavesFilteringToDataSet(DataController()->IsSmartRefresh());
}

void TuxDBDataFilterCriteria::DoChanged() {
  TuxDBDataController* c = DBDataController();
  if (!c || c->IsDestroying()) {
    TuxDataFilterCriteria::DoChanged();
    return;
  }
  if (c->FilterList() && c->FilterList()->Contains(this)) return;
  TDataSet* ds = c->GetDataSet();
  if (ds && (ds->State() == dsEdit || ds->State() == dsInsert || ds->State() == dsSetKey)) {
    try {
      c->CheckBrowseMode();
    } catch (...) {
      SetActive(false);
      throw;
    }
  }
  DataSetChanged(ds, Active(), c->IsLoading(), c->IsSmartRefresh());
  TuxDataFilterCriteria::DoChanged();
  if (c->DBProvider()->IsSyncMode() && c->GetFocusedRowIndex() == -1 && c->GetRowCount() > 0)
    c->ChangeFocusedRowIndex(0);
}

// ---------------------------------------------------------------------------
// Data fields

TuxDBDataField::~TuxDBDataField() {
  ClearSubFields();
  if (FParentField) {
    auto& subs = FParentField->FSubFields;
    subs.erase(std::remove(subs.begin(), subs.end(), this), subs.end());
    FParentField = nullptr;
  }
  SetField(nullptr);
}

const TuxDBDataField* TuxDBDataField::Target() const {
  const TuxCustomDataField* f = this;
  while (f->SharedWith()) f = f->SharedWith();
  return static_cast<const TuxDBDataField*>(f);
}

TField* TuxDBDataField::Field() const { return Target()->FField; }

TuxDBDataController* TuxDBDataField::DBController() const {
  return dynamic_cast<TuxDBDataController*>(Controller());
}

void TuxDBDataField::SetField(TField* Value) {
  if (Value && Value->ComponentState().Contains(csDestroying)) Value = nullptr;
  if (Value == FField) return;
  TuxDataControllerNotifier* notifier = ControllerNotifier();
  if (FField && notifier) FField->RemoveFreeNotification(notifier);
  FField = Value;
  if (FField && notifier) FField->FreeNotification(notifier);
  ClearSubFields();
}

void TuxDBDataField::ComponentRemoved(TComponent* Component) {
  if (!FField || Component != FField) return;
  FField = nullptr;
  ClearSubFields();
  if (TuxDBDataController* c = DBController()) {
    TuxDBDataProvider* p = c->DBProvider();
    TDataSet* ds = p ? p->DataSet() : nullptr;
    if (p && p->InFirst() && p->DataLink()->Active() && ds && !ds->Active()) p->SetFieldsRecreated(true);
  }
}

int TuxDBDataField::SubFieldCount() const { return static_cast<int>(Target()->FSubFields.size()); }

TuxDBDataField* TuxDBDataField::SubField(int Index) const {
  return Target()->FSubFields[static_cast<std::size_t>(Index)];
}

void TuxDBDataField::AddSubField(TuxDBDataField* Field) {
  if (Field->FParentField) uxDataControllerError(uxSParentFieldAssigned);
  Field->FParentField = this;
  FSubFields.push_back(Field);
}

void TuxDBDataField::ClearSubFields() {
  while (!FSubFields.empty()) delete FSubFields.back();
}

bool TuxDBDataField::IsLookup() const {
  TField* f = Field();
  return f && f->Lookup();
}

bool TuxDBDataField::IsUnboundField() {
  return !IsInternal() && FFieldName.empty() && !FField && ValueDefinition() != nullptr;
}

bool TuxDBDataField::CanEditValue(int Kind) {
  if (IsUnboundField()) return TuxCustomDataField::CanEditValue(Kind);
  TField* f = Field();
  if (!f || !TuxCustomDataField::CanEditValue(Kind)) return false;
  if (f->Lookup()) {
    if (Kind != evsKey || SubFieldCount() == 0) return false;
    for (int i = 0; i < SubFieldCount(); ++i) {
      TField* sub = SubField(i)->Field();
      if (!sub || !uxCanModifyField(sub, true)) return false;
    }
    return true;
  }
  return uxCanModifyField(f, Kind == evsValue);
}

// ---------------------------------------------------------------------------
// Summary items

TuxDBDataSummaryItem::~TuxDBDataSummaryItem() {
  TuxDBDataField* field = FDataField;
  FDataField = nullptr;
  delete field;
}

TuxDBDataController* TuxDBDataSummaryItem::GetDBDataController() const {
  return dynamic_cast<TuxDBDataController*>(GetDataController());
}

void TuxDBDataSummaryItem::SetFieldName(const AnsiString& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  TuxDBDataController* c = GetDBDataController();
  if (!c) return;
  if (Value.empty()) {
    TuxDBDataField* field = FDataField;
    FDataField = nullptr;
    delete field;
    c->Change(dccData);
    return;
  }
  if (!FDataField) FDataField = static_cast<TuxDBDataField*>(c->CreateInternalField());
  c->BindFieldNames(FDataField, Value, false);
}

TuxCustomDataField* TuxDBDataSummaryItem::GetField() {
  return FDataField ? FDataField : TuxDataSummaryItem::GetField();
}

bool TuxDBDataSummaryItem::IsCurrency(Word VarType) {
  auto* field = AsDBField(GetField());
  if (field && field->Field()) return field->IsCurrency();
  return TuxDataSummaryItem::IsCurrency(VarType);
}

void TuxDBDataSummaryItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDBDataSummaryItem*>(Source);
  if (!source) {
    TuxDataSummaryItem::Assign(Source);
    return;
  }
  TuxDataSummaryItem::Assign(Source);
  SetFieldName(source->FFieldName);
}

// ---------------------------------------------------------------------------
// The controller: life

TuxDBDataController::TuxDBDataController(TComponent* AOwner)
    : TuxCustomDataController(AOwner), FDataModeController(std::make_unique<TuxDBDataModeController>(this)) {}

void TuxDBDataController::AfterConstruction() {
  TuxCustomDataController::AfterConstruction();
  FBookmarkField = static_cast<TuxDBDataField*>(CreateInternalField());
  FBookmarkField->SetValueType(TuxLargeIntValueType::Instance());
}

TuxDBDataController::~TuxDBDataController() {
  // The data set tells this controller nothing more while it goes.
  if (Provider()) {
    DBProvider()->FDestroying = true;
    DBProvider()->DataLink()->SetDataSource(nullptr);
  }
  FMasterDetailKeyFieldList.clear();
}

void TuxDBDataController::Assign(TPersistent* Source) {
  TuxCustomDataController::Assign(Source);
  auto* source = dynamic_cast<TuxDBDataController*>(Source);
  if (!source) return;
  FDataModeController->Assign(source->FDataModeController.get());
  SetDataSource(source->GetDataSource());
  SetKeyFieldNames(source->FKeyFieldNames);
  SetDetailKeyFieldNames(source->FDetailKeyFieldNames);
  SetMasterKeyFieldNames(source->FMasterKeyFieldNames);
  OnDetailHasChildren = source->OnDetailHasChildren;
}

// ---------------------------------------------------------------------------
// The data set

TDataSet* TuxDBDataController::GetDataSet() const { return Provider() ? DBProvider()->DataSet() : nullptr; }

int TuxDBDataController::GetDataSetRecordCount() const {
  TDataSet* ds = GetDataSet();
  return ds && ds->Active() ? ds->RecordCount() : 0;
}

int TuxDBDataController::GetDataSetRecNo() const {
  TDataSet* ds = GetDataSet();
  return ds && ds->Active() ? ds->RecNo() : -1;
}

void TuxDBDataController::SetDataSetRecNo(int Value) {
  if (TDataSet* ds = GetDataSet()) ds->SetRecNo(Value);
}

bool TuxDBDataController::IsDataSetSequenced() const {
  TDataSet* ds = GetDataSet();
  return ds && ds->IsSequenced();
}

TDataSource* TuxDBDataController::GetDataSource() const { return DBProvider()->DataSource(); }

void TuxDBDataController::SetDataSource(TDataSource* Value) {
  if (GetDataSource() == Value) return;
  DBProvider()->SetDataSource(Value);
  DoDataSourceChanged();
}

void TuxDBDataController::RefreshSourceData() {
  if (TDataSet* ds = GetDataSet()) ds->Refresh();
}

void TuxDBDataController::Loaded() {
  if (!FLoaded && DBProvider()->IsDataSetFieldsReady()) UpdateStructure(1);
  TuxCustomDataController::Loaded();
  FLoaded = true;
}

void TuxDBDataController::LoadStorage() {
  DBProvider()->SetCurrentRecordIndex(-1);
  BeginFullUpdate();
  {
    TuxFinally end([this] {
      EndFullUpdate();
      DBProvider()->SetPostLocate(false);
    });
    TuxCustomDataController::LoadStorage();
  }
}

void TuxDBDataController::RestructData() {
  if (!IsGridMode() && DBProvider()->DataLink()->BufferCount() != 1) DBProvider()->DataLink()->SetBufferCount(1);
  TuxCustomDataController::RestructData();
}

bool TuxDBDataController::IsExternalLocked() const {
  return TuxCustomDataController::IsExternalLocked() || (IsGridMode() && DBProvider()->IsInserting());
}

bool TuxDBDataController::IsSmartRefresh() {
  return FDataModeController && FDataModeController->SmartRefresh() && !IsGridMode();
}

void TuxDBDataController::UpdateGridModeBufferCount() {
  if (!IsGridMode()) return;
  FChangingBufferSize = true;
  TuxFinally clear([this] { FChangingBufferSize = false; });
  DBProvider()->UpdateGridModeBuffer();
}

// ---------------------------------------------------------------------------
// Binding fields

void TuxDBDataController::ChangeFieldName(int ItemIndex, const AnsiString& FieldName) {
  auto* field = AsDBField(TuxCustomDataController::GetItemField(ItemIndex));
  if (field && field->FFieldName != FieldName) BindFieldNames(field, FieldName, false);
}

TField* TuxDBDataController::GetItemField(int ItemIndex) const {
  auto* field = AsDBField(TuxCustomDataController::GetItemField(ItemIndex));
  return field ? field->Field() : nullptr;
}

AnsiString TuxDBDataController::GetItemFieldName(int ItemIndex) const {
  auto* field = AsDBField(TuxCustomDataController::GetItemField(ItemIndex));
  return field ? field->FieldName() : AnsiString();
}

void TuxDBDataController::SetKeyFieldNames(const AnsiString& Value) {
  if (FKeyFieldNames == Value) return;
  FKeyFieldNames = Value;
  if (Value.empty()) {
    TuxDBDataField* field = FKeyField;
    FKeyField = nullptr;
    delete field;
    return;
  }
  if (!FKeyField) FKeyField = static_cast<TuxDBDataField*>(CreateInternalField());
  BindFieldNames(FKeyField, Value, false);
}

void TuxDBDataController::BindFieldNames(TuxDBDataField* DataField, const AnsiString& Names, bool AsLookupKeys) {
  DataField->ClearSubFields();
  if (!AsLookupKeys) DataField->FFieldName = Names;
  if (AsLookupKeys || uxHasMultipleFieldNames(Names)) {
    DataField->SetSharedWith(nullptr);
    TuxInfoUpdateLock lock(this);
    for (int pos = 1; pos <= Length(Names);) {
      const AnsiString name = ExtractFieldName(Names, pos);
      auto* sub = static_cast<TuxDBDataField*>(CreateInternalField());
      DataField->AddSubField(sub);
      BindFieldNames(sub, name, false);
    }
    return;
  }
  TuxDBDataField* other = nullptr;
  if (!Names.empty())
    for (int i = 0; i < Fields()->Count() && !other; ++i) {
      auto* f = AsDBField(Fields()->Items(i));
      if (f && f != DataField && f != FBookmarkField && !f->SharedWith() && f->SubFieldCount() == 0 &&
          uxFieldNamesEqual(f->FFieldName, Names))
        other = f;
    }
  if (other) {
    DataField->SetField(nullptr);
    DataField->SetSharedWith(other);
    Change(dccData);
    return;
  }
  if (DataField->SharedWith()) {
    // Leaves the field it shared: a value type of its own follows from its binding.
    DataField->SetSharedWith(nullptr);
  }
  if (Names.empty()) {
    DataField->SetField(nullptr);
    DataField->SetValueType(nullptr);
  }
  AddChanges(dccLayout);
  UpdateStructure(1);
}

void TuxDBDataController::PrepareField(TuxCustomDataField* Field) {
  if (auto* f = AsDBField(Field)) UpdateFieldBinding(f);
}

void TuxDBDataController::UpdateFieldBinding(TuxDBDataField* DataField) {
  if (DataField->SharedWith() || DataField == FBookmarkField) return;
  TDataSet* ds = GetDataSet();
  if (!ds) return;
  if (DataField->FFieldName.empty() || uxHasMultipleFieldNames(DataField->FFieldName)) return;
  TField* f = FResettingDataSetFields ? nullptr : ds->FindField(DataField->FFieldName);
  const bool same = f && f == DataField->FField;
  DataField->SetField(f);
  UpdateValueTypeFromField(DataField);
  if (f && f->Lookup() && !same) BindFieldNames(DataField, f->KeyFields, true);
}

void TuxDBDataController::UpdateValueTypeFromField(TuxDBDataField* DataField) {
  TField* f = DataField->FField;
  for (int guard = 0; guard < 4; ++guard) {
    const bool textStored = f && uxIsFieldTextStored(f, false);
    const TuxValueTypeClass type = uxValueTypeClassOfField(f);
    const bool currency = f && uxIsDefaultCurrencyField(f);
    const bool typeChanged = type != DataField->ValueType() || currency != DataField->FIsCurrency;
    if (!typeChanged && textStored == DataField->KeepText()) return;
    DataField->BeginRebuild();
    {
      TuxFinally end([DataField] { DataField->EndRebuild(); });
      DataField->SetValueType(type);
      DataField->SetKeepText(textStored);
      DataField->FIsCurrency = currency;
    }
    if (typeChanged) NotifyValueTypeChanged(DataField);
  }
}

void TuxDBDataController::NotifyValueTypeChanged(TuxDBDataField* DataField) {
  if (DataField->IsInternal()) return;
  for (int i = 0; i < GetItemCount(); ++i) {
    TuxCustomDataField* f = Fields()->Items(i);
    if (f != DataField && f->SharedWith() != DataField) continue;
    DataControllerInfo()->CheckField(f);
    DoValueTypeClassChanged(i);
  }
}

void TuxDBDataController::UnbindDataSetFields() {
  FResettingDataSetFields = true;
  TuxFinally clear([this] { FResettingDataSetFields = false; });
  UpdateFields();
}

void TuxDBDataController::ChangeValueTypeClass(int ItemIndex, TuxValueTypeClass ValueTypeClass) {
  if (GetItemField(ItemIndex)) return;
  TuxCustomDataController::ChangeValueTypeClass(ItemIndex, ValueTypeClass);
}

bool TuxDBDataController::IsItemTextStored(int ItemIndex, bool ExcludeCurrency) {
  auto* field = AsDBField(TuxCustomDataController::GetItemField(ItemIndex));
  if (ExcludeCurrency && field && field->Field() && field->Target()->FIsCurrency) return false;
  return TuxCustomDataController::IsItemTextStored(ItemIndex, ExcludeCurrency);
}

void TuxDBDataController::RemoveNotification(TComponent* AComponent) {
  TuxCustomDataController::RemoveNotification(AComponent);
  if (std::find(FMasterDetailKeyFieldList.begin(), FMasterDetailKeyFieldList.end(), AComponent) !=
      FMasterDetailKeyFieldList.end()) {
    FMasterDetailKeyFieldList.clear();
    FMasterDetailKeyFieldsValid = false;
  }
}

// ---------------------------------------------------------------------------
// Values

Variant TuxDBDataController::GetInternalValue(int RecordIndex, TuxCustomDataField* Field) {
  if (RecordIndex >= 0 && IsGridMode() && Field != FBookmarkField)
    if (auto* f = AsDBField(Field))
      if (f->Field()) {
        Variant v;
        DBProvider()->GetValue(RecordIndex, Field, v);
        return v;
      }
  return TuxCustomDataController::GetInternalValue(RecordIndex, Field);
}

AnsiString TuxDBDataController::GetInternalDisplayText(int RecordIndex, TuxCustomDataField* Field) {
  if (RecordIndex >= 0 && IsGridMode())
    if (auto* f = AsDBField(Field))
      if (f->Field()) {
        AnsiString text;
        DBProvider()->GetDisplayText(RecordIndex, Field, text);
        return text;
      }
  return TuxCustomDataController::GetInternalDisplayText(RecordIndex, Field);
}

Variant TuxDBDataController::GetLookupKeyValue(int RecordIndex, TuxDBDataField* Field) {
  const int n = Field->SubFieldCount();
  if (n == 0) return Null();
  if (n == 1) return GetInternalValue(RecordIndex, Field->SubField(0));
  std::vector<Variant> values;
  for (int i = 0; i < n; ++i) values.push_back(GetInternalValue(RecordIndex, Field->SubField(i)));
  return VarArrayOf(values);
}

Variant TuxDBDataController::GetGroupValue(int RecordIndex, TuxCustomDataField* Field) {
  auto* f = AsDBField(Field);
  if (f && f->IsLookup()) return GetLookupKeyValue(RecordIndex, f);
  return TuxCustomDataController::GetGroupValue(RecordIndex, Field);
}

Variant TuxDBDataController::GetFilterDataValue(int RecordIndex, TuxCustomDataField* Field) {
  auto* f = AsDBField(Field);
  if (f && f->IsLookup()) return GetLookupKeyValue(RecordIndex, f);
  return TuxCustomDataController::GetFilterDataValue(RecordIndex, Field);
}

int TuxDBDataController::CompareFieldValues(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field, int Mode) {
  auto* f = AsDBField(Field);
  if (f && f->IsLookup())
    return uxCompareKeyInfos(GetLookupKeyValue(RecordIndex1, f), GetLookupKeyValue(RecordIndex2, f));
  return TuxCustomDataController::CompareFieldValues(RecordIndex1, RecordIndex2, Field, Mode);
}

void TuxDBDataController::DeleteRecordInternal(int RecordIndex) {
  TuxDBDataProvider* p = DBProvider();
  p->RecordRemoved(RecordIndex);
  if (p->CurrentRecordIndex() == RecordIndex)
    p->SetCurrentRecordIndex(-1);
  else if (p->CurrentRecordIndex() > RecordIndex && RecordIndex >= 0)
    p->SetCurrentRecordIndex(p->CurrentRecordIndex() - 1);
  TuxCustomDataController::DeleteRecordInternal(RecordIndex);
}

void TuxDBDataController::RecordLoaded(int RecordIndex) {
  TuxDBDataProvider* p = DBProvider();
  const TBookmarkStr& saved = p->SavedPos().Bookmark;
  if (saved.empty()) return;
  TDataSet* ds = GetDataSet();
  if (ds && ds->Bookmark() == saved) p->SetCurrentRecordIndex(RecordIndex);
}

// ---------------------------------------------------------------------------
// Keys

bool TuxDBDataController::LocatesByKey() { return FKeyField != nullptr && !IsGridMode(); }

void TuxDBDataController::GetKeyFields(std::vector<TuxCustomDataField*>& List) {
  if (!FKeyField) return;
  if (FKeyField->SubFieldCount() > 0)
    for (int i = 0; i < FKeyField->SubFieldCount(); ++i) List.push_back(FKeyField->SubField(i));
  else
    List.push_back(FKeyField);
}

void TuxDBDataController::GetRecordKeyValue(int RecordIndex, Variant& Value) {
  CheckRecordRange(RecordIndex);
  std::vector<TuxCustomDataField*> keys;
  GetKeyFields(keys);
  Value = keys.empty() ? Null() : GetKeyValue(RecordIndex, keys);
}

void TuxDBDataController::GetDataSetKeyValue(Variant& Value) {
  std::vector<TuxCustomDataField*> keys;
  GetKeyFields(keys);
  if (keys.empty()) {
    Value = Null();
    return;
  }
  std::vector<Variant> values;
  for (TuxCustomDataField* k : keys) {
    TField* f = AsDBField(k)->Field();
    if (!f) uxDataControllerError(uxSKeyFieldNotFound);
    values.push_back(f->AsVariant());
  }
  Value = values.size() == 1 ? values[0] : VarArrayOf(values);
}

int TuxDBDataController::FindRecordIndexByKey(const Variant& KeyValue) {
  std::vector<TuxCustomDataField*> keys;
  GetKeyFields(keys);
  if (keys.empty()) return -1;
  if (IsGridMode()) {
    for (int r = 0; r < GetRecordCount(); ++r)
      if (uxVarEquals(GetKeyValue(r, keys), KeyValue)) return r;
    return -1;
  }
  if (keys.size() > 1 && !KeyValue.IsArray()) return -1;
  TuxValueDefUnboundReader reader;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    TuxValueDef* def = keys[i]->ValueDefinition();
    if (!def) return -1;
    reader.SetValue(def, keys.size() == 1 ? KeyValue : KeyValue[KeyValue.LowBound() + static_cast<int>(i)]);
  }
  TuxDataControllerKeyLocateObject locate(this);
  locate.KeyFields = keys;
  locate.ReadLocateRecord(&reader);
  return locate.FindRecordIndex();
}

bool TuxDBDataController::LocateByKey(const Variant& KeyValue) {
  const int record = FindRecordIndexByKey(KeyValue);
  if (record == -1) {
    if (!IsGridMode()) return false;
    TDataSet* ds = GetDataSet();
    if (!ds) return false;
    bool found;
    {
      DBProvider()->BeginLocate();
      TuxFinally end([this] { DBProvider()->EndLocate(); });
      found = ds->Locate(FKeyFieldNames, KeyValue, TLocateOptions{});
    }
    if (found) SyncSelected();
    return found;
  }
  const int row = GetRowIndexByRecordIndex(record, true);
  if (row == -1) return false;
  ChangeFocusedRowIndex(row);
  return true;
}

int TuxDBDataController::FindRecordIndexByDataSetKey() {
  std::vector<TuxCustomDataField*> keys;
  GetKeyFields(keys);
  if (keys.empty()) return -1;
  TuxValueDefDBReader reader;
  TuxDataControllerKeyLocateObject locate(this);
  locate.KeyFields = keys;
  locate.ReadLocateRecord(&reader);
  return locate.FindRecordIndex();
}

// ---------------------------------------------------------------------------
// Focus and the data set's position

bool TuxDBDataController::SyncDataSetPos(int RecordIndex) {
  TDataSet* ds = GetDataSet();
  if (RecordIndex < 0 || !ds) return false;
  TuxDBDataProvider* p = DBProvider();
  if (!IsGridMode()) {
    // What names the record is read before pending edits are posted: the
    // post reloads the records.
    const TBookmarkStr b = p->RecordBookmark(RecordIndex);
    Variant key = Null();
    if (FKeyField && RecordIndex < GetRecordCount()) GetRecordKeyValue(RecordIndex, key);
    if (RecordIndex == p->CurrentRecordIndex() && !b.empty() && ds->Bookmark() == b) {
      CheckBrowseMode();
      return true;
    }
    CheckBrowseMode();
    if (!b.empty() && p->BookmarkValid(b)) {
      ds->SetBookmark(b);
      return true;
    }
    if (key.IsNull() || key.IsEmpty()) return false;
    return ds->Locate(FKeyFieldNames, key, TLocateOptions{});
  }
  CheckBrowseMode();
  p->MoveBy(RecordIndex - p->CurrentRecordIndex());
  return true;
}

bool TuxDBDataController::CanFocusRecord(int RecordIndex) {
  TuxDBDataProvider* p = DBProvider();
  if ((p->IsInserting() && RecordIndex == p->EditingRecordIndex()) || (NewItemRowEnabled() && RecordIndex < 0)) {
    if (!p->IsInserting() && RecordIndex < 0) Post();
    return true;
  }
  if (!p->IsActiveDataSet()) return TuxCustomDataController::CanFocusRecord(RecordIndex);
  bool result;
  {
    p->BeginLocate();
    TuxFinally end([p] { p->EndLocate(); });
    if (IsDetailMode() && FDataModeController->DetailSyncEnabled && !FResettingCurrent) CheckCurrentQuery();
    result = p->IsSyncMode() ? SyncDataSetPos(RecordIndex) : TuxCustomDataController::CanFocusRecord(RecordIndex);
  }
  AfterLocate();
  return result;
}

int TuxDBDataController::GetFocusingRecordIndex() {
  TuxDBDataProvider* p = DBProvider();
  if (p->IsActiveDataSet() && p->IsSyncMode()) {
    const int record = p->GetFocusedRecordIndex();
    return record < GetRecordCount() ? record : -1;
  }
  return TuxCustomDataController::GetFocusingRecordIndex();
}

int TuxDBDataController::GetDataSetFocusedRecordIndex() { return DBProvider()->GetFocusedRecordIndex(); }

bool TuxDBDataController::CheckBrowseModeForFocusChange() {
  if (FResettingCurrent) return true;
  auto* relation = dynamic_cast<TuxDBDataRelation*>(GetMasterRelation());
  if (!relation) return true;
  TuxCustomDataController* master = GetMasterDataController();
  if (master && !master->CheckBrowseModeForFocusChange()) return false;
  TuxObjectLink* self = uxAddObjectLink(this);
  TuxObjectLink* masterLink = master ? uxAddObjectLink(master) : nullptr;
  TuxFinally remove([self, masterLink] {
    uxRemoveObjectLink(self);
    if (masterLink) uxRemoveObjectLink(masterLink);
  });
  if (master) master->CheckBrowseMode();
  if (self->Ref) CheckBrowseMode();
  return self->Ref && (!masterLink || masterLink->Ref);
}

void TuxDBDataController::CheckBrowseMode() {
  if (FInCheckBrowseMode) return;
  FInCheckBrowseMode = true;
  TuxFinally clear([this] { FInCheckBrowseMode = false; });
  TDataSet* ds = GetDataSet();
  if (ds && (ds->State() == dsEdit || ds->State() == dsInsert)) {
    ds->UpdateRecord();
    if (DBProvider()->IsDataSetModified()) {
      const bool wrap = !IsSmartRefresh() && !IsGridMode();
      if (wrap) ds->DisableControls();
      TuxFinally enable([ds, wrap] {
        if (wrap) ds->EnableControls();
      });
      ds->Post();
    } else {
      // A new record that holds only what the controller filled in is discarded.
      Cancel();
    }
  }
  if (Relations())
    for (int r = 0; r < GetRecordCount(); ++r) {
      TuxDetailObject* detail = Relations()->FindDetailObject(r);
      if (!detail) continue;
      for (int i = 0; i < detail->InfoCount(); ++i)
        if (TuxCustomDataController* d = GetDetailDataControllerByLinkObject(detail->LinkObject(i)))
          d->CheckBrowseMode();
    }
}

bool TuxDBDataController::LocateByText(const AnsiString& Text, bool Forward, bool Next) {
  if (!IsGridMode()) return TuxCustomDataController::LocateByText(Text, Forward, Next);
  const int item = Search()->GetItemIndex();
  if (item < 0) return false;
  const AnsiString previous = FSearchText;
  FSearchText = Text;
  Search()->Lock();
  TuxFinally unlock([this] { Search()->Unlock(); });
  const bool found = DBProvider()->SearchDataSet(item, Forward, Next);
  if (!found) FSearchText = previous;
  return found;
}

void TuxDBDataController::NotifyAfterLocate() { DBProvider()->NotifyListeners(); }

// ---------------------------------------------------------------------------
// Stored focus in grid mode

void TuxDBDataController::StoreFocusInternal() {
  if (!IsGridMode()) {
    TuxCustomDataController::StoreFocusInternal();
    return;
  }
  TDataSet* ds = GetDataSet();
  if (!ds) return;
  const TBookmarkStr b = ds->Bookmark();
  if (FStoredBookmark.empty() || DBProvider()->CompareBookmarks(b, FStoredBookmark) != 0) FStoredBookmark = b;
}

void TuxDBDataController::RestoreStoredFocusInternal() {
  if (!IsGridMode()) {
    TuxCustomDataController::RestoreStoredFocusInternal();
    return;
  }
  TDataSet* ds = GetDataSet();
  if (!ds || FStoredBookmark.empty()) return;
  ds->SetBookmark(FStoredBookmark);
  RefreshSelectionState();
}

void TuxDBDataController::ClearStoredFocusInternal() {
  FStoredBookmark.clear();
  TuxCustomDataController::ClearStoredFocusInternal();
}

bool TuxDBDataController::IsFocusStored() const {
  if (IsGridMode()) return !FStoredBookmark.empty();
  return TuxCustomDataController::IsFocusStored();
}

bool TuxDBDataController::IsRowFocusStored(int RowIndex) {
  if (!IsGridMode()) return TuxCustomDataController::IsRowFocusStored(RowIndex);
  auto* selection = DBSelection();
  return !FStoredBookmark.empty() && selection &&
         DBProvider()->CompareBookmarks(selection->RowBookmark(RowIndex), FStoredBookmark) == 0;
}

bool TuxDBDataController::IsStoredFocusLost(int RecordIndex) {
  if (!IsGridMode()) return TuxCustomDataController::IsStoredFocusLost(RecordIndex);
  return !GetDataSet() || !DBProvider()->BookmarkValid(FStoredBookmark);
}

void TuxDBDataController::CheckStoredFocus(int RecordIndex) {
  if (!IsGridMode()) {
    TuxCustomDataController::CheckStoredFocus(RecordIndex);
    return;
  }
  if (!FStoredBookmark.empty() && IsStoredFocusLost(RecordIndex)) FStoredBookmark.clear();
}
