#include <gtest/gtest.h>

#include "platform/db/tests/dbtest.h"
#include "platform/rtl/strings.h"

namespace {

class EditingTest : public OpenTableTest {
 protected:
  void SetUp() override {
    OpenTable("e.l", NodeTableSql("t", 5));
  }
  // The same table read afresh through a second connection.
  std::vector<AnsiString> NamesInFile() {
    TADOTable other(nullptr);
    other.SetConnectionString(JetConnection(dir.File("e.l")));
    other.SetTableName("t");
    other.Open();
    std::vector<AnsiString> names;
    for (; !other.Eof(); other.Next()) names.push_back(other.FieldByName("tname")->AsString());
    return names;
  }
};

TEST_F(EditingTest, StatesFollowEditInsertPostCancel) {
  struct Step {
    const char* op;
    TDataSetState state;
    bool modified;
  } steps[] = {
      {"edit", dsEdit, false},  {"set", dsEdit, true},   {"cancel", dsBrowse, false}, {"insert", dsInsert, false},
      {"set", dsInsert, true},  {"post", dsBrowse, false}, {"append", dsInsert, false}, {"cancel", dsBrowse, false},
      {"edit", dsEdit, false},  {"edit", dsEdit, false},  {"post", dsBrowse, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.op);
    std::string op = s.op;
    if (op == "edit") table.Edit();
    else if (op == "insert") table.Insert();
    else if (op == "append") table.Append();
    else if (op == "post") table.Post();
    else if (op == "cancel") table.Cancel();
    else if (op == "set") table.FieldByName("tname")->SetAsString("x");
    EXPECT_EQ(table.State(), s.state);
    EXPECT_EQ(table.Modified(), s.modified);
  }
  EXPECT_EQ(table.RecordCount(), 6);
}

TEST_F(EditingTest, PostWritesAtOnceAndCancelWritesNothing) {
  table.SetRecNo(2);
  table.Edit();
  table.FieldByName("tname")->SetAsString("changed");
  table.Post();
  table.SetRecNo(3);
  table.Edit();
  table.FieldByName("tname")->SetAsString("dropped");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "n3");
  EXPECT_EQ(NamesInFile(), (std::vector<AnsiString>{"n1", "changed", "n3", "n4", "n5"}));
}

TEST_F(EditingTest, InsertedRecordGetsTheNextKeyAndStaysCurrent) {
  table.SetRecNo(2);
  table.Insert();
  EXPECT_TRUE(table.FieldByName("tid")->IsNull());
  EXPECT_EQ(table.RecNo(), -1);
  table.FieldByName("tname")->SetAsString("new");
  table.Post();
  EXPECT_EQ(table.FieldByName("tid")->AsInteger(), 6);
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "new");
  // Rows are in key order, so the new row comes last whatever the insert position.
  EXPECT_EQ(table.RecNo(), 6);
  EXPECT_EQ(NamesInFile().back(), "new");
}

TEST_F(EditingTest, CancelledInsertReturnsToThePreviousRecord) {
  table.SetRecNo(3);
  table.Insert();
  table.Cancel();
  EXPECT_EQ(table.RecNo(), 3);
  table.Append();
  table.Cancel();
  EXPECT_EQ(table.RecNo(), 3);
}

TEST_F(EditingTest, DeleteRemovesTheRowAndMovesToTheNext) {
  table.SetRecNo(2);
  table.Delete();
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "n3");
  table.Last();
  table.Delete();
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "n4");
  EXPECT_EQ(table.RecordCount(), 3);
  EXPECT_EQ(NamesInFile(), (std::vector<AnsiString>{"n1", "n3", "n4"}));
  for (table.First(); !table.IsEmpty();) table.Delete();
  EXPECT_TRUE(table.Eof());
  EXPECT_TRUE(NamesInFile().empty());
}

TEST_F(EditingTest, ScrollingPostsAPendingEdit) {
  table.Edit();
  table.FieldByName("tname")->SetAsString("via scroll");
  table.Next();
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(NamesInFile()[0], "via scroll");
}

TEST_F(EditingTest, EditOnEmptyDatasetInserts) {
  conn.Database().Exec("DELETE FROM t");
  table.Refresh();
  ASSERT_TRUE(table.IsEmpty());
  table.Edit();
  EXPECT_EQ(table.State(), dsInsert);
}

TEST_F(EditingTest, ReadOnlyFieldsAndDatasetsRefuseChanges) {
  table.Edit();
  EXPECT_THROW(table.FieldByName("tid")->SetAsInteger(99), EDatabaseError);
  table.Cancel();
  EXPECT_THROW(table.FieldByName("tname")->SetAsString("x"), EDatabaseError);  // not editing
  table.Close();
  table.LockType = ltReadOnly;
  table.Open();
  EXPECT_FALSE(table.CanModify());
  EXPECT_THROW(table.Edit(), EDatabaseError);
  EXPECT_THROW(table.Append(), EDatabaseError);
}

TEST_F(EditingTest, RequiredFieldMustHaveAValue) {
  table.FieldByName("tname")->SetRequired(true);
  table.Append();
  try {
    table.Post();
    FAIL() << "post without a required value";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message).find("Field 'tname' must have a value"), std::string::npos);
  }
  EXPECT_EQ(table.State(), dsInsert);
  table.FieldByName("tname")->SetAsString("ok");
  table.Post();
  EXPECT_EQ(table.RecordCount(), 6);
}

