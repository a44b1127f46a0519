// LiteralSearch: Knuth-Morris-Pratt over character codes. The border table
// is built once per compilation; a search never steps back in the text, so a
// long pattern over a long line costs their sum, not their product.
#include "regex/literal_search.h"

namespace parvane {
namespace {

bool IsSjisLead(std::int32_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The bytes a code stands for in Shift_JIS text, or false when the decoder
// never produces the code from exactly those bytes.
bool AppendSjisBytes(std::int32_t code, std::string* out) {
  if (code < 0 || code > 0xFFFF) return false;
  if (code <= 0xFF) {
    if (IsSjisLead(code)) return false;
    *out += static_cast<char>(code);
    return true;
  }
  // A zero trail byte also stands for a lead byte cut off at the end.
  if (!IsSjisLead(code >> 8) || (code & 0xFF) == 0) return false;
  *out += static_cast<char>(code >> 8);
  *out += static_cast<char>(code & 0xFF);
  return true;
}

}  // namespace

std::optional<LiteralSearch> LiteralSearch::FromTokens(const TbmRETokens& tokens, bool ignore_case) {
  if (tokens.size() < 2 || tokens.back().Kind != kTokenEnd) return std::nullopt;
  std::vector<std::int32_t> codes;
  codes.reserve(tokens.size() - 1);
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].Kind != kTokenCharacter) return std::nullopt;
    codes.push_back(tokens[i].Lo);
  }
  return LiteralSearch(std::move(codes), ignore_case);
}

LiteralSearch::LiteralSearch(std::vector<std::int32_t> codes, bool ignore_case)
    : codes_(std::move(codes)), ignore_case_(ignore_case) {
  bool letters = false;
  for (std::int32_t& c : codes_) {
    std::int32_t folded = Fold(c);
    letters = letters || folded != c || (ignore_case_ && c >= 'a' && c <= 'z');
    c = folded;
  }
  if (!letters) {
    for (std::int32_t c : codes_) {
      if (!AppendSjisBytes(c, &bytes_)) {
        bytes_.clear();
        break;
      }
    }
  }
  const std::size_t m = codes_.size();
  border_.assign(m + 1, 0);
  std::int32_t k = 0;
  for (std::size_t i = 1; i < m; ++i) {
    while (k > 0 && codes_[i] != codes_[static_cast<std::size_t>(k)]) k = border_[static_cast<std::size_t>(k)];
    if (codes_[i] == codes_[static_cast<std::size_t>(k)]) ++k;
    border_[i + 1] = k;
  }
}

long LiteralSearch::Find(const std::int32_t* text, std::size_t n, std::size_t from) const {
  const std::size_t m = codes_.size();
  const std::int32_t* pattern = codes_.data();
  std::size_t k = 0;
  for (std::size_t i = from; i < n; ++i) {
    if (k == 0) {
      // Most characters do not start the pattern: skip them without the
      // border table.
      while (i < n && text[i] != pattern[0]) ++i;
      if (i == n) return -1;
    }
    while (k > 0 && text[i] != pattern[k]) k = static_cast<std::size_t>(border_[k]);
    if (text[i] == pattern[k]) ++k;
    if (k == m) return static_cast<long>(i + 1 - m);
  }
  return -1;
}

void LiteralSearch::MarkAll(const std::int32_t* text, std::size_t n, std::uint64_t* bits) const {
  const std::size_t m = codes_.size();
  const std::int32_t* pattern = codes_.data();
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k == 0) {
      while (i < n && text[i] != pattern[0]) ++i;
      if (i == n) return;
    }
    while (k > 0 && text[i] != pattern[k]) k = static_cast<std::size_t>(border_[k]);
    if (text[i] == pattern[k]) ++k;
    if (k == m) {
      std::size_t p = i + 1 - m;
      bits[p / 64] |= std::uint64_t{1} << (p % 64);
      // The border of the whole pattern, so that an overlapping occurrence
      // is found without stepping back in the text.
      k = static_cast<std::size_t>(border_[m]);
    }
  }
}

}  // namespace parvane
