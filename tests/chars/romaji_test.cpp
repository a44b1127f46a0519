// Romaji conversion: the tables, the one-pass table replacement against the
// entry-by-entry definition, the n rules and the commands.
#include "chars/romaji.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "automation/run_command.h"
#include "chars/romaji_tables.h"
#include "chars/table_replacement.h"
#include "regex/kit.h"
#include "support/scripted_host.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

std::string Romaji(RomajiConversion conversion, std::string_view utf8) {
  std::string out = SjisToUtf8(ConvertRomaji(conversion, Sjis(utf8) + "\r\n"));
  EXPECT_TRUE(out.ends_with("\r\n"));
  return out.substr(0, out.size() - 2);
}

TEST(RomajiTablesTest, SizesAndKunreiDifferences) {
  EXPECT_EQ(HepburnTable().size(), 226u);
  EXPECT_EQ(KunreiTable().size(), 226u);
  EXPECT_EQ(RomajiToKatakanaTable().size(), 257u);
  int differences = 0;
  for (std::size_t i = 0; i < HepburnTable().size(); ++i) {
    EXPECT_EQ(HepburnTable()[i].key, KunreiTable()[i].key);
    differences += HepburnTable()[i].value != KunreiTable()[i].value;
  }
  EXPECT_EQ(differences, 31);
  // Keys never grow from one group to the next: longest first.
  for (const ReplacementTable* table : {&HepburnTable(), &RomajiToKatakanaTable()}) {
    for (std::size_t i = 1; i < table->size(); ++i) {
      EXPECT_GE(SjisCharCount((*table)[i - 1].key), SjisCharCount((*table)[i].key)) << i;
    }
  }
}

TEST(RomajiTest, Hepburn) {
  const auto h = RomajiConversion::kHepburn;
  EXPECT_EQ(Romaji(h, "シンブン"), "shinbun");
  EXPECT_EQ(Romaji(h, "ホンヤ"), "hon'ya");
  EXPECT_EQ(Romaji(h, "キンイ"), "kin'i");
  EXPECT_EQ(Romaji(h, "カンノン"), "kan'non");
  EXPECT_EQ(Romaji(h, "ガッコウ"), "gakkou");
  EXPECT_EQ(Romaji(h, "チョコレート"), "chokore-to");
  EXPECT_EQ(Romaji(h, "ジュース"), "ju-su");
  EXPECT_EQ(Romaji(h, "シェ ティ"), "shixe texi");
  EXPECT_EQ(Romaji(h, "ンア"), "n'a");
  // An earlier entry of the same length wins an overlap: ディ before ッデ.
  EXPECT_EQ(Romaji(h, "ッディ"), "xtsudyi");
}

TEST(RomajiTest, Kunrei) {
  const auto k = RomajiConversion::kKunrei;
  EXPECT_EQ(Romaji(k, "シンブン"), "sinbun");
  EXPECT_EQ(Romaji(k, "チョコ"), "tyoko");
  EXPECT_EQ(Romaji(k, "ツ"), "tu");
  EXPECT_EQ(Romaji(k, "ッチャフ"), "ttyahu");
}

TEST(RomajiTest, ToKatakana) {
  const auto r = RomajiConversion::kToKatakana;
  EXPECT_EQ(Romaji(r, "konnnichiha"), "コンニチハ");
  EXPECT_EQ(Romaji(r, "kon'nichiha"), "コンニチハ");
  EXPECT_EQ(Romaji(r, "konnichiha"), "コンイチハ");
  EXPECT_EQ(Romaji(r, "honda"), "ホンダ");
  EXPECT_EQ(Romaji(r, "kan'i"), "カンイ");
  EXPECT_EQ(Romaji(r, "KAPPA Kappa"), "カッパ カッパ");
  EXPECT_EQ(Romaji(r, "KAN'I kan'I"), "カンイ カンイ");
  EXPECT_EQ(Romaji(r, "2-3"), "2ー3");
}

TEST(RomajiTest, OtherTextStaysOrIsConvertedToo) {
  const auto h = RomajiConversion::kHepburn;
  EXPECT_EQ(Romaji(h, "ひらがな漢字ｶﾀｶﾅ"), "ひらがな漢字ｶﾀｶﾅ");
  EXPECT_EQ(Romaji(h, "annual"), "an'ual");
  EXPECT_EQ(Romaji(h, ""), "");
}

