// Throughput of the adding, comma-separated, editing, file-information and
// find/replace commands on a generated document of one million lines (about
// 100 MB of Shift_JIS comma-separated text), each command run end to end
// through its frame, parameters given as a played step.
//
//   make build TARGET=line_edit_bench && ./build/line_edit_bench
#include <benchmark/benchmark.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "commands/adding.h"
#include "commands/csv.h"
#include "commands/editing.h"
#include "commands/find_replace.h"
#include "commands/view_keys.h"
#include "editor/editor.h"
#include "editor/host.h"
#include "text/literal.h"
#include "quiet_host.h"

namespace parvane {
namespace {

constexpr std::size_t kLines = 1000000;

// Deterministic comma-separated records of Japanese and ASCII fields, some
// starting with numbers, ~100 bytes a line.
const Lines& Corpus() {
  static const Lines corpus = [] {
    Lines words;
    for (const char* w : {"日本語", "文章", "テキスト", "ﾃｷｽﾄ", "さくら", "東京", "大阪", "data",
                          "line", "Parvane", "ファイル", "漢字", "ひらがな", "a b", "\"q\""}) {
      words.push_back(Sjis(w));
    }
    std::mt19937 gen(20240602);
    Lines lines;
    lines.reserve(kLines);
    while (lines.size() < kLines) {
      std::string line = std::to_string(gen() % 100000);
      while (line.size() < 80 + gen() % 40) {
        line += ',';
        line += words[gen() % words.size()];
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

template <typename Command>
void RunCommand(benchmark::State& state, Command command, Lines params = {}) {
  QuietHost host;
  Editor editor(host);
  host.clipboard = JoinLines(Corpus());
  for (auto _ : state) {
    state.PauseTiming();
    editor.doc.SetLines(Corpus());
    editor.step_params = params;
    editor.record_buffer.clear();
    state.ResumeTiming();
    command(editor);
    benchmark::DoNotOptimize(editor.doc.size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * CorpusBytes()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kLines));
}

void FindPlain(Editor& editor) { FindRows(editor, Sjis("東京"), SearchMode::kPlain, false); }
void FindRegex(Editor& editor) { FindRows(editor, Sjis("東京|大阪,d"), SearchMode::kRegex, false); }
void ReplacePlain(Editor& editor) {
  ReplaceInLines(editor, "data", "DATA", SearchMode::kPlain, false);
}
void ReplaceRegex(Editor& editor) {
  ReplaceInLines(editor, Sjis("[東大][京阪]"), "<&>", SearchMode::kRegex, false);
}
void Information(Editor& editor) { benchmark::DoNotOptimize(FileInformation(editor)); }

#define PARVANE_BENCH(name, ...)                                              \
  void BM_##name(benchmark::State& state) { RunCommand(state, __VA_ARGS__); } \
  BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(2)

// Adding and removing text.
PARVANE_BENCH(AddTextAtStart, AddTextAtStart, Lines{"051", "> "});
PARVANE_BENCH(AddTextAtColumn, AddTextAtColumn, Lines{"055", "7", "|"});
PARVANE_BENCH(CutColumnsFromStart, CutColumnsFromStart, Lines{"053", "9"});
PARVANE_BENCH(AddLineNumbers, AddLineNumbers);
PARVANE_BENCH(AlignLeadingNumbers, AlignLeadingNumbers);
PARVANE_BENCH(AddCharacterCounts, AddCharacterCounts);
// Comma-separated data.
PARVANE_BENCH(SortCsvBySyllabary, SortCsvBySyllabary, Lines{"063", "2"});
PARVANE_BENCH(SortCsvByLength, SortCsvByLength, Lines{"066", "2"});
PARVANE_BENCH(CsvToTextTable, CsvToTextTable);
PARVANE_BENCH(CopyForSpreadsheet, CopyForSpreadsheet);
// Editing and the clipboard.
PARVANE_BENCH(CopyRows, CopyRows);
PARVANE_BENCH(PasteRows, PasteRows);
PARVANE_BENCH(InvertRowSelection, InvertRowSelection);
PARVANE_BENCH(FileInformation, Information);
// Find and replace.
PARVANE_BENCH(FindPlain, FindPlain);
PARVANE_BENCH(FindRegex, FindRegex);
PARVANE_BENCH(ReplacePlain, ReplacePlain);
PARVANE_BENCH(ReplaceRegex, ReplaceRegex);

}  // namespace
}  // namespace parvane

BENCHMARK_MAIN();
