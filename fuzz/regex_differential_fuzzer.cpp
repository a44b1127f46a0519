// The regex engine against the slow reference matcher of the tests, on
// patterns and lines built from the input over the alphabets on which the two
// are meant to agree (Shift_JIS letters, one with a backslash trail byte, a
// half-width katakana, anchors, classes, escapes). Byte 0 holds the flags
// (bit 0: ignore case); the bytes up to the first 0xFF pick pattern tokens,
// the rest pick the line's letters. Both must find the same leftmost-longest
// match and, with case kept, make the same replacements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "regex/kit.h"
#include "reference_matcher.h"
#include "regex/token.h"

namespace {

using parvane::testing_reference::BadPattern;
using parvane::testing_reference::DecodeSjis;
using parvane::testing_reference::ReferenceRegex;

const std::vector<std::string> kTokens = {
    "a", "b", "A", "\x82\xA0", "\xB1", "\x95\x5C", "\\\\", ".", "^", "$", "[ab]", "[^a]",
    "[\x82\xA0-\x95\x5C]", "[^\x95\x5C]", "\\n", "[a-]", "[]a]", "\\^", "\\$", "\\.", "\x82\xE1",
    "*", "+", "?", "|", "(", ")"};

const std::vector<std::string> kLetters = {"a", "b", "A", "\x82\xA0", "\xB1", "\x95\x5C", "\\",
                                           "^", "$", "\n", "\r", "\x82\xE1", "."};

[[noreturn]] void Disagree(const std::string& pattern, const std::string& line, const char* what) {
  std::fprintf(stderr, "engine and reference disagree (%s)\npattern:", what);
  for (unsigned char c : pattern) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\nline:");
  for (unsigned char c : line) std::fprintf(stderr, " %02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool ignore_case = (data[0] & 1) != 0;
  std::string pattern, line;
  std::size_t i = 1;
  for (; i < size && data[i] != 0xFF; ++i) pattern += kTokens[data[i] % kTokens.size()];
  for (++i; i < size; ++i) line += kLetters[data[i] % kLetters.size()];
  if (pattern.size() > 64 || line.size() > 64) return 0;  // the reference is slow

  std::vector<int> codes, offsets;
  try {
    ReferenceRegex reference(pattern, ignore_case);
    DecodeSjis(line, &codes, &offsets);
    auto m = reference.Find(codes, 0);
    int expected_position = 0, expected_length = 0;
    if (m) {
      expected_position = offsets[m->first] + 1;
      expected_length = offsets[m->second] - offsets[m->first];
    }
    int position = 0, length = 0;
    try {
      parvane::RegexFind(pattern, ignore_case, line, &position, &length);
    } catch (const parvane::EbmREToken& e) {
      // A pattern the reference takes may still outgrow the engine's budget.
      if (e.Kind() == parvane::kTokenTooComplex) return 0;
      Disagree(pattern, line, "the engine refuses the pattern");
    }
    if (position != expected_position || length != expected_length) Disagree(pattern, line, "match");
    if (!ignore_case) {
      int expected_count = 0;
      std::string expected_line =
          parvane::testing_reference::ReferenceReplaceAll(reference, line, "<>", &expected_count);
      std::string replaced = line;
      int count = parvane::RegexReplaceAll(pattern, false, "<>", replaced);
      if (replaced != expected_line || count != expected_count) Disagree(pattern, line, "replace all");
    }
  } catch (const BadPattern&) {
    return 0;
  }
  return 0;
}
