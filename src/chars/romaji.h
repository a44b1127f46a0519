// The three romaji commands at the end of "文字の種類を変換(&C)".
//
//   function           menu caption / step name                      code
//   RomajiToKatakana   "ローマ字をカタカナに変換"                      029
//   KatakanaToHepburn  "カタカナをローマ字（ヘボン式）に変換"          030
//   KatakanaToKunrei   "カタカナをローマ字（訓令式）に変換"            031
//
// The step name is the caption in square brackets, recorded before the work.
// Lines are converted in chunks of 256, each joined with CR LF.
#ifndef PARVANE_CHARS_ROMAJI_H_
#define PARVANE_CHARS_ROMAJI_H_

#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

enum class RomajiConversion {
  kToKatakana,  // "nn" -> "n'", syllabic n rule, then the romaji table
  kHepburn,     // the Hepburn table, "nn" -> "n'", then the syllabic n rule
  kKunrei,      // the Kunrei table, "nn" -> "n'", then the syllabic n rule
};

void RomajiToKatakana(Editor& editor);
void KatakanaToHepburn(Editor& editor);
void KatakanaToKunrei(Editor& editor);

// Returns text converted as one chunk is. All of the text takes part: Latin
// words are converted too (so "annual" becomes "an'ual" on the way to romaji).
std::string ConvertRomaji(RomajiConversion conversion, std::string_view text);

// Replaces every "nn" (exact case, on character boundaries, left to right,
// not overlapping) by "n'".
void MarkDoubleN(std::string& text);

// The syllabic n rule: repeatedly, the first match of "n'([^aiueoyn]|$)"
// (letter case ignored) is replaced by "n" followed by what the match holds
// after its first two bytes, until nothing matches. So an apostrophe after n
// goes unless a vowel, y or n (of either case) follows. Linear: each candidate n' is decided
// by RegexFind on a window of the n, the apostrophe and the next character.
void DropSyllabicNApostrophes(std::string& text);

}  // namespace parvane

#endif  // PARVANE_CHARS_ROMAJI_H_
