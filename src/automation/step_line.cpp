// Step-line helpers used by the player: name-to-code substitution and the
// reading of the code field.
#include "automation/step_line.h"

#include <algorithm>
#include <cstdint>

#include "automation/command_table.h"
#include "text/sjis.h"

namespace parvane {

std::string SubstituteStepNames(std::string_view text) {
  std::string current(text);
  std::string next;
  // One pass per entry keeps the table-order semantics: a longer name is
  // replaced before any shorter name could match inside it.
  for (const CommandEntry& entry : CommandTable()) {
    if (current.find(entry.name) == std::string::npos) continue;
    const std::string code = CodeText(entry.code);
    next.clear();
    next.reserve(current.size());
    std::string_view s = current;
    for (std::size_t i = 0; i < s.size();) {
      if (s[i] == '[' && s.compare(i, entry.name.size(), entry.name) == 0) {
        next += code;
        i += entry.name.size();
        continue;
      }
      std::size_t n = SjisCharLength(s, i);
      next.append(s.substr(i, n));
      i += n;
    }
    current.swap(next);
  }
  return current;
}

std::string ResolveStepAlias(std::string_view step_line) {
  // Aliases hold no comma, quote or blank, so the first field is simply the
  // text before the first comma.
  const std::size_t end = std::min(step_line.find(','), step_line.size());
  const CommandEntry* entry = CommandByAlias(step_line.substr(0, end));
  if (entry == nullptr) return std::string(step_line);
  return CodeText(entry->code) + std::string(step_line.substr(end));
}

int StepCode(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  if (i == field.size()) return 0;
  std::int64_t value = 0;
  for (; i < field.size(); ++i) {
    char c = field[i];
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return 0;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace parvane
