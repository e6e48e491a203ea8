#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

// The meter's calendar: seconds from 2012.01.01 00:00:00 in years of twelve 31-day months.

inline constexpr quint32 kSecondsPerDay = 86400;
inline constexpr quint32 kSecondsPerMonth = 31 * kSecondsPerDay;
inline constexpr quint32 kSecondsPerYear = 12 * kSecondsPerMonth;
inline constexpr quint32 kFirstYear = 2012;
// Year 2100 and later cannot be shown with the four-digit year the table expects.
inline constexpr quint32 kFirstInvalidTime = (2100 - kFirstYear) * kSecondsPerYear;
inline constexpr QStringView kNoTimestamp = u"---.--.-- --:--:--";

// Whether a time count decodes to a year before 2100.
constexpr bool isValidMeterTime(quint32 t) {
    return t < kFirstInvalidTime;
}

// "YYYY.MM.DD hh:mm:ss" for a valid time count; the placeholder "---.--.-- --:--:--" otherwise.
QString formatMeterTime(quint32 t);
