#pragma once

#include <QByteArray>
#include <QSet>
#include <QtGlobal>

#include <array>

// What a meter holds and how it sends it: 100 measurement records of nine bytes (slots 0 to
// 99) and the calibration record of six 16-bit words (slot 100), sent as text packets
// "slot,field,...,check/" with every byte as two hexadecimal digits.

namespace metersim {

inline constexpr int kRecordSlots = 100;
inline constexpr int kCalibrationSlot = 100;
inline constexpr int kRecordBytes = 9;
inline constexpr int kCalibrationWords = 6;

using MeterRecord = std::array<quint8, kRecordBytes>;

struct MeterMemory {
    std::array<MeterRecord, kRecordSlots> records{};
    std::array<quint16, kCalibrationWords> calibrationWords{};
};

// One measurement before it is packed into its record's bytes.
struct Measurement {
    quint32 time = 0;
    // Its measurement mode is unit / 2: m/s² and g, mm/s and in/s, µm and mils; °C and °F
    // take mode 3, which names no vibration mode.
    int unit = 0;
    int calculation = 0;
    int gain = 0;
    int filter = 0;
    int crest = 100; // hundredths
    int reading = 0; // 12-bit raw count
};

// The nine bytes the meter stores for a measurement.
MeterRecord packRecord(const Measurement& m);

// The meter's clock: seconds from 2012.01.01 00:00:00 in a calendar of twelve 31-day months.
// month and day count from 1.
quint32 meterTime(int year, int month, int day, int hour, int minute, int second);

// A believable memory for the seed: one working week of measurements in slot (time) order,
// every calculation mode, unit, gain and filter at least once (°C and °F exactly once each,
// vibration units in all other slots), crest factors from 1.00 to 10.00 and calibration
// factors (word - 500) of 13 to 17 for the three modes. The same seed always gives the same
// memory.
MeterMemory makeMeterMemory(quint32 seed);

// The packet of a measurement slot without its "/": slot number, nine bytes and a check
// byte (the bytes' sum modulo 256), eleven fields in all.
QByteArray recordPacket(int slot, const MeterRecord& record, bool lowercase = false);

// The packet of slot 100 without its "/": "100", the six words as twelve bytes, low byte
// first, and a check byte, fourteen fields in all.
QByteArray calibrationPacket(const std::array<quint16, kCalibrationWords>& words,
                             bool lowercase = false);

// How one download departs from a clean one.
struct DownloadFaults {
    QSet<int> dropSlots;              // never sent
    QSet<int> truncateSlots;          // sent with only the first half of their fields
    QSet<int> duplicateSlots;         // sent twice in a row
    bool lowercase = false;           // hexadecimal digits a-f instead of A-F
    bool junk = false;                // line noise (no "/" and no ",") before the first packet and
                                      // before some of the others
    int stopAfter = kCalibrationSlot; // the last slot sent
    quint32 junkSeed = 1;
};

// The text of one download: slots 0 to 100 in order, each packet ended by "/", with the
// faults applied.
QByteArray downloadText(const MeterMemory& memory, const DownloadFaults& faults = {});

} // namespace metersim
