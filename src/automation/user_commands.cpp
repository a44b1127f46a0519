// User command slots and RunUserCommand.
#include "automation/user_commands.h"

#include <cstdio>

#include "automation/pvx_file.h"
#include "editor/files.h"
#include "text/literal.h"

namespace parvane {

int SlotDigit(int slot) { return (slot + 1) % 10; }

std::filesystem::path UserCommandFile(const Editor& editor, int slot) {
  if (slot < 0 || slot >= kUserCommandSlots) return {};
  return std::filesystem::path(editor.options.user_command_files[static_cast<std::size_t>(slot)]);
}

std::string UserCommandTitle(const std::filesystem::path& file) {
  Lines lines;
  std::string error;
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec) ||
      !ReadPvxFile(file, &lines, &error) || lines.empty()) {
    return Sjis("未設定");
  }
  std::optional<std::string> title = PvxTitle(lines);
  if (!title || title->empty()) return Sjis("無題");
  return *title;
}

std::string SlotListEntry(int slot, std::string_view title) {
  return "(" + std::to_string(SlotDigit(slot)) + ") " + std::string(title);
}

std::string SlotMenuCaption(int slot, std::string_view title) {
  return std::string(title) + "(&" + std::to_string(SlotDigit(slot)) + ")";
}

std::optional<PlayReport> RunUserCommand(Editor& editor, AutomationState& state,
                                         std::optional<int> slot) {
  if (slot) {
    std::filesystem::path file = UserCommandFile(editor, *slot);
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    if (!state.batch) {
      std::string error;
      Lines lines;
      if (!ReadPvxFile(file, &lines, &error, &editor.private_codes)) {
        editor.host().Message(Sjis("ファイルを開けませんでした。\r\n") + PathToSjis(file) + "\r\n" +
                                  Sjis(error),
                              MessageIcon::kError, MessageButtons::kOk);
        return std::nullopt;
      }
      state.step_list = std::move(lines);
    }
  } else {
    if (state.last_step_text.empty()) return std::nullopt;
    if (!state.batch) state.step_list = Lines{state.last_step_text};
  }
  return PlaySteps(editor, state.step_list);
}

}  // namespace parvane
