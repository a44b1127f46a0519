// TbmREDFATable: the automaton of one pattern, over an alphabet of symbols
// (the partition intervals, with line feed and carriage return always
// intervals of their own). States are sets of positions, identified by
// hashing, and are built lazily - a state exists only once a text reaches it
// - in a cache of bounded size that is emptied and refilled when full, so a
// pattern whose automaton would explode costs time per character, never
// unbounded memory.
//
// Two automata share the positions: the forward one runs a match from a
// start; the reverse one reads a line backwards and tells, for every
// character boundary, whether any match starts there.
#ifndef PARVANE_REGEX_DFA_H_
#define PARVANE_REGEX_DFA_H_

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "regex/partition.h"
#include "regex/tree.h"

namespace parvane {

inline constexpr int kDeadState = -1;

namespace regex_internal {

struct SetHash {
  std::size_t operator()(const std::vector<int>& v) const;
};

// Position sets and their transitions, at most a budget of them at a time.
class StateCache {
 public:
  StateCache(int num_symbols, std::size_t max_cells, std::size_t max_elements);
  // Returns the id of the state for set (sorted), adding it, and first
  // emptying the cache when it is full (Generation() then changes).
  int Intern(const std::vector<int>& set, std::uint8_t flags);
  const std::vector<int>& Set(int id) const { return sets_[id]; }
  std::uint8_t Flags(int id) const { return flags_[id]; }
  int& Transition(int id, int symbol) { return transitions_[static_cast<std::size_t>(id) * num_symbols_ + symbol]; }
  // Raw rows for tight loops; valid until the next Intern.
  const int* TransitionData() const { return transitions_.data(); }
  const std::uint8_t* FlagsData() const { return flags_.data(); }
  std::uint64_t Generation() const { return generation_; }
  std::size_t Size() const { return sets_.size(); }
  std::uint64_t Flushes() const { return generation_; }

 private:
  void Clear();
  int num_symbols_;
  std::size_t max_states_;
  std::size_t max_elements_;
  std::size_t elements_ = 0;
  std::uint64_t generation_ = 0;
  std::vector<std::vector<int>> sets_;
  std::vector<std::uint8_t> flags_;
  std::vector<int> transitions_;  // -2 unknown, kDeadState, or a state id
  std::unordered_map<std::vector<int>, int, SetHash> index_;
};

}  // namespace regex_internal

class TbmREDFATable {
 public:
  // Flags of forward states.
  static constexpr std::uint8_t kAccepting = 1;  // holds the end marker
  static constexpr std::uint8_t kHasTail = 2;    // holds a real $ anchor
  // Flags of reverse states.
  static constexpr std::uint8_t kStartsMatch = 1;          // a match starts here
  static constexpr std::uint8_t kStartsMatchAtHead = 2;    // ... if this is a line head

  // partition is the one Standardize built for the tokens of tree.
  TbmREDFATable(TbmRETree tree, const TbmREWchRanges& partition);

  bool HasLineHead() const { return tree_.HasLineHead; }
  bool HasLineTail() const { return tree_.HasLineTail; }
  const TbmRETree& Tree() const { return tree_; }

  // Returns the symbol of a character code (0 for one the pattern never
  // mentions). Line feed and carriage return have symbols of their own.
  int SymbolOf(int code) const {
    return (code >= 0 && code <= 0xFFFF) ? symbol_of_char_[code] : 0;
  }
  int NumSymbols() const { return num_symbols_; }
  bool IsLineBreakSymbol(int symbol) const { return line_break_symbol_[symbol] != 0; }

  // Forward automaton. Returns the start state (with the states after a real
  // ^ when line_head), the successor on a symbol (kDeadState when none).
  int ForwardStart(bool line_head);
  int ForwardNext(int state, int symbol) {
    int t = forward_.Transition(state, symbol);
    return t != kUnknown ? t : ComputeForward(state, symbol);
  }
  std::uint8_t ForwardFlags(int state) const { return forward_.Flags(state); }

  // Reverse automaton. A state is the set of positions from which the rest
  // of the line after the current boundary can complete a match.
  int ReverseAtEnd();
  int ReverseNext(int state, int symbol) {
    int t = reverse_.Transition(state, symbol);
    return t != kUnknown ? t : ComputeReverse(state, symbol);
  }
  std::uint8_t ReverseFlags(int state) const { return reverse_.Flags(state); }
  // Raw reverse rows (num_symbols per state, -2 where not yet known) and
  // flags, for tight loops; valid until the next ReverseNext that computes.
  const int* ReverseTransitionData() const { return reverse_.TransitionData(); }
  const std::uint8_t* ReverseFlagData() const { return reverse_.FlagsData(); }
  // The table behind SymbolOf, 0x10000 entries.
  const std::int32_t* SymbolTable() const { return symbol_of_char_.data(); }

  // Search automaton: the forward one with a match allowed to begin at
  // every boundary (line heads assumed everywhere), so one pass tells
  // whether a line can hold a match at all. Flags as the forward states.
  int SearchStart();
  int SearchNext(int state, int symbol) {
    int t = search_.Transition(state, symbol);
    return t != kUnknown ? t : ComputeSearch(state, symbol);
  }
  std::uint8_t SearchFlags(int state) const { return search_.Flags(state); }

  // Runs the search automaton over Shift_JIS bytes (a lead byte takes the
  // next byte whatever it is; one cut off at the end stands alone). Returns
  // true as soon as an accepting state is reached, or a state holding a $
  // anchor before a line break, or such a state at the end; false when the
  // bytes can hold no match.
  bool SearchSjis(const unsigned char* p, std::size_t n);

