#include "SysfsSerialPorts.h"

#include <QDir>
#include <QFile>
#include <QSerialPortInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using portnaming::SerialPortFacts;

namespace {

// A miniature sysfs: devices under devices/, terminals linked from class/tty.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(Q_OS_UNIX)
        GTEST_SKIP() << "sysfs is read on Unix systems only";
#endif
        ASSERT_TRUE(m_root.isValid());
    }

    QString classTty() const {
        return m_root.filePath(QStringLiteral("class/tty"));
    }

    void write(const QString& dir, const QString& name, const QByteArray& text) {
        ASSERT_TRUE(QDir().mkpath(m_root.filePath(dir)));
        QFile file(m_root.filePath(dir + u'/' + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    void link(const QString& target, const QString& name) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(m_root.filePath(name)).path()));
        ASSERT_TRUE(QFile::link(m_root.filePath(target), m_root.filePath(name)));
    }

    // A terminal at devices/<parent>/tty/<name>, linked from class/tty. Unless the parent is
    // "virtual" the parent becomes its device, with driver linked to drivers/<driver>.
    void terminal(const QString& name, const QString& parent, const QString& driver = {}) {
        const QString dir = QStringLiteral("devices/") + parent + QStringLiteral("/tty/") + name;
        write(dir, QStringLiteral("dev"), "188:0\n");
        link(dir, QStringLiteral("class/tty/") + name);
        if (parent.isEmpty() || parent == u"virtual")
            return;
        link(QStringLiteral("devices/") + parent, dir + QStringLiteral("/device"));
        if (!driver.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(m_root.filePath(QStringLiteral("drivers/") + driver)));
            link(QStringLiteral("drivers/") + driver,
                 QStringLiteral("devices/") + parent + QStringLiteral("/driver"));
        }
    }

    const SerialPortFacts* find(const QList<SerialPortFacts>& ports, const QString& name) {
        for (const SerialPortFacts& port : ports)
            if (port.portName == name)
                return &port;
        return nullptr;
    }

    QTemporaryDir m_root;
};

TEST_F(FakeSysfs, usbAdapterCarriesTheUsbDevicesProductAndIds) {
    const QString usb = QStringLiteral("pci0/usb1/1-2");
    const QString usbDir = QStringLiteral("devices/") + usb;
    write(usbDir, QStringLiteral("product"), "Arduino USB Serial Light Adapter\n");
    write(usbDir, QStringLiteral("idVendor"), "2341\n");
    write(usbDir, QStringLiteral("idProduct"), "0045\n");
    write(usbDir + QStringLiteral("/1-2:1.0"), QStringLiteral("bInterfaceClass"), "02\n");
    terminal(QStringLiteral("ttyACM0"), usb + QStringLiteral("/1-2:1.0"),
             QStringLiteral("cdc_acm"));

    const auto ports = sysfsports::serialPorts(classTty());
    ASSERT_TRUE(ports);
    ASSERT_EQ(ports->size(), 1);
    const SerialPortFacts& port = ports->front();
    EXPECT_EQ(port.portName, QStringLiteral("ttyACM0"));
    EXPECT_EQ(port.systemLocation, QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(port.description, QStringLiteral("Arduino USB Serial Light Adapter"));
    EXPECT_TRUE(port.hasVendorProduct);
    EXPECT_EQ(port.vendorId, 0x2341);
    EXPECT_EQ(port.productId, 0x0045);
}

TEST_F(FakeSysfs, terminalsWithoutHardwareAndAbsentUartSlotsAreLeftOut) {
    terminal(QStringLiteral("tty1"), QStringLiteral("virtual"));
    terminal(QStringLiteral("ptmx"), QStringLiteral("virtual"));
    terminal(QStringLiteral("ttyS0"), QStringLiteral("platform/serial8250"),
             QStringLiteral("serial8250"));
    write(QStringLiteral("devices/platform/serial8250/tty/ttyS0"), QStringLiteral("type"), "4\n");
    // Newer kernels put a port device of the serial core between the terminal and the UART.
    terminal(QStringLiteral("ttyS1"), QStringLiteral("platform/serial8250/port1"),
             QStringLiteral("port"));
    write(QStringLiteral("devices/platform/serial8250/port1/tty/ttyS1"), QStringLiteral("type"),
          "0\n");
    terminal(QStringLiteral("rfcomm3"), QStringLiteral("virtual"));

    const auto ports = sysfsports::serialPorts(classTty());
    ASSERT_TRUE(ports);
    QStringList names;
    for (const SerialPortFacts& port : *ports)
        names.append(port.portName);
    EXPECT_EQ(names, (QStringList{QStringLiteral("rfcomm3"), QStringLiteral("ttyS0")}));
    EXPECT_TRUE(find(*ports, QStringLiteral("ttyS0"))->description.isEmpty());
    EXPECT_FALSE(find(*ports, QStringLiteral("ttyS0"))->hasVendorProduct);
}

TEST_F(FakeSysfs, pciCardGivesItsIdsAndSlashInANameReachesTheNode) {
    const QString card = QStringLiteral("pci0/0000:00:16.3");
    write(QStringLiteral("devices/") + card, QStringLiteral("vendor"), "0x8086\n");
    write(QStringLiteral("devices/") + card, QStringLiteral("device"), "0x1c3d\n");
    terminal(QStringLiteral("ttyS4"), card, QStringLiteral("serial"));
    terminal(QStringLiteral("tts!0"), QStringLiteral("platform/uart0"), QStringLiteral("uart"));

    const auto ports = sysfsports::serialPorts(classTty());
    ASSERT_TRUE(ports);
    const SerialPortFacts* pci = find(*ports, QStringLiteral("ttyS4"));
    ASSERT_NE(pci, nullptr);
    EXPECT_TRUE(pci->hasVendorProduct);
    EXPECT_EQ(pci->vendorId, 0x8086);
    EXPECT_EQ(pci->productId, 0x1c3d);
    const SerialPortFacts* slashed = find(*ports, QStringLiteral("tts!0"));
    ASSERT_NE(slashed, nullptr);
    EXPECT_EQ(slashed->systemLocation, QStringLiteral("/dev/tts/0"));
}

TEST_F(FakeSysfs, unreadableOrMissingClassFolderGivesNothing) {
    EXPECT_FALSE(sysfsports::serialPorts(m_root.filePath(QStringLiteral("no/such/folder"))));
}

// On the machine running the tests: every port the toolkit lists is listed with the same node
// and ids. The toolkit drops a UART it may not open, so the reverse need not hold.
TEST(SysfsSerialPorts, listsEveryPortTheToolkitListsWithTheSameIds) {
    const auto ours = sysfsports::serialPorts();
    if (!ours)
        GTEST_SKIP() << "no readable /sys/class/tty";
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SCOPED_TRACE(info.portName().toStdString());
        const SerialPortFacts* match = nullptr;
        for (const SerialPortFacts& port : *ours)
            if (port.portName == info.portName())
                match = &port;
        ASSERT_NE(match, nullptr);
        EXPECT_EQ(match->systemLocation, info.systemLocation());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            EXPECT_EQ(match->vendorId, info.vendorIdentifier());
            EXPECT_EQ(match->productId, info.productIdentifier());
        }
    }
}

} // namespace
