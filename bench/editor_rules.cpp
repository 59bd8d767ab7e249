// Scanning every line of a 5 MB CP936 text with a rules set for prose: names as
// keywords, Chinese punctuation as delimiters, quoted speech as a range.
#include <benchmark/benchmark.h>

#include "bench/editor_text_fixture.h"
#include "editor/txteditstringlist.h"
#include "editor/txtrules.h"

namespace {

const char* const kRules =
    "<RuleHighlighter>\n"
    " <Range Name=\"Root\">\n"
    " <Num><Back>536870911</Back><Fore>255</Fore><Style>I</Style></Num>\n"
    " <DelimiterChars>!&qt;#$%&amp;'()*+,-./:;&lt;=&gt;?@[\\]^`{|}~\xA1\xA3</DelimiterChars>\n"
    " <CaseSensitive>False</CaseSensitive>\n"
    " <KW Name=\"People\">\n"
    "  <Attri><Back>536870911</Back><Fore>128</Fore><Style>B</Style></Attri>\n"
    "  <W>\xD5\xC5\xC8\xFD</W>\n"
    "  <W>\xC0\xEE\xCB\xC4</W>\n"
    "  <W>chapter</W>\n"
    " </KW>\n"
    "  <Range Name=\"Speech\">\n"
    "  <Def><Back>536870911</Back><Fore>32768</Fore><Style></Style></Def>\n"
    "  <OpenSymbol>\xA1\xB0</OpenSymbol>\n"
    "  <CloseSymbol>\xA1\xB1</CloseSymbol>\n"
    "  <AnyTerm>True</AnyTerm>\n"
    "  </Range>\n"
    " </Range>\n"
    "</RuleHighlighter>\n";

void BM_ScanAllLines(benchmark::State& state) {
  TTxtEditStringList lines;
  TStringStream s(MakeChineseText(5u << 20));
  lines.LoadFromStream(&s);
  TTxtRules rules(nullptr);
  rules.LoadFromText(kRules);
  std::size_t bytes = 0;
  for (int i = 0; i < lines.Count(); ++i) bytes += lines.Record(i).Text.size();
  for (auto _ : state) {
    long tokens = 0;
    rules.ResetScanState();
    for (int i = 0; i < lines.Count(); ++i) {
      rules.StartLine(lines.Record(i).Text, i);
      while (!rules.AtLineEnd()) {
        ++tokens;
        benchmark::DoNotOptimize(rules.TokenAttribute());
        rules.NextToken();
      }
      lines.SetRangeState(i, rules.ScanState());
    }
    benchmark::DoNotOptimize(tokens);
    state.counters["tokens"] = double(tokens);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_ScanAllLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
