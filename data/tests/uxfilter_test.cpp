#include "data/uxfilter.h"

#include <gtest/gtest.h>

#include <functional>

#include "data/tests/datatest.h"
#include "data/uxdatautils.h"
#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"

namespace {

using namespace datatest;


class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    // 2026-12-10, a Thursday
    SetClockForTests([] { return EncodeDate(2026, 12, 10) + EncodeTime(13, 0, 0, 0); });
  }
  void TearDown() override {
    ResetClock();
    ResetFormatSettings();
  }
  TuxFilterCriteriaItem* Add(int Column, Byte Kind, const Variant& Value, const AnsiString& Display = "",
                             TuxFilterCriteriaItemList* List = nullptr) {
    return (List ? List : c.Root())->AddItem(c.Col(Column), Kind, Value, Display);
  }
  TestCriteria c;
};

TEST_F(FilterTest, StreamOfOneCondition) {
  Add(2, fckEqual, Variant(5), "5");
  EXPECT_EQ(Hex(Saved(c)), "FFFFFFFF" "00" "01000000" "00" "00" "01000000" "35" "02000000" "0205");
}

TEST_F(FilterTest, OlderStreamWithoutMarkerLoadsWithAnAndRoot) {
  c.Root()->SetBoolOperatorKind(fgoOr);
  TStringStream s(FromHex("01000000" "00" "00" "01000000" "35" "02000000" "0205"));
  c.LoadFromStream(&s);
  EXPECT_EQ(c.Root()->BoolOperatorKind(), fgoAnd);
  ASSERT_EQ(c.Root()->GetCount(), 1);
  auto* item = static_cast<TuxFilterCriteriaItem*>(c.Root()->GetItem(0));
  EXPECT_EQ(item->ItemLink(), c.Col(2));
  EXPECT_EQ(item->Value().AsInteger(), 5);
}

TEST_F(FilterTest, FilterAndDisplayTexts) {
  Add(0, fckLike, Variant("A%"));
  TuxFilterCriteriaItemList* ages = c.Root()->AddItemList(fgoOr);
  Add(1, fckGreater, Variant(30), "30", ages);
  Add(1, fckEqual, Null(), "", ages);
  EXPECT_EQ(c.FilterText(), "(Name LIKE 'A%') AND ((Age > 30) OR (Age = NULL))");
  EXPECT_EQ(c.DisplayText(), "(name LIKE) and ((age > 30) or (age = blank))");
  c.SetOptions(TuxFilterCriteriaOptions{fcoShowOperatorDescription});
  static_cast<TuxFilterCriteriaItem*>(c.Root()->GetItem(0))->SetDisplayValue("A%");
  EXPECT_EQ(c.DisplayText(), "(name begins with A) and ((age is greater than 30) or (age is blank))");
  c.Root()->SetBoolOperatorKind(fgoNotOr);
  EXPECT_EQ(c.FilterText(), "NOT ((Name LIKE 'A%') OR ((Age > 30) OR (Age = NULL)))");
}

TEST_F(FilterTest, EmptyCriteria) {
  c.Records = {{Variant("x"), Variant(1), Null(), Null()}};
  EXPECT_TRUE(c.MatchesRecord(0));
  EXPECT_EQ(c.FilterText(), "");
  EXPECT_FALSE(c.IsNotDefault());
  c.Root()->SetBoolOperatorKind(fgoNotAnd);
  EXPECT_TRUE(c.MatchesRecord(0));
  EXPECT_EQ(c.FilterText(), "NOT ()");
  EXPECT_TRUE(c.IsNotDefault());
}

TEST_F(FilterTest, ValueLiterals) {
  Add(0, fckEqual, Variant("it's"));
  Add(2, fckEqual, VarFromDateTime(EncodeDate(2026, 1, 2) + EncodeTime(8, 30, 0, 0)));
  Add(2, fckEqual, VarFromDateTime(-700000));
  Add(3, fckEqual, Variant(true));
  Add(1, fckEqual, Variant(Currency::FromScaled(12500)));
  // the user's settings do not change the filter text
  TFormatSettings us = DefaultFormatSettings();
  us.DateSeparator = '/';
  us.ShortDateFormat = "M/d/yyyy";
  us.DecimalSeparator = '.';
  SetFormatSettings(us);
  EXPECT_EQ(c.FilterText(),
            "(Name = 'it''s') AND (Born = '2026-1-2 8:30:00') AND (Born = NULL) AND (Tag = True) AND (Age = 1.25)");
  c.SetDateTimeFormat("yyyy/mm/dd");
  EXPECT_EQ(c.FilterText(),
            "(Name = 'it''s') AND (Born = '2026-01-02') AND (Born = NULL) AND (Tag = True) AND (Age = 1.25)");
}

