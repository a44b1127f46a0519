// Step lines: one recorded command per line, "[step name],param,..." joined by
// JoinFields. This file turns names into codes and reads the code field.
#ifndef PARVANE_AUTOMATION_STEP_LINE_H_
#define PARVANE_AUTOMATION_STEP_LINE_H_

#include <string>
#include <string_view>

namespace parvane {

// Replaces every step name of the command table, in table order (longest
// first), by its three-digit code, anywhere in text: title line and
// parameters included. Matching is exact and case-sensitive, and a match
// must start on a Shift_JIS character boundary: a "[" that is the trail byte
// of a two-byte character (as in "ー", 81 5B) never starts a name.
std::string SubstituteStepNames(std::string_view text);

// Replaces a command's alias ("reverse", "prefix" ...) that is the whole
// first field of step_line by the command's three-digit code; the rest of the
// line is kept byte for byte. A line whose first field is no alias comes back
// unchanged.
std::string ResolveStepAlias(std::string_view step_line);

// The code of a step's first field: a decimal integer (optional blanks
// before it, an optional sign); anything else, including an out-of-range
// number, gives 0.
int StepCode(std::string_view field);

}  // namespace parvane

#endif  // PARVANE_AUTOMATION_STEP_LINE_H_
