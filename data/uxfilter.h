// Filter criteria: a tree of conditions joined by group operators, its
// evaluation for a record, its filter text (a SQL-like expression datasets
// accept) and display text, its stream (the system's filter format, kept in
// "*.flt" files and stored view settings), the operators that decide and
// render each condition, and the value list of a column's filter drop-down.
//
// The criteria stream (little-endian; texts and values as in uxvariants.h):
//   Int32 -1, Byte root group operator, Int32 child count, children;
//   a child: Byte 1 = list (Byte group operator, Int32 count, children) or
//   Byte 0 = condition (Byte kind, Int32 n + n bytes display value,
//   Int32 item link id, tagged value).
// A stream starting with a count of 0 or more is the older form without the
// marker (root AND). Loading reads into a new tree and replaces the current
// one only when the whole stream was read: a broken stream raises
// "Stream read error" and leaves the criteria as they were.
#pragma once
#include <vector>

#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/variants.h"

class TuxFilterCriteria;
class TuxFilterCriteriaItem;
class TuxFilterCriteriaItemList;
class TuxFilterValueList;

// ---------------------------------------------------------------------------
// Condition kinds and group operators (each stored as one byte)

enum TuxFilterConditionKind : Byte {
  fckEqual, fckNotEqual, fckLess, fckLessEqual, fckGreater, fckGreaterEqual, fckLike, fckNotLike,
  fckBetween, fckNotBetween, fckInList, fckNotInList, fckYesterday, fckToday, fckTomorrow,
  fckLast7Days, fckLastWeek, fckLast14Days, fckLastTwoWeeks, fckLast30Days, fckLastMonth,
  fckLastYear, fckInPast, fckThisWeek, fckThisMonth, fckThisYear, fckNext7Days, fckNextWeek,
  fckNext14Days, fckNextTwoWeeks, fckNext30Days, fckNextMonth, fckNextYear, fckInFuture
};
// The kind-to-class table goes on with the null (34) and not-null (35)
// operators, so a stored 34 or 35 selects them directly; nothing else is a kind.
inline constexpr Byte uxFilterNullOperatorKind = 34;
inline constexpr Byte uxFilterNotNullOperatorKind = 35;
inline constexpr Byte uxFilterLastConditionKind = 35;

enum TuxFilterGroupOperator : Byte { fgoAnd, fgoOr, fgoNotAnd, fgoNotOr };

enum TuxFilterCriteriaOption {
  fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare, fcoIgnoreNull
};
using TuxFilterCriteriaOptions = TSet<TuxFilterCriteriaOption>;

// ---------------------------------------------------------------------------
// Display texts

// Passes display texts through a translation service; empty at start-up (the
// editor framework installs uxTranslateString).
using TuxFilterTextHook = AnsiString (*)(const AnsiString& Text);
extern TuxFilterTextHook uxFilterTextHook;
void uxFilterDisplayText(const AnsiString& Text, AnsiString& Result);
AnsiString uxFilterDisplayText(const AnsiString& Text);
// "blank" (through the hook) for Null, otherwise the value as text.
void uxFilterValueDisplayText(const Variant& Value, AnsiString& S);
// The next ';'-separated name of Text from the 1-based Pos, trimmed; Pos is
// left after the separator.
AnsiString uxFilterExtractName(const AnsiString& Text, int& Pos);

// Whether the last-N-days and next-N-days ranges include today (true).
extern bool uxFilterDayRangesIncludeToday;

// ---------------------------------------------------------------------------
// Operators: each condition owns one; created by class (TClass) for a condition.

class TuxFilterOperator : public TObject {
  PV_CLASS(TuxFilterOperator, TObject)
 public:
  using OwnerType = TuxFilterCriteriaItem;
  explicit TuxFilterOperator(TuxFilterCriteriaItem* ACriteriaItem) : FCriteriaItem(ACriteriaItem) {}

