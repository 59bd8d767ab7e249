// The plain search engine over a 5 MB CP936 text, next to std::string::find of
// the same pattern over the same bytes in the same run: once over the whole
// text as one line, and once line by line as the editor's search calls it.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/editor_text_fixture.h"
#include "editor/txteditsearch.h"

namespace {

const std::string& Text() {
  static const std::string text = MakeChineseText(5u << 20);
  return text;
}

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = SplitLines(Text());
  return lines;
}

struct Pattern {
  const char* text;
  const char* label;
  bool matchCase;
};
const Pattern kPatterns[] = {
    {"\xC0\xEE\xCB\xC4\xA3\xAC", "chinese", false},
    {"\xA1\xA3", "chinese punctuation", false},
    {"chapter12", "latin ignoring case", false},
    {"chapter12", "latin with case", true},
};

TTxtSearchFlags FlagsOf(const Pattern& p) {
  TTxtSearchFlags f;
  if (p.matchCase) f << sfMatchCase;
  return f;
}

// Non-overlapping occurrences, as the engine reports them.
long StdFindAll(const std::string& text, const std::string& pattern) {
  long hits = 0;
  for (std::size_t p = text.find(pattern); p != std::string::npos; p = text.find(pattern, p + pattern.size())) ++hits;
  return hits;
}

void BM_PlainSearchWholeText(benchmark::State& state) {
  const Pattern& pat = kPatterns[state.range(0)];
  TTxtEditSearch engine(nullptr);
  engine.SetSearchOptions(FlagsOf(pat));
  engine.SetFindText(pat.text);
  for (auto _ : state) state.counters["matches"] = engine.FindInText(Text());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
  state.SetLabel(pat.label);
}
BENCHMARK(BM_PlainSearchWholeText)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_StdFindWholeText(benchmark::State& state) {
  const Pattern& pat = kPatterns[state.range(0)];
  const std::string pattern = pat.text;
  for (auto _ : state) state.counters["matches"] = double(StdFindAll(Text(), pattern));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
  state.SetLabel(pat.label);
}
BENCHMARK(BM_StdFindWholeText)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_PlainSearchLines(benchmark::State& state) {
  const Pattern& pat = kPatterns[state.range(0)];
  TTxtEditSearch engine(nullptr);
  engine.SetSearchOptions(FlagsOf(pat));
  engine.SetFindText(pat.text);
  for (auto _ : state) {
    long hits = 0;
    for (const std::string& line : Lines()) hits += engine.FindInText(line);
    state.counters["matches"] = double(hits);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
  state.SetLabel(pat.label);
}
BENCHMARK(BM_PlainSearchLines)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_StdFindLines(benchmark::State& state) {
  const Pattern& pat = kPatterns[state.range(0)];
  const std::string pattern = pat.text;
  for (auto _ : state) {
    long hits = 0;
    for (const std::string& line : Lines()) hits += StdFindAll(line, pattern);
    state.counters["matches"] = double(hits);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
  state.SetLabel(pat.label);
}
BENCHMARK(BM_StdFindLines)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
