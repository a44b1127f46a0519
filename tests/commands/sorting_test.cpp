#include "commands/sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

#include "automation/run_command.h"
#include "commands/moving.h"
#include "commands/random.h"
#include "line_commands_fixture.h"
#include "text/collation.h"

namespace parvane {
namespace {

using SortingTest = LineCommandsTest;
using MovingTest = LineCommandsTest;

// Random lines over letters that collate equal under case folding, kana of
// both kinds and a two-byte character, so ties and non-byte order both occur.
Lines RandomLines(std::mt19937& gen, std::size_t count) {
  static const Lines kPieces = SjisLines({"a", "A", "b", "B", "あ", "ア", "か", "ｶ", "漢", " ", ""});
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1), length(0, 4);
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) {
    std::string line;
    for (std::size_t k = length(gen); k > 0; --k) line += kPieces[piece(gen)];
    lines.push_back(line);
  }
  return lines;
}

TEST_F(SortingTest, SyllabaryOrderIgnoresCaseAndKeepsTiesInOrder) {
  Load({"b", "A", "a"});
  RunOperation(editor, SortBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"A", "a", "b"}));
  Load({"a", "b", "A"});
  RunOperation(editor, SortBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"a", "A", "b"}));
  Load({"さくら", "あさひ", "かわ"});
  RunOperation(editor, SortBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"あさひ", "かわ", "さくら"}));
  EXPECT_EQ(host.busy_messages.back(), "五十音順に並べ替えています…");
}

TEST_F(SortingTest, SyllabaryOrderMatchesStableSortByComparison) {
  // The slow, obviously right order: compare whole lines through the
  // collator inside a stable sort.
  std::mt19937 gen(7);
  JapaneseCollator collator;
  for (int round = 0; round < 20; ++round) {
    Lines lines = RandomLines(gen, 60);
    Lines expected = lines;
    std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
      return collator.Compare(a, b) < 0;
    });
    SortLinesByCollation(lines);
    ASSERT_EQ(lines, expected);
  }
}

TEST_F(SortingTest, LengthOrderIsByBytesThenFormerPosition) {
  Load({"ccc", "a", "bb", "d"});
  RunOperation(editor, SortByLength);
  EXPECT_EQ(Text(), (Utf8{"a", "d", "bb", "ccc"}));
  Load({"あ", "abc", "c", "xy"});
  RunOperation(editor, SortByLength);
  EXPECT_EQ(Text(), (Utf8{"c", "あ", "xy", "abc"}));
  Load({"", "", ""});
  RunOperation(editor, SortByLength);
  EXPECT_EQ(Text(), (Utf8{"", "", ""}));

  std::mt19937 gen(11);
  Lines lines = RandomLines(gen, 500);
  Lines expected = lines;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  LoadBytes(lines);
  RunOperation(editor, SortByLength);
  EXPECT_EQ(editor.doc.lines(), expected);
}

TEST_F(SortingTest, ReverseTwiceIsIdentity) {
  std::mt19937 gen(3);
  Lines lines = RandomLines(gen, 101);
  LoadBytes(lines);
  RunOperation(editor, ReverseLines);
  Lines reversed(lines.rbegin(), lines.rend());
  EXPECT_EQ(editor.doc.lines(), reversed);
  RunOperation(editor, ReverseLines);
  EXPECT_EQ(editor.doc.lines(), lines);
}

TEST_F(SortingTest, OneLineIsLeftAloneWithoutProgress) {
  Load({"only"});
  RunOperation(editor, ReverseLines);
  RunOperation(editor, ShuffleLines);
  EXPECT_EQ(Text(), (Utf8{"only"}));
  EXPECT_EQ(host.max_percent, -1);
}

TEST_F(SortingTest, ShuffleIsAPermutationAndLeavesTheGeneratorAsInsertionWould) {
  std::mt19937 gen(5);
  Lines lines = RandomLines(gen, 300);
  // The described procedure: insert line i at random(i + 1) of a new list.
  LinearRandom reference(12345);
  Lines inserted;
  for (const std::string& line : lines) {
    inserted.insert(inserted.begin() + reference.Next(static_cast<std::uint32_t>(inserted.size() + 1)), line);
  }
  ProgramRandom().set_seed(12345);
  LoadBytes(lines);
  RunOperation(editor, ShuffleLines);
  EXPECT_EQ(ProgramRandom().seed(), reference.seed());
  Lines shuffled = editor.doc.lines().ToStrings();
  EXPECT_NE(shuffled, lines);
  std::sort(shuffled.begin(), shuffled.end());
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(shuffled, lines);
}

