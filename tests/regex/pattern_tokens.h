// The tokens the compiler reads from a Shift_JIS pattern, repetitions of the
// extended syntax written out: what the search routes are chosen from.
#ifndef PARVANE_TESTS_REGEX_PATTERN_TOKENS_H_
#define PARVANE_TESTS_REGEX_PATTERN_TOKENS_H_

#include <string_view>

#include "regex/repetition.h"
#include "regex/scanner.h"
#include "regex/token.h"

namespace parvane {

inline TbmRETokens PatternTokens(std::string_view pattern, bool extended = false) {
  TbmREScanner scanner(kCharCodeShiftJis);
  scanner.SetExtended(extended);
  scanner.SetText(pattern);
  TbmRETokens tokens;
  Tokenize(scanner, &tokens);
  if (extended) ExpandRepetitions(&tokens);
  return tokens;
}

}  // namespace parvane

#endif  // PARVANE_TESTS_REGEX_PATTERN_TOKENS_H_
