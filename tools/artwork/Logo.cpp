#include "Logo.h"

#include "Style.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 33;

// A fading oscillation: the meter's trade, in the badge.
QPainterPath waveform(const QRectF& area) {
    QPainterPath path;
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double y = std::exp(-1.6 * t) * std::sin(t * 4.0 * std::numbers::pi);
        const QPointF p(area.left() + t * area.width(),
                        area.center().y() - y * area.height() / 2.0);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

} // namespace

QImage drawLogo(int scale) {
    QImage image(kWidth * scale, kHeight * scale, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF badge(1.5, 1.5, 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(style::kBrand);
    p.drawRoundedRect(badge, 6, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(waveform(badge.adjusted(5, 5, -5, -5)));

    QFont font = style::windowFont(26, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    p.setFont(font);
    p.setPen(style::kBrand);
    p.drawText(QRectF(38, 0, kWidth - 38, kHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Dorvalix"));

    // A short accent under the name ties it to the badge.
    p.setPen(Qt::NoPen);
    p.setBrush(style::kAccent);
    p.drawRect(QRectF(40, 29.5, 24, 2));
    return image;
}
