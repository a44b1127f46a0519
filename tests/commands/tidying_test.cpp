#include "commands/tidying.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "automation/run_command.h"
#include "line_commands_fixture.h"
#include "regex/token.h"
#include "text/sjis.h"

namespace parvane {
namespace {

using TidyingTest = LineCommandsTest;

const std::string kHalf = " ";
const std::string kFull = "\x81\x40";
// A two-byte character whose second byte is 0x81, the first byte of a
// full-width space: "\x88\x81" followed by "@" (0x40) is no space.
const std::string kTrail81 = "\x88\x81";

Lines RandomSpacedLines(std::mt19937& gen, std::size_t count) {
  const Lines pieces{kHalf, kHalf, kFull, kFull, "a", "@", "\xB1", kTrail81, "\x82\xA0"};
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1), length(0, 12);
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) {
    std::string line;
    for (std::size_t k = length(gen); k > 0; --k) line += pieces[piece(gen)];
    lines.push_back(line);
  }
  return lines;
}

// Replaces every occurrence of from that starts on a character by to.
std::string ReplaceAtCharacters(const std::string& line, const std::string& from, const std::string& to) {
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    if (line.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      std::size_t len = SjisCharLength(line, i);
      out.append(line, i, len);
      i += len;
    }
  }
  return out;
}

// The halving procedure: runs of 2^k spaces replaced by one, k = 8 ... 1,
// each until the line no longer changes.
std::string ReferenceCompress(std::string line) {
  for (int k = 8; k >= 1; --k) {
    std::string full, half;
    for (int i = 0; i < (1 << k); ++i) {
      full += kFull;
      half += kHalf;
    }
    for (;;) {
      std::string next = ReplaceAtCharacters(ReplaceAtCharacters(line, full, kFull), half, kHalf);
      if (next == line) break;
      line = next;
    }
  }
  return line;
}

TEST_F(TidyingTest, CollapsingDuplicatesKeepsTheFirstOfEachRun) {
  host.on_removed_lines = [](Editor&) {};
  Load({"a", "a", "b", "a", "A"});
  RunOperation(editor, CollapseDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"a", "b", "a", "A"}));
  EXPECT_EQ(Removed(), (Utf8{"a"}));
  EXPECT_EQ(host.removed_lines_shown, 1);
  // The second, empty start only refreshes the record list after the step.
  EXPECT_EQ(host.busy_messages, (Utf8{"重複行を一行にまとめています…", ""}));
  EXPECT_EQ(Recorded(), (Utf8{"[連続する重複行を一行にまとめる]"}));
}

TEST_F(TidyingTest, RemovingDuplicatesTakesWholeRuns) {
  Load({"a", "a", "a", "b", "c", "c"});
  RunOperation(editor, RemoveDuplicateLines);
  EXPECT_EQ(Text(), (Utf8{"b"}));
  EXPECT_EQ(Removed(), (Utf8{"a", "a", "a", "c", "c"}));
  EXPECT_EQ(Recorded(), (Utf8{"[連続する重複行を残さず削除]"}));
}

TEST_F(TidyingTest, DuplicateCommandsMatchTheBackwardWalk) {
  // The walk from the last line to the first, deleting as it goes.
  auto reference = [](Lines lines, bool whole_runs, Lines* removed) {
    bool in_run = false;
    for (std::size_t i = lines.size(); i-- > 0;) {
      if (i > 0 && lines[i] == lines[i - 1]) {
        removed->push_back(lines[i]);
        lines.erase(lines.begin() + static_cast<long>(i));
        in_run = true;
      } else if (whole_runs && in_run) {
        removed->push_back(lines[i]);
        lines.erase(lines.begin() + static_cast<long>(i));
        in_run = false;
      }
    }
    return lines;
  };
  host.strict = false;
  std::mt19937 gen(23);
  for (int round = 0; round < 200; ++round) {
    Lines lines;
    for (std::size_t n = gen() % 12; n > 0; --n) lines.push_back(std::string(1, "abc"[gen() % 3]));
    const bool whole_runs = round % 2 == 1;
    Lines expected_removed;
    Lines expected = reference(lines, whole_runs, &expected_removed);
    std::sort(expected_removed.begin(), expected_removed.end());
    LoadBytes(lines);
    RunOperation(editor, whole_runs ? RemoveDuplicateLines : CollapseDuplicateLines);
    ASSERT_EQ(editor.doc.lines(), expected);
    ASSERT_EQ(editor.removed_lines, expected_removed);
  }
}

