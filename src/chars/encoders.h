// The four encoders of "エンコード・デコード" in the hidden menu "隠しメニュー".
// They record no step.
//
//   function            menu caption
//   EncodeHttpEscape    "HTTPエスケープ形式にエンコードする"
//   DecodeHttpEscape    "HTTPエスケープ形式をデコードする"
//   EncodeBase64        "Base64形式にエンコードする"
//   DecodeBase64        "Base64形式をデコードする"
#ifndef PARVANE_CHARS_ENCODERS_H_
#define PARVANE_CHARS_ENCODERS_H_

#include "editor/editor.h"

namespace parvane {

enum class Encoder {
  kHttpEscapeEncode,  // each line -> its HTTP escape form
  kHttpEscapeDecode,  // stops at the first bad "%XY" with "'$XY' は整数ではありません"
  kBase64Encode,      // each line -> its Base64 form
  kBase64Decode,      // lines that do not decode cleanly stay
};

void EncodeHttpEscape(Editor& editor);
void DecodeHttpEscape(Editor& editor);
void EncodeBase64(Editor& editor);
void DecodeBase64(Editor& editor);

// The shared handler.
void RunEncoder(Editor& editor, Encoder encoder);

}  // namespace parvane

#endif  // PARVANE_CHARS_ENCODERS_H_
