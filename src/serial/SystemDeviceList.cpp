#include "serial/SystemDeviceList.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

#include <system_error>
#include <utility>

namespace {

// Links and device nodes of one device compare equal by their resolved path.
QString sameDeviceKey(const QString& node) {
    // A Windows port name is its own key: asking the file system about it would open the port.
    if (node.startsWith(QLatin1String("\\\\.\\")))
        return node.toUpper();
    const QString canonical = QFileInfo(node).canonicalFilePath();
    return canonical.isEmpty() ? node : canonical;
}

void warnLeftOut(const QString& name, const QString& node, const QString& reason) {
    qWarning().noquote() << QStringLiteral("Left out \"%1\" (%2): %3").arg(name, node, reason);
}

} // namespace

SystemDeviceList::SystemDeviceList(QString portsFolder, PortSource systemPorts)
    : m_portsFolder(portsFolder.isEmpty() ? defaultPortsFolder() : std::move(portsFolder)),
      m_systemPorts(systemPorts ? std::move(systemPorts) : PortSource(&systemSerialPorts)) {}

QString SystemDeviceList::defaultPortsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/px417/ports");
}

bool SystemDeviceList::deviceNames(QStringList* names, QString* error) {
    Q_UNUSED(error);
    names->clear();
    m_nodes.clear();
    m_listedNodes.clear();

    const QList<portnaming::SerialPortFacts> systemPorts =
        m_ahead.valid() ? m_ahead.get() : m_systemPorts();
    for (const portnaming::SerialPortFacts& port : systemPorts) {
        int com = portnaming::comNumberForPort(port.portName);
        // Hashed numbers may collide; the next free one keeps them apart within this listing.
        while (com >= portnaming::kHashedFirst && m_nodes.contains(com))
            com = com == portnaming::kHashedLast ? portnaming::kHashedFirst : com + 1;
        const QString node = port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
        addEntry(portnaming::displayName(port, com), com, node, names);
    }

    const QFileInfoList links =
        QDir(m_portsFolder)
            .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (!link.isSymLink() || !link.exists())
            continue;
        const QString name = link.fileName();
        const portnaming::NamedPort named = portnaming::portInName(name);
        if (!named.hasComMarker || !named.fits) {
            // No number to open it by; discovery reports a meter name of this kind.
            names->append(name);
            continue;
        }
        addEntry(name, named.port, link.symLinkTarget(), names);
    }
    return true;
}

void SystemDeviceList::addEntry(const QString& name, int com, const QString& node,
                                QStringList* names) {
    // Discovery takes the number from the name, so a description holding "(COM" of its own
    // would lead the entry to another device's node.
    const portnaming::NamedPort named = portnaming::portInName(name);
    if (!named.hasComMarker || !named.fits || named.port != com) {
        warnLeftOut(name, node, QStringLiteral("its name does not read as COM%1").arg(com));
        return;
    }
    if (const auto taken = m_nodes.constFind(com); taken != m_nodes.cend()) {
        warnLeftOut(name, node, QStringLiteral("COM%1 is already %2").arg(com).arg(*taken));
        return;
    }
    const QString key = sameDeviceKey(node);
    if (const auto listed = m_listedNodes.constFind(key); listed != m_listedNodes.cend()) {
        warnLeftOut(name, node, QStringLiteral("the device is already COM%1").arg(*listed));
        return;
    }
    m_nodes.insert(com, node);
    m_listedNodes.insert(key, com);
    names->append(name);
}

void SystemDeviceList::listSystemPortsAhead() {
    if (m_ahead.valid())
        return;
    try {
        m_ahead = std::async(std::launch::async, m_systemPorts);
    } catch (const std::system_error&) {
        // No thread to be had: the next listing is made in place, as without this call.
    }
}

QString SystemDeviceList::deviceNode(int comPort) const {
    return m_nodes.value(comPort);
}