  // The whole condition as a filter expression (used when UsesExpression).
  virtual void GetExpressionText(const Variant& Value, AnsiString& S);
  // The value as a literal of the filter text.
  virtual void GetValueText(const Variant& Value, AnsiString& S);
  virtual void FormatDisplayValue(AnsiString& S) {}
  // Refreshes what depends on the current date.
  virtual void Prepare() {}
  virtual bool GetCustomValueText(const Variant& Value, AnsiString& S) { return false; }
  virtual bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) = 0;
  virtual void GetDisplayName(AnsiString& S) = 0;
  virtual void GetKeyword(AnsiString& S) = 0;
  virtual bool PrefersDisplayName() { return false; }
  virtual bool UsesExpression() { return false; }
  virtual bool IsNullOperator() { return false; }

  TuxFilterCriteriaItem* CriteriaItem() const { return FCriteriaItem; }
  TuxFilterCriteria* Criteria() const;
  AnsiString DisplayName() {
    AnsiString S;
    GetDisplayName(S);
    return S;
  }
  AnsiString Keyword() {
    AnsiString S;
    GetKeyword(S);
    return S;
  }

 protected:
  AnsiString FieldName() const;
  AnsiString ValueText(const Variant& Value) {
    AnsiString S;
    GetValueText(Value, S);
    return S;
  }

 private:
  TuxFilterCriteriaItem* FCriteriaItem;  // owns the operator
};

class TuxFilterEqualOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterEqualOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "="; }
  // A condition over several fields (an array value).
  bool UsesExpression() override;
};

class TuxFilterNotEqualOperator : public TuxFilterEqualOperator {
  PV_CLASS(TuxFilterNotEqualOperator, TuxFilterEqualOperator)
 public:
  using TuxFilterEqualOperator::TuxFilterEqualOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "<>"; }
};

class TuxFilterNullOperator : public TuxFilterEqualOperator {
  PV_CLASS(TuxFilterNullOperator, TuxFilterEqualOperator)
 public:
  using TuxFilterEqualOperator::TuxFilterEqualOperator;
  void FormatDisplayValue(AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  bool UsesExpression() override { return false; }
  bool IsNullOperator() override { return true; }
};

class TuxFilterNotNullOperator : public TuxFilterNullOperator {
  PV_CLASS(TuxFilterNotNullOperator, TuxFilterNullOperator)
 public:
  using TuxFilterNullOperator::TuxFilterNullOperator;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "<>"; }
};

class TuxFilterLessOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterLessOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "<"; }
};

class TuxFilterLessEqualOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterLessEqualOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "<="; }
};

class TuxFilterGreaterOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterGreaterOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = ">"; }
};

class TuxFilterGreaterEqualOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterGreaterEqualOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = ">="; }
};

class TuxFilterLikeOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterLikeOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  void FormatDisplayValue(AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  // "begins with", "ends with", "contains" or "like" by the value's wildcards.
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "LIKE"; }

 protected:
  int WildcardForm();
};

class TuxFilterNotLikeOperator : public TuxFilterLikeOperator {
  PV_CLASS(TuxFilterNotLikeOperator, TuxFilterLikeOperator)
 public:
  using TuxFilterLikeOperator::TuxFilterLikeOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "NOT LIKE"; }
  bool UsesExpression() override;
};

class TuxFilterBetweenOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterBetweenOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  void FormatDisplayValue(AnsiString& S) override;
  bool GetCustomValueText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "BETWEEN"; }
  bool PrefersDisplayName() override { return true; }
  bool UsesExpression() override;
};

class TuxFilterNotBetweenOperator : public TuxFilterBetweenOperator {
  PV_CLASS(TuxFilterNotBetweenOperator, TuxFilterBetweenOperator)
 public:
  using TuxFilterBetweenOperator::TuxFilterBetweenOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "NOT BETWEEN"; }
};

class TuxFilterInListOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterInListOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  void FormatDisplayValue(AnsiString& S) override;
  bool GetCustomValueText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "IN"; }
  bool PrefersDisplayName() override { return true; }
  bool UsesExpression() override;
};

class TuxFilterNotInListOperator : public TuxFilterInListOperator {
  PV_CLASS(TuxFilterNotInListOperator, TuxFilterInListOperator)
 public:
  using TuxFilterInListOperator::TuxFilterInListOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetDisplayName(AnsiString& S) override;
  void GetKeyword(AnsiString& S) override { S = "NOT IN"; }
};

// A range of dates [Date1, Date2) that Prepare computes from today; a bound
// of 0 means none. Always rendered by its expression.
class TuxFilterDateOperator : public TuxFilterOperator {
  PV_CLASS(TuxFilterDateOperator, TuxFilterOperator)
 public:
  using TuxFilterOperator::TuxFilterOperator;
  void GetExpressionText(const Variant& Value, AnsiString& S) override;
  void FormatDisplayValue(AnsiString& S) override { S.clear(); }
  void Prepare() override;
  bool IsMatch(const Variant& RecordValue, const Variant& ConditionValue) override;
  void GetKeyword(AnsiString& S) override { GetDisplayName(S); }
  bool UsesExpression() override { return true; }

