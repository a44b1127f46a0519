// Token kind texts and the engine's exception: the single place errors of a
// pattern are raised from.
#include "regex/token.h"

namespace parvane {

const char* TokenKindText(int kind) {
  static const char* const kTexts[] = {
      "character",
      "character class",
      "union",
      "left parenthesis",
      "right parenthesis",
      "asterisk",
      "plus",
      "question mark",
      "left bracket",
      "negate left bracket",
      "right bracket",
      "dot",
      "line head",
      "line tail",
      "end",
      "logical or",
      "logical and",
      "logical not",
      "logical left parenthis",
      "logical right parenthis",
      "need right bracket \"]\"",
      "invalid character class",
      "invalid escape sequence",
      "invalid character",
      "need right parenthesis",
      "need normal char or left parenthesis",
      "pattern too complex",
      "repetition",
      "invalid repetition count",
  };
  if (kind < 0 || kind >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0]))) return "unknown";
  return kTexts[kind];
}

EbmREToken::EbmREToken(const TbmREToken& token)
    : std::runtime_error(TokenKindText(token.Kind)), token_(token) {}

void RaiseTokenError(TbmREToken token, TokenKind error_kind) {
  token.Kind = error_kind;
  throw EbmREToken(token);
}

}  // namespace parvane
