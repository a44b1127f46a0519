// The regular-expression kit: the only door through which the rest of the
// program uses the engine. Patterns and lines are Shift_JIS bytes.
//
// All three routines compile the pattern (cached while the pattern and the
// flag stay the same) and throw EbmREToken (regex/token.h) for a bad pattern.
#ifndef PARVANE_REGEX_KIT_H_
#define PARVANE_REGEX_KIT_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parvane {

// Finds the leftmost-longest match of pattern in line. Returns its 1-based
// byte position, or 0 when there is none; *position receives the same value
// and *length the match's length in bytes (0 when there is no match).
int RegexFind(std::string_view pattern, bool ignore_case, std::string_view line, int* position,
              int* length);

// Returns whether pattern matches anywhere in line: the same answer as
// RegexFind(...) >= 1, cheaper when the place of the match does not matter.
bool RegexContains(std::string_view pattern, bool ignore_case, std::string_view line);

// Replaces the leftmost match by the expanded template ('&' is the matched
// text, backslash escapes apply). Returns 1 when replaced, 0 when nothing
// matched (line unchanged).
int RegexReplaceFirst(std::string_view pattern, bool ignore_case, std::string_view replacement,
                      std::string& line);

// Replaces every match, left to right. Returns the number of matches replaced.
// A result longer than max_length bytes is built no further: line then holds
// its first max_length + 1 bytes (see TbmRExp::ReplaceAll).
int RegexReplaceAll(std::string_view pattern, bool ignore_case, std::string_view replacement,
                    std::string& line, std::size_t max_length = std::string::npos);
// The same for a line held elsewhere (a view of a line store): the result
// goes to *out, written only when the count is not 0; out must not hold
// line's bytes.
int RegexReplaceAll(std::string_view pattern, bool ignore_case, std::string_view replacement,
                    std::string_view line, std::string* out,
                    std::size_t max_length = std::string::npos);

// The same routines in the extended syntax (opt-in; the routines above keep
// the syntax stored steps were written in): everything above plus \d \D \w
// \W \s \S, counts {m}, {m,}, {m,n}, groups ( ) and "(?:" ), and in the
// template \0 (or &) for the match and \1-\9 for its groups (empty for a
// group that took no part). Matches stay leftmost-longest; a group holds
// what POSIX assigns it (regex/groups.h).
int RegexFindExtended(std::string_view pattern, bool ignore_case, std::string_view line, int* position,
                      int* length);
bool RegexContainsExtended(std::string_view pattern, bool ignore_case, std::string_view line);
int RegexReplaceAllExtended(std::string_view pattern, bool ignore_case, std::string_view replacement,
                            std::string& line, std::size_t max_length = std::string::npos);
int RegexReplaceAllExtended(std::string_view pattern, bool ignore_case, std::string_view replacement,
                            std::string_view line, std::string* out,
                            std::size_t max_length = std::string::npos);

// Returns the match of the extended pattern and its groups: entry 0 the
// match, entry k group k, each as a 0-based byte offset and a length,
// (-1, 0) for a group that took no part; an empty vector when nothing
// matches.
std::vector<std::pair<int, int>> RegexGroupsExtended(std::string_view pattern, bool ignore_case,
                                                     std::string_view line);

}  // namespace parvane

#endif  // PARVANE_REGEX_KIT_H_
