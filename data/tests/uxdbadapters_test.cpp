// The pieces between the controller and the platform's datasets: names in
// filter texts, name lists, the adapter registry and the SQL null operators.
#include <gtest/gtest.h>

#include "data/tests/dbdatatest.h"
#include "data/uxdbadapters.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/stringlist.h"

using namespace dbtest;

namespace {

TEST(DBAdapters, FieldNamesReadBackAsTheSameField) {
  struct Case {
    const char* Name;
    const char* Quoted;
  };
  const Case cases[] = {
      {"tname", "tname"},           {"first name", "[first name]"}, {"a]b", "[a]]b]"},
      {"and", "[and]"},             {"Like", "[Like]"},             {"1st", "[1st]"},
      {"x]]", "[x]]]]]"},
  };
  for (const Case& k : cases) {
    AnsiString name = k.Name;
    uxQuoteFieldName(name);
    EXPECT_EQ(name, k.Quoted) << k.Name;
  }
  // A name whose last double-byte character has ']' as its trail byte is not doubled there.
  AnsiString hanzi = "\xD5]x";
  uxQuoteFieldName(hanzi);
  EXPECT_EQ(hanzi, "[\xD5]x]");
}

TEST(DBAdapters, FilterNameOfAFieldUsesOriginUnlessIgnored) {
  TStringField f(nullptr);
  f.SetFieldName("first name");
  EXPECT_EQ(uxGetFilterFieldName(&f, false), "[first name]");
  f.SetOrigin("t.fname");
  EXPECT_EQ(uxGetFilterFieldName(&f, false), "[t.fname]");
  EXPECT_EQ(uxGetFilterFieldName(&f, true), "[first name]");
  EXPECT_EQ(uxGetFilterFieldName(nullptr, false), "");
}

TEST(DBAdapters, NameLists) {
  struct Case {
    const char* Names;
    bool Multiple;
    int Count;
  };
  const Case cases[] = {{"a;b", true, 2}, {"a", false, 1}, {"a;", false, 1}, {"", false, 0}, {" a ; b ;c", true, 3}};
  for (const Case& k : cases) {
    EXPECT_EQ(uxHasMultipleFieldNames(k.Names), k.Multiple) << k.Names;
    EXPECT_EQ(uxGetFieldNameCount(k.Names), k.Count) << k.Names;
  }
  TStringList list;
  list.Add("old");
  uxSplitFieldNames(" a ; b ;c", &list);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "b");
  EXPECT_TRUE(uxFieldNamesEqual("tName", "TNAME"));
}

class TQueryLikeDataSet : public TADOTable {
  PV_CLASS(TQueryLikeDataSet, TADOTable)
 public:
  using TADOTable::TADOTable;
};

class TOtherAdapter : public TuxDBFilterOperatorAdapter {
  PV_CLASS(TOtherAdapter, TuxDBFilterOperatorAdapter)
};

TEST(DBAdapters, LookupFindsTheNearestRegisteredAncestor) {
  TuxDBAdapterList list;
  list.RegisterAdapter(TDataSet::StaticClass(), TuxDBFilterOperatorAdapter::StaticClass());
  list.RegisterAdapter(TADOTable::StaticClass(), TOtherAdapter::StaticClass());
  int index = -1;
  ASSERT_TRUE(list.Find(TQueryLikeDataSet::StaticClass(), index));
  EXPECT_EQ(list.Items(index)->ClassType(), TOtherAdapter::StaticClass());
  ASSERT_TRUE(list.Find(TADOQuery::StaticClass(), index));
  EXPECT_EQ(list.Items(index)->ClassType(), TuxDBFilterOperatorAdapter::StaticClass());
  // A class above every registered one: not found, Index at the first more specific item.
  EXPECT_FALSE(list.Find(TComponent::StaticClass(), index));
  EXPECT_EQ(index, 0);
  EXPECT_THROW(list.RegisterAdapter(TDataSet::StaticClass(), TStringList::StaticClass()), EInvalidOperation);
  list.UnregisterAdapter(TADOTable::StaticClass(), TOtherAdapter::StaticClass());
  EXPECT_EQ(list.Count(), 1);
}

