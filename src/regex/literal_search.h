// LiteralSearch: a pattern that is nothing but a run of characters, found
// by a string search over the line's character codes instead of through the
// automata. Its cost is linear in the line plus the pattern whatever the
// pattern's length, where the lazy automata would build a new state for
// almost every character of a long literal and pay the pattern's length for
// each.
//
// Working on decoded codes (not bytes) keeps the automaton's answers: a
// match starts only at a character boundary, a lead byte cut off at the end
// of a line is the code lead * 256 as the decoder makes it, and a code that
// no text can produce (a lone lead byte written as \x82) is never found.
#ifndef PARVANE_REGEX_LITERAL_SEARCH_H_
#define PARVANE_REGEX_LITERAL_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "regex/token.h"

namespace parvane {

class LiteralSearch {
 public:
  // Returns the search for scanned tokens (before any case filter) when
  // they are one or more character tokens and the end, nullopt otherwise.
  // With ignore_case, ASCII letters match either case, as the case filter
  // makes them do in the automaton; every other code matches itself.
  static std::optional<LiteralSearch> FromTokens(const TbmRETokens& tokens, bool ignore_case);

  // Returns the code a text character is compared as (folded when the
  // search ignores case).
  std::int32_t Fold(std::int32_t code) const {
    return (ignore_case_ && code >= 'A' && code <= 'Z') ? code + 32 : code;
  }

  // Returns the index of the first occurrence in text[from, n) of the
  // pattern, text holding folded codes (Fold), or -1.
  long Find(const std::int32_t* text, std::size_t n, std::size_t from) const;

  // Sets bit p of bits (one bit per character, at least n bits, cleared by
  // the caller) for every p where the pattern occurs in text[0, n), folded
  // codes as for Find. Occurrences may overlap; the text is still read once.
  void MarkAll(const std::int32_t* text, std::size_t n, std::uint64_t* bits) const;

  // Returns the pattern's length in characters.
  std::size_t Length() const { return codes_.size(); }

  // Returns Shift_JIS bytes that every line holding a match contains (empty
  // when there are none to rely on: case ignored, or a code whose bytes are
  // not simply its lead and trail), for a byte search that passes over the
  // other lines before anything is decoded.
  const std::string& Bytes() const { return bytes_; }

 private:
  LiteralSearch(std::vector<std::int32_t> codes, bool ignore_case);

  std::vector<std::int32_t> codes_;  // folded
  std::vector<std::int32_t> border_;  // per prefix length: its longest proper border
  bool ignore_case_;
  std::string bytes_;
};

}  // namespace parvane

#endif  // PARVANE_REGEX_LITERAL_SEARCH_H_
