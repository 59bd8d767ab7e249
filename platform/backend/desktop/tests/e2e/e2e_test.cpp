// End to end: the real program on an X display (a virtual one when the
// environment names none), driven from outside with xdotool and xclip as a
// user and other programs would, and ended through its own exit paths.
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>
#include "platform/backend/desktop/tests/testsupport.h"

namespace {

using namespace pvtest;
namespace fs = std::filesystem;

class ProgramOnDisplay : public ::testing::Test {
 protected:
  TestDisplay display;
  Child program;
  Child clipServer;
  fs::path dir;
  std::unique_ptr<QGuiApplication> app;  // for screenshots
  int argc = 1;
  char name[4] = "e2e";
  char* argv[2] = {name, nullptr};

  void SetUp() override {
    std::string why;
    for (const char* tool : {"xdotool", "xclip"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed";
    if (!display.Open(&why)) GTEST_SKIP() << why;
    dir = fs::temp_directory_path() / ("penvarro_e2e_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override {
    // nothing is left running, whatever happened above
    if (program.pid > 0) Reap(program.pid, 0), close(program.out);
    if (clipServer.pid > 0) kill(clipServer.pid, SIGTERM), Reap(clipServer.pid, 2000), close(clipServer.out);
    if (!dir.empty()) fs::remove_all(dir);
    app.reset();
    display.Close();
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

  // The program's frame, polled in short steps for at most `ms`.
  std::string WaitForFrame(int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^Penvarro"}, &out, 2000);
      out = Trim(out);
      if (!out.empty()) return out.substr(0, out.find('\n'));
      int st;
      if (Exited(&st)) return {};
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }

  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(RunProcess(args, nullptr, 5000), 0) << args[1];
  }
  void ClickAt(const std::string& win, int x, int y) {
    Xdo({"mousemove", "--sync", "--window", win, std::to_string(x), std::to_string(y)});
    Xdo({"click", "1"});
  }

  // Waits for the program to end by itself, for at most `ms`; its exit status or -1.
  int WaitForExit(int ms) {
    int status = -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Exited(&status) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return program.pid == -1 ? status : -1;
  }

  // Starts the program with an event log and waits for its frame.
  std::string Start(const fs::path& log) {
    program = Spawn({PV_PROGRAM}, nullptr, {"PENVARRO_EVENT_LOG=" + log.string()});
    if (program.pid <= 0) return {};
    return WaitForFrame(10000);
  }

  // No window of the program is left on the display.
  bool NoFrameLeft() {
    std::string out;
    RunProcess({"xdotool", "search", "--name", "^Penvarro"}, &out, 2000);
    return Trim(out).empty();
  }


  // A visible window of the program other than `frame` (a pop-up), polled for at most `ms`.
  std::string WaitForPopup(const std::string& frame, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program.pid)}, &out, 2000);
      std::istringstream ids(out);
      for (std::string id; std::getline(ids, id);)
        if (!Trim(id).empty() && Trim(id) != frame) return Trim(id);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }

