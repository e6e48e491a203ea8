#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

template <typename Text, typename CharAt> quint32 hexPrefix(Text text, CharAt charAt) {
    constexpr quint64 kMax = std::numeric_limits<quint32>::max();
    quint64 value = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int digit = hexDigit(charAt(text, i));
        if (digit < 0)
            break;
        value = std::min(value * 16 + static_cast<quint64>(digit), kMax);
    }
    return static_cast<quint32>(value);
}

} // namespace

quint32 leadingHex(QByteArrayView text) {
    return hexPrefix(text, [](QByteArrayView t, qsizetype i) {
        return static_cast<char16_t>(static_cast<quint8>(t[i]));
    });
}

quint32 leadingHex(QStringView text) {
    return hexPrefix(text, [](QStringView t, qsizetype i) { return t[i].unicode(); });
}

std::optional<qint64> leadingDigits(QStringView text, qsizetype* digits) {
    constexpr qint64 kCap = qint64(1) << 31;
    qint64 value = 0;
    qsizetype count = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), kCap);
        ++count;
    }
    if (digits)
        *digits = count;
    if (count == 0)
        return std::nullopt;
    return value;
}

double roundHalfToEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        return below + 1.0;
    return below;
}
