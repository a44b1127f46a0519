// Comma-separated fields: splitting any line must not fail, and splitting
// the joined form of a list of fields gives the list back when its last field
// is not empty (a trailing empty field is written as a trailing comma, which
// splitting drops by design). The list is the rest of the input cut at the
// byte that comes first, so every byte value can still appear in a field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editor/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)parvane::SplitFields(bytes);
  if (size == 0) return 0;

  const char cut = bytes[0];
  std::string_view rest = bytes.substr(1);
  parvane::Lines fields;
  for (;;) {
    std::size_t at = rest.find(cut);
    fields.emplace_back(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest = rest.substr(at + 1);
  }
  if (fields.back().empty() && fields.size() > 1) return 0;
  if (parvane::SplitFields(parvane::JoinFields(fields)) != fields) std::abort();
  return 0;
}