TEST_F(FilterTest, OperatorTextsAndTranslations) {
  Add(1, fckBetween, uxMakeVarArray2(Variant(1), Variant(9)), "1;9");
  Add(1, fckInList, VarArrayOf({Variant(1), Variant(2), Variant(3)}), "1;2;3");
  Add(0, fckNotLike, Variant("%a%"), "%a%");
  Add(1, fckNotBetween, uxMakeVarArray2(Variant(1), Variant(9)), "1;9");
  Add(1, fckNotInList, VarArrayOf({Variant(4)}), "4");
  EXPECT_EQ(c.FilterText(),
            "(Age BETWEEN 1 AND 9) AND (Age IN (1, 2, 3)) AND (Name NOT LIKE '%a%') AND "
            "(Age NOT BETWEEN 1 AND 9) AND (Age NOT IN (4))");
  EXPECT_EQ(c.DisplayText(),
            "(age between 1 and 9) and (age in (1, 2, 3)) and (name NOT LIKE %a%) and "
            "(age not between 1 and 9) and (age not in (4))");
  c.SetTranslateBetween(true);
  c.SetTranslateIn(true);
  c.SetTranslateLike(true);
  EXPECT_EQ(c.FilterText(),
            "((Age >= 1) AND (Age <= 9)) AND ((Age = 1) OR (Age = 2) OR (Age = 3)) AND ( NOT (Name LIKE '%a%')) AND "
            "(NOT ((Age >= 1) AND (Age <= 9))) AND (NOT ((Age = 4)))");
}

TEST_F(FilterTest, ConditionOverSeveralFields) {
  auto* item = Add(0, fckEqual, VarArrayOf({Variant("a"), Variant(3)}));
  c.Col(0)->Name = "Name; Age";
  EXPECT_TRUE(item->Operator()->UsesExpression());
  EXPECT_EQ(c.FilterText(), "((Name = 'a') AND (Age = 3))");
  Add(0, fckNotEqual, VarArrayOf({Variant("a"), Variant(3), Variant(4)}));
  EXPECT_EQ(c.FilterText(), "((Name = 'a') AND (Age = 3)) AND (NOT ((Name = 'a') AND (Age = 3) AND ( = 4)))");
}

TEST_F(FilterTest, LikeDisplayNames) {
  struct Case {
    Byte kind;
    const char* value;
    const char* name;
    const char* shown;
  } cases[] = {
      {fckLike, "a%", "begins with", "a"},          {fckLike, "%a", "ends with", "a"},
      {fckLike, "%a%", "contains", "a"},            {fckLike, "a%b", "like", "a%b"},
      {fckNotLike, "a%", "does not begin with", "a"}, {fckNotLike, "%a%", "does not contain", "a"},
      {fckNotLike, "a_", "not like", "a_"},
  };
  c.SetOptions(TuxFilterCriteriaOptions{fcoShowOperatorDescription});
  for (const Case& k : cases) {
    auto* item = Add(0, k.kind, Variant(k.value), k.value);
    EXPECT_EQ(item->Operator()->DisplayName(), k.name);
    AnsiString shown;
    item->GetDisplayValue(shown);
    EXPECT_EQ(shown, k.shown);
  }
}

