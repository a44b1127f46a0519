// Editor::ComposeWorkStore: lines composed side by side in chunks (more than
// one chunk from about thirty thousand lines on a machine with two cores)
// come back in order, kept lines keep their bytes, and a failure leaves the
// working store as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/scripted_host.h"

namespace parvane {
namespace {

Lines NumberedLines(std::size_t count) {
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) {
    // Every seventh line empty, every thousandth as long as a line may be.
    if (i % 7 == 3) {
      lines.emplace_back();
    } else if (i % 1000 == 999) {
      lines.emplace_back(kMaxLineLength, static_cast<char>('a' + i % 26));
    } else {
      lines.push_back("line " + std::to_string(i));
    }
  }
  return lines;
}

// Line i becomes "<i>:" and the line, except every fifth line, which stays.
std::size_t Compose(std::string_view line, std::size_t i, char* out) {
  if (i % 5 == 0) return Editor::kKeepLine;
  const std::string number = std::to_string(i) + ":";
  std::memcpy(out, number.data(), number.size());
  if (!line.empty()) std::memcpy(out + number.size(), line.data(), line.size());
  return number.size() + line.size();
}

std::size_t Room(std::string_view line) { return line.size() + 21; }

TEST(ComposeWorkStoreTest, ChunksComeBackInOrderAndKeptLinesKeepTheirBytes) {
  for (std::size_t count : {0, 1, 6, 40000, 100003}) {
    ScriptedHost host;
    Editor editor(host);
    const Lines lines = NumberedLines(count);
    editor.work_store = LineStore::FromStrings(lines);
    const LineStore before = editor.work_store;

    editor.ComposeWorkStore(Room, Compose);

    ASSERT_EQ(editor.work_store.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
      if (i % 5 == 0) {
        if (!lines[i].empty()) {
          ASSERT_EQ(editor.work_store[i].data(), before[i].data()) << "line " << i << " copied";
        }
        ASSERT_EQ(editor.work_store[i].size(), before[i].size());
      } else {
        ASSERT_EQ(editor.work_store[i], std::to_string(i) + ":" + lines[i]) << "line " << i;
      }
    }
  }
}

TEST(ComposeWorkStoreTest, KeptEmptyLinesHoldNoOldBlock) {
  ScriptedHost host;
  Editor editor(host);
  editor.work_store = LineStore::FromText("\nabc\n\n");
  const LineStore before = editor.work_store;
  editor.ComposeWorkStore(Room, [](std::string_view line, std::size_t, char* out) {
    if (line.empty()) return Editor::kKeepLine;
    std::memcpy(out, "xyz", 3);
    return std::size_t{3};
  });
  EXPECT_EQ(editor.work_store, (Lines{"", "xyz", ""}));
  for (const auto& block : editor.work_store.blocks()) {
    EXPECT_EQ(std::count(before.blocks().begin(), before.blocks().end(), block), 0);
  }
}

TEST(ComposeWorkStoreTest, AFailureInAnyChunkLeavesTheStoreAsItWas) {
  const Lines lines = NumberedLines(70000);
  // The first line, and the last, which belongs to the last chunk.
  for (std::size_t failing : {std::size_t{0}, lines.size() - 1}) {
    ScriptedHost host;
    Editor editor(host);
    editor.work_store = LineStore::FromStrings(lines);
    const LineStore before = editor.work_store;
    auto compose = [failing](std::string_view line, std::size_t i, char* out) {
      if (i == failing) throw std::runtime_error("compose failed");
      return Compose(line, i, out);
    };
    EXPECT_THROW(editor.ComposeWorkStore(Room, compose), std::runtime_error);
    ASSERT_EQ(editor.work_store.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(editor.work_store[i].data(), before[i].data()) << failing << ": line " << i;
      ASSERT_EQ(editor.work_store[i].size(), before[i].size()) << failing << ": line " << i;
    }
  }
}

}  // namespace
}  // namespace parvane
