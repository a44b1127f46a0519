// The run of parvane-cli: settings, steps, then each input in turn, the way
// the batch window processes dropped files.
#include "cli/run.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "automation/automation_state.h"
#include "automation/command_table.h"
#include "automation/playback.h"
#include "automation/pvx_file.h"
#include "automation/step_line.h"
#include "cli/cli_host.h"
#include "codes/text_file.h"
#include "commands/find_replace.h"
#include "editor/editor.h"
#include "editor/fields.h"
#include "editor/files.h"
#include "editor/options.h"
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
    text += CodeText(e->code) + "\t" + std::string(e->name_utf8);
    if (!e->parameters.empty()) text += "\t" + std::string(e->parameters);
    text += "\n";
  }
  WriteAll(out, text);
}

// Reports the problems of a run that the Host was not told about (refusals
// are silent in playback) and says whether the run succeeded.
bool RunSucceeded(CliHost& host, const PlayReport& report) {
  for (const StepProblem& p : report.problems) {
    if (p.kind == StepProblem::Kind::kRefused) {
      host.Report("step " + std::to_string(p.line + 1) + " (" + CodeText(p.code) +
                  "): " + SjisToUtf8(Sjis("行が長くなりすぎてしまいます。\r\n処理を中止しました。")));
    }
  }
  return report.problems.empty();
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
      if (!ReadPvxFile(file, &lines, &error)) {
        host_.Report(file + ": " + error);
        return false;
      }
      state_.step_list.insert(state_.step_list.end(), lines.begin(), lines.end());
    }
    for (const std::string& step : args_.steps) state_.step_list.push_back(Sjis(step));
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
    // The run saves every file itself; nothing may ask about the previous one.
    editor_.modified = false;
    if (LoadDocumentFile(editor_, input, false) != LoadResult::kLoaded) {
      host_.Report("not processed: the file could not be loaded");
      return false;
    }
    if (args_.code) editor_.save_code = *args_.code;
    // The same step list serves every input, so "@1st" answers carry over.
    const int errors_before = host_.errors_shown();
    PlayReport report = PlaySteps(editor_, state_.step_list, {.undo_snapshot = false});
    if (!RunSucceeded(host_, report) || host_.errors_shown() != errors_before) {
      host_.Report("not written: a step failed");
      return false;
    }
    if (args_.code) editor_.save_code = *args_.code;
    if (!from_stdin && !args_.to_stdout && !args_.output) {
      return WriteDocumentFile(editor_, input);
    }
    if (args_.output) {
      std::string bytes;
      EncodeLinesForSave(editor_.doc.lines(), editor_.save_code, editor_.unicode_origins.get(),
                         [&bytes](std::string_view piece) {
                           bytes += piece;
                           return true;
                         });
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
    if (!EncodeLinesForSave(editor_.doc.lines(), editor_.save_code, editor_.unicode_origins.get(),
                            write) ||
        std::fflush(out_) != 0) {
      host_.Report("could not write standard output");
      return false;
    }
    WarnAboutLostCharacters(editor_);
    return true;
  }

 private:
  const CliArguments& args_;
  CliHost& host_;
  Editor& editor_;
  std::FILE* out_;
  AutomationState state_;
};

// Returns the first -e step that names no command (a misspelt name or an
// unknown code would otherwise be skipped without a word), or nullptr.
const std::string* UnknownStep(const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    Lines fields = SplitFields(SubstituteStepNames(Sjis(step)));
    if (fields.empty() || CommandByCode(StepCode(fields[0])) == nullptr) return &step;
  }
  return nullptr;
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

  if (const std::string* step = UnknownStep(args.steps)) {
    WriteAll(err, "parvane-cli: -e " + *step + ": no such command (see --list)\n");
    return kExitUsage;
  }

  CliHost host(args.answers, err);
  IniFile ini;
  std::string error;
  const std::filesystem::path settings = DefaultSettingsPath(program_dir);
  if (!ini.Load(settings, &error)) {
    host.Report(settings.string() + ": " + error + " (the defaults are used)");
  }
  // The editor is deliberately never freed: the process ends right after the
  // run, and releasing a document of a million lines one string at a time
  // costs a tenth of the whole run.
  Editor& editor = *std::make_unique<Editor>(host).release();
  editor.keep_undo = false;
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

  std::vector<std::filesystem::path> inputs(args.files.begin(), args.files.end());
  const bool from_stdin = inputs.empty();
  if (from_stdin) inputs.emplace_back("/dev/stdin");
  int status = kExitOk;
  for (const std::filesystem::path& input : inputs) {
    try {
      if (!runner.Process(input, from_stdin)) status = kExitFailed;
    } catch (const PlaybackAborted& e) {
      // Nobody can answer the later inputs either; stop before touching them.
      host.Report(std::string(e.what()) + "; not written");
      return kExitFailed;
    }
  }
  return status;
}

}  // namespace parvane
