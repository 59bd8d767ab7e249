// Start-up of the workbench as a whole process: from starting the program
// (installed in a temporary folder, with the shipped library) to the first
// painted frame on the X display (a virtual one when the environment names
// none), seen as the frame's MDI client area turning its workspace grey; the
// peak resident memory at that moment is reported. Next to it, in the same run,
// a programmer's editor (vim) starting empty in a terminal to its first screen.
#include <benchmark/benchmark.h>
#include <pty.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/backend/desktop/tests/testsupport.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The display, the connection that watches it and the installation, once.
struct Stage {
  pvtest::TestDisplay display;
  xcb_connection_t* c = nullptr;
  xcb_window_t root = 0;
  int width = 0, height = 0;
  fs::path dir;
  std::string error;

  Stage() {
    if (!display.Open(&error)) return;
    int screen = 0;
    c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
      error = "cannot connect to the display";
      return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen; ++i) xcb_screen_next(&it);
    root = it.data->root;
    width = it.data->width_in_pixels;
    height = it.data->height_in_pixels;
    std::string tmpl = (fs::temp_directory_path() / "pv_startup_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
      error = "mkdtemp failed";
      return;
    }
    dir = tmpl;
    const fs::path built = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "penvarro";
    for (const char* d : {"bin", "data", "story", "out"}) fs::create_directories(dir / d);
    std::error_code ec;
    fs::create_hard_link(built / "bin" / "penvro", dir / "bin" / "penvro", ec);
    if (ec) fs::copy_file(built / "bin" / "penvro", dir / "bin" / "penvro");
    fs::copy_file(built / "data" / "lib.l", dir / "data" / "lib.l");
    fs::copy_file(built / "data" / "template.te", dir / "data" / "template.te");
  }
  ~Stage() {
    if (c) xcb_disconnect(c);
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
    display.Close();
  }
  // The screen's pixel at (x, y), without alpha.
  std::uint32_t Pixel(int x, int y) {
    auto* r = xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1,
                                                   ~0u), nullptr);
    std::uint32_t v = 0;
    if (r && xcb_get_image_data_length(r) >= 4) std::memcpy(&v, xcb_get_image_data(r), 4);
    free(r);
    return v & 0xFFFFFF;
  }
};

Stage& TheStage() {
  static Stage s;
  return s;
}

// Peak resident memory of a process in KiB (VmHWM).
long PeakKiB(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(f, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

void BM_WorkbenchStartsToItsFirstPaintedFrame(benchmark::State& state) {
  Stage& s = TheStage();
  if (!s.error.empty()) {
    state.SkipWithError(s.error.c_str());
    return;
  }
  // The frame (709 x 388) stands in the screen's centre; the middle of its
  // client area is the MDI client's workspace.
  const int x = (s.width - 709) / 2 + 400, y = (s.height - 388) / 2 + 200;
  constexpr std::uint32_t kWorkspace = 0x808080;
  double peak = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    pvtest::Child p = pvtest::Spawn({(s.dir / "bin" / "penvro").string()});
    if (p.pid <= 0) {
      state.SkipWithError("cannot start the program");
      return;
    }
    bool painted = false;
    // looked at every millisecond, leaving the display server free for the program
    while (!painted && Clock::now() - start < std::chrono::seconds(20)) {
      painted = s.Pixel(x, y) == kWorkspace;
      if (!painted) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    peak = std::max(peak, double(PeakKiB(p.pid)));
    kill(p.pid, SIGKILL);
    pvtest::Reap(p.pid, 5000);
    close(p.out);
    if (!painted) {
      state.SkipWithError("the frame was never painted");
      return;
    }
    state.SetIterationTime(seconds);
    // the screen is black again before the next start
    while (s.Pixel(x, y) == kWorkspace && Clock::now() - start < std::chrono::seconds(25))
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  state.counters["peak_MiB"] = peak / 1024.0;
}
BENCHMARK(BM_WorkbenchStartsToItsFirstPaintedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// vim with no settings starting empty in a 80 x 24 terminal, to the screen of
// its empty buffer (the "~" of its first empty line).
void BM_EditorStartsEmpty(benchmark::State& state) {
  if (!pvtest::OnPath("vim")) {
    state.SkipWithError("vim is not installed");
    return;
  }
  for (auto _ : state) {
    struct winsize ws{};
    ws.ws_row = 24;
    ws.ws_col = 80;
    int master = -1;
    const auto start = Clock::now();
    pid_t pid = forkpty(&master, nullptr, nullptr, &ws);
    if (pid == 0) {
      setenv("TERM", "xterm", 1);
      execlp("vim", "vim", "-u", "NONE", "-N", "-n", "-i", "NONE", static_cast<char*>(nullptr));
      _exit(127);
    }
    std::string screen;
    bool shown = false;
    while (!shown && Clock::now() - start < std::chrono::seconds(10)) {
      pollfd pfd{master, POLLIN, 0};
      if (poll(&pfd, 1, 10) <= 0) continue;
      char buf[4096];
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) break;
      screen.append(buf, std::size_t(n));
      shown = screen.find('~') != std::string::npos;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    kill(pid, SIGKILL);
    pvtest::Reap(pid, 5000);
    close(master);
    if (!shown) {
      state.SkipWithError("vim showed no screen");
      return;
    }
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(BM_EditorStartsEmpty)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
