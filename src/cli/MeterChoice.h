#pragma once

#include <QString>

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
// one whose COM number port names ("COM181", any case) or the device node port names.
MeterChoice chooseMeter(DeviceList& devices, const QString& port);
