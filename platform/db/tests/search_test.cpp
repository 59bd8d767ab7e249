#include <gtest/gtest.h>

#include "platform/db/filter.h"
#include "platform/db/tests/dbtest.h"
#include "platform/rtl/strings.h"

namespace {

class SearchTest : public OpenTableTest {
 protected:
  void SetUp() override {
    OpenTable("s.l", NodeTableSql("t", 10) +
              "UPDATE t SET tname='Alpha beta' WHERE tid=4;"
              "UPDATE t SET tname='alpha' WHERE tid=6;"
              "UPDATE t SET tname=NULL WHERE tid=8;"
              "UPDATE t SET tdate=45000.5 WHERE tid<=3;");
  }
  std::vector<int> VisibleIds() {
    std::vector<int> ids;
    for (table.First(); !table.Eof(); table.Next()) ids.push_back(table.FieldByName("tid")->AsInteger());
    return ids;
  }
};

TEST_F(SearchTest, LocateWithAndWithoutOptions) {
  struct Case {
    const char* fields;
    Variant key;
    TLocateOptions options;
    int foundTid;  // 0: not found
  } cases[] = {
      {"tid", Variant(5), {}, 5},
      {"tid", Variant("7"), {}, 7},
      {"tid", Variant(42), {}, 0},
      {"tname", Variant("alpha"), {}, 6},
      {"tname", Variant("ALPHA"), {}, 0},
      {"tname", Variant("ALPHA"), {loCaseInsensitive}, 6},
      {"tname", Variant("Alpha"), {loPartialKey}, 4},
      {"tname", Variant("alp"), {loPartialKey, loCaseInsensitive}, 4},
      {"tname", Null(), {}, 8},
      {"ttype;tparent", VarArrayOf({Variant(110), Variant(2)}), {}, 6},
      {"ttype;tparent", VarArrayOf({Variant(110), Variant(9)}), {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fields << " #" << (&c - cases));
    table.SetRecNo(2);
    bool found = table.Locate(c.fields, c.key, c.options);
    EXPECT_EQ(found, c.foundTid != 0);
    EXPECT_EQ(table.FieldByName("tid")->AsInteger(), c.foundTid ? c.foundTid : 2);
  }
}

TEST_F(SearchTest, LookupReadsWithoutMoving) {
  table.SetRecNo(3);
  EXPECT_EQ(VarToStr(table.Lookup("tid", 6, "tname")), "alpha");
  Variant both = table.Lookup("tid", 4, "tname;ttype");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(VarToStr(both[0]), "Alpha beta");
  EXPECT_EQ(both[1].AsInteger(), 50);
  EXPECT_TRUE(table.Lookup("tid", 99, "tname").IsNull());
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_THROW(table.Locate("nosuch", 1, {}), EDatabaseError);
}

TEST_F(SearchTest, FiltersSelectTheMatchingRecords) {
  struct Case {
    const char* filter;
    std::vector<int> ids;
  } cases[] = {
      {"tid=5", {5}},
      {"ttype<100", {1, 4, 7, 10}},
      {"ttype=110", {3, 6, 9}},
      {"ttype = 110 AND tparent = 2", {6}},
      {"ttype=50 OR tid=2", {1, 2, 4, 7, 10}},
      {"NOT (ttype >= 100)", {1, 4, 7, 10}},
      {"(tid < 3 OR tid > 8) AND NOT tid = 10", {1, 2, 9}},
      {"tname IS NULL", {8}},
      {"tname IS NOT NULL AND tid > 7", {9, 10}},
      {"tname = 'n1*'", {1, 10}},
      {"tname = '*pha*'", {4, 6}},
      {"tname <> 'n*'", {4, 6}},
      {"tname > 'n5'", {7, 9}},
      {"tdate >= '2023-3-15'", {1, 2, 3}},
      {"tdate = #2023-03-15 12:00#", {1, 2, 3}},
      {"tdate < '2023-3-15'", {}},
      {"[tid] <> 1 and tid <= -1", {}},
      {"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    table.SetFiltered(false);
    table.SetFilter(c.filter);
    table.SetFiltered(true);
    EXPECT_EQ(VisibleIds(), c.ids);
    EXPECT_EQ(table.RecordCount(), static_cast<int>(c.ids.size()));
  }
}

TEST_F(SearchTest, FilterOptionsAndEventCombine) {
  table.SetFilter("tname = 'ALPHA*'");
  table.SetFiltered(true);
  EXPECT_EQ(VisibleIds(), (std::vector<int>{}));
  table.SetFilterOptions({foCaseInsensitive});
  EXPECT_EQ(VisibleIds(), (std::vector<int>{4, 6}));
  struct Handler {
    void Filter(TDataSet* ds, bool& accept) { accept = ds->FieldByName("tid")->AsInteger() > 5; }
  } h;
  table.SetOnFilterRecord(TFilterRecordEvent(&h, &Handler::Filter));
  EXPECT_EQ(VisibleIds(), (std::vector<int>{6}));
  table.SetFilter("");
  EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 7, 8, 9, 10}));
}

