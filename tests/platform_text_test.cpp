// Number reading and writing, upper case, and degree trigonometry.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/platform.h"

TEST(PlatformText, StringToIntReadsDecimalBinaryAndHex) {
    EXPECT_EQ(StringToInt(" 12abc"), 12);
    EXPECT_EQ(StringToInt("$A"), 10);
    EXPECT_EQ(StringToInt("$ff"), 255);
    EXPECT_EQ(StringToInt("%1011"), 11);
    EXPECT_EQ(StringToInt("%102"), 2);  // stops at the first non-binary digit
    EXPECT_EQ(StringToInt("-3"), -3);
    EXPECT_EQ(StringToInt("+7"), 7);
    EXPECT_EQ(StringToInt("-$10"), -16);
    EXPECT_EQ(StringToInt("\t\r\n 42\r"), 42);
    EXPECT_EQ(StringToInt("0042"), 42);
}

TEST(PlatformText, StringToIntGivesZeroWithoutDigits) {
    EXPECT_EQ(StringToInt("abc"), 0);
    EXPECT_EQ(StringToInt(""), 0);
    EXPECT_EQ(StringToInt("-"), 0);
    EXPECT_EQ(StringToInt("$"), 0);
    EXPECT_EQ(StringToInt("$G1"), 0);
    EXPECT_EQ(StringToInt("- 5"), 0);  // no space between sign and digits
    EXPECT_EQ(StringToInt("1 2"), 1);
}

TEST(PlatformText, OverflowSaturatesAtTheLimits) {
    EXPECT_EQ(StringToInt("2147483647"), 2147483647);
    EXPECT_EQ(StringToInt("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(StringToInt("2147483648"), 2147483647);
    EXPECT_EQ(StringToInt("99999999999999999999999"), 2147483647);
    EXPECT_EQ(StringToInt("-99999999999999999999999"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(StringToInt("$FFFFFFFFFF"), 2147483647);
    EXPECT_EQ(StringToLong("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(StringToLong("9223372036854775808"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(StringToLong("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(StringToLong("-99999999999999999999999"), std::numeric_limits<int64_t>::min());
}

TEST(PlatformText, StringToLongReadsScoresBeyond32Bits) {
    EXPECT_EQ(StringToLong("12345678901"), 12345678901LL);
    EXPECT_EQ(StringToLong(" -5000000000x"), -5000000000LL);
    EXPECT_EQ(StringToLong("$100000000"), 4294967296LL);
    EXPECT_EQ(StringToLong("nothing"), 0);
}

TEST(PlatformText, StringAndUpper) {
    EXPECT_EQ(String(0), "0");
    EXPECT_EQ(String(-42), "-42");
    EXPECT_EQ(String(12345678901LL), "12345678901");
    EXPECT_EQ(String(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(Upper("abc XYZ 09 _-!{z}\xE9"), "ABC XYZ 09 _-!{Z}\xE9");
}

TEST(PlatformDegrees, SinCosAtan2InDegrees) {
    EXPECT_EQ(Sin(30), static_cast<float>(std::sin(30 * (M_PI / 180.0))));
    EXPECT_FLOAT_EQ(Sin(30), 0.5f);
    EXPECT_FLOAT_EQ(Cos(60), 0.5f);
    EXPECT_FLOAT_EQ(Sin(-90), -1.0f);
    EXPECT_FLOAT_EQ(Cos(180), -1.0f);
    EXPECT_NEAR(Cos(90), 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(ATan2(1, 1), 45.0f);
    EXPECT_FLOAT_EQ(ATan2(1, 0), 90.0f);
    EXPECT_FLOAT_EQ(ATan2(0, -1), 180.0f);
    EXPECT_FLOAT_EQ(ATan2(-1, -1), -135.0f);
    EXPECT_EQ(ATan2(0, 0), 0.0f);
}
