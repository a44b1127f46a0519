// A slow, obviously right reference matcher for tests only: its own parser,
// a Thompson automaton with epsilon moves (not positions), and a search that
// tries every start and every end. Patterns and texts are Shift_JIS.
#ifndef PARVANE_TESTS_REGEX_REFERENCE_MATCHER_H_
#define PARVANE_TESTS_REGEX_REFERENCE_MATCHER_H_

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parvane::testing_reference {

inline bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Characters of a Shift_JIS string with their byte offsets (plus the end).
inline void DecodeSjis(std::string_view s, std::vector<int>* codes, std::vector<int>* offsets) {
  codes->clear();
  offsets->clear();
  for (std::size_t i = 0; i < s.size();) {
    offsets->push_back(static_cast<int>(i));
    unsigned char b = s[i];
    if (IsLead(b) && i + 1 < s.size()) {
      codes->push_back(b * 256 + static_cast<unsigned char>(s[i + 1]));
      i += 2;
    } else {
      codes->push_back(IsLead(b) ? b * 256 : b);
      i += 1;
    }
  }
  offsets->push_back(static_cast<int>(s.size()));
}

struct BadPattern : std::runtime_error {
  BadPattern() : std::runtime_error("bad pattern") {}
};

class ReferenceRegex {
 public:
  ReferenceRegex(std::string_view pattern, bool ignore_case) : ignore_case_(ignore_case) {
    DecodeSjis(pattern, &p_, &unused_);
    start_ = NewState();
    int end = ParseAlt(start_);
    if (i_ != p_.size()) throw BadPattern();
    accept_ = NewState();
    states_[end].eps.push_back(accept_);
    ResolveAnchors();
  }

  // Returns (start char, end char) of the leftmost-longest match at or after
  // character `from` of codes, or nullopt.
  std::optional<std::pair<int, int>> Find(const std::vector<int>& codes, int from) const {
    int n = static_cast<int>(codes.size());
    for (int p = from; p <= n; ++p) {
      int best = Longest(codes, p);
      if (best >= 0) return std::make_pair(p, best);
    }
    return std::nullopt;
  }

 private:
  enum EdgeKind { kNone, kChars, kHead, kTail };
  struct State {
    std::vector<int> eps;
    EdgeKind kind = kNone;
    std::vector<std::pair<int, int>> ranges;  // kChars
    bool negated = false;                     // kChars: all but ranges, LF and CR
    int target = -1;
  };

  int NewState() {
    states_.emplace_back();
    return static_cast<int>(states_.size()) - 1;
  }
  bool AtEnd() const { return i_ >= p_.size(); }
  int Peek() const { return AtEnd() ? -1 : p_[i_]; }

  // Each Parse* takes the state where its piece begins and returns where it ends.
  int ParseAlt(int from) {
    int end = NewState();
    for (;;) {
      int branch = NewState();
      states_[from].eps.push_back(branch);
      int e = ParseSeq(branch);
      states_[e].eps.push_back(end);
      if (Peek() != '|') return end;
      ++i_;
    }
  }
  int ParseSeq(int from) {
    int cur = from;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') cur = ParsePostfix(cur);
    return cur;
  }
  int ParsePostfix(int from) {
    int in = NewState();
    states_[from].eps.push_back(in);
    int out = ParseAtom(in);
    int op = Peek();
    if (op == '*' || op == '+' || op == '?') {
      ++i_;
      int after = NewState();
      states_[out].eps.push_back(after);
      if (op != '?') states_[out].eps.push_back(in);
      if (op != '+') states_[in].eps.push_back(after);
      return after;
    }
    return out;
  }
  int Edge(int from, EdgeKind kind, std::vector<std::pair<int, int>> ranges, bool negated) {
    int to = NewState();
    states_[from].kind = kind;
    states_[from].ranges = std::move(ranges);
    states_[from].negated = negated;
    states_[from].target = to;
    return to;
  }
  int Escape() {
    if (AtEnd()) throw BadPattern();
    int c = p_[i_++];
    switch (c) {
      case 'n': return 10;
      case 'r': return 13;
      case 't': return 9;
    }
    return c;  // the generators use no other escapes with a meaning
  }
  int ParseAtom(int from) {
    if (AtEnd()) throw BadPattern();
    int c = p_[i_++];
    switch (c) {
      case '(': {
        int e = ParseAlt(from);
        if (Peek() != ')') throw BadPattern();
        ++i_;
        return e;
      }
      case ')': case '|': case '*': case '+': case '?':
        throw BadPattern();
      case '.':
        return Edge(from, kChars, {}, true);
      case '^':
        return Edge(from, kHead, {}, false);
      case '$':
        return Edge(from, kTail, {}, false);
      case '[':
        return ParseClass(from);
      case '\\':
        c = Escape();
        break;
    }
    std::vector<std::pair<int, int>> ranges = {{c, c}};
    if (ignore_case_ && c < 128 && std::isalpha(c)) ranges.push_back({c ^ 32, c ^ 32});
    return Edge(from, kChars, ranges, false);
  }
  int ParseClass(int from) {
    bool negated = false;
    if (Peek() == '^') {
      negated = true;
      ++i_;
    }
    std::vector<std::pair<int, int>> ranges;
    bool first = true;
    for (;;) {
      if (AtEnd()) throw BadPattern();
      int c = p_[i_++];
      if (c == ']' && !first) break;
      first = false;
      if (c == '\\') c = Escape();
      if (Peek() == '-' && i_ + 1 < p_.size() && p_[i_ + 1] != ']') {
        i_ += 1;
        int d = p_[i_++];
        if (d == '\\') d = Escape();
        if (d < c) throw BadPattern();
        ranges.push_back({c, d});
      } else {
        ranges.push_back({c, c});
      }
    }
    return Edge(from, kChars, ranges, negated);
  }

  std::vector<int> Closure(std::vector<int> set) const {
    std::vector<char> seen(states_.size(), 0);
    std::vector<int> stack = set;
    for (int s : set) seen[s] = 1;
    while (!stack.empty()) {
      int s = stack.back();
      stack.pop_back();
      for (int t : states_[s].eps) {
        if (!seen[t]) {
          seen[t] = 1;
          set.push_back(t);
          stack.push_back(t);
        }
      }
    }
    return set;
  }
  bool Contains(const std::vector<int>& set, int x) const {
    for (int s : set) {
      if (s == x) return true;
    }
    return false;
  }

  // ^ is an anchor only when it can be the first thing matched, $ only when
  // nothing but the end can follow it; otherwise they are the characters.
  void ResolveAnchors() {
    std::vector<int> first = Closure({start_});
    for (std::size_t s = 0; s < states_.size(); ++s) {
      State& st = states_[s];
      if (st.kind == kHead && !Contains(first, static_cast<int>(s))) {
        st.kind = kChars;
        st.ranges = {{'^', '^'}};
      } else if (st.kind == kTail) {
        std::vector<int> after = Closure({st.target});
        bool only_end = Contains(after, accept_);
        for (int t : after) {
          if (states_[t].kind != kNone) only_end = false;
        }
        if (!only_end) {
          st.kind = kChars;
          st.ranges = {{'$', '$'}};
        }
      }
    }
  }

  bool Accepts(const State& st, int c) const {
    bool in = false;
    for (const auto& r : st.ranges) in = in || (c >= r.first && c <= r.second);
    if (st.negated) return !in && c != 10 && c != 13;
    return in;
  }

  static bool LineHead(const std::vector<int>& codes, int p) {
    if (p == 0) return true;
    if (codes[p - 1] == 10) return true;
    return codes[p - 1] == 13 && !(p < static_cast<int>(codes.size()) && codes[p] == 10);
  }

  int Longest(const std::vector<int>& codes, int p) const {
    int n = static_cast<int>(codes.size());
    std::vector<int> set = Closure({start_});
    if (LineHead(codes, p)) {
      std::vector<int> heads;
      for (int s : set) {
        if (states_[s].kind == kHead) heads.push_back(states_[s].target);
      }
      for (int t : Closure(heads)) set.push_back(t);
    }
    int best = -1;
    for (int k = p;; ++k) {
      bool tail_ok = k == n || codes[k] == 10 || codes[k] == 13;
      for (int s : set) {
        if (s == accept_) best = k;
        if (states_[s].kind == kTail && tail_ok && Contains(Closure({states_[s].target}), accept_)) best = k;
      }
      if (k == n) break;
      std::vector<int> next;
      for (int s : set) {
        if (states_[s].kind == kChars && Accepts(states_[s], codes[k]) && !Contains(next, states_[s].target)) {
          next.push_back(states_[s].target);
        }
      }
      if (next.empty()) break;
      set = Closure(next);
    }
    return best;
  }

  bool ignore_case_;
  std::vector<int> p_;
  std::vector<int> unused_;
  std::size_t i_ = 0;
  std::vector<State> states_;
  int start_ = 0;
  int accept_ = 0;
};

// The replace-all rule: after an empty match the next character is kept
// and the search resumes after it; the loop ends at the end of the line.
inline std::string ReferenceReplaceAll(const ReferenceRegex& re, std::string_view line,
                                       std::string_view replacement, int* count) {
  std::vector<int> codes;
  std::vector<int> offsets;
  DecodeSjis(line, &codes, &offsets);
  int n = static_cast<int>(codes.size());
  std::string out;
  *count = 0;
  int from = 0;
  do {
    auto m = re.Find(codes, from);
    if (!m) {
      out.append(line.substr(offsets[from]));
      break;
    }
    ++*count;
    out.append(line.substr(offsets[from], offsets[m->first] - offsets[from]));
    out.append(replacement);
    if (m->first == m->second) {
      if (m->first < n) out.append(line.substr(offsets[m->first], offsets[m->first + 1] - offsets[m->first]));
      from = m->first + 1;
    } else {
      from = m->second;
    }
  } while (from < n);
  return out;
}

}  // namespace parvane::testing_reference

#endif  // PARVANE_TESTS_REGEX_REFERENCE_MATCHER_H_
