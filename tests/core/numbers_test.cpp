// Integer fields and counter texts: rounding, saturation and fixed-width captions.
#include "game/numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace tilerush {

TEST(Numbers, IntegerFieldsRoundHalvesToEvenAndStopAtTheirEnds) {
  EXPECT_EQ(toInt16(103.6875), 104);
  EXPECT_EQ(toInt16(104.5), 104);
  EXPECT_EQ(toInt16(105.5), 106);
  EXPECT_EQ(toInt16(-182.49), -182);
  EXPECT_EQ(toInt16(-0.5), 0);
  EXPECT_EQ(toInt16(1e9), 32767);
  EXPECT_EQ(toInt16(-1e9), -32768);
  EXPECT_EQ(toInt16(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(toInt32(2.5), 2);
  EXPECT_EQ(toInt32(1e12), std::numeric_limits<std::int32_t>::max());
}

TEST(Numbers, TextHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(numberText(0), " 0");
  EXPECT_EQ(numberText(2), " 2");
  EXPECT_EQ(numberText(-1), "-1");
  EXPECT_EQ(numberText(100000120), " 100000120");
  EXPECT_EQ(numberText(12.5), " 12.5");
}

TEST(Numbers, CountersShowTheirLastDigitsOnly) {
  EXPECT_EQ(threeDigits(120), "120");
  EXPECT_EQ(threeDigits(56), "056");
  EXPECT_EQ(threeDigits(0), "000");
  EXPECT_EQ(threeDigits(5), "005");
  EXPECT_EQ(threeDigits(-1), "999");
  EXPECT_EQ(threeDigits(1234), "234");
  EXPECT_EQ(sixDigits(0), "000000");
  EXPECT_EQ(sixDigits(12340), "012340");
  EXPECT_EQ(sixDigits(1000010), "000010");
  EXPECT_EQ(sixDigits(1234560), "234560");
}

}  // namespace tilerush
