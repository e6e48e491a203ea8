#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Number rules that the meter link, the decoder, the port naming and the help page share.
// Each rule lives here once; none of them depends on the locale or the floating-point
// environment.

// The hexadecimal number made of the digits 0-9, A-F or a-f at the very start of text, up to
// the first other character. No digit gives 0. A value above 0xFFFFFFFF saturates there.
quint32 leadingHex(QByteArrayView text);
quint32 leadingHex(QStringView text);

// The decimal digits 0-9 at the very start of text as a number; nothing when text does not
// start with a digit. The value saturates at 2^31, so any caller's bound up to 32 signed bits
// can be checked against it. *digits (when given) receives the count of digits read.
std::optional<qint64> leadingDigits(QStringView text, qsizetype* digits = nullptr);

// value rounded to the nearest integer, exact halves to the even neighbour. Infinities and
// NaN come back unchanged.
double roundHalfToEven(double value);
