// Automatic-processing files (.pvx): Shift_JIS text, "TITLE=%s" first, one
// step line per command, CR LF after every line, no byte order mark.
#ifndef PARVANE_AUTOMATION_PVX_FILE_H_
#define PARVANE_AUTOMATION_PVX_FILE_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document.h"

namespace parvane {

// The title line written first: "TITLE=" + title.
std::string PvxTitleLine(std::string_view title);

// Writes lines byte for byte, each followed by CR LF, atomically. Returns
// false with *error set (the system's reason) when the file could not be written.
bool WritePvxFile(const std::filesystem::path& path, const Lines& lines, std::string* error);

// Reads a file by plain line splitting (CR, LF or CR LF), bytes unchanged.
// Returns false with *error set when the file cannot be read.
bool ReadPvxFile(const std::filesystem::path& path, Lines* lines, std::string* error);

// The value of the first "TITLE=" line (the name compared without regard to
// ASCII case), or nullopt when there is no such line.
std::optional<std::string> PvxTitle(const Lines& lines);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_PVX_FILE_H_
