#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/db/schema.h"
#include "platform/db/tests/dbtest.h"
#include "platform/rtl/strings.h"

namespace {

TEST(ConnectionStringTest, ParsesTheFormTheProgramWrites) {
  auto pairs = ParseConnectionString(
      "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=/srv/pen varro/data/lib.l");
  ASSERT_EQ(pairs.size(), 4u);
  EXPECT_EQ(pairs[1].first, "Password");
  EXPECT_EQ(pairs[1].second, "");
  EXPECT_EQ(pairs[2].second, "Admin");
  EXPECT_EQ(pairs[3].second, "/srv/pen varro/data/lib.l");
  EXPECT_EQ(ConnectionStringValue("data source = 'a;b.l' ; x=1", "Data Source"), "a;b.l");
  EXPECT_EQ(ConnectionStringValue("Provider=x", "Data Source"), "");
  for (const char* bad : {"Data Source=\"unterminated", "=x", "justtext", "a=\"q\"junk"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(ParseConnectionString(bad), EDatabaseError);
  }
}

TEST(DeclaredTypeTest, MapsToFieldTypesAndSizes) {
  struct Case {
    const char* decl;
    TFieldType type;
    int size;
  } cases[] = {
      {"COUNTER", ftAutoInc, 0},      {"AutoIncrement", ftAutoInc, 0}, {"INTEGER", ftInteger, 0},
      {"LONG", ftInteger, 0},         {"SMALLINT", ftSmallint, 0},     {"short", ftSmallint, 0},
      {"TEXT(50)", ftString, 50},     {"VARCHAR(200)", ftString, 200}, {"TEXT", ftString, 255},
      {"MEMO", ftMemo, 0},            {"LONGTEXT", ftMemo, 0},         {"LONGBINARY", ftBlob, 0},
      {"OLEOBJECT", ftBlob, 0},       {"IMAGE", ftGraphic, 0},         {"YESNO", ftBoolean, 0},
      {"BIT", ftBoolean, 0},          {"DOUBLE", ftFloat, 0},          {"FLOAT", ftFloat, 0},
      {"CURRENCY", ftCurrency, 0},    {"MONEY", ftCurrency, 0},        {"DATETIME", ftDateTime, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.decl);
    int size = -1;
    EXPECT_EQ(pvdb::MapDeclaredType(c.decl, size), c.type);
    EXPECT_EQ(size, c.size);
  }
}

class StorageTest : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(StorageTest, MissingFileRaisesAndIsNotCreated) {
  TADOConnection conn(nullptr);
  conn.SetConnectionString(JetConnection(dir.File("nosuch.l")));
  EXPECT_THROW(conn.Open(), EDatabaseError);
  EXPECT_FALSE(conn.Connected());
  EXPECT_FALSE(std::filesystem::exists(dir.File("nosuch.l")));
}

TEST_F(StorageTest, FilesThatAreNotDatabasesRaise) {
  {
    std::ofstream(dir.File("text.l")) << "this is not a database, just some text that is long enough to look like a header";
    std::ofstream(dir.File("empty.l"));
  }
  for (const char* name : {"text.l", "empty.l"}) {
    SCOPED_TRACE(name);
    TADOConnection conn(nullptr);
    conn.SetConnectionString(JetConnection(dir.File(name)));
    EXPECT_THROW(conn.Open(), EDatabaseError);
    EXPECT_FALSE(conn.Connected());
  }
  // The file is left as it was.
  EXPECT_EQ(std::filesystem::file_size(dir.File("empty.l")), 0u);
}

TEST_F(StorageTest, MissingTableAndUnknownStatementsRaise) {
  MakeDatabase(dir.File("a.l"), NodeTableSql("t", 1));
  TADOTable table(nullptr);
  table.SetConnectionString(JetConnection(dir.File("a.l")));
  table.SetTableName("region99");
  EXPECT_THROW(table.Open(), EDatabaseError);
  EXPECT_FALSE(table.Active());
  TADOQuery q(nullptr);
  q.SetConnectionString(JetConnection(dir.File("a.l")));
  for (const char* sql : {"DROP TABLE t", "DELETE FROM t", "SELECT * INTO x FROM nosuch",
                          "ALTER TABLE t ALTER COLUMN tid AutoIncrement(1,2)", "SELECT * INTO t from t"}) {
    SCOPED_TRACE(sql);
    q.SQL()->Clear();
    q.SQL()->Add(sql);
    try {
      q.ExecSQL();
      ADD_FAILURE() << "no error";
    } catch (const EDatabaseError&) {
    }
  }
  // Opening never alters a table: t is as it was.
  pvsql::Db db(dir.File("a.l"));
  EXPECT_TRUE(db.TableExists("t"));
  EXPECT_FALSE(db.TableExists("x"));
}

TEST_F(StorageTest, ChineseTextRoundTripsAndIsStoredAsUtf8) {
  MakeDatabase(dir.File("c.l"), NodeTableSql("t", 1));
  const AnsiString name = Utf8ToAnsi("第一章：青石镇");
  const AnsiString memo = Utf8ToAnsi("林远推开门，\r\n看见苏晴站在雨里。");
  {
    TADOTable table(nullptr);
    table.SetConnectionString(JetConnection(dir.File("c.l")));
    table.SetTableName("t");
    table.Open();
    table.Edit();
    table.FieldByName("tname")->SetAsString(name);
    table.FieldByName("ttext1")->SetAsString(memo);
    table.Post();
  }
  pvsql::Db raw(dir.File("c.l"));
  pvsql::Stmt st(raw, "SELECT tname, ttext1 FROM t");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(std::string(st.Text(0)), "第一章：青石镇");
  EXPECT_EQ(std::string(st.Text(1)), "林远推开门，\r\n看见苏晴站在雨里。");

  TADOTable again(nullptr);
  again.SetConnectionString(JetConnection(dir.File("c.l")));
  again.SetTableName("t");
  again.Open();
  EXPECT_EQ(again.FieldByName("tname")->AsString(), name);
  EXPECT_EQ(again.FieldByName("ttext1")->AsString(), memo);
  EXPECT_TRUE(again.Locate("tname", Variant(name), {}));
  again.SetFilter("tname = '" + Utf8ToAnsi("第一章") + "*'");
  again.SetFiltered(true);
  EXPECT_EQ(again.RecordCount(), 1);
}

// Texts and blobs kept in their rows or apart from them, up to rows of a
// megabyte: every column, before and after the long ones, reads back as
// stored, also after a post and a refresh.
TEST_F(StorageTest, LongTextsAndRowsReadEveryColumnBack) {
  MakeDatabase(dir.File("long.l"), NodeTableSql("t", 3));
  struct Case {
    const char* what;
    size_t memoBytes;
  } cases[] = {{"64 bytes", 64},         {"65 bytes", 65},         {"just under 64 KiB", 65000},
               {"64 KiB", 65536},         {"a megabyte", 1 << 20}};
  TADOTable table(nullptr);
  table.SetConnectionString(JetConnection(dir.File("long.l")));
  table.SetTableName("t");
  table.Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const AnsiString memo(c.memoBytes, 'm');
    const AnsiString blob(c.memoBytes / 2, '\x01');
    table.Locate("tid", 2, {});
    table.Edit();
    table.FieldByName("ttext1")->SetAsString(memo);
    table.FieldByName("ttext7")->SetAsString(blob);
    table.FieldByName("tratio")->SetAsFloat(2.5);
    table.Post();
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) table.Refresh();
      ASSERT_TRUE(table.Locate("tid", 2, {}));
      EXPECT_EQ(table.FieldByName("tname")->AsString(), "n2");
      EXPECT_EQ(table.FieldByName("ttext1")->AsString().size(), c.memoBytes);
      EXPECT_EQ(table.FieldByName("ttext1")->AsString(), memo);
      EXPECT_EQ(table.FieldByName("ttext7")->AsString(), blob);
      EXPECT_EQ(table.FieldByName("tratio")->AsFloat(), 2.5);
      EXPECT_TRUE(table.FieldByName("tdate")->IsNull());
      table.Next();
      EXPECT_EQ(table.FieldByName("tname")->AsString(), "n3");
    }
  }
}

