// The player of automatic-processing steps.
#include "automation/playback.h"

#include <exception>
#include <new>

#include "automation/command_table.h"
#include "automation/params.h"
#include "automation/step_line.h"
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

bool Refused(const Editor& editor) {
  // A refused StoreResult keeps its result in work_lines; a stored one clears it.
  for (const std::string& line : editor.work_lines) {
    if (line.size() > editor.max_line_length) return true;
  }
  return false;
}

}  // namespace

PlayReport PlaySteps(Editor& editor, Lines& step_list, const PlayOptions& options) {
  PlayReport report;
  step_list = SplitLines(SubstituteStepNames(JoinLines(step_list)));
  if (step_list.empty()) return report;

  StepParamsGuard guard(editor);
  editor.step_params.clear();
  if (options.undo_snapshot) {
    editor.SaveUndo();
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
    if (entry != nullptr) {
      if (entry->operation == nullptr) {
        report.problems.push_back({StepProblem::Kind::kMissing, i, code, {}});
        editor.host().Message(entry->name + Sjis(" はこのプログラムでは実行できません。"),
                              MessageIcon::kError, MessageButtons::kOk);
      } else {
        editor.work_lines.clear();
        ++report.steps_run;
        try {
          entry->operation(editor);
          if (Refused(editor)) {
            report.problems.push_back({StepProblem::Kind::kRefused, i, code, {}});
          }
        } catch (const PlaybackAborted&) {
          throw;
        } catch (const std::bad_alloc&) {
          // The later steps would run out of memory too, on a document that
          // the failed step left as it was but the earlier steps changed:
          // the run goes back to its snapshot, as one command would.
          if (options.undo_snapshot && editor.keep_undo) editor.doc.SetText(editor.undo_text);
          throw;
        } catch (const std::exception& e) {
          // The frame has closed the command; the text is shown as the
          // platform's default error display would show it.
          std::string text = ErrorDisplayText(e.what());
          report.problems.push_back({StepProblem::Kind::kError, i, code, text});
          editor.host().Message(text, MessageIcon::kError, MessageButtons::kOk);
        }
      }
    }
    step_list[i] = JoinFields(editor.step_params);
  }
  return report;
}

}  // namespace parvane
