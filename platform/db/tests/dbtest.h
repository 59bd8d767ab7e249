// Shared fixture pieces: a temporary folder, a small database file, and
// connection strings in the form the program writes them.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvdbXXXXXX").string();
    char* p = mkdtemp(tmpl.data());
    if (!p) throw std::runtime_error("mkdtemp failed");
    path_ = p;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline AnsiString JetConnection(const std::string& path) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + path;
}

// Creates a database file and runs Sql in it.
inline void MakeDatabase(const std::string& path, const std::string& sql) {
  auto db = pvsql::Db::Create(path);
  db->Exec(sql);
}

// A table of nodes: tid numbered by the file, a parent, a name "n<tid>", and a type:
// 110 for every third row, 50 for rows 1, 4, 7 ..., 120 for rows 2, 5, 8 ...
inline std::string NodeTableSql(const std::string& name, int rows) {
  std::string sql = "CREATE TABLE " + name +
                    " (tid INTEGER PRIMARY KEY AUTOINCREMENT, tparent INTEGER, tname TEXT(50), ttype INTEGER, "
                    "ttext1 MEMO, ttext7 LONGBINARY, tdate DATETIME, tflag YESNO, tprice CURRENCY, tratio DOUBLE);";
  for (int i = 1; i <= rows; ++i)
    sql += "INSERT INTO " + name + " (tparent, tname, ttype) VALUES (" + std::to_string(i / 3) + ", 'n" +
           std::to_string(i) + "', " + std::to_string(i % 3 == 0 ? 110 : (i % 3 == 1 ? 50 : 120)) + ");";
  return sql;
}

// A database file made from Sql in a temporary folder, a connection to it and
// its table "t" open in Table.
class OpenTableTest : public ::testing::Test {
 protected:
  void OpenTable(const char* file, const std::string& sql) {
    MakeDatabase(dir.File(file), sql);
    conn.SetConnectionString(JetConnection(dir.File(file)));
    table.SetConnection(&conn);
    table.SetTableName("t");
    table.Open();
  }
  TempDir dir;
  TADOConnection conn{nullptr};
  TADOTable table{nullptr};
};
