#pragma once

#include <QObject>

// Tells when serial devices may have arrived or left, so the window can look for meters
// again. Behind an interface so tests raise the notice themselves.
class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // A serial device arrived or left; raised on the window's thread.
    void devicesChanged();
};
