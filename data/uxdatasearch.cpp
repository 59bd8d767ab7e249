// Incremental search, notification objects, locate objects, value readers
// and the notifier component of the data controller.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"

// ---------------------------------------------------------------------------
// TuxDataControllerSearch

int TuxDataControllerSearch::GetItemIndex() const {
  return FDataController->SearchField() ? FDataController->GetItemIndex(FDataController->SearchField()) : -1;
}

bool TuxDataControllerSearch::GetSearching() const { return FDataController->FSearching; }

AnsiString TuxDataControllerSearch::GetSearchText() const { return FDataController->FSearchText; }

void TuxDataControllerSearch::SetItemIndex(int ItemIndex) {
  FDataController->CheckItemRange(ItemIndex);
  FDataController->FSearchField = FDataController->GetItemField(ItemIndex);
}

void TuxDataControllerSearch::Cancel() {
  if (FLocked || !FDataController->FSearching) return;
  FDataController->FSearching = false;
  FDataController->FSearchText.clear();
  FDataController->Change(dccSearch);
}

void TuxDataControllerSearch::ReduceSelection() {
  if (FDataController->MultiSelect()) FDataController->SyncSelected();
}

int TuxDataControllerSearch::FindFilteredIndex(int StartIndex, int EndIndex, const AnsiString& Text, bool Forward) {
  const int count = FDataController->GetFilteredRecordCount();
  const int item = GetItemIndex();
  if (count == 0 || item == -1) return -1;
  if (EndIndex == -1) EndIndex = Forward ? count - 1 : 0;
  const int step = Forward ? 1 : -1;
  for (int i = StartIndex; Forward ? i <= EndIndex : i >= EndIndex; i += step) {
    if (i < 0 || i >= count) break;
    const int record = FDataController->GetFilteredRecordIndex(i);
    if (uxTextMatches(FDataController->GetFilterDisplayText(record, item), Text, true)) return i;
  }
  return -1;
}

void TuxDataControllerSearch::FocusFilteredIndex(int FilteredIndex) {
  Lock();
  TuxFinally unlock([this] { Unlock(); });
  FDataController->ChangeFocusedRecordIndex(FDataController->GetFilteredRecordIndex(FilteredIndex));
  FDataController->SyncSelected();
}

bool TuxDataControllerSearch::Locate(int ItemIndex, const AnsiString& Text) {
  if (Text.empty() || FDataController->GetFilteredRecordCount() == 0) return false;
  SetItemIndex(ItemIndex);
  bool found = false;
  if (FDataController->IsGridMode()) {
    found = FDataController->LocateByText(Text, true, false);
  } else {
    int start = FDataController->GetFilteredIndexByRecordIndex(FDataController->GetFocusedRecordIndex());
    if (start < 0) start = 0;
    int index = FindFilteredIndex(start, -1, Text, true);
    if (index == -1 && start > 0) index = FindFilteredIndex(0, start - 1, Text, true);
    found = index != -1;
    if (found) FocusFilteredIndex(index);
  }
  if (found) {
    FDataController->FSearching = true;
    FDataController->FSearchText = Text;
    FDataController->Change(dccSearch);
    ReduceSelection();
  }
  return found;
}

bool TuxDataControllerSearch::LocateNext(bool Forward) {
  if (!GetSearching() || GetSearchText().empty() || GetItemIndex() == -1 ||
      FDataController->GetFilteredRecordCount() == 0)
    return false;
  bool found = false;
  if (FDataController->IsGridMode()) {
    found = FDataController->LocateByText(GetSearchText(), Forward, true);
  } else {
    const int start = FDataController->GetFilteredIndexByRecordIndex(FDataController->GetFocusedRecordIndex());
    const int from = start + (Forward ? 1 : -1);
    const int index = from < 0 ? -1 : FindFilteredIndex(from, -1, GetSearchText(), Forward);
    found = index != -1;
    if (found) FocusFilteredIndex(index);
  }
  if (found) ReduceSelection();
  return found;
}

// ---------------------------------------------------------------------------
// Notification objects

TuxSelectionChangedInfo::TuxSelectionChangedInfo(int ARowIndex1, int ARowIndex2) {
  if (ARowIndex1 != -1) FRowIndexes.push_back(ARowIndex1);
  if (ARowIndex2 != -1 && ARowIndex2 != ARowIndex1) FRowIndexes.push_back(ARowIndex2);
}

// ---------------------------------------------------------------------------
// Locate objects

void TuxDataControllerLocateObject::ReadLocateRecord(TuxValueDefReader* Reader) {
  TuxDataStorage* store = FDataController->DataStorage();
  if (FLocateRecordIndex == 0) FLocateRecordIndex = store->NewInternalRecord();
  FDataController->BeginLocateRecordRead();
  TuxFinally end([this] { FDataController->EndLocateRecordRead(); });
  store->FillRecord(FLocateRecordIndex, Reader);
}

