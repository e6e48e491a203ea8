// The installed programs' command line, run as a user would: with a display and without one.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

struct Outcome {
    bool finished = false;
    int status = -1;
    QString out;
    QString err;
};

// A reader that opened its window would never finish by itself; the time limit catches it.
Outcome runProgram(const QString& program, const QStringList& arguments, bool withPlatform) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (withPlatform)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome result;
    result.finished =
        process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.status = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

const QString kReader = QStringLiteral(PX417_READER_PATH);
const QString kSimulator = QStringLiteral(PX417_METER_SIM_PATH);
const QString kVersion = QStringLiteral(PX417_VERSION);

const QString kReaderHelp = QStringLiteral(
    "Usage: px417 [options] [FILE]\n"
    "Reads the measurements stored in a QT570R vibration meter over its USB serial port,\n"
    "shows them in a sortable table and exports all or the selected rows as CSV or as\n"
    "an Excel workbook.\n"
    "There are no settings: a single meter is chosen by itself, and the transfer is\n"
    "started on the meter. Every download that passes its check is kept as a file in the\n"
    "user's data folder (~/.local/share/px417/downloads); FILE opens one again.\n"
    "\n"
    "Options:\n"
    "  -h, --help           Displays this help.\n"
    "  -v, --version        Displays version information.\n"
    "  --export <OUT>       Writes the kept download FILE as OUT: an Excel workbook\n"
    "                       when OUT ends in .xlsx, CSV otherwise.\n"
    "  --capture <OUT>      Waits for one download from the meter, keeps it and\n"
    "                       writes it as OUT as --export does.\n"
    "  --port <COMn|NODE>   With --capture: the meter to use, by its COM number or\n"
    "                       its device node.\n"
    "  --timeout <SECONDS>  With --capture: gives up after this many seconds.\n"
    "\n"
    "Arguments:\n"
    "  FILE                 A kept download: opened in the window, or written by\n"
    "                       --export.\n"
    "\n"
    "--export and --capture need no display. Exit statuses:\n"
    "  0  OUT was written (--capture: the download was kept too, where it could be).\n"
    "  1  OUT could not be written, or a signal ended the wait.\n"
    "  2  A command line that cannot be used. --export: FILE is no kept download.\n"
    "     --capture: no meter, several meters without --port, or the port cannot be\n"
    "     opened.\n"
    "  3  --capture: the download failed its check; nothing was written.\n"
    "  4  --capture: the line to the meter was lost.\n"
    "  5  --capture: the time set by --timeout ran out.\n");

void expectHelpAndVersion(bool withPlatform) {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Outcome help = runProgram(kReader, {option}, withPlatform);
        ASSERT_TRUE(help.finished) << qPrintable(option) << qPrintable(help.err);
        EXPECT_EQ(help.status, 0) << qPrintable(option) << qPrintable(help.err);
        EXPECT_EQ(help.out, kReaderHelp) << qPrintable(option);
        EXPECT_EQ(help.err, QString()) << qPrintable(option);
    }
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const Outcome version = runProgram(kReader, {option}, withPlatform);
        ASSERT_TRUE(version.finished) << qPrintable(option) << qPrintable(version.err);
        EXPECT_EQ(version.status, 0) << qPrintable(option) << qPrintable(version.err);
        EXPECT_EQ(version.out, QStringLiteral("px417 ") + kVersion + QLatin1Char('\n'))
            << qPrintable(option);
        EXPECT_EQ(version.err, QString()) << qPrintable(option);
    }
}

} // namespace

TEST(ReaderCommandLine, HelpAndVersionPrintAndExitWithoutADisplay) {
    expectHelpAndVersion(false);
}

TEST(ReaderCommandLine, HelpAndVersionPrintAndExitBeforeAnyWindowWithADisplay) {
    expectHelpAndVersion(true);
}

TEST(ReaderCommandLine, TheToolkitsOwnOptionsAreLetThroughToHelpWithoutADisplay) {
    const Outcome help = runProgram(
        kReader, {QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--help")},
        false);
    ASSERT_TRUE(help.finished) << qPrintable(help.err);
    EXPECT_EQ(help.status, 0) << qPrintable(help.err);
    EXPECT_EQ(help.out, kReaderHelp);
}

// Without a display: the refusal must come before the toolkit looks for one.
TEST(ReaderCommandLine, AnythingElseOnTheCommandLineIsRefusedWithStatusTwoWithoutADisplay) {
    const Outcome unknown = runProgram(kReader, {QStringLiteral("--bogus")}, false);
    ASSERT_TRUE(unknown.finished) << qPrintable(unknown.err);
    EXPECT_EQ(unknown.status, 2) << qPrintable(unknown.err);
    EXPECT_EQ(unknown.err, QStringLiteral("px417: Unknown option 'bogus'; see --help\n"));
    EXPECT_EQ(unknown.out, QString());

    const Outcome orphan = runProgram(kReader, {QStringLiteral("--port=3")}, false);
    ASSERT_TRUE(orphan.finished) << qPrintable(orphan.err);
    EXPECT_EQ(orphan.status, 2);
    EXPECT_EQ(orphan.err,
              QStringLiteral("px417: --port and --timeout go with --capture; see --help\n"));

    const Outcome positional =
        runProgram(kReader, {QStringLiteral("notes.px417"), QStringLiteral("week.csv")}, false);
    ASSERT_TRUE(positional.finished) << qPrintable(positional.err);
    EXPECT_EQ(positional.status, 2);
    EXPECT_EQ(positional.err,
              QStringLiteral("px417: unexpected argument \"week.csv\"; see --help\n"));
}

TEST(SimulatorCommandLine, VersionPrintsAndExits) {
    const Outcome version = runProgram(kSimulator, {QStringLiteral("--version")}, false);
    ASSERT_TRUE(version.finished) << qPrintable(version.err);
    EXPECT_EQ(version.status, 0) << qPrintable(version.err);
    EXPECT_EQ(version.out, QStringLiteral("px417-meter-sim ") + kVersion + QLatin1Char('\n'));
}
