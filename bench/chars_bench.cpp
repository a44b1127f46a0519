// Throughput of the character-kind commands (width, kana, case, romaji,
// conversion table, encoders) on a generated Japanese document of about
// 10 MB of Shift_JIS, each command run end to end through its frame.
//
//   make build TARGET=chars_bench && ./build/chars_bench
#include <benchmark/benchmark.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "chars/conversion_table.h"
#include "chars/encoders.h"
#include "chars/kind_classes.h"
#include "chars/kind_lines.h"
#include "chars/romaji.h"
#include "editor/editor.h"
#include "editor/host.h"
#include "text/literal.h"
#include "quiet_host.h"

namespace parvane {
namespace {

constexpr std::size_t kLines = 100000;  // about 10 MB

// Deterministic lines mixing kanji, hiragana, katakana (voiced too),
// half-width katakana, full-width and ASCII letters, digits and romaji.
const Lines& Corpus() {
  static const Lines lines = [] {
    const std::vector<std::string> words = {
        Sjis("日本語"), Sjis("ひらがな"), Sjis("カタカナ"),    Sjis("ガッコウ"), Sjis("ｶﾞｯｺｳ"),
        Sjis("ﾊﾟｿｺﾝ"),  Sjis("ＡＢＣ"),   Sjis("１２３"),      Sjis("、"),       Sjis("シンブン"),
        "konnichiha",   "data",           "Parvane",           "2024",           " ",
        Sjis("　"),     "C:\\tmp",        Sjis("チョコレート")};
    std::mt19937 random(42);
    Lines out;
    out.reserve(kLines);
    for (std::size_t i = 0; i < kLines; ++i) {
      std::string line;
      while (line.size() < 80 + random() % 40) line += words[random() % words.size()];
      out.push_back(std::move(line));
    }
    return out;
  }();
  return lines;
}

std::size_t CorpusBytes() {
  std::size_t bytes = 0;
  for (const auto& line : Corpus()) bytes += line.size() + 2;
  return bytes;
}

void RunCommand(benchmark::State& state, void (*command)(Editor&)) {
  QuietHost host;
  Editor editor(host);
  for (auto _ : state) {
    state.PauseTiming();
    editor.doc.SetLines(Corpus());
    state.ResumeTiming();
    command(editor);
    benchmark::DoNotOptimize(editor.doc.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}

BENCHMARK_CAPTURE(RunCommand, HalfWidth_011, ConvertToHalfWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, FullWidth_012, ConvertToFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, Katakana_027, HiraganaToKatakana)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, Hiragana_028, KatakanaToHiragana)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, LowerCase_033, ConvertToLowerCase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, KatakanaToHalf_020, KatakanaToHalfWidth)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, KatakanaToFull_024, KatakanaToFullWidth)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, SwapWidth_025, SwapWidth)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, Hepburn_030, KatakanaToHepburn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, RomajiToKatakana_029, RomajiToKatakana)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, HttpEscape, EncodeHttpEscape)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCommand, Base64, EncodeBase64)->Unit(benchmark::kMillisecond);

// Ten rules over the whole document: one pass per rule.
void ConversionTable10Rules(benchmark::State& state) {
  const Lines table = {"data=DATA",   Sjis("日本=ニホン"), "a=b",     "b=c",   "x=",
                       Sjis("カ=か"), "2024=2025",         "no rule", "C:=D:", Sjis("ガ=が")};
  for (auto _ : state) {
    state.PauseTiming();
    LineStore lines = LineStore::FromStrings(Corpus());
    state.ResumeTiming();
    ApplyConversionTable(table, lines);
    benchmark::DoNotOptimize(lines.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(ConversionTable10Rules)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
