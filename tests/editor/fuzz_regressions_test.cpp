// Inputs found by fuzzing (fuzz/fields_fuzzer.cpp), kept as plain cases.
#include <gtest/gtest.h>

#include <string>

#include "editor/fields.h"

namespace parvane {
namespace {

// A field ending in a broken two-byte character (a lead byte with nothing
// after it) used to swallow what the join wrote after it: the closing quote
// of a quoted field, or the comma of a bare one.
TEST(FieldsFuzzRegressions, BrokenCharacterAtTheEndOfAQuotedField) {
  const Lines fields = {"a b\xF7\xF7\xF7", "c"};
  EXPECT_EQ(JoinFields(fields), "\"a b\xF7\xF7\xF7\",c");
  EXPECT_EQ(SplitFields(JoinFields(fields)), fields);
}

TEST(FieldsFuzzRegressions, BrokenCharacterAtTheEndOfABareField) {
  const Lines fields = {"x\x81", "y"};
  EXPECT_EQ(JoinFields(fields), "x\x81,y");
  EXPECT_EQ(SplitFields(JoinFields(fields)), fields);
  EXPECT_EQ(SplitFields("\x81\t\x82"), (Lines{"\x81", "\x82"}));
}

TEST(FieldsFuzzRegressions, QuoteAfterALeadByteIsDoubled) {
  const Lines fields = {"\x81\"", "z"};
  EXPECT_EQ(JoinFields(fields), "\"\x81\"\"\",z");
  EXPECT_EQ(SplitFields(JoinFields(fields)), fields);
}

// Whole characters are unchanged: a trail byte of 0x40 and above still
// belongs to its lead byte, "ソ" (83 5C) included.
TEST(FieldsFuzzRegressions, WholeCharactersStayWhole) {
  const Lines fields = {"\x83\x5C\x81\x40", "\x95\x5C x"};
  EXPECT_EQ(JoinFields(fields), "\x83\x5C\x81\x40,\"\x95\x5C x\"");
  EXPECT_EQ(SplitFields(JoinFields(fields)), fields);
}

}  // namespace
}  // namespace parvane
