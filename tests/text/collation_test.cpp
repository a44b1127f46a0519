#include "text/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/reference_collation.h"
#include "text/cp932.h"
#include "text/literal.h"
#include "text/private_codes.h"
#include "text/sjis.h"

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

// Every character of code page 932 alone, and all of them as one line (a
// key longer than any first request for its bytes): the keys are those of
// the whole-string path.
TEST(JapaneseCollator, KeysOfEveryCodePageCharacterMatchTheWholeStringPath) {
  const JapaneseCollator c;
  std::string all;
  for (int code = 0; code <= 0xFFFF; ++code) {
    if (Cp932ToUnit(code) < 0) continue;
    std::string ch;
    if (code > 0xFF) ch += static_cast<char>(code >> 8);
    ch += static_cast<char>(code & 0xFF);
    ASSERT_EQ(c.SortKey(ch), ReferenceSortKey(ch)) << "code " << std::hex << code;
    all += ch;
  }
  EXPECT_EQ(c.SortKey(all), ReferenceSortKey(all));
}

// Letters whose case folding differs from a simple lower-casing (ß, ΐ to
// three characters, İ, final sigma, ligatures) and supplementary letters
// with case, reached through private codes.
TEST(JapaneseCollator, FoldingThroughPrivateCodesMatchesTheWholeStringPath) {
  std::u16string text;
  for (char32_t ch = 0xC0; ch < 0x250; ++ch) text += static_cast<char16_t>(ch);
  for (char32_t ch = 0x370; ch < 0x530; ++ch) text += static_cast<char16_t>(ch);
  for (char32_t ch = 0x1E00; ch < 0x1F00; ++ch) text += static_cast<char16_t>(ch);
  for (char32_t ch = 0xFB00; ch < 0xFB07; ++ch) text += static_cast<char16_t>(ch);
  for (char32_t ch = 0x10400; ch < 0x10450; ++ch) {
    text += static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10));
    text += static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
  }
  PrivateCodes codes;
  const std::string line = codes.FromUtf16(text);
  ASSERT_GT(codes.size(), 500u);
  const JapaneseCollator c(&codes);
  for (std::size_t i = 0; i < line.size(); i += SjisCharLength(line, i)) {
    const std::string ch = line.substr(i, SjisCharLength(line, i));
    ASSERT_EQ(c.SortKey(ch), ReferenceSortKey(ch, &codes)) << SjisToUtf8(ch);
  }
  EXPECT_EQ(c.SortKey(line), ReferenceSortKey(line, &codes));
}

// A prefix of every length is the start of the whole key, also at the
// boundaries of ICU's levels and of its requests (a square unit such as ㍊
// expands to five kana, more key than the first request makes room for).
TEST(JapaneseCollator, EveryPrefixIsTheStartOfTheKey) {
  for (bool with_codes : {false, true}) {
    PrivateCodes codes;
    std::vector<std::string> atoms = {"a",        "A",        "Z",        "1",        " ",
                                      "-",        Sjis("あ"), Sjis("ア"), Sjis("ー"), Sjis("ゞ"),
                                      Sjis("漢"), Sjis("㍊"), "\xB6\xDE"};
    if (with_codes) {
      atoms.push_back(codes.FromUtf8("\xC3\x89"));
      atoms.push_back(codes.FromUtf8("\xF0\x90\x90\x80"));
    }
    const JapaneseCollator c(&codes);
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
      std::string line;
      for (int k = static_cast<int>(rng() % 60); k > 0; --k) line += atoms[rng() % atoms.size()];
      const std::string key = c.SortKey(line);
      ASSERT_EQ(key, ReferenceSortKey(line, &codes));
      for (std::size_t limit = 0; limit <= key.size() + 1; ++limit) {
        ASSERT_EQ(c.SortKeyPrefix(line, limit), key.substr(0, limit))
            << "limit " << limit << " private codes " << with_codes;
      }
    }
  }
}

}  // namespace
}  // namespace parvane
