#include "MeterSim.h"

#include "PtyLine.h"

#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kPollIntervalMs = 20;
constexpr int kSendTickMs = 4;
// 8N1: a start bit, eight data bits and a stop bit per character.
constexpr qint64 kBitsPerCharacter = 10;
// Closing the master hangs the line up and can flush what the reader has not read yet.
constexpr int kExitGraceMs = 1000;
// A reader handles one download per read, so the next waits until the line is read empty:
// polled this often, and sent this long after.
constexpr int kGapPollMs = 2;
constexpr int kGapPauseMs = 5;

} // namespace

MeterSim::MeterSim(PtyLine& line, QByteArray download, Options options, QObject* parent)
    : QObject(parent), m_line(line), m_download(std::move(download)), m_options(options) {
    m_pollTimer.setInterval(kPollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &MeterSim::pollLine);
    m_sendTimer.setInterval(kSendTickMs);
    m_sendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sendTimer, &QTimer::timeout, this, &MeterSim::sendDue);
    m_gapTimer.setInterval(kGapPollMs);
    connect(&m_gapTimer, &QTimer::timeout, this, &MeterSim::awaitReader);

    m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdin, &QSocketNotifier::activated, this, &MeterSim::readStdin);
}

void MeterSim::start() {
    if (m_options.waitForReader)
        waitForReader();
    else
        beginSending();
}

void MeterSim::waitForReader() {
    m_waiting = true;
    m_pollTimer.start();
    log(QStringLiteral("waiting for a reader to open %1 (or press Enter)")
            .arg(m_line.devicePath()));
}

void MeterSim::pollLine() {
    if (m_waiting && m_line.settingsChanged()) {
        log(QStringLiteral("a reader opened the line"));
        beginSending();
    }
}

void MeterSim::readStdin() {
    char buffer[256];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        // End of input (or no terminal at all): stop watching, or it fires without end.
        m_stdin->setEnabled(false);
        return;
    }
    if (m_waiting)
        beginSending();
}

void MeterSim::beginSending() {
    m_waiting = false;
    m_pollTimer.stop();
    m_pending = m_download;
    m_sent = 0;
    m_downloadsLeft = qMax(1, m_options.repeat);
    log(QStringLiteral("sending %1 characters at %2")
            .arg(m_pending.size() * m_downloadsLeft)
            .arg(m_options.baudRate > 0 ? QStringLiteral("%1 baud").arg(m_options.baudRate)
                                        : QStringLiteral("full speed")));
    m_sendClock.start();
    m_sendTimer.start();
    sendDue();
}

void MeterSim::sendDue() {
    const qsizetype total = m_pending.size();
    qsizetype due = total;
    if (m_options.baudRate > 0) {
        // From the start of the transfer, so that timer jitter does not add up.
        const qint64 characters =
            m_sendClock.nsecsElapsed() * m_options.baudRate / kBitsPerCharacter / 1000000000 + 1;
        due = qMin<qsizetype>(total, characters);
    }
    while (m_sent < due) {
        const qint64 written = m_line.write(m_pending.constData() + m_sent, due - m_sent);
        if (written < 0) {
            m_sendTimer.stop();
            emit failed(QStringLiteral("the line cannot be written"));
            return;
        }
        if (written == 0)
            return; // full for now; the next tick tries again
        m_sent += written;
    }
    if (m_sent < total)
        return;

    m_sendTimer.stop();
    if (--m_downloadsLeft > 0) {
        m_line.drain();
        m_gapTimer.start();
        return;
    }
    log(QStringLiteral("download sent"));
    if (m_options.exitAfter) {
        QTimer::singleShot(kExitGraceMs, this, &MeterSim::finished);
    } else {
        // Only here: on the first wait a reader may already have changed the settings.
        m_line.resetSettings();
        waitForReader();
    }
}

void MeterSim::awaitReader() {
    // Twice empty in a row: text just written may not have reached the queue at the first look.
    // A line that cannot tell counts as empty, which leaves only the pause.
    m_emptyLooks = m_line.waitingForReader() <= 0 ? m_emptyLooks + 1 : 0;
    if (m_emptyLooks < 2)
        return;
    m_emptyLooks = 0;
    m_gapTimer.stop();
    QTimer::singleShot(kGapPauseMs, this, [this] {
        m_sent = 0;
        m_sendClock.start();
        m_sendTimer.start();
        sendDue();
    });
}

void MeterSim::log(const QString& text) {
    std::fprintf(stderr, "px417-meter-sim: %s\n", qPrintable(text));
    std::fflush(stderr);
}
