// The run of parvane-cli: settings, steps, then each input in turn, the way
// the batch window processes dropped files.
#include "cli/run.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "automation/automation_state.h"
#include "automation/carried_steps.h"
#include "automation/command_table.h"
#include "automation/playback.h"
#include "automation/pvx_file.h"
#include "automation/step_line.h"
#include "cli/cli_host.h"
#include "cli/step_check.h"
#include "codes/text_file.h"
#include "commands/find_replace.h"
#include "editor/editor.h"
#include "editor/fields.h"
#include "editor/files.h"
#include "editor/memory_exhaustion.h"
#include "editor/options.h"
#include "text/ascii.h"
#include "text/literal.h"

namespace parvane {
namespace {

bool WriteAll(std::FILE* out, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

void PrintCommandTable(std::FILE* out) {
  std::vector<const CommandEntry*> entries;
  for (const CommandEntry& e : CommandTable()) entries.push_back(&e);
  std::sort(entries.begin(), entries.end(),
            [](const CommandEntry* a, const CommandEntry* b) { return a->code < b->code; });
  std::string text;
  for (const CommandEntry* e : entries) {
    text += CodeText(e->code) + "\t" + std::string(e->name_utf8) + "\t" + std::string(e->alias);
    if (!e->params.empty()) text += "\t" + ParameterText(*e);
    text += "\n";
  }
  WriteAll(out, text);
}

// The code of the locale's character set (LC_ALL, LC_CTYPE, LANG): UTF-8
// without a mark, EUC-JP or Shift_JIS where the locale says so, UTF-8 for
// any other.
SaveCode LocaleSaveCode() {
  locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return SaveCode::kUtf8NoBom;
  std::string codeset = AsciiLower(::nl_langinfo_l(CODESET, locale));
  ::freelocale(locale);
  std::erase_if(codeset, [](char c) { return c == '-' || c == '_'; });
  if (codeset == "eucjp" || codeset == "ujis") return SaveCode::kEucJp;
  if (codeset == "shiftjis" || codeset == "sjis" || codeset == "cp932" ||
      codeset == "windows31j") {
    return SaveCode::kShiftJis;
  }
  return SaveCode::kUtf8NoBom;
}

// Reports the failure of a run that the Host was not told about (refusals
// are silent in playback) and says whether the run succeeded.
// Refusals are reported once, with the number of further refused steps:
// a long run of refusing steps must not bury the other messages.
bool RunSucceeded(CliHost& host, const PlayReport& report) {
  const StepProblem* failure = RunFailure(report);
  if (failure == nullptr) return true;
  if (failure->kind != StepProblem::Kind::kRefused) return false;
  std::vector<const StepProblem*> refused;
  for (const StepProblem& p : report.problems) {
    if (p.kind == StepProblem::Kind::kRefused) refused.push_back(&p);
  }
  host.Report("step " + std::to_string(failure->line + 1) + " (" + CodeText(failure->code) +
              "): " + SjisToUtf8(failure->message));
  if (refused.size() > 1) {
    host.Report("the same in " + std::to_string(refused.size() - 1) +
                " more steps, the last step " + std::to_string(refused.back()->line + 1));
  }
  return false;
}

class Runner {
 public:
  Runner(const CliArguments& args, CliHost& host, Editor& editor, std::FILE* out)
      : args_(args), host_(host), editor_(editor), out_(out) {}

  // Loads the steps of -f and -e. Returns false (reported) when a file is unreadable.
  bool LoadSteps() {
    for (const std::string& file : args_.macro_files) {
      Lines lines;
      std::string error;
      PrivateCodes codes;
      if (!ReadPvxFile(file, &lines, &error, &codes)) {
        host_.Report(file + ": " + error);
        return false;
      }
      for (const std::string& line : lines) {
        if (codes.empty()) {
          steps_.AddSjis(line);
        } else {
          steps_.AddUtf8(codes.ToUtf8(line));
        }
      }
    }
    for (const std::string& step : args_.steps) steps_.AddUtf8(ResolveStepAlias(step));
    return true;
  }

  // One input: load, play, write. Returns false when it failed; the input
  // and its output are then left as they were. Throws PlaybackAborted.
  bool Process(const std::filesystem::path& input, bool from_stdin) {
    host_.set_subject(from_stdin ? "standard input" : input.string());
    std::error_code ec;
    if (!from_stdin && !std::filesystem::exists(input, ec)) {
      host_.Report("no such file");
      return false;
    }
    const bool in_place = !from_stdin && !args_.to_stdout && !args_.output;
    if (in_place && !std::filesystem::is_regular_file(input, ec)) {
      // A folder, a device or a pipe has no text to put back in place.
      host_.Report("not a regular file; nothing changed");
      return false;
    }
    // The run saves every file itself; nothing may ask about the previous one.
    editor_.modified = false;
    if (LoadDocumentFile(editor_, input, false, args_.from) != LoadResult::kLoaded) {
      host_.Report("not processed: the file could not be loaded");
      return false;
    }
    if (args_.eol) editor_.line_ending.kind = *args_.eol;
    if (editor_.code_undecided && !editor_.options.charset_fixed) {
      // Plain ASCII in, a Japanese conversion out: the terminal's code, not
      // Shift_JIS by default.
      editor_.save_code = LocaleSaveCode();
    }
    if (args_.code) editor_.save_code = *args_.code;
    // The same step list serves every input, so "@1st" answers carry over.
    state_.step_list = steps_.For(editor_.private_codes);
    PlayReport report = PlaySteps(editor_, state_.step_list, {.undo_snapshot = false});
    steps_.Keep(state_.step_list, editor_.private_codes);
    if (!RunSucceeded(host_, report)) {
      host_.Report("not written: a step failed");
      return false;
    }
    if (args_.code) editor_.save_code = *args_.code;
    if (!args_.lossy && !CheckNothingLost()) return false;
    if (!from_stdin && !args_.to_stdout && !args_.output) {
      if (!WriteDocumentFile(editor_, input)) return false;
      WarnAboutLostCharacters(editor_);
      return true;
    }
    if (args_.output) {
      std::string bytes;
      EncodeLinesForSave(editor_.doc.lines(), editor_.save_code, &editor_.private_codes,
                         [&bytes](std::string_view piece) {
                           bytes += piece;
                           return true;
                         },
                         editor_.line_ending);
      std::string error;
      if (!WriteFileAtomically(*args_.output, bytes, &error)) {
        host_.Report(*args_.output + ": " + error);
        return false;
      }
      WarnAboutLostCharacters(editor_);
      return true;
    }
    // Straight from the lines: neither the document text nor the whole
    // output exists at once.
    auto write = [this](std::string_view piece) {
      return std::fwrite(piece.data(), 1, piece.size(), out_) == piece.size();
    };
    if (!EncodeLinesForSave(editor_.doc.lines(), editor_.save_code, &editor_.private_codes,
                            write, editor_.line_ending) ||
        std::fflush(out_) != 0) {
      host_.Report("could not write standard output");
      return false;
    }
    WarnAboutLostCharacters(editor_);
    return true;
  }

 private:
  // Without --lossy, output that would turn characters into '?' is refused.
  bool CheckNothingLost() {
    UnsavableReport lost =
        CountUnsavable(editor_.doc.lines(), editor_.save_code, &editor_.private_codes);
    if (lost.count == 0) return true;
    host_.Report(std::to_string(lost.count) + " character" + (lost.count == 1 ? "" : "s") +
                 " cannot be written in " + SjisToUtf8(SaveCodeCaption(editor_.save_code)) +
                 " (the first on line " + std::to_string(lost.first_line) +
                 "); not written (--lossy writes them as \"?\")");
    return false;
  }

  const CliArguments& args_;
  CliHost& host_;
  Editor& editor_;
  std::FILE* out_;
  AutomationState state_;
  CarriedSteps steps_;  // the steps of -f and -e, between inputs
};

// Returns why the first faulty -e step is wrong, or "" when all are right.
// A misspelt name or an unknown code would otherwise be skipped without a
// word, and parameters beyond the command's would be dropped silently.
std::string StepUsageError(const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    Lines fields = SplitFields(SubstituteStepNames(ResolveStepAlias(Sjis(step))));
    const CommandEntry* entry = fields.empty() ? nullptr : CommandByCode(StepCode(fields[0]));
    if (entry == nullptr) return "-e " + step + ": no such command (see --list)";
    const std::size_t given = fields.size() - 1;
    if (given > entry->params.size()) {
      return "-e " + step + ": " + std::to_string(given) + " parameters given, " +
             std::string(entry->alias) + " takes " + std::to_string(entry->params.size());
    }
  }
  return {};
}

}  // namespace

int RunCli(const CliArguments& args, const std::filesystem::path& program_dir, std::FILE* out,
           std::FILE* err) {
  switch (args.mode) {
    case CliArguments::Mode::kHelp:
      WriteAll(out, CliUsage());
      return kExitOk;
    case CliArguments::Mode::kVersion:
      WriteAll(out, std::string(kProductName) + " " + std::string(kProductVersion) + "\n");
      return kExitOk;
    case CliArguments::Mode::kList:
      PrintCommandTable(out);
      return kExitOk;
    case CliArguments::Mode::kRun:
      break;
  }

  for (const std::string& step : args.steps) {
    if (std::optional<std::string> why = StepArgumentError(step)) {
      WriteAll(err, "parvane-cli: -e " + PrintableStep(step) + ": " + *why + "\n");
      return kExitUsage;
    }
  }
  if (const std::string problem = StepUsageError(args.steps); !problem.empty()) {
    WriteAll(err, "parvane-cli: " + problem + "\n");
    return kExitUsage;
  }

  CliHost host(args.answers, err);
  IniFile ini;
  std::string error;
  if (args.settings) {
    // A file named on purpose must be there: running on the defaults
    // instead would quietly give other results.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*args.settings, ec) || !ini.Load(*args.settings, &error)) {
      host.Report(*args.settings + ": " + (error.empty() ? "no such settings file" : error));
      return kExitFailed;
    }
  } else if (!args.no_settings) {
    const std::filesystem::path settings = DefaultSettingsPath(program_dir);
    if (!ini.Load(settings, &error)) {
      host.Report(settings.string() + ": " + error + " (the defaults are used)");
    }
  }
  auto owned_editor = std::make_unique<Editor>(host);
  Editor& editor = *owned_editor;
  editor.keep_undo = false;
  // The line-length limit protects the desktop program's view; there is none
  // here.
  editor.max_line_length = std::numeric_limits<std::size_t>::max();
  // Lossy output is refused or allowed by --lossy, never asked about.
  editor.confirm_lossy_save = false;
  // No view shows the document while a step runs.
  editor.move_collected_lines = true;
  editor.options = ReadOptions(ini);
  // No recovery copy and no settings writes: recovery_copy_path and
  // settings_path stay empty.
  editor.options.auto_backup = false;
  if (args.no_backup) editor.options.backup = false;
  editor.save_code = editor.options.charset;
  editor.selection_style =
      args.standard_selection ? SelectionStyle::kStandard : SelectionStyle::kExtended;

  // The find/replace dialog's two match-case boxes, off unless asked for.
  FindReplaceFields& find_fields = SharedFindReplaceFields();
  find_fields.find_match_case = args.match_case;
  find_fields.replace_match_case = args.match_case;

  Runner runner(args, host, editor, out);
  if (!runner.LoadSteps()) return kExitFailed;

  std::vector<std::string> inputs = args.files;
  if (inputs.empty()) inputs.emplace_back("-");
  int status = kExitOk;
  for (const std::string& input : inputs) {
    const bool from_stdin = input == "-";
    try {
      if (!runner.Process(std::filesystem::path(from_stdin ? "/dev/stdin" : input), from_stdin)) {
        status = kExitFailed;
      }
    } catch (const PlaybackAborted& e) {
      // Nobody can answer the later inputs either; stop before touching them.
      host.Report(std::string(e.what()) + "; not written");
      return kExitFailed;
    } catch (const std::bad_alloc&) {
      // The next input may be smaller; this one's document goes first.
      editor.ReleaseWork();
      editor.doc.SetLines({});
      ClearMemoryExhaustion();
      host.Report("not enough memory; not written");
      status = kExitFailed;
    }
  }
  host.FlushRepeats();
  return status;
}

}  // namespace parvane
