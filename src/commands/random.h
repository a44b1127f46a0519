// The program-wide pseudo-random generator that the shuffle draws from: a
// 32-bit linear congruential generator, seed := seed * 134775813 + 1, whose
// draw in 0..range-1 is the upper half of the 64-bit product seed * range.
#ifndef PARVANE_COMMANDS_RANDOM_H_
#define PARVANE_COMMANDS_RANDOM_H_

#include <cstdint>

namespace parvane {

class LinearRandom {
 public:
  explicit LinearRandom(std::uint32_t seed) : seed_(seed) {}

  // Advances the generator and returns a value in 0..range-1 (0 when range
  // is 0).
  std::uint32_t Next(std::uint32_t range) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * range) >> 32);
  }

  std::uint32_t seed() const { return seed_; }
  void set_seed(std::uint32_t seed) { seed_ = seed; }

 private:
  std::uint32_t seed_;
};

// The one generator of the program. Seeded on first use with the milliseconds
// elapsed in the current UTC day, ((h * 60 + m) * 60 + s) * 1000 + ms.
LinearRandom& ProgramRandom();

}  // namespace parvane

#endif  // PARVANE_COMMANDS_RANDOM_H_
