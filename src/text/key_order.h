// Ordering items by byte-string keys computed once per item: the keys of a
// million lines are built on every core into a few large buffers (no heap
// object per key) and sorted there. The entry point is StableOrderByKeys.
#ifndef PARVANE_TEXT_KEY_ORDER_H_
#define PARVANE_TEXT_KEY_ORDER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/parallel_chunks.h"

namespace parvane {

// Collects the keys of one chunk of items, in item order.
class KeyBuilder {
 public:
  // Appends the key of the chunk's next item.
  void Add(std::string_view key);

 private:
  friend std::vector<std::size_t> StableOrderByKeys(
      std::size_t, const std::function<void(std::size_t, std::size_t, KeyBuilder&)>&,
      const std::function<void(std::size_t, std::size_t)>&, unsigned);

  struct Entry {
    std::uint64_t prefix;  // the key's first eight bytes, big-endian, zero-padded
    std::size_t offset;    // where the key starts in bytes_
    std::size_t length;    // the key's length in bytes
    std::size_t index;     // the item the key belongs to
  };

  std::string bytes_;           // the chunk's keys, one after another
  std::vector<Entry> entries_;  // one per Add
  std::size_t next_index_ = 0;  // the item the next Add belongs to
  std::size_t count_ = 0;       // the chunk's size, for progress
  const std::function<void(std::size_t, std::size_t)>* progress_ = nullptr;  // chunk 0 only
};

// Returns the indexes 0 .. n-1 ordered by their keys compared as byte
// strings (std::string's operator<), items with equal keys in index order:
// the order std::stable_sort gives on the keys.
//
// make_keys(begin, end, builder) must Add the keys of items begin .. end-1,
// in that order, one key per item (otherwise std::logic_error). It runs once per chunk, on worker threads, so it must keep
// its state (a collator) to itself. progress(i, count), when given, is
// called on the calling thread as the first chunk's keys are added.
std::vector<std::size_t> StableOrderByKeys(
    std::size_t n, const std::function<void(std::size_t begin, std::size_t end, KeyBuilder& builder)>& make_keys,
    const std::function<void(std::size_t i, std::size_t count)>& progress = {},
    unsigned workers = WorkerCount());

}  // namespace parvane

#endif  // PARVANE_TEXT_KEY_ORDER_H_
