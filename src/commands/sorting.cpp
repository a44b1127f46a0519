// The sorting commands over WorkLines and the collation order shared by every
// sort of the program.
//
// Every order here is computed as a permutation of indexes and applied once,
// moving the views of the line store (or the strings of a Lines list), so a
// million-line document is sorted in n log n with no copy of its text.
#include "commands/sorting.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "text/collation.h"
#include "text/key_order.h"
#include "text/parallel_sort.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// The most a joined line may hold: line lengths plus line count.
constexpr std::size_t kJoinLimit = 60000;

// Rearranges lines (strings, or the views of a store) so that position i
// holds the former line order[i].
template <class Sequence>
void ApplyOrder(Sequence& lines, const std::vector<std::size_t>& order, Editor* editor) {
  Sequence sorted;
  sorted.reserve(lines.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(std::move(lines[order[i]]));
    if (editor != nullptr) editor->Progress(i, order.size());
  }
  lines.swap(sorted);
}

// CollationOrder for any list of lines that has size() and operator[].
template <class LineList>
std::vector<std::size_t> CollationOrderOf(const LineList& lines, Editor* editor,
                                          const PrivateCodes* codes) {
  // Comparing through the collator inside the sort would convert both lines
  // at every comparison; one key per line makes the sort a plain byte sort,
  // and the collator computes no more of a key than the builder asks for.
  // A collator is not shared between threads: one per chunk. The private
  // codes are only read.
  const PrivateCodes* table = editor != nullptr ? &editor->private_codes : codes;
  auto make_keys = [&lines, table](KeyBuilder& keys) {
    const JapaneseCollator collator(table);
    for (std::size_t i : keys.items()) keys.Add(collator.SortKeyPrefix(lines[i], keys.limit()));
  };
  std::function<void(std::size_t, std::size_t)> progress;
  if (editor != nullptr) {
    progress = [editor](std::size_t i, std::size_t count) { editor->Progress(i, count); };
  }
  return StableOrderByKeys(lines.size(), make_keys, progress);
}

template <class Sequence>
void ShuffleSequence(Sequence& lines, LinearRandom& random, Editor* editor) {
  // Inside-out Fisher-Yates: line i goes to a random slot r of the first
  // i + 1 and the line that held r moves to i. Drawing random(i + 1) for every
  // i leaves the generator where inserting at random positions would.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::size_t r = random.Next(static_cast<std::uint32_t>(i + 1));
    if (r != i) std::swap(lines[i], lines[r]);
    if (editor != nullptr && lines.size() > 1) editor->Progress(i, lines.size());
  }
}

}  // namespace

std::vector<std::size_t> CollationOrder(const Lines& lines, Editor* editor,
                                        const PrivateCodes* codes) {
  return CollationOrderOf(lines, editor, codes);
}

std::vector<std::size_t> CollationOrder(const LineStore& lines, Editor* editor,
                                        const PrivateCodes* codes) {
  return CollationOrderOf(lines, editor, codes);
}

void SortLinesByCollation(Lines& lines, Editor* editor, const PrivateCodes* codes) {
  if (lines.size() < 2) return;
  ApplyOrder(lines, CollationOrderOf(lines, editor, codes), nullptr);
}

void SortLinesByCollation(LineStore& lines, Editor* editor, const PrivateCodes* codes) {
  if (lines.size() < 2) return;
  ApplyOrder(lines.views(), CollationOrderOf(lines, editor, codes), nullptr);
}

void ShuffleWith(Lines& lines, LinearRandom& random, Editor* editor) {
  ShuffleSequence(lines, random, editor);
}

void ShuffleWith(LineStore& lines, LinearRandom& random, Editor* editor) {
  ShuffleSequence(lines.views(), random, editor);
}

