#include "SampleDownload.h"

#include "MeterMemory.h"

#include <array>

namespace {

constexpr int kPerDay = 20;

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

metersim::Measurement measurement(int slot) {
    const int day = slot / kPerDay;
    const int inDay = slot % kPerDay;
    // Every 21 minutes from 08:04, a little irregular as a walk round a plant is.
    const int minutes = 8 * 60 + 4 + inDay * 21 + (slot * 7) % 5;
    const Point& p = kRound[static_cast<size_t>(slot % 10)];
    metersim::Measurement m;
    m.time = metersim::meterTime(2026, 3, 9 + day, minutes / 60, minutes % 60, (slot * 37) % 60);
    m.unit = p.unit;
    m.calculation = p.calculation;
    // Readings wander by some per cent from round to round, as a machine's condition does.
    m.reading = p.reading + p.reading * ((slot * 53) % 41 - 20) / 100;
    m.crest = 140 + (slot * 29) % 260;
    m.gain = p.gain;
    m.filter = p.filter;
    return m;
}

// The week's memory; calibration factors 15, 14 and 16 for the three modes (word - 500), the
// rest unused.
metersim::MeterMemory sampleMemory() {
    metersim::MeterMemory memory;
    for (int slot = 0; slot < metersim::kRecordSlots; ++slot)
        memory.records[static_cast<size_t>(slot)] = metersim::packRecord(measurement(slot));
    memory.calibrationWords = {515, 514, 516, 500, 500, 500};
    return memory;
}

} // namespace

QByteArray sampleDownloadUpTo(int lastSlot) {
    metersim::DownloadFaults faults;
    faults.stopAfter = lastSlot;
    return metersim::downloadText(sampleMemory(), faults);
}

QByteArray sampleDownload() {
    return metersim::downloadText(sampleMemory());
}

QByteArray sampleDownloadWithout(int lostSlot) {
    metersim::DownloadFaults faults;
    faults.dropSlots = {lostSlot};
    return metersim::downloadText(sampleMemory(), faults);
}
