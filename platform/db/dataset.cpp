#include <algorithm>
#include <cstring>

#include "platform/db/db.h"
#include "platform/db/dbconsts.h"
#include "platform/db/filter.h"
#include "platform/db/rowcodec.h"
#include "platform/rtl/strings.h"

using pvdb::Cell;

void DatabaseError(const AnsiString& Message, const TComponent* Component) {
  if (Component && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const AnsiString& Fmt, TVarRecList Args, const TComponent* Component) {
  DatabaseError(Format(Fmt, Args), Component);
}

AnsiString ExtractFieldName(const AnsiString& Fields, int& Pos) {
  if (Pos < 1) Pos = 1;
  const int n = Length(Fields);
  int i = Pos;
  // A ';' is never the trail byte of a double-byte character.
  while (i <= n && Fields[static_cast<size_t>(i - 1)] != ';') ++i;
  AnsiString name = Trim(Copy(Fields, Pos, i - Pos));
  if (i <= n) ++i;
  Pos = i;
  return name;
}

namespace {
bool IsEditState(TDataSetState s) { return s == dsEdit || s == dsInsert; }

// Splits "a;b; c" into names, dropping blanks around them.
std::vector<AnsiString> SplitNames(const AnsiString& names) {
  std::vector<AnsiString> out;
  size_t st = 0;
  while (st <= names.size()) {
    size_t e = names.find(';', st);
    if (e == AnsiString::npos) e = names.size();
    AnsiString n = Trim(names.substr(st, e - st));
    if (!n.empty()) out.push_back(n);
    st = e + 1;
  }
  return out;
}

bool IsTextType(TFieldType t) {
  return t == ftString || t == ftFixedChar || t == ftWideString || t == ftMemo || t == ftFmtMemo || t == ftGuid;
}
}  // namespace

// ---------------------------------------------------------------------------
// TDataSet: life cycle

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFieldDefs(std::make_unique<TFieldDefs>()), FFields(std::make_unique<TFields>(this)) {}

TDataSet::~TDataSet() {
  Destroying();
  try {
    SetActive(false);
  } catch (...) {
  }
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  DestroyFields();
  // Fields owned elsewhere outlive us; they forget this dataset.
  for (TField* f : std::vector<TField*>(FFields->FList)) f->FDataSet = nullptr;
  FFields->Clear();
}

void TDataSet::CheckActive() const {
  if (FState == dsInactive) Error(SDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (FState != dsInactive) Error(SDataSetOpen);
}

void TDataSet::Error(const AnsiString& Message) const { DatabaseError(Message, this); }

void TDataSet::SetState(TDataSetState Value) {
  if (FState != Value) {
    FState = Value;
    FModified = false;
    ++FChangeCount;
    DataEvent(deUpdateState, 0);
  }
}

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = Value;
    return;
  }
  if (Value == Active()) return;
  if (Value) {
    if (BeforeOpen) BeforeOpen(this);
    try {
      OpenCursor();
    } catch (...) {
      CloseCursor();
      throw;
    }
    SetState(dsBrowse);
    if (AfterOpen) AfterOpen(this);
    if (!IsEmpty()) DoAfterScroll();
  } else {
    bool destroying = ComponentState().Contains(csDestroying);
    if (!destroying && BeforeClose) BeforeClose(this);
    SetState(dsInactive);
    CloseCursor();
    if (!destroying && AfterClose) AfterClose(this);
  }
}

void TDataSet::OpenCursor() {
  FRows.clear();
  FFieldDefs->Clear();
  InternalOpen();
  RowsChanged();
  FDefaultFields = FFields->Count() == 0;
  if (FDefaultFields) CreateFields();
  BindFields(true);
  FFilterExpr.reset();
  if (FFiltered) CompileFilter();
  RebuildView();
  UpdateBufferCount();
  FillBuffersAround(0, 0);
  FBOF = true;
  FEOF = FView.empty();
}

void TDataSet::CloseCursor() {
  FEditValues.clear();
  FEditRow = -1;
  FEditBuffer = -1;
  FBuffers.clear();
  FRecordCount = 0;
  FActiveRecord = 0;
  FView.clear();
  FRows.clear();
  FArena.Clear();
  RowsChanged();
  FFilterExpr.reset();
  try {
    InternalClose();
  } catch (...) {
  }
  BindFields(false);
  if (FDefaultFields) DestroyFields();
  FDefaultFields = false;
}

void TDataSet::CreateFields() {
  for (int k = 0; k < FFieldDefs->Count(); ++k) {
    TFieldDef* d = FFieldDefs->Items(k);
    TClass cls = FieldClassOf(d->DataType);
    if (!cls) continue;
    TObject* obj = CreateObject(cls, this);
    TField* f = static_cast<TField*>(obj);
    f->FFieldName = d->Name;
    f->FDataType = d->DataType;
    f->FSize = d->Size;
    f->FRequired = d->Required;
    if (d->ReadOnly) f->FReadOnly = true;
    f->SetDataSet(this);
  }
}

