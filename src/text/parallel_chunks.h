// Work split over the machine's cores. The entry point is ForEachChunk: a
// range of items cut into one contiguous chunk per worker, each chunk on a
// std::thread of its own.
//
// Only work whose pieces share nothing writable belongs here (sort keys of
// different lines, sorting disjoint runs); the caller gives each chunk its
// own state, such as a collator of its own.
#ifndef PARVANE_TEXT_PARALLEL_CHUNKS_H_
#define PARVANE_TEXT_PARALLEL_CHUNKS_H_

#include <cstddef>
#include <functional>

namespace parvane {

// Returns the number of workers parallel work uses by default: the number of
// cores, at least 1.
unsigned WorkerCount();

// Returns how many chunks ForEachChunk cuts n items into: at most workers,
// each of at least min_chunk items (min_chunk 0 counts as 1), and 1 when n is
// below 2 * min_chunk.
std::size_t ChunkCount(std::size_t n, std::size_t min_chunk, unsigned workers = WorkerCount());

// Calls work(chunk, begin, end) for ChunkCount(n, min_chunk, workers)
// consecutive chunks that cover [0, n) in order and differ in size by at most
// one item. Chunk 0 runs on the calling thread, the others on threads of
// their own, all at once, so only chunk 0 may reach the Host (progress). n 0
// makes one call with an empty chunk. Returns when every chunk is done; if
// any threw, rethrows the exception of the lowest chunk that threw.
void ForEachChunk(std::size_t n, std::size_t min_chunk,
                  const std::function<void(std::size_t chunk, std::size_t begin, std::size_t end)>& work,
                  unsigned workers = WorkerCount());

}  // namespace parvane

#endif  // PARVANE_TEXT_PARALLEL_CHUNKS_H_
