#include "link/FieldRules.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cmath>

TEST(FieldRules, leadingDecimalReadsOnlyTheNumberAtTheStart) {
    const std::pair<QByteArray, double> cases[] = {
        {"57,01", 57},  {"  \t12abc", 12}, {"-3", -3},
        {"+4", 4},      {".5", 0.5},       {"1E+2x", 100},
        {"15e-1", 1.5}, {"7e", 7},         {"7e+", 7},
        {"", 0},        {"abc", 0},        {"-", 0},
        {".", 0},       {"12\xB5", 12},    {"\xFF\x31", 0},
        {"1e-999", 0},  {"0e999999", 0},   {"99999999999999999999", 1e20}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(leadingDecimal(text), value) << text.toStdString();
}

TEST(FieldRules, leadingDecimalOverflowIsInfiniteNotUndefined) {
    EXPECT_EQ(leadingDecimal("1e999"), INFINITY);
    EXPECT_EQ(leadingDecimal("-1e999"), -INFINITY);
    EXPECT_EQ(leadingDecimal(QByteArray(500, '9')), INFINITY);
    EXPECT_EQ(leadingDecimal("1e99999999999999999999999"), INFINITY);
    // Many digits that a large negative exponent brings back into range.
    EXPECT_DOUBLE_EQ(leadingDecimal("1" + QByteArray(400, '0') + "e-398"), 100.0);
}

TEST(FieldRules, leadingHexReadsEitherCaseAndSaturates) {
    const std::pair<QByteArray, quint32> cases[] = {{"ff", 255},
                                                    {"FF", 255},
                                                    {"1A", 26},
                                                    {"aG", 10},
                                                    {"9f\xB5", 159},
                                                    {"", 0},
                                                    {"G1", 0},
                                                    {" 1", 0},
                                                    {"-1", 0},
                                                    {"FFFFFFFF", 0xFFFFFFFF},
                                                    {"100000000", 0xFFFFFFFF},
                                                    {QByteArray(1000, 'f'), 0xFFFFFFFF},
                                                    {"0000000000000000001", 1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(leadingHex(text), value) << text.left(20).toStdString();
}

TEST(FieldRules, slotNumberRoundsHalvesToEvenAndRejectsOtherSlots) {
    const std::pair<QByteArray, std::optional<int>> cases[] = {
        {"4.5", 4},
        {"5.5", 6},
        {"5.5001", 6},
        {"-0.5", 0},
        {"100.5", 100},
        {"1e2", 100},
        {"abc", 0},
        {"", 0},
        {"-1", std::nullopt},
        {"-0.6", std::nullopt},
        {"100.6", std::nullopt},
        {"101", std::nullopt},
        {"1e9", std::nullopt},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"-1e999", std::nullopt}};
    for (const auto& [text, slot] : cases)
        EXPECT_EQ(slotNumber(text), slot) << text.toStdString();
}
