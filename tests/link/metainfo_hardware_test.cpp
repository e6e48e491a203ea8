// Software centres offer the reader when a meter is plugged in, from the USB ids its AppStream
// metainfo announces; they must be the ones discovery recognises.
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "system/PortNaming.h"

TEST(MetainfoHardware, AnnouncesExactlyTheUsbIdsDiscoveryRecognises) {
    QFile file(QStringLiteral(PX417_METAINFO_PATH));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    const QString text = QString::fromUtf8(file.readAll());

    QStringList announced;
    static const QRegularExpression kModalias(QStringLiteral("<modalias>([^<]*)</modalias>"));
    for (auto match = kModalias.globalMatch(text); match.hasNext();)
        announced << match.next().captured(1);

    const auto hex = [](quint16 id) {
        return QString::number(id, 16).rightJustified(4, QLatin1Char('0')).toUpper();
    };
    QStringList recognised;
    for (const quint16 product : portnaming::kAdapterProductIds)
        recognised
            << QStringLiteral("usb:v%1p%2d*").arg(hex(portnaming::kAdapterVendorId), hex(product));
    EXPECT_EQ(announced, recognised);
}
