// The filter operators: matching, value literals, expression forms, display
// names and the date ranges.
#include <cmath>

#include "data/uxdataconsts.h"
#include "data/uxdatautils.h"
#include "data/uxfilter.h"
#include "data/uxlike.h"
#include "data/uxvariants.h"
#include "platform/db/db.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

TuxFilterTextHook uxFilterTextHook = nullptr;
bool uxFilterDayRangesIncludeToday = true;

namespace {

// The date-time value that stands for no date.
constexpr double kNullDate = -700000;

AnsiString Disp(const char* Text) { return uxFilterDisplayText(Text); }

// Low and high bound of a between value, or false when it is not an array.
bool BoundsOf(const Variant& Value, Variant& Low, Variant& High) {
  if (!Value.IsArray() || Value.ElementCount() < 2) return false;
  Low = Value[Value.LowBound()];
  High = Value[Value.LowBound() + 1];
  return true;
}

TDateTime FirstOfMonth(Word Year, Word Month) { return EncodeDate(Year, Month, 1); }

void MonthAfter(Word& Year, Word& Month) {
  if (Month == 12) {
    Month = 1;
    ++Year;
  } else {
    ++Month;
  }
}

}  // namespace

void uxFilterDisplayText(const AnsiString& Text, AnsiString& Result) {
  Result = uxFilterTextHook ? uxFilterTextHook(Text) : Text;
}

AnsiString uxFilterDisplayText(const AnsiString& Text) {
  AnsiString r;
  uxFilterDisplayText(Text, r);
  return r;
}

void uxFilterValueDisplayText(const Variant& Value, AnsiString& S) {
  if (Value.IsNull())
    uxFilterDisplayText(uxSFilterBlankCaption, S);
  else
    S = VarToStr(Value);
}

AnsiString uxFilterExtractName(const AnsiString& Text, int& Pos) { return ExtractFieldName(Text, Pos); }

// ---------------------------------------------------------------------------
// TuxFilterOperator

TuxFilterCriteria* TuxFilterOperator::Criteria() const { return FCriteriaItem->GetCriteria(); }

AnsiString TuxFilterOperator::FieldName() const {
  AnsiString S;
  FCriteriaItem->GetFieldName(S);
  return S;
}

void TuxFilterOperator::GetExpressionText(const Variant& Value, AnsiString& S) { GetValueText(Value, S); }

void TuxFilterOperator::GetValueText(const Variant& Value, AnsiString& S) {
  if (GetCustomValueText(Value, S)) return;
  TuxFilterCriteria* criteria = Criteria();
  const Word vt = Value.Type();
  if (Value.IsNull() || (vt == varDate && Value.AsDouble() == kNullDate)) {
    S = "NULL";
  } else if (vt == varDate) {
    AnsiString date;
    criteria->GetDateText(Value, date);
    S = "'" + date + "'";
  } else if (VarIsStr(Value)) {
    S = QuotedStr(VarToStr(Value));
  } else if (vt == varBoolean) {
    criteria->GetBooleanText(Value, S);
  } else {
    S = VarToStr(Value);
  }
  criteria->FormatValueText(FCriteriaItem, Value, S);
}

// ---- comparisons ----

void TuxFilterEqualOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  if (!Value.IsArray()) {
    TuxFilterOperator::GetExpressionText(Value, S);
    return;
  }
  const AnsiString names = FieldName();
  int pos = 1;
  S.clear();
  for (int i = 0; i < Value.ElementCount(); ++i) {
    if (i > 0) S += " AND ";
    S += "(" + uxFilterExtractName(names, pos) + " = " + ValueText(Value[Value.LowBound() + i]) + ")";
  }
}

bool TuxFilterEqualOperator::IsMatch(const Variant& R, const Variant& C) { return uxCompareVariants(R, C) == 0; }
void TuxFilterEqualOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorEqual); }
bool TuxFilterEqualOperator::UsesExpression() { return CriteriaItem()->Value().IsArray(); }

void TuxFilterNotEqualOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  TuxFilterEqualOperator::GetExpressionText(Value, S);
  if (Value.IsArray()) S = "NOT (" + S + ")";
}

