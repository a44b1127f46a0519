// EUC-JP -> Shift_JIS of a large text in pieces on several threads against
// the same text converted in one piece.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codes/jis.h"

namespace parvane {
namespace {

// Bytes that stress the cuts: pairs, 8E kana, 8F, stray high bytes, and line
// feeds right before or after them.
std::string RandomEuc(std::mt19937& gen, std::size_t size, int lf_per_mille) {
  static const unsigned char kHigh[] = {0x80, 0x8E, 0x8F, 0xA1, 0xA4, 0xB0, 0xC8, 0xFE, 0xFF};
  std::uniform_int_distribution<int> pick(0, 999);
  std::string text;
  text.reserve(size);
  while (text.size() < size) {
    const int r = pick(gen);
    if (r < lf_per_mille) {
      text += '\n';
    } else if (r < 400) {
      text += static_cast<char>('a' + r % 26);
    } else {
      text += static_cast<char>(kHigh[r % sizeof kHigh]);
    }
  }
  return text;
}

TEST(EucPiecesTest, AnyNumberOfWorkersGivesTheOnePieceResult) {
  std::mt19937 gen(5);
  for (int lf_per_mille : {0, 1, 50}) {
    const std::string euc = RandomEuc(gen, (std::size_t{3} << 20) + 17, lf_per_mille);
    const std::string expected = EucToSjis(euc, 1);
    for (unsigned workers : {2u, 3u, 4u}) {
      ASSERT_EQ(EucToSjis(euc, workers), expected) << lf_per_mille << " " << workers;
    }
  }
}

TEST(EucPiecesTest, LineFeedsOnlyNearTheStartLeaveOnePieceForTheRest) {
  std::mt19937 gen(6);
  std::string euc = "\n\n" + RandomEuc(gen, std::size_t{3} << 20, 0);
  EXPECT_EQ(EucToSjis(euc, 3), EucToSjis(euc, 1));
}

}  // namespace
}  // namespace parvane
