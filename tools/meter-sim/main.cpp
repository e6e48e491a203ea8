#include "MeterMemory.h"
#include "MeterSim.h"
#include "PortLink.h"
#include "PtyLine.h"
#include "process/SignalPipe.h"
#include "store/KeptDownload.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <optional>

using namespace metersim;

namespace {

constexpr quint32 kDefaultSeed = 417;
// Without --name: the first free of "<kNameStem> (COM181)", "(COM182)" ...
const char kNameStem[] = "Arduino USB Serial Light Adapter";
constexpr int kFirstComNumber = 181;

struct Settings {
    // Empty: the first free name.
    QString name;
    QString device;
    // A kept download to send instead of the generated one.
    QByteArray replay;
    quint32 seed = kDefaultSeed;
    MeterSim::Options sim;
    DownloadFaults faults;
};

void fail(const QString& text) {
    std::fprintf(stderr, "px417-meter-sim: %s\n", qPrintable(text));
}

std::optional<qint64> number(const QString& text, qint64 lowest, qint64 highest) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

bool readSlots(const QCommandLineParser& parser, const QCommandLineOption& option,
               QSet<int>* sentSlots) {
    for (const QString& text : parser.values(option)) {
        const auto slot = number(text, 0, kCalibrationSlot);
        if (!slot) {
            fail(QStringLiteral("--%1 needs a slot from 0 to 100, not \"%2\"")
                     .arg(option.names().constFirst(), text));
            return false;
        }
        sentSlots->insert(int(*slot));
    }
    return true;
}

std::optional<Settings> readSettings(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays a vibration meter on a pseudo-terminal. The line is published for discovery as a\n"
        "link named after the device in <runtime dir>/px417/ports; its path is printed on the\n"
        "first line of the output. Once a reader opens the line (or Enter is pressed) one\n"
        "download of slots 0 to 100 is sent, and the meter waits for the next reader.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption name(
        "name",
        "Device display name, and so the link's name; refused while a running meter has it.\n"
        "Default: the first free of \"Arduino USB Serial Light Adapter (COM181)\", (COM182) ...",
        "name");
    const QCommandLineOption speed("speed", "Pace as a baud rate (8N1); 0 sends in one burst.",
                                   "baud", "9600");
    const QCommandLineOption seed("seed", "Varies the measurements and calibration.", "n",
                                  QString::number(kDefaultSeed));
    const QCommandLineOption device(
        "device",
        "Play the meter on this terminal (a USB gadget's serial side, say) instead of a\n"
        "pseudo-terminal; nothing is published, and a reader cannot be noticed: implies\n"
        "--no-wait.",
        "node");
    const QCommandLineOption noWait("no-wait", "Send at once instead of waiting for a reader.");
    const QCommandLineOption exitAfter("exit-after", "Exit once sent instead of waiting again.");
    const QCommandLineOption dropSlot("drop-slot", "Fault: never send this slot (repeatable).",
                                      "slot");
    const QCommandLineOption truncateSlot(
        "truncate-slot", "Fault: send this slot with only half its fields (repeatable).", "slot");
    const QCommandLineOption duplicateSlot("duplicate-slot",
                                           "Fault: send this slot twice (repeatable).", "slot");
    const QCommandLineOption lowercase("lowercase", "Send hexadecimal digits in lower case.");
    const QCommandLineOption junk("junk", "Fault: line noise before and between packets.");
    const QCommandLineOption stopAfter("stop-after", "Fault: stop after this slot.", "slot", "100");
    const QCommandLineOption repeat(
        "repeat",
        "Send the download this many times in a row, each once the reader has read the last.", "n",
        "1");
    const QCommandLineOption replay(
        "replay", "Send this kept download (a .px417 file) as it is, instead of generating one.",
        "file");
    parser.addOptions({name, device, speed, seed, noWait, exitAfter, dropSlot, truncateSlot,
                       duplicateSlot, lowercase, junk, stopAfter, repeat, replay});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
        return std::nullopt;
    }

    Settings settings;
    settings.name = parser.value(name);
    if (parser.isSet(name) && settings.name.isEmpty()) {
        fail(QStringLiteral("--name needs a name; without it the first free one is taken"));
        return std::nullopt;
    }
    const auto baud = number(parser.value(speed), 0, 4000000);
    const auto seedValue = number(parser.value(seed), 0, 0xFFFFFFFFLL);
    const auto last = number(parser.value(stopAfter), 0, kCalibrationSlot);
    const auto times = number(parser.value(repeat), 1, 1000);
    if (!baud || !seedValue || !last || !times) {
        fail(QStringLiteral("--speed, --seed, --stop-after and --repeat need numbers in range; "
                            "see --help"));
        return std::nullopt;
    }
    settings.seed = quint32(*seedValue);
    settings.sim.baudRate = int(*baud);
    settings.device = parser.value(device);
    settings.sim.waitForReader = !parser.isSet(noWait) && settings.device.isEmpty();
    settings.sim.exitAfter = parser.isSet(exitAfter);
    settings.sim.repeat = int(*times);
    settings.faults.stopAfter = int(*last);
    settings.faults.lowercase = parser.isSet(lowercase);
    settings.faults.junk = parser.isSet(junk);
    settings.faults.junkSeed = settings.seed;
    if (parser.isSet(replay)) {
        for (const QCommandLineOption& generated :
             {seed, dropSlot, truncateSlot, duplicateSlot, lowercase, junk, stopAfter}) {
            if (parser.isSet(generated)) {
                fail(QStringLiteral("--replay sends the file as it is; --%1 does not apply")
                         .arg(generated.names().constFirst()));
                return std::nullopt;
            }
        }
        QString error;
        const std::optional<KeptDownload> kept = readKeptDownload(parser.value(replay), &error);
        if (!kept) {
            fail(parser.value(replay) + QStringLiteral(": ") + error);
            return std::nullopt;
        }
        settings.replay = kept->bytes;
    }
    if (!readSlots(parser, dropSlot, &settings.faults.dropSlots) ||
        !readSlots(parser, truncateSlot, &settings.faults.truncateSlots) ||
        !readSlots(parser, duplicateSlot, &settings.faults.duplicateSlots))
        return std::nullopt;
    return settings;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("px417-meter-sim");
    QCoreApplication::setApplicationVersion(PX417_VERSION);

    const auto settings = readSettings(app);
    if (!settings)
        return 2;

    // Set up first, so that a signal arriving from here on still removes the link.
    SignalPipe signalPipe;
    if (!signalPipe.isValid()) {
        fail(QStringLiteral("cannot watch for termination signals"));
        return 1;
    }
    QObject::connect(&signalPipe, &SignalPipe::terminationRequested, &app, &QCoreApplication::quit);

    QString error;
    PtyLine line;
    PortLink link;
    if (!settings->device.isEmpty()) {
        // The system describes a real terminal itself; there is nothing to publish.
        if (!line.openDevice(settings->device, &error)) {
            fail(error);
            return 1;
        }
        std::printf("%s\n", qPrintable(line.devicePath()));
    } else {
        if (!line.open(&error)) {
            fail(error);
            return 1;
        }
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (runtime.isEmpty()) {
            fail(QStringLiteral("no runtime directory to publish the line in"));
            return 1;
        }
        const QString folder = QDir(runtime).filePath("px417/ports");
        const bool published =
            settings->name.isEmpty()
                ? link.publishFree(folder, kNameStem, kFirstComNumber, line.devicePath(), &error)
                : link.publish(folder, settings->name, line.devicePath(), &error);
        if (!published) {
            fail(error);
            return 1;
        }
        std::printf("%s\n", qPrintable(link.path()));
    }
    std::fflush(stdout);

    const QByteArray download =
        settings->replay.isEmpty() ? downloadText(makeMeterMemory(settings->seed), settings->faults)
                                   : settings->replay;
    MeterSim sim(line, download, settings->sim);
    int exitCode = 0;
    QObject::connect(&sim, &MeterSim::finished, &app, &QCoreApplication::quit);
    QObject::connect(&sim, &MeterSim::failed, &app, [&](const QString& reason) {
        fail(reason);
        exitCode = 1;
        app.quit();
    });
    sim.start();
    app.exec();
    return exitCode;
}