TEST_F(FilterTest, DateRanges) {
  struct Case {
    Byte kind;
    int y1, m1, d1, y2, m2, d2;  // 0 = no bound
  } cases[] = {
      {fckYesterday, 2026, 12, 9, 2026, 12, 10},   {fckToday, 2026, 12, 10, 2026, 12, 11},
      {fckTomorrow, 2026, 12, 11, 2026, 12, 12},   {fckLast7Days, 2026, 12, 4, 2026, 12, 11},
      {fckLastWeek, 2026, 11, 30, 2026, 12, 7},    {fckLast14Days, 2026, 11, 27, 2026, 12, 11},
      {fckLastTwoWeeks, 2026, 11, 23, 2026, 12, 7}, {fckLast30Days, 2026, 11, 11, 2026, 12, 11},
      {fckLastMonth, 2026, 11, 1, 2026, 12, 1},    {fckLastYear, 2025, 1, 1, 2026, 1, 1},
      {fckInPast, 0, 0, 0, 2026, 12, 10},          {fckThisWeek, 2026, 12, 7, 2026, 12, 14},
      {fckThisMonth, 2026, 12, 1, 2027, 1, 1},     {fckThisYear, 2026, 1, 1, 2027, 1, 1},
      {fckNext7Days, 2026, 12, 10, 2026, 12, 17},  {fckNextWeek, 2026, 12, 14, 2026, 12, 21},
      {fckNext14Days, 2026, 12, 10, 2026, 12, 24}, {fckNextTwoWeeks, 2026, 12, 14, 2026, 12, 28},
      {fckNext30Days, 2026, 12, 10, 2027, 1, 9},   {fckNextMonth, 2027, 1, 1, 2027, 2, 1},
      {fckNextYear, 2027, 1, 1, 2028, 1, 1},       {fckInFuture, 2026, 12, 11, 0, 0, 0},
  };
  for (const Case& k : cases) {
    c.Clear();
    auto* item = Add(2, k.kind, Null());
    auto* op = dynamic_cast<TuxFilterDateOperator*>(item->Operator());
    ASSERT_NE(op, nullptr);
    const TDateTime d1 = k.y1 ? EncodeDate(k.y1, k.m1, k.d1) : 0;
    const TDateTime d2 = k.y2 ? EncodeDate(k.y2, k.m2, k.d2) : 0;
    EXPECT_EQ(op->Date1(), d1) << op->DisplayName();
    EXPECT_EQ(op->Date2(), d2) << op->DisplayName();
    c.Records = {{Null(), Null(), VarFromDateTime(d1 ? d1 : d2 - 1), Null()},
                 {Null(), Null(), VarFromDateTime(d2 ? d2 : d1 - 1), Null()},
                 {Null(), Null(), Null(), Null()}};
    EXPECT_TRUE(c.MatchesRecord(0)) << op->DisplayName();
    EXPECT_FALSE(c.MatchesRecord(1)) << op->DisplayName();
    EXPECT_FALSE(c.MatchesRecord(2)) << op->DisplayName();
    EXPECT_EQ(c.DisplayText(), "(born " + op->DisplayName() + ")");
  }
  c.Clear();
  Add(2, fckInPast, Null());
  EXPECT_EQ(c.FilterText(), "((Born < '2026-12-10'))");
  Add(2, fckThisWeek, Null());
  EXPECT_EQ(c.FilterText(), "((Born < '2026-12-10')) AND ((Born >= '2026-12-7') AND (Born < '2026-12-14'))");
}

TEST_F(FilterTest, WeekStartsFollowTheLocale) {
  const TDateTime sunday = EncodeDate(2026, 12, 13);
  EXPECT_EQ(uxWeekStart(sunday), EncodeDate(2026, 12, 7));  // Monday first: six days before
  TFormatSettings fs = DefaultFormatSettings();
  fs.FirstDayOfWeek = 6;  // Sunday
  SetFormatSettings(fs);
  EXPECT_EQ(uxWeekStart(sunday), sunday);
  SetClockForTests([] { return EncodeDate(2026, 12, 31) + 0.5; });
  c.Clear();
  auto* today = dynamic_cast<TuxFilterDateOperator*>(Add(2, fckToday, Null())->Operator());
  EXPECT_EQ(today->Date2(), EncodeDate(2027, 1, 1));
  // ranges are those of the last Prepare until the next change
  SetClockForTests([] { return EncodeDate(2027, 1, 1) + 0.5; });
  EXPECT_EQ(today->Date1(), EncodeDate(2026, 12, 31));
  c.SetOptions(TuxFilterCriteriaOptions{fcoSoftNull});
  EXPECT_EQ(today->Date1(), EncodeDate(2027, 1, 1));
}

