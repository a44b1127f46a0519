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
  ASSERT_EQ(table.size(), 73u);
  std::set<int> codes;
  std::set<std::string> names;
  for (const CommandEntry& e : table) {
    codes.insert(e.code);
    names.insert(e.name);
    EXPECT_EQ(e.name.front(), '[');
    EXPECT_EQ(e.name.back(), ']');
    EXPECT_EQ(SjisToUtf8(e.name), e.name_utf8);
  }
  EXPECT_EQ(codes.size(), 73u);
  EXPECT_EQ(*codes.begin(), 1);
  EXPECT_EQ(*codes.rbegin(), kLastCommandCode);
  EXPECT_EQ(names.size(), 73u);
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_GE(table[i - 1].name.size(), table[i].name.size()) << table[i].name_utf8;
  }
  EXPECT_EQ(CommandTableLine(table.front()), Sjis("[指定した文字列を境に左右を入れ替える（正規表現）]=068"));
  EXPECT_EQ(CommandTableLine(table.back()), Sjis("[検索]=059"));
  EXPECT_EQ(CommandByCode(71)->name, Sjis("[変換テーブルで変換]"));
  EXPECT_EQ(CommandByName(Sjis("[削除]"))->code, 40);
  EXPECT_EQ(CommandByCode(0), nullptr);
  EXPECT_EQ(CommandByCode(72)->name, Sjis("[拡張正規表現検索]"));
  EXPECT_EQ(CommandByCode(73)->name, Sjis("[拡張正規表現置換]"));
  EXPECT_EQ(CommandByCode(74), nullptr);
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
