// JIS X 0212 and JIS X 0213 in EUC-JP and 7-bit JIS files: loaded, then
// saved as UTF-8, against Python's codecs.
#include "codes/jis_extension.h"

#include <gtest/gtest.h>

#include <string>

#include "chars/python_oracle.h"
#include "codes/jis.h"
#include "codes/text_file.h"
#include "text/literal.h"

namespace parvane {
namespace {

// The file's bytes as loading reads them, saved as UTF-8 without a mark.
std::string LoadedAsUtf8(const std::string& bytes, SaveCode from) {
  DecodedFile file = DecodeFileBytesAs(bytes, from, false, nullptr);
  return EncodeForSave(file.text, SaveCode::kUtf8NoBom, &file.codes);
}

std::string DetectedAsUtf8(const std::string& bytes) {
  DecodedFile file = DecodeFileBytes(bytes, false, false);
  return EncodeForSave(file.text, SaveCode::kUtf8NoBom, &file.codes);
}

// Every three-byte sequence 0x8F row cell, one row to a file (a file of every
// row would need more private codes than there are), against euc_jis_2004:
// it reads JIS X 0213 plane 2 in that set's rows and JIS X 0212 in the others.
TEST(JisExtension, EveryEucThreeByteSequenceAgainstPython) {
  if (!HavePython()) GTEST_SKIP() << "no python3";
  std::string rows;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      rows += '\x8F';
      rows += static_cast<char>(row);
      rows += static_cast<char>(cell);
    }
    rows += '\n';
  }
  const char* script = R"(import sys
for line in sys.stdin.buffer.read().split(b'\n')[:-1]:
    out = ''
    for i in range(0, len(line), 3):
        try:
            out += line[i:i + 3].decode('euc_jis_2004')
        except UnicodeDecodeError:
            out += '?'
    sys.stdout.buffer.write(out.encode('utf-8') + b'\n')
)";
  std::optional<std::string> expected = RunPython(script, rows);
  ASSERT_TRUE(expected.has_value());
  std::size_t from = 0;
  std::size_t expected_from = 0;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    std::size_t to = rows.find('\n', from) + 1;
    std::size_t expected_to = expected->find('\n', expected_from) + 1;
    EXPECT_EQ(LoadedAsUtf8(rows.substr(from, to - from), SaveCode::kEucJp),
              expected->substr(expected_from, expected_to - expected_from))
        << "row " << std::hex << row;
    from = to;
    expected_from = expected_to;
  }
}

// Text in both sets and plane 1 encoded by Python's ISO-2022-JP codecs, read
// with detection: each escape is recognised and each character comes back.
TEST(JisExtension, JisEscapesAgainstPython) {
  if (!HavePython()) GTEST_SKIP() << "no python3";
  struct Case {
    const char* codec;
    const char* text;  // UTF-8
  } cases[] = {
      {"iso2022_jp_2", "丂丄\n漢字と丂\n"},   // ESC $ ( D
      {"iso2022_jp_2004", "𠂉𪚲\nか゚は𠂉\n"},  // ESC $ ( Q and ESC $ ( P
      {"iso2022_jp_3", "𠂉とか゚\n"},           // ESC $ ( O
      {"iso2022_jp_ext", "ｱｲｳﾞ 半角\n"},      // ESC ( I
  };
  for (const Case& c : cases) {
    std::string script = std::string(
                             "import sys\nsys.stdout.buffer.write(sys.stdin.buffer.read()"
                             ".decode('utf-8').encode('") +
                         c.codec + "'))\n";
    std::optional<std::string> jis = RunPython(script, c.text);
    ASSERT_TRUE(jis.has_value()) << c.codec;
    EXPECT_EQ(DetectJapaneseCode(*jis), CodeJis) << c.codec;
    EXPECT_EQ(DetectedAsUtf8(*jis), c.text) << c.codec;
    EXPECT_EQ(LoadedAsUtf8(*jis, SaveCode::kJis), c.text) << c.codec;
  }
}

