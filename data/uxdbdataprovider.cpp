// The dataset data provider and its data link: the controller's record
// operations become data-set calls, and the data set's notifications become
// controller updates. Every lock taken here is released however the work
// inside it ends.
#include <algorithm>
#include <cstring>

#include "data/uxdataconsts.h"
#include "data/uxdatautils.h"
#include "data/uxdbdata.h"
#include "data/uxvariants.h"

namespace {

bool InEditState(const TDataSet* DataSet) {
  const TDataSetState s = DataSet->State();
  return s == dsEdit || s == dsInsert || s == dsSetKey;
}

// A bookmark string in the form of the data set's pointer-based calls.
class BookmarkArg {
 public:
  explicit BookmarkArg(const TBookmarkStr& S) : FValid(S.size() == sizeof FId) {
    if (FValid) std::memcpy(&FId, S.data(), sizeof FId);
  }
  TBookmark Get() { return FValid ? &FId : nullptr; }

 private:
  bool FValid;
  Int64 FId = 0;
};

TField* BoundField(TuxCustomDataField* Field) {
  auto* f = dynamic_cast<TuxDBDataField*>(Field);
  return f ? f->Field() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Assigned fields

void TuxDBDataAssignedFields::Add(TField* Field) {
  if (Field && !IsAssigned(Field)) FFields.push_back(Field);
}

void TuxDBDataAssignedFields::AddList(const std::vector<TField*>& List) {
  for (TField* f : List) Add(f);
}

void TuxDBDataAssignedFields::AddByNames(TDataSet* DataSet, const AnsiString& Names) {
  std::vector<TField*> list;
  DataSet->GetFieldList(list, Names);
  AddList(list);
}

bool TuxDBDataAssignedFields::IsAssigned(TField* Field) const {
  return std::find(FFields.begin(), FFields.end(), Field) != FFields.end();
}

void TuxDBDataAssignedFields::Remove(TField* Field) {
  FFields.erase(std::remove(FFields.begin(), FFields.end(), Field), FFields.end());
}

// ---------------------------------------------------------------------------
// Reader of the data set's current record

const TuxValueDefDBReader::Source& TuxValueDefDBReader::SourceOf(TuxValueDef* Def) {
  for (const Source& s : FSources)
    if (s.Def == Def) return s;
  Source s;
  s.Def = Def;
  auto* field = dynamic_cast<TuxDBDataField*>(Def->GetLinkObject());
  TuxDBDataController* c = field ? field->DBController() : nullptr;
  const bool gridMode = c && c->IsGridMode();
  if (!field) {
    s.Skip = true;
  } else if (field == c->BookmarkField()) {
    s.Bookmark = true;
    s.Skip = gridMode;
    FProvider = c->DBProvider();
  } else {
    s.Field = field->Field();
    s.Skip = !(s.Field && !gridMode) && !(field->IsUnboundField() && c && c->UnboundCopy());
  }
  FSources.push_back(s);
  return FSources.back();
}

void TuxValueDefDBReader::TextOf(TuxValueDef* Def, AnsiString& Text) {
  const Source& s = SourceOf(Def);
  if (s.Field)
    Text = s.Field->DisplayText();
  else
    TuxValueDefReader::TextOf(Def, Text);
}

void TuxValueDefDBReader::ValueOf(TuxValueDef* Def, Variant& Value) {
  const Source& s = SourceOf(Def);
  if (s.Bookmark)
    FProvider->CurrentBookmarkValue(Value);
  else if (s.Field)
    uxGetFieldValue(s.Field, Value);
  else
    TuxValueDefReader::ValueOf(Def, Value);
}

bool TuxValueDefDBReader::Skips(TuxValueDef* Def) { return SourceOf(Def).Skip; }

// ---------------------------------------------------------------------------
// Data mode controller

void TuxDBDataModeController::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDBDataModeController*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  SetDetailInSQLMode(source->FDetailInSQLMode);
  SetGridMode(source->FGridMode);
  SetGridModeBufferCount(source->FGridModeBufferCount);
  SetSmartRefresh(source->FSmartRefresh);
  SetSyncMode(source->FSyncMode);
  DetailSyncEnabled = source->DetailSyncEnabled;
  InsertSyncEnabled = source->InsertSyncEnabled;
  OnDetailFirst = source->OnDetailFirst;
  OnDetailIsCurrentQuery = source->OnDetailIsCurrentQuery;
}

void TuxDBDataModeController::SetGridMode(bool Value) {
  if (FGridMode == Value) return;
  const bool was = FController->IsGridMode();
  FGridMode = Value;
  if (FController->IsGridMode() != was) FController->RestructData();
}

void TuxDBDataModeController::SetGridModeBufferCount(int Value) {
  if (Value < 0) Value = 0;
  if (FGridModeBufferCount == Value) return;
  FGridModeBufferCount = Value;
  FController->UpdateGridModeBufferCount();
}

void TuxDBDataModeController::SetSmartRefresh(bool Value) {
  if (FSmartRefresh == Value) return;
  FSmartRefresh = Value;
  if (!FController->IsGridMode()) FController->DBProvider()->DataScrolled(0);
}

void TuxDBDataModeController::SetSyncMode(bool Value) {
  if (FSyncMode == Value) return;
  FSyncMode = Value;
  TDataSet* ds = FController->GetDataSet();
  if (ds && ds->Active() && !ds->ControlsDisabled()) FController->DBProvider()->DataScrolled(0);
}

// ---------------------------------------------------------------------------
// Data link

void TuxDBDataLink::ActiveChanged() {
  if (FProvider->FDestroying) return;
  TDataSet* ds = DataSet();
  if (ds && ds->State() == dsInsert) FProvider->FActivatedWhileInserting = true;
  FProvider->SetActiveChanging(true);
  {
    TuxFinally clear([this] { FProvider->SetActiveChanging(false); });
    FProvider->ActiveChanged(Active());
  }
  if (!Active()) ReopenedWhileDisabled = false;
}

void TuxDBDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  if (FProvider->FDestroying) return;
  if (Event == deDisabledStateChange && Info == 0) ReopenedWhileDisabled = true;
  TDataLink::DataEvent(Event, Info);
}

