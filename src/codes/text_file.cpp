// A file's bytes to the document's Shift_JIS text and back. The entry points
// are DecodeFileBytes and EncodeForSave (with DecodeOwnedFileBytes and
// EncodeLinesForSave, the same work without whole-text copies).
#include "codes/text_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "codes/code_guess.h"
#include "codes/jis.h"
#include "codes/jis_extension.h"
#include "codes/jis_repertoire.h"
#include "codes/rtf.h"
#include "codes/unicode.h"
#include "text/cp932.h"
#include "text/sjis.h"

namespace parvane {
namespace {

constexpr bool IsSurrogate(char16_t u) { return u >= 0xD800 && u < 0xE000; }

// The line of the first character that the conversion could give no code
// (only when the table ran out): one without an entry and without a code of
// its own.
std::size_t FirstUnmappedLine(std::u16string_view units, const PrivateCodes& codes) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char16_t u = units[i];
    char32_t ch = u;
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      ch = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    if (u == u'\r') {
      if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
      ++line;
    } else if (u == u'\n') {
      ++line;
    } else if (codes.CodeOf(ch) < 0 && (ch > 0xFFFF || IsSurrogate(u) || Cp932FromUnit(u) < 0)) {
      return line;
    }
  }
  return 0;
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
    unsigned code = b;
    std::size_t step = 1;
    if (is_lead[b] && i + 1 < n && IsSjisTrailByte(s[i + 1])) {
      code = b << 8 | s[i + 1];
      step = 2;
    }
    p = put(p, table[code], code);
    i += step;
  }
  return p;
}

// Per code: up to three UTF-8 bytes, lowest first, and their count in the
// top byte, so that writing one takes no branch. A count of 0 sends the code
// to the document's table (a character beyond the BMP).
using Utf8Table = std::array<std::uint32_t, 0x10000>;

std::uint32_t Utf8Entry(char16_t u) {
  if (u < 0x80) return 1u << 24 | u;
  if (u < 0x800) return 2u << 24 | (0x80u + (u & 0x3F)) << 8 | (0xC0u + (u >> 6));
  return 3u << 24 | (0x80u + (u & 0x3F)) << 16 | (0x80u + ((u >> 6) & 0x3F)) << 8 |
         (0xE0u + (u >> 12));
}

// In the UTF-16 table: a code whose character needs two units, found in the
// document's table (no code page 932 code maps to U+FFFF).
constexpr char16_t kBeyondBmp = 0xFFFF;

char* PutUtf8(char* q, char32_t ch) {
  if (ch < 0x80) {
    *q++ = static_cast<char>(ch);
  } else if (ch < 0x800) {
    *q++ = static_cast<char>(0xC0 | (ch >> 6));
    *q++ = static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    *q++ = static_cast<char>(0xE0 | (ch >> 12));
    *q++ = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    *q++ = static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    *q++ = static_cast<char>(0xF0 | (ch >> 18));
    *q++ = static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    *q++ = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    *q++ = static_cast<char>(0x80 | (ch & 0x3F));
  }
  return q;
}

