#pragma once

// The simulated meter as a child process, and the waiting that tests against it need.
// PX417_METER_SIM_PATH names the simulator's executable.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "WaitUntil.h"

// A private runtime directory (0700) shared by the reader and every simulator of one test.
class RuntimeDir {
public:
    RuntimeDir() : m_previous(qgetenv("XDG_RUNTIME_DIR")) {
        m_ok =
            m_dir.isValid() &&
            QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner) &&
            QDir(m_dir.path()).mkpath(QStringLiteral("px417/ports"));
        // The reader's own runtime lookups land here too, never in the user's folder.
        if (m_ok)
            qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
    }
    // The process's own folder again, so that nothing is left pointing at a removed one.
    ~RuntimeDir() {
        if (m_ok)
            qputenv("XDG_RUNTIME_DIR", m_previous);
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;
    bool ok() const { return m_ok; }
    QString path() const { return m_dir.path(); }
    QString portsFolder() const { return m_dir.path() + QStringLiteral("/px417/ports"); }

private:
    QByteArray m_previous;
    QTemporaryDir m_dir;
    bool m_ok = false;
};

// px417-meter-sim as a child process publishing into a given runtime directory.
class MeterProcess {
public:
    static constexpr int kStartMs = 10000;

    ~MeterProcess() { stop(); }

    bool start(const QString& runtimeDir, const QStringList& arguments, QString* error) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(PX417_METER_SIM_PATH), arguments);
        if (!m_process.waitForStarted(kStartMs)) {
            *error = m_process.errorString();
            return false;
        }
        QDeadlineTimer deadline(kStartMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() &&
               m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(50);
        if (!m_process.canReadLine()) {
            *error = QStringLiteral("no link printed: ") + errors();
            return false;
        }
        m_link = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return true;
    }

    // Ends the simulator as SIGTERM would: it closes its pty and removes its link. Returns
    // true when it exited by itself.
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
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    QString link() const { return m_link; }
    // The device node the published link points to.
    QString device() const { return QFileInfo(m_link).symLinkTarget(); }
    // Everything the simulator has logged so far.
    QString errors() {
        m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_log;
    }
    // Runs the event loop until the simulator has logged text the given number of times.
    bool waitForLog(const QString& text, int count, int timeoutMs) {
        return waitUntil([&] { return errors().count(text) >= count; }, timeoutMs);
    }

private:
    QProcess m_process;
    QString m_link;
    QString m_log;
};
