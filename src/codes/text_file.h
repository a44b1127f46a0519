// Decoding a file's bytes into the program's Shift_JIS text, and encoding the
// document for saving, in every code the program reads and writes.
#ifndef PARVANE_CODES_TEXT_FILE_H_
#define PARVANE_CODES_TEXT_FILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "codes/save_code.h"

namespace parvane {

// Per document: which Unicode character each best-fit Shift_JIS code came
// from (8160 from U+301C, ...), kept only where every occurrence of that code
// in the file came from the same character.
struct UnicodeOrigins;

struct DecodedFile {
  std::string text;       // Shift_JIS, line breaks as in the file
  int unicode_kind = 0;   // 0 none, 3 UTF-8 mark, 4 UTF-16LE mark, 5 UTF-16BE mark, 6 UTF-8 without mark
  SaveCode detected_code = SaveCode::kShiftJis;  // the code loading sets (unless fixed)
  std::size_t unmapped_count = 0;       // characters that became '?'
  std::size_t first_unmapped_line = 0;  // 1-based; 0 when none
  std::shared_ptr<const UnicodeOrigins> origins;  // may be null
};

// Decodes a file's bytes as loading does.
DecodedFile DecodeFileBytes(std::string_view bytes, bool is_rtf, bool detect_utf8);

// Encodes document text (lines each followed by CR LF) for saving in code.
std::string EncodeForSave(std::string_view sjis_text, SaveCode code, const UnicodeOrigins* origins);

}  // namespace parvane

#endif  // PARVANE_CODES_TEXT_FILE_H_
