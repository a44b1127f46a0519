// The parser. Its external interface is BuildTree; the working values of the
// inner nodes (Frag) and the explicit stack of open groups are private.
//
// Leaves are created left to right, so every leaf of a right operand has a
// larger index than every leaf of the left one: position sets stay sorted by
// appending, and no set operation while parsing is worse than linear.
#include "regex/tree.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace parvane {
namespace {

// Work (set elements written) allowed for one compilation: generous for any
// pattern of a few thousand bytes, and far below what would exhaust memory.
constexpr std::int64_t kCompileBudget = 40'000'000;

// An inner node while it waits for its parent.
struct Frag {
  bool nullable = false;
  std::vector<int> first;
  std::vector<int> last;
};

class Parser {
 public:
  explicit Parser(const TbmRETokens& tokens) : tokens_(tokens) {}
  TbmRETree Run();

 private:
  struct Frame {
    std::optional<Frag> alternatives;  // the union parsed so far
    std::optional<Frag> sequence;      // the sequence being parsed
  };

  const TbmREToken& Current() const { return tokens_[std::min(pos_, tokens_.size() - 1)]; }
  int NewLeaf(TbmRELeaf::Type type, std::vector<TbmREWchRanges::Range> ranges);
  Frag LeafFrag(int leaf) {
    Frag f;
    f.first = {leaf};
    f.last = {leaf};
    return f;
  }
  void Union(std::vector<int>& dst, const std::vector<int>& src);
  Frag Cat(Frag left, Frag right);
  Frag Alternate(Frag left, Frag right);
  void Loop(const Frag& f);  // every leaf of f.last gets all of f.first
  Frag Atom();               // kinds other than '(' ; advances past the atom
  void Charge(std::size_t amount);

  const TbmRETokens& tokens_;
  std::size_t pos_ = 0;
  TbmRETree tree_;
  std::int64_t work_ = 0;
};

void Parser::Charge(std::size_t amount) {
  work_ += static_cast<std::int64_t>(amount);
  if (work_ > kCompileBudget) RaiseTokenError(Current(), kTokenTooComplex);
}

int Parser::NewLeaf(TbmRELeaf::Type type, std::vector<TbmREWchRanges::Range> ranges) {
  TbmRELeaf leaf;
  leaf.type = type;
  leaf.ranges = std::move(ranges);
  tree_.leaves.push_back(std::move(leaf));
  Charge(1);
  return static_cast<int>(tree_.leaves.size()) - 1;
}

void Parser::Union(std::vector<int>& dst, const std::vector<int>& src) {
  if (src.empty()) return;
  Charge(src.size());
  if (dst.empty() || src.front() > dst.back()) {
    dst.insert(dst.end(), src.begin(), src.end());
    return;
  }
  Charge(dst.size());
  std::vector<int> merged;
  merged.reserve(dst.size() + src.size());
  std::set_union(dst.begin(), dst.end(), src.begin(), src.end(), std::back_inserter(merged));
  dst.swap(merged);
}

Frag Parser::Cat(Frag left, Frag right) {
  for (int x : left.last) Union(tree_.leaves[x].FollowPos, right.first);
  Frag f;
  f.nullable = left.nullable && right.nullable;
  f.first = std::move(left.first);
  if (left.nullable) Union(f.first, right.first);
  if (right.nullable) {
    f.last = std::move(left.last);
    Union(f.last, right.last);
  } else {
    f.last = std::move(right.last);
  }
  return f;
}

Frag Parser::Alternate(Frag left, Frag right) {
  left.nullable = left.nullable || right.nullable;
  Union(left.first, right.first);
  Union(left.last, right.last);
  return left;
}

void Parser::Loop(const Frag& f) {
  for (int x : f.last) Union(tree_.leaves[x].FollowPos, f.first);
}

Frag Parser::Atom() {
  const TbmREToken& t = Current();
  Frag f;
  switch (t.Kind) {
    case kTokenCharacter:
    case kTokenCharacterClass:
      f = LeafFrag(NewLeaf(TbmRELeaf::kChar, {{t.Lo, t.Hi}}));
      break;
    case kTokenLeftBracket: {
      std::vector<TbmREWchRanges::Range> ranges;
      ++pos_;
      while (Current().Kind == kTokenCharacter || Current().Kind == kTokenCharacterClass) {
        ranges.push_back({Current().Lo, Current().Hi});
        ++pos_;
      }
      if (Current().Kind != kTokenRightBracket) RaiseTokenError(Current(), kTokenNeedRightBracket);
      std::sort(ranges.begin(), ranges.end());
      std::vector<TbmREWchRanges::Range> merged;
      for (const auto& r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1) {
          merged.back().second = std::max(merged.back().second, r.second);
        } else {
          merged.push_back(r);
        }
      }
      f = LeafFrag(NewLeaf(TbmRELeaf::kChar, std::move(merged)));
      break;
    }
    case kTokenDot:
      f = LeafFrag(NewLeaf(TbmRELeaf::kChar, {{0, 9}, {11, 12}, {14, 0xFFFF}}));
      break;
    case kTokenLineHead:
      f = LeafFrag(NewLeaf(TbmRELeaf::kLineHead, {}));
      break;
    case kTokenLineTail:
      f = LeafFrag(NewLeaf(TbmRELeaf::kLineTail, {}));
      break;
    default:
      RaiseTokenError(t, kTokenNeedOperand);
  }
  ++pos_;
  return f;
}

