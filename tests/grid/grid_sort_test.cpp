#include "grid/GridSort.h"

#include <gtest/gtest.h>

#include <cmath>

using gridsort::leadingShownNumber;
using gridsort::sortedOrder;

namespace {

std::vector<QString> texts(std::initializer_list<const char*> items) {
    std::vector<QString> out;
    for (const char* item : items)
        out.push_back(QString::fromUtf8(item));
    return out;
}

// The keys in the order a code puts them.
std::vector<QString> sorted(const std::vector<QString>& keys, int code) {
    std::vector<QString> out;
    for (int i : sortedOrder(keys, code))
        out.push_back(keys[static_cast<size_t>(i)]);
    return out;
}

} // namespace

TEST(LeadingNumber, readsTheNumberATextStartsWith) {
    EXPECT_EQ(leadingShownNumber("10kHz"), 10.0);
    EXPECT_EQ(leadingShownNumber("1kHz"), 1.0);
    EXPECT_EQ(leadingShownNumber("-0.010"), -0.01);
    EXPECT_EQ(leadingShownNumber("+2.5 mm"), 2.5);
    EXPECT_EQ(leadingShownNumber("  42"), 42.0);
    EXPECT_EQ(leadingShownNumber(".5"), 0.5);
    EXPECT_EQ(leadingShownNumber("1.40"), 1.4);
    EXPECT_EQ(leadingShownNumber("2012.01.01 00:00:00"), 2012.01);
}

TEST(LeadingNumber, acceptsACommaAsDecimalSeparatorOnlyBeforeADigit) {
    EXPECT_EQ(leadingShownNumber("1,5"), 1.5);
    EXPECT_EQ(leadingShownNumber("7,"), 7.0);
    EXPECT_EQ(leadingShownNumber("7.x"), 7.0);
    EXPECT_EQ(leadingShownNumber("1.2.3"), 1.2);
}

TEST(LeadingNumber, textsWithoutADigitHaveNoNumber) {
    EXPECT_FALSE(leadingShownNumber("-"));
    EXPECT_FALSE(leadingShownNumber(""));
    EXPECT_FALSE(leadingShownNumber("kHz"));
    EXPECT_FALSE(leadingShownNumber("---.--.-- --:--:--"));
    EXPECT_FALSE(leadingShownNumber("."));
    EXPECT_FALSE(leadingShownNumber("+"));
    // Digits of other scripts are not read as numbers.
    EXPECT_FALSE(leadingShownNumber(QString::fromUtf8("\u0663")));
}

TEST(LeadingNumber, hugeNumbersBecomeInfinitiesOfTheirSign) {
    const QString huge = QString(400, u'9');
    ASSERT_TRUE(leadingShownNumber(huge));
    EXPECT_TRUE(std::isinf(*leadingShownNumber(huge)));
    EXPECT_GT(*leadingShownNumber(huge), 0);
    EXPECT_LT(*leadingShownNumber("-" + huge), 0);
}

TEST(PlainNumber, aWholeTextNumberGivesItsValueAndShownDecimalsAndAnythingMoreGivesNone) {
    const auto expect = [](const char* text, double value, int decimals) {
        const auto number = gridsort::plainNumber(QString::fromLatin1(text));
        ASSERT_TRUE(number) << text;
        EXPECT_EQ(number->value, value) << text;
        EXPECT_EQ(number->decimals, decimals) << text;
    };
    expect("10.00", 10.0, 2);
    expect("-0.390", -0.39, 3);
    expect("1,5", 1.5, 1);
    expect("5120", 5120.0, 0);
    expect("  7", 7.0, 0);
    for (const char* text : {"10kHz", "1.40 ", "7,", "1.2.3", "-", "", "2012.01.01 02:17:26"})
        EXPECT_FALSE(gridsort::plainNumber(QString::fromLatin1(text))) << text;
}

TEST(SortedOrder, numericOrderReadsLeadingNumbersNotText) {
    EXPECT_EQ(sorted(texts({"10kHz", "1kHz", "5kHz"}), 3), texts({"1kHz", "5kHz", "10kHz"}));
    EXPECT_EQ(sorted(texts({"10", "2", "-3.5", "100"}), 3), texts({"-3.5", "2", "10", "100"}));
    EXPECT_EQ(sorted(texts({"10", "2", "-3.5", "100"}), 4), texts({"100", "10", "2", "-3.5"}));
}

TEST(SortedOrder, textsWithoutNumberGoAfterNumbersAscendingAndBeforeDescending) {
    const auto keys = texts({"-", "5", "", "1", "x"});
    EXPECT_EQ(sorted(keys, 3), texts({"1", "5", "-", "", "x"}));
    EXPECT_EQ(sorted(keys, 4), texts({"-", "", "x", "5", "1"}));
}

TEST(SortedOrder, equalKeysKeepTheirOrderInBothDirections) {
    // Indices tell apart keys that compare equal.
    const auto numeric = texts({"2", "1", "2.0", "1kHz", "2x"});
    EXPECT_EQ(sortedOrder(numeric, 3), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(sortedOrder(numeric, 4), (std::vector<int>{0, 2, 4, 1, 3}));

    const auto noCase = texts({"rms", "Peak", "RMS", "peak", "Rms"});
    EXPECT_EQ(sortedOrder(noCase, 5), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(sortedOrder(noCase, 6), (std::vector<int>{0, 2, 4, 1, 3}));
}

TEST(SortedOrder, caseSensitiveCodesCompareOrdinally) {
    const auto keys = texts({"b", "B", "a", "A"});
    EXPECT_EQ(sorted(keys, 7), texts({"A", "B", "a", "b"}));
    EXPECT_EQ(sorted(keys, 8), texts({"b", "a", "B", "A"}));
    EXPECT_EQ(sorted(keys, 5), texts({"a", "A", "b", "B"}));
    EXPECT_EQ(sorted(keys, 6), texts({"b", "B", "a", "A"}));
}

TEST(SortedOrder, timestampsSortAsTextInTimeOrder) {
    const auto keys = texts({"2012.03.01 00:00:00", "2012.01.31 23:59:59", "2013.01.01 00:00:00"});
    EXPECT_EQ(sortedOrder(keys, 7), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(sortedOrder(keys, 8), (std::vector<int>{2, 0, 1}));
}

TEST(SortedOrder, unknownCodesKeepTheOrder) {
    const auto keys = texts({"b", "a", "c"});
    for (int code : {0, 1, 2, 9, -1})
        EXPECT_EQ(sortedOrder(keys, code), (std::vector<int>{0, 1, 2})) << code;
    EXPECT_TRUE(sortedOrder({}, 3).empty());
}
