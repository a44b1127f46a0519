// Tokens of a pattern and the one exception type of the engine.
//
// A pattern is cut into token records by the scanner (regex/scanner.h); the
// same record, with its kind overwritten by an error kind, travels inside
// EbmREToken when the pattern is refused, so a caller can point at the
// offending bytes.
#ifndef PARVANE_REGEX_TOKEN_H_
#define PARVANE_REGEX_TOKEN_H_

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace parvane {

// Token kinds. The text of each kind (TokenKindText) is also the message of
// an error raised with that kind.
enum TokenKind : std::uint8_t {
  kTokenCharacter = 0,         // a literal or escaped character (Lo == Hi)
  kTokenCharacterClass = 1,    // a range x-y inside brackets (Lo..Hi)
  kTokenUnion = 2,             // |
  kTokenLeftParenthesis = 3,   // (
  kTokenRightParenthesis = 4,  // )
  kTokenAsterisk = 5,          // *
  kTokenPlus = 6,              // +
  kTokenQuestionMark = 7,      // ?
  kTokenLeftBracket = 8,       // [
  kTokenNegateLeftBracket = 9, // [^
  kTokenRightBracket = 10,     // ] closing a class
  kTokenDot = 11,              // .
  kTokenLineHead = 12,         // ^
  kTokenLineTail = 13,         // $
  kTokenEnd = 14,              // end of the pattern
  // 15-19 belong to a logical-operator mode nothing switches on; never produced.
  kTokenLogicalOr = 15,
  kTokenLogicalAnd = 16,
  kTokenLogicalNot = 17,
  kTokenLogicalLeftParenthesis = 18,
  kTokenLogicalRightParenthesis = 19,
  // Error kinds: exist only inside EbmREToken.
  kTokenNeedRightBracket = 20,     // the pattern ends inside a class
  kTokenInvalidCharacterClass = 21,  // range whose high end is below its low end
  kTokenInvalidEscape = 22,        // backslash at the end, or \x without a digit
  kTokenInvalidCharacter = 23,     // token left over after the whole pattern
  kTokenNeedRightParenthesis = 24, // group not closed
  kTokenNeedOperand = 25,          // an operand was expected
  // This engine's own limit: the pattern's position sets outgrow the budget.
  kTokenTooComplex = 26,
  // Extended syntax only (TbmREScanner::SetExtended).
  kTokenRepetition = 27,  // {m}, {m,} or {m,n}: Lo = m, Hi = n or -1 for no bound
  kTokenInvalidRepetition = 28,  // error: a count that is malformed, reversed or too large
};

// The largest count of a {m,n} repetition.
inline constexpr int kMaxRepetitionCount = 1000;

// Pseudo-characters; real characters lie in 0..0xFFFF.
inline constexpr int kEndMarker = -1;     // the end of the pattern (and of a text)
inline constexpr int kLineHeadChar = -2;  // a line head
inline constexpr int kLineTailChar = -3;  // a line tail

// One token of a pattern. Field names follow the engine's record layout.
// In the extended syntax a left parenthesis carries its group: Hi is the
// group's number (1 for the first capturing '(') or 0 for "(?:".
struct TbmREToken {
  std::uint8_t Kind = kTokenCharacter;  // TokenKind
  std::int32_t Lo = 0;        // first character (low end of a range)
  std::int32_t Hi = 0;        // last character (== Lo except for a range)
  std::int32_t StartPos = 0;  // byte offset in the pattern where the token starts
  std::int32_t EndPos = 0;    // byte offset just after the token
};

// A list of tokens, in pattern order.
using TbmRETokens = std::vector<TbmREToken>;

// Returns the English text of a token kind ("character", "union", ...,
// "need right bracket \"]\""), or "unknown" outside 0..28.
const char* TokenKindText(int kind);

// A refused pattern. what() is exactly the text of the error kind (no full
// stop); Token() is the offending token with Kind set to the error kind.
class EbmREToken : public std::runtime_error {
 public:
  explicit EbmREToken(const TbmREToken& token);
  const TbmREToken& Token() const { return token_; }
  int Kind() const { return token_.Kind; }

 private:
  TbmREToken token_;
};

// Overwrites token's kind with error_kind and throws EbmREToken.
[[noreturn]] void RaiseTokenError(TbmREToken token, TokenKind error_kind);

}  // namespace parvane

#endif  // PARVANE_REGEX_TOKEN_H_
