// Footer and group summaries: items, collections, summary groups, the
// calculation over the filtered records and over each group, and the texts.
#include <algorithm>

#include "data/uxcustomdata.h"
#include "data/uxdataconsts.h"
#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

// ---------------------------------------------------------------------------
// Summary items

TuxCustomDataController* TuxCustomDataSummaryItem::GetDataController() const {
  auto* items = dynamic_cast<TuxDataSummaryItems*>(Collection());
  return items && items->Summary() ? items->Summary()->DataController() : nullptr;
}

TObject* TuxCustomDataSummaryItem::GetItemLink() const { return FField ? FField->Item() : nullptr; }

void TuxCustomDataSummaryItem::SetItemLink(TObject* Value) {
  if (GetItemLink() == Value && (Value || !FField)) return;
  TuxCustomDataController* c = GetDataController();
  TuxCustomDataField* field = Value && c ? c->Fields()->FieldByItem(Value) : nullptr;
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    ItemLinkChanging(field);
    FField = field;
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TuxCustomDataSummaryItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxCustomDataSummaryItem*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  TuxCustomDataController* c = GetDataController();
  TObject* link = source->GetItemLink();
  SetItemLink(link && c ? c->FindItemByItem(link) : nullptr);
}

TuxDataSummaryItem::~TuxDataSummaryItem() {
  // The controller forgets a summary sort item that points at this item's field
  // only through FieldRemoved; nothing here holds a reference to the item itself.
}

TuxDataSummaryItems* TuxDataSummaryItem::SummaryItems() const { return dynamic_cast<TuxDataSummaryItems*>(Collection()); }

bool TuxDataSummaryItem::IsCurrency(Word VarType) { return uxVarTypeIsCurrency(VarType); }

bool TuxDataSummaryItem::IsDataItem() { return FField != nullptr || (FKind == skCount && Position() == spGroup); }

bool TuxDataSummaryItem::HasStoredPosition() {
  TuxDataSummaryItems* items = SummaryItems();
  return !items || items->IsItemPositionStored(this);
}

TuxSummaryPosition TuxDataSummaryItem::Position() const {
  TuxDataSummaryItems* items = SummaryItems();
  return items ? items->GetItemPosition(const_cast<TuxDataSummaryItem*>(this)) : FPosition;
}

void TuxDataSummaryItem::SetPosition(TuxSummaryPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  Changed(false);
}

void TuxDataSummaryItem::SetFormat(const AnsiString& Value) {
  if (FFormat == Value) return;
  FFormat = Value;
  Changed(false);
}

void TuxDataSummaryItem::SetKind(TuxSummaryKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed(true);
}

void TuxDataSummaryItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDataSummaryItem*>(Source);
  if (!source) {
    TuxCustomDataSummaryItem::Assign(Source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    TuxCustomDataSummaryItem::Assign(Source);
    FFormat = source->FFormat;
    FKind = source->FKind;
    FPosition = source->FPosition;
    OnGetText = source->OnGetText;
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TuxDataSummaryItem::GetValueDisplayText(const Variant& Value, bool IsFooter, AnsiString& Text) {
  if (Value.IsNull() || Value.IsEmpty()) {
    Text.clear();
  } else if (FKind == skNone) {
    Text = VarToStrDef(Value, "");
  } else {
    const bool isDate = uxVarIsDateTime(Value);
    AnsiString format = FFormat;
    if (format.empty()) {
      const int valueClass = IsCurrency(Value.Type()) ? uxsvcCurrency : (isDate ? uxsvcDate : uxsvcOther);
      if (TuxDataSummaryItems* items = SummaryItems()) items->GetDefaultFormat(valueClass, FKind, IsFooter, format);
    }
    if (isDate && FKind != skCount) {
      const TDateTime d = Value.AsDateTime();
      const double whole = uxIntPart(d), fraction = uxFracPart(d);
      if (fraction == 0)
        Text = format + DateToStr(d);
      else if (whole == 0)
        Text = format + TimeToStr(d);
      else
        Text = format + DateTimeToStr(d);
    } else {
      try {
        Text = FormatFloat(format, Value.AsDouble());
      } catch (const EVariantError&) {
        Text = VarToStrDef(Value, "");
      }
    }
  }
  if (OnGetText) OnGetText(this, Value, IsFooter, Text);
}

// ---------------------------------------------------------------------------
// TuxDataSummaryItems

TuxDataSummaryItems::TuxDataSummaryItems(TuxDataSummary* ASummary, TuxDataSummaryItemClass AItemClass)
    : TuxCollection(AItemClass), FSummary(ASummary) {}

TPersistent* TuxDataSummaryItems::GetOwner() const { return FSummary; }

void TuxDataSummaryItems::Update(TCollectionItem* Item) {
  if (FSummary) FSummary->Changed(Item != nullptr);
}

TuxSummaryPosition TuxDataSummaryItems::GetItemPosition(TuxDataSummaryItem* Item) {
  return Item->StoredPosition();
}

TuxDataSummaryItem* TuxDataSummaryItems::GetItemByItemIndex(int ItemIndex, TuxSummaryPosition Position) {
  TuxCustomDataController* c = FSummary->DataController();
  c->CheckItemRange(ItemIndex);
  TuxCustomDataField* field = c->GetItemField(ItemIndex);
  for (int i = 0; i < Count(); ++i) {
    TuxDataSummaryItem* item = GetItem(i);
    if (item->Field() == field && item->Position() == Position) return item;
  }
  return nullptr;
}

bool TuxDataSummaryItems::IsItemEmpty(bool CheckFormat, const AnsiString& Format, TuxSummaryKind Kind) {
  return Kind == skNone && (!CheckFormat || Format.empty());
}

void TuxDataSummaryItems::AssignEvents(TuxDataSummaryItems* Source) { OnSummary = Source->OnSummary; }

void TuxDataSummaryItems::GetDefaultFormat(int ValueClass, TuxSummaryKind Kind, bool IsFooter, AnsiString& Format) {
  static const char* const kTable[6][6] = {
      {"", "", "", "", "", ""},
      {"SUM=%s;SUM=-%s", "%s;-%s", "SUM=", "", "SUM=0.00;SUM=-0.00", "0.00;-0.00"},
      {"MIN=%s;MIN=-%s", "MIN=%s;MIN=-%s", "MIN=", "MIN=", "MIN=0.00;MIN=-0.00", "MIN=0.00;MIN=-0.00"},
      {"MAX=%s;MAX=-%s", "MAX=%s;MAX=-%s", "MAX=", "MAX=", "MAX=0.00;MAX=-0.00", "MAX=0.00;MAX=-0.00"},
      {"COUNT=0", "0", "COUNT=0", "0", "COUNT=0", "0"},
      {"AVG=%s;AVG=-%s", "AVG=%s;AVG=-%s", "AVG=", "AVG=", "AVG=0.00;AVG=-0.00", "AVG=0.00;AVG=-0.00"},
  };
  Format = kTable[Kind][ValueClass * 2 + (IsFooter ? 1 : 0)];
  if (ValueClass == uxsvcCurrency && Kind != skCount && Kind != skNone) {
    AnsiString currency;
    uxGetCurrencyFormat(currency);
    AnsiString result;
    for (std::size_t i = 0; i < Format.size(); ++i) {
      if (Format[i] == '%' && i + 1 < Format.size() && Format[i + 1] == 's') {
        result += currency;
        ++i;
      } else {
        result += Format[i];
      }
    }
    Format = result;
  }
}

int TuxDataSummaryItems::IndexOfItemLink(TObject* ItemLink) const {
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->GetItemLink() == ItemLink) return i;
  return -1;
}

TuxDataSummaryItem* TuxDataSummaryItems::ItemOfItemLink(TObject* ItemLink) const {
  const int i = IndexOfItemLink(ItemLink);
  return i == -1 ? nullptr : GetItem(i);
}

int TuxDataSummaryItems::IndexOfField(TuxCustomDataField* Field) const {
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Field() == Field) return i;
  return -1;
}

