// HTTP escape encoding and decoding; see http_escape.h.
#include "chars/http_escape.h"

#include <array>
#include <string_view>

namespace parvane {
namespace {

// Looked up once per byte: the encoder's whole cost is its loop over bytes.
constexpr std::array<bool, 256> MakeUnreserved() {
  std::array<bool, 256> unreserved{};
  for (int b = 0; b < 256; ++b) {
    unreserved[b] = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9');
  }
  for (char c : std::string_view("!$'()*-.@_")) unreserved[static_cast<unsigned char>(c)] = true;
  return unreserved;
}

constexpr std::array<bool, 256> kUnreserved = MakeUnreserved();

int HexValue(unsigned char b) {
  if (b >= '0' && b <= '9') return b - '0';
  if (b >= 'A' && b <= 'F') return b - 'A' + 10;
  if (b >= 'a' && b <= 'f') return b - 'a' + 10;
  return -1;
}

}  // namespace

std::string ToHttpEscape(std::string_view line) {
  std::string out(HttpEscapeRoom(line.size()), '\0');
  out.resize(ToHttpEscape(line, out.data()));
  return out;
}

std::size_t ToHttpEscape(std::string_view line, char* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char* p = out;
  for (unsigned char b : line) {
    if (kUnreserved[b]) {
      *p++ = static_cast<char>(b);
    } else if (b == ' ') {
      *p++ = '+';
    } else {
      p[0] = '%';
      p[1] = kHex[b >> 4];
      p[2] = kHex[b & 15];
      p += 3;
    }
  }
  return static_cast<std::size_t>(p - out);
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
