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
    // The decoders never lengthen a line, and Base64 lengthens the longest
    // line there can be by a third: where no line can then pass the limit,
    // the frame needs no copy of the document's index. (The HTTP escape
    // form may triple a line; its growth is left unbounded.)
    const std::size_t limit = editor.max_line_length;
    std::size_t growth = 0;
    if (encoder == Encoder::kHttpEscapeEncode) growth = kUnknownGrowth;
    if (encoder == Encoder::kBase64Encode) growth = Base64Size(limit) - limit;
    CommandFrame frame(editor, Sjis(kBusyMessages[static_cast<int>(encoder)]),
                       {.line_growth = growth, .use_store = true});
    // Each line is written straight into the new store, on every core; only
    // the HTTP decoder, which stops at the first bad line, goes line by line.
    switch (encoder) {
      case Encoder::kHttpEscapeEncode:
        editor.ComposeWorkStore(
            [](std::string_view line) { return HttpEscapeRoom(line.size()); },
            [](std::string_view line, std::size_t, char* out) { return ToHttpEscape(line, out); });
        break;
      case Encoder::kHttpEscapeDecode: {
        std::string bad;
        bool failed = false;
        editor.RewriteWorkStore([&](std::string_view line, std::string& out) {
          if (failed) return false;
          if (!FromHttpEscape(line, &out, &bad)) {
            // This line and the ones after it stay as they were; the lines
            // before keep their conversion and are stored.
            error = "'" + bad + Sjis("' は整数ではありません");
            failed = true;
            return false;
          }
          return out != line;
        });
        break;
      }
      case Encoder::kBase64Encode:
        editor.ComposeWorkStore([](std::string_view line) { return Base64Size(line.size()); },
                                [](std::string_view line, std::size_t, char* out) {
                                  ToBase64(line, out);
                                  return Base64Size(line.size());
                                });
        break;
      case Encoder::kBase64Decode:
        editor.ComposeWorkStore(
            [](std::string_view line) { return Base64DecodedRoom(line.size()); },
            [](std::string_view line, std::size_t, char* out) {
              const std::size_t written = FromBase64(line, out);
              return written == kNotBase64 ? Editor::kKeepLine : written;
            });
        break;
    }
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
