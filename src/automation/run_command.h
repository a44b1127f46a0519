// The one way a table command runs: the menus, the player, the batch window
// and parvane-cli all come here. Entry point: RunCommand.
#ifndef PARVANE_AUTOMATION_RUN_COMMAND_H_
#define PARVANE_AUTOMATION_RUN_COMMAND_H_

#include <functional>

#include "automation/command_table.h"
#include "editor/editor.h"

namespace parvane {

// Runs entry's operation (nothing when it has none) with entry as the
// editor's running step, so that the command records itself under entry's
// name and asks entry's prompts. The running step is the outer one again
// when this returns or throws.
void RunCommand(Editor& editor, const CommandEntry& entry);

// Runs work with entry as the running step: a step that something outside
// the table begins (the find dialog's buttons run a find or a replace).
void RunAsCommand(Editor& editor, const CommandEntry& entry, const std::function<void()>& work);

// Runs operation as RunCommand runs the entry whose operation it is; runs
// nothing for an operation outside the table.
void RunOperation(Editor& editor, Operation operation);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_RUN_COMMAND_H_
