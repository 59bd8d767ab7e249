// Drawing-layer speed: a full-HD SRCCOPY blit against memcpy of the same
// bytes, a full-surface FillRect, and drawing cached CJK glyphs.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

constexpr int kW = 1920, kH = 1080;

struct Image {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  void* bits = nullptr;
  Image() {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = kW;
    bi.bmiHeader.biHeight = -kH;
    bi.bmiHeader.biBitCount = 32;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
    std::memset(bits, 0x5A, std::size_t(kW) * kH * 4);
  }
  ~Image() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
};

void BM_Memcpy1080p(benchmark::State& state) {
  std::vector<std::uint32_t> a(std::size_t(kW) * kH, 1), b(std::size_t(kW) * kH, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(a.size()) * 4);
}
BENCHMARK(BM_Memcpy1080p);

void BM_BitBltSrcCopy1080p(benchmark::State& state) {
  Image src, dst;
  for (auto _ : state) {
    BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(dst.bits);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(kW) * kH * 4);
}
BENCHMARK(BM_BitBltSrcCopy1080p);

void BM_FillRect1080p(benchmark::State& state) {
  Image dst;
  HBRUSH br = CreateSolidBrush(RGB(10, 20, 30));
  RECT rc{0, 0, kW, kH};
  for (auto _ : state) {
    FillRect(dst.dc, &rc, br);
    benchmark::DoNotOptimize(dst.bits);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(kW) * kH * 4);
  DeleteObject(br);
}
BENCHMARK(BM_FillRect1080p);

// 10,000 glyphs per iteration: 100 lines of 100 CJK characters from a warm cache.
void BM_CachedCjkGlyphs(benchmark::State& state) {
  Image dst;
  LOGFONTA lf;
  lf.lfHeight = -12;
  lf.lfCharSet = GB2312_CHARSET;
  std::strcpy(lf.lfFaceName, "\xCB\xCE\xCC\xE5");  // 宋体
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dst.dc, font);
  SetBkMode(dst.dc, TRANSPARENT);
  std::string line;
  for (int i = 0; i < 100; ++i) {  // GB2312 level-1 characters B0A1..
    line += char(0xB0 + (i / 94) * 1);
    line += char(0xA1 + i % 94);
  }
  for (int y = 0; y < 100; ++y) TextOutA(dst.dc, 0, (y % 60) * 18, line.c_str(), int(line.size()));  // warm up
  for (auto _ : state) {
    for (int y = 0; y < 100; ++y) TextOutA(dst.dc, 0, (y % 60) * 18, line.c_str(), int(line.size()));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  SelectObject(dst.dc, old);
  DeleteObject(font);
}
BENCHMARK(BM_CachedCjkGlyphs);

}  // namespace

BENCHMARK_MAIN();
