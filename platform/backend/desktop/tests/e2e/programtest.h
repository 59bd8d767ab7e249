// A fixture for end-to-end tests that drive the installed program: a
// display (a virtual one when the environment names none), the program
// installed in a temporary folder of the test's own with the shipped library
// and template, xdotool to drive it as a user would, screenshots, and the
// files it wrote read back with SQLite. Nothing is left running.
#pragma once
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "platform/backend/desktop/tests/testsupport.h"

namespace pvtest {

namespace fs = std::filesystem;

class ProgramOnDisplayBase : public ::testing::Test {
 protected:
  TestDisplay display;
  Child program;
  fs::path dir;
  std::unique_ptr<QGuiApplication> app;  // for screenshots
  // Run while the test waits, e.g. to serve a notification area.
  std::function<void()> OnPump;
  int argc = 1;
  char name[4] = "e2e";
  char* argv[2] = {name, nullptr};

  void SetUp() override {
    std::string why;
    if (!OnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    if (!display.Open(&why)) GTEST_SKIP() << why;
    std::string tmpl = (fs::temp_directory_path() / "penvarro_e2e_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    // The installation: the program in bin/, the shipped files in data/.
    const fs::path built(PV_PROGRAM);
    const fs::path data = built.parent_path().parent_path() / "data";
    for (const char* d : {"bin", "data", "story", "out"}) fs::create_directories(dir / d);
    std::error_code ec;
    fs::create_hard_link(built, dir / "bin" / "penvro", ec);
    if (ec) fs::copy_file(built, dir / "bin" / "penvro");
    fs::copy_file(data / "lib.l", dir / "data" / "lib.l");
    fs::copy_file(data / "template.te", dir / "data" / "template.te");
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override {
    // nothing is left running, whatever happened above
    if (program.pid > 0) Reap(program.pid, 0), close(program.out);
    OnPump = nullptr;
    if (!dir.empty()) fs::remove_all(dir);
    app.reset();
    display.Close();
  }

  std::string Program() const { return (dir / "bin" / "penvro").string(); }
  void Pump() {
    if (OnPump) OnPump();
  }

  bool Exited(int* status) {
    int st;
    pid_t r = waitpid(program.pid, &st, WNOHANG);
    if (r != program.pid) return false;
    *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    close(program.out);
    program.pid = -1;
    return true;
  }

  // The first visible window of the program whose title matches `title`,
  // polled in short steps for at most `ms`.
  std::string WaitForWindow(const std::string& title, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--name", title}, &out, 2000, [this] { Pump(); });
      out = Trim(out);
      if (!out.empty()) return out.substr(0, out.find('\n'));
      int st;
      if (Exited(&st)) return {};
      Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }
  std::string WaitForFrame(int ms) { return WaitForWindow("^Penvarro$", ms); }

  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(RunProcess(args, nullptr, 5000, [this] { Pump(); }), 0) << args[1];
  }
  void ClickAt(const std::string& win, int x, int y, int button = 1) {
    Xdo({"mousemove", "--sync", "--window", win, std::to_string(x), std::to_string(y)});
    Xdo({"click", std::to_string(button)});
  }

  // Waits for the program to end by itself, for at most `ms`; its exit status or -1.
  int WaitForExit(int ms) {
    int status = -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Exited(&status) && std::chrono::steady_clock::now() < deadline) {
      Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return program.pid == -1 ? status : -1;
  }

  // Starts the program and waits for its frame.
  std::string Start() {
    program = Spawn({Program()});
    if (program.pid <= 0) return {};
    return WaitForFrame(15000);
  }

  // A visible window of the program other than `other` (a pop-up), polled for at most `ms`.
  std::string WaitForPopup(const std::string& other, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program.pid)}, &out, 2000,
                 [this] { Pump(); });
      // the largest new window: menus come with thin shadow windows beside them
      std::istringstream ids(out);
      std::string best;
      int bestArea = 0;
      for (std::string id; std::getline(ids, id);) {
        id = Trim(id);
        if (id.empty() || id == other) continue;
        Geometry g = GeometryOf(id);
        if (g.w >= 16 && g.h >= 16 && g.w * g.h > bestArea) best = id, bestArea = g.w * g.h;
      }
      if (!best.empty()) return best;
      Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }
  bool FrameVisible() {
    std::string out;
    RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^Penvarro$"}, &out, 2000, [this] { Pump(); });
    return !Trim(out).empty();
  }
  void Shot(const std::string& file) {
    QRect all = app->primaryScreen()->geometry();
    app->primaryScreen()->grabWindow(0, all.x(), all.y(), all.width(), all.height()).save(QString::fromStdString(file));
  }
  // Runs one statement on a file; the first column of its first row ("" when
  // none), or the error.
  static std::string Sql(const fs::path& file, const std::string& text) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return "cannot open";
    sqlite3_busy_timeout(db, 2000);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, text.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      result = sqlite3_errmsg(db);
    } else {
      const int rc = sqlite3_step(st);
      if (rc == SQLITE_ROW && sqlite3_column_text(st, 0))
        result = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      else if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        result = sqlite3_errmsg(db);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
  }
  static std::string IntegrityCheck(const fs::path& file) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
          sqlite3_step(st) == SQLITE_ROW)
        result = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return result;
  }
};

}  // namespace pvtest
