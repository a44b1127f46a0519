#include "text/integer.h"

#include <gtest/gtest.h>

namespace parvane {
namespace {

TEST(IntegerTest, DecimalTakesSpacesSignAndDigitsOnly) {
  EXPECT_EQ(ParseDecimal("10"), 10);
  EXPECT_EQ(ParseDecimal("  +7"), 7);
  EXPECT_EQ(ParseDecimal("-3"), -3);
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("2147483648"), std::nullopt);
  for (const char* text : {"$10", "0x10", "x10", "1e3", "10 ", "", " ", "-", "１０"}) {
    EXPECT_EQ(ParseDecimal(text), std::nullopt) << text;
  }
  // The general conversion still reads hexadecimal where parameters allow it.
  EXPECT_EQ(ParseInteger("$10"), 16);
}

}  // namespace
}  // namespace parvane
