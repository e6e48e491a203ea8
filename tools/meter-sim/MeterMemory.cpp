#include "MeterMemory.h"

#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>

namespace metersim {

namespace {

constexpr quint32 kSecondsPerDay = 86400;
constexpr quint32 kSecondsPerMonth = 31 * kSecondsPerDay;
constexpr quint32 kSecondsPerYear = 12 * kSecondsPerMonth;

constexpr int kMeasurementModes = 3;
constexpr int kCalculationModes = 4;
// Units 0 to 5 belong to the vibration readings; 6 and 7 (°C and °F) are the meter's
// temperature readings, a few among many.
constexpr int kVibrationUnits = 6;
constexpr int kUnits = 8;
constexpr int kGains = 8;
constexpr int kFilters = 3;
constexpr int kMeasurementsPerDay = 20;

// Gives value k to a random slot for every k below count, so that each value occurs.
template <typename Setter> void coverAll(QRandomGenerator& random, int count, Setter set) {
    std::array<int, kRecordSlots> order{};
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    for (int k = 0; k < count; ++k)
        set(order[k], k);
}

QByteArray hexByte(int value, bool lowercase) {
    QByteArray text = QByteArray::number(value & 0xFF, 16).rightJustified(2, '0');
    return lowercase ? text : text.toUpper();
}

QByteArray withCheck(QByteArray packet, const QList<int>& bytes, bool lowercase) {
    const int sum = std::accumulate(bytes.begin(), bytes.end(), 0);
    packet += ',';
    packet += hexByte(sum, lowercase);
    return packet;
}

QByteArray truncated(const QByteArray& packet) {
    const QList<QByteArray> fields = packet.split(',');
    return fields.mid(0, fields.size() / 2 + 1).join(',');
}

QByteArray junkText(QRandomGenerator& random) {
    static constexpr char kNoise[] = "qwxzkjvQWXZKJV #*~?!.;:\r\n";
    const int length = random.bounded(1, 12);
    QByteArray text;
    for (int i = 0; i < length; ++i)
        text += kNoise[random.bounded(int(sizeof(kNoise) - 1))];
    return text;
}

} // namespace

MeterRecord packRecord(const Measurement& m) {
    const int mode = m.unit / 2;
    MeterRecord r{};
    r[0] = static_cast<quint8>(m.time & 0xFF);
    r[1] = static_cast<quint8>((m.time >> 8) & 0xFF);
    r[2] = static_cast<quint8>((m.time >> 16) & 0xFF);
    r[3] = static_cast<quint8>((m.time >> 24) & 0xFF);
    r[4] = static_cast<quint8>(m.reading & 0xFF);
    r[5] = static_cast<quint8>(((m.reading >> 8) & 0x0F) | (mode << 4));
    r[6] = static_cast<quint8>(m.crest & 0xFF);
    r[7] = static_cast<quint8>(((m.crest >> 8) & 0x03) | (m.calculation << 2) | (m.unit << 5));
    r[8] = static_cast<quint8>(m.gain | (m.filter << 3));
    return r;
}

quint32 meterTime(int year, int month, int day, int hour, int minute, int second) {
    return quint32(year - 2012) * kSecondsPerYear + quint32(month - 1) * kSecondsPerMonth +
           quint32(day - 1) * kSecondsPerDay + quint32(hour) * 3600 + quint32(minute) * 60 +
           quint32(second);
}

MeterMemory makeMeterMemory(quint32 seed) {
    QRandomGenerator random(seed);
    std::array<Measurement, kRecordSlots> measurements{};

    // A Monday-to-Friday round in some month of a recent year: twenty measurements a day
    // from about half past seven, a few minutes apart, so the order run in time order.
    const int year = 2023 + random.bounded(3);
    const int month = 1 + random.bounded(12);
    const int firstDay = 1 + random.bounded(31 - 4);
    for (int slot = 0; slot < kRecordSlots; ++slot) {
        const int dayIndex = slot / kMeasurementsPerDay;
        Measurement& m = measurements[slot];
        if (slot % kMeasurementsPerDay == 0) {
            // Drawn one by one: the order of a call's arguments is left to the compiler, and
            // each seed must give the same memory whatever compiler built the simulator.
            const int second = random.bounded(60);
            const int minute = 30 + random.bounded(25);
            m.time = meterTime(year, month, firstDay + dayIndex, 7, minute, second);
        } else {
            const int minutes = random.bounded(5, 25);
            const int seconds = random.bounded(60);
            m.time = measurements[slot - 1].time + 60 * minutes + seconds;
        }
        m.unit = random.bounded(kVibrationUnits);
        m.calculation = random.bounded(kCalculationModes);
        // Healthy machines are measured at the low gains; the high ones are for quiet spots.
        m.gain = random.bounded(10) < 8 ? random.bounded(3) : random.bounded(kGains);
        m.filter = random.bounded(kFilters);
        // Mostly the crest factors of running machines, now and then an impact or a sine.
        m.crest = random.bounded(10) < 7 ? random.bounded(130, 451) : random.bounded(100, 1001);
        m.reading = random.bounded(300, 3901);
    }
    coverAll(random, kUnits, [&](int slot, int k) { measurements[slot].unit = k; });
    coverAll(random, kCalculationModes,
             [&](int slot, int k) { measurements[slot].calculation = k; });
    coverAll(random, kGains, [&](int slot, int k) { measurements[slot].gain = k; });
    coverAll(random, kFilters, [&](int slot, int k) { measurements[slot].filter = k; });
    coverAll(random, 2, [&](int slot, int k) { measurements[slot].crest = k == 0 ? 100 : 1000; });

    MeterMemory memory;
    for (int slot = 0; slot < kRecordSlots; ++slot)
        memory.records[slot] = packRecord(measurements[slot]);
    // Factors of 13 to 17 give readings a technician expects: a mid-scale count at gain 1
    // is about 1 g, 10 mm/s or 20 µm. The last three words are not used for scaling.
    for (int i = 0; i < kCalibrationWords; ++i) {
        const int factor = i < kMeasurementModes ? random.bounded(13, 18) : random.bounded(10, 21);
        memory.calibrationWords[i] = static_cast<quint16>(500 + factor);
    }
    return memory;
}

QByteArray recordPacket(int slot, const MeterRecord& record, bool lowercase) {
    QByteArray packet = QByteArray::number(slot);
    QList<int> bytes;
    for (const quint8 b : record) {
        packet += ',';
        packet += hexByte(b, lowercase);
        bytes.append(b);
    }
    return withCheck(packet, bytes, lowercase);
}

QByteArray calibrationPacket(const std::array<quint16, kCalibrationWords>& words, bool lowercase) {
    QByteArray packet = QByteArray::number(kCalibrationSlot);
    QList<int> bytes;
    for (const quint16 word : words) {
        for (const int b : {word & 0xFF, word >> 8}) {
            packet += ',';
            packet += hexByte(b, lowercase);
            bytes.append(b);
        }
    }
    return withCheck(packet, bytes, lowercase);
}

QByteArray downloadText(const MeterMemory& memory, const DownloadFaults& faults) {
    QRandomGenerator random(faults.junkSeed);
    QByteArray text;
    const int last = qMin(faults.stopAfter, int(kCalibrationSlot));
    for (int slot = 0; slot <= last; ++slot) {
        if (faults.dropSlots.contains(slot))
            continue;
        QByteArray packet = slot == kCalibrationSlot
                                ? calibrationPacket(memory.calibrationWords, faults.lowercase)
                                : recordPacket(slot, memory.records[slot], faults.lowercase);
        if (faults.truncateSlots.contains(slot))
            packet = truncated(packet);
        const int copies = faults.duplicateSlots.contains(slot) ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            if (faults.junk && (text.isEmpty() || random.bounded(6) == 0))
                text += junkText(random);
            text += packet;
            text += '/';
        }
    }
    return text;
}

} // namespace metersim
