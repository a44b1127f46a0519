#include "text/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/literal.h"
#include "text/private_codes.h"

namespace parvane {
namespace {

int Sign(int x) { return (x > 0) - (x < 0); }

int KeyOrder(const std::string& a, const std::string& b) { return Sign(a.compare(b)); }

TEST(JapaneseCollator, LetterCaseIsIgnored) {
  JapaneseCollator c;
  EXPECT_EQ(c.Compare("abc", "ABC"), 0);
  EXPECT_EQ(c.Compare(Sjis("ａｂｃ"), Sjis("ＡＢＣ")), 0);
  EXPECT_EQ(c.SortKey("Hello"), c.SortKey("hELLO"));
  EXPECT_LT(c.Compare("apple", "Banana"), 0);
  EXPECT_GT(c.Compare("Banana", "apple"), 0);
}

TEST(JapaneseCollator, JapaneseOrder) {
  JapaneseCollator c;
  std::vector<std::string> words = {Sjis("漢字"), Sjis("かき"), Sjis("あお"), "zeta",
                                    Sjis("カキ"), "Alpha", "10", Sjis("いぬ"), ""};
  std::sort(words.begin(), words.end(),
            [&](const std::string& a, const std::string& b) { return c.Compare(a, b) < 0; });
  // Digits, Latin, kana in gojuon order (hiragana and katakana together), kanji.
  ASSERT_EQ(words.size(), 9u);
  EXPECT_EQ(words[0], "");
  EXPECT_EQ(words[1], "10");
  EXPECT_EQ(words[2], "Alpha");
  EXPECT_EQ(words[3], "zeta");
  EXPECT_EQ(words[4], Sjis("あお"));
  EXPECT_EQ(words[5], Sjis("いぬ"));
  EXPECT_EQ(words[8], Sjis("漢字"));
}

TEST(JapaneseCollator, SortKeysOrderAsCompareDoes) {
  JapaneseCollator c;
  const std::vector<std::string> atoms = {"a", "A", "b", "-", " ", "1", Sjis("あ"), Sjis("ア"),
                                          "\xB1", Sjis("ー"), Sjis("亜"), Sjis("ｂ"), "\x82"};
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 400; ++i) {
    std::string t;
    int n = static_cast<int>(rng() % 5);
    for (int k = 0; k < n; ++k) t += atoms[rng() % atoms.size()];
    texts.push_back(t);
  }
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    const std::string& a = texts[i];
    const std::string& b = texts[i + 1];
    EXPECT_EQ(KeyOrder(c.SortKey(a), c.SortKey(b)), Sign(c.Compare(a, b)));
    EXPECT_EQ(Sign(c.Compare(a, b)), -Sign(c.Compare(b, a)));
  }
}

TEST(JapaneseCollator, PrivateCodesSortAsTheirCharacters) {
  PrivateCodes codes;
  const std::string e_acute = codes.FromUtf8("\xC3\xA9");      // é
  const std::string grinning = codes.FromUtf8("\xF0\x9F\x98\x80");
  const std::string upper_e_acute = codes.FromUtf8("\xC3\x89");  // É
  ASSERT_EQ(e_acute, "\xF0\x40");
  const JapaneseCollator c(&codes);
  EXPECT_LT(c.Compare("e", e_acute), 0);
  EXPECT_LT(c.Compare(e_acute, "f"), 0);
  EXPECT_EQ(c.Compare(e_acute, upper_e_acute), 0) << "letter case folds";
  EXPECT_EQ(KeyOrder(c.SortKey("e"), c.SortKey(e_acute)), -1);
  EXPECT_EQ(KeyOrder(c.SortKey(e_acute), c.SortKey("f")), -1);
  // An emoji is a symbol: before letters, not among the private-use characters.
  EXPECT_LT(c.Compare(grinning, "a"), 0);
  // Without the table the codes are private-use characters, after everything.
  const JapaneseCollator plain;
  EXPECT_GT(plain.Compare(e_acute, "f"), 0);
}

}  // namespace
}  // namespace parvane
