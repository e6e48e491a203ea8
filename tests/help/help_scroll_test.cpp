#include "help/HelpScroll.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using helpscroll::kFrameHeightTwips;
using helpscroll::kPictureHeightTwips;

namespace {

TEST(HelpScrollRange, rangeAtTheUsualScreenFactors) {
    struct Case {
        float twipsPerPixel;
        int maximum;
        int largeChange;
    };
    // 32085 / 10 = 3208.5 rounds to the even 3208; at 12 the quotient is 2673.75.
    for (const Case c : {Case{15.0f, 2139, 91}, Case{10.0f, 3208, 61}, Case{12.0f, 2674, 73},
                         Case{7.5f, 4278, 46}, Case{20.0f, 1604, 122}}) {
        const HelpScrollRange range =
            helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, c.twipsPerPixel);
        ASSERT_TRUE(range.ok) << c.twipsPerPixel;
        EXPECT_TRUE(range.error.isEmpty());
        EXPECT_EQ(range.maximum, c.maximum) << c.twipsPerPixel;
        EXPECT_EQ(range.largeChange, c.largeChange) << c.twipsPerPixel;
    }
}

TEST(HelpScrollRange, exactHalvesGoToTheEvenNeighbour) {
    // (H1 - H0) / 1 with H1 - H0 = 2.5 and 3.5.
    EXPECT_EQ(helpScrollRange(1.0f, 3.5f, 1.0f).maximum, 2);
    EXPECT_EQ(helpScrollRange(1.0f, 4.5f, 1.0f).maximum, 4);
    EXPECT_EQ(helpScrollRange(1.0f, 1.5f, 1.0f).maximum, 0);
    // Large step 1 * (H1 / H0): 2.5 / 1 and 3.5 / 1.
    EXPECT_EQ(helpScrollRange(1.0f, 2.5f, 1.0f).largeChange, 2);
    EXPECT_EQ(helpScrollRange(1.0f, 3.5f, 1.0f).largeChange, 4);
}

TEST(HelpScrollRange, maximumAlignsThePictureBottomWithTheFrameBottom) {
    for (float factor : {15.0f, 12.0f, 10.0f}) {
        const HelpScrollRange range =
            helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, factor);
        ASSERT_TRUE(range.ok);
        const float bottom = helpPictureTop(factor, range.maximum) + kPictureHeightTwips;
        // Rounding the maximum to whole pixels leaves at most half a pixel.
        EXPECT_LE(std::fabs(bottom - kFrameHeightTwips), factor / 2) << factor;
    }
    EXPECT_EQ(helpPictureTop(15.0f, 0), 0.0f);
    EXPECT_EQ(helpPictureTop(15.0f, 2139) + kPictureHeightTwips, kFrameHeightTwips);
}

TEST(HelpScrollRange, impossibleSizesAreErrorsNotCrashes) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const HelpScrollRange cases[] = {
        helpScrollRange(0.0f, kPictureHeightTwips, 15.0f),
        helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, 0.0f),
        helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, 0.5f),         // maximum 64170
        helpScrollRange(kFrameHeightTwips, 6315.0f + 32767.5f * 15.0f, 15.0f), // 32768 after
        helpScrollRange(1.0f, 40000.0f, 1.0f),                                 // large step 40000
        helpScrollRange(kFrameHeightTwips, inf, 15.0f),
        helpScrollRange(kFrameHeightTwips, nan, 15.0f),
        helpScrollRange(nan, kPictureHeightTwips, 15.0f),
        helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, nan),
        helpScrollRange(kFrameHeightTwips, kPictureHeightTwips, inf),
    };
    for (const HelpScrollRange& range : cases) {
        EXPECT_FALSE(range.ok);
        EXPECT_FALSE(range.error.isEmpty());
        EXPECT_EQ(range.maximum, 0);
        EXPECT_EQ(range.largeChange, 0);
    }
}

TEST(HelpScrollRange, sixteenBitLimitsAreInclusive) {
    const HelpScrollRange range = helpScrollRange(1.0f, 32768.0f, 1.0f);
    EXPECT_FALSE(range.ok); // maximum 32767 fits, large step 32768 does not
    const HelpScrollRange fits = helpScrollRange(2.0f, 32769.0f, 1.0f);
    ASSERT_TRUE(fits.ok);
    EXPECT_EQ(fits.maximum, 32767);
    EXPECT_EQ(fits.largeChange, 16384);
}

} // namespace
