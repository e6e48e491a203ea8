#include "Fakes.h"
#include "link/MeterDiscovery.h"

#include <gtest/gtest.h>

namespace {

const QString kAdapter = QStringLiteral("Arduino USB Serial Light Adapter");

TEST(MeterDiscovery, noDevicesOrNoMetersGiveAnEmptyListWithoutError) {
    for (const QStringList& names :
         {QStringList{},
          QStringList{QStringLiteral("USB Serial Port (COM3)"),
                      QStringLiteral("arduino usb serial light adapter (COM4)"),
                      QStringLiteral("ARDUINO USB SERIAL LIGHT ADAPTER (COM5)"), QString()}}) {
        const MeterScan scan = scanMeterNames(names);
        EXPECT_TRUE(scan.ok);
        EXPECT_TRUE(scan.error.isEmpty());
        EXPECT_TRUE(scan.entries.isEmpty());
    }
}

TEST(MeterDiscovery, oneMeterGivesItsTextAndPort) {
    const MeterScan scan = scanMeterNames({kAdapter + QStringLiteral(" (COM181)")});
    ASSERT_TRUE(scan.ok);
    ASSERT_EQ(scan.entries.size(), 1);
    EXPECT_EQ(scan.entries[0].text, QStringLiteral("QT570R (COM181)"));
    EXPECT_EQ(scan.entries[0].port, 181);
}

TEST(MeterDiscovery, metersKeepTheOrderOfTheDevicesAndOthersAreSkipped) {
    const MeterScan scan = scanMeterNames({kAdapter + QStringLiteral(" (COM12)"),
                                           QStringLiteral("USB Serial Port (COM3)"),
                                           kAdapter + QStringLiteral(" (COM5)")});
    ASSERT_TRUE(scan.ok);
    const QList<MeterEntry> expected{{QStringLiteral("QT570R (COM12)"), 12},
                                     {QStringLiteral("QT570R (COM5)"), 5}};
    EXPECT_EQ(scan.entries, expected);
}

TEST(MeterDiscovery, portIsTheLeadingNumberAfterTheFirstComMarker) {
    struct Case {
        QString name;
        qint32 port;
    };
    const Case cases[] = {
        {kAdapter + QStringLiteral(" (COM7) on hub 2 (port 4)"), 7},
        {QStringLiteral("Meter: ") + kAdapter + QStringLiteral(" (COM9)"), 9},
        {kAdapter + QStringLiteral(" (COMabc)"), 0},
        {kAdapter + QStringLiteral(" (COM)"), 0},
        {kAdapter + QStringLiteral(" (COM 7)"), 0},
        {kAdapter + QStringLiteral(" (COM007)"), 7},
        {kAdapter + QStringLiteral(" (COM3) (COM4)"), 3},
        {kAdapter + QStringLiteral(" (COM2147483647)"), 2147483647},
    };
    for (const Case& c : cases) {
        const MeterScan scan = scanMeterNames({c.name});
        ASSERT_TRUE(scan.ok) << c.name.toStdString();
        ASSERT_EQ(scan.entries.size(), 1);
        EXPECT_EQ(scan.entries[0].port, c.port) << c.name.toStdString();
        EXPECT_EQ(scan.entries[0].text, QStringLiteral("QT570R (COM%1)").arg(c.port));
    }
}

TEST(MeterDiscovery, meterNameWithoutComMarkerStopsTheScanKeepingEarlierEntries) {
    const MeterScan scan = scanMeterNames(
        {kAdapter + QStringLiteral(" (COM5)"), kAdapter, kAdapter + QStringLiteral(" (COM6)")});
    EXPECT_FALSE(scan.ok);
    EXPECT_FALSE(scan.error.isEmpty());
    ASSERT_EQ(scan.entries.size(), 1);
    EXPECT_EQ(scan.entries[0].port, 5);
}

TEST(MeterDiscovery, portBeyondThirtyTwoBitsStopsTheScan) {
    for (const QString& number : {QStringLiteral("99999999999"), QStringLiteral("2147483648")}) {
        const MeterScan scan = scanMeterNames({kAdapter + QStringLiteral(" (COM1)"),
                                               kAdapter + QStringLiteral(" (COM") + number + u')',
                                               kAdapter + QStringLiteral(" (COM2)")});
        EXPECT_FALSE(scan.ok);
        EXPECT_FALSE(scan.error.isEmpty());
        ASSERT_EQ(scan.entries.size(), 1);
        EXPECT_EQ(scan.entries[0].port, 1);
    }
}

TEST(MeterDiscovery, nameWithoutComMarkerIsNoErrorWhenItIsNoMeter) {
    const MeterScan scan = scanMeterNames(
        {QStringLiteral("Some Device"), QStringLiteral("USB Serial (COM99999999999)")});
    EXPECT_TRUE(scan.ok);
    EXPECT_TRUE(scan.entries.isEmpty());
}

TEST(MeterDiscovery, scanOfADeviceListUsesItsNamesOrReportsItsFailure) {
    FakeDeviceList working;
    working.names = {kAdapter + QStringLiteral(" (COM4)")};
    const MeterScan found = scanMeters(working);
    EXPECT_TRUE(found.ok);
    ASSERT_EQ(found.entries.size(), 1);
    EXPECT_EQ(found.entries[0].port, 4);

    FakeDeviceList broken;
    broken.names = {kAdapter + QStringLiteral(" (COM4)")};
    broken.failure = QStringLiteral("service not available");
    const MeterScan failed = scanMeters(broken);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, QStringLiteral("service not available"));
    EXPECT_TRUE(failed.entries.isEmpty());
}

} // namespace
