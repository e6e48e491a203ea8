#include "app/CommandLine.h"

#include "link/MeterDiscovery.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace commandline {

namespace {

QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Displays this help."));
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
    parser.addOption(helpOption());
    parser.addVersionOption();
}

} // namespace

std::optional<int> handleBeforeApplication(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return std::nullopt;
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
    return std::nullopt;
}

void rejectUnknown(const QCoreApplication& app) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // prints the parser's error and exits 1 on an unknown option
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s: unexpected argument \"%s\"; see --help\n",
                     qPrintable(QCoreApplication::applicationName()),
                     qPrintable(parser.positionalArguments().constFirst()));
        std::fflush(stderr);
        std::exit(EXIT_FAILURE);
    }
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace commandline