void TuxDBDataLink::DataSetChanged() {
  if (!FProvider->FDestroying) FProvider->LinkDataSetChanged();
}

void TuxDBDataLink::DataSetScrolled(int Distance) {
  if (!FProvider->FDestroying) FProvider->DataScrolled(Distance);
}

void TuxDBDataLink::EditingChanged() {
  if (!FProvider->FDestroying) FProvider->LinkEditingChanged();
}

void TuxDBDataLink::FocusControl(TField** Field) {
  if (FProvider->FDestroying || !Field || !*Field) return;
  TuxCustomDataController* c = FProvider->Controller();
  for (int i = 0; i < c->GetItemCount(); ++i) {
    auto* f = dynamic_cast<TuxDBDataField*>(c->Fields()->Items(i));
    if (!f || f->Field() != *Field) continue;
    bool done = false;
    c->FocusControl(i, done);
    if (done) *Field = nullptr;
    return;
  }
}

void TuxDBDataLink::LayoutChanged() {
  if (FProvider->FDestroying) return;
  TDataSet* ds = DataSet();
  if ((ds && ds->State() == dsInsert) || (FProvider->Controller()->IsSmartRefresh() && SuppressLayoutChange)) {
    FProvider->LinkDataSetChanged();
    return;
  }
  FProvider->LayoutChanged(3);
  ReopenedWhileDisabled = false;
}

void TuxDBDataLink::RecordChanged(TField* Field) {
  if (!FProvider->FDestroying) FProvider->RecordChanged(Field);
}

void TuxDBDataLink::UpdateData() {
  if (FProvider->FDestroying) return;
  FProvider->UpdateData();
  FProvider->RecordChanged(nullptr);
  FProvider->ResetChanging();
}

// ---------------------------------------------------------------------------
// Provider: life and the shared list

std::vector<TuxDBDataProvider*>& TuxDBDataProvider::Providers() {
  static std::vector<TuxDBDataProvider*> list;
  return list;
}

TuxDBDataProvider::TuxDBDataProvider(TuxCustomDataController* AController)
    : TuxCustomDataProvider(AController), FDataLink(std::make_unique<TuxDBDataLink>(this)) {
  Providers().push_back(this);
}

TuxDBDataProvider::~TuxDBDataProvider() {
  FDestroying = true;
  auto& list = Providers();
  for (TuxDBDataProvider* p : list) {
    auto& l = p->FListeners;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  FDataLink->SetDataSource(nullptr);
}

TuxDBDataController* TuxDBDataProvider::DBController() const {
  return static_cast<TuxDBDataController*>(FController);
}

void TuxDBDataProvider::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSource() != Value) FDataLink->SetDataSource(Value);
}

std::vector<TuxDBDataProvider*> TuxDBDataProvider::SiblingProviders() const {
  std::vector<TuxDBDataProvider*> r;
  TDataSet* ds = DataSet();
  if (!ds) return r;
  for (TuxDBDataProvider* p : Providers())
    if (!p->FDestroying && p->DataSet() == ds) r.push_back(p);
  return r;
}

void TuxDBDataProvider::AddListener(TuxDBDataProvider* Provider) {
  if (std::find(FListeners.begin(), FListeners.end(), Provider) == FListeners.end()) FListeners.push_back(Provider);
}

void TuxDBDataProvider::NotifyListeners() {
  if (FInNotifyListeners) return;
  FInNotifyListeners = true;
  TuxFinally clear([this] { FInNotifyListeners = false; });
  while (!FListeners.empty()) {
    TuxDBDataProvider* p = FListeners.back();
    FListeners.pop_back();
    p->FDataLink->NotifyDataSetChanged();
  }
}

// ---------------------------------------------------------------------------
// Provider: state

bool TuxDBDataProvider::IsGridMode() {
  TuxDBDataController* c = DBController();
  if (!c->DataModeController()) return false;
  TDataSet* ds = DataSet();
  return c->DataModeController()->GridMode() && !(ds && ds->IsUnidirectional()) && !LoadAllNeeded() &&
         !c->IsPattern();
}

bool TuxDBDataProvider::IsActive() {
  TDataSet* ds = DataSet();
  return ds && ds->State() != dsInactive;
}

bool TuxDBDataProvider::IsActiveDataSet() {
  TDataSet* ds = DataSet();
  return ds && ds->Active() && !ds->ControlsDisabled();
}

bool TuxDBDataProvider::IsDataSetFieldsReady() {
  TDataSet* ds = DataSet();
  return ds && ds->FieldCount() > 0 && (ds->Active() || !ds->DefaultFields());
}

bool TuxDBDataProvider::IsOtherInsert() {
  for (TuxDBDataProvider* p : SiblingProviders())
    if (p != this && p->FInInsertOrAppend) return true;
  return false;
}

