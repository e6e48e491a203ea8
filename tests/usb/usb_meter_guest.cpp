// The reader against a real USB meter. Runs inside the virtual machine of usb-vm-test.sh: the
// meter is a USB gadget (PX417_USB_GADGET, bound to PX417_USB_UDC), its host side the kernel's
// cdc_acm terminal as udevd describes it, its meter side /dev/ttyGS0 where the simulator writes.
#include "ExpectedRows.h"
#include "LiveReader.h"
#include "WaitUntil.h"
#include "link/MeterDiscovery.h"
#include "system/PortNaming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

namespace {

// Bounds for an emulated machine on a loaded host; the conditions usually hold within seconds.
constexpr int kPlugMs = 40000;
constexpr int kDownloadMs = 60000;
const QString kMeterSide = QStringLiteral("/dev/ttyGS0");

// The gadget's USB identity and its cable.
class UsbGadget {
public:
    UsbGadget()
        : m_dir(qEnvironmentVariable("PX417_USB_GADGET")),
          m_udc(qEnvironmentVariable("PX417_USB_UDC")) {}
    ~UsbGadget() { unplug(); }
    bool present() const { return !m_udc.isEmpty() && QFileInfo::exists(m_dir + "/UDC"); }

    // Sets the ids and the product string; the gadget must be unplugged.
    bool setIdentity(quint16 vendor, quint16 product, const QString& name) const {
        return write("idVendor", "0x" + QByteArray::number(vendor, 16)) &&
               write("idProduct", "0x" + QByteArray::number(product, 16)) &&
               write("strings/0x409/product", name.toUtf8());
    }
    bool plugIn() const { return write("UDC", m_udc.toUtf8()); }
    // Unbinding is a USB disconnect for the host side.
    bool unplug() const {
        QFile udc(m_dir + "/UDC");
        if (udc.open(QIODevice::ReadOnly) && udc.readAll().trimmed().isEmpty())
            return true;
        return write("UDC", "\n");
    }

private:
    bool write(const char* attribute, const QByteArray& value) const {
        QFile file(m_dir + u'/' + QLatin1String(attribute));
        return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
    }

