// Lazy construction of the forward and reverse automata over the positions
// of a parsed pattern, and the eager form used for dumps.
#include "regex/dfa.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <map>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/sjis.h"

namespace parvane {
namespace regex_internal {

std::size_t SetHash::operator()(const std::vector<int>& v) const {
  std::uint64_t h = 1469598103934665603ull ^ v.size();
  for (int x : v) {
    h ^= static_cast<std::uint32_t>(x);
    h *= 1099511628211ull;
    h ^= h >> 29;
  }
  return static_cast<std::size_t>(h);
}

StateCache::StateCache(int num_symbols, std::size_t max_cells, std::size_t max_elements)
    : num_symbols_(num_symbols),
      max_states_(std::clamp<std::size_t>(max_cells / static_cast<std::size_t>(num_symbols), 16, 200000)),
      max_elements_(max_elements) {}

void StateCache::Clear() {
  sets_.clear();
  flags_.clear();
  transitions_.clear();
  index_.clear();
  elements_ = 0;
  ++generation_;
}

int StateCache::Intern(const std::vector<int>& set, std::uint8_t flags) {
  auto it = index_.find(set);
  if (it != index_.end()) return it->second;
  if (sets_.size() >= max_states_ || elements_ + set.size() > max_elements_) Clear();
  int id = static_cast<int>(sets_.size());
  sets_.push_back(set);
  flags_.push_back(flags);
  transitions_.resize(transitions_.size() + num_symbols_, -2);
  index_.emplace(set, id);
  elements_ += set.size();
  return id;
}

}  // namespace regex_internal

namespace {

// Cache budgets: transition cells (4 bytes each) and position-set elements
// per automaton; together well under 100 MB even at their limits.
constexpr std::size_t kMaxCells = 4'000'000;
constexpr std::size_t kMaxElements = 4'000'000;

TbmREWchRanges Refine(const TbmREWchRanges& partition) {
  TbmREWchRanges symbols = partition;
  symbols.AddRange(10, 10);
  symbols.AddRange(13, 13);
  return symbols;
}

}  // namespace

TbmREDFATable::TbmREDFATable(TbmRETree tree, const TbmREWchRanges& partition)
    : tree_(std::move(tree)),
      symbols_(Refine(partition)),
      num_symbols_(static_cast<int>(symbols_.Size()) + 1),
      forward_(num_symbols_, kMaxCells, kMaxElements),
      reverse_(num_symbols_, kMaxCells, kMaxElements),
      search_(num_symbols_, kMaxCells, kMaxElements) {
  symbol_of_char_.assign(0x10000, 0);
  line_break_symbol_.assign(num_symbols_, 0);
  const auto& intervals = symbols_.Ranges();
  for (std::size_t k = 0; k < intervals.size(); ++k) {
    std::int32_t lo = std::max(intervals[k].first, 0);
    std::int32_t hi = std::min(intervals[k].second, 0xFFFF);
    if (lo <= hi) std::fill(symbol_of_char_.begin() + lo, symbol_of_char_.begin() + hi + 1, static_cast<std::int32_t>(k + 1));
  }
  line_break_symbol_[symbol_of_char_[10]] = 1;
  line_break_symbol_[symbol_of_char_[13]] = 1;

  std::size_t m = tree_.leaves.size();
  leaf_symbols_.resize(m);
  in_first_.assign(m, 0);
  in_after_head_.assign(m, 0);
  for (int x : tree_.FirstPos) in_first_[x] = 1;
  for (std::size_t i = 0; i < m; ++i) {
    const TbmRELeaf& leaf = tree_.leaves[i];
    switch (leaf.type) {
      case TbmRELeaf::kChar:
        char_leaves_.push_back(static_cast<int>(i));
        break;
      case TbmRELeaf::kLineTail:
        tail_leaves_.push_back(static_cast<int>(i));
        break;
      case TbmRELeaf::kLineHead:
        after_head_.insert(after_head_.end(), leaf.FollowPos.begin(), leaf.FollowPos.end());
        break;
      case TbmRELeaf::kEnd:
        break;
    }
    for (const auto& r : leaf.ranges) {
      // Every interval the pattern mentions is a run of whole partition
      // intervals: the first reaching lo up to the last starting at or below hi.
      auto first = std::partition_point(intervals.begin(), intervals.end(),
                                        [&](const TbmREWchRanges::Range& s) { return s.second < r.first; });
      auto last = std::partition_point(intervals.begin(), intervals.end(),
                                       [&](const TbmREWchRanges::Range& s) { return s.first <= r.second; });
      if (first < last) {
        leaf_symbols_[i].push_back({static_cast<int>(first - intervals.begin()) + 1,
                                    static_cast<int>(last - intervals.begin())});
      }
    }
  }
  precede_.resize(m);
  for (int x : char_leaves_) {
    for (int y : tree_.leaves[x].FollowPos) precede_[y].push_back(x);
  }
  std::sort(after_head_.begin(), after_head_.end());
  after_head_.erase(std::unique(after_head_.begin(), after_head_.end()), after_head_.end());
  for (int x : after_head_) in_after_head_[x] = 1;
  std::set_union(tree_.FirstPos.begin(), tree_.FirstPos.end(), after_head_.begin(), after_head_.end(),
                 std::back_inserter(any_start_));
  mark_.assign(m, 0);
  ComputeRequiredBytes();
  ComputeMinimumWidth();
}

void TbmREDFATable::ComputeMinimumWidth() {
  // Breadth first, anchors at the front of the queue: leaving a character
  // position reads one character, leaving an anchor none. Linear in the
  // follow sets, which the parser has already paid for.
  const std::size_t m = tree_.leaves.size();
  constexpr std::size_t kUnreached = static_cast<std::size_t>(-1);
  std::vector<std::size_t> width(m, kUnreached);
  std::deque<int> queue;
  for (int x : any_start_) {
    width[x] = 0;
    queue.push_back(x);
  }
  while (!queue.empty()) {
    int x = queue.front();
    queue.pop_front();
    if (x == tree_.end_leaf) {
      minimum_width_ = width[x];
      return;
    }
    const bool reads = tree_.leaves[x].type == TbmRELeaf::kChar;
    const std::size_t next = width[x] + (reads ? 1 : 0);
    for (int y : tree_.leaves[x].FollowPos) {
      if (width[y] <= next) continue;
      width[y] = next;
      if (reads) {
        queue.push_back(y);
      } else {
        queue.push_front(y);
      }
    }
  }
  // The end cannot be reached: nothing matches, but say nothing stronger
  // than what the automata find.
  minimum_width_ = 0;
}

void TbmREDFATable::ComputeRequiredBytes() {
  // One reachability walk per position: quadratic in the leaves, so only
  // for patterns of ordinary size.
  constexpr std::size_t kMaxLeaves = 256;
  const std::size_t m = tree_.leaves.size();
  if (m > kMaxLeaves) return;
  auto single = [&](int x) {
    const TbmRELeaf& leaf = tree_.leaves[x];
    if (leaf.type != TbmRELeaf::kChar || leaf.ranges.size() != 1) return -1;
    const auto& r = leaf.ranges[0];
    // A code with a zero trail byte stands for a lead byte cut off at the
    // end of a line, whose bytes are not the code's two bytes.
    if (r.first != r.second || r.first < 0 || r.first > 0xFFFF || (r.first > 0xFF && (r.first & 0xFF) == 0)) return -1;
    return static_cast<int>(r.first);
  };
  // Whether every path from a start to the end marker passes through x.
  std::vector<std::uint8_t> seen(m);
  std::vector<int> stack;
  auto unavoidable = [&](int x) {
    std::fill(seen.begin(), seen.end(), 0);
    stack.clear();
    seen[x] = 1;
    for (int y : any_start_) {
      if (!seen[y]) {
        seen[y] = 1;
        stack.push_back(y);
      }
    }
    while (!stack.empty()) {
      int y = stack.back();
      stack.pop_back();
      if (y == tree_.end_leaf) return false;
      for (int z : tree_.leaves[y].FollowPos) {
        if (!seen[z]) {
          seen[z] = 1;
          stack.push_back(z);
        }
      }
    }
    return true;
  };
  for (int x : char_leaves_) {
    if (single(x) < 0 || !unavoidable(x)) continue;
    std::string bytes;
    // Forward while each position has exactly one follower; a position that
    // repeats itself (a loop) ends the run so it never runs forever.
    std::vector<std::uint8_t> in_run(m);
    for (int y = x; y >= 0 && !in_run[y];) {
      int code = single(y);
      if (code < 0) break;
      in_run[y] = 1;
      if (code > 0xFF) bytes += static_cast<char>(code >> 8);
      bytes += static_cast<char>(code & 0xFF);
      const auto& follow = tree_.leaves[y].FollowPos;
      y = follow.size() == 1 ? follow[0] : -1;
    }
    if (bytes.size() > required_bytes_.size()) required_bytes_ = std::move(bytes);
  }
}

void TbmREDFATable::ComputeStartExits() {
  start_exits_known_ = true;
  if (ForwardFlagsOf(any_start_) != 0) return;
  // A symbol leaves the start state when a start position reads it (the
  // successor of the start set is the start set plus what those positions
  // are followed by).
  std::vector<std::uint8_t> leaves(static_cast<std::size_t>(num_symbols_), 0);
  for (int symbol = 0; symbol < num_symbols_; ++symbol) {
    for (int x : any_start_) {
      if (tree_.leaves[x].type == TbmRELeaf::kChar && LeafHasSymbol(x, symbol)) {
        leaves[static_cast<std::size_t>(symbol)] = 1;
        break;
      }
    }
  }
  // A character is a byte below a lead byte, else the lead byte with any
  // byte after it (or none, cut off at the end): the codes SearchSjis reads.
  for (int b = 0; b < 0x100; ++b) {
    if (!IsDoubleByteLeadByte(static_cast<unsigned char>(b))) {
      exit_byte_[b] = leaves[static_cast<std::size_t>(symbol_of_char_[b])] != 0;
      continue;
    }
    for (int trail = 0; trail < 0x100 && !exit_byte_[b]; ++trail) {
      exit_byte_[b] = leaves[static_cast<std::size_t>(symbol_of_char_[b << 8 | trail])] != 0;
    }
  }
  int ranges = 0;
  for (int b = 0; b < 0x100;) {
    if (!exit_byte_[b]) {
      ++b;
      continue;
    }
    int last = b;
    while (last + 1 < 0x100 && exit_byte_[last + 1]) ++last;
    if (ranges == kMaxExitRanges) return;
    exit_low_[static_cast<std::size_t>(ranges)].fill(static_cast<unsigned char>(b));
    exit_width_[static_cast<std::size_t>(ranges)].fill(static_cast<unsigned char>(last - b));
    ++ranges;
    b = last + 1;
  }
  // A start state that reads nothing never leaves itself; such patterns
  // are rare enough to search the plain way.
  exit_ranges_ = ranges;
}

std::size_t TbmREDFATable::NextStartExit(const unsigned char* p, std::size_t i,
                                          std::size_t n) const {
  for (;;) {
    std::size_t k = i;
#ifdef __SSE2__
    // Bit j: byte q[j] is in a range (x - low <= width, unsigned, is
    // min(x - low, width) == x - low).
    auto hits_at = [this](const unsigned char* q) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      __m128i hits = _mm_setzero_si128();
      for (std::size_t r = 0; r < static_cast<std::size_t>(exit_ranges_); ++r) {
        const __m128i d =
            _mm_sub_epi8(x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(exit_low_[r].data())));
        const __m128i width = _mm_loadu_si128(reinterpret_cast<const __m128i*>(exit_width_[r].data()));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(_mm_min_epu8(d, width), d));
      }
      return static_cast<unsigned>(_mm_movemask_epi8(hits));
    };
    for (; n - k >= 16; k += 16) {
      if (const unsigned mask = hits_at(p + k); mask != 0) {
        k += static_cast<std::size_t>(__builtin_ctz(mask));
        break;
      }
    }
    if (n - k < 16 && k < n && n >= 16) {
      // The last few bytes: the sixteen that end the text, without those
      // before k.
      const unsigned mask = hits_at(p + n - 16) >> (k - (n - 16));
      k = mask != 0 ? k + static_cast<std::size_t>(__builtin_ctz(mask)) : n;
    }
