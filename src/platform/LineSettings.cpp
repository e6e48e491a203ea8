#include "LineSettings.h"

#include <QStringList>

namespace {

bool isDecimal(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

std::optional<LineSettings::Parity> parityFromLetter(const QString& text) {
    if (text.size() != 1)
        return std::nullopt;
    switch (text.at(0).toUpper().unicode()) {
    case u'N':
        return LineSettings::Parity::None;
    case u'E':
        return LineSettings::Parity::Even;
    case u'O':
        return LineSettings::Parity::Odd;
    case u'M':
        return LineSettings::Parity::Mark;
    case u'S':
        return LineSettings::Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<LineSettings::StopBits> stopBitsFromText(const QString& text) {
    if (text == u"1")
        return LineSettings::StopBits::One;
    if (text == u"1.5")
        return LineSettings::StopBits::OneAndHalf;
    if (text == u"2")
        return LineSettings::StopBits::Two;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> LineSettings::parse(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    const QString baudText = fields.at(0).trimmed();
    const QString dataText = fields.at(2).trimmed();
    // Digits only, so that "+9600", "0x2580" or "9600.5" are refused rather than guessed at.
    if (!isDecimal(baudText) || !isDecimal(dataText))
        return std::nullopt;

    bool ok = false;
    const int baud = baudText.toInt(&ok);
    if (!ok || baud <= 0)
        return std::nullopt;
    const int dataBits = dataText.toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    const auto parity = parityFromLetter(fields.at(1).trimmed());
    const auto stopBits = stopBitsFromText(fields.at(3).trimmed());
    if (!parity || !stopBits)
        return std::nullopt;

    LineSettings settings;
    settings.baudRate = baud;
    settings.parity = *parity;
    settings.dataBits = dataBits;
    settings.stopBits = *stopBits;
    return settings;
}

QString LineSettings::toString() const {
    static constexpr char kParityLetters[] = {'N', 'E', 'O', 'M', 'S'};
    const char parityLetter = kParityLetters[static_cast<int>(parity)];
    QString stop;
    switch (stopBits) {
    case StopBits::One:
        stop = QStringLiteral("1");
        break;
    case StopBits::OneAndHalf:
        stop = QStringLiteral("1.5");
        break;
    case StopBits::Two:
        stop = QStringLiteral("2");
        break;
    }
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(QLatin1Char(parityLetter))
        .arg(dataBits)
        .arg(stop);
}
