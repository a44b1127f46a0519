// The encoders' shared handler; see encoders.h.
#include "chars/encoders.h"

#include "chars/base64.h"
#include "chars/http_escape.h"
#include "text/literal.h"

namespace parvane {
namespace {

constexpr std::string_view kBusyMessages[] = {
    "HTTPエスケープ文字列に変換しています…",
    "HTTPエスケープ文字列を元に戻しています…",
    "Base64形式文字列に変換しています…",
    "Base64形式文字列を元に戻しています…",
};

}  // namespace

void RunEncoder(Editor& editor, Encoder encoder) {
  editor.RecordStep();
  std::string error;
  {
    CommandFrame frame(editor, Sjis(kBusyMessages[static_cast<int>(encoder)]), {.use_store = true});
    std::string bad;
    bool failed = false;
    editor.RewriteWorkStore([&](std::string_view line, std::string& out) {
      if (failed) return false;
      switch (encoder) {
        case Encoder::kHttpEscapeEncode:
          out = ToHttpEscape(line);
          break;
        case Encoder::kHttpEscapeDecode:
          if (!FromHttpEscape(line, &out, &bad)) {
            // This line and the ones after it stay as they were; the lines
            // before keep their conversion and are stored.
            error = "'" + bad + Sjis("' は整数ではありません");
            failed = true;
            return false;
          }
          break;
        case Encoder::kBase64Encode:
          out = ToBase64(line);
          break;
        case Encoder::kBase64Decode:
          if (!FromBase64(line, &out)) return false;
          break;
      }
      return out != line;
    });
    // A decoded CR or LF becomes a row break when the frame stores the lines.
    editor.EndProgress();
  }
  if (!error.empty()) editor.host().Message(error, MessageIcon::kError, MessageButtons::kOk);
}

void EncodeHttpEscape(Editor& editor) { RunEncoder(editor, Encoder::kHttpEscapeEncode); }
void DecodeHttpEscape(Editor& editor) { RunEncoder(editor, Encoder::kHttpEscapeDecode); }
void EncodeBase64(Editor& editor) { RunEncoder(editor, Encoder::kBase64Encode); }
void DecodeBase64(Editor& editor) { RunEncoder(editor, Encoder::kBase64Decode); }

}  // namespace parvane
