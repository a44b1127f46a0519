// The program-wide generator, seeded from the clock on first use.
#include "commands/random.h"

#include <chrono>

namespace parvane {

LinearRandom& ProgramRandom() {
  static LinearRandom random([] {
    using namespace std::chrono;
    auto now = system_clock::now().time_since_epoch();
    auto ms_of_day = duration_cast<milliseconds>(now).count() % (24LL * 60 * 60 * 1000);
    return static_cast<std::uint32_t>(ms_of_day);
  }());
  return random;
}

}  // namespace parvane
