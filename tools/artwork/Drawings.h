#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <functional>

class QPainter;

// Simple line drawings for the help picture: the meter, the computer, the cable, the meter's
// menu and the mouse pointer.
namespace drawing {

// The meter's size when drawn at scale 1.
inline constexpr double kMeterWidth = 120.0;
inline constexpr double kMeterHeight = 230.0;

// Draws a screen's content into the meter display's area.
using ScreenContent = std::function<void(QPainter&, const QRectF&)>;

// The handheld meter, its top left corner at topLeft. Returns where its display lies.
QRectF meter(QPainter& p, QPointF topLeft, double scale, const ScreenContent& screen);
// Where the meter's USB socket is, for a meter drawn at topLeft and scale.
QPointF meterSocket(QPointF topLeft, double scale);
// A reading as the meter shows it after a measurement.
void readingScreen(QPainter& p, const QRectF& lcd);
// The same menu as the meter's small display shows it from afar: bars for the lines.
void menuThumbnail(QPainter& p, const QRectF& lcd);
// The meter's settings menu with the transfer entry chosen, drawn large into area.
void settingsMenu(QPainter& p, const QRectF& area);

// A laptop whose screen shows the picture; returns the USB socket on its side.
QPointF computer(QPainter& p, const QRectF& area, const QImage& screen);
// A USB cable with a plug at each end.
void cable(QPainter& p, QPointF from, QPointF to);

// Lines from a small area to its enlarged view.
void zoomLines(QPainter& p, const QRectF& small, const QRectF& large);
// A filled arrow from one point to another.
void arrow(QPainter& p, QPointF from, QPointF to);
// The mouse pointer with its tip at tip: the plain arrow, or the up-down arrow the table shows
// over its header.
void pointer(QPainter& p, QPointF tip, bool upDown);
// A round badge with a number, for the steps.
void stepBadge(QPainter& p, QPointF centre, int number);

} // namespace drawing
