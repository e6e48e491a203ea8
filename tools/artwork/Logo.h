#pragma once

#include <QImage>

// The maker's wordmark for the window's logo box: 160 x 33 pixels on white, 24-bit colour
// (QImage::Format_RGB888, no alpha). A scale of 2 draws the same picture at twice the size,
// for screens at 200%.
QImage drawLogo(int scale = 1);
