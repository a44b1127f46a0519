#include "text/parallel_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "text/parallel_chunks.h"

namespace parvane {
namespace {

TEST(ForEachChunk, CoversTheRangeInOrderedChunksOfNearlyEqualSize) {
  for (std::size_t n : {0u, 1u, 7u, 100u, 101u}) {
    for (unsigned workers : {1u, 2u, 3u, 8u}) {
      const std::size_t chunks = ChunkCount(n, 1, workers);
      std::vector<std::pair<std::size_t, std::size_t>> seen(chunks, {n + 1, n + 1});
      std::atomic<int> calls{0};
      ForEachChunk(
          n, 1,
          [&](std::size_t chunk, std::size_t begin, std::size_t end) {
            seen[chunk] = {begin, end};
            ++calls;
          },
          workers);
      ASSERT_EQ(calls.load(), static_cast<int>(chunks)) << n << " " << workers;
      EXPECT_EQ(seen.front().first, 0u);
      EXPECT_EQ(seen.back().second, n);
      for (std::size_t k = 0; k < chunks; ++k) {
        if (k > 0) {
          EXPECT_EQ(seen[k].first, seen[k - 1].second);
        }
        EXPECT_LE(seen[k].second - seen[k].first, n / chunks + 1);
        EXPECT_GE(seen[k].second - seen[k].first, n / chunks);
      }
    }
  }
}

TEST(ForEachChunk, ChunkCountRespectsTheMinimumAndTheWorkers) {
  EXPECT_EQ(ChunkCount(0, 10, 4), 1u);
  EXPECT_EQ(ChunkCount(19, 10, 4), 1u);
  EXPECT_EQ(ChunkCount(20, 10, 4), 2u);
  EXPECT_EQ(ChunkCount(1000, 10, 4), 4u);
  EXPECT_EQ(ChunkCount(1000, 0, 3), 3u);
  EXPECT_EQ(ChunkCount(1000, 10, 0), 1u);
}

TEST(ForEachChunk, TheFirstChunkRunsOnTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  std::thread::id first;
  ForEachChunk(
      10, 1, [&](std::size_t chunk, std::size_t, std::size_t) {
        if (chunk == 0) first = std::this_thread::get_id();
      },
      3);
  EXPECT_EQ(first, caller);
}

TEST(ForEachChunk, RethrowsTheLowestChunksErrorAfterEveryChunkEnded) {
  std::atomic<int> finished{0};
  try {
    ForEachChunk(
        40, 1,
        [&](std::size_t chunk, std::size_t, std::size_t) {
          ++finished;
          if (chunk == 1) throw std::runtime_error("one");
          if (chunk == 3) throw std::runtime_error("three");
        },
        4);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "one");
  }
  EXPECT_EQ(finished.load(), 4);
}

// Pairs (key, original position): only the key is compared, so a stable
// sort is told apart from an unstable one by the positions.
using Item = std::pair<int, int>;

std::vector<Item> RandomItems(std::mt19937& rng, std::size_t n, int distinct) {
  std::uniform_int_distribution<int> key(0, distinct - 1);
  std::vector<Item> items(n);
  for (std::size_t i = 0; i < n; ++i) items[i] = {key(rng), static_cast<int>(i)};
  return items;
}

TEST(ParallelStableSort, GivesStableSortsOrderForAnyWorkersAndRunSizes) {
  std::mt19937 rng(12);
  auto less = [](const Item& a, const Item& b) { return a.first < b.first; };
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = std::uniform_int_distribution<std::size_t>(0, 400)(rng);
    const int distinct = std::uniform_int_distribution<int>(1, 20)(rng);
    const unsigned workers = std::uniform_int_distribution<unsigned>(1, 9)(rng);
    const std::size_t min_run = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
    std::vector<Item> items = RandomItems(rng, n, distinct);
    std::vector<Item> expected = items;
    std::stable_sort(expected.begin(), expected.end(), less);
    ParallelStableSort(items, less, workers, min_run);
    ASSERT_EQ(items, expected) << "n=" << n << " workers=" << workers << " min_run=" << min_run;
  }
}

TEST(ParallelSortDistinct, GivesTheOneOrderOfDistinctItemsForAnyWorkersAndRunSizes) {
  std::mt19937 rng(13);
  // Position breaks every tie, so no two items are equal.
  auto less = [](const Item& a, const Item& b) {
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  };
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = std::uniform_int_distribution<std::size_t>(0, 400)(rng);
    const unsigned workers = std::uniform_int_distribution<unsigned>(1, 9)(rng);
    const std::size_t min_run = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
    std::vector<Item> items = RandomItems(rng, n, 8);
    std::shuffle(items.begin(), items.end(), rng);
    std::vector<Item> expected = items;
    std::sort(expected.begin(), expected.end(), less);
    ParallelSortDistinct(items, less, workers, min_run);
    ASSERT_EQ(items, expected) << "n=" << n << " workers=" << workers << " min_run=" << min_run;
  }
}

TEST(ParallelStableSort, SortedAndReversedInputsOnTheDefaultWorkers) {
  auto less = [](const Item& a, const Item& b) { return a.first < b.first; };
  std::vector<Item> ascending, descending;
  for (int i = 0; i < 50000; ++i) {
    ascending.push_back({i / 3, i});
    descending.push_back({(50000 - i) / 3, i});
  }
  for (std::vector<Item>* items : {&ascending, &descending}) {
    std::vector<Item> expected = *items;
    std::stable_sort(expected.begin(), expected.end(), less);
    ParallelStableSort(*items, less);
    EXPECT_EQ(*items, expected);
  }
}

}  // namespace
}  // namespace parvane