TEST_F(SortingTest, ShuffleDrawsEveryOrderEquallyOften) {
  LinearRandom random(2024);
  std::map<Lines, int> counts;
  constexpr int kRuns = 24000;
  for (int run = 0; run < kRuns; ++run) {
    Lines lines{"1", "2", "3", "4"};
    ShuffleWith(lines, random);
    ++counts[lines];
  }
  ASSERT_EQ(counts.size(), 24u);
  for (const auto& [order, count] : counts) {
    EXPECT_NEAR(count, kRuns / 24, 150) << order[0] << order[1] << order[2] << order[3];
  }
}

TEST_F(SortingTest, ScatteredSelectionLandsAsOneSelectedBlock) {
  Load({"r0", "r1", "z2", "r3", "r4", "a5", "r6"}, {2, 5});
  RunOperation(editor, SortBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"r0", "r1", "a5", "z2", "r3", "r4", "r6"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{2, 3}));
}

TEST_F(SortingTest, WholeDocumentFallbackFollowsTheSelectionStyle) {
  // Extended style: one selected row means the whole document.
  Load({"c", "b", "a"}, {1});
  RunOperation(editor, SortBySyllabary);
  EXPECT_EQ(Text(), (Utf8{"a", "b", "c"}));
  // Standard style: one selected row is that row alone.
  editor.selection_style = SelectionStyle::kStandard;
  Load({"c", "b", "a"}, {0});
  RunOperation(editor, ReverseLines);
  EXPECT_EQ(Text(), (Utf8{"c", "b", "a"}));
  Load({"c", "b", "a"});
  RunOperation(editor, ReverseLines);
  EXPECT_EQ(Text(), (Utf8{"a", "b", "c"}));
}

TEST_F(SortingTest, JoinConcatenatesAndDropsAnEmptyResult) {
  Load({"ab", "", "cd"});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"abcd"}));
  EXPECT_EQ(host.busy_messages.back(), "選択項目を一行に結合しています...");
  Load({"x", "", "", "y"}, {1, 2});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"x", "y"}));
}

TEST_F(SortingTest, JoinRefusesMoreThanSixtyThousandAndGathers) {
  // 3 lines of 19999 bytes: 59997 + 3 = 60000 passes, one byte more fails.
  std::string part(19999, 'x');
  LoadBytes({part, part, part});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(editor.doc.size(), 1u);
  EXPECT_TRUE(host.messages.empty());

  LoadBytes({part, "k", part + "x", "k", part});
  editor.doc.Select(0, true);
  editor.doc.Select(2, true);
  editor.doc.Select(4, true);
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(host.MessageTexts(), (Utf8{"結合できませんでした。大きすぎます。"}));
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(editor.doc.lines(), (Lines{part, part + "x", part, "k", "k"}));
}

TEST_F(SortingTest, JoinOnAnEmptyDocumentRefusesNothing) {
  // What an earlier refused command left behind is not this command's input.
  editor.work_lines = Lines(3, std::string(30000, 'x'));
  RunOperation(editor, JoinSelectedLines);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(Recorded(), (Utf8{"[選択項目を一行に結合する]"}));
}

