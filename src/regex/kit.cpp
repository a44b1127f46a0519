// The kit routines: the shared regular-expression object configured for
// document text (Shift_JIS), so that a command applying one pattern to every
// line compiles it once.
#include "regex/kit.h"

#include "regex/match.h"
#include "regex/reader.h"

namespace parvane {
namespace {

// One per thread: the object keeps its automaton and a decoded line
// between calls, which must not be shared by concurrent searches.
// The two syntaxes keep an object each, so that alternating between them
// does not recompile.
TbmRExp& SharedRegex(std::string_view pattern, bool ignore_case, bool extended = false) {
  thread_local TbmRExp regexes[2];
  TbmRExp& regex = regexes[extended ? 1 : 0];
  if (regex.IsCompiledFor(SystemCharCode, pattern, true, ignore_case, extended)) return regex;
  regex.SetCharCode(SystemCharCode);
  regex.SetPattern(pattern);
  regex.SetOption(0, true);
  regex.SetOption(1, ignore_case);
  regex.SetOption(2, extended);
  regex.GetDFATable();
  return regex;
}

}  // namespace

int RegexFind(std::string_view pattern, bool ignore_case, std::string_view line, int* position,
              int* length) {
  int match_length = 0;
  int start = SharedRegex(pattern, ignore_case).Match(line, 0, &match_length);
  int result = start < 0 ? 0 : start + 1;
  if (position) *position = result;
  if (length) *length = start < 0 ? 0 : match_length;
  return result;
}

bool RegexContains(std::string_view pattern, bool ignore_case, std::string_view line) {
  return SharedRegex(pattern, ignore_case).Contains(line);
}

int RegexReplaceFirst(std::string_view pattern, bool ignore_case, std::string_view replacement,
                      std::string& line) {
  return SharedRegex(pattern, ignore_case).ReplaceFirst(replacement, line);
}

int RegexReplaceAll(std::string_view pattern, bool ignore_case, std::string_view replacement,
                    std::string& line, std::size_t max_length) {
  return SharedRegex(pattern, ignore_case).ReplaceAll(replacement, line, max_length);
}

int RegexReplaceAll(std::string_view pattern, bool ignore_case, std::string_view replacement,
                    std::string_view line, std::string* out, std::size_t max_length) {
  return SharedRegex(pattern, ignore_case).ReplaceAll(replacement, line, out, max_length);
}

int RegexFindExtended(std::string_view pattern, bool ignore_case, std::string_view line, int* position,
                      int* length) {
  int match_length = 0;
  int start = SharedRegex(pattern, ignore_case, true).Match(line, 0, &match_length);
  int result = start < 0 ? 0 : start + 1;
  if (position) *position = result;
  if (length) *length = start < 0 ? 0 : match_length;
  return result;
}

bool RegexContainsExtended(std::string_view pattern, bool ignore_case, std::string_view line) {
  return SharedRegex(pattern, ignore_case, true).Contains(line);
}

int RegexReplaceAllExtended(std::string_view pattern, bool ignore_case, std::string_view replacement,
                            std::string& line, std::size_t max_length) {
  return SharedRegex(pattern, ignore_case, true).ReplaceAll(replacement, line, max_length);
}

int RegexReplaceAllExtended(std::string_view pattern, bool ignore_case, std::string_view replacement,
                            std::string_view line, std::string* out, std::size_t max_length) {
  return SharedRegex(pattern, ignore_case, true).ReplaceAll(replacement, line, out, max_length);
}

std::vector<std::pair<int, int>> RegexGroupsExtended(std::string_view pattern, bool ignore_case,
                                                     std::string_view line) {
  TbmRExp& regex = SharedRegex(pattern, ignore_case, true);
  int length = 0;
  int start = regex.Match(line, 0, &length);
  if (start < 0) return {};
  return regex.Groups(line, start, length);
}

}  // namespace parvane
