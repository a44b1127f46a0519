// ASCII-only letter case: keywords, extensions and step words compare this
// way, never by the locale (a Shift_JIS trail byte is not a letter to fold).
#ifndef PARVANE_TEXT_ASCII_H_
#define PARVANE_TEXT_ASCII_H_

#include <string>
#include <string_view>

namespace parvane {

// Returns s with A-Z turned into a-z; every other byte unchanged.
inline std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace parvane

#endif  // PARVANE_TEXT_ASCII_H_
