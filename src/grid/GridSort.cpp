#include "grid/GridSort.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <numeric>
#include <string>

namespace gridsort {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

struct NumericKey {
    bool hasNumber = false;
    double value = 0.0;
};

// Numbers come first, in value order; texts without a number are all equal to each other.
bool numericLess(const NumericKey& a, const NumericKey& b) {
    if (a.hasNumber && b.hasNumber)
        return a.value < b.value;
    return a.hasNumber && !b.hasNumber;
}

template <typename Key, typename Less>
std::vector<int> stableOrder(const std::vector<Key>& keys, bool descending, Less less) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    // Descending swaps the operands rather than reversing the result, so equal keys keep
    // their order in both directions.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto& ka = keys[static_cast<size_t>(a)];
        const auto& kb = keys[static_cast<size_t>(b)];
        return descending ? less(kb, ka) : less(ka, kb);
    });
    return order;
}

} // namespace

bool isSortCode(int code) {
    return code >= kNumericAscending && code <= kTextCaseDescending;
}

namespace {

// How far the number at the start of a text reaches, and what it is.
struct NumberScan {
    std::optional<double> value;
    qsizetype end = 0;
    int decimals = 0;
};

NumberScan scanNumber(const QString& text) {
    NumberScan scan;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;

    std::string number;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        if (text.at(i) == u'-')
            number += '-';
        ++i;
    }
    bool anyDigit = false;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            number += static_cast<char>(c.unicode());
            anyDigit = true;
            if (separatorSeen)
                ++scan.decimals;
        } else if ((c == u'.' || c == u',') && !separatorSeen && i + 1 < n &&
                   isAsciiDigit(text.at(i + 1))) {
            number += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return {};
    scan.end = i;

    double value = 0.0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large (or too small, which leaves a value that rounds to zero).
        const bool negative = number.front() == '-';
        const bool tiny = number.find_first_of("123456789") > number.find('.');
        if (tiny)
            scan.value = negative ? -0.0 : 0.0;
        else
            scan.value = negative ? -std::numeric_limits<double>::infinity()
                                  : std::numeric_limits<double>::infinity();
        return scan;
    }
    if (result.ec == std::errc())
        scan.value = value;
    return scan;
}

} // namespace

std::optional<double> leadingShownNumber(const QString& text) {
    return scanNumber(text).value;
}

std::optional<PlainNumber> plainNumber(const QString& text) {
    const NumberScan scan = scanNumber(text);
    if (!scan.value || scan.end != text.size())
        return std::nullopt;
    return PlainNumber{*scan.value, scan.decimals};
}

std::vector<int> sortedOrder(const std::vector<QString>& keys, int code) {
    switch (code) {
    case kNumericAscending:
    case kNumericDescending: {
        std::vector<NumericKey> numeric;
        numeric.reserve(keys.size());
        for (const QString& key : keys) {
            const auto number = leadingShownNumber(key);
            numeric.push_back({number.has_value(), number.value_or(0.0)});
        }
        return stableOrder(numeric, code == kNumericDescending, numericLess);
    }
    case kTextNoCaseAscending:
    case kTextNoCaseDescending:
        return stableOrder(keys, code == kTextNoCaseDescending,
                           [](const QString& a, const QString& b) {
                               return QString::compare(a, b, Qt::CaseInsensitive) < 0;
                           });
    case kTextCaseAscending:
    case kTextCaseDescending:
        return stableOrder(keys, code == kTextCaseDescending,
                           [](const QString& a, const QString& b) {
                               return QString::compare(a, b, Qt::CaseSensitive) < 0;
                           });
    default: {
        std::vector<int> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    }
}

} // namespace gridsort
