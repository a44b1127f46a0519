// Japanese collation: the locale-aware, case-insensitive comparison of whole
// lines that every sort of the program uses (ICU, locale "ja", letter case
// folded before comparing).
#ifndef PARVANE_TEXT_COLLATION_H_
#define PARVANE_TEXT_COLLATION_H_

#include <memory>
#include <string>
#include <string_view>

namespace parvane {

class PrivateCodes;

class JapaneseCollator {
 public:
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

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace parvane

#endif  // PARVANE_TEXT_COLLATION_H_
