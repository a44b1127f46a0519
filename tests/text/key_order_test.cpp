#include "text/key_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
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

// Gives the builder no more of each key than it asks for, so that a sort
// that looked past limit() would go wrong.
// With kept, through StableOrderByWholeKeys.
std::vector<std::size_t> Order(const std::vector<std::string>& keys, unsigned workers,
                               bool kept = false) {
  auto make_keys = [&keys](KeyBuilder& builder) {
    for (std::size_t i : builder.items()) {
      builder.Add(std::string_view(keys[i]).substr(0, builder.limit()));
    }
  };
  return kept ? StableOrderByWholeKeys(keys.size(), make_keys, {}, workers)
              : StableOrderByKeys(keys.size(), make_keys, {}, workers);
}

// Keys over few byte values, zero among them: prefixes of one another,
// equal keys, keys equal but for trailing zeros. Most start with one of a
// few stems as long as the kept prefix or longer, so that many tie there
// and differ only past it.
std::string RandomKey(std::mt19937& rng) {
  static const char kBytes[] = {'\0', '\x01', 'a', '\x7F', '\x80', '\xFF'};
  static const std::string kStems[] = {"", std::string(KeyBuilder::kPrefixBytes - 1, 'a'),
                                       std::string(KeyBuilder::kPrefixBytes, '\x80'),
                                       std::string(KeyBuilder::kPrefixBytes + 5, '\0')};
  std::string key = kStems[std::uniform_int_distribution<int>(0, 3)(rng)];
  for (int k = std::uniform_int_distribution<int>(0, 12)(rng); k > 0; --k) {
    key += kBytes[std::uniform_int_distribution<int>(0, 5)(rng)];
  }
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
      for (bool kept : {false, true}) {
        ASSERT_EQ(Order(keys, workers, kept), expected)
            << "n=" << n << " workers=" << workers << " kept=" << kept;
      }
    }
  }
}

// More ties behind one prefix than a run sorted on one core takes.
TEST(StableOrderByKeys, ALongRunOfTiesMatchesStableSort) {
  std::mt19937 rng(9);
  std::vector<std::string> keys(40000, std::string(KeyBuilder::kPrefixBytes + 3, 'k'));
  for (std::string& key : keys) key += static_cast<char>(rng() % 3);
  const std::vector<std::size_t> expected = ExpectedOrder(keys);
  for (unsigned workers : {1u, 2u, 3u}) {
    EXPECT_EQ(Order(keys, workers), expected);
    EXPECT_EQ(Order(keys, workers, true), expected);
  }
}

// The first round asks for every key once, the second only for keys that
// go on past a prefix another key shares.
TEST(StableOrderByKeys, AsksAgainOnlyForTies) {
  std::mt19937 rng(5);
  std::vector<std::string> keys(20000);
  for (std::string& key : keys) key = RandomKey(rng);
  std::vector<int> first(keys.size()), second(keys.size());
  StableOrderByKeys(keys.size(), [&](KeyBuilder& builder) {
    for (std::size_t i : builder.items()) {
      ++(builder.whole() ? second : first)[i];
      builder.Add(keys[i]);
    }
  });
  const std::size_t kept = KeyBuilder::kPrefixBytes;
  std::map<std::string, int> longer_with_prefix;
  for (const std::string& key : keys) {
    if (key.size() > kept) ++longer_with_prefix[key.substr(0, kept)];
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const bool tied = keys[i].size() > kept && longer_with_prefix[keys[i].substr(0, kept)] > 1;
    ASSERT_EQ(first[i], 1) << i;
    ASSERT_EQ(second[i], tied ? 1 : 0) << i;
  }
}

TEST(StableOrderByKeys, TrailingZerosAndPrefixesOrderAsStrings) {
  using namespace std::string_literals;
  std::vector<std::string> keys = {"ab\0"s, "ab"s, ""s,           "abcdefgh\0"s, "abcdefgh"s,
                                   "\0"s,   "ab"s, "abcdefghi"s, "abcdefgg\xFF"s};
  // The same around the kept prefix's end.
  const std::string stem(KeyBuilder::kPrefixBytes - 1, 'p');
  for (const std::string& tail : {"\0"s, ""s, "\0\0"s, "\0\0\0"s, "\0\x01"s, "q"s, "q\0"s, "q\0"s,
                                 "\x01"s, "\0"s, "qq"s, "q"s}) {
    keys.push_back(stem + tail);
  }
  EXPECT_EQ(Order(keys, 1), ExpectedOrder(keys));
  EXPECT_EQ(Order(keys, 1, true), ExpectedOrder(keys));
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
