// Data fields, the field list, relations and the detail objects of master records.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"

// ---------------------------------------------------------------------------
// TuxCustomDataField

TuxCustomDataField::TuxCustomDataField(TuxCustomDataFieldList* AFieldList) : FFieldList(AFieldList) {
  if (FFieldList) FFieldList->AddField(this);
}

TuxCustomDataField::~TuxCustomDataField() {
  if (FFieldList) FFieldList->RemoveField(this);
  FreeValueDefinition();
}

const TuxCustomDataField* TuxCustomDataField::SharingEnd() const {
  const TuxCustomDataField* f = this;
  // The setter refuses cycles, so the chain ends.
  while (f->FSharedWith) f = f->FSharedWith;
  return f;
}

void TuxCustomDataField::TakeOver(TuxCustomDataField* Source) {
  FreeValueDefinition();
  FValueDef = Source->FValueDef;
  FValueType = Source->FValueType;
  FKeepText = Source->FKeepText;
  Source->FValueDef = nullptr;
  Source->FValueType = nullptr;
  if (FValueDef) FValueDef->SetLinkObject(this);
  FSharedWith = nullptr;
}

bool TuxCustomDataField::CanEditValue(int Kind) {
  TuxCustomDataController* c = Controller();
  return ValueDefinition() != nullptr || (c && c->IsProviderMode());
}

void TuxCustomDataField::SetInternal(bool Value) {
  if (FInternal == Value) return;
  FInternal = Value;
  if (FFieldList) FFieldList->RecountInternal();
}

void TuxCustomDataField::SetSharedWith(TuxCustomDataField* Value) {
  if (FSharedWith == Value) return;
  if (Value) {
    const TuxCustomDataField* end = Value->SharingEnd();
    if (end == this) return;
    if (!FSharedWith) SetValueType(nullptr);
    FSharedWith = const_cast<TuxCustomDataField*>(end);
  } else {
    FSharedWith = nullptr;
  }
}

void TuxCustomDataField::SetKeepText(bool Value) {
  if (FSharedWith || FKeepText == Value) return;
  BeginRebuild();
  FKeepText = Value;
  EndRebuild();
}

TuxValueTypeClass TuxCustomDataField::ValueType() const { return SharingEnd()->FValueType; }

void TuxCustomDataField::SetValueType(TuxValueTypeClass Value) {
  if (FSharedWith || FValueType == Value) return;
  BeginRebuild();
  FValueType = Value;
  EndRebuild();
}

TuxValueDef* TuxCustomDataField::ValueDefinition() const { return SharingEnd()->FValueDef; }

bool TuxCustomDataField::KeepsText() const { return SharingEnd()->FKeepText; }

void TuxCustomDataField::BeginRebuild() {
  if (FRebuildLockCount == 0) FreeValueDefinition();
  ++FRebuildLockCount;
}

void TuxCustomDataField::EndRebuild() {
  if (--FRebuildLockCount > 0) return;
  FRebuildLockCount = 0;
  if (FSharedWith || !FValueType) return;
  TuxCustomDataController* c = Controller();
  if (!c || !c->DataStorage()) return;
  FValueDef = c->DataStorage()->ValueDefs()->Add(FValueType, FInternal, this, FKeepText);
}

void TuxCustomDataField::FreeValueDefinition() {
  if (FSharedWith || !FValueDef) return;
  TuxValueDef* def = FValueDef;
  FValueDef = nullptr;
  delete def;
}

void TuxCustomDataField::NotifyStructureChanged() {
  TuxCustomDataController* c = Controller();
  if (c && c->Provider() && c->Provider()->LockCount() == 0) c->Provider()->LayoutChanged(1);
}

int TuxCustomDataField::FieldIndex() const { return FFieldList ? FFieldList->IndexOf(this) : -1; }

void TuxCustomDataField::SetFieldIndex(int Value) {
  if (FFieldList) FFieldList->MoveField(this, Value);
}

TuxCustomDataController* TuxCustomDataField::Controller() const {
  return FFieldList ? FFieldList->Controller() : nullptr;
}

TuxDataControllerNotifier* TuxCustomDataField::ControllerNotifier() const {
  TuxCustomDataController* c = Controller();
  return c ? c->Notifier() : nullptr;
}

int uxDataFieldIndexOfLinkObject(TObject* LinkObject) {
  auto* field = dynamic_cast<TuxCustomDataField*>(LinkObject);
  return field ? field->FieldIndex() : 0;
}