  TDateTime Date1() const { return FDate1; }
  TDateTime Date2() const { return FDate2; }

 protected:
  // The range for Today (a whole day).
  virtual void CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) = 0;

 private:
  TDateTime FDate1 = 0;
  TDateTime FDate2 = 0;
};

class TuxFilterLastNDaysOperator : public TuxFilterDateOperator {
  PV_CLASS(TuxFilterLastNDaysOperator, TuxFilterDateOperator)
 public:
  using TuxFilterDateOperator::TuxFilterDateOperator;
  virtual int DayCount() = 0;

 protected:
  void CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) override;
};

class TuxFilterNextNDaysOperator : public TuxFilterDateOperator {
  PV_CLASS(TuxFilterNextNDaysOperator, TuxFilterDateOperator)
 public:
  using TuxFilterDateOperator::TuxFilterDateOperator;
  virtual int DayCount() = 0;

 protected:
  void CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) override;
};

#define UX_FILTER_DATE_OPERATOR(Name, Base)                                      \
  class Name : public Base {                                                     \
    PV_CLASS(Name, Base)                                                         \
   public:                                                                       \
    using Base::Base;                                                            \
    void GetDisplayName(AnsiString& S) override;                                 \
                                                                                 \
   protected:                                                                    \
    void CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) override; \
  };

#define UX_FILTER_NDAYS_OPERATOR(Name, Base, N)  \
  class Name : public Base {                     \
    PV_CLASS(Name, Base)                         \
   public:                                       \
    using Base::Base;                            \
    void GetDisplayName(AnsiString& S) override; \
    int DayCount() override { return N; }        \
  };

UX_FILTER_DATE_OPERATOR(TuxFilterYesterdayOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterTodayOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterTomorrowOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterLast7DaysOperator, TuxFilterLastNDaysOperator, 7)
UX_FILTER_DATE_OPERATOR(TuxFilterLastWeekOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterLast14DaysOperator, TuxFilterLastNDaysOperator, 14)
UX_FILTER_DATE_OPERATOR(TuxFilterLastTwoWeeksOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterLast30DaysOperator, TuxFilterLastNDaysOperator, 30)
UX_FILTER_DATE_OPERATOR(TuxFilterLastMonthOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterLastYearOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterInPastOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterThisWeekOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterThisMonthOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterThisYearOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterNext7DaysOperator, TuxFilterNextNDaysOperator, 7)
UX_FILTER_DATE_OPERATOR(TuxFilterNextWeekOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterNext14DaysOperator, TuxFilterNextNDaysOperator, 14)
UX_FILTER_DATE_OPERATOR(TuxFilterNextTwoWeeksOperator, TuxFilterDateOperator)
UX_FILTER_NDAYS_OPERATOR(TuxFilterNext30DaysOperator, TuxFilterNextNDaysOperator, 30)
UX_FILTER_DATE_OPERATOR(TuxFilterNextMonthOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterNextYearOperator, TuxFilterDateOperator)
UX_FILTER_DATE_OPERATOR(TuxFilterInFutureOperator, TuxFilterDateOperator)

#undef UX_FILTER_DATE_OPERATOR
#undef UX_FILTER_NDAYS_OPERATOR

using TuxFilterOperatorClass = TClass;
// The operator class of a stored kind 0 .. 35; nullptr for anything else.
TuxFilterOperatorClass uxFilterOperatorClassOfKind(int Kind);

// ---------------------------------------------------------------------------
// The tree

class TuxCustomFilterCriteriaItem : public TObject {
  PV_CLASS(TuxCustomFilterCriteriaItem, TObject)
 public:
  using OwnerType = TuxFilterCriteriaItemList;
  explicit TuxCustomFilterCriteriaItem(TuxFilterCriteriaItemList* AParent) : FParent(AParent) {}
  // Removes the node from its parent.
  ~TuxCustomFilterCriteriaItem() override;

  virtual void NotifyChanged();
  virtual TuxFilterCriteria* GetCriteria() const;
  virtual bool IsItemList() const = 0;
  // Called after the node was read from the filter stream.
  virtual void LoadExtra(TStream* Stream) {}
  virtual void SaveTo(TStream* Stream);

  TuxFilterCriteriaItemList* Parent() const { return FParent; }

 private:
  friend class TuxFilterCriteriaItemList;
  friend class TuxFilterCriteria;
  TuxFilterCriteriaItemList* FParent;
};

