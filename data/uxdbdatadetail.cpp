// Master and detail on datasets: the detail clones of a relation share one
// data set, find their master's records in it by locating the key or by
// reopening a parameterised query (master values go in as parameter values,
// never into the statement's text), and only one clone at a time owns it.
#include <algorithm>

#include "data/uxdataconsts.h"
#include "data/uxdbdata.h"
#include "data/uxvariants.h"
#include "platform/classes/typinfo.h"
#include "platform/db/ado.h"

namespace {

TuxDBAdapterList* detailFilterAdapters = nullptr;

// The data set's parameter list: its published "Params" or "Parameters".
TParameters* DataSetParams(TDataSet* DataSet) {
  if (!DataSet) return nullptr;
  for (const char* name : {"Params", "Parameters"})
    if (GetPropInfo(DataSet, name))
      if (auto* params = dynamic_cast<TParameters*>(GetObjectProp(DataSet, name))) return params;
  return nullptr;
}

Variant KeyElement(const Variant& Values, int Count, int Index) {
  return Count == 1 ? Values : Values[Values.LowBound() + Index];
}

bool ParamsHold(TParameters* Params, const AnsiString& Names, const Variant& Values) {
  int count = uxGetFieldNameCount(Names);
  if (count == 0 || (count > 1 && !Values.IsArray())) return false;
  int i = 0;
  for (int pos = 1; pos <= Length(Names); ++i) {
    TParameter* p = Params->FindParam(ExtractFieldName(Names, pos));
    if (!p || !uxVarEquals(p->Value, KeyElement(Values, count, i))) return false;
  }
  return true;
}

}  // namespace

TuxDBAdapterList* uxDetailFilterAdapters() { return detailFilterAdapters; }

void uxInitDetailFilterAdapters() {
  if (detailFilterAdapters) return;
  detailFilterAdapters = new TuxDBAdapterList;
  detailFilterAdapters->RegisterAdapter(TDataSet::StaticClass(), TuxDBProviderDetailFilterAdapter::StaticClass());
}

void uxFinalizeDetailFilterAdapters() {
  TuxDBAdapterList* list = detailFilterAdapters;
  detailFilterAdapters = nullptr;
  delete list;
}

// ---------------------------------------------------------------------------
// Detail filter adapter

bool TuxDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* ADataSet, const AnsiString& AParamNames,
                                                      const Variant& AParamValues) {
  TParameters* params = DataSetParams(ADataSet);
  return params && ParamsHold(params, AParamNames, AParamValues);
}

void TuxDBProviderDetailFilterAdapter::ReopenSQL(TDataSet* ADataSet, const AnsiString& AParamNames,
                                                 const Variant& AParamValues, bool& AReopened) {
  TParameters* params = DataSetParams(ADataSet);
  if (!params) return;
  if (ParamsHold(params, AParamNames, AParamValues)) {
    ADataSet->First();
    return;
  }
  ADataSet->DisableControls();
  TuxFinally enable([ADataSet] { ADataSet->EnableControls(); });
  ADataSet->SetActive(false);
  const int count = uxGetFieldNameCount(AParamNames);
  int i = 0;
  for (int pos = 1; pos <= Length(AParamNames); ++i)
    params->ParamByName(ExtractFieldName(AParamNames, pos))->Value = KeyElement(AParamValues, count, i);
  ADataSet->SetActive(true);
  AReopened = true;
}

void TuxDBProviderDetailFilterAdapter::DetailFirst(TDataSet* ADataSet, const AnsiString& AParamNames,
                                                   const Variant& AParamValues, bool ASQLMode, bool& AReopened) {
  if (ASQLMode)
    ReopenSQL(ADataSet, AParamNames, AParamValues, AReopened);
  else
    ADataSet->Locate(AParamNames, AParamValues, TLocateOptions{});
}

// ---------------------------------------------------------------------------
// Relation

TuxDBDataRelation::~TuxDBDataRelation() {
  TuxDBDataField* field = FMasterKeyField;
  FMasterKeyField = nullptr;
  TuxCustomDataController* master = GetMasterDataController();
  if (field && master && !master->IsDestroying()) delete field;
}

void TuxDBDataRelation::DataFieldRemoved(TuxCustomDataField* Field) {
  if (Field == FMasterKeyField) FMasterKeyField = nullptr;
}

