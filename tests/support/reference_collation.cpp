#include "support/reference_collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "text/cp932.h"
#include "text/private_codes.h"

namespace parvane {

std::string ReferenceSortKey(std::string_view sjis, const PrivateCodes* codes) {
  // A collator of each thread's own, made once.
  thread_local const std::unique_ptr<icu::Collator> collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale("ja"), status));
    return U_FAILURE(status) ? nullptr : std::move(made);
  }();
  const std::u16string units = codes != nullptr ? codes->ToUtf16(sjis) : Cp932ToUtf16(sjis);
  icu::UnicodeString text(units.data(), static_cast<int32_t>(units.size()));
  text.foldCase();
  std::string key;
  if (!collator) {
    for (int32_t i = 0; i < text.length(); ++i) {
      key.push_back(static_cast<char>(text[i] >> 8));
      key.push_back(static_cast<char>(text[i] & 0xFF));
    }
    return key;
  }
  std::vector<uint8_t> bytes(static_cast<std::size_t>(collator->getSortKey(text, nullptr, 0)));
  collator->getSortKey(text, bytes.data(), static_cast<int32_t>(bytes.size()));
  key.assign(bytes.begin(), bytes.end());
  if (!key.empty() && key.back() == '\0') key.pop_back();
  return key;
}

std::vector<std::string> StableSortedBy(
    const std::vector<std::string>& lines,
    const std::function<std::string(const std::string&)>& key_of) {
  std::vector<std::string> keys;
  keys.reserve(lines.size());
  for (const std::string& line : lines) keys.push_back(key_of(line));
  std::vector<std::size_t> order(lines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<std::string> sorted;
  sorted.reserve(lines.size());
  for (std::size_t i : order) sorted.push_back(lines[i]);
  return sorted;
}

}  // namespace parvane
