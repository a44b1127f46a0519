// The regular-expression kit on a pattern, a line and a replacement taken
// from the input: byte 0 holds the flags (bit 0: ignore case), then the
// pattern up to the first LF, the line up to the next LF, and the rest is the
// replacement template. A refused pattern must throw EbmREToken and nothing
// else; a match must lie inside the line; the three routines must agree on
// whether there is a match.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "regex/kit.h"
#include "regex/token.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool ignore_case = (data[0] & 1) != 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t cut = rest.find('\n');
  std::string_view pattern = rest.substr(0, cut);
  rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  cut = rest.find('\n');
  std::string_view line = rest.substr(0, cut);
  std::string_view replacement =
      cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);

  try {
    int position = -1, length = -1;
    int found = parvane::RegexFind(pattern, ignore_case, line, &position, &length);
    if (found != position || found < 0 || length < 0) std::abort();
    if (found == 0 && length != 0) std::abort();
    if (found > 0 && static_cast<std::size_t>(found - 1) + static_cast<std::size_t>(length) > line.size()) {
      std::abort();
    }

    std::string first(line);
    int replaced_first = parvane::RegexReplaceFirst(pattern, ignore_case, replacement, first);
    std::string all(line);
    int replaced_all = parvane::RegexReplaceAll(pattern, ignore_case, replacement, all);
    if (replaced_first != (found > 0 ? 1 : 0)) std::abort();
    if ((replaced_all > 0) != (found > 0)) std::abort();
    if (found == 0 && (first != line || all != line)) std::abort();
  } catch (const parvane::EbmREToken& e) {
    const int kind = e.Kind();
    if (kind < parvane::kTokenNeedRightBracket || kind > parvane::kTokenTooComplex) std::abort();
    if (std::strcmp(e.what(), parvane::TokenKindText(kind)) != 0) std::abort();
    const auto& token = e.Token();
    if (token.StartPos < 0 || token.StartPos > token.EndPos ||
        static_cast<std::size_t>(token.EndPos) > pattern.size() + 1) {
      std::abort();
    }
  }
  return 0;
}
