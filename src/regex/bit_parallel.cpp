// BitParallelSearch: recognising a row of one-character items with their
// repeats, its masks over the automata's symbols, and the two passes.
#include "regex/bit_parallel.h"

#include <algorithm>
#include <map>

#include "regex/fixed_width.h"

namespace parvane {
namespace {

using Range = TbmREWchRanges::Range;

void SetBit(std::uint64_t* bits, std::size_t k) { bits[k / 64] |= std::uint64_t{1} << (k % 64); }

}  // namespace

std::optional<BitParallelSearch> BitParallelSearch::FromTokens(const TbmRETokens& tokens, bool ignore_case,
                                                               std::size_t min_items) {
  if (tokens.empty() || tokens.back().Kind != kTokenEnd) return std::nullopt;
  BitParallelSearch search;
  std::size_t i = 0;
  if (tokens[0].Kind == kTokenLineHead) {
    search.head_ = true;
    ++i;
  }
  bool repeated = false;
  for (; tokens[i].Kind != kTokenEnd; ++i) {
    if (tokens[i].Kind == kTokenLineTail && tokens[i + 1].Kind == kTokenEnd) {
      search.tail_ = true;
      continue;
    }
    // Anything else - an anchor inside, a group, an alternative, a
    // quantifier without an operand - is no row of items.
    regex_internal::CharacterItem read;
    if (!regex_internal::ReadCharacterItem(tokens, &i, &read)) return std::nullopt;
    Item item;
    if (read.character) {
      const std::int32_t c = read.code;
      item.ranges = {{c, c}};
      if (ignore_case && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
        item.ranges = {{c & ~0x20, c & ~0x20}, {c | 0x20, c | 0x20}};
      }
    } else {
      item.ranges = std::move(read.ranges);
    }
    const std::uint8_t op = tokens[i + 1].Kind;
    if (op == kTokenAsterisk || op == kTokenPlus || op == kTokenQuestionMark) {
      ++i;
      repeated = true;
      if (op == kTokenPlus) search.items_.push_back(item);  // x+ is x x*
      item.repeat = op == kTokenQuestionMark ? kOptional : kStar;
    }
    search.items_.push_back(std::move(item));
  }
  if (!repeated || search.items_.size() < std::max<std::size_t>(min_items, 1)) return std::nullopt;
  return search;
}

bool BitParallelSearch::UseSymbolsOf(const TbmREDFATable& dfa) {
  const auto num_symbols = static_cast<std::size_t>(dfa.NumSymbols());
  const std::size_t words = items_.size() / 64 + 1;
  if (2 * num_symbols * words > kMaxMaskWords) return false;

  // The symbols each distinct set of characters reads. A set of a few
  // characters asks the automata's table for each; a wider one is tested
  // against a sample character of every symbol, which the partition makes
  // wholly inside or wholly outside it.
  std::vector<std::int32_t> sample;
  std::map<std::vector<Range>, std::size_t> index;
  std::vector<std::vector<std::int32_t>> sets;
  std::vector<std::size_t> set_of(items_.size());
  for (std::size_t k = 0; k < items_.size(); ++k) {
    const std::vector<Range>& ranges = items_[k].ranges;
    auto [it, added] = index.emplace(ranges, sets.size());
    set_of[k] = it->second;
    if (!added) continue;
    std::vector<std::int32_t>& symbols = sets.emplace_back();
    std::int64_t span = 0;
    for (const Range& r : ranges) span += r.second - r.first + 1;
    if (span <= 4) {
      for (const Range& r : ranges) {
        for (std::int32_t c = r.first; c <= r.second; ++c) symbols.push_back(dfa.SymbolOf(c));
      }
      continue;
    }
    if (sample.empty()) {
      sample.assign(num_symbols, -1);
      const std::int32_t* table = dfa.SymbolTable();
      for (std::int32_t c = 0xFFFF; c >= 0; --c) sample[static_cast<std::size_t>(table[c])] = c;
    }
    for (std::size_t s = 0; s < num_symbols; ++s) {
      if (sample[s] >= 0 && regex_internal::InRanges(ranges, sample[s])) {
        symbols.push_back(static_cast<std::int32_t>(s));
      }
    }
  }

  auto build = [&](Program& p, bool reversed) {
    const std::size_t m = items_.size();
    p.items = m;
    p.words = words;
    p.reads.assign(num_symbols * words, 0);
    p.star.assign(words, 0);
    p.nullable.assign(words, 0);
    for (std::size_t k = 0; k < m; ++k) {
      const std::size_t from = reversed ? m - 1 - k : k;
      const Item& item = items_[from];
      if (item.repeat == kStar) SetBit(p.star.data(), k);
      if (item.repeat != kOnce) SetBit(p.nullable.data(), k);
      for (std::int32_t s : sets[set_of[from]]) SetBit(p.reads.data() + static_cast<std::size_t>(s) * words, k);
    }
    // The start: bit 0, and every boundary the optional items after it
    // lead to without reading.
    p.init.assign(words, 0);
    std::size_t k = 0;
    SetBit(p.init.data(), 0);
    while (k < m && items_[reversed ? m - 1 - k : k].repeat != kOnce) SetBit(p.init.data(), ++k);
    p.init_hi = k / 64;
  };
  build(forward_, false);
  build(backward_, true);
  state_.assign(words, 0);
  return true;
}

bool BitParallelSearch::Program::Step(std::uint64_t* state, std::size_t* lo, std::size_t* hi,
                                      std::int32_t symbol) const {
  const std::uint64_t* r = reads.data() + static_cast<std::size_t>(symbol) * words;
  const std::uint64_t* loops = star.data();
  const std::uint64_t* skip = nullable.data();
  std::uint64_t shifted_in = 0;
  std::uint64_t carry = 0;
  std::size_t first = words;
  std::size_t last = 0;
  // Words past hi hold no bits; only a bit shifted or carried into them
  // makes them worth a visit.
  for (std::size_t w = *lo; w < words && (w <= *hi || shifted_in != 0 || carry != 0); ++w) {
    const std::uint64_t read = state[w] & r[w];
    const std::uint64_t moved = (read << 1) | shifted_in | (read & loops[w]);
    shifted_in = read >> 63;
    // Adding a bit that sits on a run of optional items to the run's mask
    // ripples through the run and stops on the item after it: the bits
    // that changed are every boundary the bit reaches without reading.
    // Most words of a long pattern hold no optional item.
    const std::uint64_t n = skip[w];
    std::uint64_t next = moved;
    if ((n | carry) != 0) {
      const std::uint64_t partial = n + (moved & n);
      const std::uint64_t sum = partial + carry;
      carry = static_cast<std::uint64_t>(partial < n) | static_cast<std::uint64_t>(sum < partial);
      next |= sum ^ n;
    }
    state[w] = next;
    if (next != 0) {
      first = std::min(first, w);
      last = w;
    }
  }
  if (first == words) return false;
  *lo = first;
  *hi = last;
  return true;
}

void BitParallelSearch::FindStarts(const Line& line, std::vector<std::uint8_t>* starts) {
  const Program& p = backward_;
  starts->assign(line.n + 1, 0);
  std::uint8_t* start = starts->data();
  std::uint64_t* state = state_.data();
  std::size_t lo = 0;
  std::size_t hi = 0;
  bool live = false;
  // Read backwards, the reversed items find where a match starts; a match
  // may end at every boundary (with a $ only where a line ends), so the
  // start state joins at each.
  for (std::size_t k = line.n + 1; k-- > 0;) {
    if (live && k < line.n) live = p.Step(state, &lo, &hi, line.symbols[k]);
    if (!tail_ || LineTail(line, k)) {
      for (std::size_t w = 0; w <= p.init_hi; ++w) state[w] |= p.init[w];
      hi = live ? std::max(hi, p.init_hi) : p.init_hi;
      lo = 0;
      live = true;
    }
    start[k] = live && p.Accepts(state);
  }
  if (live) std::fill(state + lo, state + hi + 1, 0);
}

long BitParallelSearch::LongestFrom(const Line& line, std::size_t i, bool line_head) {
  if (head_ && !line_head) return -1;
  const Program& p = forward_;
  std::uint64_t* state = state_.data();
  std::copy(p.init.begin(), p.init.begin() + static_cast<long>(p.init_hi) + 1, state);
  std::size_t lo = 0;
  std::size_t hi = p.init_hi;
  bool live = true;
  long best = -1;
  for (std::size_t k = i;; ++k) {
    if (p.Accepts(state) && (!tail_ || LineTail(line, k))) best = static_cast<long>(k);
    if (k == line.n) break;
    live = p.Step(state, &lo, &hi, line.symbols[k]);
    if (!live) break;
  }
  // Leave the scratch all zero for the next call, at the cost of the words
  // that hold bits rather than of the pattern.
  if (live) std::fill(state + lo, state + hi + 1, 0);
  return best < 0 ? -1 : best - static_cast<long>(i);
}

}  // namespace parvane
