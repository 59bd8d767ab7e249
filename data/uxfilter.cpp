// The criteria tree: building, evaluation, texts and the filter stream.
#include "data/uxfilter.h"

#include "data/uxdataconsts.h"
#include "data/uxvariants.h"
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

namespace {

[[noreturn]] void AbstractError() { throw EInvalidOperation(SAbstractError); }

bool IsNotGroup(TuxFilterGroupOperator Op) { return Op == fgoNotAnd || Op == fgoNotOr; }

}  // namespace

// ---------------------------------------------------------------------------
// Nodes

TuxCustomFilterCriteriaItem::~TuxCustomFilterCriteriaItem() {
  if (FParent) FParent->RemoveChild(this);
}

void TuxCustomFilterCriteriaItem::NotifyChanged() {
  if (TuxFilterCriteria* criteria = GetCriteria()) criteria->Changed();
}

TuxFilterCriteria* TuxCustomFilterCriteriaItem::GetCriteria() const {
  return FParent ? FParent->GetCriteria() : nullptr;
}

void TuxCustomFilterCriteriaItem::SaveTo(TStream* Stream) { uxWriteByte(Stream, IsItemList() ? 1 : 0); }

TuxFilterCriteriaItemList::TuxFilterCriteriaItemList(TuxFilterCriteriaItemList* AParent,
                                                     TuxFilterGroupOperator ABoolOperatorKind)
    : TuxCustomFilterCriteriaItem(AParent), FBoolOperatorKind(ABoolOperatorKind) {}

TuxFilterCriteriaItemList::~TuxFilterCriteriaItemList() {
  while (!FItems.empty()) {
    TuxCustomFilterCriteriaItem* child = FItems.back();
    FItems.pop_back();
    child->FParent = nullptr;
    delete child;
  }
}

TuxFilterCriteria* TuxFilterCriteriaItemList::GetCriteria() const {
  return FCriteria ? FCriteria : TuxCustomFilterCriteriaItem::GetCriteria();
}

void TuxFilterCriteriaItemList::SaveTo(TStream* Stream) {
  TuxCustomFilterCriteriaItem::SaveTo(Stream);
  uxWriteByte(Stream, FBoolOperatorKind);
  uxWriteInt32(Stream, GetCount());
  for (TuxCustomFilterCriteriaItem* child : FItems) child->SaveTo(Stream);
}

void TuxFilterCriteriaItemList::RemoveChild(TuxCustomFilterCriteriaItem* Child) {
  auto it = std::find(FItems.begin(), FItems.end(), Child);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Child->FParent = nullptr;
  NotifyChanged();
}

TuxFilterCriteriaItem* TuxFilterCriteriaItemList::AddItem(TObject* AItemLink, Byte AOperatorKind,
                                                          const Variant& AValue, const AnsiString& ADisplayValue) {
  TuxFilterCriteria* criteria = GetCriteria();
  if (!criteria) throw EInvalidOperation(SInvalidArgument);
  return criteria->AddItemTo(this, AItemLink, AOperatorKind, AValue, ADisplayValue);
}

TuxFilterCriteriaItemList* TuxFilterCriteriaItemList::AddItemList(TuxFilterGroupOperator ABoolOperatorKind) {
  auto* list = new TuxFilterCriteriaItemList(this, ABoolOperatorKind);
  FItems.push_back(list);
  NotifyChanged();
  return list;
}

void TuxFilterCriteriaItemList::Clear() {
  TuxFilterCriteria* criteria = GetCriteria();
  if (criteria) criteria->BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
  } catch (...) {
    if (criteria) criteria->EndUpdate();
    throw;
  }
  if (criteria) criteria->EndUpdate();
}

TuxCustomFilterCriteriaItem* TuxFilterCriteriaItemList::GetItem(int Index) const {
  return Index >= 0 && Index < GetCount() ? FItems[static_cast<std::size_t>(Index)] : nullptr;
}

void TuxFilterCriteriaItemList::SetBoolOperatorKind(TuxFilterGroupOperator Value) {
  if (FBoolOperatorKind == Value) return;
  FBoolOperatorKind = Value;
  NotifyChanged();
}

// ---- conditions ----

TuxFilterCriteriaItem::~TuxFilterCriteriaItem() { delete FOperator; }

