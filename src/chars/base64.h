// Base64 (standard alphabet, "=" padding, no line breaks) of a line, both ways.
#ifndef PARVANE_CHARS_BASE64_H_
#define PARVANE_CHARS_BASE64_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane {

// The size of the Base64 form of `size` bytes.
constexpr std::size_t Base64Size(std::size_t size) { return (size + 2) / 3 * 4; }
// The most bytes FromBase64 writes for a line of `size` bytes.
constexpr std::size_t Base64DecodedRoom(std::size_t size) { return size / 4 * 3; }
// What FromBase64 returns for a line that does not decode.
inline constexpr std::size_t kNotBase64 = static_cast<std::size_t>(-1);

// Returns the Base64 form of line's bytes; an empty line gives "".
std::string ToBase64(std::string_view line);
// The same written at out, Base64Size(line.size()) bytes.
void ToBase64(std::string_view line, char* out);

// Decodes one line into *out. Returns false, meaning the line stays as it
// is, when the line holds a two-byte Shift_JIS character, when its count of
// characters other than CR and LF is not a multiple of 4, when a group of
// four holds a character outside the alphabet or misplaced padding, or when
// the decoded bytes hold a control character other than TAB, LF and CR;
// *out is then unspecified.
// Padded groups may follow one another ("QQ==QQ==" gives "AA").
bool FromBase64(std::string_view line, std::string* out);
// The same written at out, which has room for Base64DecodedRoom(line.size())
// bytes: returns the count written, or kNotBase64 where the above returns
// false (the bytes at out are then unspecified).
std::size_t FromBase64(std::string_view line, char* out);

}  // namespace parvane

#endif  // PARVANE_CHARS_BASE64_H_
