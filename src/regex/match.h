// Matching: TbmRExp (a pattern compiled once and cached while the pattern,
// the char code and the options stay the same), leftmost-longest search in a
// line, and replacement templates.
//
// A match is found at the leftmost character boundary where anything
// matches, and from there is the longest; ^ matches at the start of the text
// and after a line break, $ before a line feed, before a carriage return and
// at the end. A search reads the line once backwards (reverse automaton:
// where can a match start?) and then forwards from the leftmost such start,
// so it never rescans the line from every start.
#ifndef PARVANE_REGEX_MATCH_H_
#define PARVANE_REGEX_MATCH_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "regex/bit_parallel.h"
#include "regex/dfa.h"
#include "regex/fixed_width.h"
#include "regex/groups.h"
#include "regex/literal_search.h"
#include "regex/reader.h"

namespace parvane {

// Returns template expanded for one match: '&' is the matched text, a
// backslash escape (\t, \n, \\, \&, \x82a0, \101, ...) its character in the
// reader's encoding; an escape that gives -1 (a trailing backslash) ends the
// expansion. Every other character is copied. An expansion longer than
// max_length bytes is built no further: its first max_length + 1 bytes are
// returned.
std::string ExpandReplacement(std::string_view tmpl, std::string_view matched, TbmWchReader& reader,
                              std::size_t max_length = std::string::npos);

namespace regex_internal {

// A replacement template split once into literal bytes and references to
// the matched text, so that a replace-all does not re-read it per match.
struct TemplatePiece {
  bool matched;      // stands for the matched text (or one of its groups)
  std::string text;  // literal bytes otherwise
  int group = 0;     // when matched: 0 the whole match, 1-9 a group
};

}  // namespace regex_internal

class TbmRExp {
 public:
  TbmRExp();
  ~TbmRExp();

  int GetCharCode() const { return CharCode; }
  // Each setter clears Compiled only when the value changes.
  void SetCharCode(int char_code);
  void SetPattern(std::string_view pattern);
  // Index 0 is RegexMode, 1 is IgnoreCase, 2 the extended syntax
  // (scanner.h: shorthands, counts, groups; in a template \0-\9 are the
  // match and its groups, so a template has no octal escapes); other
  // indices do nothing.
  void SetOption(int index, bool value);
  const std::string& GetPattern() const { return Pattern; }
  bool IsCompiled() const { return Compiled; }
  // Returns whether the automaton is built for exactly these settings, so
  // a caller that applies one pattern to many lines can skip the setters.
  bool IsCompiledFor(int char_code, std::string_view pattern, bool regex_mode, bool ignore_case,
                     bool extended = false) const {
    return Compiled && CharCode == char_code && RegexMode == regex_mode && IgnoreCase == ignore_case &&
           Extended == extended && pattern == Pattern;
  }
  // Returns how many compilations have run (for tests of the cache).
  int CompileCount() const { return compile_count_; }

  // Returns the automaton, compiling first when needed.
  // Throws EbmREToken for a bad pattern (nothing is cached then), and
  // std::runtime_error for a char code without a reader.
  TbmREDFATable& GetDFATable();

  // Finds the leftmost-longest match in text at or after byte offset
  // start_offset (character boundaries counted from there). Returns the
  // 0-based byte offset of the match, or -1 (also for an offset outside the
  // text); *length receives its length in bytes (0 when none).
  int Match(std::string_view text, int start_offset, int* length);

  // Returns whether text holds a match at all: the same as
  // Match(text, 0, ...) >= 0, but it stops at the first place where some
  // match ends, without finding where the leftmost one starts.
  bool Contains(std::string_view text);

  // Returns the places of the groups of the match [start, start + length)
  // of text (found by Match): entry k is group k's byte offset in text and
  // length, (-1, 0) for a group that took no part; entry 0 is the match.
  // Without the extended syntax only entry 0.
  std::vector<std::pair<int, int>> Groups(std::string_view text, int start, int length);

  // Replaces the leftmost match by tmpl expanded; returns 1, or 0 when
  // nothing matched (line unchanged).
  // Both replacements stop building a result that passes max_length bytes:
  // line then holds the result's first max_length + 1 bytes, which a length
  // check refuses, and the count is of the matches replaced until then.
  int ReplaceFirst(std::string_view tmpl, std::string& line,
                   std::size_t max_length = std::string::npos);
  // Replaces every match left to right; after an empty match the next
  // character is kept and the search goes on after it. Returns the count.
  int ReplaceAll(std::string_view tmpl, std::string& line,
                 std::size_t max_length = std::string::npos);
  // The same replacement of a line that is not a string of its own (a view
  // of a line store): the result goes to *out, which is written only when
  // the count is not 0, so a line without a match costs no copy. out must
  // not hold line's bytes.
  int ReplaceAll(std::string_view tmpl, std::string_view line, std::string* out,
                 std::size_t max_length = std::string::npos);

