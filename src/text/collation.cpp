// Japanese collation through ICU. Letter case is folded before the collator
// sees the text, so "ABC" and "abc" are equal while the collator's own
// distinctions (kana, width) keep their order.
//
// Keys come from ICU's incremental sort key (ucol_nextSortKeyPart) for the
// whole key and for prefixes alike, so a prefix is by construction the start
// of the key it abbreviates. ICU reads the text through an iterator; for a
// line of code page 932 that iterator converts and folds the line only as
// far as ICU reads it, since a prefix needs the first characters only and
// converting whole lines cost more than their prefixes.
#include "text/collation.h"

#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <bitset>
#include <climits>
#include <cstdint>
#include <iterator>
#include <new>
#include <stdexcept>

#include "text/cp932.h"
#include "text/private_codes.h"

namespace parvane {
namespace {

// ICU's full case folding with the default options (those of u_strFoldCase
// and of icu::UnicodeString::foldCase) for every UTF-16 unit, asked once.
// Folding maps each character on its own, so folding a text unit by unit
// gives what folding it whole gives, for text without surrogates.
class UnitFolds {
 public:
  UnitFolds() {
    for (std::uint32_t u = 0; u < 0x10000; ++u) {
      const UChar unit = static_cast<UChar>(u);
      UChar folded[4];
      UErrorCode status = U_ZERO_ERROR;
      const int32_t length = u_strFoldCase(folded, 4, &unit, 1, U_FOLD_CASE_DEFAULT, &status);
      one_[u] = unit;
      if (U_SUCCESS(status) && length == 1) {
        one_[u] = folded[0];
      } else {
        more_[u] = true;
      }
    }
  }

  // Appends the folding of units[0 .. count - 1] to out.
  void Append(const char16_t* units, std::size_t count, std::u16string& out) const {
    const std::size_t at = out.size();
    out.resize(at + count);
    char16_t* folded = out.data() + at;
    for (std::size_t k = 0; k < count; ++k) {
      if (more_[units[k]]) {
        out.resize(at + k);
        for (; k < count; ++k) AppendOne(units[k], out);
        return;
      }
      folded[k] = one_[units[k]];
    }
  }

 private:
  void AppendOne(char16_t unit, std::u16string& out) const {
    if (!more_[unit]) {
      out.push_back(one_[unit]);
      return;
    }
    UChar folded[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_strFoldCase(folded, 4, &unit, 1, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("collation: ") + u_errorName(status));
    }
    out.append(folded, static_cast<std::size_t>(length));
  }

  char16_t one_[0x10000];      // the folding of a unit that folds to one unit
  std::bitset<0x10000> more_;  // units that fold to more than one (ß: ss)
};

const UnitFolds& Folds() {
  static const UnitFolds folds;
  return folds;
}

// A line of code page 932 as ICU's UCharIterator, in UTF-16 with letter case
// folded, made only as far as ICU reads. ICU asks for one unit at a time;
// the units are made by batches as large as what is made already (at least
// 8), few calls for a whole line and little made past a short prefix, for
// which ICU reads a handful of characters (some 13 of a 30-character line
// for 24 bytes of key).
class FoldingReader {
 public:
  // Starts over with sjis and points iter at it.
  void Reset(std::string_view sjis, UCharIterator* iter);

 private:
  static constexpr std::size_t kAll = static_cast<std::size_t>(-1);

  // Returns how many units are made after making at least n, or all.
  std::size_t Reach(std::size_t n);

  static FoldingReader& Of(const UCharIterator* iter) {
    return *static_cast<FoldingReader*>(const_cast<void*>(iter->context));
  }
  // The iterator's functions, as the UCharIterator contract describes them;
  // the index is iter->index, in units.
  static int32_t GetIndex(UCharIterator* iter, UCharIteratorOrigin origin);
  static int32_t Move(UCharIterator* iter, int32_t delta, UCharIteratorOrigin origin);
  static UBool HasNext(UCharIterator* iter);
  static UBool HasPrevious(UCharIterator* iter);
  static UChar32 Current(UCharIterator* iter);
  static UChar32 Next(UCharIterator* iter);
  static UChar32 Previous(UCharIterator* iter);
  static uint32_t GetState(const UCharIterator* iter);
  static void SetState(UCharIterator* iter, uint32_t state, UErrorCode* status);