bool TuxDBDataProvider::IsSyncMode() {
  TDataSet* ds = DataSet();
  TuxDBDataController* c = DBController();
  TuxDBDataModeController* m = c->DataModeController();
  if (!m) return false;
  const bool r = ds && ds->Active() && (IsGridMode() || m->SyncMode()) && !ds->IsUnidirectional();
  if (!c->IsDetailMode()) return r;
  if (!m->DetailSyncEnabled) return false;
  if (m->DetailInSQLMode()) return r && c->IsDataSetCurrent();
  if (!c->LocatesByKey()) return r && IsGridMode();
  return r;
}

bool TuxDBDataProvider::IsBOF() {
  TDataSet* ds = DataSet();
  return !FDataLink->Active() || !ds || ds->Bof();
}

bool TuxDBDataProvider::IsEOF() {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds || ds->Eof()) return true;
  TuxDBDataController* c = DBController();
  if (c->IsDetailMode() && !IsGridMode()) return c->IsDetailEOF();
  return false;
}

bool TuxDBDataProvider::IsEditing() {
  if (IsUnboundEditing()) return TuxCustomDataProvider::IsEditing();
  TDataSet* ds = DataSet();
  return ds && InEditState(ds);
}

bool TuxDBDataProvider::IsInserting() {
  TDataSet* ds = DataSet();
  return ds && ds->State() == dsInsert;
}

bool TuxDBDataProvider::CanModify() {
  TDataSet* ds = DataSet();
  return ds && ds->Active() && ds->CanModify() && IsSyncMode();
}

bool TuxDBDataProvider::CanDelete() { return CanModify() && !DataSet()->IsEmpty(); }

bool TuxDBDataProvider::InBufferSizeChange() const { return DBController()->InBufferSizeChange(); }

bool TuxDBDataProvider::IsDataSetModified() {
  TDataSet* ds = DataSet();
  bool r = false;
  if (ds && ds->Modified()) {
    if (FAssignedFields.IsEmpty()) {
      r = true;
    } else {
      for (int i = 0; i < ds->FieldCount() && !r; ++i) {
        TField* f = ds->Fields()->Fields(i);
        r = !FAssignedFields.IsAssigned(f) && !f->IsNull();
      }
    }
  }
  if (!r && FModified) {
    for (int i = 0; i < FController->GetItemCount() && !r; ++i) {
      TuxCustomDataField* field = FController->Fields()->Items(i);
      if (!field->IsUnboundField()) continue;
      Variant v;
      TuxCustomDataProvider::GetEditValue(FEditingRecordIndex, field, v, evsValue);
      r = !v.IsNull() && !v.IsEmpty();
    }
  }
  return r;
}

// ---------------------------------------------------------------------------
// Provider: navigation

void TuxDBDataProvider::First() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  FInFirst = true;
  TuxFinally clear([this] { FInFirst = false; });
  TuxDBDataController* c = DBController();
  if (c->IsDetailMode() && !c->MasterDetailKeyValues().IsEmpty()) {
    c->DetailFirst();
    return;
  }
  if (c->IsDetailMode() && !c->IsPattern() && c->HasMasterDetailKeyFields()) return;
  ds->First();
}

void TuxDBDataProvider::Prior() {
  if (TDataSet* ds = DataSet()) ds->Prior();
}

void TuxDBDataProvider::Next() {
  if (TDataSet* ds = DataSet()) ds->Next();
}

void TuxDBDataProvider::Last() {
  if (TDataSet* ds = DataSet()) ds->Last();
}

void TuxDBDataProvider::MoveBy(int Distance) {
  if (TDataSet* ds = DataSet()) ds->MoveBy(Distance);
}

void TuxDBDataProvider::Scroll(int Distance) {
  if (!IsGridMode() || Distance == 0 || !IsActiveDataSet()) return;
  if (Distance < 0)
    Distance -= FDataLink->ActiveRecord();
  else
    Distance += FDataLink->RecordCount() - FDataLink->ActiveRecord() - 1;
  DataSet()->MoveBy(Distance);
  FController->RefreshSelectionState();
  FController->SyncSelected();
}

void TuxDBDataProvider::SavePos() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  FSavePosInfo.Bookmark = ds->Bookmark();
  FSavePosInfo.ActiveRecord = FDataLink->Active() ? FDataLink->ActiveRecord() : 0;
  FSavePosInfo.Bof = ds->Bof();
  FSavePosInfo.Eof = ds->Eof();
}

void TuxDBDataProvider::RestorePos() {
  TDataSet* ds = DataSet();
  if (!ds || FSavePosInfo.Bookmark.empty() || !BookmarkValid(FSavePosInfo.Bookmark)) return;
  try {
    ds->SetBookmark(FSavePosInfo.Bookmark);
    const int saved = FSavePosInfo.ActiveRecord, now = FDataLink->ActiveRecord();
    if (saved < now) {
      const int n = FDataLink->BufferCount() - 1 - saved;
      ds->MoveBy(n);
      ds->MoveBy(-n);
    } else if (saved > now) {
      ds->MoveBy(-saved);
      ds->MoveBy(saved);
    }
    if (FSavePosInfo.Bof && !ds->Bof()) ds->Prior();
    if (FSavePosInfo.Eof && !ds->Eof()) ds->Next();
  } catch (const EDatabaseError&) {
    // The record went meanwhile: the data set stays where it is.
  }
}

bool TuxDBDataProvider::BookmarkValid(const TBookmarkStr& Bookmark) {
  TDataSet* ds = DataSet();
  BookmarkArg b(Bookmark);
  return ds && ds->BookmarkValid(b.Get());
}

int TuxDBDataProvider::CompareBookmarks(const TBookmarkStr& B1, const TBookmarkStr& B2) {
  TDataSet* ds = DataSet();
  if (!ds || !FDataLink->Active()) return -1;
  BookmarkArg a(B1), b(B2);
  return ds->CompareBookmarks(a.Get(), b.Get());
}