void TuxFilterCriteriaItem::Initialize(TObject* AItemLink, Byte AOperatorKind, const Variant& AValue,
                                       const AnsiString& ADisplayValue) {
  FItemLink = AItemLink;
  FOperatorKind = AOperatorKind;
  FValue = AValue;
  FDisplayValue = ADisplayValue;
  RecreateOperator();
  if (FOperator->IsNullOperator() && FDisplayValue.empty()) uxFilterDisplayText(uxSFilterBlankCaption, FDisplayValue);
}

void TuxFilterCriteriaItem::SaveTo(TStream* Stream) {
  TuxCustomFilterCriteriaItem::SaveTo(Stream);
  uxWriteByte(Stream, FOperatorKind);
  uxWriteAnsiString(Stream, FDisplayValue);
  uxWriteInt32(Stream, GetCriteria()->GetIDByItemLink(FItemLink));
  uxWriteVariant(Stream, FValue);
}

void TuxFilterCriteriaItem::GetDataValue(int RecordIndex, Variant& V) { AbstractError(); }

void TuxFilterCriteriaItem::GetDisplayValue(AnsiString& S) {
  S = FDisplayValue;
  FOperator->FormatDisplayValue(S);
}

void TuxFilterCriteriaItem::GetValueText(bool ForDisplay, AnsiString& S) {
  if (ForDisplay)
    GetDisplayValue(S);
  else
    FOperator->GetValueText(FValue, S);
}

void TuxFilterCriteriaItem::GetFieldCaption(AnsiString& S) { AbstractError(); }
void TuxFilterCriteriaItem::GetFieldName(AnsiString& S) { AbstractError(); }

TuxFilterOperatorClass TuxFilterCriteriaItem::GetOperatorClass() {
  const bool nullable = FOperatorKind == fckEqual || FOperatorKind == fckNotEqual || FOperatorKind == fckLike ||
                        FOperatorKind == fckNotLike;
  if (nullable && IsNullValue(FValue)) {
    const bool negated = FOperatorKind == fckNotEqual || FOperatorKind == fckNotLike;
    return negated ? TuxFilterNotNullOperator::StaticClass() : TuxFilterNullOperator::StaticClass();
  }
  return uxFilterOperatorClassOfKind(FOperatorKind);
}

void TuxFilterCriteriaItem::RecreateOperator() {
  delete FOperator;
  FOperator = nullptr;
  const TuxFilterOperatorClass cls = GetOperatorClass();
  TObject* obj = cls && cls->Create ? cls->Create(this) : nullptr;
  FOperator = dynamic_cast<TuxFilterOperator*>(obj);
  if (!FOperator) {
    delete obj;
    throw EInvalidOperation(Format("Invalid filter condition kind %d", {static_cast<int>(FOperatorKind)}));
  }
  NotifyChanged();
}

bool TuxFilterCriteriaItem::IsNullValue(const Variant& V) {
  TuxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->IsNullValue(V) : V.IsNull();
}

// ---------------------------------------------------------------------------
// TuxFilterCriteria

TuxFilterCriteria::TuxFilterCriteria() {
  FRoot = new TuxFilterCriteriaItemList(nullptr, fgoAnd);
  FRoot->FCriteria = this;
}

TuxFilterCriteria::~TuxFilterCriteria() { delete FRoot; }

