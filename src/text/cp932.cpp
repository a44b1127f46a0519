// Code page 932 <-> UTF-16. The decoding tables are generated from the
// published table; the encoding table is derived from them here, once, so the
// two directions cannot drift apart.
#include "text/cp932.h"

#include <array>
#include <cstdint>
#include <utility>

#include "text/append_block.h"
#include "text/sjis.h"

namespace parvane {
namespace {

#include "text/cp932_tables.inc"

constexpr int kNoCode = 0xFFFF;  // no code page 932 code ends in 0xFF

constexpr int LeadIndex(unsigned char lead) { return lead < 0xA0 ? lead - 0x81 : lead - 0xE0 + 31; }

// Returns the index of a trail byte in the table, or -1 outside 40-7E, 80-FC.
constexpr int TrailIndex(unsigned char trail) {
  if (trail >= 0x40 && trail <= 0x7E) return trail - 0x40;
  if (trail >= 0x80 && trail <= 0xFC) return trail - 0x80 + 63;
  return -1;
}

// LeadIndex of every lead byte and TrailIndex of every byte, for reading
// without branches; 0 for a byte that is no lead byte.
constexpr std::array<unsigned char, 256> kLeadIndex = [] {
  std::array<unsigned char, 256> index{};
  for (int b = 0; b < 256; ++b) {
    if (kCp932SingleByte[b] == kLeadByte) index[b] = static_cast<unsigned char>(LeadIndex(b));
  }
  return index;
}();
constexpr std::array<short, 256> kTrailIndex = [] {
  std::array<short, 256> index{};
  for (int b = 0; b < 256; ++b) {
    index[b] = static_cast<short>(TrailIndex(static_cast<unsigned char>(b)));
  }
  return index;
}();

// Characters that Unix Japanese text writes differently from Windows; they
// map to the code Windows text uses for the same meaning, but only when the
// table itself gives the character no code.
constexpr std::pair<char16_t, std::uint16_t> kBestFit[] = {
    {0x301C, 0x8160},  // WAVE DASH -> ～
    {0x2016, 0x8161},  // DOUBLE VERTICAL LINE -> ∥
    {0x2212, 0x817C},  // MINUS SIGN -> －
    {0x2014, 0x815C},  // EM DASH -> ―
    {0x00A2, 0x8191},  // CENT SIGN -> ￠
    {0x00A3, 0x8192},  // POUND SIGN -> ￡
    {0x00AC, 0x81CA},  // NOT SIGN -> ￢
    {0x00A5, 0x005C},  // YEN SIGN -> backslash byte
    {0x203E, 0x007E},  // OVERLINE -> tilde byte
};

using EncodeTable = std::array<std::uint16_t, 0x10000>;

EncodeTable BuildEncodeTable() {
  EncodeTable table;
  table.fill(kNoCode);
  for (int b = 0; b < 0x100; ++b) {
    char16_t u = kCp932SingleByte[b];
    if (u != kLeadByte && table[u] == kNoCode) table[u] = static_cast<std::uint16_t>(b);
  }
  // Where the NEC and IBM rows repeat a character, Windows writes the lowest
  // code outside the NEC-selected IBM rows 0xED and 0xEE: visit codes in
  // ascending order, those two rows in a second pass.
  for (int pass = 0; pass < 2; ++pass) {
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (lead >= 0xA0 && lead < 0xE0) continue;
      bool nec_selected = lead == 0xED || lead == 0xEE;
      if (nec_selected != (pass == 1)) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        int t = TrailIndex(static_cast<unsigned char>(trail));
        if (t < 0) continue;
        char16_t u = kCp932DoubleByte[LeadIndex(static_cast<unsigned char>(lead))][t];
        if (u != 0 && table[u] == kNoCode) table[u] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
  }
  for (auto [unit, code] : kBestFit) {
    if (table[unit] == kNoCode) table[unit] = code;
  }
  return table;
}

const EncodeTable& Encoder() {
  static const EncodeTable table = BuildEncodeTable();
  return table;
}

constexpr bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
constexpr bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u < 0xE000; }

}  // namespace

std::size_t Cp932ToUtf16Part(std::string_view sjis, std::size_t* pos, char16_t* out,
                             std::size_t room) {
  // Japanese text mixes one- and two-byte characters without a pattern, so a
  // branch on each character's kind is mispredicted about every other time,
  // which cost more than the rest of the work. Each step reads the character
  // both ways and picks one. A stray lead byte gives '?' and leaves the byte
  // after it to be read on its own (a CR or LF after it must survive); an
  // undefined pair gives one '?'.
  const std::size_t n = sjis.size();
  std::size_t i = *pos;
  std::size_t written = 0;
  while (i < n && written < room) {
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    const char16_t single = kCp932SingleByte[b];
    const bool lead = single == kLeadByte;
    const unsigned char next = i + 1 < n ? static_cast<unsigned char>(sjis[i + 1]) : 0;
    const int t = kTrailIndex[next];
    const bool two_bytes = lead && i + 1 < n && t >= 0;
    const char16_t pair = kCp932DoubleByte[kLeadIndex[b]][two_bytes ? t : 0];
    const char16_t unit = !lead ? single : (two_bytes && pair != 0) ? pair : u'?';
    out[written++] = unit;
    i += two_bytes ? 2 : 1;
  }
  *pos = i;
  return written;
}

void Cp932ToUtf16(std::string_view sjis, std::u16string& out) {
  // No byte gives more than one unit, so the bytes' count is room enough;
  // writing through a pointer into that room costs no check per unit.
  out.resize(sjis.size());
  std::size_t pos = 0;
  out.resize(Cp932ToUtf16Part(sjis, &pos, out.data(), out.size()));
}

std::u16string Cp932ToUtf16(std::string_view sjis) {
  std::u16string out;
  Cp932ToUtf16(sjis, out);
  return out;
}

std::string Utf16ToCp932(std::u16string_view utf16, std::size_t* unmapped) {
  const EncodeTable& table = Encoder();
  std::string out;
  out.reserve(utf16.size() * 2);
  AppendBlock<char> block(out);
  char* p = block.data;
  std::size_t missing = 0;
  const std::size_t n = utf16.size();
  for (std::size_t i = 0; i < n; ++i) {
    p = block.Room(p, 2);
    char16_t u = utf16[i];
    int code = table[u];
    if (code == kNoCode) {
      // A supplementary character is one character, so one '?'.
      if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(utf16[i + 1])) ++i;
      *p++ = '?';
      ++missing;
    } else {
      p = PutSjisCode(p, code);
    }
  }
  block.Finish(p);
  if (unmapped != nullptr) *unmapped += missing;
  return out;
}

int Cp932FromUnit(char16_t unit) {
  int code = Encoder()[unit];
  return code == kNoCode ? -1 : code;
}

int Cp932ToUnit(int code) {
  if (code < 0 || code > 0xFFFF) return -1;
  if (code < 0x100) {
    char16_t u = kCp932SingleByte[code];
    return u == kLeadByte ? -1 : u;
  }
  unsigned char lead = static_cast<unsigned char>(code >> 8);
  int t = TrailIndex(static_cast<unsigned char>(code & 0xFF));
  if (kCp932SingleByte[lead] != kLeadByte || t < 0) return -1;
  char16_t u = kCp932DoubleByte[LeadIndex(lead)][t];
  return u == 0 ? -1 : u;
}

}  // namespace parvane
