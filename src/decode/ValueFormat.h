#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

// Readings at or beyond this size (in thousandths) are shown as "-": past it, the reduction's
// integer steps are no longer exact in double precision.
inline constexpr double kMaxExactReading = 4503599627370496.0; // 2^52

// Number pattern for a count of decimals: 0 gives "0", 2 gives "0.00"; a negative count
// gives the empty text.
QString BuildFormatMask(qint16 decimals);

// A number formatted with a pattern of the forms 0, 0.0, 0.00, 0.000: at least one digit before
// the ".", exactly as many decimals as the pattern has zeros after it, a leading "-" for a
// negative number. The separator is always "." whatever the locale.
QString formatWithPattern(double value, QStringView pattern);

// Measurement value before rounding, in thousandths of the unit: ((a * k) * (1000 / gain)) /
// divisor in double precision and in exactly this order.
double scaledReading(unsigned a, double k, int gain, int divisor);

// The Measurement Value text of a reading q in thousandths: q rounded half-to-even, reduced to
// three significant digits (thresholds 9950, 99500, 995000) and formatted with
// BuildFormatMask. "-" when q is not finite or too large to reduce exactly.
QString formatReading(double q);
