#pragma once

#include "PortNaming.h"
#include "DeviceList.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The computer's serial ports followed by the virtual ports that simulators publish as
// symbolic links in "<runtime directory>/px417/ports": each link's file name is the device's
// display name and its target the device node.
class SystemDeviceList : public DeviceList {
public:
    using PortSource = std::function<QList<portnaming::SerialPortFacts>()>;

    // portsFolder empty: the folder under the user's runtime directory. systemPorts empty:
    // the system's serial ports.
    explicit SystemDeviceList(QString portsFolder = {}, PortSource systemPorts = {});

    // The system's ports as "<description> (COM<n>)", then the virtual ports whose target
    // still exists, by link name. Never fails: a missing ports folder simply adds nothing.
    bool deviceNames(QStringList* names, QString* error) override;
    // The node that the last listing gave this COM number; empty when unknown. When two
    // devices claim one number the first listed keeps it.
    QString deviceNode(int comPort) const override;

    // The folder searched for virtual ports.
    QString portsFolder() const { return m_portsFolder; }

    // The default ports folder: "px417/ports" in the user's runtime directory.
    static QString defaultPortsFolder();
    // The system's serial ports: on Linux read from sysfs, elsewhere as the toolkit lists them.
    static QList<portnaming::SerialPortFacts> systemSerialPorts();

private:
    QString m_portsFolder;
    PortSource m_systemPorts;
    QHash<int, QString> m_nodes;
};
