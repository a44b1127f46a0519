// Reading and writing automatic-processing files.
#include "automation/pvx_file.h"

#include "editor/files.h"

namespace parvane {

std::string PvxTitleLine(std::string_view title) { return "TITLE=" + std::string(title); }

bool WritePvxFile(const std::filesystem::path& path, const Lines& lines, std::string* error) {
  return WriteFileAtomically(path, JoinLines(lines), error);
}

bool ReadPvxFile(const std::filesystem::path& path, Lines* lines, std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  *lines = SplitLines(bytes);
  return true;
}

std::optional<std::string> PvxTitle(const Lines& lines) {
  static constexpr std::string_view kName = "TITLE=";
  for (const std::string& line : lines) {
    if (line.size() < kName.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < kName.size() && same; ++i) {
      char c = line[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == kName[i];
    }
    if (same) return line.substr(kName.size());
  }
  return std::nullopt;
}

}  // namespace parvane