TEST_F(TidyingTest, EachCommandShowsItsBusyTextAndRecordsItsName) {
  struct Case {
    void (*command)(Editor&);
    const char* busy;
    const char* step;
  };
  const Case cases[] = {
      {CollapseDuplicateLines, "重複行を一行にまとめています…", "[連続する重複行を一行にまとめる]"},
      {RemoveDuplicateLines, "重複行を残さず削除しています…", "[連続する重複行を残さず削除]"},
      {CollapseBlankLines, "空行を一行にまとめています…", "[連続する空行を一行にまとめる]"},
      {RemoveBlankLines, "空の行を削除しています…", "[空行をすべて削除する]"},
      {CompressSpaces, "連続する空白文字をひとつにまとめています…", "[連続する空白文字をひとつにまとめる]"},
      {TrimLeadingSpaces, "行頭の空白文字を削除しています…", "[行頭の空白文字を削除する]"},
      {TrimTrailingSpaces, "行末の空白文字を削除しています…", "[行末の空白文字を削除する]"},
      {ReverseEachLine, "行の左右を逆にしています…", "[行の左右を逆にする]"},
  };
  host.strict = false;  // the duplicate commands say that nothing was removed
  for (const Case& c : cases) {
    Load({" a ", "", "b"});
    editor.record_buffer.clear();
    host.busy_messages.clear();
    RunOperation(editor, c.command);
    EXPECT_EQ(host.busy_messages.front(), c.busy);
    EXPECT_EQ(Recorded(), (Utf8{c.step}));
  }
  // Prompting commands: the prompt, the busy text, and the answer recorded
  // (the width as the decimal number that "0x10" reads as, a text as it is).
  struct Prompted {
    void (*command)(Editor&);
    const char* prompt;
    const char* busy;
    const char* recorded;
  };
  const Prompted prompted[] = {
      {WrapLines, "何文字で折り返しますか？", "行を折り返しています…", "[指定文字数で改行（禁則無し）],16"},
      {SwapAroundText, "境にする文字列は？", "指定文字を境に左右を入れ替えています…",
       "[指定した文字列を境に左右を入れ替える],0x10"},
      {SwapAroundPattern, "境にする正規表現文字列は？", "指定文字を境に左右を入れ替えています…",
       "[指定した文字列を境に左右を入れ替える（正規表現）],0x10"},
  };
  for (const Prompted& c : prompted) {
    Load({"a"});
    editor.record_buffer.clear();
    host.busy_messages.clear();
    host.prompts.clear();
    host.inputs = {"0x10"};
    RunOperation(editor, c.command);
    EXPECT_EQ(host.prompts, (Utf8{c.prompt}));
    EXPECT_EQ(host.busy_messages, (Utf8{c.busy}));
    EXPECT_EQ(Recorded(), (Utf8{c.recorded}));
  }
}

TEST_F(TidyingTest, BlankLinesCollapseOrGo) {
  Load({"x", "", "", "", "y", " ", " ", ""});
  RunOperation(editor, CollapseBlankLines);
  EXPECT_EQ(Text(), (Utf8{"x", "", "y", " ", " ", ""}));
  Load({"", "", "x", "", ""});
  RunOperation(editor, CollapseBlankLines);
  EXPECT_EQ(Text(), (Utf8{"", "x", ""}));
  Load({"a", "", " ", "", "b"});
  RunOperation(editor, RemoveBlankLines);
  EXPECT_EQ(Text(), (Utf8{"a", " ", "b"}));
  EXPECT_EQ(Recorded(), (Utf8{"[連続する空行を一行にまとめる]", "[連続する空行を一行にまとめる]",
                              "[空行をすべて削除する]"}));
}

TEST_F(TidyingTest, RemovingBlanksFromASelectionOfBlanksRemovesTheRows) {
  editor.selection_style = SelectionStyle::kStandard;
  Load({"a", "", "", "b"}, {1, 2});
  RunOperation(editor, RemoveBlankLines);
  EXPECT_EQ(Text(), (Utf8{"a", "b"}));
}

