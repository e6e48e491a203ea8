#include "SystemDeviceList.h"

#include "SysfsSerialPorts.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <utility>

SystemDeviceList::SystemDeviceList(QString portsFolder, PortSource systemPorts)
    : m_portsFolder(portsFolder.isEmpty() ? defaultPortsFolder() : std::move(portsFolder)),
      m_systemPorts(systemPorts ? std::move(systemPorts) : PortSource(&systemSerialPorts)) {}

QString SystemDeviceList::defaultPortsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/px417/ports");
}

QList<portnaming::SerialPortFacts> SystemDeviceList::systemSerialPorts() {
#if defined(Q_OS_LINUX)
    if (std::optional<QList<portnaming::SerialPortFacts>> ports = sysfsports::serialPorts())
        return *ports;
#endif
    QList<portnaming::SerialPortFacts> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        portnaming::SerialPortFacts port;
        port.portName = info.portName();
        port.systemLocation = info.systemLocation();
        port.description = info.description();
        port.hasVendorProduct = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

bool SystemDeviceList::deviceNames(QStringList* names, QString* error) {
    Q_UNUSED(error);
    names->clear();
    m_nodes.clear();

    for (const portnaming::SerialPortFacts& port : m_systemPorts()) {
        int com = portnaming::comNumberForPort(port.portName);
        // Hashed numbers may collide; the next free one keeps them apart within this listing.
        while (com >= portnaming::kHashedFirst && m_nodes.contains(com))
            com = com == portnaming::kHashedLast ? portnaming::kHashedFirst : com + 1;
        const QString node = port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
        if (!m_nodes.contains(com))
            m_nodes.insert(com, node);
        names->append(portnaming::displayName(port, com));
    }

    const QFileInfoList links =
        QDir(m_portsFolder)
            .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (!link.isSymLink() || !link.exists())
            continue;
        const QString name = link.fileName();
        const portnaming::NamedPort named = portnaming::portInName(name);
        if (named.hasComMarker && named.fits && !m_nodes.contains(named.port))
            m_nodes.insert(named.port, link.symLinkTarget());
        names->append(name);
    }
    return true;
}

QString SystemDeviceList::deviceNode(int comPort) const {
    return m_nodes.value(comPort);
}
