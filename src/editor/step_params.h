// How a command obtains its parameters: from the person, or from the step
// being played back. One rule for every command:
//
//   not playing        -> ask
//   "@all" (any case)  -> ask every time the step plays
//   "@1st" (any case)  -> ask once, then the answer is written into the step
//   anything else      -> that value
//
// What the person is asked (the prompt, the text shown first, a dialog's
// title) is the running step's parameter k in the command table.
#ifndef PARVANE_EDITOR_STEP_PARAMS_H_
#define PARVANE_EDITOR_STEP_PARAMS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

inline constexpr std::string_view kAskEveryTime = "@all";
inline constexpr std::string_view kAskOnce = "@1st";

struct StepParam {
  bool ask = true;    // the person must be asked
  bool store = false;  // ...and the answer written back into step_params[k]
  std::string value;  // the step's value when !ask
};

// Reads parameter k (1-based) under the rule above.
StepParam ReadStepParam(const Editor& editor, int k);

// Stores an answer obtained under "@1st" into step_params[k].
void StoreStepParam(Editor& editor, int k, std::string_view answer);

// The running step's parameter k (1-based): its prompt and initial text.
// Empty texts when no table command runs or the step has no such parameter.
struct ParamQuestion {
  std::string_view prompt;
  std::string_view initial;
};
ParamQuestion AskedFor(const Editor& editor, int k);

// A text parameter through a one-line input box (caption: the product name).
// Returns nullopt when cancelled or empty (the command is abandoned).
std::optional<std::string> TextParam(Editor& editor, int k);

// A number parameter through an input box. A value that is not a number
// counts as 0. Returns nullopt when cancelled; the caller checks the range.
std::optional<long> NumberParam(Editor& editor, int k);

// A file parameter through the open dialog, which dialog describes but for
// its title (the parameter's prompt). Returns nullopt when cancelled or when
// a played value names no existing file.
std::optional<std::filesystem::path> FileParam(Editor& editor, int k, FileDialogSpec dialog);

}  // namespace parvane

#endif  // PARVANE_EDITOR_STEP_PARAMS_H_
