// The command table. Its one entry point is CommandTable(); everything else
// here is a lookup over it.
#include "automation/command_table.h"

#include <algorithm>
#include <cstdio>

#include "chars/conversion_table.h"
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
};

// In code order; CommandTable() puts them in the stored (longest first) order.
// An entry whose command is not built yet has a null operation.
constexpr CommandRecord kCommands[] = {
    {1, "[五十音順にする]", "", SortBySyllabary},
    {2, "[長さ順にする]", "", SortByLength},
    {3, "[逆にする]", "", ReverseLines},
    {4, "[シャッフルする]", "", ShuffleLines},
    {5, "[行頭に行番号を追加]", "", AddLineNumbers},
    {6, "[行頭に行番号（16進数）を追加]", "", AddHexLineNumbers},
    {7, "[行頭にある数字の桁を揃える]", "", AlignLeadingNumbers},
    {8, "[行頭にある数字（16進数）の桁を揃える]", "", AlignLeadingHexNumbers},
    {9, "[行の左右を逆にする]", "", ReverseEachLine},
    {10, "[連続する空白文字をひとつにまとめる]", "", CompressSpaces},
    {11, "[出来る限り半角文字に変換]", "", ConvertToHalfWidth},
    {12, "[出来る限り全角文字に変換]", "", ConvertToFullWidth},
    {13, "[空行をすべて削除する]", "", RemoveBlankLines},
    {14, "[行頭の空白文字を削除する]", "", TrimLeadingSpaces},
    {15, "[行末の空白文字を削除する]", "", TrimTrailingSpaces},
    {16, "[行頭にその行の文字数を追加]", "", AddCharacterCounts},
    {17, "[アルファベットを半角に変換]", "", AlphabetToHalfWidth},
    {18, "[数字を半角に変換]", "", DigitsToHalfWidth},
    {19, "[記号を半角に変換]", "", SymbolsToHalfWidth},
    {20, "[カタカナを半角に変換]", "", KatakanaToHalfWidth},
    {21, "[アルファベットを全角に変換]", "", AlphabetToFullWidth},
    {22, "[数字を全角に変換]", "", DigitsToFullWidth},
    {23, "[記号を全角に変換]", "", SymbolsToFullWidth},
    {24, "[カタカナを全角に変換]", "", KatakanaToFullWidth},
    {25, "[全角と半角を入れ替える]", "", SwapWidth},
    {26, "[ひらがなとカタカナを入れ替える]", "", SwapHiraganaKatakana},
    {27, "[ひらがなを全角カタカナに変換]", "", HiraganaToKatakana},
    {28, "[全角カタカナをひらがなに変換]", "", KatakanaToHiragana},
    {29, "[ローマ字をカタカナに変換]", "", RomajiToKatakana},
    {30, "[カタカナをローマ字（ヘボン式）に変換]", "", KatakanaToHepburn},
    {31, "[カタカナをローマ字（訓令式）に変換]", "", KatakanaToKunrei},
    {32, "[大文字と小文字を入れ替える]", "", SwapCase},
    {33, "[大文字を小文字に変換]", "", ConvertToLowerCase},
    {34, "[小文字を大文字に変換]", "", ConvertToUpperCase},
    {35, "[カンマ区切りテキストの行と列を入れ替える]", "", TransposeCsv},
    {36, "[連続する空行を一行にまとめる]", "", CollapseBlankLines},
    {37, "[切り取り]", "", CutRows},
    {38, "[コピー]", "", CopyRows},
    {39, "[貼り付け]", "", PasteRows},
    {40, "[削除]", "", DeleteRows},
    {41, "[挿入貼り付け]", "", InsertPasteRows},
    {42, "[すべて選択]", "", SelectAllRows},
    {43, "[選択の切り替え]", "", InvertRowSelection},
    {44, "[選択項目を一行に結合する]", "", JoinSelectedLines},
    {45, "[選択項目をまとめる]", "", GatherSelectedLines},
    {46, "[選択項目を上に移動する]", "", MoveSelectionUp},
    {47, "[選択項目を下に移動する]", "", MoveSelectionDown},
    {48, "[選択項目を一番上に移動する]", "", MoveSelectionToTop},
    {49, "[選択項目を一番下に移動する]", "", MoveSelectionToBottom},
    {50, "[Excel に貼り付けられる形式でコピー]", "", CopyForSpreadsheet},
    {51, "[行頭に文字列を追加]", "text to add", AddTextAtStart},
    {52, "[行末に文字列を追加]", "text to add", AddTextAtEnd},
    {53, "[行頭から数文字を削る]", "number of half-width columns (decimal)", CutColumnsFromStart},
    {54, "[行頭の数文字を残して削る]", "number of half-width columns (decimal)", KeepColumnsFromStart},
    {55, "[行中に文字列を追加]", "column (decimal), text to insert", AddTextAtColumn},
    {56, "[連続する重複行を一行にまとめる]", "optional: what was done with the removed lines", CollapseDuplicateLines},
    {57, "[連続する重複行を残さず削除]", "optional: what was done with the removed lines", RemoveDuplicateLines},
    {58, "[指定文字数で改行（禁則無し）]", "width (decimal)", WrapLines},
    {59, "[検索]", "search text", FindCommand},
    {60, "[正規表現検索]", "pattern", RegexFindCommand},
    {61, "[置換]", "search text, replacement", ReplaceCommand},
    {62, "[正規表現置換]", "pattern, replacement", RegexReplaceCommand},
    {63, "[カンマ区切りテキストの五十音順並べ替え]", "key field number, counted from 0", SortCsvBySyllabary},
    {64, "[行頭に他のファイルを合成]", "full path of the other file", MergeFileAtStart},
    {65, "[行末に他のファイルを合成]", "full path of the other file", MergeFileAtEnd},
    {66, "[カンマ区切りテキストの長さ順並べ替え]", "key field number, counted from 0", SortCsvByLength},
    {67, "[指定した文字列を境に左右を入れ替える]", "separator text", SwapAroundText},
    {68, "[指定した文字列を境に左右を入れ替える（正規表現）]", "separator pattern", SwapAroundPattern},
    {69, "[チャットや掲示板で化けた文字を元に戻す]", "", RepairGarbledText},
    {70, "[カンマ区切りテキストをテキスト表に変換する]", "", CsvToTextTable},
    {71, "[変換テーブルで変換]", "full path of the conversion table file", ConvertByTable},
    {72, "[拡張正規表現検索]", "pattern (extended syntax)", ExtendedRegexFindCommand},
    {73, "[拡張正規表現置換]", "pattern (extended syntax), replacement", ExtendedRegexReplaceCommand},
};

std::vector<CommandEntry> BuildTable() {
  std::vector<CommandEntry> table;
  table.reserve(std::size(kCommands));
  for (const CommandRecord& r : kCommands) {
    table.push_back(CommandEntry{r.code, Sjis(r.name_utf8), r.name_utf8, r.parameters, r.operation});
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

std::string CodeText(int code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", code);
  return buf;
}

std::string CommandTableLine(const CommandEntry& entry) {
  return entry.name + "=" + CodeText(entry.code);
}

}  // namespace parvane
