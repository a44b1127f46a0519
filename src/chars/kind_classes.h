// The eleven class commands of "文字の種類を変換(&C)": one handler walks the
// text character by character and maps only the characters of one class (or,
// for "全角と半角を入れ替える", swaps the width of every character).
//
//   function                 menu caption / step name            code
//   AlphabetToHalfWidth      "アルファベットを半角に変換"          017
//   DigitsToHalfWidth        "数字を半角に変換"                    018
//   SymbolsToHalfWidth       "記号を半角に変換"                    019
//   KatakanaToHalfWidth      "カタカナを半角に変換"                020
//   AlphabetToFullWidth      "アルファベットを全角に変換"          021
//   DigitsToFullWidth        "数字を全角に変換"                    022
//   SymbolsToFullWidth       "記号を全角に変換"                    023
//   KatakanaToFullWidth      "カタカナを全角に変換"                024
//   SwapWidth                "全角と半角を入れ替える"              025
//   SwapHiraganaKatakana     "ひらがなとカタカナを入れ替える"      026
//   SwapCase                 "大文字と小文字を入れ替える"          032
//
// The step name is the caption in square brackets, recorded before the work.
#ifndef PARVANE_CHARS_KIND_CLASSES_H_
#define PARVANE_CHARS_KIND_CLASSES_H_

#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

enum class KindClass {
  kAlphabetToHalfWidth,   // U+FF21-FF3A, FF41-FF5A -> half width
  kDigitsToHalfWidth,     // U+FF10-FF19 -> half width
  kSymbolsToHalfWidth,    // U+3000, FF01-FF0F, FF1A-FF20, FF3B-FF40, FF5B-FF5E -> half width
  kKatakanaToHalfWidth,   // U+3001-30FE -> half width (hiragana have no half form)
  kAlphabetToFullWidth,   // A-Z, a-z -> full width
  kDigitsToFullWidth,     // 0-9 -> full width
  kSymbolsToFullWidth,    // ASCII punctuation and space -> full width; "\" -> "￥"
  kKatakanaToFullWidth,   // U+FF61-FF9F -> full width, a following ﾞ/ﾟ merging
  kSwapWidth,             // one-byte characters -> full width, two-byte -> half; "\" -> "￥"
  kSwapHiraganaKatakana,  // U+3041-3093 -> katakana, U+30A1-30F3 -> hiragana
  kSwapCase,              // A-Z, Ａ-Ｚ -> lower case; a-z, ａ-ｚ -> upper case
};

void AlphabetToHalfWidth(Editor& editor);
void DigitsToHalfWidth(Editor& editor);
void SymbolsToHalfWidth(Editor& editor);
void KatakanaToHalfWidth(Editor& editor);
void AlphabetToFullWidth(Editor& editor);
void DigitsToFullWidth(Editor& editor);
void SymbolsToFullWidth(Editor& editor);
void KatakanaToFullWidth(Editor& editor);
void SwapWidth(Editor& editor);
void SwapHiraganaKatakana(Editor& editor);
void SwapCase(Editor& editor);

// Runs the class command `kind` on the selection (the shared handler).
void ConvertKindClass(Editor& editor, KindClass kind);

// Appends text converted by the class rule of `kind` to *out. Characters
// outside the class are copied byte for byte. A mapped form longer than two
// bytes is not used: the character stays (so ｱﾞ stays ｱﾞ under
// kKatakanaToFullWidth, having no single full-width form).
void AppendKindClassConverted(KindClass kind, std::string_view text, std::string* out);

// Returns text converted by the class rule of `kind`.
std::string KindClassConverted(KindClass kind, std::string_view text);

}  // namespace parvane

#endif  // PARVANE_CHARS_KIND_CLASSES_H_