#endif
    while (k < n && !exit_byte_[p[k]]) ++k;
    if (k >= n) return n;
    // k starts a character unless it is the trail of a lead byte before it.
    // The lead-range bytes right before k pair up from the first of them,
    // which starts a character: it follows a byte that cannot be a lead (a
    // character or a trail of its own), or it is i.
    std::size_t run = k;
    while (run > i && IsDoubleByteLeadByte(p[run - 1])) --run;
    if ((k - run) % 2 == 0) return k;
    i = k + 1;
  }
}

bool TbmREDFATable::SearchSjis(const unsigned char* p, std::size_t n) {
  static constexpr auto kLead = [] {
    std::array<std::uint8_t, 256> lead{};
    for (int b = 0x81; b <= 0x9F; ++b) lead[b] = 1;
    for (int b = 0xE0; b <= 0xFC; ++b) lead[b] = 1;
    return lead;
  }();
  const std::int32_t* symbol_of = symbol_of_char_.data();
  auto next_symbol = [&](std::size_t& i) {
    unsigned b = p[i];
    if (!kLead[b]) {
      i += 1;
      return symbol_of[b];
    }
    if (i + 1 < n) {
      i += 2;
      return symbol_of[b * 256 + p[i - 1]];
    }
    i += 1;
    return symbol_of[b * 256];
  };
  const std::size_t ns = static_cast<std::size_t>(num_symbols_);
  if (!start_exits_known_) ComputeStartExits();
  const bool skip = exit_ranges_ != 0;
  int state = SearchStart();
  std::size_t i = 0;
  for (;;) {
    if (skip && AtSearchStart(state)) i = NextStartExit(p, i, n);
    // A state with flags is stepped carefully: it may end the search.
    std::uint8_t f = search_.Flags(state);
    if (i >= n) return f != 0;
    unsigned b = p[i];
    if (f != 0 && ((f & kAccepting) || b == 10 || b == 13)) return true;
    int s = next_symbol(i);
    for (;;) {
      const std::uint64_t generation = search_.Generation();
      int t = SearchNext(state, s);
      if (fast_search_generation_ != search_.Generation()) {
        fast_search_.clear();
        fast_search_generation_ = search_.Generation();
      }
      if (fast_search_.size() < search_.Size() * ns) fast_search_.resize(search_.Size() * ns, -1);
      // Back at the start, the outer loop skips what cannot leave it.
      if (search_.Flags(t) != 0 || (skip && AtSearchStart(t))) {
        state = t;
        break;
      }
      if (search_.Generation() == generation) {
        fast_search_[static_cast<std::size_t>(state) * ns + static_cast<std::size_t>(s)] = static_cast<std::int32_t>(static_cast<std::size_t>(t) * ns);
      }
      // The hot loop: one load per character, on offsets of rows, until
      // an entry not yet known or one leading to a state with flags.
      const std::int32_t* fast = fast_search_.data();
      std::size_t row = static_cast<std::size_t>(t) * ns;
      for (;;) {
        if (i + 1 < n) {
          // Without branches on the byte, which Japanese text mixed with
          // ASCII would mispredict.
          // The trail byte is read whether or not it is one, and masked:
          // a conditional load compiles to the branch this avoids.
          unsigned b = p[i];
          unsigned lead = static_cast<unsigned>((b ^ 0x20u) - 0xA1u) < 0x3Cu;
          unsigned code = b << (lead * 8) | (p[i + 1] & (0u - lead));
          i += 1 + lead;
          s = symbol_of[code];
        } else {
          if (i >= n) return false;
          s = next_symbol(i);
        }
        std::int32_t next = fast[row + static_cast<std::size_t>(s)];
        if (next < 0) break;
        row = static_cast<std::size_t>(next);
      }
      state = static_cast<int>(row / ns);
    }
  }
}

