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

} // namespace