void TuxDataControllerLocateObject::FreeLocateRecord() {
  if (FLocateRecordIndex == 0) return;
  const int index = FLocateRecordIndex;
  FLocateRecordIndex = 0;
  TuxDataStorage* store = FDataController->DataStorage();
  if (store && -index <= store->InternalRecordCount()) store->RemoveRecord(index);
}

int TuxDataControllerKeyLocateObject::FindRecordIndex() {
  if (FLocateRecordIndex == 0) return -1;
  return FDataController->FindRecordIndexByFields(FLocateRecordIndex, KeyFields);
}

TuxDataControllerGroupLocateObject::TuxDataControllerGroupLocateObject(TuxCustomDataController* ADataController)
    : TuxDataControllerLocateObject(ADataController) {
  TuxGroupingFieldList* grouping = FDataController->DataControllerInfo()->GroupingFieldList();
  for (int i = 0; i < grouping->EntryCount(); ++i) {
    TuxCustomDataField* field = grouping->Entries(i).Field;
    FGroupingFields.push_back(field);
    if (FDataController->IsFieldSortByDisplayText(field)) FFindByOrder = false;
  }
  BuildFindFields();
}

void TuxDataControllerGroupLocateObject::BuildFindFields() {
  FFindFields.assign(FGroupingFields.begin(),
                     FGroupingFields.begin() + std::min<std::size_t>(FGroupingFields.size(), static_cast<std::size_t>(FLevel + 1)));
}

void TuxDataControllerGroupLocateObject::SetLevel(int Value) {
  if (FLevel == Value) return;
  FLevel = Value;
  BuildFindFields();
}

int TuxDataControllerGroupLocateObject::FindRecordIndex() {
  if (FLocateRecordIndex == 0) return -1;
  if (FFindByOrder) return FDataController->FindGroupRecordIndex(FLocateRecordIndex, FLevel + 1);
  FDataController->SetGroupLocateByValue(true);
  TuxFinally clear([this] { FDataController->SetGroupLocateByValue(false); });
  return FDataController->FindRecordIndexByFields(FLocateRecordIndex, FFindFields);
}

// ---------------------------------------------------------------------------
// Value readers

namespace {

TuxCustomDataField* FieldOfDef(TuxValueDef* Def) {
  return Def ? dynamic_cast<TuxCustomDataField*>(Def->GetLinkObject()) : nullptr;
}

TuxValueDef* NormalDef(TuxValueDef* Def) {
  if (auto* twin = dynamic_cast<TuxInternalValueDef*>(Def)) return twin->SourceDef();
  return Def;
}

}  // namespace

void TuxValueDefUnboundReader::SetValue(TuxValueDef* Def, const Variant& Value) {
  Def = NormalDef(Def);
  auto it = std::find(FDefs.begin(), FDefs.end(), Def);
  std::size_t index;
  if (it == FDefs.end()) {
    FDefs.push_back(Def);
    index = FDefs.size() - 1;
  } else {
    index = static_cast<std::size_t>(it - FDefs.begin());
  }
  if (FValues.size() < FDefs.size()) FValues.resize(FDefs.size());
  FValues[index] = std::make_unique<Variant>(Value);
}

void TuxValueDefUnboundReader::ValueOf(TuxValueDef* Def, Variant& Value) {
  Def = NormalDef(Def);
  auto it = std::find(FDefs.begin(), FDefs.end(), Def);
  if (it == FDefs.end()) {
    Value = Null();
    return;
  }
  const std::size_t index = static_cast<std::size_t>(it - FDefs.begin());
  if (index < FValues.size() && FValues[index])
    Value = *FValues[index];
  else
    Value = Null();
}

bool TuxValueDefUnboundReader::Skips(TuxValueDef* Def) {
  TuxCustomDataField* field = FieldOfDef(Def);
  return field && field->IsInternal();
}

void TuxValueDefUnboundReader::Truncate(int Count) {
  if (Count < 0) Count = 0;
  while (static_cast<int>(FValues.size()) > Count) FValues.pop_back();
}

void TuxValueDefRecordReader::TextOf(TuxValueDef* Def, AnsiString& Text) {
  TuxCustomDataField* field = FieldOfDef(Def);
  if (!field || field->IsInternal())
    Text.clear();
  else
    Text = FController->GetInternalDisplayText(FRecordIndex, field);
}

void TuxValueDefRecordReader::ValueOf(TuxValueDef* Def, Variant& Value) {
  TuxCustomDataField* field = FieldOfDef(Def);
  Value = field ? FController->GetInternalValue(FRecordIndex, field) : Null();
}

bool TuxValueDefRecordReader::Skips(TuxValueDef* Def) {
  TuxCustomDataField* field = FieldOfDef(Def);
  return !field || field->IsInternal();
}

// ---------------------------------------------------------------------------

void TuxDataControllerNotifier::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != this && FController) FController->RemoveNotification(AComponent);
}