TEST_F(FilterTest, MatchingOptions) {
  c.Records = {{Variant("ABCD"), Null(), Null(), Variant("")}, {Variant("abc"), Variant(3), Null(), Variant("x")}};
  Add(0, fckLike, Variant("abc%"));
  EXPECT_FALSE(c.MatchesRecord(0));
  EXPECT_TRUE(c.MatchesRecord(1));
  c.SetOptions(TuxFilterCriteriaOptions{fcoCaseInsensitive});
  EXPECT_TRUE(c.MatchesRecord(0));
  c.Clear();
  Add(1, fckLess, Variant(5));
  c.SetOptions(TuxFilterCriteriaOptions());
  EXPECT_TRUE(c.MatchesRecord(0));  // Null orders first
  c.SetOptions(TuxFilterCriteriaOptions{fcoIgnoreNull});
  EXPECT_FALSE(c.MatchesRecord(0));
  EXPECT_TRUE(c.MatchesRecord(1));
  c.Clear();
  Add(3, fckEqual, Null());  // is blank
  c.SetOptions(TuxFilterCriteriaOptions());
  EXPECT_FALSE(c.MatchesRecord(0));
  c.SetOptions(TuxFilterCriteriaOptions{fcoSoftNull});
  EXPECT_TRUE(c.MatchesRecord(0));
  EXPECT_FALSE(c.MatchesRecord(1));
  // a conversion error while matching: raised, or no match with fcoSoftCompare
  c.Clear();
  c.SetOptions(TuxFilterCriteriaOptions());
  Add(0, fckInList, VarArrayOf({Variant(1), Variant(2)}));
  EXPECT_THROW(c.MatchesRecord(1), EVariantTypeCastError);
  c.SetOptions(TuxFilterCriteriaOptions{fcoSoftCompare});
  EXPECT_FALSE(c.MatchesRecord(1));
}

TEST_F(FilterTest, BetweenAndInListMatching) {
  c.Records = {{Null(), Variant(1)}, {Null(), Variant(5)}, {Null(), Variant(9)}, {Null(), Variant(10)}, {Null(), Null()}};
  Add(1, fckBetween, uxMakeVarArray2(Variant(1), Variant(9)));
  const bool between[] = {true, true, true, false, false};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(c.MatchesRecord(r), between[r]) << r;
  c.Clear();
  Add(1, fckNotInList, VarArrayOf({Variant(5), Variant(10)}));
  const bool notIn[] = {true, false, true, false, true};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(c.MatchesRecord(r), notIn[r]) << r;
}

// Builds a tree with nested NOT lists and every condition kind.
void BuildEveryKind(TestCriteria& c) {
  c.Root()->SetBoolOperatorKind(fgoOr);
  TuxFilterCriteriaItemList* notAnd = c.Root()->AddItemList(fgoNotAnd);
  TuxFilterCriteriaItemList* notOr = notAnd->AddItemList(fgoNotOr);
  TuxFilterCriteriaItemList* lists[] = {c.Root(), notAnd, notOr};
  for (int kind = 0; kind <= uxFilterLastConditionKind; ++kind) {
    Variant value;
    switch (kind) {
      case fckBetween: case fckNotBetween: value = uxMakeVarArray2(Variant(2), Variant(4)); break;
      case fckInList: case fckNotInList: value = VarArrayOf({Variant("x"), Variant(kChapter + kChapter)}); break;
      case fckLike: case fckNotLike: value = Variant("%" + kChapter + "_"); break;
      case uxFilterNullOperatorKind: case uxFilterNotNullOperatorKind: value = Null(); break;
      default: value = kind < fckYesterday ? Variant(kind) : Null(); break;
    }
    const bool text = kind == fckLike || kind == fckNotLike || kind == fckInList || kind == fckNotInList;
    const int column = kind < fckYesterday ? (text ? 0 : 1) : 2;
    lists[kind % 3]->AddItem(c.Col(column), static_cast<Byte>(kind), value, "v" + IntToStr(kind));
  }
}

