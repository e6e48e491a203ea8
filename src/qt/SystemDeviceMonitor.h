#pragma once

#include "qt/PortsFolderWatcher.h"
#include "qt/UdevMonitor.h"
#include "system/DeviceMonitor.h"

#include <QString>

// The notices main() gives the window: terminals arriving and leaving as the device manager
// reports them (Linux with libudev), and simulated meters published in or withdrawn from the
// ports folder. Without a device manager only the folder is watched.
class SystemDeviceMonitor : public DeviceMonitor {
    Q_OBJECT
public:
    explicit SystemDeviceMonitor(const QString& portsFolder, QObject* parent = nullptr);

    // True when the device manager's notices arrive.
    bool watchesDevices() const { return m_devicesWatched; }

private:
    PortsFolderWatcher m_folder;
    UdevMonitor m_udev;
    bool m_devicesWatched = false;
};
