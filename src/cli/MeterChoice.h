#pragma once

#include <QString>

#include <functional>

class DeviceList;

// The meter that --capture listens to.
struct MeterChoice {
    // Its COM number in the device list; 0 for a device node that the list does not hold.
    int comPort = 0;
    // The device node named by --port, which the port opens instead of the list's node.
    QString node;
    // How the kept download's name calls the port: "COM181", or the node's file name.
    QString name;
    // Why no meter could be chosen; empty when one was.
    QString error;
};

// Chooses among the meters that discovery finds: the only one when port is empty, else the
// one whose COM number port names ("COM181", any case) or the device node port names. A COM
// number that is no meter's is opened through the node systemNode gives it, when that is not
// empty (Windows names every port so); otherwise it is refused.
MeterChoice chooseMeter(DeviceList& devices, const QString& port,
                        const std::function<QString(int comPort)>& systemNode = {});
