#include "editor/fields.h"

#include "text/sjis.h"

namespace parvane {
namespace {

bool IsControl(unsigned char c) { return c >= 0x01 && c <= 0x1F; }

// One character of a field. A lead byte followed by a byte below 0x40 (which
// no Shift_JIS trail byte is) stands alone: otherwise a broken character at
// the end of a field would swallow the comma or the closing quote written
// after it, and the field would no longer split back out of its line.
std::size_t FieldCharLength(std::string_view s, std::size_t i) {
  std::size_t n = SjisCharLength(s, i);
  if (n == 2 && static_cast<unsigned char>(s[i + 1]) < 0x40) return 1;
  return n;
}

// Calls f(start, length) for every character of a field, as FieldCharLength steps.
template <typename F>
void ForEachFieldChar(std::string_view s, F&& f) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = FieldCharLength(s, i);
    f(i, n);
    i += n;
  }
}

bool NeedsQuotes(std::string_view field) {
  bool needs = false;
  ForEachFieldChar(field, [&](std::size_t i, std::size_t n) {
    if (n != 1) return;
    unsigned char c = static_cast<unsigned char>(field[i]);
    if (c <= 0x20 || c == '"' || c == ',') needs = true;
  });
  return needs;
}

}  // namespace

std::string JoinFields(const Lines& fields) {
  if (fields.size() == 1 && fields[0].empty()) return "\"\"";
  std::string line;
  for (const auto& field : fields) {
    if (NeedsQuotes(field)) {
      line += '"';
      ForEachFieldChar(field, [&](std::size_t i, std::size_t n) {
        if (n == 1 && field[i] == '"') line += '"';
        line.append(field, i, n);
      });
      line += '"';
    } else {
      line += field;
    }
    line += ',';
  }
  if (!line.empty()) line.pop_back();
  return line;
}

Lines SplitFields(std::string_view line) {
  Lines fields;
  std::size_t i = 0;
  const std::size_t n = line.size();
  auto skip_controls = [&] {
    while (i < n && IsControl(static_cast<unsigned char>(line[i]))) ++i;
  };
  skip_controls();
  while (i < n) {
    std::string field;
    if (line[i] == '"') {
      ++i;
      while (i < n) {
        std::size_t len = FieldCharLength(line, i);
        if (len == 1 && line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        field.append(line, i, len);
        i += len;
      }
    } else {
      while (i < n) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c <= 0x1F || c == ',') break;
        std::size_t len = FieldCharLength(line, i);
        field.append(line, i, len);
        i += len;
      }
    }
    fields.push_back(std::move(field));
    skip_controls();
    if (i < n && line[i] == ',') {
      ++i;
      skip_controls();
    }
    // A NUL ends a bare field but is not skipped as a separator; step over it
    // so that the loop always advances.
    if (i < n && line[i] == '\0') ++i;
  }
  return fields;
}

bool IsPlainRecord(std::string_view line) {
  if (line.empty() || line.back() == ',') return false;
  // No byte that SplitFields or JoinFields treats apart can be the second
  // byte of a two-byte character (those are 0x40 and above), so the bytes
  // are tested one by one.
  for (unsigned char c : line) {
    if (c <= 0x20 || c == '"') return false;
  }
  return true;
}

void TabsToCommas(Lines& lines) {
  for (auto& line : lines) line = TabsToCommas(line);
}

std::string TabsToCommas(std::string_view line) {
  std::string spread;
  spread.reserve(line.size() + 8);
  if (!line.empty() && line[0] == '\t') spread += "\"\"";
  for (std::size_t i = 0; i < line.size(); ++i) {
    spread += line[i];
    if (line[i] == '\t' && i + 1 < line.size() && line[i + 1] == '\t') spread += "\"\"";
  }
  return JoinFields(SplitFields(spread));
}

}  // namespace parvane
