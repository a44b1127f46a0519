// Base64 encoding and decoding; see base64.h.
#include "chars/base64.h"

#include <array>
#include <cstring>

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

// The two characters of every 12 bits: three bytes take two lookups, not four.
constexpr std::array<std::array<char, 2>, 4096> MakePairs() {
  std::array<std::array<char, 2>, 4096> pairs{};
  for (int i = 0; i < 4096; ++i) pairs[i] = {kAlphabet[i >> 6], kAlphabet[i & 63]};
  return pairs;
}

constexpr std::array<std::array<char, 2>, 4096> kPairs = MakePairs();

constexpr bool IsGuardedControl(unsigned char b) {
  return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

// IsGuardedControl looked up: the decoder tests every byte it writes.
constexpr std::array<bool, 256> MakeGuarded() {
  std::array<bool, 256> guarded{};
  for (int b = 0; b < 256; ++b) guarded[b] = IsGuardedControl(static_cast<unsigned char>(b));
  return guarded;
}

constexpr std::array<bool, 256> kGuarded = MakeGuarded();

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
    std::memcpy(out, kPairs[v >> 12].data(), 2);
    std::memcpy(out + 2, kPairs[v & 0xFFF].data(), 2);
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
  // Whole groups of four alphabet characters, the bulk of every line, are
  // decoded four lookups at a time; the first group holding padding, CR, LF
  // or any other character hands the rest of the line to the loop below.
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t i = 0;
  bool guarded = false;
  for (; i + 4 <= line.size(); i += 4) {
    const int a = kValues[in[i]], b = kValues[in[i + 1]], c = kValues[in[i + 2]],
              d = kValues[in[i + 3]];
    if (((a | b | c | d) & ~63) != 0) break;
    const unsigned bits = static_cast<unsigned>(a) << 18 | static_cast<unsigned>(b) << 12 |
                          static_cast<unsigned>(c) << 6 | static_cast<unsigned>(d);
    p[0] = static_cast<char>(bits >> 16);
    p[1] = static_cast<char>(bits >> 8 & 0xFF);
    p[2] = static_cast<char>(bits & 0xFF);
    guarded |= kGuarded[bits >> 16] | kGuarded[bits >> 8 & 0xFF] | kGuarded[bits & 0xFF];
    p += 3;
  }
  if (guarded) return kNotBase64;
  char* const rest = p;
  int group[4];
  int filled = 0;
  for (unsigned char c : line.substr(i)) {
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
  for (const char* q = rest; q != p; ++q) {
    if (kGuarded[static_cast<unsigned char>(*q)]) return kNotBase64;
  }
  return static_cast<std::size_t>(p - out);
}

}  // namespace parvane
