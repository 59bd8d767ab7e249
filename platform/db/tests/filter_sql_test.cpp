// Filters of a real table give the rows that SQLite gives for the same
// condition, and a bad filter text leaves the one in force.
#include <gtest/gtest.h>

#include "platform/db/tests/dbtest.h"
#include "platform/rtl/strings.h"

namespace {

const char* kRows =
    "CREATE TABLE t (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(50), n INTEGER, \"a]b\" TEXT(20));"
    "INSERT INTO t (tname, n, \"a]b\") VALUES ('apple', 1, 'x');"
    "INSERT INTO t (tname, n, \"a]b\") VALUES ('Apple pie', 2, 'a]b');"
    "INSERT INTO t (tname, n, \"a]b\") VALUES ('\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0', 3, NULL);"  // 第一章
    "INSERT INTO t (tname, n, \"a]b\") VALUES (NULL, NULL, NULL);"
    "INSERT INTO t (tname, n, \"a]b\") VALUES ('a_b%c', 10, 'y');"
    "INSERT INTO t (tname, n, \"a]b\") VALUES ('a'' or 1=1 or ''b', 5, 'z');";

class FilterSqlTest : public OpenTableTest {
 protected:
  void SetUp() override { OpenTable("f.l", kRows); }

  std::vector<Int64> FilteredIds(const AnsiString& filter, TFilterOptions options) {
    table.SetFiltered(false);
    table.SetFilter(filter);
    table.SetFilterOptions(options);
    table.SetFiltered(true);
    std::vector<Int64> ids;
    for (table.First(); !table.Eof(); table.Next()) ids.push_back(table.FieldByName("tid")->AsInteger());
    return ids;
  }

  // The rows SQLite selects for the condition; LIKE there folds case unless told not to.
  std::vector<Int64> SqlIds(const std::string& conditionUtf8, bool caseInsensitive) {
    pvsql::Db db(dir.File("f.l"));
    db.Exec(caseInsensitive ? "PRAGMA case_sensitive_like=OFF" : "PRAGMA case_sensitive_like=ON");
    pvsql::Stmt st(db, "SELECT tid FROM t WHERE " + conditionUtf8 + " ORDER BY tid");
    std::vector<Int64> ids;
    while (st.Step()) ids.push_back(st.Int(0));
    return ids;
  }
};

TEST_F(FilterSqlTest, ConditionsSelectWhatSqliteSelects) {
  const struct {
    const char* filter;       // CP936
    const char* sql;          // UTF-8; nullptr: the same text
    bool caseInsensitive;
  } cases[] = {
      {"tname LIKE 'a%'", nullptr, false},
      {"tname LIKE 'a%'", nullptr, true},
      {"tname NOT LIKE 'a%'", nullptr, false},
      {"tname LIKE '%PIE'", nullptr, true},
      {"tname LIKE 'a_b%'", nullptr, false},
      {"tname LIKE '\xB5\xDA_\xD5\xC2'", "tname LIKE '\xE7\xAC\xAC_\xE7\xAB\xA0'", false},
      {"tname LIKE '\xB5\xDA__\xD5\xC2'", "tname LIKE '\xE7\xAC\xAC__\xE7\xAB\xA0'", false},
      {"n BETWEEN 2 AND 5", nullptr, false},
      {"n NOT BETWEEN 2 AND 5", nullptr, false},
      {"(n BETWEEN 2 AND 5) AND (tname LIKE 'a%')", nullptr, true},
      {"n IN (1, 3, 10)", nullptr, false},
      {"n NOT IN (1, 3, 10)", nullptr, false},
      {"n IN (1, NULL)", nullptr, false},
      {"n NOT IN (1, NULL)", nullptr, false},
      {"tname IN ('apple', 'Apple pie')", nullptr, false},
      {"tname IS NULL", nullptr, false},
      {"n IS NOT NULL AND n < 3", nullptr, false},
      {"[a]]b] = 'a]b'", "\"a]b\" = 'a]b'", false},
      {"[a]]b] IN ('x', 'y')", "\"a]b\" IN ('x', 'y')", false},
      {"tname = 'a'' or 1=1 or ''b'", nullptr, false},
      {"tname LIKE 'a'' or 1=1 or ''%'", nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.filter << (c.caseInsensitive ? " (case-insensitive)" : ""));
    const std::string sql = c.sql ? std::string(c.sql) : AnsiToUtf8(c.filter);
    const std::vector<Int64> expected = SqlIds(sql, c.caseInsensitive);
    EXPECT_EQ(FilteredIds(c.filter, c.caseInsensitive ? TFilterOptions{foCaseInsensitive} : TFilterOptions{}),
              expected);
  }
}

TEST_F(FilterSqlTest, AValueThatReadsLikeSqlMatchesOnlyItself) {
  EXPECT_EQ(FilteredIds("tname = 'a'' or 1=1 or ''b'", {}), (std::vector<Int64>{6}));
  // Without its quotes doubled the text does not parse, and the filter in force stays.
  EXPECT_THROW(table.SetFilter("tname = 'a' or 1=1 or 'b'"), EDatabaseError);
  EXPECT_EQ(table.Filter(), "tname = 'a'' or 1=1 or ''b'");
  EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(FilterSqlTest, BadTextsRaiseAndKeepThePreviousFilter) {
  const AnsiString good = "n BETWEEN 2 AND 3";
  EXPECT_EQ(FilteredIds(good, {}), (std::vector<Int64>{2, 3}));
  const char* bad[] = {"n BETWEEN 2", "n IN (1,", "n IN ()", "tname LIKE", "n NOT = 2", "[a]]b = 'x'",
                       "n IN (1, 'one')", "tname NOT LIKE 'a%' OR"};
  for (const char* f : bad) {
    SCOPED_TRACE(f);
    EXPECT_THROW(table.SetFilter(f), EDatabaseError);
    EXPECT_EQ(table.Filter(), good);
    std::vector<Int64> ids;
    for (table.First(); !table.Eof(); table.Next()) ids.push_back(table.FieldByName("tid")->AsInteger());
    EXPECT_EQ(ids, (std::vector<Int64>{2, 3}));
  }
}

}  // namespace
