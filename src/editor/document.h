// The document: an ordered list of Shift_JIS lines without terminators (a
// line store), with a per-row selection and a current row.
#ifndef PARVANE_EDITOR_DOCUMENT_H_
#define PARVANE_EDITOR_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/line_store.h"

namespace parvane {

using Lines = std::vector<std::string>;

// Returns every line followed by CR LF (the last one too).
std::string JoinLines(const Lines& lines);

// Splits text into lines at CR LF, a lone CR and a lone LF (LF CR is two
// breaks); a terminator at the very end adds no empty line. Every other byte,
// NUL included, stays in its line.
Lines SplitLines(std::string_view text);


// Splits every line that holds CR or LF into lines as SplitLines does (a line
// that is only a break becomes one empty line); the others stay as they are.
// Lines without a break are not copied.
void SplitAtLineBreaks(Lines& lines);

class Document {
 public:
  const LineStore& lines() const { return lines_; }
  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  std::string_view line(std::size_t row) const { return lines_[row]; }

  // The document text: every line followed by CR LF.
  std::string Text() const { return lines_.Text(); }

  // Replaces every line; the selection is cleared, the current row kept in range.
  void SetText(std::string text) { SetStore(LineStore::FromText(std::move(text))); }
  void SetLines(const Lines& lines) { SetStore(LineStore::FromStrings(lines)); }
  void SetStore(LineStore lines);

  // Drops the text of every row, keeping as many empty rows (the lines have
  // moved out to a command that stores its result over them).
  void BlankRows() {
    LineStore blank;
    blank.views().assign(size(), {});
    lines_ = std::move(blank);
  }
  // Moves every line out, leaving an empty document (for a command that
  // stores its result over the whole document when it ends).
  LineStore TakeStore() {
    LineStore taken = std::move(lines_);
    SetStore(LineStore());
    return taken;
  }
  // See LineStore::CompactIfSparse.
  void CompactIfSparse() { lines_.CompactIfSparse(); }

  // Replaces one line's text, keeping its selection.
  void SetLine(std::size_t row, std::string_view text);

  // Inserts lines before row (row == size() appends); the new rows are selected
  // when select is true.
  void InsertLines(std::size_t row, const Lines& lines, bool select) {
    InsertStore(row, LineStore::FromStrings(lines), select);
  }
  void InsertStore(std::size_t row, const LineStore& lines, bool select);

  // Puts lines in place of the selected rows, as one block at the first of
  // them (at the end when none is selected), selected as a command's result.
  // All or nothing: when memory runs out the document is unchanged.
  void ReplaceSelected(const LineStore& lines);

  // Removes the selected rows in one pass. Returns the index of the lowest
  // removed row (size() when none was selected).
  std::size_t EraseSelected();

  // Removes one row.
  void EraseRow(std::size_t row);

  // Rotates rows [first, last) so that row middle becomes row first, each
  // row keeping its selection (std::rotate on views and flags: no copies).
  void RotateRows(std::size_t first, std::size_t middle, std::size_t last);

  // True when the selection was made by a find or stored as a command's
  // result rather than left by the person's cursor: then even one selected
  // row, or none, is what the next command works on. Every change of the
  // selection through the calls below clears it.
  bool selection_is_result() const { return selection_is_result_; }
  void set_selection_is_result(bool on) { selection_is_result_ = on; }

  bool IsSelected(std::size_t row) const { return selected_[row] != 0; }
  void Select(std::size_t row, bool on);
  void SelectAll();
  void ClearSelection();
  void InvertSelection();
  std::size_t SelectedCount() const { return selected_count_; }
  // The selected rows in document order.
  std::vector<std::size_t> SelectedRows() const;

  // The row that has the focus (-1 when the document is empty or none has).
  long current_row() const { return current_row_; }
  void set_current_row(long row) { current_row_ = row; }

 private:
  void FixCurrentRow();

  LineStore lines_;
  std::vector<std::uint8_t> selected_;  // one flag per line
  std::size_t selected_count_ = 0;
  bool selection_is_result_ = false;
  long current_row_ = -1;
};

}  // namespace parvane

#endif  // PARVANE_EDITOR_DOCUMENT_H_