void TuxDBDataProvider::CurrentBookmarkValue(Variant& Value) {
  TDataSet* ds = DataSet();
  const TBookmarkStr b = ds ? ds->Bookmark() : TBookmarkStr();
  Int64 id = 0;
  if (b.size() != sizeof id) {
    Value = Null();
    return;
  }
  std::memcpy(&id, b.data(), sizeof id);
  Value = Variant(id);
}

TBookmarkStr TuxDBDataProvider::RecordBookmark(int RecordIndex) {
  TuxDBDataController* c = DBController();
  if (!c->BookmarkField() || RecordIndex < 0 || RecordIndex >= c->GetRecordCount()) return {};
  const Variant v = c->GetInternalValue(RecordIndex, c->BookmarkField());
  if (v.IsNull() || v.IsEmpty()) return {};
  const Int64 id = v.AsInt64();
  return TBookmarkStr(reinterpret_cast<const char*>(&id), sizeof id);
}

TBookmarkStr TuxDBDataProvider::BufferBookmark(int BufferIndex) {
  TDataSet* ds = DataSet();
  if (!ds || !IsGridMode() || !FDataLink->Active()) return {};
  const int saved = FDataLink->ActiveRecord();
  FDataLink->SetActiveRecord(BufferIndex);
  TuxFinally restore([this, saved] { FDataLink->SetActiveRecord(saved); });
  return ds->Bookmark();
}

int TuxDBDataProvider::FindRecordByCurrentBookmark() {
  TDataSet* ds = DataSet();
  TuxDBDataController* c = DBController();
  if (!ds || !c->BookmarkField()) return -1;
  const TBookmarkStr b = ds->Bookmark();
  if (b.empty()) return -1;
  if (FCurrentRecordIndex >= 0 && RecordBookmark(FCurrentRecordIndex) == b) return FCurrentRecordIndex;
  for (int r = 0; r < c->GetRecordCount(); ++r)
    if (RecordBookmark(r) == b) return r;
  return -1;
}

bool TuxDBDataProvider::GotoRecord(int RecordIndex) {
  TDataSet* ds = DataSet();
  TuxDBDataController* c = DBController();
  if (!ds || RecordIndex < 0 || RecordIndex >= c->GetRecordCount()) return false;
  const TBookmarkStr b = RecordBookmark(RecordIndex);
  if (!b.empty() && BookmarkValid(b)) {
    if (ds->Bookmark() != b) ds->SetBookmark(b);
    return true;
  }
  if (!c->KeyField()) return false;
  Variant key;
  c->GetRecordKeyValue(RecordIndex, key);
  return ds->Locate(c->KeyFieldNames(), key, TLocateOptions{});
}

// ---------------------------------------------------------------------------
// Provider: editing

bool TuxDBDataProvider::CanInitEditing(int ItemIndex) {
  if (IsUnboundEditing()) return TuxCustomDataProvider::CanInitEditing(ItemIndex);
  FInCanInitEditing = true;
  TuxFinally clear([this] { FInCanInitEditing = false; });
  const bool newItem = FController->GetNewItemRowFocused();
  bool ok;
  if (newItem && !IsInserting()) {
    Insert();
    ok = IsInserting();
  } else {
    ok = FDataLink->Edit();
  }
  if (ok) {
    SetChanging();
    if (newItem) FController->Change(dccUpdateRecord);
  }
  return ok;
}

void TuxDBDataProvider::Append() { InsertOrAppend(true); }

void TuxDBDataProvider::Insert() {
  FInInsert = true;
  TuxFinally clear([this] { FInInsert = false; });
  InsertOrAppend(false);
}

void TuxDBDataProvider::InsertOrAppend(bool AAppend) {
  TDataSet* ds = DataSet();
  if (!ds) return;
  FInInsertOrAppend = true;
  TuxFinally clear([this] { FInInsertOrAppend = false; });
  if (InEditState(ds)) {
    if (FController->IsSmartRefresh()) {
      ds->DisableControls();
      TuxFinally enable([ds] { ds->EnableControls(); });
      ds->CheckBrowseMode();
      UpdateAfterPost();
      ForgetUpdatingRecord();
      ResetEditing();
    } else {
      if (IsInserting()) DBController()->CheckBrowseMode();
      if (InEditState(ds)) FDataLink->UpdateRecord();
    }
  }
  if (AAppend)
    ds->Append();
  else
    ds->Insert();
}

void TuxDBDataProvider::Edit() {
  if (IsUnboundEditing()) {
    TuxCustomDataProvider::Edit();
    return;
  }
  if (TDataSet* ds = DataSet()) ds->Edit();
}

void TuxDBDataProvider::Post() {
  if (IsUnboundEditing()) {
    TuxCustomDataProvider::Post();
    return;
  }
  TDataSet* ds = DataSet();
  if (!ds) return;
  if (FController->IsSmartRefresh()) {
    ds->CheckBrowseMode();
    return;
  }
  TuxUpdateLock lock(FController);
  ds->CheckBrowseMode();
}

void TuxDBDataProvider::Cancel() {
  if (IsUnboundEditing()) {
    TuxCustomDataProvider::Cancel();
    return;
  }
  if (FController->IsSmartRefresh()) {
    // The controller's copy goes back first: the saved record, or no inserted record.
    TuxDBDataController* c = DBController();
    c->SetUnboundCopy(true);
    TuxFinally reset([c] { c->SetUnboundCopy(false); });
    TuxCustomDataProvider::Cancel();
    ForgetUpdatingRecord();
  }
  CancelDataSet();
}

