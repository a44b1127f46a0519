#include "codes/rtf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codes/text_file.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::string Text(std::string_view rtf) { return RtfToText(rtf, false).text; }

TEST(RtfToText, ParagraphsLinesTabsAndEscapes) {
  EXPECT_EQ(Text(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;})"
                 R"(\f0\fs24 Hello\par World\line next\tab col \{x\} \\y\par})"),
            "Hello\r\nWorld\r\nnext\tcol {x} \\y\r\n");
  // A truncated file gives what was read; the last line is ended.
  EXPECT_EQ(Text(R"({\rtf1 one\par tw)"), "one\r\ntw\r\n");
  EXPECT_EQ(Text(R"({\rtf1 a\)"), "a\r\n");
  EXPECT_EQ(Text(""), "");
}

TEST(RtfToText, DestinationsAreSkipped) {
  EXPECT_EQ(Text(R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}})"
                 R"({\header head\par}{\footer foot\par}{\*\generator Gen;})"
                 R"({\pict\pngblip 89504e47}{\object{\objdata 0102}}body\par})"),
            "body\r\n");
  // \bin data may hold braces and backslashes.
  EXPECT_EQ(Text("{\\rtf1{\\pict\\bin4 }{\\\\}x\\par}"), "x\r\n");
}

TEST(RtfToText, FieldsKeepTheirResult) {
  EXPECT_EQ(Text(R"({\rtf1 see {\field{\*\fldinst{HYPERLINK "http://x"}}{\fldrslt{\ul site}}}.\par})"),
            "see site.\r\n");
  EXPECT_EQ(Text(R"({\rtf1{\field{\fldinst PAGE}{\fldrslt 3}}\par})"), "3\r\n");
}

TEST(RtfToText, TableRowIsOneLine) {
  EXPECT_EQ(Text(R"({\rtf1\trowd\cellx1000\cellx2000\cellx3000)"
                 R"(\pard\intbl a\cell\pard\intbl b\par c\cell\pard\intbl \cell\row)"
                 R"(\pard after\par})"),
            "a\tb c\t\r\nafter\r\n");
}

TEST(RtfToText, JapaneseCodePages) {
  // \ansicpg932: \'hh bytes are Shift_JIS.
  EXPECT_EQ(Text(R"({\rtf1\ansi\ansicpg932 \'82\'a0\'82\'a2\par})"), Sjis("あい\r\n"));
  // A font of charset 128 in a Latin document.
  EXPECT_EQ(Text(R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fswiss Arial;}{\f1\fcharset128 Mincho;}})"
                 R"(\f0 caf\'e9 {\f1 \'8a\'bf\'8e\'9a}\par})"),
            Sjis("caf? 漢字\r\n"));
  RtfText latin = RtfToText(R"({\rtf1\ansi x\par caf\'e9\par})", false);
  EXPECT_EQ(latin.unmapped_count, 1u);
  EXPECT_EQ(latin.first_unmapped_line, 2u);
  // \uN with its fallback skipped, \ucN respected, negative values.
  EXPECT_EQ(Text(R"({\rtf1\uc1\u12354?\u12356?{\uc2\u28450\'8a\'bf}\par})"), Sjis("あい漢\r\n"));
  EXPECT_EQ(Text(R"({\rtf1\u-248?\par})"), Sjis("（\r\n"));  // U+FF08
}

TEST(RtfToText, RawShiftJisFromAUnicodeFile) {
  // 表 is 95 5C: its trail byte must not start a control word.
  std::string rtf = "{\\rtf1 " + Sjis("表示") + "\\par}";
  EXPECT_EQ(RtfToText(rtf, true).text, Sjis("表示\r\n"));
  // Through the loader: RTF in a UTF-8 file.
  std::string file = "\xEF\xBB\xBF{\\rtf1 \xE8\xA1\xA8\\par}";
  DecodedFile d = DecodeFileBytes(file, true, true);
  EXPECT_EQ(d.text, Sjis("表\r\n"));
  EXPECT_EQ(d.detected_code, SaveCode::kUtf8);
}

TEST(RtfToText, DeepNestingAndGarbageNeverCrash) {
  std::string deep = "{\\rtf1 ";
  for (int i = 0; i < 200000; ++i) deep += '{';
  deep += "deep";
  for (int i = 0; i < 200000; ++i) deep += '}';
  deep += "\\par}";
  EXPECT_EQ(Text(deep), "deep\r\n");
  std::mt19937 rng(3);
  const std::string alphabet = "{}\\'*uc0123456789abparlinetbx- \r\n\x82\xA0";
  for (int round = 0; round < 2000; ++round) {
    std::string junk;
    int n = static_cast<int>(rng() % 60);
    for (int k = 0; k < n; ++k) junk += alphabet[rng() % alphabet.size()];
    RtfToText(junk, round % 2 == 0);
  }
}

}  // namespace
}  // namespace parvane