  std::string_view sjis_;
  std::size_t read_ = 0;  // bytes of sjis_ converted so far
  std::u16string units_;  // the folded units made so far
  const UnitFolds* folds_ = nullptr;
};

void FoldingReader::Reset(std::string_view sjis, UCharIterator* iter) {
  // A unit folds to at most three, and the index must fit an int32_t.
  if (sjis.size() > static_cast<std::size_t>(INT32_MAX / 3)) {
    throw std::length_error("collation: line too long");
  }
  folds_ = &Folds();
  sjis_ = sjis;
  read_ = 0;
  units_.clear();
  *iter = UCharIterator{};
  iter->context = this;
  iter->length = -1;  // unknown until read to the end
  iter->limit = -1;
  iter->getIndex = GetIndex;
  iter->move = Move;
  iter->hasNext = HasNext;
  iter->hasPrevious = HasPrevious;
  iter->current = Current;
  iter->next = Next;
  iter->previous = Previous;
  iter->getState = GetState;
  iter->setState = SetState;
}

std::size_t FoldingReader::Reach(std::size_t n) {
  while (units_.size() < n && read_ < sjis_.size()) {
    char16_t decoded[256];
    const std::size_t batch = std::clamp<std::size_t>(units_.size(), 8, std::size(decoded));
    const std::size_t count = Cp932ToUtf16Part(sjis_, &read_, decoded, batch);
    folds_->Append(decoded, count, units_);
  }
  return units_.size();
}

int32_t FoldingReader::GetIndex(UCharIterator* iter, UCharIteratorOrigin origin) {
  switch (origin) {
    case UITER_ZERO:
    case UITER_START:
      return 0;
    case UITER_CURRENT:
      return iter->index;
    case UITER_LIMIT:
    case UITER_LENGTH:
      return static_cast<int32_t>(Of(iter).Reach(kAll));
  }
  return U_SENTINEL;
}

int32_t FoldingReader::Move(UCharIterator* iter, int32_t delta, UCharIteratorOrigin origin) {
  int64_t to = delta;
  switch (origin) {
    case UITER_ZERO:
    case UITER_START:
      break;
    case UITER_CURRENT:
      to += iter->index;
      break;
    case UITER_LIMIT:
    case UITER_LENGTH:
      to += static_cast<int64_t>(Of(iter).Reach(kAll));
      break;
    default:
      return U_SENTINEL;
  }
  // Pinned to the text's start and end, as the contract asks.
  to = std::max<int64_t>(to, 0);
  to = std::min<int64_t>(to, static_cast<int64_t>(Of(iter).Reach(static_cast<std::size_t>(to))));
  iter->index = static_cast<int32_t>(to);
  return iter->index;
}

UBool FoldingReader::HasNext(UCharIterator* iter) {
  const std::size_t index = static_cast<std::size_t>(iter->index);
  return Of(iter).Reach(index + 1) > index;
}

UBool FoldingReader::HasPrevious(UCharIterator* iter) { return iter->index > 0; }

UChar32 FoldingReader::Current(UCharIterator* iter) {
  FoldingReader& reader = Of(iter);
  const std::size_t index = static_cast<std::size_t>(iter->index);
  return reader.Reach(index + 1) > index ? reader.units_[index] : U_SENTINEL;
}

UChar32 FoldingReader::Next(UCharIterator* iter) {
  FoldingReader& reader = Of(iter);
  const std::size_t index = static_cast<std::size_t>(iter->index);
  if (index >= reader.units_.size() && reader.Reach(index + 1) <= index) return U_SENTINEL;
  ++iter->index;
  return reader.units_[index];
}

UChar32 FoldingReader::Previous(UCharIterator* iter) {
  if (iter->index == 0) return U_SENTINEL;
  return Of(iter).units_[static_cast<std::size_t>(--iter->index)];
}

uint32_t FoldingReader::GetState(const UCharIterator* iter) {
  return static_cast<uint32_t>(iter->index);
}

void FoldingReader::SetState(UCharIterator* iter, uint32_t state, UErrorCode* status) {
  if (status == nullptr || U_FAILURE(*status)) return;
  if (Of(iter).Reach(state) < state) {
    *status = U_INDEX_OUTOFBOUNDS_ERROR;
    return;
  }
  iter->index = static_cast<int32_t>(state);
}

}  // namespace

struct JapaneseCollator::Impl {
  // Returns sjis in UTF-16 with letter case folded, in out.
  std::u16string_view Folded(std::string_view sjis, std::u16string& out);

  // Null only when ICU has no collation data at all; then code unit order.
  icu::LocalUCollatorPointer collator;
  const PrivateCodes* codes = nullptr;
  std::u16string units;      // the line in UTF-16, before folding
  std::u16string folded[2];  // folded lines: Compare holds two at once
  std::string key;           // SortKeyPrefix's result
  FoldingReader reader;      // SortKeyPrefix's text, when no private codes are in play
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
  std::string& key = impl_->key;
  key.clear();
  UCharIterator iter;
  std::u16string_view text;
  if (!impl_->collator.isNull() && (impl_->codes == nullptr || impl_->codes->empty())) {
    impl_->reader.Reset(sjis, &iter);
  } else {
    text = impl_->Folded(sjis, impl_->folded[0]);
    uiter_setString(&iter, text.data(), IcuLength(text.size()));
  }
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
  uint32_t state[2] = {0, 0};
  // A key takes a few bytes per character (a line has no more characters
  // than bytes), so the first request mostly gets all of it. Each further
  // request makes ICU walk the text from its start again, skipping what it
  // gave, so requests double.
  std::size_t want = std::min(limit, 4 * std::max(text.size(), sjis.size()) + 16);
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
