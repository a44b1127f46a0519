// Benchmarks of the regular-expression engine: the cases that a matcher
// rescanning from every start, or an eager automaton, would make slow.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

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

// Text of few distinct characters, so a long pattern taken from the same
// source keeps meeting partial matches in the line.
std::string RepetitiveJapanese(std::mt19937& rng, std::size_t bytes) {
  static const std::vector<std::string> pieces = {Sjis("あ"), Sjis("い"), Sjis("う"), Sjis("表"), "a", "b"};
  std::string out;
  while (out.size() < bytes) out += pieces[rng() % pieces.size()];
  return out;
}

// A literal of range(0) bytes over a 64 KB line that holds its first
// half-kilobyte again and again, and the whole literal nowhere.
void BM_LongLiteral(benchmark::State& state) {
  std::mt19937 rng(7);
  const std::string pattern = RepetitiveJapanese(rng, static_cast<std::size_t>(state.range(0)));
  std::string line;
  while (line.size() < 64000) line += RepetitiveJapanese(rng, 200) + pattern.substr(0, 512);
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongLiteral)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A literal of range(0) bytes that the 64 KB line ends with.
void BM_LongLiteralAtTheEnd(benchmark::State& state) {
  std::mt19937 rng(7);
  const std::string pattern = RepetitiveJapanese(rng, static_cast<std::size_t>(state.range(0)));
  std::string line = RepetitiveJapanese(rng, 64000 - pattern.size()) + pattern;
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongLiteralAtTheEnd)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A literal of range(0) bytes over a 64 KB line that is its beginning (or
// itself repeated): every character extends a partial match.
void BM_LongLiteralPrefixLine(benchmark::State& state) {
  std::mt19937 rng(7);
  std::string pattern = RepetitiveJapanese(rng, static_cast<std::size_t>(state.range(0)));
  std::string line;
  while (line.size() < 64000) line += pattern;
  line.resize(64000);
  if ((line.size() & 1) == 0 && pattern.size() > line.size()) line += "x";
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongLiteralPrefixLine)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A run of one letter over a line of the same letter.
void BM_LongLiteralOneLetter(benchmark::State& state) {
  const std::string pattern(static_cast<std::size_t>(state.range(0)), 'a');
  const std::string line(64000, 'a');
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongLiteralOneLetter)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A run of one letter with a dot in it, over a line of that letter: the
// automata's states are large sets of positions.
void BM_LongPatternOneLetterWithDot(benchmark::State& state) {
  std::string pattern(static_cast<std::size_t>(state.range(0)), 'a');
  pattern[pattern.size() / 2] = '.';
  const std::string line(64000, 'a');
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongPatternOneLetterWithDot)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A run of one letter with `b*` in the middle, replaced over a line of that
// letter: the bit vectors' route. The same pattern in parentheses takes the
// automata, for where the route begins to pay (BitParallelSearch::kMinItems).
void LongPatternOneLetterWithStar(benchmark::State& state, bool grouped) {
  const auto half = static_cast<std::size_t>(state.range(0)) / 2;
  std::string pattern = std::string(half, 'a') + "b*" + std::string(half - 1, 'a');
  if (grouped) pattern = "(" + pattern + ")";
  const std::string line(64000, 'a');
  for (auto _ : state) {
    std::string replaced = line;
    benchmark::DoNotOptimize(RegexReplaceAll(pattern, false, "X", replaced));
  }
}
void BM_LongPatternOneLetterWithStar(benchmark::State& state) { LongPatternOneLetterWithStar(state, false); }
void BM_LongPatternOneLetterWithStarAutomata(benchmark::State& state) {
  LongPatternOneLetterWithStar(state, true);
}
BENCHMARK(BM_LongPatternOneLetterWithStar)->Arg(256)->Arg(1000)->Arg(4000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongPatternOneLetterWithStarAutomata)->Arg(256)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

// Letters and classes of two letters with one `b*`, over a line of what the
// pattern reads with a letter changed here and there: the automata's states
// are many different large sets.
void LongPatternClassesWithStar(benchmark::State& state, bool grouped) {
  std::mt19937 rng(11);
  const auto items = static_cast<std::size_t>(state.range(0));
  std::vector<std::string> row;
  for (std::size_t i = 0; i < items; ++i) {
    row.push_back(i == items / 2 ? "b*" : rng() % 3 == 0 ? "[ab]" : rng() % 2 == 0 ? "a" : "b");
  }
  std::string pattern;
  for (const std::string& item : row) pattern += item;
  if (grouped) pattern = "(" + pattern + ")";
  // Near-matches: what the row reads, one letter in fifty changed.
  std::string line;
  while (line.size() < 64000) {
    for (const std::string& item : row) {
      if (item == "b*") continue;
      char c = item.size() == 1 ? item[0] : "ab"[rng() % 2];
      if (rng() % 50 == 0) c = c == 'a' ? 'b' : 'a';
      line += c;
    }
  }
  for (auto _ : state) {
    std::string replaced = line;
    benchmark::DoNotOptimize(RegexReplaceAll(pattern, false, "X", replaced));
  }
}
void BM_LongPatternClassesWithStar(benchmark::State& state) { LongPatternClassesWithStar(state, false); }
void BM_LongPatternClassesWithStarAutomata(benchmark::State& state) { LongPatternClassesWithStar(state, true); }
BENCHMARK(BM_LongPatternClassesWithStar)->Arg(256)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongPatternClassesWithStarAutomata)->Arg(256)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

// The same with one dot in the middle: no longer a literal, so the
// automata run.
void BM_LongPatternWithDot(benchmark::State& state) {
  std::mt19937 rng(7);
  std::string pattern = RepetitiveJapanese(rng, static_cast<std::size_t>(state.range(0)));
  std::string line;
  while (line.size() < 64000) line += RepetitiveJapanese(rng, 200) + pattern.substr(0, 512);
  pattern = pattern.substr(0, 100) + "." + pattern.substr(100);
  int position = 0;
  int length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RegexFind(pattern, false, line, &position, &length));
}
BENCHMARK(BM_LongPatternWithDot)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Groups of the extended syntax: many short matches, and one match the
// whole 64 KB long, whose groups the second pass places.
void BM_ExtendedGroupsManyMatches(benchmark::State& state) {
  std::string line;
  while (line.size() < 64000) line += Sjis("東京,大阪 ");
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAllExtended("(\\w+),(\\w+)", false, "\\2,\\1", copy));
  }
}
BENCHMARK(BM_ExtendedGroupsManyMatches)->Unit(benchmark::kMillisecond);

void BM_ExtendedGroupsOneLongMatch(benchmark::State& state) {
  std::string line = JapaneseLine();
  line.insert(line.size() / 2, ",");
  for (auto _ : state) {
    std::string copy = line;
    benchmark::DoNotOptimize(RegexReplaceAllExtended("(.*),((?:[^,]|x)*)", false, "\\2,\\1", copy));
  }
}
BENCHMARK(BM_ExtendedGroupsOneLongMatch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
