#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A calibration field is text; the same rule reads a packet's byte fields.
TEST(HexField, readsLeadingHexDigitsInEitherCase) {
    EXPECT_EQ(leadingHex(u"1A"), 26u);
    EXPECT_EQ(leadingHex(u"ff"), 255u);
    EXPECT_EQ(leadingHex(u"FF"), 255u);
    EXPECT_EQ(leadingHex(u"1Gz"), 1u);
    EXPECT_EQ(leadingHex(u"zz"), 0u);
    EXPECT_EQ(leadingHex(u" 1"), 0u);
    EXPECT_EQ(leadingHex(u""), 0u);
}

TEST(HexField, saturatesOverlongFields) {
    EXPECT_EQ(leadingHex(u"FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(leadingHex(u"123456789ABCDEF0123"), 0xFFFFFFFFu);
}

TEST(HexField, bytesAndTextReadAlike) {
    EXPECT_EQ(leadingHex(QByteArrayView("7F/")), 127u);
    EXPECT_EQ(leadingHex(QByteArrayView("\xff"
                                        "1")),
              0u);
    EXPECT_EQ(leadingHex(QByteArrayView("aB,9")), 0xABu);
}

TEST(LeadingDigits, readsOnlyTheDigitsAtTheStartAndCountsThem) {
    qsizetype digits = -1;
    EXPECT_EQ(leadingDigits(u"181)", &digits), 181);
    EXPECT_EQ(digits, 3);
    EXPECT_EQ(leadingDigits(u"007", &digits), 7);
    EXPECT_EQ(digits, 3);
    EXPECT_FALSE(leadingDigits(u"-1", &digits));
    EXPECT_EQ(digits, 0);
    EXPECT_FALSE(leadingDigits(u" 1"));
    EXPECT_FALSE(leadingDigits(u""));
    // 2^31 - 1 is still itself; anything longer stops at 2^31, whatever its length.
    EXPECT_EQ(leadingDigits(u"2147483647"), 2147483647);
    EXPECT_EQ(leadingDigits(u"2147483648"), 2147483648);
    EXPECT_EQ(leadingDigits(u"99999999999999999999999", &digits), 2147483648);
    EXPECT_EQ(digits, 23);
}

TEST(RoundHalfToEven, roundsHalvesToTheEvenNeighbourAndTheRestToTheNearest) {
    EXPECT_EQ(roundHalfToEven(0.5), 0.0);
    EXPECT_EQ(roundHalfToEven(1.5), 2.0);
    EXPECT_EQ(roundHalfToEven(2.5), 2.0);
    EXPECT_EQ(roundHalfToEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfToEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfToEven(2.4999999), 2.0);
    EXPECT_EQ(roundHalfToEven(2.5000001), 3.0);
    EXPECT_EQ(roundHalfToEven(-0.7), -1.0);
    EXPECT_EQ(roundHalfToEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_TRUE(std::isinf(roundHalfToEven(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(roundHalfToEven(std::nan(""))));
}

} // namespace
