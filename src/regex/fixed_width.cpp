// FixedWidthSearch: recognising a pattern of one-character items, and the
// search by pieces over a line's bits.
#include "regex/fixed_width.h"

#include <algorithm>
#include <map>

namespace parvane {

using Range = TbmREWchRanges::Range;
using regex_internal::CharacterItem;
using regex_internal::InRanges;

namespace {

std::vector<Range> Merged(std::vector<Range> members) {
  std::sort(members.begin(), members.end());
  std::vector<Range> merged;
  for (const Range& m : members) {
    if (!merged.empty() && m.first <= merged.back().second + 1) {
      merged.back().second = std::max(merged.back().second, m.second);
    } else {
      merged.push_back(m);
    }
  }
  return merged;
}

}  // namespace

namespace regex_internal {

bool InRanges(const std::vector<Range>& ranges, std::int32_t code) {
  auto it = std::upper_bound(ranges.begin(), ranges.end(), code,
                             [](std::int32_t c, const Range& r) { return c < r.first; });
  return it != ranges.begin() && code <= std::prev(it)->second;
}

bool ReadCharacterItem(const TbmRETokens& tokens, std::size_t* at, CharacterItem* item) {
  std::size_t& i = *at;
  const TbmREToken& t = tokens[i];
  *item = CharacterItem();
  switch (t.Kind) {
    case kTokenCharacter:
      item->character = true;
      item->code = t.Lo;
      return true;
    case kTokenDot:
      // As Standardize makes it: anything but a line break.
      item->ranges = {{0, 9}, {11, 12}, {14, 0xFFFF}};
      return true;
    case kTokenLeftBracket:
    case kTokenNegateLeftBracket: {
      std::vector<Range> members;
      std::size_t j = i + 1;
      for (; tokens[j].Kind == kTokenCharacter || tokens[j].Kind == kTokenCharacterClass; ++j) {
        members.push_back({tokens[j].Lo, tokens[j].Hi});
      }
      if (tokens[j].Kind != kTokenRightBracket) return false;
      if (t.Kind == kTokenNegateLeftBracket) {
        members.push_back({10, 10});
        members.push_back({13, 13});
        TbmREWchRanges rest;
        rest.AddRangesBatch(Merged(std::move(members)));
        rest.Complement(0, 0xFFFF);
        item->ranges = rest.Ranges();
      } else {
        item->ranges = Merged(std::move(members));
      }
      i = j;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace regex_internal

namespace {

// The 64 bits of bits starting at bit `at`; bits must hold one word past it.
std::uint64_t BitsAt(const std::uint64_t* bits, std::size_t at) {
  const std::size_t word = at / 64;
  const unsigned shift = static_cast<unsigned>(at % 64);
  if (shift == 0) return bits[word];
  return (bits[word] >> shift) | (bits[word + 1] << (64 - shift));
}

}  // namespace

std::optional<FixedWidthSearch> FixedWidthSearch::FromTokens(const TbmRETokens& tokens, bool ignore_case,
                                                             std::size_t min_width) {
  if (tokens.empty() || tokens.back().Kind != kTokenEnd) return std::nullopt;
  FixedWidthSearch search;
  search.ignore_case_ = ignore_case;
  std::vector<CharacterItem> items;
  std::size_t i = 0;
  if (tokens[0].Kind == kTokenLineHead) {
    search.head_ = true;
    ++i;
  }
  for (; tokens[i].Kind != kTokenEnd; ++i) {
    const TbmREToken& t = tokens[i];
    if (t.Kind == kTokenLineTail) {
      if (tokens[i + 1].Kind != kTokenEnd) return std::nullopt;
      search.tail_ = true;
      continue;
    }
    CharacterItem item;
    if (!ReadCharacterItem(tokens, &i, &item)) return std::nullopt;
    items.push_back(std::move(item));
  }
  if (items.size() < std::max<std::size_t>(min_width, 1)) return std::nullopt;
  search.width_ = items.size();

  // Cut into pieces, one per distinct run or set, with all their offsets.
  std::map<std::vector<std::int32_t>, std::size_t> run_index;
  std::map<std::vector<Range>, std::size_t> set_index;
  std::size_t longest = 0;
  for (std::size_t k = 0; k < items.size();) {
    std::size_t index = 0;
    std::size_t length = 1;
    if (items[k].character) {
      std::vector<std::int32_t> codes;
      std::vector<std::int32_t> folded;
      for (std::size_t e = k; e < items.size() && items[e].character; ++e) {
        codes.push_back(items[e].code);
        folded.push_back(search.Fold(items[e].code));
      }
      length = codes.size();
      auto [it, added] = run_index.emplace(std::move(folded), search.pieces_.size());
      if (added) {
        TbmRETokens run;
        for (std::int32_t c : codes) {
          TbmREToken token;
          token.Kind = kTokenCharacter;
          token.Lo = token.Hi = c;
          run.push_back(token);
        }
        TbmREToken end;
        end.Kind = kTokenEnd;
        run.push_back(end);
        search.pieces_.push_back({LiteralSearch::FromTokens(run, ignore_case), {}, {}});
      }
      index = it->second;
      if (length > longest) {
        longest = length;
        search.required_bytes_ = search.pieces_[index].run->Bytes();
      }
    } else {
      auto [it, added] = set_index.emplace(items[k].ranges, search.pieces_.size());
      if (added) {
        search.pieces_.push_back({std::nullopt, items[k].ranges, {}});
      }
      index = it->second;
    }
    if (search.pieces_.size() > kMaxDistinctPieces) return std::nullopt;
    search.pieces_[index].offsets.push_back(k);
    k += length;
  }
  // The rarest first, so that a line without a match is usually given up
  // after a piece or two: long runs, then short ones, then sets.
  std::stable_sort(search.pieces_.begin(), search.pieces_.end(), [](const Piece& a, const Piece& b) {
    std::size_t la = a.run ? a.run->Length() : 0;
    std::size_t lb = b.run ? b.run->Length() : 0;
    return la > lb;
  });
  return search;
}

void FixedWidthSearch::FindStarts(const std::int32_t* codes, const std::int32_t* folded, std::size_t n,
                                  bool first_is_line_head, std::vector<std::uint64_t>* starts) {
  const std::size_t start_words = (n + 1 + 63) / 64;
  starts->assign(start_words, 0);
  if (n < width_) return;
  const std::size_t candidates = n - width_ + 1;  // starts 0 .. n - width
  const std::size_t words = (candidates + 63) / 64;
  std::uint64_t* s = starts->data();
  for (std::size_t q = 0; q < words; ++q) s[q] = ~std::uint64_t{0};
  if (candidates % 64 != 0) s[words - 1] = (std::uint64_t{1} << (candidates % 64)) - 1;

  // One word past the last character, for BitsAt.
  occurs_.resize((n + 63) / 64 + 1);
  for (const Piece& piece : pieces_) {
    std::fill(occurs_.begin(), occurs_.end(), 0);
    std::uint64_t* occ = occurs_.data();
    if (piece.run) {
      piece.run->MarkAll(folded, n, occ);
    } else {
      for (std::size_t p = 0; p < n; ++p) {
        if (InRanges(piece.ranges, codes[p])) occ[p / 64] |= std::uint64_t{1} << (p % 64);
      }
    }
    std::uint64_t any = 0;
    for (std::size_t q = 0; q < words; ++q) {
      std::uint64_t w = s[q];
      for (std::size_t offset : piece.offsets) {
        if (w == 0) break;
        w &= BitsAt(occ, q * 64 + offset);
      }
      s[q] = w;
      any |= w;
    }
    if (any == 0) return;
  }

  if (!head_ && !tail_) return;
  // Few starts are left by now: test the anchors one start at a time.
  for (std::size_t q = 0; q < words; ++q) {
    for (std::uint64_t w = s[q]; w != 0; w &= w - 1) {
      const std::size_t i = q * 64 + static_cast<std::size_t>(__builtin_ctzll(w));
      bool ok = true;
      if (head_) {
        ok = i == 0 ? first_is_line_head
                    : codes[i - 1] == 10 || (codes[i - 1] == 13 && !(i < n && codes[i] == 10));
      }
      if (ok && tail_) {
        const std::size_t e = i + width_;
        ok = e == n || codes[e] == 10 || codes[e] == 13;
      }
      if (!ok) s[q] &= ~(std::uint64_t{1} << (i % 64));
    }
  }
}

}  // namespace parvane