AnsiString TuxDBDataRelation::GetDetailKeyFieldNames() const {
  auto* pattern = dynamic_cast<TuxDBDataController*>(DetailDataController());
  return pattern ? pattern->DetailKeyFieldNames() : AnsiString();
}

AnsiString TuxDBDataRelation::GetMasterKeyFieldNames() const {
  auto* pattern = dynamic_cast<TuxDBDataController*>(DetailDataController());
  return pattern ? pattern->MasterKeyFieldNames() : AnsiString();
}

void TuxDBDataRelation::UpdateMasterKeyField() {
  auto* master = dynamic_cast<TuxDBDataController*>(GetMasterDataController());
  if (!master) return;
  const AnsiString names = GetMasterKeyFieldNames();
  if (names.empty()) {
    TuxDBDataField* field = FMasterKeyField;
    FMasterKeyField = nullptr;
    delete field;
    return;
  }
  if (!FMasterKeyField) FMasterKeyField = static_cast<TuxDBDataField*>(master->CreateInternalField());
  if (FMasterKeyField->FieldName() != names) master->BindFieldNames(FMasterKeyField, names, false);
}

void TuxDBDataRelation::CollectMasterKeyFields(std::vector<TuxCustomDataField*>& List) {
  if (!FMasterKeyField) return;
  if (FMasterKeyField->SubFieldCount() > 0)
    for (int i = 0; i < FMasterKeyField->SubFieldCount(); ++i) List.push_back(FMasterKeyField->SubField(i));
  else
    List.push_back(FMasterKeyField);
}

bool TuxDBDataRelation::HasMasterDetailLink() {
  auto* pattern = dynamic_cast<TuxDBDataController*>(DetailDataController());
  return FMasterKeyField && pattern && pattern->HasMasterDetailKeyFields();
}

void TuxDBDataRelation::GetMasterKeyValues(int RecordIndex, Variant& Values) {
  TuxCustomDataController* master = GetMasterDataController();
  master->CheckRecordRange(RecordIndex);
  Values = Variant();
  if (!HasMasterDetailLink()) return;
  std::vector<TuxCustomDataField*> fields;
  CollectMasterKeyFields(fields);
  Values = master->GetKeyValue(RecordIndex, fields);
}

// ---------------------------------------------------------------------------
// Controller: key names and the link to a master record

TuxCustomDataRelationClass TuxDBDataController::GetRelationClass() { return TuxDBDataRelation::StaticClass(); }

void TuxDBDataController::SetDetailKeyFieldNames(const AnsiString& Value) {
  if (FDetailKeyFieldNames == Value) return;
  FDetailKeyFieldNames = Value;
  FMasterDetailKeyFieldList.clear();
  FMasterDetailKeyFieldsValid = false;
  if (GetMasterRelation() && GetMasterRecordIndex() == -1) GetMasterRelation()->NotifyChanged();
}

void TuxDBDataController::SetMasterKeyFieldNames(const AnsiString& Value) {
  if (FMasterKeyFieldNames == Value) return;
  FMasterKeyFieldNames = Value;
  if (GetMasterRelation() && GetMasterRecordIndex() == -1) GetMasterRelation()->NotifyChanged();
}

AnsiString TuxDBDataController::GetMasterDetailKeyFieldNames() const {
  return FMasterKeyFieldNames.empty() ? AnsiString() : FDetailKeyFieldNames;
}

const std::vector<TField*>& TuxDBDataController::MasterDetailKeyFields() {
  if (!FMasterDetailKeyFieldsValid) {
    FMasterDetailKeyFieldList.clear();
    TDataSet* ds = GetDataSet();
    const AnsiString names = GetMasterDetailKeyFieldNames();
    if (ds && !names.empty()) {
      ds->GetFieldList(FMasterDetailKeyFieldList, names);
      for (TField* f : FMasterDetailKeyFieldList) f->FreeNotification(Notifier());
      FMasterDetailKeyFieldsValid = true;
    }
  }
  return FMasterDetailKeyFieldList;
}

void TuxDBDataController::ReloadData(TuxCustomDataRelation* Relation) {
  if (Relations())
    for (int i = 0; i < Relations()->GetCount(); ++i)
      if (auto* r = dynamic_cast<TuxDBDataRelation*>(Relations()->RelationItems(i))) r->UpdateMasterKeyField();
  TuxCustomDataController::ReloadData(Relation);
}

