#include "commands/find_replace.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "automation/run_command.h"
#include "commands/line_commands_fixture.h"
#include "text/sjis.h"

namespace parvane {
namespace {

class FindReplaceTest : public LineCommandsTest {
 protected:
  void SetUp() override { SharedFindReplaceFields() = FindReplaceFields{}; }
};

// The obviously right search: try every character start, compare character by
// character, folding single-byte ASCII letters when asked.
std::size_t NaiveFind(std::string_view line, std::string_view text, bool match_case) {
  if (text.empty()) return std::string_view::npos;
  auto fold = [&](std::string_view s, std::size_t i, std::size_t len) {
    std::string c(s.substr(i, len));
    if (!match_case && len == 1 && c[0] >= 'A' && c[0] <= 'Z') c[0] = c[0] - 'A' + 'a';
    return c;
  };
  for (std::size_t start = 0; start < line.size(); start += SjisCharLength(line, start)) {
    std::size_t i = start, j = 0;
    while (i < line.size() && j < text.size()) {
      std::size_t li = SjisCharLength(line, i), lj = SjisCharLength(text, j);
      if (li != lj || fold(line, i, li) != fold(text, j, lj)) break;
      i += li;
      j += lj;
    }
    if (j == text.size()) return start;
  }
  return std::string_view::npos;
}

TEST(PlainMatcherTest, AgreesWithANaiveSearch) {
  std::mt19937 random(11);
  // Letters that include a trail byte equal to '\' and to 'A'.
  const std::string letters[] = {"a", "A", "\\", "\x95\x5c", "\x83\x41", "\xb1", "\x83"};
  auto make = [&](int max) {
    std::string s;
    for (int i = random() % (max + 1); i > 0; --i) s += letters[random() % std::size(letters)];
    return s;
  };
  for (int round = 0; round < 5000; ++round) {
    const std::string line = make(6), text = make(2);
    for (bool match_case : {true, false}) {
      PlainMatcher matcher(text, match_case);
      ASSERT_EQ(matcher.Find(line), NaiveFind(line, text, match_case))
          << round << " " << match_case;
    }
  }
}

TEST(PlainMatcherTest, NeverMatchesFromATrailByte) {
  PlainMatcher backslash("\\", true);
  EXPECT_EQ(backslash.Find(Sjis("表")), std::string_view::npos);
  EXPECT_EQ(backslash.Find(Sjis("表\\")), 2u);
  PlainMatcher letter("a", false);
  std::string katakana = Sjis("ア");  // 83 41: a trail byte that reads as 'A'
  EXPECT_EQ(letter.ReplaceAll(katakana, "x"), 0u);
  EXPECT_EQ(katakana, Sjis("ア"));
}

TEST(PlainMatcherTest, ReplacementsAreNotSearchedAgain) {
  std::string line = "aaaa";
  EXPECT_EQ(PlainMatcher("aa", true).ReplaceAll(line, "a"), 2u);
  EXPECT_EQ(line, "aa");
  line = "ABCabc";
  PlainMatcher("abc", false).ReplaceAll(line, "X");
  EXPECT_EQ(line, "XX");
  line = "ABCabc";
  PlainMatcher("abc", true).ReplaceAll(line, "X");
  EXPECT_EQ(line, "ABCX");
}

TEST_F(FindReplaceTest, FindSelectsAllFirstWhenAtMostOneRowIsSelected) {
  Load({"abc", "x", "ABx"}, {1});
  Find(Sjis("ab"), SearchMode::kPlain, false);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(Recorded(), (Utf8{"[すべて選択]", "[検索],ab"}));
  EXPECT_FALSE(editor.modified);

  // With two rows selected only those are tested; nothing is newly selected.
  Load({"abc", "abd", "abe"}, {1, 2});
  Find(Sjis("ab"), SearchMode::kPlain, true);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
  Find(Sjis("e"), SearchMode::kPlain, true);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{2}));
}

TEST_F(FindReplaceTest, EmptySearchTextFindsNothingAndReplacesNothing) {
  Load({"a", "b"});
  Replace("", "x", SearchMode::kPlain, true);
  EXPECT_EQ(Text(), (Utf8{"a", "b"}));
  Find("", SearchMode::kPlain, true);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Recorded(), (Utf8{"[置換],,x", "[すべて選択]", "[検索],"}));
}

// Only playback can hand the handlers an empty search text: the plain
// variants then find and change nothing, the regular-expression ones match
// the empty string everywhere.
TEST_F(FindReplaceTest, EmptySearchTextMatchesEverywhereAsARegularExpression) {
  Load({"ab", "", "あい"}, {0, 1, 2});
  Find("", SearchMode::kRegex, false);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1, 2}));
  Replace("", "-", SearchMode::kRegex, false);
  EXPECT_EQ(Text(), (Utf8{"-a-b", "-", "-あ-い"}));
}

TEST_F(FindReplaceTest, PlainFindNeverMatchesFromATrailByte) {
  Load({"表", "表\\", "\\"});
  Find("\\", SearchMode::kPlain, true);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 2}));
  Load({"表", "ABCabc"});
  Replace("\\", "/", SearchMode::kPlain, true);
  Replace("abc", "X", SearchMode::kPlain, false);
  EXPECT_EQ(Text(), (Utf8{"表", "XX"}));
}

