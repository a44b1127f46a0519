// Base64 encoding and decoding; see base64.h.
#include "chars/base64.h"

#include <array>

#include "text/sjis.h"

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
  std::string out;
  out.reserve((line.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= line.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(line[i]) << 16 |
                       static_cast<unsigned char>(line[i + 1]) << 8 |
                       static_cast<unsigned char>(line[i + 2]);
    out.push_back(kAlphabet[v >> 18]);
    out.push_back(kAlphabet[v >> 12 & 63]);
    out.push_back(kAlphabet[v >> 6 & 63]);
    out.push_back(kAlphabet[v & 63]);
  }
  const std::size_t rest = line.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(line[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(line[i + 1]) << 8;
    out.push_back(kAlphabet[v >> 18]);
    out.push_back(kAlphabet[v >> 12 & 63]);
    out.push_back(rest == 2 ? kAlphabet[v >> 6 & 63] : '=');
    out.push_back('=');
  }
  return out;
}

bool FromBase64(std::string_view line, std::string* out) {
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t n = SjisCharLength(line, i);
    if (n == 2) return false;
    i += n;
  }
  out->clear();
  out->reserve(line.size() / 4 * 3);
  int group[4];
  int filled = 0;
  for (unsigned char c : line) {
    if (c == '\r' || c == '\n') continue;
    const int v = kValues[c];
    if (v == kInvalid) return false;
    group[filled++] = v;
    if (filled < 4) continue;
    filled = 0;
    // Padding may only end a group: "xx==" or "xxx=".
    if (group[0] == kPad || group[1] == kPad || (group[2] == kPad && group[3] != kPad))
      return false;
    const unsigned bits = static_cast<unsigned>(group[0]) << 18 |
                          static_cast<unsigned>(group[1]) << 12 |
                          static_cast<unsigned>(group[2] == kPad ? 0 : group[2]) << 6 |
                          static_cast<unsigned>(group[3] == kPad ? 0 : group[3]);
    out->push_back(static_cast<char>(bits >> 16));
    if (group[2] != kPad) out->push_back(static_cast<char>(bits >> 8 & 0xFF));
    if (group[3] != kPad) out->push_back(static_cast<char>(bits & 0xFF));
  }
  if (filled != 0) return false;
  for (unsigned char b : *out) {
    if (IsGuardedControl(b)) return false;
  }
  return true;
}

}  // namespace parvane
