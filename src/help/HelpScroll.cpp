#include "help/HelpScroll.h"

#include "text/NumberText.h"

#include <cmath>
#include <optional>

namespace {

constexpr float kInt16Min = -32768.0f;
constexpr float kInt16Max = 32767.0f;

// Nearest integer with exact halves to the even neighbour; nothing when not finite or outside
// 16 bits.
std::optional<int> roundToInt16(float value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfToEven(value);
    if (rounded < kInt16Min || rounded > kInt16Max)
        return std::nullopt;
    return static_cast<int>(rounded);
}

HelpScrollRange failed(const QString& why) {
    HelpScrollRange range;
    range.error = why;
    return range;
}

} // namespace

HelpScrollRange helpScrollRange(float frameHeightTwips, float pictureHeightTwips,
                                float pixelTwipsY) {
    if (frameHeightTwips == 0.0f)
        return failed(QStringLiteral("Help frame height is 0"));
    if (pixelTwipsY == 0.0f)
        return failed(QStringLiteral("Screen factor is 0"));

    const float maximum = (pictureHeightTwips - frameHeightTwips) / pixelTwipsY;
    const float largeChange = pixelTwipsY * (pictureHeightTwips / frameHeightTwips);
    const std::optional<int> roundedMaximum = roundToInt16(maximum);
    if (!roundedMaximum)
        return failed(QStringLiteral("Help scroll maximum out of range"));
    const std::optional<int> roundedLargeChange = roundToInt16(largeChange);
    if (!roundedLargeChange)
        return failed(QStringLiteral("Help scroll step out of range"));

    HelpScrollRange range;
    range.maximum = *roundedMaximum;
    range.largeChange = *roundedLargeChange;
    range.ok = true;
    return range;
}

float helpPictureTop(float pixelTwipsY, int value) {
    return pixelTwipsY * -static_cast<float>(value);
}
