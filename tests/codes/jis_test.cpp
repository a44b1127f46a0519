#include "codes/jis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "text/literal.h"

namespace parvane {
namespace {

using namespace std::string_literals;

TEST(DetectJapaneseCode, EdgeCases) {
  EXPECT_EQ(DetectJapaneseCode(""), CodeAscii);
  EXPECT_EQ(DetectJapaneseCode("\xF0"), CodeAscii);  // one byte: neither loop runs
  EXPECT_EQ(DetectJapaneseCode("ab\xF0"), CodeAscii);  // the last byte is not looked at
  EXPECT_EQ(DetectJapaneseCode("a\xF0" "b"), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode("\x82\xA0"), CodeSjis);  // あ
  EXPECT_EQ(DetectJapaneseCode("\x88\xEA"), CodeSjis);  // 一
  EXPECT_EQ(DetectJapaneseCode("\xA4\xA2\xA4\xA4"), CodeEucOrSjis);  // EUC あい
  EXPECT_EQ(DetectJapaneseCode("\xA4\xF3"), CodeEuc);  // EUC ん
  EXPECT_EQ(DetectJapaneseCode("\x1B$B\x24\x22\x1B(J\xA4\xF3"), CodeJis);
  EXPECT_EQ(DetectJapaneseCode("\x1B$@\x24\x22"), CodeJisOld);
  EXPECT_EQ(DetectJapaneseCode("ab\x1B(Bxy"), CodeAscii);
}

TEST(DetectJapaneseCode, ControlBytes) {
  EXPECT_EQ(DetectJapaneseCode("a\0b"s), CodeControlBytes);
  EXPECT_EQ(DetectJapaneseCode("a\x07" "b"), CodeControlBytes);
  EXPECT_EQ(DetectJapaneseCode("a\xFF" "b"), CodeControlBytes);
  EXPECT_EQ(DetectJapaneseCode("ab\x01"), CodeAscii);  // the very last byte excepted
  EXPECT_EQ(DetectJapaneseCode("\x82\xA0\x01z"), CodeControlBytes);  // before the scan decides
  // Past the first 65536 bytes only the scan sees control bytes, and only
  // before the first decisive byte.
  std::string late(70000, 'a');
  late += "\x01\x82\xA0z";
  EXPECT_EQ(DetectJapaneseCode(late), CodeControlBytes);
  std::string decided(70000, 'a');
  decided += "\x82\xA0\x01z";
  decided[0] = '\x82';
  decided[1] = '\xA0';
  EXPECT_EQ(DetectJapaneseCode(decided), CodeSjis);
}

TEST(DetectJapaneseCode, KanaLookAheadAndLaterEvidence) {
  // A half-width katakana byte followed by E0-EF: undecided until a byte
  // tells; 0x9D-0x9F do not count in the look-ahead.
  EXPECT_EQ(DetectJapaneseCode("\xB1\xE0\x82z"), CodeSjis);
  EXPECT_EQ(DetectJapaneseCode("\xB1\xE0\xFDz"), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode("\xB1\xE0\x9D\x20z"), CodeEucOrSjis);
  // CodeEucOrSjis is overruled by later evidence.
  EXPECT_EQ(DetectJapaneseCode("\xA4\xA2\x82\xA0z"), CodeSjis);
  EXPECT_EQ(DetectJapaneseCode("\x8E\xB1" "abc"), CodeEucOrSjis);
  EXPECT_EQ(DetectJapaneseCode("\x8E\x40z"), CodeSjis);
  EXPECT_EQ(DetectJapaneseCode("\xE0\xFDz"), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode("\xE0\x40z"), CodeSjis);
}

TEST(DetectJapaneseCode, HowFarEachRuleSteps) {
  const struct {
    std::string text;
    JapaneseCode code;
  } cases[] = {
      // ESC $ takes three bytes whatever follows; any other ESC two.
      {"\x1B$\xF0" "ab", CodeAscii},
      {"\x1B$x\xF0" "ab", CodeEuc},
      {"\x1B(\xF0" "ab", CodeEuc},
      {"\x1B$(X\xA4\xF3z", CodeEuc},  // ESC $ ( D and its kin decide JIS: jis_extension_test
      // 0x8E and a half-width katakana byte take their second byte along.
      {"\x8E\xA1\xF0" "ab", CodeEuc},
      {"\x8E\xFD" "ab", CodeAscii},
      {"\xB1\xA0\xF0" "ab", CodeEuc},
      {"\xB1\x41z", CodeSjis},
      // The look-ahead after a katakana byte and E0-EF ends at a byte below
      // 0x40, which is passed over: here an ESC $ B that decides nothing.
      {"\xB1\xE0\x1B$B\x24\x22z", CodeEucOrSjis},
      {"\xB1\xE0\xE0\x9Cz", CodeSjis},
      {"\xB1\xE0\x20\xF0z", CodeEuc},
      {"\x80\xA0\xF0z", CodeEuc},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectJapaneseCode(c.text), c.code) << testing::PrintToString(c.text);
  }
}

TEST(JapanesePairs, ArithmeticBothWays) {
  EXPECT_EQ(SjisToJisPair(0x82, 0xA0), (BytePair{0x24, 0x22}));
  EXPECT_EQ(JisToSjisPair(0x24, 0x22), (BytePair{0x82, 0xA0}));
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      BytePair s = JisToSjisPair(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      ASSERT_EQ(SjisToJisPair(s.first, s.second),
                (BytePair{static_cast<unsigned char>(j1), static_cast<unsigned char>(j2)}));
    }
  }
}

