// One document's private codes; see private_codes.h. The conversions keep a
// fast path for the characters code page 932 holds (one table lookup, as in
// cp932.cpp), so loading a large UTF-8 file costs little more than before.
#include "text/private_codes.h"

#include <array>
#include <charconv>
#include <memory>

#include "text/append_block.h"
#include "text/cp932.h"
#include "text/literal.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u < 0xDC00; }
constexpr bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u < 0xE000; }
constexpr bool IsUserDefined(int code) {
  return code >= 0xF040 && code <= 0xF9FC && IsSjisTrailByte(static_cast<unsigned char>(code & 0xFF));
}

// What the conversions need to know of code page 932, once: the codes a new
// entry may take, in the order they are given out, and the best-fit
// characters (those whose code stands for another character).
struct Repertoire {
  std::vector<std::uint16_t> candidates;
  std::bitset<0x10000> is_candidate;
  std::bitset<0x10000> is_best_fit;
};

const Repertoire& Cp932Repertoire() {
  static const std::unique_ptr<Repertoire> repertoire = [] {
    auto r = std::make_unique<Repertoire>();
    auto add = [&r](int code) {
      r->candidates.push_back(static_cast<std::uint16_t>(code));
      r->is_candidate[code] = true;
    };
    for (int lead = 0xF0; lead <= 0xF9; ++lead) {
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (IsSjisTrailByte(static_cast<unsigned char>(trail))) add(lead << 8 | trail);
      }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (Cp932ToUnit(lead) >= 0) continue;  // not a lead byte
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        int code = lead << 8 | trail;
        if (IsSjisTrailByte(static_cast<unsigned char>(trail)) && !r->is_candidate[code] &&
            Cp932ToUnit(code) < 0) {
          add(code);
        }
      }
    }
    for (int u = 0; u < 0x10000; ++u) {
      int code = Cp932FromUnit(static_cast<char16_t>(u));
      if (code >= 0 && Cp932ToUnit(code) != u) r->is_best_fit[u] = true;
    }
    return r;
  }();
  return *repertoire;
}

char16_t* PutChar(char16_t* p, char32_t ch) {
  if (ch < 0x10000) {
    *p++ = static_cast<char16_t>(ch);
  } else {
    ch -= 0x10000;
    *p++ = static_cast<char16_t>(0xD800 + (ch >> 10));
    *p++ = static_cast<char16_t>(0xDC00 + (ch & 0x3FF));
  }
  return p;
}

}  // namespace

long PrivateCodes::CharOf(int code) const {
  if (code < 0 || code > 0xFFFF || !entry_[code]) return -1;
  return static_cast<long>(by_code_.at(static_cast<std::uint16_t>(code)));
}

int PrivateCodes::CodeOf(char32_t ch) const {
  auto it = by_char_.find(ch);
  return it == by_char_.end() ? -1 : it->second;
}

bool PrivateCodes::IsPrivate(int code) const {
  return code >= 0 && code <= 0xFFFF && entry_[code] && !origin_[code];
}

void PrivateCodes::MarkUsed(int code) {
  if (code >= 0 && code <= 0xFFFF) taken_[code] = true;
}

void PrivateCodes::NoteSjisText(std::string_view s) {
  const Repertoire& r = Cp932Repertoire();
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x81 || (b >= 0xA0 && b < 0xE0) || b > 0xFC || i + 1 == n) {
      ++i;
      continue;
    }
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (!IsSjisTrailByte(t)) {
      ++i;
      continue;
    }
    int code = b << 8 | t;
    if (r.is_candidate[code]) taken_[code] = true;
    i += 2;
  }
}

void PrivateCodes::NoteUnicodeText(std::u16string_view utf16) {
  const Repertoire& r = Cp932Repertoire();
  // Per best-fit code: whether the file writes it as the best-fit character
  // (which one) and whether it writes the code's own character.
  struct Seen {
    char32_t best_fit = 0;
    bool own = false;
  };
  std::unordered_map<int, Seen> seen;
  for (char16_t u : utf16) {
    if (u >= 0xE000 && u <= 0xE757) {
      MarkUsed(Cp932FromUnit(u));
    } else if (r.is_best_fit[u]) {
      seen[Cp932FromUnit(u)].best_fit = u;
    }
  }
  if (seen.empty()) return;
  for (char16_t u : utf16) {
    int code = Cp932FromUnit(u);
    if (code >= 0 && !r.is_best_fit[u]) {
      auto it = seen.find(code);
      if (it != seen.end()) it->second.own = true;
    }
  }
  for (const auto& [code, s] : seen) {
    if (!s.own) AddOrigin(code, s.best_fit);
  }
}

bool PrivateCodes::AddOrigin(int code, char32_t ch) {
  if (code < 0 || code > 0xFFFF || entry_[code] || by_char_.count(ch) != 0) return false;
  entries_.push_back(Entry{static_cast<std::uint16_t>(code), ch});
  by_code_[static_cast<std::uint16_t>(code)] = ch;
  by_char_[ch] = static_cast<std::uint16_t>(code);
  entry_[code] = true;
  taken_[code] = true;
  origin_[code] = Cp932ToUnit(code) >= 0 && !IsUserDefined(code);
  return true;
}

