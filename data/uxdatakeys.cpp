// Record keys and save objects: expanded details and the selection carried
// by record key across a reload.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxvariants.h"

void TuxKeys::RemoveAllKeys() {
  std::vector<TuxKeyInfo*> infos;
  infos.swap(FKeyInfos);
  for (TuxKeyInfo* info : infos) FreeKeyInfo(info);
}

void TuxKeys::BindController(TuxCustomDataController* Controller) {
  FController = Controller;
  FKeyFields.clear();
  if (FController) FController->GetKeyFields(FKeyFields);
}

void TuxKeys::SaveFrom(TuxCustomDataController* Controller) {
  RemoveAllKeys();
  BindController(Controller);
  CollectKeys();
  std::stable_sort(FKeyInfos.begin(), FKeyInfos.end(),
                   [](TuxKeyInfo* a, TuxKeyInfo* b) { return uxCompareKeyInfos(a->Key, b->Key) < 0; });
}

void TuxKeys::RestoreInto(TuxCustomDataController* Controller) {
  BindController(Controller);
  if (FKeyInfos.empty()) return;
  ApplyKeys();
  RemoveAllKeys();
}

bool TuxKeys::FindRecordKey(int RecordIndex, int& KeyIndex) {
  const Variant key = FController->GetKeyValue(RecordIndex, FKeyFields);
  for (std::size_t i = 0; i < FKeyInfos.size(); ++i)
    if (uxVarEquals(FKeyInfos[i]->Key, key)) {
      KeyIndex = static_cast<int>(i);
      return true;
    }
  KeyIndex = -1;
  return false;
}

void TuxKeys::RemoveKeyAt(int Index) {
  TuxKeyInfo* info = FKeyInfos[static_cast<std::size_t>(Index)];
  FKeyInfos.erase(FKeyInfos.begin() + Index);
  FreeKeyInfo(info);
}

// ---------------------------------------------------------------------------

void TuxDetailKeys::FreeKeyInfo(TuxKeyInfo* Info) {
  if (auto* detail = dynamic_cast<TuxDetailKeyInfo*>(Info)) {
    delete detail->SaveObject;
    detail->SaveObject = nullptr;
  }
  delete Info;
}

namespace {

// The detail controller of a record's relation when it is of the same class
// as Controller, or a descendant of it.
TuxCustomDataController* CompatibleDetail(TuxCustomDataController* Controller, int RecordIndex, int RelationIndex) {
  if (!Controller->IsDetailDataControllerExist(RecordIndex, RelationIndex)) return nullptr;
  TuxCustomDataController* detail = Controller->GetDetailController(RecordIndex, RelationIndex);
  if (detail && detail->InheritsFrom(Controller->ClassType())) return detail;
  return nullptr;
}

}  // namespace

void TuxDetailKeys::CollectKeys() {
  for (int i = 0; i < FController->GetRecordCount(); ++i) {
    if (!FController->GetDetailExpanded(i)) continue;
    auto* info = new TuxDetailKeyInfo;
    FKeyInfos.push_back(info);
    info->Key = FController->GetKeyValue(i, FKeyFields);
    info->ActiveRelationIndex = FController->GetDetailActiveRelationIndex(i);
    info->SaveObject = new TuxSaveObject;
    if (TuxCustomDataController* detail = CompatibleDetail(FController, i, info->ActiveRelationIndex))
      info->SaveObject->SaveState(detail);
  }
}

void TuxDetailKeys::ApplyKeys() {
  for (int i = 0; i < FController->GetRecordCount(); ++i) {
    int k = -1;
    if (!FindRecordKey(i, k)) continue;
    auto* info = static_cast<TuxDetailKeyInfo*>(FKeyInfos[static_cast<std::size_t>(k)]);
    FController->ChangeDetailExpanding(i, true);
    FController->ChangeDetailActiveRelationIndex(i, info->ActiveRelationIndex);
    if (info->SaveObject && FController->GetDetailExpanded(i) &&
        FController->GetDetailActiveRelationIndex(i) == info->ActiveRelationIndex) {
      // The detail is made on demand, so that its state can be restored.
      FController->GetDetailDataController(i, info->ActiveRelationIndex);
      if (TuxCustomDataController* detail = CompatibleDetail(FController, i, info->ActiveRelationIndex))
        info->SaveObject->RestoreState(detail);
    }
  }
}

void TuxSelectedKeys::CollectKeys() {
  TuxDataSelection* selection = FController->DataControllerInfo()->Selection();
  for (int i = 0; i < selection->GetEntryCount(); ++i) {
    const TuxDataSelectionEntry& e = selection->GetEntry(i);
    if (e.RowIndex == -1 || e.Level < 0 || e.RecordIndex < 0 || e.RecordIndex >= FController->GetRecordCount())
      continue;
    auto* info = new TuxSelectedKeyInfo;
    FKeyInfos.push_back(info);
    info->Key = FController->GetKeyValue(e.RecordIndex, FKeyFields);
    info->SelectionIndex = i;
  }
  TuxDataExpandingInfos* memory = FController->DataControllerInfo()->ExpandingInfos();
  memory->SaveStates = {dceExpanded, dceSelected};
}

void TuxSelectedKeys::ApplyKeys() {
  TuxDataSelection* selection = FController->DataControllerInfo()->Selection();
  if (selection->GetEntryCount() == 0) return;
  for (int i = 0; i < FController->GetRecordCount(); ++i) {
    int k = -1;
    if (!FindRecordKey(i, k)) continue;
    const int entry = static_cast<TuxSelectedKeyInfo*>(FKeyInfos[static_cast<std::size_t>(k)])->SelectionIndex;
    if (entry >= 0 && entry < selection->GetEntryCount()) selection->GetEntry(entry).RecordIndex = i;
    RemoveKeyAt(k);
  }
  for (TuxKeyInfo* info : FKeyInfos) {
    const int entry = static_cast<TuxSelectedKeyInfo*>(info)->SelectionIndex;
    if (entry >= 0 && entry < selection->GetEntryCount()) selection->GetEntry(entry).RecordIndex = -1;
  }
  for (int i = selection->GetEntryCount() - 1; i >= 0; --i)
    if (selection->GetEntry(i).RecordIndex == -1) selection->InternalDelete(i);
  FController->DataControllerInfo()->ExpandingChanged();
}

// ---------------------------------------------------------------------------

void TuxSaveObject::SaveState(TuxCustomDataController* Controller) {
  if (Controller->InDetailCreation() || Controller->IsDestroying() || !Controller->IsProviderDataSource()) return;
  FDetailKeys.SaveFrom(Controller);
  FSelectedKeys.SaveFrom(Controller);
}

void TuxSaveObject::RestoreState(TuxCustomDataController* Controller) {
  if (Controller->InDetailCreation()) return;
  if (Controller->IsProviderDataSource()) {
    FDetailKeys.RestoreInto(Controller);
    FSelectedKeys.RestoreInto(Controller);
  } else {
    Controller->DataControllerInfo()->CheckSelectionAfterRecordsChange();
    Controller->CheckStoredFocus(-1);
  }
}
