#include "editor/document.h"

#include <algorithm>
#include <cstring>

namespace parvane {

std::string JoinLines(const Lines& lines) {
  std::size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string text(total, '\0');
  char* p = text.data();
  for (const auto& line : lines) {
    std::memcpy(p, line.data(), line.size());
    p += line.size();
    p[0] = '\r';
    p[1] = '\n';
    p += 2;
  }
  return text;
}

Lines SplitLines(std::string_view text) {
  Lines lines;
  lines.reserve(CountLines(text));
  ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

void SplitAtLineBreaks(Lines& lines) {
  std::size_t first = 0;
  while (first < lines.size() && !HoldsLineBreak(lines[first])) ++first;
  if (first == lines.size()) return;
  Lines split;
  split.reserve(lines.size() + 1);
  for (std::size_t i = 0; i < first; ++i) split.push_back(std::move(lines[i]));
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (!HoldsLineBreak(lines[i])) {
      split.push_back(std::move(lines[i]));
      continue;
    }
    Lines parts = SplitLines(lines[i]);
    if (parts.empty()) parts.emplace_back();
    for (std::string& part : parts) split.push_back(std::move(part));
  }
  lines = std::move(split);
}

void Document::SetStore(LineStore lines) {
  // The flags first: when they cannot be had, the document keeps its lines.
  std::vector<std::uint8_t> selected(lines.size(), 0);
  lines_ = std::move(lines);
  selected_ = std::move(selected);
  selected_count_ = 0;
  selection_is_result_ = false;
  FixCurrentRow();
}

void Document::SetLine(std::size_t row, std::string_view text) {
  lines_.Append(text);
  lines_.views()[row] = lines_.views().back();
  lines_.views().pop_back();
}

void Document::InsertStore(std::size_t row, const LineStore& lines, bool select) {
  LineStore::Index& index = lines_.views();
  row = std::min(row, index.size());
  const std::size_t count = lines.size();
  lines_.ShareBlocksOf(lines);
  index.insert(index.begin() + static_cast<std::ptrdiff_t>(row), lines.begin(), lines.end());
  selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(row), count, select ? 1 : 0);
  if (select) selected_count_ += count;
  if (current_row_ < 0 && !index.empty()) current_row_ = static_cast<long>(row);
}

void Document::ReplaceSelected(const LineStore& lines) {
  // Everything is allocated before anything changes: when memory runs out
  // the document is as it was.
  const LineStore::Index& index = lines_.views();
  const std::size_t kept = index.size() - selected_count_;
  LineStore::Index replaced;
  replaced.reserve(kept + lines.size());
  std::vector<std::uint8_t> selected;
  selected.reserve(kept + lines.size());
  LineStore blocks;
  blocks.ShareBlocksOf(lines_);
  blocks.ShareBlocksOf(lines);
  bool inserted = false;
  std::size_t at = kept;  // where the lines go
  for (std::size_t i = 0; i < index.size(); ++i) {
    if (selected_[i] == 0) {
      replaced.push_back(index[i]);
      selected.push_back(0);
      continue;
    }
    if (inserted) continue;
    inserted = true;
    at = replaced.size();
    replaced.insert(replaced.end(), lines.begin(), lines.end());
    selected.insert(selected.end(), lines.size(), 1);
  }
  if (!inserted) {
    // No row was selected: the lines go at the end.
    replaced.insert(replaced.end(), lines.begin(), lines.end());
    selected.insert(selected.end(), lines.size(), 1);
  }
  blocks.views() = std::move(replaced);
  lines_ = std::move(blocks);
  selected_ = std::move(selected);
  selected_count_ = lines.size();
  selection_is_result_ = true;
  // The current row as removing the rows and then inserting the lines would
  // leave it.
  if (kept == 0) {
    current_row_ = -1;
  } else if (current_row_ >= static_cast<long>(kept)) {
    current_row_ = static_cast<long>(kept) - 1;
  }
  if (current_row_ < 0 && !lines_.empty()) current_row_ = static_cast<long>(at);
}

std::size_t Document::EraseSelected() {
  selection_is_result_ = false;
  LineStore::Index& index = lines_.views();
  std::size_t lowest = index.size();
  std::size_t out = 0;
  for (std::size_t i = 0; i < index.size(); ++i) {
    if (selected_[i]) {
      lowest = std::min(lowest, i);
      continue;
    }
    if (out != i) index[out] = index[i];
    selected_[out] = 0;
    ++out;
  }
  index.resize(out);
  selected_.resize(out);
  selected_count_ = 0;
  FixCurrentRow();
  return lowest;
}

void Document::EraseRow(std::size_t row) {
  selection_is_result_ = false;
  if (row >= lines_.size()) return;
  if (selected_[row]) --selected_count_;
  lines_.views().erase(lines_.views().begin() + static_cast<std::ptrdiff_t>(row));
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(row));
  FixCurrentRow();
}

void Document::RotateRows(std::size_t first, std::size_t middle, std::size_t last) {
  auto at = [](auto& v, std::size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
  std::rotate(at(lines_.views(), first), at(lines_.views(), middle), at(lines_.views(), last));
  std::rotate(at(selected_, first), at(selected_, middle), at(selected_, last));
}

void Document::Select(std::size_t row, bool on) {
  selection_is_result_ = false;
  if (row >= selected_.size() || (selected_[row] != 0) == on) return;
  selected_[row] = on ? 1 : 0;
  if (on) {
    ++selected_count_;
  } else {
    --selected_count_;
  }
}

void Document::SelectAll() {
  selection_is_result_ = false;
  std::fill(selected_.begin(), selected_.end(), 1);
  selected_count_ = selected_.size();
}

void Document::ClearSelection() {
  selection_is_result_ = false;
  std::fill(selected_.begin(), selected_.end(), 0);
  selected_count_ = 0;
}

void Document::InvertSelection() {
  selection_is_result_ = false;
  for (auto& s : selected_) s = s ? 0 : 1;
  selected_count_ = selected_.size() - selected_count_;
}

std::vector<std::size_t> Document::SelectedRows() const {
  std::vector<std::size_t> rows;
  rows.reserve(selected_count_);
  for (std::size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) rows.push_back(i);
  }
  return rows;
}

void Document::FixCurrentRow() {
  if (lines_.empty()) {
    current_row_ = -1;
  } else if (current_row_ >= static_cast<long>(lines_.size())) {
    current_row_ = static_cast<long>(lines_.size()) - 1;
  }
}

}  // namespace parvane
