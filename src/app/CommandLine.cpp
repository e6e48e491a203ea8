#include "app/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"

#include <QCoreApplication>

#include <cstdio>

namespace commandline {

std::optional<int> handleBeforeApplication(const QStringList& arguments, QString* keptFile) {
    const Arguments parsed = parseArguments(arguments);
    switch (parsed.mode) {
    case Mode::Window:
        *keptFile = parsed.file;
        return std::nullopt;
    case Mode::Help:
        std::fputs(qPrintable(helpText()), stdout);
        return exitstatus::kOk;
    case Mode::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return exitstatus::kOk;
    case Mode::Export:
    case Mode::Capture:
        // The window program is started by px417 for everything else; these are its own.
        printError(QStringLiteral("--export and --capture are options of px417"));
        return exitstatus::kUsage;
    case Mode::Invalid:
        printError(parsed.error + QStringLiteral("; see --help"));
        return exitstatus::kUsage;
    }
    return exitstatus::kUsage;
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace commandline
