// The command table. Its one entry point is CommandTable(); everything else
// here is a lookup over it.
#include "automation/command_table.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

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

// A parameter as the table writes it: UTF-8 texts, turned into Shift_JIS
// once when the table is built.
struct ParamRecord {
  ParamKind kind;
  std::string_view prompt;
  std::string_view description;
  std::string_view initial = {};
};

constexpr ParamRecord Text(std::string_view prompt, std::string_view description) {
  return {ParamKind::kText, prompt, description};
}
constexpr ParamRecord Number(std::string_view prompt, std::string_view description,
                             std::string_view initial = {}) {
  return {ParamKind::kNumber, prompt, description, initial};
}
// The prompt of a file parameter is the open dialog's title.
constexpr ParamRecord File(std::string_view title, std::string_view description) {
  return {ParamKind::kFile, title, description};
}

// Parameters that several commands share.
constexpr ParamRecord kReplacement = Text("置換後の文字列は？", "replacement");
// Asked only while a step plays; outside playback the key dialog chooses.
constexpr ParamRecord kKeyField =
    Number("並び替えに使うキーの番号は？（0～）", "key field number, counted from 0");
// What the removed-lines window did: "[クリップボードにコピー]" or
// "[メインウィンドウに移す]" (or 1, 2); nothing else keeps the lines.
constexpr ParamRecord kRemovedLinesChoice = {ParamKind::kChoice, "",
                                             "optional: what was done with the removed lines"};

struct CommandRecord {
  int code;
  std::string_view name_utf8;
  Operation operation;
  // After the operation, so that a row written without it still compiles;
  // the table test then names a row that lacks its alias.
  std::string_view alias = {};
  std::initializer_list<ParamRecord> params = {};
};

