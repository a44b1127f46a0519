// The HTTP escape form of a line, both ways.
#ifndef PARVANE_CHARS_HTTP_ESCAPE_H_
#define PARVANE_CHARS_HTTP_ESCAPE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace parvane {

// Returns line in HTTP escape form: A-Z, a-z, 0-9 and ! $ ' ( ) * - . @ _
// stay, a space becomes "+", every other byte (each byte of a two-byte
// character too) becomes "%" and two upper-case hexadecimal digits.
std::string ToHttpEscape(std::string_view line);
// The same written at out, which has room for HttpEscapeRoom(line.size())
// bytes; returns the count written.
std::size_t ToHttpEscape(std::string_view line, char* out);
// The most bytes ToHttpEscape writes for `size` bytes.
constexpr std::size_t HttpEscapeRoom(std::size_t size) { return 3 * size; }

// Decodes the HTTP escape form: "%%" gives "%", "%" and two hexadecimal digits
// (either case) give that byte, "+" a space; other bytes stay. Returns false
// at the first "%" not followed by two hexadecimal digits, with *bad set to
// "$" and the (up to two) bytes that follow it; *out is then unspecified.
bool FromHttpEscape(std::string_view line, std::string* out, std::string* bad);

}  // namespace parvane

#endif  // PARVANE_CHARS_HTTP_ESCAPE_H_
