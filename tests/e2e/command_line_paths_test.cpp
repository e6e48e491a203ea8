// --capture and --export as a station runs them: the real program, a simulated meter on a pty,
// no display, and the libraries the dynamic loader reports.
#include "Files.h"
#include "MeterMemory.h"
#include "MeterProcess.h"
#include "RawLine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 60000;

struct Outcome {
    int status = -1;
    QString err;
    // File names of the Qt libraries the dynamic loader initialised.
    QStringList qtLibraries;
};

// No display, and the runtime and data folders given.
QProcessEnvironment readerEnvironment(const QString& runtimeDir, const QString& dataHome) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return environment;
}

Outcome runReader(const QStringList& arguments, const QString& runtimeDir,
                  const QString& dataHome) {
    QProcessEnvironment environment = readerEnvironment(runtimeDir, dataHome);
    // The loader names every library it initialises, those loaded later as plug-ins too.
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    QProcess reader;
    reader.setProcessEnvironment(environment);
    reader.start(QStringLiteral(PX417_PATH), arguments);
    Outcome outcome;
    if (!reader.waitForFinished(kWaitMs) || reader.exitStatus() != QProcess::NormalExit) {
        reader.kill();
        reader.waitForFinished();
        return outcome;
    }
    outcome.status = reader.exitCode();
    static const QRegularExpression kInit(QStringLiteral(R"(calling init: \S*/(libQt6\w+))"));
    for (const QString& line : QString::fromLocal8Bit(reader.readAllStandardError()).split(u'\n')) {
        if (const QRegularExpressionMatch m = kInit.match(line); m.hasMatch())
            outcome.qtLibraries << m.captured(1);
        else if (!line.contains(QStringLiteral("LD_DEBUG")) && !line.contains(u'\t'))
            outcome.err += line + u'\n';
    }
    return outcome;
}

const QStringList kCoreOnly{QStringLiteral("libQt6Core"), QStringLiteral("libQt6SerialPort")};

} // namespace

TEST(CommandLinePaths, captureKeepsTheDownloadAsSentAndExportWritesItAgainWithoutGuiLibraries) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--seed", "5", "--speed", "0"}, &error)) << error.toStdString();
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("week.csv"));

    const Outcome capture =
        runReader({"--capture", out, "--timeout", "50"}, meter.runtimeDir(), work.path());
    EXPECT_EQ(capture.status, 0) << capture.err.toStdString();
    EXPECT_EQ(capture.qtLibraries, kCoreOnly);

    const QDir downloads(work.filePath(QStringLiteral("px417/downloads")));
    const QStringList kept = downloads.entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^\d{4}(-\d\d){2}_\d\d(-\d\d){2}_COM181\.px417$)"))
            .match(kept.first())
            .hasMatch())
        << kept.first().toStdString();
    EXPECT_EQ(fileBytes(downloads.filePath(kept.first())),
              metersim::downloadText(metersim::makeMeterMemory(5)));

    const QList<QByteArray> lines = fileBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 103); // the last line's CR LF leaves an empty piece

    const QString again = work.filePath(QStringLiteral("again.csv"));
    const Outcome exported = runReader({"--export", again, downloads.filePath(kept.first())},
                                       meter.runtimeDir(), work.path());
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.qtLibraries, kCoreOnly);
    EXPECT_EQ(fileBytes(again).split('\n').mid(1), lines.mid(1));
    EXPECT_EQ(downloads.entryList(QDir::Files), kept) << "an export keeps nothing";
}

// px417 itself links no Qt: the loader reports only the program it became, each library once.
TEST(CommandLinePaths, helpAndVersionLoadNoGuiLibraryAndAnUnknownOptionReachesTheWindowOnce) {
    QTemporaryDir work;
    const QString out = QStringLiteral("--export=") + work.filePath(QStringLiteral("week.csv"));
    const struct {
        QStringList arguments;
        int status;
    } runs[] = {{{"--help"}, 0}, {{"-h"}, 0}, {{"--version"}, 0}, {{"-v"}, 0}, {{out}, 2}};
    for (const auto& run : runs) {
        const Outcome outcome = runReader(run.arguments, work.path(), work.path());
        EXPECT_EQ(outcome.status, run.status) << run.arguments.join(u' ').toStdString();
        EXPECT_EQ(outcome.qtLibraries, kCoreOnly) << run.arguments.join(u' ').toStdString();
    }

    // The window program refuses it, before it needs a display.
    const Outcome refused = runReader({"--bogus"}, work.path(), work.path());
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.qtLibraries.contains(QStringLiteral("libQt6Widgets")))
        << refused.qtLibraries.join(u' ').toStdString();
    QStringList once = refused.qtLibraries;
    once.removeDuplicates();
    EXPECT_EQ(refused.qtLibraries, once);
}

TEST(CommandLinePaths, exportOfAFileThatIsNoDownloadEndsWithTwoAndWritesNothing) {
    QTemporaryDir work;
    const QString notes = work.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(writeFileBytes(notes, "Slot#,Timestamp\r\n"));
    const QString out = work.filePath(QStringLiteral("week.xlsx"));
    const Outcome outcome = runReader({"--export", out, notes}, work.path(), work.path());
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err,
              QStringLiteral("px417: %1: not a kept download: no complete download of slots 0 "
                             "to 100\n\n")
                  .arg(notes));
    EXPECT_FALSE(QFileInfo::exists(out));
}

// --timeout counts seconds: a capture from a meter that never sends must not give up within
// half a second of setting up the line (taken as milliseconds, it would after one).
TEST(CommandLinePaths, captureFromASilentMeterWaitsTheTimeoutInSeconds) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    RawLine line(runtime.portsFolder());
    ASSERT_TRUE(line.ok());
    QTemporaryDir work;
    QProcess reader;
    reader.setProcessEnvironment(readerEnvironment(runtime.path(), work.path()));
    reader.start(QStringLiteral(PX417_PATH),
                 {"--capture", work.filePath(QStringLiteral("week.csv")), "--timeout", "1"});
    ASSERT_TRUE(reader.waitForStarted(kWaitMs));

    QElapsedTimer sinceStart;
    sinceStart.start();
    QElapsedTimer sinceSetUp;
    const QDeadlineTimer deadline(kWaitMs);
    while (reader.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        reader.waitForFinished(5);
        if (!sinceSetUp.isValid() && line.setByReader())
            sinceSetUp.start();
    }
    const qint64 startedMs = sinceStart.elapsed();
    ASSERT_EQ(reader.state(), QProcess::NotRunning) << "no end within " << kWaitMs << " ms";
    EXPECT_EQ(reader.exitCode(), 5) << reader.readAllStandardError().toStdString();
    ASSERT_TRUE(sinceSetUp.isValid())
        << "it ended " << startedMs << " ms after it started, before its line was seen set up";
    EXPECT_GE(sinceSetUp.elapsed(), 500) << "it gave up too early";
}
