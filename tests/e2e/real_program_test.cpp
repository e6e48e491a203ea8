// The installed program itself, as a user starts it: ended by signals, and refused a port.
#include "MeterName.h"
#include "MeterProcess.h"
#include "PtyLine.h"
#include "WaitUntil.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 15000;
constexpr uid_t kNobody = 65534;

QProcessEnvironment readerEnvironment(const QString& runtimeDir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// The lock file the toolkit keeps for an open node, wherever it put it; empty when none.
QString lockFileOf(const QString& node) {
    const QString name = QStringLiteral("LCK..") + QString(node).remove(0, 5).replace(u'/', u'_');
    for (const QString& dir : {QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
                               QStringLiteral("/var/spool/locks"),
                               QStringLiteral("/var/spool/uucp"), QDir::tempPath()}) {
        if (QFileInfo::exists(dir + u'/' + name))
            return dir + u'/' + name;
    }
    return {};
}

} // namespace

TEST(Signals, termIntAndHupCloseThePortReleaseItsLockAndEndTheWindowWithZeroACaptureWithOne) {
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("week.csv"));
    const struct {
        QStringList arguments;
        int status;
    } runs[] = {{{}, 0}, {{QStringLiteral("--capture"), out}, 1}};
    for (const auto& run : runs) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            SCOPED_TRACE(strsignal(signal));
            SCOPED_TRACE(run.arguments.join(u' ').toStdString());
            RuntimeDir runtime;
            ASSERT_TRUE(runtime.ok());
            MeterProcess meter;
            QString error;
            // Half a download: a capture is still waiting when the signal comes.
            ASSERT_TRUE(meter.start(runtime.path(), {"--speed", "0", "--stop-after", "50"}, &error))
                << error.toStdString();

            QProcess reader;
            reader.setProcessEnvironment(readerEnvironment(runtime.path()));
            reader.start(QStringLiteral(PX417_PATH), run.arguments);
            ASSERT_TRUE(reader.waitForStarted(kWaitMs));
            ASSERT_TRUE(meter.waitForLog(QStringLiteral("download sent"), 1, kWaitMs))
                << meter.errors().toStdString();
            const QString lock = lockFileOf(meter.device());
            ASSERT_FALSE(lock.isEmpty()) << "no lock file for " << meter.device().toStdString();

            ASSERT_EQ(::kill(static_cast<pid_t>(reader.processId()), signal), 0);
            ASSERT_TRUE(reader.waitForFinished(kWaitMs));
            EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(reader.exitCode(), run.status) << reader.readAllStandardError().toStdString();
            EXPECT_FALSE(QFileInfo::exists(lock)) << "lock left behind: " << lock.toStdString();
            EXPECT_FALSE(QFileInfo::exists(out));
        }
    }
}

TEST(PortFailure, aUserOutsideThePortsGroupIsToldTheReasonAndTheFixThenTheProgramEndsWithOne) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to start the reader as another user";
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const group* dialout = ::getgrnam("dialout");
    if (setpriv.isEmpty() || !dialout)
        GTEST_SKIP() << "needs setpriv and a dialout group";

    // A line that only root and the dialout group may open, as a USB adapter's node is.
    PtyLine line;
    QString error;
    ASSERT_TRUE(line.open(&error)) << qPrintable(error);
    const QString node = line.devicePath();
    ASSERT_EQ(::chown(node.toLocal8Bit().constData(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(node.toLocal8Bit().constData(), 0660), 0);
    // Terminal numbers are reused: a lock left for this node by a root process that was killed
    // is one the user may not remove, and the reader would rightly report the lock instead.
    if (const QString stale = lockFileOf(node); !stale.isEmpty()) {
        ASSERT_TRUE(QFile::remove(stale)) << stale.toStdString();
    }

    // The user's own runtime folder, with the meter published in it.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString ports = runtime.path() + QStringLiteral("/px417/ports");
    ASSERT_TRUE(QDir().mkpath(ports));
    for (const QString& dir : {runtime.path(), runtime.path() + QStringLiteral("/px417"), ports}) {
        ASSERT_EQ(::chown(dir.toLocal8Bit().constData(), kNobody, kNobody), 0);
        ASSERT_EQ(::chmod(dir.toLocal8Bit().constData(), 0700), 0);
    }
    ASSERT_TRUE(QFile::link(node, ports + u'/' + kMeter181));

    QProcess reader;
    QProcessEnvironment environment = readerEnvironment(runtime.path());
    environment.insert(QStringLiteral("HOME"), runtime.path());
    reader.setProcessEnvironment(environment);
    reader.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
                           QStringLiteral(PX417_PATH)});
    ASSERT_TRUE(reader.waitForStarted(kWaitMs));
    QString stderrText;
    const bool told = waitUntil(
        [&] {
            stderrText += QString::fromLocal8Bit(reader.readAllStandardError());
            return stderrText.contains(QStringLiteral("log in again.\n"));
        },
        kWaitMs);
    const QString expected =
        QStringLiteral(
            "Connection could not be established.\nPlease follow these steps:\n"
            "1. Disconnect USB cable from meter.\n2. Disconnect USB cable from computer.\n"
            "3. Reconnect USB cable to computer.\n4. Reconnect USB cable to meter.\n"
            "5. Restart software.\n\nPermission denied: ") +
        node +
        QStringLiteral("\nThe port belongs to group dialout: sudo usermod "
                       "-aG dialout $USER, then log in again.\n");
    EXPECT_TRUE(told) << stderrText.toStdString();
    EXPECT_TRUE(stderrText.contains(expected)) << stderrText.toStdString();

    // The box is up now; a request to end closes it, and the failure's status stands.
    ::kill(static_cast<pid_t>(reader.processId()), SIGTERM);
    ASSERT_TRUE(reader.waitForFinished(kWaitMs));
    EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(reader.exitCode(), 1);
}

TEST(PortFailure, aMeterHeldByASecondReaderNamesThatReaderBelowTheSteps) {
    RuntimeDir runtime;
    MeterProcess meter;
    QString error;
    ASSERT_TRUE(runtime.ok() && meter.start(runtime.path(), {}, &error)) << error.toStdString();
    QProcess first;
    QProcess second;
    for (QProcess* reader : {&first, &second})
        reader->setProcessEnvironment(readerEnvironment(runtime.path()));
    first.start(QStringLiteral(PX417_PATH), {});
    ASSERT_TRUE(meter.waitForLog(QStringLiteral("a reader opened the line"), 1, kWaitMs))
        << meter.errors().toStdString();
    second.start(QStringLiteral(PX417_PATH), {});
    const QString expected =
        QStringLiteral(
            "5. Restart software.\n\nIn use by another program: px417 (process %1): %2\n")
            .arg(first.processId())
            .arg(meter.device());
    QString stderrText;
    EXPECT_TRUE(waitUntil(
        [&] { return (stderrText += second.readAllStandardError()).contains(expected); }, kWaitMs))
        << stderrText.toStdString();
    for (QProcess* reader : {&second, &first}) {
        ::kill(static_cast<pid_t>(reader->processId()), SIGTERM);
        ASSERT_TRUE(reader->waitForFinished(kWaitMs));
    }
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(first.exitCode(), 0);
}