TEST(DBAdapters, QueriesTestNullsWithIs) {
  TADOQuery query(nullptr);
  TADOTable table(nullptr);
  TQueryLikeDataSet other(nullptr);
  struct Case {
    TDataSet* DataSet;
    TuxFilterOperatorClass In, Out;
  };
  const Case cases[] = {
      {&query, TuxFilterNullOperator::StaticClass(), TuxFilterSQLNullOperator::StaticClass()},
      {&query, TuxFilterNotNullOperator::StaticClass(), TuxFilterSQLNotNullOperator::StaticClass()},
      {&query, TuxFilterEqualOperator::StaticClass(), TuxFilterEqualOperator::StaticClass()},
      {&table, TuxFilterNullOperator::StaticClass(), TuxFilterNullOperator::StaticClass()},
      {nullptr, TuxFilterNullOperator::StaticClass(), TuxFilterNullOperator::StaticClass()},
  };
  for (const Case& k : cases) {
    TuxFilterOperatorClass cls = k.In;
    uxPrepareFilterOperatorClass(nullptr, k.DataSet, cls);
    EXPECT_EQ(cls, k.Out) << k.In->Name;
  }
  AnsiString keyword;
  TuxFilterSQLNotNullOperator op(nullptr);
  op.GetKeyword(keyword);
  EXPECT_EQ(keyword, "IS NOT");
}

// With the data set filtering by itself, a change that leaves the text, the
// options and the flag as they were does not touch the data set.
TEST(DBAdapters, AnUnchangedFilterLeavesTheDataSetAlone) {
  TempDir dir;
  const std::string path = dir.File("f.l");
  Exec(path, NodeTableSql("t") + "INSERT INTO t (tname, ttype) VALUES ('a', 1);");
  TableSource src;
  src.Open(path, "t");
  int reopened = 0;
  struct Counter : TObject {
    int* N;
    void Count(TDataSet*) { ++*N; }
  } counter;
  counter.N = &reopened;
  EXPECT_TRUE(uxSetDataSetFilter(&src.Table, "ttype = 1", false, true));
  src.Table.AfterRefresh = TDataSetNotifyEvent(&counter, &Counter::Count);
  src.Table.AfterScroll = TDataSetNotifyEvent(&counter, &Counter::Count);
  EXPECT_FALSE(uxSetDataSetFilter(&src.Table, "ttype = 1", false, true));
  EXPECT_EQ(reopened, 0);
  EXPECT_TRUE(uxSetDataSetFilter(&src.Table, "ttype = 1", true, true));
  EXPECT_TRUE(src.Table.FilterOptions().Contains(foCaseInsensitive));
  EXPECT_TRUE(src.Table.FilterOptions().Contains(foNoPartialCompare));
}

}  // namespace

namespace {

// The criteria of a dataset controller publish what they add to the criteria.
TEST(DBAdapters, CriteriaPublishTheirDataSetProperties) {
  ControllerPtr c = NewController();
  TuxDBDataFilterCriteria* f = c->GetFilter();
  ASSERT_NE(GetPropInfo(f, "AutoDataSetFilter"), nullptr);
  EXPECT_EQ(GetOrdProp(f, "AutoDataSetFilter"), 0);
  EXPECT_EQ(GetOrdProp(f, "IgnoreOrigin"), 1);
  SetOrdProp(f, "AutoDataSetFilter", 1);
  EXPECT_TRUE(f->AutoDataSetFilter());
  f->RestoreDefaults();
  EXPECT_FALSE(f->AutoDataSetFilter());
  EXPECT_TRUE(f->IgnoreOrigin());
}

}  // namespace
