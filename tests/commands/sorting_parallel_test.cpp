// The sorts that run on every core against the one-thread order they
// replace, on documents large enough to be cut into chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "automation/run_command.h"
#include "commands/sorting.h"
#include "editor/editor.h"
#include "support/reference_collation.h"
#include "support/scripted_host.h"
#include "text/collation.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Many ties (letter case, repeats, empty lines) and kana, kanji and
// half-width katakana whose byte order is not their collation order.
Lines RandomDocument(std::mt19937& gen, std::size_t count) {
  static const Lines kPieces =
      SjisLines({"a", "A", "b", "あ", "ア", "か", "ｶ", "漢", "字", "ー", " ", "1", ""});
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1), length(0, 5);
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) {
    std::string line;
    for (std::size_t k = length(gen); k > 0; --k) line += kPieces[piece(gen)];
    lines.push_back(line);
  }
  return lines;
}

// The order as one thread computed it: a key per line, std::stable_sort.
Lines SortedOnOneThread(const Lines& lines) {
  JapaneseCollator collator;
  return StableSortedBy(lines, [&collator](const std::string& line) { return collator.SortKey(line); });
}

TEST(ParallelSortingTest, SyllabaryOrderMatchesTheOneThreadOrder) {
  std::mt19937 gen(31);
  for (std::size_t count : {9000u, 20001u}) {
    Lines lines = RandomDocument(gen, count);
    const Lines expected = SortedOnOneThread(lines);
    SortLinesByCollation(lines);
    ASSERT_EQ(lines, expected) << count;
  }
}

TEST(ParallelSortingTest, LengthOrderMatchesStableSortByLength) {
  std::mt19937 gen(32);
  ScriptedHost host;
  Editor editor{host};
  Lines lines = RandomDocument(gen, 30000);
  Lines expected = lines;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  editor.doc.SetLines(lines);
  RunOperation(editor, SortByLength);
  EXPECT_EQ(editor.doc.lines(), expected);
}

}  // namespace
}  // namespace parvane
