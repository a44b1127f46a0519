// "変換テーブルで変換": rewrites the selected lines (or the whole document) by
// a table file of search=replacement lines, one rule after another.
//
//   function         menu caption / step name     code
//   ConvertByTable   "変換テーブルで変換"           071, parameter: the table file's full path
//
// A table line is a rule when it holds "=" after at least one byte: the search
// text is everything before the first "=", the replacement everything after
// it (possibly empty, possibly holding "="); nothing is trimmed. For a search
// text, the replacement of its first rule counts, search texts compared
// without regard to ASCII letter case. Rules apply in file order, each to the
// result of the ones before, matching without regard to ASCII letter case
// and only on Shift_JIS character boundaries.
#ifndef PARVANE_CHARS_CONVERSION_TABLE_H_
#define PARVANE_CHARS_CONVERSION_TABLE_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"

namespace parvane {

void ConvertByTable(Editor& editor);

struct ConversionRule {
  std::string search;       // never empty
  std::string replacement;  // may be empty (deletes the search text)
};

// Returns the rule of one table line, or nullopt when the line has no "=" or
// begins with one.
std::optional<ConversionRule> ParseConversionRule(std::string_view line);

// Replaces, left to right and without overlap, every occurrence of search in
// *line by replacement, ignoring the case of ASCII letters; an occurrence
// starts and ends on character boundaries. Returns the number replaced.
// *scratch is working space the caller may reuse between calls. A result
// longer than max_length bytes is built no further: *line then holds its
// first max_length + 1 bytes.
std::size_t ReplaceIgnoringCase(std::string* line, std::string_view search,
                                std::string_view replacement, std::string* scratch,
                                std::size_t max_length = std::string::npos);
// The same for a line held elsewhere (a view of a line store): the result
// goes to *out, written only when the count is not 0; out must not hold
// text's bytes.
std::size_t ReplaceIgnoringCase(std::string_view text, std::string_view search,
                                std::string_view replacement, std::string* out,
                                std::size_t max_length = std::string::npos);

// Applies the table (its lines as read from the file) to lines. Before table
// line k (1-based) of n is considered, before_rule(k, n) is called when given.
// Returns false, as soon as a line passes max_length bytes after a rule,
// with that line cut to max_length + 1 bytes and the later rules not applied:
// rules that feed each other would otherwise multiply a line's length at
// every rule. (So a line that would shrink back under the limit by a later
// rule is refused all the same.)
bool ApplyConversionTable(const Lines& table_lines, Lines& lines,
                          const std::function<void(std::size_t, std::size_t)>& before_rule = {},
                          std::size_t max_length = std::string::npos);
// The same on a command's store: rewritten lines get blocks of their own,
// which the store then shares; the others keep their bytes.
bool ApplyConversionTable(const Lines& table_lines, LineStore& lines,
                          const std::function<void(std::size_t, std::size_t)>& before_rule = {},
                          std::size_t max_length = std::string::npos);

}  // namespace parvane

#endif  // PARVANE_CHARS_CONVERSION_TABLE_H_
