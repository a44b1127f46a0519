// Telling EUC-JP from Shift_JIS by which reading looks like Japanese text.
//
// Short EUC-JP texts (one line of hiragana and kanji) often hold only bytes
// 0xA1-0xFE, every one of which Shift_JIS also accepts, mostly as half-width
// katakana. Read as EUC-JP the same bytes are hiragana and common kanji; a
// Shift_JIS text that passes the byte rules is made of half-width katakana
// and rare kanji, which read as EUC-JP give scattered kanji and symbols.
// Each reading is scored per character by how ordinary that character is.
#include "codes/code_guess.h"

#include "text/cp932.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// A byte sequence that is no character of the reading.
constexpr int kBroken = -5;

// How ordinary the JIS X 0208 character at row r, cell c is in Japanese text.
int OrdinaryScore(int r, int c) {
  if (c < 0x21 || c > 0x7E) return kBroken;
  if (r == 0x24) return c <= 0x73 ? 3 : kBroken;  // hiragana
  if (r == 0x25) return c <= 0x76 ? 3 : kBroken;  // katakana
  if (r == 0x21) return c <= 0x5B ? 2 : 1;        // 、。・ー「」 and the like; other symbols
  if (r >= 0x30 && r <= 0x4F) return 2;           // level-1 kanji
  if (r >= 0x50 && r <= 0x74) return 1;           // level-2 kanji
  if (r == 0x23) return 1;                        // full-width digits and letters
  if (r == 0x22 || (r >= 0x26 && r <= 0x28)) return 0;  // symbols, Greek, Cyrillic, lines
  return kBroken;
}

int EucScore(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  int score = 0;
  for (std::size_t i = 0; i < n;) {
    const unsigned b = s[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    const unsigned next = i + 1 < n ? s[i + 1] : 0;
    if (b == 0x8E && next >= 0xA1 && next <= 0xDF) {
      score += 1;  // half-width katakana: real, but rare in EUC-JP text
      i += 2;
    } else if (b >= 0xA1 && b <= 0xFE && next >= 0xA1 && next <= 0xFE) {
      // The gaps inside rows (after the last level-1 kanji, between the
      // letters) are no characters either: the code page's table knows them.
      const BytePair sjis = JisToSjisPair(static_cast<unsigned char>(b - 0x80),
                                          static_cast<unsigned char>(next - 0x80));
      score += Cp932ToUnit(sjis.first << 8 | sjis.second) < 0
                   ? kBroken
                   : OrdinaryScore(static_cast<int>(b - 0x80), static_cast<int>(next - 0x80));
      i += 2;
    } else {
      score += kBroken;
      ++i;
    }
  }
  return score;
}

int SjisScore(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  int score = 0;
  for (std::size_t i = 0; i < n;) {
    const unsigned b = s[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (b >= 0xA1 && b <= 0xDF) {
      score += 1;  // half-width katakana
      ++i;
      continue;
    }
    const unsigned next = i + 1 < n ? s[i + 1] : 0;
    if (!IsDoubleByteLeadByte(static_cast<unsigned char>(b)) ||
        !IsSjisTrailByte(static_cast<unsigned char>(next)) || Cp932ToUnit(static_cast<int>(b << 8 | next)) < 0) {
      score += kBroken;
      ++i;
      continue;
    }
    if (b >= 0xED) {
      score += 0;  // the extension kanji rows: real characters, never ordinary
    } else {
      const BytePair jis =
          SjisToJisPair(static_cast<unsigned char>(b), static_cast<unsigned char>(next));
      score += OrdinaryScore(jis.first, jis.second);
    }
    i += 2;
  }
  return score;
}

}  // namespace

JapaneseCode GuessEucOrSjis(std::string_view text) {
  return EucScore(text) >= SjisScore(text) ? CodeEuc : CodeSjis;
}

}  // namespace parvane
