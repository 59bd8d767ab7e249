// End to end: a toolbar in a real program on an X display (a virtual one when
// the environment names none), moved with the mouse from outside with
// xdotool: dragged off its dock it floats in a window of its own, its right
// edge sizes it, and a double click on its caption docks it back. A menu
// dragged away by its detach strip becomes a floating toolbar.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/backend/desktop/tests/testsupport.h"

namespace {

using namespace pvtest;
namespace fs = std::filesystem;

class BarsOnDisplay : public ::testing::Test {
 protected:
  TestDisplay display;
  Child program;
  fs::path dir, log;

  void SetUp() override {
    if (!OnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    std::string why;
    if (!display.Open(&why)) GTEST_SKIP() << why;
    std::string tmpl = (fs::temp_directory_path() / "pvbarse2eXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    log = dir / "events.txt";
  }
  void TearDown() override {
    if (program.pid > 0) Reap(program.pid, 0), close(program.out);
    if (!dir.empty()) fs::remove_all(dir);
    display.Close();
  }
  // The first visible window whose name is exactly Name, "" when none within ms.
  std::string FindWindow(const std::string& Name, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^" + Name + "$"}, &out, 2000);
      out = Trim(out);
      if (!out.empty()) return out.substr(0, out.find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
  }
  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(RunProcess(args, nullptr, 10000), 0) << args[1];
  }
  // Presses at one point, moves there in steps and releases at the other.
  void DragMouse(int x1, int y1, int x2, int y2) {
    Xdo({"mousemove", "--sync", std::to_string(x1), std::to_string(y1)});
    Xdo({"mousedown", "1"});
    for (int i = 1; i <= 8; ++i) {
      Xdo({"mousemove", std::to_string(x1 + (x2 - x1) * i / 8), std::to_string(y1 + (y2 - y1) * i / 8)});
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    Xdo({"mouseup", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  // The log's line that starts with Prefix ("" when none within ms).
  std::string WaitForLine(const std::string& Prefix, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      std::istringstream in(ReadFile(log.string()));
      for (std::string line; std::getline(in, line);)
        if (line.rfind(Prefix, 0) == 0) return line;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
  }
};

TEST_F(BarsOnDisplay, AToolbarDraggedOffItsDockFloatsSizesAndDocksBackOnADoubleClick) {
  program = Spawn({PV_BARS_HOST}, nullptr, {"PENVARRO_EVENT_LOG=" + log.string(), "LANG=C.UTF-8", "LC_ALL=C.UTF-8"});
  ASSERT_GT(program.pid, 0) << "cannot start " << PV_BARS_HOST;
  const std::string form = FindWindow("Penvarro Bars", 10000);
  ASSERT_FALSE(form.empty()) << "the form never appeared";
  std::string grip = WaitForLine("grip ", 5000);
  ASSERT_FALSE(grip.empty()) << "the program never told where the toolbar is";
  int gx = 0, gy = 0;
  ASSERT_EQ(std::sscanf(grip.c_str(), "grip %d %d", &gx, &gy), 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(FindWindow("Tools", 300).empty()) << "docked, the toolbar has no window of its own";

  // dragged by its grip far below the form: a window of its own under the pointer
  Geometry f = GeometryOf(form);
  const int dropX = gx + 150, dropY = std::max(f.y - 60, 20);
  DragMouse(gx, gy, dropX, dropY);
  const std::string tools = FindWindow("Tools", 5000);
  ASSERT_FALSE(tools.empty()) << "the toolbar did not float";
  EXPECT_FALSE(WaitForLine("style floating", 3000).empty());
  Geometry t = GeometryOf(tools);
  EXPECT_TRUE(t.x <= dropX && dropX < t.x + t.w && t.y <= dropY && dropY < t.y + t.h)
      << t.x << "," << t.y << " " << t.w << "x" << t.h;

  // its right edge dragged left: narrower and taller, the left and top stay
  DragMouse(t.x + t.w - 2, t.y + t.h / 2, t.x + t.w / 2, t.y + t.h / 2);
  Geometry s = GeometryOf(tools);
  EXPECT_EQ(s.x, t.x);
  EXPECT_EQ(s.y, t.y);
  EXPECT_LT(s.w, t.w);
  EXPECT_GT(s.h, t.h);

  // a double click on its caption docks it back at the top
  Xdo({"mousemove", "--sync", std::to_string(s.x + 12), std::to_string(s.y + 10)});
  Xdo({"click", "--repeat", "2", "--delay", "60", "1"});
  EXPECT_FALSE(WaitForLine("style top", 5000).empty()) << ReadFile(log.string());
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!FindWindow("Tools", 0).empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(FindWindow("Tools", 0).empty()) << "the floating window stayed";

  RunProcess({"xdotool", "windowactivate", "--sync", form}, nullptr, 3000);
  // the window may be gone before xdotool sends the key's release: its
  // status says nothing, the program's ending does
  RunProcess({"xdotool", "key", "--window", form, "alt+F4"}, nullptr, 10000);
  EXPECT_EQ(WaitForExit(program, 10000), 0);
  std::string last = WaitForLine("final ", 1000);
  EXPECT_EQ(last.substr(0, 16), "final top row 0 ") << ReadFile(log.string());
  // the floating size the edge gave is kept for the next time it floats
  int fw = 0, fh = 0;
  ASSERT_EQ(std::sscanf(last.c_str(), "final top row 0 float %d %d", &fw, &fh), 2);
  EXPECT_GT(fw, 0);
  EXPECT_LT(fw, t.w);
}

TEST_F(BarsOnDisplay, AMenuDraggedByItsStripBecomesAFloatingToolbar) {
  program = Spawn({PV_BARS_HOST}, nullptr, {"PENVARRO_EVENT_LOG=" + log.string(), "LANG=C.UTF-8", "LC_ALL=C.UTF-8"});
  ASSERT_GT(program.pid, 0) << "cannot start " << PV_BARS_HOST;
  const std::string form = FindWindow("Penvarro Bars", 10000);
  ASSERT_FALSE(form.empty()) << "the form never appeared";
  std::string item = WaitForLine("format ", 5000);
  ASSERT_FALSE(item.empty()) << "the program never told where the Format menu is";
  int l = 0, t = 0, r = 0, b = 0;
  ASSERT_EQ(std::sscanf(item.c_str(), "format %d %d %d %d", &l, &t, &r, &b), 4);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(FindWindow("Format", 300).empty()) << "the Format bar starts hidden";
  // the menu opens below the item; its detach strip is its top band
  Xdo({"mousemove", "--sync", std::to_string((l + r) / 2), std::to_string((t + b) / 2)});
  Xdo({"click", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const int sx = l + 20, sy = b + 5;
  Xdo({"mousemove", "--sync", std::to_string(sx - 1), std::to_string(sy)});
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  const int dropX = sx + 200, dropY = sy + 150;
  DragMouse(sx, sy, dropX, dropY);
  EXPECT_FALSE(WaitForLine("detaching", 3000).empty()) << ReadFile(log.string());
  const std::string bar = FindWindow("Format", 5000);
  ASSERT_FALSE(bar.empty()) << "the torn-off menu did not float: " << ReadFile(log.string());
  Geometry g = GeometryOf(bar);
  EXPECT_TRUE(g.x <= dropX && dropX < g.x + g.w && g.y <= dropY + 20 && dropY - 20 < g.y + g.h)
      << g.x << "," << g.y << " " << g.w << "x" << g.h;
  // the floating bar has the keyboard now: a click in the form takes it back
  Geometry f = GeometryOf(form);
  Xdo({"mousemove", "--sync", std::to_string(f.x + f.w / 2), std::to_string(f.y + f.h - 30)});
  Xdo({"click", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  RunProcess({"xdotool", "windowactivate", "--sync", form}, nullptr, 3000);
  RunProcess({"xdotool", "key", "--window", form, "alt+F4"}, nullptr, 10000);
  EXPECT_EQ(WaitForExit(program, 10000), 0);
}

}  // namespace
