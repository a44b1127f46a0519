// The settings file reader: any bytes as parvane.ini. The options read from
// it, written and read again, are the same options; the file written from
// what was read reads back to the same keys and values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor/options.h"

namespace {

// In TMPDIR when it is set (a memory file system makes runs faster).
std::filesystem::path ScratchFile(const char* name) {
  return std::filesystem::temp_directory_path() /
         ("settings_fuzzer." + std::to_string(getpid()) + "." + name);
}

// Removes the scratch files when the run ends.
struct ScratchFiles {
  std::filesystem::path input = ScratchFile("in.ini");
  std::filesystem::path output = ScratchFile("out.ini");
  ~ScratchFiles() {
    std::error_code ec;
    std::filesystem::remove(input, ec);
    std::filesystem::remove(output, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFiles files;
  const std::filesystem::path& input = files.input;
  const std::filesystem::path& output = files.output;
  if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    std::abort();
  }
  parvane::IniFile ini;
  std::string error;
  if (!ini.Load(input, &error)) std::abort();

  // Keys and values survive a save and a load.
  if (!ini.Save(output, &error)) std::abort();
  parvane::IniFile again;
  if (!again.Load(output, &error)) std::abort();
  if (again.values() != ini.values()) std::abort();

  // Options are a fixed point after one reading: read, write, read, write.
  parvane::IniFile first, second;
  parvane::WriteOptions(parvane::ReadOptions(ini), first);
  parvane::WriteOptions(parvane::ReadOptions(first), second);
  if (first.values() != second.values()) std::abort();
  return 0;
}