bool TuxFilterNotEqualOperator::IsMatch(const Variant& R, const Variant& C) {
  return !TuxFilterEqualOperator::IsMatch(R, C);
}
void TuxFilterNotEqualOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorNotEqual); }

void TuxFilterNullOperator::FormatDisplayValue(AnsiString& S) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription)) S.clear();
}
bool TuxFilterNullOperator::IsMatch(const Variant& R, const Variant& C) { return Criteria()->IsNullValue(R); }
void TuxFilterNullOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorIsNull); }

bool TuxFilterNotNullOperator::IsMatch(const Variant& R, const Variant& C) {
  return !TuxFilterNullOperator::IsMatch(R, C);
}
void TuxFilterNotNullOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorIsNotNull); }

bool TuxFilterLessOperator::IsMatch(const Variant& R, const Variant& C) { return uxCompareVariants(R, C) < 0; }
void TuxFilterLessOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorLess); }
bool TuxFilterLessEqualOperator::IsMatch(const Variant& R, const Variant& C) { return uxCompareVariants(R, C) <= 0; }
void TuxFilterLessEqualOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorLessEqual); }
bool TuxFilterGreaterOperator::IsMatch(const Variant& R, const Variant& C) { return uxCompareVariants(R, C) > 0; }
void TuxFilterGreaterOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorGreater); }
bool TuxFilterGreaterEqualOperator::IsMatch(const Variant& R, const Variant& C) {
  return uxCompareVariants(R, C) >= 0;
}
void TuxFilterGreaterEqualOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorGreaterEqual); }

// ---- like ----

int TuxFilterLikeOperator::WildcardForm() {
  const Variant& value = CriteriaItem()->Value();
  AnsiString pattern = value.IsArray() ? AnsiString() : VarToStr(value);
  return uxTrimLikeWildcards(pattern, Criteria()->PercentWildcard());
}

void TuxFilterLikeOperator::FormatDisplayValue(AnsiString& S) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription)) uxTrimLikeWildcards(S, Criteria()->PercentWildcard());
}

bool TuxFilterLikeOperator::IsMatch(const Variant& R, const Variant& C) {
  const TuxFilterCriteria* criteria = Criteria();
  return uxLike(VarToStr(R), VarToStr(C), criteria->PercentWildcard(), criteria->UnderscoreWildcard());
}

void TuxFilterLikeOperator::GetDisplayName(AnsiString& S) {
  switch (WildcardForm()) {
    case 1: S = Disp(uxSFilterOperatorBeginsWith); break;
    case 2: S = Disp(uxSFilterOperatorEndsWith); break;
    case 3: S = Disp(uxSFilterOperatorContains); break;
    default: S = Disp(uxSFilterOperatorLike); break;
  }
}

void TuxFilterNotLikeOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  S = " NOT (" + FieldName() + " LIKE " + ValueText(Value) + ")";
}

bool TuxFilterNotLikeOperator::IsMatch(const Variant& R, const Variant& C) {
  return !TuxFilterLikeOperator::IsMatch(R, C);
}

void TuxFilterNotLikeOperator::GetDisplayName(AnsiString& S) {
  switch (WildcardForm()) {
    case 1: S = Disp(uxSFilterOperatorDoesNotBeginWith); break;
    case 2: S = Disp(uxSFilterOperatorDoesNotEndWith); break;
    case 3: S = Disp(uxSFilterOperatorDoesNotContain); break;
    default: S = Disp(uxSFilterOperatorNotLike); break;
  }
}

bool TuxFilterNotLikeOperator::UsesExpression() { return Criteria()->TranslateLike(); }

// ---- between ----

void TuxFilterBetweenOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  Variant low, high;
  if (!BoundsOf(Value, low, high)) {
    TuxFilterOperator::GetExpressionText(Value, S);
    return;
  }
  const AnsiString f = FieldName();
  S = "(" + f + " >= " + ValueText(low) + ") AND (" + f + " <= " + ValueText(high) + ")";
}

void TuxFilterBetweenOperator::FormatDisplayValue(AnsiString& S) {
  int pos = 1;
  const AnsiString a = uxFilterExtractName(S, pos);
  const AnsiString b = uxFilterExtractName(S, pos);
  S = a + " " + Disp(uxSFilterAndCaption) + " " + b;
}

