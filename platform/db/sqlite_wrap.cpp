#include "platform/db/sqlite_wrap.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "platform/rtl/exceptions.h"

namespace pvsql {

namespace {
// How long a busy file is retried before the operation fails.
constexpr int kBusyTimeoutMs = 3000;

std::string Describe(sqlite3* db, int rc) {
  std::string msg = sqlite3_errstr(rc);
  if (db) {
    const char* m = sqlite3_errmsg(db);
    if (m && msg != m) msg = m;
  }
  return msg;
}

// What the user is told when the file itself is at fault; "" for failures of
// a statement. These messages never carry the statement.
std::string FileProblem(int rc, const std::string& path) {
  switch (rc & 0xFF) {
    case SQLITE_CORRUPT:
      return "The database file '" + path + "' is damaged.";
    case SQLITE_NOTADB:
      return "Unrecognized database format '" + path + "'. The file is damaged or is not a database.";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "The database file '" + path + "' is in use by another process and could not be locked";
    case SQLITE_IOERR:
      return "The database file '" + path + "' could not be read or written.";
    case SQLITE_FULL:
      return "The disk holding the database file '" + path + "' is full.";
    default:
      return "";
  }
}

std::string JournalMode(sqlite3* db) {
  std::string mode;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(st, 0);
    if (t) mode = reinterpret_cast<const char*>(t);
  }
  sqlite3_finalize(st);
  return mode;
}
}  // namespace

std::string QuoteIdent(std::string_view name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  r += '"';
  return r;
}

// ---- Stmt ----

Stmt::Stmt(Db& db, std::string_view sql) : db_(db), sql_(sql) {
  int rc = sqlite3_prepare_v2(db.Handle(), sql_.data(), static_cast<int>(sql_.size()), &st_, nullptr);
  if (rc != SQLITE_OK) db_.Fail(rc, sql_);
}

Stmt::~Stmt() { sqlite3_finalize(st_); }

void Stmt::BindNull(int i) { sqlite3_bind_null(st_, i); }
void Stmt::BindInt(int i, Int64 v) { sqlite3_bind_int64(st_, i, v); }
void Stmt::BindDouble(int i, double v) { sqlite3_bind_double(st_, i, v); }
void Stmt::BindText(int i, std::string_view s) {
  sqlite3_bind_text64(st_, i, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
void Stmt::BindBlob(int i, std::string_view s) {
  sqlite3_bind_blob64(st_, i, s.data(), s.size(), SQLITE_TRANSIENT);
}

bool Stmt::Step() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(st_);
  db_.Fail(rc, sql_);
}

void Stmt::Reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

int Stmt::ColumnCount() const { return sqlite3_column_count(st_); }
ColType Stmt::Type(int i) const {
  switch (sqlite3_column_type(st_, i)) {
    case SQLITE_INTEGER: return ColType::Integer;
    case SQLITE_FLOAT: return ColType::Float;
    case SQLITE_TEXT: return ColType::Text;
    case SQLITE_BLOB: return ColType::Blob;
    default: return ColType::Null;
  }
}
Int64 Stmt::Int(int i) const { return sqlite3_column_int64(st_, i); }
double Stmt::Double(int i) const { return sqlite3_column_double(st_, i); }
std::string_view Stmt::Text(int i) const {
  const unsigned char* p = sqlite3_column_text(st_, i);
  int n = sqlite3_column_bytes(st_, i);
  return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
}
std::string_view Stmt::Blob(int i) const {
  const void* p = sqlite3_column_blob(st_, i);
  int n = sqlite3_column_bytes(st_, i);
  return p ? std::string_view(static_cast<const char*>(p), n) : std::string_view();
}
std::string Stmt::ColumnName(int i) const {
  const char* n = sqlite3_column_name(st_, i);
  return n ? n : "";
}

// ---- Db ----

Db::Db(const std::string& path) : path_(path) {
  struct stat sb{};
  if (path.empty() || ::stat(path.c_str(), &sb) != 0)
    throw EDatabaseError("Could not find file '" + path + "'.");
  if (!S_ISREG(sb.st_mode) || sb.st_size == 0) throw EDatabaseError(FileProblem(SQLITE_NOTADB, path));
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc == SQLITE_CANTOPEN || rc == SQLITE_READONLY || rc == SQLITE_PERM) {
    sqlite3_close(db_);
    db_ = nullptr;
    rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  }
  if (rc != SQLITE_OK) {
    std::string msg = Describe(db_, rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw EDatabaseError("Cannot open database '" + path + "': " + msg);
  }
  // Reading the schema is what tells a database from any other file, and a
  // file cut short from a whole one.
  sqlite3_stmt* probe = nullptr;
  rc = sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(probe);
    if (rc == SQLITE_ROW) rc = SQLITE_OK;
  }
  sqlite3_finalize(probe);
  if (rc != SQLITE_OK) {
    std::string msg = FileProblem(rc, path);
    sqlite3_close(db_);
    db_ = nullptr;
    throw EDatabaseError(msg.empty() ? FileProblem(SQLITE_NOTADB, path) : msg);
  }
  Configure();
}

std::unique_ptr<Db> Db::Create(const std::string& path) {
  std::unique_ptr<Db> d(new Db());
  d->path_ = path;
  int rc = sqlite3_open_v2(path.c_str(), &d->db_,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = Describe(d->db_, rc);
    throw EDatabaseError("Cannot create database '" + path + "': " + msg);
  }
  d->Configure();
  return d;
}

void Db::Configure() {
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 0);
  if (!sqlite3_db_readonly(db_, "main")) {
    // A rollback journal keeps every committed transaction in the file itself,
    // so the file alone is complete whenever no transaction is open (a copy
    // of it, too); FULL makes each committed transaction durable on its own.
    // A file still in write-ahead mode for another connection stays so until
    // it is closed (see the destructor); a folder we cannot write to keeps the
    // file's own journal mode.
    sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  }
}

Db::~Db() {
  if (!db_) return;
  // A file left in write-ahead mode gets its log folded in and leaves that
  // mode, so nothing but the file itself remains. While another connection
  // holds the file this does nothing; the last one to close does it.
  if (!sqlite3_db_readonly(db_, "main") && JournalMode(db_) == "wal") {
    sqlite3_exec(db_, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  }
  sqlite3_close_v2(db_);
}

void Db::Fail(int rc, std::string_view what) const {
  std::string problem = FileProblem(rc, path_);
  if (!problem.empty()) throw EDatabaseError(problem);
  std::string full = Describe(db_, rc);
  if (!what.empty()) full += " [" + std::string(what) + "]";
  throw EDatabaseError(full);
}

void Db::Exec(std::string_view sql) {
  std::string s(sql);
  char* err = nullptr;
  int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &err);
  if (err) sqlite3_free(err);
  if (rc != SQLITE_OK) Fail(rc, sql);
}

void Db::Begin() { Exec("BEGIN IMMEDIATE"); }
void Db::Commit() { Exec("COMMIT"); }
void Db::Rollback() noexcept {
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}
bool Db::InTransaction() const { return !sqlite3_get_autocommit(db_); }
Int64 Db::LastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
int Db::Changes() const { return sqlite3_changes(db_); }

bool Db::TableExists(std::string_view name) {
  Stmt st(*this, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
  st.BindText(1, name);
  return st.Step();
}

}  // namespace pvsql
