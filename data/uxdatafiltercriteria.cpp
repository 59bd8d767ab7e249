// Filter criteria bound to a data controller, the value list of a column's
// filter drop-down, and the controller's additional criteria.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"
#include "framework/uxclasses.h"
#include "platform/classes/filer.h"

// ---------------------------------------------------------------------------
// TuxDataFilterCriteriaItem

TuxCustomDataField* TuxDataFilterCriteriaItem::Field() const { return dynamic_cast<TuxCustomDataField*>(ItemLink()); }

// Items of this class are made only by data criteria (GetItemClass).
TuxDataFilterCriteria* TuxDataFilterCriteriaItem::DataCriteria() const {
  return static_cast<TuxDataFilterCriteria*>(GetCriteria());
}

void TuxDataFilterCriteriaItem::GetDataValue(int RecordIndex, Variant& V) {
  TuxCustomDataField* field = Field();
  TuxDataFilterCriteria* criteria = DataCriteria();
  if (!field || !criteria) {
    V = Null();
    return;
  }
  V = criteria->DataController()->GetFilterDataValue(RecordIndex, field);
}

void TuxDataFilterCriteriaItem::GetFieldCaption(AnsiString& S) {
  TuxCustomDataField* field = Field();
  TuxDataFilterCriteria* criteria = DataCriteria();
  S = field && field->Item() && criteria ? criteria->DataController()->GetItemCaption(field->Item()) : AnsiString();
}

void TuxDataFilterCriteriaItem::GetFieldName(AnsiString& S) {
  TuxCustomDataField* field = Field();
  TuxDataFilterCriteria* criteria = DataCriteria();
  S = field && field->Item() && criteria ? criteria->DataController()->GetItemName(field->Item()) : AnsiString();
}

TObject* TuxDataFilterCriteriaItem::GetItemLink() const {
  TuxCustomDataField* field = Field();
  return field ? field->Item() : nullptr;
}

// ---------------------------------------------------------------------------
// TuxDataFilterCriteria

TuxDataFilterCriteria::TuxDataFilterCriteria(TuxCustomDataController* ADataController)
    : FDataController(ADataController) {}

TuxDataFilterCriteria::~TuxDataFilterCriteria() {
  FDestroying = true;
  if (FDataController && FDataController->FilterList()) FDataController->FilterList()->Remove(this);
  FActive = false;
}

TObject* TuxDataFilterCriteria::FieldOfLink(TObject* ItemLink) const {
  if (!ItemLink || dynamic_cast<TuxCustomDataField*>(ItemLink)) return ItemLink;
  TuxCustomDataField* field = FDataController->Fields()->FieldByItem(ItemLink);
  return field ? field : ItemLink;
}

void TuxDataFilterCriteria::ReadCriteria(TStream* Stream) { LoadFromStream(Stream); }

void TuxDataFilterCriteria::WriteCriteria(TStream* Stream) { SaveToStream(Stream); }

void TuxDataFilterCriteria::DefineProperties(TFiler* Filer) {
  TuxFilterCriteria::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Criteria", [this](TStream* S) { ReadCriteria(S); }, [this](TStream* S) { WriteCriteria(S); },
      IsNotDefault());
}

