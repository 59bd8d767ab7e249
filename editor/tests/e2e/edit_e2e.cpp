// End to end: the editor in a real program on an X display (a virtual one when
// the environment names none), driven from outside with xdotool: Chinese typed
// as keys of the keyboard layout and committed by the input method (the
// toolkit's compose input method with a table of our own), then copied to the
// desktop's clipboard and read back with xclip.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/backend/desktop/tests/testsupport.h"

namespace {

using namespace pvtest;
namespace fs = std::filesystem;

class EditorOnDisplay : public ::testing::Test {
 protected:
  TestDisplay display;
  Child program;
  fs::path dir;

  void SetUp() override {
    for (const char* tool : {"xdotool", "xclip"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed";
    std::string why;
    if (!display.Open(&why)) GTEST_SKIP() << why;
    std::string tmpl = (fs::temp_directory_path() / "pveded2eXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    if (program.pid > 0) Reap(program.pid, 0), close(program.out);
    if (!dir.empty()) fs::remove_all(dir);
    display.Close();
  }
  std::string WaitForWindow(int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      std::string out;
      RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^Penvarro Editor"}, &out, 2000);
      out = Trim(out);
      if (!out.empty()) return out.substr(0, out.find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
  }
  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(RunProcess(args, nullptr, 10000), 0) << args[1];
  }
  std::string Clipboard() {
    std::string out;
    RunProcess({"xclip", "-o", "-selection", "clipboard"}, &out, 3000);
    return out;
  }
};

TEST_F(EditorOnDisplay, TypesChineseThroughKeysAndTheInputMethodAndCopiesIt) {
  // The input method: compose sequences that commit hanzi.
  const fs::path compose = dir / "Compose";
  {
    std::ofstream f(compose, std::ios::binary);
    f << "<Multi_key> <z> <h> : \"中\"\n<Multi_key> <w> <e> : \"文\"\n";
  }
  const fs::path log = dir / "text.txt";
  program = Spawn({PV_EDITOR_HOST}, nullptr,
                  {"PENVARRO_EVENT_LOG=" + log.string(), "QT_IM_MODULE=compose", "XCOMPOSEFILE=" + compose.string(),
                   "LANG=C.UTF-8", "LC_ALL=C.UTF-8", "LC_CTYPE=C.UTF-8"});
  ASSERT_GT(program.pid, 0) << "cannot start " << PV_EDITOR_HOST;
  const std::string win = WaitForWindow(10000);
  ASSERT_FALSE(win.empty()) << "the editor's window never appeared";
  // the window takes input once it has painted: let it settle, then a click at
  // the start of the first row, right of the gutter
  RunProcess({"xdotool", "windowfocus", "--sync", win}, nullptr, 3000);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Xdo({"mousemove", "--sync", "--window", win, "51", "5"});
  Xdo({"click", "1"});
  Xdo({"type", "--delay", "20", "abc"});
  Xdo({"type", "--delay", "40", "你好"});           // keys of the layout
  Xdo({"key", "--delay", "40", "Multi_key", "z", "h"});  // the input method commits 中
  Xdo({"key", "--delay", "40", "Multi_key", "w", "e"});  // and 文
  Xdo({"key", "Return"});
  Xdo({"type", "--delay", "20", "end"});
  // all of it to the desktop's clipboard (asked again while the program is busy)
  const std::string expected = "abc你好中文\r\nend";
  std::string clip;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (clip != expected && std::chrono::steady_clock::now() < deadline) {
    Xdo({"key", "ctrl+a", "ctrl+c"});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    clip = Clipboard();
  }
  EXPECT_EQ(clip, expected);
  Xdo({"key", "alt+F4"});
  EXPECT_EQ(WaitForExit(program, 10000), 0);
  // 中 and 文 came as input-method results, 你好 as characters of keys
  EXPECT_EQ(ReadFile(log.string()), "abc你好中文\r\nend\n--\nime 2");
}

}  // namespace
