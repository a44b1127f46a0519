// FixedWidthSearch: a long pattern each of whose items reads exactly one
// character (characters, dots, bracket classes; ^ first and $ last allowed),
// found without the automata.
//
// The lazy automata pay for such a pattern where its own text repeats (a
// run of `a` with one `.` in the middle, over a line of `a`): every
// position that the text can have reached is live at once, each state
// costs the pattern's length to build, and the bounded cache is emptied
// over and over, so a search costs the pattern's length times the line's.
// Here the pattern is cut into pieces - maximal runs of characters, and the
// other one-character items - and each distinct piece is looked for once
// over the whole line (a string search for a run, a membership test per
// character for a class), giving a bit per character where it occurs. A
// match starts where every piece occurs at its offset from the start: an
// AND of the pieces' bits, shifted, 64 starts at a time. The cost is the
// line per distinct piece plus the line / 64 per piece, never the pattern's
// length times the line's.
//
// Every match has the pattern's width in characters, so the leftmost one
// is also the leftmost-longest, as the automata would find it.
#ifndef PARVANE_REGEX_FIXED_WIDTH_H_
#define PARVANE_REGEX_FIXED_WIDTH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "regex/literal_search.h"
#include "regex/partition.h"
#include "regex/token.h"

namespace parvane {
namespace regex_internal {

// One item of a pattern that reads exactly one character: a character
// (which a case filter may fold), or a set of characters (a dot or a bracket
// class, with a negated class already turned positive without the line
// breaks, as Standardize does), compared as they stand.
struct CharacterItem {
  bool character = false;                      // a character, code; otherwise ranges
  std::int32_t code = 0;
  std::vector<TbmREWchRanges::Range> ranges;  // sorted and disjoint
};

// Reads the item at tokens[*at] (a character, a dot, or a whole bracket
// class of scanned tokens) into *item, leaving *at on its last token.
// Returns false for any other token, *at then unchanged.
bool ReadCharacterItem(const TbmRETokens& tokens, std::size_t* at, CharacterItem* item);

// Returns whether code lies in ranges (sorted and disjoint).
bool InRanges(const std::vector<TbmREWchRanges::Range>& ranges, std::int32_t code);

}  // namespace regex_internal

class FixedWidthSearch {
 public:
  // Patterns narrower than this stay with the automata, which cache their
  // few states and beat a pass per piece.
  static constexpr std::size_t kMinWidth = 32;
  // More distinct pieces than this stay with the automata: each costs a pass
  // over the line, and a pattern of many different pieces does not keep
  // many positions live at once, which is what makes the automata slow.
  static constexpr std::size_t kMaxDistinctPieces = 64;

  // Returns the search for scanned tokens (before any case filter; counts
  // already written out) when they are an optional ^, at least min_width
  // one-character items, an optional $ and the end; nullopt otherwise (the
  // automata then search). With ignore_case, ASCII letters outside brackets
  // match either case, as the case filter makes them do in the automaton;
  // classes and dots test the character as it stands.
  static std::optional<FixedWidthSearch> FromTokens(const TbmRETokens& tokens, bool ignore_case,
                                                    std::size_t min_width = kMinWidth);

  // Returns the number of characters of every match.
  std::size_t Width() const { return width_; }
  bool HeadAnchored() const { return head_; }
  bool TailAnchored() const { return tail_; }
  bool IgnoreCase() const { return ignore_case_; }

  // Returns Shift_JIS bytes that every line holding a match contains (empty
  // when there are none to rely on), for a byte search that passes over the
  // other lines before anything is decoded: those of the longest run.
  const std::string& RequiredBytes() const { return required_bytes_; }

  // Returns the code a character is compared with by the runs (folded when
  // case is ignored); classes see codes as they stand.
  std::int32_t Fold(std::int32_t code) const {
    return (ignore_case_ && code >= 'A' && code <= 'Z') ? code + 32 : code;
  }

  // Sets starts to one bit per boundary 0..n: bit i when a match starts at
  // character i. codes are the line's character codes, folded their Fold
  // (the same when case is not ignored). first_is_line_head tells whether
  // character 0 begins a line; further line heads and tails follow from the
  // line feeds and carriage returns in codes, as the automata see them.
  void FindStarts(const std::int32_t* codes, const std::int32_t* folded, std::size_t n,
                  bool first_is_line_head, std::vector<std::uint64_t>* starts);

 private:
  // A distinct piece and the offsets (in characters from a match's start)
  // at which the pattern holds it.
  struct Piece {
    std::optional<LiteralSearch> run;                 // a run of characters, or
    std::vector<TbmREWchRanges::Range> ranges;        // the characters of one item
    std::vector<std::size_t> offsets;
  };

  FixedWidthSearch() = default;

  std::vector<Piece> pieces_;
  std::size_t width_ = 0;
  bool head_ = false;
  bool tail_ = false;
  bool ignore_case_ = false;
  std::string required_bytes_;
  // Scratch: one piece's occurrences, kept between lines.
  std::vector<std::uint64_t> occurs_;
};

}  // namespace parvane

#endif  // PARVANE_REGEX_FIXED_WIDTH_H_