TEST_F(TidyingTest, SpaceRunsCollapseByKind) {
  Load({"  　　 ", "a   b", "x　　　y", "\x88\x81@　　"});
  RunOperation(editor, CompressSpaces);
  EXPECT_EQ(editor.doc.line(0), kHalf + kFull + kHalf);
  EXPECT_EQ(editor.doc.line(1), "a b");
  EXPECT_EQ(editor.doc.line(2), "x" + kFull + "y");
  // 88 81 | 40 | 81 40 81 40: the 0x81 0x40 after the first character is not
  // a space, so only the two real spaces collapse.
  LoadBytes({kTrail81 + "\x40\x81\x40\x81\x40"});
  RunOperation(editor, CompressSpaces);
  EXPECT_EQ(editor.doc.line(0), kTrail81 + "\x40\x81\x40");
}

TEST_F(TidyingTest, SpaceCompressionMatchesTheHalvingProcedure) {
  std::mt19937 gen(29);
  Lines lines = RandomSpacedLines(gen, 400);
  lines.push_back(std::string(1000, ' ') + "x" + [] {
    std::string s;
    for (int i = 0; i < 700; ++i) s += kFull;
    return s;
  }());
  Lines expected;
  for (const std::string& line : lines) expected.push_back(ReferenceCompress(line));
  LoadBytes(lines);
  RunOperation(editor, CompressSpaces);
  EXPECT_EQ(editor.doc.lines(), expected);
}

TEST_F(TidyingTest, TrimmingRemovesMixedSpacesAtOneEnd) {
  LoadBytes({kHalf + kFull + kHalf + "abc" + kHalf});
  RunOperation(editor, TrimLeadingSpaces);
  EXPECT_EQ(editor.doc.line(0), "abc" + kHalf);
  LoadBytes({kHalf + "abc" + kFull + kHalf, "a" + kFull, kTrail81 + "\x40", kFull + kFull, "\x81"});
  RunOperation(editor, TrimTrailingSpaces);
  EXPECT_EQ(editor.doc.lines(), (Lines{kHalf + "abc", "a", kTrail81 + "\x40", "", "\x81"}));
  EXPECT_EQ(Recorded(), (Utf8{"[行頭の空白文字を削除する]", "[行末の空白文字を削除する]"}));
}

TEST_F(TidyingTest, TrimmingMatchesACharacterWalk) {
  std::mt19937 gen(31);
  for (const std::string& line : RandomSpacedLines(gen, 300)) {
    // Keep from the first character that is no space to the end of the last.
    std::size_t first = std::string::npos, end = 0;
    ForEachSjisChar(line, [&](std::size_t i, std::size_t len) {
      if (line.compare(i, len, kHalf) == 0 || line.compare(i, len, kFull) == 0) return;
      if (first == std::string::npos) first = i;
      end = i + len;
    });
    std::string leading = line, trailing = line;
    TrimLeading(leading);
    TrimTrailing(trailing);
    ASSERT_EQ(leading, first == std::string::npos ? "" : line.substr(first));
    ASSERT_EQ(trailing, line.substr(0, end));
  }
}

TEST_F(TidyingTest, WrapCutsAtTheWidthWithoutSplittingCharacters) {
  host.inputs = {"3", "3", "1"};
  Load({"abcdefg", "abc", ""});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"abc", "def", "g", "abc", ""}));
  Load({"あいう"});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"あ", "い", "う"}));
  Load({"aあ"});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"a", "あ"}));
  EXPECT_EQ(host.prompts[0], "何文字で折り返しますか？");
  EXPECT_EQ(Recorded(), (Utf8{"[指定文字数で改行（禁則無し）],3", "[指定文字数で改行（禁則無し）],3",
                              "[指定文字数で改行（禁則無し）],1"}));
}

TEST_F(TidyingTest, WrappedSelectionBecomesSelectedRows) {
  host.inputs = {"$2"};
  Load({"abcd", "keep", "xyz"}, {0, 2});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"ab", "cd", "xy", "z", "keep"}));
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_EQ(Recorded(), (Utf8{"[指定文字数で改行（禁則無し）],2"}));
}

TEST_F(TidyingTest, WrapWithoutAPositiveWidthChangesNothingAndRecordsNothing) {
  host.inputs = {std::nullopt, "0", "abc", "-4"};
  for (int i = 0; i < 4; ++i) {
    Load({"b", "abcdef", "a"}, {0, 2});
    RunOperation(editor, WrapLines);
    // The frame still stores the collected lines: the selection is gathered.
    EXPECT_EQ(Text(), (Utf8{"b", "a", "abcdef"}));
  }
  EXPECT_TRUE(editor.record_buffer.empty());
  EXPECT_EQ(host.commands_started, 4);
}

