// What the filter criteria of a dataset controller add to the criteria they
// derive from: the published AutoDataSetFilter and IgnoreOrigin, the events
// OnBeforeChange and OnFormatFilterTextValue, filter texts a dataset reads
// back exactly, and handing the filter to the data set.
//
// TuxDBFilterCriteriaImpl<Base, Self> sits between a criteria class Base
// (TuxFilterCriteria or a descendant) and the final class Self, whose
// handlers the events name as their sender. The dataset controller's
// TuxDBDataFilterCriteria is
//   class TuxDBDataFilterCriteria
//       : public TuxDBFilterCriteriaImpl<TuxDataFilterCriteria, TuxDBDataFilterCriteria>
// with its items answering their operator class through
// uxPrepareFilterOperatorClass, its change notification calling
// DataSetChanged, and its is-filtering query refusing when
// LeavesFilteringToDataSet.
//
// Filter texts: field names come from the items (uxGetFilterFieldName names
// a TField), string values double their quotes (the base criteria), date
// texts double any quote their format writes, and floating-point values are
// written with '.' whatever the locale's decimal separator, so that no value
// changes the structure of the expression.
#pragma once
#include <charconv>

#include "data/uxdbadapters.h"
#include "data/uxfilter.h"
#include "platform/classes/typinfo.h"
#include "platform/db/db.h"

// Hands a filter to a data set: when the text, the options or the filtered
// flag differ from the data set's, assigns Filter, FilterOptions and Filtered
// in that order between DisableControls and EnableControls; otherwise the
// data set is not touched. The options are foNoPartialCompare (a '*' in a
// value is no wildcard: the criteria write patterns with LIKE) and, with
// CaseInsensitive, foCaseInsensitive. Returns whether it assigned.
bool uxSetDataSetFilter(TDataSet* DataSet, const AnsiString& FilterText, bool CaseInsensitive, bool Filtered);

// Text with every single quote doubled.
AnsiString uxDoubleQuotes(const AnsiString& Text);

template <class Base, class Self>
class TuxDBFilterCriteriaImpl : public Base {
 public:
  using BeforeChangeEvent = TEvent<void(Self* Sender, TDataSet* ADataSet, const AnsiString& AFilterText)>;
  using FormatFilterTextValueEvent = TEvent<void(Self* Sender, const Variant& AValue, AnsiString& ADisplayValue)>;

  using Base::Base;

  // Another criteria of Self's kind: the base's content, AutoDataSetFilter and
  // IgnoreOrigin, in one update.
  void Assign(TPersistent* Source) override {
    auto* source = dynamic_cast<TuxDBFilterCriteriaImpl*>(Source);
    if (!source) {
      Base::Assign(Source);
      return;
    }
    this->BeginUpdate();
    try {
      Base::Assign(Source);
      SetAutoDataSetFilter(source->FAutoDataSetFilter);
      SetIgnoreOrigin(source->FIgnoreOrigin);
    } catch (...) {
      this->EndUpdate();
      throw;
    }
    this->EndUpdate();
  }

  void AssignEvents(TPersistent* Source) override {
    Base::AssignEvents(Source);
    if (auto* source = dynamic_cast<TuxDBFilterCriteriaImpl*>(Source)) {
      OnBeforeChange = source->OnBeforeChange;
      OnFormatFilterTextValue = source->OnFormatFilterTextValue;
    }
  }

  void RestoreDefaults() override {
    this->BeginUpdate();
    try {
      Base::RestoreDefaults();
      SetAutoDataSetFilter(false);
      SetIgnoreOrigin(true);
    } catch (...) {
      this->EndUpdate();
      throw;
    }
    this->EndUpdate();
  }

  // The date text between the literal's quotes: a quote the format writes is doubled.
  void GetDateText(const Variant& V, AnsiString& S) override {
    Base::GetDateText(V, S);
    S = uxDoubleQuotes(S);
  }

