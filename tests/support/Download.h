#pragma once

#include <QByteArray>
#include <QString>

// Text of a download as the meter sends it: every record holds the same nine bytes
// (given as two-digit hex fields), and the calibration record gives K(0) = 15.
inline QByteArray downloadText(const QString& recordHex = QStringLiteral("36,20,00,00,AD,0A,8C,20,00"),
                               int skipSlot = -1) {
    QByteArray text;
    for (int slot = 0; slot < 100; ++slot) {
        if (slot == skipSlot)
            continue;
        text += QStringLiteral("%1,%2,7F/").arg(slot).arg(recordHex).toLatin1();
    }
    text += "100,03,02,F4,01,F4,01,F4,01,F4,01,F4,01,00/";
    return text;
}
