#pragma once

#include "ReceptionView.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// Runs the event loop until the condition holds or the time is up.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

// The simulated meter as a child process with its own runtime directory, so that its
// published link can neither collide with nor outlive the test.
class PtyMeter {
public:
    static constexpr int kStartMs = 10000;

    ~PtyMeter() { stop(); }

    // Starts the simulator with the arguments and waits for the link it prints. Returns
    // false with a description in *error when it does not come up.
    bool start(const QStringList& arguments, QString* error) {
        if (!m_runtime.isValid() ||
            !QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner)) {
            *error = QStringLiteral("no private runtime directory");
            return false;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(PX417_METER_SIM_PATH), arguments);
        if (!m_process.waitForStarted(kStartMs)) {
            *error = m_process.errorString();
            return false;
        }
        QDeadlineTimer deadline(kStartMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() &&
               m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(100);
        if (!m_process.canReadLine()) {
            *error = QStringLiteral("no link printed: ") + errors();
            return false;
        }
        m_link = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        m_device = QFileInfo(m_link).symLinkTarget();
        if (m_device.isEmpty()) {
            *error = QStringLiteral("%1 is not a link").arg(m_link);
            return false;
        }
        return true;
    }

    // Ends the simulator the way Ctrl-C would. Returns true when it exited by itself.
    bool stop() {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        m_process.terminate();
        if (m_process.waitForFinished(kStartMs))
            return true;
        m_process.kill();
        m_process.waitForFinished(kStartMs);
        return false;
    }

    QString link() const { return m_link; }
    QString device() const { return m_device; }
    QString runtimeDir() const { return m_runtime.path(); }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QTemporaryDir m_runtime;
    QProcess m_process;
    QString m_link;
    QString m_device;
};

// The window as download reception sees it: status lines and slot-table cells kept as texts,
// every status write and every decoder call recorded.
class RecordingView : public ReceptionView {
public:
    QString statusText(int line) const override { return m_status[line & 1]; }
    void setStatusText(int line, const QString& text) override {
        m_status[line & 1] = text;
        m_statusWrites.append({line, text});
    }
    void setSlotCell(int row, int col, const QString& text) override { m_cells[{row, col}] = text; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    int comPort() const override { return m_comPort; }
    void decodeMemory() override {
        ++m_decodeCalls;
        m_statusAtDecode = {m_status[0], m_status[1]};
    }

    QString cell(int row, int col) const { return m_cells.value({row, col}); }
    bool hasCell(int row, int col) const { return m_cells.contains({row, col}); }

    QString m_status[2];
    int m_comPort = 181;
    QMap<QPair<int, int>, QString> m_cells;
    QList<QPair<int, QString>> m_statusWrites;
    int m_decodeCalls = 0;
    QPair<QString, QString> m_statusAtDecode;
};
