// User commands: ten slots bound to automatic-processing files (Ctrl+1 ...
// Ctrl+0), their titles, and running one of them.
//
// Slots are numbered 0 ... 9 in menu order: slot 0 is "User1" (digit 1),
// slot 8 is "User9", slot 9 is "User0" (digit 0). The paths are
// options.user_command_files, index = slot.
#ifndef PARVANE_AUTOMATION_USER_COMMANDS_H_
#define PARVANE_AUTOMATION_USER_COMMANDS_H_

#include <filesystem>
#include <optional>
#include <string>

#include "automation/automation_state.h"
#include "automation/playback.h"
#include "editor/editor.h"

namespace parvane {

inline constexpr int kUserCommandSlots = 10;

// The digit shown for a slot: 1 ... 9, then 0.
int SlotDigit(int slot);

// The slot's bound file, empty when unset or slot is out of range.
std::filesystem::path UserCommandFile(const Editor& editor, int slot);

// The title of an automatic-processing file as the menus show it:
// "未設定" when the file does not exist or has no line; otherwise the value
// of its "TITLE=" line, "無題" when that is empty or missing. Shift_JIS.
std::string UserCommandTitle(const std::filesystem::path& file);

// "(%d) %s": the slot list entry of the options and batch windows.
std::string SlotListEntry(int slot, std::string_view title);

// "%s(&%d)": the caption of the slot's menu item.
std::string SlotMenuCaption(int slot, std::string_view title);

// Runs a user command. With a slot: stops silently when its file does not
// exist; otherwise loads state.step_list from it (unless state.batch is set)
// and plays it. Without a slot: the single step state.last_step_text (stops
// when empty; not reloaded while state.batch is set). Returns the player's
// report, or nullopt when nothing was played.
std::optional<PlayReport> RunUserCommand(Editor& editor, AutomationState& state,
                                         std::optional<int> slot);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_USER_COMMANDS_H_
