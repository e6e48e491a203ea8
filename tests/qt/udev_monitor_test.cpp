// The device manager's monitor against real netlink notices. The test plays the device
// manager: in private mount and network namespaces (so no other listener on this machine hears
// it) it marks the manager as running and sends notices in the manager's own wire format.
#include "WaitUntil.h"
#include "qt/UdevMonitor.h"

#include <QByteArray>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <linux/netlink.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

// The hash the manager's filters compare subsystems by (MurmurHash2, seed 0).
quint32 murmur2(const QByteArray& key) {
    const quint32 m = 0x5bd1e995;
    quint32 h = static_cast<quint32>(key.size());
    const auto* data = reinterpret_cast<const unsigned char*>(key.constData());
    qsizetype len = key.size();
    for (; len >= 4; data += 4, len -= 4) {
        quint32 k;
        std::memcpy(&k, data, 4);
        k *= m;
        k ^= k >> 24;
        k *= m;
        h = h * m ^ k;
    }
    switch (len) {
    case 3:
        h ^= static_cast<quint32>(data[2]) << 16;
        [[fallthrough]];
    case 2:
        h ^= static_cast<quint32>(data[1]) << 8;
        [[fallthrough]];
    case 1:
        h ^= data[0];
        h *= m;
    }
    h ^= h >> 13;
    h *= m;
    h ^= h >> 15;
    return h;
}

// Sends notices to the manager's multicast group as the manager does after its rules ran.
class ManagerNotices {
public:
    ManagerNotices() {
        m_socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    }
    ~ManagerNotices() {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    bool ok() const { return m_socket >= 0; }

    bool send(const char* action, const char* subsystem, const char* devpath) {
        static quint64 seqnum = 0;
        QByteArray properties;
        for (const QByteArray& p :
             {QByteArray("ACTION=") + action, QByteArray("DEVPATH=") + devpath,
              QByteArray("SUBSYSTEM=") + subsystem,
              QByteArray("SEQNUM=") + QByteArray::number(++seqnum),
              QByteArray("DEVNAME=/dev/ttyACM0"), QByteArray("MAJOR=166"), QByteArray("MINOR=0")})
            properties += p + '\0';
        struct Header {
            char prefix[8];
            quint32 magic, headerSize, propertiesOff, propertiesLen, subsystemHash, devtypeHash,
                tagBloomHi, tagBloomLo;
        } header{};
        std::memcpy(header.prefix, "libudev", 8);
        header.magic = htobe32(0xfeedcafe);
        header.headerSize = sizeof header;
        header.propertiesOff = sizeof header;
        header.propertiesLen = static_cast<quint32>(properties.size());
        header.subsystemHash = htobe32(murmur2(subsystem));
        QByteArray message(reinterpret_cast<const char*>(&header), sizeof header);
        message += properties;
        sockaddr_nl to{};
        to.nl_family = AF_NETLINK;
        to.nl_groups = 2; // the manager's group; 1 is the kernel's
        return ::sendto(m_socket, message.constData(), size_t(message.size()), 0,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to) == message.size();
    }

private:
    int m_socket = -1;
};

// Private namespaces with a running manager's control socket in a private /run.
bool playTheManager(std::string* why) {
    if (::geteuid() != 0) {
        *why = "needs root for private namespaces";
        return false;
    }
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("none", "/run", "tmpfs", 0, nullptr) != 0 || ::mkdir("/run/udev", 0755) != 0) {
        *why = std::string("no private namespaces here: ") + std::strerror(errno);
        return false;
    }
    QFile control(QStringLiteral("/run/udev/control"));
    return control.open(QIODevice::WriteOnly);
}

} // namespace

TEST(UdevMonitor, reportsTerminalsAddedAndRemovedButNotOtherNoticesOrSubsystems) {
    std::string why;
    if (!playTheManager(&why))
        GTEST_SKIP() << why;
    UdevMonitor monitor;
    QString error;
    if (!monitor.start(&error))
        GTEST_SKIP() << error.toStdString();
    QSignalSpy changed(&monitor, &UdevMonitor::ttyChanged);
    ManagerNotices manager;
    ASSERT_TRUE(manager.ok());
    const char* acm = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0";

    ASSERT_TRUE(manager.send("add", "tty", acm));
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }, 5000));

    // Neither a change of a terminal nor another subsystem's arrival is a device coming or
    // going; the removal after them is.
    ASSERT_TRUE(manager.send("change", "tty", acm));
    QTest::qWait(200);
    EXPECT_EQ(changed.count(), 1) << "a change notice counted";
    ASSERT_TRUE(manager.send("add", "usb", "/devices/pci0000:00/0000:00:14.0/usb1/1-2"));
    QTest::qWait(200);
    EXPECT_EQ(changed.count(), 1) << "another subsystem counted";
    ASSERT_TRUE(manager.send("remove", "tty", acm));
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 2; }, 5000));
}
