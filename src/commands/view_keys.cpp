// The line view's editing keys and the file information text.
#include "commands/view_keys.h"

#include <algorithm>
#include <string>

#include "commands/adding.h"
#include "editor/files.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

CommandFrame::Flags SelectionOnly() {
  CommandFrame::Flags flags;
  flags.whole_if_none_selected = false;
  flags.use_store = true;
  return flags;
}

// The longest line shown in the information box: 63 bytes, or 62 when the
// 63rd byte starts a two-byte character, so no character is cut in half.
std::string Excerpt(std::string_view line) {
  constexpr std::size_t kExcerpt = 63;
  if (line.size() <= kExcerpt) return std::string(line);
  std::size_t cut = kExcerpt;
  if (SjisCharStart(line, kExcerpt) < kExcerpt) --cut;
  return std::string(line.substr(0, cut)) + "...";
}

}  // namespace

void InsertEmptyLine(Editor& editor) {
  CommandFrame::Flags flags;
  flags.collect = false;
  flags.store = false;
  CommandFrame frame(editor, Sjis("空行を挿入しています…"), flags);
  Document& doc = editor.doc;
  const long current = doc.current_row();
  // Without a current row (an empty document) the line goes to the top.
  const std::size_t row = current < 0 ? 0 : std::min(static_cast<std::size_t>(current), doc.size());
  doc.InsertLines(row, Lines(1), false);
  doc.set_current_row(
      static_cast<long>(editor.selection_style == SelectionStyle::kExtended ? row + 1 : row));
}

void RemoveLeadingSpace(Editor& editor) {
  // The keys edit the selected rows in place: the selection stays the
  // person's (or the find's) as it was, not a command's result.
  const bool was_result = editor.doc.selection_is_result();
  {
    CommandFrame frame(editor, Sjis("行頭の空白を削除しています…"), SelectionOnly());
    // Dropping the space narrows the view: no byte is copied.
    for (std::string_view& line : editor.work_store.views()) {
      if (!line.empty() && line[0] == ' ') line.remove_prefix(1);
    }
  }
  editor.doc.set_selection_is_result(was_result);
}

void AddLeadingSpace(Editor& editor) {
  const bool was_result = editor.doc.selection_is_result();
  {
    CommandFrame frame(editor, Sjis("行頭に空白を挿入しています…"), SelectionOnly());
    editor.RewriteWorkStore([](std::string_view line, std::string& out) {
      out += ' ';
      out += line;
      return true;
    });
  }
  editor.doc.set_selection_is_result(was_result);
}

std::optional<std::string> FileInformation(const Editor& editor) {
  const Document& doc = editor.doc;
  if (doc.empty()) return std::nullopt;
  std::size_t longest = 0;
  std::size_t characters = 0;
  std::size_t bytes = 0;
  for (std::size_t row = 0; row < doc.size(); ++row) {
    std::string_view line = doc.line(row);
    if (line.size() > doc.line(longest).size()) longest = row;
    // Each line is followed by CR LF, two characters and two bytes; a lead
    // byte at a line's end reads as one character whatever follows it.
    characters += Utf16Length(line) + 2;
    bytes += line.size() + 2;
  }
  std::string_view line = doc.line(longest);
  const std::string end = "    \r\n";
  std::string text =
      editor.current_file_name.empty() ? Sjis("無題") : PathToSjis(editor.current_file_name);
  text += "    \r\n\r\n";
  text += Sjis("　文字数 = ") + std::to_string(characters) + end;
  text += Sjis("　サイズ = ") + std::to_string(bytes) + end;
  text += Sjis("　総行数 = ") + std::to_string(doc.size()) + end;
  text += Sjis("　最も長い行の行番号 = ") + std::to_string(longest + 1) + end;
  text += Sjis("　 … ") + Excerpt(line) + end;
  text += Sjis("　最も長い行のサイズ = ") + std::to_string(line.size()) + end;
  text += Sjis("　最も長い行の文字数 = ") + std::to_string(Utf16Length(line)) + end;
  // What the next save writes, as the status bar shows it.
  text += Sjis("　文字コード = ") + std::string(SaveCodeCaption(editor.save_code)) + end;
  text += Sjis("　改行コード = ") + std::string(LineBreakCaption(editor.line_ending.kind)) + end;
  return text;
}

}  // namespace parvane
