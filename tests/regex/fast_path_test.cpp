// The shortcuts of the matcher against the plain search: the required
// literal that lets a line be passed over, the search-only answer of
// RegexContains, and the early stop of a forward run on long lines.
#include <gtest/gtest.h>
#include <regex.h>

#include <random>
#include <string>
#include <vector>

#include "random_pattern.h"
#include "reference_matcher.h"
#include "regex/kit.h"
#include "regex/match.h"
#include "regex/token.h"

namespace parvane {
namespace {

using testing_reference::DecodeSjis;
using testing_reference::ReferenceRegex;

std::string Required(std::string_view pattern, bool ignore_case = false) {
  TbmRExp regex;
  regex.SetPattern(pattern);
  regex.SetOption(1, ignore_case);
  return regex.GetDFATable().RequiredBytes();
}

TEST(RegexRequiredBytes, LongestUnavoidableRun) {
  EXPECT_EQ(Required("abc"), "abc");
  EXPECT_EQ(Required("\x93\x8C\x8B\x9E"), "\x93\x8C\x8B\x9E");  // two-byte characters
  EXPECT_EQ(Required("x(ab|cd)yz"), "yz");
  EXPECT_EQ(Required("abc(d|e)fg"), "abc");
  EXPECT_EQ(Required("ab*c"), "a");
  EXPECT_EQ(Required("(ab)+"), "ab");
  EXPECT_EQ(Required("a|b"), "");
  EXPECT_EQ(Required("a?b?"), "");
  EXPECT_EQ(Required("[ab]c"), "c");
  EXPECT_EQ(Required("^ab$"), "ab");
  // Letters fold to classes when case is ignored; other characters stay.
  EXPECT_EQ(Required("ab", true), "");
  EXPECT_EQ(Required("a1-2", true), "1-2");
}

// Random patterns and texts as in differential_test.cpp, here only to
// compare the engine's own routes with one another and with the reference.
std::string RandomPattern(std::mt19937& rng) {
  static const std::vector<std::string> atoms = {
      "a", "b", "A", "\x82\xA0", "\xB1", "\x95\x5C", "\\\\", ".", "^", "$", "[ab]", "[^a]",
      "[\x82\xA0-\x95\x5C]", "\\n", "ab", "ba", "\x82\xA0\x82\xE1", "\x82\xE1"};
  return RandomPatternFrom(rng, atoms);
}

std::string RandomText(std::mt19937& rng, int max_letters) {
  static const std::vector<std::string> letters = {"a", "b", "A", "\x82\xA0", "\xB1", "\x95\x5C", "\\",
                                                   "\n", "\r", "\x82\xE1", ".", "\x82"};
  std::string out;
  int n = rng() % (max_letters + 1);
  for (int i = 0; i < n; ++i) out += letters[rng() % letters.size()];
  return out;
}

TEST(RegexFastPaths, ContainsAgreesWithFind) {
  std::mt19937 rng(7);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string pattern = RandomPattern(rng);
    bool ignore_case = rng() % 3 == 0;
    for (int t = 0; t < 12; ++t) {
      std::string text = RandomText(rng, 12);
      int position = 0;
      int length = 0;
      bool found = RegexFind(pattern, ignore_case, text, &position, &length) >= 1;
      ASSERT_EQ(RegexContains(pattern, ignore_case, text), found)
          << "pattern " << ::testing::PrintToString(pattern) << " text " << ::testing::PrintToString(text);
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000);
}

// Lines long enough for the forward runs to reach the early stop.
TEST(RegexFastPaths, LongLinesAgreeWithReference) {
  std::mt19937 rng(11);
  std::vector<int> codes;
  std::vector<int> offsets;
  for (int round = 0; round < 600; ++round) {
    std::string pattern = RandomPattern(rng);
    ReferenceRegex reference(pattern, false);
    for (int t = 0; t < 6; ++t) {
      std::string text = RandomText(rng, 40);
      DecodeSjis(text, &codes, &offsets);
      auto m = reference.Find(codes, 0);
      std::pair<int, int> expected{-1, 0};
      if (m) expected = {offsets[m->first], offsets[m->second] - offsets[m->first]};
      int position = 0;
      int length = 0;
      RegexFind(pattern, false, text, &position, &length);
      ASSERT_EQ(std::make_pair(position - 1, length), expected)
          << "pattern " << ::testing::PrintToString(pattern) << " text " << ::testing::PrintToString(text);
      int expected_count = 0;
      std::string expected_line = testing_reference::ReferenceReplaceAll(reference, text, "<>", &expected_count);
      std::string line = text;
      int count = RegexReplaceAll(pattern, false, "<>", line);
      ASSERT_EQ(line, expected_line) << "pattern " << ::testing::PrintToString(pattern) << " text "
                                     << ::testing::PrintToString(text);
      ASSERT_EQ(count, expected_count);
    }
  }
}

// The search passes over text to the next byte that can leave its start
// state. Such a byte is often the trail of a two-byte character ('a' in
// 82 61, a lead-range byte in 82 82, E0 E0), and long runs of lead-range
// bytes decide which byte is which only from where the run began.
TEST(RegexFastPaths, SkippingAheadKeepsCharacterBoundaries) {
  static const std::vector<std::string> atoms = {
      "a", "b", "A", "\x82\x82", "\x82\x61", "\xE0\xE0", "\x82\xE1", "[ab]", "[\x82\x82-\x82\x90]",
      "x", "\x95\x5C", ".", "\\\\", "[^a]"};
  static const std::vector<std::string> letters = {
      "a", "b", "A", "x", "\x82\x82", "\x82\x61", "\xE0\xE0", "\x82\xE1", "\x95\x5C", "\x82\x9F",
      "\xE0", "\x82", "\x61", "\xB1", "\\", "\xE0\x82\x82"};
  std::mt19937 rng(23);
  std::vector<int> codes;
  std::vector<int> offsets;
  int matched = 0;
  for (int round = 0; round < 2000; ++round) {
    const std::string pattern = RandomPatternFrom(rng, atoms);
    const bool ignore_case = rng() % 3 == 0;
    ReferenceRegex reference(pattern, ignore_case);
    for (int t = 0; t < 8; ++t) {
      std::string text;
      // Mostly runs of two-byte characters that the pattern never reads,
      // so that the skip crosses several sixteen-byte blocks.
      for (int k = static_cast<int>(rng() % 60); k-- > 0;) {
        text += rng() % 4 == 0 ? letters[rng() % letters.size()] : "\x82\xA0";
      }
      DecodeSjis(text, &codes, &offsets);
      const bool expected = reference.Find(codes, 0).has_value();
      matched += expected;
      ASSERT_EQ(RegexContains(pattern, ignore_case, text), expected)
          << "pattern " << ::testing::PrintToString(pattern) << " text "
          << ::testing::PrintToString(text);
    }
  }
  EXPECT_GT(matched, 2000);
}

TEST(RegexFastPaths, RepeatedLongRunsStayLinear) {
  // Each match is one a; without the early stop every forward run would
  // read on to the end of the line looking for the b.
  std::string line(64000, 'a');
  int count = RegexReplaceAll("a|a*b", false, "x", line);
  EXPECT_EQ(count, 64000);
  EXPECT_EQ(line, std::string(64000, 'x'));

  line = std::string(64000, 'a') + "b";
  EXPECT_EQ(RegexReplaceAll("a|a*b", false, "x", line), 1);
  EXPECT_EQ(line, "x");
}

std::size_t MinimumWidth(std::string_view pattern) {
  TbmRExp regex;
  regex.SetPattern(pattern);
  return regex.GetDFATable().MinimumWidth();
}

TEST(RegexMinimumWidth, FewestCharactersAnyMatchReads) {
  EXPECT_EQ(MinimumWidth("abc"), 3u);
  EXPECT_EQ(MinimumWidth("a*"), 0u);
  EXPECT_EQ(MinimumWidth("ab+c?"), 2u);
  EXPECT_EQ(MinimumWidth("abc|d"), 1u);
  EXPECT_EQ(MinimumWidth("(ab|c)(de|fgh)"), 3u);
  EXPECT_EQ(MinimumWidth("^ab$"), 2u);
  EXPECT_EQ(MinimumWidth("^$"), 0u);
  EXPECT_EQ(MinimumWidth("(^|a)b"), 1u);               // an anchor reads nothing
  EXPECT_EQ(MinimumWidth("x(^|a)b"), 3u);              // one that cannot begin a match is a ^
  EXPECT_EQ(MinimumWidth("\x82\xA0[^a]."), 3u);      // characters, not bytes
  EXPECT_EQ(MinimumWidth("(a*b*)*c(d|e*)"), 1u);
}

// glibc's leftmost-longest match, (-1, 0) for none.
std::pair<int, int> GlibcFind(const std::string& pattern, const std::string& text) {
  regex_t re;
  EXPECT_EQ(regcomp(&re, pattern.c_str(), REG_EXTENDED), 0) << pattern;
  regmatch_t m[1];
  std::pair<int, int> result{-1, 0};
  if (regexec(&re, text.c_str(), 1, m, 0) == 0) {
    result = {static_cast<int>(m[0].rm_so), static_cast<int>(m[0].rm_eo - m[0].rm_so)};
  }
  regfree(&re);
  return result;
}

// Patterns of several hundred tokens that take the automata, with a long
// run at the top level (which lets a line without it be passed over) or
// with runs that only look required: beside a top-level |, under a
// repetition, inside a group. The texts are long runs of the same letters,
// just long enough or just too short for the shortest match.
TEST(RegexFastPaths, LongPatternsPassOverLinesOnlyWhenNoMatchCanFit) {
  auto run = [](char c, int n) { return std::string(static_cast<std::size_t>(n), c); };
  const std::vector<std::string> patterns = {
      run('a', 150) + "b*" + run('a', 150),
      "(b|a)*" + run('a', 200) + "(ab|b)?" + run('a', 100),
      run('a', 290) + "|b",
      "b|" + run('a', 290),
      run('a', 299) + "?",
      run('a', 299) + "*b",
      "(" + run('a', 300) + ")?b",
      "(" + run('a', 150) + "|" + run('b', 150) + ")" + run('a', 150),
      "^" + run('a', 100) + "[ab]*" + run('a', 200) + "$",
      run('a', 100) + ".b?" + run('a', 199),
  };
  std::mt19937 rng(7);
  int compared = 0;
  for (const std::string& pattern : patterns) {
    for (int length : {0, 1, 2, 150, 298, 299, 300, 301, 302, 450, 600}) {
      for (int t = 0; t < 4; ++t) {
        std::string text = run('a', length);
        if (t > 0 && length > 0) text[rng() % text.size()] = 'b';
        if (t == 3) text = "b" + text;
        int position = 0;
        int size = 0;
        RegexFind(pattern, false, text, &position, &size);
        ASSERT_EQ(std::make_pair(position - 1, size), GlibcFind(pattern, text))
            << "pattern " << pattern << " text " << text;
        ASSERT_EQ(RegexContains(pattern, false, text), position > 0);
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 440);
}

}  // namespace
}  // namespace parvane
