#include "decode/ValueFormat.h"

#include "decode/LookupTables.h"
#include "text/NumberText.h"

#include <array>
#include <cmath>

namespace {

struct Reduction {
    qint64 half; // added before dividing by 2 * half
    int decimals;
};

Reduction reductionFor(qint64 q) {
    if (q >= 995000)
        return {5000, 0};
    if (q >= 99500)
        return {500, 1};
    if (q >= 9950)
        return {50, 2};
    return {5, 3};
}

} // namespace

QString BuildFormatMask(qint16 decimals) {
    QString mask;
    for (int i = 0; i <= decimals; ++i) {
        if (i == 1)
            mask += u'.';
        mask += u'0';
    }
    return mask;
}

QString formatWithPattern(double value, QStringView pattern) {
    const qsizetype point = pattern.indexOf(u'.');
    const int decimals = point < 0 ? 0 : static_cast<int>(pattern.sliced(point + 1).count(u'0'));
    // A zero result must not come out as "-0.000".
    if (value == 0.0)
        value = 0.0;
    return QString::number(value, 'f', decimals);
}

double scaledReading(unsigned a, double k, int gain, int divisor) {
    return ((static_cast<double>(a) * k) * (1000.0 / gain)) / divisor;
}

QString formatReading(double q) {
    const double rounded = roundHalfToEven(q);
    if (!(std::fabs(rounded) < kMaxExactReading))
        return kNoValue.toString();

    // 64-bit rather than 32-bit: large calibration factors give readings past 2^31, and
    // the sum must not overflow.
    const auto whole = static_cast<qint64>(rounded);
    const Reduction r = reductionFor(whole);
    const double n =
        std::floor(static_cast<double>(whole + r.half) / static_cast<double>(2 * r.half)) * 10.0;
    constexpr std::array<double, 4> kPowersOfTen{1.0, 10.0, 100.0, 1000.0};
    return formatWithPattern(n / kPowersOfTen[static_cast<size_t>(r.decimals)],
                             BuildFormatMask(static_cast<qint16>(r.decimals)));
}
