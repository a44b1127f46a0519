// The pattern scanner and Tokenize.
#include "regex/scanner.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace parvane {
namespace {

using Range = std::pair<std::int32_t, std::int32_t>;

// The shorthands in Shift_JIS codes. \w is letters (Latin, full-width
// Latin, Greek, Cyrillic), digits (half and full width), '_', kana (with
// the iteration and prolonged-sound marks) and kanji (both JIS levels and
// the vendor extensions).
const std::vector<Range> kDigits = {{'0', '9'}, {0x824F, 0x8258}};
const std::vector<Range> kSpaces = {{9, 13}, {' ', ' '}, {0x8140, 0x8140}};
const std::vector<Range> kWord = {{'0', '9'},       {'A', 'Z'},       {'_', '_'},       {'a', 'z'},
                                  {0xA6, 0xDF},     {0x8152, 0x8155}, {0x8157, 0x815B}, {0x824F, 0x8258},
                                  {0x8260, 0x8279}, {0x8281, 0x829A}, {0x829F, 0x82F1}, {0x8340, 0x8396},
                                  {0x839F, 0x83D6}, {0x8440, 0x8491}, {0x889F, 0x9872}, {0x989F, 0xEAA4},
                                  {0xED40, 0xEEFC}, {0xFA40, 0xFC4B}};

const std::vector<Range>* ShorthandRanges(int letter) {
  switch (letter) {
    case 'd': case 'D': return &kDigits;
    case 's': case 'S': return &kSpaces;
    case 'w': case 'W': return &kWord;
    default: return nullptr;
  }
}

}  // namespace

TbmREScanner::TbmREScanner(int char_code) : char_code_(-1) { SetCharCode(char_code); }

void TbmREScanner::SetCharCode(int char_code) {
  if (char_code == char_code_ && reader_) return;
  std::unique_ptr<TbmWchReader> reader = CreateReader(char_code);
  if (!reader) throw std::runtime_error("TbmREScanner.SetCharCode: can't create reader");
  reader_ = std::move(reader);
  char_code_ = char_code;
}

void TbmREScanner::SetText(std::string_view pattern) {
  reader_->SetText(pattern);
  BracketCount = 0;
  groups_ = 0;
  pending_.clear();
  next_pending_ = 0;
}

bool TbmREScanner::ScanShorthand(TbmREToken token, bool in_class) {
  int letter = reader_->ReadChar();
  const std::vector<Range>* ranges = ShorthandRanges(letter);
  if (ranges == nullptr) {
    if (letter != -1) reader_->UnreadChar();
    return false;
  }
  token.EndPos = reader_->GetPosition();
  const bool negated = letter == 'D' || letter == 'S' || letter == 'W';
  if (in_class && negated) RaiseTokenError(token, kTokenInvalidEscape);
  pending_.clear();
  next_pending_ = 0;
  if (!in_class) {
    token.Kind = negated ? kTokenNegateLeftBracket : kTokenLeftBracket;
    token.Lo = token.Hi = '[';
    pending_.push_back(token);
  }
  for (const Range& r : *ranges) {
    token.Kind = kTokenCharacterClass;
    token.Lo = r.first;
    token.Hi = r.second;
    pending_.push_back(token);
  }
  if (!in_class) {
    token.Kind = kTokenRightBracket;
    token.Lo = token.Hi = ']';
    pending_.push_back(token);
  }
  return true;
}

TbmREToken TbmREScanner::ScanRepetition(TbmREToken token) {
  auto number = [&](int* value) {
    int digits = 0;
    *value = 0;
    for (int c; (c = reader_->ReadChar()) >= '0' && c <= '9'; ++digits) {
      if (*value <= kMaxRepetitionCount) *value = *value * 10 + (c - '0');
    }
    reader_->UnreadChar();
    return digits > 0;
  };
  int c = reader_->ReadChar();
  if (c != -1) reader_->UnreadChar();
  if (c < '0' || c > '9') return token;  // a '{' that starts no count
  int lo = 0;
  int hi = 0;
  number(&lo);
  token.Kind = kTokenRepetition;
  c = reader_->ReadChar();
  if (c == ',') {
    if (!number(&hi)) hi = -1;
    c = reader_->ReadChar();
  } else {
    hi = lo;
  }
  token.EndPos = reader_->GetPosition();
  token.Lo = lo;
  token.Hi = hi;
  if (c != '}' || lo > kMaxRepetitionCount || hi > kMaxRepetitionCount || (hi >= 0 && hi < lo)) {
    if (c == -1) token.EndPos = reader_->GetPosition() - 1;
    RaiseTokenError(token, kTokenInvalidRepetition);
  }
  return token;
}

