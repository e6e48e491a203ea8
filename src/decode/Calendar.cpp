#include "decode/Calendar.h"

namespace {

void putTwoDigits(QChar*& out, quint32 value) {
    *out++ = QChar(u'0' + static_cast<char16_t>(value / 10 % 10));
    *out++ = QChar(u'0' + static_cast<char16_t>(value % 10));
}

} // namespace

QString formatMeterTime(quint32 t) {
    if (!isValidMeterTime(t))
        return kNoTimestamp.toString();

    const quint32 year = kFirstYear + t / kSecondsPerYear;
    const quint32 month = 1 + t % kSecondsPerYear / kSecondsPerMonth;
    const quint32 day = 1 + t % kSecondsPerMonth / kSecondsPerDay;
    const quint32 hour = t % kSecondsPerDay / 3600;
    const quint32 minute = t % 3600 / 60;
    const quint32 second = t % 60;

    // Built by hand: the separators are literal and this runs 100 times per download.
    constexpr qsizetype kLength = 19; // "YYYY.MM.DD hh:mm:ss"
    QString text(kLength, Qt::Uninitialized);
    QChar* out = text.data();
    putTwoDigits(out, year / 100);
    putTwoDigits(out, year);
    *out++ = u'.';
    putTwoDigits(out, month);
    *out++ = u'.';
    putTwoDigits(out, day);
    *out++ = u' ';
    putTwoDigits(out, hour);
    *out++ = u':';
    putTwoDigits(out, minute);
    *out++ = u':';
    putTwoDigits(out, second);
    return text;
}
