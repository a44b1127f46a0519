// Short texts whose bytes both EUC-JP and Shift_JIS accept: the loader reads
// them in the code whose reading is ordinary Japanese.
#include "codes/code_guess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "codes/jis.h"
#include "codes/text_file.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Three hundred and twenty one-line sentences of our own, plus short lines
// of kanji, katakana and program messages: the kind of text that a single
// line of EUC-JP holds.
std::vector<std::string> ShortTexts() {
  const char* const times[] = {"今日は", "昨日", "明日の朝", "毎晩",
                               "週末に", "さっき", "来年", "夏休みに"};
  const char* const people[] = {"私", "彼女", "先生", "子供たち", "隣の猫",
                                "父", "友達", "駅員さん", "祖母", "学生"};
  const char* const things[] = {"本を", "手紙を", "ご飯を", "写真を", "花を",
                                "新聞を", "お茶を", "宿題を", "音楽を", "地図を"};
  const char* const verbs[] = {"読みました。", "書いています。", "食べたい。",   "撮りに行く。",
                               "買ってきた。", "探しています。", "忘れないでね。", "見せてください。"};
  std::vector<std::string> texts;
  for (int i = 0; i < 320; ++i) {
    texts.push_back(std::string(times[i % 8]) + people[(i / 8) % 10] + "が" +
                    things[(i * 7) % 10] + verbs[(i * 3) % 8]);
  }
  for (const char* line :
       {"東京都", "名前", "終了", "位置", "別名", "発行者", "衝突", "圧縮", "不明", "設定",
        "コンピュータ", "データ", "ファイル名", "エラー", "「はい」", "ー", "あい", "漢字",
        "名前: %s", "    位置: ", "行: %5u", "(不明)", "保存しますか？", "了解。"}) {
    texts.push_back(line);
  }
  return texts;
}

// The measured set: every text as a file of one line in EUC-JP and in
// Shift_JIS, read back as loading reads it. With PARVANE_SHORT_TEXTS set to a
// file name the texts are written there in UTF-8, one a line, for measuring
// other tools on the same set (bench/short_text_detection.sh).
TEST(CodeGuess, ShortTextsAreReadInTheirOwnCode) {
  const std::vector<std::string> texts = ShortTexts();
  if (const char* dump = std::getenv("PARVANE_SHORT_TEXTS")) {
    std::ofstream out(dump, std::ios::binary);
    for (const std::string& t : texts) out << t << "\n";
  }
  int euc_misread = 0, sjis_misread = 0;
  for (const std::string& text : texts) {
    const std::string sjis = Sjis(text) + "\n";
    const std::string euc = SjisToEuc(sjis);
    DecodedFile from_euc = DecodeFileBytes(euc, false, true);
    if (from_euc.text != sjis || from_euc.detected_code != SaveCode::kEucJp) {
      ++euc_misread;
      ADD_FAILURE() << "EUC-JP read wrong: " << text;
    }
    DecodedFile from_sjis = DecodeFileBytes(sjis, false, true);
    if (from_sjis.text != sjis || from_sjis.detected_code != SaveCode::kShiftJis) {
      ++sjis_misread;
      ADD_FAILURE() << "Shift_JIS read wrong: " << text;
    }
  }
  EXPECT_EQ(texts.size(), 344u);
  EXPECT_EQ(euc_misread, 0);
  EXPECT_EQ(sjis_misread, 0);
}

TEST(CodeGuess, ScoresDecideOnlyWhatTheByteRulesLeaveOpen) {
  struct Case {
    std::string bytes;
    JapaneseCode guess;
  };
  const Case cases[] = {
      {"\xa4\xa2\xa4\xa4", CodeEuc},          // あい
      {"\xb4\xc1\xbb\xfa", CodeEuc},          // 漢字
      {"\xa5\xc7\xa1\xbc\xa5\xbf", CodeEuc},  // データ
      // Half-width katakana in Shift_JIS: an odd count cannot be EUC-JP, a
      // pair outside EUC-JP's characters neither.
      {"\xb1\xb2\xb3\xb4\xb5", CodeSjis},      // ｱｲｳｴｵ
      {"\xb1\xb2\xcf\xd7", CodeSjis},          // ｱｲﾏﾗ: CF D7 is past the last level-1 kanji
      {"\xb1\xdd\xc0\xde\xcf\xdd", CodeSjis},  // ｱﾝﾀﾞﾏﾝ
      {"", CodeEuc},
  };
  for (const Case& c : cases) EXPECT_EQ(GuessEucOrSjis(c.bytes), c.guess) << c.bytes;
  // The byte rules themselves are unchanged: detection still says undecided,
  // so a save into EUC-JP keeps converting the document's Shift_JIS.
  EXPECT_EQ(DetectJapaneseCode("\xa4\xa2\xa4\xa4\r\n"), CodeEucOrSjis);
  EXPECT_EQ(ConvertJapaneseCode("\xb4\xc1\r\n", CodeEuc), "\xb4\xc1\r\n");
  // What the byte rules decide is not guessed again.
  EXPECT_EQ(DecodeFileBytes("\x82\xa0\n", false, true).detected_code, SaveCode::kShiftJis);
  EXPECT_EQ(DecodeFileBytes("\xa4\xf3\n", false, true).detected_code, SaveCode::kEucJp);
  EXPECT_EQ(DecodeFileBytes("abc\n", false, true).detected_code, SaveCode::kShiftJis);
}

}  // namespace
}  // namespace parvane
