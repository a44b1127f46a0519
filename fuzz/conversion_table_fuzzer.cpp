// Conversion tables: the input's first part is a table file's lines, the
// rest the document. The table is applied under a small length limit: it
// either succeeds with every line within the limit or stops with a line of
// exactly limit + 1 bytes; either way it ends quickly, however the rules
// feed each other. Without a limit the result is that of applying the rules
// one by one, each through ReplaceIgnoringCase.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chars/conversion_table.h"
#include "editor/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const parvane::Lines table = parvane::SplitLines(input.ConsumeRandomLengthString(400));
  const parvane::Lines document = parvane::SplitLines(input.ConsumeRemainingBytesAsString());

  parvane::Lines limited = document;
  for (std::string& line : limited) {
    if (line.size() > limit) line.resize(limit);
  }
  const parvane::Lines start = limited;
  const bool within = parvane::ApplyConversionTable(table, limited, {}, limit);
  bool passed = false;
  for (const std::string& line : limited) {
    if (line.size() > limit + 1) std::abort();
    if (line.size() == limit + 1) passed = true;
  }
  if (within == passed) std::abort();

  // Within the limit the early stop changes nothing: the same rules without
  // a limit give the same lines.
  if (within) {
    parvane::Lines unlimited = start;
    if (!parvane::ApplyConversionTable(table, unlimited)) std::abort();
    if (unlimited != limited) std::abort();
  }
  return 0;
}
