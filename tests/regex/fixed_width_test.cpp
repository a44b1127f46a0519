// A long pattern of one-character items is searched by its pieces, not by
// the automata: the two routes must agree. The same items inside
// parentheses are no longer such a pattern to the compiler, so they take the
// automata and serve as the oracle, on repetitive texts (where pieces occur
// overlapping and often) with two-byte characters (one with a 0x5C trail
// byte), half-width katakana, line breaks around anchors, letters of both
// cases and a lead byte cut off at the end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pattern_tokens.h"
#include "regex/fixed_width.h"
#include "regex/kit.h"
#include "regex/match.h"

namespace parvane {
namespace {

std::optional<FixedWidthSearch> Recognise(std::string_view pattern, bool extended = false) {
  return FixedWidthSearch::FromTokens(PatternTokens(pattern, extended), false);
}

TEST(RegexFixedWidth, OnlyLongRunsOfOneCharacterItemsAreRecognised) {
  const std::string a40(40, 'a');
  EXPECT_TRUE(Recognise(a40 + "."));
  EXPECT_TRUE(Recognise("^" + a40 + "[^b]$"));
  EXPECT_TRUE(Recognise(a40 + "[\x82\xA0-\x95\x5C]\\."));
  EXPECT_TRUE(Recognise("a{40}.", true));
  EXPECT_TRUE(Recognise("\\d{40}x", true));
  EXPECT_EQ(Recognise(a40 + "." + a40)->Width(), 81u);
  EXPECT_FALSE(Recognise(std::string(30, 'a') + "."));     // short: the automata are quicker
  EXPECT_FALSE(Recognise(a40 + "b*"));
  EXPECT_FALSE(Recognise(a40 + "|b"));
  EXPECT_FALSE(Recognise("(" + a40 + ")."));
  EXPECT_FALSE(Recognise(a40 + "$b"));                    // a $ inside is another matter
  EXPECT_FALSE(Recognise("a{40}b?", true));
  std::string distinct;  // more different pieces than are worth a pass each
  for (int i = 0; i < 70; ++i) distinct += std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i) + ".";
  EXPECT_FALSE(Recognise(distinct));
}

TEST(RegexFixedWidth, RequiredBytesAreThoseOfTheLongestRun) {
  auto search = Recognise("ab." + std::string(40, 'c') + ".\x82\xA0\x82\xA0");
  ASSERT_TRUE(search);
  EXPECT_EQ(search->RequiredBytes(), std::string(40, 'c'));
}

// Cases where the anchors meet line breaks inside a line, a match at the
// very end, and overlapping candidates of which only a later one matches.
TEST(RegexFixedWidth, CaseTable) {
  const std::string a32(32, 'a');
  struct Case {
    std::string pattern;
    bool ignore_case;
    std::string text;
    int position;  // 1-based, 0 for none
    int length;
  };
  const std::vector<Case> cases = {
      {a32 + "b", false, std::string(40, 'a') + "b", 9, 33},
      {"^" + a32, false, "x" + a32, 0, 0},
      {"^" + a32, false, "x\n" + a32, 3, 32},
      {"^" + a32, false, "x\r" + a32, 3, 32},
      {"^" + a32, false, "x\r\n" + a32, 4, 32},
      {"^[\\na]" + a32.substr(1), false, "x\r\n" + a32.substr(1), 0, 0},  // no line head inside CR LF
      {"[\\r\\na]" + a32 + "$", false, "x\r\r" + a32 + "\r\n", 3, 33},
      {a32 + "$", false, a32 + "a\r\nb", 2, 32},
      {a32 + "$", false, a32 + "a\rb", 2, 32},
      {a32 + "$", false, a32 + "ab", 0, 0},
      {a32 + ".", false, a32 + "\n", 0, 0},           // a dot never reads a line break
      {a32 + "[^b]", false, a32 + "\r", 0, 0},        // nor does a negated class
      {a32 + "[^b]", false, a32 + "\x82\xA0", 1, 34},
      {a32 + ".", false, a32 + "\x82", 1, 33},          // a lead byte cut off at the end
      {std::string(32, 'A') + "b", true, std::string(20, 'a') + std::string(20, 'A') + "B", 9, 33},
      {std::string(32, 'A') + "[b]", true, std::string(40, 'a') + "B", 0, 0},  // brackets keep their case
      {"\x95\x5C" + a32, false, "\x95\x5C\\" + a32 + "\x95\x5C" + a32, 36, 34},
  };
  for (const Case& c : cases) {
    int position = -1;
    int length = -1;
    RegexFind(c.pattern, c.ignore_case, c.text, &position, &length);
    EXPECT_EQ(position, c.position) << ::testing::PrintToString(c.pattern) << " in " << ::testing::PrintToString(c.text);
    EXPECT_EQ(length, c.length) << ::testing::PrintToString(c.pattern) << " in " << ::testing::PrintToString(c.text);
  }
}

// Repetitive patterns and texts from one short unit of letters, so that
// runs of the pattern occur often, overlapping, and a match can start almost
// anywhere; the pattern sometimes puts a class or a dot where the unit has
// a letter, and the text sometimes another letter or a line break.
struct Letter {
  std::string text;     // as it stands in a line
  std::string pattern;  // as a pattern writes it
};

const std::vector<Letter>& Letters() {
  static const std::vector<Letter> letters = {
      {"a", "a"}, {"b", "b"}, {"A", "A"}, {"\x82\xA0", "\x82\xA0"}, {"\x95\x5C", "\x95\x5C"},
      {"\xB1", "\xB1"}, {"\\", "\\\\"}};
  return letters;
}

std::vector<std::size_t> RandomUnit(std::mt19937& rng) {
  std::vector<std::size_t> unit(1 + rng() % 3);
  for (auto& u : unit) u = rng() % Letters().size();
  return unit;
}

std::string RandomBody(std::mt19937& rng, const std::vector<std::size_t>& unit) {
  static const std::vector<std::string> items = {".", "[ab]", "[^a]", "[^\x95\x5C]", "[\x82\xA0-\x95\x5C]", "[\\n\\ra]", "a", "A"};
  const int width = 32 + static_cast<int>(rng() % 40);
  std::string body;
  for (int i = 0; i < width; ++i) {
    const Letter& l = Letters()[unit[static_cast<std::size_t>(i) % unit.size()]];
    body += rng() % 10 == 0 ? items[rng() % items.size()] : l.pattern;
  }
  return body;
}

std::string RandomText(std::mt19937& rng, const std::vector<std::size_t>& unit) {
  static const std::vector<std::string> breaks = {"\n", "\r", "\r\n", "b", "a"};
  std::string text;
  const int length = static_cast<int>(rng() % 240);
  for (int i = 0; i < length; ++i) {
    if (rng() % 40 == 0) {
      text += breaks[rng() % breaks.size()];
    } else {
      text += Letters()[unit[static_cast<std::size_t>(i) % unit.size()]].text;
    }
  }
  if (rng() % 10 == 0) text += "\x82";  // a lead byte cut off at the end
  return text;
}

TEST(RegexFixedWidth, AgreesWithTheAutomataOnRepetitivePatterns) {
  std::mt19937 rng(20261208);
  int matched = 0;
  int compared = 0;
  int recognised = 0;
  for (int round = 0; round < 600; ++round) {
    const std::vector<std::size_t> unit = RandomUnit(rng);
    const std::string body = RandomBody(rng, unit);
    std::string head = rng() % 4 == 0 ? "^" : "";
    std::string tail = rng() % 4 == 0 ? "$" : "";
    const std::string pattern = head + body + tail;
    const std::string oracle = head + "(" + body + ")" + tail;
    recognised += Recognise(pattern).has_value();
    const bool ignore_case = rng() % 3 == 0;
    for (int t = 0; t < 8; ++t) {
      const std::string text = RandomText(rng, unit);
      int p1 = 0, l1 = 0, p2 = 0, l2 = 0;
      RegexFind(pattern, ignore_case, text, &p1, &l1);
      RegexFind(oracle, ignore_case, text, &p2, &l2);
      ASSERT_EQ(std::make_pair(p1, l1), std::make_pair(p2, l2))
          << ::testing::PrintToString(pattern) << " in " << ::testing::PrintToString(text) << " ignore case "
          << ignore_case;
      matched += p1 > 0;
      ++compared;
      std::string line1 = text;
      std::string line2 = text;
      int n1 = RegexReplaceAll(pattern, ignore_case, "<&>", line1);
      int n2 = RegexReplaceAll(oracle, ignore_case, "<&>", line2);
      ASSERT_EQ(line1, line2) << ::testing::PrintToString(pattern) << " in " << ::testing::PrintToString(text);
      ASSERT_EQ(n1, n2);
      ASSERT_EQ(RegexContains(pattern, ignore_case, text), p2 > 0);
    }
  }
  EXPECT_GT(compared, 4000);
  EXPECT_GT(matched, 200);  // the texts do hold matches, not only misses
  EXPECT_GT(recognised, 500);  // and the patterns take the pieces' route
}

// A search from an offset sees a line head only where the text before it
// ends a line, and a replacement that outgrows the limit stops as the
// automata's does.
TEST(RegexFixedWidth, OffsetsAndLengthLimitAsTheAutomata) {
  const std::string a32(32, 'a');
  for (const std::string& body : {a32, a32 + "."}) {
    for (const std::string& text : {"xx\n" + a32 + "b" + a32 + "b", "x\r\n" + a32 + "b\r" + a32 + "b"}) {
      for (int start = 0; start <= static_cast<int>(text.size()); ++start) {
        TbmRExp fixed;
        fixed.SetPattern("^" + body);
        TbmRExp automata;
        automata.SetPattern("^(" + body + ")");
        int l1 = 0;
        int l2 = 0;
        EXPECT_EQ(fixed.Match(text, start, &l1), automata.Match(text, start, &l2)) << start;
        EXPECT_EQ(l1, l2) << start;
      }
      for (std::size_t limit : {std::size_t{0}, std::size_t{5}, std::size_t{40}, std::size_t{100}}) {
        std::string line1 = text;
        std::string line2 = text;
        EXPECT_EQ(RegexReplaceAll(body, false, "&&", line1, limit),
                  RegexReplaceAll("(" + body + ")", false, "&&", line2, limit));
        EXPECT_EQ(line1, line2) << limit;
      }
    }
  }
}

// What the pieces are for: a pattern of 100,000 items with one dot over a
// line of the same letter, where the automata built a new state
// for nearly every character, each costing the pattern's length.
TEST(RegexFixedWidth, LongPatternOverRepetitiveLineBuildsNoStates) {
  const std::string pattern = std::string(50000, 'a') + "." + std::string(49999, 'a');
  TbmRExp regex;
  regex.SetPattern(pattern);
  int length = 0;
  EXPECT_EQ(regex.Match(std::string(65536, 'a'), 0, &length), -1);
  const std::string line(150000, 'a');
  EXPECT_EQ(regex.Match(line, 0, &length), 0);
  EXPECT_EQ(length, 100000);
  std::string replaced = line;
  EXPECT_EQ(regex.ReplaceAll("X", replaced), 1);
  EXPECT_EQ(replaced, "X" + std::string(50000, 'a'));
  // The automata emptied their caches at nearly every character here.
  EXPECT_EQ(regex.GetDFATable().ForwardFlushes(), 0u);
  EXPECT_EQ(regex.GetDFATable().ReverseFlushes(), 0u);
}

}  // namespace
}  // namespace parvane
