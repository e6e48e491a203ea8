#pragma once

#include "system/DeviceMonitor.h"

#include <QString>

#include <memory>

// The notices main() gives the window: serial ports arriving and leaving as the system reports
// them, with no polling. On Linux the device manager's (libudev) notices and the simulated
// meters published in or withdrawn from the ports folder; without a device manager only the
// folder is watched. On Windows the system's device notifications for serial ports.
class SystemDeviceMonitor : public DeviceMonitor {
    Q_OBJECT
public:
    // portsFolder: where simulated meters are published; Windows has none.
    explicit SystemDeviceMonitor(const QString& portsFolder, QObject* parent = nullptr);
    ~SystemDeviceMonitor() override;

    // True when the system's device notices arrive.
    bool watchesDevices() const { return m_devicesWatched; }

private:
    // What each platform watches with; its twin's own.
    struct Watch;

    std::unique_ptr<Watch> m_watch;
    bool m_devicesWatched = false;
};