void TuxDBDataProvider::CancelDataSet() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  ds->Cancel();
}

void TuxDBDataProvider::PostEditingData() {
  if (FDataLink->Active() && FDataLink->Editing())
    FDataLink->UpdateRecord();
  else
    TuxCustomDataProvider::PostEditingData();
}

void TuxDBDataProvider::ReadEditingRecord() {
  const int record = FEditingRecordIndex;
  if (record == uxNullEditingRecordIndex || IsGridMode() || !DataSet()) return;
  if (record >= 0 && record >= FController->GetRecordCount()) return;
  StoreUpdatingRecord();
  TuxValueDefDBReader reader;
  FController->DataStorage()->FillRecord(record, &reader);
  if (record >= 0) FController->DataChanged(dcRecordChanged, -1, record);
}

void TuxDBDataProvider::StoreUpdatingRecord() {
  if (!FController->IsSmartRefresh() || FEditingRecordIndex == uxNullEditingRecordIndex) return;
  FUpdatingRecordIndex = FEditingRecordIndex;
  FUpdatingRecordInserted = IsInserting();
}

void TuxDBDataProvider::ForgetUpdatingRecord() {
  FUpdatingRecordIndex = uxNullEditingRecordIndex;
  FUpdatingNewRecordIndex = -1;
  FUpdatingRecordInserted = false;
}

void TuxDBDataProvider::RecordRemoved(int RecordIndex) {
  if (RecordIndex < 0) return;
  auto follow = [RecordIndex](int& R, int None) {
    if (R == RecordIndex)
      R = None;
    else if (R > RecordIndex)
      --R;
  };
  if (FUpdatingRecordIndex != uxNullEditingRecordIndex) follow(FUpdatingRecordIndex, uxNullEditingRecordIndex);
  follow(FUpdatingNewRecordIndex, -1);
  follow(FPrevFocusedRecordIndex, -1);
}

void TuxDBDataProvider::UpdateAfterPost() {
  TuxDBDataController* c = DBController();
  TDataSet* ds = DataSet();
  TuxFinally after([this, c] {
    FPostLocate = false;
    c->FilterChanged();
  });
  int record = FUpdatingRecordIndex;
  if (record < 0 && FUpdatingNewRecordIndex >= 0) record = FUpdatingNewRecordIndex;
  if (!ds || record == uxNullEditingRecordIndex || record < 0 || record >= c->GetRecordCount()) return;
  Variant recordKey, dataSetKey;
  c->GetRecordKeyValue(record, recordKey);
  c->GetDataSetKeyValue(dataSetKey);
  std::vector<TuxCustomDataField*> keys;
  c->GetKeyFields(keys);
  const int existing = keys.empty() ? -1 : c->FindRecordIndexByDataSetKey();
  auto reread = [&] {
    TuxValueDefDBReader reader;
    c->DataStorage()->FillRecord(record, &reader);
    c->DataChanged(dcRecordChanged, -1, record);
  };
  if (uxVarEquals(recordKey, dataSetKey)) {
    reread();
  } else if (FUpdatingRecordInserted && recordKey.IsNull() && keys.size() == 1 &&
             static_cast<TuxDBDataField*>(keys[0])->Field() &&
             static_cast<TuxDBDataField*>(keys[0])->Field()->DataType() == ftAutoInc && existing == -1) {
    reread();
  } else if (existing == -1 || existing == record) {
    c->DeleteRecord(record);
    c->ResetFocusing();
  }
}

void TuxDBDataProvider::RecordChanged(TField* Field) {
  if (IsEditing() && !(FController->IsDetailMode() && IsSyncMode() && !DBController()->IsDataSetCurrent() &&
                       DBController()->DataModeController()->DetailInSQLMode()))
    ReadEditingRecord();
  ResetChanging();
}

void TuxDBDataProvider::GetEditValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value, int ValueSource) {
  Value = Null();
  TField* f = BoundField(Field);
  if (!f) {
    if (Field->IsUnboundField()) TuxCustomDataProvider::GetEditValue(RecordIndex, Field, Value, ValueSource);
    return;
  }
  if (ValueSource == evsText) {
    if (!f->IsNull() || f->OnGetText) Value = Variant(f->EditText());
  } else if (ValueSource == evsKey && f->Lookup() && !f->KeyFields.empty()) {
    Value = DataSet()->GetFieldValue(f->KeyFields);
  } else if (!f->IsNull()) {
    Value = f->AsVariant();
  }
}

bool TuxDBDataProvider::SetEditValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value,
                                     int ValueSource) {
  TField* f = BoundField(Field);
  if (!f) return Field->IsUnboundField() && TuxCustomDataProvider::SetEditValue(RecordIndex, Field, Value, ValueSource);
  if (ValueSource == evsText || f->OnSetText)
    f->SetEditText(VarToStrDef(Value, ""));
  else if (ValueSource == evsKey && f->Lookup())
    DataSet()->SetFieldValue(f->KeyFields, Value);
  else
    uxSetFieldValue(f, Value);
  return true;
}

void TuxDBDataProvider::AssignItemValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value) {
  TField* f = BoundField(Field);
  if (!f) {
    TuxCustomDataProvider::AssignItemValue(RecordIndex, Field, Value);
    return;
  }
  if (f->Lookup()) {
    DataSet()->SetFieldValue(f->KeyFields, Value);
    FAssignedFields.AddByNames(DataSet(), f->KeyFields);
  } else {
    f->SetAsVariant(Value);
    FAssignedFields.Add(f);
  }
}

