#include "LineBench.h"

#include "Child.h"
#include "LiveReader.h"
#include "MeterName.h"
#include "link/StatusTexts.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace bench {

namespace {

const QString kSending = QStringLiteral("px417-meter-sim: sending ");
const QString kSent = QStringLiteral("px417-meter-sim: download sent");
constexpr int kIdleMs = 300;
// Our own checks run on the reader's thread too, so they are kept rare.
constexpr int kCheckMs = 50;

} // namespace

LineRun runDownloads(const QString& simPath, int baud, int repeat) {
    LineRun run;
    Child sim;
    if (!sim.start(simPath,
                   {QStringLiteral("--speed"), QString::number(baud), QStringLiteral("--repeat"),
                    QString::number(repeat), QStringLiteral("--name"), kMeter181,
                    QStringLiteral("--exit-after")},
                   {}, true, &run.error))
        return run;
    TimedLine line;
    if (!sim.waitForLine(QStringLiteral("/"), 5000, &line)) {
        run.error = QStringLiteral("the simulated meter did not publish its line");
        return run;
    }

    // The reader as main() builds it, except that a failure ends the run instead of showing a
    // message box that nobody would close.
    LiveReader::Options options;
    options.systemPorts = true;
    options.steppingClock = false;
    options.load = false;
    LiveReader reader(options);
    reader.form->show();
    if (!QTest::qWaitForWindowExposed(reader.form.get())) {
        run.error = QStringLiteral("the window was not shown");
        return run;
    }

    const StatusLine& state = reader.form->lStatus(0);
    int stateWrites = state.writes();
    std::optional<Clock::time_point> lastHandler;
    std::optional<Clock::time_point> lastFilled;
    double cpuAtLastHandler = 0;
    const bool measurePaint = repeat == 1;
    // Connected after the window's own handler, so it runs once that has finished.
    QObject::connect(&reader.port, &SerialPort::comm, reader.form.get(), [&] {
        const Clock::time_point now = Clock::now();
        // The meter leaving hangs the line up; that notification is not part of a download.
        if (!reader.port.portOpen())
            return;
        if (state.writes() != stateWrites) {
            stateWrites = state.writes();
            if (state.text() == QLatin1String(statustext::kReady)) {
                ++run.complete;
                lastFilled = now;
                if (measurePaint) {
                    reader.form->repaint();
                    run.lastCharToPaintedMs = msBetween(now, Clock::now());
                }
            } else if (state.text() == QLatin1String(statustext::kDataCheckError)) {
                ++run.failed;
            }
        }
        lastHandler = Clock::now();
        cpuAtLastHandler = threadCpuMs();
    });

    reader.form->Form_Load();
    if (reader.program.ended || reader.form->comPort() != 181) {
        run.error = QStringLiteral("the reader did not connect to the simulated meter");
        return run;
    }
    // Opening the port wrote "Ready." itself; only completions count from here on.
    stateWrites = state.writes();
    // The meter starts sending only once it sees the line opened, at its next poll.
    const double cpuAtOpen = threadCpuMs();

    TimedLine sending;
    TimedLine sent;
    const int limitMs = 60000 + (baud > 0 ? repeat * 4000 : repeat * 100);
    QEventLoop loop;
    QTimer check;
    check.setInterval(kCheckMs);
    bool timedOut = false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        const Clock::time_point now = Clock::now();
        if (now > deadline) {
            timedOut = true;
            loop.quit();
            return;
        }
        if (!sim.waitForLine(kSent, 0, &sent) || !lastHandler)
            return;
        // The reader may take the last characters before the meter has said it sent them.
        if (msBetween(std::max(*lastHandler, sent.at), now) > kIdleMs)
            loop.quit();
    });
    check.start();
    loop.exec();
    check.stop();
    if (timedOut) {
        run.error = QStringLiteral("the download did not end in time");
        return run;
    }
    sim.waitForLine(kSending, 0, &sending);
    sim.stop();

    static const QRegularExpression count(QStringLiteral("sending (\\d+) characters"));
    run.characters = count.match(sending.text).captured(1).toLongLong();
    run.downloadsSent = repeat;
    run.sendMs = msBetween(sending.at, sent.at);
    run.busyMs = msBetween(sending.at, *lastHandler);
    if (lastFilled)
        run.lastCharToFilledMs = msBetween(sent.at, *lastFilled);
    run.lastCharToPaintedMs += run.lastCharToFilledMs;
    run.cpuMs = cpuAtLastHandler - cpuAtOpen;
    run.ok = true;
    return run;
}

} // namespace bench
