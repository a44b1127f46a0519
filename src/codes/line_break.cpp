// Line breaks: detection from a file's text and their names.
#include "codes/line_break.h"

#include <array>
#include <cstring>
#include <string>

#include "text/ascii.h"

namespace parvane {
namespace {

int Index(LineBreak kind) {
  int i = static_cast<int>(kind);
  return i >= 0 && i < kLineBreakCount ? i : 0;
}

constexpr std::array<std::string_view, kLineBreakCount> kBytes = {"\r\n", "\n", "\r"};
constexpr std::array<std::string_view, kLineBreakCount> kCaptions = {"CR+LF", "LF", "CR"};
constexpr std::array<std::string_view, kLineBreakCount> kNames = {"crlf", "lf", "cr"};

}  // namespace

std::string_view LineBreakBytes(LineBreak kind) { return kBytes[Index(kind)]; }

std::string_view LineBreakCaption(LineBreak kind) { return kCaptions[Index(kind)]; }

LineEnding DetectLineEnding(std::string_view text) {
  LineEnding ending;
  if (text.empty()) return ending;
  ending.final_break = text.back() == '\n' || text.back() == '\r';
  // Two memchr calls stop at the first break of each kind, so a large file
  // is not scanned beyond its first line.
  const void* lf = std::memchr(text.data(), '\n', text.size());
  const std::size_t lf_at =
      lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data())
                    : text.size();
  const void* cr = std::memchr(text.data(), '\r', lf_at);
  if (cr != nullptr) {
    const std::size_t cr_at = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
    ending.kind = lf != nullptr && cr_at + 1 == lf_at ? LineBreak::kCrLf : LineBreak::kCr;
  } else if (lf != nullptr) {
    ending.kind = LineBreak::kLf;
  }
  return ending;
}

std::optional<LineBreak> LineBreakFromName(std::string_view name) {
  const std::string lower = AsciiLower(name);
  for (int i = 0; i < kLineBreakCount; ++i) {
    if (lower == kNames[i]) return static_cast<LineBreak>(i);
  }
  return std::nullopt;
}

}  // namespace parvane
