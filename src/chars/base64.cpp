// Base64 encoding and decoding; see base64.h.
#include "chars/base64.h"

#include <array>

namespace parvane {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kPad = 64;
constexpr int kInvalid = -1;

constexpr std::array<signed char, 256> MakeValues() {
  std::array<signed char, 256> values{};
  for (auto& v : values) v = kInvalid;
  for (int i = 0; i < 64; ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  values['='] = kPad;
  return values;
}

constexpr std::array<signed char, 256> kValues = MakeValues();

bool IsGuardedControl(unsigned char b) { return b < 0x20 && b != '\t' && b != '\n' && b != '\r'; }

}  // namespace

std::string ToBase64(std::string_view line) {
  std::string out(Base64Size(line.size()), '\0');
  ToBase64(line, out.data());
  return out;
}

void ToBase64(std::string_view line, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t whole = line.size() / 3 * 3;
  for (std::size_t i = 0; i < whole; i += 3, out += 4) {
    const unsigned v = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[v >> 12 & 63];
    out[2] = kAlphabet[v >> 6 & 63];
    out[3] = kAlphabet[v & 63];
  }
  const std::size_t rest = line.size() - whole;
  if (rest > 0) {
    unsigned v = in[whole] << 16;
    if (rest == 2) v |= in[whole + 1] << 8;
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[v >> 12 & 63];
    out[2] = rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
    out[3] = '=';
  }
}

bool FromBase64(std::string_view line, std::string* out) {
  out->resize(Base64DecodedRoom(line.size()));
  const std::size_t written = FromBase64(line, out->data());
  if (written == kNotBase64) return false;
  out->resize(written);
  return true;
}

std::size_t FromBase64(std::string_view line, char* out) {
  // A two-byte Shift_JIS character needs no test of its own: its first byte
  // is above 0x80, outside the alphabet.
  char* p = out;
  int group[4];
  int filled = 0;
  for (unsigned char c : line) {
    if (c == '\r' || c == '\n') continue;
    const int v = kValues[c];
    if (v == kInvalid) return kNotBase64;
    group[filled++] = v;
    if (filled < 4) continue;
    filled = 0;
    // Padding may only end a group: "xx==" or "xxx=".
    if (group[0] == kPad || group[1] == kPad || (group[2] == kPad && group[3] != kPad))
      return kNotBase64;
    const unsigned bits = static_cast<unsigned>(group[0]) << 18 |
                          static_cast<unsigned>(group[1]) << 12 |
                          static_cast<unsigned>(group[2] == kPad ? 0 : group[2]) << 6 |
                          static_cast<unsigned>(group[3] == kPad ? 0 : group[3]);
    *p++ = static_cast<char>(bits >> 16);
    if (group[2] != kPad) *p++ = static_cast<char>(bits >> 8 & 0xFF);
    if (group[3] != kPad) *p++ = static_cast<char>(bits & 0xFF);
  }
  if (filled != 0) return kNotBase64;
  for (const char* q = out; q != p; ++q) {
    if (IsGuardedControl(static_cast<unsigned char>(*q))) return kNotBase64;
  }
  return static_cast<std::size_t>(p - out);
}

}  // namespace parvane
