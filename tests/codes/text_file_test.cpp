// Unicode forms and the loader's byte-level decoding and encoding.
#include "codes/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "codes/jis.h"
#include "codes/unicode.h"
#include "text/cp932.h"
#include "text/literal.h"

namespace parvane {
namespace {

using namespace std::string_literals;

const std::string kA = Sjis("ア\r\n");  // 83 41 0D 0A

TEST(UnicodeWriters, TheKatakanaAExamples) {
  EXPECT_EQ(EncodeForSave(kA, SaveCode::kUtf8, nullptr), "\xEF\xBB\xBF\xE3\x82\xA2\r\n");
  EXPECT_EQ(EncodeForSave(kA, SaveCode::kUtf16, nullptr), "\xFF\xFE\xA2\x30\r\0\n\0"s);
  EXPECT_EQ(EncodeForSave(kA, SaveCode::kUtf16Be, nullptr), "\xFE\xFF\x30\xA2\0\r\0\n"s);
  EXPECT_EQ(EncodeForSave(kA, SaveCode::kUtf8NoBom, nullptr), "\xE3\x82\xA2\r\n");
  EXPECT_EQ(WriteUtf8Bytes(u"\u00E9", false), "\xC3\xA9");
}

TEST(UnicodeBom, OnlyTheMarkDecides) {
  EXPECT_EQ(DetectUnicodeBom("\xEF\xBB\xBF"), 3);
  EXPECT_EQ(DetectUnicodeBom("\xFF\xFE"), 4);
  EXPECT_EQ(DetectUnicodeBom("\xFE\xFF"), 5);
  EXPECT_EQ(DetectUnicodeBom("\xEF\xBB"), 0);
  EXPECT_EQ(DetectUnicodeBom("\xE3\x82\xA2"), 0);
  EXPECT_EQ(DetectUnicodeBom(""), 0);
}

TEST(UnicodeBom, FilesAndTheReader) {
  auto path = std::filesystem::temp_directory_path() /
              ("parvane_unicode_" + std::to_string(::getpid()) + ".txt");
  { std::ofstream(path, std::ios::binary) << "\xFE\xFF\x30\xA2\0\r\0\n\x30"s; }
  std::string error;
  EXPECT_EQ(DetectUnicodeBom(path, &error), 5);
  TUnicode reader(path);
  ASSERT_TRUE(reader.ok());
  EXPECT_EQ(reader.kind(), 5);
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.ReadText(), u"\u30A2\r\n");  // the odd last byte is lost
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadText(), u"");
  std::filesystem::remove(path);
  EXPECT_EQ(DetectUnicodeBom(path, &error), -1);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(TUnicode(path).ok());
}

TEST(DecodeFileBytes, Utf8WithMark) {
  DecodedFile d = DecodeFileBytes("\xEF\xBB\xBF\xE3\x82\xA2\r\n", false, false);
  EXPECT_EQ(d.text, kA);
  EXPECT_EQ(d.unicode_kind, 3);
  EXPECT_EQ(d.detected_code, SaveCode::kUtf8);
  EXPECT_EQ(DecodeFileBytes("\xEF\xBB\xBF", false, true).text, "");
  // Invalid UTF-8 after the mark is still read, byte by byte: C3 28 as
  // U+00E8, which takes a private code.
  EXPECT_EQ(DecodeFileBytes("\xEF\xBB\xBF" "a\xC3(b", false, false).text, "a\xF0\x40" "b");
}

TEST(DecodeFileBytes, MendsOfBrokenUnicode) {
  // The last character cut off: one '?', counted.
  DecodedFile cut = DecodeFileBytes("\xEF\xBB\xBFx\r\ny\xE3\x82", false, false);
  EXPECT_EQ(cut.text, "x\r\ny?");
  EXPECT_EQ(cut.unmapped_count, 1u);
  EXPECT_EQ(cut.first_unmapped_line, 2u);
  // A four-byte sequence is one supplementary character: one private code.
  DecodedFile emoji = DecodeFileBytes("\xEF\xBB\xBF" "a\xF0\x9F\x98\x80" "b", false, false);
  EXPECT_EQ(emoji.text, "a\xF0\x40" "b");
  EXPECT_EQ(emoji.unmapped_count, 0u);
  EXPECT_EQ(emoji.codes.CharOf(0xF040), 0x1F600);
  // UTF-16 of odd length loses only its last byte; NUL bytes are kept.
  EXPECT_EQ(DecodeFileBytes("\xFF\xFE" "a\0\0\0b\0c"s, false, false).text, "a\0b"s);
  EXPECT_EQ(DecodeFileBytes("a\0b\r\n"s, false, true).text, "a\0b\r\n"s);
}

