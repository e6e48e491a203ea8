#include "DecodeTestSupport.h"
#include "decode/RecordDecoder.h"

#include <gtest/gtest.h>

namespace {

const QString kDash = QStringLiteral("-");

CalibrationFactors factorsAll(double k) {
    CalibrationFactors factors;
    factors.fill(k);
    return factors;
}

RowTexts decode(const RecordFields& fields, const CalibrationFactors& factors = factorsAll(1)) {
    return decodeRecord(1, fields.bytes(), factors);
}

QString column(const RowTexts& texts, int c) {
    return texts[static_cast<size_t>(c)];
}

TEST(WholeRecord, nineZeroBytes) {
    const RowTexts texts = decodeRecord(1, RecordBytes{}, factorsAll(15));
    EXPECT_EQ(toList(texts),
              (QStringList{"1", "2012.01.01 00:00:00", "Acceleration", "RMS", "0.000",
                           QString::fromUtf16(u"m/s\u00B2"), "0.00", "1kHz"}));
}

TEST(WholeRecord, calibratedAccelerationInG) {
    CalibrationFactors factors;
    factors[0] = 15.0;
    const RowTexts texts = decodeRecord(1, RecordBytes{54, 32, 0, 0, 173, 10, 140, 32, 0}, factors);
    EXPECT_EQ(toList(texts), (QStringList{"1", "2012.01.01 02:17:26", "Acceleration", "RMS",
                                          "1.000", "g", "1.40", "1kHz"}));
}

TEST(WholeRecord, eachModeUsesItsOwnFactor) {
    CalibrationFactors factors{10.0, 20.0, 30.0};
    const RecordFields velocity{.reading = 127, .mode = 1, .units = 4};
    EXPECT_EQ(column(decodeRecord(1, velocity.bytes(), factors), 4), "2.000");
    const RecordFields displacement{.reading = 127, .mode = 2, .units = 4};
    EXPECT_EQ(column(decodeRecord(1, displacement.bytes(), factors), 4), "3.000");
}

TEST(WholeRecord, negativeFactorGivesNegativeValue) {
    EXPECT_EQ(column(decode({.reading = 1, .units = 4}, factorsAll(-500)), 4), "-0.390");
}

TEST(WholeRecord, unreadBitsDoNotLeakIntoFields) {
    RecordBytes bytes = RecordFields{.reading = 4095, .units = 4}.bytes();
    bytes[5] |= 0xC0;
    bytes[7] |= 0x10;
    const RowTexts texts = decodeRecord(1, bytes, factorsAll(1270));
    EXPECT_EQ(column(texts, 2), "Acceleration");
    EXPECT_EQ(column(texts, 3), "RMS");
    EXPECT_EQ(column(texts, 4), "4100"); // Q = 4095000
    EXPECT_EQ(column(texts, 5), QString::fromUtf16(u"\u00B5m"));
}

TEST(OpenChoices, invalidTimestampShowsOnlySlotAndPlaceholder) {
    const RowTexts texts =
        decodeRecord(7, RecordBytes{255, 255, 255, 255, 1, 2, 3, 4, 5}, factorsAll(15));
    EXPECT_EQ(toList(texts),
              (QStringList{"7", "---.--.-- --:--:--", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(column(decode({.time = 2828390399u}), 1), "2099.12.31 23:59:59");
}

TEST(OpenChoices, missingModeShowsNoModeAndNoValue) {
    const RowTexts texts = decode({.reading = 100, .mode = 3, .crest = 5, .units = 1});
    EXPECT_EQ(toList(texts),
              (QStringList{"1", "2012.01.01 00:00:00", "-", "RMS", "-", "g", "0.05", "1kHz"}));
}

TEST(OpenChoices, filtersPastTheTableShowDash) {
    EXPECT_EQ(column(decode({.filter = 3}), 7), kDash);
    EXPECT_EQ(column(decode({.filter = 31}), 7), kDash);
    EXPECT_EQ(column(decode({.filter = 31}), 4), "0.000");
}

TEST(OpenChoices, temperatureUnitsShowNameButNoValue) {
    const RowTexts celsius = decode({.reading = 100, .units = 6});
    EXPECT_EQ(column(celsius, 5), QString::fromUtf16(u"\u00B0C"));
    EXPECT_EQ(column(celsius, 4), kDash);
    const RowTexts fahrenheit = decode({.reading = 100, .units = 7});
    EXPECT_EQ(column(fahrenheit, 5), QString::fromUtf16(u"\u00B0F"));
    EXPECT_EQ(column(fahrenheit, 4), kDash);
}

TEST(OpenChoices, absentFactorShowsDashOnlyForItsMode) {
    CalibrationFactors factors;
    factors[0] = 15.0;
    EXPECT_EQ(column(decode({.mode = 0}, factors), 4), "0.000");
    const RowTexts velocity = decode({.mode = 1}, factors);
    EXPECT_EQ(column(velocity, 4), kDash);
    EXPECT_EQ(column(velocity, 2), "Velocity");
}

TEST(OpenChoices, undecodableBytesGiveAPlaceholderRow) {
    EXPECT_EQ(toList(decodeRecord(42, std::nullopt, factorsAll(1))),
              (QStringList{"42", "---.--.-- --:--:--", "-", "-", "-", "-", "-", "-"}));
}

TEST(ByteCells, acceptOnlyDecimalBytes) {
    EXPECT_EQ(parseByteText(u"0"), quint8{0});
    EXPECT_EQ(parseByteText(u"255"), quint8{255});
    EXPECT_EQ(parseByteText(u"007"), quint8{7});
    for (const QStringView bad : {u"", u"256", u"-1", u"+1", u" 5", u"5 ", u"1.0", u"ff",
                                  u"99999999999999999999", u"\u0661"})
        EXPECT_FALSE(parseByteText(bad).has_value()) << bad.toString().toStdString();
}

TEST(ByteCells, oneBadCellRejectsTheRecord) {
    GridState slotTable = makeSlotTable();
    putRecord(slotTable, 3, RecordFields{.time = 8246}.bytes());
    ASSERT_TRUE(readRecordBytes(slotTable, 3).has_value());
    EXPECT_EQ(readRecordBytes(slotTable, 3)->at(0), 54);
    slotTable.setTextMatrix(3, 9, QStringLiteral("300"));
    EXPECT_FALSE(readRecordBytes(slotTable, 3).has_value());
    EXPECT_FALSE(readRecordBytes(slotTable, 4).has_value());
}

} // namespace