TuxDataSummaryItem* TuxDataSummaryItems::ItemOfField(TuxCustomDataField* Field) const {
  const int i = IndexOfField(Field);
  return i == -1 ? nullptr : GetItem(i);
}

AnsiString TuxDataSummaryItems::GetItemFormat(int ItemIndex, TuxSummaryPosition Position) {
  TuxDataSummaryItem* item = GetItemByItemIndex(ItemIndex, Position);
  return item ? item->Format() : AnsiString();
}

TuxSummaryKind TuxDataSummaryItems::GetItemKind(int ItemIndex, TuxSummaryPosition Position) {
  TuxDataSummaryItem* item = GetItemByItemIndex(ItemIndex, Position);
  return item ? item->Kind() : skNone;
}

void TuxDataSummaryItems::SetItemFormat(int ItemIndex, TuxSummaryPosition Position, const AnsiString& Format) {
  TuxDataSummaryItem* item = GetItemByItemIndex(ItemIndex, Position);
  if (item) {
    item->SetFormat(Format);
    if (IsItemEmpty(true, item->Format(), item->Kind())) delete item;
  } else if (!Format.empty()) {
    item = Add();
    item->SetPosition(Position);
    item->SetItemLink(FSummary->DataController()->GetItem(ItemIndex));
    item->SetFormat(Format);
  }
}

void TuxDataSummaryItems::SetItemKind(int ItemIndex, TuxSummaryPosition Position, TuxSummaryKind Kind) {
  TuxDataSummaryItem* item = GetItemByItemIndex(ItemIndex, Position);
  if (item) {
    item->SetKind(Kind);
    if (IsItemEmpty(false, item->Format(), item->Kind())) delete item;
  } else if (Kind != skNone) {
    BeginUpdate();
    try {
      item = Add();
      item->SetPosition(Position);
      item->SetItemLink(FSummary->DataController()->GetItem(ItemIndex));
      item->SetKind(Kind);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
}

void TuxDataSummaryItems::RepaintChanged() {
  if (Count() > 0 && FSummary) FSummary->Changed(true);
}

bool TuxDataSummaryItems::UnbindField(TuxCustomDataField* Field) {
  bool any = false;
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Field() == Field) {
      GetItem(i)->SetField(nullptr);
      any = true;
    }
  return any;
}

// ---------------------------------------------------------------------------
// Group items

TuxDataGroupSummaryItems::TuxDataGroupSummaryItems(TuxDataSummary* ASummary, TuxDataSummaryItemClass AItemClass,
                                                   TPersistent* AOwner)
    : TuxDataSummaryItems(ASummary, AItemClass), FOwner(AOwner) {}

void TuxDataGroupSummaryItems::Assign(TPersistent* Source) {
  TuxDataSummaryItems::Assign(Source);
  if (auto* source = dynamic_cast<TuxDataGroupSummaryItems*>(Source)) {
    FBeginText = source->FBeginText;
    FEndText = source->FEndText;
    FSeparator = source->FSeparator;
  }
}

void TuxDataGroupSummaryItems::SetBeginText(const AnsiString& Value) {
  if (FBeginText == Value) return;
  FBeginText = Value;
  RepaintChanged();
}

void TuxDataGroupSummaryItems::SetEndText(const AnsiString& Value) {
  if (FEndText == Value) return;
  FEndText = Value;
  RepaintChanged();
}

void TuxDataGroupSummaryItems::SetSeparator(const AnsiString& Value) {
  if (FSeparator == Value) return;
  FSeparator = Value;
  RepaintChanged();
}

void TuxDataGroupSummaryItems::GetGroupSummaryText(const Variant& Values, AnsiString& Text) {
  Text.clear();
  for (int i = 0; i < Count(); ++i) {
    TuxDataSummaryItem* item = GetItem(i);
    if (item->Position() != spGroup) continue;
    Variant v;
    if (FSummary->IsValidIndex(Values, i)) v = Values[Values.LowBound() + i];
    else v = Null();
    AnsiString s;
    item->GetValueDisplayText(v, false, s);
    if (Text.empty())
      Text = s;
    else
      Text += FSeparator + " " + s;
  }
  if (!Text.empty()) Text = FBeginText + Text + FEndText;
}

int TuxDataGroupSummaryItems::GetSortingItemIndex() {
  TuxCustomDataField* field = FSummary ? FSummary->DataController()->SummarySortField() : nullptr;
  if (!field) return -1;
  return IndexOfField(field);
}

TuxDataSummaryItem* TuxDataGroupSummaryItems::GetSortingItem() {
  const int i = GetSortingItemIndex();
  return i == -1 ? nullptr : GetItem(i);
}

// ---------------------------------------------------------------------------
// Summary groups

TuxDataSummaryGroup* TuxDataSummaryGroupItemLink::SummaryGroup() const {
  auto* links = dynamic_cast<TuxDataSummaryGroupItemLinks*>(Collection());
  return links ? links->SummaryGroup() : nullptr;
}

TuxCustomDataController* TuxDataSummaryGroupItemLink::GetDataController() const {
  TuxDataSummaryGroup* group = SummaryGroup();
  return group && group->Summary() ? group->Summary()->DataController() : nullptr;
}

void TuxDataSummaryGroupItemLink::ItemLinkChanging(TuxCustomDataField* Field) {
  if (!Field) return;
  TuxDataSummaryGroup* own = SummaryGroup();
  if (!own || !own->Summary()) return;
  TuxDataSummaryGroups* groups = own->Summary()->SummaryGroups();
  for (int g = 0; g < groups->Count(); ++g) {
    TuxDataSummaryGroup* group = groups->GetItem(g);
    if (!group->HasLinks()) continue;
    TuxDataSummaryGroupItemLinks* links = group->GetLinks();
    for (int i = links->Count() - 1; i >= 0; --i)
      if (links->GetItem(i) != this && links->GetItem(i)->Field() == Field) delete links->GetItem(i);
  }
}

TPersistent* TuxDataSummaryGroupItemLinks::GetOwner() const { return FSummaryGroup; }

void TuxDataSummaryGroupItemLinks::Update(TCollectionItem* Item) {
  if (FSummaryGroup && FSummaryGroup->Summary()) FSummaryGroup->Summary()->Changed(false);
}

TuxDataSummaryGroupItemLink* TuxDataSummaryGroupItemLinks::ItemOfItemLink(TObject* ItemLink) const {
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->GetItemLink() == ItemLink) return GetItem(i);
  return nullptr;
}