// The Unicode forms of EncodeForSave, line by line.
bool EncodeLinesAsUnicode(std::span<const std::string_view> lines, SaveCode code,
                          const PrivateCodes* codes, const LineEnding& ending,
                          ChunkWriter& out) {
  auto units = std::make_unique<UnitTable>(Units());
  for (int b = 0; b < 0x100; ++b) {
    if ((*units)[b] == kLead) (*units)[b] = u'?';
  }
  if (codes != nullptr) {
    for (const PrivateCodes::Entry& e : codes->entries()) {
      (*units)[e.code] = e.ch < 0x10000 && e.ch != kBeyondBmp ? static_cast<char16_t>(e.ch)
                                                                : kBeyondBmp;
    }
  }
  const bool* is_lead = LeadTable().is_lead;
  const bool utf8 = code != SaveCode::kUtf16 && code != SaveCode::kUtf16Be;
  const bool big_endian = code == SaveCode::kUtf16Be;
  std::unique_ptr<Utf8Table> utf8_table;
  if (utf8) {
    utf8_table = std::make_unique<Utf8Table>();
    for (std::size_t c = 0; c < 0x10000; ++c) (*utf8_table)[c] = Utf8Entry((*units)[c]);
    if (codes != nullptr) {
      for (const PrivateCodes::Entry& e : codes->entries()) {
        if ((*units)[e.code] == kBeyondBmp) (*utf8_table)[e.code] = 0;
      }
    }
  }
  std::string_view mark = code == SaveCode::kUtf16       ? std::string_view("\xFF\xFE")
                          : code == SaveCode::kUtf16Be   ? std::string_view("\xFE\xFF")
                          : code == SaveCode::kUtf8NoBom ? std::string_view()
                                                         : std::string_view("\xEF\xBB\xBF");
  char* p = out.Room(mark.size());
  if (p == nullptr) return false;
  // mark.copy, not memcpy: the empty mark of UTF-8N has no data pointer.
  out.Commit(p + mark.copy(p, mark.size()));
  auto put_utf8 = [codes](char* q, std::uint32_t e, unsigned c) {
    if (e == 0) return PutUtf8(q, static_cast<char32_t>(codes->CharOf(static_cast<int>(c))));
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
  // Calls put for the one or two units of code's character.
  auto put_units = [codes](char* q, char16_t u, unsigned c, auto put) {
    if (u != kBeyondBmp) return put(q, u);
    char32_t ch = static_cast<char32_t>(codes->CharOf(static_cast<int>(c)));
    if (ch < 0x10000) return put(q, static_cast<char16_t>(ch));
    ch -= 0x10000;
    q = put(q, static_cast<char16_t>(0xD800 + (ch >> 10)));
    return put(q, static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
  };
  auto put_units_le = [&](char* q, char16_t u, unsigned c) { return put_units(q, u, c, put_le); };
  auto put_units_be = [&](char* q, char16_t u, unsigned c) { return put_units(q, u, c, put_be); };
  const std::string_view brk = LineBreakBytes(ending.kind);
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view line = lines[i];
    const std::string_view eol = i + 1 < n || ending.final_break ? brk : std::string_view();
    // A byte becomes at most three UTF-8 bytes or one UTF-16 unit (a
    // two-byte code at most four bytes either way); one more byte for the
    // last four-byte store.
    p = out.Room(3 * line.size() + 5);
    if (p == nullptr) return false;
    if (utf8) {
      p = EncodeLine(line, is_lead, utf8_table->data(), p, put_utf8);
      for (char c : eol) {
        p = put_utf8(p, Utf8Entry(static_cast<char16_t>(c)), static_cast<unsigned char>(c));
      }
    } else if (big_endian) {
      p = EncodeLine(line, is_lead, units->data(), p, put_units_be);
      for (char c : eol) p = put_be(p, static_cast<char16_t>(c));
    } else {
      p = EncodeLine(line, is_lead, units->data(), p, put_units_le);
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
void DecodeConverted(std::string_view bytes, int kind, bool is_rtf, DecodedFile& out) {
  out.unicode_kind = kind;
  if (kind != kUnicodeNone) {
    out.detected_code = static_cast<SaveCode>(kind);
    std::u16string units = DecodeUnicodeBytes(bytes, kind);
    std::size_t cut_off = 0;
    if ((kind == kUnicodeUtf8 || kind == kUnicodeUtf8NoBom) && !units.empty() &&
        units.back() == u'\uFFFD' && !bytes.ends_with("\xEF\xBF\xBD")) {
      // The decoder's mark for a last character cut off: nothing to keep.
      units.back() = u'?';
      cut_off = 1;
    }
    out.codes.NoteUnicodeText(units);
    std::string sjis =
        out.codes.FromUtf16(units, &out.unmapped_count, PrivateCodes::BestFit::kPrivate);
    if (cut_off > 0 && out.unmapped_count == 0) {
      out.first_unmapped_line = static_cast<std::size_t>(std::count(sjis.begin(), sjis.end(), '\n')) -
                                (sjis.ends_with('\n') ? 1 : 0) + 1;
    }
    out.unmapped_count += cut_off;
    if (is_rtf) {
      RtfText rtf = RtfToText(sjis, true);
      out.text = std::move(rtf.text);
      // A '?' made before the RTF was read cannot be placed in its lines.
      if (out.unmapped_count > 0) out.first_unmapped_line = 1;
      if (rtf.unmapped_count > 0) out.first_unmapped_line = rtf.first_unmapped_line;
      out.unmapped_count += rtf.unmapped_count;
      return;
    }
    if (out.unmapped_count > cut_off) out.first_unmapped_line = FirstUnmappedLine(units, out.codes);
    out.text = std::move(sjis);
    return;
  }
  RtfText rtf = RtfToText(bytes, false);
  out.text = std::move(rtf.text);
  out.unmapped_count = rtf.unmapped_count;
  out.first_unmapped_line = rtf.first_unmapped_line;
}

DecodedFile StartDecoding(const PrivateCodes* codes) {
  DecodedFile out;
  if (codes != nullptr) out.codes = *codes;
  return out;
}

bool EndsWithBreak(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

// EUC-JP and 7-bit JIS to Shift_JIS for loading: characters of JIS X 0212
// and JIS X 0213 go through the document's table, counted in out like
// the Unicode forms' characters that find no code.
// Runs an extension reader, carrying its count of characters left without a
// code into out.
template <typename Reader>
std::string ReadWithExtensions(Reader read, std::string_view text, DecodedFile& out) {
  ExtensionReport report;
  std::string sjis = read(text, out.codes, &report);
  out.unmapped_count = report.unmapped;
  out.first_unmapped_line = report.first_line;
  return sjis;
}

std::string LoadEuc(std::string_view text, DecodedFile& out) {
  if (!MayHoldEucExtensions(text)) return EucToSjis(text);
  return ReadWithExtensions(ExtendedEucToSjis, text, out);
}

std::string LoadJis(std::string_view text, DecodedFile& out) {
  if (!MayHoldJisExtensions(text)) return JisToSjis(text);
  return ReadWithExtensions(ExtendedJisToSjis, text, out);
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
    out.text = LoadEuc(text, out);
  } else if (d == CodeJis || d == CodeJisOld) {
    out.text = LoadJis(text, out);
  } else if (owned != nullptr) {
    if (owned != &out.text) out.text = std::move(*owned);
  } else {
    out.text.assign(text);
  }
}

}  // namespace

namespace {

DecodedFile DecodeBytesOfKind(std::string_view bytes, int kind, bool is_rtf,
                              const PrivateCodes* codes) {
  DecodedFile out = StartDecoding(codes);
  if (kind != kUnicodeNone || is_rtf) {
    DecodeConverted(bytes, kind, is_rtf, out);
    if (kind == kUnicodeNone) ConvertToSjis(out, out.text, &out.text);
    out.ending = DetectLineEnding(out.text);
    return out;
  }
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

DecodedFile DecodeFileBytes(std::string_view bytes, bool is_rtf, bool detect_utf8,
                            const PrivateCodes* codes) {
  return DecodeBytesOfKind(bytes, UnicodeKind(bytes, detect_utf8), is_rtf, codes);
}

DecodedFile DecodeOwnedFileBytes(std::string bytes, bool is_rtf, bool detect_utf8,
                                 const PrivateCodes* codes) {
  int kind = UnicodeKind(bytes, detect_utf8);
  if (kind != kUnicodeNone || is_rtf) return DecodeBytesOfKind(bytes, kind, is_rtf, codes);
  DecodedFile out = StartDecoding(codes);
  out.ending = DetectLineEnding(bytes);
  if (!EndsWithBreak(bytes)) bytes.append("\r\n");
  ConvertToSjis(out, bytes, &bytes);
  return out;
}

DecodedFile DecodeFileBytesAs(std::string bytes, SaveCode code, bool is_rtf,
                              const PrivateCodes* codes) {
  DecodedFile out = StartDecoding(codes);
  if (IsUnicodeSaveCode(code)) {
    DecodeConverted(bytes, static_cast<int>(code), is_rtf, out);
    out.detected_code = code;
    out.ending = DetectLineEnding(out.text);
    return out;
  }
  out.ending = DetectLineEnding(bytes);
  out.detected_code = code;
  if (!EndsWithBreak(bytes)) bytes.append("\r\n");
  if (code == SaveCode::kEucJp) {
    out.text = LoadEuc(bytes, out);
  } else if (code == SaveCode::kJis) {
    out.text = LoadJis(bytes, out);
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

namespace {

bool HasPrivateEntries(const PrivateCodes* codes) {
  if (codes == nullptr) return false;
  for (const PrivateCodes::Entry& e : codes->entries()) {
    if (codes->IsPrivate(e.code)) return true;
  }
  return false;
}

// Walks the two-byte characters of s as the encoders read them and calls
// f(i) at each private code.
template <typename F>
void ForEachPrivateCode(std::string_view s, const PrivateCodes& codes, F f) {
  const bool* is_lead = LeadTable().is_lead;
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (!is_lead[b] || i + 1 == n || !IsSjisTrailByte(static_cast<unsigned char>(s[i + 1]))) {
      ++i;
      continue;
    }
    if (codes.IsPrivate(b << 8 | static_cast<unsigned char>(s[i + 1]))) f(i);
    i += 2;
  }
}

// The text with every private code written as '?'.
std::string WithoutPrivateCodes(std::string_view s, const PrivateCodes* codes) {
  std::string out;
  if (!HasPrivateEntries(codes)) return std::string(s);
  out.reserve(s.size());
  std::size_t copied = 0;
  ForEachPrivateCode(s, *codes, [&](std::size_t i) {
    out.append(s, copied, i - copied);
    out += '?';
    copied = i + 2;
  });
  out.append(s, copied);
  return out;
}

// The place (see JisPlaceOf) of the character of a private code when saving
// in EUC-JP (euc) or JIS can write it, else 0. Only a character that such a
// file brought is written so: one from elsewhere stays unsavable there.
std::uint32_t PlaceOfCode(const PrivateCodes& codes, int code, bool euc) {
  if (!codes.IsJisPlaced(code)) return 0;
  long ch = codes.CharOf(code);
  return ch < 0 ? 0 : JisPlaceOf(static_cast<char32_t>(ch), euc);
}

// EUC-JP or JIS for saving: a private code whose character JIS X 0212 or JIS
// X 0213 holds is written in that set, as the file that brought it wrote it;
// the rest converts as ConvertJapaneseCode converts it, piece by piece.
std::string EncodeJapanese(std::string_view sjis, SaveCode code, const PrivateCodes* codes) {
  const bool euc = code == SaveCode::kEucJp;
  const JapaneseCode target = euc ? CodeEuc : CodeJis;
  auto fit = [codes](std::string_view piece) {
    return FitJisRepertoire(WithoutPrivateCodes(piece, codes));
  };
  std::string fitted = fit(sjis);
  struct Place {
    std::size_t at;
    std::uint32_t key;
  };
  std::vector<Place> places;
  if (HasPrivateEntries(codes)) {
    ForEachPrivateCode(sjis, *codes, [&](std::size_t i) {
      int c = static_cast<unsigned char>(sjis[i]) << 8 | static_cast<unsigned char>(sjis[i + 1]);
      if (std::uint32_t key = PlaceOfCode(*codes, c, euc)) places.push_back({i, key});
    });
  }
  // The detection still decides for the whole text: converted pieces give
  // the whole conversion only when it converts (Shift_JIS) or changes
  // nothing anyway (ASCII). Otherwise these characters are '?' as before.
  const JapaneseCode d = DetectJapaneseCode(fitted);
  if (places.empty() || (d != CodeSjis && d != CodeAscii)) return ConvertJapaneseCode(fitted, target);
  std::string out;
  out.reserve(sjis.size() + places.size() * 4);
  std::uint32_t set = 0;  // JIS: the set beyond JIS X 0208 the text is in, 0 for none
  auto put_piece = [&](std::string_view piece) {
    if (piece.empty()) return;
    std::string fitted_piece = fit(piece);
    if (euc) {
      out += SjisToEuc(fitted_piece);
      return;
    }
    // SjisToJis starts in one-byte mode and switches to two-byte mode itself.
    if (set != 0 && static_cast<unsigned char>(fitted_piece[0]) < 0x80) out += "\x1B(J";
    set = 0;
    out += SjisToJis(fitted_piece);
  };
  std::size_t from = 0;
  for (const Place& place : places) {
    put_piece(sjis.substr(from, place.at - from));
    from = place.at + 2;
    const unsigned char row = static_cast<unsigned char>(place.key >> 8 & 0x7F);
    const unsigned char cell = static_cast<unsigned char>(place.key & 0x7F);
    if (euc) {
      out += '\x8F';
      out += static_cast<char>(row | 0x80);
      out += static_cast<char>(cell | 0x80);
      continue;
    }
    if (set != place.key >> 16) {
      set = place.key >> 16;
      static constexpr const char* kEscapes[] = {"", "\x1B$(D", "\x1B$(P", "\x1B$(Q"};
      out += kEscapes[set];
    }
    out += static_cast<char>(row);
    out += static_cast<char>(cell);
  }
  put_piece(sjis.substr(from));
  if (set != 0) out += "\x1B(J";
  return out;
}

// lines with every private code that code can write in its own sets (see
// EncodeJapanese) replaced by "  ", for counting what stays unsavable.
std::vector<std::string> WithoutPlacedCodes(std::span<const std::string_view> lines, SaveCode code,
                                            const PrivateCodes& codes) {
  std::vector<std::string> out(lines.begin(), lines.end());
  for (std::string& line : out) {
    ForEachPrivateCode(line, codes, [&](std::size_t i) {
      int c = static_cast<unsigned char>(line[i]) << 8 | static_cast<unsigned char>(line[i + 1]);
      if (PlaceOfCode(codes, c, code == SaveCode::kEucJp) != 0) line.replace(i, 2, "  ");
    });
  }
  return out;
}

bool HasPlacedCodes(const PrivateCodes* codes, SaveCode code) {
  if (codes == nullptr) return false;
  for (const PrivateCodes::Entry& e : codes->entries()) {
    if (codes->IsPrivate(e.code) && PlaceOfCode(*codes, e.code, code == SaveCode::kEucJp) != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string EncodeForSave(std::string_view sjis_text, SaveCode code, const PrivateCodes* codes) {
  switch (code) {
    case SaveCode::kShiftJis:
      return WithoutPrivateCodes(sjis_text, codes);
    case SaveCode::kEucJp:
    case SaveCode::kJis:
      return EncodeJapanese(sjis_text, code, codes);
    default:
      break;
  }
  std::u16string units = codes != nullptr ? codes->ToUtf16(sjis_text) : Cp932ToUtf16(sjis_text);
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

bool EncodeLinesForSave(std::span<const std::string_view> lines, SaveCode code,
                        const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending) {
  const std::string_view brk = LineBreakBytes(ending.kind);
  if (code == SaveCode::kEucJp || code == SaveCode::kJis) {
    // The conversion depends on a detection over the whole text. The last
    // line gets its break too and loses it after the conversion: JIS then
    // still returns to one-byte mode at the end of the file.
    std::string text;
    std::size_t total = 0;
    for (std::string_view line : lines) total += line.size() + brk.size();
    text.reserve(total);
    for (std::string_view line : lines) {
      text += line;
      text += brk;
    }
    std::string bytes = EncodeForSave(text, code, codes);
    if (!ending.final_break && !lines.empty() && bytes.ends_with(brk)) {
      bytes.resize(bytes.size() - brk.size());
    }
    return bytes.empty() || sink(bytes);
  }
  ChunkWriter out(sink);
  if (code != SaveCode::kShiftJis) return EncodeLinesAsUnicode(lines, code, codes, ending, out);
  const bool replace = HasPrivateEntries(codes);
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view line = lines[i];
    const std::string_view eol = i + 1 < n || ending.final_break ? brk : std::string_view();
    char* p = out.Room(line.size() + eol.size());
    if (p == nullptr) return false;
    if (replace) {
      std::size_t copied = 0;
      ForEachPrivateCode(line, *codes, [&](std::size_t at) {
        p += line.substr(copied, at - copied).copy(p, at - copied);
        *p++ = '?';
        copied = at + 2;
      });
      p += line.substr(copied).copy(p, line.size() - copied);
    } else {
      // copy, not memcpy: an empty view may have no data pointer.
      p += line.copy(p, line.size());
    }
    // eol.copy, not memcpy: the missing break after a last line has no data pointer.
    out.Commit(p + eol.copy(p, eol.size()));
  }
  return out.Flush();
}

bool EncodeLinesForSave(const LineStore& lines, SaveCode code, const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending) {
  const std::span<const std::string_view> views(lines.views());
  if (code != SaveCode::kShiftJis || HasPrivateEntries(codes)) {
    return EncodeLinesForSave(views, code, codes, sink, ending);
  }
  // The saved bytes are the lines' own bytes and breaks. A run below a
  // piece's size is copied like any line, so a reordered document still
  // goes out in large pieces rather than one small write per line.
  const std::string_view brk = LineBreakBytes(ending.kind);
  const std::size_t n = lines.size();
  ChunkWriter out(sink);
  auto put = [&out](std::string_view bytes) {
    char* p = out.Room(bytes.size());
    if (p == nullptr) return false;
    // copy, not memcpy: an empty view may have no data pointer.
    out.Commit(p + bytes.copy(p, bytes.size()));
    return true;
  };
  constexpr std::size_t kDirectPiece = std::size_t{4} << 20;
  std::size_t done = 0;
  const bool written = lines.ForEachRun(brk, [&](const LineStore::Run& run) {
    done += run.count;
    std::string_view bytes = run.bytes;
    std::string_view eol = run.separated ? std::string_view() : brk;
    if (done == n && !ending.final_break) {
      if (run.separated) bytes.remove_suffix(brk.size());
      eol = std::string_view();
    }
    if (bytes.size() >= ChunkWriter::kChunk) {
      if (!out.Flush()) return false;
      // In pieces of a few megabytes: with one write of a whole large file
      // the system time of a save was seen to jump now and then.
      for (std::size_t at = 0; at < bytes.size(); at += kDirectPiece) {
        if (!sink(bytes.substr(at, kDirectPiece))) return false;
      }
    } else if (!put(bytes)) {
      return false;
    }
    return eol.empty() || put(eol);
  });
  return written && out.Flush();
}

UnsavableReport CountUnsavable(std::span<const std::string_view> lines, SaveCode code,
                               const PrivateCodes* codes) {
  UnsavableReport report;
  if (code != SaveCode::kShiftJis && code != SaveCode::kEucJp && code != SaveCode::kJis) {
    return report;
  }
  const bool jis = code != SaveCode::kShiftJis;
  // Only a file with codes from JIS X 0212 / 0213 needs copies of its lines.
  std::vector<std::string> placed_removed;
  std::vector<std::string_view> placed_views;
  if (jis && HasPlacedCodes(codes, code)) {
    placed_removed = WithoutPlacedCodes(lines, code, *codes);
    placed_views.assign(placed_removed.begin(), placed_removed.end());
  }
  const std::span<const std::string_view> checked =
      placed_removed.empty() ? lines : std::span<const std::string_view>(placed_views);
  if (jis) {
    // Counts the private codes of the user-defined area and of FA-FC too.
    JisRepertoireReport lost = CheckJisRepertoire(checked);
    report.count = lost.replaced;
    report.first_line = lost.first_line;
  }
  if (!HasPrivateEntries(codes)) return report;
  for (std::size_t k = 0; k < checked.size(); ++k) {
    ForEachPrivateCode(checked[k], *codes, [&](std::size_t i) {
      if (jis && static_cast<unsigned char>(checked[k][i]) >= 0xF0) return;
      ++report.count;
      if (report.first_line == 0 || k + 1 < report.first_line) report.first_line = k + 1;
    });
  }
  return report;
}

bool EncodeLinesForSave(const std::vector<std::string>& lines, SaveCode code,
                        const PrivateCodes* codes,
                        const std::function<bool(std::string_view)>& sink,
                        const LineEnding& ending) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  return EncodeLinesForSave(std::span<const std::string_view>(views), code, codes, sink, ending);
}

UnsavableReport CountUnsavable(const std::vector<std::string>& lines, SaveCode code,
                               const PrivateCodes* codes) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  return CountUnsavable(std::span<const std::string_view>(views), code, codes);
}

}  // namespace parvane