TEST_F(TidyingTest, WrapThenJoinRestoresEachLine) {
  std::mt19937 gen(37);
  Lines lines = RandomSpacedLines(gen, 300);
  std::vector<std::string_view> pieces;
  for (const std::string& line : lines) {
    for (std::size_t width = 1; width <= 6; ++width) {
      WrapPieces(line, width, &pieces);
      std::string joined;
      for (std::string_view piece : pieces) {
        // Every piece fits, except one two-byte character at width 1, and
        // every piece is whole characters.
        ASSERT_TRUE(piece.size() <= width || (width == 1 && piece.size() == 2));
        ASSERT_EQ(SjisCharStart(line, joined.size()), joined.size());
        joined += piece;
      }
      ASSERT_EQ(joined, line);
      ASSERT_FALSE(pieces.empty());
    }
  }
}

TEST_F(TidyingTest, WrapParametersFollowThePlaybackRule) {
  // A literal value: no prompt.
  Play({"058", "4"});
  Load({"abcdef"});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"abcd", "ef"}));
  EXPECT_TRUE(host.prompts.empty());
  // "@1st": asked once, then the answer stays in the step for the next files.
  Play({"058", "@1st"});
  host.inputs = {"3"};
  for (int file = 0; file < 3; ++file) {
    Load({"abcdef"});
    RunOperation(editor, WrapLines);
    EXPECT_EQ(Text(), (Utf8{"abc", "def"}));
  }
  EXPECT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(editor.step_params[1], "3");
  // "@all" (any case): asked every time.
  Play({"058", "@ALL"});
  host.inputs = {"2", "5"};
  Load({"abcdef"});
  RunOperation(editor, WrapLines);
  Load({"abcdef"});
  RunOperation(editor, WrapLines);
  EXPECT_EQ(Text(), (Utf8{"abcde", "f"}));
  EXPECT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(Recorded().back(), "[指定文字数で改行（禁則無し）],5");
}

TEST_F(TidyingTest, ReversingEachLineKeepsCharactersWhole) {
  Load({"あいb", "", "ｱｲ漢"});
  RunOperation(editor, ReverseEachLine);
  EXPECT_EQ(Text(), (Utf8{"bいあ", "", "漢ｲｱ"}));
  std::mt19937 gen(41);
  Lines lines = RandomSpacedLines(gen, 200);
  lines.push_back("ab\x81");  // a lead byte cut off at the end stays a byte
  LoadBytes(lines);
  RunOperation(editor, ReverseEachLine);
  RunOperation(editor, ReverseEachLine);
  EXPECT_EQ(editor.doc.lines(), lines);
}

TEST_F(TidyingTest, SwapExchangesTheSidesOfTheFirstBoundary) {
  host.inputs = {"="};
  Load({"key=value", "novalue", "=x", "a=b=c"});
  RunOperation(editor, SwapAroundText);
  EXPECT_EQ(Text(), (Utf8{"value=key", "novalue", "x=", "b=c=a"}));
  EXPECT_EQ(host.prompts, (Utf8{"境にする文字列は？"}));
  EXPECT_EQ(Recorded(), (Utf8{"[指定した文字列を境に左右を入れ替える],="}));
  EXPECT_EQ(host.busy_messages.back(), "指定文字を境に左右を入れ替えています…");
}

TEST_F(TidyingTest, SwapBoundaryNeverStartsInsideACharacter) {
  // "@" is 0x40, the second byte of the full-width space before it.
  host.inputs = {"@", "a b"};
  LoadBytes({kFull + "x@y"});
  RunOperation(editor, SwapAroundText);
  EXPECT_EQ(editor.doc.line(0), "y@" + kFull + "x");
  Load({"1a b2"});
  RunOperation(editor, SwapAroundText);
  EXPECT_EQ(Text(), (Utf8{"2a b1"}));
  EXPECT_EQ(Recorded().back(), "[指定した文字列を境に左右を入れ替える],\"a b\"");
}

