// Adding and removing text at the start, at a column or at the end of lines,
// numbering lines, aligning leading numbers, character counts and merging
// another file into the lines ("ツール(&T)" -> "文字列の追加と削除(&B)").
//
// Every command runs in the command frame on work_store, collected with the
// whole-document fallback. Widths and columns are bytes of the Shift_JIS text
// (a two-byte character is two columns).
#ifndef PARVANE_COMMANDS_ADDING_H_
#define PARVANE_COMMANDS_ADDING_H_

#include <cstddef>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

// "行頭に文字列を追加..." - step 051,text.
// Prepends the text to every line; an empty or cancelled text changes nothing.
void AddTextAtStart(Editor& editor);

// "行中に文字列を追加..." - step 055,column,text.
// Asks the column (with a Yes/No preview of the first affected row), then the
// text, and inserts it at byte min(max(column - 1, 0), length) of every line.
void AddTextAtColumn(Editor& editor);

// "行末に文字列を追加..." - step 052,text.
void AddTextAtEnd(Editor& editor);

// "行頭から数文字を削る..." - step 053,N.
// Removes the first N columns of every line (after a Yes/No preview).
void CutColumnsFromStart(Editor& editor);

// "行頭の数文字を残して削る..." - step 054,N.
// Keeps only the first N columns of every line (after a Yes/No preview).
void KeepColumnsFromStart(Editor& editor);

// "行頭に行番号を追加" - step 005.
// Prefixes line i with i + 1, zero-padded to the digit count of the number of
// lines, without a separator.
void AddLineNumbers(Editor& editor);

// "行頭に行番号（16進数）を追加" - step 006.
// As AddLineNumbers with upper-case hexadecimal numbers.
void AddHexLineNumbers(Editor& editor);

// "行頭にある数字の桁を揃える" - step 007.
// Pads the numbers that start the lines with zeros to one width, with a sign
// column when any line carries a sign.
void AlignLeadingNumbers(Editor& editor);

// "行頭にある数字（16進数）の桁を揃える" -
// step 008. As AlignLeadingNumbers with
// the hexadecimal digits 0-9, A-F, a-f.
void AlignLeadingHexNumbers(Editor& editor);

// "行頭にその行の文字数を追加" - step 016.
// Prefixes every line with its length in characters (Utf16Length).
void AddCharacterCounts(Editor& editor);

// "行頭に他のファイルを合成..." - step 064,path.
// Line i becomes M[i mod |M|] + line, M being the lines of the chosen file.
void MergeFileAtStart(Editor& editor);

// "行末に他のファイルを合成..." - step 065,path.
// Line i becomes line + M[i mod |M|].
void MergeFileAtEnd(Editor& editor);

// Returns the number of UTF-16 code units that code page 932 gives for sjis
// (what the program calls a line's "characters"), without converting it. A
// lead byte followed by a byte outside the trail ranges counts as two (a "?"
// and that byte on its own).
std::size_t Utf16Length(std::string_view sjis);

// Returns the byte offset at which a line is split `columns` bytes from its
// start. A split that would fall inside a two-byte character moves to that
// character's end: the character stays whole on the side where it starts.
// Offsets beyond the line give its length.
std::size_t ColumnSplitPoint(std::string_view line, long columns);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_ADDING_H_
