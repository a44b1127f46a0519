// Automatic-processing files (.pvx): Shift_JIS text, "TITLE=%s" first, one
// step line per command, CR LF after every line, no byte order mark; or, for
// steps that hold characters outside code page 932, the same lines in UTF-8
// after the mark EF BB BF (the mark tells the two apart when reading).
#ifndef PARVANE_AUTOMATION_PVX_FILE_H_
#define PARVANE_AUTOMATION_PVX_FILE_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document.h"
#include "text/private_codes.h"

namespace parvane {

// The title line written first: "TITLE=" + title.
std::string PvxTitleLine(std::string_view title);

// Writes lines, each followed by CR LF, atomically: byte for byte, or in
// UTF-8 with a mark when a line holds a private code of codes. Returns false
// with *error set (the system's reason) when the file could not be written.
bool WritePvxFile(const std::filesystem::path& path, const Lines& lines, std::string* error,
                  const PrivateCodes* codes = nullptr);

// Reads a file by plain line splitting (CR, LF or CR LF), bytes unchanged; a
// file that starts with EF BB BF is UTF-8, converted to Shift_JIS through
// *codes (a character outside code page 932 takes a private code; without
// codes it becomes '?'). Returns false with *error set when unreadable.
bool ReadPvxFile(const std::filesystem::path& path, Lines* lines, std::string* error,
                 PrivateCodes* codes = nullptr);

// The value of the first "TITLE=" line (the name compared without regard to
// ASCII case), or nullopt when there is no such line.
std::optional<std::string> PvxTitle(const Lines& lines);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_PVX_FILE_H_
