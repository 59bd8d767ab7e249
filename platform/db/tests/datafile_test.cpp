// Data files on disk: damaged files are named as such, and a file the program
// has closed holds all its data by itself.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/db/tests/dbtest.h"
#include "platform/rtl/strings.h"

namespace {

namespace fs = std::filesystem;

class DataFileTest : public ::testing::Test {
 protected:
  // Opens table "t" of Path and reads every record; the error's message, or "".
  static std::string ReadAllError(const std::string& Path) {
    try {
      TADOTable table(nullptr);
      table.SetConnectionString(JetConnection(Path));
      table.SetTableName("t");
      table.Open();
      for (table.First(); !table.Eof(); table.Next()) table.FieldByName("tname")->AsString();
      return "";
    } catch (const EDatabaseError& e) {
      return e.Message;
    }
  }
  // The files beside Path that belong to it: its journal, log and shared memory.
  static std::vector<std::string> SideFiles(const std::string& Path) {
    std::vector<std::string> found;
    for (const char* suffix : {"-journal", "-wal", "-shm"})
      if (fs::exists(Path + suffix)) found.push_back(Path + suffix);
    return found;
  }
  // tname of the record with tid Id, read from Path.
  static std::string NameOf(const std::string& Path, int Id) {
    pvsql::Db db(Path);
    pvsql::Stmt st(db, "SELECT tname FROM t WHERE tid=" + std::to_string(Id));
    return st.Step() ? std::string(st.Text(0)) : "<no record>";
  }
  TempDir dir;
};

TEST_F(DataFileTest, DamagedFilesSayTheyAreDamagedWithoutShowingStatements) {
  // Big enough for many pages, so a cut or an overwrite hits the records.
  MakeDatabase(dir.File("whole.l"), "BEGIN;" + NodeTableSql("t", 3000) + "COMMIT;");
  const auto size = fs::file_size(dir.File("whole.l"));
  ASSERT_GT(size, 16u * 4096);
  const struct {
    const char* name;
    std::function<void(const std::string&)> damage;
  } cases[] = {
      {"cut in half", [&](const std::string& p) { fs::resize_file(p, size / 2); }},
      {"cut to its first page", [&](const std::string& p) { fs::resize_file(p, 4096); }},
      {"header overwritten",
       [](const std::string& p) {
         std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
         f.write(std::string(100, '\x5A').data(), 100);
       }},
      {"pages overwritten",
       [&](const std::string& p) {
         std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(static_cast<std::streamoff>(size / 2 / 4096 * 4096));
         f.write(std::string(3 * 4096, '\xFF').data(), 3 * 4096);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(std::string(c.name) + ".l");
    fs::copy_file(dir.File("whole.l"), path);
    c.damage(path);
    std::string msg = ReadAllError(path);
    EXPECT_NE(msg.find("damaged"), std::string::npos) << msg;
    EXPECT_NE(msg.find(path), std::string::npos) << msg;
    for (const char* sql : {"SELECT", "sqlite_master", "FROM", "["}) EXPECT_EQ(msg.find(sql), std::string::npos) << msg;
  }
  // The undamaged file still reads.
  EXPECT_EQ(ReadAllError(dir.File("whole.l")), "");
}

TEST_F(DataFileTest, AClosedFileHoldsAllItsDataByItself) {
  const std::string path = dir.File("d.l");
  MakeDatabase(path, NodeTableSql("t", 3));
  EXPECT_EQ(SideFiles(path), std::vector<std::string>{});
  TADOConnection writer(nullptr), reader(nullptr);
  writer.SetConnectionString(JetConnection(path));
  reader.SetConnectionString(JetConnection(path));
  TADOTable w(nullptr), r(nullptr);
  w.SetConnection(&writer);
  r.SetConnection(&reader);
  for (TADOTable* t : {&w, &r}) {
    t->SetTableName("t");
    t->Open();
  }
  w.Edit();
  w.FieldByName("tname")->SetAsString("edited");
  w.Post();
  w.Append();
  w.FieldByName("tname")->SetAsString("added");
  w.Post();
  writer.Close();
  // Even with another connection still open, nothing but the file itself is left.
  EXPECT_EQ(SideFiles(path), std::vector<std::string>{});
  fs::create_directory(dir.File("copy"));
  fs::copy_file(path, dir.File("copy/d.l"));
  EXPECT_EQ(NameOf(dir.File("copy/d.l"), 1), "edited");
  EXPECT_EQ(NameOf(dir.File("copy/d.l"), 4), "added");
  reader.Close();
  EXPECT_EQ(SideFiles(path), std::vector<std::string>{});
}

TEST_F(DataFileTest, AWriteAheadLogLeftBesideAFileIsFoldedInOnClose) {
  const std::string path = dir.File("w.l");
  MakeDatabase(path, NodeTableSql("t", 3));
  // Another program writes in write-ahead mode and ends without closing the file.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) _exit(2);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "UPDATE t SET tname='from the log' WHERE tid=2", nullptr, nullptr, nullptr) != SQLITE_OK)
      _exit(3);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(fs::exists(path + "-wal"));

  EXPECT_EQ(ReadAllError(path), "");
  EXPECT_EQ(SideFiles(path), std::vector<std::string>{});
  fs::create_directory(dir.File("copy"));
  fs::copy_file(path, dir.File("copy/w.l"));
  EXPECT_EQ(NameOf(dir.File("copy/w.l"), 2), "from the log");
}

TEST_F(DataFileTest, AFileAnotherProgramKeepsInWriteAheadModeIsCompleteAfterClose) {
  const std::string path = dir.File("o.l");
  MakeDatabase(path, NodeTableSql("t", 3));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  sqlite3_exec(other, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  ASSERT_EQ(sqlite3_exec(other, "UPDATE t SET tname='other' WHERE tid=1", nullptr, nullptr, nullptr), SQLITE_OK);
  {
    TADOTable t(nullptr);
    t.SetConnectionString(JetConnection(path));
    t.SetTableName("t");
    t.Open();
    t.SetRecNo(2);
    t.Edit();
    t.FieldByName("tname")->SetAsString("ours");
    t.Post();
  }
  // The other connection is still open; the main file alone has both changes.
  fs::create_directory(dir.File("copy"));
  fs::copy_file(path, dir.File("copy/o.l"));
  EXPECT_EQ(NameOf(dir.File("copy/o.l"), 1), "other");
  EXPECT_EQ(NameOf(dir.File("copy/o.l"), 2), "ours");
  sqlite3_close(other);
}

}  // namespace
