// A regular-expression search over every line of a 5 MB CP936 text with
// TRegExpr, next to std::regex_search of the same pattern in the same run.
#include <benchmark/benchmark.h>

#include <regex>
#include <vector>

#include "bench/editor_text_fixture.h"
#include "editor/regexpr.h"

namespace {

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = SplitLines(MakeChineseText(5u << 20));
  return lines;
}

const char* const kPatterns[] = {"[a-z]+[0-9]+", "\xC0\xEE\xCB\xC4\xA3\xAC", "(\\d+) "};

void BM_TRegExpr(benchmark::State& state) {
  TRegExpr re;
  re.SetExpression(kPatterns[state.range(0)]);
  for (auto _ : state) {
    long hits = 0;
    for (const std::string& line : Lines()) {
      if (!re.Exec(line)) continue;
      do ++hits;
      while (re.ExecNext());
    }
    state.counters["matches"] = double(hits);
  }
  state.SetLabel(kPatterns[state.range(0)][0] == '\xC0' ? "chinese literal" : kPatterns[state.range(0)]);
}
BENCHMARK(BM_TRegExpr)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_StdRegexSearch(benchmark::State& state) {
  std::regex re(kPatterns[state.range(0)]);
  for (auto _ : state) {
    long hits = 0;
    for (const std::string& line : Lines()) {
      for (auto it = std::sregex_iterator(line.begin(), line.end(), re); it != std::sregex_iterator(); ++it) ++hits;
    }
    state.counters["matches"] = double(hits);
  }
  state.SetLabel(kPatterns[state.range(0)][0] == '\xC0' ? "chinese literal" : kPatterns[state.range(0)]);
}
BENCHMARK(BM_StdRegexSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
