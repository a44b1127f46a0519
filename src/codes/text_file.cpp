// A file's bytes to the document's Shift_JIS text and back. The entry points
// are DecodeFileBytes and EncodeForSave.
#include "codes/text_file.h"

#include "codes/jis.h"
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
  bool as_best_fit[9] = {};
  bool as_other[9] = {};
  for (char16_t u : units) {
    // Every character involved maps to one of these few codes; most text
    // leaves the loop at the first comparison.
    if (u < 0x5C || (u > 0x7E && u < 0xA2)) continue;
    int code = Cp932FromUnit(u);
    for (int k = 0; k < 9; ++k) {
      if (kBestFit[k].code != code) continue;
      (u == kBestFit[k].unit ? as_best_fit : as_other)[k] = true;
      break;
    }
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

DecodedFile DecodeFileBytes(std::string_view bytes, bool is_rtf, bool detect_utf8) {
  DecodedFile out;
  int kind = DetectUnicodeBom(bytes);
  if (kind == kUnicodeNone && detect_utf8 && LooksLikeUtf8(bytes)) kind = kUnicodeUtf8NoBom;
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

  if (is_rtf) {
    RtfText rtf = RtfToText(bytes, false);
    out.text = std::move(rtf.text);
    out.unmapped_count = rtf.unmapped_count;
    out.first_unmapped_line = rtf.first_unmapped_line;
  } else {
    out.text.reserve(bytes.size() + 2);
    out.text.assign(bytes);
    if (!out.text.empty() && out.text.back() != '\n' && out.text.back() != '\r') {
      out.text.append("\r\n");
    }
  }
  JapaneseCode d = DetectJapaneseCode(out.text);
  out.detected_code = FromJapaneseCode(d);
  if (d == CodeJis || d == CodeJisOld || d == CodeEuc) {
    out.text = ConvertJapaneseCode(out.text, CodeSjis);
  }
  return out;
}

std::string EncodeForSave(std::string_view sjis_text, SaveCode code,
                          const UnicodeOrigins* origins) {
  switch (code) {
    case SaveCode::kShiftJis:
      return std::string(sjis_text);
    case SaveCode::kEucJp:
      return ConvertJapaneseCode(sjis_text, CodeEuc);
    case SaveCode::kJis:
      return ConvertJapaneseCode(sjis_text, CodeJis);
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

}  // namespace parvane
