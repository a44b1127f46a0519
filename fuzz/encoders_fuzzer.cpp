// The HTTP-escape and Base64 decoders on any line, and both encoders undone
// by their decoders.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chars/base64.h"
#include "chars/http_escape.h"

namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);

  std::string out, bad;
  if (parvane::FromHttpEscape(line, &out, &bad)) {
    // Every decoded byte costs at least one input byte.
    if (out.size() > line.size()) std::abort();
  } else {
    // The reported escape is a "%" not followed by two hexadecimal digits.
    if (bad.empty() || bad.size() > 3 || bad[0] != '$') std::abort();
    const std::size_t at = line.find('%' + bad.substr(1));
    if (at == std::string_view::npos) std::abort();
  }
  std::string back;
  if (!parvane::FromHttpEscape(parvane::ToHttpEscape(line), &back, &bad) || back != line) {
    std::abort();
  }
  const std::string escaped = parvane::ToHttpEscape(line);
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '%' && (i + 2 >= escaped.size() || !IsHex(escaped[i + 1]) ||
                              !IsHex(escaped[i + 2]))) {
      std::abort();
    }
  }

  std::string decoded;
  if (parvane::FromBase64(line, &decoded)) {
    if (decoded.size() > line.size()) std::abort();
    // What decodes, encodes to the same length class of text.
    if (parvane::ToBase64(decoded).size() != (decoded.size() + 2) / 3 * 4) std::abort();
  }
  const std::string encoded = parvane::ToBase64(line);
  if (encoded.size() != (line.size() + 2) / 3 * 4) std::abort();
  // The decoder refuses control characters other than TAB, LF and CR.
  bool plain = true;
  for (unsigned char c : line) {
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) plain = false;
  }
  if (plain) {
    std::string round;
    if (!parvane::FromBase64(encoded, &round) || round != line) std::abort();
  }
  return 0;
}