TEST_F(SortingTest, LineLengthRefusalIsSilentDuringPlayback) {
  editor.max_line_length = 4;
  Load({"ab", "cd"});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"abcd"}));
  Load({"ab", "cde"});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"ab", "cde"}));
  EXPECT_EQ(host.MessageTexts(), (Utf8{"行が長くなりすぎてしまいます。\r\n処理を中止しました。"}));
  Play({"044"});
  RunOperation(editor, JoinSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"ab", "cde"}));
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(SortingTest, GatherCollectsTheSelectionAtItsFirstRow) {
  Load({"0", "1", "2", "3", "4"}, {1, 3});
  RunOperation(editor, GatherSelectedLines);
  EXPECT_EQ(Text(), (Utf8{"0", "1", "3", "2", "4"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
}

TEST_F(SortingTest, EveryCommandRecordsItsNameEvenWhenNothingChanges) {
  for (auto command : {SortBySyllabary, SortByLength, ReverseLines, ShuffleLines, JoinSelectedLines,
                       GatherSelectedLines, MoveSelectionUp, MoveSelectionDown, MoveSelectionToTop,
                       MoveSelectionToBottom}) {
    RunOperation(editor, command);
  }
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(Recorded(), (Utf8{"[五十音順にする]", "[長さ順にする]", "[逆にする]", "[シャッフルする]",
                              "[選択項目を一行に結合する]", "[選択項目をまとめる]",
                              "[選択項目を上に移動する]", "[選択項目を下に移動する]",
                              "[選択項目を一番上に移動する]", "[選択項目を一番下に移動する]"}));
  EXPECT_EQ(host.commands_started, host.commands_ended);
}

TEST_F(SortingTest, EachCommandShowsItsBusyTextAndRecordsItsName) {
  struct Case {
    void (*command)(Editor&);
    const char* busy;  // empty: no busy panel
    const char* step;
  };
  const Case cases[] = {
      {SortBySyllabary, "五十音順に並べ替えています…", "[五十音順にする]"},
      {SortByLength, "長さ順に並べ替えています…", "[長さ順にする]"},
      {ReverseLines, "逆に並べ替えています…", "[逆にする]"},
      {ShuffleLines, "適当に並べ替えています…", "[シャッフルする]"},
      {JoinSelectedLines, "選択項目を一行に結合しています...", "[選択項目を一行に結合する]"},
      {GatherSelectedLines, "選択項目をまとめています...", "[選択項目をまとめる]"},
      {MoveSelectionUp, "", "[選択項目を上に移動する]"},
      {MoveSelectionDown, "", "[選択項目を下に移動する]"},
      {MoveSelectionToTop, "", "[選択項目を一番上に移動する]"},
      {MoveSelectionToBottom, "", "[選択項目を一番下に移動する]"},
  };
  for (const Case& c : cases) {
    Load({"b", "a", "c"}, {1, 2});
    editor.record_buffer.clear();
    editor.modified = false;
    host.busy_messages.clear();
    RunOperation(editor, c.command);
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy})) << c.step;
    EXPECT_EQ(Recorded(), (Utf8{c.step}));
    EXPECT_TRUE(editor.modified) << c.step;  // every one takes the undo snapshot
  }
  EXPECT_EQ(host.commands_started, host.commands_ended);
}

