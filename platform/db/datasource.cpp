#include <algorithm>

#include "platform/db/db.h"
#include "platform/db/dbconsts.h"
#include "platform/db/hooks.h"

namespace {
bool InEditModes(TDataSetState s) { return s == dsEdit || s == dsInsert || s == dsSetKey; }

// A blob field's value as a memory stream. Written data reaches the field
// when the stream is freed, as long as the record is still being edited.
class TBlobFieldStream : public TMemoryStream {
 public:
  TBlobFieldStream(TBlobField* Field, TBlobStreamMode Mode) : FField(Field), FMode(Mode) {
    TDataSet* ds = Field->DataSet();
    if (Mode != bmRead) {
      if (Field->ReadOnly()) DatabaseErrorFmt(SFieldReadOnly, {Field->DisplayName()}, ds);
      if (ds->State() != dsEdit && ds->State() != dsInsert) DatabaseError(SNotEditing, ds);
      FEditState = ds->State();
    }
    if (Mode != bmWrite) {
      AnsiString v = Field->BlobValue();
      if (!v.empty()) TMemoryStream::Write(v.data(), static_cast<LongInt>(v.size()));
      Seek(0, soBeginning);
    } else {
      FModified = true;  // opening for writing empties the value
    }
  }
  ~TBlobFieldStream() override {
    try {
      Commit();
    } catch (...) {
      // A destructor cannot report (CommitBlobStream can); the field keeps its previous value.
    }
  }
  // Gives the field what was written, once.
  void Commit() {
    if (!FModified) return;
    FModified = false;
    TDataSet* ds = FField->DataSet();
    if (!ds || ds->State() != FEditState) return;
    FField->SetBlobValue(AnsiString(static_cast<const char*>(Memory()), static_cast<size_t>(Size())));
  }
  LongInt Write(const void* Buffer, LongInt Count) override {
    if (FMode == bmRead) throw EDatabaseError(SNotBlobEditing);
    FModified = true;
    return TMemoryStream::Write(Buffer, Count);
  }
  void SetSize(Int64 NewSize) override {
    if (FMode == bmRead) throw EDatabaseError(SNotBlobEditing);
    FModified = true;
    TMemoryStream::SetSize(NewSize);
  }

 private:
  TBlobField* FField;
  TBlobStreamMode FMode;
  TDataSetState FEditState = dsInactive;
  bool FModified = false;
};
}  // namespace

FocusFieldControlHook& FieldControlFocusHook() {
  static FocusFieldControlHook hook = nullptr;
  return hook;
}

TStream* TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  CheckActive();
  auto* blob = dynamic_cast<TBlobField*>(Field);
  if (!blob || Field->DataSet() != this) DatabaseErrorFmt(SFieldAccessError, {Field ? Field->DisplayName() : "", "Blob"}, this);
  return new TBlobFieldStream(blob, Mode);
}

void TDataSet::CommitBlobStream(TStream* Stream) {
  if (auto* blob = dynamic_cast<TBlobFieldStream*>(Stream)) blob->Commit();
}

// ---------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  OnStateChange = nullptr;
  OnDataChange = nullptr;
  OnUpdateData = nullptr;
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) RemoveDataLink(FDataLinks.back());
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (IsLinkedTo(Value)) DatabaseError(SCircularDataLink, this);
  if (FDataSet) FDataSet->RemoveDataSource(this);
  if (Value) Value->AddDataSource(this);
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const {
  // Datasets here have no master source, so no dataset can be a detail of this one.
  (void)DataSet;
  return false;
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  if (FEnabled && FDataSet) SetState(FDataSet->State());
  else SetState(dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
  if (FState == Value) return;
  TDataSetState prior = FState;
  FState = Value;
  NotifyDataLinks(deUpdateState, 0);
  if (!ComponentState().Contains(csDestroying)) {
    if (OnStateChange) OnStateChange(this);
    if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
  }
}

void TDataSource::NotifyDataLinks(TDataEvent Event, NativeInt Info) {
  // Links of other datasets first, then those of visual controls; each group
  // from the last attached to the first.
  std::vector<TDataLink*> links = FDataLinks;
  auto still = [this](TDataLink* l) { return std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end(); };
  for (int pass = 0; pass < 2; ++pass) {
    const bool visual = pass == 1;
    for (auto it = links.rbegin(); it != links.rend(); ++it)
      if ((*it)->VisualControl() == visual && still(*it)) (*it)->DataEvent(Event, Info);
  }
}

void TDataSource::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive && Event != deDisabledStateChange) return;
  NotifyDataLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
      if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddDataLink(TDataLink* Link) {
  FDataLinks.push_back(Link);
  Link->FDataSource = this;
  if (FDataSet) FDataSet->UpdateBufferCount();
  Link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  Link->FDataSource = nullptr;
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
  Link->UpdateState();
  if (FDataSet) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------------------
// TDataLink

TDataLink::~TDataLink() {
  if (FDataSource) FDataSource->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveDataLink(this);
  if (Value) Value->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FBufferCount) return;
  FBufferCount = Value;
  if (FActive) {
    DataSet()->UpdateBufferCount();
    UpdateRange();
  }
}

