// Japanese collation through ICU. Letter case is folded before the collator
// sees the text, so "ABC" and "abc" are equal while the collator's own
// distinctions (kana, width) keep their order.
//
// Keys come from ICU's incremental sort key (ucol_nextSortKeyPart) for the
// whole key and for prefixes alike, so a prefix is by construction the start
// of the key it abbreviates.
#include "text/collation.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "text/cp932.h"
#include "text/private_codes.h"

namespace parvane {

struct JapaneseCollator::Impl {
  // Returns sjis in UTF-16 with letter case folded, in out.
  std::u16string_view Folded(std::string_view sjis, std::u16string& out);

  // Null only when ICU has no collation data at all; then code unit order.
  icu::LocalUCollatorPointer collator;
  const PrivateCodes* codes = nullptr;
  std::u16string units;      // the line in UTF-16, before folding
  std::u16string folded[2];  // folded lines: Compare holds two at once
  std::string key;           // SortKeyPrefix's result
};

namespace {

// ICU measures texts and keys in int32_t.
int32_t IcuLength(std::size_t n) {
  if (n > static_cast<std::size_t>(INT32_MAX)) throw std::length_error("collation: line too long");
  return static_cast<int32_t>(n);
}

void CheckIcu(UErrorCode status) {
  if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
  if (U_FAILURE(status)) throw std::runtime_error(std::string("collation: ") + u_errorName(status));
}

}  // namespace

std::u16string_view JapaneseCollator::Impl::Folded(std::string_view sjis, std::u16string& out) {
  if (codes != nullptr) {
    codes->ToUtf16(sjis, units);
  } else {
    Cp932ToUtf16(sjis, units);
  }
  // Full case folding turns one unit into at most three (U+0390 gives three
  // characters), so the first attempt fits; the buffer only ever grows. The
  // default options are those of icu::UnicodeString::foldCase().
  if (out.size() < 3 * units.size()) out.resize(3 * units.size());
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = u_strFoldCase(out.data(), IcuLength(out.size()), units.data(),
                                 IcuLength(units.size()), U_FOLD_CASE_DEFAULT, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(static_cast<std::size_t>(length));
    status = U_ZERO_ERROR;
    length = u_strFoldCase(out.data(), IcuLength(out.size()), units.data(), IcuLength(units.size()),
                           U_FOLD_CASE_DEFAULT, &status);
  }
  CheckIcu(status);
  return {out.data(), static_cast<std::size_t>(length)};
}

JapaneseCollator::JapaneseCollator(const PrivateCodes* codes) : impl_(std::make_unique<Impl>()) {
  impl_->codes = codes;
  UErrorCode status = U_ZERO_ERROR;
  impl_->collator.adoptInstead(ucol_open("ja", &status));
  if (U_FAILURE(status)) impl_->collator.adoptInstead(nullptr);
}

JapaneseCollator::~JapaneseCollator() = default;

int JapaneseCollator::Compare(std::string_view a, std::string_view b) const {
  const std::u16string_view x = impl_->Folded(a, impl_->folded[0]);
  const std::u16string_view y = impl_->Folded(b, impl_->folded[1]);
  if (impl_->collator.isNull()) return x.compare(y);
  const UCollationResult result = ucol_strcoll(impl_->collator.getAlias(), x.data(),
                                               IcuLength(x.size()), y.data(), IcuLength(y.size()));
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

std::string JapaneseCollator::SortKey(std::string_view sjis) const {
  return std::string(SortKeyPrefix(sjis, kWholeKey));
}

std::string_view JapaneseCollator::SortKeyPrefix(std::string_view sjis, std::size_t limit) const {
  const std::u16string_view text = impl_->Folded(sjis, impl_->folded[0]);
  std::string& key = impl_->key;
  key.clear();
  if (impl_->collator.isNull()) {
    // Big-endian code units keep code unit order under memcmp.
    const std::size_t units = std::min(text.size(), limit / 2 + 1);
    key.resize(2 * units);
    for (std::size_t i = 0; i < units; ++i) {
      key[2 * i] = static_cast<char>(text[i] >> 8);
      key[2 * i + 1] = static_cast<char>(text[i] & 0xFF);
    }
    return std::string_view(key).substr(0, limit);
  }
  UCharIterator iter;
  uiter_setString(&iter, text.data(), IcuLength(text.size()));
  uint32_t state[2] = {0, 0};
  // A key takes a few bytes per character, so the first request mostly
  // gets all of it. Each further request makes ICU walk the text from its
  // start again, skipping what it gave, so requests double.
  std::size_t want = std::min(limit, 4 * text.size() + 16);
  for (;;) {
    const std::size_t have = key.size();
    want = std::min<std::size_t>(want, INT32_MAX);
    key.resize(have + want);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t got = ucol_nextSortKeyPart(impl_->collator.getAlias(), &iter, state,
                                             reinterpret_cast<uint8_t*>(key.data() + have),
                                             static_cast<int32_t>(want), &status);
    CheckIcu(status);
    key.resize(have + static_cast<std::size_t>(got));
    // A short answer is the key's end. Unlike a whole key from
    // ucol_getSortKey, the parts carry no closing 00, so a key can be a
    // prefix of a longer one.
    if (static_cast<std::size_t>(got) < want || key.size() >= limit) break;
    want = std::min(limit - key.size(), key.size());
  }
  return key;
}

}  // namespace parvane
