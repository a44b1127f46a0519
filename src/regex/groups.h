// GroupMatcher: where the groups of an extended pattern lie inside a match.
//
// The automata find the match (leftmost, then longest) in linear time but
// know nothing of groups. This second pass looks only at the matched text
// and divides it the way POSIX prescribes: the pattern's parts, from left to
// right, each take the longest text that still lets the rest match exactly
// up to the match's end; of alternatives the first that fits is taken; a
// repeated part reports its last iteration, and a group inside a repetition
// that the last iteration did not pass through reports nothing.
//
// Each decision is made by running the part forwards from its start (its
// possible ends) against a table, computed backwards, of the places from
// which the rest can still finish at the end: never backtracking, so the
// work is bounded by the pattern's size times the match's length for each
// level of nesting, and a work budget stops the rare pattern whose
// repetitions would make it more (the groups are then left unset).
#ifndef PARVANE_REGEX_GROUPS_H_
#define PARVANE_REGEX_GROUPS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "regex/partition.h"
#include "regex/token.h"

namespace parvane {

class GroupMatcher {
 public:
  // A group's place as character indices into the match: [first, second),
  // or (-1, -1) when the group took no part.
  using Span = std::pair<int, int>;

  // tokens: an extended pattern that the parser accepted, with its counts
  // written out (regex/repetition.h) and its negated classes made positive
  // (Standardize), but not case-filtered: with ignore_case, ASCII letters
  // outside brackets match either case here, as the filter makes them do.
  // Throws EbmREToken 26 for groups nested deeper than the matcher allows.
  GroupMatcher(const TbmRETokens& tokens, bool ignore_case);
  ~GroupMatcher();
  GroupMatcher(const GroupMatcher&) = delete;
  GroupMatcher& operator=(const GroupMatcher&) = delete;

  // Returns the number of capturing groups.
  int GroupCount() const { return group_count_; }

  // Divides a match: codes are its characters, line_head whether the match
  // begins at a line head (where a ^ anchor holds), line_tail whether it
  // ends at a line tail (where a $ anchor holds). Fills spans with
  // GroupCount() + 1 entries, entry 0 the whole match. Returns false, with
  // only entry 0 set, when the codes are no match of the pattern or the
  // work budget ran out.
  bool Capture(const std::vector<std::int32_t>& codes, bool line_head, bool line_tail,
               std::vector<Span>* spans);

  // Returns the parsed pattern as text, for tests: "cat(...)", "alt(...)",
  // "star(...)", "group1(...)", "chars(61-62)", "^", "$", "empty".
  std::string Dump() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int group_count_ = 0;
};

}  // namespace parvane

#endif  // PARVANE_REGEX_GROUPS_H_
