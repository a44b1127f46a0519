// Shift_JIS character stepping: the one definition of "a character" that every
// character-aware rule of the program uses.
//
// A byte below 0x80 is one character; 0xA1-0xDF is a half-width katakana (one
// byte); any other byte 0x80-0xFF starts a two-byte character. Widths and
// columns are counted in bytes: one column per byte.
#ifndef PARVANE_TEXT_SJIS_H_
#define PARVANE_TEXT_SJIS_H_

#include <cstddef>
#include <string_view>

namespace parvane {

// Returns true when b is a half-width katakana byte (0xA1-0xDF).
constexpr bool IsHalfWidthKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

// Returns true when b starts a two-byte character, as the editing commands
// step through text (every byte from 0x80 but half-width katakana).
constexpr bool IsSjisLeadByte(unsigned char b) { return b >= 0x80 && !IsHalfWidthKana(b); }

// Returns true when b is a lead byte of code page 932's two-byte codes
// (0x81-0x9F, 0xE0-0xFC): the strict test that code conversion uses.
constexpr bool IsDoubleByteLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Returns true when b may follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsSjisTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Writes code (a byte below 0x100, else lead << 8 | trail) at p; returns the
// position after it.
inline char* PutSjisCode(char* p, int code) {
  if (code < 0x100) {
    *p++ = static_cast<char>(code);
  } else {
    *p++ = static_cast<char>(code >> 8);
    *p++ = static_cast<char>(code & 0xFF);
  }
  return p;
}

// Returns the length in bytes (1 or 2) of the character that starts at s[i].
// A lead byte at the very end of s counts as a character of one byte.
inline std::size_t SjisCharLength(std::string_view s, std::size_t i) {
  return (IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Returns the number of characters in s.
std::size_t SjisCharCount(std::string_view s);

// Returns the byte index of the start of the character that contains byte i,
// scanning from the start of s (Shift_JIS cannot be stepped backwards safely).
std::size_t SjisCharStart(std::string_view s, std::size_t i);

// Calls f(start, length) for every character of s, in order.
template <typename F>
void ForEachSjisChar(std::string_view s, F&& f) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = SjisCharLength(s, i);
    f(i, n);
    i += n;
  }
}

}  // namespace parvane

#endif  // PARVANE_TEXT_SJIS_H_
