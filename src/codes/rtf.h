// RTF to plain text: our own small reader, one line per paragraph.
#ifndef PARVANE_CODES_RTF_H_
#define PARVANE_CODES_RTF_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane {

struct RtfText {
  std::string text;                     // Shift_JIS, every line followed by CR LF
  std::size_t unmapped_count = 0;       // \uN characters with no code page 932 form
  std::size_t first_unmapped_line = 0;  // 1-based line of the first one, 0 when none
};

// Extracts the plain text of an RTF document. \par and \line end a line;
// table cells are separated by TAB and a row is one line; \'hh bytes are taken
// in the document's code page (932 and fonts of \fcharset128 as Shift_JIS
// bytes; any other as Windows-1252); \uN is taken with its \ucN fallback
// skipped; destinations that hold no text (font and colour tables, style
// sheet, information, pictures, objects, headers, footers, \*\... and a
// field's instruction) are skipped. raw_sjis says that bytes of 0x80 and
// above outside control words are Shift_JIS text (the RTF came from a
// Unicode file and was converted); otherwise they are in the document's code
// page. Malformed or truncated RTF gives the text read so far; nesting depth
// costs no stack.
RtfText RtfToText(std::string_view rtf, bool raw_sjis);

}  // namespace parvane

#endif  // PARVANE_CODES_RTF_H_