void TuxDataFilterCriteria::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDataFilterCriteria*>(Source);
  if (!source) {
    TuxFilterCriteria::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    TuxFilterCriteria::Assign(Source);
    SetActive(source->Active());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuxDataFilterCriteria::AssignEvents(TPersistent* Source) {
  TuxFilterCriteria::AssignEvents(Source);
  if (auto* source = dynamic_cast<TuxDataFilterCriteria*>(Source)) OnGetValueList = source->OnGetValueList;
}

int TuxDataFilterCriteria::GetIDByItemLink(TObject* ItemLink) {
  auto* field = dynamic_cast<TuxCustomDataField*>(ItemLink);
  TObject* item = field ? field->Item() : ItemLink;
  return item ? FDataController->GetItemID(item) : -1;
}

TObject* TuxDataFilterCriteria::GetItemLinkByID(int ID) {
  TObject* item = FDataController->GetItemByID(ID);
  return item ? FieldOfLink(item) : nullptr;
}

void TuxDataFilterCriteria::DoChanged() {
  if (FDestroying || !FDataController || FDataController->IsDestroying() || FDataController->IsLoading()) return;
  if (FDataController->FilterList() && FDataController->FilterList()->Contains(this)) return;
  if (!FDataController->Provider()->IsActive()) FDataController->Post();
  FDataController->FilterChanged();
  TuxFilterCriteria::DoChanged();
}

TuxFilterCriteriaItem* TuxDataFilterCriteria::AddItemTo(TuxFilterCriteriaItemList* List, TObject* AItemLink,
                                                        Byte AOperatorKind, const Variant& AValue,
                                                        const AnsiString& ADisplayValue) {
  return TuxFilterCriteria::AddItemTo(List, FieldOfLink(AItemLink), AOperatorKind, AValue, ADisplayValue);
}

TuxFilterCriteriaItem* TuxDataFilterCriteria::FindItemByItemLink(TObject* ItemLink) {
  auto* field = dynamic_cast<TuxCustomDataField*>(ItemLink);
  return TuxFilterCriteria::FindItemByItemLink(field ? field->Item() : ItemLink);
}

namespace {

// A value converted to the kind of a column's values; left as it is when it
// does not convert.
void ConvertToField(TuxCustomDataField* Field, const Variant& V, Variant& Result) {
  Result = V;
  TuxValueTypeClass type = Field ? Field->ValueType() : nullptr;
  if (!type || V.IsNull() || V.IsEmpty()) return;
  if (V.IsArray()) {
    std::vector<Variant> items(static_cast<std::size_t>(V.ElementCount()));
    for (int i = 0; i < V.ElementCount(); ++i) ConvertToField(Field, V[V.LowBound() + i], items[static_cast<std::size_t>(i)]);
    Result = VarArrayOf(items);
    return;
  }
  Variant converted = V;
  if (type->ConvertVariant(converted)) Result = converted;
}

}  // namespace

void TuxDataFilterCriteria::PrepareConditionValue(TuxFilterCriteriaItem* Item, const Variant& V, Variant& Result) {
  TuxFilterOperator* op = Item->Operator();
  const bool textOperator = dynamic_cast<TuxFilterLikeOperator*>(op) != nullptr;
  if (textOperator || (op && op->IsNullOperator())) {
    PrepareValue(V, Result);
    return;
  }
  Variant converted;
  ConvertToField(dynamic_cast<TuxCustomDataField*>(Item->ItemLink()), V, converted);
  PrepareValue(converted, Result);
}

bool TuxDataFilterCriteria::IsFiltering() { return FActive && !IsEmpty() && !FDataController->IsGridMode(); }

void TuxDataFilterCriteria::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// TuxDataFilterList

void TuxDataFilterList::Clear() {
  while (!FItems.empty()) {
    TuxDataFilterCriteria* c = FItems.back();
    FItems.pop_back();
    delete c;
  }
}

void TuxDataFilterList::Remove(TuxDataFilterCriteria* Criteria) {
  auto it = std::find(FItems.begin(), FItems.end(), Criteria);
  if (it != FItems.end()) FItems.erase(it);
}

bool TuxDataFilterList::Contains(const TuxDataFilterCriteria* Criteria) const {
  return std::find(FItems.begin(), FItems.end(), Criteria) != FItems.end();
}

void TuxDataFilterList::RemoveItemLink(TObject* ItemLink) {
  for (TuxDataFilterCriteria* c : FItems) c->RemoveItemLink(ItemLink);
}

// ---------------------------------------------------------------------------
// TuxDataFilterValueList

TuxDataFilterCriteria* TuxDataFilterValueList::DataCriteria() const {
  return dynamic_cast<TuxDataFilterCriteria*>(Criteria());
}

void TuxDataFilterValueList::Load(int AItemIndex, bool AInitSortByDisplayText, bool AUseFilteredValues) {
  TuxDataFilterCriteria* criteria = DataCriteria();
  TuxCustomDataController* c = criteria->DataController();
  c->CheckItemRange(AItemIndex);
  Clear();
  if (AInitSortByDisplayText) SetSortByDisplayText(c->IsItemSortByDisplayText(AItemIndex));
  Add(fveAll, Null(), false, uxTranslateString(uxSFilterBoxAllCaption));
  Add(fveCustom, Null(), false, uxTranslateString(uxSFilterBoxCustomCaption));
  TuxCustomDataField* field = c->GetItemField(AItemIndex);
  bool blanks = false;
  if (c->IsGridMode()) {
    blanks = true;
  } else {
    const bool filtered = AUseFilteredValues && c->GetFilteredRecordCount() > 0;
    if (!filtered) AUseFilteredValues = false;
    const int count = filtered ? c->GetFilteredRecordCount() : c->GetRecordCount();
    for (int i = 0; i < count; ++i) {
      const int record = filtered ? c->GetFilteredRecordIndex(i) : i;
      const Variant value = c->GetFilterDataValue(record, field);
      if (criteria->IsNullValue(value)) {
        blanks = true;
        continue;
      }
      Add(fveValue, value, false, c->GetFilterValueText(record, AItemIndex));
    }
  }
  if (blanks) Add(fveBlanks, Null(), false, uxTranslateString(uxSFilterBoxBlanksCaption));
  bool nonBlanks = blanks;
  if (!nonBlanks && AUseFilteredValues) {
    TuxFilterCriteriaItem* condition = criteria->FindItemByItemLink(field);
    nonBlanks = condition && dynamic_cast<TuxFilterNotNullOperator*>(condition->Operator()) != nullptr;
  }
  if (nonBlanks) Add(fveNonBlanks, Null(), false, uxTranslateString(uxSFilterBoxNonBlanksCaption));
  if (criteria->OnGetValueList) criteria->OnGetValueList(criteria, AItemIndex, this);
}
