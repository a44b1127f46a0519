// Random patterns for the differential tests: up to four atoms, each maybe
// repeated, maybe grouped (two levels deep), sometimes alternated.
#ifndef PARVANE_TESTS_REGEX_RANDOM_PATTERN_H_
#define PARVANE_TESTS_REGEX_RANDOM_PATTERN_H_

#include <random>
#include <string>
#include <vector>

namespace parvane {

inline std::string RandomPatternFrom(std::mt19937& rng, const std::vector<std::string>& atoms,
                                 int depth = 0) {
  static const std::vector<std::string> ops = {"", "", "", "*", "+", "?"};
  std::string out;
  int n = 1 + rng() % 4;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && rng() % 6 == 0) out += "|";
    std::string piece;
    if (depth < 2 && rng() % 5 == 0) {
      piece = "(" + RandomPatternFrom(rng, atoms, depth + 1) + ")";
    } else {
      piece = atoms[rng() % atoms.size()];
    }
    out += piece + ops[rng() % ops.size()];
  }
  return out;
}

}  // namespace parvane

#endif  // PARVANE_TESTS_REGEX_RANDOM_PATTERN_H_
