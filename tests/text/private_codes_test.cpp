#include "text/private_codes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/cp932.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::u16string Utf16Of(const std::u32string& text) {
  std::u16string out;
  for (char32_t ch : text) {
    if (ch < 0x10000) {
      out += static_cast<char16_t>(ch);
    } else {
      out += static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
    }
  }
  return out;
}

TEST(PrivateCodes, CodesAreGivenOutInOrderOncePerCharacter) {
  PrivateCodes codes;
  EXPECT_EQ(codes.Encode(0x1F600), 0xF040);
  EXPECT_EQ(codes.Encode(0xE9), 0xF041);
  EXPECT_EQ(codes.Encode(0x1F600), 0xF040);
  EXPECT_EQ(codes.Encode(u'あ'), 0x82A0) << "code page 932's own code";
  EXPECT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes.CharOf(0xF041), 0xE9);
  EXPECT_EQ(codes.CharOf(0x82A0), -1);
  EXPECT_EQ(codes.CodeOf(0x1F600), 0xF040);
  EXPECT_TRUE(codes.IsPrivate(0xF040));
  EXPECT_FALSE(codes.IsPrivate(0x82A0));
}

TEST(PrivateCodes, CodesTheTextUsesAreSkipped) {
  PrivateCodes codes;
  codes.NoteSjisText("a\xF0\x40\x82\xA0\xF0\x42");  // two user-defined characters
  codes.MarkUsed(0xF041);
  EXPECT_EQ(codes.Encode(0x1F600), 0xF043);
  // A trail byte that looks like a user-defined lead is not a character.
  PrivateCodes trail;
  trail.NoteSjisText("\x88\xF0\x40");  // 88 F0 is one character, then '@'
  EXPECT_EQ(trail.Encode(0x1F600), 0xF040);
  // The scanner runs once, before the first new code.
  PrivateCodes scanned;
  int runs = 0;
  scanned.SetTextScanner([&runs](PrivateCodes& table) {
    ++runs;
    table.NoteSjisText("\xF0\x40");
  });
  EXPECT_EQ(scanned.Encode(u'あ'), 0x82A0);
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(scanned.Encode(0xE9), 0xF041);
  EXPECT_EQ(scanned.Encode(0xEA), 0xF042);
  EXPECT_EQ(runs, 1);
}

TEST(PrivateCodes, AfterTheUserDefinedAreaComeUndefinedCodesThenNothing) {
  PrivateCodes codes;
  std::vector<int> given;
  for (char32_t ch = 0x20000;; ++ch) {
    int code = codes.Encode(ch);
    if (code < 0) break;
    given.push_back(code);
  }
  ASSERT_EQ(given.size(), 1880u + 1676u);
  EXPECT_EQ(given[1879], 0xF9FC);
  for (std::size_t i = 1880; i < given.size(); ++i) {
    ASSERT_LT(Cp932ToUnit(given[i]), 0) << std::hex << given[i];
    ASSERT_TRUE((given[i] >> 8) < 0xF0 || (given[i] >> 8) > 0xF9);
  }
  std::size_t unmapped = 0;
  EXPECT_EQ(codes.FromUtf16(u"a\U0002FFFF", &unmapped), "a?");
  EXPECT_EQ(unmapped, 1u);
}

TEST(PrivateCodes, PrivateUseCharactersKeepTheirOwnCodeUnlessTaken) {
  PrivateCodes codes;
  EXPECT_EQ(codes.FromUtf16(u"\uE000"), "\xF0\x40");
  EXPECT_EQ(codes.Encode(0x1F600), 0xF041) << "F040 is the text's now";
  PrivateCodes taken;
  ASSERT_EQ(taken.Encode(0x1F600), 0xF040);
  EXPECT_EQ(taken.FromUtf16(u"\uE000"), "\xF0\x41");
  EXPECT_EQ(taken.ToUtf16("\xF0\x40\xF0\x41"), u"\U0001F600\uE000");
}