// foNoPartialCompare makes '*' an ordinary character of the literal.
TEST_F(SearchTest, NoPartialCompareTakesTheAsteriskLiterally) {
  table.SetRecNo(2);
  table.Edit();
  table.FieldByName("tname")->SetAsString("n1*");
  table.Post();
  struct Case {
    const char* filter;
    TFilterOptions options;
    std::vector<int> ids;
  } cases[] = {
      {"tname = 'n1*'", {}, {1, 2, 10}},
      {"tname = 'n1*'", {foNoPartialCompare}, {2}},
      {"tname = 'N1*'", {foNoPartialCompare, foCaseInsensitive}, {2}},
      {"tname <> 'n*'", {}, {4, 6}},
      {"tname <> 'n*'", {foNoPartialCompare}, {1, 2, 3, 4, 5, 6, 7, 9, 10}},
      {"tname = '*'", {foNoPartialCompare}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.filter << " #" << (&c - cases));
    table.SetFiltered(false);
    table.SetFilter(c.filter);
    table.SetFilterOptions(c.options);
    table.SetFiltered(true);
    EXPECT_EQ(VisibleIds(), c.ids);
  }
}

TEST_F(SearchTest, ChangingTheFilterGoesToTheFirstMatch) {
  table.SetRecNo(9);
  table.SetFilter("ttype=110");
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 9);  // not yet filtering
  table.SetFiltered(true);
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 3);
  EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(SearchTest, PostedRecordLeavesTheFilterWhenItNoLongerMatches) {
  table.SetFilter("ttype=110");
  table.SetFiltered(true);
  table.Edit();
  table.FieldByName("ttype")->SetAsInteger(1);
  table.Post();
  EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 9}));
  table.Append();
  table.FieldByName("ttype")->SetAsInteger(110);
  table.Post();
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 11);
  EXPECT_EQ(VisibleIds(), (std::vector<int>{6, 9, 11}));
}

TEST_F(SearchTest, BadFiltersRaiseAndKeepThePreviousOne) {
  table.SetFilter("tid=5");
  table.SetFiltered(true);
  const char* bad[] = {"tid=", "tid = 'x", "(tid=1", "nosuch=1", "tid=1 tid=2", "tid = 'abc'", "tid ! 3"};
  for (const char* f : bad) {
    SCOPED_TRACE(f);
    EXPECT_THROW(table.SetFilter(f), EDatabaseError);
    EXPECT_EQ(table.Filter(), "tid=5");
    EXPECT_EQ(VisibleIds(), (std::vector<int>{5}));
  }
}

