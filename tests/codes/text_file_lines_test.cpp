// The copy-free paths of loading and saving agree byte for byte with the
// whole-text functions they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "codes/jis.h"
#include "codes/text_file.h"
#include "editor/document.h"
#include "text/literal.h"

namespace parvane {
namespace {

using namespace std::string_literals;

constexpr SaveCode kAllCodes[] = {SaveCode::kShiftJis, SaveCode::kEucJp, SaveCode::kJis,
                                  SaveCode::kUtf8,     SaveCode::kUtf16, SaveCode::kUtf16Be,
                                  SaveCode::kUtf8NoBom};

std::string Collect(const Lines& lines, SaveCode code, const PrivateCodes* origins,
                    int* pieces = nullptr) {
  std::string bytes;
  int count = 0;
  bool ok = EncodeLinesForSave(lines, code, origins, [&](std::string_view piece) {
    bytes += piece;
    ++count;
    return true;
  });
  EXPECT_TRUE(ok);
  if (pieces != nullptr) *pieces = count;
  return bytes;
}

// Lines of random bytes, weighted towards the awkward ones: lead bytes at
// the end of a line, undefined pairs, half-width katakana with voicing marks,
// the best-fit codes, NUL and escape bytes.
Lines RandomLines(std::mt19937& rng, int count) {
  static const std::vector<std::string> kPieces = {
      "a",        "\\",       "~",    "\x81",     "\x81\x60", "\x81\x5C", "\x82\xA0", "\xB6\xDE",
      "\xCA\xDF", "\xB3\xDE", "\xA1", "\x85\x40", "\xEB\x40", "\xFC\xFC", "\xED\x40", "\x1B",
      "\0"s,      " ",        "\x80", "\xA0",     "\xFD",     "\xE0\x40", "\x88\x9F", "\x8E\xA1",
      "\xF0\x40", "\xF0\x41"};
  Lines lines;
  for (int i = 0; i < count; ++i) {
    std::string line;
    int length = static_cast<int>(rng() % 12);
    for (int k = 0; k < length; ++k) line += kPieces[rng() % kPieces.size()];
    lines.push_back(line);
  }
  return lines;
}

TEST(EncodeLinesForSave, EqualsEncodingTheJoinedText) {
  std::mt19937 rng(7);
  PrivateCodes origins;
  origins.AddOrigin(0x8160, 0x301C);
  origins.AddOrigin(0x005C, 0x00A5);
  ASSERT_EQ(origins.Encode(0x1F600), 0xF040);  // beyond the BMP
  ASSERT_EQ(origins.Encode(0xE9), 0xF041);
  for (int round = 0; round < 300; ++round) {
    Lines lines = RandomLines(rng, static_cast<int>(rng() % 6));
    std::string text = JoinLines(lines);
    for (SaveCode code : kAllCodes) {
      EXPECT_EQ(Collect(lines, code, nullptr), EncodeForSave(text, code, nullptr))
          << "round " << round << " code " << static_cast<int>(code);
      EXPECT_EQ(Collect(lines, code, &origins), EncodeForSave(text, code, &origins))
          << "round " << round << " code " << static_cast<int>(code);
    }
  }
}

TEST(EncodeLinesForSave, LargeDocumentsComeInPieces) {
  // A line longer than a piece, and many lines: the pieces still join up.
  Lines lines(30000, Sjis("あいうえおｱｲｳ abc"));
  lines.push_back(std::string(1 << 20, 'x'));
  lines.push_back(Sjis("終わり"));
  const std::string text = JoinLines(lines);
  for (SaveCode code : kAllCodes) {
    int pieces = 0;
    EXPECT_EQ(Collect(lines, code, nullptr, &pieces), EncodeForSave(text, code, nullptr));
    if (code != SaveCode::kEucJp && code != SaveCode::kJis) {
      EXPECT_GT(pieces, 1);
    }
  }
}

TEST(EncodeLinesForSave, AStoreSavesAsItsLinesWhateverLiesInItsBlocks) {
  // Straight-from-the-block writing against writing line by line, for
  // loaded texts of every break, reordered, thinned and with copied lines.
  std::mt19937 rng(5);
  const char* const kPieces[] = {"\x82\xA0", "a", "\r", "\n", "\r\n", "\x81"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    // The first texts are larger than a piece written straight from a block.
    const std::size_t length = round < 2 ? 3000000 : rng() % (round < 20 ? 200000 : 30);
    for (std::size_t i = 0; i < length; ++i) text += kPieces[rng() % 6];
    const LineStore loaded = LineStore::FromText(text);
    LineStore store = loaded;
    if (round % 3 == 1 && !store.empty()) {
      store.views().erase(store.views().begin() + static_cast<long>(rng() % store.size()));
      store.Append("\x82\xA2");
    } else if (round % 3 == 2) {
      std::shuffle(store.views().begin(), store.views().end(), rng);
    }
    const LineEnding ending{static_cast<LineBreak>(rng() % kLineBreakCount), rng() % 2 == 0};
    std::string from_store;
    std::string from_lines;
    EXPECT_TRUE(EncodeLinesForSave(store, SaveCode::kShiftJis, nullptr, [&](std::string_view piece) {
      from_store += piece;
      return true;
    }, ending));
    EXPECT_TRUE(EncodeLinesForSave(store.ToStrings(), SaveCode::kShiftJis, nullptr,
                                   [&](std::string_view piece) {
                                     from_lines += piece;
                                     return true;
                                   },
                                   ending));
    ASSERT_EQ(from_store, from_lines) << "round " << round;
  }
}

TEST(EncodeLinesForSave, StopsWhenTheSinkFails) {
  Lines lines(100000, "0123456789");
  int calls = 0;
  EXPECT_FALSE(EncodeLinesForSave(lines, SaveCode::kUtf8, nullptr, [&](std::string_view) {
    ++calls;
    return false;
  }));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(EncodeLinesForSave(Lines{}, SaveCode::kShiftJis, nullptr, [](std::string_view) {
    ADD_FAILURE() << "nothing to write";
    return true;
  }));
}

TEST(DecodeOwnedFileBytes, EqualsDecodeFileBytes) {
  const std::string sjis = Sjis("漢字とｶﾀｶﾅ、ﾊﾟﾋﾞ\r\n二行目\n三行目");
  std::vector<std::string> inputs = {
      "",
      "abc",
      "abc\n",
      sjis,
      sjis + "\r\n",
      SjisToEuc(sjis),
      SjisToEuc(sjis) + "\n",
      SjisToJis(sjis),
      SjisToJis(sjis + "\r\n"),
      "ab\xA4\xF3",  // EUC-JP only when the added line break is examined
      "\xEF\xBB\xBF\xE3\x82\xA2\r\n",
      "\xE3\x81\x82\xE3\x81\x84\n",
      "\xFF\xFE"
      "a\0b\0"s,
      "a\0b\r\n"s,
      "{\\rtf1 abc\\par def}",
  };
  for (const std::string& bytes : inputs) {
    for (bool rtf : {false, true}) {
      for (bool utf8 : {false, true}) {
        DecodedFile want = DecodeFileBytes(bytes, rtf, utf8);
        DecodedFile got = DecodeOwnedFileBytes(bytes, rtf, utf8);
        EXPECT_EQ(got.text, want.text) << bytes;
        EXPECT_EQ(got.unicode_kind, want.unicode_kind) << bytes;
        EXPECT_EQ(got.detected_code, want.detected_code) << bytes;
        EXPECT_EQ(got.unmapped_count, want.unmapped_count) << bytes;
        EXPECT_EQ(got.first_unmapped_line, want.first_unmapped_line) << bytes;
      }
    }
  }
}

TEST(EucToSjis, EveryPairAsJisToSjisPair) {
  for (int c = 0xA1; c <= 0xFE; ++c) {
    for (int d = 0x80; d <= 0xFF; ++d) {
      BytePair want =
          JisToSjisPair(static_cast<unsigned char>(c & 0x7F), static_cast<unsigned char>(d & 0x7F));
      std::string euc{static_cast<char>(c), static_cast<char>(d)};
      ASSERT_EQ(EucToSjis(euc),
                (std::string{static_cast<char>(want.first), static_cast<char>(want.second)}))
          << c << " " << d;
    }
  }
}

}  // namespace
}  // namespace parvane
