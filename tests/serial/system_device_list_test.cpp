#include "Warnings.h"
#include "serial/SystemDeviceList.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <atomic>

#include <gtest/gtest.h>

using portnaming::SerialPortFacts;

namespace {

SerialPortFacts port(const QString& name, const QString& description) {
    SerialPortFacts facts;
    facts.portName = name;
    facts.systemLocation = QStringLiteral("/dev/") + name;
    facts.description = description;
    return facts;
}

// A ports folder with one live link, one dangling link and one plain file.
class VirtualPorts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(portsFolder()));
        QFile node(m_dir.filePath(QStringLiteral("pts7")));
        ASSERT_TRUE(node.open(QIODevice::WriteOnly));
        node.close();
        ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("pts7")),
                                portsFolder() + QStringLiteral("/") + kLive));
        ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("gone")),
                                portsFolder() + QStringLiteral("/") + kDangling));
        QFile plain(portsFolder() + QStringLiteral("/Arduino USB Serial Light Adapter (COM9)"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }

    QString portsFolder() const { return m_dir.filePath(QStringLiteral("px417/ports")); }
    QString liveTarget() const { return m_dir.filePath(QStringLiteral("pts7")); }

    const QString kLive = QStringLiteral("Arduino USB Serial Light Adapter (COM181)");
    const QString kDangling = QStringLiteral("Arduino USB Serial Light Adapter (COM182)");
    QTemporaryDir m_dir;
};

TEST_F(VirtualPorts, liveLinksFollowTheSystemPortsAndResolveToTheirTarget) {
    SystemDeviceList devices(portsFolder(), [] {
        return QList<SerialPortFacts>{port(QStringLiteral("ttyS0"), QStringLiteral("Serial")),
                                      port(QStringLiteral("ttyUSB2"), QStringLiteral("UART"))};
    });
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Serial (COM1)"), QStringLiteral("UART (COM1002)"),
                                  kLive}));
    EXPECT_EQ(devices.deviceNode(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(devices.deviceNode(1002), QStringLiteral("/dev/ttyUSB2"));
    EXPECT_EQ(QFileInfo(devices.deviceNode(181)).canonicalFilePath(),
              QFileInfo(liveTarget()).canonicalFilePath());
    EXPECT_TRUE(devices.deviceNode(182).isEmpty());
    EXPECT_TRUE(devices.deviceNode(9).isEmpty());
}

TEST_F(VirtualPorts, linkWhoseTargetVanishesIsDroppedOnTheNextListing) {
    SystemDeviceList devices(portsFolder(), [] { return QList<SerialPortFacts>{}; });
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, QStringList{kLive});

    ASSERT_TRUE(QFile::remove(liveTarget()));
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(devices.deviceNode(181).isEmpty());
}

