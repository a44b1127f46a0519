#include "text/key_order.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "text/parallel_sort.h"

namespace parvane {
namespace {

// Chunks smaller than this are not worth a thread.
constexpr std::size_t kMinChunk = 4096;

std::uint64_t BigEndianPrefix(std::string_view key) {
  unsigned char bytes[8] = {};
  std::memcpy(bytes, key.data(), std::min<std::size_t>(key.size(), 8));
  std::uint64_t prefix = 0;
  for (unsigned char b : bytes) prefix = prefix << 8 | b;
  return prefix;
}

// One key in the sort: where it lives once every buffer is complete.
struct SortEntry {
  std::uint64_t prefix;
  const char* key;
  std::size_t length;
  std::size_t index;
};

// Byte order of the whole keys, then the index: with every tie broken by
// the index, the one order of the entries is the stable order by key. Equal
// prefixes mean the first min(8, a, b) bytes are equal (padding zeros stand
// only past a key's end), so the comparison goes on from there; most pairs
// differ in the prefix and never touch the key bytes, which lie scattered
// over the buffers.
bool KeyLess(const SortEntry& a, const SortEntry& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  const std::size_t skip = std::min<std::size_t>({8, a.length, b.length});
  const int order = std::string_view(a.key + skip, a.length - skip)
                        .compare(std::string_view(b.key + skip, b.length - skip));
  if (order != 0) return order < 0;
  return a.index < b.index;
}

}  // namespace

void KeyBuilder::Add(std::string_view key) {
  entries_.push_back({BigEndianPrefix(key), bytes_.size(), key.size(), next_index_++});
  bytes_.append(key);
  if (progress_ != nullptr && *progress_) (*progress_)(entries_.size() - 1, count_);
}

std::vector<std::size_t> StableOrderByKeys(
    std::size_t n, const std::function<void(std::size_t, std::size_t, KeyBuilder&)>& make_keys,
    const std::function<void(std::size_t, std::size_t)>& progress, unsigned workers) {
  std::vector<KeyBuilder> builders(ChunkCount(n, kMinChunk, workers));
  ForEachChunk(
      n, kMinChunk,
      [&](std::size_t chunk, std::size_t begin, std::size_t end) {
        KeyBuilder& builder = builders[chunk];
        builder.next_index_ = begin;
        builder.count_ = end - begin;
        builder.entries_.reserve(end - begin);
        if (chunk == 0) builder.progress_ = &progress;
        make_keys(begin, end, builder);
      },
      workers);
  std::vector<SortEntry> entries;
  entries.reserve(n);
  std::size_t added = 0;
  for (const KeyBuilder& builder : builders) added += builder.entries_.size();
  if (added != n) throw std::logic_error("StableOrderByKeys: not one key per item");
  for (KeyBuilder& builder : builders) {
    for (const KeyBuilder::Entry& e : builder.entries_) {
      entries.push_back({e.prefix, builder.bytes_.data() + e.offset, e.length, e.index});
    }
    std::vector<KeyBuilder::Entry>().swap(builder.entries_);
  }
  ParallelSortDistinct(entries, KeyLess, workers);
  std::vector<std::size_t> order;
  order.reserve(entries.size());
  for (const SortEntry& e : entries) order.push_back(e.index);
  return order;
}

}  // namespace parvane
