// The six character-kind mappings: half width, full width, katakana,
// hiragana, lower case and upper case.
//
// They are defined here over code page 932, character by character, rather
// than taken from a platform service, so every machine gives the same result.
// A character without a counterpart under a mapping is unchanged, and is
// copied byte for byte (so bytes that code page 932 does not define survive).
#ifndef PARVANE_CHARS_KIND_MAPPING_H_
#define PARVANE_CHARS_KIND_MAPPING_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace parvane {

enum class KindMapping {
  kHalfWidth,  // full-width ASCII, U+3000, katakana and their marks -> half width
  kFullWidth,  // the reverse; a backslash becomes "￥", kana + sound mark merge
  kKatakana,   // hiragana U+3041-U+3093, ゝゞ -> katakana
  kHiragana,   // katakana U+30A1-U+30F3, ヽヾ -> hiragana
  kLowerCase,  // A-Z, Ａ-Ｚ, Greek and Cyrillic capitals -> small letters
  kUpperCase,  // the reverse of kLowerCase
};

inline constexpr int kKindMappingCount = 6;

// Maps one UTF-16 unit. Writes its mapped form (one unit, or two for a voiced
// katakana under kHalfWidth: ガ -> ｶﾞ) to out and returns the number of units,
// or returns 0 when the unit has no counterpart under mapping.
int MapKindUnit(KindMapping mapping, char16_t unit, char16_t out[2]);

// Returns the single voiced or semi-voiced full-width katakana for a
// half-width katakana followed by "ﾞ" (U+FF9E) or "ﾟ" (U+FF9F), or 0 when
// that pair has no single form (ｱﾞ, ｶﾟ).
char16_t MergeSoundMark(char16_t half_kana, char16_t mark);

// The mapped form of one Shift_JIS character as bytes.
struct MappedChar {
  std::uint8_t length = 0;  // 0: no counterpart (copy the character as it is); else 1 or 2
  char bytes[2] = {0, 0};   // the mapped form's bytes
};

// Returns the mapped form of the Shift_JIS character with code `code` (a
// byte below 0x100, or lead << 8 | trail). Table lookup; never allocates.
const MappedChar& MapKindChar(KindMapping mapping, unsigned code);

// Returns the UTF-16 unit of the Shift_JIS character `code`, or 0xFFFF when
// code page 932 defines none. Table lookup.
char16_t KindCharUnit(unsigned code);

// Returns the two-byte code of the merged form of half-width katakana byte
// `kana` followed by sound-mark byte `mark` (0xDE or 0xDF), or 0 when none.
unsigned MergedSoundMarkCode(unsigned char kana, unsigned char mark);

// Appends the mapped form of text, taken as one string, to *out: every
// character is mapped on its own, except that under kFullWidth a half-width
// katakana followed by a sound mark becomes the single voiced katakana where
// one exists.
void AppendMappedKind(KindMapping mapping, std::string_view text, std::string* out);

// Returns the mapped form of text (see AppendMappedKind).
std::string MapKind(KindMapping mapping, std::string_view text);

}  // namespace parvane

#endif  // PARVANE_CHARS_KIND_MAPPING_H_
