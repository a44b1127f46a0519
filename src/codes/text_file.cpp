// A file's bytes to the document's Shift_JIS text and back. The entry points
// are DecodeFileBytes and EncodeForSave (with DecodeOwnedFileBytes and
// EncodeLinesForSave, the same work without whole-text copies).
#include "codes/text_file.h"

#include <array>
#include <cstring>

#include "codes/code_guess.h"
#include "codes/jis.h"
#include "codes/jis_repertoire.h"
#include "codes/rtf.h"
#include "codes/unicode.h"
#include "text/cp932.h"

namespace parvane {
namespace {

// The best-fit codes and the character each stands for in Unix text.
constexpr UnicodeOrigins::Entry kBestFit[9] = {
    {0x8160, 0x301C}, {0x8161, 0x2016}, {0x817C, 0x2212}, {0x815C, 0x2014}, {0x8191, 0x00A2},
    {0x8192, 0x00A3}, {0x81CA, 0x00AC}, {0x005C, 0x00A5}, {0x007E, 0x203E},
};

constexpr bool IsSurrogate(char16_t u) { return u >= 0xD800 && u < 0xE000; }

bool HasNoForm(char16_t u) { return IsSurrogate(u) || Cp932FromUnit(u) < 0; }

std::size_t FirstUnmappedLine(std::u16string_view units) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char16_t u = units[i];
    if (u == u'\r') {
      if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
      ++line;
    } else if (u == u'\n') {
      ++line;
    } else if (HasNoForm(u)) {
      return line;
    }
  }
  return 0;
}

// Remembers, for each best-fit code, whether the file wrote it only as the
// best-fit character.
std::shared_ptr<const UnicodeOrigins> FindOrigins(std::u16string_view units) {
  // Per character: which best-fit code it is written as (-1: none), so that
  // the scan of a large file is one lookup per character.
  using FamilyTable = std::array<signed char, 0x10000>;
  static const FamilyTable family = [] {
    FamilyTable t;
    t.fill(-1);
    for (int u = 0; u < 0x10000; ++u) {
      int code = Cp932FromUnit(static_cast<char16_t>(u));
      for (int k = 0; k < 9; ++k) {
        if (kBestFit[k].code == code) t[u] = static_cast<signed char>(k);
      }
    }
    return t;
  }();
  bool as_best_fit[9] = {};
  bool as_other[9] = {};
  for (char16_t u : units) {
    int k = family[u];
    if (k < 0) continue;
    (u == kBestFit[k].unit ? as_best_fit : as_other)[k] = true;
  }
  auto origins = std::make_shared<UnicodeOrigins>();
  for (int k = 0; k < 9; ++k) {
    if (as_best_fit[k] && !as_other[k]) origins->entries[origins->count++] = kBestFit[k];
  }
  if (origins->count == 0) return nullptr;
  return origins;
}

constexpr bool IsTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Cp932ToUtf16, but writing the remembered character for a best-fit code.
std::u16string ToUtf16WithOrigins(std::string_view sjis, const UnicodeOrigins& origins) {
  std::u16string out;
  out.reserve(sjis.size());
  const std::size_t n = sjis.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(sjis[i]);
    int code = b;
    int unit = Cp932ToUnit(b);
    std::size_t size = 1;
    if (unit < 0 && i + 1 < n && IsTrail(static_cast<unsigned char>(sjis[i + 1]))) {
      code = b << 8 | static_cast<unsigned char>(sjis[i + 1]);
      unit = Cp932ToUnit(code);
      size = 2;
    }
    if (unit < 0) {
      unit = u'?';
    } else if (char16_t original = origins.For(code); original != 0) {
      unit = original;
    }
    out.push_back(static_cast<char16_t>(unit));
    i += size;
  }
  return out;
}

// Code page 932 -> UTF-16 by one lookup: entries below 0x100 are single
// bytes (kLead marks a lead byte), the others lead << 8 | trail pairs ('?'
// for an undefined pair). Lead bytes are 0x81 and up and trails 0x40 and up,
// so the two halves never meet.
constexpr char16_t kLead = 0xFFFF;  // no code page 932 code maps to U+FFFF
using UnitTable = std::array<char16_t, 0x10000>;

UnitTable BuildUnitTable() {
  UnitTable table;
  table.fill(u'?');
  for (int b = 0; b < 0x100; ++b) {
    int unit = Cp932ToUnit(b);
    table[b] = unit < 0 ? kLead : static_cast<char16_t>(unit);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (table[lead] != kLead) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      int unit = Cp932ToUnit(lead << 8 | trail);
      if (unit >= 0) table[lead << 8 | trail] = static_cast<char16_t>(unit);
    }
  }
  return table;
}

const UnitTable& Units() {
  static const UnitTable table = BuildUnitTable();
  return table;
}

