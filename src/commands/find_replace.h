// Find and replace ("検索(&F)..." Ctrl+F, "置換(&R)..." Ctrl+R): the core side
// of the find/replace dialog. Find narrows the selection to the rows that
// contain the search text; replace rewrites every occurrence in the selected
// lines (or the whole document) in one pass. Each has a plain and a regular
// expression variant (the regex kit, ignore-case = not "match case").
//
// A bad regular expression throws EbmREToken (a std::runtime_error) from the
// first kit call, before any row or line changed; the command's closing steps
// have run by the time it reaches the caller, and its step is recorded.
#ifndef PARVANE_COMMANDS_FIND_REPLACE_H_
#define PARVANE_COMMANDS_FIND_REPLACE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

// What the find/replace dialog holds between uses, for the whole run of the
// program. Playback writes its parameters into the texts; the match-case
// boxes are not part of a step, so playback uses whatever they hold.
struct FindReplaceFields {
  std::string find_text;            // "検索" page, "検索する文字列(&N):"
  bool find_match_case = false;     // "検索" page, "大文字と小文字を区別する(&C)"
  std::string replace_find_text;    // "置換" page, "検索する文字列(&N):"
  std::string replace_with_text;    // "置換" page, "置換後の文字列(&P):"
  bool replace_match_case = false;  // "置換" page, "大文字と小文字を区別する(&C)"
  bool find_extended = false;       // "検索" page, "拡張構文": the regex button uses the extended syntax
  bool replace_extended = false;    // "置換" page, "拡張構文"
};

// The one set of dialog fields of this program run.
FindReplaceFields& SharedFindReplaceFields();

enum class SearchMode {
  kPlain,  // substring search that never matches from a trail byte
  kRegex,  // the regex kit
  kExtendedRegex,  // the regex kit's extended syntax (groups, counts, \d \w \s)
};

// The find buttons: "検索(&F)" (kPlain, step 059,text) and "正規表現で検索(&M)"
// (kRegex, step 060,pattern). When at most one row is selected,
// "すべて選択" runs first (recorded as its own step). Every selected row
// without a match becomes unselected; no row is newly selected. No undo.
void FindRows(Editor& editor, std::string_view text, SearchMode mode, bool match_case);

// With "拡張構文" checked the regular-expression button is kExtendedRegex,
// step 072,pattern.
// The replace buttons: "すべて置換(&A)" (kPlain, step 061,find,replacement)
// and "正規表現で置換(&S)" (kRegex, step 062,pattern,template; '&'
// stands for the match and backslash escapes apply); with "拡張構文" checked
// kExtendedRegex, step 073,pattern,template, where \0-\9 are
// the match and its groups.
void ReplaceInLines(Editor& editor, std::string_view find, std::string_view replacement,
                    SearchMode mode, bool match_case);

// The menu commands as steps (codes 059-062, 072, 073). Each reads its texts by the
// playback rule (a literal value, or an input box under "@all"/"@1st":
// "検索する文字列は？", preceded by "正規表現" for the regex variants, and
// "置換後の文字列は？"), writes them into SharedFindReplaceFields() and runs the
// button handler with the dialog's match-case state. Outside playback they
// ask the same way (the desktop program shows its dialog instead).
void FindCommand(Editor& editor);          // 059
void RegexFindCommand(Editor& editor);     // 060
void ReplaceCommand(Editor& editor);       // 061
void RegexReplaceCommand(Editor& editor);  // 062
// The extended-syntax steps (codes 072 and 073), prompts preceded by
// "拡張正規表現".
void ExtendedRegexFindCommand(Editor& editor);     // 072
void ExtendedRegexReplaceCommand(Editor& editor);  // 073

// Plain search in Shift_JIS lines: a match starts and ends on character
// boundaries, so a trail byte never begins one. Without match case, ASCII
// letters of single-byte characters compare case-insensitively (bytes of
// two-byte characters never change). An empty search text matches nothing.
class PlainMatcher {
 public:
  PlainMatcher(std::string_view text, bool match_case);

  // Returns the byte offset of the first match at or after `from` (which must
  // be a character boundary), or npos.
  std::size_t Find(std::string_view line, std::size_t from = 0);

  // Replaces every match, scanning left to right and continuing after each
  // replacement (inserted text is never searched again). Returns the count.
  // A result longer than max_length bytes is built no further: line then
  // holds its first max_length + 1 bytes, for a length check to refuse.
  std::size_t ReplaceAll(std::string& line, std::string_view replacement,
                         std::size_t max_length = std::string::npos);
  // The same for a line held elsewhere (a view of a line store): the result
  // goes to *out, written only when the count is not 0; out must not hold
  // line's bytes.
  std::size_t ReplaceAll(std::string_view line, std::string_view replacement, std::string* out,
                         std::size_t max_length = std::string::npos);

 private:
  std::size_t FindIn(std::string_view hay, std::string_view line, std::size_t from) const;

  std::string needle_;  // folded when !match_case_
  bool match_case_;
  std::string folded_;  // reused buffer for the folded line
  std::string out_;     // reused buffer for ReplaceAll
};

}  // namespace parvane

#endif  // PARVANE_COMMANDS_FIND_REPLACE_H_
