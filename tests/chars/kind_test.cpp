// The width, kana and case mappings and their seventeen commands.
#include <gtest/gtest.h>

#include <string>

#include "automation/run_command.h"
#include "chars/kind_classes.h"
#include "chars/kind_lines.h"
#include "chars/kind_mapping.h"
#include "python_oracle.h"
#include "support/scripted_host.h"
#include "text/cp932.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::string Class(KindClass kind, std::string_view utf8) {
  return SjisToUtf8(KindClassConverted(kind, Sjis(utf8)));
}

std::string Whole(KindMapping mapping, std::string_view utf8) {
  return SjisToUtf8(ConvertWholeLine(mapping, Sjis(utf8)));
}

TEST(KindClassTest, ClassesSelectOnlyTheirCharacters) {
  EXPECT_EQ(Class(KindClass::kDigitsToHalfWidth, "ＡＢ１２"), "ＡＢ12");
  EXPECT_EQ(Class(KindClass::kAlphabetToHalfWidth, "ＡＢ１２"), "AB１２");
  EXPECT_EQ(Class(KindClass::kSymbolsToFullWidth, "a\\b c"), "a￥b　c");
  EXPECT_EQ(Class(KindClass::kSymbolsToHalfWidth, "￥！　［"), "￥! [");
  EXPECT_EQ(Class(KindClass::kKatakanaToHalfWidth, "ガッコウ、です"), "ｶﾞｯｺｳ､です");
  EXPECT_EQ(Class(KindClass::kKatakanaToHalfWidth, "「パ・ヴー」゛ヰヵ"), "｢ﾊﾟ･ｳﾞｰ｣ﾞヰヵ");
  EXPECT_EQ(Class(KindClass::kAlphabetToFullWidth, "a1!"), "ａ1!");
  EXPECT_EQ(Class(KindClass::kDigitsToFullWidth, "a1!"), "a１!");
  EXPECT_EQ(Class(KindClass::kSwapHiraganaKatakana, "ひらカナ"), "ヒラかな");
  EXPECT_EQ(Class(KindClass::kSwapHiraganaKatakana, "ヴヵヶゝヽ"), "ヴヵヶゝヽ");
  EXPECT_EQ(Class(KindClass::kSwapCase, "aBｃＤΑ"), "AbＣｄΑ");
}

TEST(KindClassTest, SoundMarksMergeOnlyWhereASingleFormExists) {
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "ｶﾞｯｺｳ"), "ガッコウ");
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "ﾊﾟｳﾞﾎﾞ"), "パヴボ");
  // A mark after a letter stays, and so does the letter.
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "aﾞ"), "aﾞ");
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "漢ﾞ"), "漢ﾞ");
  // No single form: the pair would take four bytes, so it stays as it was.
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "ｱﾞｶﾟﾞﾞ"), "ｱﾞｶﾟﾞﾞ");
  EXPECT_EQ(Class(KindClass::kKatakanaToFullWidth, "ﾞｱ"), "゛ア");
}

TEST(KindClassTest, SwapWidthMapsUnitByUnit) {
  EXPECT_EQ(Class(KindClass::kSwapWidth, "Aａ漢字"), "Ａa漢字");
  EXPECT_EQ(Class(KindClass::kSwapWidth, "ｶﾞ"), "カ゛");
  EXPECT_EQ(Class(KindClass::kSwapWidth, "\\＼ガ"), "￥\\ｶﾞ");
  EXPECT_EQ(Class(KindClass::kSwapWidth, "\t"), "\t");
}

TEST(KindClassTest, TrailByteBackslashIsNoBackslash) {
  // ソ and 表 end in the byte 0x5C.
  EXPECT_EQ(Class(KindClass::kSymbolsToFullWidth, "ソ表\\"), "ソ表￥");
  EXPECT_EQ(Whole(KindMapping::kFullWidth, "ソ\\表"), "ソ￥表");
}