bool TuxFilterBetweenOperator::GetCustomValueText(const Variant& Value, AnsiString& S) {
  Variant low, high;
  if (!BoundsOf(Value, low, high)) return false;
  S = ValueText(low) + " AND " + ValueText(high);
  return true;
}

bool TuxFilterBetweenOperator::IsMatch(const Variant& R, const Variant& C) {
  const int low = C.LowBound();  // raises for a value that is not an array
  if (uxCompareVariants(C[low], R) > 0) return false;
  return uxCompareVariants(R, C[low + 1]) <= 0;
}

void TuxFilterBetweenOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorBetween); }
bool TuxFilterBetweenOperator::UsesExpression() { return Criteria()->TranslateBetween(); }

void TuxFilterNotBetweenOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  TuxFilterBetweenOperator::GetExpressionText(Value, S);
  S = "NOT (" + S + ")";
}

bool TuxFilterNotBetweenOperator::IsMatch(const Variant& R, const Variant& C) {
  return !TuxFilterBetweenOperator::IsMatch(R, C);
}
void TuxFilterNotBetweenOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorNotBetween); }

// ---- in list ----

void TuxFilterInListOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  if (!Value.IsArray()) {
    TuxFilterOperator::GetExpressionText(Value, S);
    return;
  }
  const AnsiString f = FieldName();
  S.clear();
  for (int i = 0; i < Value.ElementCount(); ++i) {
    if (i > 0) S += " OR ";
    S += "(" + f + " = " + ValueText(Value[Value.LowBound() + i]) + ")";
  }
}

void TuxFilterInListOperator::FormatDisplayValue(AnsiString& S) {
  AnsiString r;
  int pos = 1;
  const int n = Length(S);
  bool first = true;
  while (pos <= n) {
    const AnsiString name = uxFilterExtractName(S, pos);
    if (!first) r += ", ";
    r += name;
    first = false;
  }
  S = "(" + r + ")";
}

bool TuxFilterInListOperator::GetCustomValueText(const Variant& Value, AnsiString& S) {
  if (!Value.IsArray()) return false;
  S = "(";
  for (int i = 0; i < Value.ElementCount(); ++i) {
    if (i > 0) S += ", ";
    S += ValueText(Value[Value.LowBound() + i]);
  }
  S += ")";
  return true;
}

bool TuxFilterInListOperator::IsMatch(const Variant& R, const Variant& C) {
  const int low = C.LowBound(), n = C.ElementCount();
  for (int i = 0; i < n; ++i)
    if (R == C[low + i]) return true;
  return false;
}

void TuxFilterInListOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorInList); }
bool TuxFilterInListOperator::UsesExpression() { return Criteria()->TranslateIn(); }

void TuxFilterNotInListOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  TuxFilterInListOperator::GetExpressionText(Value, S);
  S = "NOT (" + S + ")";
}

bool TuxFilterNotInListOperator::IsMatch(const Variant& R, const Variant& C) {
  return !TuxFilterInListOperator::IsMatch(R, C);
}
void TuxFilterNotInListOperator::GetDisplayName(AnsiString& S) { S = Disp(uxSFilterOperatorNotInList); }

// ---- dates ----

void TuxFilterDateOperator::GetExpressionText(const Variant& Value, AnsiString& S) {
  const AnsiString f = FieldName();
  S.clear();
  if (FDate1 != 0) S = "(" + f + " >= " + ValueText(VarFromDateTime(FDate1)) + ")";
  if (FDate2 != 0) {
    if (!S.empty()) S += " AND ";
    S += "(" + f + " < " + ValueText(VarFromDateTime(FDate2)) + ")";
  }
}

void TuxFilterDateOperator::Prepare() { CalcRange(std::floor(Date()), FDate1, FDate2); }

bool TuxFilterDateOperator::IsMatch(const Variant& R, const Variant& C) {
  if (Criteria()->IsNullValue(R)) return false;
  if (FDate1 != 0 && R < VarFromDateTime(FDate1)) return false;
  return FDate2 == 0 || R < VarFromDateTime(FDate2);
}