bool TuxDataSummaryGroupItemLinks::UnbindField(TuxCustomDataField* Field) {
  bool any = false;
  for (int i = Count() - 1; i >= 0; --i)
    if (GetItem(i)->Field() == Field) {
      GetItem(i)->SetField(nullptr);
      any = true;
    }
  return any;
}

TuxDataSummaryGroup::TuxDataSummaryGroup(TCollection* ACollection) : TCollectionItem(ACollection) {
  TuxDataSummary* summary = Summary();
  FSummaryItems = new TuxDataGroupSummaryItems(
      summary, summary ? summary->GetSummaryItemClass() : TuxDataSummaryItem::StaticClass(), this);
}

TuxDataSummaryGroup::~TuxDataSummaryGroup() {
  delete FLinks;
  FLinks = nullptr;
  delete FSummaryItems;
  FSummaryItems = nullptr;
}

TuxDataSummaryGroups* TuxDataSummaryGroup::SummaryGroups() const {
  return dynamic_cast<TuxDataSummaryGroups*>(Collection());
}

TuxDataSummary* TuxDataSummaryGroup::Summary() const {
  TuxDataSummaryGroups* groups = SummaryGroups();
  return groups ? groups->Summary() : nullptr;
}

TuxDataSummaryGroupItemLinks* TuxDataSummaryGroup::GetLinks() {
  if (!FLinks) {
    TuxDataSummary* summary = Summary();
    FLinks = new TuxDataSummaryGroupItemLinks(
        this, summary ? summary->GetSummaryGroupItemLinkClass() : TuxDataSummaryGroupItemLink::StaticClass());
  }
  return FLinks;
}

