// The loader's last word on text that the byte rules of DetectJapaneseCode
// leave undecided (CodeEucOrSjis: every byte is valid in both EUC-JP and
// Shift_JIS). Entry point: GuessEucOrSjis.
#ifndef PARVANE_CODES_CODE_GUESS_H_
#define PARVANE_CODES_CODE_GUESS_H_

#include <string_view>

#include "codes/jis.h"

namespace parvane {

// Returns CodeEuc when reading text as EUC-JP gives more ordinary Japanese
// (hiragana, katakana, level-1 kanji, JIS punctuation) than reading it as
// Shift_JIS (where such bytes are mostly half-width katakana), otherwise
// CodeSjis. A tie goes to EUC-JP: two kanji read as four half-width
// katakana score alike, and the kanji are by far the likelier text. A
// reading's score drops for every byte sequence that is no character in it. Meant for CodeEucOrSjis text only:
// what the byte rules decide is never guessed again.
JapaneseCode GuessEucOrSjis(std::string_view text);

}  // namespace parvane

#endif  // PARVANE_CODES_CODE_GUESS_H_
