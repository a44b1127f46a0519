// A stable sort on every core: ParallelStableSort gives exactly the order of
// std::stable_sort with the same comparison.
//
// Each worker sorts one contiguous run with std::stable_sort; neighbouring
// runs are then merged pairwise, each round's merges side by side. A merge
// takes the left run's element first when two compare equal, and every run
// lies left of the runs after it, so equal elements keep their order as
// they would in one stable sort.
#ifndef PARVANE_TEXT_PARALLEL_SORT_H_
#define PARVANE_TEXT_PARALLEL_SORT_H_

#include <algorithm>
#include <cstddef>
#include <vector>

#include "text/parallel_chunks.h"

namespace parvane {

namespace parallel_sort_internal {

// Sorts runs of items with sort_run(first, last) on the workers, then merges
// neighbouring runs pairwise, each round's merges side by side.
template <typename T, typename Less, typename SortRun>
void SortRunsAndMerge(std::vector<T>& items, Less less, SortRun sort_run, unsigned workers,
                      std::size_t min_run) {
  const std::size_t runs = ChunkCount(items.size(), min_run, workers);
  auto at = [&items](std::size_t i) { return items.begin() + static_cast<std::ptrdiff_t>(i); };
  if (runs <= 1) {
    sort_run(items.begin(), items.end());
    return;
  }
  std::vector<std::size_t> bounds(runs + 1, items.size());
  ForEachChunk(
      items.size(), min_run,
      [&](std::size_t run, std::size_t begin, std::size_t end) {
        bounds[run] = begin;
        sort_run(at(begin), at(end));
      },
      workers);
  while (bounds.size() > 2) {
    // bounds holds k + 1 edges of k sorted runs; merge runs 2j and 2j + 1.
    const std::size_t pairs = (bounds.size() - 1) / 2;
    ForEachChunk(
        pairs, 1,
        [&](std::size_t, std::size_t first, std::size_t last) {
          for (std::size_t j = first; j < last; ++j) {
            std::inplace_merge(at(bounds[2 * j]), at(bounds[2 * j + 1]), at(bounds[2 * j + 2]),
                               less);
          }
        },
        workers);
    std::vector<std::size_t> merged;
    for (std::size_t i = 0; i < bounds.size(); i += 2) merged.push_back(bounds[i]);
    if (merged.back() != items.size()) merged.push_back(items.size());
    bounds.swap(merged);
  }
}

}  // namespace parallel_sort_internal

// Sorts items stably by less. Below 2 * min_run items, or with one worker, it
// is std::stable_sort on the calling thread. less is called from several
// threads at once, so it may only read shared state.
template <typename T, typename Less>
void ParallelStableSort(std::vector<T>& items, Less less, unsigned workers = WorkerCount(),
                        std::size_t min_run = std::size_t{1} << 13) {
  parallel_sort_internal::SortRunsAndMerge(
      items, less, [&less](auto first, auto last) { std::stable_sort(first, last, less); }, workers,
      min_run);
}

// ParallelStableSort for an order in which no two items are equal (ties
// broken by a unique index, say): every sort gives that one order, so it
// needs neither stability nor merging. The items are split at the
// boundaries of equal parts with std::nth_element (each part then holds
// exactly the items that belong there), and each part is sorted in place by
// std::sort on a worker of its own: no memory beyond the items, where a
// merge takes a buffer of half of them.
template <typename Iterator, typename Less>
void ParallelSortDistinct(Iterator first, Iterator last, Less less,
                          unsigned workers = WorkerCount(),
                          std::size_t min_run = std::size_t{1} << 13) {
  const std::size_t n = static_cast<std::size_t>(last - first);
  const std::size_t parts = ChunkCount(n, min_run, workers);
  auto at = [first](std::size_t i) { return first + static_cast<std::ptrdiff_t>(i); };
  std::vector<std::size_t> bounds(parts + 1);
  for (std::size_t j = 0; j <= parts; ++j) bounds[j] = n / parts * j + std::min(j, n % parts);
  for (std::size_t j = 1; j < parts; ++j) {
    std::nth_element(at(bounds[j - 1]), at(bounds[j]), last, less);
  }
  ForEachChunk(
      parts, 1,
      [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t j = begin; j < end; ++j) {
          std::sort(at(bounds[j]), at(bounds[j + 1]), less);
        }
      },
      workers);
}

// ParallelSortDistinct of a whole vector.
template <typename T, typename Less>
void ParallelSortDistinct(std::vector<T>& items, Less less, unsigned workers = WorkerCount(),
                          std::size_t min_run = std::size_t{1} << 13) {
  ParallelSortDistinct(items.begin(), items.end(), less, workers, min_run);
}

}  // namespace parvane

#endif  // PARVANE_TEXT_PARALLEL_SORT_H_
