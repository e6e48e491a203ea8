#include "app/CommandLine.h"

#include "link/MeterDiscovery.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace commandline {

namespace {

// What command-line tools return for a command line they cannot use.
constexpr int kUsageError = 2;

QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Displays this help."));
}

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

// The parser's own help option would add --help-all, whose toolkit part needs a display.
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Reads the measurements stored in a ") + QString::fromLatin1(kMeterModel) +
        QStringLiteral(
            " vibration meter over its USB serial port,\n"
            "shows them in a sortable table and exports all or the selected rows as CSV or as\n"
            "an Excel workbook.\n"
            "There are no settings: a single meter is chosen by itself, and the transfer is\n"
            "started on the meter."));
    // The toolkit's options are single-dash words ("-platform"), not bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption());
    parser.addVersionOption();
    addToolkitOptions(parser);
}

int refuse(const QString& message) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
    return kUsageError;
}

} // namespace

std::optional<int> handleBeforeApplication(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(helpOption())) {
        // Without an application object the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QCoreApplication::applicationName());
        std::fputs(qPrintable(text), stdout);
        return EXIT_SUCCESS;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return EXIT_SUCCESS;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("unexpected argument \"%1\"; see --help")
                          .arg(parser.positionalArguments().constFirst()));
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
