#pragma once

#include <QString>

// The help frame and picture in twips.
namespace helpscroll {
inline constexpr float kFrameHeightTwips = 6315.0f;
inline constexpr float kPictureHeightTwips = 38400.0f;
} // namespace helpscroll

// The help scroll bar's range in pixels. On an error ok is false, error says why and the two
// numbers are 0.
struct HelpScrollRange {
    int maximum = 0;
    int largeChange = 0;
    bool ok = false;
    QString error;
};

// maximum = (H1 - H0) / pixelTwipsY and largeChange = pixelTwipsY * (H1 / H0), both in single
// precision, rounded to the nearest integer with halves to even, and both 16-bit. A frame
// height of 0, a value that is not finite or does not fit in 16 bits is an error.
HelpScrollRange helpScrollRange(float frameHeightTwips, float pictureHeightTwips,
                                float pixelTwipsY);

// The help picture's top in twips for scroll value value: pixelTwipsY * (-value).
float helpPictureTop(float pixelTwipsY, int value);
