// End to end: the real program on an X display (a virtual one when the
// environment names none), installed in a temporary folder, driven from
// outside with xdotool as a user would, and ended through its own exit paths.
// A small notification area (the system-tray protocol of X) stands in for the
// desktop's where a test needs one.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include "platform/backend/desktop/tests/testsupport.h"

namespace {

using namespace pvtest;
namespace fs = std::filesystem;

// A notification area on the display: it owns the system-tray selection and
// embeds the icon windows that ask to dock, side by side in its own window.
class TrayHost {
 public:
  ~TrayHost() {
    if (c_) xcb_disconnect(c_);
  }
  bool Start(std::string* why) {
    int screenNumber = 0;
    c_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c_)) {
      *why = "cannot connect to the display";
      return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    xcb_screen_t* screen = it.data;
    window_ = xcb_generate_id(c_);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 1000, 0, 240, 32, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    xcb_map_window(c_, window_);
    const xcb_atom_t selection = Atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    opcode_ = Atom("_NET_SYSTEM_TRAY_OPCODE");
    xembed_ = Atom("_XEMBED");
    xcb_set_selection_owner(c_, window_, selection, XCB_CURRENT_TIME);
    auto* owner = xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, selection), nullptr);
    const bool mine = owner && owner->owner == window_;
    free(owner);
    if (!mine) {
      *why = "another program owns the notification area";
      return false;
    }
    Send(screen->root, Atom("MANAGER"), {XCB_CURRENT_TIME, selection, window_, 0, 0},
         XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    return true;
  }
  // Docks the icons that asked since the last call; the icons docked so far.
  const std::vector<xcb_window_t>& Poll() {
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
      if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
        auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
        if (m->type == opcode_ && m->data.data32[1] == 0) Dock(m->data.data32[2]);
      }
      free(e);
    }
    return icons_;
  }

 private:
  xcb_atom_t Atom(const std::string& name) {
    auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(name.size()), name.c_str()), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
  }
  void Send(xcb_window_t to, xcb_atom_t type, std::array<uint32_t, 5> data, uint32_t mask) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = to;
    ev.type = type;
    for (int i = 0; i < 5; ++i) ev.data.data32[i] = data[std::size_t(i)];
    xcb_send_event(c_, 0, to, mask, reinterpret_cast<const char*>(&ev));
    xcb_flush(c_);
  }
  void Dock(xcb_window_t icon) {
    const int x = 4 + 28 * int(icons_.size());
    xcb_reparent_window(c_, icon, window_, int16_t(x), 4);
    const uint32_t size[] = {24, 24};
    xcb_configure_window(c_, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_map_window(c_, icon);
    Send(icon, xembed_, {XCB_CURRENT_TIME, 0 /* embedded notify */, 0, window_, 0}, XCB_EVENT_MASK_NO_EVENT);
    icons_.push_back(icon);
  }
  xcb_connection_t* c_ = nullptr;
  xcb_window_t window_ = 0;
  xcb_atom_t opcode_ = XCB_ATOM_NONE, xembed_ = XCB_ATOM_NONE;
  std::vector<xcb_window_t> icons_;
};

// A window manager on the display, as a desktop has one: the one already
// there, or openbox started for the test (stopped with it).
class WindowManager {
 public:
  ~WindowManager() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      Reap(pid_, 3000);
    }
  }
  bool Start(std::string* why) {
    if (Running()) return true;
    if (!OnPath("openbox")) {
      *why = "no window manager runs and openbox is not installed";
      return false;
    }
    // its output goes nowhere: a closed pipe would end it at its first line
    Child c = Spawn({"sh", "-c", "exec openbox --sm-disable >/dev/null 2>&1"});
    if (c.pid <= 0) {
      *why = "openbox could not be started";
      return false;
    }
    close(c.out);
    pid_ = c.pid;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Running() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!Running()) *why = "openbox did not take the display";
    return Running();
  }

 private:
  // Whether a window manager owns the screen's WM_S selection.
  static bool Running() {
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    bool owned = false;
    if (!xcb_connection_has_error(c)) {
      const std::string name = "WM_S" + std::to_string(screen);
      auto* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
      if (a) {
        auto* o = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, a->atom), nullptr);
        owned = o && o->owner != XCB_NONE;
        free(o);
      }
      free(a);
    }
    xcb_disconnect(c);
    return owned;
  }
  pid_t pid_ = -1;
};

