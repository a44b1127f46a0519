// The command table. Its one entry point is CommandTable(); everything else
// here is a lookup over it.
#include "automation/command_table.h"

#include <algorithm>
#include <cstdio>

#include "chars/conversion_table.h"
#include "chars/encoders.h"
#include "chars/garbled_repair.h"
#include "chars/kind_classes.h"
#include "chars/kind_lines.h"
#include "chars/romaji.h"
#include "commands/adding.h"
#include "commands/csv.h"
#include "commands/editing.h"
#include "commands/find_replace.h"
#include "commands/moving.h"
#include "commands/sorting.h"
#include "commands/tidying.h"
#include "text/literal.h"

namespace parvane {
namespace {

struct CommandRecord {
  int code;
  std::string_view name_utf8;
  std::string_view parameters;
  Operation operation;
  // Last, so that a row written without them still compiles; the table test
  // then names a row that lacks its alias.
  std::string_view alias = {};
  int parameter_count = 0;
};

// In code order; CommandTable() puts them in the stored (longest first) order.
// An entry whose command is not built yet has a null operation.
constexpr CommandRecord kCommands[] = {
    {1, "[五十音順にする]", "", SortBySyllabary, "sort"},
    {2, "[長さ順にする]", "", SortByLength, "sort-length"},
    {3, "[逆にする]", "", ReverseLines, "reverse"},
    {4, "[シャッフルする]", "", ShuffleLines, "shuffle"},
    {5, "[行頭に行番号を追加]", "", AddLineNumbers, "number"},
    {6, "[行頭に行番号（16進数）を追加]", "", AddHexLineNumbers, "number-hex"},
    {7, "[行頭にある数字の桁を揃える]", "", AlignLeadingNumbers, "align-numbers"},
    {8, "[行頭にある数字（16進数）の桁を揃える]", "", AlignLeadingHexNumbers, "align-hex-numbers"},
    {9, "[行の左右を逆にする]", "", ReverseEachLine, "reverse-chars"},
    {10, "[連続する空白文字をひとつにまとめる]", "", CompressSpaces, "squeeze-spaces"},
    {11, "[出来る限り半角文字に変換]", "", ConvertToHalfWidth, "halfwidth"},
    {12, "[出来る限り全角文字に変換]", "", ConvertToFullWidth, "fullwidth"},
    {13, "[空行をすべて削除する]", "", RemoveBlankLines, "delete-blank"},
    {14, "[行頭の空白文字を削除する]", "", TrimLeadingSpaces, "trim-start"},
    {15, "[行末の空白文字を削除する]", "", TrimTrailingSpaces, "trim-end"},
    {16, "[行頭にその行の文字数を追加]", "", AddCharacterCounts, "count-chars"},
    {17, "[アルファベットを半角に変換]", "", AlphabetToHalfWidth, "halfwidth-alpha"},
    {18, "[数字を半角に変換]", "", DigitsToHalfWidth, "halfwidth-digits"},
    {19, "[記号を半角に変換]", "", SymbolsToHalfWidth, "halfwidth-symbols"},
    {20, "[カタカナを半角に変換]", "", KatakanaToHalfWidth, "halfwidth-katakana"},
    {21, "[アルファベットを全角に変換]", "", AlphabetToFullWidth, "fullwidth-alpha"},
    {22, "[数字を全角に変換]", "", DigitsToFullWidth, "fullwidth-digits"},
    {23, "[記号を全角に変換]", "", SymbolsToFullWidth, "fullwidth-symbols"},
    {24, "[カタカナを全角に変換]", "", KatakanaToFullWidth, "fullwidth-katakana"},
    {25, "[全角と半角を入れ替える]", "", SwapWidth, "swap-width"},
    {26, "[ひらがなとカタカナを入れ替える]", "", SwapHiraganaKatakana, "swap-kana"},
    {27, "[ひらがなを全角カタカナに変換]", "", HiraganaToKatakana, "katakana"},
    {28, "[全角カタカナをひらがなに変換]", "", KatakanaToHiragana, "hiragana"},
    {29, "[ローマ字をカタカナに変換]", "", RomajiToKatakana, "from-romaji"},
    {30, "[カタカナをローマ字（ヘボン式）に変換]", "", KatakanaToHepburn, "romaji"},
    {31, "[カタカナをローマ字（訓令式）に変換]", "", KatakanaToKunrei, "romaji-kunrei"},
    {32, "[大文字と小文字を入れ替える]", "", SwapCase, "swap-case"},
    {33, "[大文字を小文字に変換]", "", ConvertToLowerCase, "lower"},
    {34, "[小文字を大文字に変換]", "", ConvertToUpperCase, "upper"},
    {35, "[カンマ区切りテキストの行と列を入れ替える]", "", TransposeCsv, "csv-transpose"},
    {36, "[連続する空行を一行にまとめる]", "", CollapseBlankLines, "squeeze-blank"},
    {37, "[切り取り]", "", CutRows, "cut"},
    {38, "[コピー]", "", CopyRows, "copy"},
    {39, "[貼り付け]", "", PasteRows, "paste"},
    {40, "[削除]", "", DeleteRows, "delete"},
    {41, "[挿入貼り付け]", "", InsertPasteRows, "insert-paste"},
    {42, "[すべて選択]", "", SelectAllRows, "select-all"},
    {43, "[選択の切り替え]", "", InvertRowSelection, "invert-selection"},
    {44, "[選択項目を一行に結合する]", "", JoinSelectedLines, "join"},
    {45, "[選択項目をまとめる]", "", GatherSelectedLines, "gather"},
    {46, "[選択項目を上に移動する]", "", MoveSelectionUp, "move-up"},
    {47, "[選択項目を下に移動する]", "", MoveSelectionDown, "move-down"},
    {48, "[選択項目を一番上に移動する]", "", MoveSelectionToTop, "move-top"},
    {49, "[選択項目を一番下に移動する]", "", MoveSelectionToBottom, "move-bottom"},
    {50, "[Excel に貼り付けられる形式でコピー]", "", CopyForSpreadsheet, "copy-spreadsheet"},
    {51, "[行頭に文字列を追加]", "text to add", AddTextAtStart, "prefix", 1},
    {52, "[行末に文字列を追加]", "text to add", AddTextAtEnd, "suffix", 1},
    {53, "[行頭から数文字を削る]", "number of half-width columns (decimal)", CutColumnsFromStart, "cut-columns", 1},
    {54, "[行頭の数文字を残して削る]", "number of half-width columns (decimal)", KeepColumnsFromStart, "keep-columns", 1},
    {55, "[行中に文字列を追加]", "column (decimal), text to insert", AddTextAtColumn, "insert-at", 2},
    {56, "[連続する重複行を一行にまとめる]", "optional: what was done with the removed lines", CollapseDuplicateLines, "dedup", 1},
    {57, "[連続する重複行を残さず削除]", "optional: what was done with the removed lines", RemoveDuplicateLines, "dedup-drop", 1},
    {58, "[指定文字数で改行（禁則無し）]", "width (decimal)", WrapLines, "wrap", 1},
    {59, "[検索]", "search text", FindCommand, "find", 1},
    {60, "[正規表現検索]", "pattern", RegexFindCommand, "regex-find", 1},
    {61, "[置換]", "search text, replacement", ReplaceCommand, "replace", 2},
    {62, "[正規表現置換]", "pattern, replacement", RegexReplaceCommand, "regex-replace", 2},
    {63, "[カンマ区切りテキストの五十音順並べ替え]", "key field number, counted from 0", SortCsvBySyllabary, "csv-sort", 1},
    {64, "[行頭に他のファイルを合成]", "full path of the other file", MergeFileAtStart, "merge-start", 1},
    {65, "[行末に他のファイルを合成]", "full path of the other file", MergeFileAtEnd, "merge-end", 1},
    {66, "[カンマ区切りテキストの長さ順並べ替え]", "key field number, counted from 0", SortCsvByLength, "csv-sort-length", 1},
    {67, "[指定した文字列を境に左右を入れ替える]", "separator text", SwapAroundText, "swap-at", 1},
    {68, "[指定した文字列を境に左右を入れ替える（正規表現）]", "separator pattern", SwapAroundPattern, "regex-swap-at", 1},
    {69, "[チャットや掲示板で化けた文字を元に戻す]", "", RepairGarbledText, "repair-garbled"},
    {70, "[カンマ区切りテキストをテキスト表に変換する]", "", CsvToTextTable, "csv-table"},
    {71, "[変換テーブルで変換]", "full path of the conversion table file", ConvertByTable, "convert-table", 1},
    {72, "[拡張正規表現検索]", "pattern (extended syntax)", ExtendedRegexFindCommand, "regex-find-ext", 1},
    {73, "[拡張正規表現置換]", "pattern (extended syntax), replacement", ExtendedRegexReplaceCommand, "regex-replace-ext", 2},
    {74, "[数字を数値として並べ替える]", "", SortNumerically, "sort-numeric"},
    {75, "[カンマ区切りテキストの数値順並べ替え]", "key field number, counted from 0", SortCsvByNumber, "csv-sort-numeric", 1},
    {76, "[重複行を削除（最初の行を残す）]", "optional: what was done with the removed lines", RemoveRepeatedLines, "dedup-all", 1},
    {77, "[HTTPエスケープ形式にエンコードする]", "", EncodeHttpEscape, "url-encode"},
    {78, "[HTTPエスケープ形式をデコードする]", "", DecodeHttpEscape, "url-decode"},
    {79, "[Base64形式にエンコードする]", "", EncodeBase64, "base64-encode"},
    {80, "[Base64形式をデコードする]", "", DecodeBase64, "base64-decode"},
};

std::vector<CommandEntry> BuildTable() {
  std::vector<CommandEntry> table;
  table.reserve(std::size(kCommands));
  for (const CommandRecord& r : kCommands) {
    table.push_back(CommandEntry{r.code, Sjis(r.name_utf8), r.name_utf8, r.parameters,
                                 r.parameter_count, r.operation, r.alias});
  }
  // Longer names first, so that substituting in table order never replaces a
  // name that is part of a longer one. Names of equal length cannot contain
  // each other; they go in descending byte order, which puts "[検索]" last.
  std::sort(table.begin(), table.end(), [](const CommandEntry& a, const CommandEntry& b) {
    if (a.name.size() != b.name.size()) return a.name.size() > b.name.size();
    return a.name > b.name;
  });
  return table;
}

}  // namespace

const std::vector<CommandEntry>& CommandTable() {
  static const std::vector<CommandEntry> table = BuildTable();
  return table;
}

const CommandEntry* CommandByCode(int code) {
  for (const CommandEntry& e : CommandTable()) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

const CommandEntry* CommandByName(std::string_view name) {
  for (const CommandEntry& e : CommandTable()) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

const CommandEntry* CommandByAlias(std::string_view alias) {
  if (alias.empty()) return nullptr;
  for (const CommandEntry& e : CommandTable()) {
    if (e.alias == alias) return &e;
  }
  return nullptr;
}

std::string CodeText(int code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", code);
  return buf;
}

std::string CommandTableLine(const CommandEntry& entry) {
  return entry.name + "=" + CodeText(entry.code);
}

}  // namespace parvane
