// Compilation stages: tokens, the partition, the positions, the automaton
// and the compile cache.
#include <gtest/gtest.h>

#include <random>

#include "regex/dfa.h"
#include "regex/match.h"
#include "regex/partition.h"
#include "regex/scanner.h"
#include "regex/token_filter.h"
#include "regex/tree.h"

namespace parvane {
namespace {

TbmRETokens Tokens(std::string_view pattern, bool ignore_case = false) {
  TbmREScanner scanner(kCharCodeShiftJis);
  scanner.SetText(pattern);
  TbmRETokens tokens;
  Tokenize(scanner, &tokens);
  if (!ignore_case) return tokens;
  TbmRETokens folded;
  TbmREAsciiIgnoreCaseDic dic;
  dic.Translate(tokens, &folded);
  return folded;
}

std::string Kinds(const TbmRETokens& tokens) {
  std::string out;
  for (const auto& t : tokens) out += std::to_string(t.Kind) + " ";
  return out;
}

TEST(RegexCompile, Tokens) {
  EXPECT_EQ(DumpTokens(Tokens("a[^]x-z]")),
            "0 61 61 0 1\n9 5b 5b 1 3\n0 5d 5d 3 4\n1 78 7a 4 7\n10 5d 5d 7 8\n14 ffffffff ffffffff 8 9\n");
  EXPECT_EQ(Kinds(Tokens("(a|b)*+?.^$")), "3 0 2 0 4 5 6 7 11 12 13 14 ");
  EXPECT_EQ(Kinds(Tokens("[.*(|$^]")), "8 0 0 0 0 0 0 10 14 ");
  EXPECT_EQ(Kinds(Tokens("[a-]")), "8 0 0 10 14 ");
  EXPECT_EQ(Kinds(Tokens("[a-c-e]")), "8 1 0 0 10 14 ");
  EXPECT_EQ(DumpTokens(Tokens("\\x82a0")), "0 82a0 82a0 0 6\n14 ffffffff ffffffff 6 7\n");
  EXPECT_EQ(DumpTokens(Tokens("[\\x41-\\x5a]")).substr(0, 22), "8 5b 5b 0 1\n1 41 5a 1 ");
}

TEST(RegexCompile, IgnoreCaseFilter) {
  EXPECT_EQ(Kinds(Tokens("ab*", true)), "3 0 2 0 4 3 0 2 0 4 5 14 ");
  EXPECT_EQ(Kinds(Tokens("[ab]1", true)), "8 0 0 10 0 14 ");
  TbmRETokens t = Tokens("Q", true);
  EXPECT_EQ(t[1].Lo, 'Q');
  EXPECT_EQ(t[3].Lo, 'q');
}

TEST(RegexCompile, PartitionAddRange) {
  TbmREWchRanges set;
  set.AddRange(10, 10);
  set.AddRange(13, 13);
  set.AddRange(99, 100);
  set.AddRange(97, 100);
  EXPECT_EQ(set.Dump(), "a d 61-62 63-64");
  TbmREWchRanges b;
  b.AddRange(99, 100);
  b.AddRange(97, 102);
  EXPECT_EQ(b.Dump(), "61-62 63-64 65-66");
  TbmREWchRanges c;
  c.AddRange(0, 10);
  c.AddRange(5, 5);
  EXPECT_EQ(c.Dump(), "0-4 5 6-a");
  c.Complement(0, 20);
  EXPECT_EQ(c.Dump(), "b-14");
  TbmREWchRanges empty;
  empty.Complement(3, 4);
  EXPECT_EQ(empty.Dump(), "3-4");
}

TEST(RegexCompile, BatchPartitionEqualsSuccessiveAddRange) {
  std::mt19937 rng(11);
  for (int round = 0; round < 2000; ++round) {
    std::vector<TbmREWchRanges::Range> ranges;
    int n = 1 + rng() % 6;
    for (int i = 0; i < n; ++i) {
      int lo = rng() % 30;
      ranges.push_back({lo, lo + static_cast<int>(rng() % 8)});
    }
    TbmREWchRanges one_by_one;
    for (const auto& r : ranges) one_by_one.AddRange(r.first, r.second);
    TbmREWchRanges batch;
    batch.AddRangesBatch(ranges);
    ASSERT_EQ(batch.Dump(), one_by_one.Dump());
    // The defining property: every added range is a run of whole intervals.
    for (const auto& r : ranges) {
      ASSERT_GE(one_by_one.IndexOfLow(r.first), 0);
      ASSERT_GE(one_by_one.IndexOfHigh(r.second), 0);
    }
  }
}

TEST(RegexCompile, StandardizeNegatedClass) {
  TbmRETokens tokens = Tokens("[^a]b");
  TbmREWchRanges partition;
  Standardize(&tokens, &partition);
  EXPECT_EQ(DumpTokens(tokens),
            "8 5b 5b 0 2\n1 0 9 2 3\n1 b c 2 3\n1 e 60 2 3\n1 62 ffff 2 3\n"
            "10 5d 5d 3 4\n0 62 62 4 5\n14 ffffffff ffffffff 5 6\n");
  EXPECT_EQ(partition.Dump(), "0-9 b-c e-60 62 63-ffff");
  TbmRETokens all = Tokens("[^\\x0-\\xffff]");
  Standardize(&all, &partition);
  EXPECT_EQ(Kinds(all), "8 10 14 ");
  TbmRETokens empty;
  EXPECT_THROW(Standardize(&empty, &partition), std::runtime_error);
}

std::string ErrorText(auto&& call) {
  try {
    call();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "none";
}

TEST(RegexCompile, InternalErrorTexts) {
  TbmREWchRanges partition;
  auto standardize = [&](std::initializer_list<std::uint8_t> kinds) {
    TbmRETokens tokens;
    for (std::uint8_t kind : kinds) tokens.push_back(TbmREToken{kind, 'a', 'a', 0, 1});
    return ErrorText([&] { Standardize(&tokens, &partition); });
  };
  EXPECT_EQ(standardize({}), "TbmRETokens.Standardize Internal Error(1)");
  EXPECT_EQ(standardize({kTokenNegateLeftBracket}), "TbmRETokens.Standardize Internal Error(2)");
  EXPECT_EQ(standardize({kTokenNegateLeftBracket, kTokenCharacter}),
            "TbmRETokens.Standardize Internal Error(3)");
  EXPECT_EQ(ErrorText([] { TbmREScanner scanner(kCharCodeJis); }),
            "TbmREScanner.SetCharCode: can't create reader");
  TbmREScanner scanner(kCharCodeShiftJis);
  EXPECT_EQ(ErrorText([&] { scanner.SetCharCode(kCharCodeJis); }),
            "TbmREScanner.SetCharCode: can't create reader");
  TbmRExp re;
  re.SetCharCode(kCharCodeJis);
  EXPECT_EQ(ErrorText([&] { re.GetDFATable(); }), "TbmREScanner.SetCharCode: can't create reader");
}

std::string Tree(std::string_view pattern) {
  TbmRETokens tokens = Tokens(pattern);
  TbmREWchRanges partition;
  Standardize(&tokens, &partition);
  return DumpTree(BuildTree(tokens));
}

TEST(RegexCompile, Positions) {
  EXPECT_EQ(Tree("ab"), "first: 0\n0: 61 -> 1\n1: 62 -> 2\n2: # -> \n");
  EXPECT_EQ(Tree("a*b"), "first: 0 1\n0: 61 -> 0 1\n1: 62 -> 2\n2: # -> \n");
  EXPECT_EQ(Tree("(ab)+"), "first: 0\n0: 61 -> 1\n1: 62 -> 0 2\n2: # -> \n");
  EXPECT_EQ(Tree("a|"), "first: 0 1\n0: 61 -> 1\n1: # -> \n");
  EXPECT_EQ(Tree(""), "first: 0\n0: # -> \n");
  EXPECT_EQ(Tree("[a-cx]."), "first: 0\n0: 61-63,78 -> 1\n1: 0-9,b-c,e-ffff -> 2\n2: # -> \n");
  // Anchors: real only where they can begin or end a match.
  EXPECT_EQ(Tree("^a$"), "first: 0\n0: ^ -> 1\n1: 61 -> 2\n2: $ -> 3\n3: # -> \n");
  EXPECT_EQ(Tree("a^b"), "first: 0\n0: 61 -> 1\n1: 5e -> 2\n2: 62 -> 3\n3: # -> \n");
  EXPECT_EQ(Tree("$x"), "first: 0\n0: 24 -> 1\n1: 78 -> 2\n2: # -> \n");
  EXPECT_EQ(Tree("a$*"), "first: 0\n0: 61 -> 1 2\n1: 24 -> 1 2\n2: # -> \n");
  EXPECT_EQ(Tree("x*^y"), "first: 0 1\n0: 78 -> 0 1\n1: ^ -> 2\n2: 79 -> 3\n3: # -> \n");
}

TEST(RegexCompile, EagerAutomaton) {
  TbmRExp re;
  re.SetPattern("a|ab");
  EXPECT_EQ(re.GetDFATable().DumpEager(100),
            "state 0: 61->1\nstate 1 accepting: 62->2\nstate 2 accepting:\n");
  re.SetPattern("[a-c]*");
  EXPECT_EQ(re.GetDFATable().DumpEager(100), "state 0 accepting: 61-63->0\n");
  re.SetPattern("(a|b)*a(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)");
  std::string dump = re.GetDFATable().DumpEager(500);
  EXPECT_NE(dump.find("...too many states"), std::string::npos);
}

TEST(RegexCompile, CacheRecompilesOnlyOnChange) {
  TbmRExp re;
  re.SetPattern("abc");
  re.GetDFATable();
  EXPECT_EQ(re.CompileCount(), 1);
  re.SetPattern("abc");
  re.SetOption(1, false);
  re.SetOption(7, true);
  re.SetCharCode(0);
  re.GetDFATable();
  EXPECT_EQ(re.CompileCount(), 1);
  re.SetOption(1, true);
  EXPECT_FALSE(re.IsCompiled());
  re.GetDFATable();
  EXPECT_EQ(re.CompileCount(), 2);
  re.SetPattern("(");
  EXPECT_THROW(re.GetDFATable(), EbmREToken);
  EXPECT_FALSE(re.IsCompiled());
  EXPECT_THROW(re.GetDFATable(), EbmREToken);
  re.SetCharCode(4);
  re.SetPattern("a");
  EXPECT_THROW(re.GetDFATable(), std::runtime_error);
}

TEST(RegexCompile, OtherCharCodes) {
  TbmRExp re;
  int length = 0;
  re.SetCharCode(kCharCodeUtf16Le);
  re.SetPattern(std::string("b\0+\0", 4));
  EXPECT_EQ(re.Match(std::string("a\0b\0b\0c\0", 8), 0, &length), 2);
  EXPECT_EQ(length, 4);
  re.SetCharCode(kCharCodeEucJp);
  re.SetPattern("\xA4\xA2");
  EXPECT_EQ(re.Match("\x8E\xB1\xA4\xA2", 0, &length), 2);
  EXPECT_EQ(length, 2);
  re.SetCharCode(kCharCodeShiftJis);
  re.SetPattern("^b");
  EXPECT_EQ(re.Match("a\nb", 2, &length), 2);
  EXPECT_EQ(re.Match("aab", 2, &length), -1);
  EXPECT_EQ(re.Match("aab", 4, &length), -1);
}

TEST(RegexCompile, RegexModeOffMakesEveryCharacterLiteral) {
  EXPECT_EQ(Kinds(Tokens("a")), "0 14 ");
  TbmREScanner scanner(kCharCodeShiftJis);
  scanner.SetRegexMode(false);
  scanner.SetText("(a|b)*\\[^x]$.");
  TbmRETokens tokens;
  Tokenize(scanner, &tokens);
  EXPECT_EQ(Kinds(tokens), "0 0 0 0 0 0 0 0 0 0 0 0 0 14 ");
  TbmRExp re;
  re.SetOption(0, false);
  re.SetPattern("a.\\t*");
  int length = 0;
  EXPECT_EQ(re.Match("ax\\t*", 0, &length), -1);
  EXPECT_EQ(re.Match("xa.\\t*", 0, &length), 1);
  EXPECT_EQ(length, 5);
  re.SetOption(0, true);
  EXPECT_EQ(re.Match("ab\t\tt", 0, &length), 0);
  EXPECT_EQ(length, 4);
}

TEST(RegexCompile, LimitsStayBounded) {
  // Exploding automaton: found lazily, with a bounded cache.
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < 20; ++i) pattern += "(a|b)";
  std::mt19937 rng(3);
  std::string text;
  for (int i = 0; i < 20000; ++i) text += (rng() & 1) ? 'a' : 'b';
  TbmRExp re;
  re.SetPattern(pattern);
  int length = 0;
  int start = re.Match(text + "c", 0, &length);
  EXPECT_EQ(start, 0);
  EXPECT_GT(length, 20);
  // A large pattern is refused with a clear error, not by exhausting memory.
  std::string big;
  for (int i = 0; i < 30000; ++i) big += "a*";
  re.SetPattern(big);
  try {
    re.GetDFATable();
    FAIL();
  } catch (const EbmREToken& e) {
    EXPECT_STREQ(e.what(), "pattern too complex");
  }
  // Any pattern under 1000 bytes compiles.
  std::string dots;
  for (int i = 0; i < 300; ++i) dots += "(.|x" + std::to_string(i % 10) + ")*";
  dots.resize(999);
  while (dots.back() != '*') dots.pop_back();
  re.SetPattern(dots);
  EXPECT_NO_THROW(re.GetDFATable());
}

}  // namespace
}  // namespace parvane
