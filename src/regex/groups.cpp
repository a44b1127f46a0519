// GroupMatcher. The pattern is parsed again into a small tree (the
// automata keep no structure), the tree is laid out as an instruction list
// in which every part occupies one contiguous run, and a match is divided
// part by part (Assign) with forward runs and backward tables confined to
// the part at hand.
#include "regex/groups.h"

#include <algorithm>

namespace parvane {
namespace {

// Nesting the matcher follows before it refuses a pattern: its walks
// recurse once per level.
constexpr int kMaxDepth = 1000;
// Instruction-position steps allowed for dividing one match.
constexpr std::int64_t kWorkBudget = 50'000'000;

struct OutOfBudget {};

using Range = TbmREWchRanges::Range;

struct Node {
  enum Kind { kChars, kHead, kTail, kEmpty, kCat, kAlt, kStar, kGroup };
  Kind kind = kEmpty;
  std::vector<Range> ranges;  // kChars
  std::vector<int> kids;
  int group = 0;  // kGroup
  bool after_first = false;  // kStar: the repetition of x+ after its first x
};

struct Inst {
  enum Op { kMatch, kChars, kSplit, kHead, kTail };
  Op op = kMatch;
  int next = -1;
  int other = -1;  // kSplit: the second way
  int node = -1;   // kChars: the node holding the ranges
};

// One laid-out part: its instructions are [lo, hi), it is entered at entry
// and left at out (outside the run).
struct Frag {
  Node::Kind kind = Node::kEmpty;
  int lo = 0;
  int hi = 0;
  int entry = 0;
  int out = 0;
  int loop = -1;  // kStar: the split that starts each iteration
  int group = 0;
  bool after_first = false;
  std::vector<int> kids;
  std::vector<int> groups_inside;
};

}  // namespace

struct GroupMatcher::Impl {
  std::vector<Node> nodes;
  std::vector<Inst> prog;
  std::vector<Frag> frags;
  int root = -1;  // frag
  int root_node = -1;
  bool ignore_case = false;

  // Parsing.
  const TbmRETokens* tokens = nullptr;
  std::size_t pos = 0;
  int NewNode(Node node) {
    nodes.push_back(std::move(node));
    return static_cast<int>(nodes.size()) - 1;
  }
  int ParseUnion(int depth);
  int ParseSequence(int depth);
  int ParseAtom(int depth);

  // Anchors that cannot begin or end a match are characters (as the tree
  // resolves them).
  std::vector<std::uint8_t> nullable, has_first, head_real, tail_followed;
  void Facts(int n);
  void Contexts(int n, bool at_start, bool followed, int depth);

  // Layout.
  int Emit(int node, int next, int depth);

