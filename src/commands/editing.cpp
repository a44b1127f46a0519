// Editing, clipboard and selection commands. These edit rows of the document
// directly, inside BeginCommand/EndCommand, without CollectSelection and
// StoreResult: rows move as views, and clipboard text becomes a store of its
// own without a string per line.
#include "commands/editing.h"

#include <algorithm>
#include <optional>
#include <string>

#include "editor/fields.h"
#include "text/integer.h"
#include "text/literal.h"

namespace parvane {
namespace {

CommandFrame::Flags RowEdit(bool save_undo) {
  CommandFrame::Flags flags;
  flags.save_undo = save_undo;
  flags.collect = false;
  flags.store = false;
  return flags;
}

// Clipboard text as lines; text copied from a spreadsheet (a TAB anywhere)
// becomes comma-separated. Without a TAB the text itself holds the lines.
LineStore ClipboardLines(std::string text) {
  if (text.find('\t') == std::string::npos) return LineStore::FromText(std::move(text));
  LineStore lines;
  lines.ReserveLines(CountLines(text));
  ForEachLine(text, [&lines](std::string_view line) { lines.Append(TabsToCommas(line)); });
  return lines;
}

// The selected rows, each followed by CR LF, read from the document's views.
std::string SelectedRowsText(const Document& doc) {
  std::size_t total = 0;
  for (std::size_t row = 0; row < doc.size(); ++row) {
    if (doc.IsSelected(row)) total += doc.line(row).size() + 2;
  }
  std::string text;
  text.reserve(total);
  for (std::size_t row = 0; row < doc.size(); ++row) {
    if (!doc.IsSelected(row)) continue;
    text += doc.line(row);
    text += "\r\n";
  }
  return text;
}

// After rows were removed: the row now at the former current index (kept in
// range, since the last rows may have gone) is selected and current.
void SelectAtFormerCurrent(Document& doc, long former_current) {
  if (doc.empty()) {
    doc.set_current_row(-1);
    return;
  }
  const long last = static_cast<long>(doc.size()) - 1;
  const long row = std::clamp(former_current, 0L, last);
  doc.Select(static_cast<std::size_t>(row), true);
  doc.set_current_row(row);
}

}  // namespace

void CutRows(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("切り取っています…"), RowEdit(true));
  Document& doc = editor.doc;
  const long current = doc.current_row();
  std::string text = SelectedRowsText(doc);
  doc.EraseSelected();
  editor.host().SetClipboardText(text);
  SelectAtFormerCurrent(doc, current);
}

void CopyRows(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("コピーしています…"), RowEdit(false));
  // Rows a find or a command left are copied as they are, even one; after a
  // find that matched nothing there is nothing to copy.
  const bool result = editor.doc.selection_is_result();
  if (result && editor.doc.SelectedCount() == 0) return;
  if (!result && editor.doc.SelectedCount() <= 1) {
    editor.host().SetClipboardText(editor.doc.Text());
    return;
  }
  editor.host().SetClipboardText(SelectedRowsText(editor.doc));
}

void PasteRows(Editor& editor) {
  std::string text = editor.host().ClipboardText();
  if (text.empty()) return;
  editor.RecordStep();
  // Text from elsewhere may hold a line no command could make: refused
  // before anything changes, as a load refuses it.
  LineStore lines = ClipboardLines(std::move(text));
  if (editor.RefuseLongLines(lines)) return;
  CommandFrame frame(editor, Sjis("貼り付けています…"), RowEdit(true));
  editor.doc.SetStore(std::move(lines));
  editor.current_file_name.clear();
}

void InsertPasteRows(Editor& editor) {
  std::string text = editor.host().ClipboardText();
  if (text.empty()) return;
  editor.RecordStep();
  const LineStore lines = ClipboardLines(std::move(text));
  if (editor.RefuseLongLines(lines)) return;
  CommandFrame frame(editor, Sjis("挿入して貼り付けています…"), RowEdit(true));
  Document& doc = editor.doc;
  doc.ClearSelection();
  const long current = doc.current_row();
  const std::size_t row = current < 0 ? 0 : std::min(static_cast<std::size_t>(current), doc.size());
  doc.InsertStore(row, lines, true);
  doc.set_current_row(static_cast<long>(row));
}

void DeleteRows(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("削除しています…"), RowEdit(true));
  Document& doc = editor.doc;
  const long current = doc.current_row();
  doc.EraseSelected();
  SelectAtFormerCurrent(doc, current);
}

void SelectAllRows(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("すべて選択しています…"), RowEdit(false));
  editor.doc.SelectAll();
}

void InvertRowSelection(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("選択範囲を切り替えています…"), RowEdit(true));
  editor.doc.InvertSelection();
}

void JumpToLine(Editor& editor) {
  std::optional<std::string> answer =
      editor.host().InputBox(kProductName, Sjis("ジャンプ先の行番号は？"), "");
  if (!answer) return;
  JumpToLine(editor, ParseDecimal(*answer).value_or(0));
}

void JumpToLine(Editor& editor, long line_number) {
  const long row = line_number - 1;
  if (row < 0) return;
  CommandFrame frame(editor, Sjis("ジャンプしています…"), RowEdit(false));
  Document& doc = editor.doc;
  // A row beyond the last one is not an error: nothing moves.
  if (static_cast<std::size_t>(row) >= doc.size()) return;
  doc.set_current_row(row);
  if (editor.selection_style == SelectionStyle::kExtended) {
    doc.Select(static_cast<std::size_t>(row), true);
  }
}

void EditCurrentRow(Editor& editor) {
  Document& doc = editor.doc;
  const long row = doc.current_row();
  if (row < 0 || static_cast<std::size_t>(row) >= doc.size()) return;
  const auto index = static_cast<std::size_t>(row);
  std::optional<std::string> answer =
      editor.host().InputBox(Sjis("編集"), Sjis("内容を書き換えます。"), doc.line(index));
  if (answer) doc.SetLine(index, std::move(*answer));
}

void CopyCurrentRow(Editor& editor) {
  const Document& doc = editor.doc;
  const long row = doc.current_row();
  if (row < 0 || static_cast<std::size_t>(row) >= doc.size()) return;
  editor.host().SetClipboardText(doc.line(static_cast<std::size_t>(row)));
}

void ClipboardChanged(Editor& editor) {
  CommandFrame frame(editor, "", RowEdit(false));
  editor.doc.SetStore(ClipboardLines(editor.host().ClipboardText()));
}

}  // namespace parvane