  std::string ReadClipboard() {
    std::string out;
    RunProcess({"xclip", "-o", "-selection", "clipboard"}, &out, 3000);
    return out;
  }
};

TEST_F(ProgramOnDisplay, ShowsTakesInputSharesTheClipboardAndEndsThroughItsExitButton) {
  const fs::path log = dir / "events.txt";
  std::string win = Start(log);
  ASSERT_GT(program.pid, 0) << "cannot start " << PV_PROGRAM;
  ASSERT_FALSE(win.empty()) << "the frame never appeared";

  // a screenshot of the frame, and the same window drawn with no display
  {
    Geometry frame = GeometryOf(win);
    int x = frame.x, y = frame.y, w = frame.w, h = frame.h;
    ASSERT_EQ(w, 560);
    ASSERT_EQ(h, 400);
    ASSERT_EQ(RunProcess({PV_PROGRAM, "--headless-screenshot", "e2e_headless.png"}, nullptr, 10000), 0);
    QImage ref = QImage("e2e_headless.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(ref.size(), QSize(w, h));
    // the same pixels, but for the edit box's caret, which blinks on the display;
    // the display may still be catching up with the first paint, so look again briefly
    QRect edit(204, 50, 336, 24);
    int differ = -1;
    QImage shot;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (differ != 0 && std::chrono::steady_clock::now() < until) {
      if (differ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      shot = app->primaryScreen()->grabWindow(0, x, y, w, h).toImage().convertToFormat(QImage::Format_RGB32);
      differ = 0;
      for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
          if (!edit.contains(px, py) && shot.pixel(px, py) != ref.pixel(px, py)) ++differ;
    }
    shot.save("e2e_desktop.png");
    EXPECT_EQ(differ, 0) << "the desktop shows another picture than the headless backend draws";
  }

  // type at the end of the edit box's text
  ClickAt(win, 500, 60);
  Xdo({"key", "End"});
  Xdo({"type", "--delay", "10", "abc"});

  // "复制" copies the edit box's text to the desktop's clipboard
  ClickAt(win, 240, 98);
  ASSERT_TRUE(WaitForLogLine(log, "copy", 5000));
  EXPECT_EQ(ReadClipboard(), "你好，世界abc");

  // another program puts Chinese text on the clipboard; "粘贴" pastes it
  std::string text = "人物：李雷";
  clipServer = Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, &text);
  ASSERT_GT(clipServer.pid, 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ReadClipboard() != text && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ClickAt(win, 328, 98);
  ASSERT_TRUE(WaitForLogLine(log, "paste", 5000));

  // "退出" closes the main form, which ends the program
  ClickAt(win, 500, 98);
  int status = WaitForExit(10000);
  ASSERT_EQ(program.pid, -1) << "the program did not end through its exit button";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(log), "copy\npaste\nbutton exit\nexit\nedit=人物：李雷\n");
  EXPECT_TRUE(NoFrameLeft());
}

// Alt+F4 asks the frame to close through the window manager's own path; the
// keys typed before it have reached the edit box.
TEST_F(ProgramOnDisplay, EndsOnAltF4) {
  const fs::path log = dir / "events.txt";
  std::string win = Start(log);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, 500, 60);
  Xdo({"key", "End", "BackSpace", "BackSpace"});
  Xdo({"key", "alt+F4"});
  int status = WaitForExit(10000);
  ASSERT_EQ(program.pid, -1) << "the program did not end on Alt+F4";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(log), "exit\nedit=你好，\n");
  EXPECT_TRUE(NoFrameLeft());
}

}  // namespace

namespace {

// The main menu with the mouse: "文件" on the menu bar opens its pop-up, a click
// on its last item "退出" ends the program through the form's own exit.
TEST_F(ProgramOnDisplay, EndsThroughItsMenu) {
  const fs::path log = dir / "events.txt";
  std::string win = Start(log);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, 36, 32);
  std::string popup = WaitForPopup(win, 5000);
  ASSERT_FALSE(popup.empty()) << "the menu did not open";
  Geometry g = GeometryOf(popup);
  Geometry f = GeometryOf(win);
  EXPECT_GE(g.y, f.y + 32) << "the menu opens below its title";
  app->primaryScreen()->grabWindow(0, f.x, f.y, f.w, f.h).save("e2e_menu.png");
  Xdo({"mousemove", "--sync", std::to_string(g.x + g.w / 2), std::to_string(g.y + g.h - 12)});
  Xdo({"click", "1"});
  int status = WaitForExit(10000);
  ASSERT_EQ(program.pid, -1) << "the program did not end through its menu";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(log), "menu exit\nexit\nedit=你好，世界\n");
  EXPECT_TRUE(NoFrameLeft());
}

}  // namespace

namespace {

// A display number with no X server behind it: no socket of that number, in the
// socket folder or among the abstract sockets.
int UnusedDisplayNumber() {
  std::string sockets = ReadFile("/proc/net/unix");
  for (int n = 999;; ++n) {
    std::string name = "/tmp/.X11-unix/X" + std::to_string(n);
    if (!fs::exists(name) && sockets.find(name + "\n") == std::string::npos) return n;
  }
}

// With DISPLAY naming no server the program says so and ends with an error of
// its own, not the toolkit's abort.
TEST(ProgramWithoutItsDisplay, SaysSoAndEnds) {
  std::string display = ":" + std::to_string(UnusedDisplayNumber());
  Child c = Spawn({PV_PROGRAM}, nullptr, {"DISPLAY=" + display, "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"}, true);
  ASSERT_GT(c.pid, 0) << "cannot start " << PV_PROGRAM;
  std::string out;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (bool open = true; open && std::chrono::steady_clock::now() < deadline;) {
    pollfd p{c.out, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    char buf[4096];
    ssize_t n = read(c.out, buf, sizeof buf);
    if (n > 0) out.append(buf, std::size_t(n));
    else open = false;
  }
  close(c.out);
  int status = Reap(c.pid, 5000);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("Cannot open the display \"" + display + "\""), std::string::npos) << out;
  EXPECT_EQ(out.find("Reinstalling"), std::string::npos) << out;
}

}  // namespace