// ---------------------------------------------------------------------------
// TuxCustomDataFieldList

TuxCustomDataFieldList::~TuxCustomDataFieldList() { RemoveAll(); }

void TuxCustomDataFieldList::ComponentRemoved(TComponent* Component) {
  for (int i = 0; i < Count(); ++i) Items(i)->ComponentRemoved(Component);
}

void TuxCustomDataFieldList::RecountInternal() {
  FInternalCount = static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                                  [](TuxCustomDataField* f) { return f->IsInternal(); }));
}

void TuxCustomDataFieldList::AddField(TuxCustomDataField* Field) {
  if (Field->IsInternal()) {
    FItems.push_back(Field);
  } else {
    // Before the internal fields.
    auto it = std::find_if(FItems.begin(), FItems.end(), [](TuxCustomDataField* f) { return f->IsInternal(); });
    FItems.insert(it, Field);
  }
  RecountInternal();
}

void TuxCustomDataFieldList::RemoveField(TuxCustomDataField* Field) {
  auto it = std::find(FItems.begin(), FItems.end(), Field);
  if (it == FItems.end()) return;
  FFieldDestroyed = true;
  ReleaseSharing(Field);
  FItems.erase(std::find(FItems.begin(), FItems.end(), Field));
  if (FController) FController->FieldRemoved(Field);
  RecountInternal();
}

void TuxCustomDataFieldList::ReleaseSharing(TuxCustomDataField* Field) {
  TuxCustomDataField* first = nullptr;
  for (TuxCustomDataField* f : FItems) {
    if (f == Field || f->FSharedWith != Field) continue;
    if (!first) {
      first = f;
      f->TakeOver(Field);
    } else {
      f->FSharedWith = first;
    }
  }
}

TuxCustomDataField* TuxCustomDataFieldList::FieldByItem(TObject* Item) const {
  for (TuxCustomDataField* f : FItems)
    if (f->Item() == Item) return f;
  return nullptr;
}

void TuxCustomDataFieldList::RemoveAll() {
  while (!FItems.empty()) delete FItems.back();
}

void TuxCustomDataFieldList::MoveField(TuxCustomDataField* Field, int NewIndex) {
  auto it = std::find(FItems.begin(), FItems.end(), Field);
  if (it == FItems.end()) return;
  FItems.erase(it);
  NewIndex = std::clamp(NewIndex, 0, Count());
  FItems.insert(FItems.begin() + NewIndex, Field);
}