void TDataSet::DestroyFields() {
  std::vector<TField*> owned;
  for (TField* f : FFields->FList)
    if (f->Owner() == this) owned.push_back(f);
  for (TField* f : owned) {
    FFields->Remove(f);
    f->FDataSet = nullptr;
    delete f;
  }
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldCount = 0;
  for (TField* f : FFields->FList) {
    if (f->FFieldKind == fkData) {
      if (Binding) {
        int i = FFieldDefs->IndexOf(f->FFieldName);
        if (i < 0) DatabaseErrorFmt(SFieldNotFound, {f->FFieldName}, this);
        TFieldDef* d = FFieldDefs->Items(i);
        f->FFieldNo = d->FieldNo;
        if (f->FDataType == ftUnknown) f->FDataType = d->DataType;
      } else {
        f->FFieldNo = 0;
      }
      f->FCalcIndex = -1;
    } else {
      f->FFieldNo = -1;
      f->FCalcIndex = Binding ? FCalcFieldCount++ : -1;
      if (Binding && f->FFieldKind == fkLookup &&
          (!f->FLookupDataSet || f->KeyFields.empty() || f->LookupKeyFields.empty() || f->LookupResultField.empty()))
        DatabaseErrorFmt(SLookupInfoError, {f->DisplayName()}, this);
    }
  }
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    for (TField* f : FFields->FList)
      if (f->FLookupDataSet == AComponent) f->FLookupDataSet = nullptr;
  }
}

bool TDataSet::CanModify() const { return !FReadOnly && ProviderCanModify(); }

void TDataSet::SetReadOnly(bool Value) { FReadOnly = Value; }

// ---------------------------------------------------------------------------
// Events to data sources

void TDataSet::NotifySources(TDataEvent Event, NativeInt Info) {
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* s : sources)
    if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end()) s->DataEvent(Event, Info);
}

void TDataSet::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deFieldChange || Event == deRecordChange || Event == deLayoutChange ||
      (Event == deDataSetChange && FCalcFieldCount > 0))
    ++FChangeCount;
  if (Event == deFieldChange) {
    TField* f = reinterpret_cast<TField*>(Info);
    if (f->FFieldKind == fkData || f->FFieldKind == fkInternalCalc) FModified = true;
    if (AutoCalcFields && FCalcFieldCount > 0 && IsEditState(FState) && FEditBuffer >= 0 &&
        FEditBuffer < static_cast<int>(FBuffers.size()))
      CalculateFields(FEditBuffer);
  }
  if (FDisableCount == 0) {
    NotifySources(Event, Info);
  } else {
    if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) FEnableEvent = deLayoutChange;
    if (Event == deUpdateState) {
      // Links that wait for EnableControls still hear whether the dataset is open.
      bool activeNow = FState != dsInactive;
      if (activeNow != FDisabledActive) {
        FDisabledActive = activeNow;
        NotifySources(deDisabledStateChange, activeNow ? 1 : 0);
      }
    }
  }
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FDisabledActive = FState != dsInactive;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount == 0) {
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
  }
}

bool TDataSet::IsLinkedTo(TDataSource* DataSource) const {
  return DataSource && DataSource->DataSet() == this;
}

void TDataSet::AddDataSource(TDataSource* Source) {
  FDataSources.push_back(Source);
  Source->FDataSet = this;
  UpdateBufferCount();
  Source->UpdateState();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  Source->FDataSet = nullptr;
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
  Source->UpdateState();
  UpdateBufferCount();
}

// ---------------------------------------------------------------------------
// Buffers

void TDataSet::UpdateBufferCount() {
  int count = 1;
  for (TDataSource* s : FDataSources)
    for (TDataLink* l : s->FDataLinks) count = std::max(count, l->BufferCount());
  if (count == FBufferCount) return;
  FBufferCount = count;
  if (FState == dsBrowse && FRecordCount > 0) {
    int pos = CurrentPos();
    FillBuffersAround(pos, std::min(FActiveRecord, FBufferCount - 1));
    for (TDataSource* s : FDataSources)
      for (TDataLink* l : s->FDataLinks)
        if (l->Active()) l->UpdateRange();
  }
}

void TDataSet::SetActiveRecordIndex(int Value) {
  if (Value >= 0 && Value < FRecordCount) FActiveRecord = Value;
}

void TDataSet::ClearBuffers() {
  FBuffers.clear();
  FRecordCount = 0;
  FActiveRecord = 0;
}

