// HTTP escape encoding and decoding; see http_escape.h.
#include "chars/http_escape.h"

#include <cstring>

namespace parvane {
namespace {

bool Unreserved(unsigned char b) {
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
         (b != 0 && std::strchr("!$'()*-.@_", b) != nullptr);
}

int HexValue(unsigned char b) {
  if (b >= '0' && b <= '9') return b - '0';
  if (b >= 'A' && b <= 'F') return b - 'A' + 10;
  if (b >= 'a' && b <= 'f') return b - 'a' + 10;
  return -1;
}

}  // namespace

std::string ToHttpEscape(std::string_view line) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(line.size() * 3);
  for (unsigned char b : line) {
    if (Unreserved(b)) {
      out.push_back(static_cast<char>(b));
    } else if (b == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    }
  }
  return out;
}

bool FromHttpEscape(std::string_view line, std::string* out, std::string* bad) {
  // Byte by byte is safe in Shift_JIS: "%" and "+" are below 0x40, so they
  // are never the second byte of a two-byte character.
  out->clear();
  out->reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '+') {
      out->push_back(' ');
    } else if (c != '%') {
      out->push_back(c);
    } else if (i + 1 < line.size() && line[i + 1] == '%') {
      out->push_back('%');
      ++i;
    } else {
      const int high = i + 1 < line.size() ? HexValue(static_cast<unsigned char>(line[i + 1])) : -1;
      const int low = i + 2 < line.size() ? HexValue(static_cast<unsigned char>(line[i + 2])) : -1;
      if (high < 0 || low < 0) {
        *bad = "$" + std::string(line.substr(i + 1, 2));
        return false;
      }
      out->push_back(static_cast<char>(high << 4 | low));
      i += 2;
    }
  }
  return true;
}

}  // namespace parvane