// In code order; CommandTable() puts them in the stored (longest first) order.
// An entry whose command is not built yet has a null operation.
// clang-format off
const CommandRecord kCommands[] = {
    {1, "[五十音順にする]", SortBySyllabary, "sort"},
    {2, "[長さ順にする]", SortByLength, "sort-length"},
    {3, "[逆にする]", ReverseLines, "reverse"},
    {4, "[シャッフルする]", ShuffleLines, "shuffle"},
    {5, "[行頭に行番号を追加]", AddLineNumbers, "number"},
    {6, "[行頭に行番号（16進数）を追加]", AddHexLineNumbers, "number-hex"},
    {7, "[行頭にある数字の桁を揃える]", AlignLeadingNumbers, "align-numbers"},
    {8, "[行頭にある数字（16進数）の桁を揃える]", AlignLeadingHexNumbers, "align-hex-numbers"},
    {9, "[行の左右を逆にする]", ReverseEachLine, "reverse-chars"},
    {10, "[連続する空白文字をひとつにまとめる]", CompressSpaces, "squeeze-spaces"},
    {11, "[出来る限り半角文字に変換]", ConvertToHalfWidth, "halfwidth"},
    {12, "[出来る限り全角文字に変換]", ConvertToFullWidth, "fullwidth"},
    {13, "[空行をすべて削除する]", RemoveBlankLines, "delete-blank"},
    {14, "[行頭の空白文字を削除する]", TrimLeadingSpaces, "trim-start"},
    {15, "[行末の空白文字を削除する]", TrimTrailingSpaces, "trim-end"},
    {16, "[行頭にその行の文字数を追加]", AddCharacterCounts, "count-chars"},
    {17, "[アルファベットを半角に変換]", AlphabetToHalfWidth, "halfwidth-alpha"},
    {18, "[数字を半角に変換]", DigitsToHalfWidth, "halfwidth-digits"},
    {19, "[記号を半角に変換]", SymbolsToHalfWidth, "halfwidth-symbols"},
    {20, "[カタカナを半角に変換]", KatakanaToHalfWidth, "halfwidth-katakana"},
    {21, "[アルファベットを全角に変換]", AlphabetToFullWidth, "fullwidth-alpha"},
    {22, "[数字を全角に変換]", DigitsToFullWidth, "fullwidth-digits"},
    {23, "[記号を全角に変換]", SymbolsToFullWidth, "fullwidth-symbols"},
    {24, "[カタカナを全角に変換]", KatakanaToFullWidth, "fullwidth-katakana"},
    {25, "[全角と半角を入れ替える]", SwapWidth, "swap-width"},
    {26, "[ひらがなとカタカナを入れ替える]", SwapHiraganaKatakana, "swap-kana"},
    {27, "[ひらがなを全角カタカナに変換]", HiraganaToKatakana, "katakana"},
    {28, "[全角カタカナをひらがなに変換]", KatakanaToHiragana, "hiragana"},
    {29, "[ローマ字をカタカナに変換]", RomajiToKatakana, "from-romaji"},
    {30, "[カタカナをローマ字（ヘボン式）に変換]", KatakanaToHepburn, "romaji"},
    {31, "[カタカナをローマ字（訓令式）に変換]", KatakanaToKunrei, "romaji-kunrei"},
    {32, "[大文字と小文字を入れ替える]", SwapCase, "swap-case"},
    {33, "[大文字を小文字に変換]", ConvertToLowerCase, "lower"},
    {34, "[小文字を大文字に変換]", ConvertToUpperCase, "upper"},
    {35, "[カンマ区切りテキストの行と列を入れ替える]", TransposeCsv, "csv-transpose"},
    {36, "[連続する空行を一行にまとめる]", CollapseBlankLines, "squeeze-blank"},
    {37, "[切り取り]", CutRows, "cut"},
    {38, "[コピー]", CopyRows, "copy"},
    {39, "[貼り付け]", PasteRows, "paste"},
    {40, "[削除]", DeleteRows, "delete"},
    {41, "[挿入貼り付け]", InsertPasteRows, "insert-paste"},
    {42, "[すべて選択]", SelectAllRows, "select-all"},
    {43, "[選択の切り替え]", InvertRowSelection, "invert-selection"},
    {44, "[選択項目を一行に結合する]", JoinSelectedLines, "join"},
    {45, "[選択項目をまとめる]", GatherSelectedLines, "gather"},
    {46, "[選択項目を上に移動する]", MoveSelectionUp, "move-up"},
    {47, "[選択項目を下に移動する]", MoveSelectionDown, "move-down"},
    {48, "[選択項目を一番上に移動する]", MoveSelectionToTop, "move-top"},
    {49, "[選択項目を一番下に移動する]", MoveSelectionToBottom, "move-bottom"},
    {50, "[Excel に貼り付けられる形式でコピー]", CopyForSpreadsheet, "copy-spreadsheet"},
    {51, "[行頭に文字列を追加]", AddTextAtStart, "prefix",
     {Text("行頭に追加する文字列は？", "text to add")}},
    {52, "[行末に文字列を追加]", AddTextAtEnd, "suffix",
     {Text("行末に追加する文字列は？", "text to add")}},
    {53, "[行頭から数文字を削る]", CutColumnsFromStart, "cut-columns",
     {Number("行頭から半角何文字分を削りますか？", "number of half-width columns (decimal)")}},
    {54, "[行頭の数文字を残して削る]", KeepColumnsFromStart, "keep-columns",
     {Number("行頭の半角何文字分を残しますか？", "number of half-width columns (decimal)")}},
    {55, "[行中に文字列を追加]", AddTextAtColumn, "insert-at",
     {Number("半角何文字目に挿入しますか？", "column (decimal)", "0"),
      Text("行中に追加する文字列は？", "text to insert")}},
    {56, "[連続する重複行を一行にまとめる]", CollapseDuplicateLines, "dedup",
     {kRemovedLinesChoice}},
    {57, "[連続する重複行を残さず削除]", RemoveDuplicateLines, "dedup-drop",
     {kRemovedLinesChoice}},
    {58, "[指定文字数で改行（禁則無し）]", WrapLines, "wrap",
     {Number("何文字で折り返しますか？", "width (decimal)")}},
    {59, "[検索]", FindCommand, "find", {Text("検索する文字列は？", "search text")}},
    {60, "[正規表現検索]", RegexFindCommand, "regex-find",
     {Text("正規表現検索する文字列は？", "pattern")}},
    {61, "[置換]", ReplaceCommand, "replace",
     {Text("検索する文字列は？", "search text"), kReplacement}},
    {62, "[正規表現置換]", RegexReplaceCommand, "regex-replace",
     {Text("正規表現検索する文字列は？", "pattern"), kReplacement}},
    {63, "[カンマ区切りテキストの五十音順並べ替え]", SortCsvBySyllabary, "csv-sort",
     {kKeyField}},
    {64, "[行頭に他のファイルを合成]", MergeFileAtStart, "merge-start",
     {File("行頭に合成するファイルを開く", "full path of the other file")}},
    {65, "[行末に他のファイルを合成]", MergeFileAtEnd, "merge-end",
     {File("行末に合成するファイルを開く", "full path of the other file")}},
    {66, "[カンマ区切りテキストの長さ順並べ替え]", SortCsvByLength, "csv-sort-length",
     {kKeyField}},
    {67, "[指定した文字列を境に左右を入れ替える]", SwapAroundText, "swap-at",
     {Text("境にする文字列は？", "separator text")}},
    {68, "[指定した文字列を境に左右を入れ替える（正規表現）]", SwapAroundPattern, "regex-swap-at",
     {Text("境にする正規表現文字列は？", "separator pattern")}},
    {69, "[チャットや掲示板で化けた文字を元に戻す]", RepairGarbledText, "repair-garbled"},
    {70, "[カンマ区切りテキストをテキスト表に変換する]", CsvToTextTable, "csv-table"},
    {71, "[変換テーブルで変換]", ConvertByTable, "convert-table",
     {File("変換テーブルのファイルを開く", "full path of the conversion table file")}},
    {72, "[拡張正規表現検索]", ExtendedRegexFindCommand, "regex-find-ext",
     {Text("拡張正規表現検索する文字列は？", "pattern (extended syntax)")}},
    {73, "[拡張正規表現置換]", ExtendedRegexReplaceCommand, "regex-replace-ext",
     {Text("拡張正規表現検索する文字列は？", "pattern (extended syntax)"),
      kReplacement}},
    {74, "[数字を数値として並べ替える]", SortNumerically, "sort-numeric"},
    {75, "[カンマ区切りテキストの数値順並べ替え]", SortCsvByNumber, "csv-sort-numeric",
     {kKeyField}},
    {76, "[重複行を削除（最初の行を残す）]", RemoveRepeatedLines, "dedup-all",
     {kRemovedLinesChoice}},
    {77, "[HTTPエスケープ形式にエンコードする]", EncodeHttpEscape, "url-encode"},
    {78, "[HTTPエスケープ形式をデコードする]", DecodeHttpEscape, "url-decode"},
    {79, "[Base64形式にエンコードする]", EncodeBase64, "base64-encode"},
    {80, "[Base64形式をデコードする]", DecodeBase64, "base64-decode"},
};
// clang-format on

