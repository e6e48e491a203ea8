#include "cli/Arguments.h"

#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"
#include "link/MeterDiscovery.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace commandline {

namespace {

// Longer than anyone waits at a meter, and far from overflowing a timer's milliseconds.
constexpr int kMaxTimeoutSeconds = 7 * 24 * 3600;

const QCommandLineOption kExport(QStringLiteral("export"),
                                 QStringLiteral("Writes the kept download FILE as OUT: an Excel "
                                                "workbook when OUT ends in .xlsx, CSV otherwise."),
                                 QStringLiteral("OUT"));
const QCommandLineOption kCapture(QStringLiteral("capture"),
                                  QStringLiteral("Waits for one download from the meter, keeps "
                                                 "it and writes it as OUT as --export does."),
                                  QStringLiteral("OUT"));
const QCommandLineOption kPort(QStringLiteral("port"),
                               QStringLiteral("With --capture: the meter to use, by its COM "
                                              "number or its device node."),
                               QStringLiteral("COMn|NODE"));
const QCommandLineOption kTimeout(QStringLiteral("timeout"),
                                  QStringLiteral("With --capture: gives up after this many "
                                                 "seconds."),
                                  QStringLiteral("SECONDS"));

// The options QApplication takes out of the arguments itself (with the X11 platform's), so that
// "-platform xcb --help" still reads as help. Known here only to be let through; the help text
// leaves them out.
void addToolkitOptions(QCommandLineParser& parser) {
    static constexpr const char* kWithValue[] = {"platform",      "platformpluginpath",
                                                 "platformtheme", "plugin",
                                                 "qmljsdebugger", "qwindowgeometry",
                                                 "geometry",      "qwindowicon",
                                                 "icon",          "qwindowtitle",
                                                 "title",         "session",
                                                 "display",       "name",
                                                 "visual",        "style",
                                                 "stylesheet"};
    static constexpr const char* kFlags[] = {"reverse", "nograb", "dograb", "widgetcount",
                                             "testability"};
    const auto add = [&parser](const char* name, bool withValue) {
        QCommandLineOption option(QString::fromLatin1(name));
        if (withValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    };
    for (const char* name : kWithValue)
        add(name, true);
    for (const char* name : kFlags)
        add(name, false);
}

QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Displays this help."));
}

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Reads the measurements stored in a ") + QString::fromLatin1(kMeterModel) +
        QStringLiteral(
            " vibration meter over its USB serial port,\n"
            "shows them in a sortable table and exports all or the selected rows as CSV or as\n"
            "an Excel workbook.\n"
            "There are no settings: a single meter is chosen by itself, and the transfer is\n"
            "started on the meter. Every download that passes its check is kept as a file in "
            "the\nuser's data folder (~/.local/share/px417/downloads); FILE opens one again."));
    // The toolkit's options are single-dash words ("-platform"), not bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The parser's own help option would add --help-all, whose toolkit part needs a display.
    parser.addOption(helpOption());
    parser.addVersionOption();
    addToolkitOptions(parser);
}

void describeCommands(QCommandLineParser& parser) {
    describe(parser);
    parser.addOptions({kExport, kCapture, kPort, kTimeout});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A kept download: opened in the window, or "
                                                "written by --export."),
                                 QStringLiteral("[FILE]"));
}

Arguments invalid(const QString& error) {
    Arguments arguments;
    arguments.mode = Mode::Invalid;
    arguments.error = error;
    return arguments;
}

} // namespace

Arguments parseArguments(const QStringList& raw) {
    QCommandLineParser parser;
    describeCommands(parser);
    if (!parser.parse(raw)) {
        QString error = parser.errorText();
        if (error.endsWith(u'.'))
            error.chop(1); // "; see --help" follows
        return invalid(error);
    }
    Arguments arguments;
    if (parser.isSet(helpOption())) {
        arguments.mode = Mode::Help;
        return arguments;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        arguments.mode = Mode::Version;
        return arguments;
    }
    const QStringList positional = parser.positionalArguments();
    const bool exporting = parser.isSet(kExport);
    const bool capturing = parser.isSet(kCapture);
    if (exporting && capturing)
        return invalid(QStringLiteral("--export and --capture do not go together"));
    if (!capturing && (parser.isSet(kPort) || parser.isSet(kTimeout)))
        return invalid(QStringLiteral("--port and --timeout go with --capture"));
    if (exporting) {
        if (positional.size() != 1)
            return invalid(QStringLiteral("--export needs OUT and one FILE"));
        arguments.mode = Mode::Export;
        arguments.out = parser.value(kExport);
        arguments.file = positional.constFirst();
        return arguments;
    }
    if (capturing) {
        if (!positional.isEmpty())
            return invalid(QStringLiteral("--capture takes no FILE"));
        arguments.mode = Mode::Capture;
        arguments.out = parser.value(kCapture);
        arguments.port = parser.value(kPort);
        if (parser.isSet(kTimeout)) {
            bool ok = false;
            arguments.timeoutSeconds = parser.value(kTimeout).toInt(&ok);
            if (!ok || arguments.timeoutSeconds < 1 ||
                arguments.timeoutSeconds > kMaxTimeoutSeconds)
                return invalid(QStringLiteral("--timeout needs whole seconds from 1 to %1")
                                   .arg(kMaxTimeoutSeconds));
        }
        return arguments;
    }
    if (positional.size() > 1)
        return invalid(QStringLiteral("unexpected argument \"%1\"").arg(positional.at(1)));
    arguments.file = positional.value(0);
    return arguments;
}

QString helpText() {
    QCommandLineParser parser;
    describeCommands(parser);
    // Without an application object the parser cannot know the program's name.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QCoreApplication::applicationName());
    return text +
           QStringLiteral("\n--export and --capture need no display. Exit statuses:\n"
                          "  %1  OUT was written (--capture: the download was kept too, where it "
                          "could be).\n"
                          "  %2  OUT could not be written, or a signal ended the wait.\n"
                          "  %3  A command line that cannot be used. --export: FILE is no kept "
                          "download.\n"
                          "     --capture: no meter, several meters without --port, or the port "
                          "cannot be\n"
                          "     opened.\n"
                          "  %4  --capture: the download failed its check; nothing was written.\n"
                          "  %5  --capture: the line to the meter was lost.\n"
                          "  %6  --capture: the time set by --timeout ran out.\n")
               .arg(exitstatus::kOk)
               .arg(exitstatus::kFailed)
               .arg(exitstatus::kNoDownload)
               .arg(exitstatus::kCheckFailed)
               .arg(exitstatus::kLineLost)
               .arg(exitstatus::kTimedOut);
}

std::optional<int> answerWithoutProgram(const Arguments& arguments) {
    switch (arguments.mode) {
    case Mode::Help:
        std::fputs(qPrintable(helpText()), stdout);
        return exitstatus::kOk;
    case Mode::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return exitstatus::kOk;
    case Mode::Invalid:
        printError(arguments.error + QStringLiteral("; see --help"));
        return exitstatus::kUsage;
    case Mode::Window:
    case Mode::Export:
    case Mode::Capture:
        break;
    }
    return std::nullopt;
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace commandline
