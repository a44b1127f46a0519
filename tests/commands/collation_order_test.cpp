// The key sorts against the stable order of whole keys: the syllabary order
// against the keys as the program first made them (support/
// reference_collation.h), the numeric order against its own whole keys. The
// lines are built to tie, within the kept key prefix and past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "commands/sorting.h"
#include "editor/editor.h"
#include "support/reference_collation.h"
#include "support/scripted_host.h"
#include "text/collation.h"

namespace parvane {
namespace {

// Letters of both cases, digits of both widths, kana of every kind (a
// half-width one with its voicing mark), kanji, long vowels, iteration
// marks, punctuation, a square unit that expands to kana; lines empty,
// repeated, carried on from earlier ones, or long and sharing a beginning.
Lines RandomLines(std::mt19937& rng, std::size_t count, const Lines& extra_atoms) {
  Lines atoms = SjisLines({"a",  "A",  "z",  "Z",  "m",  "M",  "0",  "5",  "9",  "０", "１", "あ",
                           "か", "が", "ぱ", "ゃ", "ア", "カ", "ガ", "パ", "ャ", "ヴ", "ｱ",  "ｶ",
                           "ｶﾞ", "ｯ",  "ｰ",  "亜", "漢", "字", "ー", "ゝ", "ゞ", "ヽ", "ヾ", "々",
                           "-",  " ",  "、", "。", "・", "!",  "'",  "　", "Ａ", "ａ", "㍊"});
  atoms.insert(atoms.end(), extra_atoms.begin(), extra_atoms.end());
  const Lines stems =
      SjisLines({"東京都千代田区千代田一丁目", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ", "abcdefghijklmnop"});
  auto some_atoms = [&](std::size_t most) {
    std::string text;
    for (std::size_t k = rng() % (most + 1); k > 0; --k) text += atoms[rng() % atoms.size()];
    return text;
  };
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned kind = rng() % 10;
    if (kind == 0 || lines.empty()) {
      lines.push_back(kind == 0 ? "" : some_atoms(30));
    } else if (kind <= 2) {
      lines.push_back(lines[rng() % lines.size()]);
    } else if (kind <= 4) {
      lines.push_back(lines[rng() % lines.size()] + some_atoms(3));
    } else if (kind == 5) {
      lines.push_back(stems[rng() % stems.size()] + some_atoms(4));
    } else {
      lines.push_back(some_atoms(30));
    }
  }
  return lines;
}

// With and without private codes (letters whose folding the table's
// characters need, one outside the BMP), on enough lines for every core.
TEST(CollationOrderTest, SyllabaryOrderIsTheStableOrderOfTheReferenceKeys) {
  std::mt19937 rng(17);
  for (bool with_codes : {false, true}) {
    ScriptedHost host;
    Editor editor{host};
    Lines extra;
    if (with_codes) {
      for (const char* utf8 :
           {"\xC3\xA9", "\xC3\x89", "\xC3\x9F", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"}) {
        extra.push_back(editor.private_codes.FromUtf8(utf8));
      }
    }
    const Lines lines = RandomLines(rng, 30000, extra);
    const Lines expected = StableSortedBy(lines, [&](const std::string& line) {
      return ReferenceSortKey(line, &editor.private_codes);
    });
    editor.doc.SetLines(lines);
    SortBySyllabary(editor);
    ASSERT_EQ(editor.doc.lines().ToStrings(), expected) << "private codes: " << with_codes;
  }
}

TEST(CollationOrderTest, NumericOrderIsTheStableOrderOfItsWholeKeys) {
  std::mt19937 rng(19);
  ScriptedHost host;
  Editor editor{host};
  const Lines lines = RandomLines(rng, 30000, {});
  const JapaneseCollator collator;
  const Lines expected = StableSortedBy(
      lines, [&](const std::string& line) { return NumericSortKey(collator, line); });
  editor.doc.SetLines(lines);
  SortNumerically(editor);
  ASSERT_EQ(editor.doc.lines().ToStrings(), expected);
}

}  // namespace
}  // namespace parvane
