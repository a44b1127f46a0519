#include "text/key_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvane {
namespace {

std::vector<std::size_t> ExpectedOrder(const std::vector<std::string>& keys) {
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  return order;
}

std::vector<std::size_t> Order(const std::vector<std::string>& keys, unsigned workers) {
  return StableOrderByKeys(
      keys.size(),
      [&keys](KeyBuilder& builder) {
        for (std::size_t i : builder.items()) builder.Add(keys[i]);
      },
      {}, workers);
}

// Keys over few byte values, zero among them, lengths around the eight-byte
// prefix: prefixes of one another, equal keys, keys equal but for trailing
// zeros, and keys that differ only past the prefix.
std::string RandomKey(std::mt19937& rng) {
  static const char kBytes[] = {'\0', '\x01', 'a', '\x7F', '\x80', '\xFF'};
  std::string key(std::uniform_int_distribution<int>(0, 12)(rng), '\0');
  for (char& c : key) c = kBytes[std::uniform_int_distribution<int>(0, 5)(rng)];
  return key;
}

TEST(StableOrderByKeys, MatchesStableSortOfTheKeys) {
  std::mt19937 rng(7);
  for (int round = 0; round < 12; ++round) {
    // Enough items for several chunks of the smallest size worth a thread.
    const std::size_t n = std::uniform_int_distribution<std::size_t>(0, 30000)(rng);
    std::vector<std::string> keys(n);
    for (std::string& key : keys) key = RandomKey(rng);
    const std::vector<std::size_t> expected = ExpectedOrder(keys);
    for (unsigned workers : {1u, 2u, 3u, 5u}) {
      ASSERT_EQ(Order(keys, workers), expected) << "n=" << n << " workers=" << workers;
    }
  }
}

TEST(StableOrderByKeys, TrailingZerosAndPrefixesOrderAsStrings) {
  using namespace std::string_literals;
  std::vector<std::string> keys = {"ab\0"s, "ab"s, ""s,           "abcdefgh\0"s, "abcdefgh"s,
                                   "\0"s,   "ab"s, "abcdefghi"s, "abcdefgg\xFF"s};
  EXPECT_EQ(Order(keys, 1), ExpectedOrder(keys));
}

TEST(StableOrderByKeys, ReportsProgressOfTheFirstChunkOnly) {
  std::vector<std::string> keys(20000, "k");
  std::size_t calls = 0;
  std::size_t last_count = 0;
  StableOrderByKeys(
      keys.size(),
      [&keys](KeyBuilder& builder) {
        for (std::size_t i : builder.items()) builder.Add(keys[i]);
      },
      [&](std::size_t i, std::size_t count) {
        EXPECT_EQ(i, calls);
        ++calls;
        last_count = count;
      },
      2);
  EXPECT_EQ(calls, 10000u);
  EXPECT_EQ(last_count, 10000u);
}

TEST(StableOrderByKeys, AMissingKeyIsAnError) {
  EXPECT_THROW(StableOrderByKeys(3, [](KeyBuilder& builder) { builder.Add("x"); }),
               std::logic_error);
}

}  // namespace
}  // namespace parvane
