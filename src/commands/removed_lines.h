// The removed-lines list: the lines that the last duplicate-removal command
// removed, kept in the order the result window "被削除行" shows them, the
// window's three actions, and the epilogue that ends a duplicate-removal
// command. The window itself belongs to the Host (ShowRemovedLines), which
// calls the actions below.
#ifndef PARVANE_COMMANDS_REMOVED_LINES_H_
#define PARVANE_COMMANDS_REMOVED_LINES_H_

#include <filesystem>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

// Replaces editor.removed_lines by removed, in ascending Japanese collation
// order (as the sorts use; equal lines in the order given). Identical lines
// stay as often as given. During a played step whose choice neither copies
// nor moves the lines, nothing reads them and they stay in the order given.
void SetRemovedLines(Editor& editor, Lines removed);

// "クリップボードにコピー(&C)": puts the list on the clipboard, each line
// followed by CR LF, and makes "[クリップボードにコピー]" the step's choice
// (removed_lines_choice, while the epilogue runs). Does nothing when the list
// is empty.
void RemovedLinesCopy(Editor& editor);

// "メインウィンドウに移す(&M)": makes "[メインウィンドウに移す]" the step's
// choice, takes the undo snapshot (not while playing back) and replaces the
// whole document by the list. Tells the Host (an empty CommandStarted and its
// CommandEnded) that the document changed.
void RemovedLinesMove(Editor& editor);

// "名前を付けて保存(&A)...": writes the list to path as it is (Shift_JIS bytes,
// CR LF after every line), atomically. Records nothing. Returns false after
// telling the Host the file name and the system's reason.
bool RemovedLinesSave(Editor& editor, const std::filesystem::path& path);

// The save dialog of the window: filter "テキストファイル (*.txt)|*.txt|すべての
// ファイル (*.*)|*.*", default extension "txt".
FileDialogSpec RemovedLinesSaveDialog();

// Asks for a file name with RemovedLinesSaveDialog, then RemovedLinesSave.
// Returns false when cancelled or when the save failed.
bool RemovedLinesSaveAs(Editor& editor);

// Ends a duplicate-removal command, after its frame has stored the result.
// Not playing back, the Host shows the removed lines, or
// "一行も削除されませんでした。" when there are none, and the window's actions
// make the choice;
// playing back, step parameter 1 picks the action silently:
// "[クリップボードにコピー]" or 1 copies, "[メインウィンドウに移す]" or 2 moves,
// anything else ("@all" included) discards. Finally the step is recorded,
// with the choice as its parameter when one was made, and the Host told (an
// empty CommandStarted and its CommandEnded), so that the record list shows
// the step.
void RemovedLinesEpilogue(Editor& editor);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_REMOVED_LINES_H_
