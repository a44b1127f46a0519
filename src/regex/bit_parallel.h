// BitParallelSearch: a long pattern that is a row of one-character items,
// each maybe followed by ?, * or + (^ first and $ last allowed), run as a
// nondeterministic automaton held in bit vectors instead of the lazy
// automata.
//
// Where such a pattern repeats its own text (5,000 `a`, `b*`, 4,999 `a`
// over a line of `a`) the lazy automata's states hold thousands of
// positions at once; each costs the pattern's length to build, there are
// as many as characters, and the bounded cache is emptied over and over, so
// a search costs the pattern's length times the line's. Here a state is a
// vector of one bit per item boundary ("the items before it are matched"),
// and a step costs a few operations per 64 items whatever the text: the
// items that read the character shift their bits on, a * item keeps its
// bit, and one addition carries every bit across a run of optional items to
// the first item that must read something. The forward run from a start
// moves only the words that hold bits, which for a repetitive pattern are
// one or two.
//
// It only replaces the automata's two passes over a decoded line (where can
// a match start, how far does it go), on the automata's own symbols, so the
// matches and everything built on them stay exactly as they were.
#ifndef PARVANE_REGEX_BIT_PARALLEL_H_
#define PARVANE_REGEX_BIT_PARALLEL_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "regex/dfa.h"
#include "regex/token.h"

namespace parvane {

class BitParallelSearch {
 public:
  // Shorter patterns stay with the automata. Their states are small enough
  // for the cache to hold them and a cached step is one lookup, a few times
  // cheaper than a step here; but from a couple of thousand positions on
  // (half as many letters when case is ignored, which doubles them) a
  // repetitive line empties the cache over and over, and a step costs the
  // pattern's length. From here on the route never pays that, for at most
  // a few times the automata's best.
  static constexpr std::size_t kMinItems = 256;
  // The masks (one bit vector per symbol and direction) may take this many
  // 64-bit words; a long pattern of many different characters stays with
  // the automata, which it does not make slow: few of its positions are
  // live at once.
  static constexpr std::size_t kMaxMaskWords = std::size_t{1} << 20;

  // Returns the search for scanned tokens (before any case filter; counts
  // already written out) when they are an optional ^, then at least
  // min_items one-character items (characters, dots, bracket classes), each
  // maybe followed by one ?, * or +, at least one of them so followed
  // (without, FixedWidthSearch or the automata serve), then an optional $
  // and the end; nullopt otherwise. An x+ counts as x x*. With ignore_case
  // an ASCII letter outside brackets matches either case, as the case
  // filter makes it do in the automata.
  static std::optional<BitParallelSearch> FromTokens(const TbmRETokens& tokens, bool ignore_case,
                                                     std::size_t min_items = kMinItems);

  // Builds the masks over the symbols of dfa, the automata compiled from
  // the same pattern and flag, whose decoded lines the searches read.
  // Returns false, building nothing, when they would pass kMaxMaskWords.
  bool UseSymbolsOf(const TbmREDFATable& dfa);

  // Returns the number of items (an x+ counting twice).
  std::size_t Items() const { return items_.size(); }
  bool HeadAnchored() const { return head_; }
  bool TailAnchored() const { return tail_; }

  // A decoded line: the automata's symbol per character, and the symbols
  // of line feed and carriage return, at which lines end inside it.
  struct Line {
    const std::int32_t* symbols;
    std::size_t n;
    std::int32_t line_feed;
    std::int32_t carriage_return;
  };

  // Sets (*starts)[i], for every boundary i in 0..n, to 1 when a match
  // starts there and to 0 otherwise, as if every boundary were a line head:
  // with a ^ the caller keeps only the line heads. One pass backwards.
  void FindStarts(const Line& line, std::vector<std::uint8_t>* starts);

  // Returns the length in characters of the longest match starting at
  // boundary i, or -1 when none does; line_head tells whether i begins a
  // line. Reads on only while a match from i is still possible.
  long LongestFrom(const Line& line, std::size_t i, bool line_head);

 private:
  enum Repeat : std::uint8_t { kOnce, kOptional, kStar };
  struct Item {
    std::vector<TbmREWchRanges::Range> ranges;  // the characters it reads
    Repeat repeat = kOnce;
  };

  // The automaton over one order of the items. Bit k (0..items) of a state:
  // items before k are matched; bit `items` accepts.
  struct Program {
    std::size_t items = 0;
    std::size_t words = 0;                // per vector
    std::vector<std::uint64_t> reads;     // per symbol: the items reading it
    std::vector<std::uint64_t> star;      // items that may read again
    std::vector<std::uint64_t> nullable;  // items that may read nothing
    std::vector<std::uint64_t> init;      // the start, carried past optional items
    std::size_t init_hi = 0;              // last word of init holding a bit

    bool Accepts(const std::uint64_t* state) const {
      return (state[items / 64] >> (items % 64)) & 1;
    }
    // Moves state (words lo..hi hold all its bits) over a character of
    // symbol, updating lo and hi; returns false when no bit is left.
    bool Step(std::uint64_t* state, std::size_t* lo, std::size_t* hi, std::int32_t symbol) const;
  };

  BitParallelSearch() = default;
  static bool LineTail(const Line& line, std::size_t k) {
    return k == line.n || line.symbols[k] == line.line_feed || line.symbols[k] == line.carriage_return;
  }

  std::vector<Item> items_;           // in pattern order, an x+ as x x*
  bool head_ = false;                 // a ^ first: matches start at line heads
  bool tail_ = false;                 // a $ last: matches end at line tails
  Program forward_;
  Program backward_;                  // the items in reverse order, read from the line's end
  std::vector<std::uint64_t> state_;  // scratch, all zero between calls
};

}  // namespace parvane

#endif  // PARVANE_REGEX_BIT_PARALLEL_H_
