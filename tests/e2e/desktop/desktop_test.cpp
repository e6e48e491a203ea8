// The reader's program on a real X server, as a desktop sees it: window titles read with xprop,
// keys and clicks sent through the server with xdotool. Each case starts an X server of its own.
#include "MeterName.h"
#include "MeterProcess.h"
#include "PtyLine.h"
#include "QtPrinters.h"
#include "VirtualScreen.h"
#include "WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;

// Runs a command to its end; true when it ran and succeeded. Its output goes to *out.
bool run(const QString& program, const QStringList& arguments, QString* out = nullptr) {
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(kWaitMs) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    return ok;
}

QString output(const QString& program, const QStringList& arguments) {
    QString out;
    run(program, arguments, &out);
    return out;
}

bool xdotool(const QStringList& arguments) {
    return run(QStringLiteral("xdotool"), arguments);
}

// A pty published under a meter's name: a port the reader can open.
class OpenableMeter {
public:
    OpenableMeter(const QString& folder, const QString& name) {
        QString error;
        m_ok = m_line.open(&error) && QFile::link(m_line.devicePath(), folder + u'/' + name);
    }
    bool ok() const { return m_ok; }
    QString node() const { return m_line.devicePath(); }

private:
    PtyLine m_line;
    bool m_ok = false;
};

// A meter whose link leads to a plain file: listed, but its port cannot be opened.
bool publishUnopenable(const QString& folder, const QString& name) {
    const QString target = folder + QStringLiteral("/../not-a-terminal");
    QFile file(target);
    return file.open(QIODevice::WriteOnly) && QFile::link(target, folder + u'/' + name);
}

// px417 as the user starts it, on this display, finding meters only in a private runtime
// directory.
class Program {
public:
    explicit Program(const RuntimeDir& runtime) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PX417_PATH), QStringList());
        m_process.waitForStarted(kWaitMs);
    }
    ~Program() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    bool waitForExit(int* status) {
        if (!m_process.waitForFinished(kWaitMs))
            return false;
        *status = m_process.exitCode();
        return true;
    }

    // The program's mapped top-level windows, as X window ids in decimal.
    QStringList windows() const {
        return output(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                       QStringLiteral("--pid"), QString::number(m_process.processId())})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    // Waits until the program shows a window not among known; returns it, or an empty text.
    QString waitForNewWindow(const QStringList& known = {}) const {
        QString found;
        waitUntil(
            [&] {
                for (const QString& id : windows())
                    if (!known.contains(id))
                        found = id;
                return !found.isEmpty();
            },
            kWaitMs);
        return found;
    }
    // True while the program holds the device node open.
    bool holdsOpen(const QString& node) const {
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            if (fd.symLinkTarget() == node)
                return true;
        return false;
    }

private:
    QProcess m_process;
};

// xprop's line for the window's _NET_WM_NAME, the title the desktop shows.
QString titleLine(const QString& window) {
    return output(QStringLiteral("xprop"),
                  {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_NAME")})
        .trimmed();
}

QString titleLineOf(const char* title) {
    return QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"%1\"").arg(QString::fromUtf8(title));
}

// Clicks at a point of the window, in its pixels.
bool click(const QString& window, int x, int y, int button = 1) {
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                    QStringLiteral("--window"), window, QString::number(x), QString::number(y)}) &&
           xdotool({QStringLiteral("click"), QString::number(button)});
}

// Gives the window the keyboard and sends keys through the server to whatever has it.
bool focusAndPress(const QString& window, const QString& key) {
    return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}) &&
           xdotool({QStringLiteral("key"), key});
}

