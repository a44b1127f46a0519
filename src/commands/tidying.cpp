// The tidying commands, on the frame's work_store. Lists are compacted in one
// forward pass over the views (never one erase per removed line); a line cut
// short (trims, wrapping) stays a view of its old bytes, and only lines whose
// text changes otherwise are written anew, so a million-line document costs
// one walk over its bytes.
#include "commands/tidying.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "editor/step_params.h"
#include "commands/removed_lines.h"
#include "regex/kit.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr unsigned char kFullSpaceLead = 0x81;
constexpr unsigned char kFullSpaceTrail = 0x40;

bool IsFullSpaceAt(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == kFullSpaceLead &&
         static_cast<unsigned char>(s[i + 1]) == kFullSpaceTrail;
}

// Keeps the first line of each run of equal adjacent lines; copies the others
// to *removed in document order.
void CollapseRuns(Editor& editor, LineStore::Index& lines, Lines* removed) {
  const std::size_t n = lines.size();
  if (n == 0) return;
  std::size_t out = 1;
  for (std::size_t i = 1; i < n; ++i) {
    // lines[out - 1] is the kept head of the run lines[i - 1] belongs to, and
    // equality is transitive, so comparing with it is comparing with line i-1.
    if (lines[i] == lines[out - 1]) {
      removed->emplace_back(lines[i]);
    } else {
      if (out != i) lines[out] = lines[i];
      ++out;
    }
    editor.Progress(i, n);
  }
  lines.resize(out);
}

// Removes every line of each run of two or more equal adjacent lines.
void DropRuns(Editor& editor, LineStore::Index& lines, Lines* removed) {
  const std::size_t n = lines.size();
  std::size_t out = 0;
  for (std::size_t i = 0; i < n;) {
    std::size_t end = i + 1;
    while (end < n && lines[end] == lines[i]) ++end;
    if (end - i >= 2) {
      for (std::size_t k = i; k < end; ++k) removed->emplace_back(lines[k]);
    } else {
      if (out != i) lines[out] = lines[i];
      ++out;
    }
    editor.Progress(end - 1, n);
    i = end;
  }
  lines.resize(out);
}

// Drops the views of the lines a duplicate command removes, copying those
// lines to *removed.
using DuplicateRule = void (*)(Editor& editor, LineStore::Index& lines, Lines* removed);

// The duplicate commands differ only in which lines go.
void RunDuplicateCommand(Editor& editor, const std::string& busy, DuplicateRule rule) {
  {
    CommandFrame frame(editor, busy, {.line_growth = 0, .use_store = true});
    editor.removed_lines.clear();
    if (!editor.work_store.empty()) {
      Lines removed;
      rule(editor, editor.work_store.views(), &removed);
      editor.EndProgress();
      SetRemovedLines(editor, std::move(removed));
    }
  }
  RemovedLinesEpilogue(editor);
}

// Replaces every work line by cut(line), a part of it: the view is narrowed,
// no byte copied. Reports progress.
template <typename Cut>
void CutWorkLines(Editor& editor, Cut&& cut) {
  LineStore::Index& lines = editor.work_store.views();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i] = cut(lines[i]);
    editor.Progress(i, lines.size());
  }
  editor.EndProgress();
}

// The swap shared by the plain and the pattern variant: find(line, &length)
// returns the 0-based separator position (npos for none) and its length.
template <typename Find>
void SwapAround(Editor& editor, Find&& find) {
  static const std::string kBusy = Sjis("指定文字を境に左右を入れ替えています…");
  std::optional<std::string> boundary = TextParam(editor, 1);
  if (!boundary) return;
  editor.RecordStep({*boundary});
  CommandFrame frame(editor, kBusy, {.use_store = true});
  if (editor.work_store.empty()) return;
  editor.RewriteWorkStore([&](std::string_view line, std::string& out) {
    std::size_t length = 0;
    std::size_t p = find(*boundary, line, &length);
    if (p == std::string::npos) return false;
    out.append(line.substr(p + length));
    out.append(line.substr(p, length));
    out.append(line.substr(0, p));
    return true;
  });
  editor.EndProgress();
}

}  // namespace

