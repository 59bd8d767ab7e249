// Dataset-bound controllers over real SQLite files: a temporary folder, a
// file of the node-table shape written and read back with sqlite3 itself,
// and a controller whose items are bound to fields by name.
#pragma once
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/uxdbdata.h"
#include "platform/db/ado.h"
#include "platform/rtl/strings.h"

namespace dbtest {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvdataXXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs Sql (UTF-8) on the file with sqlite3.
inline void Exec(const std::string& Path, const std::string& Sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(Path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << message;
}

// The rows of a query as texts ("<null>" for NULL), read with sqlite3.
inline std::vector<std::vector<std::string>> Query(const std::string& Path, const std::string& Sql) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return rows;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* t = sqlite3_column_text(st, c);
        row.push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
      }
      rows.push_back(row);
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

// The node table: tid numbered by the file, a parent, a name, a type and the
// other columns of the program's node tables.
inline std::string NodeTableSql(const std::string& Name) {
  return "CREATE TABLE " + Name +
         " (tid INTEGER PRIMARY KEY AUTOINCREMENT, tparent INTEGER, tname TEXT(50), ttype INTEGER, "
         "ttext1 MEMO, ttext7 LONGBINARY, tdate DATETIME, tflag YESNO, tprice CURRENCY, tratio DOUBLE);";
}

inline AnsiString JetConnection(const std::string& Path) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + Path;
}

struct Column : TObject {
  AnsiString FieldName;
};

// A dataset controller whose items are columns bound by field name.
class TestDBController : public TuxDBDataController {
  PV_CLASS(TestDBController, TuxDBDataController)
 public:
  using TuxDBDataController::TuxDBDataController;
  ~TestDBController() override {
    for (Column* c : Columns) delete c;
  }
  TObject* GetItem(int Index) override { return Columns.at(static_cast<std::size_t>(Index)); }
  AnsiString GetItemCaption(TObject* AItem) override {
    auto* c = dynamic_cast<Column*>(AItem);
    return c ? c->FieldName : AnsiString();
  }
  int GetItemID(TObject* AItem) override {
    for (std::size_t i = 0; i < Columns.size(); ++i)
      if (Columns[i] == AItem) return static_cast<int>(i);
    return -1;
  }
  int AddColumn(const AnsiString& FieldName) {
    auto* c = new Column;
    c->FieldName = FieldName;
    Columns.push_back(c);
    AddItem(c);
    const int index = static_cast<int>(Columns.size()) - 1;
    ChangeFieldName(index, FieldName);
    return index;
  }
  TObject* CreateDetailDataController(TuxCustomDataRelation* Relation, int RecordIndex) override;
  TuxCustomDataController* GetDetailDataControllerByLinkObject(TObject* LinkObject) override {
    return dynamic_cast<TuxCustomDataController*>(LinkObject);
  }

  // Values of an item in row order (data rows only).
  std::vector<AnsiString> ColumnInRowOrder(int Item) {
    std::vector<AnsiString> r;
    for (int row = 0; row < GetRowCount(); ++row) {
      const TuxRowInfo info = GetRowInfo(row);
      if (info.Level < DataControllerInfo()->GroupingFieldCount()) continue;
      r.push_back(VarToStrDef(GetValue(info.RecordIndex, Item), "<null>"));
    }
    return r;
  }

  std::vector<Column*> Columns;
};

inline TObject* TestDBController::CreateDetailDataController(TuxCustomDataRelation* Relation, int RecordIndex) {
  auto* pattern = dynamic_cast<TestDBController*>(Relation->DetailDataController());
  if (!pattern) return nullptr;
  auto* detail = NewObject<TestDBController>(nullptr);
  detail->BeginUpdate();
  detail->Assign(pattern);
  for (Column* c : pattern->Columns) detail->AddColumn(c->FieldName);
  detail->SetMasterRelation(Relation, RecordIndex);
  detail->EndUpdate();
  return detail;
}

struct ControllerDeleter {
  void operator()(TuxCustomDataController* c) const { c->Free(); }
};
using ControllerPtr = std::unique_ptr<TestDBController, ControllerDeleter>;

inline ControllerPtr NewController() { return ControllerPtr(NewObject<TestDBController>(nullptr)); }

inline AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

// A file, a connection, a table on it and a data source.
struct TableSource {
  TADOConnection Conn{nullptr};
  TADOTable Table{nullptr};
  TDataSource Source{nullptr};
  void Open(const std::string& Path, const AnsiString& TableName) {
    Conn.SetConnectionString(JetConnection(Path));
    Table.SetConnection(&Conn);
    Table.SetTableName(TableName);
    Source.SetDataSet(&Table);
    Table.Open();
  }
};

}  // namespace dbtest