bool TbmREDFATable::ForwardMeetsReverse(int forward_state, int reverse_state) {
  if (meets_forward_generation_ != forward_.Generation() || meets_reverse_generation_ != reverse_.Generation()) {
    meets_.clear();
    meets_forward_generation_ = forward_.Generation();
    meets_reverse_generation_ = reverse_.Generation();
  }
  std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(forward_state)) << 32) |
                      static_cast<std::uint32_t>(reverse_state);
  auto it = meets_.find(key);
  if (it != meets_.end()) return it->second;
  ++stamp_;
  for (int x : reverse_.Set(reverse_state)) mark_[x] = stamp_;
  bool meets = false;
  for (int x : forward_.Set(forward_state)) {
    if (mark_[x] == stamp_ && tree_.leaves[x].type == TbmRELeaf::kChar) {
      meets = true;
      break;
    }
  }
  meets_.emplace(key, meets);
  return meets;
}

int TbmREDFATable::SearchStart() {
  if (search_start_generation_ != search_.Generation() || search_start_ == kDeadState) {
    search_start_ = search_.Intern(any_start_, ForwardFlagsOf(any_start_));
    search_start_generation_ = search_.Generation();
  }
  return search_start_;
}

int TbmREDFATable::ComputeSearch(int state, int symbol) {
  ++stamp_;
  scratch_.clear();
  for (int y : any_start_) {
    mark_[y] = stamp_;
    scratch_.push_back(y);
  }
  for (int x : search_.Set(state)) {
    if (tree_.leaves[x].type != TbmRELeaf::kChar || !LeafHasSymbol(x, symbol)) continue;
    for (int y : tree_.leaves[x].FollowPos) {
      if (mark_[y] != stamp_) {
        mark_[y] = stamp_;
        scratch_.push_back(y);
      }
    }
  }
  std::sort(scratch_.begin(), scratch_.end());
  std::uint64_t generation = search_.Generation();
  int target = search_.Intern(scratch_, ForwardFlagsOf(scratch_));
  if (search_.Generation() == generation) search_.Transition(state, symbol) = target;
  return target;
}