void TDataSet::FillBuffersAround(int Pos, int PreferredIndex) {
  ClearBuffers();
  const int n = static_cast<int>(FView.size());
  if (n == 0) return;
  Pos = std::clamp(Pos, 0, n - 1);
  PreferredIndex = std::clamp(PreferredIndex, 0, FBufferCount - 1);
  int before = std::min(PreferredIndex, Pos);
  int after = std::min(FBufferCount - 1 - before, n - 1 - Pos);
  before = std::min(Pos, FBufferCount - 1 - after);
  const int start = Pos - before;
  FBuffers.resize(before + 1 + after);
  for (int k = 0; k < static_cast<int>(FBuffers.size()); ++k) {
    FBuffers[k].Pos = start + k;
    if (FCalcFieldCount) CalculateFields(k);
  }
  FRecordCount = static_cast<int>(FBuffers.size());
  FActiveRecord = before;
}

// 0: no next record; 1: added after the last buffer; 2: the window moved on.
int TDataSet::GetNextRecord() {
  int next = FRecordCount > 0 ? FBuffers[FRecordCount - 1].Pos + 1 : 0;
  if (next < 0 || next >= static_cast<int>(FView.size())) return 0;
  Buffer b;
  b.Pos = next;
  int result = 1;
  if (FRecordCount < FBufferCount) {
    FBuffers.push_back(std::move(b));
    ++FRecordCount;
  } else {
    FBuffers.pop_front();
    FBuffers.push_back(std::move(b));
    result = 2;
  }
  if (FCalcFieldCount) CalculateFields(static_cast<int>(FBuffers.size()) - 1);
  return result;
}

bool TDataSet::GetPriorRecord() {
  int prior = FRecordCount > 0 ? FBuffers[0].Pos - 1 : -1;
  if (prior < 0) return false;
  Buffer b;
  b.Pos = prior;
  if (FRecordCount >= FBufferCount) FBuffers.pop_back();
  else ++FRecordCount;
  FBuffers.push_front(std::move(b));
  if (FCalcFieldCount) CalculateFields(0);
  return true;
}

void TDataSet::Resync(int Pos, int PreferredIndex) {
  FillBuffersAround(Pos, PreferredIndex);
  FBOF = FEOF = FView.empty();
  DataEvent(deDataSetChange, 0);
}

int TDataSet::CurrentPos() const {
  if (FRecordCount == 0 || FActiveRecord >= FRecordCount) return -1;
  return FBuffers[FActiveRecord].Pos;
}

int TDataSet::CurrentRowIndex() const {
  int pos = CurrentPos();
  return pos >= 0 ? FView[pos] : -1;
}

// ---------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  FillBuffersAround(0, 0);
  FBOF = true;
  FEOF = FView.empty();
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  FillBuffersAround(static_cast<int>(FView.size()) - 1, FBufferCount - 1);
  FEOF = true;
  FBOF = FView.empty();
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int result = 0;
  DoBeforeScroll();
  if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
    FBOF = false;
    FEOF = false;
    int scroll = 0;
    while (Distance > 0) {
      if (FActiveRecord < FRecordCount - 1) {
        ++FActiveRecord;
      } else {
        int r = GetNextRecord();
        if (r == 0) {
          FEOF = true;
          break;
        }
        if (r == 2) --scroll;
        else ++FActiveRecord;
      }
      --Distance;
      ++result;
    }
    while (Distance < 0) {
      if (FActiveRecord > 0) {
        --FActiveRecord;
      } else {
        if (!GetPriorRecord()) {
          FBOF = true;
          break;
        }
        ++scroll;
      }
      ++Distance;
      --result;
    }
    DataEvent(deDataSetScroll, scroll);
    DoAfterScroll();
  }
  return result;
}

bool TDataSet::IsEmpty() const { return FRecordCount == 0; }

int TDataSet::RecNo() const {
  CheckActive();
  if (FState == dsInsert) return -1;
  int pos = CurrentPos();
  return pos < 0 ? -1 : pos + 1;
}

void TDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (FView.empty()) return;
  Value = std::clamp(Value, 1, static_cast<int>(FView.size()));
  if (Value - 1 == CurrentPos()) return;
  DoBeforeScroll();
  Resync(Value - 1, (FBufferCount - 1) / 2);
  DoAfterScroll();
}

int TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(FView.size());
}

// ---------------------------------------------------------------------------
// Editing

void TDataSet::Edit() {
  if (IsEditState(FState)) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  if (!CanModify()) Error(SDataSetReadOnly);
  if (BeforeEdit) BeforeEdit(this);
  FEditBuffer = FActiveRecord;
  FEditRow = CurrentRowIndex();
  pvdb::DecodeAll(FRows[FEditRow].Data, FFieldDefs->Count(), FEditValues);
  if (FCalcFieldCount) CalculateFields(FEditBuffer);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  if (AfterEdit) AfterEdit(this);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  if (!CanModify()) Error(SDataSetReadOnly);
  if (BeforeInsert) BeforeInsert(this);
  DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
  FEditRow = -1;
  FEditValues.assign(FFieldDefs->Count(), Cell{});
  InitRecord(FEditValues);
  SetState(dsInsert);
  try {
    if (OnNewRecord) OnNewRecord(this);
  } catch (...) {
    FEditValues.clear();
    FEditBuffer = -1;
    SetState(dsBrowse);
    Resync(FInsertReturnPos, FActiveRecord);
    throw;
  }
  if (FCalcFieldCount) CalculateFields(FEditBuffer);
  FModified = false;
  DataEvent(deDataSetChange, 0);
  if (AfterInsert) AfterInsert(this);
  DoAfterScroll();
}