  // Matching one span.
  const std::vector<std::int32_t>* codes = nullptr;
  bool line_head = false;
  bool line_tail = false;
  std::vector<Span>* spans = nullptr;
  std::int64_t work = 0;
  void Charge(std::int64_t amount) {
    work += amount;
    if (work > kWorkBudget) throw OutOfBudget{};
  }
  bool Test(const Inst& inst, int j) const;
  bool EpsilonHolds(const Inst& inst, int j) const {
    if (inst.op == Inst::kHead) return j == 0 && line_head;
    if (inst.op == Inst::kTail) return j == static_cast<int>(codes->size()) && line_tail;
    return inst.op == Inst::kSplit;
  }
  struct Table {
    int i = 0, lo = 0, out = 0, width = 0;
    std::vector<std::uint8_t> bits;
    bool Get(int j, int pc) const {
      int slot = pc == out ? width - 1 : pc - lo;
      return bits[static_cast<std::size_t>(j - i) * width + slot] != 0;
    }
  };
  Table Backward(const Frag& f, int i, int e);
  std::vector<int> Forward(const Frag& f, int p, int e);
  bool Assign(int frag, int i, int e, int depth);
  std::string Dump(int n) const;
};

int GroupMatcher::Impl::ParseUnion(int depth) {
  if (depth > kMaxDepth) RaiseTokenError((*tokens)[pos], kTokenTooComplex);
  std::vector<int> alternatives = {ParseSequence(depth)};
  while ((*tokens)[pos].Kind == kTokenUnion) {
    ++pos;
    alternatives.push_back(ParseSequence(depth));
  }
  if (alternatives.size() == 1) return alternatives[0];
  Node alt;
  alt.kind = Node::kAlt;
  alt.kids = std::move(alternatives);
  return NewNode(std::move(alt));
}

int GroupMatcher::Impl::ParseSequence(int depth) {
  std::vector<int> items;
  for (;;) {
    std::uint8_t kind = (*tokens)[pos].Kind;
    if (kind == kTokenUnion || kind == kTokenRightParenthesis || kind == kTokenEnd) break;
    int atom = ParseAtom(depth);
    kind = (*tokens)[pos].Kind;
    if (kind == kTokenAsterisk || kind == kTokenPlus) {
      Node star;
      star.kind = Node::kStar;
      star.kids = {atom};
      star.after_first = kind == kTokenPlus;
      int s = NewNode(std::move(star));
      if (kind == kTokenPlus) {
        // x+ is x followed by x*, the same x (as the tree shares it).
        items.push_back(atom);
      }
      atom = s;
      ++pos;
    } else if (kind == kTokenQuestionMark) {
      Node alt;
      alt.kind = Node::kAlt;
      alt.kids = {atom, NewNode(Node{})};
      atom = NewNode(std::move(alt));
      ++pos;
    }
    items.push_back(atom);
  }
  if (items.empty()) return NewNode(Node{});
  if (items.size() == 1) return items[0];
  Node cat;
  cat.kind = Node::kCat;
  cat.kids = std::move(items);
  return NewNode(std::move(cat));
}

int GroupMatcher::Impl::ParseAtom(int depth) {
  const TbmREToken& t = (*tokens)[pos];
  Node node;
  switch (t.Kind) {
    case kTokenCharacter:
    case kTokenCharacterClass: {
      node.kind = Node::kChars;
      node.ranges = {{t.Lo, t.Hi}};
      int c = t.Lo;
      if (ignore_case && t.Kind == kTokenCharacter && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
        int other = c <= 'Z' ? c + 32 : c - 32;
        node.ranges.push_back({other, other});
      }
      break;
    }
    case kTokenLeftBracket:
      node.kind = Node::kChars;
      for (++pos; (*tokens)[pos].Kind != kTokenRightBracket; ++pos) {
        node.ranges.push_back({(*tokens)[pos].Lo, (*tokens)[pos].Hi});
      }
      break;
    case kTokenDot:
      node.kind = Node::kChars;
      node.ranges = {{0, 9}, {11, 12}, {14, 0xFFFF}};
      break;
    case kTokenLineHead:
      node.kind = Node::kHead;
      break;
    case kTokenLineTail:
      node.kind = Node::kTail;
      break;
    case kTokenLeftParenthesis: {
      ++pos;
      int inner = ParseUnion(depth + 1);
      // The parser of the automata has accepted the pattern: this is ')'.
      if (t.Hi > 0) {
        node.kind = Node::kGroup;
        node.group = t.Hi;
        node.kids = {inner};
      } else {
        ++pos;
        return inner;
      }
      break;
    }
    default:
      RaiseTokenError(t, kTokenNeedOperand);
  }
  ++pos;
  return NewNode(std::move(node));
}

void GroupMatcher::Impl::Facts(int n) {
  // Children are created before their parents, so one pass in index order.
  const Node& node = nodes[n];
  switch (node.kind) {
    case Node::kChars: case Node::kHead: case Node::kTail:
      nullable[n] = 0;
      has_first[n] = 1;
      break;
    case Node::kEmpty:
      nullable[n] = 1;
      has_first[n] = 0;
      break;
    case Node::kStar:
      nullable[n] = 1;
      has_first[n] = has_first[node.kids[0]];
      break;
    case Node::kGroup:
      nullable[n] = nullable[node.kids[0]];
      has_first[n] = has_first[node.kids[0]];
      break;
    case Node::kAlt:
      nullable[n] = 0;
      has_first[n] = 0;
      for (int k : node.kids) {
        nullable[n] |= nullable[k];
        has_first[n] |= has_first[k];
      }
      break;
    case Node::kCat:
      nullable[n] = 1;
      has_first[n] = 0;
      for (int k : node.kids) {
        if (nullable[n]) has_first[n] |= has_first[k];
        nullable[n] &= nullable[k];
      }
      break;
  }
}

void GroupMatcher::Impl::Contexts(int n, bool at_start, bool followed, int depth) {
  if (depth > 4 * kMaxDepth) return;
  const Node& node = nodes[n];
  switch (node.kind) {
    case Node::kHead:
      head_real[n] |= at_start;
      break;
    case Node::kTail:
      tail_followed[n] |= followed;
      break;
    case Node::kChars: case Node::kEmpty:
      break;
    case Node::kStar:
      Contexts(node.kids[0], at_start, followed || has_first[node.kids[0]], depth + 1);
      break;
    case Node::kGroup:
      Contexts(node.kids[0], at_start, followed, depth + 1);
      break;
    case Node::kAlt:
      for (int k : node.kids) Contexts(k, at_start, followed, depth + 1);
      break;
    case Node::kCat: {
      const std::size_t m = node.kids.size();
      // Whether something can follow kid j: the first of a later kid reached
      // over nullable ones, or whatever follows the whole sequence.
      std::vector<std::uint8_t> after(m);
      bool rest = followed;
      for (std::size_t j = m; j-- > 0;) {
        after[j] = rest;
        int k = node.kids[j];
        rest = has_first[k] || (nullable[k] && rest);
      }
      bool start = at_start;
      for (std::size_t j = 0; j < m; ++j) {
        Contexts(node.kids[j], start, after[j], depth + 1);
        start = start && nullable[node.kids[j]];
      }
      break;
    }
  }
}

int GroupMatcher::Impl::Emit(int n, int next, int depth) {
  const Node& node = nodes[n];
  Frag f;
  f.kind = node.kind;
  f.after_first = node.after_first;
  f.lo = static_cast<int>(prog.size());
  f.out = next;
  switch (node.kind) {
    case Node::kChars: case Node::kHead: case Node::kTail: {
      Inst inst;
      inst.op = node.kind == Node::kChars ? Inst::kChars : node.kind == Node::kHead ? Inst::kHead : Inst::kTail;
      inst.next = next;
      inst.node = n;
      prog.push_back(inst);
      f.entry = f.lo;
      break;
    }
    case Node::kEmpty:
      f.entry = next;
      break;
    case Node::kGroup: {
      int kid = Emit(node.kids[0], next, depth + 1);
      f.kids = {kid};
      f.entry = frags[kid].entry;
      f.group = node.group;
      f.groups_inside = frags[kid].groups_inside;
      f.groups_inside.push_back(node.group);
      break;
    }
    case Node::kCat: {
      int entry = next;
      f.kids.resize(node.kids.size());
      for (std::size_t j = node.kids.size(); j-- > 0;) {
        f.kids[j] = Emit(node.kids[j], entry, depth + 1);
        entry = frags[f.kids[j]].entry;
      }
      f.entry = entry;
      break;
    }
    case Node::kAlt: {
      std::vector<int> entries;
      for (int k : node.kids) {
        int kid = Emit(k, next, depth + 1);
        f.kids.push_back(kid);
        entries.push_back(frags[kid].entry);
      }
      int entry = entries.back();
      for (std::size_t j = entries.size() - 1; j-- > 0;) {
        Inst split;
        split.op = Inst::kSplit;
        split.next = entries[j];
        split.other = entry;
        prog.push_back(split);
        entry = static_cast<int>(prog.size()) - 1;
      }
      f.entry = entry;
      break;
    }
    case Node::kStar: {
      int loop = static_cast<int>(prog.size());
      prog.push_back(Inst{Inst::kSplit, -1, next, -1});
      int kid = Emit(node.kids[0], loop, depth + 1);
      prog[loop].next = frags[kid].entry;
      f.kids = {kid};
      f.entry = loop;
      f.loop = loop;
      break;
    }
  }
  for (int kid : f.kids) {
    if (node.kind != Node::kGroup) {
      f.groups_inside.insert(f.groups_inside.end(), frags[kid].groups_inside.begin(), frags[kid].groups_inside.end());
    }
  }
  f.hi = static_cast<int>(prog.size());
  frags.push_back(std::move(f));
  return static_cast<int>(frags.size()) - 1;
}

bool GroupMatcher::Impl::Test(const Inst& inst, int j) const {
  std::int32_t c = (*codes)[static_cast<std::size_t>(j)];
  for (const Range& r : nodes[inst.node].ranges) {
    if (c >= r.first && c <= r.second) return true;
  }
  return false;
}

GroupMatcher::Impl::Table GroupMatcher::Impl::Backward(const Frag& f, int i, int e) {
  Table t;
  t.i = i;
  t.lo = f.lo;
  t.out = f.out;
  t.width = f.hi - f.lo + 1;
  const std::size_t rows = static_cast<std::size_t>(e - i + 1);
  Charge(static_cast<std::int64_t>(rows) * t.width);
  t.bits.assign(rows * static_cast<std::size_t>(t.width), 0);
  for (int j = e; j >= i; --j) {
    std::uint8_t* row = &t.bits[static_cast<std::size_t>(j - i) * t.width];
    auto can = [&](int pc) { return pc == f.out ? row[t.width - 1] != 0 : row[pc - f.lo] != 0; };
    if (j == e) row[t.width - 1] = 1;
    if (j < e) {
      for (int pc = f.lo; pc < f.hi; ++pc) {
        const Inst& inst = prog[pc];
        if (inst.op == Inst::kChars && Test(inst, j) && t.Get(j + 1, inst.next)) row[pc - f.lo] = 1;
      }
    }
    // Empty steps lead mostly to lower positions (parts are laid out from
    // the right), so a few sweeps settle them.
    for (bool changed = true; changed;) {
      changed = false;
      Charge(t.width);
      for (int pc = f.lo; pc < f.hi; ++pc) {
        const Inst& inst = prog[pc];
        if (row[pc - f.lo] || inst.op == Inst::kChars || !EpsilonHolds(inst, j)) continue;
        if (can(inst.next) || (inst.op == Inst::kSplit && can(inst.other))) {
          row[pc - f.lo] = 1;
          changed = true;
        }
      }
    }
  }
  return t;
}

std::vector<int> GroupMatcher::Impl::Forward(const Frag& f, int p, int e) {
  std::vector<int> ends;
  const int width = f.hi - f.lo;
  std::vector<int> seen(static_cast<std::size_t>(width), -1);
  std::vector<int> current = {f.entry};
  std::vector<int> stack;
  std::vector<int> chars;
  for (int j = p;; ++j) {
    Charge(width + 1);
    chars.clear();
    stack = current;
    bool reached = false;
    while (!stack.empty()) {
      int pc = stack.back();
      stack.pop_back();
      if (pc == f.out) {
        reached = true;
        continue;
      }
      if (seen[pc - f.lo] == j) continue;
      seen[pc - f.lo] = j;
      const Inst& inst = prog[pc];
      if (inst.op == Inst::kChars) {
        chars.push_back(pc);
      } else if (EpsilonHolds(inst, j)) {
        stack.push_back(inst.next);
        if (inst.op == Inst::kSplit) stack.push_back(inst.other);
      }
    }
    if (reached) ends.push_back(j);
    if (j == e) break;
    current.clear();
    for (int pc : chars) {
      if (Test(prog[pc], j)) current.push_back(prog[pc].next);
    }
    if (current.empty()) break;
  }
  return ends;
}

bool GroupMatcher::Impl::Assign(int fi, int i, int e, int depth) {
  const Frag& f = frags[fi];
  switch (f.kind) {
    case Node::kChars: case Node::kHead: case Node::kTail: case Node::kEmpty:
      return true;
    case Node::kGroup:
      (*spans)[static_cast<std::size_t>(f.group)] = {i, e};
      return Assign(f.kids[0], i, e, depth + 1);
    case Node::kAlt:
      for (int kid : f.kids) {
        std::vector<int> ends = Forward(frags[kid], i, e);
        if (!ends.empty() && ends.back() == e) return Assign(kid, i, e, depth + 1);
      }
      return false;
    case Node::kCat: {
      Table rest = Backward(f, i, e);
      int p = i;
      for (std::size_t j = 0; j + 1 < f.kids.size(); ++j) {
        const Frag& kid = frags[f.kids[j]];
        std::vector<int> ends = Forward(kid, p, e);
        int q = -1;
        for (std::size_t k = ends.size(); k-- > 0;) {
          if (rest.Get(ends[k], kid.out)) {
            q = ends[k];
            break;
          }
        }
        if (q < 0 || !Assign(f.kids[j], p, q, depth + 1)) return false;
        p = q;
      }
      return Assign(f.kids.back(), p, e, depth + 1);
    }
    case Node::kStar: {
      const Frag& body = frags[f.kids[0]];
      if (i == e) {
        // An empty repetition whose part can match empty is one empty
        // iteration, so (a*)* on "b" puts its group at (0,0); after the
        // first x of x+ it is none, so (a*)+ on "a" keeps (0,1).
        if (f.after_first) return true;
        std::vector<int> ends = Forward(body, i, e);
        if (ends.empty() || ends.front() != i) return true;
        for (int g : body.groups_inside) (*spans)[static_cast<std::size_t>(g)] = {-1, -1};
        return Assign(f.kids[0], i, i, depth + 1);
      }
      Table rest = Backward(f, i, e);
      for (int p = i; p < e;) {
        std::vector<int> ends = Forward(body, p, e);
        int q = -1;
        for (std::size_t k = ends.size(); k-- > 0 && ends[k] > p;) {
          if (rest.Get(ends[k], f.loop)) {
            q = ends[k];
            break;
          }
        }
        if (q < 0) return false;
        // An iteration reports only the groups it passes through.
        for (int g : body.groups_inside) (*spans)[static_cast<std::size_t>(g)] = {-1, -1};
        if (!Assign(f.kids[0], p, q, depth + 1)) return false;
        p = q;
      }
      return true;
    }
  }
  return false;
}

std::string GroupMatcher::Impl::Dump(int n) const {
  const Node& node = nodes[n];
  auto kids = [&] {
    std::string out;
    for (int k : node.kids) out += (out.empty() ? "" : ",") + Dump(k);
    return out;
  };
  switch (node.kind) {
    case Node::kChars: return "chars(" + TbmREWchRanges::DumpRanges(node.ranges, ',') + ")";
    case Node::kHead: return "^";
    case Node::kTail: return "$";
    case Node::kEmpty: return "empty";
    case Node::kCat: return "cat(" + kids() + ")";
    case Node::kAlt: return "alt(" + kids() + ")";
    case Node::kStar: return "star(" + kids() + ")";
    case Node::kGroup: return "group" + std::to_string(node.group) + "(" + kids() + ")";
  }
  return "";
}

GroupMatcher::GroupMatcher(const TbmRETokens& tokens, bool ignore_case) : impl_(std::make_unique<Impl>()) {
  Impl& m = *impl_;
  m.ignore_case = ignore_case;
  m.tokens = &tokens;
  for (const TbmREToken& t : tokens) {
    if (t.Kind == kTokenLeftParenthesis) group_count_ = std::max<int>(group_count_, t.Hi);
  }
  int top = m.ParseUnion(0);
  const std::size_t n = m.nodes.size();
  m.nullable.assign(n, 0);
  m.has_first.assign(n, 0);
  m.head_real.assign(n, 0);
  m.tail_followed.assign(n, 0);
  for (std::size_t k = 0; k < n; ++k) m.Facts(static_cast<int>(k));
  m.Contexts(top, true, false, 0);
  for (std::size_t k = 0; k < n; ++k) {
    Node& node = m.nodes[k];
    if (node.kind == Node::kHead && !m.head_real[k]) {
      node.kind = Node::kChars;
      node.ranges = {{'^', '^'}};
    } else if (node.kind == Node::kTail && m.tail_followed[k]) {
      node.kind = Node::kChars;
      node.ranges = {{'$', '$'}};
    }
  }
  m.prog.push_back(Inst{});  // the match
  m.root = m.Emit(top, 0, 0);
  m.tokens = nullptr;
  m.root_node = top;
}

GroupMatcher::~GroupMatcher() = default;

bool GroupMatcher::Capture(const std::vector<std::int32_t>& codes, bool line_head, bool line_tail,
                           std::vector<Span>* spans) {
  Impl& m = *impl_;
  const int n = static_cast<int>(codes.size());
  spans->assign(static_cast<std::size_t>(group_count_) + 1, {-1, -1});
  (*spans)[0] = {0, n};
  m.codes = &codes;
  m.line_head = line_head;
  m.line_tail = line_tail;
  m.spans = spans;
  m.work = 0;
  bool ok = false;
  try {
    std::vector<int> ends = m.Forward(m.frags[static_cast<std::size_t>(m.root)], 0, n);
    ok = !ends.empty() && ends.back() == n && m.Assign(m.root, 0, n, 0);
  } catch (const OutOfBudget&) {
    ok = false;
  }
  if (!ok) {
    spans->assign(static_cast<std::size_t>(group_count_) + 1, {-1, -1});
    (*spans)[0] = {0, n};
  }
  return ok;
}

std::string GroupMatcher::Dump() const { return impl_->Dump(impl_->root_node); }

}  // namespace parvane
