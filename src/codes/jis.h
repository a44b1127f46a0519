// Japanese codes: the byte heuristic that tells Shift_JIS, EUC-JP and 7-bit
// JIS (ISO-2022-JP) apart, and the conversions among them. Everything else in
// the program reaches this through ConvertJapaneseCode.
//
// All routines are pure functions over bytes; each conversion is one linear
// pass appending to one result.
#ifndef PARVANE_CODES_JIS_H_
#define PARVANE_CODES_JIS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "text/parallel_chunks.h"

namespace parvane {

// What DetectJapaneseCode found, and the targets of ConvertJapaneseCode.
enum JapaneseCode : int {
  CodeAscii = 0,         // no byte decided anything
  CodeControlBytes = 1,  // a byte below 0x08 or equal to 0xFF was found
  CodeJis = 2,           // 7-bit JIS, by ESC $ B, ESC $ ( D/O/P/Q or ESC ( I
  CodeJisOld = 3,        // 7-bit JIS, by ESC $ @
  CodeEuc = 4,           // EUC-JP
  CodeSjis = 5,          // Shift_JIS
  CodeEucOrSjis = 6,     // only bytes valid in both EUC-JP and Shift_JIS seen
};

// A two-byte character: a JIS row and cell, or a Shift_JIS lead and trail.
struct BytePair {
  unsigned char first = 0;
  unsigned char second = 0;
  friend bool operator==(const BytePair&, const BytePair&) = default;
};

// How half-width katakana are written in the text given to KanaToJisPair.
enum class KanaForm {
  kShiftJis,  // the single byte 0xA1-0xDF
  kEucJp,     // 0x8E followed by that byte
};

// The half-width katakana table: the JIS X 0208 character (row, cell) of the
// same meaning as the half-width katakana byte k (0xA1-0xDF). Any other byte
// gives the geta mark 〓 (0x22 0x2E), which malformed EUC-JP (0x8E before a
// byte that is no katakana) turns into.
BytePair HalfWidthKanaToJis(unsigned char k);

// Guesses the code of text. The earliest decisive byte wins; the control-byte
// test looks at no more than the first 65536 bytes, and the last byte of the
// text is never examined on its own.
JapaneseCode DetectJapaneseCode(std::string_view text);

// Returns text in the target code (CodeSjis, CodeEuc or CodeJis). Text whose
// code is CodeAscii, CodeControlBytes or CodeEucOrSjis, or already the
// target, is returned unchanged.
std::string ConvertJapaneseCode(std::string_view text, JapaneseCode target);

// JIS row and cell -> Shift_JIS lead and trail (byte arithmetic modulo 256).
BytePair JisToSjisPair(unsigned char j1, unsigned char j2);

// Shift_JIS lead and trail -> JIS row and cell (byte arithmetic modulo 256).
BytePair SjisToJisPair(unsigned char s1, unsigned char s2);

// The JIS pair of the half-width katakana at text[*pos] (in EUC-JP form,
// *pos is the byte after 0x8E). A following voicing mark that makes a voiced
// or semi-voiced kana is merged and consumed. *pos is advanced past every
// byte consumed. Requires *pos < text.size().
BytePair KanaToJisPair(std::string_view text, std::size_t* pos, KanaForm form);

// Shift_JIS -> EUC-JP; half-width katakana become 0x8E pairs.
std::string SjisToEuc(std::string_view sjis);
// EUC-JP -> Shift_JIS. A large text is converted in pieces cut after line
// feeds, on up to workers threads; the result does not depend on workers.
std::string EucToSjis(std::string_view euc, unsigned workers = WorkerCount());
// Shift_JIS -> 7-bit JIS; half-width katakana become full-width characters.
std::string SjisToJis(std::string_view sjis);
// EUC-JP -> 7-bit JIS; half-width katakana become full-width characters.
std::string EucToJis(std::string_view euc);
// 7-bit JIS -> Shift_JIS.
std::string JisToSjis(std::string_view jis);
// 7-bit JIS -> EUC-JP.
std::string JisToEuc(std::string_view jis);

}  // namespace parvane

#endif  // PARVANE_CODES_JIS_H_
