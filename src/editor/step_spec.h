// What a table command is as a step: its name and the parameters it asks
// for. The automation command table holds one per command; while a command
// runs, the editor knows it (Editor::running_step), so that the command
// records itself and asks for its parameters without naming either.
#ifndef PARVANE_EDITOR_STEP_SPEC_H_
#define PARVANE_EDITOR_STEP_SPEC_H_

#include <string>
#include <string_view>
#include <vector>

namespace parvane {

enum class ParamKind {
  kText,    // a line of text through an input box
  kNumber,  // a decimal number through an input box
  kFile,    // an existing file through the open dialog; the step holds its full path
  kChoice,  // what was done in a window of the command's own; never asked
};

struct ParamSpec {
  ParamKind kind;
  // Shift_JIS: the input box's prompt, or the open dialog's title ("" for a choice).
  std::string prompt;
  std::string initial;           // Shift_JIS: what the input box shows first
  std::string_view description;  // ASCII: what the parameter is, for the terminal
};

struct StepSpec {
  std::string name;               // Shift_JIS step name, brackets included
  std::vector<ParamSpec> params;  // parameter k (1-based) of a step line is params[k - 1]
};

}  // namespace parvane

#endif  // PARVANE_EDITOR_STEP_SPEC_H_