int TuxCustomDataFieldList::IndexOf(const TuxCustomDataField* Field) const {
  auto it = std::find(FItems.begin(), FItems.end(), Field);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---------------------------------------------------------------------------
// Relations

TuxCustomDataRelation::~TuxCustomDataRelation() {
  if (FDetailDataController) FDetailDataController->SetPatternMasterRelation(nullptr, false);
  if (FRelationList) FRelationList->RemoveRelation(this);
}

void TuxCustomDataRelation::NotifyChanged() {
  if (FRelationList) FRelationList->NotifyChanged(this);
}

TuxCustomDataController* TuxCustomDataRelation::GetMasterDataController() const {
  return FRelationList ? FRelationList->Controller() : nullptr;
}

int TuxCustomDataRelation::GetIndex() const { return FRelationList ? FRelationList->IndexOf(this) : -1; }

TuxDetailInfoObject::~TuxDetailInfoObject() {
  TObject* link = LinkObject;
  LinkObject = nullptr;
  if (link) link->Free();
}

void TuxDetailObject::Grow(int Count) {
  if (InfoCount() < Count) FInfoObjects.resize(static_cast<std::size_t>(Count), nullptr);
}

void TuxDetailObject::ValidateDetailObject(TuxCustomDataRelationList* Relations) {
  const int count = Relations ? Relations->GetCount() : 0;
  Grow(count);
  if (count == 0) {
    ActiveRelationIndex = -1;
    return;
  }
  ActiveRelationIndex = std::clamp(ActiveRelationIndex, 0, count - 1);
  if (!Relations->RelationItems(ActiveRelationIndex)->DetailDataController()) {
    for (int i = 0; i < count; ++i)
      if (Relations->RelationItems(i)->DetailDataController()) {
        ActiveRelationIndex = i;
        break;
      }
  }
}

TuxDetailInfoObject* TuxDetailObject::InfoObject(int Index) const {
  return Index >= 0 && Index < InfoCount() ? FInfoObjects[static_cast<std::size_t>(Index)] : nullptr;
}

TObject* TuxDetailObject::LinkObject(int Index) const {
  TuxDetailInfoObject* info = InfoObject(Index);
  return info ? info->LinkObject : nullptr;
}

void TuxDetailObject::SetInfoObject(int Index, TuxDetailInfoObject* Info) {
  if (Index < 0) return;
  Grow(Index + 1);
  FInfoObjects[static_cast<std::size_t>(Index)] = Info;
}

void TuxDetailObject::SetLinkObject(int Index, TObject* Object) {
  if (Index < 0) return;
  Grow(Index + 1);
  TuxDetailInfoObject*& info = FInfoObjects[static_cast<std::size_t>(Index)];
  if (!info) info = new TuxDetailInfoObject;
  info->LinkObject = Object;
}

void TuxDetailObject::FreeInfoObject(int Index) {
  if (Index < 0 || Index >= InfoCount()) return;
  TuxDetailInfoObject* info = FInfoObjects[static_cast<std::size_t>(Index)];
  FInfoObjects[static_cast<std::size_t>(Index)] = nullptr;
  delete info;
}

void TuxDetailObject::RemoveAllInfo() {
  for (int i = InfoCount() - 1; i >= 0; --i) FreeInfoObject(i);
  FInfoObjects.clear();
}

bool TuxDetailObject::IsEmpty() const {
  for (TuxDetailInfoObject* info : FInfoObjects)
    if (info && info->LinkObject) return false;
  return true;
}

bool TuxDetailObject::ResetHasChildrenFlags() {
  bool any = false;
  for (TuxDetailInfoObject* info : FInfoObjects)
    if (info && info->HasChildrenAssigned) {
      info->HasChildrenAssigned = false;
      any = true;
    }
  return any;
}

// ---------------------------------------------------------------------------
// TuxCustomDataRelationList

TuxCustomDataRelationList::~TuxCustomDataRelationList() {
  ++FLockCount;
  while (!FItems.empty()) delete FItems.back();
  --FLockCount;
  if (FDetailObjectField) {
    TuxCustomDataField* field = FDetailObjectField;
    FDetailObjectField = nullptr;
    delete field;
  }
}

TuxCustomDataRelation* TuxCustomDataRelationList::Add(TObject* Item) {
  TObject* obj = CreateObject(FController->GetRelationClass(), this);
  auto* relation = dynamic_cast<TuxCustomDataRelation*>(obj);
  if (!relation) {
    delete obj;
    uxDataControllerError("Invalid relation class");
  }
  relation->FRelationList = this;
  relation->FItem = Item;
  AddRelation(relation);
  return relation;
}

void TuxCustomDataRelationList::Assign(TuxCustomDataRelationList* Source) {
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
    if (Source)
      for (TuxCustomDataRelation* r : Source->FItems) Add(r->Item())->AssignFrom(r);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuxCustomDataRelationList::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  NotifyChanged(nullptr);
}

void TuxCustomDataRelationList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex || CurIndex < 0 || CurIndex >= GetCount()) return;
  NewIndex = std::clamp(NewIndex, 0, GetCount() - 1);
  TuxCustomDataRelation* r = FItems[static_cast<std::size_t>(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, r);
  NotifyChanged(nullptr);
}

TuxCustomDataRelation* TuxCustomDataRelationList::RelationItems(int Index) const {
  if (Index < 0 || Index >= GetCount()) return nullptr;
  return FItems[static_cast<std::size_t>(Index)];
}

TuxCustomDataRelation* TuxCustomDataRelationList::RelationByItem(TObject* Item) const {
  for (TuxCustomDataRelation* r : FItems)
    if (r->Item() == Item) return r;
  return nullptr;
}

