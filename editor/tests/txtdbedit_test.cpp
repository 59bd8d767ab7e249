// The data-aware editor on a real SQLite file in a temporary folder: loading
// the current record's memo, writing it back, following the cursor, keeping
// typed text when the record moves, Escape, leaving the editor.
#include "editor/txtdbedit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editor/tests/edfixture.h"
#include "editor/txteditsearch.h"
#include "platform/classes/filer.h"
#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"

namespace {

class DbEditTest : public EditorTest {
 protected:
  std::string Dir;
  TADOConnection* Conn = nullptr;
  TADOTable* Table = nullptr;
  TDataSource* Source = nullptr;
  TDBTxtEdit* Db = nullptr;

  void SetUp() override {
    EditorTest::SetUp();
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvdbtxtXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    Dir = tmpl;
    {
      auto db = pvsql::Db::Create(Dir + "/n.t");
      db->Exec(
          "CREATE TABLE n (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(20), ttext2 MEMO);"
          "INSERT INTO n (tname, ttext2) VALUES ('一', '第一段\r\n');"
          "INSERT INTO n (tname, ttext2) VALUES ('二', 'line one\nline two');"
          "INSERT INTO n (tname, ttext2) VALUES ('三', NULL);");
    }
    Conn = new TADOConnection(Form);
    Conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + Dir + "/n.t");
    Table = new TADOTable(Form);
    Table->SetConnection(Conn);
    Table->SetTableName("n");
    Table->Open();
    Source = new TDataSource(Form);
    Source->SetDataSet(Table);
    Db = NewObject<TDBTxtEdit>(Form);
    Db->SetParent(Form);
    Db->SetBounds(0, 0, 300, 200);
    Db->SetDataSource(Source);
    Db->SetDataField("ttext2");
    Db->SetFocus();
    Pump();
  }
  void TearDown() override {
    delete Form;
    Form = nullptr;
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
    CtlTest::TearDown();
  }
  void TypeInto(const char* Utf8) {
    for (unsigned char c : Utf8ToAnsi(Utf8)) SendMessageA(Db->Handle(), WM_CHAR, c, 0);
    Pump();
  }
  std::string Stored() { return U(Table->FieldByName("ttext2")->AsString()); }
};

TEST_F(DbEditTest, ShowsTheCurrentMemoAndWritesItBackUnchanged) {
  EXPECT_EQ(Joined(Db), "第一段|");
  EXPECT_FALSE(Db->Modified());
  Table->Edit();
  Table->Post();
  EXPECT_EQ(Stored(), "第一段\r\n");
  Table->Next();
  EXPECT_EQ(Joined(Db), "line one|line two");
  Table->Edit();
  Table->Post();
  EXPECT_EQ(Stored(), "line one\nline two");  // its own line breaks
  Table->Next();
  EXPECT_EQ(Joined(Db), "");
}

TEST_F(DbEditTest, TypingStartsEditingWithoutReloading) {
  Db->SetCaretXY(BC(7, 1));
  TypeInto("，");
  EXPECT_EQ(Table->State(), dsEdit);
  EXPECT_EQ(Joined(Db), "第一段，|");
  TypeInto("好");
  EXPECT_EQ(Joined(Db), "第一段，好|");
  Table->Post();
  EXPECT_EQ(Stored(), "第一段，好\r\n");
}

TEST_F(DbEditTest, MovingTheRecordKeepsTypedText) {
  Db->SetCaretXY(BC(1, 1));
  TypeInto("序：");
  Table->Next();  // leaves the record: the text is written and posted
  EXPECT_EQ(Table->State(), dsBrowse);
  EXPECT_EQ(Joined(Db), "line one|line two");
  EXPECT_FALSE(Db->Modified());
  EXPECT_FALSE(Db->UndoList()->HasItems());
  Table->Prior();
  EXPECT_EQ(Stored(), "序：第一段\r\n");
  EXPECT_EQ(Joined(Db), "序：第一段|");
}

TEST_F(DbEditTest, EscapeBringsTheStoredTextBack) {
  Db->SetCaretXY(BC(1, 1));
  TypeInto("xyz");
  SendMessageA(Db->Handle(), WM_CHAR, 27, 0);
  Pump();
  EXPECT_EQ(Joined(Db), "第一段|");
  EXPECT_EQ(Table->State(), dsEdit);
}

TEST_F(DbEditTest, LeavingTheEditorWritesTheField) {
  Db->SetCaretXY(BC(1, 2));
  TypeInto("新");
  Ed->SetFocus();  // the plain editor of the fixture takes the focus
  Pump();
  EXPECT_EQ(Stored(), "第一段\r\n新");
  EXPECT_EQ(Table->State(), dsEdit);
}