void TDataSet::Insert() {
  BeginInsertAppend();
  FInsertReturnPos = CurrentPos();
  Buffer nb;
  if (FRecordCount == 0) {
    FBuffers.assign(1, nb);
    FRecordCount = 1;
    FActiveRecord = 0;
  } else {
    FBuffers.insert(FBuffers.begin() + FActiveRecord, nb);
    if (FRecordCount >= FBufferCount) FBuffers.pop_back();
    else ++FRecordCount;
  }
  FEditBuffer = FActiveRecord;
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  FInsertReturnPos = CurrentPos();
  // The new record follows the last ones, which fill the window before it.
  const int n = static_cast<int>(FView.size());
  const int before = std::min(n, FBufferCount - 1);
  FBuffers.clear();
  for (int k = 0; k < before; ++k) {
    Buffer b;
    b.Pos = n - before + k;
    FBuffers.push_back(std::move(b));
    if (FCalcFieldCount) CalculateFields(static_cast<int>(FBuffers.size()) - 1);
  }
  FBuffers.push_back(Buffer{});
  FRecordCount = static_cast<int>(FBuffers.size());
  FActiveRecord = FRecordCount - 1;
  FEditBuffer = FActiveRecord;
  FBOF = false;
  FEOF = true;
  EndInsertAppend();
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(FState) && FState != dsSetKey) Error(SNotEditing);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : FFields->FList) {
    if (f->FFieldKind != fkData || !f->FRequired || f->FReadOnly || f->FDataType == ftAutoInc) continue;
    if (f->IsNull()) {
      f->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {f->DisplayName()}, this);
    }
  }
}

void TDataSet::Post() {
  UpdateRecord();
  if (!IsEditState(FState)) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforePost) BeforePost(this);
  CheckRequiredFields();
  const bool inserting = FState == dsInsert;
  Row stored = InternalPost(inserting ? nullptr : &FRows[FEditRow], FEditValues);
  RowsChanged();
  int rowIndex;
  if (!inserting && FRows[FEditRow].Id == stored.Id) {
    rowIndex = FEditRow;
    FRows[rowIndex] = std::move(stored);
  } else {
    if (!inserting) EraseRow(FEditRow);
    InsertRowSorted(std::move(stored), rowIndex);
  }
  // The posted row stays in the view only when it still passes the filters.
  auto it = std::lower_bound(FView.begin(), FView.end(), rowIndex);
  bool inView = it != FView.end() && *it == rowIndex;
  bool passes = RowPassesFilter(rowIndex);
  if (passes && !inView) it = FView.insert(it, rowIndex);
  else if (!passes && inView) it = FView.erase(it);
  int pos = static_cast<int>(it - FView.begin());
  FEditValues.clear();
  FEditRow = -1;
  FEditBuffer = -1;
  SetState(dsBrowse);
  Resync(pos, FActiveRecord);
  if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
  if (!IsEditState(FState)) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeCancel) BeforeCancel(this);
  const bool inserting = FState == dsInsert;
  int pos = inserting ? FInsertReturnPos : ViewPosOfRow(FEditRow);
  FEditValues.clear();
  FEditRow = -1;
  FEditBuffer = -1;
  SetState(dsBrowse);
  Resync(pos, FActiveRecord);
  if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FRecordCount == 0) Error(SDataSetEmpty);
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeDelete) BeforeDelete(this);
  DoBeforeScroll();
  if (!CanModify()) Error(SDataSetReadOnly);
  int rowIndex = FState == dsEdit ? FEditRow : CurrentRowIndex();
  int pos = ViewPosOfRow(rowIndex);
  InternalDelete(FRows[rowIndex]);
  RowsChanged();
  EraseRow(rowIndex);
  FEditValues.clear();
  FEditRow = -1;
  FEditBuffer = -1;
  SetState(dsBrowse);
  Resync(std::min(pos, static_cast<int>(FView.size()) - 1), FActiveRecord);
  if (AfterDelete) AfterDelete(this);
  DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (IsEditState(FState)) {
    UpdateRecord();
    if (FModified) Post();
    else Cancel();
  } else if (FState == dsSetKey) {
    Post();
  }
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  if (BeforeRefresh) BeforeRefresh(this);
  int row = CurrentRowIndex();
  Int64 id = row >= 0 ? FRows[row].Id : 0;
  int oldPos = CurrentPos();
  InternalRefresh();
  RowsChanged();
  RebuildView();
  int pos = 0;
  if (row >= 0) {
    int r = RowIndexOfId(id);
    pos = r >= 0 ? ViewPosOfRow(r) : -1;
    if (pos < 0) pos = std::min(oldPos, static_cast<int>(FView.size()) - 1);
  }
  Resync(pos, FActiveRecord);
  if (AfterRefresh) AfterRefresh(this);
}

