#include "Drawings.h"

#include "Style.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace drawing {

namespace {

const QColor kHousing(56, 64, 78);
const QColor kHousingEdge(34, 40, 50);
const QColor kBezel(28, 32, 38);
const QColor kLcd(212, 226, 200);
const QColor kLcdInk(30, 42, 30);
const QColor kKey(92, 102, 118);
const QColor kCable(70, 70, 74);

void key(QPainter& p, const QRectF& r, const QString& label, const QColor& face = kKey) {
    p.setPen(QPen(kHousingEdge, 1));
    p.setBrush(face);
    p.drawRoundedRect(r, 5, 5);
    if (!label.isEmpty()) {
        p.setPen(Qt::white);
        p.setFont(style::windowFont(9, true));
        p.drawText(r, Qt::AlignCenter, label);
    }
}

void triangle(QPainter& p, QPointF centre, double size, bool up) {
    const double h = size * 0.8;
    const double d = up ? -1 : 1;
    p.drawPolygon(QPolygonF({QPointF(centre.x() - size / 2, centre.y() - d * h / 2),
                             QPointF(centre.x() + size / 2, centre.y() - d * h / 2),
                             QPointF(centre.x(), centre.y() + d * h / 2)}));
}

void plug(QPainter& p, QPointF end, QPointF towards) {
    const double angle = std::atan2(towards.y() - end.y(), towards.x() - end.x());
    p.save();
    p.translate(end);
    p.rotate(angle * 180.0 / M_PI);
    p.setPen(QPen(kHousingEdge, 1));
    p.setBrush(QColor(60, 60, 64));
    p.drawRoundedRect(QRectF(0, -7, 24, 14), 3, 3);
    p.setBrush(QColor(190, 190, 196));
    p.drawRect(QRectF(-8, -5, 8, 10));
    p.restore();
}

} // namespace

QRectF meter(QPainter& p, QPointF topLeft, double scale, const ScreenContent& screen) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(topLeft);
    p.scale(scale, scale);

    // Sensor socket on top, then the housing.
    p.setPen(QPen(kHousingEdge, 1));
    p.setBrush(QColor(150, 156, 166));
    p.drawRoundedRect(QRectF(46, -10, 28, 14), 3, 3);
    p.setBrush(kHousing);
    p.setPen(QPen(kHousingEdge, 2));
    p.drawRoundedRect(QRectF(0, 0, kMeterWidth, kMeterHeight), 18, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(style::kAccent);
    p.drawRoundedRect(QRectF(6, 6, kMeterWidth - 12, 6), 3, 3);

    p.setBrush(kBezel);
    p.drawRoundedRect(QRectF(12, 20, 96, 80), 6, 6);
    const QRectF lcd(18, 26, 84, 68);
    p.setBrush(kLcd);
    p.drawRect(lcd);
    if (screen) {
        p.save();
        p.setClipRect(lcd);
        screen(p, lcd);
        p.restore();
    }

    p.setPen(QColor(220, 224, 232));
    p.setFont(style::windowFont(10, true));
    p.drawText(QRectF(0, 104, kMeterWidth, 14), Qt::AlignCenter, QStringLiteral("QT570R"));

    key(p, QRectF(14, 126, 40, 20), QStringLiteral("MENU"));
    key(p, QRectF(66, 126, 40, 20), QStringLiteral("OK"));
    key(p, QRectF(14, 154, 40, 20), QString());
    key(p, QRectF(66, 154, 40, 20), QString());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    triangle(p, QPointF(34, 164), 10, true);
    triangle(p, QPointF(86, 164), 10, false);
    p.setPen(QPen(kHousingEdge, 1));
    p.setBrush(QColor(190, 60, 50));
    p.drawEllipse(QPointF(60, 198), 9, 9);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(55, 193, 10, 10), 120 * 16, 300 * 16);
    p.drawLine(QPointF(60, 191.5), QPointF(60, 197));

    p.setPen(Qt::NoPen);
    p.setBrush(kBezel);
    p.drawRect(QRectF(51, kMeterHeight - 4, 18, 4));
    p.restore();
    return QRectF(topLeft + lcd.topLeft() * scale, lcd.size() * scale);
}

