#include "cli/Arguments.h"
#include "cli/Capture.h"
#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"
#include "cli/ExportCommand.h"
#include "cli/MeterChoice.h"
#include "cli/WindowLauncher.h"
#include "process/SignalPipe.h"
#include "serial/SystemDeviceList.h"
#include "serial/SystemSerialPort.h"
#include "store/DownloadStore.h"

#include <QCoreApplication>

namespace {

int capture(const commandline::Arguments& arguments) {
    // First, so that a signal from here on still closes the port.
    SignalPipe signalPipe;
    SystemDeviceList devices;
    const MeterChoice meter =
        chooseMeter(devices, arguments.port, &SystemDeviceList::systemPortNode);
    if (!meter.error.isEmpty()) {
        printError(meter.error);
        return exitstatus::kNoDownload;
    }
    const std::unique_ptr<SerialPort> port = makeSystemSerialPort([&](int comPort) {
        return meter.node.isEmpty() ? devices.deviceNode(comPort) : meter.node;
    });
    Capture capture(*port, meter, DownloadStore(DownloadStore::defaultFolder()),
                    {arguments.out, arguments.timeoutSeconds * 1000});
    QObject::connect(&capture, &Capture::finished, qApp, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    QObject::connect(&signalPipe, &SignalPipe::terminationRequested, &capture,
                     [&capture] { capture.finish(exitstatus::kFailed); });
    if (const std::optional<int> status = capture.start())
        return *status;
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("px417"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PX417_VERSION));
    const commandline::Arguments arguments =
        commandline::parseArguments(commandline::argumentList(argc, argv));
    if (const std::optional<int> status = commandline::answerWithoutProgram(arguments))
        return *status;
    if (arguments.mode == commandline::Mode::Window)
        return windowlauncher::execWindow(argv);
    QCoreApplication app(argc, argv);
    if (arguments.mode == commandline::Mode::Export)
        return runExport(arguments.out, arguments.file, QDateTime::currentDateTime());
    return capture(arguments);
}
