#include "qt/SystemDeviceMonitor.h"

#include "qt/PortsFolderWatcher.h"
#include "qt/UdevMonitor.h"

struct SystemDeviceMonitor::Watch {
    explicit Watch(const QString& portsFolder) : folder(portsFolder) {}

    PortsFolderWatcher folder;
    UdevMonitor udev;
};

SystemDeviceMonitor::SystemDeviceMonitor(const QString& portsFolder, QObject* parent)
    : DeviceMonitor(parent), m_watch(std::make_unique<Watch>(portsFolder)) {
    connect(&m_watch->folder, &PortsFolderWatcher::portsChanged, this,
            &DeviceMonitor::devicesChanged);
    connect(&m_watch->udev, &UdevMonitor::ttyChanged, this, &DeviceMonitor::devicesChanged);
    QString error;
    m_devicesWatched = m_watch->udev.start(&error);
}

SystemDeviceMonitor::~SystemDeviceMonitor() = default;
