// A long row of one-character items with repeats is run as bit vectors, not
// by the automata: the two must agree match for match. The same row inside
// parentheses is no such pattern to the compiler, so it takes the automata
// and serves as the oracle; where the texts are short enough the slow
// reference matcher judges too. Patterns and texts come from a few letters
// (two of one byte, their capitals, a two-byte one, the line breaks, which
// a class may read so that a match crosses lines), mostly repeating one
// unit, so that matches overlap and the optional and repeated items decide
// where the longest one ends.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pattern_tokens.h"
#include "reference_matcher.h"
#include "regex/bit_parallel.h"
#include "regex/kit.h"
#include "regex/match.h"

namespace parvane {
namespace {

std::optional<BitParallelSearch> Recognise(std::string_view pattern, bool extended = false) {
  return BitParallelSearch::FromTokens(PatternTokens(pattern, extended), false);
}

TEST(RegexBitParallel, OnlyLongRowsOfItemsWithRepeatsAreRecognised) {
  const std::string a300(300, 'a');
  EXPECT_EQ(Recognise(a300 + "b*")->Items(), 301u);
  EXPECT_EQ(Recognise("^" + a300 + "[^b]+.?$")->Items(), 303u);  // x+ is x x*
  EXPECT_TRUE(Recognise("a{300}\\d*", true));
  EXPECT_TRUE(Recognise("^" + a300 + "b*")->HeadAnchored());
  EXPECT_TRUE(Recognise(a300 + "b*$")->TailAnchored());
  EXPECT_FALSE(Recognise(a300 + "b"));                 // no repeat: fixed width or the automata
  EXPECT_FALSE(Recognise(std::string(200, 'a') + "b*"));  // short: the automata cache it
  EXPECT_FALSE(Recognise(a300 + "(b)*"));
  EXPECT_FALSE(Recognise(a300 + "b*|c"));
  EXPECT_FALSE(Recognise(a300 + "b**"));               // refused by the parser anyway
  EXPECT_FALSE(Recognise("^*" + a300 + "b*"));
  EXPECT_FALSE(Recognise(a300 + "$*b*"));
  EXPECT_FALSE(Recognise(a300 + "b*$a"));               // a $ inside is a character
  EXPECT_FALSE(Recognise(a300 + "b*^"));
  EXPECT_EQ(Recognise("a{300}b{0,3}", true)->Items(), 303u);  // written out as b?b?b?
}

// The shapes that made the automata slow, with their answers written out.
TEST(RegexBitParallel, LongPatternsAroundOneRepeatedItem) {
  const std::string a5k(5000, 'a');
  const std::string a4999(4999, 'a');
  struct Case {
    std::string pattern;
    bool ignore_case;
    std::string line;
    std::string expected;  // every match replaced by X
  };
  const std::vector<Case> cases = {
      {a5k + "b*" + a4999, false, std::string(20000, 'a'), "XXaa"},
      {a5k + "b*" + a4999, false, a5k + "bbb" + a4999 + "b" + a5k, "Xb" + a5k},
      {a5k + "b*" + a4999, false, std::string(9998, 'a') + "b", std::string(9998, 'a') + "b"},
      {std::string(5000, 'A') + "b*" + a4999, true, a5k + "BbB" + std::string(4999, 'A') + "a", "Xa"},
      {std::string(5000, 'A') + "b*" + a4999, false, a5k + "bbb" + a4999, a5k + "bbb" + a4999},
      {"^" + a5k + "b?" + a4999 + "$", false, std::string(9999, 'a') + "\n" + std::string(9999, 'a'), "X\nX"},
      {"^" + a5k + "b?" + a4999 + "$", false, std::string(10000, 'a'), std::string(10000, 'a')},
      {a5k + "[b\x82\xA0]+" + a4999, false, a5k + "\x82\xA0" "b\x82\xA0" + a5k, "Xa"},
      {a5k + ".*", false, "b" + a5k + "\x82\xA0\x82", "bX"},
      {a5k + "[\\na]*$", false, a5k + "\na\nab", "X\nab"},  // the last line tail it reaches
  };
  for (const Case& c : cases) {
    TbmRExp regex;
    regex.SetPattern(c.pattern);
    regex.SetOption(1, c.ignore_case);
    std::string line = c.line;
    regex.ReplaceAll("X", line);
    EXPECT_EQ(line, c.expected) << c.pattern.substr(4990, 30) << " on " << c.line.size() << " bytes";
    // Not one state of the automata was built, let alone emptied.
    EXPECT_EQ(regex.GetDFATable().ForwardFlushes(), 0u);
    EXPECT_EQ(regex.GetDFATable().ReverseFlushes(), 0u);
  }
}

// Letters of the texts, and items of the patterns with the letters each
// reads (as case is ignored: the samples below stand for a match either way).
const std::vector<std::string> kLetters = {"a", "b", "A", "B", "\x82\xA0", "\n", "\r"};
const std::vector<std::pair<std::string, std::vector<int>>> kItems = {
    {"a", {0, 2}}, {"b", {1, 3}}, {"A", {0, 2}}, {"\x82\xA0", {4}}, {".", {0, 1, 2, 3, 4}},
    {"[ab]", {0, 1}}, {"[^a]", {1, 2, 3, 4}}, {"[\x82\xA0" "B]", {3, 4}}, {"[\\r\\na]", {0, 5, 6}}};

// A row of items following a unit of one to three letters, now and then a
// class instead, `repeats` in 100 of them followed by one of ops.
struct RandomRow {
  std::string body;
  std::vector<std::pair<std::size_t, char>> items;  // into kItems, and the operator or ' '
};

RandomRow MakeRow(std::mt19937& rng, std::size_t length, unsigned repeats, std::string_view ops = "?*+") {
  std::vector<std::size_t> unit(1 + rng() % 3);
  for (auto& u : unit) u = rng() % 4;
  RandomRow row;
  for (std::size_t i = 0; i < length; ++i) {
    const std::size_t item = rng() % 8 == 0 ? rng() % kItems.size() : unit[i % unit.size()];
    const char op = rng() % 100 < repeats ? ops[rng() % ops.size()] : ' ';
    row.items.push_back({item, op});
    row.body += kItems[item].first + (op == ' ' ? "" : std::string(1, op));
  }
  return row;
}

// Pieces of what the row reads (an optional item reading nothing but one
// time in `skip`), a letter of them often changed, between line breaks and
// random letters.
std::string MakeText(std::mt19937& rng, const RandomRow& row, std::size_t max_pieces, unsigned skip = 2) {
  std::string text;
  for (std::size_t k = rng() % (max_pieces + 1); k > 0; --k) {
    if (rng() % 4 == 0) {
      text += std::vector<std::string>{"\n", "\r", "\r\n"}[rng() % 3];
    } else if (rng() % 3 == 0) {
      for (int i = static_cast<int>(rng() % 6); i > 0; --i) text += kLetters[rng() % kLetters.size()];
    } else {
      std::string sample;
      for (const auto& [item, op] : row.items) {
        int count = op == ' ' ? 1 : static_cast<int>(rng() % (op == '?' ? 2 : 3)) + (op == '+');
        if (op != ' ' && op != '+' && rng() % skip != 0) count = 0;
        const std::vector<int>& reads = kItems[item].second;
        while (count-- > 0) sample += kLetters[static_cast<std::size_t>(reads[rng() % reads.size()])];
      }
      const std::size_t at = sample.empty() ? 0 : rng() % sample.size();
      if (rng() % 3 == 0 && static_cast<unsigned char>(sample[at]) < 0x80) sample[at] = "abAB"[rng() % 4];
      text += sample;
    }
  }
  if (rng() % 10 == 0) text += "\x82";  // a lead byte cut off at the end
  return text;
}

TEST(RegexBitParallel, AgreesWithTheAutomata) {
  std::mt19937 rng(20261208);
  int matched = 0;
  int recognised = 0;
  for (int round = 0; round < 300; ++round) {
    const RandomRow row = MakeRow(rng, 256 + rng() % 200, 5 + rng() % 90);
    const std::string head = rng() % 4 == 0 ? "^" : "";
    const std::string tail = rng() % 4 == 0 ? "$" : "";
    const std::string pattern = head + row.body + tail;
    const std::string oracle = head + "(" + row.body + ")" + tail;
    recognised += Recognise(pattern).has_value();
    for (int t = 0; t < 4; ++t) {
      const bool ignore_case = t % 2 == 1;
      const std::string text = MakeText(rng, row, 6);
      const std::string where = ::testing::PrintToString(pattern) + " in " + ::testing::PrintToString(text) +
                                (ignore_case ? " ignoring case" : "");
      TbmRExp parallel;
      TbmRExp automata;
      parallel.SetPattern(pattern);
      automata.SetPattern(oracle);
      parallel.SetOption(1, ignore_case);
      automata.SetOption(1, ignore_case);
      // From the start, and from an offset, where a line head is only
      // where the text before it ends a line.
      for (int start : {0, static_cast<int>(rng() % (text.size() + 1))}) {
        int l1 = 0;
        int l2 = 0;
        const int p1 = parallel.Match(text, start, &l1);
        ASSERT_EQ(std::make_pair(p1, l1), std::make_pair(automata.Match(text, start, &l2), l2)) << where << start;
        matched += start == 0 && p1 >= 0;
      }
      std::string line1 = text;
      std::string line2 = text;
      ASSERT_EQ(parallel.ReplaceAll("<&>", line1), automata.ReplaceAll("<&>", line2)) << where;
      ASSERT_EQ(line1, line2) << where;
      ASSERT_EQ(parallel.Contains(text), automata.Contains(text)) << where;
    }
  }
  EXPECT_EQ(recognised, 300);
  EXPECT_GT(matched, 200);  // the texts do hold matches, not only misses
}

// Rows of mostly optional items match short texts, where the reference
// matcher, which shares no code with the engine, can judge; their runs of
// optional items cross the 64-bit words of the vectors.
TEST(RegexBitParallel, AgreesWithTheReferenceOnMostlyOptionalRows) {
  using testing_reference::DecodeSjis;
  using testing_reference::ReferenceRegex;
  std::mt19937 rng(42);
  int compared = 0;
  int matched = 0;
  for (int round = 0; round < 200; ++round) {
    const RandomRow row = MakeRow(rng, 256 + rng() % 100, 96, "?*");
    const std::string pattern = (rng() % 3 == 0 ? "^" : "") + row.body + (rng() % 3 == 0 ? "$" : "");
    const bool ignore_case = round % 2 == 1;
    const ReferenceRegex reference(pattern, ignore_case);
    for (int t = 0; t < 3; ++t) {
      const std::string text = MakeText(rng, row, 2, 16);
      std::vector<int> codes, offsets;
      DecodeSjis(text, &codes, &offsets);
      if (codes.size() > 64) continue;  // the reference tries every start and end
      const auto expected = reference.Find(codes, 0);
      int position = 0, length = 0;
      RegexFind(pattern, ignore_case, text, &position, &length);
      const std::string where = ::testing::PrintToString(pattern) + " in " + ::testing::PrintToString(text);
      ASSERT_EQ(std::make_pair(position, length),
                expected ? std::make_pair(offsets[expected->first] + 1, offsets[expected->second] - offsets[expected->first])
                         : std::make_pair(0, 0))
          << where;
      int count = 0;
      std::string line = text;
      RegexReplaceAll(pattern, ignore_case, "X", line);
      ASSERT_EQ(line, testing_reference::ReferenceReplaceAll(reference, text, "X", &count)) << where;
      matched += expected.has_value();
      ++compared;
    }
  }
  EXPECT_GT(compared, 400);
  EXPECT_GT(matched, 100);
}

}  // namespace
}  // namespace parvane
