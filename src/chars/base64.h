// Base64 (standard alphabet, "=" padding, no line breaks) of a line, both ways.
#ifndef PARVANE_CHARS_BASE64_H_
#define PARVANE_CHARS_BASE64_H_

#include <string>
#include <string_view>

namespace parvane {

// Returns the Base64 form of line's bytes; an empty line gives "".
std::string ToBase64(std::string_view line);

// Decodes one line into *out. Returns false, meaning the line stays as it
// is, when the line holds a two-byte Shift_JIS character, when its count of
// characters other than CR and LF is not a multiple of 4, when a group of
// four holds a character outside the alphabet or misplaced padding, or when
// the decoded bytes hold a control character other than TAB, LF and CR.
// Padded groups may follow one another ("QQ==QQ==" gives "AA").
bool FromBase64(std::string_view line, std::string* out);

}  // namespace parvane

#endif  // PARVANE_CHARS_BASE64_H_