QPointF meterSocket(QPointF topLeft, double scale) {
    return topLeft + QPointF(kMeterWidth / 2, kMeterHeight) * scale;
}

void readingScreen(QPainter& p, const QRectF& lcd) {
    p.setPen(kLcdInk);
    p.setFont(style::windowFont(9));
    p.drawText(lcd.adjusted(5, 3, -5, 0), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("VEL RMS"));
    p.drawText(lcd.adjusted(5, 3, -5, 0), Qt::AlignRight | Qt::AlignTop, QStringLiteral("12"));
    p.setFont(style::windowFont(26, true));
    p.drawText(lcd.adjusted(0, 12, 0, -14), Qt::AlignCenter, QStringLiteral("4.73"));
    p.setFont(style::windowFont(10));
    p.drawText(lcd.adjusted(5, 0, -5, -3), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("mm/s"));
}

void menuThumbnail(QPainter& p, const QRectF& lcd) {
    const QRectF inner = lcd.adjusted(5, 5, -5, -5);
    const double line = inner.height() / 6.0;
    p.setPen(Qt::NoPen);
    p.setBrush(kLcdInk);
    p.drawRect(QRectF(inner.left(), inner.top(), inner.width(), line - 1));
    const std::array<double, 5> lengths{0.45, 0.5, 0.75, 0.7, 0.4};
    for (size_t i = 0; i < lengths.size(); ++i) {
        const QRectF row(inner.left(), inner.top() + line * static_cast<double>(i + 1),
                         inner.width(), line - 1);
        if (i == 3) {
            p.setBrush(kLcdInk);
            p.drawRect(row);
            p.setBrush(kLcd);
        } else {
            p.setBrush(kLcdInk);
        }
        p.drawRect(
            QRectF(row.left() + 8, row.center().y() - 1.5, (row.width() - 12) * lengths[i], 3));
    }
}

void settingsMenu(QPainter& p, const QRectF& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBezel, 8));
    p.setBrush(kLcd);
    p.drawRoundedRect(area, 8, 8);
    const QRectF inner = area.adjusted(12, 10, -12, -10);
    const double line = inner.height() / 6.0;

    p.setPen(Qt::NoPen);
    p.setBrush(kLcdInk);
    p.drawRect(QRectF(inner.left(), inner.top(), inner.width(), line));
    p.setPen(kLcd);
    p.setFont(style::windowFont(17, true));
    p.drawText(QRectF(inner.left() + 8, inner.top(), inner.width(), line),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("SETTINGS"));

    const QStringList items{QStringLiteral("Units"), QStringLiteral("Filter"),
                            QStringLiteral("Date / time"), QStringLiteral("Send data"),
                            QStringLiteral("Exit")};
    const int chosen = 3;
    p.setFont(style::windowFont(17));
    for (int i = 0; i < items.size(); ++i) {
        const QRectF row(inner.left(), inner.top() + line * (i + 1), inner.width(), line);
        if (i == chosen) {
            p.setPen(Qt::NoPen);
            p.setBrush(kLcdInk);
            p.drawRect(row.adjusted(0, 1, 0, -1));
            p.setBrush(kLcd);
            const QPointF c(row.left() + 12, row.center().y());
            p.drawPolygon(QPolygonF({c + QPointF(-4, -6), c + QPointF(5, 0), c + QPointF(-4, 6)}));
            p.setPen(kLcd);
        } else {
            p.setPen(kLcdInk);
        }
        p.drawText(row.adjusted(26, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, items[i]);
    }
    p.restore();
}

