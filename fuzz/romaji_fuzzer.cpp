// Romaji both ways. Any bytes: each conversion keeps Shift_JIS characters
// whole (well-formed text stays well-formed) and leaves text that holds none
// of its table's characters alone. Katakana drawn from the plain syllables
// and ン: to Hepburn or Kunrei romaji and back gives the katakana again.
// (Text without letters, apostrophes and hyphens is left alone by the way
// to katakana.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chars/romaji.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace {

using parvane::ConvertRomaji;
using parvane::RomajiConversion;

// True when every lead byte has a trail byte (0x40-0xFC but 0x7F) after it.
bool WellFormed(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!parvane::IsSjisLeadByte(static_cast<unsigned char>(text[i]))) continue;
    if (++i == text.size()) return false;
    const unsigned char trail = static_cast<unsigned char>(text[i]);
    if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return false;
  }
  return true;
}

// The one-byte characters the romaji-to-katakana table reads: letters, the
// apostrophe of "n'" and the long-vowel hyphen.
bool HasRomajiCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += parvane::SjisCharLength(text, i)) {
    const char c = text[i];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'' || c == '-') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (RomajiConversion c :
       {RomajiConversion::kToKatakana, RomajiConversion::kHepburn, RomajiConversion::kKunrei}) {
    const std::string out = ConvertRomaji(c, text);
    if (WellFormed(text) && !WellFormed(out)) std::abort();
    if (c == RomajiConversion::kToKatakana && !HasRomajiCharacter(text) && out != text) {
      std::abort();
    }
  }

  static const std::string kSyllables[] = {
      parvane::Sjis("ア"), parvane::Sjis("イ"), parvane::Sjis("ウ"), parvane::Sjis("エ"),
      parvane::Sjis("オ"), parvane::Sjis("カ"), parvane::Sjis("キ"), parvane::Sjis("ク"),
      parvane::Sjis("ケ"), parvane::Sjis("コ"), parvane::Sjis("サ"), parvane::Sjis("セ"),
      parvane::Sjis("ソ"), parvane::Sjis("タ"), parvane::Sjis("テ"), parvane::Sjis("ト"),
      parvane::Sjis("ナ"), parvane::Sjis("ニ"), parvane::Sjis("ヌ"), parvane::Sjis("ネ"),
      parvane::Sjis("ノ"), parvane::Sjis("ハ"), parvane::Sjis("ヒ"), parvane::Sjis("ヘ"),
      parvane::Sjis("ホ"), parvane::Sjis("マ"), parvane::Sjis("ミ"), parvane::Sjis("ム"),
      parvane::Sjis("メ"), parvane::Sjis("モ"), parvane::Sjis("ヤ"), parvane::Sjis("ユ"),
      parvane::Sjis("ヨ"), parvane::Sjis("ラ"), parvane::Sjis("リ"), parvane::Sjis("ル"),
      parvane::Sjis("レ"), parvane::Sjis("ロ"), parvane::Sjis("ワ"), parvane::Sjis("ン"),
      parvane::Sjis("ガ"), parvane::Sjis("ギ"), parvane::Sjis("グ"), parvane::Sjis("ゲ"),
      parvane::Sjis("ゴ"), parvane::Sjis("バ"), parvane::Sjis("ビ"), parvane::Sjis("ブ"),
      parvane::Sjis("ベ"), parvane::Sjis("ボ"), parvane::Sjis("パ"), parvane::Sjis("ピ"),
      parvane::Sjis("プ"), parvane::Sjis("ペ"), parvane::Sjis("ポ"), parvane::Sjis("　"),
  };
  std::string katakana;
  for (std::size_t i = 0; i < size && i < 64; ++i) {
    katakana += kSyllables[data[i] % std::size(kSyllables)];
  }
  for (RomajiConversion c : {RomajiConversion::kHepburn, RomajiConversion::kKunrei}) {
    const std::string romaji = ConvertRomaji(c, katakana);
    if (ConvertRomaji(RomajiConversion::kToKatakana, romaji) != katakana) std::abort();
  }
  return 0;
}