TbmRETree Parser::Run() {
  // Groups are kept on an explicit stack so that deep nesting cannot
  // exhaust the machine stack.
  std::vector<Frame> frames(1);
  for (;;) {
    const TbmREToken& t = Current();
    if (t.Kind == kTokenUnion || t.Kind == kTokenRightParenthesis || t.Kind == kTokenEnd) {
      Frame& frame = frames.back();
      Frag seq = frame.sequence ? std::move(*frame.sequence) : Frag{true, {}, {}};
      frame.sequence.reset();
      frame.alternatives = frame.alternatives ? Alternate(std::move(*frame.alternatives), std::move(seq))
                                              : std::move(seq);
      if (t.Kind == kTokenUnion) {
        ++pos_;
        continue;
      }
      if (frames.size() == 1) break;
      if (t.Kind != kTokenRightParenthesis) RaiseTokenError(t, kTokenNeedRightParenthesis);
      Frag group = std::move(*frame.alternatives);
      frames.pop_back();
      ++pos_;
      // Fall through to the postfix operator with the group as the atom.
      const TbmREToken& op = Current();
      if (op.Kind == kTokenAsterisk || op.Kind == kTokenPlus || op.Kind == kTokenQuestionMark) {
        if (op.Kind != kTokenQuestionMark) Loop(group);
        if (op.Kind != kTokenPlus) group.nullable = true;
        ++pos_;
      }
      Frame& outer = frames.back();
      outer.sequence = outer.sequence ? Cat(std::move(*outer.sequence), std::move(group)) : std::move(group);
      continue;
    }
    if (t.Kind == kTokenLeftParenthesis) {
      frames.emplace_back();
      ++pos_;
      continue;
    }
    Frag atom = Atom();
    const TbmREToken& op = Current();
    // x+ is x followed by a closure of the same x, whose leaves are shared:
    // the positions are x's own with its last leaves looping to its first.
    if (op.Kind == kTokenAsterisk || op.Kind == kTokenPlus || op.Kind == kTokenQuestionMark) {
      if (op.Kind != kTokenQuestionMark) Loop(atom);
      if (op.Kind != kTokenPlus) atom.nullable = true;
      ++pos_;
    }
    Frame& frame = frames.back();
    frame.sequence = frame.sequence ? Cat(std::move(*frame.sequence), std::move(atom)) : std::move(atom);
  }
  if (Current().Kind != kTokenEnd) RaiseTokenError(Current(), kTokenInvalidCharacter);

  Frag body = std::move(*frames.back().alternatives);
  tree_.end_leaf = NewLeaf(TbmRELeaf::kEnd, {});
  Frag root = Cat(std::move(body), LeafFrag(tree_.end_leaf));
  tree_.FirstPos = std::move(root.first);

  // Anchor resolution: ^ is real only where it can begin a match, $ only
  // where nothing but the end can follow it; the others are literals.
  for (std::size_t i = 0; i < tree_.leaves.size(); ++i) {
    TbmRELeaf& leaf = tree_.leaves[i];
    if (leaf.type == TbmRELeaf::kLineHead) {
      if (std::binary_search(tree_.FirstPos.begin(), tree_.FirstPos.end(), static_cast<int>(i))) {
        tree_.HasLineHead = true;
      } else {
        leaf.type = TbmRELeaf::kChar;
        leaf.ranges = {{'^', '^'}};
      }
    } else if (leaf.type == TbmRELeaf::kLineTail) {
      if (leaf.FollowPos.size() == 1 && leaf.FollowPos[0] == tree_.end_leaf) {
        tree_.HasLineTail = true;
      } else {
        leaf.type = TbmRELeaf::kChar;
        leaf.ranges = {{'$', '$'}};
      }
    }
  }
  return std::move(tree_);
}

std::string LeafText(const TbmRELeaf& leaf) {
  switch (leaf.type) {
    case TbmRELeaf::kLineHead: return "^";
    case TbmRELeaf::kLineTail: return "$";
    case TbmRELeaf::kEnd: return "#";
    case TbmRELeaf::kChar: break;
  }
  if (leaf.ranges.empty()) return "none";
  return TbmREWchRanges::DumpRanges(leaf.ranges, ',');
}

std::string SetText(const std::vector<int>& set) {
  std::string out;
  for (int x : set) {
    if (!out.empty()) out += ' ';
    out += std::to_string(x);
  }
  return out;
}

}  // namespace

TbmRETree BuildTree(const TbmRETokens& tokens) {
  if (tokens.empty()) {
    TbmREToken end;
    end.Kind = kTokenEnd;
    TbmRETokens only_end = {end};
    return Parser(only_end).Run();
  }
  return Parser(tokens).Run();
}

std::string DumpTree(const TbmRETree& tree) {
  std::string out = "first: " + SetText(tree.FirstPos) + "\n";
  for (std::size_t i = 0; i < tree.leaves.size(); ++i) {
    out += std::to_string(i) + ": " + LeafText(tree.leaves[i]) + " -> " +
           SetText(tree.leaves[i].FollowPos) + "\n";
  }
  return out;
}

}  // namespace parvane