void TDataLink::UpdateRange() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  int min = ds->FActiveRecord - FBufferCount + 1;
  if (min < 0) min = 0;
  int max = ds->FBufferCount - FBufferCount;
  if (max < 0) max = 0;
  if (max > ds->FActiveRecord) max = ds->FActiveRecord;
  if (FFirstRecord < min) FFirstRecord = min;
  if (FFirstRecord > max) FFirstRecord = max;
}

int TDataLink::ActiveRecord() const {
  if (!FDataSource || FDataSource->State() == dsSetKey || !DataSet()) return 0;
  return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  if (!FDataSource || FDataSource->State() == dsSetKey || !DataSet()) return;
  DataSet()->SetActiveRecordIndex(Value + FFirstRecord);
}

int TDataLink::RecordCount() const {
  if (!FDataSource || !DataSet()) return 0;
  if (FDataSource->State() == dsSetKey) return 1;
  int n = DataSet()->FRecordCount - FFirstRecord;
  if (n > FBufferCount) n = FBufferCount;
  return n < 0 ? 0 : n;
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

bool TDataLink::Eof() const { return DataSet() ? DataSet()->Eof() : true; }
bool TDataLink::Bof() const { return DataSet() ? DataSet()->Bof() : true; }
int TDataLink::MoveBy(int Distance) { return DataSet() ? DataSet()->MoveBy(Distance) : 0; }

void TDataLink::UpdateState() {
  SetActive(FDataSource && FDataSource->State() != dsInactive);
  SetEditing(FDataSource && InEditModes(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value) UpdateRange();
  else FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      int count = 0;
      if (FDataSource->State() != dsSetKey) {
        // The window of this link follows the dataset's buffers: Info is how far
        // they moved; the window then moves as little as keeps the current record in it.
        TDataSet* ds = DataSet();
        int active = ds->FActiveRecord;
        int first = FFirstRecord + static_cast<int>(Info);
        int last = first + FBufferCount - 1;
        if (active > last) count = active - last;
        else if (active < first) count = active - first;
        FFirstRecord = first + count;
        if (FFirstRecord < 0) FFirstRecord = 0;
      }
      if (Event == deDataSetChange) DataSetChanged();
      else if (Event == deDataSetScroll) DataSetScrolled(count);
      else LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TField**>(Info));
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// TFieldDataLink

void TFieldDataLink::SetFieldName(const AnsiString& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  UpdateField();
}

void TFieldDataLink::UpdateField() {
  if (Active() && !FFieldName.empty()) {
    FField = nullptr;
    SetField(DataSet()->FieldByName(FFieldName));
  } else {
    SetField(nullptr);
  }
}

void TFieldDataLink::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return FEditing;
}

void TFieldDataLink::Modified() { FModified = true; }

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  bool editing = TDataLink::Editing() && CanModify();
  if (FEditing != editing) {
    FEditing = editing;
    FModified = false;
    if (OnEditingChange) OnEditingChange(this);
  }
}

void TFieldDataLink::FocusControl(TField** Field) {
  if (Field && *Field && *Field == FField && FControl) {
    FocusFieldControlHook hook = FieldControlFocusHook();
    if (hook && hook(FControl)) *Field = nullptr;
  }
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  // Closed while controls are disabled: its fields may be gone until the
  // layout change that EnableControls sends, so the link lets go of its field.
  if (Event == deDisabledStateChange && Info == 0) FField = nullptr;
  TDataLink::DataEvent(Event, Info);
}

void TFieldDataLink::RecordChanged(TField* Field) {
  if (!Field || Field == FField) {
    if (OnDataChange) OnDataChange(this);
    FModified = false;
  }
}

void TFieldDataLink::UpdateData() {
  if (FModified) {
    if (FField && OnUpdateData) OnUpdateData(this);
    FModified = false;
  }
}
