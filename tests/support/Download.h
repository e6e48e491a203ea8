#pragma once

#include "MeterMemory.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <functional>

using CalibrationWords = std::array<quint16, metersim::kCalibrationWords>;

// Calibration words 515, then 500 for the other five: K(0) = 15, every other factor 0.
inline constexpr CalibrationWords kCalibrationK15{515, 500, 500, 500, 500, 500};

// A record's nine bytes from two-digit hexadecimal fields, "36,20,00,...".
inline metersim::MeterRecord recordFromHex(const QString& hex) {
    metersim::MeterRecord record{};
    const QStringList fields = hex.split(u',');
    for (size_t k = 0; k < record.size() && k < size_t(fields.size()); ++k)
        record[k] = static_cast<quint8>(fields[qsizetype(k)].toUInt(nullptr, 16));
    return record;
}

// Text of a download as the meter sends it, packed as the simulated meter packs it: slot s
// holds recordOf(s), slot 100 the calibration words. skipSlot, when given, is never sent.
inline QByteArray downloadOf(const std::function<metersim::MeterRecord(int slot)>& recordOf,
                             const CalibrationWords& calibration = kCalibrationK15,
                             int skipSlot = -1) {
    metersim::MeterMemory memory;
    for (int slot = 0; slot < metersim::kRecordSlots; ++slot)
        memory.records[size_t(slot)] = recordOf(slot);
    memory.calibrationWords = calibration;
    metersim::DownloadFaults faults;
    if (skipSlot >= 0)
        faults.dropSlots = {skipSlot};
    return metersim::downloadText(memory, faults);
}

// A download whose every record holds the same nine bytes, with K(0) = 15.
inline QByteArray
downloadText(const QString& recordHex = QStringLiteral("36,20,00,00,AD,0A,8C,20,00"),
             int skipSlot = -1) {
    const metersim::MeterRecord record = recordFromHex(recordHex);
    return downloadOf([&record](int) { return record; }, kCalibrationK15, skipSlot);
}
