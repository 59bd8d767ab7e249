// End to end: a panel dragged by its caption with the real mouse (xdotool on
// an X display, a virtual one when the environment names none) docks beside
// another; the docking frame shows on the display while the button is held.
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <filesystem>
#include <memory>
#include <sstream>

#include "platform/backend/desktop/tests/testsupport.h"

namespace {

using namespace pvtest;
namespace fs = std::filesystem;

class DockingOnDisplay : public ::testing::Test {
 protected:
  TestDisplay display;
  Child app;
  fs::path dir;
  std::unique_ptr<QGuiApplication> qt;  // for screenshots
  int argc = 1;
  char name[8] = "dock";
  char* argv[2] = {name, nullptr};

  void SetUp() override {
    std::string why;
    if (!OnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    if (!display.Open(&why)) GTEST_SKIP() << why;
    char tmpl[] = "/tmp/pv_dock_e2e_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    qt = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override {
    if (app.pid > 0) kill(app.pid, SIGTERM), Reap(app.pid, 3000), close(app.out);
    if (!dir.empty()) fs::remove_all(dir);
    qt.reset();
    display.Close();
  }

  // The values of a log line "KEY a b ...", polled for at most `ms`.
  std::vector<int> WaitForLine(const fs::path& log, const std::string& key, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::istringstream lines(ReadFile(log));
      for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string k;
        words >> k;
        if (k != key) continue;
        std::vector<int> v;
        for (int x; words >> x;) v.push_back(x);
        return v;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }
  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(RunProcess(args, nullptr, 5000), 0) << args[1];
  }
  void MoveTo(int x, int y) { Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)}); }
  std::string WindowNamed(const std::string& pattern, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--name", pattern}, &out, 2000);
      if (auto nl = out.find('\n'); nl != std::string::npos && nl > 0) return out.substr(0, nl);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }
  // Starts the program with the environment given and waits for its window
  // and the grab and drop points; dx, dy: where the display put the window
  // against where the program believes it stands.
  struct Started {
    std::string win;
    std::vector<int> grab, drop;
    int dx = 0, dy = 0;
    Geometry g;
  };
  Started Start(const fs::path& log, std::vector<std::string> env) {
    Started s;
    env.push_back("DOCK_E2E_LOG=" + log.string());
    app = Spawn({PV_DOCK_APP}, nullptr, env);
    EXPECT_GT(app.pid, 0) << "cannot start " << PV_DOCK_APP;
    if (app.pid <= 0) return s;
    s.win = WindowNamed("^Penvarro Dock", 10000);
    const std::vector<int> frame = WaitForLine(log, "frame", 5000);
    s.grab = WaitForLine(log, "grab", 5000);
    s.drop = WaitForLine(log, "drop", 5000);
    if (s.win.empty() || frame.size() != 4 || s.grab.size() != 2 || s.drop.size() != 2) return s;
    s.g = GeometryOf(s.win);
    s.dx = s.g.x - frame[0];
    s.dy = s.g.y - frame[1];
    return s;
  }
  // Alt+F4 closes the window and ends the program. The window can be gone
  // before xdotool sends the key's release, which it then reports as an
  // error: the program's log tells whether it closed.
  void Close(const fs::path& log, const std::string& win) {
    RunProcess({"xdotool", "key", "--window", win, "alt+F4"}, nullptr, 5000);
    EXPECT_TRUE(WaitForLogLine(log, "close", 5000));
    EXPECT_EQ(Reap(app.pid, 10000), 0);
    app.pid = -1;
    close(app.out);
  }
  QImage Grab(int x, int y, int w, int h) {
    return qt->primaryScreen()->grabWindow(0, x, y, w, h).toImage().convertToFormat(QImage::Format_RGB32);
  }
};