struct LeadBytes {
  bool is_lead[256] = {};
};

const LeadBytes& LeadTable() {
  static const LeadBytes table = [] {
    LeadBytes t;
    for (int b = 0; b < 0x100; ++b) t.is_lead[b] = Units()[b] == kLead;
    return t;
  }();
  return table;
}

// Collects output in a buffer of a few hundred kilobytes and hands it to the
// sink when full; a line longer than the buffer grows it.
class ChunkWriter {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 18;

  explicit ChunkWriter(const std::function<bool(std::string_view)>& sink) : sink_(sink) {
    buffer_.resize(kChunk);
  }

  // Returns where n bytes may be written (nullptr when the sink failed).
  char* Room(std::size_t n) {
    if (buffer_.size() - used_ < n) {
      if (!Flush()) return nullptr;
      if (buffer_.size() < n) buffer_.resize(n);
    }
    return buffer_.data() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

  bool Flush() {
    if (used_ == 0) return true;
    std::size_t n = used_;
    used_ = 0;
    return sink_(std::string_view(buffer_.data(), n));
  }

 private:
  const std::function<bool(std::string_view)>& sink_;
  std::string buffer_;
  std::size_t used_ = 0;
};

// Reads the Shift_JIS characters of one line as Cp932ToUtf16 reads them in
// the document text and passes each character's entry of table to put: the
// single-byte entry, or the pair's. A line holds no CR or LF, so no pair
// spans two lines, and a lead byte at the end of a line meets the CR of the
// text's line break, which is no trail byte: '?' either way, which is what
// the tables hold at a lead byte's own entry.
template <typename Entry, typename Put>
char* EncodeLine(std::string_view line, const bool* is_lead, const Entry* table, char* p, Put put) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned b = s[i];
    Entry e = table[b];
    std::size_t step = 1;
    if (is_lead[b] && i + 1 < n && IsTrail(s[i + 1])) {
      e = table[b << 8 | s[i + 1]];
      step = 2;
    }
    p = put(p, e);
    i += step;
  }
  return p;
}

// Per code: up to three UTF-8 bytes, lowest first, and their count in the
// top byte, so that writing one takes no branch.
using Utf8Table = std::array<std::uint32_t, 0x10000>;

std::uint32_t Utf8Entry(char16_t u) {
  if (u < 0x80) return 1u << 24 | u;
  if (u < 0x800) return 2u << 24 | (0x80u + (u & 0x3F)) << 8 | (0xC0u + (u >> 6));
  return 3u << 24 | (0x80u + (u & 0x3F)) << 16 | (0x80u + ((u >> 6) & 0x3F)) << 8 |
         (0xE0u + (u >> 12));
}

// The Unicode forms of EncodeForSave, line by line.
bool EncodeLinesAsUnicode(const std::vector<std::string>& lines, SaveCode code,
                          const UnicodeOrigins* origins, const LineEnding& ending,
                          ChunkWriter& out) {
  auto units = std::make_unique<UnitTable>(Units());
  for (int b = 0; b < 0x100; ++b) {
    if ((*units)[b] == kLead) (*units)[b] = u'?';
  }
  for (int k = 0; origins != nullptr && k < origins->count; ++k) {
    const UnicodeOrigins::Entry& e = origins->entries[k];
    if (Cp932ToUnit(e.code) >= 0) (*units)[e.code] = e.unit;
  }
  const bool* is_lead = LeadTable().is_lead;
  const bool utf8 = code != SaveCode::kUtf16 && code != SaveCode::kUtf16Be;
  const bool big_endian = code == SaveCode::kUtf16Be;
  std::unique_ptr<Utf8Table> utf8_table;
  if (utf8) {
    utf8_table = std::make_unique<Utf8Table>();
    for (std::size_t c = 0; c < 0x10000; ++c) (*utf8_table)[c] = Utf8Entry((*units)[c]);
  }
  std::string_view mark = code == SaveCode::kUtf16       ? std::string_view("\xFF\xFE")
                          : code == SaveCode::kUtf16Be   ? std::string_view("\xFE\xFF")
                          : code == SaveCode::kUtf8NoBom ? std::string_view()
                                                         : std::string_view("\xEF\xBB\xBF");
  char* p = out.Room(mark.size());
  if (p == nullptr) return false;
  // mark.copy, not memcpy: the empty mark of UTF-8N has no data pointer.
  out.Commit(p + mark.copy(p, mark.size()));
  auto put_utf8 = [](char* q, std::uint32_t e) {
    std::memcpy(q, &e, 4);  // the fourth byte is overwritten by what follows
    return q + (e >> 24);
  };
  auto put_le = [](char* q, char16_t u) {
    q[0] = static_cast<char>(u & 0xFF);
    q[1] = static_cast<char>(u >> 8);
    return q + 2;
  };
  auto put_be = [](char* q, char16_t u) {
    q[0] = static_cast<char>(u >> 8);
    q[1] = static_cast<char>(u & 0xFF);
    return q + 2;
  };
  const std::string_view brk = LineBreakBytes(ending.kind);
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::string& line = lines[i];
    const std::string_view eol = i + 1 < n || ending.final_break ? brk : std::string_view();
    // A byte becomes at most three UTF-8 bytes or one UTF-16 unit; one more
    // byte for the last four-byte store.
    p = out.Room(3 * line.size() + 5);
    if (p == nullptr) return false;
    if (utf8) {
      p = EncodeLine(line, is_lead, utf8_table->data(), p, put_utf8);
      for (char c : eol) p = put_utf8(p, Utf8Entry(static_cast<char16_t>(c)));
    } else if (big_endian) {
      p = EncodeLine(line, is_lead, units->data(), p, put_be);
      for (char c : eol) p = put_be(p, static_cast<char16_t>(c));
    } else {
      p = EncodeLine(line, is_lead, units->data(), p, put_le);
      for (char c : eol) p = put_le(p, static_cast<char16_t>(c));
    }
    out.Commit(p);
  }
  return out.Flush();
}

