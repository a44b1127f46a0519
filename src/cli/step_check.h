// Checks of an -e step line before anything runs: StepArgumentError is the
// entry point. A step line from the shell is UTF-8; what the core would do
// with a malformed one (turn bytes into "?", end a field at a tab) changes
// the step silently, so such a line is refused as a usage error instead.
#ifndef PARVANE_CLI_STEP_CHECK_H_
#define PARVANE_CLI_STEP_CHECK_H_

#include <optional>
#include <string>
#include <string_view>

namespace parvane {

// Returns why the step line cannot be used as given, or nullopt:
//  - "invalid UTF-8 at byte N" (N counts from 1): a byte that starts no
//    character, a sequence cut short, an overlong form, a surrogate or a
//    code point above U+10FFFF;
//  - "control byte 0xNN outside double quotes (quote that parameter)": a
//    byte 0x01-0x1F, or NUL, anywhere a bare field would end at it or skip
//    it. Inside a quoted field every byte is data.
std::optional<std::string> StepArgumentError(std::string_view step_utf8);

// The step line as it can be shown on a terminal: every byte below 0x20,
// 0x7F and every byte of invalid UTF-8 written as \xNN.
std::string PrintableStep(std::string_view step_utf8);

}  // namespace parvane

#endif  // PARVANE_CLI_STEP_CHECK_H_