TEST_F(DockingOnDisplay, ACaptionDraggedWithTheMouseDocksBesideAnotherPanel) {
  const fs::path log = dir / "events.txt";
  app = Spawn({PV_DOCK_APP}, nullptr, {"DOCK_E2E_LOG=" + log.string()});
  ASSERT_GT(app.pid, 0) << "cannot start " << PV_DOCK_APP;
  const std::string win = WindowNamed("^Penvarro Dock", 10000);
  ASSERT_FALSE(win.empty()) << "the window never appeared";
  const std::vector<int> frame = WaitForLine(log, "frame", 5000);
  std::vector<int> grab = WaitForLine(log, "grab", 5000);
  std::vector<int> drop = WaitForLine(log, "drop", 5000);
  ASSERT_EQ(frame.size(), 4u);
  ASSERT_EQ(grab.size(), 2u);
  ASSERT_EQ(drop.size(), 2u);
  // The program's screen and the display's agree up to where the window stands.
  const Geometry g = GeometryOf(win);
  const int dx = g.x - frame[0], dy = g.y - frame[1];
  EXPECT_EQ(g.w, frame[2] - frame[0]);
  EXPECT_EQ(g.h, frame[3] - frame[1]);

  // Press on X's caption and move a few pixels: nothing is dragged yet.
  MoveTo(grab[0] + dx, grab[1] + dy);
  Xdo({"mousedown", "1"});
  MoveTo(grab[0] + dx + 1, grab[1] + dy);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const QImage before = Grab(g.x, g.y, g.w, g.h);
  // Leave the caption in steps and hold over A's right edge: the frame shows.
  for (int i = 1; i <= 8; ++i)
    MoveTo(grab[0] + dx + (drop[0] - grab[0]) * i / 8, grab[1] + dy + (drop[1] - grab[1]) * i / 8);
  int changed = 0;
  QImage during;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (changed < 100 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    during = Grab(g.x, g.y, g.w, g.h);
    changed = 0;
    for (int y = 0; y < during.height(); ++y)
      for (int x = 0; x < during.width(); ++x)
        if (during.pixel(x, y) != before.pixel(x, y)) ++changed;
  }
  during.save((dir / "dragging.png").c_str());
  EXPECT_GE(changed, 100) << "no docking frame on the display";
  Xdo({"mouseup", "1"});
  EXPECT_TRUE(WaitForLogLine(log, "end docked TkxHorizContainerDockSite 1", 5000)) << ReadFile(log);

  Close(log, win);
}

// The story window's pinned left pages dragged by their caption, which reads
// the novel page's "小说", onto the main page: they join its pages, and the
// novel page keeps its content on the display; the program reports no error.
TEST_F(DockingOnDisplay, TheNovelPagesCaptionDraggedOntoTheMainPageJoinsItsPages) {
  const fs::path log = dir / "events.txt";
  const Started s = Start(log, {"DOCK_E2E_STORY=1"});
  ASSERT_FALSE(s.win.empty()) << ReadFile(log);
  ASSERT_EQ(s.grab.size(), 2u);
  ASSERT_EQ(s.drop.size(), 2u);
  MoveTo(s.grab[0] + s.dx, s.grab[1] + s.dy);
  Xdo({"mousedown", "1"});
  for (int i = 1; i <= 8; ++i)
    MoveTo(s.grab[0] + s.dx + (s.drop[0] - s.grab[0]) * i / 8, s.grab[1] + s.dy + (s.drop[1] - s.grab[1]) * i / 8);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Xdo({"mouseup", "1"});
  EXPECT_TRUE(WaitForLogLine(log, "end docked TkxTabContainerDockSite 1", 5000)) << ReadFile(log);
  EXPECT_TRUE(WaitForLogLine(log, "content 1", 5000)) << ReadFile(log);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Grab(s.g.x, s.g.y, s.g.w, s.g.h).save((dir / "dropped.png").c_str());
  EXPECT_EQ(ReadFile(log).find("error "), std::string::npos) << ReadFile(log);
  Close(log, s.win);
}

}  // namespace
