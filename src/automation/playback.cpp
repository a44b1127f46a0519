// The player of automatic-processing steps.
#include "automation/playback.h"

#include <exception>
#include <optional>
#include <new>

#include "automation/command_table.h"
#include "automation/run_command.h"
#include "editor/step_params.h"
#include "automation/step_line.h"
#include "editor/cancel.h"
#include "editor/error_text.h"
#include "editor/fields.h"
#include "text/literal.h"

namespace parvane {
namespace {

constexpr std::size_t kStepFields = 8;

// step_params must be empty whenever no step runs, also when a Host aborts.
class StepParamsGuard {
 public:
  explicit StepParamsGuard(Editor& editor) : editor_(editor) {}
  ~StepParamsGuard() { editor_.step_params.clear(); }
  StepParamsGuard(const StepParamsGuard&) = delete;
  StepParamsGuard& operator=(const StepParamsGuard&) = delete;

 private:
  Editor& editor_;
};

// Stands in for the editor's Host while a run plays, forwarding everything,
// and keeps the first error message a step shows: a step that refuses with a
// message box of its own has failed as surely as one that throws.
class ErrorWatchingHost : public Host {
 public:
  explicit ErrorWatchingHost(Editor& editor) : editor_(editor), inner_(editor.ReplaceHost(*this)) {}
  ~ErrorWatchingHost() override { editor_.ReplaceHost(inner_); }
  ErrorWatchingHost(const ErrorWatchingHost&) = delete;
  ErrorWatchingHost& operator=(const ErrorWatchingHost&) = delete;

  // The first error shown since the last call, and forgets it.
  std::optional<std::string> TakeError() {
    std::optional<std::string> error = std::move(error_);
    error_.reset();
    return error;
  }

  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override {
    return inner_.InputBox(caption, prompt, initial);
  }
  Answer Message(std::string_view text, MessageIcon icon, MessageButtons buttons) override {
    if (icon == MessageIcon::kError && !error_) error_ = std::string(text);
    return inner_.Message(text, icon, buttons);
  }
  std::optional<std::filesystem::path> OpenFileDialog(const FileDialogSpec& dialog) override {
    return inner_.OpenFileDialog(dialog);
  }
  std::optional<std::filesystem::path> SaveFileDialog(const FileDialogSpec& dialog) override {
    return inner_.SaveFileDialog(dialog);
  }
  std::string ClipboardText() override { return inner_.ClipboardText(); }
  void SetClipboardText(std::string_view text) override { inner_.SetClipboardText(text); }
  void CommandStarted(std::string_view busy_message) override {
    inner_.CommandStarted(busy_message);
  }
  void Progress(int percent) override { inner_.Progress(percent); }
  bool CancelRequested() override { return inner_.CancelRequested(); }
  void CommandEnded() override { inner_.CommandEnded(); }
  void ShowRemovedLines(Editor& editor) override { inner_.ShowRemovedLines(editor); }
  std::optional<int> ChooseKeyField(std::string_view caption, const Lines& fields) override {
    return inner_.ChooseKeyField(caption, fields);
  }

 private:
  Editor& editor_;
  Host& inner_;
  std::optional<std::string> error_;
};



}  // namespace

PlayReport PlaySteps(Editor& editor, Lines& step_list, const PlayOptions& options) {
  PlayReport report;
  step_list = SplitLines(SubstituteStepNames(JoinLines(step_list)));
  if (step_list.empty()) return report;

  StepParamsGuard guard(editor);
  ErrorWatchingHost watcher(editor);
  editor.step_params.clear();
  const bool modified_before_run = editor.modified;
  if (options.undo_snapshot) {
    editor.SaveUndo(Sjis("自動処理"));
  } else {
    editor.modified = true;
  }

  const std::size_t count = step_list.size();
  for (std::size_t i = 0; i < count; ++i) {
    editor.step_params = SplitFields(step_list[i]);
    while (editor.step_params.size() < kStepFields) {
      editor.step_params.emplace_back(kAskEveryTime);
    }
    const int code = StepCode(editor.step_params[0]);
    const CommandEntry* entry = code >= 1 && code <= kLastCommandCode ? CommandByCode(code) : nullptr;
    bool ends_run = false;
    if (entry != nullptr) {
      if (entry->operation == nullptr) {
        std::string text = entry->name + Sjis(" はこのプログラムでは実行できません。");
        report.problems.push_back({StepProblem::Kind::kMissing, i, code, text});
        editor.host().Message(text, MessageIcon::kError, MessageButtons::kOk);
        ends_run = true;
      } else {
        editor.work_lines.clear();
        ++report.steps_run;
        watcher.TakeError();
        try {
          RunCommand(editor, *entry);
          if (std::optional<std::string> shown = watcher.TakeError()) {
            report.problems.push_back({StepProblem::Kind::kError, i, code, std::move(*shown)});
            ends_run = true;
          } else if (editor.ResultRefused()) {
            report.problems.push_back(
                {StepProblem::Kind::kRefused, i, code,
                 Sjis("行が長くなりすぎてしまいます。\r\n処理を中止しました。")});
          }
        } catch (const PlaybackAborted&) {
          throw;
        } catch (const CommandCancelled&) {
          // The person stopped the run, not just this step: as for memory
          // below, the document goes back to where the run began, and nothing
          // of the run is left to undo or to save.
          if (options.undo_snapshot) editor.RevertToUndo();
          editor.modified = modified_before_run;
          throw;
        } catch (const std::bad_alloc&) {
          // The later steps would run out of memory too, on a document that
          // the failed step left as it was but the earlier steps changed:
          // the run goes back to its snapshot, as one command would.
          if (options.undo_snapshot) editor.RevertToUndo();
          throw;
        } catch (const std::exception& e) {
          // The frame has closed the command; the text is shown as the
          // platform's default error display would show it.
          std::string text = ErrorDisplayText(e.what());
          report.problems.push_back({StepProblem::Kind::kError, i, code, text});
          editor.host().Message(text, MessageIcon::kError, MessageButtons::kOk);
          ends_run = true;
        }
      }
    }
    step_list[i] = JoinFields(editor.step_params);
    if (ends_run) break;
  }
  if (options.undo_snapshot) editor.ForgetDisplacedRedo();
  return report;
}

const StepProblem* RunFailure(const PlayReport& report) {
  return report.problems.empty() ? nullptr : &report.problems.front();
}

}  // namespace parvane
