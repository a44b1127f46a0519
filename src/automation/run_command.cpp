// The dispatcher of table commands.
#include "automation/run_command.h"

namespace parvane {

void RunCommand(Editor& editor, const CommandEntry& entry) {
  if (entry.operation == nullptr) return;
  RunningStep running(editor, entry, RunOperation);
  entry.operation(editor);
}

void RunAsCommand(Editor& editor, const CommandEntry& entry, const std::function<void()>& work) {
  RunningStep running(editor, entry, RunOperation);
  work();
}

void RunOperation(Editor& editor, Operation operation) {
  if (const CommandEntry* entry = CommandByOperation(operation)) RunCommand(editor, *entry);
}

}  // namespace parvane