void TDataSet::ClearFields() {
  if (!IsEditState(FState)) Error(SNotEditing);
  for (TField* f : FFields->FList)
    if (f->FFieldKind == fkData && f->FDataType != ftAutoInc) FEditValues[f->FFieldNo - 1] = Cell{};
  DataEvent(deRecordChange, 0);
}

void TDataSet::AppendRecord(const std::vector<Variant>& Values) {
  Append();
  int n = std::min(static_cast<int>(Values.size()), FieldCount());
  for (int k = 0; k < n; ++k) {
    TField* f = FFields->Fields(k);
    if (f->CanModify() && !Values[k].IsEmpty()) f->SetAsVariant(Values[k]);
  }
  Post();
}

// ---------------------------------------------------------------------------
// Rows and the view

int TDataSet::RowIndexOfId(Int64 Id) const {
  auto it = std::lower_bound(FRows.begin(), FRows.end(), Id, [](const Row& r, Int64 id) { return r.Id < id; });
  if (it == FRows.end() || it->Id != Id) return -1;
  return static_cast<int>(it - FRows.begin());
}

int TDataSet::ViewPosOfRow(int RowIndex) const {
  auto it = std::lower_bound(FView.begin(), FView.end(), RowIndex);
  if (it == FView.end() || *it != RowIndex) return -1;
  return static_cast<int>(it - FView.begin());
}

void TDataSet::InsertRowSorted(Row R, int& RowIndex) {
  ++FChangeCount;
  auto it = std::lower_bound(FRows.begin(), FRows.end(), R.Id, [](const Row& r, Int64 id) { return r.Id < id; });
  RowIndex = static_cast<int>(it - FRows.begin());
  FRows.insert(it, std::move(R));
  for (int& v : FView)
    if (v >= RowIndex) ++v;
}

void TDataSet::EraseRow(int RowIndex) {
  ++FChangeCount;
  FRows.erase(FRows.begin() + RowIndex);
  auto it = std::lower_bound(FView.begin(), FView.end(), RowIndex);
  if (it != FView.end() && *it == RowIndex) it = FView.erase(it);
  for (; it != FView.end(); ++it) --*it;
}

void TDataSet::RebuildView() {
  ++FChangeCount;
  FView.clear();
  FView.reserve(FRows.size());
  const int n = static_cast<int>(FRows.size());
  if (!FFiltered || (!FFilterExpr && !FOnFilterRecord)) {
    for (int k = 0; k < n; ++k) FView.push_back(k);
    return;
  }
  for (int k = 0; k < n; ++k)
    if (RowPassesFilter(k)) FView.push_back(k);
}

bool TDataSet::RowPassesFilter(int RowIndex) {
  if (!FFiltered || (!FFilterExpr && !FOnFilterRecord)) return true;
  TDataSetState saved = FState;
  int savedTemp = FTempRow;
  FState = dsFilter;
  FTempRow = RowIndex;
  bool accept = true;
  try {
    if (FFilterExpr) {
      const bool ci = FFilterOptions.Contains(foCaseInsensitive);
      const bool patterns = !FFilterOptions.Contains(foNoPartialCompare);
      accept = FFilterExpr->Eval(
          [this](int index) {
            pvdb::FilterValue v;
            TField* f = FFields->FList[index];
            const Cell* cell = PeekFieldCell(f);
            if (!cell) return v;
            const Cell c = *cell;
            switch (f->FDataType) {
              case ftDate:
              case ftTime:
              case ftDateTime:
                v.kind = pvdb::FilterValue::Date;
                v.num = c.kind == Cell::Int ? static_cast<double>(c.i) : c.d;
                break;
              case ftBoolean:
                v.kind = pvdb::FilterValue::Number;
                v.num = (c.kind == Cell::Int ? c.i : static_cast<Int64>(c.d)) != 0;
                break;
              default:
                if (c.kind == Cell::Int) {
                  v.kind = pvdb::FilterValue::Number;
                  v.num = static_cast<double>(f->FDataType == ftInteger || f->FDataType == ftAutoInc
                                                  ? static_cast<Int64>(static_cast<std::int32_t>(c.i))
                                                  : c.i);
                } else if (c.kind == Cell::Float) {
                  v.kind = pvdb::FilterValue::Number;
                  v.num = c.d;
                } else {
                  v.kind = pvdb::FilterValue::Text;
                  v.text = c.s;
                  if (!IsTextType(f->FDataType)) {
                    double d;
                    if (TryStrToFloat(c.s, d)) { v.kind = pvdb::FilterValue::Number; v.num = d; }
                  }
                }
            }
            return v;
          },
          ci, patterns);
    }
    if (accept && FOnFilterRecord) FOnFilterRecord(this, accept);
  } catch (...) {
    FState = saved;
    FTempRow = savedTemp;
    throw;
  }
  FState = saved;
  FTempRow = savedTemp;
  return accept;
}