TEST(WildcardTest, NeverMatchesHalfACharacter) {
  // "\xB0\xA1" is one double-byte character; its trail byte is not an 'A'.
  EXPECT_FALSE(pvdb::WildcardMatch("*\xA1*", "\xB0\xA1", false));
  EXPECT_TRUE(pvdb::WildcardMatch("*\xB0\xA1", "x\xB0\xA1", false));
  EXPECT_TRUE(pvdb::WildcardMatch("a*c", "abbbc", false));
  EXPECT_FALSE(pvdb::WildcardMatch("a*c", "abbb", false));
  EXPECT_TRUE(pvdb::WildcardMatch("A*", "abc", true));
}

TEST_F(SearchTest, BookmarksStayValidAcrossInsertsAndDeletes) {
  table.SetRecNo(4);
  TBookmark b4 = table.GetBookmark();
  table.SetRecNo(8);
  TBookmark b8 = table.GetBookmark();
  table.First();
  table.Insert();
  table.FieldByName("tname")->SetAsString("inserted");
  table.Post();
  table.SetRecNo(2);
  table.Delete();  // tid 2
  EXPECT_TRUE(table.BookmarkValid(b4));
  table.GotoBookmark(b4);
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 4);
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_LT(table.CompareBookmarks(b4, b8), 0);
  EXPECT_GT(table.CompareBookmarks(b8, b4), 0);
  EXPECT_EQ(table.CompareBookmarks(b4, b4), 0);
  EXPECT_LT(table.CompareBookmarks(nullptr, b4), 0);
  // The string form round-trips.
  TBookmarkStr s = table.Bookmark();
  table.Last();
  table.SetBookmark(s);
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 4);
  // A deleted record's bookmark is invalid and going there raises.
  table.GotoBookmark(b8);
  table.Delete();
  EXPECT_FALSE(table.BookmarkValid(b8));
  EXPECT_THROW(table.GotoBookmark(b8), EDatabaseError);
  table.FreeBookmark(b4);
  table.FreeBookmark(b8);
}

TEST_F(SearchTest, BookmarksOrderLikeTheKey) {
  std::vector<TBookmark> marks;
  for (table.First(); !table.Eof(); table.Next()) marks.push_back(table.GetBookmark());
  for (size_t a = 0; a < marks.size(); ++a)
    for (size_t b = 0; b < marks.size(); ++b)
      EXPECT_EQ(table.CompareBookmarks(marks[a], marks[b]), a < b ? -1 : (a > b ? 1 : 0));
  for (TBookmark m : marks) table.FreeBookmark(m);
}

TEST_F(SearchTest, FieldValuesReadsListsAsArrays) {
  table.SetRecNo(6);
  Variant v = table.FieldValues("tid; tname");
  ASSERT_TRUE(v.IsArray());
  EXPECT_EQ(v[0].AsInteger(), 6);
  EXPECT_EQ(VarToStr(v[1]), "alpha");
  std::vector<TField*> list;
  table.GetFieldList(list, "tname;ttype");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1]->FieldName(), "ttype");
  EXPECT_THROW(table.GetFieldList(list, "tname;nosuch"), EDatabaseError);
}

TEST(ExtractFieldNameTest, WalksAListNameByName) {
  const struct {
    const char* list;
    std::vector<std::string> names;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a;", {"a"}},
      {" a ; b;c ", {"a", "b", "c"}},
      {"a;;b", {"a", "", "b"}},
      {"\xB5\xDA;\xD5\xC2", {"\xB5\xDA", "\xD5\xC2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    std::vector<std::string> got;
    const AnsiString list = c.list;
    for (int pos = 1; pos <= Length(list);) got.push_back(ExtractFieldName(list, pos));
    EXPECT_EQ(got, c.names);
  }
  int pos = 2;
  EXPECT_EQ(ExtractFieldName("ab;c", pos), "b");
  EXPECT_EQ(pos, 4);
}

TEST_F(SearchTest, AFilterMayNameAFieldByItsOrigin) {
  table.FieldByName("ttype")->SetOrigin("node type");
  table.SetFilter("[node type] = 110 AND ttype = 110");
  table.SetFiltered(true);
  EXPECT_EQ(VisibleIds(), (std::vector<int>{3, 6, 9}));
}

}  // namespace