TEST(PrivateCodes, BestFitCharacters) {
  // Typed or pasted, a best-fit character is read as the similar one...
  PrivateCodes typed;
  EXPECT_EQ(typed.FromUtf16(u"\u301C"), "\x81\x60");
  // ...unless asked to keep it apart, or an origin says what the code is.
  PrivateCodes strict;
  EXPECT_EQ(strict.FromUtf16(u"\u301C", nullptr, PrivateCodes::BestFit::kPrivate), "\xF0\x40");
  PrivateCodes origin;
  ASSERT_TRUE(origin.AddOrigin(0x8160, 0x301C));
  EXPECT_FALSE(origin.AddOrigin(0x8160, 0xFF5E));
  EXPECT_EQ(origin.FromUtf16(u"\u301C\uFF5E"), "\x81\x60\xF0\x40");
  EXPECT_EQ(origin.ToUtf16("\x81\x60\xF0\x40"), u"\u301C\uFF5E");
  // ASCII stays ASCII whatever the table says: patterns are typed in it.
  ASSERT_TRUE(origin.AddOrigin(0x5C, 0xA5));
  EXPECT_EQ(origin.FromUtf16(u"\\d\u00A5"), "\\d\\");
  EXPECT_EQ(origin.ToUtf16("\\"), u"\u00A5");
}

TEST(PrivateCodes, NoteUnicodeTextDecidesOriginsPerFile) {
  PrivateCodes only_best_fit;
  only_best_fit.NoteUnicodeText(u"\u301C\u2212x");
  EXPECT_EQ(only_best_fit.CharOf(0x8160), 0x301C);
  EXPECT_EQ(only_best_fit.CharOf(0x817C), 0x2212);
  EXPECT_FALSE(only_best_fit.IsPrivate(0x8160));
  PrivateCodes both;
  both.NoteUnicodeText(u"\u301C\uFF5E\uE001");
  EXPECT_EQ(both.CharOf(0x8160), -1);
  EXPECT_EQ(both.FromUtf16(u"\u301C\uFF5E", nullptr, PrivateCodes::BestFit::kPrivate),
            "\xF0\x40\x81\x60");
  EXPECT_EQ(both.Encode(0x1F600), 0xF042) << "F041 is U+E001's";
}

TEST(PrivateCodes, SerializeAndParse) {
  PrivateCodes codes;
  codes.AddOrigin(0x8160, 0x301C);
  codes.Encode(0x1F600);
  codes.Encode(0x10FFFF);
  EXPECT_EQ(codes.Serialize(), "8160=301c,f040=1f600,f041=10ffff");
  PrivateCodes back;
  ASSERT_TRUE(back.Parse(codes.Serialize()));
  EXPECT_EQ(back.ToUtf16("\x81\x60\xF0\x40\xF0\x41"), u"\u301C\U0001F600\U0010FFFF");
  EXPECT_FALSE(back.IsPrivate(0x8160));
  EXPECT_TRUE(back.IsPrivate(0xF041));
  EXPECT_EQ(back.Encode(0xE9), 0xF042);
  for (const char* bad : {"f040", "f040=", "zz=41", "f040=1f600,f040=41", "10000=41", "f040=110000"}) {
    PrivateCodes untouched;
    EXPECT_FALSE(untouched.Parse(bad)) << bad;
  }
  EXPECT_TRUE(back.Parse(""));
  EXPECT_TRUE(back.empty());
}

// Any Unicode text goes into a document and comes back whole, as long as the
// table has room: BMP characters with and without a code page 932 form,
// characters beyond the BMP, private use, combining marks, ZWJ, U+FEFF.
TEST(PrivateCodes, AnyTextComesBack) {
  const std::vector<std::pair<char32_t, char32_t>> kRanges = {
      {0x20, 0x7E},       {0xA0, 0x24F},      {0x300, 0x36F},   {0x370, 0x3FF},
      {0x3040, 0x30FF},   {0x4E00, 0x9FFF},   {0xE000, 0xE800}, {0xFE00, 0xFFFD},
      {0x1F300, 0x1FAFF}, {0x20000, 0x2A6DF}, {0x200B, 0x206F}, {0x2000, 0x2BFF},
  };
  std::mt19937 rng(2026);
  for (int round = 0; round < 300; ++round) {
    PrivateCodes codes;
    std::u32string text;
    const int length = static_cast<int>(rng() % 40);
    for (int k = 0; k < length; ++k) {
      auto [lo, hi] = kRanges[rng() % kRanges.size()];
      text += static_cast<char32_t>(lo + rng() % (hi - lo + 1));
    }
    const std::u16string utf16 = Utf16Of(text);
    std::size_t unmapped = 0;
    const std::string sjis = codes.FromUtf16(utf16, &unmapped, PrivateCodes::BestFit::kPrivate);
    ASSERT_EQ(unmapped, 0u);
    ASSERT_EQ(codes.ToUtf16(sjis), utf16) << "round " << round;
    // A second pass through the same table gives the same bytes.
    ASSERT_EQ(codes.FromUtf16(codes.ToUtf16(sjis)), sjis) << "round " << round;
  }
}

}  // namespace
}  // namespace parvane
