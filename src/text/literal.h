// Conversions between the program's Shift_JIS text and UTF-8, the form of
// source-code literals, file names and the terminal.
//
// User-facing texts are written in the source as UTF-8 literals and turned
// into Shift_JIS with Sjis("..."); hot loops convert once, outside the loop.
#ifndef PARVANE_TEXT_LITERAL_H_
#define PARVANE_TEXT_LITERAL_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane {

// UTF-8 -> UTF-16. Malformed sequences give U+FFFD; four-byte sequences give a
// surrogate pair.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 -> UTF-8. A lone surrogate gives U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// UTF-8 -> Shift_JIS (code page 932); characters without a form become '?'.
std::string Sjis(std::string_view utf8);

// Shift_JIS -> UTF-8.
std::string SjisToUtf8(std::string_view sjis);

}  // namespace parvane

#endif  // PARVANE_TEXT_LITERAL_H_