bool TbmREDFATable::LeafHasSymbol(int leaf, int symbol) const {
  const auto& ranges = leaf_symbols_[leaf];
  auto it = std::upper_bound(ranges.begin(), ranges.end(), symbol,
                             [](int s, const std::pair<int, int>& r) { return s < r.first; });
  return it != ranges.begin() && symbol <= std::prev(it)->second;
}

std::uint8_t TbmREDFATable::ForwardFlagsOf(const std::vector<int>& set) const {
  std::uint8_t flags = 0;
  for (int x : set) {
    if (x == tree_.end_leaf) flags |= kAccepting;
    if (tree_.leaves[x].type == TbmRELeaf::kLineTail) flags |= kHasTail;
  }
  return flags;
}

std::uint8_t TbmREDFATable::ReverseFlagsOf(const std::vector<int>& set) const {
  std::uint8_t flags = 0;
  for (int x : set) {
    if (in_first_[x]) flags |= kStartsMatch;
    if (in_after_head_[x]) flags |= kStartsMatchAtHead;
  }
  return flags;
}

int TbmREDFATable::ForwardStart(bool line_head) {
  int k = line_head ? 1 : 0;
  if (start_generation_[k] != forward_.Generation() || start_[k] == kDeadState) {
    std::vector<int> set = tree_.FirstPos;
    if (line_head) {
      std::vector<int> merged;
      std::set_union(set.begin(), set.end(), after_head_.begin(), after_head_.end(), std::back_inserter(merged));
      set.swap(merged);
    }
    int id = forward_.Intern(set, ForwardFlagsOf(set));
    start_[k] = id;
    start_generation_[k] = forward_.Generation();
  }
  return start_[k];
}

