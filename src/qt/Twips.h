#pragma once

#include <cmath>

// Twips are 1/1440 inch; the layout is given in them. A screen's factor is 1440 / dpi
// (15 at 96 dpi).
namespace twips {

inline constexpr double kPerInch = 1440.0;

// Twips per pixel for a screen of the given logical dots per inch.
inline double perPixel(double dotsPerInch) {
    return dotsPerInch > 0 ? kPerInch / dotsPerInch : 15.0;
}

// Whole pixels for a length in twips, rounded to the nearest pixel.
inline int toPixels(double lengthTwips, double twipsPerPixel) {
    return static_cast<int>(std::lround(lengthTwips / twipsPerPixel));
}

// A pixel length expressed in twips.
inline double fromPixels(double pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}

} // namespace twips
