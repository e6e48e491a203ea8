#include "qt/UdevMonitor.h"

#include <QSocketNotifier>

#if defined(PX417_HAVE_LIBUDEV)
#include <libudev.h>

#include <cstring>
#endif

UdevMonitor::UdevMonitor(QObject* parent) : QObject(parent) {}

#if defined(PX417_HAVE_LIBUDEV)

UdevMonitor::~UdevMonitor() {
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

bool UdevMonitor::start(QString* error) {
    if (m_notifier)
        return true;
    m_udev = udev_new();
    // "udev": the notices the device manager sends once its rules have run, so the node's
    // access rights are final by then.
    m_monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, "udev") : nullptr;
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        *error = QStringLiteral("the device manager's monitor is not available");
        return false;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevMonitor::readEvents);
    return true;
}

void UdevMonitor::readEvents() {
    // The socket does not block: read every notice waiting, report once.
    bool changed = false;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            changed = true;
        udev_device_unref(device);
    }
    if (changed)
        emit ttyChanged();
}

#else

UdevMonitor::~UdevMonitor() = default;

bool UdevMonitor::start(QString* error) {
    *error = QStringLiteral("built without the device manager's library");
    return false;
}

void UdevMonitor::readEvents() {}

#endif