    QString m_dir;
    QString m_udc;
};

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(kPlugMs);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The cdc_acm terminals udevd has described, once it has handled every event so far. Its
// database entry is written when it has handled a device's arrival and removed when it has
// handled its removal, so a node is listed only once it is described.
QStringList acmNodes() {
    run(QStringLiteral("udevadm"), {"settle", "--timeout=30"});
    QStringList nodes;
    for (const QString& name : QDir("/dev").entryList({"ttyACM*"}, QDir::System)) {
        QFile dev("/sys/class/tty/" + name + "/dev");
        if (dev.open(QIODevice::ReadOnly) &&
            QFileInfo::exists("/run/udev/data/c" + QString::fromLatin1(dev.readAll().trimmed())))
            nodes << "/dev/" + name;
    }
    return nodes;
}

// Plugs the gadget in as the given device; returns its terminal, or an empty text.
QString plugIn(const UsbGadget& gadget, quint16 vendor, quint16 product, const QString& name) {
    QString node;
    if (gadget.unplug() && waitUntil([] { return acmNodes().isEmpty(); }, kPlugMs) &&
        gadget.setIdentity(vendor, product, name) && gadget.plugIn())
        waitUntil([&] { return !(node = acmNodes().value(0)).isEmpty(); }, kPlugMs);
    return node;
}

QString plugInMeter(const UsbGadget& gadget) {
    return plugIn(gadget, portnaming::kAdapterVendorId, portnaming::kAdapterProductIds[1],
                  portnaming::kAdapterName.toString());
}

// The properties udevd gave a node.
QMap<QString, QString> udevProperties(const QString& node) {
    QMap<QString, QString> properties;
    const QString out =
        run(QStringLiteral("udevadm"), {"info", "--query=property", "--name", node});
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
        properties.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    return properties;
}

// The reader as main() builds it, shown on the X server, listing the system's own ports.
std::unique_ptr<LiveReader> startReader(const QString& portsFolder) {
    LiveReader::Options options;
    options.portsFolder = portsFolder;
    options.systemPorts = true;
    options.watch = true;
    auto reader = std::make_unique<LiveReader>(options);
    reader->form->show();
    return reader;
}

// The simulator writing one download of the seed into the gadget's serial side at the meter's
// 9600 baud, with the given faults.
class GadgetMeter {
public:
    explicit GadgetMeter(quint32 seed, const QStringList& faults = {}) {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(PX417_METER_SIM_PATH),
                        QStringList{"--device", kMeterSide, "--seed", QString::number(seed),
                                    "--speed", "9600", "--exit-after"} +
                            faults);
    }
    ~GadgetMeter() {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

std::string panel(const LiveReader& reader) {
    return (reader.state() + " / " + reader.detail()).toStdString();
}

#define REQUIRE_GADGET(gadget)                                                                     \
    if (!(gadget).present())                                                                       \
    GTEST_SKIP() << "needs the USB gadget of usb-vm-test.sh (PX417_USB_GADGET, PX417_USB_UDC)"

} // namespace

TEST(UsbMeter, isFoundOnItsAcmTerminalAtStartUpConnectedAndItsDownloadExportsTheKnownRows) {
    UsbGadget gadget;
    REQUIRE_GADGET(gadget);
    ASSERT_EQ(plugInMeter(gadget), "/dev/ttyACM0");
    QTemporaryDir folder;
    const auto reader = startReader(folder.filePath("ports"));

    ASSERT_EQ(reader->form->lComPorts().count(), 1);
    EXPECT_EQ(reader->form->lComPorts().item(0)->text(), "QT570R (COM2000)");
    ASSERT_TRUE(reader->port.portOpen());
    EXPECT_EQ(panel(*reader), "Ready. / COM:2000");

    ASSERT_EQ(reader->devices.deviceNode(2000), "/dev/ttyACM0");
    GadgetMeter meter(5);
    ASSERT_TRUE(waitUntil([&] { return reader->mem().textMatrix(100, 0) == u"100"; }, kDownloadMs))
        << panel(*reader);
    const QString csv = folder.filePath("download.csv");
    reader->dialogs.saveAnswers << csv;
    reader->form->C_Export_Click(0);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    const e2e::ExpectedDownload expected = e2e::expectedDownload(5);
    ASSERT_EQ(expected.rows.size(), 100u);
    ASSERT_EQ(lines.size(), 103); // "Exported", the header, 100 rows, and the last line's end
    for (int slot = 0; slot < 100; ++slot)
        EXPECT_EQ(lines[slot + 2], expected.rows[size_t(slot)].join(u',')) << "slot " << slot;
    EXPECT_TRUE(reader->dialogs.boxes.empty());
}

TEST(UsbMeter, unpluggedMidDownloadSaysSoKeepsTheTableAndIsTakenAgainWithoutAClick) {
    UsbGadget gadget;
    REQUIRE_GADGET(gadget);
    ASSERT_FALSE(plugInMeter(gadget).isEmpty());
    QTemporaryDir folder;
    const auto reader = startReader(folder.filePath("ports"));
    ASSERT_TRUE(reader->port.portOpen());

    auto first = std::make_unique<GadgetMeter>(7);
    ASSERT_TRUE(waitUntil(
        [&] { return e2e::showsExpectedRows(reader->slotTable(), reader->mem(), 7); }, kDownloadMs))
        << panel(*reader);
    const QStringList table = gridTexts(reader->mem(), 101, 8);
    first.reset();

    // Half a download: the meter stops after slot 50, so the cable is pulled mid-download
    // however slowly the machine runs.
    const GadgetMeter cut(9, {"--stop-after", "50"});
    ASSERT_TRUE(
        waitUntil([&] { return reader->form->reception().slotReceived(50) != 0; }, kDownloadMs))
        << panel(*reader);
    ASSERT_EQ(reader->state(), "Downloading...");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(gadget.unplug());
    ASSERT_TRUE(waitUntil([&] { return reader->state() == u"Connection lost."; }, kPlugMs))
        << panel(*reader);
    std::cout << "[ figures  ] unplug to \"Connection lost.\": " << clock.elapsed() << " ms\n";
    EXPECT_EQ(reader->detail(), "Please reconnect.");
    EXPECT_FALSE(reader->port.portOpen());
    EXPECT_EQ(gridTexts(reader->mem(), 101, 8), table);
    EXPECT_TRUE(waitUntil([&] { return reader->form->lComPorts().count() == 0; }, kPlugMs))
        << "the gone meter is still listed";
    EXPECT_FALSE(reader->program.ended);
    EXPECT_TRUE(reader->dialogs.boxes.empty());

    clock.restart();
    ASSERT_TRUE(gadget.plugIn());
    ASSERT_TRUE(
        waitUntil([&] { return reader->port.portOpen() && reader->state() == u"Ready."; }, kPlugMs))
        << panel(*reader);
    std::cout << "[ figures  ] plug-in to \"Ready.\": " << clock.elapsed() << " ms, on "
              << reader->detail().toStdString() << "\n";
    const GadgetMeter next(11);
    EXPECT_TRUE(
        waitUntil([&] { return e2e::showsExpectedRows(reader->slotTable(), reader->mem(), 11); },
                  kDownloadMs))
        << panel(*reader) << "\n"
        << e2e::showsExpectedRows(reader->slotTable(), reader->mem(), 11).message();
    EXPECT_EQ(reader->form->lComPorts().count(), 1);
    EXPECT_FALSE(reader->program.ended);
    EXPECT_TRUE(reader->dialogs.boxes.empty());
}

TEST(UsbMeterRule, udevKeepsModemManagerOffAndGrantsAccessToExactlyTheTerminalsListedAsMeters) {
    UsbGadget gadget;
    REQUIRE_GADGET(gadget);
    struct Device {
        quint16 vendor;
        quint16 product;
        const char* name;
        bool meter;
    };
    const Device devices[] = {
        {0x2341, 0x0045, "Arduino USB Serial Light Adapter", true},
        {0x2341, 0x003B, "USB Serial", true},                       // by its ids
        {0x2341, 0x0043, "Arduino USB Serial Light Adapter", true}, // by its name
        {0x2341, 0x0043, "QT570R Arduino USB Serial Light Adapter", true},
        {0x2341, 0x0043, "Arduino_USB_Serial_Light_Adapter", true},
        {0x2341, 0x0043, "QT570R Arduino_USB_Serial_Light_Adapter", true},
        {0x2341, 0x0043, "Arduino Uno", false},
        {0x1D6B, 0x0104, "Other CDC-ACM device", false},
    };
    QTemporaryDir folder;
    for (const Device& device : devices) {
        SCOPED_TRACE(QStringLiteral("%1:%2 \"%3\"")
                         .arg(device.vendor, 4, 16, QLatin1Char('0'))
                         .arg(device.product, 4, 16, QLatin1Char('0'))
                         .arg(QLatin1String(device.name))
                         .toStdString());
        const QString node = plugIn(gadget, device.vendor, device.product, device.name);
        ASSERT_FALSE(node.isEmpty()) << "no terminal appeared";
        SystemDeviceList list(folder.filePath("ports"));
        QStringList names;
        list.deviceNames(&names, nullptr);
        EXPECT_EQ(!scanMeters(list).entries.isEmpty(), device.meter)
            << "discovery disagrees; the system lists " << names.join(", ").toStdString();
        const QMap<QString, QString> properties = udevProperties(node);
        EXPECT_EQ(properties.value("ID_MM_DEVICE_IGNORE") == u"1", device.meter);
        EXPECT_EQ(properties.value("TAGS").contains(":uaccess:"), device.meter);
    }
}
