#pragma once

#include <QString>

#include <optional>
#include <vector>

// The comparisons behind the grid's sort codes, kept free of widgets.
namespace gridsort {

inline constexpr int kNumericAscending = 3;
inline constexpr int kNumericDescending = 4;
inline constexpr int kTextNoCaseAscending = 5;
inline constexpr int kTextNoCaseDescending = 6;
inline constexpr int kTextCaseAscending = 7;
inline constexpr int kTextCaseDescending = 8;

// True for the codes 3 to 8.
bool isSortCode(int code);

// The descending code of the same comparison as an ascending code.
constexpr int descendingCode(int ascendingCode) {
    return ascendingCode + (kNumericDescending - kNumericAscending);
}

// The number a text starts with: leading blanks, an optional sign, digits with at most one
// decimal separator ("." or ","), at least one digit. "10kHz" gives 10, "-0.010" gives -0.01,
// "1,5" gives 1.5; "-", "" and "kHz" give none. A number too large for a double gives an
// infinity of its sign. No exponent is read.
std::optional<double> leadingShownNumber(const QString& text);

// A text that is one number and nothing more, read by the rule of leadingShownNumber, with the
// count of digits after its separator.
struct PlainNumber {
    double value = 0.0;
    int decimals = 0;
};

// The number a whole text is: "10.00" gives 10 with 2 decimals, "1,5" 1.5 with 1, "7" 7 with
// 0. Leading blanks are skipped; a text with anything after its number ("10kHz") gives none,
// as do "-" and "".
std::optional<PlainNumber> plainNumber(const QString& text);

// The order in which the keys sort under a code: result[i] is the index of the key that goes to
// place i. The sort is stable in both directions (equal keys keep their order). Numeric codes
// put texts without a leading number after all numbers ascending and before them descending.
// An unknown code gives the unchanged order.
std::vector<int> sortedOrder(const std::vector<QString>& keys, int code);

} // namespace gridsort
