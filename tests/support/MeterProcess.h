#pragma once

// The simulated meter as a child process, and the waiting that tests against it need.
// PX417_METER_SIM_PATH names the simulator's executable.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private runtime directory (0700) shared by the reader and every simulator of one test.
// While it exists, XDG_RUNTIME_DIR of this process points at it, so the reader's own runtime
// lookups land here, never in the user's folder.
class RuntimeDir {
public:
    RuntimeDir();
    // The process's own folder again, so that nothing is left pointing at a removed one.
    ~RuntimeDir();
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

    // Starts the simulator with the arguments and waits for the link it prints. Returns false
    // with a description in *error when it does not start or prints no link.
    bool start(const QString& runtimeDir, const QStringList& arguments, QString* error);
    // Ends the simulator as SIGTERM would: it closes its pty and removes its link. Returns
    // true when it exited by itself.
    bool stop();
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    QString link() const { return m_link; }
    // The device node the published link points to.
    QString device() const;
    // Everything the simulator has logged so far.
    QString errors();
    // Runs the event loop until the simulator has logged text the given number of times.
    bool waitForLog(const QString& text, int count, int timeoutMs);
    // Presses the meter's transfer key: a simulator waiting after a download sends the next.
    bool startTransfer();

private:
    QProcess m_process;
    QString m_link;
    QString m_log;
};

// The simulated meter with a runtime directory of its own, so that its published link can
// neither collide with nor outlive the test.
class PtyMeter {
public:
    // Starts the simulator with the arguments and waits for the link it prints.
    bool start(const QStringList& arguments, QString* error);
    bool stop() { return m_process.stop(); }
    QString link() const { return m_process.link(); }
    QString device() const { return m_process.device(); }
    QString runtimeDir() const { return m_runtime.path(); }
    QString errors() { return m_process.errors(); }

private:
    RuntimeDir m_runtime;
    MeterProcess m_process;
};
