// The command line of parvane-cli:
//
//   parvane-cli [-f MACRO.pvx] [-e STEP]... [--answer TEXT]... [--match-case]
//               [--standard-selection] [--no-backup] [--code CODE] [--lossy]
//               [--stdout | -o OUT] [FILE...]
//   parvane-cli --list | --help | --version
#ifndef PARVANE_CLI_ARGUMENTS_H_
#define PARVANE_CLI_ARGUMENTS_H_

#include <optional>
#include <string>
#include <vector>

#include "codes/save_code.h"

namespace parvane {

struct CliArguments {
  enum class Mode { kRun, kList, kHelp, kVersion };
  Mode mode = Mode::kRun;
  std::vector<std::string> macro_files;  // -f, in order; their steps come first
  std::vector<std::string> steps;        // -e, UTF-8 step lines, in order
  std::vector<std::string> answers;      // --answer, UTF-8, consumed in order
  bool match_case = false;               // --match-case
  bool standard_selection = false;       // --standard-selection
  bool no_backup = false;                // --no-backup
  bool lossy = false;                    // --lossy: write what a code cannot hold as '?'
  std::optional<SaveCode> code;          // --code
  bool to_stdout = false;                // --stdout
  std::optional<std::string> output;     // -o
  std::vector<std::string> files;        // FILE...; none: standard input
};

// Parses argv[1..argc). Returns false with *error set (one line) for a usage
// error. Options may be written "--code utf-8" or "--code=utf-8"; "--" ends
// the options.
bool ParseCliArguments(int argc, const char* const* argv, CliArguments* args, std::string* error);

// The code named on the command line: sjis, euc-jp, jis, utf-8, utf-16,
// utf-16be, utf-8n (ASCII case ignored), or nullopt.
std::optional<SaveCode> SaveCodeFromCliName(std::string_view name);

// The usage text (UTF-8, ends with a newline).
std::string CliUsage();

}  // namespace parvane

#endif  // PARVANE_CLI_ARGUMENTS_H_
