// Replacement and the comma-separated commands on the command's line store.
// On random documents: a command on scattered selected rows gives what it
// gives on a document of those rows alone, put in place of the first of
// them, and a line without a match keeps its bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "commands/csv.h"
#include "commands/find_replace.h"
#include "regex/kit.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Fields with commas, quotes, tabs, numbers (full-width too), blanks, kana
// and ソ (trail byte '\').
Lines RandomLines(std::mt19937& random, std::size_t count) {
  static const Lines pieces = {"a",       "B",      "12",           "-3.5", ",",  "\"", "\t",
                               " ",       "\\",     Sjis("１０"),   Sjis("ア"), Sjis("ソ"),
                               Sjis("か"), Sjis("ｶ"), Sjis("　"),  "x,y"};
  std::uniform_int_distribution<std::size_t> length(0, 6);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  Lines lines(count);
  for (std::string& line : lines) {
    for (std::size_t n = length(random); n > 0; --n) line += pieces[piece(random)];
  }
  return lines;
}

struct Command {
  const char* name;
  Lines params;  // a played step's parameters (code first), or none
  std::function<void(Editor&)> run;
};

std::vector<Command> Commands() {
  auto replace = [](std::string find, std::string with, SearchMode mode, bool match_case) {
    return [=](Editor& editor) { ReplaceInLines(editor, find, with, mode, match_case); };
  };
  return {
      {"replace", {}, replace("a", "<>", SearchMode::kPlain, false)},
      {"replace with nothing", {}, replace(Sjis("ア"), "", SearchMode::kPlain, true)},
      {"regex replace", {}, replace("[0-9]+", "#&#", SearchMode::kRegex, true)},
      {"regex replace, empty matches", {}, replace("x*", "-", SearchMode::kRegex, false)},
      {"extended regex replace", {}, replace("(\\d)(,)", "\\2\\1", SearchMode::kExtendedRegex, true)},
      {"csv sort", {"063", "1"}, SortCsvBySyllabary},
      {"csv sort by length", {"066", "2"}, SortCsvByLength},
      {"csv sort by number", {"075", "0"}, SortCsvByNumber},
      {"csv transpose", {}, TransposeCsv},
      {"csv table", {}, CsvToTextTable},
  };
}

Lines RunOn(const Command& command, const Lines& lines, const std::vector<std::size_t>& rows) {
  ScriptedHost host;
  Editor editor(host);
  editor.doc.SetLines(lines);
  for (std::size_t row : rows) editor.doc.Select(row, true);
  if (!command.params.empty()) {
    editor.step_params = command.params;
    editor.step_params.resize(8, "@all");
  }
  command.run(editor);
  return editor.doc.lines().ToStrings();
}

TEST(SelectedRowsStorePathTest, SelectedRowsGiveWhatTheyGiveAsADocumentOfTheirOwn) {
  std::mt19937 random(73);
  std::bernoulli_distribution pick(0.4);
  for (const Command& command : Commands()) {
    for (int round = 0; round < 6; ++round) {
      const Lines lines = RandomLines(random, 40);
      std::vector<std::size_t> rows;
      Lines selected;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!pick(random)) continue;
        rows.push_back(i);
        selected.push_back(lines[i]);
      }
      if (rows.size() < 2) continue;
      const Lines alone = RunOn(command, selected, {});
      Lines expected(lines.begin(), lines.begin() + static_cast<long>(rows.front()));
      expected.insert(expected.end(), alone.begin(), alone.end());
      for (std::size_t i = rows.front(); i < lines.size(); ++i) {
        if (!std::binary_search(rows.begin(), rows.end(), i)) expected.push_back(lines[i]);
      }
      EXPECT_EQ(RunOn(command, lines, rows), expected) << command.name << " round " << round;
    }
  }
}

TEST(SelectedRowsStorePathTest, ReplacementSharesTheBytesOfUnmatchedLines) {
  std::mt19937 random(62);
  const Lines lines = RandomLines(random, 300);
  ScriptedHost host;
  Editor editor(host);
  editor.doc.SetLines(lines);
  std::vector<const char*> before;
  for (std::string_view line : editor.doc.lines()) before.push_back(line.data());
  ReplaceInLines(editor, "\\\\|1+", "&&", SearchMode::kRegex, false);
  Lines expected = lines;
  for (std::string& line : expected) RegexReplaceAll("\\\\|1+", true, "&&", line);
  ASSERT_EQ(editor.doc.lines().ToStrings(), expected);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (expected[i] == lines[i] && !lines[i].empty()) {
      EXPECT_EQ(editor.doc.line(i).data(), before[i]) << "line " << i << " copied";
    }
  }
}

}  // namespace
}  // namespace parvane
