// RTF to plain text. The entry point is RtfToText; the reader is one loop
// over the bytes with an explicit stack of group states, so nesting costs
// heap, not call stack, and any byte sequence ends in the text read so far.
#include "codes/rtf.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/cp932.h"

namespace parvane {
namespace {

constexpr int kShiftJisPage = 932;
constexpr int kLatinPage = 1252;
// Deeper groups still count braces but share their parent's state: no
// document needs that many levels, and the stack stays bounded.
constexpr std::size_t kMaxDepth = 1024;

// Windows-1252 0x80-0x9F; 0xA0-0xFF are Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Destinations whose content is not document text.
constexpr std::string_view kSkipped[] = {
    "annotation", "atnauthor", "atnid",     "bkmkend",    "bkmkstart", "colorschememapping",
    "colortbl",   "datastore", "docvar",    "filetbl",    "fldinst",   "footer",
    "footerf",    "footerl",   "footerr",   "footnote",   "generator", "header",
    "headerf",    "headerl",   "headerr",   "info",       "latentstyles", "listoverridetable",
    "listtable",  "mmathPr",   "nonshppict", "object",    "pgdsctbl",  "pict",
    "private",    "revtbl",    "rsidtbl",   "rxe",        "stylesheet", "tc",
    "template",   "themedata", "txe",       "userprops",  "xe",        "xmlnstbl",
};

bool IsSkippedDestination(std::string_view word) {
  return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

constexpr bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsSjisTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Control characters other than TAB are not text, however they are written
// (raw, \'hh or \uN): a CR or LF among the text would break a line that no
// \par ended, and the text's lines would no longer each end with CR LF.
constexpr bool IsDroppedControl(int c) { return c >= 0 && c < 0x20 && c != '\t'; }

int HexValue(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct GroupState {
  int uc = 1;            // fallback characters after \uN
  int font = -1;         // current font (\fN), -1 for none
  bool intbl = false;    // the paragraph is in a table
  bool fonttbl = false;  // inside the font table: read fonts, write nothing
};

class Reader {
 public:
  Reader(std::string_view rtf, bool raw_sjis) : rtf_(rtf), raw_sjis_(raw_sjis) {
    out_.text.reserve(rtf.size() / 2);
    stack_.reserve(64);
    stack_.push_back(GroupState{});
  }

  RtfText Run() {
    const std::size_t n = rtf_.size();
    while (i_ < n) {
      unsigned char c = Byte(i_);
      if (c == '{') {
        ++i_;
        OpenGroup();
      } else if (c == '}') {
        ++i_;
        CloseGroup();
      } else if (c == '\\') {
        ReadControl();
      } else if (c == '\r' || c == '\n') {
        ++i_;
      } else {
        ReadText(c);
      }
    }
    FlushUnicode();
    if (!out_.text.empty() && out_.text.back() != '\n') EndLine();
    return std::move(out_);
  }

 private:
  unsigned char Byte(std::size_t k) const { return static_cast<unsigned char>(rtf_[k]); }
  GroupState& State() { return stack_.back(); }
  bool Writing() const { return skip_depth_ == 0 && !stack_.back().fonttbl; }

  void OpenGroup() {
    uc_skip_ = 0;  // a group ends a \uN fallback
    if (skip_depth_ > 0) {
      ++skip_depth_;
    } else if (stack_.size() >= kMaxDepth) {
      ++excess_depth_;
    } else {
      stack_.push_back(stack_.back());
    }
  }

  void CloseGroup() {
    uc_skip_ = 0;
    if (skip_depth_ > 0 && --skip_depth_ > 0) return;
    if (excess_depth_ > 0) {
      --excess_depth_;
    } else if (stack_.size() > 1) {
      stack_.pop_back();
    }
  }

  // The rest of the current group is not text.
  void SkipGroup() { skip_depth_ = 1; }

  // One fallback character after \uN is dropped; returns true when it was.
  bool ConsumeFallback() {
    if (uc_skip_ == 0) return false;
    --uc_skip_;
    return true;
  }

  void ReadControl() {
    const std::size_t n = rtf_.size();
    if (i_ + 1 >= n) {
      i_ = n;
      return;
    }
    unsigned char d = Byte(i_ + 1);
    if (!IsLetter(d)) {
      i_ += 2;
      ReadSymbol(d);
      return;
    }
    std::size_t start = i_ + 1, end = start;
    while (end < n && end - start < 32 && IsLetter(Byte(end))) ++end;
    std::string_view word = rtf_.substr(start, end - start);
    bool has_param = false;
    bool negative = false;
    std::int64_t param = 0;
    std::size_t k = end;
    if (k < n && Byte(k) == '-' && k + 1 < n && IsDigit(Byte(k + 1))) {
      negative = true;
      ++k;
    }
    for (int digits = 0; k < n && IsDigit(Byte(k)); ++k) {
      if (++digits <= 10) param = param * 10 + (Byte(k) - '0');
      has_param = true;
    }
    if (negative) param = -param;
    if (k < n && Byte(k) == ' ') ++k;
    i_ = k;
    if (word == "bin") {
      // Binary data: its bytes are not RTF at all.
      std::size_t size = has_param && param > 0 ? static_cast<std::size_t>(param) : 0;
      i_ += std::min(size, n - i_);
      return;
    }
    if (skip_depth_ > 0) return;
    if (ConsumeFallback()) return;
    ControlWord(word, has_param, static_cast<int>(std::clamp<std::int64_t>(param, INT32_MIN, INT32_MAX)));
  }

  void ReadSymbol(unsigned char d) {
    if (d == '\'') {
      int hi = i_ < rtf_.size() ? HexValue(Byte(i_)) : -1;
      int lo = i_ + 1 < rtf_.size() ? HexValue(Byte(i_ + 1)) : -1;
      if (hi < 0 || lo < 0) return;
      i_ += 2;
      if (skip_depth_ > 0 || ConsumeFallback() || !Writing()) return;
      PutCodePageByte(static_cast<unsigned char>(hi * 16 + lo));
      return;
    }
    if (skip_depth_ > 0) return;
    if (d == '*') {
      SkipGroup();
      return;
    }
    if (ConsumeFallback() || !Writing()) return;
    switch (d) {
      case '\\':
      case '{':
      case '}':
        PutByte(d);
        break;
      case '~':
        PutByte(' ');
        break;
      case '_':
        PutByte('-');
        break;
      case '\r':
      case '\n':
        Paragraph();
        break;
      case '\t':
        PutByte('\t');
        break;
      default:  // \- (optional hyphen), \| and \: have no plain form
        break;
    }
  }

  void ReadText(unsigned char c) {
    std::size_t size = 1;
    bool pair = c >= 0x80 && IsSjisLead(c) && i_ + 1 < rtf_.size() && IsSjisTrail(Byte(i_ + 1)) &&
                (raw_sjis_ || CodePage() == kShiftJisPage);
    if (pair) size = 2;
    std::size_t at = i_;
    i_ += size;
    if (skip_depth_ > 0 || ConsumeFallback() || !Writing()) return;
    if (IsDroppedControl(c)) return;
    if (pair) {
      PutByte(c);
      PutByte(Byte(at + 1));
    } else if (c >= 0x80 && !raw_sjis_) {
      PutCodePageByte(c);
    } else {
      PutByte(c);
    }
  }

  void ControlWord(std::string_view word, bool has_param, int param) {
    GroupState& s = State();
    if (word == "u") {
      if (!has_param) return;
      PutUnit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
      uc_skip_ = s.uc;
    } else if (word == "uc") {
      s.uc = has_param && param >= 0 ? param : 1;
    } else if (word == "par") {
      if (Writing()) Paragraph();
    } else if (word == "line") {
      if (Writing()) EndLine();
    } else if (word == "tab") {
      if (Writing()) PutByte('\t');
    } else if (word == "cell" || word == "nestcell") {
      if (Writing()) {
        PutByte('\t');
        cell_tab_end_ = out_.text.size();
      }
    } else if (word == "row") {
      if (Writing()) {
        FlushUnicode();
        if (cell_tab_end_ == out_.text.size() && cell_tab_end_ > 0) out_.text.pop_back();
        EndLine();
      }
    } else if (word == "intbl") {
      s.intbl = true;
    } else if (word == "pard") {
      s.intbl = false;
    } else if (word == "fonttbl") {
      s.fonttbl = true;
    } else if (word == "f") {
      if (s.fonttbl) {
        defining_font_ = param;
      } else {
        s.font = param;
      }
    } else if (word == "fcharset") {
      if (s.fonttbl) font_pages_[defining_font_] = param == 128 ? kShiftJisPage
                                                   : param == 1   ? 0
                                                                  : kLatinPage;
    } else if (word == "cpg") {
      if (s.fonttbl && has_param) font_pages_[defining_font_] = param;
    } else if (word == "ansicpg") {
      if (has_param) document_page_ = param;
    } else if (word == "deff") {
      if (stack_.size() <= 2 && State().font < 0) s.font = param;
    } else if (word == "emdash") {
      PutUnit(0x2014);
    } else if (word == "endash") {
      PutByte('-');
    } else if (word == "lquote") {
      PutUnit(0x2018);
    } else if (word == "rquote") {
      PutUnit(0x2019);
    } else if (word == "ldblquote") {
      PutUnit(0x201C);
    } else if (word == "rdblquote") {
      PutUnit(0x201D);
    } else if (word == "bullet") {
      PutUnit(0x30FB);  // ・, the bullet of Japanese text
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
      PutByte(' ');
    } else if (IsSkippedDestination(word)) {
      SkipGroup();
    }
  }

  // The code page of \'hh and of raw bytes: the font's, else the document's.
  int CodePage() const {
    int font = stack_.back().font;
    if (font >= 0) {
      auto it = font_pages_.find(font);
      if (it != font_pages_.end() && it->second != 0) return it->second;
    }
    return document_page_;
  }

  void PutCodePageByte(unsigned char b) {
    if (IsDroppedControl(b)) return;
    if (b < 0x80 || CodePage() == kShiftJisPage) {
      // Shift_JIS bytes are the document's own; a pair written as two \'hh
      // joins up in the output.
      PutByte(b);
    } else {
      PutUnit(b < 0xA0 ? kCp1252High[b - 0x80] : b);
    }
  }

  void PutUnit(char16_t u) {
    if (Writing() && !IsDroppedControl(u)) unicode_.push_back(u);
  }

  void PutByte(unsigned char b) {
    FlushUnicode();
    out_.text.push_back(static_cast<char>(b));
  }

  void FlushUnicode() {
    if (unicode_.empty()) return;
    std::size_t before = out_.unmapped_count;
    out_.text += Utf16ToCp932(unicode_, &out_.unmapped_count);
    if (before == 0 && out_.unmapped_count > 0) out_.first_unmapped_line = line_;
    unicode_.clear();
  }

  // \par: a new line, except inside a table row, which stays one line.
  void Paragraph() {
    if (State().intbl) {
      PutByte(' ');
    } else {
      EndLine();
    }
  }

  void EndLine() {
    FlushUnicode();
    out_.text.append("\r\n");
    ++line_;
  }

  std::string_view rtf_;
  bool raw_sjis_;
  std::size_t i_ = 0;
  std::vector<GroupState> stack_;
  std::size_t skip_depth_ = 0;    // >0: inside a skipped destination, its depth
  std::size_t excess_depth_ = 0;  // groups opened beyond kMaxDepth
  int uc_skip_ = 0;               // fallback characters still to drop
  int document_page_ = kLatinPage;
  std::unordered_map<int, int> font_pages_;  // font number -> code page (0: document's)
  int defining_font_ = -1;
  std::size_t cell_tab_end_ = 0;  // text size just after the last cell's TAB
  std::u16string unicode_;        // characters waiting for conversion
  std::size_t line_ = 1;
  RtfText out_;
};

}  // namespace

RtfText RtfToText(std::string_view rtf, bool raw_sjis) { return Reader(rtf, raw_sjis).Run(); }

}  // namespace parvane
