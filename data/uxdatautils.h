// Small services of the data layer: the currency display mask from the
// locale, whole and fractional parts of a date-time, the locale's first day
// of the week, case-insensitive text matching for searches, the base class
// of data bindings and a collection whose assignment keeps existing items.
#pragma once
#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variants.h"

// ",0." and as many "0" as the currency decimals, with the currency symbol
// (its '.' and ',' quoted) placed by the currency format: 0 before, 1 after,
// 2 before with a space, 3 after with a space; any other format leaves it out.
void uxGetCurrencyFormat(AnsiString& Format);
// X truncated toward zero (through a 64-bit integer), and X minus that.
double uxIntPart(double X);
double uxFracPart(double X);
// The locale's first day of the week, 0 Sunday .. 6 Saturday.
int uxLocaleFirstWeekDay();
// The first day of the week that holds Date.
TDateTime uxWeekStart(TDateTime Date);
// Both texts in the locale's upper case: equal, or with Partial, Text begins
// with SearchText. An empty SearchText matches only an empty Text.
bool uxTextMatches(const AnsiString& Text, const AnsiString& SearchText, bool Partial);

// The link between a list control and its data.
class TuxCustomDataBinding : public TPersistent {
  PV_CLASS(TuxCustomDataBinding, TPersistent)
 public:
  using TNotifyHandler = TEvent<void(TObject* A, TObject* B)>;

  TuxCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent);

  virtual void NotifyDataChange(TObject* A, TObject* B);
  virtual void NotifyEditingChange(TObject* A, TObject* B);
  virtual TObject* GetDataSourceObject() { return nullptr; }
  virtual bool GetReadOnly() const { return FReadOnly; }
  virtual void SetReadOnly(bool Value) { FReadOnly = Value; }
  virtual void NotifyUpdateData(TObject* A, TObject* B);
  virtual void VisualControlChanged() {}
  virtual bool CanModify() { return !GetReadOnly(); }
  virtual bool ExecuteAction(TObject* Action) { return false; }
  virtual void GetBoundValue(Variant& V) { V = Null(); }
  virtual bool IsDataAvailable() { return true; }
  virtual TObject* GetBoundField() { return nullptr; }
  virtual void UpdateDisplayValue() {}
  virtual bool Modify() { return CanModify(); }
  virtual void CheckBinding() {}
  virtual bool UpdateAction(TObject* Action) { return false; }
  virtual void UpdateDataSource() {}

  TPersistent* GetOwner() const override { return FOwner; }
  TComponent* DataComponent() const { return FDataComponent; }
  TComponent* Owner() const { return FOwner; }
  TComponent* VisualControl() const { return FVisualControl; }
  void SetVisualControl(TComponent* Control);

  TNotifyHandler OnDataChange;
  TNotifyHandler OnEditingChange;
  TNotifyHandler OnUpdateData;

 private:
  TComponent* FDataComponent;  // not owned
  TComponent* FOwner;          // not owned
  bool FReadOnly = false;
  TComponent* FVisualControl = nullptr;  // not owned
};

// A collection whose assignment from another collection assigns the items
// in place: existing items keep their identity, missing ones are added and
// the surplus deleted from the end.
class TuxCollection : public TCollection {
  PV_CLASS(TuxCollection, TCollection)
 public:
  using TCollection::TCollection;
  void Assign(TPersistent* Source) override;
};