void TuxDBDataController::SetMasterRelation(TuxCustomDataRelation* Relation, int MasterRecordIndex) {
  TuxInfoUpdateLock lock(this);
  FMasterDetailKeyValues = Variant();
  if (Relation && MasterRecordIndex != -1)
    if (auto* r = dynamic_cast<TuxDBDataRelation*>(Relation)) r->GetMasterKeyValues(MasterRecordIndex, FMasterDetailKeyValues);
  TuxCustomDataController::SetMasterRelation(Relation, MasterRecordIndex);
  AddChanges(dccData);
}

// ---------------------------------------------------------------------------
// Controller: the shared data set

TuxDBProviderDetailFilterAdapter* TuxDBDataController::GetDetailFilterAdapter() {
  TDataSet* ds = GetDataSet();
  int index = -1;
  TuxDBAdapterList* list = uxDetailFilterAdapters();
  if (!ds || !list || !list->Find(ds->ClassType(), index)) uxDataControllerError(uxSDetailFilterControllerNotFound);
  auto* adapter = dynamic_cast<TuxDBProviderDetailFilterAdapter*>(list->Items(index));
  if (!adapter) uxDataControllerError(uxSDetailFilterControllerNotFound);
  return adapter;
}

bool TuxDBDataController::DoDetailIsCurrentQuery() {
  bool current = false;
  const AnsiString names = GetMasterDetailKeyFieldNames();
  if (FDataModeController->OnDetailIsCurrentQuery)
    FDataModeController->OnDetailIsCurrentQuery(this, GetDataSet(), names, FMasterDetailKeyValues, current);
  else
    current = GetDetailFilterAdapter()->IsCurrentQuery(GetDataSet(), names, FMasterDetailKeyValues);
  return current;
}

void TuxDBDataController::DoDetailFirstCall(bool& Reopened) {
  Reopened = false;
  const AnsiString names = GetMasterDetailKeyFieldNames();
  if (FDataModeController->OnDetailFirst)
    FDataModeController->OnDetailFirst(this, GetDataSet(), names, FMasterDetailKeyValues, Reopened);
  else
    GetDetailFilterAdapter()->DetailFirst(GetDataSet(), names, FMasterDetailKeyValues,
                                          FDataModeController->DetailInSQLMode(), Reopened);
}

void TuxDBDataController::DetailFirst() {
  bool reopened = false;
  DoDetailFirstCall(reopened);
  if (reopened) DBProvider()->SavePos();
  SetDataSetCurrent(true);
}

bool TuxDBDataController::IsDetailEOF() {
  TDataSet* ds = GetDataSet();
  if (FMasterDetailKeyValues.IsEmpty() || !ds || ds->Eof()) return true;
  const TDataSetState s = ds->State();
  if (s == dsEdit || s == dsInsert || s == dsSetKey) return false;
  const std::vector<TField*>& fields = MasterDetailKeyFields();
  if (fields.empty()) return true;
  const int count = static_cast<int>(fields.size());
  if (count > 1 && !FMasterDetailKeyValues.IsArray()) return true;
  for (int i = 0; i < count; ++i)
    if (!uxVarEquals(fields[static_cast<std::size_t>(i)]->AsVariant(), KeyElement(FMasterDetailKeyValues, count, i)))
      return true;
  return false;
}

bool TuxDBDataController::IsDataSetCurrent() {
  TuxDBDataProvider* p = DBProvider();
  if (!IsDetailMode() || FDataModeController->DetailInSQLMode() || !p->IsSyncMode()) return p->DataSetCurrent();
  if (p->InCanInitEditing()) return true;
  for (TuxDBDataProvider* s : p->SiblingProviders())
    if (s != p && s->InCanInitEditing()) return false;
  const bool noFocus = (GetFocusedRowIndex() == -1 && !p->DataSetCurrent()) || p->IsOtherInsert();
  const bool newItem = NewItemRowEnabled() && GetNewItemRowFocused() && p->IsInserting();
  if (!p->InInsertOrAppend() && noFocus && !newItem) return false;
  return true;
}

void TuxDBDataProvider::SetDataSetCurrent(bool Value) { DBController()->SetDataSetCurrent(Value); }

