// The ignore-case filter and Standardize.
#include "regex/token_filter.h"

#include <algorithm>
#include <stdexcept>

namespace parvane {

void TbmREDicFrame::Translate(const TbmRETokens& src, TbmRETokens* dst) {
  dst->clear();
  std::size_t run = src.size();  // start of the pending run of characters
  auto flush = [&](std::size_t end) {
    if (run < end) RunHook(src, run, end, dst);
    run = src.size();
  };
  std::size_t i = 0;
  while (i < src.size()) {
    const TbmREToken& t = src[i];
    if (t.Kind == kTokenCharacter) {
      if (run == src.size()) run = i;
      ++i;
      continue;
    }
    flush(i);
    if (t.Kind == kTokenLeftBracket || t.Kind == kTokenNegateLeftBracket) {
      std::size_t j = i;
      while (j < src.size() && src[j].Kind != kTokenRightBracket) ++j;
      std::size_t end = std::min(j + 1, src.size());
      RunHook(src, i, end, dst);
      i = end;
      continue;
    }
    dst->push_back(t);
    ++i;
  }
  flush(src.size());
}

void TbmREDicFrame::RunHook(const TbmRETokens& src, std::size_t begin, std::size_t end,
                            TbmRETokens* dst) {
  dst->insert(dst->end(), src.begin() + begin, src.begin() + end);
}

void TbmREAsciiIgnoreCaseDic::RunHook(const TbmRETokens& src, std::size_t begin, std::size_t end,
                                      TbmRETokens* dst) {
  if (src[begin].Kind != kTokenCharacter) {
    TbmREDicFrame::RunHook(src, begin, end, dst);
    return;
  }
  for (std::size_t i = begin; i < end; ++i) {
    const TbmREToken& t = src[i];
    int c = t.Lo;
    bool upper = c >= 'A' && c <= 'Z';
    bool lower = c >= 'a' && c <= 'z';
    if (!upper && !lower) {
      dst->push_back(t);
      continue;
    }
    TbmREToken op = t;
    op.Kind = kTokenLeftParenthesis;
    dst->push_back(op);
    dst->push_back(t);
    op.Kind = kTokenUnion;
    dst->push_back(op);
    TbmREToken other = t;
    other.Lo = other.Hi = upper ? c + 32 : c - 32;
    dst->push_back(other);
    op.Kind = kTokenRightParenthesis;
    dst->push_back(op);
  }
}

void Standardize(TbmRETokens* tokens, TbmREWchRanges* partition) {
  partition->Clear();
  if (tokens->empty()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(1)");
  TbmRETokens in = std::move(*tokens);
  tokens->clear();
  tokens->reserve(in.size());
  std::vector<TbmREWchRanges::Range> added;
  for (std::size_t i = 0; i < in.size(); ++i) {
    TbmREToken t = in[i];
    tokens->push_back(t);
    switch (t.Kind) {
      case kTokenCharacter:
      case kTokenCharacterClass:
        added.push_back({t.Lo, t.Hi});
        break;
      case kTokenNegateLeftBracket: {
        tokens->back().Kind = kTokenLeftBracket;
        if (i + 1 >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(2)");
        std::size_t j = i + 1;
        std::vector<TbmREWchRanges::Range> members = {{10, 10}, {13, 13}};
        for (; j < in.size() && in[j].Kind != kTokenRightBracket; ++j) {
          members.push_back({in[j].Lo, in[j].Hi});
        }
        if (j >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(3)");
        // The complement of the members' union; merging first gives the
        // same gaps as adding them one by one.
        std::sort(members.begin(), members.end());
        TbmREWchRanges rest;
        std::vector<TbmREWchRanges::Range> merged;
        for (const auto& m : members) {
          if (!merged.empty() && m.first <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, m.second);
          } else {
            merged.push_back(m);
          }
        }
        rest.AddRangesBatch(merged);
        rest.Complement(0, 0xFFFF);
        std::int32_t start_pos = in[i + 1].StartPos;
        for (const auto& r : rest.Ranges()) {
          TbmREToken range;
          range.Kind = kTokenCharacterClass;
          range.Lo = r.first;
          range.Hi = r.second;
          range.StartPos = start_pos;
          range.EndPos = in[j].StartPos;
          tokens->push_back(range);
          added.push_back(r);
        }
        tokens->push_back(in[j]);
        i = j;
        break;
      }
      case kTokenDot:
        added.push_back({0, 9});
        added.push_back({11, 12});
        added.push_back({14, 0xFFFF});
        break;
      case kTokenLineHead:
        added.push_back({'^', '^'});
        break;
      case kTokenLineTail:
        added.push_back({'$', '$'});
        break;
      default:
        break;
    }
  }
  partition->AddRangesBatch(added);
}

}  // namespace parvane
