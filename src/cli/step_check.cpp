#include "cli/step_check.h"

#include <cstdint>
#include <cstdio>

namespace parvane {
namespace {

// The length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return 1;
  std::size_t len;
  std::uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::string Hex(unsigned char c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", c);
  return buffer;
}

}  // namespace

std::optional<std::string> StepArgumentError(std::string_view step) {
  for (std::size_t i = 0; i < step.size();) {
    const std::size_t len = Utf8SequenceLength(step, i);
    if (len == 0) return "invalid UTF-8 at byte " + std::to_string(i + 1);
    i += len;
  }
  // The field grammar of SplitFields: a field that starts with a quote runs
  // to the closing quote (doubled quotes are data); anything after it starts
  // a new field.
  bool quoted = false;
  bool field_start = true;
  for (std::size_t i = 0; i < step.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(step[i]);
    if (quoted) {
      if (c == '"') {
        if (i + 1 < step.size() && step[i + 1] == '"') {
          ++i;
        } else {
          quoted = false;
          field_start = true;
        }
      }
      continue;
    }
    if (c <= 0x1F) return "control byte " + Hex(c) + " outside double quotes (quote that parameter)";
    if (field_start && c == '"') {
      quoted = true;
      field_start = false;
      continue;
    }
    field_start = c == ',';
  }
  return std::nullopt;
}

std::string PrintableStep(std::string_view step) {
  std::string out;
  for (std::size_t i = 0; i < step.size();) {
    const unsigned char c = static_cast<unsigned char>(step[i]);
    const std::size_t len = Utf8SequenceLength(step, i);
    if (len == 0 || c < 0x20 || c == 0x7F) {
      out += "\\x" + Hex(c).substr(2);
      ++i;
    } else {
      out.append(step, i, len);
      i += len;
    }
  }
  return out;
}

}  // namespace parvane
