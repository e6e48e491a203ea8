#pragma once

#include "help/HelpScroll.h"
#include "qt/Twips.h"

#include <QRect>

// Where the window's controls lie, in twips: one named rectangle for each.
namespace layout {

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The rectangle in whole pixels on a screen of the given factor.
inline QRect pixelRect(const TwipsRect& r, double twipsPerPixel) {
    return {twips::toPixels(r.left, twipsPerPixel), twips::toPixels(r.top, twipsPerPixel),
            twips::toPixels(r.width, twipsPerPixel), twips::toPixels(r.height, twipsPerPixel)};
}

inline constexpr int kClientWidth = 14640;
inline constexpr int kClientHeight = 6870;

// The right-hand column of captions, lists and buttons.
inline constexpr int kColumnLeft = 11760;
inline constexpr int kColumnWidth = 2415;

// Both grids and, once placed, the help frame share one rectangle. The frame has the help
// page's own height.
inline constexpr TwipsRect kTable{240, 240, 11265, static_cast<int>(helpscroll::kFrameHeightTwips)};
// The help frame where it is drawn at design time, before start-up moves it over the table.
inline constexpr TwipsRect kHelpDesign{kTable.left, 4440, kTable.width, kTable.height};
// Within the help frame.
inline constexpr TwipsRect kHelpPicture{0, 840, kTable.width,
                                        static_cast<int>(helpscroll::kPictureHeightTwips)};
inline constexpr TwipsRect kHelpScrollBar{10965, 0, 300, 6300};

inline constexpr TwipsRect kLogo{kColumnLeft, 240, 2400, 600};
inline constexpr TwipsRect kStatusCaption{kColumnLeft, 1080, 735, 255};
inline constexpr TwipsRect kStatusOutline{kColumnLeft, 1320, kColumnWidth, 705};
inline constexpr TwipsRect kStatusState{11820, 1380, 2055, 240};
inline constexpr TwipsRect kStatusDetail{11820, 1680, 2055, 240};
inline constexpr TwipsRect kConnectionCaption{kColumnLeft, 2280, 990, 225};
inline constexpr TwipsRect kConnectionList{kColumnLeft, 2520, kColumnWidth, 1155};
inline constexpr TwipsRect kExportAll{kColumnLeft, 4080, kColumnWidth, 555};
inline constexpr TwipsRect kExportSelection{kColumnLeft, 4680, kColumnWidth, 555};
inline constexpr TwipsRect kClear{kColumnLeft, 5400, kColumnWidth, 555};
inline constexpr TwipsRect kHelp{kColumnLeft, 6000, kColumnWidth, 555};

} // namespace layout
