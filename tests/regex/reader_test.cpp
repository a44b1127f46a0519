// Character readers: stepping over double-byte characters both ways,
// escapes, and the code-page table.
#include "regex/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "text/literal.h"

namespace parvane {
namespace {

std::vector<int> ReadAll(TbmWchReader& reader) {
  std::vector<int> codes;
  for (int c = reader.ReadChar(); c != -1; c = reader.ReadChar()) codes.push_back(c);
  return codes;
}

int Escape(TbmWchReader& reader, std::string_view text, int* rest = nullptr) {
  reader.SetText(text);
  int c = reader.ReadEscape();
  if (rest) *rest = reader.ReadChar();
  return c;
}

TEST(RegexReader, StepsShiftJisBothWays) {
  TbmMBCSReader reader(kCharCodeShiftJis);
  reader.SetText("a\x82\xA0" "b");
  EXPECT_EQ(ReadAll(reader), (std::vector<int>{0x61, 0x82A0, 0x62}));
  EXPECT_EQ(reader.ReadChar(), -1);
  EXPECT_TRUE(reader.UnreadChar());
  EXPECT_EQ(reader.GetPosition(), 4);
  EXPECT_TRUE(reader.UnreadChar());
  EXPECT_EQ(reader.GetPosition(), 3);
  EXPECT_TRUE(reader.UnreadChar());
  EXPECT_EQ(reader.GetPosition(), 1);
  EXPECT_TRUE(reader.UnreadChar());
  EXPECT_EQ(reader.GetPosition(), 0);
  EXPECT_FALSE(reader.UnreadChar());
}

TEST(RegexReader, TrailBytesInTheLeadRange) {
  // ゃ (82 E1), 亜 (88 9F) and 表 (95 5C), repeated, mixed with ASCII.
  std::string text = Sjis("ゃ亜ゃゃ亜亜表a表ゃ");
  TbmMBCSReader reader(kCharCodeShiftJis);
  reader.SetText(text);
  std::vector<int> positions = {0};
  while (reader.ReadChar() != -1) positions.push_back(reader.GetPosition());
  positions.pop_back();  // the position after -1
  positions.push_back(static_cast<int>(text.size()));
  EXPECT_EQ(positions.size(), 11u);
  reader.SetPosition(static_cast<int>(text.size()));
  for (std::size_t k = positions.size() - 1; k-- > 0;) {
    ASSERT_TRUE(reader.UnreadChar());
    EXPECT_EQ(reader.GetPosition(), positions[k]);
  }
  EXPECT_EQ(reader.GetCharIndex(), 0);
  reader.SetPosition(static_cast<int>(text.size()));
  EXPECT_EQ(reader.GetCharIndex(), 10);
}

TEST(RegexReader, UnreadAgreesWithForwardSteppingOnRandomText) {
  std::mt19937 rng(7);
  std::vector<std::string> pieces = {"a", "\\", "\x82\xA0", "\x82\xE1", "\x88\x9F", "\x95\x5C", "\xB1", "\x81\x40"};
  TbmMBCSReader reader(kCharCodeShiftJis);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    int n = rng() % 12;
    for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
    reader.SetText(text);
    std::vector<int> positions = {0};
    while (reader.ReadChar() != -1) positions.push_back(reader.GetPosition());
    reader.SetPosition(static_cast<int>(text.size()));
    for (std::size_t k = positions.size(); k-- > 1;) {
      ASSERT_TRUE(reader.UnreadChar());
      ASSERT_EQ(reader.GetPosition(), positions[k - 1]) << testing::PrintToString(std::vector<unsigned char>(text.begin(), text.end()));
    }
  }
}

TEST(RegexReader, LeadByteAtTheEndStaysInsideTheBuffer) {
  TbmMBCSReader reader(kCharCodeShiftJis);
  reader.SetText("a\x82");
  EXPECT_EQ(reader.ReadChar(), 'a');
  EXPECT_EQ(reader.ReadChar(), 0x8200);
  EXPECT_EQ(reader.GetPosition(), 2);
  EXPECT_EQ(reader.ReadChar(), -1);
  EXPECT_EQ(reader.ReadChar(), -1);
}

TEST(RegexReader, EucJpHalfWidthKanaIsOneCharacter) {
  TbmMBCSReader reader(kCharCodeEucJp);
  reader.SetText("\x8E\xB1" "a\xA4\xA2");
  EXPECT_EQ(ReadAll(reader), (std::vector<int>{0x8EB1, 'a', 0xA4A2}));
}

TEST(RegexReader, Escapes) {
  TbmMBCSReader mb(kCharCodeShiftJis);
  TbmSBCSReader sb;
  int rest = 0;
  EXPECT_EQ(Escape(mb, "x4a"), 0x4A);
  EXPECT_EQ(Escape(mb, "x4A"), 0x4A);
  EXPECT_EQ(Escape(mb, "xg"), -1);
  EXPECT_EQ(Escape(mb, "x"), -1);
  EXPECT_EQ(Escape(mb, ""), -1);
  EXPECT_EQ(Escape(mb, "101"), 0x41);
  EXPECT_EQ(Escape(mb, "1018", &rest), 0x41);
  EXPECT_EQ(rest, '8');
  EXPECT_EQ(Escape(mb, "x82a0b", &rest), 0x82A0);
  EXPECT_EQ(rest, 'b');
  EXPECT_EQ(Escape(mb, "177777"), 0xFFFF);
  EXPECT_EQ(Escape(mb, "200000", &rest), 0x2000);
  EXPECT_EQ(rest, '0');
  EXPECT_EQ(Escape(sb, "x414", &rest), 0x41);
  EXPECT_EQ(rest, '4');
  EXPECT_EQ(Escape(sb, "4000", &rest), 0x20);
  EXPECT_EQ(rest, '0');
  const char* letters = "abfnrtv";
  const int values[] = {7, 8, 12, 10, 13, 9, 11};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Escape(mb, std::string(1, letters[i])), values[i]);
  EXPECT_EQ(Escape(mb, "d"), 'd');
  EXPECT_EQ(Escape(mb, "9"), '9');
  EXPECT_EQ(Escape(mb, "\x82\xA0"), 0x82A0);
}

