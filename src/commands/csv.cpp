// Comma-separated data: key sorts, transposition, text tables and the
// spreadsheet copy. Entry points are declared in csv.h.
#include "commands/csv.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/step_params.h"
#include "editor/fields.h"
#include "text/collation.h"
#include "text/integer.h"
#include "text/key_order.h"
#include "text/literal.h"

namespace parvane {
namespace {

constexpr std::size_t kMaxTransposeExtent = 16384;

// The key sorts and the transposition read spreadsheet text as
// comma-separated; a line already in that form keeps its bytes.
void WorkStoreTabsToCommas(Editor& editor) {
  editor.RewriteWorkStore([](std::string_view line, std::string& out) {
    if (IsPlainRecord(line)) return false;
    out = TabsToCommas(line);
    return out != line;
  });
  editor.EndProgress();
}

// Puts the records padded up to the key in place of their lines, then the
// lines in sorted order: only views move, and only padded records are copied.
void StorePaddedInOrder(LineStore& lines, std::vector<std::pair<std::size_t, std::string>>& padded,
                        const std::vector<std::size_t>& order_of) {
  for (auto& [i, record] : padded) {
    lines.Append(record);
    lines.views()[i] = lines.back();
    lines.views().pop_back();
  }
  LineStore::Index sorted;
  sorted.reserve(order_of.size());
  for (std::size_t i : order_of) sorted.push_back(lines[i]);
  lines.views() = std::move(sorted);
}

enum class SortOrder { kSyllabary, kLength, kNumber };

std::string_view SortCaption(SortOrder order) {
  switch (order) {
    case SortOrder::kSyllabary: return "カンマ区切りテキストの五十音順並べ替え";
    case SortOrder::kLength: return "カンマ区切りテキストの長さ順並べ替え";
    case SortOrder::kNumber: return "カンマ区切りテキストの数値順並べ替え";
  }
  return {};
}

// Returns the key field index to sort by, or nullopt for no sort. The key
// is lowered to the last field of the first line, as a played-back number may
// exceed it.
std::optional<std::size_t> ChooseKey(Editor& editor, SortOrder order) {
  const Lines first_fields = SplitFields(editor.work_store.front());
  // Without fields in the first line there is nothing to choose from; the
  // sort would have no meaning, so the lines stay as they are.
  if (first_fields.empty()) return std::nullopt;
  std::optional<long> key;
  if (editor.Playing()) {
    key = NumberParam(editor, 1);
  } else {
    std::optional<int> chosen = editor.host().ChooseKeyField(Sjis(SortCaption(order)), first_fields);
    if (chosen) key = *chosen;
  }
  // No field chosen or a negative key: no change.
  if (!key || *key < 0) return std::nullopt;
  return std::min(static_cast<std::size_t>(*key), first_fields.size() - 1);
}

void SortCsv(Editor& editor, SortOrder order) {
  const bool syllabary = order == SortOrder::kSyllabary;
  CommandFrame frame(editor,
                     Sjis(syllabary ? "指定されたキーで五十音順に並べ替えています…"
                                    : "指定されたキーで長さ順に並べ替えています…"),
                     {.use_store = true});
  if (editor.work_store.empty()) return;
  // The tab conversion is stored even when no sort follows.
  WorkStoreTabsToCommas(editor);
  // A find that matched nothing leaves no line to take the fields from.
  if (editor.work_store.empty()) return;
  std::optional<std::size_t> key = ChooseKey(editor, order);
  if (!key) return;
  const std::size_t k = *key;

  editor.RecordStep({std::to_string(k)});

  // Each line is compared as the joined line with its key in front (or, for
  // the length order, with the key's five-digit byte length in front); the
  // collation key of that form is computed once per line and the lines are
  // sorted stably by it, so equal keys keep their former order. The line
  // that comes back is the padded record, the key field in its place again.
  // Each chunk of lines is padded and keyed on a thread of its own, with a
  // collator of its own; the private codes are only read, and the records
  // that padding changed are handed over under a lock, once per chunk, in
  // the first round only (the second asks again for the keys of ties).
  const PrivateCodes* table = &editor.private_codes;
  const LineStore& lines = editor.work_store;
  const std::size_t n = lines.size();
  std::vector<std::pair<std::size_t, std::string>> padded;
  std::mutex padded_lock;
  auto make_keys = [&lines, k, syllabary, table, &padded, &padded_lock](KeyBuilder& keys) {
    const JapaneseCollator collator(table);
    std::vector<std::pair<std::size_t, std::string>> mine;
    std::string compared;
    std::string record;
    for (std::size_t i : keys.items()) {
      Lines fields = SplitFields(lines[i]);
      // A line without fields (empty, or control characters only) is left as
      // it is and compared as it stands.
      if (fields.empty()) {
        keys.Add(collator.SortKeyPrefix(lines[i], keys.limit()));
        continue;
      }
      if (fields.size() < k + 1) fields.resize(k + 1);
      record = JoinFields(fields);
      if (syllabary) {
        if (k == 0) {
          compared = record;
        } else {
          std::rotate(fields.begin(), fields.begin() + k, fields.begin() + k + 1);
          compared = JoinFields(fields);
        }
      } else {
        // The record comes back as it was joined, not by cutting the length
        // off a joined line: a record of one empty field ("") would otherwise
        // lose its quotes and become an empty line, a line without fields.
        char length[16];
        std::snprintf(length, sizeof length, "%05zu,", fields[k].size());
        compared = length;
        compared += record;
      }
      keys.Add(collator.SortKeyPrefix(compared, keys.limit()));
      if (!keys.whole() && record != lines[i]) mine.emplace_back(i, std::move(record));
    }
    if (mine.empty()) return;
    const std::lock_guard<std::mutex> hold(padded_lock);
    for (auto& entry : mine) padded.push_back(std::move(entry));
  };
  std::vector<std::size_t> order_of = StableOrderByKeys(
      n, make_keys, [&editor](std::size_t i, std::size_t count) { editor.Progress(i, count); });
  StorePaddedInOrder(editor.work_store, padded, order_of);
}

std::string Repeat(const std::string& piece, std::size_t count) {
  std::string out;
  out.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

}  // namespace

void SortCsvBySyllabary(Editor& editor) { SortCsv(editor, SortOrder::kSyllabary); }
void SortCsvByLength(Editor& editor) { SortCsv(editor, SortOrder::kLength); }

void TransposeCsv(Editor& editor) {
  editor.RecordStep();
  CommandFrame frame(editor, Sjis("行と列を入れ替えています…"), {.use_store = true});
  if (editor.work_store.empty()) return;
  WorkStoreTabsToCommas(editor);
  const LineStore& lines = editor.work_store;
  const std::string too_wide = Sjis("処理能力を超えた広さを持っています。");
  const std::size_t columns = lines.size();
  if (columns > kMaxTransposeExtent) {
    editor.host().Message(too_wide, MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  std::vector<Lines> cells(columns);
  std::size_t rows = 1;
  for (std::size_t i = 0; i < columns; ++i) {
    cells[i] = SplitFields(lines[i]);
    rows = std::max(rows, cells[i].size());
  }
  if (rows > kMaxTransposeExtent) {
    editor.host().Message(too_wide, MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  // Empty fields, given or beyond a line's last field, come out empty
  // (nothing between their commas), not as a field holding a blank.
  LineStore out;
  out.ReserveLines(rows);
  Lines row_fields(columns);
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < columns; ++c) {
      if (r < cells[c].size()) {
        row_fields[c] = std::move(cells[c][r]);
      } else {
        row_fields[c].clear();
      }
    }
    out.Append(JoinFields(row_fields));
    editor.Progress(r, rows);
  }
  editor.work_store = std::move(out);
}

void CsvToTextTable(Editor& editor) {
  editor.RecordStep();
  // Stored only when the table is built: a refusal leaves the document,
  // selection and all, as it was.
  CommandFrame::Flags flags;
  flags.store = false;
  flags.use_store = true;
  CommandFrame frame(editor, Sjis("カンマ区切りテキストをテキスト表に変換しています…"), flags);
  if (editor.doc.empty()) return;
  const LineStore& lines = editor.work_store;
  const std::size_t n = lines.size();
  std::vector<Lines> cells(n);
  std::size_t columns = 0;
  for (std::size_t i = 0; i < n; ++i) {
    cells[i] = SplitFields(lines[i]);
    columns = std::max(columns, cells[i].size());
    // A line wider than the table can hold is refused before any width work.
    if (columns > kMaxTableColumns) {
      editor.host().Message(
          Sjis("項目の数が 1000 を超える行があるため、テキスト表に変換できません。"),
          MessageIcon::kError, MessageButtons::kOk);
      return;
    }
  }
  // Lines without any field give no table; they stay as they are.
  if (columns == 0) return;
  std::vector<std::size_t> width(columns, 0);
  for (const Lines& fields : cells) {
    for (std::size_t c = 0; c < fields.size(); ++c) width[c] = std::max(width[c], fields[c].size());
  }
  // Even widths, because the box characters are two columns wide.
  for (std::size_t& w : width) w += w % 2;

  const std::string vertical = Sjis("┃");
  const std::string horizontal = Sjis("━");
  auto border = [&](const char* left, const char* middle, const char* right) {
    const std::string l = Sjis(left), m = Sjis(middle), r = Sjis(right);
    std::string line = l;
    for (std::size_t c = 0; c < columns; ++c) {
      line += Repeat(horizontal, width[c] / 2);
      line += c + 1 < columns ? m : r;
    }
    return line;
  };
  const std::string top = border("┏", "┳", "┓");
  const std::string separator = border("┣", "╋", "┫");
  const std::string bottom = border("┗", "┻", "┛");

  LineStore table;
  table.ReserveLines(2 * n + 1);
  table.Append(top);
  static const std::string kEmpty;
  std::string line;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) table.Append(separator);
    line = vertical;
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string& field = c < cells[i].size() ? cells[i][c] : kEmpty;
      const std::size_t pad = width[c] - field.size();
      if (!field.empty() && ParseInteger(field).has_value()) {
        line.append(pad, ' ');
        line += field;
      } else {
        line += field;
        line.append(pad, ' ');
      }
      line += vertical;
    }
    table.Append(line);
    editor.Progress(i, n);
  }
  table.Append(bottom);
  editor.work_store = std::move(table);
  frame.Store();
}

std::string SpreadsheetLine(std::string_view csv_line) {
  Lines fields = SplitFields(csv_line);
  // One field alone is exactly the JoinFields form (an empty one being two
  // quotes); among several, an empty cell is nothing between its tabs.
  if (fields.size() == 1) return JoinFields(fields);
  std::string out;
  Lines one(1);
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (c > 0) out += '\t';
    if (fields[c].empty()) continue;
    one[0] = std::move(fields[c]);
    out += JoinFields(one);
  }
  return out;
}

