// The command table as a whole, and the step-line helpers built on it.
#include <gtest/gtest.h>

#include <set>

#include "automation/command_table.h"
#include "automation/step_line.h"
#include "text/literal.h"

namespace parvane {
namespace {

TEST(CommandTableTest, HoldsEveryCodeOnceLongestNameFirst) {
  const auto& table = CommandTable();
  ASSERT_GE(table.size(), 78u);
  std::set<int> codes;
  std::set<std::string> names;
  for (const CommandEntry& e : table) {
    codes.insert(e.code);
    names.insert(e.name);
    EXPECT_EQ(e.name.front(), '[');
    EXPECT_EQ(e.name.back(), ']');
    EXPECT_EQ(SjisToUtf8(e.name), e.name_utf8);
  }
  EXPECT_EQ(codes.size(), table.size());
  EXPECT_EQ(*codes.begin(), 1);
  EXPECT_EQ(*codes.rbegin(), kLastCommandCode);
  EXPECT_EQ(names.size(), table.size());
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_GE(table[i - 1].name.size(), table[i].name.size()) << table[i].name_utf8;
  }
  EXPECT_EQ(CommandTableLine(table.front()), Sjis("[指定した文字列を境に左右を入れ替える（正規表現）]=068"));
  EXPECT_EQ(CommandTableLine(table.back()), Sjis("[検索]=059"));
  EXPECT_EQ(CommandByCode(71)->name, Sjis("[変換テーブルで変換]"));
  EXPECT_EQ(CommandByName(Sjis("[削除]"))->code, 40);
  EXPECT_EQ(CommandByCode(0), nullptr);
  EXPECT_EQ(CommandByCode(kLastCommandCode + 1), nullptr);
  EXPECT_EQ(CommandByCode(72)->name, Sjis("[拡張正規表現検索]"));
  EXPECT_EQ(CommandByCode(73)->name, Sjis("[拡張正規表現置換]"));
}

TEST(CommandTableTest, EveryEntryHasOneAliasOfItsOwn) {
  std::set<std::string_view> aliases;
  for (const CommandEntry& e : CommandTable()) {
    EXPECT_FALSE(e.alias.empty()) << e.name_utf8 << " has no alias";
    EXPECT_TRUE(aliases.insert(e.alias).second) << e.alias << " twice";
    // The alias must read as itself in a step line and never as a code.
    EXPECT_EQ(e.alias.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"), std::string_view::npos)
        << e.alias;
    EXPECT_EQ(StepCode(e.alias), 0) << e.alias;
    EXPECT_EQ(CommandByAlias(e.alias), &e);
  }
  EXPECT_EQ(CommandByAlias(""), nullptr);
  EXPECT_EQ(CommandByAlias("Reverse"), nullptr);
  // The names a user of other tools tries first.
  const std::pair<std::string_view, int> expected[] = {
      {"reverse", 3},        {"sort", 1},           {"sort-length", 2},     {"sort-numeric", 74},
      {"shuffle", 4},        {"dedup", 56},         {"dedup-all", 76},      {"number", 5},
      {"prefix", 51},        {"suffix", 52},        {"find", 59},           {"replace", 61},
      {"regex-find", 60},    {"regex-replace", 62}, {"halfwidth", 11},      {"fullwidth", 12},
      {"hiragana", 28},      {"katakana", 27},      {"romaji", 30},         {"url-encode", 77},
      {"url-decode", 78},    {"base64-encode", 79}, {"base64-decode", 80},  {"csv-sort-numeric", 75}, {"regex-find-ext", 72}, {"regex-replace-ext", 73},
  };
  for (const auto& [alias, code] : expected) {
    ASSERT_NE(CommandByAlias(alias), nullptr) << alias;
    EXPECT_EQ(CommandByAlias(alias)->code, code) << alias;
  }
}

TEST(CommandTableTest, EveryParameterIsDescribedAndAllButAChoiceIsAsked) {
  for (const CommandEntry& e : CommandTable()) {
    for (const ParamSpec& p : e.params) {
      EXPECT_FALSE(p.description.empty()) << e.name_utf8;
      EXPECT_EQ(p.prompt.empty(), p.kind == ParamKind::kChoice) << e.name_utf8;
    }
  }
  const std::pair<int, int> expected[] = {{1, 0},  {51, 1}, {53, 1}, {55, 2}, {56, 1}, {61, 2},
                                          {62, 2}, {63, 1}, {71, 1}, {75, 1}, {76, 1}, {77, 0}};
  for (const auto& [code, count] : expected) {
    EXPECT_EQ(CommandByCode(code)->params.size(), static_cast<std::size_t>(count)) << code;
  }
  // The terminal's text is the descriptions in order; one may hold a comma.
  EXPECT_EQ(ParameterText(*CommandByCode(55)), "column (decimal), text to insert");
  EXPECT_EQ(ParameterText(*CommandByCode(63)), "key field number, counted from 0");
  EXPECT_EQ(ParameterText(*CommandByCode(1)), "");
}

TEST(StepLineTest, AnAliasInTheFirstFieldBecomesItsCode) {
  const std::pair<std::string, std::string> cases[] = {
      {"reverse", "003"},
      {"prefix,\"> \"", "051,\"> \""},
      {"replace,a,b", "061,a,b"},
      {"dedup-all,[メインウィンドウに移す]", "076,[メインウィンドウに移す]"},
      // Only a whole first field, and only there.
      {"reverses", "reverses"},
      {"prefix,sort", "051,sort"},
      {"\"sort\"", "\"sort\""},
      {"003,reverse", "003,reverse"},
      {"", ""},
  };
  for (const auto& [line, resolved] : cases) EXPECT_EQ(ResolveStepAlias(Sjis(line)), Sjis(resolved)) << line;
}

TEST(StepLineTest, NamesBecomeCodesEverywhereLongestFirst) {
  EXPECT_EQ(SubstituteStepNames(Sjis("TITLE=x\r\n[逆にする]\r\n")), "TITLE=x\r\n003\r\n");
  // A name inside a parameter is replaced too: that is how the player works.
  EXPECT_EQ(SubstituteStepNames(Sjis("[行頭に文字列を追加],[削除]")), "051,040");
  // The plain swap's name is a prefix of the pattern swap's; the longer wins.
  EXPECT_EQ(SubstituteStepNames(Sjis("[指定した文字列を境に左右を入れ替える（正規表現）],a")),
            "068,a");
  EXPECT_EQ(SubstituteStepNames(Sjis("[指定した文字列を境に左右を入れ替える],a")), "067,a");
  // Unknown names and other case stay.
  EXPECT_EQ(SubstituteStepNames(Sjis("[変換],[excel に貼り付けられる形式でコピー]")),
            Sjis("[変換],[excel に貼り付けられる形式でコピー]"));
}

TEST(StepLineTest, BracketAsTrailByteNeverStartsAName) {
  // "ー" is 81 5B: its second byte is '['. Followed by "削除]" the bytes hold
  // "[削除]" but the text does not.
  const std::string text = Sjis("ー削除]");
  ASSERT_EQ(text.substr(1), Sjis("[削除]").substr(0));
  EXPECT_EQ(SubstituteStepNames(text), text);
  EXPECT_EQ(SubstituteStepNames(Sjis("ー[削除]")), Sjis("ー") + "040");
}

TEST(StepLineTest, CodeFieldIsADecimalNumberOrZero) {
  EXPECT_EQ(StepCode("053"), 53);
  EXPECT_EQ(StepCode("5"), 5);
  EXPECT_EQ(StepCode("0005"), 5);
  EXPECT_EQ(StepCode("  7"), 7);
  EXPECT_EQ(StepCode("+8"), 8);
  EXPECT_EQ(StepCode("-3"), -3);
  EXPECT_EQ(StepCode(""), 0);
  EXPECT_EQ(StepCode("@all"), 0);
  EXPECT_EQ(StepCode("TITLE=x"), 0);
  EXPECT_EQ(StepCode("$35"), 0);
  EXPECT_EQ(StepCode("5x"), 0);
  EXPECT_EQ(StepCode("99999999999"), 0);
}

}  // namespace
}  // namespace parvane