int TbmREScanner::ReadEscapeOrRaise(TbmREToken& token) {
  int c = reader_->ReadEscape();
  token.EndPos = reader_->GetPosition();
  if (c == -1) RaiseTokenError(token, kTokenInvalidEscape);
  return c;
}

TbmREToken TbmREScanner::GetToken() {
  if (next_pending_ < pending_.size()) return pending_[next_pending_++];
  TbmREToken token;
  token.StartPos = reader_->GetPosition();
  int c = reader_->ReadChar();
  token.Lo = token.Hi = c;
  token.EndPos = reader_->GetPosition();
  token.Kind = kTokenCharacter;
  if (BracketCount > 0) return ScanClassItem(token);
  if (c == -1) {
    token.Kind = kTokenEnd;
    return token;
  }
  if (!RegexMode) return token;
  switch (c) {
    case '\\':
      if (extended_ && ScanShorthand(token, false)) return pending_[next_pending_++];
      token.Lo = token.Hi = ReadEscapeOrRaise(token);
      break;
    case '$': token.Kind = kTokenLineTail; break;
    case '(':
      token.Kind = kTokenLeftParenthesis;
      if (extended_) {
        // "(?:" captures nothing; any other '(' is the next group.
        token.Hi = ++groups_;
        if (reader_->ReadChar() == '?') {
          if (reader_->ReadChar() == ':') {
            token.Hi = 0;
            --groups_;
            token.EndPos = reader_->GetPosition();
            break;
          }
          reader_->UnreadChar();
        }
        reader_->SetPosition(token.EndPos);
      }
      break;
    case '{':
      if (extended_) return ScanRepetition(token);
      break;
    case ')': token.Kind = kTokenRightParenthesis; break;
    case '*': token.Kind = kTokenAsterisk; break;
    case '+': token.Kind = kTokenPlus; break;
    case '.': token.Kind = kTokenDot; break;
    case '?': token.Kind = kTokenQuestionMark; break;
    case '^': token.Kind = kTokenLineHead; break;
    case '|': token.Kind = kTokenUnion; break;
    case '[': {
      BracketCount = 1;
      int next = reader_->ReadChar();
      if (next == '^') {
        token.Kind = kTokenNegateLeftBracket;
        token.EndPos = reader_->GetPosition();
      } else {
        reader_->UnreadChar();
        token.Kind = kTokenLeftBracket;
      }
      break;
    }
    default: break;
  }
  return token;
}

TbmREToken TbmREScanner::ScanClassItem(TbmREToken token) {
  ++BracketCount;
  int c = token.Lo;
  if (c == -1) RaiseTokenError(token, kTokenNeedRightBracket);
  // A ']' first after '[' or '[^' is a member, not the end of the class.
  if (c == ']' && BracketCount > 2) {
    token.Kind = kTokenRightBracket;
    BracketCount = 0;
    return token;
  }
  if (c == '\\') {
    if (extended_ && ScanShorthand(token, true)) return pending_[next_pending_++];
    c = ReadEscapeOrRaise(token);
  }
  int after_c = reader_->GetPosition();
  int n = reader_->ReadChar();
  if (n == '-') {
    int m = reader_->ReadChar();
    if (m != ']' && m != -1) {
      TbmREToken range = token;
      range.EndPos = reader_->GetPosition();
      if (m == '\\') m = ReadEscapeOrRaise(range);
      range.Kind = kTokenCharacterClass;
      range.Lo = c;
      range.Hi = m;
      if (m < c) RaiseTokenError(range, kTokenInvalidCharacterClass);
      return range;
    }
    reader_->UnreadChar();
  }
  reader_->UnreadChar();
  token.Kind = kTokenCharacter;
  token.Lo = token.Hi = c;
  token.EndPos = after_c;
  return token;
}

void Tokenize(TbmREScanner& scanner, TbmRETokens* tokens) {
  tokens->clear();
  for (;;) {
    tokens->push_back(scanner.GetToken());
    if (tokens->back().Kind == kTokenEnd) break;
  }
}

std::string DumpTokens(const TbmRETokens& tokens) {
  std::string out;
  char buf[96];
  for (const TbmREToken& t : tokens) {
    std::snprintf(buf, sizeof buf, "%d %x %x %d %d\n", t.Kind, static_cast<unsigned>(t.Lo),
                  static_cast<unsigned>(t.Hi), t.StartPos, t.EndPos);
    out += buf;
  }
  return out;
}

}  // namespace parvane