TEST(DecodeFileBytes, CharactersOutsideCodePage932TakePrivateCodes) {
  DecodedFile utf8 = DecodeFileBytes("\xEF\xBB\xBF" "caf\xC3\xA9\r\n", false, false);
  EXPECT_EQ(utf8.text, "caf\xF0\x40\r\n");
  EXPECT_EQ(utf8.unmapped_count, 0u);
  EXPECT_EQ(DecodeFileBytes("\xFF\xFE" "c\0\xE9\0"s, false, false).text, "c\xF0\x40");
  EXPECT_EQ(DecodeFileBytes("\xFE\xFF" "\0c\0\xE9"s, false, false).text, "c\xF0\x40");
  // Saved in a Unicode form, the character itself is written back; in
  // Shift_JIS, which cannot hold it, a question mark.
  EXPECT_EQ(EncodeForSave(utf8.text, SaveCode::kUtf8, &utf8.codes), "\xEF\xBB\xBF" "caf\xC3\xA9\r\n");
  EXPECT_EQ(EncodeForSave(utf8.text, SaveCode::kUtf16, &utf8.codes),
            "\xFF\xFE" "c\0a\0f\0\xE9\0\r\0\n\0"s);
  EXPECT_EQ(EncodeForSave(utf8.text, SaveCode::kShiftJis, &utf8.codes), "caf?\r\n");
  EXPECT_EQ(EncodeForSave(utf8.text, SaveCode::kEucJp, &utf8.codes), "caf?\r\n");
}