  // A value literal: floating-point numbers with '.', then OnFormatFilterTextValue.
  void FormatValueText(TuxFilterCriteriaItem* Item, const Variant& V, AnsiString& S) override {
    Base::FormatValueText(Item, V, S);
    const Word vt = V.Type();
    if (vt == varSingle || vt == varDouble || vt == varCurrency) {
      char buf[64];
      const auto r = std::to_chars(buf, buf + sizeof buf, V.AsDouble());
      if (r.ec == std::errc()) S.assign(buf, r.ptr);
    }
    if (OnFormatFilterTextValue) OnFormatFilterTextValue(static_cast<Self*>(this), V, S);
  }

  bool AutoDataSetFilter() const { return FAutoDataSetFilter; }
  void SetAutoDataSetFilter(bool Value) {
    if (FAutoDataSetFilter == Value) return;
    FAutoDataSetFilter = Value;
    this->Changed();
  }
  bool IgnoreOrigin() const { return FIgnoreOrigin; }
  void SetIgnoreOrigin(bool Value) {
    if (FIgnoreOrigin == Value) return;
    FIgnoreOrigin = Value;
    this->Changed();
  }

  // The data set filters by itself: AutoDataSetFilter without smart refresh.
  bool DataSetFiltersItself(bool SmartRefresh) const { return FAutoDataSetFilter && !SmartRefresh; }
  // The controller leaves filtering to the data set or to OnBeforeChange.
  bool LeavesFilteringToDataSet(bool SmartRefresh) const {
    return static_cast<bool>(OnBeforeChange) || DataSetFiltersItself(SmartRefresh);
  }

  // The part of a change that concerns the data set, run after the data set
  // was brought to browse mode: OnBeforeChange with the new filter text
  // (unless the owner is loading), then, when the data set filters by
  // itself, the text, the options and the filtered flag (Active and a text)
  // handed to it.
  void DataSetChanged(TDataSet* DataSet, bool Active, bool OwnerLoading, bool SmartRefresh) {
    const AnsiString text = this->FilterText();
    if (OnBeforeChange && !OwnerLoading) OnBeforeChange(static_cast<Self*>(this), DataSet, text);
    if (DataSetFiltersItself(SmartRefresh) && DataSet)
      uxSetDataSetFilter(DataSet, text, this->Options().Contains(fcoCaseInsensitive), Active && !text.empty());
  }

  BeforeChangeEvent OnBeforeChange;
  FormatFilterTextValueEvent OnFormatFilterTextValue;

 private:
  bool FAutoDataSetFilter = false;
  bool FIgnoreOrigin = true;
};

// The published properties that the dataset criteria add to those of the
// criteria: their defaults as the constructor and RestoreDefaults set them.
template <class C>
void uxRegisterDBFilterCriteriaProps(TPropBuilder<C>& p) {
  p.Prop("AutoDataSetFilter", &C::AutoDataSetFilter, &C::SetAutoDataSetFilter).Default(false);
  p.Prop("DateTimeFormat", &C::DateTimeFormat, &C::SetDateTimeFormat);
  p.Prop("IgnoreOrigin", &C::IgnoreOrigin, &C::SetIgnoreOrigin).Default(true);
  p.Prop("SupportedLike", &C::SupportedLike, &C::SetSupportedLike).Default(true);
  p.Prop("TranslateBetween", &C::TranslateBetween, &C::SetTranslateBetween).Default(false);
  p.Prop("TranslateIn", &C::TranslateIn, &C::SetTranslateIn).Default(false);
  p.Prop("TranslateLike", &C::TranslateLike, &C::SetTranslateLike).Default(false);
  p.Prop("OnBeforeChange", &C::OnBeforeChange, &C::OnBeforeChange);
  p.Prop("OnFormatFilterTextValue", &C::OnFormatFilterTextValue, &C::OnFormatFilterTextValue);
}
