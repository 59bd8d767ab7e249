// The node table of the benchmarks that read a library or story file: its
// columns as the shipped files declare them, an SQLite error check, and the
// removal of the benchmark's file when the program ends.
#pragma once
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The 64 columns of a node record, for CREATE TABLE.
inline std::string NodeTableColumns() {
  std::string c = "tid INTEGER PRIMARY KEY AUTOINCREMENT, tparent INTEGER, tname TEXT(50)";
  for (int i = 1; i <= 6; ++i) c += ", ttext" + std::to_string(i) + " MEMO";
  c += ", ttext7 LONGBINARY, timage INTEGER, tsortid TEXT(10)";
  for (int i = 11; i <= 17; ++i) c += ", tparent" + std::to_string(i) + " INTEGER";
  for (const char* n : {"tchartwidth", "tchartheight", "tchartcolor", "tchartshape", "tchartchalign",
                        "tchartimalign", "tchartorder", "tchartimage", "treflibid"})
    c += std::string(", ") + n + " INTEGER";
  c += ", treflibtablename TEXT(50)";
  for (int i = 1; i <= 8; ++i) c += ", tview" + std::to_string(i) + " INTEGER";
  for (int i = 1; i <= 8; ++i) c += ", tviewname" + std::to_string(i) + " TEXT(50)";
  c += ", tlinktable TEXT(50), tlinkpath TEXT(50)";
  for (int i = 1; i <= 8; ++i) c += ", tviewcolor" + std::to_string(i) + " INTEGER";
  for (int i = 1; i <= 8; ++i) c += ", tviewico" + std::to_string(i) + " INTEGER";
  return c + ", ttype INTEGER";
}

// Stops the benchmark on an SQLite error.
inline void CheckSqlite(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::abort();
  }
}

// Removes the benchmark file (and its log files) when the program ends.
struct RemoveBenchFileAtExit {
  std::string path;
  ~RemoveBenchFileAtExit() {
    if (path.empty()) return;
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix, ec);
  }
};