void TuxFilterCriteria::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxFilterCriteria*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    SetDateTimeFormat(source->FDateTimeFormat);
    FMaxValueListCount = source->FMaxValueListCount;
    SetOptions(source->FOptions);
    SetPercentWildcard(source->FPercentWildcard);
    FSupportedLike = source->FSupportedLike;
    FTranslateBetween = source->FTranslateBetween;
    FTranslateIn = source->FTranslateIn;
    FTranslateLike = source->FTranslateLike;
    SetUnderscoreWildcard(source->FUnderscoreWildcard);
    AssignCriteria(source);
    AssignEvents(source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuxFilterCriteria::CheckChanged() {
  if (!FChangePending || FLockCount != 0) return;
  FChangePending = false;
  PrepareOperators();
  DoChanged();
}

void TuxFilterCriteria::GetBooleanText(const Variant& V, AnsiString& S) { S = VarToStr(V); }

void TuxFilterCriteria::GetDateText(const Variant& V, AnsiString& S) {
  const TDateTime d = V.AsDateTime();
  S = FDateTimeFormat.empty() ? DateTimeToStr(d, DefaultFormatSettings())
                              : FormatDateTime(FDateTimeFormat, d, DefaultFormatSettings());
}

void TuxFilterCriteria::BuildText(bool ForDisplay, AnsiString& S) { BuildListText(FRoot, ForDisplay, S); }

void TuxFilterCriteria::BuildListText(TuxFilterCriteriaItemList* List, bool ForDisplay, AnsiString& S) {
  const TuxFilterGroupOperator op = List->BoolOperatorKind();
  const bool orGroup = op == fgoOr || op == fgoNotOr;
  AnsiString word = ForDisplay ? uxFilterDisplayText(orGroup ? uxSFilterOrCaption : uxSFilterAndCaption)
                               : AnsiString(orGroup ? "OR" : "AND");
  S.clear();
  for (int i = 0; i < List->GetCount(); ++i) {
    TuxCustomFilterCriteriaItem* child = List->GetItem(i);
    if (i > 0) S += " " + word + " ";
    AnsiString text;
    if (child->IsItemList())
      BuildListText(static_cast<TuxFilterCriteriaItemList*>(child), ForDisplay, text);
    else
      BuildItemText(static_cast<TuxFilterCriteriaItem*>(child), ForDisplay, text);
    S += "(" + text + ")";
  }
  if (IsNotGroup(op))
    S = (ForDisplay ? uxFilterDisplayText(uxSFilterNotCaption) : AnsiString("NOT")) + " (" + S + ")";
}

int TuxFilterCriteria::GetIDByItemLink(TObject* ItemLink) { AbstractError(); }

void TuxFilterCriteria::BuildItemText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S) {
  if (!ForDisplay && Item->Operator()->UsesExpression()) {
    Item->Operator()->GetExpressionText(Item->Value(), S);
    return;
  }
  AnsiString field, op, value;
  GetItemFieldText(Item, ForDisplay, field);
  GetItemOperatorText(Item, ForDisplay, op);
  GetItemValueText(Item, ForDisplay, value);
  S = field + " " + op;
  if (!value.empty()) S += " " + value;
}

void TuxFilterCriteria::GetItemFieldText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S) {
  if (ForDisplay)
    Item->GetFieldCaption(S);
  else
    Item->GetFieldName(S);
}

void TuxFilterCriteria::GetItemOperatorText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S) {
  TuxFilterOperator* op = Item->Operator();
  if (ForDisplay && (op->PrefersDisplayName() || FOptions.Contains(fcoShowOperatorDescription)))
    op->GetDisplayName(S);
  else
    op->GetKeyword(S);
}

void TuxFilterCriteria::GetItemValueText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S) {
  Item->GetValueText(ForDisplay, S);
}

TObject* TuxFilterCriteria::GetItemLinkByID(int ID) { AbstractError(); }

TClass TuxFilterCriteria::GetValueListClass() { return TuxFilterValueList::StaticClass(); }

TuxFilterValueList* TuxFilterCriteria::CreateValueList() {
  const TClass cls = GetValueListClass();
  TObject* obj = cls && cls->Create ? cls->Create(this) : nullptr;
  auto* list = dynamic_cast<TuxFilterValueList*>(obj);
  if (!list) {
    delete obj;
    throw EInvalidOperation(SAbstractError);
  }
  return list;
}

void TuxFilterCriteria::PrepareOperators() { PrepareList(FRoot); }

void TuxFilterCriteria::PrepareList(TuxFilterCriteriaItemList* List) {
  for (int i = 0; i < List->GetCount(); ++i) {
    TuxCustomFilterCriteriaItem* child = List->GetItem(i);
    if (child->IsItemList())
      PrepareList(static_cast<TuxFilterCriteriaItemList*>(child));
    else if (TuxFilterOperator* op = static_cast<TuxFilterCriteriaItem*>(child)->Operator())
      op->Prepare();
  }
}

