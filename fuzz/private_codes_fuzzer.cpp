// Any Unicode text, written as a file in each Unicode form, loaded into a
// document (private codes for what code page 932 cannot hold) and saved in
// the form it came in, gives back the file byte for byte: the way through
// Shift_JIS loses nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codes/save_code.h"
#include "codes/text_file.h"
#include "editor/document.h"

namespace {

using parvane::SaveCode;

void PutUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void PutUnit(std::string& out, char16_t u, bool big_endian) {
  const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
  out += big_endian ? hi : lo;
  out += big_endian ? lo : hi;
}

void PutUtf16(std::string& out, char32_t c, bool big_endian) {
  if (c < 0x10000) {
    PutUnit(out, static_cast<char16_t>(c), big_endian);
    return;
  }
  c -= 0x10000;
  PutUnit(out, static_cast<char16_t>(0xD800 + (c >> 10)), big_endian);
  PutUnit(out, static_cast<char16_t>(0xDC00 + (c & 0x3FF)), big_endian);
}

void CheckRoundTrip(const std::string& bytes, SaveCode code) {
  parvane::DecodedFile d = parvane::DecodeFileBytes(bytes, false, true);
  if (d.detected_code != code || d.unmapped_count != 0) std::abort();
  std::string saved;
  parvane::EncodeLinesForSave(parvane::SplitLines(d.text), d.detected_code, &d.codes,
                              [&saved](std::string_view piece) {
                                saved += piece;
                                return true;
                              },
                              d.ending);
  if (saved != bytes) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Three input bytes a code point. Left out: surrogates, and what the loader
  // reads as structure rather than text (control bytes such as ESC, a CR
  // after which the first break would no longer speak for the file, a mark
  // at the start). Fewer characters than private codes, so none is lost.
  std::u32string text;
  bool non_ascii = false;
  for (std::size_t i = 0; i + 2 < size; i += 3) {
    char32_t c = static_cast<char32_t>(data[i] << 16 | data[i + 1] << 8 | data[i + 2]) % 0x110000;
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (c < 0x20 && c != '\n' && c != '\t') continue;
    if (text.empty() && c == 0xFEFF) continue;
    non_ascii |= c >= 0x80;
    text.push_back(c);
  }
  std::string utf8, le = "\xFF\xFE", be = "\xFE\xFF";
  for (char32_t c : text) {
    PutUtf8(utf8, c);
    PutUtf16(le, c, false);
    PutUtf16(be, c, true);
  }
  CheckRoundTrip("\xEF\xBB\xBF" + utf8, SaveCode::kUtf8);
  CheckRoundTrip(le, SaveCode::kUtf16);
  CheckRoundTrip(be, SaveCode::kUtf16Be);
  // Without a mark, only text with a multi-byte sequence reads as UTF-8.
  if (non_ascii) CheckRoundTrip(utf8, SaveCode::kUtf8NoBom);
  return 0;
}
