#include "qt/SystemDeviceMonitor.h"

SystemDeviceMonitor::SystemDeviceMonitor(const QString& portsFolder, QObject* parent)
    : DeviceMonitor(parent), m_folder(portsFolder) {
    connect(&m_folder, &PortsFolderWatcher::portsChanged, this, &DeviceMonitor::devicesChanged);
    connect(&m_udev, &UdevMonitor::ttyChanged, this, &DeviceMonitor::devicesChanged);
    QString error;
    m_devicesWatched = m_udev.start(&error);
}