void TuxFilterLastNDaysOperator::CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) {
  Date2 = uxFilterDayRangesIncludeToday ? Today + 1 : Today;
  Date1 = Date2 - DayCount();
}

void TuxFilterNextNDaysOperator::CalcRange(TDateTime Today, TDateTime& Date1, TDateTime& Date2) {
  Date1 = uxFilterDayRangesIncludeToday ? Today : Today + 1;
  Date2 = Date1 + DayCount();
}

#define UX_DATE_OPERATOR_TEXT(Name, Text) \
  void Name::GetDisplayName(AnsiString& S) { S = Disp(Text); }

UX_DATE_OPERATOR_TEXT(TuxFilterYesterdayOperator, uxSFilterOperatorYesterday)
UX_DATE_OPERATOR_TEXT(TuxFilterTodayOperator, uxSFilterOperatorToday)
UX_DATE_OPERATOR_TEXT(TuxFilterTomorrowOperator, uxSFilterOperatorTomorrow)
UX_DATE_OPERATOR_TEXT(TuxFilterLast7DaysOperator, uxSFilterOperatorLast7Days)
UX_DATE_OPERATOR_TEXT(TuxFilterLastWeekOperator, uxSFilterOperatorLastWeek)
UX_DATE_OPERATOR_TEXT(TuxFilterLast14DaysOperator, uxSFilterOperatorLast14Days)
UX_DATE_OPERATOR_TEXT(TuxFilterLastTwoWeeksOperator, uxSFilterOperatorLastTwoWeeks)
UX_DATE_OPERATOR_TEXT(TuxFilterLast30DaysOperator, uxSFilterOperatorLast30Days)
UX_DATE_OPERATOR_TEXT(TuxFilterLastMonthOperator, uxSFilterOperatorLastMonth)
UX_DATE_OPERATOR_TEXT(TuxFilterLastYearOperator, uxSFilterOperatorLastYear)
UX_DATE_OPERATOR_TEXT(TuxFilterInPastOperator, uxSFilterOperatorInPast)
UX_DATE_OPERATOR_TEXT(TuxFilterThisWeekOperator, uxSFilterOperatorThisWeek)
UX_DATE_OPERATOR_TEXT(TuxFilterThisMonthOperator, uxSFilterOperatorThisMonth)
UX_DATE_OPERATOR_TEXT(TuxFilterThisYearOperator, uxSFilterOperatorThisYear)
UX_DATE_OPERATOR_TEXT(TuxFilterNext7DaysOperator, uxSFilterOperatorNext7Days)
UX_DATE_OPERATOR_TEXT(TuxFilterNextWeekOperator, uxSFilterOperatorNextWeek)
UX_DATE_OPERATOR_TEXT(TuxFilterNext14DaysOperator, uxSFilterOperatorNext14Days)
UX_DATE_OPERATOR_TEXT(TuxFilterNextTwoWeeksOperator, uxSFilterOperatorNextTwoWeeks)
UX_DATE_OPERATOR_TEXT(TuxFilterNext30DaysOperator, uxSFilterOperatorNext30Days)
UX_DATE_OPERATOR_TEXT(TuxFilterNextMonthOperator, uxSFilterOperatorNextMonth)
UX_DATE_OPERATOR_TEXT(TuxFilterNextYearOperator, uxSFilterOperatorNextYear)
UX_DATE_OPERATOR_TEXT(TuxFilterInFutureOperator, uxSFilterOperatorInFuture)
#undef UX_DATE_OPERATOR_TEXT

void TuxFilterYesterdayOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = T - 1;
  D2 = T;
}
void TuxFilterTodayOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = T;
  D2 = T + 1;
}
void TuxFilterTomorrowOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = T + 1;
  D2 = T + 2;
}
void TuxFilterLastWeekOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D2 = uxWeekStart(T);
  D1 = D2 - 7;
}
void TuxFilterLastTwoWeeksOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D2 = uxWeekStart(T);
  D1 = D2 - 14;
}
void TuxFilterLastMonthOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  D2 = FirstOfMonth(y, m);
  D1 = m == 1 ? FirstOfMonth(static_cast<Word>(y - 1), 12) : FirstOfMonth(y, static_cast<Word>(m - 1));
}
void TuxFilterLastYearOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  D1 = EncodeDate(static_cast<Word>(y - 1), 1, 1);
  D2 = EncodeDate(y, 1, 1);
}
void TuxFilterInPastOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = 0;
  D2 = T;
}
void TuxFilterThisWeekOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = uxWeekStart(T);
  D2 = D1 + 7;
}
void TuxFilterThisMonthOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  D1 = FirstOfMonth(y, m);
  MonthAfter(y, m);
  D2 = FirstOfMonth(y, m);
}
void TuxFilterThisYearOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  D1 = EncodeDate(y, 1, 1);
  D2 = EncodeDate(static_cast<Word>(y + 1), 1, 1);
}
void TuxFilterNextWeekOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = uxWeekStart(T) + 7;
  D2 = D1 + 7;
}
void TuxFilterNextTwoWeeksOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = uxWeekStart(T) + 7;
  D2 = D1 + 14;
}
void TuxFilterNextMonthOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  MonthAfter(y, m);
  D1 = FirstOfMonth(y, m);
  MonthAfter(y, m);
  D2 = FirstOfMonth(y, m);
}
void TuxFilterNextYearOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  Word y, m, d;
  DecodeDate(T, y, m, d);
  D1 = EncodeDate(static_cast<Word>(y + 1), 1, 1);
  D2 = EncodeDate(static_cast<Word>(y + 2), 1, 1);
}
void TuxFilterInFutureOperator::CalcRange(TDateTime T, TDateTime& D1, TDateTime& D2) {
  D1 = T + 1;
  D2 = 0;
}

TuxFilterOperatorClass uxFilterOperatorClassOfKind(int Kind) {
  static const TuxFilterOperatorClass table[] = {
      TuxFilterEqualOperator::StaticClass(),        TuxFilterNotEqualOperator::StaticClass(),
      TuxFilterLessOperator::StaticClass(),         TuxFilterLessEqualOperator::StaticClass(),
      TuxFilterGreaterOperator::StaticClass(),      TuxFilterGreaterEqualOperator::StaticClass(),
      TuxFilterLikeOperator::StaticClass(),         TuxFilterNotLikeOperator::StaticClass(),
      TuxFilterBetweenOperator::StaticClass(),      TuxFilterNotBetweenOperator::StaticClass(),
      TuxFilterInListOperator::StaticClass(),       TuxFilterNotInListOperator::StaticClass(),
      TuxFilterYesterdayOperator::StaticClass(),    TuxFilterTodayOperator::StaticClass(),
      TuxFilterTomorrowOperator::StaticClass(),     TuxFilterLast7DaysOperator::StaticClass(),
      TuxFilterLastWeekOperator::StaticClass(),     TuxFilterLast14DaysOperator::StaticClass(),
      TuxFilterLastTwoWeeksOperator::StaticClass(), TuxFilterLast30DaysOperator::StaticClass(),
      TuxFilterLastMonthOperator::StaticClass(),    TuxFilterLastYearOperator::StaticClass(),
      TuxFilterInPastOperator::StaticClass(),       TuxFilterThisWeekOperator::StaticClass(),
      TuxFilterThisMonthOperator::StaticClass(),    TuxFilterThisYearOperator::StaticClass(),
      TuxFilterNext7DaysOperator::StaticClass(),    TuxFilterNextWeekOperator::StaticClass(),
      TuxFilterNext14DaysOperator::StaticClass(),   TuxFilterNextTwoWeeksOperator::StaticClass(),
      TuxFilterNext30DaysOperator::StaticClass(),   TuxFilterNextMonthOperator::StaticClass(),
      TuxFilterNextYearOperator::StaticClass(),     TuxFilterInFutureOperator::StaticClass(),
      TuxFilterNullOperator::StaticClass(),         TuxFilterNotNullOperator::StaticClass(),
  };
  static_assert(std::size(table) == uxFilterLastConditionKind + 1);
  return Kind >= 0 && Kind <= uxFilterLastConditionKind ? table[Kind] : nullptr;
}
