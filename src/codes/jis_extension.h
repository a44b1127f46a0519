// JIS X 0212 and JIS X 0213 read into the document: the characters an
// EUC-JP file writes as 0x8F row cell, and those a 7-bit JIS file writes
// after ESC $ ( D (JIS X 0212), ESC $ ( O or ESC $ ( Q (JIS X 0213 plane 1),
// ESC $ ( P (plane 2) or ESC ( I (half-width katakana).
//
// Such a character takes its code page 932 code where code page 932 has the
// character (many JIS X 0212 kanji are IBM extension kanji there) and a
// private code of the document otherwise. Text without these sequences never
// comes here: EucToSjis and JisToSjis read it as they always have, and the
// readers below give the same bytes as those for every other part of a text.
#ifndef PARVANE_CODES_JIS_EXTENSION_H_
#define PARVANE_CODES_JIS_EXTENSION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/private_codes.h"

namespace parvane {

// The character sets beyond JIS X 0208, numbered as in the generated table.
enum class JisSet : int {
  kJisX0212 = 1,  // JIS X 0212: EUC-JP 0x8F in its rows, ESC $ ( D
  kPlane2 = 2,    // JIS X 0213 plane 2: EUC-JP 0x8F in its rows, ESC $ ( P
  kPlane1 = 3,    // JIS X 0213 plane 1 where it differs from JIS X 0208: ESC $ ( O / Q
};

// One character of the generated table.
struct JisExtensionEntry {
  std::uint32_t key;  // set << 16 | row << 8 | cell (row and cell 0x21-0x7E)
  char32_t first;     // the character
  char32_t second;    // a combining mark that follows it, or 0
};

// Returns the characters (one, or a kana and its combining mark) of row and
// cell in set, or an empty string when set leaves that place empty (for
// kPlane1: also every place JIS X 0208 fills).
std::u32string JisExtensionChars(JisSet set, unsigned char row, unsigned char cell);

// Returns the JIS X 0212 or plane 2 character at row, cell (0x21-0x7E): the
// two sets use different rows, so one three-byte EUC-JP sequence names one.
std::u32string EucThreeByteChars(unsigned char row, unsigned char cell);

// True when text may hold what the readers below are for: a 0x8F byte (for
// EUC-JP), or one of the escapes above (for JIS). A false alarm costs only
// time: the readers then give what EucToSjis and JisToSjis give.
bool MayHoldEucExtensions(std::string_view euc);
bool MayHoldJisExtensions(std::string_view jis);

// Returns where ch is written beyond JIS X 0208, as a table key (set << 16 |
// row << 8 | cell), or 0 when it is not. A character of more than one set
// takes the first by number (JIS X 0212 before plane 2 before plane 1);
// with euc only the sets EUC-JP writes after 0x8F count. A kana with a
// combining mark, two characters, has no place.
std::uint32_t JisPlaceOf(char32_t ch, bool euc);

struct ExtensionReport {
  std::size_t unmapped = 0;    // characters that became '?': an empty place, or no code left
  std::size_t first_line = 0;  // 1-based line (counted at LF) of the first one; 0 when none
};

// EUC-JP -> Shift_JIS as EucToSjis, except that 0x8F followed by two bytes
// 0xA1-0xFE is one character, encoded through codes.
std::string ExtendedEucToSjis(std::string_view euc, PrivateCodes& codes,
                              ExtensionReport* report = nullptr);

// 7-bit JIS -> Shift_JIS as JisToSjis, except that ESC $ ( X is a four-byte
// escape to the set X names, ESC ( I switches to half-width katakana (0x21-0x5F
// written as 0xA1-0xDF), and characters of those sets are encoded through
// codes.
std::string ExtendedJisToSjis(std::string_view jis, PrivateCodes& codes,
                              ExtensionReport* report = nullptr);

}  // namespace parvane

#endif  // PARVANE_CODES_JIS_EXTENSION_H_