TEST(DecodeFileBytes, BomLessUtf8Detection) {
  DecodedFile d = DecodeFileBytes("\xE3\x81\x82\xE3\x81\x84\n", false, true);
  EXPECT_EQ(d.unicode_kind, 6);
  EXPECT_EQ(d.detected_code, SaveCode::kUtf8NoBom);
  EXPECT_EQ(d.text, Sjis("あい\n"));
  // Option off: read as bytes (here undecided, so left as they are).
  DecodedFile off = DecodeFileBytes("\xE3\x81\x82\n", false, false);
  EXPECT_EQ(off.unicode_kind, 0);
  EXPECT_EQ(off.text, "\xE3\x81\x82\n");
  // Plain ASCII is not UTF-8 (no multi-byte sequence); Shift_JIS is not valid UTF-8.
  EXPECT_EQ(DecodeFileBytes("abc\n", false, true).unicode_kind, 0);
  EXPECT_EQ(DecodeFileBytes(Sjis("あいうえお\r\n"), false, true).unicode_kind, 0);
  EXPECT_FALSE(LooksLikeUtf8("\xC0\x80"));          // overlong
  EXPECT_FALSE(LooksLikeUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(LooksLikeUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_TRUE(LooksLikeUtf8("\xC3\xA9x\xE3\x81"));  // cut off at the end
  EXPECT_FALSE(LooksLikeUtf8("\xE3\x81"));          // nothing complete
}

TEST(DecodeFileBytes, JapaneseCodesConvertedAndDetected) {
  std::string sjis = Sjis("日本語の文\r\n二行目\r\n");
  DecodedFile euc = DecodeFileBytes(SjisToEuc(sjis), false, true);
  EXPECT_EQ(euc.detected_code, SaveCode::kEucJp);
  EXPECT_EQ(euc.text, sjis);
  DecodedFile jis = DecodeFileBytes(SjisToJis(sjis), false, true);
  EXPECT_EQ(jis.detected_code, SaveCode::kJis);
  EXPECT_EQ(jis.text, sjis);
  DecodedFile same = DecodeFileBytes(sjis, false, true);
  EXPECT_EQ(same.detected_code, SaveCode::kShiftJis);
  EXPECT_EQ(same.text, sjis);
  // The text form ends every line, so the last byte is examined too.
  DecodedFile tail = DecodeFileBytes("ab\xA4\xF3", false, false);
  EXPECT_EQ(tail.detected_code, SaveCode::kEucJp);
  EXPECT_EQ(tail.text, Sjis("abん\r\n"));
}

TEST(DecodeFileBytes, UnicodeTextIsNotConvertedAgain) {
  // 﨑 is FA B1 in Shift_JIS, which the detection takes for EUC-JP.
  std::string sjis = Sjis("﨑");
  ASSERT_EQ(sjis, "\xFA\xB1");
  ASSERT_EQ(DetectJapaneseCode(sjis + "\r\n"), CodeEuc);
  DecodedFile d = DecodeFileBytes("\xEF\xBB\xBF\xEF\xA8\x91\r\n", false, true);
  EXPECT_EQ(d.text, "\xFA\xB1\r\n");
}

TEST(EncodeForSave, JapaneseCodes) {
  std::string sjis = Sjis("かな漢字\r\n");
  EXPECT_EQ(EncodeForSave(sjis, SaveCode::kShiftJis, nullptr), sjis);
  EXPECT_EQ(EncodeForSave(sjis, SaveCode::kEucJp, nullptr), SjisToEuc(sjis));
  EXPECT_EQ(EncodeForSave(sjis, SaveCode::kJis, nullptr), SjisToJis(sjis));
  // Undecided text is written unconverted.
  EXPECT_EQ(EncodeForSave("\xB1\xB2\r\n", SaveCode::kEucJp, nullptr), "\xB1\xB2\r\n");
}

TEST(EncodeForSave, BestFitCharactersComeBack) {
  const std::string file = "\xEF\xBB\xBF" + Utf16ToUtf8(u"\u301C\u2212\u00A5 \\ x\r\n");
  DecodedFile d = DecodeFileBytes(file, false, true);
  // 〜 and − are read as the similar characters, as the file never writes
  // ～ or －; ¥ shares its byte with a backslash, so it takes a private code.
  EXPECT_EQ(d.text, "\x81\x60\x81\x7C\xF0\x40 \x5C x\r\n");
  EXPECT_EQ(d.unmapped_count, 0u);
  EXPECT_EQ(d.codes.CharOf(0x8160), 0x301C);
  EXPECT_FALSE(d.codes.IsPrivate(0x8160));
  EXPECT_EQ(EncodeForSave(d.text, SaveCode::kUtf8, &d.codes), file);
  EXPECT_EQ(EncodeForSave(d.text, SaveCode::kUtf8, nullptr),
            "\xEF\xBB\xBF" + Utf16ToUtf8(u"\uFF5E\uFF0D\uE000 \\ x\r\n"));
  // Both forms in one file: each comes back as it was.
  const std::string both = "\xEF\xBB\xBF" + Utf16ToUtf8(u"\u301C\uFF5E\r\n");
  DecodedFile mixed = DecodeFileBytes(both, false, true);
  EXPECT_EQ(mixed.text, "\xF0\x40\x81\x60\r\n");
  EXPECT_EQ(EncodeForSave(mixed.text, SaveCode::kUtf8, &mixed.codes), both);
}

// Every character with a code page 932 form, in random files, comes back
// byte for byte in each Unicode form.
TEST(EncodeForSave, UnicodeRoundTrip) {
  std::vector<char16_t> mapped;
  for (int u = 1; u < 0x10000; ++u) {
    if (u == '\r' || u == '\n' || (u >= 0xD800 && u < 0xE000)) continue;
    std::size_t unmapped = 0;
    std::u16string one(1, static_cast<char16_t>(u));
    if (Utf16ToCp932(one, &unmapped); unmapped == 0) mapped.push_back(static_cast<char16_t>(u));
  }
  std::mt19937 rng(12);
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    // One best-fit family per file, or the origins would rightly give up.
    bool wave_dash = round % 2 == 0;
    for (int k = 0; k < 40; ++k) {
      char16_t u = mapped[rng() % mapped.size()];
      if (u == 0x301C || u == 0xFF5E) u = wave_dash ? 0x301C : 0xFF5E;
      if (u == 0x00A5 || u == 0x203E || u == 0x2016 || u == 0x2225 || u == 0x2212 ||
          u == 0xFF0D || u == 0x2014 || u == 0x2015 || u == 0x00A2 || u == 0xFFE0 ||
          u == 0x00A3 || u == 0xFFE1 || u == 0x00AC || u == 0xFFE2 || u == '\\' || u == '~') {
        u = 'z';
      }
      text.push_back(u);
      if (rng() % 8 == 0) text += u"\r\n";
    }
    text += u"\r\n";
    for (SaveCode code : {SaveCode::kUtf8, SaveCode::kUtf16, SaveCode::kUtf16Be, SaveCode::kUtf8NoBom}) {
      std::string bytes = code == SaveCode::kUtf8        ? WriteUtf8Bytes(text, true)
                          : code == SaveCode::kUtf16     ? WriteUtf16LeBytes(text)
                          : code == SaveCode::kUtf16Be   ? WriteUtf16BeBytes(text)
                                                         : WriteUtf8Bytes(text, false);
      DecodedFile d = DecodeFileBytes(bytes, false, true);
      ASSERT_EQ(d.unmapped_count, 0u);
      ASSERT_EQ(d.detected_code, code);
      ASSERT_EQ(EncodeForSave(d.text, code, &d.codes), bytes) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace parvane
