// Tidying lines: the commands of the "整頓・整形(&A)" menu, which remove
// duplicate and blank lines, tidy white space, wrap lines and reverse or swap
// the parts of each line. All run inside the command frame on work_store (the
// line store) with the whole-document fallback.
//
// White space here is the half-width space (0x20) and the full-width space
// "　" (0x81 0x40) only; tabs are text. Full-width spaces are recognised only
// where a character starts.
#ifndef PARVANE_COMMANDS_TIDYING_H_
#define PARVANE_COMMANDS_TIDYING_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

namespace parvane {

// "連続する重複行を一行にまとめる", step 056 plus
// the result-window choice, recorded after the work: each run of equal
// adjacent lines (byte for byte) shrinks to its first line; the removed
// copies go to editor.removed_lines and the removed-lines epilogue follows.
void CollapseDuplicateLines(Editor& editor);

// "連続する重複行を残さず削除", step 057 plus the
// choice: every line of a run of two or more equal adjacent lines is removed,
// the first included; then the epilogue.
void RemoveDuplicateLines(Editor& editor);

// "重複行を削除（最初の行を残す）", step 076 plus
// the choice: every later repeat of a line (byte for byte), adjacent or not,
// is removed and the first occurrence stays where it stands; then the
// epilogue. Linear in the number of lines (hashing).
void RemoveRepeatedLines(Editor& editor);

// "連続する空行を一行にまとめる", step 036: each run
// of empty lines shrinks to one. A line of spaces is not empty.
void CollapseBlankLines(Editor& editor);

// "空行をすべて削除する", step 013: every empty line goes.
void RemoveBlankLines(Editor& editor);

// "連続する空白文字をひとつにまとめる", step 010:
// each run of half-width spaces and each run of full-width spaces becomes one.
void CompressSpaces(Editor& editor);

// "行頭の空白文字を削除する", step 014.
void TrimLeadingSpaces(Editor& editor);

// "行末の空白文字を削除する", step 015.
void TrimTrailingSpaces(Editor& editor);

// "指定文字数で改行（禁則無し）", step 058 and the
// width (decimal), recorded after the prompt "何文字で折り返しますか？" (step
// parameter 1). A width that is not above 0 changes no line and records
// nothing. Every line is cut into pieces of at most the width in bytes,
// never inside a character; each piece becomes a line of its own.
void WrapLines(Editor& editor);

// "行の左右を逆にする", step 009: the characters of each
// line in reverse order ("あいb" -> "bいあ").
void ReverseEachLine(Editor& editor);

// "指定した文字列を境に左右を入れ替える", step 067 and the boundary, recorded
// before the work; prompt "境にする文字列は？"
// (step parameter 1). An empty or cancelled answer ends the command before
// it starts. Each line A + S + B, S being the first occurrence of the
// boundary, becomes B + S + A.
void SwapAroundText(Editor& editor);

// "指定した文字列を境に左右を入れ替える（正規表現）", step 068 and the pattern;
// prompt "境にする正規表現文字列は？". S is the leftmost-longest match (RegexFind,
// case-sensitive). A bad pattern throws EbmREToken from the first line, after
// the step was recorded; the lines are then stored unchanged.
void SwapAroundPattern(Editor& editor);

// --- the per-line rules, on their own ---

// Collapses runs of same-kind spaces in place. Returns true when it changed.
bool CompressSpaceRuns(std::string& line);

// Removes leading, or trailing, half- and full-width spaces in place.
void TrimLeading(std::string& line);
void TrimTrailing(std::string& line);
// The part of line that those leave (a view of line).
std::string_view WithoutLeadingSpaces(std::string_view line);
std::string_view WithoutTrailingSpaces(std::string_view line);

// Fills *pieces (cleared first) with line cut at width bytes (width > 0):
// each piece is the longest run of whole characters that fits, or one
// two-byte character when the width is 1. An empty line gives one empty
// piece. The pieces view line.
void WrapPieces(std::string_view line, std::size_t width, std::vector<std::string_view>* pieces);

// Reverses the order of the characters of line in place.
void ReverseCharacters(std::string& line);
// Writes the characters of line in reverse order to out (line.size() bytes).
void ReverseCharactersTo(std::string_view line, char* out);

// Returns the 0-based byte position of the first occurrence of boundary in
// line that starts on a character, or npos.
std::size_t FindAtCharacter(std::string_view line, std::string_view boundary);

}  // namespace parvane

#endif  // PARVANE_COMMANDS_TIDYING_H_
