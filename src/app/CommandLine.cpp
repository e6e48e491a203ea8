#include "app/CommandLine.h"

#include "cli/Arguments.h"

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

QString rejectUnknown(const QCoreApplication& app) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // prints the parser's error and exits 1 on an unknown option
    // One kept download to open.
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "%s: unexpected argument \"%s\"; see --help\n",
                     qPrintable(QCoreApplication::applicationName()),
                     qPrintable(parser.positionalArguments().at(1)));
        std::fflush(stderr);
        std::exit(EXIT_FAILURE);
    }
    return parser.positionalArguments().value(0);
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace commandline