TEST(RomajiTest, DoubleNOnCharacterBoundariesOnly) {
  std::string text = "nnn " + Sjis("ハ") + "n";  // ハ is 0x83 0x6E: its trail byte is "n"
  MarkDoubleN(text);
  EXPECT_EQ(text, "n'n " + Sjis("ハ") + "n");
}

TEST(RomajiTest, SyllabicNRule) {
  auto drop = [](std::string text) {
    DropSyllabicNApostrophes(text);
    return text;
  };
  EXPECT_EQ(drop("kan'non'"), "kan'non");
  EXPECT_EQ(drop("n'a n'y n'n n'b n'"), "n'a n'y n'n nb n");
  EXPECT_EQ(drop("N'b N'A"), "nb N'A");
  // Dropping one apostrophe brings the next to the n.
  EXPECT_EQ(drop("n''b n'''a"), "nb n'a");
  EXPECT_EQ(drop("n'" + Sjis("ソ")), "n" + Sjis("ソ"));
  // Characters a replacement template would read specially stay literal.
  EXPECT_EQ(drop("n'& n'\\"), "n& n\\");
}

// The rule as described: find the first match, replace it by "n" and what
// follows the apostrophe, until nothing matches.
std::string SyllabicNByDefinition(std::string text) {
  // Upper-case followers keep the apostrophe as lower-case ones do.
  constexpr std::string_view pattern = "n'([^aiueoynAIUEOYN]|$)";
  int position = 0, length = 0;
  while (RegexFind(pattern, true, text, &position, &length) != 0) {
    std::string replacement = "n" + text.substr(position - 1 + 2, length - 2);
    RegexReplaceFirst(pattern, true, replacement, text);
  }
  return text;
}

TEST(RomajiTest, SyllabicNRuleAgreesWithTheRepeatedReplacement) {
  const std::vector<std::string> alphabet = {"n", "N", "'", "'",    "a",
                                             "Y", "b", " ", "\r\n", Sjis("あ")};
  std::mt19937 random(5);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    std::string fast = text;
    DropSyllabicNApostrophes(fast);
    ASSERT_EQ(fast, SyllabicNByDefinition(text)) << "text: " << text;
  }
}

// --- one-pass table replacement against the entry-by-entry definition ---

// True when key occurs in text at p, case folded when asked.
bool KeyAt(std::string_view text, std::size_t p, std::string_view key, bool ignore_case) {
  if (p + key.size() > text.size()) return false;
  for (std::size_t j = 0; j < key.size(); ++j) {
    unsigned char a = static_cast<unsigned char>(text[p + j]),
                  b = static_cast<unsigned char>(key[j]);
    if (ignore_case) {
      if (a >= 'A' && a <= 'Z') a += 32;
      if (b >= 'A' && b <= 'Z') b += 32;
    }
    if (a != b) return false;
  }
  // The occurrence must end on a character boundary of the text.
  std::size_t q = p;
  while (q < p + key.size()) q += SjisCharLength(text, q);
  return q == p + key.size();
}

std::string ReplaceEntryByEntry(std::string text, const ReplacementTable& table, bool ignore_case) {
  for (const TableEntry& entry : table) {
    std::string_view value;
    for (const TableEntry& first : table) {
      if (first.key == entry.key) {
        value = first.value;
        break;
      }
    }
    std::string out;
    for (std::size_t p = 0; p < text.size();) {
      if (KeyAt(text, p, entry.key, ignore_case)) {
        out += value;
        p += entry.key.size();
      } else {
        const std::size_t n = SjisCharLength(text, p);
        out.append(text, p, n);
        p += n;
      }
    }
    text = std::move(out);
  }
  return text;
}

void CheckAgainstEntryByEntry(const ReplacementTable& table, bool ignore_case,
                              const std::vector<std::string>& alphabet, unsigned seed) {
  TableReplacer replacer(table, ignore_case);
  std::mt19937 random(seed);
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    ASSERT_EQ(replacer.Replace(text), ReplaceEntryByEntry(text, table, ignore_case))
        << "text: " << SjisToUtf8(text);
  }
}

