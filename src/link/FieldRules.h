#pragma once

#include "text/NumberText.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// How the reader turns the text fields of a meter packet into numbers. Every rule works on the
// packet's bytes as received; no byte value makes a rule fail.

// The decimal number at the start of text: optional leading blanks (space, tab, CR, LF), an
// optional sign, digits, an optional "." fraction and an optional e/E exponent. No number at
// the start gives 0. A value beyond the range of double gives +/- infinity, one too small to
// represent gives 0; the result is never NaN.
double leadingDecimal(QByteArrayView text);

// A byte field is read with leadingHex (NumberText.h).

// The slot number a packet's field 0 names: leadingDecimal rounded to the nearest integer, halves
// to the even neighbour. nullopt when that is not a slot the meter has (0 to 100).
std::optional<int> slotNumber(QByteArrayView field0);
