// What EUC-JP and ISO-2022-JP can carry of code page 932.
//
// Both codes are reached through the row/cell arithmetic, which has room for
// every lead byte from 0x81 to 0xEF (rows 0x21-0x7E, including the NEC rows
// that come out as 0x79-0x7C). The IBM extension kanji (lead 0xFA-0xFC)
// have twins in the NEC rows with the same characters; the user-defined area
// (0xF0-0xF9) and the stray bytes 0x80, 0xA0, 0xFD-0xFF have no place at all,
// and the arithmetic would turn them into control codes that wreck the file.
#ifndef PARVANE_CODES_JIS_REPERTOIRE_H_
#define PARVANE_CODES_JIS_REPERTOIRE_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parvane {

struct JisRepertoireReport {
  std::size_t replaced = 0;    // characters written as '?'
  std::size_t first_line = 0;  // 1-based line of the first one; 0 when none
};

// Returns sjis_text ready for the EUC-JP and ISO-2022-JP conversions: IBM
// extension kanji rewritten to their NEC-row twins, every character the two
// codes cannot carry replaced by '?'. Lines are counted at LF.
std::string FitJisRepertoire(std::string_view sjis_text, JisRepertoireReport* report = nullptr);

// Counts, without converting, what FitJisRepertoire would replace in lines.
JisRepertoireReport CheckJisRepertoire(std::span<const std::string_view> lines);

}  // namespace parvane

#endif  // PARVANE_CODES_JIS_REPERTOIRE_H_