void TuxDataSummaryGroup::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDataSummaryGroup*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  if (source->FLinks)
    GetLinks()->Assign(source->FLinks);
  else if (FLinks)
    FLinks->Clear();
  FSummaryItems->Assign(source->FSummaryItems);
}

TuxDataSummaryGroups::TuxDataSummaryGroups(TuxDataSummary* ASummary)
    : TuxCollection(TuxDataSummaryGroup::StaticClass()), FSummary(ASummary) {}

TPersistent* TuxDataSummaryGroups::GetOwner() const { return FSummary; }

void TuxDataSummaryGroups::Update(TCollectionItem* Item) {
  if (FSummary) FSummary->Changed(false);
}

TuxDataSummaryGroup* TuxDataSummaryGroups::FindGroupOfItemLink(TObject* ItemLink) const {
  for (int i = 0; i < Count(); ++i) {
    TuxDataSummaryGroup* group = GetItem(i);
    if (group->HasLinks() && group->GetLinks()->ItemOfItemLink(ItemLink)) return group;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TuxDataSummary

TuxDataSummary::TuxDataSummary(TuxCustomDataController* ADataController) : FDataController(ADataController) {
  const TClass itemClass = FDataController->GetSummaryItemClass();
  FDefaultGroupSummaryItems = new TuxDataGroupSummaryItems(this, itemClass, this);
  FFooterSummaryItems = new TuxDataFooterSummaryItems(this, itemClass);
  FSummaryGroups = new TuxDataSummaryGroups(this);
}

TuxDataSummary::~TuxDataSummary() {
  FDestroying = true;
  delete FSummaryGroups;
  delete FFooterSummaryItems;
  delete FDefaultGroupSummaryItems;
}

TPersistent* TuxDataSummary::GetOwner() const { return FDataController; }

TClass TuxDataSummary::GetSummaryItemClass() { return FDataController->GetSummaryItemClass(); }

TClass TuxDataSummary::GetSummaryGroupItemLinkClass() { return FDataController->GetSummaryGroupItemLinkClass(); }

void TuxDataSummary::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuxDataSummary*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    FDefaultGroupSummaryItems->Assign(source->FDefaultGroupSummaryItems);
    FFooterSummaryItems->Assign(source->FFooterSummaryItems);
    FSummaryGroups->Assign(source->FSummaryGroups);
    SetOptions(source->FOptions);
    AssignEvents(source);
  } catch (...) {
    CancelUpdate();
    throw;
  }
  EndUpdate();
}

void TuxDataSummary::AssignEvents(TuxDataSummary* Source) {
  OnAfterSummary = Source->OnAfterSummary;
  FDefaultGroupSummaryItems->AssignEvents(Source->FDefaultGroupSummaryItems);
  FFooterSummaryItems->AssignEvents(Source->FFooterSummaryItems);
}

void TuxDataSummary::BeginUpdate() {
  ++FLockCount;
  FDataController->BeginInfoUpdate();
}

void TuxDataSummary::EndUpdate() {
  --FLockCount;
  TuxFinally release([this] { FDataController->EndInfoUpdate(); });
  Changed(false);
}

void TuxDataSummary::CancelUpdate() {
  --FLockCount;
  FDataController->EndInfoUpdate();
}

void TuxDataSummary::Changed(bool RedrawOnly) {
  if (FInAfterSummary || FLockCount > 0) return;
  Update(RedrawOnly);
}

void TuxDataSummary::Update(bool RedrawOnly) {
  if (FDestroying || FDataController->IsDestroying()) return;
  FDataController->SummaryChanged(RedrawOnly);
}

