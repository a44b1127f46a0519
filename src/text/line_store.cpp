#include "text/line_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parvane {

namespace {

// Blocks grow from 64 KB to 8 MB as a store fills: a one-line result costs
// little and a large file a few hundred blocks.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{8} << 20;

struct BreakCounts {
  std::size_t cr = 0;
  std::size_t lf = 0;
  std::size_t cr_lf = 0;  // LFs right after a CR
};

// Counts CR, LF and CR LF sixteen bytes at a time where SSE2 is there
// (every x86-64), byte by byte otherwise.
BreakCounts CountBreaks(std::string_view text) {
  BreakCounts counts;
  if (text.empty()) return counts;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  counts.cr += *begin == '\r';
  counts.lf += *begin == '\n';
  const char* p = begin + 1;  // p[-1] is always readable from here
#ifdef __SSE2__
  // Each matching byte subtracts -1 from its lane; lanes are summed before
  // they can pass 255.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  auto lane_sum = [zero](__m128i lanes) {
    const __m128i sums = _mm_sad_epu8(lanes, zero);
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
  };
  while (end - p >= 16) {
    __m128i cr_lanes = zero;
    __m128i lf_lanes = zero;
    __m128i pair_lanes = zero;
    for (int i = 0; i < 255 && end - p >= 16; ++i, p += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1));
      const __m128i is_lf = _mm_cmpeq_epi8(block, lf);
      cr_lanes = _mm_sub_epi8(cr_lanes, _mm_cmpeq_epi8(block, cr));
      lf_lanes = _mm_sub_epi8(lf_lanes, is_lf);
      pair_lanes = _mm_sub_epi8(pair_lanes, _mm_and_si128(is_lf, _mm_cmpeq_epi8(before, cr)));
    }
    counts.cr += lane_sum(cr_lanes);
    counts.lf += lane_sum(lf_lanes);
    counts.cr_lf += lane_sum(pair_lanes);
  }
#endif
  for (; p < end; ++p) {
    counts.lf += *p == '\n';
    counts.cr += *p == '\r';
    counts.cr_lf += *p == '\n' && p[-1] == '\r';
  }
  return counts;
}

// Sets bit k of *cr and *lf where p[k] is CR or LF, for 64 bytes at p.
void BreakMasks(const char* p, std::uint64_t* cr, std::uint64_t* lf) {
#ifdef __SSE2__
  const __m128i cr_bytes = _mm_set1_epi8('\r');
  const __m128i lf_bytes = _mm_set1_epi8('\n');
  std::uint64_t crs = 0;
  std::uint64_t lfs = 0;
  for (int k = 0; k < 64; k += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    crs |= static_cast<std::uint64_t>(
               static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr_bytes))))
           << k;
    lfs |= static_cast<std::uint64_t>(
               static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf_bytes))))
           << k;
  }
  *cr = crs;
  *lf = lfs;
#else
  std::uint64_t crs = 0;
  std::uint64_t lfs = 0;
  for (int k = 0; k < 64; ++k) {
    crs |= static_cast<std::uint64_t>(p[k] == '\r') << k;
    lfs |= static_cast<std::uint64_t>(p[k] == '\n') << k;
  }
  *cr = crs;
  *lf = lfs;
#endif
}

// The splitting rule of VisitLines, for it and for FromText (which keeps its
// per-line step inline). Breaks are found 64 bytes at a time as bit masks,
// so a line costs a few instructions, not a search call of its own.
template <class F>
void SplitText(std::string_view text, F&& line) {
  const char* const s = text.data();
  const std::size_t n = text.size();
  std::size_t start = 0;
  std::uint64_t cr_carry = 0;  // the last byte of the previous 64 was a CR
  auto take = [&](std::size_t base, std::uint64_t cr, std::uint64_t lf) {
    // The LF of a CR LF pair ends no line of its own.
    const std::uint64_t paired = lf & (cr << 1 | cr_carry);
    cr_carry = cr >> 63;
    for (std::uint64_t breaks = (cr | lf) & ~paired; breaks != 0; breaks &= breaks - 1) {
      const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(breaks));
      line(std::string_view(s + start, at - start));
      start = at + 1;
      if (s[at] == '\r' && at + 1 < n && s[at + 1] == '\n') ++start;
    }
  };
  std::size_t base = 0;
  for (; n - base >= 64; base += 64) {
    std::uint64_t cr;
    std::uint64_t lf;
    BreakMasks(s + base, &cr, &lf);
    take(base, cr, lf);
  }
  if (base < n) {
    // The last bytes, padded with bytes that are no break.
    char tail[64] = {};
    std::memcpy(tail, s + base, n - base);
    std::uint64_t cr;
    std::uint64_t lf;
    BreakMasks(tail, &cr, &lf);
    take(base, cr, lf);
  }
  if (start < n) line(std::string_view(s + start, n - start));
}

}  // namespace

