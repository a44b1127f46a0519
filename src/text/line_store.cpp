#include "text/line_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

namespace parvane {

namespace {

// Blocks grow from 64 KB to 8 MB as a store fills: a one-line result costs
// little and a large file a few hundred blocks.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{8} << 20;

// Sets the top bit of every byte of x that is zero and no other bit; no
// carry crosses bytes, as only each byte's low seven bits are added to 0x7F.
std::uint64_t ZeroBytes(std::uint64_t x) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

struct BreakCounts {
  std::size_t cr = 0;
  std::size_t lf = 0;
};

// Counts CR and LF bytes eight at a time.
BreakCounts CountBreaks(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  BreakCounts counts;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    // One flag per byte, summed into the top byte by one multiplication.
    counts.lf += static_cast<std::size_t>(((ZeroBytes(word ^ ('\n' * kOnes)) >> 7) * kOnes) >> 56);
    counts.cr += static_cast<std::size_t>(((ZeroBytes(word ^ ('\r' * kOnes)) >> 7) * kOnes) >> 56);
  }
  for (; i < text.size(); ++i) {
    counts.lf += text[i] == '\n';
    counts.cr += text[i] == '\r';
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
  std::size_t breaks = counts.cr + counts.lf;
  if (counts.cr != 0 && counts.lf != 0) {
    // A CR LF pair is one break.
    const char* const s = text.data();
    for (const char* p = s; (p = static_cast<const char*>(
                                 std::memchr(p, '\n', text.size() - static_cast<std::size_t>(p - s)))) != nullptr;
         ++p) {
      if (p > s && p[-1] == '\r') --breaks;
    }
  }
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

void LineStore::CommitComposed(std::size_t written) {
  std::string& bytes = tail_->bytes;
  const std::size_t start = bytes.size() - composing_;
  bytes.resize(start + written);
  index_.emplace_back(bytes.data() + start, written);
  composing_ = 0;
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