class TuxFilterCriteriaItemList : public TuxCustomFilterCriteriaItem {
  PV_CLASS(TuxFilterCriteriaItemList, TuxCustomFilterCriteriaItem)
 public:
  TuxFilterCriteriaItemList(TuxFilterCriteriaItemList* AParent, TuxFilterGroupOperator ABoolOperatorKind);
  // Frees the children without announcing anything.
  ~TuxFilterCriteriaItemList() override;

  TuxFilterCriteria* GetCriteria() const override;
  bool IsItemList() const override { return true; }
  void SaveTo(TStream* Stream) override;
  // Takes the child out of the list and, when it was there, announces it.
  virtual void RemoveChild(TuxCustomFilterCriteriaItem* Child);

  TuxFilterCriteriaItem* AddItem(TObject* AItemLink, Byte AOperatorKind, const Variant& AValue,
                                 const AnsiString& ADisplayValue);
  TuxFilterCriteriaItemList* AddItemList(TuxFilterGroupOperator ABoolOperatorKind);
  // Frees all children, last first, in one update of the criteria.
  void Clear();
  int GetCount() const { return static_cast<int>(FItems.size()); }
  // nullptr when Index is out of range.
  TuxCustomFilterCriteriaItem* GetItem(int Index) const;
  TuxFilterGroupOperator BoolOperatorKind() const { return FBoolOperatorKind; }
  void SetBoolOperatorKind(TuxFilterGroupOperator Value);

 private:
  friend class TuxCustomFilterCriteriaItem;
  friend class TuxFilterCriteria;
  TuxFilterGroupOperator FBoolOperatorKind;
  TuxFilterCriteria* FCriteria = nullptr;  // set on the root only
  std::vector<TuxCustomFilterCriteriaItem*> FItems;  // owned
};

// A condition. Its field's value, caption and name come from a subclass.
class TuxFilterCriteriaItem : public TuxCustomFilterCriteriaItem {
  PV_CLASS(TuxFilterCriteriaItem, TuxCustomFilterCriteriaItem)
 public:
  explicit TuxFilterCriteriaItem(TuxFilterCriteriaItemList* AParent) : TuxCustomFilterCriteriaItem(AParent) {}
  ~TuxFilterCriteriaItem() override;

  bool IsItemList() const override { return false; }
  void SaveTo(TStream* Stream) override;

  // The value of the condition's field in a record (raises "Abstract Error" here).
  virtual void GetDataValue(int RecordIndex, Variant& V);
  // The display value through the operator's FormatDisplayValue.
  virtual void GetDisplayValue(AnsiString& S);
  virtual void GetValueText(bool ForDisplay, AnsiString& S);
  virtual void GetFieldCaption(AnsiString& S);
  // For a condition over several fields, names separated by ';'.
  virtual void GetFieldName(AnsiString& S);
  virtual TuxFilterOperatorClass GetOperatorClass();
  virtual TObject* GetItemLink() const { return FItemLink; }
  virtual void RecreateOperator();
  virtual bool IsNullValue(const Variant& V);

  // The second step of creation (by class, with the parent list): stores the
  // link, kind, value and display value and creates the operator.
  virtual void Initialize(TObject* AItemLink, Byte AOperatorKind, const Variant& AValue,
                          const AnsiString& ADisplayValue);

  const AnsiString& DisplayValue() const { return FDisplayValue; }
  void SetDisplayValue(const AnsiString& Value) { FDisplayValue = Value; }
  TObject* ItemLink() const { return FItemLink; }
  Byte OperatorKind() const { return FOperatorKind; }
  TuxFilterOperator* Operator() const { return FOperator; }
  const Variant& Value() const { return FValue; }

 private:
  AnsiString FDisplayValue;
  TObject* FItemLink = nullptr;  // not owned
  TuxFilterOperator* FOperator = nullptr;
  Byte FOperatorKind = fckEqual;
  Variant FValue;
};

using TuxFilterCriteriaItemClass = TClass;

// ---------------------------------------------------------------------------
// The criteria

class TuxFilterCriteria : public TPersistent {
  PV_CLASS(TuxFilterCriteria, TPersistent)
 public:
  TuxFilterCriteria();
  ~TuxFilterCriteria() override;

  void Assign(TPersistent* Source) override;