bool CompressSpaceRuns(std::string& line) {
  // One pass: a space of the same kind as the character just kept is
  // dropped. Output never outruns input, so the line is rewritten in place.
  enum { kOther, kHalf, kFull } last = kOther;
  const std::size_t n = line.size();
  std::size_t w = 0;
  for (std::size_t r = 0; r < n;) {
    std::size_t len = SjisCharLength(line, r);
    if (len == 1 && line[r] == ' ') {
      if (last != kHalf) line[w++] = ' ';
      last = kHalf;
    } else if (len == 2 && IsFullSpaceAt(line, r)) {
      if (last != kFull) {
        line[w++] = line[r];
        line[w++] = line[r + 1];
      }
      last = kFull;
    } else {
      if (w != r) std::memmove(&line[w], &line[r], len);
      w += len;
      last = kOther;
    }
    r += len;
  }
  if (w == n) return false;
  line.resize(w);
  return true;
}

std::string_view WithoutLeadingSpaces(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
    } else if (IsFullSpaceAt(line, i)) {
      i += 2;
    } else {
      break;
    }
  }
  return line.substr(i);
}

std::string_view WithoutTrailingSpaces(std::string_view line) {
  // Shift_JIS cannot be read backwards: a final 0x81 0x40 is a full-width
  // space only if 0x81 starts a character, so the line is walked forwards.
  std::size_t end = 0;
  ForEachSjisChar(line, [&](std::size_t i, std::size_t len) {
    bool space = (len == 1 && line[i] == ' ') || (len == 2 && IsFullSpaceAt(line, i));
    if (!space) end = i + len;
  });
  return line.substr(0, end);
}

void TrimLeading(std::string& line) {
  line.erase(0, line.size() - WithoutLeadingSpaces(line).size());
}

void TrimTrailing(std::string& line) { line.resize(WithoutTrailingSpaces(line).size()); }

void WrapPieces(std::string_view line, std::size_t width, std::vector<std::string_view>* pieces) {
  pieces->clear();
  const std::size_t n = line.size();
  std::size_t start = 0;
  do {
    if (n - start <= width) {
      pieces->push_back(line.substr(start));
      break;
    }
    std::size_t end = start;
    for (;;) {
      std::size_t len = SjisCharLength(line, end);
      if (end + len - start > width) break;
      end += len;
    }
    // A width of 1 cannot hold a two-byte character; it is taken whole.
    if (end == start) end = start + SjisCharLength(line, start);
    pieces->push_back(line.substr(start, end - start));
    start = end;
  } while (start < n);
}

void ReverseCharactersTo(std::string_view line, char* out) {
  std::size_t n = line.size();
  // A lead byte cut off at the end is no character: moved to the front it
  // would pair with the next byte, so it stays where it is.
  if (n > 0 && IsSjisLeadByte(static_cast<unsigned char>(line[n - 1])) &&
      SjisCharStart(line, n - 1) == n - 1) {
    --n;
  }
  if (n < line.size()) out[n] = line[n];
  for (std::size_t i = 0; i < n;) {
    std::size_t len = SjisCharLength(line, i);
    std::memcpy(out + (n - i - len), line.data() + i, len);
    i += len;
  }
}

void ReverseCharacters(std::string& line) {
  thread_local std::string buffer;
  buffer.resize(line.size());
  ReverseCharactersTo(line, buffer.data());
  line.assign(buffer);
}

std::size_t FindAtCharacter(std::string_view line, std::string_view boundary) {
  std::size_t cursor = 0;  // always a character start
  for (std::size_t from = 0;;) {
    std::size_t found = line.find(boundary, from);
    if (found == std::string_view::npos) return found;
    while (cursor < found) cursor += SjisCharLength(line, cursor);
    if (cursor == found) return found;
    from = found + 1;
  }
}

void CollapseDuplicateLines(Editor& editor) {
  static const std::string kBusy = Sjis("重複行を一行にまとめています…");
  RunDuplicateCommand(editor, kBusy, CollapseRuns);
}

void RemoveDuplicateLines(Editor& editor) {
  static const std::string kBusy = Sjis("重複行を残さず削除しています…");
  RunDuplicateCommand(editor, kBusy, DropRuns);
}

void CollapseBlankLines(Editor& editor) {
  static const std::string kBusy = Sjis("空行を一行にまとめています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  LineStore::Index& lines = editor.work_store.views();
  const std::size_t n = lines.size();
  std::size_t out = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (lines[i].empty() && out > 0 && lines[out - 1].empty()) continue;
    if (out != i) lines[out] = lines[i];
    ++out;
    editor.Progress(i, n);
  }
  lines.resize(out);
  editor.EndProgress();
}

