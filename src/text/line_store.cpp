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

// Splits text that holds only one kind of break, one memchr per line.
void SplitAt(std::string_view text, char brk, void (*line)(void*, std::string_view), void* context) {
  const char* const s = text.data();
  const std::size_t n = text.size();
  std::size_t start = 0;
  while (start < n) {
    const void* found = std::memchr(s + start, brk, n - start);
    std::size_t end =
        found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - s) : n;
    line(context, std::string_view(s + start, end - start));
    start = end + 1;
  }
}

}  // namespace

void VisitLines(std::string_view text, void (*line)(void*, std::string_view), void* context) {
  const char* const s = text.data();
  const std::size_t n = text.size();
  if (std::memchr(s, '\r', n) == nullptr) return SplitAt(text, '\n', line, context);
  if (std::memchr(s, '\n', n) == nullptr) return SplitAt(text, '\r', line, context);
  // Both kinds. memchr finds the breaks many bytes at a time; the next LF is
  // remembered, so a file of lone CRs is not searched to its end once per line.
  std::size_t start = 0;
  std::size_t next_lf = 0;
  bool lf_known = false;
  while (start < n) {
    if (!lf_known || next_lf < start) {
      const void* lf = std::memchr(s + start, '\n', n - start);
      next_lf = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - s) : n;
      lf_known = true;
    }
    const void* cr = std::memchr(s + start, '\r', next_lf - start);
    std::size_t end =
        cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - s) : next_lf;
    line(context, std::string_view(s + start, end - start));
    if (end == n) break;
    if (s[end] == '\r' && end + 1 < n && s[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::size_t CountLines(std::string_view text) {
  if (text.empty()) return 0;
  const BreakCounts counts = CountBreaks(text);
  // A CR LF pair is one break.
  const std::size_t breaks = counts.cr + counts.lf - counts.cr_lf;
  const char last = text.back();
  return breaks + (last == '\r' || last == '\n' ? 0 : 1);
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
  ForEachLine(block->bytes, [&store](std::string_view line) { store.index_.push_back(line); });
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

std::vector<std::string> LineStore::ToStrings() const {
  std::vector<std::string> lines;
  lines.reserve(index_.size());
  for (View line : index_) lines.emplace_back(line);
  return lines;
}

}  // namespace parvane
