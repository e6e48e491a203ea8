#include "SampleDownload.h"

#include <QList>

#include <array>

namespace {

constexpr quint32 kSecondsPerDay = 86400;
constexpr quint32 kSecondsPerMonth = 31 * kSecondsPerDay;
constexpr quint32 kSecondsPerYear = 12 * kSecondsPerMonth;
constexpr int kSlots = 100;
constexpr int kPerDay = 20;

// The meter's clock: seconds from 2012.01.01 in twelve months of 31 days.
quint32 meterTime(int year, int month, int day, int hour, int minute) {
    return static_cast<quint32>(year - 2012) * kSecondsPerYear +
           static_cast<quint32>(month - 1) * kSecondsPerMonth +
           static_cast<quint32>(day - 1) * kSecondsPerDay + static_cast<quint32>(hour) * 3600 +
           static_cast<quint32>(minute) * 60;
}

QByteArray hexByte(quint8 value) {
    return QByteArray::number(value, 16).rightJustified(2, '0').toUpper();
}

QByteArray packet(int slot, const QList<quint8>& bytes) {
    QByteArray text = QByteArray::number(slot);
    int sum = 0;
    for (quint8 b : bytes) {
        text += ',' + hexByte(b);
        sum += b;
    }
    return text + ',' + hexByte(static_cast<quint8>(sum & 0xFF)) + '/';
}

// A round of machines measured in turn: unit index (its mode is unit / 2), calculation mode,
// a typical raw reading, gain code and filter.
struct Point {
    quint8 unit;
    quint8 calculation;
    int reading;
    quint8 gain;
    quint8 filter;
};
constexpr std::array<Point, 10> kRound{{{2, 0, 1730, 0, 1},
                                        {2, 1, 2980, 0, 1},
                                        {0, 0, 1410, 0, 2},
                                        {0, 2, 2640, 1, 2},
                                        {4, 1, 770, 0, 0},
                                        {3, 0, 3120, 1, 1},
                                        {1, 3, 2733, 0, 2},
                                        {2, 0, 2210, 0, 1},
                                        {5, 2, 2950, 0, 0},
                                        {0, 0, 980, 0, 2}}};

QByteArray recordPacket(int slot) {
    const int day = slot / kPerDay;
    const int inDay = slot % kPerDay;
    // Every 21 minutes from 08:04, a little irregular as a walk round a plant is.
    const int minutes = 8 * 60 + 4 + inDay * 21 + (slot * 7) % 5;
    const quint32 time = meterTime(2026, 3, 9 + day, minutes / 60, minutes % 60) +
                         static_cast<quint32>((slot * 37) % 60);
    const Point& p = kRound[static_cast<size_t>(slot % 10)];
    // Readings wander by some per cent from round to round, as a machine's condition does.
    const int reading = p.reading + p.reading * ((slot * 53) % 41 - 20) / 100;
    const int crest = 140 + (slot * 29) % 260;
    const quint8 mode = static_cast<quint8>(p.unit / 2);
    return packet(
        slot, {static_cast<quint8>(time & 0xFF), static_cast<quint8>((time >> 8) & 0xFF),
               static_cast<quint8>((time >> 16) & 0xFF), static_cast<quint8>((time >> 24) & 0xFF),
               static_cast<quint8>(reading & 0xFF),
               static_cast<quint8>(((reading >> 8) & 0x0F) | (mode << 4)),
               static_cast<quint8>(crest & 0xFF),
               static_cast<quint8>(((crest >> 8) & 0x03) | (p.calculation << 2) | (p.unit << 5)),
               static_cast<quint8>(p.gain | (p.filter << 3))});
}

// Calibration factors 15, 14 and 16 for the three modes (word - 500), the rest unused.
QByteArray calibrationPacket() {
    const std::array<quint16, 6> words{515, 514, 516, 500, 500, 500};
    QList<quint8> bytes;
    for (quint16 w : words) {
        bytes << static_cast<quint8>(w & 0xFF) << static_cast<quint8>(w >> 8);
    }
    return packet(100, bytes);
}

} // namespace

QByteArray sampleDownloadUpTo(int lastSlot) {
    QByteArray text;
    for (int slot = 0; slot <= lastSlot && slot < kSlots; ++slot)
        text += recordPacket(slot);
    if (lastSlot >= kSlots)
        text += calibrationPacket();
    return text;
}

QByteArray sampleDownload() {
    return sampleDownloadUpTo(kSlots);
}

QByteArray sampleDownloadWithout(int lostSlot) {
    QByteArray text;
    for (int slot = 0; slot < kSlots; ++slot)
        if (slot != lostSlot)
            text += recordPacket(slot);
    return text + calibrationPacket();
}