void TuxDBDataProvider::DoInitInsertingRecord(int RecordIndex, const TuxDataSummaryValues& GroupValues) {
  if (FInInsertOrAppend || FInCanInitEditing || IsOtherInsert()) {
    FAssignedFields.Clear();
    TuxCustomDataProvider::DoInitInsertingRecord(RecordIndex, GroupValues);
    TuxDBDataController* c = DBController();
    if (c->GetOptions().Contains(dcoAssignMasterDetailKeys) && c->IsDetailMode()) c->AssignMasterDetailKeys();
    c->DoInsertingRecord(RecordIndex);
  }
  ReadEditingRecord();
}

void TuxDBDataProvider::StartControllerInsert() {
  if (FInStartInsert) return;
  FInStartInsert = true;
  TuxFinally clear([this] { FInStartInsert = false; });
  InsertingRecord(IsEOF() && !FInInsert);
}

// ---------------------------------------------------------------------------
// Provider: deleting

void TuxDBDataProvider::Delete() {
  TDataSet* ds = DataSet();
  const int row = FController->GetFocusedRowIndex();
  const int record = row == -1 ? -1 : FController->GetRowInfo(row).RecordIndex;
  if (!ds || record < 0) return;
  const TBookmarkStr target = RecordBookmark(record);
  if (FController->IsSmartRefresh()) FPrevFocusedRecordIndex = record;
  ds->DisableControls();
  {
    TuxFinally enable([this, ds] {
      FDataLink->SuppressLayoutChange = false;
      ds->EnableControls();
    });
    if (!IsGridMode() && ds->Bookmark() != target && !GotoRecord(record)) return;
    ds->Delete();
    FDataLink->SuppressLayoutChange = true;
  }
  if (FController->IsSmartRefresh()) {
    // Only the deleted record leaves the store.
    const int removed = FPrevFocusedRecordIndex;
    FPrevFocusedRecordIndex = -1;
    ForgetUpdatingRecord();
    if (removed >= 0 && removed < FController->GetRecordCount() && RecordBookmark(removed) == target &&
        !BookmarkValid(target))
      FController->DeleteRecord(removed);
    FController->ResetFocusing();
  }
  const int next = FController->RecordToFocusAfterDelete();
  if (next >= 0 && next < FController->GetRecordCount()) FController->ChangeFocusedRecordIndex(next);
}

void TuxDBDataProvider::DeleteRecords(std::vector<int>& List) {
  TDataSet* ds = DataSet();
  if (!ds || List.empty()) return;
  TuxDBDataController* c = DBController();
  // Every record is reached by the bookmark it was loaded with (in grid mode:
  // of its buffer row), so that records with equal or no keys are told apart.
  std::vector<TBookmarkStr> targets;
  std::vector<Variant> keys;
  for (int record : List) {
    targets.push_back(IsGridMode() ? BufferBookmark(record) : RecordBookmark(record));
    Variant key = Null();
    if (!IsGridMode() && c->KeyField()) c->GetRecordKeyValue(record, key);
    keys.push_back(key);
  }
  const bool selection = FController->DeletingSelection();
  const bool smart = FController->IsSmartRefresh();
  if (smart) FController->BeginUpdate();
  ds->DisableControls();
  TuxFinally done([this, ds, selection, c, smart, &List, &targets] {
    ds->EnableControls();
    if (smart) {
      // Only the records deleted leave the store.
      for (int i = static_cast<int>(List.size()) - 1; i >= 0; --i) {
        const int record = List[static_cast<std::size_t>(i)];
        const TBookmarkStr& b = targets[static_cast<std::size_t>(i)];
        if (record < FController->GetRecordCount() && !b.empty() && RecordBookmark(record) == b && !BookmarkValid(b))
          FController->DeleteRecord(record);
      }
      if (selection) FController->ClearSelection();
      FController->ResetFocusing();
      FController->EndUpdate();
    } else if (selection || !c->LocatesByKey()) {
      FController->ClearSelection();
    }
  });
  for (int i = static_cast<int>(targets.size()) - 1; i >= 0; --i) {
    const TBookmarkStr& b = targets[static_cast<std::size_t>(i)];
    bool found = false;
    if (!b.empty() && BookmarkValid(b)) {
      ds->SetBookmark(b);
      found = true;
    } else if (!keys[static_cast<std::size_t>(i)].IsNull()) {
      found = ds->Locate(c->KeyFieldNames(), keys[static_cast<std::size_t>(i)], TLocateOptions{});
    }
    if (found) ds->Delete();
  }
}

void TuxDBDataProvider::DeleteSelection() {
  if (!IsGridMode()) {
    TuxCustomDataProvider::DeleteSelection();
    return;
  }
  TDataSet* ds = DataSet();
  auto* selection = dynamic_cast<TuxDBDataSelection*>(FController->DataControllerInfo()->Selection());
  if (!ds || !selection) return;
  ds->DisableControls();
  TuxFinally enable([ds] { ds->EnableControls(); });
  for (int i = selection->BookmarkCount() - 1; i >= 0; --i) {
    ds->SetBookmark(selection->Bookmark(i));
    ds->Delete();
    selection->DeleteEntry(i);
  }
}

// ---------------------------------------------------------------------------
// Provider: values

void TuxDBDataProvider::GetValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value) {
  Value = Null();
  TField* f = BoundField(Field);
  if (!f) return;
  if (FDataLink->Active() && RecordIndex >= 0 && RecordIndex < FDataLink->RecordCount()) {
    const int saved = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(RecordIndex);
    TuxFinally restore([this, saved] { FDataLink->SetActiveRecord(saved); });
    if (!f->IsNull()) Value = f->AsVariant();
  } else if (IsInserting() || FIncrementalSearching) {
    if (!f->IsNull()) Value = f->AsVariant();
  }
}