SaveCode FromJapaneseCode(JapaneseCode d) {
  switch (d) {
    case CodeJis:
    case CodeJisOld:
      return SaveCode::kJis;
    case CodeEuc:
      return SaveCode::kEucJp;
    default:
      return SaveCode::kShiftJis;
  }
}

}  // namespace

namespace {

int UnicodeKind(std::string_view bytes, bool detect_utf8) {
  int kind = DetectUnicodeBom(bytes);
  if (kind == kUnicodeNone && detect_utf8 && LooksLikeUtf8(bytes)) kind = kUnicodeUtf8NoBom;
  return kind;
}

// The Unicode and RTF forms; none of them can reuse the file's bytes.
DecodedFile DecodeConverted(std::string_view bytes, int kind, bool is_rtf) {
  DecodedFile out;
  out.unicode_kind = kind;
  if (kind != kUnicodeNone) {
    out.detected_code = static_cast<SaveCode>(kind);
    std::u16string units = DecodeUnicodeBytes(bytes, kind);
    std::string sjis = Utf16ToCp932(units, &out.unmapped_count);
    if (is_rtf) {
      RtfText rtf = RtfToText(sjis, true);
      out.text = std::move(rtf.text);
      // A '?' made before the RTF was read cannot be placed in its lines.
      if (out.unmapped_count > 0) out.first_unmapped_line = 1;
      if (rtf.unmapped_count > 0) out.first_unmapped_line = rtf.first_unmapped_line;
      out.unmapped_count += rtf.unmapped_count;
      return out;
    }
    if (out.unmapped_count > 0) out.first_unmapped_line = FirstUnmappedLine(units);
    out.origins = FindOrigins(units);
    out.text = std::move(sjis);
    return out;
  }
  RtfText rtf = RtfToText(bytes, false);
  out.text = std::move(rtf.text);
  out.unmapped_count = rtf.unmapped_count;
  out.first_unmapped_line = rtf.first_unmapped_line;
  return out;
}

bool EndsWithBreak(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

// The last step for Japanese code text (already in the document's text form):
// detection, then conversion to Shift_JIS straight from the text, which
// ConvertJapaneseCode would only detect a second time.
void ConvertToSjis(DecodedFile& out, std::string_view text, std::string* owned) {
  JapaneseCode d = DetectJapaneseCode(text);
  // Only the loader guesses: a save into EUC-JP or JIS detects the document's
  // own Shift_JIS text and must keep taking undecided text for Shift_JIS.
  if (d == CodeEucOrSjis) d = GuessEucOrSjis(text);
  out.detected_code = FromJapaneseCode(d);
  out.undecided = d == CodeAscii;
  if (d == CodeEuc) {
    out.text = EucToSjis(text);
  } else if (d == CodeJis || d == CodeJisOld) {
    out.text = JisToSjis(text);
  } else if (owned != nullptr) {
    if (owned != &out.text) out.text = std::move(*owned);
  } else {
    out.text.assign(text);
  }
}

}  // namespace

namespace {

DecodedFile DecodeBytesOfKind(std::string_view bytes, int kind, bool is_rtf) {
  if (kind != kUnicodeNone || is_rtf) {
    DecodedFile out = DecodeConverted(bytes, kind, is_rtf);
    if (kind == kUnicodeNone) ConvertToSjis(out, out.text, &out.text);
    out.ending = DetectLineEnding(out.text);
    return out;
  }
  DecodedFile out;
  // EUC-JP and JIS keep every CR and LF where it was, so the file's bytes
  // tell the break as well as the converted text would.
  out.ending = DetectLineEnding(bytes);
  if (EndsWithBreak(bytes)) {
    ConvertToSjis(out, bytes, nullptr);
    return out;
  }
  std::string text;
  text.reserve(bytes.size() + 2);
  text.assign(bytes);
  text.append("\r\n");
  ConvertToSjis(out, text, &text);
  return out;
}

}  // namespace

DecodedFile DecodeFileBytes(std::string_view bytes, bool is_rtf, bool detect_utf8) {
  return DecodeBytesOfKind(bytes, UnicodeKind(bytes, detect_utf8), is_rtf);
}

DecodedFile DecodeOwnedFileBytes(std::string bytes, bool is_rtf, bool detect_utf8) {
  int kind = UnicodeKind(bytes, detect_utf8);
  if (kind != kUnicodeNone || is_rtf) return DecodeBytesOfKind(bytes, kind, is_rtf);
  DecodedFile out;
  out.ending = DetectLineEnding(bytes);
  if (!EndsWithBreak(bytes)) bytes.append("\r\n");
  ConvertToSjis(out, bytes, &bytes);
  return out;
}

DecodedFile DecodeFileBytesAs(std::string bytes, SaveCode code, bool is_rtf) {
  if (IsUnicodeSaveCode(code)) {
    DecodedFile out = DecodeConverted(bytes, static_cast<int>(code), is_rtf);
    out.detected_code = code;
    out.ending = DetectLineEnding(out.text);
    return out;
  }
  DecodedFile out;
  out.ending = DetectLineEnding(bytes);
  out.detected_code = code;
  if (!EndsWithBreak(bytes)) bytes.append("\r\n");
  if (code == SaveCode::kEucJp) {
    out.text = EucToSjis(bytes);
  } else if (code == SaveCode::kJis) {
    out.text = JisToSjis(bytes);
  } else {
    out.text = std::move(bytes);
  }
  if (is_rtf) {
    RtfText rtf = RtfToText(out.text, false);
    out.text = std::move(rtf.text);
    out.unmapped_count = rtf.unmapped_count;
    out.first_unmapped_line = rtf.first_unmapped_line;
    out.ending = DetectLineEnding(out.text);
  }
  return out;
}

std::string EncodeForSave(std::string_view sjis_text, SaveCode code,
                          const UnicodeOrigins* origins) {
  switch (code) {
    case SaveCode::kShiftJis:
      return std::string(sjis_text);
    case SaveCode::kEucJp:
      return ConvertJapaneseCode(FitJisRepertoire(sjis_text), CodeEuc);
    case SaveCode::kJis:
      return ConvertJapaneseCode(FitJisRepertoire(sjis_text), CodeJis);
    default:
      break;
  }
  std::u16string units = origins != nullptr && origins->count > 0
                             ? ToUtf16WithOrigins(sjis_text, *origins)
                             : Cp932ToUtf16(sjis_text);
  switch (code) {
    case SaveCode::kUtf16:
      return WriteUtf16LeBytes(units);
    case SaveCode::kUtf16Be:
      return WriteUtf16BeBytes(units);
    case SaveCode::kUtf8NoBom:
      return WriteUtf8Bytes(units, false);
    default:
      return WriteUtf8Bytes(units, true);
  }
}

bool EncodeLinesForSave(const std::vector<std::string>& lines, SaveCode code,
                        const UnicodeOrigins* origins,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending) {
  const std::string_view brk = LineBreakBytes(ending.kind);
  if (code == SaveCode::kEucJp || code == SaveCode::kJis) {
    // The conversion depends on a detection over the whole text. The last
    // line gets its break too and loses it after the conversion: JIS then
    // still returns to one-byte mode at the end of the file.
    std::string text;
    std::size_t total = 0;
    for (const std::string& line : lines) total += line.size() + brk.size();
    text.reserve(total);
    for (const std::string& line : lines) {
      text += line;
      text += brk;
    }
    std::string bytes = EncodeForSave(text, code, origins);
    if (!ending.final_break && !lines.empty() && bytes.ends_with(brk)) {
      bytes.resize(bytes.size() - brk.size());
    }
    return bytes.empty() || sink(bytes);
  }
  ChunkWriter out(sink);
  if (code != SaveCode::kShiftJis) return EncodeLinesAsUnicode(lines, code, origins, ending, out);
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::string& line = lines[i];
    const std::string_view eol = i + 1 < n || ending.final_break ? brk : std::string_view();
    char* p = out.Room(line.size() + eol.size());
    if (p == nullptr) return false;
    std::memcpy(p, line.data(), line.size());
    p += line.size();
    std::memcpy(p, eol.data(), eol.size());
    out.Commit(p + eol.size());
  }
  return out.Flush();
}

}  // namespace parvane
