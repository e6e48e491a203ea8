#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// The device manager's notices about terminals (subsystem "tty") arriving and leaving, read
// from its monitor socket through a socket notifier: no thread, no polling. Only where the
// program is built with libudev; elsewhere start() fails.
class UdevMonitor : public QObject {
    Q_OBJECT
public:
    explicit UdevMonitor(QObject* parent = nullptr);
    ~UdevMonitor() override;

    // Starts listening. Returns false with a reason in *error when there is no device manager
    // monitor to listen to.
    bool start(QString* error);

signals:
    // A terminal was added or removed.
    void ttyChanged();

private:
    void readEvents();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};
