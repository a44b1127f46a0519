// TbmRExp: compilation with its cache, the two-pass search, replacement.
#include "regex/match.h"

#include <cstring>

#include "regex/scanner.h"
#include "regex/token_filter.h"
#include "regex/tree.h"

namespace parvane {
namespace {

bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A replacement template split once into literal bytes and references to
// the matched text, so that a replace-all does not re-read it per match.
struct TemplatePiece {
  bool matched;      // stands for the matched text
  std::string text;  // literal bytes otherwise
};

std::vector<TemplatePiece> CompileTemplate(std::string_view tmpl, TbmWchReader& reader) {
  std::vector<TemplatePiece> pieces;
  auto literal = [&](std::string_view bytes) {
    if (pieces.empty() || pieces.back().matched) pieces.push_back({false, {}});
    pieces.back().text.append(bytes);
  };
  reader.SetTextBuff(tmpl.data(), static_cast<int>(tmpl.size()));
  for (;;) {
    int before = reader.GetPosition();
    int c = reader.ReadChar();
    if (c == -1) break;
    if (c == '&') {
      pieces.push_back({true, {}});
    } else if (c == '\\') {
      c = reader.ReadEscape();
      if (c == -1) break;
      literal(reader.CharToStr(c));
    } else {
      // The bytes as written: a lead byte cut off at the end stays one byte.
      int after = std::min<int>(reader.GetPosition(), static_cast<int>(tmpl.size()));
      literal(tmpl.substr(before, after - before));
    }
  }
  return pieces;
}

void AppendExpansion(const std::vector<TemplatePiece>& pieces, std::string_view matched, std::string& out) {
  for (const TemplatePiece& p : pieces) {
    if (p.matched) {
      out.append(matched);
    } else {
      out.append(p.text);
    }
  }
}

}  // namespace

std::string ExpandReplacement(std::string_view tmpl, std::string_view matched, TbmWchReader& reader) {
  std::string out;
  AppendExpansion(CompileTemplate(tmpl, reader), matched, out);
  return out;
}

TbmRExp::TbmRExp() : CharCode(SystemCharCode) {}
TbmRExp::~TbmRExp() = default;

void TbmRExp::SetCharCode(int char_code) {
  if (char_code == CharCode) return;
  CharCode = char_code;
  Compiled = false;
}

void TbmRExp::SetPattern(std::string_view pattern) {
  if (pattern == Pattern) return;
  Pattern.assign(pattern);
  Compiled = false;
}

void TbmRExp::SetOption(int index, bool value) {
  bool* option = index == 0 ? &RegexMode : index == 1 ? &IgnoreCase : nullptr;
  if (option == nullptr || *option == value) return;
  *option = value;
  Compiled = false;
}

TbmREDFATable& TbmRExp::GetDFATable() {
  if (Compiled && dfa_) return *dfa_;
  Compiled = false;
  dfa_.reset();
  TbmREScanner scanner(CharCode);
  scanner.SetRegexMode(RegexMode);
  scanner.SetText(Pattern);
  TbmRETokens scanned;
  Tokenize(scanner, &scanned);
  TbmRETokens tokens;
  if (IgnoreCase) {
    TbmREAsciiIgnoreCaseDic dic;
    dic.Translate(scanned, &tokens);
  } else {
    tokens = std::move(scanned);
  }
  TbmREWchRanges partition;
  Standardize(&tokens, &partition);
  TbmRETree tree = BuildTree(tokens);
  dfa_ = std::make_unique<TbmREDFATable>(std::move(tree), partition);
  if (CharCode != kCharCodeShiftJis) {
    if (!reader_ || reader_->CharCode() != CharCode) reader_ = CreateReader(CharCode);
  }
  ++compile_count_;
  Compiled = true;
  return *dfa_;
}

void TbmRExp::Decode(std::string_view text, bool first_is_line_head) {
  const TbmREDFATable& dfa = *dfa_;
  first_is_line_head_ = first_is_line_head;
  symbols_.clear();
  offsets_.clear();
  breaks_.clear();
  auto add = [&](int offset, int code) {
    offsets_.push_back(offset);
    symbols_.push_back(dfa.SymbolOf(code));
    breaks_.push_back(code == 10 ? 1 : code == 13 ? 2 : 0);
  };
  if (CharCode == kCharCodeShiftJis) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t n = text.size();
    symbols_.reserve(n);
    offsets_.reserve(n + 1);
    breaks_.reserve(n);
    for (std::size_t i = 0; i < n;) {
      unsigned char b = p[i];
      if (!IsSjisLeadByte(b)) {
        add(static_cast<int>(i), b);
        ++i;
      } else if (i + 1 < n) {
        add(static_cast<int>(i), b * 256 + p[i + 1]);
        i += 2;
      } else {
        add(static_cast<int>(i), b * 256);  // a lead byte cut off at the end
        ++i;
      }
    }
  } else {
    reader_->SetTextBuff(text.data(), static_cast<int>(text.size()));
    for (;;) {
      int offset = reader_->GetPosition();
      int c = reader_->ReadChar();
      if (c == -1) break;
      add(offset, c);
    }
  }
  offsets_.push_back(static_cast<int>(text.size()));
}

bool TbmRExp::LineHeadAt(std::size_t i) const {
  if (i == 0) return first_is_line_head_;
  if (breaks_[i - 1] == 1) return true;
  return breaks_[i - 1] == 2 && !(i < breaks_.size() && breaks_[i] == 1);
}