TEST(KindClassTest, BytesOutsideTheCodePageSurvive) {
  // 0x85 0x40 and 0xFD 0x41 are unassigned pairs, and 0xEE 0xFC is a second
  // code of ＂ (the code page writes it 0xFA 0x57): none may be rewritten by a
  // command whose class they are not in.
  const std::string odd = std::string("\x85\x40\xFD\x41\xEE\xFC", 6);
  EXPECT_EQ(KindClassConverted(KindClass::kDigitsToHalfWidth, odd + Sjis("１")), odd + "1");
  EXPECT_EQ(KindClassConverted(KindClass::kSwapWidth, odd.substr(0, 4)), odd.substr(0, 4));
  EXPECT_EQ(MapKind(KindMapping::kUpperCase, odd + "a"), odd + "A");
  // A NUL byte does not end a line: what follows it is mapped too.
  EXPECT_EQ(MapKind(KindMapping::kFullWidth, std::string("a\0b", 3)),
            Sjis("ａ") + std::string(1, '\0') + Sjis("ｂ"));
  // In its class, the second code maps like the first.
  EXPECT_EQ(KindClassConverted(KindClass::kSymbolsToHalfWidth, "\xFA\x57\xEE\xFC"), "\"\"");
}

TEST(KindLinesTest, WholeLineMappings) {
  EXPECT_EQ(Whole(KindMapping::kFullWidth, "C:\\tmp"), "Ｃ：￥ｔｍｐ");
  EXPECT_EQ(Whole(KindMapping::kFullWidth, "ｶﾞｱﾞﾊﾟ ~"), "ガア゛パ　～");
  EXPECT_EQ(Whole(KindMapping::kHalfWidth, "ガパヴ　ＡＢ＼「ー」ひ漢"), "ｶﾞﾊﾟｳﾞ AB\\｢ｰ｣ひ漢");
  EXPECT_EQ(Whole(KindMapping::kKatakana, "ひらがなゝゞ"), "ヒラガナヽヾ");
  EXPECT_EQ(Whole(KindMapping::kHiragana, "カタカナヽヾヴヵヶ"), "かたかなゝゞヴヵヶ");
  EXPECT_EQ(Whole(KindMapping::kLowerCase, "ABＣΣΩАЯЁⅠ"), "abｃσωаяёⅠ");
  EXPECT_EQ(Whole(KindMapping::kUpperCase, "abｃσωаяё"), "ABＣΣΩАЯЁ");
}

TEST(KindLinesTest, HalfFullHalfRoundTripsEveryHalfWidthCharacter) {
  for (int b = 0x20; b <= 0xDF; ++b) {
    if (b == 0x5C || (b >= 0x7F && b <= 0xA0)) continue;
    const std::string half(1, static_cast<char>(b));
    const std::string full = MapKind(KindMapping::kFullWidth, half);
    ASSERT_EQ(full.size(), 2u) << "byte " << b;
    EXPECT_EQ(MapKind(KindMapping::kHalfWidth, full), half) << "byte " << b;
  }
  for (int base = 0xA1; base <= 0xDF; ++base) {
    for (char mark : {'\xDE', '\xDF'}) {
      const std::string pair = {static_cast<char>(base), mark};
      EXPECT_EQ(MapKind(KindMapping::kHalfWidth, MapKind(KindMapping::kFullWidth, pair)), pair);
    }
  }
}

// Half width and case against Python's Unicode database on every character
// of the code page: NFKC gives the half form of full-width ASCII and
// katakana, the canonical decomposition gives the sound mark.
TEST(KindLinesTest, AgreesWithPythonOnEveryCodePageCharacter) {
  if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
  constexpr std::string_view kScript = R"py(
import unicodedata, sys
half = {}
for h in range(0xFF61, 0xFF9E):
    half[unicodedata.normalize('NFKC', chr(h))] = chr(h)
half['\u309B'] = '\uFF9E'; half['\u309C'] = '\uFF9F'
def halfwidth(c):
    if 0xFF01 <= ord(c) <= 0xFF5E or c == '\u3000':
        return unicodedata.normalize('NFKC', c)
    if c in half:
        return half[c]
    d = unicodedata.normalize('NFD', c)
    if len(d) == 2 and d[0] in half and d[1] in '\u3099\u309A':
        return half[d[0]] + ('\uFF9E' if d[1] == '\u3099' else '\uFF9F')
    return c
def cased(c, up):
    o = ord(c)
    if o < 0x80 or 0xFF21 <= o <= 0xFF5A or 0x391 <= o <= 0x3C9 or 0x401 <= o <= 0x451:
        r = c.upper() if up else c.lower()
        try:
            r.encode('cp932'); return r
        except UnicodeEncodeError:
            return c
    return c
out = sys.stdout.buffer
codes = list(range(0x20, 0x7F)) + list(range(0xA1, 0xE0))
codes += [(l << 8) | t for l in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
          for t in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))]
