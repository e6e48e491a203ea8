#include "app/CommandLine.h"
#include "app/Form1.h"
#include "cli/Arguments.h"
#include "process/SignalPipe.h"
#include "qt/ExitProgram.h"
#include "qt/QtDialogs.h"
#include "qt/SystemClock.h"
#include "qt/SystemDeviceMonitor.h"
#include "qt/Twips.h"
#include "serial/SystemDeviceList.h"
#include "serial/SystemSerialPort.h"
#include "store/DownloadStore.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("px417"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PX417_VERSION));
    // Before QApplication, which needs a display and aborts without one: help, version and a
    // refused argument all end here.
    QString keptFile;
    if (const auto status =
            commandline::handleBeforeApplication(commandline::argumentList(argc, argv), &keptFile))
        return *status;

    QApplication app(argc, argv);
    // No display name: the toolkit would append it to every window title, the window's own
    // caption and "Connection error" included. Boxes without a caption pass Form1::kTitle.

    // A logout or a kill ends the reader as closing its window does, so the port is closed
    // and its lock released.
    SignalPipe signalPipe;
    QObject::connect(&signalPipe, &SignalPipe::terminationRequested, &app,
                     [] { QApplication::closeAllWindows(); });

    SystemDeviceList devices;
    SystemDeviceMonitor monitor(devices.portsFolder());
    // The system's port listing takes as long as building the window, mostly waiting on the
    // device manager's files: it runs beside the build, and start-up's discovery takes it.
    devices.listSystemPortsAhead();
    const std::unique_ptr<SerialPort> port =
        makeSystemSerialPort([&devices](int comPort) { return devices.deviceNode(comPort); });
    QtDialogs dialogs;
    SystemClock clock;
    ExitProgram program;
    const double factor = twips::perPixel(
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
                                         : 96.0);

    DownloadStore store(DownloadStore::defaultFolder());
    Form1 form(*port, devices, dialogs, clock, program, factor, QLocale::system(), &monitor,
               &store);
    dialogs.setParent(&form);
    form.Form_Load();
    form.show();
    if (!keptFile.isEmpty())
        form.openDownload(keptFile);
    return QApplication::exec();
}