void TuxFilterCriteria::PrepareValue(const Variant& V, Variant& Result) {
  const Word vt = V.Type();
  if (vt == varCurrency) {
    Result = Variant(V.AsDouble());
  } else if (vt == varString || vt == varOleStr) {
    if (FOptions.Contains(fcoCaseInsensitive))
      Result = Variant(AnsiUpperCase(VarToStr(V)));
    else if (&Result != &V)
      Result = V;
  } else if (V.IsArray()) {
    std::vector<Variant> items(static_cast<std::size_t>(V.ElementCount()));
    for (int i = 0; i < V.ElementCount(); ++i) PrepareValue(V[V.LowBound() + i], items[static_cast<std::size_t>(i)]);
    Result = VarArrayOf(items);
  } else if (&Result != &V) {
    Result = V;
  }
}

void TuxFilterCriteria::DoChanged() {
  if (OnChanged) OnChanged(this);
}

void TuxFilterCriteria::AssignEvents(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuxFilterCriteria*>(Source)) OnChanged = source->OnChanged;
}

void TuxFilterCriteria::AssignCriteria(TuxFilterCriteria* Source) {
  if (!Source || EqualsCriteria(Source)) return;
  TMemoryStream stream;
  Source->SaveToStream(&stream);
  stream.SetPosition(0);
  BeginUpdate();
  try {
    LoadFromStream(&stream);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TuxFilterCriteriaItem* TuxFilterCriteria::AddItemTo(TuxFilterCriteriaItemList* List, TObject* AItemLink,
                                                    Byte AOperatorKind, const Variant& AValue,
                                                    const AnsiString& ADisplayValue) {
  if (!List) List = FRoot;
  const TClass cls = GetItemClass();
  TObject* obj = cls && cls->Create ? cls->Create(List) : nullptr;
  auto* item = dynamic_cast<TuxFilterCriteriaItem*>(obj);
  if (!item) {
    delete obj;
    throw EInvalidOperation(SAbstractError);
  }
  BeginUpdate();
  try {
    List->FItems.push_back(item);
    item->Initialize(AItemLink, AOperatorKind, AValue, ADisplayValue);
  } catch (...) {
    delete item;
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

void TuxFilterCriteria::Changed() {
  FChangePending = true;
  CheckChanged();
}

TuxFilterCriteriaItem* TuxFilterCriteria::FindItemByItemLink(TObject* ItemLink) {
  return FindInList(FRoot, ItemLink);
}

TuxFilterCriteriaItem* TuxFilterCriteria::FindInList(TuxFilterCriteriaItemList* List, TObject* ItemLink) {
  for (int i = 0; i < List->GetCount(); ++i) {
    TuxCustomFilterCriteriaItem* child = List->GetItem(i);
    if (child->IsItemList()) {
      if (auto* found = FindInList(static_cast<TuxFilterCriteriaItemList*>(child), ItemLink)) return found;
    } else if (static_cast<TuxFilterCriteriaItem*>(child)->GetItemLink() == ItemLink) {
      return static_cast<TuxFilterCriteriaItem*>(child);
    }
  }
  return nullptr;
}

void TuxFilterCriteria::RestoreDefaults() {
  BeginUpdate();
  SetOptions(TuxFilterCriteriaOptions());
  SetPercentWildcard('%');
  FSupportedLike = true;
  FTranslateBetween = false;
  FTranslateIn = false;
  FTranslateLike = false;
  SetUnderscoreWildcard('_');
  EndUpdate();
}

bool TuxFilterCriteria::IsNullValue(const Variant& V) {
  return FOptions.Contains(fcoSoftNull) ? uxVarIsNullOrEmpty(V) : V.IsNull();
}

void TuxFilterCriteria::EndUpdate() {
  --FLockCount;
  CheckChanged();
}

void TuxFilterCriteria::Clear() {
  BeginUpdate();
  try {
    FRoot->Clear();
    FRoot->SetBoolOperatorKind(fgoAnd);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// Removing the last condition of a list removes the list (and each ancestor
// left empty, the root excepted); a list left with one condition under AND or
// OR gives it to its parent. NOT AND and NOT OR lists keep their negation.
void TuxFilterCriteria::TidyList(TuxFilterCriteriaItemList* List) {
  if (!List || List == FRoot) return;
  if (List->GetCount() == 0) {
    TuxFilterCriteriaItemList* parent = List->Parent();
    delete List;
    while (parent && parent != FRoot && parent->GetCount() == 0) {
      TuxFilterCriteriaItemList* next = parent->Parent();
      delete parent;
      parent = next;
    }
    return;
  }
  if (List->GetCount() == 1 && !IsNotGroup(List->BoolOperatorKind())) {
    TuxFilterCriteriaItemList* parent = List->Parent();
    TuxCustomFilterCriteriaItem* child = List->FItems.front();
    List->FItems.clear();
    delete List;  // leaves its parent
    child->FParent = parent;
    parent->FItems.push_back(child);
    parent->NotifyChanged();
  }
}

void TuxFilterCriteria::RemoveItemByItemLink(TObject* ItemLink) {
  BeginUpdate();
  bool removed = false;
  try {
    while (TuxFilterCriteriaItem* item = FindItemByItemLink(ItemLink)) {
      TuxFilterCriteriaItemList* parent = item->Parent();
      delete item;
      removed = true;
      TidyList(parent);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  if (removed)
    EndUpdate();
  else
    CancelUpdate();
}

bool TuxFilterCriteria::MatchesRecord(int RecordIndex) { return MatchesList(FRoot, RecordIndex); }

bool TuxFilterCriteria::MatchesList(TuxFilterCriteriaItemList* List, int RecordIndex) {
  const TuxFilterGroupOperator op = List->BoolOperatorKind();
  bool result = true;
  for (int i = 0; i < List->GetCount(); ++i) {
    TuxCustomFilterCriteriaItem* child = List->GetItem(i);
    const bool a = child->IsItemList() ? MatchesList(static_cast<TuxFilterCriteriaItemList*>(child), RecordIndex)
                                       : MatchesItem(static_cast<TuxFilterCriteriaItem*>(child), RecordIndex);
    if (i == 0) {
      result = IsNotGroup(op) ? !a : a;
      continue;
    }
    switch (op) {
      case fgoAnd: result = result && a; break;
      case fgoOr: result = result || a; break;
      case fgoNotAnd: result = result || !a; break;
      case fgoNotOr: result = result && !a; break;
    }
  }
  return result;
}

void TuxFilterCriteria::BeginMatching() {
  FPreparedValues.clear();
  FMatching = true;
}

void TuxFilterCriteria::EndMatching() {
  FMatching = false;
  FPreparedValues.clear();
}

bool TuxFilterCriteria::MatchesItem(TuxFilterCriteriaItem* Item, int RecordIndex) {
  Variant r, c;
  Item->GetDataValue(RecordIndex, r);
  try {
    PrepareValue(r, r);
    const Variant* condition = nullptr;
    if (FMatching) {
      for (const auto& p : FPreparedValues)
        if (p.first == Item) condition = &p.second;
      if (!condition) {
        PrepareConditionValue(Item, Item->Value(), c);
        FPreparedValues.emplace_back(Item, c);
        condition = &FPreparedValues.back().second;
      }
    } else {
      PrepareConditionValue(Item, Item->Value(), c);
      condition = &c;
    }
    if (FOptions.Contains(fcoIgnoreNull) && !Item->Operator()->IsNullOperator() && IsNullValue(r)) return false;
    return Item->Operator()->IsMatch(r, *condition);
  } catch (const EVariantTypeCastError&) {
    if (FOptions.Contains(fcoSoftCompare)) return false;
    throw;
  } catch (const EVariantOverflowError&) {
    if (FOptions.Contains(fcoSoftCompare)) return false;
    throw;
  }
}

bool TuxFilterCriteria::EqualsCriteria(TuxFilterCriteria* Other) {
  if (!Other) return false;
  TStringStream a, b;
  SaveToStream(&a);
  Other->SaveToStream(&b);
  return a.DataString() == b.DataString();
}

void TuxFilterCriteria::SetDateTimeFormat(const AnsiString& Value) {
  if (FDateTimeFormat == Value) return;
  FDateTimeFormat = Value;
  Changed();
}

void TuxFilterCriteria::SetOptions(TuxFilterCriteriaOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  Changed();
}

void TuxFilterCriteria::SetPercentWildcard(char Value) {
  if (FPercentWildcard == Value) return;
  FPercentWildcard = Value;
  Changed();
}

void TuxFilterCriteria::SetUnderscoreWildcard(char Value) {
  if (FUnderscoreWildcard == Value) return;
  FUnderscoreWildcard = Value;
  Changed();
}

// ---- the component stream ----

PV_ENUM_NAMES(TuxFilterCriteriaOption,
              "fcoCaseInsensitive fcoShowOperatorDescription fcoSoftNull fcoSoftCompare fcoIgnoreNull")

void uxRegisterFilterCriteriaProps() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterProps<TuxFilterCriteria>([](TPropBuilder<TuxFilterCriteria>& p) {
    p.Prop("MaxValueListCount", &TuxFilterCriteria::MaxValueListCount, &TuxFilterCriteria::SetMaxValueListCount)
        .Default(0);
    p.Prop("Options", &TuxFilterCriteria::Options, &TuxFilterCriteria::SetOptions)
        .Default(TuxFilterCriteriaOptions());
    p.Prop("PercentWildcard", &TuxFilterCriteria::PercentWildcard, &TuxFilterCriteria::SetPercentWildcard)
        .Default('%');
    p.Prop("UnderscoreWildcard", &TuxFilterCriteria::UnderscoreWildcard, &TuxFilterCriteria::SetUnderscoreWildcard)
        .Default('_');
    p.Field("OnChanged", &TuxFilterCriteria::OnChanged);
  });
  RegisterProps<TFilterWrapper>([](TPropBuilder<TFilterWrapper>& p) { p.Prop("Filter", &TFilterWrapper::Filter); });
}

void TuxFilterCriteria::ReadComponentData(TStream* Stream) {
  TFilterWrapper wrapper;
  wrapper.SetFilter(this);
  BeginUpdate();
  try {
    ReadComponentFromStream(Stream, &wrapper);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuxFilterCriteria::WriteComponentData(TStream* Stream) {
  TFilterWrapper wrapper;
  wrapper.SetFilter(this);
  WriteComponentToStream(Stream, &wrapper);
}

// ---- the filter stream ----

void TuxFilterCriteria::SaveToStream(TStream* Stream) {
  uxWriteInt32(Stream, -1);
  uxWriteByte(Stream, FRoot->BoolOperatorKind());
  uxWriteInt32(Stream, FRoot->GetCount());
  for (int i = 0; i < FRoot->GetCount(); ++i) FRoot->GetItem(i)->SaveTo(Stream);
}

void TuxFilterCriteria::LoadFromStream(TStream* Stream) {
  const bool wasPending = FChangePending;
  BeginUpdate();
  auto* root = new TuxFilterCriteriaItemList(nullptr, fgoAnd);
  root->FCriteria = this;
  try {
    Int64 count = uxReadInt32(Stream);
    if (count == -1) {
      const Byte op = uxReadByte(Stream);
      if (op > fgoNotOr) uxStreamReadError();
      root->FBoolOperatorKind = static_cast<TuxFilterGroupOperator>(op);
      count = uxReadInt32(Stream);
    }
    ReadList(Stream, root, count, 0);
  } catch (...) {
    delete root;
    FChangePending = wasPending;
    CancelUpdate();
    throw;
  }
  delete FRoot;
  FRoot = root;
  Changed();
  EndUpdate();
}

void TuxFilterCriteria::ReadList(TStream* Stream, TuxFilterCriteriaItemList* List, Int64 Count, int Depth) {
  // Every node takes at least one byte.
  if (Count < 0 || Count > Stream->Remaining() || Depth > uxMaxFilterNesting) uxStreamReadError();
  for (Int64 i = 0; i < Count; ++i) {
    if (uxReadByte(Stream) != 0) {
      const Byte op = uxReadByte(Stream);
      if (op > fgoNotOr) uxStreamReadError();
      TuxFilterCriteriaItemList* list = List->AddItemList(static_cast<TuxFilterGroupOperator>(op));
      ReadList(Stream, list, uxReadInt32(Stream), Depth + 1);
      list->LoadExtra(Stream);
    } else {
      const Byte kind = uxReadByte(Stream);
      if (kind > uxFilterLastConditionKind) uxStreamReadError();
      AnsiString displayValue;
      uxReadAnsiString(Stream, displayValue);
      TObject* link = GetItemLinkByID(uxReadInt32(Stream));
      Variant value;
      uxReadVariant(Stream, value);
      AddItemTo(List, link, kind, value, displayValue)->LoadExtra(Stream);
    }
  }
}