void TuxDataSummary::SetOptions(TuxSummaryOptions Value) {
  if (Value.Contains(soSelectedRecords) && Value.Contains(soMultipleSelectedRecords)) {
    if (FOptions.Contains(soMultipleSelectedRecords))
      Value >> soMultipleSelectedRecords;
    else
      Value >> soSelectedRecords;
  }
  if (FOptions == Value) return;
  FOptions = Value;
  Changed(false);
}

bool TuxDataSummary::IsSelectionDependent() {
  if (FOptions.Contains(soSelectedRecords)) return true;
  return FOptions.Contains(soMultipleSelectedRecords) && FDataController->GetSelectedCount() > 1;
}

bool TuxDataSummary::IsValidIndex(const Variant& Values, int Index) {
  return Values.IsArray() && Index >= 0 && Index < Values.ElementCount();
}

void TuxDataSummary::PrepareValues(TuxDataSummaryItems* Items, TuxDataSummaryCountValues& Counts,
                                   TuxDataSummaryValues& Values) {
  const std::size_t n = static_cast<std::size_t>(Items->Count());
  Counts.assign(n, 0);
  Values.assign(n, Variant());
}

int TuxDataSummary::GetSummaryRecordIndex(int ListIndex) {
  TuxCustomDataControllerInfo* info = FDataController->DataControllerInfo();
  const int record = info->GetRecordListItem(ListIndex);
  if (!IsSelectionDependent()) return record;
  if (FDataController->IsSingleSelection()) return record == FDataController->GetFocusedRecordIndex() ? record : -1;
  return info->Selection()->IsRecordSelected(record) ? record : -1;
}

void TuxDataSummary::CalculateRange(TuxDataSummaryItems* Items, int BeginIndex, int EndIndex,
                                    TuxDataSummaryCountValues& Counts, TuxDataSummaryValues& Values,
                                    Variant& SummaryValues) {
  const int n = Items->Count();
  for (int p = BeginIndex; p <= EndIndex; ++p) {
    const int record = GetSummaryRecordIndex(p);
    if (record == -1) continue;
    for (int i = 0; i < n; ++i)
      AddRecordValue(Items->GetItem(i), record, Values[static_cast<std::size_t>(i)], Counts[static_cast<std::size_t>(i)]);
  }
}

void TuxDataSummary::AddRecordValue(TuxDataSummaryItem* Item, int RecordIndex, Variant& Value, int& Count) {
  if (!Item->IsDataItem()) return;
  TuxCustomDataField* field = Item->GetField();
  Variant v = field ? FDataController->GetInternalValue(RecordIndex, field) : Null();
  bool done = false;
  auto* items = Item->SummaryItems();
  if (items && items->OnSummary) {
    TuxSummaryEventArguments args;
    args.RecordIndex = RecordIndex;
    args.SummaryItem = Item;
    TuxSummaryEventOutArguments out;
    out.Value = v;
    out.SummaryValue = Value;
    out.CountValue = Count;
    items->OnSummary(items, args, out);
    Value = out.SummaryValue;
    Count = out.CountValue;
    v = out.Value;
    done = out.Done;
  }
  const TuxSummaryKind kind = Item->Kind();
  if (done || kind == skNone || (FOptions.Contains(soNullIgnore) && v.IsNull())) return;
  if (Value.IsEmpty()) {
    if (kind != skCount) {
      if (!(v.IsNull() && (kind == skMin || kind == skMax))) {
        Value = v;
        if (Value.IsNull() && (kind == skSum || kind == skAverage)) Value = Variant(0);
      }
    }
  } else if (!Value.IsNull() && !v.IsNull()) {
    switch (kind) {
      case skSum:
      case skAverage: Value += v; break;
      case skMin:
        if (uxCompareVariants(v, Value) < 0) Value = v;
        break;
      case skMax:
        if (uxCompareVariants(v, Value) > 0) Value = v;
        break;
      default: break;
    }
  } else if (Value.IsNull() && !v.IsNull() && (kind == skMin || kind == skMax)) {
    Value = v;
  }
  ++Count;
}