void TbmRExp::ComputeStarts() {
  TbmREDFATable& dfa = *dfa_;
  std::size_t n = symbols_.size();
  starts_.assign(n + 1, 0);
  bool heads = dfa.HasLineHead();
  int state = dfa.ReverseAtEnd();
  for (std::size_t i = n + 1; i-- > 0;) {
    if (i < n) state = dfa.ReverseNext(state, symbols_[i]);
    std::uint8_t flags = dfa.ReverseFlags(state);
    starts_[i] = (flags & TbmREDFATable::kStartsMatch) ||
                 (heads && (flags & TbmREDFATable::kStartsMatchAtHead) && LineHeadAt(i));
  }
}

int TbmRExp::LongestFrom(std::size_t i) {
  TbmREDFATable& dfa = *dfa_;
  std::size_t n = symbols_.size();
  int state = dfa.ForwardStart(dfa.HasLineHead() && LineHeadAt(i));
  long best = -1;
  for (std::size_t k = i;; ++k) {
    std::uint8_t flags = dfa.ForwardFlags(state);
    if (flags & TbmREDFATable::kAccepting) best = static_cast<long>(k);
    if ((flags & TbmREDFATable::kHasTail) && (k == n || breaks_[k] != 0)) best = static_cast<long>(k);
    if (k == n) break;
    state = dfa.ForwardNext(state, symbols_[k]);
    if (state == kDeadState) break;
  }
  return best < 0 ? -1 : static_cast<int>(best - static_cast<long>(i));
}

bool TbmRExp::FindFrom(std::size_t from, std::size_t* start, std::size_t* end) {
  std::size_t n = symbols_.size();
  while (from <= n) {
    const void* hit = std::memchr(starts_.data() + from, 1, n + 1 - from);
    if (hit == nullptr) return false;
    std::size_t p = static_cast<const std::uint8_t*>(hit) - starts_.data();
    int length = LongestFrom(p);
    if (length >= 0) {
      *start = p;
      *end = p + static_cast<std::size_t>(length);
      return true;
    }
    from = p + 1;  // cannot happen when both automata agree; stay safe
  }
  return false;
}

bool TbmRExp::FirstIsLineHead(std::string_view text, int start_offset) {
  if (start_offset == 0) return true;
  // As the matcher's stepping reader would: step back one character from
  // the start offset and look at it.
  std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
  reader->SetTextBuff(text.data(), static_cast<int>(text.size()));
  reader->SetPosition(start_offset);
  reader->UnreadChar();
  int c = reader->ReadChar();
  if (c == 10) return true;
  if (c != 13) return false;
  reader->SetPosition(start_offset);
  return reader->ReadChar() != 10;
}

bool TbmRExp::MayMatch(std::string_view text) {
  if (CharCode != kCharCodeShiftJis) return true;
  TbmREDFATable& dfa = *dfa_;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t n = text.size();
  int state = dfa.SearchStart();
  for (std::size_t i = 0; i < n;) {
    std::uint8_t flags = dfa.SearchFlags(state);
    if (flags & TbmREDFATable::kAccepting) return true;
    unsigned char b = p[i];
    int code;
    if (!IsSjisLeadByte(b)) {
      code = b;
      i += 1;
    } else if (i + 1 < n) {
      code = b * 256 + p[i + 1];
      i += 2;
    } else {
      code = b * 256;
      i += 1;
    }
    if ((flags & TbmREDFATable::kHasTail) && (code == 10 || code == 13)) return true;
    state = dfa.SearchNext(state, dfa.SymbolOf(code));
  }
  return dfa.SearchFlags(state) != 0;
}

int TbmRExp::Match(std::string_view text, int start_offset, int* length) {
  *length = 0;
  TbmREDFATable& dfa = GetDFATable();
  if (start_offset < 0 || static_cast<std::size_t>(start_offset) > text.size()) return -1;
  if (!MayMatch(text.substr(start_offset))) return -1;
  bool head = !dfa.HasLineHead() || FirstIsLineHead(text, start_offset);
  Decode(text.substr(start_offset), head);
  ComputeStarts();
  std::size_t s = 0;
  std::size_t e = 0;
  if (!FindFrom(0, &s, &e)) return -1;
  *length = offsets_[e] - offsets_[s];
  return start_offset + offsets_[s];
}

int TbmRExp::ReplaceFirst(std::string_view tmpl, std::string& line) {
  int length = 0;
  int start = Match(line, 0, &length);
  if (start < 0) return 0;
  std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
  std::string out = line.substr(0, start);
  AppendExpansion(CompileTemplate(tmpl, *reader), std::string_view(line).substr(start, length), out);
  out.append(line, start + length, std::string::npos);
  line = std::move(out);
  return 1;
}

int TbmRExp::ReplaceAll(std::string_view tmpl, std::string& line) {
  GetDFATable();
  std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
  std::vector<TemplatePiece> pieces = CompileTemplate(tmpl, *reader);
  if (!MayMatch(line)) return 0;
  Decode(line, true);
  ComputeStarts();
  std::string_view text(line);
  std::size_t n = symbols_.size();
  std::string out;
  out.reserve(line.size());
  int count = 0;
  std::size_t from = 0;
  do {
    std::size_t s = 0;
    std::size_t e = 0;
    if (!FindFrom(from, &s, &e)) {
      out.append(text.substr(offsets_[from]));
      break;
    }
    ++count;
    out.append(text.substr(offsets_[from], offsets_[s] - offsets_[from]));
    AppendExpansion(pieces, text.substr(offsets_[s], offsets_[e] - offsets_[s]), out);
    if (s == e) {
      // An empty match keeps the character after it and moves past it.
      if (s < n) out.append(text.substr(offsets_[s], offsets_[s + 1] - offsets_[s]));
      from = s + 1;
    } else {
      from = e;
    }
  } while (from < n);
  line = std::move(out);
  return count;
}

}  // namespace parvane
