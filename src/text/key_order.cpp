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

// A tied item with its key past the prefix, which the keys of its run share;
// with the item breaking ties no two are equal.
struct Tied {
  std::string_view tail;
  std::size_t item;
};

bool TiedLess(const Tied& a, const Tied& b) {
  const int order = a.tail.compare(b.tail);
  if (order != 0) return order < 0;
  return a.item < b.item;
}

}  // namespace

namespace key_order_internal {

// The rounds of StableOrderByKeys, friends of KeyBuilder.
class Rounds {
 public:
  // Keys past their prefixes, as builders collected them chunk by chunk.
  struct Tails {
    explicit Tails(std::size_t chunks) : bytes(chunks), ends(chunks), begins(chunks) {}

    // Returns the tail of the k-th key added, counting over the chunks.
    std::string_view At(std::size_t k) const {
      const std::size_t c =
          static_cast<std::size_t>(std::upper_bound(begins.begin(), begins.end(), k) -
                                   begins.begin()) -
          1;
      const std::size_t j = k - begins[c];
      const std::size_t start = j == 0 ? 0 : ends[c][j - 1];
      return std::string_view(bytes[c]).substr(start, ends[c][j] - start);
    }

    std::vector<std::string> bytes;              // a chunk's tails, one after another
    std::vector<std::vector<std::size_t>> ends;  // where each of a chunk's tails ends
    std::vector<std::size_t> begins;             // the count of keys before each chunk
  };

  // Gives every item its entry, on every core; with keep, also returns the
  // keys past their prefixes (the makers give whole keys).
  static Tails First(std::vector<Entry>& entries, const std::function<void(KeyBuilder&)>& make_keys,
                     const std::function<void(std::size_t, std::size_t)>& progress, bool keep,
                     unsigned workers) {
    Tails tails(keep ? ChunkCount(entries.size(), kMinChunk, workers) : 0);
    ForEachChunk(
        entries.size(), kMinChunk,
        [&](std::size_t chunk, std::size_t begin, std::size_t end) {
          KeyBuilder builder(KeyItems::Range(begin, end - begin), false);
          builder.keep_ = keep;
          builder.entries_ = entries.data();
          if (chunk == 0) builder.progress_ = &progress;
          make_keys(builder);
          Finish(builder, end - begin);
          if (keep) Take(builder, chunk, begin, tails);
        },
        workers);
    return tails;
  }

  // Orders, by whole keys, every run of sorted entries whose prefixes are
  // equal and whose keys go on past them; the rest of the order is already
  // right. The keys past their prefixes are kept ones when given, or made
  // again for the tied items.
  static void OrderTies(std::vector<Entry>& entries,
                        const std::function<void(KeyBuilder&)>& make_keys, const Tails* kept,
                        unsigned workers) {
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

    std::vector<Tied> keys(tied.size());
    Tails made(kept != nullptr ? 0 : ChunkCount(tied.size(), kMinChunk, workers));
    if (kept != nullptr) {
      for (std::size_t t = 0; t < tied.size(); ++t) keys[t] = {kept->At(tied[t]), tied[t]};
    } else {
      ForEachChunk(
          tied.size(), kMinChunk,
          [&](std::size_t chunk, std::size_t begin, std::size_t end) {
            KeyBuilder builder(KeyItems::List(tied.data() + begin, end - begin), true);
            make_keys(builder);
            Finish(builder, end - begin);
            Take(builder, chunk, begin, made);
          },
          workers);
      for (std::size_t t = 0; t < tied.size(); ++t) keys[t] = {made.At(t), tied[t]};
    }
    std::vector<std::size_t>().swap(tied);

    // Each run is sorted where its keys lie, and its items go back to its
    // entries.
    auto sort_run = [&](std::size_t r, unsigned run_workers) {
      const auto first = keys.begin() + static_cast<std::ptrdiff_t>(tied_at[r]);
      const auto last = first + static_cast<std::ptrdiff_t>(runs[r].size);
      if (run_workers > 1) {
        ParallelSortDistinct(first, last, TiedLess, run_workers);
      } else {
        std::sort(first, last, TiedLess);
      }
      for (std::size_t k = 0; k < runs[r].size; ++k) {
        entries[runs[r].first + k].rest =
            kLonger << 32 | first[static_cast<std::ptrdiff_t>(k)].item;
      }
    };
    std::vector<std::size_t> short_runs;
    for (std::size_t r = 0; r < runs.size(); ++r) {
      if (runs[r].size < kLongRun) {
        short_runs.push_back(r);
      } else {
        sort_run(r, workers);
      }
    }
    ForEachChunk(
        short_runs.size(), 64,
        [&](std::size_t, std::size_t begin, std::size_t end) {
          for (std::size_t s = begin; s < end; ++s) sort_run(short_runs[s], 1);
        },
        workers);
  }

 private:
  static void Finish(const KeyBuilder& builder, std::size_t size) {
    if (builder.added_ != size) throw std::logic_error("StableOrderByKeys: not one key per item");
  }

  static void Take(KeyBuilder& builder, std::size_t chunk, std::size_t begin, Tails& tails) {
    tails.bytes[chunk] = std::move(builder.bytes_);
    tails.ends[chunk] = std::move(builder.ends_);
    tails.begins[chunk] = begin;
  }
};

// Both ways of ordering; keep says whether the first round's whole keys are
// kept past their prefixes for the ties.
std::vector<std::size_t> Order(std::size_t n, const std::function<void(KeyBuilder&)>& make_keys,
                               const std::function<void(std::size_t, std::size_t)>& progress,
                               bool keep, unsigned workers) {
  // An entry keeps its item in 32 bits, so that it is one word past the
  // prefix.
  if (n > 0xFFFFFFFF) throw std::length_error("StableOrderByKeys: too many items");
  std::vector<Entry> entries(n);
  const Rounds::Tails tails = Rounds::First(entries, make_keys, progress, keep, workers);
  ParallelSortDistinct(entries, EntryLess, workers);
  Rounds::OrderTies(entries, make_keys, keep ? &tails : nullptr, workers);
  // The items pass through a vector of 32-bit items, so that the entries
  // are gone before the order is made: the sort's memory peaks here.
  std::vector<std::uint32_t> items(n);
  for (std::size_t i = 0; i < n; ++i) items[i] = static_cast<std::uint32_t>(ItemOf(entries[i]));
  std::vector<Entry>().swap(entries);
  return std::vector<std::size_t>(items.begin(), items.end());
}

}  // namespace key_order_internal

void KeyBuilder::Add(std::string_view key) {
  if (added_ == items_.size()) throw std::logic_error("StableOrderByKeys: more keys than items");
  // The tail past the prefix is all the ties need; the prefix is in the
  // entry, or shared by the run.
  if (whole_ || keep_) {
    bytes_.append(key.substr(std::min(key.size(), kPrefixBytes)));
    ends_.push_back(bytes_.size());
  }
  if (whole_) {
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
  return key_order_internal::Order(n, make_keys, progress, false, workers);
}

std::vector<std::size_t> StableOrderByWholeKeys(
    std::size_t n, const std::function<void(KeyBuilder&)>& make_keys,
    const std::function<void(std::size_t, std::size_t)>& progress, unsigned workers) {
  return key_order_internal::Order(n, make_keys, progress, true, workers);
}

}  // namespace parvane
