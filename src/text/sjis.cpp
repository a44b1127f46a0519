#include "text/sjis.h"

namespace parvane {

std::size_t SjisCharCount(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); i += SjisCharLength(s, i)) ++count;
  return count;
}

std::size_t SjisCharStart(std::string_view s, std::size_t i) {
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t n = SjisCharLength(s, start);
    if (start + n > i) return start;
    start += n;
  }
  return start;
}

}  // namespace parvane
