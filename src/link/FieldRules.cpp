#include "link/FieldRules.h"

#include "link/SlotTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

bool isDigit(quint8 c) {
    return c >= '0' && c <= '9';
}

bool isBlank(quint8 c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

quint8 at(QByteArrayView text, qsizetype i) {
    return static_cast<quint8>(text[i]);
}

} // namespace

double leadingDecimal(QByteArrayView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(at(text, i)))
        ++i;
    bool negative = false;
    if (i < n && (at(text, i) == '+' || at(text, i) == '-')) {
        negative = at(text, i) == '-';
        ++i;
    }
    const qsizetype mantissaStart = i;

    // Rough decimal magnitude of the number, only to tell overflow from underflow when the
    // exact conversion reports the value out of range.
    qint64 magnitude = 0;
    bool seenNonZero = false;
    bool anyDigit = false;
    while (i < n && isDigit(at(text, i))) {
        anyDigit = true;
        seenNonZero = seenNonZero || at(text, i) != '0';
        if (seenNonZero)
            ++magnitude;
        ++i;
    }
    if (i < n && at(text, i) == '.') {
        ++i;
        while (i < n && isDigit(at(text, i))) {
            anyDigit = true;
            if (!seenNonZero) {
                if (at(text, i) == '0')
                    --magnitude;
                else
                    seenNonZero = true;
            }
            ++i;
        }
    }
    if (!anyDigit || !seenNonZero)
        return 0.0;

    qsizetype end = i;
    if (i < n && (at(text, i) == 'e' || at(text, i) == 'E')) {
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (j < n && (at(text, j) == '+' || at(text, j) == '-')) {
            negativeExponent = at(text, j) == '-';
            ++j;
        }
        if (j < n && isDigit(at(text, j))) {
            qint64 exponent = 0;
            constexpr qint64 kExponentCap = 1'000'000;
            while (j < n && isDigit(at(text, j))) {
                exponent = std::min(exponent * 10 + (at(text, j) - '0'), kExponentCap);
                ++j;
            }
            magnitude += negativeExponent ? -exponent : exponent;
            end = j;
        }
    }

    // from_chars does not take a leading '+' but is locale independent and exactly rounded.
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + end;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

std::optional<int> slotNumber(QByteArrayView field0) {
    const double value = leadingDecimal(field0);
    // Checked before converting, so a huge or infinite value never reaches an integer type.
    if (!(value >= kFirstSlot - 0.5 && value <= kCalibrationSlot + 0.5))
        return std::nullopt;
    const double whole = roundHalfToEven(value);
    if (whole < kFirstSlot || whole > kCalibrationSlot)
        return std::nullopt;
    return static_cast<int>(whole);
}
