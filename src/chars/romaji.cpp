// The romaji commands; see romaji.h.
#include "chars/romaji.h"

#include <algorithm>

#include "chars/joined_blocks.h"
#include "chars/romaji_tables.h"
#include "chars/table_replacement.h"
#include "regex/kit.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr std::string_view kSyllabicNPattern = "n'([^aiueoyn]|$)";
constexpr std::size_t kChunkLines = 256;

TableReplacer& Replacer(RomajiConversion conversion) {
  static TableReplacer hepburn(HepburnTable(), false);
  static TableReplacer kunrei(KunreiTable(), false);
  static TableReplacer to_katakana(RomajiToKatakanaTable(), true);
  switch (conversion) {
    case RomajiConversion::kHepburn:
      return hepburn;
    case RomajiConversion::kKunrei:
      return kunrei;
    case RomajiConversion::kToKatakana:
      break;
  }
  return to_katakana;
}

void ConvertSelection(Editor& editor, RomajiConversion conversion, std::string_view busy_message) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis(busy_message), {.use_store = true});
  const std::size_t count = editor.work_store.size();
  const std::size_t base = count < 2 ? 1 : count - 1;
  RewriteJoinedBlocks(editor, kChunkLines, [&](std::string_view chunk, std::size_t done) {
    editor.Progress(done, base);
    return ConvertRomaji(conversion, chunk);
  });
  editor.EndProgress();
}

}  // namespace

void MarkDoubleN(std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size();) {
    if (text[i] == 'n' && text[i + 1] == 'n') {
      text[i + 1] = '\'';
      i += 2;
    } else {
      i += SjisCharLength(text, i);
    }
  }
}

void DropSyllabicNApostrophes(std::string& text) {
  if (text.find('\'') == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::string window;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const std::size_t n = SjisCharLength(text, i);
    out.append(text, i, n);
    if (n != 1 || (text[i] != 'n' && text[i] != 'N')) {
      i += n;
      continue;
    }
    // Dropping one apostrophe can bring another next to this n ("n''x"), so
    // the n is examined again until it keeps one or none follows.
    std::size_t j = i + 1;
    while (j < size && text[j] == '\'') {
      const std::size_t follower = j + 1 < size ? SjisCharLength(text, j + 1) : 0;
      window.assign("n'");
      window.append(text, j + 1, follower);
      // With letter case ignored the engine folds letters outside brackets
      // only, so [^aiueoyn] alone would take "A" for a consonant and read
      // KAN'I as KANI; the follower is folded so that upper-case vowels, y
      // and n keep the apostrophe as the lower-case ones do.
      if (follower == 1 && window[2] >= 'A' && window[2] <= 'Z')
        window[2] = static_cast<char>(window[2] + 32);
      int position = 0, length = 0;
      if (RegexFind(kSyllabicNPattern, true, window, &position, &length) != 1) break;
      out.back() = 'n';  // the rule's replacement starts with a small n
      ++j;
    }
    i = j;
  }
  text.swap(out);
}

std::string ConvertRomaji(RomajiConversion conversion, std::string_view text) {
  std::string result;
  if (conversion == RomajiConversion::kToKatakana) {
    result.assign(text);
    MarkDoubleN(result);
    DropSyllabicNApostrophes(result);
    return Replacer(conversion).Replace(result);
  }
  result = Replacer(conversion).Replace(text);
  MarkDoubleN(result);
  DropSyllabicNApostrophes(result);
  return result;
}

void RomajiToKatakana(Editor& editor) {
  ConvertSelection(editor, RomajiConversion::kToKatakana, "カタカナに変換しています…");
}

void KatakanaToHepburn(Editor& editor) {
  ConvertSelection(editor, RomajiConversion::kHepburn, "ローマ字（ヘボン式）に変換しています…");
}

void KatakanaToKunrei(Editor& editor) {
  ConvertSelection(editor, RomajiConversion::kKunrei, "ローマ字（訓令式）に変換しています…");
}

}  // namespace parvane
