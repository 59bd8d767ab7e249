#include "data/uxdbadapters.h"

#include "platform/classes/classes.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

namespace {

// Words of the dataset filter grammar, which a bare field name must not be.
bool IsFilterWord(const AnsiString& Name) {
  static const char* const words[] = {"AND", "OR", "NOT", "IS", "NULL", "LIKE", "BETWEEN", "IN", "TRUE", "FALSE"};
  for (const char* w : words)
    if (SameText(Name, w)) return true;
  return false;
}

bool IsBinaryOrObjectType(TFieldType T) {
  return T == ftBytes || T == ftVarBytes || (T >= ftBlob && T <= ftCursor) || (T >= ftADT && T <= ftDataSet);
}

bool IsFloatCurrency(TField* Field) {
  auto* f = dynamic_cast<TFloatField*>(Field);
  return f && f->IsCurrency();
}

TuxDBAdapterList* filterOperatorAdapters = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// Field helpers

void uxQuoteFieldName(AnsiString& Name) {
  if (IsValidIdent(Name) && !IsFilterWord(Name)) return;
  AnsiString quoted = "[";
  for (std::size_t i = 0; i < Name.size();) {
    const std::size_t n = static_cast<std::size_t>(CharLength(Name, i));
    if (n == 1 && Name[i] == ']') quoted += ']';
    quoted.append(Name, i, n);
    i += n;
  }
  Name = quoted + "]";
}

AnsiString uxGetFilterFieldName(TField* Field, bool IgnoreOrigin) {
  if (!Field) return AnsiString();
  AnsiString name = !IgnoreOrigin && !Field->Origin().empty() ? Field->Origin() : Field->FieldName();
  uxQuoteFieldName(name);
  return name;
}

bool uxFieldNamesEqual(const AnsiString& A, const AnsiString& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

bool uxHasMultipleFieldNames(const AnsiString& Names) {
  int pos = 1;
  ExtractFieldName(Names, pos);
  return pos <= Length(Names);
}

int uxGetFieldNameCount(const AnsiString& Names) {
  int count = 0;
  for (int pos = 1; pos <= Length(Names); ++count) ExtractFieldName(Names, pos);
  return count;
}

void uxSplitFieldNames(const AnsiString& Names, TStrings* List) {
  List->Clear();
  for (int pos = 1; pos <= Length(Names);) List->Add(ExtractFieldName(Names, pos));
}

void uxGetFieldListValues(TDataSet* DataSet, const std::vector<TField*>& Fields, Variant& Values) {
  if (Fields.empty()) {
    Values = Null();
  } else if (Fields.size() == 1) {
    Values = Fields[0]->AsVariant();
  } else {
    std::vector<Variant> items;
    items.reserve(Fields.size());
    for (TField* f : Fields) items.push_back(f->AsVariant());
    Values = VarArrayOf(items);
  }
}

void uxSetFieldListValues(TDataSet* DataSet, const std::vector<TField*>& Fields, const Variant& Values) {
  if (Fields.empty()) return;
  if (Fields.size() == 1) {
    Fields[0]->SetAsVariant(Values);
    return;
  }
  // An element the array does not have raises the variant's own error.
  const int low = Values.LowBound();
  for (std::size_t i = 0; i < Fields.size(); ++i) Fields[i]->SetAsVariant(Values[low + static_cast<int>(i)]);
}

void uxGetFieldValue(TField* Field, Variant& Value) {
  if (Field->FieldKind() == fkAggregate)
    Value = Field->AsVariant();
  else if (Field->IsNull())
    Value = Null();
  else if (Field->InheritsFrom(TWideStringField::StaticClass()))
    Value = Variant(Field->AsWideString());
  else
    Value = Field->AsVariant();
}

void uxSetFieldValue(TField* Field, const Variant& Value) {
  if (Field->InheritsFrom(TDateTimeField::StaticClass()) && Value.Type() == varDouble)
    Field->SetAsDateTime(Value.AsDouble());
  else
    Field->SetAsVariant(Value);
}

bool uxCanModifyField(TField* Field, bool AsValue) {
  if (!Field->CanModify()) return false;
  if (AsValue) return true;
  if (IsBinaryOrObjectType(Field->DataType())) return static_cast<bool>(Field->OnSetText);
  return true;
}

bool uxCanModifyLookupField(TField* Field) {
  TDataSet* ds = Field->DataSet();
  if (!ds) return false;
  std::vector<TField*> keys;
  ds->GetFieldList(keys, Field->KeyFields);
  if (keys.empty()) return false;
  for (TField* f : keys)
    if (!f->CanModify()) return false;
  return true;
}

bool uxIsFieldTextStored(TField* Field, bool EditsAsText) {
  if (Field->OnGetText || !Field->EditMask().empty()) return true;
  if (IsBinaryOrObjectType(Field->DataType())) return EditsAsText;
  if (Field->InheritsFrom(TBooleanField::StaticClass())) return EditsAsText;
  if (Field->FieldKind() == fkAggregate) return !Field->DisplayFormat().empty();
  if (Field->InheritsFrom(TNumericField::StaticClass())) {
    if (!Field->DisplayFormat().empty() || !Field->EditFormat().empty()) return true;
    return IsFloatCurrency(Field);
  }
  // Date, time, date-time and SQL time-stamp fields.
  if (Field->InheritsFrom(TDateTimeField::StaticClass())) return !Field->DisplayFormat().empty();
  return false;
}

bool uxIsDefaultCurrencyField(TField* Field) {
  return IsFloatCurrency(Field) && Field->DisplayFormat().empty() && !Field->OnGetText;
}

// ---------------------------------------------------------------------------
// TuxDBAdapterList

bool TuxDBAdapterList::Find(TClass DataSetClass, int& Index) const {
  Index = -1;
  for (int i = Count() - 1; i >= 0; --i) {
    const TClass served = FItems[static_cast<std::size_t>(i)]->DataSetClass();
    if (DataSetClass->InheritsFrom(served)) {
      Index = i;
      return true;
    }
    if (served->InheritsFrom(DataSetClass)) Index = i;
  }
  return false;
}

void TuxDBAdapterList::RegisterAdapter(TClass DataSetClass, TuxDBAdapterItemClass AdapterClass) {
  TObject* obj = AdapterClass && AdapterClass->Create ? AdapterClass->Create(nullptr) : nullptr;
  auto* item = dynamic_cast<TuxDBAdapterItem*>(obj);
  if (!item || !DataSetClass) {
    delete obj;
    throw EInvalidOperation(SInvalidArgument);
  }
  item->FDataSetClass = DataSetClass;
  int index = -1;
  const bool found = Find(DataSetClass, index);
  if (found)
    ++index;
  else if (index < 0)
    index = Count();
  FItems.insert(FItems.begin() + index, item);
}

void TuxDBAdapterList::UnregisterAdapter(TClass DataSetClass, TuxDBAdapterItemClass AdapterClass) {
  for (int i = Count() - 1; i >= 0; --i) {
    TuxDBAdapterItem* item = FItems[static_cast<std::size_t>(i)];
    if (item->DataSetClass() == DataSetClass && item->ClassType() == AdapterClass) {
      FItems.erase(FItems.begin() + i);
      delete item;
    }
  }
}

TuxDBAdapterItem* TuxDBAdapterList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[static_cast<std::size_t>(Index)];
}

void TuxDBAdapterList::Clear() {
  while (!FItems.empty()) {
    TuxDBAdapterItem* item = FItems.back();
    FItems.pop_back();
    delete item;
  }
}

// ---------------------------------------------------------------------------
// Filter operator adapters

void TuxDBFilterOperatorAdapter::PrepareOperatorClass(TuxFilterCriteriaItem* Item, TDataSet* DataSet,
                                                      TuxFilterOperatorClass& OperatorClass) {
  if (!OperatorClass || !OperatorClass->InheritsFrom(TuxFilterNullOperator::StaticClass())) return;
  if (AnsiUpperCase(DataSet->ClassName()).find("QUERY") == AnsiString::npos) return;
  OperatorClass = OperatorClass->InheritsFrom(TuxFilterNotNullOperator::StaticClass())
                      ? TuxFilterSQLNotNullOperator::StaticClass()
                      : TuxFilterSQLNullOperator::StaticClass();
}

TuxDBAdapterList* uxFilterOperatorAdapters() { return filterOperatorAdapters; }

TuxDBFilterOperatorAdapter* uxGetFilterOperatorAdapter(TDataSet* DataSet) {
  if (!DataSet || !filterOperatorAdapters) return nullptr;
  int index = -1;
  if (!filterOperatorAdapters->Find(DataSet->ClassType(), index)) return nullptr;
  return dynamic_cast<TuxDBFilterOperatorAdapter*>(filterOperatorAdapters->Items(index));
}

void uxPrepareFilterOperatorClass(TuxFilterCriteriaItem* Item, TDataSet* DataSet,
                                  TuxFilterOperatorClass& OperatorClass) {
  if (TuxDBFilterOperatorAdapter* adapter = uxGetFilterOperatorAdapter(DataSet))
    adapter->PrepareOperatorClass(Item, DataSet, OperatorClass);
}

void uxInitDBAdapters() {
  if (filterOperatorAdapters) return;
  filterOperatorAdapters = new TuxDBAdapterList;
  filterOperatorAdapters->RegisterAdapter(TDataSet::StaticClass(), TuxDBFilterOperatorAdapter::StaticClass());
}

void uxFinalizeDBAdapters() {
  TuxDBAdapterList* list = filterOperatorAdapters;
  filterOperatorAdapters = nullptr;
  delete list;
}