bool haveTools() {
    for (const char* tool : {"Xvfb", "xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

#define REQUIRE_DESKTOP()                                                                          \
    if (!haveTools())                                                                              \
        GTEST_SKIP() << "needs Xvfb, xdotool and xprop";                                           \
    const VirtualScreen screen;                                                                    \
    ASSERT_TRUE(screen.ok()) << screen.error().toStdString()

} // namespace

TEST(DesktopTitles, theWindowShowsExactlyItsCaptionAndBoxesWithoutOneShowTheProgramTitle) {
    REQUIRE_DESKTOP();
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    Program program(runtime);
    const QString window = program.waitForNewWindow();
    ASSERT_FALSE(window.isEmpty()) << "the window did not appear";
    EXPECT_EQ(titleLine(window), titleLineOf(" Dorvalix QT570R data reader"));

    // "Export Data (selection)" right after start-up: "No data selected".
    ASSERT_TRUE(click(window, 864, 330));
    const QString box = program.waitForNewWindow({window});
    ASSERT_FALSE(box.isEmpty()) << "no box";
    EXPECT_EQ(titleLine(box), titleLineOf("PX417"));
    ASSERT_TRUE(focusAndPress(box, QStringLiteral("Return")));
    EXPECT_TRUE(waitUntil([&] { return program.windows() == QStringList{window}; }, kWaitMs));
    EXPECT_TRUE(program.running());
}

TEST(DesktopTitles, theConnectionErrorBoxShowsExactlyItsCaptionAndTheProgramEndsAfterIt) {
    REQUIRE_DESKTOP();
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    ASSERT_TRUE(publishUnopenable(runtime.portsFolder(), kMeter181));
    Program program(runtime);
    // Start-up shows the box before the window.
    const QString box = program.waitForNewWindow();
    ASSERT_FALSE(box.isEmpty()) << "no box";
    EXPECT_EQ(titleLine(box), titleLineOf("Connection error"));
    ASSERT_TRUE(focusAndPress(box, QStringLiteral("Return")));
    int status = 0;
    ASSERT_TRUE(program.waitForExit(&status));
    EXPECT_EQ(status, 1);
}

TEST(DesktopSlotTable, aClickOnTheHeaderRowShowsABox) {
    REQUIRE_DESKTOP();
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    Program program(runtime);
    const QString window = program.waitForNewWindow();
    ASSERT_FALSE(window.isEmpty());

    // Shift and Ctrl held, right button released over the background beside the buttons.
    ASSERT_TRUE(
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
                 window, QStringLiteral("962"), QStringLiteral("200")}));
    ASSERT_TRUE(
        xdotool({QStringLiteral("keydown"), QStringLiteral("shift+ctrl"), QStringLiteral("click"),
                 QStringLiteral("3"), QStringLiteral("keyup"), QStringLiteral("shift+ctrl")}));
    // The "B0" header of the slot table, which now covers the measurement table. The server
    // hands the program its events in the order they were made, so the program handles this
    // click after the release that showed the slot table.
    ASSERT_TRUE(click(window, 16 + 60, 16 + 8));
    const QString box = program.waitForNewWindow({window});
    ASSERT_FALSE(box.isEmpty()) << "a click on the header row showed no box";
    EXPECT_EQ(titleLine(box), titleLineOf("PX417"));
}

TEST(DesktopFocus, tabbingIntoTheConnectionListChoosesNoMeterButAnArrowKeyDoes) {
    REQUIRE_DESKTOP();
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    // Listed by name: COM12 first, whose port fails, then COM5.
    ASSERT_TRUE(publishUnopenable(runtime.portsFolder(),
                                  QStringLiteral("Arduino USB Serial Light Adapter (COM12)")));
    OpenableMeter second(runtime.portsFolder(),
                         QStringLiteral("Arduino USB Serial Light Adapter (COM5)"));
    ASSERT_TRUE(second.ok());
    Program program(runtime);
    const QString window = program.waitForNewWindow();
    ASSERT_FALSE(window.isEmpty());

    // Down from the entry focus made current chooses the second. The program handles the keys
    // in order, so once that port is open the Tab has long been handled: had it chosen the
    // first, its error box would hold the keyboard and the second would never open.
    ASSERT_TRUE(focusAndPress(window, QStringLiteral("Tab")));
    ASSERT_TRUE(focusAndPress(window, QStringLiteral("Down")));
    EXPECT_TRUE(waitUntil([&] { return program.holdsOpen(second.node()); }, kWaitMs))
        << "the arrow key chose no meter";
    EXPECT_EQ(program.windows(), QStringList{window}) << "focus chose the first meter";
    EXPECT_TRUE(program.running());
}
