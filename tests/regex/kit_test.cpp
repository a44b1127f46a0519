// The kit routines against the behaviours other commands rely on.
#include "regex/kit.h"

#include <gtest/gtest.h>

#include <string>

#include "regex/token.h"
#include "text/literal.h"

namespace parvane {
namespace {

struct Found {
  int position;
  int length;
  bool operator==(const Found&) const = default;
};

Found Find(std::string_view pattern, std::string_view line, bool ignore_case = false) {
  int position = -7;
  int length = -7;
  int result = RegexFind(pattern, ignore_case, line, &position, &length);
  EXPECT_EQ(result, position);
  return {position, length};
}

std::string ReplaceAll(std::string_view pattern, std::string_view tmpl, std::string line, int* count = nullptr) {
  int n = RegexReplaceAll(pattern, false, tmpl, line);
  if (count) *count = n;
  return line;
}

TEST(RegexKit, FindsLeftmostLongest) {
  EXPECT_EQ(Find("b+", "abbbc"), (Found{2, 3}));
  EXPECT_EQ(Find("x*", "abc"), (Found{1, 0}));
  EXPECT_EQ(Find("q", "abc"), (Found{0, 0}));
  EXPECT_EQ(Find("a|ab", "abc"), (Found{1, 2}));
  EXPECT_EQ(Find("(ab)+", "xababx"), (Found{2, 4}));
  EXPECT_EQ(Find("(ab)+", "xx"), (Found{0, 0}));
  EXPECT_EQ(Find("", "abc"), (Found{1, 0}));
  EXPECT_EQ(Find("()", ""), (Found{1, 0}));
}

TEST(RegexKit, Anchors) {
  EXPECT_EQ(Find("^a", "aa"), (Found{1, 1}));
  EXPECT_EQ(Find("^a", "ba"), (Found{0, 0}));
  EXPECT_EQ(Find("a$", "aa"), (Found{2, 1}));
  EXPECT_EQ(Find("^$", ""), (Found{1, 0}));
  EXPECT_EQ(Find("^$", "a"), (Found{0, 0}));
  EXPECT_EQ(Find("a^b", "xa^b"), (Found{2, 3}));
  EXPECT_EQ(Find("a$b", "a$b"), (Found{1, 3}));
  EXPECT_EQ(Find("$x", "$x"), (Found{1, 2}));
  EXPECT_EQ(Find("a$*", "a$$"), (Found{1, 3}));
  EXPECT_EQ(Find("x*^y", "y"), (Found{1, 1}));
  EXPECT_EQ(Find("x*^y", "xy"), (Found{0, 0}));
  EXPECT_EQ(Find("a|^b", "cb"), (Found{0, 0}));
  EXPECT_EQ(Find("(a|b$)", "xb"), (Found{2, 1}));
  // Line breaks inside a line: ^ after LF and a lone CR, $ before either.
  EXPECT_EQ(Find("^b", "a\nb"), (Found{3, 1}));
  EXPECT_EQ(Find("^b", "a\rb"), (Found{3, 1}));
  EXPECT_EQ(Find("^\\nb", "a\r\nb"), (Found{0, 0}));
  EXPECT_EQ(Find("a$", "a\rb"), (Found{1, 1}));
  EXPECT_EQ(Find("a$", "a\nb"), (Found{1, 1}));
}

TEST(RegexKit, IgnoreCase) {
  EXPECT_EQ(Find("abc", "xABC", true), (Found{2, 3}));
  EXPECT_EQ(Find("abc", "xABC", false), (Found{0, 0}));
  EXPECT_EQ(Find("abc", "aBc", true), (Found{1, 3}));
  EXPECT_EQ(Find("[a-c]", "ABCb", true), (Found{4, 1}));
}

TEST(RegexKit, ClassesAndDot) {
  EXPECT_EQ(Find("[]]", "a]"), (Found{2, 1}));
  EXPECT_EQ(Find("[^]]+", "]]ab]"), (Found{3, 2}));
  EXPECT_EQ(Find("[a-]+", "x-a-"), (Found{2, 3}));
  EXPECT_EQ(Find("[-a]+", "x-a-"), (Found{2, 3}));
  EXPECT_EQ(Find("[a-c-e]+", "xa-ed"), (Found{2, 3}));
  EXPECT_EQ(Find("[^a]", "a\n\rb"), (Found{4, 1}));
  EXPECT_EQ(Find(".", "\n\rb"), (Found{3, 1}));
  EXPECT_EQ(Find("[.*(|$^]+", "x.*(|$^"), (Found{2, 6}));
  // A negated class that excludes every character matches nothing.
  EXPECT_EQ(Find("[^\\x0-\\xffff]", "abc"), (Found{0, 0}));
  EXPECT_EQ(Find("a[^\\x0-\\xffff]*b", "ab"), (Found{1, 2}));
}

TEST(RegexKit, Escapes) {
  EXPECT_EQ(Find("\\x41", "zA"), (Found{2, 1}));
  EXPECT_EQ(Find("\\101", "zA"), (Found{2, 1}));
  EXPECT_EQ(Find("\\q", "q"), (Found{1, 1}));
  EXPECT_EQ(Find("\\x82a0", Sjis("xあ")), (Found{2, 2}));
  EXPECT_EQ(Find("\\x82a0b", Sjis("あb")), (Found{1, 3}));
  EXPECT_EQ(Find("\\.", "a.b"), (Found{2, 1}));
  EXPECT_EQ(Find("a\\tb", "a\tb"), (Found{1, 3}));
}

TEST(RegexKit, ReplaceAll) {
  int count = 0;
  EXPECT_EQ(ReplaceAll("a", "[&]", "banana", &count), "b[a]n[a]n[a]");
  EXPECT_EQ(count, 3);
  EXPECT_EQ(ReplaceAll("x*", "X", "ab", &count), "XaXb");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(ReplaceAll("$", "X", "ab", &count), "abX");
  EXPECT_EQ(count, 1);
  EXPECT_EQ(ReplaceAll("a*", "X", "baa", &count), "XbX");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(ReplaceAll("^$", "X", "", &count), "X");
  EXPECT_EQ(ReplaceAll("q", "X", "abc", &count), "abc");
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ReplaceAll("^a", "X", "aaa", &count), "Xaa");
  EXPECT_EQ(ReplaceAll(Sjis("あ"), Sjis("い"), Sjis("あかあ")), Sjis("いかい"));
  EXPECT_EQ(ReplaceAll("x*", "-", Sjis("あい")), Sjis("-あ-い"));
}

TEST(RegexKit, Templates) {
  EXPECT_EQ(ReplaceAll("a", "b\\", "a"), "b");
  EXPECT_EQ(ReplaceAll("a", "\\&\\\\\\t", "a"), "&\\\t");
  EXPECT_EQ(ReplaceAll("a", "\\x82a0", "a"), Sjis("あ"));
  EXPECT_EQ(ReplaceAll("b+", "<&&>", "abbc"), "a<bbbb>c");
  EXPECT_EQ(ReplaceAll("a", "\\1", "a"), std::string(1, '\1'));
}

TEST(RegexKit, ReplaceFirst) {
  std::string line = "  ab";
  EXPECT_EQ(RegexReplaceFirst("^ ", false, "", line), 1);
  EXPECT_EQ(line, " ab");
  line = "ab ";
  EXPECT_EQ(RegexReplaceFirst("^ ", false, "", line), 0);
  EXPECT_EQ(line, "ab ");
  line = "banana";
  EXPECT_EQ(RegexReplaceFirst("an", false, "<&>", line), 1);
  EXPECT_EQ(line, "b<an>ana");
}

TEST(RegexKit, ShiftJisCharactersAreWhole) {
  // 表 is 95 5C: a backslash must never be found in its trail byte.
  std::string hyou = Sjis("表");
  ASSERT_EQ(hyou, "\x95\x5C");
  EXPECT_EQ(Find("\\\\", hyou), (Found{0, 0}));
  EXPECT_EQ(Find("\\\\", hyou + "\\"), (Found{3, 1}));
  EXPECT_EQ(Find("\\x5c", hyou), (Found{0, 0}));
  EXPECT_EQ(Find(".", hyou), (Found{1, 2}));
  EXPECT_EQ(Find(Sjis("[あ-ん]+"), Sjis("カタかなカナ")), (Found{5, 4}));
  // ゃ (82 E1) and 亜 (88 9F) have trail bytes in the lead range.
  EXPECT_EQ(Find(Sjis("亜"), Sjis("ゃ亜")), (Found{3, 2}));
  EXPECT_EQ(Find("\\x9f\\x88", Sjis("亜亜")), (Found{0, 0}));
  EXPECT_EQ(Find(Sjis("表+"), Sjis("a表表")), (Found{2, 4}));
  int count = 0;
  EXPECT_EQ(ReplaceAll("\\\\", "/", Sjis("表\\表"), &count), Sjis("表/表"));
  EXPECT_EQ(count, 1);
}

TEST(RegexKit, PatternErrors) {
  auto kind_of = [](std::string_view pattern) {
    try {
      Find(pattern, "abc");
    } catch (const EbmREToken& e) {
      return std::string(e.what()) + "/" + std::to_string(e.Kind());
    }
    return std::string("none");
  };
  EXPECT_EQ(kind_of("[z-a]"), "invalid character class/21");
  EXPECT_EQ(kind_of("(ab"), "need right parenthesis/24");
  EXPECT_EQ(kind_of("ab)"), "invalid character/23");
  EXPECT_EQ(kind_of("a**"), "need normal char or left parenthesis/25");
  EXPECT_EQ(kind_of("*a"), "need normal char or left parenthesis/25");
  EXPECT_EQ(kind_of("a|*"), "need normal char or left parenthesis/25");
  EXPECT_EQ(kind_of("a+?"), "need normal char or left parenthesis/25");
  EXPECT_EQ(kind_of("ab\\"), "invalid escape sequence/22");
  EXPECT_EQ(kind_of("\\xZ"), "invalid escape sequence/22");
  EXPECT_EQ(kind_of("[abc"), "need right bracket \"]\"/20");
  EXPECT_EQ(kind_of("[a-"), "need right bracket \"]\"/20");
  // A failed pattern leaves the next call free.
  EXPECT_EQ(Find("b", "abc"), (Found{2, 1}));
  std::string deep(10000, '(');
  EXPECT_EQ(kind_of(deep), "need right parenthesis/24");
  EXPECT_EQ(kind_of(deep + "a" + std::string(10000, ')')), "none");
}

TEST(RegexKit, EbmRETokenCarriesTheToken) {
  try {
    Find("ab)", "x");
    FAIL();
  } catch (const std::runtime_error& e) {
    const auto* token_error = dynamic_cast<const EbmREToken*>(&e);
    ASSERT_NE(token_error, nullptr);
    EXPECT_EQ(token_error->Token().StartPos, 2);
    EXPECT_EQ(token_error->Token().EndPos, 3);
    EXPECT_EQ(token_error->Token().Lo, ')');
  }
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

// An empty line has no bytes to search: the literal and required-bytes
// fast paths must say "no match" without handing memmem a null pointer
// (the sanitizer build checks that).
TEST(RegexKit, LiteralAndRequiredBytesOnAnEmptyLine) {
  int position = -1, length = -1;
  EXPECT_EQ(RegexFind("x", false, std::string_view(), &position, &length), 0);
  EXPECT_FALSE(RegexContains("ab+", false, std::string_view()));
  std::string line;
  EXPECT_EQ(RegexReplaceAll("x", false, "y", line), 0);
  EXPECT_EQ(line, "");
}

}  // namespace
}  // namespace parvane
