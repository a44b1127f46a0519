// Automatic-processing files: the input is written as a .pvx file and read
// back, its title taken, and every line put through the step-name
// substitution and the reading of its code field, as playback does.
// Saves are synced to disk; with TMPDIR on a memory file system the target
// runs many times faster.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <string>
#include <string_view>

#include "automation/pvx_file.h"
#include "automation/step_line.h"
#include "editor/document.h"
#include "editor/fields.h"

namespace {

std::filesystem::path ScratchPath(const char* what) {
  return std::filesystem::temp_directory_path() /
         ("parvane-fuzz-" + std::to_string(::getpid()) + "-" + what + ".pvx");
}

const std::filesystem::path& InPath() {
  static const std::filesystem::path path = ScratchPath("in");
  return path;
}

const std::filesystem::path& OutPath() {
  static const std::filesystem::path path = ScratchPath("out");
  return path;
}

// libFuzzer may end the process without running exit handlers, so the
// scratch files go after every input.
struct ScratchFiles {
  ~ScratchFiles() {
    std::error_code ignored;
    std::filesystem::remove(InPath(), ignored);
    std::filesystem::remove(OutPath(), ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScratchFiles scratch;
  const std::filesystem::path& in_path = InPath();
  const std::filesystem::path& out_path = OutPath();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(in_path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  parvane::Lines lines;
  std::string error;
  if (!parvane::ReadPvxFile(in_path, &lines, &error)) std::abort();
  if (lines != parvane::SplitLines(bytes)) std::abort();

  std::optional<std::string> title = parvane::PvxTitle(lines);
  if (title && title->size() > bytes.size()) std::abort();

  for (const std::string& line : lines) {
    std::string substituted = parvane::SubstituteStepNames(line);
    // A name is replaced by digits, so a second pass finds nothing more.
    if (parvane::SubstituteStepNames(substituted) != substituted) std::abort();
    if (line.find('[') == std::string::npos && substituted != line) std::abort();
    parvane::Lines fields = parvane::SplitFields(substituted);
    if (!fields.empty()) (void)parvane::StepCode(fields[0]);
    (void)parvane::StepCode(line);
  }

  // Lines read from a file hold no line break, so writing them and reading
  // them again gives the same lines.
  if (!parvane::WritePvxFile(out_path, lines, &error)) std::abort();
  parvane::Lines again;
  if (!parvane::ReadPvxFile(out_path, &again, &error) || again != lines) std::abort();
  return 0;
}
