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

// Fills a node table with a novel of Nodes nodes: ten volumes of chapters of
// scenes, ten children each, every node with a Chinese name, an order label
// and Body as its body text. The caller holds the transaction.
inline void InsertNovelNodes(sqlite3* db, const std::string& Table, int Nodes, const std::string& Body) {
  sqlite3_stmt* ins = nullptr;
  CheckSqlite(sqlite3_prepare_v2(db,
                                 ("INSERT INTO " + Table +
                                  " (tid, tparent, tname, tsortid, timage, tchartwidth, tchartheight, "
                                  "tchartcolor, ttype, ttext2) VALUES (?1, ?2, ?3, ?4, 0, 60, 30, 4278190104, 4, ?5)")
                                     .c_str(),
                                 -1, &ins, nullptr),
              db);
  static const char* const kWords[] = {"春", "夏", "秋", "冬", "山", "水", "风", "雨", "城", "夜"};
  for (int i = 1; i <= Nodes; ++i) {
    sqlite3_bind_int(ins, 1, i);
    sqlite3_bind_int(ins, 2, i <= 10 ? 0 : i / 10);
    std::string name = std::string("第") + std::to_string(i) + "节 " + kWords[i % 10] + kWords[(i / 10) % 10] + "之章";
    sqlite3_bind_text(ins, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    char sort[8];
    std::snprintf(sort, sizeof sort, "%02d", i % 10);
    sqlite3_bind_text(ins, 4, sort, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 5, Body.c_str(), -1, SQLITE_STATIC);
    CheckSqlite(sqlite3_step(ins), db);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
}

// Fills a node table with a story whose parents form one chain: node i (from
// 1) is the only child of node i - 1, the first at the top level. The caller
// holds the transaction.
inline void InsertChainNodes(sqlite3* db, const std::string& Table, int Depth) {
  sqlite3_stmt* ins = nullptr;
  CheckSqlite(sqlite3_prepare_v2(db,
                                 ("INSERT INTO " + Table +
                                  " (tid, tparent, tname, tsortid, timage, tchartwidth, tchartheight, tchartcolor, "
                                  "ttype) VALUES (?1, ?2, ?3, '01', 0, 60, 30, 4278190104, 4)")
                                     .c_str(),
                                 -1, &ins, nullptr),
              db);
  for (int i = 1; i <= Depth; ++i) {
    sqlite3_bind_int(ins, 1, i);
    sqlite3_bind_int(ins, 2, i - 1);
    const std::string name = "第" + std::to_string(i) + "层";
    sqlite3_bind_text(ins, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    CheckSqlite(sqlite3_step(ins), db);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
}

// Reads every column of every row a query gives on a file opened for the
// purpose, adding what it read to Sum; returns the number of rows.
inline int ReadEveryColumn(const std::string& File, const std::string& Sql, long long& Sum) {
  sqlite3* db = nullptr;
  sqlite3_open(File.c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, Sql.c_str(), -1, &st, nullptr);
  const int cols = sqlite3_column_count(st);
  int n = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0; c < cols; ++c) {
      switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER: Sum += sqlite3_column_int64(st, c); break;
        case SQLITE_FLOAT: Sum += static_cast<long long>(sqlite3_column_double(st, c)); break;
        case SQLITE_TEXT: Sum += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0); break;
        case SQLITE_BLOB: Sum += sqlite3_column_bytes(st, c); break;
        default: break;
      }
    }
    ++n;
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
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