void TuxDBDataController::SetDataSetCurrent(bool Value) {
  TuxDBDataProvider* p = DBProvider();
  if (Value) {
    for (TuxDBDataProvider* s : p->SiblingProviders()) {
      TuxDBDataController* c = s->DBController();
      if (s == p || !c->IsDetailMode() || c->IsPattern() || c->FResettingCurrent || !s->FDataSetCurrent) continue;
      c->FResettingCurrent = true;
      TuxFinally clear([c] { c->FResettingCurrent = false; });
      s->FDataSetCurrent = false;
      c->DoDataSetCurrentChanged(false);
      TuxUpdateLock lock(c);
      c->DataControllerInfo()->ChangeFocusedRow(-1, true);
    }
  }
  if (p->FDataSetCurrent == Value) return;
  p->FDataSetCurrent = Value;
  DoDataSetCurrentChanged(Value);
}

void TuxDBDataController::CheckCurrentQuery() {
  if (!FDataModeController->DetailInSQLMode() || FMasterDetailKeyValues.IsEmpty()) return;
  if (DoDetailIsCurrentQuery() && DBProvider()->DataSetCurrent()) return;
  TuxDBDataProvider* p = DBProvider();
  p->Freeze();
  TuxFinally unfreeze([this, p] {
    FCheckingCurrentQuery = false;
    p->Unfreeze();
  });
  FCheckingCurrentQuery = true;
  p->First();
  p->SavePos();
  p->RestorePos();
  p->SetCurrentRecordIndex(0);
}

bool TuxDBDataController::IgnoresDataSetChange() {
  if (!IsDetailMode() || IsPattern() || !FDataModeController->DetailInSQLMode() ||
      !FDataModeController->DetailSyncEnabled || FMasterDetailKeyValues.IsEmpty() || DBProvider()->DataSetCurrent())
    return false;
  TDataSet* ds = GetDataSet();
  if (!ds || !ds->Active() || ds->IsEmpty()) return true;
  const std::vector<TField*>& fields = MasterDetailKeyFields();
  const int count = static_cast<int>(fields.size());
  for (int i = 0; i < count; ++i)
    if (!uxVarEquals(fields[static_cast<std::size_t>(i)]->AsVariant(), KeyElement(FMasterDetailKeyValues, count, i)))
      return true;
  return false;
}

void TuxDBDataController::AssignMasterDetailKeys() {
  const std::vector<TField*>& fields = MasterDetailKeyFields();
  const int count = static_cast<int>(fields.size());
  if (count == 0 || FMasterDetailKeyValues.IsEmpty() || (count > 1 && !FMasterDetailKeyValues.IsArray())) return;
  for (int i = 0; i < count; ++i)
    fields[static_cast<std::size_t>(i)]->SetAsVariant(KeyElement(FMasterDetailKeyValues, count, i));
  DBProvider()->AssignedFields().AddList(fields);
}

// ---------------------------------------------------------------------------
// Children of a master record

bool TuxDBDataProvider::GetDetailHasChildren(int RecordIndex, int RelationIndex) {
  return DBController()->GetDetailHasChildrenOf(RecordIndex, RelationIndex);
}

bool TuxDBDataController::GetDetailHasChildrenOf(int RecordIndex, int RelationIndex) {
  TuxCustomDataRelation* relation = Relations() ? Relations()->RelationItems(RelationIndex) : nullptr;
  auto* pattern = relation ? dynamic_cast<TuxDBDataController*>(relation->DetailDataController()) : nullptr;
  if (!pattern) return false;
  bool has = true;
  Variant values;
  if (auto* r = dynamic_cast<TuxDBDataRelation*>(relation)) r->GetMasterKeyValues(RecordIndex, values);
  const AnsiString names = pattern->GetMasterDetailKeyFieldNames();
  if (OnDetailHasChildren) {
    OnDetailHasChildren(this, RecordIndex, RelationIndex, names, values, has);
    return has;
  }
  if (pattern->DataModeController()->GridMode() || pattern->DataModeController()->DetailInSQLMode()) return has;
  TDataSet* ds = pattern->GetDataSet();
  if (!ds || !ds->Active()) return false;
  if (names.empty() || values.IsEmpty()) return false;
  TuxDBDataProvider* p = pattern->DBProvider();
  p->Freeze();
  TuxFinally unfreeze([p] { p->Unfreeze(); });
  p->SavePos();
  TuxFinally restore([p] { p->RestorePos(); });
  has = ds->Locate(names, values, TLocateOptions{});
  pattern->AfterLocate();
  return has;
}
