#include "editor/fields.h"

#include <gtest/gtest.h>

#include <random>

#include "text/literal.h"

namespace parvane {
namespace {

TEST(FieldsTest, JoinQuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(JoinFields({""}), "\"\"");
  EXPECT_EQ(JoinFields({"a b", "c"}), "\"a b\",c");
  EXPECT_EQ(JoinFields({"x\"y", "1,2", "\t"}), "\"x\"\"y\",\"1,2\",\"\t\"");
  EXPECT_EQ(JoinFields({}), "");
  EXPECT_EQ(JoinFields({"a", "", "b"}), "a,,b");
  // 0x5C as a trail byte (表) and 0x22 never appear as trail bytes; a
  // two-byte character is never split to look for a quote.
  EXPECT_EQ(JoinFields({Sjis("表")}), Sjis("表"));
}

TEST(FieldsTest, SplitReadsQuotesControlsAndBlanks) {
  EXPECT_EQ(SplitFields("\"x\"\"y\",z"), (Lines{"x\"y", "z"}));
  EXPECT_EQ(SplitFields("a\tb"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitFields("a b,c"), (Lines{"a b", "c"}));
  EXPECT_EQ(SplitFields("\"abc"), (Lines{"abc"}));
  EXPECT_EQ(SplitFields("a\t\t\tb"), (Lines{"a", "b"})) << "a run of controls separates once";
  EXPECT_EQ(SplitFields("\"q\"r"), (Lines{"q", "r"}));
  EXPECT_EQ(SplitFields(""), (Lines{}));
}

TEST(FieldsTest, SplitTerminatesOnEveryByte) {
  // Every short string over a hostile alphabet ends and never throws.
  const std::string alphabet = std::string("a,\"\t \x82\xa0\x00", 9);
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    std::string s;
    for (int n = rng() % 8; n > 0; --n) s += alphabet[rng() % alphabet.size()];
    SplitFields(s);
  }
}

TEST(FieldsTest, TabsToCommasKeepsEmptyCells) {
  Lines lines = {"\t1\t\t2", "a\t\t\tb", "x y\tz"};
  TabsToCommas(lines);
  EXPECT_EQ(lines, (Lines{",1,,2", "a,,,b", "\"x y\",z"}));
}

TEST(FieldsTest, SplitUndoesJoin) {
  const std::vector<std::string> pieces = {"a", " ", ",", "\"", "\t", "", Sjis("表"), Sjis("ｱ"), "x"};
  std::mt19937 rng(42);
  for (int i = 0; i < 5000; ++i) {
    Lines fields;
    for (int f = 1 + rng() % 4; f > 0; --f) {
      std::string field;
      for (int n = rng() % 4; n > 0; --n) field += pieces[rng() % pieces.size()];
      fields.push_back(field);
    }
    // The one documented exception: a trailing empty field has no text of its own.
    if (fields.size() > 1 && fields.back().empty()) fields.back() = "x";
    // A field of controls only is quoted and so survives; leading controls
    // of a bare field are separators by design.
    EXPECT_EQ(SplitFields(JoinFields(fields)), fields) << JoinFields(fields);
  }
}

// Every line up to five bytes over an alphabet of the bytes the field rules
// treat apart (comma, quote, blank, TAB, another control, NUL), a letter, a
// lead byte with a trail byte and one without, and 0x40 (a trail byte that is
// also '@'): a line said to be plain must split into the text between its
// commas and join back to itself, and a line made only of letters and
// inner commas must be plain.
TEST(FieldsTest, PlainRecordsSplitAtTheirCommasAndJoinBack) {
  const std::string alphabet("a,\" \t\x01\x00\x82\x40", 9);
  std::size_t plain = 0;
  std::string line;
  for (std::size_t length = 0; length <= 5; ++length) {
    std::size_t count = 1;
    for (std::size_t k = 0; k < length; ++k) count *= alphabet.size();
    for (std::size_t code = 0; code < count; ++code) {
      line.clear();
      for (std::size_t k = 0, c = code; k < length; ++k, c /= alphabet.size()) {
        line += alphabet[c % alphabet.size()];
      }
      const bool letters_and_inner_commas =
          !line.empty() && line.back() != ',' &&
          line.find_first_not_of("a,") == std::string::npos;
      if (letters_and_inner_commas) EXPECT_TRUE(IsPlainRecord(line)) << line;
      if (!IsPlainRecord(line)) continue;
      ++plain;
      Lines between_commas(1);
      for (char c : line) {
        if (c == ',') {
          between_commas.emplace_back();
        } else {
          between_commas.back() += c;
        }
      }
      const Lines fields = SplitFields(line);
      ASSERT_EQ(fields, between_commas) << line;
      ASSERT_EQ(JoinFields(fields), line);
    }
  }
  EXPECT_GT(plain, 1000u);
}

}  // namespace
}  // namespace parvane
