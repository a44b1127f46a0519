// The command table: every command that can be recorded as a step and played
// back, with its code, its step name, its typed parameters and the operation
// that runs it.
//
// One array of records drives dispatch (menus, playback, parvane-cli through
// RunCommand in run_command.h), the name-to-code substitution, the prompts
// the commands ask, `parvane-cli --list` and the table-wide tests. A command
// never writes its own name or prompts: it records itself and asks under the
// entry that runs it, so one function may serve two entries.
#ifndef PARVANE_AUTOMATION_COMMAND_TABLE_H_
#define PARVANE_AUTOMATION_COMMAND_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

#include "commands/find_replace.h"
#include "editor/editor.h"

namespace parvane {

// The highest code of the table. 071 is the conversion-table step, which gets
// a code here so that a recorded conversion-table step plays back. Codes are
// never reused; a code below this one may be unassigned.
inline constexpr int kLastCommandCode = 80;

// The step itself (name, params) is what the editor knows of the entry
// while its command runs.
struct CommandEntry : StepSpec {
  int code;                      // 1 ... kLastCommandCode, unique
  std::string_view name_utf8;    // the same name as UTF-8 (for the terminal)
  Operation operation;           // null until the command exists: the step is reported and skipped
  std::string_view alias;        // the English step name of parvane-cli: ASCII, no comma, unique
};

// The entries in their stored order: descending byte length of the Shift_JIS
// name, equal lengths in descending byte order (so "[検索]" comes last).
// Built once.
const std::vector<CommandEntry>& CommandTable();

// Returns the entry with that code, or nullptr.
const CommandEntry* CommandByCode(int code);

// Returns the entry whose Shift_JIS step name is name, or nullptr.
const CommandEntry* CommandByName(std::string_view name);

// Returns the entry whose operation is operation, or nullptr.
const CommandEntry* CommandByOperation(Operation operation);

// The entry whose step a find (replace false) or a replace in mode records:
// what the find dialog's buttons run under.
const CommandEntry& SearchCommand(SearchMode mode, bool replace);

// Returns the entry whose alias is alias (exact, case-sensitive), or nullptr.
const CommandEntry* CommandByAlias(std::string_view alias);

// What follows the name on a step line, for the terminal: the parameters'
// descriptions joined by ", " ("" for none).
std::string ParameterText(const CommandEntry& entry);

// The table line of an entry: "[step name]=NNN" (Shift_JIS, code in three digits).
std::string CommandTableLine(const CommandEntry& entry);

// The code as three decimal digits ("005").
std::string CodeText(int code);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_COMMAND_TABLE_H_
