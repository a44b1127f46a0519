// Storing a command's result when memory runs out: every allocation of the
// store is made to fail in turn, and each time the result is either stored
// whole or the document is exactly as it was and the caller hears of it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/scripted_host.h"

// GCC sees the inlined library allocations, not this file's operator new,
// and takes malloc/free for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// The allocation that fails next: -1 for none. The failure goes through the
// installed new-handler, as the allocator's would.
std::atomic<long> allocations_until_failure{-1};

}  // namespace

void* operator new(std::size_t size) {
  if (allocations_until_failure.load() >= 0 && allocations_until_failure.fetch_sub(1) == 0) {
    if (std::new_handler handler = std::get_new_handler()) handler();
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace parvane {
namespace {

TEST(StoreExhaustion, EveryFailedAllocationLeavesTheDocumentWholeAndIsReported) {
  struct Case {
    std::vector<std::size_t> selected;  // none: the whole document
    Lines after;
  } cases[] = {
      {{1, 2}, {"a", "x", "y", "d"}},
      {{}, {"x", "y"}},
  };
  for (const Case& c : cases) {
    bool stored = false;
    int failures = 0;
    for (long k = 0; !stored; ++k) {
      ASSERT_LT(k, 1000) << "the store never succeeded";
      ScriptedHost host;
      Editor editor(host);
      editor.doc.SetLines({"a", "b", "c", "d"});
      for (std::size_t row : c.selected) editor.doc.Select(row, true);
      bool reported = false;
      try {
        CommandFrame frame(editor, "busy");
        editor.work_lines = {"x\ny"};  // split into two rows while storing
        allocations_until_failure = k;
      } catch (const std::bad_alloc&) {
        reported = true;
      }
      const bool failed = allocations_until_failure.exchange(-1) < 0;
      if (failed) {
        ++failures;
        EXPECT_TRUE(reported) << k;
        EXPECT_TRUE(editor.doc.lines() == (Lines{"a", "b", "c", "d"})) << k;
        EXPECT_EQ(editor.doc.SelectedCount(), c.selected.size()) << k;
        EXPECT_TRUE(editor.work_lines.empty() && editor.work_store.empty()) << k;
      } else {
        stored = true;
        EXPECT_FALSE(reported);
        EXPECT_TRUE(editor.doc.lines() == c.after);
      }
      EXPECT_EQ(host.commands_started, host.commands_ended) << k;
    }
    EXPECT_GT(failures, 3) << "the store makes several allocations";
  }
}

}  // namespace
}  // namespace parvane