void CopyForSpreadsheet(Editor& editor) {
  if (editor.doc.empty()) return;
  editor.RecordStep();
  CommandFrame::Flags flags;
  flags.save_undo = false;
  flags.collect = false;
  flags.store = false;
  CommandFrame frame(editor, "", flags);
  const Document& doc = editor.doc;
  const bool selection = doc.SelectedCount() > 1;
  const std::size_t n = doc.size();
  std::string text;
  for (std::size_t row = 0; row < n; ++row) {
    if (selection && !doc.IsSelected(row)) continue;
    text += SpreadsheetLine(doc.line(row));
    text += "\r\n";
    editor.Progress(row, n);
  }
  editor.host().SetClipboardText(text);
}

namespace {

// The first byte of a numeric key sort's key: numbers below zero, then zero
// and above, then keys that are not numbers, each class in its own order.
constexpr char kNegative = 1;
constexpr char kNotNegative = 2;
constexpr char kNotNumber = 3;

// Reads field as a decimal number -- optional blanks, an optional sign,
// digits (half- or full-width) with an optional fraction, optional blanks --
// and writes to *key a key whose byte order is the numbers' order by value:
// the class, the count of whole digits without leading zeros (one byte below
// 0xF0, else 0xF0 and four bytes, most significant first), the whole digits,
// the fraction's digits without trailing zeros. Below zero every byte after
// the class is inverted and a 0xFF ends the key, so that a larger magnitude,
// or a fraction that goes on further, comes first. The count takes one byte
// so that the eight bytes the sort compares first hold six digits. Returns
// false when the field is not a number.
bool NumberKey(std::string_view field, std::string* key) {
  static const std::string kFullSpace = Sjis("　");
  static const std::string kFullMinus = Sjis("－");
  static const std::string kFullPlus = Sjis("＋");
  static const std::string kFullPoint = Sjis("．");
  constexpr std::size_t kHeader = 2;  // the class and a one-byte count of whole digits
  std::size_t i = 0;
  auto skip_blanks = [&] {
    for (;;) {
      if (i < field.size() && field[i] == ' ') {
        ++i;
      } else if (field.substr(i, 2) == kFullSpace) {
        i += 2;
      } else {
        return;
      }
    }
  };
  auto digit = [&](int* d) {
    const unsigned char b = static_cast<unsigned char>(field[i]);
    if (b >= '0' && b <= '9') {
      *d = b - '0';
      return 1;
    }
    if (b == 0x82 && i + 1 < field.size()) {
      const unsigned char t = static_cast<unsigned char>(field[i + 1]);
      if (t >= 0x4F && t <= 0x58) {
        *d = t - 0x4F;
        return 2;
      }
    }
    return 0;
  };
  key->assign(kHeader, '\0');
  bool negative = false;
  skip_blanks();
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
    negative = field[i] == '-';
    ++i;
  } else if (field.substr(i, 2) == kFullMinus || field.substr(i, 2) == kFullPlus) {
    negative = field.substr(i, 2) == kFullMinus;
    i += 2;
  }
  std::size_t digits = 0;
  int d = 0;
  for (int n; i < field.size() && (n = digit(&d)) > 0; i += n, ++digits) {
    if (d != 0 || key->size() > kHeader) key->push_back(static_cast<char>('0' + d));
  }
  const std::size_t whole = key->size() - kHeader;
  if (i < field.size() && (field[i] == '.' || field.substr(i, 2) == kFullPoint)) {
    i += field[i] == '.' ? 1 : 2;
    for (int n; i < field.size() && (n = digit(&d)) > 0; i += n, ++digits) {
      key->push_back(static_cast<char>('0' + d));
    }
  }
  skip_blanks();
  if (digits == 0 || i != field.size()) return false;
  while (key->size() > kHeader + whole && key->back() == '0') key->pop_back();
  // Minus zero is zero.
  if (key->size() == kHeader) negative = false;
  (*key)[0] = negative ? kNegative : kNotNegative;
  constexpr std::size_t kLongCount = 0xF0;
  if (whole < kLongCount) {
    (*key)[1] = static_cast<char>(whole);
  } else {
    (*key)[1] = static_cast<char>(kLongCount);
    key->insert(kHeader, 4, '\0');
    for (int b = 0; b < 4; ++b) (*key)[kHeader + b] = static_cast<char>(whole >> (24 - 8 * b) & 0xFF);
  }
  if (negative) {
    for (std::size_t j = 1; j < key->size(); ++j) (*key)[j] = static_cast<char>(~(*key)[j]);
    key->push_back(static_cast<char>(0xFF));
  }
  return true;
}