// The CPU time (user and system, in clock ticks) the process has used so far.
long CpuTicks(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::atol(f.c_str());
    if (i == 15) stime = std::atol(f.c_str());
  }
  return utime + stime;
}

// The program installed in a new temporary folder: the program in bin/, the
// shipped files in data/ ("" when the folder cannot be made).
fs::path Install() {
  std::string tmpl = (fs::temp_directory_path() / "penvarro_e2e_XXXXXX").string();
  if (!mkdtemp(tmpl.data())) return {};
  const fs::path dir = tmpl;
  const fs::path built(PV_PROGRAM);
  const fs::path data = built.parent_path().parent_path() / "data";
  for (const char* d : {"bin", "data", "story", "out"}) fs::create_directories(dir / d);
  std::error_code ec;
  fs::create_hard_link(built, dir / "bin" / "penvro", ec);
  if (ec) fs::copy_file(built, dir / "bin" / "penvro");
  fs::copy_file(data / "lib.l", dir / "data" / "lib.l");
  fs::copy_file(data / "template.te", dir / "data" / "template.te");
  return dir;
}

// Where "新建" stands in the File menu (below "元库", a rule and "打开").
constexpr int kNewItemY = 60;

class ProgramOnDisplay : public ::testing::Test {
 protected:
  TestDisplay display;
  Child program;
  fs::path dir;
  std::unique_ptr<QGuiApplication> app;  // for screenshots
  std::unique_ptr<TrayHost> tray;
  int argc = 1;
  char name[4] = "e2e";
  char* argv[2] = {name, nullptr};