int PrivateCodes::Assign(char32_t ch) {
  if (scanner_ && !scanned_) {
    scanned_ = true;
    scanner_(*this);
  }
  const std::vector<std::uint16_t>& candidates = Cp932Repertoire().candidates;
  while (next_candidate_ < candidates.size() && taken_[candidates[next_candidate_]]) {
    ++next_candidate_;
  }
  if (next_candidate_ == candidates.size()) return -1;
  int code = candidates[next_candidate_++];
  AddOrigin(code, ch);
  return code;
}

int PrivateCodes::Encode(char32_t ch, BestFit best_fit) {
  if (!entries_.empty()) {
    auto it = by_char_.find(ch);
    if (it != by_char_.end()) return it->second;
  }
  if (ch < 0x10000 && !IsHighSurrogate(ch) && !IsLowSurrogate(ch)) {
    int native = Cp932FromUnit(static_cast<char16_t>(ch));
    if (native >= 0 && (best_fit == BestFit::kUse || !Cp932Repertoire().is_best_fit[ch])) {
      // ASCII stays ASCII whatever the table says: patterns, separators and
      // step syntax are typed in it.
      if (native < 0x80) return native;
      if (!entry_[native]) {
        if (IsUserDefined(native)) taken_[native] = true;
        return native;
      }
    }
  }
  return Assign(ch);
}

void PrivateCodes::ToUtf16(std::string_view s, std::u16string& out) const {
  if (entries_.empty()) {
    Cp932ToUtf16(s, out);
    return;
  }
  // A byte gives one unit and a pair at most two (a surrogate pair), so the
  // bytes' count is room enough.
  out.resize(s.size());
  char16_t* p = out.data();
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    int code = b;
    int unit = Cp932ToUnit(b);
    std::size_t size = 1;
    if (unit < 0) {
      if (i + 1 == n) {
        *p++ = u'?';
        break;
      }
      unsigned char t = static_cast<unsigned char>(s[i + 1]);
      if (!IsSjisTrailByte(t)) {
        // As in Cp932ToUtf16: a CR or LF after a stray lead byte survives.
        *p++ = u'?';
        ++i;
        continue;
      }
      code = b << 8 | t;
      unit = Cp932ToUnit(code);
      size = 2;
    }
    if (entry_[code]) {
      p = PutChar(p, by_code_.at(static_cast<std::uint16_t>(code)));
    } else {
      *p++ = unit < 0 ? u'?' : static_cast<char16_t>(unit);
    }
    i += size;
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::u16string PrivateCodes::ToUtf16(std::string_view s) const {
  std::u16string out;
  ToUtf16(s, out);
  return out;
}

std::string PrivateCodes::FromUtf16(std::u16string_view utf16, std::size_t* unmapped,
                                    BestFit best_fit) {
  const Repertoire& r = Cp932Repertoire();
  std::string out;
  out.reserve(utf16.size() * 2);
  AppendBlock<char> block(out);
  char* p = block.data;
  std::size_t missing = 0;
  const std::size_t n = utf16.size();
  for (std::size_t i = 0; i < n; ++i) {
    p = block.Room(p, 2);
    char16_t u = utf16[i];
    int code = Cp932FromUnit(u);
    // A best-fit character may have an entry of its own: Encode decides.
    bool direct = code >= 0 && !entry_[code] && !IsUserDefined(code) && !r.is_best_fit[u];
    if (!direct) {
      char32_t ch = u;
      if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(utf16[i + 1])) {
        ch = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
        ++i;
      }
      code = Encode(ch, best_fit);
    }
    if (code < 0) {
      *p++ = '?';
      ++missing;
    } else {
      p = PutSjisCode(p, code);
    }
  }
  block.Finish(p);
  if (unmapped != nullptr) *unmapped += missing;
  return out;
}

std::string PrivateCodes::FromUtf8(std::string_view utf8, std::size_t* unmapped) {
  return FromUtf16(Utf8ToUtf16(utf8), unmapped);
}

std::string PrivateCodes::ToUtf8(std::string_view sjis) const { return Utf16ToUtf8(ToUtf16(sjis)); }

std::string PrivateCodes::Serialize() const {
  std::string out;
  char buffer[16];
  for (const Entry& e : entries_) {
    if (!out.empty()) out += ',';
    auto end = std::to_chars(buffer, buffer + sizeof buffer, e.code, 16).ptr;
    out.append(buffer, end);
    out += '=';
    end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(e.ch), 16).ptr;
    out.append(buffer, end);
  }
  return out;
}

bool PrivateCodes::Parse(std::string_view text) {
  PrivateCodes parsed;
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return false;
    unsigned code = 0;
    std::uint32_t ch = 0;
    auto [c_end, c_err] = std::from_chars(item.data(), item.data() + eq, code, 16);
    auto [u_end, u_err] = std::from_chars(item.data() + eq + 1, item.data() + item.size(), ch, 16);
    if (c_err != std::errc() || u_err != std::errc() || c_end != item.data() + eq ||
        u_end != item.data() + item.size() || code > 0xFFFF || ch > 0x10FFFF) {
      return false;
    }
    if (!parsed.AddOrigin(static_cast<int>(code), ch)) return false;
  }
  parsed.scanner_ = std::move(scanner_);
  *this = std::move(parsed);
  return true;
}

}  // namespace parvane
