// Japanese collation through ICU. Letter case is folded before the collator
// sees the text, so "ABC" and "abc" are equal while the collator's own
// distinctions (kana, width) keep their order.
#include "text/collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <vector>

#include "text/cp932.h"
#include "text/private_codes.h"

namespace parvane {
namespace {

icu::UnicodeString Folded(std::string_view sjis, const PrivateCodes* codes) {
  std::u16string units = codes != nullptr ? codes->ToUtf16(sjis) : Cp932ToUtf16(sjis);
  icu::UnicodeString text(units.data(), static_cast<int32_t>(units.size()));
  text.foldCase();
  return text;
}

}  // namespace

struct JapaneseCollator::Impl {
  // Null only when ICU has no collation data at all; then code unit order.
  std::unique_ptr<icu::Collator> collator;
  const PrivateCodes* codes = nullptr;
};

JapaneseCollator::JapaneseCollator(const PrivateCodes* codes) : impl_(std::make_unique<Impl>()) {
  impl_->codes = codes;
  UErrorCode status = U_ZERO_ERROR;
  impl_->collator.reset(icu::Collator::createInstance(icu::Locale("ja"), status));
  if (U_FAILURE(status)) impl_->collator.reset();
}

JapaneseCollator::~JapaneseCollator() = default;

int JapaneseCollator::Compare(std::string_view a, std::string_view b) const {
  icu::UnicodeString x = Folded(a, impl_->codes);
  icu::UnicodeString y = Folded(b, impl_->codes);
  if (!impl_->collator) return x.compare(y);
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult result = impl_->collator->compare(x, y, status);
  if (U_FAILURE(status)) return x.compare(y);
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

std::string JapaneseCollator::SortKey(std::string_view sjis) const {
  icu::UnicodeString text = Folded(sjis, impl_->codes);
  std::string key;
  if (!impl_->collator) {
    // Big-endian code units keep code unit order under memcmp.
    key.reserve(static_cast<std::size_t>(text.length()) * 2);
    for (int32_t i = 0; i < text.length(); ++i) {
      key.push_back(static_cast<char>(text[i] >> 8));
      key.push_back(static_cast<char>(text[i] & 0xFF));
    }
    return key;
  }
  uint8_t small[256];
  int32_t needed = impl_->collator->getSortKey(text, small, sizeof small);
  if (needed <= static_cast<int32_t>(sizeof small)) {
    key.assign(reinterpret_cast<const char*>(small), static_cast<std::size_t>(needed));
  } else {
    std::vector<uint8_t> large(static_cast<std::size_t>(needed));
    impl_->collator->getSortKey(text, large.data(), needed);
    key.assign(reinterpret_cast<const char*>(large.data()), large.size());
  }
  // ICU ends every key with one 00 byte and uses none inside it; dropping it
  // keeps the order and lets a key be a prefix of a longer one.
  if (!key.empty() && key.back() == '\0') key.pop_back();
  return key;
}

}  // namespace parvane
