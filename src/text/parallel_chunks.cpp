#include "text/parallel_chunks.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace parvane {

unsigned WorkerCount() {
  static const unsigned count = std::max(1u, std::thread::hardware_concurrency());
  return count;
}

std::size_t ChunkCount(std::size_t n, std::size_t min_chunk, unsigned workers) {
  min_chunk = std::max<std::size_t>(min_chunk, 1);
  return std::max<std::size_t>(1, std::min<std::size_t>(std::max(workers, 1u), n / min_chunk));
}

void ForEachChunk(std::size_t n, std::size_t min_chunk,
                  const std::function<void(std::size_t chunk, std::size_t begin, std::size_t end)>& work,
                  unsigned workers) {
  const std::size_t chunks = ChunkCount(n, min_chunk, workers);
  auto begin_of = [n, chunks](std::size_t k) { return n / chunks * k + std::min(k, n % chunks); };
  std::vector<std::exception_ptr> errors(chunks);
  std::vector<std::thread> threads;
  threads.reserve(chunks - 1);
  auto run = [&](std::size_t k) {
    try {
      work(k, begin_of(k), begin_of(k + 1));
    } catch (...) {
      errors[k] = std::current_exception();
    }
  };
  try {
    for (std::size_t k = 1; k < chunks; ++k) threads.emplace_back(run, k);
  } catch (...) {
    // No thread to be had: the chunks that did not start run here, after
    // the ones that did.
    for (std::thread& t : threads) t.join();
    for (std::size_t k = threads.size() + 1; k < chunks; ++k) run(k);
    threads.clear();
  }
  run(0);
  for (std::thread& t : threads) t.join();
  for (const std::exception_ptr& e : errors) {
    if (e) std::rethrow_exception(e);
  }
}

}  // namespace parvane