TEST_F(VirtualPorts, aLinkWhoseNumberOrNodeIsTakenIsLeftOutWithAWarningNamingBoth) {
    // A virtual meter published as COM1 while the first UART is COM1: the meter's entry
    // would open the UART.
    const QString com1 = QStringLiteral("Arduino USB Serial Light Adapter (COM1)");
    ASSERT_TRUE(QFile::link(liveTarget(), portsFolder() + u'/' + com1));
    // A second name for the device that the system already lists as COM2000.
    const QString acm0 = m_dir.filePath(QStringLiteral("ttyACM0"));
    QFile node(acm0);
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(acm0, portsFolder() + QStringLiteral("/Board (COM5)")));
    SystemDeviceList devices(portsFolder(), [acm0] {
        SerialPortFacts board = port(QStringLiteral("ttyACM0"), QStringLiteral("Board"));
        board.systemLocation = acm0;
        return QList<SerialPortFacts>{port(QStringLiteral("ttyS0"), QString()), board};
    });
    Warnings warnings;
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));

    EXPECT_EQ(names, (QStringList{QStringLiteral("ttyS0 (COM1)"), QStringLiteral("Board (COM2000)"),
                                  kLive}));
    EXPECT_EQ(devices.deviceNode(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(devices.deviceNode(5).isEmpty());
    EXPECT_EQ(
        warnings.lines(),
        (QStringList{QStringLiteral("Left out \"Arduino USB Serial Light Adapter (COM1)\" (") +
                         liveTarget() + QStringLiteral("): COM1 is already /dev/ttyS0"),
                     QStringLiteral("Left out \"Board (COM5)\" (") + acm0 +
                         QStringLiteral("): the device is already COM2000")}));
}

TEST(SystemDeviceList, systemPortWhoseDescriptionNamesAnotherComNumberIsLeftOut) {
    QTemporaryDir dir;
    SystemDeviceList devices(dir.filePath(QStringLiteral("none")), [] {
        SerialPortFacts hostile = port(QStringLiteral("ttyACM1"),
                                       QStringLiteral("Arduino USB Serial Light Adapter (COM1)"));
        return QList<SerialPortFacts>{port(QStringLiteral("ttyS0"), QStringLiteral("UART")),
                                      hostile};
    });
    Warnings warnings;
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, QStringList{QStringLiteral("UART (COM1)")});
    EXPECT_TRUE(devices.deviceNode(2001).isEmpty());
    ASSERT_EQ(warnings.lines().size(), 1);
    EXPECT_EQ(warnings.lines().first(),
              QStringLiteral("Left out \"Arduino USB Serial Light Adapter (COM1) (COM2001)\" "
                             "(/dev/ttyACM1): its name does not read as COM2001"));
}

TEST(SystemDeviceList, missingPortsFolderAddsNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SystemDeviceList devices(dir.filePath(QStringLiteral("absent")), [] {
        return QList<SerialPortFacts>{port(QStringLiteral("ttyACM0"), QStringLiteral("Board"))};
    });
    QStringList names{QStringLiteral("stale")};
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, QStringList{QStringLiteral("Board (COM2000)")});
}

TEST(SystemDeviceList, collidingHashedNumbersStayUniqueAndResolve) {
    // Many unknown nodes: the hashed range must still give each its own number.
    QList<SerialPortFacts> ports;
    for (int i = 0; i < 400; ++i)
        ports.append(port(QStringLiteral("ttyXR%1").arg(i), QStringLiteral("X")));
    QSet<int> raw;
    for (const SerialPortFacts& facts : ports)
        raw.insert(portnaming::comNumberForPort(facts.portName));
    ASSERT_LT(raw.size(), ports.size()) << "no collision to resolve";

    QTemporaryDir dir;
    SystemDeviceList devices(dir.filePath(QStringLiteral("none")), [ports] { return ports; });
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    ASSERT_EQ(names.size(), ports.size());
    QSet<QString> nodes;
    for (const QString& name : names) {
        const portnaming::NamedPort named = portnaming::portInName(name);
        ASSERT_TRUE(named.hasComMarker);
        EXPECT_GE(named.port, portnaming::kHashedFirst);
        EXPECT_LE(named.port, 32767);
        nodes.insert(devices.deviceNode(named.port));
    }
    EXPECT_EQ(nodes.size(), ports.size());
}

} // namespace

TEST(SystemDeviceList, aListingAheadIsTakenByTheNextListingOnly) {
    QTemporaryDir dir;
    std::atomic<int> listings = 0;
    SystemDeviceList devices(dir.filePath(QStringLiteral("none")), [&listings] {
        const int n = ++listings;
        return QList<SerialPortFacts>{port(QStringLiteral("ttyS%1").arg(n), QStringLiteral("S"))};
    });
    devices.listSystemPortsAhead();
    QStringList names;
    QString error;
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, QStringList{QStringLiteral("S (COM2)")});
    ASSERT_TRUE(devices.deviceNames(&names, &error));
    EXPECT_EQ(names, QStringList{QStringLiteral("S (COM3)")});
    EXPECT_EQ(listings, 2);
}
