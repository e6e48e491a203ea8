#include "LogoImage.h"

#include <QResource>

#include <cstring>

namespace logoimage {
namespace {

constexpr qsizetype kRowBytes = kWidth * 3;

} // namespace

QImage load() {
    return fromRaw(QResource(QString::fromLatin1(kResource)).uncompressedData());
}

QByteArray toRaw(const QImage& image) {
    if (image.size() != QSize(kWidth, kHeight))
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray raw;
    raw.reserve(kRowBytes * kHeight);
    for (int y = 0; y < kHeight; ++y)
        raw.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), kRowBytes);
    return raw;
}

QImage fromRaw(const QByteArray& raw) {
    if (raw.size() != kRowBytes * kHeight)
        return {};
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    for (int y = 0; y < kHeight; ++y)
        std::memcpy(image.scanLine(y), raw.constData() + y * kRowBytes, kRowBytes);
    return image;
}

} // namespace logoimage