TEST_F(StorageTest, SeveralConnectionsShareOneFile) {
  MakeDatabase(dir.File("m.l"), NodeTableSql("t", 3));
  TADOConnection c1(nullptr), c2(nullptr);
  c1.SetConnectionString(JetConnection(dir.File("m.l")));
  c2.SetConnectionString(JetConnection(dir.File("m.l")));
  TADOTable a(nullptr), b(nullptr), a2(nullptr);
  a.SetConnection(&c1);
  a2.SetConnection(&c1);
  b.SetConnection(&c2);
  for (TADOTable* t : {&a, &a2, &b}) {
    t->SetTableName("t");
    t->Open();
  }
  a.Edit();
  a.FieldByName("tname")->SetAsString("from a");
  a.Post();
  b.Append();
  b.FieldByName("tname")->SetAsString("from b");
  b.Post();
  // Snapshots stay as read until refreshed.
  EXPECT_EQ(a2.FieldByName("tname")->AsString(), "n1");
  a2.Refresh();
  EXPECT_EQ(a2.FieldByName("tname")->AsString(), "from a");
  EXPECT_EQ(a2.RecordCount(), 4);
  b.Refresh();
  EXPECT_EQ(b.FieldByName("tname")->AsString(), "from b");  // still on its own new record
  // Closing a connection closes its datasets.
  c1.Close();
  EXPECT_FALSE(a.Active());
  EXPECT_FALSE(a2.Active());
  EXPECT_TRUE(b.Active());
}

