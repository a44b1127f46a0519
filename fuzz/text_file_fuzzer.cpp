// Loading a file's bytes with every combination of the two flags, and saving
// Shift_JIS text in every code. Where saving must be undone by loading (the
// Unicode forms, for text that code page 932 maps one to one), it is checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codes/save_code.h"
#include "codes/text_file.h"
#include "text/cp932.h"

namespace {

using parvane::DecodedFile;
using parvane::DecodeFileBytes;
using parvane::EncodeForSave;
using parvane::SaveCode;

void CheckDecoded(const DecodedFile& d) {
  if ((d.unmapped_count == 0) != (d.first_unmapped_line == 0)) std::abort();
  if (d.unicode_kind != 0 && static_cast<int>(d.detected_code) != d.unicode_kind) std::abort();
}

// True when every character of text comes back byte for byte through
// UTF-16, so a Unicode save and a load must give text back unchanged.
bool MapsOneToOne(std::string_view text) {
  std::size_t unmapped = 0;
  std::u16string units = parvane::Cp932ToUtf16(text);
  if (units.find(u'?') != std::u16string::npos && text.find('?') == std::string_view::npos) {
    return false;
  }
  return parvane::Utf16ToCp932(units, &unmapped) == text && unmapped == 0;
}

void CheckUnicodeRoundTrip(std::string_view text, SaveCode code) {
  std::string bytes = EncodeForSave(text, code, nullptr);
  DecodedFile d = DecodeFileBytes(bytes, false, true);
  CheckDecoded(d);
  if (d.text != text || d.detected_code != code || d.unmapped_count != 0) std::abort();
  // Saving what was loaded writes the file again.
  if (EncodeForSave(d.text, d.detected_code, &d.codes) != bytes) std::abort();
}

bool HasNonAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int flags = 0; flags < 4; ++flags) {
    DecodedFile d = DecodeFileBytes(bytes, (flags & 1) != 0, (flags & 2) != 0);
    CheckDecoded(d);
    for (int code = 0; code < parvane::kSaveCodeCount; ++code) {
      (void)EncodeForSave(d.text, static_cast<SaveCode>(code), &d.codes);
    }
  }

  // The input as document text.
  for (int code = 0; code < parvane::kSaveCodeCount; ++code) {
    (void)EncodeForSave(bytes, static_cast<SaveCode>(code), nullptr);
  }
  if (MapsOneToOne(bytes)) {
    CheckUnicodeRoundTrip(bytes, SaveCode::kUtf8);
    CheckUnicodeRoundTrip(bytes, SaveCode::kUtf16);
    CheckUnicodeRoundTrip(bytes, SaveCode::kUtf16Be);
    // Without a mark, only text with a multi-byte sequence reads as UTF-8.
    if (HasNonAscii(bytes)) CheckUnicodeRoundTrip(bytes, SaveCode::kUtf8NoBom);
  }
  return 0;
}
