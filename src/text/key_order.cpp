#include "text/key_order.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "text/parallel_sort.h"

namespace parvane {
namespace key_order_internal {

constexpr std::size_t kWords = KeyBuilder::kPrefixBytes / 8;

// Sorting entries by their words sorts the items by key prefix, then by
// the prefix's length (a shorter key that the padding makes look equal is a
// prefix of the longer one, so it comes first, and a key that goes on
// comes last), then by item.
struct Entry {
  std::uint64_t prefix[kWords];  // the key's first kPrefixBytes, big-endian, zero-padded
  std::uint64_t rest;            // length << 32 | item, the length capped at kPrefixBytes + 1
};

}  // namespace key_order_internal

namespace {

using key_order_internal::Entry;
using key_order_internal::kWords;

static_assert(sizeof(Entry::prefix) == KeyBuilder::kPrefixBytes);

// Chunks smaller than this are not worth a thread.
constexpr std::size_t kMinChunk = 4096;

// The capped length of a key that goes on past its prefix.
constexpr std::uint64_t kLonger = KeyBuilder::kPrefixBytes + 1;

// A run of ties this long is sorted on every core; shorter runs share them.
constexpr std::size_t kLongRun = std::size_t{1} << 14;

std::uint64_t BigEndian(const unsigned char* bytes) {
  std::uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = word << 8 | bytes[i];
  return word;
}

bool EntryLess(const Entry& a, const Entry& b) {
  for (std::size_t w = 0; w < kWords; ++w) {
    if (a.prefix[w] != b.prefix[w]) return a.prefix[w] < b.prefix[w];
  }
  return a.rest < b.rest;
}

std::uint64_t LengthOf(const Entry& e) { return e.rest >> 32; }
std::size_t ItemOf(const Entry& e) { return static_cast<std::size_t>(e.rest & 0xFFFFFFFF); }

bool SamePrefix(const Entry& a, const Entry& b) {
  return std::equal(a.prefix, a.prefix + kWords, b.prefix);
}

// A tied item with its whole key. The keys of one run agree in their first
// kPrefixBytes, so the comparison starts after them; every tied key is
// longer than that. With the item breaking ties no two are equal.
struct Tied {
  std::string_view key;
  std::size_t item;
};

bool TiedLess(const Tied& a, const Tied& b) {
  const int order =
      a.key.substr(KeyBuilder::kPrefixBytes).compare(b.key.substr(KeyBuilder::kPrefixBytes));
  if (order != 0) return order < 0;
  return a.item < b.item;
}

}  // namespace

namespace key_order_internal {

// The two rounds of StableOrderByKeys, friends of KeyBuilder.
class Rounds {
 public:
  // Gives every item its entry, on every core.
  static void First(std::vector<Entry>& entries, const std::function<void(KeyBuilder&)>& make_keys,
                    const std::function<void(std::size_t, std::size_t)>& progress,
                    unsigned workers) {
    ForEachChunk(
        entries.size(), kMinChunk,
        [&](std::size_t chunk, std::size_t begin, std::size_t end) {
          KeyBuilder builder(KeyItems::Range(begin, end - begin), false);
          builder.entries_ = entries.data();
          if (chunk == 0) builder.progress_ = &progress;
          make_keys(builder);
          if (builder.added_ != end - begin) {
            throw std::logic_error("StableOrderByKeys: not one key per item");
          }
        },
        workers);
  }