void TuxDataSummary::FinishValue(TuxDataSummaryItem* Item, Variant& Value, int Count) {
  if (!Item->IsDataItem()) return;
  if (Value.IsEmpty()) Value = Null();
  if (Item->Kind() == skCount) {
    Value = Variant(Count);
  } else if (Item->Kind() == skAverage && Count > 0 && !Value.IsNull()) {
    TuxCustomDataField* field = Item->GetField();
    const bool isDate = uxVarIsDateTime(Value) ||
                        (field && field->ValueType() && uxVarTypeIsDateTime(field->ValueType()->VarTypeCode()));
    Value /= Variant(Count);
    if (isDate) Value = VarFromDateTime(Value.AsDouble());
  }
}

void TuxDataSummary::StoreValues(TuxDataSummaryItems* Items, TuxDataSummaryCountValues& Counts,
                                 TuxDataSummaryValues& Values, Variant& Result) {
  const int n = Items->Count();
  if (n == 0) {
    Result = Null();
    return;
  }
  for (int i = 0; i < n; ++i)
    FinishValue(Items->GetItem(i), Values[static_cast<std::size_t>(i)], Counts[static_cast<std::size_t>(i)]);
  Result = VarArrayOf(Values);
}

void TuxDataSummary::BeginSummaryCalculation() {
  if (FCustomSummary) return;
  CalculateFooterSummary();
}

void TuxDataSummary::EndSummaryCalculation() {
  if (FCustomSummary) return;
  CalculateGroupSummary();
  DoAfterSummary();
}

void TuxDataSummary::Calculate() {
  BeginSummaryCalculation();
  EndSummaryCalculation();
}

void TuxDataSummary::CalculateFooterSummary() {
  TuxDataSummaryCountValues counts;
  TuxDataSummaryValues values;
  PrepareValues(FFooterSummaryItems, counts, values);
  Variant unused;
  if (!FDataController->IsGridMode())
    CalculateRange(FFooterSummaryItems, 0, FDataController->GetFilteredRecordCount() - 1, counts, values, unused);
  StoreValues(FFooterSummaryItems, counts, values, FFooterSummaryValues);
}

void TuxDataSummary::CalculateGroupSummary() {
  TuxDataGroups* groups = FDataController->DataControllerInfo()->DataGroups();
  const int levels = groups->GetFieldCount();
  for (int level = 0; level < levels; ++level) {
    TuxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
    for (int g = 0; g < groups->GetGroupCount(); ++g) {
      TuxDataGroupInfo* group = groups->GetGroup(g);
      if (group->Level != level) continue;
      if (!items) {
        group->SummaryValues = Null();
        continue;
      }
      TuxDataSummaryCountValues counts;
      TuxDataSummaryValues values;
      PrepareValues(items, counts, values);
      const int end = groups->GetSubtreeEnd(g);
      for (int d = g; d <= end; ++d) {
        if (!groups->IsDeepest(d)) continue;
        const TuxDataGroupInfo* deepest = groups->GetGroup(d);
        CalculateRange(items, deepest->Begin, deepest->End, counts, values, group->SummaryValues);
      }
      StoreValues(items, counts, values, group->SummaryValues);
    }
  }
}

void TuxDataSummary::DoAfterSummary() {
  if (!OnAfterSummary) return;
  if (FDataController->IsLoading()) {
    FDataController->FAfterSummaryPending = true;
    return;
  }
  FDataController->FAfterSummaryPending = false;
  if (FDataController->IsPattern() || FDataController->IsSummaryDeferred()) return;
  FInAfterSummary = true;
  TuxFinally clear([this] { FInAfterSummary = false; });
  OnAfterSummary(this);
}

TuxDataGroupSummaryItems* TuxDataSummary::GetGroupSummaryItems(int Level) {
  TuxCustomDataControllerInfo* info = FDataController->DataControllerInfo();
  if (Level < 0 || Level >= info->GroupingFieldCount()) return nullptr;
  TuxCustomDataField* field = info->GroupingFieldList()->Entries(Level).Field;
  if (field && field->Item())
    if (TuxDataSummaryGroup* group = FSummaryGroups->FindGroupOfItemLink(field->Item())) return group->SummaryItems();
  return FDefaultGroupSummaryItems;
}

