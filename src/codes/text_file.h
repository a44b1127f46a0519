// The byte-level half of loading and saving a document: a file's bytes to the
// document's Shift_JIS text and back, for every code the program reads and
// writes. The editor's file commands call these two functions.
#ifndef PARVANE_CODES_TEXT_FILE_H_
#define PARVANE_CODES_TEXT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codes/line_break.h"
#include "codes/save_code.h"
#include "text/line_store.h"
#include "text/private_codes.h"

namespace parvane {

struct DecodedFile {
  std::string text;  // Shift_JIS text, line breaks as in the file (see DecodeFileBytes)
  int unicode_kind = 0;  // 0 none, 3 UTF-8 BOM, 4 UTF-16LE BOM, 5 UTF-16BE BOM, 6 BOM-less UTF-8
  SaveCode detected_code = SaveCode::kShiftJis;  // the save code loading sets
  std::size_t unmapped_count = 0;       // characters that became '?' (no code left for them)
  std::size_t first_unmapped_line = 0;  // 1-based line of the first one (0 when none)
  LineEnding ending;       // the file's line break and whether its last line had one
  bool undecided = false;  // no byte told the code (plain ASCII, empty): Shift_JIS by default
  // The document's private codes: the table given to the decoder, extended
  // by the characters of this file that code page 932 cannot hold.
  PrivateCodes codes;
};

// Decodes a file's bytes as loading does: a byte order mark -> UTF-16 ->
// Shift_JIS, a character that code page 932 cannot hold by a private code of
// out.codes (which starts as a copy of *codes when given: the table of the
// document the lines join), a best-fit character as its similar code when the
// file never writes that code's own character (an origin), else privately; with detect_utf8, bytes without a mark that are valid UTF-8 with
// at least one multi-byte sequence are read as UTF-8 (kind 6); RTF (is_rtf)
// through the RTF reader, also RTF inside a Unicode file; then, only for text
// that did not come from a Unicode form, ConvertJapaneseCode to CodeSjis
// (text from a Unicode form is our own Shift_JIS already, and the detection
// could take some of it, such as FA B1, for EUC-JP). NUL bytes are kept.
//
// Text read as Japanese code bytes is detected and converted as the
// document's text form, in which every line ends with a line break: when the
// bytes do not end with CR or LF, the text gets a CR LF at its end (the lines
// are the same either way).
DecodedFile DecodeFileBytes(std::string_view bytes, bool is_rtf, bool detect_utf8,
                            const PrivateCodes* codes = nullptr);

// DecodeFileBytes for bytes the caller gives up: bytes that are Shift_JIS
// already become the text without a copy (the loader's path for large files).
DecodedFile DecodeOwnedFileBytes(std::string bytes, bool is_rtf, bool detect_utf8,
                                 const PrivateCodes* codes = nullptr);

// Encodes Shift_JIS document text for saving in code: Shift_JIS as it is;
// EUC-JP and JIS through ConvertJapaneseCode (so CodeAscii and CodeEucOrSjis
// text is written unconverted); UTF-8 with a mark, UTF-16LE and UTF-16BE with
// a mark, UTF-8 without one. The Unicode forms write each code of codes
// (when given) as the character it stands for. The Japanese codes write a
// private code as '?' (see CountUnsavable), except that, for a code read
// from such a place (PrivateCodes::IsJisPlaced), EUC-JP writes one
// whose character JIS X 0212 or JIS X 0213 plane 2 holds as 0x8F row cell,
// and JIS one whose character those sets or plane 1 hold after ESC $ ( D,
// ESC $ ( P or ESC $ ( Q, returning with ESC ( J (when the text is Shift_JIS
// or ASCII to the detection; other text keeps the '?').
std::string EncodeForSave(std::string_view sjis_text, SaveCode code, const PrivateCodes* codes);

// Decodes a file's bytes as DecodeOwnedFileBytes does, but in the code the
// caller names instead of a detected one (bytes without their byte order
// mark are accepted for the Unicode forms). detected_code is that code.
DecodedFile DecodeFileBytesAs(std::string bytes, SaveCode code, bool is_rtf,
                              const PrivateCodes* codes);

// Gives the bytes of EncodeForSave(lines joined by ending's break, code,
// codes) to sink in pieces of a few hundred kilobytes, so that saving needs
// neither the document text nor the whole file's bytes at once. The break
// follows every line, the last one only when ending.final_break. Returns
// false as soon as sink returns false. From a line store, in Shift_JIS with
// no private code to replace, a long run of lines that lie in a block with
// the break after each (a loaded file's lines) goes to sink straight from
// the block, in pieces of a few megabytes.
bool EncodeLinesForSave(std::span<const std::string_view> lines, SaveCode code,
                        const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending = {});
bool EncodeLinesForSave(const std::vector<std::string>& lines, SaveCode code,
                        const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending = {});
bool EncodeLinesForSave(const LineStore& lines, SaveCode code, const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending = {});

struct UnsavableReport {
  std::size_t count = 0;       // characters that saving would write as '?'
  std::size_t first_line = 0;  // 1-based line of the first one; 0 when none
};

// Counts the characters of lines that saving in code cannot write and would
// replace by '?': private codes in the Japanese codes (but not those EUC-JP
// and JIS write in JIS X 0212 or JIS X 0213, see EncodeForSave), and in
// EUC-JP and JIS also what those codes cannot carry of code page 932. The Unicode forms hold
// everything.
UnsavableReport CountUnsavable(std::span<const std::string_view> lines, SaveCode code,
                               const PrivateCodes* codes);
UnsavableReport CountUnsavable(const std::vector<std::string>& lines, SaveCode code,
                               const PrivateCodes* codes);
inline UnsavableReport CountUnsavable(const LineStore& lines, SaveCode code,
                                      const PrivateCodes* codes) {
  return CountUnsavable(std::span<const std::string_view>(lines.views()), code, codes);
}

}  // namespace parvane

#endif  // PARVANE_CODES_TEXT_FILE_H_
