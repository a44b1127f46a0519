#include "editor/document.h"

#include <algorithm>

namespace parvane {

std::string JoinLines(const Lines& lines) {
  std::size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string text;
  text.reserve(total);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

Lines SplitLines(std::string_view text) {
  // Count first so the vector is allocated once for a million-line file.
  std::size_t breaks = 0;
  for (char c : text) breaks += (c == '\n' || c == '\r');
  Lines lines;
  lines.reserve(breaks + 1);
  std::size_t start = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

void Document::SetLines(Lines lines) {
  lines_ = std::move(lines);
  selected_.assign(lines_.size(), 0);
  selected_count_ = 0;
  FixCurrentRow();
}

void Document::InsertLines(std::size_t row, Lines lines, bool select) {
  row = std::min(row, lines_.size());
  const std::size_t count = lines.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(row),
                std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
  selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(row), count, select ? 1 : 0);
  if (select) selected_count_ += count;
  if (current_row_ < 0 && !lines_.empty()) current_row_ = static_cast<long>(row);
}

std::size_t Document::EraseSelected() {
  std::size_t lowest = lines_.size();
  std::size_t out = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (selected_[i]) {
      lowest = std::min(lowest, i);
      continue;
    }
    if (out != i) lines_[out] = std::move(lines_[i]);
    selected_[out] = 0;
    ++out;
  }
  lines_.resize(out);
  selected_.resize(out);
  selected_count_ = 0;
  FixCurrentRow();
  return lowest;
}

void Document::EraseRow(std::size_t row) {
  if (row >= lines_.size()) return;
  if (selected_[row]) --selected_count_;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(row));
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(row));
  FixCurrentRow();
}

void Document::Select(std::size_t row, bool on) {
  if (row >= selected_.size() || (selected_[row] != 0) == on) return;
  selected_[row] = on ? 1 : 0;
  if (on) {
    ++selected_count_;
  } else {
    --selected_count_;
  }
}

void Document::SelectAll() {
  std::fill(selected_.begin(), selected_.end(), 1);
  selected_count_ = selected_.size();
}

void Document::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), 0);
  selected_count_ = 0;
}

void Document::InvertSelection() {
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