TEST_F(FilterTest, EveryKindAndNestedNotListsRoundTrip) {
  BuildEveryKind(c);
  c.Records = {{Variant(kChapter + kChapter), Variant(3), VarFromDateTime(EncodeDate(2026, 12, 10)), Null()},
               {Variant("x"), Variant(1), VarFromDateTime(EncodeDate(2026, 12, 20)), Null()},
               {Null(), Null(), Null(), Null()},
               {Variant("y" + kChapter + "z"), Variant(20), VarFromDateTime(EncodeDate(2020, 1, 1)), Null()}};
  const AnsiString bytes = Saved(c);
  TestCriteria loaded;
  loaded.Records = c.Records;
  TStringStream in(bytes);
  loaded.LoadFromStream(&in);
  EXPECT_EQ(in.Remaining(), 0);
  EXPECT_EQ(Saved(loaded), bytes);
  EXPECT_TRUE(loaded.EqualsCriteria(&c));
  EXPECT_EQ(loaded.FilterText(), c.FilterText());
  EXPECT_EQ(loaded.DisplayText(), c.DisplayText());
  for (int r = 0; r < 4; ++r) EXPECT_EQ(loaded.MatchesRecord(r), c.MatchesRecord(r)) << r;
  // every kind comes back with its operator; 34 and 35 select the null operators
  std::vector<TuxFilterCriteriaItem*> items;
  std::function<void(TuxFilterCriteriaItemList*)> collect = [&](TuxFilterCriteriaItemList* list) {
    for (int i = 0; i < list->GetCount(); ++i) {
      if (list->GetItem(i)->IsItemList())
        collect(static_cast<TuxFilterCriteriaItemList*>(list->GetItem(i)));
      else
        items.push_back(static_cast<TuxFilterCriteriaItem*>(list->GetItem(i)));
    }
  };
  collect(loaded.Root());
  ASSERT_EQ(items.size(), uxFilterLastConditionKind + 1u);
  for (TuxFilterCriteriaItem* item : items) {
    const TClass expected = uxFilterOperatorClassOfKind(item->OperatorKind());
    EXPECT_EQ(item->Operator()->ClassType(), expected) << int(item->OperatorKind());
  }
  // the tree through Assign
  TestCriteria copy;
  copy.Assign(&loaded);
  EXPECT_EQ(Saved(copy), bytes);
}

TEST_F(FilterTest, NotListsEvaluate) {
  c.Records = {{Null(), Variant(1)}, {Null(), Variant(2)}, {Null(), Variant(3)}};
  // not (age = 1 or age = 2)
  TuxFilterCriteriaItemList* notOr = c.Root()->AddItemList(fgoNotOr);
  Add(1, fckEqual, Variant(1), "", notOr);
  Add(1, fckEqual, Variant(2), "", notOr);
  EXPECT_FALSE(c.MatchesRecord(0));
  EXPECT_FALSE(c.MatchesRecord(1));
  EXPECT_TRUE(c.MatchesRecord(2));
  // not (age >= 2 and age <= 2)
  c.Clear();
  TuxFilterCriteriaItemList* notAnd = c.Root()->AddItemList(fgoNotAnd);
  Add(1, fckGreaterEqual, Variant(2), "", notAnd);
  Add(1, fckLessEqual, Variant(2), "", notAnd);
  EXPECT_TRUE(c.MatchesRecord(0));
  EXPECT_FALSE(c.MatchesRecord(1));
  EXPECT_TRUE(c.MatchesRecord(2));
}

TEST_F(FilterTest, RemovingAnItemLink) {
  TuxFilterCriteriaItemList* orList = c.Root()->AddItemList(fgoOr);
  Add(0, fckEqual, Variant("a"), "", orList);
  Add(1, fckEqual, Variant(1), "", orList);
  Add(2, fckEqual, Variant(2.0));
  c.Changes = 0;
  c.RemoveItemByItemLink(c.Col(0));
  EXPECT_EQ(c.Changes, 1);
  // the OR list is dissolved: its condition moves to the end of the root
  ASSERT_EQ(c.Root()->GetCount(), 2);
  EXPECT_EQ(static_cast<TuxFilterCriteriaItem*>(c.Root()->GetItem(1))->ItemLink(), c.Col(1));
  c.Changes = 0;
  c.RemoveItemByItemLink(c.Col(3));
  EXPECT_EQ(c.Changes, 0);
}

