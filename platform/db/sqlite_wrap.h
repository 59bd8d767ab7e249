// A thin private wrapper over the SQLite library: one connection, prepared
// statements, short write transactions with busy retry. Nothing outside
// platform/db (and its tools and benches) includes this header; sqlite3.h stays
// inside sqlite_wrap.cpp.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "platform/rtl/types.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pvsql {

enum class ColType { Null = 0, Integer = 1, Float = 2, Text = 3, Blob = 4 };

class Db;

// A prepared statement. Raises EDatabaseError on failure: with the statement's
// text when the statement failed, without it when the file is at fault (damaged,
// locked, unreadable).
class Stmt {
 public:
  Stmt(Db& db, std::string_view sql);
  ~Stmt();
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  void BindNull(int i);
  void BindInt(int i, Int64 v);
  void BindDouble(int i, double v);
  void BindText(int i, std::string_view utf8);
  void BindBlob(int i, std::string_view bytes);
  // True while a row is available; false at the end.
  bool Step();
  void Reset();
  int ColumnCount() const;
  ColType Type(int i) const;
  Int64 Int(int i) const;
  double Double(int i) const;
  std::string_view Text(int i) const;  // UTF-8 as stored
  std::string_view Blob(int i) const;
  std::string ColumnName(int i) const;
  sqlite3_stmt* Handle() const { return st_; }

 private:
  Db& db_;
  sqlite3_stmt* st_ = nullptr;
  std::string sql_;
};

// One connection to an existing database file.
class Db {
 public:
  // Opens the file for reading and writing. A missing file is never created; a file
  // that is not a database, or is damaged, raises EDatabaseError. Keeps the file
  // in rollback-journal mode, so that once closed (or between transactions) the
  // file alone holds all its data.
  explicit Db(const std::string& path);
  // Creates a new, empty database (the data-file generator and tests only).
  static std::unique_ptr<Db> Create(const std::string& path);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void Exec(std::string_view sql);
  // Write transaction of the short kind: BEGIN IMMEDIATE (retried while busy) ... COMMIT.
  void Begin();
  void Commit();
  void Rollback() noexcept;
  bool InTransaction() const;
  Int64 LastInsertRowid() const;
  int Changes() const;
  const std::string& Path() const { return path_; }
  sqlite3* Handle() const { return db_; }
  [[noreturn]] void Fail(int rc, std::string_view what) const;

  bool TableExists(std::string_view name);

 private:
  Db() = default;
  void Configure();
  sqlite3* db_ = nullptr;
  std::string path_;
};

// Rolls back on scope exit unless committed.
class WriteTxn {
 public:
  explicit WriteTxn(Db& db) : db_(db) { db_.Begin(); }
  ~WriteTxn() { if (!done_) db_.Rollback(); }
  void Commit() { db_.Commit(); done_ = true; }

 private:
  Db& db_;
  bool done_ = false;
};

// Quotes an identifier for SQL ("name" with embedded quotes doubled).
std::string QuoteIdent(std::string_view name);

}  // namespace pvsql
