// Comma-separated data ("ツール(&T)" -> "カンマ区切りデータ(&D)"): every line is
// a record of fields read with SplitFields and written with JoinFields.
#ifndef PARVANE_COMMANDS_CSV_H_
#define PARVANE_COMMANDS_CSV_H_

#include <string>

#include "editor/editor.h"

namespace parvane {

// "カンマ区切りテキストの五十音順並べ替え..." - step 063,key.
// Sorts the records by field `key` (0-based) in Japanese collation order. The
// key comes from Host::ChooseKeyField, or during playback from the step. A
// record with fewer fields comes back padded with empty fields up to the key.
// No key chosen, a negative key or a first line without fields: no sort, no
// step (the tab conversion of the lines stays).
void SortCsvBySyllabary(Editor& editor);

// "カンマ区切りテキストの長さ順並べ替え..." - step 066,key.
// As SortCsvBySyllabary, ordered first by the byte length of the key field.
void SortCsvByLength(Editor& editor);

// "カンマ区切りテキストの数値順並べ替え..." - step 075,key.
// As SortCsvBySyllabary, ordered by the value of the key field: a decimal
// number with an optional sign and fraction, digits half- or full-width,
// blanks around it allowed, any number of digits. Records whose key is not a
// number (an empty key included) follow all numbers, in Japanese collation
// order of the key. Equal keys keep their order.
void SortCsvByNumber(Editor& editor);

// "カンマ区切りテキストの行と列を入れ替える" - step 035.
// Exchanges rows and columns; missing cells come out as empty fields. More
// than 16384 lines or fields: an error message, the lines stay as the tab
// conversion left them.
void TransposeCsv(Editor& editor);

// "カンマ区切りテキストをテキスト表に変換する" - step 070.
// Draws the records as a table of box-drawing characters; integers are
// right-aligned. More than kMaxTableColumns fields: an error message and no
// change.
void CsvToTextTable(Editor& editor);
inline constexpr std::size_t kMaxTableColumns = 1000;

// "Excel に貼り付けられる形式でコピー(&E)" (Ctrl+Shift+C) - step 050.
// Puts the selected rows (the whole document when at most one is selected) on
// the clipboard as tab-separated cells. The document does not change.
void CopyForSpreadsheet(Editor& editor);

// Returns the spreadsheet form of one comma-separated line: its fields quoted
// as JoinFields quotes them, separated by TAB.
std::string SpreadsheetLine(std::string_view csv_line);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_CSV_H_
