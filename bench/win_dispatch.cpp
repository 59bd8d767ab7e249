// Window manager speed: SendMessage dispatch, and a full repaint of a
// 1920x1080 top-level window with 200 child windows.
#include <benchmark/benchmark.h>
#include "platform/win/system.h"
#include "platform/win/winuser.h"

namespace {

LRESULT CountProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return LRESULT(w + 1);
  return DefWindowProcA(h, m, w, l);
}

LRESULT PaintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void Register() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXA wc;
  wc.lpfnWndProc = CountProc;
  wc.lpszClassName = "BenchCount";
  RegisterClassExA(&wc);
  WNDCLASSEXA pc;
  pc.lpfnWndProc = PaintProc;
  pc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
  pc.lpszClassName = "BenchPaint";
  RegisterClassExA(&pc);
  // children paint every pixel themselves, so their class has no background brush
  WNDCLASSEXA cc;
  cc.lpfnWndProc = PaintProc;
  cc.lpszClassName = "BenchChild";
  RegisterClassExA(&cc);
}

void BM_SendMessage(benchmark::State& state) {
  Register();
  HWND h = CreateWindowExA(0, "BenchCount", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  WPARAM v = 0;
  for (auto _ : state) {
    v = WPARAM(SendMessageA(h, WM_USER, v, 0));
    benchmark::DoNotOptimize(v);
  }
  state.SetItemsProcessed(state.iterations());
  DestroyWindow(h);
}
BENCHMARK(BM_SendMessage);

void BM_SendMessageWithHook(benchmark::State& state) {
  Register();
  HWND h = CreateWindowExA(0, "BenchCount", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  static HHOOK hook;
  hook = SetWindowsHookExA(WH_CALLWNDPROC, [](int c, WPARAM w, LPARAM l) { return CallNextHookEx(hook, c, w, l); },
                           nullptr, 0);
  WPARAM v = 0;
  for (auto _ : state) {
    v = WPARAM(SendMessageA(h, WM_USER, v, 0));
    benchmark::DoNotOptimize(v);
  }
  state.SetItemsProcessed(state.iterations());
  UnhookWindowsHookEx(hook);
  DestroyWindow(h);
}
BENCHMARK(BM_SendMessageWithHook);

void BM_FullRepaint200Children(benchmark::State& state) {
  Register();
  HWND top = CreateWindowExA(0, "BenchPaint", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1920, 1080,
                             nullptr, nullptr, nullptr, nullptr);
  // 20 x 10 cells of 96 x 108 pixels, each child 90 x 100
  for (int i = 0; i < 200; ++i) {
    int cx = i % 20, cy = i / 20;
    CreateWindowExA(0, "BenchChild", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, cx * 96 + 3, cy * 108 + 4, 90, 100,
                    top, nullptr, nullptr, nullptr);
  }
  PvProcessMessages();
  for (auto _ : state) {
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  state.SetItemsProcessed(state.iterations());
  DestroyWindow(top);
}
BENCHMARK(BM_FullRepaint200Children)->Unit(benchmark::kMillisecond);

// The same through the message loop: WM_PAINT produced on demand by the queue.
void BM_FullRepaintThroughQueue(benchmark::State& state) {
  Register();
  HWND top = CreateWindowExA(0, "BenchPaint", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1920, 1080,
                             nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 200; ++i) {
    int cx = i % 20, cy = i / 20;
    CreateWindowExA(0, "BenchChild", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, cx * 96 + 3, cy * 108 + 4, 90, 100,
                    top, nullptr, nullptr, nullptr);
  }
  PvProcessMessages();
  for (auto _ : state) {
    InvalidateRect(top, nullptr, TRUE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    PvProcessMessages();
  }
  state.SetItemsProcessed(state.iterations());
  DestroyWindow(top);
}
BENCHMARK(BM_FullRepaintThroughQueue)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