TEST_F(EditingTest, FailedPostKeepsTheEditAndTheFileUnchanged) {
  table.Edit();
  table.FieldByName("tname")->SetAsString("lost?");
  // Another connection removes the row meanwhile.
  conn.Database().Exec("DELETE FROM t WHERE tid=1");
  EXPECT_THROW(table.Post(), EDatabaseError);
  EXPECT_EQ(table.State(), dsEdit);
  EXPECT_EQ(table.FieldByName("tname")->AsString(), "lost?");
  table.Cancel();
}

// A text field's size counts characters, a double-byte character as one, as
// the database's text columns do; a longer value is refused with an error
// that names the field, and the field keeps what it held: nothing is cut.
TEST_F(EditingTest, AValueLongerThanATextFieldIsRefusedAndTheFieldKeepsItsValue) {
  conn.Database().Exec("CREATE TABLE s (tid INTEGER PRIMARY KEY AUTOINCREMENT, code TEXT(3))");
  conn.Database().Exec("INSERT INTO s (code) VALUES ('old')");
  TADOTable s(nullptr);
  s.SetConnection(&conn);
  s.SetTableName("s");
  s.Open();
  TField* code = s.FieldByName("code");
  EXPECT_EQ(code->Size(), 3);
  const struct {
    const char* value;
    bool fits;
  } cases[] = {
      {"林远苏", true},    // six bytes, three characters
      {"a林b", true},
      {"abc", true},
      {"", true},
      {"林远苏晴", false},  // four characters
      {"abcd", false},
      {"林远a\xE6\x99", false},  // ends in half a character: still four
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    s.Edit();
    code->SetAsString("old");
    if (c.fits) {
      code->SetAsString(Utf8ToAnsi(c.value));
      EXPECT_EQ(AnsiToUtf8(code->AsString()), c.value);
    } else {
      try {
        code->SetAsString(Utf8ToAnsi(c.value));
        ADD_FAILURE() << "accepted";
      } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.Message).find("'code'"), std::string::npos) << e.Message;
        EXPECT_NE(std::string(e.Message).find("at most 3 characters"), std::string::npos) << e.Message;
      }
      EXPECT_EQ(code->AsString(), "old");
      // Every way of setting the value is refused alike.
      EXPECT_THROW(code->SetValue(Variant(AnsiString(Utf8ToAnsi(c.value)))), EDatabaseError);
      EXPECT_THROW(code->SetText(Utf8ToAnsi(c.value)), EDatabaseError);
      EXPECT_EQ(code->AsString(), "old");
    }
    s.Cancel();
  }
  // A refused value leaves the row as it was in the file.
  s.Edit();
  EXPECT_THROW(code->SetAsString("long"), EDatabaseError);
  s.Post();
  pvsql::Stmt st(conn.Database(), "SELECT code FROM s");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Text(0), "old");
}

TEST_F(EditingTest, OnNewRecordFillsDefaultsAndInsertedRecordIsNotModified) {
  struct Handler {
    void NewRecord(TDataSet* ds) { ds->FieldByName("ttype")->SetAsInteger(7); }
  } h;
  table.OnNewRecord = TDataSetNotifyEvent(&h, &Handler::NewRecord);
  table.Append();
  EXPECT_EQ(table.FieldByName("ttype")->AsInteger(), 7);
  EXPECT_FALSE(table.Modified());
  table.Next();  // unmodified: cancelled, nothing written
  EXPECT_EQ(table.RecordCount(), 5);
}

// Field values of a record are decoded once and kept while the record is read;
// every way the rows can change must show the new values. Names keep their
// length, so a stale row would look the same to a check by size.
TEST_F(EditingTest, FieldValuesFollowEveryChangeOfTheRows) {
  auto external = [this](const char* name) {
    conn.Database().Exec(std::string("UPDATE t SET tname='") + name + "' WHERE tid=1");
  };
  struct Step {
    const char* what;
    std::function<void()> change;
    const char* name;
  } steps[] = {
      {"read", [] {}, "n1"},
      {"edit and post",
       [this] {
         table.Edit();
         table.FieldByName("tname")->SetAsString("p1");
         table.Post();
       },
       "p1"},
      {"edit and cancel",
       [this] {
         table.Edit();
         table.FieldByName("tname")->SetAsString("x1");
         table.Cancel();
       },
       "p1"},
      {"refresh", [&] { external("q1"); table.Refresh(); }, "q1"},
      {"refresh again", [&] { external("r1"); table.Refresh(); }, "r1"},
      {"close and open",
       [&] {
         table.Close();
         external("s1");
         table.Open();
       },
       "s1"},
      {"close and open again",
       [&] {
         table.Close();
         external("t1");
         table.Open();
       },
       "t1"},
      {"delete", [this] { table.Delete(); }, "n2"},
      {"insert",
       [this] {
         table.Insert();
         table.FieldByName("tname")->SetAsString("i6");
         table.Post();
       },
       "i6"},
      {"scroll", [this] { table.First(); }, "n2"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.change();
    EXPECT_EQ(table.FieldByName("tname")->AsString(), s.name);
    EXPECT_TRUE(table.FieldByName("ttext1")->IsNull());
  }
}

}  // namespace
