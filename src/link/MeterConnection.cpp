#include "link/MeterConnection.h"

#include "link/DownloadKeeper.h"
#include "link/MeterLine.h"
#include "link/StatusTexts.h"
#include "system/DeviceList.h"
#include "system/DeviceMonitor.h"
#include "system/ProgramControl.h"
#include "system/SerialPort.h"

#include <QStringList>
#include <QtDebug>

namespace {

// The window's view, with the download kept before it is decoded: whatever happens from there
// on, the download is on disk.
class KeepingView : public ForwardingReceptionView {
public:
    KeepingView(ReceptionView& view, DownloadKeeper& keeper, const Reception& reception)
        : ForwardingReceptionView(view), m_keeper(keeper), m_reception(reception) {}
    void decodeMemory() override {
        m_failure =
            m_keeper.keepDownload(m_reception.completedDownload(), now(), comPortName(comPort()));
        ForwardingReceptionView::decodeMemory();
    }
    // Why the download just completed was not kept; empty when it was, or when none completed.
    const QString& failure() const { return m_failure; }

private:
    DownloadKeeper& m_keeper;
    const Reception& m_reception;
    QString m_failure;
};

} // namespace

MeterConnection::MeterConnection(SerialPort& port, DeviceList& devices, Dialogs& dialogs,
                                 ProgramControl& program, ConnectionView& view,
                                 DeviceMonitor* monitor, DownloadKeeper* keeper, QObject* parent)
    : QObject(parent), m_port(port), m_devices(devices), m_dialogs(dialogs), m_program(program),
      m_view(view), m_keeper(keeper) {
    connect(&m_port, &SerialPort::comm, this, &MeterConnection::onComm);
    connect(&m_port, &SerialPort::lineLost, this, &MeterConnection::lineLost);
    if (monitor)
        connect(monitor, &DeviceMonitor::devicesChanged, this, &MeterConnection::devicesChanged);
}

void MeterConnection::reset() {
    m_comPort = -1;
    m_reception.resetFlags();
}

bool MeterConnection::downloading() const {
    return m_view.statusText(0) == QLatin1String(statustext::kDownloading);
}

void MeterConnection::scanComPorts() {
    m_discoveryPending = false;
    const MeterScan scan = scanMeters(m_devices);
    m_meters = scan.entries;
    m_view.showMeters(m_meters);
    if (!scan.ok) {
        failWith(QStringLiteral("Scanports ") + scan.error,
                 QString::fromLatin1(statustext::kProgramTitle), Dialogs::Icon::None);
        return;
    }
    if (m_meters.size() == 1) {
        m_view.chooseFirstMeter();
        connectChosen();
    }
}

void MeterConnection::connectChosen() {
    if (m_port.portOpen())
        m_port.close();
    const std::optional<qint64> port = m_view.chosenPort();
    if (!port) {
        connectionFailed(QStringLiteral("No meter chosen"));
        return;
    }
    if (*port < -32768 || *port > 32767) {
        connectionFailed(QStringLiteral("Port number out of range: %1").arg(*port));
        return;
    }
    m_comPort = static_cast<qint16>(*port);
    m_port.setCommPort(m_comPort);
    m_port.setSettings(kMeterLine);
    m_port.setInputLen(0);
    QString error;
    if (!m_port.open(&error)) {
        connectionFailed(error);
        return;
    }
    // Choosing a meter ends whatever transfer was under way, on this line or the last.
    m_reception.endTransfer();
    m_view.setStatusText(0, QString::fromLatin1(statustext::kReady));
    m_view.setStatusText(1, statustext::comText(m_comPort));
    runPendingDiscovery();
}

void MeterConnection::connectionFailed(const QString& reason) {
    const QString cr(QChar(13));
    // The box's fixed steps first; below them, after an empty line, the system's reason, which
    // is what tells a permission problem from a loose cable.
    const QString text = QStringList{QStringLiteral("Connection could not be established."),
                                     QStringLiteral("Please follow these steps:"),
                                     QStringLiteral("1. Disconnect USB cable from meter."),
                                     QStringLiteral("2. Disconnect USB cable from computer."),
                                     QStringLiteral("3. Reconnect USB cable to computer."),
                                     QStringLiteral("4. Reconnect USB cable to meter."),
                                     QStringLiteral("5. Restart software."),
                                     QString(),
                                     reason}
                             .join(cr);
    failWith(text, QStringLiteral("Connection error"), Dialogs::Icon::Critical);
}

void MeterConnection::failWith(const QString& text, const QString& caption, Dialogs::Icon icon) {
    // Before the box: a reader started from a terminal shows the reason there at once.
    qWarning().noquote() << QString(text).replace(QChar(13), QChar(10));
    // Ended before the box: the box tells the user to replug, and the notices that brings
    // while it is open must not connect or fail a second time.
    m_ended = true;
    m_dialogs.message(text, caption, icon);
    m_program.endNow(1);
}

void MeterConnection::onComm() {
    const QByteArray waiting = m_port.inBufferCount() > 0 ? m_port.input() : QByteArray();
    if (m_keeper) {
        KeepingView view(m_view, *m_keeper, m_reception);
        m_reception.onComm(waiting, view);
        if (!view.failure().isEmpty())
            notKept(view.failure());
    } else {
        m_reception.onComm(waiting, m_view);
    }
    runPendingDiscovery();
}

void MeterConnection::notKept(const QString& reason) {
    qWarning().noquote() << reason;
    // A technician never reads standard error. After the port's notification, not inside it:
    // the box waits for the user, and the table is already filled.
    const QString text = QStringList{QStringLiteral("This download was not kept."), reason,
                                     QStringLiteral("Export the table to keep its rows.")}
                             .join(QChar(13));
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (!m_ended)
                m_dialogs.message(text, QString::fromLatin1(statustext::kProgramTitle),
                                  Dialogs::Icon::Critical);
        },
        Qt::QueuedConnection);
}

void MeterConnection::lineLost() {
    if (m_ended)
        return;
    m_reception.lineLost(m_view);
    runPendingDiscovery();
}

void MeterConnection::devicesChanged() {
    if (m_ended)
        return;
    if (downloading()) {
        m_discoveryPending = true;
        return;
    }
    rescanOnNotice();
}

void MeterConnection::rescanOnNotice() {
    // Owed no more, whichever way this ends: a flag left set would list the devices again on
    // every later notification from the line.
    m_discoveryPending = false;
    // A notice about some other device leaves the open meter alone: closing and reopening its
    // line would lose a transfer the user has just started on it.
    if (m_port.portOpen()) {
        const MeterScan scan = scanMeters(m_devices);
        if (scan.ok && scan.entries == m_meters)
            return;
    }
    scanComPorts();
}

void MeterConnection::runPendingDiscovery() {
    if (!m_discoveryPending || downloading())
        return;
    // After the handler that ended the download, not inside the port's own notification.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_discoveryPending && !m_ended && !downloading())
                rescanOnNotice();
        },
        Qt::QueuedConnection);
}

bool MeterConnection::closeForShutdown() {
    if (!m_port.portOpen())
        return false;
    m_port.close();
    return true;
}
