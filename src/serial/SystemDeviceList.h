#pragma once

#include "system/DeviceList.h"
#include "system/PortNaming.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <future>

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
    // Every listed name leads to its own node: a device whose COM number or node is already
    // listed, or whose name reads as another number than its own, is left out, with a
    // warning that names both.
    bool deviceNames(QStringList* names, QString* error) override;
    // The node that the last listing gave this COM number; empty when unknown.
    QString deviceNode(int comPort) const override;
    // Starts listing the system's ports on a thread of its own, and the next deviceNames()
    // takes that listing instead of making one: start-up builds the window meanwhile. Call it
    // once devices arriving are watched, so that none is missed between the two.
    void listSystemPortsAhead();

    // The folder searched for virtual ports.
    QString portsFolder() const { return m_portsFolder; }

    // The default ports folder: "px417/ports" in the user's runtime directory.
    static QString defaultPortsFolder();
    // The system's serial ports with their USB ids where it tells them, in its order.
    static QList<portnaming::SerialPortFacts> systemSerialPorts();
    // The port that the system itself calls COM<comPort>, whether listed or not ("\\.\COM7"
    // on Windows); empty where COM numbers are this program's own (Unix).
    static QString systemPortNode(int comPort);

private:
    // Lists name as COM number com on node, unless that would make two entries share a
    // number or a node.
    void addEntry(const QString& name, int com, const QString& node, QStringList* names);

    QString m_portsFolder;
    PortSource m_systemPorts;
    std::future<QList<portnaming::SerialPortFacts>> m_ahead;
    QHash<int, QString> m_nodes;
    // Resolved node -> its COM number.
    QHash<QString, int> m_listedNodes;
};
