// The four encoders of "エンコード・デコード" in the hidden menu "隠しメニュー",
// also in "おまけ". Each records itself as its step before it starts, like
// every parameterless command:
//
//   function            step code
//   EncodeHttpEscape    077
//   DecodeHttpEscape    078
//   EncodeBase64        079
//   DecodeBase64        080
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
