// Sorting lines: the six commands of the "並べ替え(&S)" menu that rework the
// collected lines (the frame's work_store: views, reordered without copying a
// byte) inside the command frame, and the one collation
// order that every sort of the program shares.
//
// None of these commands takes a parameter: each records its bracketed menu
// caption before it starts, also when it then changes nothing.
#ifndef PARVANE_COMMANDS_SORTING_H_
#define PARVANE_COMMANDS_SORTING_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "commands/random.h"
#include "editor/editor.h"
#include "text/collation.h"

namespace parvane {

// "五十音順にする" (F6), step 001: ascending by the Japanese,
// case-insensitive collation; lines that compare equal keep their order.
void SortBySyllabary(Editor& editor);

// "長さ順にする" (F7), step 002: ascending byte length; lines of
// equal length keep their order.
void SortByLength(Editor& editor);

// "逆にする" (F8), step 003: the lines in reverse order.
void ReverseLines(Editor& editor);

// "シャッフルする" (F9), step 004: a uniformly random order,
// drawn from ProgramRandom().
void ShuffleLines(Editor& editor);

// "選択項目を一行に結合する" (F11), step 044: the
// lines concatenated into one. Refused with "結合できませんでした。大きすぎます。"
// when the line lengths plus the line count exceed 60000; the lines are then
// stored unchanged (gathered, as GatherSelectedLines does).
void JoinSelectedLines(Editor& editor);

// "選択項目をまとめる" (F12), step 045: no change of its own;
// storing the result gathers a scattered selection into one block at its
// first row.
void GatherSelectedLines(Editor& editor);

// Returns the indexes of lines in ascending Japanese collation order (ICU
// "ja", letter case ignored), equal lines in their former order. Each line's
// sort key is computed once, as far as its first bytes (the whole key again
// only where those tie); keys and sort run on every core. When editor is
// given, key building reports progress through it and reads the lines
// through its private codes; otherwise through codes when given.
std::vector<std::size_t> CollationOrder(const Lines& lines, Editor* editor = nullptr,
                                        const PrivateCodes* codes = nullptr);
std::vector<std::size_t> CollationOrder(const LineStore& lines, Editor* editor = nullptr,
                                        const PrivateCodes* codes = nullptr);

// Sorts lines in place by CollationOrder (a store by moving its views).
void SortLinesByCollation(Lines& lines, Editor* editor = nullptr,
                          const PrivateCodes* codes = nullptr);
void SortLinesByCollation(LineStore& lines, Editor* editor = nullptr,
                          const PrivateCodes* codes = nullptr);

// Fisher-Yates shuffle drawing random(i + 1) for i = 0, 1, ... n - 1: the
// same draws, and the same distribution over orders, as inserting each line
// at a random position of a growing list.
void ShuffleWith(Lines& lines, LinearRandom& random, Editor* editor = nullptr);
void ShuffleWith(LineStore& lines, LinearRandom& random, Editor* editor = nullptr);

// "数字を数値として並べ替える", step 074: each line
// is read as alternating runs of digits (0-9 and ０-９) and other text; runs
// are compared in turn, a run of digits by its value (any length, leading
// zeros ignored) and ahead of text, other text by the Japanese collation. So
// "file2" comes before "file10" and "第2章" before "第10章". Lines that
// compare equal ("01" and "1" included) keep their order.
void SortNumerically(Editor& editor);

// Returns a byte string whose plain byte order is the order SortNumerically
// sorts lines by.
std::string NumericSortKey(const JapaneseCollator& collator, std::string_view line);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_SORTING_H_
