#pragma once

#include <QByteArray>
#include <QImage>

// The logo is compiled in as bare 24-bit pixel rows rather than as a PNG: the first image read
// through the toolkit's readers loads every image-format plugin, which cost more of start-up
// than anything else the logo needs.
namespace logoimage {

inline constexpr int kWidth = 160;
inline constexpr int kHeight = 33;
inline constexpr const char* kResource = ":/px417/logo.rgb";

// The compiled-in logo, or a null image when the resource is missing or has the wrong size.
QImage load();

// A 160 x 33 image as the bare rows the resource holds: red, green, blue per pixel, top row
// first, no padding. Empty for an image of another size.
QByteArray toRaw(const QImage& image);

// The image of such rows; null when the size does not match.
QImage fromRaw(const QByteArray& raw);

} // namespace logoimage