  // Returns whether some character position is in both the forward state
  // and the reverse state, i.e. a match that has reached the forward state
  // at a boundary can still go on past it, given the reverse state the rest
  // of the line leads to at that boundary. Both ids must be current.
  bool ForwardMeetsReverse(int forward_state, int reverse_state);
  std::uint64_t ForwardGeneration() const { return forward_.Generation(); }
  std::uint64_t ReverseGeneration() const { return reverse_.Generation(); }

  // Returns Shift_JIS bytes that every match contains (empty when the
  // pattern has no such literal run): a run of single-character positions
  // that every path through the pattern passes and that can only be
  // followed by one another. A line without them can be passed over.
  const std::string& RequiredBytes() const { return required_bytes_; }

  // Returns the fewest characters any match reads (anchors read none); a
  // text of fewer bytes can hold no match, whatever the automata would
  // have cost to find that out.
  std::size_t MinimumWidth() const { return minimum_width_; }

  // Returns how often each cache was emptied (for tests and benchmarks).
  std::uint64_t ForwardFlushes() const { return forward_.Flushes(); }
  std::uint64_t ReverseFlushes() const { return reverse_.Flushes(); }

  // Returns the complete forward automaton, built eagerly from the start
  // state over the partition intervals with adjacent intervals to one
  // target merged: "state N [accepting]: lo-hi->M ..." per line, states
  // numbered in creation order; the pseudo-characters -2 and -3 appear as
  // "^" and "$". Stops with "...too many states" beyond max_states.
  std::string DumpEager(int max_states);

 private:
  static constexpr int kUnknown = -2;
  int ComputeForward(int state, int symbol);
  int ComputeReverse(int state, int symbol);
  int ComputeSearch(int state, int symbol);
  bool LeafHasSymbol(int leaf, int symbol) const;
  std::uint8_t ForwardFlagsOf(const std::vector<int>& set) const;
  std::uint8_t ReverseFlagsOf(const std::vector<int>& set) const;
  void ComputeRequiredBytes();
  void ComputeMinimumWidth();
  void ComputeStartExits();
  bool AtSearchStart(int state) const {
    return search_start_generation_ == search_.Generation() && state == search_start_;
  }
  std::size_t NextStartExit(const unsigned char* p, std::size_t i, std::size_t n) const;

  TbmRETree tree_;
  TbmREWchRanges symbols_;  // the partition, refined by line feed and carriage return
  int num_symbols_ = 1;     // intervals + 1 (symbol 0: outside every interval)
  std::vector<std::int32_t> symbol_of_char_;
  std::vector<std::uint8_t> line_break_symbol_;
  // Per leaf: its symbols as ranges of symbol numbers.
  std::vector<std::vector<std::pair<int, int>>> leaf_symbols_;
  std::vector<int> char_leaves_;  // leaves of type kChar
  // Per leaf y: the kChar leaves x with y in FollowPos(x), ascending, so a
  // reverse step costs the state's size, not the pattern's.
  std::vector<std::vector<int>> precede_;
  std::vector<int> tail_leaves_;  // real $ leaves
  std::vector<int> after_head_;   // the positions that follow a real ^
  std::vector<std::uint8_t> in_first_;       // per leaf: in the root's FirstPos
  std::vector<std::uint8_t> in_after_head_;  // per leaf: in after_head_
  regex_internal::StateCache forward_;
  regex_internal::StateCache reverse_;
  regex_internal::StateCache search_;
  std::vector<int> any_start_;  // FirstPos and the positions after a real ^
  int search_start_ = kDeadState;
  std::uint64_t search_start_generation_ = ~0ull;
  int start_[2] = {kDeadState, kDeadState};
  std::uint64_t start_generation_[2] = {~0ull, ~0ull};
  int reverse_end_ = kDeadState;
  std::uint64_t reverse_end_generation_ = ~0ull;
  std::string required_bytes_;
  std::size_t minimum_width_ = 0;
  // The search start state goes back to itself on every character that no
  // start position reads, so SearchSjis passes over text to the next byte
  // that can begin a character one does read (exit_byte_), many bytes at a
  // time. That is worth it only for a few ranges of bytes: with more, or
  // with a start state that has flags, exit_ranges_ is 0 and nothing is
  // skipped (a word of four letters in either case takes eight). Computed by
  // the first search.
  static constexpr int kMaxExitRanges = 6;
  bool start_exits_known_ = false;
  int exit_ranges_ = 0;
  // Per range, sixteen times over (one vector each): its first byte, and
  // its last byte - its first byte.
  std::array<std::array<unsigned char, 16>, kMaxExitRanges> exit_low_{};
  std::array<std::array<unsigned char, 16>, kMaxExitRanges> exit_width_{};
  std::array<bool, 256> exit_byte_{};
  // The search transitions again, as offsets of target rows, for the hot
  // loop of SearchSjis: -1 where not yet known or where the target has
  // flags. Valid while fast_search_generation_ is the cache's generation.
  std::vector<std::int32_t> fast_search_;
  std::uint64_t fast_search_generation_ = ~0ull;
  // Answers of ForwardMeetsReverse, valid for the generations below.
  std::unordered_map<std::uint64_t, bool> meets_;
  std::uint64_t meets_forward_generation_ = ~0ull;
  std::uint64_t meets_reverse_generation_ = ~0ull;
  // Scratch for computing transitions.
  std::vector<std::uint32_t> mark_;
  std::uint32_t stamp_ = 0;
  std::vector<int> scratch_;
};

}  // namespace parvane

#endif  // PARVANE_REGEX_DFA_H_