void TuxDBDataProvider::GetDisplayText(int RecordIndex, TuxCustomDataField* Field, AnsiString& Text) {
  Text.clear();
  TField* f = BoundField(Field);
  if (!f) return;
  if (FDataLink->Active() && RecordIndex >= 0 && RecordIndex < FDataLink->RecordCount()) {
    const int saved = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(RecordIndex);
    TuxFinally restore([this, saved] { FDataLink->SetActiveRecord(saved); });
    Text = f->DisplayText();
  } else if (IsInserting() || FIncrementalSearching) {
    Text = f->DisplayText();
  }
}

int TuxDBDataProvider::GetFocusedRecordIndex() {
  if (IsInserting()) {
    if (!FInGridModeBufferReload && FEditingRecordIndex != uxNullEditingRecordIndex) return FEditingRecordIndex;
    if (FInGridModeBufferReload && FController->GetNewItemRowFocused()) return FController->GetNewItemRecordIndex();
  }
  return FCurrentRecordIndex;
}

// ---------------------------------------------------------------------------
// Provider: loading and the grid-mode buffer

int TuxDBDataProvider::BufferCountWanted() {
  const int n = DBController()->DataModeController()->GridModeBufferCount();
  return n > 0 ? n : DBController()->GetDefaultGridModeBufferCount();
}

void TuxDBDataProvider::LoadRecords() {
  if (!FDataLink->Active() || !IsGridMode()) return;
  FDataLink->SetBufferCount(BufferCountWanted());
  TuxDataStorage* store = FController->DataStorage();
  store->SetRecordCount(0);
  store->SetRecordCount(FDataLink->RecordCount());
  FCurrentRecordIndex = FDataLink->ActiveRecord();
}

void TuxDBDataProvider::UpdateGridModeBuffer() {
  if (!FDataLink->Active() || !IsGridMode()) return;
  TuxDBDataController* c = DBController();
  const int count = c->GetRecordCount();
  FDataLink->SetBufferCount(BufferCountWanted());
  FCurrentRecordIndex = FDataLink->ActiveRecord();
  if (count != FDataLink->RecordCount() || IsInserting()) {
    FController->DataChanged(dcDataChanged, -1, -1);
    if (c->InBufferSizeChange() && InEditState(DataSet()) && !FDataLink->ReadOnly()) FDataLink->NotifyEditingChanged();
  } else {
    if (!IsInserting()) FController->DataChanged(dcRecordChanged, -1, -1);
    FController->ResetFocusing();
  }
}

// ---------------------------------------------------------------------------
// Provider: locks

void TuxDBDataProvider::BeginLocate() {
  TuxCustomDataProvider::BeginLocate();
  TDataSet* ds = DataSet();
  if (!ds || !InEditState(ds)) return;
  for (TuxDBDataProvider* p : SiblingProviders())
    if (!p->FController->IsPattern()) p->FPostLocate = true;
}

void TuxDBDataProvider::Freeze() {
  TuxCustomDataProvider::Freeze();
  TDataSet* ds = DataSet();
  if (!ds) return;
  ds->DisableControls();
  if (ds->Active() && InEditState(ds)) {
    TuxFinally undo([this, ds] {
      if (std::uncaught_exceptions() > 0) {
        ds->EnableControls();
        TuxCustomDataProvider::Unfreeze();
      }
    });
    for (TuxDBDataProvider* p : SiblingProviders())
      if (!p->FController->IsPattern()) p->FPostLocate = true;
    ds->Cancel();
  }
}

void TuxDBDataProvider::Unfreeze() {
  TuxFinally base([this] { TuxCustomDataProvider::Unfreeze(); });
  if (TDataSet* ds = DataSet()) ds->EnableControls();
}

// ---------------------------------------------------------------------------
// Provider: notifications

bool TuxDBDataProvider::HeldByOther(bool& Listen) {
  Listen = false;
  TuxDBDataController* c = DBController();
  for (TuxDBDataProvider* p : SiblingProviders()) {
    if (p == this) continue;
    if (p->LockCount() > 0 || (p->LocateCount() > 0 && c->LocatesByKey())) {
      if (p->FController->LocateCount() == 0) p->AddListener(this);
      return true;
    }
  }
  return false;
}

void TuxDBDataProvider::LinkDataSetChanged() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  if (FDataLink->ReopenedWhileDisabled) {
    LayoutChanged(3);
    FDataLink->ReopenedWhileDisabled = false;
    return;
  }
  bool listen = false;
  if (HeldByOther(listen)) return;
  TuxDBDataController* c = DBController();
  if (c->IgnoresDataSetChange()) return;
  const bool gridMode = IsGridMode();
  for (TuxDBDataProvider* p : SiblingProviders()) {
    const bool locating = p->LocateCount() > 0 && (c->LocatesByKey() || gridMode);
    if (!(p->FInNotifyListeners || p->LockCount() > 0 || locating)) continue;
    if (!(FPostLocate || (!p->FInNotifyListeners && gridMode && LocateCount() > 0))) {
      DataScrolled(0);
      return;
    }
    break;
  }
  if (gridMode) {
    FInGridModeBufferReload = true;
    TuxFinally clear([this] { FInGridModeBufferReload = false; });
    {
      TuxUpdateLock lock(FController);
      UpdateGridModeBuffer();
      if (!FController->IsSingleSelection())
        if (auto* selection = dynamic_cast<TuxDBDataSelection*>(FController->DataControllerInfo()->Selection()))
          selection->RemoveInvalid();
      c->CheckStoredFocus(-1);
      if (IsInserting() && !FInserting) StartControllerInsert();
    }
    return;
  }
  if (!InEditState(ds)) {
    if (FController->IsSmartRefresh()) {
      UpdateAfterPost();
      DataScrolled(0);
    } else {
      DataChanged(dcDataChanged, -1, -1);
    }
    ForgetUpdatingRecord();
  } else if (ds->State() == dsInsert && !FInserting && (!c->IsDetailMode() || c->IsDataSetCurrent()) &&
             !c->IsPattern() && c->DataModeController()->InsertSyncEnabled && IsSyncMode()) {
    StartControllerInsert();
  }
}

