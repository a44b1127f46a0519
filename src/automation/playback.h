// The player: runs a list of step lines through the same operations the menus
// call. Entry point: PlaySteps.
#ifndef PARVANE_AUTOMATION_PLAYBACK_H_
#define PARVANE_AUTOMATION_PLAYBACK_H_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/editor.h"

namespace parvane {

// Thrown by a Host that cannot answer a question at all (the command-line
// tool with no answer left). Unlike an error of a step, it ends the whole
// run: PlaySteps lets it pass, with step_params emptied.
class PlaybackAborted : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A step that did not do its work.
struct StepProblem {
  enum class Kind {
    kError,    // the operation raised an error (a bad pattern) or showed one (a
               // refusal with its own message box); shown through the Host
    kRefused,  // the result had a line over max_line_length; silent, as in playback
    kMissing,  // the code has no operation in this build; shown through the Host
  };
  Kind kind;
  std::size_t line;     // 0-based index in the step list
  int code;             // the step's code
  std::string message;  // Shift_JIS: the error text (for kRefused, the refusal's text)
};

struct PlayReport {
  std::size_t steps_run = 0;          // steps dispatched to an operation
  std::vector<StepProblem> problems;  // in order
};

struct PlayOptions {
  // The one undo snapshot of the run. A caller with no undo (the command-line
  // tool) turns it off and saves a copy of the whole text.
  bool undo_snapshot = true;
};

// Plays step_list on the document:
//  1. every step name of the command table becomes its code, over the whole
//     text, in table order, and step_list takes the substituted lines;
//  2. if there is a line: one undo snapshot for the whole run (marks the
//     document modified), unless options.undo_snapshot is off;
//  3. each line is split into step_params, padded to 8 with "@all"; a code
//     1 ... kLastCommandCode runs its operation, anything else runs nothing;
//     then step_params is joined back into the line, so "@1st" answers stay
//     for the next run of the same list;
//  4. step_params is empty afterwards, however the run ends.
// A step that raises an error (the frame closes it; the error is shown
// through the Host), shows an error message of its own, or has no operation
// ends the run there: the later steps do not run and keep their lines. A
// refused result is silent and the run goes on, but the run has failed.
// Throws PlaybackAborted when a Host aborts the run.
// A step that runs out of memory ends the run too: std::bad_alloc passes,
// and the document is put back to the run's undo snapshot when there is one.
PlayReport PlaySteps(Editor& editor, Lines& step_list, const PlayOptions& options = {});

// The one rule by which a played run may be saved, for the batch window and
// parvane-cli alike. Returns nullptr when every step did its work; otherwise
// the problem that failed the run (the first one).
const StepProblem* RunFailure(const PlayReport& report);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_PLAYBACK_H_
