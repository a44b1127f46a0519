// Ordering items by byte-string keys, on every core, keeping only a short
// prefix of each key. The entry point is StableOrderByKeys.
//
// Every item gets one fixed-size entry holding its key's first
// KeyBuilder::kPrefixBytes bytes, and the entries are sorted. Only the items
// whose prefixes tie and whose keys go on past them have their whole keys
// made, a second time, to order those ties. The order is exactly the one the
// whole keys give, while the memory holds no key bytes beyond the prefixes
// and the makers of keys that can stop early (a collator) do a fraction of
// the work for most items.
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

namespace key_order_internal {
struct Entry;  // an item's place in the sort (key_order.cpp)
class Rounds;  // the two rounds of key making (key_order.cpp)
}  // namespace key_order_internal

// The items a KeyBuilder wants keys of, in the order it wants them: a range
// of consecutive items, or a list.
class KeyItems {
 public:
  class Iterator {
   public:
    std::size_t operator*() const { return list_ != nullptr ? list_[pos_] : pos_; }
    Iterator& operator++() {
      ++pos_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return pos_ == other.pos_; }

   private:
    friend class KeyItems;
    Iterator(const std::size_t* list, std::size_t pos) : list_(list), pos_(pos) {}
    const std::size_t* list_;  // the items, or null: pos_ is the item
    std::size_t pos_;          // the index into list_, or the item
  };

  // Items first .. first + size - 1.
  static KeyItems Range(std::size_t first, std::size_t size) { return {nullptr, first, size}; }
  // Items list[0] .. list[size - 1].
  static KeyItems List(const std::size_t* list, std::size_t size) { return {list, 0, size}; }

  std::size_t operator[](std::size_t k) const { return list_ != nullptr ? list_[k] : first_ + k; }
  Iterator begin() const { return {list_, first_}; }
  Iterator end() const { return {list_, first_ + size_}; }
  std::size_t size() const { return size_; }

 private:
  KeyItems(const std::size_t* list, std::size_t first, std::size_t size)
      : list_(list), first_(first), size_(size) {}

  const std::size_t* list_;  // the items, or null for a range
  std::size_t first_;        // the range's first item; 0 for a list
  std::size_t size_;         // how many items
};

// Collects the keys of one chunk of items, in the order of items().
class KeyBuilder {
 public:
  // How many leading bytes of each key an entry holds.
  static constexpr std::size_t kPrefixBytes = 16;
  // limit() when whole keys are wanted.
  static constexpr std::size_t kWholeKey = static_cast<std::size_t>(-1);

  // Returns the items whose keys to Add, in order.
  const KeyItems& items() const { return items_; }

  // Returns how many leading bytes of each key Add uses: kPrefixBytes + 1
  // in the first round, which gives every item its key (the one byte more
  // tells whether the key goes on), kWholeKey in the second, which asks
  // again for the keys of tied items, and in StableOrderByWholeKeys. A maker
  // may compute no more.
  std::size_t limit() const { return whole_ || keep_ ? kWholeKey : kPrefixBytes + 1; }

  // Returns true in the second round: work that must happen once per item
  // belongs to the first.
  bool whole() const { return whole_; }

  // Takes the key of the next item: at least its first limit() bytes (all of
  // it when shorter). Throws std::logic_error past the last item.
  void Add(std::string_view key);

 private:
  friend class key_order_internal::Rounds;

  KeyBuilder(KeyItems items, bool whole) : items_(items), whole_(whole) {}

  KeyItems items_;
  bool whole_;
  bool keep_ = false;      // the only round of StableOrderByWholeKeys: tails are kept
  std::size_t added_ = 0;  // how many keys Add took
  // First round: the entries of all items, indexed by item.
  key_order_internal::Entry* entries_ = nullptr;
  const std::function<void(std::size_t, std::size_t)>* progress_ = nullptr;  // chunk 0 only
  // The keys past their prefixes, one after another, and where each ends:
  // in the second round, and in the first of StableOrderByWholeKeys.
  std::string bytes_;
  std::vector<std::size_t> ends_;
};

// Returns the indexes 0 .. n-1 ordered by their keys compared as byte
// strings (std::string's operator<), items with equal keys in index order:
// the order std::stable_sort gives on the keys.
//
// make_keys(builder) must Add the key of every item of builder.items(), in
// that order (otherwise std::logic_error). It runs once per chunk of items,
// on worker threads, so it must keep its state (a collator) to itself; after
// the first round it runs again for the items whose keys tie in their first
// kPrefixBytes bytes, with builder.whole() true. progress(i, count), when
// given, is called on the calling thread as the first chunk's keys are
// added. Throws std::length_error when n does not fit in 32 bits.
std::vector<std::size_t> StableOrderByKeys(
    std::size_t n, const std::function<void(KeyBuilder& builder)>& make_keys,
    const std::function<void(std::size_t i, std::size_t count)>& progress = {},
    unsigned workers = WorkerCount());

// StableOrderByKeys in one round, for keys that cannot be made in part for
// much less than whole (keys whose first bytes tie for most items): make_keys
// runs once per chunk with limit() kWholeKey, and the keys past their first
// kPrefixBytes are kept for ordering the ties instead of being made again.
std::vector<std::size_t> StableOrderByWholeKeys(
    std::size_t n, const std::function<void(KeyBuilder& builder)>& make_keys,
    const std::function<void(std::size_t i, std::size_t count)>& progress = {},
    unsigned workers = WorkerCount());

}  // namespace parvane

#endif  // PARVANE_TEXT_KEY_ORDER_H_
