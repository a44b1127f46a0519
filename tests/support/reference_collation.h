// The collation key as the program first computed it, kept as the oracle for
// the faster key making of text/collation.cpp: the whole line converted to
// a UTF-16 string, folded with icu::UnicodeString::foldCase and given to
// icu::Collator::getSortKey in one piece, closing 00 dropped.
#ifndef PARVANE_TESTS_SUPPORT_REFERENCE_COLLATION_H_
#define PARVANE_TESTS_SUPPORT_REFERENCE_COLLATION_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parvane {

class PrivateCodes;

// Returns the sort key of a Shift_JIS line, read through codes when given.
std::string ReferenceSortKey(std::string_view sjis, const PrivateCodes* codes = nullptr);

// The lines in the order std::stable_sort gives on key_of of each line: the
// plain order every key sort must reproduce.
std::vector<std::string> StableSortedBy(
    const std::vector<std::string>& lines,
    const std::function<std::string(const std::string&)>& key_of);

}  // namespace parvane

#endif  // PARVANE_TESTS_SUPPORT_REFERENCE_COLLATION_H_
