// Loading a 50 MB CP936 text into the line store, next to splitting the same
// bytes into a vector of lines.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/editor_text_fixture.h"
#include "editor/txteditstringlist.h"

namespace {

const std::string& Text() {
  static const std::string text = MakeChineseText(50u << 20);
  return text;
}

void BM_LineStoreLoad(benchmark::State& state) {
  TStringStream stream(Text());
  for (auto _ : state) {
    TTxtEditStringList lines;
    lines.LoadFromStream(&stream);
    benchmark::DoNotOptimize(lines.Count());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
}
BENCHMARK(BM_LineStoreLoad)->Unit(benchmark::kMillisecond);

void BM_SplitIntoVector(benchmark::State& state) {
  const std::string& text = Text();
  for (auto _ : state) {
    const std::vector<std::string> lines = SplitLines(text);
    benchmark::DoNotOptimize(lines.size());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_SplitIntoVector)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
