// Between the data controller and the platform's datasets: routines on field
// lists and field-name lists, the rules by which a TField is read, written,
// judged editable and judged to keep display texts, a registry that maps a
// dataset class to an adapter object, and the adapter that makes query
// datasets test nulls with "IS NULL" / "IS NOT NULL".
//
// Filter texts name fields so that the dataset reads them back as the same
// field: a name that is not a plain identifier, or that is a word of the
// filter grammar, stands in brackets with a ']' inside doubled.
#pragma once
#include <vector>

#include "data/uxfilter.h"
#include "platform/db/db.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variants.h"

class TStrings;

// ---------------------------------------------------------------------------
// Field helpers

// Name in the form a filter text reads back as that name: unchanged when it
// is an identifier and no word of the filter grammar, else "[" Name "]" with
// every ']' inside doubled.
void uxQuoteFieldName(AnsiString& Name);
// Empty for no field; unless IgnoreOrigin the field's Origin when that is not
// empty; otherwise its FieldName; quoted as uxQuoteFieldName does.
AnsiString uxGetFilterFieldName(TField* Field, bool IgnoreOrigin);
// Equal after AnsiUpperCase.
bool uxFieldNamesEqual(const AnsiString& A, const AnsiString& B);
// A ';'-separated list holds more than one name: text remains after the
// first name ("a;" holds one).
bool uxHasMultipleFieldNames(const AnsiString& Names);
// The names ExtractFieldName takes from the list, one by one, until the end.
int uxGetFieldNameCount(const AnsiString& Names);
// Clears List and adds each name of the list.
void uxSplitFieldNames(const AnsiString& Names, TStrings* List);
// No field: Null; one: its AsVariant; several: an array 0 .. count - 1 of
// their AsVariant values.
void uxGetFieldListValues(TDataSet* DataSet, const std::vector<TField*>& Fields, Variant& Values);
// No field: nothing; one: its AsVariant := Values; several: field i's
// AsVariant := element i (from the array's low bound).
void uxSetFieldListValues(TDataSet* DataSet, const std::vector<TField*>& Fields, const Variant& Values);
// An aggregate field: AsVariant; a null field: Null; a wide-string field: its
// AsWideString as a wide-string variant; otherwise AsVariant.
void uxGetFieldValue(TField* Field, Variant& Value);
// A date-time field given a double: AsDateTime; otherwise AsVariant.
void uxSetFieldValue(TField* Field, const Variant& Value);
// False when the field cannot be modified; True when AsValue; otherwise binary,
// blob, cursor and object fields only with an OnSetText handler.
bool uxCanModifyField(TField* Field, bool AsValue);
// A lookup field: its data set's fields named by KeyFields, at least one, and
// each can be modified.
bool uxCanModifyLookupField(TField* Field);
// Whether an item bound to the field keeps display texts for its values.
bool uxIsFieldTextStored(TField* Field, bool EditsAsText);
// A float field marked as currency, with neither a DisplayFormat nor an
// OnGetText handler.
bool uxIsDefaultCurrencyField(TField* Field);

// ---------------------------------------------------------------------------
// Adapters: one object per dataset class, found for the nearest registered
// ancestor of a dataset's class.

class TuxDBAdapterItem : public TObject {
  PV_CLASS(TuxDBAdapterItem, TObject)
 public:
  TuxDBAdapterItem() = default;
  // The dataset class served (set by the list that creates the item).
  TClass DataSetClass() const { return FDataSetClass; }

 private:
  friend class TuxDBAdapterList;
  TClass FDataSetClass = nullptr;
};

using TuxDBAdapterItemClass = TClass;

// Owned items, ordered from the most general dataset class to the most specific.
class TuxDBAdapterList : public TObject {
  PV_CLASS(TuxDBAdapterList, TObject)
 public:
  TuxDBAdapterList() = default;
  ~TuxDBAdapterList() override { Clear(); }
  TuxDBAdapterList(const TuxDBAdapterList&) = delete;
  TuxDBAdapterList& operator=(const TuxDBAdapterList&) = delete;

  // The item of DataSetClass or of its nearest registered ancestor (True and
  // its index). When none serves it, Index is the first item of a class
  // derived from DataSetClass, or -1.
  bool Find(TClass DataSetClass, int& Index) const;
  // Creates an AdapterClass item for DataSetClass and keeps the order from
  // general to specific. Raises EInvalidOperation for a class that is no
  // adapter item.
  void RegisterAdapter(TClass DataSetClass, TuxDBAdapterItemClass AdapterClass);
  // Removes and frees every item for DataSetClass whose class is exactly AdapterClass.
  void UnregisterAdapter(TClass DataSetClass, TuxDBAdapterItemClass AdapterClass);
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  TuxDBAdapterItem* Items(int Index) const;
  void Clear();

 private:
  std::vector<TuxDBAdapterItem*> FItems;
};

// Null operators that write SQL's "IS" / "IS NOT" before the null value.
class TuxFilterSQLNullOperator : public TuxFilterNullOperator {
  PV_CLASS(TuxFilterSQLNullOperator, TuxFilterNullOperator)
 public:
  using TuxFilterNullOperator::TuxFilterNullOperator;
  void GetKeyword(AnsiString& S) override { S = "IS"; }
};

class TuxFilterSQLNotNullOperator : public TuxFilterNotNullOperator {
  PV_CLASS(TuxFilterSQLNotNullOperator, TuxFilterNotNullOperator)
 public:
  using TuxFilterNotNullOperator::TuxFilterNotNullOperator;
  void GetKeyword(AnsiString& S) override { S = "IS NOT"; }
};

// Adjusts the operator class of a condition for the dataset its filter text goes to.
class TuxDBFilterOperatorAdapter : public TuxDBAdapterItem {
  PV_CLASS(TuxDBFilterOperatorAdapter, TuxDBAdapterItem)
 public:
  // The null and not-null operators (and their descendants) become the SQL
  // ones for a dataset whose class name holds "Query" in any letter case.
  virtual void PrepareOperatorClass(TuxFilterCriteriaItem* Item, TDataSet* DataSet,
                                    TuxFilterOperatorClass& OperatorClass);
};

// The filter operator adapters (TDataSet served by TuxDBFilterOperatorAdapter),
// from uxInitDBAdapters to uxFinalizeDBAdapters; nullptr outside that time.
TuxDBAdapterList* uxFilterOperatorAdapters();
// Nullptr for no data set; otherwise the filter operator adapter found for its class, or nullptr.
TuxDBFilterOperatorAdapter* uxGetFilterOperatorAdapter(TDataSet* DataSet);
// OperatorClass as the filter operator adapter of DataSet adjusts it for
// Item; unchanged when there is none. The criteria items of a dataset
// controller answer their operator class through it.
void uxPrepareFilterOperatorClass(TuxFilterCriteriaItem* Item, TDataSet* DataSet,
                                  TuxFilterOperatorClass& OperatorClass);

// Start-up and shut-down of the adapters; the second call of each does nothing.
void uxInitDBAdapters();
void uxFinalizeDBAdapters();
