// The four commands that move the selected rows of the document.
//
// Moving a run of selected rows up by one is the same as moving the one
// unselected row above it to the run's end, so each run is shifted in one
// pass over the document's views; no command here copies a line's bytes.
#include "commands/moving.h"

#include <string>
#include <utility>
#include <vector>

namespace parvane {
namespace {

CommandFrame::Flags RowFrame() {
  CommandFrame::Flags flags;
  flags.collect = false;
  flags.store = false;
  return flags;
}

// The selected rows' lines, top to bottom: views of the document's blocks,
// no byte copied.
LineStore SelectedTexts(const Document& doc) {
  LineStore texts;
  texts.ShareBlocksOf(doc.lines());
  texts.ReserveLines(doc.SelectedCount());
  for (std::size_t row : doc.SelectedRows()) texts.AppendShared(doc.line(row));
  return texts;
}

}  // namespace

void MoveSelectionUp(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, "", RowFrame());
  Document& doc = editor.doc;
  const std::size_t n = doc.size();
  // A run that starts at row 0 cannot move; every later run can.
  std::size_t a = 0;
  while (a < n && doc.IsSelected(a)) ++a;
  while (a < n) {
    if (!doc.IsSelected(a)) {
      ++a;
      continue;
    }
    std::size_t end = a;
    while (end < n && doc.IsSelected(end)) ++end;
    // The row above the run moves below it.
    doc.RotateRows(a - 1, a, end);
    a = end;
  }
}

void MoveSelectionDown(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, "", RowFrame());
  Document& doc = editor.doc;
  // Rows are walked from the bottom as [first, last) pairs of indexes; a run
  // that ends at the last row cannot move.
  std::size_t end = doc.size();
  while (end > 0 && doc.IsSelected(end - 1)) --end;
  while (end > 0) {
    if (!doc.IsSelected(end - 1)) {
      --end;
      continue;
    }
    std::size_t first = end;
    while (first > 0 && doc.IsSelected(first - 1)) --first;
    // The row below the run moves above it.
    doc.RotateRows(first, end, end + 1);
    end = first;
  }
}

void MoveSelectionToTop(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, "", RowFrame());
  Document& doc = editor.doc;
  if (doc.SelectedCount() == 0) return;
  const LineStore texts = SelectedTexts(doc);
  doc.EraseSelected();
  doc.InsertStore(0, texts, true);
}

void MoveSelectionToBottom(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, "", RowFrame());
  Document& doc = editor.doc;
  if (doc.SelectedCount() == 0) return;
  const LineStore texts = SelectedTexts(doc);
  doc.EraseSelected();
  doc.InsertStore(doc.size(), texts, true);
}

}  // namespace parvane
