// Benchmarks of the regular-expression engine: the cases that a matcher
// rescanning from every start, or an eager automaton, would make slow.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "regex/kit.h"
#include "regex/match.h"
#include "text/literal.h"

namespace parvane {
namespace {

void BM_ReplaceAllNoMatchLongLine(benchmark::State& state) {
  const std::string line(64000, 'a');
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAll("a*b", false, "X", copy));
  }
}
BENCHMARK(BM_ReplaceAllNoMatchLongLine)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllEveryCharacter(benchmark::State& state) {
  const std::string line(64000, 'a');
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAll("a", false, "b", copy));
  }
}
BENCHMARK(BM_ReplaceAllEveryCharacter)->Unit(benchmark::kMillisecond);

std::string JapaneseLine() {
  std::string word = Sjis("東京の天気は晴れ、大阪は雨。");
  std::string line;
  while (line.size() < 64000) line += word;
  return line;
}

void BM_ReplaceAllAlternationJapanese(benchmark::State& state) {
  const std::string line = JapaneseLine();
  const std::string pattern = Sjis("の|は");
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAll(pattern, false, "X", copy));
  }
}
BENCHMARK(BM_ReplaceAllAlternationJapanese)->Unit(benchmark::kMillisecond);

void BM_FindLiteralAtTheEnd(benchmark::State& state) {
  std::string line = JapaneseLine() + Sjis("横浜");
  const std::string pattern = Sjis("横浜");
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_FindLiteralAtTheEnd)->Unit(benchmark::kMicrosecond);

void BM_ShortLinesFiveWords(benchmark::State& state) {
  const std::string pattern = Sjis("東京|大阪|京都|名古屋|横浜");
  const std::string line = Sjis("きょうは京都から名古屋まで新幹線で移動した。");
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAll(pattern, false, "X", copy));
  }
}
BENCHMARK(BM_ShortLinesFiveWords);

void BM_ExplodingAutomaton(benchmark::State& state) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < 20; ++i) pattern += "(a|b)";
  std::mt19937 rng(1);
  std::string line;
  for (int i = 0; i < 64000; ++i) line += (rng() & 1) ? 'a' : 'b';
  line += 'c';
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_ExplodingAutomaton)->Unit(benchmark::kMillisecond);

void BM_CompileLargePattern(benchmark::State& state) {
  std::string pattern;
  for (int i = 0; pattern.size() < 990; ++i) pattern += "(." + std::to_string(i % 10) + "|[^x])*";
  TbmRExp re;
  bool flip = false;
  for (auto _ : state) {
    re.SetPattern(pattern);
    flip = !flip;
    re.SetOption(1, flip);  // a changed option forces a fresh compilation
    benchmark::DoNotOptimize(&re.GetDFATable());
  }
}
BENCHMARK(BM_CompileLargePattern)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