TEST(JapaneseConversion, SjisEucRoundTripOnEveryJisX0208Code) {
  // Leads F0-FC (user-defined area, IBM rows) have no JIS X 0208 position.
  for (int lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string s{static_cast<char>(lead), static_cast<char>(trail), '\r', '\n'};
      std::string euc = SjisToEuc(s);
      ASSERT_EQ(EucToSjis(euc), s) << std::hex << lead << " " << trail;
      ASSERT_EQ(JisToSjis(SjisToJis(s)), s) << std::hex << lead << " " << trail;
      ASSERT_EQ(JisToEuc(SjisToJis(s)), euc);
      ASSERT_EQ(EucToJis(euc), SjisToJis(s));
    }
  }
  EXPECT_EQ(SjisToEuc("\x82\xA0"), "\xA4\xA2");
  EXPECT_EQ(EucToSjis("\xA4\xA2"), "\x82\xA0");
  EXPECT_EQ(SjisToEuc("a\xB1" "b"), "a\x8E\xB1" "b");  // half-width kana stay
  EXPECT_EQ(EucToSjis("a\x8E\xB1" "b"), "a\xB1" "b");
}

TEST(JapaneseConversion, JisVoicedKanaMergeAndHalfWidthKanaAreLost) {
  EXPECT_EQ(SjisToJis("\xB6\xDE"), "\x1B$B\x25\x2C");   // ｶﾞ -> ガ
  EXPECT_EQ(SjisToJis("\xCA\xDF"), "\x1B$B\x25\x51");   // ﾊﾟ -> パ
  EXPECT_EQ(SjisToJis("\xB3\xDE"), "\x1B$B\x25\x74");   // ｳﾞ -> ヴ
  EXPECT_EQ(SjisToJis("\xDE"), "\x1B$B\x21\x2B");       // ﾞ -> ゛
  EXPECT_EQ(SjisToJis("\xB1\xDE"), "\x1B$B\x25\x22\x21\x2B");  // ｱﾞ stays two
  EXPECT_EQ(SjisToJis("\xCA\xDE"), "\x1B$B\x25\x50");   // ﾊﾞ -> バ
  EXPECT_EQ(EucToJis("\x8E\xB6\x8E\xDE"), "\x1B$B\x25\x2C");
  EXPECT_EQ(EucToJis("\x8E\xCA\x8E\xDF\r\n"), "\x1B$B\x25\x51\x1B(J\r\n");
  // The round trip gives full-width katakana back.
  EXPECT_EQ(JisToSjis(SjisToJis("\xB6\xDE\r\n")), Sjis("ガ\r\n"));
}

TEST(JapaneseConversion, JisModesAndEscapes) {
  std::string sjis = Sjis("あa漢\r\nb");
  std::string jis = SjisToJis(sjis);
  EXPECT_EQ(jis, "\x1B$B\x24\x22\x1B(Ja\x1B$B\x34\x41\x1B(J\r\nb");
  EXPECT_EQ(JisToSjis(jis), sjis);
  // ESC ( B returns to one-byte mode like ESC ( J.
  EXPECT_EQ(JisToSjis("\x1B$B\x24\x22\x1B(Bz"), "\x82\xA0z");
  EXPECT_EQ(JisToEuc("\x1B$@\x24\x22\x1B(Bz"), "\xA4\xA2z");
  // Text that ends in two-byte mode gets no closing escape.
  EXPECT_EQ(SjisToJis("\x82\xA0"), "\x1B$B\x24\x22");
}

