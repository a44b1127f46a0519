#include "codes/save_code.h"

#include <gtest/gtest.h>

#include "codes/jis.h"
#include "text/literal.h"

namespace parvane {
namespace {

TEST(SaveCode, SettingsNamesRoundTripAndCaptions) {
  const char* names[] = {"ShiftJIS", "EUC-JP", "JIS", "UTF-8", "UTF-16", "UTF-16BE", "UTF-8N"};
  for (int i = 0; i < kSaveCodeCount; ++i) {
    SaveCode code = static_cast<SaveCode>(i);
    EXPECT_EQ(SaveCodeSettingsName(code), names[i]);
    EXPECT_EQ(SaveCodeFromSettingsName(names[i]), code);
  }
  EXPECT_EQ(SaveCodeFromSettingsName("utf-8"), std::nullopt);
  EXPECT_EQ(SaveCodeCaption(SaveCode::kJis), "JIS (ISO-2022-JP)");
  EXPECT_EQ(SaveCodeCaption(SaveCode::kUtf8NoBom), Sjis("Unicode (UTF-8 BOM なし)"));
}

TEST(KanaToJisPair, ConsumesTheMergedMarkOnly) {
  std::size_t pos = 0;
  EXPECT_EQ(KanaToJisPair("\xB6\xDE\xB1", &pos, KanaForm::kShiftJis), (BytePair{0x25, 0x2C}));
  EXPECT_EQ(pos, 2u);
  pos = 0;
  EXPECT_EQ(KanaToJisPair("\xB1\xDE", &pos, KanaForm::kShiftJis), (BytePair{0x25, 0x22}));
  EXPECT_EQ(pos, 1u);
  pos = 1;  // EUC-JP: the byte after 0x8E
  EXPECT_EQ(KanaToJisPair("\x8E\xCE\x8E\xDF", &pos, KanaForm::kEucJp), (BytePair{0x25, 0x5D}));
  EXPECT_EQ(pos, 4u);
  // The table: punctuation and marks in row 0x21, the rest in row 0x25.
  EXPECT_EQ(HalfWidthKanaToJis(0xA1), (BytePair{0x21, 0x23}));
  EXPECT_EQ(HalfWidthKanaToJis(0xB0), (BytePair{0x21, 0x3C}));
  EXPECT_EQ(HalfWidthKanaToJis(0xDD), (BytePair{0x25, 0x73}));
  EXPECT_EQ(HalfWidthKanaToJis(0xDF), (BytePair{0x21, 0x2C}));
}

}  // namespace
}  // namespace parvane
