// A literal pattern is found by string search, not by the automata: the
// two routes must agree. The same literal in parentheses is no longer a
// literal to the compiler, so it takes the automata and serves as the
// oracle, on texts with two-byte characters (one with a 0x5C trail byte),
// half-width katakana, line breaks and a lead byte cut off at the end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "regex/kit.h"
#include "regex/literal_search.h"
#include "regex/match.h"
#include "regex/scanner.h"

namespace parvane {
namespace {

std::pair<int, int> Find(const std::string& pattern, bool ignore_case, const std::string& text) {
  int position = 0;
  int length = 0;
  RegexFind(pattern, ignore_case, text, &position, &length);
  return {position, length};
}

TEST(RegexLiteral, OnlyCharacterTokensAreALiteral) {
  auto literal = [](std::string_view pattern) {
    TbmREScanner scanner(kCharCodeShiftJis);
    scanner.SetText(pattern);
    TbmRETokens tokens;
    Tokenize(scanner, &tokens);
    return LiteralSearch::FromTokens(tokens, false).has_value();
  };
  EXPECT_TRUE(literal("abc"));
  EXPECT_TRUE(literal("a\\.b\\\\"));
  EXPECT_TRUE(literal("\x95\x5C"));
  EXPECT_FALSE(literal(""));
  EXPECT_FALSE(literal("a.b"));
  EXPECT_FALSE(literal("(ab)"));
  EXPECT_FALSE(literal("ab*"));
  EXPECT_FALSE(literal("^ab"));
}

TEST(RegexLiteral, NeverStartsOnATrailByte) {
  // 表 is 95 5C: the backslash alone is not found inside it.
  EXPECT_EQ(Find("\\\\", false, "\x95\x5C"), std::make_pair(0, 0));
  EXPECT_EQ(Find("\\\\", false, "\x95\x5C\\"), std::make_pair(3, 1));
  // 82 82 82 82 is two characters; the middle 82 82 is no character.
  EXPECT_EQ(Find("\x82\x82", false, "a\x82\x82\x82"), std::make_pair(2, 2));
  EXPECT_EQ(Find("A\x82", false, "\x82" "A\x82" "A"), std::make_pair(0, 0));
  // A code no text produces, and the cut-off lead byte the decoder makes.
  EXPECT_EQ(Find("\\x82", false, "\x82"), std::make_pair(0, 0));
  EXPECT_EQ(Find("a\\x8200", false, "xa\x82"), std::make_pair(2, 2));
}

TEST(RegexLiteral, IgnoreCaseFoldsOnlySingleByteLetters) {
  EXPECT_EQ(Find("aBc", true, "xAbC"), std::make_pair(2, 3));
  // 82 61 (Ｂ) and 82 41 differ only in a trail byte that is a letter.
  EXPECT_EQ(Find("\x82\x61", true, "\x82\x41"), std::make_pair(0, 0));
  EXPECT_EQ(Find("\x82\x61", true, "\x82\x61"), std::make_pair(1, 2));
}

TEST(RegexLiteral, LongLiteralOverALongLine) {
  const std::string pattern(20000, 'a');
  std::string line = std::string(30000, 'b') + std::string(25000, 'a');
  EXPECT_EQ(Find(pattern, false, line), std::make_pair(30001, 20000));
  std::string replaced = line;
  EXPECT_EQ(RegexReplaceAll(pattern, false, "X", replaced), 1);
  EXPECT_EQ(replaced, std::string(30000, 'b') + "X" + std::string(5000, 'a'));
}

TEST(RegexLiteral, AgreesWithTheAutomata) {
  static const std::vector<std::string> pieces = {"a", "b", "A", "\x82\xA0", "\xB1", "\x95\x5C", "\\\\",
                                                  "\\.", "\x82\xE1", "\x82\x82", "\\n", "\\x82", "\\x8200"};
  static const std::vector<std::string> letters = {"a", "b", "A", "B", "\x82\xA0", "\xB1", "\x95\x5C", "\\",
                                                   ".", "\x82\xE1", "\x82", "\x82\x82", "\n", "\r"};
  std::mt19937 rng(20261208);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string literal;
    int n = 1 + rng() % 3;
    for (int i = 0; i < n; ++i) literal += pieces[rng() % pieces.size()];
    const std::string grouped = "(" + literal + ")";
    bool ignore_case = rng() % 3 == 0;
    for (int t = 0; t < 8; ++t) {
      std::string text;
      int len = rng() % 10;
      for (int i = 0; i < len; ++i) text += letters[rng() % letters.size()];
      ASSERT_EQ(Find(literal, ignore_case, text), Find(grouped, ignore_case, text))
          << testing::PrintToString(literal) << " in " << testing::PrintToString(text) << " ignore case "
          << ignore_case;
      std::string a = text;
      std::string b = text;
      int count_a = RegexReplaceAll(literal, ignore_case, "<&>", a);
      int count_b = RegexReplaceAll(grouped, ignore_case, "<&>", b);
      ASSERT_EQ(a, b) << testing::PrintToString(literal) << " in " << testing::PrintToString(text);
      ASSERT_EQ(count_a, count_b);
      ASSERT_EQ(RegexContains(literal, ignore_case, text), RegexContains(grouped, ignore_case, text));
      ++compared;
    }
  }
  EXPECT_GT(compared, 20000);
}

}  // namespace
}  // namespace parvane