TEST_F(StorageTest, BusyFileRaisesAClearErrorAndLosesNothing) {
  MakeDatabase(dir.File("b.l"), NodeTableSql("t", 2));
  TADOTable table(nullptr);
  table.SetConnectionString(JetConnection(dir.File("b.l")));
  table.SetTableName("t");
  table.Open();
  pvsql::Db locker(dir.File("b.l"));
  locker.Begin();  // holds the write lock past the retry time
  table.Edit();
  table.FieldByName("tname")->SetAsString("waits");
  try {
    table.Post();
    FAIL() << "post while the file is locked";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message).find("in use"), std::string::npos) << e.Message;
  }
  EXPECT_EQ(table.State(), dsEdit);
  locker.Rollback();
  table.Post();
  pvsql::Db check(dir.File("b.l"));
  pvsql::Stmt st(check, "SELECT tname FROM t WHERE tid=1");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(std::string(st.Text(0)), "waits");
}

TEST_F(StorageTest, SchemaStatementsCopyTheSchemaTableAndNumberFromOne) {
  MakeDatabase(dir.File("lib.l"),
               "CREATE TABLE systable (tid INTEGER PRIMARY KEY AUTOINCREMENT, tparent INTEGER, tname TEXT(50), "
               "ttext1 MEMO, ttext7 LONGBINARY, tsortid TEXT(10));"
               "CREATE TABLE other (tid INTEGER PRIMARY KEY AUTOINCREMENT, x INTEGER);"
               "INSERT INTO other (x) VALUES (1);INSERT INTO other (x) VALUES (2);");
  TADOQuery q(nullptr);
  q.SetConnectionString(JetConnection(dir.File("lib.l")));
  q.SQL()->Clear();
  q.SQL()->Add("SELECT * INTO region13 from  systable");
  q.ExecSQL();
  q.Close();
  {
    TADOTable t(nullptr);
    t.SetConnectionString(JetConnection(dir.File("lib.l")));
    t.SetTableName("region13");
    t.Open();
    // Copied by query, the key is a plain integer until the second statement.
    EXPECT_EQ(t.FieldByName("tid")->DataType(), ftInteger);
  }
  q.SQL()->Clear();
  q.SQL()->Add("Alter  TABLE region13  Alter COLUMN tid AutoIncrement(1,1)");
  q.ExecSQL();
  q.Close();

  TADOTable sys(nullptr), made(nullptr);
  sys.SetConnectionString(JetConnection(dir.File("lib.l")));
  sys.SetTableName("systable");
  sys.Open();
  made.SetConnectionString(JetConnection(dir.File("lib.l")));
  made.SetTableName("region13");
  made.Open();
  ASSERT_EQ(made.FieldCount(), sys.FieldCount());
  for (int i = 0; i < sys.FieldCount(); ++i) {
    SCOPED_TRACE(sys.Fields()->Fields(i)->FieldName());
    EXPECT_EQ(made.Fields()->Fields(i)->FieldName(), sys.Fields()->Fields(i)->FieldName());
    EXPECT_EQ(made.Fields()->Fields(i)->DataType(), sys.Fields()->Fields(i)->DataType());
    EXPECT_EQ(made.Fields()->Fields(i)->Size(), sys.Fields()->Fields(i)->Size());
  }
  for (int i = 1; i <= 3; ++i) {
    made.Append();
    made.FieldByName("tname")->SetAsString("n");
    made.Post();
    EXPECT_EQ(made.FieldByName("tid")->AsInteger(), i);
  }
  // The second statement on a table with rows keeps them and numbers on after the largest key.
  q.SQL()->Clear();
  q.SQL()->Add("SELECT * INTO other2 from  other");
  q.ExecSQL();
  q.SQL()->Clear();
  q.SQL()->Add("ALTER TABLE other2 ALTER COLUMN tid AutoIncrement(1,1)");
  q.ExecSQL();
  TADOTable o(nullptr);
  o.SetConnectionString(JetConnection(dir.File("lib.l")));
  o.SetTableName("other2");
  o.Open();
  EXPECT_EQ(o.RecordCount(), 2);
  o.Append();
  o.Post();
  EXPECT_EQ(o.FieldByName("tid")->AsInteger(), 3);
}