std::vector<std::string> KanaAlphabet() {
  std::vector<std::string> alphabet;
  for (const char* kana :
       {"ッ", "ッ", "ッ", "ン", "ン", "ー", "ヴ", "ァ", "ィ", "ェ", "ォ", "ャ", "ュ",
        "ョ", "リ", "フ", "ヒ", "ピ", "ビ", "ヂ", "チ", "シ", "ジ", "キ", "ギ", "デ",
        "テ", "ニ", "ミ", "ア", "ハ", "カ", "ツ", "あ", "漢", "ｱ",  "ﾞ"}) {
    alphabet.push_back(Sjis(kana));
  }
  for (const char* ascii : {"a", "n", "'", " "}) alphabet.push_back(ascii);
  return alphabet;
}

TEST(TableReplacementTest, HepburnAgreesWithEntryByEntry) {
  CheckAgainstEntryByEntry(HepburnTable(), false, KanaAlphabet(), 1);
}

TEST(TableReplacementTest, KunreiAgreesWithEntryByEntry) {
  CheckAgainstEntryByEntry(KunreiTable(), false, KanaAlphabet(), 2);
}

TEST(TableReplacementTest, RomajiAgreesWithEntryByEntry) {
  std::vector<std::string> alphabet;
  for (const char* s :
       {"a", "i", "u", "e", "o", "y", "n", "n", "s", "h", "t", "c", "k", "z", "j", "d", "p",
        "x", "w", "f", "b", "r", "v", "g", "m", "A", "N", "S", "H", "T", "'", "-", " ", "2"}) {
    alphabet.push_back(s);
  }
  // Two-byte characters whose trail bytes are letters (ア, カ, ハ) and a
  // half-width katakana: none may be taken for romaji.
  for (const char* s : {"ア", "カ", "ハ", "漢", "ｱ"}) alphabet.push_back(Sjis(s));
  CheckAgainstEntryByEntry(RomajiToKatakanaTable(), true, alphabet, 3);
}

TEST(TableReplacementTest, RefusesTablesWhoseValuesCouldMatchKeys) {
  EXPECT_THROW(TableReplacer({{"a", "b"}}, false), std::invalid_argument);
  EXPECT_THROW(TableReplacer({{"", "b"}}, false), std::invalid_argument);
}

// --- the commands ---

TEST(RomajiCommandTest, ChunksKeepEveryLineAndTheSelection) {
  ScriptedHost host;
  Editor editor(host);
  Lines lines;
  for (int i = 0; i < 700; ++i) lines.push_back(Sjis(i % 2 ? "シンブン" : ""));
  lines.push_back(Sjis("ホンヤ"));
  editor.doc.SetLines(lines);
  RunOperation(editor, KatakanaToHepburn);
  ASSERT_EQ(editor.doc.size(), 701u);
  for (int i = 0; i < 700; ++i) ASSERT_EQ(editor.doc.line(i), i % 2 ? "shinbun" : "") << i;
  EXPECT_EQ(editor.doc.line(700), "hon'ya");
  EXPECT_EQ(Utf8Lines(editor.record_buffer),
            (std::vector<std::string>{"[カタカナをローマ字（ヘボン式）に変換]"}));

  editor.doc.SetLines({"ka", "ka", "ka", "ka"});
  editor.doc.Select(1, true);
  editor.doc.Select(2, true);
  RunOperation(editor, RomajiToKatakana);
  EXPECT_EQ(Utf8Lines(editor.doc.lines()), (std::vector<std::string>{"ka", "カ", "カ", "ka"}));
  RunOperation(editor, KatakanaToKunrei);
  EXPECT_EQ(Utf8Lines(editor.record_buffer).back(), "[カタカナをローマ字（訓令式）に変換]");
  EXPECT_EQ(host.busy_messages.back(), "ローマ字（訓令式）に変換しています…");
}

TEST(RomajiCommandTest, EmptyDocumentStaysEmpty) {
  ScriptedHost host;
  Editor editor(host);
  RunOperation(editor, RomajiToKatakana);
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(Utf8Lines(editor.record_buffer),
            (std::vector<std::string>{"[ローマ字をカタカナに変換]"}));
}

}  // namespace
}  // namespace parvane