int TbmREDFATable::ComputeForward(int state, int symbol) {
  ++stamp_;
  scratch_.clear();
  for (int x : forward_.Set(state)) {
    if (tree_.leaves[x].type != TbmRELeaf::kChar || !LeafHasSymbol(x, symbol)) continue;
    for (int y : tree_.leaves[x].FollowPos) {
      if (mark_[y] != stamp_) {
        mark_[y] = stamp_;
        scratch_.push_back(y);
      }
    }
  }
  if (scratch_.empty()) {
    forward_.Transition(state, symbol) = kDeadState;
    return kDeadState;
  }
  std::sort(scratch_.begin(), scratch_.end());
  std::uint64_t generation = forward_.Generation();
  int target = forward_.Intern(scratch_, ForwardFlagsOf(scratch_));
  if (forward_.Generation() == generation) forward_.Transition(state, symbol) = target;
  return target;
}

int TbmREDFATable::ReverseAtEnd() {
  if (reverse_end_generation_ != reverse_.Generation() || reverse_end_ == kDeadState) {
    std::vector<int> set = tail_leaves_;
    set.push_back(tree_.end_leaf);
    std::sort(set.begin(), set.end());
    reverse_end_ = reverse_.Intern(set, ReverseFlagsOf(set));
    reverse_end_generation_ = reverse_.Generation();
  }
  return reverse_end_;
}

