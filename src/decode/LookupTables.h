#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>

// The meter's fixed lookup tables, indexed from 0 as the record's bit fields give them.

inline constexpr std::array<QStringView, 3> kMeasurementModes{u"Acceleration", u"Velocity",
                                                              u"Displacement"};
inline constexpr std::array<QStringView, 4> kCalculationModes{u"RMS", u"pk-pk", u"0-pk", u"B"};
inline constexpr std::array<QStringView, 8> kUnitNames{
    u"m/s\u00B2", u"g", u"mm/s", u"in/s", u"\u00B5m", u"mils", u"\u00B0C", u"\u00B0F"};
// Counts per unit for units 0 to 5; the temperature units have no divisor.
inline constexpr std::array<int, 6> kUnitDivisors{4183, 40995, 2301, 58445, 1270, 32246};
inline constexpr std::array<QStringView, 3> kFilters{u"1kHz", u"5kHz", u"10kHz"};
inline constexpr std::array<int, 8> kGains{1, 2, 5, 10, 20, 50, 100, 200};

// Text shown in a cell that has no decoded value.
inline constexpr QStringView kNoValue = u"-";

// Entry `index` of `table`, or "-" when the table has no such entry.
template <std::size_t Size>
QString lookupText(const std::array<QStringView, Size>& table, unsigned index) {
    return index < Size ? table[index].toString() : kNoValue.toString();
}