void SortBySyllabary(Editor& editor) {
  static const std::string kBusy = Sjis("五十音順に並べ替えています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  SortLinesByCollation(editor.work_store, &editor);
  editor.EndProgress();
}

void SortByLength(Editor& editor) {
  static const std::string kBusy = Sjis("長さ順に並べ替えています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  const LineStore& lines = editor.work_store;
  if (editor.work_store.empty() || lines.size() < 2) return;
  // The order is by length, then by former position, for any number of
  // lines. A key of zero-padded length and index compared as text gives this
  // order only while the index fits its field; comparing the two numbers
  // directly is that order with the index field as wide as it needs to be,
  // so a list of a million lines or more sorts the same way.
  // Lengths beside their indexes, so the sort reads no line.
  struct Entry {
    std::size_t length;
    std::size_t index;
  };
  std::vector<Entry> entries(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) entries[i] = {lines[i].size(), i};
  ParallelStableSort(entries, [](const Entry& a, const Entry& b) { return a.length < b.length; });
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].index;
  std::vector<Entry>().swap(entries);
  ApplyOrder(editor.work_store.views(), order, &editor);
  editor.EndProgress();
}

void ReverseLines(Editor& editor) {
  static const std::string kBusy = Sjis("逆に並べ替えています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty()) return;
  LineStore::Index& lines = editor.work_store.views();
  const std::size_t n = lines.size();
  if (n < 2) return;
  for (std::size_t i = 0, j = n - 1; i < j; ++i, --j) {
    std::swap(lines[i], lines[j]);
    editor.Progress(j, n);  // the gauge runs from full to empty
  }
  editor.EndProgress();
}

void ShuffleLines(Editor& editor) {
  static const std::string kBusy = Sjis("適当に並べ替えています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
  if (editor.work_store.empty() || editor.work_store.size() < 2) return;
  ShuffleWith(editor.work_store, ProgramRandom(), &editor);
  editor.EndProgress();
}

void JoinSelectedLines(Editor& editor) {
  static const std::string kBusy = Sjis("選択項目を一行に結合しています...");
  static const std::string kTooBig = Sjis("結合できませんでした。大きすぎます。");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.use_store = true});
  if (editor.work_store.empty()) return;
  LineStore& lines = editor.work_store;
  std::size_t total = lines.size();
  for (std::string_view line : lines) total += line.size();
  if (total > kJoinLimit) {
    editor.host().Message(kTooBig, MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  // Empty lines joined give no text, and no text is no line at all. The
  // joined text is one line: storing it splits it at any break it holds, as
  // SplitLines would.
  LineStore joined;
  if (total > lines.size()) {
    char* out = joined.ComposeBuffer(total - lines.size());
    for (std::string_view line : lines) {
      if (!line.empty()) std::memcpy(out, line.data(), line.size());
      out += line.size();
    }
    joined.CommitComposed(total - lines.size());
  }
  lines = std::move(joined);
}

void GatherSelectedLines(Editor& editor) {
  static const std::string kBusy = Sjis("選択項目をまとめています...");
  editor.RecordStep();
  // Storing the collected lines unchanged is the whole command.
  CommandFrame frame(editor, kBusy, {.line_growth = 0, .use_store = true});
}

namespace {

// The value of a digit character at i (one byte, or the two bytes of a
// full-width digit), or -1.
int DigitAt(std::string_view s, std::size_t i) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (b >= '0' && b <= '9') return b - '0';
  // "０" ... "９" are 82 4F ... 82 58.
  if (b == 0x82 && i + 1 < s.size()) {
    const unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (t >= 0x4F && t <= 0x58) return t - 0x4F;
  }
  return -1;
}

// The segment markers of a numeric key: a number sorts before text at the
// same place, and both after the end of a shorter line.
constexpr char kNumberSegment = 0x01;
constexpr char kTextSegment = 0x02;

}  // namespace

std::string NumericSortKey(const JapaneseCollator& collator, std::string_view line) {
  std::string key;
  std::string digits;
  for (std::size_t i = 0; i < line.size();) {
    if (DigitAt(line, i) >= 0) {
      digits.clear();
      int d;
      while (i < line.size() && (d = DigitAt(line, i)) >= 0) {
        // Leading zeros say nothing about the value.
        if (d != 0 || !digits.empty()) digits.push_back(static_cast<char>('0' + d));
        i += SjisCharLength(line, i);
      }
      // With the zeros gone, a longer run is a larger number: its length,
      // fixed-width in front, decides first, so no run of any length is
      // ever converted to a machine number.
      const std::uint32_t n = static_cast<std::uint32_t>(digits.size());
      key += kNumberSegment;
      for (int shift = 24; shift >= 0; shift -= 8) key += static_cast<char>((n >> shift) & 0xFF);
      key += digits;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && DigitAt(line, end) < 0) end += SjisCharLength(line, end);
    // The collation key is escaped so that 00 can end it: a text that is a
    // prefix of another then sorts first, whatever segment follows it.
    key += kTextSegment;
    for (char c : collator.SortKeyPrefix(line.substr(i, end - i), JapaneseCollator::kWholeKey)) {
      if (c == 0x00 || c == 0x01) {
        key += '\x01';
        key += static_cast<char>(c + 1);
      } else {
        key += c;
      }
    }
    key += '\0';
    i = end;
  }
  return key;
}

void SortNumerically(Editor& editor) {
  static const std::string kBusy = Sjis("数字を数値として並べ替えています…");
  editor.RecordStep();
  CommandFrame frame(editor, kBusy, {.use_store = true});
  const LineStore& lines = editor.work_store;
  if (editor.work_store.empty() || lines.size() < 2) return;
  // One key per line, built on every core (a collator per chunk) and sorted
  // as plain bytes: the order a stable sort of the keys gives. The key of
  // the first text run comes whole before any number, so lines that start
  // alike ("item12", "item7") tie far into their keys: each key is made
  // once, in full, and kept past its prefix for the ties.
  const PrivateCodes* table = &editor.private_codes;
  auto make_keys = [&lines, table](KeyBuilder& keys) {
    const JapaneseCollator collator(table);
    for (std::size_t i : keys.items()) keys.Add(NumericSortKey(collator, lines[i]));
  };
  const std::vector<std::size_t> order =
      StableOrderByWholeKeys(lines.size(), make_keys,
                        [&editor](std::size_t i, std::size_t count) { editor.Progress(i, count); });
  ApplyOrder(editor.work_store.views(), order, nullptr);
  editor.EndProgress();
}

}  // namespace parvane