void TDataSet::CompileFilter() {
  FFilterExpr = pvdb::ParseFilter(FFilterText, [this](const AnsiString& name) {
    // A field is named by its FieldName, or else by its Origin.
    TField* f = FFields->FindField(name);
    for (int k = 0; !f && k < FFields->Count(); ++k)
      if (!FFields->FList[k]->Origin().empty() && SameText(FFields->FList[k]->Origin(), name)) f = FFields->FList[k];
    if (!f) DatabaseErrorFmt(SFieldNotFound, {name}, this);
    pvdb::FilterField ff;
    ff.index = FFields->IndexOf(f);
    switch (f->FDataType) {
      case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
      case ftFloat: case ftCurrency: case ftBCD: case ftBoolean: case ftFMTBcd:
        ff.kind = pvdb::FilterValue::Number;
        break;
      case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        ff.kind = pvdb::FilterValue::Date;
        break;
      default:
        ff.kind = pvdb::FilterValue::Text;
    }
    return ff;
  });
}

void TDataSet::SetFilter(const AnsiString& Value) {
  if (Value == FFilterText) return;
  if (Active() && FFiltered) {
    CheckBrowseMode();
    AnsiString old = FFilterText;
    FFilterText = Value;
    try {
      CompileFilter();
    } catch (...) {
      FFilterText = old;
      throw;
    }
    RebuildView();
    First();
  } else {
    FFilterText = Value;
  }
}

void TDataSet::SetFiltered(bool Value) {
  if (Value == FFiltered) return;
  if (Active()) {
    CheckBrowseMode();
    if (Value) CompileFilter();
    else FFilterExpr.reset();
    FFiltered = Value;
    RebuildView();
    First();
  } else {
    FFiltered = Value;
  }
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
  if (Value == FFilterOptions) return;
  FFilterOptions = Value;
  if (Active() && FFiltered) {
    CheckBrowseMode();
    RebuildView();
    First();
  }
}

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& Value) {
  if (Value == FOnFilterRecord) return;
  FOnFilterRecord = Value;
  if (Active() && FFiltered) {
    CheckBrowseMode();
    RebuildView();
    First();
  }
}

// ---------------------------------------------------------------------------
// Field values

namespace {
// A cell that holds a value, or nullptr for a missing or null one.
const Cell* ValueCell(const Cell* c) { return c && !c->IsNull() ? c : nullptr; }
}  // namespace

const Cell* TDataSet::PeekFieldCell(const TField* Field) const {
  if (Field->FFieldKind != fkData) {
    const std::vector<Cell>* calc = FCalcTarget;
    if (!calc) {
      if (FTempRow >= 0 || FRecordCount == 0 || FActiveRecord >= FRecordCount) return nullptr;
      calc = &FBuffers[FActiveRecord].Calc;
    }
    if (Field->FCalcIndex < 0 || Field->FCalcIndex >= static_cast<int>(calc->size())) return nullptr;
    return ValueCell(&(*calc)[Field->FCalcIndex]);
  }
  const int col = Field->FFieldNo - 1;
  if (col < 0) return nullptr;
  if (FTempRow >= 0) return ValueCell(FReadRow.Get(FRows[FTempRow].Data, col));
  if (FRecordCount == 0 || FActiveRecord >= FRecordCount) return nullptr;
  if (FState == dsOldValue) return PeekOldCell(Field);
  if (FEditBuffer >= 0 && FActiveRecord == FEditBuffer && !FEditValues.empty()) {
    if (col >= static_cast<int>(FEditValues.size())) return nullptr;
    return ValueCell(&FEditValues[col]);
  }
  int pos = FBuffers[FActiveRecord].Pos;
  if (pos < 0) return nullptr;
  return ValueCell(FReadRow.Get(FRows[FView[pos]].Data, col));
}

const Cell* TDataSet::PeekOldCell(const TField* Field) const {
  const int col = Field->FFieldNo - 1;
  if (Field->FFieldKind != fkData || col < 0) return nullptr;
  int row = FEditRow >= 0 ? FEditRow : -1;
  if (row < 0 && FState != dsInsert) row = CurrentRowIndex();
  if (row < 0) return nullptr;
  return ValueCell(FReadRow.Get(FRows[row].Data, col));
}

