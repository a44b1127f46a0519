// The parser: a token list (after Standardize) becomes the position
// structure of its syntax tree - the leaves with their FollowPos sets, and
// the root's FirstPos - from which the automaton (regex/dfa.h) is built.
//
// The tree's inner nodes exist only while parsing: each carries Nullable,
// FirstPos and LastPos up to its parent and is then dropped, since the
// automaton needs only the leaves. A bracket class or a dot is one leaf
// holding all its intervals, rather than one leaf per partition interval
// joined by unions; the positions, and so the automaton, are the same
// states, but a pattern with many classes no longer multiplies its leaves by
// the size of the partition.
#ifndef PARVANE_REGEX_TREE_H_
#define PARVANE_REGEX_TREE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "regex/partition.h"
#include "regex/token.h"

namespace parvane {

// One position of the pattern.
struct TbmRELeaf {
  enum Type : std::uint8_t {
    kChar,      // one character out of `ranges`
    kLineHead,  // a real ^ anchor (Lo == Hi == -2)
    kLineTail,  // a real $ anchor (Lo == Hi == -3); FollowPos is exactly {end}
    kEnd,       // the end marker (-1)
  };
  Type type = kChar;
  // The characters of a kChar leaf, sorted and disjoint; empty for a negated
  // class that excludes everything, which matches nothing.
  std::vector<TbmREWchRanges::Range> ranges;
  std::vector<int> FollowPos;  // leaf indices, ascending
};

// The parsed pattern. Leaves are numbered in creation order; the end
// marker is the last.
struct TbmRETree {
  std::vector<TbmRELeaf> leaves;
  std::vector<int> FirstPos;  // of the root (the pattern followed by the end marker)
  int end_leaf = -1;
  bool HasLineHead = false;  // some ^ can begin a match
  bool HasLineTail = false;  // some $ can end a match
};

// Parses tokens (as Standardize leaves them). Anchors that cannot begin
// (^) or end ($) a match become the literal characters ^ and $.
// Nesting depth is bounded only by memory (no recursion).
// Throws EbmREToken: 23 for a token left over (an unmatched ')'), 24 for a
// group not closed, 25 where an operand was expected, 26 when the position
// sets outgrow the compile budget.
TbmRETree BuildTree(const TbmRETokens& tokens);

// Returns a compact text form, one leaf per line:
// "index: chars -> follow" where chars is "61", "61-63,78", "^", "$", "#"
// (end) or "none"; a first line "first: ...".
std::string DumpTree(const TbmRETree& tree);

}  // namespace parvane

#endif  // PARVANE_REGEX_TREE_H_
