#include "runtime/core/float_conversion.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FloatConversion, TruncatesTowardZeroInsideTheRange) {
  EXPECT_EQ(float_to_int32(299.99), 299);
  EXPECT_EQ(float_to_int32(-0.5), 0);
  EXPECT_EQ(float_to_int32(-1.5), -1);
  EXPECT_EQ(float_to_int32(2147483647.9), INT32_MAX);
  EXPECT_EQ(float_to_int32(-2147483648.9), INT32_MIN);
  EXPECT_EQ(float_to_int32(413.0f), 413);
}

TEST(FloatConversion, NaNAndOutOfRangeGiveIntMin) {
  EXPECT_EQ(float_to_int32(2147483648.0), INT32_MIN);
  EXPECT_EQ(float_to_int32(-2147483649.0), INT32_MIN);
  EXPECT_EQ(float_to_int32(1e30f), INT32_MIN);
  EXPECT_EQ(float_to_int32(std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(float_to_int32(-std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(float_to_int32(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
}

}  // namespace
