// SplitLines against a byte-at-a-time reference, on texts of every mix of
// line breaks, including breaks at every position of an eight-byte word.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/document.h"
#include "text/line_store.h"

namespace parvane {
namespace {

Lines ReferenceSplit(const std::string& text) {
  Lines lines;
  std::string line;
  bool open = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      open = true;
      continue;
    }
    lines.push_back(line);
    line.clear();
    open = false;
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  if (open) lines.push_back(line);
  return lines;
}

TEST(SplitLines, AgreesWithByteByByteReading) {
  std::mt19937 rng(3);
  const std::string alphabets[] = {"ab\n", "ab\r", "a\r\n", std::string("ab\r\n\0", 5), "\n\r"};
  for (const std::string& alphabet : alphabets) {
    for (int round = 0; round < 400; ++round) {
      std::string text;
      std::size_t length = rng() % 40;
      for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
      ASSERT_EQ(SplitLines(text), ReferenceSplit(text)) << "text of " << text.size() << " bytes";
      ASSERT_EQ(SplitLines(JoinLines(SplitLines(text))), SplitLines(text));
    }
  }
}

TEST(SplitLines, LongLinesAndManyLines) {
  std::string text(100000, 'x');
  text += "\r\n";
  for (int i = 0; i < 1000; ++i) text += std::string(static_cast<std::size_t>(i % 17), 'y') + "\n";
  text += "\rlast";
  EXPECT_EQ(SplitLines(text), ReferenceSplit(text));
}

// A CR or an LF at every position of lines of every length up to forty,
// and the other bytes next to the breaks, for the sixteen-byte reads and
// their overlapping last block.
TEST(HoldsLineBreak, FindsABreakAtEveryPositionOfEveryLength) {
  for (std::size_t length = 0; length <= 40; ++length) {
    const std::string plain(length, '\x0c');
    EXPECT_FALSE(HoldsLineBreak(plain)) << length;
    EXPECT_FALSE(HoldsLineBreak(std::string(length, '\x8d'))) << length;  // 0x0D | 0x80
    for (std::size_t at = 0; at < length; ++at) {
      for (char brk : {'\r', '\n'}) {
        std::string line = plain;
        line[at] = brk;
        EXPECT_TRUE(HoldsLineBreak(line)) << length << " " << at;
        // Read from inside a longer buffer: the reads stay within the view.
        const std::string padded = "\n" + line + "\n";
        EXPECT_TRUE(HoldsLineBreak(std::string_view(padded).substr(1, length)));
        EXPECT_FALSE(HoldsLineBreak(std::string_view("\n" + plain + "\n").substr(1, length)));
      }
    }
  }
}

}  // namespace
}  // namespace parvane