int TbmREDFATable::ComputeReverse(int state, int symbol) {
  // The positions that can complete a match from the boundary before a
  // character: the end marker, the $ anchors when the character breaks the
  // line, and the leaves that read the character and are followed by a
  // position of the state after it.
  ++stamp_;
  scratch_.clear();
  scratch_.push_back(tree_.end_leaf);
  if (IsLineBreakSymbol(symbol)) scratch_.insert(scratch_.end(), tail_leaves_.begin(), tail_leaves_.end());
  for (int y : scratch_) mark_[y] = stamp_;
  for (int y : reverse_.Set(state)) {
    for (int x : precede_[y]) {
      if (mark_[x] != stamp_ && LeafHasSymbol(x, symbol)) {
        mark_[x] = stamp_;
        scratch_.push_back(x);
      }
    }
  }
  std::sort(scratch_.begin(), scratch_.end());
  std::uint64_t generation = reverse_.Generation();
  int target = reverse_.Intern(scratch_, ReverseFlagsOf(scratch_));
  if (reverse_.Generation() == generation) reverse_.Transition(state, symbol) = target;
  return target;
}

std::string TbmREDFATable::DumpEager(int max_states) {
  // Independent of the caches: states keyed by their position sets,
  // numbered in creation order, transitions on every partition interval
  // (and on the pseudo-characters) walked from the top down and merged.
  std::map<std::vector<int>, int> ids;
  std::deque<std::vector<int>> sets;
  ids[tree_.FirstPos] = 0;
  sets.push_back(tree_.FirstPos);
  std::string out;
  char buf[64];
  const auto& intervals = symbols_.Ranges();
  for (std::size_t s = 0; s < sets.size(); ++s) {
    if (static_cast<int>(sets.size()) > max_states) return out + "...too many states\n";
    std::vector<int> set = sets[s];
    struct Edge { int lo, hi, target; };
    std::vector<Edge> edges;
    auto add = [&](int lo, int hi, std::vector<int> next) {
      if (next.empty()) return;
      auto [it, inserted] = ids.emplace(next, static_cast<int>(sets.size()));
      if (inserted) sets.push_back(next);
      if (!edges.empty() && edges.back().hi + 1 == lo && edges.back().target == it->second) {
        edges.back().hi = hi;
      } else {
        edges.push_back({lo, hi, it->second});
      }
    };
    auto follow_of = [&](auto pred) {
      std::vector<int> next;
      for (int x : set) {
        if (pred(x)) next.insert(next.end(), tree_.leaves[x].FollowPos.begin(), tree_.leaves[x].FollowPos.end());
      }
      std::sort(next.begin(), next.end());
      next.erase(std::unique(next.begin(), next.end()), next.end());
      return next;
    };
    add(-3, -3, follow_of([&](int x) { return tree_.leaves[x].type == TbmRELeaf::kLineTail; }));
    add(-2, -2, follow_of([&](int x) { return tree_.leaves[x].type == TbmRELeaf::kLineHead; }));
    for (std::size_t k = 0; k < intervals.size(); ++k) {
      int symbol = static_cast<int>(k) + 1;
      add(intervals[k].first, intervals[k].second, follow_of([&](int x) {
            return tree_.leaves[x].type == TbmRELeaf::kChar && LeafHasSymbol(x, symbol);
          }));
    }
    std::snprintf(buf, sizeof buf, "state %zu%s:", s, (ForwardFlagsOf(set) & kAccepting) ? " accepting" : "");
    out += buf;
    for (const Edge& e : edges) {
      if (e.lo == -3) {
        std::snprintf(buf, sizeof buf, " $->%d", e.target);
      } else if (e.lo == -2) {
        std::snprintf(buf, sizeof buf, " ^->%d", e.target);
      } else if (e.lo == e.hi) {
        std::snprintf(buf, sizeof buf, " %x->%d", static_cast<unsigned>(e.lo), e.target);
      } else {
        std::snprintf(buf, sizeof buf, " %x-%x->%d", static_cast<unsigned>(e.lo), static_cast<unsigned>(e.hi), e.target);
      }
      out += buf;
    }
    out += '\n';
  }
  return out;
}

}  // namespace parvane
