// Sorting 100,000 mixed CP936 strings (Latin words in mixed case, punctuation,
// digits, hanzi of both GB2312 levels and of the GBK extension) in the
// locale's order with TStringList.Sort, next to std::sort of the same strings
// by their bytes. The run ends with the ratio of the two.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/stringlist.h"

namespace {

constexpr int kCount = 100000;

std::string MakeString(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  const int kind = pick(0, 9);
  if (kind < 4) {  // a Latin word, sometimes capitalised, sometimes with '_' or digits
    if (pick(0, 5) == 0) s += '_';
    const int n = pick(1, 10);
    for (int i = 0; i < n; ++i) s += char((pick(0, 3) == 0 ? 'A' : 'a') + pick(0, 25));
    if (pick(0, 4) == 0) s += std::to_string(pick(0, 999));
    return s;
  }
  const int n = pick(1, 8);
  for (int i = 0; i < n; ++i) {
    const int which = pick(0, 19);
    if (which < 14) {  // GB2312 level 1
      s += char(pick(0xB0, 0xD7));
      s += char(pick(0xA1, 0xF9));
    } else if (which < 17) {  // GB2312 level 2
      s += char(pick(0xD8, 0xF7));
      s += char(pick(0xA1, 0xFE));
    } else if (which < 19) {  // GBK extension
      s += char(pick(0x81, 0xA0));
      int t = pick(0x40, 0xFD);
      s += char(t >= 0x7F ? t + 1 : t);
    } else {  // a Latin letter among the hanzi
      s += char('a' + pick(0, 25));
    }
  }
  return s;
}

const std::vector<std::string>& Strings() {
  static const std::vector<std::string> strings = [] {
    std::mt19937 rng(936);
    std::vector<std::string> v;
    v.reserve(kCount);
    for (int i = 0; i < kCount; ++i) v.push_back(MakeString(rng));
    return v;
  }();
  return strings;
}

void Fill(TStringList& list) {
  list.BeginUpdate();
  for (const std::string& s : Strings()) list.Add(s);
  list.EndUpdate();
}

void BM_StringListSort(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TStringList list;
    list.SetCaseSensitive(state.range(0) != 0);
    Fill(list);
    state.ResumeTiming();
    list.Sort();
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(BM_StringListSort)->ArgName("CaseSensitive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_StdSortBytes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> v = Strings();
    state.ResumeTiming();
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(BM_StdSortBytes)->Unit(benchmark::kMillisecond);

// Prints as usual, then each sort's time over the byte sort's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) FTimes[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto base = FTimes.find("BM_StdSortBytes");
    if (base == FTimes.end() || base->second <= 0) return;
    for (const auto& [name, t] : FTimes)
      if (name != base->first) std::printf("%s / BM_StdSortBytes: %.1fx\n", name.c_str(), t / base->second);
  }

 private:
  std::map<std::string, double> FTimes;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
