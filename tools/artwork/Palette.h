#pragma once

#include <QImage>

// The picture with at most 256 colours, as QImage::Format_Indexed8. Colours that cover a fair
// part of the picture (backgrounds, fills, text) keep their exact value; the rest (the soft
// edges of text and lines) share entries found by median cut. No dithering, so flat areas stay
// flat. The result depends on the pixels alone.
QImage toIndexed8(const QImage& picture);
