// Inputs found by fuzzing (fuzz/rtf_fuzzer.cpp, fuzz/text_file_fuzzer.cpp),
// kept as plain cases.
#include <gtest/gtest.h>

#include <string>

#include "codes/rtf.h"

namespace parvane {
namespace {

// A line feed written as \'0a used to reach the text as a bare LF, so the
// last line ended in LF alone and a paragraph could be broken in two.
TEST(RtfFuzzRegressions, EscapedLineBreaksAreNotText) {
  const std::string found =
      "{\\rt\xE6" "1\\aonttbl{\\f0\\cpg1252{\\fonttbn{\\f0\\fswissf= \\'8a\\'bf\\'8e-m--\\'0a}\\pzar}";
  RtfText out = RtfToText(found, false);
  ASSERT_GE(out.text.size(), 2u);
  EXPECT_EQ(out.text.substr(out.text.size() - 2), "\r\n");
  EXPECT_EQ(out.text.find('\n'), out.text.size() - 1);

  EXPECT_EQ(RtfToText("{\\rtf1 a\\'0d\\'0ab\\par}", false).text, "ab\r\n");
  EXPECT_EQ(RtfToText("{\\rtf1 a\\u10?b\\u13?c\\u0?\\par}", false).text, "abc\r\n");
  EXPECT_EQ(RtfToText("{\\rtf1 a\\'0a", true).text, "a\r\n");
}

// TAB stays text in every form.
TEST(RtfFuzzRegressions, TabsStay) {
  EXPECT_EQ(RtfToText("{\\rtf1 a\\'09b\\u9?c\\par}", false).text, "a\tb\tc\r\n");
}

}  // namespace
}  // namespace parvane
