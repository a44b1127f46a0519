// The integer conversion that the program's number prompts and step
// parameters rely on: optional leading spaces, an optional sign, then decimal
// digits, or hexadecimal digits after "$", "x" or "0x"; 32-bit range.
#ifndef PARVANE_TEXT_INTEGER_H_
#define PARVANE_TEXT_INTEGER_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvane {

// Returns the value of text, or nullopt when text is not such a number.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// The same with decimal digits only: "$10", "x10" and "0x10" are not numbers.
// For prompts that ask for a count a person reads, such as a line number.
std::optional<std::int32_t> ParseDecimal(std::string_view text);

}  // namespace parvane

#endif  // PARVANE_TEXT_INTEGER_H_
