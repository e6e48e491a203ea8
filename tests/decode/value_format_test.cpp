#include "DecodeTestSupport.h"
#include "decode/DecodeMemory.h"
#include "decode/ValueFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ReadingCase {
    double q;
    const char* text;
};

void PrintTo(const ReadingCase& c, std::ostream* os) {
    *os << c.q;
}

class ReadingFormat : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingFormat, reducesToThreeSignificantDigits) {
    EXPECT_EQ(formatReading(GetParam().q), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Thresholds, ReadingFormat,
                         ::testing::Values(ReadingCase{0, "0.000"}, ReadingCase{9949, "9.950"},
                                           ReadingCase{9950, "10.00"}, ReadingCase{99499, "99.50"},
                                           ReadingCase{99500, "100.0"},
                                           ReadingCase{994999, "995.0"},
                                           ReadingCase{995000, "1000"}, ReadingCase{19100, "19.10"},
                                           ReadingCase{123456, "123.0"},
                                           ReadingCase{1234567, "1230"},
                                           ReadingCase{12345678, "12350"}));

INSTANTIATE_TEST_SUITE_P(Negatives, ReadingFormat,
                         ::testing::Values(ReadingCase{-6, "-0.010"}, ReadingCase{-3, "0.000"},
                                           ReadingCase{-5, "0.000"}, ReadingCase{-11953, "-11.950"},
                                           ReadingCase{-1600000, "-1600.000"}));

// Halves go to the even neighbour before the reduction; 4.5 and 14.5 would show more if
// rounded up, 9949.6 would show less if truncated.
INSTANTIATE_TEST_SUITE_P(Rounding, ReadingFormat,
                         ::testing::Values(ReadingCase{4.5, "0.000"}, ReadingCase{4.6, "0.010"},
                                           ReadingCase{14.5, "0.010"}, ReadingCase{5.5, "0.010"},
                                           ReadingCase{9949.6, "10.00"}));

// Past 32 bits the sum is taken on 64 bits instead of wrapping; past exactness it is "-".
INSTANTIATE_TEST_SUITE_P(
    Large, ReadingFormat,
    ::testing::Values(ReadingCase{2147483647.0, "2147480"},
                      ReadingCase{13848731516161.418, "13848731520"},
                      ReadingCase{kMaxExactReading, "-"}, ReadingCase{-kMaxExactReading, "-"},
                      ReadingCase{std::numeric_limits<double>::infinity(), "-"},
                      ReadingCase{std::numeric_limits<double>::quiet_NaN(), "-"}));

TEST(ValueStep, scalesInTheStatedOrder) {
    EXPECT_EQ(scaledReading(2733, 15.0, 1, 40995), 1000.0);
    EXPECT_EQ(scaledReading(1000, 254.0, 200, 1270), 1000.0);
    EXPECT_DOUBLE_EQ(scaledReading(1, -500.0, 1, 1270), -500000.0 / 1270.0);
}

TEST(FormatMask, buildsPatternForEachDecimalCount) {
    EXPECT_EQ(BuildFormatMask(-32768), QString());
    EXPECT_EQ(BuildFormatMask(-1), QString());
    EXPECT_EQ(BuildFormatMask(0), QStringLiteral("0"));
    EXPECT_EQ(BuildFormatMask(1), QStringLiteral("0.0"));
    EXPECT_EQ(BuildFormatMask(2), QStringLiteral("0.00"));
    EXPECT_EQ(BuildFormatMask(3), QStringLiteral("0.000"));
}

TEST(FormatWithPattern, showsExactlyThePatternsDecimals) {
    EXPECT_EQ(formatWithPattern(1.4, u"0.00"), QStringLiteral("1.40"));
    EXPECT_EQ(formatWithPattern(10.23, u"0.00"), QStringLiteral("10.23"));
    EXPECT_EQ(formatWithPattern(0.29, u"0.00"), QStringLiteral("0.29"));
    EXPECT_EQ(formatWithPattern(1230, u"0"), QStringLiteral("1230"));
    EXPECT_EQ(formatWithPattern(-0.0, u"0.000"), QStringLiteral("0.000"));
}

} // namespace