Variant TuxDataSummary::GetFooterSummaryValue(int Index) const {
  if (!FFooterSummaryValues.IsArray() || Index < 0 || Index >= FFooterSummaryValues.ElementCount()) return Null();
  return FFooterSummaryValues[FFooterSummaryValues.LowBound() + Index];
}

AnsiString TuxDataSummary::GetFooterSummaryText(int Index) {
  if (Index < 0 || Index >= FFooterSummaryItems->Count()) return AnsiString();
  AnsiString text;
  FFooterSummaryItems->GetItem(Index)->GetValueDisplayText(GetFooterSummaryValue(Index), true, text);
  return text;
}

Variant TuxDataSummary::GetGroupSummaryValues(int GroupIndex) const {
  TuxDataGroups* groups = FDataController->DataControllerInfo()->DataGroups();
  if (GroupIndex < 0 || GroupIndex >= groups->GetGroupCount()) return Null();
  return groups->GetGroup(GroupIndex)->SummaryValues;
}

AnsiString TuxDataSummary::GetGroupSummaryText(int RowIndex) {
  TuxCustomDataControllerInfo* info = FDataController->DataControllerInfo();
  if (!info->IsGrouped() || RowIndex < 0 || RowIndex >= info->GetRowCount()) return AnsiString();
  int g = -1;
  if (!info->DataGroups()->FindByRowIndex(RowIndex, g)) return AnsiString();
  TuxDataGroupInfo* group = info->DataGroups()->GetGroup(g);
  TuxDataGroupSummaryItems* items = GetGroupSummaryItems(group->Level);
  if (!items || items->Count() == 0 || !group->SummaryValues.IsArray()) return AnsiString();
  AnsiString text;
  items->GetGroupSummaryText(group->SummaryValues, text);
  return text;
}

int TuxDataSummary::GetGroupFooterSummaryItemIndex(int Level, TObject* ItemLink) {
  TuxDataGroupSummaryItems* items = GetGroupSummaryItems(Level);
  if (!items) return -1;
  for (int i = 0; i < items->Count(); ++i) {
    TuxDataSummaryItem* item = items->GetItem(i);
    if (item->Position() == spFooter && item->GetItemLink() == ItemLink) return i;
  }
  return -1;
}

AnsiString TuxDataSummary::GetGroupFooterSummaryText(int RowIndex, int Level, int Index) {
  TuxCustomDataControllerInfo* info = FDataController->DataControllerInfo();
  if (!info->IsGrouped() || RowIndex < 0 || RowIndex >= info->GetRowCount()) return AnsiString();
  const int g = info->DataGroups()->GetGroupIndexByRowIndex(RowIndex, Level);
  if (g == -1) return AnsiString();
  TuxDataGroupInfo* group = info->DataGroups()->GetGroup(g);
  TuxDataGroupSummaryItems* items = GetGroupSummaryItems(group->Level);
  if (!items || !IsValidIndex(group->SummaryValues, Index) || Index >= items->Count()) return AnsiString();
  AnsiString text;
  items->GetItem(Index)->GetValueDisplayText(group->SummaryValues[group->SummaryValues.LowBound() + Index], true, text);
  return text;
}

void TuxDataSummary::RemoveItemsOfField(TuxCustomDataField* Field) {
  BeginUpdate();
  bool changed = false;
  try {
    changed |= FFooterSummaryItems->UnbindField(Field);
    changed |= FDefaultGroupSummaryItems->UnbindField(Field);
    for (int i = 0; i < FSummaryGroups->Count(); ++i) {
      TuxDataSummaryGroup* group = FSummaryGroups->GetItem(i);
      changed |= group->SummaryItems()->UnbindField(Field);
      if (group->HasLinks()) changed |= group->GetLinks()->UnbindField(Field);
    }
  } catch (...) {
    CancelUpdate();
    throw;
  }
  if (changed)
    EndUpdate();
  else
    CancelUpdate();
}