TEST_F(FilterTest, RemovingFromANotListKeepsItsNegation) {
  c.Records = {{Variant("a"), Variant(1)}, {Variant("b"), Variant(2)}};
  TuxFilterCriteriaItemList* notAnd = c.Root()->AddItemList(fgoNotAnd);
  Add(0, fckEqual, Variant("zzz"), "", notAnd);
  Add(1, fckEqual, Variant(1), "", notAnd);
  c.RemoveItemByItemLink(c.Col(0));
  EXPECT_EQ(c.FilterText(), "(NOT ((Age = 1)))");
  EXPECT_FALSE(c.MatchesRecord(0));
  EXPECT_TRUE(c.MatchesRecord(1));
  // removing the last condition removes the list
  c.RemoveItemByItemLink(c.Col(1));
  EXPECT_EQ(c.Root()->GetCount(), 0);
}

TEST_F(FilterTest, EqualsCriteriaIsOrderSensitive) {
  TestCriteria other;
  Add(0, fckEqual, Variant("a"));
  Add(1, fckEqual, Variant(1));
  other.Root()->AddItem(other.Col(1), fckEqual, Variant(1), "");
  other.Root()->AddItem(other.Col(0), fckEqual, Variant("a"), "");
  EXPECT_FALSE(c.EqualsCriteria(&other));
}

TEST_F(FilterTest, ChangesAreAnnouncedOncePerUpdate) {
  c.Changes = 0;
  c.BeginUpdate();
  Add(0, fckEqual, Variant("a"));
  Add(1, fckEqual, Variant(1));
  EXPECT_EQ(c.Changes, 0);
  c.EndUpdate();
  EXPECT_EQ(c.Changes, 1);
  TStringStream s(Saved(c));
  c.LoadFromStream(&s);
  EXPECT_EQ(c.Changes, 2);
  c.Clear();
  EXPECT_EQ(c.Changes, 3);
}

TEST_F(FilterTest, ABrokenStreamKeepsTheCurrentCriteria) {
  Add(0, fckLike, Variant("%x%"));
  TuxFilterCriteriaItemList* l = c.Root()->AddItemList(fgoNotOr);
  Add(1, fckEqual, Variant(1), "", l);
  const AnsiString before = Saved(c);
  TestCriteria source;
  BuildEveryKind(source);
  const AnsiString good = Saved(source);
  const AnsiString broken[] = {
      good.substr(0, good.size() - 1),                    // cut short
      good.substr(0, 30),                                  // cut in the middle
      FromHex("FFFFFFFF" "00" "00000080"),                 // 2^31 children
      FromHex("FFFFFFFF" "04" "00000000"),                 // no such group operator
      FromHex("FFFFFFFF" "00" "01000000" "00" "24" "00000000" "00000000" "00"),  // kind 36
      FromHex("FFFFFFFF" "00" "01000000" "00" "00" "FFFFFF7F" "00000000" "00"),  // huge display value
      FromHex("FFFFFFFF" "00" "01000000" "00" "00" "00000000" "00000000" "07"),  // bad value tag
      FromHex("FEFFFFFF"),                                 // negative count
  };
  for (const AnsiString& bytes : broken) {
    c.Changes = 0;
    TStringStream s(bytes);
    EXPECT_THROW(c.LoadFromStream(&s), EReadError) << Hex(bytes);
    EXPECT_EQ(Saved(c), before);
    EXPECT_EQ(c.Changes, 0);
    EXPECT_EQ(c.LockCount(), 0);
  }
}

TEST_F(FilterTest, DisplayTextHook) {
  uxFilterTextHook = [](const AnsiString& Text) { return "[" + Text + "]"; };
  Add(1, fckBetween, uxMakeVarArray2(Variant(1), Variant(9)), "1;9");
  EXPECT_EQ(c.DisplayText(), "(age [between] 1 [and] 9)");
  AnsiString blank;
  uxFilterValueDisplayText(Null(), blank);
  EXPECT_EQ(blank, "[blank]");
  uxFilterTextHook = nullptr;
  int pos = 1;
  EXPECT_EQ(uxFilterExtractName(" a ; b;", pos), "a");
  EXPECT_EQ(uxFilterExtractName(" a ; b;", pos), "b");
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(uxFilterExtractName(" a ; b;", pos), "");
}

