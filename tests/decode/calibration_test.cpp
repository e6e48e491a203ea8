#include "decode/Calibration.h"

#include <gtest/gtest.h>

namespace {

TEST(CalibrationRecord, buildsSixFactorsLowByteFirst) {
    const CalibrationFactors k = parseCalibration(u"100,03,02,F4,01,00,00,FF,FF,0a,00,xx,01,77,99");
    ASSERT_TRUE(k[0] && k[1] && k[2] && k[3] && k[4] && k[5]);
    EXPECT_EQ(*k[0], 15.0);
    EXPECT_EQ(*k[1], 0.0);
    EXPECT_EQ(*k[2], -500.0);
    EXPECT_EQ(*k[3], 65035.0);
    EXPECT_EQ(*k[4], -490.0);
    EXPECT_EQ(*k[5], -244.0);
}

TEST(CalibrationRecord, shortRecordLeavesMissingWordsAbsent) {
    const CalibrationFactors twelve = parseCalibration(u"100,03,02,00,00,00,00,00,00,00,00,00");
    EXPECT_TRUE(twelve[4].has_value());
    EXPECT_FALSE(twelve[5].has_value());

    const CalibrationFactors half = parseCalibration(u"100,03,02,05");
    EXPECT_EQ(half[0], 15.0);
    EXPECT_FALSE(half[1].has_value());

    const CalibrationFactors empty = parseCalibration(u"");
    for (const auto& factor : empty)
        EXPECT_FALSE(factor.has_value());
}

TEST(CalibrationRecord, emptyFieldsCountAsZero) {
    EXPECT_EQ(parseCalibration(u"100,,,")[0], -500.0);
}

} // namespace
