// TbmREScanner: cuts a pattern into tokens, one character (through a reader,
// so a double-byte character is one character) or metacharacter at a time.
#ifndef PARVANE_REGEX_SCANNER_H_
#define PARVANE_REGEX_SCANNER_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/reader.h"
#include "regex/token.h"

namespace parvane {

class TbmREScanner {
 public:
  // Throws std::runtime_error "TbmREScanner.SetCharCode: can't create reader"
  // for a char code without a reader.
  explicit TbmREScanner(int char_code);

  // Replaces the reader when the code differs. Throws as the constructor.
  void SetCharCode(int char_code);
  int CharCode() const { return char_code_; }
  // Reads pattern (copied) from its start, outside any class.
  void SetText(std::string_view pattern);
  // With RegexMode off every character, backslash included, is a literal.
  void SetRegexMode(bool on) { RegexMode = on; }
  // The extended syntax: \d \D \w \W \s \S become classes (the positive
  // three also inside brackets), {m}, {m,} and {m,n} become repetition
  // tokens (a '{' not followed by a digit stays a character), "(?:" opens a
  // group that captures nothing, and each '(' carries its group number.
  void SetExtended(bool on) { extended_ = on; }

  // Returns the next token; kind 14 at the end (and again after it).
  // Throws EbmREToken for a bad escape (22), a pattern ending inside a class
  // (20), a reversed range (21), and in the extended syntax a bad count
  // (28) or a negated shorthand (\D \W \S) inside brackets (22).
  TbmREToken GetToken();

 private:
  TbmREToken ScanClassItem(TbmREToken token);
  // Reads the escape after a backslash into token (Lo, Hi, EndPos); raises 22.
  int ReadEscapeOrRaise(TbmREToken& token);

  // Extended syntax: the class tokens of a shorthand after the backslash
  // (nothing when the letter is no shorthand).
  bool ScanShorthand(TbmREToken token, bool in_class);
  TbmREToken ScanRepetition(TbmREToken token);

  int char_code_;
  bool extended_ = false;
  int groups_ = 0;                   // capturing groups opened so far
  std::vector<TbmREToken> pending_;  // tokens of a shorthand still to return
  std::size_t next_pending_ = 0;
  std::unique_ptr<TbmWchReader> reader_;
  int BracketCount = 0;  // 0 outside a class; 1 after [, +1 per item inside
  bool RegexMode = true;
};

// Clears tokens, then appends scanner tokens up to and including the first
// of kind 14. Throws what GetToken throws.
void Tokenize(TbmREScanner& scanner, TbmRETokens* tokens);

// Returns one line per token "kind lo hi start end" (lo/hi in hexadecimal),
// for tests.
std::string DumpTokens(const TbmRETokens& tokens);

}  // namespace parvane

#endif  // PARVANE_REGEX_SCANNER_H_