void VisitLines(std::string_view text, void (*line)(void*, std::string_view), void* context) {
  SplitText(text, [line, context](std::string_view view) { line(context, view); });
}

std::size_t CountLines(std::string_view text) {
  if (text.empty()) return 0;
  const BreakCounts counts = CountBreaks(text);
  // A CR LF pair is one break.
  const std::size_t breaks = counts.cr + counts.lf - counts.cr_lf;
  const char last = text.back();
  return breaks + (last == '\r' || last == '\n' ? 0 : 1);
}

bool HoldsLineBreak(std::string_view text) {
  const char* const p = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
#ifdef __SSE2__
  // Sixteen bytes at a time, the last sixteen overlapping what was read:
  // every result a command stores is checked line by line, and almost no
  // line holds a break, so the whole line is read either way.
  if (n >= 16) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    auto any_at = [&](const char* q) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      return _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))) != 0;
    };
    for (; n - i >= 16; i += 16) {
      if (any_at(p + i)) return true;
    }
    return i < n && any_at(p + n - 16);
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == '\r' || p[i] == '\n') return true;
  }
  return false;
}

LineStore& LineStore::operator=(const LineStore& other) {
  if (this != &other) {
    blocks_ = other.blocks_;
    index_ = other.index_;
    tail_.reset();
    composing_ = 0;
  }
  return *this;
}

LineStore LineStore::FromText(std::string text) {
  LineStore store;
  if (text.empty()) return store;
  store.index_.reserve(CountLines(text));
  auto block = std::make_shared<Block>();
  block->bytes = std::move(text);
  SplitText(block->bytes, [&store](std::string_view line) { store.index_.push_back(line); });
  store.blocks_.push_back(std::move(block));
  return store;
}

char* LineStore::Room(std::size_t size) {
  if (!tail_ || tail_->bytes.capacity() - tail_->bytes.size() < size) {
    const std::size_t previous = tail_ ? tail_->bytes.capacity() : 0;
    std::size_t capacity = std::clamp(previous * 2, kFirstBlock, kLargestBlock);
    capacity = std::max(capacity, size);
    tail_ = std::make_shared<Block>();
    tail_->bytes.reserve(capacity);
    blocks_.push_back(tail_);
  }
  std::string& bytes = tail_->bytes;
  const std::size_t used = bytes.size();
  // Within the reserved capacity: the block's bytes do not move.
  bytes.resize(used + size);
  return bytes.data() + used;
}

void LineStore::Append(View line) {
  char* p = Room(line.size());
  if (!line.empty()) std::memcpy(p, line.data(), line.size());
  index_.emplace_back(p, line.size());
}

char* LineStore::ComposeBuffer(std::size_t size) {
  composing_ = size;
  return Room(size);
}

void LineStore::CommitComposed(std::size_t written) { index_.push_back(CommitComposedView(written)); }

LineStore::View LineStore::CommitComposedView(std::size_t written) {
  std::string& bytes = tail_->bytes;
  const std::size_t start = bytes.size() - composing_;
  bytes.resize(start + written);
  composing_ = 0;
  return View(bytes.data() + start, written);
}

