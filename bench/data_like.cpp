// LIKE matching of filter conditions over the names of a node table, against
// a plain iterative matcher (two indexes, back to the last '%', bytes only)
// as the anchor; and an adversarial pattern on growing texts, which must take
// time linear in the text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/uxlike.h"
#include "platform/rtl/strings.h"

namespace {

// 100,000 node names in CP936, as the node tables hold them: scenes
// "第12节 春夏之章", chapters "第三章 …" and a few Latin titles.
const std::vector<AnsiString>& Names() {
  static const std::vector<AnsiString> names = [] {
    static const char* const kWords[] = {"春", "夏", "秋", "冬", "山", "水", "风", "雨", "城", "夜"};
    static const char* const kNumerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    std::vector<AnsiString> r;
    r.reserve(100000);
    for (int i = 1; i <= 100000; ++i) {
      std::string utf8;
      switch (i % 3) {
        case 0: utf8 = std::string("第") + std::to_string(i) + "节 " + kWords[i % 10] + kWords[(i / 10) % 10] + "之章"; break;
        case 1: utf8 = std::string("第") + kNumerals[i % 10] + "章 " + kWords[(i / 7) % 10] + "中的" + kWords[i % 10]; break;
        default: utf8 = "part " + std::to_string(i) + (i % 5 == 0 ? " a big cat" : " the end"); break;
      }
      r.push_back(Utf8ToAnsi(utf8));
    }
    return r;
  }();
  return names;
}

// The anchor: greedy, returning to the last '%'; bytes, no double-byte rules.
bool AnchorLike(const AnsiString& t, const AnsiString& p) {
  std::size_t i = 0, j = 0, star = std::string::npos, mark = 0;
  while (i < t.size()) {
    if (j < p.size() && (p[j] == '_' || p[j] == t[i])) {
      ++i;
      ++j;
    } else if (j < p.size() && p[j] == '%') {
      star = ++j;
      mark = i;
    } else if (star != std::string::npos) {
      j = star;
      i = ++mark;
    } else {
      return false;
    }
  }
  while (j < p.size() && p[j] == '%') ++j;
  return j == p.size();
}

AnsiString Pattern(int Index) {
  switch (Index) {
    case 0: return Utf8ToAnsi("%章%");
    case 1: return Utf8ToAnsi("第_章%");
    case 2: return "%a%b%c";
    default: return "%a%a%a%a%a%b";
  }
}

void BM_Like(benchmark::State& state) {
  const AnsiString pattern = Pattern(static_cast<int>(state.range(0)));
  const auto& names = Names();
  for (auto _ : state) {
    int matches = 0;
    for (const AnsiString& n : names) matches += uxLike(n, pattern);
    benchmark::DoNotOptimize(matches);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}

void BM_Anchor(benchmark::State& state) {
  const AnsiString pattern = Pattern(static_cast<int>(state.range(0)));
  const auto& names = Names();
  for (auto _ : state) {
    int matches = 0;
    for (const AnsiString& n : names) matches += AnchorLike(n, pattern);
    benchmark::DoNotOptimize(matches);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}

// 0 "%章%", 1 "第_章%", 2 "%a%b%c", 3 "%a%a%a%a%a%b" (adversarial)
BENCHMARK(BM_Like)->DenseRange(0, 3);
BENCHMARK(BM_Anchor)->DenseRange(0, 3);

void BM_LikeAdversarial(benchmark::State& state) {
  const AnsiString text(static_cast<std::size_t>(state.range(0)), 'a');
  const AnsiString pattern = Pattern(3);
  for (auto _ : state) benchmark::DoNotOptimize(uxLike(text, pattern));
  state.SetComplexityN(state.range(0));
}

void BM_AnchorAdversarial(benchmark::State& state) {
  const AnsiString text(static_cast<std::size_t>(state.range(0)), 'a');
  const AnsiString pattern = Pattern(3);
  for (auto _ : state) benchmark::DoNotOptimize(AnchorLike(text, pattern));
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_LikeAdversarial)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK(BM_AnchorAdversarial)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

}  // namespace

BENCHMARK_MAIN();