QPointF computer(QPainter& p, const QRectF& area, const QImage& screen) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double baseHeight = 18;
    const QRectF lid(area.left() + 20, area.top(), area.width() - 40, area.height() - baseHeight);
    p.setPen(QPen(QColor(40, 44, 52), 1));
    p.setBrush(QColor(58, 62, 70));
    p.drawRoundedRect(lid, 8, 8);
    const QRectF glass = lid.adjusted(10, 10, -10, -12);
    p.setBrush(Qt::white);
    p.drawRect(glass);
    if (!screen.isNull()) {
        const QImage fitted =
            screen.scaled(glass.size().toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPointF at(glass.center().x() - fitted.width() / 2.0,
                         glass.center().y() - fitted.height() / 2.0);
        p.drawImage(at, fitted);
        p.setPen(QPen(QColor(180, 184, 190), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(at, fitted.size()));
    }
    QPainterPath base;
    const double y = area.bottom() - baseHeight;
    base.moveTo(lid.left() - 4, y);
    base.lineTo(lid.right() + 4, y);
    base.lineTo(area.right(), area.bottom() - 4);
    base.quadTo(area.right(), area.bottom(), area.right() - 6, area.bottom());
    base.lineTo(area.left() + 6, area.bottom());
    base.quadTo(area.left(), area.bottom(), area.left(), area.bottom() - 4);
    base.closeSubpath();
    p.setPen(QPen(QColor(120, 124, 132), 1));
    p.setBrush(QColor(196, 200, 208));
    p.drawPath(base);
    p.setBrush(QColor(150, 154, 162));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(area.center().x() - 30, y + 2, 60, 5), 2, 2);
    p.restore();
    return QPointF(area.left() + 6, area.bottom() - baseHeight / 2);
}

void cable(QPainter& p, QPointF from, QPointF to) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF start = from + QPointF(0, 30);
    const QPointF end = to - QPointF(30, 0);
    QPainterPath path(start);
    path.cubicTo(start + QPointF(0, 70), end - QPointF(140, -10), end);
    p.setPen(QPen(kCable, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    plug(p, from + QPointF(0, 6), start + QPointF(0, 40));
    plug(p, to - QPointF(6, 0), end - QPointF(40, 0));
    p.restore();
}

void zoomLines(QPainter& p, const QRectF& small, const QRectF& large) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(style::kMuted, 1, Qt::DashLine));
    p.drawLine(small.topRight(), large.topLeft());
    p.drawLine(small.bottomRight(), large.bottomLeft());
    p.restore();
}

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    p.translate(from);
    p.rotate(angle * 180.0 / M_PI);
    p.setPen(Qt::NoPen);
    p.setBrush(style::kAccent);
    p.drawRect(QRectF(0, -3, length - 12, 6));
    p.drawPolygon(
        QPolygonF({QPointF(length, 0), QPointF(length - 16, -10), QPointF(length - 16, 10)}));
    p.restore();
}

void pointer(QPainter& p, QPointF tip, bool upDown) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(tip);
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::black);
    if (upDown) {
        p.drawPolygon(QPolygonF({QPointF(0, -11), QPointF(6, -4), QPointF(2, -4), QPointF(2, 4),
                                 QPointF(6, 4), QPointF(0, 11), QPointF(-6, 4), QPointF(-2, 4),
                                 QPointF(-2, -4), QPointF(-6, -4)}));
    } else {
        p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(0, 17), QPointF(4, 13), QPointF(7, 20),
                                 QPointF(10, 19), QPointF(7, 12), QPointF(12, 12)}));
    }
    p.restore();
}

void stepBadge(QPainter& p, QPointF centre, int number) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(style::kAccent);
    p.drawEllipse(centre, 12, 12);
    p.setPen(Qt::white);
    p.setFont(style::windowFont(16, true));
    p.drawText(QRectF(centre.x() - 12, centre.y() - 12, 24, 24), Qt::AlignCenter,
               QString::number(number));
    p.restore();
}

} // namespace drawing
