// Reading and writing automatic-processing files.
#include "automation/pvx_file.h"

#include "codes/text_file.h"
#include "codes/unicode.h"
#include "editor/files.h"
#include "text/literal.h"

namespace parvane {

std::string PvxTitleLine(std::string_view title) { return "TITLE=" + std::string(title); }

bool WritePvxFile(const std::filesystem::path& path, const Lines& lines, std::string* error,
                  const PrivateCodes* codes) {
  // Shift_JIS keeps files readable by every version; only steps that hold
  // characters it cannot carry need UTF-8.
  if (CountUnsavable(lines, SaveCode::kShiftJis, codes).count == 0) {
    return WriteFileAtomically(path, JoinLines(lines), error);
  }
  return WriteFileAtomically(path, EncodeForSave(JoinLines(lines), SaveCode::kUtf8, codes), error);
}

bool ReadPvxFile(const std::filesystem::path& path, Lines* lines, std::string* error,
                 PrivateCodes* codes) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  if (DetectUnicodeBom(bytes) != kUnicodeUtf8) {
    *lines = SplitLines(bytes);
    return true;
  }
  *lines = SplitLines(std::string_view(bytes).substr(3));
  for (std::string& line : *lines) line = codes != nullptr ? codes->FromUtf8(line) : Sjis(line);
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
