// Rewrites of a token list before parsing: the ASCII ignore-case filter and
// Standardize, which builds the alphabet partition and turns negated classes
// into positive ones.
#ifndef PARVANE_REGEX_TOKEN_FILTER_H_
#define PARVANE_REGEX_TOKEN_FILTER_H_

#include "regex/partition.h"
#include "regex/token.h"

namespace parvane {

// A token-list filter: translate walks the list and hands each run of
// plain characters, and each whole bracket class, to RunHook.
class TbmREDicFrame {
 public:
  virtual ~TbmREDicFrame() = default;
  // Clears dst, then fills it from src.
  void Translate(const TbmRETokens& src, TbmRETokens* dst);

 protected:
  // Appends src[begin, end) to dst; the default appends the run unchanged.
  virtual void RunHook(const TbmRETokens& src, std::size_t begin, std::size_t end, TbmRETokens* dst);
};

// Makes each ASCII letter outside brackets match either case: `ab*` becomes
// `(a|A)(b|B)*`. Letters inside brackets and full-width letters stay as they are.
class TbmREAsciiIgnoreCaseDic : public TbmREDicFrame {
 protected:
  void RunHook(const TbmRETokens& src, std::size_t begin, std::size_t end, TbmRETokens* dst) override;
};

// Rewrites tokens in place and fills partition (cleared first): every
// character and range joins the partition; a negated class becomes a
// positive one over 0..0xFFFF minus its members, line feed and carriage
// return; a dot adds 0..9, 11..12, 14..0xFFFF; ^ and $ add their own
// characters, for when they turn out to be literal. A negated class that
// excludes everything leaves '[' directly followed by ']'.
// Throws std::runtime_error "TbmRETokens.Standardize Internal Error(n)" for
// a list the scanner cannot produce.
void Standardize(TbmRETokens* tokens, TbmREWchRanges* partition);

}  // namespace parvane

#endif  // PARVANE_REGEX_TOKEN_FILTER_H_
