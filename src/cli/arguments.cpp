// Parsing the command line of parvane-cli.
#include "cli/arguments.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "text/ascii.h"

namespace parvane {
namespace {

// Our own names first, then the aliases other tools and locales use. UTF-8
// keeps its byte order mark as the desktop program's "Unicode (UTF-8)" does;
// utf-8n is the form without one.
constexpr std::pair<std::string_view, SaveCode> kCodeNames[] = {
    {"sjis", SaveCode::kShiftJis},
    {"euc-jp", SaveCode::kEucJp},
    {"jis", SaveCode::kJis},
    {"utf-8", SaveCode::kUtf8},
    {"utf-16", SaveCode::kUtf16},
    {"utf-16be", SaveCode::kUtf16Be},
    {"utf-8n", SaveCode::kUtf8NoBom},
    {"shift_jis", SaveCode::kShiftJis},
    {"shift-jis", SaveCode::kShiftJis},
    {"shiftjis", SaveCode::kShiftJis},
    {"sjis-win", SaveCode::kShiftJis},
    {"cp932", SaveCode::kShiftJis},
    {"ms932", SaveCode::kShiftJis},
    {"windows-31j", SaveCode::kShiftJis},
    {"eucjp", SaveCode::kEucJp},
    {"euc_jp", SaveCode::kEucJp},
    {"eucjp-ms", SaveCode::kEucJp},
    {"euc-jp-ms", SaveCode::kEucJp},
    {"ujis", SaveCode::kEucJp},
    {"iso-2022-jp", SaveCode::kJis},
    {"iso2022jp", SaveCode::kJis},
    {"iso-2022-jp-ms", SaveCode::kJis},
    {"utf8", SaveCode::kUtf8},
    {"utf-8-bom", SaveCode::kUtf8},
    {"utf-8-sig", SaveCode::kUtf8},
    {"utf8n", SaveCode::kUtf8NoBom},
    {"utf16", SaveCode::kUtf16},
    {"utf-16le", SaveCode::kUtf16},
    {"utf16le", SaveCode::kUtf16},
    {"utf16be", SaveCode::kUtf16Be},
};

}  // namespace

std::optional<SaveCode> SaveCodeFromCliName(std::string_view name) {
  const std::string lower = AsciiLower(name);
  for (const auto& [cli_name, code] : kCodeNames) {
    if (lower == cli_name) return code;
  }
  return std::nullopt;
}

std::string CliUsage() {
  return "usage: parvane-cli [-f MACRO.pvx] [-e STEP]... [--answer TEXT]... [--match-case]\n"
         "                   [--standard-selection] [--no-backup] [--from CODE] [--code CODE]\n"
         "                   [--eol crlf|lf|cr] [--lossy] [--settings FILE | --no-settings]\n"
         "                   [--stdout | -o OUT] [FILE... | -]\n"
         "       parvane-cli --list | --help | --version\n"
         "\n"
         "Plays automatic-processing steps on each FILE in place (a .bak copy is kept\n"
         "as the settings say), or on standard input to standard output; - names\n"
         "standard input among the files.\n"
         "\n"
         "  -f MACRO.pvx          steps of an automatic-processing file\n"
         "  -e STEP               one step line, e.g. \"[逆にする]\", 053,3 or prefix,\"> \"\n"
         "                        (after -f); --list shows codes, names and English aliases\n"
         "  --answer TEXT         answer to the next question a step asks (repeatable)\n"
         "  --match-case          find and replace tell upper from lower case\n"
         "  --standard-selection  the standard selection style instead of the extended one\n"
         "  --no-backup           no .bak copy in this run\n"
         "  --settings FILE       read the settings from FILE (never written)\n"
         "  --no-settings         read no settings file: the defaults\n"
         "  --from CODE           the input's code (no detection); names as for --code\n"
         "  --code CODE           output code: sjis, euc-jp, jis, utf-8, utf-16, utf-16be, utf-8n\n"
         "                        (also shift_jis, cp932, eucjp, iso-2022-jp, utf8, utf-16le, ...);\n"
         "                        input whose bytes tell no code is written in the locale's code\n"
         "  --eol crlf|lf|cr      output line break; otherwise the input's\n"
         "  --lossy               write characters the output code cannot hold as \"?\"\n"
         "                        (without it such an input fails and stays unchanged)\n"
         "  --stdout              write the results to standard output; change no file\n"
         "  -o OUT                write the result to OUT (one input at most)\n"
         "  --list                print the command table\n"
         "  --help, --version\n"
         "\n"
         "Exit status: 0 success, 1 a step or a file failed, 2 usage error.\n"
         "\n"
         "See the manual page parvane-cli(1); bash completion: parvane-cli.bash\n"
         "(installed in share/bash-completion/completions/parvane-cli).\n";
}

bool ParseCliArguments(int argc, const char* const* argv, CliArguments* args, std::string* error) {
  *args = CliArguments{};
  bool options_ended = false;
  bool list = false, help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
      args->files.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string_view> inline_value;
    if (arg.starts_with("--")) {
      std::size_t eq = arg.find('=');
      if (eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        inline_value = arg.substr(eq + 1);
      }
    }
    auto value = [&](std::string* out) {
      if (inline_value) {
        *out = std::string(*inline_value);
        return true;
      }
      if (i + 1 >= argc) {
        *error = std::string(name) + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    auto no_value = [&]() {
      if (inline_value) {
        *error = std::string(name) + " takes no value";
        return false;
      }
      return true;
    };
    std::string v;
    if (name == "-f") {
      if (!value(&v)) return false;
      args->macro_files.push_back(v);
    } else if (name == "-e") {
      if (!value(&v)) return false;
      args->steps.push_back(v);
    } else if (name == "--answer") {
      if (!value(&v)) return false;
      args->answers.push_back(v);
    } else if (name == "--code" || name == "--from") {
      if (!value(&v)) return false;
      std::optional<SaveCode>& target = name == "--code" ? args->code : args->from;
      target = SaveCodeFromCliName(v);
      if (!target) {
        *error = "unknown code '" + v + "'";
        return false;
      }
    } else if (name == "--eol") {
      if (!value(&v)) return false;
      args->eol = LineBreakFromName(v);
      if (!args->eol) {
        *error = "unknown line break '" + v + "' (crlf, lf or cr)";
        return false;
      }
    } else if (name == "-o") {
      if (!value(&v)) return false;
      if (args->output) {
        *error = "-o given twice";
        return false;
      }
      args->output = v;
    } else if (name == "--settings") {
      if (!value(&v)) return false;
      args->settings = v;
    } else if (name == "--no-settings") {
      if (!no_value()) return false;
      args->no_settings = true;
    } else if (name == "--match-case") {
      if (!no_value()) return false;
      args->match_case = true;
    } else if (name == "--standard-selection") {
      if (!no_value()) return false;
      args->standard_selection = true;
    } else if (name == "--no-backup") {
      if (!no_value()) return false;
      args->no_backup = true;
    } else if (name == "--lossy") {
      if (!no_value()) return false;
      args->lossy = true;
    } else if (name == "--stdout") {
      if (!no_value()) return false;
      args->to_stdout = true;
    } else if (name == "--list") {
      if (!no_value()) return false;
      list = true;
    } else if (name == "--help" || name == "-h") {
      if (!no_value()) return false;
      help = true;
    } else if (name == "--version") {
      if (!no_value()) return false;
      version = true;
    } else {
      *error = "unknown option " + std::string(name);
      return false;
    }
  }
  if (help) {
    args->mode = CliArguments::Mode::kHelp;
    return true;
  }
  if (version) {
    args->mode = CliArguments::Mode::kVersion;
    return true;
  }
  if (list) {
    args->mode = CliArguments::Mode::kList;
    return true;
  }
  if (args->to_stdout && args->output) {
    *error = "--stdout and -o exclude each other";
    return false;
  }
  if (args->output && args->files.size() > 1) {
    *error = "-o takes one input file at most";
    return false;
  }
  if (args->settings && args->no_settings) {
    *error = "--settings and --no-settings exclude each other";
    return false;
  }
  // Standard input can be read once.
  if (std::count(args->files.begin(), args->files.end(), "-") > 1) {
    *error = "'-' given twice";
    return false;
  }
  return true;
}

}  // namespace parvane
