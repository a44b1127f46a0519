// What EUC-JP and ISO-2022-JP saves do with characters outside their reach.
#include "codes/jis_repertoire.h"

#include <gtest/gtest.h>

#include "codes/jis.h"
#include "codes/text_file.h"
#include "text/cp932.h"

namespace parvane {
namespace {

TEST(JisRepertoireTest, IbmKanjiBecomeTheirTwinsAndKeepTheirCharacters) {
  struct Case {
    std::string ibm, twin;
  } cases[] = {
      {"\xFA\xB1", "\xED\x95"},  // 﨑
      {"\xFB\xFC", "\xEE\xE0"},  // 髙
      {"\xFA\x40", "\xEE\xEF"},  // ⅰ
      {"\xFA\x4A", "\x87\x54"},  // Ⅰ: the NEC row 13 twin, not the NEC-selected one
      {"\xFA\x54", "\x81\xCA"},  // ￢
      {"\xFA\x5B", "\x81\xE6"},  // ∵
  };
  for (const auto& c : cases) {
    JisRepertoireReport report;
    EXPECT_EQ(FitJisRepertoire(c.ibm + "\r\n", &report), c.twin + "\r\n");
    EXPECT_EQ(report.replaced, 0u);
    EXPECT_EQ(Cp932ToUtf16(c.ibm), Cp932ToUtf16(c.twin));
  }
}

TEST(JisRepertoireTest, EveryIbmKanjiSurvivesAnEucRoundTrip) {
  std::string text;
  for (int lead = 0xFA; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string c = {static_cast<char>(lead), static_cast<char>(trail)};
      if (Cp932ToUtf16(c) == u"?") continue;
      text += c;
    }
  }
  text += "\r\n";
  for (SaveCode code : {SaveCode::kEucJp, SaveCode::kJis}) {
    std::string bytes = EncodeForSave(text, code, nullptr);
    for (unsigned char b : bytes) {
      if (code == SaveCode::kJis) {
        EXPECT_LT(b, 0x80);
      }
      EXPECT_TRUE(b >= 0x20 || b == '\r' || b == '\n' || b == 0x1B) << int(b);
    }
    DecodedFile back = DecodeFileBytes(bytes, false, false);
    EXPECT_EQ(Cp932ToUtf16(back.text), Cp932ToUtf16(text)) << SaveCodeSettingsName(code);
  }
}

TEST(JisRepertoireTest, WhatHasNoPlaceBecomesAQuestionMarkAndIsCounted) {
  JisRepertoireReport report;
  // User-defined area, a stray 0x80, a lead byte cut off by the line end.
  std::string text = "ok\r\n\xF0\x40x\x80\x41\r\ny\x88\r\n";
  EXPECT_EQ(FitJisRepertoire(text, &report), "ok\r\n?x?\r\ny?\r\n");
  EXPECT_EQ(report.replaced, 3u);
  EXPECT_EQ(report.first_line, 2u);
  const std::vector<std::string_view> lines = {"ok", "\xF0\x40x\x80\x41", "y\x88"};
  JisRepertoireReport counted = CheckJisRepertoire(lines);
  EXPECT_EQ(counted.replaced, 3u);
  EXPECT_EQ(counted.first_line, 2u);
}

TEST(JisRepertoireTest, OrdinaryTextIsUntouched) {
  std::string text = "\x82\xA0\xB6\xDE\x88\xEA abc\r\n\xED\x40\r\n";
  JisRepertoireReport report;
  EXPECT_EQ(FitJisRepertoire(text, &report), text);
  EXPECT_EQ(report.replaced, 0u);
}

}  // namespace
}  // namespace parvane