void LineStore::ShareBlocksOf(const LineStore& other) {
  if (&other == this || other.blocks_.empty()) return;
  if (blocks_.empty()) {
    blocks_ = other.blocks_;
    return;
  }
  std::unordered_set<const Block*> held;
  held.reserve(blocks_.size());
  for (const auto& block : blocks_) held.insert(block.get());
  for (const auto& block : other.blocks_) {
    if (held.insert(block.get()).second) blocks_.push_back(block);
  }
}

void LineStore::clear() {
  blocks_.clear();
  Index().swap(index_);
  tail_.reset();
  composing_ = 0;
}

std::size_t LineStore::HeldBytes() const {
  std::size_t total = 0;
  for (const auto& block : blocks_) total += block->bytes.capacity();
  return total;
}

std::size_t LineStore::LineBytes() const {
  std::size_t total = 0;
  for (View line : index_) total += line.size();
  return total;
}

void LineStore::CompactIfSparse() {
  constexpr std::size_t kSlack = std::size_t{16} << 20;
  const std::size_t live = LineBytes();
  if (HeldBytes() <= 2 * live + kSlack) return;
  LineStore compact;
  compact.ReserveLines(index_.size());
  for (View line : index_) compact.Append(line);
  *this = std::move(compact);
}

std::string LineStore::Text() const {
  std::size_t total = 0;
  for (View line : index_) total += line.size() + 2;
  std::string text(total, '\0');
  char* p = text.data();
  for (View line : index_) {
    if (!line.empty()) std::memcpy(p, line.data(), line.size());
    p += line.size();
    p[0] = '\r';
    p[1] = '\n';
    p += 2;
  }
  return text;
}

bool LineStore::VisitRuns(View separator, bool (*run)(void*, const Run&), void* context) const {
  // A run may only read bytes between its views when they lie in one block,
  // so each view is placed in a block first: the blocks' used bytes, sorted
  // by address.
  struct Range {
    std::uintptr_t begin;
    std::uintptr_t end;
  };
  std::vector<Range> ranges;
  ranges.reserve(blocks_.size());
  for (const auto& block : blocks_) {
    const auto begin = reinterpret_cast<std::uintptr_t>(block->bytes.data());
    ranges.push_back({begin, begin + block->bytes.size()});
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const Range& a, const Range& b) { return a.begin < b.begin; });
  Range block{0, 0};
  auto place = [&ranges, &block](View view) {
    const auto begin = reinterpret_cast<std::uintptr_t>(view.data());
    const auto end = begin + view.size();
    if (begin >= block.begin && end <= block.end && block.end > block.begin) return true;
    auto after = std::upper_bound(ranges.begin(), ranges.end(), begin,
                                  [](std::uintptr_t a, const Range& r) { return a < r.begin; });
    if (after == ranges.begin() || end > std::prev(after)->end) return false;
    block = *std::prev(after);
    return true;
  };
  auto separator_at = [&separator, &block](const char* p) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    if (block.end - at < separator.size()) return false;
    // Byte by byte: a separator is a byte or two, too short for a call.
    for (std::size_t k = 0; k < separator.size(); ++k) {
      if (p[k] != separator[k]) return false;
    }
    return true;
  };
  const std::size_t n = index_.size();
  for (std::size_t i = 0; i < n;) {
    const View first = index_[i];
    if (!place(first)) {
      if (!run(context, Run{first, 1, false})) return false;
      ++i;
      continue;
    }
    const char* end = first.data() + first.size();
    bool separated = false;
    std::size_t j = i + 1;
    while (separator_at(end)) {
      separated = true;
      if (j == n) break;
      const View next = index_[j];
      const auto next_end = reinterpret_cast<std::uintptr_t>(next.data()) + next.size();
      if (next.data() != end + separator.size() || next_end > block.end) break;
      end = next.data() + next.size();
      separated = false;
      ++j;
    }
    if (separated) end += separator.size();
    if (!run(context, Run{View(first.data(), static_cast<std::size_t>(end - first.data())), j - i,
                          separated})) {
      return false;
    }
    i = j;
  }
  return true;
}

std::vector<std::string> LineStore::ToStrings() const {
  std::vector<std::string> lines;
  lines.reserve(index_.size());
  for (View line : index_) lines.emplace_back(line);
  return lines;
}

}  // namespace parvane
