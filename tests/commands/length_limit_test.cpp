// Limits before work: every routine that can make a line longer stops once
// the line passes the length limit, with the result's first limit + 1 bytes
// (which the store refuses), instead of building all of it first.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "automation/run_command.h"
#include "chars/conversion_table.h"
#include "commands/adding.h"
#include "commands/find_replace.h"
#include "commands/line_commands_fixture.h"
#include "regex/kit.h"
#include "regex/match.h"
#include "regex/reader.h"

namespace parvane {
namespace {

constexpr std::size_t kNoLimit = std::string::npos;

struct Replacer {
  const char* name;
  // Returns line with the replacement applied, under the limit.
  std::function<std::string(std::string line, std::size_t limit)> run;
};

const Replacer kReplacers[] = {
    {"regex replace-all",
     [](std::string line, std::size_t limit) {
       RegexReplaceAll("a+|c", false, "<&&>", line, limit);
       return line;
     }},
    {"regex replace-first",
     [](std::string line, std::size_t limit) {
       TbmRExp regex;
       regex.SetPattern("a+");
       regex.ReplaceFirst("&\\t&", line, limit);
       return line;
     }},
    {"template expansion",
     [](std::string line, std::size_t limit) {
       std::unique_ptr<TbmWchReader> reader = CreateReader(kCharCodeShiftJis);
       return ExpandReplacement("[&]&\\x41", line, *reader, limit);
     }},
    {"plain replace",
     [](std::string line, std::size_t limit) {
       PlainMatcher matcher("a", true);
       matcher.ReplaceAll(line, "<>", limit);
       return line;
     }},
    {"table rule",
     [](std::string line, std::size_t limit) {
       std::string scratch;
       ReplaceIgnoringCase(&line, "A", "xyz", &scratch, limit);
       return line;
     }},
};

TEST(LengthLimitTest, EveryReplacerGivesTheResultOrItsFirstLimitPlusOneBytes) {
  for (const Replacer& replacer : kReplacers) {
    for (std::string line : {"", "b", "ab", "aab", "xaxcaa", "caaaac"}) {
      const std::string full = replacer.run(line, kNoLimit);
      for (std::size_t limit = 0; limit <= full.size() + 1; ++limit) {
        const std::string expected = full.size() <= limit ? full : full.substr(0, limit + 1);
        EXPECT_EQ(replacer.run(line, limit), expected)
            << replacer.name << " on '" << line << "' under " << limit;
      }
    }
  }
}

TEST(LengthLimitTest, HugeExpansionsStopAtTheLimitQuickly) {
  // 30,000 '&' on a 64 KB match would be 1.9 GB; a 60 KB template on every
  // character of a 64 KB line, 3.8 GB.
  std::string line(64000, 'a');
  RegexReplaceAll("a+", false, std::string(30000, '&'), line, kMaxLineLength);
  EXPECT_EQ(line.size(), kMaxLineLength + 1);
  line.assign(64000, 'a');
  RegexReplaceAll("a", false, std::string(60000, 'x'), line, kMaxLineLength);
  EXPECT_EQ(line, std::string(kMaxLineLength + 1, 'x'));
  line.assign(64000, 'a');
  PlainMatcher("a", true).ReplaceAll(line, std::string(60000, 'x'), kMaxLineLength);
  EXPECT_EQ(line.size(), kMaxLineLength + 1);

  // Rules that feed each other triple the line at every other rule.
  Lines table;
  for (int i = 0; i < 100; ++i) table.push_back(i % 2 == 0 ? "a=ABC" : "b=ABC");
  Lines lines = {"ab", "untouched"};
  EXPECT_FALSE(ApplyConversionTable(table, lines, {}, kMaxLineLength));
  EXPECT_EQ(lines[0].size(), kMaxLineLength + 1);
  EXPECT_EQ(lines[1], "untouched");
}

class LengthLimitCommandTest : public LineCommandsTest {
 protected:
  void ExpectRefused(const char* what) {
    EXPECT_EQ(Text(), (Utf8{"abc", "def"})) << what;
    ASSERT_FALSE(host.messages.empty()) << what;
    EXPECT_EQ(host.messages.back().text, "行が長くなりすぎてしまいます。\r\n処理を中止しました。")
        << what;
    host.messages.clear();
  }
  TempDir dir;
};

TEST_F(LengthLimitCommandTest, CommandsWhoseResultPassesTheLimitAreRefusedWhole) {
  editor.max_line_length = 10;
  Load({"abc", "def"});
  Replace("b", "0123456789", SearchMode::kPlain, true);
  ExpectRefused("[置換]");
  Replace("[be]", "&&&&&&&&&&", SearchMode::kRegex, true);
  ExpectRefused("[正規表現置換]");

  // The merged file's line that would pass the limit is never appended whole.
  const auto merged = WriteBytes(dir / "m.txt", std::string(100000, 'm') + "\r\n");
  host.open_files.push_back(merged);
  RunOperation(editor, MergeFileAtEnd);
  ExpectRefused("[行末に他のファイルを合成]");

  const auto table = WriteBytes(dir / "t.txt", "a=AAA\r\nb=BBBB\r\nb=x\r\n");
  // Played back, the refusal is silent; the rules stopped at the first line
  // that passed the limit.
  Play({"071", table.string()});
  RunOperation(editor, ConvertByTable);
  editor.step_params.clear();
  EXPECT_EQ(Text(), (Utf8{"abc", "def"}));
  ASSERT_EQ(editor.work_store.size(), 2u);
  EXPECT_EQ(editor.work_store[0].size(), 11u);
  EXPECT_EQ(editor.work_store[1], "def");

  // Exactly the limit is stored.
  Replace("b", "12345678", SearchMode::kPlain, true);
  EXPECT_EQ(Text(), (Utf8{"a12345678c", "def"}));
}

}  // namespace
}  // namespace parvane