TEST(RegexReader, UnescapeAndCharToText) {
  TbmMBCSReader mb(kCharCodeShiftJis);
  mb.SetText("a\\tb\\x82a0\\");
  EXPECT_EQ(mb.UnescapeAll(), "a\tb\x82\xA0");
  EXPECT_EQ(mb.CharToStr(0x82A0), "\x82\xA0");
  EXPECT_EQ(mb.CharToStr(0x41), "A");
  EXPECT_EQ(mb.CharToEscape(9), "\\t");
  EXPECT_EQ(mb.CharToEscape(0x5), "\\x05");
  EXPECT_EQ(mb.CharToEscape(0x82A0), "\\x82A0");
  TbmUniCodeReader u;
  EXPECT_EQ(u.CharToStr(0x41), std::string("A\0", 2));
  EXPECT_EQ(u.CharToEscape(9), std::string("\\\0t\0", 4));
}

TEST(RegexReader, Utf16) {
  TbmUniCodeReader u;
  EXPECT_EQ(u.ReadChar(), -1);
  try {
    u.SetText(std::string("abcde"));
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  u.SetText(std::string("A\0\x42\x30", 4));
  EXPECT_EQ(ReadAll(u), (std::vector<int>{0x41, 0x3042}));
  EXPECT_TRUE(u.UnreadChar());
  EXPECT_EQ(u.GetPosition(), 4);
  EXPECT_TRUE(u.UnreadChar());
  EXPECT_EQ(u.GetPosition(), 2);
}

TEST(RegexReader, CharacterIndex) {
  TbmMBCSReader mb(kCharCodeShiftJis);
  mb.SetText(std::string("a\x82\xA0" "b\0c", 6));
  mb.SetPosition(4);
  EXPECT_EQ(mb.GetCharIndex(), 3);
  mb.SetPosition(6);
  EXPECT_EQ(mb.GetCharIndex(), -1);  // a zero byte on the way
  TbmSBCSReader sb;
  sb.SetText("a\x82\xA0");
  EXPECT_EQ(ReadAll(sb), (std::vector<int>{'a', 0x82, 0xA0}));
  sb.SetPosition(2);
  EXPECT_EQ(sb.GetCharIndex(), sb.GetPosition());
  TbmUniCodeReader u;
  u.SetText(std::string("a\0b\0", 4));
  u.ReadChar();
  EXPECT_EQ(u.GetPosition(), 2);
  EXPECT_EQ(u.GetCharIndex(), 1);
  const char odd[5] = {'a', 0, 'b', 0, 'c'};
  EXPECT_THROW(u.SetTextBuff(odd, 5), std::runtime_error);
}

TEST(RegexReader, CodePagesAndFactory) {
  EXPECT_EQ(bmccCodePage2CharCode(932), 0);
  EXPECT_EQ(bmccCodePage2CharCode(1252), 2);
  EXPECT_EQ(bmccCodePage2CharCode(1200), 3);
  try {
    bmccCodePage2CharCode(65001);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "bmccCodePage2CharCode: unknown code page");
  }
  try {
    bmccGetIsLeadByteFunc(3);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "bmccGetIsLeadByteFunc: invalid argument");
  }
  IsLeadByteFunc sjis = bmccGetIsLeadByteFunc(0);
  EXPECT_TRUE(sjis(0x81) && sjis(0x9F) && sjis(0xE0) && sjis(0xFC));
  EXPECT_FALSE(sjis(0x80) || sjis(0xA0) || sjis(0xB1) || sjis(0xFD) || sjis('a'));
  IsLeadByteFunc euc = bmccGetIsLeadByteFunc(1);
  EXPECT_TRUE(euc(0x8E) && euc(0xA1) && euc(0xFE));
  EXPECT_FALSE(euc(0x8F) || euc(0xA0));
  EXPECT_FALSE(bmccGetIsLeadByteFunc(2)(0x82));
  EXPECT_NE(dynamic_cast<TbmMBCSReader*>(CreateReader(0).get()), nullptr);
  EXPECT_NE(dynamic_cast<TbmMBCSReader*>(CreateReader(1).get()), nullptr);
  EXPECT_NE(dynamic_cast<TbmSBCSReader*>(CreateReader(2).get()), nullptr);
  EXPECT_NE(dynamic_cast<TbmUniCodeReader*>(CreateReader(3).get()), nullptr);
  EXPECT_EQ(CreateReader(4), nullptr);
  EXPECT_EQ(SystemCharCode, 0);
}

}  // namespace
}  // namespace parvane
