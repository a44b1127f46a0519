// The conversion-table command: table lines, case-insensitive replacement on
// character boundaries, chaining, recording and playback.
#include "chars/conversion_table.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/run_command.h"
#include "editor/fields.h"
#include "editor/files.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::vector<std::string> Apply(const std::vector<std::string>& table,
                               const std::vector<std::string>& text) {
  Lines lines = SjisLines(text);
  ApplyConversionTable(SjisLines(table), lines);
  return Utf8Lines(lines);
}

TEST(ConversionRuleTest, SearchBeforeTheFirstEqualsSign) {
  auto rule = ParseConversionRule(" a = b=c ");
  ASSERT_TRUE(rule.has_value());
  EXPECT_EQ(rule->search, " a ");
  EXPECT_EQ(rule->replacement, " b=c ");
  rule = ParseConversionRule("a=");
  ASSERT_TRUE(rule.has_value());
  EXPECT_EQ(rule->replacement, "");
  EXPECT_FALSE(ParseConversionRule("=a").has_value());
  EXPECT_FALSE(ParseConversionRule("no rule").has_value());
  EXPECT_FALSE(ParseConversionRule("").has_value());
}

TEST(ConversionTableTest, FirstRuleForASearchTextWins) {
  EXPECT_EQ(Apply({"abc=xyz", "ABC=123"}, {"abc Abc ABC aBC"}),
            (std::vector<std::string>{"xyz xyz xyz xyz"}));
}

TEST(ConversionTableTest, EmptyReplacementDeletesBothCases) {
  EXPECT_EQ(Apply({"a=", "no rule"}, {"banana", "AAA", "xyz"}),
            (std::vector<std::string>{"bnn", "", "xyz"}));
}

TEST(ConversionTableTest, RulesChain) {
  EXPECT_EQ(Apply({"a=b", "b=c"}, {"aAbB"}), (std::vector<std::string>{"cccc"}));
  // Replacements are not rescanned by their own rule.
  EXPECT_EQ(Apply({"a=aa"}, {"aa"}), (std::vector<std::string>{"aaaa"}));
}

TEST(ConversionTableTest, MatchesOnCharacterBoundariesOnly) {
  // ア is 0x83 0x41 (trail byte "A"), ハ 0x83 0x6E (trail "n"), ソ 0x83 0x5C.
  EXPECT_EQ(Apply({"a=Z", "n=N", "\\=/"}, {"アハソ an\\"}),
            (std::vector<std::string>{"アハソ ZN/"}));
  // A search text ending in a lone lead byte never ends inside a character.
  Lines lines = {"x\x82\xA0", "x\x82"};
  ApplyConversionTable({"x\x82=y"}, lines);
  EXPECT_EQ(lines, (Lines{"x\x82\xA0", "y"}));
  // Japanese search texts are matched exactly.
  EXPECT_EQ(Apply({"東京=とうきょう", "ａ=b"}, {"東京ａＡ"}),
            (std::vector<std::string>{"とうきょうbＡ"}));
}

TEST(ConversionTableTest, EveryTableLineIsCounted) {
  std::vector<std::pair<std::size_t, std::size_t>> seen;
  Lines lines = {"a"};
  ApplyConversionTable({"a=b", "skip", "=c"}, lines,
                       [&](std::size_t k, std::size_t n) { seen.emplace_back(k, n); });
  EXPECT_EQ(seen, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 3}, {2, 3}, {3, 3}}));
}

class ConvertByTableTest : public ::testing::Test {
 protected:
  std::filesystem::path Table(std::string_view name, std::string_view bytes) {
    return WriteBytes(dir_ / name, bytes);
  }
  TempDir dir_;
  ScriptedHost host_;
  Editor editor_{host_};
};

TEST_F(ConvertByTableTest, FromTheMenu) {
  const auto table = Table("table.txt", "abc=xyz\r\nnot a rule\r\nx=X\r\n");
  editor_.doc.SetLines({"abc", "ABC", "Abc", "q"});
  editor_.doc.Select(1, true);
  editor_.doc.Select(2, true);
  host_.open_files.push_back(table);
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"abc", "Xyz", "Xyz", "q"}));
  ASSERT_EQ(host_.open_dialogs.size(), 1u);
  EXPECT_EQ(SjisToUtf8(host_.open_dialogs[0].title), "変換テーブルのファイルを開く");
  EXPECT_EQ(SjisToUtf8(host_.open_dialogs[0].filter),
            "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル "
            "(*.csv)|*.csv|すべてのファイル (*.*)|*.*");
  EXPECT_EQ(editor_.record_buffer,
            (Lines{JoinFields({Sjis("[変換テーブルで変換]"), PathToSjis(table)})}));
  EXPECT_EQ(
      host_.busy_messages,
      (std::vector<std::string>{
          "変換テーブルで変換しています…", "変換テーブルで変換しています… ( 1 / 3 )",
          "変換テーブルで変換しています… ( 2 / 3 )", "変換テーブルで変換しています… ( 3 / 3 )"}));
  EXPECT_EQ(host_.commands_started, host_.commands_ended);
}

TEST_F(ConvertByTableTest, TableInShiftJisRtfOrEucJp) {
  const auto euc = Table("euc.txt", "\xC5\xEC\xB5\xFE=tokyo\n");  // 東京 in EUC-JP
  editor_.doc.SetLines({Sjis("東京")});
  host_.open_files.push_back(euc);
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"tokyo"}));

  const auto rtf = Table("table.rtf", "{\\rtf1\\ansi tokyo=Kyoto\\par\n}");
  host_.open_files.push_back(rtf);
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"Kyoto"}));
}

TEST_F(ConvertByTableTest, CancelledOrMissingFileDoesNothing) {
  editor_.doc.SetLines({"abc"});
  host_.open_files.push_back(std::nullopt);
  RunOperation(editor_, ConvertByTable);
  host_.open_files.push_back(dir_ / "missing.txt");
  RunOperation(editor_, ConvertByTable);
  EXPECT_TRUE(editor_.record_buffer.empty());
  EXPECT_EQ(host_.commands_started, 0);
  EXPECT_FALSE(editor_.modified);
}

TEST_F(ConvertByTableTest, PlayedBackWithItsParameter) {
  const auto table = Table("table.txt", "a=b\r\n");
  editor_.doc.SetLines({"aA"});
  editor_.step_params = {"071", PathToSjis(table)};
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"bb"}));
  EXPECT_TRUE(host_.open_dialogs.empty());
  EXPECT_FALSE(editor_.modified);  // no undo snapshot while playing

  editor_.step_params = {"071", "@all"};
  host_.open_files.push_back(table);
  editor_.doc.SetLines({"a"});
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(host_.open_dialogs.size(), 1u);
  EXPECT_EQ(Utf8Lines(editor_.doc.lines()), (std::vector<std::string>{"b"}));

  editor_.step_params = {"071", PathToSjis(dir_ / "missing.txt")};
  const std::size_t recorded = editor_.record_buffer.size();
  RunOperation(editor_, ConvertByTable);
  EXPECT_EQ(editor_.record_buffer.size(), recorded);
}

}  // namespace
}  // namespace parvane