void TDataSet::SetFieldCell(TField* Field, Cell Value) {
  if (FState == dsCalcFields) {
    if (Field->FFieldKind == fkData) DatabaseErrorFmt(SFieldReadOnly, {Field->DisplayName()}, this);
    if (FCalcTarget && Field->FCalcIndex >= 0 && Field->FCalcIndex < static_cast<int>(FCalcTarget->size()))
      (*FCalcTarget)[Field->FCalcIndex] = std::move(Value);
    return;
  }
  if (!IsEditState(FState)) Error(SNotEditing);
  if (Field->FFieldKind == fkData) {
    const int col = Field->FFieldNo - 1;
    if (col < 0 || col >= static_cast<int>(FEditValues.size())) DatabaseErrorFmt(SFieldNotFound, {Field->FFieldName}, this);
    if (Field->OnValidate) {
      // The handler sees the new value; a raise puts the old one back.
      Cell old = FEditValues[col];
      FEditValues[col] = Value;
      try {
        Field->OnValidate(Field);
      } catch (...) {
        FEditValues[col] = std::move(old);
        throw;
      }
    } else {
      FEditValues[col] = std::move(Value);
    }
  } else {
    if (FEditBuffer < 0) Error(SNotEditing);
    auto& calc = FBuffers[FEditBuffer].Calc;
    if (Field->FCalcIndex >= static_cast<int>(calc.size())) calc.resize(FCalcFieldCount);
    calc[Field->FCalcIndex] = std::move(Value);
  }
  DataEvent(deFieldChange, reinterpret_cast<NativeInt>(Field));
  if (Field->OnChange) Field->OnChange(Field);
}

void TDataSet::CalculateFields(int BufferIndex) {
  Buffer& B = FBuffers[BufferIndex];
  B.Calc.assign(FCalcFieldCount, Cell{});
  if (FCalcFieldCount == 0 || FInternalCalc) return;
  TDataSetState savedState = FState;
  int savedActive = FActiveRecord;
  int savedRecordCount = FRecordCount;
  auto* savedTarget = FCalcTarget;
  FInternalCalc = true;
  FCalcTarget = &B.Calc;
  // Data fields read the buffer being calculated.
  FRecordCount = std::max(FRecordCount, BufferIndex + 1);
  FActiveRecord = BufferIndex;
  FState = dsCalcFields;
  auto restore = [&] {
    FState = savedState;
    FActiveRecord = savedActive;
    FRecordCount = savedRecordCount;
    FCalcTarget = savedTarget;
    FInternalCalc = false;
  };
  try {
    for (TField* f : FFields->FList) {
      if (f->FFieldKind != fkLookup || !f->FLookupDataSet || !f->FLookupDataSet->Active()) continue;
      Variant keys = FieldValues(f->KeyFields);
      bool anyNull = keys.IsNull();
      if (keys.IsArray())
        for (int k = keys.LowBound(); k <= keys.HighBound(); ++k) anyNull = anyNull || keys[k].IsNull();
      if (anyNull) continue;
      Variant v = f->FLookupDataSet->Lookup(f->LookupKeyFields, keys, f->LookupResultField);
      if (!v.IsNull()) f->SetAsVariant(v);
    }
    if (OnCalcFields) OnCalcFields(this);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// ---------------------------------------------------------------------------
// Field lists and values

void TDataSet::GetFieldList(std::vector<TField*>& List, const AnsiString& FieldNames) const {
  for (const AnsiString& n : SplitNames(FieldNames)) List.push_back(FieldByName(n));
}

Variant TDataSet::FieldValues(const AnsiString& FieldNames) const {
  std::vector<TField*> fields;
  GetFieldList(fields, FieldNames);
  if (fields.empty()) return Null();
  if (fields.size() == 1) return fields[0]->AsVariant();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->AsVariant());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const AnsiString& FieldNames, const Variant& Value) {
  std::vector<TField*> fields;
  GetFieldList(fields, FieldNames);
  if (fields.size() == 1) {
    fields[0]->SetAsVariant(Value);
    return;
  }
  if (!Value.IsArray() || Value.ElementCount() < static_cast<int>(fields.size()))
    Error("Invalid variant type conversion");
  for (size_t k = 0; k < fields.size(); ++k) fields[k]->SetAsVariant(Value[Value.LowBound() + static_cast<int>(k)]);
}

// ---------------------------------------------------------------------------
// Locate and Lookup

bool TDataSet::MatchRow(int RowIndex, const std::vector<TField*>& Fields, const std::vector<Variant>& Keys,
                        TLocateOptions Options) {
  const bool ci = Options.Contains(loCaseInsensitive);
  const bool partial = Options.Contains(loPartialKey);
  for (size_t k = 0; k < Fields.size(); ++k) {
    TField* f = Fields[k];
    const Variant& key = Keys[k];
    if (f->IsNull()) {
      if (key.IsNull() || key.IsEmpty()) continue;
      return false;
    }
    if (key.IsNull()) return false;
    if (IsTextType(f->FDataType) || (partial && VarIsStr(key))) {
      AnsiString s = f->AsString();
      AnsiString t = VarToStr(key);
      bool ok;
      if (partial) ok = ci ? AnsiStartsText(t, s) : AnsiStartsStr(t, s);
      else ok = ci ? AnsiSameText(s, t) : s == t;
      if (!ok) return false;
    } else {
      if (VarCompareValue(f->AsVariant(), key) != vrEqual) return false;
    }
  }
  (void)RowIndex;
  return true;
}

int TDataSet::FindRow(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                      std::vector<TField*>& Fields) {
  GetFieldList(Fields, KeyFields);
  if (Fields.empty()) return -1;
  std::vector<Variant> keys;
  if (Fields.size() == 1) {
    if (KeyValues.IsArray() && KeyValues.ElementCount() >= 1) keys.push_back(KeyValues[KeyValues.LowBound()]);
    else keys.push_back(KeyValues);
  } else {
    if (!KeyValues.IsArray() || KeyValues.ElementCount() < static_cast<int>(Fields.size()))
      Error("Invalid variant type conversion");
    for (size_t k = 0; k < Fields.size(); ++k) keys.push_back(KeyValues[KeyValues.LowBound() + static_cast<int>(k)]);
  }
  int savedTemp = FTempRow;
  try {
    for (size_t pos = 0; pos < FView.size(); ++pos) {
      FTempRow = FView[pos];
      if (MatchRow(FTempRow, Fields, keys, Options)) {
        FTempRow = savedTemp;
        return static_cast<int>(pos);
      }
    }
  } catch (...) {
    FTempRow = savedTemp;
    throw;
  }
  FTempRow = savedTemp;
  return -1;
}

bool TDataSet::Locate(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  // BeforeScroll fires whether or not a record is found; a failed search stays put
  DoBeforeScroll();
  std::vector<TField*> fields;
  int pos = FindRow(KeyFields, KeyValues, Options, fields);
  if (pos < 0) return false;
  Resync(pos, (FBufferCount - 1) / 2);
  DoAfterScroll();
  return true;
}

Variant TDataSet::Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields) {
  CheckBrowseMode();
  std::vector<TField*> fields;
  int pos = FindRow(KeyFields, KeyValues, {}, fields);
  if (pos < 0) return Null();
  int savedTemp = FTempRow;
  FTempRow = FView[pos];
  Variant result;
  try {
    result = FieldValues(ResultFields);
  } catch (...) {
    FTempRow = savedTemp;
    throw;
  }
  FTempRow = savedTemp;
  return result;
}