TEST_F(MovingTest, UpMovesRunsButNotOneStartingAtTheTop) {
  Load({"0", "1", "2", "3", "4"}, {0, 1, 3});
  RunOperation(editor, MoveSelectionUp);
  EXPECT_EQ(Text(), (Utf8{"0", "1", "3", "2", "4"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1, 2}));
  Load({"0", "1", "2", "3", "4"}, {2, 3});
  RunOperation(editor, MoveSelectionUp);
  EXPECT_EQ(Text(), (Utf8{"0", "2", "3", "1", "4"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
  EXPECT_TRUE(host.busy_messages.back().empty());
}

TEST_F(MovingTest, DownMirrorsUp) {
  Load({"0", "1", "2", "3", "4"}, {1, 3, 4});
  RunOperation(editor, MoveSelectionDown);
  EXPECT_EQ(Text(), (Utf8{"0", "2", "1", "3", "4"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{2, 3, 4}));
}

TEST_F(MovingTest, ToTopAndBottomKeepTheOrderOfBothParts) {
  Load({"0", "1", "2", "3", "4"}, {2, 4});
  RunOperation(editor, MoveSelectionToTop);
  EXPECT_EQ(Text(), (Utf8{"2", "4", "0", "1", "3"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1}));
  Load({"0", "1", "2", "3", "4"}, {0, 2});
  RunOperation(editor, MoveSelectionToBottom);
  EXPECT_EQ(Text(), (Utf8{"1", "3", "4", "0", "2"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{3, 4}));
}

// The row-by-row procedure: each selected row met while not blocked trades
// places with the row above (or below).
void ReferenceMove(Lines& lines, std::vector<bool>& selected, bool up) {
  const std::size_t n = lines.size();
  if (n == 0) return;
  if (up) {
    bool blocked = selected[0];
    for (std::size_t a = 1; a < n; ++a) {
      if (!selected[a]) {
        blocked = false;
      } else if (!blocked) {
        std::swap(lines[a], lines[a - 1]);
        selected[a] = false;
        selected[a - 1] = true;
      }
    }
  } else {
    bool blocked = selected[n - 1];
    for (std::size_t a = n - 1; a-- > 0;) {
      if (!selected[a]) {
        blocked = false;
      } else if (!blocked) {
        std::swap(lines[a], lines[a + 1]);
        selected[a] = false;
        selected[a + 1] = true;
      }
    }
  }
}

TEST_F(MovingTest, UpAndDownMatchTheRowByRowProcedure) {
  std::mt19937 gen(17);
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = gen() % 9;
    Lines lines;
    std::vector<bool> selected(n);
    for (std::size_t i = 0; i < n; ++i) {
      lines.push_back(std::to_string(i));
      selected[i] = gen() % 2 == 0;
    }
    const bool up = round % 2 == 0;
    LoadBytes(lines);
    for (std::size_t i = 0; i < n; ++i) editor.doc.Select(i, selected[i]);
    ReferenceMove(lines, selected, up);
    up ? RunOperation(editor, MoveSelectionUp) : RunOperation(editor, MoveSelectionDown);
    ASSERT_EQ(editor.doc.lines(), lines);
    for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(editor.doc.IsSelected(i), selected[i]) << i;
  }
}

TEST_F(MovingTest, MovesTakeAnUndoSnapshotButNoLengthCheck) {
  editor.max_line_length = 2;
  Load({"0", "long", "2"}, {1});
  RunOperation(editor, MoveSelectionToTop);
  EXPECT_EQ(Text(), (Utf8{"long", "0", "2"}));
  EXPECT_TRUE(host.messages.empty());
  editor.Undo();
  EXPECT_EQ(Text(), (Utf8{"0", "long", "2"}));
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

using NumericSortTest = LineCommandsTest;

TEST_F(NumericSortTest, DigitRunsCompareAsNumbersAndTheRestInSyllabaryOrder) {
  const std::string many_nines(40, '9');
  const std::string one_and_zeros = "1" + std::string(40, '0');
  struct Case {
    const char* what;
    std::vector<std::string> input, expected;
  };
  const std::vector<Case> cases = {
      {"plain numbers", {"10", "9", "100", "1"}, {"1", "9", "10", "100"}},
      {"names with numbers", {"file10", "file2", "file1"}, {"file1", "file2", "file10"}},
      {"chapters", {"第10章", "第2章", "第1章"}, {"第1章", "第2章", "第10章"}},
      {"full-width digits are digits", {"１０", "9", "２"}, {"２", "9", "１０"}},
      {"mixed widths in one run", {"1０", "９"}, {"９", "1０"}},
      {"leading zeros are ignored, ties stay", {"007", "7", "07", "6"}, {"6", "007", "7", "07"}},
      // Longer than any machine integer: compared by length, then digits.
      {"very long runs", {one_and_zeros, many_nines, "5"}, {"5", many_nines, one_and_zeros}},
      {"a number before text at the same place", {"ab", "a1", "a"}, {"a", "a1", "ab"}},
      {"later runs decide when earlier ones tie", {"v1.10", "v1.9", "v01.2"}, {"v01.2", "v1.9", "v1.10"}},
      {"text in syllabary order", {"さくら2", "あさひ10", "かわ1"}, {"あさひ10", "かわ1", "さくら2"}},
      {"case folded, stable", {"B1", "a2", "A2", "b1"}, {"a2", "A2", "B1", "b1"}},
      {"empty lines first", {"x", "", "1"}, {"", "1", "x"}},
  };
  for (const Case& c : cases) {
    Load(c.input);
    RunOperation(editor, SortNumerically);
    EXPECT_EQ(Text(), c.expected) << c.what;
  }
  EXPECT_EQ(Recorded().back(), "[数字を数値として並べ替える]");
  EXPECT_EQ(host.busy_messages.back(), "数字を数値として並べ替えています…");
}

TEST_F(NumericSortTest, TwoByteCharactersAreNotTakenForDigits) {
  // "グ" is 83 4F and "０" 82 4F: the trail byte of a full-width digit after
  // another lead byte is no digit.
  const std::string ka = "\x83\x4F";  // "グ"
  Load({"x" + SjisToUtf8(ka) + "2", "x" + SjisToUtf8(ka) + "10", "x1"});
  RunOperation(editor, SortNumerically);
  EXPECT_EQ(Text(), (Utf8{"x1", "xグ2", "xグ10"}));
}

TEST_F(NumericSortTest, SortsOnlyTheSelectionAndGathersIt) {
  Load({"z", "10", "y", "9"}, {1, 3});
  RunOperation(editor, SortNumerically);
  EXPECT_EQ(Text(), (Utf8{"z", "9", "10", "y"}));
}

}  // namespace
}  // namespace parvane