TEST_F(TidyingTest, EmptyOrCancelledBoundaryStopsBeforeTheFrame) {
  host.inputs = {"", std::nullopt};
  Load({"a=b"}, {0});
  RunOperation(editor, SwapAroundText);
  RunOperation(editor, SwapAroundPattern);
  EXPECT_EQ(host.commands_started, 0);
  EXPECT_TRUE(editor.record_buffer.empty());
  EXPECT_FALSE(editor.modified);
}

TEST_F(TidyingTest, PatternSwapUsesTheLongestLeftmostMatch) {
  host.inputs = {"[:=]+"};
  Load({"a==b", "c:d=e", "none"});
  RunOperation(editor, SwapAroundPattern);
  EXPECT_EQ(Text(), (Utf8{"b==a", "d=e:c", "none"}));
  EXPECT_EQ(host.prompts, (Utf8{"境にする正規表現文字列は？"}));
  EXPECT_EQ(Recorded(), (Utf8{"[指定した文字列を境に左右を入れ替える（正規表現）],[:=]+"}));
}

TEST_F(TidyingTest, BadPatternIsRecordedAndLeavesTheLinesUnchanged) {
  Play({"068", "(a"});
  Load({"b", "xa", "a"}, {0, 2});
  EXPECT_THROW(RunOperation(editor, SwapAroundPattern), EbmREToken);
  EXPECT_EQ(Text(), (Utf8{"b", "a", "xa"}));
  EXPECT_EQ(Recorded(), (Utf8{"[指定した文字列を境に左右を入れ替える（正規表現）],(a"}));
  EXPECT_EQ(host.commands_started, host.commands_ended);
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

using RepeatTest = LineCommandsTest;

TEST_F(RepeatTest, LaterRepeatsGoAnywhereAndFirstOccurrencesStay) {
  host.on_removed_lines = [](Editor&) {};
  Load({"b", "a", "b", "c", "a", "b", "A", ""});
  RunOperation(editor, RemoveRepeatedLines);
  EXPECT_EQ(Text(), (Utf8{"b", "a", "c", "A", ""}));
  EXPECT_EQ(Removed(), (Utf8{"a", "b", "b"}));
  EXPECT_EQ(host.removed_lines_shown, 1);
  EXPECT_EQ(host.busy_messages, (Utf8{"重複行を削除しています…", ""}));
  EXPECT_EQ(Recorded(), (Utf8{"[重複行を削除（最初の行を残す）]"}));
}

TEST_F(RepeatTest, WorksOnTheSelectionOnly) {
  host.on_removed_lines = [](Editor&) {};
  Load({"x", "a", "x", "a", "x"}, {1, 2, 3});
  RunOperation(editor, RemoveRepeatedLines);
  EXPECT_EQ(Text(), (Utf8{"x", "a", "x", "x"}));
  EXPECT_EQ(Removed(), (Utf8{"a"}));
}

TEST_F(RepeatTest, NothingRemovedSaysSoAndPlaybackMovesTheRemovedLines) {
  Load({"a", "b"});
  RunOperation(editor, RemoveRepeatedLines);
  EXPECT_EQ(host.MessageTexts(), (Utf8{"一行も削除されませんでした。"}));
  Load({"k", "l", "k", "k"});
  Play({"076", "[メインウィンドウに移す]"});
  RunOperation(editor, RemoveRepeatedLines);
  EXPECT_EQ(Text(), (Utf8{"k", "k"}));
  EXPECT_EQ(Recorded().back(), "[重複行を削除（最初の行を残す）],[メインウィンドウに移す]");
}

TEST_F(RepeatTest, MatchesAQuadraticReference) {
  host.strict = false;
  std::mt19937 gen(31);
  for (int round = 0; round < 200; ++round) {
    Lines lines;
    // Long lines too, so that moved strings live on the heap as well as inline.
    for (std::size_t n = gen() % 15; n > 0; --n) {
      lines.push_back(std::string(gen() % 2 ? 1 : 40, "abcd"[gen() % 4]));
    }
    Lines expected, expected_removed;
    for (const std::string& line : lines) {
      (std::find(expected.begin(), expected.end(), line) == expected.end() ? expected : expected_removed)
          .push_back(line);
    }
    std::sort(expected_removed.begin(), expected_removed.end());
    LoadBytes(lines);
    RunOperation(editor, RemoveRepeatedLines);
    ASSERT_EQ(editor.doc.lines(), expected);
    ASSERT_EQ(editor.removed_lines, expected_removed);
  }
}

}  // namespace
}  // namespace parvane