for code in codes:
    raw = bytes([code]) if code < 0x100 else bytes([code >> 8, code & 0xFF])
    try:
        c = raw.decode('cp932')
    except UnicodeDecodeError:
        continue
    if c.encode('cp932') != raw:
        continue  # a second code of a character
    fields = [halfwidth(c), cased(c, False), cased(c, True)]
    out.write(raw.hex().encode() + b' ' + b' '.join(f.encode('cp932').hex().encode() for f in fields) + b'\n')
)py";
  auto output = RunPython(kScript, "");
  ASSERT_TRUE(output.has_value());
  auto hex = [](const std::string& s) {
    static const char* digits = "0123456789abcdef";
    std::string h;
    for (unsigned char c : s) {
      h += digits[c >> 4];
      h += digits[c & 15];
    }
    return h;
  };
  auto unhex = [](std::string_view h) {
    std::string s;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2)
      s += static_cast<char>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16));
    return s;
  };
  int checked = 0, mismatches = 0;
  std::size_t start = 0;
  while (start < output->size() && mismatches < 20) {
    std::size_t end = output->find('\n', start);
    std::string_view row(output->data() + start, end - start);
    start = end + 1;
    std::size_t a = row.find(' '), b = row.find(' ', a + 1), c = row.find(' ', b + 1);
    const std::string ch = unhex(row.substr(0, a));
    const std::string expected[3] = {unhex(row.substr(a + 1, b - a - 1)),
                                     unhex(row.substr(b + 1, c - b - 1)), unhex(row.substr(c + 1))};
    const KindMapping mappings[3] = {KindMapping::kHalfWidth, KindMapping::kLowerCase,
                                     KindMapping::kUpperCase};
    for (int k = 0; k < 3; ++k) {
      std::string got = MapKind(mappings[k], ch);
      if (got != expected[k]) {
        ++mismatches;
        ADD_FAILURE() << "mapping " << k << " of " << hex(ch) << ": got " << hex(got) << ", want "
                      << hex(expected[k]);
      }
    }
    ++checked;
  }
  EXPECT_GT(checked, 7000);
}

// --- the commands, through the frame ---

class KindCommandTest : public ::testing::Test {
 protected:
  void SetDocument(const std::vector<std::string>& utf8_lines) {
    editor_.doc.SetLines(SjisLines(utf8_lines));
  }
  std::vector<std::string> Document() const { return Utf8Lines(editor_.doc.lines()); }
  std::vector<std::string> Recorded() const { return Utf8Lines(editor_.record_buffer); }

  ScriptedHost host_;
  Editor editor_{host_};
};

TEST_F(KindCommandTest, WholeDocumentWhenNothingIsSelected) {
  SetDocument({"ＡＢ１２", "ｶﾞｯｺｳ"});
  RunOperation(editor_, DigitsToHalfWidth);
  EXPECT_EQ(Document(), (std::vector<std::string>{"ＡＢ12", "ｶﾞｯｺｳ"}));
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"[数字を半角に変換]"}));
  EXPECT_EQ(host_.busy_messages, (std::vector<std::string>{"全角数字を半角数字に変換しています…"}));
  EXPECT_TRUE(editor_.modified);
  EXPECT_EQ(SjisToUtf8(editor_.UndoText()), "ＡＢ１２\r\nｶﾞｯｺｳ\r\n");
}

