// The line break a document keeps from its file: which bytes end a line, and
// whether the file's last line ended with one. Saving writes the same.
#ifndef PARVANE_CODES_LINE_BREAK_H_
#define PARVANE_CODES_LINE_BREAK_H_

#include <optional>
#include <string_view>

namespace parvane {

enum class LineBreak : int {
  kCrLf = 0,  // CR LF: "CR+LF", the break of a new document
  kLf = 1,    // LF alone: "LF"
  kCr = 2,    // CR alone: "CR"
};

inline constexpr int kLineBreakCount = 3;

struct LineEnding {
  LineBreak kind = LineBreak::kCrLf;
  // False when the file's last line had no break: saving then writes none
  // after the last line, whatever commands did to the lines before it.
  bool final_break = true;
};

// The bytes of kind (ASCII, so the same in Shift_JIS, EUC-JP and JIS).
std::string_view LineBreakBytes(LineBreak kind);

// The menu caption and the status text: "CR+LF", "LF", "CR".
std::string_view LineBreakCaption(LineBreak kind);

// Decided by text's first break (CR LF, a lone CR, or LF); without any
// break, CR LF. final_break tells whether text ends with a break (true for
// empty text, which has no last line to lack one).
LineEnding DetectLineEnding(std::string_view text);

// The break named on the command line: crlf, lf, cr (ASCII case ignored).
std::optional<LineBreak> LineBreakFromName(std::string_view name);

}  // namespace parvane

#endif  // PARVANE_CODES_LINE_BREAK_H_