void TuxDBDataProvider::LinkEditingChanged() {
  if (!IsSyncMode()) return;
  TuxFinally clear([this] { FActivatedWhileInserting = false; });
  TDataSet* ds = DataSet();
  TuxDBDataController* c = DBController();
  if (FDataLink->Active() && ds->State() == dsEdit) {
    c->SetUnboundCopy(true);
    TuxFinally reset([c] { c->SetUnboundCopy(false); });
    if (!FInserting) BeginEditing();
    StoreUpdatingRecord();
  } else if (FDataLink->Active() && ds->State() == dsInsert && !ds->ControlsDisabled()) {
    if ((FActivatedWhileInserting || c->InBufferSizeChange()) && IsGridMode() && !FInInsertOrAppend)
      StartControllerInsert();
  } else {
    if (FController->IsSmartRefresh() && FUpdatingRecordInserted && FEditingRecordIndex != uxNullEditingRecordIndex &&
        FEditingRecordIndex < 0 && FEditingRecordIndex == FController->GetNewItemRecordIndex()) {
      // The new item row's record becomes a record of the store.
      c->SetUnboundCopy(true);
      TuxFinally reset([c] { c->SetUnboundCopy(false); });
      FUpdatingNewRecordIndex = FController->DataStorage()->AddRecord();
      FController->CopyRecord(FEditingRecordIndex, FUpdatingNewRecordIndex);
    }
    ResetEditing();
  }
}

void TuxDBDataProvider::ActiveChanged(bool Active) {
  TuxCustomDataProvider::ActiveChanged(Active);
  TDataSet* ds = DataSet();
  if (ds && !ds->Active() && ds->DefaultFields()) DBController()->UnbindDataSetFields();
  if (!Active && FController->GetRecordCount() > 0) {
    // A closed data set shows no records.
    TuxUpdateLock lock(FController);
    FController->LoadStorage();
    FController->Refresh();
  }
}

void TuxDBDataProvider::DataScrolled(int Distance) {
  TuxDBDataController* c = DBController();
  if (IsGridMode()) {
    FCurrentRecordIndex = FDataLink->ActiveRecord();
    {
      TuxInfoUpdateLock lock(FController);
      if (Distance != 0) c->DoGridModeFocus();
    }
    TuxCustomDataProvider::DataScrolled(Distance);
    if (FController->LocateCount() == 0) FController->ResetFocusing();
    if (DataSet() && DataSet()->IsSequenced()) c->UpdateScrollBars();
    return;
  }
  // Loading mode: the record the data set stands on becomes the focused one,
  // unless the controller is moving the data set itself.
  const int record = FindRecordByCurrentBookmark();
  if (record != -1) FCurrentRecordIndex = record;
  if (FController->LocateCount() == 0 && LocateCount() == 0 && IsSyncMode() && record != -1 &&
      record != FController->GetFocusedRecordIndex() && !IsInserting())
    FController->ResetFocusing();
  ResetChanging();
}

void TuxDBDataProvider::LayoutChanged(int Kind) {
  for (TuxDBDataProvider* p : SiblingProviders())
    if (p->LockCount() > 0 && FController->IsDetailMode()) {
      if (IsActiveDataSet()) FController->UpdateFields();
      return;
    }
  TuxCustomDataProvider::LayoutChanged(Kind);
}

// ---------------------------------------------------------------------------
// Provider: grid-mode incremental search

bool TuxDBDataProvider::SearchDataSet(int ItemIndex, bool Forward, bool FindNext) {
  TDataSet* ds = DataSet();
  if (IsEditing() || !ds || !ds->Active() || ds->IsEmpty()) return false;
  TuxCustomDataField* field = FController->GetItemField(ItemIndex);
  TField* f = BoundField(field);
  if (!f) return false;
  const AnsiString text = FController->SearchText();
  auto matches = [&] { return uxTextMatches(f->DisplayText(), text, true); };
  bool found = false;
  FIncrementalSearching = true;
  TuxFinally clear([this] { FIncrementalSearching = false; });
  if (!FindNext && matches()) {
    FController->ResetFocusing();
    found = true;
  } else {
    Freeze();
    TuxFinally unfreeze([this] { Unfreeze(); });
    SavePos();
    const TBookmarkStr start = ds->Bookmark();
    bool wrapped = false;
    while (true) {
      if (Forward) ds->Next(); else ds->Prior();
      if (Forward ? ds->Eof() : ds->Bof()) {
        if (FindNext || wrapped) break;
        wrapped = true;
        if (Forward) ds->First(); else ds->Last();
      }
      if (wrapped && ds->Bookmark() == start) break;
      if (matches()) {
        found = true;
        break;
      }
    }
    if (!found) RestorePos();
  }
  if (found) {
    FController->RefreshSelectionState();
    FController->Change(dccFocus);
  }
  FController->AfterLocate();
  return found;
}