void RemoveBlankLines(Editor& editor) {
  static const std::string kBusy = Sjis("空の行を削除しています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  std::erase_if(editor.work_store.views(), [](std::string_view line) { return line.empty(); });
}

void CompressSpaces(Editor& editor) {
  static const std::string kBusy = Sjis("連続する空白文字をひとつにまとめています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  // A line without two spaces in a row is kept as it is, without a copy.
  editor.RewriteWorkStore([](std::string_view line, std::string& out) {
    if (line.find("  ") == std::string_view::npos &&
        line.find("\x81\x40\x81\x40") == std::string_view::npos) {
      return false;
    }
    out.assign(line);
    return CompressSpaceRuns(out);
  });
  editor.EndProgress();
}

void TrimLeadingSpaces(Editor& editor) {
  static const std::string kBusy = Sjis("行頭の空白文字を削除しています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  CutWorkLines(editor, WithoutLeadingSpaces);
}

void TrimTrailingSpaces(Editor& editor) {
  static const std::string kBusy = Sjis("行末の空白文字を削除しています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  CutWorkLines(editor, WithoutTrailingSpaces);
}

void WrapLines(Editor& editor) {
  static const std::string kBusy = Sjis("行を折り返しています…");
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  std::optional<long> width = NumberParam(editor, 1);
  if (!width || *width <= 0) return;
  editor.RecordStep({std::to_string(*width)});
  // Each piece becomes a line of its own, also in a partial selection: a row
  // holding line breaks would be one "line" to every later command, and its
  // length check would count the breaks.
  if (editor.work_store.empty()) return;
  const LineStore& lines = editor.work_store;
  const auto w = static_cast<std::size_t>(*width);
  // Every piece but a line's last holds at least w - 1 bytes (a two-byte
  // character may not fit the last byte), so this many rows are enough and
  // the list of a million lines is never reallocated on the way.
  std::size_t most_rows = 0;
  const std::size_t least_piece = std::max<std::size_t>(w - 1, 1);
  for (std::string_view line : lines) {
    most_rows += line.size() <= w ? 1 : (line.size() + least_piece - 1) / least_piece;
  }
  // The pieces are views of the lines they are cut from: no byte is copied.
  LineStore wrapped;
  wrapped.ShareBlocksOf(lines);
  wrapped.ReserveLines(most_rows);
  std::vector<std::string_view> pieces;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() <= w) {
      wrapped.AppendShared(lines[i]);
    } else {
      WrapPieces(lines[i], w, &pieces);
      for (std::string_view piece : pieces) wrapped.AppendShared(piece);
    }
    editor.Progress(i, lines.size());
  }
  editor.work_store = std::move(wrapped);
  editor.EndProgress();
}

void ReverseEachLine(Editor& editor) {
  static const std::string kBusy = Sjis("行の左右を逆にしています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.use_store = true});
  if (editor.work_store.empty()) return;
  // Reversing Shift_JIS characters directly gives what reversing the UTF-16
  // form would, without turning bytes that have no Unicode form into "?".
  // Each line is written reversed straight into the new store.
  editor.ComposeWorkStore([](std::string_view line) { return line.size(); },
                          [](std::string_view line, std::size_t, char* out) {
                            ReverseCharactersTo(line, out);
                            return line.size();
                          });
  editor.EndProgress();
}

void SwapAroundText(Editor& editor) {
  SwapAround(editor, [](std::string_view boundary, std::string_view line, std::size_t* length) {
    *length = boundary.size();
    return FindAtCharacter(line, boundary);
  });
}

void SwapAroundPattern(Editor& editor) {
  SwapAround(editor, [](std::string_view pattern, std::string_view line, std::size_t* length) {
    int position = 0;
    int match_length = 0;
    if (RegexFind(pattern, false, line, &position, &match_length) == 0) {
      return std::string::npos;
    }
    *length = static_cast<std::size_t>(match_length);
    return static_cast<std::size_t>(position - 1);
  });
}

namespace {

// Keeps the first occurrence of every line where it stands; copies each later
// repeat to *removed in document order. One hash lookup per line. The set
// holds the kept lines' views, which point into the store's blocks, so no
// kept line is copied.
void DropRepeats(Editor& editor, LineStore::Index& lines, Lines* removed) {
  const std::size_t n = lines.size();
  std::unordered_set<std::string_view> seen;
  seen.reserve(n);
  std::size_t out = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (seen.contains(lines[i])) {
      removed->emplace_back(lines[i]);
    } else {
      if (out != i) lines[out] = lines[i];
      seen.insert(lines[out]);
      ++out;
    }
    editor.Progress(i, n);
  }
  lines.resize(out);
}

}  // namespace

void RemoveRepeatedLines(Editor& editor) {
  static const std::string kBusy = Sjis("重複行を削除しています…");
  RunDuplicateCommand(editor, kBusy, DropRepeats);
}

}  // namespace parvane
