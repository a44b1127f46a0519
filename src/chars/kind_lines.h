// The six whole-line commands of "文字の種類を変換(&C)": each selected line (or
// the whole document when none is selected) is mapped as one string.
//
//   function               menu caption / step name                 code
//   ConvertToHalfWidth     "出来る限り半角文字に変換"                 011
//   ConvertToFullWidth     "出来る限り全角文字に変換"                 012
//   HiraganaToKatakana     "ひらがなを全角カタカナに変換"             027
//   KatakanaToHiragana     "全角カタカナをひらがなに変換"             028
//   ConvertToLowerCase     "大文字を小文字に変換"                     033
//   ConvertToUpperCase     "小文字を大文字に変換"                     034
//
// The step name is the caption in square brackets, recorded before the work.
#ifndef PARVANE_CHARS_KIND_LINES_H_
#define PARVANE_CHARS_KIND_LINES_H_

#include <string>
#include <string_view>

#include "chars/kind_mapping.h"
#include "editor/editor.h"

namespace parvane {

void ConvertToHalfWidth(Editor& editor);
void ConvertToFullWidth(Editor& editor);
void HiraganaToKatakana(Editor& editor);
void KatakanaToHiragana(Editor& editor);
void ConvertToLowerCase(Editor& editor);
void ConvertToUpperCase(Editor& editor);

// Returns one line as the whole-line command with `mapping` leaves it. Under
// kFullWidth no single-byte backslash remains: it has become "￥".
std::string ConvertWholeLine(KindMapping mapping, std::string_view line);

}  // namespace parvane

#endif  // PARVANE_CHARS_KIND_LINES_H_