TEST(JapaneseConversion, MalformedInputLosesNothingAndKeepsLineBreaks) {
  EXPECT_EQ(SjisToEuc("a\x82\r\n"), "a\x82\r\n");
  EXPECT_EQ(SjisToEuc("a\x82"), "a\x82");
  EXPECT_EQ(EucToSjis("\xA4\r\n"), "\xA4\r\n");
  EXPECT_EQ(SjisToJis("\x82\r\n"), "\x1B$B\x82\x1B(J\r\n");
  // Two-byte mode without the escape back before a line break.
  EXPECT_EQ(JisToSjis("\x1B$B\x24\x22\x24\r\nz"), "\x82\xA0\x24\r\nz");
  EXPECT_EQ(JisToSjis("\x1B$"), "");
}

TEST(ConvertJapaneseCode, DispatchByDetectedCode) {
  std::string sjis = Sjis("日本語テキスト\r\n");
  std::string euc = SjisToEuc(sjis);
  std::string jis = SjisToJis(sjis);
  EXPECT_EQ(ConvertJapaneseCode(euc, CodeSjis), sjis);
  EXPECT_EQ(ConvertJapaneseCode(jis, CodeSjis), sjis);
  EXPECT_EQ(ConvertJapaneseCode(sjis, CodeEuc), euc);
  EXPECT_EQ(ConvertJapaneseCode(sjis, CodeJis), jis);
  EXPECT_EQ(ConvertJapaneseCode(euc, CodeJis), jis);
  EXPECT_EQ(ConvertJapaneseCode(jis, CodeEuc), euc);
  EXPECT_EQ(ConvertJapaneseCode(sjis, CodeSjis), sjis);
  // Undecided and control-byte texts are never converted.
  EXPECT_EQ(ConvertJapaneseCode("\xA4\xA2\xA4\xA4\r\n", CodeSjis), "\xA4\xA2\xA4\xA4\r\n");
  std::string with_nul = "\0"s + euc;
  EXPECT_EQ(ConvertJapaneseCode(with_nul, CodeSjis), with_nul);
  EXPECT_EQ(ConvertJapaneseCode("plain\r\n", CodeJis), "plain\r\n");
}

// The conversions agree with iconv where both follow JIS X 0208.
std::string Iconv(const std::string& to, const std::string& input) {
  char name[] = "/tmp/parvane_iconv_XXXXXX";
  int fd = ::mkstemp(name);
  if (fd < 0) return "";
  std::FILE* f = ::fdopen(fd, "wb");
  std::fwrite(input.data(), 1, input.size(), f);
  std::fclose(f);
  std::string command = "iconv -f CP932 -t " + to + " " + name + " 2>/dev/null";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    if (::pclose(pipe) != 0) out.clear();
  }
  std::remove(name);
  return out;
}

TEST(JapaneseConversion, AgreesWithIconv) {
  std::string sjis = Sjis(
      "吾輩は猫である。名前はまだ無い。\r\nどこで生れたかとんと見当がつかぬ。\r\n"
      "ABC abc 123 ＡＢＣ（全角）「かぎ」・ー々〆\r\n第１章　漢字：亜唖娃阿哀愛挨姶逢葵\r\n");
  std::string euc = Iconv("EUC-JP", sjis);
  if (euc.empty()) GTEST_SKIP() << "iconv with CP932 is not available";
  EXPECT_EQ(SjisToEuc(sjis), euc);
  std::string jis = Iconv("ISO-2022-JP", sjis);
  // iconv returns to one-byte mode with ESC ( B; the program writes ESC ( J.
  for (std::size_t at; (at = jis.find("\x1B(B")) != std::string::npos;) jis[at + 2] = 'J';
  EXPECT_EQ(SjisToJis(sjis), jis);
  std::string kana = "\xB6\xC0\xB6\xC5 \xCA\xDF\xB0\xC4\r\n";  // ｶﾀｶﾅ ﾊﾟｰﾄ
  EXPECT_EQ(SjisToEuc(kana), Iconv("EUC-JP", kana));
}

}  // namespace
}  // namespace parvane