TEST_F(FindReplaceTest, ReplaceWorksOnTheSelectionAsOneBlock) {
  Load({"aa", "b", "aa", "c"}, {0, 2});
  Replace("a", "x y", SearchMode::kPlain, true);
  EXPECT_EQ(Text(), (Utf8{"x yx y", "x yx y", "b", "c"}));
  EXPECT_EQ(Recorded(), (Utf8{"[置換],a,\"x y\""}));
  EXPECT_TRUE(editor.modified);
}

TEST_F(FindReplaceTest, PlaybackTakesLiteralsAndAsksForAtAllAndAt1st) {
  Load({"abc", "abd"});
  SharedFindReplaceFields().replace_match_case = true;
  Play({"061", "b", "B"});
  RunOperation(editor, ReplaceCommand);
  EXPECT_EQ(Text(), (Utf8{"aBc", "aBd"}));
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_EQ(SharedFindReplaceFields().replace_find_text, "b");

  Play({"061", "@all", "@1st"});
  host.inputs = {"c", "C"};
  RunOperation(editor, ReplaceCommand);
  EXPECT_EQ(Text(), (Utf8{"aBC", "aBd"}));
  EXPECT_EQ(host.prompts, (Utf8{"検索する文字列は？", "置換後の文字列は？"}));
  EXPECT_EQ(editor.step_params[1], "@all");
  EXPECT_EQ(editor.step_params[2], "C");

  // "@all" asks again at every run.
  Play({"061", "@all", "x"});
  host.inputs = {"a"};
  RunOperation(editor, ReplaceCommand);
  Play({"061", "@all", "y"});
  host.inputs = {"B"};
  RunOperation(editor, ReplaceCommand);
  EXPECT_EQ(Text(), (Utf8{"xyC", "xyd"}));
  EXPECT_EQ(host.prompts.size(), 4u);

  Play({"060", "@1st"});
  host.inputs = {"d$"};
  RunOperation(editor, RegexFindCommand);
  EXPECT_EQ(host.prompts.back(), "正規表現検索する文字列は？");
  EXPECT_EQ(editor.step_params[1], "d$");
}

// The regular-expression variants go through the regex kit.
TEST_F(FindReplaceTest, RegexFindAndReplace) {
  Load({"a", "", "b", ""});
  Find("^$", SearchMode::kRegex, false);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 3}));

  Load({"abc", "ab"});
  Replace("a|ab", "[&]", SearchMode::kRegex, false);
  EXPECT_EQ(Text(), (Utf8{"[ab]c", "[ab]"}));
  Load({"ab"});
  Replace("x*", "-", SearchMode::kRegex, false);
  EXPECT_EQ(Text(), (Utf8{"-a-b"}));
  EXPECT_EQ(Recorded().back(), "[正規表現置換],x*,-");
}

// The extended steps: groups in the replacement, shorthands, their own
// step names and prompts; the present steps keep their syntax.
TEST_F(FindReplaceTest, ExtendedRegexStepsUseGroupsAndRecordTheirOwnNames) {
  Load({"2024-01-05", "x"});
  Replace("(\\d+)-(\\d+)-(\\d+)", "\\3/\\2/\\1", SearchMode::kExtendedRegex, false);
  EXPECT_EQ(Text(), (Utf8{"05/01/2024", "x"}));
  EXPECT_EQ(Recorded().back(), "[拡張正規表現置換],(\\d+)-(\\d+)-(\\d+),\\3/\\2/\\1");

  Load({"2024-01-05"});
  Replace("(\\d+)-(\\d+)-(\\d+)", "\\3/\\2/\\1", SearchMode::kRegex, false);
  EXPECT_EQ(Text(), (Utf8{"2024-01-05"}));  // \d is the letter d there

  Load({"ab12", "cd", "３"});
  Find("\\d", SearchMode::kExtendedRegex, false);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(Recorded().back(), "[拡張正規表現検索],\\d");

  Load({"abab"});
  Play({"073", "@all", "<\\1>"});
  host.inputs = {"(ab){2}"};
  RunOperation(editor, ExtendedRegexReplaceCommand);
  EXPECT_EQ(Text(), (Utf8{"<ab>"}));
  EXPECT_EQ(host.prompts, (Utf8{"拡張正規表現検索する文字列は？"}));
  Play({"072", "x{2}"});
  RunOperation(editor, ExtendedRegexFindCommand);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{}));
}

TEST_F(FindReplaceTest, PatternErrorsReachTheCallerAfterTheFrameClosed) {
  Load({"a(", "b"});
  EXPECT_THROW(Replace("(", "x", SearchMode::kRegex, true), std::runtime_error);
  EXPECT_EQ(Text(), (Utf8{"a(", "b"}));
  EXPECT_TRUE(editor.modified);  // the undo snapshot was taken first
  EXPECT_EQ(host.commands_started, host.commands_ended);
  EXPECT_EQ(Recorded(), (Utf8{"[正規表現置換],(,x"}));

  Load({"a(", "b"}, {0, 1});
  EXPECT_THROW(Find("(", SearchMode::kRegex, true), std::runtime_error);
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1}));
  // With at most one row selected, the select-all step has already run.
  Load({"a(", "b"});
  try {
    Find("a|*", SearchMode::kRegex, true);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "need normal char or left parenthesis");
  }
  EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(Recorded().back(), "[正規表現検索],a|*");
  EXPECT_EQ(host.commands_started, host.commands_ended);
}

}  // namespace
}  // namespace parvane