std::vector<CommandEntry> BuildTable() {
  std::vector<CommandEntry> table;
  table.reserve(std::size(kCommands));
  for (const CommandRecord& r : kCommands) {
    StepSpec step{Sjis(r.name_utf8), {}};
    for (const ParamRecord& p : r.params) {
      step.params.push_back({p.kind, Sjis(p.prompt), Sjis(p.initial), p.description});
    }
    table.push_back(CommandEntry{std::move(step), r.code, r.name_utf8, r.operation, r.alias});
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

const CommandEntry* CommandByOperation(Operation operation) {
  if (operation == nullptr) return nullptr;
  for (const CommandEntry& e : CommandTable()) {
    if (e.operation == operation) return &e;
  }
  return nullptr;
}

const CommandEntry& SearchCommand(SearchMode mode, bool replace) {
  Operation operation = replace ? ReplaceCommand : FindCommand;
  if (mode == SearchMode::kRegex) operation = replace ? RegexReplaceCommand : RegexFindCommand;
  if (mode == SearchMode::kExtendedRegex) {
    operation = replace ? ExtendedRegexReplaceCommand : ExtendedRegexFindCommand;
  }
  return *CommandByOperation(operation);
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

std::string ParameterText(const CommandEntry& entry) {
  std::string text;
  for (const ParamSpec& p : entry.params) {
    if (!text.empty()) text += ", ";
    text += p.description;
  }
  return text;
}

std::string CommandTableLine(const CommandEntry& entry) {
  return entry.name + "=" + CodeText(entry.code);
}

}  // namespace parvane