struct Refuser {
  void Validate(TField*) { throw EDatabaseError("refused"); }
  std::vector<std::string> Errors;
  void Caught(TObject*, Exception* E) { Errors.push_back(E->Message); }
};

TEST_F(DbEditTest, ARefusedWriteKeepsTheFocus) {
  Db->SetCaretXY(BC(1, 1));
  TypeInto("x");
  Refuser r;
  Table->FieldByName("ttext2")->OnValidate = TFieldNotifyEvent(&r, &Refuser::Validate);
  Application->OnException = TExceptionEvent(&r, &Refuser::Caught);
  Ed->SetFocus();
  Pump();
  Application->OnException = nullptr;
  EXPECT_FALSE(r.Errors.empty());
  EXPECT_TRUE(Db->Focused());
}

// Changes made by the editor's own operations, not by a typed command (the
// pop-up menu's replace, paste and cut): each puts the record in
// edit and reaches the field, as typing does.
struct MethodCase {
  const char* Name;
  void (*Change)(TDBTxtEdit* Db);
  const char* After;
};

void PrintTo(const MethodCase& C, std::ostream* Os) { *Os << C.Name; }

class DbEditMethodTest : public DbEditTest, public ::testing::WithParamInterface<MethodCase> {};

const MethodCase kMethodCases[] = {
    {"replace one match",
     [](TDBTxtEdit* Db) {
       Db->SetSearchEngine(NewObject<TTxtEditSearch>(Db));
       Db->FindReplace(Utf8ToAnsi("一"), Utf8ToAnsi("二"), {sfReplace, sfEntireScope});
     },
     "第二段\r\n"},
    {"replace all",
     [](TDBTxtEdit* Db) {
       Db->SetSearchEngine(NewObject<TTxtEditSearch>(Db));
       Db->FindReplace(Utf8ToAnsi("段"), Utf8ToAnsi("章"), {sfReplaceAll, sfEntireScope});
     },
     "第一章\r\n"},
    {"paste",
     [](TDBTxtEdit* Db) {
       Db->SetCaretXY(TBufferCoord{3, 1});
       Db->SetSelectionEnd(TBufferCoord{5, 1});
       Db->CopyToClipboard();
       Db->SetCaretXY(TBufferCoord{1, 2});
       Db->PasteFromClipboard();
     },
     "第一段\r\n一"},
    {"cut",
     [](TDBTxtEdit* Db) {
       Db->SetCaretXY(TBufferCoord{1, 1});
       Db->SetSelectionEnd(TBufferCoord{3, 1});
       Db->CutToClipboard();
     },
     "一段\r\n"},
};

TEST_P(DbEditMethodTest, ChangesReachTheField) {
  const MethodCase& c = GetParam();
  ASSERT_EQ(Table->State(), dsBrowse);
  c.Change(Db);
  Pump();
  EXPECT_EQ(Table->State(), dsEdit);
  // undone and redone, the text the field gets is still the changed one
  Db->Undo();
  EXPECT_EQ(Joined(Db), "第一段|");
  Db->Redo();
  Table->Post();
  EXPECT_EQ(Stored(), c.After);
}

INSTANTIATE_TEST_SUITE_P(Methods, DbEditMethodTest, ::testing::ValuesIn(kMethodCases),
                         [](const ::testing::TestParamInfo<MethodCase>& I) {
                           std::string n;
                           for (const char* p = I.param.Name; *p; ++p) n += std::isalnum(Byte(*p)) ? *p : '_';
                           return n;
                         });

TEST_F(DbEditTest, WithoutAFieldTheTextIsEmpty) {
  Db->SetDataField("");
  EXPECT_EQ(Joined(Db), "");
  Db->SetDataField("tname");  // a plain field: its text
  EXPECT_EQ(Joined(Db), "一");
}

TEST_F(DbEditTest, ReadOnlyFollowsTheLink) {
  Db->SetReadOnlyProp(true);
  EXPECT_TRUE(Db->DataLink()->ReadOnly());
  Db->SetCaretXY(BC(1, 1));
  TypeInto("x");
  Db->RunCommand(ecDeleteLine, 0, nullptr);
  EXPECT_EQ(Joined(Db), "第一段|");
  EXPECT_EQ(Table->State(), dsBrowse);
}

TEST_F(DbEditTest, PublishedPropertiesTravelInDescriptions) {
  Db->SetName("Body");
  Source->SetName("Src");
  const AnsiString text = WriteComponentToText(Db);
  EXPECT_NE(text.find("DataField = 'ttext2'"), AnsiString::npos) << text;
  EXPECT_NE(text.find("DataSource = Src"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("WordWrap"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("ParentFont"), AnsiString::npos) << text;
  EXPECT_EQ(GetPropInfo(Db, "ActiveLineColor"), nullptr);
  EXPECT_NE(GetPropInfo(Db, "OnLoadData"), nullptr);
}

}  // namespace
