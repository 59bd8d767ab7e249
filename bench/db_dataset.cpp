// Dataset speed against plain SQLite on the same file, in one run:
//  - walking a 100,000-row node table from First to Eof, reading two fields
//    per record, against a sqlite3_step loop reading the same two columns
//    (and one reading every column, as opening a snapshot does);
//  - one Post of a changed field against a hand-written single-row UPDATE in
//    its own transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/node_table_fixture.h"
#include "platform/db/ado.h"
#include "platform/rtl/strings.h"

namespace {

constexpr int kRows = 100000;

RemoveBenchFileAtExit gBenchFileCleanup;

// The benchmark file, made once per run in the temporary folder (or $PV_BENCH_DIR).
const std::string& BenchFile() {
  static std::string path = [] {
    const char* dir = std::getenv("PV_BENCH_DIR");
    std::string p = (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                    ("pv_db_bench_" + std::to_string(getpid()) + ".l");
    std::filesystem::remove(p);
    sqlite3* db = nullptr;
    CheckSqlite(sqlite3_open(p.c_str(), &db), db);
    CheckSqlite(sqlite3_exec(db, ("CREATE TABLE nodes (" + NodeTableColumns() + ")").c_str(), nullptr, nullptr, nullptr), db);
    CheckSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* ins = nullptr;
    CheckSqlite(sqlite3_prepare_v2(db,
                             "INSERT INTO nodes (tparent, tname, timage, tsortid, tchartwidth, tchartheight, "
                             "tchartcolor, ttype, ttext2) VALUES (?1, ?2, 0, ?3, 60, 30, 4278190104, 4, ?4)",
                             -1, &ins, nullptr),
          db);
    for (int i = 1; i <= kRows; ++i) {
      sqlite3_bind_int(ins, 1, i / 10);
      std::string name = "节点" + std::to_string(i);
      sqlite3_bind_text(ins, 2, name.c_str(), -1, SQLITE_TRANSIENT);
      std::string sort = std::to_string(i % 100);
      sqlite3_bind_text(ins, 3, sort.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(ins, 4, "正文正文正文正文正文正文正文正文", -1, SQLITE_STATIC);
      CheckSqlite(sqlite3_step(ins), db);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    CheckSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    CheckSqlite(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    gBenchFileCleanup.path = p;
    return p;
  }();
  return path;
}

AnsiString ConnectionString() {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + BenchFile();
}

// ---- walking ----

void BM_RawStepWalk(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open(BenchFile().c_str(), &db);
  long long sum = 0;
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM nodes ORDER BY rowid", -1, &st, nullptr);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      sum += sqlite3_column_int(st, 0);
      sum += sqlite3_column_bytes(st, 2) + (sqlite3_column_text(st, 2) ? 1 : 0);
      ++n;
    }
    sqlite3_finalize(st);
    if (n != kRows) state.SkipWithError("row count");
  }
  benchmark::DoNotOptimize(sum);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RawStepWalk)->Unit(benchmark::kMillisecond);

// The same loop fetching every column of every row, which is what reading a
// snapshot of the table has to do.
void BM_RawStepWalkAllColumns(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open(BenchFile().c_str(), &db);
  long long sum = 0;
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM nodes ORDER BY rowid", -1, &st, nullptr);
    const int cols = sqlite3_column_count(st);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int c = 0; c < cols; ++c) {
        switch (sqlite3_column_type(st, c)) {
          case SQLITE_INTEGER: sum += sqlite3_column_int64(st, c); break;
          case SQLITE_FLOAT: sum += static_cast<long long>(sqlite3_column_double(st, c)); break;
          case SQLITE_TEXT: sum += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0); break;
          case SQLITE_BLOB: sum += sqlite3_column_bytes(st, c); break;
          default: break;
        }
      }
      ++n;
    }
    sqlite3_finalize(st);
    if (n != kRows) state.SkipWithError("row count");
  }
  benchmark::DoNotOptimize(sum);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RawStepWalkAllColumns)->Unit(benchmark::kMillisecond);

// First to Eof on an open dataset, reading the key and the name of each record.
void BM_DataSetWalk(benchmark::State& state) {
  TADOTable t(nullptr);
  t.SetConnectionString(ConnectionString());
  t.SetTableName("nodes");
  t.Open();
  TField* tid = t.FieldByName("tid");
  TField* name = t.FieldByName("tname");
  long long sum = 0;
  for (auto _ : state) {
    int n = 0;
    for (t.First(); !t.Eof(); t.Next()) {
      sum += tid->AsInteger();
      sum += static_cast<long long>(name->AsString().size());
      ++n;
    }
    if (n != kRows) state.SkipWithError("row count");
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_DataSetWalk)->Unit(benchmark::kMillisecond);

// The same walk including the open that reads the snapshot.
void BM_DataSetOpenAndWalk(benchmark::State& state) {
  long long sum = 0;
  for (auto _ : state) {
    TADOTable t(nullptr);
    t.SetConnectionString(ConnectionString());
    t.SetTableName("nodes");
    t.Open();
    TField* tid = t.FieldByName("tid");
    TField* name = t.FieldByName("tname");
    for (t.First(); !t.Eof(); t.Next()) {
      sum += tid->AsInteger();
      sum += static_cast<long long>(name->AsString().size());
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_DataSetOpenAndWalk)->Unit(benchmark::kMillisecond);

// ---- one post ----

void BM_RawUpdateTransaction(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open(BenchFile().c_str(), &db);
  sqlite3_busy_timeout(db, 3000);
  sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  sqlite3_stmt* up = nullptr;
  sqlite3_prepare_v2(db, "UPDATE nodes SET tname=?1 WHERE tid=?2", -1, &up, nullptr);
  int i = 0;
  for (auto _ : state) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    std::string v = "改名" + std::to_string(++i);
    sqlite3_bind_text(up, 1, v.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(up, 2, 50000);
    sqlite3_step(up);
    sqlite3_reset(up);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(up);
  sqlite3_close(db);
}
BENCHMARK(BM_RawUpdateTransaction)->Unit(benchmark::kMicrosecond);

// Edit, set the name, Post: written at once in its own transaction.
void BM_DataSetPost(benchmark::State& state) {
  TADOTable t(nullptr);
  t.SetConnectionString(ConnectionString());
  t.SetTableName("nodes");
  t.Open();
  t.SetRecNo(50000);
  TField* name = t.FieldByName("tname");
  int i = 0;
  for (auto _ : state) {
    t.Edit();
    name->SetAsString(Utf8ToAnsi("改名") + IntToStr(++i));
    t.Post();
  }
}
BENCHMARK(BM_DataSetPost)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
