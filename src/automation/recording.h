// Recording: starting and ending a recording of the steps the commands append
// to editor.record_buffer, and saving them as an automatic-processing file.
#ifndef PARVANE_AUTOMATION_RECORDING_H_
#define PARVANE_AUTOMATION_RECORDING_H_

#include <filesystem>
#include <optional>

#include "automation/automation_state.h"
#include "editor/editor.h"

namespace parvane {

// The save dialog of automatic-processing files (filter, extension "pvx").
FileDialogSpec PvxDialogSpec();

// Empties record_buffer and enters the recording state. The window shows the
// record list; nothing else changes.
void StartRecording(Editor& editor, AutomationState& state);

// Ends the recording: asks for the title ("無題" when empty or cancelled),
// puts the "TITLE=" line first, and shows the save dialog until the steps
// are saved or the person confirms discarding them. A file that cannot be
// written is reported and the dialog is shown again. Afterwards
// record_buffer is empty and the state is "not recording". Returns the file
// written, or nullopt when the recording was discarded.
std::optional<std::filesystem::path> EndRecording(Editor& editor, AutomationState& state);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_RECORDING_H_
