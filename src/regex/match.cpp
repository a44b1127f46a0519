// TbmRExp: compilation with its cache, the two-pass search, replacement.
#include "regex/match.h"

#include <algorithm>
#include <cstring>

#include "regex/repetition.h"
#include "regex/scanner.h"
#include "regex/token_filter.h"
#include "regex/tree.h"
#include "text/sjis.h"

namespace parvane {
namespace {

// Whether hay holds needle. memmem may not be given the null pointer of an
// empty view, and a haystack shorter than the needle cannot hold it anyway.
bool HoldsBytes(std::string_view hay, std::string_view needle) {
  return hay.size() >= needle.size() &&
         memmem(hay.data(), hay.size(), needle.data(), needle.size()) != nullptr;
}

// Returns the Shift_JIS bytes of the longest run of characters that the
// pattern's top level holds (outside groups, with no alternative beside
// it, no repetition applied to it), which every match therefore contains;
// empty when there is none to rely on. Linear in the tokens, for patterns
// too long for the automaton's own search (TbmREDFATable::RequiredBytes).
std::string TopLevelRequiredBytes(const TbmRETokens& tokens, bool ignore_case) {
  std::string best;
  int depth = 0;
  TbmRETokens run;
  auto flush = [&] {
    if (run.empty()) return;
    TbmREToken end;
    end.Kind = kTokenEnd;
    run.push_back(end);
    std::optional<LiteralSearch> literal = LiteralSearch::FromTokens(run, ignore_case);
    if (literal && literal->Bytes().size() > best.size()) best = literal->Bytes();
    run.clear();
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const TbmREToken& t = tokens[i];
    const std::uint8_t next = i + 1 < tokens.size() ? tokens[i + 1].Kind : std::uint8_t{kTokenEnd};
    const bool repeated = next == kTokenAsterisk || next == kTokenPlus || next == kTokenQuestionMark ||
                          next == kTokenRepetition;
    if (t.Kind == kTokenUnion && depth == 0) return {};
    if (t.Kind == kTokenLeftParenthesis) ++depth;
    if (t.Kind == kTokenRightParenthesis) --depth;
    if (t.Kind == kTokenLeftBracket || t.Kind == kTokenNegateLeftBracket) {
      while (i + 1 < tokens.size() && tokens[i].Kind != kTokenRightBracket) ++i;
    }
    if (t.Kind == kTokenCharacter && depth == 0 && !repeated) {
      run.push_back(t);
    } else {
      flush();
    }
  }
  flush();
  return best;
}

using regex_internal::TemplatePiece;

std::vector<TemplatePiece> CompileTemplate(std::string_view tmpl, TbmWchReader& reader, bool groups = false) {
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
      if (groups) {
        int d = reader.ReadChar();
        if (d >= '0' && d <= '9') {
          pieces.push_back({true, {}, d - '0'});
          continue;
        }
        if (d != -1) reader.UnreadChar();
      }
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

// With spans (byte offset and length in text of the match and its groups),
// a group piece takes its group's text, nothing for a group that took no
// part. Both return false, with out cut to max_length + 1 bytes, as soon as
// out passes max_length: a template of thousands of '&' on a long match must
// not build gigabytes that the length limit refuses anyway.
bool AppendExpansion(const std::vector<TemplatePiece>& pieces, std::string_view text,
                     const std::vector<std::pair<int, int>>& spans, std::string& out,
                     std::size_t max_length) {
  for (const TemplatePiece& p : pieces) {
    if (!p.matched) {
      out.append(p.text);
    } else if (static_cast<std::size_t>(p.group) < spans.size() && spans[p.group].first >= 0) {
      out.append(text.substr(spans[p.group].first, spans[p.group].second));
    }
    if (out.size() > max_length) {
      out.resize(max_length + 1);
      return false;
    }
  }
  return true;
}

bool AppendExpansion(const std::vector<TemplatePiece>& pieces, std::string_view matched,
                     std::string& out, std::size_t max_length) {
  for (const TemplatePiece& p : pieces) {
    if (p.matched) {
      if (p.group == 0) out.append(matched);
    } else {
      out.append(p.text);
    }
    if (out.size() > max_length) {
      out.resize(max_length + 1);
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ExpandReplacement(std::string_view tmpl, std::string_view matched, TbmWchReader& reader,
                              std::size_t max_length) {
  std::string out;
  AppendExpansion(CompileTemplate(tmpl, reader), matched, out, max_length);
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
  bool* option = index == 0 ? &RegexMode : index == 1 ? &IgnoreCase : index == 2 ? &Extended : nullptr;
  if (option == nullptr || *option == value) return;
  *option = value;
  Compiled = false;
}

TbmREDFATable& TbmRExp::GetDFATable() {
  if (Compiled && dfa_) return *dfa_;
  Compiled = false;
  dfa_.reset();
  literal_.reset();
  fixed_.reset();
  parallel_.reset();
  groups_.reset();
  template_char_code_ = -1;  // a template reads differently in the other syntax
  TbmREScanner scanner(CharCode);
  scanner.SetRegexMode(RegexMode);
  scanner.SetExtended(Extended && RegexMode);
  scanner.SetText(Pattern);
  TbmRETokens scanned;
  Tokenize(scanner, &scanned);
  if (Extended && RegexMode) ExpandRepetitions(&scanned);
  literal_ = LiteralSearch::FromTokens(scanned, IgnoreCase);
  if (!literal_ && RegexMode) fixed_ = FixedWidthSearch::FromTokens(scanned, IgnoreCase);
  if (!literal_ && !fixed_ && RegexMode) parallel_ = BitParallelSearch::FromTokens(scanned, IgnoreCase);
  // The automaton looks for a required run only in patterns of ordinary
  // size; a long one that no other route takes gets the top level's.
  long_required_.clear();
  if (!literal_ && !fixed_ && RegexMode && scanned.size() > kLongPatternTokens) {
    long_required_ = TopLevelRequiredBytes(scanned, IgnoreCase);
  }
  TbmRETokens group_tokens;
  if (Extended && RegexMode && !literal_) group_tokens = scanned;
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
  if (parallel_ && !parallel_->UseSymbolsOf(*dfa_)) parallel_.reset();
  if (!group_tokens.empty()) {
    // Only now, when the parser has accepted the pattern: the group matcher
    // relies on its shape and reports no errors of its own but its depth.
    TbmREWchRanges scratch;
    Standardize(&group_tokens, &scratch);
    groups_ = std::make_unique<GroupMatcher>(group_tokens, IgnoreCase);
  }
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
  line_feed_symbol_ = dfa.SymbolOf(10);
  carriage_return_symbol_ = dfa.SymbolOf(13);
  if (CharCode == kCharCodeShiftJis) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    // Sized for the worst case and cut back after, so the loop writes
    // through plain pointers.
    symbols_.resize(n);
    offsets_.resize(n + 1);
    std::int32_t* symbol = symbols_.data();
    std::int32_t* offset = offsets_.data();
    const std::int32_t* symbol_of = dfa.SymbolTable();
    std::size_t k = 0;
    std::size_t i = 0;
    // Without branches on the byte while two bytes remain (see SearchSjis).
    for (; i + 1 < n; ++k) {
      unsigned b = p[i];
      unsigned lead = static_cast<unsigned>((b ^ 0x20u) - 0xA1u) < 0x3Cu;
      offset[k] = static_cast<std::int32_t>(i);
      symbol[k] = symbol_of[b << (lead * 8) | (p[i + 1] & (0u - lead))];
      i += 1 + lead;
    }
    for (; i < n; ++k) {
      unsigned char b = p[i];
      offset[k] = static_cast<std::int32_t>(i);
      if (!IsDoubleByteLeadByte(b)) {
        symbol[k] = dfa.SymbolOf(b);
        ++i;
      } else if (i + 1 < n) {
        symbol[k] = dfa.SymbolOf(b * 256 + p[i + 1]);
        i += 2;
      } else {
        symbol[k] = dfa.SymbolOf(b * 256);  // a lead byte cut off at the end
        ++i;
      }
    }
    symbols_.resize(k);
    offsets_.resize(k + 1);
    offsets_[k] = static_cast<std::int32_t>(n);
    return;
  }
  symbols_.clear();
  offsets_.clear();
  reader_->SetTextBuff(text.data(), static_cast<int>(text.size()));
  for (;;) {
    int offset = reader_->GetPosition();
    int c = reader_->ReadChar();
    if (c == -1) break;
    offsets_.push_back(offset);
    symbols_.push_back(dfa.SymbolOf(c));
  }
  offsets_.push_back(static_cast<int>(text.size()));
}

bool TbmRExp::LineHeadAt(std::size_t i) const {
  if (i == 0) return first_is_line_head_;
  if (symbols_[i - 1] == line_feed_symbol_) return true;
  return symbols_[i - 1] == carriage_return_symbol_ && !(i < symbols_.size() && symbols_[i] == line_feed_symbol_);
}

BitParallelSearch::Line TbmRExp::DecodedLine() const {
  return {symbols_.data(), symbols_.size(), line_feed_symbol_, carriage_return_symbol_};
}

void TbmRExp::ComputeStarts() {
  if (parallel_) {
    parallel_->FindStarts(DecodedLine(), &starts_);
    if (parallel_->HeadAnchored()) {
      for (std::size_t i = 0; i < starts_.size(); ++i) starts_[i] = starts_[i] && LineHeadAt(i);
    }
    reverse_generation_ = ~0ull;
    return;
  }
  TbmREDFATable& dfa = *dfa_;
  const std::size_t n = symbols_.size();
  starts_.resize(n + 1);
  reverse_states_.resize(n + 1);
  const bool heads = dfa.HasLineHead();
  int state = dfa.ReverseAtEnd();
  const std::uint64_t at_end = dfa.ReverseGeneration();
  const std::size_t ns = static_cast<std::size_t>(dfa.NumSymbols());
  const std::int32_t* symbol = symbols_.data();
  std::uint8_t* starts = starts_.data();
  std::int32_t* states = reverse_states_.data();
  const int* transitions = dfa.ReverseTransitionData();
  const std::uint8_t* flag_of = dfa.ReverseFlagData();
  for (std::size_t i = n + 1; i-- > 0;) {
    if (i < n) {
      int t = transitions[static_cast<std::size_t>(state) * ns + static_cast<std::size_t>(symbol[i])];
      if (t < 0) {
        state = dfa.ReverseNext(state, symbol[i]);
        transitions = dfa.ReverseTransitionData();
        flag_of = dfa.ReverseFlagData();
      } else {
        state = t;
      }
    }
    states[i] = state;
    std::uint8_t flags = flag_of[state];
    starts[i] = (flags & TbmREDFATable::kStartsMatch) ||
                (heads && (flags & TbmREDFATable::kStartsMatchAtHead) && LineHeadAt(i));
  }
  // When the cache was emptied on the way the early ids are stale; the
  // forward runs then go without the early stop.
  reverse_generation_ = dfa.ReverseGeneration() == at_end ? at_end : ~0ull;
}

int TbmRExp::LongestFrom(std::size_t i) {
  if (parallel_) return static_cast<int>(parallel_->LongestFrom(DecodedLine(), i, LineHeadAt(i)));
  TbmREDFATable& dfa = *dfa_;
  const std::size_t n = symbols_.size();
  int state = dfa.ForwardStart(dfa.HasLineHead() && LineHeadAt(i));
  // After a few characters, stop as soon as no match from i can go past the
  // current boundary: otherwise a pattern like a|a*b on a long run of a reads
  // to the end of the line after every match, and a replace-all turns
  // quadratic. Short runs skip the check, which costs a lookup.
  constexpr std::size_t kCheckAfter = 8;
  long best = -1;
  for (std::size_t k = i;; ++k) {
    std::uint8_t flags = dfa.ForwardFlags(state);
    if (flags & TbmREDFATable::kAccepting) best = static_cast<long>(k);
    if ((flags & TbmREDFATable::kHasTail) &&
        (k == n || symbols_[k] == line_feed_symbol_ || symbols_[k] == carriage_return_symbol_)) {
      best = static_cast<long>(k);
    }
    if (k == n) break;
    if (k - i >= kCheckAfter && reverse_generation_ == dfa.ReverseGeneration() &&
        !dfa.ForwardMeetsReverse(state, reverse_states_[k])) {
      break;
    }
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
  if (text.size() < dfa.MinimumWidth()) return false;
  const std::string& required = dfa.RequiredBytes();
  if (!required.empty() && !HoldsBytes(text, required)) {
    return false;
  }
  if (!long_required_.empty() && !HoldsBytes(text, long_required_)) return false;
  // The search automaton would cost what the bit vectors are there to save.
  if (parallel_) return true;
  return dfa.SearchSjis(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

bool TbmRExp::Contains(std::string_view text) {
  TbmREDFATable& dfa = GetDFATable();
  if (literal_) {
    int length = 0;
    return MatchLiteral(text, 0, &length) >= 0;
  }
  if (fixed_) {
    int length = 0;
    return MatchFixed(text, 0, &length) >= 0;
  }
  if (!MayMatch(text)) return false;
  // Without anchors the search automaton is exact; with them it assumes a
  // line head everywhere and a $ satisfied before any break.
  if (CharCode == kCharCodeShiftJis && !parallel_ && !dfa.HasLineHead() && !dfa.HasLineTail()) return true;
  int length = 0;
  return Match(text, 0, &length) >= 0;
}

int TbmRExp::Match(std::string_view text, int start_offset, int* length) {
  *length = 0;
  TbmREDFATable& dfa = GetDFATable();
  if (start_offset < 0 || static_cast<std::size_t>(start_offset) > text.size()) return -1;
  if (literal_) return MatchLiteral(text, start_offset, length);
  if (fixed_) return MatchFixed(text, start_offset, length);
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

int TbmRExp::ReplaceFirst(std::string_view tmpl, std::string& line, std::size_t max_length) {
  int length = 0;
  int start = Match(line, 0, &length);
  if (start < 0) return 0;
  Template(tmpl);
  std::string out = line.substr(0, start);
  const auto s = static_cast<std::size_t>(start);
  const auto e = static_cast<std::size_t>(start + length);
  if (AppendReplacement(line, s, e, FirstIsLineHead(line, start), LineTailAt(line, e), out,
                        max_length)) {
    out.append(line, e, std::string::npos);
    if (out.size() > max_length) out.resize(max_length + 1);
  }
  line = std::move(out);
  return 1;
}

const std::vector<TemplatePiece>& TbmRExp::Template(std::string_view tmpl) {
  if (template_char_code_ != CharCode || tmpl != template_) {
    std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
    template_pieces_ = CompileTemplate(tmpl, *reader, Extended);
    template_.assign(tmpl);
    template_char_code_ = CharCode;
    template_uses_groups_ = false;
    for (const TemplatePiece& p : template_pieces_) template_uses_groups_ |= p.matched && p.group > 0;
  }
  return template_pieces_;
}

bool TbmRExp::LineTailAt(std::string_view text, std::size_t offset) {
  std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
  reader->SetTextBuff(text.data(), static_cast<int>(text.size()));
  reader->SetPosition(static_cast<int>(offset));
  int c = reader->ReadChar();
  return c == -1 || c == 10 || c == 13;
}

bool TbmRExp::PlaceGroups(std::string_view text, std::size_t s, std::size_t e, bool line_head, bool line_tail) {
  match_codes_.clear();
  match_offsets_.clear();
  std::unique_ptr<TbmWchReader> reader = CreateReader(CharCode);
  std::string_view matched = text.substr(s, e - s);
  reader->SetTextBuff(matched.data(), static_cast<int>(matched.size()));
  for (;;) {
    int offset = reader->GetPosition();
    int c = reader->ReadChar();
    if (c == -1) break;
    match_offsets_.push_back(offset);
    match_codes_.push_back(c);
  }
  match_offsets_.push_back(static_cast<std::int32_t>(matched.size()));
  // A match of whole characters decodes alone as it did in its line, but a
  // lead byte cut off at the end of the line reads as the code the line's
  // decoder gave it only when the match reaches that end too.
  return groups_->Capture(match_codes_, line_head, line_tail, &spans_);
}

bool TbmRExp::AppendReplacement(std::string_view text, std::size_t s, std::size_t e, bool line_head,
                                bool line_tail, std::string& out, std::size_t max_length) {
  if (!template_uses_groups_ || !groups_) {
    return AppendExpansion(template_pieces_, text.substr(s, e - s), out, max_length);
  }
  std::vector<std::pair<int, int>> spans;
  PlaceGroups(text, s, e, line_head, line_tail);
  for (const GroupMatcher::Span& span : spans_) {
    if (span.first < 0) {
      spans.push_back({-1, 0});
    } else {
      int from = match_offsets_[static_cast<std::size_t>(span.first)];
      spans.push_back({static_cast<int>(s) + from, match_offsets_[static_cast<std::size_t>(span.second)] - from});
    }
  }
  return AppendExpansion(template_pieces_, text, spans, out, max_length);
}

std::vector<std::pair<int, int>> TbmRExp::Groups(std::string_view text, int start, int length) {
  std::vector<std::pair<int, int>> out = {{start, length}};
  GetDFATable();
  if (!groups_ || start < 0) return out;
  const auto s = static_cast<std::size_t>(start);
  const auto e = static_cast<std::size_t>(start + length);
  PlaceGroups(text, s, e, FirstIsLineHead(text, start), LineTailAt(text, e));
  out.clear();
  for (const GroupMatcher::Span& span : spans_) {
    if (span.first < 0) {
      out.push_back({-1, 0});
    } else {
      int from = match_offsets_[static_cast<std::size_t>(span.first)];
      out.push_back({start + from, match_offsets_[static_cast<std::size_t>(span.second)] - from});
    }
  }
  return out;
}

void TbmRExp::DecodeCodes(std::string_view text, bool fold) {
  const bool folding = fold && IgnoreCase;
  auto folded = [folding](std::int32_t c) { return (folding && c >= 'A' && c <= 'Z') ? c + 32 : c; };
  codes_.clear();
  offsets_.clear();
  if (CharCode == kCharCodeShiftJis) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    codes_.resize(n);
    offsets_.resize(n + 1);
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++k) {
      unsigned b = p[i];
      offsets_[k] = static_cast<std::int32_t>(i);
      if (!IsDoubleByteLeadByte(static_cast<unsigned char>(b))) {
        codes_[k] = folded(static_cast<std::int32_t>(b));
        ++i;
      } else if (i + 1 < n) {
        codes_[k] = static_cast<std::int32_t>(b << 8 | p[i + 1]);
        i += 2;
      } else {
        codes_[k] = static_cast<std::int32_t>(b << 8);  // a lead byte cut off at the end
        ++i;
      }
    }
    codes_.resize(k);
    offsets_.resize(k + 1);
    offsets_[k] = static_cast<std::int32_t>(n);
    return;
  }
  reader_->SetTextBuff(text.data(), static_cast<int>(text.size()));
  for (;;) {
    int offset = reader_->GetPosition();
    int c = reader_->ReadChar();
    if (c == -1) break;
    offsets_.push_back(offset);
    codes_.push_back(folded(c));
  }
  offsets_.push_back(static_cast<int>(text.size()));
}

int TbmRExp::MatchLiteral(std::string_view text, int start_offset, int* length) {
  *length = 0;
  std::string_view rest = text.substr(static_cast<std::size_t>(start_offset));
  const std::string& bytes = literal_->Bytes();
  if (CharCode == kCharCodeShiftJis && !bytes.empty() && !HoldsBytes(rest, bytes)) {
    return -1;
  }
  DecodeCodes(rest, true);
  long k = literal_->Find(codes_.data(), codes_.size(), 0);
  if (k < 0) return -1;
  std::size_t s = static_cast<std::size_t>(k);
  *length = offsets_[s + literal_->Length()] - offsets_[s];
  return start_offset + offsets_[s];
}

int TbmRExp::ReplaceAllLiteral(std::string_view text, std::string& out, std::size_t max_length) {
  const std::string& bytes = literal_->Bytes();
  if (CharCode == kCharCodeShiftJis && !bytes.empty() && !HoldsBytes(text, bytes)) {
    return 0;
  }
  DecodeCodes(text, true);
  const std::size_t n = codes_.size();
  const std::size_t m = literal_->Length();
  out.clear();
  int count = 0;
  std::size_t from = 0;
  for (long k; (k = literal_->Find(codes_.data(), n, from)) >= 0;) {
    std::size_t s = static_cast<std::size_t>(k);
    ++count;
    out.append(text.substr(offsets_[from], offsets_[s] - offsets_[from]));
    if (!AppendExpansion(template_pieces_, text.substr(offsets_[s], offsets_[s + m] - offsets_[s]),
                         out, max_length)) {
      return count;
    }
    from = s + m;
  }
  if (count == 0) return 0;
  out.append(text.substr(offsets_[from]));
  if (out.size() > max_length) out.resize(max_length + 1);
  return count;
}

bool TbmRExp::FindFixedStarts(std::string_view text, bool first_is_line_head) {
  if (text.size() < fixed_->Width()) {
    fixed_starts_.clear();
    return false;
  }
  const std::string& bytes = fixed_->RequiredBytes();
  if (CharCode == kCharCodeShiftJis && !bytes.empty() && !HoldsBytes(text, bytes)) return false;
  DecodeCodes(text, false);
  const std::int32_t* folded = codes_.data();
  if (IgnoreCase) {
    folded_.resize(codes_.size());
    std::transform(codes_.begin(), codes_.end(), folded_.begin(),
                   [this](std::int32_t c) { return fixed_->Fold(c); });
    folded = folded_.data();
  }
  fixed_->FindStarts(codes_.data(), folded, codes_.size(), first_is_line_head, &fixed_starts_);
  return true;
}

std::size_t TbmRExp::NextFixedStart(std::size_t from) const {
  const std::size_t words = fixed_starts_.size();
  std::size_t q = from / 64;
  if (q >= words) return std::string::npos;
  std::uint64_t w = fixed_starts_[q] & (~std::uint64_t{0} << (from % 64));
  while (w == 0) {
    if (++q >= words) return std::string::npos;
    w = fixed_starts_[q];
  }
  return q * 64 + static_cast<std::size_t>(__builtin_ctzll(w));
}

int TbmRExp::MatchFixed(std::string_view text, int start_offset, int* length) {
  *length = 0;
  std::string_view rest = text.substr(static_cast<std::size_t>(start_offset));
  const bool head = !fixed_->HeadAnchored() || FirstIsLineHead(text, start_offset);
  if (!FindFixedStarts(rest, head)) return -1;
  const std::size_t s = NextFixedStart(0);
  if (s == std::string::npos) return -1;
  *length = offsets_[s + fixed_->Width()] - offsets_[s];
  return start_offset + offsets_[s];
}

int TbmRExp::ReplaceAllFixed(std::string_view text, std::string& out, std::size_t max_length) {
  if (!FindFixedStarts(text, true)) return 0;
  const std::size_t n = codes_.size();
  const std::size_t w = fixed_->Width();
  out.clear();
  int count = 0;
  std::size_t from = 0;
  for (std::size_t s; (s = NextFixedStart(from)) != std::string::npos;) {
    const std::size_t e = s + w;
    ++count;
    out.append(text.substr(offsets_[from], offsets_[s] - offsets_[from]));
    const bool head = s == 0 || codes_[s - 1] == 10 || (codes_[s - 1] == 13 && codes_[s] != 10);
    const bool tail = e == n || codes_[e] == 10 || codes_[e] == 13;
    if (!AppendReplacement(text, offsets_[s], offsets_[e], head, tail, out, max_length)) {
      return count;
    }
    from = e;
  }
  if (count == 0) return 0;
  out.append(text.substr(offsets_[from]));
  if (out.size() > max_length) out.resize(max_length + 1);
  return count;
}

int TbmRExp::ReplaceAll(std::string_view tmpl, std::string& line, std::size_t max_length) {
  const int count = ReplaceAll(tmpl, std::string_view(line), &out_, max_length);
  // The old line's buffer becomes the next call's scratch.
  if (count != 0) line.swap(out_);
  return count;
}

int TbmRExp::ReplaceAll(std::string_view tmpl, std::string_view text, std::string* result,
                        std::size_t max_length) {
  GetDFATable();
  Template(tmpl);
  std::string& out = *result;
  if (literal_) return ReplaceAllLiteral(text, out, max_length);
  if (fixed_) return ReplaceAllFixed(text, out, max_length);
  if (!MayMatch(text)) return 0;
  Decode(text, true);
  ComputeStarts();
  const std::size_t n = symbols_.size();
  int count = 0;
  std::size_t from = 0;
  do {
    std::size_t s = 0;
    std::size_t e = 0;
    if (!FindFrom(from, &s, &e)) {
      if (count == 0) return 0;
      out.append(text.substr(offsets_[from]));
      break;
    }
    if (count == 0) {
      out.clear();
      out.reserve(text.size() + text.size() / 4 + 16);
    }
    ++count;
    out.append(text.substr(offsets_[from], offsets_[s] - offsets_[from]));
    if (!AppendReplacement(text, offsets_[s], offsets_[e], LineHeadAt(s),
                           e == n || symbols_[e] == line_feed_symbol_ ||
                               symbols_[e] == carriage_return_symbol_,
                           out, max_length)) {
      break;
    }
    if (s == e) {
      // An empty match keeps the character after it and moves past it.
      if (s < n) out.append(text.substr(offsets_[s], offsets_[s + 1] - offsets_[s]));
      from = s + 1;
    } else {
      from = e;
    }
  } while (from < n);
  if (out.size() > max_length) out.resize(max_length + 1);
  return count;
}

}  // namespace parvane
