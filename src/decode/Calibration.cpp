#include "Calibration.h"

#include <limits>
#include <vector>

namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

quint32 leadingHexValue(QStringView field) {
    constexpr quint64 kMax = std::numeric_limits<quint32>::max();
    quint64 value = 0;
    for (const QChar c : field) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<quint64>(digit);
        if (value > kMax)
            return static_cast<quint32>(kMax);
    }
    return static_cast<quint32>(value);
}

CalibrationFactors parseCalibration(QStringView raw) {
    constexpr int kFieldsNeeded = 2 * kCalibrationFactorCount + 1;
    std::vector<QStringView> fields;
    fields.reserve(kFieldsNeeded);
    qsizetype start = 0;
    while (static_cast<int>(fields.size()) < kFieldsNeeded) {
        const qsizetype comma = raw.indexOf(u',', start);
        if (comma < 0) {
            fields.push_back(raw.sliced(start));
            break;
        }
        fields.push_back(raw.sliced(start, comma - start));
        start = comma + 1;
    }

    CalibrationFactors factors;
    for (int i = 0; i < kCalibrationFactorCount; ++i) {
        const auto lo = static_cast<size_t>(2 * i + 1);
        const auto hi = lo + 1;
        if (hi >= fields.size())
            break;
        factors[static_cast<size_t>(i)] = static_cast<double>(leadingHexValue(fields[lo])) +
                                          256.0 * static_cast<double>(leadingHexValue(fields[hi])) -
                                          500.0;
    }
    return factors;
}