// ---- value list ----

class ValueListTest : public FilterTest {
 protected:
  ValueListTest() : list(c.CreateValueList()) {}
  std::unique_ptr<TuxFilterValueList> list;
  std::vector<std::pair<int, AnsiString>> Entries() {
    std::vector<std::pair<int, AnsiString>> r;
    for (int i = 0; i < list->GetCount(); ++i) r.push_back({list->GetItem(i).Kind, VarToStr(list->GetItem(i).Value)});
    return r;
  }
};

TEST_F(ValueListTest, ValuesAreSortedWithoutDuplicates) {
  for (int v : {3, 1, 2, 1}) list->Add(fveValue, Variant(v), false, IntToStr(v));
  using E = std::vector<std::pair<int, AnsiString>>;
  EXPECT_EQ(Entries(), (E{{fveValue, "1"}, {fveValue, "2"}, {fveValue, "3"}}));
  list->Add(fveAll, Null(), false, "(All)");
  list->Add(fveCustom, Null(), false, "(Custom...)");
  list->Add(fveRecent, Variant(9), false, "9");
  list->Add(fveRecent, Variant(8), false, "8");
  EXPECT_EQ(Entries(), (E{{fveRecent, "9"}, {fveRecent, "8"}, {fveRecentSeparator, ""}, {fveAll, ""},
                          {fveCustom, ""}, {fveValue, "1"}, {fveValue, "2"}, {fveValue, "3"}}));
  EXPECT_EQ(list->RecentSeparatorIndex(), 2);
  EXPECT_EQ(list->FirstValueIndex(), 5);
  list->Add(fveValue, Variant(8), false, "8");  // found among the recent values
  EXPECT_EQ(list->GetCount(), 8);
  list->Add(fveValue, Variant(0), true, "0");   // appended as it is
  EXPECT_EQ(Entries().back(), (std::pair<int, AnsiString>{fveValue, "0"}));
}

TEST_F(ValueListTest, MaxCountCountsEveryEntry) {
  c.SetMaxValueListCount(3);
  list->Add(fveAll, Null(), false, "(All)");
  list->Add(fveCustom, Null(), false, "(Custom...)");
  for (int v : {1, 2, 3}) list->Add(fveValue, Variant(v), false, IntToStr(v));
  EXPECT_EQ(list->GetCount(), 3);
}

TEST_F(ValueListTest, DisplayTextsCompareWithoutCase) {
  list->SetSortByDisplayText(true);
  c.SetOptions(TuxFilterCriteriaOptions{fcoCaseInsensitive});
  list->Add(fveValue, Variant(1), false, "abc");
  list->Add(fveValue, Variant(2), false, "ABC");
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetItem(0).DisplayText, "abc");
}

TEST_F(ValueListTest, EntryOfACondition) {
  list->Add(fveAll, Null(), false, "(All)");
  list->Add(fveCustom, Null(), false, "(Custom...)");
  list->Add(fveBlanks, Null(), false, "(Blanks)");
  list->Add(fveNonBlanks, Null(), false, "(NonBlanks)");
  for (int v : {1, 5}) list->Add(fveValue, Variant(v), false, IntToStr(v));
  EXPECT_EQ(list->GetIndexByCriteriaItem(nullptr), 0);
  EXPECT_EQ(list->GetIndexByCriteriaItem(Add(1, fckEqual, Null())), 2);
  EXPECT_EQ(list->GetIndexByCriteriaItem(Add(1, fckNotEqual, Null())), 3);
  EXPECT_EQ(list->GetIndexByCriteriaItem(Add(1, fckEqual, Variant(5), "5")), 5);
  EXPECT_EQ(list->GetIndexByCriteriaItem(Add(1, fckEqual, Variant(7), "7")), 1);
  EXPECT_EQ(list->GetIndexByCriteriaItem(Add(1, fckLess, Variant(5), "5")), 1);
  EXPECT_EQ(list->IndexOfKindValue(fveValue, Variant(5)), 5);
  list->Delete(0);
  EXPECT_EQ(list->IndexOfKind(fveAll), -1);
}

}  // namespace