  void SetUp() override {
    std::string why;
    if (!OnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    if (!display.Open(&why)) GTEST_SKIP() << why;
    dir = Install();
    ASSERT_FALSE(dir.empty());
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override {
    // nothing is left running, whatever happened above
    if (program.pid > 0) Reap(program.pid, 0), close(program.out);
    tray.reset();
    if (!dir.empty()) fs::remove_all(dir);
    app.reset();
    display.Close();
  }

  std::string Program() const { return (dir / "bin" / "penvro").string(); }
  void Pump() {
    if (tray) tray->Poll();
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
  // The frame's title, followed by a maximized story window's in brackets as MDI frames show it.
  static constexpr const char* kFrameTitle = "^Penvarro( - \\[.*\\])?$";
  std::string WaitForFrame(int ms) { return WaitForWindow(kFrameTitle, ms); }

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

  // A story file `name` in the story folder, a copy of the template holding
  // the one node of `values` (tid, tparent, tname, tsortid, ttext2).
  fs::path StoryWithNode(const std::string& name, const std::string& values) {
    const fs::path story = dir / "story" / name;
    fs::copy_file(dir / "data" / "template.te", story);
    const std::string error =
        Sql(story, "INSERT INTO Story1 (tid, tparent, tname, tsortid, ttext2) VALUES (" + values + ")");
    EXPECT_EQ(error, "");
    return story;
  }
  // Starts the program on a story and waits for its frame and first paint.
  std::string StartOn(const fs::path& story) {
    program = Spawn({Program(), story.string()});
    if (program.pid <= 0) return {};
    std::string win = WaitForFrame(15000);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return win;
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
    RunProcess({"xdotool", "search", "--onlyvisible", "--name", kFrameTitle}, &out, 2000, [this] { Pump(); });
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
  // Waits up to `ms` for a query on `file` to give `want`; what it gave last.
  static std::string WaitForSql(const fs::path& file, const std::string& query, const std::string& want, int ms) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while ((got = Sql(file, query)) != want && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return got;
  }
  // Whether the frame's empty client (the application work space) shows at
  // (x, y) of `win` within `ms`: the child window that stood there is gone.
  bool ClientEmptyAt(const std::string& win, int x, int y, int ms) {
    const Geometry g = GeometryOf(win);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      const QRgb p = app->primaryScreen()->grabWindow(0, g.x + x, g.y + y, 1, 1).toImage().pixel(0, 0);
      if ((p & 0xFFFFFF) == 0x808080) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  }
  // Ends the program as a crash would; the file it had open stays sound.
  void KillAndCheck(const fs::path& file) {
    kill(program.pid, SIGKILL);
    WaitForExit(5000);
    EXPECT_EQ(IntegrityCheck(file), "ok");
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

// The frame shows what the program draws with no display: its four menus on
// the main-menu bar, in the Office 2003 style.
TEST_F(ProgramOnDisplay, ShowsTheFrameAsDrawnWithoutADisplay) {
  std::string win = Start();
  ASSERT_GT(program.pid, 0) << "cannot start " << Program();
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  Geometry frame = GeometryOf(win);
  ASSERT_EQ(frame.w, 709);
  ASSERT_EQ(frame.h, 388);
  ASSERT_EQ(RunProcess({Program(), "--headless-screenshot", (dir / "headless.png").string()}, nullptr, 20000), 0);
  QImage ref = QImage(QString::fromStdString((dir / "headless.png").string())).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(ref.size(), QSize(frame.w, frame.h));
  // the display may still be catching up with the first paint, so look again briefly
  int differ = -1;
  QImage shot;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (differ != 0 && std::chrono::steady_clock::now() < until) {
    if (differ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    shot = app->primaryScreen()->grabWindow(0, frame.x, frame.y, frame.w, frame.h).toImage().convertToFormat(
        QImage::Format_RGB32);
    differ = 0;
    for (int py = 0; py < frame.h; ++py)
      for (int px = 0; px < frame.w; ++px)
        if (shot.pixel(px, py) != ref.pixel(px, py)) ++differ;
  }
  shot.save("e2e_frame.png");
  EXPECT_EQ(differ, 0) << "the desktop shows another picture than the headless backend draws";
}

// A new story "测试" from the template through the File menu; closing the frame
// hides it to the notification area; the tray menu's "退出" ends the program.
TEST_F(ProgramOnDisplay, MakesANewStoryHidesToTheTrayAndEndsThroughTheTrayMenu) {
  tray = std::make_unique<TrayHost>();
  std::string why;
  if (!tray->Start(&why)) GTEST_SKIP() << why;
  std::string win = Start();
  ASSERT_FALSE(win.empty()) << "the frame never appeared";

  // "文件" on the main-menu bar, then "新建"
  ClickAt(win, 17, 50);
  std::string menu = WaitForPopup(win, 5000);
  ASSERT_FALSE(menu.empty()) << "the File menu did not open";
  Shot("e2e_file_menu.png");
  Geometry m = GeometryOf(menu);
  ClickAt(menu, m.w / 2, kNewItemY);
  std::string input = WaitForWindow("^新建文件:$", 5000);
  ASSERT_FALSE(input.empty()) << "the new-file box did not open";
  // into its edit box, once the box has the keys; the keyboard map changes for
  // each character, so the keys go slowly
  ClickAt(input, 150, 56);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Xdo({"type", "--delay", "60", "测试"});
  Shot("e2e_new_story.png");
  Xdo({"key", "Return"});
  const fs::path story = dir / "story" / "测试.t";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!fs::exists(story) && std::chrono::steady_clock::now() < deadline) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!fs::exists(story)) {
    Shot("e2e_no_story.png");
    std::string made;
    for (const auto& e : fs::directory_iterator(dir / "story")) made += " " + e.path().filename().string();
    FAIL() << "no story file was made; the story folder holds:" << made;
  }

  // closing hides the frame to the notification area; the program goes on
  ClickAt(win, 400, 250);  // the frame takes the keys
  Xdo({"key", "alt+F4"});
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((FrameVisible() || tray->Poll().empty()) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(FrameVisible());
  ASSERT_EQ(tray->Poll().size(), 1u) << "the icon never docked";
  int status;
  ASSERT_FALSE(Exited(&status)) << "closing ended the program";

  // the icon's menu, and its last item "退出"
  const std::string icon = std::to_string(tray->Poll()[0]);
  ClickAt(icon, 12, 12, 3);
  std::string trayMenu = WaitForPopup(icon, 5000);
  ASSERT_FALSE(trayMenu.empty()) << "the tray menu did not open";
  Shot("e2e_tray_menu.png");
  Geometry t = GeometryOf(trayMenu);
  EXPECT_LT(t.y, 200) << "the menu opens where the icon was clicked";
  Xdo({"mousemove", "--sync", std::to_string(t.x + t.w / 2), std::to_string(t.y + t.h - 12)});
  Xdo({"click", "1"});
  status = WaitForExit(10000);
  ASSERT_EQ(program.pid, -1) << "the program did not end through the tray menu";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(IntegrityCheck(story), "ok");
  EXPECT_EQ(IntegrityCheck(dir / "data" / "lib.l"), "ok");
  EXPECT_EQ(fs::file_size(story), fs::file_size(dir / "data" / "template.te"));
}

// Hidden behind its icon the program has nothing to do and sleeps: over two
// seconds it uses a small part of one (a loop that spins uses all of it).
TEST_F(ProgramOnDisplay, HiddenToTheNotificationAreaTheProgramSleeps) {
  tray = std::make_unique<TrayHost>();
  std::string why;
  if (!tray->Start(&why)) GTEST_SKIP() << why;
  const fs::path story = StoryWithNode("idle.t", "1, 0, '甲', '01', '开头'");
  std::string win = StartOn(story);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, 400, 200);  // the body text, with its caret
  Xdo({"key", "alt+F4"});
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((FrameVisible() || tray->Poll().empty()) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_FALSE(FrameVisible());
  ASSERT_EQ(tray->Poll().size(), 1u) << "the icon never docked";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const long before = CpuTicks(program.pid);
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const long used = CpuTicks(program.pid) - before;
  ASSERT_GE(before, 0);
  EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 10) << "ticks used in two seconds while hidden";
  int status;
  EXPECT_FALSE(Exited(&status));
}

// Where the desktop has no notification area, closing the frame saves and
// ends the program as the tray's exit would: hidden, it could not be reached.
TEST_F(ProgramOnDisplay, WithoutANotificationAreaClosingSavesAndEnds) {
  const fs::path story = StoryWithNode("close.t", "1, 0, '甲', '01', '开头'");
  std::string win = StartOn(story);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, 400, 200);  // the body text
  Xdo({"key", "ctrl+End"});
  Xdo({"type", "--delay", "60", "abc"});
  Xdo({"key", "alt+F4"});
  const int status = WaitForExit(10000);
  ASSERT_EQ(program.pid, -1) << "closing did not end the program";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(IntegrityCheck(story), "ok");
  EXPECT_EQ(Sql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1"), "开头abc");
  EXPECT_EQ(IntegrityCheck(dir / "data" / "lib.l"), "ok");
}

// With the desktop's window manager: the frame maximised and then minimised
// by its own caption buttons goes to the desktop (no notification area to
// hide in), and comes back maximised when the desktop activates it.
TEST_F(ProgramOnDisplay, AMinimisedFrameGoesToTheDesktopAndComesBackMaximised) {
  WindowManager wm;
  std::string why;
  if (!wm.Start(&why)) GTEST_SKIP() << why;
  std::string win = Start();
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // the caption's buttons, from its right end: minimise, maximise, close
  const auto button = [&](int fromRight) { ClickAt(win, GeometryOf(win).w - fromRight, 13); };
  button(32);
  Geometry maximised;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((maximised = GeometryOf(win)).w < 1000 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_GE(maximised.w, 1000) << "the frame was not maximised";
  button(49);
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (FrameVisible() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(FrameVisible()) << "the minimised frame still shows";
  Xdo({"windowactivate", win});
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!FrameVisible() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(FrameVisible()) << "the frame did not come back";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const Geometry back = GeometryOf(win);
  EXPECT_EQ(back.w, maximised.w);
  EXPECT_EQ(back.h, maximised.h);
  // it still answers: the File menu opens
  ClickAt(win, 17, 50);
  EXPECT_FALSE(WaitForPopup(win, 5000).empty()) << "the File menu did not open";
  int status;
  EXPECT_FALSE(Exited(&status));
}

// Under a window manager, 5 MB of Chinese (1.85 million hanzi) put on the
// clipboard by another program is pasted whole into a story's body text by
// Ctrl+V alone, saved and read back from the file; copied again it reaches
// another program whole; the program answers throughout.
TEST_F(ProgramOnDisplay, FiveMegabytesOfChinesePasteAndCopyThroughTheDesktopsClipboard) {
  if (!OnPath("xclip")) GTEST_SKIP() << "xclip is not installed";
  WindowManager wm;
  std::string why;
  if (!wm.Start(&why)) GTEST_SKIP() << why;
  std::string text;
  text.reserve(5550000);
  for (std::uint32_t i = 0; i < 1850000; ++i) {
    const std::uint32_t c = 0x4E00 + (i * 7919u) % 0x51A6;  // hanzi, all in the code page
    text += char(0xE0 | (c >> 12));
    text += char(0x80 | ((c >> 6) & 0x3F));
    text += char(0x80 | (c & 0x3F));
  }
  const fs::path story = StoryWithNode("paste.t", "1, 0, '甲', '01', '开头'");
  std::string win = StartOn(story);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  const Geometry g = GeometryOf(win);
  const QRect body(g.x + 60, g.y + 60, g.w - 80, g.h - 80);
  auto grab = [&] {
    return app->primaryScreen()->grabWindow(0, body.x(), body.y(), body.width(), body.height()).toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  const QImage before = grab();

  Child server = Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, &text);
  ASSERT_GT(server.pid, 0);
  struct StopServer {
    Child& c;
    ~StopServer() {
      kill(c.pid, SIGTERM);
      Reap(c.pid, 2000);
      close(c.out);
    }
  } stopServer{server};
  std::string targets;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (targets.find("UTF8_STRING") == std::string::npos && std::chrono::steady_clock::now() < deadline)
    RunProcess({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"}, &targets, 2000);
  ASSERT_NE(targets.find("UTF8_STRING"), std::string::npos) << "xclip never held the clipboard";

  // Into the body text at once, while the program may still be taking the
  // news of the change, Ctrl+V and nothing more: the paste shows by itself
  ClickAt(win, 400, 200);
  Xdo({"key", "ctrl+End"});
  Xdo({"key", "ctrl+v"});
  int changed = 0;
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (changed < 2000 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const QImage now = grab();
    changed = 0;
    for (int y = 0; y < now.height(); ++y)
      for (int x = 0; x < now.width(); ++x) changed += now.pixel(x, y) != before.pixel(x, y);
  }
  Shot("e2e_large_paste.png");
  EXPECT_GE(changed, 2000) << "the paste never showed";

  // "保存" on the text toolbar, then the file holds it all
  ClickAt(win, 420, 39);
  const std::string want = "开头" + text;
  EXPECT_EQ(WaitForSql(story, "SELECT length(ttext2) FROM Story1 WHERE tid = 1", std::to_string(2 + 1850000), 60000),
            std::to_string(2 + 1850000));
  EXPECT_TRUE(Sql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1") == want) << "the saved text differs";
  // still answering: a key and another save
  Xdo({"type", "z"});
  Xdo({"click", "1"});  // the pointer is still on "保存"
  EXPECT_EQ(WaitForSql(story, "SELECT substr(ttext2, -1) FROM Story1 WHERE tid = 1", "z", 30000), "z");

  // all of it copied to another program (selecting and copying so much takes
  // the program a moment; the keys wait for it)
  auto slowKey = [&](const char* key) {
    EXPECT_EQ(RunProcess({"xdotool", "key", key}, nullptr, 30000), 0) << key;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  };
  slowKey("ctrl+a");  // the body text keeps the keys
  slowKey("ctrl+c");
  std::string out;
  EXPECT_EQ(RunProcess({"xclip", "-o", "-selection", "clipboard"}, &out, 60000), 0);
  EXPECT_EQ(out.size(), want.size() + 1);
  EXPECT_TRUE(out == want + "z") << "the copy arrived changed";
  // and answers after serving it: a key at the end and another save
  slowKey("ctrl+End");
  Xdo({"type", "y"});
  Xdo({"click", "1"});
  EXPECT_EQ(WaitForSql(story, "SELECT substr(ttext2, -2) FROM Story1 WHERE tid = 1", "zy", 30000), "zy");
  int status;
  EXPECT_FALSE(Exited(&status));
  KillAndCheck(story);
}

// Body text typed into a story opened from the command line is written to the
// file by the toolbar's save button; a SIGKILL afterwards loses none of it,
// the file stays sound, and the story opens again with the text.
TEST_F(ProgramOnDisplay, TextPostedBeforeAKillIsThereWhenTheStoryOpensAgain) {
  const fs::path story = StoryWithNode("kill.t", "1, 0, '甲', '01', '开头'");
  std::string win = StartOn(story);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  // Into the body text (the story window fills the frame), at its end.
  ClickAt(win, 400, 200);
  Xdo({"key", "ctrl+End"});
  // ASCII only: xdotool types other characters by remapping a key for each,
  // which a loaded display may miss (the input method's path is tested headless).
  Xdo({"type", "--delay", "60", "abc xyz"});
  // "保存" on the text toolbar posts the body text.
  ClickAt(win, 420, 39);
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((text = Sql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1")) != "开头abc xyz" &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(text, "开头abc xyz");
  kill(program.pid, SIGKILL);
  int status = WaitForExit(5000);
  ASSERT_EQ(program.pid, -1);
  EXPECT_EQ(status, 128 + SIGKILL);
  EXPECT_EQ(IntegrityCheck(story), "ok");
  EXPECT_EQ(Sql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1"), "开头abc xyz");
  // Again: the story opens with the text, and another kill leaves it sound.
  program = Spawn({Program(), story.string()});
  ASSERT_GT(program.pid, 0);
  ASSERT_FALSE(WaitForFrame(15000).empty()) << "the frame never appeared again";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  KillAndCheck(story);
  EXPECT_EQ(Sql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1"), "开头abc xyz");
}

// The library tool windows, each opened as the author opens it, given one
// edit and closed with Ctrl+F4; the edit is then read from the file. Typed
// text is ASCII (see above). Positions are those of the frame at its first
// size, as the headless backend draws it.
constexpr int kProjectMenuX = 17, kProjectMenuY = 130;  // "工程" on the main-menu bar
constexpr int kReplaceItemY = 37, kCopyItemY = 60;      // "查找" and "复制" in it

TEST_F(ProgramOnDisplay, ReplacesThroughTheWholeLibraryFromTheProjectMenu) {
  const fs::path lib = dir / "data" / "lib.l";
  ASSERT_EQ(Sql(lib, "UPDATE region1 SET ttext1 = 'abc 林远 abc' WHERE tid = 2"), "");
  ASSERT_EQ(Sql(lib, "UPDATE mem1 SET ttext2 = 'ABC' WHERE tid = 3"), "");
  std::string win = Start();
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, kProjectMenuX, kProjectMenuY);
  std::string menu = WaitForPopup(win, 5000);
  ASSERT_FALSE(menu.empty()) << "the project menu did not open";
  ClickAt(menu, GeometryOf(menu).w / 2, kReplaceItemY);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  ClickAt(win, 86, 368);  // the "替换" panel's tab, at the window's foot
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ClickAt(win, 246, 52);  // 查找字符串
  Xdo({"type", "--delay", "60", "abc"});
  ClickAt(win, 246, 88);  // 替换字符串
  Xdo({"type", "--delay", "60", "xyz"});
  ClickAt(win, 165, 126);  // 替换
  Shot("e2e_library_replace.png");
  EXPECT_EQ(WaitForSql(lib, "SELECT ttext1 FROM region1 WHERE tid = 2", "xyz 林远 xyz", 5000), "xyz 林远 xyz");
  EXPECT_EQ(Sql(lib, "SELECT ttext2 FROM mem1 WHERE tid = 3"), "xyz");
  ClickAt(win, 246, 88);
  Xdo({"key", "ctrl+F4"});
  EXPECT_TRUE(ClientEmptyAt(win, 246, 88, 3000)) << "the window did not close";
  int status;
  ASSERT_FALSE(Exited(&status));
  KillAndCheck(lib);
  EXPECT_EQ(Sql(lib, "SELECT ttext1 FROM region1 WHERE tid = 2"), "xyz 林远 xyz");
}

TEST_F(ProgramOnDisplay, CopiesADraggedNodeFromTheLibraryIntoAStory) {
  const fs::path story = StoryWithNode("copy.t", "1, 0, 'jia', '01', ''");
  std::string win = Start();
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, kProjectMenuX, kProjectMenuY);
  std::string menu = WaitForPopup(win, 5000);
  ASSERT_FALSE(menu.empty()) << "the project menu did not open";
  ClickAt(menu, GeometryOf(menu).w / 2, kCopyItemY);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  // Each side: the path and Enter, the list from its box, the table from its
  // drop-down tree. The window stands at the client's top left, as the frame
  // is smaller than the window.
  const struct {
    int edit, combo, lookup;
    fs::path file;
    int listDown;  // rows down to the list
  } sides[] = {{238, 86, 200, dir / "data" / "lib.l", 1}, {598, 446, 520, story, 0}};
  for (const auto& s : sides) {
    ClickAt(win, s.edit, 59);
    Xdo({"type", "--delay", "20", s.file.string()});
    Xdo({"key", "Return"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ClickAt(win, s.combo, 85);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < s.listDown; ++i) Xdo({"key", "Down"});
    Xdo({"key", "Return"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ClickAt(win, s.lookup, 85);
    Xdo({"key", "alt+Down"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdo({"key", "Down"});
    Xdo({"key", "Return"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  Shot("e2e_copy_opened.png");
  // 主角：林远 (the second row on the left) onto jia.
  Xdo({"mousemove", "--sync", "--window", win, "126", "132"});
  Xdo({"mousedown", "1"});
  for (int i = 1; i <= 8; ++i) {
    Xdo({"mousemove", "--sync", "--window", win, std::to_string(126 + (453 - 126) * i / 8),
         std::to_string(132 + (114 - 132) * i / 8)});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  Xdo({"mouseup", "1"});
  EXPECT_EQ(WaitForSql(story, "SELECT group_concat(tparent || ':' || tname) FROM Story1", "0:jia,1:主角：林远", 5000),
            "0:jia,1:主角：林远");
  Shot("e2e_copy_dropped.png");
  Xdo({"key", "ctrl+F4"});
  EXPECT_TRUE(ClientEmptyAt(win, 238, 59, 3000)) << "the window did not close";
  KillAndCheck(story);
  EXPECT_EQ(Sql(story, "SELECT group_concat(tparent || ':' || tname) FROM Story1"), "0:jia,1:主角：林远");
  EXPECT_EQ(Sql(dir / "data" / "lib.l", "SELECT count(*) FROM region1"), "5");  // the library keeps its node
}

TEST_F(ProgramOnDisplay, TextTypedInTheStoryDesignWindowIsInTheFileWhenItCloses) {
  const fs::path story = StoryWithNode("design.t", "1, 0, 'jia', '01', 'start'");
  std::string win = StartOn(story);
  ASSERT_FALSE(win.empty()) << "the frame never appeared";
  ClickAt(win, 44, 45);  // the story window's "小说" panel slides out
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  ClickAt(win, 93, 60);  // its "新建" menu
  std::string menu = WaitForPopup(win, 5000);
  ASSERT_FALSE(menu.empty()) << "the story window's menu did not open";
  Geometry m = GeometryOf(menu);
  ClickAt(menu, m.w / 2, m.h - 12);  // "故事设计", its last item
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  ClickAt(win, 650, 80);  // the novel's body text, at the right
  Xdo({"key", "ctrl+End"});
  Xdo({"type", "--delay", "60", "abc"});
  Shot("e2e_story_design.png");
  Xdo({"key", "ctrl+F4"});
  EXPECT_EQ(WaitForSql(story, "SELECT ttext2 FROM Story1 WHERE tid = 1", "startabc", 5000), "startabc");
  int status;
  ASSERT_FALSE(Exited(&status));
  KillAndCheck(story);
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

// On an X server of which it is the only client (a bare server, as on a kiosk
// or a build machine) the program starts and shows its frame. Such a server
// resets when its last client leaves and turns away whoever connects
// meanwhile; this one, started with -terminate, ends there instead, so a
// program that left it for a moment before the toolkit connected finds none.
TEST(ProgramAloneOnItsDisplay, StartsAndShowsItsFrame) {
  if (!OnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  TestDisplay display;
  std::string why;
  if (!display.Start(&why, {"-terminate"})) GTEST_SKIP() << why;
  const fs::path dir = Install();
  ASSERT_FALSE(dir.empty());
  Child program = Spawn({(dir / "bin" / "penvro").string()}, nullptr, {}, true);
  struct Cleanup {
    Child& c;
    const fs::path& dir;
    ~Cleanup() {
      if (c.pid > 0) Reap(c.pid, 0), close(c.out);
      fs::remove_all(dir);
    }
  } cleanup{program, dir};
  ASSERT_GT(program.pid, 0);
  // Nobody else connects before the program went through its start: the
  // toolkit's display library is loaded when it is about to connect.
  int status = -1;
  auto ended = [&] {
    int st;
    if (waitpid(program.pid, &st, WNOHANG) != program.pid) return false;
    status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return true;
  };
  const std::string maps = "/proc/" + std::to_string(program.pid) + "/maps";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (ReadFile(maps).find("XcbQpa") == std::string::npos && !ended() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::string frame;
  while (frame.empty() && status == -1 && std::chrono::steady_clock::now() < deadline) {
    RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^Penvarro$"}, &frame, 2000);
    frame = Trim(frame);
    if (frame.empty() && !ended()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_FALSE(frame.empty()) << "the frame never appeared";
  std::string out;
  if (status != -1) {
    char buf[4096];
    for (ssize_t n; (n = read(program.out, buf, sizeof buf)) > 0;) out.append(buf, std::size_t(n));
  }
  EXPECT_EQ(status, -1) << "the program ended: " << out;
}

}  // namespace

// End to end: each library window opened from the frame's 视图 menu, one edit
// typed into it, the window closed, and the edit found in the library file.
namespace {

using namespace pvtest;

// Where 视图 stands on the frame's main-menu bar, and the items of its menu.
constexpr int kViewMenuX = 17, kViewMenuY = 90;
enum ViewItem { kNarrativeItem, kDesignItem, kTemplateItem };
// The items' heights and the rule between the second and the third.
constexpr int kFirstItemY = 14, kItemPitch = 23, kRuleHeight = 9;
int ItemY(ViewItem Item) {
  return kFirstItemY + kItemPitch * int(Item) + (Item >= kTemplateItem ? kRuleHeight : 0);
}

class LibraryWindowsOnDisplay : public ProgramOnDisplay {
 protected:
  fs::path Library() const { return dir / "data" / "lib.l"; }

  // Starts the program and opens Item from the 视图 menu; the frame's window.
  std::string OpenFromViewMenu(ViewItem Item, const char* Shot_) {
    std::string win = Start();
    EXPECT_FALSE(win.empty()) << "the frame never appeared";
    if (win.empty()) return win;
    ClickAt(win, kViewMenuX, kViewMenuY);
    std::string menu = WaitForPopup(win, 5000);
    EXPECT_FALSE(menu.empty()) << "the 视图 menu did not open";
    if (menu.empty()) return {};
    Shot(std::string(Shot_) + "_menu.png");
    ClickAt(menu, GeometryOf(menu).w / 2, ItemY(Item));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    return win;
  }
  // Types ASCII at the end of the text of the editor at (X, Y): xdotool types
  // other characters by remapping a key for each, which a loaded display may
  // miss (the input method's path is tested headless).
  void TypeInto(const std::string& Win, int X, int Y) {
    ClickAt(Win, X, Y);
    Xdo({"key", "ctrl+End"});
    Xdo({"type", "--delay", "60", "abc xyz"});
  }
  // Closes the active child window of the frame.
  void CloseChild(const std::string& Win) { Xdo({"key", "ctrl+F4"}); }
  // Polls the library until Query gives Want, for at most five seconds.
  std::string WaitForQuery(const std::string& Query, const std::string& Want) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((got = Sql(Library(), Query)) != Want && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return got;
  }
  void ExpectSoundAndEnd() {
    EXPECT_EQ(IntegrityCheck(Library()), "ok");
    int status;
    EXPECT_FALSE(Exited(&status)) << "the program ended";
  }
};

// 设计分子: notes typed into the design-element window reach the file when the
// window closes.
TEST_F(LibraryWindowsOnDisplay, TheDesignElementWindowSavesItsEditWhenClosed) {
  std::string win = OpenFromViewMenu(kDesignItem, "e2e_design");
  ASSERT_FALSE(win.empty());
  TypeInto(win, 440, 200);
  Shot("e2e_design.png");
  EXPECT_EQ(Sql(Library(), "SELECT count(*) FROM region1 WHERE ttext1 LIKE '%abc xyz%'"), "0")
      << "saved before the window closed";
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT count(*) FROM region1 WHERE ttext1 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

// 叙述分子: a narrative table chosen from the keyboard, its body text typed
// into, the window closed: the text is in the file.
TEST_F(LibraryWindowsOnDisplay, TheNarrativeElementWindowSavesItsEditWhenClosed) {
  std::string win = OpenFromViewMenu(kNarrativeItem, "e2e_narrative");
  ASSERT_FALSE(win.empty());
  // The table chooser on the panel's bar: drop it down, take its row.
  ClickAt(win, 100, 59);
  Xdo({"key", "alt+Down"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Xdo({"key", "Down"});
  Xdo({"key", "Return"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  TypeInto(win, 470, 200);
  Shot("e2e_narrative.png");
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT count(*) FROM mem1 WHERE ttext2 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

// 设计模板: notes typed into the library side of the template window reach the
// file when the author moves to another node; closing keeps them.
TEST_F(LibraryWindowsOnDisplay, TheTemplateWindowWritesItsEditWhenTheAuthorMovesOn) {
  std::string win = OpenFromViewMenu(kTemplateItem, "e2e_template");
  ASSERT_FALSE(win.empty());
  ClickAt(win, 100, 82);  // 人物 in the library tree
  TypeInto(win, 320, 200);
  ClickAt(win, 100, 100);  // 地点
  Shot("e2e_template.png");
  CloseChild(win);
  EXPECT_EQ(WaitForQuery("SELECT tid FROM region1 WHERE ttext1 LIKE '%abc xyz%'", "1"), "1");
  ExpectSoundAndEnd();
}

}  // namespace