TEST(JisExtension, EscapesOfTheOtherSetsDecideJis) {
  EXPECT_EQ(DetectJapaneseCode("a\x1B$(D\x30\x21\x1B(B"), CodeJis);
  EXPECT_EQ(DetectJapaneseCode("a\x1B$(P\x21\x21\x1B(B"), CodeJis);
  EXPECT_EQ(DetectJapaneseCode("a\x1B(I\x31\x32\x1B(B"), CodeJis);
  EXPECT_EQ(DetectJapaneseCode("a\x1B$(X\x21\x21\x1B(B"), CodeAscii);
}

TEST(JisExtension, CharacterOfCodePage932TakesItsCode) {
  // 0x8F 0xB0 0xA9 is 丨, the IBM extension kanji FA 68 in code page 932.
  DecodedFile file = DecodeFileBytesAs("\xA4\xF3\x8F\xB0\xA9\n", SaveCode::kEucJp, false, nullptr);
  EXPECT_EQ(file.text, Sjis("ん") + "\xFA\x68\n");
  EXPECT_TRUE(file.codes.empty());
  EXPECT_EQ(file.detected_code, SaveCode::kEucJp);
}

TEST(JisExtension, DetectedEucFileKeepsItsOtherCharacters) {
  // ん decides EUC-JP; 丂 (JIS X 0212) and 𠂉 (plane 2) take private codes.
  DecodedFile file =
      DecodeFileBytes("\xA4\xF3\x8F\xB0\xA1\r\n\x8F\xA1\xA1\xB4\xC1\r\n", false, false);
  EXPECT_EQ(file.detected_code, SaveCode::kEucJp);
  EXPECT_EQ(file.codes.size(), 2u);
  EXPECT_EQ(file.unmapped_count, 0u);
  EXPECT_EQ(EncodeForSave(file.text, SaveCode::kUtf8NoBom, &file.codes), "ん丂\r\n𠂉漢\r\n");
}

TEST(JisExtension, EmptyPlaceIsCountedWhereItIs) {
  // Row 2 of JIS X 0212 starts at cell 0x2F.
  DecodedFile file =
      DecodeFileBytesAs("\xA4\xA2\n\x8F\xA2\xA1\xA4\xA2\n", SaveCode::kEucJp, false, nullptr);
  EXPECT_EQ(file.text, Sjis("あ\n?あ\n"));
  EXPECT_EQ(file.unmapped_count, 1u);
  EXPECT_EQ(file.first_unmapped_line, 2u);
}

TEST(JisExtension, MalformedEucStaysAsEucToSjisReadsIt) {
  // 0x8F before a byte below 0xA1 is no three-byte sequence.
  for (std::string euc : {"\x8F\xA1\n", "\xA4\x8F\xA1\xA1\n", "\x8F\x80\xA1\n", "\x8F\n"}) {
    PrivateCodes codes;
    EXPECT_EQ(ExtendedEucToSjis(euc, codes), EucToSjis(euc)) << euc;
  }
}

TEST(JisExtension, OrdinaryJisReadsAsJisToSjis) {
  for (std::string jis : {"\x1B$B\x24\x22\x1B(Ja\n", "\x1B$@\x30\x21\x1B(B\n", "\x1B$B\x24\n"}) {
    PrivateCodes codes;
    EXPECT_EQ(ExtendedJisToSjis(jis, codes), JisToSjis(jis)) << jis;
  }
}

TEST(JisExtension, TableLookups) {
  EXPECT_EQ(EucThreeByteChars(0x30, 0x21), U"丂");
  EXPECT_EQ(EucThreeByteChars(0x21, 0x21), U"𠂉");
  EXPECT_EQ(JisExtensionChars(JisSet::kPlane1, 0x24, 0x77), U"か\u309A");
  EXPECT_EQ(JisExtensionChars(JisSet::kPlane1, 0x24, 0x22), U"");  // あ is JIS X 0208's
  EXPECT_EQ(JisExtensionChars(JisSet::kJisX0212, 0x21, 0x21), U"");
}

