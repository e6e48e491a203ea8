#include "LogoImage.h"

#include <QResource>

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
    // A view of the bytes, copied so the image outlives them.
    return QImage(reinterpret_cast<const uchar*>(raw.constData()), kWidth, kHeight, kRowBytes,
                  QImage::Format_RGB888)
        .copy();
}

} // namespace logoimage
