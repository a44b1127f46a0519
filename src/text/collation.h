// Japanese collation: the locale-aware, case-insensitive comparison of whole
// lines that every sort of the program uses (ICU, locale "ja", letter case
// folded before comparing).
#ifndef PARVANE_TEXT_COLLATION_H_
#define PARVANE_TEXT_COLLATION_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace parvane {

class PrivateCodes;

// A collator keeps the buffers it converts lines in, so that keys cost no
// allocation once these have grown: one collator per thread.
class JapaneseCollator {
 public:
  // SortKeyPrefix's limit for the whole key.
  static constexpr std::size_t kWholeKey = static_cast<std::size_t>(-1);

  // Lines are read through codes when given (the document's private codes),
  // so a character outside code page 932 sorts as what it is.
  explicit JapaneseCollator(const PrivateCodes* codes = nullptr);
  ~JapaneseCollator();
  JapaneseCollator(const JapaneseCollator&) = delete;
  JapaneseCollator& operator=(const JapaneseCollator&) = delete;

  // Compares two Shift_JIS lines: <0, 0 or >0.
  int Compare(std::string_view a, std::string_view b) const;

  // A byte string whose plain byte order (memcmp, then length) is the order of
  // Compare; compute once per line, then sort by keys.
  std::string SortKey(std::string_view sjis) const;

  // Returns the first limit bytes of SortKey(sjis), all of it when shorter:
  // a view of the collator's own buffer, valid until its next call. The key
  // is computed only as far as limit, so a short prefix costs a fraction of
  // the whole key; the line is converted and folded only as far as the key
  // needs, unless the private codes have entries.
  std::string_view SortKeyPrefix(std::string_view sjis, std::size_t limit) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace parvane

#endif  // PARVANE_TEXT_COLLATION_H_
