// The six whole-line kind commands; see kind_lines.h.
#include "chars/kind_lines.h"

#include "text/literal.h"

namespace parvane {
namespace {

void ConvertLines(Editor& editor, std::string_view busy_message, KindMapping mapping) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis(busy_message), {.use_store = true});
  // A line the mapping leaves as it is keeps its bytes in the store.
  editor.RewriteWorkStore([mapping](std::string_view line, std::string& out) {
    AppendMappedKind(mapping, line, &out);
    return out != line;
  });
  editor.EndProgress();
}

}  // namespace

std::string ConvertWholeLine(KindMapping mapping, std::string_view line) {
  // The full-width mapping itself turns "\" into "￥", which is the rule the
  // full-width command applies to any backslash left over.
  return MapKind(mapping, line);
}

void ConvertToHalfWidth(Editor& editor) {
  ConvertLines(editor, "全角文字を半角文字に変換しています…", KindMapping::kHalfWidth);
}

void ConvertToFullWidth(Editor& editor) {
  ConvertLines(editor, "半角文字を全角文字に変換しています…", KindMapping::kFullWidth);
}

void HiraganaToKatakana(Editor& editor) {
  ConvertLines(editor, "ひらがなをカタカナに変換しています…", KindMapping::kKatakana);
}

void KatakanaToHiragana(Editor& editor) {
  ConvertLines(editor, "カタカナをひらがなに変換しています…", KindMapping::kHiragana);
}

void ConvertToLowerCase(Editor& editor) {
  ConvertLines(editor, "大文字を小文字に変換しています…", KindMapping::kLowerCase);
}

void ConvertToUpperCase(Editor& editor) {
  ConvertLines(editor, "小文字を大文字に変換しています…", KindMapping::kUpperCase);
}

}  // namespace parvane
