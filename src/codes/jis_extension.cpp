// The readers of JIS X 0212 and JIS X 0213 characters in EUC-JP and 7-bit
// JIS, over the generated table jis_extension_tables.inc. Entry points:
// ExtendedEucToSjis and ExtendedJisToSjis.
#include "codes/jis_extension.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "codes/jis.h"

namespace parvane {
namespace {

#include "codes/jis_extension_tables.inc"

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kSs3 = 0x8F;  // EUC-JP: a JIS X 0212 / 0213 plane 2 character follows

constexpr bool InSet(unsigned char b) { return b >= 0x21 && b <= 0x7E; }
constexpr bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

constexpr unsigned char At(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

// Writes characters through the document's table and keeps the report.
class Writer {
 public:
  Writer(std::size_t expected, PrivateCodes& codes, ExtensionReport* report)
      : codes_(codes), report_(report) {
    out_.reserve(expected);
  }
  void Byte(unsigned char b) {
    if (b == '\n') ++line_;
    out_ += static_cast<char>(b);
  }
  void Pair(BytePair pair) {
    out_ += static_cast<char>(pair.first);
    out_ += static_cast<char>(pair.second);
  }
  // Text converted by the ordinary reader: its lines count too.
  void Converted(std::string_view original, const std::string& converted) {
    line_ += static_cast<std::size_t>(std::count(original.begin(), original.end(), '\n'));
    out_ += converted;
  }
  void Chars(const std::u32string& chars) {
    if (chars.empty()) {
      Lost();
      return;
    }
    for (char32_t ch : chars) {
      int code = codes_.Encode(ch, PrivateCodes::BestFit::kPrivate);
      if (code < 0) {
        Lost();
      } else if (code < 0x100) {
        out_ += static_cast<char>(code);
      } else {
        if (codes_.IsPrivate(code)) codes_.MarkJisPlaced(code);
        out_ += static_cast<char>(code >> 8);
        out_ += static_cast<char>(code & 0xFF);
      }
    }
  }
  std::string Take() {
    if (report_ != nullptr) *report_ = counted_;
    return std::move(out_);
  }

 private:
  void Lost() {
    if (counted_.unmapped++ == 0) counted_.first_line = line_;
    out_ += '?';
  }
  PrivateCodes& codes_;
  ExtensionReport* report_;
  ExtensionReport counted_;
  std::size_t line_ = 1;
  std::string out_;
};

// The modes of a 7-bit JIS text.
enum class JisMode {
  kOneByte,  // ASCII or JIS X 0201 Roman
  kKana,     // JIS X 0201 katakana, ESC ( I
  kJisX0208,
  kJisX0212,
  kPlane1,
  kPlane2,
};

}  // namespace

std::u32string JisExtensionChars(JisSet set, unsigned char row, unsigned char cell) {
  const std::uint32_t key = static_cast<std::uint32_t>(set) << 16 | row << 8 | cell;
  const auto* end = std::end(kJisExtensions);
  const auto* it =
      std::lower_bound(std::begin(kJisExtensions), end, key,
                       [](const JisExtensionEntry& e, std::uint32_t k) { return e.key < k; });
  if (it == end || it->key != key) return {};
  std::u32string chars(1, it->first);
  if (it->second != 0) chars += it->second;
  return chars;
}

std::u32string EucThreeByteChars(unsigned char row, unsigned char cell) {
  std::u32string chars = JisExtensionChars(JisSet::kJisX0212, row, cell);
  return chars.empty() ? JisExtensionChars(JisSet::kPlane2, row, cell) : chars;
}

std::uint32_t JisPlaceOf(char32_t ch, bool euc) {
  static const auto* places = [] {
    auto* map = new std::unordered_map<char32_t, std::uint32_t>();
    // The table is sorted by set, so the first place seen is the one kept.
    for (const JisExtensionEntry& e : kJisExtensions) {
      if (e.second == 0) map->emplace(e.first, e.key);
    }
    return map;
  }();
  auto it = places->find(ch);
  if (it == places->end()) return 0;
  if (euc && static_cast<JisSet>(it->second >> 16) == JisSet::kPlane1) return 0;
  return it->second;
}

bool MayHoldEucExtensions(std::string_view euc) {
  return euc.find(static_cast<char>(kSs3)) != std::string_view::npos;
}

bool MayHoldJisExtensions(std::string_view jis) {
  return jis.find("\x1B$(") != std::string_view::npos ||
         jis.find("\x1B(I") != std::string_view::npos;
}

std::string ExtendedEucToSjis(std::string_view euc, PrivateCodes& codes, ExtensionReport* report) {
  Writer out(euc.size(), codes, report);
  const std::size_t n = euc.size();
  std::size_t start = 0;  // of the text not yet written, for EucToSjis
  std::size_t i = 0;
  // Steps through the characters exactly as EucToSjis does, so the pieces
  // between three-byte sequences convert as they would in the whole text.
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(euc[i]);
    if (c <= 0x80 || c == 0xFF || i + 1 >= n || At(euc, i + 1) < 0x80) {
      ++i;
      continue;
    }
    if (c == kSs3 && i + 2 < n && IsEucByte(At(euc, i + 1)) && IsEucByte(At(euc, i + 2))) {
      std::string_view before = euc.substr(start, i - start);
      out.Converted(before, EucToSjis(before, 1));
      out.Chars(EucThreeByteChars(At(euc, i + 1) & 0x7F, At(euc, i + 2) & 0x7F));
      i += 3;
      start = i;
      continue;
    }
    i += 2;
  }
  std::string_view rest = euc.substr(start);
  out.Converted(rest, EucToSjis(rest, 1));
  return out.Take();
}

std::string ExtendedJisToSjis(std::string_view jis, PrivateCodes& codes, ExtensionReport* report) {
  Writer out(jis.size(), codes, report);
  JisMode mode = JisMode::kOneByte;
  const std::size_t n = jis.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char c = static_cast<unsigned char>(jis[i]);
    if (c == kEsc) {
      // As JisToSjis: an escape is three bytes and an unknown one keeps the
      // mode, except the four-byte ESC $ ( X.
      unsigned char kind = At(jis, i + 1);
      unsigned char final_byte = At(jis, i + 2);
      if (kind == '$' && final_byte == '(') {
        switch (At(jis, i + 3)) {
          case 'D':
            mode = JisMode::kJisX0212;
            break;
          case 'O':
          case 'Q':
            mode = JisMode::kPlane1;
            break;
          case 'P':
            mode = JisMode::kPlane2;
            break;
          default:
            mode = JisMode::kJisX0208;
            break;
        }
        i += 4;
        continue;
      }
      if (kind == '$') mode = JisMode::kJisX0208;
      if (kind == '(') mode = final_byte == 'I' ? JisMode::kKana : JisMode::kOneByte;
      i += 3;
      continue;
    }
    if (mode == JisMode::kOneByte || !InSet(c)) {
      out.Byte(c);
      ++i;
      continue;
    }
    if (mode == JisMode::kKana) {
      // 0x60-0x7E have no katakana: kept as they are.
      out.Byte(c <= 0x5F ? static_cast<unsigned char>(c + 0x80) : c);
      ++i;
      continue;
    }
    unsigned char cell = At(jis, i + 1);
    if (i + 1 >= n || !InSet(cell)) {
      // Half a character before a line break or an escape: keep the byte.
      out.Byte(c);
      ++i;
      continue;
    }
    i += 2;
    switch (mode) {
      case JisMode::kJisX0212:
        out.Chars(JisExtensionChars(JisSet::kJisX0212, c, cell));
        break;
      case JisMode::kPlane2:
        out.Chars(JisExtensionChars(JisSet::kPlane2, c, cell));
        break;
      case JisMode::kPlane1: {
        std::u32string chars = JisExtensionChars(JisSet::kPlane1, c, cell);
        if (chars.empty()) {
          out.Pair(JisToSjisPair(c, cell));
        } else {
          out.Chars(chars);
        }
        break;
      }
      default:
        out.Pair(JisToSjisPair(c, cell));
        break;
    }
  }
  return out.Take();
}

}  // namespace parvane