void TuxCustomDataRelationList::RemoveAllRelations() {
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TuxCustomDataRelationList::IndexOf(const TuxCustomDataRelation* Relation) const {
  auto it = std::find(FItems.begin(), FItems.end(), Relation);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TuxCustomDataRelationList::AddRelation(TuxCustomDataRelation* Relation) {
  FItems.push_back(Relation);
  NotifyChanged(Relation);
}

void TuxCustomDataRelationList::RemoveRelation(TuxCustomDataRelation* Relation) {
  auto it = std::find(FItems.begin(), FItems.end(), Relation);
  if (it == FItems.end()) return;
  if (!FController->IsDestroying()) FController->ClearDetailMasterRelations(Relation);
  FItems.erase(std::find(FItems.begin(), FItems.end(), Relation));
  Relation->FRelationList = nullptr;
  NotifyChanged(Relation);
}

void TuxCustomDataRelationList::NotifyChanged(TuxCustomDataRelation* Relation) {
  if (FLockCount > 0 || FController->IsDestroying()) return;
  FController->BeginInfoUpdate();
  try {
    UpdateRelations(Relation);
  } catch (...) {
    FController->EndInfoUpdate();
    throw;
  }
  FController->EndInfoUpdate();
}

void TuxCustomDataRelationList::UpdateRelations(TuxCustomDataRelation* Relation) {
  if (FItems.empty()) {
    if (FDetailObjectField) {
      TuxCustomDataField* field = FDetailObjectField;
      FDetailObjectField = nullptr;
      delete field;
    }
  } else if (FDetailObjectField) {
    FController->DropAllDetails();
  } else {
    FDetailObjectField = FController->CreateInternalField();
    FDetailObjectField->SetValueType(TuxObjectValueType::Instance());
  }
  FController->ReloadData(Relation);
}

void TuxCustomDataRelationList::DataFieldRemovedFromList(TuxCustomDataField* Field) {
  if (FDetailObjectField == Field) FDetailObjectField = nullptr;
  for (TuxCustomDataRelation* r : FItems) r->DataFieldRemoved(Field);
}

bool TuxCustomDataRelationList::RelationsInUse() const {
  TuxCustomDataController* pattern = FController->GetMasterRelation() ? FController->GetPatternDataController()
                                                                      : FController;
  if (!pattern) return false;
  TuxCustomDataRelationList* relations = pattern->Relations();
  if (!relations) return false;
  for (TuxCustomDataRelation* r : relations->FItems)
    if (r->DetailDataController()) return true;
  return false;
}

TuxDetailObject* TuxCustomDataRelationList::FindDetailObject(int RecordIndex) const {
  if (!FDetailObjectField || !FDetailObjectField->ValueDefinition()) return nullptr;
  TuxDataStorage* store = FController->DataStorage();
  if (RecordIndex < 0 || RecordIndex >= store->RecordCount()) return nullptr;
  Variant v;
  store->RecordValue(RecordIndex, FDetailObjectField->ValueDefinition(), v);
  if (v.IsNull() || v.IsEmpty()) return nullptr;
  return static_cast<TuxDetailObject*>(reinterpret_cast<TObject*>(static_cast<std::intptr_t>(v.AsInt64())));
}

TuxDetailObject* TuxCustomDataRelationList::GetDetailObject(int RecordIndex) {
  FController->CheckRecordRange(RecordIndex);
  if (!FDetailObjectField || !FDetailObjectField->ValueDefinition() || RecordIndex < 0) return nullptr;
  TuxDataStorage* store = FController->DataStorage();
  TuxDetailObject* detail = FindDetailObject(RecordIndex);
  if (RelationsInUse()) {
    if (!detail) {
      detail = new TuxDetailObject;
      detail->ActiveRelationIndex = FController->GetDefaultActiveRelationIndex();
      store->SetRecordValue(RecordIndex, FDetailObjectField->ValueDefinition(),
                            Variant(static_cast<Int64>(reinterpret_cast<std::intptr_t>(static_cast<TObject*>(detail)))));
    }
    detail->ValidateDetailObject(this);
    return detail;
  }
  if (detail) {
    for (int i = 0; i < detail->InfoCount(); ++i)
      if (TObject* link = detail->LinkObject(i))
        if (TuxCustomDataController* dc = FController->GetDetailDataControllerByLinkObject(link))
          dc->SetMasterRelation(nullptr, -1);
    // Null frees the object the cell owns.
    store->SetRecordValue(RecordIndex, FDetailObjectField->ValueDefinition(), Null());
  }
  return nullptr;
}

bool TuxCustomDataRelationList::HasDetailLink(int RecordIndex, int RelationIndex) {
  TuxDetailObject* detail = FindDetailObject(RecordIndex);
  if (!detail) return false;
  if (RelationIndex != -1) return detail->LinkObject(RelationIndex) != nullptr;
  return !detail->IsEmpty();
}

bool TuxCustomDataRelationList::ClearDetailLinks(int RecordIndex, int RelationIndex) {
  TuxDetailObject* detail = FindDetailObject(RecordIndex);
  if (!detail) return false;
  if (RelationIndex == -1) {
    for (int i = detail->InfoCount() - 1; i >= 0; --i) detail->FreeInfoObject(i);
  } else {
    detail->FreeInfoObject(RelationIndex);
  }
  return true;
}