  // Orders, by whole keys, every run of sorted entries whose prefixes are equal
  // and whose keys go on past them; the rest of the order is already right.
  static void OrderTies(std::vector<Entry>& entries,
                        const std::function<void(KeyBuilder&)>& make_keys, unsigned workers) {
    struct Run {
      std::size_t first;  // the run's first entry, and its first item in tied
      std::size_t size;
    };
    std::vector<Run> runs;
    std::vector<std::size_t> tied;     // the runs' items, run after run
    std::vector<std::size_t> tied_at;  // where each run's items start in tied
    const std::size_t n = entries.size();
    for (std::size_t i = 0; i < n;) {
      std::size_t j = i + 1;
      if (LengthOf(entries[i]) == kLonger) {
        while (j < n && LengthOf(entries[j]) == kLonger && SamePrefix(entries[i], entries[j])) ++j;
      }
      if (j - i > 1) {
        runs.push_back({i, j - i});
        tied_at.push_back(tied.size());
        for (std::size_t k = i; k < j; ++k) tied.push_back(ItemOf(entries[k]));
      }
      i = j;
    }
    if (runs.empty()) return;

    std::vector<std::string> bytes(ChunkCount(tied.size(), kMinChunk, workers));
    std::vector<Tied> keys(tied.size());
    std::vector<std::vector<std::size_t>> ends(bytes.size());
    std::vector<std::size_t> begins(bytes.size());
    ForEachChunk(
        tied.size(), kMinChunk,
        [&](std::size_t chunk, std::size_t begin, std::size_t end) {
          KeyBuilder builder(KeyItems::List(tied.data() + begin, end - begin), true);
          make_keys(builder);
          if (builder.added_ != end - begin) {
            throw std::logic_error("StableOrderByKeys: not one key per item");
          }
          bytes[chunk] = std::move(builder.bytes_);
          ends[chunk] = std::move(builder.ends_);
          begins[chunk] = begin;
        },
        workers);
    for (std::size_t chunk = 0; chunk < bytes.size(); ++chunk) {
      std::size_t start = 0;
      for (std::size_t k = 0; k < ends[chunk].size(); ++k) {
        const std::size_t t = begins[chunk] + k;
        keys[t] = {std::string_view(bytes[chunk]).substr(start, ends[chunk][k] - start), tied[t]};
        start = ends[chunk][k];
      }
      std::vector<std::size_t>().swap(ends[chunk]);
    }
    std::vector<std::size_t>().swap(tied);

    auto put_back = [&](std::size_t r, const std::vector<Tied>& sorted) {
      for (std::size_t k = 0; k < runs[r].size; ++k) {
        entries[runs[r].first + k].rest = kLonger << 32 | sorted[k].item;
      }
    };
    std::vector<std::size_t> short_runs;
    for (std::size_t r = 0; r < runs.size(); ++r) {
      if (runs[r].size < kLongRun) {
        short_runs.push_back(r);
        continue;
      }
      std::vector<Tied> run(keys.begin() + static_cast<std::ptrdiff_t>(tied_at[r]),
                            keys.begin() + static_cast<std::ptrdiff_t>(tied_at[r] + runs[r].size));
      ParallelSortDistinct(run, TiedLess, workers);
      put_back(r, run);
    }
    ForEachChunk(
        short_runs.size(), 64,
        [&](std::size_t, std::size_t begin, std::size_t end) {
          std::vector<Tied> run;
          for (std::size_t s = begin; s < end; ++s) {
            const std::size_t r = short_runs[s];
            run.assign(keys.begin() + static_cast<std::ptrdiff_t>(tied_at[r]),
                       keys.begin() + static_cast<std::ptrdiff_t>(tied_at[r] + runs[r].size));
            std::sort(run.begin(), run.end(), TiedLess);
            put_back(r, run);
          }
        },
        workers);
  }
};

}  // namespace key_order_internal

void KeyBuilder::Add(std::string_view key) {
  if (added_ == items_.size()) throw std::logic_error("StableOrderByKeys: more keys than items");
  if (whole_) {
    bytes_.append(key);
    ends_.push_back(bytes_.size());
    ++added_;
    return;
  }
  const std::size_t item = items_[added_];
  unsigned char bytes[kPrefixBytes] = {};
  std::memcpy(bytes, key.data(), std::min(key.size(), kPrefixBytes));
  Entry& entry = entries_[item];
  for (std::size_t w = 0; w < kWords; ++w) entry.prefix[w] = BigEndian(bytes + 8 * w);
  const std::uint64_t length = std::min<std::uint64_t>(key.size(), kLonger);
  entry.rest = length << 32 | item;
  ++added_;
  if (progress_ != nullptr && *progress_) (*progress_)(added_ - 1, items_.size());
}

std::vector<std::size_t> StableOrderByKeys(
    std::size_t n, const std::function<void(KeyBuilder&)>& make_keys,
    const std::function<void(std::size_t, std::size_t)>& progress, unsigned workers) {
  // An entry keeps its item in 32 bits, so that it is one word past the
  // prefix.
  if (n > 0xFFFFFFFF) throw std::length_error("StableOrderByKeys: too many items");
  std::vector<Entry> entries(n);
  key_order_internal::Rounds::First(entries, make_keys, progress, workers);
  ParallelSortDistinct(entries, EntryLess, workers);
  key_order_internal::Rounds::OrderTies(entries, make_keys, workers);
  // The items pass through a vector of 32-bit items, so that the entries
  // are gone before the order is made: the sort's memory peaks here.
  std::vector<std::uint32_t> items(n);
  for (std::size_t i = 0; i < n; ++i) items[i] = static_cast<std::uint32_t>(ItemOf(entries[i]));
  std::vector<Entry>().swap(entries);
  return std::vector<std::size_t>(items.begin(), items.end());
}

}  // namespace parvane
