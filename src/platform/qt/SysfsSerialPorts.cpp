#include "SysfsSerialPorts.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sysfsports {
namespace {

// One attribute file, trimmed; empty when it is missing or unreadable.
QString attribute(const QString& dir, const char* name) {
    QFile file(dir + u'/' + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(256)).simplified();
}

std::optional<quint16> hexAttribute(const QString& dir, const char* name) {
    bool ok = false;
    const uint value = attribute(dir, name).toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return static_cast<quint16>(value);
}

bool isRfcomm(const QString& name) {
    if (!name.startsWith(u"rfcomm"))
        return false;
    bool ok = false;
    const int n = QStringView(name).mid(6).toInt(&ok);
    return ok && n >= 0 && n <= 255;
}

// UART drivers register every slot they know, present or not; a slot whose hardware did not
// answer has type 0 (unknown) and cannot be opened.
bool isAbsentUart(const QString& ttyDir) {
    const QString type = attribute(ttyDir, "type");
    return !type.isEmpty() && type.toInt() == 0;
}

// Description and ids from the nearest device above the terminal that has any of them: the
// USB device for a USB adapter (its interface directory has none), the card for PCI.
void fillDeviceFacts(const QString& ttyDir, portnaming::SerialPortFacts* port) {
    // Walked as text: the canonical path has no links left, so ".." is the parent folder.
    for (QString path = ttyDir; path.lastIndexOf(u'/') > 0; path.truncate(path.lastIndexOf(u'/'))) {
        const QString description = attribute(path, "product");
        std::optional<quint16> vendor = hexAttribute(path, "idVendor");
        std::optional<quint16> product = hexAttribute(path, "idProduct");
        if (!vendor && !product) {
            vendor = hexAttribute(path, "vendor");
            product = hexAttribute(path, "device");
        }
        if (!description.isEmpty() || vendor || product) {
            port->description = description;
            port->hasVendorProduct = vendor && product;
            port->vendorId = vendor.value_or(0);
            port->productId = product.value_or(0);
            return;
        }
    }
}

} // namespace

std::optional<QList<portnaming::SerialPortFacts>> serialPorts(const QString& classTty) {
#if defined(Q_OS_UNIX)
    // Plain directory calls: the class folder holds a link for every terminal of the system,
    // and a stat through each link costs more than the rest of the listing together.
    const QByteArray classPath = QFile::encodeName(classTty);
    DIR* dir = ::opendir(classPath.constData());
    if (!dir)
        return std::nullopt;
    struct Entry {
        QString name;
        bool hasDevice;
    };
    std::vector<Entry> entries;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const bool hasDevice = ::faccessat(::dirfd(dir), name + "/device", F_OK, 0) == 0;
        entries.push_back({QFile::decodeName(name), hasDevice});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });

    QList<portnaming::SerialPortFacts> ports;
    for (const Entry& entry : entries) {
        if (!entry.hasDevice && !isRfcomm(entry.name))
            continue;
        const QString ttyDir = QFileInfo(classTty + u'/' + entry.name).canonicalFilePath();
        if (ttyDir.isEmpty() || isAbsentUart(ttyDir))
            continue;

        portnaming::SerialPortFacts port;
        port.portName = entry.name;
        // sysfs writes a "/" in a device name as "!".
        port.systemLocation = QStringLiteral("/dev/") + QString(entry.name).replace(u'!', u'/');
        if (entry.hasDevice)
            fillDeviceFacts(ttyDir, &port);
        ports.append(port);
    }
    return ports;
#else
    Q_UNUSED(classTty);
    return std::nullopt;
#endif
}

} // namespace sysfsports
