// The line store: splitting checked against a byte-by-byte reference over
// every short text of a small alphabet, and the sharing rules that undo and
// the frame rely on.
#include "text/line_store.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace parvane {
namespace {

// The splitting rule, written as plainly as possible.
std::vector<std::string> ReferenceSplit(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void ExpectSplitLikeTheReference(const std::string& text) {
  const std::vector<std::string> expected = ReferenceSplit(text);
  ASSERT_EQ(CountLines(text), expected.size()) << testing::PrintToString(text);
  LineStore store = LineStore::FromText(text);
  ASSERT_TRUE(store == expected) << testing::PrintToString(text);
}

TEST(LineStoreSplit, EveryTextOfUpToNineBytesOverABreakAlphabet) {
  const char alphabet[] = {'a', '\r', '\n', '\0'};
  for (int length = 0; length <= 9; ++length) {
    std::vector<int> digits(static_cast<std::size_t>(length), 0);
    for (;;) {
      std::string text;
      for (int d : digits) text += alphabet[d];
      ExpectSplitLikeTheReference(text);
      std::size_t k = 0;
      while (k < digits.size() && ++digits[k] == 4) digits[k++] = 0;
      if (k == digits.size()) break;
    }
  }
}

TEST(LineStoreSplit, LongRandomTextsCrossTheSixteenByteBlocksAndTheirSums) {
  // Long runs of breaks pass the 255 blocks after which the lane sums are
  // gathered; CR LF pairs straddle block edges.
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = rng() % (round < 10 ? 9000 : 200);
    std::string text;
    const int weight = static_cast<int>(rng() % 4);
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned r = rng() % 8;
      text += r < static_cast<unsigned>(weight) ? 'x' : r % 2 ? '\r' : '\n';
    }
    ExpectSplitLikeTheReference(text);
  }
}

TEST(LineStoreSplit, ABreakIsSeenWhereverItStands) {
  // Every length around the sixteen-byte steps, a break at every place.
  for (std::size_t length = 0; length <= 70; ++length) {
    const std::string plain(length, '\x8D');  // a byte just above CR, as a trail
    EXPECT_FALSE(HoldsLineBreak(plain)) << length;
    for (std::size_t at = 0; at < length; ++at) {
      for (char brk : {'\r', '\n'}) {
        std::string text = plain;
        text[at] = brk;
        EXPECT_TRUE(HoldsLineBreak(text)) << length << " " << at;
      }
    }
  }
}

TEST(LineStore, ACopySharesBytesButNeverAppendsIntoTheOriginalsRoom) {
  LineStore original;
  original.Append("one");
  LineStore copy = original;
  copy.Append("two");
  original.Append("three");
  EXPECT_TRUE(original == (std::vector<std::string>{"one", "three"}));
  EXPECT_TRUE(copy == (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(copy[0].data(), original[0].data());  // shared, not copied
}

TEST(LineStore, SharedViewsOutliveTheStoreTheyCameFrom) {
  LineStore kept;
  {
    LineStore source = LineStore::FromText("alpha\nbeta\n");
    kept.ShareBlocksOf(source);
    kept.AppendShared(source[1]);
  }
  kept.Append("gamma");
  EXPECT_TRUE(kept == (std::vector<std::string>{"beta", "gamma"}));
}

TEST(LineStore, ComposedLinesAndEmptyLines) {
  LineStore store;
  char* p = store.ComposeBuffer(10);
  p[0] = 'a';
  p[1] = 'b';
  store.CommitComposed(2);
  store.Append("");
  store.Append(std::string(200000, 'z'));  // larger than any block
  ASSERT_EQ(store.size(), 3u);
  EXPECT_EQ(store[0], "ab");
  EXPECT_EQ(store[1], "");
  EXPECT_EQ(store[2].size(), 200000u);
  EXPECT_EQ(store.Text(), "ab\r\n\r\n" + std::string(200000, 'z') + "\r\n");
}

TEST(LineStore, CompactingASparseStoreKeepsItsLinesAndLetsTheOldBlocksGo) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + std::string(100000, '.') + "\n";
  LineStore store = LineStore::FromText(text);
  store.views().resize(2);
  const std::size_t before = store.HeldBytes();
  store.CompactIfSparse();
  ASSERT_EQ(store.size(), 2u);
  EXPECT_EQ(store[1], "1" + std::string(100000, '.'));
  EXPECT_LT(store.HeldBytes(), before / 10);
}

// A store made the ways the editor makes them: a loaded text, lines shared
// from it in another order or with gaps, appended copies, and lines of
// another store.
LineStore RandomStore(std::mt19937& rng, std::string_view separator) {
  const char* const kPieces[] = {"a", "", "\r", "\n", "\r\n", "xy"};
  std::string text;
  for (unsigned i = rng() % 40; i-- > 0;) text += kPieces[rng() % 6];
  const LineStore loaded = LineStore::FromText(text);
  const LineStore other = LineStore::FromText(std::string(separator) + "p" + std::string(separator));
  LineStore store;
  store.ShareBlocksOf(loaded);
  store.ShareBlocksOf(other);
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    switch (rng() % 6) {
      case 0: break;  // removed
      case 1: store.Append(loaded[i]); break;
      case 2: store.AppendShared(loaded[rng() % loaded.size()]); break;
      case 3: store.AppendShared(other[0]); break;
      default: store.AppendShared(loaded[i]); break;
    }
  }
  return store;
}

TEST(LineStoreRuns, RunsJoinUpToTheLinesWithTheirSeparators) {
  std::mt19937 rng(11);
  for (std::string_view separator : {"\r\n", "\n", "\r"}) {
    for (int round = 0; round < 2000; ++round) {
      const LineStore store = RandomStore(rng, separator);
      std::string expected;
      for (std::string_view line : store) expected.append(line).append(separator);
      std::string joined;
      std::size_t lines = 0;
      store.ForEachRun(separator, [&](const LineStore::Run& run) {
        EXPECT_GT(run.count, 0u);
        lines += run.count;
        joined.append(run.bytes);
        if (!run.separated) joined.append(separator);
        return true;
      });
      EXPECT_EQ(lines, store.size());
      ASSERT_EQ(joined, expected) << "round " << round;
    }
  }
}

TEST(LineStoreRuns, ALoadedTextIsOneRunAndAStopEndsTheWalk) {
  const LineStore store = LineStore::FromText("one\ntwo\n\nthree");
  std::vector<std::pair<std::string, bool>> runs;
  EXPECT_TRUE(store.ForEachRun("\n", [&](const LineStore::Run& run) {
    runs.emplace_back(std::string(run.bytes), run.separated);
    return true;
  }));
  // The last line has no break in the block: it is not separated.
  EXPECT_EQ(runs, (std::vector<std::pair<std::string, bool>>{{"one\ntwo\n\nthree", false}}));
  runs.clear();
  // Another break than the text's: every line stands alone.
  int calls = 0;
  EXPECT_FALSE(store.ForEachRun("\r\n", [&](const LineStore::Run& run) {
    EXPECT_EQ(run.count, 1u);
    return ++calls < 2;
  }));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace parvane
