#include "MeterProcess.h"

#include "WaitUntil.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

RuntimeDir::RuntimeDir() : m_previous(qgetenv("XDG_RUNTIME_DIR")) {
    m_ok = m_dir.isValid() &&
           QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner) &&
           QDir(m_dir.path()).mkpath(QStringLiteral("px417/ports"));
    if (m_ok)
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
}

RuntimeDir::~RuntimeDir() {
    if (m_ok)
        qputenv("XDG_RUNTIME_DIR", m_previous);
}

bool MeterProcess::start(const QString& runtimeDir, const QStringList& arguments, QString* error) {
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

bool MeterProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (m_process.waitForFinished(kStartMs))
        return true;
    m_process.kill();
    m_process.waitForFinished(kStartMs);
    return false;
}

QString MeterProcess::device() const {
    return QFileInfo(m_link).symLinkTarget();
}

QString MeterProcess::errors() {
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_log;
}

bool MeterProcess::waitForLog(const QString& text, int count, int timeoutMs) {
    return waitUntil([&] { return errors().count(text) >= count; }, timeoutMs);
}

bool MeterProcess::startTransfer() {
    return m_process.write("\n") == 1;
}

bool PtyMeter::start(const QStringList& arguments, QString* error) {
    if (!m_runtime.ok()) {
        *error = QStringLiteral("no private runtime directory");
        return false;
    }
    return m_process.start(m_runtime.path(), arguments, error);
}
