// RTF to plain text on arbitrary bytes, read both as a code-page document and
// as RTF that came out of a Unicode file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "codes/rtf.h"

namespace {

// The reader promises whole lines: every line it gives ends with CR LF, and
// a count of unmapped characters comes with the line of the first one.
void Check(const parvane::RtfText& out) {
  if (!out.text.empty() && (out.text.size() < 2 || out.text.compare(out.text.size() - 2, 2, "\r\n") != 0)) {
    std::abort();
  }
  if ((out.unmapped_count == 0) != (out.first_unmapped_line == 0)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rtf(reinterpret_cast<const char*>(data), size);
  Check(parvane::RtfToText(rtf, false));
  Check(parvane::RtfToText(rtf, true));
  return 0;
}