  virtual void CheckChanged();
  virtual void GetBooleanText(const Variant& V, AnsiString& S);
  // With DateTimeFormat, or the date-and-time text; both in the fixed
  // Chinese profile, whatever the user's settings.
  virtual void GetDateText(const Variant& V, AnsiString& S);
  virtual void FormatValueText(TuxFilterCriteriaItem* Item, const Variant& V, AnsiString& S) {}
  virtual void BuildDisplayText(AnsiString& S) { BuildText(true, S); }
  virtual void BuildText(bool ForDisplay, AnsiString& S);
  virtual void BuildFilterText(AnsiString& S) { BuildText(false, S); }
  virtual int GetIDByItemLink(TObject* ItemLink);
  virtual TuxFilterCriteriaItemClass GetItemClass() { return TuxFilterCriteriaItem::StaticClass(); }
  virtual void BuildItemText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S);
  virtual void GetItemFieldText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S);
  virtual void GetItemOperatorText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S);
  virtual void GetItemValueText(TuxFilterCriteriaItem* Item, bool ForDisplay, AnsiString& S);
  virtual TObject* GetItemLinkByID(int ID);
  virtual TClass GetValueListClass();
  virtual void PrepareOperators();
  virtual void PrepareValue(const Variant& V, Variant& Result);
  // A condition's value as it is compared with record values: PrepareValue
  // here; criteria that know their columns convert it to the column's kind first.
  virtual void PrepareConditionValue(TuxFilterCriteriaItem* Item, const Variant& V, Variant& Result) {
    PrepareValue(V, Result);
  }
  virtual void DoChanged();
  virtual void AssignEvents(TPersistent* Source);
  virtual void AssignCriteria(TuxFilterCriteria* Source);
  virtual TuxFilterCriteriaItem* AddItemTo(TuxFilterCriteriaItemList* List, TObject* AItemLink, Byte AOperatorKind,
                                           const Variant& AValue, const AnsiString& ADisplayValue);
  virtual void Changed();
  virtual TuxFilterCriteriaItem* FindItemByItemLink(TObject* ItemLink);
  virtual bool IsEmpty() { return FRoot->GetCount() == 0; }
  virtual void RestoreDefaults();
  virtual bool IsNullValue(const Variant& V);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream);
  // The criteria's published properties, and what a subclass defines, in the
  // platform's component stream (a TFilterWrapper description).
  void ReadComponentData(TStream* Stream);
  void WriteComponentData(TStream* Stream);

  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void CancelUpdate() { --FLockCount; }
  int LockCount() const { return FLockCount; }
  void Clear();
  TuxFilterCriteriaItemList* Root() const { return FRoot; }
  void RemoveItemByItemLink(TObject* ItemLink);
  bool MatchesRecord(int RecordIndex);
  // Between these, MatchesRecord prepares each condition's value once instead
  // of for every record; the criteria must not change meanwhile.
  void BeginMatching();
  void EndMatching();
  bool EqualsCriteria(TuxFilterCriteria* Other);
  bool IsNotDefault() { return FRoot->BoolOperatorKind() != fgoAnd || FRoot->GetCount() > 0; }
  AnsiString FilterText() {
    AnsiString S;
    BuildFilterText(S);
    return S;
  }
  AnsiString DisplayText() {
    AnsiString S;
    BuildDisplayText(S);
    return S;
  }
  // A new value list of GetValueListClass for these criteria.
  TuxFilterValueList* CreateValueList();
  // The same as AddItemTo, AssignCriteria and FindItemByItemLink.
  TuxFilterCriteriaItem* AddItem(TuxFilterCriteriaItemList* Parent, TObject* AItemLink, Byte AOperatorKind,
                                 const Variant& AValue, const AnsiString& ADisplayValue) {
    return AddItemTo(Parent, AItemLink, AOperatorKind, AValue, ADisplayValue);
  }
  void CopyItemsFrom(TuxFilterCriteria* Source) { AssignCriteria(Source); }
  TuxFilterCriteriaItem* FirstItemWithLink(TObject* ItemLink) { return FindItemByItemLink(ItemLink); }

  const AnsiString& DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const AnsiString& Value);
  int MaxValueListCount() const { return FMaxValueListCount; }
  void SetMaxValueListCount(int Value) { FMaxValueListCount = Value; }
  TuxFilterCriteriaOptions Options() const { return FOptions; }
  void SetOptions(TuxFilterCriteriaOptions Value);
  char PercentWildcard() const { return FPercentWildcard; }
  void SetPercentWildcard(char Value);
  char UnderscoreWildcard() const { return FUnderscoreWildcard; }
  void SetUnderscoreWildcard(char Value);
  bool SupportedLike() const { return FSupportedLike; }
  void SetSupportedLike(bool Value) { FSupportedLike = Value; }
  bool TranslateBetween() const { return FTranslateBetween; }
  void SetTranslateBetween(bool Value) { FTranslateBetween = Value; }
  bool TranslateIn() const { return FTranslateIn; }
  void SetTranslateIn(bool Value) { FTranslateIn = Value; }
  bool TranslateLike() const { return FTranslateLike; }
  void SetTranslateLike(bool Value) { FTranslateLike = Value; }

  TNotifyEvent OnChanged;

 private:
  bool MatchesList(TuxFilterCriteriaItemList* List, int RecordIndex);
  bool MatchesItem(TuxFilterCriteriaItem* Item, int RecordIndex);
  void BuildListText(TuxFilterCriteriaItemList* List, bool ForDisplay, AnsiString& S);
  void PrepareList(TuxFilterCriteriaItemList* List);
  TuxFilterCriteriaItem* FindInList(TuxFilterCriteriaItemList* List, TObject* ItemLink);
  void ReadList(TStream* Stream, TuxFilterCriteriaItemList* List, Int64 Count, int Depth);
  void TidyList(TuxFilterCriteriaItemList* List);

  bool FChangePending = false;
  bool FMatching = false;
  std::vector<std::pair<const TuxFilterCriteriaItem*, Variant>> FPreparedValues;
  AnsiString FDateTimeFormat;
  int FLockCount = 0;
  int FMaxValueListCount = 0;
  TuxFilterCriteriaOptions FOptions;
  char FPercentWildcard = '%';
  TuxFilterCriteriaItemList* FRoot;
  bool FSupportedLike = true;
  bool FTranslateBetween = false;
  bool FTranslateLike = false;
  bool FTranslateIn = false;
  char FUnderscoreWildcard = '_';
};

