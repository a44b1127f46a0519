// Throughput of the sorting, moving and tidying commands on a generated
// Japanese document of one million lines (about 100 MB of Shift_JIS), each
// command run end to end through its frame.
//
//   make build TARGET=commands_bench && ./build/commands_bench
#include <benchmark/benchmark.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "commands/moving.h"
#include "commands/sorting.h"
#include "commands/tidying.h"
#include "editor/editor.h"
#include "editor/host.h"
#include "text/literal.h"
#include "quiet_host.h"

namespace parvane {
namespace {

constexpr std::size_t kLines = 1000000;

Lines ToSjis(const std::vector<std::string>& utf8) {
  Lines out;
  for (const std::string& text : utf8) out.push_back(Sjis(text));
  return out;
}

// Deterministic text: words of kanji, kana, half-width kana and ASCII joined
// by half- and full-width spaces, ~100 bytes a line, with runs of repeated
// and blank lines for the duplicate and blank commands to find.
const Lines& Corpus() {
  static const Lines corpus = [] {
    const Lines words = ToSjis({"日本語", "の", "文章", "を", "行", "ごと", "に", "並べ替える", "テキスト",
                                   "ﾃｷｽﾄ", "さくら", "あさひ", "かわ", "東京", "大阪", "data", "line",
                                   "Parvane", "123", "ファイル", "漢字", "ひらがな", "カタカナ", "=", "、", "。"});
    const Lines spaces{" ", "  ", Sjis("　"), Sjis("　　"), ""};
    std::mt19937 gen(20240601);
    Lines lines;
    lines.reserve(kLines);
    while (lines.size() < kLines) {
      unsigned roll = gen() % 100;
      if (roll < 3) {
        lines.emplace_back();
        continue;
      }
      if (roll < 8 && !lines.empty()) {
        lines.push_back(lines.back());
        continue;
      }
      std::string line = spaces[gen() % spaces.size()];
      while (line.size() < 80 + gen() % 40) {
        line += words[gen() % words.size()];
        line += spaces[gen() % spaces.size()];
      }
      lines.push_back(std::move(line));
    }
    return lines;
  }();
  return corpus;
}

std::size_t CorpusBytes() {
  static const std::size_t bytes = [] {
    std::size_t n = 0;
    for (const std::string& line : Corpus()) n += line.size() + 2;
    return n;
  }();
  return bytes;
}

// Runs command on a fresh copy of the corpus per iteration; select marks the
// rows to select (none: the whole document), params makes it a played step.
template <typename Command>
void RunCommand(benchmark::State& state, Command command, bool (*select)(std::size_t) = nullptr,
                Lines params = {}) {
  QuietHost host;
  Editor editor(host);
  for (auto _ : state) {
    state.PauseTiming();
    editor.doc.SetLines(Corpus());
    if (select != nullptr) {
      for (std::size_t i = 0; i < kLines; ++i) {
        if (select(i)) editor.doc.Select(i, true);
      }
    }
    editor.step_params = params;
    editor.record_buffer.clear();
    state.ResumeTiming();
    command(editor);
    benchmark::DoNotOptimize(editor.doc.size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CorpusBytes()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kLines));
}

bool EveryThirdRow(std::size_t i) { return i % 3 == 1; }

#define PARVANE_BENCH(name, ...)                                          \
  void BM_##name(benchmark::State& state) { RunCommand(state, __VA_ARGS__); } \
  BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(2)

// Sorting and moving.
PARVANE_BENCH(SortBySyllabary, SortBySyllabary);
PARVANE_BENCH(SortByLength, SortByLength);
PARVANE_BENCH(ReverseLines, ReverseLines);
PARVANE_BENCH(ShuffleLines, ShuffleLines);
PARVANE_BENCH(MoveSelectionUp, MoveSelectionUp, EveryThirdRow);
PARVANE_BENCH(MoveSelectionToTop, MoveSelectionToTop, EveryThirdRow);
// Tidying.
PARVANE_BENCH(CollapseDuplicateLines, CollapseDuplicateLines);
PARVANE_BENCH(RemoveDuplicateLines, RemoveDuplicateLines);
PARVANE_BENCH(CollapseBlankLines, CollapseBlankLines);
PARVANE_BENCH(RemoveBlankLines, RemoveBlankLines);
PARVANE_BENCH(CompressSpaces, CompressSpaces);
PARVANE_BENCH(TrimLeadingSpaces, TrimLeadingSpaces);
PARVANE_BENCH(TrimTrailingSpaces, TrimTrailingSpaces);
PARVANE_BENCH(WrapLines, WrapLines, nullptr, Lines{"058", "40"});
PARVANE_BENCH(ReverseEachLine, ReverseEachLine);
PARVANE_BENCH(SwapAroundText, SwapAroundText, nullptr, Lines{"067", Sjis("の")});
PARVANE_BENCH(SwapAroundPattern, SwapAroundPattern, nullptr, Lines{"068", Sjis("[のを]+")});

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