// Field k of a plain record, read in place; nullopt when the line is not
// plain or has no field k (it is then split, and padded up to the key).
std::optional<std::string_view> PlainField(std::string_view line, std::size_t k) {
  if (!IsPlainRecord(line)) return std::nullopt;
  std::size_t start = 0;
  for (std::size_t f = 0; f < k; ++f) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return std::nullopt;
    start = comma + 1;
  }
  return line.substr(start, line.find(',', start) - start);
}

}  // namespace

void SortCsvByNumber(Editor& editor) {
  CommandFrame frame(editor, Sjis("指定されたキーで数値順に並べ替えています…"), {.use_store = true});
  if (editor.work_store.empty()) return;
  WorkStoreTabsToCommas(editor);
  if (editor.work_store.empty()) return;
  std::optional<std::size_t> key = ChooseKey(editor, SortOrder::kNumber);
  if (!key) return;
  const std::size_t k = *key;
  editor.RecordStep({std::to_string(k)});

  // Records are padded up to the key as the other key sorts pad them, so the
  // three sorts give the same lines in different orders. Each line's key is
  // a byte string (NumberKey, or the collation key of a key that is not a
  // number), built once, on every core, as the syllabary sort builds its
  // keys; most lines are plain records whose key field is read in place.
  const PrivateCodes* table = &editor.private_codes;
  const LineStore& lines = editor.work_store;
  std::vector<std::pair<std::size_t, std::string>> padded;
  std::mutex padded_lock;
  auto make_keys = [&lines, k, table, &padded, &padded_lock](KeyBuilder& keys) {
    const JapaneseCollator collator(table);
    std::vector<std::pair<std::size_t, std::string>> mine;
    std::string sort_key;
    Lines fields;
    for (std::size_t i : keys.items()) {
      const std::string_view line = lines[i];
      std::optional<std::string_view> field = PlainField(line, k);
      if (!field) {
        fields = SplitFields(line);
        // A line without fields is compared as an empty key that is not a
        // number, and left as it is.
        if (fields.empty()) {
          keys.Add(std::string_view(&kNotNumber, 1));
          continue;
        }
        if (fields.size() < k + 1) fields.resize(k + 1);
        std::string record = JoinFields(fields);
        if (record != line) mine.emplace_back(i, std::move(record));
        field = fields[k];
      }
      if (!NumberKey(*field, &sort_key)) {
        sort_key.assign(1, kNotNumber);
        sort_key += collator.SortKey(*field);
      }
      keys.Add(sort_key);
    }
    if (mine.empty()) return;
    const std::lock_guard<std::mutex> hold(padded_lock);
    for (auto& entry : mine) padded.push_back(std::move(entry));
  };
  // One round: equal numbers tie past any prefix, and a key is short.
  std::vector<std::size_t> order_of = StableOrderByWholeKeys(
      lines.size(), make_keys,
      [&editor](std::size_t i, std::size_t count) { editor.Progress(i, count); });
  StorePaddedInOrder(editor.work_store, padded, order_of);
}

}  // namespace parvane
