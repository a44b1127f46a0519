// Comma-separated data: key sorts, transposition, text tables and the
// spreadsheet copy. Entry points are declared in csv.h.
#include "commands/csv.h"

#include <algorithm>
#include <numeric>
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
    key = NumberParam(editor, 1, Sjis("並び替えに使うキーの番号は？（0～）"));
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

  editor.step_record.clear();
  editor.step_record.push_back(Sjis(syllabary ? "[カンマ区切りテキストの五十音順並べ替え]"
                                              : "[カンマ区切りテキストの長さ順並べ替え]"));
  editor.step_record.push_back(std::to_string(k));
  editor.RecordStepRecord();

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
  editor.RecordStep(Sjis("[カンマ区切りテキストの行と列を入れ替える]"));
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
  editor.RecordStep(Sjis("[カンマ区切りテキストをテキスト表に変換する]"));
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
  editor.RecordStep(Sjis("[Excel に貼り付けられる形式でコピー]"));
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

// A field read as a decimal number: optional blanks, an optional sign,
// digits (half- or full-width) with an optional fraction, optional blanks.
struct Decimal {
  bool negative = false;
  std::string whole;     // no leading zeros; "" for zero
  std::string fraction;  // no trailing zeros
};

// Returns the field's number, or nullopt when the field is not one.
std::optional<Decimal> ReadDecimal(std::string_view field) {
  static const std::string kFullSpace = Sjis("　");
  static const std::string kFullMinus = Sjis("－");
  static const std::string kFullPlus = Sjis("＋");
  static const std::string kFullPoint = Sjis("．");
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
  Decimal number;
  skip_blanks();
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
    number.negative = field[i] == '-';
    ++i;
  } else if (field.substr(i, 2) == kFullMinus || field.substr(i, 2) == kFullPlus) {
    number.negative = field.substr(i, 2) == kFullMinus;
    i += 2;
  }
  std::size_t digits = 0;
  int d = 0;
  for (int n; i < field.size() && (n = digit(&d)) > 0; i += n, ++digits) {
    if (d != 0 || !number.whole.empty()) number.whole.push_back(static_cast<char>('0' + d));
  }
  if (i < field.size() && (field[i] == '.' || field.substr(i, 2) == kFullPoint)) {
    i += field[i] == '.' ? 1 : 2;
    for (int n; i < field.size() && (n = digit(&d)) > 0; i += n, ++digits) {
      number.fraction.push_back(static_cast<char>('0' + d));
    }
  }
  skip_blanks();
  if (digits == 0 || i != field.size()) return std::nullopt;
  while (!number.fraction.empty() && number.fraction.back() == '0') number.fraction.pop_back();
  // Minus zero is zero.
  if (number.whole.empty() && number.fraction.empty()) number.negative = false;
  return number;
}

// <0, 0 or >0 by value; digit strings of any length, no overflow.
int CompareDecimals(const Decimal& a, const Decimal& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  int magnitude = 0;
  if (a.whole.size() != b.whole.size()) {
    magnitude = a.whole.size() < b.whole.size() ? -1 : 1;
  } else if (int c = a.whole.compare(b.whole); c != 0) {
    magnitude = c < 0 ? -1 : 1;
  } else if (int f = a.fraction.compare(b.fraction); f != 0) {
    magnitude = f < 0 ? -1 : 1;
  }
  return a.negative ? -magnitude : magnitude;
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
  editor.step_record = {Sjis("[カンマ区切りテキストの数値順並べ替え]"), std::to_string(k)};
  editor.RecordStepRecord();

  // Records are padded up to the key as the other key sorts pad them, so the
  // three sorts give the same lines in different orders.
  struct Key {
    std::optional<Decimal> number;
    std::string collation;  // for a key that is not a number
  };
  const JapaneseCollator collator(&editor.private_codes);
  const LineStore& lines = editor.work_store;
  const std::size_t n = lines.size();
  std::vector<Key> keys(n);
  std::vector<std::pair<std::size_t, std::string>> padded;
  for (std::size_t i = 0; i < n; ++i) {
    Lines fields = SplitFields(lines[i]);
    if (!fields.empty()) {
      if (fields.size() < k + 1) fields.resize(k + 1);
      std::string record = JoinFields(fields);
      if (record != lines[i]) padded.emplace_back(i, std::move(record));
      keys[i].number = ReadDecimal(fields[k]);
      if (!keys[i].number) keys[i].collation = collator.SortKey(fields[k]);
    }
    editor.Progress(i, n);
  }
  std::vector<std::size_t> order_of(n);
  std::iota(order_of.begin(), order_of.end(), std::size_t{0});
  std::stable_sort(order_of.begin(), order_of.end(), [&keys](std::size_t a, std::size_t b) {
    const Key& x = keys[a];
    const Key& y = keys[b];
    if (x.number.has_value() != y.number.has_value()) return x.number.has_value();
    if (x.number) return CompareDecimals(*x.number, *y.number) < 0;
    return x.collation < y.collation;
  });
  StorePaddedInOrder(editor.work_store, padded, order_of);
}

}  // namespace parvane