 private:
  void Decode(std::string_view text, bool first_is_line_head);
  bool LineHeadAt(std::size_t i) const;
  void ComputeStarts();
  BitParallelSearch::Line DecodedLine() const;
  // Returns the longest match length in characters from character i, or -1.
  int LongestFrom(std::size_t i);
  // Finds the leftmost-longest match at character from or later.
  bool FindFrom(std::size_t from, std::size_t* start, std::size_t* end);
  bool FirstIsLineHead(std::string_view text, int start_offset);
  // Returns false only when text can hold no match: one forward pass over
  // the bytes, before any decoding, so that lines without a match (most
  // lines, for most searches) cost no more than that.
  bool MayMatch(std::string_view text);
  // The same operations for a literal pattern (literal_ set): a string
  // search over the decoded codes, no automaton run.
  // codes_ are folded when fold is set and case is ignored.
  void DecodeCodes(std::string_view text, bool fold);
  int MatchLiteral(std::string_view text, int start_offset, int* length);
  int ReplaceAllLiteral(std::string_view line, std::string& out, std::size_t max_length);
  // The same for a long pattern of one-character items (fixed_ set): the
  // match starts of the whole of text into fixed_starts_, then the first
  // start at or after character from (npos when none).
  bool FindFixedStarts(std::string_view text, bool first_is_line_head);
  std::size_t NextFixedStart(std::size_t from) const;
  int MatchFixed(std::string_view text, int start_offset, int* length);
  int ReplaceAllFixed(std::string_view line, std::string& out, std::size_t max_length);
  const std::vector<regex_internal::TemplatePiece>& Template(std::string_view tmpl);
  // Appends the template for the match [s, e) of text (byte offsets), its
  // groups found first when the template refers to them. Returns false, out
  // cut to max_length + 1 bytes, once out passes max_length.
  bool AppendReplacement(std::string_view text, std::size_t s, std::size_t e, bool line_head, bool line_tail,
                         std::string& out, std::size_t max_length);
  // Fills spans_ for the match [s, e) of text; false when groups_ could not.
  bool PlaceGroups(std::string_view text, std::size_t s, std::size_t e, bool line_head, bool line_tail);
  bool LineTailAt(std::string_view text, std::size_t offset);

  int CharCode;
  std::string Pattern;
  bool Compiled = false;
  bool RegexMode = true;
  bool IgnoreCase = false;
  bool Extended = false;
  std::unique_ptr<TbmREDFATable> dfa_;
  // Extended syntax: the second pass that places the groups of a match.
  std::unique_ptr<GroupMatcher> groups_;
  bool template_uses_groups_ = false;
  std::vector<std::int32_t> match_codes_;
  std::vector<std::int32_t> match_offsets_;
  std::vector<GroupMatcher::Span> spans_;
  // Set when the pattern is a plain run of characters (see literal_search.h).
  std::optional<LiteralSearch> literal_;
  // Set when the pattern is long and every item reads one character (see
  // fixed_width.h); the automaton is still built, for its errors and groups.
  std::optional<FixedWidthSearch> fixed_;
  // Set when the pattern is a long row of one-character items some of
  // which repeat or may be left out (see bit_parallel.h): it then runs the
  // two passes over a decoded line in place of the automata.
  std::optional<BitParallelSearch> parallel_;
  // Bytes every match holds, for patterns of more than kLongPatternTokens
  // tokens that take the automata (see TopLevelRequiredBytes in match.cpp).
  static constexpr std::size_t kLongPatternTokens = 256;
  std::string long_required_;
  std::vector<std::int32_t> folded_;            // codes_ folded, when case is ignored
  std::vector<std::uint64_t> fixed_starts_;     // per boundary: a match starts here
  int compile_count_ = 0;
  std::unique_ptr<TbmWchReader> reader_;  // for char codes other than Shift_JIS

  // The last replacement template, split into pieces once (see match.cpp).
  std::string template_;
  int template_char_code_ = -1;
  std::vector<regex_internal::TemplatePiece> template_pieces_;

  // The decoded line, reused between calls.
  std::vector<std::int32_t> symbols_;  // per character
  std::vector<std::int32_t> codes_;    // per character, for a literal: its folded code
  std::vector<std::int32_t> offsets_;  // byte offset per character, plus the end
  std::vector<std::uint8_t> starts_;   // per boundary: a match starts here
  // Per boundary: the reverse state there, while reverse_generation_ is
  // the reverse cache's generation (ids from an emptied cache mean nothing).
  std::vector<std::int32_t> reverse_states_;
  std::uint64_t reverse_generation_ = ~0ull;
  int line_feed_symbol_ = 0;
  int carriage_return_symbol_ = 0;
  bool first_is_line_head_ = true;
  std::string out_;  // the replaced line being built, its buffer reused
};

}  // namespace parvane

#endif  // PARVANE_REGEX_MATCH_H_
