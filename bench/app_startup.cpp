// Start-up of the workbench as a whole process: from starting the program
// (installed in a temporary folder, with the shipped library) to the first
// painted frame on the X display (a virtual one when the environment names
// none), seen as the frame's MDI client area turning its workspace grey; the
// peak resident memory at that moment is reported. Next to it, in the same run,
// a plain desktop text editor starting empty to its first painted window.
#include <benchmark/benchmark.h>
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

// A plain desktop text editor (SciTE) started empty on the same display, to its
// first painted window: its top-level window (found by _NET_WM_PID) viewable and
// the middle of it no longer the black of the bare screen. Its peak resident
// memory at that moment is reported beside the workbench's.
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
  xcb_atom_t a = r ? r->atom : 0;
  free(r);
  return a;
}

// The centre, in screen coordinates, of a viewable top-level window of `pid`.
bool WindowOf(Stage& s, pid_t pid, int* cx, int* cy) {
  static const xcb_atom_t kPid = Atom(s.c, "_NET_WM_PID");
  auto* tree = xcb_query_tree_reply(s.c, xcb_query_tree(s.c, s.root), nullptr);
  if (!tree) return false;
  bool found = false;
  xcb_window_t* kids = xcb_query_tree_children(tree);
  for (int i = 0, n = xcb_query_tree_children_length(tree); i < n && !found; ++i) {
    auto* attr = xcb_get_window_attributes_reply(s.c, xcb_get_window_attributes(s.c, kids[i]), nullptr);
    const bool viewable = attr && attr->map_state == XCB_MAP_STATE_VIEWABLE;
    free(attr);
    if (!viewable) continue;
    auto* prop = xcb_get_property_reply(s.c, xcb_get_property(s.c, 0, kids[i], kPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    if (prop && xcb_get_property_value_length(prop) == 4 &&
        *static_cast<std::uint32_t*>(xcb_get_property_value(prop)) == std::uint32_t(pid)) {
      auto* g = xcb_get_geometry_reply(s.c, xcb_get_geometry(s.c, kids[i]), nullptr);
      if (g && g->width > 20 && g->height > 20) {
        *cx = g->x + g->width / 2;
        *cy = g->y + g->height / 2;
        found = true;
      }
      free(g);
    }
    free(prop);
  }
  free(tree);
  return found;
}

void BM_TextEditorStartsToItsFirstPaintedWindow(benchmark::State& state) {
  Stage& s = TheStage();
  if (!s.error.empty()) {
    state.SkipWithError(s.error.c_str());
    return;
  }
  if (!pvtest::OnPath("scite")) {
    state.SkipWithError("scite is not installed (apt-get install scite)");
    return;
  }
  double peak = 0;
  const std::string home = (s.dir / "home").string();
  fs::create_directories(home);
  for (auto _ : state) {
    const auto start = Clock::now();
    // its own empty home, so that no session or recent files of the user load
    pvtest::Child p = pvtest::Spawn({"scite"}, nullptr, {"HOME=" + home});
    if (p.pid <= 0) {
      state.SkipWithError("cannot start scite");
      return;
    }
    bool painted = false;
    int x = 0, y = 0;
    while (!painted && Clock::now() - start < std::chrono::seconds(20)) {
      painted = WindowOf(s, p.pid, &x, &y) && s.Pixel(x, y) != 0;
      if (!painted) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    peak = std::max(peak, double(PeakKiB(p.pid)));
    kill(p.pid, SIGKILL);
    pvtest::Reap(p.pid, 5000);
    close(p.out);
    if (!painted) {
      state.SkipWithError("scite never painted its window");
      return;
    }
    state.SetIterationTime(seconds);
    while (s.Pixel(x, y) != 0 && Clock::now() - start < std::chrono::seconds(25))
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  state.counters["peak_MiB"] = peak / 1024.0;
}
BENCHMARK(BM_TextEditorStartsToItsFirstPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
