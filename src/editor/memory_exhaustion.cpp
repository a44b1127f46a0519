#include "editor/memory_exhaustion.h"

#include <atomic>
#include <new>

namespace parvane {
namespace {

// Atomic: worker threads (collation keys, code conversion) allocate too.
std::atomic<bool> exhausted{false};

void OnAllocationFailure() {
  exhausted.store(true, std::memory_order_relaxed);
  throw std::bad_alloc();
}

}  // namespace

void WatchMemoryExhaustion() { std::set_new_handler(&OnAllocationFailure); }

bool MemoryExhausted() { return exhausted.load(std::memory_order_relaxed); }

void ClearMemoryExhaustion() { exhausted.store(false, std::memory_order_relaxed); }

}  // namespace parvane
