// Editing, clipboard and selection commands of the "編集(&E)" menu, which work
// on whole rows of the document, and the clipboard-linked mode's update.
//
// The recorded commands return at once, recording nothing, when the document
// is empty (cut, copy, delete, select all, invert) or the clipboard holds no
// text (paste, insert-paste).
#ifndef PARVANE_COMMANDS_EDITING_H_
#define PARVANE_COMMANDS_EDITING_H_

#include "editor/editor.h"

namespace parvane {

// "切り取り(&T)" (Ctrl+X) - step 037.
// Puts the selected rows on the clipboard (each followed by CR LF) and
// removes them; the row now at the current row's index becomes selected.
void CutRows(Editor& editor);

// "コピー(&C)" (Ctrl+C) - step 038.
// Puts the selected rows on the clipboard; the whole document when at most
// one row is selected. The document does not change.
void CopyRows(Editor& editor);

// "貼り付け(&P)" (Ctrl+V) - step 039.
// Replaces the document by the clipboard text (tab-separated text becomes
// comma-separated) and makes it untitled.
void PasteRows(Editor& editor);

// "挿入貼り付け(&O)" (Ctrl+Shift+V) - step 041.
// Inserts the clipboard's lines before the current row (row 0 when there is
// none); they become the only selected rows and the first becomes current.
void InsertPasteRows(Editor& editor);

// "削除(&L)" (Del) - step 040.
// Removes the selected rows; the clipboard is not touched.
void DeleteRows(Editor& editor);

// "すべて選択(&A)" (Ctrl+A) - step 042.
void SelectAllRows(Editor& editor);

// "選択の切り替え(&I)" - step 043.
// Inverts every row's selection (takes the undo snapshot, so the document
// counts as modified).
void InvertRowSelection(Editor& editor);

// "行番号を指定してジャンプ(&J)..." (Ctrl+J), not recorded.
// Asks "ジャンプ先の行番号は？" and jumps to that 1-based row, read as a
// decimal number (anything else, hexadecimal included, does nothing).
void JumpToLine(Editor& editor);
// Makes row line_number - 1 the current row (and, in the extended selection
// style, selects it too). Numbers below 1 or beyond the last row do nothing.
// The view is expected to scroll the current row to the top.
void JumpToLine(Editor& editor, long line_number);

// "選択行を編集" (Ctrl+E), not recorded, no frame, no undo, not modified.
// Lets the person rewrite the current row in an input box.
void EditCurrentRow(Editor& editor);

// Double-click on a row: its text, without a line end, on the clipboard.
void CopyCurrentRow(Editor& editor);

// The clipboard changed while the clipboard-linked mode is on: the document
// becomes the clipboard text (tab-separated text made comma-separated). No
// undo snapshot, not marked modified, the file name stays, nothing recorded
// and no line-length check.
void ClipboardChanged(Editor& editor);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_EDITING_H_
