#include "FieldRules.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cmath>

TEST(LeadingDecimal, readsTheNumberAtTheStartAndStopsAtTheFirstOtherByte) {
    EXPECT_EQ(leadingDecimal("57"), 57.0);
    EXPECT_EQ(leadingDecimal("57,01,02"), 57.0);
    EXPECT_EQ(leadingDecimal("  \t12abc"), 12.0);
    EXPECT_EQ(leadingDecimal("-3"), -3.0);
    EXPECT_EQ(leadingDecimal("+4"), 4.0);
    EXPECT_EQ(leadingDecimal("2.5"), 2.5);
    EXPECT_EQ(leadingDecimal(".5"), 0.5);
    EXPECT_EQ(leadingDecimal("1e2"), 100.0);
    EXPECT_EQ(leadingDecimal("1E+2x"), 100.0);
    EXPECT_EQ(leadingDecimal("15e-1"), 1.5);
}

TEST(LeadingDecimal, textWithoutALeadingNumberGivesZero) {
    EXPECT_EQ(leadingDecimal(""), 0.0);
    EXPECT_EQ(leadingDecimal("abc"), 0.0);
    EXPECT_EQ(leadingDecimal("-"), 0.0);
    EXPECT_EQ(leadingDecimal("."), 0.0);
    EXPECT_EQ(leadingDecimal("x12"), 0.0);
}

TEST(LeadingDecimal, anExponentWithoutDigitsIsNotPartOfTheNumber) {
    EXPECT_EQ(leadingDecimal("7e"), 7.0);
    EXPECT_EQ(leadingDecimal("7e+"), 7.0);
    EXPECT_EQ(leadingDecimal("7,e5"), 7.0);
}

TEST(LeadingDecimal, hugeAndTinyValuesStayWellDefined) {
    EXPECT_EQ(leadingDecimal("99999999999999999999"), 1e20);
    EXPECT_TRUE(std::isinf(leadingDecimal("1e999")));
    EXPECT_GT(leadingDecimal("1e999"), 0.0);
    EXPECT_LT(leadingDecimal("-1e999"), 0.0);
    EXPECT_TRUE(std::isinf(leadingDecimal(QByteArray(500, '9'))));
    EXPECT_TRUE(std::isinf(leadingDecimal("1e99999999999999999999999")));
    EXPECT_EQ(leadingDecimal("1e-999"), 0.0);
    EXPECT_EQ(leadingDecimal("0." + QByteArray(400, '0') + "1"), 0.0);
    EXPECT_EQ(leadingDecimal("0e999999"), 0.0);
    // Many digits that cancel a large negative exponent are in range.
    EXPECT_DOUBLE_EQ(leadingDecimal("1" + QByteArray(400, '0') + "e-398"), 100.0);
}

TEST(LeadingDecimal, bytesAboveAsciiEndTheNumber) {
    EXPECT_EQ(leadingDecimal("12\xB5"), 12.0);
    EXPECT_EQ(leadingDecimal("\xFF"
                             "12"),
              0.0);
}

TEST(LeadingHex, readsDigitsOfEitherCaseUntilTheFirstOtherByte) {
    EXPECT_EQ(leadingHex("ff"), 255u);
    EXPECT_EQ(leadingHex("FF"), 255u);
    EXPECT_EQ(leadingHex("1A"), 26u);
    EXPECT_EQ(leadingHex("09"), 9u);
    EXPECT_EQ(leadingHex("aG"), 10u);
    EXPECT_EQ(leadingHex("9f\xB5"), 159u);
}

TEST(LeadingHex, noLeadingDigitGivesZero) {
    EXPECT_EQ(leadingHex(""), 0u);
    EXPECT_EQ(leadingHex("G1"), 0u);
    EXPECT_EQ(leadingHex(" 1"), 0u);
    EXPECT_EQ(leadingHex("-1"), 0u);
}

TEST(LeadingHex, longDigitStringsSaturate) {
    EXPECT_EQ(leadingHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(leadingHex("100000000"), 0xFFFFFFFFu);
    EXPECT_EQ(leadingHex(QByteArray(1000, 'f')), 0xFFFFFFFFu);
    EXPECT_EQ(leadingHex("0000000000000000001"), 1u);
}

TEST(SlotNumber, roundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(slotNumber("4.5"), 4);
    EXPECT_EQ(slotNumber("5.5"), 6);
    EXPECT_EQ(slotNumber("5.4999"), 5);
    EXPECT_EQ(slotNumber("5.5001"), 6);
    EXPECT_EQ(slotNumber("0.5"), 0);
    EXPECT_EQ(slotNumber("-0.5"), 0);
    EXPECT_EQ(slotNumber("-0.4"), 0);
    EXPECT_EQ(slotNumber("100.5"), 100);
    EXPECT_EQ(slotNumber("99.5"), 100);
}

TEST(SlotNumber, aFieldWithoutANumberIsSlotZero) {
    EXPECT_EQ(slotNumber(""), 0);
    EXPECT_EQ(slotNumber("abc"), 0);
    EXPECT_EQ(slotNumber(" "), 0);
}

TEST(SlotNumber, numbersOutsideTheMetersSlotsAreNotSlots) {
    EXPECT_EQ(slotNumber("-1"), std::nullopt);
    EXPECT_EQ(slotNumber("-0.6"), std::nullopt);
    EXPECT_EQ(slotNumber("100.6"), std::nullopt);
    EXPECT_EQ(slotNumber("101"), std::nullopt);
    EXPECT_EQ(slotNumber("1e9"), std::nullopt);
    EXPECT_EQ(slotNumber("99999999999999999999"), std::nullopt);
    EXPECT_EQ(slotNumber("1e999"), std::nullopt);
    EXPECT_EQ(slotNumber("-1e999"), std::nullopt);
    EXPECT_EQ(slotNumber("2147483648"), std::nullopt);
    EXPECT_EQ(slotNumber("1e2"), 100);
}
