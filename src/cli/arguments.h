// The command line of parvane-cli:
//
//   parvane-cli [-f MACRO.pvx] [-e STEP]... [--answer TEXT]... [--match-case]
//               [--standard-selection] [--no-backup] [--from CODE] [--code CODE]
//               [--eol crlf|lf|cr] [--lossy] [--settings FILE | --no-settings]
//               [--stdout | -o OUT] [FILE... | -]
//   parvane-cli --list | --help | --version
#ifndef PARVANE_CLI_ARGUMENTS_H_
#define PARVANE_CLI_ARGUMENTS_H_

#include <optional>
#include <string>
#include <vector>

#include "codes/line_break.h"
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
  std::optional<SaveCode> from;          // --from: the input's code, no detection
  bool lossy = false;                    // --lossy: write what a code cannot hold as '?'
  std::optional<SaveCode> code;          // --code
  std::optional<LineBreak> eol;          // --eol; otherwise the input's break
  bool to_stdout = false;                // --stdout
  std::optional<std::string> output;     // -o
  std::vector<std::string> files;        // FILE...; none: standard input; "-": standard input
  std::optional<std::string> settings;   // --settings: this settings file instead of the usual one
  bool no_settings = false;              // --no-settings: the defaults, no settings file
};

// Parses argv[1..argc). Returns false with *error set (one line) for a usage
// error. Options may be written "--code utf-8" or "--code=utf-8"; "--" ends
// the options.
bool ParseCliArguments(int argc, const char* const* argv, CliArguments* args, std::string* error);

// The code named on the command line: sjis, euc-jp, jis, utf-8, utf-16,
// utf-16be, utf-8n, or one of their usual aliases (shift_jis, cp932, eucjp,
// iso-2022-jp, utf8, utf-16le, ...; ASCII case ignored), or nullopt.
std::optional<SaveCode> SaveCodeFromCliName(std::string_view name);

// The usage text (UTF-8, ends with a newline). It names the manual page and
// the bash completion file.
std::string CliUsage();

}  // namespace parvane

#endif  // PARVANE_CLI_ARGUMENTS_H_
