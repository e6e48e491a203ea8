#include "VirtualScreen.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <csignal>
#include <optional>
#include <sys/prctl.h>

namespace {

constexpr int kStartMs = 20000;
// A server that loses the race for a number to another one starting at the same moment ends
// at once; the next try picks another number.
constexpr int kAttempts = 3;

void restore(const char* name, const std::optional<QByteArray>& value) {
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

std::optional<QByteArray> current(const char* name) {
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qgetenv(name);
}

} // namespace

VirtualScreen::VirtualScreen()
    : m_previousDisplay(current("DISPLAY")), m_previousAuthority(current("XAUTHORITY")) {
    m_server.setProgram(QStringLiteral("Xvfb"));
    // -displayfd 1: the number comes on standard output once the server accepts clients.
    // -noreset: a server that resets when its last client leaves refuses a client that
    // connects meanwhile, and the test's tools come and go right before the program starts.
    m_server.setArguments({"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0",
                           "1280x1024x24", "-dpi", "96"});
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test killed on its timeout takes its server with it instead of leaving it behind.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    for (int attempt = 0; attempt < kAttempts && !ok(); ++attempt)
        startOnce();
    if (!ok())
        return;
    qputenv("DISPLAY", m_display.toLocal8Bit());
    // Started without a cookie file, the server admits local clients; a cookie that another
    // session keeps for the same number must not be sent.
    qputenv("XAUTHORITY", "/dev/null");
}

VirtualScreen::~VirtualScreen() {
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(kStartMs)) {
            m_server.kill();
            m_server.waitForFinished(kStartMs);
        }
    }
    if (ok()) {
        restore("DISPLAY", m_previousDisplay);
        restore("XAUTHORITY", m_previousAuthority);
    }
}

void VirtualScreen::startOnce() {
    m_server.start();
    if (!m_server.waitForStarted(kStartMs)) {
        m_error = m_server.errorString();
        return;
    }
    const QDeadlineTimer deadline(kStartMs);
    while (!m_server.canReadLine() && m_server.state() == QProcess::Running &&
           !deadline.hasExpired())
        m_server.waitForReadyRead(100);
    const QString line = QString::fromLocal8Bit(m_server.readLine()).trimmed();
    if (!QRegularExpression(QStringLiteral("^\\d+$")).match(line).hasMatch()) {
        m_error = m_server.state() == QProcess::Running
                      ? QStringLiteral("the server named no display within %1 ms").arg(kStartMs)
                      : QStringLiteral("the server ended with status %1 before it named a display")
                            .arg(m_server.exitCode());
        m_server.kill();
        m_server.waitForFinished(kStartMs);
        return;
    }
    m_display = u':' + line;
}
