// A long row of one-character items with repeats is run as bit vectors, not
// by the automata: the two must agree match for match. The same row inside
// parentheses is no such pattern to the compiler, so it takes the automata
// and serves as the oracle; where the texts are short enough the slow
// reference matcher of these tests judges too. Patterns and texts come from
// a few letters (two of one byte, their capitals, a two-byte one, the line
// breaks, which a class may read so that a match crosses lines), often
// repeating one unit, so that matches overlap and a pattern's optional and
// repeated items decide where the longest one ends; runs of optional items
// cross the 64-bit words of the vectors.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reference_matcher.h"
#include "regex/bit_parallel.h"
#include "regex/kit.h"
#include "regex/match.h"
#include "regex/repetition.h"
#include "regex/scanner.h"

namespace parvane {
namespace {

std::optional<BitParallelSearch> Recognise(std::string_view pattern, bool extended = false) {
  TbmREScanner scanner(kCharCodeShiftJis);
  scanner.SetExtended(extended);
  scanner.SetText(pattern);
  TbmRETokens tokens;
  Tokenize(scanner, &tokens);
  if (extended) ExpandRepetitions(&tokens);
  return BitParallelSearch::FromTokens(tokens, false);
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

// One item of a random pattern: how a pattern writes it and the letters
// (indices into kLetters) it reads with case kept and with case ignored.
struct RandomItem {
  std::string pattern;
  std::vector<int> reads;
  std::vector<int> reads_folded;
};

const std::vector<std::string> kLetters = {"a", "b", "A", "B", "\x82\xA0", "\n", "\r"};

const std::vector<RandomItem>& Items() {
  static const std::vector<RandomItem> items = {
      {"a", {0}, {0, 2}},          {"b", {1}, {1, 3}},          {"A", {2}, {0, 2}},
      {"\x82\xA0", {4}, {4}},      {".", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
      {"[ab]", {0, 1}, {0, 1}},    {"[^a]", {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"[\x82\xA0" "B]", {3, 4}, {3, 4}},  {"[\\r\\na]", {0, 5, 6}, {0, 5, 6}},
  };
  return items;
}

struct RandomPattern {
  std::string body;
  std::vector<std::size_t> items;  // into Items()
  std::vector<char> ops;           // ' ', '?', '*' or '+'
};

// A row of items following a unit of one to three letter items, with now
// and then a class instead; `repeats` in 100 of the items carry one of ops.
RandomPattern MakePattern(std::mt19937& rng, std::size_t length, unsigned repeats,
                          std::string_view ops = "?*+") {
  std::vector<std::size_t> unit(1 + rng() % 3);
  for (auto& u : unit) u = rng() % 4;
  RandomPattern p;
  for (std::size_t i = 0; i < length; ++i) {
    const std::size_t item = rng() % 8 == 0 ? rng() % Items().size() : unit[i % unit.size()];
    const char op = rng() % 100 < repeats ? ops[rng() % ops.size()] : ' ';
    p.items.push_back(item);
    p.ops.push_back(op);
    p.body += Items()[item].pattern;
    if (op != ' ') p.body += op;
  }
  return p;
}

// A text the pattern matches (as it would with case ignored), often spoilt
// by one letter; an item that may read nothing does so one time in `skip`
// at least.
std::string SampleMatch(std::mt19937& rng, const RandomPattern& p, unsigned skip) {
  std::string out;
  for (std::size_t i = 0; i < p.items.size(); ++i) {
    const char op = p.ops[i];
    int count = op == ' ' ? 1 : op == '?' ? static_cast<int>(rng() % 2)
                              : static_cast<int>(rng() % 3) + (op == '+' ? 1 : 0);
    if ((op == '?' || op == '*') && rng() % skip != 0) count = 0;
    const std::vector<int>& reads = Items()[p.items[i]].reads_folded;
    for (int k = 0; k < count; ++k) out += kLetters[static_cast<std::size_t>(reads[rng() % reads.size()])];
  }
  if (!out.empty() && rng() % 3 == 0) {
    const std::size_t at = rng() % out.size();
    if (static_cast<unsigned char>(out[at]) < 0x80) out[at] = "abAB"[rng() % 4];
  }
  return out;
}

std::string MakeText(std::mt19937& rng, const RandomPattern& p, std::size_t max_pieces, unsigned skip = 2) {
  static const std::vector<std::string> breaks = {"\n", "\r", "\r\n"};
  std::string text;
  const std::size_t pieces = rng() % (max_pieces + 1);
  for (std::size_t k = 0; k < pieces; ++k) {
    switch (rng() % 4) {
      case 0:
        text += breaks[rng() % breaks.size()];
        break;
      case 1:
        for (int i = static_cast<int>(rng() % 6); i > 0; --i) text += kLetters[rng() % kLetters.size()];
        break;
      default:
        text += SampleMatch(rng, p, skip);
    }
  }
  if (rng() % 10 == 0) text += "\x82";  // a lead byte cut off at the end
  return text;
}

void ExpectSameAsAutomata(const std::string& pattern, const std::string& oracle, bool ignore_case,
                          const std::string& text) {
  const std::string where = ::testing::PrintToString(pattern) + " in " + ::testing::PrintToString(text) +
                            (ignore_case ? " ignoring case" : "");
  int p1 = 0, l1 = 0, p2 = 0, l2 = 0;
  RegexFind(pattern, ignore_case, text, &p1, &l1);
  RegexFind(oracle, ignore_case, text, &p2, &l2);
  ASSERT_EQ(std::make_pair(p1, l1), std::make_pair(p2, l2)) << where;
  std::string line1 = text;
  std::string line2 = text;
  ASSERT_EQ(RegexReplaceAll(pattern, ignore_case, "<&>", line1), RegexReplaceAll(oracle, ignore_case, "<&>", line2))
      << where;
  ASSERT_EQ(line1, line2) << where;
  ASSERT_EQ(RegexContains(pattern, ignore_case, text), p2 > 0) << where;
}

TEST(RegexBitParallel, AgreesWithTheAutomata) {
  std::mt19937 rng(20261208);
  int matched = 0;
  int recognised = 0;
  for (int round = 0; round < 300; ++round) {
    const RandomPattern p = MakePattern(rng, 256 + rng() % 200, 5 + rng() % 90);
    const std::string head = rng() % 4 == 0 ? "^" : "";
    const std::string tail = rng() % 4 == 0 ? "$" : "";
    const std::string pattern = head + p.body + tail;
    recognised += Recognise(pattern).has_value();
    for (int t = 0; t < 4; ++t) {
      const std::string text = MakeText(rng, p, 6);
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsAutomata(pattern, head + "(" + p.body + ")" + tail, t % 2 == 1, text));
      int position = 0, length = 0;
      matched += RegexFind(pattern, t % 2 == 1, text, &position, &length) > 0;
    }
  }
  EXPECT_EQ(recognised, 300);
  EXPECT_GT(matched, 200);  // the texts do hold matches, not only misses
}

// A search from an offset sees a line head only where the text before it
// ends a line.
TEST(RegexBitParallel, OffsetsAsTheAutomata) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    const RandomPattern p = MakePattern(rng, 256 + rng() % 64, 50);
    const std::string text = MakeText(rng, p, 5);
    TbmRExp parallel;
    parallel.SetPattern("^" + p.body);
    TbmRExp automata;
    automata.SetPattern("^(" + p.body + ")");
    for (int start = 0; start <= static_cast<int>(text.size()); start += 1 + static_cast<int>(rng() % 40)) {
      int l1 = 0;
      int l2 = 0;
      ASSERT_EQ(parallel.Match(text, start, &l1), automata.Match(text, start, &l2)) << start;
      ASSERT_EQ(l1, l2) << start;
    }
  }
}

// Patterns of mostly optional and repeated items match short texts, where
// the reference matcher, which shares no code with the engine, can judge.
TEST(RegexBitParallel, AgreesWithTheReferenceOnMostlyOptionalPatterns) {
  using testing_reference::DecodeSjis;
  using testing_reference::ReferenceRegex;
  std::mt19937 rng(42);
  int compared = 0;
  int matched = 0;
  for (int round = 0; round < 200; ++round) {
    const RandomPattern p = MakePattern(rng, 256 + rng() % 100, 96, "?*");
    const std::string head = rng() % 3 == 0 ? "^" : "";
    const std::string tail = rng() % 3 == 0 ? "$" : "";
    const std::string pattern = head + p.body + tail;
    const bool ignore_case = round % 2 == 1;
    const ReferenceRegex reference(pattern, ignore_case);
    for (int t = 0; t < 3; ++t) {
      std::string text = MakeText(rng, p, 2, 16);
      std::vector<int> codes, offsets;
      DecodeSjis(text, &codes, &offsets);
      if (codes.size() > 64) continue;  // the reference tries every start and end
      const auto expected = reference.Find(codes, 0);
      int position = 0, length = 0;
      RegexFind(pattern, ignore_case, text, &position, &length);
      const int want_position = expected ? offsets[expected->first] + 1 : 0;
      const int want_length = expected ? offsets[expected->second] - offsets[expected->first] : 0;
      ASSERT_EQ(std::make_pair(position, length), std::make_pair(want_position, want_length))
          << ::testing::PrintToString(pattern) << " in " << ::testing::PrintToString(text);
      int count = 0;
      std::string line = text;
      RegexReplaceAll(pattern, ignore_case, "X", line);
      ASSERT_EQ(line, testing_reference::ReferenceReplaceAll(reference, text, "X", &count))
          << ::testing::PrintToString(pattern) << " in " << ::testing::PrintToString(text);
      matched += expected.has_value();
      ++compared;
    }
  }
  EXPECT_GT(compared, 400);
  EXPECT_GT(matched, 100);
}

}  // namespace
}  // namespace parvane