TEST(JisExtension, SavingInTheFilesCodeWritesThemBack) {
  struct Case {
    SaveCode code;
    std::string bytes;
    std::size_t outside_cp932;  // characters Shift_JIS cannot save
  } cases[] = {
      // ん 丂 / 𠂉 漢
      {SaveCode::kEucJp, "\xA4\xF3\x8F\xB0\xA1\r\n\x8F\xA1\xA1\xB4\xC1\r\n", 2},
      // 丂丄 / a丂 / 漢𠂉と / 𪚲 (ESC ( J back, as every JIS this program writes)
      {SaveCode::kJis,
       "\x1B$(D\x30\x21\x30\x22\x1B(J\r\na\x1B$(D\x30\x21\x1B(J\r\n"
       "\x1B$B\x34\x41\x1B$(P\x21\x21\x1B$B\x24\x48\x1B(J\r\n"
       "\x1B$(P\x7E\x76\x1B(J\r\n",
       5},
  };
  for (const Case& c : cases) {
    DecodedFile file = DecodeFileBytes(c.bytes, false, false);
    EXPECT_EQ(file.detected_code, c.code);
    EXPECT_EQ(EncodeForSave(file.text, c.code, &file.codes), c.bytes);
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < file.text.size();) {
      std::size_t end = file.text.find("\r\n", from);
      lines.push_back(file.text.substr(from, end - from));
      from = end + 2;
    }
    EXPECT_EQ(CountUnsavable(lines, c.code, &file.codes).count, 0u);
    EXPECT_EQ(CountUnsavable(lines, SaveCode::kShiftJis, &file.codes).count, c.outside_cp932);
  }
}

TEST(JisExtension, OnlyWhatSuchAFileBroughtIsWrittenThere) {
  // é is JIS X 0212 0x2B31: from an EUC-JP file it goes back there; from a
  // UTF-8 file it stays a character EUC-JP is not asked to hold.
  const std::string euc =
      "\xA4\xF3"
      "caf\x8F\xAB\xB1\r\n";
  DecodedFile from_euc = DecodeFileBytes(euc, false, false);
  EXPECT_EQ(EncodeForSave(from_euc.text, SaveCode::kEucJp, &from_euc.codes), euc);
  DecodedFile from_utf8 = DecodeFileBytes(
      "\xE3\x82\x93"
      "caf\xC3\xA9\r\n",
      false, true);
  EXPECT_EQ(EncodeForSave(from_utf8.text, SaveCode::kEucJp, &from_utf8.codes),
            "\xA4\xF3"
            "caf?\r\n");
  EXPECT_EQ(CountUnsavable({Sjis("ん") + "caf\xF0\x40"}, SaveCode::kEucJp, &from_utf8.codes).count,
            1u);
}

TEST(JisExtension, EucCannotWriteWhatOnlyPlaneOneHolds) {
  // か゚ from JIS X 0213 plane 1: か and a combining mark of its own; EUC-JP
  // has no place for the mark, JIS writes か and a '?' as well (two
  // characters have no one place).
  DecodedFile file = DecodeFileBytes("\x1B$(Q\x24\x77\x1B(B\r\n", false, false);
  EXPECT_EQ(EncodeForSave(file.text, SaveCode::kUtf8NoBom, &file.codes), "か\u309A\r\n");
  EXPECT_EQ(EncodeForSave(file.text, SaveCode::kEucJp, &file.codes), "\xA4\xAB?\r\n");
  EXPECT_EQ(
      CountUnsavable({file.text.substr(0, file.text.size() - 2)}, SaveCode::kEucJp, &file.codes)
          .count,
      1u);
}

}  // namespace
}  // namespace parvane