// ---------------------------------------------------------------------------
// Bookmarks: the row's identity, which orders rows as the key does.

TBookmarkStr TDataSet::Bookmark() const {
  if (FState == dsInsert || FState == dsInactive) return {};
  int row = CurrentRowIndex();
  if (row < 0) return {};
  Int64 id = FRows[row].Id;
  return TBookmarkStr(reinterpret_cast<const char*>(&id), sizeof id);
}

void TDataSet::SetBookmark(const TBookmarkStr& Value) {
  if (Value.size() != sizeof(Int64)) Error(SRecordNotFound);
  Int64 id;
  std::memcpy(&id, Value.data(), sizeof id);
  CheckBrowseMode();
  int row = RowIndexOfId(id);
  int pos = row >= 0 ? ViewPosOfRow(row) : -1;
  if (pos < 0) Error(SRecordNotFound);
  DoBeforeScroll();
  Resync(pos, (FBufferCount - 1) / 2);
  DoAfterScroll();
}

TBookmark TDataSet::GetBookmark() const {
  TBookmarkStr s = Bookmark();
  if (s.empty()) return nullptr;
  auto p = std::make_unique<Int64>();
  std::memcpy(p.get(), s.data(), sizeof(Int64));
  TBookmark b = p.get();
  FBookmarks.push_back(std::move(p));
  return b;
}

void TDataSet::GotoBookmark(TBookmark Bookmark) {
  if (!Bookmark) return;
  SetBookmark(TBookmarkStr(static_cast<const char*>(Bookmark), sizeof(Int64)));
}

void TDataSet::FreeBookmark(TBookmark Bookmark) {
  auto it = std::find_if(FBookmarks.begin(), FBookmarks.end(),
                         [Bookmark](const std::unique_ptr<Int64>& p) { return p.get() == Bookmark; });
  if (it != FBookmarks.end()) FBookmarks.erase(it);
}

bool TDataSet::BookmarkValid(TBookmark Bookmark) const {
  if (!Bookmark || FState == dsInactive) return false;
  int row = RowIndexOfId(*static_cast<const Int64*>(Bookmark));
  return row >= 0 && ViewPosOfRow(row) >= 0;
}

int TDataSet::CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2) const {
  if (!Bookmark1 || !Bookmark2) return Bookmark1 == Bookmark2 ? 0 : (Bookmark1 ? 1 : -1);
  Int64 a = *static_cast<const Int64*>(Bookmark1), b = *static_cast<const Int64*>(Bookmark2);
  return a < b ? -1 : (a > b ? 1 : 0);
}