// Carries a criteria object through the platform's component streaming as its
// one published property, Filter. The wrapper does not own the criteria.
class TFilterWrapper : public TComponent {
  PV_CLASS(TFilterWrapper, TComponent)
 public:
  explicit TFilterWrapper(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  TuxFilterCriteria* Filter() const { return FFilter; }
  void SetFilter(TuxFilterCriteria* Value) { FFilter = Value; }

 private:
  TuxFilterCriteria* FFilter = nullptr;
};

// Registers the published properties of the criteria and the wrapper (once).
void uxRegisterFilterCriteriaProps();

// Lists nested deeper than this are refused when a stream is read.
inline constexpr int uxMaxFilterNesting = 64;

// ---------------------------------------------------------------------------
// Filter value list: the entries of a column's filter drop-down.

enum TuxFilterValueEntryKind : Byte {
  fveAll, fveCustom, fveBlanks, fveNonBlanks, fveOther, fveValue, fveRecent, fveRecentSeparator
};

struct TuxFilterValueItem {
  TuxFilterValueEntryKind Kind = fveValue;
  Variant Value;
  AnsiString DisplayText;
};

class TuxFilterValueList : public TObject {
  PV_CLASS(TuxFilterValueList, TObject)
 public:
  using OwnerType = TuxFilterCriteria;
  explicit TuxFilterValueList(TuxFilterCriteria* ACriteria) : FCriteria(ACriteria) {}
  ~TuxFilterValueList() override { Clear(); }

  virtual int CompareEntry(int Index, const Variant& Value, const AnsiString& DisplayText);
  // Recent values before their separator, special entries before the values,
  // values in sorted order without duplicates (AppendOnly: at the end).
  virtual void Add(TuxFilterValueEntryKind Kind, const Variant& Value, bool AppendOnly,
                   const AnsiString& DisplayText);
  virtual void Clear() { FItems.clear(); }
  virtual bool Find(const Variant& Value, const AnsiString& DisplayText, int& Index);
  virtual int GetIndexByCriteriaItem(TuxFilterCriteriaItem* Item);

  void Delete(int Index);
  int GetCount() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  const TuxFilterValueItem& GetItem(int Index) const;
  int IndexOfKind(TuxFilterValueEntryKind Kind) const { return IndexOfKindValue(Kind, Null()); }
  int IndexOfKindValue(TuxFilterValueEntryKind Kind, const Variant& Value) const;
  int RecentSeparatorIndex() const;
  int FirstValueIndex() const;
  int MaxCount() const;
  TuxFilterCriteria* Criteria() const { return FCriteria; }
  bool SortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(bool Value) { FSortByDisplayText = Value; }

 private:
  TuxFilterCriteria* FCriteria;  // not owned
  std::vector<TuxFilterValueItem> FItems;
  bool FSortByDisplayText = false;
};
