#include "cli/Capture.h"

#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"
#include "link/MeterLine.h"
#include "link/SlotTable.h"
#include "system/SerialPort.h"

#include <algorithm>
#include <utility>

Capture::Tables::Tables(Capture& capture)
    : DownloadTables(capture.m_meter.comPort), m_capture(capture) {}

void Capture::Tables::decodeMemory() {
    // Before decoding, so that whatever happens next the download is on disk.
    QString error;
    if (m_capture.m_store
            .keep(m_capture.m_reception.completedDownload(), now(), m_capture.m_meter.name, &error)
            .isEmpty())
        printError(error);
    DownloadTables::decodeMemory();
}

Capture::Capture(SerialPort& port, MeterChoice meter, DownloadStore store, Settings settings,
                 QObject* parent)
    : QObject(parent), m_port(port), m_meter(std::move(meter)), m_store(std::move(store)),
      m_settings(std::move(settings)) {
    m_timeout.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the deadline below catches any early fire.
    m_timeout.setTimerType(Qt::PreciseTimer);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        if (!m_deadline.hasExpired()) {
            m_timeout.start(int(std::max<qint64>(1, m_deadline.remainingTime())));
            return;
        }
        printError(QStringLiteral("no download from %1 within %2 s")
                       .arg(m_meter.name)
                       .arg(m_settings.timeoutMs / 1000.0));
        finish(exitstatus::kTimedOut);
    });
    connect(&m_port, &SerialPort::comm, this, &Capture::onComm);
    connect(&m_port, &SerialPort::lineLost, this, &Capture::onLineLost);
}

std::optional<int> Capture::start() {
    m_port.setCommPort(m_meter.comPort);
    m_port.setSettings(kMeterLine);
    m_port.setInputLen(0);
    QString error;
    if (!m_port.open(&error)) {
        printError(QStringLiteral("%1 cannot be opened: %2")
                       .arg(m_meter.name, QString(error).replace(QChar(13), QChar(10))));
        return exitstatus::kNoDownload;
    }
    if (m_settings.timeoutMs > 0) {
        m_deadline.setRemainingTime(m_settings.timeoutMs, Qt::PreciseTimer);
        m_timeout.start(m_settings.timeoutMs);
    }
    return std::nullopt;
}

void Capture::finish(int status) {
    if (m_finished)
        return;
    m_finished = true;
    m_timeout.stop();
    m_port.close();
    emit finished(status);
}

void Capture::onComm() {
    if (m_finished)
        return;
    const int completed = m_tables.completions();
    m_reception.onComm(m_port.inBufferCount() > 0 ? m_port.input() : QByteArray(), m_tables);
    if (m_tables.completions() > completed) {
        finish(writeAllRows(m_settings.out, QDateTime::currentDateTime(), m_tables.memTable())
                   ? exitstatus::kOk
                   : exitstatus::kFailed);
    } else if (!m_tables.slotsAtFailure().isEmpty()) {
        printError(QStringLiteral("Data check error. %1 of %2 slots received.")
                       .arg(m_tables.slotsAtFailure())
                       .arg(kSlotCount));
        finish(exitstatus::kCheckFailed);
    }
}

void Capture::onLineLost() {
    if (m_finished)
        return;
    printError(QStringLiteral("the line to %1 was lost").arg(m_meter.name));
    finish(exitstatus::kLineLost);
}
