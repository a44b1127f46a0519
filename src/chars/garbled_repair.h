// "チャットや掲示板で化けた文字を元に戻す" (in "おまけ"): text that a chat or a
// bulletin board showed as EUC-JP read as Shift_JIS is re-encoded from
// Shift_JIS to EUC-JP, and the bytes are kept as the new Shift_JIS text.
//
//   function            step
//   RepairGarbledText   069
#ifndef PARVANE_CHARS_GARBLED_REPAIR_H_
#define PARVANE_CHARS_GARBLED_REPAIR_H_

#include "editor/editor.h"

namespace parvane {

void RepairGarbledText(Editor& editor);

}  // namespace parvane

#endif  // PARVANE_CHARS_GARBLED_REPAIR_H_