TEST_F(KindCommandTest, SelectedLinesOnlyAndInPlace) {
  const std::vector<std::string> lines = {"ａｂ", "ａｂ", "ａｂ", "ａｂ"};
  struct Case {
    void (*command)(Editor&);
    const char* step;
    const char* converted;
  };
  const Case cases[] = {
      {ConvertToHalfWidth, "[出来る限り半角文字に変換]", "ab"},
      {ConvertToUpperCase, "[小文字を大文字に変換]", "ＡＢ"},
      {AlphabetToHalfWidth, "[アルファベットを半角に変換]", "ab"},
      {SwapCase, "[大文字と小文字を入れ替える]", "ＡＢ"},
  };
  for (const Case& c : cases) {
    SetDocument(lines);
    editor_.doc.Select(1, true);
    editor_.doc.Select(2, true);
    editor_.record_buffer.clear();
    RunOperation(editor_, c.command);
    EXPECT_EQ(Document(), (std::vector<std::string>{"ａｂ", c.converted, c.converted, "ａｂ"}))
        << c.step;
    EXPECT_EQ(Recorded(), (std::vector<std::string>{c.step}));
  }
}

TEST_F(KindCommandTest, EveryCommandRecordsItsOwnStepName) {
  struct Case {
    void (*command)(Editor&);
    const char* step;
  };
  const Case cases[] = {
      {ConvertToHalfWidth, "[出来る限り半角文字に変換]"},
      {ConvertToFullWidth, "[出来る限り全角文字に変換]"},
      {HiraganaToKatakana, "[ひらがなを全角カタカナに変換]"},
      {KatakanaToHiragana, "[全角カタカナをひらがなに変換]"},
      {ConvertToLowerCase, "[大文字を小文字に変換]"},
      {ConvertToUpperCase, "[小文字を大文字に変換]"},
      {AlphabetToHalfWidth, "[アルファベットを半角に変換]"},
      {DigitsToHalfWidth, "[数字を半角に変換]"},
      {SymbolsToHalfWidth, "[記号を半角に変換]"},
      {KatakanaToHalfWidth, "[カタカナを半角に変換]"},
      {AlphabetToFullWidth, "[アルファベットを全角に変換]"},
      {DigitsToFullWidth, "[数字を全角に変換]"},
      {SymbolsToFullWidth, "[記号を全角に変換]"},
      {KatakanaToFullWidth, "[カタカナを全角に変換]"},
      {SwapWidth, "[全角と半角を入れ替える]"},
      {SwapHiraganaKatakana, "[ひらがなとカタカナを入れ替える]"},
      {SwapCase, "[大文字と小文字を入れ替える]"},
  };
  SetDocument({"x"});
  for (const Case& c : cases) RunOperation(editor_, c.command);
  std::vector<std::string> expected;
  for (const Case& c : cases) expected.push_back(c.step);
  EXPECT_EQ(Recorded(), expected);
  EXPECT_EQ(host_.commands_started, host_.commands_ended);
}

TEST_F(KindCommandTest, SoundMarkAfterALineBreakStaysLikeOneAfterALetter) {
  // The lines are walked as one text joined with CR LF: a mark that begins a
  // later line follows the LF and keeps its half width; only the very first
  // line has nothing before its mark.
  SetDocument({"ﾞｶﾞ", "ﾞｶﾞ", "ﾟﾊﾟ", "aﾞ", "ｶ", "ﾞ"});
  RunOperation(editor_, KatakanaToFullWidth);
  EXPECT_EQ(Document(), (std::vector<std::string>{"゛ガ", "ﾞガ", "ﾟパ", "aﾞ", "カ", "ﾞ"}));

  // With a selection, the first selected line is the start of the text.
  SetDocument({"ﾞ", "ﾞ", "ﾞ"});
  editor_.doc.Select(1, true);
  editor_.doc.Select(2, true);
  RunOperation(editor_, KatakanaToFullWidth);
  EXPECT_EQ(Document(), (std::vector<std::string>{"ﾞ", "゛", "ﾞ"}));

  // Other classes convert a leading mark on every line.
  SetDocument({"ﾞ", "ﾞ"});
  RunOperation(editor_, SwapWidth);
  EXPECT_EQ(Document(), (std::vector<std::string>{"゛", "゛"}));
}

TEST_F(KindCommandTest, TooLongResultIsRefused) {
  editor_.max_line_length = 10;
  SetDocument({"abcdef"});
  RunOperation(editor_, ConvertToFullWidth);
  EXPECT_EQ(Document(), (std::vector<std::string>{"abcdef"}));
  ASSERT_EQ(host_.messages.size(), 1u);
}

}  // namespace
}  // namespace parvane
