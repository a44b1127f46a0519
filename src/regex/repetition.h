// ExpandRepetitions: counted repetition of the extended syntax, written out
// as the operators the rest of the engine knows, so that the automata and
// the group matcher see one and the same pattern.
#ifndef PARVANE_REGEX_REPETITION_H_
#define PARVANE_REGEX_REPETITION_H_

#include "regex/token.h"

namespace parvane {

// Rewrites every repetition token (kind 27) with the atom before it - a
// character, a class, a dot, an anchor or a whole group - as that atom m
// times, then for {m,} the atom with '*', for {m,n} n - m copies of the
// atom with '?'. Copies of a group keep its number, so the group reports
// its last iteration. Other tokens are left as they are.
// Throws EbmREToken: 25 when nothing repeatable precedes the count
// (a leading count, one after an operator or after '|' or '('), 26 when
// the written-out pattern would exceed the compile budget.
void ExpandRepetitions(TbmRETokens* tokens);

}  // namespace parvane

#endif  // PARVANE_REGEX_REPETITION_H_
