#include "decode/Calibration.h"

#include "text/NumberText.h"

#include <vector>

CalibrationFactors parseCalibration(QStringView raw) {
    std::vector<QStringView> fields;
    fields.reserve(kCalibrationFields);
    qsizetype start = 0;
    while (static_cast<int>(fields.size()) < kCalibrationFields) {
        const qsizetype comma = raw.indexOf(u',', start);
        if (comma < 0) {
            fields.push_back(raw.sliced(start));
            break;
        }
        fields.push_back(raw.sliced(start, comma - start));
        start = comma + 1;
    }

    CalibrationFactors factors;
    for (int i = 0; i < kCalibrationWords; ++i) {
        const auto lo = static_cast<size_t>(2 * i + 1);
        const auto hi = lo + 1;
        if (hi >= fields.size())
            break;
        factors[static_cast<size_t>(i)] = static_cast<double>(leadingHex(fields[lo])) +
                                          256.0 * static_cast<double>(leadingHex(fields[hi])) -
                                          500.0;
    }
    return factors;
}
