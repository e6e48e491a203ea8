#pragma once

#include <QString>
#include <QStringList>

// The computer's serial devices as display names of the kind "<description> (COM<n>)",
// and the way back from a COM number to the device that carries it.
class DeviceList {
public:
    virtual ~DeviceList() = default;
    // Fills *names in the system's order. Returns false with a description in *error when
    // the devices cannot be listed.
    virtual bool deviceNames(QStringList* names, QString* error) = 0;
    // The device node (or system port name) for a COM number from the last listing;
    // empty when unknown.
    virtual QString deviceNode(int comPort) const = 0;
};
