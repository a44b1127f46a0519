// The command table: every command that can be recorded as a step and played
// back, with its code, its step name and the operation that runs it.
//
// One array of records drives dispatch (playback), the name-to-code
// substitution, `parvane-cli --list` and the table-wide tests.
#ifndef PARVANE_AUTOMATION_COMMAND_TABLE_H_
#define PARVANE_AUTOMATION_COMMAND_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

namespace parvane {

// A command as the menus call it; parameters come from step_params when a
// step is played back.
using Operation = void (*)(Editor& editor);

// The highest code of the table. 071 is the conversion-table step, which gets
// a code here so that a recorded conversion-table step plays back.
inline constexpr int kLastCommandCode = 73;

struct CommandEntry {
  int code;                      // 1 ... kLastCommandCode, unique
  std::string name;              // Shift_JIS step name, brackets included
  std::string_view name_utf8;    // the same name as UTF-8 (for the terminal)
  std::string_view parameters;   // what follows the name on a step line ("" for none)
  Operation operation;           // null until the command exists: the step is reported and skipped
};

// The entries in their stored order: descending byte length of the Shift_JIS
// name, equal lengths in descending byte order (so "[検索]" comes last).
// Built once.
const std::vector<CommandEntry>& CommandTable();

// Returns the entry with that code, or nullptr.
const CommandEntry* CommandByCode(int code);

// Returns the entry whose Shift_JIS step name is name, or nullptr.
const CommandEntry* CommandByName(std::string_view name);

// The table line of an entry: "[step name]=NNN" (Shift_JIS, code in three digits).
std::string CommandTableLine(const CommandEntry& entry);

// The code as three decimal digits ("005").
std::string CodeText(int code);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_COMMAND_TABLE_H_
