#include "link/MeterDiscovery.h"
#include "system/PortNaming.h"

#include <QSet>

#include <gtest/gtest.h>

using portnaming::comNumberForPort;
using portnaming::displayName;
using portnaming::SerialPortFacts;

namespace {

TEST(PortNaming, knownNodeFamiliesHaveTheirOwnRanges) {
    EXPECT_EQ(comNumberForPort(QStringLiteral("ttyS0")), 1);
    EXPECT_EQ(comNumberForPort(QStringLiteral("ttyS4")), 5);
    EXPECT_EQ(comNumberForPort(QStringLiteral("ttyUSB0")), 1000);
    EXPECT_EQ(comNumberForPort(QStringLiteral("/dev/ttyUSB3")), 1003);
    EXPECT_EQ(comNumberForPort(QStringLiteral("ttyACM0")), 2000);
    EXPECT_EQ(comNumberForPort(QStringLiteral("ttyACM17")), 2017);
}

TEST(PortNaming, windowsPortNameGivesItsOwnNumber) {
    EXPECT_EQ(comNumberForPort(QStringLiteral("COM3")), 3);
    EXPECT_EQ(comNumberForPort(QStringLiteral("COM181")), 181);
    EXPECT_EQ(comNumberForPort(QStringLiteral("COM32767")), 32767);
}

TEST(PortNaming, otherNodesAreHashedStablyAboveTheFixedRanges) {
    const QStringList others{QStringLiteral("cu.usbmodem14101"), QStringLiteral("ttyAMA0"),
                             QStringLiteral("rfcomm0"),          QStringLiteral("ttyS01"),
                             QStringLiteral("ttyS999"),          QStringLiteral("ttyUSB"),
                             QStringLiteral("ttyUSBx"),          QStringLiteral("COM0"),
                             QStringLiteral("COM99999"),         QStringLiteral("")};
    for (const QString& node : others) {
        const int com = comNumberForPort(node);
        EXPECT_GE(com, portnaming::kHashedFirst) << node.toStdString();
        EXPECT_LE(com, 32767) << node.toStdString();
        EXPECT_EQ(com, comNumberForPort(node)) << node.toStdString();
    }
    EXPECT_EQ(comNumberForPort(QStringLiteral("/dev/ttyAMA0")),
              comNumberForPort(QStringLiteral("ttyAMA0")));
}

TEST(PortNaming, fixedRangesDoNotOverlap) {
    QSet<int> seen;
    for (const QString& family :
         {QStringLiteral("ttyS"), QStringLiteral("ttyUSB"), QStringLiteral("ttyACM")}) {
        for (int k = 0; k < portnaming::kFamilySize; ++k) {
            const int com = comNumberForPort(family + QString::number(k));
            EXPECT_LT(com, portnaming::kHashedFirst);
            EXPECT_FALSE(seen.contains(com)) << com;
            seen.insert(com);
        }
    }
}

TEST(PortNaming, displayNameIsDescriptionWithComNumber) {
    SerialPortFacts port;
    port.portName = QStringLiteral("ttyUSB0");
    port.description = QStringLiteral("FT232R USB UART");
    EXPECT_EQ(displayName(port, 1000), QStringLiteral("FT232R USB UART (COM1000)"));

    port.description.clear();
    EXPECT_EQ(displayName(port, 1000), QStringLiteral("ttyUSB0 (COM1000)"));
}

TEST(PortNaming, adapterUsbIdsGiveTheAdapterNameWhichDiscoveryFinds) {
    for (quint16 product : {quint16(0x003B), quint16(0x0045)}) {
        SerialPortFacts port;
        port.portName = QStringLiteral("ttyACM0");
        port.description = QStringLiteral("Arduino Uno");
        port.hasVendorProduct = true;
        port.vendorId = 0x2341;
        port.productId = product;
        const QString name = displayName(port, 2000);
        EXPECT_EQ(name, QStringLiteral("Arduino USB Serial Light Adapter (COM2000)"));

        const MeterScan scan = scanMeterNames({name});
        ASSERT_EQ(scan.entries.size(), 1);
        EXPECT_EQ(scan.entries[0].port, 2000);
    }
}

TEST(PortNaming, otherUsbIdsKeepTheirDescription) {
    SerialPortFacts port;
    port.portName = QStringLiteral("ttyACM0");
    port.description = QStringLiteral("Arduino Mega");
    port.hasVendorProduct = true;
    port.vendorId = 0x2341;
    port.productId = 0x0042;
    EXPECT_EQ(displayName(port, 2000), QStringLiteral("Arduino Mega (COM2000)"));

    port.productId = 0x003B;
    port.vendorId = 0x0403;
    EXPECT_EQ(displayName(port, 2000), QStringLiteral("Arduino Mega (COM2000)"));

    port.vendorId = 0x2341;
    port.hasVendorProduct = false;
    EXPECT_EQ(displayName(port, 2000), QStringLiteral("Arduino Mega (COM2000)"));
}

TEST(PortNaming, descriptionAlreadyCarryingTheAdapterNameIsKept) {
    SerialPortFacts port;
    port.portName = QStringLiteral("COM181");
    port.description = QStringLiteral("Arduino USB Serial Light Adapter");
    port.hasVendorProduct = true;
    port.vendorId = 0x2341;
    port.productId = 0x003B;
    EXPECT_EQ(displayName(port, comNumberForPort(port.portName)),
              QStringLiteral("Arduino USB Serial Light Adapter (COM181)"));
}

TEST(PortNaming, instanceIdGivesTheUsbIdsItCarries) {
    const struct {
        const char* id;
        quint16 vendor;
        quint16 product;
    } carrying[] = {{R"(USB\VID_2341&PID_0043\75833353035351B0D1B1)", 0x2341, 0x0043},
                    {R"(usb\vid_2341&pid_003b&mi_00\6&1a2b3c&0&0000)", 0x2341, 0x003B},
                    {R"(FTDIBUS\VID_0403+PID_6001+A50285BIA\0000)", 0x0403, 0x6001}};
    for (const auto& c : carrying) {
        SerialPortFacts port;
        ASSERT_TRUE(portnaming::readInstanceIds(QString::fromLatin1(c.id), &port)) << c.id;
        EXPECT_TRUE(port.hasVendorProduct);
        EXPECT_EQ(port.vendorId, c.vendor) << c.id;
        EXPECT_EQ(port.productId, c.product) << c.id;
    }
}

TEST(PortNaming, instanceIdWithoutBothWholeIdsGivesNone) {
    for (const char* id : {R"(ACPI\PNP0501\1)", R"(USB\VID_2341\7583)", R"(USB\VID_234&PID_0043\1)",
                           R"(USB\VID_23410&PID_0043\1)", R"(USB\VID_23G1&PID_0043\1)",
                           R"(USB\XVID_2341&PID_0043\1)", R"(USB\VID_2341&PID_004)"}) {
        SerialPortFacts port;
        EXPECT_FALSE(portnaming::readInstanceIds(QString::fromLatin1(id), &port)) << id;
        EXPECT_FALSE(port.hasVendorProduct) << id;
    }
}

TEST(PortNaming, friendlyNameLosesOnlyItsOwnPort) {
    const QString adapter = QStringLiteral("Arduino USB Serial Light Adapter");
    const QString com7 = QStringLiteral("COM7");
    EXPECT_EQ(portnaming::withoutOwnPort(adapter + QStringLiteral(" (COM7)"), com7), adapter);
    EXPECT_EQ(portnaming::withoutOwnPort(adapter + QStringLiteral(" (COM7) rev B"), com7),
              adapter + QStringLiteral(" rev B"));
    EXPECT_EQ(portnaming::withoutOwnPort(adapter + QStringLiteral(" (COM71)"), com7),
              adapter + QStringLiteral(" (COM71)"));
    EXPECT_EQ(portnaming::withoutOwnPort(adapter, com7), adapter);

    SerialPortFacts port;
    port.portName = com7;
    port.description = portnaming::withoutOwnPort(adapter + QStringLiteral(" (COM7)"), com7);
    const MeterScan scan = scanMeterNames({displayName(port, comNumberForPort(com7))});
    ASSERT_EQ(scan.entries.size(), 1);
    EXPECT_EQ(scan.entries[0].text, QStringLiteral("QT570R (COM7)"));
}

} // namespace
