// Moving the selected rows: the four "move" commands of the "並べ替え(&S)"
// menu. They edit the document rows and their selection directly, inside a
// frame without a busy message, collection or store (so no line-length check
// and no recovery copy). Each records its bracketed caption first.
#ifndef PARVANE_COMMANDS_MOVING_H_
#define PARVANE_COMMANDS_MOVING_H_

#include "editor/editor.h"

namespace parvane {

// "選択項目を上に移動する" (Ctrl+Up), step 046: every run
// of adjacent selected rows moves up one row; a run starting at row 0 stays.
// The selection follows the moved rows.
void MoveSelectionUp(Editor& editor);

// "選択項目を下に移動する" (Ctrl+Down), step 047: the
// mirror image; a run ending at the last row stays.
void MoveSelectionDown(Editor& editor);

// "選択項目を一番上に移動する" (Ctrl+Alt+Up), step 048:
// the selected rows, in their order, become the first rows, selected.
void MoveSelectionToTop(Editor& editor);

// "選択項目を一番下に移動する" (Ctrl+Alt+Down), step 049:
// the selected rows, in their order, become the last rows, selected.
void MoveSelectionToBottom(Editor& editor);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_MOVING_H_