TEST_F(StorageTest, SelectWithWhereReadsMatchingRowsAndCanWriteThem) {
  MakeDatabase(dir.File("q.l"), NodeTableSql("t", 9));
  TADOQuery q(nullptr);
  q.SetConnectionString(JetConnection(dir.File("q.l")));
  q.SQL()->Add("SELECT tid, tname FROM t WHERE ttype = :kind AND tid > 3");
  q.Parameters()->ParamByName("kind")->Value = 110;
  q.Open();
  EXPECT_EQ(q.FieldCount(), 2);
  EXPECT_EQ(q.RecordCount(), 2);  // 6 and 9
  EXPECT_EQ(q.FieldByName("tid")->AsInteger(), 6);
  q.Edit();
  q.FieldByName("tname")->SetAsString("six");
  q.Post();
  q.Close();
  q.SQL()->Clear();
  q.SQL()->Add("select * from t where tname = 'six'");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("ttype")->AsInteger(), 110);
}

// A child process posts records one by one and reports each post through a
// pipe; the parent kills it with SIGKILL after N reports. Every reported post
// must be in the file, and the file must pass the integrity check.
TEST_F(StorageTest, PostedRecordsSurviveAKilledProcess) {
  MakeDatabase(dir.File("k.l"), NodeTableSql("t", 0));
  const std::string path = dir.File("k.l");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    try {
      TADOTable t(nullptr);
      t.SetConnectionString(JetConnection(path));
      t.SetTableName("t");
      t.Open();
      for (int i = 1;; ++i) {
        t.Append();
        t.FieldByName("tname")->SetAsString(Utf8ToAnsi("记录") + IntToStr(i));
        t.FieldByName("ttype")->SetAsInteger(i);
        t.Post();
        char b = 1;
        if (write(fds[1], &b, 1) != 1) _exit(3);
      }
    } catch (...) {
      _exit(2);
    }
  }
  close(fds[1]);
  const int n = 25;
  for (int got = 0; got < n;) {
    char b;
    ssize_t r = read(fds[0], &b, 1);
    ASSERT_EQ(r, 1) << "child stopped early";
    ++got;
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(fds[0]);
  ASSERT_TRUE(WIFSIGNALED(status));

  pvsql::Db db(path);
  {
    pvsql::Stmt check(db, "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(std::string(check.Text(0)), "ok");
  }
  TADOTable t(nullptr);
  t.SetConnectionString(JetConnection(path));
  t.SetTableName("t");
  t.Open();
  ASSERT_GE(t.RecordCount(), n);
  for (int i = 1; i <= n; ++i) {
    ASSERT_TRUE(t.Locate("ttype", i, {})) << i;
    EXPECT_EQ(t.FieldByName("tname")->AsString(), Utf8ToAnsi("记录") + IntToStr(i));
  }
}

}  // namespace

namespace {
// The connection lists the file's tables by name, without the store's own
// unless asked, whatever their case, and connects to do so.
TEST_F(StorageTest, ConnectionListsTheTablesOfItsFile) {
  MakeDatabase(dir.File("lib.l"),
               "CREATE TABLE region1 (tid INTEGER PRIMARY KEY AUTOINCREMENT);"
               "CREATE TABLE TableAlias (tid INTEGER);CREATE TABLE \xE8\xA1\xA8 (x INTEGER);"
               "CREATE VIEW v AS SELECT * FROM region1;INSERT INTO region1 DEFAULT VALUES;");
  TADOConnection conn(nullptr);
  conn.SetConnectionString(JetConnection(dir.File("lib.l")));
  TStringList names;
  names.Add("stale");
  conn.GetTableNames(&names);
  EXPECT_TRUE(conn.Connected());
  EXPECT_EQ(names.Text(), AnsiString("region1\r\nTableAlias\r\n\xB1\xED\r\n"));  // the view is no table
  conn.GetTableNames(&names, true);
  EXPECT_GE(names.IndexOf("sqlite_sequence"), 0);
  TADOConnection missing(nullptr);
  missing.SetConnectionString(JetConnection(dir.File("none.l")));
  EXPECT_THROW(missing.GetTableNames(&names), EDatabaseError);
}
}  // namespace
