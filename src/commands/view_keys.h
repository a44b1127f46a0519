// The editing keys of the line view (Enter, Left, Right) and the file
// information text. None of these is recorded.
#ifndef PARVANE_COMMANDS_VIEW_KEYS_H_
#define PARVANE_COMMANDS_VIEW_KEYS_H_

#include <optional>
#include <string>

#include "editor/editor.h"

namespace parvane {

// Enter: inserts an empty line before the current row (row 0 when there is
// none); in the extended selection style the row that was current is current
// again.
void InsertEmptyLine(Editor& editor);

// Left arrow: every selected line that starts with a half-width space loses
// that one space. With no selection nothing changes.
void RemoveLeadingSpace(Editor& editor);

// Right arrow: every selected line gets one half-width space in front. With
// no selection nothing changes.
void AddLeadingSpace(Editor& editor);

// "ファイル情報を表示(&F)": the text of the file information box (shown with the
// product name as caption, an OK button and no icon), or nullopt when the
// document has no line.
std::optional<std::string> FileInformation(const Editor& editor);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_VIEW_KEYS_H_
