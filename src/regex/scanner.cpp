// The pattern scanner and Tokenize.
#include "regex/scanner.h"

#include <cstdio>
#include <stdexcept>

namespace parvane {

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
}

int TbmREScanner::ReadEscapeOrRaise(TbmREToken& token) {
  int c = reader_->ReadEscape();
  token.EndPos = reader_->GetPosition();
  if (c == -1) RaiseTokenError(token, kTokenInvalidEscape);
  return c;
}

TbmREToken TbmREScanner::GetToken() {
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
      token.Lo = token.Hi = ReadEscapeOrRaise(token);
      break;
    case '$': token.Kind = kTokenLineTail; break;
    case '(': token.Kind = kTokenLeftParenthesis; break;
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
  if (c == '\\') c = ReadEscapeOrRaise(token);
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
