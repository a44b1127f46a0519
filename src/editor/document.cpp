#include "editor/document.h"

#include <algorithm>
#include <cstring>

namespace parvane {

namespace {

// Sets the top bit of every byte of x that is zero and no other bit; no
// carry crosses bytes, as only each byte's low seven bits are added to 0x7F.
std::uint64_t ZeroBytes(std::uint64_t x) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

struct BreakCounts {
  std::size_t cr = 0;
  std::size_t lf = 0;
};

// Counts CR and LF bytes eight at a time.
BreakCounts CountBreaks(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  BreakCounts counts;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    // One flag per byte, summed into the top byte by one multiplication.
    counts.lf += static_cast<std::size_t>(((ZeroBytes(word ^ ('\n' * kOnes)) >> 7) * kOnes) >> 56);
    counts.cr += static_cast<std::size_t>(((ZeroBytes(word ^ ('\r' * kOnes)) >> 7) * kOnes) >> 56);
  }
  for (; i < text.size(); ++i) {
    counts.lf += text[i] == '\n';
    counts.cr += text[i] == '\r';
  }
  return counts;
}

// Splits text that holds only one kind of break, one memchr per line.
void SplitAt(std::string_view text, char brk, Lines& lines) {
  const char* const s = text.data();
  const std::size_t n = text.size();
  std::size_t start = 0;
  while (start < n) {
    const void* found = std::memchr(s + start, brk, n - start);
    std::size_t end =
        found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - s) : n;
    lines.emplace_back(s + start, end - start);
    start = end + 1;
  }
}

}  // namespace

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
  const char* const s = text.data();
  const std::size_t n = text.size();
  // Count first so the vector is allocated once for a million-line file.
  const BreakCounts counts = CountBreaks(text);
  Lines lines;
  lines.reserve(counts.cr + counts.lf + 1);
  if (counts.cr == 0 || counts.lf == 0) {
    SplitAt(text, counts.cr == 0 ? '\n' : '\r', lines);
    return lines;
  }
  // Both kinds. memchr finds the breaks many bytes at a time; the next LF is remembered,
  // so a file of lone CRs is not searched to its end once per line.
  std::size_t start = 0;
  std::size_t next_lf = 0;
  bool lf_known = false;
  while (start < n) {
    if (!lf_known || next_lf < start) {
      const void* lf = std::memchr(s + start, '\n', n - start);
      next_lf = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - s) : n;
      lf_known = true;
    }
    const void* cr = std::memchr(s + start, '\r', next_lf - start);
    std::size_t end =
        cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - s) : next_lf;
    lines.emplace_back(s + start, end - start);
    if (end == n) break;
    if (s[end] == '\r' && end + 1 < n && s[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

bool HasLineBreak(std::string_view line) {
  return std::memchr(line.data(), '\n', line.size()) != nullptr ||
         std::memchr(line.data(), '\r', line.size()) != nullptr;
}

void SplitAtLineBreaks(Lines& lines) {
  std::size_t first = 0;
  while (first < lines.size() && !HasLineBreak(lines[first])) ++first;
  if (first == lines.size()) return;
  Lines split;
  split.reserve(lines.size() + 1);
  for (std::size_t i = 0; i < first; ++i) split.push_back(std::move(lines[i]));
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (!HasLineBreak(lines[i])) {
      split.push_back(std::move(lines[i]));
      continue;
    }
    Lines parts = SplitLines(lines[i]);
    if (parts.empty()) parts.emplace_back();
    for (std::string& part : parts) split.push_back(std::move(part));
  }
  lines = std::move(split);
}

void Document::SetLines(Lines lines) {
  lines_ = std::move(lines);
  selected_.assign(lines_.size(), 0);
  selected_count_ = 0;
  selection_is_result_ = false;
  FixCurrentRow();
}

Lines Document::TakeLines() {
  Lines taken;
  taken.swap(lines_);
  lines_.resize(taken.size());
  return taken;
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
  selection_is_result_ = false;
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
  selection_is_result_ = false;
  if (row >= lines_.size()) return;
  if (selected_[row]) --selected_count_;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(row));
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(row));
  FixCurrentRow();
}

void Document::RotateRows(std::size_t first, std::size_t middle, std::size_t last) {
  auto at = [](auto& v, std::size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
  std::rotate(at(lines_, first), at(lines_, middle), at(lines_, last));
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
